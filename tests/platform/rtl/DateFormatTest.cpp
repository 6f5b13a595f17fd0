// Date/time texts: FormatDateTime pattern families, the DateToStr family under English
// and German settings, and StrToDate/StrToTime/StrToDateTime with their rejections.
#include "platform/rtl/DateUtils.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Utf8.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

const TFormatSettings kEnglish = TFormatSettings::English();
const TFormatSettings kGerman = TFormatSettings::German();

std::string Fmt(StringView format, TDateTime value, const TFormatSettings& settings = kEnglish) {
    return UTF8Encode(FormatDateTime(format, value, settings));
}

template <typename F> std::string ConvertErrorOf(F&& action) {
    try {
        action();
    } catch (const EConvertError& e) {
        return UTF8Encode(e.Message());
    }
    return "<nothing raised>";
}

// Tuesday 5 March 2024, 14:07:09.045.
const TDateTime kSample = EncodeDateTime(2024, 3, 5, 14, 7, 9, 45);

TEST(FormatDateTime, DayMonthYearPatterns) {
    EXPECT_EQ(Fmt(u"d", kSample), "5");
    EXPECT_EQ(Fmt(u"dd", kSample), "05");
    EXPECT_EQ(Fmt(u"ddd", kSample), "Tue");
    EXPECT_EQ(Fmt(u"dddd", kSample), "Tuesday");
    EXPECT_EQ(Fmt(u"ddddd", kSample), "3/5/2024");
    EXPECT_EQ(Fmt(u"dddddd", kSample), "Tuesday, March 5, 2024");
    EXPECT_EQ(Fmt(u"m", kSample), "3");
    EXPECT_EQ(Fmt(u"mm", kSample), "03");
    EXPECT_EQ(Fmt(u"mmm", kSample), "Mar");
    EXPECT_EQ(Fmt(u"mmmm", kSample), "March");
    EXPECT_EQ(Fmt(u"MMMM", kSample), "March");
    EXPECT_EQ(Fmt(u"y", kSample), "24");
    EXPECT_EQ(Fmt(u"yy", kSample), "24");
    EXPECT_EQ(Fmt(u"yyy", kSample), "2024");
    EXPECT_EQ(Fmt(u"yyyy", kSample), "2024");
    EXPECT_EQ(Fmt(u"yyyy/mm/dd", EncodeDate(5, 1, 9)), "0005/01/09");
    EXPECT_EQ(Fmt(u"yy", EncodeDate(2007, 1, 9)), "07");
    EXPECT_EQ(Fmt(u"d/m/yy", kSample, kGerman), "5.3.24");
    EXPECT_EQ(Fmt(u"[dd]-{mm}", kSample), "[05]-{03}");
    EXPECT_EQ(Fmt(u"ddd dd", EncodeDate(2024, 3, 10)), "Sun 10");
    EXPECT_EQ(Fmt(u"dddd", -1.25), "Friday");
}

