// Hint windows and the record a control fills when the hint machinery asks it for a hint.
//
// Call flow (HintWindow.cpp, driven from TApplication, Forms.h): every mouse message a
// control gets passes TApplication::HintMouseMessage -> the control with ShowHint under the
// pointer is tracked -> after its pause (CM_HINTSHOWPAUSE may change it) THintInfo is
// filled with defaults and sent to the control (CM_HINTSHOW; the control may change any
// field or refuse) -> a window of HintWindowClass sized by CalcHintRect shows at HintPos
// -> it hides after HideTimeout, when the pointer leaves CursorRect or the control (the
// next hint then follows after the short pause), or on a key or mouse press.
#pragma once

#include "platform/vcl/Controls.h"

namespace mv {

class THintWindow;

// A hint window class: makes a window of the class. Two values are the same class when
// they are equal, so use NewHintWindow<T> (one function per class).
using THintWindowClass = THintWindow* (*)(TComponent* owner);
template <typename T> THintWindow* NewHintWindow(TComponent* owner) {
    return new T(owner);
}

// What the hint machinery shows, filled with defaults and handed to the control under the
// pointer (TControl::CMHintShow), which may change every field.
struct THintInfo {
    TControl* HintControl = nullptr;
    // The class of the window that shows the hint (default Application->HintWindowClass()).
    THintWindowClass HintWindowClass = nullptr;
    // Screen position of the window's top-left (default: below the pointer).
    TPoint HintPos;
    // Text wider than this wraps (default: the screen width).
    Integer HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    // The hint stays valid while the pointer is inside this rectangle of HintControl's
    // client coordinates (default: the client area); leaving it asks again.
    TRect CursorRect;
    // The pointer in HintControl's client coordinates.
    TPoint CursorPos;
    // Milliseconds after which a showing hint is asked for again (0: never).
    Integer ReshowTimeout = 0;
    // Milliseconds the hint shows (default Application->HintHidePause(); <= 0: until the
    // pointer leaves).
    Integer HideTimeout = 0;
    // The text (default: the short part of the control's Hint, before a "|").
    String HintStr;
    // Passed to the window's CalcHintRect and ActivateHintData unchanged.
    void* HintData = nullptr;
};

// The part of a hint before the first "|" (the whole hint without one), and after it (the
// whole hint without one).
String GetShortHint(const String& hint);
String GetLongHint(const String& hint);

// A borderless tool-tip window that never takes the focus: clInfoBk background, a one-pixel
// frame, the text in clInfoText wrapped within the maximum width.
class THintWindow : public TCustomControl {
public:
    explicit THintWindow(TComponent* owner);
    ~THintWindow() override;

    // The window rectangle, at (0, 0), that shows hint broken into lines no wider than
    // maxWidth (hard line breaks are kept). data is what THintInfo::HintData held.
    virtual TRect CalcHintRect(Integer maxWidth, const String& hint, void* data);
    // Shows hint in rect (screen coordinates), moved as little as needed to lie on the
    // screen. The window is shown without taking the keyboard focus.
    virtual void ActivateHint(TRect rect, const String& hint);
    // ActivateHint for classes that draw from data; the base ignores data.
    virtual void ActivateHintData(TRect rect, const String& hint, void* data);
    // Hides the window.
    virtual void ReleaseHandle();

    // The window is transparent to the mouse: its mouse messages go to the control under
    // the pointer beneath it (a tool tip shown over a cell must not take the cell's moves).
    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;
};

} // namespace mv
