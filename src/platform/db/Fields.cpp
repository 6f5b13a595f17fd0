// TField (the base: identity, properties, value plumbing, lookup), the field lists and
// the object fields. The typed fields are in StringFields.cpp, NumericFields.cpp,
// DateFields.cpp and BlobFields.cpp.
//
// [SECTION] TField identity and properties
// [SECTION] TField values
// [SECTION] TField lookup
// [SECTION] TFields and TFieldList
// [SECTION] Object fields
// [SECTION] Field classes by type
#include "platform/db/Fields.h"

#include "platform/db/DBConsts.h"
#include "platform/db/DataSet.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StrUtils.h"

#include <algorithm>
#include <cstring>

namespace mv {

// ======================================================================================
// [SECTION] TField identity and properties
// ======================================================================================

TField::TField(TComponent* owner) : TComponent(owner) {}

TField::~TField() {
    if (FParentField != nullptr)
        FParentField->Fields()->Remove(this);
    else if (FDataSet != nullptr)
        FDataSet->Fields()->Remove(this);
}

void TField::CheckInactive() const {
    if (FDataSet != nullptr && FDataSet->Active()) DatabaseError(DBConsts::SDataSetOpen, FDataSet);
}

void TField::SetDataSet(TDataSet* dataSet) {
    if (dataSet == FDataSet && FParentField == nullptr) return;
    CheckInactive();
    if (dataSet != nullptr) {
        dataSet->CheckInactive();
        dataSet->Fields()->CheckFieldName(FFieldName);
    }
    if (FParentField != nullptr)
        FParentField->Fields()->Remove(this);
    else if (FDataSet != nullptr)
        FDataSet->Fields()->Remove(this);
    if (dataSet != nullptr) dataSet->Fields()->Add(this);
}

void TField::SetParentField(TObjectField* value) {
    if (value == FParentField) return;
    CheckInactive();
    if (value != nullptr) value->Fields()->CheckFieldName(FFieldName);
    if (FParentField != nullptr)
        FParentField->Fields()->Remove(this);
    else if (FDataSet != nullptr)
        FDataSet->Fields()->Remove(this);
    if (value != nullptr) value->Fields()->Add(this);
}

void TField::SetFieldName(const String& value) {
    CheckInactive();
    if (!AnsiSameText(value, FFieldName)) {
        if (FParentField != nullptr)
            FParentField->Fields()->CheckFieldName(value);
        else if (FDataSet != nullptr)
            FDataSet->Fields()->CheckFieldName(value);
    }
    FFieldName = value;
    if (FDataSet != nullptr) FDataSet->SetFieldListUpdated(false);
}

String TField::FullName() const {
    if (FParentField == nullptr || FParentField->DataType() == ftArray) return FFieldName;
    return FParentField->FullName() + u"." + FFieldName;
}

void TField::SetDisplayLabel(const String& value) {
    String label = value == FFieldName ? String() : value;
    if (label == FDisplayLabel) return;
    FDisplayLabel = label;
    PropertyChanged(true);
}

void TField::SetFieldKind(TFieldKind value) {
    if (value == FFieldKind) return;
    CheckInactive();
    FFieldKind = value;
}

Integer TField::Index() const {
    if (FParentField != nullptr) return FParentField->Fields()->IndexOf(this);
    return FDataSet != nullptr ? FDataSet->Fields()->IndexOf(this) : -1;
}

void TField::SetIndex(Integer value) {
    TFields* list = FParentField != nullptr ? FParentField->Fields()
                    : FDataSet != nullptr   ? FDataSet->Fields()
                                            : nullptr;
    if (list == nullptr) return;
    list->SetFieldIndex(this, value);
    PropertyChanged(true);
}

void TField::SetSize(Integer value) {
    CheckInactive();
    CheckTypeSize(value);
    FSize = value;
}

void TField::CheckTypeSize(Integer value) const {
    if (value != 0) DatabaseError(DBConsts::SInvalidFieldSize);
}

void TField::SetAlignment(TAlignment value) {
    if (value == FAlignment) return;
    FAlignment = value;
    PropertyChanged(false);
}

void TField::SetDisplayWidth(Integer value) {
    if (value == FDisplayWidth) return;
    FDisplayWidth = value;
    PropertyChanged(true);
}

void TField::SetVisible(bool value) {
    if (value == FVisible) return;
    FVisible = value;
    PropertyChanged(true);
}

void TField::SetReadOnly(bool value) {
    if (value == FReadOnly) return;
    FReadOnly = value;
    PropertyChanged(false);
}

void TField::SetEditMask(const String& value) {
    FEditMask = value;
    PropertyChanged(false);
}

void TField::PropertyChanged(bool layoutAffected) {
    if (FDataSet != nullptr && FDataSet->Active())
        FDataSet->DataEvent(layoutAffected ? deLayoutChange : deDataSetChange, 0);
}

bool TField::GetCanModify() const {
    if (FDataSet == nullptr || FFieldNo <= 0 || FFieldKind == fkLookup) return false;
    if (FDataSet->State() == dsSetKey) return true;
    return !FReadOnly && FDataSet->CanModify();
}

bool TField::IsValidChar(Char) const {
    return true;
}

String TField::GetClassDesc() const {
    // "(Blob)" for a null value, "(BLOB)" for a value, from the class name.
    String name = ClassName();
    if (!name.empty() && name[0] == u'T') name.erase(0, 1);
    if (name.size() > 5 && SameText(StringView(name).substr(name.size() - 5), u"Field"))
        name.resize(name.size() - 5);
    String result = u"(" + name + u")";
    return IsNull() ? result : AnsiUpperCase(result);
}

void TField::Bind(bool binding) {
    if (!binding || FFieldKind != fkLookup) return;
    if (FLookupDataSet == nullptr || FLookupKeyFields.empty() || FLookupResultField.empty() ||
        FKeyFields.empty())
        DatabaseErrorFmt(DBConsts::SLookupInfoError, {DisplayName()});
    std::vector<TField*> fields;
    FDataSet->GetFieldList(fields, FKeyFields);
    FLookupDataSet->Open();
    fields.clear();
    FLookupDataSet->GetFieldList(fields, FLookupKeyFields);
    FLookupDataSet->FieldByName(FLookupResultField);
}

void TField::Change() {
    if (OnChange) OnChange(this);
}

void TField::AccessError(StringView typeName) const {
    DatabaseErrorFmt(DBConsts::SFieldAccessError, {DisplayName(), typeName});
}

void TField::RangeError(double value, double min, double max) const {
    DatabaseErrorFmt(DBConsts::SFieldRangeError, {value, DisplayName(), min, max});
}

void TField::Assign(const TPersistent* source) {
    if (source == nullptr) {
        Clear();
        return;
    }
    if (auto* field = dynamic_cast<const TField*>(source)) {
        SetValue(field->Value());
        return;
    }
    TComponent::Assign(source);
}

void TField::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == FLookupDataSet) FLookupDataSet = nullptr;
}

