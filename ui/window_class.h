#pragma once
#include <windows.h>

namespace ui {

// Registers, once per process, a window class of this module whose procedure
// is DefWindowProcA: the controls subclass their windows and see every
// message there. The class has the arrow cursor and no background brush (the
// controls erase their own background).
void EnsureWindowClass(const char* name, UINT style, HICON icon = nullptr);

// The program's icon (resource 1), or the system's application icon.
HICON ProgramIcon();

}  // namespace ui
