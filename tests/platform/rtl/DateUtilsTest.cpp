// TDateTime arithmetic: encode/decode at the edges, month stepping, ISO weeks, period
// bounds, spans across the negative range, and the replaceable clock.
#include "platform/rtl/DateUtils.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Utf8.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>

namespace mv {
namespace {

// Decoded independently of FormatDateTime so failures read as dates.
std::string Iso(TDateTime value) {
    Word y, m, d, h, n, s, z;
    DecodeDateTime(value, y, m, d, h, n, s, z);
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", y, m, d, h, n, s, z);
    return text;
}

template <typename E, typename F> std::string MessageOf(F&& action) {
    try {
        action();
    } catch (const E& e) {
        return UTF8Encode(e.Message());
    }
    return "<nothing raised>";
}

TEST(DateUtils, EncodeDecodeRoundTripsAndRejects) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(1900, 3, 1), 61.0); // no phantom 29 Feb 1900
    EXPECT_EQ(EncodeDate(2024, 1, 1), 45292.0);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
    EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465.0);

    for (double day = -693593; day <= 2958465; day += 997) {
        Word y, m, d;
        DecodeDate(day, y, m, d);
        ASSERT_EQ(EncodeDate(y, m, d), day) << y << "-" << m << "-" << d;
    }

    // Negative values: the day toward zero, the fraction as a positive time.
    EXPECT_EQ(Iso(-1.25), "1899-12-29 06:00:00.000");
    EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
    EXPECT_EQ(Iso(-0.5), "1899-12-30 12:00:00.000");
    EXPECT_EQ(Iso(EncodeDateTime(1850, 7, 4, 18, 30, 15, 500)), "1850-07-04 18:30:15.500");

    // Rounding to the millisecond never yields 60 s or 1000 ms; a full day carries.
    const TDateTime lastMs = EncodeTime(23, 59, 59, 999);
    EXPECT_EQ(Iso(lastMs + 0.0000000001), "1899-12-30 23:59:59.999");
    EXPECT_EQ(Iso(lastMs + 0.6 * OneMillisecond), "1899-12-31 00:00:00.000");
    EXPECT_EQ(Iso(1 - 0.0000000001), "1899-12-31 00:00:00.000");
    EXPECT_EQ(Iso(EncodeDate(2024, 2, 29) + EncodeTime(10, 0, 59, 999) + 0.7 * OneMillisecond),
              "2024-02-29 10:01:00.000");
    EXPECT_EQ(Iso(-1.9999999999), "1899-12-28 00:00:00.000");
    Word h, n, s, z;
    DecodeTime(EncodeTime(13, 14, 15, 16), h, n, s, z);
    EXPECT_EQ((std::array<Word, 4>{h, n, s, z}), (std::array<Word, 4>{13, 14, 15, 16}));

    const std::string dateError = "Invalid argument to date encode";
    EXPECT_EQ(MessageOf<EConvertError>([] { EncodeDate(2023, 2, 29); }), dateError);
    EXPECT_EQ(MessageOf<EConvertError>([] { EncodeDate(0, 1, 1); }), dateError);
    EXPECT_EQ(MessageOf<EConvertError>([] { EncodeDate(10000, 1, 1); }), dateError);
    EXPECT_EQ(MessageOf<EConvertError>([] { EncodeDate(2024, 13, 1); }), dateError);
    EXPECT_EQ(MessageOf<EConvertError>([] { EncodeDate(2024, 4, 31); }), dateError);
    EXPECT_EQ(MessageOf<EConvertError>([] { EncodeDate(2024, 1, 0); }), dateError);
    EXPECT_EQ(MessageOf<EConvertError>([] { EncodeTime(24, 0, 0, 0); }), "Invalid argument to time encode");
    EXPECT_EQ(MessageOf<EConvertError>([] { EncodeTime(0, 60, 0, 0); }), "Invalid argument to time encode");
    EXPECT_EQ(MessageOf<EConvertError>([] { EncodeTime(0, 0, 0, 1000); }), "Invalid argument to time encode");
    TDateTime untouched = 7;
    EXPECT_FALSE(TryEncodeDate(2100, 2, 29, untouched));
    EXPECT_FALSE(TryEncodeDateTime(2024, 1, 1, 12, 0, 60, 0, untouched));
    EXPECT_EQ(untouched, 7.0);
    EXPECT_TRUE(TryEncodeDateTime(1899, 12, 29, 6, 0, 0, 0, untouched));
    EXPECT_EQ(untouched, -1.25);
}

