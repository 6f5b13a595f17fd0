// Variant: types, copy semantics, the null and empty rules, cross-type comparison,
// arithmetic result types, conversions with their errors, arrays, and the BCD and SQL
// time-stamp custom types.
#include "platform/rtl/Variants.h"

#include "platform/rtl/Bcd.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/SqlTimeStamp.h"
#include "platform/rtl/Utf8.h"

#include <gtest/gtest.h>

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

std::string Text(const Variant& v) {
    return UTF8Encode(VarToStr(v));
}

Currency Money(double value) {
    return Currency::FromDouble(value);
}

const std::string castPrefix = "Could not convert variant of type ";

TEST(Variant, TypesNamesAndPredicates) {
    EXPECT_EQ(sizeof(Variant), 16u);
    EXPECT_EQ(VarType(Variant()), varEmpty);
    EXPECT_EQ(VarType(Unassigned()), varEmpty);
    EXPECT_EQ(VarType(Null()), varNull);
    EXPECT_EQ(VarType(Variant(true)), varBoolean);
    EXPECT_EQ(VarType(Variant(5)), varInteger);
    EXPECT_EQ(VarType(Variant(Int64(5))), varInt64);
    EXPECT_EQ(VarType(Variant(5u)), varLongWord);
    EXPECT_EQ(VarType(Variant(UInt64(5))), varUInt64);
    EXPECT_EQ(VarType(Variant(1.5f)), varSingle);
    EXPECT_EQ(VarType(Variant(1.5)), varDouble);
    EXPECT_EQ(VarType(Variant(Money(1.5))), varCurrency);
    EXPECT_EQ(VarType(VarFromDateTime(45000.0)), varDate);
    EXPECT_EQ(VarType(Variant(u"x")), varUString);
    EXPECT_EQ(VarType(Variant(String(u"x"))), varUString);
    EXPECT_EQ(VarType(Variant(u'x')), varUString);
    EXPECT_EQ(VarType(VarArrayOf({1, 2})), 0x200C);
    EXPECT_EQ(VarType(VarFMTBcdCreate(u"1.5")), 0x110);
    EXPECT_EQ(VarFMTBcd(), 0x110);
    EXPECT_EQ(VarType(VarSQLTimeStampCreate(45000.0)), 0x10F);
    EXPECT_EQ(VarSQLTimeStamp(), 0x10F);

    EXPECT_EQ(VarTypeAsText(varInteger), u"Integer");
    EXPECT_EQ(VarTypeAsText(varLongWord), u"Cardinal");
    EXPECT_EQ(VarTypeAsText(varUString), u"UnicodeString");
    EXPECT_EQ(VarTypeAsText(varString), u"String");
    EXPECT_EQ(VarTypeAsText(varArray | varVariant), u"Array Variant");
    EXPECT_EQ(VarTypeAsText(VarFMTBcd()), u"FMTBcdVariantType");
    EXPECT_EQ(VarTypeAsText(VarSQLTimeStamp()), u"SQLTimeStampVariantType");
    EXPECT_EQ(VarTypeAsText(0x42), u"$0042");

    // The framework counts Boolean as ordinal and Currency as float.
    EXPECT_TRUE(VarIsOrdinal(Variant(true)));
    EXPECT_TRUE(VarIsNumeric(Variant(true)));
    EXPECT_TRUE(VarIsFloat(Variant(Money(1))));
    EXPECT_FALSE(VarIsFloat(Variant(1)));
    EXPECT_FALSE(VarIsOrdinal(Variant(1.0)));
    EXPECT_TRUE(VarIsNumeric(VarFMTBcdCreate(u"1")));
    EXPECT_FALSE(VarIsNumeric(VarFromDateTime(1.0)));
    EXPECT_FALSE(VarIsNumeric(Variant(u"1")));
    EXPECT_TRUE(VarIsStr(VarAsType(Variant(1), varOleStr)));
    EXPECT_FALSE(VarIsStr(Null()));
    EXPECT_TRUE(VarIsClear(Variant()));
    EXPECT_FALSE(VarIsClear(Null()));
    EXPECT_TRUE(VarIsEmpty(Variant()));
    EXPECT_FALSE(VarIsNull(Variant()));
    EXPECT_TRUE(VarIsType(Variant(1.5), {varSingle, varDouble}));
    EXPECT_FALSE(VarIsType(Variant(1), {varSingle, varDouble}));
    EXPECT_TRUE(VarIsFMTBcd(VarFMTBcdCreate(2.5)));
    EXPECT_TRUE(VarIsSQLTimeStamp(VarSQLTimeStampCreate(2.5)));
    EXPECT_FALSE(VarIsSQLTimeStamp(VarFromDateTime(2.5)));

    Variant cleared = 5;
    VarClear(cleared);
    EXPECT_TRUE(VarIsEmpty(cleared));
}

