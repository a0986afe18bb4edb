#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <initializer_list>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/zev_form.h"
#include "tests/app/page_test.h"
#include "tests/core/stop_at.h"
#include "tests/core/temp_tree.h"
#include "ui/clipboard.h"
#include "ui/cursor.h"

namespace {

const FILETIME T1 = LocalFileTime(2019, 1, 2, 3, 4, 5);
const FILETIME T2 = LocalFileTime(2020, 5, 6, 7, 8, 9);
const FILETIME T3 = LocalFileTime(2021, 10, 11, 12, 13, 14);
const std::string kBlankDate(20, ' ');

using Nodes = std::vector<std::pair<int, std::string>>;

// The detailed text after a folder's name.
std::string Detail(const std::string& kilobytes, int files, const std::string& date)
{
    return "\t     " + kilobytes + "KB / " + std::to_string(files) + "  \t " + date;
}

class FolderTreeTest : public PageTest {
protected:
    FolderTreeTest()
    {
        form.DiskPage.SetActivePage(form.TreePage);
        zev_test::Pump();
    }

    ui::TTreeView& Tree() { return form.TreeView1; }
    void Show(const std::string& path)
    {
        CurrentFolder = path;
        form.RefreshTree(path);
        zev_test::Pump();
    }
    // Level and text of every node in index order.
    Nodes AllNodes()
    {
        Nodes nodes;
        Tree().ForEachNode([&](ui::TTreeNode node, int level) { nodes.emplace_back(level, Tree().NodeText(node)); });
        return nodes;
    }
    std::vector<ui::TTreeNode> Handles()
    {
        std::vector<ui::TTreeNode> handles;
        Tree().ForEachNode([&](ui::TTreeNode node, int) { handles.push_back(node); });
        return handles;
    }
    // The nodes a user can scroll to, as the view itself lays them out.
    int VisibleCount()
    {
        int count = 0;
        for (auto node = TreeView_GetFirstVisible(Tree().Handle()); node;
             node = TreeView_GetNextVisible(Tree().Handle(), node))
            ++count;
        return count;
    }
    bool HasChildren(ui::TTreeNode node) { return TreeView_GetChild(Tree().Handle(), node) != nullptr; }
    void RealClick(ui::TControl& control)
    {
        RECT client{};
        GetClientRect(control.Handle(), &client);
        zev_test::RealClick(control.Handle(), zev_test::Center(client));
    }
    // The clipboard after the key on the focused tree; "unchanged" when the
    // key copied nothing.
    std::string CopiedByKey(std::initializer_list<WORD> modifiers)
    {
        ui::SetClipboardText(form.Handle(), "unchanged");
        Tree().SetFocus();
        zev_test::RealKey('C', modifiers);
        return zev_test::ClipboardBytes(form.Handle());
    }

    TempTree t;
};

TEST_F(FolderTreeTest, AFolderWithoutSubFoldersIsTheRootAlone)
{
    t.File("直下.txt", 10, T1);
    Show(t.Root());
    // The root ends in "表", whose second byte is a backslash.
    EXPECT_EQ(AllNodes(), (Nodes{{0, t.Root() + "\\"}}));
    EXPECT_EQ(form.lbFolder.Caption(), "         0 folders");
    EXPECT_EQ(Tree().Selected(), Handles().front());
    EXPECT_FALSE(ui::HourglassCursor::Active());

    // A folder that cannot be read is a root without children too.
    Show(t.Path("無い"));
    EXPECT_EQ(AllNodes(), (Nodes{{0, t.Path("無い") + "\\"}}));
    EXPECT_EQ(form.lbFolder.Caption(), "         0 folders");
}

TEST_F(FolderTreeTest, EveryFolderAtEveryDepthInListingOrderAllExpanded)
{
    for (const char* folder : {"b", "a", "表", "表\\中", "表\\中\\深い", "表\\二", "a\\x"})
        t.Folder(folder);
    // A real click on the tab builds the tree of the folder shown.
    form.DiskPage.SetActivePage(form.FilePage);
    CurrentFolder = t.Root();
    RECT tab{};
    SendMessageA(form.DiskPage.Handle(), TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&tab));
    zev_test::RealClick(form.DiskPage.Handle(), zev_test::Center(tab));
    ASSERT_EQ(form.DiskPage.ActivePage(), &form.TreePage);
    EXPECT_EQ(form.lbFolder.Caption(), "         7 folders");

    Nodes expected{{0, t.Root() + "\\"}};
    auto add = [&](auto& self, const std::string& relative, int level) -> void {
        for (const std::string& name : Listing(relative.empty() ? t.Root() : t.Path(relative))) {
            expected.emplace_back(level, name + Detail("      0", 0, kBlankDate));
            self(self, relative.empty() ? name : relative + "\\" + name, level + 1);
        }
    };
    add(add, "", 1);
    ASSERT_EQ(expected.size(), 8u);
    EXPECT_EQ(AllNodes(), expected);

