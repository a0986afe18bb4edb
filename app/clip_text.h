#pragma once
#include <windows.h>

#include <string>
#include <string_view>

// The clipboard text being assembled by a page's copy: tab-separated items,
// rows ending in CR LF. It keeps its last content between copies.
extern std::string ClipText;

void AppendClipText(std::string_view piece);
// Replaces the clipboard's content with ClipText as CF_TEXT, the clipboard
// owned by the window given.
void PlaceClipText(HWND owner);
