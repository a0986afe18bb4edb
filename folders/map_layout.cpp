#include "folders/map_layout.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/sizes.h"

namespace {

constexpr std::uint32_t kGrey = 0x969696;
// A ridge per level, lower the deeper it lies.
constexpr double kRidgeHeight = 0.5;
constexpr double kRidgeFalloff = 0.75;
constexpr std::int64_t kDay = 24LL * 60 * 60 * 10000000;  // in FILETIME units
constexpr std::int64_t kAgeLimits[] = {kDay, 7 * kDay, 31 * kDay, 365 * kDay};
// Warm to cold, at least 30 degrees apart.
constexpr double kAgeHues[] = {0, 35, 70, 160, 220};

std::uint32_t HueColor(double hue, double saturation, double value)
{
    const double c = value * saturation;
    const double h = hue / 60.0;
    const double x = c * (1 - std::fabs(std::fmod(h, 2.0) - 1));
    double r = 0, g = 0, b = 0;
    switch (static_cast<int>(h) % 6) {
    case 0: r = c, g = x; break;
    case 1: r = x, g = c; break;
    case 2: g = c, b = x; break;
    case 3: g = x, b = c; break;
    case 4: r = x, b = c; break;
    default: r = c, b = x; break;
    }
    const double m = value - c;
    auto byte = [m](double v) { return static_cast<std::uint32_t>((v + m) * 255 + 0.5); };
    return byte(r) << 16 | byte(g) << 8 | byte(b);
}

double RidgeHeight(int depth)
{
    return kRidgeHeight * std::pow(kRidgeFalloff, depth);
}

// Colours weighted by bytes.
struct ColorSum {
    double r = 0, g = 0, b = 0, weight = 0;
    void Add(std::uint32_t color, double w)
    {
        r += ((color >> 16) & 0xFF) * w;
        g += ((color >> 8) & 0xFF) * w;
        b += (color & 0xFF) * w;
        weight += w;
    }
    std::uint32_t Average() const
    {
        if (weight <= 0)
            return kGrey;
        auto byte = [this](double v) { return static_cast<std::uint32_t>(v / weight + 0.5) & 0xFF; };
        return byte(r) << 16 | byte(g) << 8 | byte(b);
    }
};

}  // namespace

std::uint32_t AgeBandColor(int band)
{
    static const std::array<std::uint32_t, kAgeBands> colors = [] {
        std::array<std::uint32_t, kAgeBands> c{};
        for (std::size_t b = 0; b < c.size(); ++b)
            c[b] = HueColor(kAgeHues[b], 0.8, 0.95);
        return c;
    }();
    return colors[static_cast<std::size_t>(band)];
}

void MapLayout::Clear() noexcept
{
    decltype(kindColors_)().swap(kindColors_);
    decltype(averages_)().swap(averages_);
    decltype(laidOf_)().swap(laidOf_);
    decltype(laid_)().swap(laid_);
    decltype(rows_)().swap(rows_);
    width_ = height_ = 0;
}

void MapLayout::Update()
{
    // The ten kinds holding the most bytes get hues 36 degrees apart.
    kindColors_.assign(std::min<std::size_t>(records_.Kinds().size(), MapRecords::kOtherKind), kGrey);
    const std::vector<std::int32_t> ranked = records_.RankedKinds();
    for (std::size_t r = 0; r < ranked.size() && r < kHuedKinds; ++r)
        if (static_cast<std::size_t>(ranked[r]) < kindColors_.size())
            kindColors_[static_cast<std::size_t>(ranked[r])] = HueColor(36.0 * static_cast<double>(r), 0.7, 0.9);
    decltype(laidOf_)().swap(laidOf_);
    decltype(laid_)().swap(laid_);
    decltype(rows_)().swap(rows_);
    width_ = height_ = 0;
    WorkOutAverages();
}

std::uint32_t MapLayout::KindColor(std::int32_t kind) const
{
    return kind >= 0 && static_cast<std::size_t>(kind) < kindColors_.size()
        ? kindColors_[static_cast<std::size_t>(kind)]
        : kGrey;
}

std::uint32_t MapLayout::ColorOf(const MapFile& file) const
{
    if (coloring_ == Coloring::Kind)
        return KindColor(file.Kind);
    const FILETIME& start = records_.Start();
    const std::int64_t age = CombineSize(start.dwHighDateTime, start.dwLowDateTime)
        - CombineSize(file.Written.dwHighDateTime, file.Written.dwLowDateTime);
    int band = 0;
    while (band < kAgeBands - 1 && age >= kAgeLimits[band])
        ++band;
    return AgeBandColor(band);
}

void MapLayout::SetColoring(Coloring coloring)
{
    coloring_ = coloring;
    WorkOutAverages();
}

