// The main window as a user meets it: start-up, tabs, the refresh button and
// the kilobyte box, the hint line, Ctrl+C, the usage text, and a clean close.
#include "tests/app/form_fixture.h"

#include <algorithm>

#include "app/clip_text.h"
#include "core/sizes.h"
#include "ui/clipboard.h"

namespace {

using zev_test::Pump;
using zev_test::RealClick;
using zev_test::RealKey;

// The rich text control ends its paragraphs with CR alone.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\r')
            lines.emplace_back();
        else if (c != '\n')
            lines.back() += c;
    }
    return lines;
}

TEST_F(FormTest, StartsOnTheCurrentFolderWithTheNewestFileFirst) {
    tree.File("古い.txt", 10, LocalFileTime(2001, 1, 1));
    tree.File("新しい.txt", 20, LocalFileTime(2005, 1, 1));
    tree.File("中間.txt", 30, LocalFileTime(2003, 1, 1));

    TForm1& f = Open();
    EXPECT_EQ(f.Text(), "ZEV  v.2.04  ディスク最新情報");
    EXPECT_EQ(f.DiskPage.ActivePage(), &f.FilePage);
    EXPECT_EQ(CurrentFolder.Shown, tree.Root());
    EXPECT_EQ(f.DirectoryLabel.Caption(), tree.Root());
    EXPECT_TRUE(f.SortDescending);
    EXPECT_EQ(f.FileSortKey, 12);
    EXPECT_EQ(f.DirSortKey, 2);
    EXPECT_FALSE(f.CheckKB.Checked());
    EXPECT_EQ(SizeUnit, 1);
    EXPECT_EQ(FileNames(), (std::vector<std::string>{"新しい.txt", "中間.txt", "古い.txt"}));
    EXPECT_EQ(f.FileGrid.Cell(0, 0), " ファイル名");
    EXPECT_EQ(f.DirGrid.Cell(0, 0), " フォルダ名");
    EXPECT_EQ(f.NewFileGrid.Cell(3, 0), "サイズ(bytes)");
    EXPECT_EQ(f.JolietGrid.Cell(2, 0), " サイズ (bytes)");
    EXPECT_EQ(f.RenameGrid.ColWidth(2), 160);
    EXPECT_TRUE(errors.empty());
}

TEST_F(FormTest, CommandLinePathShowsTheFolderThatHoldsIt) {
    tree.Folder("上");
    tree.Folder("上\\下");
    tree.File("上\\下\\ファイル.txt");
    {
        TForm1& f = Open({tree.Path("上\\下\\ファイル.txt")});
        EXPECT_EQ(f.StartPath.Shown, tree.Path("上\\下"));
        EXPECT_EQ(CurrentFolder.Shown, tree.Path("上\\下"));
        EXPECT_EQ(FileNames(), std::vector<std::string>{"ファイル.txt"});
    }
    // A folder given is cut too: its own parent is shown.
    TForm1& f = Open({tree.Path("上\\下")});
    EXPECT_EQ(CurrentFolder.Shown, tree.Path("上"));
    EXPECT_EQ(f.DirectoryLabel.Caption(), tree.Path("上"));
}

TEST_F(FormTest, PathsTheCodePageCannotHoldShowTheirOwnFolder) {
    // "café", shown "cafe" beside a real "cafe" that must not be taken for it.
    const std::wstring folder = WideText(tree.Root()) + L"\\caf\u00E9";
    tree.Folder("cafe");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(MakeFile(tree.Path("cafe\\decoy.txt")));
    const HANDLE file = CreateFileW((folder + L"\\f.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    {
        Open({DiskPath(ShownText(folder + L"\\f.txt"), folder + L"\\f.txt")});
        EXPECT_EQ(CurrentFolder.Wide, folder);
        EXPECT_EQ(FileNames(), std::vector<std::string>{"f.txt"});
    }
    Open();
    PostMessageA(form->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeWideDrop(folder)), 0);
    zev_test::Pump();
    EXPECT_EQ(CurrentFolder.Wide, folder);
    EXPECT_EQ(CurrentFolder.Shown, tree.Path("cafe"));
    EXPECT_EQ(FileNames(), std::vector<std::string>{"f.txt"});
    EXPECT_TRUE(errors.empty());
}

