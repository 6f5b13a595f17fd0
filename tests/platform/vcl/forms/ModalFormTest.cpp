// ShowModal on the headless host: scripted answers, a really running nested loop driven by
// keys and clicks, closing rules, placement, constraints, popups that close when they lose
// the focus, and the form events.
#include "platform/vcl/Edit.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/forms/FormsTestKit.h"

using namespace mv;

namespace {

using ModalForms = test::FormsFixture;

// A dialog with an edit and OK/Cancel buttons, owned by its caller.
struct Dialog {
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TEdit* Edit = new TEdit(Form.get());
    TButton* Ok = new TButton(Form.get());
    TButton* Cancel = new TButton(Form.get());

    Dialog() {
        Form->SetCaption(u"Find");
        Form->SetBounds(0, 0, 260, 90);
        Edit->SetParent(Form.get());
        Edit->SetBounds(10, 10, 240, 21);
        Edit->SetAutoSelect(false); // coming back to the dialog keeps the caret after the text
        Ok->SetParent(Form.get());
        Ok->SetBounds(90, 50, 75, 25);
        Ok->SetDefault(true);
        Ok->SetModalResult(mrOk);
        Cancel->SetParent(Form.get());
        Cancel->SetBounds(175, 50, 75, 25);
        Cancel->SetCancel(true);
        Cancel->SetModalResult(mrCancel);
    }
};

TEST_F(ModalForms, ShowModalReturnsTheScriptedAnswerWithoutShowingTheForm) {
    Dialog d;
    bool shown = false;
    d.Form->OnShow = [&](TObject*) { shown = true; };
    Host.QueueModalAnswer(mrYes);
    EXPECT_EQ(d.Form->ShowModal(), mrYes);
    EXPECT_EQ(d.Form->ModalResult(), mrYes);
    EXPECT_FALSE(shown);
    EXPECT_FALSE(d.Form->Visible());
    ASSERT_EQ(Host.ModalLog().size(), 1u);
    EXPECT_EQ(Host.ModalLog()[0], u"TForm: Find");
    EXPECT_EQ(Application->MainForm(), nullptr) << "a modal form never becomes the main form";
}

TEST_F(ModalForms, NestedLoopRunsUntilAKeyOrAClickSetsModalResult) {
    auto main = ShownForm(Rect(100, 100, 600, 400));
    auto* mainEdit = new TEdit(main.get());
    mainEdit->SetParent(main.get());
    mainEdit->SetFocus();
    Dialog d;
    d.Form->SetPosition(poScreenCenter);
    std::vector<std::string> events;
    d.Form->OnShow = [&](TObject*) { events.push_back("show"); };
    d.Form->OnHide = [&](TObject*) { events.push_back("hide"); };
    d.Form->OnClose = [&](TObject*, TCloseAction&) { events.push_back("close"); };

    bool mainDisabled = false, dialogFocused = false;
    ScriptIdle({[&] {
                    dialogFocused = d.Edit->Focused();
                    mainDisabled = !IsWindowEnabled(main->Handle());
                    Host.TypeText(u"needle");
                },
                [&] {
                    // The disabled main form takes no input; the dialog takes the focus back.
                    Host.Click(mainEdit, 5, 5);
                    Host.TypeText(u"!");
                },
                [&] { Host.KeyDown(VK_RETURN); }},
               [&] { return d.Form.get(); });
    EXPECT_EQ(d.Form->ShowModal(), mrOk);
    EXPECT_TRUE(dialogFocused);
    EXPECT_TRUE(mainDisabled);
    EXPECT_EQ(d.Edit->Text(), u"needle!");
    EXPECT_EQ(mainEdit->Text(), u"");
    EXPECT_FALSE(d.Form->Visible());
    EXPECT_FALSE(d.Form->Modal());
    EXPECT_EQ(events, (std::vector<std::string>{"show", "close", "hide"}));
    EXPECT_TRUE(IsWindowEnabled(main->Handle())) << "enabled again";
    EXPECT_TRUE(mainEdit->Focused()) << "the form that was active gets the focus back";
    EXPECT_EQ(Screen->ActiveForm(), main.get());

    // Again, ended by a mouse click on Cancel; the form shows centred this time too.
    ScriptIdle({[&] {
                   EXPECT_EQ(d.Form->BoundsRect(), Bounds((1920 - 260) / 2, (1080 - 90) / 2, 260, 90));
                   Host.Click(d.Cancel, 10, 10);
               }},
               [&] { return d.Form.get(); });
    EXPECT_EQ(d.Form->ShowModal(), mrCancel);

    // The window manager's close button and Close both mean Cancel.
    ScriptIdle({[&] { Host.RequestClose(HostWindowOf(d.Form.get())); }}, [&] { return d.Form.get(); });
    EXPECT_EQ(d.Form->ShowModal(), mrCancel);
    ScriptIdle({[&] { d.Form->Close(); }}, [&] { return d.Form.get(); });
    EXPECT_EQ(d.Form->ShowModal(), mrCancel);
}

// A control that records the cancel-mode message it gets.
class TCancelRecorder : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    Integer CancelModes = 0;

protected:
    void WndProc(TMessage& message) override {
        if (message.Msg == WM_CANCELMODE) ++CancelModes;
        TCustomControl::WndProc(message);
    }
};

