// The grid and the mouse: sizing and moving by dragging, drag selection with timed
// scrolling, the wheel and the scroll bars.
#include "GridTestKit.h"

using namespace mv;
using namespace mv::test;

TEST_F(GridFixture, DraggingABorderResizesItsColumnOrRow) {
    const Integer border = Grid->CellRect(2, 0).Right; // 194
    EXPECT_FALSE(Grid->Sizing(border, 10)) << "sizing needs goColSizing";
    Host.Drag(Grid, {border, 10}, {border + 30, 10});
    EXPECT_EQ(Grid->ColWidths(2), 64);

    Grid->SetOptions(Grid->Options() + goColSizing + goRowSizing);
    EXPECT_TRUE(Grid->Sizing(border, 10));
    EXPECT_TRUE(Grid->Sizing(border + 2, 10));
    EXPECT_FALSE(Grid->Sizing(border - 10, 10));
    EXPECT_FALSE(Grid->Sizing(border, 40)) << "columns are sized in the fixed rows only";
    Host.MouseMove(Grid, border + 1, 10);
    EXPECT_EQ(Host.CursorShape(), crHSplit);
    Host.MouseMove(Grid, border - 20, 10);
    EXPECT_NE(Host.CursorShape(), crHSplit);

    // While dragging, a line shows where the border goes; the width changes at the release.
    Host.MouseDown(Grid, border, 10);
    EXPECT_EQ(Grid->GridState(), gsColSizing);
    Host.MouseMove(Grid, border + 30, 10, {ssLeft});
    Application->ProcessMessages();
    EXPECT_EQ(Host.PixelAt(Grid, border + 30, 100), 0u) << "the sizing line";
    EXPECT_EQ(Grid->ColWidths(2), 64);
    Host.MouseUp(Grid, border + 30, 10);
    EXPECT_EQ(Grid->GridState(), gsNormal);
    EXPECT_EQ(Grid->ColWidths(2), 94);
    EXPECT_EQ(Grid->ColWidthsChanges, 1);
    EXPECT_EQ(Grid->CellRect(3, 1).Left, 65 + 65 + 94 + 1);
    Application->ProcessMessages();
    EXPECT_NE(Host.PixelAt(Grid, border + 30, 100), 0u) << "the line is gone";

    // Narrowing below nothing stops at an empty column.
    Host.Drag(Grid, {Grid->CellRect(2, 0).Right, 10}, {10, 10});
    EXPECT_EQ(Grid->ColWidths(2), 0);

    // Rows are sized in the fixed columns.
    const Integer rowBorder = Grid->CellRect(0, 3).Bottom;
    Host.Drag(Grid, {20, rowBorder}, {20, rowBorder + 12});
    EXPECT_EQ(Grid->RowHeights(3), 36);
    EXPECT_EQ(Grid->RowHeightsChanges, 1);
}

