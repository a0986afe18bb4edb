#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/zev_form.h"
#include "files/file_sort.h"
#include "rename/joliet_table.h"
#include "tests/app/page_test.h"
#include "tests/core/temp_tree.h"
#include "ui/cursor.h"

namespace {

using zev_test::Button;

std::string Repeat(std::string_view text, int times)
{
    std::string result;
    for (int i = 0; i < times; ++i)
        result += text;
    return result;
}

const Cells kTitles{" ファイル名", "字数", " サイズ (bytes)", " 日付", "パス長", " パス名"};
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

// Four violations whose order differs under every key, and a file that fits.
const std::string kShort = "a;b.c";                      // -5 characters, 5 bytes
const std::string kWide = Repeat("z", 64) + ".d";        // 66 characters, 3 + 66 bytes
const std::string kLong = Repeat("長", 65);               // 65 characters, 5 + 130 bytes
const std::string kDeep = "中;ファイル.txt";              // -10 characters, 8 + 15 bytes

class JolietPageTest : public PageTest {
protected:
    JolietPageTest() : PageTest(&TForm1::JolietGrid)
    {
        form.DiskPage.SetActivePage(form.JolietPage);
        zev_test::Pump();
    }

    void MakeSample()
    {
        for (const char* folder : {"ア", "サブ", "サブ\\奥"})
            tree.Folder(folder);
        tree.File(kShort, 300, LocalFileTime(2005, 1, 2, 3, 4, 5));
        tree.File("ア\\" + kWide, 0, LocalFileTime(2003, 1, 1));
        tree.File("サブ\\" + kLong, 100, LocalFileTime(2001, 1, 1));
        tree.File("サブ\\奥\\" + kDeep, 5000, LocalFileTime(2010, 12, 31, 23, 59, 59));
        tree.File("サブ\\普通.txt", 7);
    }
    void Show(const std::string& path)
    {
        CurrentFolder = path;
        form.RefreshJolietPage();
        zev_test::Pump();
    }
    void ShowSortedByName()
    {
        form.RenameSortKey = SortByName;
        form.SortDescending = false;
        Show(tree.Root());
    }
    Cells Names()
    {
        Cells names;
        for (int row = 1; row + 1 < Grid().RowCount(); ++row)
            names.push_back(Grid().Cell(0, row));
        return names;
    }
    std::string Folder(std::string_view relative) { return tree.Root() + "\\" + std::string(relative); }
    // What the bottom panel shows: both boxes and the count.
    Cells Boxes() { return {form.CurrentFileName.Text(), form.NewFileName.Text(), form.CharCountLabel.Caption()}; }
    COLORREF CountColor() { return form.CharCountLabel.Font().Color; }
    void ClickRename() { zev_test::Click(form.RenameButton.Handle(), 5, 5); }
    // A click on the part of a title that shows: the last column runs past
    // the grid's right edge.
    void ClickTitle(int col)
    {
        const RECT title = Grid().CellRect(col, 0);
        RECT client{};
        GetClientRect(Grid().Handle(), &client);
        const POINT center = zev_test::Center(title);
        zev_test::Click(Grid().Handle(), std::min(center.x, (title.left + client.right) / 2), center.y);
    }

