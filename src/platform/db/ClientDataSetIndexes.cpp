// TClientDataSet orders: index definitions, IndexFieldNames and IndexName, AddIndex and
// DeleteIndex, switching the order under the cursor, and Locate/Lookup through an index.
// Overview in ClientDataSet.h.
//
// [SECTION] TIndexDef, TIndexDefs
// [SECTION] Orders          SetIndexFieldNames, SetIndexName, AddIndex, DeleteIndex,
//                           ResolveOrder, IndexForDef, ApplyOrder
// [SECTION] Locate          Locate, Lookup, FindByIndex
#include "platform/db/ClientDataSet.h"

#include "platform/db/ClientDataSetPrivate.h"
#include "platform/db/DBConsts.h"
#include "platform/db/FieldLists.h"
#include "platform/rtl/StrUtils.h"

namespace mv {

namespace {

bool ListHasName(StringView list, StringView name) {
    Integer pos = 1;
    while (pos <= static_cast<Integer>(list.size()))
        if (AnsiSameText(ExtractFieldName(list, pos), name)) return true;
    return false;
}

bool IsTextType(TFieldType type) {
    return type == ftString || type == ftFixedChar || type == ftWideString || type == ftFixedWideChar ||
           type == ftGuid;
}

} // namespace

// ======================================================================================
// [SECTION] TIndexDef, TIndexDefs
// ======================================================================================

TIndexDef::TIndexDef(TCollection* collection) : TCollectionItem(collection) {}

void TIndexDef::SetName(const String& value) {
    FName = value;
    Changed(false);
}

void TIndexDef::SetFields(const String& value) {
    FFields = value;
    Changed(false);
}

void TIndexDef::SetDescFields(const String& value) {
    FDescFields = value;
    Changed(false);
}

void TIndexDef::SetCaseInsFields(const String& value) {
    FCaseInsFields = value;
    Changed(false);
}

void TIndexDef::SetOptions(TIndexOptions value) {
    FOptions = value;
    Changed(false);
}

void TIndexDef::Assign(const TPersistent* source) {
    if (const auto* def = dynamic_cast<const TIndexDef*>(source)) {
        FName = def->FName;
        FFields = def->FFields;
        FDescFields = def->FDescFields;
        FCaseInsFields = def->FCaseInsFields;
        FExpression = def->FExpression;
        FOptions = def->FOptions;
        FGroupingLevel = def->FGroupingLevel;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(source);
}

TIndexDefs::TIndexDefs(TDataSet* dataSet)
    : TOwnedCollection(dataSet, TCollection::ItemClassOf<TIndexDef>()), FDataSet(dataSet) {}

TIndexDef* TIndexDefs::AddIndexDef() {
    return static_cast<TIndexDef*>(TCollection::Add());
}

TIndexDef* TIndexDefs::Add(const String& name, const String& fields, TIndexOptions options) {
    BeginUpdate();
    TIndexDef* def = nullptr;
    try {
        def = AddIndexDef();
        def->SetName(name);
        def->SetFields(fields);
        def->SetOptions(options);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return def;
}

Integer TIndexDefs::IndexOf(StringView name) const {
    for (Integer i = 0; i < Count(); ++i)
        if (AnsiSameText(Items(i)->Name(), name)) return i;
    return -1;
}

TIndexDef* TIndexDefs::Find(StringView name) const {
    Integer index = IndexOf(name);
    if (index < 0) DatabaseErrorFmt(CDSConsts::SIndexNotFound, {name}, FDataSet);
    return Items(index);
}

TIndexDef* TIndexDefs::GetIndexForFields(StringView fields, bool caseInsensitive) const {
    String wanted = AnsiUpperCase(fields);
    auto caseMatches = [&](const TIndexDef* def) {
        return def->Options().Contains(ixCaseInsensitive) == caseInsensitive;
    };
    for (Integer i = 0; i < Count(); ++i) {
        TIndexDef* def = Items(i);
        if (caseMatches(def) && AnsiUpperCase(def->Fields()) == wanted) return def;
    }
    for (Integer i = 0; i < Count(); ++i) {
        TIndexDef* def = Items(i);
        String have = AnsiUpperCase(def->Fields());
        if (caseMatches(def) && have.size() > wanted.size() && have.starts_with(wanted) &&
            have[wanted.size()] == u';')
            return def;
    }
    return nullptr;
}

TIndexDef* TIndexDefs::FindIndexForFields(StringView fields) const {
    TIndexDef* def = GetIndexForFields(fields, false);
    if (def == nullptr) DatabaseErrorFmt(CDSConsts::SNoIndexForFields, {fields}, FDataSet);
    return def;
}

void TIndexDefs::Update(TCollectionItem* item) {
    TOwnedCollection::Update(item);
    FUpdated = false;
    if (auto* dataSet = dynamic_cast<TClientDataSet*>(FDataSet))
        dataSet->IndexDefChanged(static_cast<TIndexDef*>(item));
}

// ======================================================================================
// [SECTION] Orders
// ======================================================================================

namespace {

// Key parts for a ";" field list; raises for unknown, calculated, lookup and blob fields.
std::vector<cds::TKeyPart> KeyPartsFor(TDataSet* dataSet, const cds::TStore& store, StringView fields,
                                       StringView descFields, StringView caseInsFields,
                                       TIndexOptions options) {
    std::vector<cds::TKeyPart> parts;
    Integer pos = 1;
    while (pos <= static_cast<Integer>(fields.size())) {
        String name = ExtractFieldName(fields, pos);
        if (name.empty()) continue;
        TField* field = dataSet->FieldByName(name);
        Integer slot = field->FieldNo() - 1;
        if (slot < 0 || slot >= static_cast<Integer>(store.Slots().size()) ||
            store.Slots()[static_cast<std::size_t>(slot)].BlobIndex >= 0 ||
            store.Slots()[static_cast<std::size_t>(slot)].Width == 0)
            DatabaseErrorFmt(CDSConsts::SFieldNotIndexable, {field->DisplayName()}, dataSet);
        cds::TKeyPart part;
        part.Slot = slot;
        part.Descending = options.Contains(ixDescending) || ListHasName(descFields, name);
        part.CaseInsensitive = options.Contains(ixCaseInsensitive) || ListHasName(caseInsFields, name);
        parts.push_back(part);
    }
    return parts;
}

} // namespace

std::shared_ptr<cds::TIndex> TClientDataSet::IndexForDef(const TIndexDef& def) {
    String key = AnsiUpperCase(def.Name());
    auto found = FDefIndexes.find(key);
    if (found != FDefIndexes.end()) return found->second;
    std::vector<cds::TKeyPart> parts =
        KeyPartsFor(this, *FStore, def.Fields(), def.DescFields(), def.CaseInsFields(), def.Options());
    bool unique = def.Options().Contains(ixUnique) || def.Options().Contains(ixPrimary);
    std::shared_ptr<cds::TIndex> index = FStore->AcquireIndex(parts, unique);
    FDefIndexes[key] = index;
    return index;
}

std::shared_ptr<cds::TIndex> TClientDataSet::ResolveOrder(const String& indexFieldNames,
                                                          const String& indexName) {
    if (!indexName.empty()) return IndexForDef(*FIndexDefs->Find(indexName));
    if (indexFieldNames.empty()) return FStore->DefaultIndex();
    return FStore->AcquireIndex(KeyPartsFor(this, *FStore, indexFieldNames, u"", u"", {}), false);
}

void TClientDataSet::ApplyOrder(std::shared_ptr<cds::TIndex> index) {
    TBookmark current = GetBookmark();
    FIndex = std::move(index);
    InvalidateView();
    std::uint32_t id = 0;
    if (!DecodeBookmark(current, id)) {
        First();
        return;
    }
    // The current record stays current, in the same row of the window.
    SetCursorTo(id);
    Resync({});
}

void TClientDataSet::SetIndexFieldNames(const String& value) {
    if (value == FIndexFieldNames && FIndexName.empty()) return;
    if (!Active()) {
        FIndexFieldNames = value;
        FIndexName.clear();
        return;
    }
    CheckBrowseMode();
    std::shared_ptr<cds::TIndex> index = ResolveOrder(value, u"");
    CheckDetailOrder(*index);
    FIndexFieldNames = value;
    FIndexName.clear();
    ApplyOrder(std::move(index));
}

void TClientDataSet::SetIndexName(const String& value) {
    if (SameText(value, FIndexName) && (value.empty() || FIndexFieldNames.empty())) {
        FIndexName = value;
        return;
    }
    if (!Active()) {
        FIndexName = value;
        FIndexFieldNames.clear();
        return;
    }
    CheckBrowseMode();
    std::shared_ptr<cds::TIndex> index = ResolveOrder(u"", value);
    CheckDetailOrder(*index);
    FIndexName = value;
    FIndexFieldNames.clear();
    ApplyOrder(std::move(index));
}

void TClientDataSet::AddIndex(const String& name, const String& fields, TIndexOptions options,
                              const String& descFields, const String& caseInsFields, Integer groupingLevel) {
    if (FIndexDefs->IndexOf(name) >= 0) DatabaseErrorFmt(CDSConsts::SDuplicateIndexName, {name}, this);
    if (Active()) KeyPartsFor(this, *FStore, fields, descFields, caseInsFields, options);
    FIndexDefs->BeginUpdate();
    try {
        TIndexDef* def = FIndexDefs->AddIndexDef();
        def->SetName(name);
        def->SetFields(fields);
        def->SetOptions(options);
        def->SetDescFields(descFields);
        def->SetCaseInsFields(caseInsFields);
        def->SetGroupingLevel(groupingLevel);
    } catch (...) {
        FIndexDefs->EndUpdate();
        throw;
    }
    FIndexDefs->EndUpdate();
}

void TClientDataSet::DeleteIndex(const String& name) {
    Integer position = FIndexDefs->IndexOf(name);
    if (position < 0) DatabaseErrorFmt(CDSConsts::SIndexNotFound, {name}, this);
    if (SameText(name, FIndexName)) {
        if (Active()) {
            CheckBrowseMode();
            CheckDetailOrder(*FStore->DefaultIndex());
            FIndexName.clear();
            ApplyOrder(FStore->DefaultIndex());
        } else {
            FIndexName.clear();
        }
    }
    FDefIndexes.erase(AnsiUpperCase(name));
    FIndexDefs->Delete(position);
}

void TClientDataSet::GetIndexNames(std::vector<String>& list) const {
    for (Integer i = 0; i < FIndexDefs->Count(); ++i)
        list.push_back(FIndexDefs->Items(i)->Name());
}

void TClientDataSet::IndexDefChanged(TIndexDef* def) {
    if (!FCursorOpen) return;
    // A changed definition builds its index again when next used; the current order keeps
    // its own index until the order is set again.
    if (def == nullptr)
        FDefIndexes.clear();
    else
        FDefIndexes.erase(AnsiUpperCase(def->Name()));
}

// ======================================================================================
// [SECTION] Locate
// ======================================================================================

bool TClientDataSet::FindByIndex(StringView keyFields, const Variant& keyValues, TLocateOptions options,
                                 std::uint32_t& id) {
    // False when no index applies (the caller walks the records); otherwise id is the
    // record found, UINT32_MAX when none matches.
    if (options.Contains(loPartialKey) || !FStore) return false;
    std::vector<TField*> fields;
    GetFieldList(fields, keyFields);
    std::vector<Integer> slots;
    for (TField* field : fields) {
        Integer slot = SlotOfField(field);
        if (slot < 0 || FStore->Slots()[static_cast<std::size_t>(slot)].BlobIndex >= 0 ||
            FStore->Slots()[static_cast<std::size_t>(slot)].Width == 0)
            return false;
        slots.push_back(slot);
    }
    bool noCase = options.Contains(loCaseInsensitive);
    auto leads = [&](const cds::TIndex& index) {
        if (index.Keys.size() < slots.size()) return false;
        for (std::size_t i = 0; i < slots.size(); ++i) {
            const cds::TKeyPart& part = index.Keys[i];
            if (part.Slot != slots[i]) return false;
            if (IsTextType(FStore->Slots()[static_cast<std::size_t>(part.Slot)].DataType) &&
                part.CaseInsensitive != noCase)
                return false;
        }
        return true;
    };
    std::shared_ptr<cds::TIndex> index;
    bool viewFiltered = false;
    if (leads(*FIndex)) {
        index = FIndex;
    } else {
        for (Integer i = 0; i < FIndexDefs->Count() && !index; ++i) {
            try {
                std::shared_ptr<cds::TIndex> candidate = IndexForDef(*FIndexDefs->Items(i));
                if (leads(*candidate)) index = candidate;
            } catch (const EDatabaseError&) {
                // A definition that cannot be built now is simply not used.
            }
        }
        viewFiltered = IsFiltering() || FRanged;
    }
    // The range's probe is built with the view, through the scratch buffer: before the key.
    if (FRanged) List();
    if (!index) return false;

    // The probe: the key values written into the scratch buffer through the fields.
    auto keyCount = static_cast<Integer>(fields.size());
    InternalInitRecord(FScratch);
    bool probeValid = true;
    {
        TTempState temp(*this, dsFilter, FScratch);
        try {
            if (fields.size() == 1) {
                const Variant& key =
                    VarIsArray(keyValues) && VarArrayHighBound(keyValues) == VarArrayLowBound(keyValues)
                        ? keyValues[VarArrayLowBound(keyValues)]
                        : keyValues;
                fields[0]->SetAsVariant(key);
            } else if (!VarIsArray(keyValues) ||
                       VarArrayHighBound(keyValues) - VarArrayLowBound(keyValues) + 1 != keyCount) {
                probeValid = false;
            } else {
                for (Integer i = 0; i < keyCount; ++i)
                    fields[static_cast<std::size_t>(i)]->SetAsVariant(
                        keyValues[VarArrayLowBound(keyValues) + i]);
            }
        } catch (const Exception&) {
            probeValid = false; // a key the field cannot hold matches no record
        }
    }
    id = UINT32_MAX;
    if (!probeValid) return true;

    const Byte* probe = ImageOf(FScratch);
    const std::vector<std::uint32_t>& list = index == FIndex ? List() : index->Order;
    for (std::size_t pos = FStore->LowerBound(*index, list, probe, true, keyCount); pos < list.size();
         ++pos) {
        std::uint32_t candidate = list[pos];
        if (FStore->Compare(*index, FStore->Image(candidate), probe, true, keyCount) != 0) break;
        if (!viewFiltered || (InRange(candidate) && (!IsFiltering() || RecordAccepted(candidate)))) {
            id = candidate;
            break;
        }
    }
    return true;
}

bool TClientDataSet::Locate(StringView keyFields, const Variant& keyValues, TLocateOptions options) {
    CheckBrowseMode();
    std::uint32_t id = 0;
    if (!FindByIndex(keyFields, keyValues, options, id))
        return TDataSet::Locate(keyFields, keyValues, options);
    DoBeforeScroll();
    if (id == UINT32_MAX) return false;
    SetCursorTo(id);
    Resync({rmExact, rmCenter});
    DoAfterScroll();
    return true;
}

Variant TClientDataSet::Lookup(StringView keyFields, const Variant& keyValues, StringView resultFields) {
    CheckActive();
    std::uint32_t id = 0;
    if (!FindByIndex(keyFields, keyValues, {}, id))
        return TDataSet::Lookup(keyFields, keyValues, resultFields);
    if (id == UINT32_MAX) return Null();
    FillBuffer(FScratch, id);
    TTempState temp(*this, dsCalcFields);
    CalculateFields(FScratch);
    return FieldValues(resultFields);
}

} // namespace mv
