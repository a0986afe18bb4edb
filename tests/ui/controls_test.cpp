#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/ui/gui_test_util.h"
#include "ui/application.h"
#include "ui/button.h"
#include "ui/check_box.h"
#include "ui/clipboard.h"
#include "ui/directory_list_box.h"
#include "ui/drive_combo_box.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/label.h"
#include "ui/page_control.h"
#include "ui/panel.h"
#include "ui/rich_edit.h"
#include "ui/status_bar.h"
#include "ui/string_grid.h"
#include "ui/tree_view.h"

namespace {

using zev_test::Center;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kDark = RGB(64, 64, 64);

RECT ClientRect(const ui::TControl& control) {
    RECT r{};
    GetClientRect(control.Handle(), &r);
    return r;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ui::Application().Initialize();
        ui::SetExceptionHandler([](const std::exception& e) { ADD_FAILURE() << "error box: " << e.what(); });
    }
    void ShowForm() {
        form.Show();
        SetForegroundWindow(form.Handle());
        zev_test::Pump();
    }
    ui::TForm form{"controls", 40, 40, 640, 420};
};

// The colours a parent's WM_CTLCOLORSTATIC answer gives the child's text.
struct StaticColours {
    COLORREF text;
    COLORREF back;
    HBRUSH brush;
};

StaticColours AskColours(const ui::TControl& child) {
    HDC dc = CreateCompatibleDC(nullptr);
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageA(
        GetParent(child.Handle()), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child.Handle())));
    StaticColours colours{GetTextColor(dc), GetBkColor(dc), brush};
    DeleteDC(dc);
    return colours;
}

COLORREF BrushColour(HBRUSH brush) {
    LOGBRUSH lb{};
    GetObjectA(brush, sizeof lb, &lb);
    return lb.lbColor;
}

TEST_F(ControlsTest, TabClickChangesThePageAndSettingItFromCodeAnnouncesNothing) {
    ui::TPageControl pages(&form);
    pages.SetAlign(ui::TAlign::Client);
    std::vector<std::unique_ptr<ui::TTabSheet>> sheets;
    for (const char* caption : {"ファイル", "フォルダ", "フォルダツリー", "最新500ファイル", "ファイル名変更",
                                "CD/DVD検証", "使用法"})
        sheets.push_back(std::make_unique<ui::TTabSheet>(pages, caption));
    int changes = 0;
    pages.OnChange = [&](ui::TControl& sender) {
        EXPECT_EQ(&sender, &pages);
        ++changes;
    };
    ShowForm();
    EXPECT_EQ(pages.ActivePage(), sheets[0].get());
    EXPECT_EQ(TabCtrl_GetItemCount(pages.Handle()), 7);

    RECT tab;
    TabCtrl_GetItemRect(pages.Handle(), 1, &tab);
    EXPECT_EQ(tab.right - tab.left, 80);
    zev_test::RealClick(pages.Handle(), Center(tab));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(pages.ActivePage(), sheets[1].get());
    for (size_t i = 0; i < sheets.size(); ++i) EXPECT_EQ(sheets[i]->Visible(), i == 1) << i;

    pages.SetActivePage(*sheets[6]);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(pages.ActivePage(), sheets[6].get());
    EXPECT_EQ(TabCtrl_GetCurSel(pages.Handle()), 6);
    EXPECT_TRUE(sheets[6]->Visible());
    EXPECT_FALSE(sheets[1]->Visible());
}

