// TCustomPanel: frame, bevels and caption, and the client area its aligned children get.
#include "platform/vcl/ExtCtrls.h"

#include "platform/rtl/Format.h"

namespace mv {

namespace ExtCtrlsConsts {
String SBevelWidthTooSmall = u"Bevel width of panel '%s' must be at least 1, not %d";
String SBorderWidthNegative = u"Border width of panel '%s' cannot be negative (%d)";
} // namespace ExtCtrlsConsts

namespace {

// Draws one bevel of width w inside r and shrinks r by it.
void DrawBevel(TCanvas* canvas, TRect& r, TBevelCut cut, Integer w, TColor face) {
    if (cut == bvNone) return;
    TColor topLeft = face, bottomRight = face;
    if (cut == bvRaised) {
        topLeft = clBtnHighlight;
        bottomRight = clBtnShadow;
    } else if (cut == bvLowered) {
        topLeft = clBtnShadow;
        bottomRight = clBtnHighlight;
    }
    canvas->Brush()->SetStyle(bsSolid);
    for (Integer i = 0; i < w && r.Width() > 0 && r.Height() > 0; ++i) {
        canvas->Brush()->SetColor(topLeft);
        canvas->FillRect(Rect(r.Left, r.Top, r.Right, r.Top + 1));
        canvas->FillRect(Rect(r.Left, r.Top, r.Left + 1, r.Bottom));
        canvas->Brush()->SetColor(bottomRight);
        canvas->FillRect(Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom));
        canvas->FillRect(Rect(r.Right - 1, r.Top, r.Right, r.Bottom));
        InflateRect(r, -1, -1);
    }
}

} // namespace

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
    FControlStyle.Include(csAcceptsControls);
    FControlStyle.Include(csOpaque);
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
}

Integer TCustomPanel::FrameWidth() const {
    Integer w = FBorderWidth;
    if (FBorderStyle == bsSingle) w += 1;
    if (FBevelOuter != bvNone) w += FBevelWidth;
    if (FBevelInner != bvNone) w += FBevelWidth;
    return w;
}

void TCustomPanel::FrameChanged() {
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut value) {
    if (value == FBevelOuter) return;
    FBevelOuter = value;
    FrameChanged();
}

void TCustomPanel::SetBevelInner(TBevelCut value) {
    if (value == FBevelInner) return;
    FBevelInner = value;
    FrameChanged();
}

void TCustomPanel::SetBevelWidth(TBevelWidth value) {
    if (value < 1) throw EInvalidOperation(Format(ExtCtrlsConsts::SBevelWidthTooSmall, {Name(), value}));
    if (value == FBevelWidth) return;
    FBevelWidth = value;
    FrameChanged();
}

void TCustomPanel::SetBorderWidth(Integer value) {
    if (value < 0) throw EInvalidOperation(Format(ExtCtrlsConsts::SBorderWidthNegative, {Name(), value}));
    if (value == FBorderWidth) return;
    FBorderWidth = value;
    FrameChanged();
}

void TCustomPanel::SetBorderStyle(TBorderStyle value) {
    if (value == FBorderStyle) return;
    FBorderStyle = value;
    FrameChanged();
}

void TCustomPanel::SetAlignment(TAlignment value) {
    if (value == FAlignment) return;
    FAlignment = value;
    Invalidate();
}

void TCustomPanel::SetShowCaption(bool value) {
    if (value == FShowCaption) return;
    FShowCaption = value;
    Invalidate();
}

void TCustomPanel::TextChanged() {
    TCustomControl::TextChanged();
    Invalidate();
}

void TCustomPanel::AdjustClientRect(TRect& rect) {
    TCustomControl::AdjustClientRect(rect);
    const Integer w = FrameWidth();
    InflateRect(rect, -w, -w);
}

void TCustomPanel::Paint() {
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
    if (FBorderStyle == bsSingle) {
        canvas->Brush()->SetColor(clWindowFrame);
        canvas->FrameRect(r);
        InflateRect(r, -1, -1);
    }
    DrawBevel(canvas, r, FBevelOuter, FBevelWidth, Color());
    InflateRect(r, -FBorderWidth, -FBorderWidth);
    DrawBevel(canvas, r, FBevelInner, FBevelWidth, Color());
    if (!FShowCaption || Caption().empty()) return;
    canvas->SetFont(Font());
    canvas->Brush()->SetStyle(bsClear);
    Cardinal flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
    if (FAlignment == taCenter) flags |= DT_CENTER;
    if (FAlignment == taRightJustify) flags |= DT_RIGHT;
    if (!IsEffectivelyEnabled()) canvas->Font()->SetColor(clGrayText);
    canvas->DrawText(Caption(), r, DrawTextBiDiModeFlags(flags));
}

} // namespace mv
