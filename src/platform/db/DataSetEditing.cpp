// TDataSet: editing, calculated fields, locate, lookup and filtering.
//
// [SECTION] Editing             Edit, Insert, Append, Post, Cancel, Delete, CheckBrowseMode,
//                               InsertRecord, AppendRecord, SetFields, InternalPost
// [SECTION] Calculated fields   GetCalcFields, CalculateFields, UpdateCalcFields
// [SECTION] Locate and lookup   Locate, Lookup, LocateRecord, KeyValuesMatch
// [SECTION] Filters             SetFiltered, SetFilterText, FilterRecord
#include "platform/db/DataSet.h"

#include "platform/db/DBConsts.h"
#include "platform/rtl/StrUtils.h"

namespace mv {

// ======================================================================================
// [SECTION] Editing
// ======================================================================================

void TDataSet::CheckOperation(const std::function<void()>& operation, const TDataSetErrorEvent& errorEvent) {
    for (;;) {
        try {
            UpdateCursorPos();
            operation();
            return;
        } catch (EDatabaseError& error) {
            TDataAction action = daFail;
            if (errorEvent) errorEvent(this, error, action);
            if (action == daFail) throw;
            if (action == daAbort) Abort();
        }
    }
}

void TDataSet::Edit() {
    if (FState == dsEdit || FState == dsInsert) return;
    if (FRecordCount == 0) {
        Insert();
        return;
    }
    CheckBrowseMode();
    CheckCanModify();
    DoBeforeEdit();
    CheckOperation([this] { InternalEdit(); }, OnEditError);
    GetCalcFields(ActiveBuffer());
    SetState(dsEdit);
    DataEvent(deRecordChange, 0);
    DoAfterEdit();
}

void TDataSet::InitRecord(TRecordBuffer buffer) {
    InternalInitRecord(buffer);
    ClearCalcFields(buffer);
    SetBookmarkFlag(buffer, bfInserted);
}

void TDataSet::BeginInsertAppend() {
    CheckBrowseMode();
    CheckCanModify();
    DoBeforeInsert();
    DoBeforeScroll();
}

void TDataSet::EndInsertAppend() {
    SetState(dsInsert);
    try {
        DoOnNewRecord();
    } catch (...) {
        UpdateCursorPos();
        SetState(dsBrowse);
        Resync({});
        throw;
    }
    FModified = false;
    DataEvent(deDataSetChange, 0);
    DoAfterInsert();
    DoAfterScroll();
}

void TDataSet::Insert() {
    BeginInsertAppend();
    TBookmark current = GetBookmark();
    // The new record takes the active row; the records below move down one.
    MoveBuffer(FRecordCount, FActiveRecord);
    TRecordBuffer buffer = ActiveBuffer();
    InitRecord(buffer);
    if (FRecordCount == 0)
        SetBookmarkFlag(buffer, bfBOF);
    else
        SetBookmarkData(buffer, current);
    if (FRecordCount < FBufferCount) ++FRecordCount;
    InternalInsert();
    EndInsertAppend();
}

void TDataSet::Append() {
    BeginInsertAppend();
    ClearBuffers();
    TRecordBuffer buffer = FBuffers[0];
    InitRecord(buffer);
    SetBookmarkFlag(buffer, bfEOF);
    FRecordCount = 1;
    FBOF = false;
    GetPriorRecords();
    InternalInsert();
    EndInsertAppend();
}

void TDataSet::Post() {
    UpdateRecord();
    if (FState != dsEdit && FState != dsInsert) return;
    DataEvent(deCheckBrowseMode, 0);
    DoBeforePost();
    CheckOperation([this] { InternalPost(); }, OnPostError);
    SetState(dsBrowse);
    Resync({});
    DoAfterPost();
}

void TDataSet::Cancel() {
    if (FState != dsEdit && FState != dsInsert) return;
    DataEvent(deCheckBrowseMode, 0);
    DoBeforeCancel();
    bool scrolls = FState == dsInsert;
    if (scrolls) DoBeforeScroll();
    UpdateCursorPos();
    InternalCancel();
    SetState(dsBrowse);
    Resync({});
    DoAfterCancel();
    if (scrolls) DoAfterScroll();
}

void TDataSet::Delete() {
    CheckActive();
    if (FState == dsInsert || FState == dsSetKey) {
        Cancel();
        return;
    }
    if (FRecordCount == 0) DatabaseError(DBConsts::SDataSetEmpty, this);
    DataEvent(deCheckBrowseMode, 0);
    DoBeforeDelete();
    DoBeforeScroll();
    CheckOperation([this] { InternalDelete(); }, OnDeleteError);
    SetState(dsBrowse);
    Resync({});
    DoAfterDelete();
    DoAfterScroll();
}

void TDataSet::CheckBrowseMode() {
    CheckActive();
    DataEvent(deCheckBrowseMode, 0);
    switch (FState) {
    case dsEdit:
    case dsInsert:
        UpdateRecord();
        if (FModified)
            Post();
        else
            Cancel();
        break;
    case dsSetKey:
        Post();
        break;
    default:
        break;
    }
}

void TDataSet::UpdateRecord() {
    if (!dsEditModes.Contains(FState)) DatabaseError(DBConsts::SNotEditing, this);
    DataEvent(deUpdateRecord, 0);
}

void TDataSet::InternalPost() {
    CheckRequiredFields();
}

void TDataSet::CheckRequiredFields() {
    for (TField* field : FieldList()) {
        if (!field->Required() || field->ReadOnly() || field->FieldKind() != fkData) continue;
        if (ObjectFieldTypes.Contains(field->DataType()) || !field->IsNull()) continue;
        field->FocusControl();
        DatabaseErrorFmt(DBConsts::SFieldRequired, {field->DisplayName()});
    }
}

void TDataSet::DoOnNewRecord() {
    if (OnNewRecord) OnNewRecord(this);
}

void TDataSet::SetFields(const std::vector<Variant>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (VarIsEmpty(values[i])) continue;
        FFields->Fields(static_cast<Integer>(i))->SetAsVariant(values[i]);
    }
}

