#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/stamp.h"
#include "files/file_sort.h"
#include "rename/joliet_table.h"
#include "tests/core/stop_at.h"
#include "tests/core/temp_tree.h"

namespace {

std::string Repeat(std::string_view text, int times)
{
    std::string result;
    for (int i = 0; i < times; ++i)
        result += text;
    return result;
}

struct Listed {
    std::string folder;  // below the root, ending in "\" unless empty
    std::string name;
    std::int32_t chars;
    std::int32_t pathLength;
    bool operator==(const Listed&) const = default;
};

void PrintTo(const Listed& entry, std::ostream* out)
{
    *out << "{" << entry.folder << ", " << entry.name << ", " << entry.chars << ", " << entry.pathLength << "}";
}

class JolietWalkTest : public testing::Test {
protected:
    // What the walk of the folder recorded, in walk order, with the folders
    // given below the root.
    std::vector<Listed> Walk(const std::string& folder)
    {
        const int count = WalkJoliet(folder);
        EXPECT_EQ(count, static_cast<int>(JolietTable.size()) - 1);
        std::vector<Listed> listed;
        const std::string root = tree.Root() + "\\";
        for (int i = 1; i <= count; ++i) {
            const JolietEntry& entry = JolietTable[static_cast<std::size_t>(i)];
            EXPECT_TRUE(entry.Folder.starts_with(root)) << entry.Folder;
            listed.push_back({entry.Folder.substr(root.size()), entry.Name, entry.CharCount, entry.PathLength});
        }
        return listed;
    }
    std::vector<Listed> Walk() { return Walk(tree.Root()); }

    TempTree tree;
};

TEST_F(JolietWalkTest, NamesOverSixtyFourCharactersOrWithASemicolon)
{
    struct Case {
        std::string name;
        bool listed;
        std::int32_t chars;
    };
    const Case cases[] = {
        {Repeat("a", 64), false, 64},
        {Repeat("a", 65), true, 65},
        {Repeat("あ", 64), false, 64},
        {Repeat("あ", 65), true, 65},
        {Repeat("ｱ", 65), true, 65},
        {";先頭の名前.txt", true, -10},
        {"途中の;名前.txt", true, -10},
        {"終わりの名前.tx;", true, -10},
        {"表示.txt", false, 6},
    };
    for (const Case& c : cases)
        ASSERT_TRUE(MakeFile(tree.Path(c.name))) << c.name;
    // A folder is never listed itself, whatever its name.
    tree.Folder(Repeat("フ", 70));
    tree.Folder("a;b");

    const std::vector<Listed> listed = Walk();
    for (const Case& c : cases) {
        const Listed expected{"", c.name, c.chars, static_cast<std::int32_t>(c.name.size())};
        EXPECT_EQ(std::count(listed.begin(), listed.end(), expected), c.listed ? 1 : 0) << c.name;
    }
    EXPECT_EQ(listed.size(), 6u);
}

TEST_F(JolietWalkTest, PathsBelowTheFolderOverTwoHundredFortyBytes)
{
    // Double-byte names keep the full paths short in characters while the
    // bytes below the root pass 240.
    const std::string a = Repeat("あ", 40) + "\\";
    const std::string b = a + Repeat("い", 40) + "\\";
    tree.Folder(a);
    tree.Folder(b);
    // A long folder name shows only through the lengths of the files below it.
    const std::string c = Repeat("長", 80) + "\\";
    const std::string d = c + Repeat("深", 40) + "\\";
    tree.Folder(c);
    tree.Folder(d);

    struct Case {
        std::string folder, name;
        bool listed;
    };
    const Case cases[] = {
        {b, Repeat("う", 39), false},               // 162 + 78 = 240 bytes
        {b, Repeat("え", 39) + "x", true},          // 241 bytes
        {b, Repeat("お", 38) + "xy;", true},        // 241 bytes and a ";"
        {c, "短い.txt", false},                      // 161 + 8
        {d, "短い.txt", true},                       // 161 + 81 + 8
        {d, "表", true},                             // trail byte 0x5C
    };
    for (const Case& c : cases)
        ASSERT_TRUE(MakeFile(tree.Path(c.folder + c.name))) << c.name;

    const std::vector<Listed> listed = Walk();
    for (const Case& c : cases) {
        const Listed expected{c.folder, c.name, CountNameChars(c.name),
                              static_cast<std::int32_t>(c.folder.size() + c.name.size())};
        EXPECT_EQ(std::count(listed.begin(), listed.end(), expected), c.listed ? 1 : 0) << c.name;
    }
    EXPECT_EQ(listed.size(), 4u);
    EXPECT_EQ(JolietBaseLength, static_cast<std::int32_t>(tree.Root().size() + 1));
}

TEST_F(JolietWalkTest, TheSameLengthsBelowARootAsBelowAFolder)
{
    tree.Folder("下");
    ASSERT_TRUE(MakeFile(tree.Path("下\\" + Repeat("名", 40))));
    ASSERT_TRUE(MakeFile(tree.Path("下\\;")));
    const std::vector<Listed> withoutSlash = Walk(tree.Root());
    const std::int32_t base = JolietBaseLength;
    ASSERT_EQ(withoutSlash.size(), 1u);
    EXPECT_EQ(withoutSlash[0], (Listed{"下\\", ";", -1, 4}));

    // A path ending in "\", as a drive root's does.
    EXPECT_EQ(Walk(tree.Root() + "\\"), withoutSlash);
    EXPECT_EQ(JolietBaseLength, base);

    // A real drive root: Wine's drive letters are links in its prefix.
    char prefix[MAX_PATH] = "";
    ASSERT_GT(GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix), 0u);
    const std::wstring letter = unix_side::Wide(prefix, CP_UTF8) + L"/dosdevices/q:";
    const std::wstring target = unix_side::UnixPath(tree.Root());
    ASSERT_TRUE(unix_side::RunUntil(L"/bin/ln", L"/bin/ln -sfn \"" + target + L"\" \"" + letter + L"\"", "Q:\\下", true));
    WalkJoliet("Q:\\");
    unix_side::RunUntil(L"/bin/rm", L"/bin/rm \"" + letter + L"\"", "Q:\\下", false);
    EXPECT_EQ(JolietBaseLength, 3);
    ASSERT_EQ(JolietTable.size(), 2u);
    EXPECT_EQ(JolietTable[1].Folder, "Q:\\下\\");
    EXPECT_EQ(JolietTable[1].PathLength, 4);
}