void TField::FocusControl() {
    if (FDataSet == nullptr || !FDataSet->Active()) return;
    TField* field = this;
    FDataSet->DataEvent(deFocusControl, reinterpret_cast<NativeInt>(&field));
}

// ======================================================================================
// [SECTION] TField values
// ======================================================================================

bool TField::GetData(void* buffer, bool nativeFormat) const {
    if (FDataSet == nullptr) DatabaseErrorFmt(DBConsts::SDataSetMissing, {DisplayName()});
    if (FValidating) {
        bool hasValue = FValueBuffer != nullptr;
        if (hasValue && buffer != nullptr) {
            if (nativeFormat)
                std::memcpy(buffer, FValueBuffer, static_cast<std::size_t>(DataSize()));
            else
                FDataSet->DataConvert(const_cast<TField*>(this), FValueBuffer, buffer, false);
        }
        return hasValue;
    }
    return FDataSet->GetFieldData(const_cast<TField*>(this), buffer, nativeFormat);
}

void TField::SetData(const void* buffer, bool nativeFormat) {
    if (FDataSet == nullptr) DatabaseErrorFmt(DBConsts::SDataSetMissing, {DisplayName()});
    FDataSet->SetFieldData(this, buffer, nativeFormat);
}

void TField::Validate(const void* buffer) {
    if (!OnValidate) return;
    FValueBuffer = buffer;
    FValidating = true;
    try {
        OnValidate(this);
    } catch (...) {
        FValidating = false;
        throw;
    }
    FValidating = false;
}

void TField::Clear() {
    SetData(nullptr);
}

void TField::SetAsVariant(const Variant& value) {
    if (VarIsNull(value) || VarIsEmpty(value))
        Clear();
    else
        SetVarValue(value);
}

String TField::Text() const {
    String text;
    if (OnGetText)
        OnGetText(const_cast<TField*>(this), text, false);
    else
        GetText(text, false);
    return text;
}

String TField::DisplayText() const {
    String text;
    if (OnGetText)
        OnGetText(const_cast<TField*>(this), text, true);
    else
        GetText(text, true);
    return text;
}

