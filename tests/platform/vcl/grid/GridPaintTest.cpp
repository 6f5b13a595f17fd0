// Grid painting: which cells are drawn, with which state, what scrolling repaints, and a
// snapshot of a whole grid with its editor open.
#include "GridTestKit.h"

#include "platform/rtl/Utf8.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/CanvasTestKit.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <unistd.h>

using namespace mv;
using namespace mv::test;

namespace {

std::set<std::pair<Integer, Integer>> CellsOf(const std::vector<TTestGrid::TDrawn>& drawn) {
    std::set<std::pair<Integer, Integer>> cells;
    for (const auto& d : drawn)
        cells.insert({d.Col, d.Row});
    return cells;
}

std::set<std::pair<Integer, Integer>> VisibleCells(TCustomGrid* grid) {
    std::set<std::pair<Integer, Integer>> visible;
    for (Integer row = 0; row < grid->RowCount(); ++row)
        for (Integer col = 0; col < grid->ColCount(); ++col)
            if (!grid->CellRect(col, row).IsEmpty()) visible.insert({col, row});
    return visible;
}

std::set<Integer> RowsOf(const std::vector<TTestGrid::TDrawn>& drawn) {
    std::set<Integer> rows;
    for (const auto& d : drawn)
        rows.insert(d.Row);
    return rows;
}

std::set<Integer> ColsOf(const std::vector<TTestGrid::TDrawn>& drawn) {
    std::set<Integer> cols;
    for (const auto& d : drawn)
        cols.insert(d.Col);
    return cols;
}

} // namespace

TEST_F(GridFixture, OnlyVisibleCellsAreDrawnWithTheirState) {
    Grid->SetRow(5);
    Grid->SetCol(3);
    Grid->SetTopRow(4);
    Grid->SetLeftCol(2);
    Grid->InvalidateGrid();
    const auto drawn = Repaint();
    const auto visible = VisibleCells(Grid);
    EXPECT_EQ(CellsOf(drawn), visible);
    EXPECT_EQ(drawn.size(), visible.size()) << "each cell once";
    for (const auto& d : drawn) {
        SCOPED_TRACE(std::to_string(d.Col) + "," + std::to_string(d.Row));
        EXPECT_EQ(d.Rect, Grid->CellRect(d.Col, d.Row));
        const bool fixed = d.Col == 0 || d.Row == 0;
        EXPECT_EQ(d.State.Contains(gdFixed), fixed);
        const bool current = d.Col == 3 && d.Row == 5;
        EXPECT_EQ(d.State.Contains(gdFocused), current);
        EXPECT_FALSE(d.State.Contains(gdSelected)) << "the focused cell shows a focus frame, not a highlight";
    }

    // A range selection highlights every cell of it but the focused one.
    Host.KeyDown(VK_DOWN, {ssShift});
    Host.KeyDown(VK_RIGHT, {ssShift});
    Grid->InvalidateGrid();
    Integer selected = 0;
    for (const auto& d : Repaint()) {
        const bool inRange = d.Col >= 3 && d.Col <= 4 && d.Row >= 5 && d.Row <= 6;
        const bool focusedCell = d.Col == 4 && d.Row == 6;
        EXPECT_EQ(d.State.Contains(gdSelected), inRange && !focusedCell) << d.Col << "," << d.Row;
        selected += d.State.Contains(gdSelected);
    }
    EXPECT_EQ(selected, 3);
    // The highlight really reaches the pixels: clHighlight fills a selected cell.
    const TRect sel = Grid->CellRect(3, 5);
    EXPECT_EQ(Host.PixelAt(Grid, sel.Right - 3, sel.Bottom - 3), Rgb(clHighlight));
    const TRect plain = Grid->CellRect(5, 5);
    EXPECT_EQ(Host.PixelAt(Grid, plain.Right - 3, plain.Bottom - 3), Rgb(clWindow));
}

