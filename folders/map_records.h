#pragma once
// What a walk of the tree page keeps of every file beneath the folder, for
// the map: the files and folders with their sizes, each folder's items by
// size, and the kinds of file by extension with their totals.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/disk_path.h"

class FindFile;

// A table that grows in fixed blocks: no doubling, so it takes what it holds
// and never copies its records while a walk adds to it.
template <class T, std::size_t BlockSize = 4096>
class BlockTable {
public:
    void push_back(const T& value)
    {
        if (size_ % BlockSize == 0)
            blocks_.push_back(std::make_unique<T[]>(BlockSize));
        blocks_.back()[size_ % BlockSize] = value;
        ++size_;
    }
    T& operator[](std::size_t i) { return blocks_[i / BlockSize][i % BlockSize]; }
    const T& operator[](std::size_t i) const { return blocks_[i / BlockSize][i % BlockSize]; }
    std::size_t size() const { return size_; }
    std::size_t bytes() const { return blocks_.size() * (BlockSize * sizeof(T) + sizeof(std::unique_ptr<T[]>)); }
    void clear()
    {
        decltype(blocks_)().swap(blocks_);
        size_ = 0;
    }

private:
    std::vector<std::unique_ptr<T[]>> blocks_;
    std::size_t size_ = 0;
};

// Names side by side in blocks; a name never spans two, so it reads as one
// piece, and the store grows without copying what it holds.
class NameStore {
public:
    static constexpr std::uint32_t kBlock = 1 << 16;

    std::uint32_t Add(std::wstring_view name);
    std::wstring_view Get(std::uint32_t at, std::uint32_t length) const
    {
        return {blocks_[at / kBlock].get() + at % kBlock, length};
    }
    std::size_t bytes() const { return blocks_.size() * kBlock * sizeof(wchar_t); }
    void clear()
    {
        decltype(blocks_)().swap(blocks_);
        used_ = kBlock;
    }

private:
    std::vector<std::unique_ptr<wchar_t[]>> blocks_;
    std::uint32_t used_ = kBlock;  // in the last block
};

// One file; its name lies in the records' name store.
struct MapFile {
    std::int64_t Size;
    FILETIME Written;  // UTC
    std::uint32_t Name;
    std::uint16_t NameLength;
    std::uint16_t Kind;  // index into the kinds; kOtherKind past the store's reach
    std::int32_t Folder;
};

// One folder, the root being folder 0; a folder comes after its parent.
struct MapFolder {
    std::int64_t Size = 0;  // of every file beneath it
    std::uint32_t Name = 0;
    std::uint32_t NameLength = 0;
    std::int32_t Parent = -1;
    // Its files and sub-folders that hold bytes, largest first, in the items.
    std::int32_t FirstItem = 0;
    std::int32_t ItemCount = 0;
};

struct MapKind {
    std::string Extension;  // with its dot, A to Z lowered; empty for none
    std::int64_t Bytes = 0;
    std::int32_t Files = 0;
};

class MapRecords {
public:
    static constexpr std::uint16_t kOtherKind = 0xFFFF;

    // A walk: Begin, then for each entry in walk order AddFile, or EnterFolder
    // before the sub-folder's own entries and LeaveFolder after them; End
    // works out the totals and the items' order. Folders are numbered in the
    // order they were entered, the root 0.
    void Begin(const DiskPath& root);
    void AddFile(const FindFile& entry);
    void EnterFolder(const FindFile& entry);
    void LeaveFolder();
    void End();
    // Forgets everything and gives the memory back.
    void Clear() noexcept;
    // Takes a file that has left the disk off the records: its bytes leave
    // its folders and its kind, and it leaves its folder's items; the
    // layout's Update follows with the colours.
    void RemoveFile(std::int32_t file);
    // The files the records hold directly in a folder: their bytes, count
    // and newest last-write time (UTC).
    struct OwnFiles {
        std::int64_t Size = 0;
        std::int32_t Count = 0;
        FILETIME Newest{};
    };
    OwnFiles FilesIn(std::int32_t folder) const;
    bool Empty() const { return folders_.empty(); }

    const MapFolder& Folder(std::int32_t folder) const { return folders_[static_cast<std::size_t>(folder)]; }
    std::size_t FolderCount() const { return folders_.size(); }
    const MapFile& File(std::int32_t file) const { return files_[static_cast<std::size_t>(file)]; }
    std::size_t FileCount() const { return files_.size(); }
    // A folder's i-th item, largest first: a file's index, or ~folder.
    std::int32_t Item(const MapFolder& folder, std::int32_t i) const
    {
        return items_[static_cast<std::size_t>(folder.FirstItem + i)];
    }
    // An item's size.
    std::int64_t ItemSize(std::int32_t item) const
    {
        return item >= 0 ? files_[static_cast<std::size_t>(item)].Size
                         : folders_[static_cast<std::size_t>(~item)].Size;
    }
    const std::vector<MapKind>& Kinds() const { return kinds_; }
    // The kinds, largest first, ties by the extension upper-cased.
    std::vector<std::int32_t> RankedKinds() const;
    // Percent of all the records' bytes.
    double ShareOf(std::int64_t bytes) const;
    // When the walk began, UTC: ages count from it.
    const FILETIME& Start() const { return start_; }

    DiskPath FolderPath(std::int32_t folder) const;  // ending in "\"
    DiskPath FilePath(std::int32_t file) const;
    // The bytes the records take beyond the names.
    std::size_t RecordBytes() const;

private:
    std::wstring WidePathBelowRoot(std::int32_t folder) const;
    // The kind of a wide extension (with its dot, A to Z lowered), added
    // when new.
    std::uint32_t KindOf(std::wstring_view wideExtension);
    // Orders a folder's items largest first.
    void SortItems(std::int32_t folder);
    void DropItem(std::int32_t folder, std::int32_t item);

    DiskPath root_;
    FILETIME start_{};  // UTC
    NameStore names_;
    BlockTable<MapFile> files_;
    std::vector<MapFolder> folders_;
    std::vector<std::int32_t> items_;  // a file's index, or ~folder
    std::vector<std::int32_t> walking_;
    std::vector<MapKind> kinds_;
    std::unordered_map<std::string, std::uint32_t> kindOf_;
    std::unordered_map<std::wstring, std::uint32_t> wideKindOf_;
    std::wstring wideExtension_;  // reused per file
};

// The name of a kind as the legend and the kinds copy show it.
std::string KindName(const MapKind& kind);
