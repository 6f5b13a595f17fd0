// TCustomLabel: caption painting (alignment, layout, wrapping, accelerators), automatic
// size and the accelerator that focuses FocusControl.
#include "platform/vcl/StdCtrls.h"

#include <algorithm>

namespace mv {

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
    FControlStyle.Include(csOpaque);
    FControlStyle.Exclude(csCaptureMouse);
    SetBounds(0, 0, 65, 17);
    SetParentColor(true);
}

void TCustomLabel::SetAlignment(TAlignment value) {
    if (value == FAlignment) return;
    FAlignment = value;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout value) {
    if (value == FLayout) return;
    FLayout = value;
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool value) {
    if (value == FWordWrap) return;
    FWordWrap = value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool value) {
    if (value == FAutoSize) return;
    FAutoSize = value;
    AdjustBounds();
}

void TCustomLabel::SetFocusControl(TWinControl* value) {
    if (value == FFocusControl) return;
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = value;
    if (value) value->FreeNotification(this);
}

void TCustomLabel::SetTransparent(bool value) {
    if (value == FTransparent) return;
    FTransparent = value;
    if (value)
        FControlStyle.Exclude(csOpaque);
    else
        FControlStyle.Include(csOpaque);
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
    if (value == FShowAccelChar) return;
    FShowAccelChar = value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == opRemove && component == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::TextChanged() {
    TGraphicControl::TextChanged();
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::FontChanged() {
    TGraphicControl::FontChanged();
    AdjustBounds();
}

Cardinal TCustomLabel::TextFlags() const {
    Cardinal flags = DT_EXPANDTABS;
    flags |= FWordWrap ? DT_WORDBREAK : DT_SINGLELINE;
    if (FAlignment == taCenter) flags |= DT_CENTER;
    if (FAlignment == taRightJustify) flags |= DT_RIGHT;
    if (!FShowAccelChar) flags |= DT_NOPREFIX;
    return DrawTextBiDiModeFlags(flags);
}

void TCustomLabel::AdjustBounds() {
    if (!FAutoSize) return;
    TCanvas* canvas = Canvas();
    canvas->SetFont(Font());
    // An empty caption keeps the height of one line.
    const String text = Caption().empty() ? String(u" ") : Caption();
    TRect r = Rect(0, 0, FWordWrap ? std::max(Width(), 1) : 0, 0);
    canvas->DrawText(text, r, (TextFlags() & ~static_cast<Cardinal>(DT_CENTER | DT_RIGHT)) | DT_CALCRECT);
    Integer left = Left();
    const Integer width = FWordWrap ? Width() : r.Width();
    if (FAlignment == taRightJustify && !FWordWrap) left = Left() + Width() - width;
    SetBounds(left, Top(), width, r.Height());
}

void TCustomLabel::Paint() {
    TCanvas* canvas = Canvas();
    const TRect client = ClientRect();
    if (!FTransparent) {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(Color());
        canvas->FillRect(client);
    }
    canvas->Brush()->SetStyle(bsClear);
    canvas->SetFont(Font());
    const Cardinal flags = TextFlags();
    TRect r = client;
    if (FLayout != tlTop) {
        TRect measured = client;
        canvas->DrawText(Caption(), measured, flags | DT_CALCRECT);
        const Integer spare = client.Height() - measured.Height();
        r.Top += FLayout == tlBottom ? spare : spare / 2;
    }
    if (IsEffectivelyEnabled()) {
        canvas->DrawText(Caption(), r, flags);
        return;
    }
    TRect light = r;
    OffsetRect(light, 1, 1);
    canvas->Font()->SetColor(clBtnHighlight);
    canvas->DrawText(Caption(), light, flags);
    canvas->Font()->SetColor(clBtnShadow);
    canvas->DrawText(Caption(), r, flags);
}

void TCustomLabel::WndProc(TMessage& message) {
    if (message.Msg == CM_DIALOGCHAR) {
        if (FFocusControl && FShowAccelChar && IsAccel(static_cast<Word>(message.WParam), Caption()) &&
            FFocusControl->CanFocus()) {
            FFocusControl->SetFocus();
            message.Result = 1;
        }
        return;
    }
    TGraphicControl::WndProc(message);
}

} // namespace mv
