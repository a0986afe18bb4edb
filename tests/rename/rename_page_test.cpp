#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <functional>
#include <thread>
#include <utility>
#include <string>
#include <vector>

#include "app/zev_form.h"
#include "files/file_sort.h"
#include "rename/replace_dialog.h"
#include "tests/app/page_test.h"
#include "tests/core/temp_tree.h"
#include "tests/rename/manifest.h"

namespace {

using zev_test::RealKey;

const Cells kTitles{"c", "d", "新しいファイル/フォルダ名", "現在のファイル/フォルダ名", "サイズ(bytes)", " 日付", " 拡張子",
                    " 字数"};
const std::string kQuestion =
    "修正中のファイル名があります。 ソートすると修正が取り消されます。\n"
    "修正を反映するには［いいえ］を選択した後［変更を反映］ボタンを押します。\n\nこのままソートを実行しますか？ ";

// Answers the sort question, when it shows, with a key of the real keyboard.
struct QuestionAnswer {
    static inline WORD key = 0;
    static inline int shown = 0;
    static inline std::vector<std::string> texts;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND box = zev_test::FindThreadWindow("#32770", "情報");
        if (!box || key == 0)
            return;
        ++shown;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            char text[512] = "";
            GetWindowTextA(child, text, sizeof text);
            texts.emplace_back(text);
        }
        zev_test::SendKey(key, false);
        zev_test::SendKey(key, true);
        key = 0;
    }
};

// Drives the replace dialog, once it shows, from a timer of the thread that
// runs it.
struct ReplaceDialog {
    static inline std::function<void(HWND)> action;
    static inline int shown = 0;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
    {
        HWND dialog = zev_test::FindThreadWindow("#32770", "置換");
        if (!dialog)
            return;
        KillTimer(nullptr, id);
        ++shown;
        std::exchange(action, nullptr)(dialog);
    }
    static void Set(HWND dialog, int item, const wchar_t* text) { SetDlgItemTextW(dialog, item, text); }
    static void Click(HWND dialog, int item) { SendMessageA(GetDlgItem(dialog, item), BM_CLICK, 0, 0); }
    static std::string Line(HWND dialog)
    {
        char text[256] = "";
        GetDlgItemTextA(dialog, rdCountLine, text, sizeof text);
        return text;
    }
    static bool CanReplace(HWND dialog) { return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE; }
    static std::wstring Text(HWND dialog, int item)
    {
        wchar_t text[256] = L"";
        GetDlgItemTextW(dialog, item, text, 256);
        return text;
    }
};

class RenamePageTest : public PageTest {
protected:
    RenamePageTest() : PageTest(&TForm1::RenameGrid)
    {
        form.DiskPage.SetActivePage(form.RenameFilePage);
        form.RenameSortKey = SortByName;
        form.SortDescending = false;
        zev_test::Pump();
    }

    void Show(const std::string& path)
    {
        CurrentFolder = path;
        form.RefreshActivePage();
        zev_test::Pump();
    }
    // Column 3 of every entry row.
    Cells Names()
    {
        Cells names;
        for (int row = 1; row < Grid().RowCount(); ++row)
            names.push_back(Grid().Cell(3, row));
        return names;
    }
    Cells Marks()
    {
        Cells marks;
        for (int row = 1; row < Grid().RowCount(); ++row)
            marks.push_back(Grid().Cell(0, row));
        return marks;
    }
    // Types a new name over the row's cell: the first character opens the
    // grid's own editor, the rest follow as an input method hands them over.
    void TypeName(int row, const std::string& name)
    {
        RealClickCell(2, row);
        ASSERT_FALSE(Grid().EditorActive());
        zev_test::PostChars(Grid().Handle(), name);
        RealKey(VK_RETURN);
    }
    // A left click on the title, the question answered with the key if asked.
    void ClickTitle(int col, WORD answer)
    {
        QuestionAnswer::key = answer;
        QuestionAnswer::texts.clear();
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, QuestionAnswer::Tick);
        ClickCell(col, 0);
        KillTimer(nullptr, timer);
        QuestionAnswer::key = 0;
    }
    void Press(ui::TButton& button) { zev_test::RealClick(button.Handle(), {10, 10}); }
    // Runs open (a click, a key) with the dialog driven by action once it
    // shows.
    void WithReplaceDialog(std::function<void(HWND)> action, const std::function<void()>& open)
    {
        ReplaceDialog::action = std::move(action);
        const int before = ReplaceDialog::shown;
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, ReplaceDialog::Tick);
        open();
        zev_test::Pump();
        if (ReplaceDialog::shown == before) {
            KillTimer(nullptr, timer);
            ADD_FAILURE() << "no dialog";
        }
    }
    // New names for rows 1, 2, ..., as the grid's editor hands them over.
    void Retype(std::initializer_list<const char*> names)
    {
        int row = 0;
        for (const char* name : names) {
            Grid().SetCell(2, ++row, name);
            form.RenameGridSetEditText(Grid(), 2, row, name);
        }
    }

    TempTree folder;
};

