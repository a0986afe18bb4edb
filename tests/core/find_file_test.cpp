#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <string>
#include "core/find_file.h"
#include "tests/core/temp_tree.h"

TEST(FindFile, ListsEveryEntryWithItsSizeAndKind)
{
    const TempTree tree;
    tree.makeFolder("表ソ十");
    tree.makeFile("空.txt");
    tree.makeFile("small.bin", 1234);
    tree.makeFile("large.bin", 5 * 4294967296 + 7);

    std::map<std::string, std::pair<bool, std::int64_t>> seen;
    int dots = 0;
    for (FindFile entry(tree.root() + "\\*"); entry; entry.next()) {
        if (entry.isDotEntry())
            ++dots;
        else
            seen[std::string(entry.name())] = {entry.isFolder(), entry.size()};
    }
    EXPECT_EQ(dots, 2);
    const std::map<std::string, std::pair<bool, std::int64_t>> expected = {
        {"表ソ十", {true, 0}},
        {"空.txt", {false, 0}},
        {"small.bin", {false, 1234}},
        {"large.bin", {false, 5 * 4294967296 + 7}},
    };
    EXPECT_EQ(seen, expected);
}

TEST(FindFile, NoMatchIsFalseAndStaysSo)
{
    const TempTree tree;
    FindFile none(tree.path("missing*"));
    EXPECT_FALSE(none);
    EXPECT_FALSE(none.next());

    tree.makeFile("only.txt");
    FindFile one(tree.path("only.txt"));
    ASSERT_TRUE(one);
    EXPECT_EQ(one.name(), "only.txt");
    EXPECT_FALSE(one.next());
    EXPECT_FALSE(one);
    EXPECT_FALSE(one.next());
}

TEST(TempTree, RemovesItsWholeTree)
{
    std::string root;
    {
        const TempTree tree;
        root = tree.root();
        tree.makeFolder("a");
        tree.makeFolder("a\\表");
        tree.makeFile("a\\表\\f.txt", 10);
        tree.makeFile("ro.txt");
        SetFileAttributesA(tree.path("ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        tree.setLastWrite("a\\表", LocalFileTime(2006, 2, 9, 7, 5, 3));
        EXPECT_NE(GetFileAttributesA(tree.path("a\\表\\f.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    }
    EXPECT_EQ(GetFileAttributesA(root.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(TempTree, SetsLastWriteTimes)
{
    const TempTree tree;
    tree.makeFile("f.txt");
    const FILETIME stamp = LocalFileTime(2006, 2, 9, 7, 5, 3);
    tree.setLastWrite("f.txt", stamp);
    const FindFile entry(tree.path("f.txt"));
    ASSERT_TRUE(entry);
    EXPECT_EQ(CompareFileTime(&entry.data().ftLastWriteTime, &stamp), 0);
}
