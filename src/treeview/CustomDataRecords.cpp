// TMvDBCustomData: record buffers, bookmarks, fetching records through the filter loop,
// and field values in and out of the native buffers. See MvDBCustData.h for the layout.
//
// [SECTION] Buffers and bookmarks   AllocRecordBuffer, FreeRecordBuffer, InternalInitRecord,
//                                   ClearCalcFields, Get/SetBookmarkData, Get/SetBookmarkFlag,
//                                   InternalGotoBookmark, InternalSetToRecord,
//                                   BookmarkValid, CompareBookmarks
// [SECTION] Fetching                GetRecord, InternalGetRecord
// [SECTION] Field data              GetRecordBuffer, GetFieldData, SetFieldData
#include "treeview/MvDBCustData.h"

#include "platform/db/DBConsts.h"
#include "platform/rtl/Utf8.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace mv {

namespace {

constexpr std::size_t FlagOffset = sizeof(Integer);

Integer ReadIndex(const Byte* data) {
    Integer index;
    std::memcpy(&index, data, sizeof index);
    return index;
}

void WriteIndex(Byte* data, Integer index) {
    std::memcpy(data, &index, sizeof index);
}

bool IsHighSurrogate(Char c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

// The value into the field's native buffer. The caller has checked the type.
void StoreValue(const TField* field, const Variant& value, void* buffer) {
    auto size = static_cast<std::size_t>(std::max(field->Size(), 0));
    switch (field->DataType()) {
    case ftString:
    case ftFixedChar:
    case ftGuid: {
        // Our 8-bit text is UTF-8 (the string fields' native format): cut at a character.
        std::string text = UTF8Encode(VarToStr(value));
        std::size_t length = std::min(text.size(), size);
        while (length > 0 && length < text.size() &&
               (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            --length;
        std::memcpy(buffer, text.data(), length);
        static_cast<char*>(buffer)[length] = 0;
        return;
    }
    case ftWideString:
    case ftFixedWideChar: {
        String text = VarToStr(value);
        std::size_t length = std::min(text.size(), size);
        if (length > 0 && length < text.size() && IsHighSurrogate(text[length - 1])) --length;
        std::memcpy(buffer, text.data(), length * sizeof(Char));
        static_cast<Char*>(buffer)[length] = 0;
        return;
    }
    case ftInteger:
    case ftAutoInc: {
        Integer number = value.AsInteger();
        std::memcpy(buffer, &number, sizeof number);
        return;
    }
    default:
        return;
    }
}

Variant LoadValue(const TField* field, const void* buffer) {
    switch (field->DataType()) {
    case ftString:
    case ftFixedChar:
    case ftGuid: {
        auto* text = static_cast<const char*>(buffer);
        return UTF8ToString(
            std::string_view(text, strnlen(text, static_cast<std::size_t>(field->DataSize()))));
    }
    case ftWideString:
    case ftFixedWideChar: {
        auto* text = static_cast<const Char*>(buffer);
        auto limit = static_cast<std::size_t>(std::max(field->Size(), 0)) + 1;
        std::size_t length = 0;
        while (length < limit && text[length] != 0)
            ++length;
        return String(text, length);
    }
    case ftInteger:
    case ftAutoInc: {
        Integer number;
        std::memcpy(&number, buffer, sizeof number);
        return number;
    }
    default:
        return Null();
    }
}

bool IsSupportedType(TFieldType type) {
    switch (type) {
    case ftString:
    case ftFixedChar:
    case ftGuid:
    case ftWideString:
    case ftFixedWideChar:
    case ftInteger:
    case ftAutoInc:
        return true;
    default:
        return false;
    }
}

} // namespace

// ======================================================================================
// [SECTION] Buffers and bookmarks
// ======================================================================================

Variant* TMvDBCustomData::Slots(TRecordBuffer buffer) const {
    return std::launder(reinterpret_cast<Variant*>(buffer + SlotsOffset));
}

void TMvDBCustomData::LayOutSlots() {
    const TFieldList& fields = FieldList();
    FSlotFields.assign(fields.begin(), fields.end());
}

Variant* TMvDBCustomData::SlotOf(TRecordBuffer buffer, const TField* field) {
    if (buffer == nullptr) return nullptr;
    auto found = std::find(FSlotFields.begin(), FSlotFields.end(), field);
    auto slot = found - FSlotFields.begin();
    return found != FSlotFields.end() && slot < FSlotCount ? &Slots(buffer)[slot] : nullptr;
}

TRecordBuffer TMvDBCustomData::AllocRecordBuffer() {
    auto size = static_cast<std::size_t>(std::max<Integer>(FRecordSize, static_cast<Integer>(SlotsOffset)));
    auto* buffer = static_cast<TRecordBuffer>(::operator new(size));
    std::memset(buffer, 0, size);
    Variant* slots = Slots(buffer);
    for (Integer i = 0; i < FSlotCount; ++i)
        new (&slots[i]) Variant();
    return buffer;
}

void TMvDBCustomData::FreeRecordBuffer(TRecordBuffer& buffer) {
    Variant* slots = Slots(buffer);
    for (Integer i = 0; i < FSlotCount; ++i)
        slots[i].~Variant();
    ::operator delete(buffer);
    buffer = nullptr;
}

void TMvDBCustomData::InternalInitRecord(TRecordBuffer buffer) {
    Variant* slots = Slots(buffer);
    for (Integer i = 0; i < FSlotCount; ++i)
        slots[i] = Null();
}

void TMvDBCustomData::ClearCalcFields(TRecordBuffer buffer) {
    if (CalcFieldsSize() <= 0) return;
    for (TField* field : FSlotFields) {
        if (field->FieldKind() != fkCalculated && field->FieldKind() != fkLookup) continue;
        if (Variant* slot = SlotOf(buffer, field)) *slot = Null();
    }
}

void TMvDBCustomData::GetBookmarkData(TRecordBuffer buffer, TBookmark& data) const {
    data.resize(sizeof(Integer));
    WriteIndex(data.data(), ReadIndex(buffer));
}

void TMvDBCustomData::SetBookmarkData(TRecordBuffer buffer, const TBookmark& data) {
    if (data.size() >= sizeof(Integer)) WriteIndex(buffer, ReadIndex(data.data()));
}

TBookmarkFlag TMvDBCustomData::GetBookmarkFlag(TRecordBuffer buffer) const {
    return static_cast<TBookmarkFlag>(buffer[FlagOffset]);
}

void TMvDBCustomData::SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag value) {
    buffer[FlagOffset] = static_cast<Byte>(value);
}

void TMvDBCustomData::InternalGotoBookmark(const TBookmark& bookmark) {
    if (bookmark.size() < sizeof(Integer)) DatabaseError(DBConsts::SRecordNotFound, this);
    FRecordNumber = ReadIndex(bookmark.data());
}

void TMvDBCustomData::InternalSetToRecord(TRecordBuffer buffer) {
    FRecordNumber = ReadIndex(buffer);
}

bool TMvDBCustomData::BookmarkValid(const TBookmark& bookmark) {
    if (bookmark.size() < sizeof(Integer)) return false;
    Integer index = ReadIndex(bookmark.data());
    return index >= 0 && index < FRecordTotal;
}

Integer TMvDBCustomData::CompareBookmarks(const TBookmark& bookmark1, const TBookmark& bookmark2) {
    bool empty1 = bookmark1.size() < sizeof(Integer);
    bool empty2 = bookmark2.size() < sizeof(Integer);
    if (empty1 || empty2) return empty1 == empty2 ? 0 : empty1 ? 1 : -1;
    Integer index1 = ReadIndex(bookmark1.data());
    Integer index2 = ReadIndex(bookmark2.data());
    return index1 < index2 ? -1 : index1 > index2 ? 1 : 0;
}

// ======================================================================================
// [SECTION] Fetching
// ======================================================================================

TGetResult TMvDBCustomData::GetRecord(TRecordBuffer buffer, TGetMode getMode, bool doCheck) {
    bool filtering = Filtered() && OnFilterRecord;
    if (!filtering && !FLocating) return InternalGetRecord(buffer, getMode, doCheck);
    TRecordBuffer savedFilterBuffer = FFilterBuffer;
    FFilterBuffer = buffer;
    TDataSetState savedState = SetTempState(dsFilter);
    TGetResult result = grError;
    try {
        for (;;) {
            result = InternalGetRecord(buffer, getMode, doCheck);
            if (result != grOK) break;
            bool accept = true;
            if (FLocating) LocateFilter(accept);
            if (accept && Filtered() && OnFilterRecord) OnFilterRecord(this, accept);
            if (accept) break;
            if (getMode == gmCurrent) {
                result = grError;
                break;
            }
        }
    } catch (...) {
        try {
            InternalHandleException();
        } catch (...) {
            FFilterBuffer = savedFilterBuffer;
            RestoreState(savedState);
            throw;
        }
        result = grError;
    }
    FFilterBuffer = savedFilterBuffer;
    RestoreState(savedState);
    return result;
}

TGetResult TMvDBCustomData::InternalGetRecord(TRecordBuffer buffer, TGetMode getMode, bool doCheck) {
    try {
        Integer number = FRecordNumber + (getMode == gmNext ? 1 : getMode == gmPrior ? -1 : 0);
        if (number < 0) return grBOF;
        if (number >= FRecordTotal) return grEOF;
        FRecordNumber = number;
        WriteIndex(buffer, number);
        SetBookmarkFlag(buffer, bfCurrent);
        Variant* slots = Slots(buffer);
        for (Integer i = 0; i < FSlotCount; ++i)
            VarClear(slots[i]);
        GetCalcFields(buffer);
        return grOK;
    } catch (...) {
        if (doCheck) throw;
        return grError;
    }
}

// ======================================================================================
// [SECTION] Field data
// ======================================================================================

// The buffer of each state:
//   dsBrowse, dsBlockRead             none when the data set is empty, else the active buffer
//   dsEdit, dsInsert, dsNewValue      the active buffer
//   dsCalcFields, dsInternalCalc      the calculation buffer
//   dsFilter                          the filter buffer
//   any other                         none
bool TMvDBCustomData::GetRecordBuffer(TRecordBuffer& buffer) const {
    switch (State()) {
    case dsBrowse:
    case dsBlockRead:
        buffer = IsEmpty() ? nullptr : ActiveBuffer();
        break;
    case dsEdit:
    case dsInsert:
    case dsNewValue:
        buffer = ActiveBuffer();
        break;
    case dsCalcFields:
    case dsInternalCalc:
        buffer = CalcBuffer();
        break;
    case dsFilter:
        buffer = FFilterBuffer;
        break;
    default:
        buffer = nullptr;
        break;
    }
    return buffer != nullptr;
}

bool TMvDBCustomData::GetFieldData(TField* field, void* buffer) {
    return GetFieldData(field, buffer, true);
}

bool TMvDBCustomData::GetFieldData(TField* field, void* buffer, bool) {
    TRecordBuffer recordBuffer = nullptr;
    if (!GetRecordBuffer(recordBuffer)) return false;
    Variant* slot = SlotOf(recordBuffer, field);
    if (slot == nullptr) return false;
    if (VarIsEmpty(*slot) && field->FieldNo() > 0) {
        Variant value = Null();
        DoOnGetFieldData(GetIndex(recordBuffer), field, value);
        // Looked up again: the owner may have read other fields meanwhile.
        slot = SlotOf(recordBuffer, field);
        *slot = std::move(value);
    }
    if (VarIsNull(*slot)) return false;
    if (buffer == nullptr) return true;
    TFieldType type = field->DataType();
    if (type == ftUnknown) DatabaseErrorFmt(DBConsts::SUnknownFieldType, {field->DisplayName()}, this);
    if (!IsSupportedType(type))
        DatabaseErrorFmt(MvDBCustDataConsts::SUnsupportedFieldType,
                         {FieldTypeName(type), field->DisplayName()}, this);
    StoreValue(field, *slot, buffer);
    return true;
}

void TMvDBCustomData::SetFieldData(TField* field, const void* buffer) {
    SetFieldData(field, buffer, true);
}

void TMvDBCustomData::SetFieldData(TField* field, const void* buffer, bool) {
    TDataSetState state = State();
    if (!dsWriteModes.Contains(state)) DatabaseError(DBConsts::SNotEditing, this);
    TRecordBuffer recordBuffer = nullptr;
    GetRecordBuffer(recordBuffer);
    if (field->FieldNo() > 0) {
        if (field->ReadOnly() && state != dsSetKey && state != dsFilter)
            DatabaseErrorFmt(DBConsts::SFieldReadOnly, {field->DisplayName()});
        field->Validate(buffer);
        if (std::find(FModifiedFields.begin(), FModifiedFields.end(), field) == FModifiedFields.end())
            FModifiedFields.push_back(field);
    }
    Variant value = Null();
    if (buffer != nullptr) {
        TFieldType type = field->DataType();
        if (type == ftUnknown) DatabaseErrorFmt(DBConsts::SUnknownFieldType, {field->DisplayName()}, this);
        if (!IsSupportedType(type))
            DatabaseErrorFmt(MvDBCustDataConsts::SUnsupportedFieldType,
                             {FieldTypeName(type), field->DisplayName()});
        value = LoadValue(field, buffer);
    }
    if (Variant* slot = SlotOf(recordBuffer, field)) *slot = std::move(value);
    if (state != dsCalcFields && state != dsFilter && state != dsNewValue && state != dsInternalCalc)
        DataEvent(deFieldChange, reinterpret_cast<NativeInt>(field));
}

} // namespace mv