TEST(Variant, CopiesHaveValueSemantics) {
    Variant a = u"abc";
    Variant b = a;
    a = 5;
    EXPECT_EQ(b, Variant(u"abc"));
    EXPECT_EQ(a, Variant(5));

    Variant moved = std::move(b);
    EXPECT_TRUE(VarIsEmpty(b)); // a moved-from variant is Empty
    EXPECT_EQ(moved, Variant(u"abc"));
    Variant& same = moved;
    moved = same;
    EXPECT_EQ(moved, Variant(u"abc"));

    // Writing an element of a shared array unshares it first.
    Variant first = VarArrayOf({1, 2});
    Variant second = first;
    second[0] = 10;
    EXPECT_EQ(first[0], Variant(1));
    EXPECT_EQ(second[0], Variant(10));
    Variant nested = VarArrayOf({first, u"x"});
    first[1] = 20;
    EXPECT_EQ(nested[0][1], Variant(2));
}

TEST(Variant, NullAndEmptyInComparisons) {
    const Variant null = Null();
    const Variant empty;
    const Variant one = 1;
    // Loose equality: Null equals Null only.
    EXPECT_TRUE(null == null);
    EXPECT_FALSE(null != null);
    EXPECT_FALSE(null == one);
    EXPECT_TRUE(null != one);
    EXPECT_FALSE(one == null);
    EXPECT_FALSE(null == empty);
    // Loose magnitude: Null is below every value, Empty included.
    EXPECT_FALSE(null < null);
    EXPECT_TRUE(null <= null);
    EXPECT_FALSE(null > null);
    EXPECT_TRUE(null >= null);
    EXPECT_TRUE(null < one);
    EXPECT_TRUE(null <= one);
    EXPECT_FALSE(null > one);
    EXPECT_FALSE(null >= one);
    EXPECT_FALSE(one < null);
    EXPECT_FALSE(one <= null);
    EXPECT_TRUE(one > null);
    EXPECT_TRUE(one >= null);
    EXPECT_TRUE(null < empty);
    EXPECT_TRUE(null < Variant(u""));
    EXPECT_TRUE(null < Variant(-1e300));
    // Empty is 0, "" or False beside the other operand.
    EXPECT_TRUE(empty == empty);
    EXPECT_TRUE(empty == Variant(0));
    EXPECT_TRUE(empty == Variant(0.0));
    EXPECT_TRUE(empty == Variant(u""));
    EXPECT_TRUE(empty == Variant(false));
    EXPECT_FALSE(empty == Variant(u"a"));
    EXPECT_TRUE(empty < Variant(u"a"));
    EXPECT_TRUE(empty < one);
    EXPECT_TRUE(empty > Variant(-1));
    EXPECT_TRUE(Variant(Money(-0.5)) < empty);

    // VarSameValue: Empty and Null are the same only as themselves.
    EXPECT_TRUE(VarSameValue(empty, empty));
    EXPECT_TRUE(VarSameValue(null, null));
    EXPECT_FALSE(VarSameValue(empty, null));
    EXPECT_FALSE(VarSameValue(null, empty));
    EXPECT_FALSE(VarSameValue(null, Variant(0)));
    EXPECT_FALSE(VarSameValue(empty, Variant(0))); // although Empty == 0
    EXPECT_FALSE(VarSameValue(Variant(0), empty));
    EXPECT_FALSE(VarSameValue(Variant(u""), empty));
    EXPECT_TRUE(VarSameValue(Variant(1), Variant(1.0)));
    EXPECT_FALSE(VarSameValue(Variant(u"a"), Variant(u"A")));

    EXPECT_EQ(VarCompareValue(empty, empty), vrEqual);
    EXPECT_EQ(VarCompareValue(null, null), vrEqual);
    EXPECT_EQ(VarCompareValue(empty, null), vrNotEqual);
    EXPECT_EQ(VarCompareValue(null, empty), vrNotEqual);
    EXPECT_EQ(VarCompareValue(null, Variant(5)), vrNotEqual);
    EXPECT_EQ(VarCompareValue(Variant(5), null), vrNotEqual);
    EXPECT_EQ(VarCompareValue(empty, Variant(0)), vrNotEqual);
    EXPECT_EQ(VarCompareValue(Variant(u""), empty), vrNotEqual);
    EXPECT_EQ(VarCompareValue(Variant(1), Variant(2)), vrLessThan);
    EXPECT_EQ(VarCompareValue(Variant(2), Variant(1.5)), vrGreaterThan);
    EXPECT_EQ(VarCompareValue(Variant(Money(1.5)), Variant(1.5)), vrEqual);
}