TEST_F(RenamePageTest, ListsFilesAndFoldersWithEveryColumn)
{
    folder.File("b.txt", 1500, LocalFileTime(2010, 12, 31, 23, 59, 59));
    folder.File("a;b", 5, LocalFileTime(2003, 4, 5, 6, 7, 8));
    folder.Folder("フォルダ");
    ASSERT_TRUE(SetWriteTime(folder.Path("フォルダ"), LocalFileTime(2001, 1, 1, 0, 0, 0)));
    Show(folder.Root());

    ASSERT_EQ(Grid().RowCount(), 4);
    EXPECT_EQ(Row(0), kTitles);
    EXPECT_EQ(Row(1), (Cells{"", "", "a;b", "a;b", "5", "2003/04/05 06:07:08", "", "-3"}));
    EXPECT_EQ(Row(2), (Cells{"", "", "b.txt", "b.txt", "1,500", "2010/12/31 23:59:59", "txt", "5"}));
    EXPECT_EQ(Row(3), (Cells{"", "D", "フォルダ", "フォルダ", "0", "2001/01/01 00:00:00", "", "4"}));
    for (int col = 0; col < 8; ++col)
        EXPECT_EQ(Grid().ColWidth(col), (std::vector<int>{20, 20, 160, 160, 60, 120, 40, 40}[col]));

    zev_test::Click(form.CheckKB.Handle(), 5, 5);
    EXPECT_EQ(Grid().Cell(4, 0), "サイズ(KB)");
    EXPECT_EQ(Grid().Cell(4, 2), "2");

    TempTree empty;
    Show(empty.Root());
    ASSERT_EQ(Grid().RowCount(), 2);
    EXPECT_EQ(Row(1), Cells(8, ""));
    EXPECT_EQ(Row(0)[4], "サイズ(KB)");
}

TEST_F(RenamePageTest, WithoutAKeyTheRowsComeInTheListingRotatedByOne)
{
    for (const char* name : {"d", "b", "c", "a"})
        folder.File(name);
    const Cells listing = Listing(folder.Root());
    form.RenameSortKey = 0;
    Show(folder.Root());
    Cells rotated(listing.begin() + 1, listing.end());
    rotated.push_back(listing.front());
    EXPECT_EQ(Names(), rotated);
}

TEST_F(RenamePageTest, TypingMarksTheRowUntilTheNameIsTypedBack)
{
    folder.File("abc.txt");
    folder.File("x.txt");
    Show(folder.Root());

    RealClickCell(2, 1);
    zev_test::Type("新");
    ASSERT_TRUE(Grid().EditorActive());
    EXPECT_EQ(Row(1), (Cells{"*", "", "新", "abc.txt", "0", Grid().Cell(5, 1), "txt", "1"}));
    RealKey(VK_ESCAPE);
    EXPECT_EQ(Row(1), (Cells{"", "", "abc.txt", "abc.txt", "0", Grid().Cell(5, 1), "txt", "7"}));

    RealKey(VK_F2);
    RealKey(VK_BACK);
    EXPECT_EQ(Marks(), (Cells{"*", ""}));
    EXPECT_EQ(Grid().Cell(7, 1), "6");
    zev_test::Type("t");
    EXPECT_EQ(Marks(), (Cells{"", ""}));
    RealKey(VK_RETURN);

    // Letter case alone counts as a change.
    TypeName(2, "X.txt");
    EXPECT_EQ(Marks(), (Cells{"", "*"}));
    EXPECT_EQ(Grid().Cell(2, 2), "X.txt");

    // No other cell can be chosen, so none takes the editor.
    for (int col : {0, 1, 3, 4, 7}) {
        RealClickCell(col, 1);
        EXPECT_EQ(Grid().Col(), 2) << col;
        EXPECT_EQ(Grid().Row(), 2) << col;
    }
    EXPECT_FALSE(Grid().EditorActive());
}

