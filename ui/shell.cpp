#include "ui/shell.h"

#include <shellapi.h>

namespace ui {

void ShellOpen(HWND owner, const std::string& operation, const std::string& file, const std::string& parameters,
               const std::string& directory, int show) {
    ShellExecuteA(owner, operation.c_str(), file.c_str(), parameters.c_str(), directory.c_str(), show);
}

}  // namespace ui
