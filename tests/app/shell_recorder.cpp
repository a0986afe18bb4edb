#include "tests/app/page_test.h"
#include "ui/shell.h"

std::vector<ShellCall>& ShellCalls()
{
    static std::vector<ShellCall> calls;
    return calls;
}

std::vector<WideShellCall>& WideShellCalls()
{
    static std::vector<WideShellCall> calls;
    return calls;
}

// Stands in for the shell's own, which the library would link in.
void ui::ShellOpen(HWND owner, const std::string& operation, const DiskPath& file, const DiskPath& parameters,
                   const DiskPath& directory, int show)
{
    ShellCalls().push_back({operation, file.Shown, parameters.Shown, directory.Shown, show, owner});
    WideShellCalls().push_back({file.Wide, parameters.Wide, directory.Wide});
}
