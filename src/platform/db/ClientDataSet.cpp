// TClientDataSet: creating and opening, record buffers, the cursor over the list, field
// data and blob streams, editing and bookmarks. Overview in ClientDataSet.h.
//
// [SECTION] Creating and opening   CreateDataSet, InternalOpen, InternalClose, CloneCursor
// [SECTION] Buffers                AllocRecordBuffer, FillBuffer, InternalInitRecord
// [SECTION] Cursor                 GetRecord, InternalFirst/Last, RecNo, RecordCount
// [SECTION] Field data             GetFieldData, SetFieldData, CreateBlobStream
// [SECTION] Editing                InternalPost, InternalAddRecord, InternalDelete, EmptyDataSet,
//                                  ChangeCount, MergeChangeLog, CancelUpdates
// [SECTION] Bookmarks              bookmark data, BookmarkValid, CompareBookmarks
#include "platform/db/ClientDataSet.h"

#include "platform/db/ClientDataSetPrivate.h"
#include "platform/db/DBConsts.h"
#include "platform/rtl/Streams.h"

#include <algorithm>
#include <cassert>
#include <new>
#include <utility>

namespace mv {

using cds::Load;
using cds::Store;
using cds::TBlobValue;

namespace CDSConsts {
String SMissingDataPacket = u"Missing data provider or data packet";
String SNoFieldDefs = u"Field definitions missing";
String SUnsupportedType = u"Field '%s': type %s cannot be stored in a client data set";
String SNoNestedDefs = u"Field '%s': a nested data set field needs field definitions of its own";
String SNestedMaster = u"A nested client data set needs a client data set as its master";
String SNoMasterRecord = u"The master data set has no current record to keep these nested records";
String SIndexNotFound = u"Index '%s' not found";
String SDuplicateIndexName = u"Duplicate index name '%s'";
String SNoIndexForFields = u"No index for fields '%s'";
String SFieldNotIndexable = u"Field '%s' cannot be used in an index";
String SKeyViolation = u"Key violation";
String SInvalidPacket = u"Invalid data packet: %s";
String SDetailOrder = u"MasterFields '%s' needs an order that begins with as many detail fields: set "
                      u"IndexFieldNames or IndexName to begin with them";
} // namespace CDSConsts

namespace {

// Record buffer header; the image follows at HeaderSize.
struct TBufferHeader {
    std::uint32_t Id;
    std::uint32_t Epoch;
    TBookmarkFlag Flag;
};
constexpr Integer HeaderSize = 16;
static_assert(sizeof(TBufferHeader) <= HeaderSize);

constexpr Integer BookmarkBytes = 8;

TBufferHeader& Header(TRecordBuffer buffer) {
    return *std::launder(reinterpret_cast<TBufferHeader*>(buffer));
}

Integer AlignUp(Integer value, Integer alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

// True when the definitions describe the store's layout (so they need no rebuilding).
bool DefsDescribe(const TFieldDefs& defs, const std::vector<cds::TSlot>& slots) {
    try {
        return cds::SameLayout(cds::SlotsFromDefs(defs, nullptr), slots);
    } catch (const EDatabaseError&) {
        return false;
    }
}

} // namespace

// ======================================================================================
// [SECTION] Creating and opening
// ======================================================================================

TClientDataSet::TClientDataSet(TComponent* owner)
    : TDataSet(owner), FIndexDefs(std::make_unique<TIndexDefs>(this)),
      FMasterLink(std::make_unique<cds::TMasterLink>(this)) {}

TClientDataSet::~TClientDataSet() {
    Destroying();
    Close();
}

void TClientDataSet::CreateDataSet() {
    CheckInactive();
    InitFieldDefsFromFields();
    if (FieldDefs()->Count() == 0) DatabaseError(CDSConsts::SNoFieldDefs, this);
    auto store = std::make_shared<cds::TStore>(cds::SlotsFromDefs(*FieldDefs(), this));
    OpenStore(std::move(store));
}

void TClientDataSet::OpenStore(std::shared_ptr<cds::TStore> store) {
    FStore = std::move(store);
    try {
        Open();
    } catch (...) {
        // An open that failed after the cursor opened leaves buffers that need the store
        // to be freed: close first, keep the first error.
        if (Active()) {
            try {
                Close();
            } catch (...) {
            }
        }
        FStore.reset();
        throw;
    }
    if (!Active()) FStore.reset();
}

void TClientDataSet::InternalInitFieldDefs() {
    if (!FStore || DefsDescribe(*FieldDefs(), FStore->Slots())) return;
    FieldDefs()->BeginUpdate();
    try {
        FieldDefs()->Clear();
        cds::AddDefsFromSlots(*FieldDefs(), FStore->Slots());
    } catch (...) {
        FieldDefs()->EndUpdate();
        throw;
    }
    FieldDefs()->EndUpdate();
}

void TClientDataSet::InternalOpen() {
    if (FStore) {
        OpenCursorOnStore();
        return;
    }
    if (DataSetField() != nullptr) {
        FStore = FetchFromMaster();
    } else if (!FFileName.empty()) {
        TFileStream file(FFileName, fmOpenRead);
        std::string bytes(static_cast<std::size_t>(file.GetSize()), '\0');
        if (!bytes.empty()) file.ReadBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
        cds::TPacket packet = ParsePacket(bytes);
        CommitPacket(packet);
    } else if (FConnection != nullptr && !FCommandText.empty()) {
        FStore = FetchFromConnection();
    } else {
        DatabaseError(CDSConsts::SMissingDataPacket, this);
    }
    // The records were read for this open only: a failure drops them, so the next open
    // reads again rather than finding a half-opened store.
    try {
        OpenCursorOnStore();
    } catch (...) {
        if (!FCursorOpen) FStore.reset();
        throw;
    }
}

void TClientDataSet::OpenCursorOnStore() {
    InternalInitFieldDefs();
    FieldDefs()->SetUpdated(true);
    if (DefaultFields()) CreateFields();
    BindFields(true);
    for (TField* field : FieldList()) {
        if (field->FieldNo() <= 0) continue;
        if (field->FieldNo() > static_cast<Integer>(FStore->Slots().size()))
            DatabaseErrorFmt(DBConsts::SFieldNotFound, {field->FullName()}, this);
    }
    FImageOffset = HeaderSize;
    FCalcOffset = AlignUp(FImageOffset + FStore->RecordSize(), 8);
    FBlobOffset = AlignUp(FCalcOffset + CalcFieldsSize(), alignof(TBlobValue));
    FBufferSize = FBlobOffset + FStore->BlobCount() * static_cast<Integer>(sizeof(TBlobValue));
    SetBookmarkSize(BookmarkBytes);
    FCursorAt = caBOF;
    FCursorStamp = ~std::uint64_t{0};
    FStore->AddCursor(this);
    FCursorOpen = true;
    try {
        FScratch = AllocRecordBuffer();
        FIndex = ResolveOrder(FIndexFieldNames, FIndexName);
        CompileFilter();
        FRanged = ReadMasterValues(FRangeValues);
        CheckDetailOrder(*FIndex);
    } catch (...) {
        InternalClose();
        throw;
    }
    InvalidateView();
}

void TClientDataSet::InternalClose() {
    if (FScratch != nullptr) FreeRecordBuffer(FScratch);
    FFilterExpression = TFilterExpression();
    BindFields(false);
    if (DefaultFields()) DestroyFields();
    FIndex.reset();
    FDefIndexes.clear();
    FView.clear();
    FView.shrink_to_fit();
    FViewValid = false;
    if (FStore) FStore->RemoveCursor(this);
    // Clones of a nested set cannot keep anything once it stops following its master.
    if (FStore)
        for (TClientDataSet* clone : NestedClones())
            clone->Close();
    FStore.reset();
    FCursorOpen = false;
    FNestedSource = nullptr;
    FRanged = false;
    FRangeValues.clear();
    FRangeProbe.clear();
}

void TClientDataSet::CloseCursor() {
    // The records go with the cursor, so FileName gets them first; a failed save still
    // closes, then reports.
    std::exception_ptr saveError;
    if (FCursorOpen && !FFileName.empty() && !FReadOnly && !ComponentState().Contains(csDestroying)) {
        try {
            WritePacketFile(FFileName);
        } catch (...) {
            saveError = std::current_exception();
        }
    }
    TDataSet::CloseCursor();
    if (saveError) std::rethrow_exception(saveError);
}

void TClientDataSet::CloneCursor(TClientDataSet* source, bool reset, bool keepSettings) {
    assert(source != nullptr && "CloneCursor: a source data set is required");
    source->CheckActive();
    std::shared_ptr<cds::TStore> store = source->FStore;
    Close();
    FieldDefs()->Assign(source->FieldDefs());
    FIndexDefs->Assign(source->FIndexDefs.get());
    if (reset) {
        FIndexFieldNames.clear();
        FIndexName.clear();
        TDataSet::SetFilterText(u"");
        TDataSet::SetFiltered(false);
        TDataSet::SetFilterOptions({});
        OnFilterRecord = nullptr;
        FReadOnly = false;
    } else if (!keepSettings) {
        FIndexFieldNames = source->FIndexFieldNames;
        FIndexName = source->FIndexName;
        TDataSet::SetFilterText(source->Filter());
        TDataSet::SetFiltered(source->Filtered());
        TDataSet::SetFilterOptions(source->FilterOptions());
        OnFilterRecord = source->OnFilterRecord;
        FReadOnly = source->FReadOnly;
    }
    FNestedSource = source->NestedWriter();
    try {
        OpenStore(std::move(store));
    } catch (...) {
        // Open may fail before the cursor joins the store, where closing would forget it.
        FNestedSource = nullptr;
        throw;
    }
}

void TClientDataSet::SetConnection(TCustomConnection* value) {
    if (value == FConnection) return;
    if (FConnection != nullptr) FConnection->RemoveFreeNotification(this);
    FConnection = value;
    if (FConnection != nullptr) FConnection->FreeNotification(this);
}

void TClientDataSet::Notification(TComponent* component, TOperation operation) {
    TDataSet::Notification(component, operation);
    if (operation == opRemove && component == FConnection) FConnection = nullptr;
}

void TClientDataSet::SetReadOnly(bool value) {
    if (value == FReadOnly) return;
    if (Active()) CheckBrowseMode();
    FReadOnly = value;
    if (Active()) DataEvent(deDataSetChange, 0);
}

// ======================================================================================
// [SECTION] Buffers
// ======================================================================================
// A record buffer: header (id, epoch, bookmark flag), the record image as stored, the
// calculated area (one presence byte and the native value per calculated or lookup
// field, at TField::Offset), then one TBlobValue per blob slot.

Integer TClientDataSet::GetRecordSize() const {
    return FStore ? FStore->RecordSize() : 0;
}

TRecordBuffer TClientDataSet::AllocRecordBuffer() {
    auto* buffer = static_cast<TRecordBuffer>(::operator new(static_cast<std::size_t>(FBufferSize)));
    std::memset(buffer, 0, static_cast<std::size_t>(FBufferSize));
    new (buffer) TBufferHeader{0, 0, bfCurrent};
    TBlobValue* blobs = BlobsOf(buffer);
    for (Integer i = 0; i < FStore->BlobCount(); ++i)
        new (&blobs[i]) TBlobValue();
    return buffer;
}

void TClientDataSet::FreeRecordBuffer(TRecordBuffer& buffer) {
    TBlobValue* blobs = BlobsOf(buffer);
    for (Integer i = 0; i < FStore->BlobCount(); ++i)
        blobs[i].~TBlobValue();
    ::operator delete(buffer);
    buffer = nullptr;
}

Byte* TClientDataSet::ImageOf(TRecordBuffer buffer) const {
    return buffer + FImageOffset;
}

Byte* TClientDataSet::CalcAreaOf(TRecordBuffer buffer) const {
    return buffer + FCalcOffset;
}

TBlobValue* TClientDataSet::BlobsOf(TRecordBuffer buffer) const {
    return std::launder(reinterpret_cast<TBlobValue*>(buffer + FBlobOffset));
}

std::uint32_t TClientDataSet::RecordIdOf(TRecordBuffer buffer) const {
    return Header(buffer).Id;
}

void TClientDataSet::FillBuffer(TRecordBuffer buffer, std::uint32_t id) {
    const Byte* image = FStore->Image(id);
    std::memcpy(ImageOf(buffer), image, static_cast<std::size_t>(FStore->RecordSize()));
    TBlobValue* blobs = BlobsOf(buffer);
    for (const cds::TSlot& slot : FStore->Slots()) {
        if (slot.BlobIndex < 0) continue;
        blobs[slot.BlobIndex] = FStore->Blob(image, slot);
        // Buffers keep their blobs apart from the handles of the store.
        Store(ImageOf(buffer) + slot.Offset, std::uint32_t{0});
    }
    Header(buffer) = TBufferHeader{id, FStore->Epoch(), bfCurrent};
}

void TClientDataSet::InternalInitRecord(TRecordBuffer buffer) {
    std::memset(ImageOf(buffer), 0, static_cast<std::size_t>(FStore->RecordSize()));
    TBlobValue* blobs = BlobsOf(buffer);
    for (Integer i = 0; i < FStore->BlobCount(); ++i)
        blobs[i].reset();
    Header(buffer).Id = UINT32_MAX;
    Header(buffer).Epoch = FStore->Epoch();
}

void TClientDataSet::ClearCalcFields(TRecordBuffer buffer) {
    std::memset(CalcAreaOf(buffer), 0, static_cast<std::size_t>(CalcFieldsSize()));
}

// ======================================================================================
// [SECTION] Cursor
// ======================================================================================

void TClientDataSet::InternalFirst() {
    FCursorAt = caBOF;
}

void TClientDataSet::InternalLast() {
    FCursorAt = caEOF;
}

void TClientDataSet::SetCursorTo(std::uint32_t id) {
    FCursorAt = caRecord;
    FCursorId = id;
    FCursorStamp = ~std::uint64_t{0};
}

TGetResult TClientDataSet::GetRecord(TRecordBuffer buffer, TGetMode getMode, bool doCheck) {
    const std::vector<std::uint32_t>& list = List();
    std::size_t count = list.size();
    bool exact = false;
    std::size_t pos = 0;
    switch (FCursorAt) {
    case caBOF:
        if (getMode != gmNext) return getMode == gmPrior ? grBOF : grError;
        pos = 0;
        break;
    case caEOF:
        if (getMode != gmPrior) return getMode == gmNext ? grEOF : grError;
        pos = count;
        break;
    case caRecord:
        pos = CursorPosition(exact);
        break;
    }
    std::size_t target = pos;
    if (getMode == gmNext && FCursorAt == caRecord && exact) ++target;
    if (getMode == gmPrior) {
        if (target == 0) {
            FCursorAt = caBOF;
            return grBOF;
        }
        --target;
    }
    if (getMode == gmCurrent && (FCursorAt != caRecord || !exact)) {
        if (doCheck) DatabaseError(DBConsts::SRecordNotFound, this);
        return grError;
    }
    if (target >= count) {
        FCursorAt = caEOF;
        return grEOF;
    }
    FCursorAt = caRecord;
    FCursorId = list[target];
    RememberCursor(target);
    try {
        FillBuffer(buffer, FCursorId);
        GetCalcFields(buffer);
    } catch (...) {
        if (doCheck) throw;
        return grError;
    }
    return grOK;
}

void TClientDataSet::RememberCursor(std::size_t pos) {
    FCursorPos = pos;
    FCursorStamp = FStore->Version();
    FCursorViewStamp = FViewStamp;
}

std::size_t TClientDataSet::CursorPosition(bool& exact) {
    const std::vector<std::uint32_t>& list = List();
    // Walking the list needs no search while nothing changed since the last step.
    if (FCursorStamp == FStore->Version() && FCursorViewStamp == FViewStamp && FCursorPos < list.size() &&
        list[FCursorPos] == FCursorId) {
        exact = true;
        return FCursorPos;
    }
    std::size_t pos = PositionOf(FCursorId, exact);
    if (exact)
        RememberCursor(pos);
    else
        FCursorStamp = ~std::uint64_t{0};
    return pos;
}

std::size_t TClientDataSet::PositionOf(std::uint32_t id, bool& exact) {
    const std::vector<std::uint32_t>& list = List();
    exact = false;
    if (id >= FStore->IdCount()) return list.size();
    std::size_t pos = FStore->LowerBound(*FIndex, list, FStore->Image(id));
    exact = pos < list.size() && list[pos] == id;
    return pos;
}

Integer TClientDataSet::GetRecNo() const {
    if (!FCursorOpen) return -1;
    TRecordBuffer buffer = State() == dsCalcFields ? CalcBuffer() : ActiveBuffer();
    if (buffer == nullptr || IsEmpty() || GetBookmarkFlag(buffer) != bfCurrent) return -1;
    auto* self = const_cast<TClientDataSet*>(this);
    bool exact = false;
    std::size_t pos = self->PositionOf(Header(buffer).Id, exact);
    return exact ? static_cast<Integer>(pos) + 1 : -1;
}

void TClientDataSet::SetRecNoValue(Integer value) {
    CheckBrowseMode();
    const std::vector<std::uint32_t>& list = List();
    if (list.empty() || value == GetRecNo()) return;
    auto index =
        static_cast<std::size_t>(std::clamp<Integer>(value, 1, static_cast<Integer>(list.size())) - 1);
    DoBeforeScroll();
    SetCursorTo(list[index]);
    Resync({rmCenter});
    DoAfterScroll();
}

Integer TClientDataSet::GetRecordCount() const {
    if (!FCursorOpen) return 0;
    return static_cast<Integer>(const_cast<TClientDataSet*>(this)->List().size());
}

void TClientDataSet::InternalRefresh() {
    InvalidateView();
}

// ======================================================================================
// [SECTION] Field data
// ======================================================================================

Integer TClientDataSet::SlotOfField(const TField* field) const {
    Integer slot = field->FieldNo() - 1;
    return FStore && slot >= 0 && slot < static_cast<Integer>(FStore->Slots().size()) ? slot : -1;
}

bool TClientDataSet::GetFieldData(TField* field, void* buffer) {
    TRecordBuffer record = GetActiveRecordBuffer();
    if (record == nullptr || !FStore) return false;
    Integer slot = SlotOfField(field);
    if (slot < 0) {
        if (field->FieldKind() != fkCalculated && field->FieldKind() != fkLookup) return false;
        const Byte* area = CalcAreaOf(record) + field->Offset();
        if (area[0] == 0) return false;
        if (buffer != nullptr) std::memcpy(buffer, area + 1, static_cast<std::size_t>(field->DataSize()));
        return true;
    }
    const cds::TSlot& info = FStore->Slots()[static_cast<std::size_t>(slot)];
    if (info.BlobIndex >= 0) {
        const TBlobValue& blob = BlobsOf(record)[info.BlobIndex];
        return blob && !blob->empty();
    }
    const Byte* image = ImageOf(record);
    if (!cds::IsPresent(image, slot)) return false;
    if (buffer != nullptr) std::memcpy(buffer, image + info.Offset, static_cast<std::size_t>(info.Width));
    return true;
}

void TClientDataSet::SetFieldData(TField* field, const void* buffer) {
    TDataSetState state = State();
    if (!dsWriteModes.Contains(state)) DatabaseError(DBConsts::SNotEditing, this);
    TRecordBuffer record = GetActiveRecordBuffer();
    if (record == nullptr || !FStore) return;
    Integer slot = SlotOfField(field);
    if (slot < 0) {
        if (field->FieldKind() != fkCalculated && field->FieldKind() != fkLookup) return;
        Byte* area = CalcAreaOf(record) + field->Offset();
        area[0] = buffer != nullptr ? 1 : 0;
        if (buffer != nullptr) std::memcpy(area + 1, buffer, static_cast<std::size_t>(field->DataSize()));
    } else {
        bool userWrite = state != dsSetKey && state != dsFilter && state != dsCalcFields &&
                         state != dsInternalCalc && !FWritingMasterValues;
        if (userWrite && field->ReadOnly())
            DatabaseErrorFmt(DBConsts::SFieldReadOnly, {field->DisplayName()});
        if (userWrite) field->Validate(buffer);
        const cds::TSlot& info = FStore->Slots()[static_cast<std::size_t>(slot)];
        Byte* image = ImageOf(record);
        cds::SetPresent(image, slot, buffer != nullptr);
        if (buffer != nullptr)
            std::memcpy(image + info.Offset, buffer, static_cast<std::size_t>(info.Width));
        else
            std::memset(image + info.Offset, 0, static_cast<std::size_t>(info.Width));
    }
    if (state != dsCalcFields && state != dsFilter && state != dsNewValue && state != dsInternalCalc)
        DataEvent(deFieldChange, reinterpret_cast<NativeInt>(field));
}

// Reads the blob of the record the field reads now; writes replace it when destroyed.
class TClientBlobStream : public TMemoryStream {
public:
    TClientBlobStream(TClientDataSet* dataSet, TField* field, TBlobStreamMode mode)
        : FDataSet(dataSet), FField(field), FMode(mode) {
        TRecordBuffer record = dataSet->GetActiveRecordBuffer();
        Integer slot = dataSet->SlotOfField(field);
        if (record != nullptr && slot >= 0) {
            Integer blobIndex = dataSet->FStore->Slots()[static_cast<std::size_t>(slot)].BlobIndex;
            if (blobIndex >= 0) FValue = &dataSet->BlobsOf(record)[blobIndex];
        }
        if (mode != bmWrite && FValue != nullptr && *FValue && !(*FValue)->empty()) {
            Write((*FValue)->data(), static_cast<Integer>((*FValue)->size()));
            SetPosition(0);
        }
    }
    ~TClientBlobStream() override {
        if (FMode == bmRead || FValue == nullptr) return;
        auto size = static_cast<std::size_t>(GetSize());
        *FValue = size == 0 ? nullptr
                            : std::make_shared<const std::string>(static_cast<const char*>(Memory()), size);
        TDataSetState state = FDataSet->State();
        if (state == dsEdit || state == dsInsert) {
            try {
                FDataSet->DataEvent(deFieldChange, reinterpret_cast<NativeInt>(FField));
            } catch (...) {
                // A destructor cannot report; the value is stored, only a notification is lost.
            }
        }
    }

private:
    TClientDataSet* FDataSet;
    TField* FField;
    TBlobStreamMode FMode;
    TBlobValue* FValue = nullptr;
};

std::unique_ptr<TStream> TClientDataSet::CreateBlobStream(TField* field, TBlobStreamMode mode) {
    if (mode != bmRead) {
        if (!dsWriteModes.Contains(State())) DatabaseError(DBConsts::SNotEditing, this);
        if (field->ReadOnly() && State() != dsSetKey)
            DatabaseErrorFmt(DBConsts::SFieldReadOnly, {field->DisplayName()});
    }
    return std::make_unique<TClientBlobStream>(this, field, mode);
}

// ======================================================================================
// [SECTION] Editing
// ======================================================================================

void TClientDataSet::ComputeInternalCalcFields(TRecordBuffer buffer) {
    // The framework computes internal calculated fields when a record is written: the
    // OnCalcFields handler sees State = dsInternalCalc and fills them.
    if (!FInternalCalcFields || !OnCalcFields) return;
    TTempState temp(*this, dsInternalCalc);
    CalculateFields(buffer);
}

template <typename F> void TClientDataSet::ChangeRecords(F change) {
    TClientDataSet* writer = NestedWriter();
    FMasterError = nullptr;
    if (writer == nullptr) {
        change();
        return;
    }
    writer->BeginMasterChange();
    try {
        change();
    } catch (...) {
        writer->EndMasterChange(false);
        throw;
    }
    FMasterError = writer->EndMasterChange(true);
}

void TClientDataSet::RaiseMasterError() {
    if (std::exception_ptr error = std::exchange(FMasterError, nullptr)) std::rethrow_exception(error);
}

void TClientDataSet::DoAfterPost() {
    TDataSet::DoAfterPost();
    RaiseMasterError();
}

void TClientDataSet::DoAfterDelete() {
    TDataSet::DoAfterDelete();
    RaiseMasterError();
}

void TClientDataSet::InternalEdit() {
    TRecordBuffer buffer = ActiveBuffer();
    std::uint32_t id = RecordIdOf(buffer);
    if (!FStore->IsLive(id) || Header(buffer).Epoch != FStore->Epoch())
        DatabaseError(DBConsts::SRecordNotFound, this);
    FillBuffer(buffer, id);
}

void TClientDataSet::InternalPost() {
    TDataSet::InternalPost();
    TRecordBuffer buffer = ActiveBuffer();
    ComputeInternalCalcFields(buffer);
    if (State() == dsEdit) {
        std::uint32_t id = RecordIdOf(buffer);
        if (!FStore->IsLive(id) || Header(buffer).Epoch != FStore->Epoch())
            DatabaseError(DBConsts::SRecordNotFound, this);
        ChangeRecords([&] {
            FStore->Update(id, ImageOf(buffer), BlobsOf(buffer));
            SetCursorTo(id);
        });
        return;
    }
    ChangeRecords([&] {
        TBookmarkFlag flag = GetBookmarkFlag(buffer);
        std::uint32_t before = UINT32_MAX;
        if (flag == bfBOF) {
            const auto& order = FStore->DefaultIndex()->Order;
            if (!order.empty()) before = order.front();
        } else if (flag != bfEOF && Header(buffer).Epoch == FStore->Epoch()) {
            before = RecordIdOf(buffer);
        }
        std::uint32_t id = FStore->Add(ImageOf(buffer), BlobsOf(buffer), flag == bfEOF, before);
        Header(buffer).Id = id;
        SetCursorTo(id);
    });
}

void TClientDataSet::InternalAddRecord(TRecordBuffer buffer, bool append) {
    ComputeInternalCalcFields(buffer);
    ChangeRecords([&] {
        std::uint32_t before = FCursorAt == caRecord ? FCursorId : UINT32_MAX;
        std::uint32_t id = FStore->Add(ImageOf(buffer), BlobsOf(buffer), append, before);
        Header(buffer).Id = id;
        SetCursorTo(id);
    });
}

void TClientDataSet::InternalDelete() {
    TRecordBuffer buffer = ActiveBuffer();
    std::uint32_t id = RecordIdOf(buffer);
    if (!FStore->IsLive(id) || Header(buffer).Epoch != FStore->Epoch())
        DatabaseError(DBConsts::SRecordNotFound, this);
    ChangeRecords([&] {
        // The cursor stays on the tombstone, whose place in the list is the next record's.
        FStore->Delete(id);
        SetCursorTo(id);
    });
}

void TClientDataSet::EmptyDataSet() {
    CheckActive();
    CheckBrowseMode();
    ChangeRecords([&] { FStore->Clear(); });
    First();
    RaiseMasterError();
}

Integer TClientDataSet::ChangeCount() const {
    return FStore && FCursorOpen ? FStore->ChangeCount() : 0;
}

void TClientDataSet::MergeChangeLog() {
    CheckActive();
    FStore->MergeChangeLog();
}

void TClientDataSet::CancelUpdates() {
    CheckActive();
    // Copies: the store and its cursor list may change while the cursors are moved.
    std::shared_ptr<cds::TStore> store = FStore;
    std::vector<TClientDataSet*> cursors = store->Cursors();
    for (TClientDataSet* cursor : cursors)
        cursor->Cancel();
    ChangeRecords([&] { store->CancelUpdates(); });
    for (TClientDataSet* cursor : cursors)
        if (cursor->Active()) cursor->First();
    RaiseMasterError();
}

void TClientDataSet::StoreReset() {
    InvalidateView();
    FCursorAt = caBOF;
    if (State() == dsBrowse) {
        ClearBuffers();
        DataEvent(deDataSetChange, 0);
    }
}

// ======================================================================================
// [SECTION] Bookmarks
// ======================================================================================

void TClientDataSet::GetBookmarkData(TRecordBuffer buffer, TBookmark& data) const {
    data.resize(BookmarkBytes);
    Store(data.data(), Header(buffer).Id);
    Store(data.data() + 4, Header(buffer).Epoch);
}

void TClientDataSet::SetBookmarkData(TRecordBuffer buffer, const TBookmark& data) {
    if (data.size() != BookmarkBytes) {
        Header(buffer).Id = UINT32_MAX;
        return;
    }
    Header(buffer).Id = Load<std::uint32_t>(data.data());
    Header(buffer).Epoch = Load<std::uint32_t>(data.data() + 4);
}

TBookmarkFlag TClientDataSet::GetBookmarkFlag(TRecordBuffer buffer) const {
    return Header(buffer).Flag;
}

void TClientDataSet::SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag value) {
    Header(buffer).Flag = value;
}

bool TClientDataSet::DecodeBookmark(const TBookmark& bookmark, std::uint32_t& id) const {
    if (!FStore || bookmark.size() != BookmarkBytes) return false;
    id = Load<std::uint32_t>(bookmark.data());
    return Load<std::uint32_t>(bookmark.data() + 4) == FStore->Epoch() && FStore->IsLive(id);
}

void TClientDataSet::InternalGotoBookmark(const TBookmark& bookmark) {
    std::uint32_t id = 0;
    if (!DecodeBookmark(bookmark, id)) DatabaseError(DBConsts::SRecordNotFound, this);
    SetCursorTo(id);
}

void TClientDataSet::InternalSetToRecord(TRecordBuffer buffer) {
    std::uint32_t id = RecordIdOf(buffer);
    if (FStore && id < FStore->IdCount()) SetCursorTo(id);
}

bool TClientDataSet::BookmarkValid(const TBookmark& bookmark) {
    std::uint32_t id = 0;
    return DecodeBookmark(bookmark, id);
}

Integer TClientDataSet::CompareBookmarks(const TBookmark& bookmark1, const TBookmark& bookmark2) {
    std::uint32_t id1 = 0;
    std::uint32_t id2 = 0;
    bool valid1 = DecodeBookmark(bookmark1, id1);
    bool valid2 = DecodeBookmark(bookmark2, id2);
    if (!valid1 || !valid2) return valid1 == valid2 ? 0 : valid1 ? -1 : 1;
    return FStore->Compare(*FIndex, FStore->Image(id1), FStore->Image(id2));
}

} // namespace mv
