#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include "core/win_types.h"

// What tells one directory entry from another that shows under the same
// name: a name code page 932 cannot hold shows as "?" or as a look-alike
// ("café.txt" as "cafe.txt"), which may be the name of a different entry.
// The wide name is the entry's own, and the way to reach it.
struct EntryIdentity {
    std::wstring Name;       // the name as stored
    std::wstring ShortName;  // 8.3 name where the volume gives one
    DWORD Attributes = 0;
    std::int64_t Size = 0;
    FILETIME WriteTime{};    // UTC, as listed
};

bool operator==(const EntryIdentity& a, const EntryIdentity& b);

#ifdef _WIN32
EntryIdentity IdentityOf(const WIN32_FIND_DATAW& entry);
// Whether path names exactly one entry, stored under name, with the
// identity: what a rename or a delete checks before it touches the entry.
// A folder can be matched by its name and attributes alone, leaving out its
// write time, which renames inside it change.
enum class EntryMatch { Whole, FolderByName };
bool NamesEntry(const std::wstring& path, std::wstring_view name, const EntryIdentity& entry,
                EntryMatch match = EntryMatch::Whole);
#endif
