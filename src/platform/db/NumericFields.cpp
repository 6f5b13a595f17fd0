// Numeric fields: integers of every width, large integers, floats and currency, BCD.
//
// [SECTION] TNumericField
// [SECTION] TIntegerField and its widths
// [SECTION] TLargeintField, TLongWordField
// [SECTION] TFloatField, TCurrencyField, TSingleField, TExtendedField
// [SECTION] TBCDField, TFMTBCDField
#include "platform/db/Fields.h"

#include "platform/db/DBConsts.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/StrUtils.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace mv {

namespace {

bool IsDigit(Char c) {
    return c >= u'0' && c <= u'9';
}

[[noreturn]] void RaiseInvalidInteger(const String& text, const TField* field) {
    throw EConvertError(Format(DBConsts::SInvalidIntegerValue, {text, field->DisplayName()}));
}

[[noreturn]] void RaiseInvalidFloat(const String& text, const TField* field) {
    throw EConvertError(Format(DBConsts::SInvalidFloatValue, {text, field->DisplayName()}));
}

} // namespace

// ======================================================================================
// [SECTION] TNumericField
// ======================================================================================

TNumericField::TNumericField(TComponent* owner) : TField(owner) {
    SetAlignment(taRightJustify);
}

void TNumericField::SetDisplayFormat(const String& value) {
    if (value == FDisplayFormat) return;
    FDisplayFormat = value;
    PropertyChanged(false);
}

void TNumericField::SetEditFormat(const String& value) {
    if (value == FEditFormat) return;
    FEditFormat = value;
    PropertyChanged(false);
}

const String& TNumericField::TextFormat(bool displayText) const {
    return displayText || FEditFormat.empty() ? FDisplayFormat : FEditFormat;
}

bool TNumericField::IsValidChar(Char c) const {
    return IsDigit(c) || c == u'+' || c == u'-' || c == u'E' || c == u'e' ||
           c == FormatSettings().DecimalSeparator;
}

// ======================================================================================
// [SECTION] TIntegerField and its widths
// ======================================================================================

TIntegerField::TIntegerField(TComponent* owner)
    : TNumericField(owner), FMinRange(std::numeric_limits<Integer>::min()),
      FMaxRange(std::numeric_limits<Integer>::max()) {
    SetDataType(ftInteger);
}

void TIntegerField::SetMinValue(Integer value) {
    FMinValue = value;
    PropertyChanged(false);
}

void TIntegerField::SetMaxValue(Integer value) {
    FMaxValue = value;
    PropertyChanged(false);
}

Integer TIntegerField::GetDataSize() const {
    switch (DataType()) {
    case ftShortint:
    case ftByte:
        return 1;
    case ftSmallint:
    case ftWord:
        return 2;
    default:
        return 4;
    }
}

bool TIntegerField::GetValue(Integer& value) const {
    switch (DataType()) {
    case ftShortint: {
        std::int8_t v;
        if (!GetData(&v)) return false;
        value = v;
        return true;
    }
    case ftByte: {
        std::uint8_t v;
        if (!GetData(&v)) return false;
        value = v;
        return true;
    }
    case ftSmallint: {
        std::int16_t v;
        if (!GetData(&v)) return false;
        value = v;
        return true;
    }
    case ftWord: {
        std::uint16_t v;
        if (!GetData(&v)) return false;
        value = v;
        return true;
    }
    default:
        return GetData(&value);
    }
}

void TIntegerField::CheckRange(Int64 value) const {
    if ((FMinValue != 0 || FMaxValue != 0) && (value < FMinValue || value > FMaxValue))
        RangeError(static_cast<double>(value), FMinValue, FMaxValue);
    if (value < FMinRange || value > FMaxRange) RangeError(static_cast<double>(value), FMinRange, FMaxRange);
}

Integer TIntegerField::GetAsInteger() const {
    Integer value = 0;
    return GetValue(value) ? value : 0;
}

