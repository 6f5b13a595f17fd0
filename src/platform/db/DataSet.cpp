// TDataSet: opening and closing, states, fields, data events and value conversion.
// Navigation and the buffer window are in DataSetNavigation.cpp; editing, calculated
// fields, locate and filters in DataSetEditing.cpp.
//
// [SECTION] Construction and opening     SetActive, OpenCursor, CloseCursor, Loaded
// [SECTION] States and checks            SetState, SetTempState, Check*
// [SECTION] Data events                  DataEvent, DisableControls, EnableControls
// [SECTION] Fields                       CreateFields, BindFields, FieldByName, FieldValues
// [SECTION] Field data                   GetFieldData, SetFieldData, DataConvert
#include "platform/db/DataSet.h"

#include "platform/db/DBConsts.h"
#include "platform/db/DataSource.h"
#include "platform/db/FieldLists.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/StrUtils.h"

#include <cassert>
#include <cmath>
#include <cstring>

namespace mv {

namespace {

// Field types a field may take over from a definition of another type.
bool IsCompatibleType(TFieldType fieldType, TFieldType defType) {
    if (fieldType == defType) return true;
    auto pairIs = [&](TFieldType a, TFieldType b) {
        return (fieldType == a && defType == b) || (fieldType == b && defType == a);
    };
    return pairIs(ftString, ftFixedChar) || pairIs(ftWideString, ftFixedWideChar) ||
           pairIs(ftAutoInc, ftInteger) || pairIs(ftMemo, ftFmtMemo) || pairIs(ftBlob, ftTypedBinary);
}

constexpr double MSecsPerDayValue = 86400000.0;

} // namespace

// ======================================================================================
// [SECTION] Construction and opening
// ======================================================================================

TDataSet::TDataSet(TComponent* owner)
    : TComponent(owner), FFieldDefs(std::make_unique<TFieldDefs>(this)),
      FFields(std::make_unique<TFields>(this)) {}

TDataSet::~TDataSet() {
    // The derived part is gone: nothing here may reach the record-buffer protocol.
    assert(!Active() && "a derived data set closes itself in its own destructor");
    Destroying();
    if (FDataSetField != nullptr) {
        FDataSetField->FNestedDataSet = nullptr;
        FDataSetField->RemoveFreeNotification(this);
        FDataSetField = nullptr;
    }
    while (!FDataSources.empty()) {
        TDataSource* source = FDataSources.back();
        FDataSources.pop_back();
        source->FDataSet = nullptr;
        source->DataEvent(deUpdateState, 0);
    }
    // The data set frees its fields, persistent ones too, as the framework does.
    FFields->Clear();
}

void TDataSet::SetActive(bool value) {
    if (ComponentState().Contains(csLoading)) {
        FStreamedActive = value;
        return;
    }
    if (Active() == value) return;
    if (value) {
        DoBeforeOpen();
        try {
            OpenCursor(false);
        } catch (...) {
            OpenCursorComplete();
            throw;
        }
        OpenCursorComplete();
    } else {
        bool destroying = ComponentState().Contains(csDestroying);
        if (!destroying) DoBeforeClose();
        SetState(dsInactive);
        CloseCursor();
        if (!destroying) DoAfterClose();
    }
}

void TDataSet::OpenCursor(bool infoQuery) {
    if (infoQuery) {
        InternalInitFieldDefs();
        return;
    }
    FDefaultFields = FieldCount() == 0;
    InternalOpen();
    FInternalOpenComplete = true;
    UpdateBufferCount();
    FBOF = true;
}

void TDataSet::OpenCursorComplete() {
    if (!FInternalOpenComplete) {
        SetState(dsInactive);
        CloseCursor();
        return;
    }
    SetState(dsBrowse);
    DoAfterOpen();
    if (!IsEmpty()) DoAfterScroll();
}

void TDataSet::CloseCursor() {
    // Before the fields go: a nested set reads through its field.
    CloseNestedDataSets();
    FBlockReadSize = 0;
    FInternalOpenComplete = false;
    ClearBuffers();
    SetBufListSize(0);
    if (IsCursorOpen()) InternalClose();
    FBufferCount = 0;
    FDefaultFields = false;
}

void TDataSet::Loaded() {
    TComponent::Loaded();
    if (FStreamedActive) SetActive(true);
}

void TDataSet::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == FDataSetField) FDataSetField = nullptr;
}

