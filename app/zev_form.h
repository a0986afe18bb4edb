#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/disk_path.h"
#include "core/entry_identity.h"
#include "folders/tree_map_view.h"
#include "folders/tree_page.h"
#include "rename/name_conversions.h"
#include "rename/rename_check.h"
#include "rename/rename_on_disk.h"
#include "rename/replace_dialog.h"
#include "rename/target_rename.h"
#include "rename/target_rules.h"
#include "ui/button.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/directory_list_box.h"
#include "ui/drive_combo_box.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/label.h"
#include "ui/page_control.h"
#include "ui/panel.h"
#include "ui/rich_edit.h"
#include "ui/status_bar.h"
#include "ui/string_grid.h"

// The folder every page shows: always a copy of the folder selector's folder.
extern DiskPath CurrentFolder;
// True while the window shows a location dropped as a network path; the
// folder and file pages then leave their size-on-disk figures out.
extern bool RemoteFileSystem;

class WalkProgress;
class TreeMapWalk;

// The main window. Its handlers are defined next to the pages they serve:
// the frame in app/, each page's routines in its own folder.
class TForm1 : public ui::TForm {
public:
    // args: the command-line arguments after the program name.
    explicit TForm1(std::vector<DiskPath> args);
    ~TForm1() override;

    // Window state shared by the pages.
    bool SortDescending = false;
    int FileSortKey = 0;
    int DirSortKey = 0;
    int RenameSortKey = 0;
    DiskPath StartPath;

    // Header.
    ui::TPanel Panel3;
    ui::TLabel DirectoryLabel;
    ui::TLabel ClusterSizeLabel;
    ui::TLabel DiskFreeLabel;

    // Left column.
    ui::TPanel Panel2;
    ui::TPanel Panel1;
    ui::TDriveComboBox DriveComboBox1;
    ui::TPanel Panel4;
    ui::TCheckBox CheckKB;
    ui::TCheckBox CheckTimeUpdate;
    ui::TButton Button1;
    ui::TPanel Panel5;
    ui::TDirectoryListBox DirectoryListBox1;

    // Pages.
    ui::TPanel PagePanel;
    ui::TStatusBar StatusBar1;
    ui::TPageControl DiskPage;

    ui::TTabSheet FilePage;
    ui::TStringGrid FileGrid;

    ui::TTabSheet DirPage;
    ui::TStringGrid DirGrid;

    ui::TTabSheet TreePage;
    ui::TPanel TreeButton;
    ui::TButton BTreeAllExpand;
    ui::TButton BCollapseTree;
    ui::TCheckBox DetailTree;
    ui::TLabel lbFolder;
    ui::TCheckBox TreeMapCheck;
    ui::TTreeView TreeView1;
    TTreeMapPane TreeMapPane1;

    ui::TTabSheet NewFilePage;
    ui::TStringGrid NewFileGrid;

    ui::TTabSheet RenameFilePage;
    ui::TPanel RenamePanel;
    ui::TButton DoRenameButton;
    ui::TButton CancelRenameButton;
    ui::TButton ToLowerButton;
    ui::TButton ToUpperBottun;
    ui::TButton WideToSingleButton;
    ui::TButton LowerExtBottun;
    ui::TButton ZenSymbol;
    ui::TButton HankakuKANA;
    ui::TButton Underline2Space;
    ui::TButton Space2Underline;
    ui::TButton UndoRenameButton;
    ui::TButton ReplaceButton;
    ui::TStringGrid RenameGrid;

    ui::TTabSheet JolietPage;
    ui::TPanel JolietPanel;
    ui::TLabel CharCountLabel;
    ui::TEdit CurrentFileName;
    ui::TEdit NewFileName;
    ui::TButton RenameButton;
    ui::TLabel TargetLabel;
    ui::TComboBox TargetBox;
    ui::TButton FixAllButton;
    ui::TStringGrid JolietGrid;

    ui::TTabSheet HelpSheet;
    ui::TRichEdit RichEdit1;

    // Frame (app/zev_form.cpp).
    void FormShow(ui::TControl& sender);
    void RefreshActivePage();
    void DiskPageChange(ui::TControl& sender);
    void Button1Click(ui::TControl& sender);
    void CheckKBClick(ui::TControl& sender);
    void DirectoryListBox1Change(ui::TControl& sender);
    void HintToStatusBar(const std::string& hint);

    // Keyboard and clipboard (app/clip_text.cpp).
    void GridKeyDown(ui::TControl& sender, WORD& key, ui::TShiftState shift);

    // Delete and Shift+Delete: the selected entry to the Recycle Bin
    // (app/recycle.cpp); each page drops its entry in its own folder.
    enum class RecycleOutcome { Kept, Moved, Failed, FailedPartway };
    // Wraps the key handlers of the pages that delete, and notes which row
    // the user picked (a click or the arrow keys) since each page was filled.
    void BindDeleteKeys();
    void DeleteKeyDown(ui::TControl& sender, WORD& key, ui::TShiftState shift);
    // Asks, checks that path still names the entry listed, moves it to the
    // Recycle Bin and says how it went (the failure box, the status bar).
    // size: the box's size line.
    RecycleOutcome RecycleEntry(const DiskPath& path, const EntryIdentity& entry, const std::string& size);
    // The row the user picked on each page since it was last filled, 0 for none.
    int FilePickedRow = 0;
    int DirPickedRow = 0;
    int NewestPickedRow = 0;
    void DeleteFileRow();
    void DeleteDirRow();
    void DeleteNewestRow();

