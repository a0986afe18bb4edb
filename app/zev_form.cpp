#include "app/zev_form.h"

#include <shellapi.h>

#include "app/usage_text.h"
#include "app/version.h"
#include "core/paths.h"
#include "core/sizes.h"
#include "rename/joliet_hints.h"
#include "ui/application.h"

DiskPath CurrentFolder;
bool RemoteFileSystem = false;
TForm1* Form1 = nullptr;

namespace {

constexpr COLORREF kHeaderGrey = RGB(128, 128, 128);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

ui::TFontSpec MakeFont(const char* name, int height, COLORREF color = kBlack, bool bold = false) {
    return ui::TFontSpec{name, height, color, bold};
}

void SetUpGrid(ui::TStringGrid& grid, COLORREF titleColor, const char* fontName, const char* hint) {
    grid.SetAlign(ui::TAlign::Client);
    grid.SetDefaultRowHeight(16);
    grid.SetFixedColor(titleColor);
    grid.SetFont(MakeFont(fontName, 12));
    grid.Hint = hint;
}

}  // namespace

TForm1::TForm1(std::vector<DiskPath> args)
    : ui::TForm("ZEV  v." ZEV_VERSION "  ディスク最新情報", 149, 95, 768, 353),
      Panel3(this),
      DirectoryLabel(&Panel3, 16, 8),
      ClusterSizeLabel(&Panel3, 48, 32),
      DiskFreeLabel(&Panel3, 509, 32),
      Panel2(this),
      Panel1(&Panel2),
      DriveComboBox1(&Panel1, 8, 8, 153),
      Panel4(&Panel2),
      CheckKB(&Panel4, "キロバイト表示", 8, 8, 150, 17),
      CheckTimeUpdate(&Panel4, "タイムスタンプ更新", 8, 32, 150, 17),
      Button1(&Panel4, "更新", 8, 56, 145, 25),
      Panel5(&Panel2),
      DirectoryListBox1(&Panel5),
      PagePanel(this),
      StatusBar1(&PagePanel),
      DiskPage(&PagePanel),
      FilePage(DiskPage, "ファイル"),
      FileGrid(&FilePage, 7, 2),
      DirPage(DiskPage, "フォルダ"),
      DirGrid(&DirPage, 7, 100),
      TreePage(DiskPage, "フォルダツリー"),
      TreeButton(&TreePage),
      BTreeAllExpand(&TreeButton, "ツリーをすべて表示", 8, 4, 130, 25),
      BCollapseTree(&TreeButton, "ツリーを縮小", 144, 4, 100, 25),
      DetailTree(&TreeButton, "詳細表示", 256, 8, 80, 17),
      lbFolder(&TreeButton, 344, 10),
      TreeMapCheck(&TreeButton, "マップ", 464, 8, 70, 17),
      TreeView1(&TreePage),
      TreeMapPane1(&TreePage),
      NewFilePage(DiskPage, "最新500ファイル"),
      NewFileGrid(&NewFilePage, 5, 2),
      RenameFilePage(DiskPage, "ファイル名変更"),
      RenamePanel(&RenameFilePage),
      DoRenameButton(&RenamePanel, "変更を反映", 4, 4, 84, 25),
      CancelRenameButton(&RenamePanel, "キャンセル", 4, 32, 84, 25),
      // Windows' frame is wider than Wine's: the last column ends short of
      // the page's edge at the default size so that its captions stay whole.
      ToLowerButton(&RenamePanel, "英大文字 → 英小文字", 92, 4, 130, 25),
      ToUpperBottun(&RenamePanel, "英小文字 → 英大文字", 92, 32, 130, 25),
      WideToSingleButton(&RenamePanel, "全角英数字を半角", 226, 4, 110, 25),
      LowerExtBottun(&RenamePanel, "拡張子を小文字", 226, 32, 110, 25),
      ZenSymbol(&RenamePanel, "全角記号を半角", 340, 4, 92, 25),
      HankakuKANA(&RenamePanel, "半角カナを全角", 340, 32, 92, 25),
      Underline2Space(&RenamePanel, "_ を空白", 436, 4, 60, 25),
      Space2Underline(&RenamePanel, "空白を _", 436, 32, 60, 25),
      UndoRenameButton(&RenamePanel, "元に戻す", 500, 4, 60, 25),
      ReplaceButton(&RenamePanel, "置換", 500, 32, 60, 25),
      RenameGrid(&RenameFilePage, 8, 2),
      JolietPage(DiskPage, "CD/DVD検証"),
      JolietPanel(&JolietPage),
      CharCountLabel(&JolietPanel, 8, 8),
      CurrentFileName(&JolietPanel, 48, 6, 300, 21),
      NewFileName(&JolietPanel, 48, 32, 300, 21),
      RenameButton(&JolietPanel, "変更", 356, 31, 75, 25),
      TargetLabel(&JolietPanel, 356, 10),
      TargetBox(&JolietPanel, 388, 6, 150),
      FixAllButton(&JolietPanel, "修正案で変更", 439, 31, 95, 25),
      JolietGrid(&JolietPage, 6, 3),
      HelpSheet(DiskPage, "使用法"),
      RichEdit1(&HelpSheet),
      args_(std::move(args)) {
    Form1 = this;
    Hint = "ZEV  v." ZEV_VERSION "   ドライブ， フォルダ， ファイルの最新情報を調査";
    SetFont(MakeFont("ＭＳ Ｐゴシック", 12, GetSysColor(COLOR_WINDOWTEXT)));
    LayOutHeader();
    LayOutLeftColumn();
    LayOutPages();
    BindEvents();
    OnShow = [this](ui::TForm& form) { FormShow(form); };
    Realign();
    // The drive selector announces the drive of the current folder while the
    // controls are first created, so the header is filled before FormShow.
    char current[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, current);
    if (current[0] && current[1] == ':') {
        char letter = current[0];
        if (letter >= 'A' && letter <= 'Z') letter = static_cast<char>(letter - 'A' + 'a');
        DriveComboBox1.SetDrive(letter);
    }
}