TEST_F(RenamePageTest, ApplyRenamesTheMarkedRowsInRowOrderAndListsAfresh)
{
    for (const char* name : {"a", "abc.txt", "b", "d"})
        folder.File(name);
    folder.Folder("dir");
    Show(folder.Root());
    ASSERT_EQ(Names(), (Cells{"a", "abc.txt", "b", "d", "dir"}));
    TypeName(1, "b");        // b still exists when its row comes
    TypeName(2, "ABC.txt");  // letter case only
    TypeName(3, "c");
    TypeName(5, "新しいdir");
    // Typed and typed back: no mark, no rename.
    TypeName(4, "e");
    RealKey(VK_F2);
    RealKey(VK_BACK);
    zev_test::Type("d");
    RealKey(VK_RETURN);
    EXPECT_EQ(Marks(), (Cells{"*", "*", "*", "", "*"}));

    Press(form.DoRenameButton);
    Cells onDisk = Listing(folder.Root());
    std::sort(onDisk.begin(), onDisk.end());
    EXPECT_EQ(onDisk, (Cells{"ABC.txt", "a", "c", "d", "新しいdir"}));
    EXPECT_EQ(Names(), (Cells{"a", "ABC.txt", "c", "d", "新しいdir"}));
    EXPECT_EQ(Marks(), Cells(5, ""));
    for (int row = 1; row < Grid().RowCount(); ++row)
        EXPECT_EQ(Grid().Cell(2, row), Grid().Cell(3, row));
}

TEST_F(RenamePageTest, TheEmptyRowOfAnEmptyFolderRenamesNothing)
{
    Show(folder.Root());
    TypeName(1, "x");
    EXPECT_EQ(Marks(), Cells{"*"});
    folder.File("a");
    Press(form.DoRenameButton);
    EXPECT_EQ(Listing(folder.Root()), Cells{"a"});
    EXPECT_EQ(Names(), Cells{"a"});
}

TEST_F(RenamePageTest, MarkChangedRowsMarksButNeverClears)
{
    for (const char* name : {"a", "b", "c"})
        folder.File(name);
    Show(folder.Root());
    TypeName(1, "x");
    Grid().SetCell(2, 1, "a");  // a conversion may write the name back
    Grid().SetCell(2, 3, "C");
    EXPECT_TRUE(form.HasPendingEdits());
    form.MarkChangedRows();
    EXPECT_EQ(Marks(), (Cells{"*", "", "*"}));
    form.CancelRenameButtonClick(form.CancelRenameButton);
    EXPECT_FALSE(form.HasPendingEdits());
}

TEST_F(RenamePageTest, CancelPutsTheNamesBackWithoutListing)
{
    folder.File("abcde");
    folder.File("f");
    Show(folder.Root());
    TypeName(1, "新しい");
    TypeName(2, "g");
    folder.File("later");
    Press(form.CancelRenameButton);
    EXPECT_EQ(Names(), (Cells{"abcde", "f"}));
    // The count stays that of the typed name until the next listing.
    EXPECT_EQ(Row(1), (Cells{"", "", "abcde", "abcde", "0", Grid().Cell(5, 1), "", "3"}));
    EXPECT_EQ(Row(2), (Cells{"", "", "f", "f", "0", Grid().Cell(5, 2), "", "1"}));
    Cells onDisk = Listing(folder.Root());
    std::sort(onDisk.begin(), onDisk.end());
    EXPECT_EQ(onDisk, (Cells{"abcde", "f", "later"}));
}