String TIntegerField::GetAsString() const {
    Integer value = 0;
    return GetValue(value) ? IntToStr(value) : String();
}

Variant TIntegerField::GetAsVariant() const {
    Integer value = 0;
    return GetValue(value) ? Variant(value) : Null();
}

void TIntegerField::GetText(String& text, bool displayText) const {
    Integer value = 0;
    if (!GetValue(value)) {
        text.clear();
        return;
    }
    const String& format = TextFormat(displayText);
    text = format.empty() ? IntToStr(value) : FormatFloat(format, value);
}

void TIntegerField::SetAsInteger(Integer value) {
    CheckRange(value);
    switch (DataType()) {
    case ftShortint: {
        auto v = static_cast<std::int8_t>(value);
        SetData(&v);
        return;
    }
    case ftByte: {
        auto v = static_cast<std::uint8_t>(value);
        SetData(&v);
        return;
    }
    case ftSmallint: {
        auto v = static_cast<std::int16_t>(value);
        SetData(&v);
        return;
    }
    case ftWord: {
        auto v = static_cast<std::uint16_t>(value);
        SetData(&v);
        return;
    }
    default:
        SetData(&value);
        return;
    }
}

void TIntegerField::SetAsLargeInt(Int64 value) {
    CheckRange(value);
    SetAsInteger(static_cast<Integer>(value));
}

void TIntegerField::SetAsFloat(double value) {
    double rounded = std::nearbyint(value);
    if (!(rounded >= FMinRange && rounded <= FMaxRange)) RangeError(value, FMinRange, FMaxRange);
    SetAsInteger(static_cast<Integer>(rounded));
}

void TIntegerField::SetAsString(const String& value) {
    if (value.empty()) {
        Clear();
        return;
    }
    Int64 number = 0;
    if (!TryStrToInt64(value, number)) RaiseInvalidInteger(value, this);
    SetAsLargeInt(number);
}

void TIntegerField::SetVarValue(const Variant& value) {
    SetAsLargeInt(value.AsInt64());
}

bool TIntegerField::IsValidChar(Char c) const {
    return IsDigit(c) || c == u'+' || c == u'-';
}

TSmallintField::TSmallintField(TComponent* owner) : TIntegerField(owner) {
    SetDataType(ftSmallint);
    SetRange(-32768, 32767);
}

TShortintField::TShortintField(TComponent* owner) : TIntegerField(owner) {
    SetDataType(ftShortint);
    SetRange(-128, 127);
}

TByteField::TByteField(TComponent* owner) : TIntegerField(owner) {
    SetDataType(ftByte);
    SetRange(0, 255);
}

TWordField::TWordField(TComponent* owner) : TIntegerField(owner) {
    SetDataType(ftWord);
    SetRange(0, 65535);
}

TAutoIncField::TAutoIncField(TComponent* owner) : TIntegerField(owner) {
    SetDataType(ftAutoInc);
}

// ======================================================================================
// [SECTION] TLargeintField, TLongWordField
// ======================================================================================

TLargeintField::TLargeintField(TComponent* owner) : TNumericField(owner) {
    SetDataType(ftLargeint);
}

bool TLargeintField::GetValue(Int64& value) const {
    if (DataType() == ftLongWord) {
        std::uint32_t v;
        if (!GetData(&v)) return false;
        value = v;
        return true;
    }
    return GetData(&value);
}

Int64 TLargeintField::GetAsLargeInt() const {
    Int64 value = 0;
    return GetValue(value) ? value : 0;
}

Integer TLargeintField::GetAsInteger() const {
    return static_cast<Integer>(GetAsLargeInt());
}

String TLargeintField::GetAsString() const {
    Int64 value = 0;
    return GetValue(value) ? IntToStr(value) : String();
}

Variant TLargeintField::GetAsVariant() const {
    Int64 value = 0;
    return GetValue(value) ? Variant(static_cast<long long>(value)) : Null();
}

