#include "ui/grid_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using ui::GridLayout;
using ui::GridRect;
using ui::GridSpan;

// Rows 16 high plus their line: the title covers y 0..16, data row k of the
// view starts at 17 * k.
GridLayout Make(std::vector<int> widths, int rows, int width, int height) {
    GridLayout g;
    g.SetColCount(static_cast<int>(widths.size()), 64);
    for (size_t c = 0; c < widths.size(); ++c) g.SetColWidth(static_cast<int>(c), widths[c]);
    g.SetRowCount(rows);
    g.SetClientSize(width, height);
    return g;
}

TEST(GridLayout, NoRowsAtAll) {
    GridLayout g = Make({50, 30}, 0, 200, 100);
    EXPECT_EQ(g.RowAt(0), -1);
    EXPECT_EQ(g.RowAt(40), -1);
    EXPECT_FALSE(g.TitleIn(0, 100));
    EXPECT_TRUE(g.DataRowsIn(0, 100).Empty());
    EXPECT_TRUE(g.CellRect(0, 0).Empty());
    g.SetTopRow(5);
    EXPECT_EQ(g.TopRow(), 1);
}

TEST(GridLayout, TitleRowOnly) {
    GridLayout g = Make({50, 30}, 1, 200, 100);
    EXPECT_EQ(g.DataRowCount(), 0);
    EXPECT_EQ(g.RowAt(0), 0);
    EXPECT_EQ(g.RowAt(16), 0);  // the title's own bottom line
    EXPECT_EQ(g.RowAt(17), -1);
    EXPECT_TRUE(g.TitleIn(0, 100));
    EXPECT_TRUE(g.DataRowsIn(0, 100).Empty());
    EXPECT_EQ(g.MaxTopRow(), 1);
    EXPECT_EQ(g.CellRect(1, 0), (GridRect{51, 0, 81, 16}));
}

TEST(GridLayout, PartialLastRowIsPaintedButNotCountedAsVisible) {
    // 100 pixels: the title, four whole rows (17..84) and 15 pixels of a fifth.
    GridLayout g = Make({50}, 11, 200, 100);
    EXPECT_EQ(g.VisibleRowCount(), 4);
    EXPECT_EQ(g.DataRowsIn(0, 100), (GridSpan{1, 5}));
    EXPECT_EQ(g.RowAt(99), 5);
    EXPECT_EQ(g.RowAt(100), -1);  // outside the client area
    // Scrolled to the end, the last row is whole and the view holds no gap.
    g.SetTopRow(1000);
    EXPECT_EQ(g.TopRow(), 7);
    const GridRect last = g.CellRect(0, 10);
    EXPECT_EQ(last.top, 68);
    EXPECT_LE(last.bottom, 100);
    EXPECT_EQ(g.DataRowsIn(0, 100), (GridSpan{7, 10}));
}

TEST(GridLayout, BandsMeetOnlyTheRowsThatExist) {
    GridLayout g = Make({50}, 4, 200, 100);  // three data rows, 17..67
    EXPECT_EQ(g.DataRowsIn(0, 100), (GridSpan{1, 3}));
    EXPECT_EQ(g.DataRowsIn(68, 100), GridSpan{});
    EXPECT_EQ(g.DataRowsIn(40, 41), (GridSpan{2, 2}));
    EXPECT_EQ(g.DataRowsIn(0, 17), GridSpan{});
    EXPECT_TRUE(g.TitleIn(16, 17));
    EXPECT_FALSE(g.TitleIn(17, 100));
}

TEST(GridLayout, PointBelowTheLastRowIsNoCell) {
    GridLayout g = Make({50, 30}, 4, 200, 200);
    EXPECT_EQ(g.RowAt(67), 3);  // bottom line of the last row
    EXPECT_EQ(g.RowAt(68), -1);
    EXPECT_EQ(g.RowAt(199), -1);
}

TEST(GridLayout, PointOnAColumnBorderBelongsToTheColumnOnItsLeft) {
    GridLayout g = Make({50, 30}, 4, 200, 100);  // col 0: 0..49, line 50; col 1: 51..80, line 81
    EXPECT_EQ(g.ColAt(0), 0);
    EXPECT_EQ(g.ColAt(49), 0);
    EXPECT_EQ(g.ColAt(50), 0);
    EXPECT_EQ(g.ColAt(51), 1);
    EXPECT_EQ(g.ColAt(81), 1);
    EXPECT_EQ(g.CellRect(0, 1), (GridRect{0, 17, 50, 33}));
    EXPECT_EQ(g.CellRect(1, 1), (GridRect{51, 17, 81, 33}));
}

TEST(GridLayout, PointRightOfTheLastColumnIsNoCell) {
    GridLayout g = Make({50, 30}, 4, 200, 100);
    EXPECT_EQ(g.ContentWidth(), 82);
    EXPECT_EQ(g.ColAt(82), -1);
    EXPECT_EQ(g.ColAt(199), -1);
    EXPECT_EQ(g.ColAt(-1), -1);
    EXPECT_EQ(g.ColsIn(82, 200), GridSpan{});
    EXPECT_EQ(g.ColsIn(0, 200), (GridSpan{0, 1}));
    EXPECT_EQ(g.ColsIn(50, 51), (GridSpan{0, 0}));
    EXPECT_EQ(g.ColsIn(51, 52), (GridSpan{1, 1}));
}

