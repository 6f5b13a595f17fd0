// Field definitions and their flattened list.
#include "platform/db/FieldDefs.h"

#include "platform/db/DBConsts.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/rtl/StrUtils.h"

namespace mv {

namespace {

// The size a definition of the type gets when none is given.
Integer DefaultSizeOf(TFieldType type) {
    switch (type) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftFixedWideChar:
        return 20;
    case ftGuid:
        return 38;
    case ftBCD:
        return 4;
    case ftFMTBcd:
        return 8;
    case ftBytes:
    case ftVarBytes:
        return 16;
    case ftArray:
        return 10;
    default:
        return 0;
    }
}

// Counts definitions in pre-order until target; true when found.
bool CountUntil(const TFieldDefs& defs, const TFieldDef* target, Integer& count) {
    for (Integer i = 0; i < defs.Count(); ++i) {
        TFieldDef* def = defs.Items(i);
        ++count;
        if (def == target) return true;
        if (ChildFieldTypes.Contains(def->DataType()) && def->HasChildDefs() &&
            CountUntil(*def->ChildDefs(), target, count))
            return true;
    }
    return false;
}

} // namespace

// ======================================================================================
// [SECTION] TFieldDef
// ======================================================================================

TFieldDef::TFieldDef(TCollection* collection) : TCollectionItem(collection) {}

TFieldDef::~TFieldDef() = default;

void TFieldDef::SetName(const String& value) {
    FName = value;
    Changed(false);
}

void TFieldDef::SetDataType(TFieldType value) {
    FDataType = value;
    FPrecision = 0;
    FSize = DefaultSizeOf(value);
    Changed(false);
}

void TFieldDef::SetSize(Integer value) {
    FSize = value;
    Changed(false);
}

void TFieldDef::SetRequired(bool value) {
    if (value)
        FAttributes.Include(faRequired);
    else
        FAttributes.Exclude(faRequired);
}

Integer TFieldDef::FieldNo() const {
    if (FFieldNo > 0) return FFieldNo;
    // Numbered by position in the data set's flat list, as storage columns are.
    const TFieldDefs* root = static_cast<const TFieldDefs*>(Collection());
    if (root == nullptr) return 0;
    while (root->ParentDef() != nullptr)
        root = static_cast<const TFieldDefs*>(root->ParentDef()->Collection());
    Integer count = 0;
    return CountUntil(*root, this, count) ? count : 0;
}

TFieldDefs* TFieldDef::ChildDefs() {
    if (!FChildDefs) FChildDefs = std::make_unique<TFieldDefs>(this);
    return FChildDefs.get();
}

bool TFieldDef::HasChildDefs() const {
    return FChildDefs && FChildDefs->Count() > 0;
}

TFieldDef* TFieldDef::AddChild() {
    return ChildDefs()->AddFieldDef();
}

TFieldDef* TFieldDef::ParentDef() const {
    auto* defs = static_cast<TFieldDefs*>(Collection());
    return defs ? defs->ParentDef() : nullptr;
}

TDataSet* TFieldDef::DataSet() const {
    auto* defs = static_cast<TFieldDefs*>(Collection());
    return defs ? defs->DataSet() : nullptr;
}

String TFieldDef::FullName() const {
    TFieldDef* parent = ParentDef();
    if (parent == nullptr || parent->DataType() == ftArray) return FName;
    return parent->FullName() + u"." + FName;
}

TField* TFieldDef::CreateField(TComponent* owner, TObjectField* parentField, const String& fieldName,
                               bool createChildren) {
    TField* field = CreateFieldOfType(FDataType, owner);
    if (field == nullptr) DatabaseErrorFmt(DBConsts::SUnknownFieldType, {FName}, DataSet());
    try {
        if (FSize != 0 || field->DataType() == ftBCD) field->SetSize(FSize);
        field->SetFieldName(fieldName.empty() ? FName : fieldName);
        field->SetRequired(Required());
        field->SetReadOnly(FAttributes.Contains(faReadonly));
        if (FAttributes.Contains(faHiddenCol)) field->SetVisible(false);
        if (FDataType == ftBCD) static_cast<TBCDField*>(field)->SetPrecision(FPrecision);
        if (FDataType == ftFMTBcd && FPrecision > 0)
            static_cast<TFMTBCDField*>(field)->SetPrecision(FPrecision);
        if (FInternalCalcField) field->SetFieldKind(fkInternalCalc);
        field->SetFieldNo(FieldNo());
        if (parentField != nullptr)
            field->SetParentField(parentField);
        else
            field->SetDataSet(DataSet());
        if (createChildren && HasChildDefs() && ChildFieldTypes.Contains(FDataType)) {
            if (auto* object = dynamic_cast<TObjectField*>(field)) {
                for (Integer i = 0; i < FChildDefs->Count(); ++i)
                    FChildDefs->Items(i)->CreateField(owner, object);
            }
        }
    } catch (...) {
        delete field;
        throw;
    }
    return field;
}