TEST_F(RenamePageTest, ASortWithPendingEditsAsksFirst)
{
    folder.File("a", 3);
    folder.File("b", 1);
    folder.File("c", 2);
    Show(folder.Root());
    TypeName(1, "z");

    // Esc answers No: edits, marks and order stay; the direction and key are
    // taken.
    ClickTitle(4, VK_ESCAPE);
    EXPECT_EQ(QuestionAnswer::shown, 1);
    EXPECT_NE(std::find(QuestionAnswer::texts.begin(), QuestionAnswer::texts.end(), kQuestion),
              QuestionAnswer::texts.end());
    EXPECT_TRUE(form.SortDescending);
    EXPECT_EQ(form.RenameSortKey, SortBySize);
    EXPECT_EQ(Names(), (Cells{"a", "b", "c"}));
    EXPECT_EQ(Grid().Cell(2, 1), "z");

    ClickTitle(5, 'N');
    EXPECT_EQ(QuestionAnswer::shown, 2);
    EXPECT_FALSE(form.SortDescending);
    EXPECT_EQ(form.RenameSortKey, SortByDate);
    EXPECT_EQ(Marks(), (Cells{"*", "", ""}));

    // Enter takes the default, Yes: the listing starts afresh under size,
    // direction flipped a third time.
    ClickTitle(4, VK_RETURN);
    EXPECT_EQ(QuestionAnswer::shown, 3);
    EXPECT_TRUE(form.SortDescending);
    EXPECT_EQ(Names(), (Cells{"a", "c", "b"}));
    EXPECT_EQ(Marks(), Cells(3, ""));

    // Nothing pending: no question; columns 0 and 1 only reverse the order.
    ClickTitle(0, VK_RETURN);
    ClickTitle(1, VK_RETURN);
    ClickTitle(1, VK_RETURN);
    EXPECT_EQ(QuestionAnswer::shown, 3);
    EXPECT_EQ(form.RenameSortKey, SortBySize);
    EXPECT_EQ(Names(), (Cells{"b", "c", "a"}));
}

TEST_F(RenamePageTest, ACurrentNameOpensExplorerOnTheFolder)
{
    folder.File("a");
    folder.Folder("b");
    Show(folder.Root());
    const ShellCall explorer{"open", "explorer", folder.Root(), "", SW_SHOW, form.Handle()};
    ClickCell(3, 2);
    EXPECT_EQ(ShellCalls(), std::vector<ShellCall>{explorer});
    for (int col : {0, 1, 2, 4, 5, 6, 7})
        ClickCell(col, 1);
    ClickCell(3, 1, zev_test::Button::Right);
    ClickCell(3, 1, zev_test::Button::Middle);
    EXPECT_EQ(ShellCalls(), std::vector<ShellCall>{explorer});

    TempTree empty;
    Show(empty.Root());
    ClickCell(3, 1);
    EXPECT_EQ(ShellCalls(), std::vector<ShellCall>{explorer});
}

