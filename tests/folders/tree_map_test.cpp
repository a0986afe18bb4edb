#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/clip_text.h"
#include "app/zev_form.h"
#include "folders/tree_map_page.h"
#include "tests/app/page_test.h"
#include "tests/core/temp_tree.h"
#include "ui/clipboard.h"

namespace {

const FILETIME T1 = LocalFileTime(2019, 1, 2, 3, 4, 5);

double HueOf(std::uint32_t color)
{
    const double r = (color >> 16) & 0xFF, g = (color >> 8) & 0xFF, b = color & 0xFF;
    const double hi = std::max({r, g, b}), lo = std::min({r, g, b});
    if (hi == lo)
        return -1;
    double h = hi == r ? (g - b) / (hi - lo) : hi == g ? 2 + (b - r) / (hi - lo) : 4 + (r - g) / (hi - lo);
    return std::fmod(h * 60 + 360, 360);
}

double HueDistance(double a, double b)
{
    const double d = std::fabs(a - b);
    return std::min(d, 360 - d);
}

class TreeMapTest : public PageTest {
protected:
    TreeMapTest()
    {
        SetWindowPos(form.Handle(), nullptr, 0, 0, 1000, 700, SWP_NOZORDER | SWP_NOMOVE);
        form.DiskPage.SetActivePage(form.TreePage);
        zev_test::Pump();
    }

    MapRecords& Map() { return form.TreeMapPane1.Records; }
    MapLayout& Layout() { return form.TreeMapPane1.Layout; }
    TTreeMapView& View() { return form.TreeMapPane1.View; }
    // The map switched on with a real click, which walks the folder.
    void ShowMap(const std::string& folder)
    {
        CurrentFolder = folder;
        RealClick(form.TreeMapCheck);
        ASSERT_TRUE(form.TreeMapCheck.Checked());
        zev_test::Pump();
    }
    void RealClick(ui::TControl& control)
    {
        RECT client{};
        GetClientRect(control.Handle(), &client);
        zev_test::RealClick(control.Handle(), zev_test::Center(client));
    }
    std::int32_t FileNamed(const std::string& name)
    {
        for (std::size_t i = 0; i < Map().FileCount(); ++i) {
            const std::string path = Map().FilePath(static_cast<std::int32_t>(i)).Shown;
            if (path.size() >= name.size() + 1 && path.compare(path.size() - name.size() - 1, std::string::npos, "\\" + name) == 0)
                return static_cast<std::int32_t>(i);
        }
        return -1;
    }
    POINT CenterOf(std::int32_t file)
    {
        const MapRect r = Layout().Locate(MapHit{file, Map().File(file).Folder, {}});
        return {static_cast<LONG>((r.left + r.right) / 2), static_cast<LONG>((r.top + r.bottom) / 2)};
    }
    std::string CopyTree()
    {
        form.CopyTree();
        return ClipText;
    }