TEST_F(ControlsTest, SheetsFillTheDisplayAreaAsTabsWrapIntoRows) {
    ui::TPageControl pages(&form);
    pages.SetAlign(ui::TAlign::Client);
    ui::TTabSheet first(pages, "ファイル");
    std::vector<std::unique_ptr<ui::TTabSheet>> more;
    for (int i = 0; i < 6; ++i) more.push_back(std::make_unique<ui::TTabSheet>(pages, "ページ"));
    ShowForm();
    auto displayArea = [&] {
        RECT r = ClientRect(pages);
        TabCtrl_AdjustRect(pages.Handle(), FALSE, &r);
        return r;
    };
    EXPECT_EQ(TabCtrl_GetRowCount(pages.Handle()), 1);
    EXPECT_TRUE(SameRect(first.BoundsRect(), displayArea()));

    // Seven tabs of 80 pixels do not fit in 300.
    SetWindowPos(form.Handle(), nullptr, 0, 0, 300, 420, SWP_NOMOVE | SWP_NOZORDER);
    zev_test::Pump();
    EXPECT_GT(TabCtrl_GetRowCount(pages.Handle()), 1);
    EXPECT_TRUE(SameRect(first.BoundsRect(), displayArea()));
    EXPECT_TRUE(SameRect(more[3]->BoundsRect(), displayArea()));
}

// A page control as it paints itself, with the rectangles of its tabs.
struct PrintedTabs {
    zev_test::ClientImage image;
    std::vector<RECT> tabs;
};

// Each caption changes only pixels of its own tab: the control printed with
// the caption and with it left empty differs inside that tab and nowhere
// else. The window's captions are near or over 80 pixels wide in its tab
// font; the last one fits in no width of it.
TEST_F(ControlsTest, EachTabCaptionStaysInsideItsOwnTab) {
    std::vector<std::string> captions = {"ファイル",       "フォルダ",   "フォルダツリー", "最新500ファイル",
                                         "ファイル名変更", "CD/DVD検証", "使用法",         ""};
    for (int i = 0; i < 10; ++i) captions.back() += "長い見出し";
    ShowForm();
    auto print = [&](const std::vector<std::string>& texts, size_t selected) {
        ui::TPageControl pages(&form);
        pages.SetAlign(ui::TAlign::Client);
        pages.SetFont(ui::TFontSpec{"MS UI Gothic", 12});
        std::vector<std::unique_ptr<ui::TTabSheet>> sheets;
        for (const std::string& text : texts) sheets.push_back(std::make_unique<ui::TTabSheet>(pages, text));
        pages.SetActivePage(*sheets[selected]);
        std::vector<RECT> tabs(texts.size());
        for (size_t i = 0; i < tabs.size(); ++i) TabCtrl_GetItemRect(pages.Handle(), i, &tabs[i]);
        return PrintedTabs{zev_test::ClientImage::Printed(pages.Handle()), std::move(tabs)};
    };
    for (size_t selected : {0u, 3u, 7u}) {
        const PrintedTabs all = print(captions, selected);
        for (size_t i = 0; i < captions.size(); ++i) {
            std::vector<std::string> without = captions;
            without[i].clear();
            const PrintedTabs other = print(without, selected);
            RECT own = all.tabs[i];
            // The selected tab is drawn two pixels larger all round.
            if (i == selected) InflateRect(&own, 2, 2);
            int inside = 0, outside = 0;
            for (int y = 0; y < all.image.Height(); ++y)
                for (int x = 0; x < all.image.Width(); ++x)
                    if (all.image.Pixel(x, y) != other.image.Pixel(x, y)) ++(PtInRect(&own, {x, y}) ? inside : outside);
            EXPECT_GT(inside, 0) << "tab " << i << ", selected " << selected;
            EXPECT_EQ(outside, 0) << "tab " << i << ", selected " << selected;
        }
    }
}

