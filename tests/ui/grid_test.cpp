#include "ui/string_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/ui/gui_test_util.h"

namespace {

using namespace zev_test;
using ui::TMouseButton;
using ui::TShiftState;
using ui::TStringGrid;

constexpr COLORREF kTitleColour = RGB(255, 238, 204);

// One window for every test: without a window manager Wine waits two seconds
// for each top-level window it unmaps.
TestWindow& Window() {
    static TestWindow window(700, 500);
    return window;
}

struct MouseDown {
    TMouseButton button;
    TShiftState shift;
    int x, y;
    int rowThen;  // the current row when the event ran
};

class GridTest : public ::testing::Test {
protected:
    GridTest() {
        SetForegroundWindow(Window().Handle());
        grid.SetBounds(0, 0, 600, 400);
        grid.SetDefaultColWidth(80);
        grid.SetFixedColor(kTitleColour);
        grid.OnMouseDown = [this](TStringGrid& g, TMouseButton b, TShiftState s, int x, int y) {
            clicks.push_back({b, s, x, y, g.Row()});
        };
        grid.OnDrawCell = [this](TStringGrid&, int c, int r, const RECT&, ui::TGridDrawState) { drawn.insert({c, r}); };
        grid.SetFocus();
        Flush();
    }

    HWND Hwnd() const { return grid.Handle(); }
    POINT Center(int col, int row) const {
        const RECT r = grid.CellRect(col, row);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void ClickCell(int col, int row, Button button = Button::Left, WPARAM keys = 0) {
        const POINT p = Center(col, row);
        Click(Hwnd(), p.x, p.y, button, keys);
    }
    void Flush() {
        Pump();
        UpdateWindow(Hwnd());
        drawn.clear();
    }
    // The cells drawn by the paint that the pending invalidations cause.
    std::set<std::pair<int, int>> Painted() {
        drawn.clear();
        UpdateWindow(Hwnd());
        return std::exchange(drawn, {});
    }
    std::pair<int, int> CellAt(int x, int y) const {
        int c = 0, r = 0;
        grid.MouseToCell(x, y, c, r);
        return {c, r};
    }
    static std::set<int> Rows(const std::set<std::pair<int, int>>& cells) {
        std::set<int> rows;
        for (const auto& cell : cells) rows.insert(cell.second);
        return rows;
    }

    TStringGrid grid{&Window(), 7, 101};
    std::vector<MouseDown> clicks;
    std::set<std::pair<int, int>> drawn;
};

TEST_F(GridTest, LeftClickSelectsTheCellBeforeTheEventRuns) {
    ASSERT_EQ(GetFocus(), Hwnd());
    ClickCell(2, 3);
    ASSERT_EQ(clicks.size(), 1u);
    const POINT p = Center(2, 3);
    EXPECT_EQ(clicks[0].button, TMouseButton::Left);
    EXPECT_EQ(clicks[0].shift, ui::ssLeft);
    EXPECT_EQ(clicks[0].x, p.x);
    EXPECT_EQ(clicks[0].y, p.y);
    EXPECT_EQ(clicks[0].rowThen, 3);
    EXPECT_EQ(grid.Row(), 3);
    EXPECT_EQ(grid.Col(), 2);

    ClickCell(0, 7, Button::Left, MK_SHIFT | MK_CONTROL);
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[1].shift, ui::ssShift | ui::ssCtrl | ui::ssLeft);
    EXPECT_EQ(grid.Row(), 7);
}

TEST_F(GridTest, RightAndMiddleClicksReportButLeaveTheSelection) {
    grid.SetRow(3);
    ClickCell(1, 5, Button::Right);
    ClickCell(1, 6, Button::Middle);
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0].button, TMouseButton::Right);
    EXPECT_EQ(clicks[0].shift, ui::ssRight);
    EXPECT_EQ(clicks[1].button, TMouseButton::Middle);
    EXPECT_EQ(grid.Row(), 3);
}

TEST_F(GridTest, ClicksOnTheTitleAndOutsideTheCellsAreReportedOnly) {
    grid.SetDefaultColWidth(60);
    grid.SetRowCount(4);
    grid.SetRow(2);
    ClickCell(3, 0);
    const RECT last = grid.CellRect(6, 3);
    Click(Hwnd(), 10, last.bottom + 20);
    Click(Hwnd(), last.right + 10, last.top + 4);
    ASSERT_EQ(clicks.size(), 3u);
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_EQ(CellAt(clicks[0].x, clicks[0].y), std::make_pair(3, 0));
    EXPECT_EQ(CellAt(clicks[1].x, clicks[1].y), std::make_pair(-1, -1));
    EXPECT_EQ(CellAt(clicks[2].x, clicks[2].y), std::make_pair(-1, -1));
}

