// One tree with names code page 932 cannot hold and a path past MAX_PATH,
// through every walk and listing of the real window.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "app/clip_text.h"
#include "app/zev_form.h"
#include "core/read_ahead.h"
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
const COLORREF kGrey = RGB(128, 128, 128);

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

class EveryEntryTest : public PageTest {
protected:
    EveryEntryTest() : PageTest(&TForm1::RenameGrid)
    {
        deep = L"deep";
        for (int level = 0; level < 8; ++level)
            deep += L"\\level" + std::to_wstring(level) + L"_" + std::wstring(36, L'd');
        for (const std::wstring& folder : {std::wstring(L"音楽"), L"音楽\\" + kCafe, std::wstring(L"音楽\\cafe"),
                                           L"音楽\\" + kKorean, std::wstring(L"\U0001F600")})
            MakeFolder(root + folder);
        for (std::size_t cut = 0; cut != std::wstring::npos;) {
            cut = deep.find(L'\\', cut + 1);
            MakeFolder(root + deep.substr(0, cut));
        }
        // One file in each folder, its size in its name; the deepest is the newest.
        for (const auto& [folder, size] : {std::pair{L"音楽\\" + kCafe, 4000}, std::pair{L"音楽\\cafe" + std::wstring(), 1000},
                                           std::pair{L"音楽\\" + kKorean, 6000}, std::pair{L"\U0001F600" + std::wstring(), 500}})
            MakeSizedFile(root + folder + L"\\f" + std::to_wstring(size) + L".bin", size, LocalFileTime(2020, 1, 1));
        MakeSizedFile(root + deep + L"\\bottom.txt", 7000, LocalFileTime(2024, 6, 1));
    }

    DiskPath At(const std::wstring& below) const { return {ShownText(root + below), root + below}; }

    TempTree tree;
    const std::wstring root = WideText(tree.Root()) + L"\\";
    std::wstring deep;  // below the root
};

