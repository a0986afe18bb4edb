#pragma once
#include <windows.h>

#include <string>

namespace ui {

// ShellExecuteA with every text passed as given (empty ones as empty
// strings); whether the program started is not examined.
void ShellOpen(HWND owner, const std::string& operation, const std::string& file, const std::string& parameters,
               const std::string& directory, int show);

}  // namespace ui
