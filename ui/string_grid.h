#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/control.h"
#include "ui/grid_layout.h"

namespace ui {

// What a draw-cell handler draws on: the grid's DC with the brush, font and
// text colour already set for the cell (the selected row highlighted).
class TCanvas {
public:
    HDC Handle() const { return dc_; }
    // Fills the rectangle with the current brush.
    void FillRect(const RECT& rect) const;

private:
    friend class TStringGrid;
    HDC dc_ = nullptr;
    HBRUSH brush_ = nullptr;
};

using TGridDrawState = unsigned;
inline constexpr TGridDrawState gdSelected = 1, gdFocused = 2, gdFixed = 4;

struct TGridOptions {
    bool ColSizing = true;    // drag title borders to widen columns
    bool RowSelect = true;    // the whole row is selected
    bool Editing = false;     // in-place editing of the cells OnSelectCell lets through
    bool RangeSelect = false;
    bool ThumbTracking = true;
};

class TStringGrid;
using TDrawCellEvent =
    std::function<void(TStringGrid& sender, int col, int row, const RECT& rect, TGridDrawState state)>;
using TGridMouseEvent =
    std::function<void(TStringGrid& sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TSelectCellEvent = std::function<void(TStringGrid& sender, int col, int row, bool& canSelect)>;
using TSetEditTextEvent = std::function<void(TStringGrid& sender, int col, int row, const std::string& value)>;

// A string grid of our own: cells as text, one fixed title row in its own
// colour, user-sized columns, a current row and a top row. It paints only the
// cells that meet the update region, so ten thousand rows cost what ten do.
class TStringGrid : public TControl {
public:
    TStringGrid(TControl* parent, int colCount, int rowCount);
    ~TStringGrid() override;

    int ColCount() const;
    void SetColCount(int count);
    int RowCount() const;
    void SetRowCount(int count);  // keeps the cells of rows that remain

    const std::string& Cell(int col, int row) const;  // empty outside the grid
    void SetCell(int col, int row, std::string_view text);
    // Empties every cell of the grid, title row included.
    void ClearCells();

    int ColWidth(int col) const;
    void SetColWidth(int col, int width);
    void SetDefaultColWidth(int width);
    void SetDefaultRowHeight(int height);
    void SetFixedColor(COLORREF color);
    void SetOptions(const TGridOptions& options);

    int Row() const;  // current row
    void SetRow(int row);
    int Col() const;
    void SetCol(int col);
    int TopRow() const;
    void SetTopRow(int row);
    int VisibleRowCount() const;  // whole data rows that fit below the title row

    // The cell under a client point, (-1, -1) outside every cell.
    void MouseToCell(int x, int y, int& col, int& row) const;
    RECT CellRect(int col, int row) const;
    TCanvas& Canvas() { return canvas_; }
    // Inside a draw-cell handler: the cell filled with the canvas brush and its
    // text drawn right-aligned, 2 pixels down, as the number columns show.
    // A share above 0 (up to 1) puts that much of the cell's width, from the
    // right, under a bar of a tint between the cell's colour and its text's.
    void DrawCellRight(int col, int row, const RECT& rect, double barShare = 0);
    // Inside a draw-cell handler: the cell drawn as the grid draws it, with
    // its text in the colour.
    void DrawCellText(int col, int row, const RECT& rect, COLORREF color);

    // Many cell writes repaint once at the end.
    void BeginUpdate();
    void EndUpdate();

    bool EditorActive() const;

    TDrawCellEvent OnDrawCell;
    TGridMouseEvent OnMouseDown;
    TSelectCellEvent OnSelectCell;
    TSetEditTextEvent OnSetEditText;

    static void Register();

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    struct Impl;
    void SetCanvas(HDC dc, HBRUSH brush);

    std::unique_ptr<Impl> impl_;
    TCanvas canvas_;
};

// Holds a grid's repaint for one scope: many cell writes repaint once, also
// when a write throws.
class TGridUpdate {
public:
    explicit TGridUpdate(TStringGrid& grid) : grid_(grid) { grid_.BeginUpdate(); }
    ~TGridUpdate() { grid_.EndUpdate(); }
    TGridUpdate(const TGridUpdate&) = delete;
    TGridUpdate& operator=(const TGridUpdate&) = delete;

private:
    TStringGrid& grid_;
};

}  // namespace ui
