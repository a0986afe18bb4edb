#include "core/paths.h"
#include "core/dbcs.h"
#include <cstddef>
#ifdef _WIN32
#include <vector>
#include "core/find_file.h"
#endif

// Every scan steps over double-byte characters: a trail byte may be 0x5C
// ("表" is 0x95 0x5C) and is never a separator. A lead byte in the last
// position is taken as one byte, so no scan reads past the end.

namespace {

constexpr auto None = std::string_view::npos;

struct PathMarks {
    std::size_t lastSlash = None;    // the last "\" character
    std::size_t slashBefore = None;  // the "\" before that one
    std::size_t nameStart = 0;       // just after the last "\" or ":"
};

PathMarks Mark(std::string_view path)
{
    PathMarks marks;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(byte)) {
            ++i;
        } else if (byte == '\\') {
            marks.slashBefore = marks.lastSlash;
            marks.lastSlash = i;
            marks.nameStart = i + 1;
        } else if (byte == ':') {
            marks.nameStart = i + 1;
        }
    }
    return marks;
}

bool EndsWithSlash(std::string_view path, const PathMarks& marks)
{
    return !path.empty() && marks.lastSlash == path.size() - 1;
}

bool EndsWithSlash(std::string_view path)
{
    return EndsWithSlash(path, Mark(path));
}

std::size_t NextSlash(std::string_view path, std::size_t from)
{
    for (std::size_t i = from; i < path.size(); ++i) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(byte))
            ++i;
        else if (byte == '\\')
            return i;
    }
    return None;
}

std::string_view ParentView(std::string_view path)
{
    const PathMarks marks = Mark(path);
    const std::size_t cut = EndsWithSlash(path, marks) ? marks.slashBefore : marks.lastSlash;
    return cut == None ? std::string_view{} : path.substr(0, cut);
}

void AppendBackslash(std::string& path)
{
    if (!path.empty() && !EndsWithSlash(path))
        path += '\\';
}

}  // namespace

std::string ParentPath(std::string_view path)
{
    return std::string(ParentView(path));
}

namespace {

bool IsLead(char byte)
{
    return IsLeadByte(static_cast<unsigned char>(byte));
}

bool IsLead(wchar_t)
{
    return false;
}

// The length FolderOfPath keeps, for either form of a path.
template <class Char>
std::size_t FolderLength(std::basic_string_view<Char> path)
{
    bool found = false;
    std::size_t cut = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (IsLead(path[i])) {
            ++i;
            continue;
        }
        if (path[i] != Char(':') && path[i] != Char('\\'))
            continue;
        found = true;
        if (i + 1 < path.size() && path[i + 1] == Char('\\')) {
            cut = i + 1;
            ++i;
        } else {
            cut = (path[i] == Char('\\') && i != 0) ? i - 1 : i;
        }
    }
    return found ? cut + 1 : 0;
}

}  // namespace

std::string FolderOfPath(std::string_view path)
{
    return std::string(path.substr(0, FolderLength(path)));
}

DiskPath FolderHolding(const DiskPath& path)
{
    std::wstring wide = path.Wide.substr(0, FolderLength(std::wstring_view(path.Wide)));
    // The shown text is cut where its own separators fall; a character shown
    // as a look-alike "\\" would cut it elsewhere, so then it is made anew.
    std::string shown = FolderOfPath(path.Shown);
    if (!ShowsExactly(shown, wide))
        shown = ShownText(wide);
    return {std::move(shown), std::move(wide)};
}

std::string WithTrailingBackslash(std::string_view path)
{
    std::string result(path);
    AppendBackslash(result);
    return result;
}

std::string PathRoot(std::string_view path)
{
    if (path.starts_with("\\\\")) {
        const std::size_t serverEnd = NextSlash(path, 2);
        if (serverEnd == None)
            return {};
        return std::string(path.substr(0, NextSlash(path, serverEnd + 1)));
    }
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(byte))
            ++i;
        else if (byte == ':' && i + 1 < path.size() && path[i + 1] == '\\')
            return std::string(path.substr(0, i + 1));
    }
    return {};
}

#ifdef _WIN32

namespace {

// Masks of the directory search: any entry, and what a folder may be.
constexpr unsigned AnyEntry = 0x3F;
constexpr unsigned FolderEntry = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

// A directory search treats these as wildcards and would report some other
// entry; no stored name holds them (nor a NUL, which would cut the search short).
bool IsSearchable(std::string_view path)
{
    return path.find_first_of(std::string_view("*?<>\"\0", 6)) == None;
}

std::vector<std::size_t> SlashPositions(std::string_view path)
{
    std::vector<std::size_t> slashes;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(byte))
            ++i;
        else if (byte == '\\')
            slashes.push_back(i);
    }
    return slashes;
}

