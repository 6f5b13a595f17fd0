// TButtonControl (pressing by mouse and Space, mark-and-caption painting), TCheckBox and
// the check mark painter shared with the check list box.
#include "platform/vcl/ButtonControls.h"

#include "platform/vcl/Forms.h"

namespace mv {

namespace {

constexpr Integer kCaptionGap = 4; // between the mark and the caption

void Line(TCanvas* c, Integer x1, Integer y1, Integer x2, Integer y2) {
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
}

} // namespace

// [SECTION] Mark painters
void DrawCheckMark(TCanvas* canvas, const TRect& rect, TCheckBoxState state, bool enabled, bool pressed) {
    const TRect box = Bounds(rect.Left, rect.Top, CheckMarkSize, CheckMarkSize);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(clBtnShadow);
    canvas->FrameRect(box);
    const bool greyInside = pressed || !enabled || state == cbGrayed;
    canvas->Brush()->SetColor(greyInside ? clBtnFace : clWindow);
    canvas->FillRect(Rect(box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1));
    if (state == cbUnchecked) return;
    canvas->Pen()->SetStyle(psSolid);
    canvas->Pen()->SetWidth(1);
    canvas->Pen()->SetColor(state == cbGrayed || !enabled ? clGrayText : clWindowText);
    // A tick three pixels thick, centred in the box's inside.
    const Integer x = box.Left, y = box.Top;
    for (Integer d = 0; d < 3; ++d) {
        Line(canvas, x + 3, y + 6 + d, x + 5, y + 8 + d);
        Line(canvas, x + 5, y + 8 + d, x + 10, y + 3 + d);
    }
}

// [SECTION] TButtonControl
TButtonControl::TButtonControl(TComponent* owner) : TCustomControl(owner) {
    // Toggling is done here on release, so the base class's click on release must not
    // fire a second OnClick.
    FControlStyle.Exclude(csClickEvents);
    FControlStyle.Exclude(csDoubleClicks);
    SetTabStop(true);
    SetParentColor(true);
    SetBounds(0, 0, 97, 17);
}

TButtonControl::~TButtonControl() = default;

void TButtonControl::SetAlignment(TLeftRight value) {
    if (value == FAlignment) return;
    FAlignment = value;
    Invalidate();
}

void TButtonControl::SetWordWrap(bool value) {
    if (value == FWordWrap) return;
    FWordWrap = value;
    Invalidate();
}

void TButtonControl::Click() {
    if (!FClicksDisabled) TCustomControl::Click();
}

void TButtonControl::SetPressed(bool value) {
    if (value == FPressed) return;
    FPressed = value;
    Invalidate();
}

void TButtonControl::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Invalidate(); // the focus rectangle comes or goes
        break;
    case WM_GETDLGCODE:
        message.Result = DLGC_WANTARROWS;
        return;
    case CM_DIALOGCHAR:
        // Alt + the caption's accelerator acts as a click on the control.
        if (IsAccel(static_cast<Word>(message.WParam), Caption()) && CanFocus()) {
            SetFocus();
            Toggle();
            message.Result = 1;
        }
        return;
    default:
        break;
    }
    TCustomControl::WndProc(message);
}

void TButtonControl::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
    if (button == mbLeft) {
        if (CanFocus() && !Focused()) SetFocus();
        FMouseDown = true;
        SetPressed(true);
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TButtonControl::MouseMove(TShiftState shift, Integer x, Integer y) {
    if (FMouseDown) SetPressed(ClientRect().Contains({x, y}));
    TCustomControl::MouseMove(shift, x, y);
}

void TButtonControl::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
    if (button == mbLeft && FMouseDown) {
        FMouseDown = false;
        const bool inside = ClientRect().Contains({x, y});
        SetPressed(false);
        if (inside) Toggle();
    }
    TCustomControl::MouseUp(button, shift, x, y);
}

void TButtonControl::KeyDown(Word& key, TShiftState shift) {
    TCustomControl::KeyDown(key, shift);
    if (key == VK_SPACE && !FMouseDown) {
        FSpaceDown = true;
        SetPressed(true);
        key = 0;
    }
}

void TButtonControl::KeyUp(Word& key, TShiftState shift) {
    TCustomControl::KeyUp(key, shift);
    if (key == VK_SPACE && FSpaceDown) {
        FSpaceDown = false;
        SetPressed(false);
        key = 0;
        Toggle();
    }
}

void TButtonControl::KeyPress(Char& key) {
    TCustomControl::KeyPress(key);
    if (key == u' ') key = 0; // Space acts on key up; its character types nothing
}

void TButtonControl::DoExit() {
    FSpaceDown = false;
    if (!FMouseDown) SetPressed(false);
    TCustomControl::DoExit();
}

TRect TButtonControl::MarkRect() const {
    const TRect client = ClientRect();
    const Integer top = client.Top + (client.Height() - CheckMarkSize) / 2;
    const bool markLeft = (FAlignment == taRightJustify) != UseRightToLeftAlignment();
    const Integer left = markLeft ? client.Left : client.Right - CheckMarkSize;
    return Bounds(left, top, CheckMarkSize, CheckMarkSize);
}

TRect TButtonControl::CaptionRect() const {
    TRect r = ClientRect();
    const TRect mark = MarkRect();
    if (mark.Left == r.Left)
        r.Left = mark.Right + kCaptionGap;
    else
        r.Right = mark.Left - kCaptionGap;
    return r;
}

void TButtonControl::Paint() {
    TCanvas* c = Canvas();
    PaintMark(MarkRect());
    if (Caption().empty()) return;
    c->SetFont(Font());
    if (!IsEffectivelyEnabled()) c->Font()->SetColor(clGrayText);
    c->Brush()->SetStyle(bsClear);
    const TRect area = CaptionRect();
    const bool markLeft = MarkRect().Left == ClientRect().Left;
    Cardinal flags = (markLeft ? DT_LEFT : DT_RIGHT) | (FWordWrap ? DT_WORDBREAK : DT_SINGLELINE);
    flags = DrawTextBiDiModeFlagsReadingOnly() | flags;
    // Measure first: the text is centred vertically and the focus rectangle hugs it.
    TRect text = area;
    c->DrawText(Caption(), text, flags | DT_CALCRECT);
    const Integer width = std::min(text.Width(), area.Width());
    const Integer height = std::min(text.Height(), area.Height());
    text = Bounds(markLeft ? area.Left : area.Right - width, area.Top + (area.Height() - height) / 2, width,
                  height);
    TRect draw = text;
    c->DrawText(Caption(), draw, flags);
    c->Brush()->SetStyle(bsSolid);
    if (Focused()) {
        TRect focus = text;
        InflateRect(focus, 1, 0);
        IntersectRect(focus, focus, ClientRect());
        c->DrawFocusRect(focus);
    }
}

// [SECTION] TCustomCheckBox
TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner) {}

void TCustomCheckBox::SetState(TCheckBoxState value) {
    if (value == FState) return;
    FState = value;
    Invalidate();
    Click();
}

void TCustomCheckBox::Toggle() {
    switch (FState) {
    case cbUnchecked:
        SetState(FAllowGrayed ? cbGrayed : cbChecked);
        break;
    case cbChecked:
        SetState(cbUnchecked);
        break;
    case cbGrayed:
        SetState(cbChecked);
        break;
    }
}

void TCustomCheckBox::PaintMark(const TRect& rect) {
    DrawCheckMark(Canvas(), rect, FState, IsEffectivelyEnabled(), Pressed());
}

} // namespace mv
