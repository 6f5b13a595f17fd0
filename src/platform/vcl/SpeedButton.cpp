// TSpeedButton: groups, mouse tracking, the flat and raised faces, glyph and caption layout.
#include "platform/vcl/Buttons.h"

#include "platform/rtl/Format.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImageList.h"

namespace mv {

namespace {

const String SInvalidNumGlyphs = u"NumGlyphs must be between 1 and 4, not %d";

// The image of the glyph strip for a state; strips shorter than four fall back to up.
Integer GlyphIndexFor(TButtonState state, Integer count) {
    const Integer wanted = state == bsDisabled ? 1 : state == bsDown ? 2 : state == bsExclusive ? 3 : 0;
    if (wanted < count) return wanted;
    if (state == bsExclusive && count > 2) return 2;
    return 0;
}

} // namespace

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) {
    // Down and the group change before OnClick, so the click is fired here, not on release
    // by the base class.
    FControlStyle.Exclude(csClickEvents);
    FControlStyle.Exclude(csDoubleClicks);
    SetParentColor(true);
    SetBounds(0, 0, 23, 22);
}

TSpeedButton::~TSpeedButton() {
    if (FImages) FImages->RemoveFreeNotification(this);
}

template <typename F> void TSpeedButton::ForEachInGroup(F&& action) {
    if (FGroupIndex == 0 || !Parent()) return;
    for (Integer i = 0; i < Parent()->ControlCount(); ++i) {
        auto* other = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
        if (other && other != this && other->FGroupIndex == FGroupIndex) action(*other);
    }
}

// [SECTION] Properties
void TSpeedButton::SetFlat(bool value) {
    if (value == FFlat) return;
    FFlat = value;
    Invalidate();
}

void TSpeedButton::SetTransparent(bool value) {
    if (value == FTransparent) return;
    FTransparent = value;
    Invalidate();
}

void TSpeedButton::SetGlyph(const TBitmap* value) {
    if (value && !value->Empty()) {
        if (!FGlyph) FGlyph = std::make_unique<TBitmap>();
        FGlyph->Assign(value);
    } else {
        FGlyph.reset();
    }
    GlyphChanged();
}

void TSpeedButton::SetNumGlyphs(Integer value) {
    if (value < 1 || value > 4) throw EInvalidOperation(Format(SInvalidNumGlyphs, {value}));
    if (value == FNumGlyphs) return;
    FNumGlyphs = value;
    GlyphChanged();
}

void TSpeedButton::GlyphChanged() {
    FGlyphImages.reset();
    if (FGlyph && FGlyph->Width() >= FNumGlyphs) {
        FGlyphImages = std::make_unique<TImageList>();
        FGlyphImages->SetSize(FGlyph->Width() / FNumGlyphs, FGlyph->Height());
        FGlyphImages->AddMasked(FGlyph.get(), FGlyph->TransparentColor());
    }
    Invalidate();
}

void TSpeedButton::SetImages(TCustomImageList* value) {
    if (value == FImages) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = value;
    if (FImages) FImages->FreeNotification(this);
    Invalidate();
}

void TSpeedButton::SetImageIndex(Integer value) {
    if (value == FImageIndex) return;
    FImageIndex = value;
    Invalidate();
}

void TSpeedButton::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == opRemove && component == FImages) {
        FImages = nullptr;
        Invalidate();
    }
}

void TSpeedButton::SetLayout(TButtonLayout value) {
    if (value == FLayout) return;
    FLayout = value;
    Invalidate();
}

void TSpeedButton::SetMargin(Integer value) {
    if (value == FMargin || value < -1) return;
    FMargin = value;
    Invalidate();
}

void TSpeedButton::SetSpacing(Integer value) {
    if (value == FSpacing) return;
    FSpacing = value;
    Invalidate();
}

