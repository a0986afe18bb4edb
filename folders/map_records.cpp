#include "folders/map_records.h"

#include <algorithm>

#include "core/dbcs.h"
#include "core/find_file.h"
#include "core/sort_value.h"

// A file's record and its place among its folder's items, names aside.
static_assert(sizeof(MapFile) + sizeof(std::int32_t) <= 48);

std::string KindName(const MapKind& kind)
{
    return kind.Extension.empty() ? "(なし)" : kind.Extension;
}

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

void MapRecords::Clear() noexcept
{
    root_ = DiskPath{};
    names_.clear();
    files_.clear();
    decltype(folders_)().swap(folders_);
    decltype(items_)().swap(items_);
    decltype(walking_)().swap(walking_);
    decltype(kinds_)().swap(kinds_);
    decltype(kindOf_)().swap(kindOf_);
    decltype(wideKindOf_)().swap(wideKindOf_);
}

void MapRecords::Begin(const DiskPath& root)
{
    Clear();
    root_ = root;
    GetSystemTimeAsFileTime(&start_);
    folders_.push_back(MapFolder{});
    walking_.push_back(0);
}

void MapRecords::AddFile(const FindFile& entry)
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

std::uint32_t MapRecords::KindOf(std::wstring_view wideExtension)
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

void MapRecords::EnterFolder(const FindFile& entry)
{
    MapFolder folder;
    folder.Parent = walking_.back();
    folder.Name = names_.Add(entry.wideName());
    folder.NameLength = static_cast<std::uint32_t>(entry.wideName().size());
    walking_.push_back(static_cast<std::int32_t>(folders_.size()));
    folders_.push_back(folder);
}

void MapRecords::LeaveFolder()
{
    walking_.pop_back();
}

void MapRecords::End()
{
    decltype(walking_)().swap(walking_);
    decltype(kindOf_)().swap(kindOf_);
    decltype(wideKindOf_)().swap(wideKindOf_);
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
}

void MapRecords::SortItems(std::int32_t folder)
{
    const MapFolder& f = folders_[static_cast<std::size_t>(folder)];
    std::sort(items_.begin() + f.FirstItem, items_.begin() + f.FirstItem + f.ItemCount,
              [&](std::int32_t a, std::int32_t b) {
                  const std::int64_t sa = ItemSize(a), sb = ItemSize(b);
                  return sa != sb ? sa > sb : a > b;
              });
}

void MapRecords::DropItem(std::int32_t folder, std::int32_t item)
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

void MapRecords::RemoveFile(std::int32_t file)
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
}

MapRecords::OwnFiles MapRecords::FilesIn(std::int32_t folder) const
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

double MapRecords::ShareOf(std::int64_t bytes) const
{
    // The root's size is every file's, once the walk has ended.
    const std::int64_t total = folders_.empty() ? 0 : folders_[0].Size;
    return total > 0 ? 100.0 * static_cast<double>(bytes) / static_cast<double>(total) : 0.0;
}

std::vector<std::int32_t> MapRecords::RankedKinds() const
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

std::wstring MapRecords::WidePathBelowRoot(std::int32_t folder) const
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

DiskPath MapRecords::FolderPath(std::int32_t folder) const
{
    const std::wstring below = WidePathBelowRoot(folder);
    return DiskPath(root_.Shown + ShownText(below), root_.Wide + below);
}

DiskPath MapRecords::FilePath(std::int32_t file) const
{
    const MapFile& f = File(file);
    const std::wstring below = WidePathBelowRoot(f.Folder) + std::wstring(names_.Get(f.Name, f.NameLength));
    return DiskPath(root_.Shown + ShownText(below), root_.Wide + below);
}

std::size_t MapRecords::RecordBytes() const
{
    return files_.bytes() + folders_.capacity() * sizeof(MapFolder) + items_.capacity() * sizeof(std::int32_t)
        + kinds_.capacity() * sizeof(MapKind);
}