void TDataSet::SetDataSetField(TDataSetField* value) {
    if (value == FDataSetField) return;
    if (value != nullptr && value->DataSet() == this) DatabaseError(DBConsts::SCircularDataLink, this);
    CheckInactive();
    if (FDataSetField != nullptr) {
        FDataSetField->FNestedDataSet = nullptr;
        FDataSetField->RemoveFreeNotification(this);
    }
    FDataSetField = value;
    if (value != nullptr) {
        value->FNestedDataSet = this;
        value->FreeNotification(this);
    }
}

// ======================================================================================
// [SECTION] States and checks
// ======================================================================================

void TDataSet::SetState(TDataSetState value) {
    if (FState == value) return;
    FState = value;
    FModified = false;
    DataEvent(deUpdateState, 0);
}

TDataSetState TDataSet::SetTempState(TDataSetState value) {
    TDataSetState previous = FState;
    FState = value;
    ++FDisableCount;
    return previous;
}

void TDataSet::RestoreState(TDataSetState value) {
    FState = value;
    --FDisableCount;
}

TDataSet::TTempState::TTempState(TDataSet& dataSet, TDataSetState state, TRecordBuffer buffer)
    : FDataSet(dataSet), FSaved(dataSet.SetTempState(state)),
      FSlot(state == dsFilter ? &dataSet.FFilterBuffer : &dataSet.FCalcBuffer), FSavedBuffer(*FSlot) {
    if (buffer != nullptr) *FSlot = buffer;
}

TDataSet::TTempState::~TTempState() {
    *FSlot = FSavedBuffer;
    FDataSet.RestoreState(FSaved);
}

void TDataSet::CheckActive() const {
    if (FState == dsInactive) DatabaseError(DBConsts::SDataSetClosed, this);
}

void TDataSet::CheckInactive() const {
    if (FState != dsInactive) DatabaseError(DBConsts::SDataSetOpen, this);
}

void TDataSet::CheckBiDirectional() const {
    if (FIsUniDirectional) DatabaseError(DBConsts::SDataSetUnidirectional, this);
}

void TDataSet::CheckCanModify() const {
    if (!CanModify()) DatabaseError(DBConsts::SDataSetReadOnly, this);
}

void TDataSet::SetBlockReadSize(Integer value) {
    if (value > 0) {
        CheckActive();
        SetState(dsBlockRead);
    } else if (FState == dsBlockRead) {
        SetState(dsBrowse);
    }
    FBlockReadSize = value > 0 ? value : 0;
}

void TDataSet::InternalHandleException() {
    // No application-wide handler in this layer: the exception goes on to the caller.
    throw;
}

// ======================================================================================
// [SECTION] Data events
// ======================================================================================

void TDataSet::DataEvent(TDataEvent event, NativeInt info) {
    switch (event) {
    case deFieldChange: {
        TField* field = DataEventField(info);
        if (field->FieldKind() == fkData || field->FieldKind() == fkInternalCalc) FModified = true;
        UpdateCalcFields();
        break;
    }
    case deFieldListChange:
        FFieldListUpdated = false;
        break;
    case dePropertyChange:
        FFieldDefs->SetUpdated(false);
        break;
    default:
        break;
    }
    // A source may leave the list while handling the event.
    std::vector<TDataSource*> sources = FDataSources;
    if (!ControlsDisabled() && FState != dsBlockRead) {
        for (TDataSource* source : sources)
            source->DataEvent(event, info, true);
    } else {
        if ((event == deUpdateState && FState == dsInactive) || event == deLayoutChange)
            FEnableEvent = deLayoutChange;
        // Links that are not controls keep following the data set.
        if (event != deUpdateState)
            for (TDataSource* source : sources)
                source->DataEvent(event, info, false);
    }
    if (event == deFieldChange) DataEventField(info)->Change();
    if (FHasDataSetFields) NotifyNestedDataSets(event);
}

void TDataSet::NotifyNestedDataSets(TDataEvent event) {
    bool scrolled = event == deDataSetScroll || event == deDataSetChange ||
                    (event == deUpdateState && FState != dsInactive);
    if (event != deCheckBrowseMode && !scrolled) return;
    for (TDataSet* dataSet : OpenNestedDataSets())
        dataSet->MasterChanged(event == deCheckBrowseMode);
}

std::vector<TDataSet*> TDataSet::OpenNestedDataSets() {
    // Collected first: a nested set's handler may change this one's field list.
    std::vector<TDataSet*> nested;
    for (TField* field : FieldList())
        if (auto* dataSetField = dynamic_cast<TDataSetField*>(field))
            if (dataSetField->FNestedDataSet != nullptr && dataSetField->FNestedDataSet->Active())
                nested.push_back(dataSetField->FNestedDataSet);
    return nested;
}

