// What the grid is linked to: its data source (with the refusals), the master-grid ring
// and its synchronisation, and the clearing of references to components that go away.
#include "grids/MvDBGrids.h"

#include "platform/db/DBConsts.h"
#include "platform/db/DataSet.h"
#include "platform/rtl/FlagScope.h"

#include <algorithm>

namespace mv {

// ======================================================================================
// [SECTION] Data source
// ======================================================================================

void TMvCustomDBGrid::SetDataSource(TDataSource* value) {
    if (value == DataSource()) return;
    if (value && value == FTotals->DataSource()) {
        if (Loading()) return;
        DatabaseError(DBConsts::SCircularDataLink, this);
    }
    if (value && value->DataSet() && value->DataSet()->IsUniDirectional())
        DatabaseError(DBConsts::SDataSetUnidirectional, this);
    ClearSelection();
    FDataLink->SetDataSource(value);
    if (value) value->FreeNotification(this);
}

namespace {
TDataSet* LinkedDataSet(const TMvGridDataLink& link) {
    return link.DataSource() ? link.DataSource()->DataSet() : nullptr;
}
} // namespace

String TMvCustomDBGrid::Filter() const {
    TDataSet* dataSet = LinkedDataSet(*FDataLink);
    return dataSet ? dataSet->Filter() : String();
}

void TMvCustomDBGrid::SetFilter(const String& value) {
    if (TDataSet* dataSet = LinkedDataSet(*FDataLink)) dataSet->SetFilter(value);
}

bool TMvCustomDBGrid::Filtered() const {
    TDataSet* dataSet = LinkedDataSet(*FDataLink);
    return dataSet && dataSet->Filtered();
}

void TMvCustomDBGrid::SetFiltered(bool value) {
    if (TDataSet* dataSet = LinkedDataSet(*FDataLink)) dataSet->SetFiltered(value);
}

TFilterRecordEvent TMvCustomDBGrid::OnFilterRecord() const {
    TDataSet* dataSet = LinkedDataSet(*FDataLink);
    return dataSet ? dataSet->OnFilterRecord : TFilterRecordEvent();
}

void TMvCustomDBGrid::SetOnFilterRecord(TFilterRecordEvent value) {
    if (TDataSet* dataSet = LinkedDataSet(*FDataLink)) dataSet->OnFilterRecord = std::move(value);
}

// ======================================================================================
// [SECTION] Master-grid rings
// ======================================================================================

void TMvCustomDBGrid::LeaveRing() {
    if (FNextGrid == this) return;
    TMvCustomDBGrid* previous = FNextGrid;
    while (previous->FNextGrid != this)
        previous = previous->FNextGrid;
    previous->FNextGrid = FNextGrid;
    FNextGrid = this;
}

void TMvCustomDBGrid::SetMasterGrid(TMvCustomDBGrid* value) {
    if (value == FMasterGrid) return;
    for (TMvCustomDBGrid* grid = value; grid; grid = grid->FMasterGrid) {
        if (grid != this) continue;
        if (Loading() || value->Loading()) return;
        DatabaseError(DBConsts::SCircularDataLink, this);
    }
    LeaveRing();
    if (FMasterGrid) RemoveFreeNotification(FMasterGrid);
    FMasterGrid = value;
    if (!value) return;
    FNextGrid = value->FNextGrid;
    value->FNextGrid = this;
    // Widths and visibility now come from the ring: both grids keep their own columns.
    for (TMvCustomDBGrid* grid : {this, value})
        if (grid->FColumns->State() == csDefault && grid->FColumns->Count() > 0)
            grid->FColumns->SetState(csCustomized);
    value->FreeNotification(this);
    value->Synchronize();
}

void TMvCustomDBGrid::Synchronize() {
    TMvCustomDBGrid* next = FNextGrid;
    if (FSynchronizing || next == this || next->FSynchronizing) return;
    // Flags reset by scope: an event that raises on the way (OnTopLeftChanged, a column
    // setter) must not leave a grid marked, or it would never synchronize again.
    TFlagScope self(FSynchronizing);
    {
        // The next grid's own propagation waits until it is complete.
        TFlagScope nextScope(next->FSynchronizing);
        const Integer count = std::min(FColumns->Count(), next->FColumns->Count());
        for (Integer i = 0; i < count; ++i) {
            TMvColumn* source = FColumns->Items(i);
            TMvColumn* target = next->FColumns->Items(i);
            if (source->Expandable() && target->Expandable()) target->SetExpanded(source->Expanded());
            target->SetVisible(source->Visible());
            target->SetWidth(source->Width());
        }
        next->SetIndicatorWidth(FIndicatorWidth);
        next->SetFixedCols(FFixedCols);
        next->SetBiDiMode(BiDiMode());
        if (LeftCol() < next->ColCount() && LeftCol() >= next->TCustomGrid::FixedCols())
            next->SetLeftCol(LeftCol());
    }
    next->Synchronize();
}

void TMvColumn::Synchronize() {
    TMvCustomDBGrid* grid = GetGrid();
    if (!grid || grid->Synchronizing() || grid->NextGrid() == grid) return;
    const Integer index = Index();
    TFlagScope self(grid->FSynchronizing);
    for (TMvCustomDBGrid* next = grid->NextGrid(); next != grid && !next->FSynchronizing;
         next = next->NextGrid()) {
        if (index >= next->Columns()->Count()) continue;
        TFlagScope nextScope(next->FSynchronizing);
        TMvColumn* target = next->Columns()->Items(index);
        if (Expandable() && target->Expandable()) target->SetExpanded(Expanded());
        target->SetVisible(Visible());
        target->SetWidth(Width());
    }
}

// ======================================================================================
// [SECTION] References to other components
// ======================================================================================

void TMvCustomDBGrid::RemoveReferences(TComponent* component) {
    if (component == FMasterGrid) FMasterGrid = nullptr;
    if (component == FIndicatorImages) FIndicatorImages = nullptr;
    if (component == FTitleMarkers) FTitleMarkers = nullptr;
    if (component == FTitleImages) FTitleImages = nullptr;
    if (component == FFillerPopupMenu) FFillerPopupMenu = nullptr;
    if (component == FIndicatorPopupMenu) FIndicatorPopupMenu = nullptr;
    if (FDataLink && component == FDataLink->DataSource()) FDataLink->SetDataSource(nullptr);
    if (FTotals) FTotals->RemoveReference(component);
    if (FColumns)
        for (Integer i = 0; i < FColumns->Count(); ++i)
            FColumns->Items(i)->RemoveReference(component);
}

void TMvCustomDBGrid::Notification(TComponent* component, TOperation operation) {
    if (operation == opRemove) {
        RemoveReferences(component);
        // A data set freed under a position or grid lock has no controls to enable.
        for (TPositionLock* lock : {&FPositionLock, &FGridLock})
            if (component == lock->HeldDataSet) {
                lock->HeldDataSet = nullptr;
                lock->ControlsHeld = false;
            }
        auto* field = dynamic_cast<TField*>(component);
        TDataSet* dataSet = FDataLink ? FDataLink->DataSet() : nullptr;
        if (field && dataSet && field->DataSet() == dataSet &&
            !dataSet->ComponentState().Contains(csDestroying) && !Destroying()) {
            if (AcquireLayoutLock())
                EndLayout();
            else if (HandleAllocated() && !LayoutDeferred())
                // Only the message: the bracket that is open belongs to someone else.
                PostMessage(Handle(), CM_DEFERLAYOUT, 0, 0);
        }
    }
    TCustomGrid::Notification(component, operation);
}

bool TMvCustomDBGrid::NeedsNotification(TField* field) {
    Integer references = 0;
    for (Integer i = 0; i < FColumns->Count(); ++i)
        if (FColumns->Items(i)->Field() == field) ++references;
    // FIXME(totals): the totals' fields count as references too.
    return references > 1;
}

void TMvCustomDBGrid::ClearSelection() {
    // FIXME(selection): the selection subsystem fires its events here.
    if (FSelectedRows) FSelectedRows->Clear();
    if (FSelectedCols) FSelectedCols->Clear();
}

} // namespace mv