TForm1::~TForm1() {
    if (Form1 == this) Form1 = nullptr;
}

void TForm1::LayOutHeader() {
    Panel3.SetBounds(0, 0, 768, 49);
    Panel3.SetAlign(ui::TAlign::Top);
    Panel3.SetBevelLowered(true);
    Panel3.SetColor(kHeaderGrey);
    Panel3.Hint = " ドライブの情報を表示 パス名, クラスターサイズ, 空き容量と使用量";

    DirectoryLabel.SetFont(MakeFont("ＭＳ Ｐゴシック", 13, kWhite, true));
    DirectoryLabel.SetColor(kBlack);
    DirectoryLabel.SetCaption("Directory");
    DirectoryLabel.Hint = "現在のパス名";

    ClusterSizeLabel.SetFont(MakeFont("ＭＳ Ｐゴシック", 12, kWhite));
    ClusterSizeLabel.SetCaption("CLUSTER SIZE");
    ClusterSizeLabel.Hint = "ディスクのクラスターサイズ";

    DiskFreeLabel.SetFont(MakeFont("ＭＳ Ｐゴシック", 13, kWhite));
    DiskFreeLabel.SetColor(kHeaderGrey);
    DiskFreeLabel.SetAlignRight(true);
    DiskFreeLabel.SetCaption("DISK FREE SPACE ");
    DiskFreeLabel.Hint = "ディスクの使用量と空き";
}

void TForm1::LayOutLeftColumn() {
    Panel2.SetBounds(0, 49, 169, 304);
    Panel2.SetAlign(ui::TAlign::Left);
    Panel2.SetBevelLowered(true);

    Panel1.SetBounds(0, 0, 169, 32);
    Panel1.SetAlign(ui::TAlign::Top);
    Panel1.Hint = "ドライブを選択";
    DriveComboBox1.Hint = "ドライブを選択";

    Panel4.SetBounds(0, 0, 169, 93);
    Panel4.SetAlign(ui::TAlign::Bottom);
    Panel4.Hint = "最新の情報に更新";
    CheckKB.Hint = "ファイルサイズの単位";
    CheckKB.ShowHint = true;
    CheckTimeUpdate.Hint = "フォルダの日時を更新";
    Button1.Hint = "最新の情報に更新";
    Button1.ShowHint = true;

    Panel5.SetAlign(ui::TAlign::Client);
    DirectoryListBox1.SetAlign(ui::TAlign::Client);
    DirectoryListBox1.Hint = "フォルダをダブルクリックで選択";
}

