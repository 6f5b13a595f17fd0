// Check boxes, radio buttons and group boxes driven by synthetic mouse and keys.
#include "StdCtrlsTestKit.h"

#include "platform/vcl/ButtonControls.h"

using namespace mv;
using namespace mv::test;

namespace {

using CheckBoxTest = StdCtrlsFixture;
using RadioButtonTest = StdCtrlsFixture;
using GroupBoxTest = StdCtrlsFixture;

} // namespace

TEST_F(CheckBoxTest, MouseAndSpaceToggleAndFireOnClick) {
    auto* box = Add<TCheckBox>(10, 10, 120, 17);
    box->SetCaption(u"Case sensitive");
    int clicks = 0;
    box->OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, box);
        ++clicks;
    };
    Paint();

    Host.Click(box, 5, 8);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(box->Focused()) << "a click focuses the box";
    Host.Click(box, 60, 8); // on the caption
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(clicks, 2);

    Host.KeyDown(VK_SPACE);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(clicks, 3);

    // Pressing, leaving the box and releasing outside does nothing.
    Host.MouseDown(box, 5, 8);
    EXPECT_TRUE(box->Pressed());
    Host.MouseMove(box, 200, 8);
    EXPECT_FALSE(box->Pressed());
    Host.MouseUp(box, 200, 8);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(clicks, 3);

    // Code changes fire OnClick too, unless clicks are disabled; equal values fire nothing.
    box->SetChecked(true);
    EXPECT_EQ(clicks, 3);
    box->SetChecked(false);
    EXPECT_EQ(clicks, 4);
    box->SetClicksDisabled(true);
    box->SetChecked(true);
    EXPECT_EQ(clicks, 4);
    EXPECT_TRUE(box->Checked());
}

TEST_F(CheckBoxTest, AllowGrayedCyclesThroughThreeStates) {
    auto* box = Add<TCheckBox>(10, 10, 120, 17);
    box->SetAllowGrayed(true);
    Paint();
    const TCheckBoxState expected[] = {cbGrayed, cbChecked, cbUnchecked, cbGrayed};
    for (TCheckBoxState state : expected) {
        Host.Click(box, 5, 8);
        EXPECT_EQ(box->State(), state);
    }
    // Without AllowGrayed a grayed box (set by code) goes to checked, never back to grayed.
    box->SetAllowGrayed(false);
    Host.KeyDown(VK_SPACE);
    EXPECT_EQ(box->State(), cbChecked);
    Host.KeyDown(VK_SPACE);
    EXPECT_EQ(box->State(), cbUnchecked);
    Host.KeyDown(VK_SPACE);
    EXPECT_EQ(box->State(), cbChecked);
}

TEST_F(CheckBoxTest, PaintsTheMarkForTheStateAndGreysWhenDisabled) {
    auto* box = Add<TCheckBox>(10, 10, 120, 17);
    box->SetCaption(u"Wrap around");
    Paint();
    // The mark is 13 x 13, vertically centred: rows 2..14. The tick crosses the box's (5, 8).
    const TPoint tick{5, 2 + 8};
    EXPECT_EQ(Host.PixelAt(box, tick.X, tick.Y), Rgb(clWindow));
    EXPECT_EQ(Host.PixelAt(box, 0, 2), Rgb(clBtnShadow)) << "the box frame";
    box->SetChecked(true);
    Paint();
    EXPECT_EQ(Host.PixelAt(box, tick.X, tick.Y), Rgb(clWindowText));
    box->SetEnabled(false);
    Paint();
    EXPECT_EQ(Host.PixelAt(box, tick.X, tick.Y), Rgb(clGrayText));
    EXPECT_EQ(Host.PixelAt(box, 2, 4), Rgb(clBtnFace)) << "a disabled box is grey inside";
    // A disabled box does not answer the mouse.
    Host.Click(box, 5, 8);
    EXPECT_TRUE(box->Checked());

    // taLeftJustify puts the caption left and the box at the right edge.
    box->SetAlignment(taLeftJustify);
    Paint();
    EXPECT_EQ(Host.PixelAt(box, 120 - CheckMarkSize, 2), Rgb(clBtnShadow));
    EXPECT_EQ(Host.PixelAt(box, 120 - CheckMarkSize + 5, 10), Rgb(clGrayText));
    EXPECT_NE(Host.PixelAt(box, 0, 2), Rgb(clBtnShadow));
}

