// TCustomGrid current cell and selection, keyboard navigation and the mouse wheel.
// Overview: Grids.h.
//
// [SECTION] Current cell and selection   SetCol, SetRow, MoveColRow, FocusCell, MoveCurrent,
//                                        Selection, SetSelection, SelectCell
// [SECTION] Keys                         KeyDown, KeyPress
// [SECTION] Wheel                        DoMouseWheel, ScrollColumnsByWheel
#include "platform/vcl/Grids.h"

#include "platform/rtl/Exceptions.h"

#include <algorithm>
#include <cassert>

namespace mv {

namespace {

// Rows (columns with Shift) one wheel notch scrolls.
constexpr Integer kWheelScrollLines = 3;

} // namespace

// [SECTION] Current cell and selection
void TCustomGrid::SetCol(Integer value) {
    if (value == FCurrent.X) return;
    FocusCell(value, FCurrent.Y, true);
}

void TCustomGrid::SetRow(Integer value) {
    if (value == FCurrent.Y) return;
    FocusCell(FCurrent.X, value, true);
}

void TCustomGrid::MoveColRow(Integer col, Integer row, bool moveAnchor, bool show) {
    MoveCurrent(col, row, moveAnchor, show);
    UpdateEdit();
}

void TCustomGrid::FocusCell(Integer col, Integer row, bool moveAnchor) {
    MoveCurrent(col, row, moveAnchor, true);
    UpdateEdit();
    Click();
}

void TCustomGrid::MoveCurrent(Integer col, Integer row, bool moveAnchor, bool show) {
    CheckCoord(col, row);
    if (!SelectCell(col, row)) return;
    const TGridRect oldSel = Selection();
    const TGridCoord oldCurrent = FCurrent;
    if (!FOptions.Contains(goAlwaysShowEditor) && (col != FCurrent.X || row != FCurrent.Y)) HideEditor();
    FCurrent = {col, row};
    if (moveAnchor || !FOptions.Contains(goRangeSelect)) FAnchor = FCurrent;
    if (show) ClampInView(FCurrent);
    InvalidateSelectionChange(oldSel, oldCurrent);
    assert(CheckInvariants() && "MoveCurrent left a position out of range");
}

void TCustomGrid::InvalidateSelectionChange(const TGridRect& oldSel, TGridCoord oldCurrent) {
    const TGridRect newSel = Selection();
    if (oldSel == newSel && oldCurrent == FCurrent) return;
    if (!HandleAllocated()) return;
    const bool single = oldSel.Left == oldSel.Right && oldSel.Top == oldSel.Bottom &&
                        newSel.Left == newSel.Right && newSel.Top == newSel.Bottom;
    if (single) {
        InvalidateCell(oldCurrent.X, oldCurrent.Y);
        InvalidateCell(FCurrent.X, FCurrent.Y);
        return;
    }
    TRect r = BoxRect(oldSel.Left, oldSel.Top, oldSel.Right, oldSel.Bottom);
    InvalidateRect(&r);
    r = BoxRect(newSel.Left, newSel.Top, newSel.Right, newSel.Bottom);
    InvalidateRect(&r);
    InvalidateCell(oldCurrent.X, oldCurrent.Y);
}

TGridRect TCustomGrid::Selection() const {
    TGridRect r = GridRect(FCurrent, FAnchor);
    if (FOptions.Contains(goRowSelect)) {
        r.Left = FFixedCols;
        r.Right = FColCount - 1;
    }
    return r;
}

void TCustomGrid::SetSelection(const TGridRect& value) {
    CheckCoord(value.Left, value.Top);
    CheckCoord(value.Right, value.Bottom);
    const TGridRect oldSel = Selection();
    const TGridCoord oldCurrent = FCurrent;
    FCurrent = {value.Left, value.Top};
    FAnchor = {value.Right, value.Bottom};
    ClampInView(FCurrent);
    InvalidateSelectionChange(oldSel, oldCurrent);
    UpdateEdit();
}

bool TCustomGrid::SelectCell(Integer col, Integer row) {
    bool canSelect = true;
    if (OnSelectCell) OnSelectCell(this, col, row, canSelect);
    return canSelect;
}

// [SECTION] Keys
void TCustomGrid::KeyDown(Word& key, TShiftState shift) {
    TCustomControl::KeyDown(key, shift);
    if (key == 0) return;
    const bool ctrl = shift.Contains(ssCtrl);
    const bool rowSelect = FOptions.Contains(goRowSelect);
    bool extend = shift.Contains(ssShift) && FOptions.Contains(goRangeSelect);
    TGridCoord cell = FCurrent;
    TGridCoord topLeft = FTopLeft;
    const Integer pageRows = std::max(VisibleRowCount(), 1);
    const Integer pageCols = std::max(VisibleColCount(), 1);
    // The arrows point on screen: in a mirrored grid the next column lies to the left.
    Word command = key;
    if (IsRightToLeft() && (key == VK_LEFT || key == VK_RIGHT)) command = key == VK_LEFT ? VK_RIGHT : VK_LEFT;
    switch (command) {
    case VK_UP:
        --cell.Y;
        break;
    case VK_DOWN:
        ++cell.Y;
        break;
    case VK_LEFT:
        if (rowSelect || ctrl) {
            topLeft.X -= rowSelect ? 1 : pageCols;
            if (!rowSelect) cell.X -= pageCols;
        } else {
            --cell.X;
        }
        break;
    case VK_RIGHT:
        if (rowSelect || ctrl) {
            topLeft.X += rowSelect ? 1 : pageCols;
            if (!rowSelect) cell.X += pageCols;
        } else {
            ++cell.X;
        }
        break;
    case VK_PRIOR:
        cell.Y -= pageRows;
        topLeft.Y -= pageRows;
        break;
    case VK_NEXT:
        cell.Y += pageRows;
        topLeft.Y += pageRows;
        break;
    case VK_HOME:
        cell.X = FFixedCols;
        if (ctrl) cell.Y = FFixedRows;
        break;
    case VK_END:
        cell.X = FColCount - 1;
        if (ctrl) cell.Y = FRowCount - 1;
        break;
    case VK_TAB:
        if (!FOptions.Contains(goTabs) || shift.Contains(ssAlt)) return;
        extend = false;
        if (shift.Contains(ssShift)) {
            if (cell.X > FFixedCols && !rowSelect) {
                --cell.X;
            } else if (cell.Y > FFixedRows) {
                --cell.Y;
                cell.X = FColCount - 1;
            }
        } else {
            if (cell.X < FColCount - 1 && !rowSelect) {
                ++cell.X;
            } else if (cell.Y < FRowCount - 1) {
                ++cell.Y;
                cell.X = FFixedCols;
            }
        }
        break;
    case VK_F2:
        if (FOptions.Contains(goEditing)) {
            ShowEditor();
            if (FEditorMode && FInplaceEdit) FInplaceEdit->Deselect();
        }
        return;
    case VK_ESCAPE:
        if (FEditorMode && !FOptions.Contains(goAlwaysShowEditor)) CancelEdit();
        return;
    default:
        return;
    }
    cell.X = std::clamp(cell.X, FFixedCols, FColCount - 1);
    cell.Y = std::clamp(cell.Y, FFixedRows, FRowCount - 1);
    if (topLeft != FTopLeft) MoveTopLeft(topLeft.X, topLeft.Y);
    if (cell != FCurrent || (!extend && FAnchor != FCurrent)) FocusCell(cell.X, cell.Y, !extend);
}

void TCustomGrid::KeyPress(Char& key) {
    TCustomControl::KeyPress(key);
    if (key == 0 || !FOptions.Contains(goEditing)) return;
    if (key == u'\r') {
        if (FOptions.Contains(goAlwaysShowEditor)) return;
        if (FEditorMode)
            HideEditor();
        else
            ShowEditor();
        key = 0;
        return;
    }
    if (FEditorMode || key < u' ' || !CanEditAcceptKey(key)) return;
    ShowEditorChar(key);
    key = 0;
}

// [SECTION] Wheel
bool TCustomGrid::DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) {
    if (TCustomControl::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
    if (wheelDelta == 0) return false;
    Integer notches = wheelDelta / WHEEL_DELTA;
    if (notches == 0) notches = wheelDelta > 0 ? 1 : -1;
    const Integer lines = notches * kWheelScrollLines;
    if (shift.Contains(ssShift))
        MoveTopLeft(FTopLeft.X - lines, FTopLeft.Y);
    else
        MoveTopLeft(FTopLeft.X, FTopLeft.Y - lines);
    return true;
}

// A horizontal wheel's positive delta points right; in a mirrored grid the columns that
// lie to the right are the earlier ones.
void TCustomGrid::ScrollColumnsByWheel(Integer wheelDelta) {
    if (wheelDelta == 0) return;
    Integer notches = wheelDelta / WHEEL_DELTA;
    if (notches == 0) notches = wheelDelta > 0 ? 1 : -1;
    const Integer columns = notches * kWheelScrollLines;
    MoveTopLeft(FTopLeft.X + (IsRightToLeft() ? -columns : columns), FTopLeft.Y);
}

} // namespace mv
