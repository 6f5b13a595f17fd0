// Not public API: the window manager behind the handles of Controls.h, shared by
// Controls.cpp, WinControl.cpp, WindowManager.cpp, ScrollBars.cpp and Forms.cpp.
// It keeps the handle table, the posted-message queue, the timers, focus, capture and
// the mouse tracking, and turns host events into control messages.
#pragma once

#include "platform/vcl/Controls.h"
#include "platform/vcl/Host.h"

#include <deque>
#include <unordered_map>
#include <vector>

namespace mv {

struct TWindowRecord {
    TWinControl* Control = nullptr; // null for AllocateHWnd windows
    TWndMethod Method;
    THostWindow HostWindow = 0; // top-level controls only
    TRect PresentRect;          // pixels changed outside painting, shown at the next pass
    bool InputDisabled = false; // EnableWindow(handle, false)
};

struct TTimerEntry {
    HWND Handle = 0;
    UINT Id = 0;
    UINT Interval = 0;
    std::uint64_t Due = 0;
    std::uint64_t Order = 0; // arming order breaks ties between equal due times
};

// The scroll-bar gesture in progress (ScrollBars.cpp).
struct TScrollDrag {
    HWND Handle = 0;
    Integer Bar = -1;
    Word Code = SB_ENDSCROLL; // SB_THUMBTRACK while dragging the thumb
    Integer GrabOffset = 0;
    TPoint Last; // the pointer in window coordinates; arrows and pages repeat only under it
};

// Holding an arrow or the track repeats on this timer of the bar's window: first after
// kScrollRepeatDelay, then every kScrollRepeatInterval milliseconds.
inline constexpr UINT kScrollRepeatTimer = 0xFFFF5C00u;
inline constexpr UINT kScrollRepeatDelay = 400;
inline constexpr UINT kScrollRepeatInterval = 50;

struct TWindowManager final : THostEventSink {
    static TWindowManager& Get();

    HWND Register(TWinControl* control, TWndMethod method);
    void Unregister(HWND handle);
    TWindowRecord* Find(HWND handle);
    TWinControl* FindByHost(THostWindow window) const;

    // One unit of queued work: a posted message, else the pending paints, else the due
    // timers. False when there was nothing to do.
    bool ProcessPending();
    bool DispatchPosted();
    bool PaintPending();
    bool FireDueTimers();
    bool NextTimerDue(std::uint64_t& due) const;
    std::uint64_t Now() const;
    void PaintTopLevel(TWinControl* top);
    void MarkPresent(TWinControl* control, const TRect& topLevelRect);

    void HostMessage(THostWindow window, TMessage& message) override;
    void RouteMouse(TWinControl* top, TMessage& message);
    void RouteKey(TWinControl* top, TMessage& message);
    void TrackMouseControl(TControl* control);
    void ControlDestroying(TControl* control);
    void WindowDeactivated(TWinControl* top);
    void WindowActivated(TWinControl* top);

    // Client origin of control in its top-level window's client coordinates, and the part
    // of its client area that its ancestors leave visible (same coordinates).
    static TPoint OriginInTopLevel(const TControl* control);
    static TRect VisibleClientInTopLevel(const TControl* control);
    static TRect ClientInWindow(const TWinControl* control);

    std::unordered_map<HWND, TWindowRecord> Windows;
    std::vector<HWND> TopLevels; // creation order
    HWND NextHandle = 1;
    std::deque<TMsg> Queue;
    std::vector<TTimerEntry> Timers;
    std::uint64_t TimerOrder = 0;
    bool PaintRequested = false;
    HWND Focus = 0;
    TControl* CaptureControl = nullptr;
    TControl* MouseControl = nullptr;
    TPoint CursorPos;
    TScrollDrag ScrollDrag;
    Integer Beeps = 0;
    // An open popup menu's window: it sees the keys before the focused control, which keeps
    // the focus, and answers nonzero for the keys it ate (Menus.h).
    HWND KeyboardGrab = 0;
};

// ScrollBars.cpp: hit test and mouse handling of the framework-drawn bars. p is in the
// control's window coordinates (0, 0 at its top-left outside the border).
Integer ScrollBarHitTest(TWinControl* control, TPoint windowPoint);
void ScrollBarMouse(TWinControl* control, UINT msg, TPoint windowPoint);
// One repeat step of the held arrow or track (the kScrollRepeatTimer of handle).
void ScrollBarRepeat(HWND handle);
void PaintScrollBars(TWinControl* control, HDC dc, const TRect& windowRect, const TRect& clientInWindow);
// The bar rectangles in window coordinates (empty when hidden).
TRect ScrollBarRect(const TWinControl* control, Integer bar);

} // namespace mv