TEST(FormatDateTime, TimePatternsMinutesAndTwelveHourClock) {
    EXPECT_EQ(Fmt(u"h:n:s.z", kSample), "14:7:9.45");
    EXPECT_EQ(Fmt(u"hh:nn:ss.zzz", kSample), "14:07:09.045");
    EXPECT_EQ(Fmt(u"zz", kSample), "45");
    // m after an hour is minutes; after anything else it is the month.
    EXPECT_EQ(Fmt(u"h:mm", kSample), "14:07");
    EXPECT_EQ(Fmt(u"hh mm", kSample), "14 07");
    EXPECT_EQ(Fmt(u"mm hh", kSample), "03 14");
    EXPECT_EQ(Fmt(u"h:mm d/m", kSample), "14:07 5/3");
    EXPECT_EQ(Fmt(u"h:mm:ss", kSample, kGerman), "14:07:09");

    EXPECT_EQ(Fmt(u"h:nn am/pm", kSample), "2:07 pm");
    EXPECT_EQ(Fmt(u"h:nn AM/PM", kSample), "2:07 PM");
    EXPECT_EQ(Fmt(u"h:nn Am/Pm", EncodeTime(9, 5, 0, 0)), "9:05 Am");
    EXPECT_EQ(Fmt(u"h:nn a/p", kSample), "2:07 p");
    EXPECT_EQ(Fmt(u"h:nn A/P", EncodeTime(9, 5, 0, 0)), "9:05 A");
    EXPECT_EQ(Fmt(u"hh:nn ampm", EncodeTime(9, 5, 0, 0)), "09:05 AM");
    EXPECT_EQ(Fmt(u"h:nn am/pm", EncodeTime(0, 30, 0, 0)), "12:30 am");
    EXPECT_EQ(Fmt(u"h:nn am/pm", EncodeTime(12, 0, 0, 0)), "12:00 pm");
    EXPECT_EQ(Fmt(u"h:nn am/pm", EncodeTime(23, 59, 0, 0)), "11:59 pm");
    TFormatSettings custom = kEnglish;
    custom.TimeAMString = u"vorm.";
    custom.TimePMString = u"nachm.";
    EXPECT_EQ(Fmt(u"h:nn ampm", kSample, custom), "2:07 nachm.");
    // The marker only makes the hour before it 12-hour, and quoted text is no marker.
    EXPECT_EQ(Fmt(u"h 'am/pm'", kSample), "14 am/pm");
    EXPECT_EQ(Fmt(u"h h am/pm", kSample), "14 2 pm");
    EXPECT_EQ(Fmt(u"a", kSample), "a");

    EXPECT_EQ(Fmt(u"t", kSample), "2:07 PM");
    EXPECT_EQ(Fmt(u"tt", kSample), "2:07:09 PM");
    EXPECT_EQ(Fmt(u"t", kSample, kGerman), "14:07");
}

TEST(FormatDateTime, LiteralsCompositesAndNesting) {
    EXPECT_EQ(Fmt(u"'Today is' dddd", kSample), "Today is Tuesday");
    EXPECT_EQ(Fmt(u"\"h\"h", kSample), "h14");
    EXPECT_EQ(Fmt(u"'dd/mm' dd", kSample), "dd/mm 05");
    EXPECT_EQ(Fmt(u"\"it's\" d", kSample), "it's 5");
    EXPECT_EQ(Fmt(u"d 'open", kSample), "5 open");
    EXPECT_EQ(Fmt(u"c", kSample), "3/5/2024 2:07:09 PM");
    EXPECT_EQ(Fmt(u"c", EncodeDate(2024, 3, 5)), "3/5/2024");
    EXPECT_EQ(Fmt(u"c", EncodeDate(2024, 3, 5) + OneMillisecond), "3/5/2024 12:00:00 AM");
    EXPECT_EQ(Fmt(u"", kSample), "3/5/2024 2:07:09 PM");
    EXPECT_EQ(Fmt(u"c", -1.25), "12/29/1899 6:00:00 AM");

    // Settings that name each other stop expanding instead of recursing forever.
    TFormatSettings loop = kEnglish;
    loop.ShortDateFormat = u"ddddd";
    loop.LongDateFormat = u"x c";
    loop.LongTimeFormat = u"dddddd";
    EXPECT_EQ(Fmt(u"ddddd", kSample, loop), "");
    EXPECT_EQ(Fmt(u"dddddd|d", kSample, loop), "x  |5");
}

