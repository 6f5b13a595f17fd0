// The mask engine alone: parsing, which characters each position takes, values and edit
// texts in both directions, the save-literals, blank and "!" parts.
#include "platform/rtl/FormatSettings.h"
#include "platform/vcl/Mask.h"

#include <gtest/gtest.h>

using namespace mv;

TEST(EditMask, PositionsTakeTheirCharacterClasses) {
    const TMaskLayout mask(u"09#LlAaCc");
    ASSERT_EQ(mask.Length(), 9);
    struct Case {
        Char C;
        const char* Accepted; // one flag per position
    };
    // Positions:                       0 9 # L l A a C c
    const Case cases[] = {{u'5', "111001111"}, {u'-', "001000011"},      {u'+', "001000011"},
                          {u'x', "000111111"}, {u'\u00e9', "000111111"}, // a letter outside ASCII
                          {u' ', "000000011"}, {u'!', "000000011"}};
    for (const Case& c : cases)
        for (Integer i = 0; i < 9; ++i)
            EXPECT_EQ(mask.Accepts(i, c.C), c.Accepted[i] == '1')
                << "char " << char(c.C) << " position " << i;
    EXPECT_FALSE(mask.Accepts(7, 0xD83D)) << "half a surrogate pair fits no position";
    EXPECT_TRUE(mask.Position(0).Required());
    EXPECT_FALSE(mask.Position(1).Required());
    EXPECT_TRUE(mask.Position(3).Required());
    EXPECT_TRUE(mask.Position(7).Required());
    EXPECT_FALSE(mask.Position(8).Required());
}

TEST(EditMask, LiteralsEscapesSeparatorsAndDirectives) {
    TFormatSettings german = TFormatSettings::German();
    TFormatSettingsScope scope(german);
    // "!" and the case directives take no position; "\" makes the next character literal;
    // ":" and "/" are the locale's separators; "_" is a space.
    const TMaskLayout mask(u"!>L<l<>c\\0:/_-");
    ASSERT_EQ(mask.Length(), 8);
    EXPECT_TRUE(mask.LeadingBlanks());
    EXPECT_EQ(mask.Position(0).Case, mcUpper);
    EXPECT_EQ(mask.Position(1).Case, mcLower);
    EXPECT_EQ(mask.Position(2).Case, mcNone);
    EXPECT_EQ(mask.EmptyText(), String(u"___0") + german.TimeSeparator + german.DateSeparator + u" -");
    EXPECT_EQ(mask.Convert(0, u'a'), u'A');
    EXPECT_EQ(mask.Convert(1, u'B'), u'b');
    EXPECT_EQ(mask.Convert(2, u'b'), u'b');
    EXPECT_EQ(mask.NextEditable(3), 8) << "only literals after position 2";
    EXPECT_EQ(mask.PriorEditable(8), 2);
    EXPECT_EQ(mask.PriorEditable(0), -1);
    EXPECT_TRUE(TMaskLayout(u"").Empty());
    EXPECT_EQ(TMaskLayout(u"0\\").EmptyText(), u"_\\") << "a trailing backslash is itself";
}

TEST(EditMask, SavePartAndBlankPart) {
    EXPECT_TRUE(TMaskLayout(u"000").SaveLiterals()) << "literals are kept by default";
    EXPECT_FALSE(TMaskLayout(u"000;0").SaveLiterals());
    EXPECT_TRUE(TMaskLayout(u"000;1;*").SaveLiterals());
    EXPECT_EQ(TMaskLayout(u"000;1;*").Blank(), u'*');
    EXPECT_EQ(TMaskLayout(u"000;0;").Blank(), u'_') << "an empty blank part keeps the default";
    EXPECT_EQ(TMaskLayout(u"0\\;0;0;#").EmptyText(), u"#;#") << "an escaped ';' belongs to the mask";
    EXPECT_EQ(MaskGetMaskBlank(u"99;0; "), u' ');
    EXPECT_FALSE(MaskGetMaskSave(u"99;0; "));
}

TEST(EditMask, ValuesWithAndWithoutLiterals) {
    const TMaskLayout saved(u"(999) 000-0000;1;_");
    const TMaskLayout bare(u"(999) 000-0000;0;_");
    const String edit = u"(12_) 555-0100";
    EXPECT_EQ(saved.ValueOf(edit), u"(12 ) 555-0100");
    EXPECT_EQ(bare.ValueOf(edit), u"12 5550100");
    // Back again: a value with literals is read past them, one without fills positions.
    EXPECT_EQ(saved.EditTextOf(u"(12 ) 555-0100"), edit);
    EXPECT_EQ(bare.EditTextOf(u"12 5550100"), edit);
    EXPECT_EQ(saved.EditTextOf(u"1234567890"), u"(123) 456-7890") << "missing literals are tolerated";
    EXPECT_EQ(bare.EditTextOf(u"123456789012"), u"(123) 456-7890") << "extra characters are dropped";
    EXPECT_EQ(bare.ValueOf(bare.EmptyText()), u"") << "nothing entered is an empty value";
    EXPECT_EQ(saved.ValueOf(saved.EmptyText()), u"");
    EXPECT_EQ(FormatMaskText(u"(999) 000-0000;0;_", u"12 5550100"), u"(12 ) 555-0100");
}

TEST(EditMask, TrailingBlanksOrLeadingWithExclamation) {
    const TMaskLayout trailing(u"9999;0;_");
    const TMaskLayout leading(u"!9999;0;_");
    EXPECT_EQ(trailing.EditTextOf(u"12"), u"12__");
    EXPECT_EQ(trailing.ValueOf(u"12__"), u"12");
    EXPECT_EQ(leading.EditTextOf(u"12"), u"__12") << "the value is right-justified";
    EXPECT_EQ(leading.ValueOf(u"__12"), u"12");
    EXPECT_EQ(leading.ValueOf(u"12__"), u"12  ") << "only leading blanks go with '!'";
    EXPECT_EQ(trailing.ValueOf(u"__12"), u"  12");
}

TEST(EditMask, CaseConversionAppliesToValues) {
    const TMaskLayout mask(u">LL<ll;0");
    EXPECT_EQ(mask.EditTextOf(u"abCD"), u"ABcd");
    EXPECT_EQ(mask.ValueOf(u"ABcd"), u"ABcd");
}

TEST(EditMask, FirstInvalidFindsMissingAndWrongCharacters) {
    const TMaskLayout mask(u"00/99/0000;1;_");
    EXPECT_EQ(mask.FirstInvalid(u"12/3_/2024"), -1) << "an optional position may stay blank";
    EXPECT_EQ(mask.FirstInvalid(u"12/34/20_4"), 8);
    EXPECT_EQ(mask.FirstInvalid(u"1x/34/2024"), 1);
    EXPECT_EQ(mask.FirstInvalid(u"12"), 6) << "a short text is padded with blanks first";
    EXPECT_EQ(mask.Normalize(u"12-34"), u"12/34/____") << "literals are restored, length fixed";
}
