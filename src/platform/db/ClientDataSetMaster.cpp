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

void TMasterLink::Notify() {
    // The master has moved or changed already, and this may run from its destructor: a
    // range that cannot be set is reported, and the detail shows no records meanwhile.
    try {
        FDetail->MasterRecordChanged();
    } catch (...) {
        FDetail->MasterRangeFailed();
        if (ApplicationHandleException) ApplicationHandleException(FDetail);
    }
}

void TMasterLink::ActiveChanged() {
    Notify();
}

void TMasterLink::CheckBrowseMode() {
    // The master is about to move: the detail's pending edit belongs to the present range.
    // A post that fails stops the master's move.
    if (FDetail->Active()) FDetail->CheckBrowseMode();
}

void TMasterLink::DataSetChanged() {
    Notify();
}

void TMasterLink::DataSetScrolled(Integer) {
    Notify();
}

void TMasterLink::RecordChanged(TField*) {
    // Cheap when the master fields kept their values: the range is compared first.
    Notify();
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
    // Checked before the link is made: its notifications cannot raise.
    if (Active() && value != nullptr && value->DataSet() != nullptr && value->DataSet()->Active())
        CheckLink(value->DataSet(), FMasterFields, *FIndex);
    if (Active()) CheckBrowseMode();
    FMasterLink->SetDataSource(value);
    MasterRecordChanged();
}

void TClientDataSet::SetMasterFields(const String& value) {
    if (value == FMasterFields) return;
    if (Active() && FMasterLink->Active()) CheckLink(FMasterLink->DataSet(), value, *FIndex);
    if (Active()) CheckBrowseMode();
    FMasterFields = value;
    MasterRecordChanged();
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
    if (ranged == FRanged &&
        std::equal(values.begin(), values.end(), FRangeValues.begin(), FRangeValues.end(), VarSameValue))
        return;
    if (ranged) CheckDetailOrder(*FIndex);
    CheckBrowseMode();
    FRanged = ranged;
    FRangeValues = std::move(values);
    InvalidateView();
    First();
}

void TClientDataSet::CheckLink(TDataSet* master, const String& masterFields, const cds::TIndex& index) const {
    std::vector<String> names = MasterFieldNames(masterFields);
    for (const String& name : names)
        if (master->FindField(name) == nullptr) DatabaseErrorFmt(DBConsts::SFieldNotFound, {name}, master);
    if (index.Keys.size() < names.size()) DatabaseErrorFmt(CDSConsts::SDetailOrder, {masterFields}, this);
}

void TClientDataSet::CheckDetailOrder(const cds::TIndex& index) const {
    if (FMasterLink->Active()) CheckLink(FMasterLink->DataSet(), FMasterFields, index);
}

void TClientDataSet::MasterRangeFailed() {
    // An edit that could not be posted stays as it is, with its range.
    if (!Active() || dsEditModes.Contains(State())) return;
    FRanged = true;
    FRangeValues.clear();
    InvalidateView();
    try {
        First();
    } catch (...) {
        // Only a scroll handler can fail here; the range's own error is the one reported.
    }
}

TField* TClientDataSet::FieldOfSlot(Integer slot) {
    for (TField* field : FieldList())
        if (SlotOfField(field) == slot) return field;
    return nullptr;
}

void TClientDataSet::BuildRangeProbe() {
    FRangeProbe.clear();
    // No values (the range failed) or an order too short for them: an empty range.
    if (FRangeValues.empty() || FIndex->Keys.size() < FRangeValues.size()) return;
    // The values go in through the detail fields, so they are converted as a typed value
    // would be; a value the field cannot hold leaves the range empty.
    InternalInitRecord(FScratch);
    bool valid = true;
    {
        TTempState temp(*this, dsFilter, FScratch);
        try {
            for (std::size_t i = 0; i < FRangeValues.size() && valid; ++i) {
                TField* field = FieldOfSlot(FIndex->Keys[i].Slot);
                if (field == nullptr)
                    valid = false;
                else
                    field->SetAsVariant(FRangeValues[i]);
            }
        } catch (const Exception&) {
            valid = false;
        }
    }
    if (!valid) return;
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
        // Written past the fields' read-only flag: a link field is often read-only so
        // that users cannot move a record to another master.
        FWritingMasterValues = true;
        try {
            for (std::size_t i = 0; i < FRangeValues.size(); ++i)
                if (TField* field = FieldOfSlot(FIndex->Keys[i].Slot)) field->SetAsVariant(FRangeValues[i]);
        } catch (...) {
            FWritingMasterValues = false;
            throw;
        }
        FWritingMasterValues = false;
    }
    TDataSet::DoOnNewRecord();
}

} // namespace mv