TEST(FormatDateTime, DateToStrFamilyFollowsSettings) {
    EXPECT_EQ(UTF8Encode(DateToStr(kSample, kEnglish)), "3/5/2024");
    EXPECT_EQ(UTF8Encode(TimeToStr(kSample, kEnglish)), "2:07:09 PM");
    EXPECT_EQ(UTF8Encode(DateTimeToStr(kSample, kEnglish)), "3/5/2024 2:07:09 PM");
    EXPECT_EQ(UTF8Encode(DateTimeToStr(EncodeDate(2024, 3, 5), kEnglish)), "3/5/2024");
    EXPECT_EQ(UTF8Encode(DateToStr(kSample, kGerman)), "05.03.2024");
    EXPECT_EQ(UTF8Encode(TimeToStr(kSample, kGerman)), "14:07:09");
    EXPECT_EQ(UTF8Encode(DateTimeToStr(kSample, kGerman)), "05.03.2024 14:07:09");
    EXPECT_EQ(Fmt(u"dddddd", kSample, kGerman), "Dienstag, 5. März 2024");
    EXPECT_EQ(Fmt(u"ddd, d. mmm", kSample, kGerman), "Di, 5. Mär");
    {
        TFormatSettingsScope german(kGerman);
        EXPECT_EQ(UTF8Encode(DateToStr(kSample)), "05.03.2024");
        EXPECT_EQ(UTF8Encode(FormatDateTime(u"dd/mm", kSample)), "05.03");
        EXPECT_EQ(StrToDate(u"6.3.2024"), EncodeDate(2024, 3, 6));
    }
    EXPECT_EQ(UTF8Encode(DateToStr(kSample)), "3/5/2024");
}

TEST(StrToDate, FieldOrdersSeparatorsAndMissingYear) {
    TClockScope clock(EncodeDateTime(2024, 6, 15, 12, 0, 0, 0));
    EXPECT_EQ(StrToDate(u"3/5/2024", kEnglish), EncodeDate(2024, 3, 5));
    EXPECT_EQ(StrToDate(u"  3 / 5 / 2024  ", kEnglish), EncodeDate(2024, 3, 5));
    EXPECT_EQ(StrToDate(u"05.03.2024", kGerman), EncodeDate(2024, 3, 5));
    TFormatSettings iso = kEnglish;
    iso.ShortDateFormat = u"yyyy-MM-dd";
    iso.DateSeparator = u'-';
    EXPECT_EQ(StrToDate(u"2024-03-05", iso), EncodeDate(2024, 3, 5));
    EXPECT_EQ(StrToDate(u"0800-12-31", iso), EncodeDate(800, 12, 31));
    // Day and month alone take the clock's year.
    EXPECT_EQ(StrToDate(u"3/5", kEnglish), EncodeDate(2024, 3, 5));
    EXPECT_EQ(StrToDate(u"5.3", kGerman), EncodeDate(2024, 3, 5));
    EXPECT_EQ(StrToDate(u"3-5", iso), EncodeDate(2024, 3, 5));

    TDateTime value = 42;
    EXPECT_TRUE(TryStrToDate(u"2/29/2024", value, kEnglish));
    EXPECT_EQ(value, EncodeDate(2024, 2, 29));
    value = 42;
    EXPECT_FALSE(TryStrToDate(u"2/29/2023", value, kEnglish));
    EXPECT_EQ(value, 42.0);
}

TEST(StrToDate, TwoDigitYearsFollowTheClockAndWindow) {
    TClockScope clock(EncodeDate(2024, 6, 15));
    EXPECT_EQ(YearOf(StrToDate(u"1/2/24", kEnglish)), 2024);
    EXPECT_EQ(YearOf(StrToDate(u"1/2/74", kEnglish)), 1974);
    EXPECT_EQ(YearOf(StrToDate(u"1/2/73", kEnglish)), 2073);
    EXPECT_EQ(YearOf(StrToDate(u"1/2/99", kEnglish)), 1999);
    EXPECT_EQ(YearOf(StrToDate(u"1/2/00", kEnglish)), 2000);
    EXPECT_EQ(YearOf(StrToDate(u"1/2/0024", kEnglish)), 24); // four digits are taken as written
    TFormatSettings noWindow = kEnglish;
    noWindow.TwoDigitYearCenturyWindow = 0;
    EXPECT_EQ(YearOf(StrToDate(u"1/2/99", noWindow)), 2099);
    {
        TClockScope later(EncodeDate(2070, 1, 1));
        EXPECT_EQ(YearOf(StrToDate(u"1/2/20", kEnglish)), 2020);
        EXPECT_EQ(YearOf(StrToDate(u"1/2/19", kEnglish)), 2119);
        EXPECT_EQ(YearOf(StrToDate(u"1/2", kEnglish)), 2070);
    }
}

