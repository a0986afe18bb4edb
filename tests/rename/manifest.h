#pragma once
// What a folder holds, as the rename tests compare it before and after:
// every entry's shown name, kind, size and content.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "core/disk_path.h"
#include "core/find_file.h"
#include "tests/core/unix_side.h"

// One entry of a folder as a test sees it: a folder's checksum is that of the
// file "inner" in it, so a swap of two entries shows.
struct ManifestEntry {
    std::string name;
    bool folder;
    std::int64_t size;
    std::uint32_t checksum;
    auto operator<=>(const ManifestEntry&) const = default;
};
using Manifest = std::vector<ManifestEntry>;

inline void PrintTo(const ManifestEntry& e, std::ostream* out)
{
    *out << "{" << e.name << (e.folder ? "\\" : "") << " " << e.size << " " << e.checksum << "}";
}

inline std::uint32_t Checksum(const std::string& bytes)
{
    std::uint32_t hash = 2166136261u;
    for (unsigned char byte : bytes)
        hash = (hash ^ byte) * 16777619u;
    return hash;
}

inline std::string Content(const std::wstring& path)
{
    const HANDLE opened = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    const UniqueHandle file(opened == INVALID_HANDLE_VALUE ? nullptr : opened);
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (file && ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

inline Manifest ManifestOf(const std::string& folder)
{
    Manifest manifest;
    for (FindFile entry(folder + "\\*.*"); entry; entry.next()) {
        if (entry.isDotEntry())
            continue;
        // A name the listing shows as a look-alike opens through its own name.
        const std::wstring path = WideText(folder) + L"\\" + std::wstring(entry.wideName());
        if (entry.isFolder())
            manifest.push_back({std::string(entry.name()), true, 0, Checksum(Content(path + L"\\inner"))});
        else
            manifest.push_back({std::string(entry.name()), false, entry.size(), Checksum(Content(path))});
    }
    std::sort(manifest.begin(), manifest.end());
    return manifest;
}