    // Drive header and locations (app/drive_header.cpp).
    void DriveComboBox1Change(ui::TControl& sender);
    void FilesDropped(HDROP drop) override;
    void ShowDriveInfo(const std::string& root);

    // File page (files/file_page.cpp).
    void SetFileGridWidths();
    void SetFileGridTitles();
    void RefreshFilePage();
    // Fills the grid from FileTable as it stands.
    void FillFileGrid();
    void FileDrawCell(ui::TStringGrid& sender, int col, int row, const RECT& rect, ui::TGridDrawState state);
    void FileClick(ui::TStringGrid& sender, ui::TMouseButton button, ui::TShiftState shift, int x, int y);
    void FileGridAction(ui::TMouseButton button, int x, int y);
    void CopyFilePage();

    // Folder page (folders/folder_page.cpp).
    void SetDirGridWidths();
    void SetDirGridTitles();
    void RefreshDirPage();
    void FillDirGrid();
    void DirDrawCell(ui::TStringGrid& sender, int col, int row, const RECT& rect, ui::TGridDrawState state);
    void DirClick(ui::TStringGrid& sender, ui::TMouseButton button, ui::TShiftState shift, int x, int y);
    void DirGridAction(ui::TStringGrid& grid, ui::TMouseButton button, int x, int y);
    // The folder a row of the folder page names; empty for none.
    DiskPath FolderOfRow(const ui::TStringGrid& grid, int row) const;
    void CopyDirPage();

    // Folder tree page (folders/folder_tree.cpp).
    void RefreshTree(const DiskPath& folder);
    // Adds a node under node for every sub-folder of path (ending in "\"),
    // at every depth in listing order. Returns the size of the files directly
    // in path and hands back their count and newest local last-write time
    // and the number of folders below path. Every file and folder met counts
    // in progress; once it answers that the walk is to stop, the tree holds
    // what was read up to there.
    std::int64_t BuildFolderTree(ui::TTreeNode node, const DiskPath& path, bool detailed,
                                 std::int32_t& folderCount, std::int32_t& fileCount, FILETIME& newest,
                                 WalkProgress& progress);
    void BTreeAllExpandClick(ui::TControl& sender);
    void BCollapseTreeClick(ui::TControl& sender);
    void DetailTreeClick(ui::TControl& sender);
    void TreeKeyDown(ui::TControl& sender, WORD& key, ui::TShiftState shift);
    // A sub-folder's node shows its own files' figures anew in detailed mode.
    void ShowFolderFigures(ui::TTreeNode node, std::int64_t size, std::int32_t fileCount, const FILETIME& newestUtc);
    void CopyTree();

    // The tree page's map (folders/tree_map_page.cpp).
    void TreeMapCheckClick(ui::TControl& sender);
    void TreeMapClick(const MapHit& hit, ui::TMouseButton button, bool doubleClick);
    void TreeMapKeyDown(ui::TControl& sender, WORD& key, ui::TShiftState shift);
    void TreeView1Select(ui::TTreeNode node);
    void CopyTreeMap();
    // Delete on the map: the file a click outlined.
    void DeleteMapFile();
    // Where the tree's walk records the files while the map is on; nullptr
    // while it is off.
    TreeMapWalk* MapWalk = nullptr;
    // The tree node that shows each of the map's folders, by the folder's
    // number.
    MapNodeTable MapNodes;

    // Newest-files page (files/newest_page.cpp).
    void SetNewestGridWidths();
    void SetNewestGridTitles();
    void RefreshNewestPage();
    void FillNewestGrid();
    void NewFileDrawCell(ui::TStringGrid& sender, int col, int row, const RECT& rect, ui::TGridDrawState state);
    void NewFileClick(ui::TStringGrid& sender, ui::TMouseButton button, ui::TShiftState shift, int x, int y);
    void NewestGridAction(ui::TMouseButton button, int x, int y);
    void CopyNewestPage();

