#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>
#include "core/disk_path.h"
#include "core/sizes.h"
#include "core/walk_rule.h"
#include "core/win_types.h"

// The entries of one folder as a search found them, in its order, kept whole
// for later: every field of each entry, its names included. A listing is
// made on one thread and read on another; it holds nothing but values.
class FolderListing {
public:
    void add(const WIN32_FIND_DATAW& entry);
    std::size_t size() const { return entries_.size(); }
    // Writes entry i back into data, as the search gave it.
    void get(std::size_t i, WIN32_FIND_DATAW& data) const;
    // About the memory the listing holds.
    std::size_t bytes() const;

private:
    struct Entry {
        DWORD attributes;
        FILETIME created, accessed, written;
        DWORD sizeHigh, sizeLow;
        DWORD reserved0, reserved1;  // the reparse tag, and what follows it
        std::uint32_t name;          // where the name starts in names_
        std::uint16_t nameLength, shortLength;  // the short name follows the name
    };
    std::vector<Entry> entries_;
    std::wstring names_;
};

// One directory search, through the wide entry points so that every entry is
// found whatever its name, and a path of any length is searched. The first
// match is read on construction, next() reads the following ones, and the
// search handle closes with the object:
//     for (FindFile entry(folder.Wide + L"*"); entry; entry.next()) ...
// Each entry gives its own wide name, which reaches it, and the name the
// window shows for it (see DiskPath). A FindFile may also go through a
// listing read earlier, entry by entry, exactly as the search would.
class FindFile {
public:
    explicit FindFile(const std::wstring& pattern);
    explicit FindFile(const DiskPath& pattern) : FindFile(pattern.Wide) {}
    explicit FindFile(FolderListing listing);
    ~FindFile();
    FindFile(const FindFile&) = delete;
    FindFile& operator=(const FindFile&) = delete;

    // True while the object holds a match.
    explicit operator bool() const { return holds_; }
    // Reads the next match; without one the search is closed and false returned.
    bool next();

    const WIN32_FIND_DATAW& data() const { return data_; }
    // The name as the window shows it, converted on first use.
    std::string_view name() const;
    std::wstring_view wideName() const { return data_.cFileName; }
    bool isFolder() const { return (data_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    // "." or "..", which every folder listing reports.
    bool isDotEntry() const { return IsDotName(data_.cFileName); }
    std::int64_t size() const { return CombineSize(data_.nFileSizeHigh, data_.nFileSizeLow); }

private:
    void close();

    // Declared first: the search fills it while handle_ is initialised.
    WIN32_FIND_DATAW data_{};
    HANDLE handle_;
    bool holds_;
    FolderListing listing_;
    std::size_t nextInListing_ = 0;
    mutable std::string shown_;
    mutable bool shownRead_ = false;
};

// The sub-folder an entry of folder (ending in "\") names, ending in "\".
DiskPath SubFolder(const DiskPath& folder, const FindFile& entry);
