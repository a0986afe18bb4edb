#include "folders/tree_map.h"

#include <algorithm>
#include <cmath>

#include "core/find_file.h"
#include "core/number_format.h"
#include "core/sizes.h"
#include "core/sort_value.h"
#include "core/stamp.h"
#include "files/file_sort.h"

// A file's record and its place among its folder's items, names aside.
static_assert(sizeof(MapFile) + sizeof(std::int32_t) <= 48);

namespace {

constexpr std::uint32_t kGrey = 0x969696;
// A ridge per level, lower the deeper it lies.
constexpr double kRidgeHeight = 0.5;
constexpr double kRidgeFalloff = 0.75;
constexpr std::int64_t kDay = 24LL * 60 * 60 * 10000000;  // in FILETIME units
constexpr std::int64_t kAgeLimits[] = {kDay, 7 * kDay, 31 * kDay, 365 * kDay};
constexpr const char* kAgeNames[] = {"1 日以内", "1 週間以内", "1 か月以内", "1 年以内", "それ以前"};
// Warm to cold, at least 30 degrees apart.
constexpr double kAgeHues[] = {0, 35, 70, 160, 220};
constexpr int kHuedKinds = 10;

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

std::uint32_t AgeColor(int band)
{
    static const std::array<std::uint32_t, 5> colors = [] {
        std::array<std::uint32_t, 5> c{};
        for (std::size_t b = 0; b < c.size(); ++b)
            c[b] = HueColor(kAgeHues[b], 0.8, 0.95);
        return c;
    }();
    return colors[static_cast<std::size_t>(band)];
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

std::string KindName(const MapKind& kind)
{
    return kind.Extension.empty() ? "(なし)" : kind.Extension;
}

}  // namespace

std::uint32_t NameStore::Add(std::wstring_view name)
{
    if (blocks_.empty() || used_ + name.size() > kBlock) {
        blocks_.push_back(std::make_unique<wchar_t[]>(kBlock));
        used_ = 0;
    }
    const auto at = static_cast<std::uint32_t>((blocks_.size() - 1) * kBlock + used_);
    std::copy(name.begin(), name.end(), blocks_.back().get() + used_);
    used_ += static_cast<std::uint32_t>(name.size());
    return at;
}

void TreeMap::Clear()
{
    root_ = {};
    names_.clear();
    files_.clear();
    folders_ = {};
    items_ = {};
    walking_ = {};
    kinds_ = {};
    kindOf_ = {};
    wideKindOf_ = {};
    kindColors_ = {};
    width_ = height_ = 0;
}

void TreeMap::Begin(const DiskPath& root, ui::TTreeNode rootNode)
{
    Clear();
    root_ = root;
    GetSystemTimeAsFileTime(&start_);
    MapFolder folder;
    folder.Node = rootNode;
    folders_.push_back(folder);
    walking_.push_back(0);
}

void TreeMap::AddFile(const FindFile& entry)
{
    MapFile file{};
    file.Size = entry.size();
    file.Written = entry.data().ftLastWriteTime;
    const std::wstring_view name = entry.wideName();
    file.Name = names_.Add(name);
    file.NameLength = static_cast<std::uint16_t>(name.size());
    file.Folder = walking_.back();
    // The extension as the shown name's last dot finds it, worked out once
    // per extension met rather than by converting every name: no character
    // shows as a dot, so the shown name's last dot is the wide name's; only
    // U+00A5 shows as a backslash, which ends any extension.
    const std::size_t dot = name.rfind(L'.');
    wideExtension_.assign(dot == std::wstring_view::npos || name.find(L'\u00A5', dot) != std::wstring_view::npos
                              ? std::wstring_view{}
                              : name.substr(dot));
    for (wchar_t& c : wideExtension_)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    auto known = wideKindOf_.find(wideExtension_);
    if (known == wideKindOf_.end())
        known = wideKindOf_.emplace(wideExtension_, KindOf(wideExtension_)).first;
    const std::uint32_t index = known->second;
    MapKind& counted = kinds_[index];
    counted.Bytes += file.Size;
    ++counted.Files;
    // A kind past the index's reach is painted grey but counted as its own.
    file.Kind = static_cast<std::uint16_t>(std::min<std::uint32_t>(index, kOtherKind));
    files_.push_back(file);
}

std::uint32_t TreeMap::KindOf(std::wstring_view wideExtension)
{
    // Grouped by the shown text, the letters A to Z without regard to case,
    // cut as the file page's extension key cuts it.
    std::string extension(ExtensionWithDot(ShownText(wideExtension)));
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    const auto [kind, added] = kindOf_.try_emplace(extension, static_cast<std::uint32_t>(kinds_.size()));
    if (added)
        kinds_.push_back({extension, 0, 0});
    return kind->second;
}

void TreeMap::EnterFolder(const FindFile& entry, ui::TTreeNode node)
{
    MapFolder folder;
    folder.Parent = walking_.back();
    folder.Name = names_.Add(entry.wideName());
    folder.NameLength = static_cast<std::uint32_t>(entry.wideName().size());
    folder.Node = node;
    walking_.push_back(static_cast<std::int32_t>(folders_.size()));
    folders_.push_back(folder);
}

void TreeMap::LeaveFolder()
{
    walking_.pop_back();
}

void TreeMap::End()
{
    walking_ = {};
    kindOf_ = {};
    wideKindOf_ = {};
    for (std::size_t i = 0; i < files_.size(); ++i)
        folders_[static_cast<std::size_t>(files_[i].Folder)].Size += files_[i].Size;
    // A folder comes after its parent.
    for (std::size_t f = folders_.size(); f-- > 1;)
        folders_[static_cast<std::size_t>(folders_[f].Parent)].Size += folders_[f].Size;

    // Every file and folder that holds bytes is an item of its folder.
    std::vector<std::int32_t> counts(folders_.size(), 0);
    for (std::size_t i = 0; i < files_.size(); ++i)
        if (files_[i].Size > 0)
            ++counts[static_cast<std::size_t>(files_[i].Folder)];
    for (std::size_t f = 1; f < folders_.size(); ++f)
        if (folders_[f].Size > 0)
            ++counts[static_cast<std::size_t>(folders_[f].Parent)];
    std::int32_t next = 0;
    for (std::size_t f = 0; f < folders_.size(); ++f) {
        folders_[f].FirstItem = next;
        folders_[f].ItemCount = 0;
        next += counts[f];
    }
    items_.assign(static_cast<std::size_t>(next), 0);
    auto place = [this](std::int32_t folder, std::int32_t item) {
        MapFolder& f = folders_[static_cast<std::size_t>(folder)];
        items_[static_cast<std::size_t>(f.FirstItem + f.ItemCount++)] = item;
    };
    for (std::size_t i = 0; i < files_.size(); ++i)
        if (files_[i].Size > 0)
            place(files_[i].Folder, static_cast<std::int32_t>(i));
    for (std::size_t f = 1; f < folders_.size(); ++f)
        if (folders_[f].Size > 0)
            place(folders_[f].Parent, ~static_cast<std::int32_t>(f));
    for (std::size_t f = 0; f < folders_.size(); ++f)
        SortItems(static_cast<std::int32_t>(f));
    ColorKinds();
    WorkOutAverages();
}

void TreeMap::SortItems(std::int32_t folder)
{
    const MapFolder& f = folders_[static_cast<std::size_t>(folder)];
    std::sort(items_.begin() + f.FirstItem, items_.begin() + f.FirstItem + f.ItemCount,
              [&](std::int32_t a, std::int32_t b) {
                  const std::int64_t sa = ItemSize(a), sb = ItemSize(b);
                  return sa != sb ? sa > sb : a > b;
              });
}

void TreeMap::ColorKinds()
{
    // The ten kinds holding the most bytes get hues 36 degrees apart.
    kindColors_.assign(std::min<std::size_t>(kinds_.size(), kOtherKind), kGrey);
    const std::vector<std::int32_t> ranked = RankedKinds();
    for (std::size_t r = 0; r < ranked.size() && r < kHuedKinds; ++r)
        if (static_cast<std::size_t>(ranked[r]) < kindColors_.size())
            kindColors_[static_cast<std::size_t>(ranked[r])] = HueColor(36.0 * static_cast<double>(r), 0.7, 0.9);
}

void TreeMap::DropItem(std::int32_t folder, std::int32_t item)
{
    MapFolder& f = folders_[static_cast<std::size_t>(folder)];
    const auto first = items_.begin() + f.FirstItem;
    const auto last = first + f.ItemCount;
    const auto at = std::find(first, last, item);
    if (at == last)
        return;
    // The rest keep their order; the folder's range ends one sooner.
    std::copy(at + 1, last, at);
    --f.ItemCount;
}

void TreeMap::RemoveFile(std::int32_t file)
{
    MapFile& removed = files_[static_cast<std::size_t>(file)];
    const std::int32_t folder = removed.Folder;
    if (folder < 0)
        return;
    const std::int64_t size = removed.Size;
    if (removed.Kind != kOtherKind) {
        MapKind& kind = kinds_[removed.Kind];
        kind.Bytes -= size;
        --kind.Files;
    }
    // Kept in the table, which never moves its records, but in no folder.
    removed.Folder = -1;
    removed.Size = 0;
    if (size > 0) {
        DropItem(folder, file);
        for (std::int32_t f = folder; f >= 0; f = folders_[static_cast<std::size_t>(f)].Parent) {
            MapFolder& shrunk = folders_[static_cast<std::size_t>(f)];
            shrunk.Size -= size;
            if (shrunk.Parent < 0)
                continue;
            if (shrunk.Size > 0)
                SortItems(shrunk.Parent);
            else
                DropItem(shrunk.Parent, ~f);
        }
    }
    ColorKinds();
    WorkOutAverages();
}

TreeMap::OwnFiles TreeMap::FilesIn(std::int32_t folder) const
{
    OwnFiles own;
    for (std::size_t i = 0; i < files_.size(); ++i) {
        const MapFile& f = files_[i];
        if (f.Folder != folder)
            continue;
        own.Size += f.Size;
        ++own.Count;
        // Strictly later only, as the tree's walk takes it.
        if (CompareFileTime(&own.Newest, &f.Written) < 0)
            own.Newest = f.Written;
    }
    return own;
}

std::int64_t TreeMap::ItemSize(std::int32_t item) const
{
    return item >= 0 ? files_[static_cast<std::size_t>(item)].Size : folders_[static_cast<std::size_t>(~item)].Size;
}

double TreeMap::ShareOf(std::int64_t bytes) const
{
    // The root's size is every file's, once the walk has ended.
    const std::int64_t total = folders_.empty() ? 0 : folders_[0].Size;
    return total > 0 ? 100.0 * static_cast<double>(bytes) / static_cast<double>(total) : 0.0;
}

std::vector<std::int32_t> TreeMap::RankedKinds() const
{
    std::vector<std::int32_t> order;
    std::vector<std::string> keys(kinds_.size());
    for (std::size_t k = 0; k < kinds_.size(); ++k) {
        // A kind whose last file was deleted is gone.
        if (kinds_[k].Files == 0)
            continue;
        order.push_back(static_cast<std::int32_t>(k));
        keys[k] = UpperCased(KindName(kinds_[k]));
    }
    std::sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) {
        const MapKind& ka = kinds_[static_cast<std::size_t>(a)];
        const MapKind& kb = kinds_[static_cast<std::size_t>(b)];
        if (ka.Bytes != kb.Bytes)
            return ka.Bytes > kb.Bytes;
        return keys[static_cast<std::size_t>(a)] < keys[static_cast<std::size_t>(b)];
    });
    return order;
}

