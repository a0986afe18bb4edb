#include "ui/cursor.h"

#include <windows.h>

namespace ui {
namespace {

int& Depth() {
    static int depth = 0;
    return depth;
}

}  // namespace

HourglassCursor::HourglassCursor() {
    ++Depth();
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

HourglassCursor::~HourglassCursor() {
    if (--Depth() == 0) SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

bool HourglassCursor::Active() { return Depth() > 0; }

}  // namespace ui
