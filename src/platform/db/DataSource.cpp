// TDataSource and TDataLink: passing a data set's events on to data-aware controls and
// keeping each link's window of records.
#include "platform/db/DataSource.h"

#include "platform/db/DBConsts.h"
#include "platform/db/DataSet.h"

#include <algorithm>

namespace mv {

// ======================================================================================
// [SECTION] TDataSource
// ======================================================================================

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
    Destroying();
    while (!FDataLinks.empty())
        RemoveDataLink(FDataLinks.back());
    SetDataSet(nullptr);
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
    if (dataSet == FDataSet) return;
    if (IsLinkedTo(dataSet)) DatabaseError(DBConsts::SCircularDataLink, this);
    if (FDataSet != nullptr) {
        FDataSet->RemoveFreeNotification(this);
        FDataSet->RemoveDataSource(this);
    }
    if (dataSet != nullptr) {
        dataSet->FreeNotification(this);
        dataSet->AddDataSource(this);
    }
}

bool TDataSource::IsLinkedTo(TDataSet* dataSet) const {
    while (dataSet != nullptr) {
        TDataSource* source = dataSet->GetDataSource();
        if (source == nullptr) return false;
        if (source == this) return true;
        dataSet = source->DataSet();
    }
    return false;
}

void TDataSource::SetEnabled(bool value) {
    FEnabled = value;
    UpdateState();
}

void TDataSource::UpdateState() {
    SetState(FEnabled && FDataSet != nullptr ? FDataSet->State() : dsInactive);
}

void TDataSource::SetState(TDataSetState value) {
    if (FState == value) return;
    TDataSetState prior = FState;
    FState = value;
    std::vector<TDataLink*> links = FDataLinks;
    for (TDataLink* link : links)
        link->DataEvent(deUpdateState, 0);
    if (ComponentState().Contains(csDestroying)) return;
    if (OnStateChange) OnStateChange(this);
    if (prior == dsInactive && OnDataChange) OnDataChange(this, nullptr);
}

void TDataSource::Edit() {
    if (FAutoEdit && FState == dsBrowse && FDataSet != nullptr) FDataSet->Edit();
}

void TDataSource::DataEvent(TDataEvent event, NativeInt info, bool allLinks) {
    if (event == deUpdateState) {
        UpdateState();
        return;
    }
    if (FState == dsInactive) return;
    // Visual controls first, then the other links, as the framework orders them.
    std::vector<TDataLink*> links = FDataLinks;
    if (allLinks)
        for (TDataLink* link : links)
            if (link->VisualControl()) link->DataEvent(event, info);
    for (TDataLink* link : links)
        if (!link->VisualControl()) link->DataEvent(event, info);
    if (!allLinks) return;
    switch (event) {
    case deFieldChange:
        if (OnDataChange) OnDataChange(this, DataEventField(info));
        break;
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
        if (OnDataChange) OnDataChange(this, nullptr);
        break;
    case deUpdateRecord:
        if (OnUpdateData) OnUpdateData(this);
        break;
    default:
        break;
    }
}

void TDataSource::AddDataLink(TDataLink* dataLink) {
    FDataLinks.push_back(dataLink);
    dataLink->FDataSource = this;
    if (FDataSet != nullptr) FDataSet->UpdateBufferCount();
    dataLink->UpdateState();
}

void TDataSource::RemoveDataLink(TDataLink* dataLink) {
    dataLink->FDataSource = nullptr;
    std::erase(FDataLinks, dataLink);
    dataLink->UpdateState();
    if (FDataSet != nullptr) FDataSet->UpdateBufferCount();
}

void TDataSource::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == FDataSet) SetDataSet(nullptr);
}

// ======================================================================================
// [SECTION] TDataLink
// ======================================================================================

TDataLink::TDataLink() = default;

TDataLink::~TDataLink() {
    if (FDataSource != nullptr) {
        // No notifications to a half-destroyed link.
        TDataSource* source = FDataSource;
        FDataSource = nullptr;
        std::erase(source->FDataLinks, this);
        if (source->FDataSet != nullptr) source->FDataSet->UpdateBufferCount();
    }
}

void TDataLink::SetDataSource(TDataSource* value) {
    if (value == FDataSource) return;
    if (FDataSourceFixed) DatabaseError(DBConsts::SDataSourceChange, FDataSource);
    if (FDataSource != nullptr) FDataSource->RemoveDataLink(this);
    if (value != nullptr) value->AddDataLink(this);
}

TDataSet* TDataLink::DataSet() const {
    return FDataSource != nullptr ? FDataSource->DataSet() : nullptr;
}

