#include "app/clip_text.h"

#include "ui/clipboard.h"

std::string ClipText;

void AppendClipText(std::string_view piece) { ClipText += piece; }

void PlaceClipText(HWND owner) { ui::SetClipboardText(owner, ClipText); }
