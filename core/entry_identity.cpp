#include "core/entry_identity.h"
#include "core/sizes.h"

#ifdef _WIN32
#include "core/find_file.h"
#endif

bool operator==(const EntryIdentity& a, const EntryIdentity& b)
{
    return a.Name == b.Name && a.ShortName == b.ShortName && a.Attributes == b.Attributes && a.Size == b.Size
        && a.WriteTime.dwLowDateTime == b.WriteTime.dwLowDateTime
        && a.WriteTime.dwHighDateTime == b.WriteTime.dwHighDateTime;
}

#ifdef _WIN32
EntryIdentity IdentityOf(const WIN32_FIND_DATAW& entry)
{
    return {entry.cFileName, entry.cAlternateFileName, entry.dwFileAttributes, CombineSize(entry.nFileSizeHigh, entry.nFileSizeLow),
            entry.ftLastWriteTime};
}

// A wildcard in the path would match others, so a second match means the
// path is ambiguous.
bool NamesEntry(const std::wstring& path, std::wstring_view name, const EntryIdentity& entry, EntryMatch match)
{
    FindFile found(path);
    if (!found || found.wideName() != name)
        return false;
    const EntryIdentity now = IdentityOf(found.data());
    const bool byName = match == EntryMatch::FolderByName && (entry.Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (byName ? now.Name != entry.Name || now.Attributes != entry.Attributes : !(now == entry))
        return false;
    return !found.next();
}
#endif
