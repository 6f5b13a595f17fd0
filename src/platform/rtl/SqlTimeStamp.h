// TSQLTimeStamp, the framework's broken-down SQL date and time, its conversions to and
// from TDateTime and text, and its custom variant type, which behaves as a date.
#pragma once

#include "platform/rtl/RtlTypes.h"
#include "platform/rtl/Variants.h"

#include <compare>

namespace mv {

// Fractions are milliseconds (0..999), as the framework's conversions read them.
// The all-zero stamp is the blank (null) stamp.
struct TSQLTimeStamp {
    SmallInt Year = 0;
    Word Month = 0;
    Word Day = 0;
    Word Hour = 0;
    Word Minute = 0;
    Word Second = 0;
    LongWord Fractions = 0;

    // Chronological for valid stamps: fields compare from Year down to Fractions.
    friend constexpr auto operator<=>(const TSQLTimeStamp&, const TSQLTimeStamp&) = default;
};

inline constexpr TSQLTimeStamp NullSQLTimeStamp{};

bool IsSQLTimeStampBlank(const TSQLTimeStamp& value);
TSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime value);
// The blank stamp gives 0. Raises EConvertError "Invalid SQL date/time values" for a
// stamp that is no real date and time (month 13, 30 February, hour 24, 1000 ms...).
TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& value);
bool TrySQLTimeStampToDateTime(const TSQLTimeStamp& value, TDateTime& result);
// FormatDateTime of the converted value; an empty format means "c" (date, and the time
// unless it is midnight).
String SQLTimeStampToStr(StringView format, const TSQLTimeStamp& value);
// Parses as StrToDateTime does. Raises EConvertError "Could not parse SQL TimeStamp
// string" for text that is no date and time.
TSQLTimeStamp StrToSQLTimeStamp(StringView s);
bool TryStrToSQLTimeStamp(StringView s, TSQLTimeStamp& value);

// The SQL time-stamp custom variant (VarType VarSQLTimeStamp()). It converts and
// compares as a date; VarToStr gives DateTimeToStr of it.
Variant VarSQLTimeStampCreate(const TSQLTimeStamp& value);
Variant VarSQLTimeStampCreate(TDateTime value);
Variant VarSQLTimeStampCreate(StringView value);
bool VarIsSQLTimeStamp(const Variant& v);
// A time-stamp variant's stamp, or any other variant converted to a date first
// (EVariantTypeCastError for Null, arrays and text that is no date).
TSQLTimeStamp VarToSQLTimeStamp(const Variant& v);

} // namespace mv
