// A form with a panel, two edits and buttons on the headless host: Tab order, typing,
// default and cancel buttons, accelerators and the push button's own mouse and keys.
#include "platform/vcl/CanvasTestKit.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/forms/FormsTestKit.h"

using namespace mv;

namespace {

// The form of the acceptance scenario: a top panel holding two edits, OK (default) and
// Cancel (cancel) buttons below it.
struct EntryForm {
    std::unique_ptr<TForm> Form;
    TPanel* Panel = nullptr;
    TEdit* First = nullptr;
    TEdit* Second = nullptr;
    TButton* Ok = nullptr;
    TButton* Cancel = nullptr;
    int OkClicks = 0, CancelClicks = 0;

    EntryForm() {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(200, 150, 360, 160);
        Panel = new TPanel(Form.get());
        Panel->SetParent(Form.get());
        Panel->SetAlign(alTop);
        Panel->SetHeight(80);
        First = Add<TEdit>(Panel, 10, 10);
        Second = Add<TEdit>(Panel, 10, 40);
        Ok = Add<TButton>(Form.get(), 190, 100);
        Ok->SetCaption(u"OK");
        Ok->SetDefault(true);
        Ok->SetModalResult(mrOk);
        Ok->OnClick = [this](TObject*) { ++OkClicks; };
        Cancel = Add<TButton>(Form.get(), 270, 100);
        Cancel->SetCaption(u"Cancel");
        Cancel->SetCancel(true);
        Cancel->SetModalResult(mrCancel);
        Cancel->OnClick = [this](TObject*) { ++CancelClicks; };
    }
    template <typename T> T* Add(TWinControl* parent, Integer left, Integer top) {
        auto* c = new T(Form.get());
        c->SetParent(parent);
        c->SetLeft(left);
        c->SetTop(top);
        return c;
    }
    TWinControl* Focused() const { return FindControl(GetFocus()); }
};

using FocusAndKeys = test::FormsFixture;

TEST_F(FocusAndKeys, TabWalksTheTabStopsInTabOrderAndTypingReachesTheFocusedEdit) {
    EntryForm f;
    f.Form->Show();
    Application->ProcessMessages();
    ASSERT_EQ(f.Focused(), f.First) << "showing focuses the first tab stop (inside the panel)";

    Host.TypeText(u"ab");
    Host.KeyDown(VK_TAB);
    EXPECT_EQ(f.Focused(), f.Second);
    Host.TypeText(u"cd");
    EXPECT_EQ(f.First->Text(), u"ab");
    EXPECT_EQ(f.Second->Text(), u"cd") << "the Tab character itself is not typed";

    Host.KeyDown(VK_TAB);
    EXPECT_EQ(f.Focused(), f.Ok);
    Host.KeyDown(VK_TAB);
    EXPECT_EQ(f.Focused(), f.Cancel);
    Host.KeyDown(VK_TAB);
    EXPECT_EQ(f.Focused(), f.First) << "wraps around";
    Host.KeyDown(VK_TAB, {ssShift});
    EXPECT_EQ(f.Focused(), f.Cancel) << "Shift+Tab goes back";

    // Controls without a tab stop, disabled or hidden are passed over; TabOrder reorders.
    f.Second->SetEnabled(false);
    f.Ok->SetTabStop(false);
    f.First->SetFocus();
    Host.KeyDown(VK_TAB);
    EXPECT_EQ(f.Focused(), f.Cancel);
    f.Second->SetEnabled(true);
    f.Second->SetTabOrder(0);
    f.First->SetFocus();
    Host.KeyDown(VK_TAB, {ssShift});
    EXPECT_EQ(f.Focused(), f.Second) << "Second now comes before First";
    EXPECT_EQ(f.Form->ActiveControl(), f.Second);
}

TEST_F(FocusAndKeys, EnterClicksTheDefaultButtonAndEscapeTheCancelButton) {
    EntryForm f;
    std::vector<Word> previewed;
    f.Form->SetKeyPreview(true);
    f.Form->OnKeyDown = [&](TObject*, Word& key, TShiftState) { previewed.push_back(key); };
    f.Form->Show();
    Application->ProcessMessages();
    Host.TypeText(u"x");

    Host.KeyDown(VK_RETURN);
    EXPECT_EQ(f.OkClicks, 1);
    EXPECT_EQ(f.Form->ModalResult(), mrOk) << "the button hands its ModalResult to the form";
    EXPECT_EQ(f.First->Text(), u"x") << "the Enter character does not reach the edit";
    EXPECT_EQ(f.Focused(), f.First) << "the focus stays where it was";
    EXPECT_TRUE(previewed.empty()) << "a consumed dialog key never reaches OnKeyDown";

    Host.KeyDown(VK_ESCAPE);
    EXPECT_EQ(f.CancelClicks, 1);
    EXPECT_EQ(f.Form->ModalResult(), mrCancel);

    // A focused button is the one Enter clicks, and it takes the default frame.
    f.Cancel->SetFocus();
    EXPECT_TRUE(f.Cancel->Active());
    EXPECT_FALSE(f.Ok->Active());
    Host.KeyDown(VK_RETURN);
    EXPECT_EQ(f.CancelClicks, 2);
    EXPECT_EQ(f.OkClicks, 1);

    // Modifiers keep Enter from the buttons; without a default button Enter is an
    // ordinary key of the focused control.
    f.First->SetFocus();
    EXPECT_TRUE(f.Ok->Active());
    Host.KeyDown(VK_RETURN, {ssCtrl});
    EXPECT_EQ(f.OkClicks, 1);
    f.Ok->SetDefault(false);
    previewed.clear();
    Host.KeyDown(VK_RETURN);
    EXPECT_EQ(f.OkClicks, 1);
    EXPECT_EQ(previewed, std::vector<Word>{VK_RETURN});
    // Disabled buttons ignore their keys.
    f.Cancel->SetEnabled(false);
    Host.KeyDown(VK_ESCAPE);
    EXPECT_EQ(f.CancelClicks, 2);
}

TEST_F(FocusAndKeys, ButtonClicksOnReleaseInsideOnSpaceAndShowsPressed) {
    EntryForm f;
    f.Form->Show();
    Application->ProcessMessages();
    TButton* b = f.Ok;

    Host.MouseDown(b, 10, 10);
    EXPECT_TRUE(b->Pressed());
    EXPECT_TRUE(b->Focused()) << "a press focuses the button";
    Host.MouseMove(b, 200, 10, {ssLeft});
    EXPECT_FALSE(b->Pressed()) << "dragged off: drawn up";
    Host.MouseUp(b, 200, 10);
    EXPECT_EQ(f.OkClicks, 0) << "released outside: no click";

    Host.Click(b, 10, 10);
    EXPECT_EQ(f.OkClicks, 1);
    EXPECT_FALSE(b->Pressed());
    Host.DoubleClick(b, 10, 10);
    EXPECT_EQ(f.OkClicks, 3) << "both clicks of a double click count";

    Host.KeyPressOnly(VK_SPACE);
    EXPECT_TRUE(b->Pressed());
    EXPECT_EQ(f.OkClicks, 3) << "Space clicks on release";
    Host.KeyDown(VK_SPACE); // the release (a full press again)
    EXPECT_EQ(f.OkClicks, 4);
    EXPECT_FALSE(b->Pressed());

    // The pressed look is painted: the face moves and the edge turns.
    const std::uint32_t upCorner = Host.PixelAt(b, 1, 1);
    Host.MouseDown(b, 10, 10);
    Application->ProcessMessages();
    EXPECT_NE(Host.PixelAt(b, 1, 1), upCorner);
    Host.MouseUp(b, 10, 10);
}

TEST_F(FocusAndKeys, AcceleratorsFocusTheLabelsControlAndClickButtons) {
    EntryForm f;
    auto* label = new TLabel(f.Form.get());
    label->SetParent(f.Panel);
    label->SetCaption(u"Se&cond:");
    label->SetFocusControl(f.Second);
    f.Ok->SetCaption(u"&Save");
    f.Form->Show();
    Application->ProcessMessages();

    Host.KeyDown('C', {ssAlt});
    EXPECT_EQ(f.Focused(), f.Second);
    Host.KeyDown('S', {ssAlt});
    EXPECT_EQ(f.OkClicks, 1);
    Host.KeyDown('Q', {ssAlt});
    EXPECT_EQ(f.Focused(), f.Second) << "no accelerator: nothing happens";

    EXPECT_TRUE(IsAccel('S', u"&Save"));
    EXPECT_TRUE(IsAccel('A', u"S&ave"));
    EXPECT_FALSE(IsAccel('S', u"Save"));
    EXPECT_FALSE(IsAccel('B', u"R&&B"));
    EXPECT_TRUE(IsAccel('B', u"R&&&B"));
}

TEST_F(FocusAndKeys, LabelSizesToItsTextAndPaintsByAlignmentAndLayout) {
    auto form = ShownForm(Rect(100, 100, 400, 200));
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    label->SetCaption(u"Customer");
    const Integer oneLine = label->Height();
    EXPECT_GT(label->Width(), 30);
    EXPECT_GE(oneLine, 12);
    const Integer shortWidth = label->Width();
    label->SetCaption(u"Customer name");
    EXPECT_GT(label->Width(), shortWidth) << "AutoSize follows the caption";

    // Right-justified auto-size keeps the right edge.
    label->SetAlignment(taRightJustify);
    label->SetLeft(100);
    const Integer right = label->Left() + label->Width();
    label->SetCaption(u"Name");
    EXPECT_EQ(label->Left() + label->Width(), right);

    // Word wrap keeps the width and grows the height.
    label->SetWordWrap(true);
    label->SetWidth(60);
    label->SetCaption(u"A longer caption that wraps");
    EXPECT_EQ(label->Width(), 60);
    EXPECT_GE(label->Height(), 3 * oneLine);

    // Layout: text drawn at the bottom of a tall label leaves its top empty.
    label->SetAutoSize(false);
    label->SetWordWrap(false);
    label->SetAlignment(taLeftJustify);
    label->SetBounds(10, 10, 120, 60);
    label->SetCaption(u"WWW");
    label->SetLayout(tlBottom);
    Application->ProcessMessages();
    auto inkIn = [&](Integer top, Integer bottom) {
        int ink = 0;
        for (Integer y = top; y < bottom; ++y)
            for (Integer x = 0; x < 40; ++x)
                ink += Host.PixelAt(label, x, y) != Host.PixelAt(label, 100, 0);
        return ink;
    };
    EXPECT_EQ(inkIn(0, 30), 0);
    EXPECT_GT(inkIn(40, 60), 0);
    label->SetLayout(tlTop);
    Application->ProcessMessages();
    EXPECT_GT(inkIn(0, 20), 0);
    EXPECT_EQ(inkIn(40, 60), 0);

    // An opaque label fills its rectangle with its colour, a transparent one leaves the
    // parent's face showing.
    const std::uint32_t face = Host.PixelAt(form.get(), 290, 5);
    label->SetColor(clYellow);
    Application->ProcessMessages();
    EXPECT_EQ(Host.PixelAt(label, 100, 50), 0xFFFF00u);
    label->SetTransparent(true);
    Application->ProcessMessages();
    EXPECT_EQ(Host.PixelAt(label, 100, 50), face);
}

TEST_F(FocusAndKeys, PanelPlacesAlignedChildrenInsideItsBevelsAndBorder) {
    auto form = ShownForm(Rect(100, 100, 300, 200));
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(10, 10, 200, 100);
    panel->SetBevelOuter(bvRaised);
    panel->SetBevelInner(bvLowered);
    panel->SetBevelWidth(2);
    panel->SetBorderWidth(3);
    auto* top = new TPanel(form.get());
    top->SetParent(panel);
    top->SetAlign(alTop);
    top->SetHeight(20);
    auto* rest = new TPanel(form.get());
    rest->SetParent(panel);
    rest->SetAlign(alClient);
    EXPECT_EQ(panel->FrameWidth(), 7);
    EXPECT_EQ(top->BoundsRect(), Rect(7, 7, 193, 27));
    EXPECT_EQ(rest->BoundsRect(), Rect(7, 27, 193, 93));

    panel->SetBorderStyle(bsSingle);
    EXPECT_EQ(top->BoundsRect(), Rect(8, 8, 192, 28)) << "a frame change realigns";
    panel->SetBevelInner(bvNone);
    panel->SetBevelOuter(bvNone);
    panel->SetBorderWidth(0);
    panel->SetBorderStyle(bsNone);
    EXPECT_EQ(rest->BoundsRect(), Rect(0, 20, 200, 100));

    EXPECT_THROW(panel->SetBevelWidth(0), EInvalidOperation);
    EXPECT_THROW(panel->SetBorderWidth(-1), EInvalidOperation);
    EXPECT_EQ(panel->BevelWidth(), 2) << "a refused value changes nothing";

    // The bevels are painted: raised outer edge light on top, dark at the bottom.
    panel->SetBevelOuter(bvRaised);
    panel->SetBevelWidth(1);
    rest->Hide();
    top->Hide();
    Application->ProcessMessages();
    EXPECT_NE(Host.PixelAt(panel, 50, 0), Host.PixelAt(panel, 50, 99));
    EXPECT_EQ(Host.PixelAt(panel, 50, 50), Host.PixelAt(form.get(), 5, 5)) << "face of the button colour";
}

TEST_F(FocusAndKeys, PictureOfAnEntryForm) {
    EntryForm f;
    f.Form->SetBounds(50, 50, 360, 170);
    f.Panel->SetBevelOuter(bvLowered);
    f.Panel->SetHeight(84);
    auto* caption = new TPanel(f.Form.get());
    caption->SetParent(f.Form.get());
    caption->SetAlign(alBottom);
    caption->SetHeight(22);
    caption->SetBevelOuter(bvRaised);
    caption->SetAlignment(taLeftJustify);
    caption->SetCaption(u" Ready");
    for (auto [edit, text, top] : {std::tuple{f.First, u"Name:", 13}, std::tuple{f.Second, u"&City:", 43}}) {
        auto* label = new TLabel(f.Form.get());
        label->SetParent(f.Panel);
        label->SetCaption(text);
        label->SetFocusControl(edit);
        label->SetLeft(12);
        label->SetTop(top);
        edit->SetLeft(70);
        edit->SetWidth(180);
    }
    f.Second->SetText(u"Lisbon");
    auto* disabled = new TButton(f.Form.get());
    disabled->SetParent(f.Form.get());
    disabled->SetBounds(10, 95, 75, 25);
    disabled->SetCaption(u"&Help");
    disabled->SetEnabled(false);
    f.Form->Show();
    f.First->SetFocus();
    Application->ProcessMessages();
    const std::string file = "/tmp/mv_forms_entry_form.png";
    ASSERT_TRUE(Host.SavePng(HostWindowOf(f.Form.get()), file));
    TBitmap picture;
    picture.LoadFromFile(UTF8ToString(file));
    std::remove(file.c_str());
    test::ExpectMatchesGolden(picture, MV_VCL_GOLDEN_DIR, "entry_form.png");
}

} // namespace
