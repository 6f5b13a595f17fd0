// FloatToStr / FloatToStrF / CurrToStr texts and StrToFloat / StrToCurr parsing.
#include "platform/rtl/Format.h"

#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace mv {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(FloatToStr, GeneralFifteenDigits) {
    EXPECT_EQ(FloatToStr(0.1), u"0.1");
    EXPECT_EQ(FloatToStr(0.1 + 0.2), u"0.3");
    EXPECT_EQ(FloatToStr(1.0 / 3), u"0.333333333333333");
    EXPECT_EQ(FloatToStr(2.0 / 3), u"0.666666666666667");
    EXPECT_EQ(FloatToStr(-1.5), u"-1.5");
    EXPECT_EQ(FloatToStr(100), u"100");
    EXPECT_EQ(FloatToStr(-0.0), u"0");
    EXPECT_EQ(FloatToStr(kNaN), u"NAN");
    EXPECT_EQ(FloatToStr(kInf), u"INF");
    EXPECT_EQ(FloatToStr(-kInf), u"-INF");
    // Scientific once the integer digits exceed the precision, or below 1E-4.
    EXPECT_EQ(FloatToStr(999999999999999.0), u"999999999999999");
    EXPECT_EQ(FloatToStr(1e15), u"1E15");
    EXPECT_EQ(FloatToStr(9999999999999999.0), u"1E16"); // rounds up into the next decade
    EXPECT_EQ(FloatToStr(1e20), u"1E20");
    EXPECT_EQ(FloatToStr(123456789012345680000.0), u"1.23456789012346E20");
    EXPECT_EQ(FloatToStr(0.0001), u"0.0001");
    EXPECT_EQ(FloatToStr(0.00012345), u"0.00012345");
    EXPECT_EQ(FloatToStr(0.00001), u"1E-5");
    EXPECT_EQ(FloatToStr(1.5e-5), u"1.5E-5");
    EXPECT_EQ(FloatToStr(-2.5e-300), u"-2.5E-300");
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::max()), u"1.79769313486232E308");
    EXPECT_EQ(FloatToStr(1234.5, TFormatSettings::German()), u"1234,5");
}

TEST(FloatToStr, FloatFormats) {
    EXPECT_EQ(FloatToStrF(1234.5, ffGeneral, 3, 2), u"1.23E03");
    EXPECT_EQ(FloatToStrF(1234.5, ffExponent, 4, 2), u"1.235E+03");
    EXPECT_EQ(FloatToStrF(-1234.5, ffExponent, 4, 0), u"-1.235E+3");
    EXPECT_EQ(FloatToStrF(0.0, ffExponent, 4, 2), u"0.000E+00");
    EXPECT_EQ(FloatToStrF(0.000123, ffExponent, 2, 4), u"1.2E-0004");
    EXPECT_EQ(FloatToStrF(1234.5, ffFixed, 15, 3), u"1234.500");
    EXPECT_EQ(FloatToStrF(0.125, ffFixed, 15, 2), u"0.13");
    EXPECT_EQ(FloatToStrF(-0.001, ffFixed, 15, 2), u"0.00");
    EXPECT_EQ(FloatToStrF(0.5, ffFixed, 15, 0), u"1");
    EXPECT_EQ(FloatToStrF(1e20, ffFixed, 15, 2), u"1E20"); // more integer digits than precision
    EXPECT_EQ(FloatToStrF(123456.789, ffFixed, 4, 2), u"1.235E5");
    EXPECT_EQ(FloatToStrF(-1234567.5, ffNumber, 15, 2), u"-1,234,567.50");
    EXPECT_EQ(FloatToStrF(999.999, ffNumber, 15, 2), u"1,000.00");
    EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 15, 2), u"($1,234.50)");
    EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 15, 1, TFormatSettings::German()), u"-1.234,5 €");
    // Digits come from the shortest text that reads back as the same double.
    EXPECT_EQ(FloatToStrF(0.1, ffGeneral, 17, 0), u"0.1");
    EXPECT_EQ(FloatToStrF(0.1 + 0.2, ffGeneral, 17, 0), u"0.30000000000000004");
    EXPECT_EQ(FloatToStrF(2.675, ffFixed, 15, 2), u"2.68");
}

