// The headless host: top-level windows are in-memory pixel buffers that tests read and
// save as PNG, time is a virtual clock that only AdvanceTime moves, the clipboard is a
// string, modal dialogs are answered from a script, and input comes from the synthetic
// helpers (Click, DoubleClick, Drag, KeyDown, TypeText, Wheel), which queue host events
// and then let the application process them, exactly as real input would arrive.
#pragma once

#include "platform/vcl/Controls.h"
#include "platform/vcl/Host.h"

#include <deque>
#include <functional>
#include <map>
#include <vector>

namespace mv {

class THeadlessHost : public THost {
public:
    // screen: 1920 x 1080 at 96 dpi unless given.
    explicit THeadlessHost(TRect screen = Rect(0, 0, 1920, 1080));
    ~THeadlessHost() override;

    // --- THost -----------------------------------------------------------------------------
    THostWindow CreateHostWindow(const THostWindowParams& params) override;
    void DestroyHostWindow(THostWindow window) override;
    void ShowHostWindow(THostWindow window, bool visible) override;
    void SetHostWindowBounds(THostWindow window, const TRect& screenBounds) override;
    void SetHostWindowCaption(THostWindow window, const String& caption) override;
    TPixelBuffer HostWindowPixels(THostWindow window) override;
    void PresentHostWindow(THostWindow window, const TRect& rect) override;
    void FocusHostWindow(THostWindow window) override;
    void CaptureMouse(THostWindow window) override { FCapture = window; }
    void SetCursorShape(TCursor cursor) override { FCursor = cursor; }
    bool PumpEvents(Integer timeoutMs) override;
    std::uint64_t TickCount() const override { return FNow; }
    String ClipboardText() override { return FClipboard; }
    void SetClipboardText(const String& text) override { FClipboard = text; }
    TRect ScreenRect() const override { return FScreen; }
    std::int16_t KeyState(Word virtualKey) const override;
    bool AnswerModal(const String& kind, const String& text, Integer& result) override;

    // --- clock -------------------------------------------------------------------------------
    // Moves the clock forward by ms, stopping at every due timer on the way so that timers
    // fire in due order, each at its own time; processes messages at each stop.
    void AdvanceTime(std::uint64_t ms);

    // --- windows -------------------------------------------------------------------------------
    // The top-level window of a control (0 when it has none yet).
    THostWindow WindowOf(TControl* control) const;
    bool WindowVisible(THostWindow window) const;
    TRect WindowBounds(THostWindow window) const;
    const String& WindowCaption(THostWindow window) const;
    THostWindow FocusedWindow() const { return FFocus; }
    THostWindow CaptureWindow() const { return FCapture; }
    TCursor CursorShape() const { return FCursor; }
    Integer PresentCount(THostWindow window) const;
    // A pixel of the window as $00RRGGBB (alpha dropped); 0 outside.
    std::uint32_t PixelAt(THostWindow window, Integer x, Integer y) const;
    // The pixel under a control's client point.
    std::uint32_t PixelAt(TControl* control, Integer x, Integer y) const;
    // Writes the window's pixels as a PNG file; false when it cannot be written.
    bool SavePng(THostWindow window, const std::string& fileName) const;

    // --- synthetic input (control client coordinates; the events go to the control's
    //     top-level window as a real host would send them) ------------------------------------
    void MouseMove(TControl* control, Integer x, Integer y, TShiftState shift = {});
    // A press on a shown framed (hwMain) window that is not the active one activates it
    // first, as a click-to-focus window manager does.
    void MouseDown(TControl* control, Integer x, Integer y, TMouseButton button = mbLeft,
                   TShiftState shift = {});
    void MouseUp(TControl* control, Integer x, Integer y, TMouseButton button = mbLeft,
                 TShiftState shift = {});
    // Move, press, release.
    void Click(TControl* control, Integer x, Integer y, TMouseButton button = mbLeft, TShiftState shift = {});
    // Press, release, double-click press, release (the framework's order).
    void DoubleClick(TControl* control, Integer x, Integer y, TShiftState shift = {});
    // Press at from, moves in steps, release at to (all relative to control).
    void Drag(TControl* control, TPoint from, TPoint to, Integer steps = 4, TShiftState shift = {});
    // One notch is WHEEL_DELTA; positive turns away from the user (scrolls up).
    void Wheel(TControl* control, Integer x, Integer y, Integer delta, TShiftState shift = {});
    // Key down (and its WM_CHAR for keys that type one), key up, with shift held meanwhile.
    void KeyDown(Word key, TShiftState shift = {});
    // Only the key-down half (no WM_CHAR, no release): for auto-repeat and held keys.
    void KeyPressOnly(Word key, TShiftState shift = {});
    // One WM_CHAR per UTF-16 code unit (as typed text arrives from an input method).
    void TypeText(const String& text);
    // Sends WM_ACTIVATE to a window as if the user switched to it.
    void Activate(THostWindow window);
    // Asks the window to close as the window manager's close button would.
    void RequestClose(THostWindow window);

    // --- modal answers ---------------------------------------------------------------------------
    // The next modal dialogs are answered from this list in order; each entry answers one
    // dialog (kind and text are recorded in ModalLog). An empty list answers nothing.
    void QueueModalAnswer(Integer modalResult) { FModalAnswers.push_back(modalResult); }
    const std::vector<String>& ModalLog() const { return FModalLog; }

private:
    struct TWindow {
        THostWindowParams Params;
        std::vector<std::uint32_t> Pixels;
        bool Visible = false;
        Integer Presents = 0;
    };
    struct TEvent {
        THostWindow Window = 0;
        TMessage Message;
        TShiftState Shift; // modifiers held while this event is handled
        bool SetsShift = false;
    };

    TWindow* Find(THostWindow window);
    const TWindow* Find(THostWindow window) const;
    void Queue(TControl* control, UINT msg, WPARAM wParam, TPoint clientPoint, TShiftState shift);
    void QueueKey(THostWindow window, UINT msg, WPARAM wParam, LPARAM lParam, TShiftState shift);
    void Flush();
    THostWindow KeyboardWindow() const;
    static WPARAM MouseKeys(TShiftState shift);

    TRect FScreen;
    std::map<THostWindow, TWindow> FWindows;
    THostWindow FNextWindow = 1;
    THostWindow FFocus = 0;
    THostWindow FCapture = 0;
    TCursor FCursor = crDefault;
    std::uint64_t FNow = 0;
    String FClipboard;
    std::deque<TEvent> FEvents;
    TShiftState FShift;
    std::vector<Integer> FModalAnswers;
    std::vector<String> FModalLog;
};

} // namespace mv
