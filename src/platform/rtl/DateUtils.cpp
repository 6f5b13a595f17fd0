// Calendar arithmetic on TDateTime: encoding, decoding, stepping, weeks and spans.
// Texts live in DateFormat.cpp / DateParse.cpp, the clock in Clock.cpp.
//
// Every computation first splits the value into a whole day and integer milliseconds
// of the day (rounded to the nearest millisecond), so that 0.999999999999 decodes as
// the next midnight instead of 23:59:59.1000. A negative value's fraction is a
// positive time added to its (negative) day: -1.25 is 1899-12-29 06:00. Spans and
// steps work on a linear millisecond count, which orders negative values correctly
// where plain double arithmetic would not (-2.25 + 3 gives 0.75, not the 1.25 of
// 1899-12-31 06:00).
//
// Index
//   [SECTION] Calendar facts            IsLeapYear, DaysInAMonth, IsValidDate, ...
//   [SECTION] Encoding and decoding     Encode/TryEncode/Decode..., time stamps
//   [SECTION] Parts of a value          YearOf ... MilliSecondOf, DateOf, TimeOf
//   [SECTION] Stepping                  IncMonth, IncYear, IncWeek ... IncMilliSecond
//   [SECTION] Weeks and days of the year DayOfWeek, DayOfTheWeek, WeekOfTheYear, ...
//   [SECTION] Start and end of periods  StartOf.../EndOf... day, week, month, year
//   [SECTION] Spans and comparisons     ...Between, SameDate, SameDateTime, CompareDateTime
#include "platform/rtl/DateUtils.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mv {

namespace {

constexpr Int64 kMSecsPerDay = 86400000;
constexpr Integer kLastMSecOfDay = 86399999;
// TDateTime 0 (1899-12-30) counted from 1970-01-01, the epoch of the civil algorithms.
constexpr Int64 kUnixDateDelta = 25569;
// Past 9999-12-31 every value is invalid anyway; the clamp keeps llround defined.
constexpr double kMaxScaledMSecs = 1e15;

struct TDayTime {
    Int64 Day = 0;    // 0 is 1899-12-30, -1 the day before
    Integer MSec = 0; // 0 .. 86399999
};

TDayTime SplitDateTime(TDateTime value) {
    double scaled = value * MSecsPerDay;
    if (std::isnan(scaled)) scaled = 0;
    scaled = std::clamp(scaled, -kMaxScaledMSecs, kMaxScaledMSecs);
    // Truncating division keeps the day toward zero and the time positive, and a
    // time that rounds to a full day moves away from zero (-0.9999999999 is day -1).
    const Int64 total = std::llround(scaled);
    TDayTime result;
    result.Day = total / kMSecsPerDay;
    result.MSec = static_cast<Integer>(std::abs(total % kMSecsPerDay));
    return result;
}

TDateTime JoinDateTime(Int64 day, Integer msec) {
    const double time = msec / MSecsPerDay;
    return day >= 0 ? static_cast<double>(day) + time : static_cast<double>(day) - time;
}

Int64 LinearMSecs(TDateTime value) {
    const TDayTime split = SplitDateTime(value);
    return split.Day * kMSecsPerDay + split.MSec;
}

TDateTime FromLinearMSecs(Int64 msecs) {
    Int64 day = msecs / kMSecsPerDay;
    Int64 msec = msecs % kMSecsPerDay;
    if (msec < 0) {
        msec += kMSecsPerDay;
        --day;
    }
    return JoinDateTime(day, static_cast<Integer>(msec));
}

// Proleptic Gregorian day numbers (Howard Hinnant's civil-from-days algorithms).
Int64 DayNumber(Int64 year, Integer month, Integer day) {
    year -= month <= 2 ? 1 : 0;
    const Int64 era = (year >= 0 ? year : year - 399) / 400;
    const Int64 yearOfEra = year - era * 400;
    const Int64 dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const Int64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468 + kUnixDateDelta;
}

struct TCivilDate {
    Int64 Year;
    Integer Month;
    Integer Day;
};

TCivilDate CivilDate(Int64 dayNumber) {
    const Int64 z = dayNumber - kUnixDateDelta + 719468;
    const Int64 era = (z >= 0 ? z : z - 146096) / 146097;
    const Int64 dayOfEra = z - era * 146097;
    const Int64 yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const Int64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const Int64 mp = (5 * dayOfYear + 2) / 153;
    TCivilDate result;
    result.Day = static_cast<Integer>(dayOfYear - (153 * mp + 2) / 5 + 1);
    result.Month = static_cast<Integer>(mp < 10 ? mp + 3 : mp - 9);
    result.Year = yearOfEra + era * 400 + (result.Month <= 2 ? 1 : 0);
    return result;
}

bool IsValidYear(Int64 year) {
    return year >= 1 && year <= 9999;
}

Integer MonthLength(Int64 year, Integer month) {
    static constexpr Integer kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return month == 2 && leap ? 29 : kDays[month - 1];
}

[[noreturn]] void RaiseDateEncodeError() {
    throw EConvertError(SysConst::SDateEncodeError);
}

// ISO weekday of a day number: 1 Monday ... 7 Sunday (1899-12-30 was a Saturday).
Integer IsoWeekday(Int64 dayNumber) {
    Int64 offset = (dayNumber + 5) % 7;
    if (offset < 0) offset += 7;
    return static_cast<Integer>(offset) + 1;
}

Word IsoWeek(Int64 dayNumber, Word& isoYear) {
    // The week belongs to the year that holds its Thursday.
    const Int64 thursday = dayNumber - IsoWeekday(dayNumber) + 4;
    const TCivilDate civil = CivilDate(thursday);
    isoYear = IsValidYear(civil.Year) ? static_cast<Word>(civil.Year) : 0;
    return static_cast<Word>((thursday - DayNumber(civil.Year, 1, 1)) / 7 + 1);
}

TDateTime AddMonths(TDateTime value, Int64 months) {
    const TDayTime split = SplitDateTime(value);
    const TCivilDate civil = CivilDate(split.Day);
    if (!IsValidYear(civil.Year)) RaiseDateEncodeError();
    const Int64 index = civil.Year * 12 + (civil.Month - 1) + months;
    const Int64 year = index >= 0 ? index / 12 : (index - 11) / 12;
    const Integer month = static_cast<Integer>(index - year * 12) + 1;
    if (!IsValidYear(year)) RaiseDateEncodeError();
    const Integer day = std::min(civil.Day, MonthLength(year, month));
    return JoinDateTime(DayNumber(year, month, day), split.MSec);
}

// count * unitMSecs milliseconds later; a step past any representable date is an
// encode error rather than a silent wrap-around.
TDateTime AddMSecs(TDateTime value, Int64 count, Int64 unitMSecs) {
    Int64 step, result;
    if (__builtin_mul_overflow(count, unitMSecs, &step) ||
        __builtin_add_overflow(LinearMSecs(value), step, &result))
        RaiseDateEncodeError();
    return FromLinearMSecs(result);
}

Int64 AbsoluteSpan(TDateTime now, TDateTime then) {
    const Int64 span = LinearMSecs(now) - LinearMSecs(then);
    return span < 0 ? -span : span;
}

} // namespace