TEST(Variant, ComparesNumbersAcrossTypes) {
    EXPECT_TRUE(Variant(1) == Variant(1.0));
    EXPECT_TRUE(Variant(Money(1.5)) < Variant(1.6));
    EXPECT_TRUE(Variant(Money(1.0001)) > Variant(1));
    EXPECT_TRUE(Variant(Money(900000000000000.0)) == Variant(Int64(900000000000000)));
    EXPECT_TRUE(VarAsType(5, varSmallint) == Variant(5));
    EXPECT_TRUE(VarAsType(200, varByte) < VarAsType(300, varWord));
    EXPECT_TRUE(Variant(1.5f) == Variant(1.5));
    // UInt64 above Int64 must not wrap around to a negative number.
    const Variant huge = std::numeric_limits<UInt64>::max();
    EXPECT_TRUE(huge > Variant(-1));
    EXPECT_TRUE(huge > Variant(std::numeric_limits<Int64>::max()));
    EXPECT_TRUE(Variant(std::numeric_limits<Int64>::min()) < Variant(0));
    EXPECT_TRUE(Variant(Int64(1) << 40) > Variant(2147483647));

    const TDateTime day = EncodeDate(2024, 1, 15);
    EXPECT_TRUE(VarFromDateTime(day + 0.5) > Variant(day));
    EXPECT_TRUE(VarFromDateTime(day) == Variant(int(day)));
    EXPECT_TRUE(VarFromDateTime(day) < VarFromDateTime(day + 1));

    EXPECT_TRUE(VarFMTBcdCreate(u"10.5") > Variant(10));
    EXPECT_TRUE(VarFMTBcdCreate(u"10.5") == VarFMTBcdCreate(u"10.50"));
    EXPECT_TRUE(VarFMTBcdCreate(u"0.1") == Variant(0.1));
    EXPECT_TRUE(VarFMTBcdCreate(u"1.5") == Variant(Money(1.5)));
    EXPECT_TRUE(VarFMTBcdCreate(u"-1.5") < Variant(Money(-1.4999)));

    // Booleans: False < True; a number against a boolean counts by its truth.
    EXPECT_TRUE(Variant(false) < Variant(true));
    EXPECT_TRUE(Variant(true) == Variant(1));
    EXPECT_TRUE(Variant(true) == Variant(-1));
    EXPECT_TRUE(Variant(false) == Variant(0));
    EXPECT_TRUE(Variant(false) < Variant(2));
}

TEST(Variant, ComparesStringsOrdinalOrAsNumbers) {
    EXPECT_TRUE(Variant(u"10") > Variant(9));    // numerically
    EXPECT_TRUE(Variant(u"10") < Variant(u"9")); // as text
    EXPECT_TRUE(Variant(u"B") < Variant(u"a"));  // ordinal, case-sensitive
    EXPECT_TRUE(Variant(u"a") != Variant(u"A"));
    EXPECT_TRUE(Variant(u"abc") < Variant(u"abd"));
    EXPECT_TRUE(Variant(u"ab") < Variant(u"abc"));
    EXPECT_TRUE(Variant(u"1.5") == Variant(1.5));
    EXPECT_TRUE(Variant(u"2.50") == Variant(Money(2.5)));
    EXPECT_TRUE(Variant(u"0.30") == VarFMTBcdCreate(u"0.3"));
    EXPECT_TRUE(Variant(u"true") == Variant(true));
    EXPECT_TRUE(VarAsType(Variant(u"x"), varOleStr) == Variant(u"x"));
    EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { (void)(Variant(u"abc") == Variant(1)); }),
              castPrefix + "(UnicodeString) into type (Double)");
    EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { (void)(Variant(u"abc") < Variant(true)); }),
              castPrefix + "(UnicodeString) into type (Boolean)");
    EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { (void)(Variant(u"soon") < VarFromDateTime(1)); }),
              castPrefix + "(UnicodeString) into type (Date)");
}

