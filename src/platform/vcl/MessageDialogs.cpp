// MessageDlg, ShowMessage and the message form they build: an icon drawn with the canvas,
// the word-wrapped message and a centred row of buttons.
#include "platform/vcl/Dialogs.h"

#include "platform/rtl/Format.h"
#include "platform/vcl/Host.h"
#include "platform/vcl/StdCtrls.h"

#include <algorithm>
#include <array>
#include <memory>

namespace mv {

namespace DialogsConsts {
String SMsgDlgWarning = u"Warning";
String SMsgDlgError = u"Error";
String SMsgDlgInformation = u"Information";
String SMsgDlgConfirm = u"Confirm";
String SMsgDlgNoButtons = u"A message dialog needs at least one button: '%s'";
} // namespace DialogsConsts

namespace {

struct TButtonKind {
    const char16_t* Name;
    const char16_t* Caption;
    TModalResult Result;
};

// Indexed by TMsgDlgBtn.
constexpr std::array<TButtonKind, 12> ButtonKinds{{{u"Yes", u"&Yes", mrYes},
                                                   {u"No", u"&No", mrNo},
                                                   {u"OK", u"OK", mrOk},
                                                   {u"Cancel", u"Cancel", mrCancel},
                                                   {u"Abort", u"&Abort", mrAbort},
                                                   {u"Retry", u"&Retry", mrRetry},
                                                   {u"Ignore", u"&Ignore", mrIgnore},
                                                   {u"All", u"&All", mrAll},
                                                   {u"NoToAll", u"N&o to All", mrNoToAll},
                                                   {u"YesToAll", u"Yes to &All", mrYesToAll},
                                                   {u"Help", u"&Help", mrNone},
                                                   {u"Close", u"&Close", mrClose}}};

constexpr Integer Margin = 16;
constexpr Integer IconSize = 32;
constexpr Integer IconGap = 12;
constexpr Integer ButtonWidth = 75;
constexpr Integer ButtonHeight = 25;
constexpr Integer ButtonGap = 6;

// The type's symbol, drawn plainly: a blue disc with "i" or "?", a yellow triangle with
// "!", a red disc with a cross.
class TMessageIcon : public TGraphicControl {
public:
    TMessageIcon(TComponent* owner, TMsgDlgType type) : TGraphicControl(owner), FType(type) {
        SetBounds(0, 0, IconSize, IconSize);
    }

protected:
    void Paint() override {
        TCanvas* c = Canvas();
        const TColor blue = TColorOf(0x00C06700u), red = TColorOf(0x002B2BD8u),
                     yellow = TColorOf(0x0000C8FFu);
        c->Pen()->SetWidth(1);
        c->Brush()->SetStyle(bsSolid);
        switch (FType) {
        case mtWarning: {
            c->Pen()->SetColor(TColorOf(0x00007AB0u));
            c->Brush()->SetColor(yellow);
            const std::array<TPoint, 3> triangle{{{16, 1}, {31, 29}, {1, 29}}};
            c->Polygon(triangle);
            Symbol(u"!", clBlack, Rect(0, 8, 32, 30));
            break;
        }
        case mtError:
            c->Pen()->SetColor(red);
            c->Brush()->SetColor(red);
            c->Ellipse(0, 0, 32, 32);
            c->Pen()->SetColor(clWhite);
            c->Pen()->SetWidth(3);
            c->MoveTo(10, 10);
            c->LineTo(22, 22);
            c->MoveTo(22, 10);
            c->LineTo(10, 22);
            break;
        case mtInformation:
        case mtConfirmation:
            c->Pen()->SetColor(blue);
            c->Brush()->SetColor(blue);
            c->Ellipse(0, 0, 32, 32);
            Symbol(FType == mtInformation ? u"i" : u"?", clWhite, Rect(0, 0, 32, 32));
            break;
        case mtCustom:
            break;
        }
    }

private:
    void Symbol(const char16_t* text, TColor color, TRect r) {
        TCanvas* c = Canvas();
        c->Font()->SetName(Font()->Name());
        c->Font()->SetHeight(-20);
        c->Font()->SetStyle(TFontStyles{fsBold});
        c->Font()->SetColor(color);
        c->Brush()->SetStyle(bsClear);
        c->DrawText(text, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }

    TMsgDlgType FType;
};

String CaptionOf(TMsgDlgType type) {
    switch (type) {
    case mtWarning:
        return DialogsConsts::SMsgDlgWarning;
    case mtError:
        return DialogsConsts::SMsgDlgError;
    case mtInformation:
        return DialogsConsts::SMsgDlgInformation;
    case mtConfirmation:
        return DialogsConsts::SMsgDlgConfirm;
    default:
        return Application->Title();
    }
}

TMsgDlgBtn DefaultOf(TMsgDlgButtons buttons, TMsgDlgBtn wanted, bool wantedGiven) {
    if (wantedGiven && buttons.Contains(wanted)) return wanted;
    if (buttons.Contains(mbOK)) return mbOK;
    if (buttons.Contains(mbYes)) return mbYes;
    TMsgDlgBtn first = mbYes;
    bool found = false;
    buttons.ForEach([&](TMsgDlgBtn b) {
        if (!found) first = b;
        found = true;
    });
    return first;
}

TForm* BuildMessageDialog(const String& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons,
                          TMsgDlgBtn defaultButton, bool defaultGiven) {
    if (buttons.Empty()) throw EInvalidOperation(Format(DialogsConsts::SMsgDlgNoButtons, {msg}));
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBorderStyle(bsDialog);
    form->SetBorderIcons(TBorderIcons{biSystemMenu});
    form->SetPosition(poScreenCenter);
    form->SetCaption(CaptionOf(dlgType));
    form->SetKeyPreview(false);

    Integer textLeft = Margin;
    TMessageIcon* icon = nullptr;
    if (dlgType != mtCustom) {
        icon = new TMessageIcon(form.get(), dlgType);
        icon->SetName(u"Image");
        icon->SetParent(form.get());
        icon->SetBounds(Margin, Margin, IconSize, IconSize);
        textLeft += IconSize + IconGap;
    }

    // The message, wrapped within half the work area.
    auto* label = new TLabel(form.get());
    label->SetName(u"Message");
    label->SetParent(form.get());
    label->SetShowAccelChar(false);
    TCanvas* measure = label->Canvas();
    measure->SetFont(label->Font());
    TRect textRect = Rect(0, 0, std::max(Screen->WorkAreaWidth() / 2, 200), 0);
    measure->DrawText(msg.empty() ? String(u" ") : msg, textRect,
                      DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    label->SetAutoSize(false);
    label->SetWordWrap(true);
    Integer textTop = Margin;
    if (icon && textRect.Height() < IconSize) textTop += (IconSize - textRect.Height()) / 2;
    label->SetBounds(textLeft, textTop, textRect.Width() + 1, textRect.Height());
    label->SetCaption(msg);

    // Buttons: each at least ButtonWidth, wider for a long caption.
    std::vector<std::pair<TMsgDlgBtn, Integer>> row;
    Integer rowWidth = 0;
    buttons.ForEach([&](TMsgDlgBtn b) {
        TRect r = Rect(0, 0, 0, 0);
        measure->DrawText(ButtonKinds[b].Caption, r, DT_CALCRECT | DT_SINGLELINE);
        const Integer w = std::max(ButtonWidth, r.Width() + 16);
        row.emplace_back(b, w);
        rowWidth += w + (rowWidth > 0 ? ButtonGap : 0);
    });
    const Integer contentBottom = std::max(icon ? Margin + IconSize : 0, textTop + textRect.Height());
    const Integer clientWidth = std::max(textLeft + textRect.Width() + Margin, rowWidth + 2 * Margin);
    const Integer buttonTop = contentBottom + Margin;
    form->SetClientSize(clientWidth, buttonTop + ButtonHeight + 12);

    const TMsgDlgBtn def = DefaultOf(buttons, defaultButton, defaultGiven);
    const TMsgDlgBtn cancel = buttons.Contains(mbCancel) ? mbCancel : buttons.Contains(mbNo) ? mbNo : mbOK;
    Integer x = (clientWidth - rowWidth) / 2;
    for (const auto& [kind, width] : row) {
        auto* button = new TButton(form.get());
        button->SetName(ButtonKinds[kind].Name);
        button->SetParent(form.get());
        button->SetCaption(ButtonKinds[kind].Caption);
        button->SetModalResult(ButtonKinds[kind].Result);
        button->SetBounds(x, buttonTop, width, ButtonHeight);
        if (kind == def) {
            button->SetDefault(true);
            form->SetActiveControl(button);
        }
        if (kind == cancel && buttons.Contains(cancel)) button->SetCancel(true);
        x += width + ButtonGap;
    }
    return form.release();
}

} // namespace

TForm* CreateMessageDialog(const String& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons) {
    return BuildMessageDialog(msg, dlgType, buttons, mbOK, false);
}

TForm* CreateMessageDialog(const String& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons,
                           TMsgDlgBtn defaultButton) {
    return BuildMessageDialog(msg, dlgType, buttons, defaultButton, true);
}

namespace {

Integer RunMessageDialog(const String& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons, Integer helpCtx,
                         TMsgDlgBtn defaultButton, bool defaultGiven) {
    if (buttons.Empty()) throw EInvalidOperation(Format(DialogsConsts::SMsgDlgNoButtons, {msg}));
    if (THost* host = CurrentHost()) {
        Integer answer = mrNone;
        if (host->AnswerModal(u"MessageDlg", msg, answer)) return answer;
    }
    std::unique_ptr<TForm> form(BuildMessageDialog(msg, dlgType, buttons, defaultButton, defaultGiven));
    form->SetHelpContext(helpCtx);
    return form->ShowModal();
}

} // namespace

Integer MessageDlg(const String& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons, Integer helpCtx) {
    return RunMessageDialog(msg, dlgType, buttons, helpCtx, mbOK, false);
}

Integer MessageDlg(const String& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons, Integer helpCtx,
                   TMsgDlgBtn defaultButton) {
    return RunMessageDialog(msg, dlgType, buttons, helpCtx, defaultButton, true);
}

void ShowMessage(const String& msg) {
    MessageDlg(msg, mtCustom, TMsgDlgButtons{mbOK}, 0);
}

} // namespace mv