TEST_F(ControlsTest, CheckBoxAnnouncesTheUsersClicksOnly) {
    ui::TPanel dark(&form);
    dark.SetBounds(0, 0, 300, 40);
    dark.SetColor(kDark);
    ui::TCheckBox box(&dark, "詳細表示", 8, 8, 120, 17);
    box.SetFont(ui::TFontSpec{"MS UI Gothic", 12, kWhite, false});
    int clicks = 0;
    box.OnClick = [&](ui::TControl&) { ++clicks; };
    ShowForm();

    box.SetChecked(true);
    EXPECT_TRUE(box.Checked());
    box.SetChecked(false);
    EXPECT_EQ(clicks, 0);

    zev_test::RealClick(box.Handle(), {7, 8});
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(box.Checked());
    zev_test::RealClick(box.Handle(), {7, 8});
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(box.Checked());

    // White caption on the panel's colour.
    const StaticColours colours = AskColours(box);
    EXPECT_EQ(colours.text, kWhite);
    EXPECT_EQ(colours.back, kDark);
    EXPECT_EQ(BrushColour(colours.brush), kDark);
}

TEST_F(ControlsTest, EditAnnouncesEveryChange) {
    ui::TEdit edit(&form, 10, 10, 300, 21);
    std::vector<std::string> seen;
    edit.OnChange = [&](ui::TControl& sender) { seen.push_back(sender.Text()); };
    ShowForm();
    edit.SetText("変更するファイル名");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], "変更するファイル名");

    edit.SetFocus();
    SendMessageA(edit.Handle(), EM_SETSEL, 0, -1);
    zev_test::Type("a;");
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1], "a");
    EXPECT_EQ(seen[2], "a;");
}

TEST_F(ControlsTest, LabelsSizeToTheirTextAndKeepTheirAnchoredEdge) {
    ui::TPanel header(&form);
    header.SetBounds(0, 0, 600, 49);
    header.SetColor(RGB(128, 128, 128));
    ui::TLabel left(&header, 48, 32);
    ui::TLabel right(&header, 509, 32);
    right.SetAlignRight(true);
    right.SetFont(ui::TFontSpec{"ＭＳ Ｐゴシック", 13, kWhite, false});
    ShowForm();

    left.SetCaption("CLUSTER SIZE");
    const int shortWidth = left.Width();
    left.SetCaption("クラスターサイズ: 4096");
    EXPECT_GT(left.Width(), shortWidth);
    EXPECT_EQ(left.BoundsRect().left, 48);
    EXPECT_EQ(left.Caption(), "クラスターサイズ: 4096");

    right.SetCaption("DISK FREE SPACE ");
    EXPECT_EQ(right.BoundsRect().right, 509);
    const int before = right.BoundsRect().left;
    right.SetCaption("12,345,678KB 使用  9,876,543KB 空き");
    EXPECT_EQ(right.BoundsRect().right, 509);
    EXPECT_LT(right.BoundsRect().left, before);
    EXPECT_EQ(right.BoundsRect().top, 32);

    // The size is the text's extent in the label's own font.
    {
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(right.Handle(), WM_GETFONT, 0, 0));
        ui::WindowDC dc(right.Handle());
        ui::SelectedObject selected(dc.get(), font);
        SIZE extent{};
        const std::string text = right.Caption();
        GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
        EXPECT_EQ(right.Width(), extent.cx);
        EXPECT_EQ(right.Height(), extent.cy);
    }

    // Without a colour of their own, labels show on the panel's.
    const StaticColours colours = AskColours(right);
    EXPECT_EQ(colours.text, kWhite);
    EXPECT_EQ(colours.back, RGB(128, 128, 128));
    left.SetColor(RGB(0, 0, 0));
    EXPECT_EQ(AskColours(left).back, RGB(0, 0, 0));
}