TEST_F(ModalForms, AControlHoldingTheMouseIsToldToDropItsGestureFirst) {
    auto main = ShownForm(Rect(100, 100, 400, 300));
    auto* dragging = new TCancelRecorder(main.get());
    dragging->SetParent(main.get());
    dragging->SetBounds(10, 10, 100, 100);
    dragging->SetMouseCapture(true);
    Dialog d;
    ScriptIdle({[&] { d.Form->Close(); }}, [&] { return d.Form.get(); });
    EXPECT_EQ(d.Form->ShowModal(), mrCancel);
    EXPECT_EQ(dragging->CancelModes, 1);
    EXPECT_FALSE(dragging->MouseCapture());
}

TEST_F(ModalForms, CloseQueryAndOnCloseCanKeepTheModalLoopRunning) {
    Dialog d;
    int asked = 0;
    d.Form->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++asked > 1; };
    TCloseAction nextAction = caNone;
    d.Form->OnClose = [&](TObject*, TCloseAction& action) { action = nextAction; };
    bool stillShownAfterRefusal = false, stillShownAfterCaNone = false;
    ScriptIdle({[&] { Host.KeyDown(VK_ESCAPE); },
                [&] {
                    stillShownAfterRefusal = d.Form->Visible() && d.Form->ModalResult() == mrNone;
                    Host.KeyDown(VK_ESCAPE);
                },
                [&] {
                    stillShownAfterCaNone = d.Form->Visible();
                    nextAction = caHide;
                    Host.KeyDown(VK_RETURN);
                }},
               [&] { return d.Form.get(); });
    EXPECT_EQ(d.Form->ShowModal(), mrOk);
    EXPECT_TRUE(stillShownAfterRefusal);
    EXPECT_TRUE(stillShownAfterCaNone);
    EXPECT_EQ(asked, 3);

    // Showing a visible form modally is refused and changes nothing.
    d.Form->OnCloseQuery = nullptr;
    d.Form->Show();
    EXPECT_THROW(d.Form->ShowModal(), EInvalidOperation);
    EXPECT_TRUE(d.Form->Visible());

    // Terminating the application ends the loop with mrCancel.
    d.Form->Hide();
    ScriptIdle({[&] { Application->Terminate(); }}, [&] { return d.Form.get(); });
    EXPECT_EQ(d.Form->ShowModal(), mrCancel);
}

TEST_F(ModalForms, ALoopNothingCanEndIsReportedInsteadOfHanging) {
    auto main = ShownForm(Rect(100, 100, 400, 300));
    Dialog d;
    try {
        d.Form->ShowModal();
        ADD_FAILURE() << "ShowModal returned without input";
    } catch (const EInvalidOperation& e) {
        EXPECT_NE(std::string(e.what()).find("Modal form 'Find' can never close"), std::string::npos)
            << e.what();
    }
    EXPECT_FALSE(d.Form->Visible());
    EXPECT_FALSE(d.Form->Modal());
    EXPECT_TRUE(IsWindowEnabled(main->Handle()));
}

TEST_F(ModalForms, ModelessCloseHidesFreesOrStays) {
    auto* form = new TForm(nullptr);
    form->Show();
    EXPECT_EQ(Application->MainForm(), form) << "the first modeless form shown is the main form";
    Application->SetMainForm(nullptr);

    TCloseAction action = caNone;
    int hides = 0;
    form->OnClose = [&](TObject*, TCloseAction& a) { a = action; };
    form->OnHide = [&](TObject*) { ++hides; };
    form->Close();
    EXPECT_TRUE(form->Visible());
    action = caHide;
    form->Close();
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(hides, 1);

    form->Show();
    const Integer before = Screen->FormCount();
    action = caFree;
    form->Close();
    EXPECT_EQ(Screen->FormCount(), before) << "freed only after the handler returned";
    Application->ProcessMessages();
    EXPECT_EQ(Screen->FormCount(), before - 1);
}

TEST_F(ModalForms, PositionCentresAndKeepsTheFormOnTheWorkArea) {
    auto owner = ShownForm(Rect(100, 100, 700, 500));
    Application->SetMainForm(owner.get());

    TForm child(owner.get());
    child.SetBounds(0, 0, 200, 100);
    child.SetPosition(poOwnerFormCenter);
    child.Show();
    EXPECT_EQ(child.BoundsRect(), Bounds(300, 250, 200, 100));
    child.Hide();

    child.SetPosition(poScreenCenter);
    child.Show();
    EXPECT_EQ(child.BoundsRect(), Bounds(860, 490, 200, 100));
    child.Hide();

    // Centred over a form near the screen edge, the form is pushed back inside.
    owner->SetBounds(1800, 1000, 100, 60);
    child.SetPosition(poMainFormCenter);
    child.Show();
    EXPECT_EQ(child.BoundsRect(), Bounds(1720, 980, 200, 100));
    child.Hide();

    child.SetPosition(poDesigned);
    child.SetBounds(5, 6, 200, 100);
    child.Show();
    EXPECT_EQ(child.BoundsRect(), Bounds(5, 6, 200, 100));
    EXPECT_EQ(Host.WindowBounds(HostWindowOf(&child)), Bounds(5, 6, 200, 100));
}

