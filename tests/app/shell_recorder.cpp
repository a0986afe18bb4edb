#include "tests/app/page_test.h"
#include "ui/shell.h"

std::vector<ShellCall>& ShellCalls()
{
    static std::vector<ShellCall> calls;
    return calls;
}

// Stands in for the shell's own, which the library would link in.
void ui::ShellOpen(HWND owner, const std::string& operation, const std::string& file, const std::string& parameters,
                   const std::string& directory, int show)
{
    ShellCalls().push_back({operation, file, parameters, directory, show, owner});
}
