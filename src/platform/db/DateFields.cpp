// Boolean, date-time and SQL time-stamp fields.
#include "platform/db/Fields.h"

#include "platform/db/DBConsts.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"

#include <cstdint>

namespace mv {

// ======================================================================================
// [SECTION] TBooleanField
// ======================================================================================

TBooleanField::TBooleanField(TComponent* owner) : TField(owner) {
    SetDataType(ftBoolean);
    FTextValues[0] = DBConsts::STextFalse;
    FTextValues[1] = DBConsts::STextTrue;
}

void TBooleanField::SetDisplayValues(const String& value) {
    if (value == FDisplayValues) return;
    FDisplayValues = value;
    if (value.empty()) {
        FTextValues[0] = DBConsts::STextFalse;
        FTextValues[1] = DBConsts::STextTrue;
    } else {
        // "Yes;No"; without ";" the whole text is the true text and false has none.
        auto separator = value.find(u';');
        FTextValues[1] = value.substr(0, separator);
        FTextValues[0] = separator == String::npos ? String() : value.substr(separator + 1);
    }
    PropertyChanged(true);
}

bool TBooleanField::GetAsBoolean() const {
    std::int16_t value = 0;
    return GetData(&value) && value != 0;
}

String TBooleanField::GetAsString() const {
    std::int16_t value = 0;
    if (!GetData(&value)) return String();
    return FTextValues[value != 0 ? 1 : 0];
}

Variant TBooleanField::GetAsVariant() const {
    std::int16_t value = 0;
    return GetData(&value) ? Variant(value != 0) : Null();
}

void TBooleanField::SetAsBoolean(bool value) {
    std::int16_t stored = value ? -1 : 0;
    SetData(&stored);
}

void TBooleanField::SetAsString(const String& value) {
    if (value.empty()) {
        if (FTextValues[0].empty())
            SetAsBoolean(false);
        else if (FTextValues[1].empty())
            SetAsBoolean(true);
        else
            Clear();
        return;
    }
    // A prefix of either text, without regard to case.
    auto matches = [&value](const String& text) {
        return value.size() <= text.size() && AnsiSameText(StringView(text).substr(0, value.size()), value);
    };
    if (matches(FTextValues[0]))
        SetAsBoolean(false);
    else if (matches(FTextValues[1]))
        SetAsBoolean(true);
    else
        throw EConvertError(Format(DBConsts::SInvalidBoolValue, {value, DisplayName()}));
}

Integer TBooleanField::GetDefaultWidth() const {
    auto width = std::max(FTextValues[0].size(), FTextValues[1].size());
    return static_cast<Integer>(std::max<std::size_t>(width, 1));
}

// ======================================================================================
// [SECTION] TDateTimeField, TDateField, TTimeField
// ======================================================================================

TDateTimeField::TDateTimeField(TComponent* owner) : TField(owner) {
    SetDataType(ftDateTime);
}

TDateField::TDateField(TComponent* owner) : TDateTimeField(owner) {
    SetDataType(ftDate);
}

TTimeField::TTimeField(TComponent* owner) : TDateTimeField(owner) {
    SetDataType(ftTime);
}

void TDateTimeField::SetDisplayFormat(const String& value) {
    if (value == FDisplayFormat) return;
    FDisplayFormat = value;
    PropertyChanged(false);
}

Integer TDateTimeField::GetDataSize() const {
    return DataType() == ftDateTime ? 8 : 4;
}

Integer TDateTimeField::GetDefaultWidth() const {
    return DataType() == ftDateTime ? 18 : 10;
}

TDateTime TDateTimeField::GetAsDateTime() const {
    TDateTime value = 0;
    return GetData(&value, false) ? value : 0;
}

Variant TDateTimeField::GetAsVariant() const {
    TDateTime value = 0;
    return GetData(&value, false) ? VarFromDateTime(value) : Null();
}

String TDateTimeField::GetAsString() const {
    String text;
    GetText(text, false);
    return text;
}

void TDateTimeField::GetText(String& text, bool displayText) const {
    TDateTime value = 0;
    if (!GetData(&value, false)) {
        text.clear();
        return;
    }
    String format;
    if (displayText && !FDisplayFormat.empty())
        format = FDisplayFormat;
    else if (DataType() == ftDate)
        format = FormatSettings().ShortDateFormat;
    else if (DataType() == ftTime)
        format = FormatSettings().LongTimeFormat;
    else
        format = u"c";
    text = FormatDateTime(format, value);
}

void TDateTimeField::SetAsDateTime(TDateTime value) {
    SetData(&value, false);
}

void TDateTimeField::SetAsString(const String& value) {
    if (value.empty()) {
        Clear();
        return;
    }
    switch (DataType()) {
    case ftDate:
        SetAsDateTime(StrToDate(value));
        return;
    case ftTime:
        SetAsDateTime(StrToTime(value));
        return;
    default:
        SetAsDateTime(StrToDateTime(value));
        return;
    }
}

// ======================================================================================
// [SECTION] TSQLTimeStampField
// ======================================================================================

TSQLTimeStampField::TSQLTimeStampField(TComponent* owner) : TField(owner) {
    SetDataType(ftTimeStamp);
}

void TSQLTimeStampField::SetDisplayFormat(const String& value) {
    if (value == FDisplayFormat) return;
    FDisplayFormat = value;
    PropertyChanged(false);
}

TSQLTimeStamp TSQLTimeStampField::GetAsSQLTimeStamp() const {
    TSQLTimeStamp value;
    return GetData(&value) ? value : NullSQLTimeStamp;
}

TDateTime TSQLTimeStampField::GetAsDateTime() const {
    return SQLTimeStampToDateTime(GetAsSQLTimeStamp());
}

String TSQLTimeStampField::GetAsString() const {
    String text;
    GetText(text, false);
    return text;
}

Variant TSQLTimeStampField::GetAsVariant() const {
    TSQLTimeStamp value;
    return GetData(&value) ? VarSQLTimeStampCreate(value) : Null();
}

void TSQLTimeStampField::GetText(String& text, bool displayText) const {
    TSQLTimeStamp value;
    if (!GetData(&value)) {
        text.clear();
        return;
    }
    text = SQLTimeStampToStr(displayText ? StringView(FDisplayFormat) : StringView(), value);
}

void TSQLTimeStampField::SetAsSQLTimeStamp(const TSQLTimeStamp& value) {
    SetData(&value);
}

void TSQLTimeStampField::SetAsString(const String& value) {
    if (value.empty()) {
        Clear();
        return;
    }
    SetAsSQLTimeStamp(StrToSQLTimeStamp(value));
}

} // namespace mv
