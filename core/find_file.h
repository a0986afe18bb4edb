#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include "core/disk_path.h"
#include "core/sizes.h"
#include "core/walk_rule.h"
#include "core/win_types.h"

// One directory search, through the wide entry points so that every entry is
// found whatever its name, and a path of any length is searched. The first
// match is read on construction, next() reads the following ones, and the
// search handle closes with the object:
//     for (FindFile entry(folder.Wide + L"*"); entry; entry.next()) ...
// Each entry gives its own wide name, which reaches it, and the name the
// window shows for it (see DiskPath).
class FindFile {
public:
    explicit FindFile(const std::wstring& pattern);
    explicit FindFile(const DiskPath& pattern) : FindFile(pattern.Wide) {}
    ~FindFile();
    FindFile(const FindFile&) = delete;
    FindFile& operator=(const FindFile&) = delete;

    // True while the object holds a match.
    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }
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
    mutable std::string shown_;
    mutable bool shownRead_ = false;
};

// The sub-folder an entry of folder (ending in "\") names, ending in "\".
DiskPath SubFolder(const DiskPath& folder, const FindFile& entry);
