// Date and time arithmetic on TDateTime (days since 1899-12-30, fraction = time of
// day), date/time texts, and a replaceable clock for Now/Date/Time.
#pragma once

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/RtlTypes.h"

#include <functional>

namespace mv {

constexpr double HoursPerDay = 24;
constexpr double MinsPerDay = 24 * 60;
constexpr double SecsPerDay = 24 * 60 * 60;
constexpr double MSecsPerDay = SecsPerDay * 1000;
constexpr double OneHour = 1.0 / HoursPerDay;
constexpr double OneMinute = 1.0 / MinsPerDay;
constexpr double OneSecond = 1.0 / SecsPerDay;
constexpr double OneMillisecond = 1.0 / MSecsPerDay;

// Days per month of the Gregorian calendar (proleptic before 1582).
bool IsLeapYear(Word year);
Word DaysInAMonth(Word year, Word month);
Word DaysInMonth(TDateTime value);
Word DaysInAYear(Word year);

// Encode raises EConvertError "Invalid argument to date encode" / "... time encode".
TDateTime EncodeDate(Word year, Word month, Word day);
TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec);
TDateTime EncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec);
bool TryEncodeDate(Word year, Word month, Word day, TDateTime& value);
bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& value);
void DecodeDate(TDateTime value, Word& year, Word& month, Word& day);
void DecodeTime(TDateTime value, Word& hour, Word& min, Word& sec, Word& msec);
void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day, Word& hour, Word& min, Word& sec,
                    Word& msec);
bool TryEncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec,
                       TDateTime& value);
bool IsValidDate(Word year, Word month, Word day);
bool IsValidTime(Word hour, Word min, Word sec, Word msec);

// The framework's split form: Date counts days with 0001-01-01 as day 1 (so TDateTime 0
// is day 693594), Time the milliseconds of the day. Conversion rounds to the nearest
// millisecond; a time that rounds to 24:00 carries into the day after.
// TimeStampToDateTime raises EConvertError "'%d.%d' is not a valid timestamp" when Time
// is outside 0..86399999 or Date is not positive.
struct TTimeStamp {
    Integer Time = 0;
    Integer Date = 0;
};
constexpr Integer DateDelta = 693594;
TTimeStamp DateTimeToTimeStamp(TDateTime value);
TDateTime TimeStampToDateTime(const TTimeStamp& value);

Word YearOf(TDateTime value);
Word MonthOf(TDateTime value);
Word DayOf(TDateTime value);
Word HourOf(TDateTime value);
Word MinuteOf(TDateTime value);
Word SecondOf(TDateTime value);
Word MilliSecondOf(TDateTime value);
TDateTime DateOf(TDateTime value); // midnight of the day
TDateTime TimeOf(TDateTime value); // time of day only

// IncMonth keeps the day when it exists, else takes the month's last day
// (IncMonth(31 Jan 2024) is 29 Feb 2024). The time of day is kept.
TDateTime IncMonth(TDateTime value, Integer numberOfMonths = 1);
TDateTime IncYear(TDateTime value, Integer numberOfYears = 1);
TDateTime IncWeek(TDateTime value, Integer numberOfWeeks = 1);
TDateTime IncDay(TDateTime value, Integer numberOfDays = 1);
TDateTime IncHour(TDateTime value, Int64 numberOfHours = 1);
TDateTime IncMinute(TDateTime value, Int64 numberOfMinutes = 1);
TDateTime IncSecond(TDateTime value, Int64 numberOfSeconds = 1);
TDateTime IncMilliSecond(TDateTime value, Int64 numberOfMilliSeconds = 1);

// DayOfWeek: 1 Sunday ... 7 Saturday. DayOfTheWeek: ISO, 1 Monday ... 7 Sunday.
Word DayOfWeek(TDateTime value);
Word DayOfTheWeek(TDateTime value);
Word DayOfTheYear(TDateTime value);
// ISO 8601 week: weeks start on Monday; week 1 holds the year's first Thursday.
// The overload also gives the ISO year the week belongs to (1 Jan 2021 is week 53 of 2020).
Word WeekOfTheYear(TDateTime value);
Word WeekOfTheYear(TDateTime value, Word& year);
Word WeeksInAYear(Word year);