void TDataSet::MasterChanged(bool checkBrowseMode) {
    if (checkBrowseMode)
        CheckBrowseMode();
    else
        DataEvent(deParentScroll, 0);
}

void TDataSet::CloseNestedDataSets() {
    if (!FHasDataSetFields) return;
    for (TDataSet* dataSet : OpenNestedDataSets())
        dataSet->Close();
}

TDataSet* TDataSet::CreateNestedDataSet(TDataSetField*) {
    return nullptr;
}

void TDataSet::DisableControls() {
    if (FDisableCount == 0) {
        DataEvent(deDisabledStateChange, 1);
        FDisableState = FState;
        FEnableEvent = deDataSetChange;
    }
    ++FDisableCount;
}

void TDataSet::EnableControls() {
    if (FDisableCount == 0) return;
    if (--FDisableCount != 0) return;
    DataEvent(deDisabledStateChange, 0);
    if (FDisableState != FState) DataEvent(deUpdateState, 0);
    if (FDisableState != dsInactive && FState != dsInactive) DataEvent(FEnableEvent, 0);
}

void TDataSet::AddDataSource(TDataSource* dataSource) {
    FDataSources.push_back(dataSource);
    dataSource->FDataSet = this;
    UpdateBufferCount();
    dataSource->DataEvent(deUpdateState, 0);
}

void TDataSet::RemoveDataSource(TDataSource* dataSource) {
    dataSource->FDataSet = nullptr;
    std::erase(FDataSources, dataSource);
    dataSource->DataEvent(deUpdateState, 0);
    UpdateBufferCount();
}

// ======================================================================================
// [SECTION] Fields
// ======================================================================================

void TDataSet::CreateFields() {
    if (FObjectView) {
        for (Integer i = 0; i < FFieldDefs->Count(); ++i) {
            TFieldDef* def = FFieldDefs->Items(i);
            if (def->DataType() == ftUnknown) continue;
            if (def->Attributes().Contains(faHiddenCol) && !FFieldDefs->HiddenFields()) continue;
            def->CreateField(this);
        }
        return;
    }
    const TFieldDefList& defs = FieldDefList();
    for (Integer i = 0; i < defs.Count(); ++i) {
        TFieldDef* def = defs.FieldDefs(i);
        if (def->DataType() == ftUnknown || ChildFieldTypes.Contains(def->DataType())) continue;
        if (def->Attributes().Contains(faHiddenCol) && !FFieldDefs->HiddenFields()) continue;
        def->CreateField(this, nullptr, defs.Strings(i));
    }
}

void TDataSet::BindFields(bool binding) {
    FCalcFieldsSize = 0;
    FInternalCalcFields = false;
    FHasDataSetFields = false;
    const TFieldDefList& defs = FieldDefList();
    const TFieldList& fields = FieldList();
    for (TField* field : fields) {
        if (binding) {
            if (field->FieldKind() == fkCalculated || field->FieldKind() == fkLookup) {
                field->SetFieldNo(-1);
                field->SetOffset(FCalcFieldsSize);
                FCalcFieldsSize += field->DataSize() + 1;
            } else if (field->FieldKind() == fkData || field->FieldKind() == fkInternalCalc) {
                if (field->FieldKind() == fkInternalCalc) FInternalCalcFields = true;
                TFieldDef* def = defs.Find(field->FullName());
                if (def == nullptr) {
                    if (field->FieldKind() == fkInternalCalc) continue;
                    DatabaseErrorFmt(DBConsts::SFieldNotFound, {field->FullName()}, this);
                }
                if (!IsCompatibleType(field->DataType(), def->DataType()))
                    DatabaseErrorFmt(DBConsts::SFieldTypeMismatch,
                                     {field->DisplayName(), FieldTypeName(field->DataType()),
                                      FieldTypeName(def->DataType())},
                                     this);
                field->SetFieldNo(def->FieldNo());
                if (def->DataType() == ftDataSet) FHasDataSetFields = true;
            }
        }
        field->Bind(binding);
    }
}

void TDataSet::DestroyFields() {
    FFields->Clear();
}

void TDataSet::InitFieldDefs() {
    if (IsCursorOpen())
        InternalInitFieldDefs();
    else
        OpenCursor(true);
}