    TempTree t;
};

TEST_F(TreeMapTest, AreasFollowTheBytesAndHuesStayUnderTheShading)
{
    t.Folder("sub");
    t.File("a.aa", 60000, T1);
    t.File("sub\\b.bb", 30000, T1);
    t.File("sub\\c.cc", 20000, T1);
    t.File("d.dd", 10000, T1);
    t.File("empty.ee", 0, T1);
    ShowMap(t.Root());
    RealClick(form.TreeMapPane1.ByKind);
    ASSERT_EQ(Layout().Colors(), MapLayout::Coloring::Kind);

    // The four kinds by bytes take hues 0, 36, 72 and 108 degrees.
    const double hues[] = {0, 36, 72, 108};
    const double shares[] = {0.5, 0.25, 1.0 / 6, 1.0 / 12};
    const PixelBuffer pixels = View().Bitmap().Pixels();
    ASSERT_GT(pixels.width * pixels.height, 20000);
    std::vector<int> counts(4, 0);
    int painted = 0;
    for (int i = 0; i < pixels.width * pixels.height; ++i) {
        const double hue = HueOf(pixels.pixels[i]);
        ASSERT_GE(hue, 0) << "pixel " << i << " has no hue";
        const auto nearest = std::min_element(std::begin(hues), std::end(hues), [&](double a, double b) {
            return HueDistance(a, hue) < HueDistance(b, hue);
        });
        EXPECT_LT(HueDistance(*nearest, hue), 6.0);
        ++counts[static_cast<std::size_t>(nearest - std::begin(hues))];
        ++painted;
    }
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(counts[static_cast<std::size_t>(k)] / static_cast<double>(painted), shares[k], 0.03 * shares[k]) << k;

    // The legend names the ten kinds with their share.
    const std::vector<LegendEntry>& legend = form.TreeMapPane1.Legend.Entries();
    ASSERT_EQ(legend.size(), 5u);
    EXPECT_EQ(legend[0].Text, ".aa 50.0%");
    EXPECT_EQ(legend[4].Text, ".ee 0.0%");
}

TEST_F(TreeMapTest, EveryFileLiesInsideTheRectangleOfEachFolderAboveIt)
{
    for (const char* folder : {"上", "上\\中", "上\\中\\下", "横"})
        t.Folder(folder);
    int n = 0;
    for (const char* folder : {"", "上\\", "上\\中\\", "上\\中\\下\\", "横\\"})
        for (int size : {9000, 4000, 2500, 700, 300})
            t.File(std::string(folder) + "f" + std::to_string(n++), size, T1);
    ShowMap(t.Root());
    const PixelBuffer pixels = View().Bitmap().Pixels();
    int files = 0;
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x) {
            const MapHit hit = Layout().HitTest(x, y);
            if (hit.File < 0)
                continue;
            ++files;
            for (std::int32_t f = Map().File(hit.File).Folder; f >= 0; f = Map().Folder(f).Parent)
                ASSERT_TRUE(Layout().FolderRect(f).holdsPixel(x, y)) << x << "," << y << " folder " << f;
        }
    EXPECT_GT(files, pixels.width * pixels.height * 9 / 10);
}

TEST_F(TreeMapTest, AgesFallIntoFiveBandsFromTheWalksStart)
{
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    auto hoursAgo = [&](double hours) {
        ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
        t.QuadPart -= static_cast<ULONGLONG>(static_cast<LONGLONG>(hours * 3600) * 10000000LL);
        return FILETIME{t.LowPart, t.HighPart};
    };
    const std::vector<std::pair<std::string, int>> cases = {
        {"future", 0}, {"hour", 0}, {"day_and_hour", 1}, {"six_days", 1}, {"eight_days", 2},
        {"thirty_days", 2}, {"forty_days", 3}, {"364_days", 3}, {"366_days", 4}, {"ten_years", 4}};
    const double hours[] = {-5, 1, 25, 6 * 24, 8 * 24, 30 * 24, 40 * 24, 364 * 24, 366 * 24, 3650 * 24};
    for (std::size_t i = 0; i < cases.size(); ++i)
        t.File(cases[i].first, 100, hoursAgo(hours[i]));
    ShowMap(t.Root());
    const std::vector<LegendEntry>& legend = form.TreeMapPane1.Legend.Entries();
    std::vector<std::string> names;
    for (const LegendEntry& entry : legend)
        names.push_back(entry.Text);
    EXPECT_EQ(names, (std::vector<std::string>{"1 日以内", "1 週間以内", "1 か月以内", "1 年以内", "それ以前"}));
    for (const auto& [name, band] : cases) {
        const std::int32_t file = FileNamed(name);
        ASSERT_GE(file, 0) << name;
        EXPECT_EQ(Layout().ColorOf(Map().File(file)), legend[static_cast<std::size_t>(band)].Color) << name;
    }
    // Bands 30 degrees apart at least, saturated.
    for (std::size_t a = 0; a < legend.size(); ++a)
        for (std::size_t b = a + 1; b < legend.size(); ++b)
            EXPECT_GE(HueDistance(HueOf(legend[a].Color), HueOf(legend[b].Color)), 30.0);
}

