// TCustomGrid geometry: dimensions, per-index sizes, the draw info of both axes, and the
// mapping between cells and client pixels (CellRect, BoxRect, MouseCoord). Overview: Grids.h.
//
// [SECTION] Unit helpers and texts
// [SECTION] Construction and dimensions   SetColCount ... SetGridLineWidth, ChangeSize
// [SECTION] Draw info                     CalcDrawInfo, CalcDrawInfoXY, CalcFixedInfo, CalcMaxTopLeft
// [SECTION] Cells and pixels              MirrorX, MirrorRect, CellRect, BoxRect, MouseCoord,
//                                         SizingLineRect, MoveMarkerRect
#include "platform/vcl/Grids.h"

#include "platform/vcl/GridsPrivate.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"

#include <algorithm>
#include <cassert>

namespace mv {

// [SECTION] Unit helpers and texts
namespace GridsConsts {
String SIndexOutOfRange = u"Grid index out of range";
String SFixedColTooBig = u"Fixed column count must be less than column count";
String SFixedRowTooBig = u"Fixed row count must be less than row count";
String SInvalidGridValue = u"Invalid grid value %d for %s; it must be at least %d";
} // namespace GridsConsts

TGridRect GridRect(TGridCoord a, TGridCoord b) {
    return {std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)};
}

bool PointInGridRect(Integer col, Integer row, const TGridRect& rect) {
    return col >= rect.Left && col <= rect.Right && row >= rect.Top && row <= rect.Bottom;
}

namespace grids_detail {

Integer CellSpan(const TGridAxisDrawInfo& axis, Integer index) {
    const Integer extent = axis.GetExtent(index);
    return extent < 0 ? 0 : extent + axis.EffectiveLineWidth;
}

namespace {
void CalcAxis(TGridAxisDrawInfo& axis, Integer useExtent) {
    axis.GridExtent = useExtent;
    Integer pos = 0;
    for (Integer i = 0; i < axis.FixedCellCount; ++i)
        pos += CellSpan(axis, i);
    axis.FixedBoundary = pos;
    axis.FullVisBoundary = pos;
    axis.LastFullVisibleCell = axis.FirstGridCell - 1;
    for (Integer i = axis.FirstGridCell; i < axis.GridCellCount && pos < useExtent; ++i) {
        const Integer extent = axis.GetExtent(i);
        if (extent < 0) continue;
        if (pos + extent <= useExtent) {
            axis.LastFullVisibleCell = i;
            axis.FullVisBoundary = std::min(pos + extent + axis.EffectiveLineWidth, useExtent);
        }
        pos += extent + axis.EffectiveLineWidth;
    }
    axis.GridBoundary = std::min(pos, useExtent);
}
} // namespace

bool CellStart(const TGridAxisDrawInfo& axis, Integer index, Integer& start) {
    if (index < 0 || index >= axis.GridCellCount || axis.GetExtent(index) < 0) return false;
    Integer pos = 0;
    if (index < axis.FixedCellCount) {
        for (Integer i = 0; i < index; ++i)
            pos += CellSpan(axis, i);
    } else {
        if (index < axis.FirstGridCell) return false;
        pos = axis.FixedBoundary;
        for (Integer i = axis.FirstGridCell; i < index && pos < axis.GridExtent; ++i)
            pos += CellSpan(axis, i);
    }
    if (pos >= axis.GridExtent) return false;
    start = pos;
    return true;
}

namespace {
// The visible span [first, last) of the cells from..to along an axis (their lines excluded
// at the end), false when none of them shows.
bool AxisRange(const TGridAxisDrawInfo& axis, Integer from, Integer to, Integer& first, Integer& last) {
    if (from > to) std::swap(from, to);
    bool any = false;
    for (Integer i = std::max(from, 0); i <= to && i < axis.GridCellCount; ++i) {
        if (i >= axis.FixedCellCount && i < axis.FirstGridCell) {
            i = axis.FirstGridCell - 1; // skip the scrolled-out cells
            continue;
        }
        if (axis.GetExtent(i) < 0) continue;
        Integer start = 0;
        if (!CellStart(axis, i, start)) {
            if (i >= axis.FixedCellCount) break; // past the client edge: nothing further shows
            continue;
        }
        if (!any) first = start;
        last = start + axis.GetExtent(i);
        any = true;
    }
    return any;
}
} // namespace

Integer AxisCoord(const TGridAxisDrawInfo& axis, Integer pos) {
    if (pos < 0 || pos >= axis.GridBoundary) return -1;
    Integer start = 0;
    Integer i = 0;
    if (pos >= axis.FixedBoundary) {
        start = axis.FixedBoundary;
        i = axis.FirstGridCell;
    }
    for (; i < axis.GridCellCount; ++i) {
        start += CellSpan(axis, i);
        if (pos < start) return i;
    }
    return -1;
}

void CollectAxis(const TGridAxisDrawInfo& axis, Integer lo, Integer hi, std::vector<TAxisCell>& cells) {
    cells.clear();
    auto consider = [&](Integer i, Integer start, bool fixed) {
        const Integer extent = axis.GetExtent(i);
        if (extent < 0) return start;
        const Integer end = start + extent + axis.EffectiveLineWidth;
        if (end > lo && start < hi) cells.push_back({i, start, fixed});
        return end;
    };
    Integer pos = 0;
    for (Integer i = 0; i < axis.FixedCellCount && pos < axis.GridExtent; ++i)
        pos = consider(i, pos, true);
    pos = axis.FixedBoundary;
    for (Integer i = axis.FirstGridCell; i < axis.GridCellCount && pos < std::min(hi, axis.GridExtent); ++i)
        pos = consider(i, pos, false);
}

} // namespace grids_detail