void MapLayout::WorkOutAverages()
{
    std::vector<ColorSum> sums(records_.FolderCount());
    for (std::size_t i = 0; i < records_.FileCount(); ++i) {
        const MapFile& file = records_.File(static_cast<std::int32_t>(i));
        // A file taken off the map is in no folder.
        if (file.Folder >= 0)
            sums[static_cast<std::size_t>(file.Folder)].Add(ColorOf(file), static_cast<double>(file.Size));
    }
    averages_.assign(sums.size(), kGrey);
    for (std::size_t f = sums.size(); f-- > 0;) {
        averages_[f] = sums[f].Average();
        if (f > 0) {
            ColorSum& parent = sums[static_cast<std::size_t>(records_.Folder(static_cast<std::int32_t>(f)).Parent)];
            parent.r += sums[f].r;
            parent.g += sums[f].g;
            parent.b += sums[f].b;
            parent.weight += sums[f].weight;
        }
    }
}

std::int64_t MapLayout::TileSize(const MapFolder& folder, const LaidFolder& laid, int i) const
{
    return i < laid.Own ? records_.ItemSize(records_.Item(folder, i)) : laid.SmallBytes;
}

std::uint32_t MapLayout::BlockColor(const MapFolder& folder, std::int32_t from) const
{
    ColorSum sum;
    for (std::int32_t i = from; i < folder.ItemCount; ++i) {
        const std::int32_t item = records_.Item(folder, i);
        if (item >= 0) {
            const MapFile& file = records_.File(item);
            sum.Add(ColorOf(file), static_cast<double>(file.Size));
        } else {
            sum.Add(averages_[static_cast<std::size_t>(~item)], static_cast<double>(records_.Folder(~item).Size));
        }
    }
    return sum.Average();
}

// Lays out the folder's items in rect and paints each file, and the block of
// the folder's files too small for a pixel of their own; goes into each
// sub-folder with a pixel or more. Keeps the folder's rows.
void MapLayout::Lay(std::int32_t folder, const MapRect& rect, const Cushion& cushion, int depth,
                    const PixelBuffer& buffer)
{
    const MapFolder& f = records_.Folder(folder);
    if (f.Size <= 0)
        return;
    LaidFolder laid;
    // Items are largest first: from the first under a pixel on, all are.
    const double scale = rect.area() / static_cast<double>(f.Size);
    std::int64_t ownBytes = 0;
    while (laid.Own < f.ItemCount
           && static_cast<double>(records_.ItemSize(records_.Item(f, laid.Own))) * scale >= 1.0)
        ownBytes += records_.ItemSize(records_.Item(f, laid.Own++));
    laid.SmallBytes = f.Size - ownBytes;
    laid.FirstRow = static_cast<std::int32_t>(rows_.size());
    const int count = laid.Own + (laid.SmallBytes > 0 ? 1 : 0);
    const std::size_t at = laid_.size();
    laidOf_[static_cast<std::size_t>(folder)] = static_cast<std::int32_t>(at);
    laid_.push_back(laid);
    auto sizeOf = [&](int i) { return static_cast<double>(TileSize(f, laid, i)); };
    const Cushion inside = cushion.With(rect, RidgeHeight(depth));
    // The folder's rows side by side, before its sub-folders add theirs.
    SquarifyRows(rect, count, static_cast<double>(f.Size), sizeOf, [&](const SquareRow& row) {
        rows_.push_back({row.Rect, row.End, row.Across});
        ++laid_[at].RowCount;
    });
    for (std::int32_t r = laid.FirstRow; r < laid.FirstRow + laid_[at].RowCount; ++r) {
        // A copy: laying a sub-folder out adds rows.
        const SquareRow row = RowOf(f, laid, r);
        PlaceRowItems(row, sizeOf, [&](int i, const MapRect& tileRect) {
            const Cushion tile = inside.With(tileRect, RidgeHeight(depth + 1));
            if (i == laid.Own) {
                PaintCushion(buffer, tileRect, tile, BlockColor(f, laid.Own));
                return;
            }
            const std::int32_t item = records_.Item(f, i);
            if (item >= 0)
                PaintCushion(buffer, tileRect, tile, ColorOf(records_.File(item)));
            else
                Lay(~item, tileRect, inside, depth + 1, buffer);
        });
    }
}

SquareRow MapLayout::RowOf(const MapFolder& folder, const LaidFolder& laid, std::int32_t r) const
{
    const LaidRow& kept = rows_[static_cast<std::size_t>(r)];
    SquareRow row{kept.Rect, 0, r == laid.FirstRow ? 0 : rows_[static_cast<std::size_t>(r - 1)].End, kept.End,
                  kept.Across};
    // Added up in the layout's order, so the same to the last bit.
    for (int i = row.First; i < row.End; ++i)
        row.Size += static_cast<double>(TileSize(folder, laid, i));
    return row;
}

