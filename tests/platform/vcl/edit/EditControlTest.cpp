// TEdit on the headless host: typing, keys, mouse selection, clipboard, undo, limits,
// read-only, events, scrolling and the caret blink.
#include "EditTestKit.h"

#include "platform/vcl/Clipbrd.h"

#include <gtest/gtest.h>

using namespace mv;
using mv::test::EditFixture;

namespace {

using EditKeys = EditFixture;
using EditMouse = EditFixture;
using EditClipboard = EditFixture;
using EditRules = EditFixture;
using EditView = EditFixture;

} // namespace

TEST_F(EditKeys, TypingMovesTheCaretAndKeysNavigateByCharacterAndWord) {
    TEdit* edit = AddEdit();
    Host.TypeText(u"hello big world");
    EXPECT_EQ(edit->Text(), u"hello big world");
    EXPECT_EQ(edit->SelStart(), 15);

    Host.KeyDown(VK_HOME);
    EXPECT_EQ(edit->SelStart(), 0);
    Host.KeyDown(VK_RIGHT);
    Host.KeyDown(VK_RIGHT);
    EXPECT_EQ(edit->SelStart(), 2);
    Host.KeyDown(VK_RIGHT, {ssCtrl});
    EXPECT_EQ(edit->SelStart(), 6) << "Ctrl+Right goes to the start of the next word";
    Host.KeyDown(VK_RIGHT, {ssCtrl});
    EXPECT_EQ(edit->SelStart(), 10);
    Host.KeyDown(VK_LEFT, {ssCtrl});
    EXPECT_EQ(edit->SelStart(), 6);
    Host.KeyDown(VK_END);
    Host.KeyDown(VK_LEFT, {ssCtrl});
    EXPECT_EQ(edit->SelStart(), 10);

    // Shift extends from the anchor; typing replaces the selection.
    Host.KeyDown(VK_END, {ssShift});
    EXPECT_EQ(edit->SelText(), u"world");
    Host.KeyDown(VK_LEFT, {ssShift, ssCtrl});
    Host.KeyDown(VK_LEFT, {ssShift, ssCtrl});
    EXPECT_EQ(edit->SelText(), u"big ") << "the anchor stayed at 10";
    EXPECT_EQ(edit->SelStart(), 6);
    Host.TypeText(u"X");
    EXPECT_EQ(edit->Text(), u"hello Xworld");
    EXPECT_EQ(edit->SelLength(), 0);

    // Left and Right with a selection collapse it to its edge.
    edit->SetSelStart(2);
    edit->SetSelLength(3);
    Host.KeyDown(VK_RIGHT);
    EXPECT_EQ(edit->SelStart(), 5);
    EXPECT_EQ(edit->SelLength(), 0);
}

TEST_F(EditKeys, BackspaceAndDeleteByCharacterWordAndSelection) {
    TEdit* edit = AddEdit();
    Host.TypeText(u"one two three");
    Host.KeyDown(VK_BACK);
    EXPECT_EQ(edit->Text(), u"one two thre");
    Host.KeyDown(VK_BACK, {ssCtrl});
    EXPECT_EQ(edit->Text(), u"one two ");
    Host.KeyDown(VK_HOME);
    Host.KeyDown(VK_DELETE);
    EXPECT_EQ(edit->Text(), u"ne two ");
    Host.KeyDown(VK_DELETE, {ssCtrl});
    EXPECT_EQ(edit->Text(), u"two ") << "Ctrl+Delete removes the word and the space after it";
    Host.KeyDown(VK_END, {ssShift});
    Host.KeyDown(VK_BACK);
    EXPECT_EQ(edit->Text(), u"");
    Host.KeyDown(VK_BACK);
    Host.KeyDown(VK_DELETE);
    EXPECT_EQ(edit->Text(), u"") << "nothing to delete is no error";
}

TEST_F(EditKeys, SurrogatePairsAreNeverSplit) {
    TEdit* edit = AddEdit();
    const String face = u"\U0001F600";
    Host.TypeText(u"a" + face + u"b");
    ASSERT_EQ(edit->Text(), u"a" + face + u"b");
    Host.KeyDown(VK_LEFT);
    Host.KeyDown(VK_LEFT);
    EXPECT_EQ(edit->SelStart(), 1) << "one Left steps over the whole pair";
    edit->SetSelStart(2);
    EXPECT_EQ(edit->SelStart(), 1) << "a position inside the pair moves to its start";
    Host.KeyDown(VK_RIGHT, {ssShift});
    EXPECT_EQ(edit->SelText(), face);
    Host.KeyDown(VK_END);
    Host.KeyDown(VK_LEFT);
    Host.KeyDown(VK_BACK);
    EXPECT_EQ(edit->Text(), u"ab");
    // A lone low surrogate (no high one before it) is dropped.
    Host.TypeText(String(1, Char(0xDE00)));
    EXPECT_EQ(edit->Text(), u"ab");
}