void TForm1::LayOutPages() {
    PagePanel.SetAlign(ui::TAlign::Client);
    PagePanel.SetBevelLowered(true);

    StatusBar1.SetFont(MakeFont("ＭＳ Ｐゴシック", 11));
    StatusBar1.SetPanelText("HintText");

    DiskPage.SetAlign(ui::TAlign::Client);
    DiskPage.SetFont(MakeFont("MS UI Gothic", 12));
    DiskPage.Hint = "タブでページを選択します";

    SetUpGrid(FileGrid, RGB(221, 255, 221), "MS UI Gothic",
              "タイトルを左クリックでソート, ファイル名を左クリックでフォルダをオープン,  "
              "ファイル名を右クリックでオープン");
    SetUpGrid(DirGrid, RGB(255, 238, 204), "MS UI Gothic",
              "タイトルを左クリックでソート,  フォルダ名を左クリックで移動, 右クリックでエクスプローラを開く");
    DirGrid.SetDefaultColWidth(80);
    SetUpGrid(NewFileGrid, RGB(255, 255, 204), "MS UI Gothic",
              "タイトルを左クリックでソート, ファイル名を左クリックでエクスプローラ起動，右クリックでオープン");
    SetUpGrid(RenameGrid, RGB(255, 166, 255), "ＭＳ ゴシック",
              "表中のファイル名とフォルダ名を変更できます [変更を反映]ボタンで実際に変更されます");
    ui::TGridOptions renameOptions;
    renameOptions.RowSelect = false;
    renameOptions.RangeSelect = true;
    renameOptions.Editing = true;
    RenameGrid.SetOptions(renameOptions);
    SetUpGrid(JolietGrid, RGB(255, 128, 128), "MS UI Gothic",
              "CD-R/DVD±R用のファイル名(ISO9660 Joliet拡張) 違反ファイルの一覧。"
              "ファイル名の右クリックでフォルダを開く。");
    JolietGrid.SetDefaultColWidth(80);
    ui::TGridOptions jolietOptions;
    jolietOptions.ThumbTracking = false;
    JolietGrid.SetOptions(jolietOptions);
    JolietPage.Hint = "iso9660のJoliet拡張の違反ファイル名";

    LayOutTreePage();
    LayOutRenamePage();
    LayOutJolietPage();
    LayOutHelpSheet();
}

void TForm1::LayOutTreePage() {
    TreeButton.SetBounds(0, 0, 500, 32);
    TreeButton.SetAlign(ui::TAlign::Top);
    TreeButton.SetColor(GetSysColor(COLOR_BTNSHADOW));
    DetailTree.SetFont(MakeFont("MS UI Gothic", 12, kWhite));
    DetailTree.SetChecked(true);
    lbFolder.SetFont(MakeFont("MS UI Gothic", 12, kWhite));
    lbFolder.SetCaption("folder");
    lbFolder.Hint = "指定フォルダ以下のフォルダ数";
    TreeView1.SetAlign(ui::TAlign::Client);
    TreeView1.SetIndent(19);
    TreeView1.SetFont(MakeFont("ＭＳ ゴシック", 12));
    TreeView1.Hint = "フォルダの階層構造を表示 : フォルダ直下の合計ファイルサイズ／ファイル数,  ^C でコピー";
    LayOutTreeMap();
}

