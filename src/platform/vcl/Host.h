// The host: what the controls layer needs from the machine it runs on — top-level windows
// with a pixel buffer each, input and window events, the clock, the clipboard, the screen
// and the keyboard state. Two hosts implement it (platform/host): a headless one for tests
// and an SDL2 one for real windows. Controls.cpp is the only caller of the window calls;
// the rest of the library goes through controls, TApplication and TScreen.
//
// Coordinates are logical pixels (96 per inch); a HiDPI host scales when it presents.
#pragma once

#include "platform/vcl/Graphics.h"
#include "platform/vcl/Messages.h"
#include "platform/vcl/Types.h"

#include <cstdint>

namespace mv {

// A top-level window of the host; 0 is none.
using THostWindow = std::uint32_t;

enum THostWindowKind {
    hwMain,   // a form with the window manager's frame
    hwPopup,  // borderless, may extend outside its owner (drop-downs, popup menus)
    hwToolTip // borderless, never takes the keyboard focus (hint windows)
};

struct THostWindowParams {
    THostWindowKind Kind = hwMain;
    TRect Bounds; // screen coordinates of the client area
    String Caption;
    THostWindow Owner = 0; // popups and tool tips stay above their owner
    bool Sizeable = true;  // hwMain: the user may resize the frame
};

// Where a host delivers what happens to its windows, already as messages:
// - mouse messages (WM_MOUSEMOVE, button, double-click) with window-client coordinates
//   in LParam and MK_ flags in WParam; WM_MOUSEWHEEL with screen coordinates in LParam;
// - WM_KEYDOWN/WM_KEYUP/WM_SYSKEYDOWN/WM_SYSKEYUP with a VK_ code in WParam and the key
//   data in LParam; WM_CHAR with one UTF-16 code unit per message;
// - WM_SIZE (LParam: client width, height) after the user resized, WM_MOVE (LParam: client
//   origin in screen coordinates), WM_CLOSE when the user asks to close, WM_ACTIVATE
//   (WParam 1/0) when the window gains or loses the keyboard focus, WM_PAINT when the
//   host lost the pixels it showed (the whole window must be painted again),
//   WM_MOUSELEAVE when the pointer left the window.
class THostEventSink {
public:
    virtual ~THostEventSink() = default;
    virtual void HostMessage(THostWindow window, TMessage& message) = 0;
};

class THost {
public:
    virtual ~THost() = default;

    // --- windows ----------------------------------------------------------------------
    // A new hidden window. Its pixel buffer has the size of params.Bounds.
    virtual THostWindow CreateHostWindow(const THostWindowParams& params) = 0;
    virtual void DestroyHostWindow(THostWindow window) = 0;
    virtual void ShowHostWindow(THostWindow window, bool visible) = 0;
    // Moves and resizes; after a size change the buffer has the new size and undefined
    // content (the caller repaints it all).
    virtual void SetHostWindowBounds(THostWindow window, const TRect& screenBounds) = 0;
    virtual void SetHostWindowCaption(THostWindow window, const String& caption) = 0;
    // The window's pixels; valid until the next SetHostWindowBounds or DestroyHostWindow.
    virtual TPixelBuffer HostWindowPixels(THostWindow window) = 0;
    // Shows what was painted in rect (client coordinates) on the screen.
    virtual void PresentHostWindow(THostWindow window, const TRect& rect) = 0;
    // Gives the window the keyboard focus (a tool tip never takes it).
    virtual void FocusHostWindow(THostWindow window) = 0;
    // While a window has the capture it gets the mouse messages even outside itself;
    // 0 releases.
    virtual void CaptureMouse(THostWindow window) = 0;
    virtual void SetCursorShape(TCursor cursor) = 0;

    // --- events and time ----------------------------------------------------------------
    // Set by the application; the host delivers every event to it.
    void SetEventSink(THostEventSink* sink) { FSink = sink; }
    THostEventSink* EventSink() const { return FSink; }
    // Delivers the pending events. When none is pending waits up to timeoutMs for one
    // (0: do not wait). Returns true when at least one event was delivered.
    virtual bool PumpEvents(Integer timeoutMs) = 0;
    // Makes a waiting PumpEvents return early (a message was posted meanwhile).
    virtual void Wake() {}
    // Milliseconds of the host's clock; timers and double-click timing use only this.
    virtual std::uint64_t TickCount() const = 0;

    // --- clipboard, screen, keyboard ----------------------------------------------------
    virtual String ClipboardText() = 0;
    virtual void SetClipboardText(const String& text) = 0;
    virtual bool HasClipboardText() { return !ClipboardText().empty(); }
    // The whole screen and the part windows should use (without panels and docks).
    virtual TRect ScreenRect() const = 0;
    virtual TRect WorkAreaRect() const { return ScreenRect(); }
    virtual Integer PixelsPerInch() const { return DefaultPixelsPerInch; }
    // Device pixels per logical pixel (2 on a HiDPI screen at 200 %).
    virtual double ScaleFactor() const { return 1.0; }
    // GetSystemMetrics. The default answers from the table every host shares (scroll bar
    // width 17, double-click area 4, ...) with the screen size from ScreenRect.
    virtual Integer SystemMetric(Integer index) const;
    // GetKeyState: KEY_DOWN_MASK while the key is held, KEY_TOGGLED_MASK for toggles.
    virtual std::int16_t KeyState(Word virtualKey) const = 0;
    // Milliseconds between two clicks of a double click.
    virtual Integer DoubleClickTime() const { return 500; }

    // --- modal dialogs --------------------------------------------------------------------
    // A host may answer a modal dialog instead of running it (the headless host's scripted
    // answers). kind names the dialog ("MessageDlg", a form's class name), text its message.
    // Returns true and sets result (a modal result) when it answered.
    virtual bool AnswerModal(const String& kind, const String& text, Integer& result) {
        (void)kind;
        (void)text;
        (void)result;
        return false;
    }

protected:
    // Hosts deliver through this, so a missing sink only drops the event.
    void Deliver(THostWindow window, TMessage& message) {
        if (FSink) FSink->HostMessage(window, message);
    }

private:
    THostEventSink* FSink = nullptr;
};

// The system-metrics table shared by the hosts; screen gives SM_CXSCREEN/SM_CYSCREEN.
Integer DefaultSystemMetric(Integer index, const TRect& screen);

// The host of this process; null until one is installed. Installing connects the host's
// events to the application (Forms.h) and replaces a previous host; windows created on
// the previous host must be gone by then.
THost* CurrentHost();
void InstallHost(THost* host);
// The host window of a top-level window control (0 when it has no window yet).
class TWinControl;
THostWindow HostWindowOf(const TWinControl* topLevel);

} // namespace mv
