#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "core/treemap_layout.h"

namespace {

TEST(Squarify, TilesTheAreaWithAreasInProportionAndNearSquares)
{
    const std::vector<double> sizes = {500, 433, 200, 120, 61, 60, 6, 1};
    double total = 0;
    for (double s : sizes)
        total += s;
    const MapRect area{10, 20, 310, 220};
    std::vector<MapRect> placed(sizes.size());
    std::vector<int> order;
    Squarify(area, static_cast<int>(sizes.size()), total, [&](int i) { return sizes[static_cast<std::size_t>(i)]; },
             [&](int i, const MapRect& r) {
                 placed[static_cast<std::size_t>(i)] = r;
                 order.push_back(i);
             });
    ASSERT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        EXPECT_NEAR(placed[i].area(), area.area() * sizes[i] / total, 1e-6) << i;
        const double ratio = std::max(placed[i].width() / placed[i].height(), placed[i].height() / placed[i].width());
        // The large items get near squares.
        EXPECT_TRUE(i >= 4 || ratio < 3.0) << i << ": " << ratio;
    }
    // Every pixel belongs to exactly one rectangle.
    for (int y = 20; y < 220; ++y)
        for (int x = 10; x < 310; ++x) {
            int holders = 0;
            for (const MapRect& r : placed)
                holders += r.holdsPixel(x, y) ? 1 : 0;
            ASSERT_EQ(holders, 1) << x << "," << y;
        }
}

TEST(PaintCushion, ShadesBrightnessOnlyAndStaysInsideItsRectangle)
{
    std::vector<std::uint32_t> pixels(40 * 30, 0x123456);
    const PixelBuffer buffer{pixels.data(), 40, 30};
    const MapRect r{5, 5, 35.5, 25};
    const Cushion cushion = Cushion{}.With(MapRect{0, 0, 40, 30}, 0.5).With(r, 0.375);
    constexpr std::uint32_t kColor = 0xC86432;  // 200, 100, 50
    PaintCushion(buffer, r, cushion, kColor);
    int brighter = 0, darker = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y * 40 + x)];
            if (!r.holdsPixel(x, y)) {
                ASSERT_EQ(p, 0x123456u) << x << "," << y;
                continue;
            }
            const double red = (p >> 16) & 0xFF, green = (p >> 8) & 0xFF, blue = p & 0xFF;
            ASSERT_LE(red, 200);
            EXPECT_NEAR(green / red, 0.5, 0.02);
            EXPECT_NEAR(blue / red, 0.25, 0.02);
            (red > 170 ? brighter : darker) += 1;
        }
    // Lit from the upper left: both sides of the cushion show.
    EXPECT_GT(brighter, 0);
    EXPECT_GT(darker, 0);
}

}  // namespace
