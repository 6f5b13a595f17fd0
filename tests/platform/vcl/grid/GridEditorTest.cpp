// The grid's in-place editor and keyboard: opening, keeping and posting text, masks,
// refused changes, keys handed back to the grid, navigation.
#include "GridTestKit.h"

#include "platform/vcl/Edit.h"

using namespace mv;
using namespace mv::test;

namespace {

struct GridEditorFixture : GridFixture {
    void SetUp() override {
        GridFixture::SetUp();
        Grid->SetOptions(Grid->Options() + goEditing);
    }
    TInplaceEdit* Editor() { return Grid->InplaceEditor(); }
    bool EditorShows() { return Editor() && Editor()->Visible() && Grid->EditorMode(); }
    std::pair<TGridCoord, String> LastPosted() {
        return Grid->EditTexts.empty() ? std::pair<TGridCoord, String>{} : Grid->EditTexts.back();
    }
};

} // namespace

TEST_F(GridEditorFixture, OpensOnF2EnterAndTypingAndPostsItsText) {
    Grid->SetOptions(Grid->Options() - goEditing);
    Host.KeyDown(VK_F2);
    Host.TypeText(u"a");
    Host.KeyDown(VK_RETURN);
    EXPECT_EQ(Editor(), nullptr) << "no editor without goEditing";
    Grid->SetOptions(Grid->Options() + goEditing);

    // F2: the cell's text with the caret at its end.
    Host.KeyDown(VK_F2);
    ASSERT_TRUE(EditorShows());
    EXPECT_TRUE(Editor()->Focused());
    EXPECT_EQ(Editor()->Text(), u"1,1");
    EXPECT_EQ(Editor()->SelLength(), 0);
    EXPECT_EQ(Editor()->SelStart(), 3);
    EXPECT_EQ(Editor()->BoundsRect(), Grid->CellRect(1, 1));
    EXPECT_TRUE(Grid->EditTexts.empty()) << "opening is not a change";
    Host.TypeText(u"x");
    EXPECT_EQ(LastPosted(), (std::pair<TGridCoord, String>{{1, 1}, u"1,1x"}))
        << "every change reaches the grid";

    // Enter closes it (the text stays posted), Enter opens it again with the text selected.
    Host.KeyDown(VK_RETURN);
    EXPECT_FALSE(EditorShows());
    EXPECT_TRUE(Grid->Focused());
    EXPECT_EQ(Grid->CellText(1, 1), u"1,1x");
    Host.KeyDown(VK_RETURN);
    ASSERT_TRUE(EditorShows());
    EXPECT_EQ(Editor()->Text(), u"1,1x");
    EXPECT_EQ(Editor()->SelLength(), 4);

    // Down is the grid's: the editor closes and the row moves.
    Host.KeyDown(VK_DOWN);
    EXPECT_FALSE(EditorShows());
    EXPECT_EQ(Grid->Row(), 2);

    // Typing opens it with the typed character replacing the text; Escape restores the text.
    Host.TypeText(u"Q");
    ASSERT_TRUE(EditorShows());
    EXPECT_EQ(Editor()->Text(), u"Q");
    Host.TypeText(u"rs");
    EXPECT_EQ(Grid->CellText(1, 2), u"Qrs");
    Host.KeyDown(VK_ESCAPE);
    EXPECT_FALSE(EditorShows());
    EXPECT_EQ(Grid->CellText(1, 2), u"1,2") << "Escape gives the cell its text back";
    EXPECT_EQ(Grid->Row(), 2);
}

TEST_F(GridEditorFixture, KeepsItsTextWhileItsCellScrollsAway) {
    Host.KeyDown(VK_F2);
    Host.TypeText(u"abc");
    Host.Wheel(Grid, 100, 100, -3 * WHEEL_DELTA);
    EXPECT_EQ(Grid->TopRow(), 10);
    EXPECT_FALSE(Editor()->Visible()) << "its cell is out of sight";
    EXPECT_TRUE(Grid->EditorMode());
    Host.Wheel(Grid, 100, 100, 3 * WHEEL_DELTA);
    ASSERT_TRUE(EditorShows());
    EXPECT_EQ(Editor()->Text(), u"1,1abc");
    EXPECT_EQ(Editor()->BoundsRect(), Grid->CellRect(1, 1));
    // Moving to another cell by mouse posts the text and closes it.
    const TRect other = Grid->CellRect(3, 4);
    Host.Click(Grid, other.Left + 5, other.Top + 5);
    EXPECT_FALSE(EditorShows());
    EXPECT_EQ(Grid->CellText(1, 1), u"1,1abc");
    EXPECT_EQ((TGridCoord{Grid->Col(), Grid->Row()}), (TGridCoord{3, 4}));
    // A click on the current cell opens it.
    Host.Click(Grid, other.Left + 5, other.Top + 5);
    EXPECT_TRUE(EditorShows());
}

TEST_F(GridEditorFixture, MaskRefusesALetterInADigitPosition) {
    Grid->Mask = u"000;1;_";
    Grid->Cells[{1, 1}] = u"";
    Host.KeyDown(VK_F2);
    ASSERT_TRUE(EditorShows());
    EXPECT_EQ(Editor()->EditMask(), u"000;1;_");
    EXPECT_EQ(Editor()->EditText(), u"___");
    Host.KeyDown(VK_HOME);
    const Integer beeps = BeepCount();
    Host.TypeText(u"1a2");
    EXPECT_EQ(BeepCount(), beeps + 1) << "the letter is refused with a beep";
    EXPECT_EQ(Editor()->EditText(), u"12_");
    EXPECT_EQ(LastPosted().second, u"12");
}

