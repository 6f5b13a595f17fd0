// TClientDataSet as a detail: the link to the master, the range of records that belong
// to the master's current record, and the master's values in a new detail record. The
// range is a run of the current order (its leading fields hold the master's values), so
// it is found by binary search and kept in the view like a filter. Overview at "Master
// and detail" in ClientDataSet.h.
#include "platform/db/ClientDataSet.h"

#include "platform/db/ClientDataSetPrivate.h"
#include "platform/db/DBConsts.h"
#include "platform/db/FieldLists.h"

#include <algorithm>

namespace mv {

namespace {

std::vector<String> MasterFieldNames(const String& masterFields) {
    std::vector<String> names;
    for (Integer pos = 1; pos <= static_cast<Integer>(masterFields.size());) {
        String name = ExtractFieldName(masterFields, pos);
        if (!name.empty()) names.push_back(std::move(name));
    }
    return names;
}

} // namespace

// ======================================================================================
// [SECTION] The link
// ======================================================================================

namespace cds {

void TMasterLink::ActiveChanged() {
    if (Active()) {
        FDetail->MasterRecordChanged();
        return;
    }
    // Also reached from the master's or the source's destructor, where nothing may raise:
    // a pending detail edit that cannot be posted is reported instead.
    try {
        FDetail->MasterRecordChanged();
    } catch (...) {
        if (ApplicationHandleException) ApplicationHandleException(FDetail);
    }
}

void TMasterLink::CheckBrowseMode() {
    // The master is about to move: the detail's pending edit belongs to the present range.
    if (FDetail->Active()) FDetail->CheckBrowseMode();
}

void TMasterLink::DataSetChanged() {
    FDetail->MasterRecordChanged();
}

void TMasterLink::DataSetScrolled(Integer) {
    FDetail->MasterRecordChanged();
}

void TMasterLink::RecordChanged(TField*) {
    // Cheap when the master fields kept their values: the range is compared first.
    FDetail->MasterRecordChanged();
}

} // namespace cds

// ======================================================================================
// [SECTION] Properties
// ======================================================================================

TDataSource* TClientDataSet::MasterSource() const {
    return FMasterLink->DataSource();
}

void TClientDataSet::SetMasterSource(TDataSource* value) {
    if (value == MasterSource()) return;
    // The masters of the new master, and theirs, must not lead back here.
    for (TDataSet* ds = value != nullptr ? value->DataSet() : nullptr; ds != nullptr;) {
        if (ds == this) DatabaseError(DBConsts::SCircularDataLink, this);
        TDataSource* source = ds->GetDataSource();
        ds = source != nullptr ? source->DataSet() : nullptr;
    }
    TDataSource* previous = MasterSource();
    if (Active()) CheckBrowseMode();
    FMasterLink->SetDataSource(value);
    try {
        MasterRecordChanged();
    } catch (...) {
        FMasterLink->SetDataSource(previous);
        MasterRecordChanged();
        throw;
    }
}

void TClientDataSet::SetMasterFields(const String& value) {
    if (value == FMasterFields) return;
    String previous = FMasterFields;
    if (Active()) CheckBrowseMode();
    FMasterFields = value;
    try {
        MasterRecordChanged();
    } catch (...) {
        FMasterFields = previous;
        MasterRecordChanged();
        throw;
    }
}

// ======================================================================================
// [SECTION] The range
// ======================================================================================

bool TClientDataSet::ReadMasterValues(std::vector<Variant>& values) const {
    values.clear();
    if (!FMasterLink->Active() || FMasterFields.empty()) return false;
    TDataSet* master = FMasterLink->DataSet();
    for (const String& name : MasterFieldNames(FMasterFields)) {
        TField* field = master->FindField(name);
        if (field == nullptr) DatabaseErrorFmt(DBConsts::SFieldNotFound, {name}, master);
        values.push_back(field->AsVariant());
    }
    return !values.empty();
}

void TClientDataSet::MasterRecordChanged() {
    if (!Active()) return;
    std::vector<Variant> values;
    bool ranged = ReadMasterValues(values);
    if (ranged == FRanged && std::equal(values.begin(), values.end(), FRangeValues.begin(),
                                        FRangeValues.end(), VarSameValue))
        return;
    if (ranged) CheckDetailOrder(*FIndex);
    CheckBrowseMode();
    FRanged = ranged;
    FRangeValues = std::move(values);
    InvalidateView();
    First();
}

void TClientDataSet::CheckDetailOrder(const cds::TIndex& index) const {
    if (!FMasterLink->Active()) return;
    std::size_t count = MasterFieldNames(FMasterFields).size();
    if (count > 0 && index.Keys.size() < count) DatabaseErrorFmt(CDSConsts::SDetailOrder, {FMasterFields}, this);
}

TField* TClientDataSet::FieldOfSlot(Integer slot) {
    for (TField* field : FieldList())
        if (SlotOfField(field) == slot) return field;
    return nullptr;
}

void TClientDataSet::BuildRangeProbe() {
    CheckDetailOrder(*FIndex);
    // The values go in through the detail fields, so they are converted as a typed value
    // would be; a value the field cannot hold leaves the range empty.
    InternalInitRecord(FScratch);
    TRecordBuffer savedFilterBuffer = FFilterBuffer;
    TDataSetState saved = SetTempState(dsFilter);
    FFilterBuffer = FScratch;
    bool valid = true;
    try {
        for (std::size_t i = 0; i < FRangeValues.size(); ++i) {
            TField* field = FieldOfSlot(FIndex->Keys[i].Slot);
            if (field == nullptr) DatabaseErrorFmt(CDSConsts::SDetailOrder, {FMasterFields}, this);
            field->SetAsVariant(FRangeValues[i]);
        }
    } catch (const EDatabaseError&) {
        FFilterBuffer = savedFilterBuffer;
        RestoreState(saved);
        throw;
    } catch (const Exception&) {
        valid = false;
    }
    FFilterBuffer = savedFilterBuffer;
    RestoreState(saved);
    if (!valid) {
        FRangeProbe.clear();
        return;
    }
    const Byte* image = ImageOf(FScratch);
    FRangeProbe.assign(image, image + FStore->RecordSize());
}

std::pair<std::size_t, std::size_t> TClientDataSet::RangeOf(const std::vector<std::uint32_t>& list) const {
    if (!FRanged) return {0, list.size()};
    if (FRangeProbe.empty()) return {0, 0};
    const auto keys = static_cast<Integer>(FRangeValues.size());
    std::size_t first = FStore->LowerBound(*FIndex, list, FRangeProbe.data(), true, keys);
    auto last = std::partition_point(
        list.begin() + static_cast<std::ptrdiff_t>(first), list.end(), [&](std::uint32_t id) {
            return FStore->Compare(*FIndex, FStore->Image(id), FRangeProbe.data(), true, keys) == 0;
        });
    return {first, static_cast<std::size_t>(last - list.begin())};
}

bool TClientDataSet::InRange(std::uint32_t id) const {
    if (!FRanged) return true;
    if (FRangeProbe.empty()) return false;
    return FStore->Compare(*FIndex, FStore->Image(id), FRangeProbe.data(), true,
                           static_cast<Integer>(FRangeValues.size())) == 0;
}

// ======================================================================================
// [SECTION] New records
// ======================================================================================

void TClientDataSet::DoOnNewRecord() {
    if (FRanged && FIndex->Keys.size() >= FRangeValues.size()) {
        for (std::size_t i = 0; i < FRangeValues.size(); ++i)
            if (TField* field = FieldOfSlot(FIndex->Keys[i].Slot)) field->SetAsVariant(FRangeValues[i]);
    }
    TDataSet::DoOnNewRecord();
}

} // namespace mv
