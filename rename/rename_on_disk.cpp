#include "rename/rename_on_disk.h"

#include <string_view>

#include "core/dbcs.h"
#include "core/find_file.h"
#include "rename/rename_check.h"

namespace {

// The last component of a shown path.
std::string_view ShownNameOf(std::string_view path)
{
    std::size_t nameStart = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(byte))
            ++i;  // a trail byte 0x5C is no separator
        else if (byte == '\\')
            nameStart = i + 1;
    }
    return path.substr(nameStart);
}

// The wide path cut after its last "\".
struct WideFolderAndName {
    std::wstring_view folder;
    std::wstring_view name;
};

WideFolderAndName Split(std::wstring_view path)
{
    const std::size_t slash = path.rfind(L'\\');
    const std::size_t nameStart = slash == std::wstring_view::npos ? 0 : slash + 1;
    return {path.substr(0, nameStart), path.substr(nameStart)};
}

// A name that stays in its folder: "/" separates as "\" does, "." and ".."
// name the folder and its parent, and a NUL would cut the name short.
bool IsPlainName(std::wstring_view name)
{
    return !name.empty() && name != L"." && name != L".." && name.find(L'/') == std::wstring_view::npos
        && name.find(L'\0') == std::wstring_view::npos;
}

// A path as the calls take it: through LongForm, or with a drive letter
// always prefixed, so that no part of its name is read as a device or cut.
std::wstring Reach(const std::wstring& path, bool prefixed)
{
    if (!prefixed || path.size() < 3 || path[1] != L':' || path[2] != L'\\')
        return LongForm(path);
    return L"\\\\?\\" + path;
}

bool NamesEntry(const std::wstring& path, std::wstring_view name, const EntryIdentity& entry, bool prefixed)
{
    return NamesEntry(Reach(path, prefixed), name, entry, prefixed ? EntryMatch::FolderByName : EntryMatch::Whole);
}

bool Move(const std::wstring& from, const std::wstring& to, bool prefixed = false)
{
    return MoveFileW(Reach(from, prefixed).c_str(), Reach(to, prefixed).c_str()) != 0;
}

// MoveFile reports success for a change of letter case and leaves the name
// as it was, so the entry goes through a free name of its folder first; if
// the second step fails it gets its own name back.
bool RenameThroughTemporary(const std::wstring& oldPath, const std::wstring& newPath, std::wstring_view folder,
                            bool prefixed)
{
    const std::wstring prefix = std::wstring(folder) + L"~zev" + std::to_wstring(GetCurrentProcessId()) + L"_";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring temporary = prefix + std::to_wstring(attempt) + L".tmp";
        if (Move(oldPath, temporary, prefixed)) {
            if (Move(temporary, newPath, prefixed))
                return true;
            Move(temporary, oldPath, prefixed);
            return false;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}

bool RenameEntry(const DiskPath& oldPath, const DiskPath& newPath, const EntryIdentity& entry, bool prefixed,
                 bool restoring)
{
    const WideFolderAndName from = Split(oldPath.Wide);
    const WideFolderAndName to = Split(newPath.Wide);
    if (from.folder.empty() || to.folder != from.folder || !IsPlainName(from.name) || !IsPlainName(to.name))
        return false;
    // Such a name would not be the name asked for, or could not be opened.
    if (!restoring && (EndsInSpaceOrDot(to.name) || IsReservedDeviceName(to.name)))
        return false;
    // The row names the entry it was listed from, under the name it shows.
    if (from.name != entry.Name || ShownNameOf(oldPath.Shown) != ShownText(entry.Name))
        return false;
    if (!NamesEntry(oldPath.Wide, entry.Name, entry, prefixed))
        return false;
    // The new name finds the entry itself: it differs from the old one in
    // letter case only (or names the entry another way).
    if (NamesEntry(newPath.Wide, entry.Name, entry, prefixed))
        return RenameThroughTemporary(oldPath.Wide, newPath.Wide, from.folder, prefixed);
    return Move(oldPath.Wide, newPath.Wide, prefixed);
}

}  // namespace

bool RenameOnDisk(const DiskPath& oldPath, const DiskPath& newPath, const EntryIdentity& entry)
{
    return RenameEntry(oldPath, newPath, entry, false, false);
}

bool RenameOnDisk(const DiskPath& oldPath, const DiskPath& newPath, const EntryIdentity& entry, RenameReach reach)
{
    return RenameEntry(oldPath, newPath, entry, true, reach == RenameReach::Restoring);
}