using namespace grids_detail;

// [SECTION] Construction and dimensions
TCustomGrid::TCustomGrid(TComponent* owner) : TCustomControl(owner) {
    FControlStyle = {csCaptureMouse, csOpaque, csDoubleClicks};
    SetBounds(0, 0, 320, 120);
    SetColor(clWindow);
    SetTabStop(true);
}

TCustomGrid::~TCustomGrid() {
    StopTimedScroll();
    // The editor goes first: while the grid is still whole, it can detach cleanly.
    if (TInplaceEdit* editor = FInplaceEdit) {
        FInplaceEdit = nullptr;
        editor->FGrid = nullptr;
        delete editor;
    }
}

bool TCustomGrid::CheckInvariants() const {
    auto inside = [&](TGridCoord c) { return c.X >= 0 && c.Y >= 0 && c.X < FColCount && c.Y < FRowCount; };
    return FFixedCols < FColCount && FFixedRows < FRowCount && inside(FCurrent) && inside(FAnchor) &&
           inside(FTopLeft) && FTopLeft.X >= FFixedCols && FTopLeft.Y >= FFixedRows &&
           (FColWidths.empty() || FColWidths.size() == static_cast<size_t>(FColCount)) &&
           (FRowHeights.empty() || FRowHeights.size() == static_cast<size_t>(FRowCount)) &&
           (FInplaceCol < 0) == (FInplaceRow < 0);
}

void TCustomGrid::CheckCoord(Integer col, Integer row) const {
    if (col < 0 || row < 0 || col >= FColCount || row >= FRowCount)
        throw EInvalidGridOperation(GridsConsts::SIndexOutOfRange);
}

void TCustomGrid::SetColCount(Integer value) {
    if (value < 1) value = 1;
    if (value == FColCount) return;
    if (value <= FFixedCols) FFixedCols = value - 1;
    ChangeSize(value, FRowCount);
}

void TCustomGrid::SetRowCount(Integer value) {
    if (value < 1) value = 1;
    if (value == FRowCount) return;
    if (value <= FFixedRows) FFixedRows = value - 1;
    ChangeSize(FColCount, value);
}

