#pragma once
// The tree page's map: what a walk keeps of every file beneath the folder,
// laid out as a squarified treemap (area = size) and coloured by age or kind.
#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/disk_path.h"
#include "core/treemap_layout.h"
#include "ui/tree_view.h"

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

// One file; its name lies in the map's name store.
struct MapFile {
    std::int64_t Size;
    FILETIME Written;  // UTC
    std::uint32_t Name;
    std::uint16_t NameLength;
    std::uint16_t Kind;  // index into the kinds; kOtherKind past the store's reach
    std::int32_t Folder;
};

struct MapFolder {
    std::int64_t Size = 0;  // of every file beneath it
    std::uint32_t Name = 0;
    std::uint32_t NameLength = 0;
    std::int32_t Parent = -1;
    // Its files and sub-folders that hold bytes, largest first, in the items.
    std::int32_t FirstItem = 0;
    std::int32_t ItemCount = 0;
    ui::TTreeNode Node = nullptr;
    MapRect Rect;  // from the last layout
    std::uint32_t Average = 0;  // colour of its files on average, by bytes
};

struct MapKind {
    std::string Extension;  // with its dot, A to Z lowered; empty for none
    std::int64_t Bytes = 0;
    std::int32_t Files = 0;
};

struct LegendEntry {
    std::uint32_t Color;  // 0x00RRGGBB
    std::string Text;
};

// Where a point of the map lies: the file's rectangle, or the block of small
// files of a folder (File -1) painted as one.
struct MapHit {
    std::int32_t File = -1;
    std::int32_t Folder = -1;
    MapRect Rect;
};

class TreeMap {
public:
    enum class Coloring { Age, Kind };
    static constexpr std::uint16_t kOtherKind = 0xFFFF;

    // A walk: Begin, then for each entry in walk order AddFile, or EnterFolder
    // before the sub-folder's own entries and LeaveFolder after them; End.
    void Begin(const DiskPath& root, ui::TTreeNode rootNode);
    void AddFile(const FindFile& entry);
    void EnterFolder(const FindFile& entry, ui::TTreeNode node);
    void LeaveFolder();
    void End();
    // Forgets everything and gives the memory back.
    void Clear();
    // Takes a file that has left the disk off the map: its bytes leave its
    // folders and its kind, it leaves its folder's items, and the kinds'
    // colours and the folders' averages follow; the next Paint lays out
    // what is left.
    void RemoveFile(std::int32_t file);
    // The files the map holds directly in a folder: their bytes, count and
    // newest last-write time (UTC).
    struct OwnFiles {
        std::int64_t Size = 0;
        std::int32_t Count = 0;
        FILETIME Newest{};
    };
    OwnFiles FilesIn(std::int32_t folder) const;
    bool Empty() const { return folders_.empty(); }

    Coloring Colors() const { return coloring_; }
    void SetColoring(Coloring coloring);

    // Lays the map out over the whole buffer and paints it; background where
    // nothing holds bytes.
    void Paint(const PixelBuffer& buffer, std::uint32_t background);
    // What the pixel shows under the last Paint's layout.
    MapHit HitTest(int x, int y) const;
    // Where a file, or a folder's block of small files (File -1), lies under
    // the last Paint's layout; a file laid in its folder's block gives the
    // block's rectangle. Empty when it is not on the map.
    MapRect Locate(const MapHit& target) const;
    // The folder of a tree node, -1 for none.
    std::int32_t FolderOfNode(ui::TTreeNode node) const;
    const MapFolder& Folder(std::int32_t folder) const { return folders_[static_cast<std::size_t>(folder)]; }
    const MapFile& File(std::int32_t file) const { return files_[static_cast<std::size_t>(file)]; }
    std::size_t FileCount() const { return files_.size(); }

    DiskPath FolderPath(std::int32_t folder) const;  // ending in "\"
    DiskPath FilePath(std::int32_t file) const;
    // Path, size in SizeUnit and time, as the status bar shows it.
    std::string FileHint(std::int32_t file) const;
    // One line per extension, by bytes, sizes in SizeUnit; the kinds copy.
    std::string KindsText() const;
    std::vector<LegendEntry> Legend() const;
    // The colour of a file as the map paints it before shading.
    std::uint32_t ColorOf(const MapFile& file) const;
    // The bytes the records take beyond the names.
    std::size_t RecordBytes() const;

private:
    std::wstring WidePathBelowRoot(std::int32_t folder) const;
    // The kind of a wide extension (with its dot, A to Z lowered), added
    // when new.
    std::uint32_t KindOf(std::wstring_view wideExtension);
    // A file's size, or a folder's (~folder) in the items.
    std::int64_t ItemSize(std::int32_t item) const;
    // Percent of all the map's bytes.
    double ShareOf(std::int64_t bytes) const;
    // The kinds, largest first, ties by the extension upper-cased.
    std::vector<std::int32_t> RankedKinds() const;
    void WorkOutAverages();
    // Gives the kinds holding the most bytes their hues.
    void ColorKinds();
    // Orders a folder's items largest first.
    void SortItems(std::int32_t folder);
    void DropItem(std::int32_t folder, std::int32_t item);
    template <class Visit>
    void Lay(std::int32_t folder, const MapRect& rect, const Cushion& cushion, int depth, Visit& visit) const;

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
    // Colour per kind, kOtherKind's being grey.
    std::vector<std::uint32_t> kindColors_;
    Coloring coloring_ = Coloring::Age;
    int width_ = 0, height_ = 0;
};