// [SECTION] Calendar facts

bool IsLeapYear(Word year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

Word DaysInAMonth(Word year, Word month) {
    if (month < 1 || month > 12) RaiseDateEncodeError();
    return static_cast<Word>(MonthLength(year, month));
}

Word DaysInMonth(TDateTime value) {
    Word year, month, day;
    DecodeDate(value, year, month, day);
    return DaysInAMonth(year, month);
}

Word DaysInAYear(Word year) {
    return IsLeapYear(year) ? 366 : 365;
}

bool IsValidDate(Word year, Word month, Word day) {
    return IsValidYear(year) && month >= 1 && month <= 12 && day >= 1 && day <= MonthLength(year, month);
}

bool IsValidTime(Word hour, Word min, Word sec, Word msec) {
    return hour < 24 && min < 60 && sec < 60 && msec < 1000;
}

// [SECTION] Encoding and decoding

bool TryEncodeDate(Word year, Word month, Word day, TDateTime& value) {
    if (!IsValidDate(year, month, day)) return false;
    value = static_cast<double>(DayNumber(year, month, day));
    return true;
}

bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& value) {
    if (!IsValidTime(hour, min, sec, msec)) return false;
    value = (((hour * 60 + min) * 60 + sec) * 1000 + msec) / MSecsPerDay;
    return true;
}

bool TryEncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec,
                       TDateTime& value) {
    if (!IsValidDate(year, month, day) || !IsValidTime(hour, min, sec, msec)) return false;
    value = JoinDateTime(DayNumber(year, month, day), ((hour * 60 + min) * 60 + sec) * 1000 + msec);
    return true;
}

