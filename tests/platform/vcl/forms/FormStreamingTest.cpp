// Forms as text: controls nested in their parents, menus with their items, fonts and
// colours by name, references between components, and the errors of bad text.
#include "FormsTestKit.h"

#include "platform/rtl/Filer.h"
#include "platform/rtl/TypInfo.h"
#include "platform/rtl/Utf8.h"
#include "platform/vcl/ButtonControls.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"

#include <string>

namespace mv::test {
namespace {

template <typename T> T* Make(TComponent* owner, TWinControl* parent, const String& name) {
    auto* control = new T(owner);
    control->SetName(name);
    if constexpr (std::is_base_of_v<TControl, T>)
        if (parent != nullptr) control->SetParent(parent);
    return control;
}

// An order entry form: a top panel with a bold red font holding OK and Cancel, a label for
// an edit with a popup menu (Copy, Paste, More > Clear), a grayed check box, a timer.
std::unique_ptr<TForm> MakeOrderForm() {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetName(u"OrderForm");
    form->SetCaption(u"Order 'A-7'");
    form->SetBounds(10, 20, 420, 300);
    form->SetPosition(poScreenCenter);
    form->SetBorderStyle(bsDialog);
    form->Constraints()->SetMinWidth(300);

    auto* panel = Make<TPanel>(form.get(), form.get(), u"TopPanel");
    panel->SetAlign(alTop);
    panel->SetHeight(40);
    panel->SetCaption(u"");
    panel->Font()->SetStyle({fsBold});
    panel->Font()->SetColor(clRed);
    panel->Font()->SetHeight(-16);
    auto* ok = Make<TButton>(form.get(), panel, u"OkButton");
    ok->SetBounds(8, 8, 75, 25);
    ok->SetCaption(u"&OK");
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    auto* cancel = Make<TButton>(form.get(), panel, u"CancelButton");
    cancel->SetBounds(90, 8, 75, 25);
    cancel->SetCaption(u"Cancel");
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);

    auto* menu = Make<TPopupMenu>(form.get(), nullptr, u"EditMenu");
    for (const Char* caption : {u"Copy", u"Paste", u"More"}) {
        auto* item = new TMenuItem(form.get());
        item->SetName(String(caption) + u"Item");
        item->SetCaption(caption);
        menu->Items()->Add(item);
    }
    menu->Items()->Items(1)->SetShortCut(static_cast<TShortCut>(scCtrl | 'V'));
    auto* clear = new TMenuItem(form.get());
    clear->SetName(u"ClearItem");
    clear->SetCaption(u"Clear");
    clear->SetEnabled(false);
    menu->Items()->Items(2)->Add(clear);