    // Rename page (rename/rename_page.cpp).
    void SetRenameGridWidths();
    void RefreshRenamePage(ui::TStringGrid& grid);
    void MarkChangedRows();
    bool HasPendingEdits();
    void RenamePageClick(ui::TStringGrid& sender, ui::TMouseButton button, ui::TShiftState shift, int x, int y);
    void RenameGridSelectCell(ui::TStringGrid& sender, int col, int row, bool& canSelect);
    void RenameGridSetEditText(ui::TStringGrid& sender, int col, int row, const std::string& value);
    void RenameFileDrawCell(ui::TStringGrid& sender, int col, int row, const RECT& rect, ui::TGridDrawState state);
    void DoRenameButtonClick(ui::TControl& sender);
    // Whether the current name of the row is its entry's own name; a name
    // code page 932 cannot hold shows as a look-alike and is left to the
    // user's typing.
    bool RenameRowShowsExactly(int row) const;
    void CancelRenameButtonClick(ui::TControl& sender);
    // The identity of the entry each row of RenameGrid was filled from, by
    // row; the apply step renames only that entry.
    std::vector<EntryIdentity> RenameRowIdentities;
    // Works out, for every marked row, why the apply would fail on it now,
    // against the listing of CurrentFolder that FileTable holds (each caller
    // has just made one), and shows it: the new name in red, the reason in
    // the status bar.
    void CheckRenameRows();
    // The status bar for the rows' problems, the row given being selected.
    void ShowRenameStatus(int selectedRow);
    // The rename check's line for the rows' problems, the row given being
    // selected; empty when no marked row has one.
    std::string RenameProblemLine(int selectedRow) const;
    // Ctrl+Z and Ctrl+H while the rename page shows, wherever the focus is in
    // the window but in an edit box.
    void RenamePageKeyDown(ui::TControl& sender, WORD& key, ui::TShiftState shift);
    // Renames back, in the reverse order, what the last apply renamed.
    void UndoRenameButtonClick(ui::TControl& sender);
    // The row's problem; None for a row past the table.
    RenameProblem RenameRowProblem(int row) const;
    // By row: what CheckRenameRows found.
    std::vector<RenameProblem> RenameRowProblems;
    // What the last apply renamed, in CurrentFolder as it was then.
    DiskPath UndoFolder;
    std::vector<DoneRename> UndoRenames;

    // Find and replace on the rename page (rename/replace_names.cpp).
    void ReplaceButtonClick(ui::TControl& sender);
    // What 置換 does once the dialog has closed: replaces in the new name of
    // rows 1..n (n: the listing taken when the dialog opened), marks and
    // checks the rows as the conversions do, and reports. A search that gives
    // up changes no row.
    void ReplaceNames(const ReplaceSettings& settings, int n);
    // The dialog's count line for its boxes as they are, over rows 1..n.
    TReplacePreview ReplacePreview(const ReplaceSettings& settings, int n) const;
    // The dialog's boxes, kept for its next opening in this run.
    ReplaceSettings ReplaceFields;

    // Name conversions of the rename page (rename/conversion_buttons.cpp).
    void ConvertNames(ConvertMode mode);
    void ToLowerButtonClick(ui::TControl& sender);
    void ToUpperBottunClick(ui::TControl& sender);
    void Underline2SpaceClick(ui::TControl& sender);
    void Space2UnderlineClick(ui::TControl& sender);
    void WideToSingleButtonClick(ui::TControl& sender);
    void ZenSymbolClick(ui::TControl& sender);
    void HankakuKANAClick(ui::TControl& sender);
    void LowerExtBottunClick(ui::TControl& sender);

    // CD/DVD check page (rename/joliet_page.cpp).
    void SetJolietGridWidths();
    void SetJolietGridTitles();
    void RefreshJolietPage();
    void FillJolietGrid();
    void ShowJolietEntry(int row);
    // The folder of the entry of a row.
    DiskPath JolietFolderOfRow(int row) const;
    void NotJolietDrawCell(ui::TStringGrid& sender, int col, int row, const RECT& rect, ui::TGridDrawState state);
    void SelectJolietFile(ui::TStringGrid& sender, int col, int row, bool& canSelect);
    void JolietGridMouseDown(ui::TStringGrid& sender, ui::TMouseButton button, ui::TShiftState shift, int x, int y);
    void NewFileNameChange(ui::TControl& sender);
    void RenameButtonClick(ui::TControl& sender);

    // The CD/DVD page's other targets (rename/target_page.cpp).
    CheckTarget JolietTarget() const;
    void TargetBoxChange(ui::TControl& sender);
    void SetTargetGridTitles();
    void RefreshTargetPage();
    void FillTargetGrid();
    void ShowTargetEntry(int row);
    void TargetGridMouseDown(ui::TMouseButton button, int col, int row);
    void TargetNameChange();
    void TargetRenameButtonClick();
    void FixAllButtonClick(ui::TControl& sender);
    void UndoTargetRenames();
    // Ctrl+Z on the CD/DVD page, anywhere but in an edit box.
    void JolietPageKeyDown(ui::TControl& sender, WORD& key, ui::TShiftState shift);
    void CopyTargetPage();
    // Entries the last walk for another target stored, also the entry rows.
    int TargetCount = 0;
    // The TargetTable index the boxes show; 0 when none.
    int ShownTarget = 0;
    // What the last 修正案で変更 or 変更 renamed, below CurrentFolder as it was.
    DiskPath TargetUndoFolder;
    std::vector<TargetRenameDone> TargetUndo;

private:
    void LayOutHeader();
    void LayOutLeftColumn();
    void LayOutPages();
    void LayOutTreePage();
    void LayOutTreeMap();
    void BindTreeMapEvents();
    void LayOutRenamePage();
    void LayOutJolietPage();
    void LayOutHelpSheet();
    void BindEvents();

    std::vector<DiskPath> args_;
};

// The main window of the running program.
extern TForm1* Form1;