TEST_F(RadioButtonTest, CheckingOneUnchecksItsSiblingsOnly) {
    auto* a = Add<TRadioButton>(10, 10, 80, 17);
    auto* b = Add<TRadioButton>(10, 30, 80, 17);
    auto* c = Add<TRadioButton>(10, 50, 80, 17);
    // A second group on a group box: its own siblings.
    auto* group = Add<TGroupBox>(150, 10, 150, 80);
    auto* d = Add<TRadioButton>(10, 20, 80, 17, group);
    auto* e = Add<TRadioButton>(10, 40, 80, 17, group);
    std::vector<TObject*> clicked;
    for (TRadioButton* r : {a, b, c, d, e})
        r->OnClick = [&](TObject* sender) { clicked.push_back(sender); };
    Paint();

    Host.Click(a, 5, 8);
    Host.Click(d, 5, 8);
    EXPECT_TRUE(a->Checked());
    EXPECT_TRUE(d->Checked());
    Host.Click(b, 5, 8);
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(b->Checked());
    EXPECT_TRUE(d->Checked()) << "another parent is another group";
    // A click on the checked one keeps it checked and fires nothing.
    Host.Click(b, 5, 8);
    EXPECT_TRUE(b->Checked());
    EXPECT_EQ(clicked, (std::vector<TObject*>{a, d, b}));

    // Arrow keys move the check and the focus within the group, wrapping.
    ASSERT_TRUE(b->Focused());
    Host.KeyDown(VK_DOWN);
    EXPECT_TRUE(c->Checked());
    EXPECT_TRUE(c->Focused());
    EXPECT_FALSE(b->Checked());
    Host.KeyDown(VK_DOWN);
    EXPECT_TRUE(a->Checked());
    b->SetEnabled(false);
    Host.KeyDown(VK_RIGHT);
    EXPECT_TRUE(c->Checked()) << "a disabled button is skipped";
    EXPECT_TRUE(d->Checked());
    EXPECT_FALSE(e->Checked());

    // Code may uncheck every button of a group.
    c->SetChecked(false);
    EXPECT_FALSE(a->Checked() || b->Checked() || c->Checked());
}

TEST_F(GroupBoxTest, AlignedChildrenSitInsideTheFrameBelowTheCaption) {
    auto* group = Add<TGroupBox>(10, 10, 200, 120);
    group->SetCaption(u" Options ");
    auto* inner = Add<TCheckBox>(0, 0, 10, 17, group);
    inner->SetAlign(alTop);
    Paint();
    EXPECT_GT(inner->Top(), 8) << "below the caption";
    EXPECT_LT(inner->Top(), 24);
    EXPECT_EQ(inner->Left(), 2);
    EXPECT_EQ(inner->Width(), 196);
    // The frame's top line runs through the middle of the caption's height but the
    // caption clears it; further right it shows.
    const Integer frameY = (inner->Top() - 2) / 2; // half the caption's text height
    bool lineFound = false;
    for (Integer y = frameY - 2; y <= frameY + 2; ++y)
        lineFound = lineFound || Host.PixelAt(group, 180, y) == Rgb(clBtnShadow);
    EXPECT_TRUE(lineFound) << "the etched top edge right of the caption";
    for (Integer y = frameY - 2; y <= frameY + 2; ++y)
        EXPECT_NE(Host.PixelAt(group, 9, y), Rgb(clBtnShadow)) << "the caption's gap at y " << y;
}

TEST_F(GroupBoxTest, AcceleratorsToggleCheckAndFocus) {
    auto* box = Add<TCheckBox>(10, 10, 150, 17);
    box->SetCaption(u"&Case sensitive");
    auto* group = Add<TGroupBox>(10, 40, 200, 80);
    group->SetCaption(u"C&ombine");
    auto* andButton = Add<TRadioButton>(10, 20, 80, 17, group);
    andButton->SetCaption(u"&AND");
    auto* orButton = Add<TRadioButton>(10, 40, 80, 17, group);
    orButton->SetCaption(u"O&R");
    Paint();

    Host.KeyDown(Word('C'), {ssAlt});
    EXPECT_TRUE(box->Checked());
    EXPECT_TRUE(box->Focused());
    Host.KeyDown(Word('R'), {ssAlt});
    EXPECT_TRUE(orButton->Checked());
    EXPECT_TRUE(orButton->Focused());
    Host.KeyDown(Word('O'), {ssAlt});
    EXPECT_TRUE(andButton->Focused()) << "the group box hands the focus to its first control";
    EXPECT_TRUE(orButton->Checked()) << "focusing is not checking";
    Host.KeyDown(Word('X'), {ssAlt});
    EXPECT_TRUE(andButton->Focused());
}