bool IsRoot(std::string_view folder)
{
    const bool drive = folder.size() == 2 && folder[1] == ':'
        && ((folder[0] >= 'A' && folder[0] <= 'Z') || (folder[0] >= 'a' && folder[0] <= 'z'));
    return drive || (folder.starts_with("\\\\") && PathRoot(folder) == folder);
}

// The expanded text that goes before the path's last component.
std::string ExpandedFolderPart(std::string_view path)
{
    const std::string_view parent = ParentView(path);
    if (parent == "\\")  // two backslashes and a server name
        return "\\\\";
    if (parent.empty())  // relative, or rooted without a drive
        return std::string(path.substr(0, Mark(path).nameStart));
    return WithTrailingBackslash(ExpandFolderPath(parent));
}

}  // namespace

std::string ExpandLongPath(std::string_view path)
{
    if (Mark(path).nameStart == path.size())
        return ExpandFolderPath(path);
    return ExpandedFolderPart(path) + StoredNameOf(path, AnyEntry);
}

std::string ExpandFolderPath(std::string_view path)
{
    // Walk up to the part that stays as given, then look every component up
    // on the way back down. A loop over one scan of the separators rather than
    // recursion: a command-line path may hold thousands of components.
    const std::vector<std::size_t> slashes = SlashPositions(path);
    std::size_t inside = slashes.size();  // slashes[0, inside) lie within the folder
    std::size_t length = path.size();
    const auto stripTrailingSlashes = [&] {
        while (length > 3 && inside > 0 && slashes[inside - 1] == length - 1) {
            --length;
            --inside;
        }
    };
    stripTrailingSlashes();
    const bool trailingSlash = length != path.size();

    std::vector<std::size_t> lengths;  // the folders to look up, longest first
    std::string result;
    bool joinAsGiven = false;
    for (;;) {
        if (length <= 3) {  // a drive such as C: or C:\, kept as it is
            result.assign(path.substr(0, length));
            break;
        }
        lengths.push_back(length);
        if (inside == 0 || slashes[inside - 1] == 0) {  // relative, or rooted without a drive
            result.assign(path.substr(0, Mark(path.substr(0, length)).nameStart));
            joinAsGiven = true;
            break;
        }
        length = slashes[--inside];
        if (length == 1 && path[0] == '\\') {  // two backslashes and a server name
            result = "\\\\";
            joinAsGiven = true;
            break;
        }
        stripTrailingSlashes();
    }
    for (auto it = lengths.rbegin(); it != lengths.rend(); ++it) {
        if (!joinAsGiven)
            AppendBackslash(result);
        joinAsGiven = false;
        result += StoredNameOf(path.substr(0, *it), FolderEntry);
    }
    if (trailingSlash)
        AppendBackslash(result);
    return result;
}

std::string StoredNameOf(std::string_view path, unsigned attributeMask)
{
    if (IsSearchable(path)) {
        // Plain files always match; an entry that is hidden, system or a
        // folder matches only when the mask admits that attribute.
        const DWORD excluded = ~attributeMask & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY);
        for (FindFile entry{std::string(path)}; entry; entry.next())
            if ((entry.data().dwFileAttributes & excluded) == 0)
                return std::string(entry.name());
    }
    return std::string(path.substr(Mark(path).nameStart));
}

bool IsExistingFolder(const DiskPath& path)
{
    std::wstring folder = path.Wide;
    if (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    // Wildcards would find some other entry.
    if (folder.empty() || folder.find_first_of(std::wstring_view(L"*?<>\"\0", 6)) != std::wstring::npos)
        return false;
    // A directory search never reports a drive or share root itself.
    if (IsRoot(ShownText(folder))) {
        const DWORD attributes = GetFileAttributesW((folder + L'\\').c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    const FindFile entry{folder};
    return entry && entry.isFolder();
}

DiskPath ExpandLongPath(const std::wstring& path)
{
    std::wstring expanded(LongForm(path));
    const bool prefixed = expanded.size() != path.size();
    std::wstring buffer(32768, L'\0');
    const DWORD length = GetLongPathNameW(expanded.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length > 0 && length < buffer.size()) {
        buffer.resize(length);
        expanded = prefixed && buffer.starts_with(L"\\\\?\\UNC\\") ? L"\\\\" + buffer.substr(8)
            : prefixed && buffer.starts_with(L"\\\\?\\")            ? buffer.substr(4)
                                                                      : buffer;
    } else {
        expanded = path;
    }
    const std::string shown = ShownText(expanded);
    if (ShowsExactly(shown, expanded))
        return DiskPath(ExpandLongPath(ShownText(path)));
    return {shown, expanded};
}

#endif
