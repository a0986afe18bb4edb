#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/find_file.h"

// A folder of its own under the temporary folder, removed with everything in
// it when the object goes.
class TestFolder {
public:
    explicit TestFolder(std::string_view name = "zev")
    {
        static int count = 0;
        char temp[MAX_PATH + 1] = {};
        GetTempPathA(sizeof temp, temp);
        temp_ = temp;
        path_ = temp_ + std::string(name) + "_" + std::to_string(GetCurrentProcessId()) + "_"
            + std::to_string(++count);
        RemoveTree(path_);
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~TestFolder()
    {
        // A folder that is the process's current folder (the folder selector
        // makes the folder it shows current) cannot be removed.
        char current[MAX_PATH + 1] = {};
        GetCurrentDirectoryA(sizeof current, current);
        if (std::string_view(current).starts_with(path_))
            SetCurrentDirectoryA(temp_.c_str());
        RemoveTree(path_);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(std::string_view name) const { return path_ + "\\" + std::string(name); }

    static void RemoveTree(const std::string& path)
    {
        for (FindFile entry(path + "\\*"); entry; entry.next()) {
            if (entry.isDotEntry())
                continue;
            const std::string child = path + "\\" + std::string(entry.name());
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.isFolder())
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        }
        RemoveDirectoryA(path.c_str());
    }

private:
    std::string temp_;
    std::string path_;
};

// A last-write time given in local time, as the pages show it.
inline SYSTEMTIME LocalTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second,
                            WORD milliseconds = 0)
{
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    time.wMilliseconds = milliseconds;
    return time;
}

// Creates a file of the size (past 4 GiB made sparse by extending the end),
// with the last-write time and attributes; false when any step fails.
inline bool MakeFile(const std::string& path, std::int64_t size = 0, const SYSTEMTIME* written = nullptr,
                     DWORD attributes = FILE_ATTRIBUTE_NORMAL)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    if (size > 0) {
        LARGE_INTEGER end;
        end.QuadPart = size;
        ok = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    }
    if (ok && written) {
        FILETIME local, utc;
        ok = SystemTimeToFileTime(written, &local) && LocalFileTimeToFileTime(&local, &utc)
            && SetFileTime(file, nullptr, nullptr, &utc);
    }
    CloseHandle(file);
    return ok && (attributes == FILE_ATTRIBUTE_NORMAL || SetFileAttributesA(path.c_str(), attributes));
}

namespace test_folder_detail {

inline std::wstring Widened(const std::string& text, UINT codePage)
{
    const int size = MultiByteToWideChar(codePage, 0, text.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> wide(static_cast<size_t>(size > 0 ? size : 1));
    MultiByteToWideChar(codePage, 0, text.c_str(), -1, wide.data(), size);
    return wide.data();
}

}  // namespace test_folder_detail

// Creates an empty file beside one whose name differs only in letter case.
// Wine looks every name up without regard to case, so such a file can only be
// made from the Unix side: Wine starts Unix programs given as Z: paths. Their
// handles cannot be waited on, so the file is awaited in the listing. False
// when not under Wine or when the file does not appear.
inline bool MakeFileFromUnix(const std::string& folder, const std::string& name)
{
    using UnixName = char*(CDECL*)(LPCWSTR);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    if (!unixName)
        return false;
    char* unixFolder = unixName(test_folder_detail::Widened(folder, CP_ACP).c_str());
    if (!unixFolder)
        return false;
    std::wstring command = L"Z:\\usr\\bin\\touch \"" + test_folder_detail::Widened(unixFolder, CP_UTF8) + L"/"
        + test_folder_detail::Widened(name, CP_ACP) + L"\"";
    HeapFree(GetProcessHeap(), 0, unixFolder);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(L"Z:\\usr\\bin\\touch", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (int wait = 0; wait < 1000; ++wait) {
        for (FindFile entry(folder + "\\*"); entry; entry.next())
            if (entry.name() == name)
                return true;
        Sleep(10);
    }
    return false;
}