// [SECTION] Groups
void TSpeedButton::SetGroupIndex(Integer value) {
    if (value == FGroupIndex) return;
    FGroupIndex = value;
    if (FGroupIndex == 0 && FDown) {
        FDown = false;
        FState = bsUp;
        Invalidate();
    }
    // Joining a group that already has a down button keeps that one.
    bool otherDown = false;
    ForEachInGroup([&](TSpeedButton& other) { otherDown = otherDown || other.FDown; });
    if (FDown && otherDown) {
        FDown = false;
        FState = bsUp;
        Invalidate();
    }
}

void TSpeedButton::SetDown(bool value) {
    if (FGroupIndex == 0) value = false;
    if (value == FDown) return;
    if (FDown && !FAllowAllUp) return;
    FDown = value;
    if (value) {
        if (FState == bsUp) FState = bsExclusive;
        ForEachInGroup([](TSpeedButton& other) {
            if (!other.FDown) return;
            other.FDown = false;
            other.FState = bsUp;
            other.Invalidate();
        });
    } else if (FState == bsExclusive) {
        FState = bsUp;
    }
    Invalidate();
}

void TSpeedButton::SetAllowAllUp(bool value) {
    FAllowAllUp = value;
    ForEachInGroup([value](TSpeedButton& other) { other.FAllowAllUp = value; });
}

// [SECTION] Mouse
void TSpeedButton::Click() {
    TGraphicControl::Click();
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !IsEffectivelyEnabled()) return;
    if (!FDown) {
        FState = bsDown;
        Invalidate();
    }
    FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState shift, Integer x, Integer y) {
    TGraphicControl::MouseMove(shift, x, y);
    if (!FDragging) return;
    TButtonState state = FDown ? bsExclusive : bsUp;
    if (ClientRect().Contains({x, y})) state = bsDown;
    if (state == FState) return;
    FState = state;
    Invalidate();
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (button != mbLeft || !FDragging) return;
    FDragging = false;
    if (ClientRect().Contains({x, y})) {
        Press();
        return;
    }
    FState = FDown ? bsExclusive : bsUp;
    Invalidate();
}

void TSpeedButton::Press() {
    if (FGroupIndex != 0) SetDown(!FDown);
    FState = FDown ? bsExclusive : bsUp;
    Invalidate();
    Click();
}

void TSpeedButton::WndProc(TMessage& message) {
    // Alt + the caption's accelerator presses the button as a click does.
    if (message.Msg == CM_DIALOGCHAR && IsAccel(static_cast<Word>(message.WParam), Caption()) &&
        IsEffectivelyEnabled() && IsEffectivelyVisible()) {
        Press();
        message.Result = 1;
        return;
    }
    TGraphicControl::WndProc(message);
}

void TSpeedButton::MouseEnter() {
    TGraphicControl::MouseEnter();
    if (FMouseInControl || !IsEffectivelyEnabled()) return;
    FMouseInControl = true;
    if (FFlat) Invalidate();
}

void TSpeedButton::MouseLeave() {
    TGraphicControl::MouseLeave();
    if (!FMouseInControl) return;
    FMouseInControl = false;
    if (FFlat) Invalidate();
}

void TSpeedButton::EnabledChanged() {
    FState = FDown ? bsExclusive : bsUp;
    FDragging = false;
    if (!Enabled()) FMouseInControl = false;
    TGraphicControl::EnabledChanged();
}

// [SECTION] Painting
TSize TSpeedButton::GlyphSize() const {
    if (FImages && FImageIndex >= 0 && FImageIndex < FImages->Count())
        return {FImages->Width(), FImages->Height()};
    if (FGlyphImages) return {FGlyphImages->Width(), FGlyphImages->Height()};
    return {};
}