TEST(Variant, ArithmeticResultTypes) {
    auto check = [](const Variant& result, TVarType type, const Variant& expected) {
        EXPECT_EQ(VarTypeAsText(VarType(result)), VarTypeAsText(type));
        EXPECT_TRUE(result == expected) << Text(result) << " != " << Text(expected);
    };
    const Variant maxInt = std::numeric_limits<Integer>::max();
    const Variant minInt = std::numeric_limits<Integer>::min();
    check(Variant(1) + Variant(2), varInteger, 3);
    check(Variant(7) - Variant(10), varInteger, -3);
    check(Variant(6) * Variant(7), varInteger, 42);
    check(Variant(7) / Variant(2), varDouble, 3.5);
    check(maxInt + Variant(1), varInt64, Int64(2147483648));
    check(minInt - Variant(1), varInt64, Int64(-2147483649));
    check(Variant(65536) * Variant(65536), varInt64, Int64(1) << 32);
    check(VarAsType(30000, varSmallint) + VarAsType(30000, varSmallint), varInteger, 60000);
    check(Variant(1u) + Variant(1), varInt64, 2);
    check(Variant(Int64(5)) + Variant(1), varInt64, 6);
    check(Variant(UInt64(std::numeric_limits<Int64>::max())) + Variant(1), varUInt64,
          UInt64(std::numeric_limits<Int64>::max()) + 1);
    check(Variant(1) + Variant(2.5), varDouble, 3.5);
    check(Variant(1.5f) + Variant(1.5f), varSingle, 3.0);
    check(Variant(1.5f) + Variant(1), varDouble, 2.5);
    check(Variant(Money(1.5)) + Variant(2), varCurrency, Money(3.5));
    check(Variant(Money(1.5)) * Variant(Money(2.25)), varCurrency, Money(3.375));
    check(Variant(Money(10)) / Variant(3), varCurrency, Money(3.3333));
    check(Variant(Money(2)) / Variant(3), varCurrency, Money(0.6667));
    check(Variant(Money(1.5)) + Variant(0.25), varDouble, 1.75);
    check(VarFMTBcdCreate(u"1.5") + Variant(1), VarFMTBcd(), VarFMTBcdCreate(u"2.5"));
    check(VarFMTBcdCreate(u"1.5") * Variant(Money(2)), VarFMTBcd(), 3);
    check(VarFMTBcdCreate(u"10") / Variant(4), VarFMTBcd(), 2.5);
    check(VarFMTBcdCreate(u"1.5") + Variant(0.25), varDouble, 1.75);
    check(Variant(u"ab") + Variant(u"cd"), varUString, u"abcd");
    check(Variant(u"10") + Variant(1), varDouble, 11);
    check(Variant(u"10") * Variant(u"3"), varDouble, 30);
    check(Variant(true) + Variant(1), varInteger, 0);

    const TDateTime day = EncodeDate(2024, 2, 28);
    check(VarFromDateTime(day) + Variant(1), varDate, VarFromDateTime(day + 1));
    check(Variant(1) + VarFromDateTime(day), varDate, VarFromDateTime(day + 1));
    check(VarFromDateTime(day) - Variant(0.5), varDate, VarFromDateTime(day - 0.5));
    check(VarFromDateTime(day + 3) - VarFromDateTime(day), varDouble, 3);
    check(VarFromDateTime(day) * Variant(2), varDouble, day * 2);

    // Null wins, Empty is 0 (or "" beside a string).
    EXPECT_TRUE(VarIsNull(Null() + Variant(1)));
    EXPECT_TRUE(VarIsNull(Variant(1) * Null()));
    EXPECT_TRUE(VarIsNull(Null() / Variant(0)));
    EXPECT_TRUE(VarIsNull(Variant(u"x") + Null()));
    EXPECT_TRUE(VarIsNull(-Null()));
    check(Variant() + Variant(5), varInteger, 5);
    check(Variant(5) - Variant(), varInteger, 5);
    check(Variant() + Variant(u"x"), varUString, u"x");
    check(Variant() + Variant(Money(2)), varCurrency, Money(2));
    check(Variant() + Variant(), varInteger, 0);

    check(-Variant(5), varInteger, -5);
    check(-minInt, varInt64, Int64(2147483648));
    check(-Variant(2.5), varDouble, -2.5);
    check(-Variant(Money(2.5)), varCurrency, Money(-2.5));
    check(-VarFMTBcdCreate(u"2.5"), VarFMTBcd(), VarFMTBcdCreate(u"-2.5"));

    // Totals accumulate without drift in the exact types.
    Variant integers;
    Variant money;
    Variant bcd;
    for (int i = 1; i <= 100; ++i) {
        integers += i;
        money += Money(0.01);
        bcd += VarFMTBcdCreate(u"0.01");
    }
    check(integers, varInteger, 5050);
    check(money, varCurrency, Money(1));
    check(bcd, VarFMTBcd(), 1);
    Variant product = 3;
    product *= 2.5;
    product /= 0.5;
    product -= 1;
    check(product, varDouble, 14);
}

TEST(Variant, ArithmeticErrors) {
    const std::string zero = "Division by zero";
    EXPECT_EQ(MessageOf<EZeroDivide>([] { Variant(1) / Variant(0); }), zero);
    EXPECT_EQ(MessageOf<EZeroDivide>([] { Variant(1.5) / Variant(0.0); }), zero);
    EXPECT_EQ(MessageOf<EZeroDivide>([] { Variant(Money(1)) / Variant(Money(0)); }), zero);
    EXPECT_EQ(MessageOf<EZeroDivide>([] { VarFMTBcdCreate(u"1") / Variant(0); }), zero);
    EXPECT_EQ(MessageOf<EZeroDivide>([] { Variant(1) / Variant(); }), zero);
    EXPECT_EQ(MessageOf<EVariantInvalidOpError>([] { VarArrayOf({1}) + Variant(1); }),
              "Invalid variant operation");
    EXPECT_EQ(MessageOf<EVariantInvalidOpError>([] { -VarArrayOf({1}); }), "Invalid variant operation");
    EXPECT_EQ(MessageOf<EVariantInvalidOpError>([] { Null() * VarArrayOf({1}); }),
              "Invalid variant operation");
    EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { Variant(u"abc") + Variant(1); }),
              castPrefix + "(UnicodeString) into type (Double)");
    EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { Variant(u"a") - Variant(u"b"); }),
              castPrefix + "(UnicodeString) into type (Double)");
    const Variant maxInt64 = std::numeric_limits<Int64>::max();
    EXPECT_EQ(MessageOf<EVariantOverflowError>([&] { maxInt64 + Variant(1); }), "Variant overflow");
    EXPECT_EQ(MessageOf<EVariantOverflowError>([&] { maxInt64* maxInt64; }), "Variant overflow");
    EXPECT_EQ(MessageOf<EVariantOverflowError>([] { -Variant(std::numeric_limits<Int64>::min()); }),
              "Variant overflow");
    EXPECT_EQ(MessageOf<EVariantOverflowError>(
                  [] { Variant(Currency::FromScaled(std::numeric_limits<Int64>::max())) + Variant(1); }),
              "Variant overflow");
}

