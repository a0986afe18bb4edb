#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/clip_text.h"
#include "app/zev_form.h"
#include "core/find_file.h"
#include "core/sizes.h"
#include "files/file_sort.h"
#include "tests/app/page_test.h"
#include "tests/core/temp_tree.h"
#include "ui/application.h"
#include "ui/clipboard.h"
#include "ui/cursor.h"
#include "ui/shell.h"

namespace {

using zev_test::Button;

const Cells kTitles{" ファイル名", " 日付", "サイズ(bytes)", "拡張子", "字数", " 占有量", " %"};

// Four files of known names, sizes and times, one of them hidden and system,
// beside a sub-folder, which the page does not list.
void MakeSample(const TempTree& folder)
{
    const FILETIME times[] = {LocalFileTime(2010, 12, 31, 23, 59, 59), LocalFileTime(2003, 4, 5, 6, 7, 8),
                                LocalFileTime(2001, 1, 1, 0, 0, 0), LocalFileTime(1999, 9, 9, 9, 9, 9)};
    ASSERT_TRUE(MakeFile(folder.Path("a;b"), 1500, &times[0]));
    ASSERT_TRUE(MakeFile(folder.Path("カナ.txt"), 5000, &times[1]));
    ASSERT_TRUE(MakeFile(folder.Path("表.dat"), 0, &times[2]));
    ASSERT_TRUE(MakeFile(folder.Path("隠しファイル.sys"), 100, &times[3], FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(CreateDirectoryA(folder.Path("サブ").c_str(), nullptr));
    ASSERT_TRUE(MakeFile(folder.Path("サブ\\中.txt"), 7, &times[0]));
}

class FilePageTest : public PageTest {
protected:
    FilePageTest() : PageTest(&TForm1::FileGrid) {}

    void Show(const std::string& path)
    {
        CurrentFolder = path;
        form.RefreshFilePage();
        zev_test::Pump();
    }
    Cells Names()
    {
        Cells names;
        for (int row = 1; row + 1 < Grid().RowCount(); ++row)
            names.push_back(Grid().Cell(0, row));
        return names;
    }
    std::string Copied()
    {
        form.CopyFilePage();
        return ui::ClipboardText(form.Handle());
    }

    TempTree folder;
};

TEST_F(FilePageTest, WritesEveryCellOfTheFilesNewestFirst)
{
    MakeSample(folder);
    form.SortDescending = true;
    form.FileSortKey = SortByDate;
    Show(folder.Root());

    ASSERT_EQ(Grid().RowCount(), 6);
    EXPECT_EQ(Row(0), kTitles);
    EXPECT_EQ(Row(1), (Cells{"a;b", "2010/12/31 23:59:59", "1,500", "", "-3", "4,096", "22.7"}));
    EXPECT_EQ(Row(2), (Cells{"カナ.txt", "2003/04/05 06:07:08", "5,000", "txt", "6", "8,192", "75.8"}));
    EXPECT_EQ(Row(3), (Cells{"表.dat", "2001/01/01 00:00:00", "0", "dat", "5", "0", "0.0"}));
    EXPECT_EQ(Row(4), (Cells{"隠しファイル.sys", "1999/09/09 09:09:09", "100", "sys", "10", "4,096", "1.5"}));
    EXPECT_EQ(Row(5), (Cells{"[合計]", "", "6,600", "", "", "16KB", ""}));
    EXPECT_FALSE(ui::HourglassCursor::Active());
}

TEST_F(FilePageTest, KilobytesChangeOnlyTheSizeColumnAndItsTitle)
{
    MakeSample(folder);
    Show(folder.Root());
    // A real click on the box runs the page's refresh.
    zev_test::Click(form.CheckKB.Handle(), 5, 5);
    ASSERT_TRUE(form.CheckKB.Checked());
    EXPECT_EQ(SizeUnit, 1024);
    EXPECT_EQ(Grid().Cell(2, 0), "サイズ(KB)");
    EXPECT_EQ(Row(1), (Cells{"a;b", "2010/12/31 23:59:59", "2", "", "-3", "4,096", "22.7"}));
    EXPECT_EQ(Row(2), (Cells{"カナ.txt", "2003/04/05 06:07:08", "5", "txt", "6", "8,192", "75.8"}));
    EXPECT_EQ(Row(3)[2], "0");
    EXPECT_EQ(Row(4)[2], "1");
    EXPECT_EQ(Row(5), (Cells{"[合計]", "", "7", "", "", "16KB", ""}));

    zev_test::Click(form.CheckKB.Handle(), 5, 5);
    ASSERT_FALSE(form.CheckKB.Checked());
    EXPECT_EQ(Grid().Cell(2, 0), "サイズ(bytes)");
    EXPECT_EQ(Row(5)[2], "6,600");
}

TEST_F(FilePageTest, ARemoteLocationLeavesTheSizeOnDiskOut)
{
    MakeSample(folder);
    RemoteFileSystem = true;
    Show(folder.Root());
    EXPECT_EQ(Grid().Cell(5, 0), " 占有量");
    for (int row = 1; row < Grid().RowCount(); ++row)
        EXPECT_EQ(Grid().Cell(5, row), "") << row;
    EXPECT_EQ(Row(5), (Cells{"[合計]", "", "6,600", "", "", "", ""}));
}

TEST_F(FilePageTest, AFolderWithoutFilesShowsTheTotalRowAlone)
{
    Show(folder.Root());
    ASSERT_EQ(Grid().RowCount(), 2);
    EXPECT_EQ(Row(1), (Cells{"[合計]", "", "0", "", "", "0KB", ""}));

    ASSERT_TRUE(CreateDirectoryA(folder.Path("フォルダ").c_str(), nullptr));
    Show(folder.Root());
    ASSERT_EQ(Grid().RowCount(), 2);
    EXPECT_EQ(Row(1), (Cells{"[合計]", "", "0", "", "", "0KB", ""}));

    Show(folder.Path("ない"));
    ASSERT_EQ(Grid().RowCount(), 2);
    EXPECT_EQ(Row(0), kTitles);
    EXPECT_EQ(Row(1), (Cells{"[合計]", "", "0", "", "", "0KB", ""}));
    EXPECT_FALSE(ui::HourglassCursor::Active());
}

TEST_F(FilePageTest, EmptyFilesLeaveThePercentagesEmpty)
{
    ASSERT_TRUE(MakeFile(folder.Path("空1")));
    ASSERT_TRUE(MakeFile(folder.Path("空2.txt")));
    Show(folder.Root());
    ASSERT_EQ(Grid().RowCount(), 4);
    for (int row = 1; row <= 3; ++row)
        EXPECT_EQ(Grid().Cell(6, row), "") << row;
    EXPECT_EQ(Row(3), (Cells{"[合計]", "", "0", "", "", "0KB", ""}));
}

TEST_F(FilePageTest, ALargerListingLeavesNothingBehindInASmallerOne)
{
    MakeSample(folder);
    Show(folder.Root());
    TempTree other;
    ASSERT_TRUE(MakeFile(other.Path("一つ.txt"), 10));
    Show(other.Root());
    ASSERT_EQ(Grid().RowCount(), 3);
    EXPECT_EQ(Row(1), (Cells{"一つ.txt", Grid().Cell(1, 1), "10", "txt", "6", "4,096", "100.0"}));
    EXPECT_EQ(Row(2), (Cells{"[合計]", "", "10", "", "", "4KB", ""}));
}

TEST_F(FilePageTest, SizesPast4GiBAndNamesDifferingOnlyInCase)
{
    constexpr std::int64_t big = (std::int64_t{1} << 32) + 5;
    ASSERT_TRUE(MakeFile(folder.Path("big.bin"), big));
    ASSERT_TRUE(MakeFile(folder.Path("readme.txt"), 5));
    if (!MakeUnixFile(folder.Path("README.TXT")))
        GTEST_SKIP() << "no way to make a second name differing only in case";
    form.SortDescending = false;
    form.FileSortKey = SortBySize;
    Show(folder.Root());
    ASSERT_EQ(Grid().RowCount(), 5);
    EXPECT_EQ(Row(1), (Cells{"README.TXT", Grid().Cell(1, 1), "0", "TXT", "10", "0", "0.0"}));
    EXPECT_EQ(Row(2), (Cells{"readme.txt", Grid().Cell(1, 2), "5", "txt", "10", "4,096", "0.0"}));
    EXPECT_EQ(Row(3), (Cells{"big.bin", Grid().Cell(1, 3), "4,294,967,301", "bin", "7", "4,294,971,392", "100.0"}));
    EXPECT_EQ(Row(4), (Cells{"[合計]", "", "4,294,967,306", "", "", "4,194,312KB", ""}));
}

TEST_F(FilePageTest, AKeyThePageDoesNotKnowShowsTheListingRotatedByOne)
{
    for (const char* name : {"d", "b", "c", "a", "e"})
        ASSERT_TRUE(MakeFile(folder.Path(name)));
    Cells listing;
    for (FindFile entry(folder.Root() + "\\*.*"); entry; entry.next())
        if (!entry.isFolder())
            listing.emplace_back(entry.name());
    ASSERT_EQ(listing.size(), 5u);

    form.FileSortKey = SortByFolder;
    Show(folder.Root());
    Cells rotated(listing.begin() + 1, listing.end());
    rotated.push_back(listing.front());
    EXPECT_EQ(Names(), rotated);
}

TEST_F(FilePageTest, EveryTitleClickFlipsTheSharedDirection)
{
    MakeSample(folder);
    form.SortDescending = true;
    form.FileSortKey = SortByDate;
    Show(folder.Root());

    struct Expected { int col; int key; Cells ascending; };
    const Expected cases[] = {
        {0, SortByName, {"a;b", "カナ.txt", "隠しファイル.sys", "表.dat"}},
        {1, SortByDate, {"隠しファイル.sys", "表.dat", "カナ.txt", "a;b"}},
        {2, SortBySize, {"表.dat", "隠しファイル.sys", "a;b", "カナ.txt"}},
        {3, SortByExtension, {"a;b", "表.dat", "隠しファイル.sys", "カナ.txt"}},
        {4, SortByCharCount, {"a;b", "表.dat", "カナ.txt", "隠しファイル.sys"}},
    };
    // Each column's first click comes after a descending order, so it sorts
    // ascending; the second click reverses it.
    for (const Expected& expected : cases) {
        ClickCell(expected.col, 0);
        EXPECT_FALSE(form.SortDescending) << expected.col;
        EXPECT_EQ(form.FileSortKey, expected.key);
        EXPECT_EQ(Names(), expected.ascending) << expected.col;
        ClickCell(expected.col, 0);
        EXPECT_TRUE(form.SortDescending) << expected.col;
        EXPECT_EQ(Names(), Cells(expected.ascending.rbegin(), expected.ascending.rend())) << expected.col;
        EXPECT_EQ(Row(5), (Cells{"[合計]", "", "6,600", "", "", "16KB", ""}));
    }
}

TEST_F(FilePageTest, ATitleClickListsTheFolderAfresh)
{
    MakeSample(folder);
    Show(folder.Root());
    ASSERT_TRUE(MakeFile(folder.Path("新しい.txt"), 1));
    ClickCell(0, 0);
    EXPECT_EQ(Grid().RowCount(), 7);

    // The titles of the size on disk and the share sort nothing.
    ASSERT_TRUE(MakeFile(folder.Path("もう一つ.txt"), 1));
    const Cells before = Names();
    const bool descending = form.SortDescending;
    ClickCell(5, 0);
    ClickCell(6, 0);
    ClickCell(1, 0, Button::Right);
    ClickCell(1, 0, Button::Middle);
    EXPECT_EQ(form.SortDescending, descending);
    EXPECT_EQ(form.FileSortKey, SortByName);
    EXPECT_EQ(Names(), before);
}

TEST_F(FilePageTest, ALeftClickOnANameOpensExplorerOnTheFolder)
{
    MakeSample(folder);
    Show(folder.Root());
    const ShellCall explorer{"open", "explorer", folder.Root(), "", SW_SHOW, form.Handle()};
    ClickCell(0, 2);
    ASSERT_EQ(ShellCalls(), std::vector<ShellCall>{explorer});
    // The total row counts as a data row.
    ClickCell(0, 5);
    EXPECT_EQ(ShellCalls(), (std::vector<ShellCall>{explorer, explorer}));
}

TEST_F(FilePageTest, ARightClickOnANameOpensTheFileInItsFolder)
{
    // "表" ends in the byte 0x5C: the folder still gets its "\".
    const std::string kanji = folder.Path("表");
    ASSERT_TRUE(CreateDirectoryA(kanji.c_str(), nullptr));
    ASSERT_TRUE(MakeFile(kanji + "\\文書.txt", 3));
    Show(kanji);
    ClickCell(0, 1, Button::Right);
    const std::string withSlash = kanji + "\\";
    ASSERT_EQ(ShellCalls(), (std::vector<ShellCall>{{"open", withSlash + "文書.txt", "", withSlash, SW_SHOW, form.Handle()}}));

    ShellCalls().clear();
    Show(kanji + "\\");
    ClickCell(0, 1, Button::Right);
    ASSERT_EQ(ShellCalls(), (std::vector<ShellCall>{{"open", withSlash + "文書.txt", "", withSlash, SW_SHOW, form.Handle()}}));
}

TEST_F(FilePageTest, OtherClicksStartNothing)
{
    MakeSample(folder);
    Show(folder.Root());
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
}

TEST_F(FilePageTest, NumbersAreDrawnAgainstTheRightEdge)
{
    MakeSample(folder);
    form.SortDescending = true;
    form.FileSortKey = SortByDate;
    Show(folder.Root());
    const HWND grid = Grid().Handle();
    const zev_test::ClientImage image = zev_test::ClientImage::Printed(grid);
    const COLORREF window = GetSysColor(COLOR_WINDOW);

    // Row 2 is not selected: text pixels against the window colour.
    auto textSpan = [&](int col, int row, COLORREF background) {
        RECT cell = Grid().CellRect(col, row);
        cell.right -= 1;  // keep off the grid line
        const std::vector<POINT> points = image.Differing(cell, background);
        LONG left = cell.right, right = cell.left;
        for (const POINT& p : points) {
            left = std::min(left, p.x);
            right = std::max(right, p.x);
        }
        return std::pair<LONG, LONG>{left - Grid().CellRect(col, row).left, Grid().CellRect(col, row).right - right};
    };
    for (int col : {2, 4, 5}) {
        const auto [leftGap, rightGap] = textSpan(col, 2, window);
        EXPECT_LT(rightGap, 6) << col;
        EXPECT_GT(leftGap, 10) << col;
    }
    for (int col : {0, 3, 6})
        EXPECT_LT(textSpan(col, 2, window).first, 6) << col;
    // The total row is a data row too.
    EXPECT_LT(textSpan(2, 5, window).second, 6);

    // The selected row keeps its highlight under the right-aligned text.
    ASSERT_EQ(Grid().Row(), 1);
    const RECT selected = Grid().CellRect(2, 1);
    EXPECT_EQ(image.Pixel(selected.left + 1, selected.top + 1), GetSysColor(COLOR_HIGHLIGHT));
    const auto [leftGap, rightGap] = textSpan(2, 1, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_LT(rightGap, 6);
    EXPECT_GT(leftGap, 10);
}

TEST_F(FilePageTest, CopiesTheListingInTheGridsOrder)
{
    MakeSample(folder);
    form.SortDescending = true;
    form.FileSortKey = SortByDate;
    Show(folder.Root());
    const std::string expected =
        "a;b\t2010/12/31 23:59:59\t        1,500\t\t  -3\t        4,096\t22.7\r\n"
        "カナ.txt\t2003/04/05 06:07:08\t        5,000\ttxt\t   6\t        8,192\t75.8\r\n"
        "表.dat\t2001/01/01 00:00:00\t            0\tdat\t   5\t            0\t0.0\r\n"
        "隠しファイル.sys\t1999/09/09 09:09:09\t          100\tsys\t  10\t        4,096\t1.5\r\n"
        "[合計]\t\t        6,600\t";
    EXPECT_EQ(Copied(), expected);
    EXPECT_EQ(ClipText, expected);
    // A second copy replaces the first.
    EXPECT_EQ(Copied(), expected);

    // Kilobytes divide the sizes, never the size on disk; a remote location
    // keeps it in the copy.
    form.CheckKB.SetChecked(true);
    UpdateSizeUnit(true);
    RemoteFileSystem = true;
    form.SortDescending = false;
    form.FileSortKey = SortBySize;
    EXPECT_EQ(Copied(),
              "表.dat\t2001/01/01 00:00:00\t            0\tdat\t   5\t            0\t0.0\r\n"
              "隠しファイル.sys\t1999/09/09 09:09:09\t            1\tsys\t  10\t        4,096\t1.5\r\n"
              "a;b\t2010/12/31 23:59:59\t            2\t\t  -3\t        4,096\t22.7\r\n"
              "カナ.txt\t2003/04/05 06:07:08\t            5\ttxt\t   6\t        8,192\t75.8\r\n"
              "[合計]\t\t            7\t");
}

TEST_F(FilePageTest, CopyListsTheFolderAgain)
{
    ASSERT_TRUE(MakeFile(folder.Path("x.txt"), 2));
    Show(folder.Root());
    ASSERT_TRUE(MakeFile(folder.Path("y"), 2));
    form.SortDescending = false;
    form.FileSortKey = SortByName;
    const std::string copied = Copied();
    EXPECT_EQ(copied.substr(0, copied.find('\t')), "x.txt");
    EXPECT_NE(copied.find("\r\ny\t"), std::string::npos);
    EXPECT_EQ(Grid().RowCount(), 3);
}

TEST_F(FilePageTest, CopyOfEmptyFilesAndOfAnEmptyFolder)
{
    ASSERT_TRUE(MakeFile(folder.Path("空"), 0, nullptr));
    Show(folder.Root());
    const std::string copied = Copied();
    ASSERT_EQ(copied.size(), copied.find("\r\n") + 2 + std::string("[合計]\t\t            0\t").size());
    EXPECT_TRUE(copied.starts_with("空\t"));
    EXPECT_NE(copied.find("\t            0\t\r\n[合計]\t\t            0\t"), std::string::npos);

    DeleteFileA(folder.Path("空").c_str());
    EXPECT_EQ(Copied(), "[合計]\t\t            0\t");
    CurrentFolder = folder.Path("ない");
    EXPECT_EQ(Copied(), "[合計]\t\t            0\t");
}

TEST_F(FilePageTest, CtrlCInTheGridCopiesThePage)
{
    ASSERT_TRUE(MakeFile(folder.Path("キー.txt"), 1));
    Show(folder.Root());
    ui::SetClipboardText(form.Handle(), "before");
    Grid().SetFocus();
    zev_test::Pump();
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
    SetKeyboardState(keys);
    zev_test::PressKey('C');
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_TRUE(ui::ClipboardText(form.Handle()).starts_with("キー.txt\t"));
}

TEST(FilePageStart, TheFirstListingShowsTheNewestFileFirst)
{
    InitializeApplication();
    TempTree folder;
    const FILETIME old = LocalFileTime(2001, 1, 1, 0, 0, 0), newer = LocalFileTime(2011, 1, 1, 0, 0, 0),
                     newest = LocalFileTime(2021, 1, 1, 0, 0, 0);
    ASSERT_TRUE(MakeFile(folder.Path("古い.txt"), 1, &old));
    ASSERT_TRUE(MakeFile(folder.Path("新しい.txt"), 1, &newest));
    ASSERT_TRUE(MakeFile(folder.Path("中間.txt"), 1, &newer));

    TForm1 form({folder.Path("古い.txt")});
    form.Show();
    zev_test::Pump();
    EXPECT_EQ(CurrentFolder.Shown, folder.Root());
    EXPECT_TRUE(form.SortDescending);
    EXPECT_EQ(form.FileSortKey, SortByDate);
    ASSERT_EQ(form.FileGrid.RowCount(), 5);
    EXPECT_EQ(form.FileGrid.Cell(0, 1), "新しい.txt");
    EXPECT_EQ(form.FileGrid.Cell(0, 2), "中間.txt");
    EXPECT_EQ(form.FileGrid.Cell(0, 3), "古い.txt");
    EXPECT_EQ(form.FileGrid.ColWidth(0), 130);
    EXPECT_EQ(form.FileGrid.ColWidth(6), 25);
    CurrentFolder = {};
}

}  // namespace
