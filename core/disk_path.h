#pragma once
#include <string>
#include <string_view>

// A file or folder path twice over: as the window shows it (code page 932,
// the way the ANSI directory search would spell it) and as the file system
// reaches it (UTF-16). The two differ where a name holds a character code
// page 932 cannot hold: "café" shows as "cafe", "한국어" as "???", and only
// the wide form names the entry itself. Neither form carries a "\\?\" prefix;
// LongForm adds it where a call needs it.
struct DiskPath {
    DiskPath() = default;
    // A path given as code-page-932 text (typed, or held by a test), which
    // names the entry its text converts to.
    DiskPath(std::string shown);
    DiskPath(const char* shown) : DiskPath(std::string(shown)) {}
    DiskPath(std::string shown, std::wstring wide) : Shown(std::move(shown)), Wide(std::move(wide)) {}

    bool empty() const { return Wide.empty(); }

    std::string Shown;
    std::wstring Wide;
};

// The path ending in "\" in both forms (a trail byte 0x5C is no separator);
// empty stays empty.
DiskPath EndingInBackslash(const DiskPath& path);
// folder (ending in "\") followed by an entry's two names.
DiskPath Joined(const DiskPath& folder, std::string_view shownName, std::wstring_view wideName);

// The form of a wide path that the file system accepts whatever its length:
// an absolute path of MAX_PATH characters or more gets the "\\?\" prefix
// ("\\?\UNC\" for a network path); any other path is returned as it is.
std::wstring LongForm(std::wstring_view path);

// The code-page-932 text of a wide name or path, converted as the ANSI
// directory search converts names: a look-alike where the code page has one,
// "?" for each UTF-16 unit of any other character.
std::string ShownText(std::wstring_view wide);
// The same into text, whose buffer is reused.
void AssignShownText(std::string& text, std::wstring_view wide);
// The wide text of a code-page-932 text.
std::wstring WideText(std::string_view shown);
// Whether the shown text names exactly what the wide one does, so that a
// change made to the shown text can be carried over to the entry.
bool ShowsExactly(std::string_view shown, std::wstring_view wide);