TEST(Variant, ConvertsBetweenNumbers) {
    // Floats and currency round half to even, as Round does.
    EXPECT_EQ(Variant(2.5).AsInteger(), 2);
    EXPECT_EQ(Variant(3.5).AsInteger(), 4);
    EXPECT_EQ(Variant(-2.5).AsInteger(), -2);
    EXPECT_EQ(Variant(Money(2.5)).AsInteger(), 2);
    EXPECT_EQ(Variant(Money(-3.5)).AsInteger(), -4);
    EXPECT_EQ(Variant(Money(1.2345)).AsInt64(), 1);
    EXPECT_EQ(VarFMTBcdCreate(u"2.5").AsInteger(), 3); // BCD rounds half away from zero
    EXPECT_EQ(Variant(true).AsInteger(), -1);
    EXPECT_EQ(Variant(true).AsDouble(), -1.0);
    EXPECT_EQ(Variant(1.23456).AsCurrency(), Currency::FromScaled(12346));
    EXPECT_EQ(Variant(Money(1.5)).AsDouble(), 1.5);
    EXPECT_EQ(VarFMTBcdCreate(u"1.23456").AsCurrency(), Currency::FromScaled(12346));
    EXPECT_EQ(Variant(Int64(1) << 40).AsDouble(), 1099511627776.0);
    EXPECT_TRUE(Variant(0.1).AsBoolean());
    EXPECT_FALSE(Variant(Money(0)).AsBoolean());
    EXPECT_EQ(VarFromDateTime(45000.75).AsDateTime(), 45000.75);
    EXPECT_EQ(Variant(45000).AsDateTime(), 45000.0);

    const Variant empty;
    EXPECT_EQ(empty.AsInteger(), 0);
    EXPECT_EQ(empty.AsDouble(), 0.0);
    EXPECT_FALSE(empty.AsBoolean());
    EXPECT_EQ(empty.AsString(), u"");
    EXPECT_EQ(VarToStr(empty), u"");
    EXPECT_EQ(VarToStr(Null()), u"");
    EXPECT_EQ(VarToStrDef(Null(), u"n/a"), u"n/a");
    EXPECT_EQ(VarToStrDef(empty, u"n/a"), u"");

    EXPECT_EQ(VarType(VarAsType(200, varByte)), varByte);
    EXPECT_EQ(VarAsType(200, varByte).AsInteger(), 200);
    EXPECT_EQ(VarType(VarAsType(1.5, varCurrency)), varCurrency);
    EXPECT_EQ(VarType(VarAsType(Variant(1), varDate)), varDate);
    EXPECT_EQ(VarType(VarAsType(Variant(1), varUInt64)), varUInt64);
    EXPECT_TRUE(VarIsNull(VarAsType(Variant(1), varNull)));
    EXPECT_TRUE(VarIsEmpty(VarAsType(Variant(u"x"), varEmpty)));
    EXPECT_EQ(VarAsType(Variant(1.25), VarFMTBcd()), VarFMTBcdCreate(u"1.25"));
    EXPECT_EQ(VarType(VarAsType(Variant(1.25), VarFMTBcd())), VarFMTBcd());
}

TEST(Variant, ConversionErrors) {
    EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { Null().AsInteger(); }),
              castPrefix + "(Null) into type (Integer)");
    EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { Null().AsDouble(); }),
              castPrefix + "(Null) into type (Double)");
    EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { Null().AsString(); }),
              castPrefix + "(Null) into type (UnicodeString)");
    EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { Null().AsCurrency(); }),
              castPrefix + "(Null) into type (Currency)");
    EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { Null().AsBoolean(); }),
              castPrefix + "(Null) into type (Boolean)");
    EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { VarToDateTime(Null()); }),
              castPrefix + "(Null) into type (Date)");
    EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { VarAsType(Null(), varSmallint); }),
              castPrefix + "(Null) into type (Smallint)");
    EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { VarAsType(VarArrayOf({1}), varInteger); }),
              castPrefix + "(Array Variant) into type (Integer)");
    EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { VarToStr(VarArrayOf({1})); }),
              castPrefix + "(Array Variant) into type (UnicodeString)");
    EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { VarAsType(Variant(1), varDispatch); }),
              castPrefix + "(Integer) into type (Dispatch)");
    EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { VarToBcd(Null()); }),
              castPrefix + "(Null) into type (FMTBcdVariantType)");

    const std::string overflow = "Variant overflow";
    EXPECT_EQ(MessageOf<EVariantOverflowError>([] { Variant(Int64(1) << 40).AsInteger(); }), overflow);
    EXPECT_EQ(MessageOf<EVariantOverflowError>([] { Variant(1e30).AsInt64(); }), overflow);
    EXPECT_EQ(MessageOf<EVariantOverflowError>([] { Variant(1e20).AsCurrency(); }), overflow);
    EXPECT_EQ(MessageOf<EVariantOverflowError>([] { Variant(std::numeric_limits<UInt64>::max()).AsInt64(); }),
              overflow);
    EXPECT_EQ(MessageOf<EVariantOverflowError>([] { VarAsType(300, varByte); }), overflow);
    EXPECT_EQ(MessageOf<EVariantOverflowError>([] { VarAsType(-1, varWord); }), overflow);
    EXPECT_EQ(MessageOf<EVariantOverflowError>([] { VarAsType(-1, varUInt64); }), overflow);
    EXPECT_EQ(MessageOf<EVariantOverflowError>([] { VarAsType(1e300, varSingle); }), overflow);
    EXPECT_EQ(MessageOf<EVariantOverflowError>([] { VarFMTBcdCreate(u"1e30").AsInt64(); }), overflow);
}