TEST_F(FormTest, ShortCommandLinePathShowsLongNames) {
    tree.Folder("Long Folder Name Here");
    tree.Folder("Long Folder Name Here\\長いフォルダの名前です");
    const std::string file = tree.File("Long Folder Name Here\\長いフォルダの名前です\\x.txt");
    char shortPath[MAX_PATH] = "";
    ASSERT_GT(GetShortPathNameA(file.c_str(), shortPath, MAX_PATH), 0u);
    ASSERT_EQ(std::string(shortPath).find("Long Folder Name Here"), std::string::npos) << shortPath;

    TForm1& f = Open({shortPath});
    EXPECT_EQ(f.DirectoryLabel.Caption(), tree.Path("Long Folder Name Here\\長いフォルダの名前です"));
}

TEST_F(FormTest, EveryTabSelectionReadsTheDiskAgain) {
    tree.File("一.txt");
    TForm1& f = Open();
    ASSERT_EQ(FileNames(), std::vector<std::string>{"一.txt"});

    tree.File("二.txt");
    ClickTab(1);
    EXPECT_EQ(f.DiskPage.ActivePage(), &f.DirPage);
    ClickTab(0);
    EXPECT_EQ(f.DiskPage.ActivePage(), &f.FilePage);
    EXPECT_EQ(FileNames().size(), 2u);

    tree.File("三.txt");
    RealClick(f.Button1.Handle(), CenterOf(f.Button1));
    EXPECT_EQ(FileNames().size(), 3u);
}

TEST_F(FormTest, KilobyteBoxRetitlesTheShowingPageAndChangesNothingOnTheUsagePage) {
    tree.File("a.bin", 3000);
    TForm1& f = Open();
    RealClick(f.CheckKB.Handle(), {8, 8});
    ASSERT_TRUE(f.CheckKB.Checked());
    EXPECT_EQ(f.FileGrid.Cell(2, 0), "サイズ(KB)");
    EXPECT_EQ(f.FileGrid.Cell(2, 1), "3");

    ClickTab(6);
    RealClick(f.CheckKB.Handle(), {8, 8});
    EXPECT_FALSE(f.CheckKB.Checked());
    EXPECT_EQ(f.FileGrid.Cell(2, 0), "サイズ(KB)");  // the usage page refreshes nothing
    ClickTab(0);
    EXPECT_EQ(f.FileGrid.Cell(2, 0), "サイズ(bytes)");
    EXPECT_EQ(f.FileGrid.Cell(2, 1), "3,000");
}

TEST_F(FormTest, StatusBarShowsTheHintUnderThePointer) {
    TForm1& f = Open();
    EXPECT_EQ(f.StatusBar1.PanelText(), "HintText");
    zev_test::MoveMouseTo(f.Button1.Handle(), CenterOf(f.Button1));
    ui::Application().ProcessMessages();
    EXPECT_EQ(f.StatusBar1.PanelText(), " 最新の情報に更新");
    zev_test::MoveMouseTo(f.ClusterSizeLabel.Handle(), {2, 2});
    ui::Application().ProcessMessages();
    EXPECT_EQ(f.StatusBar1.PanelText(), " ディスクのクラスターサイズ");
    // The status bar and its panel have no hint: the window's own is the last resort.
    zev_test::MoveMouseTo(f.StatusBar1.Handle(), {300, 10});
    ui::Application().ProcessMessages();
    EXPECT_EQ(f.StatusBar1.PanelText(), " ZEV  v.2.04   ドライブ， フォルダ， ファイルの最新情報を調査");
    zev_test::MoveMouseTo(f.Panel3.Handle(), {700, 40});
    ui::Application().ProcessMessages();
    EXPECT_EQ(f.StatusBar1.PanelText(), "  ドライブの情報を表示 パス名, クラスターサイズ, 空き容量と使用量");
}

