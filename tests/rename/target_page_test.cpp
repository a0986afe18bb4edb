#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/clip_text.h"
#include "app/zev_form.h"
#include "core/find_file.h"
#include "files/file_sort.h"
#include "tests/app/page_test.h"
#include "tests/core/temp_tree.h"

// Faults caught:
// | fault                                                        | test                          |
// |--------------------------------------------------------------|-------------------------------|
// | a parent renamed before what lies in it (paths gone stale)   | NestedGarbledTree...          |
// | undo in the wrong order, or refusing names it once had       | NestedGarbledTree..., CON...  |
// | "CON.txt" or "trail " missed or renamed as a device / trimmed | DeviceAndTrailingSpace...     |
// | a taken name overwritten, or the failure not counted         | ATakenNameIsLeft...           |
// | the CD/DVD choice's texts, columns or copy changed           | TheCdChoiceStaysAsItWas       |
// | folders missed, sizes, path lengths or the copy line wrong   | ListsFoldersAndCopiesRows     |

namespace {

using zev_test::RealKey;

std::wstring Prefixed(const std::wstring& path)
{
    return L"\\\\?\\" + path;
}

void MakeWide(const std::wstring& path, bool folder)
{
    if (folder) {
        ASSERT_TRUE(CreateDirectoryW(Prefixed(path).c_str(), nullptr));
        return;
    }
    const HANDLE file =
        CreateFileW(Prefixed(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "data", 4, &written, nullptr);
    CloseHandle(file);
}

// The names of a folder, sorted.
std::vector<std::wstring> NamesIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    for (FindFile entry(Prefixed(folder) + L"\\*"); entry; entry.next())
        if (!entry.isDotEntry())
            names.emplace_back(entry.wideName());
    std::sort(names.begin(), names.end());
    return names;
}

// Removes what TempTree cannot reach: names only the "\\?\" form names.
void RemoveAll(const std::wstring& folder)
{
    for (FindFile entry(Prefixed(folder) + L"\\*"); entry; entry.next()) {
        if (entry.isDotEntry())
            continue;
        const std::wstring path = folder + L"\\" + std::wstring(entry.wideName());
        if (entry.isFolder())
            RemoveAll(path);
        else
            DeleteFileW(Prefixed(path).c_str());
    }
    RemoveDirectoryW(Prefixed(folder).c_str());
}

// What code page 932 makes of the bytes of text in the code page from.
std::wstring Garbled(const std::wstring& text, UINT from, UINT as)
{
    std::string bytes(text.size() * 4, '\0');
    bytes.resize(static_cast<std::size_t>(WideCharToMultiByte(from, 0, text.data(), static_cast<int>(text.size()),
                                                              bytes.data(), static_cast<int>(bytes.size()),
                                                              nullptr, nullptr)));
    std::wstring result(bytes.size(), L'\0');
    result.resize(static_cast<std::size_t>(MultiByteToWideChar(as, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                               result.data(), static_cast<int>(result.size()))));
    return result;
}

class TargetPageTest : public PageTest {
protected:
    TargetPageTest() : PageTest(&TForm1::JolietGrid)
    {
        form.DiskPage.SetActivePage(form.JolietPage);
        zev_test::Pump();
        root = WideText(tree.Root());
        form.RenameSortKey = SortByName;
        form.SortDescending = false;
    }
    ~TargetPageTest() override
    {
        for (const std::wstring& name : NamesIn(root)) {
            const std::wstring path = root + L"\\" + name;
            if (GetFileAttributesW(Prefixed(path).c_str()) & FILE_ATTRIBUTE_DIRECTORY)
                RemoveAll(path);
            else
                DeleteFileW(Prefixed(path).c_str());
        }
    }

    // Chooses a target as the user does: the list's selection and its
    // notification.
    void Choose(CheckTarget target)
    {
        CurrentFolder = tree.Root();
        const HWND box = form.TargetBox.Handle();
        SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(target), 0);
        SendMessageA(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(box));
        zev_test::Pump();
    }
    void Make(const std::wstring& relative, bool folder = false) { MakeWide(root + L"\\" + relative, folder); }
    std::vector<std::wstring> Names(const std::wstring& relative = L"")
    {
        return NamesIn(relative.empty() ? root : root + L"\\" + relative);
    }
    void FixAll() { zev_test::Click(form.FixAllButton.Handle(), 5, 5); }
    void Undo()
    {
        SetFocus(Grid().Handle());
        RealKey('Z', {VK_CONTROL});
        zev_test::Pump();
    }
    std::string Status() { return form.StatusBar1.PanelText(); }