void TDataSet::AddDefsFromFields(TFieldDefs& defs, const TFields& fields) {
    for (TField* field : fields) {
        if (field->FieldKind() != fkData && field->FieldKind() != fkInternalCalc) continue;
        TFieldDef* def = defs.AddFieldDef();
        def->SetName(field->FieldName());
        def->SetDataType(field->DataType());
        if (field->Size() != 0 || field->DataType() == ftBCD) def->SetSize(field->Size());
        def->SetRequired(field->Required());
        if (field->ReadOnly()) def->SetAttributes(def->Attributes() + faReadonly);
        if (field->FieldKind() == fkInternalCalc) def->SetInternalCalcField(true);
        if (auto* bcd = dynamic_cast<TBCDField*>(field)) def->SetPrecision(bcd->Precision());
        if (auto* fmt = dynamic_cast<TFMTBCDField*>(field)) def->SetPrecision(fmt->Precision());
        if (auto* nestedField = dynamic_cast<TDataSetField*>(field)) {
            // A nested data set's definitions are its own: from its persistent fields, or
            // the definitions it was given.
            if (TDataSet* nested = nestedField->FNestedDataSet) {
                if (nested->FieldCount() > 0)
                    AddDefsFromFields(*def->ChildDefs(), *nested->Fields());
                else
                    def->ChildDefs()->Assign(nested->FieldDefs());
            }
        } else if (auto* object = dynamic_cast<TObjectField*>(field)) {
            AddDefsFromFields(*def->ChildDefs(), *object->Fields());
        }
    }
}

void TDataSet::InitFieldDefsFromFields() {
    if (FFieldDefs->Count() != 0 || FieldCount() == 0) return;
    FFieldDefs->BeginUpdate();
    try {
        AddDefsFromFields(*FFieldDefs, *FFields);
    } catch (...) {
        FFieldDefs->EndUpdate();
        throw;
    }
    FFieldDefs->EndUpdate();
}

const TFieldDefList& TDataSet::FieldDefList() {
    if (!FFieldDefListUpdated) {
        FFieldDefList.Rebuild(*FFieldDefs);
        FFieldDefListUpdated = true;
    }
    return FFieldDefList;
}

const TFieldList& TDataSet::FieldList() {
    if (!FFieldListUpdated) {
        FFieldList.Rebuild(*FFields);
        FFieldListUpdated = true;
    }
    return FFieldList;
}

TField* TDataSet::FindField(StringView fieldName) {
    TField* field = FFields->FindField(fieldName);
    if (field == nullptr) field = FieldList().Find(fieldName);
    return field;
}

TField* TDataSet::FieldByName(StringView fieldName) {
    TField* field = FindField(fieldName);
    if (field == nullptr) DatabaseErrorFmt(DBConsts::SFieldNotFound, {fieldName}, this);
    return field;
}

void TDataSet::GetFieldList(std::vector<TField*>& list, StringView fieldNames) {
    Integer pos = 1;
    while (pos <= static_cast<Integer>(fieldNames.size()))
        list.push_back(FieldByName(ExtractFieldName(fieldNames, pos)));
}

void TDataSet::GetFieldNames(std::vector<String>& list) {
    for (TField* field : *FFields)
        list.push_back(field->FieldName());
}

Variant TDataSet::FieldValues(StringView fieldNames) {
    if (fieldNames.find(u';') == StringView::npos) return FieldByName(fieldNames)->Value();
    std::vector<TField*> fields;
    GetFieldList(fields, fieldNames);
    Variant result = VarArrayCreate(0, static_cast<Integer>(fields.size()) - 1);
    for (std::size_t i = 0; i < fields.size(); ++i)
        result[static_cast<Integer>(i)] = fields[i]->Value();
    return result;
}

void TDataSet::SetFieldValues(StringView fieldNames, const Variant& value) {
    if (fieldNames.find(u';') == StringView::npos) {
        FieldByName(fieldNames)->SetValue(value);
        return;
    }
    std::vector<TField*> fields;
    GetFieldList(fields, fieldNames);
    for (std::size_t i = 0; i < fields.size(); ++i)
        fields[i]->SetValue(value[static_cast<Integer>(i)]);
}

void TDataSet::SetObjectView(bool value) {
    CheckInactive();
    FObjectView = value;
}

std::unique_ptr<TStream> TDataSet::CreateBlobStream(TField*, TBlobStreamMode) {
    return nullptr;
}

// ======================================================================================
// [SECTION] Field data
// ======================================================================================

bool TDataSet::GetFieldData(TField*, void*) {
    return false;
}

void TDataSet::SetFieldData(TField*, const void*) {}