TEST(GridLayout, BorderGrabZoneIsThreePixelsEachSide) {
    GridLayout g = Make({50, 30}, 4, 200, 100);
    EXPECT_EQ(g.ColBorderAt(50, 3), 0);
    EXPECT_EQ(g.ColBorderAt(47, 3), 0);
    EXPECT_EQ(g.ColBorderAt(53, 3), 0);
    EXPECT_EQ(g.ColBorderAt(46, 3), -1);
    EXPECT_EQ(g.ColBorderAt(54, 3), -1);
    EXPECT_EQ(g.ColBorderAt(84, 3), 1);
    EXPECT_EQ(g.ColBorderAt(0, 3), -1);  // the left edge of the grid is no border
}

TEST(GridLayout, NarrowColumnsGrabTheNearestBorder) {
    GridLayout g = Make({4, 4}, 4, 200, 100);  // lines at 4 and 9
    EXPECT_EQ(g.ColBorderAt(6, 3), 0);
    EXPECT_EQ(g.ColBorderAt(7, 3), 1);
}

TEST(GridLayout, ZeroWidthColumnTakesNoRoomAndCanBeGrabbed) {
    GridLayout g = Make({40, 0, 30}, 4, 200, 100);
    EXPECT_EQ(g.ColAt(40), 0);
    EXPECT_EQ(g.ColAt(41), 2);
    EXPECT_EQ(g.ColLeft(2), 41);
    EXPECT_EQ(g.ContentWidth(), 72);
    EXPECT_TRUE(g.CellRect(1, 1).Empty());
    EXPECT_EQ(g.ColsIn(0, 200), (GridSpan{0, 2}));
    EXPECT_EQ(g.ColsIn(41, 42), (GridSpan{2, 2}));
    // Both columns 0 and 1 end at 40; the hidden one wins so it can be reopened.
    EXPECT_EQ(g.ColBorderAt(40, 3), 1);
    g.SetColWidth(1, 10);
    EXPECT_EQ(g.ColAt(41), 1);
    EXPECT_EQ(g.ColBorderAt(40, 3), 0);
    EXPECT_EQ(g.ColBorderAt(51, 3), 1);
}

TEST(GridLayout, AllColumnsZeroLeaveNoCells) {
    GridLayout g = Make({0, 0}, 4, 200, 100);
    EXPECT_EQ(g.ContentWidth(), 0);
    EXPECT_EQ(g.ColAt(0), -1);
    EXPECT_EQ(g.ColsIn(0, 200), GridSpan{});
}

TEST(GridLayout, ScrolledTopRowMovesDataRowsButNotTheTitle) {
    GridLayout g = Make({50, 30}, 10001, 200, 170);  // nine whole rows
    EXPECT_EQ(g.VisibleRowCount(), 9);
    EXPECT_EQ(g.MaxTopRow(), 9992);
    g.SetTopRow(50);
    EXPECT_EQ(g.TopRow(), 50);
    EXPECT_EQ(g.RowAt(16), 0);
    EXPECT_EQ(g.RowAt(17), 50);
    EXPECT_EQ(g.RowAt(169), 58);
    EXPECT_TRUE(g.CellRect(0, 49).Empty());
    EXPECT_EQ(g.CellRect(0, 50).top, 17);
    EXPECT_EQ(g.CellRect(0, 0).top, 0);
    EXPECT_EQ(g.DataRowsIn(0, 170), (GridSpan{50, 58}));
    g.SetTopRow(0);
    EXPECT_EQ(g.TopRow(), 1);
}

TEST(GridLayout, ShrinkingReclampsTheTopRow) {
    GridLayout g = Make({50}, 100, 200, 100);
    g.SetTopRow(99);
    EXPECT_EQ(g.TopRow(), 96);
    g.SetRowCount(5);
    EXPECT_EQ(g.TopRow(), 1);
    g.SetRowCount(100);
    g.SetTopRow(96);
    g.SetClientSize(200, 400);  // 22 whole rows now fit
    EXPECT_EQ(g.TopRow(), 78);
}

TEST(GridLayout, ViewTooShortForOneRowStillScrollsToEveryRow) {
    GridLayout g = Make({50}, 11, 200, 20);
    EXPECT_EQ(g.VisibleRowCount(), 0);
    EXPECT_EQ(g.MaxTopRow(), 10);
}

TEST(GridLayout, HorizontalScrollShiftsColumnsAndClamps) {
    GridLayout g = Make({50, 30}, 4, 60, 100);
    EXPECT_EQ(g.MaxScrollX(), 22);
    g.SetScrollX(100);
    EXPECT_EQ(g.ScrollX(), 22);
    EXPECT_EQ(g.ColAt(0), 0);
    EXPECT_EQ(g.ColAt(29), 1);
    EXPECT_EQ(g.ColLeft(1), 29);
    EXPECT_EQ(g.ColBorderAt(28, 3), 0);
    EXPECT_EQ(g.CellRect(0, 0), (GridRect{-22, 0, 28, 16}));
    g.SetClientSize(200, 100);
    EXPECT_EQ(g.ScrollX(), 0);
    g.SetScrollX(-5);
    EXPECT_EQ(g.ScrollX(), 0);
}

TEST(GridLayout, AddedColumnsTakeTheGivenWidthAndOthersKeepTheirs) {
    GridLayout g = Make({50, 30}, 4, 200, 100);
    g.SetColCount(4, 20);
    EXPECT_EQ(g.ColWidth(1), 30);
    EXPECT_EQ(g.ColWidth(3), 20);
    EXPECT_EQ(g.ColWidth(4), 0);
    g.SetColWidth(0, -7);
    EXPECT_EQ(g.ColWidth(0), 0);
    g.SetAllColWidths(80);
    EXPECT_EQ(g.ContentWidth(), 4 * 81);
}

}  // namespace
