// Delete on the file, folder and newest-files pages, against Wine's Recycle
// Bin: the desktop trash below XDG_DATA_HOME, pointed at a folder of this
// test on the same file system as the trees.
//
// Faults to catch, one case each:
// | fault                                                    | case                              |
// |----------------------------------------------------------|-----------------------------------|
// | the file is deleted for good, or other entries go too    | FileGoesToTheTrashWhole           |
// | the question's text or its default (Enter) is wrong      | FileGoesToTheTrashWhole, NoKeeps  |
// | No, or a row nobody picked, still deletes                | NoKeepsEverything                 |
// | the page walks again after a delete                      | FileGoesToTheTrashWhole           |
// | a folder's totals stay, or the folder goes only in part  | FolderGoesWholeAndTotalsFollow    |
// | a name code page 932 cannot hold misses its entry        | NameTheCodePageCannotHold         |
// | an entry replaced since the listing is deleted           | ReplacedEntryIsLeftWithTheBox     |
// | a path the shell cannot take is asked about or passed on | LongPathGetsOnlyTheFailureBox     |
// | the newest page keeps the row or pulls the next one in   | NewestRowLeaves                   |
// | the map keeps the tile, the kind or the node's figures   | MapTileLegendAndNodeFollow        |
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/zev_form.h"
#include "core/number_format.h"
#include "core/sizes.h"
#include "files/file_sort.h"
#include "tests/app/page_test.h"
#include "tests/core/temp_tree.h"
#include "tests/rename/manifest.h"

namespace {

// Answers the "ZEV" boxes as they show, in turn: Yes by its button, No by
// the Enter key of the real keyboard, so that No must be the default.
struct Boxes {
    static inline std::vector<bool> answers;
    static inline std::vector<std::wstring> texts;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND box = zev_test::FindThreadWindow("#32770", "ZEV");
        if (!box || answers.empty())
            return;
        // The box's text is its longest static text (the icon has none).
        std::wstring longest;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t name[32] = L"", text[1024] = L"";
            GetClassNameW(child, name, 32);
            GetWindowTextW(child, text, 1024);
            if (lstrcmpiW(name, L"Static") == 0 && std::wstring_view(text).size() > longest.size())
                longest = text;
        }
        texts.push_back(longest);
        const bool yes = answers.front();
        answers.erase(answers.begin());
        if (yes && GetDlgItem(box, IDYES)) {
            SendMessageW(GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
        } else {
            SetForegroundWindow(box);
            zev_test::SendKey(VK_RETURN, false);
            zev_test::SendKey(VK_RETURN, true);
        }
    }
};

// The trash of the whole test program: Wine's shell reads where it is once.
const TempTree& Trash()
{
    static const TempTree trash;
    static const bool pointed = [] {
        const std::wstring unix = unix_side::UnixPath(trash.Root());
        SetEnvironmentVariableW(L"XDG_DATA_HOME", unix.c_str());
        _wputenv((L"XDG_DATA_HOME=" + unix).c_str());
        return true;
    }();
    (void)pointed;
    return trash;
}