void TCustomGrid::ChangeSize(Integer newColCount, Integer newRowCount) {
    HideEdit();
    FColCount = newColCount;
    FRowCount = newRowCount;
    if (!FColWidths.empty()) FColWidths.resize(static_cast<size_t>(FColCount), FDefaultColWidth);
    if (!FRowHeights.empty()) FRowHeights.resize(static_cast<size_t>(FRowCount), FDefaultRowHeight);
    ClampCurrent();
    UpdateScrollRange();
    InvalidateGrid();
    UpdateEdit();
}

// Keeps the current cell, the anchor and the top-left cell inside the counts.
void TCustomGrid::ClampCurrent() {
    auto clampCoord = [&](TGridCoord& c) {
        c.X = std::clamp(c.X, std::min(FFixedCols, FColCount - 1), FColCount - 1);
        c.Y = std::clamp(c.Y, std::min(FFixedRows, FRowCount - 1), FRowCount - 1);
    };
    clampCoord(FCurrent);
    clampCoord(FAnchor);
    if (FOptions.Contains(goRowSelect)) {
        FCurrent.X = FFixedCols;
        FAnchor.X = FColCount - 1;
    }
    clampCoord(FTopLeft);
    const TGridCoord maxTopLeft = MaxTopLeft();
    FTopLeft.X = std::min(FTopLeft.X, maxTopLeft.X);
    FTopLeft.Y = std::min(FTopLeft.Y, maxTopLeft.Y);
    assert(CheckInvariants() && "ClampCurrent left a position out of range");
}

void TCustomGrid::SetFixedCols(Integer value) {
    if (value < 0)
        throw EInvalidGridOperation(Format(GridsConsts::SInvalidGridValue, {value, u"FixedCols", 0}));
    if (value >= FColCount) throw EInvalidGridOperation(GridsConsts::SFixedColTooBig);
    if (value == FFixedCols) return;
    HideEdit();
    FFixedCols = value;
    FTopLeft.X = value;
    FCurrent.X = std::max(FCurrent.X, value);
    FAnchor.X = std::max(FAnchor.X, value);
    if (FOptions.Contains(goRowSelect)) FCurrent.X = value;
    ClampCurrent();
    UpdateScrollRange();
    InvalidateGrid();
    UpdateEdit();
}

void TCustomGrid::SetFixedRows(Integer value) {
    if (value < 0)
        throw EInvalidGridOperation(Format(GridsConsts::SInvalidGridValue, {value, u"FixedRows", 0}));
    if (value >= FRowCount) throw EInvalidGridOperation(GridsConsts::SFixedRowTooBig);
    if (value == FFixedRows) return;
    HideEdit();
    FFixedRows = value;
    FTopLeft.Y = value;
    FCurrent.Y = std::max(FCurrent.Y, value);
    FAnchor.Y = std::max(FAnchor.Y, value);
    ClampCurrent();
    UpdateScrollRange();
    InvalidateGrid();
    UpdateEdit();
}

Integer TCustomGrid::ColWidths(Integer index) const {
    if (index < 0 || index >= FColCount || FColWidths.empty()) return FDefaultColWidth;
    return FColWidths[static_cast<size_t>(index)];
}

void TCustomGrid::SetColWidths(Integer index, Integer width) {
    if (index < 0 || index >= FColCount) throw EInvalidGridOperation(GridsConsts::SIndexOutOfRange);
    width = std::max(width, -1);
    if (width == ColWidths(index)) return;
    if (FColWidths.empty()) FColWidths.assign(static_cast<size_t>(FColCount), FDefaultColWidth);
    FColWidths[static_cast<size_t>(index)] = width;
    ColWidthsChanged();
}

Integer TCustomGrid::RowHeights(Integer index) const {
    if (index < 0 || index >= FRowCount || FRowHeights.empty()) return FDefaultRowHeight;
    return FRowHeights[static_cast<size_t>(index)];
}

