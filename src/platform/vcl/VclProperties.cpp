// Published properties of the control, form, menu, image list and font classes
// (TypInfo.h): what form streaming (Filer.h) and code working by property name read and
// write, and the streaming hooks that put controls into their parents and menu items into
// their menus.
#include "platform/rtl/Filer.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Format.h"
#include "platform/vcl/ButtonControls.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"

namespace mv {

namespace {

// [SECTION] Enumerations and identifiers

using TInfo = std::shared_ptr<const TEnumInfo>;

const TInfo& AlignInfo() {
    static const TInfo info = MakeEnumInfo(
        u"TAlign", {u"alNone", u"alTop", u"alBottom", u"alLeft", u"alRight", u"alClient", u"alCustom"});
    return info;
}
const TInfo& AnchorInfo() {
    static const TInfo info = MakeEnumInfo(u"TAnchorKind", {u"akLeft", u"akTop", u"akRight", u"akBottom"});
    return info;
}
const TInfo& BiDiModeInfo() {
    static const TInfo info =
        MakeEnumInfo(u"TBiDiMode", {u"bdLeftToRight", u"bdRightToLeft", u"bdRightToLeftNoAlign",
                                    u"bdRightToLeftReadingOnly"});
    return info;
}
const TInfo& FontStyleInfo() {
    static const TInfo info =
        MakeEnumInfo(u"TFontStyle", {u"fsBold", u"fsItalic", u"fsUnderline", u"fsStrikeOut"});
    return info;
}
const TInfo& FontPitchInfo() {
    static const TInfo info = MakeEnumInfo(u"TFontPitch", {u"fpDefault", u"fpVariable", u"fpFixed"});
    return info;
}
const TInfo& AlignmentInfo() {
    static const TInfo info = MakeEnumInfo(u"TAlignment", {u"taLeftJustify", u"taRightJustify", u"taCenter"});
    return info;
}
const TInfo& BorderStyleInfo() {
    static const TInfo info =
        MakeEnumInfo(u"TFormBorderStyle",
                     {u"bsNone", u"bsSingle", u"bsSizeable", u"bsDialog", u"bsToolWindow", u"bsSizeToolWin"});
    return info;
}
const TInfo& BorderIconInfo() {
    static const TInfo info =
        MakeEnumInfo(u"TBorderIcon", {u"biSystemMenu", u"biMinimize", u"biMaximize", u"biHelp"});
    return info;
}
const TInfo& PositionInfo() {
    static const TInfo info = MakeEnumInfo(
        u"TPosition", {u"poDesigned", u"poDefault", u"poDefaultPosOnly", u"poDefaultSizeOnly",
                       u"poScreenCenter", u"poDesktopCenter", u"poMainFormCenter", u"poOwnerFormCenter"});
    return info;
}
const TInfo& TextLayoutInfo() {
    static const TInfo info = MakeEnumInfo(u"TTextLayout", {u"tlTop", u"tlCenter", u"tlBottom"});
    return info;
}
const TInfo& BevelCutInfo() {
    static const TInfo info = MakeEnumInfo(u"TBevelCut", {u"bvNone", u"bvLowered", u"bvRaised", u"bvSpace"});
    return info;
}
const TInfo& CharCaseInfo() {
    static const TInfo info = MakeEnumInfo(u"TEditCharCase", {u"ecNormal", u"ecUpperCase", u"ecLowerCase"});
    return info;
}
const TInfo& CheckBoxStateInfo() {
    static const TInfo info = MakeEnumInfo(u"TCheckBoxState", {u"cbUnchecked", u"cbChecked", u"cbGrayed"});
    return info;
}
const TInfo& PopupAlignmentInfo() {
    static const TInfo info = MakeEnumInfo(u"TPopupAlignment", {u"paLeft", u"paRight", u"paCenter"});
    return info;
}
const TInfo& DrawingStyleInfo() {
    static const TInfo info =
        MakeEnumInfo(u"TDrawingStyle", {u"dsFocus", u"dsSelected", u"dsNormal", u"dsTransparent"});
    return info;
}
const TInfo& ImageTypeInfo() {
    static const TInfo info = MakeEnumInfo(u"TImageType", {u"itImage", u"itMask"});
    return info;
}

// Colours are written by name where they have one (clBtnFace, not -16777201).
void RegisterColorIdents() {
    static const bool done = [] {
        RegisterIntegerConsts(u"TColor", {{clBlack, u"clBlack"},
                                          {clMaroon, u"clMaroon"},
                                          {clGreen, u"clGreen"},
                                          {clOlive, u"clOlive"},
                                          {clNavy, u"clNavy"},
                                          {clPurple, u"clPurple"},
                                          {clTeal, u"clTeal"},
                                          {clGray, u"clGray"},
                                          {clSilver, u"clSilver"},
                                          {clRed, u"clRed"},
                                          {clLime, u"clLime"},
                                          {clYellow, u"clYellow"},
                                          {clBlue, u"clBlue"},
                                          {clFuchsia, u"clFuchsia"},
                                          {clAqua, u"clAqua"},
                                          {clWhite, u"clWhite"},
                                          {clMoneyGreen, u"clMoneyGreen"},
                                          {clSkyBlue, u"clSkyBlue"},
                                          {clCream, u"clCream"},
                                          {clMedGray, u"clMedGray"},
                                          {clScrollBar, u"clScrollBar"},
                                          {clBackground, u"clBackground"},
                                          {clActiveCaption, u"clActiveCaption"},
                                          {clInactiveCaption, u"clInactiveCaption"},
                                          {clMenu, u"clMenu"},
                                          {clWindow, u"clWindow"},
                                          {clWindowFrame, u"clWindowFrame"},
                                          {clMenuText, u"clMenuText"},
                                          {clWindowText, u"clWindowText"},
                                          {clCaptionText, u"clCaptionText"},
                                          {clActiveBorder, u"clActiveBorder"},
                                          {clInactiveBorder, u"clInactiveBorder"},
                                          {clAppWorkSpace, u"clAppWorkSpace"},
                                          {clHighlight, u"clHighlight"},
                                          {clHighlightText, u"clHighlightText"},
                                          {clBtnFace, u"clBtnFace"},
                                          {clBtnShadow, u"clBtnShadow"},
                                          {clGrayText, u"clGrayText"},
                                          {clBtnText, u"clBtnText"},
                                          {clInactiveCaptionText, u"clInactiveCaptionText"},
                                          {clBtnHighlight, u"clBtnHighlight"},
                                          {cl3DDkShadow, u"cl3DDkShadow"},
                                          {cl3DLight, u"cl3DLight"},
                                          {clInfoText, u"clInfoText"},
                                          {clInfoBk, u"clInfoBk"},
                                          {clHotLight, u"clHotLight"},
                                          {clGradientActiveCaption, u"clGradientActiveCaption"},
                                          {clGradientInactiveCaption, u"clGradientInactiveCaption"},
                                          {clMenuHighlight, u"clMenuHighlight"},
                                          {clMenuBar, u"clMenuBar"},
                                          {clNone, u"clNone"},
                                          {clDefault, u"clDefault"}});
        return true;
    }();
    (void)done;
}

void RegisterCursorIdents() {
    static const bool done = [] {
        RegisterIntegerConsts(u"TCursor", {{crDefault, u"crDefault"},
                                           {crNone, u"crNone"},
                                           {crArrow, u"crArrow"},
                                           {crCross, u"crCross"},
                                           {crIBeam, u"crIBeam"},
                                           {crSize, u"crSize"},
                                           {crSizeNESW, u"crSizeNESW"},
                                           {crSizeNS, u"crSizeNS"},
                                           {crSizeNWSE, u"crSizeNWSE"},
                                           {crSizeWE, u"crSizeWE"},
                                           {crUpArrow, u"crUpArrow"},
                                           {crHourGlass, u"crHourGlass"},
                                           {crDrag, u"crDrag"},
                                           {crNoDrop, u"crNoDrop"},
                                           {crHSplit, u"crHSplit"},
                                           {crVSplit, u"crVSplit"},
                                           {crMultiDrag, u"crMultiDrag"},
                                           {crSQLWait, u"crSQLWait"},
                                           {crNo, u"crNo"},
                                           {crAppStart, u"crAppStart"},
                                           {crHelp, u"crHelp"},
                                           {crHandPoint, u"crHandPoint"},
                                           {crSizeAll, u"crSizeAll"}});
        return true;
    }();
    (void)done;
}

} // namespace

// [SECTION] Fonts

void TFont::RegisterProperties(TPropertyRegistrar<TFont>& r) {
    RegisterColorIdents();
    r.IntegerProp(u"Charset", &TFont::Charset, [](TFont& f, Integer v) {
         f.SetCharset(static_cast<TFontCharset>(v));
     }).Default(DEFAULT_CHARSET);
    r.ColorProp(u"Color", &TFont::Color, &TFont::SetColor).Default(clWindowText);
    r.IntegerProp(u"Height", &TFont::Height, &TFont::SetHeight);
    r.StringProp(u"Name", &TFont::Name, &TFont::SetName);
    r.EnumProp(u"Pitch", FontPitchInfo(), &TFont::Pitch, &TFont::SetPitch).Default(fpDefault);
    // Size is Height in points: streaming Height alone keeps the exact pixel size.
    r.IntegerProp(u"Size", &TFont::Size, &TFont::SetSize).Stored(false);
    r.SetProp(u"Style", FontStyleInfo(), &TFont::Style, &TFont::SetStyle).Default(TFontStyles{});
}

// [SECTION] Controls

void TControl::RegisterProperties(TPropertyRegistrar<TControl>& r) {
    RegisterColorIdents();
    RegisterCursorIdents();
    r.IntegerProp(u"Left", &TControl::Left, &TControl::SetLeft);
    r.IntegerProp(u"Top", &TControl::Top, &TControl::SetTop);
    r.IntegerProp(u"Width", &TControl::Width, &TControl::SetWidth);
    r.IntegerProp(u"Height", &TControl::Height, &TControl::SetHeight);
    r.EnumProp(u"Align", AlignInfo(), &TControl::Align, &TControl::SetAlign).Default(alNone);
    r.SetProp(u"Anchors", AnchorInfo(), &TControl::Anchors, &TControl::SetAnchors)
        .Default(TAnchors{akLeft, akTop});
    r.EnumProp(u"BiDiMode", BiDiModeInfo(), &TControl::BiDiMode, &TControl::SetBiDiMode)
        .Stored([](const TControl& c) { return !c.ParentBiDiMode(); });
    r.ColorProp(u"Color", &TControl::Color, &TControl::SetColor).Stored([](const TControl& c) {
        return !c.ParentColor();
    });
    r.NamedIntegerProp(u"Cursor", u"TCursor", &TControl::Cursor, &TControl::SetCursor).Default(crDefault);
    r.BooleanProp(u"Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
    r.ObjectProp<TFont>(u"Font", &TControl::Font, &TControl::SetFont).Stored([](const TControl& c) {
        return !c.ParentFont();
    });
    r.StringProp(u"Hint", &TControl::Hint, &TControl::SetHint);
    r.BooleanProp(u"ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode).Default(true);
    r.BooleanProp(u"ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
    r.BooleanProp(u"ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
    r.BooleanProp(u"ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(true);
    r.ObjectProp<TPopupMenu>(u"PopupMenu", &TControl::PopupMenu,
                             [](TControl& c, TPopupMenu* menu) { c.SetPopupMenu(menu); });
    r.BooleanProp(u"ShowHint", &TControl::ShowHint, &TControl::SetShowHint).Stored([](const TControl& c) {
        return !c.ParentShowHint();
    });
    r.BooleanProp(u"Visible", &TControl::Visible, &TControl::SetVisible).Default(true);
}

TComponent* TControl::GetParentComponent() const {
    return FParent;
}

void TControl::SetParentComponent(TComponent* value) {
    if (auto* parent = dynamic_cast<TWinControl*>(value)) SetParent(parent);
}

void TWinControl::RegisterProperties(TPropertyRegistrar<TWinControl>& r) {
    r.IntegerProp(u"TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder)
        .Stored([](const TWinControl& c) { return c.Parent() != nullptr; });
    r.BooleanProp(u"TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(false);
}

void TWinControl::GetChildren(const TGetChildProc& proc, TComponent* root) {
    // A copy: a handler may reorder the children.
    std::vector<TControl*> children = FControls;
    for (TControl* child : children)
        if (child->Owner() == root) proc(child);
}

// [SECTION] Forms

void TSizeConstraints::RegisterProperties(TPropertyRegistrar<TSizeConstraints>& r) {
    using C = TSizeConstraints;
    r.IntegerProp(u"MaxHeight", &C::MaxHeight, &C::SetMaxHeight).Default(0);
    r.IntegerProp(u"MaxWidth", &C::MaxWidth, &C::SetMaxWidth).Default(0);
    r.IntegerProp(u"MinHeight", &C::MinHeight, &C::SetMinHeight).Default(0);
    r.IntegerProp(u"MinWidth", &C::MinWidth, &C::SetMinWidth).Default(0);
}

void TCustomForm::RegisterProperties(TPropertyRegistrar<TCustomForm>& r) {
    using F = TCustomForm;
    r.ObjectProp<TWinControl>(u"ActiveControl", &F::ActiveControl, &F::SetActiveControl);
    r.SetProp(u"BorderIcons", BorderIconInfo(), &F::BorderIcons, &F::SetBorderIcons)
        .Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
    r.EnumProp(u"BorderStyle", BorderStyleInfo(), &F::BorderStyle, &F::SetBorderStyle).Default(bsSizeable);
    r.StringProp(u"Caption", &F::Caption, &F::SetCaption);
    r.ObjectProp<TSizeConstraints>(u"Constraints", &F::Constraints, [](F& form, TSizeConstraints* value) {
        form.Constraints()->Assign(value);
    });
    r.IntegerProp(u"HelpContext", &F::HelpContext, &F::SetHelpContext).Default(0);
    r.BooleanProp(u"KeyPreview", &F::KeyPreview, &F::SetKeyPreview).Default(false);
    r.EnumProp(u"Position", PositionInfo(), &F::Position, &F::SetPosition).Default(poDesigned);
    // Showing is the program's decision (Show, ShowModal), not something read from text.
    r.BooleanProp(u"Visible", &F::Visible, &F::SetVisible).Stored(false);
}

void TCustomForm::GetChildren(const TGetChildProc& proc, TComponent* root) {
    for (Integer i = 0; i < ComponentCount(); ++i) {
        TComponent* component = Components(i);
        if (dynamic_cast<TControl*>(component) == nullptr && component->GetParentComponent() == nullptr)
            proc(component);
    }
    TWinControl::GetChildren(proc, root);
}

// [SECTION] Standard controls

// Controls that take the focus by Tab from the start declare that default again.
template <typename C> void TabStopByDefault(TPropertyRegistrar<C>& r) {
    r.BooleanProp(u"TabStop", &C::TabStop, &C::SetTabStop).Default(true);
}

void TButton::RegisterProperties(TPropertyRegistrar<TButton>& r) {
    TabStopByDefault(r);
    r.BooleanProp(u"Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
    r.StringProp(u"Caption", &TButton::Caption, &TButton::SetCaption);
    r.BooleanProp(u"Default", &TButton::Default, &TButton::SetDefault).Default(false);
    r.IntegerProp(u"ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(mrNone);
}

void TLabel::RegisterProperties(TPropertyRegistrar<TLabel>& r) {
    r.EnumProp(u"Alignment", AlignmentInfo(), &TLabel::Alignment, &TLabel::SetAlignment)
        .Default(taLeftJustify);
    r.BooleanProp(u"AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize).Default(true);
    r.StringProp(u"Caption", &TLabel::Caption, &TLabel::SetCaption);
    r.ObjectProp<TWinControl>(u"FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl);
    r.EnumProp(u"Layout", TextLayoutInfo(), &TLabel::Layout, &TLabel::SetLayout).Default(tlTop);
    r.BooleanProp(u"ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar).Default(true);
    r.BooleanProp(u"Transparent", &TLabel::Transparent, &TLabel::SetTransparent).Default(false);
    r.BooleanProp(u"WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap).Default(false);
}

void TPanel::RegisterProperties(TPropertyRegistrar<TPanel>& r) {
    r.EnumProp(u"Alignment", AlignmentInfo(), &TPanel::Alignment, &TPanel::SetAlignment).Default(taCenter);
    r.EnumProp(u"BevelInner", BevelCutInfo(), &TPanel::BevelInner, &TPanel::SetBevelInner).Default(bvNone);
    r.EnumProp(u"BevelOuter", BevelCutInfo(), &TPanel::BevelOuter, &TPanel::SetBevelOuter).Default(bvRaised);
    r.IntegerProp(u"BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth).Default(1);
    r.EnumProp(u"BorderStyle", BorderStyleInfo(), &TPanel::BorderStyle, &TPanel::SetBorderStyle)
        .Default(bsNone);
    r.IntegerProp(u"BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth).Default(0);
    r.StringProp(u"Caption", &TPanel::Caption, &TPanel::SetCaption);
    r.BooleanProp(u"ShowCaption", &TPanel::ShowCaption, &TPanel::SetShowCaption).Default(true);
}

void TEdit::RegisterProperties(TPropertyRegistrar<TEdit>& r) {
    TabStopByDefault(r);
    r.NamedIntegerProp(u"Cursor", u"TCursor", &TEdit::Cursor, &TEdit::SetCursor).Default(crIBeam);
    r.EnumProp(u"Alignment", AlignmentInfo(), &TEdit::Alignment, &TEdit::SetAlignment).Default(taLeftJustify);
    r.BooleanProp(u"AutoSelect", &TEdit::AutoSelect, &TEdit::SetAutoSelect).Default(true);
    r.EnumProp(u"BorderStyle", BorderStyleInfo(), &TEdit::BorderStyle, &TEdit::SetBorderStyle)
        .Default(bsSingle);
    r.EnumProp(u"CharCase", CharCaseInfo(), &TEdit::CharCase, &TEdit::SetCharCase).Default(ecNormal);
    r.BooleanProp(u"HideSelection", &TEdit::HideSelection, &TEdit::SetHideSelection).Default(true);
    r.IntegerProp(u"MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength).Default(0);
    r.IntegerProp(
         u"PasswordChar", [](const TEdit& e) { return static_cast<Integer>(e.PasswordChar()); },
         [](TEdit& e, Integer v) { e.SetPasswordChar(static_cast<Char>(v)); })
        .Default(0);
    r.BooleanProp(u"ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly).Default(false);
    r.StringProp(u"Text", &TEdit::Text, &TEdit::SetText);
}

void TCheckBox::RegisterProperties(TPropertyRegistrar<TCheckBox>& r) {
    TabStopByDefault(r);
    r.EnumProp(u"Alignment", AlignmentInfo(), &TCheckBox::Alignment, &TCheckBox::SetAlignment)
        .Default(taRightJustify);
    r.BooleanProp(u"AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed).Default(false);
    r.StringProp(u"Caption", &TCheckBox::Caption, &TCheckBox::SetCaption);
    r.BooleanProp(u"Checked", &TCheckBox::Checked, &TCheckBox::SetChecked).Stored(false);
    r.EnumProp(u"State", CheckBoxStateInfo(), &TCheckBox::State, &TCheckBox::SetState).Default(cbUnchecked);
    r.BooleanProp(u"WordWrap", &TCheckBox::WordWrap, &TCheckBox::SetWordWrap).Default(false);
}

void TRadioButton::RegisterProperties(TPropertyRegistrar<TRadioButton>& r) {
    TabStopByDefault(r);
    r.EnumProp(u"Alignment", AlignmentInfo(), &TRadioButton::Alignment, &TRadioButton::SetAlignment)
        .Default(taRightJustify);
    r.StringProp(u"Caption", &TRadioButton::Caption, &TRadioButton::SetCaption);
    r.BooleanProp(u"Checked", &TRadioButton::Checked, &TRadioButton::SetChecked).Default(false);
    r.BooleanProp(u"WordWrap", &TRadioButton::WordWrap, &TRadioButton::SetWordWrap).Default(false);
}

void TGroupBox::RegisterProperties(TPropertyRegistrar<TGroupBox>& r) {
    r.StringProp(u"Caption", &TGroupBox::Caption, &TGroupBox::SetCaption);
}

void TTimer::RegisterProperties(TPropertyRegistrar<TTimer>& r) {
    r.BooleanProp(u"Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(true);
    r.IntegerProp(
         u"Interval", [](const TTimer& t) { return static_cast<Integer>(t.Interval()); },
         [](TTimer& t, Integer v) { t.SetInterval(static_cast<Cardinal>(std::max(v, 0))); })
        .Default(1000);
}

// [SECTION] Menus

void TMenuItem::RegisterProperties(TPropertyRegistrar<TMenuItem>& r) {
    using M = TMenuItem;
    r.BooleanProp(u"AutoCheck", &M::AutoCheck, &M::SetAutoCheck).Default(false);
    r.StringProp(u"Caption", &M::Caption, &M::SetCaption);
    r.BooleanProp(u"Checked", &M::Checked, &M::SetChecked).Default(false);
    r.BooleanProp(u"Default", &M::Default, &M::SetDefault).Default(false);
    r.BooleanProp(u"Enabled", &M::Enabled, &M::SetEnabled).Default(true);
    r.IntegerProp(
         u"GroupIndex", [](const M& m) { return static_cast<Integer>(m.GroupIndex()); },
         [](M& m, Integer v) { m.SetGroupIndex(static_cast<Byte>(v)); })
        .Default(0);
    r.StringProp(u"Hint", &M::Hint, &M::SetHint);
    r.BooleanProp(u"RadioItem", &M::RadioItem, &M::SetRadioItem).Default(false);
    r.IntegerProp(
         u"ShortCut", [](const M& m) { return static_cast<Integer>(m.ShortCut()); },
         [](M& m, Integer v) { m.SetShortCut(static_cast<TShortCut>(v)); })
        .Default(scNone);
    r.BooleanProp(u"Visible", &M::Visible, &M::SetVisible).Default(true);
}

TComponent* TMenuItem::GetParentComponent() const {
    if (FParent == nullptr) return nullptr;
    if (FParent->FMenu != nullptr) return FParent->FMenu;
    return FParent;
}

void TMenuItem::SetParentComponent(TComponent* value) {
    if (auto* menu = dynamic_cast<TPopupMenu*>(value))
        menu->Items()->Add(this);
    else if (auto* item = dynamic_cast<TMenuItem*>(value))
        item->Add(this);
}

void TMenuItem::GetChildren(const TGetChildProc& proc, TComponent* root) {
    std::vector<TMenuItem*> items = FItems;
    for (TMenuItem* item : items)
        if (item->Owner() == root) proc(item);
}

void TPopupMenu::RegisterProperties(TPropertyRegistrar<TPopupMenu>& r) {
    r.EnumProp(u"Alignment", PopupAlignmentInfo(), &TPopupMenu::Alignment, &TPopupMenu::SetAlignment)
        .Default(paLeft);
    r.BooleanProp(u"AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).Default(true);
}

void TPopupMenu::GetChildren(const TGetChildProc& proc, TComponent* root) {
    FItems->GetChildren(proc, root);
}

// [SECTION] Image lists

void TCustomImageList::RegisterProperties(TPropertyRegistrar<TCustomImageList>& r) {
    RegisterColorIdents();
    using L = TCustomImageList;
    r.ColorProp(u"BkColor", &L::BkColor, &L::SetBkColor).Default(clNone);
    r.ColorProp(u"BlendColor", &L::BlendColor, &L::SetBlendColor).Default(clDefault);
    r.EnumProp(u"DrawingStyle", DrawingStyleInfo(), &L::DrawingStyle, &L::SetDrawingStyle).Default(dsNormal);
    r.IntegerProp(u"Height", &L::Height, &L::SetHeight).Default(16);
    r.EnumProp(u"ImageType", ImageTypeInfo(), &L::ImageType, &L::SetImageType).Default(itImage);
    r.BooleanProp(u"Masked", &L::Masked, &L::SetMasked).Default(true);
    r.IntegerProp(u"Width", &L::Width, &L::SetWidth).Default(16);
}

void TCustomImageList::DefineProperties(TFiler* filer) {
    TComponent::DefineProperties(filer);
    auto read = [this](TStream& stream) {
        const auto pixels = static_cast<std::size_t>(FWidth) * static_cast<std::size_t>(FHeight);
        std::uint32_t count = 0;
        const Int64 size = stream.GetSize() - stream.GetPosition();
        if (size >= 4) stream.ReadBuffer(&count, 4);
        if (size < 4 || static_cast<std::uint64_t>(size - 4) != std::uint64_t{count} * pixels * 4)
            throw EInvalidGraphic(Format(GraphicsConsts::SInvalidImageListData, {FWidth, FHeight}));
        std::vector<std::uint32_t> images(count * pixels);
        if (!images.empty()) stream.ReadBuffer(images.data(), static_cast<Integer>(images.size() * 4));
        FImages = std::move(images);
        FCount = static_cast<Integer>(count);
        Change();
    };
    auto write = [this](TStream& stream) {
        auto count = static_cast<std::uint32_t>(FCount);
        stream.WriteBuffer(&count, 4);
        if (!FImages.empty()) stream.WriteBuffer(FImages.data(), static_cast<Integer>(FImages.size() * 4));
    };
    filer->DefineBinaryProperty(u"Bitmap", read, write, FCount > 0);
}

// [SECTION] Registration

void RegisterVclClasses() {
    RegisterClasses({ClassOf<TForm>(), ClassOf<TButton>(), ClassOf<TLabel>(), ClassOf<TPanel>(),
                     ClassOf<TEdit>(), ClassOf<TCheckBox>(), ClassOf<TRadioButton>(), ClassOf<TGroupBox>(),
                     ClassOf<TTimer>(), ClassOf<TPopupMenu>(), ClassOf<TMenuItem>(), ClassOf<TImageList>()});
}

} // namespace mv