TEST_F(EditKeys, KeyDownOverrideCanKeepKeysFromTheEdit) {
    struct TForwardingEdit : TEdit {
        using TEdit::TEdit;
        Integer Forwarded = 0;
        void KeyDown(Word& key, TShiftState shift) override {
            if (key == VK_HOME) {
                ++Forwarded;
                key = 0;
                return;
            }
            TEdit::KeyDown(key, shift);
        }
    };
    auto* edit = AddEdit<TForwardingEdit>();
    Integer events = 0;
    edit->OnKeyDown = [&](TObject*, Word&, TShiftState) { ++events; };
    Host.TypeText(u"abc");
    Host.KeyDown(VK_HOME);
    EXPECT_EQ(edit->Forwarded, 1);
    EXPECT_EQ(edit->SelStart(), 3) << "the consumed Home did not move the caret";
    Host.KeyDown(VK_LEFT);
    EXPECT_EQ(edit->SelStart(), 2);
    EXPECT_EQ(events, 1) << "OnKeyDown sees only the keys that reach the inherited KeyDown";
    // OnKeyPress can swallow a character.
    edit->OnKeyPress = [](TObject*, Char& key) {
        if (key == u'x') key = 0;
    };
    Host.TypeText(u"xy");
    EXPECT_EQ(edit->Text(), u"abyc");
}

TEST_F(EditMouse, ClickDragShiftClickAndDoubleClick) {
    TEdit* other = AddEdit(40);
    TEdit* edit = AddEdit(10, 200, false);
    edit->SetText(u"alpha beta gamma");
    other->SetFocus();
    const Integer y = TextY(edit);

    Host.Click(edit, edit->CaretXOf(3) + 1, y);
    EXPECT_TRUE(edit->Focused()) << "a click focuses the edit";
    EXPECT_EQ(edit->SelStart(), 3);
    EXPECT_EQ(edit->SelLength(), 0) << "focus by click does not auto-select";

    Host.Drag(edit, {edit->CaretXOf(6), y}, {edit->CaretXOf(10) - 1, y});
    EXPECT_EQ(edit->SelText(), u"beta");
    Host.Click(edit, edit->CaretXOf(16) + 20, y, mbLeft, {ssShift});
    EXPECT_EQ(edit->SelText(), u"beta gamma") << "Shift+click extends from the anchor";

    // Dragging leftwards selects backwards from the press.
    Host.Drag(edit, {edit->CaretXOf(5), y}, {edit->CaretXOf(0), y});
    EXPECT_EQ(edit->SelText(), u"alpha");
    EXPECT_EQ(edit->CaretPos(), 0);

    Host.DoubleClick(edit, edit->CaretXOf(12), y);
    EXPECT_EQ(edit->SelText(), u"gamma");
    Host.DoubleClick(edit, edit->CaretXOf(5) + 1, y);
    EXPECT_EQ(edit->SelText(), u"alpha") << "just after a word, the word before is meant";

    // Dragging on after the second press extends by whole words, both ways.
    // (The second press is sent directly: the host's DoubleClick releases at once.)
    Host.Click(edit, edit->CaretXOf(8), y);
    edit->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, PointToLParam(edit->CaretXOf(8), y));
    EXPECT_EQ(edit->SelText(), u"beta");
    Host.MouseMove(edit, edit->CaretXOf(13), y, {ssLeft});
    EXPECT_EQ(edit->SelText(), u"beta gamma");
    Host.MouseMove(edit, edit->CaretXOf(2), y, {ssLeft});
    EXPECT_EQ(edit->SelText(), u"alpha beta");
    EXPECT_EQ(edit->CaretPos(), 0);
    Host.MouseUp(edit, edit->CaretXOf(2), y);
    Host.MouseMove(edit, edit->CaretXOf(16), y);
    EXPECT_EQ(edit->SelText(), u"alpha beta") << "moving without the button changes nothing";
}

TEST_F(EditMouse, PositionAtPicksTheNearerCharacterEdge) {
    TEdit* edit = AddEdit();
    edit->SetText(u"WWW");
    const Integer x1 = edit->CaretXOf(1), x2 = edit->CaretXOf(2);
    ASSERT_GT(x2 - x1, 4);
    EXPECT_EQ(edit->PositionAt(x1 + 1), 1);
    EXPECT_EQ(edit->PositionAt(x2 - 1), 2);
    EXPECT_EQ(edit->PositionAt(-50), 0);
    EXPECT_EQ(edit->PositionAt(1000), 3);
}

