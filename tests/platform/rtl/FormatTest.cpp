// Format specifiers, the built-in locales and FormatFloat / FormatCurr patterns.
#include "platform/rtl/Format.h"

#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <limits>

namespace mv {
namespace {

Currency Money(double value) {
    return Currency::FromDouble(value);
}

// The message EConvertError carries for `format`, or "" when nothing was raised.
String FormatError(StringView format, std::initializer_list<TVarRec> args) {
    try {
        Format(format, args);
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return u"";
}

TEST(FormatSettings, BuiltInLocales) {
    const TFormatSettings en = TFormatSettings::English();
    EXPECT_EQ(en.DecimalSeparator, u'.');
    EXPECT_EQ(en.LongMonthNames[0], u"January");
    EXPECT_EQ(en.LongMonthNames[11], u"December");
    EXPECT_EQ(en.ShortMonthNames[4], u"May");
    EXPECT_EQ(en.LongDayNames[0], u"Sunday");
    EXPECT_EQ(en.ShortDayNames[6], u"Sat");
    const TFormatSettings de = TFormatSettings::German();
    EXPECT_EQ(de.DecimalSeparator, u',');
    EXPECT_EQ(de.ThousandSeparator, u'.');
    EXPECT_EQ(de.ShortDateFormat, u"dd.MM.yyyy");
    EXPECT_EQ(de.LongDateFormat, u"dddd, d. MMMM yyyy");
    EXPECT_EQ(de.CurrencyString, u"€");
    EXPECT_EQ(de.LongMonthNames[2], u"März");
    EXPECT_EQ(de.LongDayNames[1], u"Montag");
    {
        TFormatSettingsScope scope(de);
        EXPECT_EQ(FormatSettings().DecimalSeparator, u',');
    }
    EXPECT_EQ(FormatSettings().DecimalSeparator, u'.');
}

TEST(Format, IndexesAndPlainText) {
    EXPECT_EQ(Format(u"%1:s - %0:s", {u"a", u"b"}), u"b - a");
    // An index moves the argument pointer: unindexed specifiers continue after it.
    EXPECT_EQ(Format(u"%1:s %s %0:s %s", {u"a", u"b", u"c"}), u"b c a b");
    EXPECT_EQ(Format(u"%0:s LIKE '%2:s%1:s%2:s'", {u"Name", u"Smi", u"%"}), u"Name LIKE '%Smi%'");
    EXPECT_EQ(Format(u"(%s) AND %s", {u"A=1", u"B=2"}), u"(A=1) AND B=2");
    EXPECT_EQ(Format(u"%d\r%d", {1990, 1999}), u"1990\r1999");
    EXPECT_EQ(Format(u"100%% %s", {u"done"}), u"100% done");
    EXPECT_EQ(Format(u"no specifiers", {}), u"no specifiers");
    EXPECT_EQ(Format(u"%S%s", {u'x', String(u"yz")}), u"xyz"); // upper-case types too
}

TEST(Format, IntegersWidthPrecisionAndStar) {
    EXPECT_EQ(Format(u"%d.", {7}), u"7.");
    EXPECT_EQ(Format(u"[%5d][%-5d][%.3d][%.3d]", {42, 42, 5, -5}), u"[   42][42   ][005][-005]");
    EXPECT_EQ(Format(u"[%6.3d]", {-5}), u"[  -005]");
    EXPECT_EQ(Format(u"[%*d][%-*d]", {4, 1, 3, 2}), u"[   1][2  ]");
    EXPECT_EQ(Format(u"%.*d", {4, 12}), u"0012");
    EXPECT_EQ(Format(u"%d", {std::numeric_limits<long long>::min()}), u"-9223372036854775808");
    EXPECT_EQ(Format(u"%d", {std::numeric_limits<unsigned long long>::max()}), u"18446744073709551615");
    EXPECT_EQ(Format(u"%u", {-1}), u"4294967295");
    EXPECT_EQ(Format(u"%x|%.4x|%x", {255, 10, -1}), u"FF|000A|FFFFFFFF");
    EXPECT_EQ(Format(u"%x", {-1LL}), u"FFFFFFFFFFFFFFFF");
    int dummy = 0;
    EXPECT_EQ(Format(u"%p", {static_cast<const void*>(nullptr)}), u"0000000000000000");
    EXPECT_EQ(Format(u"%p", {static_cast<const void*>(&dummy)}).size(), 16u);
}

TEST(Format, StringsAndChars) {
    EXPECT_EQ(Format(u"[%6s][%-6s][%.2s]", {u"abc", u"abc", u"abc"}), u"[   abc][abc   ][ab]");
    EXPECT_EQ(Format(u"[%3.1s]", {u"xyz"}), u"[  x]");
    EXPECT_EQ(Format(u"%s%s", {u'(', u"ok"}), u"(ok");
    // Precision counts UTF-16 units but never splits a surrogate pair.
    EXPECT_EQ(Format(u"%.1s", {u"\U0001F600z"}), u"");
    EXPECT_EQ(Format(u"%.2s", {u"\U0001F600z"}), u"\U0001F600");
}

TEST(Format, Floats) {
    EXPECT_EQ(Format(u"%f|%.0f|%.3f", {2.0 / 3, 2.5, -1.0005}), u"0.67|3|-1.001");
    EXPECT_EQ(Format(u"%n|%.1n", {1234567.891, -1234.56}), u"1,234,567.89|-1,234.6");
    EXPECT_EQ(Format(u"%e", {1234.5}), u"1.23450000000000E+003");
    EXPECT_EQ(Format(u"%.3e|%.3e", {-0.00012345, 0.0}), u"-1.23E-004|0.00E+000");
    EXPECT_EQ(Format(u"%g|%g|%.3g", {0.1, 1234.5, 1234.5}), u"0.1|1234.5|1.23E003");
    EXPECT_EQ(Format(u"[%8.2f][%-8.2f]", {3.14159, 3.14159}), u"[    3.14][3.14    ]");
    EXPECT_EQ(Format(u"%.2f", {-0.001}), u"0.00"); // no "-0.00"
    // Currency arguments keep all their digits.
    EXPECT_EQ(Format(u"%.4f|%f", {Currency::FromScaled(1), Currency::FromScaled(12345678901234567)}),
              u"0.0001|1234567890123.46");
}

TEST(Format, Money) {
    EXPECT_EQ(Format(u"%m|%m|%.0m", {Money(1234.5), Money(-1234.5), Money(2.5)}),
              u"$1,234.50|($1,234.50)|$3");
    EXPECT_EQ(Format(u"%m", {-0.5}), u"($0.50)");
    TFormatSettings s = TFormatSettings::English();
    s.NegCurrFormat = 1;
    EXPECT_EQ(Format(u"%m", {Money(-2)}, s), u"-$2.00");
    s.NegCurrFormat = 15;
    s.CurrencyDecimals = 3;
    EXPECT_EQ(Format(u"%m", {Money(-2)}, s), u"(2.000 $)");
    s.CurrencyFormat = 2;
    EXPECT_EQ(Format(u"%m", {Money(2)}, s), u"$ 2.000");
    const TFormatSettings de = TFormatSettings::German();
    EXPECT_EQ(Format(u"%m|%m", {Money(-1234.5), Money(1234.5)}, de), u"-1.234,50 €|1.234,50 €");
    EXPECT_EQ(Format(u"%n|%.1f", {1234567.891, 2.25}, de), u"1.234.567,89|2,3");
}

TEST(Format, ErrorsNameTheFormat) {
    EXPECT_EQ(FormatError(u"%d", {u"x"}), u"Format '%d' invalid or incompatible with argument");
    EXPECT_EQ(FormatError(u"%d", {1.5}), u"Format '%d' invalid or incompatible with argument");
    EXPECT_EQ(FormatError(u"%d", {true}), u"Format '%d' invalid or incompatible with argument");
    EXPECT_EQ(FormatError(u"%f", {1}), u"Format '%f' invalid or incompatible with argument");
    EXPECT_EQ(FormatError(u"%s", {1}), u"Format '%s' invalid or incompatible with argument");
    EXPECT_EQ(FormatError(u"%p", {1}), u"Format '%p' invalid or incompatible with argument");
    EXPECT_EQ(FormatError(u"a %k b", {1}), u"Format 'a %k b' invalid or incompatible with argument");
    EXPECT_EQ(FormatError(u"%*d", {u"4", 1}), u"Format '%*d' invalid or incompatible with argument");
    EXPECT_EQ(FormatError(u"tail %", {1}), u"Format 'tail %' invalid or incompatible with argument");
    EXPECT_EQ(FormatError(u"%5", {1}), u"Format '%5' invalid or incompatible with argument");
    EXPECT_EQ(FormatError(u"%5-d", {1}), u"Format '%5-d' invalid or incompatible with argument");
    EXPECT_EQ(FormatError(u"%d %d", {1}), u"No argument for format '%d %d'");
    EXPECT_EQ(FormatError(u"%3:s", {u"a"}), u"No argument for format '%3:s'");
    EXPECT_EQ(FormatError(u"%*d", {3}), u"No argument for format '%*d'");
    EXPECT_THROW(Format(u"%s", {}), EConvertError);
}

TEST(FormatFloat, Patterns) {
    EXPECT_EQ(FormatFloat(u"0", 1234.5678), u"1235");
    EXPECT_EQ(FormatFloat(u"0.00", 1234.5678), u"1234.57");
    EXPECT_EQ(FormatFloat(u"#,##0.00", 1234567.891), u"1,234,567.89");
    EXPECT_EQ(FormatFloat(u"#,##0.00", 0.5), u"0.50");
    EXPECT_EQ(FormatFloat(u"#,##0.00", -1234.5), u"-1,234.50");
    EXPECT_EQ(FormatFloat(u"#.###", 2.5), u"2.5");
    EXPECT_EQ(FormatFloat(u"#.###", 0.125), u".125");
    EXPECT_EQ(FormatFloat(u"#.###", 0), u""); // '#' shows only digits that exist
    EXPECT_EQ(FormatFloat(u"0.0#", 2), u"2.0");
    EXPECT_EQ(FormatFloat(u"000", 7), u"007");
    EXPECT_EQ(FormatFloat(u"0,000", 5), u"0,005");
    EXPECT_EQ(FormatFloat(u"0", 123456), u"123456"); // extra digits go to the first placeholder
    EXPECT_EQ(FormatFloat(u"0.0E+00", 1234.5), u"1.2E+03");
    EXPECT_EQ(FormatFloat(u"0.0E+00", -0.00012), u"-1.2E-04");
    EXPECT_EQ(FormatFloat(u"0.###E-0", 1234.5), u"1.235E3");
    EXPECT_EQ(FormatFloat(u"0.###E-0", 0.0005), u"5E-4");
    EXPECT_EQ(FormatFloat(u"00.0e+0", 0), u"00.0e+0");
    EXPECT_EQ(FormatFloat(u"'#'0 \"pcs\" x", 12), u"#12 pcs x");
    EXPECT_EQ(FormatFloat(u"", 0.1 + 0.2), u"0.3");
    EXPECT_EQ(FormatFloat(u"0.00", 1e20), u"1E20"); // too many digits for a fixed pattern
    EXPECT_EQ(FormatFloat(u"0.00", std::numeric_limits<double>::quiet_NaN()), u"NAN");
    EXPECT_EQ(FormatFloat(u"#,##0.00", 1234.5, TFormatSettings::German()), u"1.234,50");
}

TEST(FormatFloat, RoundingHalfAwayFromZero) {
    EXPECT_EQ(FormatFloat(u"0.00", 0.125), u"0.13");
    EXPECT_EQ(FormatFloat(u"0.00", -0.125), u"-0.13");
    EXPECT_EQ(FormatFloat(u"0", 2.5), u"3");
    EXPECT_EQ(FormatFloat(u"0", -2.5), u"-3");
    EXPECT_EQ(FormatFloat(u"0", 0.5), u"1");
    EXPECT_EQ(FormatFloat(u"0.00", 9.995), u"10.00");
    // The 15-digit decimal value is rounded, not the binary one (1.00499999...).
    EXPECT_EQ(FormatFloat(u"0.00", 1.005), u"1.01");
    EXPECT_EQ(FormatFloat(u"0.00", -0.001), u"0.00");
    EXPECT_EQ(FormatFloat(u"0", -0.4), u"0");
    EXPECT_EQ(FormatFloat(u"0.00", -0.0), u"0.00");
}

TEST(FormatFloat, Sections) {
    const StringView f = u"#,##0.00;(#,##0.00);'Zero'";
    EXPECT_EQ(FormatFloat(f, 1234.5), u"1,234.50");
    EXPECT_EQ(FormatFloat(f, -1234.5), u"(1,234.50)");
    EXPECT_EQ(FormatFloat(f, 0), u"Zero");
    EXPECT_EQ(FormatFloat(f, -0.001), u"Zero");         // rounds to zero: the zero section
    EXPECT_EQ(FormatFloat(u"0.0;;'nil'", -2), u"-2.0"); // empty negative section: positive with '-'
    EXPECT_EQ(FormatFloat(u"0.0;;'nil'", 0), u"nil");
    EXPECT_EQ(FormatFloat(u"0.0;(0.0)", 0), u"0.0"); // no zero section: positive
    EXPECT_EQ(FormatFloat(u"0.0;(0.0)", -0.01), u"0.0");
    EXPECT_EQ(FormatFloat(u"'a;b' 0", 1), u"a;b 1"); // ';' inside quotes does not split
}

TEST(FormatFloat, FormatCurrIsExact) {
    EXPECT_EQ(FormatCurr(u"#,##0.00", Currency::FromScaled(12345650)), u"1,234.57");
    EXPECT_EQ(FormatCurr(u"#,##0.00", Currency::FromScaled(-12345650)), u"-1,234.57");
    EXPECT_EQ(FormatCurr(u"0.0000", Currency::FromScaled(std::numeric_limits<Int64>::max())),
              u"922337203685477.5807");
    EXPECT_EQ(FormatCurr(u"0.00;(0.00)", Money(-0.004)), u"0.00");
    EXPECT_EQ(FormatCurr(u"", Money(-12.5)), u"-12.5");
    EXPECT_EQ(FormatCurr(u"#,##0.00 \"€\"", Money(1234.5), TFormatSettings::German()), u"1.234,50 €");
}

} // namespace
} // namespace mv
