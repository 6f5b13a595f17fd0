// Grid geometry: cells and pixels agree, dimensions and their limits.
#include "GridTestKit.h"

#include "platform/rtl/Exceptions.h"

using namespace mv;
using namespace mv::test;

namespace {

// Every client pixel maps to the cell whose rectangle (plus its line) holds it, and every
// visible cell's corners map back to it.
void ExpectCellsAndPixelsAgree(TTestGrid* grid, const std::string& where) {
    SCOPED_TRACE(where);
    const Integer lw = grid->GridLineWidth();
    Integer visibleCells = 0;
    for (Integer row = 0; row < grid->RowCount(); ++row)
        for (Integer col = 0; col < grid->ColCount(); ++col) {
            const TRect r = grid->CellRect(col, row);
            const bool scrolledOut = (col >= grid->FixedCols() && col < grid->LeftCol()) ||
                                     (row >= grid->FixedRows() && row < grid->TopRow());
            if (scrolledOut || grid->ColWidths(col) < 0) {
                EXPECT_TRUE(r.IsEmpty()) << "cell " << col << "," << row << " is not on screen";
                continue;
            }
            if (r.IsEmpty()) continue;
            ++visibleCells;
            EXPECT_EQ(r.Width(), grid->ColWidths(col));
            EXPECT_EQ(r.Height(), grid->RowHeights(row));
            const TGridCoord expected{col, row};
            if (r.Width() == 0 || r.Height() == 0) continue;
            EXPECT_EQ(grid->MouseCoord(r.Left, r.Top), expected);
            if (r.Right - 1 < grid->ClientWidth() && r.Bottom - 1 < grid->ClientHeight()) {
                EXPECT_EQ(grid->MouseCoord(r.Right - 1, r.Bottom - 1), expected);
            }
        }
    EXPECT_GT(visibleCells, 4);
    // The axes are independent: every column of pixels along a fixed row, every row of
    // pixels along a fixed column.
    Integer mismatches = 0;
    // Where the cells end (nowhere on screen when the last one is not visible).
    const TRect lastCol = grid->CellRect(grid->ColCount() - 1, 0);
    const TRect lastRow = grid->CellRect(0, grid->RowCount() - 1);
    const Integer endX = lastCol.IsEmpty() ? grid->ClientWidth() : lastCol.Right + lw;
    const Integer endY = lastRow.IsEmpty() ? grid->ClientHeight() : lastRow.Bottom + lw;
    for (Integer x = 0; x < grid->ClientWidth(); ++x) {
        const Integer col = grid->MouseCoord(x, 1).X;
        const TRect r = col >= 0 ? grid->CellRect(col, 0) : TRect{};
        if (col >= 0 ? x >= r.Left && x < r.Right + lw : x >= endX) continue;
        if (++mismatches < 5) ADD_FAILURE() << "x " << x << " maps to column " << col << " at " << r;
    }
    for (Integer y = 0; y < grid->ClientHeight(); ++y) {
        const Integer row = grid->MouseCoord(1, y).Y;
        const TRect r = row >= 0 ? grid->CellRect(0, row) : TRect{};
        if (row >= 0 ? y >= r.Top && y < r.Bottom + lw : y >= endY) continue;
        if (++mismatches < 5) ADD_FAILURE() << "y " << y << " maps to row " << row << " at " << r;
    }
    EXPECT_EQ(mismatches, 0);
}

} // namespace

TEST_F(GridFixture, CellRectAndMouseCoordAgreeForEveryVisibleCell) {
    Grid->SetFixedCols(2);
    Grid->SetFixedRows(1);
    for (Integer col = 0; col < Grid->ColCount(); ++col)
        Grid->SetColWidths(col, 30 + 7 * col);
    Grid->SetColWidths(5, -1); // hidden: no pixels, no line
    for (Integer row = 0; row < Grid->RowCount(); ++row)
        Grid->SetRowHeights(row, 18 + (row % 3) * 5);
    for (Integer lineWidth : {0, 1, 3}) {
        Grid->SetGridLineWidth(lineWidth);
        for (TGridCoord topLeft : {TGridCoord{2, 1}, TGridCoord{3, 4}, TGridCoord{6, 12}}) {
            Grid->SetLeftCol(topLeft.X);
            Grid->SetTopRow(topLeft.Y);
            ExpectCellsAndPixelsAgree(Grid, "line width " + std::to_string(lineWidth) + ", top-left " +
                                                std::to_string(Grid->LeftCol()) + "," +
                                                std::to_string(Grid->TopRow()));
        }
    }
}