void TSpeedButton::PaintFace(TCanvas* c, TButtonState state, TRect& content) {
    TRect r = ClientRect();
    const bool pushed = state == bsDown || state == bsExclusive;
    if (!FTransparent || (!FFlat && !pushed) || state == bsExclusive) {
        // A held-down button shows a lighter face, as a latched switch does.
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(state == bsExclusive ? cl3DLight : (FTransparent ? clBtnFace : Color()));
        c->FillRect(r);
    }
    if (FFlat) {
        if (pushed)
            DrawEdge(c->Handle(), r, BDR_SUNKENOUTER, BF_RECT);
        else if (FMouseInControl && IsEffectivelyEnabled())
            DrawEdge(c->Handle(), r, BDR_RAISEDINNER, BF_RECT);
    } else {
        DrawEdge(c->Handle(), r, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    }
    content = r;
    InflateRect(content, -2, -2);
    if (pushed) OffsetRect(content, 1, 1);
}

void TSpeedButton::PaintGlyph(TCanvas* c, TPoint at) {
    const bool enabled = IsEffectivelyEnabled();
    if (FImages && FImageIndex >= 0 && FImageIndex < FImages->Count()) {
        FImages->Draw(c, at.X, at.Y, FImageIndex, enabled);
        return;
    }
    if (!FGlyphImages) return;
    const Integer index = GlyphIndexFor(State(), FGlyphImages->Count());
    // A strip without its own disabled image is greyed from the up image.
    FGlyphImages->Draw(c, at.X, at.Y, index, enabled || index == 1);
}

void TSpeedButton::Paint() {
    TCanvas* c = Canvas();
    TRect content;
    PaintFace(c, State(), content);

    c->SetFont(Font());
    const TSize glyph = GlyphSize();
    TSize text;
    if (!Caption().empty()) {
        TRect measure = Rect(0, 0, content.Width(), 0);
        c->DrawText(Caption(), measure, DT_SINGLELINE | DT_CALCRECT);
        text = {std::min(measure.Width(), content.Width()), measure.Height()};
    }
    const bool horizontal = FLayout == blGlyphLeft || FLayout == blGlyphRight;
    const Integer spacing = glyph.cx > 0 && text.cx > 0 ? FSpacing : 0;
    // Along the layout axis: margin, glyph, spacing, caption (mirrored for Right/Bottom).
    const Integer along = horizontal ? content.Width() : content.Height();
    const Integer total = (horizontal ? glyph.cx + text.cx : glyph.cy + text.cy) + spacing;
    const Integer start = FMargin < 0 ? (along - total) / 2 : FMargin;
    const bool glyphFirst = FLayout == blGlyphLeft || FLayout == blGlyphTop;
    const Integer glyphAt = glyphFirst ? start : start + total - (horizontal ? glyph.cx : glyph.cy);
    const Integer textAt = glyphFirst ? start + (horizontal ? glyph.cx : glyph.cy) + spacing : start;
    TPoint glyphPos, textPos;
    if (horizontal) {
        glyphPos = {content.Left + glyphAt, content.Top + (content.Height() - glyph.cy) / 2};
        textPos = {content.Left + textAt, content.Top + (content.Height() - text.cy) / 2};
    } else {
        glyphPos = {content.Left + (content.Width() - glyph.cx) / 2, content.Top + glyphAt};
        textPos = {content.Left + (content.Width() - text.cx) / 2, content.Top + textAt};
    }
    if (glyph.cx > 0) PaintGlyph(c, glyphPos);
    if (text.cx <= 0) return;
    TRect textRect = Bounds(textPos.X, textPos.Y, text.cx, text.cy);
    const Cardinal flags = DrawTextBiDiModeFlags(DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS);
    c->Brush()->SetStyle(bsClear);
    if (!IsEffectivelyEnabled()) {
        // Disabled captions are embossed: a highlight copy one pixel down-right.
        TRect shadow = textRect;
        OffsetRect(shadow, 1, 1);
        c->Font()->SetColor(clBtnHighlight);
        c->DrawText(Caption(), shadow, flags);
        c->Font()->SetColor(clBtnShadow);
    }
    c->DrawText(Caption(), textRect, flags);
    c->Brush()->SetStyle(bsSolid);
}

} // namespace mv
