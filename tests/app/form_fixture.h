#pragma once
// The real main window on a scratch folder, for tests that drive it as a
// user would.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/zev_form.h"
#include "tests/core/temp_tree.h"
#include "tests/ui/gui_test_util.h"
#include "ui/application.h"

class FormTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ui::Application().Initialize();
        ui::Application().SetTitle("zev : ディスク最新情報");
    }

    void SetUp() override {
        errors.clear();
        ui::SetExceptionHandler([this](const std::exception& e) { errors.emplace_back(e.what()); });
        SetCurrentDirectoryA(tree.Root().c_str());
    }

    void TearDown() override { form.reset(); }

    TForm1& Open(std::vector<DiskPath> args = {}) {
        form = std::make_unique<TForm1>(std::move(args));
        form->Show();
        zev_test::Pump();
        return *form;
    }

    // A real click on the tab of the page at that index.
    void ClickTab(int index) {
        RECT r{};
        TabCtrl_GetItemRect(form->DiskPage.Handle(), index, &r);
        zev_test::RealClick(form->DiskPage.Handle(), zev_test::Center(r));
    }

    static POINT CenterOf(const ui::TControl& control) {
        RECT r{};
        GetClientRect(control.Handle(), &r);
        return zev_test::Center(r);
    }

    // A files-dropped handle holding the paths, as Explorer hands it over.
    static HDROP MakeDrop(const std::vector<std::string>& paths) {
        size_t bytes = sizeof(DROPFILES) + 1;
        for (const std::string& p : paths) bytes += p.size() + 1;
        HGLOBAL memory = GlobalAlloc(GHND, bytes);
        auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
        drop->pFiles = sizeof(DROPFILES);
        drop->fWide = FALSE;
        char* out = reinterpret_cast<char*>(drop + 1);
        for (const std::string& p : paths) {
            memcpy(out, p.c_str(), p.size() + 1);
            out += p.size() + 1;
        }
        GlobalUnlock(memory);
        return static_cast<HDROP>(memory);
    }

    // The same with one path in UTF-16, as Explorer hands over any name.
    static HDROP MakeWideDrop(const std::wstring& path) {
        HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t));
        auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
        drop->pFiles = sizeof(DROPFILES);
        drop->fWide = TRUE;
        memcpy(drop + 1, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
        GlobalUnlock(memory);
        return static_cast<HDROP>(memory);
    }

    void Drop(const std::vector<std::string>& paths) {
        PostMessageA(form->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
        zev_test::Pump();
    }

    std::vector<std::string> FileNames() const {
        std::vector<std::string> names;
        for (int row = 1; row + 1 < form->FileGrid.RowCount(); ++row) names.push_back(form->FileGrid.Cell(0, row));
        return names;
    }

    TempTree tree;
    std::unique_ptr<TForm1> form;
    std::vector<std::string> errors;
};
