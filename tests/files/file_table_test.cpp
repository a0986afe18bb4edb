#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "core/find_file.h"
#include "core/sizes.h"
#include "core/stamp.h"
#include "files/file_table.h"
#include "tests/core/temp_tree.h"

namespace {

const FileEntry* Find(int n, const std::string& name)
{
    for (int i = 1; i <= n; ++i)
        if (FileTable[i].Name == name)
            return &FileTable[i];
    return nullptr;
}

std::vector<std::string> ListedNames(int n)
{
    std::vector<std::string> names;
    for (int i = 1; i <= n; ++i)
        names.push_back(FileTable[i].Name);
    return names;
}

class ListFilesTest : public ::testing::Test {
protected:
    void SetUp() override { ClusterSize = 4096; }
    void TearDown() override { ClusterSize = 0; }
    TempTree folder;
};

TEST_F(ListFilesTest, StoresEveryFieldOfEachPlainFile)
{
    const FILETIME written = LocalFileTime(2003, 4, 5, 6, 7, 8);
    ASSERT_TRUE(MakeFile(folder.Path("カナﾃｽﾄ.txt"), 5000, &written));
    ASSERT_TRUE(MakeFile(folder.Path("a;b.dat"), 1));
    ASSERT_TRUE(MakeFile(folder.Path("空"), 0));

    const int n = ListFiles(folder.Root());
    ASSERT_EQ(n, 3);
    ASSERT_EQ(FileTable.size(), 4u);

    const FileEntry* kana = Find(n, "カナﾃｽﾄ.txt");
    ASSERT_NE(kana, nullptr);
    EXPECT_EQ(kana->CharCount, 9);
    EXPECT_EQ(kana->IsFolder, 0);
    EXPECT_EQ(kana->Size, 5000);
    EXPECT_EQ(kana->DiskSize, 8192);
    EXPECT_EQ(FormatStamp(kana->Stamp).str(), "2003/04/05 06:07:08");

    const FileEntry* semicolon = Find(n, "a;b.dat");
    ASSERT_NE(semicolon, nullptr);
    EXPECT_EQ(semicolon->CharCount, -7);
    EXPECT_EQ(semicolon->DiskSize, 4096);

    const FileEntry* empty = Find(n, "空");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->CharCount, 1);
    EXPECT_EQ(empty->Size, 0);
    EXPECT_EQ(empty->DiskSize, 0);
}

TEST_F(ListFilesTest, SkipsFoldersButKeepsHiddenAndSystemFiles)
{
    ASSERT_TRUE(CreateDirectoryA(folder.Path("サブ").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(folder.Path("sub.dir").c_str(), nullptr));
    ASSERT_TRUE(MakeFile(folder.Path("サブ\\inner.txt"), 10));
    ASSERT_TRUE(MakeFile(folder.Path("hidden.txt"), 3, nullptr, FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(MakeFile(folder.Path("system.sys"), 4, nullptr, FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(MakeFile(folder.Path("plain"), 5));

    const int n = ListFiles(folder.Root());
    std::vector<std::string> names = ListedNames(n);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"hidden.txt", "plain", "system.sys"}));
}

TEST_F(ListFilesTest, KeepsTheOrderOfTheDirectoryListing)
{
    for (const char* name : {"c", "あ", "b.txt", "ア", "a", "表"})
        ASSERT_TRUE(MakeFile(folder.Path(name)));
    ASSERT_TRUE(CreateDirectoryA(folder.Path("d").c_str(), nullptr));

    std::vector<std::string> listing;
    for (FindFile entry(folder.Root() + "\\*.*"); entry; entry.next())
        if (!entry.isFolder())
            listing.emplace_back(entry.name());
    EXPECT_EQ(ListedNames(ListFiles(folder.Root())), listing);
}

TEST_F(ListFilesTest, ListsAFolderWhoseLastCharacterEndsInByte5C)
{
    // "表" is 0x95 0x5C: the path's last byte is a backslash's, its last
    // character is not.
    const std::string kanji = folder.Path("表");
    ASSERT_EQ(kanji.back(), '\\');
    ASSERT_TRUE(CreateDirectoryA(kanji.c_str(), nullptr));
    ASSERT_TRUE(MakeFile(kanji + "\\中.txt", 2));
    ASSERT_TRUE(MakeFile(kanji + "\\ソ", 3));

    const int n = ListFiles(kanji);
    std::vector<std::string> names = ListedNames(n);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"ソ", "中.txt"}));
    EXPECT_EQ(ListFiles(kanji + "\\"), 2);
}

TEST_F(ListFilesTest, AcceptsAPathEndingInBackslash)
{
    ASSERT_TRUE(MakeFile(folder.Path("x")));
    EXPECT_EQ(ListFiles(folder.Root() + "\\"), 1);
    EXPECT_EQ(ListFiles(folder.Root()), 1);
}

TEST_F(ListFilesTest, AFolderThatCannotBeListedGivesNothing)
{
    ASSERT_TRUE(MakeFile(folder.Path("x")));
    ASSERT_EQ(ListFiles(folder.Root()), 1);

    EXPECT_EQ(ListFiles(folder.Path("ない")), 0);
    EXPECT_EQ(FileTable.size(), 1u);
    EXPECT_EQ(ListFiles(folder.Path("x")), 0);
    EXPECT_EQ(ListFiles(""), 0);
}

TEST_F(ListFilesTest, AnEmptyFolderOrOneWithOnlyFoldersHasNoFiles)
{
    EXPECT_EQ(ListFiles(folder.Root()), 0);
    ASSERT_TRUE(CreateDirectoryA(folder.Path("only").c_str(), nullptr));
    EXPECT_EQ(ListFiles(folder.Root()), 0);
}

TEST_F(ListFilesTest, SizesPast4GiBKeepTheHighHalf)
{
    constexpr std::int64_t big = (std::int64_t{1} << 32) + 5;
    ASSERT_TRUE(MakeFile(folder.Path("big.bin"), big));
    ASSERT_EQ(ListFiles(folder.Root()), 1);
    EXPECT_EQ(FileTable[1].Size, big);
    EXPECT_EQ(FileTable[1].DiskSize, (std::int64_t{1} << 32) + 4096);
}

TEST_F(ListFilesTest, NamesDifferingOnlyInCaseAreBothListed)
{
    ASSERT_TRUE(MakeFile(folder.Path("readme.txt"), 1));
    if (!MakeUnixFile(folder.Path("README.TXT")))
        GTEST_SKIP() << "no way to make a second name differing only in case";
    const int n = ListFiles(folder.Root());
    ASSERT_EQ(n, 2);
    ASSERT_NE(Find(n, "readme.txt"), nullptr);
    ASSERT_NE(Find(n, "README.TXT"), nullptr);
    EXPECT_EQ(Find(n, "readme.txt")->Size, 1);
    EXPECT_EQ(Find(n, "README.TXT")->Size, 0);
}

TEST_F(ListFilesTest, ListsEveryFileOfAFolderPast9999)
{
    constexpr int count = 12000;
    std::set<std::string> made;
    for (int i = 0; i < count; ++i) {
        const std::string name = "ファイル" + std::to_string(i) + ".txt";
        ASSERT_TRUE(MakeFile(folder.Path(name))) << name;
        made.insert(name);
    }
    const int n = ListFiles(folder.Root());
    ASSERT_EQ(n, count);
    const std::vector<std::string> names = ListedNames(n);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), made);
}

}  // namespace