void TDataSet::ClearFields() {
    if (!dsEditModes.Contains(FState)) DatabaseError(DBConsts::SNotEditing, this);
    DataEvent(deCheckBrowseMode, 0);
    TRecordBuffer buffer = ActiveBuffer();
    InternalInitRecord(buffer);
    if (FState != dsSetKey) GetCalcFields(buffer);
    DataEvent(deRecordChange, 0);
}

namespace {

// Controls stay disabled while InsertRecord/AppendRecord build and post the record.
class TControlsDisabledScope {
public:
    explicit TControlsDisabledScope(TDataSet* dataSet) : FDataSet(dataSet) { FDataSet->DisableControls(); }
    ~TControlsDisabledScope() { FDataSet->EnableControls(); }
    TControlsDisabledScope(const TControlsDisabledScope&) = delete;
    TControlsDisabledScope& operator=(const TControlsDisabledScope&) = delete;

private:
    TDataSet* FDataSet;
};

} // namespace

void TDataSet::InsertRecord(const std::vector<Variant>& values) {
    BeginInsertAppend();
    UpdateCursorPos();
    TControlsDisabledScope controls(this);
    TBookmark current = GetBookmark();
    PostNewRecord(values, /*Append=*/false, current);
}

void TDataSet::AppendRecord(const std::vector<Variant>& values) {
    BeginInsertAppend();
    TControlsDisabledScope controls(this);
    PostNewRecord(values, /*Append=*/true, {});
}

void TDataSet::PostNewRecord(const std::vector<Variant>& values, bool append, const TBookmark& current) {
    MoveBuffer(FRecordCount, FActiveRecord);
    try {
        TRecordBuffer buffer = ActiveBuffer();
        InitRecord(buffer);
        // As in Insert: the buffer names the record it goes in front of, for data sets
        // that place the new record by its buffer rather than by their cursor.
        if (append)
            SetBookmarkFlag(buffer, bfEOF);
        else if (FRecordCount == 0)
            SetBookmarkFlag(buffer, bfBOF);
        else
            SetBookmarkData(buffer, current);
        FState = dsInsert;
        try {
            DoOnNewRecord();
            DoAfterInsert();
            SetFields(values);
            DoBeforePost();
            InternalAddRecord(buffer, append);
        } catch (...) {
            FState = dsBrowse;
            FModified = false;
            throw;
        }
        FState = dsBrowse;
        FModified = false;
    } catch (...) {
        MoveBuffer(FActiveRecord, FRecordCount);
        throw;
    }
    Resync({});
    DoAfterPost();
}

// ======================================================================================
// [SECTION] Calculated fields
// ======================================================================================

void TDataSet::ClearCalcFields(TRecordBuffer) {}

void TDataSet::GetCalcFields(TRecordBuffer buffer) {
    if (!HasCalcFields()) return;
    TDataSetState saved = FState;
    FState = dsCalcFields;
    try {
        CalculateFields(buffer);
    } catch (...) {
        FState = saved;
        throw;
    }
    FState = saved;
}

