#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/gdi.h"

namespace ui {

enum class TAlign { None, Top, Bottom, Left, Right, Client };

enum class TMouseButton { Left, Right, Middle };

// Modifier keys and mouse buttons held, as a bit set.
using TShiftState = unsigned;
inline constexpr TShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32;
// The set held right now, read from the keyboard state of this thread.
TShiftState CurrentShiftState();

struct TFontSpec {
    std::string Name = "ＭＳ Ｐゴシック";
    int Height = 12;  // pixels
    COLORREF Color = RGB(0, 0, 0);
    bool Bold = false;
};

class TControl;
using TKeyEvent = std::function<void(TControl& sender, WORD& key, TShiftState shift)>;
using TNotifyEvent = std::function<void(TControl& sender)>;

// Base of every control: owns its window, knows its parent and children, lays
// out aligned children, carries the hint and the font. The window is
// subclassed so that a control sees its own messages, and parents reflect
// WM_COMMAND, WM_NOTIFY and WM_CTLCOLOR* back to the child that sent them.
// The window's user data holds its control.
class TControl {
public:
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;
    virtual ~TControl();

    HWND Handle() const { return hwnd_; }
    TControl* Parent() const { return parent_; }
    const std::vector<TControl*>& Controls() const { return children_; }
    // nullptr for a window that is not a control's.
    static TControl* FromHandle(HWND hwnd);

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const;  // in the parent's client coordinates
    int Width() const;
    int Height() const;
    // Places aligned children in creation order: top, bottom, left and right
    // ones take their strip, then client ones fill what is left.
    void Realign();

    void SetFont(const TFontSpec& font);
    const TFontSpec& Font() const { return font_; }
    // Background colour; CLR_INVALID keeps the control's default.
    void SetColor(COLORREF color);
    COLORREF Color() const { return color_; }

    void SetVisible(bool visible);
    bool Visible() const;
    void SetEnabled(bool enabled);
    bool Enabled() const;
    void SetFocus();
    bool Focused() const;

    std::string Text() const;
    void SetText(std::string_view text);

    // Empty means the nearest enclosing control's hint applies.
    std::string Hint;
    // A pop-up tool tip as well as the status-bar line.
    bool ShowHint = false;

    TKeyEvent OnKeyDown;

protected:
    explicit TControl(TControl* parent);
    // A control without a parent is a top-level window; owner is then the
    // window that owns it (nullptr for none).
    void CreateHandle(const char* className, DWORD style, DWORD exStyle, int left, int top, int width,
                      int height, HWND owner = nullptr);
    virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp);

    // Reflected from the parent.
    virtual void Command(WORD /*code*/) {}
    virtual LRESULT Notify(NMHDR& /*header*/) { return 0; }
    // Colours a static or edit child; nullptr keeps the default.
    virtual HBRUSH CtlColor(HDC dc);
    // Draws one item of an owner-drawn child; false leaves it to the default.
    virtual bool DrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
    // The colour brush CtlColor returns: the control's own colour, or with
    // inherit the nearest coloured parent's (what labels and check boxes sit
    // on), else the system colour fallback; nullptr when neither colour nor
    // font colour differ from the default.
    HBRUSH ColorBrush(HDC dc, bool inherit, int fallback = COLOR_BTNFACE) const;
    // Fills the client area with the control's colour (its WM_ERASEBKGND).
    void FillBackground(HDC dc) const;

    // Runs a notify event, if set, as Guarded does.
    void Fire(const TNotifyEvent& event);
    // Called after the font changed (the window already has the new font).
    virtual void FontChanged() {}
    HFONT FontHandle() const { return hfont_.get(); }

    void AdjustClientRect(RECT& rect) const;
    virtual void AdjustAlignRect(RECT& /*rect*/) const {}
    // The height a control aligned to the top or bottom takes when its
    // parent lays it out, room being the height left for it and what follows.
    virtual int AlignedHeight(int /*room*/) { return Height(); }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT CallBaseProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) const;
    // Hands a key to the form's OnKeyPreview first; true when it took it.
    bool KeyPreviewed(WPARAM wp);
    void ApplyFont();

    HWND hwnd_ = nullptr;
    // The window's procedure before the subclass, and its character set.
    WNDPROC baseProc_ = nullptr;
    bool unicode_ = false;
    TControl* parent_ = nullptr;
    std::vector<TControl*> children_;
    TAlign align_ = TAlign::None;
    TFontSpec font_;
    GdiObject<HFONT> hfont_;
    COLORREF color_ = CLR_INVALID;
    GdiObject<HBRUSH> brush_;
};

// Runs an event handler; an exception it raises ends the event and is shown
// in the application's error box, and the window stays usable.
void Guarded(const std::function<void()>& handler);
// Where Guarded reports errors; the application object installs its box here.
void SetExceptionHandler(std::function<void(const std::exception&)> handler);

}  // namespace ui
