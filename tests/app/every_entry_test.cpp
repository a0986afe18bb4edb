// One tree with names code page 932 cannot hold and a path past MAX_PATH,
// through every walk and listing of the real window.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "app/zev_form.h"
#include "files/file_sort.h"
#include "files/newest_table.h"
#include "folders/folder_scan.h"
#include "folders/folder_sort.h"
#include "rename/joliet_table.h"
#include "tests/app/page_test.h"
#include "tests/core/temp_tree.h"

namespace {

// Names code page 932 cannot hold: an accented letter, Hangul and an emoji.
const std::wstring kCafe = L"caf\u00E9";
const std::wstring kKorean = L"\uD55C\uAD6D\uC5B4";

// A folder made through the wide entry points, in the long form where needed.
void MakeFolder(const std::wstring& path)
{
    ASSERT_TRUE(CreateDirectoryW(LongForm(path).c_str(), nullptr)) << ShownText(path);
}

void MakeSizedFile(const std::wstring& path, DWORD size, const FILETIME& written)
{
    const HANDLE created = CreateFileW(LongForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(created, INVALID_HANDLE_VALUE) << ShownText(path);
    const UniqueHandle file(created);
    const std::string content(size, 'x');
    DWORD done = 0;
    ASSERT_TRUE(WriteFile(file.get(), content.data(), size, &done, nullptr));
    ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &written));
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(LongForm(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// What each folder of the tree holds: one file of the size, in the folder
// named by its wide path below the root.
struct Holding {
    std::wstring folder;
    DWORD size;
};

class EveryEntryTest : public PageTest {
protected:
    EveryEntryTest() : PageTest(&TForm1::RenameGrid)
    {
        root = WideText(tree.Root()) + L"\\";
        deep = L"deep";
        for (int level = 0; level < 8; ++level)
            deep += L"\\level" + std::to_wstring(level) + L"_" + std::wstring(36, L'd');
        for (const wchar_t* folder : {L"音楽", L"音楽\\caf\u00E9", L"音楽\\cafe", L"音楽\\\uD55C\uAD6D\uC5B4", L"\U0001F600"})
            MakeFolder(root + folder);
        for (std::size_t cut = 0; cut != std::wstring::npos;) {
            cut = deep.find(L'\\', cut + 1);
            MakeFolder(root + deep.substr(0, cut));
        }
        for (const Holding& holding : kHoldings)
            MakeSizedFile(root + holding.folder + L"\\f" + std::to_wstring(holding.size) + L".bin", holding.size,
                          LocalFileTime(2020, 1, 1));
        MakeSizedFile(root + deep + L"\\bottom.txt", 7000, LocalFileTime(2024, 6, 1));
    }

    static inline const Holding kHoldings[] = {
        {L"音楽\\caf\u00E9", 4000}, {L"音楽\\cafe", 1000}, {L"音楽\\\uD55C\uAD6D\uC5B4", 6000}, {L"\U0001F600", 500}};
    TempTree tree;
    std::wstring root;  // ending in "\"
    std::wstring deep;  // below the root
};

// Each name shows as the ANSI directory search spells it.
TEST_F(EveryEntryTest, NamesShowAsTheAnsiSearchSpellsThem)
{
    for (const wchar_t* folder : {L"音楽\\", L""}) {
        std::vector<std::string> ansi;
        WIN32_FIND_DATAA data{};
        const std::string shownFolder = ShownText(root + folder);
        const HANDLE search = FindFirstFileA((shownFolder + "*").c_str(), &data);
        ASSERT_NE(search, INVALID_HANDLE_VALUE);
        do
            ansi.emplace_back(data.cFileName);
        while (FindNextFileA(search, &data));
        FindClose(search);
        std::vector<std::string> ours;
        for (FindFile entry(root + folder + L"*"); entry; entry.next())
            ours.emplace_back(entry.name());
        EXPECT_EQ(ours, ansi);
    }
}

TEST_F(EveryEntryTest, TheFolderPageCountsEveryFileOnce)
{
    const int count = ScanFolder(DiskPath(ShownText(root), root), false);
    ASSERT_EQ(count, 4);
    std::map<std::wstring, std::pair<std::int64_t, std::int32_t>> seen;
    for (int i = 1; i < count; ++i)
        seen[FolderTable[static_cast<std::size_t>(i)].WideName] = {FolderTable[static_cast<std::size_t>(i)].Size,
                                                                    FolderTable[static_cast<std::size_t>(i)].FileCount};
    const std::map<std::wstring, std::pair<std::int64_t, std::int32_t>> expected{
        {L"音楽", {11000, 3}}, {L"\U0001F600", {500, 1}}, {L"deep", {7000, 1}}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(FolderTable[1].Name.find("\\\\?\\"), std::string::npos);
}

TEST_F(EveryEntryTest, TheTreeShowsEveryFolderOnce)
{
    form.DiskPage.SetActivePage(form.TreePage);
    CurrentFolder = DiskPath(ShownText(root), root);
    form.RefreshActivePage();
    std::vector<std::string> nodes;
    // The names, without the details that follow a TAB.
    form.TreeView1.ForEachNode([&](ui::TTreeNode node, int) {
        const std::string text = form.TreeView1.NodeText(node);
        nodes.push_back(text.substr(0, text.find('\t')));
    });
    EXPECT_EQ(nodes.size(), 1u + 5u + 9u);
    EXPECT_EQ(std::count(nodes.begin(), nodes.end(), "cafe"), 2);
    EXPECT_EQ(std::count(nodes.begin(), nodes.end(), "???"), 1);
    // One "?" per UTF-16 unit, as Joliet counts the name.
    EXPECT_EQ(std::count(nodes.begin(), nodes.end(), "??"), 1);
    EXPECT_EQ(std::count(nodes.begin(), nodes.end(), "level7_" + std::string(36, 'd')), 1);
}

TEST_F(EveryEntryTest, TheNewestFilesAndTheCdCheckReachTheDeepestFile)
{
    const DiskPath start(ShownText(root), root);
    ASSERT_EQ(WalkNewest(start), 5);
    const auto newest = std::find_if(NewestTable.begin() + 1, NewestTable.begin() + 6,
                                     [](const NewestEntry& e) { return e.Name == "bottom.txt"; });
    ASSERT_NE(newest, NewestTable.begin() + 6);
    EXPECT_TRUE(Exists(newest->WideFolder + newest->WideName));
    EXPECT_EQ(newest->Folder, ShownText(root + deep + L"\\"));

    ASSERT_EQ(WalkJoliet(start), 1);
    EXPECT_EQ(JolietTable[1].Name, "bottom.txt");
    EXPECT_GT(JolietTable[1].PathLength, JolietMaxPathLength);
    EXPECT_EQ(JolietTable[1].Folder, ShownText(root + deep + L"\\"));
}

TEST_F(EveryEntryTest, TheFolderSelectorEntersLookAlikesAndDeepFolders)
{
    form.DiskPage.SetActivePage(form.DirPage);
    form.DirectoryListBox1.SetDirectory(DiskPath(ShownText(root), root));
    zev_test::Pump();
    // The row whose record is "caf\u00E9", shown as "cafe" beside the real one.
    form.DirectoryListBox1.SetDirectory(DiskPath(ShownText(root + L"音楽"), root + L"音楽"));
    zev_test::Pump();
    int row = 0;
    for (int r = 1; r < FolderCount; ++r)
        if (FolderTable[static_cast<std::size_t>(FolderOrder[static_cast<std::size_t>(r)])].WideName == kCafe)
            row = r;
    ASSERT_NE(row, 0);
    const POINT center = zev_test::Center(form.DirGrid.CellRect(0, row));
    zev_test::Click(form.DirGrid.Handle(), center.x, center.y, zev_test::Button::Right);
    ASSERT_EQ(WideShellCalls().size(), 1u);
    EXPECT_EQ(WideShellCalls()[0].parameters, root + L"音楽\\caf\u00E9");
    zev_test::Click(form.DirGrid.Handle(), center.x, center.y);
    EXPECT_EQ(CurrentFolder.Wide, root + L"音楽\\caf\u00E9");
    EXPECT_EQ(FolderTable[0].FileCount, 1);
    EXPECT_EQ(FolderTable[0].Size, 4000);

    form.DiskPage.SetActivePage(form.FilePage);
    form.DirectoryListBox1.SetDirectory(DiskPath(ShownText(root + deep), root + deep));
    zev_test::Pump();
    EXPECT_EQ(CurrentFolder.Wide, root + deep);
    EXPECT_EQ(form.FileGrid.Cell(0, 1), "bottom.txt");
    EXPECT_TRUE(errors.empty());
}

TEST_F(EveryEntryTest, RenameRowsOfLookAlikesAreLeftToTyping)
{
    form.DiskPage.SetActivePage(form.RenameFilePage);
    form.RenameSortKey = SortByName;
    CurrentFolder = DiskPath(ShownText(root + L"音楽"), root + L"音楽");
    form.RefreshActivePage();
    zev_test::Pump();
    ASSERT_EQ(Grid().RowCount(), 4);
    std::map<std::wstring, int> rowOf;
    for (int row = 1; row <= 3; ++row)
        rowOf[form.RenameRowIdentities[static_cast<std::size_t>(row)].Name] = row;
    ASSERT_EQ(rowOf.size(), 3u);
    EXPECT_TRUE(form.RenameRowShowsExactly(rowOf[L"cafe"]));
    EXPECT_FALSE(form.RenameRowShowsExactly(rowOf[kCafe]));
    EXPECT_FALSE(form.RenameRowShowsExactly(rowOf[kKorean]));

    // A conversion passes the look-alikes over.
    form.ToUpperBottunClick(form.ToUpperBottun);
    EXPECT_EQ(Grid().Cell(2, rowOf[L"cafe"]), "CAFE");
    EXPECT_EQ(Grid().Cell(2, rowOf[kCafe]), "cafe");
    EXPECT_EQ(Grid().Cell(2, rowOf[kKorean]), ShownText(kKorean));
    form.CancelRenameButtonClick(form.CancelRenameButton);

    RealClickCell(2, rowOf[kKorean]);
    EXPECT_NE(form.StatusBar1.PanelText().find("この名前には Shift_JIS で表せない文字が含まれています"),
              std::string::npos);
    // The look-alike's current name is grey, the real one's black.
    const auto image = zev_test::ClientImage::Printed(Grid().Handle());
    auto inkOf = [&](int row) {
        std::vector<COLORREF> ink;
        for (const POINT& p : image.Differing(Grid().CellRect(3, row), RGB(255, 255, 255)))
            ink.push_back(image.Pixel(p.x, p.y));
        return ink;
    };
    const std::vector<COLORREF> grey = inkOf(rowOf[kCafe]);
    EXPECT_NE(std::find(grey.begin(), grey.end(), RGB(128, 128, 128)), grey.end());
    const std::vector<COLORREF> black = inkOf(rowOf[L"cafe"]);
    EXPECT_EQ(std::find(black.begin(), black.end(), RGB(128, 128, 128)), black.end());

    // Typed names rename the real entries, the look-alike beside the real
    // "cafe" included, and nothing else.
    for (const auto& [name, typed] : {std::pair{kKorean, "korean"}, std::pair{kCafe, "latte"}}) {
        Grid().SetCell(2, rowOf[name], typed);
        form.RenameGridSetEditText(Grid(), 2, rowOf[name], typed);
    }
    form.DoRenameButtonClick(form.DoRenameButton);
    EXPECT_TRUE(Exists(root + L"音楽\\korean\\f6000.bin"));
    EXPECT_TRUE(Exists(root + L"音楽\\latte\\f4000.bin"));
    EXPECT_TRUE(Exists(root + L"音楽\\cafe\\f1000.bin"));
    EXPECT_FALSE(Exists(root + L"音楽\\\uD55C\uAD6D\uC5B4"));
    EXPECT_FALSE(Exists(root + L"音楽\\caf\u00E9"));
}

}  // namespace