    auto* edit = Make<TEdit>(form.get(), form.get(), u"CustomerEdit");
    edit->SetBounds(100, 60, 200, 22);
    edit->SetText(u"Müller & Söhne");
    edit->SetMaxLength(40);
    edit->SetPopupMenu(menu);
    edit->SetTabOrder(0);
    auto* label = Make<TLabel>(form.get(), form.get(), u"CustomerLabel");
    label->SetBounds(8, 64, 80, 16);
    label->SetCaption(u"&Customer:");
    label->SetFocusControl(edit);
    auto* rush = Make<TCheckBox>(form.get(), form.get(), u"RushBox");
    rush->SetBounds(100, 90, 120, 20);
    rush->SetCaption(u"Rush order");
    rush->SetAllowGrayed(true);
    rush->SetState(cbGrayed);
    rush->SetBiDiMode(bdRightToLeft);
    auto* timer = Make<TTimer>(form.get(), nullptr, u"SaveTimer");
    timer->SetInterval(250);
    timer->SetEnabled(false);
    form->SetActiveControl(edit);
    return form;
}

struct FormStreamingTest : FormsFixture {
    void SetUp() override {
        FormsFixture::SetUp();
        RegisterVclClasses();
    }
};

TEST_F(FormStreamingTest, WritesNestedControlsMenusFontsAndReferences) {
    auto form = MakeOrderForm();
    String text = ComponentToText(form.get());
    std::string utf8 = UTF8Encode(text);
    // Non-visual components first, then the controls, each inside its parent.
    auto at = [&](const char* line) { return utf8.find(line); };
    ASSERT_NE(at("object OrderForm: TForm"), std::string::npos) << utf8;
    EXPECT_LT(at("object EditMenu: TPopupMenu"), at("object TopPanel: TPanel"));
    EXPECT_LT(at("object SaveTimer: TTimer"), at("object TopPanel: TPanel"));
    EXPECT_LT(at("object TopPanel: TPanel"), at("object OkButton: TButton"));
    EXPECT_LT(at("object MoreItem: TMenuItem"), at("object ClearItem: TMenuItem"));
    EXPECT_NE(at("Caption = 'Order ''A-7'''"), std::string::npos);
    EXPECT_NE(at("BorderStyle = bsDialog"), std::string::npos);
    EXPECT_NE(at("Constraints.MinWidth = 300"), std::string::npos);
    EXPECT_NE(at("Font.Color = clRed"), std::string::npos);
    EXPECT_NE(at("Font.Style = [fsBold]"), std::string::npos);
    EXPECT_NE(at("Font.Height = -16"), std::string::npos);
    EXPECT_NE(at("PopupMenu = EditMenu"), std::string::npos);
    EXPECT_NE(at("FocusControl = CustomerEdit"), std::string::npos);
    EXPECT_NE(at("ActiveControl = CustomerEdit"), std::string::npos);
    EXPECT_NE(at("State = cbGrayed"), std::string::npos);
    // Defaults and derived values stay out: the buttons' font is the panel's, Size follows
    // Height, Checked follows State, a form's visibility is the program's.
    EXPECT_EQ(at("Font.Size"), std::string::npos);
    EXPECT_EQ(at("Checked"), std::string::npos);
    EXPECT_EQ(at("ParentFont = True"), std::string::npos);
    EXPECT_EQ(at("Visible"), std::string::npos);
}

TEST_F(FormStreamingTest, ReadingBuildsTheSameFormAndWritesTheSameText) {
    auto original = MakeOrderForm();
    String text = ComponentToText(original.get());

    TForm copy(nullptr);
    TextToComponent(text, &copy);
    EXPECT_EQ(copy.Caption(), u"Order 'A-7'");
    EXPECT_EQ(copy.BorderStyle(), bsDialog);
    EXPECT_EQ(copy.Constraints()->MinWidth(), 300);
    EXPECT_FALSE(copy.Visible());

    auto* panel = dynamic_cast<TPanel*>(copy.FindComponent(u"TopPanel"));
    auto* ok = dynamic_cast<TButton*>(copy.FindComponent(u"OkButton"));
    auto* edit = dynamic_cast<TEdit*>(copy.FindComponent(u"CustomerEdit"));
    auto* label = dynamic_cast<TLabel*>(copy.FindComponent(u"CustomerLabel"));
    auto* menu = dynamic_cast<TPopupMenu*>(copy.FindComponent(u"EditMenu"));
    auto* rush = dynamic_cast<TCheckBox*>(copy.FindComponent(u"RushBox"));
    ASSERT_TRUE(panel && ok && edit && label && menu && rush);
    EXPECT_EQ(panel->Parent(), &copy);
    EXPECT_EQ(ok->Parent(), panel);
    EXPECT_EQ(panel->Align(), alTop);
    EXPECT_FALSE(panel->ParentFont());
    EXPECT_EQ(panel->Font()->Style(), TFontStyles{fsBold});
    // The buttons' font still follows the panel's.
    EXPECT_TRUE(ok->ParentFont());
    EXPECT_EQ(ok->Font()->Color(), clRed);
    EXPECT_TRUE(ok->Default());
    EXPECT_EQ(ok->ModalResult(), mrOk);
    EXPECT_EQ(edit->Text(), u"Müller & Söhne");
    EXPECT_EQ(edit->PopupMenu(), menu);
    EXPECT_EQ(edit->TabOrder(), 0);
    EXPECT_EQ(label->FocusControl(), edit);
    EXPECT_EQ(copy.ActiveControl(), edit);
    EXPECT_EQ(rush->State(), cbGrayed);
    EXPECT_EQ(rush->BiDiMode(), bdRightToLeft);
    ASSERT_EQ(menu->Items()->Count(), 3);
    EXPECT_EQ(menu->Items()->Items(1)->ShortCut(), scCtrl | 'V');
    TMenuItem* more = menu->Items()->Items(2);
    ASSERT_EQ(more->Count(), 1);
    EXPECT_EQ(more->Items(0)->Caption(), u"Clear");
    EXPECT_FALSE(more->Items(0)->Enabled());
    EXPECT_EQ(more->Items(0)->GetParentComponent(), more);
    EXPECT_EQ(more->GetParentComponent(), menu);
    auto* timer = dynamic_cast<TTimer*>(copy.FindComponent(u"SaveTimer"));
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->Interval(), 250u);
    EXPECT_FALSE(timer->Enabled());

    EXPECT_EQ(ComponentToText(&copy), text);
}

// A value equal to the declared default is not written, so reading must find it already
// there: every class starts with the defaults it declares.
TEST_F(FormStreamingTest, FreshObjectsHoldTheirDeclaredDefaults) {
    TForm owner(nullptr);
    std::vector<std::unique_ptr<TPersistent>> objects;
    for (const Char* name :
         {u"TForm", u"TButton", u"TLabel", u"TPanel", u"TEdit", u"TCheckBox", u"TRadioButton", u"TGroupBox",
          u"TTimer", u"TPopupMenu", u"TMenuItem", u"TImageList"}) {
        TClass cls = GetClass(name);
        ASSERT_NE(cls, nullptr) << UTF8Encode(name);
        objects.emplace_back(cls->CreateComponent(nullptr));
    }
    objects.push_back(std::make_unique<TFont>());
    for (const auto& object : objects) {
        for (const TPropInfo* info : GetPropList(object.get())) {
            if (!info->HasDefault() || !info->IsStored(object.get())) continue;
            EXPECT_EQ(info->GetOrd(object.get()), info->Default())
                << UTF8Encode(object->ClassName() + u"." + info->Name());
        }
    }
}

