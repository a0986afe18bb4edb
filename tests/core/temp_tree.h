#pragma once
// A scratch folder tree for tests that need real files: a unique folder under
// the user's temp folder, removed with everything in it when the object goes.
// Names are Shift_JIS and relative to the root; folders must be made before
// what goes in them.
#include <windows.h>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include "core/find_file.h"

// The UTC file time that the local time shows as.
inline FILETIME LocalFileTime(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0, WORD second = 0)
{
    SYSTEMTIME local{};
    local.wYear = year;
    local.wMonth = month;
    local.wDay = day;
    local.wHour = hour;
    local.wMinute = minute;
    local.wSecond = second;
    FILETIME localTime;
    FILETIME utc;
    if (!SystemTimeToFileTime(&local, &localTime) || !LocalFileTimeToFileTime(&localTime, &utc))
        throw std::runtime_error("no such local time");
    return utc;
}

class TempTree {
public:
    TempTree()
    {
        char temp[MAX_PATH + 1];
        const DWORD length = GetTempPathA(sizeof temp, temp);
        if (length == 0 || length > MAX_PATH)
            throw std::runtime_error("no temp folder");
        const std::string base = std::string(temp, length) + "zev-Test-" + std::to_string(GetCurrentProcessId()) + "-";
        for (unsigned n = 0;; ++n) {
            root_ = base + std::to_string(n);
            if (CreateDirectoryA(root_.c_str(), nullptr))
                break;
            if (GetLastError() != ERROR_ALREADY_EXISTS || n == 1000)
                throw std::runtime_error("cannot create " + root_);
        }
    }
    ~TempTree() { Remove(root_); }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // The full path of the root, without a trailing "\".
    const std::string& root() const { return root_; }
    std::string path(std::string_view relative) const { return root_ + "\\" + std::string(relative); }

    std::string makeFolder(std::string_view relative) const
    {
        const std::string full = path(relative);
        if (!CreateDirectoryA(full.c_str(), nullptr))
            throw std::runtime_error("cannot create " + full);
        return full;
    }

    // A file of the given size; large sizes are set by moving the end of
    // file, so they take no time (and, on most disks, no space).
    std::string makeFile(std::string_view relative, std::int64_t size = 0) const
    {
        const std::string full = path(relative);
        const Handle file(CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER end;
        end.QuadPart = size;
        if (file.handle == INVALID_HANDLE_VALUE || !SetFilePointerEx(file.handle, end, nullptr, FILE_BEGIN)
            || !SetEndOfFile(file.handle))
            throw std::runtime_error("cannot create " + full);
        return full;
    }

    // The last-write time of a file or folder.
    void setLastWrite(std::string_view relative, const FILETIME& utc) const
    {
        const std::string full = path(relative);
        const Handle entry(CreateFileA(full.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (entry.handle == INVALID_HANDLE_VALUE || !SetFileTime(entry.handle, nullptr, nullptr, &utc))
            throw std::runtime_error("cannot set the time of " + full);
    }

private:
    struct Handle {
        explicit Handle(HANDLE h) : handle(h) {}
        ~Handle()
        {
            if (handle != INVALID_HANDLE_VALUE)
                CloseHandle(handle);
        }
        Handle(const Handle&) = delete;
        Handle& operator=(const Handle&) = delete;
        HANDLE handle;
    };

    static void Remove(const std::string& folder)
    {
        for (FindFile entry(folder + "\\*"); entry; entry.next()) {
            if (entry.isDotEntry())
                continue;
            const std::string full = folder + "\\" + std::string(entry.name());
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            // A link to a folder goes by itself; what it points at is not ours.
            if (entry.isFolder() && (entry.data().dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
                RemoveDirectoryA(full.c_str());
            else if (entry.isFolder())
                Remove(full);
            else
                DeleteFileA(full.c_str());
        }
        SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
        RemoveDirectoryA(folder.c_str());
    }

    std::string root_;
};