TEST_F(RenamePageTest, ProblemsShowBeforeTheApplyAndTheLastApplyIsUndone)
{
    for (int i = 0; i < 6; ++i)
        folder.File(std::string(1, static_cast<char>('a' + i)) + ".txt", i + 1);
    const Manifest before = ManifestOf(folder.Root());
    Show(folder.Root());
    // Empty, a name still there at its turn, fine, a trailing dot, fine, a
    // device name.
    Retype({"", "c.txt", "z.txt", "x.", "y.txt", "Nul.dat"});
    using P = RenameProblem;
    EXPECT_EQ(form.RenameRowProblems,
              (std::vector<P>{P::None, P::Empty, P::NameTaken, P::None, P::TrailingSpaceOrDot, P::None, P::ReservedName}));
    EXPECT_EQ(form.StatusBar1.PanelText(), " 変更できない名前: 4 件 (行 1: 空の名前)");
    zev_test::Pump();
    EXPECT_TRUE(zev_test::ClientImage::Printed(Grid().Handle()).Holds(Grid().CellRect(2, 2), RGB(255, 0, 0)));

    Press(form.DoRenameButton);
    EXPECT_EQ(form.StatusBar1.PanelText(), " 変更しました: 2 件, 変更できませんでした: 4 件 (Ctrl+Z で元に戻せます)");
    EXPECT_EQ(Names(), (Cells{"a.txt", "b.txt", "d.txt", "f.txt", "y.txt", "z.txt"}));

    // Undo leaves alone an entry replaced since, and counts it; it is there
    // once per apply.
    ASSERT_TRUE(DeleteFileA(folder.Path("y.txt").c_str()));
    folder.File("y.txt", 3);
    RealClickCell(3, 1);
    for (int press = 0; press < 2; ++press) {
        RealKey('Z', {VK_CONTROL});
        EXPECT_EQ(form.StatusBar1.PanelText(), " 元に戻しました: 1 件, 戻せませんでした: 1 件");
        EXPECT_EQ(Names(), (Cells{"a.txt", "b.txt", "c.txt", "d.txt", "f.txt", "y.txt"}));
    }

    // An apply stopped by Esc is undone as far as it went.
    ASSERT_TRUE(DeleteFileA(folder.Path("y.txt").c_str()));
    Show(folder.Root());
    Retype({"n1", "n2", "n3", "n4", "n5"});
    zev_test::SendKey(VK_ESCAPE, false);
    zev_test::SendKey(VK_ESCAPE, true);
    form.DoRenameButtonClick(form.DoRenameButton);
    EXPECT_EQ(form.StatusBar1.PanelText(), " Esc で中断しました。変更しました: 1 件, 残り: 4 件");
    form.UndoRenameButtonClick(form.UndoRenameButton);
    EXPECT_EQ(form.StatusBar1.PanelText(), " 元に戻しました: 1 件");
    Manifest expected = before;
    expected.erase(expected.begin() + 4);  // e.txt became y.txt, replaced and removed
    EXPECT_EQ(ManifestOf(folder.Root()), expected);
}

TEST_F(RenamePageTest, TheUndoButtonFitsBesideTheConversions)
{
    RECT panel{};
    GetClientRect(form.RenamePanel.Handle(), &panel);
    const RECT button = form.UndoRenameButton.BoundsRect();
    EXPECT_LE(button.right, panel.right);
    EXPECT_GE(button.left, form.Space2Underline.BoundsRect().right);
}

namespace {

// Pixels of a caption painted whole, in the button's own font and colours,
// on a bitmap wide enough for any caption.
std::size_t WholeCaptionInk(HWND button)
{
    char caption[128] = "";
    const int length = GetWindowTextA(button, caption, sizeof caption);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 400;
    info.bmiHeader.biHeight = -60;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    ui::GdiObject<HBITMAP> bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap.get());
    const RECT all{0, 0, 400, 60};
    ui::GdiObject<HBRUSH> brush(CreateSolidBrush(face));
    FillRect(dc, &all, brush.get());
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(button, WM_GETFONT, 0, 0)));
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, 20, 20, caption, length);
    GdiFlush();
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    const auto* pixel = static_cast<const DWORD*>(bits);
    const DWORD faceBits = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
    return static_cast<std::size_t>(std::count_if(pixel, pixel + 400 * 60, [&](DWORD v) { return (v & 0xFFFFFF) != faceBits; }));
}

}  // namespace

TEST_F(RenamePageTest, EveryButtonShowsItsWholeCaptionAtTheDefaultSize)
{
    RECT window{};
    GetWindowRect(form.Handle(), &window);
    ASSERT_EQ(window.right - window.left, 768);
    ASSERT_EQ(window.bottom - window.top, 353);
    RECT panel{};
    GetClientRect(form.RenamePanel.Handle(), &panel);
    for (HWND button = GetWindow(form.RenamePanel.Handle(), GW_CHILD); button; button = GetWindow(button, GW_HWNDNEXT)) {
        char caption[128] = "";
        GetWindowTextA(button, caption, sizeof caption);
        RECT bounds{};
        GetWindowRect(button, &bounds);
        MapWindowPoints(nullptr, form.RenamePanel.Handle(), reinterpret_cast<POINT*>(&bounds), 2);
        EXPECT_LE(bounds.right, panel.right) << caption;
        // What the screen shows inside the button's raised edge.
        const zev_test::ClientImage shown = zev_test::ClientImage::OnScreen(button);
        const RECT inside{GetSystemMetrics(SM_CXEDGE), GetSystemMetrics(SM_CYEDGE),
                          shown.Width() - GetSystemMetrics(SM_CXEDGE), shown.Height() - GetSystemMetrics(SM_CYEDGE)};
        EXPECT_EQ(shown.Differing(inside, GetSysColor(COLOR_BTNFACE)).size(), WholeCaptionInk(button)) << caption;
    }
}