TEST_F(GridEditorFixture, ChangesWaitForTheGridsPermission) {
    Grid->AllowModify = false;
    Host.KeyDown(VK_F2);
    const Integer beeps = BeepCount();
    Host.TypeText(u"z");
    Host.KeyDown(VK_BACK);
    Host.SetClipboardText(u"pasted");
    Host.KeyDown('V', {ssCtrl});
    EXPECT_EQ(Editor()->Text(), u"1,1");
    EXPECT_GE(BeepCount(), beeps + 3);
    EXPECT_TRUE(Grid->EditTexts.empty());
    // Permission is asked at the first change of a cell, not again for each key.
    Grid->AllowModify = true;
    Grid->ModifyQuestions = 0;
    Host.TypeText(u"yz");
    Host.KeyDown(VK_BACK);
    EXPECT_EQ(Editor()->Text(), u"1,1y");
    EXPECT_EQ(Grid->ModifyQuestions, 1);
}

TEST_F(GridEditorFixture, AlwaysShownEditorFollowsTheCurrentCell) {
    Grid->SetOptions(Grid->Options() + goAlwaysShowEditor + goTabs);
    ASSERT_TRUE(EditorShows());
    Host.TypeText(u"!");
    Host.KeyDown(VK_DOWN);
    ASSERT_TRUE(EditorShows());
    EXPECT_EQ(Grid->Row(), 2);
    EXPECT_EQ(Editor()->Text(), u"1,2");
    EXPECT_EQ(Grid->CellText(1, 1), u"!") << "it opened with its text selected";
    // Right at the end of the text moves to the next cell, inside the text it moves the caret.
    Host.KeyDown(VK_END);
    Host.KeyDown(VK_RIGHT);
    EXPECT_EQ(Grid->Col(), 2);
    Host.KeyDown(VK_LEFT);
    EXPECT_EQ(Grid->Col(), 2) << "the selected text first";
    Host.KeyDown(VK_HOME);
    Host.KeyDown(VK_LEFT);
    EXPECT_EQ(Grid->Col(), 1);
    // Tab goes to the grid with goTabs; Enter does not close an always-shown editor.
    Host.KeyDown(VK_TAB);
    EXPECT_EQ(Grid->Col(), 2);
    Host.KeyDown(VK_RETURN);
    EXPECT_TRUE(EditorShows());
}

TEST_F(GridFixture, KeysMoveTheCurrentCellAndExtendTheSelection) {
    auto at = [&] { return TGridCoord{Grid->Col(), Grid->Row()}; };
    Host.KeyDown(VK_RIGHT);
    Host.KeyDown(VK_DOWN);
    EXPECT_EQ(at(), (TGridCoord{2, 2}));
    Host.KeyDown(VK_UP);
    Host.KeyDown(VK_UP);
    Host.KeyDown(VK_LEFT);
    Host.KeyDown(VK_LEFT);
    EXPECT_EQ(at(), (TGridCoord{1, 1})) << "never into the fixed cells";
    Host.KeyDown(VK_END);
    EXPECT_EQ(at(), (TGridCoord{9, 1}));
    EXPECT_EQ(Grid->LeftCol(), 6) << "the current cell is scrolled into view";
    Host.KeyDown(VK_HOME);
    EXPECT_EQ(at(), (TGridCoord{1, 1}));
    EXPECT_EQ(Grid->LeftCol(), 1);
    Host.KeyDown(VK_NEXT);
    EXPECT_EQ(at(), (TGridCoord{1, 11}));
    EXPECT_EQ(Grid->TopRow(), 11) << "a page down moves the view by a page too";
    Host.KeyDown(VK_END, {ssCtrl});
    EXPECT_EQ(at(), (TGridCoord{9, 29}));
    Host.KeyDown(VK_HOME, {ssCtrl});
    EXPECT_EQ(at(), (TGridCoord{1, 1}));
    EXPECT_EQ(Grid->TopRow(), 1);

    Host.KeyDown(VK_DOWN, {ssShift});
    Host.KeyDown(VK_RIGHT, {ssShift});
    Host.KeyDown(VK_RIGHT, {ssShift});
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 3, 2}));
    Host.KeyDown(VK_DOWN);
    EXPECT_EQ(Grid->Selection(), (TGridRect{3, 3, 3, 3})) << "a plain move collapses the range";
    Grid->SetOptions(Grid->Options() + goRowSelect);
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 3, 9, 3}));

    // Tab leaves the grid without goTabs and moves between cells with it.
    auto* other = new TTestGrid(Form);
    other->SetBounds(420, 10, 100, 100);
    other->SetParent(Form);
    Grid->SetOptions(Grid->Options() - goRowSelect);
    Host.KeyDown(VK_TAB);
    EXPECT_TRUE(other->Focused());
    Grid->SetFocus();
    Grid->SetOptions(Grid->Options() + goTabs);
    Grid->SetCol(9);
    Host.KeyDown(VK_TAB);
    EXPECT_EQ(at(), (TGridCoord{1, 4})) << "wraps to the next row";
    Host.KeyDown(VK_TAB, {ssShift});
    EXPECT_EQ(at(), (TGridCoord{9, 3}));
}
