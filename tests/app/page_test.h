#pragma once
// The real main window, shown, for the tests of one of its grid pages. What a
// page would start through the shell (Explorer, a file's program) is recorded
// instead of started; the clicks that ask for it are real.
#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "app/zev_form.h"
#include "core/sizes.h"
#include "tests/ui/gui_test_util.h"
#include "ui/application.h"
#include "ui/string_grid.h"

struct ShellCall {
    std::string operation, file, parameters, directory;
    int show;
    HWND owner;
    bool operator==(const ShellCall&) const = default;
};

inline void PrintTo(const ShellCall& call, std::ostream* out)
{
    *out << "{" << call.operation << ", " << call.file << ", " << call.parameters << ", " << call.directory << ", "
         << call.show << "}";
}

// The wide paths of the same call, which reach the entries.
struct WideShellCall {
    std::wstring file, parameters, directory;
};

// Every shell call since the test began (shell_recorder.cpp).
std::vector<ShellCall>& ShellCalls();
std::vector<WideShellCall>& WideShellCalls();

using Cells = std::vector<std::string>;

// The application object, set up once for the test program.
inline void InitializeApplication()
{
    static const bool initialized = [] {
        ui::Application().Initialize();
        return true;
    }();
    (void)initialized;
}

class PageTest : public testing::Test {
protected:
    // Without a grid for a page that has none.
    explicit PageTest(ui::TStringGrid TForm1::*grid = nullptr) : grid_(grid)
    {
        InitializeApplication();
        form.Show();
        zev_test::Pump();
        ClusterSize = 4096;
        RemoteFileSystem = false;
        ShellCalls().clear();
        WideShellCalls().clear();
        ui::SetExceptionHandler([this](const std::exception& e) { errors.emplace_back(e.what()); });
    }
    ~PageTest() override
    {
        RemoteFileSystem = false;
        CurrentFolder = {};
    }

    ui::TStringGrid& Grid() { return form.*grid_; }
    Cells Row(int row)
    {
        Cells cells;
        for (int col = 0; col < Grid().ColCount(); ++col)
            cells.push_back(Grid().Cell(col, row));
        return cells;
    }
    // A click posted to the grid in the middle of the cell.
    void ClickCell(int col, int row, zev_test::Button button = zev_test::Button::Left)
    {
        const POINT center = zev_test::Center(Grid().CellRect(col, row));
        zev_test::Click(Grid().Handle(), center.x, center.y, button);
    }
    // A click of the real mouse, through hit testing and the grid's own
    // mouse handling.
    void RealClickCell(int col, int row) { zev_test::RealClick(Grid().Handle(), zev_test::Center(Grid().CellRect(col, row))); }

    TForm1 form{{}};
    std::vector<std::string> errors;

private:
    ui::TStringGrid TForm1::*grid_;
};