TEST(FloatToStr, CurrencyTexts) {
    EXPECT_EQ(CurrToStr(Currency::FromDouble(1.5)), u"1.5");
    EXPECT_EQ(CurrToStr(Currency::FromScaled(-1)), u"-0.0001");
    EXPECT_EQ(CurrToStr(Currency()), u"0");
    EXPECT_EQ(CurrToStr(Currency::FromScaled(std::numeric_limits<Int64>::min())), u"-922337203685477.5808");
    EXPECT_EQ(CurrToStrF(Currency::FromDouble(-1234.5678), ffNumber, 2), u"-1,234.57");
    EXPECT_EQ(CurrToStrF(Currency::FromDouble(1234.5678), ffCurrency, 2), u"$1,234.57");
    EXPECT_EQ(CurrToStrF(Currency::FromScaled(5), ffFixed, 3), u"0.001");
    TFormatSettingsScope scope(TFormatSettings::German());
    EXPECT_EQ(CurrToStrF(Currency::FromDouble(-1234.5), ffCurrency, 2), u"-1.234,50 €");
}

TEST(StrToFloat, AcceptsTheFrameworkSyntax) {
    EXPECT_EQ(StrToFloat(u"1.5"), 1.5);
    EXPECT_EQ(StrToFloat(u"  -1.5  "), -1.5);
    EXPECT_EQ(StrToFloat(u"+2"), 2);
    EXPECT_EQ(StrToFloat(u".5"), 0.5);
    EXPECT_EQ(StrToFloat(u"5."), 5);
    EXPECT_EQ(StrToFloat(u"1E3"), 1000);
    EXPECT_EQ(StrToFloat(u"1.5e+3"), 1500);
    EXPECT_EQ(StrToFloat(u"25e-2"), 0.25);
    EXPECT_EQ(StrToFloat(u"0.1"), 0.1);
    EXPECT_EQ(StrToFloat(u"1e-999"), 0); // underflow is zero, not an error
    EXPECT_TRUE(std::signbit(StrToFloat(u"-0")));
    // Every double survives a round trip through its 17-digit text.
    for (double v : {0.1, 1.0 / 3, -2.5e-300, 1.7976931348623157e308, 123456.789, 5e-324}) {
        EXPECT_EQ(StrToFloat(FloatToStrF(v, ffGeneral, 17, 0)), v);
    }
    EXPECT_EQ(StrToFloat(FloatToStr(123.456)), 123.456);
    const TFormatSettings de = TFormatSettings::German();
    EXPECT_EQ(StrToFloat(u"1,5", de), 1.5);
    double value = 0;
    EXPECT_FALSE(TryStrToFloat(u"1.5", value, de));
    EXPECT_EQ(StrToFloatDef(u"x", -1), -1);
    EXPECT_EQ(StrToFloatDef(u"2.5", -1), 2.5);
}

TEST(StrToFloat, RejectsEverythingElse) {
    double value = 42;
    for (StringView bad : {u"", u"  ", u"1,5", u"1.5.", u"1e", u"e5", u"1e+", u".", u"-", u"1 000",
                           u"1,000.5", u"abc", u"--1", u"1.5x", u"INF", u"NAN", u"0x10", u"1e999", u"1\t2"}) {
        EXPECT_FALSE(TryStrToFloat(bad, value)) << std::string(bad.begin(), bad.end());
    }
    EXPECT_EQ(value, 42); // untouched on failure
    try {
        StrToFloat(u"12abc");
        ADD_FAILURE() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"'12abc' is not a valid floating point value");
    }
}

TEST(StrToFloat, CurrencyIsExactToFourDecimals) {
    EXPECT_EQ(StrToCurr(u"1.5").Scaled, 15000);
    EXPECT_EQ(StrToCurr(u"1.00005").Scaled, 10001); // half away from zero, not via binary
    EXPECT_EQ(StrToCurr(u"-1.00005").Scaled, -10001);
    EXPECT_EQ(StrToCurr(u"1.23444").Scaled, 12344);
    EXPECT_EQ(StrToCurr(u"12E-5").Scaled, 1);
    EXPECT_EQ(StrToCurr(u"1.5e3").Scaled, 15000000);
    EXPECT_EQ(StrToCurr(u" 922337203685477.5807 ").Scaled, std::numeric_limits<Int64>::max());
    Currency c;
    EXPECT_FALSE(TryStrToCurr(u"922337203685477.5808", c));
    EXPECT_FALSE(TryStrToCurr(u"1e20", c));
    EXPECT_FALSE(TryStrToCurr(u"1,5", c));
    EXPECT_THROW(StrToCurr(u"x"), EConvertError);
    TFormatSettingsScope scope(TFormatSettings::German());
    EXPECT_EQ(StrToCurr(u"-2,25").Scaled, -22500);
}

} // namespace
} // namespace mv
