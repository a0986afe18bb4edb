#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/core/temp_tree.h"
#include "tests/ui/gui_test_util.h"
#include "ui/application.h"
#include "ui/directory_list_box.h"
#include "ui/drive_combo_box.h"
#include "ui/form.h"

namespace {

std::string CurrentDirectory() {
    char path[MAX_PATH * 2] = "";
    GetCurrentDirectoryA(sizeof path, path);
    return path;
}

std::string FullPath(const std::string& path) {
    char full[MAX_PATH * 2] = "";
    GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return full;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The texts of a list box's or combo box's items.
std::vector<std::string> Items(HWND hwnd, UINT countMessage, UINT textMessage) {
    std::vector<std::string> items;
    const auto count = SendMessageA(hwnd, countMessage, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[MAX_PATH * 2] = "";
        SendMessageA(hwnd, textMessage, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.emplace_back(text);
    }
    return items;
}

// The process's current folder comes back when the test ends, before the
// temporary tree (which cannot go while it is current) is removed.
class CurrentFolderGuard {
public:
    CurrentFolderGuard() : saved_(CurrentDirectory()) {}
    ~CurrentFolderGuard() { SetCurrentDirectoryA(saved_.c_str()); }
    CurrentFolderGuard(const CurrentFolderGuard&) = delete;
    CurrentFolderGuard& operator=(const CurrentFolderGuard&) = delete;

private:
    std::string saved_;
};

class SelectorsTest : public ::testing::Test {
protected:
    SelectorsTest() {
        // Trail bytes 0x5C: 表 is 95 5C, ソ is 83 5C, 能 is 94 5C.
        tree.Folder("表示");
        for (const char* name : {"ソフト", "abc", "Zed", "能力"}) tree.Folder(std::string("表示\\") + name);
        tree.File("表示\\file.txt");
        start = tree.Path("表示");
        SetCurrentDirectoryA(start.c_str());
        start = CurrentDirectory();
    }
    void SetUp() override {
        ui::Application().Initialize();
        ui::SetExceptionHandler([this](const std::exception& e) { errors.emplace_back(e.what()); });
    }
    void ShowForm() {
        form.Show();
        SetForegroundWindow(form.Handle());
        zev_test::Pump();
    }

    TempTree tree;
    CurrentFolderGuard guard;
    std::string start;
    std::vector<std::string> errors;
    ui::TForm form{"selectors", 40, 40, 400, 500};
};

std::vector<std::string> ListItems(const ui::TDirectoryListBox& list) {
    return Items(list.Handle(), LB_GETCOUNT, LB_GETTEXT);
}

TEST_F(SelectorsTest, FolderListShowsThePathDownToTheFolderThenItsSubfolders) {
    ui::TDirectoryListBox list(&form);
    list.SetBounds(0, 0, 380, 460);
    ShowForm();
    EXPECT_EQ(list.Directory(), start);
    EXPECT_EQ(SendMessageA(list.Handle(), LB_GETITEMHEIGHT, 0, 0), 16);

    const std::vector<std::string> items = ListItems(list);
    // "C:\", then one entry per component of the path, each whole although
    // the scratch folder's name and 表示 hold a second byte that is a
    // backslash.
    const std::string root = CurrentDirectory().substr(0, 3);
    std::vector<std::string> path{root, ""};
    const std::string rest = tree.Root().substr(3);
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '\\') {
            path.emplace_back();
            continue;
        }
        path.back() += rest[i];
        if (IsDBCSLeadByte(static_cast<BYTE>(rest[i])) && i + 1 < rest.size()) path.back() += rest[++i];
    }
    path.push_back("表示");
    ASSERT_EQ(items.size(), path.size() + 4) << start;
    EXPECT_EQ(std::vector<std::string>(items.begin(), items.begin() + static_cast<long>(path.size())), path);
    const size_t current = path.size() - 1;
    EXPECT_EQ(SendMessageA(list.Handle(), LB_GETCURSEL, 0, 0), static_cast<LRESULT>(current));
    // The whole path shows from the root while it fits; in a short box the
    // current folder stays in view at the bottom.
    EXPECT_EQ(SendMessageA(list.Handle(), LB_GETTOPINDEX, 0, 0), 0);
    RECT frame{0, 0, 0, 3 * 16};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(list.Handle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(list.Handle(), GWL_EXSTYLE)));
    list.SetBounds(0, 0, 380, frame.bottom - frame.top);
    EXPECT_EQ(SendMessageA(list.Handle(), LB_GETTOPINDEX, 0, 0), static_cast<LRESULT>(current - 2));