void TForm1::LayOutRenamePage() {
    RenamePanel.SetBounds(0, 0, 500, 61);
    RenamePanel.SetAlign(ui::TAlign::Bottom);
    RenamePanel.SetBevelLowered(true);
    const ui::TFontSpec bold = MakeFont("MS UI Gothic", 12, kBlack, true);
    DoRenameButton.SetFont(bold);
    DoRenameButton.Hint = "ファイル名を変更したファイル[*]を実際に変更します";
    CancelRenameButton.SetFont(bold);
    CancelRenameButton.Hint = "変更を取り消します";
    ToLowerButton.Hint = "すべてのファイルとフォルダ名中の英大文字を 英小文字に変更します";
    ToUpperBottun.Hint = "すべてのファイルとフォルダ名中の英小文字を 英大文字に変更します";
    WideToSingleButton.Hint = "すべてのファイルとフォルダ名中の全角英数字を半角に変換します";
    LowerExtBottun.Hint = "すべてのファイルとフォルダの拡張子を英小文字に変換します";
    HankakuKANA.Hint = "すべてのファイルとフォルダ名中の半角カナを全角カナに変換します";
    Underline2Space.Hint = "すべてのファイルとフォルダ名中の _ を空白に変換します";
    Space2Underline.Hint = "すべてのファイルとフォルダ名中の空白を _ に変換します";
    UndoRenameButton.Hint = "最後の［変更を反映］で変更した名前を元に戻します (Ctrl+Z)";
    ReplaceButton.Hint = "検索した文字列を置き換えた新しい名前を作ります (Ctrl+H)";
}

void TForm1::LayOutJolietPage() {
    JolietPanel.SetBounds(0, 0, 500, 61);
    JolietPanel.SetAlign(ui::TAlign::Bottom);
    JolietPanel.SetBevelLowered(true);
    JolietPanel.SetColor(RGB(128, 128, 128));
    CharCountLabel.SetFont(MakeFont("MS UI Gothic", 16, kWhite, true));
    CharCountLabel.SetCaption("0");
    CharCountLabel.Hint = kJolietCountHint;
    CurrentFileName.SetFont(MakeFont("ＭＳ ゴシック", 12));
    CurrentFileName.SetText("現在のファイル名");
    CurrentFileName.SetEnabled(false);
    CurrentFileName.Hint = "違反ファイル名";
    NewFileName.SetFont(MakeFont("ＭＳ ゴシック", 12));
    NewFileName.SetText("変更するファイル名");
    NewFileName.Hint = kJolietNewNameHint;
    RenameButton.Hint = "実際に変更します";
    TargetLabel.SetCaption("点検:");
    TargetBox.SetItems({"CD/DVD (Joliet)", "USBメモリ (FAT32)", "OneDrive・SharePoint", "Mac・zip", "文字化け"});
    TargetBox.SetItemIndex(0);
    TargetBox.Hint = "名前を点検する書き込み先 (文字化けはどこに書き込むかによらず点検します)";
    FixAllButton.Hint = "修正案のある名前をすべて修正案の名前に変更します (Ctrl+Z で元に戻せます)";
    FixAllButton.SetEnabled(false);
}

void TForm1::LayOutHelpSheet() {
    RichEdit1.SetAlign(ui::TAlign::Client);
    RichEdit1.SetBackground(RGB(68, 68, 68));
    RichEdit1.SetFont(MakeFont("ＭＳ ゴシック", 12, kWhite));
    RichEdit1.SetLines(UsageText());
    RichEdit1.Hint = "ZEV の使い方の解説 ヘルプともいう";
}