TEST(DateUtils, TimeStampsShareTheRounding) {
    EXPECT_EQ(DateTimeToTimeStamp(0).Date, DateDelta);
    EXPECT_EQ(DateTimeToTimeStamp(EncodeDate(1, 1, 1)).Date, 1);
    const TTimeStamp negative = DateTimeToTimeStamp(-1.25);
    EXPECT_EQ(negative.Date, DateDelta - 1);
    EXPECT_EQ(negative.Time, 6 * 3600000);
    EXPECT_EQ(TimeStampToDateTime(negative), -1.25);
    const TTimeStamp carried = DateTimeToTimeStamp(EncodeTime(23, 59, 59, 999) + 0.6 * OneMillisecond);
    EXPECT_EQ(carried.Date, DateDelta + 1);
    EXPECT_EQ(carried.Time, 0);
    EXPECT_EQ(MessageOf<EConvertError>([] {
                  TimeStampToDateTime(TTimeStamp{86400000, 5});
              }),
              "'5.86400000' is not a valid timestamp");
    EXPECT_EQ(MessageOf<EConvertError>([] {
                  TimeStampToDateTime(TTimeStamp{0, 0});
              }),
              "'0.0' is not a valid timestamp");
}

TEST(DateUtils, LeapYearsAndMonthLengths) {
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_FALSE(IsLeapYear(2100));
    EXPECT_FALSE(IsLeapYear(2023));
    EXPECT_EQ(DaysInAMonth(1900, 2), 28);
    EXPECT_EQ(DaysInAMonth(2000, 2), 29);
    EXPECT_EQ(DaysInAMonth(2024, 2), 29);
    EXPECT_EQ(DaysInAMonth(2100, 2), 28);
    EXPECT_EQ(DaysInAMonth(2023, 4), 30);
    EXPECT_EQ(DaysInAMonth(2023, 12), 31);
    EXPECT_EQ(DaysInMonth(EncodeDate(2024, 2, 10) + 0.75), 29);
    EXPECT_EQ(DaysInAYear(1900), 365);
    EXPECT_EQ(DaysInAYear(2000), 366);
    EXPECT_EQ(MessageOf<EConvertError>([] { DaysInAMonth(2024, 0); }), "Invalid argument to date encode");
    EXPECT_TRUE(IsValidDate(2024, 2, 29));
    EXPECT_FALSE(IsValidDate(1900, 2, 29));
    EXPECT_FALSE(IsValidTime(23, 59, 60, 0));
}

TEST(DateUtils, PartsOfAValue) {
    const TDateTime v = EncodeDateTime(2024, 7, 15, 13, 45, 30, 250);
    EXPECT_EQ(YearOf(v), 2024);
    EXPECT_EQ(MonthOf(v), 7);
    EXPECT_EQ(DayOf(v), 15);
    EXPECT_EQ(HourOf(v), 13);
    EXPECT_EQ(MinuteOf(v), 45);
    EXPECT_EQ(SecondOf(v), 30);
    EXPECT_EQ(MilliSecondOf(v), 250);
    EXPECT_EQ(DateOf(v), EncodeDate(2024, 7, 15));
    EXPECT_EQ(Iso(TimeOf(v)), "1899-12-30 13:45:30.250");
    EXPECT_EQ(DateOf(-1.25), -1.0);
    EXPECT_EQ(TimeOf(-1.25), 0.25);
    // A value a hair before midnight belongs to the next day once rounded.
    EXPECT_EQ(DateOf(EncodeDate(2024, 1, 1) - 0.0000000001), EncodeDate(2024, 1, 1));
    EXPECT_EQ(HourOf(EncodeDate(2024, 1, 1) - 0.0000000001), 0);
}

