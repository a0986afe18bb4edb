#pragma once
#include <windows.h>

#include <string>

#include "core/disk_path.h"

namespace ui {

// ShellExecuteW with every text passed as given (empty ones as empty
// strings), the paths in their wide form, which reaches any entry, and in
// the "\\?\" form where they are too long for anything else; whether the
// program started is not examined.
void ShellOpen(HWND owner, const std::string& operation, const DiskPath& file, const DiskPath& parameters,
               const DiskPath& directory, int show);

}  // namespace ui