void TLargeintField::GetText(String& text, bool displayText) const {
    Int64 value = 0;
    if (!GetValue(value)) {
        text.clear();
        return;
    }
    const String& format = TextFormat(displayText);
    text = format.empty() ? IntToStr(value) : FormatFloat(format, static_cast<double>(value));
}

void TLargeintField::SetAsLargeInt(Int64 value) {
    if ((FMinValue != 0 || FMaxValue != 0) && (value < FMinValue || value > FMaxValue))
        RangeError(static_cast<double>(value), static_cast<double>(FMinValue),
                   static_cast<double>(FMaxValue));
    SetData(&value);
}

void TLargeintField::SetAsFloat(double value) {
    double rounded = std::nearbyint(value);
    if (!(rounded >= -9.2e18 && rounded <= 9.2e18)) RangeError(value, -9.2e18, 9.2e18);
    SetAsLargeInt(static_cast<Int64>(rounded));
}

void TLargeintField::SetAsString(const String& value) {
    if (value.empty()) {
        Clear();
        return;
    }
    Int64 number = 0;
    if (!TryStrToInt64(value, number)) RaiseInvalidInteger(value, this);
    SetAsLargeInt(number);
}

void TLargeintField::SetVarValue(const Variant& value) {
    SetAsLargeInt(value.AsInt64());
}

bool TLargeintField::IsValidChar(Char c) const {
    return IsDigit(c) || c == u'+' || c == u'-';
}

TLongWordField::TLongWordField(TComponent* owner) : TLargeintField(owner) {
    SetDataType(ftLongWord);
}

void TLongWordField::SetAsLargeInt(Int64 value) {
    constexpr Int64 maxValue = std::numeric_limits<std::uint32_t>::max();
    if ((MinValue() != 0 || MaxValue() != 0) && (value < MinValue() || value > MaxValue()))
        RangeError(static_cast<double>(value), static_cast<double>(MinValue()),
                   static_cast<double>(MaxValue()));
    if (value < 0 || value > maxValue)
        RangeError(static_cast<double>(value), 0, static_cast<double>(maxValue));
    auto v = static_cast<std::uint32_t>(value);
    SetData(&v);
}

Variant TLongWordField::GetAsVariant() const {
    Int64 value = 0;
    return GetValue(value) ? Variant(static_cast<unsigned>(value)) : Null();
}

// ======================================================================================
// [SECTION] TFloatField, TCurrencyField, TSingleField, TExtendedField
// ======================================================================================

TFloatField::TFloatField(TComponent* owner) : TNumericField(owner) {
    SetDataType(ftFloat);
}

void TFloatField::SetCurrency(bool value) {
    if (value == FCurrency) return;
    FCurrency = value;
    PropertyChanged(false);
}

void TFloatField::SetPrecision(Integer value) {
    value = std::clamp(value, 2, 15);
    if (value == FPrecision) return;
    FPrecision = value;
    PropertyChanged(false);
}

bool TFloatField::GetValue(double& value) const {
    if (DataType() == ftSingle) {
        float v;
        if (!GetData(&v)) return false;
        value = v;
        return true;
    }
    return GetData(&value);
}

double TFloatField::GetAsFloat() const {
    double value = 0;
    return GetValue(value) ? value : 0;
}

Integer TFloatField::GetAsInteger() const {
    return static_cast<Integer>(std::lround(GetAsFloat()));
}
Int64 TFloatField::GetAsLargeInt() const {
    return static_cast<Int64>(std::llround(GetAsFloat()));
}

String TFloatField::GetAsString() const {
    double value = 0;
    if (!GetValue(value)) return String();
    return FloatToStrF(value, ffGeneral, DataType() == ftSingle ? 7 : 15, 0);
}

Variant TFloatField::GetAsVariant() const {
    double value = 0;
    if (!GetValue(value)) return Null();
    if (DataType() == ftSingle) return Variant(static_cast<float>(value));
    if (DataType() == ftCurrency) return Variant(Currency::FromDouble(value));
    return Variant(value);
}

