// TCustomGrid mouse and window messages: the sizing/moving/selecting state machine, column
// and row moving, the scroll-bar and timer messages, focus and cursor. Overview: Grids.h.
//
// State machine: a left press starts gsColSizing/gsRowSizing on a sizing border
// (CalcSizingState), gsColMoving/gsRowMoving on a fixed cell when Begin...Drag agrees,
// gsSelecting on a scrolling cell; moves follow it (timed scrolling outside the cells);
// the release applies it (ColWidths/RowHeights, MoveColumn/MoveRow) and returns to gsNormal.
// Beside it, with goFixedHotTrack, the fixed cell under the mouse is hot and a press on a
// fixed cell that starts nothing else makes it pressed until the release (THotState).
// Positions along the columns are leading-edge distances (MirrorX) from here on.
//
// [SECTION] Sizing and moving hooks   CalcSizingState, Sizing, Begin/Check/End...Drag
// [SECTION] Mouse                     MouseDown, MouseMove, MouseUp, UpdateMoveTarget,
//                                     CancelGesture
// [SECTION] Hot and pressed cells     IsFixedCell, TrackHot, SetHotCell, SetPressedShows,
//                                     EndHotTracking, MouseLeave
// [SECTION] Moving columns and rows   MoveColumn, MoveRow, ColumnMoved, RowMoved
// [SECTION] Window                    WndProc, CreateParams, CreateWnd, BoundsChanged,
//                                     FontChanged, BiDiModeChanged, SetOptions, ...
#include "platform/vcl/Grids.h"

#include "platform/rtl/Exceptions.h"
#include "platform/vcl/GridsPrivate.h"

#include <algorithm>
#include <cstdlib>

