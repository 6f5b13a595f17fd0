// The mirrored (right-to-left) grid: geometry against the left-to-right one, keys, sizing
// and moving by mouse, the editor, scroll bars and wheels, and switching at run time (its
// snapshot is in GridPaintTest.cpp).
#include "GridTestKit.h"

#include "platform/vcl/ControlsPrivate.h"

#include <map>
#include <set>

using namespace mv;
using namespace mv::test;

namespace {

TRect Reflected(const TRect& r, Integer width) {
    return Rect(width - r.Right, r.Top, width - r.Left, r.Bottom);
}

std::map<std::pair<Integer, Integer>, TRect> AllCellRects(TCustomGrid* grid) {
    std::map<std::pair<Integer, Integer>, TRect> rects;
    for (Integer row = 0; row < grid->RowCount(); ++row)
        for (Integer col = 0; col < grid->ColCount(); ++col)
            rects[{col, row}] = grid->CellRect(col, row);
    return rects;
}

// What a host that knows horizontal wheels delivers: screen coordinates, as SDL gives them.
void HorizontalWheel(THeadlessHost& host, TControl* control, Integer delta) {
    // Near the far corner: read as window coordinates the point would miss the control.
    const TPoint screen = control->ClientToScreen({370, 260});
    TMessage m{WM_MOUSEHWHEEL, MakeWParam(0, static_cast<Word>(delta)), PointToLParam(screen.X, screen.Y), 0};
    TWindowManager::Get().HostMessage(host.WindowOf(control), m);
    Application->ProcessMessages();
}

} // namespace

TEST_F(GridFixture, MirroredCellsAreTheLeftToRightOnesReflected) {
    Grid->SetColWidths(3, 90);
    Grid->SetColWidths(5, -1);
    Grid->SetLeftCol(2);
    Grid->SetTopRow(4);
    const auto ltr = AllCellRects(Grid);
    const TRect ltrBox = Grid->BoxRect(2, 4, 4, 6);
    Grid->SetBiDiMode(bdRightToLeft);
    ASSERT_TRUE(Grid->IsRightToLeft());
    EXPECT_EQ(Grid->LeftCol(), 2);
    EXPECT_EQ(Grid->TopRow(), 4);

    const Integer width = Grid->ClientWidth();
    Integer shown = 0;
    for (const auto& [cell, l] : ltr) {
        const auto [col, row] = cell;
        SCOPED_TRACE(std::to_string(col) + "," + std::to_string(row));
        const TRect r = Grid->CellRect(col, row);
        if (l == TRect{}) {
            EXPECT_EQ(r, TRect{}) << "hidden or scrolled out in both directions";
            continue;
        }
        ++shown;
        EXPECT_EQ(r, Reflected(l, width));
        // Any pixel of the cell inside the client area finds the cell.
        const Integer left = std::max(r.Left, 0), right = std::min(r.Right, width) - 1;
        const Integer bottom = std::min(r.Bottom, Grid->ClientHeight()) - 1;
        for (const Integer x : {left, (left + right) / 2, right})
            EXPECT_EQ(Grid->MouseCoord(x, bottom), (TGridCoord{col, row})) << "x " << x;
    }
    EXPECT_GE(shown, 6 * 11) << "six columns (one hidden) by eleven rows show";
    EXPECT_EQ(Grid->CellRect(0, 0).Right, width) << "the fixed column stands at the right edge";
    EXPECT_LT(Grid->CellRect(3, 5).Left, Grid->CellRect(2, 5).Left) << "columns continue leftward";
    EXPECT_EQ(Grid->BoxRect(2, 4, 4, 6), Reflected(ltrBox, width));
    // The grid line after a cell lies at its left now, and still belongs to it.
    EXPECT_EQ(Grid->MouseCoord(Grid->CellRect(2, 5).Left - 1, 130).X, 2);
    EXPECT_EQ(Grid->MouseCoord(Grid->CellRect(0, 5).Left - 1, 130).X, 0);
    EXPECT_EQ(Grid->MouseCoord(-1, 130).X, -1);

    // Painting hands DrawCell the mirrored rectangles, each visible cell once.
    Grid->InvalidateGrid();
    const auto drawn = Repaint();
    std::set<std::pair<Integer, Integer>> drawnCells;
    for (const auto& d : drawn) {
        EXPECT_EQ(d.Rect, Grid->CellRect(d.Col, d.Row)) << d.Col << "," << d.Row;
        drawnCells.insert({d.Col, d.Row});
    }
    EXPECT_EQ(static_cast<Integer>(drawnCells.size()), shown);
    EXPECT_EQ(drawn.size(), drawnCells.size());
    const Integer y = Grid->CellRect(0, 6).Top + 3;
    EXPECT_EQ(Host.PixelAt(Grid, width - 40, y), Rgb(clBtnFace)) << "fixed column on the right";
    EXPECT_EQ(Host.PixelAt(Grid, 3, y), Rgb(clWindow)) << "scrolling cells on the left";
}