TEST(StrToDate, RejectsWithClassAndMessage) {
    TClockScope clock(EncodeDate(2024, 6, 15));
    EXPECT_EQ(ConvertErrorOf([] { StrToDate(u"2/31/2024", kEnglish); }), "'2/31/2024' is not a valid date");
    EXPECT_EQ(ConvertErrorOf([] { StrToDate(u"31.02.2024", kGerman); }), "'31.02.2024' is not a valid date");
    EXPECT_EQ(ConvertErrorOf([] { StrToDate(u"13/1/2024", kEnglish); }), "'13/1/2024' is not a valid date");
    EXPECT_EQ(ConvertErrorOf([] { StrToDate(u"abc", kEnglish); }), "'abc' is not a valid date");
    EXPECT_EQ(ConvertErrorOf([] { StrToDate(u"1/2/3/4", kEnglish); }), "'1/2/3/4' is not a valid date");
    EXPECT_EQ(ConvertErrorOf([] { StrToDate(u"", kEnglish); }), "'' is not a valid date");
    EXPECT_EQ(ConvertErrorOf([] { StrToDate(u"1-2-2024", kEnglish); }), "'1-2-2024' is not a valid date");
    EXPECT_EQ(ConvertErrorOf([] { StrToDate(u"1/2/20245", kEnglish); }), "'1/2/20245' is not a valid date");
    EXPECT_EQ(ConvertErrorOf([] { StrToDate(u"1/2/2024 10:00", kEnglish); }),
              "'1/2/2024 10:00' is not a valid date");
    EXPECT_EQ(ConvertErrorOf([] { StrToDate(u"1/", kEnglish); }), "'1/' is not a valid date");
}

TEST(StrToTime, ClockTimesWithAndWithoutAmPm) {
    EXPECT_EQ(StrToTime(u"14:07", kEnglish), EncodeTime(14, 7, 0, 0));
    EXPECT_EQ(StrToTime(u" 2:07:09 PM ", kEnglish), EncodeTime(14, 7, 9, 0));
    EXPECT_EQ(StrToTime(u"2:07:09pm", kEnglish), EncodeTime(14, 7, 9, 0));
    EXPECT_EQ(StrToTime(u"12:00 AM", kEnglish), 0.0);
    EXPECT_EQ(StrToTime(u"12:30 pm", kEnglish), EncodeTime(12, 30, 0, 0));
    EXPECT_EQ(StrToTime(u"3 PM", kEnglish), EncodeTime(15, 0, 0, 0));
    EXPECT_EQ(StrToTime(u"14:07:09.045", kEnglish), EncodeTime(14, 7, 9, 45));
    EXPECT_EQ(StrToTime(u"14:07:09.5", kEnglish), EncodeTime(14, 7, 9, 500));
    EXPECT_EQ(StrToTime(u"14:07:09,5", kGerman), EncodeTime(14, 7, 9, 500));
    TFormatSettings custom = kEnglish;
    custom.TimePMString = u"nachm.";
    EXPECT_EQ(StrToTime(u"2:07 nachm.", custom), EncodeTime(14, 7, 0, 0));
    EXPECT_EQ(StrToTime(u"2:07 PM", custom), EncodeTime(14, 7, 0, 0));

    EXPECT_EQ(ConvertErrorOf([] { StrToTime(u"13:00 PM", kEnglish); }), "'13:00 PM' is not a valid time");
    EXPECT_EQ(ConvertErrorOf([] { StrToTime(u"0:30 AM", kEnglish); }), "'0:30 AM' is not a valid time");
    EXPECT_EQ(ConvertErrorOf([] { StrToTime(u"24:00", kEnglish); }), "'24:00' is not a valid time");
    EXPECT_EQ(ConvertErrorOf([] { StrToTime(u"10:60", kEnglish); }), "'10:60' is not a valid time");
    EXPECT_EQ(ConvertErrorOf([] { StrToTime(u"7", kEnglish); }), "'7' is not a valid time");
    EXPECT_EQ(ConvertErrorOf([] { StrToTime(u"abc", kEnglish); }), "'abc' is not a valid time");
    EXPECT_EQ(ConvertErrorOf([] { StrToTime(u"10:00:00.1234", kEnglish); }),
              "'10:00:00.1234' is not a valid time");
    EXPECT_EQ(ConvertErrorOf([] { StrToTime(u"10:00 XM", kEnglish); }), "'10:00 XM' is not a valid time");
}