TEST_F(EditClipboard, CutCopyPasteGoThroughTheHost) {
    TEdit* edit = AddEdit();
    Host.TypeText(u"copy me");
    Host.KeyDown('A', {ssCtrl});
    EXPECT_EQ(edit->SelLength(), 7);
    Host.KeyDown('C', {ssCtrl});
    EXPECT_EQ(Host.ClipboardText(), u"copy me");
    EXPECT_EQ(Clipboard().AsText(), u"copy me");

    Host.KeyDown(VK_HOME);
    Host.KeyDown(VK_RIGHT, {ssShift, ssCtrl});
    Host.KeyDown('X', {ssCtrl});
    EXPECT_EQ(Host.ClipboardText(), u"copy ");
    EXPECT_EQ(edit->Text(), u"me");
    Host.KeyDown(VK_END);
    Host.KeyDown('V', {ssCtrl});
    EXPECT_EQ(edit->Text(), u"mecopy ");

    // The older key spellings.
    Host.KeyDown(VK_LEFT, {ssShift});
    Host.KeyDown(VK_DELETE, {ssShift});
    EXPECT_EQ(Host.ClipboardText(), u" ");
    EXPECT_EQ(edit->Text(), u"mecopy");
    Host.KeyDown(VK_HOME, {ssShift});
    Host.KeyDown(VK_INSERT, {ssCtrl});
    EXPECT_EQ(Host.ClipboardText(), u"mecopy");
    Host.KeyDown(VK_END);
    Host.KeyDown(VK_INSERT, {ssShift});
    EXPECT_EQ(edit->Text(), u"mecopymecopy");

    // Only the first line of a multi-line text is pasted.
    Clipboard().SetAsText(u"one\r\ntwo");
    edit->SelectAll();
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), u"one");

    // Password edits do not give their text away.
    edit->SetPasswordChar(u'*');
    edit->SelectAll();
    edit->CopyToClipboard();
    EXPECT_EQ(Host.ClipboardText(), u"one\r\ntwo");
}

TEST(Clipboard, WithoutAHostIsEmptyAndIgnoresWrites) {
    InstallHost(nullptr);
    Clipboard().SetAsText(u"lost");
    EXPECT_EQ(Clipboard().AsText(), u"");
    EXPECT_FALSE(Clipboard().HasFormat(CF_UNICODETEXT));
    THeadlessHost host;
    InstallHost(&host);
    EXPECT_EQ(Clipboard().AsText(), u"") << "nothing was kept for a later host";
    Clipboard().SetAsText(u"kept");
    EXPECT_EQ(host.ClipboardText(), u"kept");
    EXPECT_TRUE(Clipboard().HasFormat(CF_TEXT));
    EXPECT_FALSE(Clipboard().HasFormat(2));
    Clipboard().Clear();
    EXPECT_FALSE(Clipboard().HasFormat(CF_TEXT));
    InstallHost(nullptr);
}

TEST_F(EditRules, UndoRevertsTheLastChangeAndRedoesOnTheSecondCall) {
    TEdit* edit = AddEdit();
    edit->SetText(u"base");
    EXPECT_FALSE(edit->CanUndo()) << "setting Text forgets undo";
    Host.KeyDown(VK_END);
    Host.TypeText(u"123");
    Host.KeyDown('Z', {ssCtrl});
    EXPECT_EQ(edit->Text(), u"base") << "consecutive typing is one change";
    EXPECT_EQ(edit->SelStart(), 4);
    Host.KeyDown('Z', {ssCtrl});
    EXPECT_EQ(edit->Text(), u"base123");

    Host.KeyDown(VK_LEFT);
    Host.TypeText(u"x");
    Host.TypeText(u"y");
    EXPECT_EQ(edit->Text(), u"base12xy3");
    Host.KeyDown(VK_BACK);
    edit->Undo();
    EXPECT_EQ(edit->Text(), u"base12xy3") << "the Backspace was the last change";
    edit->ClearUndo();
    EXPECT_FALSE(edit->CanUndo());
    edit->Undo();
    EXPECT_EQ(edit->Text(), u"base12xy3");
}

