#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "app/clip_text.h"
#include "app/zev_form.h"
#include "core/sizes.h"
#include "files/file_sort.h"
#include "files/newest_table.h"
#include "tests/app/page_test.h"
#include "tests/core/stop_at.h"
#include "tests/core/temp_tree.h"
#include "ui/clipboard.h"
#include "ui/cursor.h"

namespace {

using zev_test::Button;

const Cells kTitles{" フォルダ名", " ファイル名", " 日付", "サイズ(bytes)", "拡張子"};

// Five files over four folders: one directly in the start folder, one in a
// hidden folder, one two levels down below a folder whose name ends in the
// byte 0x5C.
void MakeSample(const TempTree& tree)
{
    tree.File("a;b", 1500, LocalFileTime(2010, 12, 31, 23, 59, 59));
    tree.File("カナ.txt", 5000, LocalFileTime(2003, 4, 5, 6, 7, 8));
    tree.Folder("サブ");
    tree.File("サブ\\中.txt", 7, LocalFileTime(2005, 5, 5, 5, 5, 5));
    tree.Folder("隠し");
    tree.File("隠し\\隠しファイル.sys", 100, LocalFileTime(1999, 9, 9, 9, 9, 9),
              FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(SetFileAttributesA(tree.Path("隠し").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    tree.Folder("表");
    tree.Folder("表\\深い");
    tree.File("表\\深い\\底.tar.gz", 0, LocalFileTime(2001, 1, 1));
}

// count files named f0, f1, ... whose times step by a second from base.
void MakeFiles(const TempTree& tree, int count, WORD baseYear)
{
    for (int i = 0; i < count; ++i)
        tree.File("f" + std::to_string(i), i, LocalFileTime(baseYear, 1, 1, 0, i / 60, i % 60));
}

class NewestPageTest : public PageTest {
protected:
    NewestPageTest() : PageTest(&TForm1::NewFileGrid) {}

    void Show(const std::string& path)
    {
        CurrentFolder = path;
        form.RefreshNewestPage();
        zev_test::Pump();
    }
    Cells Names()
    {
        Cells names;
        for (int row = 1; row < Grid().RowCount(); ++row)
            names.push_back(Grid().Cell(1, row));
        return names;
    }
    std::string Copied()
    {
        form.CopyNewestPage();
        return ui::ClipboardText(form.Handle());
    }
    std::string In(std::string_view relative = "") { return tree.Path(relative) + (relative.empty() ? "" : "\\"); }

    TempTree tree;
};

TEST_F(NewestPageTest, ShowsEveryFileOfTheTreeNewestFirst)
{
    MakeSample(tree);
    form.SortDescending = true;
    form.FileSortKey = SortByDate;
    Show(tree.Root());

    ASSERT_EQ(Grid().RowCount(), 6);
    EXPECT_EQ(Row(0), kTitles);
    EXPECT_EQ(Row(1), (Cells{In(), "a;b", "2010/12/31 23:59:59", "1,500", ""}));
    EXPECT_EQ(Row(2), (Cells{In("サブ"), "中.txt", "2005/05/05 05:05:05", "7", "txt"}));
    EXPECT_EQ(Row(3), (Cells{In(), "カナ.txt", "2003/04/05 06:07:08", "5,000", "txt"}));
    EXPECT_EQ(Row(4), (Cells{In("表\\深い"), "底.tar.gz", "2001/01/01 00:00:00", "0", "gz"}));
    EXPECT_EQ(Row(5), (Cells{In("隠し"), "隠しファイル.sys", "1999/09/09 09:09:09", "100", "sys"}));
    EXPECT_EQ(NewestCount, 5);
    EXPECT_TRUE(PendingFolders.empty());
    EXPECT_FALSE(ui::HourglassCursor::Active());
}

TEST_F(NewestPageTest, ALinkBackUpTheTreeIsNotFollowed)
{
    MakeSample(tree);
    if (!MakeUnixSymlink(tree.Path("サブ\\上へ"), tree.Root()))
        GTEST_SKIP() << "no symbolic links here";
    Show(tree.Root());
    EXPECT_EQ(NewestCount, 5);
}

TEST_F(NewestPageTest, KeepsTheFiveHundredNewest)
{
    struct Case {
        const char* what;
        int files;            // f0.. in the start folder, oldest first
        bool oldestTwice;     // f0 and f1 share the oldest time
        Cells later;          // names in a sub-folder, listed after them all
        int rows;
        Cells gone;           // of the start folder's files
    };
    const Case cases[] = {
        {"fewer", 499, false, {}, 500, {}},
        {"exactly", 500, false, {}, 501, {}},
        {"a 501st newest", 500, false, {"newest"}, 501, {"f0"}},
        {"one equal to the oldest", 500, false, {"equal"}, 501, {}},
        {"two oldest", 500, true, {"newest"}, 501, {"lower"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempTree local;
        MakeFiles(local, c.files, 2000);
        if (c.oldestTwice) {
            ASSERT_TRUE(SetWriteTime(local.Path("f1"), LocalFileTime(2000, 1, 1)));
        }
        local.Folder("後");
        for (const std::string& name : c.later)
            local.File("後\\" + name, 1, name == "equal" ? LocalFileTime(2000, 1, 1) : LocalFileTime(2020, 1, 1));
        Show(local.Root());
        ASSERT_EQ(Grid().RowCount(), c.rows);

        Cells gone = c.gone;
        if (c.oldestTwice) {
            // Of two equal oldest the one at the lower position, listed
            // first, goes.
            const Cells listing = Listing(local.Root());
            const auto f0 = std::find(listing.begin(), listing.end(), "f0");
            const auto f1 = std::find(listing.begin(), listing.end(), "f1");
            gone = {f0 < f1 ? "f0" : "f1"};
        }
        const Cells names = Names();
        for (const std::string& name : c.later)
            EXPECT_EQ(std::count(names.begin(), names.end(), name), name == "equal" ? 0 : 1) << name;
        for (int i = 0; i < c.files; ++i) {
            const std::string name = "f" + std::to_string(i);
            const bool expectedGone = std::find(gone.begin(), gone.end(), name) != gone.end();
            EXPECT_EQ(std::count(names.begin(), names.end(), name), expectedGone ? 0 : 1) << name;
        }
    }
}

TEST_F(NewestPageTest, AKeyThePageDoesNotKnowShowsTheWalkRotatedByOne)
{
    for (const char* name : {"d", "b", "c"})
        tree.File(name);
    tree.Folder("下");
    for (const char* name : {"y", "x"})
        tree.File(std::string("下\\") + name);
    Cells walked = Listing(tree.Root());
    walked.erase(std::find(walked.begin(), walked.end(), "下"));
    for (const std::string& name : Listing(tree.Path("下")))
        walked.push_back(name);

    form.FileSortKey = SortByCharCount;
    Show(tree.Root());
    Cells rotated(walked.begin() + 1, walked.end());
    rotated.push_back(walked.front());
    EXPECT_EQ(Names(), rotated);
}

TEST_F(NewestPageTest, KilobytesChangeTheSizeColumnAndItsTitle)
{
    MakeSample(tree);
    form.SortDescending = true;
    form.FileSortKey = SortByDate;
    form.DiskPage.SetActivePage(form.NewFilePage);
    Show(tree.Root());
    zev_test::Click(form.CheckKB.Handle(), 5, 5);
    ASSERT_TRUE(form.CheckKB.Checked());
    EXPECT_EQ(Grid().Cell(3, 0), "サイズ(KB)");
    EXPECT_EQ(Row(1), (Cells{In(), "a;b", "2010/12/31 23:59:59", "2", ""}));
    EXPECT_EQ(Row(3), (Cells{In(), "カナ.txt", "2003/04/05 06:07:08", "5", "txt"}));
    EXPECT_EQ(Row(5)[3], "1");
    zev_test::Click(form.CheckKB.Handle(), 5, 5);
    EXPECT_EQ(Grid().Cell(3, 0), "サイズ(bytes)");
    EXPECT_EQ(Row(3)[3], "5,000");
}

TEST_F(NewestPageTest, TitleClicksReSortWhatTheLastWalkKept)
{
    MakeSample(tree);
    form.SortDescending = true;
    form.FileSortKey = SortByDate;
    Show(tree.Root());
    // Found by no walk until the next refresh.
    tree.File("新しい.txt", 1, LocalFileTime(2020, 1, 1));

    struct Expected { int col; int key; Cells ascending; };
    const Expected cases[] = {
        {0, SortByFolder, {"", "", "中.txt", "隠しファイル.sys", "底.tar.gz"}},
        {1, SortByName, {"a;b", "カナ.txt", "隠しファイル.sys", "中.txt", "底.tar.gz"}},
        {2, SortByDate, {"隠しファイル.sys", "底.tar.gz", "カナ.txt", "中.txt", "a;b"}},
        {3, SortBySize, {"底.tar.gz", "中.txt", "隠しファイル.sys", "a;b", "カナ.txt"}},
        {4, SortByExtension, {"a;b", "底.tar.gz", "隠しファイル.sys", "", ""}},
    };
    for (const Expected& expected : cases) {
        ClickCell(expected.col, 0);
        EXPECT_FALSE(form.SortDescending) << expected.col;
        EXPECT_EQ(form.FileSortKey, expected.key);
        // Rows of equal keys (left empty) may come in either order.
        auto expectRows = [&](const Cells& want) {
            const Cells names = Names();
            ASSERT_EQ(names.size(), want.size());
            for (std::size_t i = 0; i < names.size(); ++i)
                if (!want[i].empty()) {
                    EXPECT_EQ(names[i], want[i]) << expected.col << " row " << i + 1;
                }
        };
        expectRows(expected.ascending);
        ClickCell(expected.col, 0);
        EXPECT_TRUE(form.SortDescending) << expected.col;
        expectRows(Cells(expected.ascending.rbegin(), expected.ascending.rend()));
    }
    const Cells kept = Names();
    EXPECT_EQ(std::count(kept.begin(), kept.end(), "新しい.txt"), 0);
    Show(tree.Root());
    EXPECT_EQ(Names().size(), 6u);
}

TEST_F(NewestPageTest, ATitleClickAfterACopyFitsTheRowsToWhatTheCopyKept)
{
    MakeSample(tree);
    Show(tree.Root());
    ASSERT_TRUE(DeleteFileA(tree.Path("カナ.txt").c_str()));
    Copied();
    EXPECT_EQ(Grid().RowCount(), 6);  // the copy leaves the grid alone
    ClickCell(1, 0);
    EXPECT_EQ(Grid().RowCount(), 5);
    const Cells names = Names();
    EXPECT_EQ(std::count(names.begin(), names.end(), "カナ.txt"), 0);

    TempTree empty;
    CurrentFolder = empty.Root();
    EXPECT_EQ(Copied(), "");
    ClickCell(1, 0);
    ASSERT_EQ(Grid().RowCount(), 2);
    EXPECT_EQ(Row(1), (Cells{"", "", "", "", ""}));
}

TEST_F(NewestPageTest, ATreeWithoutFilesShowsOneEmptyRow)
{
    tree.Folder("空");
    for (const std::string& path : {tree.Root(), tree.Path("ない")}) {
        Show(path);
        ASSERT_EQ(Grid().RowCount(), 2) << path;
        EXPECT_EQ(Row(0), kTitles);
        EXPECT_EQ(Row(1), (Cells{"", "", "", "", ""}));
        EXPECT_EQ(NewestCount, 0);
        EXPECT_FALSE(ui::HourglassCursor::Active());
    }
}

TEST_F(NewestPageTest, ClicksOnFolderAndNameOpenExplorerOrTheFile)
{
    MakeSample(tree);
    form.SortDescending = true;
    form.FileSortKey = SortByDate;
    Show(tree.Root());
    const std::string deep = In("表\\深い");
    const ShellCall explorer{"open", "explorer", deep, "", SW_SHOW, form.Handle()};
    ClickCell(0, 4);
    ClickCell(1, 4);
    ClickCell(1, 4, Button::Right);
    EXPECT_EQ(ShellCalls(), (std::vector<ShellCall>{
                                explorer, explorer, {"open", deep + "底.tar.gz", "", deep, SW_SHOW, form.Handle()}}));

    // Nothing else starts anything.
    ShellCalls().clear();
    for (int col = 2; col < 5; ++col) {
        ClickCell(col, 2);
        ClickCell(col, 2, Button::Right);
    }
    ClickCell(0, 2, Button::Right);
    ClickCell(1, 2, Button::Middle);
    ClickCell(1, 0, Button::Right);
    const RECT last = Grid().CellRect(1, 5);
    zev_test::Click(Grid().Handle(), last.left + 5, last.bottom + 20);
    zev_test::Click(Grid().Handle(), last.left + 5, last.bottom + 20, Button::Right);
    EXPECT_TRUE(ShellCalls().empty());
}

TEST_F(NewestPageTest, SizesAreDrawnAgainstTheRightEdge)
{
    MakeSample(tree);
    form.SortDescending = true;
    form.FileSortKey = SortByDate;
    Show(tree.Root());
    const zev_test::ClientImage image = zev_test::ClientImage::Printed(Grid().Handle());
    auto textSpan = [&](int col, int row) {
        RECT cell = Grid().CellRect(col, row);
        cell.right -= 1;
        LONG left = cell.right, right = cell.left;
        for (const POINT& p : image.Differing(cell, GetSysColor(COLOR_WINDOW))) {
            left = std::min(left, p.x);
            right = std::max(right, p.x);
        }
        return std::pair<LONG, LONG>{left - cell.left, cell.right - right};
    };
    const auto [leftGap, rightGap] = textSpan(3, 3);
    EXPECT_LT(rightGap, 6);
    EXPECT_GT(leftGap, 10);
    for (int col : {1, 2, 4})
        EXPECT_LT(textSpan(col, 3).first, 6) << col;
}

TEST_F(NewestPageTest, CopyWalksAfreshAndWritesEveryLine)
{
    MakeSample(tree);
    form.SortDescending = true;
    form.FileSortKey = SortByDate;
    Show(tree.Root());
    tree.File("新.txt", 1234567, LocalFileTime(2011, 2, 3, 4, 5, 6));
    const std::string expected =
        In() + "\t新.txt\t2011/02/03 04:05:06\t    1,234,567\ttxt\r\n" +
        In() + "\ta;b\t2010/12/31 23:59:59\t        1,500\t\r\n" +
        In("サブ") + "\t中.txt\t2005/05/05 05:05:05\t            7\ttxt\r\n" +
        In() + "\tカナ.txt\t2003/04/05 06:07:08\t        5,000\ttxt\r\n" +
        In("表\\深い") + "\t底.tar.gz\t2001/01/01 00:00:00\t            0\tgz\r\n" +
        In("隠し") + "\t隠しファイル.sys\t1999/09/09 09:09:09\t          100\tsys\r\n";
    form.CopyNewestPage();
    EXPECT_EQ(zev_test::ClipboardBytes(form.Handle()), expected + '\0');
    EXPECT_EQ(ClipText, expected);
    EXPECT_EQ(Grid().RowCount(), 6);
    EXPECT_EQ(Copied(), expected);

    form.CheckKB.SetChecked(true);
    UpdateSizeUnit(true);
    form.SortDescending = false;
    form.FileSortKey = SortBySize;
    const std::string kilobytes = Copied();
    EXPECT_TRUE(kilobytes.starts_with(In("表\\深い") + "\t底.tar.gz\t2001/01/01 00:00:00\t            0\tgz\r\n"));
    EXPECT_TRUE(kilobytes.ends_with(In() + "\t新.txt\t2011/02/03 04:05:06\t        1,206\ttxt\r\n"));
}

TEST_F(NewestPageTest, CtrlCInTheGridCopiesThePageAndNothingElseDoes)
{
    tree.File("キー.txt", 1);
    form.DiskPage.SetActivePage(form.NewFilePage);
    Show(tree.Root());
    Grid().SetFocus();
    zev_test::Pump();
    struct Keys { std::initializer_list<WORD> modifiers; bool copies; };
    const Keys cases[] = {{{VK_CONTROL, VK_SHIFT}, false}, {{VK_MENU}, false}, {{}, false}, {{VK_CONTROL}, true}};
    for (const Keys& keys : cases) {
        ui::SetClipboardText(form.Handle(), "before");
        zev_test::RealKey('C', keys.modifiers);
        EXPECT_EQ(ui::ClipboardText(form.Handle()),
                  keys.copies ? In() + "\tキー.txt\t" + Grid().Cell(2, 1) + "\t            1\ttxt\r\n" : "before");
    }
}

}  // namespace

namespace {

TEST_F(NewestPageTest, AStoppedWalkKeepsTheFilesMetBeforeTheStop)
{
    MakeSample(tree);
    // Five files and four folders.
    ExpectEachStopReadsOneEntryMore(9, EachOne::File, [&](WalkProgress& progress) {
        const int count = WalkNewest(tree.Root(), progress);
        std::set<std::string> kept;
        for (int i = 1; i <= count; ++i)
            kept.insert(NewestTable[static_cast<std::size_t>(i)].Folder + NewestTable[static_cast<std::size_t>(i)].Name);
        return kept;
    });
}

TEST_F(NewestPageTest, EscStopsTheRefreshAndAStoppedCopyChangesNothing)
{
    MakeSample(tree);
    // Enough folders for the walk to look for Esc before its end.
    for (int i = 0; i < 40; ++i) {
        tree.Folder("d" + std::to_string(i));
        tree.File("d" + std::to_string(i) + "\\f", i, LocalFileTime(2000, 1, 1, 0, 0, i));
    }
    const int fullRows = 5 + 40 + 1;
    CurrentFolder = tree.Root();
    PostMessageA(Grid().Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    form.RefreshNewestPage();
    EXPECT_LT(Grid().RowCount(), fullRows);
    EXPECT_EQ(form.StatusBar1.PanelText(), " Esc で中断しました。表示は途中までの結果です。");

    Show(tree.Root());
    ASSERT_EQ(Grid().RowCount(), fullRows);
    Cells before = Names();
    std::sort(before.begin(), before.end());
    ui::SetClipboardText(form.Handle(), "前のまま");
    ASSERT_TRUE(DeleteFileA(tree.Path("カナ.txt").c_str()));
    PostMessageA(Grid().Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    form.CopyNewestPage();
    EXPECT_EQ(ui::ClipboardText(form.Handle()), "前のまま");
    EXPECT_EQ(form.StatusBar1.PanelText(), " Esc で中断しました。クリップボードは変わっていません。");
    // A title click sorts what the grid showed, not what the stopped walk met.
    ClickCell(1, 0);
    Cells after = Names();
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, before);
}

}  // namespace