class RecycleTest : public PageTest {
protected:
    explicit RecycleTest(ui::TStringGrid TForm1::*grid = &TForm1::FileGrid) : PageTest(grid)
    {
        Trash();
        Boxes::texts.clear();
        form.SortDescending = false;
        form.FileSortKey = SortByName;
        form.DirSortKey = 0;  // listing order
    }
    void Show(ui::TTabSheet& page)
    {
        CurrentFolder = tree.Root();
        form.DiskPage.SetActivePage(page);
        form.RefreshActivePage();
        zev_test::Pump();
    }
    // Picks the row by a click on a cell that opens nothing, then presses
    // Delete with the boxes answered in turn.
    void Delete(int row, std::vector<bool> answers, int col = 2)
    {
        ClickCell(col, row);
        const std::size_t count = answers.size();
        EXPECT_EQ(Press(std::move(answers)), count);
    }
    // Presses Delete on the grid with the boxes answered in turn; how many showed.
    std::size_t Press(std::vector<bool> answers) { return Press(std::move(answers), Grid().Handle()); }
    std::size_t Press(std::vector<bool> answers, HWND target)
    {
        const std::size_t before = Boxes::texts.size();
        SetFocus(target);
        Boxes::answers = std::move(answers);
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, Boxes::Tick);
        zev_test::RealKey(VK_DELETE);
        zev_test::Pump();
        KillTimer(nullptr, timer);
        Boxes::answers.clear();
        return Boxes::texts.size() - before;
    }
    Cells Column(int col)
    {
        Cells cells;
        for (int row = 1; row < Grid().RowCount(); ++row)
            cells.push_back(Grid().Cell(col, row));
        return cells;
    }
    static std::string Trashed(const std::string& name) { return Trash().Path("Trash\\files\\" + name); }
    std::wstring Path(const std::string& name) { return WideText(tree.Path(name)); }

    TempTree tree;
};

TEST_F(RecycleTest, FileGoesToTheTrashWhole)
{
    tree.File("a.txt", 1000);
    tree.File("b.txt", 3000);
    tree.Folder("sub");
    tree.File("sub\\inner", 5);
    Show(form.FilePage);
    const Manifest before = ManifestOf(tree.Root());
    tree.File("later.txt", 7);  // made after the page was filled

    Delete(2, {true});
    EXPECT_EQ(Boxes::texts, std::vector<std::wstring>{L"ごみ箱に移動しますか?\r\n\r\n" + Path("b.txt") + L"\r\n3,000 bytes"});
    EXPECT_EQ(Content(WideText(Trashed("b.txt"))).size(), 3000u);
    Manifest after = ManifestOf(tree.Root());
    std::erase_if(after, [](const ManifestEntry& e) { return e.name == "later.txt"; });
    Manifest expected = before;
    std::erase_if(expected, [](const ManifestEntry& e) { return e.name == "b.txt"; });
    EXPECT_EQ(after, expected);
    // The page follows without a walk: later.txt comes with the next refresh.
    EXPECT_EQ(Column(0), (Cells{"a.txt", "[合計]"}));
    EXPECT_EQ(Row(1)[6], "100.0");
    EXPECT_EQ(Grid().Cell(2, 2), "1,000");
    EXPECT_EQ(form.StatusBar1.PanelText(), "ごみ箱に移動しました: " + tree.Path("b.txt"));
    form.Button1Click(form.Button1);
    EXPECT_EQ(Column(0), (Cells{"a.txt", "later.txt", "[合計]"}));
}

TEST_F(RecycleTest, NoKeepsEverything)
{
    tree.File("a.txt", 10);
    Show(form.FilePage);
    const Manifest before = ManifestOf(tree.Root());
    // Nothing picked since the fill: no question at all.
    EXPECT_EQ(Press({false}), 0u);
    // Picked, then No by the default button; the total row names no file.
    Delete(1, {false});
    ClickCell(0, 2);
    EXPECT_EQ(Press({false}), 0u);
    EXPECT_EQ(ManifestOf(tree.Root()), before);
    EXPECT_EQ(Column(0), (Cells{"a.txt", "[合計]"}));
}

TEST_F(RecycleTest, NameTheCodePageCannotHold)
{
    const std::wstring name = L"한국어.txt";
    const std::wstring path = WideText(tree.Root()) + L"\\" + name;
    CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    tree.File("a.txt", 4);
    Show(form.FilePage);
    ASSERT_EQ(Column(0), (Cells{"???.txt", "a.txt", "[合計]"}));

    Delete(1, {true});
    EXPECT_EQ(Boxes::texts.size(), 1u);
    EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW((WideText(Trash().Path("Trash\\files")) + L"\\" + name).c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Column(0), (Cells{"a.txt", "[合計]"}));
}