    const std::vector<std::string> subfolders(items.begin() + static_cast<long>(current) + 1, items.end());
    for (const char* name : {"ソフト", "abc", "Zed", "能力"})
        EXPECT_NE(std::find(subfolders.begin(), subfolders.end(), name), subfolders.end()) << name;
    // Sorted without regard to case: "abc" before "Zed".
    EXPECT_LT(std::find(subfolders.begin(), subfolders.end(), "abc"),
              std::find(subfolders.begin(), subfolders.end(), "Zed"));
}

TEST_F(SelectorsTest, SettingTheFolderAnnouncesOnlyARealChange) {
    ui::TDirectoryListBox list(&form);
    std::vector<std::string> announced;
    list.OnChange = [&](ui::TControl&) { announced.push_back(list.Directory()); };

    list.SetDirectory(start);
    list.SetDirectory(start + "\\");
    EXPECT_TRUE(announced.empty());

    list.SetDirectory(start + "\\ソフト");
    ASSERT_EQ(announced.size(), 1u);
    EXPECT_EQ(announced[0], start + "\\ソフト");
    EXPECT_EQ(CurrentDirectory(), start + "\\ソフト");
    // Now the sub-folder is the last entry of the path and has none below.
    const std::vector<std::string> items = ListItems(list);
    EXPECT_EQ(items.back(), "ソフト");

    list.SetDirectory(tree.Root());
    ASSERT_EQ(announced.size(), 2u);
    EXPECT_EQ(list.Directory(), CurrentDirectory());
}

TEST_F(SelectorsTest, AFolderThatCannotBeEnteredThrowsAndChangesNothing) {
    ui::TDirectoryListBox list(&form);
    int announced = 0;
    list.OnChange = [&](ui::TControl&) { ++announced; };
    const std::string missing = start + "\\無い";
    try {
        list.SetDirectory(missing);
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
    }
    EXPECT_THROW(list.SetDirectory(start + "\\file.txt"), std::runtime_error);
    EXPECT_EQ(announced, 0);
    EXPECT_EQ(list.Directory(), start);
    EXPECT_EQ(CurrentDirectory(), start);
}

TEST_F(SelectorsTest, SettingTheDriveMovesOnlyToAnotherDrive) {
    ui::TDirectoryListBox list(&form);
    int announced = 0;
    list.OnChange = [&](ui::TControl&) { ++announced; };
    const char letter = start[0];
    list.SetDrive(Lower(letter));
    list.SetDrive(static_cast<char>(Lower(letter) - 'a' + 'A'));
    EXPECT_EQ(announced, 0);
    EXPECT_EQ(list.Directory(), start);

    char roots[512] = "";
    GetLogicalDriveStringsA(sizeof roots, roots);
    char other = '\0';
    for (const char* root = roots; *root; root += std::char_traits<char>::length(root) + 1)
        if (Lower(root[0]) != Lower(letter) && GetDriveTypeA(root) == DRIVE_FIXED) other = Lower(root[0]);
    if (!other) GTEST_SKIP() << "one fixed drive only";
    const std::string expected = FullPath(std::string{other, ':'});
    list.SetDrive(other);
    EXPECT_EQ(announced, 1);
    EXPECT_EQ(list.Directory(), expected);
    EXPECT_EQ(Lower(list.Directory()[0]), other);
    list.SetDrive(other);
    EXPECT_EQ(announced, 1);
}