TEST_F(FormStreamingTest, ImageListsKeepTheirPictures) {
    TForm form(nullptr);
    form.SetName(u"Icons");
    auto* list = new TImageList(&form);
    list->SetName(u"Glyphs");
    list->SetSize(4, 3);
    TBitmap strip;
    strip.SetSize(8, 3);
    for (Integer y = 0; y < 3; ++y)
        for (Integer x = 0; x < 8; ++x)
            strip.Canvas()->SetPixel(x, y,
                                     x < 4 ? (x == y ? clRed : clFuchsia) : TColor(0x00102030 + x * 16 + y));
    list->AddMasked(&strip, clFuchsia);
    ASSERT_EQ(list->Count(), 2);
    String text = ComponentToText(&form);

    TForm copy(nullptr);
    TextToComponent(text, &copy);
    auto* read = dynamic_cast<TImageList*>(copy.FindComponent(u"Glyphs"));
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->Count(), 2);
    EXPECT_EQ(read->Width(), 4);
    for (Integer index = 0; index < 2; ++index) {
        TBitmap want, got;
        ASSERT_TRUE(list->GetBitmap(index, &want));
        ASSERT_TRUE(read->GetBitmap(index, &got));
        for (Integer y = 0; y < 3; ++y)
            for (Integer x = 0; x < 4; ++x)
                EXPECT_EQ(got.PixelColor(x, y), want.PixelColor(x, y)) << index << ": " << x << "," << y;
    }
    EXPECT_EQ(ComponentToText(&copy), text);

    // Pictures that do not fit the list's size are refused; the list keeps what it had.
    String damaged = text;
    damaged.replace(damaged.find(u"Width = 4"), 9, u"Width = 5");
    TForm other(nullptr);
    try {
        TextToComponent(damaged, &other);
        ADD_FAILURE() << "pictures of the wrong size were read";
    } catch (const Exception& e) {
        EXPECT_NE(e.Message().find(u"does not fit images of 5x3"), String::npos) << UTF8Encode(e.Message());
    }
    EXPECT_EQ(other.FindComponent(u"Glyphs"), nullptr);
}

TEST_F(FormStreamingTest, PropertiesReadAndWriteByPath) {
    auto form = MakeOrderForm();
    auto* panel = form->FindComponent(u"TopPanel");
    EXPECT_EQ(GetSetProp(panel, u"Font.Style"), u"fsBold");
    SetSetProp(panel, u"Font.Style", u"[fsItalic, fsUnderline]");
    EXPECT_EQ(static_cast<TControl*>(panel)->Font()->Style(), (TFontStyles{fsItalic, fsUnderline}));
    SetOrdProp(panel, u"Font.Size", 12);
    EXPECT_EQ(static_cast<TControl*>(panel)->Font()->Height(), -16);
    EXPECT_EQ(GetEnumProp(panel, u"Align"), u"alTop");
    EXPECT_THROW(SetEnumProp(panel, u"Align", u"alSideways"), EPropertyError);
    EXPECT_EQ(GetObjectProp<TPopupMenu>(form->FindComponent(u"CustomerEdit"), u"PopupMenu"),
              form->FindComponent(u"EditMenu"));
}

TEST_F(FormStreamingTest, BadTextNamesTheLineAndFreesWhatItMade) {
    TForm target(nullptr);
    const String unknownClass = u"object F: TForm\n"
                                u"  object P: TPanel\n"
                                u"  end\n"
                                u"  object W: TWobbler\n"
                                u"  end\n"
                                u"end\n";
    EXPECT_THROW(TextToComponent(unknownClass, &target), EClassNotFound);
    EXPECT_EQ(target.FindComponent(u"P"), nullptr);
    EXPECT_EQ(target.ControlCount(), 0);

    const String badValue = u"object F: TForm\n"
                            u"  object P: TPanel\n"
                            u"    Align = alSideways\n"
                            u"  end\n"
                            u"end\n";
    try {
        TextToComponent(badValue, &target);
        ADD_FAILURE() << "a bad enumeration value was read";
    } catch (const EReadError& e) {
        EXPECT_NE(e.Message().find(u"P.Align"), String::npos) << UTF8Encode(e.Message());
        EXPECT_NE(e.Message().find(u"line 3"), String::npos) << UTF8Encode(e.Message());
    }
    EXPECT_EQ(target.FindComponent(u"P"), nullptr);
}

} // namespace
} // namespace mv::test