void MapLayout::Paint(const PixelBuffer& buffer, std::uint32_t background)
{
    width_ = buffer.width;
    height_ = buffer.height;
    std::fill(buffer.pixels, buffer.pixels + static_cast<std::ptrdiff_t>(buffer.width) * buffer.height, background);
    laid_.clear();
    rows_.clear();
    laidOf_.assign(records_.FolderCount(), -1);
    if (records_.Empty() || averages_.size() != records_.FolderCount())
        return;
    Lay(0, MapRect{0, 0, static_cast<double>(buffer.width), static_cast<double>(buffer.height)}, Cushion{}, 0,
        buffer);
    // Kept until the next Paint, which lays out as many again.
    rows_.shrink_to_fit();
    laid_.shrink_to_fit();
}

MapRect MapLayout::TileRect(std::int32_t folder, int i) const
{
    const MapFolder& f = records_.Folder(folder);
    const LaidFolder& laid = laid_[static_cast<std::size_t>(laidOf_[static_cast<std::size_t>(folder)])];
    MapRect found;
    for (std::int32_t r = laid.FirstRow; r < laid.FirstRow + laid.RowCount; ++r) {
        const SquareRow row = RowOf(f, laid, r);
        if (i < row.First || i >= row.End)
            continue;
        PlaceRowItems(
            row, [&](int t) { return static_cast<double>(TileSize(f, laid, t)); },
            [&](int t, const MapRect& rect) {
                if (t == i)
                    found = rect;
            });
        break;
    }
    return found;
}

MapHit MapLayout::HitTest(int x, int y) const
{
    if (laid_.empty() || x < 0 || y < 0 || x >= width_ || y >= height_)
        return {};
    std::int32_t folder = 0;
    for (;;) {
        const std::int32_t at = laidOf_[static_cast<std::size_t>(folder)];
        if (at < 0)
            return {};
        const MapFolder& f = records_.Folder(folder);
        const LaidFolder& laid = laid_[static_cast<std::size_t>(at)];
        // The rows tile the folder's rectangle, and a row's items the row.
        std::int32_t held = -1;
        for (std::int32_t r = laid.FirstRow; r < laid.FirstRow + laid.RowCount && held < 0; ++r)
            if (rows_[static_cast<std::size_t>(r)].Rect.holdsPixel(x, y))
                held = r;
        if (held < 0)
            return {};
        int tile = -1;
        MapRect tileRect;
        PlaceRowItems(
            RowOf(f, laid, held), [&](int t) { return static_cast<double>(TileSize(f, laid, t)); },
            [&](int t, const MapRect& rect) {
                if (tile < 0 && rect.holdsPixel(x, y)) {
                    tile = t;
                    tileRect = rect;
                }
            });
        if (tile < 0)
            return {};
        if (tile == laid.Own)
            return {-1, folder, tileRect};
        const std::int32_t item = records_.Item(f, tile);
        if (item >= 0)
            return {item, folder, tileRect};
        folder = ~item;
    }
}

std::optional<MapRect> MapLayout::LaidRect(std::int32_t folder) const
{
    if (laid_.empty() || folder < 0 || static_cast<std::size_t>(folder) >= laidOf_.size())
        return std::nullopt;
    if (folder == 0)
        return MapRect{0, 0, static_cast<double>(width_), static_cast<double>(height_)};
    if (laidOf_[static_cast<std::size_t>(folder)] < 0)
        return std::nullopt;
    // Laid out, so are the folders above it: its tile in its parent's layout.
    const std::int32_t parent = records_.Folder(folder).Parent;
    const MapFolder& p = records_.Folder(parent);
    for (std::int32_t i = 0; i < p.ItemCount; ++i)
        if (records_.Item(p, i) == ~folder)
            return TileRect(parent, i);
    return std::nullopt;
}

MapRect MapLayout::Locate(const MapHit& target) const
{
    if (target.Folder < 0 || static_cast<std::size_t>(target.Folder) >= laidOf_.size())
        return {};
    // Laid out only when the folders above it were.
    const std::int32_t at = laidOf_[static_cast<std::size_t>(target.Folder)];
    if (at < 0)
        return {};
    const MapFolder& f = records_.Folder(target.Folder);
    const LaidFolder& laid = laid_[static_cast<std::size_t>(at)];
    if (target.File >= 0)
        for (std::int32_t i = 0; i < laid.Own; ++i)
            if (records_.Item(f, i) == target.File)
                return TileRect(target.Folder, i);
    // A file too small for a pixel, or the block itself.
    return laid.SmallBytes > 0 ? TileRect(target.Folder, laid.Own) : MapRect{};
}

MapRect MapLayout::FolderRect(std::int32_t folder) const
{
    return LaidRect(folder).value_or(MapRect{});
}

std::size_t MapLayout::Bytes() const
{
    return kindColors_.capacity() * sizeof(std::uint32_t) + averages_.capacity() * sizeof(std::uint32_t)
        + laidOf_.capacity() * sizeof(std::int32_t) + laid_.capacity() * sizeof(LaidFolder)
        + rows_.capacity() * sizeof(LaidRow);
}
