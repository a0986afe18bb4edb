#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/core/temp_tree.h"
#include "tests/ui/gui_test_util.h"
#include "ui/application.h"
#include "ui/clipboard.h"
#include "ui/form.h"
#include "ui/gdi.h"
#include "ui/message_box.h"
#include "ui/shell.h"

namespace {

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ui::Application().Initialize();
        ui::SetExceptionHandler([](const std::exception& e) { ADD_FAILURE() << "error box: " << e.what(); });
        form.Show();
        SetForegroundWindow(form.Handle());
        zev_test::Pump();
    }
    ui::TForm form{"dialogs", 100, 100, 500, 300};
};

TEST_F(DialogsTest, ClipboardHoldsTheTextAndOneZeroByte) {
    // Tabs, CR LF and trail bytes 0x5C as the copy routines write them.
    const std::string text = "|\t表示\t     1,234KB / 5  \t 2006/02/09 12:00\r\n|\t|\tソフト\r\n";
    ui::SetClipboardText(form.Handle(), text);
    EXPECT_EQ(zev_test::ClipboardBytes(form.Handle()), text + '\0');
    EXPECT_EQ(ui::ClipboardText(form.Handle()), text);

    // A second copy replaces the first, also when it is shorter or empty.
    ui::SetClipboardText(form.Handle(), "能力");
    EXPECT_EQ(zev_test::ClipboardBytes(form.Handle()), std::string("能力") + '\0');
    ui::SetClipboardText(form.Handle(), "");
    EXPECT_EQ(zev_test::ClipboardBytes(form.Handle()), std::string(1, '\0'));
    EXPECT_EQ(ui::ClipboardText(form.Handle()), "");
}

// Drives the modal box from a timer of the thread that shows it.
struct BoxDriver {
    static inline std::function<void(HWND)> onBox;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        if (HWND box = zev_test::FindThreadWindow("#32770", "情報")) {
            KillTimer(nullptr, id);
            onBox(box);
        }
    }
    static bool Ask(std::function<void(HWND)> action, HWND owner, const std::string& text) {
        onBox = std::move(action);
        SetTimer(nullptr, 0, 20, Tick);
        return ui::AskYesNo(owner, text, "情報");
    }
};

void PostKeyToFocus(WORD key) {
    PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageA(GetFocus(), WM_KEYUP, key, 1 | (1L << 30) | static_cast<LPARAM>(1UL << 31));
}

std::string DialogItemText(HWND box, int id) {
    char text[512] = "";
    GetDlgItemTextA(box, id, text, sizeof text);
    return text;
}

const std::string kQuestion =
    "修正中のファイル名があります。 ソートすると修正が取り消されます。\n"
    "修正を反映するには［いいえ］を選択した後［変更を反映］ボタンを押します。\n\nこのままソートを実行しますか？ ";

TEST_F(DialogsTest, YesNoBoxAnswersNoToEscAndYesToEnter) {
    HWND seen = nullptr;
    bool escAnswer = BoxDriver::Ask(
        [&](HWND box) {
            seen = box;
            PostKeyToFocus(VK_ESCAPE);
        },
        form.Handle(), kQuestion);
    EXPECT_NE(seen, nullptr);
    EXPECT_FALSE(escAnswer);

    EXPECT_TRUE(BoxDriver::Ask([](HWND) { PostKeyToFocus(VK_RETURN); }, form.Handle(), kQuestion));
    // The close box counts as No, like Esc.
    EXPECT_FALSE(BoxDriver::Ask([](HWND box) { PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0); }, form.Handle(),
                                kQuestion));
    EXPECT_FALSE(BoxDriver::Ask([](HWND box) { PostMessageA(GetDlgItem(box, IDNO), BM_CLICK, 0, 0); },
                                form.Handle(), kQuestion));
}

TEST_F(DialogsTest, YesNoBoxShowsItsTextWholeWithYesAsTheDefault) {
    std::string yes, no;
    std::vector<std::string> texts;
    LRESULT defaultId = 0;
    bool focusOnYes = false;
    bool modal = false;
    bool textFits = false;
    BoxDriver::Ask(
        [&](HWND box) {
            yes = DialogItemText(box, IDYES);
            no = DialogItemText(box, IDNO);
            defaultId = LOWORD(SendMessageA(box, DM_GETDEFID, 0, 0));
            focusOnYes = GetFocus() == GetDlgItem(box, IDYES);
            modal = !IsWindowEnabled(form.Handle());
            // The static holding the question is as big as its wrapped text.
            HWND textItem = nullptr;
            for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                char text[512] = "";
                GetWindowTextA(child, text, sizeof text);
                if (kQuestion == text) textItem = child;
            }
            if (textItem) {
                RECT client{};
                GetClientRect(textItem, &client);
                ui::WindowDC dc(textItem);
                ui::SelectedObject font(dc.get(),
                                        reinterpret_cast<HFONT>(SendMessageA(textItem, WM_GETFONT, 0, 0)));
                RECT need{0, 0, client.right, 0};
                DrawTextA(dc.get(), kQuestion.c_str(), static_cast<int>(kQuestion.size()), &need,
                          DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
                // Three lines of text, an empty one and the question.
                TEXTMETRICA tm{};
                GetTextMetricsA(dc.get(), &tm);
                textFits = need.right <= client.right && need.bottom <= client.bottom && need.bottom >= 4 * tm.tmHeight;
            }
            PostKeyToFocus(VK_ESCAPE);
        },
        form.Handle(), kQuestion);
    EXPECT_EQ(yes, "はい(&Y)");
    EXPECT_EQ(no, "いいえ(&N)");
    EXPECT_EQ(defaultId, IDYES);
    EXPECT_TRUE(focusOnYes);
    EXPECT_TRUE(modal);
    EXPECT_TRUE(textFits);
    EXPECT_TRUE(IsWindowEnabled(form.Handle()));
}

TEST_F(DialogsTest, ShellOpenPassesParametersAndWorkingFolder) {
    TempTree tree;
    const std::string folder = tree.Folder("作業 表示");
    ui::ShellOpen(form.Handle(), "open", "cmd.exe", "/c echo done>out.txt", folder, SW_HIDE);
    const std::string out = folder + "\\out.txt";
    EXPECT_TRUE(zev_test::PumpUntil([&] { return GetFileAttributesA(out.c_str()) != INVALID_FILE_ATTRIBUTES; }, 1000));
    // Let the command finish writing before the tree goes.
    zev_test::PumpUntil(
        [&] {
            HANDLE file = CreateFileA(out.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            if (file == INVALID_HANDLE_VALUE) return false;
            CloseHandle(file);
            return true;
        },
        1000);
}

}  // namespace