TEST(StrToDateTime, CombinationsRoundTripsAndRejects) {
    TClockScope clock(EncodeDate(2024, 6, 15));
    EXPECT_EQ(StrToDateTime(u"3/5/2024 2:07:09 PM", kEnglish), EncodeDateTime(2024, 3, 5, 14, 7, 9, 0));
    EXPECT_EQ(StrToDateTime(u"3/5/2024", kEnglish), EncodeDate(2024, 3, 5));
    EXPECT_EQ(StrToDateTime(u"14:30", kEnglish), EncodeTime(14, 30, 0, 0));
    EXPECT_EQ(StrToDateTime(u"12/29/1899 6:00 AM", kEnglish), -1.25);
    EXPECT_EQ(StrToDateTime(u"05.03.2024 14:07", kGerman), EncodeDateTime(2024, 3, 5, 14, 7, 0, 0));

    const TDateTime samples[] = {
        EncodeDateTime(2024, 3, 5, 14, 7, 9, 0),     EncodeDateTime(2024, 12, 31, 0, 0, 0, 0),
        EncodeDateTime(1999, 1, 1, 12, 0, 0, 0),     EncodeDateTime(2000, 2, 29, 0, 0, 1, 0),
        EncodeDateTime(1850, 7, 4, 23, 59, 59, 0),   EncodeDateTime(1899, 12, 29, 6, 0, 0, 0),
        EncodeDateTime(9999, 12, 31, 11, 59, 59, 0),
    };
    for (const TFormatSettings* settings : {&kEnglish, &kGerman}) {
        for (const TDateTime sample : samples) {
            const String text = DateTimeToStr(sample, *settings);
            TDateTime parsed = -99999;
            EXPECT_TRUE(TryStrToDateTime(text, parsed, *settings)) << UTF8Encode(text);
            EXPECT_TRUE(SameDateTime(parsed, sample)) << UTF8Encode(text) << " read back as " << parsed;
            EXPECT_TRUE(SameDate(StrToDate(DateToStr(sample, *settings), *settings), sample));
            EXPECT_EQ(SecondsBetween(StrToTime(TimeToStr(sample, *settings), *settings), TimeOf(sample)), 0);
        }
    }

    EXPECT_EQ(ConvertErrorOf([] { StrToDateTime(u"3/5/2024 25:00", kEnglish); }),
              "'3/5/2024 25:00' is not a valid date and time");
    EXPECT_EQ(ConvertErrorOf([] { StrToDateTime(u"3/5/2024 14:00 x", kEnglish); }),
              "'3/5/2024 14:00 x' is not a valid date and time");
    EXPECT_EQ(ConvertErrorOf([] { StrToDateTime(u"tomorrow", kEnglish); }),
              "'tomorrow' is not a valid date and time");
    TDateTime untouched = 3;
    EXPECT_FALSE(TryStrToDateTime(u"2/30/2024 10:00", untouched, kEnglish));
    EXPECT_EQ(untouched, 3.0);
    {
        TFormatSettingsScope german(kGerman);
        EXPECT_EQ(StrToDateTime(u"01.02.2024 10:00"), EncodeDateTime(2024, 2, 1, 10, 0, 0, 0));
        EXPECT_EQ(ConvertErrorOf([] { StrToTime(u"10.00"); }), "'10.00' is not a valid time");
    }
}

} // namespace
} // namespace mv