void TForm1::BindEvents() {
    DriveComboBox1.OnChange = [this](ui::TControl& s) { DriveComboBox1Change(s); };
    DirectoryListBox1.OnChange = [this](ui::TControl& s) { DirectoryListBox1Change(s); };
    CheckKB.OnClick = [this](ui::TControl& s) { CheckKBClick(s); };
    Button1.OnClick = [this](ui::TControl& s) { Button1Click(s); };
    DiskPage.OnChange = [this](ui::TControl& s) { DiskPageChange(s); };

    auto keys = [this](ui::TControl& s, WORD& key, ui::TShiftState shift) { GridKeyDown(s, key, shift); };
    FileGrid.OnKeyDown = keys;
    DirGrid.OnKeyDown = keys;
    NewFileGrid.OnKeyDown = keys;
    JolietGrid.OnKeyDown = keys;
    RichEdit1.OnKeyDown = keys;

    BTreeAllExpand.OnClick = [this](ui::TControl& s) { BTreeAllExpandClick(s); };
    BCollapseTree.OnClick = [this](ui::TControl& s) { BCollapseTreeClick(s); };
    DetailTree.OnClick = [this](ui::TControl& s) { DetailTreeClick(s); };
    TreeView1.OnKeyDown = [this](ui::TControl& s, WORD& key, ui::TShiftState shift) { TreeKeyDown(s, key, shift); };
    BindTreeMapEvents();

    FileGrid.OnDrawCell = [this](ui::TStringGrid& g, int c, int r, const RECT& rect, ui::TGridDrawState st) {
        FileDrawCell(g, c, r, rect, st);
    };
    FileGrid.OnMouseDown = [this](ui::TStringGrid& g, ui::TMouseButton b, ui::TShiftState sh, int x, int y) {
        FileClick(g, b, sh, x, y);
    };
    DirGrid.OnDrawCell = [this](ui::TStringGrid& g, int c, int r, const RECT& rect, ui::TGridDrawState st) {
        DirDrawCell(g, c, r, rect, st);
    };
    DirGrid.OnMouseDown = [this](ui::TStringGrid& g, ui::TMouseButton b, ui::TShiftState sh, int x, int y) {
        DirClick(g, b, sh, x, y);
    };
    RenameGrid.OnDrawCell = [this](ui::TStringGrid& g, int c, int r, const RECT& rect, ui::TGridDrawState st) {
        RenameFileDrawCell(g, c, r, rect, st);
    };
    RenameGrid.OnMouseDown = [this](ui::TStringGrid& g, ui::TMouseButton b, ui::TShiftState sh, int x, int y) {
        RenamePageClick(g, b, sh, x, y);
    };
    RenameGrid.OnSelectCell = [this](ui::TStringGrid& g, int c, int r, bool& can) {
        RenameGridSelectCell(g, c, r, can);
    };
    RenameGrid.OnSetEditText = [this](ui::TStringGrid& g, int c, int r, const std::string& v) {
        RenameGridSetEditText(g, c, r, v);
    };
    DoRenameButton.OnClick = [this](ui::TControl& s) { DoRenameButtonClick(s); };
    CancelRenameButton.OnClick = [this](ui::TControl& s) { CancelRenameButtonClick(s); };
    UndoRenameButton.OnClick = [this](ui::TControl& s) { UndoRenameButtonClick(s); };
    ReplaceButton.OnClick = [this](ui::TControl& s) { ReplaceButtonClick(s); };
    OnKeyPreview = [this](ui::TControl& s, WORD& key, ui::TShiftState shift) {
        RenamePageKeyDown(s, key, shift);
        JolietPageKeyDown(s, key, shift);
    };

    ToLowerButton.OnClick = [this](ui::TControl& s) { ToLowerButtonClick(s); };
    ToUpperBottun.OnClick = [this](ui::TControl& s) { ToUpperBottunClick(s); };
    Underline2Space.OnClick = [this](ui::TControl& s) { Underline2SpaceClick(s); };
    Space2Underline.OnClick = [this](ui::TControl& s) { Space2UnderlineClick(s); };
    WideToSingleButton.OnClick = [this](ui::TControl& s) { WideToSingleButtonClick(s); };
    ZenSymbol.OnClick = [this](ui::TControl& s) { ZenSymbolClick(s); };
    HankakuKANA.OnClick = [this](ui::TControl& s) { HankakuKANAClick(s); };
    LowerExtBottun.OnClick = [this](ui::TControl& s) { LowerExtBottunClick(s); };
    JolietGrid.OnDrawCell = [this](ui::TStringGrid& g, int c, int r, const RECT& rect, ui::TGridDrawState st) {
        NotJolietDrawCell(g, c, r, rect, st);
    };
    JolietGrid.OnSelectCell = [this](ui::TStringGrid& g, int c, int r, bool& can) { SelectJolietFile(g, c, r, can); };
    JolietGrid.OnMouseDown = [this](ui::TStringGrid& g, ui::TMouseButton b, ui::TShiftState sh, int x, int y) {
        JolietGridMouseDown(g, b, sh, x, y);
    };
    NewFileName.OnChange = [this](ui::TControl& s) { NewFileNameChange(s); };
    RenameButton.OnClick = [this](ui::TControl& s) { RenameButtonClick(s); };
    TargetBox.OnChange = [this](ui::TControl& s) { TargetBoxChange(s); };
    FixAllButton.OnClick = [this](ui::TControl& s) { FixAllButtonClick(s); };
    NewFileGrid.OnDrawCell = [this](ui::TStringGrid& g, int c, int r, const RECT& rect, ui::TGridDrawState st) {
        NewFileDrawCell(g, c, r, rect, st);
    };
    NewFileGrid.OnMouseDown = [this](ui::TStringGrid& g, ui::TMouseButton b, ui::TShiftState sh, int x, int y) {
        NewFileClick(g, b, sh, x, y);
    };
    BindDeleteKeys();
}

