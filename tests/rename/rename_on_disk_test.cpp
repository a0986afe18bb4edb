#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "core/find_file.h"
#include "core/sizes.h"
#include "files/file_table.h"
#include "rename/list_files_and_folders.h"
#include "rename/rename_on_disk.h"
#include "tests/core/temp_tree.h"
#include "tests/rename/manifest.h"

namespace {

// name: content; a name ending in "\" is a folder whose "inner" file holds it.
struct Item {
    std::string name;
    std::string content;
};

Manifest Expected(const std::vector<Item>& items)
{
    Manifest manifest;
    for (const Item& item : items) {
        if (item.name.ends_with('\\'))
            manifest.push_back({item.name.substr(0, item.name.size() - 1), true, 0, Checksum(item.content)});
        else
            manifest.push_back({item.name, false, static_cast<std::int64_t>(item.content.size()),
                                Checksum(item.content)});
    }
    std::sort(manifest.begin(), manifest.end());
    return manifest;
}

// A made from the Unix side, under a name code page 932 cannot hold.
struct UnixItem {
    std::wstring name;
    std::string listed;
    std::string content;
};

// One row of the apply: the listed name, the typed name, and the size that
// picks the listed entry whose identity the row keeps when two list alike.
struct Step {
    std::string from, to;
    bool renamed;
    std::int64_t size = -1;
};

struct Case {
    const char* title;
    std::vector<UnixItem> unixItems;
    std::vector<Item> before;
    std::vector<Step> steps;
    std::vector<Item> after;
};

const Case kCases[] = {
    {"swap", {}, {{"a", "A"}, {"b", "B"}}, {{"a", "b", false}, {"b", "a", false}}, {{"a", "A"}, {"b", "B"}}},
    {"chain, b's row first", {}, {{"a", "A"}, {"b", "B"}}, {{"b", "c", true}, {"a", "b", true}},
     {{"b", "A"}, {"c", "B"}}},
    {"chain, a's row first", {}, {{"a", "A"}, {"b", "B"}}, {{"a", "b", false}, {"b", "c", true}},
     {{"a", "A"}, {"c", "B"}}},
    {"case only, file", {}, {{"abc.txt", "A"}, {"x.txt", "X"}}, {{"abc.txt", "ABC.txt", true}},
     {{"ABC.txt", "A"}, {"x.txt", "X"}}},
    {"case only, folder", {}, {{"フォルダabc\\", "F"}}, {{"フォルダabc", "フォルダABC", true}},
     {{"フォルダABC\\", "F"}}},
    {"empty name", {}, {{"a", "A"}}, {{"a", "", false}}, {{"a", "A"}}},
    {"two rows to one target", {}, {{"a", "A"}, {"b", "B"}}, {{"a", "t", true}, {"b", "t", false}},
     {{"t", "A"}, {"b", "B"}}},
    {"names that leave the folder", {},
     {{"a", "A"}, {"sub\\", "S"}},
     {{"a", "sub\\a", false}, {"a", "sub/a", false}, {"a", "..\\a", false}, {"a", ".", false}, {"a", "..", false},
      {"a", "a\\", false}, {"sub", "..", false}},
     {{"a", "A"}, {"sub\\", "S"}}},
    // "表" ends in the byte 0x5C, which is no separator.
    {"a trail byte 0x5C", {}, {{"a", "A"}}, {{"a", "表ソ.txt", true}}, {{"表ソ.txt", "A"}}},
    {"device names", {}, {{"a", "A"}}, {{"a", "CON", false}, {"a", "NUL", false}, {"a", "nul.txt", false}},
     {{"a", "A"}}},
    // Windows would drop the dot or space and give the entry another name.
    // A NUL would cut the name short to another one.
    {"a trailing dot or space, a NUL", {}, {{"a", "A"}},
     {{"a", "b.", false}, {"a", "b ", false}, {"a", "Com1.log", false}, {"a", std::string("b\0c", 3), false}},
     {{"a", "A"}}},
    {"a look-alike beside the real name", {{L"café.txt", "cafe.txt", "decoy!"}}, {{"cafe.txt", "REAL"}},
     {{"cafe.txt", "x.txt", false, 6}, {"cafe.txt", "y.txt", true, 4}},
     {{"cafe.txt", "decoy!"}, {"y.txt", "REAL"}}},
    // "?" is a wildcard to the directory search and matches "cafe.txt" too.
    {"a \"?\" beside a name it matches", {{L"caf한.txt", "caf?.txt", "decoy!"}}, {{"cafe.txt", "REAL"}},
     {{"caf?.txt", "x.txt", false}}, {{"caf?.txt", "decoy!"}, {"cafe.txt", "REAL"}}},
    {"a folder in the same pass as files", {}, {{"a", "A"}, {"dir\\", "D"}, {"z", "Z"}},
     {{"z", "y", true}, {"dir", "新dir", true}, {"a", "b", true}},
     {{"b", "A"}, {"新dir\\", "D"}, {"y", "Z"}}},
    // The new name finds the entry itself, so it goes the way of a change of
    // case; the second step fails on the "?", and the old name comes back.
    {"second step of a case change fails", {}, {{"abc", "A"}}, {{"abc", "AB?", false}}, {{"abc", "A"}}},
};

void PrintTo(const Case& c, std::ostream* out)
{
    *out << c.title;
}

class RenameOnDiskTest : public testing::TestWithParam<Case> {
protected:
    void Make(const Case& c)
    {
        for (const UnixItem& item : c.unixItems)
            if (!MakeUnixFileNamed(folder.Root(), item.name, item.content, item.listed))
                GTEST_SKIP() << "no Unix side to make " << item.listed;
        for (const Item& item : c.before) {
            if (item.name.ends_with('\\')) {
                const std::string path = folder.Folder(item.name.substr(0, item.name.size() - 1));
                WriteFile(path + "\\inner", item.content);
            } else {
                WriteFile(folder.Path(item.name), item.content);
            }
        }
    }
    static void WriteFile(const std::string& path, const std::string& content)
    {
        const HANDLE created =
            CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(created, INVALID_HANDLE_VALUE) << path;
        const UniqueHandle file(created);
        DWORD written = 0;
        ASSERT_TRUE(::WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
    }
    // The identity a row keeps: of the listed entry of that name (and size).
    static EntryIdentity IdentityOfRow(int n, const Step& step)
    {
        for (int i = 1; i <= n; ++i)
            if (FileTable[i].Name == step.from && (step.size < 0 || FileTable[i].Size == step.size))
                return FileTable[i].Identity;
        ADD_FAILURE() << "not listed: " << step.from;
        return {};
    }

    TempTree folder;
};

TEST_P(RenameOnDiskTest, RenamesExactlyTheIntendedEntries)
{
    const Case& c = GetParam();
    Make(c);
    if (IsSkipped() || HasFatalFailure())
        return;
    std::vector<Item> before = c.before;
    for (const UnixItem& item : c.unixItems)
        before.push_back({item.listed, item.content});
    EXPECT_EQ(ManifestOf(folder.Root()), Expected(before));
    const int n = ListFilesAndFolders(folder.Root());
    std::vector<EntryIdentity> rows;
    for (const Step& step : c.steps)
        rows.push_back(IdentityOfRow(n, step));
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
        const Step& step = c.steps[i];
        EXPECT_EQ(RenameOnDisk(folder.Path(step.from), folder.Path(step.to), rows[i]), step.renamed)
            << step.from << " -> " << step.to;
    }
    EXPECT_EQ(ManifestOf(folder.Root()), Expected(c.after));
}

INSTANTIATE_TEST_SUITE_P(Cases, RenameOnDiskTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return "case" + std::to_string(info.index); });

