#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/zev_form.h"
#include "core/sizes.h"
#include "folders/folder_scan.h"
#include "folders/folder_sort.h"
#include "tests/core/temp_tree.h"
#include "tests/app/page_test.h"
#include "ui/application.h"
#include "ui/clipboard.h"
#include "ui/cursor.h"
#include "ui/shell.h"

namespace {

using zev_test::Button;

const FILETIME T1 = LocalFileTime(2019, 1, 2, 3, 4, 5);
const FILETIME T2 = LocalFileTime(2020, 5, 6, 7, 8, 9);
const FILETIME T3 = LocalFileTime(2021, 10, 11, 12, 13, 14);
const FILETIME T4 = LocalFileTime(2022, 12, 31, 23, 59, 58);
const std::string kBlankDate(20, ' ');

const Cells kTitles{" フォルダ名", " サイズ (bytes)", " 最新日付", " 最新ファイル名", " 総ファイル数", " 占有量", " %"};

// Three sub-folders, one without files, and a file beside them.
void MakeSample(const TempTree& t)
{
    t.File("直下.txt", 300, T1);
    t.Folder("写真");
    t.File("写真\\a.jpg", 5000, T1);
    t.Folder("写真\\下");
    t.File("写真\\下\\b.jpg", 1500, T3);
    t.Folder("文書");
    t.File("文書\\c.txt", 200, T2);
    t.Folder("空");
}

// Four sub-folders in which every key gives another order; upper-casing
// decides the name keys ("alpha" before "Beta", "b.txt" before "Z.txt").
void MakeSortSample(const TempTree& t)
{
    t.File("直下.txt", 7, T1);
    t.Folder("Beta");
    t.File("Beta\\m.txt", 100, T2);
    t.Folder("alpha");
    t.File("alpha\\Z.txt", 50, T4);
    t.File("alpha\\y.txt", 10, T1);
    t.Folder("ガンマ");
    t.File("ガンマ\\b.txt", 998, T1);
    t.File("ガンマ\\old1", 1, LocalFileTime(2000, 1, 1, 0, 0, 0));
    t.File("ガンマ\\old2", 1, LocalFileTime(2000, 1, 1, 0, 0, 0));
    t.Folder("空");
}

class FolderPageTest : public PageTest {
protected:
    FolderPageTest() : PageTest(&TForm1::DirGrid)
    {
        form.DiskPage.SetActivePage(form.DirPage);
        zev_test::Pump();
    }

    // The folder shown as the selector would show it.
    void Show(const std::string& path)
    {
        form.DirectoryListBox1.SetDirectory(path);
        CurrentFolder = path;
        form.RefreshDirPage();
        zev_test::Pump();
    }
    // The sub-folder rows' names, without the two special rows.
    Cells Names()
    {
        Cells names;
        for (int row = 1; row + 2 < Grid().RowCount(); ++row)
            names.push_back(Grid().Cell(0, row));
        return names;
    }
    int RowOf(const std::string& name)
    {
        for (int row = 1; row < Grid().RowCount(); ++row)
            if (Grid().Cell(0, row) == name)
                return row;
        ADD_FAILURE() << "no row " << name;
        return -1;
    }
    std::string Copied()
    {
        form.CopyDirPage();
        return ui::ClipboardText(form.Handle());
    }