TEST_F(JolietWalkTest, RecordsEveryFieldOfAListedFile)
{
    constexpr std::int64_t big = (std::int64_t{1} << 32) + 5;
    const FILETIME written = LocalFileTime(2009, 8, 7, 6, 5, 4);
    tree.File("大きい;.bin", big, written, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ASSERT_EQ(WalkJoliet(tree.Root()), 1);
    const JolietEntry& entry = JolietTable[1];
    EXPECT_EQ(entry.Folder, tree.Root() + "\\");
    EXPECT_EQ(entry.Name, "大きい;.bin");
    EXPECT_EQ(entry.CharCount, -8);
    EXPECT_EQ(entry.Size, big);
    EXPECT_EQ(FormatStamp(entry.Stamp).str(), "2009/08/07 06:05:04");
}

TEST_F(JolietWalkTest, FoldersAreCheckedFromTheLowestPendingSlot)
{
    // Slots: 甲 and 乙 take 0 and 1; 甲's child takes 2 while 甲 still holds
    // 0; once 乙 is checked its child takes the freed slot 0 and comes
    // before 甲's.
    for (const char* folder : {"甲", "乙", "甲\\子", "乙\\子"})
        tree.Folder(folder);
    for (const char* file : {";", "甲\\;", "乙\\;", "甲\\子\\;", "乙\\子\\;"})
        ASSERT_TRUE(MakeFile(tree.Path(file)));
    const std::vector<std::string> top = Listing(tree.Root());
    ASSERT_EQ(top.size(), 3u);
    std::vector<std::string> folders;
    for (const std::string& name : top)
        if (name != ";")
            folders.push_back(name + "\\");
    const std::vector<std::string> expected{"", folders[0], folders[1], folders[1] + "子\\", folders[0] + "子\\"};

    std::vector<std::string> order;
    for (const Listed& entry : Walk())
        order.push_back(entry.folder);
    EXPECT_EQ(order, expected);

    // A key no comparison knows leaves the walk order with its first entry
    // moved to the end.
    for (int key : {0, 99}) {
        SortJoliet(5, key, true);
        std::vector<std::string> sorted;
        for (int row = 1; row <= 5; ++row)
            sorted.push_back(JolietTable[static_cast<std::size_t>(FileOrder[static_cast<std::size_t>(row)])].Folder.substr(tree.Root().size() + 1));
        EXPECT_EQ(sorted, (std::vector<std::string>{expected[1], expected[2], expected[3], expected[4], expected[0]}));
    }
}

TEST_F(JolietWalkTest, TheNineHundredNinetyNinthViolationIsNotRecorded)
{
    for (int i = 0; i < 999; ++i)
        ASSERT_TRUE(MakeFile(tree.Path(";" + std::to_string(i))));
    tree.Folder("後");
    ASSERT_TRUE(MakeFile(tree.Path("後\\;")));
    std::vector<std::string> walkOrder;
    for (const std::string& name : Listing(tree.Root()))
        if (name != "後")
            walkOrder.push_back(name);
    ASSERT_EQ(walkOrder.size(), 999u);

    ASSERT_EQ(WalkJoliet(tree.Root()), JolietCapacity);
    ASSERT_EQ(JolietCapacity, 998);
    for (int i = 1; i <= JolietCapacity; ++i)
        EXPECT_EQ(JolietTable[static_cast<std::size_t>(i)].Name, walkOrder[static_cast<std::size_t>(i - 1)]);
    EXPECT_TRUE(JolietPending.empty());
}

TEST_F(JolietWalkTest, NoFolderIsSkippedHoweverManyArePending)
{
    // All of them wait in the pending slots at once.
    ASSERT_TRUE(MakeUnixFolders(tree.Root(), "d", 5002));
    for (const char* file : {"d0\\;", "d4999\\;", "d5000\\;", "d5001\\;"})
        ASSERT_TRUE(MakeFile(tree.Path(file))) << file;
    std::vector<std::string> folders;
    for (const Listed& entry : Walk())
        folders.push_back(entry.folder);
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(folders, (std::vector<std::string>{"d0\\", "d4999\\", "d5000\\", "d5001\\"}));
}

TEST_F(JolietWalkTest, LinksAreNotFollowedAndMissingFoldersListNothing)
{
    tree.Folder("中");
    ASSERT_TRUE(MakeFile(tree.Path("中\\;")));
    if (MakeUnixSymlink(tree.Path("中\\輪"), tree.Root()))
        EXPECT_EQ(Walk(), (std::vector<Listed>{{"中\\", ";", -1, 4}}));
    else
        ADD_FAILURE() << "no link made";

    EXPECT_EQ(WalkJoliet(tree.Path("ない")), 0);
    // An empty path is no folder, not the process's current one.
    SetCurrentDirectoryA(tree.Path("中").c_str());
    EXPECT_EQ(WalkJoliet(""), 0);
}

}  // namespace

namespace {

TEST_F(JolietWalkTest, AStoppedWalkHoldsWhatItFoundBeforeTheStop)
{
    // Every file breaks the rules, so every file met is recorded.
    for (const char* folder : {"上", "上\\中", "別"})
        tree.Folder(folder);
    for (const char* file : {"a;1", "上\\b;2", "上\\中\\c;3", "上\\d;4", "別\\e;5"})
        tree.File(file, 1);
    ExpectEachStopReadsOneEntryMore(8, EachOne::File, [&](WalkProgress& progress) {
        const int count = WalkJoliet(tree.Root(), progress);
        std::set<std::string> found;
        for (int i = 1; i <= count; ++i)
            found.insert(JolietTable[static_cast<std::size_t>(i)].Folder + JolietTable[static_cast<std::size_t>(i)].Name);
        return found;
    });
}

}  // namespace