TEST(RenameOnDisk, AnEntryReplacedSinceTheListingIsNotRenamed)
{
    const TempTree folder;
    folder.File("a.txt", 10);
    ListFilesAndFolders(folder.Root());
    const EntryIdentity listed = FileTable[1].Identity;
    ASSERT_TRUE(DeleteFileA(folder.Path("a.txt").c_str()));
    folder.File("a.txt", 20);
    EXPECT_FALSE(RenameOnDisk(folder.Path("a.txt"), folder.Path("b.txt"), listed));
    EXPECT_EQ(Listing(folder.Root()), std::vector<std::string>{"a.txt"});
}

TEST(ListFilesAndFolders, ListsFilesAndFoldersWithTheirIdentity)
{
    const TempTree folder;
    ClusterSize = 4096;
    const FILETIME written = LocalFileTime(2004, 5, 6, 7, 8, 9);
    folder.File("隠し;.sys", (std::int64_t{1} << 32) + 3, written, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    folder.Folder("表フォルダ");
    folder.File("表フォルダ\\中.txt", 5);
    const int n = ListFilesAndFolders(folder.Root() + "\\");
    ASSERT_EQ(n, 2);
    std::vector<std::tuple<std::string, int, int, std::int64_t, std::int64_t>> seen;
    for (int i = 1; i <= n; ++i)
        seen.emplace_back(FileTable[i].Name, FileTable[i].CharCount, FileTable[i].IsFolder, FileTable[i].Size,
                          FileTable[i].DiskSize);
    std::sort(seen.begin(), seen.end());
    const std::int64_t size = (std::int64_t{1} << 32) + 3;
    EXPECT_EQ(seen[0], std::make_tuple(std::string("隠し;.sys"), -7, 0, size, (size / 4096 + 1) * 4096));
    EXPECT_EQ(seen[1], std::make_tuple(std::string("表フォルダ"), 5, 1, std::int64_t{0}, std::int64_t{0}));

    const FileEntry& file = FileTable[1].IsFolder ? FileTable[2] : FileTable[1];
    EXPECT_EQ(file.Identity.Size, size);
    EXPECT_EQ(file.Identity.Attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
              DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM});
    EXPECT_EQ(Ticks(file.Identity.WriteTime), Ticks(written));
    EXPECT_EQ(file.Stamp.wYear, 2004);
    EXPECT_EQ(file.Stamp.wHour, 7);

    EXPECT_EQ(ListFilesAndFolders(folder.Path("ない")), 0);
    EXPECT_EQ(ListFilesAndFolders(""), 0);
    EXPECT_EQ(FileTable.size(), 1u);
}

}  // namespace