TEST_F(TreeMapTest, CtrlCOnTheMapCopiesEveryExtensionByBytes)
{
    t.Folder("下");
    t.File("a.BIN", 3000000, T1);
    t.File("下\\b.bin", 1000000, T1);
    t.File("下\\z.Bin", 0, T1);
    t.File("c", 750000, T1);
    t.File("e.tar.gz", 750000, T1);
    // Win32 drops a name's last dot.
    ASSERT_TRUE(MakeUnixFile(t.Path("d.")));
    t.File("写真.ＪＰＧ", 0, T1);
    // The yen sign shows as a backslash, after which no extension begins.
    const HANDLE yen = CreateFileW((WideText(t.Root()) + L"\\y.b\u00A5c").c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_NEW, 0, nullptr);
    ASSERT_NE(yen, INVALID_HANDLE_VALUE);
    CloseHandle(yen);
    ShowMap(t.Root());
    auto copied = [&] {
        ui::SetClipboardText(form.Handle(), "unchanged");
        zev_test::RealClick(View().Handle(), {2, 2});
        EXPECT_TRUE(View().Focused());
        zev_test::RealKey('C', {VK_CONTROL});
        return zev_test::ClipboardBytes(form.Handle());
    };
    // Ties go by the extension upper-cased, byte by byte.
    EXPECT_EQ(copied(), std::string(".bin\t    4,000,000\t       3\t 72.73%\r\n"
                                    "(なし)\t      750,000\t       2\t 13.64%\r\n"
                                    ".gz\t      750,000\t       1\t 13.64%\r\n"
                                    ".\t            0\t       1\t  0.00%\r\n"
                                    ".ＪＰＧ\t            0\t       1\t  0.00%\r\n")
                            + '\0');
    form.CheckKB.SetChecked(true);
    EXPECT_EQ(copied().substr(0, 27), ".bin\t        3,907\t       3");
    form.CheckKB.SetChecked(false);
}

TEST_F(TreeMapTest, TheStatusBarNamesTheFileUnderTheMouse)
{
    t.Folder("写真");
    t.File("写真\\大きい.jpg", 123456, T1);
    t.File("小さい.txt", 1000, T1);
    ShowMap(t.Root());
    const std::int32_t big = FileNamed("大きい.jpg");
    ASSERT_GE(big, 0);
    zev_test::MoveMouseTo(View().Handle(), CenterOf(big));
    ui::Application().ProcessMessages();
    EXPECT_EQ(form.StatusBar1.PanelText(), " " + t.Root() + "\\写真\\大きい.jpg  123,456 bytes  2019/01/02 03:04:05");

    form.CheckKB.SetChecked(true);
    zev_test::MoveMouseTo(View().Handle(), CenterOf(FileNamed("小さい.txt")));
    ui::Application().ProcessMessages();
    EXPECT_EQ(form.StatusBar1.PanelText(), " " + t.Root() + "\\小さい.txt  1 KB  2019/01/02 03:04:05");
    form.CheckKB.SetChecked(false);

    // Over the tree the tree's hint is back.
    zev_test::MoveMouseTo(form.TreeView1.Handle(), {5, 5});
    ui::Application().ProcessMessages();
    EXPECT_EQ(form.StatusBar1.PanelText(), " " + form.TreeView1.Hint);
}