void TDataLink::SetReadOnly(bool value) {
    if (FReadOnly == value) return;
    FReadOnly = value;
    UpdateState();
}

void TDataLink::UpdateState() {
    SetActive(FDataSource != nullptr && FDataSource->State() != dsInactive);
    SetEditing(FDataSource != nullptr && dsEditModes.Contains(FDataSource->State()) && !FReadOnly);
}

void TDataLink::SetActive(bool value) {
    if (FActive == value) return;
    FActive = value;
    if (value)
        UpdateRange();
    else
        FFirstRecord = 0;
    ActiveChanged();
}

void TDataLink::SetEditing(bool value) {
    if (FEditing == value) return;
    FEditing = value;
    EditingChanged();
}

void TDataLink::UpdateRange() {
    TDataSet* dataSet = DataSet();
    Integer low = std::max(dataSet->FActiveRecord - FBufferCount + 1, 0);
    Integer high = std::min(std::max(dataSet->FBufferCount - FBufferCount, 0), dataSet->FActiveRecord);
    FFirstRecord = std::clamp(FFirstRecord, low, std::max(low, high));
    dataSet->UpdateBufferCount();
}

Integer TDataLink::ActiveRecord() const {
    return GetActiveRecord();
}

void TDataLink::SetActiveRecord(Integer value) {
    SetActiveRecordValue(value);
}

Integer TDataLink::GetActiveRecord() const {
    if (!FActive) return 0;
    if (FDataSource->State() == dsSetKey) return 0;
    return DataSet()->FActiveRecord - FFirstRecord;
}

void TDataLink::SetActiveRecordValue(Integer value) {
    if (!FActive || FDataSource->State() == dsSetKey) return;
    TDataSet* dataSet = DataSet();
    dataSet->FActiveRecord = std::clamp(value + FFirstRecord, 0, std::max(dataSet->FRecordCount - 1, 0));
}

Integer TDataLink::RecordCount() const {
    return GetRecordCount();
}

Integer TDataLink::GetRecordCount() const {
    if (!FActive) return 0;
    if (FDataSource->State() == dsSetKey) return 1;
    Integer count = DataSet()->FRecordCount - FFirstRecord;
    return std::clamp(count, 0, FBufferCount);
}

void TDataLink::SetBufferCount(Integer value) {
    SetBufferCountValue(value);
}

void TDataLink::SetBufferCountValue(Integer value) {
    if (value < 1) value = 1;
    if (FBufferCount == value) return;
    FBufferCount = value;
    if (FActive) UpdateRange();
}

bool TDataLink::Bof() const {
    return DataSet()->Bof();
}

bool TDataLink::Eof() const {
    return DataSet()->Eof();
}

Integer TDataLink::MoveBy(Integer distance) {
    return DataSet()->MoveBy(distance);
}

bool TDataLink::Edit() {
    if (!FReadOnly && FDataSource != nullptr) FDataSource->Edit();
    return FEditing;
}

void TDataLink::UpdateRecord() {
    FUpdating = true;
    try {
        UpdateData();
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
}

void TDataLink::DataEvent(TDataEvent event, NativeInt info) {
    if (event == deUpdateState) {
        UpdateState();
        return;
    }
    if (!FActive) return;
    switch (event) {
    case deFieldChange:
    case deRecordChange:
        if (!FUpdating) RecordChanged(DataEventField(info));
        break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange: {
        Integer count = 0;
        if (FDataSource->State() != dsSetKey) {
            TDataSet* dataSet = DataSet();
            Integer active = dataSet->FActiveRecord;
            Integer first = FFirstRecord + static_cast<Integer>(info);
            Integer last = first + FBufferCount - 1;
            if (active > last)
                count = active - last;
            else if (active < first)
                count = active - first;
            Integer shifted = first;
            first += count;
            // A window reaching past the filled buffers slides up to show whole pages.
            Integer lastFirst = std::max(dataSet->FRecordCount - FBufferCount, 0);
            if (first > lastFirst && active >= lastFirst) first = lastFirst;
            FFirstRecord = std::max(first, 0);
            count = FFirstRecord - shifted;
        }
        if (event == deDataSetChange)
            DataSetChanged();
        else if (event == deDataSetScroll)
            DataSetScrolled(count);
        else
            LayoutChanged();
        break;
    }
    case deUpdateRecord:
        UpdateRecord();
        break;
    case deCheckBrowseMode:
        CheckBrowseMode();
        break;
    case deFocusControl:
        FocusControl(reinterpret_cast<TFieldRef>(info));
        break;
    default:
        break;
    }
}

} // namespace mv