TEST_F(GridTest, MouseToCellAtBordersAndBeyondTheLastRowAndColumn) {
    const RECT a = grid.CellRect(0, 1);
    EXPECT_EQ(CellAt(a.right - 1, a.top), std::make_pair(0, 1));
    EXPECT_EQ(CellAt(a.right, a.top), std::make_pair(0, 1));  // the grid line is the cell's own
    EXPECT_EQ(CellAt(a.right + 1, a.top), std::make_pair(1, 1));
    EXPECT_EQ(CellAt(a.left, a.bottom), std::make_pair(0, 1));
    EXPECT_EQ(CellAt(a.left, a.bottom + 1), std::make_pair(0, 2));
    EXPECT_EQ(CellAt(a.left, grid.CellRect(0, 0).bottom), std::make_pair(0, 0));
    EXPECT_EQ(CellAt(-1, a.top), std::make_pair(-1, -1));

    grid.SetRowCount(4);
    const RECT last = grid.CellRect(6, 3);
    EXPECT_EQ(CellAt(last.left, last.bottom), std::make_pair(6, 3));
    EXPECT_EQ(CellAt(last.left, last.bottom + 1), std::make_pair(-1, -1));
    EXPECT_EQ(CellAt(last.right, last.top), std::make_pair(6, 3));
    EXPECT_EQ(CellAt(last.right + 1, last.top), std::make_pair(-1, -1));

    grid.SetRowCount(1000);
    grid.SetTopRow(50);
    EXPECT_EQ(CellAt(a.left, a.top), std::make_pair(0, 50));
    EXPECT_EQ(CellAt(a.left, 2), std::make_pair(0, 0));
}

TEST_F(GridTest, RefusedCellsAreNotSelectedByMouseOrKeys) {
    std::vector<std::pair<int, int>> asked;
    grid.OnSelectCell = [&](TStringGrid&, int c, int r, bool& can) {
        asked.push_back({c, r});
        can = r != 4;
    };
    ClickCell(0, 3);
    EXPECT_EQ(grid.Row(), 3);
    ClickCell(1, 4);
    EXPECT_EQ(grid.Row(), 3);
    EXPECT_EQ(asked.back(), std::make_pair(1, 4));
    PressKey(VK_DOWN);
    EXPECT_EQ(grid.Row(), 3);
    PressKey(VK_UP);
    EXPECT_EQ(grid.Row(), 2);
    PressKey(VK_END);
    EXPECT_EQ(grid.Row(), 100);
    PressKey(VK_HOME);
    EXPECT_EQ(grid.Row(), 1);
    PressKey(VK_NEXT);
    EXPECT_EQ(grid.Row(), 1 + grid.VisibleRowCount());
    PressKey(VK_PRIOR);
    EXPECT_EQ(grid.Row(), 1);
}

