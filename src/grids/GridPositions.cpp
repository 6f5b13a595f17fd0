// Saving and restoring the cursor around work that walks the data set: the position lock
// (bookmark + row of the window, controls disabled), the grid lock (the same plus the
// grid's Enabled), GotoPosition and RefreshDataSet.
#include "grids/MvDBGrids.h"

#include "platform/db/DataSet.h"

#include <algorithm>

namespace mv {

Integer TMvCustomDBGrid::GetPosition() const {
    return FDataLink->Active() ? FDataLink->ActiveRecord() : 0;
}

void TMvCustomDBGrid::SetPosition(Integer value) {
    if (!FDataLink->Active()) return;
    const Integer last = std::max<Integer>(0, FDataLink->RecordCount() - 1);
    value = std::clamp<Integer>(value, 0, last);
    FDataLink->MoveBy(value - FDataLink->ActiveRecord());
}

bool TMvCustomDBGrid::GotoPosition(Integer position, const TBookmark& bookmark) {
    if (!FDataLink->Active()) return false;
    TDataSet* dataSet = FDataLink->DataSet();
    const Integer last = std::max<Integer>(0, FDataLink->RecordCount() - 1);
    position = std::clamp<Integer>(position, 0, last);
    const TBookmark target = bookmark.empty() ? dataSet->GetBookmark() : bookmark;
    if (target.empty() || !dataSet->BookmarkValid(target)) return false;
    FDataLink->SetActiveRecord(position);
    dataSet->GotoBookmarkInRow(target);
    return true;
}

void TMvCustomDBGrid::DisablePosition() {
    if (++FPositionLock.Count != 1) return;
    FPositionLock.ControlsHeld = false;
    if (!FDataLink->Active()) return;
    TDataSet* dataSet = FDataLink->DataSet();
    FPositionLock.Bookmark = dataSet->GetBookmark();
    FPositionLock.Position = GetPosition();
    HoldControls(FPositionLock, dataSet);
}

void TMvCustomDBGrid::HoldControls(TPositionLock& lock, TDataSet* dataSet) {
    dataSet->DisableControls();
    lock.ControlsHeld = true;
    lock.HeldDataSet = dataSet;
    // Told when it goes, so that a lock never enables a freed data set's controls.
    dataSet->FreeNotification(this);
}

void TMvCustomDBGrid::ReleaseControls(TPositionLock& lock) {
    TDataSet* dataSet = lock.ControlsHeld ? lock.HeldDataSet : nullptr;
    lock.ControlsHeld = false;
    lock.HeldDataSet = nullptr;
    // The data set whose controls were disabled, even when the grid links another by now.
    if (dataSet) dataSet->EnableControls();
}

void TMvCustomDBGrid::EnablePosition(bool keepCurrent) {
    if (FPositionLock.Count == 0) return;
    if (--FPositionLock.Count != 0) return;
    TDataSet* dataSet = FDataLink->DataSet();
    try {
        if (FDataLink->Active()) {
            if (keepCurrent) FPositionLock.Bookmark = dataSet->GetBookmark();
            GotoPosition(FPositionLock.Position, FPositionLock.Bookmark);
        }
    } catch (...) {
        ReleaseControls(FPositionLock);
        throw;
    }
    ReleaseControls(FPositionLock);
    // FIXME(order): a changed data set order is set up again (SetupOrderFields).
    if (FDataLink->Active()) FKeptOrderFields = CurrentDataSetOrder();
}

void TMvCustomDBGrid::DisableGrid() {
    if (++FGridLock.Count != 1) return;
    ++FInternalMove;
    FGridLock.ControlsHeld = false;
    if (FDataLink->Active()) {
        TDataSet* dataSet = FDataLink->DataSet();
        FGridLock.Bookmark = dataSet->GetBookmark();
        FGridLock.Position = GetPosition();
        HoldControls(FGridLock, dataSet);
    }
    FGridLock.WasEnabled = Enabled();
    SetEnabled(false);
}

void TMvCustomDBGrid::EnableGrid() {
    if (FGridLock.Count == 0) return;
    if (--FGridLock.Count != 0) return;
    try {
        if (FDataLink->Active()) GotoPosition(FGridLock.Position, FGridLock.Bookmark);
    } catch (...) {
        ReleaseControls(FGridLock);
        SetEnabled(FGridLock.WasEnabled);
        --FInternalMove;
        throw;
    }
    ReleaseControls(FGridLock);
    SetEnabled(FGridLock.WasEnabled);
    --FInternalMove;
}

void TMvCustomDBGrid::RefreshDataSet(const String& keyFieldName) {
    if (!FDataLink->Active()) return;
    const String keyField = keyFieldName.empty() ? FKeyFields : keyFieldName;
    TDataSet* dataSet = FDataLink->DataSet();
    DisablePosition();
    try {
        Variant keyValue;
        const bool haveKey = !keyField.empty() && !dataSet->IsEmpty();
        if (haveKey) keyValue = dataSet->FieldValues(keyField);
        // FIXME(selection): with dgAutoKeepSelection the selection is saved and restored by key.
        ClearSelection();
        dataSet->Close();
        dataSet->Open();
        if (haveKey) dataSet->Locate(keyField, keyValue, {});
    } catch (...) {
        EnablePosition(true);
        throw;
    }
    EnablePosition(true);
}

} // namespace mv
