#include "rename/rename_check.h"

#include <unordered_map>

#include "core/dbcs.h"

namespace {

// A name can hold at most this many UTF-16 units.
constexpr std::size_t kMaxNameUnits = 255;

std::wstring Folded(std::wstring_view name)
{
    std::wstring folded(name);
    for (wchar_t& c : folded)
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    return folded;
}

// \ / : * ? " < > | or a control character, read a character at a time so
// that a trail byte 0x5C or 0x7C is no "\" or "|".
bool HasForbiddenCharacter(std::string_view name)
{
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (IsLeadByte(byte)) {
            ++i;
            continue;
        }
        if (byte < 0x20 || std::string_view("\\/:*?\"<>|").find(static_cast<char>(byte)) != std::string_view::npos)
            return true;
    }
    return false;
}

// What a name is wrong in by itself.
RenameProblem ProblemOfName(const PlannedRename& row)
{
    const std::string_view name = row.NewName;
    if (name.empty())
        return RenameProblem::Empty;
    if (HasForbiddenCharacter(name))
        return RenameProblem::ForbiddenCharacter;
    if (EndsInSpaceOrDot(name))
        return RenameProblem::TrailingSpaceOrDot;
    if (IsReservedDeviceName(name))
        return RenameProblem::ReservedName;
    return RenameProblem::None;
}

}  // namespace

std::string_view ProblemText(RenameProblem problem)
{
    switch (problem) {
    case RenameProblem::Empty: return "空の名前";
    case RenameProblem::ForbiddenCharacter: return "使えない文字があります";
    case RenameProblem::TrailingSpaceOrDot: return "末尾が空白かピリオドです";
    case RenameProblem::ReservedName: return "予約された名前です";
    case RenameProblem::DuplicateNewName: return "同じ新しい名前の行が他にあります";
    case RenameProblem::NameTaken: return "同じ名前が既にあります";
    case RenameProblem::TooLong: return "名前が長すぎます";
    case RenameProblem::EntryChanged: return "この名前は変更できません";
    case RenameProblem::None: break;
    }
    return {};
}

std::vector<RenameProblem> CheckRenames(const std::vector<PlannedRename>& rows, const std::vector<std::wstring>& folder)
{
    std::unordered_map<std::wstring, int> newNames;
    for (const PlannedRename& row : rows)
        ++newNames[Folded(row.NewWide)];
    // How many entries bear each name as the play goes.
    std::unordered_map<std::wstring, int> present;
    for (const std::wstring& name : folder)
        ++present[Folded(name)];

    std::vector<RenameProblem> problems;
    problems.reserve(rows.size());
    for (const PlannedRename& row : rows) {
        const std::wstring from = Folded(row.OldWide);
        const std::wstring to = Folded(row.NewWide);
        RenameProblem problem = ProblemOfName(row);
        // A change of letter case alone finds only the entry itself.
        if (problem == RenameProblem::None && newNames[to] > 1)
            problem = RenameProblem::DuplicateNewName;
        else if (problem == RenameProblem::None && to != from && present[to] > 0)
            problem = RenameProblem::NameTaken;
        else if (problem == RenameProblem::None && row.NewWide.size() > kMaxNameUnits)
            problem = RenameProblem::TooLong;
        else if (problem == RenameProblem::None && !row.EntryUnchanged)
            problem = RenameProblem::EntryChanged;
        if (problem == RenameProblem::None) {
            --present[from];
            ++present[to];
        }
        problems.push_back(problem);
    }
    return problems;
}