    // Built as the selection-driven build leaves it: everything expanded and
    // showing, the root selected, and the view painted.
    for (ui::TTreeNode node : Handles())
        EXPECT_EQ(Tree().Expanded(node), HasChildren(node));
    EXPECT_EQ(VisibleCount(), 8);
    EXPECT_EQ(Tree().Selected(), Handles().front());
    EXPECT_EQ(TreeView_GetFirstVisible(Tree().Handle()), Handles().front());
    RECT row{};
    ASSERT_TRUE(TreeView_GetItemRect(Tree().Handle(), Handles()[1], &row, TRUE));
    const zev_test::ClientImage screen = zev_test::ClientImage::OnScreen(Tree().Handle());
    EXPECT_FALSE(screen.Differing(row, GetSysColor(COLOR_WINDOW)).empty());
}

TEST_F(FolderTreeTest, DetailsCountOnlyTheFilesDirectlyInTheFolderInKilobytes)
{
    t.File("直下.txt", 999999, T3);
    t.Folder("写真");
    t.File("写真\\a.jpg", 1000, T2);
    t.File("写真\\b.jpg", 2000, T1);
    t.Folder("写真\\下");
    t.File("写真\\下\\c.jpg", 5000, T3);
    t.Folder("大");
    t.File("大\\d", 2000000, T1);
    t.File("大\\e", 0, T1);
    t.File("大\\f", 0, T1);
    t.Folder("空");

    Show(t.Root());
    // The size unit of the other pages changes nothing here; a real click on
    // its box rebuilds the tree.
    for (bool kilobytes : {false, true}) {
        if (kilobytes)
            RealClick(form.CheckKB);
        ASSERT_EQ(form.CheckKB.Checked(), kilobytes);
        const Nodes nodes = AllNodes();
        ASSERT_EQ(nodes.size(), 5u);
        EXPECT_EQ(nodes[0], (std::pair<int, std::string>{0, t.Root() + "\\"}));
        for (const auto& [level, text] : nodes) {
            const std::string name = text.substr(0, text.find('\t'));
            if (name == "写真")
                EXPECT_EQ(text, name + Detail("      3", 2, "2020/05/06 07:08:09"));
            else if (name == "下")
                EXPECT_EQ(text, name + Detail("      5", 1, "2021/10/11 12:13:14"));
            else if (name == "大")
                EXPECT_EQ(text, name + Detail("  1,953", 3, "2019/01/02 03:04:05"));
            else if (name == "空")
                EXPECT_EQ(text, name + Detail("      0", 0, kBlankDate));
            else
                EXPECT_EQ(level, 0);
        }
        EXPECT_EQ(form.lbFolder.Caption(), "         4 folders");
    }
}

TEST_F(FolderTreeTest, TheCheckBoxSwitchesBetweenPlainAndDetailedTexts)
{
    t.Folder("一");
    t.File("一\\x", 2048, T1);
    Show(t.Root());
    ASSERT_TRUE(form.DetailTree.Checked());
    EXPECT_EQ(AllNodes(), (Nodes{{0, t.Root() + "\\"}, {1, "一" + Detail("      2", 1, "2019/01/02 03:04:05")}}));

    // A real click rebuilds the tree from the disk.
    t.Folder("一\\新");
    RealClick(form.DetailTree);
    ASSERT_FALSE(form.DetailTree.Checked());
    EXPECT_EQ(AllNodes(), (Nodes{{0, t.Root() + "\\"}, {1, "一"}, {2, "新"}}));
    EXPECT_EQ(form.lbFolder.Caption(), "         2 folders");

    RealClick(form.DetailTree);
    ASSERT_TRUE(form.DetailTree.Checked());
    EXPECT_EQ(AllNodes(), (Nodes{{0, t.Root() + "\\"},
                                 {1, "一" + Detail("      2", 1, "2019/01/02 03:04:05")},
                                 {2, "新" + Detail("      0", 0, kBlankDate)}}));
    EXPECT_TRUE(errors.empty());
}

