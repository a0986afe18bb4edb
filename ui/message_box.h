#pragma once
#include <windows.h>

#include <string_view>

namespace ui {

// A modal information box with the buttons "はい(&Y)" (the default) and
// "いいえ(&N)"; Esc and the close box answer No. The text may hold "\n" line
// feeds. True for Yes.
bool AskYesNo(HWND owner, std::string_view text, std::string_view caption);

}  // namespace ui
