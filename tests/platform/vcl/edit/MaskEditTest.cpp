// TMaskEdit on the headless host: typing through a mask, literals skipped, refused
// characters, blanking keys, pasting, Text versus EditText, validation on exit.
#include "EditTestKit.h"

#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/Mask.h"

#include <gtest/gtest.h>

using namespace mv;
using mv::test::EditFixture;

namespace {

using MaskEditing = EditFixture;

TMaskEdit* Masked(EditFixture& f, const String& mask) {
    auto* edit = f.AddEdit<TMaskEdit>();
    edit->SetEditMask(mask);
    edit->SetSelStart(0);
    return edit;
}

} // namespace

TEST_F(MaskEditing, TypingFillsPositionsSkipsLiteralsAndRefusesWrongCharacters) {
    TMaskEdit* edit = Masked(*this, u"(999) 000-0000;0;_");
    EXPECT_EQ(edit->EditText(), u"(___) ___-____");
    EXPECT_EQ(edit->Text(), u"");
    Integer changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    const Integer beeps = BeepCount();
    Host.TypeText(u"12");
    Host.TypeText(u"a");
    EXPECT_EQ(edit->EditText(), u"(12_) ___-____") << "a letter is refused at a digit position";
    EXPECT_EQ(BeepCount() - beeps, 1);
    EXPECT_EQ(changes, 2);
    Host.TypeText(u"3456");
    EXPECT_EQ(edit->EditText(), u"(123) 456-____");
    EXPECT_EQ(edit->SelStart(), 10) << "the caret jumped over ') ' and '-'";
    EXPECT_EQ(edit->Text(), u"123456");
    Host.TypeText(u"78901");
    EXPECT_EQ(edit->EditText(), u"(123) 456-7890");
    EXPECT_EQ(BeepCount() - beeps, 2) << "no position left for the last digit";
}

TEST_F(MaskEditing, CaretStopsOnlyAtEditablePositions) {
    TMaskEdit* edit = Masked(*this, u"(999)-99;1;_");
    EXPECT_EQ(edit->SelStart(), 0);
    Host.KeyDown(VK_HOME);
    EXPECT_EQ(edit->SelStart(), 1) << "Home goes to the first editable position";
    Host.KeyDown(VK_END);
    EXPECT_EQ(edit->SelStart(), 8);
    Host.KeyDown(VK_LEFT);
    Host.KeyDown(VK_LEFT);
    EXPECT_EQ(edit->SelStart(), 6);
    Host.KeyDown(VK_LEFT);
    EXPECT_EQ(edit->SelStart(), 3) << "')' and '-' are stepped over";
    Host.KeyDown(VK_RIGHT);
    EXPECT_EQ(edit->SelStart(), 6);
    edit->SetEditMask(u"99)");
    Host.KeyDown(VK_END);
    EXPECT_EQ(edit->SelStart(), 2) << "End stops after the last editable position";
}

TEST_F(MaskEditing, BackspaceDeleteAndSelectionBlankPositions) {
    TMaskEdit* edit = Masked(*this, u"00/00/0000;1;_");
    Host.TypeText(u"24122026");
    EXPECT_EQ(edit->EditText(), u"24/12/2026");
    EXPECT_EQ(edit->Text(), u"24/12/2026");
    Host.KeyDown(VK_BACK);
    EXPECT_EQ(edit->EditText(), u"24/12/202_");
    EXPECT_EQ(edit->SelStart(), 9);
    Host.KeyDown(VK_HOME);
    Host.KeyDown(VK_DELETE);
    EXPECT_EQ(edit->EditText(), u"_4/12/202_");
    EXPECT_EQ(edit->SelStart(), 0);
    edit->SetSelStart(1);
    edit->SetSelLength(5);
    Host.KeyDown(VK_BACK);
    EXPECT_EQ(edit->EditText(), u"__/__/202_") << "literals survive blanking";
    Host.KeyDown('Z', {ssCtrl});
    EXPECT_EQ(edit->EditText(), u"_4/12/202_") << "undo works through the mask";
    // A typed character replaces a selection only when it is allowed.
    edit->SelectAll();
    Host.TypeText(u"x");
    EXPECT_EQ(edit->EditText(), u"_4/12/202_");
    Host.TypeText(u"3");
    EXPECT_EQ(edit->EditText(), u"3_/__/____");
}

