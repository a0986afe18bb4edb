#include "core/entry_identity.h"
#include "core/sizes.h"

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
#endif