TEST_F(GridFixture, CellPositionsFollowWidthsLinesAndScrolling) {
    // Defaults: 64 x 24 cells, one fixed row and column, lines of 1 pixel.
    EXPECT_EQ(Grid->CellRect(0, 0), Rect(0, 0, 64, 24));
    EXPECT_EQ(Grid->CellRect(1, 1), Rect(65, 25, 129, 49));
    EXPECT_EQ(Grid->CellRect(2, 3), Rect(130, 75, 194, 99));
    EXPECT_EQ(Grid->BoxRect(1, 1, 2, 3), Rect(65, 25, 194, 99));
    // Both scroll bars show: the client area is 383 x 283. Partly visible cells keep their
    // full size (the painter clips them).
    ASSERT_EQ(Grid->ClientWidth(), 400 - GetSystemMetrics(SM_CXVSCROLL));
    ASSERT_EQ(Grid->ClientHeight(), 300 - GetSystemMetrics(SM_CYHSCROLL));
    EXPECT_EQ(Grid->CellRect(5, 1), Rect(325, 25, 389, 49));
    EXPECT_TRUE(Grid->CellRect(6, 1).IsEmpty());
    EXPECT_EQ(Grid->VisibleColCount(), 4);
    EXPECT_EQ(Grid->VisibleRowCount(), 10);

    Grid->SetLeftCol(3);
    Grid->SetTopRow(10);
    EXPECT_EQ(Grid->CellRect(3, 10), Rect(65, 25, 129, 49));
    EXPECT_EQ(Grid->CellRect(0, 10), Rect(0, 25, 64, 49)) << "fixed column stays";
    EXPECT_EQ(Grid->CellRect(3, 0), Rect(65, 0, 129, 24)) << "fixed row stays";
    EXPECT_TRUE(Grid->CellRect(2, 10).IsEmpty());
    EXPECT_TRUE(Grid->CellRect(3, 9).IsEmpty());
    EXPECT_EQ(Grid->BoxRect(1, 8, 4, 11), Rect(65, 25, 194, 74)) << "scrolled-out part of a box is left out";

    EXPECT_EQ(Grid->MouseCoord(64, 30), (TGridCoord{0, 10})) << "a line pixel belongs to the cell before";
    EXPECT_EQ(Grid->MouseCoord(65, 30), (TGridCoord{3, 10}));
    EXPECT_EQ(Grid->MouseCoord(-1, 30).X, -1);
    EXPECT_EQ(Grid->MouseCoord(30, 500).Y, -1);
    EXPECT_EQ(Grid->MouseCoord(30, 500).X, 0) << "each axis answers for itself";

    // Without lines the cells touch.
    Grid->SetOptions(Grid->Options() - TGridOptions{goVertLine, goFixedVertLine});
    EXPECT_EQ(Grid->CellRect(3, 10), Rect(64, 25, 128, 49));
}

TEST_F(GridFixture, ScrollPositionsStayInsideTheirLimits) {
    Grid->SetTopRow(1000);
    const Integer maxTop = Grid->TopRow();
    EXPECT_EQ(Grid->VisibleRowCount(), Grid->RowCount() - maxTop) << "the last row ends the view";
    const TRect last = Grid->CellRect(1, Grid->RowCount() - 1);
    EXPECT_LE(last.Bottom, Grid->ClientHeight());
    // One more row would not fit: the row before the top plus the visible ones exceed the view.
    EXPECT_GT((Grid->VisibleRowCount() + 2) * 25, Grid->ClientHeight());
    Grid->SetTopRow(-5);
    EXPECT_EQ(Grid->TopRow(), 1) << "never into the fixed rows";
    Grid->SetLeftCol(50);
    EXPECT_EQ(Grid->LeftCol(), 6);
    EXPECT_EQ(Grid->CellRect(9, 1).Right, 65 + 3 * 65 + 64);

    // Fewer cells than the view holds: nothing scrolls.
    Grid->SetRowCount(4);
    EXPECT_EQ(Grid->TopRow(), 1);
    Grid->SetTopRow(3);
    EXPECT_EQ(Grid->TopRow(), 1);
}

TEST_F(GridFixture, DimensionsAreCheckedAndKeepTheCurrentCellInRange) {
    EXPECT_THROW(Grid->SetFixedCols(10), EInvalidGridOperation);
    try {
        Grid->SetFixedRows(30);
        FAIL() << "no exception";
    } catch (const EInvalidGridOperation& e) {
        EXPECT_EQ(e.Message(), u"Fixed row count must be less than row count");
    }
    EXPECT_THROW(Grid->SetColWidths(10, 5), EInvalidGridOperation);
    EXPECT_THROW(Grid->SetCol(10), EInvalidGridOperation);
    EXPECT_THROW(Grid->MoveColRow(1, 30, true, true), EInvalidGridOperation);
    EXPECT_THROW(Grid->SetGridLineWidth(-1), EInvalidGridOperation);
    EXPECT_EQ(Grid->ColCount(), 10) << "a refused value changes nothing";

    Grid->SetCol(8);
    Grid->SetRow(25);
    Grid->SetColCount(5);
    Grid->SetRowCount(12);
    EXPECT_EQ(Grid->Col(), 4);
    EXPECT_EQ(Grid->Row(), 11);
    Grid->SetColCount(0);
    EXPECT_EQ(Grid->ColCount(), 1) << "at least one column";
    EXPECT_EQ(Grid->FixedCols(), 0) << "fixed columns give way";

    // A new default size replaces the individual ones.
    Grid->SetColCount(6);
    Grid->SetColWidths(2, 99);
    const Integer before = Grid->ColWidthsChanges;
    Grid->SetDefaultColWidth(40);
    EXPECT_EQ(Grid->ColWidths(2), 40);
    EXPECT_EQ(Grid->ColWidthsChanges, before + 1);
    Grid->SetColWidths(2, 40);
    EXPECT_EQ(Grid->ColWidthsChanges, before + 1) << "no change, no notification";
}