TEST_F(FolderTreeTest, CtrlCCopiesTheIndentedTreeWithEveryNode)
{
    t.Folder("上");
    t.Folder("上\\中");
    t.Folder("上\\中\\下");
    t.File("上\\中\\m", 1536, T2);
    Show(t.Root());
    RealClick(form.DetailTree);
    ASSERT_FALSE(form.DetailTree.Checked());

    const std::string plain = t.Root() + "\\\r\n"
                              "|\t上\r\n"
                              "|\t|\t中\r\n"
                              "|\t|\t|\t下\r\n";
    EXPECT_EQ(CopiedByKey({VK_CONTROL}), plain + '\0');
    // A second copy replaces the first; collapsed nodes are copied too.
    RealClick(form.BCollapseTree);
    EXPECT_EQ(CopiedByKey({VK_CONTROL}), plain + '\0');
    EXPECT_FALSE(ui::HourglassCursor::Active());

    // Other modifiers copy nothing.
    EXPECT_EQ(CopiedByKey({VK_CONTROL, VK_SHIFT}), std::string("unchanged") + '\0');
    EXPECT_EQ(CopiedByKey({}), std::string("unchanged") + '\0');

    RealClick(form.DetailTree);
    ASSERT_TRUE(form.DetailTree.Checked());
    EXPECT_EQ(CopiedByKey({VK_CONTROL}), t.Root() + "\\\r\n"
                                         "|\t上\t           0KB / 0  \t " + kBlankDate + "\r\n"
                                         "|\t|\t中\t           2KB / 1  \t 2020/05/06 07:08:09\r\n"
                                         "|\t|\t|\t下\t           0KB / 0  \t " + kBlankDate + "\r\n" + '\0');
}

TEST_F(FolderTreeTest, TheButtonsCollapseAndExpandEveryLevel)
{
    for (const char* folder : {"a", "a\\b", "a\\b\\c", "a\\d", "e", "e\\f"})
        t.Folder(folder);
    Show(t.Root());
    const std::vector<ui::TTreeNode> nodes = Handles();
    ASSERT_EQ(nodes.size(), 7u);
    ASSERT_EQ(VisibleCount(), 7);

    RealClick(form.BCollapseTree);
    for (ui::TTreeNode node : nodes)
        EXPECT_FALSE(Tree().Expanded(node));
    EXPECT_EQ(VisibleCount(), 1);

    RealClick(form.BTreeAllExpand);
    for (ui::TTreeNode node : nodes)
        EXPECT_EQ(Tree().Expanded(node), HasChildren(node));
    EXPECT_EQ(VisibleCount(), 7);
    // Again on a tree already open changes nothing.
    RealClick(form.BTreeAllExpand);
    EXPECT_EQ(VisibleCount(), 7);
    EXPECT_EQ(Handles(), nodes);
    EXPECT_TRUE(errors.empty());
}

TEST_F(FolderTreeTest, ALinkBackUpTheTreeIsShownButNotFollowed)
{
    t.Folder("中");
    t.File("中\\x", 100, T1);
    ASSERT_TRUE(MakeUnixSymlink(t.Path("中\\輪"), t.Root()));
    Show(t.Root());
    EXPECT_EQ(AllNodes(), (Nodes{{0, t.Root() + "\\"},
                                 {1, "中" + Detail("      0", 1, "2019/01/02 03:04:05")},
                                 {2, "輪" + Detail("      0", 0, kBlankDate)}}));
    EXPECT_EQ(form.lbFolder.Caption(), "         2 folders");
}

TEST_F(FolderTreeTest, AStoppedBuildHoldsTheFoldersMetBeforeTheStop)
{
    for (const char* folder : {"上", "上\\中", "上\\中\\底", "別", "別\\下"})
        t.Folder(folder);
    for (const char* file : {"a", "上\\b", "別\\c"})
        t.File(file, 1, T1);
    const std::string root = t.Root() + "\\";
    ExpectEachStopReadsOneEntryMore(8, EachOne::Folder, [&](WalkProgress& progress) {
        Tree().Clear();
        std::int32_t folders = 0;
        std::int32_t files = 0;
        FILETIME newest{};
        form.BuildFolderTree(Tree().AddChild(nullptr, root), root, false, folders, files, newest, progress);
        std::set<std::string> shown;
        for (const auto& [level, text] : AllNodes())
            if (level > 0)
                shown.insert(text);
        EXPECT_EQ(static_cast<std::size_t>(folders), shown.size());
        return shown;
    });
}

TEST_F(FolderTreeTest, EscStopsTheBuildWithTheFoldersMetSoFar)
{
    // Enough folders for the walk to look for Esc before its end.
    for (int i = 0; i < 40; ++i)
        t.Folder("d" + std::to_string(i));
    PostMessageA(Tree().Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    CurrentFolder = t.Root();
    form.RefreshTree(t.Root());
    EXPECT_LT(AllNodes().size(), 41u);
    EXPECT_EQ(form.StatusBar1.PanelText(), " Esc で中断しました。表示は途中までの結果です。");

    Show(t.Root());
    EXPECT_EQ(AllNodes().size(), 41u);
}

}  // namespace