    TempTree tree;
};

TEST_F(JolietPageTest, WritesEveryCellAndShowsTheLastRowInTheBoxes)
{
    MakeSample();
    ShowSortedByName();

    ASSERT_EQ(Grid().RowCount(), 6);
    EXPECT_EQ(Row(0), kTitles);
    EXPECT_EQ(Row(1), (Cells{kShort, "-5", "300", "2005/01/02 03:04:05", "5", Folder("")}));
    EXPECT_EQ(Row(2), (Cells{kWide, "66", "0", "2003/01/01 00:00:00", "69", Folder("ア\\")}));
    EXPECT_EQ(Row(3), (Cells{kDeep, "-10", "5,000", "2010/12/31 23:59:59", "23", Folder("サブ\\奥\\")}));
    EXPECT_EQ(Row(4), (Cells{kLong, "65", "100", "2001/01/01 00:00:00", "135", Folder("サブ\\")}));
    EXPECT_EQ(Row(5), (Cells{"[合計]", "", "4 files", "", "", ""}));
    EXPECT_FALSE(ui::HourglassCursor::Active());

    // The current row is the first; the boxes show the last entry.
    EXPECT_EQ(Grid().Row(), 1);
    EXPECT_EQ(Grid().TopRow(), 1);
    EXPECT_EQ(Boxes(), (Cells{kLong, kLong, "65"}));
    EXPECT_EQ(JolietFolder.Shown, Folder("サブ\\"));
    EXPECT_EQ(CountColor(), kRed);
    EXPECT_EQ(Grid().ColWidth(0), 240);
    EXPECT_EQ(Grid().ColWidth(5), 150);

    // Kilobytes change the size column and its title only.
    form.CheckKB.SetChecked(true);
    Show(tree.Root());
    EXPECT_EQ(Grid().Cell(2, 0), " サイズ (KB)");
    EXPECT_EQ(Row(3), (Cells{kDeep, "-10", "5", "2010/12/31 23:59:59", "23", Folder("サブ\\奥\\")}));
    EXPECT_EQ(Row(5), (Cells{"[合計]", "", "4 files", "", "", ""}));
}

TEST_F(JolietPageTest, WithoutViolationsOnlyTheSummaryRowAndTheEmptyBoxes)
{
    MakeSample();
    ShowSortedByName();
    TempTree fits;
    fits.Folder("フォルダ");
    fits.File("フォルダ\\" + Repeat("あ", 64));
    Show(fits.Root());

    ASSERT_EQ(Grid().RowCount(), 2);
    EXPECT_EQ(Row(0), kTitles);
    EXPECT_EQ(Row(1), (Cells{"[合計]", "", "0 files", "", "", ""}));
    EXPECT_EQ(Boxes(), (Cells{"違反ファイル名はありません", "", "0"}));
    EXPECT_EQ(CountColor(), kWhite);
    EXPECT_EQ(JolietFolder.Shown, "");

    Show(fits.Path("ない"));
    EXPECT_EQ(Row(1), (Cells{"[合計]", "", "0 files", "", "", ""}));
}

TEST_F(JolietPageTest, EveryTitleSortsBothWaysUnderTheKeySharedWithTheRenamePage)
{
    MakeSample();
    form.SortDescending = true;
    Show(tree.Root());

    struct Expected {
        int col;
        int key;
        Cells ascending;
    };
    const Expected cases[] = {
        {0, SortByName, {kShort, kWide, kDeep, kLong}},
        {1, SortByCharCount, {kDeep, kShort, kLong, kWide}},
        {2, SortBySize, {kWide, kLong, kShort, kDeep}},
        {3, SortByDate, {kLong, kWide, kShort, kDeep}},
        {4, SortByPathLength, {kShort, kDeep, kWide, kLong}},
        {5, SortByFolder, {kShort, kWide, kLong, kDeep}},
    };
    for (const Expected& expected : cases) {
        ClickTitle(expected.col);
        EXPECT_FALSE(form.SortDescending) << expected.col;
        EXPECT_EQ(form.RenameSortKey, expected.key);
        EXPECT_EQ(Names(), expected.ascending) << expected.col;
        ClickTitle(expected.col);
        EXPECT_TRUE(form.SortDescending) << expected.col;
        EXPECT_EQ(Names(), Cells(expected.ascending.rbegin(), expected.ascending.rend())) << expected.col;
        EXPECT_EQ(Row(5), (Cells{"[合計]", "", "4 files", "", "", ""}));
        EXPECT_EQ(Boxes()[0], expected.ascending.front()) << expected.col;
    }

    // The extension, set on the rename page, orders this page too.
    form.RenameSortKey = SortByExtension;
    form.SortDescending = false;
    Show(tree.Root());
    EXPECT_EQ(Names(), (Cells{kLong, kShort, kWide, kDeep}));
}

TEST_F(JolietPageTest, ATitleClickWalksTheTreeAgain)
{
    MakeSample();
    ShowSortedByName();
    tree.File("サブ\\奥\\;");
    ClickCell(0, 0);
    EXPECT_EQ(Grid().RowCount(), 7);
    EXPECT_EQ(Names(), (Cells{kLong, kDeep, kWide, kShort, ";"}));
}

TEST_F(JolietPageTest, SelectingARowShowsItAndTheTitleAndSummaryRowsCannotBeSelected)
{
    MakeSample();
    ShowSortedByName();
    ClickCell(0, 2);
    EXPECT_EQ(Grid().Row(), 2);
    EXPECT_EQ(Boxes(), (Cells{kWide, kWide, "66"}));
    EXPECT_EQ(JolietFolder.Shown, Folder("ア\\"));

    ClickCell(3, 5);
    EXPECT_EQ(Grid().Row(), 2);
    EXPECT_EQ(Boxes(), (Cells{kWide, kWide, "66"}));

    // Keys move the selection as clicks do, and stop above the summary row.
    zev_test::PressKey(VK_DOWN);
    EXPECT_EQ(Boxes(), (Cells{kDeep, kDeep, "-10"}));
    zev_test::PressKey(VK_DOWN);
    zev_test::PressKey(VK_DOWN);
    EXPECT_EQ(Grid().Row(), 4);
    EXPECT_EQ(Boxes(), (Cells{kLong, kLong, "65"}));
    EXPECT_TRUE(ShellCalls().empty());
}

TEST_F(JolietPageTest, ARightClickOnANameOpensItsFolderInExplorer)
{
    MakeSample();
    ShowSortedByName();
    ClickCell(0, 3, Button::Right);
    const ShellCall deep{"open", "explorer", Folder("サブ\\奥\\"), "", SW_SHOW, form.Handle()};
    EXPECT_EQ(ShellCalls(), std::vector<ShellCall>{deep});

    // Nothing else opens anything: other columns, the summary and title rows,
    // the middle button.
    for (int col = 1; col < 6; ++col)
        ClickCell(col, 3, Button::Right);
    ClickCell(0, 5, Button::Right);
    ClickCell(0, 0, Button::Right);
    ClickCell(0, 3, Button::Middle);
    ClickCell(0, 3);
    EXPECT_EQ(ShellCalls(), std::vector<ShellCall>{deep});
}

TEST_F(JolietPageTest, TheCountFollowsEveryKeystroke)
{
    Show(tree.Root());
    form.NewFileName.SetFocus();
    zev_test::Pump();
    // Each step is one key, or a text put in whole, as a paste does.
    struct Step {
        std::string text;
        WORD key;
        std::string count;
        COLORREF color;
    };
    const Step steps[] = {
        {"a", 0, "1", kWhite},
        {"b", 0, "2", kWhite},
        {";", 0, "-3", kRed},
        {"", VK_BACK, "2", kWhite},
        {Repeat("あ", 63), 0, "63", kWhite},
        {"x", 0, "64", kWhite},
        {"ｱ", 0, "65", kRed},
        {"", VK_BACK, "64", kWhite},
        {";", 0, "-65", kRed},
    };
    for (const Step& step : steps) {
        if (step.key)
            zev_test::PressKey(step.key);
        else if (step.text.size() > 1)
            form.NewFileName.SetText(step.text);
        else
            zev_test::Type(step.text);
        EXPECT_EQ(form.CharCountLabel.Caption(), step.count) << step.count;
        EXPECT_EQ(CountColor(), step.color) << step.count;
    }
    // The label draws in the colour it holds.
    const RECT area{0, 0, form.CharCountLabel.Width(), form.CharCountLabel.Height()};
    const auto pixels = static_cast<std::size_t>(area.right * area.bottom);
    const zev_test::ClientImage image = zev_test::ClientImage::OnScreen(form.CharCountLabel.Handle());
    EXPECT_LT(image.Differing(area, kRed).size(), pixels);
    zev_test::PressKey(VK_BACK);
    const zev_test::ClientImage white = zev_test::ClientImage::OnScreen(form.CharCountLabel.Handle());
    EXPECT_EQ(white.Differing(area, kRed).size(), pixels);
    EXPECT_LT(white.Differing(area, kWhite).size(), pixels);
}

TEST_F(JolietPageTest, RenamingTheShownEntryDropsItAndShowsTheNewLastEntry)
{
    MakeSample();
    ShowSortedByName();
    ASSERT_EQ(Boxes()[0], kLong);
    form.NewFileName.SetText("長い名前.txt");
    ClickRename();

    EXPECT_NE(GetFileAttributesA(tree.Path("サブ\\長い名前.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA(tree.Path("サブ\\" + kLong).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Names(), (Cells{kShort, kWide, kDeep}));
    EXPECT_EQ(Boxes(), (Cells{kDeep, kDeep, "-10"}));
    EXPECT_EQ(JolietFolder.Shown, Folder("サブ\\奥\\"));

    // A selected row is renamed the same way, here to a name still too long.
    ClickCell(0, 2);
    ASSERT_EQ(Boxes()[0], kWide);
    form.NewFileName.SetText(Repeat("a", 65));
    ClickRename();
    EXPECT_EQ(Names(), (Cells{kShort, Repeat("a", 65), kDeep}));
    EXPECT_EQ(Boxes(), (Cells{kDeep, kDeep, "-10"}));
}

TEST_F(JolietPageTest, AFailedRenameLeavesTheBoxesAndTheList)
{
    MakeSample();
    ShowSortedByName();
    tree.Folder("サブ\\中");
    // Each would leave the entry's folder, or meets a name already there, or
    // is no name.
    int added = 0;
    for (const std::string& target : {std::string("普通.txt"), std::string("中"), std::string("..\\外.txt"),
                                      std::string("奥\\外.txt"), std::string("")}) {
        form.NewFileName.SetText(target);
        const Cells boxes = Boxes();
        // A new violation that only a refresh would show.
        tree.File("新しい;" + std::to_string(++added));
        ClickRename();
        EXPECT_EQ(Boxes(), boxes) << target;
        EXPECT_EQ(Grid().RowCount(), 6) << target;
        EXPECT_NE(GetFileAttributesA(tree.Path("サブ\\" + kLong).c_str()), INVALID_FILE_ATTRIBUTES) << target;
    }
    EXPECT_EQ(GetFileAttributesA(tree.Path("外.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA(tree.Path("サブ\\奥\\外.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Listing(tree.Path("サブ\\中")).size(), 0u);
}

TEST_F(JolietPageTest, OnlyTheFileTheBoxesShowIsRenamed)
{
    MakeSample();
    ShowSortedByName();
    // Another file takes the shown one's name after the walk.
    const std::string shown = tree.Path("サブ\\" + kLong);
    ASSERT_TRUE(DeleteFileA(shown.c_str()));
    tree.File("サブ\\" + kLong, 12345);
    form.NewFileName.SetText("別.txt");
    ClickRename();
    EXPECT_NE(GetFileAttributesA(shown.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA(tree.Path("サブ\\別.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Boxes(), (Cells{kLong, "別.txt", "5"}));
}

TEST_F(JolietPageTest, WithNothingShownTheButtonRenamesNothing)
{
    // The placeholder is no file, not even one of that name in the
    // process's current folder.
    TempTree current;
    current.File("違反ファイル名はありません");
    SetCurrentDirectoryA(current.Root().c_str());
    Show(tree.Root());
    form.NewFileName.SetText("x");
    ClickRename();
    EXPECT_EQ(Listing(current.Root()), Cells{"違反ファイル名はありません"});
    EXPECT_EQ(Boxes(), (Cells{"違反ファイル名はありません", "x", "1"}));
}

TEST_F(JolietPageTest, NumbersAreDrawnAgainstTheRightEdge)
{
    MakeSample();
    ShowSortedByName();
    const zev_test::ClientImage image = zev_test::ClientImage::Printed(Grid().Handle());
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    // Gaps between the cell's edges and its leftmost and rightmost text pixel.
    auto gaps = [&](int col, int row) {
        RECT cell = Grid().CellRect(col, row);
        cell.right -= 1;
        LONG left = cell.right, right = cell.left;
        for (const POINT& p : image.Differing(cell, window)) {
            left = std::min(left, p.x);
            right = std::max(right, p.x);
        }
        return std::pair<LONG, LONG>{left - cell.left, cell.right - right};
    };
    for (int col : {1, 2}) {
        EXPECT_LT(gaps(col, 2).second, 6) << col;
        EXPECT_GT(gaps(col, 2).first, 10) << col;
    }
    for (int col : {0, 3, 4, 5})
        EXPECT_LT(gaps(col, 2).first, 6) << col;
    EXPECT_LT(gaps(2, 5).second, 6);
    EXPECT_GT(gaps(2, 5).first, 10);
}

TEST_F(JolietPageTest, TheRefreshButtonWalksWhileThePageShows)
{
    MakeSample();
    form.DiskPage.SetActivePage(form.JolietPage);
    CurrentFolder = tree.Root();
    zev_test::Click(form.Button1.Handle(), 5, 5);
    EXPECT_EQ(Grid().RowCount(), 6);
    EXPECT_EQ(Row(5), (Cells{"[合計]", "", "4 files", "", "", ""}));
}

TEST_F(JolietPageTest, EscStopsTheWalkWithWhatItFoundSoFar)
{
    // Enough folders for the walk to look for Esc before its end.
    for (int i = 0; i < 40; ++i) {
        tree.Folder("d" + std::to_string(i));
        tree.File("d" + std::to_string(i) + "\\x;" + std::to_string(i), 1);
    }
    CurrentFolder = tree.Root();
    PostMessageA(Grid().Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    form.RefreshJolietPage();
    EXPECT_LT(JolietCount, 40);
    EXPECT_EQ(Grid().RowCount(), JolietCount + 2);
    EXPECT_EQ(form.StatusBar1.PanelText(), " Esc で中断しました。表示は途中までの結果です。");

    Show(tree.Root());
    EXPECT_EQ(JolietCount, 40);
}

}  // namespace