TEST_F(RenamePageTest, CtrlZAfterAClickOnTheApplyAndPageMessagesGoWithThePage)
{
    folder.File("a");
    folder.File("b");
    Show(folder.Root());
    TypeName(1, "x");
    Press(form.DoRenameButton);
    ASSERT_EQ(Names(), (Cells{"b", "x"}));
    ASSERT_TRUE(form.DoRenameButton.Focused());
    RealKey('Z', {VK_CONTROL});
    EXPECT_EQ(Names(), (Cells{"a", "b"}));
    EXPECT_EQ(form.StatusBar1.PanelText(), " 元に戻しました: 1 件");

    // In the cell's editor Ctrl+Z is the editor's own.
    Retype({"y"});
    Press(form.DoRenameButton);
    RealClickCell(2, 1);
    if (!Grid().EditorActive())
        RealKey(VK_F2);
    ASSERT_TRUE(Grid().EditorActive());
    RealKey('Z', {VK_CONTROL});
    RealKey(VK_ESCAPE);
    EXPECT_EQ(Names(), (Cells{"b", "y"}));

    // The rename page's own line (written by its refresh, which stays) is
    // gone once the tab of another page is clicked, the pointer still on the
    // tab strip.
    RECT tab{};
    TabCtrl_GetItemRect(form.DiskPage.Handle(), 1, &tab);
    zev_test::RealClick(form.DiskPage.Handle(), zev_test::Center(tab));
    TabCtrl_GetItemRect(form.DiskPage.Handle(), 4, &tab);
    zev_test::RealClick(form.DiskPage.Handle(), zev_test::Center(tab));
    EXPECT_EQ(form.StatusBar1.PanelText(), " " + Grid().Hint);
    TabCtrl_GetItemRect(form.DiskPage.Handle(), 5, &tab);
    zev_test::RealClick(form.DiskPage.Handle(), zev_test::Center(tab));
    zev_test::Pump();
    EXPECT_EQ(form.StatusBar1.PanelText(), " タブでページを選択します");
}

