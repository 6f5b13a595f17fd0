// Binary fields (fixed and variable byte arrays in the record) and blob fields (through
// the data set's blob streams).
#include "platform/db/Fields.h"

#include "platform/db/DBConsts.h"
#include "platform/db/DataSet.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Utf8.h"

#include <cstdint>
#include <cstring>

namespace mv {

namespace {

// Binary values as text: one character per byte, so they round-trip.
String BytesAsChars(const std::vector<Byte>& bytes) {
    return String(bytes.begin(), bytes.end());
}

std::vector<Byte> CharsAsBytes(StringView text) {
    std::vector<Byte> bytes(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        bytes[i] = static_cast<Byte>(text[i]);
    return bytes;
}

std::unique_ptr<TStream> OpenBlobStream(const TField* field, TBlobStreamMode mode) {
    if (field->DataSet() == nullptr) DatabaseErrorFmt(DBConsts::SDataSetMissing, {field->DisplayName()});
    std::unique_ptr<TStream> stream = field->DataSet()->CreateBlobStream(const_cast<TField*>(field), mode);
    if (!stream) DatabaseErrorFmt(DBConsts::SFieldAccessError, {field->DisplayName(), u"Blob"});
    return stream;
}

// The whole stored value of a blob-like field, and its replacement.
std::vector<Byte> ReadBlobBytes(const TField* field) {
    std::unique_ptr<TStream> stream = OpenBlobStream(field, bmRead);
    std::vector<Byte> bytes(static_cast<std::size_t>(stream->GetSize()));
    stream->SetPosition(0);
    if (!bytes.empty()) stream->ReadBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
    return bytes;
}

void WriteBlobBytes(const TField* field, const std::vector<Byte>& value) {
    std::unique_ptr<TStream> stream = OpenBlobStream(field, bmWrite);
    if (!value.empty()) stream->WriteBuffer(value.data(), static_cast<Integer>(value.size()));
}

} // namespace

// ======================================================================================
// [SECTION] TBinaryField, TBytesField, TVarBytesField
// ======================================================================================

TBinaryField::TBinaryField(TComponent* owner) : TField(owner) {}

void TBinaryField::CheckTypeSize(Integer value) const {
    if (value <= 0 || value > 65535) DatabaseError(DBConsts::SInvalidFieldSize);
}

std::vector<Byte> TBinaryField::GetAsBytes() const {
    std::vector<Byte> buffer(static_cast<std::size_t>(DataSize()));
    if (!GetData(buffer.data())) return {};
    if (DataType() != ftVarBytes) return buffer;
    std::uint16_t length;
    std::memcpy(&length, buffer.data(), sizeof length);
    length = static_cast<std::uint16_t>(std::min<Integer>(length, Size()));
    return std::vector<Byte>(buffer.begin() + 2, buffer.begin() + 2 + length);
}

void TBinaryField::SetAsBytes(const std::vector<Byte>& value) {
    std::vector<Byte> buffer(static_cast<std::size_t>(DataSize()));
    std::size_t length = std::min(value.size(), static_cast<std::size_t>(Size()));
    if (DataType() == ftVarBytes) {
        auto stored = static_cast<std::uint16_t>(length);
        std::memcpy(buffer.data(), &stored, sizeof stored);
        std::memcpy(buffer.data() + 2, value.data(), length);
    } else {
        std::memcpy(buffer.data(), value.data(), length);
    }
    SetData(buffer.data());
}

String TBinaryField::GetAsString() const {
    return BytesAsChars(GetAsBytes());
}

void TBinaryField::SetAsString(const String& value) {
    SetAsBytes(CharsAsBytes(value));
}

Variant TBinaryField::GetAsVariant() const {
    return IsNull() ? Null() : Variant(GetAsString());
}

void TBinaryField::SetVarValue(const Variant& value) {
    SetAsString(VarToStr(value));
}

void TBinaryField::GetText(String& text, bool) const {
    text = GetClassDesc();
}

TBytesField::TBytesField(TComponent* owner) : TBinaryField(owner) {
    SetDataType(ftBytes);
    SetSize(16);
}

TVarBytesField::TVarBytesField(TComponent* owner) : TBinaryField(owner) {
    SetDataType(ftVarBytes);
    SetSize(16);
}

// ======================================================================================
// [SECTION] TBlobField, TMemoField, TWideMemoField, TGraphicField
// ======================================================================================

TBlobField::TBlobField(TComponent* owner) : TField(owner) {
    SetDataType(ftBlob);
}

void TBlobField::SetBlobType(TFieldType value) {
    CheckInactive();
    SetDataType(value);
}

void TBlobField::CheckTypeSize(Integer value) const {
    if (value < 0) DatabaseError(DBConsts::SInvalidFieldSize);
}

Integer TBlobField::BlobSize() const {
    return static_cast<Integer>(OpenBlobStream(this, bmRead)->GetSize());
}

std::vector<Byte> TBlobField::GetAsBytes() const {
    return ReadBlobBytes(this);
}

void TBlobField::SetAsBytes(const std::vector<Byte>& value) {
    WriteBlobBytes(this, value);
    FModified = true;
}

void TBlobField::Clear() {
    OpenBlobStream(this, bmWrite);
    FModified = true;
}

void TBlobField::LoadFromStream(TStream& stream) {
    std::unique_ptr<TStream> blob = OpenBlobStream(this, bmWrite);
    stream.SetPosition(0);
    blob->CopyFrom(stream, 0);
    FModified = true;
}

void TBlobField::SaveToStream(TStream& stream) const {
    std::unique_ptr<TStream> blob = OpenBlobStream(this, bmRead);
    if (blob->GetSize() > 0) stream.CopyFrom(*blob, 0);
}

String TBlobField::GetAsString() const {
    return BytesToText(GetAsBytes());
}

void TBlobField::SetAsString(const String& value) {
    SetAsBytes(TextToBytes(value));
}

Variant TBlobField::GetAsVariant() const {
    return IsNull() ? Null() : Variant(GetAsString());
}

void TBlobField::SetVarValue(const Variant& value) {
    SetAsString(VarToStr(value));
}

void TBlobField::GetText(String& text, bool) const {
    text = GetClassDesc();
}

String TBlobField::GetClassDesc() const {
    String name = DataType() == ftGraphic                                                       ? u"Graphic"
                  : DataType() == ftMemo || DataType() == ftFmtMemo || DataType() == ftWideMemo ? u"Memo"
                                                                                                : u"Blob";
    String result = u"(" + name + u")";
    if (IsNull()) return result;
    for (Char& c : result)
        if (c >= u'a' && c <= u'z') c = static_cast<Char>(c - u'a' + u'A');
    return result;
}

String TBlobField::BytesToText(const std::vector<Byte>& bytes) const {
    return BytesAsChars(bytes);
}

std::vector<Byte> TBlobField::TextToBytes(StringView text) const {
    return CharsAsBytes(text);
}

TMemoField::TMemoField(TComponent* owner) : TBlobField(owner) {
    SetDataType(ftMemo);
}

String TMemoField::BytesToText(const std::vector<Byte>& bytes) const {
    return UTF8ToString(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::vector<Byte> TMemoField::TextToBytes(StringView text) const {
    std::string utf8 = UTF8Encode(text);
    return std::vector<Byte>(utf8.begin(), utf8.end());
}

TWideMemoField::TWideMemoField(TComponent* owner) : TBlobField(owner) {
    SetDataType(ftWideMemo);
}

String TWideMemoField::BytesToText(const std::vector<Byte>& bytes) const {
    String text(bytes.size() / 2, u'\0');
    std::memcpy(text.data(), bytes.data(), text.size() * sizeof(Char));
    return text;
}

std::vector<Byte> TWideMemoField::TextToBytes(StringView text) const {
    std::vector<Byte> bytes(text.size() * sizeof(Char));
    std::memcpy(bytes.data(), text.data(), bytes.size());
    return bytes;
}

TGraphicField::TGraphicField(TComponent* owner) : TBlobField(owner) {
    SetDataType(ftGraphic);
}

// ======================================================================================
// [SECTION] TReferenceField
// ======================================================================================

TReferenceField::TReferenceField(TComponent* owner) : TDataSetField(owner) {
    SetDataType(ftReference);
}

std::vector<Byte> TReferenceField::GetAsBytes() const {
    return ReadBlobBytes(this);
}

void TReferenceField::SetAsBytes(const std::vector<Byte>& value) {
    WriteBlobBytes(this, value);
}

void TReferenceField::Clear() {
    OpenBlobStream(this, bmWrite);
}

Variant TReferenceField::GetAsVariant() const {
    return IsNull() ? Null() : Variant(BytesAsChars(GetAsBytes()));
}

void TReferenceField::SetVarValue(const Variant& value) {
    SetAsBytes(CharsAsBytes(VarToStr(value)));
}

} // namespace mv