void TCustomGrid::SetRowHeights(Integer index, Integer height) {
    if (index < 0 || index >= FRowCount) throw EInvalidGridOperation(GridsConsts::SIndexOutOfRange);
    height = std::max(height, -1);
    if (height == RowHeights(index)) return;
    if (FRowHeights.empty()) FRowHeights.assign(static_cast<size_t>(FRowCount), FDefaultRowHeight);
    FRowHeights[static_cast<size_t>(index)] = height;
    RowHeightsChanged();
}

void TCustomGrid::SetDefaultColWidth(Integer value) {
    if (value < 0)
        throw EInvalidGridOperation(Format(GridsConsts::SInvalidGridValue, {value, u"DefaultColWidth", 0}));
    if (value == FDefaultColWidth && FColWidths.empty()) return;
    FDefaultColWidth = value;
    FColWidths.clear();
    ColWidthsChanged();
}

void TCustomGrid::SetDefaultRowHeight(Integer value) {
    if (value < 0)
        throw EInvalidGridOperation(Format(GridsConsts::SInvalidGridValue, {value, u"DefaultRowHeight", 0}));
    if (value == FDefaultRowHeight && FRowHeights.empty()) return;
    FDefaultRowHeight = value;
    FRowHeights.clear();
    RowHeightsChanged();
}

void TCustomGrid::SetGridLineWidth(Integer value) {
    if (value < 0)
        throw EInvalidGridOperation(Format(GridsConsts::SInvalidGridValue, {value, u"GridLineWidth", 0}));
    if (value == FGridLineWidth) return;
    FGridLineWidth = value;
    ClampCurrent();
    UpdateScrollRange();
    InvalidateGrid();
    UpdateEdit();
}

void TCustomGrid::ColWidthsChanged() {
    ClampCurrent();
    UpdateScrollRange();
    InvalidateGrid();
    UpdateEdit();
}

void TCustomGrid::RowHeightsChanged() {
    ClampCurrent();
    UpdateScrollRange();
    InvalidateGrid();
    UpdateEdit();
}

// [SECTION] Draw info
void TCustomGrid::CalcDrawInfo(TGridDrawInfo& info) {
    CalcDrawInfoXY(info, ClientWidth(), ClientHeight());
}

void TCustomGrid::CalcDrawInfoXY(TGridDrawInfo& info, Integer useWidth, Integer useHeight) {
    TGridAxisDrawInfo& h = info.Horz;
    // A line gap exists when either kind of line is on; the painter fills the gaps whose
    // kind is off with the cell colour.
    h.EffectiveLineWidth =
        FOptions.Contains(goVertLine) || FOptions.Contains(goFixedVertLine) ? FGridLineWidth : 0;
    h.FixedCellCount = FFixedCols;
    h.FirstGridCell = FTopLeft.X;
    h.GridCellCount = FColCount;
    h.GetExtent = [this](Integer index) { return ColWidths(index); };
    CalcAxis(h, useWidth);
    TGridAxisDrawInfo& v = info.Vert;
    v.EffectiveLineWidth =
        FOptions.Contains(goHorzLine) || FOptions.Contains(goFixedHorzLine) ? FGridLineWidth : 0;
    v.FixedCellCount = FFixedRows;
    v.FirstGridCell = FTopLeft.Y;
    v.GridCellCount = FRowCount;
    v.GetExtent = [this](Integer index) { return RowHeights(index); };
    CalcAxis(v, useHeight);
}

void TCustomGrid::CalcFixedInfo(TGridDrawInfo& info) {
    CalcDrawInfo(info);
    for (TGridAxisDrawInfo* axis : {&info.Horz, &info.Vert}) {
        axis->FirstGridCell = axis->FixedCellCount;
        axis->GridCellCount = axis->FixedCellCount;
        CalcAxis(*axis, axis->GridExtent);
    }
}