TEST_F(EditRules, OnChangeFiresOncePerChangeAndModifiedFollowsTheUser) {
    TEdit* edit = AddEdit();
    Integer changes = 0;
    edit->OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, edit);
        ++changes;
    };
    edit->SetText(u"start");
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(edit->Modified());
    edit->SetText(u"start");
    EXPECT_EQ(changes, 1) << "the same text is no change";
    Host.KeyDown(VK_END);
    Host.KeyDown(VK_LEFT, {ssShift});
    EXPECT_EQ(changes, 1) << "moving and selecting change nothing";
    Host.TypeText(u"ab");
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(edit->Modified());
    Host.KeyDown(VK_BACK);
    edit->Undo();
    EXPECT_EQ(changes, 5);
    edit->SetSelText(u"!");
    EXPECT_EQ(changes, 6);
    EXPECT_EQ(edit->Text(), u"starab!");
    edit->SetText(u"");
    EXPECT_EQ(changes, 7);
    EXPECT_FALSE(edit->Modified());
}

TEST_F(EditRules, MaxLengthCutsTypingAndPastingButNotTheProgram) {
    TEdit* edit = AddEdit();
    edit->SetMaxLength(5);
    const Integer beeps = BeepCount();
    Host.TypeText(u"abcdefg");
    EXPECT_EQ(edit->Text(), u"abcde");
    EXPECT_EQ(BeepCount() - beeps, 2) << "each refused character beeps";
    Host.KeyDown(VK_LEFT);
    Host.KeyDown(VK_LEFT);
    Host.KeyDown(VK_LEFT, {ssShift});
    Clipboard().SetAsText(u"123456");
    Host.KeyDown('V', {ssCtrl});
    EXPECT_EQ(edit->Text(), u"ab1de") << "the paste got the room of the replaced selection";
    // A surrogate pair that does not fit whole is left out.
    edit->SetText(u"abcd");
    edit->SetSelStart(4);
    Clipboard().SetAsText(u"\U0001F600");
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), u"abcd");
    edit->SetText(u"longer than five");
    EXPECT_EQ(edit->Text(), u"longer than five");
}

TEST_F(EditRules, ReadOnlyAllowsNavigationAndCopyOnly) {
    TEdit* edit = AddEdit();
    edit->SetText(u"fixed");
    edit->SetReadOnly(true);
    Integer changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    const Integer beeps = BeepCount();
    Host.KeyDown(VK_END);
    Host.TypeText(u"x");
    Host.KeyDown(VK_BACK);
    Host.KeyDown(VK_HOME);
    Host.KeyDown(VK_DELETE);
    Host.KeyDown(VK_END, {ssShift});
    Host.KeyDown('X', {ssCtrl});
    Host.KeyDown('V', {ssCtrl});
    EXPECT_EQ(edit->Text(), u"fixed");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(BeepCount() - beeps, 5);
    EXPECT_EQ(edit->SelText(), u"fixed") << "selection still works";
    Host.KeyDown('C', {ssCtrl});
    EXPECT_EQ(Host.ClipboardText(), u"fixed");
}

TEST_F(EditRules, CharCaseConvertsTypedAndExistingText) {
    TEdit* edit = AddEdit();
    edit->SetCharCase(ecUpperCase);
    Host.TypeText(u"straße ok");
    EXPECT_EQ(edit->Text(), u"STRAßE OK") << "simple case mapping keeps the length";
    edit->SetCharCase(ecLowerCase);
    EXPECT_EQ(edit->Text(), u"straße ok");
    edit->SetText(u"MiXeD");
    EXPECT_EQ(edit->Text(), u"mixed");
}

TEST_F(EditRules, AutoSelectOnKeyboardFocusOnly) {
    TEdit* first = AddEdit(10);
    TEdit* second = AddEdit(40, 150, false);
    second->SetText(u"selected");
    Host.KeyDown(VK_TAB);
    ASSERT_TRUE(second->Focused());
    EXPECT_EQ(second->SelText(), u"selected");
    second->SetAutoSelect(false);
    second->SetSelStart(2);
    first->SetFocus();
    Host.KeyDown(VK_TAB);
    EXPECT_EQ(second->SelLength(), 0);
    EXPECT_EQ(second->SelStart(), 2);
}

