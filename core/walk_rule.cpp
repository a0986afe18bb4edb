#include "core/walk_rule.h"

#ifdef _WIN32

namespace {

// IO_REPARSE_TAG_CLOUD to IO_REPARSE_TAG_CLOUD_F: the cloud-files tags differ
// only in bits 12 to 15.
constexpr DWORD CloudTagMask = 0xFFFF0FFF;
constexpr DWORD CloudTag = 0x9000001A;

}  // namespace

bool IsDotName(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

bool IsWalkableFolder(const WIN32_FIND_DATAW& entry)
{
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || IsDotName(entry.cFileName))
        return false;
    // The search reports a reparse point's tag in dwReserved0. Wine marks a
    // Unix symbolic link to a folder as a reparse point with no meaningful
    // tag, so such links are passed over as well.
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return (entry.dwReserved0 & CloudTagMask) == CloudTag;
    return true;
}

#endif
