#pragma once
#include <string>
#include <string_view>
#include <vector>

// Why a marked row of the rename page would not be renamed if applied now,
// in the order of precedence: the first that holds is the row's reason.
enum class RenameProblem {
    None,
    Empty,
    ForbiddenCharacter,
    TrailingSpaceOrDot,
    ReservedName,
    DuplicateNewName,
    NameTaken,
    TooLong,
    EntryChanged,
};

// The text the status bar gives for a problem; empty for None.
std::string_view ProblemText(RenameProblem problem);

// Windows drops a trailing space or dot, so the entry would get another name
// than the one asked for; through the "\\?\" form it would get a name that
// most programs cannot open.
template <class Char>
bool EndsInSpaceOrDot(std::basic_string_view<Char> name)
{
    return !name.empty() && (name.back() == Char(' ') || name.back() == Char('.'));
}

// CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9 name devices in every
// folder, in any letter case and with any extension.
template <class Char>
bool IsReservedDeviceName(std::basic_string_view<Char> name)
{
    const std::basic_string_view<Char> base = name.substr(0, name.find(Char('.')));
    if (base.size() != 3 && base.size() != 4)
        return false;
    char upper[4] = {};
    for (std::size_t i = 0; i < base.size(); ++i) {
        const auto c = static_cast<unsigned>(base[i]);
        if (c >= 0x80)
            return false;
        upper[i] = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    const std::string_view word(upper, base.size());
    if (word == "CON" || word == "PRN" || word == "AUX" || word == "NUL")
        return true;
    return word.size() == 4 && (word.starts_with("COM") || word.starts_with("LPT")) && word[3] >= '1' && word[3] <= '9';
}

// One marked row of the apply, in row order.
struct PlannedRename {
    std::string NewName;      // as typed, code page 932
    std::wstring NewWide;     // the same as the file system would take it
    std::wstring OldWide;     // the entry's own name
    bool EntryUnchanged = true;  // the entry is still there as listed
};

// Plays the apply in row order against the names the folder holds now
// (wide) and gives each row its problem. A row with a problem counts as not
// renamed for the rows after it. Names compare without regard to ASCII
// letter case, as the file system compares them.
std::vector<RenameProblem> CheckRenames(const std::vector<PlannedRename>& rows, const std::vector<std::wstring>& folder);
