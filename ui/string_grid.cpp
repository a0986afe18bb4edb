#include "ui/string_grid.h"

#include <commctrl.h>

#include "ui/window_class.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace ui {
namespace {

constexpr char kClassName[] = "ZevStringGrid";
constexpr UINT_PTR kEditorSubclassId = 1;
constexpr int kBorderGrab = 3;  // pixels either side of a title border that start a resize
constexpr int kTextMargin = 2;

// BeginPaint and EndPaint for one scope, so a failing handler still validates.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &ps_)) {}
    ~PaintScope() { EndPaint(hwnd_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC dc() const { return dc_; }
    const RECT& area() const { return ps_.rcPaint; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// The colour percent of the way from one colour to the other.
COLORREF Blend(COLORREF from, COLORREF to, int percent) {
    auto mix = [percent](int a, int b) { return static_cast<BYTE>(a + (b - a) * percent / 100); };
    return RGB(mix(GetRValue(from), GetRValue(to)), mix(GetGValue(from), GetGValue(to)),
               mix(GetBValue(from), GetBValue(to)));
}

RECT ToRect(const GridRect& r) { return {r.left, r.top, r.right, r.bottom}; }

TShiftState MouseShift(WPARAM wp) {
    TShiftState s = 0;
    if (wp & MK_SHIFT) s |= ssShift;
    if (wp & MK_CONTROL) s |= ssCtrl;
    if (wp & MK_LBUTTON) s |= ssLeft;
    if (wp & MK_RBUTTON) s |= ssRight;
    if (wp & MK_MBUTTON) s |= ssMiddle;
    if (GetKeyState(VK_MENU) & 0x8000) s |= ssAlt;
    return s;
}

std::string WindowText(HWND hwnd) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

void TCanvas::FillRect(const RECT& rect) const { ::FillRect(dc_, &rect, brush_); }

struct TStringGrid::Impl {
    explicit Impl(TStringGrid& grid) : self(grid) {}

    TStringGrid& self;
    GridLayout layout;
    std::vector<std::string> cells;  // row by row
    int col = 0, row = GridLayout::kFixedRows;
    TGridOptions options;
    int defaultColWidth = 64;
    GdiObject<HBRUSH> fixedBrush{CreateSolidBrush(GetSysColor(COLOR_BTNFACE))};
    HFONT font = nullptr;
    int updateLock = 0;
    int wheelRest = 0;
    bool settingScrollBars = false;

    int sizingCol = -1;
    int sizingOffset = 0;  // grab point relative to the column's right line

    HWND editor = nullptr;
    bool editing = false;  // also the guard against re-entry while it closes
    bool loadingEditor = false;
    int editCol = 0, editRow = 0;
    std::string editOriginal;
    char leadByte = 0;  // first byte of a double-byte character typed on the grid

    HWND hwnd() const { return self.Handle(); }
    bool Live() const { return hwnd() && updateLock == 0; }
    int ColCount() const { return layout.ColCount(); }
    int RowCount() const { return layout.RowCount(); }
    bool IsCell(int c, int r) const { return c >= 0 && c < ColCount() && r >= 0 && r < RowCount(); }
    bool IsDataCell(int c, int r) const { return IsCell(c, r) && r >= GridLayout::kFixedRows; }
    std::string& At(int c, int r) { return cells[static_cast<size_t>(r) * static_cast<size_t>(ColCount()) + static_cast<size_t>(c)]; }

    // Painting.
    void Paint(HDC target, const RECT& area);
    void PaintRow(HDC dc, int r, GridSpan cols);
    void Invalidate() {
        if (Live()) InvalidateRect(hwnd(), nullptr, FALSE);
    }
    void InvalidateCell(int c, int r) {
        if (!Live()) return;
        const GridRect g = layout.CellRect(c, r);
        if (g.Empty()) return;
        const RECT rect{g.left, g.top, g.right + GridLayout::kLineWidth, g.bottom + GridLayout::kLineWidth};
        InvalidateRect(hwnd(), &rect, FALSE);
    }
    void InvalidateRow(int r) {
        if (!Live() || layout.CellRect(0, r).Empty()) return;
        const RECT rect{0, layout.RowTop(r), layout.ClientWidth(), layout.RowTop(r) + layout.RowPitch()};
        InvalidateRect(hwnd(), &rect, FALSE);
    }

    // Scrolling.
    void SyncClientSize();
    void UpdateScrollBars();
    void ScrollToTop(int top);
    void ScrollToX(int x);
    void ScrollIntoView(int c, int r);
    void VScroll(WORD code);
    void HScroll(WORD code);
    void Wheel(short delta);
    void Resized();

    // Selection.
    bool Allows(int c, int r) const {
        bool can = true;
        if (self.OnSelectCell) self.OnSelectCell(self, c, r, can);
        return can;
    }
    bool TrySelect(int c, int r) {
        if (!IsDataCell(c, r) || !Allows(c, r)) return false;
        MoveCurrent(c, r);
        return true;
    }
    void MoveCurrent(int c, int r);
    bool Key(WORD key);

    // Mouse.
    void MouseDown(TMouseButton button, WPARAM wp, LPARAM lp, bool doubleClick);
    bool OverTitleBorder(int x, int y) const {
        return options.ColSizing && layout.RowAt(y) == 0 && layout.ColBorderAt(x, kBorderGrab) >= 0;
    }
    void SetColWidth(int c, int width);

    // In-place editing.
    bool CanEdit(int c, int r) const { return options.Editing && IsDataCell(c, r) && Allows(c, r); }
    void ShowEditor(bool keepText);
    void CloseEditor(bool restore, bool moveFocus);
    void EditorChanged();
    void Char(WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK EditorProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);
};

// ---- Painting -------------------------------------------------------------

void TStringGrid::Impl::Paint(HDC target, const RECT& area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return;
    MemoryDC buffer(target, width, height);
    HDC dc = buffer.get();
    // The buffer takes client coordinates, so handlers draw where the cell is.
    SetWindowOrgEx(dc, area.left, area.top, nullptr);
    SelectedObject keepFont(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SelectedObject keepBrush(dc, GetStockObject(WHITE_BRUSH));
    SetBkMode(dc, TRANSPARENT);
    ::FillRect(dc, &area, GetSysColorBrush(COLOR_WINDOW));
    const GridSpan cols = layout.ColsIn(area.left, area.right);
    if (!cols.Empty()) {
        if (layout.TitleIn(area.top, area.bottom)) PaintRow(dc, 0, cols);
        const GridSpan rows = layout.DataRowsIn(area.top, area.bottom);
        for (int r = rows.first; r <= rows.last; ++r) PaintRow(dc, r, cols);
    }
    BitBlt(target, area.left, area.top, width, height, dc, area.left, area.top, SRCCOPY);
}

void TStringGrid::Impl::PaintRow(HDC dc, int r, GridSpan cols) {
    const bool fixed = r < GridLayout::kFixedRows;
    const bool current = !fixed && r == row;
    const HWND focus = GetFocus();
    const bool focused = focus && (focus == hwnd() || focus == editor);
    const auto lines = static_cast<HBRUSH>(GetStockObject(fixed ? BLACK_BRUSH : LTGRAY_BRUSH));
    for (int c = cols.first; c <= cols.last; ++c) {
        const RECT rect = ToRect(layout.CellRect(c, r));
        if (rect.right <= rect.left) continue;
        TGridDrawState state = 0;
        if (fixed) state |= gdFixed;
        if (current && (options.RowSelect || c == col)) state |= gdSelected;
        if (current && c == col && focused) state |= gdFocused;
        const bool selected = state & gdSelected;
        HBRUSH brush = fixed ? fixedBrush.get() : GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
        SelectObject(dc, brush);
        SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : self.Font().Color);
        ::FillRect(dc, &rect, brush);
        const std::string& text = At(c, r);
        if (!text.empty())
            ExtTextOutA(dc, rect.left + kTextMargin, rect.top + kTextMargin, ETO_CLIPPED, &rect, text.data(),
                        static_cast<UINT>(text.size()), nullptr);
        if (self.OnDrawCell) {
            self.SetCanvas(dc, brush);
            self.OnDrawCell(self, c, r, rect, state);
        }
        if (fixed) {
            RECT edge = rect;
            DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
        }
        const RECT right{rect.right, rect.top, rect.right + GridLayout::kLineWidth, rect.bottom + GridLayout::kLineWidth};
        const RECT below{rect.left, rect.bottom, rect.right, rect.bottom + GridLayout::kLineWidth};
        ::FillRect(dc, &right, lines);
        ::FillRect(dc, &below, lines);
    }
}

// ---- Scrolling ------------------------------------------------------------

void TStringGrid::Impl::SyncClientSize() {
    RECT client{};
    GetClientRect(hwnd(), &client);
    layout.SetClientSize(client.right, client.bottom);
}

void TStringGrid::Impl::UpdateScrollBars() {
    // Showing or hiding one bar resizes the client area, which can call for
    // the other bar; the nested WM_SIZE lands here and is left to this loop.
    if (!hwnd() || settingScrollBars) return;
    settingScrollBars = true;
    for (int pass = 0; pass < 3; ++pass) {
        SyncClientSize();
        const int width = layout.ClientWidth(), height = layout.ClientHeight();
        SCROLLINFO v{sizeof v, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(layout.DataRowCount() - 1, 0),
                     static_cast<UINT>(layout.VisibleRowCount()), layout.TopRow() - GridLayout::kFixedRows, 0};
        SetScrollInfo(hwnd(), SB_VERT, &v, TRUE);
        SCROLLINFO h{sizeof h, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(layout.ContentWidth() - 1, 0),
                     static_cast<UINT>(width), layout.ScrollX(), 0};
        SetScrollInfo(hwnd(), SB_HORZ, &h, TRUE);
        SyncClientSize();
        if (layout.ClientWidth() == width && layout.ClientHeight() == height) break;
    }
    settingScrollBars = false;
}

void TStringGrid::Impl::ScrollToTop(int top) {
    const int before = layout.TopRow();
    layout.SetTopRow(top);
    const int after = layout.TopRow();
    if (after == before) return;
    CloseEditor(false, true);
    if (!hwnd()) return;
    SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, after - GridLayout::kFixedRows, 0};
    SetScrollInfo(hwnd(), SB_VERT, &info, TRUE);
    if (!Live()) return;
    // Parts waiting to be painted would otherwise keep stale pixels that the
    // scroll has moved.
    if (GetUpdateRect(hwnd(), nullptr, FALSE)) UpdateWindow(hwnd());
    const RECT data{0, GridLayout::kFixedRows * layout.RowPitch(), layout.ClientWidth(), layout.ClientHeight()};
    const long long dy = static_cast<long long>(before - after) * layout.RowPitch();
    if (std::llabs(dy) < data.bottom - data.top)
        ScrollWindowEx(hwnd(), 0, static_cast<int>(dy), &data, &data, nullptr, nullptr, SW_INVALIDATE);
    else
        InvalidateRect(hwnd(), &data, FALSE);
}

void TStringGrid::Impl::ScrollToX(int x) {
    const int before = layout.ScrollX();
    layout.SetScrollX(x);
    const int after = layout.ScrollX();
    if (after == before) return;
    CloseEditor(false, true);
    if (!hwnd()) return;
    SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, after, 0};
    SetScrollInfo(hwnd(), SB_HORZ, &info, TRUE);
    if (!Live()) return;
    if (GetUpdateRect(hwnd(), nullptr, FALSE)) UpdateWindow(hwnd());
    const RECT client{0, 0, layout.ClientWidth(), layout.ClientHeight()};
    if (std::abs(before - after) < client.right)
        ScrollWindowEx(hwnd(), before - after, 0, &client, &client, nullptr, nullptr, SW_INVALIDATE);
    else
        InvalidateRect(hwnd(), &client, FALSE);
}

void TStringGrid::Impl::ScrollIntoView(int c, int r) {
    if (r >= GridLayout::kFixedRows) {
        const int visible = std::max(layout.VisibleRowCount(), 1);
        if (r < layout.TopRow())
            ScrollToTop(r);
        else if (r >= layout.TopRow() + visible)
            ScrollToTop(r - visible + 1);
    }
    if (!options.RowSelect && c >= 0 && c < ColCount()) {
        const int left = layout.ColLeft(c), right = left + layout.ColWidth(c);
        if (left < 0)
            ScrollToX(layout.ScrollX() + left);
        else if (right > layout.ClientWidth())
            ScrollToX(layout.ScrollX() + std::min(right - layout.ClientWidth(), left));
    }
}

void TStringGrid::Impl::VScroll(WORD code) {
    const int top = layout.TopRow(), page = std::max(layout.VisibleRowCount(), 1);
    switch (code) {
    case SB_LINEUP: ScrollToTop(top - 1); break;
    case SB_LINEDOWN: ScrollToTop(top + 1); break;
    case SB_PAGEUP: ScrollToTop(top - page); break;
    case SB_PAGEDOWN: ScrollToTop(top + page); break;
    case SB_TOP: ScrollToTop(GridLayout::kFixedRows); break;
    case SB_BOTTOM: ScrollToTop(layout.MaxTopRow()); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        if (code == SB_THUMBTRACK && !options.ThumbTracking) break;
        // The message carries only 16 bits of the position; the bar has all 32.
        SCROLLINFO info{sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
        GetScrollInfo(hwnd(), SB_VERT, &info);
        ScrollToTop(info.nTrackPos + GridLayout::kFixedRows);
        break;
    }
    default: break;
    }
}

void TStringGrid::Impl::HScroll(WORD code) {
    const int x = layout.ScrollX(), line = layout.RowPitch(), page = std::max(layout.ClientWidth(), 1);
    switch (code) {
    case SB_LINELEFT: ScrollToX(x - line); break;
    case SB_LINERIGHT: ScrollToX(x + line); break;
    case SB_PAGELEFT: ScrollToX(x - page); break;
    case SB_PAGERIGHT: ScrollToX(x + page); break;
    case SB_LEFT: ScrollToX(0); break;
    case SB_RIGHT: ScrollToX(layout.MaxScrollX()); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        if (code == SB_THUMBTRACK && !options.ThumbTracking) break;
        SCROLLINFO info{sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
        GetScrollInfo(hwnd(), SB_HORZ, &info);
        ScrollToX(info.nTrackPos);
        break;
    }
    default: break;
    }
}

void TStringGrid::Impl::Wheel(short delta) {
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    const int step = lines == WHEEL_PAGESCROLL ? std::max(layout.VisibleRowCount(), 1) : static_cast<int>(lines);
    // Fine-grained wheels send fractions of a notch; they add up.
    wheelRest += delta;
    const int notches = wheelRest / WHEEL_DELTA;
    wheelRest %= WHEEL_DELTA;
    if (notches != 0) ScrollToTop(layout.TopRow() - notches * step);
}

void TStringGrid::Impl::Resized() {
    CloseEditor(false, true);
    const int top = layout.TopRow(), x = layout.ScrollX();
    SyncClientSize();
    UpdateScrollBars();
    // Only newly exposed parts need painting unless the clamp moved the view.
    if (layout.TopRow() != top || layout.ScrollX() != x) Invalidate();
}

// ---- Selection and keys -----------------------------------------------------

void TStringGrid::Impl::MoveCurrent(int c, int r) {
    if (editing && (c != editCol || r != editRow)) CloseEditor(false, true);
    const int before = row;
    const bool moved = c != col || r != row;
    col = c;
    row = r;
    // Scrolled first, so both rows are invalidated where they now are.
    ScrollIntoView(c, r);
    if (!moved) return;
    InvalidateRow(before);
    InvalidateRow(row);
}

bool TStringGrid::Impl::Key(WORD key) {
    const int page = std::max(layout.VisibleRowCount(), 1);
    const int first = GridLayout::kFixedRows, last = RowCount() - 1;
    auto moveTo = [&](int r) {
        if (last >= first && std::clamp(r, first, last) != row) TrySelect(col, std::clamp(r, first, last));
    };
    switch (key) {
    case VK_UP: moveTo(row - 1); return true;
    case VK_DOWN: moveTo(row + 1); return true;
    case VK_PRIOR: moveTo(row - page); return true;
    case VK_NEXT: moveTo(row + page); return true;
    case VK_HOME: moveTo(first); return true;
    case VK_END: moveTo(last); return true;
    case VK_LEFT:
    case VK_RIGHT: {
        const int step = key == VK_LEFT ? -1 : 1;
        if (options.RowSelect)
            ScrollToX(layout.ScrollX() + step * layout.RowPitch());
        else if (col + step >= 0 && col + step < ColCount())
            TrySelect(col + step, row);
        return true;
    }
    case VK_F2:
    case VK_RETURN:
        if (!options.Editing) return false;
        ShowEditor(true);
        return true;
    default: return false;
    }
}

// ---- Mouse ----------------------------------------------------------------

void TStringGrid::Impl::MouseDown(TMouseButton button, WPARAM wp, LPARAM lp, bool doubleClick) {
    const int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
    if (GetFocus() != hwnd()) ::SetFocus(hwnd());
    if (button == TMouseButton::Left) {
        if (!doubleClick && OverTitleBorder(x, y)) {
            // Starting a resize is no click on the title.
            sizingCol = layout.ColBorderAt(x, kBorderGrab);
            sizingOffset = x - (layout.ColLeft(sizingCol) + layout.ColWidth(sizingCol));
            SetCapture(hwnd());
            return;
        }
        int c = -1, r = -1;
        self.MouseToCell(x, y, c, r);
        if (IsDataCell(c, r)) {
            // A second click on the current cell, or a double click, edits it.
            if (c == col && r == row) {
                if (CanEdit(c, r)) ShowEditor(true);
            } else if (TrySelect(c, r) && doubleClick && CanEdit(c, r)) {
                ShowEditor(true);
            }
        }
    }
    if (self.OnMouseDown) self.OnMouseDown(self, button, MouseShift(wp), x, y);
}

void TStringGrid::Impl::SetColWidth(int c, int width) {
    if (c < 0 || c >= ColCount() || layout.ColWidth(c) == std::max(width, 0)) return;
    CloseEditor(false, true);
    const int x = layout.ScrollX(), left = layout.ColLeft(c);
    layout.SetColWidth(c, width);
    if (!hwnd()) return;
    UpdateScrollBars();
    if (!Live()) return;
    if (layout.ScrollX() != x) {
        Invalidate();
        return;
    }
    // Everything right of the column's left edge moves.
    const RECT strip{std::max(left, 0), 0, layout.ClientWidth(), layout.ClientHeight()};
    InvalidateRect(hwnd(), &strip, FALSE);
}

// ---- In-place editing -----------------------------------------------------

void TStringGrid::Impl::ShowEditor(bool keepText) {
    if (editing || !CanEdit(col, row)) return;
    ScrollIntoView(col, row);
    const GridRect cell = layout.CellRect(col, row);
    if (cell.Empty()) return;
    if (!editor) {
        editor = CreateWindowExA(0, "EDIT", "", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 0, 0, hwnd(), nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        if (!editor) return;
        SetWindowSubclass(editor, EditorProc, kEditorSubclassId, reinterpret_cast<DWORD_PTR>(this));
    }
    SendMessageA(editor, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageA(editor, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(kTextMargin, kTextMargin));
    editCol = col;
    editRow = row;
    editOriginal = At(col, row);
    loadingEditor = true;
    SetWindowTextA(editor, keepText ? editOriginal.c_str() : "");
    loadingEditor = false;
    MoveWindow(editor, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top, FALSE);
    editing = true;
    ShowWindow(editor, SW_SHOW);
    ::SetFocus(editor);
    const auto end = static_cast<WPARAM>(GetWindowTextLengthA(editor));
    SendMessageA(editor, EM_SETSEL, end, static_cast<LPARAM>(end));
}

void TStringGrid::Impl::CloseEditor(bool restore, bool moveFocus) {
    if (!editing) return;
    editing = false;
    if (restore && IsCell(editCol, editRow) && At(editCol, editRow) != editOriginal) {
        At(editCol, editRow) = editOriginal;
        if (self.OnSetEditText) self.OnSetEditText(self, editCol, editRow, editOriginal);
    }
    if (moveFocus && GetFocus() == editor) ::SetFocus(hwnd());
    ShowWindow(editor, SW_HIDE);
    InvalidateCell(editCol, editRow);
}

void TStringGrid::Impl::EditorChanged() {
    if (!editing || loadingEditor || !IsCell(editCol, editRow)) return;
    std::string text = WindowText(editor);
    At(editCol, editRow) = text;
    if (self.OnSetEditText) self.OnSetEditText(self, editCol, editRow, text);
}

void TStringGrid::Impl::Char(WPARAM wp, LPARAM lp) {
    // A character typed on the grid opens the editor and goes into it, and so
    // do the characters already queued behind it. A double-byte character
    // comes as two messages; it is put in whole, since not every edit control
    // pairs the bytes of WM_CHAR itself.
    const auto byte = static_cast<char>(wp);
    std::string text;
    if (leadByte) {
        text = {std::exchange(leadByte, '\0'), byte};
    } else if (IsDBCSLeadByte(static_cast<BYTE>(byte))) {
        leadByte = byte;
        return;
    } else if (static_cast<unsigned char>(byte) >= 0x20 && byte != 0x7F) {
        text = byte;
    } else {
        if (editing) SendMessageA(editor, WM_CHAR, wp, lp);
        return;
    }
    if (!editing) ShowEditor(false);
    if (editing) SendMessageA(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

LRESULT CALLBACK TStringGrid::Impl::EditorProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    auto& m = *reinterpret_cast<Impl*>(ref);
    switch (msg) {
    case WM_GETDLGCODE: return DefSubclassProc(hwnd, msg, wp, lp) | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
        switch (wp) {
        case VK_RETURN:
        case VK_TAB: Guarded([&] { m.CloseEditor(false, true); }); return 0;
        case VK_ESCAPE: Guarded([&] { m.CloseEditor(true, true); }); return 0;
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
            // The grid moves on from the cell, as it does without the editor.
            Guarded([&] { m.CloseEditor(false, true); });
            return SendMessageA(m.hwnd(), msg, wp, lp);
        default: break;
        }
        break;
    case WM_CHAR:
        if (wp == '\r' || wp == '\t' || wp == VK_ESCAPE) return 0;  // no beep for the keys handled above
        break;
    case WM_KILLFOCUS: {
        const LRESULT result = DefSubclassProc(hwnd, msg, wp, lp);
        Guarded([&] { m.CloseEditor(false, false); });
        return result;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, EditorProc, kEditorSubclassId);
        m.editor = nullptr;
        m.editing = false;
        break;
    default: break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

// ---- The control ----------------------------------------------------------

void TStringGrid::Register() { EnsureWindowClass(kClassName, CS_DBLCLKS); }

TStringGrid::TStringGrid(TControl* parent, int colCount, int rowCount)
    : TControl(parent), impl_(std::make_unique<Impl>(*this)) {
    Impl& m = *impl_;
    m.layout.SetColCount(std::max(colCount, 1), m.defaultColWidth);
    m.layout.SetRowCount(std::max(rowCount, 1));
    m.cells.resize(static_cast<size_t>(m.layout.ColCount()) * static_cast<size_t>(m.layout.RowCount()));
    Register();
    CreateHandle(kClassName, WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | WS_CLIPCHILDREN,
                 WS_EX_CLIENTEDGE, 0, 0, 200, 100);
    m.UpdateScrollBars();
}

TStringGrid::~TStringGrid() {
    // The editor goes first, while the state its procedure reaches still exists.
    if (HWND editor = impl_->editor) {
        RemoveWindowSubclass(editor, Impl::EditorProc, kEditorSubclassId);
        impl_->editor = nullptr;
        impl_->editing = false;
        DestroyWindow(editor);
    }
}

void TStringGrid::DrawCellRight(int col, int row, const RECT& rect, double barShare) {
    canvas_.FillRect(rect);
    const int barWidth = static_cast<int>(std::clamp(barShare, 0.0, 1.0) * (rect.right - rect.left) + 0.5);
    if (barWidth > 0) {
        LOGBRUSH back{};
        GetObjectA(canvas_.brush_, sizeof back, &back);
        const RECT bar{rect.right - barWidth, rect.top, rect.right, rect.bottom};
        // A fifth of the way to the text's colour: the bar shows on any row,
        // the selected one too, and the number stays readable on it.
        GdiObject<HBRUSH> brush(CreateSolidBrush(Blend(back.lbColor, GetTextColor(canvas_.dc_), 20)));
        ::FillRect(canvas_.dc_, &bar, brush.get());
    }
    RECT text = rect;
    text.top += 2;
    const std::string& cell = Cell(col, row);
    DrawTextA(canvas_.Handle(), cell.data(), static_cast<int>(cell.size()), &text, DT_RIGHT);
}

void TStringGrid::DrawCellText(int col, int row, const RECT& rect, COLORREF color) {
    canvas_.FillRect(rect);
    const std::string& cell = Cell(col, row);
    const COLORREF before = SetTextColor(canvas_.Handle(), color);
    ExtTextOutA(canvas_.Handle(), rect.left + kTextMargin, rect.top + kTextMargin, ETO_CLIPPED, &rect, cell.data(),
                static_cast<UINT>(cell.size()), nullptr);
    SetTextColor(canvas_.Handle(), before);
}

void TStringGrid::SetCanvas(HDC dc, HBRUSH brush) {
    canvas_.dc_ = dc;
    canvas_.brush_ = brush;
}

int TStringGrid::ColCount() const { return impl_->ColCount(); }

void TStringGrid::SetColCount(int count) {
    Impl& m = *impl_;
    count = std::max(count, 1);
    if (count == m.ColCount()) return;
    m.CloseEditor(false, true);
    std::vector<std::string> cells(static_cast<size_t>(count) * static_cast<size_t>(m.RowCount()));
    for (int r = 0; r < m.RowCount(); ++r)
        for (int c = 0; c < std::min(count, m.ColCount()); ++c)
            cells[static_cast<size_t>(r) * static_cast<size_t>(count) + static_cast<size_t>(c)] = std::move(m.At(c, r));
    m.cells = std::move(cells);
    m.layout.SetColCount(count, m.defaultColWidth);
    m.col = std::min(m.col, count - 1);
    m.UpdateScrollBars();
    m.Invalidate();
}

int TStringGrid::RowCount() const { return impl_->RowCount(); }

void TStringGrid::SetRowCount(int count) {
    Impl& m = *impl_;
    count = std::max(count, 1);
    if (count == m.RowCount()) return;
    if (m.editRow >= count) m.CloseEditor(false, true);
    m.cells.resize(static_cast<size_t>(count) * static_cast<size_t>(m.ColCount()));
    m.layout.SetRowCount(count);
    m.row = std::clamp(m.row, GridLayout::kFixedRows, std::max(count - 1, GridLayout::kFixedRows));
    m.UpdateScrollBars();
    m.Invalidate();
}

const std::string& TStringGrid::Cell(int col, int row) const {
    static const std::string empty;
    return impl_->IsCell(col, row) ? impl_->At(col, row) : empty;
}

void TStringGrid::SetCell(int col, int row, std::string_view text) {
    Impl& m = *impl_;
    if (!m.IsCell(col, row)) return;
    std::string& cell = m.At(col, row);
    if (cell == text) return;
    cell.assign(text);
    m.InvalidateCell(col, row);
}

void TStringGrid::ClearCells() {
    for (std::string& cell : impl_->cells) cell.clear();
    impl_->Invalidate();
}

int TStringGrid::ColWidth(int col) const { return impl_->layout.ColWidth(col); }

void TStringGrid::SetColWidth(int col, int width) { impl_->SetColWidth(col, width); }

void TStringGrid::SetDefaultColWidth(int width) {
    Impl& m = *impl_;
    m.CloseEditor(false, true);
    m.defaultColWidth = std::max(width, 0);
    m.layout.SetAllColWidths(m.defaultColWidth);
    m.UpdateScrollBars();
    m.Invalidate();
}

void TStringGrid::SetDefaultRowHeight(int height) {
    Impl& m = *impl_;
    m.CloseEditor(false, true);
    m.layout.SetRowHeight(height);
    m.UpdateScrollBars();
    m.Invalidate();
}

void TStringGrid::SetFixedColor(COLORREF color) {
    impl_->fixedBrush.reset(CreateSolidBrush(color));
    impl_->InvalidateRow(0);
}

void TStringGrid::SetOptions(const TGridOptions& options) {
    Impl& m = *impl_;
    if (!options.Editing) m.CloseEditor(false, true);
    m.options = options;
    m.Invalidate();
}

int TStringGrid::Row() const { return impl_->row; }

void TStringGrid::SetRow(int row) {
    Impl& m = *impl_;
    if (m.RowCount() > GridLayout::kFixedRows)
        m.MoveCurrent(m.col, std::clamp(row, GridLayout::kFixedRows, m.RowCount() - 1));
}

int TStringGrid::Col() const { return impl_->col; }

void TStringGrid::SetCol(int col) { impl_->MoveCurrent(std::clamp(col, 0, impl_->ColCount() - 1), impl_->row); }

int TStringGrid::TopRow() const { return impl_->layout.TopRow(); }

void TStringGrid::SetTopRow(int row) { impl_->ScrollToTop(row); }

int TStringGrid::VisibleRowCount() const { return impl_->layout.VisibleRowCount(); }

void TStringGrid::MouseToCell(int x, int y, int& col, int& row) const {
    col = impl_->layout.ColAt(x);
    row = impl_->layout.RowAt(y);
    if (col < 0 || row < 0) col = row = -1;
}

RECT TStringGrid::CellRect(int col, int row) const { return ToRect(impl_->layout.CellRect(col, row)); }

void TStringGrid::BeginUpdate() { ++impl_->updateLock; }

void TStringGrid::EndUpdate() {
    Impl& m = *impl_;
    if (m.updateLock == 0 || --m.updateLock > 0) return;
    m.UpdateScrollBars();
    m.Invalidate();
}

bool TStringGrid::EditorActive() const { return impl_->editing; }

LRESULT TStringGrid::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    Impl& m = *impl_;
    switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PaintScope paint(Handle());
        m.Paint(paint.dc(), paint.area());
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT client{};
        GetClientRect(Handle(), &client);
        m.Paint(reinterpret_cast<HDC>(wp), client);
        return 0;
    }
    case WM_SETFONT:
        m.font = reinterpret_cast<HFONT>(wp);
        if (LOWORD(lp)) m.Invalidate();
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(m.font);
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SIZE: m.Resized(); break;
    case WM_VSCROLL: m.VScroll(LOWORD(wp)); return 0;
    case WM_HSCROLL: m.HScroll(LOWORD(wp)); return 0;
    case WM_MOUSEWHEEL: m.Wheel(static_cast<short>(HIWORD(wp))); return 0;
    case WM_KEYDOWN: {
        // The handler sees the key first and may change or swallow it.
        WORD key = static_cast<WORD>(wp);
        if (OnKeyDown) OnKeyDown(*this, key, CurrentShiftState());
        if (key == 0 || m.Key(key)) return 0;
        return DefaultProc(msg, key, lp);
    }
    case WM_CHAR: m.Char(wp, lp); return 0;
    case WM_LBUTTONDOWN: m.MouseDown(TMouseButton::Left, wp, lp, false); return 0;
    case WM_LBUTTONDBLCLK: m.MouseDown(TMouseButton::Left, wp, lp, true); return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: m.MouseDown(TMouseButton::Right, wp, lp, false); return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: m.MouseDown(TMouseButton::Middle, wp, lp, false); return 0;
    case WM_MOUSEMOVE:
        if (m.sizingCol >= 0) {
            const int x = static_cast<short>(LOWORD(lp));
            SetCursor(LoadCursorA(nullptr, IDC_SIZEWE));
            m.SetColWidth(m.sizingCol, x - m.sizingOffset - m.layout.ColLeft(m.sizingCol));
            return 0;
        }
        break;
    case WM_LBUTTONUP:
        if (m.sizingCol >= 0) {
            ReleaseCapture();
            return 0;
        }
        break;
    case WM_CAPTURECHANGED: m.sizingCol = -1; break;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wp) == Handle() && LOWORD(lp) == HTCLIENT) {
            POINT p{};
            GetCursorPos(&p);
            ScreenToClient(Handle(), &p);
            if (m.OverTitleBorder(p.x, p.y)) {
                SetCursor(LoadCursorA(nullptr, IDC_SIZEWE));
                return TRUE;
            }
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: m.InvalidateRow(m.row); break;
    case WM_COMMAND:
        if (m.editor && reinterpret_cast<HWND>(lp) == m.editor) {
            if (HIWORD(wp) == EN_CHANGE) m.EditorChanged();
            return 0;
        }
        break;
    default: break;
    }
    return TControl::WndProc(msg, wp, lp);
}

}  // namespace ui