std::uint32_t TreeMap::ColorOf(const MapFile& file) const
{
    if (coloring_ == Coloring::Kind)
        return file.Kind < kindColors_.size() ? kindColors_[file.Kind] : kGrey;
    const std::int64_t age = CombineSize(start_.dwHighDateTime, start_.dwLowDateTime)
        - CombineSize(file.Written.dwHighDateTime, file.Written.dwLowDateTime);
    int band = 0;
    while (band < 4 && age >= kAgeLimits[band])
        ++band;
    return AgeColor(band);
}

void TreeMap::SetColoring(Coloring coloring)
{
    coloring_ = coloring;
    WorkOutAverages();
}

void TreeMap::WorkOutAverages()
{
    std::vector<ColorSum> sums(folders_.size());
    for (std::size_t i = 0; i < files_.size(); ++i)
        if (files_[i].Folder >= 0)
            sums[static_cast<std::size_t>(files_[i].Folder)].Add(ColorOf(files_[i]),
                                                                 static_cast<double>(files_[i].Size));
    for (std::size_t f = sums.size(); f-- > 0;) {
        folders_[f].Average = sums[f].Average();
        if (f > 0) {
            ColorSum& parent = sums[static_cast<std::size_t>(folders_[f].Parent)];
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
void TreeMap::Lay(std::int32_t folder, const MapRect& rect, const Cushion& cushion, int depth, Visit& visit) const
{
    if (!visit.Folder(folder, rect))
        return;
    const MapFolder& f = folders_[static_cast<std::size_t>(folder)];
    if (f.Size <= 0)
        return;
    const Cushion inside = cushion.With(rect, RidgeHeight(depth));
    auto sizeOf = [this, &f](std::int32_t i) { return ItemSize(items_[static_cast<std::size_t>(f.FirstItem + i)]); };
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
            const std::int32_t item = items_[static_cast<std::size_t>(f.FirstItem + i)];
            if (item >= 0)
                visit.File(item, r, tile);
            else
                Lay(~item, r, inside, depth + 1, visit);
        });
}

void TreeMap::Paint(const PixelBuffer& buffer, std::uint32_t background)
{
    width_ = buffer.width;
    height_ = buffer.height;
    std::fill(buffer.pixels, buffer.pixels + static_cast<std::ptrdiff_t>(buffer.width) * buffer.height, background);
    for (MapFolder& f : folders_)
        f.Rect = MapRect{};
    if (folders_.empty())
        return;
    struct Painter {
        TreeMap& map;
        const PixelBuffer& buffer;
        bool Folder(std::int32_t folder, const MapRect& rect)
        {
            map.folders_[static_cast<std::size_t>(folder)].Rect = rect;
            return true;
        }
        void File(std::int32_t file, const MapRect& r, const Cushion& cushion)
        {
            PaintCushion(buffer, r, cushion, map.ColorOf(map.files_[static_cast<std::size_t>(file)]));
        }
        void Block(std::int32_t folder, std::int32_t from, const MapRect& r, const Cushion& cushion)
        {
            const MapFolder& f = map.folders_[static_cast<std::size_t>(folder)];
            ColorSum sum;
            for (std::int32_t i = from; i < f.ItemCount; ++i) {
                const std::int32_t item = map.items_[static_cast<std::size_t>(f.FirstItem + i)];
                if (item >= 0) {
                    const MapFile& file = map.files_[static_cast<std::size_t>(item)];
                    sum.Add(map.ColorOf(file), static_cast<double>(file.Size));
                } else {
                    const MapFolder& sub = map.folders_[static_cast<std::size_t>(~item)];
                    sum.Add(sub.Average, static_cast<double>(sub.Size));
                }
            }
            PaintCushion(buffer, r, cushion, sum.Average());
        }
    } painter{*this, buffer};
    Lay(0, MapRect{0, 0, static_cast<double>(buffer.width), static_cast<double>(buffer.height)}, Cushion{}, 0,
        painter);
}

MapHit TreeMap::HitTest(int x, int y) const
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
    if (folders_.empty() || x < 0 || y < 0 || x >= width_ || y >= height_)
        return {};
    Lay(0, MapRect{0, 0, static_cast<double>(width_), static_cast<double>(height_)}, Cushion{}, 0, finder);
    if (finder.hit.File >= 0)
        finder.hit.Folder = files_[static_cast<std::size_t>(finder.hit.File)].Folder;
    return finder.hit;
}