TEST_F(RenamePageTest, ReplaceMakesNewNamesThatApplyAndUndoAsAnyOther)
{
    const FILETIME august = LocalFileTime(2026, 8, 14, 10, 0, 0);
    folder.Folder("d.IMG_5");
    folder.File("IMG_0001.JPG", 1);
    folder.File("img_0003.jpg", 2);
    folder.File("IMG_0007.JPG", 3, august);
    folder.File("IMG_0010.jpg", 4, august);
    folder.File("表IMG_1.txt", 5);  // a trail byte 0x5C before the match
    // A name the code page cannot hold shows grey as a look-alike and is
    // passed over.
    CloseHandle(CreateFileW((WideText(folder.Root()) + L"\\IMG_0005한.jpg").c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_NEW, 0, nullptr));
    const Manifest before = ManifestOf(folder.Root());
    Show(folder.Root());
    ASSERT_EQ(Names(), (Cells{"d.IMG_5", "IMG_0001.JPG", "img_0003.jpg", "IMG_0005?.jpg", "IMG_0007.JPG", "IMG_0010.jpg",
                              "表IMG_1.txt"}));
    auto setName = [&](int row, const std::string& name) {
        Grid().SetCell(2, row, name);
        form.RenameGridSetEditText(Grid(), 2, row, name);
    };
    setName(2, "");  // an empty name is passed over and not numbered

    // Ctrl+H with the focus on the tab strip and the pointer on a button; the
    // count line follows typing.
    form.DiskPage.SetFocus();
    zev_test::MoveMouseTo(form.ReplaceButton.Handle(), {10, 10});
    ui::Application().ProcessMessages();
    std::vector<std::pair<std::string, bool>> lines;
    auto line = [&](HWND d) { lines.emplace_back(ReplaceDialog::Line(d), ReplaceDialog::CanReplace(d)); };
    WithReplaceDialog(
        [&](HWND d) {
            line(d);
            ReplaceDialog::Set(d, rdSearch, L"IMG_(\\d+)");
            line(d);
            ReplaceDialog::Click(d, rdRegex);
            line(d);
            ReplaceDialog::Set(d, rdSearch, L"IMG_(\\d+");
            line(d);
            SendMessageA(d, WM_COMMAND, IDOK, 0);  // refused: the dialog stays
            ReplaceDialog::Set(d, rdSearch, L"IMG_(\\d+)한");
            line(d);
            ReplaceDialog::Set(d, rdSearch, L"IMG_(\\d+)");
            ReplaceDialog::Set(d, rdReplacement, L"旅行_${date}_${n:3}");
            ReplaceDialog::Set(d, rdFirstNumber, L"8");
            line(d);
            RECT button{};
            GetClientRect(GetDlgItem(d, IDOK), &button);
            zev_test::MoveMouseTo(GetDlgItem(d, IDOK), zev_test::Center(button));
            SendMessageA(d, WM_COMMAND, IDOK, 0);
        },
        [&] { RealKey('H', {VK_CONTROL}); });
    using Line = std::pair<std::string, bool>;
    EXPECT_EQ(lines, (std::vector<Line>{{"変わる名前: 0 件", false},
                                        {"変わる名前: 0 件", true},
                                        {"変わる名前: 5 件", true},
                                        {"正規表現が正しくありません: ( と ) の対応か記号の並びが正しくありません", true},
                                        {"この文字は Shift_JIS で表せません", false},
                                        {"変わる名前: 5 件", true}}));
    // A folder's name is searched whole, a file's extension stays; letters
    // match in either case; the numbers follow the matching rows in grid
    // order, the date is the row's.
    auto date = [&](int row) {
        const std::string& stamp = Grid().Cell(5, row);
        return stamp.substr(0, 4) + stamp.substr(5, 2) + stamp.substr(8, 2);
    };
    const Cells replaced{"d.旅行_" + date(1) + "_008",  "",
                         "旅行_" + date(3) + "_009.jpg", "IMG_0005?.jpg",
                         "旅行_20260814_010.JPG",        "旅行_20260814_011.jpg",
                         "表旅行_" + date(7) + "_012.txt"};
    Cells newNames;
    for (int row = 1; row < Grid().RowCount(); ++row)
        newNames.push_back(Grid().Cell(2, row));
    EXPECT_EQ(newNames, replaced);
    EXPECT_EQ(Marks(), (Cells{"*", "*", "*", "", "*", "*", "*"}));
    // The report stays while the pointer rests where the dialog was, and
    // goes once it moves onto another control.
    ui::Application().ProcessMessages();
    EXPECT_EQ(form.StatusBar1.PanelText(), " 置換しました: 5 件, 変更できない名前: 1 件 (行 2: 空の名前)");
    zev_test::MoveMouseTo(form.DoRenameButton.Handle(), {10, 10});
    ui::Application().ProcessMessages();
    EXPECT_EQ(form.StatusBar1.PanelText(), " " + form.DoRenameButton.Hint);

    // The boxes are kept for the next opening; Esc changes nothing.
    std::vector<std::wstring> kept;
    WithReplaceDialog(
        [&](HWND d) {
            for (int item : {rdSearch, rdReplacement, rdFirstNumber})
                kept.push_back(ReplaceDialog::Text(d, item));
            kept.push_back(IsDlgButtonChecked(d, rdRegex) ? L"regex" : L"");
            ReplaceDialog::Set(d, rdReplacement, L"x");
            zev_test::SendKey(VK_ESCAPE, false);
            zev_test::SendKey(VK_ESCAPE, true);
        },
        [&] { Press(form.ReplaceButton); });
    EXPECT_EQ(kept, (std::vector<std::wstring>{L"IMG_(\\d+)", L"旅行_${date}_${n:3}", L"8", L"regex"}));
    EXPECT_EQ(Grid().Cell(2, 1), replaced[0]);

    setName(2, "IMG_0001.JPG");
    Press(form.DoRenameButton);
    EXPECT_EQ(form.StatusBar1.PanelText(), " 変更しました: 5 件 (Ctrl+Z で元に戻せます)");
    Cells onDisk = Listing(folder.Root());
    std::sort(onDisk.begin(), onDisk.end());
    Cells expected = replaced;
    expected[1] = "IMG_0001.JPG";
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(onDisk, expected);
    RealKey('Z', {VK_CONTROL});
    EXPECT_EQ(ManifestOf(folder.Root()), before);
}