TEST(Variant, Arrays) {
    Variant keys = VarArrayOf({1, u"a", Null()});
    EXPECT_TRUE(VarIsArray(keys));
    EXPECT_EQ(VarArrayDimCount(keys), 1);
    EXPECT_EQ(VarArrayLowBound(keys), 0);
    EXPECT_EQ(VarArrayHighBound(keys), 2);
    EXPECT_EQ(VarType(keys[0]), varInteger);
    EXPECT_EQ(keys[1], Variant(u"a"));
    EXPECT_TRUE(VarIsNull(keys[2]));

    Variant created = VarArrayCreate(1, 3);
    EXPECT_EQ(VarArrayLowBound(created), 1);
    EXPECT_EQ(VarArrayHighBound(created), 3);
    EXPECT_TRUE(VarIsEmpty(created[1]));
    created[3] = 5;
    EXPECT_EQ(created[3], Variant(5));
    VarArrayRedim(created, 4);
    EXPECT_EQ(VarArrayHighBound(created), 4);
    EXPECT_EQ(created[3], Variant(5));
    EXPECT_TRUE(VarIsEmpty(created[4]));
    Variant none = VarArrayCreate(0, -1);
    EXPECT_EQ(VarArrayHighBound(none), -1);

    const std::string badIndex = "Variant or safe array index out of bounds";
    EXPECT_EQ(MessageOf<EVariantBadIndexError>([&] { created[0]; }), badIndex);
    EXPECT_EQ(MessageOf<EVariantBadIndexError>([&] { created[5] = 1; }), badIndex);
    EXPECT_EQ(MessageOf<EVariantBadIndexError>([&] { VarArrayHighBound(created, 2); }), badIndex);
    EXPECT_EQ(MessageOf<EVariantBadIndexError>([] { VarArrayCreate(0, -2); }), badIndex);
    const std::string notArray = "Variant is not an array";
    EXPECT_EQ(MessageOf<EVariantInvalidArgError>([] { Variant(5)[0]; }), notArray);
    EXPECT_EQ(MessageOf<EVariantInvalidArgError>([] { VarArrayLowBound(Variant(5)); }), notArray);
    Variant scalar = 5;
    EXPECT_EQ(MessageOf<EVariantInvalidArgError>([&] { scalar[0] = 1; }), notArray);
    EXPECT_EQ(VarArrayDimCount(Variant(5)), 0);

    // Equality compares bounds and elements with the loose rules; ordering raises.
    EXPECT_TRUE(VarArrayOf({1, u"a"}) == VarArrayOf({1.0, u"a"}));
    EXPECT_TRUE(VarArrayOf({Null()}) == VarArrayOf({Null()}));
    EXPECT_FALSE(VarArrayOf({1, u"a"}) == VarArrayOf({1, u"b"}));
    EXPECT_FALSE(VarArrayOf({1}) == VarArrayOf({1, 2}));
    EXPECT_FALSE(VarArrayCreate(1, 1) == VarArrayOf({Variant()}));
    EXPECT_TRUE(VarArrayOf({VarArrayOf({1})}) == VarArrayOf({VarArrayOf({1})}));
    EXPECT_FALSE(keys == Null());
    EXPECT_TRUE(Null() < keys);
    EXPECT_EQ(VarCompareValue(VarArrayOf({1, 2}), VarArrayOf({1, 2})), vrEqual);
    EXPECT_EQ(VarCompareValue(VarArrayOf({1, 2}), VarArrayOf({2, 1})), vrNotEqual);
    EXPECT_EQ(VarCompareValue(keys, Null()), vrNotEqual);
    const std::string invalidOp = "Invalid variant operation";
    EXPECT_EQ(MessageOf<EVariantInvalidOpError>([] { (void)(VarArrayOf({1}) < VarArrayOf({2})); }),
              invalidOp);
    EXPECT_EQ(MessageOf<EVariantInvalidOpError>([] { (void)(VarArrayOf({1}) == Variant(1)); }), invalidOp);
    EXPECT_EQ(MessageOf<EVariantInvalidOpError>([] { VarCompareValue(Variant(1), VarArrayOf({1})); }),
              invalidOp);
}