void TDataSet::CalculateFields(TRecordBuffer buffer) {
    FCalcBuffer = buffer;
    if (FState != dsInternalCalc) {
        ClearCalcFields(buffer);
        for (TField* field : FieldList())
            if (field->FieldKind() == fkLookup) field->CalcLookupValue();
    }
    DoOnCalcFields();
}

void TDataSet::DoOnCalcFields() {
    if (OnCalcFields) OnCalcFields(this);
}

void TDataSet::UpdateCalcFields() {
    if (!FAutoCalcFields || !HasCalcFields()) return;
    if (FState == dsEdit || FState == dsInsert) GetCalcFields(ActiveBuffer());
}

// ======================================================================================
// [SECTION] Locate and lookup
// ======================================================================================

namespace {

bool ValuesMatch(const Variant& value, const Variant& key, TLocateOptions options, bool isLast) {
    bool partial = isLast && options.Contains(loPartialKey);
    bool noCase = options.Contains(loCaseInsensitive);
    if ((partial || noCase) && VarIsStr(value) && VarIsStr(key)) {
        String text = value.AsString();
        String keyText = key.AsString();
        if (partial && text.size() > keyText.size()) text.resize(keyText.size());
        return noCase ? AnsiSameText(text, keyText) : text == keyText;
    }
    try {
        return VarSameValue(value, key);
    } catch (const EVariantError&) {
        return false; // a value that cannot be compared with the key is no match
    }
}

} // namespace

bool TDataSet::KeyValuesMatch(const std::vector<TField*>& fields, const Variant& keyValues,
                              TLocateOptions options) {
    if (fields.size() == 1) {
        const Variant& key =
            VarIsArray(keyValues) && VarArrayHighBound(keyValues) == VarArrayLowBound(keyValues)
                ? keyValues[0]
                : keyValues;
        if (VarIsArray(key)) return false;
        return ValuesMatch(fields[0]->Value(), key, options, true);
    }
    if (!VarIsArray(keyValues)) return false;
    Integer low = VarArrayLowBound(keyValues);
    if (VarArrayHighBound(keyValues) - low + 1 != static_cast<Integer>(fields.size())) return false;
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (!ValuesMatch(fields[i]->Value(), keyValues[low + static_cast<Integer>(i)], options,
                         i + 1 == fields.size()))
            return false;
    return true;
}

bool TDataSet::LocateRecord(StringView keyFields, const Variant& keyValues, TLocateOptions options) {
    CheckBrowseMode();
    UpdateCursorPos();
    CursorPosChanged();
    std::vector<TField*> fields;
    GetFieldList(fields, keyFields);
    TRecordBuffer buffer = TempBuffer();
    TTempState temp(*this, dsFilter, buffer);
    InternalFirst();
    while (GetRecord(buffer, gmNext, true) == grOK)
        if (KeyValuesMatch(fields, keyValues, options)) return true;
    return false;
}

bool TDataSet::Locate(StringView keyFields, const Variant& keyValues, TLocateOptions options) {
    DoBeforeScroll();
    bool found = LocateRecord(keyFields, keyValues, options);
    if (found) {
        Resync({rmExact, rmCenter});
        DoAfterScroll();
    }
    return found;
}

Variant TDataSet::Lookup(StringView keyFields, const Variant& keyValues, StringView resultFields) {
    if (!LocateRecord(keyFields, keyValues, {})) return Null();
    TTempState temp(*this, dsCalcFields);
    CalculateFields(TempBuffer());
    return FieldValues(resultFields);
}

// ======================================================================================
// [SECTION] Filters
// ======================================================================================

void TDataSet::SetFiltered(bool value) {
    FFiltered = value;
}

void TDataSet::SetFilterText(const String& value) {
    FFilterText = value;
}

void TDataSet::SetFilterOptions(TFilterOptions value) {
    FFilterOptions = value;
}

bool TDataSet::FilterRecord(TRecordBuffer buffer) {
    if (!FFiltered) return true;
    TRecordBuffer savedBuffer = FFilterBuffer;
    TDataSetState saved = SetTempState(dsFilter);
    FFilterBuffer = buffer;
    bool accept = true;
    try {
        if (!FFilterText.empty()) accept = FilterExpressionAccepts();
        if (accept && OnFilterRecord) OnFilterRecord(this, accept);
    } catch (...) {
        FFilterBuffer = savedBuffer;
        RestoreState(saved);
        InternalHandleException();
        return false;
    }
    FFilterBuffer = savedBuffer;
    RestoreState(saved);
    return accept;
}

} // namespace mv