void TForm1::FormShow(ui::TControl&) {
    if (!args_.empty()) StartPath = FolderHolding(ExpandLongPath(args_.front().Wide));
    else StartPath = {};

    CheckKB.SetChecked(false);
    SizeUnit = 1;

    SetDirGridWidths();
    SetDirGridTitles();
    SetFileGridWidths();
    SetRenameGridWidths();
    SetFileGridTitles();
    SetNewestGridWidths();
    SetNewestGridTitles();
    SetJolietGridWidths();
    SetJolietGridTitles();

    DiskPage.SetActivePage(FilePage);

    if (!StartPath.empty()) DirectoryListBox1.SetDirectory(StartPath);
    CurrentFolder = DirectoryListBox1.Path();
    DirectoryLabel.SetCaption(CurrentFolder.Shown);

    SortDescending = true;
    FileSortKey = 12;
    DirSortKey = 2;
    RefreshFilePage();

    DragAcceptFiles(Handle(), TRUE);
    ui::Application().OnHint = [this](const std::string& hint) { HintToStatusBar(hint); };
    RemoteFileSystem = false;
}

void TForm1::RefreshActivePage() {
    const ui::TTabSheet* page = DiskPage.ActivePage();
    if (page == &FilePage)
        RefreshFilePage();
    else if (page == &DirPage)
        RefreshDirPage();
    else if (page == &RenameFilePage)
        RefreshRenamePage(RenameGrid);
    else if (page == &JolietPage)
        RefreshJolietPage();
    else if (page == &TreePage)
        RefreshTree(CurrentFolder);
    else if (page == &NewFilePage)
        RefreshNewestPage();
    // The usage page has no refresh.
}

void TForm1::DiskPageChange(ui::TControl&) {
    // A page's own message goes with the page; what the refresh writes stays.
    HintToStatusBar(ui::Application().TakeHintUnderPointer());
    RefreshActivePage();
}

void TForm1::Button1Click(ui::TControl&) { RefreshActivePage(); }

void TForm1::CheckKBClick(ui::TControl&) { RefreshActivePage(); }

void TForm1::DirectoryListBox1Change(ui::TControl&) {
    CurrentFolder = DirectoryListBox1.Path();
    DirectoryLabel.SetCaption(CurrentFolder.Shown);
    RefreshActivePage();
}

void TForm1::HintToStatusBar(const std::string& hint) { StatusBar1.SetPanelText(" " + hint); }

void TForm1::GridKeyDown(ui::TControl& sender, WORD& key, ui::TShiftState shift) {
    if (shift != ui::ssCtrl || key != 'C') return;
    if (&sender == &DirGrid)
        CopyDirPage();
    else if (&sender == &FileGrid)
        CopyFilePage();
    else if (&sender == &NewFileGrid)
        CopyNewestPage();
    else if (&sender == &JolietGrid)
        CopyTargetPage();
}
