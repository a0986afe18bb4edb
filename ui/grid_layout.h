#pragma once
#include <vector>

namespace ui {

// Client pixels; right and bottom are exclusive.
struct GridRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
    bool operator==(const GridRect&) const = default;
};

// An inclusive range of indices; empty when last < first.
struct GridSpan {
    int first = 0, last = -1;
    bool Empty() const { return last < first; }
    bool operator==(const GridSpan&) const = default;
};

// Where the cells of a grid lie on its client area. Row 0 is the title row,
// always at the top; the data rows follow from the top row down; columns
// start at the horizontal scroll offset. Every cell is followed by a one-pixel
// grid line on its right and below it, and a point on that line belongs to
// the cell. A column of width 0 takes no room at all, line included, so no
// point ever falls into it.
class GridLayout {
public:
    static constexpr int kLineWidth = 1;
    static constexpr int kFixedRows = 1;

    int ColCount() const { return static_cast<int>(widths_.size()); }
    // Columns added take the given width; the others keep theirs.
    void SetColCount(int count, int width);
    int ColWidth(int col) const;  // 0 outside the grid
    void SetColWidth(int col, int width);
    // Every column gets the width.
    void SetAllColWidths(int width);

    int RowCount() const { return rowCount_; }
    void SetRowCount(int count);
    int DataRowCount() const;
    int RowHeight() const { return rowHeight_; }
    void SetRowHeight(int height);
    int RowPitch() const { return rowHeight_ + kLineWidth; }

    void SetClientSize(int width, int height);
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }

    // Both setters clamp, and every change of sizes or counts clamps again,
    // so the last row never scrolls above the bottom of a full view.
    int TopRow() const { return topRow_; }
    void SetTopRow(int row);
    int MaxTopRow() const;
    int ScrollX() const { return scrollX_; }
    void SetScrollX(int x);
    int MaxScrollX() const;

    int ContentWidth() const { return lefts_.back(); }
    int VisibleRowCount() const;  // whole data rows below the title row

    int ColLeft(int col) const;  // client x of the column's first pixel
    int RowTop(int row) const;   // client y of the row's first pixel
    // The cell without its grid lines; empty outside the grid and for data
    // rows scrolled above the top row.
    GridRect CellRect(int col, int row) const;

    // -1 outside the client area and outside every cell.
    int ColAt(int x) const;
    int RowAt(int y) const;

    // The columns and the data rows that meet a client band.
    GridSpan ColsIn(int left, int right) const;
    GridSpan DataRowsIn(int top, int bottom) const;
    bool TitleIn(int top, int bottom) const;

    // The column whose right grid line lies within tolerance of x, the
    // nearest one; on a tie the later column wins, so a column shrunk to 0
    // can be dragged open again. -1 when none.
    int ColBorderAt(int x, int tolerance) const;

private:
    void Reclamp();
    void RebuildLefts();

    std::vector<int> widths_;
    std::vector<int> lefts_{0};  // content x of each column, then the content width
    int rowCount_ = 0;
    int rowHeight_ = 16;
    int clientWidth_ = 0, clientHeight_ = 0;
    int topRow_ = kFixedRows;
    int scrollX_ = 0;
};

}  // namespace ui