TEST_F(GridFixture, MirroredGridScrollsItsPixelsTheOtherWay) {
    Grid->SetBiDiMode(bdRightToLeft);
    Repaint();
    // One column further: the cells move right, only the strip at the left paints again
    // (the columns meeting it, as in the unmirrored grid).
    Grid->SetLeftCol(2);
    std::set<Integer> cols;
    for (const auto& d : Repaint()) {
        cols.insert(d.Col);
        EXPECT_LT(d.Rect.Left, 65) << "column " << d.Col << " lies outside the uncovered strip";
    }
    EXPECT_EQ(cols, (std::set<Integer>{5, 6}));
    for (const Integer left : {2, 1}) {
        if (left != Grid->LeftCol()) {
            Grid->SetLeftCol(left);
            Repaint();
        }
        const auto scrolled = ClientPixels();
        Grid->InvalidateGrid();
        Repaint();
        EXPECT_TRUE(ClientPixels() == scrolled) << "scrolled to " << left << ": differs from painting afresh";
    }
}

TEST_F(GridFixture, MirroredArrowKeysFollowTheScreen) {
    Grid->SetBiDiMode(bdRightToLeft);
    Host.KeyDown(VK_LEFT);
    EXPECT_EQ(Grid->Col(), 2) << "the next column lies to the left";
    Host.KeyDown(VK_LEFT);
    Host.KeyDown(VK_RIGHT);
    EXPECT_EQ(Grid->Col(), 2);
    Host.KeyDown(VK_LEFT, {ssShift});
    EXPECT_EQ(Grid->Selection(), (TGridRect{2, 1, 3, 1}));
    Host.KeyDown(VK_LEFT, {ssCtrl});
    EXPECT_EQ(Grid->LeftCol(), 1 + 4) << "a page of four columns";
    EXPECT_EQ(Grid->Col(), 3 + 4);
    Host.KeyDown(VK_RIGHT, {ssCtrl});
    EXPECT_EQ(Grid->LeftCol(), 1);

    Grid->SetBiDiMode(bdLeftToRight);
    Host.KeyDown(VK_LEFT);
    EXPECT_EQ(Grid->Col(), 2) << "unmirrored, Left goes back";
}

TEST_F(GridFixture, MirroredColumnsAreSizedByTheirLeftBorderAndMoved) {
    Grid->SetOptions(Grid->Options() + goColSizing + goColMoving);
    Grid->SetBiDiMode(bdRightToLeft);
    const Integer border = Grid->CellRect(2, 0).Left - 1; // the line at column 2's left
    EXPECT_TRUE(Grid->Sizing(border, 10));
    EXPECT_FALSE(Grid->Sizing(Grid->CellRect(2, 0).Left + 10, 10));
    TGridDrawInfo fixedInfo;
    TGridState state = gsNormal;
    Integer index = -1, pos = 0, ofs = 0;
    Grid->CalcSizingState(Grid->CellRect(2, 0).Right, 10, state, index, pos, ofs, fixedInfo);
    EXPECT_EQ(state, gsColSizing);
    EXPECT_EQ(index, 1) << "column 2's right border is column 1's left one";
    Grid->SetOptions(Grid->Options() + goRowSizing);
    const Integer rowBorder = Grid->CellRect(0, 3).Bottom;
    EXPECT_TRUE(Grid->Sizing(Grid->ClientWidth() - 10, rowBorder))
        << "rows size in the fixed column, at the right";
    EXPECT_FALSE(Grid->Sizing(10, rowBorder));

    Host.MouseDown(Grid, border, 10);
    Host.MouseMove(Grid, border - 30, 10, {ssLeft});
    Application->ProcessMessages();
    EXPECT_EQ(Host.PixelAt(Grid, border - 30, 100), 0u) << "the sizing line follows the mouse";
    Host.MouseUp(Grid, border - 30, 10);
    EXPECT_EQ(Grid->ColWidths(2), 94);
    EXPECT_EQ(Grid->ColWidths(1), 64);
    EXPECT_EQ(Grid->ColWidths(3), 64);
    EXPECT_EQ(Grid->CellRect(2, 1).Left, border - 30 + 1);
    EXPECT_EQ(Grid->CellRect(2, 1).Right, Grid->CellRect(1, 1).Left - 1) << "its right edge stays";

    // Dragging a title leftward moves its column to a later index; the drop marker shows at
    // the destination's left edge.
    const TRect from = Grid->CellRect(2, 0), to = Grid->CellRect(3, 0);
    Host.MouseDown(Grid, from.Left + 20, 10);
    EXPECT_EQ(Grid->GridState(), gsColMoving);
    Host.MouseMove(Grid, to.Left + 10, 10, {ssLeft});
    Application->ProcessMessages();
    EXPECT_EQ(Host.PixelAt(Grid, to.Left - 1, 150), 0u) << "the drop marker";
    Host.MouseUp(Grid, to.Left + 10, 10);
    EXPECT_EQ(Grid->ColumnMoves, (std::vector<std::pair<Integer, Integer>>{{2, 3}}));
    EXPECT_EQ(Grid->ColWidths(3), 94) << "the width travels with the column";

    // Held beyond the left edge, the view scrolls toward the later columns.
    Host.MouseDown(Grid, Grid->CellRect(3, 0).Left + 5, 10);
    Host.MouseMove(Grid, -10, 10, {ssLeft});
    Host.AdvanceTime(400);
    EXPECT_GT(Grid->LeftCol(), 1);
    Host.MouseUp(Grid, -10, 10);
    EXPECT_EQ(Grid->ColumnMoves.back().second, 9);
}