TEST_F(GridFixture, ScrollingByOneRowRepaintsOnlyTheUncoveredStrip) {
    Grid->SetTopRow(5);
    Repaint();
    // Rows 6..15 are fully visible, 16 partly; one row down moves 25 pixels.
    Grid->SetTopRow(6);
    EXPECT_EQ(Grid->TopLeftChanges, 2);
    const auto drawn = Repaint();
    const Integer stripTop = Grid->ClientHeight() - 25;
    for (const auto& d : drawn)
        EXPECT_GT(d.Rect.Bottom + 1, stripTop) << "row " << d.Row << " was not uncovered";
    EXPECT_EQ(RowsOf(drawn), (std::set<Integer>{15, 16}));
    EXPECT_EQ(drawn.size(), 2u * 6u) << "both rows, every visible column";

    // The moved pixels and the repainted strip make the same picture as a full repaint.
    const auto scrolled = ClientPixels();
    Grid->InvalidateGrid();
    Repaint();
    EXPECT_TRUE(ClientPixels() == scrolled) << "scrolling by pixels differs from painting afresh";

    // One column right: only the columns meeting the right strip are drawn.
    const auto drawnCols = [&] {
        Grid->SetLeftCol(2);
        return Repaint();
    }();
    EXPECT_EQ(ColsOf(drawnCols), (std::set<Integer>{5, 6}));
    const auto afterCol = ClientPixels();
    Grid->InvalidateGrid();
    Repaint();
    EXPECT_TRUE(ClientPixels() == afterCol);

    // More than a page: everything is painted again.
    Grid->SetTopRow(20);
    EXPECT_EQ(CellsOf(Repaint()), VisibleCells(Grid));
    // Two rows up: the strip below the fixed row.
    Grid->SetTopRow(18);
    EXPECT_EQ(RowsOf(Repaint()), (std::set<Integer>{18, 19}));
    const auto afterUp = ClientPixels();
    Grid->InvalidateGrid();
    Repaint();
    EXPECT_TRUE(ClientPixels() == afterUp);
}

TEST_F(GridFixture, AnOpenEditorTravelsWithItsCellWhenScrolled) {
    Grid->SetOptions(Grid->Options() + goEditing);
    Grid->FocusCell(2, 6, true);
    Host.KeyDown(VK_F2);
    Host.TypeText(u"!");
    Repaint();
    for (Integer top : {2, 4, 3}) {
        Grid->SetTopRow(top);
        Repaint();
        EXPECT_EQ(Grid->InplaceEditor()->BoundsRect(), Grid->CellRect(2, 6));
        const auto scrolled = ClientPixels();
        Grid->InvalidateGrid();
        Repaint();
        EXPECT_TRUE(ClientPixels() == scrolled) << "top row " << top;
    }
}

// The same scrolled grid with its editor open, left to right and mirrored.
TEST_F(GridFixture, ScrolledGridWithOpenEditorMatchesSnapshots) {
    for (TBiDiMode mode : {bdLeftToRight, bdRightToLeft}) {
        SCOPED_TRACE(mode == bdLeftToRight ? "left to right" : "right to left");
        Grid->SetBiDiMode(mode);
        Grid->SetOptions(Grid->Options() + goEditing);
        Grid->SetColWidths(0, 36);
        Grid->SetColWidths(4, 96);
        Grid->SetTopRow(8);
        Grid->SetLeftCol(3);
        Grid->FocusCell(4, 10, true);
        Host.KeyDown(VK_F2);
        Host.TypeText(u" edited");
        Application->ProcessMessages();
        ASSERT_TRUE(Grid->InplaceEditor());
        EXPECT_EQ(Grid->InplaceEditor()->Text(), u"4,10 edited");
        EXPECT_EQ(Grid->InplaceEditor()->BoundsRect(), Grid->CellRect(4, 10));

        const std::string file = "/tmp/grid_snapshot_" + std::to_string(::getpid()) + ".png";
        ASSERT_TRUE(Host.SavePng(Host.WindowOf(Form), file));
        TBitmap picture;
        picture.LoadFromFile(UTF8ToString(file));
        std::remove(file.c_str());
        ExpectMatchesGolden(picture, MV_VCL_GOLDEN_DIR,
                            mode == bdLeftToRight ? "grid_scrolled_editor.png"
                                                  : "grid_rtl_scrolled_editor.png");
        // Escape closes the editor and restores the text for the next round.
        Host.KeyDown(VK_ESCAPE);
        Application->ProcessMessages();
    }
}