TEST_F(GridFixture, DraggingAFixedCellMovesItsColumnWithADropMarker) {
    Grid->SetOptions(Grid->Options() + goColMoving + goRowMoving);
    Grid->SetColWidths(2, 80);
    Grid->SetCol(2);
    const TRect from = Grid->CellRect(2, 0);
    const TRect to = Grid->CellRect(4, 0);
    Host.MouseDown(Grid, from.Left + 10, 10);
    EXPECT_EQ(Grid->GridState(), gsColMoving);
    Host.MouseMove(Grid, to.Left + 10, 10, {ssLeft});
    Application->ProcessMessages();
    // Moving right: the marker sits after the destination column.
    EXPECT_EQ(Host.PixelAt(Grid, to.Right, 150), 0u) << "the drop marker";
    EXPECT_TRUE(Grid->ColumnMoves.empty());
    Host.MouseUp(Grid, to.Left + 10, 10);
    EXPECT_EQ(Grid->ColumnMoves, (std::vector<std::pair<Integer, Integer>>{{2, 4}}));
    EXPECT_EQ(Grid->ColWidths(4), 80) << "the width travels with the column";
    EXPECT_EQ(Grid->ColWidths(2), 64);
    EXPECT_EQ(Grid->Col(), 4) << "the current column travels too";
    Application->ProcessMessages();
    EXPECT_NE(Host.PixelAt(Grid, to.Right, 150), 0u);

    // EndColumnDrag may refuse the drop.
    Grid->AllowColumnDrop = false;
    Host.Drag(Grid, {Grid->CellRect(4, 0).Left + 5, 10}, {Grid->CellRect(1, 0).Left + 5, 10});
    EXPECT_EQ(Grid->ColumnMoves.size(), 1u);
    EXPECT_EQ(Grid->GridState(), gsNormal);

    // Rows move by their fixed cells.
    Host.Drag(Grid, {10, Grid->CellRect(0, 5).Top + 5}, {10, Grid->CellRect(0, 2).Top + 5});
    EXPECT_EQ(Grid->RowMoves, (std::vector<std::pair<Integer, Integer>>{{5, 2}}));

    // Held beyond the right edge, the view scrolls and the drop target follows its edge.
    Grid->AllowColumnDrop = true;
    Host.MouseDown(Grid, Grid->CellRect(3, 0).Left + 5, 10);
    Host.MouseMove(Grid, Grid->ClientWidth() + 10, 10, {ssLeft});
    Host.AdvanceTime(400);
    EXPECT_EQ(Grid->LeftCol(), 6);
    Host.MouseUp(Grid, Grid->ClientWidth() + 10, 10);
    EXPECT_EQ(Grid->ColumnMoves.back(), (std::pair<Integer, Integer>{3, 9}));

    // Pressing a scrolling cell never starts a move.
    Host.Drag(Grid, {Grid->CellRect(7, 3).Left + 5, 80}, {Grid->CellRect(8, 3).Left + 5, 80});
    EXPECT_EQ(Grid->ColumnMoves.size(), 2u);
}

TEST_F(GridFixture, DragSelectionScrollsOnTheTimerOutsideTheCells) {
    const TRect start = Grid->CellRect(2, 3);
    Host.MouseDown(Grid, start.Left + 5, start.Top + 5);
    EXPECT_EQ(Grid->GridState(), gsSelecting);
    EXPECT_EQ(Grid->Row(), 3);
    const TRect end = Grid->CellRect(3, 5);
    Host.MouseMove(Grid, end.Left + 5, end.Top + 5, {ssLeft});
    EXPECT_EQ(Grid->Selection(), (TGridRect{2, 3, 3, 5}));

    // Below the grid: each timer tick scrolls a row and the selection follows.
    Host.MouseMove(Grid, end.Left + 5, Grid->ClientHeight() + 20, {ssLeft});
    Host.AdvanceTime(10);
    EXPECT_EQ(Grid->TopRow(), 1);
    Host.AdvanceTime(300);
    const Integer top = Grid->TopRow();
    EXPECT_GE(top, 4);
    EXPECT_EQ(Grid->Row(), top + Grid->VisibleRowCount() - 1) << "the selection reaches the last visible row";
    EXPECT_EQ(Grid->Selection().Top, 3);
    Host.MouseUp(Grid, end.Left + 5, Grid->ClientHeight() + 20);
    EXPECT_EQ(Grid->GridState(), gsNormal);
    Host.AdvanceTime(500);
    EXPECT_EQ(Grid->TopRow(), top) << "the release stops the timer";

    // Shift+click extends from the anchor.
    Host.Click(Grid, Grid->CellRect(1, top).Left + 5, Grid->CellRect(1, top).Top + 5, mbLeft, {ssShift});
    EXPECT_EQ(Grid->Selection().Left, 1);
    EXPECT_EQ(Grid->Selection().Top, 3);
}