TEST_F(SelectorsTest, EnterAndDoubleClickOpenTheEntry) {
    ui::TDirectoryListBox list(&form);
    list.SetBounds(0, 0, 380, 460);
    std::vector<std::string> announced;
    list.OnChange = [&](ui::TControl&) { announced.push_back(list.Directory()); };
    ShowForm();

    auto indexOf = [&](const std::string& name) {
        const std::vector<std::string> items = ListItems(list);
        return static_cast<WPARAM>(std::find(items.begin(), items.end(), name) - items.begin());
    };
    list.SetFocus();
    SendMessageA(list.Handle(), LB_SETCURSEL, indexOf("能力"), 0);
    zev_test::RealKey(VK_RETURN);
    ASSERT_EQ(announced.size(), 1u);
    EXPECT_EQ(announced[0], start + "\\能力");

    // Double-click on the parent's entry, one up.
    RECT item{};
    SendMessageA(list.Handle(), LB_GETITEMRECT, indexOf("表示"), reinterpret_cast<LPARAM>(&item));
    zev_test::RealDoubleClick(list.Handle(), zev_test::Center(item));
    ASSERT_EQ(announced.size(), 2u);
    EXPECT_EQ(announced[1], start);

    // A folder gone since it was listed: the error box, and the list stays.
    RemoveDirectoryA((start + "\\abc").c_str());
    list.SetFocus();
    SendMessageA(list.Handle(), LB_SETCURSEL, indexOf("abc"), 0);
    zev_test::RealKey(VK_RETURN);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(start + "\\abc"), std::string::npos) << errors[0];
    errors.clear();
    EXPECT_EQ(announced.size(), 2u);
    EXPECT_EQ(list.Directory(), start);
    SendMessageA(list.Handle(), LB_SETCURSEL, indexOf("Zed"), 0);
    zev_test::RealKey(VK_RETURN);
    EXPECT_EQ(list.Directory(), start + "\\Zed");
}

TEST_F(SelectorsTest, DriveListAnnouncesEveryChangeOfTheLetterHeld) {
    ui::TDriveComboBox drives(&form, 8, 8, 153);
    ShowForm();
    char roots[512] = "";
    GetLogicalDriveStringsA(sizeof roots, roots);
    std::vector<char> letters;
    for (const char* root = roots; *root; root += std::char_traits<char>::length(root) + 1)
        letters.push_back(Lower(root[0]));
    const std::vector<std::string> items = Items(drives.Handle(), CB_GETCOUNT, CB_GETLBTEXT);
    ASSERT_EQ(items.size(), letters.size());
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].substr(0, 2), (std::string{letters[i], ':'}));
        EXPECT_TRUE(items[i].size() == 2 || (items[i].substr(2, 2) == " [" && items[i].back() == ']')) << items[i];
    }

    std::vector<char> announced;
    drives.OnChange = [&](ui::TControl&) { announced.push_back(drives.Drive()); };
    EXPECT_EQ(drives.Drive(), '\0');
    EXPECT_EQ(SendMessageA(drives.Handle(), CB_GETCURSEL, 0, 0), CB_ERR);
    drives.SetDrive(static_cast<char>(letters[0] - 'a' + 'A'));
    drives.SetDrive(letters[0]);
    ASSERT_EQ(announced, std::vector<char>{letters[0]});
    EXPECT_EQ(drives.Drive(), letters[0]);
    EXPECT_EQ(SendMessageA(drives.Handle(), CB_GETCURSEL, 0, 0), 0);
    if (letters.size() < 2) GTEST_SKIP() << "one drive only";

    // The user moves to the next drive with the keyboard.
    drives.SetFocus();
    zev_test::RealKey(VK_DOWN);
    ASSERT_EQ(announced.size(), 2u);
    EXPECT_EQ(announced[1], letters[1]);
    EXPECT_EQ(drives.Drive(), letters[1]);
    drives.SetDrive(letters[1]);
    EXPECT_EQ(announced.size(), 2u);
    drives.SetDrive(letters[0]);
    EXPECT_EQ(announced.size(), 3u);
    EXPECT_EQ(SendMessageA(drives.Handle(), CB_GETCURSEL, 0, 0), 0);
}

}  // namespace
