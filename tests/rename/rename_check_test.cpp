#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rename/rename_check.h"

namespace {

using P = RenameProblem;

// A marked row: the entry's name, the name typed; the typed name's wide form
// is its bytes widened, which the ASCII names here keep whole.
PlannedRename Row(const std::string& from, const std::string& to, bool unchanged = true)
{
    return {to, std::wstring(to.begin(), to.end()), std::wstring(from.begin(), from.end()), unchanged};
}

std::vector<std::wstring> Folder(std::initializer_list<const wchar_t*> names)
{
    return {names.begin(), names.end()};
}

struct Case {
    const char* title;
    std::vector<std::wstring> folder;
    std::vector<PlannedRename> rows;
    std::vector<P> expected;
};

TEST(CheckRenames, GivesEachRowItsFirstProblemInRowOrder)
{
    const std::string longName(256, 'n');
    // "ソ" is 0x83 0x5C and "ポ" 0x83 0x7C: their trail bytes are no "\" or "|".
    const std::string dbcs = "\x83\x5C\x83\x7C.txt";
    const Case cases[] = {
        {"each name problem", Folder({L"a", L"b", L"c", L"d", L"e", L"f", L"g", L"h", L"i"}),
         {Row("a", ""), Row("b", "x:y"), Row("c", "tab\t"), Row("d", "dot."), Row("e", "space "),
          Row("f", "con.txt"), Row("g", "Lpt9"), Row("h", "COM0"), Row("i", dbcs)},
         {P::Empty, P::ForbiddenCharacter, P::ForbiddenCharacter, P::TrailingSpaceOrDot, P::TrailingSpaceOrDot,
          P::ReservedName, P::ReservedName, P::None, P::None}},
        {"precedence: a reserved name twice", Folder({L"a", L"b"}), {Row("a", "NUL"), Row("b", "nul")},
         {P::ReservedName, P::ReservedName}},
        {"duplicates ignore letter case, every one flagged", Folder({L"a", L"b", L"c"}),
         {Row("a", "t"), Row("b", "T"), Row("c", "u")}, {P::DuplicateNewName, P::DuplicateNewName, P::None}},
        {"a name still there, or too long", Folder({L"a", L"b", L"c"}),
         {Row("a", "B"), Row("c", longName)}, {P::NameTaken, P::TooLong}},
        {"case only is no clash", Folder({L"abc"}), {Row("abc", "ABC")}, {P::None}},
        {"the entry changed since the listing", Folder({L"a"}), {Row("a", "z", false)}, {P::EntryChanged}},
        {"chain, b's row first", Folder({L"a", L"b"}), {Row("b", "c"), Row("a", "b")}, {P::None, P::None}},
        {"chain, a's row first", Folder({L"a", L"b"}), {Row("a", "b"), Row("b", "c")}, {P::NameTaken, P::None}},
        {"swap", Folder({L"a", L"b"}), {Row("a", "b"), Row("b", "a")}, {P::NameTaken, P::NameTaken}},
        {"a flagged row keeps its name", Folder({L"a", L"b"}), {Row("b", "c:"), Row("a", "b")},
         {P::ForbiddenCharacter, P::NameTaken}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckRenames(c.rows, c.folder), c.expected) << c.title;
}

}  // namespace
