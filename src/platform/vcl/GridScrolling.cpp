// TCustomGrid scrolling: the top-left cell, pixel scrolling of the data area, both scroll
// bars and the timer that scrolls while a drag is held outside the cells. Overview: Grids.h.
//
// [SECTION] Top-left cell      SetLeftCol, SetTopRow, MoveTopLeft, TopLeftMoved, ClampInView
// [SECTION] Pixel scrolling    ScrollData
// [SECTION] Scroll bars        UpdateScrollRange, UpdateScrollPos, ModifyScrollBar
// [SECTION] Timed scrolling    StartTimedScroll, StopTimedScroll, ScrollDirections, TimerTick, TimedScroll
#include "platform/vcl/Grids.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>

namespace mv {

namespace {

// Period of the drag scrolling (ms of the host clock).
constexpr UINT kScrollInterval = 60;

} // namespace

// [SECTION] Top-left cell
void TCustomGrid::SetLeftCol(Integer value) {
    if (value == FTopLeft.X) return;
    MoveTopLeft(value, FTopLeft.Y);
}

void TCustomGrid::SetTopRow(Integer value) {
    if (value == FTopLeft.Y) return;
    MoveTopLeft(FTopLeft.X, value);
}

void TCustomGrid::MoveTopLeft(Integer left, Integer top) {
    const TGridCoord maxTopLeft = MaxTopLeft();
    left = std::clamp(left, FFixedCols, std::max(maxTopLeft.X, FFixedCols));
    top = std::clamp(top, FFixedRows, std::max(maxTopLeft.Y, FFixedRows));
    if (left == FTopLeft.X && top == FTopLeft.Y) return;
    const TGridCoord old = FTopLeft;
    FTopLeft = {left, top};
    assert(CheckInvariants() && "MoveTopLeft outside the scrolling cells");
    TopLeftMoved(old);
}

// Repaints after the top-left cell moved: by moving pixels when the move is less than a
// page on an axis (only the uncovered strip paints), else by repainting the scrolling area.
void TCustomGrid::TopLeftMoved(TGridCoord oldTopLeft) {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    const Integer dx = -PixelsBetween(info.Horz, oldTopLeft.X, FTopLeft.X);
    const Integer dy = -PixelsBetween(info.Vert, oldTopLeft.Y, FTopLeft.Y);
    const Integer pageX = info.Horz.GridExtent - info.Horz.FixedBoundary;
    const Integer pageY = info.Vert.GridExtent - info.Vert.FixedBoundary;
    if (std::abs(dx) < pageX && std::abs(dy) < pageY) {
        ScrollData(dx, dy);
    } else {
        InvalidateGrid();
    }
    UpdateScrollPos();
    UpdateEdit();
    // Fixed cells of the title rows scrolled under the mouse: another one is hot now.
    if (FHot.Hot.X >= 0) {
        const TPoint p = ScreenToClient(GetCursorPos());
        TrackHot(p.X, p.Y);
    }
    TopLeftChanged();
}

void TCustomGrid::TopLeftChanged() {
    if (OnTopLeftChanged) OnTopLeftChanged(this);
}

void TCustomGrid::ClampInView(TGridCoord cell) {
    if (!HandleAllocated() && ClientWidth() <= 0) return;
    TGridDrawInfo info;
    CalcDrawInfo(info);
    const TGridCoord maxTopLeft = CalcMaxTopLeft(cell, info);
    Integer left = FTopLeft.X, top = FTopLeft.Y;
    if (cell.X >= FFixedCols) {
        if (cell.X < left)
            left = cell.X;
        else if (cell.X > info.Horz.LastFullVisibleCell)
            left = maxTopLeft.X;
    }
    if (cell.Y >= FFixedRows) {
        if (cell.Y < top)
            top = cell.Y;
        else if (cell.Y > info.Vert.LastFullVisibleCell)
            top = maxTopLeft.Y;
    }
    MoveTopLeft(left, top);
}

// [SECTION] Pixel scrolling
void TCustomGrid::ScrollData(Integer dx, Integer dy) {
    if (!HandleAllocated()) return;
    TGridDrawInfo info;
    CalcDrawInfo(info);
    const TRect client = ClientRect();
    // The sizing line and drop marker are drawn over the cells: they must not travel.
    if (FGridState != gsNormal && FGridState != gsSelecting) InvalidateRect(&client);
    if (dy != 0) {
        const TRect band = Rect(0, info.Vert.FixedBoundary, client.Right, client.Bottom);
        ScrollWindowEx(Handle(), 0, dy, &band, &band, nullptr, nullptr, SW_INVALIDATE);
    }
    if (dx != 0) {
        const TRect band = MirrorRect(Rect(info.Horz.FixedBoundary, 0, client.Right, client.Bottom));
        const Integer screenDx = IsRightToLeft() ? -dx : dx;
        ScrollWindowEx(Handle(), screenDx, 0, &band, &band, nullptr, nullptr, SW_INVALIDATE);
    }
}

// [SECTION] Scroll bars
// Positions are cell indexes: range FixedCount..Count-1 with a page of the cells that fit
// at the largest top-left, so that the largest position is that top-left. A bar outside
// ScrollBars is left alone (a descendant may drive it itself); SetScrollBars hides it.
void TCustomGrid::UpdateScrollRange() {
    if (!HandleAllocated() || UpdatingScrollBars()) return;
    ++FUpdatingScrollBars;
    // Showing one bar narrows the client area, which can make the other needed: twice.
    for (Integer pass = 0; pass < 2; ++pass) {
        const TGridCoord maxTopLeft = MaxTopLeft();
        const bool horz = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
        const bool vert = FScrollBars == ssVertical || FScrollBars == ssBoth;
        TScrollInfo info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        if (horz) {
            info.nMin = FFixedCols;
            info.nMax = FColCount - 1;
            info.nPage = static_cast<UINT>(FColCount - maxTopLeft.X);
            info.nPos = HorzBarPos(FTopLeft.X, maxTopLeft.X);
            SetScrollInfo(Handle(), SB_HORZ, info, true);
        }
        if (vert) {
            info.nMin = FFixedRows;
            info.nMax = FRowCount - 1;
            info.nPage = static_cast<UINT>(FRowCount - maxTopLeft.Y);
            info.nPos = FTopLeft.Y;
            SetScrollInfo(Handle(), SB_VERT, info, true);
        }
    }
    --FUpdatingScrollBars;
    // A larger client area can leave the top-left beyond its largest value.
    const TGridCoord maxTopLeft = MaxTopLeft();
    if (FTopLeft.X > maxTopLeft.X || FTopLeft.Y > maxTopLeft.Y)
        MoveTopLeft(std::min(FTopLeft.X, maxTopLeft.X), std::min(FTopLeft.Y, maxTopLeft.Y));
}

void TCustomGrid::UpdateScrollPos() {
    if (!HandleAllocated()) return;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth)
        SetScrollPos(Handle(), SB_HORZ, IsRightToLeft() ? HorzBarPos(FTopLeft.X, MaxTopLeft().X) : FTopLeft.X,
                     true);
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) SetScrollPos(Handle(), SB_VERT, FTopLeft.Y, true);
}

