// String helpers: clamping of positions, trimming, integer parsing with its error message,
// replacing, quoting, and Unicode case mapping and comparison.
#include "platform/rtl/StrUtils.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Utf8.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace mv {
namespace {

template <typename E, typename F> String MessageOf(F&& f) {
    try {
        f();
    } catch (const E& e) {
        return e.Message();
    }
    ADD_FAILURE() << "no exception raised";
    return u"<no exception>";
}

TEST(StrUtils, PositionsAreClampedLikeTheFramework) {
    EXPECT_EQ(Copy(u"abc", 0, 2), u"ab");
    EXPECT_EQ(Copy(u"abc", -5, 2), u"ab");
    EXPECT_EQ(Copy(u"abc", 2, 100), u"bc");
    EXPECT_EQ(Copy(u"abc", 1, INT_MAX), u"abc");
    EXPECT_EQ(Copy(u"abc", 4, 1), u"");
    EXPECT_EQ(Copy(u"abc", 5, 1), u"");
    EXPECT_EQ(Copy(u"abc", 2, -1), u"");
    EXPECT_EQ(Copy(u"abc", 3), u"c");

    EXPECT_EQ(Pos(u"b", u"abcb"), 2);
    EXPECT_EQ(Pos(u"b", u"abcb", 3), 4);
    EXPECT_EQ(Pos(u"b", u"abcb", 4), 4);
    EXPECT_EQ(Pos(u"b", u"abcb", 5), 0);
    EXPECT_EQ(Pos(u"b", u"abcb", 0), 0);
    EXPECT_EQ(Pos(u"", u"abc"), 0);
    EXPECT_EQ(Pos(u"abcd", u"abc"), 0);
    EXPECT_EQ(Pos(u"bc", u"abc", 2), 2);
    EXPECT_EQ(AnsiPos(u"c", u"abc"), 3);

    String s = u"abcdef";
    Delete(s, 2, 2);
    EXPECT_EQ(s, u"adef");
    Delete(s, 0, 2); // outside 1..Length: nothing
    Delete(s, 5, 1);
    Delete(s, 1, 0);
    EXPECT_EQ(s, u"adef");
    Delete(s, 3, 100);
    EXPECT_EQ(s, u"ad");

    s = u"abc";
    Insert(u"X", s, 0);
    EXPECT_EQ(s, u"Xabc");
    Insert(u"Y", s, 100);
    EXPECT_EQ(s, u"XabcY");
    Insert(u"-", s, 3);
    EXPECT_EQ(s, u"Xa-bcY");

    EXPECT_EQ(LastDelimiter(u"\\/.", u"C:/dir/file.txt"), 12);
    EXPECT_EQ(LastDelimiter(u"\\/", u"file"), 0);
    EXPECT_TRUE(IsDelimiter(u",;", u"a;b", 2));
    EXPECT_FALSE(IsDelimiter(u",;", u"a;b", 1));
    EXPECT_FALSE(IsDelimiter(u",;", u"a;b", 4));
}

TEST(StrUtils, TrimRemovesBlanksAndControlCharactersOnly) {
    EXPECT_EQ(Trim(u"\t\r\n x y \x01\x1f"), u"x y");
    EXPECT_EQ(TrimLeft(u" \tx "), u"x ");
    EXPECT_EQ(TrimRight(StringView(u" x\0 \t", 5)), u" x");
    EXPECT_EQ(Trim(u" \t "), u"");
    // No-break space and ideographic space are above U+0020 and stay.
    EXPECT_EQ(Trim(u"\u00a0x\u3000"), u"\u00a0x\u3000");
}

TEST(StrUtils, IntegerConversionAcceptsFrameworkSyntaxAndRejectsTheRest) {
    EXPECT_EQ(StrToInt(u" 12 "), 12);
    EXPECT_EQ(StrToInt(u"+7"), 7);
    EXPECT_EQ(StrToInt(u"-0"), 0);
    EXPECT_EQ(StrToInt(u"2147483647"), INT_MAX);
    EXPECT_EQ(StrToInt(u"-2147483648"), INT_MIN);
    EXPECT_EQ(StrToInt(u"$ff"), 255);
    EXPECT_EQ(StrToInt(u"0x1F"), 31);
    EXPECT_EQ(StrToInt(u"0X1f"), 31);
    EXPECT_EQ(StrToInt(u"-$10"), -16);
    EXPECT_EQ(StrToInt(u"$FFFFFFFF"), -1); // hexadecimal is a bit pattern
    EXPECT_EQ(StrToInt(u"007"), 7);

    for (const char16_t* bad : {u"2147483648", u"-2147483649", u"", u"   ", u"1e3", u"12a", u"1 2", u"+",
                                u"-", u"$", u"0x", u"$1FFFFFFFF", u"$G", u"--1", u"1.0", u"\u0661"}) {
        EXPECT_EQ(MessageOf<EConvertError>([&] { StrToInt(bad); }),
                  u"'" + String(bad) + u"' is not a valid integer value");
        Integer value = 0;
        EXPECT_FALSE(TryStrToInt(bad, value)) << UTF8Encode(bad);
    }
    EXPECT_EQ(StrToIntDef(u"x", 5), 5);
    EXPECT_EQ(StrToIntDef(u"6", 5), 6);

    EXPECT_EQ(StrToInt64(u"9223372036854775807"), INT64_MAX);
    EXPECT_EQ(StrToInt64(u"-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(StrToInt64(u"$FFFFFFFFFFFFFFFF"), -1);
    EXPECT_EQ(StrToInt64(u"2147483648"), 2147483648LL);
    EXPECT_EQ(MessageOf<EConvertError>([] { StrToInt64(u"9223372036854775808"); }),
              u"'9223372036854775808' is not a valid integer value");
    EXPECT_EQ(StrToInt64Def(u"-9223372036854775809", 1), 1);

    EXPECT_EQ(IntToStr(0), u"0");
    EXPECT_EQ(IntToStr(-45), u"-45");
    EXPECT_EQ(IntToStr(INT64_MIN), u"-9223372036854775808");
    EXPECT_EQ(UIntToStr(UINT64_MAX), u"18446744073709551615");
    EXPECT_EQ(IntToHex(255, 4), u"00FF");
    EXPECT_EQ(IntToHex(0x1234, 2), u"1234");
    EXPECT_EQ(IntToHex(-1, 2), u"FFFFFFFFFFFFFFFF");

    EXPECT_TRUE(StrToBool(u"true"));
    EXPECT_FALSE(StrToBool(u"FALSE"));
    EXPECT_FALSE(StrToBool(u"0"));
    EXPECT_TRUE(StrToBool(u"-1"));
    EXPECT_TRUE(StrToBool(u"2"));
    EXPECT_EQ(MessageOf<EConvertError>([] { StrToBool(u"yes"); }), u"'yes' is not a valid boolean value");
    EXPECT_EQ(BoolToStr(true), u"-1");
    EXPECT_EQ(BoolToStr(false), u"0");
    EXPECT_EQ(BoolToStr(true, true), u"True");
    EXPECT_EQ(BoolToStr(false, true), u"False");
}

TEST(StrUtils, StringReplaceHonoursFlags) {
    EXPECT_EQ(StringReplace(u"xaXbx", u"x", u"-", {}), u"-aXbx");
    EXPECT_EQ(StringReplace(u"xaXbx", u"x", u"-", {rfReplaceAll}), u"-aXb-");
    EXPECT_EQ(StringReplace(u"Xaxbx", u"x", u"-", {rfIgnoreCase}), u"-axbx");
    EXPECT_EQ(StringReplace(u"xaXbx", u"x", u"-", {rfReplaceAll, rfIgnoreCase}), u"-a-b-");
    // Matches do not overlap and the replacement is not searched again.
    EXPECT_EQ(StringReplace(u"aaaa", u"aa", u"a", {rfReplaceAll}), u"aa");
    EXPECT_EQ(StringReplace(u"ab", u"a", u"aa", {rfReplaceAll}), u"aab");
    EXPECT_EQ(StringReplace(u"abc", u"", u"x", {rfReplaceAll}), u"abc");
    EXPECT_EQ(StringReplace(u"abc", u"abc", u"", {}), u"");
    EXPECT_EQ(
        StringReplace(u"Stra\u00dfe \u00c4RGER", u"\u00e4rger", u"Gl\u00fcck", {rfReplaceAll, rfIgnoreCase}),
        u"Stra\u00dfe Gl\u00fcck");
}

TEST(StrUtils, QuotingRoundTrips) {
    EXPECT_EQ(QuotedStr(u"it's"), u"'it''s'");
    EXPECT_EQ(QuotedStr(u""), u"''");
    EXPECT_EQ(AnsiQuotedStr(u"say \"hi\"", u'"'), u"\"say \"\"hi\"\"\"");
    for (const char16_t* text : {u"", u"'", u"''", u"a'b", u"plain", u" 'x' "})
        EXPECT_EQ(AnsiDequotedStr(QuotedStr(text), u'\''), text) << UTF8Encode(text);
    EXPECT_EQ(AnsiDequotedStr(u"abc", u'\''), u"abc");
    EXPECT_EQ(AnsiDequotedStr(u"'abc", u'\''), u"'abc"); // unterminated: unchanged
    EXPECT_EQ(AnsiDequotedStr(u"'abc'def", u'\''), u"abc");
    EXPECT_EQ(AnsiDequotedStr(u"\"a\"\"b\"", u'"'), u"a\"b");
}

TEST(StrUtils, UnicodeCaseMappingAndComparison) {
    // Fails where the C.UTF-8 locale is missing and only ASCII maps.
    EXPECT_EQ(AnsiUpperCase(u"\u00e4\u00f6\u00fc\u0436\u03c3"), u"\u00c4\u00d6\u00dc\u0416\u03a3");
    EXPECT_EQ(AnsiLowerCase(u"\u00c4\u00d6\u00dc\u0416\u03a3X"), u"\u00e4\u00f6\u00fc\u0436\u03c3x");
    EXPECT_EQ(AnsiUpperCase(u"stra\u00dfe"), u"STRA\u00dfE"); // simple mapping: no "SS"
    EXPECT_EQ(CharUpper(u'\u03c2'), u'\u03a3');               // final sigma
    EXPECT_EQ(CharLower(u'\u0130'), u'i');
    EXPECT_EQ(CharUpper(u'\u0131'), u'I');
    EXPECT_EQ(CharUpper(u'\uff41'), u'\uff21'); // full-width a
    EXPECT_EQ(CharUpper(u'\xd801'), u'\xd801'); // surrogates map to themselves
    EXPECT_EQ(CharLower(u'\xdc00'), u'\xdc00');
    EXPECT_EQ(UpperCase(u"\u00e4a"), u"\u00e4A"); // ASCII only
    EXPECT_EQ(LowerCase(u"\u00c4A"), u"\u00c4a");

    EXPECT_EQ(AnsiCompareText(u"\u00c4RGER", u"\u00e4rger"), 0);
    EXPECT_TRUE(AnsiSameText(u"\u039f\u0394\u039f\u03a3", u"\u03bf\u03b4\u03bf\u03c2"));
    EXPECT_FALSE(AnsiSameText(u"abc", u"abcd"));
    EXPECT_LT(AnsiCompareText(u"a", u"B"), 0);
    EXPECT_LT(AnsiCompareText(u"ab", u"ABC"), 0);
    EXPECT_GT(AnsiCompareText(u"b", u"A"), 0);
    EXPECT_LT(AnsiCompareText(u"_", u"a"), 0); // folded to lower case
    EXPECT_GT(CompareText(u"_", u"a"), 0);     // ASCII upper case, as the framework
    EXPECT_GT(CompareStr(u"a", u"B"), 0);      // ordinal
    EXPECT_GT(AnsiCompareStr(u"a", u"B"), 0);
    EXPECT_LT(AnsiCompareStr(u"B", u"a"), 0);
    EXPECT_EQ(CompareStr(u"abc", u"abc"), 0);
    EXPECT_NE(CompareText(u"\u00e4", u"\u00c4"), 0);
    EXPECT_TRUE(SameText(u"ABC", u"abc"));
    EXPECT_FALSE(SameStr(u"ABC", u"abc"));
    EXPECT_FALSE(AnsiSameStr(u"\u00c4", u"\u00e4"));

    EXPECT_TRUE(StartsText(u"STR", u"stra\u00dfe"));
    EXPECT_TRUE(StartsText(u"", u"x"));
    EXPECT_FALSE(StartsText(u"strasse", u"stra\u00dfe"));
    EXPECT_TRUE(EndsText(u"\u00c4RGER", u"ver\u00e4rger"));
    EXPECT_FALSE(EndsText(u"xverarger", u"verarger"));
    EXPECT_TRUE(ContainsText(u"Ver\u00e4rgerung", u"\u00c4RGER"));
    EXPECT_FALSE(ContainsText(u"abc", u""));
    EXPECT_FALSE(ContainsText(u"abc", u"abcd"));
    EXPECT_TRUE(StartsStr(u"ab", u"abc"));
    EXPECT_FALSE(StartsStr(u"AB", u"abc"));
    EXPECT_TRUE(EndsStr(u"bc", u"abc"));
    EXPECT_FALSE(EndsStr(u"BC", u"abc"));
}

TEST(StrUtils, BuildersAndIdentifiers) {
    EXPECT_EQ(StringOfChar(u'x', 3), u"xxx");
    EXPECT_EQ(StringOfChar(u'x', -1), u"");
    EXPECT_EQ(DupeString(u"ab", 3), u"ababab");
    EXPECT_EQ(DupeString(u"ab", 0), u"");
    EXPECT_EQ(ReverseString(u"abc"), u"cba");

    EXPECT_TRUE(IsValidIdent(u"_a1"));
    EXPECT_TRUE(IsValidIdent(u"Grid1"));
    EXPECT_FALSE(IsValidIdent(u"1a"));
    EXPECT_FALSE(IsValidIdent(u""));
    EXPECT_FALSE(IsValidIdent(u"a b"));
    EXPECT_FALSE(IsValidIdent(u"a.b"));
    EXPECT_TRUE(IsValidIdent(u"a.b", true));
    EXPECT_TRUE(IsValidIdent(u"Form1.Grid1.Columns", true));
    EXPECT_FALSE(IsValidIdent(u"a..b", true));
    EXPECT_FALSE(IsValidIdent(u".a", true));
    EXPECT_FALSE(IsValidIdent(u"a.", true));
    EXPECT_FALSE(IsValidIdent(u"a.1b", true));
    EXPECT_FALSE(IsValidIdent(u"\u00c4"));
}

} // namespace
} // namespace mv
