#include "app/walk_status.h"

#include <windows.h>

#include "core/number_format.h"
#include "ui/application.h"

bool TakeEscapeKey()
{
    // Looking at the queue is also what makes Wine bring the X server's key
    // events into it; the X11 driver reads them only then.
    MSG msg{};
    if (PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE) && msg.wParam == VK_ESCAPE) {
        PeekMessageA(&msg, msg.hwnd, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE);
        if (PeekMessageA(&msg, nullptr, WM_KEYUP, WM_KEYUP, PM_NOREMOVE) && msg.wParam == VK_ESCAPE)
            PeekMessageA(&msg, msg.hwnd, WM_KEYUP, WM_KEYUP, PM_REMOVE);
        return true;
    }
    // An Esc queued behind another key cannot be taken out alone; while it is
    // held down it still counts, but only in one of our own windows, not in
    // whatever program the user went on to.
    if ((GetAsyncKeyState(VK_ESCAPE) & 0x8000) == 0)
        return false;
    const HWND foreground = GetForegroundWindow();
    return foreground && GetWindowThreadProcessId(foreground, nullptr) == GetCurrentThreadId();
}

WalkStatus::WalkStatus(ui::TStatusBar& bar, ui::TControl& window, Purpose purpose, std::int64_t total)
    : bar_(bar), window_(window), purpose_(purpose), total_(total),
      progress_(*this, purpose == Purpose::Rename ? 1 : WalkProgress::kEntriesPerLook)
{
}

WalkStatus::~WalkStatus()
{
    if (purpose_ == Purpose::Rename)
        return;
    if (progress_.stopped())
        Say(purpose_ == Purpose::Refresh ? "Esc で中断しました。表示は途中までの結果です。"
                                             : "Esc で中断しました。クリップボードは変わっていません。");
    else if (shown_)
        Say(ui::Application().Hint());
    else
        return;
    // What runs after the walk may keep the message loop waiting a while yet.
    UpdateWindow(bar_.Handle());
}

void WalkStatus::Say(const std::string& text) { bar_.SetPanelText(" " + text); }

std::uint32_t WalkStatus::Milliseconds() { return GetTickCount(); }

bool WalkStatus::StopRequested() { return TakeEscapeKey(); }

void WalkStatus::Show(std::int64_t files, std::int64_t folders)
{
    if (purpose_ == Purpose::Rename)
        Say("名前を変更中: " + FormatNumber(files) + " / " + FormatNumber(total_) + " (Esc で中断)");
    else
        Say("読み込み中: " + FormatNumber(files) + " ファイル, " + FormatNumber(folders)
            + " フォルダ (Esc で中断)");
    // No message loop runs during the walk: whatever waits to be painted (the
    // bar, a tab just chosen, a page just shown) is painted now. Input stays
    // in the queue.
    RedrawWindow(window_.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    shown_ = true;
}