// A mirrored grid's horizontal bar counts from the right: its thumb sits at the right end
// while the first scrolling column shows. The mapping is its own inverse.
Integer TCustomGrid::HorzBarPos(Integer pos, Integer maxLeft) const {
    return IsRightToLeft() ? FFixedCols + std::max(maxLeft, FFixedCols) - pos : pos;
}

void TCustomGrid::ModifyScrollBar(Integer bar, Word code, Integer pos) {
    const bool vertical = bar == SB_VERT;
    // On a mirrored bar the arrow, page and end codes point the other way along the columns.
    const bool mirrored = !vertical && IsRightToLeft();
    if (mirrored) {
        switch (code) {
        case SB_LINEUP:
            code = SB_LINEDOWN;
            break;
        case SB_LINEDOWN:
            code = SB_LINEUP;
            break;
        case SB_PAGEUP:
            code = SB_PAGEDOWN;
            break;
        case SB_PAGEDOWN:
            code = SB_PAGEUP;
            break;
        case SB_TOP:
            code = SB_BOTTOM;
            break;
        case SB_BOTTOM:
            code = SB_TOP;
            break;
        default:
            break;
        }
    }
    auto fromBar = [&](Integer barPos) { return mirrored ? HorzBarPos(barPos, MaxTopLeft().X) : barPos; };
    const Integer current = vertical ? FTopLeft.Y : FTopLeft.X;
    const Integer page = std::max(vertical ? VisibleRowCount() : VisibleColCount(), 1);
    const Integer first = vertical ? FFixedRows : FFixedCols;
    const Integer last = vertical ? FRowCount - 1 : FColCount - 1;
    Integer target = current;
    switch (code) {
    case SB_LINEUP:
        target = current - 1;
        break;
    case SB_LINEDOWN:
        target = current + 1;
        break;
    case SB_PAGEUP:
        target = current - page;
        break;
    case SB_PAGEDOWN:
        target = current + page;
        break;
    case SB_THUMBTRACK: {
        // The message carries 16 bits only; the bar knows the full position while dragged.
        TScrollInfo info;
        info.fMask = SIF_TRACKPOS;
        FThumbTrackPos = GetScrollInfo(Handle(), bar, info) ? info.nTrackPos : pos;
        if (!FOptions.Contains(goThumbTracking)) return;
        target = fromBar(FThumbTrackPos);
        break;
    }
    case SB_THUMBPOSITION:
        // The drag is over when this arrives: the last tracked position is the full one.
        target = fromBar(FThumbTrackPos >= 0 ? FThumbTrackPos : pos);
        FThumbTrackPos = -1;
        break;
    case SB_TOP:
        target = first;
        break;
    case SB_BOTTOM:
        target = last;
        break;
    case SB_ENDSCROLL:
        UpdateScrollPos();
        return;
    default:
        return;
    }
    if (vertical)
        MoveTopLeft(FTopLeft.X, target);
    else
        MoveTopLeft(target, FTopLeft.Y);
}

