// Text fields: TStringField (UTF-8 buffer), TWideStringField (UTF-16 buffer), TGuidField.
#include "platform/db/Fields.h"

#include "platform/db/DBConsts.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/Utf8.h"

#include <cstring>

namespace mv {

namespace {

// dsMaxStringSize of the framework: the longest text a string field holds.
constexpr Integer MaxStringSize = 8192;

// Length of the longest prefix of utf8 that fits into limit bytes without cutting a
// character (continuation bytes are 10xxxxxx).
std::size_t FittingUtf8Length(const std::string& utf8, std::size_t limit) {
    if (utf8.size() <= limit) return utf8.size();
    std::size_t length = limit;
    while (length > 0 && (static_cast<unsigned char>(utf8[length]) & 0xC0) == 0x80)
        --length;
    return length;
}

// A scratch buffer on the stack for the usual sizes, on the heap beyond.
class TScratch {
public:
    explicit TScratch(std::size_t size) {
        if (size > sizeof(FLocal)) {
            FHeap.resize(size);
            FData = FHeap.data();
        }
        std::memset(FData, 0, size);
    }
    Byte* Data() { return FData; }

private:
    alignas(8) Byte FLocal[512];
    std::vector<Byte> FHeap;
    Byte* FData = FLocal;
};

bool IsHexDigit(Char c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}"
bool IsGuidText(StringView text) {
    if (text.size() != 38 || text.front() != u'{' || text.back() != u'}') return false;
    for (std::size_t i = 1; i < 37; ++i) {
        bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? text[i] != u'-' : !IsHexDigit(text[i])) return false;
    }
    return true;
}

} // namespace

// ======================================================================================
// [SECTION] TStringField
// ======================================================================================

TStringField::TStringField(TComponent* owner) : TField(owner) {
    SetDataType(ftString);
    SetSize(20);
}

void TStringField::SetFixedChar(bool value) {
    CheckInactive();
    bool wide = DataType() == ftWideString || DataType() == ftFixedWideChar;
    if (wide)
        SetDataType(value ? ftFixedWideChar : ftWideString);
    else if (DataType() == ftString || DataType() == ftFixedChar)
        SetDataType(value ? ftFixedChar : ftString);
}

void TStringField::CheckTypeSize(Integer value) const {
    if (value < 0 || value > MaxStringSize) DatabaseError(DBConsts::SInvalidFieldSize);
}

bool TStringField::GetValue(String& value) const {
    TScratch buffer(static_cast<std::size_t>(DataSize()));
    if (!GetData(buffer.Data())) return false;
    auto* text = reinterpret_cast<const char*>(buffer.Data());
    value = UTF8ToString(std::string_view(text, strnlen(text, static_cast<std::size_t>(Size()))));
    if (FixedChar()) value = TrimRight(value);
    return true;
}

String TStringField::GetAsString() const {
    String value;
    return GetValue(value) ? value : String();
}

void TStringField::SetAsString(const String& value) {
    std::string utf8 = UTF8Encode(value);
    std::size_t length = FittingUtf8Length(utf8, static_cast<std::size_t>(Size()));
    TScratch buffer(static_cast<std::size_t>(DataSize()));
    std::memcpy(buffer.Data(), utf8.data(), length);
    SetData(buffer.Data());
}

Integer TStringField::GetAsInteger() const {
    return StrToInt(GetAsString());
}
Int64 TStringField::GetAsLargeInt() const {
    return StrToInt64(GetAsString());
}
double TStringField::GetAsFloat() const {
    return StrToFloat(GetAsString());
}

bool TStringField::GetAsBoolean() const {
    String text = GetAsString();
    return !text.empty() && (text[0] == u'T' || text[0] == u't' || text[0] == u'Y' || text[0] == u'y');
}

TDateTime TStringField::GetAsDateTime() const {
    return StrToDateTime(GetAsString());
}

void TStringField::SetAsInteger(Integer value) {
    SetAsString(IntToStr(value));
}
void TStringField::SetAsLargeInt(Int64 value) {
    SetAsString(IntToStr(value));
}
void TStringField::SetAsFloat(double value) {
    SetAsString(FloatToStr(value));
}
void TStringField::SetAsBoolean(bool value) {
    SetAsString(value ? DBConsts::STextTrue : DBConsts::STextFalse);
}
void TStringField::SetAsDateTime(TDateTime value) {
    SetAsString(DateTimeToStr(value));
}

Variant TStringField::GetAsVariant() const {
    String value;
    return GetValue(value) ? Variant(std::move(value)) : Null();
}

void TStringField::SetVarValue(const Variant& value) {
    SetAsString(VarToStr(value));
}

// ======================================================================================
// [SECTION] TWideStringField
// ======================================================================================

TWideStringField::TWideStringField(TComponent* owner) : TStringField(owner) {
    SetDataType(ftWideString);
}

bool TWideStringField::GetValue(String& value) const {
    TScratch buffer(static_cast<std::size_t>(DataSize()));
    if (!GetData(buffer.Data())) return false;
    auto* text = reinterpret_cast<const Char*>(buffer.Data());
    std::size_t length = 0;
    while (length < static_cast<std::size_t>(Size()) && text[length] != 0)
        ++length;
    value.assign(text, length);
    if (FixedChar()) value = TrimRight(value);
    return true;
}

void TWideStringField::SetAsString(const String& value) {
    std::size_t length = std::min(value.size(), static_cast<std::size_t>(Size()));
    // Never keep half of a surrogate pair.
    if (length > 0 && length < value.size() && value[length - 1] >= 0xD800 && value[length - 1] <= 0xDBFF)
        --length;
    TScratch buffer(static_cast<std::size_t>(DataSize()));
    std::memcpy(buffer.Data(), value.data(), length * sizeof(Char));
    SetData(buffer.Data());
}

// ======================================================================================
// [SECTION] TGuidField
// ======================================================================================

TGuidField::TGuidField(TComponent* owner) : TStringField(owner) {
    SetDataType(ftGuid);
    SetSize(38);
}

void TGuidField::CheckTypeSize(Integer value) const {
    if (value != 38) DatabaseError(DBConsts::SInvalidFieldSize);
}

void TGuidField::SetAsString(const String& value) {
    if (value.empty()) {
        Clear();
        return;
    }
    if (!IsGuidText(value)) throw EConvertError(Format(DBConsts::SInvalidGuidValue, {value, DisplayName()}));
    TStringField::SetAsString(value);
}

} // namespace mv