bool TDataSet::GetFieldData(TField* field, void* buffer, bool nativeFormat) {
    if (nativeFormat || buffer == nullptr) return GetFieldData(field, buffer);
    // The converted types are small; larger ones use a heap buffer.
    alignas(16) Byte local[64];
    std::vector<Byte> large;
    void* temp = local;
    if (field->DataSize() > static_cast<Integer>(sizeof(local))) {
        large.resize(static_cast<std::size_t>(field->DataSize()));
        temp = large.data();
    }
    bool result = GetFieldData(field, temp);
    if (result) DataConvert(field, temp, buffer, false);
    return result;
}

void TDataSet::SetFieldData(TField* field, const void* buffer, bool nativeFormat) {
    if (nativeFormat || buffer == nullptr) {
        SetFieldData(field, buffer);
        return;
    }
    alignas(16) Byte local[64] = {};
    std::vector<Byte> large;
    void* temp = local;
    if (field->DataSize() > static_cast<Integer>(sizeof(local))) {
        large.resize(static_cast<std::size_t>(field->DataSize()));
        temp = large.data();
    }
    DataConvert(field, buffer, temp, true);
    SetFieldData(field, temp);
}

void TDataSet::DataConvert(TField* field, const void* source, void* dest, bool toNative) {
    switch (field->DataType()) {
    case ftDate:
        if (toNative) {
            TDateTime value;
            std::memcpy(&value, source, sizeof value);
            Integer days = DateTimeToTimeStamp(value).Date;
            std::memcpy(dest, &days, sizeof days);
        } else {
            Integer days;
            std::memcpy(&days, source, sizeof days);
            TDateTime value = TimeStampToDateTime(TTimeStamp{0, days});
            std::memcpy(dest, &value, sizeof value);
        }
        return;
    case ftTime:
        if (toNative) {
            TDateTime value;
            std::memcpy(&value, source, sizeof value);
            Integer msecs = DateTimeToTimeStamp(value).Time;
            std::memcpy(dest, &msecs, sizeof msecs);
        } else {
            Integer msecs;
            std::memcpy(&msecs, source, sizeof msecs);
            TDateTime value = msecs / MSecsPerDayValue;
            std::memcpy(dest, &value, sizeof value);
        }
        return;
    case ftDateTime:
        if (toNative) {
            TDateTime value;
            std::memcpy(&value, source, sizeof value);
            TTimeStamp stamp = DateTimeToTimeStamp(value);
            double msecs = static_cast<double>(stamp.Date) * MSecsPerDayValue + stamp.Time;
            std::memcpy(dest, &msecs, sizeof msecs);
        } else {
            double msecs;
            std::memcpy(&msecs, source, sizeof msecs);
            double days = std::floor(msecs / MSecsPerDayValue);
            TTimeStamp stamp{static_cast<Integer>(msecs - days * MSecsPerDayValue),
                             static_cast<Integer>(days)};
            TDateTime value = TimeStampToDateTime(stamp);
            std::memcpy(dest, &value, sizeof value);
        }
        return;
    case ftBCD:
        if (toNative) {
            Currency value;
            std::memcpy(&value, source, sizeof value);
            TBcd bcd;
            Integer precision = static_cast<TBCDField*>(field)->Precision();
            if (!CurrToBcd(value, bcd, precision > 0 ? precision : 32, field->Size()))
                DatabaseErrorFmt(DBConsts::SFieldOutOfRange, {field->DisplayName()});
            std::memcpy(dest, &bcd, sizeof bcd);
        } else {
            TBcd bcd;
            std::memcpy(&bcd, source, sizeof bcd);
            Currency value;
            if (!BcdToCurr(bcd, value)) DatabaseErrorFmt(DBConsts::SFieldOutOfRange, {field->DisplayName()});
            std::memcpy(dest, &value, sizeof value);
        }
        return;
    default:
        std::memcpy(dest, source, static_cast<std::size_t>(field->DataSize()));
        return;
    }
}

TRecordBuffer TDataSet::ActiveBuffer() const {
    auto index = static_cast<std::size_t>(FActiveRecord);
    return index < FBuffers.size() ? FBuffers[index] : nullptr;
}

TRecordBuffer TDataSet::GetActiveRecordBuffer() const {
    switch (FState) {
    case dsBrowse:
    case dsBlockRead:
        return IsEmpty() ? nullptr : ActiveBuffer();
    case dsEdit:
    case dsInsert:
    case dsNewValue:
        return ActiveBuffer();
    case dsCalcFields:
    case dsInternalCalc:
        return FCalcBuffer;
    case dsFilter:
        return FFilterBuffer;
    default:
        return nullptr;
    }
}

} // namespace mv
