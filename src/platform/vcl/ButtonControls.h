// Two-state and three-state button controls: TButtonControl (the base that knows about
// being checked and about pressing with the mouse or the Space key), TCheckBox,
// TRadioButton, and TGroupBox (a frame with a caption that holds other controls).
//
// Accelerators: Alt and the letter after "&" in the caption toggle a check box, check a
// radio button and move the focus into a group box.
//
// Clicks: a check box and a radio button fire OnClick whenever their check changes, by
// the user or by code (SetChecked/SetState), unless ClicksDisabled is set; this is what
// lets a handler keep a model in step with the box whoever moved it.
#pragma once

#include "platform/vcl/Controls.h"

namespace mv {

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
// Which side of the box the caption stands on (taRightJustify: box left, text right).
using TLeftRight = TAlignment;

// Size of the check box and radio button marks in pixels.
constexpr Integer CheckMarkSize = 13;

// Paints a check box mark of CheckMarkSize into rect's top-left corner: a framed white box
// with a tick (cbChecked), a grey tick on a grey box (cbGrayed) or nothing inside. pressed
// and !enabled grey the inside as a pressed or disabled box looks.
void DrawCheckMark(TCanvas* canvas, const TRect& rect, TCheckBoxState state, bool enabled, bool pressed);
// Paints a radio button mark of CheckMarkSize into rect's top-left corner.
void DrawRadioMark(TCanvas* canvas, const TRect& rect, bool checked, bool enabled, bool pressed);

// [SECTION] TButtonControl
// A focusable control that is pressed by the left mouse button or by Space: pressing
// shows the pressed look, releasing over the control (or releasing Space) calls Toggle.
class TButtonControl : public TCustomControl {
public:
    explicit TButtonControl(TComponent* owner);
    ~TButtonControl() override;

    virtual bool Checked() const { return false; }
    virtual void SetChecked(bool value) { (void)value; }
    // While set, changing the check fires no OnClick.
    bool ClicksDisabled() const { return FClicksDisabled; }
    void SetClicksDisabled(bool value) { FClicksDisabled = value; }
    // Box left and caption right (taRightJustify, the default) or the other way round.
    TLeftRight Alignment() const { return FAlignment; }
    void SetAlignment(TLeftRight value);
    // Caption lines break at the control's width when set.
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    // True while the mouse button or Space holds the control down.
    bool Pressed() const { return FPressed; }

    void WndProc(TMessage& message) override;

protected:
    // What a release of the pressed control does (check, uncheck, ...).
    virtual void Toggle() = 0;
    // Paints the mark for the current state into rect (CheckMarkSize square).
    virtual void PaintMark(const TRect& rect) = 0;
    // Fires OnClick unless clicks are disabled.
    void Click() override;

    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    void MouseMove(TShiftState shift, Integer x, Integer y) override;
    void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    void KeyDown(Word& key, TShiftState shift) override;
    void KeyUp(Word& key, TShiftState shift) override;
    void KeyPress(Char& key) override;
    void DoExit() override;
    void TextChanged() override { Invalidate(); }

    // Where the mark and the caption go inside the client area.
    TRect MarkRect() const;
    TRect CaptionRect() const;

private:
    void SetPressed(bool value);

    bool FClicksDisabled = false;
    TLeftRight FAlignment = taRightJustify;
    bool FWordWrap = false;
    bool FPressed = false;
    bool FMouseDown = false; // the left button went down on the control
    bool FSpaceDown = false;
};

// [SECTION] TCheckBox
// States cycle on each toggle: unchecked -> checked -> unchecked, and with AllowGrayed
// unchecked -> grayed -> checked -> unchecked.
class TCustomCheckBox : public TButtonControl {
public:
    explicit TCustomCheckBox(TComponent* owner);

    TCheckBoxState State() const { return FState; }
    // Changing the state repaints and fires OnClick (see the file comment). cbGrayed is
    // accepted even without AllowGrayed, as code may show an undecided value.
    void SetState(TCheckBoxState value);
    bool Checked() const override { return FState == cbChecked; }
    void SetChecked(bool value) override { SetState(value ? cbChecked : cbUnchecked); }
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool value) { FAllowGrayed = value; }

protected:
    void Toggle() override;
    void PaintMark(const TRect& rect) override;

private:
    TCheckBoxState FState = cbUnchecked;
    bool FAllowGrayed = false;
};

class TCheckBox : public TCustomCheckBox {
    MV_CLASS(TCheckBox, TWinControl);
    // Published (besides TWinControl's): Alignment, AllowGrayed, Caption, State, WordWrap
    // (Checked follows State and is not stored).
    static void RegisterProperties(TPropertyRegistrar<TCheckBox>& r);
    using TCustomCheckBox::TCustomCheckBox;
};

// [SECTION] TRadioButton
// Radio buttons with the same parent form one group: checking one unchecks the others.
// A click only checks (a checked radio button stays checked); the arrow keys move the
// check and the focus to the previous or next enabled radio button of the group.
class TRadioButton : public TButtonControl {
    MV_CLASS(TRadioButton, TWinControl);
    // Published (besides TWinControl's): Alignment, Caption, Checked, WordWrap.
    static void RegisterProperties(TPropertyRegistrar<TRadioButton>& r);

    explicit TRadioButton(TComponent* owner);

    bool Checked() const override { return FChecked; }
    // Checking unchecks the siblings first, then fires OnClick; unchecking fires nothing.
    void SetChecked(bool value) override;

protected:
    void Toggle() override;
    void PaintMark(const TRect& rect) override;
    void KeyDown(Word& key, TShiftState shift) override;

private:
    bool FChecked = false;
};

// [SECTION] TGroupBox
// An etched frame with the caption in its top edge. Aligned children are placed inside
// the frame, below the caption.
class TCustomGroupBox : public TCustomControl {
public:
    explicit TCustomGroupBox(TComponent* owner);

    void WndProc(TMessage& message) override;

protected:
    void Paint() override;
    void AdjustClientRect(TRect& rect) override;
    void TextChanged() override { Invalidate(); }
    void FontChanged() override;

private:
    Integer CaptionHeight();
};

class TGroupBox : public TCustomGroupBox {
    MV_CLASS(TGroupBox, TWinControl);
    // Published (besides TWinControl's): Caption.
    static void RegisterProperties(TPropertyRegistrar<TGroupBox>& r);
    using TCustomGroupBox::TCustomGroupBox;
};

} // namespace mv