TEST_F(GridTest, KeyHandlerRunsFirstAndCanSwallowTheKey) {
    std::vector<WORD> seen;
    grid.OnKeyDown = [&](ui::TControl&, WORD& key, TShiftState) {
        seen.push_back(key);
        if (key == VK_DOWN) key = 0;
    };
    grid.SetRow(5);
    PressKey(VK_DOWN);
    EXPECT_EQ(grid.Row(), 5);
    PressKey(VK_UP);
    EXPECT_EQ(grid.Row(), 4);
    EXPECT_EQ(seen, (std::vector<WORD>{VK_DOWN, VK_UP}));
    EXPECT_EQ(SendMessageA(Hwnd(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTCHARS);
}

TEST_F(GridTest, DraggingATitleBorderResizesTheColumn) {
    const RECT title = grid.CellRect(1, 0);
    Drag(Hwnd(), {title.right, 8}, {title.right + 30, 8});
    EXPECT_EQ(grid.ColWidth(1), 110);
    EXPECT_EQ(grid.ColWidth(0), 80);
    EXPECT_EQ(grid.ColWidth(2), 80);
    EXPECT_EQ(grid.CellRect(2, 1).left, title.left + 111);
    EXPECT_TRUE(clicks.empty());  // a resize is no title click

    // Grabbed a little left of the line, the line follows the mouse.
    const int line = grid.CellRect(1, 0).right;
    Drag(Hwnd(), {line - 2, 5}, {line - 22, 5});
    EXPECT_EQ(grid.ColWidth(1), 90);
    Drag(Hwnd(), {grid.CellRect(1, 0).right, 5}, {0, 5});
    EXPECT_EQ(grid.ColWidth(1), 0);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(GridTest, OnlyTitleBordersResizeAndOnlyWithColSizing) {
    const RECT cell = grid.CellRect(1, 2);
    Drag(Hwnd(), {cell.right, cell.top + 5}, {cell.right + 30, cell.top + 5});
    EXPECT_EQ(grid.ColWidth(1), 80);
    EXPECT_EQ(grid.Row(), 2);

    ui::TGridOptions options;
    options.ColSizing = false;
    grid.SetOptions(options);
    const RECT title = grid.CellRect(1, 0);
    Drag(Hwnd(), {title.right, 8}, {title.right + 30, 8});
    EXPECT_EQ(grid.ColWidth(1), 80);
    EXPECT_EQ(clicks.size(), 2u);
}

TEST_F(GridTest, TitleBordersShowTheSizingCursor) {
    const HCURSOR sizing = LoadCursorA(nullptr, IDC_SIZEWE);
    auto cursorAt = [&](int x, int y) {
        POINT p{x, y};
        ClientToScreen(Hwnd(), &p);
        SetCursorPos(p.x, p.y);
        SetCursor(nullptr);
        SendMessageA(Hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    const RECT title = grid.CellRect(1, 0);
    EXPECT_EQ(cursorAt(title.right + 2, 8), sizing);
    EXPECT_NE(cursorAt(title.right - 10, 8), sizing);
    EXPECT_NE(cursorAt(title.right, grid.CellRect(1, 2).top + 4), sizing);
}

TEST_F(GridTest, ScrollingTenThousandRowsPaintsOnlyWhatComesIntoView) {
    grid.SetRowCount(10001);
    grid.BeginUpdate();
    for (int r = 1; r <= 10000; ++r) grid.SetCell(0, r, std::to_string(r));
    grid.EndUpdate();
    Flush();
    const int visible = grid.VisibleRowCount();
    ASSERT_GT(visible, 5);

    SendMessageA(Hwnd(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(grid.TopRow(), 2);
    std::set<int> rows = Rows(Painted());
    ASSERT_FALSE(rows.empty());
    EXPECT_GE(*rows.begin(), 2 + visible - 1);  // only the strip that scrolled in
    EXPECT_EQ(rows.count(0), 0u);

    SendMessageA(Hwnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(grid.TopRow(), 2 + visible);
    rows = Rows(Painted());
    EXPECT_EQ(*rows.begin(), 2 + visible);
    EXPECT_LE(*rows.rbegin(), 2 + 2 * visible);

    SendMessageA(Hwnd(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(grid.TopRow(), 10001 - visible);
    rows = Rows(Painted());
    EXPECT_EQ(*rows.rbegin(), 10000);
    EXPECT_LE(rows.size(), static_cast<size_t>(visible) + 1);
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(Hwnd(), SB_VERT, &info);
    EXPECT_EQ(info.nMax, 9999);
    EXPECT_EQ(info.nPos, grid.TopRow() - 1);

    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    const int top = grid.TopRow();
    SendMessageA(Hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(grid.TopRow(), top - static_cast<int>(lines));
    SendMessageA(Hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA / 2)), 0);
    EXPECT_EQ(grid.TopRow(), top - static_cast<int>(lines));
    SendMessageA(Hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA / 2)), 0);
    EXPECT_EQ(grid.TopRow(), top);

    SendMessageA(Hwnd(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(grid.TopRow(), 1);
    grid.SetRow(5000);
    EXPECT_LE(grid.TopRow(), 5000);
    EXPECT_GT(grid.TopRow() + visible, 5000);
    rows = Rows(Painted());
    EXPECT_TRUE(rows.count(5000));
    EXPECT_LE(rows.size(), static_cast<size_t>(visible) + 2);
}

TEST_F(GridTest, SetCellRepaintsThatCellAndBeginUpdateHoldsOff) {
    grid.SetCell(3, 2, "x");
    EXPECT_EQ(Painted(), (std::set<std::pair<int, int>>{{3, 2}}));
    grid.SetCell(3, 2, "x");
    EXPECT_FALSE(GetUpdateRect(Hwnd(), nullptr, FALSE));

    grid.BeginUpdate();
    for (int r = 1; r < 50; ++r) grid.SetCell(1, r, "y");
    grid.SetRowCount(60);
    EXPECT_FALSE(GetUpdateRect(Hwnd(), nullptr, FALSE));
    grid.EndUpdate();
    const auto cells = Painted();
    EXPECT_EQ(cells.size(), 7u * static_cast<size_t>(grid.VisibleRowCount() + 2));
    EXPECT_EQ(grid.Cell(1, 49), "y");

    grid.SetCell(7, 1, "outside");
    grid.SetCell(0, 60, "outside");
    EXPECT_EQ(grid.Cell(7, 1), "");
    EXPECT_EQ(grid.Cell(0, 60), "");
    EXPECT_EQ(grid.Cell(-1, 0), "");
}

TEST_F(GridTest, RowCountKeepsRemainingCellsAndClearEmptiesTitlesToo) {
    grid.SetCell(2, 0, "title");
    grid.SetCell(2, 5, "five");
    grid.SetCell(2, 50, "fifty");
    grid.SetRow(50);
    grid.SetRowCount(10);
    EXPECT_EQ(grid.Row(), 9);
    EXPECT_EQ(grid.Cell(2, 5), "five");
    grid.SetRowCount(60);
    EXPECT_EQ(grid.Cell(2, 50), "");
    grid.SetColCount(3);
    EXPECT_EQ(grid.Cell(2, 5), "five");
    grid.SetColCount(7);
    EXPECT_EQ(grid.ColWidth(6), 80);
    grid.ClearCells();
    EXPECT_EQ(grid.Cell(2, 0), "");
    EXPECT_EQ(grid.Cell(2, 5), "");
}

// What the pages do for numbers: fill with the canvas brush, move the top
// down two pixels and draw right-aligned.
void RightAlignColumnOne(TStringGrid& grid, int col, int row, const RECT& rect, ui::TGridDrawState) {
    if (col != 1 || row == 0) return;
    grid.Canvas().FillRect(rect);
    RECT r = rect;
    r.top += 2;
    const std::string& text = grid.Cell(col, row);
    DrawTextA(grid.Canvas().Handle(), text.c_str(), static_cast<int>(text.size()), &r, DT_RIGHT);
}

void ExpectRightAlignedRows(const ClientImage& image, const TStringGrid& grid) {
    const COLORREF window = GetSysColor(COLOR_WINDOW), highlight = GetSysColor(COLOR_HIGHLIGHT);
    for (int row : {2, 3}) {
        SCOPED_TRACE(row);
        const COLORREF background = row == 2 ? highlight : window;
        const RECT numbers = grid.CellRect(1, row), plain = grid.CellRect(0, row);
        EXPECT_EQ(image.Pixel(numbers.left + 1, numbers.top + 1), background);
        EXPECT_EQ(image.Pixel(plain.left + 1, plain.bottom - 1), background);
        const auto right = image.Differing(numbers, background);
        const auto left = image.Differing(plain, background);
        ASSERT_FALSE(right.empty());
        ASSERT_FALSE(left.empty());
        auto byX = [](POINT a, POINT b) { return a.x < b.x; };
        auto byY = [](POINT a, POINT b) { return a.y < b.y; };
        EXPECT_GE(std::max_element(right.begin(), right.end(), byX)->x, numbers.right - 3);
        EXPECT_GT(std::min_element(right.begin(), right.end(), byX)->x, numbers.left + 30);
        EXPECT_GE(std::min_element(right.begin(), right.end(), byY)->y, numbers.top + 2);
        EXPECT_LE(std::min_element(left.begin(), left.end(), byX)->x, plain.left + 4);
        EXPECT_LT(std::max_element(left.begin(), left.end(), byX)->x, plain.left + 50);
        EXPECT_GE(std::min_element(left.begin(), left.end(), byY)->y, plain.top + 2);
    }
    const RECT title = grid.CellRect(5, 0);
    EXPECT_EQ(image.Pixel((title.left + title.right) / 2, (title.top + title.bottom) / 2), kTitleColour);
}

TEST_F(GridTest, DrawCellHandlerRightAlignsAndKeepsTheHighlight) {
    grid.OnDrawCell = RightAlignColumnOne;
    for (int row : {2, 3}) {
        grid.SetCell(0, row, "8888");
        grid.SetCell(1, row, "8888");
    }
    grid.SetRow(2);
    ExpectRightAlignedRows(ClientImage::Printed(Hwnd()), grid);
    InvalidateRect(Hwnd(), nullptr, FALSE);
    UpdateWindow(Hwnd());
    Pump();
    ExpectRightAlignedRows(ClientImage::OnScreen(Hwnd()), grid);
}

TEST_F(GridTest, RealMouseAndKeyboardInputReachTheGrid) {
    grid.SetFocus();
    POINT p = Center(1, 4);
    ClientToScreen(Hwnd(), &p);
    SetCursorPos(p.x, p.y);
    INPUT mouse[2]{};
    mouse[0].type = mouse[1].type = INPUT_MOUSE;
    mouse[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    mouse[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, mouse, sizeof(INPUT));
    ASSERT_TRUE(PumpUntil([&] { return !clicks.empty(); }));
    EXPECT_EQ(grid.Row(), 4);
    EXPECT_EQ(clicks[0].button, TMouseButton::Left);

    INPUT keys[2]{};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_DOWN;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
    EXPECT_TRUE(PumpUntil([&] { return grid.Row() == 5; }));
}

// The rename page's arrangement: only column 2 can be chosen, and it edits.
class EditGridTest : public GridTest {
protected:
    EditGridTest() {
        ui::TGridOptions options;
        options.RowSelect = false;
        options.Editing = true;
        grid.SetOptions(options);
        grid.OnSelectCell = [](TStringGrid&, int c, int, bool& can) { can = c == 2; };
        grid.OnSetEditText = [this](TStringGrid&, int c, int r, const std::string& text) {
            edits.emplace_back(c, r, text);
        };
        for (int r = 1; r < grid.RowCount(); ++r) grid.SetCell(2, r, "name" + std::to_string(r));
        Flush();
    }
    std::vector<std::tuple<int, int, std::string>> edits;
};

TEST_F(EditGridTest, TypingEditsTheCellAndReportsEveryChange) {
    ClickCell(2, 1);
    ASSERT_EQ(grid.Col(), 2);
    EXPECT_FALSE(grid.EditorActive());
    Type("ab");
    EXPECT_TRUE(grid.EditorActive());
    EXPECT_NE(GetFocus(), Hwnd());
    EXPECT_EQ(grid.Cell(2, 1), "ab");
    using Edit = std::tuple<int, int, std::string>;
    EXPECT_EQ(edits, (std::vector<Edit>{{2, 1, "a"}, {2, 1, "ab"}}));

    PressKey(VK_ESCAPE);
    EXPECT_FALSE(grid.EditorActive());
    EXPECT_EQ(GetFocus(), Hwnd());
    EXPECT_EQ(grid.Cell(2, 1), "name1");
    EXPECT_EQ(edits.back(), (Edit{2, 1, "name1"}));

    PressKey(VK_F2);
    ASSERT_TRUE(grid.EditorActive());
    Type("X");
    PressKey(VK_RETURN);
    EXPECT_FALSE(grid.EditorActive());
    EXPECT_EQ(grid.Cell(2, 1), "name1X");
    EXPECT_EQ(edits.back(), (Edit{2, 1, "name1X"}));
    EXPECT_EQ(GetFocus(), Hwnd());

    PressKey(VK_RETURN);
    ASSERT_TRUE(grid.EditorActive());
    PressKey(VK_END);
    Type("Y");
    PressKey(VK_TAB);
    EXPECT_FALSE(grid.EditorActive());
    EXPECT_EQ(grid.Cell(2, 1), "name1XY");
}

TEST_F(EditGridTest, DoubleByteNamesTypedOnTheGridArriveWhole) {
    ClickCell(2, 3);
    PostChars(Hwnd(), "新ｶﾅ名");
    EXPECT_TRUE(grid.EditorActive());
    EXPECT_EQ(grid.Cell(2, 3), "新ｶﾅ名");
    std::vector<std::string> texts;
    for (const auto& edit : edits) texts.push_back(std::get<2>(edit));
    EXPECT_EQ(texts, (std::vector<std::string>{"新", "新ｶ", "新ｶﾅ", "新ｶﾅ名"}));
}

TEST_F(EditGridTest, OnlyCellsSelectCellAllowsCanBeEdited) {
    ClickCell(3, 1);
    EXPECT_EQ(grid.Col(), 0);
    Type("z");
    PressKey(VK_F2);
    EXPECT_FALSE(grid.EditorActive());
    grid.SetCol(3);  // placed there by the program, still not editable
    Type("z");
    EXPECT_FALSE(grid.EditorActive());
    EXPECT_EQ(grid.Cell(3, 1), "");
    EXPECT_TRUE(edits.empty());

    ui::TGridOptions options;
    options.RowSelect = false;
    grid.SetOptions(options);
    ClickCell(2, 1);
    Type("z");
    PressKey(VK_F2);
    EXPECT_FALSE(grid.EditorActive());
    EXPECT_EQ(grid.Cell(2, 1), "name1");
}

TEST_F(EditGridTest, ClicksOpenTheEditorAndFocusLossCommits) {
    DoubleClick(Hwnd(), Center(2, 2).x, Center(2, 2).y);
    ASSERT_TRUE(grid.EditorActive());
    EXPECT_EQ(grid.Row(), 2);
    Type("!");
    EXPECT_EQ(grid.Cell(2, 2), "name2!");
    ClickCell(2, 4);
    EXPECT_FALSE(grid.EditorActive());
    EXPECT_EQ(grid.Row(), 4);
    EXPECT_EQ(grid.Cell(2, 2), "name2!");
    ClickCell(2, 4);  // a second click on the current cell
    EXPECT_TRUE(grid.EditorActive());
    SetFocus(Window().Handle());
    Pump();
    EXPECT_FALSE(grid.EditorActive());
}

TEST_F(EditGridTest, EditorClosesWhenTheGridScrollsOrResizes) {
    grid.SetRow(3);
    grid.SetCol(2);
    PressKey(VK_F2);
    Type("+");
    ASSERT_TRUE(grid.EditorActive());
    SendMessageA(Hwnd(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_FALSE(grid.EditorActive());
    EXPECT_EQ(grid.Cell(2, 3), "name3+");
    EXPECT_EQ(GetFocus(), Hwnd());

    PressKey(VK_F2);
    ASSERT_TRUE(grid.EditorActive());
    grid.SetBounds(0, 0, 500, 300);
    Pump();
    EXPECT_FALSE(grid.EditorActive());

    PressKey(VK_F2);
    ASSERT_TRUE(grid.EditorActive());
    PressKey(VK_DOWN);  // leaves the editor for the next row
    EXPECT_FALSE(grid.EditorActive());
    EXPECT_EQ(grid.Row(), 4);
}

TEST(GridResources, GdiObjectsStayLevelOverAThousandRefills) {
    TStringGrid grid(&Window(), 7, 2);
    grid.SetBounds(0, 0, 600, 400);
    grid.OnDrawCell = RightAlignColumnOne;
    auto cycle = [&](int i) {
        grid.BeginUpdate();
        grid.ClearCells();
        grid.SetRowCount(i % 2 ? 60 : 120);
        for (int r = 1; r < grid.RowCount(); ++r)
            for (int c = 0; c < 7; ++c) grid.SetCell(c, r, std::to_string(r * c + i));
        grid.EndUpdate();
        grid.SetFixedColor(RGB(i % 256, 200, 200));
        grid.SetRow(1 + i % 50);
        UpdateWindow(grid.Handle());
    };
    cycle(0);
    Pump();
    const long before = GdiObjectLevel();
    for (int i = 1; i <= 1000; ++i) cycle(i);
    Pump();
    EXPECT_LE(GdiObjectLevel() - before, 2);
}

TEST(GridResources, GridsDestroyedWhileEditingLeaveNothingBehind) {
    auto session = [&] {
        TStringGrid grid(&Window(), 3, 10);
        grid.SetBounds(0, 0, 400, 300);
        ui::TGridOptions options;
        options.Editing = true;
        grid.SetOptions(options);
        SetForegroundWindow(Window().Handle());
        grid.SetFocus();
        PressKey(VK_F2);
        Type("abc");
        EXPECT_TRUE(grid.EditorActive());
    };
    session();
    const long before = GdiObjectLevel();
    for (int i = 0; i < 20; ++i) session();
    EXPECT_LE(GdiObjectLevel() - before, 2);
    EXPECT_TRUE(IsWindow(Window().Handle()));
}

}  // namespace