TEST_F(EditView, LongTextScrollsToKeepTheCaretVisible) {
    TEdit* edit = AddEdit(10, 80);
    Host.TypeText(u"a text much wider than this narrow edit box");
    const TRect area = edit->EditRect();
    EXPECT_GT(edit->ScrollOffset(), 0);
    Integer x = edit->CaretXOf(edit->SelStart());
    EXPECT_GE(x, area.Left);
    EXPECT_LT(x, area.Right);
    Host.KeyDown(VK_HOME);
    EXPECT_EQ(edit->ScrollOffset(), 0);
    EXPECT_EQ(edit->CaretXOf(0), area.Left);
    // Walking right one character at a time never leaves the caret outside.
    for (Integer i = 0; i < 30; ++i) {
        Host.KeyDown(VK_RIGHT);
        x = edit->CaretXOf(edit->SelStart());
        ASSERT_GE(x, area.Left) << "after " << i + 1 << " steps";
        ASSERT_LT(x, area.Right) << "after " << i + 1 << " steps";
    }
    // Deleting the end of the text scrolls back so that no empty space is left at the right.
    Host.KeyDown(VK_END, {ssShift});
    Host.KeyDown(VK_DELETE);
    ASSERT_GT(edit->CaretXOf(static_cast<Integer>(edit->Text().size())) - edit->CaretXOf(0), area.Width());
    const Integer textRight = edit->CaretXOf(static_cast<Integer>(edit->Text().size()));
    EXPECT_EQ(textRight, area.Right - 1);
}

TEST_F(EditView, CaretBlinksOnTheVirtualClockOnlyWhileFocused) {
    TEdit* other = AddEdit(40);
    TEdit* edit = AddEdit(10);
    // The caret stands after a space, so no glyph touches its column.
    Host.TypeText(u"a ");
    Application->ProcessMessages();
    const TColorRef ref = ColorToRGB(clWindow);
    const std::uint32_t white =
        (std::uint32_t(GetRValue(ref)) << 16) | (std::uint32_t(GetGValue(ref)) << 8) | GetBValue(ref);
    const Integer x = edit->CaretXOf(2);
    const Integer y = TextY(edit);
    EXPECT_TRUE(edit->CaretShown());
    EXPECT_NE(Host.PixelAt(edit, x, y), white) << "the caret is drawn";

    Host.AdvanceTime(TCustomEdit::CaretBlinkTime);
    EXPECT_FALSE(edit->CaretShown());
    EXPECT_EQ(Host.PixelAt(edit, x, y), white) << "and taken away";
    Host.AdvanceTime(TCustomEdit::CaretBlinkTime);
    EXPECT_TRUE(edit->CaretShown());
    Host.AdvanceTime(TCustomEdit::CaretBlinkTime - 10);
    Host.TypeText(u"c ");
    Host.AdvanceTime(20);
    EXPECT_TRUE(edit->CaretShown()) << "typing restarts the blink with the caret on";

    other->SetFocus();
    Application->ProcessMessages();
    EXPECT_FALSE(edit->CaretShown());
    const Integer xc = edit->CaretXOf(4);
    for (Integer i = 0; i < 3; ++i) {
        Host.AdvanceTime(TCustomEdit::CaretBlinkTime);
        EXPECT_EQ(Host.PixelAt(edit, xc, y), white) << "no caret without focus";
    }
}

TEST_F(EditRules, EditMessagesReachTheSameOperations) {
    TEdit* edit = AddEdit();
    edit->SetText(u"message text");
    edit->Perform(EM_SETSEL, 8, -1);
    EXPECT_EQ(edit->SelText(), u"text");
    Integer start = 0, end = 0;
    edit->Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 8);
    EXPECT_EQ(end, 12);
    edit->Perform(WM_CUT);
    EXPECT_EQ(edit->Text(), u"message ");
    EXPECT_EQ(edit->Perform(EM_CANUNDO), 1);
    EXPECT_EQ(edit->Perform(EM_GETMODIFY), 1);
    edit->Perform(EM_UNDO);
    EXPECT_EQ(edit->Text(), u"message text");
    edit->Perform(EM_SETSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(edit->SelLength(), 0) << "a start of -1 deselects";

    const Integer left = edit->EditRect().Left;
    edit->Perform(EM_SETMARGINS, EC_LEFTMARGIN, MakeLParam(20, 0));
    EXPECT_EQ(edit->EditRect().Left, left - 2 + 20);
    EXPECT_EQ(edit->CaretXOf(0), edit->EditRect().Left) << "the text starts after the margin";
    edit->Perform(EM_LIMITTEXT, 3);
    EXPECT_EQ(edit->MaxLength(), 3);
}

TEST_F(EditView, PasswordCharStandsForEachCodePoint) {
    TEdit* edit = AddEdit();
    edit->SetPasswordChar(u'*');
    Host.TypeText(u"a\U0001F600b");
    ASSERT_EQ(edit->Text().size(), 4u);
    TCanvas measure;
    measure.SetFont(edit->Font());
    EXPECT_EQ(edit->CaretXOf(4) - edit->CaretXOf(0), measure.TextWidth(u"***"));
    EXPECT_EQ(edit->CaretXOf(3) - edit->CaretXOf(0), measure.TextWidth(u"**"));
    EXPECT_EQ(edit->PositionAt(edit->CaretXOf(3)), 3);
}