    TempTree tree;
    std::wstring root;
};

TEST_F(TargetPageTest, NestedGarbledTreeIsRepairedInOneRunAndUndone)
{
    const std::wstring photo = Garbled(L"写真", CP_UTF8, 932);
    const std::wstring test = Garbled(L"テスト", 932, 437);
    Make(photo, true);
    Make(photo + L"\\" + test, true);
    Make(photo + L"\\" + test + L"\\" + photo + L".jpg");
    Make(L"plain.txt");
    Choose(CheckTarget::Garbled);

    ASSERT_EQ(Grid().RowCount(), 5);
    Cells proposals{Grid().Cell(6, 1), Grid().Cell(6, 2), Grid().Cell(6, 3)};
    std::sort(proposals.begin(), proposals.end());
    EXPECT_EQ(proposals, (Cells{"テスト", "写真", "写真.jpg"}));
    EXPECT_TRUE(IsWindowEnabled(form.FixAllButton.Handle()));
    FixAll();

    EXPECT_EQ(Status(), " 変更しました: 3 件 (Ctrl+Z で元に戻せます)");
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"plain.txt", L"写真"}));
    EXPECT_EQ(Names(L"写真\\テスト"), (std::vector<std::wstring>{L"写真.jpg"}));
    EXPECT_EQ(Grid().RowCount(), 2);
    EXPECT_FALSE(IsWindowEnabled(form.FixAllButton.Handle()));

    Undo();
    EXPECT_EQ(Status(), " 元に戻しました: 3 件");
    EXPECT_EQ(Names(photo + L"\\" + test), (std::vector<std::wstring>{photo + L".jpg"}));
    EXPECT_EQ(Grid().RowCount(), 5);
    // Once only.
    Undo();
    EXPECT_EQ(Names(photo + L"\\" + test), (std::vector<std::wstring>{photo + L".jpg"}));
}

TEST_F(TargetPageTest, DeviceAndTrailingSpaceNamesAreRenamedAndBack)
{
    Make(L"CON.txt");
    Make(L"trail ", true);
    Make(L"trail \\end. ");
    Choose(CheckTarget::OneDrive);

    ASSERT_EQ(Grid().RowCount(), 5);
    EXPECT_EQ(Grid().Cell(0, 1), "CON.txt");
    EXPECT_EQ(Grid().Cell(1, 1), "使えない名前");
    EXPECT_EQ(Grid().Cell(6, 1), "CON_.txt");
    EXPECT_EQ(Grid().Cell(1, 2), "前後の空白、末尾のピリオド");
    EXPECT_EQ(Grid().Cell(6, 2), "end");

    // The box holds the 修正案; 変更 gives it to that entry alone.
    // Row 1 is the current row after a check; the boxes show the last.
    EXPECT_EQ(form.CurrentFileName.Text(), "trail ");
    SetFocus(Grid().Handle());
    ClickCell(0, 2);
    ClickCell(0, 1);
    EXPECT_EQ(form.CurrentFileName.Text(), "CON.txt");
    EXPECT_EQ(form.NewFileName.Text(), "CON_.txt");
    EXPECT_EQ(form.CharCountLabel.Caption(), "8");
    EXPECT_EQ(form.CharCountLabel.Font().Color, RGB(255, 255, 255));
    form.NewFileName.SetText("nul");
    EXPECT_EQ(form.CharCountLabel.Font().Color, RGB(255, 0, 0));
    form.NewFileName.SetText("CON_.txt");
    zev_test::Click(form.RenameButton.Handle(), 5, 5);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"CON_.txt", L"trail "}));
    Undo();
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"CON.txt", L"trail "}));

    FixAll();
    EXPECT_EQ(Status(), " 変更しました: 3 件 (Ctrl+Z で元に戻せます)");
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"CON_.txt", L"trail"}));
    EXPECT_EQ(Names(L"trail"), (std::vector<std::wstring>{L"end"}));
    Undo();
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"CON.txt", L"trail "}));
    EXPECT_EQ(Names(L"trail "), (std::vector<std::wstring>{L"end. "}));
}