void TFloatField::GetText(String& text, bool displayText) const {
    double value = 0;
    if (!GetValue(value)) {
        text.clear();
        return;
    }
    const String& format = TextFormat(displayText);
    if (!format.empty()) {
        text = FormatFloat(format, value);
        return;
    }
    Integer precision = DataType() == ftSingle ? std::min(FPrecision, 7) : FPrecision;
    if (FCurrency)
        text = FloatToStrF(value, displayText ? ffCurrency : ffFixed, precision,
                           FormatSettings().CurrencyDecimals);
    else
        text = FloatToStrF(value, ffGeneral, precision, 0);
}

void TFloatField::SetAsFloat(double value) {
    if ((FMinValue != 0 || FMaxValue != 0) && (value < FMinValue || value > FMaxValue))
        RangeError(value, FMinValue, FMaxValue);
    if (DataType() == ftSingle) {
        auto v = static_cast<float>(value);
        SetData(&v);
        return;
    }
    SetData(&value);
}

void TFloatField::SetAsString(const String& value) {
    if (value.empty()) {
        Clear();
        return;
    }
    double number = 0;
    if (!TryStrToFloat(value, number)) RaiseInvalidFloat(value, this);
    SetAsFloat(number);
}

bool TFloatField::IsValidChar(Char c) const {
    return TNumericField::IsValidChar(c);
}

TCurrencyField::TCurrencyField(TComponent* owner) : TFloatField(owner) {
    SetDataType(ftCurrency);
    SetCurrency(true);
}

TSingleField::TSingleField(TComponent* owner) : TFloatField(owner) {
    SetDataType(ftSingle);
    SetPrecision(7);
}

TExtendedField::TExtendedField(TComponent* owner) : TFloatField(owner) {
    SetDataType(ftExtended);
}

// ======================================================================================
// [SECTION] TBCDField, TFMTBCDField
// ======================================================================================

TBCDField::TBCDField(TComponent* owner) : TNumericField(owner) {
    SetDataType(ftBCD);
    SetSize(4);
}

void TBCDField::SetCurrency(bool value) {
    if (value == FCurrency) return;
    FCurrency = value;
    PropertyChanged(false);
}

void TBCDField::SetPrecision(Integer value) {
    if (value < 0 || value > 32) value = 0;
    FPrecision = value;
    PropertyChanged(false);
}

void TBCDField::CheckTypeSize(Integer value) const {
    if (value < 0 || value > 4) DatabaseError(DBConsts::SInvalidFieldSize);
}

Integer TBCDField::GetDefaultWidth() const {
    return FPrecision > 0 ? FPrecision + 1 : 10;
}

Currency TBCDField::GetAsCurrency() const {
    Currency value;
    return GetData(&value, false) ? value : Currency();
}

TBcd TBCDField::GetAsBCD() const {
    TBcd value;
    return GetData(&value) ? value : TBcd();
}

Integer TBCDField::GetAsInteger() const {
    return static_cast<Integer>(GetAsLargeInt());
}

Int64 TBCDField::GetAsLargeInt() const {
    Currency value = GetAsCurrency();
    // Half away from zero, as the framework rounds currency to integers.
    Int64 whole = value.Scaled / 10000;
    Int64 rest = value.Scaled % 10000;
    if (rest >= 5000) ++whole;
    if (rest <= -5000) --whole;
    return whole;
}

String TBCDField::GetAsString() const {
    Currency value;
    return GetData(&value, false) ? CurrToStr(value) : String();
}

Variant TBCDField::GetAsVariant() const {
    Currency value;
    return GetData(&value, false) ? Variant(value) : Null();
}

void TBCDField::GetText(String& text, bool displayText) const {
    Currency value;
    if (!GetData(&value, false)) {
        text.clear();
        return;
    }
    const String& format = TextFormat(displayText);
    if (!format.empty())
        text = FormatCurr(format, value);
    else if (FCurrency)
        text = CurrToStrF(value, displayText ? ffCurrency : ffFixed, FormatSettings().CurrencyDecimals);
    else
        text = CurrToStrF(value, ffGeneral, 0);
}

