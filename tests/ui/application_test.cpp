#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/ui/gui_test_util.h"
#include "ui/application.h"
#include "ui/button.h"
#include "ui/cursor.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/label.h"
#include "ui/panel.h"

namespace {

using zev_test::Center;
using zev_test::MoveMouseTo;

RECT ClientRect(const ui::TControl& control) {
    RECT r{};
    GetClientRect(control.Handle(), &r);
    return r;
}

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ui::Application().Initialize();
        ui::SetExceptionHandler([](const std::exception& e) { ADD_FAILURE() << "error box: " << e.what(); });
        ui::Application().OnHint = nullptr;
    }
    void TearDown() override { ui::Application().OnHint = nullptr; }
};

// Everything a hint test needs: a form with nested controls, some with
// hints of their own and some without.
struct HintForm {
    ui::TForm form{"hint form", 60, 60, 420, 300};
    ui::TPanel panel{&form};
    ui::TButton withHint{&panel, "A", 10, 10, 80, 25};
    ui::TButton withoutHint{&panel, "B", 100, 10, 80, 25};
    ui::TLabel label{&panel, 200, 15};
    ui::TEdit disabled{&panel, 200, 50, 100, 21};
    ui::TButton onForm{&form, "C", 10, 200, 80, 25};

    HintForm() {
        form.Hint = "フォームのヒント";
        panel.SetBounds(0, 0, 400, 120);
        panel.Hint = "パネルのヒント";
        withHint.Hint = "最新の情報に更新";
        withHint.ShowHint = true;
        label.SetCaption("ラベル");
        label.Hint = "現在のパス名";
        disabled.Hint = "違反ファイル名";
        disabled.SetEnabled(false);
        form.Show();
        SetForegroundWindow(form.Handle());
        zev_test::Pump();
    }

    static std::string HintOver(const ui::TControl& control) {
        MoveMouseTo(control.Handle(), Center(ClientRect(control)));
        ui::Application().ProcessMessages();
        return ui::Application().Hint();
    }
};

TEST_F(ApplicationTest, HintFollowsThePointerUpTheParentChain) {
    HintForm f;
    std::vector<std::string> announced;
    ui::Application().OnHint = [&](const std::string& hint) { announced.push_back(hint); };

    EXPECT_EQ(HintForm::HintOver(f.withHint), "最新の情報に更新");
    EXPECT_EQ(HintForm::HintOver(f.withHint), "最新の情報に更新");
    EXPECT_EQ(HintForm::HintOver(f.withoutHint), "パネルのヒント");
    // Labels and disabled controls let the mouse through to their parent,
    // but their hints still count.
    EXPECT_EQ(HintForm::HintOver(f.label), "現在のパス名");
    EXPECT_EQ(HintForm::HintOver(f.disabled), "違反ファイル名");
    EXPECT_EQ(HintForm::HintOver(f.onForm), "フォームのヒント");

    // Off every window of the program.
    RECT frame;
    GetWindowRect(f.form.Handle(), &frame);
    SetCursorPos(frame.right + 200, frame.bottom + 200);
    ui::Application().ProcessMessages();
    EXPECT_EQ(ui::Application().Hint(), "");

    // Announced once per change, not once per check.
    const std::vector<std::string> expected{"最新の情報に更新", "パネルのヒント", "現在のパス名",
                                            "違反ファイル名", "フォームのヒント", ""};
    EXPECT_EQ(announced, expected);
}

int ToolCount() {
    HWND tip = ui::Application().ToolTipHandle();
    return tip ? static_cast<int>(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0)) : 0;
}

TEST_F(ApplicationTest, ToolTipOnlyForControlsThatShowHints) {
    HintForm f;
    HintForm::HintOver(f.withoutHint);
    EXPECT_EQ(ToolCount(), 0);

    HintForm::HintOver(f.withHint);
    ASSERT_NE(ui::Application().ToolTipHandle(), nullptr);
    ASSERT_EQ(ToolCount(), 1);
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = f.withHint.Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(f.withHint.Handle());
    char text[100] = "";
    tool.lpszText = text;
    SendMessageA(ui::Application().ToolTipHandle(), TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, "最新の情報に更新");

    HintForm::HintOver(f.label);
    EXPECT_EQ(ToolCount(), 0);
}

TEST_F(ApplicationTest, MainFormShowsOnceAndClosingItEndsTheLoop) {
    ui::Application().SetTitle("zev : ディスク最新情報");
    ui::TForm form("ZEV  v.2.04  ディスク最新情報", 80, 80, 300, 200);
    int shown = 0;
    bool visibleAtShow = true;
    form.OnShow = [&](ui::TForm& sender) {
        ++shown;
        visibleAtShow = IsWindowVisible(sender.Handle()) != FALSE;
        PostMessageA(sender.Handle(), WM_CLOSE, 0, 0);
    };
    form.Show();
    HWND hwnd = form.Handle();
    // The task bar shows the application window's title; the form, owned by
    // it, keeps its caption.
    EXPECT_EQ(GetWindow(hwnd, GW_OWNER), ui::Application().Handle());
    char text[100] = "";
    GetWindowTextA(ui::Application().Handle(), text, sizeof text);
    EXPECT_STREQ(text, "zev : ディスク最新情報");
    EXPECT_EQ(form.Text(), "ZEV  v.2.04  ディスク最新情報");

    ui::Application().Run(form);  // returns once the form is closed
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(visibleAtShow);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(form.Handle(), nullptr);
}

