#include "folders/tree_map_view.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "ui/cursor.h"
#include "ui/window_class.h"

namespace {

constexpr char kMapClass[] = "ZevTreeMap";
constexpr char kLegendClass[] = "ZevMapLegend";
constexpr std::uint32_t kBackground = 0x282828;
constexpr int kSplitter = 5;
constexpr int kBarHeight = 22;
// Neither tree nor map gets smaller than this while the other can give way.
constexpr int kLeast = 40;

COLORREF ToColorRef(std::uint32_t color)
{
    return RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
}

}  // namespace

KeptBitmap::~KeptBitmap()
{
    Release();
}

void KeptBitmap::Release()
{
    if (dc_) {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    dc_ = nullptr;
    bitmap_.reset();
    bits_ = nullptr;
    width_ = height_ = 0;
}

bool KeptBitmap::Resize(int width, int height)
{
    if (bits_ && width == width_ && height == height_)
        return true;
    Release();
    if (width <= 0 || height <= 0)
        return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_ || !bits) {
        bitmap_.reset();
        return false;
    }
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bitmap_.get());
    bits_ = static_cast<std::uint32_t*>(bits);
    width_ = width;
    height_ = height;
    return true;
}

TTreeMapView::TTreeMapView(ui::TControl* parent, MapLayout& map) : TControl(parent), map_(map)
{
    ui::EnsureWindowClass(kMapClass, CS_DBLCLKS);
    CreateHandle(kMapClass, WS_VISIBLE | WS_TABSTOP, 0, 0, 0, 0, 0);
}

void TTreeMapView::SetBusy(bool busy)
{
    busy_ = busy;
    if (busy) {
        outline_ = {};
        outlineRect_ = {};
        Hint = MapHint;
    }
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TTreeMapView::Rebuild()
{
    if (busy_)
        return;
    RECT client{};
    GetClientRect(Handle(), &client);
    if (bitmap_.Resize(client.right, client.bottom)) {
        map_.Paint(bitmap_.Pixels(), kBackground);
        GdiFlush();
    }
    Relocate();
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TTreeMapView::ReleaseBitmap()
{
    bitmap_.Release();
    outline_ = {};
    outlineRect_ = {};
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TTreeMapView::SetOutline(const MapHit& target, bool folderOnly)
{
    const RECT before = OutlinePixels();
    InvalidateRect(Handle(), &before, FALSE);
    outline_ = target;
    outlineFolder_ = folderOnly;
    Relocate();
    const RECT after = OutlinePixels();
    InvalidateRect(Handle(), &after, FALSE);
}

void TTreeMapView::Relocate()
{
    if (outline_.Folder < 0)
        outlineRect_ = {};
    else if (outlineFolder_)
        outlineRect_ = map_.FolderRect(outline_.Folder);
    else
        outlineRect_ = map_.Locate(outline_);
}

RECT TTreeMapView::OutlinePixels() const
{
    const PixelSpan s = PixelsOf(outlineRect_, bitmap_.Pixels().width, bitmap_.Pixels().height);
    return RECT{s.x0, s.y0, s.x1, s.y1};
}

void TTreeMapView::Paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    const RECT& area = ps.rcPaint;
    const PixelBuffer pixels = bitmap_.Pixels();
    if (busy_ || !pixels.pixels) {
        ui::GdiObject<HBRUSH> brush(CreateSolidBrush(ToColorRef(kBackground)));
        FillRect(dc, &area, brush.get());
    } else {
        // Only what was invalidated is copied; past the bitmap's edge (the
        // window grew and the bitmap follows) shows the background.
        BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, bitmap_.DC(), area.left,
               area.top, SRCCOPY);
        const RECT frame = OutlinePixels();
        if (frame.right > frame.left && frame.bottom > frame.top) {
            FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            RECT inner = frame;
            InflateRect(&inner, -1, -1);
            if (inner.right > inner.left && inner.bottom > inner.top)
                FrameRect(dc, &inner, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        }
    }
    EndPaint(Handle(), &ps);
}

void TTreeMapView::ShowHintAt(int x, int y)
{
    const MapHit hit = busy_ ? MapHit{} : map_.HitTest(x, y);
    // The hint line picks the text up from here as from every control.
    Hint = hit.File >= 0 && FileHint ? FileHint(hit.File) : MapHint;
}

LRESULT TTreeMapView::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_SIZE: {
        const LRESULT result = TControl::WndProc(msg, wp, lp);
        Rebuild();
        return result;
    }
    case WM_MOUSEMOVE:
        ShowHintAt(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (busy_)
            return 0;
        if (msg == WM_LBUTTONDOWN)
            SetFocus();
        const MapHit hit = map_.HitTest(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        if (OnMapClick)
            ui::Guarded([&] {
                OnMapClick(hit, msg == WM_RBUTTONDOWN ? ui::TMouseButton::Right : ui::TMouseButton::Left,
                           msg == WM_LBUTTONDBLCLK);
            });
        return 0;
    }
    }
    return TControl::WndProc(msg, wp, lp);
}

TMapLegend::TMapLegend(ui::TControl* parent) : TControl(parent)
{
    ui::EnsureWindowClass(kLegendClass, 0);
    CreateHandle(kLegendClass, WS_VISIBLE, 0, 0, 0, 0, 0);
}

void TMapLegend::SetEntries(std::vector<LegendEntry> entries)
{
    entries_ = std::move(entries);
    InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT TMapLegend::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_ERASEBKGND:
        FillBackground(reinterpret_cast<HDC>(wp));
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Handle(), &ps);
        ui::SelectedObject font(dc, FontHandle());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        RECT client{};
        GetClientRect(Handle(), &client);
        int x = 4;
        for (const LegendEntry& entry : entries_) {
            RECT square{x, client.bottom / 2 - 5, x + 10, client.bottom / 2 + 5};
            ui::GdiObject<HBRUSH> brush(CreateSolidBrush(ToColorRef(entry.Color)));
            FillRect(dc, &square, brush.get());
            FrameRect(dc, &square, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            RECT text{x + 14, 0, client.right, client.bottom};
            DrawTextA(dc, entry.Text.c_str(), static_cast<int>(entry.Text.size()), &text,
                      DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_CALCRECT);
            const int textWidth = text.right - text.left;
            text = RECT{x + 14, 0, x + 14 + textWidth, client.bottom};
            DrawTextA(dc, entry.Text.c_str(), static_cast<int>(entry.Text.size()), &text,
                      DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
            x += 14 + textWidth + 12;
        }
        EndPaint(Handle(), &ps);
        return 0;
    }
    }
    return TControl::WndProc(msg, wp, lp);
}