TGridCoord TCustomGrid::CalcMaxTopLeft(TGridCoord coord, const TGridDrawInfo& info) {
    // Walk back from coord while the cells still fit into the scrolling area.
    auto calcAxis = [](const TGridAxisDrawInfo& axis, Integer start) {
        Integer result = start;
        Integer room = axis.GridExtent - axis.FixedBoundary;
        for (Integer i = start; i >= axis.FixedCellCount; --i) {
            const Integer span = CellSpan(axis, i);
            if (span > room && i != start) break;
            room -= span;
            if (span > 0 || i == start) result = i;
        }
        return std::max(result, axis.FixedCellCount);
    };
    return {calcAxis(info.Horz, coord.X), calcAxis(info.Vert, coord.Y)};
}

TGridCoord TCustomGrid::MaxTopLeft() {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    return CalcMaxTopLeft({FColCount - 1, FRowCount - 1}, info);
}

Integer TCustomGrid::VisibleColCount() {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    return std::max(info.Horz.LastFullVisibleCell - FTopLeft.X + 1, 0);
}

Integer TCustomGrid::VisibleRowCount() {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    return std::max(info.Vert.LastFullVisibleCell - FTopLeft.Y + 1, 0);
}

// Signed pixels the scrolling cells from..to-1 take (negative when to < from).
Integer TCustomGrid::PixelsBetween(const TGridAxisDrawInfo& axis, Integer from, Integer to) const {
    const Integer sign = to < from ? -1 : 1;
    if (to < from) std::swap(from, to);
    Int64 sum = 0;
    for (Integer i = from; i < to; ++i) {
        sum += CellSpan(axis, i);
        if (sum > axis.GridExtent) break; // more than a page: the exact number does not matter
    }
    return sign * static_cast<Integer>(sum);
}

// [SECTION] Cells and pixels
// Mirroring at this boundary, rather than a second set of right-to-left calculations,
// keeps one geometry: everything inside works in leading-edge distances.
Integer TCustomGrid::MirrorX(Integer x) const {
    return IsRightToLeft() ? ClientWidth() - 1 - x : x;
}

TRect TCustomGrid::MirrorRect(const TRect& r) const {
    if (!IsRightToLeft()) return r;
    const Integer width = ClientWidth();
    return {width - r.Right, r.Top, width - r.Left, r.Bottom};
}

TRect TCustomGrid::CellRect(Integer col, Integer row) {
    return BoxRect(col, row, col, row);
}

TRect TCustomGrid::BoxRect(Integer left, Integer top, Integer right, Integer bottom) {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    TRect r;
    if (!AxisRange(info.Horz, left, right, r.Left, r.Right) ||
        !AxisRange(info.Vert, top, bottom, r.Top, r.Bottom))
        return {};
    return MirrorRect(r);
}

TGridCoord TCustomGrid::MouseCoord(Integer x, Integer y) {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    return {AxisCoord(info.Horz, MirrorX(x)), AxisCoord(info.Vert, y)};
}

// Where the sizing line shows (client pixels) for a border at pos.
TRect TCustomGrid::SizingLineRect(Integer pos) const {
    const TRect client = ClientRect();
    if (FGridState == gsRowSizing) return Rect(client.Left, pos - 1, client.Right, pos + 1);
    return MirrorRect(Rect(pos - 1, client.Top, pos + 1, client.Bottom));
}

// The drop marker (client pixels) of a column/row move: at the leading edge of the
// destination when it lies before the origin, at its trailing edge otherwise.
TRect TCustomGrid::MoveMarkerRect(const TGridDrawInfo& info, Integer index) const {
    const bool cols = FGridState == gsColMoving;
    const TGridAxisDrawInfo& axis = cols ? info.Horz : info.Vert;
    Integer start = 0;
    if (!CellStart(axis, index, start)) return {};
    Integer pos = start;
    if (index > FDrag.Index) pos = start + std::max(axis.GetExtent(index), 0) + axis.EffectiveLineWidth;
    const Integer other = cols ? info.Vert.GridBoundary : info.Horz.GridBoundary;
    return MirrorRect(cols ? Rect(pos - 2, 0, pos + 2, other) : Rect(0, pos - 2, other, pos + 2));
}

} // namespace mv