TEST(DateUtils, IncMonthClampsKeepsTimeAndCrossesYears) {
    const TDateTime time = EncodeTime(10, 30, 0, 0);
    EXPECT_EQ(Iso(IncMonth(EncodeDate(2024, 1, 31) + time)), "2024-02-29 10:30:00.000");
    EXPECT_EQ(Iso(IncMonth(EncodeDate(2023, 1, 31) + time)), "2023-02-28 10:30:00.000");
    EXPECT_EQ(Iso(IncMonth(EncodeDate(2024, 12, 15), 1)), "2025-01-15 00:00:00.000");
    EXPECT_EQ(Iso(IncMonth(EncodeDate(2024, 1, 15), -1)), "2023-12-15 00:00:00.000");
    EXPECT_EQ(Iso(IncMonth(EncodeDate(2024, 3, 31), -1)), "2024-02-29 00:00:00.000");
    EXPECT_EQ(Iso(IncMonth(EncodeDate(2024, 1, 31), -25)), "2021-12-31 00:00:00.000");
    EXPECT_EQ(Iso(IncMonth(EncodeDate(2024, 5, 31), 13)), "2025-06-30 00:00:00.000");
    EXPECT_EQ(IncMonth(EncodeDate(2024, 5, 31) + time, 0), EncodeDate(2024, 5, 31) + time);
    EXPECT_EQ(Iso(IncMonth(-1.25)), "1900-01-29 06:00:00.000");
    EXPECT_EQ(Iso(IncYear(EncodeDate(2024, 2, 29))), "2025-02-28 00:00:00.000");
    EXPECT_EQ(Iso(IncYear(EncodeDate(2024, 2, 29), 4)), "2028-02-29 00:00:00.000");
    EXPECT_EQ(Iso(IncYear(EncodeDate(2024, 2, 29), -124)), "1900-02-28 00:00:00.000");
    EXPECT_EQ(MessageOf<EConvertError>([] { IncMonth(EncodeDate(9999, 12, 1)); }),
              "Invalid argument to date encode");
    EXPECT_EQ(MessageOf<EConvertError>([] { IncMonth(EncodeDate(1, 1, 15), -1); }),
              "Invalid argument to date encode");

    // Day and clock steps count along the calendar, also across the negative range
    // where adding to the double would walk the wrong way.
    EXPECT_EQ(Iso(IncDay(-2.25, 3)), "1899-12-31 06:00:00.000");
    EXPECT_EQ(Iso(IncHour(-1.75, 8)), "1899-12-30 02:00:00.000");
    EXPECT_EQ(Iso(IncDay(EncodeDate(2024, 2, 28), 1)), "2024-02-29 00:00:00.000");
    EXPECT_EQ(Iso(IncWeek(EncodeDate(2024, 12, 30), -1)), "2024-12-23 00:00:00.000");
    EXPECT_EQ(Iso(IncMilliSecond(EncodeDateTime(2024, 12, 31, 23, 59, 59, 999))), "2025-01-01 00:00:00.000");
    EXPECT_EQ(Iso(IncSecond(EncodeDate(2024, 1, 1), -1)), "2023-12-31 23:59:59.000");
    EXPECT_EQ(Iso(IncMinute(EncodeDate(2024, 1, 1), 24 * 60 * 366)), "2025-01-01 00:00:00.000");
    EXPECT_EQ(MessageOf<EConvertError>([] { IncHour(0, INT64_MAX / 2); }), "Invalid argument to date encode");
}