void TField::SetEditText(const String& value) {
    if (OnSetText)
        OnSetText(this, value);
    else
        SetText(value);
}

void TField::GetText(String& text, bool) const {
    text = GetAsString();
}

void TField::SetText(const String& value) {
    SetAsString(value);
}

String TField::GetAsString() const {
    return GetClassDesc();
}
Integer TField::GetAsInteger() const {
    AccessError(u"Integer");
}
Int64 TField::GetAsLargeInt() const {
    AccessError(u"Largeint");
}
double TField::GetAsFloat() const {
    AccessError(u"Float");
}
Currency TField::GetAsCurrency() const {
    return Currency::FromDouble(GetAsFloat());
}
bool TField::GetAsBoolean() const {
    AccessError(u"Boolean");
}
TDateTime TField::GetAsDateTime() const {
    AccessError(u"DateTime");
}
TBcd TField::GetAsBCD() const {
    AccessError(u"BCD");
}
TSQLTimeStamp TField::GetAsSQLTimeStamp() const {
    AccessError(u"SQLTimeStamp");
}
Variant TField::GetAsVariant() const {
    AccessError(u"Variant");
}

std::vector<Byte> TField::GetAsBytes() const {
    if (DataSize() <= 0) AccessError(u"Bytes");
    std::vector<Byte> bytes(static_cast<std::size_t>(DataSize()));
    if (!GetData(bytes.data())) bytes.clear();
    return bytes;
}

void TField::SetAsString(const String&) {
    AccessError(u"String");
}
void TField::SetAsInteger(Integer) {
    AccessError(u"Integer");
}
void TField::SetAsLargeInt(Int64) {
    AccessError(u"Largeint");
}
void TField::SetAsFloat(double) {
    AccessError(u"Float");
}
void TField::SetAsCurrency(Currency value) {
    SetAsFloat(value.ToDouble());
}
void TField::SetAsBoolean(bool) {
    AccessError(u"Boolean");
}
void TField::SetAsDateTime(TDateTime) {
    AccessError(u"DateTime");
}
void TField::SetAsBCD(const TBcd&) {
    AccessError(u"BCD");
}
void TField::SetAsSQLTimeStamp(const TSQLTimeStamp&) {
    AccessError(u"SQLTimeStamp");
}
void TField::SetVarValue(const Variant&) {
    AccessError(u"Variant");
}

void TField::SetAsBytes(const std::vector<Byte>& value) {
    if (DataSize() <= 0 || value.size() != static_cast<std::size_t>(DataSize())) AccessError(u"Bytes");
    SetData(value.data());
}

// ======================================================================================
// [SECTION] TField lookup
// ======================================================================================

void TField::SetLookupDataSet(TDataSet* value) {
    if (value == FLookupDataSet) return;
    if (value != nullptr && value == FDataSet) DatabaseError(DBConsts::SCircularDataLink, this);
    CheckInactive();
    if (FLookupDataSet != nullptr) FLookupDataSet->RemoveFreeNotification(this);
    FLookupDataSet = value;
    if (value != nullptr) value->FreeNotification(this);
}

void TField::SetKeyFields(const String& value) {
    CheckInactive();
    FKeyFields = value;
}

void TField::SetLookupKeyFields(const String& value) {
    CheckInactive();
    FLookupKeyFields = value;
}

void TField::SetLookupResultField(const String& value) {
    CheckInactive();
    FLookupResultField = value;
}

void TField::CalcLookupValue() {
    if (FLookupDataSet == nullptr || !FLookupDataSet->Active()) return;
    Variant keys = FDataSet->FieldValues(FKeyFields);
    SetAsVariant(FLookupDataSet->Lookup(FLookupKeyFields, keys, FLookupResultField));
}

// ======================================================================================
// [SECTION] TFields and TFieldList
// ======================================================================================

void TFields::SetDataSetOfTree(TField* field, TDataSet* dataSet) {
    field->FDataSet = dataSet;
    if (auto* object = dynamic_cast<TObjectField*>(field))
        for (TField* child : *object->Fields())
            SetDataSetOfTree(child, dataSet);
}

TFields::TFields(TDataSet* dataSet, TObjectField* parentField)
    : FDataSet(dataSet), FParentField(parentField) {}

TFields::~TFields() {
    Clear();
}

TDataSet* TFields::DataSet() const {
    return FParentField != nullptr ? FParentField->DataSet() : FDataSet;
}

TField* TFields::Fields(Integer index) const {
    if (index < 0 || index >= Count()) DatabaseError(DBConsts::SFieldIndexError, DataSet());
    return FList[static_cast<std::size_t>(index)];
}

