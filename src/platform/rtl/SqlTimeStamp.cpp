// TSQLTimeStamp conversions and its custom variant type.
#include "platform/rtl/SqlTimeStamp.h"

#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/VariantPrivate.h"

namespace mv {

bool IsSQLTimeStampBlank(const TSQLTimeStamp& value) {
    return value == NullSQLTimeStamp;
}

TSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime value) {
    Word year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
    DecodeDateTime(value, year, month, day, hour, minute, second, msec);
    TSQLTimeStamp result;
    result.Year = static_cast<SmallInt>(year);
    result.Month = month;
    result.Day = day;
    result.Hour = hour;
    result.Minute = minute;
    result.Second = second;
    result.Fractions = msec;
    return result;
}

bool TrySQLTimeStampToDateTime(const TSQLTimeStamp& value, TDateTime& result) {
    if (IsSQLTimeStampBlank(value)) {
        result = 0;
        return true;
    }
    TDateTime date = 0;
    TDateTime time = 0;
    if (value.Year <= 0 || value.Fractions > 999) return false;
    if (!TryEncodeDate(static_cast<Word>(value.Year), value.Month, value.Day, date)) return false;
    if (!TryEncodeTime(value.Hour, value.Minute, value.Second, static_cast<Word>(value.Fractions), time))
        return false;
    // Before 1899-12-30 the day count is negative and the time still runs forwards.
    result = date < 0 ? date - time : date + time;
    return true;
}

TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& value) {
    TDateTime result = 0;
    if (!TrySQLTimeStampToDateTime(value, result)) throw EConvertError(SysConst::SInvalidSQLTimeStamp);
    return result;
}

String SQLTimeStampToStr(StringView format, const TSQLTimeStamp& value) {
    return FormatDateTime(format.empty() ? StringView(u"c") : format, SQLTimeStampToDateTime(value));
}

bool TryStrToSQLTimeStamp(StringView s, TSQLTimeStamp& value) {
    TDateTime date = 0;
    if (!TryStrToDateTime(s, date)) return false;
    value = DateTimeToSQLTimeStamp(date);
    return true;
}

TSQLTimeStamp StrToSQLTimeStamp(StringView s) {
    TSQLTimeStamp result;
    if (!TryStrToSQLTimeStamp(s, result)) throw EConvertError(SysConst::SCouldNotParseTimeStamp);
    return result;
}

Variant VarSQLTimeStampCreate(const TSQLTimeStamp& value) {
    return TVariantAccess::MakeBlock(varSQLTimeStampCode, new TVariantAccess::TTimeStampBlock(value));
}

Variant VarSQLTimeStampCreate(TDateTime value) {
    return VarSQLTimeStampCreate(DateTimeToSQLTimeStamp(value));
}

Variant VarSQLTimeStampCreate(StringView value) {
    return VarSQLTimeStampCreate(StrToSQLTimeStamp(value));
}

bool VarIsSQLTimeStamp(const Variant& v) {
    return v.VType() == varSQLTimeStampCode;
}

TSQLTimeStamp VarToSQLTimeStamp(const Variant& v) {
    if (VarIsSQLTimeStamp(v)) return TVariantAccess::TimeStamp(v);
    return DateTimeToSQLTimeStamp(TVariantAccess::ToDate(v, varSQLTimeStampCode));
}

} // namespace mv
