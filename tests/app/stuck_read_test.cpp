// A walk whose read-ahead worker never comes back from a read (a share that
// stopped answering): Esc ends the walk, and the window closes and the
// program ends without waiting for the worker. Asked from another process,
// which gives the program 20 s, far beyond any slowness.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/zev_form.h"
#include "core/read_ahead.h"
#include "tests/core/temp_tree.h"
#include "tests/ui/gui_test_util.h"
#include "ui/application.h"

namespace {

const wchar_t kFolderVariable[] = L"ZEV_STUCK_FOLDER";
const char kChildTest[] = "StuckReadTest.DISABLED_ChildWalksClosesAndEnds";

// Wide, as the path's last character's trail byte is "\\".
std::wstring Variable(const wchar_t* name)
{
    wchar_t value[MAX_PATH]{};
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    return length < MAX_PATH ? std::wstring(value, length) : std::wstring();
}

// Run only by StuckReadTest.TheWindowClosesAndTheProgramEnds, in a process
// of its own.
TEST(StuckReadTest, DISABLED_ChildWalksClosesAndEnds)
{
    const std::wstring wide = Variable(kFolderVariable);
    ASSERT_FALSE(wide.empty());
    const DiskPath folder(ShownText(wide), wide);
    ui::Application().Initialize();
    TForm1 form({folder});
    form.Show();
    zev_test::Pump();
    // Every worker from now on stays inside its first read for good.
    ReadAheadSetup.BeforeWorkerOpens = [](const std::wstring&) { Sleep(INFINITE); };
    PostMessageA(form.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    form.RefreshTree(folder);
    PostMessageA(form.Handle(), WM_CLOSE, 0, 0);
    ui::Application().Run(form);
    // The window has closed: the parent looks for this file.
    const HANDLE marker = CreateFileW((wide + L"\\closed").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(marker, INVALID_HANDLE_VALUE);
    CloseHandle(marker);
}

TEST(StuckReadTest, TheWindowClosesAndTheProgramEnds)
{
    TempTree tree;
    for (const char* sub : {"フォルダ1", "フォルダ2", "フォルダ3", "フォルダ4", "フォルダ5"}) {
        tree.Folder(sub);
        tree.Folder(std::string(sub) + "\\下");
        tree.File(std::string(sub) + "\\下\\a.txt", 1);
    }
    SetEnvironmentVariableW(kFolderVariable, WideText(tree.Root()).c_str());
    char self[MAX_PATH]{};
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string command = std::string("\"") + self + "\" --gtest_also_run_disabled_tests --gtest_filter=" + kChildTest;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
    const DWORD waited = WaitForSingleObject(child.hProcess, 20000);
    if (waited != WAIT_OBJECT_0)
        TerminateProcess(child.hProcess, 1);
    DWORD code = 1;
    GetExitCodeProcess(child.hProcess, &code);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    SetEnvironmentVariableW(kFolderVariable, nullptr);
    EXPECT_EQ(waited, WAIT_OBJECT_0);
    EXPECT_EQ(code, 0u);
    EXPECT_NE(GetFileAttributesA(tree.Path("closed").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
