// MessageDlg and ShowMessage: scripted answers, the dialog's buttons, defaults and layout,
// a dialog really running modally, and a picture of one.
#include "platform/vcl/CanvasTestKit.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/forms/FormsTestKit.h"

#include <cstdio>

using namespace mv;

namespace {

using MessageDialogs = test::FormsFixture;

TButton* ButtonOf(TForm* form, const char16_t* name) {
    return dynamic_cast<TButton*>(form->FindComponent(name));
}

// The buttons left to right.
std::vector<String> ButtonRow(TForm* form) {
    std::vector<TButton*> buttons;
    for (Integer i = 0; i < form->ControlCount(); ++i)
        if (auto* b = dynamic_cast<TButton*>(form->Controls(i))) buttons.push_back(b);
    std::sort(buttons.begin(), buttons.end(), [](TButton* a, TButton* b) { return a->Left() < b->Left(); });
    std::vector<String> names;
    for (TButton* b : buttons)
        names.push_back(b->Name());
    return names;
}

TEST_F(MessageDialogs, AnsweredByScriptWithoutAForm) {
    const Integer forms = Screen->FormCount();
    Host.QueueModalAnswer(mrNo);
    Host.QueueModalAnswer(mrOk);
    EXPECT_EQ(MessageDlg(u"Delete record?", mtConfirmation, mbYesNo, 0), mrNo);
    ShowMessage(u"Done.");
    ASSERT_EQ(Host.ModalLog().size(), 2u);
    EXPECT_EQ(Host.ModalLog()[0], u"MessageDlg: Delete record?");
    EXPECT_EQ(Host.ModalLog()[1], u"MessageDlg: Done.");
    EXPECT_EQ(Screen->FormCount(), forms);
    EXPECT_THROW(MessageDlg(u"Nothing to press", mtError, TMsgDlgButtons{}, 0), EInvalidOperation);
}

TEST_F(MessageDialogs, ButtonsCaptionsDefaultAndCancel) {
    std::unique_ptr<TForm> d(CreateMessageDialog(u"Save changes?", mtConfirmation, mbYesNoCancel));
    EXPECT_EQ(d->Caption(), u"Confirm");
    EXPECT_EQ(ButtonRow(d.get()), (std::vector<String>{u"Yes", u"No", u"Cancel"}));
    EXPECT_EQ(ButtonOf(d.get(), u"Yes")->Caption(), u"&Yes");
    EXPECT_EQ(ButtonOf(d.get(), u"No")->ModalResult(), mrNo);
    EXPECT_TRUE(ButtonOf(d.get(), u"Yes")->Default());
    EXPECT_EQ(d->ActiveControl(), ButtonOf(d.get(), u"Yes"));
    EXPECT_TRUE(ButtonOf(d.get(), u"Cancel")->Cancel());
    EXPECT_FALSE(ButtonOf(d.get(), u"No")->Cancel());
    EXPECT_NE(d->FindComponent(u"Image"), nullptr);
    EXPECT_EQ(d->BorderStyle(), bsDialog);

    // Without Cancel, No cancels; OK alone is both; a given default wins when present.
    d.reset(CreateMessageDialog(u"Continue?", mtWarning, mbYesNo, mbNo));
    EXPECT_EQ(d->Caption(), u"Warning");
    EXPECT_TRUE(ButtonOf(d.get(), u"No")->Default());
    EXPECT_FALSE(ButtonOf(d.get(), u"Yes")->Default());
    EXPECT_TRUE(ButtonOf(d.get(), u"No")->Cancel());
    d.reset(CreateMessageDialog(u"Failed.", mtError, TMsgDlgButtons{mbOK}, mbCancel));
    EXPECT_EQ(d->Caption(), u"Error");
    EXPECT_TRUE(ButtonOf(d.get(), u"OK")->Default());
    EXPECT_TRUE(ButtonOf(d.get(), u"OK")->Cancel());
    d.reset(CreateMessageDialog(u"Disk?", mtInformation, mbAbortRetryIgnore));
    EXPECT_TRUE(ButtonOf(d.get(), u"Abort")->Default()) << "neither OK nor Yes: the first button";
    EXPECT_EQ(ButtonOf(d.get(), u"Retry")->ModalResult(), mrRetry);

    // A custom message has the application's title and no icon.
    Application->SetTitle(u"Orders");
    d.reset(CreateMessageDialog(u"Hello", mtCustom, TMsgDlgButtons{mbOK}));
    EXPECT_EQ(d->Caption(), u"Orders");
    EXPECT_EQ(d->FindComponent(u"Image"), nullptr);
    Application->SetTitle(u"");
}

TEST_F(MessageDialogs, LongMessagesWrapAndTheFormFitsItsContent) {
    String text;
    for (int i = 0; i < 60; ++i)
        text += u"lorem ipsum ";
    std::unique_ptr<TForm> d(CreateMessageDialog(text, mtInformation, mbOKCancel));
    auto* message = dynamic_cast<TLabel*>(d->FindComponent(u"Message"));
    ASSERT_NE(message, nullptr);
    EXPECT_LE(message->Width(), 1920 / 2 + 1) << "wrapped within half the screen";
    EXPECT_GT(message->Height(), 3 * 14) << "on several lines";
    EXPECT_LE(message->Left() + message->Width(), d->ClientWidth());
    TButton* ok = ButtonOf(d.get(), u"OK");
    TButton* cancel = ButtonOf(d.get(), u"Cancel");
    EXPECT_GT(ok->Top(), message->Top() + message->Height());
    EXPECT_LE(ok->Top() + ok->Height(), d->ClientHeight());
    const Integer rowLeft = ok->Left(), rowRight = cancel->Left() + cancel->Width();
    EXPECT_NEAR(rowLeft, d->ClientWidth() - rowRight, 1) << "the row is centred";

    // A short one stays small but keeps room for its buttons.
    d.reset(CreateMessageDialog(u"Hi", mtCustom, mbAbortRetryIgnore));
    EXPECT_GE(d->ClientWidth(), 3 * 75 + 2 * 6 + 2 * 16);
    EXPECT_LT(d->ClientWidth(), 400);
}

TEST_F(MessageDialogs, RunsModallyWhenNothingIsScripted) {
    auto main = ShownForm(Rect(100, 100, 500, 300));
    TCustomForm* dialog = nullptr;
    auto current = [&] { return dialog = Screen->ActiveForm(); };

    // Tab from the default Yes to No, then Enter.
    ScriptIdle({[&] { Host.KeyDown(VK_TAB); }, [&] { Host.KeyDown(VK_RETURN); }}, current);
    EXPECT_EQ(MessageDlg(u"Apply the filter?", mtConfirmation, mbYesNoCancel, 0), mrNo);
    EXPECT_EQ(Screen->ActiveForm(), main.get()) << "the dialog is gone, the main form active again";

    ScriptIdle({[&] { Host.KeyDown(VK_ESCAPE); }}, current);
    EXPECT_EQ(MessageDlg(u"Apply the filter?", mtConfirmation, mbYesNoCancel, 0), mrCancel);

    ScriptIdle({[&] { Host.KeyDown(VK_RETURN); }}, current);
    EXPECT_EQ(
        MessageDlg(u"Search match not found!\rRestart search from the beginning?", mtInformation, mbYesNo, 0),
        mrYes);

    ScriptIdle({[&] {
                   auto* form = dynamic_cast<TForm*>(Screen->ActiveForm());
                   ASSERT_NE(form, nullptr);
                   Host.Click(ButtonOf(form, u"OK"), 5, 5);
               }},
               current);
    ShowMessage(u"Search string 'x' not found!");
    EXPECT_TRUE(Host.ModalLog().empty()) << "nothing was answered by script";
}

TEST_F(MessageDialogs, PictureOfAConfirmation) {
    std::unique_ptr<TForm> d(CreateMessageDialog(u"Delete the 3 selected records?\nThis cannot be undone.",
                                                 mtConfirmation, mbYesNo));
    d->SetPosition(poDesigned);
    d->SetLeft(50);
    d->SetTop(50);
    d->Show();
    Application->ProcessMessages();
    const std::string file = "/tmp/mv_forms_message_dialog.png";
    ASSERT_TRUE(Host.SavePng(HostWindowOf(d.get()), file));
    TBitmap picture;
    picture.LoadFromFile(UTF8ToString(file));
    std::remove(file.c_str());
    test::ExpectMatchesGolden(picture, MV_VCL_GOLDEN_DIR, "message_dialog.png");

    // The other icons paint their own colours where the symbol stands.
    for (TMsgDlgType type : {mtWarning, mtError, mtInformation}) {
        std::unique_ptr<TForm> other(CreateMessageDialog(u"x", type, TMsgDlgButtons{mbOK}));
        other->Show();
        Application->ProcessMessages();
        TControl* image = dynamic_cast<TControl*>(other->FindComponent(u"Image"));
        ASSERT_NE(image, nullptr);
        EXPECT_NE(Host.PixelAt(image, 16, 24), Host.PixelAt(other.get(), 2, 2)) << "type " << type;
    }
}

} // namespace