TEST_F(TargetPageTest, ATakenNameIsLeftAndCounted)
{
    Make(L"a ");
    Make(L"A");
    Make(L"desk.");
    Choose(CheckTarget::OneDrive);
    ASSERT_EQ(Grid().RowCount(), 4);
    FixAll();
    EXPECT_EQ(Status(), " 変更しました: 1 件, 変更できませんでした: 1 件 (Ctrl+Z で元に戻せます)");
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"A", L"a ", L"desk"}));
    Undo();
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"A", L"a ", L"desk."}));
}

TEST_F(TargetPageTest, ListsFoldersAndCopiesRows)
{
    Make(L"\x2460", true);
    Make(L"\x2460\\\x304B\x3099.txt");
    Make(L"\x9AD9");
    Choose(CheckTarget::MacZip);

    ASSERT_EQ(Grid().RowCount(), 5);
    EXPECT_EQ(Row(0), (Cells{" 名前", "理由", " サイズ (bytes)", " 日付", "パス長", " パス名", "修正案"}));
    EXPECT_EQ(Grid().ColWidth(6), 200);
    const std::string folder = tree.Root() + "\\";
    const Cells first = Row(1);
    EXPECT_EQ(first[1], "濁点が分離");
    EXPECT_EQ(first[2], "4");
    EXPECT_EQ(first[4], "8");
    EXPECT_EQ(first[5], ShownText(root + L"\\\x2460\\"));
    EXPECT_EQ(first[6], "が.txt");
    EXPECT_EQ(Row(2)[2], "<DIR>");
    EXPECT_EQ(Row(2)[6], "(1)");
    EXPECT_EQ(Row(3)[1], "機種依存文字");
    EXPECT_EQ(Row(3)[6], "");
    EXPECT_EQ(Row(4)[2], "3 件");

    WORD key = 'C';
    form.GridKeyDown(form.JolietGrid, key, ui::ssCtrl);
    const std::string second = Row(2)[0] + "\t機種依存文字\t        <DIR>\t" + Row(2)[3] + "\t   1\t" + folder + "\t(1)\r\n";
    EXPECT_NE(ClipText.find(second), std::string::npos) << ClipText;
    EXPECT_EQ(std::count(ClipText.begin(), ClipText.end(), '\n'), 3);
}

TEST_F(TargetPageTest, TheCdChoiceStaysAsItWas)
{
    EXPECT_EQ(form.TargetBox.ItemIndex(), 0);
    EXPECT_FALSE(IsWindowEnabled(form.FixAllButton.Handle()));
    Make(L"a;b");
    Choose(CheckTarget::UsbFat32);
    EXPECT_EQ(form.NewFileName.Hint, "変更するファイル名、左の数値が白になるように変更してください");
    EXPECT_EQ(form.CharCountLabel.Hint, "ファイル名の文字数 赤は点検先の規則に合わないことを示します");
    EXPECT_EQ(Grid().RowCount(), 2);
    EXPECT_EQ(Row(1), (Cells{"[合計]", "", "0 件", "", "", "", ""}));

    Choose(CheckTarget::Joliet);
    EXPECT_EQ(form.NewFileName.Hint, "変更ファイル名、左の数値が1から64以内の値に変更してください");
    EXPECT_EQ(form.CharCountLabel.Hint, "ファイル名の文字数 負の値はセミコロンを含むことを示します");
    EXPECT_EQ(Grid().ColCount(), 6);
    EXPECT_EQ(Grid().ColWidth(0), 240);
    EXPECT_EQ(Row(0), (Cells{" ファイル名", "字数", " サイズ (bytes)", " 日付", "パス長", " パス名"}));
    EXPECT_EQ(Row(1)[0], "a;b");
    EXPECT_EQ(Row(2)[2], "1 files");
    EXPECT_FALSE(IsWindowEnabled(form.FixAllButton.Handle()));
    ClipText = "before";
    WORD key = 'C';
    form.GridKeyDown(form.JolietGrid, key, ui::ssCtrl);
    EXPECT_EQ(ClipText, "before");

    // Every caption of the panel shows whole at the window's default size.
    RECT panel{};
    GetClientRect(form.JolietPanel.Handle(), &panel);
    for (HWND control : {form.TargetBox.Handle(), form.FixAllButton.Handle(), form.TargetLabel.Handle()}) {
        RECT box{};
        GetWindowRect(control, &box);
        MapWindowPoints(nullptr, form.JolietPanel.Handle(), reinterpret_cast<POINT*>(&box), 1);
        EXPECT_LE(box.left + 10, panel.right);
    }
}

}  // namespace
