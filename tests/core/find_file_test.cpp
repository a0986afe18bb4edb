#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <string>
#include <vector>
#include "core/find_file.h"
#include "tests/core/temp_tree.h"

TEST(FindFile, ListsEveryEntryWithItsSizeAndKind)
{
    const TempTree tree;
    tree.Folder("表ソ十");
    tree.File("空.txt");
    tree.File("small.bin", 1234);
    tree.File("large.bin", 5 * 4294967296 + 7);

    std::map<std::string, std::pair<bool, std::int64_t>> seen;
    int dots = 0;
    for (FindFile entry(tree.Root() + "\\*"); entry; entry.next()) {
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
    FindFile none(tree.Path("missing*"));
    EXPECT_FALSE(none);
    EXPECT_FALSE(none.next());

    tree.File("only.txt");
    FindFile one(tree.Path("only.txt"));
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
        root = tree.Root();
        tree.Folder("a");
        tree.Folder("a\\表");
        tree.File("a\\表\\f.txt", 10);
        tree.File("ro.txt");
        SetFileAttributesA(tree.Path("ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        ASSERT_TRUE(SetWriteTime(tree.Path("a\\表"), LocalFileTime(2006, 2, 9, 7, 5, 3)));
        EXPECT_NE(GetFileAttributesA(tree.Path("a\\表\\f.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    }
    EXPECT_EQ(GetFileAttributesA(root.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(TempTree, SetsLastWriteTimes)
{
    const TempTree tree;
    tree.File("f.txt");
    const FILETIME stamp = LocalFileTime(2006, 2, 9, 7, 5, 3);
    ASSERT_TRUE(SetWriteTime(tree.Path("f.txt"), stamp));
    const FindFile entry(tree.Path("f.txt"));
    ASSERT_TRUE(entry);
    EXPECT_EQ(CompareFileTime(&entry.data().ftLastWriteTime, &stamp), 0);
}

// Every field a search gives, reparse tag and short name included, comes back
// the same through a listing kept for later.
TEST(FindFile, AListingKeptGivesEachEntryAsTheSearchDid)
{
    const TempTree tree;
    tree.Folder("表ソ十");
    tree.File("large.bin", 5 * 4294967296 + 7, LocalFileTime(2006, 2, 9, 7, 5, 3), FILE_ATTRIBUTE_HIDDEN);
    tree.File(std::string(100, 'n') + ".txt");
    ASSERT_TRUE(MakeUnixSymlink(tree.Path("輪"), tree.Root()));
    ASSERT_TRUE(CreateDirectoryW((WideText(tree.Root()) + L"\\caf\u00E9").c_str(), nullptr));

    FolderListing listing;
    std::vector<WIN32_FIND_DATAW> searched;
    for (FindFile entry(tree.Root() + "\\*"); entry; entry.next()) {
        listing.add(entry.data());
        searched.push_back(entry.data());
    }
    ASSERT_EQ(searched.size(), 2u + 5u);
    std::size_t i = 0;
    for (FindFile entry(std::move(listing)); entry; entry.next(), ++i) {
        ASSERT_LT(i, searched.size());
        const WIN32_FIND_DATAW& a = entry.data();
        const WIN32_FIND_DATAW& b = searched[i];
        SCOPED_TRACE(ShownText(b.cFileName));
        EXPECT_EQ(std::wstring(a.cFileName), b.cFileName);
        EXPECT_EQ(std::wstring(a.cAlternateFileName), b.cAlternateFileName);
        EXPECT_EQ(a.dwFileAttributes, b.dwFileAttributes);
        EXPECT_EQ(a.dwReserved0, b.dwReserved0);
        EXPECT_EQ(entry.size(), CombineSize(b.nFileSizeHigh, b.nFileSizeLow));
        for (auto time : {&WIN32_FIND_DATAW::ftCreationTime, &WIN32_FIND_DATAW::ftLastAccessTime,
                          &WIN32_FIND_DATAW::ftLastWriteTime})
            EXPECT_EQ(Ticks(a.*time), Ticks(b.*time));
        EXPECT_EQ(IsWalkableFolder(a), IsWalkableFolder(b));
    }
    EXPECT_EQ(i, searched.size());
}