TEST_F(FormTest, CtrlCCopiesOnlyWithCtrlAloneAndOnlyFromTheListPages) {
    tree.File("コピー.txt", 5);
    TForm1& f = Open();
    const std::string sentinel = "sentinel";
    auto clipboard = [&] { return ui::ClipboardText(f.Handle()); };

    ui::SetClipboardText(f.Handle(), sentinel);
    f.FileGrid.SetFocus();
    RealKey('C', {VK_CONTROL, VK_SHIFT});
    RealKey('C', {VK_MENU});
    RealKey('C');
    EXPECT_EQ(clipboard(), sentinel);

    RealKey('C', {VK_CONTROL});
    const std::string copied = clipboard();
    EXPECT_EQ(copied.rfind("コピー.txt\t", 0), 0u) << copied;
    RealKey('C', {VK_CONTROL});
    EXPECT_EQ(clipboard(), copied) << "a second copy must not append";
    EXPECT_EQ(zev_test::ClipboardBytes(f.Handle()).substr(0, copied.size() + 1), copied + '\0');

    ui::SetClipboardText(f.Handle(), sentinel);
    f.DirectoryListBox1.SetFocus();
    RealKey('C', {VK_CONTROL});
    EXPECT_EQ(clipboard(), sentinel);

    // In the usage text only the text control's own copy of a selection happens.
    ClickTab(6);
    f.RichEdit1.SetFocus();
    SendMessageA(f.RichEdit1.Handle(), EM_SETSEL, 0, 5);
    RealKey('C', {VK_CONTROL});
    EXPECT_EQ(clipboard(), "-----");
}

TEST_F(FormTest, UsageTextHasItsTitleAndEveryHeadingUnderlinedByteForByte) {
    TForm1& f = Open();
    const std::vector<std::string> lines = Lines(f.RichEdit1.Text());
    ASSERT_GT(lines.size(), 3u);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "              zev の使用方法  ver.2.04  2006/02/09"),
              lines.end());
    const std::vector<std::string> headings = {
        "変更", "ドライブの選択", "フォルダの選択", "キロバイト", "フォルダのタイムスタンプの更新",
        "更新ボタン", "読み込みの中断", "ファイルページ", "フォルダページ", "フォルダツリーページ", "最新500ファイルページ",
        "ファイル名変更ページ", "CD/DVD検証ページ", "使用法ページ", "ドラッグアンドドロップ",
        "クリップボードに保存", "起動", "インストール", "アンインストール", "制限"};
    auto at = lines.begin();
    for (const std::string& heading : headings) {
        at = std::find(at, lines.end(), heading);
        ASSERT_NE(at, lines.end()) << heading;
        ASSERT_NE(at + 1, lines.end());
        EXPECT_EQ(*(at + 1), std::string(heading.size(), '~')) << heading;
    }
}

TEST_F(FormTest, VisitingEveryPageAndClosingLeaksNoHandles) {
    tree.Folder("サブ");
    tree.File("サブ\\f.txt", 100);
    auto visitAll = [&] {
        Open();
        for (int page = 1; page < 7; ++page) ClickTab(page);
        ClickTab(0);
        EXPECT_TRUE(errors.empty());
        form.reset();
        Pump();
    };
    visitAll();
    const long gdi = zev_test::GdiObjectLevel();
    const long user = zev_test::UserObjectLevel();
    constexpr int rounds = 8;
    for (int round = 0; round < rounds; ++round) visitAll();
    // Wine's own caches wobble by a few objects; a leak of ours costs at least
    // one object a window, in every round.
    EXPECT_LT(zev_test::GdiObjectLevel(), gdi + rounds);
    EXPECT_EQ(zev_test::UserObjectLevel(), user);
}

}  // namespace