TTreeMapPane::TTreeMapPane(ui::TControl* parent)
    : TPanel(parent),
      Layout(Records),
      Bar(this),
      Switches(&Bar),
      ByAge(&Switches, "更新日", 4, 2, 64, 18, true),
      ByKind(&Switches, "種類", 70, 2, 56, 18, false),
      Legend(&Bar),
      View(this, Layout)
{
    Bar.SetBounds(0, 0, 100, kBarHeight);
    Bar.SetAlign(ui::TAlign::Bottom);
    Switches.SetBounds(0, 0, 130, kBarHeight);
    Switches.SetAlign(ui::TAlign::Left);
    Legend.SetAlign(ui::TAlign::Client);
    View.SetAlign(ui::TAlign::Client);
    ByAge.SetChecked(true);
    ByAge.OnClick = [this](ui::TControl&) { ColoringClick(MapLayout::Coloring::Age); };
    ByKind.OnClick = [this](ui::TControl&) { ColoringClick(MapLayout::Coloring::Kind); };
    UpdateLegend();
}

void TTreeMapPane::AdjustAlignRect(RECT& rect) const
{
    TPanel::AdjustAlignRect(rect);
    rect.top += kSplitter;
}

void TTreeMapPane::SetHeight(int height)
{
    room_ = 0;
    SetBounds(0, 0, Width(), height);
    if (Parent())
        Parent()->Realign();
}

int TTreeMapPane::AlignedHeight(int room)
{
    // A page grown leaves the map as it is; a page shrunk takes from the
    // map first, the tree keeping its height.
    int wanted = Height();
    if (room_ > 0 && room < room_)
        wanted -= room_ - room;
    room_ = room;
    // The map keeps its least height; past that the tree gives way, down to
    // its own.
    return std::clamp(wanted, kLeast, std::max(kLeast, room - kLeast));
}

void TTreeMapPane::UpdateLegend()
{
    Legend.SetEntries(MapLegend(Records, Layout));
}

void TTreeMapPane::ColoringClick(MapLayout::Coloring coloring)
{
    if (View.Busy() || Layout.Colors() == coloring)
        return;
    ui::HourglassCursor hourglass;
    Layout.SetColoring(coloring);
    UpdateLegend();
    View.Rebuild();
}

LRESULT TTreeMapPane::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_SETCURSOR:
        // Over the strip only; the controls below keep their own cursors.
        if (reinterpret_cast<HWND>(wp) == Handle() && LOWORD(lp) == HTCLIENT && !ui::HourglassCursor::Active()) {
            SetCursor(LoadCursorA(nullptr, IDC_SIZENS));
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN: {
        POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ClientToScreen(Handle(), &at);
        dragging_ = true;
        dragY_ = at.y;
        dragHeight_ = Height();
        SetCapture(Handle());
        return 0;
    }
    case WM_MOUSEMOVE:
        if (dragging_ && Parent()) {
            POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            ClientToScreen(Handle(), &at);
            // The page's layout fits the height as it fits it on a resize.
            const int wanted = std::max(0, dragHeight_ - static_cast<int>(at.y - dragY_));
            if (wanted != Height()) {
                SetBounds(0, 0, Width(), wanted);
                Parent()->Realign();
            }
            return 0;
        }
        break;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (dragging_) {
            dragging_ = false;
            if (msg == WM_LBUTTONUP)
                ReleaseCapture();
            return 0;
        }
        break;
    }
    return TPanel::WndProc(msg, wp, lp);
}