    TempTree t;
};

TEST_F(FolderPageTest, WritesEveryCellNewestFolderFirst)
{
    MakeSample(t);
    ASSERT_TRUE(form.SortDescending);
    ASSERT_EQ(form.DirSortKey, FolderByDate);
    Show(t.Root());

    ASSERT_EQ(Grid().RowCount(), 6);
    EXPECT_EQ(Row(0), kTitles);
    EXPECT_EQ(Row(1), (Cells{"写真", "6,500", "2021/10/11 12:13:14", "b.jpg", "2", "12,288", "92.9"}));
    EXPECT_EQ(Row(2), (Cells{"文書", "200", "2020/05/06 07:08:09", "c.txt", "1", "4,096", "2.9"}));
    EXPECT_EQ(Row(3), (Cells{"空", "0", kBlankDate, "", "0", "0", "0.0"}));
    EXPECT_EQ(Row(4),
              (Cells{"[このフォルダ直下のファイル]", "300", "2019/01/02 03:04:05", "直下.txt", "1", "4,096", "4.3"}));
    EXPECT_EQ(Row(5), (Cells{"[合計]", "7,000", "", "", "4", "20KB", ""}));
    EXPECT_EQ(Grid().TopRow(), 1);
    EXPECT_FALSE(ui::HourglassCursor::Active());

    // Another folder's shorter list leaves nothing of this one behind.
    TempTree other;
    other.Folder("一つ");
    other.File("一つ\\x", 10, T2);
    Show(other.Root());
    ASSERT_EQ(Grid().RowCount(), 4);
    EXPECT_EQ(Row(1), (Cells{"一つ", "10", "2020/05/06 07:08:09", "x", "1", "4,096", "100.0"}));
    EXPECT_EQ(Row(2), (Cells{"[このフォルダ直下のファイル]", "0", kBlankDate, "", "0", "0", "0.0"}));
    EXPECT_EQ(Row(3), (Cells{"[合計]", "10", "", "", "1", "4KB", ""}));
}

TEST_F(FolderPageTest, CopiesTheListInTheGridsOrder)
{
    MakeSample(t);
    Show(t.Root());
    const std::string expected =
        "写真\t        6,500\t2021/10/11 12:13:14\tb.jpg\t     2\t       12,288\t92.9\r\n"
        "文書\t          200\t2020/05/06 07:08:09\tc.txt\t     1\t        4,096\t 2.9\r\n"
        "空\t            0\t" + kBlankDate + "\t\t     0\t            0\t 0.0\r\n"
        "[直下のファイル]\t          300\t2019/01/02 03:04:05\t直下.txt\t     1\t        4,096\t 4.3\r\n"
        "[合計]\t        7,000\t\t\t     4\r\n";
    EXPECT_EQ(Copied(), expected);
    // The whole block is the text and one zero byte; a second copy replaces
    // the first.
    EXPECT_EQ(zev_test::ClipboardBytes(form.Handle()), expected + '\0');
    EXPECT_EQ(Copied(), expected);

    // Ctrl+C on the grid with the focus copies the same, in the order shown.
    ClickCell(0, 0);
    ASSERT_EQ(Names(), (Cells{"空", "写真", "文書"}));
    ui::SetClipboardText(form.Handle(), "");
    Grid().SetFocus();
    zev_test::RealKey('C', {VK_CONTROL});
    const std::string byName = ui::ClipboardText(form.Handle());
    EXPECT_TRUE(byName.starts_with("空\t")) << byName;
    EXPECT_EQ(byName, Copied());
}

TEST_F(FolderPageTest, KilobytesChangeTheSizesButNotTheSizesOnDisk)
{
    MakeSample(t);
    Show(t.Root());
    // A real click on the box refreshes the active page, this one.
    zev_test::Click(form.CheckKB.Handle(), 5, 5);
    ASSERT_TRUE(form.CheckKB.Checked());
    EXPECT_EQ(SizeUnit, 1024);
    EXPECT_EQ(Grid().Cell(1, 0), " サイズ (KB)");
    // Kilobytes as the pages round them: half a kilobyte more, then to even.
    EXPECT_EQ(Row(1), (Cells{"写真", "7", "2021/10/11 12:13:14", "b.jpg", "2", "12,288", "92.9"}));
    EXPECT_EQ(Row(2), (Cells{"文書", "1", "2020/05/06 07:08:09", "c.txt", "1", "4,096", "2.9"}));
    EXPECT_EQ(Row(3)[1], "0");
    EXPECT_EQ(Row(4)[1], "1");
    EXPECT_EQ(Row(5), (Cells{"[合計]", "7", "", "", "4", "20KB", ""}));
    EXPECT_EQ(Copied(),
              "写真\t            7\t2021/10/11 12:13:14\tb.jpg\t     2\t       12,288\t92.9\r\n"
              "文書\t            1\t2020/05/06 07:08:09\tc.txt\t     1\t        4,096\t 2.9\r\n"
              "空\t            0\t" + kBlankDate + "\t\t     0\t            0\t 0.0\r\n"
              "[直下のファイル]\t            1\t2019/01/02 03:04:05\t直下.txt\t     1\t        4,096\t 4.3\r\n"
              "[合計]\t            7\t\t\t     4\r\n");

    zev_test::Click(form.CheckKB.Handle(), 5, 5);
    ASSERT_FALSE(form.CheckKB.Checked());
    EXPECT_EQ(Grid().Cell(1, 0), " サイズ (bytes)");
    EXPECT_EQ(Row(5)[1], "7,000");
}

TEST_F(FolderPageTest, ARemoteLocationLeavesTheSizesOnDiskOutOfTheGridOnly)
{
    MakeSample(t);
    RemoteFileSystem = true;
    Show(t.Root());
    EXPECT_EQ(Grid().Cell(5, 0), " 占有量");
    for (int row = 1; row < Grid().RowCount(); ++row)
        EXPECT_EQ(Grid().Cell(5, row), "") << row;
    EXPECT_EQ(Row(5), (Cells{"[合計]", "7,000", "", "", "4", "", ""}));
    const std::string copied = Copied();
    EXPECT_TRUE(copied.starts_with("写真\t        6,500\t2021/10/11 12:13:14\tb.jpg\t     2\t       12,288\t92.9\r\n"))
        << copied;
}

TEST_F(FolderPageTest, WithoutSubFoldersOrBytesThereAreNoPercentages)
{
    Show(t.Root());
    ASSERT_EQ(Grid().RowCount(), 3);
    EXPECT_EQ(Row(0), kTitles);
    EXPECT_EQ(Row(1), (Cells{"[このフォルダ直下のファイル]", "0", kBlankDate, "", "0", "0", ""}));
    EXPECT_EQ(Row(2), (Cells{"[合計]", "0", "", "", "0", "0KB", ""}));
    EXPECT_EQ(Copied(), "[直下のファイル]\t            0\t" + kBlankDate + "\t\t     0\t            0\t\r\n"
                        "[合計]\t            0\t\t\t     0\r\n");

    t.File("空.txt", 0, T2);
    t.Folder("中");
    t.File("中\\零", 0, T1);
    Show(t.Root());
    ASSERT_EQ(Grid().RowCount(), 4);
    EXPECT_EQ(Row(1), (Cells{"中", "0", "2019/01/02 03:04:05", "零", "1", "0", ""}));
    EXPECT_EQ(Row(2), (Cells{"[このフォルダ直下のファイル]", "0", "2020/05/06 07:08:09", "空.txt", "1", "0", ""}));
    EXPECT_EQ(Copied(), "中\t            0\t2019/01/02 03:04:05\t零\t     1\t            0\t\r\n"
                        "[直下のファイル]\t            0\t2020/05/06 07:08:09\t空.txt\t     1\t            0\t\r\n"
                        "[合計]\t            0\t\t\t     2\r\n");

    // A folder that cannot be read shows as empty.
    CurrentFolder = t.Path("無い");
    form.RefreshDirPage();
    ASSERT_EQ(Grid().RowCount(), 3);
    EXPECT_EQ(Row(2), (Cells{"[合計]", "0", "", "", "0", "0KB", ""}));
    EXPECT_FALSE(ui::HourglassCursor::Active());
}

TEST_F(FolderPageTest, TotalSizeOnDiskPast2TiBIsSummedIn64Bits)
{
    // Two sparse files of 1.5 TiB: each record's kilobytes fit in 32 bits,
    // their sum does not.
    const std::int64_t huge = std::int64_t{3} << 39;
    t.Folder("一");
    t.File("一\\huge1", huge, T1);
    t.Folder("二");
    t.File("二\\huge2", huge, T2);
    Show(t.Root());
    ASSERT_EQ(Grid().RowCount(), 5);
    EXPECT_EQ(Row(1), (Cells{"二", "1,649,267,441,664", "2020/05/06 07:08:09", "huge2", "1", "1,649,267,441,664",
                             "50.0"}));
    EXPECT_EQ(Row(4), (Cells{"[合計]", "3,298,534,883,328", "", "", "2", "3,221,225,472KB", ""}));
}

TEST_F(FolderPageTest, EveryTitleClickFlipsTheSharedDirection)
{
    MakeSortSample(t);
    Show(t.Root());
    ASSERT_EQ(Names(), (Cells{"alpha", "Beta", "ガンマ", "空"}));

    struct Expected { int col; int key; Cells ascending; };
    const Expected cases[] = {
        {0, FolderByName, {"alpha", "Beta", "ガンマ", "空"}},
        {1, FolderBySize, {"空", "alpha", "Beta", "ガンマ"}},
        // Folders without files have the blank date: first ascending, last
        // descending.
        {2, FolderByDate, {"空", "ガンマ", "Beta", "alpha"}},
        {3, FolderByNewestName, {"空", "ガンマ", "Beta", "alpha"}},
        {4, FolderByFileCount, {"空", "Beta", "alpha", "ガンマ"}},
    };
    // Each column's first click comes after a descending order, so it sorts
    // ascending; the second click reverses it. The special rows stay last.
    for (const Expected& expected : cases) {
        ClickCell(expected.col, 0);
        EXPECT_FALSE(form.SortDescending) << expected.col;
        EXPECT_EQ(form.DirSortKey, expected.key);
        EXPECT_EQ(Names(), expected.ascending) << expected.col;
        ClickCell(expected.col, 0);
        EXPECT_TRUE(form.SortDescending) << expected.col;
        EXPECT_EQ(Names(), Cells(expected.ascending.rbegin(), expected.ascending.rend())) << expected.col;
        EXPECT_EQ(Grid().Cell(0, 5), "[このフォルダ直下のファイル]");
        EXPECT_EQ(Row(6), (Cells{"[合計]", "1,167", "", "", "7", "28KB", ""}));
    }
    // Rows carry their own cells when they move.
    const int gamma = RowOf("ガンマ");
    EXPECT_EQ(Row(gamma), (Cells{"ガンマ", "1,000", "2019/01/02 03:04:05", "b.txt", "3", "12,288", "85.7"}));

    // The titles of the size on disk and the share sort nothing, nor do
    // other buttons; no title click rescans.
    t.Folder("新");
    const Cells before = Names();
    ClickCell(5, 0);
    ClickCell(6, 0);
    ClickCell(1, 0, Button::Right);
    ClickCell(1, 0, Button::Middle);
    EXPECT_TRUE(form.SortDescending);
    EXPECT_EQ(form.DirSortKey, FolderByFileCount);
    EXPECT_EQ(Names(), before);
    ClickCell(0, 0);
    EXPECT_EQ(Names().size(), 4u);
}

TEST_F(FolderPageTest, TheDirectionFlippedElsewhereAppliesAtTheNextFill)
{
    MakeSortSample(t);
    Show(t.Root());
    ASSERT_EQ(Names(), (Cells{"alpha", "Beta", "ガンマ", "空"}));
    form.SortDescending = false;
    form.DiskPage.SetActivePage(form.FilePage);
    form.DiskPage.SetActivePage(form.DirPage);
    form.RefreshDirPage();
    EXPECT_EQ(Names(), (Cells{"空", "ガンマ", "Beta", "alpha"}));
    const std::string copied = Copied();
    EXPECT_TRUE(copied.starts_with("空\t")) << copied;
}

TEST_F(FolderPageTest, AKeyThePageDoesNotKnowShowsTheScanOrderRotatedByOne)
{
    MakeSortSample(t);
    Cells listing;
    for (const std::string& name : Listing(t.Root()))
        if (name != "直下.txt")
            listing.push_back(name);
    ASSERT_EQ(listing.size(), 4u);
    form.DirSortKey = 9;
    Show(t.Root());
    Cells rotated(listing.begin() + 1, listing.end());
    rotated.push_back(listing.front());
    EXPECT_EQ(Names(), rotated);
}

TEST_F(FolderPageTest, ARealClickOnANameMovesIntoTheFolder)
{
    MakeSample(t);
    Show(t.Root());
    // Explorer's own names for the same folders, as the selector reports them.
    const std::string root = form.DirectoryListBox1.Directory();

    RealClickCell(0, RowOf("写真"));
    EXPECT_EQ(form.DirectoryListBox1.Directory(), root + "\\写真");
    EXPECT_EQ(CurrentFolder.Shown, root + "\\写真");
    EXPECT_EQ(form.DirectoryLabel.Caption(), root + "\\写真");
    ASSERT_EQ(Grid().RowCount(), 4);
    EXPECT_EQ(Row(1), (Cells{"下", "1,500", "2021/10/11 12:13:14", "b.jpg", "1", "4,096", "23.1"}));
    EXPECT_EQ(Row(2)[3], "a.jpg");

    // The direct-files row stays in the folder and lists it afresh.
    t.Folder("写真\\新しい");
    RealClickCell(0, 2);
    EXPECT_EQ(CurrentFolder.Shown, root + "\\写真");
    EXPECT_EQ(form.DirectoryListBox1.Directory(), root + "\\写真");
    ASSERT_EQ(Grid().RowCount(), 5);
    EXPECT_EQ(Grid().Cell(0, RowOf("新しい")), "新しい");

    // The total row names no folder.
    RealClickCell(0, 4);
    ClickCell(0, 4, Button::Right);
    EXPECT_EQ(CurrentFolder.Shown, root + "\\写真");
    EXPECT_TRUE(ShellCalls().empty());
    EXPECT_TRUE(errors.empty());
}

TEST_F(FolderPageTest, FoldersNamedLikeTheSpecialRowsOpenToo)
{
    t.Folder("[合計]");
    t.File("[合計]\\a", 1, T1);
    t.Folder("[このフォルダ直下のファイル]");
    t.File("[このフォルダ直下のファイル]\\b", 2, T2);
    Show(t.Root());
    const std::string root = form.DirectoryListBox1.Directory();
    ASSERT_EQ(Grid().RowCount(), 5);

    ClickCell(0, RowOf("[合計]"));
    EXPECT_EQ(CurrentFolder.Shown, root + "\\[合計]");
    EXPECT_EQ(Row(1), (Cells{"[このフォルダ直下のファイル]", "1", "2019/01/02 03:04:05", "a", "1", "4,096", "100.0"}));

    Show(t.Root());
    ClickCell(0, 1);  // the newest folder first: the one holding b
    EXPECT_EQ(CurrentFolder.Shown, root + "\\[このフォルダ直下のファイル]");
    EXPECT_EQ(Row(1)[3], "b");
}

TEST_F(FolderPageTest, ARightClickOpensExplorerAndLeavesThePage)
{
    MakeSample(t);
    Show(t.Root());
    const Cells rows[] = {Row(1), Row(2), Row(3), Row(4), Row(5)};
    ClickCell(0, RowOf("文書"), Button::Right);
    ClickCell(0, RowOf("[このフォルダ直下のファイル]"), Button::Right);
    EXPECT_EQ(ShellCalls(), (std::vector<ShellCall>{{"open", "explorer", t.Root() + "\\文書", "", SW_SHOW, form.Handle()},
                                                    {"open", "explorer", t.Root() + "\\.", "", SW_SHOW, form.Handle()}}));
    EXPECT_EQ(CurrentFolder.Shown, t.Root());
    for (int row = 1; row <= 5; ++row)
        EXPECT_EQ(Row(row), rows[row - 1]) << row;

    // Other cells and buttons do nothing.
    ShellCalls().clear();
    for (int col = 1; col < 7; ++col) {
        ClickCell(col, 2);
        ClickCell(col, 2, Button::Right);
    }
    ClickCell(0, 2, Button::Middle);
    ClickCell(0, 0, Button::Right);
    const RECT last = Grid().CellRect(0, 5);
    zev_test::Click(Grid().Handle(), 10, last.bottom + 20);
    zev_test::Click(Grid().Handle(), 10, last.bottom + 20, Button::Right);
    EXPECT_TRUE(ShellCalls().empty());
    EXPECT_EQ(CurrentFolder.Shown, t.Root());
}

TEST_F(FolderPageTest, TheTimeStampBoxStampsTheFoldersBelow)
{
    MakeSample(t);
    const FILETIME old = LocalFileTime(2001, 2, 3, 4, 5, 6);
    for (const char* folder : {"写真", "写真\\下", "文書", "空"})
        ASSERT_TRUE(SetWriteTime(t.Path(folder), old));
    ASSERT_TRUE(SetWriteTime(t.Root(), old));

    Show(t.Root());
    EXPECT_FALSE(UpdateFolderTimes);
    EXPECT_EQ(Ticks(WriteTime(t.Path("写真"))), Ticks(old));

    zev_test::Click(form.CheckTimeUpdate.Handle(), 5, 5);
    ASSERT_TRUE(form.CheckTimeUpdate.Checked());
    zev_test::Click(form.Button1.Handle(), 5, 5);
    EXPECT_TRUE(UpdateFolderTimes);
    EXPECT_EQ(Ticks(WriteTime(t.Path("写真\\下"))), Ticks(T3));
    EXPECT_EQ(Ticks(WriteTime(t.Path("写真"))), Ticks(T3));
    EXPECT_EQ(Ticks(WriteTime(t.Path("文書"))), Ticks(T2));
    EXPECT_EQ(Ticks(WriteTime(t.Path("空"))), Ticks(old));
    EXPECT_EQ(Ticks(WriteTime(t.Root())), Ticks(old));
    EXPECT_EQ(Row(1)[0], "写真");
}

TEST_F(FolderPageTest, NumbersAreDrawnAgainstTheRightEdge)
{
    MakeSample(t);
    Show(t.Root());
    const HWND grid = Grid().Handle();
    const zev_test::ClientImage image = zev_test::ClientImage::Printed(grid);
    const COLORREF window = GetSysColor(COLOR_WINDOW);

    // Row 2 is not selected: text pixels against the window colour.
    auto textSpan = [&](int col, int row) {
        RECT cell = Grid().CellRect(col, row);
        cell.right -= 1;  // keep off the grid line
        const std::vector<POINT> points = image.Differing(cell, window);
        LONG left = cell.right, right = cell.left;
        for (const POINT& p : points) {
            left = std::min(left, p.x);
            right = std::max(right, p.x);
        }
        return std::pair<LONG, LONG>{left - Grid().CellRect(col, row).left, Grid().CellRect(col, row).right - right};
    };
    for (int col : {1, 5}) {
        const auto [leftGap, rightGap] = textSpan(col, 2);
        EXPECT_LT(rightGap, 6) << col;
        EXPECT_GT(leftGap, 10) << col;
    }
    for (int col : {4, 6})
        EXPECT_LT(textSpan(col, 2).second, 6) << col;
    for (int col : {0, 2, 3})
        EXPECT_LT(textSpan(col, 2).first, 6) << col;
    // The total row is a data row too.
    EXPECT_LT(textSpan(1, 5).second, 6);
    EXPECT_GT(textSpan(1, 5).first, 10);
}

// Each sub-folder's size sits on a bar, from the cell's right edge, as long
// as its share of the total; the direct-files and total rows have none.
TEST_F(FolderPageTest, SizesSitOnBarsAsLongAsTheirShareOfTheTotal)
{
    t.File("直下.txt", 1000, T1);
    t.Folder("半分");
    t.File("半分\\a.txt", 2000, T3);
    t.Folder("四分の一");
    t.File("四分の一\\b.txt", 1000, T2);
    Show(t.Root());
    const zev_test::ClientImage image = zev_test::ClientImage::OnScreen(Grid().Handle());
    for (const auto& [row, share] : {std::pair{1, 0.5}, {2, 0.25}, {3, 0.0}, {4, 0.0}}) {
        // Along the pixel row above the number: the cell's colour, then the bar's.
        const RECT cell = Grid().CellRect(1, row);
        const COLORREF back = image.Pixel(cell.left, cell.top + 1);
        int bar = 0;
        while (cell.right - 1 - bar > cell.left && image.Pixel(cell.right - 1 - bar, cell.top + 1) != back)
            ++bar;
        EXPECT_NEAR(bar, share * (cell.right - cell.left), 2) << "row " << row;
    }
}

}  // namespace
