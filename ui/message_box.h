#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace ui {

// A modal information box with the buttons "はい(&Y)" (the default) and
// "いいえ(&N)"; Esc and the close box answer No. The text may hold "\n" line
// feeds. True for Yes.
bool AskYesNo(HWND owner, std::string_view text, std::string_view caption);

// The system's question box in wide text, so that any name shows as it is,
// with No as the default button. True for Yes.
bool AskYesNoDefaultNo(HWND owner, const std::wstring& text, const std::wstring& caption);

// The system's error box in wide text.
void ShowErrorBox(HWND owner, const std::wstring& text, const std::wstring& caption);

}  // namespace ui