TEST_F(TreeMapTest, AClickSelectsTheFoldersNodeAndOpensFilesByTheirWideName)
{
    t.Folder("上");
    t.Folder("上\\中");
    t.File("上\\中\\深い.txt", 50000, T1);
    t.File("上\\x", 20000, T1);
    {
        // A name code page 932 cannot hold.
        const HANDLE file = CreateFileW((WideText(t.Path("上\\中")) + L"\\\xD55C\xAD6D\xC5B4.txt").c_str(),
                                        GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        LARGE_INTEGER end{};
        end.QuadPart = 30000;
        SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
        SetEndOfFile(file);
        CloseHandle(file);
    }
    ShowMap(t.Root());
    RealClick(form.BCollapseTree);

    const std::int32_t deep = FileNamed("深い.txt");
    ASSERT_GE(deep, 0);
    zev_test::RealClick(View().Handle(), CenterOf(deep));
    const ui::TTreeNode middle = form.MapNodes[static_cast<std::size_t>(Map().File(deep).Folder)];
    EXPECT_EQ(form.TreeView1.Selected(), middle);
    EXPECT_TRUE(form.TreeView1.Expanded(TreeView_GetParent(form.TreeView1.Handle(), middle)));
    EXPECT_TRUE(View().Focused());
    const MapRect clicked = Layout().Locate(MapHit{deep, Map().File(deep).Folder, {}});
    EXPECT_EQ(View().OutlineRect().left, clicked.left);
    EXPECT_EQ(View().OutlineRect().bottom, clicked.bottom);

    // A node selected in the tree outlines its folder.
    form.TreeView1.Select(TreeView_GetParent(form.TreeView1.Handle(), middle));
    const MapRect upper = Layout().FolderRect(Map().Folder(Map().File(deep).Folder).Parent);
    EXPECT_EQ(View().OutlineRect().right, upper.right);
    EXPECT_EQ(View().OutlineRect().top, upper.top);

    // Right: the file with its program, by its own wide name; double: Explorer.
    std::int32_t korean = -1;
    for (std::size_t i = 0; i < Map().FileCount(); ++i)
        if (Map().FilePath(static_cast<std::int32_t>(i)).Wide.ends_with(L"\\\xD55C\xAD6D\xC5B4.txt"))
            korean = static_cast<std::int32_t>(i);
    ASSERT_GE(korean, 0);
    const POINT at = CenterOf(korean);
    zev_test::Click(View().Handle(), at.x, at.y, zev_test::Button::Right);
    zev_test::DoubleClick(View().Handle(), at.x, at.y);
    ASSERT_EQ(WideShellCalls().size(), 2u);
    EXPECT_EQ(WideShellCalls()[0].file, WideText(t.Path("上\\中")) + L"\\\xD55C\xAD6D\xC5B4.txt");
    EXPECT_EQ(WideShellCalls()[0].directory, WideText(t.Path("上\\中")) + L"\\");
    EXPECT_EQ(ShellCalls()[1].file, "explorer");
    EXPECT_EQ(ShellCalls()[1].parameters, t.Path("上\\中") + "\\");
    EXPECT_TRUE(errors.empty());
}

TEST_F(TreeMapTest, UncheckedThePageIsAsBeforeAndTheMapsMemoryIsFreed)
{
    t.Folder("一");
    t.File("一\\x.txt", 5000, T1);
    EXPECT_FALSE(form.TreeMapCheck.Checked());
    EXPECT_EQ(form.TreeMapCheck.Text(), "マップ");
    EXPECT_EQ(form.TreeMapCheck.Hint, "ツリーの下にファイルの地図を表示 (面積 = サイズ, 色 = 更新日または種類)");
    CurrentFolder = t.Root();
    form.RefreshTree(t.Root());
    const std::string before = CopyTree();
    const RECT treeBefore = form.TreeView1.BoundsRect();
    EXPECT_FALSE(form.TreeMapPane1.Visible());

    ShowMap(t.Root());
    EXPECT_EQ(Map().FileCount(), 1u);
    EXPECT_LT(form.TreeView1.Height(), (treeBefore.bottom - treeBefore.top) * 2 / 3);
    EXPECT_EQ(CopyTree(), before);

    RealClick(form.TreeMapCheck);
    EXPECT_TRUE(Map().Empty());
    EXPECT_EQ(View().Bitmap().Pixels().pixels, nullptr);
    EXPECT_FALSE(form.TreeMapPane1.Visible());
    const RECT treeAfter = form.TreeView1.BoundsRect();
    EXPECT_EQ(treeAfter.bottom, treeBefore.bottom);
    EXPECT_EQ(treeAfter.top, treeBefore.top);
    EXPECT_EQ(CopyTree(), before);
}

TEST_F(TreeMapTest, AStoppedWalkShowsTheMapOfWhatWasRead)
{
    for (int i = 0; i < 40; ++i) {
        t.Folder("d" + std::to_string(i));
        t.File("d" + std::to_string(i) + "\\f", 1000, T1);
    }
    ShowMap(t.Root());
    ASSERT_EQ(Map().FileCount(), 40u);
    PostMessageA(form.TreeView1.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    form.RefreshTree(t.Root());
    EXPECT_LT(Map().FileCount(), 40u);
    EXPECT_FALSE(View().Busy());
    EXPECT_EQ(form.StatusBar1.PanelText(), " Esc で中断しました。表示は途中までの結果です。");
}

TEST_F(TreeMapTest, MemoryRunningOutWhileRecordingLeavesTheTreeFilledAndTheMapEmpty)
{
    for (int i = 0; i < 6; ++i) {
        t.Folder("d" + std::to_string(i));
        t.File("d" + std::to_string(i) + "\\f", 1000, T1);
    }
    CurrentFolder = t.Root();
    form.RefreshTree(t.Root());
    const std::string tree = CopyTree();
    ShowMap(t.Root());
    ASSERT_EQ(Map().FileCount(), 6u);

    int records = 0;
    BeforeMapRecords = [&records] {
        if (++records == 5)
            throw std::bad_alloc();
    };
    form.RefreshTree(t.Root());
    EXPECT_EQ(form.StatusBar1.PanelText(), " マップを作るメモリが足りません");
    EXPECT_EQ(records, 5);
    EXPECT_EQ(CopyTree(), tree);
    EXPECT_TRUE(Map().Empty());
    EXPECT_FALSE(View().Busy());
    EXPECT_EQ(form.MapWalk, nullptr);

    // Any other failure leaves the walk, and the map, with nothing half made.
    records = 0;
    BeforeMapRecords = [&records] {
        if (++records == 5)
            throw std::runtime_error("test");
    };
    EXPECT_THROW(form.RefreshTree(t.Root()), std::runtime_error);
    BeforeMapRecords = nullptr;
    EXPECT_TRUE(Map().Empty());
    EXPECT_FALSE(View().Busy());
    EXPECT_EQ(form.MapWalk, nullptr);

    form.RefreshTree(t.Root());
    EXPECT_EQ(Map().FileCount(), 6u);
    EXPECT_EQ(CopyTree(), tree);
}

TEST_F(TreeMapTest, TheMapGivesWayFirstThenTheTreeDownToItsLeast)
{
    t.File("a.txt", 1000, T1);
    ShowMap(t.Root());
    ui::TControl& pane = form.TreeMapPane1;
    // The height the tree and the map share.
    auto room = [&] { return form.TreeView1.Height() + pane.Height(); };
    auto grow = [&](int by) {
        const RECT frame = form.BoundsRect();
        SetWindowPos(form.Handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top + by,
                     SWP_NOZORDER | SWP_NOMOVE);
        zev_test::Pump();
    };
    // The real mouse on the strip above the map, moved by dy.
    auto drag = [&](int dy) {
        const POINT from = zev_test::ScreenPoint(pane.Handle(), {pane.Width() / 2, 2});
        SetCursorPos(from.x, from.y);
        zev_test::Pump();
        zev_test::SendMouse(MOUSEEVENTF_LEFTDOWN);
        zev_test::Pump();
        SetCursorPos(from.x, from.y + dy / 2);
        zev_test::Pump();
        SetCursorPos(from.x, from.y + dy);
        zev_test::Pump();
        zev_test::SendMouse(MOUSEEVENTF_LEFTUP);
        zev_test::Pump();
    };
    const int tree = form.TreeView1.Height();
    const int map = pane.Height();
    ASSERT_GT(map, 150);
    ASSERT_GT(tree, 150);

    grow(-100);
    EXPECT_EQ(form.TreeView1.Height(), tree);
    EXPECT_EQ(pane.Height(), map - 100);
    grow(-(map - 100 - 40) - 30);
    EXPECT_EQ(pane.Height(), 40);
    EXPECT_EQ(form.TreeView1.Height(), tree - 30);
    grow(-(room() - 80));
    EXPECT_EQ(pane.Height(), 40);
    EXPECT_EQ(form.TreeView1.Height(), 40);
    // Grown again, the tree takes the room.
    grow(300);
    EXPECT_EQ(pane.Height(), 40);
    EXPECT_EQ(form.TreeView1.Height(), 340);

    drag(-1000);
    EXPECT_EQ(form.TreeView1.Height(), 40);
    EXPECT_EQ(pane.Height(), 340);
    drag(100);
    EXPECT_EQ(pane.Height(), 240);
    drag(1000);
    EXPECT_EQ(pane.Height(), 40);
    EXPECT_EQ(form.TreeView1.Height(), 340);
}

TEST_F(TreeMapTest, TheHitTestAgreesWithThePaintedTiles)
{
    // Ten kinds with hues of their own over two folders, and files too small
    // for a pixel of their own, painted as one block.
    t.Folder("下");
    for (int k = 0; k < 10; ++k)
        t.File(std::string(k % 2 ? "下\\" : "") + "f" + std::to_string(k) + ".k" + std::to_string(k),
               10000 + 3700 * k, T1);
    for (int i = 0; i < 60; ++i)
        t.File("下\\small" + std::to_string(i) + ".zz", 1, T1);
    ShowMap(t.Root());
    RealClick(form.TreeMapPane1.ByKind);
    ASSERT_EQ(Layout().Colors(), MapLayout::Coloring::Kind);
    const PixelBuffer pixels = View().Bitmap().Pixels();
    // Each tile the hit test finds, with its rectangle and the pixels found in it.
    struct Tile {
        MapRect rect;
        int pixels = 0;
    };
    std::map<std::pair<std::int32_t, std::int32_t>, Tile> tiles;
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x) {
            const MapHit hit = Layout().HitTest(x, y);
            ASSERT_GE(hit.Folder, 0) << x << "," << y;
            ASSERT_TRUE(hit.Rect.holdsPixel(x, y)) << x << "," << y;
            Tile& tile = tiles[{hit.File, hit.Folder}];
            if (tile.pixels++ == 0) {
                tile.rect = hit.Rect;
                const MapRect located = Layout().Locate(hit);
                ASSERT_EQ(located.left, hit.Rect.left);
                ASSERT_EQ(located.top, hit.Rect.top);
                ASSERT_EQ(located.right, hit.Rect.right);
                ASSERT_EQ(located.bottom, hit.Rect.bottom);
            }
            ASSERT_EQ(tile.rect.left, hit.Rect.left) << x << "," << y;
            ASSERT_EQ(tile.rect.bottom, hit.Rect.bottom) << x << "," << y;
            if (hit.File < 0)
                continue;
            const double painted = HueOf(pixels.pixels[static_cast<std::size_t>(y) * pixels.width + x]);
            ASSERT_LT(HueDistance(painted, HueOf(Layout().ColorOf(Map().File(hit.File)))), 6.0) << x << "," << y;
        }
    // Every pixel a tile's rectangle holds is found in that tile, and no other.
    for (const auto& [key, tile] : tiles) {
        const PixelSpan s = PixelsOf(tile.rect, pixels.width, pixels.height);
        EXPECT_EQ(tile.pixels, (s.x1 - s.x0) * (s.y1 - s.y0)) << key.first << "," << key.second;
    }
    // The ten files and the small files' block.
    EXPECT_EQ(tiles.size(), 11u);
    const std::int32_t small = FileNamed("下\\small0.zz");
    ASSERT_GE(small, 0);
    EXPECT_EQ(tiles.count({-1, Map().File(small).Folder}), 1u);
}

}  // namespace
