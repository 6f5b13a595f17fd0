// TMvGridDataLink: the grid's link to its data source. It keeps the field map (grid
// column -> index in the data set's flat field list) and passes the data set's
// notifications on to the grid's record window (GridRecordWindow.cpp).
#include "grids/MvDBGrids.h"

#include "platform/db/DBConsts.h"
#include "platform/db/DataSet.h"

#include <algorithm>

namespace mv {

TMvGridDataLink::TMvGridDataLink(TMvCustomDBGrid* grid) : FGrid(grid) {
    SetVisualControl(true);
}

TMvGridDataLink::~TMvGridDataLink() {
    ClearMapping();
}

// ======================================================================================
// [SECTION] Field map
// ======================================================================================

bool TMvGridDataLink::AddMapping(StringView fieldName) {
    if (FFieldCount >= MaxMapSize) DatabaseError(DBConsts::STooManyColumns);
    TDataSet* dataSet = DataSet();
    TField* field = nullptr;
    if (dataSet) field = FSparseMap ? dataSet->FindField(fieldName) : dataSet->FieldByName(fieldName);

    const Integer size = FieldMapSize();
    if (FFieldCount >= size) {
        Int64 grown = size == 0 ? 8 : Int64{size} * 2;
        grown = std::max<Int64>(grown, Int64{FFieldCount} + 1);
        grown = std::min<Int64>(grown, MaxMapSize);
        FFieldMap.resize(static_cast<std::size_t>(grown), -1);
    }
    std::int32_t entry = -1;
    if (field) {
        entry = dataSet->FieldList().IndexOf(field);
        // The grid clears its columns' references when the field goes.
        FGrid->FreeNotification(field);
    }
    FFieldMap[static_cast<std::size_t>(FFieldCount)] = entry;
    ++FFieldCount;
    return true;
}

void TMvGridDataLink::ClearMapping() {
    FFieldCount = 0;
}

Integer TMvGridDataLink::GetMappedIndex(Integer index) const {
    if (index < 0 || index >= FFieldCount) return -1;
    return FFieldMap[static_cast<std::size_t>(index)];
}

TField* TMvGridDataLink::GetFields(Integer index) const {
    const Integer entry = GetMappedIndex(index);
    TDataSet* dataSet = DataSet();
    if (entry < 0 || !dataSet) return nullptr;
    const TFieldList& list = dataSet->FieldList();
    return entry < list.Count() ? list[entry] : nullptr;
}

bool TMvGridDataLink::DefaultFields() const {
    TDataSet* dataSet = DataSet();
    if (!dataSet) return true;
    if (!dataSet->DefaultFields()) return false;
    if (FSparseMap)
        for (Integer i = 0; i < FFieldCount; ++i)
            if (FFieldMap[static_cast<std::size_t>(i)] < 0) return false;
    return true;
}

// ======================================================================================
// [SECTION] Notifications
// ======================================================================================

void TMvGridDataLink::ActiveChanged() {
    if (Active() && DataSet() && DataSet()->IsUniDirectional())
        DatabaseError(DBConsts::SDataSetUnidirectional);
    FGrid->LinkActive(Active());
    FModified = false;
}

void TMvGridDataLink::DataSetChanged() {
    FGrid->DataChanged();
    FModified = false;
}

void TMvGridDataLink::DataSetScrolled(Integer distance) {
    FGrid->Scroll(distance);
}

void TMvGridDataLink::LayoutChanged() {
    const bool saved = FGrid->FDataSetLayout;
    FGrid->FDataSetLayout = true;
    try {
        FGrid->LayoutChanged();
    } catch (...) {
        FGrid->FDataSetLayout = saved;
        throw;
    }
    FGrid->FDataSetLayout = saved;
    TDataLink::LayoutChanged();
}

void TMvGridDataLink::FocusControl(TFieldRef field) {
    if (!field || !*field) return;
    TMvDBGridColumns* columns = FGrid->Columns();
    for (Integer i = 0; i < columns->Count(); ++i) {
        if (columns->Items(i)->Field() != *field) continue;
        const Integer raw = FGrid->DataToRawColumn(i);
        if (raw >= FGrid->ColCount()) return;
        FGrid->MoveColRow(raw, FGrid->Row(), true, true);
        if (FGrid->Col() == raw && FGrid->CanFocus()) {
            FGrid->SetFocus();
            *field = nullptr;
            FGrid->ShowEditor();
        }
        return;
    }
}

void TMvGridDataLink::EditingChanged() {
    FGrid->EditingChanged();
}

void TMvGridDataLink::RecordChanged(TField* field) {
    if (FModified && field && field->FieldKind() == fkData && field != FGrid->SelectedField() &&
        !FInUpdateData) {
        TMvDBGridColumns* columns = FGrid->Columns();
        for (Integer i = FGrid->FixedCols(); i < columns->Count(); ++i)
            if (columns->Items(i)->Field() == field) {
                UpdateData();
                break;
            }
    }
    FGrid->RecordChanged(field);
    FModified = false;
}

void TMvGridDataLink::UpdateData() {
    FInUpdateData = true;
    try {
        if (FModified) FGrid->UpdateData();
    } catch (...) {
        FInUpdateData = false;
        FModified = false;
        throw;
    }
    FInUpdateData = false;
    FModified = false;
}

void TMvGridDataLink::Reset() {
    if (FModified)
        RecordChanged(nullptr);
    else
        Cancel();
}

void TMvGridDataLink::Cancel() {
    if (!DataSet()) return;
    ++FGrid->FInternalMove;
    try {
        DataSet()->Cancel();
    } catch (...) {
        --FGrid->FInternalMove;
        throw;
    }
    --FGrid->FInternalMove;
}

TMvTotalDataLink::TMvTotalDataLink(TMvCustomDBGrid* grid) : FGrid(grid) {
    SetVisualControl(true);
}

} // namespace mv