TEST_F(MaskEditing, PastingTypesCharacterByCharacter) {
    TMaskEdit* edit = Masked(*this, u"(999) 000-0000;0;_");
    Clipboard().SetAsText(u"(555) 123-4567");
    Host.KeyDown('V', {ssCtrl});
    EXPECT_EQ(edit->EditText(), u"(555) 123-4567") << "pasted literals match the mask's";
    EXPECT_EQ(edit->Text(), u"5551234567");
    edit->SetText(u"");
    edit->SetSelStart(0);
    Clipboard().SetAsText(u"55x");
    const Integer beeps = BeepCount();
    Host.KeyDown('V', {ssCtrl});
    EXPECT_EQ(edit->EditText(), u"(___) ___-____") << "one bad character refuses the paste";
    EXPECT_EQ(BeepCount() - beeps, 1);
}

TEST_F(MaskEditing, CaseDirectivesAndOptionalSpaces) {
    TMaskEdit* edit = Masked(*this, u">LL<ll-ll;1;*");
    Host.TypeText(u"abCD");
    EXPECT_EQ(edit->EditText(), u"ABcd-**");
    Host.TypeText(u" z");
    EXPECT_EQ(edit->EditText(), u"ABcd-*z") << "a space blanks an optional position";
    EXPECT_EQ(edit->Text(), u"ABcd- z");
    edit->SetEditMask(u"cc;1;*");
    edit->SetText(u"");
    Host.TypeText(u" ");
    EXPECT_EQ(edit->EditText(), u" *") << "at an any-character position a space is a character";
}

TEST_F(MaskEditing, TextAndEditMaskKeepTheValue) {
    auto* edit = AddEdit<TMaskEdit>();
    edit->SetText(u"5551234567");
    edit->SetEditMask(u"(999) 000-0000;0;_");
    EXPECT_EQ(edit->EditText(), u"(555) 123-4567");
    EXPECT_EQ(edit->Text(), u"5551234567");
    edit->SetEditMask(u"(999) 000-0000;1;_");
    EXPECT_EQ(edit->Text(), u"(555) 123-4567");
    edit->SetEditMask(u"");
    EXPECT_FALSE(edit->IsMasked());
    EXPECT_EQ(edit->Text(), u"(555) 123-4567");
    edit->SetEditMask(u"!9999;0;_");
    edit->SetText(u"42");
    EXPECT_EQ(edit->EditText(), u"__42");
    edit->SetEditText(u"1_3");
    EXPECT_EQ(edit->EditText(), u"1_3_");
    EXPECT_EQ(edit->Text(), u"1 3 ");
    // Text put through TControl is taken as a value too.
    static_cast<TControl*>(edit)->SetText(u"7");
    EXPECT_EQ(edit->EditText(), u"___7");
}

TEST_F(MaskEditing, ValidateEditNamesThePositionAndKeepsTheFocus) {
    auto* other = AddEdit(40);
    TMaskEdit* edit = Masked(*this, u"00:00;1;_");
    Host.TypeText(u"123");
    EXPECT_EQ(edit->EditText(), u"12:3_");
    try {
        edit->ValidateEdit();
        ADD_FAILURE() << "an unfilled required position must raise";
    } catch (const EDBEditError& e) {
        EXPECT_EQ(e.Message(), u"Invalid input value at position 5: a character is required. "
                               u"Use Esc to abandon changes");
    }
    EXPECT_EQ(edit->SelStart(), 4) << "the caret went to the empty position";

    // Leaving the edit validates it: the focus stays and the application hears of it.
    Host.KeyDown(VK_HOME);
    const Integer errors = Application->ExceptionCount();
    Application->OnException = [](TObject*, const std::exception&) {};
    Host.KeyDown(VK_TAB);
    EXPECT_TRUE(edit->Focused());
    EXPECT_FALSE(other->Focused());
    EXPECT_GT(Application->ExceptionCount(), errors);
    EXPECT_EQ(edit->SelStart(), 4);

    Host.TypeText(u"4");
    EXPECT_NO_THROW(edit->ValidateEdit());
    Host.KeyDown(VK_TAB);
    EXPECT_TRUE(other->Focused());

    // A wrong character put in by program is named; an empty edit is valid.
    edit->SetEditText(u"1x:00");
    EXPECT_THROW(edit->ValidateEdit(), EDBEditError);
    EXPECT_EQ(edit->SelStart(), 1);
    edit->SetText(u"");
    EXPECT_NO_THROW(edit->ValidateEdit());
    Application->OnException = nullptr;
}

TEST_F(MaskEditing, MaxLengthDoesNotLimitAMaskedEdit) {
    TMaskEdit* edit = Masked(*this, u"000000;0;_");
    edit->SetMaxLength(2);
    Host.TypeText(u"123456");
    EXPECT_EQ(edit->Text(), u"123456");
}