TEST(Variant, StringConversions) {
    EXPECT_EQ(Text(Variant(true)), "True");
    EXPECT_EQ(Text(Variant(false)), "False");
    EXPECT_EQ(Text(Variant(-42)), "-42");
    EXPECT_EQ(Text(Variant(std::numeric_limits<UInt64>::max())), "18446744073709551615");
    EXPECT_EQ(Text(Variant(1.5)), "1.5");
    EXPECT_EQ(Text(Variant(0.1)), "0.1");
    EXPECT_EQ(Text(Variant(1.1f)), "1.1");
    EXPECT_EQ(Text(Variant(Money(12.5))), "12.5");
    EXPECT_EQ(Text(VarFromDateTime(EncodeDate(2024, 1, 15))), "1/15/2024");
    EXPECT_EQ(Text(VarFromDateTime(EncodeDateTime(2024, 1, 15, 13, 30, 0, 0))), "1/15/2024 1:30:00 PM");
    EXPECT_EQ(Text(VarFMTBcdCreate(u"-12.50")), "-12.5");
    EXPECT_EQ(Text(Variant(u'x')), "x");

    EXPECT_EQ(Variant(u"42").AsInteger(), 42);
    EXPECT_EQ(Variant(u" 12 ").AsInt64(), 12);
    EXPECT_EQ(Variant(u"2.5").AsInteger(), 2);
    EXPECT_EQ(Variant(u"1.5").AsDouble(), 1.5);
    EXPECT_EQ(Variant(u"12.50").AsCurrency(), Money(12.5));
    EXPECT_TRUE(Variant(u"true").AsBoolean());
    EXPECT_FALSE(Variant(u"0").AsBoolean());
    EXPECT_EQ(VarToDateTime(Variant(u"1/15/2024")), EncodeDate(2024, 1, 15));
    EXPECT_EQ(VarAsType(Variant(123), varUString), Variant(u"123"));
    EXPECT_EQ(VarType(VarAsType(Variant(123), varOleStr)), varOleStr);
    EXPECT_EQ(VarType(VarAsType(Variant(u"7"), varInteger)), varInteger);
    EXPECT_EQ(VarToStr(VarAsType(Variant(u"18446744073709551615"), varUInt64)), u"18446744073709551615");

    EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { Variant(u"abc").AsInteger(); }),
              castPrefix + "(UnicodeString) into type (Integer)");
    EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { Variant(u"abc").AsDouble(); }),
              castPrefix + "(UnicodeString) into type (Double)");
    EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { Variant(u"abc").AsCurrency(); }),
              castPrefix + "(UnicodeString) into type (Currency)");
    EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { Variant(u"maybe").AsBoolean(); }),
              castPrefix + "(UnicodeString) into type (Boolean)");
    EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { VarToDateTime(Variant(u"nope")); }),
              castPrefix + "(UnicodeString) into type (Date)");
    EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { VarAsType(Variant(u"x"), varSmallint); }),
              castPrefix + "(UnicodeString) into type (Smallint)");
    EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { VarToBcd(Variant(u"1.2.3")); }),
              castPrefix + "(UnicodeString) into type (FMTBcdVariantType)");
    EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { Variant(u"1,5").AsDouble(); }),
              castPrefix + "(UnicodeString) into type (Double)");

    // Text follows the global format settings both ways.
    TFormatSettingsScope german(TFormatSettings::German());
    EXPECT_EQ(Variant(u"1,5").AsDouble(), 1.5);
    EXPECT_EQ(Text(Variant(1.5)), "1,5");
    EXPECT_EQ(Text(VarFMTBcdCreate(u"2,25")), "2,25");
    EXPECT_TRUE(Variant(u"2,5") > Variant(2));
    EXPECT_EQ(Text(VarFromDateTime(EncodeDate(2024, 1, 15))), "15.01.2024");
}