namespace mv {

using namespace grids_detail;

namespace {

// Pixels on each side of a border line that still count as the border.
constexpr Integer kSizingSlack = 3;

// Keeps an index in step with a move of one item from 'from' to 'to'.
Integer MovedIndex(Integer index, Integer from, Integer to) {
    if (index == from) return to;
    if (from < to && index > from && index <= to) return index - 1;
    if (to < from && index >= to && index < from) return index + 1;
    return index;
}

template <typename T> void MoveItem(std::vector<T>& items, Integer from, Integer to) {
    if (items.empty()) return;
    const T item = items[static_cast<size_t>(from)];
    items.erase(items.begin() + from);
    items.insert(items.begin() + to, item);
}

// The sizing border of the cells along an axis nearest to pos, or -1.
Integer NearestBorder(const TGridAxisDrawInfo& axis, Integer pos, Integer& border) {
    std::vector<TAxisCell> cells;
    CollectAxis(axis, 0, axis.GridExtent, cells);
    Integer best = -1, bestDistance = 0;
    for (const TAxisCell& c : cells) {
        const Integer end = c.Start + axis.GetExtent(c.Index);
        if (pos < end - kSizingSlack || pos >= end + axis.EffectiveLineWidth + kSizingSlack) continue;
        const Integer distance = std::abs(2 * pos - (2 * end + axis.EffectiveLineWidth));
        if (best >= 0 && distance >= bestDistance) continue;
        best = c.Index;
        bestDistance = distance;
        border = end;
    }
    return best;
}

} // namespace

// [SECTION] Sizing and moving hooks
void TCustomGrid::CalcSizingState(Integer x, Integer y, TGridState& state, Integer& index, Integer& sizingPos,
                                  Integer& sizingOfs, TGridDrawInfo& fixedInfo) {
    state = gsNormal;
    index = -1;
    CalcFixedInfo(fixedInfo);
    TGridDrawInfo info;
    CalcDrawInfo(info);
    x = MirrorX(x);
    Integer border = 0;
    if (FOptions.Contains(goColSizing) && y >= 0 && y < info.Vert.FixedBoundary) {
        const Integer col = NearestBorder(info.Horz, x, border);
        if (col >= 0) {
            state = gsColSizing;
            index = col;
            sizingPos = border;
            sizingOfs = border - x;
            return;
        }
    }
    if (FOptions.Contains(goRowSizing) && x >= 0 && x < info.Horz.FixedBoundary) {
        const Integer row = NearestBorder(info.Vert, y, border);
        if (row >= 0) {
            state = gsRowSizing;
            index = row;
            sizingPos = border;
            sizingOfs = border - y;
        }
    }
}

bool TCustomGrid::Sizing(Integer x, Integer y) {
    TGridDrawInfo fixedInfo;
    TGridState state = gsNormal;
    Integer index = -1, pos = 0, ofs = 0;
    CalcSizingState(x, y, state, index, pos, ofs, fixedInfo);
    return state != gsNormal;
}

bool TCustomGrid::BeginColumnDrag(Integer& origin, Integer& destination, const TPoint& mousePt) {
    (void)origin, (void)destination, (void)mousePt;
    return true;
}

bool TCustomGrid::CheckColumnDrag(Integer& origin, Integer& destination, const TPoint& mousePt) {
    (void)origin, (void)destination, (void)mousePt;
    return true;
}

bool TCustomGrid::EndColumnDrag(Integer& origin, Integer& destination, const TPoint& mousePt) {
    (void)origin, (void)destination, (void)mousePt;
    return true;
}

bool TCustomGrid::BeginRowDrag(Integer& origin, Integer& destination, const TPoint& mousePt) {
    (void)origin, (void)destination, (void)mousePt;
    return true;
}

bool TCustomGrid::CheckRowDrag(Integer& origin, Integer& destination, const TPoint& mousePt) {
    (void)origin, (void)destination, (void)mousePt;
    return true;
}

bool TCustomGrid::EndRowDrag(Integer& origin, Integer& destination, const TPoint& mousePt) {
    (void)origin, (void)destination, (void)mousePt;
    return true;
}

// [SECTION] Mouse
void TCustomGrid::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
    const bool designing = ComponentState().Contains(csDesigning);
    if (!designing && !Focused() && CanFocus()) {
        const bool editorFocused = FInplaceEdit && FInplaceEdit->Focused();
        if (!editorFocused) SetFocus();
    }
    if (button == mbLeft && shift.Contains(ssDouble)) {
        const TGridCoord cell = MouseCoord(x, y);
        if (cell == FCurrent && FOptions.Contains(goEditing)) ShowEditor();
    } else if (button == mbLeft) {
        const TPoint pt{x, y};
        TGridDrawInfo fixedInfo;
        TGridState state = gsNormal;
        Integer index = -1, pos = 0, ofs = 0;
        CalcSizingState(x, y, state, index, pos, ofs, fixedInfo);
        FDrag = {};
        FDrag.LastPoint = pt;
        if (state != gsNormal) {
            FGridState = state;
            FDrag.Index = index;
            FDrag.SizingPos = pos;
            FDrag.SizingOfs = ofs;
            FDrag.SizingStart =
                pos - std::max(state == gsColSizing ? ColWidths(index) : RowHeights(index), 0);
            const TRect line = SizingLineRect(pos);
            InvalidateRect(&line);
            SetHotCell({-1, -1});
        } else {
            const TGridCoord cell = MouseCoord(x, y);
            if (cell.X >= 0 && cell.Y >= 0) {
                if (cell.Y < FFixedRows && cell.X >= FFixedCols && FOptions.Contains(goColMoving)) {
                    Integer origin = cell.X, destination = cell.X;
                    if (BeginColumnDrag(origin, destination, pt)) {
                        FGridState = gsColMoving;
                        FDrag.Index = origin;
                        FDrag.MovePos = destination;
                        StartTimedScroll();
                    }
                } else if (cell.X < FFixedCols && cell.Y >= FFixedRows && FOptions.Contains(goRowMoving)) {
                    Integer origin = cell.Y, destination = cell.Y;
                    if (BeginRowDrag(origin, destination, pt)) {
                        FGridState = gsRowMoving;
                        FDrag.Index = origin;
                        FDrag.MovePos = destination;
                        StartTimedScroll();
                    }
                } else if (!IsFixedCell(cell)) {
                    if (FOptions.Contains(goEditing) && cell == FCurrent && !FEditorMode) {
                        ShowEditor();
                    } else {
                        FGridState = gsSelecting;
                        StartTimedScroll();
                        const bool extend = shift.Contains(ssShift) && FOptions.Contains(goRangeSelect);
                        FocusCell(cell.X, cell.Y, !extend);
                    }
                }
                // A fixed cell that starts no move is clicked like a button.
                if (FGridState == gsColMoving || FGridState == gsRowMoving) {
                    SetHotCell({-1, -1});
                } else if (IsFixedCell(cell) && FOptions.Contains(goFixedHotTrack)) {
                    SetHotCell(cell);
                    FHot.Pressed = cell;
                    SetPressedShows(true);
                }
            }
        }
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomGrid::MouseMove(TShiftState shift, Integer x, Integer y) {
    FDrag.LastPoint = {x, y};
    switch (FGridState) {
    case gsSelecting: {
        const TGridCoord cell = MouseCoord(x, y);
        if (cell.X >= FFixedCols && cell.Y >= FFixedRows && cell != FCurrent)
            MoveColRow(cell.X, cell.Y, !FOptions.Contains(goRangeSelect), false);
        break;
    }
    case gsColSizing:
    case gsRowSizing: {
        const Integer pos =
            std::max((FGridState == gsColSizing ? MirrorX(x) : y) + FDrag.SizingOfs, FDrag.SizingStart);
        if (pos == FDrag.SizingPos) break;
        TRect line = SizingLineRect(FDrag.SizingPos);
        InvalidateRect(&line);
        FDrag.SizingPos = pos;
        line = SizingLineRect(pos);
        InvalidateRect(&line);
        break;
    }
    case gsColMoving:
    case gsRowMoving: {
        const TGridCoord cell = MouseCoord(x, y);
        const Integer at = FGridState == gsColMoving ? cell.X : cell.Y;
        // Outside the scrolling cells the timer scrolls and moves the target.
        if (at >= (FGridState == gsColMoving ? FFixedCols : FFixedRows)) UpdateMoveTarget(at);
        break;
    }
    default:
        TrackHot(x, y);
        break;
    }
    TCustomControl::MouseMove(shift, x, y);
}

void TCustomGrid::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
    const TPoint pt{x, y};
    switch (FGridState) {
    case gsSelecting:
        MouseMove(shift, x, y);
        StopTimedScroll();
        FGridState = gsNormal;
        UpdateEdit();
        break;
    case gsColSizing:
    case gsRowSizing: {
        const bool cols = FGridState == gsColSizing;
        const TRect line = SizingLineRect(FDrag.SizingPos);
        InvalidateRect(&line);
        FGridState = gsNormal;
        const Integer size = FDrag.SizingPos - FDrag.SizingStart;
        if (cols)
            SetColWidths(FDrag.Index, size);
        else
            SetRowHeights(FDrag.Index, size);
        break;
    }
    case gsColMoving:
    case gsRowMoving: {
        const bool cols = FGridState == gsColMoving;
        StopTimedScroll();
        Integer origin = FDrag.Index, destination = FDrag.MovePos;
        const bool accepted =
            cols ? EndColumnDrag(origin, destination, pt) : EndRowDrag(origin, destination, pt);
        CancelGesture();
        if (accepted && origin != destination && destination >= 0) {
            if (cols)
                MoveColumn(origin, destination);
            else
                MoveRow(origin, destination);
        }
        break;
    }
    default:
        break;
    }
    FGridState = gsNormal;
    if (button == mbLeft) {
        SetPressedShows(false);
        FHot.Pressed = {-1, -1};
        TrackHot(x, y);
    }
    TCustomControl::MouseUp(button, shift, x, y);
}

// Asks Check...Drag about a new destination and moves the drop marker there.
void TCustomGrid::UpdateMoveTarget(Integer at) {
    const bool cols = FGridState == gsColMoving;
    Integer origin = FDrag.Index, destination = at;
    const bool show = cols ? CheckColumnDrag(origin, destination, FDrag.LastPoint)
                           : CheckRowDrag(origin, destination, FDrag.LastPoint);
    if (show == FDrag.ShowMarker && destination == FDrag.MovePos) return;
    TGridDrawInfo info;
    CalcDrawInfo(info);
    TRect marker = MoveMarkerRect(info, FDrag.MovePos);
    if (FDrag.ShowMarker) InvalidateRect(&marker);
    FDrag.MovePos = destination;
    FDrag.ShowMarker = show;
    marker = MoveMarkerRect(info, destination);
    if (show) InvalidateRect(&marker);
}

// Drops a gesture in progress without applying it (capture lost, cancel mode).
void TCustomGrid::CancelGesture() {
    StopTimedScroll();
    if (FGridState != gsNormal && FGridState != gsSelecting && HandleAllocated()) InvalidateGrid();
    FGridState = gsNormal;
    FDrag.ShowMarker = false;
    SetPressedShows(false);
    FHot.Pressed = {-1, -1};
}

// [SECTION] Hot and pressed cells
bool TCustomGrid::IsFixedCell(TGridCoord cell) const {
    return cell.X >= 0 && cell.Y >= 0 && (cell.X < FFixedCols || cell.Y < FFixedRows);
}

// The hot cell follows the mouse (client point) while no gesture runs; a held press shows
// its cell pressed only while the mouse is over it, as a button does.
void TCustomGrid::TrackHot(Integer x, Integer y) {
    if (!FOptions.Contains(goFixedHotTrack) || FGridState != gsNormal) return;
    const TGridCoord cell = MouseCoord(x, y);
    if (FHot.Pressed.X >= 0) {
        SetPressedShows(cell == FHot.Pressed);
        return;
    }
    SetHotCell(IsFixedCell(cell) ? cell : TGridCoord{-1, -1});
}

void TCustomGrid::SetHotCell(TGridCoord cell) {
    if (cell == FHot.Hot) return;
    const TGridCoord old = FHot.Hot;
    FHot.Hot = cell;
    if (old.X >= 0) InvalidateCell(old.X, old.Y);
    if (cell.X >= 0) InvalidateCell(cell.X, cell.Y);
}

void TCustomGrid::SetPressedShows(bool value) {
    if (value == FHot.PressedShows) return;
    FHot.PressedShows = value;
    if (FHot.Pressed.X >= 0) InvalidateCell(FHot.Pressed.X, FHot.Pressed.Y);
}

void TCustomGrid::EndHotTracking() {
    SetPressedShows(false);
    FHot.Pressed = {-1, -1};
    SetHotCell({-1, -1});
}

void TCustomGrid::MouseLeave() {
    // A held press keeps its cell: it shows pressed again when the mouse comes back.
    if (FHot.Pressed.X >= 0)
        SetPressedShows(false);
    else
        SetHotCell({-1, -1});
    TCustomControl::MouseLeave();
}

// [SECTION] Moving columns and rows
void TCustomGrid::MoveColumn(Integer fromIndex, Integer toIndex) {
    if (fromIndex < 0 || toIndex < 0 || fromIndex >= FColCount || toIndex >= FColCount)
        throw EInvalidGridOperation(GridsConsts::SIndexOutOfRange);
    if (fromIndex == toIndex) return;
    HideEdit();
    MoveItem(FColWidths, fromIndex, toIndex);
    FCurrent.X = MovedIndex(FCurrent.X, fromIndex, toIndex);
    FAnchor.X = MovedIndex(FAnchor.X, fromIndex, toIndex);
    ColumnMoved(fromIndex, toIndex);
    InvalidateGrid();
    UpdateEdit();
}

void TCustomGrid::MoveRow(Integer fromIndex, Integer toIndex) {
    if (fromIndex < 0 || toIndex < 0 || fromIndex >= FRowCount || toIndex >= FRowCount)
        throw EInvalidGridOperation(GridsConsts::SIndexOutOfRange);
    if (fromIndex == toIndex) return;
    HideEdit();
    MoveItem(FRowHeights, fromIndex, toIndex);
    FCurrent.Y = MovedIndex(FCurrent.Y, fromIndex, toIndex);
    FAnchor.Y = MovedIndex(FAnchor.Y, fromIndex, toIndex);
    RowMoved(fromIndex, toIndex);
    InvalidateGrid();
    UpdateEdit();
}

void TCustomGrid::ColumnMoved(Integer fromIndex, Integer toIndex) {
    if (OnColumnMoved) OnColumnMoved(this, fromIndex, toIndex);
}

void TCustomGrid::RowMoved(Integer fromIndex, Integer toIndex) {
    if (OnRowMoved) OnRowMoved(this, fromIndex, toIndex);
}

// [SECTION] Window
void TCustomGrid::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL: {
        const TWMScroll scroll(message);
        ModifyScrollBar(message.Msg == WM_VSCROLL ? SB_VERT : SB_HORZ, scroll.ScrollCode(), scroll.Pos());
        message.Result = 0;
        return;
    }
    case WM_MOUSEHWHEEL:
        ScrollColumnsByWheel(TWMMouseWheel(message).WheelDelta());
        message.Result = 1;
        return;
    case WM_TIMER:
        if (message.WParam == ScrollTimerId) {
            TimerTick();
            return;
        }
        break;
    case WM_SETCURSOR: {
        TCursor cursor = crDefault;
        if (FGridState == gsColSizing) cursor = crHSplit;
        if (FGridState == gsRowSizing) cursor = crVSplit;
        if (FGridState == gsNormal && !ComponentState().Contains(csDesigning)) {
            const TPoint p = ScreenToClient(GetCursorPos());
            TGridDrawInfo fixedInfo;
            TGridState state = gsNormal;
            Integer index = -1, pos = 0, ofs = 0;
            CalcSizingState(p.X, p.Y, state, index, pos, ofs, fixedInfo);
            if (state == gsColSizing) cursor = crHSplit;
            if (state == gsRowSizing) cursor = crVSplit;
        }
        if (cursor != crDefault) {
            ::mv::SetCursor(cursor);
            message.Result = 1;
            return;
        }
        break;
    }
    case WM_GETDLGCODE:
        message.Result = DLGC_WANTARROWS;
        if (FOptions.Contains(goTabs)) message.Result |= DLGC_WANTTAB;
        if (FOptions.Contains(goEditing)) message.Result |= DLGC_WANTCHARS;
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        TCustomControl::WndProc(message);
        // The focus changes how the current cell and the selection are drawn.
        const TGridRect sel = Selection();
        TRect r = BoxRect(sel.Left, sel.Top, sel.Right, sel.Bottom);
        InvalidateRect(&r);
        if (message.Msg == WM_SETFOCUS && !FTakingFocus && FInplaceEdit && FInplaceCol >= 0 &&
            FInplaceEdit->Visible())
            FInplaceEdit->SetFocus();
        return;
    }
    case WM_SIZE:
        TCustomControl::WndProc(message);
        UpdateScrollRange();
        return;
    case WM_CANCELMODE:
    case CM_CANCELMODE:
        CancelGesture();
        break;
    default:
        break;
    }
    TCustomControl::WndProc(message);
}

