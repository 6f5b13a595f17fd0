// TCustomButton: the push button's states (mouse, Space, default and cancel keys) and its
// plain painting.
#include "platform/vcl/StdCtrls.h"

namespace mv {

TCustomButton::TCustomButton(TComponent* owner) : TCustomControl(owner) {
    // A second click in quick succession is another click, not a double click.
    FControlStyle.Exclude(csDoubleClicks);
    SetBounds(0, 0, 75, 25);
    SetColor(clBtnFace);
    SetTabStop(true);
}

void TCustomButton::SetDefault(bool value) {
    if (value == FDefault) return;
    FDefault = value;
    Invalidate();
}

bool TCustomButton::Active() const {
    if (Focused()) return true;
    if (!FDefault) return false;
    TWinControl* focused = FindControl(GetFocus());
    const bool otherButton =
        dynamic_cast<TCustomButton*>(focused) != nullptr && focused->TopLevel() == TopLevel();
    return !otherButton;
}

void TCustomButton::Click() {
    // A handler may open a modal form: the button must not stay drawn pressed meanwhile.
    if (FMouseDown || FSpaceDown) {
        FMouseDown = FSpaceDown = false;
        Invalidate();
    }
    if (TCustomForm* form = GetParentForm(this); form && FModalResult != mrNone)
        form->SetModalResult(FModalResult);
    TCustomControl::Click();
}

void TCustomButton::WndProc(TMessage& message) {
    switch (message.Msg) {
    case CM_DIALOGKEY: {
        const TShiftState shift = KeyDataToShiftState(message.LParam);
        const bool plain = !shift.Contains(ssShift) && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt);
        const bool mine =
            (message.WParam == VK_RETURN && Active()) || (message.WParam == VK_ESCAPE && FCancel);
        if (plain && mine && CanFocus()) {
            Click();
            message.Result = 1;
        }
        return;
    }
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<Word>(message.WParam), Caption()) && CanFocus()) {
            Click();
            message.Result = 1;
        }
        return;
    case CM_FOCUSCHANGED:
        // Another button taking the focus takes the default frame too.
        if (FDefault) Invalidate();
        return;
    default:
        TCustomControl::WndProc(message);
    }
}

void TCustomButton::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
    if (button == mbLeft) {
        if (!Focused() && CanFocus()) SetFocus();
        FMouseDown = true;
        FMouseInside = true;
        Invalidate();
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomButton::MouseMove(TShiftState shift, Integer x, Integer y) {
    if (FMouseDown) {
        const bool inside = ClientRect().Contains({x, y});
        if (inside != FMouseInside) {
            FMouseInside = inside;
            Invalidate();
        }
    }
    TCustomControl::MouseMove(shift, x, y);
}

void TCustomButton::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
    if (button == mbLeft && FMouseDown) {
        FMouseDown = false;
        Invalidate();
    }
    TCustomControl::MouseUp(button, shift, x, y);
}

void TCustomButton::KeyDown(Word& key, TShiftState shift) {
    TCustomControl::KeyDown(key, shift);
    if (key == VK_SPACE && !FSpaceDown) {
        FSpaceDown = true;
        Invalidate();
    }
}

void TCustomButton::KeyUp(Word& key, TShiftState shift) {
    TCustomControl::KeyUp(key, shift);
    if (key == VK_SPACE && FSpaceDown) Click();
}

void TCustomButton::DoEnter() {
    Invalidate();
    TCustomControl::DoEnter();
}

void TCustomButton::DoExit() {
    FSpaceDown = false;
    Invalidate();
    TCustomControl::DoExit();
}

void TCustomButton::Paint() {
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
    if (Active() && IsEffectivelyEnabled()) {
        canvas->Brush()->SetColor(clWindowFrame);
        canvas->FrameRect(r);
        InflateRect(r, -1, -1);
    }
    const bool down = Pressed();
    if (down) {
        canvas->Brush()->SetColor(clBtnShadow);
        canvas->FrameRect(r);
        InflateRect(r, -1, -1);
    } else {
        canvas->DrawEdge(r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    }
    TRect text = r;
    if (down) OffsetRect(text, 1, 1);
    canvas->SetFont(Font());
    canvas->Brush()->SetStyle(bsClear);
    const Cardinal flags = DrawTextBiDiModeFlags(DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (IsEffectivelyEnabled()) {
        canvas->Font()->SetColor(Font()->Color() == clWindowText ? clBtnText : Font()->Color());
        canvas->DrawText(Caption(), text, flags);
    } else {
        // Embossed, as disabled captions are drawn.
        TRect light = text;
        OffsetRect(light, 1, 1);
        canvas->Font()->SetColor(clBtnHighlight);
        canvas->DrawText(Caption(), light, flags);
        canvas->Font()->SetColor(clBtnShadow);
        canvas->DrawText(Caption(), text, flags);
    }
    if (Focused()) {
        TRect focus = r;
        InflateRect(focus, -2, -2);
        canvas->Brush()->SetStyle(bsSolid);
        canvas->DrawFocusRect(focus);
    }
}

} // namespace mv