TEST(DateUtils, WeekdaysAndIsoWeeks) {
    const TDateTime monday = EncodeDate(2024, 1, 1);
    const TDateTime sunday = EncodeDate(2024, 1, 7);
    EXPECT_EQ(DayOfWeek(monday), 2);
    EXPECT_EQ(DayOfTheWeek(monday), 1);
    EXPECT_EQ(DayOfWeek(sunday + 0.9), 1);
    EXPECT_EQ(DayOfTheWeek(sunday), 7);
    EXPECT_EQ(DayOfWeek(0), 7); // 30 Dec 1899 was a Saturday
    EXPECT_EQ(DayOfTheWeek(0), 6);
    EXPECT_EQ(DayOfWeek(-1.25), 6);
    EXPECT_EQ(DayOfTheWeek(-7), 6);

    Word isoYear = 0;
    EXPECT_EQ(WeekOfTheYear(EncodeDate(2021, 1, 1), isoYear), 53);
    EXPECT_EQ(isoYear, 2020);
    EXPECT_EQ(WeekOfTheYear(EncodeDate(2024, 12, 31), isoYear), 1);
    EXPECT_EQ(isoYear, 2025);
    EXPECT_EQ(WeekOfTheYear(EncodeDate(2020, 12, 31), isoYear), 53);
    EXPECT_EQ(isoYear, 2020);
    EXPECT_EQ(WeekOfTheYear(EncodeDate(2023, 1, 1), isoYear), 52);
    EXPECT_EQ(isoYear, 2022);
    EXPECT_EQ(WeekOfTheYear(EncodeDate(2026, 1, 1), isoYear), 1);
    EXPECT_EQ(isoYear, 2026);
    EXPECT_EQ(WeekOfTheYear(EncodeDate(2024, 1, 1)), 1);
    EXPECT_EQ(WeekOfTheYear(EncodeDate(2024, 6, 30)), 26);
    EXPECT_EQ(WeeksInAYear(2020), 53);
    EXPECT_EQ(WeeksInAYear(2021), 52);
    EXPECT_EQ(WeeksInAYear(2015), 53);
    EXPECT_EQ(WeeksInAYear(2026), 53);
    EXPECT_EQ(WeeksInAYear(2024), 52);

    EXPECT_EQ(DayOfTheYear(EncodeDate(2024, 12, 31)), 366);
    EXPECT_EQ(DayOfTheYear(EncodeDate(2023, 12, 31)), 365);
    EXPECT_EQ(DayOfTheYear(EncodeDate(2024, 3, 1) + 0.5), 61);
}

TEST(DateUtils, StartAndEndOfPeriods) {
    const TDateTime newYearsDay = EncodeDateTime(2025, 1, 1, 15, 0, 0, 0); // a Wednesday
    EXPECT_EQ(Iso(StartOfTheWeek(newYearsDay)), "2024-12-30 00:00:00.000");
    EXPECT_EQ(Iso(EndOfTheWeek(newYearsDay)), "2025-01-05 23:59:59.999");
    EXPECT_EQ(Iso(StartOfTheWeek(EncodeDate(2024, 1, 7))), "2024-01-01 00:00:00.000");
    EXPECT_EQ(Iso(StartOfTheWeek(EncodeDate(2024, 1, 1) + 0.5)), "2024-01-01 00:00:00.000");
    EXPECT_EQ(Iso(EndOfTheWeek(EncodeDate(2024, 1, 7))), "2024-01-07 23:59:59.999");
    EXPECT_EQ(Iso(StartOfTheWeek(0)), "1899-12-25 00:00:00.000");

    const TDateTime midFebruary = EncodeDate(2024, 2, 10) + 0.3;
    EXPECT_EQ(EndOfTheMonth(midFebruary), EncodeDate(2024, 2, 29) + EncodeTime(23, 59, 59, 999));
    EXPECT_EQ(StartOfTheMonth(midFebruary), EncodeDate(2024, 2, 1));
    EXPECT_EQ(Iso(EndOfTheYear(midFebruary)), "2024-12-31 23:59:59.999");
    EXPECT_EQ(StartOfTheYear(midFebruary), EncodeDate(2024, 1, 1));
    EXPECT_EQ(Iso(EndOfAMonth(2100, 2)), "2100-02-28 23:59:59.999");
    EXPECT_EQ(StartOfAYear(2000), 36526.0);
    EXPECT_EQ(Iso(EndOfAYear(1899)), "1899-12-31 23:59:59.999");
    EXPECT_EQ(StartOfTheDay(midFebruary), EncodeDate(2024, 2, 10));
    EXPECT_EQ(Iso(EndOfTheDay(midFebruary)), "2024-02-10 23:59:59.999");
    EXPECT_EQ(Iso(EndOfTheDay(-1.25)), "1899-12-29 23:59:59.999");
    EXPECT_EQ(MessageOf<EConvertError>([] { StartOfAMonth(2024, 13); }), "Invalid argument to date encode");
}