void TCustomGrid::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Style |= WS_TABSTOP;
    if (FBorderStyle == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomGrid::CreateWnd() {
    TCustomControl::CreateWnd();
    UpdateScrollRange();
}

void TCustomGrid::BoundsChanged(bool sized) {
    TCustomControl::BoundsChanged(sized);
    if (!sized) return;
    UpdateScrollRange();
    UpdateEdit();
}

void TCustomGrid::FontChanged() {
    TCustomControl::FontChanged();
    InvalidateGrid();
    InvalidateEditor();
}

void TCustomGrid::BiDiModeChanged() {
    TCustomControl::BiDiModeChanged();
    EndHotTracking();
    // The horizontal bar counts from the other side now; the editor moves to the mirror.
    UpdateScrollPos();
    InvalidateGrid();
    UpdateEdit();
}

void TCustomGrid::SetOptions(TGridOptions value) {
    if (value.Contains(goRowSelect)) value.Exclude(goAlwaysShowEditor);
    if (value == FOptions) return;
    const bool linesChanged =
        (value * TGridOptions{goVertLine, goHorzLine, goFixedVertLine, goFixedHorzLine}) !=
        (FOptions * TGridOptions{goVertLine, goHorzLine, goFixedVertLine, goFixedHorzLine});
    FOptions = value;
    if (!FOptions.Contains(goFixedHotTrack)) EndHotTracking();
    if (!FOptions.Contains(goEditing)) HideEditor();
    if (FOptions.Contains(goAlwaysShowEditor) && FOptions.Contains(goEditing)) FEditorMode = true;
    if (FOptions.Contains(goRowSelect)) FAnchor.X = FCurrent.X;
    if (linesChanged) {
        ClampCurrent();
        UpdateScrollRange();
    }
    InvalidateGrid();
    UpdateEdit();
}

void TCustomGrid::SetScrollBars(TScrollStyle value) {
    if (value == FScrollBars) return;
    FScrollBars = value;
    if (HandleAllocated()) {
        if (value != ssHorizontal && value != ssBoth) ShowScrollBar(Handle(), SB_HORZ, false);
        if (value != ssVertical && value != ssBoth) ShowScrollBar(Handle(), SB_VERT, false);
    }
    UpdateScrollRange();
}

void TCustomGrid::SetFixedColor(TColor value) {
    if (value == FFixedColor) return;
    FFixedColor = value;
    InvalidateGrid();
}

void TCustomGrid::SetBorderStyle(TBorderStyle value) {
    if (value == FBorderStyle) return;
    FBorderStyle = value;
    if (HandleAllocated()) RecreateWnd();
}

} // namespace mv