TDateTime EncodeDate(Word year, Word month, Word day) {
    TDateTime result;
    if (!TryEncodeDate(year, month, day, result)) RaiseDateEncodeError();
    return result;
}

TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec) {
    TDateTime result;
    if (!TryEncodeTime(hour, min, sec, msec, result)) throw EConvertError(SysConst::STimeEncodeError);
    return result;
}

TDateTime EncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec) {
    const TDateTime date = EncodeDate(year, month, day);
    const TDateTime time = EncodeTime(hour, min, sec, msec);
    return date >= 0 ? date + time : date - time;
}

void DecodeDate(TDateTime value, Word& year, Word& month, Word& day) {
    const TCivilDate civil = CivilDate(SplitDateTime(value).Day);
    if (!IsValidYear(civil.Year)) {
        // Outside 0001..9999 there is no date to give; the framework answers zeros.
        year = month = day = 0;
        return;
    }
    year = static_cast<Word>(civil.Year);
    month = static_cast<Word>(civil.Month);
    day = static_cast<Word>(civil.Day);
}

void DecodeTime(TDateTime value, Word& hour, Word& min, Word& sec, Word& msec) {
    Integer rest = SplitDateTime(value).MSec;
    msec = static_cast<Word>(rest % 1000);
    rest /= 1000;
    sec = static_cast<Word>(rest % 60);
    rest /= 60;
    min = static_cast<Word>(rest % 60);
    hour = static_cast<Word>(rest / 60);
}

void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day, Word& hour, Word& min, Word& sec,
                    Word& msec) {
    DecodeDate(value, year, month, day);
    DecodeTime(value, hour, min, sec, msec);
}

TTimeStamp DateTimeToTimeStamp(TDateTime value) {
    const TDayTime split = SplitDateTime(value);
    TTimeStamp result;
    result.Date = static_cast<Integer>(std::clamp<Int64>(
        split.Day + DateDelta, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max()));
    result.Time = split.MSec;
    return result;
}

TDateTime TimeStampToDateTime(const TTimeStamp& value) {
    if (value.Time < 0 || value.Time > kLastMSecOfDay || value.Date <= 0)
        throw EConvertError(Format(SysConst::SInvalidTimeStamp, {value.Date, value.Time}));
    return JoinDateTime(Int64{value.Date} - DateDelta, value.Time);
}

// [SECTION] Parts of a value

Word YearOf(TDateTime value) {
    Word year, month, day;
    DecodeDate(value, year, month, day);
    return year;
}

Word MonthOf(TDateTime value) {
    Word year, month, day;
    DecodeDate(value, year, month, day);
    return month;
}

Word DayOf(TDateTime value) {
    Word year, month, day;
    DecodeDate(value, year, month, day);
    return day;
}

Word HourOf(TDateTime value) {
    return static_cast<Word>(SplitDateTime(value).MSec / 3600000);
}
Word MinuteOf(TDateTime value) {
    return static_cast<Word>(SplitDateTime(value).MSec / 60000 % 60);
}
Word SecondOf(TDateTime value) {
    return static_cast<Word>(SplitDateTime(value).MSec / 1000 % 60);
}
Word MilliSecondOf(TDateTime value) {
    return static_cast<Word>(SplitDateTime(value).MSec % 1000);
}

TDateTime DateOf(TDateTime value) {
    return static_cast<double>(SplitDateTime(value).Day);
}
TDateTime TimeOf(TDateTime value) {
    return SplitDateTime(value).MSec / MSecsPerDay;
}

// [SECTION] Stepping

TDateTime IncMonth(TDateTime value, Integer numberOfMonths) {
    return AddMonths(value, numberOfMonths);
}
TDateTime IncYear(TDateTime value, Integer numberOfYears) {
    return AddMonths(value, Int64{numberOfYears} * 12);
}
TDateTime IncWeek(TDateTime value, Integer numberOfWeeks) {
    return AddMSecs(value, numberOfWeeks, 7 * kMSecsPerDay);
}
TDateTime IncDay(TDateTime value, Integer numberOfDays) {
    return AddMSecs(value, numberOfDays, kMSecsPerDay);
}
TDateTime IncHour(TDateTime value, Int64 numberOfHours) {
    return AddMSecs(value, numberOfHours, 3600000);
}
TDateTime IncMinute(TDateTime value, Int64 numberOfMinutes) {
    return AddMSecs(value, numberOfMinutes, 60000);
}
TDateTime IncSecond(TDateTime value, Int64 numberOfSeconds) {
    return AddMSecs(value, numberOfSeconds, 1000);
}
TDateTime IncMilliSecond(TDateTime value, Int64 numberOfMilliSeconds) {
    return AddMSecs(value, numberOfMilliSeconds, 1);
}