TDateTime StartOfTheDay(TDateTime value);
TDateTime EndOfTheDay(TDateTime value);    // 23:59:59.999
TDateTime StartOfTheWeek(TDateTime value); // ISO week: Monday 00:00
TDateTime EndOfTheWeek(TDateTime value);   // Sunday 23:59:59.999
TDateTime StartOfTheMonth(TDateTime value);
TDateTime EndOfTheMonth(TDateTime value);
TDateTime StartOfTheYear(TDateTime value);
TDateTime EndOfTheYear(TDateTime value);
TDateTime StartOfAMonth(Word year, Word month);
TDateTime EndOfAMonth(Word year, Word month);
TDateTime StartOfAYear(Word year);
TDateTime EndOfAYear(Word year);

// Differences and comparisons that are robust against the fraction's rounding. The
// ...Between functions count whole units of the span and are never negative.
Int64 DaysBetween(TDateTime now, TDateTime then);
Int64 HoursBetween(TDateTime now, TDateTime then);
Int64 MinutesBetween(TDateTime now, TDateTime then);
Int64 SecondsBetween(TDateTime now, TDateTime then);
Int64 MilliSecondsBetween(TDateTime now, TDateTime then);
bool SameDate(TDateTime a, TDateTime b);
bool SameDateTime(TDateTime a, TDateTime b); // equal to the millisecond
Integer CompareDateTime(TDateTime a, TDateTime b);

// Patterns: d dd ddd dddd ddddd dddddd m mm mmm mmmm (minutes after h) yy yyyy
// h hh n nn s ss z zzz t tt c am/pm a/p ampm / : 'quoted' "quoted".
String FormatDateTime(StringView format, TDateTime value);
String FormatDateTime(StringView format, TDateTime value, const TFormatSettings& settings);
String DateToStr(TDateTime value);
String TimeToStr(TDateTime value);
String DateTimeToStr(TDateTime value); // time omitted at midnight, as the framework does
String DateToStr(TDateTime value, const TFormatSettings& settings);
String TimeToStr(TDateTime value, const TFormatSettings& settings);
String DateTimeToStr(TDateTime value, const TFormatSettings& settings);

// Parsing follows the order of the settings' ShortDateFormat (M/d/y, d.M.y, y-M-d) and
// accepts an optional time with AM/PM. Raise EConvertError "'%s' is not a valid date"
// (… time, … date and time).
TDateTime StrToDate(StringView s);
TDateTime StrToTime(StringView s);
TDateTime StrToDateTime(StringView s);
TDateTime StrToDate(StringView s, const TFormatSettings& settings);
TDateTime StrToTime(StringView s, const TFormatSettings& settings);
TDateTime StrToDateTime(StringView s, const TFormatSettings& settings);
bool TryStrToDate(StringView s, TDateTime& value);
bool TryStrToTime(StringView s, TDateTime& value);
bool TryStrToDateTime(StringView s, TDateTime& value);
bool TryStrToDate(StringView s, TDateTime& value, const TFormatSettings& settings);
bool TryStrToTime(StringView s, TDateTime& value, const TFormatSettings& settings);
bool TryStrToDateTime(StringView s, TDateTime& value, const TFormatSettings& settings);

// The clock. By default the system's local time; tests install their own and must
// put back the previous one (TClockScope does).
using TClockFunction = std::function<TDateTime()>;
TDateTime Now();
TDateTime Date();
TDateTime Time();
TClockFunction SetClock(TClockFunction clock); // returns the previous clock; empty restores the system clock

class TClockScope {
public:
    explicit TClockScope(TDateTime fixed) : FSaved(SetClock([fixed] { return fixed; })) {}
    explicit TClockScope(TClockFunction clock) : FSaved(SetClock(std::move(clock))) {}
    ~TClockScope() { SetClock(std::move(FSaved)); }
    TClockScope(const TClockScope&) = delete;
    TClockScope& operator=(const TClockScope&) = delete;

private:
    TClockFunction FSaved;
};

} // namespace mv