TField* TFields::FindField(StringView fieldName) const {
    for (TField* field : FList)
        if (AnsiSameText(field->FieldName(), fieldName)) return field;
    return nullptr;
}

TField* TFields::FieldByName(StringView fieldName) const {
    TField* field = FindField(fieldName);
    if (field == nullptr) DatabaseErrorFmt(DBConsts::SFieldNotFound, {fieldName}, DataSet());
    return field;
}

TField* TFields::FieldByNumber(Integer fieldNo) const {
    for (TField* field : FList)
        if (field->FieldNo() == fieldNo) return field;
    return nullptr;
}

Integer TFields::IndexOf(const TField* field) const {
    auto it = std::find(FList.begin(), FList.end(), field);
    return it == FList.end() ? -1 : static_cast<Integer>(it - FList.begin());
}

void TFields::CheckFieldName(StringView fieldName) const {
    if (fieldName.empty()) DatabaseError(DBConsts::SFieldNameMissing, DataSet());
    if (FindField(fieldName) != nullptr)
        DatabaseErrorFmt(DBConsts::SDuplicateFieldName, {fieldName}, DataSet());
}

void TFields::Add(TField* field) {
    FList.push_back(field);
    field->FParentField = FParentField;
    SetDataSetOfTree(field, DataSet());
    Changed();
}

void TFields::Remove(TField* field) {
    auto it = std::find(FList.begin(), FList.end(), field);
    if (it == FList.end()) return;
    FList.erase(it);
    field->FParentField = nullptr;
    SetDataSetOfTree(field, nullptr);
    Changed();
}

void TFields::Clear() {
    if (FList.empty()) return;
    while (!FList.empty()) {
        TField* field = FList.back();
        FList.pop_back();
        field->FParentField = nullptr;
        field->FDataSet = nullptr;
        delete field;
    }
    Changed();
}

void TFields::SetFieldIndex(TField* field, Integer value) {
    Integer current = IndexOf(field);
    if (current < 0) return;
    value = std::clamp(value, 0, Count() - 1);
    if (value == current) return;
    FList.erase(FList.begin() + current);
    FList.insert(FList.begin() + value, field);
    Changed();
}

void TFields::Changed() {
    TDataSet* dataSet = DataSet();
    if (dataSet == nullptr) return;
    dataSet->SetFieldListUpdated(false);
    if (!dataSet->ComponentState().Contains(csDestroying)) dataSet->DataEvent(deFieldListChange, 0);
}

TField* TFieldList::Find(StringView fullName) const {
    for (TField* field : FList)
        if (AnsiSameText(field->FullName(), fullName)) return field;
    return nullptr;
}

Integer TFieldList::IndexOf(const TField* field) const {
    auto it = std::find(FList.begin(), FList.end(), field);
    return it == FList.end() ? -1 : static_cast<Integer>(it - FList.begin());
}

void TFieldList::Rebuild(const TFields& fields) {
    FList.clear();
    AddFields(fields);
}

void TFieldList::AddFields(const TFields& fields) {
    for (TField* field : fields) {
        FList.push_back(field);
        if (auto* object = dynamic_cast<TObjectField*>(field)) AddFields(*object->Fields());
    }
}

// ======================================================================================
// [SECTION] Object fields
// ======================================================================================

TObjectField::TObjectField(TComponent* owner)
    : TField(owner), FFields(std::make_unique<TFields>(nullptr, this)) {
    SetDataType(ftADT);
}

TObjectField::~TObjectField() {
    FFields->Clear();
}

Variant TObjectField::GetAsVariant() const {
    if (IsNull()) return Null();
    Variant result = VarArrayCreate(0, FieldCount() - 1);
    for (Integer i = 0; i < FieldCount(); ++i)
        result[i] = FFields->Fields(i)->Value();
    return result;
}

void TObjectField::SetVarValue(const Variant& value) {
    if (!VarIsArray(value)) AccessError(u"Variant");
    Integer low = VarArrayLowBound(value);
    Integer count = std::min(FieldCount(), VarArrayHighBound(value) - low + 1);
    for (Integer i = 0; i < count; ++i)
        FFields->Fields(i)->SetValue(value[low + i]);
}

String TObjectField::GetAsString() const {
    if (IsNull()) return String();
    String result = u"(";
    for (Integer i = 0; i < FieldCount(); ++i) {
        if (i > 0) result += u", ";
        result += FFields->Fields(i)->DisplayText();
    }
    return result + u")";
}

bool TObjectField::GetIsNull() const {
    for (TField* field : *FFields)
        if (!field->IsNull()) return false;
    return true;
}