// [SECTION] Weeks and days of the year

Word DayOfWeek(TDateTime value) {
    return static_cast<Word>(IsoWeekday(SplitDateTime(value).Day) % 7 + 1);
}

Word DayOfTheWeek(TDateTime value) {
    return static_cast<Word>(IsoWeekday(SplitDateTime(value).Day));
}

Word DayOfTheYear(TDateTime value) {
    const Int64 day = SplitDateTime(value).Day;
    const TCivilDate civil = CivilDate(day);
    if (!IsValidYear(civil.Year)) return 0;
    return static_cast<Word>(day - DayNumber(civil.Year, 1, 1) + 1);
}

Word WeekOfTheYear(TDateTime value) {
    Word isoYear;
    return WeekOfTheYear(value, isoYear);
}

Word WeekOfTheYear(TDateTime value, Word& year) {
    return IsoWeek(SplitDateTime(value).Day, year);
}

Word WeeksInAYear(Word year) {
    // 28 December always lies in the year's last ISO week.
    Word isoYear;
    return IsoWeek(DayNumber(year, 12, 28), isoYear);
}

// [SECTION] Start and end of periods

TDateTime StartOfTheDay(TDateTime value) {
    return DateOf(value);
}
TDateTime EndOfTheDay(TDateTime value) {
    return JoinDateTime(SplitDateTime(value).Day, kLastMSecOfDay);
}

TDateTime StartOfTheWeek(TDateTime value) {
    const Int64 day = SplitDateTime(value).Day;
    return JoinDateTime(day - (IsoWeekday(day) - 1), 0);
}

TDateTime EndOfTheWeek(TDateTime value) {
    const Int64 day = SplitDateTime(value).Day;
    return JoinDateTime(day + (7 - IsoWeekday(day)), kLastMSecOfDay);
}

TDateTime StartOfTheMonth(TDateTime value) {
    Word year, month, day;
    DecodeDate(value, year, month, day);
    return StartOfAMonth(year, month);
}

TDateTime EndOfTheMonth(TDateTime value) {
    Word year, month, day;
    DecodeDate(value, year, month, day);
    return EndOfAMonth(year, month);
}

TDateTime StartOfTheYear(TDateTime value) {
    return StartOfAYear(YearOf(value));
}
TDateTime EndOfTheYear(TDateTime value) {
    return EndOfAYear(YearOf(value));
}

TDateTime StartOfAMonth(Word year, Word month) {
    return EncodeDate(year, month, 1);
}

TDateTime EndOfAMonth(Word year, Word month) {
    const TDateTime last = EncodeDate(year, month, DaysInAMonth(year, month));
    return JoinDateTime(static_cast<Int64>(last), kLastMSecOfDay);
}

TDateTime StartOfAYear(Word year) {
    return EncodeDate(year, 1, 1);
}
TDateTime EndOfAYear(Word year) {
    return EndOfAMonth(year, 12);
}

// [SECTION] Spans and comparisons

Int64 DaysBetween(TDateTime now, TDateTime then) {
    return AbsoluteSpan(now, then) / kMSecsPerDay;
}
Int64 HoursBetween(TDateTime now, TDateTime then) {
    return AbsoluteSpan(now, then) / 3600000;
}
Int64 MinutesBetween(TDateTime now, TDateTime then) {
    return AbsoluteSpan(now, then) / 60000;
}
Int64 SecondsBetween(TDateTime now, TDateTime then) {
    return AbsoluteSpan(now, then) / 1000;
}
Int64 MilliSecondsBetween(TDateTime now, TDateTime then) {
    return AbsoluteSpan(now, then);
}

bool SameDate(TDateTime a, TDateTime b) {
    return SplitDateTime(a).Day == SplitDateTime(b).Day;
}
bool SameDateTime(TDateTime a, TDateTime b) {
    return LinearMSecs(a) == LinearMSecs(b);
}

Integer CompareDateTime(TDateTime a, TDateTime b) {
    const Int64 left = LinearMSecs(a);
    const Int64 right = LinearMSecs(b);
    return left < right ? -1 : left > right ? 1 : 0;
}

} // namespace mv