TEST_F(ModalForms, ConstraintsBoundTheSize) {
    auto form = ShownForm(Rect(10, 10, 410, 310));
    TSizeConstraints* c = form->Constraints();
    c->SetMinWidth(200);
    c->SetMaxHeight(250);
    EXPECT_EQ(form->Height(), 250) << "new limits apply to the present size";
    form->SetBounds(10, 10, 100, 600);
    EXPECT_EQ(form->Width(), 200);
    EXPECT_EQ(form->Height(), 250);
    EXPECT_EQ(Host.WindowBounds(HostWindowOf(form.get())), Bounds(10, 10, 200, 250));
    c->SetMaxWidth(150); // below the minimum: the minimum wins
    form->SetWidth(500);
    EXPECT_EQ(form->Width(), 200);
    c->SetMinWidth(-5);
    EXPECT_EQ(c->MinWidth(), 0);
    form->SetWidth(500);
    EXPECT_EQ(form->Width(), 150);
}

TEST_F(ModalForms, BorderlessPopupClosesWhenTheOwnerIsClicked) {
    auto owner = ShownForm(Rect(100, 100, 500, 400));
    auto* ownerEdit = new TEdit(owner.get());
    ownerEdit->SetParent(owner.get());
    ownerEdit->SetBounds(10, 10, 100, 21);
    ownerEdit->SetFocus();

    TForm popup(owner.get());
    popup.SetBorderStyle(bsNone);
    popup.SetCloseOnDeactivate(true);
    popup.SetBounds(450, 380, 150, 120); // hangs over the owner's corner
    int closes = 0;
    popup.OnClose = [&](TObject*, TCloseAction&) { ++closes; };
    popup.Show();
    Application->ProcessMessages();
    const THostWindow window = HostWindowOf(&popup);
    EXPECT_TRUE(Host.WindowVisible(window));
    EXPECT_EQ(Host.FocusedWindow(), window);
    EXPECT_EQ(Screen->ActiveForm(), &popup);

    Host.Click(&popup, 20, 20); // inside: stays
    EXPECT_TRUE(popup.Visible());
    Host.Click(owner.get(), 300, 200); // the owner's empty face, nothing focusable there
    EXPECT_FALSE(popup.Visible());
    EXPECT_FALSE(Host.WindowVisible(window));
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(ownerEdit->Focused()) << "the owner is active again";

    // Without CloseOnDeactivate a popup stays when another window is activated.
    popup.SetCloseOnDeactivate(false);
    popup.Show();
    Host.Click(owner.get(), 300, 200);
    EXPECT_TRUE(popup.Visible());
    EXPECT_EQ(closes, 1);
}

TEST_F(ModalForms, CreateShowHideEventsAndBorderStyle) {
    struct Probe : TForm {
        using TForm::TForm;
        int Creates = 0;
        void DoCreate() override {
            ++Creates;
            TForm::DoCreate();
        }
    };
    Probe* probe = nullptr;
    Application->CreateForm(probe);
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(probe->Creates, 1);
    EXPECT_EQ(probe->Owner(), static_cast<TComponent*>(Application));
    EXPECT_EQ(Application->MainForm(), probe) << "CreateForm makes the main form";
    probe->Show();
    EXPECT_EQ(probe->Creates, 1) << "OnCreate fires once";
    std::unique_ptr<TForm> owned(probe);

    std::vector<std::string> events;
    TForm plain(nullptr);
    plain.OnCreate = [&](TObject*) { events.push_back("create"); };
    plain.OnShow = [&](TObject*) { events.push_back(plain.Visible() ? "show after" : "show before"); };
    plain.OnHide = [&](TObject*) { events.push_back("hide"); };
    plain.Show();
    plain.Hide();
    plain.Show();
    EXPECT_EQ(events, (std::vector<std::string>{"create", "show before", "hide", "show before"}))
        << "OnCreate once before the first show; OnShow before the window appears";

    // A border style change on a shown form makes a new host window of the right kind.
    const THostWindow framed = HostWindowOf(&plain);
    plain.SetBorderStyle(bsDialog);
    EXPECT_EQ(plain.BorderStyle(), bsDialog);
    EXPECT_NE(HostWindowOf(&plain), framed);
    EXPECT_TRUE(Host.WindowVisible(HostWindowOf(&plain)));
    plain.SetBorderIcons(TBorderIcons{biSystemMenu});
    EXPECT_EQ(plain.BorderIcons(), TBorderIcons{biSystemMenu});
}

} // namespace