TEST_F(GridFixture, SwitchingDirectionAtRunTimeMovesEditorAndScrollBars) {
    Grid->SetOptions(Grid->Options() + goEditing);
    Grid->FocusCell(3, 5, true);
    Host.KeyDown(VK_F2);
    Host.TypeText(u"x");
    TInplaceEdit* editor = Grid->InplaceEditor();
    ASSERT_TRUE(editor);
    const TRect ltrCell = Grid->CellRect(3, 5);
    const Integer ltrClientX = Grid->ClientToScreen({0, 0}).X;
    EXPECT_EQ(editor->Alignment(), taLeftJustify);

    Grid->SetBiDiMode(bdRightToLeft);
    Application->ProcessMessages();
    const Integer width = Grid->ClientWidth();
    EXPECT_EQ(editor->BoundsRect(), Reflected(ltrCell, width)) << "the editor sits over the mirrored cell";
    EXPECT_EQ(editor->Text(), u"3,5x") << "and keeps its text";
    EXPECT_TRUE(editor->Focused());
    EXPECT_EQ(editor->Alignment(), taRightJustify);
    EXPECT_EQ(Grid->ClientToScreen({0, 0}).X, ltrClientX + 17) << "the vertical bar moved to the left";

    // The vertical bar works on its new side: its lower arrow scrolls a row.
    Host.Click(Grid, -8, Grid->ClientHeight() - 5);
    EXPECT_EQ(Grid->TopRow(), 2);
    // The horizontal bar counts from the right.
    TScrollInfo info;
    info.fMask = SIF_ALL;
    GetScrollInfo(Grid->Handle(), SB_HORZ, info);
    const Integer maxPos = info.nMax - static_cast<Integer>(info.nPage) + 1;
    EXPECT_EQ(info.nPos, maxPos) << "the first scrolling column shows: thumb at the right";
    Grid->Perform(WM_HSCROLL, SB_LINELEFT, 0);
    EXPECT_EQ(Grid->LeftCol(), 2) << "toward the left are the later columns";
    EXPECT_EQ(GetScrollPos(Grid->Handle(), SB_HORZ), maxPos - 1);
    Host.Click(Grid, 5, Grid->ClientHeight() + 8); // the bar's left arrow
    EXPECT_EQ(Grid->LeftCol(), 3);
    Grid->Perform(WM_HSCROLL, MakeWParam(SB_THUMBPOSITION, static_cast<Word>(info.nMin)), 0);
    EXPECT_EQ(Grid->LeftCol(), maxPos) << "the thumb at the left end shows the last columns";
    EXPECT_EQ(editor->Visible(), !Grid->CellRect(3, 5).IsEmpty());

    // And back: everything returns.
    Grid->SetLeftCol(1);
    Grid->SetBiDiMode(bdLeftToRight);
    Application->ProcessMessages();
    EXPECT_EQ(Grid->ClientToScreen({0, 0}).X, ltrClientX);
    EXPECT_EQ(editor->Alignment(), taLeftJustify);
    EXPECT_EQ(editor->BoundsRect().Left, ltrCell.Left);
    EXPECT_EQ(GetScrollPos(Grid->Handle(), SB_HORZ), 1);
    const auto pixels = ClientPixels();
    Grid->InvalidateGrid();
    Repaint();
    EXPECT_TRUE(ClientPixels() == pixels) << "the switch repainted everything";
}

TEST_F(GridFixture, HorizontalWheelAndShiftWheelScrollColumns) {
    HorizontalWheel(Host, Grid, WHEEL_DELTA);
    EXPECT_EQ(Grid->LeftCol(), 4) << "tilted right: three columns further";
    HorizontalWheel(Host, Grid, -WHEEL_DELTA);
    EXPECT_EQ(Grid->LeftCol(), 1);
    EXPECT_EQ(Grid->TopRow(), 1) << "rows stay";

    Grid->SetBiDiMode(bdRightToLeft);
    Host.Wheel(Grid, 100, 100, -WHEEL_DELTA, {ssShift});
    EXPECT_EQ(Grid->LeftCol(), 4) << "Shift+wheel down goes to the later columns either way";
    EXPECT_EQ(Grid->TopRow(), 1);
    HorizontalWheel(Host, Grid, WHEEL_DELTA);
    EXPECT_EQ(Grid->LeftCol(), 1) << "mirrored, the earlier columns lie to the right";
    HorizontalWheel(Host, Grid, -2 * WHEEL_DELTA);
    EXPECT_EQ(Grid->LeftCol(), 6) << "limited to the last page";
}