TEST_F(ControlsTest, LoweredBevelInsetsAlignedChildrenAndStatusBarSitsAtTheBottom) {
    ui::TPanel outer(&form);
    outer.SetAlign(ui::TAlign::Client);
    outer.SetBevelLowered(true);
    ui::TStatusBar status(&outer);
    ui::TPanel inner(&outer);
    inner.SetAlign(ui::TAlign::Client);
    ShowForm();

    const RECT client = ClientRect(outer);
    const RECT bar = status.BoundsRect();
    EXPECT_EQ(bar.bottom - bar.top, 25);
    EXPECT_EQ(bar.left, 1);
    EXPECT_EQ(bar.right, client.right - 1);
    EXPECT_EQ(bar.bottom, client.bottom - 1);
    const RECT body = inner.BoundsRect();
    EXPECT_TRUE(SameRect(body, RECT{1, 1, client.right - 1, client.bottom - 1 - 25}));

    outer.SetBevelLowered(false);
    EXPECT_TRUE(SameRect(inner.BoundsRect(), RECT{0, 0, client.right, client.bottom - 25}));

    EXPECT_EQ(SendMessageA(status.Handle(), SB_GETPARTS, 0, 0), 1);
    status.SetPanelText(" 最新の情報に更新");
    EXPECT_EQ(status.PanelText(), " 最新の情報に更新");
    const auto length = LOWORD(SendMessageW(status.Handle(), SB_GETTEXTLENGTHW, 0, 0));
    std::wstring shown(length + 1u, L'\0');
    SendMessageW(status.Handle(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(shown.data()));
    shown.resize(length);
    EXPECT_EQ(shown, L" 最新の情報に更新");
    EXPECT_EQ(HIWORD(SendMessageA(status.Handle(), SB_GETTEXTLENGTHA, 0, 0)) & SBT_NOBORDERS, SBT_NOBORDERS);
}

TEST_F(ControlsTest, TreeVisitsEveryNodeInIndexOrderWithItsLevel) {
    ui::TTreeView tree(&form);
    tree.SetAlign(ui::TAlign::Client);
    tree.SetIndent(19);
    ShowForm();
    const ui::TTreeNode root = tree.AddChild(nullptr, "C:\\表示\\");
    const ui::TTreeNode a = tree.AddChild(root, "ソフト");
    const ui::TTreeNode a1 = tree.AddChild(a, "能力");
    const ui::TTreeNode a11 = tree.AddChild(a1, "深い");
    const ui::TTreeNode a2 = tree.AddChild(a, "abc");
    const ui::TTreeNode b = tree.AddChild(root, "Zed");
    const ui::TTreeNode b1 = tree.AddChild(b, "b1");
    EXPECT_EQ(tree.Count(), 7);
    EXPECT_EQ(SendMessageA(tree.Handle(), TVM_GETINDENT, 0, 0), 19);

    tree.CollapseAll();
    std::vector<std::pair<ui::TTreeNode, int>> visited;
    tree.ForEachNode([&](ui::TTreeNode node, int level) { visited.emplace_back(node, level); });
    const std::vector<std::pair<ui::TTreeNode, int>> expected{{root, 0}, {a, 1}, {a1, 2}, {a11, 3},
                                                              {a2, 2},   {b, 1}, {b1, 2}};
    EXPECT_EQ(visited, expected);

    // Selecting a node deep inside a collapsed tree shows it.
    tree.Select(a11);
    EXPECT_EQ(tree.Selected(), a11);
    RECT r{};
    EXPECT_TRUE(TreeView_GetItemRect(tree.Handle(), a11, &r, TRUE));

    tree.ExpandAll();
    for (ui::TTreeNode node : {root, a, a1, b})
        EXPECT_TRUE(tree.Expanded(node));
    for (ui::TTreeNode node : {a11, a2, b1})
        EXPECT_FALSE(tree.Expanded(node));
    tree.CollapseAll();
    for (ui::TTreeNode node : {root, a, a1, b})
        EXPECT_FALSE(tree.Expanded(node));
    {
        // Nodes added and opened while updates nest show once the last ends.
        ui::TTreeUpdate outer(tree);
        ui::TTreeUpdate inner(tree);
        tree.AddChild(b1, "新");
        tree.ExpandAll();
    }
    int visible = 0;
    for (HTREEITEM node = TreeView_GetFirstVisible(tree.Handle()); node;
         node = TreeView_GetNextVisible(tree.Handle(), node))
        ++visible;
    EXPECT_EQ(visible, 8);

    // Long texts with tabs come back whole.
    std::string detailed = "能力\t     1,234KB / 5  \t 2006/02/09 12:00:00";
    while (detailed.size() < 600) detailed += "表";
    tree.SetNodeText(a1, detailed);
    EXPECT_EQ(tree.NodeText(a1), detailed);
    EXPECT_EQ(tree.NodeText(root), "C:\\表示\\");

    tree.Clear();
    EXPECT_EQ(tree.Count(), 0);
    EXPECT_EQ(tree.Selected(), nullptr);
    visited.clear();
    tree.ForEachNode([&](ui::TTreeNode node, int level) { visited.emplace_back(node, level); });
    EXPECT_TRUE(visited.empty());
}

const ui::TFontSpec kFixedPitch{"ＭＳ ゴシック", 12, RGB(0, 0, 0), false};

// The pixels of the rectangle, as the window shows it now, other than its
// background (the colour at its top right).
std::vector<POINT> Ink(HWND hwnd, const RECT& r) {
    zev_test::Pump();
    const zev_test::ClientImage image = zev_test::ClientImage::OnScreen(hwnd);
    return image.Differing(r, image.Pixel(r.right - 2, r.top + 1));
}

// The fixed-pitch face as the rename grid, the tree and the CD/DVD page's edit
// boxes use it: an underscore puts ink below the letters where a blank puts
// none, and descenders are drawn whole.
TEST_F(ControlsTest, FixedPitchTextShowsUnderscoresAndWholeDescenders) {
    ui::TStringGrid grid(&form, 1, 3);
    grid.SetBounds(10, 10, 300, 60);
    grid.SetDefaultRowHeight(16);
    grid.SetFont(kFixedPitch);
    ui::TTreeView tree(&form);
    tree.SetBounds(10, 80, 300, 40);
    tree.SetFont(kFixedPitch);
    const ui::TTreeNode node = tree.AddChild(nullptr, "");
    ui::TEdit edit(&form, 10, 130, 300, 21);
    edit.SetFont(kFixedPitch);
    ShowForm();
    grid.SetFocus();  // no caret in the edit box
    // Puts the text up in one control: the lowest row with ink, and the row
    // below the text's place.
    auto lowest = [&](const char* control, const char* text) {
        RECT r{};
        HWND hwnd = edit.Handle();
        if (control == std::string_view("grid")) {
            grid.SetCell(0, 2, text);
            r = grid.CellRect(0, 2);
            hwnd = grid.Handle();
        } else if (control == std::string_view("tree")) {
            tree.SetNodeText(node, text);
            TreeView_GetItemRect(tree.Handle(), node, &r, FALSE);
            hwnd = tree.Handle();
        } else {
            edit.SetText(text);
            r = ClientRect(edit);
        }
        LONG y = r.top;
        for (const POINT& p : Ink(hwnd, r)) y = std::max(y, p.y);
        return std::pair{y, r.bottom};
    };
    for (const char* control : {"grid", "tree", "edit"}) {
        const LONG baseline = lowest(control, "a b").first;
        EXPECT_GT(lowest(control, "a_b").first, baseline) << control << ": no underscore";
        const auto [descender, bottom] = lowest(control, "ag");
        EXPECT_GT(descender, baseline) << control;
        EXPECT_LT(descender, bottom - 1) << control << ": descender cut at the last row";
    }
}

// A detailed node's TABs show as gaps, not box glyphs: it draws as much ink
// as its text with blanks for TABs, and keeps its text.
TEST_F(ControlsTest, TreeNodesShowTheirTabsAsGaps) {
    ui::TTreeView tree(&form);
    tree.SetAlign(ui::TAlign::Client);
    tree.SetFont(kFixedPitch);
    const ui::TTreeNode node = tree.AddChild(nullptr, "");
    ShowForm();
    auto ink = [&](const char* text) {
        tree.SetNodeText(node, text);
        RECT r{};
        TreeView_GetItemRect(tree.Handle(), node, &r, FALSE);
        return Ink(tree.Handle(), r).size();
    };
    const char* tabbed = "src\t     1KB / 1  \t 2026/12/10 04:31:37";
    const size_t withTabs = ink(tabbed);
    EXPECT_EQ(tree.NodeText(node), tabbed);
    // Even a missing glyph's mark (a dot, a box) adds ink.
    EXPECT_EQ(withTabs, ink("src      1KB / 1    2026/12/10 04:31:37"));
}

TEST_F(ControlsTest, RichEditPassesKeysOnAndStillCopiesItsSelection) {
    ui::TRichEdit rich(&form);
    rich.SetAlign(ui::TAlign::Client);
    rich.SetBackground(RGB(68, 68, 68));
    rich.SetFont(ui::TFontSpec{"ＭＳ ゴシック", 12, kWhite, false});
    std::string text = "              zev の使用方法  ver.2.04  2006/02/09\r\n";
    for (int i = 0; i < 100; ++i) text += "変更\r\n~~~~\r\n";
    rich.SetLines(text);
    std::vector<std::pair<WORD, ui::TShiftState>> keys;
    rich.OnKeyDown = [&](ui::TControl& sender, WORD& key, ui::TShiftState shift) {
        EXPECT_EQ(&sender, &rich);
        keys.emplace_back(key, shift);
    };
    ShowForm();
    EXPECT_TRUE(GetWindowLongA(rich.Handle(), GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(GetWindowLongA(rich.Handle(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_GE(SendMessageA(rich.Handle(), EM_GETLINECOUNT, 0, 0), 201);

    CHARFORMAT2A format{};
    format.cbSize = sizeof format;
    SendMessageA(rich.Handle(), EM_SETSEL, 20, 21);
    SendMessageA(rich.Handle(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_EQ(format.crTextColor, kWhite);
    EXPECT_STREQ(format.szFaceName, "ＭＳ ゴシック");

    ui::SetClipboardText(form.Handle(), "before");
    rich.SetFocus();
    // "zev の" : 14 blanks, then 6 bytes of text in 5 characters.
    SendMessageA(rich.Handle(), EM_SETSEL, 14, 19);
    zev_test::RealKey('C', {VK_CONTROL});
    ASSERT_FALSE(keys.empty());
    EXPECT_EQ(keys.back(), std::make_pair(WORD{'C'}, ui::ssCtrl));
    EXPECT_EQ(ui::ClipboardText(form.Handle()), "zev の");
}

// Builds and destroys windows and GDI objects many times over; the levels
// show anything not given back.
TEST_F(ControlsTest, CreatingAndDestroyingControlsLeaksNoHandles) {
    ShowForm();
    auto panelWithLabels = [&] {
        ui::TPanel panel(&form);
        panel.SetBounds(0, 0, 300, 49);
        panel.SetBevelLowered(true);
        panel.SetColor(RGB(128, 128, 128));
        ui::TLabel a(&panel, 16, 8), b(&panel, 48, 32), c(&panel, 509, 32);
        a.SetFont(ui::TFontSpec{"ＭＳ Ｐゴシック", 13, kWhite, true});
        a.SetColor(RGB(0, 0, 0));
        a.SetCaption("Directory");
        b.SetCaption("CLUSTER SIZE");
        c.SetAlignRight(true);
        c.SetCaption("DISK FREE SPACE ");
        UpdateWindow(panel.Handle());
    };
    panelWithLabels();  // first use registers classes and loads fonts
    const long gdi = zev_test::GdiObjectLevel();
    const long user = zev_test::UserObjectLevel();
    for (int i = 0; i < 1000; ++i) panelWithLabels();
    EXPECT_EQ(zev_test::GdiObjectLevel(), gdi);
    EXPECT_EQ(zev_test::UserObjectLevel(), user);
}

// Each kind of control the main window holds is found from its window from
// creation on, while the form is still hidden and once it shows; no other
// window is taken for a control, nor one destroyed with its parent.
TEST_F(ControlsTest, EveryKindOfControlIsFoundFromItsWindow) {
    ui::TPanel panel(&form);
    ui::TLabel label(&panel, 8, 8);
    ui::TButton button(&panel, "更新", 8, 30, 100, 25);
    ui::TCheckBox check(&panel, "詳細表示", 8, 60, 100, 17);
    ui::TEdit edit(&panel, 8, 80, 100, 21);
    ui::TDriveComboBox drives(&panel, 8, 110, 153);
    ui::TDirectoryListBox folders(&panel);
    ui::TStatusBar status(&form);
    ui::TPageControl pages(&form);
    ui::TTabSheet sheet(pages, "一");
    ui::TTreeView tree(&sheet);
    ui::TRichEdit rich(&sheet);
    ui::TStringGrid grid(&sheet, 3, 3);
    const std::vector<const ui::TControl*> controls{&form, &panel, &label, &button, &check,  &edit,  &drives,
                                                    &folders, &status, &pages, &sheet, &tree, &rich, &grid};
    auto expectFound = [&](const char* when) {
        for (size_t i = 0; i < controls.size(); ++i)
            EXPECT_EQ(ui::TControl::FromHandle(controls[i]->Handle()), controls[i]) << when << ", control " << i;
    };
    expectFound("hidden");
    ShowForm();
    expectFound("shown");
    EXPECT_NE(ui::TControl::FromHandle(ui::Application().Handle()), nullptr);

    HWND plain = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, form.Handle(), nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    for (HWND other : {plain, GetDesktopWindow(), HWND{}}) EXPECT_EQ(ui::TControl::FromHandle(other), nullptr);
    DestroyWindow(plain);

    const HWND labelWindow = label.Handle();
    DestroyWindow(panel.Handle());
    EXPECT_EQ(label.Handle(), nullptr);
    EXPECT_EQ(ui::TControl::FromHandle(labelWindow), nullptr);
}

TEST_F(ControlsTest, AFormWithEveryKindOfControlGivesEverythingBack) {
    auto everything = [] {
        ui::TForm f("all", 40, 40, 640, 420);
        ui::TPanel left(&f);
        left.SetBounds(0, 0, 169, 300);
        left.SetAlign(ui::TAlign::Left);
        ui::TDriveComboBox drives(&left, 8, 8, 153);
        ui::TDirectoryListBox folders(&left);
        folders.SetAlign(ui::TAlign::Client);
        ui::TPanel right(&f);
        right.SetAlign(ui::TAlign::Client);
        ui::TStatusBar status(&right);
        ui::TPageControl pages(&right);
        pages.SetAlign(ui::TAlign::Client);
        ui::TTabSheet one(pages, "一"), two(pages, "二");
        ui::TTreeView tree(&one);
        tree.SetAlign(ui::TAlign::Client);
        tree.AddChild(tree.AddChild(nullptr, "C:\\"), "表");
        ui::TCheckBox check(&two, "詳細表示", 8, 8, 100, 17);
        ui::TButton button(&two, "更新", 8, 30, 100, 25);
        ui::TEdit edit(&two, 8, 60, 100, 21);
        ui::TRichEdit rich(&two);
        rich.SetBounds(8, 90, 200, 100);
        rich.SetLines("使用法\r\n");
        f.Show();
        UpdateWindow(f.Handle());
    };
    everything();
    const long gdi = zev_test::GdiObjectLevel();
    const long user = zev_test::UserObjectLevel();
    for (int i = 0; i < 20; ++i) everything();
    EXPECT_EQ(zev_test::GdiObjectLevel(), gdi);
    EXPECT_EQ(zev_test::UserObjectLevel(), user);
}

}  // namespace
