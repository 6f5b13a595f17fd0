// Brackets and deferred work: the update and layout counters, the layout run, the
// deferred-layout message, and the four jobs that run at once or on a one-shot timer.
//
// Layout call flow: LayoutChanged -> AcquireLayoutLock (BeginLayout when no bracket is
// open) -> EndLayout -> InternalLayout (outermost level only) -> columns' EndUpdate.
// A change inside an open bracket is thus carried out once, by the outermost EndLayout.
#include "grids/MvDBGrids.h"

#include "platform/rtl/FlagScope.h"
#include "platform/vcl/Controls.h"

namespace mv {

// ======================================================================================
// [SECTION] Update and layout brackets
// ======================================================================================

void TMvCustomDBGrid::BeginUpdate() {
    ++FUpdateLock;
}

void TMvCustomDBGrid::EndUpdate() {
    if (FUpdateLock > 0) --FUpdateLock;
    if (FUpdateLock == 0 && FLayoutLock == 0 && FLayoutAfterUnlock) {
        FLayoutAfterUnlock = false;
        if (HandleAllocated() && !LayoutDeferred()) PostMessage(Handle(), CM_DEFERLAYOUT, 0, 0);
    }
}

void TMvCustomDBGrid::BeginLayout() {
    BeginUpdate();
    if (FLayoutLock == 0) FColumns->BeginUpdate();
    ++FLayoutLock;
}

void TMvCustomDBGrid::EndLayout() {
    if (FLayoutLock == 0) return;
    if (FLayoutLock == 1) {
        // The brackets close even when the layout fails, so the grid is never left locked.
        try {
            InternalLayout();
        } catch (...) {
            CancelLayout();
            throw;
        }
    }
    CancelLayout();
}

void TMvCustomDBGrid::CancelLayout() {
    if (FLayoutLock == 0) return;
    if (FLayoutLock == 1) {
        // The columns' update reaches LayoutChanged, which finds the bracket still held.
        FColumns->EndUpdate();
    }
    --FLayoutLock;
    EndUpdate();
}

bool TMvCustomDBGrid::AcquireLayoutLock() {
    if (FUpdateLock != 0 || FLayoutLock != 0) return false;
    BeginLayout();
    return true;
}

void TMvCustomDBGrid::LayoutChanged() {
    if (AcquireLayoutLock()) EndLayout();
}

bool TMvCustomDBGrid::LayoutDeferred() {
    if (!HandleAllocated()) return false;
    TMsg msg;
    return PeekMessage(msg, Handle(), CM_DEFERLAYOUT, CM_DEFERLAYOUT, PM_NOREMOVE);
}

void TMvCustomDBGrid::DeferLayout() {
    if (HandleAllocated() && !LayoutDeferred()) PostMessage(Handle(), CM_DEFERLAYOUT, 0, 0);
    CancelLayout();
}

void TMvCustomDBGrid::HandleDeferLayout() {
    if (AcquireLayoutLock()) {
        EndLayout();
        return;
    }
    // Someone else holds the bracket: ask again once it closes (EndUpdate posts the
    // message then). Posting it again at once would make any message loop run inside the
    // bracket (a message box, ProcessMessages) spin on it forever; closing their bracket
    // here, as DeferLayout does for its caller, would unbalance it.
    FLayoutAfterUnlock = true;
}

void TMvCustomDBGrid::RemoveQueuedLayouts() {
    TMsg msg;
    while (PeekMessage(msg, Handle(), CM_DEFERLAYOUT, CM_DEFERLAYOUT, PM_REMOVE)) {
    }
}

void TMvCustomDBGrid::WndProc(TMessage& message) {
    if (message.Msg == CM_DEFERLAYOUT) {
        HandleDeferLayout();
        return;
    }
    TCustomGrid::WndProc(message);
}

bool TMvCustomDBGrid::GetUpdateInProgress() const {
    return FUpdateLock > 0 || FSequenceCounting || FTotals->Calculating() || FTreeView->Updating();
}

// ======================================================================================
// [SECTION] The layout run
// ======================================================================================

void TMvCustomDBGrid::InternalLayout() {
    if (Loading() || Destroying() || FInLayout) return;
    TFlagScope inLayout(FInLayout);

    if (HandleAllocated()) RemoveQueuedLayouts();
    FLayoutAfterUnlock = false;
    // A built column before a persistent one: the collection becomes purely persistent.
    bool persistentSeen = false;
    for (Integer i = FColumns->Count() - 1; i >= 0; --i) {
        if (FColumns->Items(i)->Persistent())
            persistentSeen = true;
        else if (persistentSeen) {
            for (Integer j = FColumns->Count() - 1; j >= 0; --j)
                if (!FColumns->Items(j)->Persistent()) FColumns->Delete(j);
            break;
        }
    }
    FIndicatorOffset = FOptions.Contains(dgIndicator) ? 1 : 0;
    FDataLink->ClearMapping();
    if (FDataLink->Active()) DefineFieldMap();
    FColumns->RebuildColumns();
    RebuildShowingColumns();

    const Integer columnCount = FColumns->Count();
    Integer fixed = FIndicatorOffset;
    if (FDataLink->Active() || FColumns->State() == csCustomized) {
        // FIXME(columns): expandable column groups move the frozen boundary to a group's end.
        FFixedCols = std::max(0, std::min(FFixedCols, columnCount - 1));
        fixed += FFixedCols;
    }
    SetColCount(std::max(columnCount + FIndicatorOffset, fixed + 1));
    TCustomGrid::SetFixedCols(fixed);

    // FIXME(titles): the number of title levels of the column tree; one level until then.
    FTitleOffset = FOptions.Contains(dgTitles) ? 1 : 0;
    CountBottomRows();
    // FIXME(layout): row heights from the fonts, lines counts and the grid style.
    UpdateRowCount();
    if (Col() < TCustomGrid::FixedCols() && ColCount() > TCustomGrid::FixedCols()) {
        FMovingCurrent = true;
        try {
            MoveColRow(TCustomGrid::FixedCols(), Row(), false, false);
        } catch (...) {
            FMovingCurrent = false;
            throw;
        }
        FMovingCurrent = false;
    }
    UpdateScrollBar();
    SetColumnAttributes();
    UpdateActive();
    UpdateRowCount();
    if (HandleAllocated()) InvalidateGrid();
}

void TMvCustomDBGrid::RebuildShowingColumns() {
    FShowingColumns.clear();
    for (Integer i = 0; i < FColumns->Count(); ++i)
        if (FColumns->Items(i)->Visible()) FShowingColumns.push_back(FColumns->Items(i));
}

void TMvCustomDBGrid::CountBottomRows() {
    FBottomRowCount = 0;
    FTotalHeaderRowCount = 0;
    FTotalValuesRowCount = 0;
    FTotalFooterRowCount = 0;
    if (FOptionsEx.Contains(dgBlankRow)) ++FBottomRowCount;
    if (FOptionsEx.Contains(dgTotalHeader)) FTotalHeaderRowCount = 1;
    // FIXME(totals): the greatest number of total values of any column.
    if (FOptionsEx.Contains(dgTotalFooter)) FTotalFooterRowCount = 1;
    FBottomRowCount += FTotalHeaderRowCount + FTotalValuesRowCount + FTotalFooterRowCount;
    if (FOptionsEx.Contains(dgTotalFields) && FTotals->DataLink() && FTotals->DataLink()->Active())
        FBottomRowCount += FTotals->DataLink()->RecordCount();
}

void TMvCustomDBGrid::SetColumnAttributes() {
    if (FIndicatorOffset > 0) SetColWidths(0, FIndicatorWidth);
    for (Integer i = 0; i < FColumns->Count() && i + FIndicatorOffset < ColCount(); ++i) {
        TMvColumn* column = FColumns->Items(i);
        SetColWidths(i + FIndicatorOffset, column->Visible() ? column->Width() : 0);
    }
}

// ======================================================================================
// [SECTION] Deferred jobs
// ======================================================================================

bool TMvCustomDBGrid::WantsDelay(TMvDBGridOptionEx delayOption) const {
    return FOptionsEx.Contains(delayOption) && !Designing() && Showing();
}

bool TMvCustomDBGrid::WantsDelayExt(TMvDBGridOptionExt delayOption) const {
    return FOptionsExt.Contains(delayOption) && !Designing() && Showing();
}

void TMvCustomDBGrid::ArmTimer(TTimerJob job, void (TMvCustomDBGrid::*handler)(TObject*)) {
    if (!FTimers[job]) FTimers[job] = new TTimer(this);
    // Assigning the handler re-arms a waiting timer: the run comes DelayInterval after
    // the last request.
    FTimers[job]->SetOnTimer([this, handler](TObject* sender) { (this->*handler)(sender); });
    FTimers[job]->SetInterval(static_cast<Cardinal>(DelayInterval));
}

void TMvCustomDBGrid::FreeTimer(TTimerJob job) {
    TTimer* timer = FTimers[job];
    FTimers[job] = nullptr;
    delete timer;
}

void TMvCustomDBGrid::EndSelect(bool Auto) {
    (void)Auto; // the end of a selection has no auto option
    if (Loading() || GetUpdateInProgress()) return;
    if (WantsDelay(dgDelaySelectedRows)) {
        ArmTimer(tjSelect, &TMvCustomDBGrid::DelayEndSelect);
        return;
    }
    RunEndSelect();
}

void TMvCustomDBGrid::UpdateListItems(bool Auto) {
    if (Loading() || GetUpdateInProgress()) return;
    if (Auto && !FOptionsExt.Contains(dgAutoUpdateListItems)) return;
    if (WantsDelayExt(dgDelayUpdateListItems)) {
        ArmTimer(tjListItems, &TMvCustomDBGrid::DelayUpdateListItems);
        return;
    }
    LoadListItems();
}

void TMvCustomDBGrid::UpdateSequence(bool Auto) {
    if (Loading() || GetUpdateInProgress()) return;
    if (Auto && !FOptionsEx.Contains(dgAutoUpdateSequence)) return;
    if (!ForcedSequence()) return;
    if (WantsDelay(dgDelayUpdateSequence)) {
        ArmTimer(tjSequence, &TMvCustomDBGrid::DelayUpdateSequence);
        return;
    }
    UpdateSequenceValues();
}

bool TMvCustomDBGrid::TotalsWanted() const {
    return FTotals->HasCalcValues() && (FTotals->Visible() || FOptionsEx.Contains(dgCalcInvisibleRows));
}

void TMvCustomDBGrid::UpdateTotals(bool Auto) {
    if (Loading() || GetUpdateInProgress()) return;
    if (Auto && !FOptionsEx.Contains(dgAutoUpdateTotals)) return;
    if (!TotalsWanted()) return;
    if (WantsDelay(dgDelayUpdateTotals)) {
        ArmTimer(tjTotals, &TMvCustomDBGrid::DelayUpdateTotals);
        return;
    }
    RunTotals();
}

void TMvCustomDBGrid::DelayEndSelect(TObject* sender) {
    (void)sender;
    FreeTimer(tjSelect);
    RunEndSelect();
}

void TMvCustomDBGrid::DelayUpdateListItems(TObject* sender) {
    (void)sender;
    FreeTimer(tjListItems);
    LoadListItems();
}

void TMvCustomDBGrid::DelayUpdateSequence(TObject* sender) {
    (void)sender;
    FreeTimer(tjSequence);
    RunSequence();
}

void TMvCustomDBGrid::DelayUpdateTotals(TObject* sender) {
    (void)sender;
    FreeTimer(tjTotals);
    RunTotals();
}

void TMvCustomDBGrid::RunEndSelect() {
    const bool rows = FSelectedRows->Count() > 0;
    const bool cols = FSelectedCols->Count() > 0;
    const bool changed = rows != FTotals->RowsSelected() || cols != FTotals->ColsSelected();
    FTotals->SetSelectedFlags(rows, cols);
    SelectedRowsChanged();
    SelectedColsChanged();
    if (changed) SelectedChanged();
}

void TMvCustomDBGrid::RunSequence() {
    const Integer count = FSequenceCount;
    const Integer number = FSequenceNumber;
    if (!UpdateSequenceValues()) return;
    if (count == FSequenceCount && number == FSequenceNumber) return;
    UpdateScrollBar();
    UpdateActive();
    if (HandleAllocated()) {
        InvalidateEditor();
        Invalidate();
    }
}

void TMvCustomDBGrid::RunTotals() {
    UpdateCalcValues(false);
}

void TMvCustomDBGrid::PerformDelayed() {
    if (FDataLink->Active()) FDataLink->DataSet()->CheckBrowseMode();
    if (FTimers[tjSelect]) DelayEndSelect(nullptr);
    if (FTimers[tjListItems]) DelayUpdateListItems(nullptr);
    if (FTimers[tjSequence]) DelayUpdateSequence(nullptr);
    if (FTimers[tjTotals]) DelayUpdateTotals(nullptr);
}

} // namespace mv