TEST_F(GridFixture, WheelScrollsRowsOrWithShiftColumns) {
    Host.Wheel(Grid, 100, 100, -WHEEL_DELTA);
    EXPECT_EQ(Grid->TopRow(), 4);
    EXPECT_EQ(Grid->Row(), 1) << "the wheel scrolls the view, not the current cell";
    Host.Wheel(Grid, 100, 100, WHEEL_DELTA);
    EXPECT_EQ(Grid->TopRow(), 1);
    Host.Wheel(Grid, 100, 100, -2 * WHEEL_DELTA, {ssShift});
    EXPECT_EQ(Grid->LeftCol(), 6) << "six columns, limited to the last page";
    bool asked = false;
    Grid->OnMouseWheel = [&](TObject*, TShiftState, Integer, TPoint, bool& handled) {
        asked = true;
        handled = true;
    };
    Host.Wheel(Grid, 100, 100, -WHEEL_DELTA);
    EXPECT_TRUE(asked);
    EXPECT_EQ(Grid->TopRow(), 1) << "a handled wheel does not scroll";
}

TEST_F(GridFixture, ScrollBarsFollowAndMoveTheView) {
    ASSERT_TRUE(Grid->ScrollBarVisible(SB_VERT));
    ASSERT_TRUE(Grid->ScrollBarVisible(SB_HORZ));
    TScrollInfo info;
    info.fMask = SIF_ALL;
    GetScrollInfo(Grid->Handle(), SB_VERT, info);
    EXPECT_EQ(info.nMin, 1);
    EXPECT_EQ(info.nMax, 29);
    EXPECT_EQ(info.nPage, 10u) << "the rows that fit at the bottom";
    EXPECT_EQ(info.nPos, 1);
    Grid->SetTopRow(7);
    EXPECT_EQ(GetScrollPos(Grid->Handle(), SB_VERT), 7);

    // The arrow below the bar's track scrolls one row; the track below the thumb a page.
    const Integer barX = Grid->ClientWidth() + 8;
    Host.Click(Grid, barX, Grid->ClientHeight() - 5);
    EXPECT_EQ(Grid->TopRow(), 8);
    Host.Click(Grid, barX, Grid->ClientHeight() - 25);
    EXPECT_EQ(Grid->TopRow(), 18);

    // The thumb moves the view while dragged only with goThumbTracking.
    auto thumbDrag = [&](Integer fromY, Integer toY) {
        Host.MouseDown(Grid, barX, fromY);
        Host.MouseMove(Grid, barX, toY, {ssLeft});
        const Integer during = Grid->TopRow();
        Host.MouseUp(Grid, barX, toY);
        return during;
    };
    Grid->SetTopRow(1);
    const Integer thumbY = 17 + 10; // just below the upper arrow: the thumb at position 1
    EXPECT_EQ(thumbDrag(thumbY, thumbY + 60), 1);
    const Integer afterRelease = Grid->TopRow();
    EXPECT_GT(afterRelease, 1) << "the release applies the position";
    Grid->SetOptions(Grid->Options() + goThumbTracking);
    Grid->SetTopRow(1);
    EXPECT_EQ(thumbDrag(thumbY, thumbY + 60), afterRelease);

    // Messages with the full range come through WM_VSCROLL too.
    Grid->Perform(WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(Grid->TopRow(), 20);
    Grid->Perform(WM_HSCROLL, SB_PAGERIGHT, 0);
    EXPECT_EQ(Grid->LeftCol(), 5);

    // Without bars the client area grows; a grid that fits needs none.
    Grid->SetScrollBars(ssNone);
    EXPECT_FALSE(Grid->ScrollBarVisible(SB_VERT));
    EXPECT_EQ(Grid->ClientWidth(), 400);
    // A bar outside the style belongs to whoever drives it: the grid leaves it alone.
    Grid->SetScrollBars(ssHorizontal);
    TScrollInfo own;
    own.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    own.nMax = 4;
    own.nPage = 2;
    own.nPos = 2;
    SetScrollInfo(Grid->Handle(), SB_VERT, own, true);
    Grid->SetColWidths(3, 100);
    Grid->SetBounds(10, 10, 380, 280);
    Grid->SetTopRow(3);
    EXPECT_TRUE(Grid->ScrollBarVisible(SB_VERT));
    EXPECT_EQ(GetScrollPos(Grid->Handle(), SB_VERT), 2);
    Grid->SetScrollBars(ssBoth);
    Grid->SetRowCount(5);
    EXPECT_FALSE(Grid->ScrollBarVisible(SB_VERT));
    EXPECT_TRUE(Grid->ScrollBarVisible(SB_HORZ));
}
