#pragma once
// What a test can only do from the Unix side of Wine. Wine 8 has
// CreateSymbolicLinkA report success without making anything, it cannot
// remove a link to a folder (DeleteFileA is refused and RemoveDirectoryA looks
// through it to the target), and it looks every new name up without regard to
// case, so links, names differing only in case and thousands of folders are
// made by Unix programs. CreateProcessW runs a Unix program given its Unix
// path. Wine gives no handle to wait on for one, so each call waits for its
// result to show in the folder's listing instead.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/find_file.h"
#include "core/paths.h"

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

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

namespace unix_side {

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
// programs in UTF-8, the charset of its Unix names. Empty when not under Wine.
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

// Runs the Unix program and waits until path is listed (or gone).
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

}  // namespace unix_side

// A Unix symbolic link at link (a Windows path) to the folder target.
inline bool MakeUnixSymlink(const std::string& link, const std::string& target)
{
    const std::wstring unixTarget = unix_side::UnixPath(target);
    const std::wstring unixLink = unix_side::UnixPath(link);
    if (unixTarget.empty() || unixLink.empty())
        return false;
    return unix_side::RunUntil(L"/bin/ln", L"/bin/ln -s \"" + unixTarget + L"\" \"" + unixLink + L"\"", link, true);
}

// An empty file, made even where a name differing only in case is there.
inline bool MakeUnixFile(const std::string& path)
{
    const std::wstring unixPath = unix_side::UnixPath(path);
    return !unixPath.empty()
        && unix_side::RunUntil(L"/usr/bin/touch", L"/usr/bin/touch \"" + unixPath + L"\"", path, true);
}

// Sub-folders prefix0 to prefix(count - 1) of the folder, made in one go;
// through CreateDirectoryA, where Wine compares every new name with all the
// names of its folder, thousands take minutes.
inline bool MakeUnixFolders(const std::string& folder, const std::string& prefix, int count)
{
    const std::wstring unixFolder = unix_side::UnixPath(folder);
    const std::wstring wPrefix = unix_side::Wide(prefix, CP_ACP);
    return !unixFolder.empty()
        && unix_side::RunUntil(L"/bin/sh",
                               L"/bin/sh -c \"cd '" + unixFolder + L"' && seq -f '" + wPrefix + L"%.0f' 0 "
                                   + std::to_wstring(count - 1) + L" | xargs mkdir\"",
                               folder + "\\" + prefix + std::to_string(count - 1), true);
}

// Removes a tree with rm -rf, which removes links and never follows them.
inline bool RemoveUnixTree(const std::string& folder)
{
    const std::wstring unixFolder = unix_side::UnixPath(folder);
    return !unixFolder.empty()
        && unix_side::RunUntil(L"/bin/rm", L"/bin/rm -rf \"" + unixFolder + L"\"", folder, false);
}

// A file holding the ASCII content under a UTF-16 name that code page 932 may
// not hold; listed is the name the folder's listing shows for it. The content
// is written under a scratch name first, so the file is whole once listed.
inline bool MakeUnixFileNamed(const std::string& folder, const std::wstring& name, const std::string& content,
                              const std::string& listed)
{
    // "folder\." has the folder's own Unix path as its parent.
    const std::wstring unixFolder = unix_side::UnixPath(folder + "\\.");
    if (unixFolder.empty())
        return false;
    const std::wstring scratch = unixFolder + L"/.zev_scratch";
    const std::wstring target = unixFolder + L"/" + name;
    return unix_side::RunUntil(L"/bin/sh",
                               L"/bin/sh -c \"printf '%s' '" + unix_side::Wide(content, CP_ACP) + L"' > '" + scratch
                                   + L"' && mv '" + scratch + L"' '" + target + L"'\"",
                               folder + "\\" + listed, true);
}