TEST_F(RenamePageTest, ARunawayExpressionGivesUpWithoutFreezingTheWindowAndChangesNoRow)
{
    folder.File("aaa");
    folder.File(std::string(60, 'a') + "b");
    Show(folder.Root());
    std::string line;
    bool canReplace = true, stays = false;
    std::atomic<bool> asked{false}, answered{false};
    WithReplaceDialog(
        [&](HWND d) {
            ReplaceDialog::Click(d, rdRegex);
            // Another thread asks the dialog while its count line is worked
            // out; a window frozen by the search would leave it unanswered.
            std::thread asker([&, d] {
                DWORD_PTR result = 0;
                answered = SendMessageTimeoutW(d, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result) != 0;
                asked = true;
            });
            ReplaceDialog::Set(d, rdSearch, L"(a+)+$");
            line = ReplaceDialog::Line(d);
            canReplace = ReplaceDialog::CanReplace(d);
            while (!asked) {
                MSG msg;
                while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                    DispatchMessageW(&msg);
                Sleep(10);
            }
            asker.join();
            SendMessageA(d, WM_COMMAND, IDOK, 0);  // refused: the dialog stays
            stays = IsWindowVisible(d) != FALSE;
            SendMessageA(d, WM_COMMAND, IDCANCEL, 0);
        },
        [&] { Press(form.ReplaceButton); });
    EXPECT_EQ(line, "正規表現が複雑すぎます");
    EXPECT_FALSE(canReplace);
    EXPECT_TRUE(answered);
    EXPECT_TRUE(stays);

    // The replace itself, meeting the row that gives up after one it would
    // change, changes neither.
    form.ReplaceNames(form.ReplaceFields, 2);
    EXPECT_EQ(form.StatusBar1.PanelText(), " 正規表現が複雑すぎます");
    EXPECT_EQ(Grid().Cell(2, 1), "aaa");
    EXPECT_EQ(Marks(), (Cells{"", ""}));
}

TEST_F(RenamePageTest, TheCountShownIsTheCountReplacedWhenTheFolderChangedAfterTheFill)
{
    for (const char* name : {"a1.txt", "a2.txt", "a3.txt"})
        folder.File(name);
    Show(folder.Root());
    // Another program adds one file and removes two: the folder now holds
    // two entries, rows 1 and 2.
    folder.File("a4.txt");
    DeleteFileA(folder.Path("a1.txt").c_str());
    DeleteFileA(folder.Path("a3.txt").c_str());
    std::string line;
    WithReplaceDialog(
        [&](HWND d) {
            ReplaceDialog::Set(d, rdSearch, L"a");
            ReplaceDialog::Set(d, rdReplacement, L"b");
            line = ReplaceDialog::Line(d);
            SendMessageA(d, WM_COMMAND, IDOK, 0);
        },
        [&] { Press(form.ReplaceButton); });
    EXPECT_EQ(line, "変わる名前: 2 件");
    EXPECT_TRUE(form.StatusBar1.PanelText().starts_with(" 置換しました: 2 件")) << form.StatusBar1.PanelText();
    const Cells marks = Marks();
    EXPECT_EQ(std::count(marks.begin(), marks.end(), "*"), 2);
}

}  // namespace
