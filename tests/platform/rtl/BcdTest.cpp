// TBcd: exact decimal arithmetic, 64-digit limits, negative zero, scales, the packed
// layout, and the conversions to and from text, doubles, integers and currency.
#include "platform/rtl/Bcd.h"

#include "platform/rtl/Utf8.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace mv {
namespace {

template <typename E, typename F> std::string MessageOf(F&& action) {
    try {
        action();
    } catch (const E& e) {
        return UTF8Encode(e.Message());
    }
    return "<nothing raised>";
}

TBcd B(const char16_t* text) {
    return StrToBcd(text);
}
std::string S(const TBcd& value) {
    return UTF8Encode(BcdToStr(value));
}

// n nines, or a 1 followed by n zeros.
String Digits(Char digit, int count) {
    return String(static_cast<size_t>(count), digit);
}

TEST(Bcd, ArithmeticIsExact) {
    EXPECT_NE(0.1 + 0.2, 0.3); // what BCD exists to avoid
    EXPECT_EQ(BcdCompare(B(u"0.1") + B(u"0.2"), B(u"0.3")), 0);
    EXPECT_EQ(S(B(u"0.1") + B(u"0.2")), "0.3");
    TBcd cents = IntegerToBcd(0);
    for (int i = 0; i < 1000; ++i)
        cents = cents + B(u"0.01");
    EXPECT_EQ(S(cents), "10");
    EXPECT_EQ(S(B(u"1") - B(u"2.5")), "-1.5");
    EXPECT_EQ(S(B(u"-1") - B(u"-1")), "0");
    EXPECT_EQ(S(B(u"-1.5") * B(u"2")), "-3");
    EXPECT_EQ(S(B(u"1.5") * B(u"1.25")), "1.875");
    EXPECT_EQ(S(B(u"-0.001") * B(u"-0.001")), "0.000001");
    EXPECT_EQ(S(B(u"123456789012345678901234567890") * B(u"987654321098765432109876543210")),
              "121932631137021795226185032733622923332237463801111263526900");
    EXPECT_EQ(S(B(u"10") / B(u"4")), "2.5");
    EXPECT_EQ(S(B(u"-7") / B(u"2")), "-3.5");
    EXPECT_EQ(S(B(u"1") / B(u"3")), "0." + std::string(32, '3'));
    EXPECT_EQ(S(B(u"2") / B(u"3")), "0." + std::string(31, '6') + "7");
    EXPECT_EQ(S(B(u"-2") / B(u"3")), "-0." + std::string(31, '6') + "7");
    EXPECT_EQ(S(B(u"1") / B(u"0.125")), "8");
    EXPECT_EQ(S(B(u"0.000001") / B(u"1000000")), "0.000000000001");
    EXPECT_EQ(MessageOf<EZeroDivide>([] { B(u"1") / B(u"0.00"); }), "Division by zero");

    EXPECT_LT(BcdCompare(B(u"-2"), B(u"-1.5")), 0);
    EXPECT_LT(BcdCompare(B(u"-1.5"), B(u"0")), 0);
    EXPECT_LT(BcdCompare(B(u"0"), B(u"0.001")), 0);
    EXPECT_GT(BcdCompare(B(u"1"), B(u"0.999999")), 0);
    EXPECT_EQ(BcdCompare(B(u"1"), B(u"1.000")), 0);
    EXPECT_TRUE(B(u"2.5") > B(u"-3"));
    EXPECT_TRUE(B(u"-2.5") < B(u"-2.4"));
}

TEST(Bcd, SixtyFourDigitsAndOverflow) {
    const String digits64 = u"1234567890123456789012345678901234567890123456789012345678901234";
    EXPECT_EQ(BcdToStr(StrToBcd(digits64)), digits64);
    EXPECT_EQ(BcdPrecision(StrToBcd(digits64)), 64);
    EXPECT_EQ(BcdToStr(StrToBcd(digits64) + IntegerToBcd(1)),
              u"1234567890123456789012345678901234567890123456789012345678901235");
    const String mixed = u"12345678901234567890123456789012.12345678901234567890123456789012";
    EXPECT_EQ(BcdToStr(StrToBcd(mixed)), mixed);
    EXPECT_EQ(BcdToStr(StrToBcd(u"-" + mixed)), u"-" + mixed);

    // More than 64 digits: decimals give way, integer digits overflow.
    EXPECT_EQ(BcdToStr(StrToBcd(u"0." + Digits(u'0', 62) + u"15")), u"0." + Digits(u'0', 62) + u"2");
    EXPECT_EQ(BcdToStr(StrToBcd(u"0." + Digits(u'0', 63) + u"5")), u"0." + Digits(u'0', 62) + u"1");
    EXPECT_EQ(BcdToStr(StrToBcd(u"0." + Digits(u'0', 64) + u"5")), u"0");
    EXPECT_EQ(BcdScale(StrToBcd(u"0." + Digits(u'1', 70))), MaxFMTBcdScale);
    EXPECT_EQ(BcdScale(StrToBcd(u"1e-70")), MaxFMTBcdScale);
    EXPECT_EQ(BcdToStr(StrToBcd(u"1" + Digits(u'0', 63)) + StrToBcd(u"0.5")), u"1" + Digits(u'0', 62) + u"1");
    EXPECT_EQ(BcdToStr(StrToBcd(u"0." + Digits(u'9', 70))), u"1");
    EXPECT_EQ(BcdScale(StrToBcd(u"1." + Digits(u'1', 70))), 63);
    const std::string overflow = "BCD overflow";
    EXPECT_EQ(MessageOf<EBcdOverflowException>([] { StrToBcd(Digits(u'9', 65)); }), overflow);
    EXPECT_EQ(MessageOf<EBcdOverflowException>([] { StrToBcd(u"1e64"); }), overflow);
    EXPECT_EQ(MessageOf<EBcdOverflowException>([] { StrToBcd(Digits(u'9', 64)) + IntegerToBcd(1); }),
              overflow);
    EXPECT_EQ(MessageOf<EBcdOverflowException>(
                  [] { StrToBcd(u"1" + Digits(u'0', 32)) * StrToBcd(u"1" + Digits(u'0', 32)); }),
              overflow);
    EXPECT_EQ(S(StrToBcd(u"1" + Digits(u'0', 32)) * StrToBcd(u"1" + Digits(u'0', 31))),
              "1" + std::string(63, '0'));
    EXPECT_EQ(MessageOf<EBcdOverflowException>([] { StrToBcd(Digits(u'9', 64)) / StrToBcd(u"0.1"); }),
              overflow);
    TBcd parsed;
    EXPECT_FALSE(TryStrToBcd(Digits(u'9', 65), parsed));
}

TEST(Bcd, NegativeZeroScaleAndLayout) {
    const TBcd minusZero = B(u"-0.00");
    EXPECT_EQ(S(minusZero), "0");
    EXPECT_EQ(BcdCompare(minusZero, IntegerToBcd(0)), 0);
    EXPECT_FALSE(IsBcdNegative(minusZero));
    EXPECT_FALSE(IsBcdNegative(B(u"1.5") - B(u"1.5")));
    EXPECT_FALSE(IsBcdNegative(-IntegerToBcd(0)));
    // A record with the sign bit over zero digits, as a database may hand it over.
    TBcd raw;
    raw.Precision = 2;
    raw.SignSpecialPlaces = 0x81;
    EXPECT_TRUE(IsBcdNegative(raw));
    EXPECT_TRUE(IsBcdZero(raw));
    EXPECT_EQ(S(raw), "0");
    EXPECT_EQ(BcdCompare(raw, IntegerToBcd(0)), 0);
    EXPECT_EQ(BcdCompare(raw, B(u"-0.1")), 1);
    EXPECT_EQ(S(raw - B(u"1")), "-1");
    EXPECT_TRUE(IsBcdZero(TBcd{}));
    EXPECT_EQ(S(TBcd{}), "0");

    const TBcd value = B(u"-123.45");
    EXPECT_EQ(value.Precision, 5);
    EXPECT_EQ(value.SignSpecialPlaces, 0x82);
    EXPECT_EQ(value.Fraction[0], 0x12);
    EXPECT_EQ(value.Fraction[1], 0x34);
    EXPECT_EQ(value.Fraction[2], 0x50);
    EXPECT_EQ(value.Fraction[3], 0x00);

    EXPECT_EQ(BcdScale(B(u"1.50")), 2);
    EXPECT_EQ(S(B(u"1.50")), "1.5");
    EXPECT_EQ(BcdPrecision(B(u"00123.4500")), 3);
    EXPECT_EQ(BcdScale(B(u"00123.4500")), 4);
    EXPECT_EQ(BcdPrecision(B(u"0.25")), 0);
    EXPECT_EQ(BcdScale(B(u"1.50") + B(u"2.125")), 3);
    EXPECT_EQ(S(B(u"1.50") + B(u"2.125")), "3.625");
    EXPECT_EQ(BcdScale(B(u"1.5") * B(u"1.25")), 3);
    EXPECT_EQ(BcdScale(B(u"1.50") / B(u"1")), 2);
    EXPECT_EQ(BcdScale(B(u"3") / B(u"1.5")), 1);

    TBcd normalized;
    ASSERT_TRUE(NormalizeBcd(B(u"1.235"), normalized, 10, 2));
    EXPECT_EQ(S(normalized), "1.24");
    EXPECT_EQ(normalized.Precision, 10);
    EXPECT_EQ(BcdScale(normalized), 2);
    ASSERT_TRUE(NormalizeBcd(B(u"-1.235"), normalized, 10, 2));
    EXPECT_EQ(S(normalized), "-1.24");
    ASSERT_TRUE(NormalizeBcd(B(u"7"), normalized, 5, 3));
    EXPECT_EQ(BcdScale(normalized), 3);
    EXPECT_EQ(S(normalized), "7");
    EXPECT_EQ(BcdCompare(normalized, B(u"7")), 0);
    EXPECT_FALSE(NormalizeBcd(B(u"12345"), normalized, 4, 0));
    EXPECT_FALSE(NormalizeBcd(B(u"99.5"), normalized, 2, 0)); // rounds to 100
    EXPECT_TRUE(NormalizeBcd(B(u"99.4"), normalized, 2, 0));
    EXPECT_FALSE(NormalizeBcd(B(u"1"), normalized, 65, 0));
}

TEST(Bcd, TextConversions) {
    EXPECT_EQ(S(B(u"  -2.50  ")), "-2.5");
    EXPECT_EQ(S(B(u"+7")), "7");
    EXPECT_EQ(S(B(u".5")), "0.5");
    EXPECT_EQ(S(B(u"5.")), "5");
    EXPECT_EQ(S(B(u"1.5E3")), "1500");
    EXPECT_EQ(S(B(u"25e-4")), "0.0025");
    EXPECT_EQ(S(B(u"0.000")), "0");
    for (const char16_t* bad : {u"", u"  ", u"abc", u"1.2.3", u"1e", u"--1", u"1,5", u"1 000", u"-", u"."}) {
        EXPECT_EQ(MessageOf<EConvertError>([&] { StrToBcd(bad); }),
                  "'" + UTF8Encode(bad) + "' is not a valid BCD value");
        TBcd value;
        EXPECT_FALSE(TryStrToBcd(bad, value)) << UTF8Encode(bad);
    }
    const TFormatSettings german = TFormatSettings::German();
    EXPECT_EQ(BcdToStr(StrToBcd(u"1,5", german), german), u"1,5");
    EXPECT_EQ(MessageOf<EConvertError>([&] { StrToBcd(u"1.5", german); }), "'1.5' is not a valid BCD value");
    TFormatSettingsScope scope(german);
    EXPECT_EQ(S(B(u"-0,25")), "-0,25");
}

TEST(Bcd, NumberConversions) {
    EXPECT_EQ(BcdCompare(DoubleToBcd(0.1), B(u"0.1")), 0);
    EXPECT_EQ(S(DoubleToBcd(1e20)), "100000000000000000000");
    EXPECT_EQ(S(DoubleToBcd(-1.5e-7)), "-0.00000015");
    EXPECT_EQ(S(DoubleToBcd(1.0 / 3.0)), "0.333333333333333");
    EXPECT_EQ(S(DoubleToBcd(0.0)), "0");
    EXPECT_EQ(MessageOf<EConvertError>([] { DoubleToBcd(std::nan("")); }), "'NAN' is not a valid BCD value");
    EXPECT_EQ(MessageOf<EBcdOverflowException>([] { DoubleToBcd(HUGE_VAL); }), "BCD overflow");
    EXPECT_EQ(MessageOf<EBcdOverflowException>([] { DoubleToBcd(1e70); }), "BCD overflow");
    EXPECT_EQ(BcdToDouble(B(u"0.1")), 0.1);
    EXPECT_EQ(BcdToDouble(B(u"-1234.5")), -1234.5);
    EXPECT_EQ(BcdToDouble(B(u"0")), 0.0);
    EXPECT_DOUBLE_EQ(BcdToDouble(StrToBcd(Digits(u'9', 64))), 1e64);

    const Int64 minInt64 = std::numeric_limits<Int64>::min();
    EXPECT_EQ(S(IntegerToBcd(minInt64)), "-9223372036854775808");
    EXPECT_EQ(BcdToInt64(IntegerToBcd(minInt64)), minInt64);
    EXPECT_EQ(BcdToInt64(B(u"9223372036854775807")), std::numeric_limits<Int64>::max());
    EXPECT_EQ(BcdToInt64(B(u"2.5")), 3);
    EXPECT_EQ(BcdToInt64(B(u"2.5"), true), 2);
    EXPECT_EQ(BcdToInt64(B(u"-2.5")), -3);
    EXPECT_EQ(BcdToInt64(B(u"-2.4")), -2);
    EXPECT_EQ(BcdToInteger(B(u"-2147483648")), std::numeric_limits<Integer>::min());
    EXPECT_EQ(MessageOf<EBcdOverflowException>([] { BcdToInt64(B(u"9223372036854775808")); }),
              "BCD overflow");
    EXPECT_EQ(MessageOf<EBcdOverflowException>([] { BcdToInteger(B(u"3000000000")); }), "BCD overflow");

    TBcd fromCurrency;
    ASSERT_TRUE(CurrToBcd(Currency::FromScaled(123456), fromCurrency));
    EXPECT_EQ(S(fromCurrency), "12.3456");
    EXPECT_EQ(BcdScale(fromCurrency), 4);
    ASSERT_TRUE(CurrToBcd(Currency::FromScaled(-123456), fromCurrency, 10, 2));
    EXPECT_EQ(S(fromCurrency), "-12.35");
    EXPECT_FALSE(CurrToBcd(Currency::FromScaled(123456), fromCurrency, 3, 2));
    EXPECT_EQ(S(CurrencyToBcd(Currency::FromScaled(std::numeric_limits<Int64>::min()))),
              "-922337203685477.5808");
    Currency money;
    ASSERT_TRUE(BcdToCurr(B(u"1.23455"), money));
    EXPECT_EQ(money.Scaled, 12346);
    ASSERT_TRUE(BcdToCurr(B(u"-1.23455"), money));
    EXPECT_EQ(money.Scaled, -12346);
    ASSERT_TRUE(BcdToCurr(B(u"-922337203685477.5808"), money));
    EXPECT_EQ(money.Scaled, std::numeric_limits<Int64>::min());
    EXPECT_FALSE(BcdToCurr(B(u"922337203685477.5808"), money));
    EXPECT_EQ(BcdToCurrency(B(u"0.5")).Scaled, 5000);
    EXPECT_EQ(MessageOf<EBcdOverflowException>([] { BcdToCurrency(B(u"1e20")); }), "BCD overflow");
}

TEST(Bcd, VariantCreation) {
    EXPECT_EQ(S(VarToBcd(VarFMTBcdCreate(u"12.345", 10, 2))), "12.35");
    EXPECT_EQ(BcdScale(VarToBcd(VarFMTBcdCreate(1.23456, 10, 2))), 2);
    EXPECT_EQ(S(VarToBcd(VarFMTBcdCreate(1.23456))), "1.2346");
    EXPECT_EQ(S(VarToBcd(VarFMTBcdCreate(B(u"-5.5")))), "-5.5");
    EXPECT_EQ(MessageOf<EBcdOverflowException>([] { VarFMTBcdCreate(u"12345", 4, 0); }), "BCD overflow");
    EXPECT_EQ(S(VarToBcd(Variant(std::numeric_limits<UInt64>::max()))), "18446744073709551615");
    EXPECT_EQ(S(VarToBcd(Variant(Currency::FromScaled(15000)))), "1.5");
    EXPECT_EQ(S(VarToBcd(Variant(true))), "-1");
    EXPECT_EQ(S(VarToBcd(Variant())), "0");
    EXPECT_EQ(S(VarToBcd(Variant(u" 42.10 "))), "42.1");
}

} // namespace
} // namespace mv