MapRect TreeMap::Locate(const MapHit& target) const
{
    struct Locator {
        const TreeMap& map;
        const MapHit& target;
        MapRect found;
        bool file = false;
        bool Folder(std::int32_t folder, const MapRect&) const
        {
            for (std::int32_t f = target.Folder; f >= 0; f = map.folders_[static_cast<std::size_t>(f)].Parent)
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
    } locator{*this, target, {}};
    if (target.Folder < 0 || folders_.empty() || width_ <= 0 || height_ <= 0)
        return {};
    Lay(0, MapRect{0, 0, static_cast<double>(width_), static_cast<double>(height_)}, Cushion{}, 0, locator);
    return locator.found;
}

std::int32_t TreeMap::FolderOfNode(ui::TTreeNode node) const
{
    for (std::size_t f = 0; f < folders_.size(); ++f)
        if (folders_[f].Node == node)
            return static_cast<std::int32_t>(f);
    return -1;
}

std::wstring TreeMap::WidePathBelowRoot(std::int32_t folder) const
{
    std::vector<std::int32_t> chain;
    for (std::int32_t f = folder; f > 0; f = folders_[static_cast<std::size_t>(f)].Parent)
        chain.push_back(f);
    std::wstring path;
    for (auto f = chain.rbegin(); f != chain.rend(); ++f) {
        const MapFolder& folderRecord = folders_[static_cast<std::size_t>(*f)];
        path += names_.Get(folderRecord.Name, folderRecord.NameLength);
        path += L'\\';
    }
    return path;
}

DiskPath TreeMap::FolderPath(std::int32_t folder) const
{
    const std::wstring below = WidePathBelowRoot(folder);
    return DiskPath(root_.Shown + ShownText(below), root_.Wide + below);
}

DiskPath TreeMap::FilePath(std::int32_t file) const
{
    const MapFile& f = File(file);
    const std::wstring below = WidePathBelowRoot(f.Folder) + std::wstring(names_.Get(f.Name, f.NameLength));
    return DiskPath(root_.Shown + ShownText(below), root_.Wide + below);
}

std::string TreeMap::FileHint(std::int32_t file) const
{
    const MapFile& f = File(file);
    FILETIME local{};
    FileTimeToLocalFileTime(&f.Written, &local);
    SYSTEMTIME stamp{};
    FileTimeToSystemTime(&local, &stamp);
    return FilePath(file).Shown + "  " + FormatNumber(ToDisplaySize(f.Size)) + (SizeUnit == 1024 ? " KB" : " bytes")
        + "  " + FormatStamp(stamp).str();
}

std::string TreeMap::KindsText() const
{
    std::string text;
    for (const std::int32_t k : RankedKinds()) {
        const MapKind& kind = kinds_[static_cast<std::size_t>(k)];
        text += KindName(kind) + "\t" + FormatNumber(ToDisplaySize(kind.Bytes), 13) + "\t"
            + FormatNumber(static_cast<std::int64_t>(kind.Files), 8) + "\t" + FormatFixed(ShareOf(kind.Bytes), 2, 6)
            + "%\r\n";
    }
    return text;
}

std::vector<LegendEntry> TreeMap::Legend() const
{
    std::vector<LegendEntry> legend;
    if (coloring_ == Coloring::Age) {
        for (int band = 0; band < 5; ++band)
            legend.push_back({AgeColor(band), kAgeNames[band]});
        return legend;
    }
    const std::vector<std::int32_t> ranked = RankedKinds();
    for (std::size_t r = 0; r < ranked.size() && r < kHuedKinds; ++r) {
        const std::size_t k = static_cast<std::size_t>(ranked[r]);
        const MapKind& kind = kinds_[k];
        legend.push_back({k < kindColors_.size() ? kindColors_[k] : kGrey,
                          KindName(kind) + " " + FormatFixed1(ShareOf(kind.Bytes)) + "%"});
    }
    return legend;
}

std::size_t TreeMap::RecordBytes() const
{
    return files_.bytes() + folders_.capacity() * sizeof(MapFolder) + items_.capacity() * sizeof(std::int32_t)
        + kinds_.capacity() * sizeof(MapKind) + kindColors_.capacity() * sizeof(std::uint32_t);
}
