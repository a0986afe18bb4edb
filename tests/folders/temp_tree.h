#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/find_file.h"
#include "core/paths.h"
#include "core/walk_rule.h"

// Test trees under the temporary folder, with Shift_JIS names and file times
// set by the test.
namespace tree {

inline FILETIME Utc(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    const SYSTEMTIME time{year, month, 0, day, hour, minute, second, 0};
    FILETIME result{};
    SystemTimeToFileTime(&time, &result);
    return result;
}

// The UTC file time that shows as the given local time.
inline FILETIME FromLocal(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    const FILETIME local = Utc(year, month, day, hour, minute, second);
    FILETIME result{};
    LocalFileTimeToFileTime(&local, &result);
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

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// Opens a file or folder; a null handle when the open fails.
inline UniqueHandle Open(const std::string& path, DWORD access, DWORD share)
{
    const HANDLE handle = CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

inline FILETIME WriteTime(const std::string& path)
{
    FILETIME time{};
    const UniqueHandle handle = Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (handle)
        GetFileTime(handle.get(), nullptr, nullptr, &time);
    return time;
}

inline bool SetWriteTime(const std::string& path, const FILETIME& time)
{
    const UniqueHandle handle = Open(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE);
    return handle && SetFileTime(handle.get(), nullptr, nullptr, &time);
}

// Entry names of a folder in the order the directory search reports them,
// without "." and "..".
inline std::vector<std::string> Listing(const std::string& folder)
{
    std::vector<std::string> names;
    for (FindFile entry(folder + "\\*.*"); entry; entry.next())
        if (!entry.isDotEntry())
            names.emplace_back(entry.name());
    return names;
}

// Unix symbolic links for the tests of walks. Wine 8 has CreateSymbolicLinkA
// report success without making anything, and it cannot remove a link to a
// folder either (DeleteFileA is refused and RemoveDirectoryA looks through it
// to the target), so links are made by /bin/ln and the trees holding them
// removed by /bin/rm, which CreateProcessW runs as Unix programs when given
// their Unix paths. Wine gives no handle to wait on for a Unix program, so
// each call waits for its result on disk instead.
namespace unix_link {

inline std::wstring Wide(const std::string& text, UINT codePage)
{
    std::wstring result(text.size() + 1, L'\0');
    const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()),
                                           result.data(), static_cast<int>(result.size()));
    result.resize(static_cast<std::size_t>(length));
    return result;
}

// The Unix path of a Windows path, through Wine's own export; the last
// component is appended as given, so the path may name nothing yet, and a
// link there is not resolved. Wide, because Wine hands wide arguments to Unix
// programs in UTF-8, the charset of its Unix names.
inline std::wstring UnixPath(const std::string& path)
{
    using UnixNameOf = char*(CDECL*)(const WCHAR*);
    const auto unixNameOf = reinterpret_cast<UnixNameOf>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    const std::string parent = ParentPath(path);
    if (!unixNameOf || parent.empty())
        return {};
    char* folder = unixNameOf(Wide(parent, CP_ACP).c_str());
    if (!folder)
        return {};
    std::wstring result = Wide(folder, CP_UTF8) + L"/" + Wide(path.substr(parent.size() + 1), CP_ACP);
    HeapFree(GetProcessHeap(), 0, folder);
    return result;
}

// Looked up in the folder's listing: a link whose target is gone is still
// an entry there, while GetFileAttributesA no longer finds it.
inline bool IsListed(const std::string& path)
{
    const std::string parent = ParentPath(path);
    const std::string name = path.substr(parent.size() + 1);
    for (const std::string& entry : Listing(parent))
        if (entry == name)
            return true;
    return false;
}

inline bool RunUntil(const wchar_t* program, std::wstring command, const std::string& path, bool listed)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    // For a Unix program Wine hands back no process handle and leaves the
    // thread handle undefined; there is nothing to close then.
    const UniqueHandle processHandle(process.hProcess);
    const UniqueHandle threadHandle(process.hProcess ? process.hThread : nullptr);
    for (int wait = 0; wait < 3000; ++wait) {
        if (IsListed(path) == listed)
            return true;
        Sleep(10);
    }
    return false;
}

}  // namespace unix_link