TEST_F(ApplicationTest, ClosingAnotherFormLeavesTheLoopRunning) {
    ui::TForm other("other", 80, 80, 200, 100);
    other.Show();
    other.Close();
    EXPECT_EQ(other.Handle(), nullptr);
    // No quit request is waiting: a message posted now is still handled.
    bool handled = false;
    ui::TForm probe("probe", 80, 80, 200, 100);
    ui::TButton button(&probe, "x", 0, 0, 50, 20);
    button.OnClick = [&](ui::TControl&) { handled = true; };
    PostMessageA(button.Handle(), BM_CLICK, 0, 0);
    ui::Application().ProcessMessages();
    EXPECT_TRUE(handled);
}

TEST_F(ApplicationTest, AnErrorInAnEventGoesToTheErrorBoxAndTheWindowStaysUsable) {
    std::vector<std::string> reported;
    ui::SetExceptionHandler([&](const std::exception& e) { reported.emplace_back(e.what()); });
    ui::TForm form("errors", 80, 80, 300, 200);
    ui::TButton button(&form, "押す", 20, 20, 100, 30);
    int clicks = 0;
    button.OnClick = [&](ui::TControl&) {
        if (++clicks == 1) throw std::runtime_error("フォルダ C:\\表示 に移動できません。");
    };
    form.Show();
    SetForegroundWindow(form.Handle());
    zev_test::RealClick(button.Handle(), Center(ClientRect(button)));
    zev_test::RealClick(button.Handle(), Center(ClientRect(button)));
    EXPECT_EQ(clicks, 2);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], "フォルダ C:\\表示 に移動できません。");

    ui::Guarded([] { throw std::logic_error("直接"); });
    ASSERT_EQ(reported.size(), 2u);
    EXPECT_EQ(reported[1], "直接");
}

// Finds the modal box a call is about to show and reports what it says.
struct BoxWatch {
    static inline std::function<void(HWND)> onBox;
    static inline const char* caption = nullptr;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        if (HWND box = zev_test::FindThreadWindow("#32770", caption)) {
            KillTimer(nullptr, id);
            onBox(box);
        }
    }
};

BOOL CALLBACK CollectStaticText(HWND child, LPARAM lp) {
    char name[32] = "", text[256] = "";
    GetClassNameA(child, name, sizeof name);
    GetWindowTextA(child, text, sizeof text);
    if (lstrcmpiA(name, "Static") == 0 && text[0]) reinterpret_cast<std::vector<std::string>*>(lp)->emplace_back(text);
    return TRUE;
}

std::vector<std::string> StaticTexts(HWND dialog) {
    std::vector<std::string> texts;
    EnumChildWindows(dialog, CollectStaticText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

TEST_F(ApplicationTest, StandardErrorBoxShowsTheMessageUnderTheTitle) {
    ui::Application().SetTitle("zev : ディスク最新情報");
    std::vector<std::string> texts;
    BoxWatch::caption = "zev : ディスク最新情報";
    BoxWatch::onBox = [&](HWND box) {
        texts = StaticTexts(box);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    };
    SetTimer(nullptr, 0, 20, BoxWatch::Tick);
    ui::Application().ShowException(std::runtime_error("フォルダ X:\\ソフト に移動できません。"));
    ASSERT_FALSE(texts.empty());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "フォルダ X:\\ソフト に移動できません。"), texts.end());
}

TEST_F(ApplicationTest, HourglassCursorHoldsOverControlsAndEndsWithItsScope) {
    ui::TForm form("cursor", 80, 80, 300, 200);
    ui::TEdit edit(&form, 10, 10, 200, 24);
    form.Show();
    const HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    const HCURSOR beam = LoadCursorA(nullptr, IDC_IBEAM);
    auto askEdit = [&] {
        SendMessageA(edit.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(edit.Handle()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    EXPECT_THROW(
        {
            ui::HourglassCursor hourglass;
            EXPECT_TRUE(ui::HourglassCursor::Active());
            EXPECT_EQ(GetCursor(), wait);
            {
                ui::HourglassCursor nested;
            }
            EXPECT_EQ(GetCursor(), wait);
            EXPECT_EQ(askEdit(), wait);
            throw std::runtime_error("read failed");
        },
        std::runtime_error);
    EXPECT_FALSE(ui::HourglassCursor::Active());
    EXPECT_EQ(GetCursor(), arrow);
    EXPECT_EQ(askEdit(), beam);
}

// A drop handle as Explorer makes one: DROPFILES, then the zero-terminated
// names and one more zero.
HGLOBAL MakeDrop(const std::vector<std::string>& paths) {
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& p : paths) size += p.size() + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    char* names = reinterpret_cast<char*>(drop + 1);
    for (const std::string& p : paths) {
        std::memcpy(names, p.c_str(), p.size() + 1);
        names += p.size() + 1;
    }
    GlobalUnlock(memory);
    return memory;
}

class DropForm : public ui::TForm {
public:
    DropForm() : TForm("drop", 80, 80, 300, 200) {}
    std::vector<std::string> dropped;

protected:
    void FilesDropped(HDROP drop) override {
        const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            char path[MAX_PATH] = "";
            DragQueryFileA(drop, i, path, MAX_PATH);
            dropped.emplace_back(path);
        }
        DragFinish(drop);
    }
};

TEST_F(ApplicationTest, DroppedFilesReachTheFormsHandler) {
    DropForm form;
    DragAcceptFiles(form.Handle(), TRUE);
    SendMessageA(form.Handle(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDrop({"C:\\表示\\ソフト", "\\\\server\\share\\能力"})), 0);
    const std::vector<std::string> expected{"C:\\表示\\ソフト", "\\\\server\\share\\能力"};
    EXPECT_EQ(form.dropped, expected);
}

}  // namespace