void TBCDField::SetAsCurrency(Currency value) {
    SetData(&value, false);
}

void TBCDField::SetAsBCD(const TBcd& value) {
    TBcd normalized;
    if (!NormalizeBcd(value, normalized, FPrecision > 0 ? FPrecision : 32, Size()))
        DatabaseErrorFmt(DBConsts::SFieldOutOfRange, {DisplayName()});
    SetData(&normalized);
}

void TBCDField::SetAsString(const String& value) {
    if (value.empty()) {
        Clear();
        return;
    }
    Currency number;
    if (!TryStrToCurr(value, number)) RaiseInvalidFloat(value, this);
    SetAsCurrency(number);
}

void TBCDField::SetVarValue(const Variant& value) {
    SetAsCurrency(value.AsCurrency());
}

bool TBCDField::IsValidChar(Char c) const {
    return TNumericField::IsValidChar(c) && c != u'E' && c != u'e';
}

TFMTBCDField::TFMTBCDField(TComponent* owner) : TNumericField(owner) {
    SetDataType(ftFMTBcd);
    SetSize(8);
}

void TFMTBCDField::SetCurrency(bool value) {
    if (value == FCurrency) return;
    FCurrency = value;
    PropertyChanged(false);
}

void TFMTBCDField::SetPrecision(Integer value) {
    FPrecision = std::clamp(value, 1, MaxFMTBcdDigits);
    PropertyChanged(false);
}

void TFMTBCDField::CheckTypeSize(Integer value) const {
    if (value < 0 || value > MaxFMTBcdDigits) DatabaseError(DBConsts::SInvalidFieldSize);
}

Integer TFMTBCDField::GetDefaultWidth() const {
    return FPrecision + 2;
}

TBcd TFMTBCDField::GetAsBCD() const {
    TBcd value;
    return GetData(&value) ? value : TBcd();
}

String TFMTBCDField::GetAsString() const {
    TBcd value;
    return GetData(&value) ? BcdToStr(value) : String();
}

Integer TFMTBCDField::GetAsInteger() const {
    return BcdToInteger(GetAsBCD());
}
Int64 TFMTBCDField::GetAsLargeInt() const {
    return BcdToInt64(GetAsBCD());
}
double TFMTBCDField::GetAsFloat() const {
    return BcdToDouble(GetAsBCD());
}
Currency TFMTBCDField::GetAsCurrency() const {
    return BcdToCurrency(GetAsBCD());
}

Variant TFMTBCDField::GetAsVariant() const {
    TBcd value;
    return GetData(&value) ? VarFMTBcdCreate(value) : Null();
}

void TFMTBCDField::GetText(String& text, bool displayText) const {
    TBcd value;
    if (!GetData(&value)) {
        text.clear();
        return;
    }
    const String& format = TextFormat(displayText);
    if (!format.empty())
        text = FormatFloat(format, BcdToDouble(value));
    else if (FCurrency)
        text = CurrToStrF(BcdToCurrency(value), displayText ? ffCurrency : ffFixed,
                          FormatSettings().CurrencyDecimals);
    else
        text = BcdToStr(value);
}

void TFMTBCDField::SetAsBCD(const TBcd& value) {
    TBcd normalized;
    if (!NormalizeBcd(value, normalized, FPrecision, Size()))
        DatabaseErrorFmt(DBConsts::SFieldOutOfRange, {DisplayName()});
    SetData(&normalized);
}

void TFMTBCDField::SetAsString(const String& value) {
    if (value.empty()) {
        Clear();
        return;
    }
    TBcd number;
    if (!TryStrToBcd(value, number)) RaiseInvalidFloat(value, this);
    SetAsBCD(number);
}

void TFMTBCDField::SetVarValue(const Variant& value) {
    SetAsBCD(VarToBcd(value));
}

bool TFMTBCDField::IsValidChar(Char c) const {
    return TNumericField::IsValidChar(c);
}

} // namespace mv
