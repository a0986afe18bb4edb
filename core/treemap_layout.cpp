#include "core/treemap_layout.h"

#include <cmath>
#include <cstddef>

namespace {

// Light from the upper left and in front; ambient and diffuse parts add up
// to 1, so no pixel is brighter than its colour.
constexpr double kLightX = -1.0, kLightY = -1.0, kLightZ = 4.0;
constexpr double kAmbient = 0.35, kDiffuse = 0.65;

int FirstPixel(double edge)
{
    // The first pixel whose centre lies at or past the edge.
    return static_cast<int>(std::ceil(edge - 0.5));
}

}  // namespace

Cushion Cushion::With(const MapRect& r, double h) const
{
    Cushion c = *this;
    if (r.width() > 0) {
        c.x1 += 4 * h * (r.right + r.left) / r.width();
        c.x2 -= 4 * h / r.width();
    }
    if (r.height() > 0) {
        c.y1 += 4 * h * (r.bottom + r.top) / r.height();
        c.y2 -= 4 * h / r.height();
    }
    return c;
}

PixelSpan PixelsOf(const MapRect& r, int width, int height)
{
    PixelSpan s{std::max(FirstPixel(r.left), 0), std::max(FirstPixel(r.top), 0), std::min(FirstPixel(r.right), width),
                std::min(FirstPixel(r.bottom), height)};
    if (s.x1 < s.x0)
        s.x1 = s.x0;
    if (s.y1 < s.y0)
        s.y1 = s.y0;
    return s;
}

void PaintCushion(const PixelBuffer& buffer, const MapRect& r, const Cushion& cushion, std::uint32_t color)
{
    const PixelSpan s = PixelsOf(r, buffer.width, buffer.height);
    if (s.x0 >= s.x1 || s.y0 >= s.y1)
        return;
    const double red = (color >> 16) & 0xFF, green = (color >> 8) & 0xFF, blue = color & 0xFF;
    const double lightLength = std::sqrt(kLightX * kLightX + kLightY * kLightY + kLightZ * kLightZ);
    const double lx = kLightX / lightLength, ly = kLightY / lightLength, lz = kLightZ / lightLength;
    for (int y = s.y0; y < s.y1; ++y) {
        const double ny = -(2 * cushion.y2 * (y + 0.5) + cushion.y1);
        std::uint32_t* row = buffer.pixels + static_cast<std::ptrdiff_t>(y) * buffer.width;
        for (int x = s.x0; x < s.x1; ++x) {
            const double nx = -(2 * cushion.x2 * (x + 0.5) + cushion.x1);
            // The surface's normal is (nx, ny, 1); its light is its cosine to the light.
            const double cosine = (nx * lx + ny * ly + lz) / std::sqrt(nx * nx + ny * ny + 1.0);
            const double light = kAmbient + kDiffuse * std::max(cosine, 0.0);
            row[x] = static_cast<std::uint32_t>(red * light + 0.5) << 16 | static_cast<std::uint32_t>(green * light + 0.5) << 8
                | static_cast<std::uint32_t>(blue * light + 0.5);
        }
    }
}
