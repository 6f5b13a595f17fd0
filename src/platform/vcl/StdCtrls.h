// TButton: a push button that clicks on a mouse release inside it, on Space, and on Enter
// or Escape when it is the form's default or cancel button; its ModalResult ends a modal
// form. TLabel: a caption that never takes the focus but hands it to its FocusControl
// on its accelerator (Alt+letter).
#pragma once

#include "platform/vcl/Forms.h"

namespace mv {

// Vertical placement of a label's text.
enum TTextLayout { tlTop, tlCenter, tlBottom };

// [SECTION] TButton
class TCustomButton : public TCustomControl {
public:
    explicit TCustomButton(TComponent* owner);

    // Enter clicks the default button of a form unless another button has the focus.
    bool Default() const { return FDefault; }
    void SetDefault(bool value);
    // Escape clicks the cancel button.
    bool Cancel() const { return FCancel; }
    void SetCancel(bool value) { FCancel = value; }
    // Given to the parent form's ModalResult when the button is clicked (before OnClick).
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult value) { FModalResult = value; }
    // Whether Enter clicks this button now: it has the focus, or it is the default button
    // and no other button of its form has the focus. An active button has a dark frame.
    bool Active() const;
    // Shown pressed: the left button went down on it and the pointer is inside, or Space
    // is held while it has the focus.
    bool Pressed() const { return (FMouseDown && FMouseInside) || FSpaceDown; }

    // Sets the form's ModalResult, then OnClick.
    void Click() override;
    void WndProc(TMessage& message) override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    void MouseMove(TShiftState shift, Integer x, Integer y) override;
    void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    void KeyDown(Word& key, TShiftState shift) override;
    void KeyUp(Word& key, TShiftState shift) override;
    void DoEnter() override;
    void DoExit() override;

private:
    bool FDefault = false;
    bool FCancel = false;
    TModalResult FModalResult = mrNone;
    bool FMouseDown = false;
    bool FMouseInside = false;
    bool FSpaceDown = false;
};

class TButton : public TCustomButton {
    MV_CLASS(TButton, TWinControl);
    // Published (besides TWinControl's): Cancel, Caption, Default, ModalResult.
    static void RegisterProperties(TPropertyRegistrar<TButton>& r);
    using TCustomButton::TCustomButton;
};

// [SECTION] TLabel
class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(TComponent* owner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout value);
    // Breaks the caption into lines at word boundaries within the width.
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    // True (the default): the label takes the size of its text after every change of
    // caption, font or WordWrap. Without WordWrap both sides follow (a right-justified
    // label keeps its right edge); with WordWrap the width stays and the height follows.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    // Gets the focus when the label's accelerator is pressed.
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* value);
    // False (the default): the label fills its rectangle with Color first.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    // "&" marks an accelerator and is not shown (true by default).
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool value);

    void WndProc(TMessage& message) override;

protected:
    void Paint() override;
    void Notification(TComponent* component, TOperation operation) override;
    void TextChanged() override;
    void FontChanged() override;
    // The DrawText flags of the caption (alignment, wrapping, prefix, reading order).
    Cardinal TextFlags() const;
    // Resizes the label to its text when AutoSize is set.
    void AdjustBounds();

private:
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    bool FAutoSize = true;
    TWinControl* FFocusControl = nullptr;
    bool FTransparent = false;
    bool FShowAccelChar = true;
};

class TLabel : public TCustomLabel {
    MV_CLASS(TLabel, TControl);
    // Published (besides TControl's): Alignment, AutoSize, Caption, FocusControl, Layout,
    // ShowAccelChar, Transparent, WordWrap.
    static void RegisterProperties(TPropertyRegistrar<TLabel>& r);
    using TCustomLabel::TCustomLabel;
};

} // namespace mv