// Each name shows as the ANSI directory search spells it.
TEST_F(EveryEntryTest, NamesShowAsTheAnsiSearchSpellsThem)
{
    for (const wchar_t* folder : {L"音楽\\", L""}) {
        std::vector<std::string> ansi;
        WIN32_FIND_DATAA data{};
        const HANDLE search = FindFirstFileA((ShownText(root + folder) + "*").c_str(), &data);
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

// The folder page, the tree, the newest 500 and the CD/DVD check each meet
// every entry once, the deepest included.
TEST_F(EveryEntryTest, EveryWalkMeetsEveryEntryOnce)
{
    const int count = ScanFolder(At(L""), false);
    std::map<std::wstring, std::pair<std::int64_t, std::int32_t>> seen;
    for (int i = 1; i < count; ++i) {
        const FolderSummary& record = FolderTable[static_cast<std::size_t>(i)];
        seen[record.WideName] = {record.Size, record.FileCount};
    }
    const std::map<std::wstring, std::pair<std::int64_t, std::int32_t>> expected{
        {L"音楽", {11000, 3}}, {L"\U0001F600", {500, 1}}, {L"deep", {7000, 1}}};
    EXPECT_EQ(seen, expected);

    form.DiskPage.SetActivePage(form.TreePage);
    CurrentFolder = At(L"");
    form.RefreshActivePage();
    std::vector<std::string> nodes;
    form.TreeView1.ForEachNode([&](ui::TTreeNode node, int) {
        const std::string text = form.TreeView1.NodeText(node);
        nodes.push_back(text.substr(0, text.find('\t')));
    });
    EXPECT_EQ(nodes.size(), 1u + 5u + 9u);
    EXPECT_EQ(std::count(nodes.begin(), nodes.end(), "cafe"), 2);

    ASSERT_EQ(WalkNewest(At(L"")), 5);
    const auto newest = std::find_if(NewestTable.begin() + 1, NewestTable.begin() + 6,
                                     [](const NewestEntry& e) { return e.Name == "bottom.txt"; });
    ASSERT_NE(newest, NewestTable.begin() + 6);
    EXPECT_TRUE(Exists(newest->WideFolder + newest->WideName));

    ASSERT_EQ(WalkJoliet(At(L"")), 1);
    EXPECT_GT(JolietTable[1].PathLength, JolietMaxPathLength);
    // Shown whole, without the "\\?\" prefix.
    EXPECT_EQ(JolietTable[1].Folder, ShownText(root + deep + L"\\"));
}

// Every page gives the same texts, byte for byte, reading ahead or not; a
// link back up the tree is shown and not followed either way.
TEST_F(EveryEntryTest, EveryPageGivesTheSameReadingAheadOrNot)
{
    ASSERT_TRUE(MakeUnixSymlink(tree.Path("音楽\\輪"), tree.Root()));
    CurrentFolder = At(L"");
    auto pages = [&] {
        std::vector<std::string> texts;
        for (ui::TTabSheet* page : {&form.DirPage, &form.TreePage, &form.NewFilePage}) {
            form.DiskPage.SetActivePage(*page);
            form.RefreshActivePage();
            if (page == &form.DirPage)
                form.CopyDirPage();
            else if (page == &form.TreePage)
                form.CopyTree();
            else
                form.CopyNewestPage();
            texts.push_back(ClipText);
        }
        std::string joliet;
        const int listed = WalkJoliet(CurrentFolder);
        for (int i = 1; i <= listed; ++i) {
            const JolietEntry& e = JolietTable[static_cast<std::size_t>(i)];
            joliet += e.Folder + e.Name + std::to_string(e.PathLength) + " " + std::to_string(e.Size) + "\n";
        }
        texts.push_back(joliet);
        return texts;
    };
    ReadAheadSetup.Enabled = false;
    const std::vector<std::string> alone = pages();
    ReadAheadSetup.Enabled = true;
    EXPECT_EQ(pages(), alone);
    EXPECT_NE(alone[1].find("輪"), std::string::npos);
    EXPECT_NE(alone[2].find("bottom.txt"), std::string::npos);
}

TEST_F(EveryEntryTest, TheFolderSelectorEntersLookAlikesAndDeepFolders)
{
    form.DiskPage.SetActivePage(form.DirPage);
    // The row whose record is "café", shown as "cafe" beside the real one.
    form.DirectoryListBox1.SetDirectory(At(L"音楽"));
    zev_test::Pump();
    int row = 0;
    for (int r = 1; r < FolderCount; ++r)
        if (FolderTable[static_cast<std::size_t>(FolderOrder[static_cast<std::size_t>(r)])].WideName == kCafe)
            row = r;
    ASSERT_NE(row, 0);
    const POINT center = zev_test::Center(form.DirGrid.CellRect(0, row));
    zev_test::Click(form.DirGrid.Handle(), center.x, center.y, zev_test::Button::Right);
    ASSERT_EQ(WideShellCalls().size(), 1u);
    EXPECT_EQ(WideShellCalls()[0].parameters, root + L"音楽\\" + kCafe);
    zev_test::Click(form.DirGrid.Handle(), center.x, center.y);
    EXPECT_EQ(CurrentFolder.Wide, root + L"音楽\\" + kCafe);
    EXPECT_EQ(FolderTable[0].Size, 4000);

    form.DiskPage.SetActivePage(form.FilePage);
    form.DirectoryListBox1.SetDirectory(At(deep));
    zev_test::Pump();
    EXPECT_EQ(CurrentFolder.Wide, root + deep);
    EXPECT_EQ(form.FileGrid.Cell(0, 1), "bottom.txt");
    EXPECT_TRUE(errors.empty());
}

TEST_F(EveryEntryTest, RenameRowsOfLookAlikesAreLeftToTyping)
{
    form.DiskPage.SetActivePage(form.RenameFilePage);
    CurrentFolder = At(L"音楽");
    form.RefreshActivePage();
    zev_test::Pump();
    ASSERT_EQ(Grid().RowCount(), 4);
    std::map<std::wstring, int> rowOf;
    for (int row = 1; row <= 3; ++row)
        rowOf[form.RenameRowIdentities[static_cast<std::size_t>(row)].Name] = row;

    // A conversion passes the look-alikes over.
    form.ToUpperBottunClick(form.ToUpperBottun);
    EXPECT_EQ(Grid().Cell(2, rowOf[L"cafe"]), "CAFE");
    EXPECT_EQ(Grid().Cell(2, rowOf[kCafe]), "cafe");
    EXPECT_EQ(Grid().Cell(2, rowOf[kKorean]), "???");
    form.CancelRenameButtonClick(form.CancelRenameButton);

    RealClickCell(2, rowOf[kKorean]);
    EXPECT_NE(form.StatusBar1.PanelText().find("この名前には Shift_JIS で表せない文字が含まれています"),
              std::string::npos);
    // The look-alike's current name is grey, the real one's is not.
    const auto image = zev_test::ClientImage::Printed(Grid().Handle());
    EXPECT_TRUE(image.Holds(Grid().CellRect(3, rowOf[kCafe]), kGrey));
    EXPECT_FALSE(image.Holds(Grid().CellRect(3, rowOf[L"cafe"]), kGrey));

    // Typed names rename the real entries, the look-alike beside the real
    // "cafe" included, and nothing else.
    for (const auto& [name, typed] : {std::pair{kKorean, "korean"}, std::pair{kCafe, "latte"}}) {
        Grid().SetCell(2, rowOf[name], typed);
        form.RenameGridSetEditText(Grid(), 2, rowOf[name], typed);
    }
    form.DoRenameButtonClick(form.DoRenameButton);
    for (const wchar_t* kept : {L"korean\\f6000.bin", L"latte\\f4000.bin", L"cafe\\f1000.bin"})
        EXPECT_TRUE(Exists(root + L"音楽\\" + kept));
    EXPECT_FALSE(Exists(root + L"音楽\\" + kKorean));
    EXPECT_FALSE(Exists(root + L"音楽\\" + kCafe));
}

}  // namespace