// A Unix symbolic link at link (a Windows path) to the folder target.
inline bool MakeUnixSymlink(const std::string& link, const std::string& target)
{
    const std::wstring unixTarget = unix_link::UnixPath(target);
    const std::wstring unixLink = unix_link::UnixPath(link);
    if (unixTarget.empty() || unixLink.empty())
        return false;
    return unix_link::RunUntil(L"/bin/ln", L"/bin/ln -s \"" + unixTarget + L"\" \"" + unixLink + L"\"", link, true);
}

// Sub-folders prefix0 to prefix(count - 1) of the folder, made in one go. Wine
// looks for every new name among all the names of its folder, regardless of
// case, so making thousands of folders through CreateDirectoryA takes minutes.
inline bool MakeUnixFolders(const std::string& folder, const std::string& prefix, int count)
{
    const std::wstring unixFolder = unix_link::UnixPath(folder);
    const std::wstring wPrefix = unix_link::Wide(prefix, CP_ACP);
    return !unixFolder.empty()
        && unix_link::RunUntil(L"/bin/sh",
                               L"/bin/sh -c \"cd '" + unixFolder + L"' && seq -f '" + wPrefix + L"%.0f' 0 "
                                   + std::to_wstring(count - 1) + L" | xargs mkdir\"",
                               folder + "\\" + prefix + std::to_string(count - 1), true);
}

// Removes a tree with rm -rf, which removes links and never follows them.
inline bool RemoveUnixTree(const std::string& folder)
{
    const std::wstring unixFolder = unix_link::UnixPath(folder);
    return !unixFolder.empty()
        && unix_link::RunUntil(L"/bin/rm", L"/bin/rm -rf \"" + unixFolder + L"\"", folder, false);
}

// A fresh folder under the temporary folder, removed with everything in it
// when the tree goes; links are removed, never followed. Its name ends in "表",
// whose trail byte is 0x5C.
class TempTree {
public:
    TempTree()
    {
        char temp[MAX_PATH + 1] = {};
        GetTempPathA(MAX_PATH, temp);
        static int serial = 0;
        root_ = std::string(temp) + "zev_テスト_" + std::to_string(GetCurrentProcessId()) + "_"
            + std::to_string(++serial) + "表";
        CreateDirectoryA(root_.c_str(), nullptr);
    }
    ~TempTree()
    {
        Remove(root_);
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
        CreateDirectoryA(path.c_str(), nullptr);
        return path;
    }

    // A file of the given size (sparse where the file system allows) whose
    // last write is the given UTC time.
    std::string File(std::string_view relative, std::int64_t size, const FILETIME& written,
                     DWORD attributes = FILE_ATTRIBUTE_NORMAL) const
    {
        const std::string path = Path(relative);
        {
            const HANDLE created = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                               FILE_ATTRIBUTE_NORMAL, nullptr);
            if (created == INVALID_HANDLE_VALUE)
                return path;
            const UniqueHandle handle(created);
            LARGE_INTEGER end{};
            end.QuadPart = size;
            SetFilePointerEx(handle.get(), end, nullptr, FILE_BEGIN);
            SetEndOfFile(handle.get());
            SetFileTime(handle.get(), nullptr, nullptr, &written);
        }
        if (attributes != FILE_ATTRIBUTE_NORMAL)
            SetFileAttributesA(path.c_str(), attributes);
        return path;
    }

private:
    static void Remove(const std::string& folder)
    {
        for (FindFile entry(folder + "\\*.*"); entry; entry.next()) {
            if (entry.isDotEntry())
                continue;
            const std::string path = folder + "\\" + std::string(entry.name());
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (IsWalkableFolder(entry.data()))
                Remove(path);
            else if (!entry.isFolder())
                DeleteFileA(path.c_str());
        }
        RemoveDirectoryA(folder.c_str());
    }

    std::string root_;
};

}  // namespace tree
