#pragma once
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string_view>

#include "ui/control.h"

namespace ui {

// A sizeable top-level window, owned by the application window so that the
// task bar shows the application's title while the form keeps its caption.
// Closing it destroys it; closing the application's main form ends the
// message loop.
class TForm : public TControl {
public:
    // Outer size and position in screen pixels, as given (never scaled).
    TForm(std::string_view caption, int left, int top, int width, int height);
    ~TForm() override;

    // Runs OnShow the first time, then shows and activates the window.
    void Show();
    // As if the user closed the window.
    void Close();

    std::function<void(TForm&)> OnShow;
    // Sees a key pressed on any control of the form before the control does;
    // a key set to 0 goes no further.
    TKeyEvent OnKeyPreview;

    // The window's files-dropped message. The handler owns the drop handle:
    // this one only lets it go.
    virtual void FilesDropped(HDROP drop);

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool shown_ = false;
    // The child that had the focus when the form was last deactivated.
    HWND lastFocus_ = nullptr;
};

}  // namespace ui
