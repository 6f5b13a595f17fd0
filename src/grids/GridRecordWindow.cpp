// The record window: how the grid follows its data link. Grid rows show the link's
// buffered records (one data row each) between the title rows and the bottom rows; the
// current data row is always the link's active record + TitleOffset.
//
// Index: LinkActive, DataChanged, Scroll, RecordChanged/EditingChanged/UpdateData,
// UpdateActive, UpdateRowCount (+ bottom row heights, GetVisibleRowCount), MoveBy,
// forced sequence (ForcedSequence .. UpdateSequenceValues), DefineFieldMap, enumerables.
#include "grids/MvDBGrids.h"

#include "platform/db/DataSet.h"
#include "platform/rtl/FlagScope.h"

#include <algorithm>
#include <cstdlib>

namespace mv {

namespace {

Integer LineWidth(const TMvCustomDBGrid& grid, TMvDBGridOption lines) {
    return grid.Options().Contains(lines) ? grid.GridLineWidth() : 0;
}

} // namespace

// ======================================================================================
// [SECTION] Link activation and data changes
// ======================================================================================

void TMvCustomDBGrid::LinkActive(bool value) {
    if (Destroying()) return;
    if (value && !Designing() && FColumns->State() == csDefault && FOptionsExt.Contains(dgForceCustomized))
        FColumns->SetState(csCustomized);
    if (!value) {
        HideEditor();
        if (FTitleOffset < RowCount() && Row() != FTitleOffset) {
            FMovingCurrent = true;
            MoveColRow(Col(), FTitleOffset, false, false);
            FMovingCurrent = false;
        }
    }
    FSelectedRows->LinkActive(value);
    ClearSelection();
    LayoutChanged();
    // FIXME(editors): grids made by ShowPopupEditor are freed here once popups exist.
    FFilter->UpdateColumns();
    UpdateListItems(false);
    UpdateSequence(false);
    UpdateScrollBar();
    UpdateRowCount();
    // FIXME(layout): the stretch state follows the link (stretch mode of the geometry).
    // FIXME(order): with dgLoadCurrentOrder the titles read the data set's current order.
    FTreeView->LinkActive(value);
    if (FTreeView->Active() && FDataLink->Active()) FDataLink->DataSet()->First();
    if (value) {
        if (!FOptionsEx.Contains(dgLoadCurrentOrder) && FOptionsEx.Contains(dgAutoUpdateOrder))
            ChangeDataSetOrder();
        if (FMasterGrid) FMasterGrid->Synchronize();
        if (FOptions.Contains(dgAlwaysShowEditor) && HandleAllocated()) ShowEditor();
    }
    if (value && FSettings->AutoLoadPending() && !Designing() && FSettings->Active()) {
        FSettings->SetAutoLoadPending(false);
        DisablePosition();
        try {
            FSettings->AutoLoadLayout();
            FDataLink->DataSet()->First();
        } catch (...) {
            EnablePosition(true);
            throw;
        }
        EnablePosition(true);
    } else {
        UpdateTotals(true);
    }
}

void TMvCustomDBGrid::DataChanged() {
    if (!HandleAllocated() || GetUpdateInProgress()) return;
    TDataSet* dataSet = FDataLink->DataSet();
    if (dataSet && dataSet->State() == dsBrowse && FInternalMove == 0 && GridState() != gsSelecting &&
        !EndSelectPending()) {
        FTreeView->DataChanged();
        UpdateListItems(true);
        UpdateSequence(true);
        UpdateTotals(true);
    }
    UpdateRowCount();
    UpdateScrollBar();
    UpdateActive();
    InvalidateEditor();
    ValidateRect(nullptr);
    Invalidate();
}

void TMvCustomDBGrid::Scroll(Integer distance) {
    if (!HandleAllocated()) return;
    const Integer oldRow = Row();
    if (FDataLink->ActiveRecord() >= RowCount() - FTitleOffset - FBottomRowCount) UpdateRowCount();
    UpdateActive();
    FSequenceNumber += distance + (Row() - oldRow);
    UpdateScrollBar();
    InvalidateRow(oldRow);
    InvalidateRow(Row());
    if (distance != 0) {
        HideEditor();
        // FIXME(painting): a tiled background also needs the full repaint.
        if (std::abs(distance) > GetVisibleRowCount() || FStripeColor != clNone) {
            for (Integer row = FTitleOffset; row < RowCount() - FBottomRowCount; ++row)
                InvalidateRow(row);
        } else {
            ScrollDataRows(distance);
        }
    }
    // FIXME(totals): the totals hear that the rows changed.
    if (FUpdateLock == 0) Update();
}

// Moves the painted data rows by distance rows; only the uncovered strip is repainted.
void TMvCustomDBGrid::ScrollDataRows(Integer distance) {
    const Integer lineWidth = LineWidth(*this, dgRowLines);
    Integer top = 0;
    for (Integer row = 0; row < FTitleOffset; ++row)
        top += RowHeights(row) + lineWidth;
    Integer bottom = ClientHeight();
    if (FBottomRowCount > 0) {
        bottom = top;
        for (Integer row = FTitleOffset; row < RowCount() - FBottomRowCount; ++row)
            bottom += RowHeights(row) + lineWidth;
    }
    const TRect area = Rect(0, top, ClientWidth(), std::min(bottom, ClientHeight()));
    if (area.Bottom <= area.Top) return;
    ScrollWindowEx(Handle(), 0, -distance * (DataRowHeight() + lineWidth), &area, &area, 0, nullptr,
                   SW_INVALIDATE);
}

void TMvCustomDBGrid::RecordChanged(TField* field) {
    if (!HandleAllocated()) return;
    InvalidateRow(Row());
    if (!field || field == SelectedField()) InvalidateEditor();
}

void TMvCustomDBGrid::EditingChanged() {
    if (HandleAllocated() && FIndicatorOffset > 0) InvalidateCell(0, Row());
}

void TMvCustomDBGrid::UpdateData() {
    TField* field = SelectedField();
    if (!field) return;
    // FIXME(columns): the column's own text pipeline (ColSetText) once columns have one.
    if (InplaceEditor()) field->SetEditText(InplaceEditor()->Text());
}

// ======================================================================================
// [SECTION] Current row and row count
// ======================================================================================

bool TMvCustomDBGrid::SelectCell(Integer col, Integer row) {
    // The grid's own moves of the current row are not the user's selection.
    if (FMovingCurrent) return true;
    return TCustomGrid::SelectCell(col, row);
}

void TMvCustomDBGrid::UpdateActive() {
    if (!FDataLink->Active() || !HandleAllocated() || Loading()) return;
    const Integer newRow = FDataLink->ActiveRecord() + FTitleOffset;
    if (newRow != Row() && newRow < RowCount()) {
        if (!FOptions.Contains(dgAlwaysShowEditor)) HideEditor();
        FMovingCurrent = true;
        try {
            MoveColRow(Col(), newRow, false, false);
        } catch (...) {
            FMovingCurrent = false;
            throw;
        }
        FMovingCurrent = false;
        InvalidateEditor();
    }
    if (InplaceEditor() && SelectedField() && InplaceEditor()->Text() != SelectedField()->Text())
        InvalidateEditor();
    if (FOptions.Contains(dgEditing) && FOptions.Contains(dgAllowInsertOff)) {
        TGridOptions gridOptions = TCustomGrid::Options();
        if (FDataLink->DataSet()->IsEmpty())
            gridOptions -= goEditing;
        else
            gridOptions += goEditing;
        TCustomGrid::SetOptions(gridOptions);
    }
}

Integer TMvCustomDBGrid::DataRowHeight() const {
    return DefaultRowHeight();
}

Integer TMvCustomDBGrid::TotalRowHeight() const {
    return FTotalRowHeight > 0 ? FTotalRowHeight : DefaultRowHeight();
}

Integer TMvCustomDBGrid::GetTotalRowCount() const {
    return FBottomRowCount - (FOptionsEx.Contains(dgBlankRow) ? 1 : 0);
}

Integer TMvCustomDBGrid::GetTotalFieldsRowCount() const {
    return GetTotalRowCount() - FTotalHeaderRowCount - FTotalValuesRowCount - FTotalFooterRowCount;
}

Integer TMvCustomDBGrid::GetVisibleRowCount() {
    const Integer lineWidth = LineWidth(*this, dgRowLines);
    Integer available = ClientHeight();
    for (Integer row = 0; row < FTitleOffset && row < RowCount(); ++row)
        available -= RowHeights(row) + lineWidth;
    available -= GetTotalRowCount() * (TotalRowHeight() + lineWidth);
    // The blank row keeps at least its line.
    if (FOptionsEx.Contains(dgBlankRow)) available -= lineWidth;
    const Integer rowExtent = DataRowHeight() + lineWidth;
    if (rowExtent <= 0) return 1;
    return std::max<Integer>(1, available / rowExtent);
}

void TMvCustomDBGrid::ApplyBottomRowHeights() {
    const Integer lineWidth = LineWidth(*this, dgRowLines);
    const Integer firstBottom = RowCount() - FBottomRowCount;
    for (Integer row = FTitleOffset; row < firstBottom; ++row)
        if (RowHeights(row) != DataRowHeight()) SetRowHeights(row, DataRowHeight());
    if (FBottomRowCount == 0) return;
    Integer firstTotal = firstBottom;
    if (FOptionsEx.Contains(dgBlankRow)) ++firstTotal;
    for (Integer row = firstTotal; row < RowCount(); ++row)
        if (RowHeights(row) != TotalRowHeight()) SetRowHeights(row, TotalRowHeight());
    if (firstTotal == firstBottom) return;
    Integer blank = ClientHeight();
    for (Integer row = 0; row < FTitleOffset; ++row)
        blank -= RowHeights(row) + lineWidth;
    blank -= GetTotalRowCount() * (TotalRowHeight() + lineWidth);
    blank -= std::max<Integer>(1, firstBottom - FTitleOffset) * (DataRowHeight() + lineWidth);
    SetRowHeights(firstBottom, std::max<Integer>(0, blank) - lineWidth);
}

void TMvCustomDBGrid::UpdateRowCount() {
    if (FUpdatingRowCount) return;
    TFlagScope updating(FUpdatingRowCount);

    const Integer oldRowCount = RowCount();
    const Integer minimum = FTitleOffset + FBottomRowCount + 1;
    if (RowCount() < minimum) SetRowCount(minimum);
    if (TCustomGrid::FixedRows() != FTitleOffset) SetFixedRows(FTitleOffset);

    if (FDataLink->Active() && FDataLink->RecordCount() > 0 && HandleAllocated()) {
        FDataLink->SetBufferCount(GetVisibleRowCount());
        SetRowCount(FDataLink->RecordCount() + FTitleOffset + FBottomRowCount);
        ApplyBottomRowHeights();
        if (TopRow() != FTitleOffset) SetTopRow(FTitleOffset);
        UpdateActive();
    } else {
        SetRowCount(minimum);
        ApplyBottomRowHeights();
    }

    if (!HandleAllocated()) return;
    if (RowCount() != oldRowCount) {
        InvalidateGrid();
        return;
    }
    if (!FOptions.Contains(dgRowLines) || FBottomRowCount != 0) return;
    // The data rows end exactly at the client's bottom: only the last row's line changes.
    const Integer lineWidth = GridLineWidth();
    Integer height = 0;
    for (Integer row = 0; row < RowCount(); ++row)
        height += RowHeights(row) + lineWidth;
    if (height == ClientHeight()) InvalidateRow(RowCount() - 1);
}

// ======================================================================================
// [SECTION] Moving the cursor
// ======================================================================================

Integer TMvCustomDBGrid::MoveBy(Integer distance, bool synchronize) {
    if (!FDataLink->Active()) return 0;
    TDataSet* dataSet = FDataLink->DataSet();
    if (FOptionsExt.Contains(dgScrollGridMode) && ForcedSequence()) {
        if (FSequenceNumber < 0) dataSet->CheckBrowseMode();
        Integer result = distance;
        if (FSequenceNumber == 1 && distance == -1)
            result = FDataLink->MoveBy(-1);
        else if (FSequenceNumber == FSequenceCount && distance == 1)
            result = FDataLink->MoveBy(1);
        if (result == 0) return 0;
        // Scroll the window, never past record 1 nor past the last screen.
        if (result < 0)
            result = std::max(result, FDataLink->ActiveRecord() - FSequenceNumber + 1);
        else
            result = std::min(result, FSequenceCount - GetVisibleRowCount() + FDataLink->ActiveRecord() -
                                          FSequenceNumber + 1);
        if (result == 0) return 0;
        distance = result;
        synchronize = true;
    }
    if (!synchronize) return FDataLink->MoveBy(distance);

    dataSet->CheckBrowseMode();
    HideEditor();
    Integer moved = 0;
    bool bof = false;
    bool eof = false;
    {
        TInternalMove internalMove(*this);
        DisablePosition();
        try {
            moved = FDataLink->MoveBy(distance);
            FSequenceNumber += moved;
            bof = FDataLink->Bof();
            eof = FDataLink->Eof();
        } catch (...) {
            EnablePosition(true);
            throw;
        }
        EnablePosition(true);
    }
    // The resynchronised window forgot the ends; a move against them sets them again.
    if (bof) dataSet->MoveBy(-1);
    if (eof) dataSet->MoveBy(1);
    if (FOptions.Contains(dgAlwaysShowEditor) && HandleAllocated()) ShowEditor();
    return moved;
}

// ======================================================================================
// [SECTION] Forced sequence
// ======================================================================================

bool TMvCustomDBGrid::ForcedSequence() const {
    return FOptions.Contains(dgForceSequence) && FDataLink->Active();
}

Integer TMvCustomDBGrid::GetRecCount() const {
    if (ForcedSequence()) return FSequenceCount;
    if (FDataLink->Active()) return FDataLink->DataSet()->RecordCount();
    return 0;
}

Integer TMvCustomDBGrid::GetRecNumber() const {
    if (!ForcedSequence()) return FDataLink->Active() ? FDataLink->DataSet()->RecNo() : -1;
    Integer number = FSequenceNumber + FRowOffset;
    TDataSet* dataSet = FDataLink->DataSet();
    if (dataSet->State() == dsInsert) {
        if (FRowOffset == 0) return -1;
        if (dataSet->Eof()) ++number;
        if (FRowOffset > 0) --number;
    }
    return number;
}

void TMvCustomDBGrid::SetupRecCount(Integer value) {
    if (ForcedSequence()) FSequenceCount = value;
}

void TMvCustomDBGrid::SetupRecNumber(Integer value) {
    if (ForcedSequence()) FSequenceNumber = value;
}

bool TMvCustomDBGrid::UpdateSequenceValues() {
    if (FSequenceCounting) return false;
    if (FDataLink->Active() && FDataLink->DataSet()->State() != dsBrowse) return false;
    if (!ForcedSequence()) return false;
    TDataSet* dataSet = FDataLink->DataSet();
    FSequenceCounting = true;
    bool controlsHeld = false;
    try {
        dataSet->CheckBrowseMode();
        const TBookmark bookmark = dataSet->GetBookmark();
        const Integer position = GetPosition();
        dataSet->DisableControls();
        controlsHeld = true;
        FSequenceCount = 0;
        FSequenceNumber = 0;
        if (!dataSet->IsEmpty()) {
            // Two moves count the records: back to the first gives -(k - 1) for record k,
            // then on to the last gives n - 1.
            FSequenceNumber = 1 - dataSet->MoveBy(-2147483647);
            FSequenceCount = dataSet->MoveBy(2147483647) + 1;
        }
        GotoPosition(position, bookmark);
        controlsHeld = false;
        dataSet->EnableControls();
    } catch (...) {
        if (controlsHeld) dataSet->EnableControls();
        FSequenceCounting = false;
        throw;
    }
    FSequenceCounting = false;
    SequenceUpdated();
    return true;
}

// ======================================================================================
// [SECTION] Field map, columns and enumerables
// ======================================================================================

void TMvCustomDBGrid::DefineFieldMap() {
    TDataSet* dataSet = FDataLink->DataSet();
    if (!dataSet) return;
    if (FColumns->State() == csCustomized) {
        FDataLink->SetSparseMap(true);
        for (Integer i = 0; i < FColumns->Count(); ++i)
            FDataLink->AddMapping(FColumns->Items(i)->FieldName());
        return;
    }
    FDataLink->SetSparseMap(false);
    for (TField* field : dataSet->FieldList())
        if (field->Visible()) FDataLink->AddMapping(field->FullName());
}

TMvColumn* TMvCustomDBGrid::SelectedColumn() const {
    const Integer index = SelectedIndex();
    return index >= 0 && index < FColumns->Count() ? FColumns->Items(index) : nullptr;
}

TField* TMvCustomDBGrid::SelectedField() const {
    TMvColumn* column = SelectedColumn();
    return column ? column->Field() : nullptr;
}

TMvBookmarkEnum TMvCustomDBGrid::DataRows() {
    return TMvBookmarkEnum([this, started = false](TBookmark& bookmark) mutable {
        if (!FDataLink->Active()) return false;
        TDataSet* dataSet = FDataLink->DataSet();
        if (!started) {
            started = true;
            dataSet->First();
        } else {
            dataSet->Next();
        }
        if (dataSet->Eof()) return false;
        bookmark = dataSet->GetBookmark();
        return true;
    });
}

TMvBookmarkEnum TMvCustomDBGrid::CurrentRow() {
    return TMvBookmarkEnum([this, done = false](TBookmark& bookmark) mutable {
        if (done || !FDataLink->Active() || FDataLink->DataSet()->IsEmpty()) return false;
        done = true;
        bookmark = FDataLink->DataSet()->GetBookmark();
        return true;
    });
}

std::vector<Integer> TMvCustomDBGrid::CurrentCol() const {
    const Integer index = SelectedIndex();
    if (index < 0) return {};
    return {index};
}

TMvBookmarkEnum TMvCustomDBGrid::GetDataRowEnum(TDataRowEnum kind) {
    auto selected = [this] {
        return TMvBookmarkEnum([this, index = Integer{0}](TBookmark& bookmark) mutable {
            if (index >= FSelectedRows->Count()) return false;
            bookmark = FSelectedRows->Items(index++);
            return true;
        });
    };
    switch (kind) {
    case reAllRows:
        return DataRows();
    case reSelectedRows:
        return selected();
    case reSelectedRowsOrAllRows:
        return FSelectedRows->Count() > 0 ? selected() : DataRows();
    case reSelectedRowsOrCurrent:
        return FSelectedRows->Count() > 0 ? selected() : CurrentRow();
    case reCurrentRow:
        break;
    }
    return CurrentRow();
}

} // namespace mv
