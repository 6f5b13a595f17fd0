// TGroupBox: an etched frame with its caption in the top edge.
#include "platform/vcl/ButtonControls.h"

#include "platform/vcl/Forms.h"

namespace mv {

namespace {

constexpr Integer kCaptionIndent = 8; // from the frame's left edge to the caption
constexpr Integer kCaptionPad = 2;    // background cleared on each side of the caption

} // namespace

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner) {
    FControlStyle.Include(csAcceptsControls);
    SetParentColor(true);
    SetBounds(0, 0, 185, 105);
}

Integer TCustomGroupBox::CaptionHeight() {
    TCanvas measure;
    measure.SetFont(Font());
    return measure.TextHeight(u"0");
}

void TCustomGroupBox::WndProc(TMessage& message) {
    // The caption's accelerator moves the focus to the first control inside.
    if (message.Msg == CM_DIALOGCHAR && IsAccel(static_cast<Word>(message.WParam), Caption()) &&
        IsEffectivelyEnabled() && IsEffectivelyVisible()) {
        if (TWinControl* first = FindNextControl(nullptr, true, true, false)) {
            first->SetFocus();
            message.Result = 1;
            return;
        }
    }
    TCustomControl::WndProc(message);
}

void TCustomGroupBox::FontChanged() {
    TCustomControl::FontChanged();
    Realign(); // the caption height moves the children's area
}

void TCustomGroupBox::AdjustClientRect(TRect& rect) {
    rect.Top += CaptionHeight();
    InflateRect(rect, -2, -2);
}

void TCustomGroupBox::Paint() {
    TCanvas* c = Canvas();
    c->SetFont(Font());
    const Integer textHeight = CaptionHeight();
    TRect frame = ClientRect();
    frame.Top += textHeight / 2;
    DrawEdge(c->Handle(), frame, EDGE_ETCHED, BF_RECT);
    if (Caption().empty()) return;
    const Cardinal flags = DrawTextBiDiModeFlags(DT_SINGLELINE | DT_LEFT);
    TRect text = Rect(0, 0, ClientWidth() - 2 * kCaptionIndent, textHeight);
    c->DrawText(Caption(), text, flags | DT_CALCRECT);
    const Integer width = std::min(text.Width(), ClientWidth() - 2 * kCaptionIndent);
    const Integer left = UseRightToLeftAlignment() ? ClientWidth() - kCaptionIndent - width : kCaptionIndent;
    text = Bounds(left, 0, width, textHeight);
    TRect back = text;
    InflateRect(back, kCaptionPad, 0);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(back);
    if (!IsEffectivelyEnabled()) c->Font()->SetColor(clGrayText);
    c->Brush()->SetStyle(bsClear);
    c->DrawText(Caption(), text, flags | DT_END_ELLIPSIS);
    c->Brush()->SetStyle(bsSolid);
}

} // namespace mv
