// TSpeedButton: a windowless tool button with a glyph and/or a caption. It never takes
// the keyboard focus. Buttons with the same non-zero GroupIndex and the same parent act as
// a group: one of them at most is Down, and with AllowAllUp all may be up.
#pragma once

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Controls.h"

#include <memory>

namespace mv {

class TCustomImageList;

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
// bsUp: raised; bsDisabled: greyed; bsDown: pressed by the mouse now; bsExclusive: held
// down as the group's chosen button.
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* owner);
    ~TSpeedButton() override;

    // --- look ------------------------------------------------------------------------------
    // A flat button shows no frame until the mouse is over it (the hot look) or it is down.
    bool Flat() const { return FFlat; }
    void SetFlat(bool value);
    // A transparent button leaves its parent's background showing; otherwise it fills
    // with Color.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    // The glyph: a strip of NumGlyphs equal images (up, disabled, pressed, held down);
    // missing ones fall back to the up image (greyed for disabled). The bottom-left pixel's
    // colour is transparent. Assigning copies the bitmap; null clears it.
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(const TBitmap* value);
    Integer NumGlyphs() const { return FNumGlyphs; }
    // 1..4; other values raise EInvalidOperation.
    void SetNumGlyphs(Integer value);
    // An image list and an index into it; while both are set they are drawn instead of
    // Glyph. The button forgets a list that is freed.
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* value);
    Integer ImageIndex() const { return FImageIndex; }
    void SetImageIndex(Integer value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout value);
    // Pixels between the edge and the glyph; -1 centres glyph and caption together.
    Integer Margin() const { return FMargin; }
    void SetMargin(Integer value);
    // Pixels between the glyph and the caption.
    Integer Spacing() const { return FSpacing; }
    void SetSpacing(Integer value);

    // --- groups ---------------------------------------------------------------------------
    Integer GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(Integer value);
    bool Down() const { return FDown; }
    // Ignored on a button without a group. Putting a button down raises the others of its
    // group; raising the last down button of a group needs AllowAllUp.
    void SetDown(bool value);
    bool AllowAllUp() const { return FAllowAllUp; }
    // Set for the whole group at once.
    void SetAllowAllUp(bool value);

    // The state drawn now (bsDisabled while the button or a parent is disabled); while the
    // mouse is over the button, MouseInControl is true.
    TButtonState State() const { return IsEffectivelyEnabled() ? FState : bsDisabled; }
    bool MouseInControl() const { return FMouseInControl; }

    // Fires OnClick (only that: a release of the mouse over the button, or Alt and the
    // caption's accelerator, also moves Down in a group first).
    void Click() override;

    void WndProc(TMessage& message) override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    void MouseMove(TShiftState shift, Integer x, Integer y) override;
    void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void EnabledChanged() override;
    void TextChanged() override { Invalidate(); }
    void Notification(TComponent* component, TOperation operation) override;

private:
    template <typename F> void ForEachInGroup(F&& action);
    // What a click by the user does: Down toggles within the group rules, then OnClick.
    void Press();
    void PaintFace(TCanvas* c, TButtonState state, TRect& content);
    void PaintGlyph(TCanvas* c, TPoint at);
    TSize GlyphSize() const;
    void GlyphChanged();

    bool FFlat = false;
    bool FTransparent = true;
    std::unique_ptr<TBitmap> FGlyph;
    std::unique_ptr<TCustomImageList> FGlyphImages; // Glyph cut into its NumGlyphs images
    Integer FNumGlyphs = 1;
    TCustomImageList* FImages = nullptr;
    Integer FImageIndex = -1;
    TButtonLayout FLayout = blGlyphLeft;
    Integer FMargin = -1;
    Integer FSpacing = 4;
    Integer FGroupIndex = 0;
    bool FDown = false;
    bool FAllowAllUp = false;
    TButtonState FState = bsUp; // bsUp, bsDown or bsExclusive
    bool FMouseInControl = false;
    bool FDragging = false; // the left button went down on the button
};

} // namespace mv
