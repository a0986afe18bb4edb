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
    decltype(rects_)().swap(rects_);
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
    rects_.assign(records_.FolderCount(), MapRect{});
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

// Lays out the folder's items in rect and hands each to visit: visit.Folder
// says whether to go into a folder, visit.File and visit.Block take a file's
// rectangle and that of a folder's files too small for a pixel of their own.
template <class Visit>
void MapLayout::Lay(std::int32_t folder, const MapRect& rect, const Cushion& cushion, int depth, Visit& visit) const
{
    if (!visit.Folder(folder, rect))
        return;
    const MapFolder& f = records_.Folder(folder);
    if (f.Size <= 0)
        return;
    const Cushion inside = cushion.With(rect, RidgeHeight(depth));
    auto sizeOf = [this, &f](std::int32_t i) { return records_.ItemSize(records_.Item(f, i)); };
    // Items are largest first: from the first under a pixel on, all are.
    const double scale = rect.area() / static_cast<double>(f.Size);
    std::int32_t own = 0;
    std::int64_t ownBytes = 0;
    while (own < f.ItemCount && static_cast<double>(sizeOf(own)) * scale >= 1.0)
        ownBytes += sizeOf(own++);
    const std::int64_t smallBytes = f.Size - ownBytes;
    const int count = own + (smallBytes > 0 ? 1 : 0);
    Squarify(
        rect, count, static_cast<double>(f.Size),
        [&](int i) { return static_cast<double>(i < own ? sizeOf(i) : smallBytes); },
        [&](int i, const MapRect& r) {
            const Cushion tile = inside.With(r, RidgeHeight(depth + 1));
            if (i == own) {
                visit.Block(folder, own, r, tile);
                return;
            }
            const std::int32_t item = records_.Item(f, i);
            if (item >= 0)
                visit.File(item, r, tile);
            else
                Lay(~item, r, inside, depth + 1, visit);
        });
}

void MapLayout::Paint(const PixelBuffer& buffer, std::uint32_t background)
{
    width_ = buffer.width;
    height_ = buffer.height;
    std::fill(buffer.pixels, buffer.pixels + static_cast<std::ptrdiff_t>(buffer.width) * buffer.height, background);
    std::fill(rects_.begin(), rects_.end(), MapRect{});
    if (records_.Empty() || rects_.size() != records_.FolderCount())
        return;
    struct Painter {
        MapLayout& layout;
        const PixelBuffer& buffer;
        bool Folder(std::int32_t folder, const MapRect& rect)
        {
            layout.rects_[static_cast<std::size_t>(folder)] = rect;
            return true;
        }
        void File(std::int32_t file, const MapRect& r, const Cushion& cushion)
        {
            PaintCushion(buffer, r, cushion, layout.ColorOf(layout.records_.File(file)));
        }
        void Block(std::int32_t folder, std::int32_t from, const MapRect& r, const Cushion& cushion)
        {
            const MapRecords& records = layout.records_;
            const MapFolder& f = records.Folder(folder);
            ColorSum sum;
            for (std::int32_t i = from; i < f.ItemCount; ++i) {
                const std::int32_t item = records.Item(f, i);
                if (item >= 0) {
                    const MapFile& file = records.File(item);
                    sum.Add(layout.ColorOf(file), static_cast<double>(file.Size));
                } else {
                    sum.Add(layout.averages_[static_cast<std::size_t>(~item)],
                            static_cast<double>(records.Folder(~item).Size));
                }
            }
            PaintCushion(buffer, r, cushion, sum.Average());
        }
    } painter{*this, buffer};
    Lay(0, MapRect{0, 0, static_cast<double>(buffer.width), static_cast<double>(buffer.height)}, Cushion{}, 0,
        painter);
}

MapHit MapLayout::HitTest(int x, int y) const
{
    struct Finder {
        int x, y;
        MapHit hit;
        bool Folder(std::int32_t, const MapRect& rect) const { return rect.holdsPixel(x, y); }
        void File(std::int32_t file, const MapRect& r, const Cushion&)
        {
            if (r.holdsPixel(x, y))
                hit = {file, -1, r};
        }
        void Block(std::int32_t folder, std::int32_t, const MapRect& r, const Cushion&)
        {
            if (r.holdsPixel(x, y))
                hit = {-1, folder, r};
        }
    } finder{x, y, {}};
    if (records_.Empty() || rects_.empty() || x < 0 || y < 0 || x >= width_ || y >= height_)
        return {};
    Lay(0, MapRect{0, 0, static_cast<double>(width_), static_cast<double>(height_)}, Cushion{}, 0, finder);
    if (finder.hit.File >= 0)
        finder.hit.Folder = records_.File(finder.hit.File).Folder;
    return finder.hit;
}

MapRect MapLayout::Locate(const MapHit& target) const
{
    struct Locator {
        const MapRecords& records;
        const MapHit& target;
        MapRect found;
        bool file = false;
        bool Folder(std::int32_t folder, const MapRect&) const
        {
            for (std::int32_t f = target.Folder; f >= 0; f = records.Folder(f).Parent)
                if (f == folder)
                    return true;
            return false;
        }
        void File(std::int32_t f, const MapRect& r, const Cushion&)
        {
            if (f == target.File) {
                found = r;
                file = true;
            }
        }
        void Block(std::int32_t folder, std::int32_t, const MapRect& r, const Cushion&)
        {
            if (folder == target.Folder && !file)
                found = r;
        }
    } locator{records_, target, {}};
    if (target.Folder < 0 || records_.Empty() || rects_.empty() || width_ <= 0 || height_ <= 0)
        return {};
    Lay(0, MapRect{0, 0, static_cast<double>(width_), static_cast<double>(height_)}, Cushion{}, 0, locator);
    return locator.found;
}

MapRect MapLayout::FolderRect(std::int32_t folder) const
{
    return folder >= 0 && static_cast<std::size_t>(folder) < rects_.size() ? rects_[static_cast<std::size_t>(folder)]
                                                                           : MapRect{};
}

std::size_t MapLayout::Bytes() const
{
    return kindColors_.capacity() * sizeof(std::uint32_t) + averages_.capacity() * sizeof(std::uint32_t)
        + rects_.capacity() * sizeof(MapRect);
}
