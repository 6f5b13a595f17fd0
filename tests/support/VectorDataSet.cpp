// The test data set over a vector of rows: buffers, cursor, native conversions, blobs.
#include "support/VectorDataSet.h"

#include "platform/db/FieldBuffers.h"
#include "platform/db/DBConsts.h"
#include "platform/rtl/Bcd.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/SqlTimeStamp.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Utf8.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>

namespace mv::test {

namespace {

constexpr std::size_t HeaderSize = 16; // THeader, padded so the Variants are aligned
constexpr double MSecsPerDayValue = 86400000.0;

template <typename T> void Put(void* buffer, T value) {
    std::memcpy(buffer, &value, sizeof value);
}

template <typename T> T Take(const void* buffer) {
    T value;
    std::memcpy(&value, buffer, sizeof value);
    return value;
}

bool IsMemoType(TFieldType type) {
    return type == ftMemo || type == ftFmtMemo || type == ftOraClob;
}

std::vector<Byte> SlotToBytes(const TField* field, const Variant& slot) {
    if (VarIsNull(slot) || VarIsEmpty(slot)) return {};
    String text = VarToStr(slot);
    if (IsMemoType(field->DataType())) {
        std::string utf8 = UTF8Encode(text);
        return std::vector<Byte>(utf8.begin(), utf8.end());
    }
    if (field->DataType() == ftWideMemo) {
        std::vector<Byte> bytes(text.size() * sizeof(Char));
        std::memcpy(bytes.data(), text.data(), bytes.size());
        return bytes;
    }
    return std::vector<Byte>(text.begin(), text.end());
}

Variant BytesToSlot(const TField* field, const Byte* data, std::size_t size) {
    if (size == 0) return Null();
    if (IsMemoType(field->DataType()))
        return UTF8ToString(std::string_view(reinterpret_cast<const char*>(data), size));
    if (field->DataType() == ftWideMemo) {
        String text(size / 2, u'\0');
        std::memcpy(text.data(), data, text.size() * sizeof(Char));
        return text;
    }
    return String(data, data + size);
}

// Reads the blob slot when opened; writes back when it was opened for writing.
class TVectorBlobStream : public TMemoryStream {
public:
    TVectorBlobStream(TVectorDataSet* dataSet, TField* field, TBlobStreamMode mode)
        : FDataSet(dataSet), FField(field), FMode(mode) {
        FSlot = dataSet->ActiveSlot(field);
        if (mode != bmWrite && FSlot != nullptr) {
            std::vector<Byte> bytes = SlotToBytes(field, *FSlot);
            if (!bytes.empty()) Write(bytes.data(), static_cast<Integer>(bytes.size()));
            SetPosition(0);
        }
    }
    ~TVectorBlobStream() override {
        if (FMode == bmRead || FSlot == nullptr) return;
        *FSlot = BytesToSlot(FField, static_cast<const Byte*>(Memory()), static_cast<std::size_t>(GetSize()));
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
    TVectorDataSet* FDataSet;
    TField* FField;
    TBlobStreamMode FMode;
    Variant* FSlot = nullptr;
};

// Binds filter names to the data set's flat field list.
class TFieldResolver : public TFilterFieldResolver {
public:
    explicit TFieldResolver(const TFieldList& fields) : FFields(fields) {}
    Integer FieldIndex(StringView name) const override {
        TField* field = FFields.Find(name);
        return field ? FFields.IndexOf(field) : -1;
    }
    TFilterValueKind FieldValueKind(Integer index) const override {
        return FilterValueKindOf(FFields[index]->DataType());
    }

private:
    const TFieldList& FFields;
};

// The record in the filter buffer, read through the fields (state dsFilter).
class TFieldRecord : public TFilterRecord {
public:
    explicit TFieldRecord(const TFieldList& fields) : FFields(fields) {}
    Variant FieldValue(Integer index) const override { return FFields[index]->Value(); }

private:
    const TFieldList& FFields;
};

} // namespace

TVectorDataSet::TVectorDataSet(TComponent* owner) : TDataSet(owner) {}

TVectorDataSet::~TVectorDataSet() {
    Close();
}

void TVectorDataSet::AddRow(TRow row) {
    CheckInactive();
    FRows.push_back(std::move(row));
    FIds.push_back(++FNextId);
}

// -- Buffers ---------------------------------------------------------------------------

Integer TVectorDataSet::GetRecordSize() const {
    return static_cast<Integer>(HeaderSize + static_cast<std::size_t>(FSlotCount) * sizeof(Variant));
}

TRecordBuffer TVectorDataSet::AllocRecordBuffer() {
    auto* buffer = static_cast<TRecordBuffer>(::operator new(static_cast<std::size_t>(GetRecordSize())));
    std::memset(buffer, 0, HeaderSize);
    Header(buffer) = THeader{-1, 0, bfCurrent};
    Variant* slots = Slots(buffer);
    for (Integer i = 0; i < FSlotCount; ++i)
        new (&slots[i]) Variant();
    return buffer;
}

void TVectorDataSet::FreeRecordBuffer(TRecordBuffer& buffer) {
    Variant* slots = Slots(buffer);
    for (Integer i = 0; i < FSlotCount; ++i)
        slots[i].~Variant();
    ::operator delete(buffer);
    buffer = nullptr;
}

Variant* TVectorDataSet::Slots(TRecordBuffer buffer) const {
    return std::launder(reinterpret_cast<Variant*>(buffer + HeaderSize));
}

Integer TVectorDataSet::SlotOf(const TField* field) const {
    if (field->FieldNo() > 0) return field->FieldNo() - 1;
    auto it = FCalcSlots.find(field);
    return it == FCalcSlots.end() ? -1 : it->second;
}

Variant* TVectorDataSet::ActiveSlot(TField* field) {
    TRecordBuffer buffer = GetActiveRecordBuffer();
    Integer slot = SlotOf(field);
    return buffer != nullptr && slot >= 0 ? &Slots(buffer)[slot] : nullptr;
}

void TVectorDataSet::InternalInitRecord(TRecordBuffer buffer) {
    Header(buffer).Row = -1;
    Header(buffer).Id = 0;
    Variant* slots = Slots(buffer);
    for (Integer i = 0; i < FSlotCount; ++i)
        slots[i] = Null();
}

void TVectorDataSet::ClearCalcFields(TRecordBuffer buffer) {
    Variant* slots = Slots(buffer);
    for (Integer i = FDataSlots; i < FSlotCount; ++i)
        slots[i] = Null();
}

// -- Opening ---------------------------------------------------------------------------

void TVectorDataSet::InternalInitFieldDefs() {
    InitFieldDefsFromFields();
}

void TVectorDataSet::InternalOpen() {
    FieldDefs()->SetUpdated(false);
    FieldDefs()->Update();
    if (DefaultFields()) CreateFields();
    BindFields(true);
    FDataSlots = FieldDefList().Count();
    FCalcSlots.clear();
    Integer slot = FDataSlots;
    for (TField* field : FieldList())
        if (field->FieldKind() == fkCalculated || field->FieldKind() == fkLookup) FCalcSlots[field] = slot++;
    FSlotCount = slot;
    SetBookmarkSize(static_cast<Integer>(sizeof(Integer)));
    FCursor = -1;
    FOpen = true;
    CompileFilter();
}

void TVectorDataSet::InternalClose() {
    BindFields(false);
    if (DefaultFields()) DestroyFields();
    FCalcSlots.clear();
    FOpen = false;
}

// -- Cursor and records ----------------------------------------------------------------

TGetResult TVectorDataSet::GetRecord(TRecordBuffer buffer, TGetMode getMode, bool doCheck) {
    ++FGetRecordCalls;
    auto count = static_cast<Integer>(FRows.size());
    try {
        for (;;) {
            Integer row = FCursor + (getMode == gmNext ? 1 : getMode == gmPrior ? -1 : 0);
            if (row < 0) {
                FCursor = -1;
                return grBOF;
            }
            if (row >= count) {
                FCursor = count;
                return grEOF;
            }
            FCursor = row;
            THeader& header = Header(buffer);
            header = THeader{row, FIds[static_cast<std::size_t>(row)], bfCurrent};
            Variant* slots = Slots(buffer);
            const TRow& values = FRows[static_cast<std::size_t>(row)];
            for (Integer i = 0; i < FDataSlots; ++i)
                slots[i] = static_cast<std::size_t>(i) < values.size() ? values[static_cast<std::size_t>(i)]
                                                                       : Null();
            GetCalcFields(buffer);
            if (FilterRecord(buffer)) return grOK;
            if (getMode == gmCurrent) return grError;
        }
    } catch (...) {
        if (doCheck) throw;
        return grError;
    }
}

Integer TVectorDataSet::RowOfId(Integer id) const {
    for (std::size_t i = 0; i < FIds.size(); ++i)
        if (FIds[i] == id) return static_cast<Integer>(i);
    return -1;
}

void TVectorDataSet::InternalGotoBookmark(const TBookmark& bookmark) {
    Integer row = bookmark.size() == sizeof(Integer) ? RowOfId(Take<Integer>(bookmark.data())) : -1;
    if (row < 0) DatabaseError(DBConsts::SRecordNotFound, this);
    FCursor = row;
}

void TVectorDataSet::InternalSetToRecord(TRecordBuffer buffer) {
    Integer row = RowOfId(Header(buffer).Id);
    if (row >= 0) FCursor = row;
}

void TVectorDataSet::GetBookmarkData(TRecordBuffer buffer, TBookmark& data) const {
    data.resize(sizeof(Integer));
    Put(data.data(), Header(buffer).Id);
}

void TVectorDataSet::SetBookmarkData(TRecordBuffer buffer, const TBookmark& data) {
    Header(buffer).Id = data.size() == sizeof(Integer) ? Take<Integer>(data.data()) : 0;
}

TBookmarkFlag TVectorDataSet::GetBookmarkFlag(TRecordBuffer buffer) const {
    return Header(buffer).Flag;
}

void TVectorDataSet::SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag value) {
    Header(buffer).Flag = value;
}

bool TVectorDataSet::BookmarkValid(const TBookmark& bookmark) {
    return bookmark.size() == sizeof(Integer) && RowOfId(Take<Integer>(bookmark.data())) >= 0;
}

Integer TVectorDataSet::CompareBookmarks(const TBookmark& bookmark1, const TBookmark& bookmark2) {
    if (bookmark1.empty() || bookmark2.empty())
        return bookmark1.empty() == bookmark2.empty() ? 0 : bookmark1.empty() ? 1 : -1;
    Integer row1 = RowOfId(Take<Integer>(bookmark1.data()));
    Integer row2 = RowOfId(Take<Integer>(bookmark2.data()));
    return row1 < row2 ? -1 : row1 > row2 ? 1 : 0;
}

Integer TVectorDataSet::GetRecNo() const {
    TRecordBuffer buffer = State() == dsCalcFields ? CalcBuffer() : ActiveBuffer();
    if (buffer == nullptr || IsEmpty() || GetBookmarkFlag(buffer) != bfCurrent) return -1;
    return RowOfId(Header(buffer).Id) + 1;
}

void TVectorDataSet::SetRecNoValue(Integer value) {
    CheckBrowseMode();
    if (value == GetRecNo()) return;
    DoBeforeScroll();
    FCursor = value - 1;
    Resync({rmCenter});
    DoAfterScroll();
}

// -- Field data ------------------------------------------------------------------------

bool TVectorDataSet::GetFieldData(TField* field, void* buffer) {
    Variant* slot = ActiveSlot(field);
    if (slot == nullptr || VarIsNull(*slot) || VarIsEmpty(*slot)) return false;
    if (BlobFieldTypes.Contains(field->DataType())) return !VarToStr(*slot).empty();
    if (buffer != nullptr) VariantToNative(field, *slot, buffer);
    return true;
}

void TVectorDataSet::SetFieldData(TField* field, const void* buffer) {
    if (!dsWriteModes.Contains(State())) DatabaseError(DBConsts::SNotEditing, this);
    Variant* slot = ActiveSlot(field);
    if (slot == nullptr) return;
    if (field->FieldNo() > 0) {
        if (field->ReadOnly() && State() != dsSetKey && State() != dsFilter)
            DatabaseErrorFmt(DBConsts::SFieldReadOnly, {field->DisplayName()});
        field->Validate(buffer);
    }
    *slot = buffer == nullptr ? Null() : NativeToVariant(field, buffer);
    TDataSetState state = State();
    if (state != dsCalcFields && state != dsFilter && state != dsNewValue && state != dsInternalCalc)
        DataEvent(deFieldChange, reinterpret_cast<NativeInt>(field));
}

std::unique_ptr<TStream> TVectorDataSet::CreateBlobStream(TField* field, TBlobStreamMode mode) {
    if (mode != bmRead && !dsWriteModes.Contains(State())) DatabaseError(DBConsts::SNotEditing, this);
    return std::make_unique<TVectorBlobStream>(this, field, mode);
}

// -- Changes ---------------------------------------------------------------------------

void TVectorDataSet::InsertRow(Integer at, TRecordBuffer buffer) {
    Variant* slots = Slots(buffer);
    TRow row(slots, slots + FDataSlots);
    FRows.insert(FRows.begin() + at, std::move(row));
    FIds.insert(FIds.begin() + at, ++FNextId);
    Header(buffer).Id = FNextId;
    FCursor = at;
}

void TVectorDataSet::InternalPost() {
    TDataSet::InternalPost();
    TRecordBuffer buffer = ActiveBuffer();
    if (State() == dsEdit) {
        Integer row = RowOfId(Header(buffer).Id);
        if (row < 0) DatabaseError(DBConsts::SRecordNotFound, this);
        Variant* slots = Slots(buffer);
        FRows[static_cast<std::size_t>(row)].assign(slots, slots + FDataSlots);
        FCursor = row;
        return;
    }
    // A new record goes in front of the record its bookmark names, or at an end.
    auto count = static_cast<Integer>(FRows.size());
    Integer at = count;
    switch (GetBookmarkFlag(buffer)) {
    case bfBOF:
        at = 0;
        break;
    case bfEOF:
        at = count;
        break;
    default: {
        Integer row = RowOfId(Header(buffer).Id);
        at = row >= 0 ? row : count;
        break;
    }
    }
    InsertRow(at, buffer);
}

void TVectorDataSet::InternalAddRecord(TRecordBuffer buffer, bool append) {
    auto count = static_cast<Integer>(FRows.size());
    InsertRow(append ? count : std::clamp(FCursor, 0, count), buffer);
}

void TVectorDataSet::InternalDelete() {
    Integer row = RowOfId(Header(ActiveBuffer()).Id);
    if (row < 0) DatabaseError(DBConsts::SRecordNotFound, this);
    FRows.erase(FRows.begin() + row);
    FIds.erase(FIds.begin() + row);
    FCursor = row;
}

// -- Filtering -------------------------------------------------------------------------

void TVectorDataSet::CompileFilter() {
    if (!FOpen) return;
    FFilterExpression = TFilterExpression(Filter(), FilterOptions(), TFieldResolver(FieldList()));
}

bool TVectorDataSet::FilterExpressionAccepts() {
    return FFilterExpression.Evaluate(TFieldRecord(FieldList()));
}

void TVectorDataSet::SetFilterText(const String& value) {
    TDataSet::SetFilterText(value);
    CompileFilter();
    if (Active() && Filtered()) First();
}

void TVectorDataSet::SetFilterOptions(TFilterOptions value) {
    TDataSet::SetFilterOptions(value);
    CompileFilter();
    if (Active() && Filtered()) First();
}

void TVectorDataSet::SetFiltered(bool value) {
    if (value == Filtered()) return;
    if (Active()) CheckBrowseMode();
    TDataSet::SetFiltered(value);
    if (Active()) First();
}

} // namespace mv::test
