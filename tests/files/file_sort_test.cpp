#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/sizes.h"
#include "files/file_sort.h"
#include "files/file_table.h"
#include "tests/core/temp_tree.h"

namespace {

FileEntry Entry(std::string name, std::int64_t size = 0, SYSTEMTIME stamp = LocalTime(2000, 1, 1, 0, 0, 0))
{
    FileEntry entry;
    entry.Name = std::move(name);
    entry.CharCount = CountNameChars(entry.Name);
    entry.Size = size;
    entry.DiskSize = size;
    entry.Stamp = stamp;
    return entry;
}

int Fill(std::vector<FileEntry> entries)
{
    FileTable.assign(1, FileEntry{});
    FileTable.insert(FileTable.end(), entries.begin(), entries.end());
    return static_cast<int>(entries.size());
}

std::vector<int> Order(int n)
{
    return {FileOrder.begin() + 1, FileOrder.begin() + 1 + n};
}

std::vector<std::string> SortedNames(int n, int key, bool descending)
{
    SortFiles(n, key, descending);
    std::vector<std::string> names;
    for (int r = 1; r <= n; ++r)
        names.push_back(FileTable[FileOrder[r]].Name);
    return names;
}

std::vector<std::string> Reversed(std::vector<std::string> names)
{
    std::reverse(names.begin(), names.end());
    return names;
}

TEST(SortFiles, AKeyItDoesNotKnowRotatesTheTableOrderByOne)
{
    for (int key : {SortByFolder, 0, 9, 16}) {
        for (bool descending : {true, false}) {
            for (int n = 1; n <= 9; ++n) {
                Fill(std::vector<FileEntry>(n, Entry("same")));
                SortFiles(n, key, descending);
                std::vector<int> rotated;
                for (int i = 2; i <= n; ++i)
                    rotated.push_back(i);
                rotated.push_back(1);
                EXPECT_EQ(Order(n), rotated) << "key " << key << " n " << n;
            }
        }
    }
}

TEST(SortFiles, EqualKeysComeOutInTheHeapOrderNotTheListingOrder)
{
    const int n = Fill({Entry("a", 7), Entry("b", 7), Entry("c", 3), Entry("d", 7), Entry("e", 3), Entry("f", 7)});
    SortFiles(n, SortBySize, true);
    EXPECT_EQ(Order(n), (std::vector<int>{1, 6, 4, 2, 3, 5}));
    SortFiles(n, SortBySize, false);
    EXPECT_EQ(Order(n), (std::vector<int>{5, 3, 6, 4, 2, 1}));
}

TEST(SortFiles, NoEntriesLeaveTheOrderAlone)
{
    const int n = Fill({Entry("a", 1), Entry("b", 2), Entry("c", 3)});
    SortFiles(n, SortBySize, true);
    SortFiles(0, SortBySize, false);
    EXPECT_EQ(Order(n), (std::vector<int>{3, 2, 1}));
}

TEST(CompareFiles, NamesCompareUpperCasedAsUnsignedBytes)
{
    const int n = Fill({Entry("b"), Entry("_x"), Entry("Zeta"), Entry("abc"), Entry("ab"), Entry("ｱ"), Entry("漢")});
    // "_" (0x5F) lies between "Z" and "a": only upper-casing puts "abc" first;
    // half-width kana and lead bytes are above 0x7F and order last.
    const std::vector<std::string> ascending{"ab", "abc", "b", "Zeta", "_x", "漢", "ｱ"};
    EXPECT_EQ(SortedNames(n, SortByName, false), ascending);
    EXPECT_EQ(SortedNames(n, SortByName, true), Reversed(ascending));
}

TEST(CompareFiles, NamesDifferingOnlyInCaseAreEqual)
{
    Fill({Entry("readme.txt"), Entry("README.TXT"), Entry("ａｂｃ"), Entry("ＡＢＣ"), Entry("ａｂｄ")});
    EXPECT_EQ(CompareFiles(1, 2, SortByName), 0);
    // The system's upper-casing also folds full-width Latin letters.
    EXPECT_EQ(CompareFiles(3, 4, SortByName), 0);
    EXPECT_LT(CompareFiles(4, 5, SortByName), 0);
    EXPECT_GT(CompareFiles(5, 3, SortByName), 0);
}

TEST(CompareFiles, SizesCompareAs64BitNumbers)
{
    const std::int64_t big = (std::int64_t{1} << 32) + 1;
    const int n = Fill({Entry("big", big), Entry("small", 100), Entry("zero", 0), Entry("low", 2)});
    EXPECT_GT(CompareFiles(1, 2, SortBySize), 0);
    const std::vector<std::string> ascending{"zero", "low", "small", "big"};
    EXPECT_EQ(SortedNames(n, SortBySize, false), ascending);
    EXPECT_EQ(SortedNames(n, SortBySize, true), Reversed(ascending));
}

TEST(CompareFiles, DatesCompareToTheSecondWithYearsBefore1900First)
{
    const int n = Fill({Entry("2001", 0, LocalTime(2001, 2, 3, 4, 5, 6, 100)),
                        Entry("1899", 0, LocalTime(1899, 12, 31, 23, 59, 59)),
                        Entry("1999", 0, LocalTime(1999, 12, 31, 23, 59, 59)),
                        Entry("2001 later", 0, LocalTime(2001, 2, 3, 4, 5, 7)),
                        Entry("2001 same second", 0, LocalTime(2001, 2, 3, 4, 5, 6, 900))});
    EXPECT_EQ(CompareFiles(1, 5, SortByDate), 0);
    EXPECT_LT(CompareFiles(2, 3, SortByDate), 0);
    SortFiles(n, SortByDate, false);
    EXPECT_EQ(FileTable[FileOrder[1]].Name, "1899");
    EXPECT_EQ(FileTable[FileOrder[2]].Name, "1999");
    EXPECT_EQ(FileTable[FileOrder[5]].Name, "2001 later");
    SortFiles(n, SortByDate, true);
    EXPECT_EQ(FileTable[FileOrder[1]].Name, "2001 later");
    EXPECT_EQ(FileTable[FileOrder[5]].Name, "1899");
}

TEST(CompareFiles, ExtensionsCompareUpperCasedWithTheirDot)
{
    const int n = Fill({Entry("x.a"), Entry("x."), Entry("x"), Entry("B.txt"), Entry("a.TXT")});
    EXPECT_EQ(CompareFiles(4, 5, SortByExtension), 0);
    EXPECT_LT(CompareFiles(3, 2, SortByExtension), 0);
    EXPECT_LT(CompareFiles(2, 1, SortByExtension), 0);
    SortFiles(n, SortByExtension, false);
    EXPECT_EQ(Order(n).front(), 3);
    EXPECT_EQ(Order(n)[1], 2);
}

TEST(CompareFiles, ANegativeCharacterCountOrdersFirst)
{
    const int n = Fill({Entry("abc"), Entry("a;bcdefgh"), Entry("ab"), Entry("全角")});
    EXPECT_EQ(CompareFiles(3, 4, SortByCharCount), 0);
    SortFiles(n, SortByCharCount, false);
    EXPECT_EQ(FileTable[FileOrder[1]].Name, "a;bcdefgh");
    EXPECT_EQ(FileTable[FileOrder[4]].Name, "abc");
}

TEST(CompareFiles, UnknownKeysMakeEveryPairEqual)
{
    Fill({Entry("a", 1), Entry("b", 2)});
    for (int key : {SortByFolder, 0, -1, 9, 16})
        EXPECT_EQ(CompareFiles(1, 2, key), 0) << key;
}

TEST(ExtensionText, TakesTheTextAfterTheLastDot)
{
    EXPECT_EQ(ExtensionText("a.tar.gz"), "gz");
    EXPECT_EQ(ExtensionText("readme"), "");
    EXPECT_EQ(ExtensionText("a."), "");
    EXPECT_EQ(ExtensionText(".profile"), "profile");
    EXPECT_EQ(ExtensionText(""), "");
    EXPECT_EQ(ExtensionWithDot("a."), ".");
    EXPECT_EQ(ExtensionWithDot("readme"), "");
}

TEST(ExtensionText, SeparatorsClearTheDotButTrailBytesDoNot)
{
    EXPECT_EQ(ExtensionText("a.b\\c"), "");
    EXPECT_EQ(ExtensionText("a.b:c"), "");
    EXPECT_EQ(ExtensionText("a\\b.c"), "c");
    // "表" ends in 0x5C and "ソ" too: they are letters, not separators.
    EXPECT_EQ(ExtensionText("a.表"), "表");
    EXPECT_EQ(ExtensionText("ファイル.ソース"), "ソース");
    EXPECT_EQ(ExtensionText("名前.ｔｘｔ"), "ｔｘｔ");
}

TEST(ExtensionText, KeepsAtMost255BytesWithTheDot)
{
    const std::string name = "a." + std::string(300, 'e');
    EXPECT_EQ(ExtensionWithDot(name).size(), 255u);
    EXPECT_EQ(ExtensionText(name), std::string(254, 'e'));
}

TEST(SortFiles, SortsARealListingByEveryKeyBothWays)
{
    ClusterSize = 4096;
    TempTree folder;
    struct Made { const char* name; std::int64_t size; WORD year; };
    for (const Made& file : {Made{"b.zip", 300, 2005}, Made{"Ａ表.c", 10, 2001}, Made{"abc;d.txt", 5000, 2010},
                             Made{"ｶﾅ", 0, 1999}, Made{"Long name.md", 42, 2020}}) {
        const FILETIME written = LocalFileTime(file.year, 6, 1, 12, 0, 0);
        ASSERT_TRUE(MakeFile(folder.Path(file.name), file.size, &written));
    }
    const int n = ListFiles(folder.Root());
    ASSERT_EQ(n, 5);

    struct Expected { int key; std::vector<std::string> ascending; };
    const Expected cases[] = {
        {SortByName, {"abc;d.txt", "b.zip", "Long name.md", "Ａ表.c", "ｶﾅ"}},
        {SortBySize, {"ｶﾅ", "Ａ表.c", "Long name.md", "b.zip", "abc;d.txt"}},
        {SortByDate, {"ｶﾅ", "Ａ表.c", "b.zip", "abc;d.txt", "Long name.md"}},
        {SortByExtension, {"ｶﾅ", "Ａ表.c", "Long name.md", "abc;d.txt", "b.zip"}},
        {SortByCharCount, {"abc;d.txt", "ｶﾅ", "Ａ表.c", "b.zip", "Long name.md"}},
    };
    for (const Expected& expected : cases) {
        EXPECT_EQ(SortedNames(n, expected.key, false), expected.ascending) << expected.key;
        EXPECT_EQ(SortedNames(n, expected.key, true), Reversed(expected.ascending)) << expected.key;
    }
    ClusterSize = 0;
}

}  // namespace
