// TClientDataSet as a nested data set: reading its records from the master's record,
// writing them back after every change, and following the master as it moves. The
// master keeps a nested data set's records as the blob of its field, in the record
// encoding of the file format. Overview at "Nested data sets" in ClientDataSet.h.
#include "platform/db/ClientDataSet.h"

#include "platform/db/ClientDataSetPrivate.h"
#include "platform/db/DBConsts.h"
#include "platform/rtl/FlagScope.h"

namespace mv {

using cds::TBlobValue;

TDataSet* TClientDataSet::CreateNestedDataSet(TDataSetField*) {
    auto* nested = new TClientDataSet(nullptr);
    nested->SetObjectView(ObjectView());
    return nested;
}

bool TClientDataSet::GetCanModify() const {
    if (FReadOnly) return false;
    const TClientDataSet* writer = NestedWriter();
    if (writer == nullptr) return true;
    TDataSetField* field = writer->DataSetField();
    if (field->ReadOnly() || field->DataSet() == nullptr) return false;
    return field->DataSet()->CanModify();
}

TClientDataSet* TClientDataSet::Master() const {
    TDataSetField* field = DataSetField();
    auto* master = field != nullptr ? dynamic_cast<TClientDataSet*>(field->DataSet()) : nullptr;
    if (master == nullptr) DatabaseError(CDSConsts::SNestedMaster, const_cast<TClientDataSet*>(this));
    return master;
}

// ======================================================================================
// [SECTION] The master's side
// ======================================================================================

const TBlobValue* TClientDataSet::NestedValue(TField* field) const {
    TRecordBuffer record = GetActiveRecordBuffer();
    Integer slot = SlotOfField(field);
    if (record == nullptr || slot < 0) return nullptr;
    Integer blobIndex = FStore->Slots()[static_cast<std::size_t>(slot)].BlobIndex;
    return blobIndex >= 0 ? &BlobsOf(record)[blobIndex] : nullptr;
}

void TClientDataSet::SetNestedValue(TField* field, TBlobValue value) {
    TRecordBuffer record = GetActiveRecordBuffer();
    Integer slot = SlotOfField(field);
    if (record == nullptr || slot < 0) DatabaseError(CDSConsts::SNoMasterRecord, this);
    BlobsOf(record)[FStore->Slots()[static_cast<std::size_t>(slot)].BlobIndex] = std::move(value);
    DataEvent(deFieldChange, reinterpret_cast<NativeInt>(field));
}

// ======================================================================================
// [SECTION] The nested side
// ======================================================================================

TClientDataSet::TMasterKey TClientDataSet::MasterKey() const {
    TClientDataSet* master = Master();
    TMasterKey key;
    if (!master->Active()) return key;
    key.Epoch = master->FStore->Epoch();
    key.Inserting = master->State() == dsInsert;
    TRecordBuffer record = master->GetActiveRecordBuffer();
    if (record != nullptr && !key.Inserting) key.Id = master->RecordIdOf(record);
    if (const TBlobValue* value = master->NestedValue(DataSetField())) key.Value = value->get();
    return key;
}

std::shared_ptr<cds::TStore> TClientDataSet::FetchFromMaster() {
    TClientDataSet* master = Master();
    master->CheckActive();
    TDataSetField* field = DataSetField();
    Integer slot = master->SlotOfField(field);
    if (slot < 0 || !master->FStore->Slots()[static_cast<std::size_t>(slot)].Nested)
        DatabaseErrorFmt(DBConsts::SFieldNotFound, {field->FullName()}, master);
    auto store =
        std::make_shared<cds::TStore>(*master->FStore->Slots()[static_cast<std::size_t>(slot)].Nested);
    const TBlobValue* value = master->NestedValue(field);
    if (value != nullptr && *value) cds::ReadRecords(**value, *store);
    FMasterKey = MasterKey();
    return store;
}

void TClientDataSet::BeginMasterChange() {
    TClientDataSet* master = Master();
    master->CheckActive();
    FMasterEditStarted = false;
    if (dsEditModes.Contains(master->State())) return;
    if (master->IsEmpty()) DatabaseError(CDSConsts::SNoMasterRecord, this);
    // The master's events come back here (its Edit checks browse mode, its Post
    // resynchronises); they are this change's own echo, which MasterChanged ignores.
    TFlagScope echo(FWritingToMaster);
    master->Edit();
    FMasterEditStarted = true;
}

std::exception_ptr TClientDataSet::EndMasterChange(bool changed) {
    TClientDataSet* master = Master();
    TFlagScope echo(FWritingToMaster);
    if (!changed) {
        // The change failed: the master goes back to what it was, quietly, so that the
        // change's own error is the one reported.
        try {
            if (FMasterEditStarted && master->State() == dsEdit) master->Cancel();
        } catch (...) {
        }
        return nullptr;
    }
    // The records have changed: from here a failure is kept, not raised (ChangeRecords).
    std::exception_ptr error;
    try {
        TBlobValue value;
        if (FStore->LiveCount() > 0) {
            std::string bytes;
            cds::AppendRecords(*FStore, bytes);
            value = std::make_shared<const std::string>(std::move(bytes));
        }
        master->SetNestedValue(DataSetField(), std::move(value));
        if (FMasterEditStarted) master->Post();
    } catch (...) {
        error = std::current_exception();
    }
    FMasterKey = MasterKey();
    return error;
}

void TClientDataSet::MasterChanged(bool checkBrowseMode) {
    if (FWritingToMaster || !Active() || DataSetField() == nullptr) return;
    if (checkBrowseMode) {
        CheckBrowseMode();
        for (TClientDataSet* clone : NestedClones())
            clone->CheckBrowseMode();
        return;
    }
    TClientDataSet* master = Master();
    if (!master->Active() || MasterKey() == FMasterKey) return;
    std::vector<TClientDataSet*> cursors = NestedClones();
    cursors.insert(cursors.begin(), this);
    // The master cancelled or moved without asking first: pending edits have nowhere to
    // go. Cancelled before anything moves, so a handler that refuses leaves all as it was.
    for (TClientDataSet* cursor : cursors)
        if (dsEditModes.Contains(cursor->State())) cursor->Cancel();
    std::shared_ptr<cds::TStore> store = FetchFromMaster();
    // Every cursor moves even when one fails: none may stay on the old records, whose
    // changes would be written into the master's new record. The master has moved
    // already, so a failure is reported rather than raised into its notification.
    std::exception_ptr error;
    for (TClientDataSet* cursor : cursors) {
        try {
            cursor->SwitchStore(store);
        } catch (...) {
            if (!error) error = std::current_exception();
        }
    }
    if (!error) return;
    try {
        std::rethrow_exception(error);
    } catch (...) {
        if (ApplicationHandleException) ApplicationHandleException(this);
    }
}

std::vector<TClientDataSet*> TClientDataSet::NestedClones() const {
    std::vector<TClientDataSet*> clones;
    if (FStore)
        for (TClientDataSet* cursor : FStore->Cursors())
            if (cursor->FNestedSource == this) clones.push_back(cursor);
    return clones;
}

void TClientDataSet::SwitchStore(std::shared_ptr<cds::TStore> store) {
    // Same definitions, so the buffers keep their layout; only the records change.
    FStore->RemoveCursor(this);
    FStore = std::move(store);
    FStore->AddCursor(this);
    FDefIndexes.clear();
    FCursorAt = caBOF;
    FCursorStamp = ~std::uint64_t{0};
    // An order the new records cannot have (a unique index they break) gives way to the
    // default order; the cursor must not keep the old records' index.
    std::exception_ptr error;
    try {
        FIndex = ResolveOrder(FIndexFieldNames, FIndexName);
    } catch (...) {
        FIndex = FStore->DefaultIndex();
        error = std::current_exception();
    }
    InvalidateView();
    First();
    if (error) std::rethrow_exception(error);
}

} // namespace mv
