// TCustomGrid painting: only the cells that meet the clip are drawn, then the grid lines,
// the empty area, the focus rectangle and the sizing/moving markers. Overview: Grids.h.
// Cells and lines are laid out in leading-edge distances and mirrored as they are drawn.
//
// [SECTION] Invalidation   InvalidateCell, InvalidateRow, InvalidateCol, InvalidateGrid
// [SECTION] Paint          Paint, DrawCell, DrawLines, DrawMarkers
#include "platform/vcl/Grids.h"

#include "platform/vcl/GridsPrivate.h"

#include <algorithm>

namespace mv {

namespace {

constexpr TColor kLineColor = clSilver;
constexpr TColor kFixedLineColor = clBtnShadow;
constexpr TColor kMarkerColor = clBlack;

// A hot fixed cell: its face colour halfway to white.
TColor HotColor(TColor face) {
    const TColorRef c = ColorToRGB(face);
    auto lift = [](Byte v) { return static_cast<Byte>(v + (255 - v) / 2); };
    return static_cast<TColor>(RGB(lift(GetRValue(c)), lift(GetGValue(c)), lift(GetBValue(c))));
}

} // namespace

using namespace grids_detail;

// [SECTION] Invalidation
void TCustomGrid::InvalidateCell(Integer col, Integer row) {
    if (!HandleAllocated()) return;
    const TRect r = CellRect(col, row);
    if (!r.IsEmpty()) InvalidateRect(&r);
}

void TCustomGrid::InvalidateRow(Integer row) {
    if (!HandleAllocated()) return;
    TRect r = BoxRect(0, row, FColCount - 1, row);
    if (r.IsEmpty()) return;
    r.Left = 0;
    r.Right = ClientWidth();
    InvalidateRect(&r);
}

void TCustomGrid::InvalidateCol(Integer col) {
    if (!HandleAllocated()) return;
    TRect r = BoxRect(col, 0, col, FRowCount - 1);
    if (r.IsEmpty()) return;
    r.Bottom = ClientHeight();
    InvalidateRect(&r);
}

void TCustomGrid::InvalidateGrid() {
    Invalidate();
}

// [SECTION] Paint
void TCustomGrid::Paint() {
    TCanvas* canvas = Canvas();
    TGridDrawInfo info;
    CalcDrawInfo(info);
    const TRect clip = canvas->ClipRect();
    const TRect along = MirrorRect(clip); // the clip in leading-edge distances
    // Scratch kept for the whole paint; thread_local spares a heap allocation per paint.
    thread_local std::vector<TAxisCell> cols, rows;
    CollectAxis(info.Horz, along.Left, along.Right, cols);
    CollectAxis(info.Vert, clip.Top, clip.Bottom, rows);

    const bool focused = Focused();
    const TGridRect sel = Selection();
    const bool highlightFocus = FOptions.Contains(goDrawFocusSelected) || FOptions.Contains(goRowSelect);
    for (const TAxisCell& row : rows) {
        const Integer height = RowHeights(row.Index);
        for (const TAxisCell& col : cols) {
            const TRect r = MirrorRect(Bounds(col.Start, row.Start, ColWidths(col.Index), height));
            if (r.IsEmpty()) continue;
            TGridDrawState state;
            const bool fixed = col.Fixed || row.Fixed;
            if (fixed) {
                state.Include(gdFixed);
                const TGridCoord cell{col.Index, row.Index};
                if (cell == FHot.Hot) state.Include(gdHotTrack);
                if (cell == FHot.Pressed && FHot.PressedShows) state.Include(gdPressed);
            } else {
                const bool isCurrent = col.Index == FCurrent.X && row.Index == FCurrent.Y;
                if (isCurrent && focused) state.Include(gdFocused);
                if (PointInGridRect(col.Index, row.Index, sel) &&
                    (!state.Contains(gdFocused) || highlightFocus))
                    state.Include(gdSelected);
            }
            canvas->SaveDC();
            canvas->IntersectClipRect(r);
            if (FDefaultDrawing) {
                canvas->SetFont(Font());
                canvas->Brush()->SetStyle(bsSolid);
                if (fixed) {
                    const bool hot = state.Contains(gdHotTrack) && !state.Contains(gdPressed);
                    canvas->Brush()->SetColor(hot ? HotColor(FFixedColor) : FFixedColor);
                } else if (state.Contains(gdSelected)) {
                    canvas->Brush()->SetColor(clHighlight);
                    canvas->Font()->SetColor(clHighlightText);
                } else {
                    canvas->Brush()->SetColor(Color());
                }
                canvas->FillRect(r);
            }
            DrawCell(col.Index, row.Index, r, state);
            if (fixed && FDefaultDrawing) {
                TRect edge = r;
                canvas->DrawEdge(edge, state.Contains(gdPressed) ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
                                 BF_RECT);
            }
            canvas->RestoreDC(-1);
        }
    }
    DrawLines(info, clip);

    // What lies beyond the last cells.
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    const TRect client = ClientRect();
    if (info.Horz.GridBoundary < client.Right)
        canvas->FillRect(MirrorRect(Rect(info.Horz.GridBoundary, client.Top, client.Right, client.Bottom)));
    if (info.Vert.GridBoundary < client.Bottom)
        canvas->FillRect(
            MirrorRect(Rect(client.Left, info.Vert.GridBoundary, info.Horz.GridBoundary, client.Bottom)));

    const bool editorShows = FInplaceEdit && FEditorMode && FInplaceCol >= 0;
    if (focused && !editorShows) {
        const TRect focus = FOptions.Contains(goRowSelect)
                                ? BoxRect(FFixedCols, FCurrent.Y, FColCount - 1, FCurrent.Y)
                                : CellRect(FCurrent.X, FCurrent.Y);
        TRect visible;
        if (IntersectRect(visible, focus, clip)) canvas->DrawFocusRect(focus);
    }
    DrawMarkers(info);
}

void TCustomGrid::DrawCell(Integer col, Integer row, const TRect& rect, TGridDrawState state) {
    if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
}

// Fills the line gaps after each visible cell: line colour where that kind of line is on,
// the cell colour where it is off.
void TCustomGrid::DrawLines(const TGridDrawInfo& info, const TRect& clip) {
    TCanvas* canvas = Canvas();
    canvas->Brush()->SetStyle(bsSolid);
    const TRect along = MirrorRect(clip);
    auto fill = [&](const TRect& r, TColor color) {
        TRect visible;
        if (!IntersectRect(visible, MirrorRect(r), clip)) return;
        canvas->Brush()->SetColor(color);
        canvas->FillRect(visible);
    };
    thread_local std::vector<TAxisCell> cols, rows;
    const Integer lw = info.Horz.EffectiveLineWidth;
    if (lw > 0) {
        CollectAxis(info.Horz, along.Left, along.Right, cols);
        const Integer split = info.Vert.FixedBoundary, bottom = info.Vert.GridBoundary;
        for (const TAxisCell& c : cols) {
            const Integer x = c.Start + ColWidths(c.Index);
            const TColor fixedColor = FOptions.Contains(goFixedVertLine) ? kFixedLineColor : FFixedColor;
            fill(Rect(x, 0, x + lw, split), fixedColor);
            if (c.Fixed)
                fill(Rect(x, split, x + lw, bottom), fixedColor);
            else
                fill(Rect(x, split, x + lw, bottom), FOptions.Contains(goVertLine) ? kLineColor : Color());
        }
    }
    const Integer lh = info.Vert.EffectiveLineWidth;
    if (lh > 0) {
        CollectAxis(info.Vert, clip.Top, clip.Bottom, rows);
        const Integer split = info.Horz.FixedBoundary, right = info.Horz.GridBoundary;
        for (const TAxisCell& r : rows) {
            const Integer y = r.Start + RowHeights(r.Index);
            const TColor fixedColor = FOptions.Contains(goFixedHorzLine) ? kFixedLineColor : FFixedColor;
            fill(Rect(0, y, split, y + lh), fixedColor);
            if (r.Fixed)
                fill(Rect(split, y, right, y + lh), fixedColor);
            else
                fill(Rect(split, y, right, y + lh), FOptions.Contains(goHorzLine) ? kLineColor : Color());
        }
    }
}

void TCustomGrid::DrawMarkers(const TGridDrawInfo& info) {
    TCanvas* canvas = Canvas();
    TRect marker;
    if (FGridState == gsColSizing || FGridState == gsRowSizing)
        marker = SizingLineRect(FDrag.SizingPos);
    else if ((FGridState == gsColMoving || FGridState == gsRowMoving) && FDrag.ShowMarker)
        marker = MoveMarkerRect(info, FDrag.MovePos);
    if (marker.IsEmpty()) return;
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(kMarkerColor);
    canvas->FillRect(marker);
}

} // namespace mv