TEST(SqlTimeStamp, ConvertsAndRejects) {
    const TSQLTimeStamp leapDay{2024, 2, 29, 13, 45, 30, 250};
    const TDateTime leapDayValue = EncodeDateTime(2024, 2, 29, 13, 45, 30, 250);
    EXPECT_EQ(SQLTimeStampToDateTime(leapDay), leapDayValue);
    EXPECT_EQ(DateTimeToSQLTimeStamp(leapDayValue), leapDay);
    const TSQLTimeStamp early{1899, 12, 29, 6, 0, 0, 0};
    EXPECT_EQ(SQLTimeStampToDateTime(early), -1.25);
    EXPECT_EQ(DateTimeToSQLTimeStamp(-1.25), early);
    EXPECT_EQ(SQLTimeStampToDateTime(NullSQLTimeStamp), 0.0);
    EXPECT_TRUE(IsSQLTimeStampBlank(TSQLTimeStamp{}));
    EXPECT_FALSE(IsSQLTimeStampBlank(early));
    EXPECT_TRUE((TSQLTimeStamp{2024, 2, 29, 13, 45, 30, 249}) < leapDay);
    EXPECT_TRUE((TSQLTimeStamp{2023, 12, 31, 23, 59, 59, 999}) < leapDay);

    const std::string invalid = "Invalid SQL date/time values";
    for (const TSQLTimeStamp& bad :
         {TSQLTimeStamp{2024, 13, 1, 0, 0, 0, 0}, TSQLTimeStamp{2023, 2, 29, 0, 0, 0, 0},
          TSQLTimeStamp{2024, 1, 1, 24, 0, 0, 0}, TSQLTimeStamp{2024, 1, 1, 0, 60, 0, 0},
          TSQLTimeStamp{2024, 1, 1, 0, 0, 0, 1000}, TSQLTimeStamp{0, 1, 1, 0, 0, 0, 0},
          TSQLTimeStamp{-5, 1, 1, 0, 0, 0, 0}, TSQLTimeStamp{2024, 0, 0, 0, 0, 0, 0}}) {
        EXPECT_EQ(MessageOf<EConvertError>([&] { SQLTimeStampToDateTime(bad); }), invalid)
            << bad.Year << "-" << bad.Month << "-" << bad.Day;
    }

    EXPECT_EQ(SQLTimeStampToStr(u"yyyy-mm-dd hh:nn:ss.zzz", leapDay), u"2024-02-29 13:45:30.250");
    EXPECT_EQ(SQLTimeStampToStr(u"", TSQLTimeStamp{2024, 1, 15, 0, 0, 0, 0}), u"1/15/2024");
    EXPECT_EQ(StrToSQLTimeStamp(u"2/29/2024 1:45:30 PM"), (TSQLTimeStamp{2024, 2, 29, 13, 45, 30, 0}));
    EXPECT_EQ(MessageOf<EConvertError>([] { StrToSQLTimeStamp(u"nope"); }),
              "Could not parse SQL TimeStamp string");
    TSQLTimeStamp parsed;
    EXPECT_FALSE(TryStrToSQLTimeStamp(u"2/30/2024", parsed));
}

TEST(SqlTimeStamp, VariantActsAsDate) {
    const TSQLTimeStamp stamp{2024, 2, 29, 13, 45, 30, 250};
    const TDateTime value = SQLTimeStampToDateTime(stamp);
    const Variant v = VarSQLTimeStampCreate(stamp);
    EXPECT_EQ(VarToSQLTimeStamp(v), stamp);
    EXPECT_EQ(VarToDateTime(v), value);
    EXPECT_EQ(v.AsDouble(), value);
    EXPECT_EQ(VarToStr(v), DateTimeToStr(value));
    EXPECT_TRUE(v == VarFromDateTime(value));
    EXPECT_TRUE(v < VarFromDateTime(value + 1));
    EXPECT_TRUE(v > Variant(45000));
    EXPECT_TRUE(Null() < v);
    EXPECT_FALSE(v == Null());
    EXPECT_TRUE(v < VarSQLTimeStampCreate(TSQLTimeStamp{2024, 2, 29, 13, 45, 30, 251}));
    EXPECT_EQ(VarCompareValue(v, VarSQLTimeStampCreate(stamp)), vrEqual);

    Variant tomorrow = v + Variant(1);
    EXPECT_TRUE(VarIsSQLTimeStamp(tomorrow));
    EXPECT_EQ(VarToSQLTimeStamp(tomorrow), (TSQLTimeStamp{2024, 3, 1, 13, 45, 30, 250}));
    Variant span = tomorrow - v;
    EXPECT_EQ(VarType(span), varDouble);
    EXPECT_NEAR(span.AsDouble(), 1.0, 1e-9);

    EXPECT_EQ(VarToSQLTimeStamp(VarFromDateTime(value)), stamp);
    EXPECT_EQ(VarToSQLTimeStamp(Variant(u"2/29/2024")), (TSQLTimeStamp{2024, 2, 29, 0, 0, 0, 0}));
    EXPECT_EQ(VarToSQLTimeStamp(VarSQLTimeStampCreate(u"1/15/2024 6:00 AM")),
              (TSQLTimeStamp{2024, 1, 15, 6, 0, 0, 0}));
    EXPECT_EQ(VarType(VarAsType(VarFromDateTime(value), VarSQLTimeStamp())), VarSQLTimeStamp());
    EXPECT_EQ(VarType(VarAsType(v, varDate)), varDate);
    EXPECT_EQ(MessageOf<EVariantTypeCastError>([] { VarToSQLTimeStamp(Null()); }),
              castPrefix + "(Null) into type (SQLTimeStampVariantType)");
    EXPECT_EQ(MessageOf<EConvertError>([] {
                  VarSQLTimeStampCreate(TSQLTimeStamp{2024, 2, 30, 0, 0, 0, 0}).AsDouble();
              }),
              "Invalid SQL date/time values");
}

} // namespace
} // namespace mv
