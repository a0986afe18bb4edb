#include "rename/rename_on_disk.h"

#include <string_view>

#include "core/dbcs.h"
#include "core/find_file.h"

namespace {

struct FolderAndName {
    std::string_view folder;  // up to and including the last "\"
    std::string_view name;
};

FolderAndName Split(std::string_view path)
{
    std::size_t nameStart = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(byte))
            ++i;  // a trail byte 0x5C is no separator
        else if (byte == '\\')
            nameStart = i + 1;
    }
    return {path.substr(0, nameStart), path.substr(nameStart)};
}

// A name that stays in its folder: "/" separates as "\" does, and "." and
// ".." name the folder and its parent.
bool IsPlainName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

// Whether path names exactly one entry, listed under name, with the identity.
// A "?" that stood in for a character code page 932 cannot hold is a wildcard
// to the directory search, so a second match means the path is ambiguous.
bool NamesEntry(const std::string& path, std::string_view name, const EntryIdentity& entry)
{
    FindFile found(path);
    if (!found || found.name() != name || !(IdentityOf(found.data()) == entry))
        return false;
    return !found.next();
}

// MoveFileA reports success for a change of letter case and leaves the name
// as it was, so the entry goes through a free name of its folder first; if
// the second step fails it gets its own name back.
bool RenameThroughTemporary(const std::string& oldPath, const std::string& newPath, std::string_view folder)
{
    const std::string prefix = std::string(folder) + "~zev" + std::to_string(GetCurrentProcessId()) + "_";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temporary = prefix + std::to_string(attempt) + ".tmp";
        if (MoveFileA(oldPath.c_str(), temporary.c_str())) {
            if (MoveFileA(temporary.c_str(), newPath.c_str()))
                return true;
            MoveFileA(temporary.c_str(), oldPath.c_str());
            return false;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}

}  // namespace

bool RenameOnDisk(const std::string& oldPath, const std::string& newPath, const EntryIdentity& entry)
{
    const FolderAndName from = Split(oldPath);
    const FolderAndName to = Split(newPath);
    if (from.folder.empty() || to.folder != from.folder || !IsPlainName(from.name) || !IsPlainName(to.name))
        return false;
    if (!NamesEntry(oldPath, from.name, entry))
        return false;
    // The new name finds the entry itself: it differs from the old one in
    // letter case only (or names the entry another way).
    if (NamesEntry(newPath, from.name, entry))
        return RenameThroughTemporary(oldPath, newPath, from.folder);
    return MoveFileA(oldPath.c_str(), newPath.c_str()) != 0;
}