Integer TObjectField::GetDefaultWidth() const {
    Integer width = 0;
    for (TField* field : *FFields)
        width += field->DisplayWidth() + 2;
    return std::max(width, 10);
}

void TObjectField::CheckTypeSize(Integer value) const {
    if (value < 0) DatabaseError(DBConsts::SInvalidFieldSize);
}

TADTField::TADTField(TComponent* owner) : TObjectField(owner) {
    SetDataType(ftADT);
}

TArrayField::TArrayField(TComponent* owner) : TObjectField(owner) {
    SetDataType(ftArray);
    SetSize(10);
}

TDataSetField::TDataSetField(TComponent* owner) : TObjectField(owner) {
    SetDataType(ftDataSet);
}

TDataSetField::~TDataSetField() {
    // The owned set closes while it can still reach this field.
    FOwnedDataSet.reset();
    if (FNestedDataSet != nullptr) FNestedDataSet->FDataSetField = nullptr;
}

TDataSet* TDataSetField::NestedDataSet() const {
    if (FNestedDataSet == nullptr && DataSet() != nullptr && DataType() == ftDataSet &&
        !DataSet()->ComponentState().Contains(csLoading)) {
        auto* self = const_cast<TDataSetField*>(this);
        std::unique_ptr<TDataSet> created(DataSet()->CreateNestedDataSet(self));
        if (created) {
            created->SetDataSetField(self);
            FOwnedDataSet = std::move(created);
        }
    }
    return FNestedDataSet;
}

Variant TDataSetField::GetAsVariant() const {
    return Null();
}

void TDataSetField::SetVarValue(const Variant&) {
    AccessError(u"Variant");
}

void TDataSetField::GetText(String& text, bool) const {
    text = GetClassDesc();
}

bool TDataSetField::GetIsNull() const {
    return DataSet() == nullptr || !DataSet()->GetFieldData(const_cast<TDataSetField*>(this), nullptr);
}

// ======================================================================================
// [SECTION] Field classes by type
// ======================================================================================

TField* CreateFieldOfType(TFieldType type, TComponent* owner) {
    switch (type) {
    case ftString:
        return new TStringField(owner);
    case ftFixedChar: {
        auto* field = new TStringField(owner);
        field->SetFixedChar(true);
        return field;
    }
    case ftWideString:
        return new TWideStringField(owner);
    case ftFixedWideChar: {
        auto* field = new TWideStringField(owner);
        field->SetFixedChar(true);
        return field;
    }
    case ftGuid:
        return new TGuidField(owner);
    case ftSmallint:
        return new TSmallintField(owner);
    case ftInteger:
        return new TIntegerField(owner);
    case ftWord:
        return new TWordField(owner);
    case ftShortint:
        return new TShortintField(owner);
    case ftByte:
        return new TByteField(owner);
    case ftAutoInc:
        return new TAutoIncField(owner);
    case ftLargeint:
        return new TLargeintField(owner);
    case ftLongWord:
        return new TLongWordField(owner);
    case ftBoolean:
        return new TBooleanField(owner);
    case ftFloat:
        return new TFloatField(owner);
    case ftCurrency:
        return new TCurrencyField(owner);
    case ftSingle:
        return new TSingleField(owner);
    case ftExtended:
        return new TExtendedField(owner);
    case ftBCD:
        return new TBCDField(owner);
    case ftFMTBcd:
        return new TFMTBCDField(owner);
    case ftDate:
        return new TDateField(owner);
    case ftTime:
        return new TTimeField(owner);
    case ftDateTime:
        return new TDateTimeField(owner);
    case ftTimeStamp:
        return new TSQLTimeStampField(owner);
    case ftBytes:
        return new TBytesField(owner);
    case ftVarBytes:
        return new TVarBytesField(owner);
    case ftBlob:
    case ftTypedBinary:
    case ftOraBlob:
    case ftParadoxOle:
    case ftDBaseOle: {
        auto* field = new TBlobField(owner);
        if (type != ftBlob) field->SetBlobType(type);
        return field;
    }
    case ftMemo:
    case ftFmtMemo:
    case ftOraClob: {
        auto* field = new TMemoField(owner);
        if (type != ftMemo) field->SetBlobType(type);
        return field;
    }
    case ftWideMemo:
        return new TWideMemoField(owner);
    case ftGraphic:
        return new TGraphicField(owner);
    case ftADT:
        return new TADTField(owner);
    case ftArray:
        return new TArrayField(owner);
    case ftDataSet:
        return new TDataSetField(owner);
    case ftReference:
        return new TReferenceField(owner);
    default:
        return nullptr;
    }
}

} // namespace mv
