#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace ui {

// Replaces the clipboard's content with the text as CF_TEXT: its bytes and
// one terminating zero byte. Nothing happens while another program keeps
// the clipboard open.
void SetClipboardText(HWND owner, std::string_view text);
// The CF_TEXT on the clipboard up to its first zero byte; empty when none.
std::string ClipboardText(HWND owner);

}  // namespace ui
