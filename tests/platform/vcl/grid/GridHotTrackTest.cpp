// Hot and pressed fixed cells (goFixedHotTrack): the states DrawCell sees, and that only
// the cells whose state changes are painted again.
#include "GridTestKit.h"

#include <map>

using namespace mv;
using namespace mv::test;

namespace {

// The cells a repaint drew, with their hot/pressed flags ("h", "p", "hp" or "").
using TPainted = std::map<std::pair<Integer, Integer>, std::string>;

TPainted Flags(const std::vector<TTestGrid::TDrawn>& drawn) {
    TPainted painted;
    for (const auto& d : drawn) {
        std::string flags;
        if (d.State.Contains(gdHotTrack)) flags += "h";
        if (d.State.Contains(gdPressed)) flags += "p";
        painted[{d.Col, d.Row}] = flags;
    }
    return painted;
}

TPoint Inside(TCustomGrid* grid, Integer col, Integer row) {
    const TRect r = grid->CellRect(col, row);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

} // namespace

struct HotTrackFixture : GridFixture {
    // The cells painted because of some input (the host paints while it delivers it).
    template <typename F> TPainted PaintedBy(F&& input) {
        Application->ProcessMessages();
        Grid->Drawn.clear();
        input();
        Application->ProcessMessages();
        return Flags(Grid->Drawn);
    }
    TPainted MoveTo(Integer col, Integer row, TShiftState shift = {}) {
        const TPoint p = Inside(Grid, col, row);
        return PaintedBy([&] { Host.MouseMove(Grid, p.X, p.Y, shift); });
    }
};

TEST_F(HotTrackFixture, TheFixedCellUnderTheMouseIsHotAndOnlyChangesRepaint) {
    EXPECT_TRUE(MoveTo(2, 0).empty()) << "off by default: nothing to repaint";
    Grid->SetOptions(Grid->Options() + goFixedHotTrack);
    Repaint();

    // The window's update region is one rectangle: the steps go between neighbours, or
    // through a scrolling cell, so that what is painted is what was invalidated.
    EXPECT_EQ(MoveTo(2, 0), (TPainted{{{2, 0}, "h"}}));
    EXPECT_TRUE(MoveTo(2, 0).empty()) << "moving inside the hot cell repaints nothing";
    EXPECT_EQ(MoveTo(3, 0), (TPainted{{{2, 0}, ""}, {{3, 0}, "h"}}));
    EXPECT_EQ(MoveTo(3, 3), (TPainted{{{3, 0}, ""}})) << "scrolling cells are never hot";
    EXPECT_TRUE(MoveTo(4, 4).empty());
    EXPECT_EQ(MoveTo(0, 4), (TPainted{{{0, 4}, "h"}})) << "fixed columns too";
    EXPECT_EQ(MoveTo(0, 5), (TPainted{{{0, 4}, ""}, {{0, 5}, "h"}}));
    EXPECT_EQ(MoveTo(1, 1), (TPainted{{{0, 5}, ""}}));
    EXPECT_EQ(MoveTo(0, 0), (TPainted{{{0, 0}, "h"}})) << "the corner too";

    // A full repaint shows the one hot cell with its state.
    MoveTo(4, 0);
    Grid->InvalidateGrid();
    Integer hot = 0;
    for (const auto& [cell, flags] : Flags(Repaint()))
        if (!flags.empty()) {
            EXPECT_EQ(cell, (std::pair<Integer, Integer>{4, 0}));
            ++hot;
        }
    EXPECT_EQ(hot, 1);
    EXPECT_NE(Host.PixelAt(Grid, Grid->CellRect(4, 0).Left + 5, 5), Rgb(clBtnFace)) << "drawn lighter";
    EXPECT_EQ(Host.PixelAt(Grid, Grid->CellRect(5, 0).Left + 5, 5), Rgb(clBtnFace));

    // Leaving the grid (onto the form) ends it.
    EXPECT_EQ(PaintedBy([&] { Host.MouseMove(Form, 5, 400); }), (TPainted{{{4, 0}, ""}}));

    // Scrolling brings another title under the resting mouse.
    MoveTo(2, 0);
    Grid->SetLeftCol(2);
    Grid->InvalidateGrid();
    for (const auto& [cell, flags] : Flags(Repaint()))
        EXPECT_EQ(flags, cell == std::make_pair(3, 0) ? "h" : "") << cell.first << "," << cell.second;

    // Turning the option off ends it too.
    Grid->SetOptions(Grid->Options() - goFixedHotTrack);
    for (const auto& [cell, flags] : Flags(Repaint()))
        EXPECT_EQ(flags, "") << cell.first << "," << cell.second;
}

TEST_F(HotTrackFixture, APressedFixedCellShowsPressedWhileHeldOverIt) {
    Grid->SetOptions(Grid->Options() + goFixedHotTrack + goColSizing);
    MoveTo(2, 0);
    Repaint();
    const TPoint p = Inside(Grid, 2, 0);
    EXPECT_EQ(PaintedBy([&] { Host.MouseDown(Grid, p.X, p.Y); }), (TPainted{{{2, 0}, "hp"}}));
    EXPECT_EQ(Grid->GridState(), gsNormal) << "a click, not a gesture";
    EXPECT_EQ(Grid->Col(), 1) << "pressing a title does not select";

    // Off the cell it pops up; no other cell turns hot while the button is held.
    EXPECT_EQ(MoveTo(3, 0, {ssLeft}), (TPainted{{{2, 0}, "h"}}));
    EXPECT_TRUE(MoveTo(0, 3, {ssLeft}).empty());
    EXPECT_EQ(MoveTo(2, 0, {ssLeft}), (TPainted{{{2, 0}, "hp"}}));
    EXPECT_EQ(PaintedBy([&] { Host.MouseUp(Grid, p.X, p.Y); }), (TPainted{{{2, 0}, "h"}}));

    // Released elsewhere: the hot cell is where the mouse is.
    Host.MouseDown(Grid, p.X, p.Y);
    const TPoint q = Inside(Grid, 3, 0);
    Host.MouseMove(Grid, q.X, q.Y, {ssLeft});
    EXPECT_EQ(PaintedBy([&] { Host.MouseUp(Grid, q.X, q.Y); }), (TPainted{{{2, 0}, ""}, {{3, 0}, "h"}}));

    // A press on a sizing border sizes instead, and the hot cell goes out meanwhile.
    MoveTo(2, 0);
    const Integer border = Grid->CellRect(2, 0).Right;
    Host.MouseMove(Grid, border, 10);
    const TPainted sizing = PaintedBy([&] { Host.MouseDown(Grid, border, 10); });
    EXPECT_EQ(Grid->GridState(), gsColSizing);
    ASSERT_TRUE(sizing.count({2, 0}));
    for (const auto& [cell, flags] : sizing)
        EXPECT_EQ(flags, "") << cell.first << "," << cell.second;
    Host.MouseMove(Grid, border + 10, 10, {ssLeft});
    Host.MouseUp(Grid, border + 10, 10);
    EXPECT_EQ(Grid->ColWidths(2), 74);

    // With column moving a title press starts a move: nothing shows pressed.
    Grid->SetOptions(Grid->Options() + goColMoving);
    const TPoint t = Inside(Grid, 3, 0);
    Host.MouseMove(Grid, t.X, t.Y);
    EXPECT_EQ(PaintedBy([&] { Host.MouseDown(Grid, t.X, t.Y); }), (TPainted{{{3, 0}, ""}}));
    EXPECT_EQ(Grid->GridState(), gsColMoving);
    Host.MouseUp(Grid, t.X, t.Y);
}

TEST_F(HotTrackFixture, HotTrackingFollowsTheMirroredCells) {
    Grid->SetOptions(Grid->Options() + goFixedHotTrack);
    Grid->SetBiDiMode(bdRightToLeft);
    Repaint();
    const Integer y = Grid->CellRect(0, 3).Top + 5;
    EXPECT_EQ(PaintedBy([&] { Host.MouseMove(Grid, Grid->ClientWidth() - 5, y); }), (TPainted{{{0, 3}, "h"}}))
        << "the fixed column at the right edge";
    EXPECT_EQ(MoveTo(0, 2), (TPainted{{{0, 3}, ""}, {{0, 2}, "h"}}));
    EXPECT_EQ(MoveTo(3, 3), (TPainted{{{0, 2}, ""}}));
    EXPECT_EQ(MoveTo(2, 0), (TPainted{{{2, 0}, "h"}}));
    EXPECT_EQ(MoveTo(3, 0), (TPainted{{{2, 0}, ""}, {{3, 0}, "h"}})) << "the next title, to the left";
}