TEST(DateUtils, SpansAndComparisons) {
    const TDateTime feb1 = EncodeDate(2024, 2, 1);
    const TDateTime mar1 = EncodeDate(2024, 3, 1);
    EXPECT_EQ(DaysBetween(mar1, feb1), 29);
    EXPECT_EQ(DaysBetween(feb1, mar1), 29);
    EXPECT_EQ(DaysBetween(feb1 + 0.99, feb1), 0);
    EXPECT_EQ(DaysBetween(feb1 + 1 - 0.0000000001, feb1), 1); // a whole day once rounded
    // 1899-12-29 06:00 to 1899-12-30 06:00 is one day, not the 1.5 the doubles differ by.
    EXPECT_EQ(MilliSecondsBetween(-1.25, 0.25), 86400000);
    EXPECT_EQ(HoursBetween(-1.25, 0.25), 24);
    EXPECT_EQ(MinutesBetween(feb1, feb1 + EncodeTime(1, 2, 59, 0)), 62);
    EXPECT_EQ(SecondsBetween(feb1, feb1 + EncodeTime(0, 0, 1, 999)), 1);

    EXPECT_TRUE(SameDateTime(feb1, feb1 + 0.3 * OneMillisecond));
    EXPECT_FALSE(SameDateTime(feb1, feb1 + 0.6 * OneMillisecond));
    EXPECT_TRUE(SameDate(StartOfTheDay(feb1), EndOfTheDay(feb1)));
    EXPECT_FALSE(SameDate(feb1, mar1));
    EXPECT_TRUE(SameDate(-1.25, -1.75));
    EXPECT_EQ(CompareDateTime(feb1, mar1), -1);
    EXPECT_EQ(CompareDateTime(mar1, feb1), 1);
    EXPECT_EQ(CompareDateTime(feb1, feb1 + 0.2 * OneMillisecond), 0);
    EXPECT_EQ(CompareDateTime(-1.75, -1.25), 1); // 18:00 comes after 06:00 on the same day
}

TEST(DateUtils, ClockIsReplaceableAndRestored) {
    const TDateTime outer = EncodeDateTime(2024, 5, 6, 7, 8, 9, 10);
    const TDateTime inner = EncodeDateTime(1999, 12, 31, 23, 59, 59, 0);
    {
        TClockScope fixedOuter(outer);
        EXPECT_EQ(Now(), outer);
        EXPECT_EQ(Date(), EncodeDate(2024, 5, 6));
        EXPECT_EQ(Iso(Time()), "1899-12-30 07:08:09.010");
        {
            TClockScope fixedInner(TClockFunction([&] { return inner; }));
            EXPECT_EQ(Now(), inner);
        }
        EXPECT_EQ(Now(), outer);
        TClockFunction previous = SetClock([] { return 1.5; });
        ASSERT_TRUE(previous);
        EXPECT_EQ(previous(), outer);
        EXPECT_EQ(Now(), 1.5);
        SetClock(std::move(previous));
        EXPECT_EQ(Now(), outer);
    }
    // Back on the system clock: the slot is empty again.
    TClockFunction system = SetClock({});
    EXPECT_FALSE(system);
}

} // namespace
} // namespace mv
