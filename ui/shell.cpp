#include "ui/shell.h"

#include <shellapi.h>

namespace ui {

void ShellOpen(HWND owner, const std::string& operation, const DiskPath& file, const DiskPath& parameters,
               const DiskPath& directory, int show) {
    ShellExecuteW(owner, WideText(operation).c_str(), LongForm(file.Wide).c_str(), LongForm(parameters.Wide).c_str(),
                  LongForm(directory.Wide).c_str(), show);
}

}  // namespace ui
