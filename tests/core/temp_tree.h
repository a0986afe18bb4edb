#pragma once
// Real files and folders for the tests: a scratch tree under the temporary
// folder, with Shift_JIS names and file times set by the test.
#include <windows.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/find_file.h"
#include "core/walk_rule.h"
#include "tests/core/system_time.h"
#include "tests/core/unix_side.h"

// The file time of those fields read as UTC.
inline FILETIME Utc(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0, WORD second = 0)
{
    const SYSTEMTIME time = LocalTime(year, month, day, hour, minute, second);
    FILETIME result{};
    if (!SystemTimeToFileTime(&time, &result))
        throw std::runtime_error("no such time");
    return result;
}

// The UTC file time that shows as the given local time.
inline FILETIME LocalFileTime(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0, WORD second = 0)
{
    const FILETIME local = Utc(year, month, day, hour, minute, second);
    FILETIME result{};
    if (!LocalFileTimeToFileTime(&local, &result))
        throw std::runtime_error("no such local time");
    return result;
}

inline std::uint64_t Ticks(const FILETIME& time)
{
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

inline SYSTEMTIME LocalStamp(const FILETIME& utc)
{
    FILETIME local{};
    FileTimeToLocalFileTime(&utc, &local);
    SYSTEMTIME stamp{};
    FileTimeToSystemTime(&local, &stamp);
    return stamp;
}

// Opens a file or folder; a null handle when the open fails.
inline UniqueHandle Open(const std::string& path, DWORD access, DWORD share)
{
    const HANDLE handle = CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// The last-write time of a file or folder.
inline FILETIME WriteTime(const std::string& path)
{
    FILETIME time{};
    const UniqueHandle handle = Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (handle)
        GetFileTime(handle.get(), nullptr, nullptr, &time);
    return time;
}

inline bool SetWriteTime(const std::string& path, const FILETIME& utc)
{
    const UniqueHandle handle = Open(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE);
    return handle && SetFileTime(handle.get(), nullptr, nullptr, &utc);
}

// A new file of the size (large sizes by moving the end of file, so they take
// no time and, on most disks, no space), with the last-write time when one is
// given, and the attributes; false when any step fails.
inline bool MakeFile(const std::string& path, std::int64_t size = 0, const FILETIME* written = nullptr,
                     DWORD attributes = FILE_ATTRIBUTE_NORMAL)
{
    {
        const HANDLE created = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created == INVALID_HANDLE_VALUE)
            return false;
        const UniqueHandle file(created);
        LARGE_INTEGER end{};
        end.QuadPart = size;
        if (size > 0 && !(SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get())))
            return false;
        if (written && !SetFileTime(file.get(), nullptr, nullptr, written))
            return false;
    }
    return attributes == FILE_ATTRIBUTE_NORMAL || SetFileAttributesA(path.c_str(), attributes);
}

// A fresh folder under the temporary folder, removed with everything in it
// when the tree goes; links are removed, never followed. Its name ends in "表",
// whose trail byte is 0x5C. Names are relative to the root; folders must be
// made before what goes in them.
class TempTree {
public:
    TempTree()
    {
        char temp[MAX_PATH + 1] = {};
        const DWORD length = GetTempPathA(sizeof temp, temp);
        if (length == 0 || length > MAX_PATH)
            throw std::runtime_error("no temporary folder");
        temp_.assign(temp, length);
        static int serial = 0;
        root_ = temp_ + "zev_テスト_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial)
            + "表";
        if (!CreateDirectoryA(root_.c_str(), nullptr))
            throw std::runtime_error("cannot create " + root_);
    }
    ~TempTree()
    {
        // The folder selector makes the folder it shows current, and the
        // current folder cannot be removed.
        char current[MAX_PATH + 1] = {};
        GetCurrentDirectoryA(sizeof current, current);
        if (std::string_view(current).starts_with(root_))
            SetCurrentDirectoryA(temp_.c_str());
        Remove(unix_side::Wide(root_, CP_ACP));
        // What is left holds links, which only a Unix program can remove.
        if (GetFileAttributesA(root_.c_str()) != INVALID_FILE_ATTRIBUTES)
            RemoveUnixTree(root_);
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // The root without a trailing "\".
    const std::string& Root() const { return root_; }
    std::string Path(std::string_view relative) const { return root_ + "\\" + std::string(relative); }

    std::string Folder(std::string_view relative) const
    {
        const std::string path = Path(relative);
        if (!CreateDirectoryA(path.c_str(), nullptr))
            throw std::runtime_error("cannot create " + path);
        return path;
    }

    std::string File(std::string_view relative, std::int64_t size = 0) const
    {
        return Made(relative, size, nullptr, FILE_ATTRIBUTE_NORMAL);
    }
    // With the UTC last-write time and the attributes.
    std::string File(std::string_view relative, std::int64_t size, const FILETIME& written,
                     DWORD attributes = FILE_ATTRIBUTE_NORMAL) const
    {
        return Made(relative, size, &written, attributes);
    }

private:
    std::string Made(std::string_view relative, std::int64_t size, const FILETIME* written, DWORD attributes) const
    {
        const std::string path = Path(relative);
        if (!MakeFile(path, size, written, attributes))
            throw std::runtime_error("cannot create " + path);
        return path;
    }

    // Wide, so that names the code page cannot hold and paths of any length
    // go too.
    static void Remove(const std::wstring& folder)
    {
        for (FindFile entry(folder + L"\\*"); entry; entry.next()) {
            if (entry.isDotEntry())
                continue;
            const std::wstring path = folder + L"\\" + std::wstring(entry.wideName());
            SetFileAttributesW(LongForm(path).c_str(), FILE_ATTRIBUTE_NORMAL);
            if (IsWalkableFolder(entry.data()))
                Remove(path);
            else if (!entry.isFolder())
                DeleteFileW(LongForm(path).c_str());
        }
        SetFileAttributesW(LongForm(folder).c_str(), FILE_ATTRIBUTE_NORMAL);
        RemoveDirectoryW(LongForm(folder).c_str());
    }

    std::string temp_;
    std::string root_;
};