TEST_F(RecycleTest, ReplacedEntryIsLeftWithTheBox)
{
    tree.File("a.txt", 10);
    Show(form.FilePage);
    DeleteFileA(tree.Path("a.txt").c_str());
    tree.File("a.txt", 20);  // another file under the same name

    Delete(1, {true, false});
    ASSERT_EQ(Boxes::texts.size(), 2u);
    EXPECT_EQ(Boxes::texts[1].rfind(L"ごみ箱に移動できませんでした: " + Path("a.txt") + L"\r\n", 0), 0u);
    EXPECT_GT(Boxes::texts[1].size(), (L"ごみ箱に移動できませんでした: " + Path("a.txt") + L"\r\n").size());
    EXPECT_EQ(Content(Path("a.txt")).size(), 20u);
    EXPECT_EQ(Column(2), (Cells{"10", "10"}));
}

TEST_F(RecycleTest, LongPathGetsOnlyTheFailureBox)
{
    const std::wstring folder = Path(std::string(120, 'f')) + L"\\" + std::wstring(120, L'g');
    CreateDirectoryW(LongForm(Path(std::string(120, 'f'))).c_str(), nullptr);
    CreateDirectoryW(LongForm(folder).c_str(), nullptr);
    const std::wstring file = folder + L"\\long.txt";
    CloseHandle(CreateFileW(LongForm(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_GE(file.size(), 260u);
    CurrentFolder = DiskPath(ShownText(folder), folder);
    form.DiskPage.SetActivePage(form.FilePage);
    form.RefreshActivePage();
    ASSERT_EQ(Grid().Cell(0, 1), "long.txt");

    Delete(1, {false});
    EXPECT_EQ(Boxes::texts.back().rfind(L"ごみ箱に移動できませんでした: " + file + L"\r\n", 0), 0u);
    EXPECT_NE(GetFileAttributesW(LongForm(file).c_str()), INVALID_FILE_ATTRIBUTES);
}

class FolderRecycleTest : public RecycleTest {
protected:
    FolderRecycleTest() : RecycleTest(&TForm1::DirGrid) {}
};

TEST_F(FolderRecycleTest, FolderGoesWholeAndTotalsFollow)
{
    tree.File("top.txt", 100);
    tree.Folder("keep");
    tree.File("keep\\inner", 300);
    tree.Folder("gone");
    tree.Folder("gone\\deep");
    tree.File("gone\\inner", 1000);
    tree.File("gone\\deep\\x", 2000);
    Show(form.DirPage);
    const int row = Grid().Cell(0, 1) == "gone" ? 1 : 2;
    const Manifest before = ManifestOf(tree.Root());

    Delete(row, {true});
    EXPECT_EQ(Boxes::texts,
              std::vector<std::wstring>{L"ごみ箱に移動しますか?\r\n\r\n" + Path("gone") + L"\r\n3,000 bytes (2 ファイル)"});
    EXPECT_EQ(Content(WideText(Trashed("gone\\deep\\x"))).size(), 2000u);
    Manifest expected = before;
    std::erase_if(expected, [](const ManifestEntry& e) { return e.name == "gone"; });
    EXPECT_EQ(ManifestOf(tree.Root()), expected);
    EXPECT_EQ(Column(0), (Cells{"keep", "[このフォルダ直下のファイル]", "[合計]"}));
    EXPECT_EQ(Row(3)[1], "400");
    EXPECT_EQ(Row(3)[4], "2");
    EXPECT_EQ(Row(1)[6], "75.0");
}

class NewestRecycleTest : public RecycleTest {
protected:
    NewestRecycleTest() : RecycleTest(&TForm1::NewFileGrid) {}
};

TEST_F(NewestRecycleTest, NewestRowLeaves)
{
    tree.Folder("sub");
    tree.File("sub\\old.txt", 5, LocalFileTime(2001, 1, 1));
    tree.File("new.txt", 6, LocalFileTime(2020, 1, 1));
    Show(form.NewFilePage);
    ASSERT_EQ(Column(1), (Cells{"new.txt", "old.txt"}));

    Delete(2, {true});
    EXPECT_EQ(Boxes::texts,
              std::vector<std::wstring>{L"ごみ箱に移動しますか?\r\n\r\n" + Path("sub\\old.txt") + L"\r\n5 bytes"});
    EXPECT_EQ(GetFileAttributesA(tree.Path("sub\\old.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Column(1), (Cells{"new.txt"}));
}

class MapRecycleTest : public RecycleTest {
protected:
    MapRecycleTest() : RecycleTest(nullptr)
    {
        SetWindowPos(form.Handle(), nullptr, 0, 0, 1000, 700, SWP_NOZORDER | SWP_NOMOVE);
        form.DiskPage.SetActivePage(form.TreePage);
        zev_test::Pump();
    }
    MapRecords& Map() { return form.TreeMapPane1.Records; }
    MapLayout& Layout() { return form.TreeMapPane1.Layout; }
    HWND View() { return form.TreeMapPane1.View.Handle(); }
    std::int32_t FileNamed(const std::string& name)
    {
        for (std::size_t i = 0; i < Map().FileCount(); ++i)
            if (Map().FilePath(static_cast<std::int32_t>(i)).Shown == tree.Path(name))
                return static_cast<std::int32_t>(i);
        return -1;
    }
};

TEST_F(MapRecycleTest, MapTileLegendAndNodeFollow)
{
    const FILETIME older = LocalFileTime(2019, 1, 2, 3, 4, 5);
    tree.Folder("sub");
    tree.File("sub\\big.aa", 60000, LocalFileTime(2020, 1, 2, 3, 4, 5));
    tree.File("sub\\small.bb", 20000, older);
    tree.File("top.cc", 20000, older);
    CurrentFolder = tree.Root();
    form.TreeMapCheck.SetChecked(true);
    form.TreeMapCheckClick(form.TreeMapCheck);
    form.TreeMapPane1.ByKind.SetChecked(true);
    Layout().SetColoring(MapLayout::Coloring::Kind);
    form.TreeMapPane1.UpdateLegend();
    form.TreeMapPane1.View.Rebuild();
    zev_test::Pump();
    const std::int32_t big = FileNamed("sub\\big.aa");
    ASSERT_GE(big, 0);
    const std::int32_t sub = Map().File(big).Folder;
    const MapRect r = Layout().Locate(MapHit{big, sub, {}});
    const POINT center{static_cast<LONG>((r.left + r.right) / 2), static_cast<LONG>((r.top + r.bottom) / 2)};
    zev_test::Click(View(), center.x, center.y);
    ASSERT_EQ(form.TreeMapPane1.View.OutlinedFile(), big);

    EXPECT_EQ(Press({true}, View()), 1u);
    EXPECT_EQ(Boxes::texts.back(), L"ごみ箱に移動しますか?\r\n\r\n" + Path("sub\\big.aa") + L"\r\n60,000 bytes");
    EXPECT_EQ(GetFileAttributesA(tree.Path("sub\\big.aa").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(Layout().HitTest(center.x, center.y).File, big);
    std::vector<std::string> legend;
    for (const LegendEntry& entry : form.TreeMapPane1.Legend.Entries())
        legend.push_back(entry.Text);
    EXPECT_EQ(legend, (std::vector<std::string>{".bb 50.0%", ".cc 50.0%"}));
    EXPECT_EQ(MapKindsText(Map(), SizeUnit).find(".aa"), std::string::npos);
    EXPECT_EQ(form.TreeView1.NodeText(form.MapNodes[static_cast<std::size_t>(sub)]),
              "sub\t     " + FormatNumber(20000 / 1024.0, 7) + "KB / 1  \t 2019/01/02 03:04:05");
}

}  // namespace