// [SECTION] Timed scrolling
void TCustomGrid::StartTimedScroll() {
    if (!HandleAllocated() || FDrag.TimerRunning) return;
    FDrag.TimerRunning = SetTimer(Handle(), ScrollTimerId, kScrollInterval) != 0;
}

void TCustomGrid::StopTimedScroll() {
    if (!FDrag.TimerRunning) return;
    FDrag.TimerRunning = false;
    if (HandleAllocated()) KillTimer(Handle(), ScrollTimerId);
}

// Where the point lies beyond the scrolling area (fixed cells count as beyond).
TGridScrollDirections TCustomGrid::ScrollDirections(TPoint p) {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    TGridScrollDirections result;
    const bool byCols = FGridState != gsRowMoving;
    const bool byRows = FGridState != gsColMoving;
    if (byCols) {
        const Integer x = MirrorX(p.X);
        if (x < info.Horz.FixedBoundary) result.Include(sdLeft);
        if (x >= info.Horz.GridExtent) result.Include(sdRight);
    }
    if (byRows) {
        if (p.Y < info.Vert.FixedBoundary) result.Include(sdUp);
        if (p.Y >= info.Vert.GridExtent) result.Include(sdDown);
    }
    return result;
}

void TCustomGrid::TimerTick() {
    if (FGridState != gsSelecting && FGridState != gsColMoving && FGridState != gsRowMoving) {
        StopTimedScroll();
        return;
    }
    const TGridScrollDirections direction = ScrollDirections(FDrag.LastPoint);
    if (direction.Empty()) return;
    TimedScroll(direction);
}

void TCustomGrid::TimedScroll(TGridScrollDirections direction) {
    Integer left = FTopLeft.X, top = FTopLeft.Y;
    if (direction.Contains(sdLeft)) --left;
    if (direction.Contains(sdRight)) ++left;
    if (direction.Contains(sdUp)) --top;
    if (direction.Contains(sdDown)) ++top;
    MoveTopLeft(left, top);
    // The selection or the drop target follows to the newly shown edge cell.
    TGridDrawInfo info;
    CalcDrawInfo(info);
    TGridCoord cell = FCurrent;
    if (direction.Contains(sdLeft)) cell.X = FTopLeft.X;
    if (direction.Contains(sdRight)) cell.X = std::max(info.Horz.LastFullVisibleCell, FTopLeft.X);
    if (direction.Contains(sdUp)) cell.Y = FTopLeft.Y;
    if (direction.Contains(sdDown)) cell.Y = std::max(info.Vert.LastFullVisibleCell, FTopLeft.Y);
    if (FGridState == gsColMoving && (direction.Contains(sdLeft) || direction.Contains(sdRight))) {
        UpdateMoveTarget(cell.X);
        return;
    }
    if (FGridState == gsRowMoving && (direction.Contains(sdUp) || direction.Contains(sdDown))) {
        UpdateMoveTarget(cell.Y);
        return;
    }
    if (FGridState != gsSelecting) return;
    if (cell != FCurrent) MoveCurrent(cell.X, cell.Y, !FOptions.Contains(goRangeSelect), false);
}

} // namespace mv