void TFieldDef::Assign(const TPersistent* source) {
    auto* def = dynamic_cast<const TFieldDef*>(source);
    if (def == nullptr) {
        TCollectionItem::Assign(source);
        return;
    }
    FName = def->FName;
    FDataType = def->FDataType;
    FSize = def->FSize;
    FPrecision = def->FPrecision;
    FAttributes = def->FAttributes;
    FInternalCalcField = def->FInternalCalcField;
    if (def->HasChildDefs())
        ChildDefs()->Assign(def->FChildDefs.get());
    else if (FChildDefs)
        FChildDefs->Clear();
    Changed(false);
}

// ======================================================================================
// [SECTION] TFieldDefs
// ======================================================================================

TFieldDefs::TFieldDefs(TPersistent* owner) : TOwnedCollection(owner, TCollection::ItemClassOf<TFieldDef>()) {}

TFieldDef* TFieldDefs::AddFieldDef() {
    return static_cast<TFieldDef*>(TCollection::Add());
}

TFieldDef* TFieldDefs::Add(const String& name, TFieldType dataType, Integer size, bool required) {
    if (name.empty()) DatabaseError(DBConsts::SFieldNameMissing, DataSet());
    if (IndexOf(name) >= 0) DatabaseErrorFmt(DBConsts::SDuplicateFieldName, {name}, DataSet());
    TFieldDef* def = AddFieldDef();
    def->SetName(name);
    def->SetDataType(dataType);
    if (size != 0) def->SetSize(size);
    def->SetRequired(required);
    return def;
}

Integer TFieldDefs::IndexOf(StringView name) const {
    for (Integer i = 0; i < Count(); ++i)
        if (AnsiSameText(Items(i)->Name(), name)) return i;
    return -1;
}

TFieldDef* TFieldDefs::FindDef(StringView name) const {
    Integer index = IndexOf(name);
    return index >= 0 ? Items(index) : nullptr;
}

TFieldDef* TFieldDefs::Find(StringView name) const {
    TFieldDef* def = FindDef(name);
    if (def == nullptr) DatabaseErrorFmt(DBConsts::SFieldNotFound, {name}, DataSet());
    return def;
}

TDataSet* TFieldDefs::DataSet() const {
    TPersistent* owner = GetOwner();
    if (auto* dataSet = dynamic_cast<TDataSet*>(owner)) return dataSet;
    if (auto* def = dynamic_cast<TFieldDef*>(owner)) return def->DataSet();
    return nullptr;
}

TFieldDef* TFieldDefs::ParentDef() const {
    return dynamic_cast<TFieldDef*>(GetOwner());
}

void TFieldDefs::Update() {
    if (FUpdated) return;
    if (TDataSet* dataSet = DataSet()) dataSet->InitFieldDefs();
    FUpdated = true;
}

void TFieldDefs::Update(TCollectionItem* item) {
    TOwnedCollection::Update(item);
    if (TDataSet* dataSet = DataSet()) dataSet->FFieldDefListUpdated = false;
}

// ======================================================================================
// [SECTION] TFieldDefList
// ======================================================================================

Integer TFieldDefList::IndexOf(StringView fullName) const {
    for (std::size_t i = 0; i < FNames.size(); ++i)
        if (AnsiSameText(FNames[i], fullName)) return static_cast<Integer>(i);
    return -1;
}

TFieldDef* TFieldDefList::Find(StringView fullName) const {
    Integer index = IndexOf(fullName);
    return index >= 0 ? FDefs[static_cast<std::size_t>(index)] : nullptr;
}

void TFieldDefList::Rebuild(const TFieldDefs& defs) {
    FDefs.clear();
    FNames.clear();
    AddDefs(defs);
}

void TFieldDefList::AddDefs(const TFieldDefs& defs) {
    for (Integer i = 0; i < defs.Count(); ++i) {
        TFieldDef* def = defs.Items(i);
        FDefs.push_back(def);
        FNames.push_back(def->FullName());
        if (def->HasChildDefs() && ChildFieldTypes.Contains(def->DataType())) AddDefs(*def->ChildDefs());
    }
}

} // namespace mv
