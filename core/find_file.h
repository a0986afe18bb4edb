#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include "core/sizes.h"
#include "core/win_types.h"

// One directory search. The first match is read on construction, next() reads
// the following ones, and the search handle closes with the object:
//     for (FindFile entry(folder + "\\*"); entry; entry.next()) ...
class FindFile {
public:
    explicit FindFile(const std::string& pattern);
    ~FindFile();
    FindFile(const FindFile&) = delete;
    FindFile& operator=(const FindFile&) = delete;

    // True while the object holds a match.
    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }
    // Reads the next match; without one the search is closed and false returned.
    bool next();

    const WIN32_FIND_DATAA& data() const { return data_; }
    std::string_view name() const { return data_.cFileName; }
    bool isFolder() const { return (data_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    // "." or "..", which every folder listing reports.
    bool isDotEntry() const { return name() == "." || name() == ".."; }
    std::int64_t size() const { return CombineSize(data_.nFileSizeHigh, data_.nFileSizeLow); }

private:
    void close();

    // Declared first: the search fills it while handle_ is initialised.
    WIN32_FIND_DATAA data_{};
    HANDLE handle_;
};
