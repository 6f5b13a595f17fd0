// The window manager: handle table, posted-message queue, timers, focus, capture, the
// paint pass, and the routing of host events (mouse to the control under the pointer or
// the capturing one, keys to the focused one). See ControlsPrivate.h.
//
// [SECTION] Handles and queue: Register, Unregister, SendMessage, PostMessage, PeekMessage
// [SECTION] Timers: SetTimer, KillTimer, FireDueTimers, NextTimerDue
// [SECTION] Painting: PaintPending, PaintTopLevel, update-rectangle functions
// [SECTION] Focus and capture
// [SECTION] Host events: HostMessage, RouteMouse, RouteKey
// [SECTION] Host, keyboard, metrics and cursor functions
#include "platform/vcl/ControlsPrivate.h"

#include "platform/vcl/Forms.h"

#include <algorithm>
#include <cassert>

namespace mv {

namespace {

THost*& HostSlot() {
    static THost* host = nullptr;
    return host;
}

TRect Offset(TRect r, Integer dx, Integer dy) {
    OffsetRect(r, dx, dy);
    return r;
}

// Runs one unit of work; an exception goes to the application instead of unwinding
// through the host's event loop.
template <typename F> void Guarded(F&& work) {
    try {
        work();
    } catch (const std::exception& e) {
        Application->HandleException(e);
    }
}

} // namespace

TWindowManager& TWindowManager::Get() {
    static TWindowManager manager;
    return manager;
}

// [SECTION] Handles and queue
HWND TWindowManager::Register(TWinControl* control, TWndMethod method) {
    const HWND handle = NextHandle++;
    TWindowRecord& rec = Windows[handle];
    rec.Control = control;
    rec.Method = std::move(method);
    return handle;
}

void TWindowManager::Unregister(HWND handle) {
    if (Focus == handle) Focus = 0;
    if (KeyboardGrab == handle) KeyboardGrab = 0;
    if (ScrollDrag.Handle == handle) ScrollDrag = {};
    Timers.erase(std::remove_if(Timers.begin(), Timers.end(),
                                [&](const TTimerEntry& t) { return t.Handle == handle; }),
                 Timers.end());
    Queue.erase(std::remove_if(Queue.begin(), Queue.end(), [&](const TMsg& m) { return m.Hwnd == handle; }),
                Queue.end());
    TopLevels.erase(std::remove(TopLevels.begin(), TopLevels.end(), handle), TopLevels.end());
    Windows.erase(handle);
}

TWindowRecord* TWindowManager::Find(HWND handle) {
    auto it = Windows.find(handle);
    return it == Windows.end() ? nullptr : &it->second;
}

TWinControl* TWindowManager::FindByHost(THostWindow window) const {
    for (HWND h : TopLevels) {
        auto it = Windows.find(h);
        if (it != Windows.end() && it->second.HostWindow == window) return it->second.Control;
    }
    return nullptr;
}

void TWindowManager::ControlDestroying(TControl* control) {
    if (CaptureControl == control) {
        CaptureControl = nullptr;
        if (CurrentHost()) CurrentHost()->CaptureMouse(0);
    }
    if (MouseControl == control) MouseControl = nullptr;
}

TWinControl* FindControl(HWND handle) {
    TWindowRecord* rec = TWindowManager::Get().Find(handle);
    return rec ? rec->Control : nullptr;
}

HWND AllocateHWnd(TWndMethod method) {
    return TWindowManager::Get().Register(nullptr, std::move(method));
}

void DeallocateHWnd(HWND handle) {
    TWindowManager::Get().Unregister(handle);
}

LRESULT SendMessage(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWindowRecord* rec = TWindowManager::Get().Find(handle);
    if (!rec) return 0;
    if (rec->Control) return rec->Control->Perform(msg, wParam, lParam);
    TMessage message{msg, wParam, lParam, 0};
    if (rec->Method) {
        TWndMethod method = rec->Method; // the handler may deallocate its own window
        method(message);
    }
    return message.Result;
}

bool PostMessage(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWindowManager& wm = TWindowManager::Get();
    if (!wm.Find(handle)) return false;
    wm.Queue.push_back({handle, msg, wParam, lParam, wm.Now()});
    if (THost* host = CurrentHost()) host->Wake();
    return true;
}

bool PeekMessage(TMsg& msg, HWND handle, UINT filterMin, UINT filterMax, UINT removeMsg) {
    TWindowManager& wm = TWindowManager::Get();
    const bool anyMsg = filterMin == 0 && filterMax == 0;
    for (auto it = wm.Queue.begin(); it != wm.Queue.end(); ++it) {
        if (handle && it->Hwnd != handle) continue;
        if (!anyMsg && (it->Message < filterMin || it->Message > filterMax)) continue;
        msg = *it;
        if (removeMsg & PM_REMOVE) wm.Queue.erase(it);
        return true;
    }
    return false;
}

void DispatchMessage(const TMsg& msg) {
    SendMessage(msg.Hwnd, msg.Message, msg.WParam, msg.LParam);
}

bool TWindowManager::DispatchPosted() {
    if (Queue.empty()) return false;
    const TMsg msg = Queue.front();
    Queue.pop_front();
    Guarded([&] { DispatchMessage(msg); });
    return true;
}

bool TWindowManager::ProcessPending() {
    if (DispatchPosted()) return true;
    if (PaintPending()) return true;
    return FireDueTimers();
}

std::uint64_t TWindowManager::Now() const {
    THost* host = CurrentHost();
    return host ? host->TickCount() : 0;
}

// [SECTION] Timers
UINT SetTimer(HWND handle, UINT id, UINT elapse) {
    TWindowManager& wm = TWindowManager::Get();
    if (!wm.Find(handle)) return 0;
    const std::uint64_t due = wm.Now() + std::max<UINT>(elapse, 1);
    for (TTimerEntry& t : wm.Timers)
        if (t.Handle == handle && t.Id == id) {
            t.Interval = elapse;
            t.Due = due;
            t.Order = ++wm.TimerOrder;
            return id;
        }
    wm.Timers.push_back({handle, id, elapse, due, ++wm.TimerOrder});
    return id;
}

bool KillTimer(HWND handle, UINT id) {
    auto& timers = TWindowManager::Get().Timers;
    auto it = std::find_if(timers.begin(), timers.end(),
                           [&](const TTimerEntry& t) { return t.Handle == handle && t.Id == id; });
    if (it == timers.end()) return false;
    timers.erase(it);
    return true;
}

bool TWindowManager::NextTimerDue(std::uint64_t& due) const {
    if (Timers.empty()) return false;
    due = std::min_element(Timers.begin(), Timers.end(), [](const TTimerEntry& a, const TTimerEntry& b) {
              return a.Due < b.Due;
          })->Due;
    return true;
}

bool TWindowManager::FireDueTimers() {
    const std::uint64_t now = Now();
    std::vector<TTimerEntry> due;
    for (const TTimerEntry& t : Timers)
        if (t.Due <= now) due.push_back(t);
    if (due.empty()) return false;
    std::sort(due.begin(), due.end(), [](const TTimerEntry& a, const TTimerEntry& b) {
        return a.Due != b.Due ? a.Due < b.Due : a.Order < b.Order;
    });
    for (const TTimerEntry& d : due) {
        // An earlier handler may have killed or re-armed this timer.
        auto it = std::find_if(Timers.begin(), Timers.end(),
                               [&](const TTimerEntry& t) { return t.Handle == d.Handle && t.Id == d.Id; });
        if (it == Timers.end() || it->Due > now || it->Order != d.Order) continue;
        it->Due = now + std::max<UINT>(it->Interval, 1);
        if (d.Id == kScrollRepeatTimer)
            Guarded([&] { ScrollBarRepeat(d.Handle); });
        else
            Guarded([&] { SendMessage(d.Handle, WM_TIMER, d.Id, 0); });
    }
    return true;
}

// [SECTION] Painting
TRect TWindowManager::ClientInWindow(const TWinControl* control) {
    return control->FClientInWindow;
}

TPoint TWindowManager::OriginInTopLevel(const TControl* control) {
    const auto* win = dynamic_cast<const TWinControl*>(control);
    const TPoint inWindow = win ? win->FClientInWindow.TopLeft() : TPoint{};
    if (!control->Parent()) return inWindow;
    const TPoint p = OriginInTopLevel(control->Parent());
    return {p.X + control->Left() + inWindow.X, p.Y + control->Top() + inWindow.Y};
}

TRect TWindowManager::VisibleClientInTopLevel(const TControl* control) {
    const TPoint origin = OriginInTopLevel(control);
    TRect r = Offset(control->ClientRect(), origin.X, origin.Y);
    for (const TWinControl* p = control->Parent(); p; p = p->Parent()) {
        const TPoint o = OriginInTopLevel(p);
        if (!IntersectRect(r, r, Offset(p->ClientRect(), o.X, o.Y))) return {};
    }
    return r;
}

void TWindowManager::MarkPresent(TWinControl* top, const TRect& rect) {
    if (!top) return;
    if (TWindowRecord* rec = Find(top->FHandle)) UnionRect(rec->PresentRect, rec->PresentRect, rect);
}

void TWindowManager::PaintTopLevel(TWinControl* top) {
    std::vector<TWinControl*> order{top};
    top->CollectTabList(order);
    for (TWinControl* c : order) {
        if (!c->HandleAllocated() || !c->IsEffectivelyVisible()) continue;
        if (c->FNonClientDirty) Guarded([&] { c->Perform(WM_NCPAINT); });
        if (!c->FUpdateRect.IsEmpty()) Guarded([&] { c->Perform(WM_PAINT); });
    }
}

bool TWindowManager::PaintPending() {
    bool any = false;
    for (HWND h : std::vector<HWND>(TopLevels)) {
        TWindowRecord* rec = Find(h);
        if (!rec || !rec->Control) continue;
        if (PaintRequested) PaintTopLevel(rec->Control);
        rec = Find(h);
        if (rec && rec->HostWindow && !rec->PresentRect.IsEmpty() && CurrentHost()) {
            CurrentHost()->PresentHostWindow(rec->HostWindow, rec->PresentRect);
            rec->PresentRect = {};
            any = true;
        }
    }
    PaintRequested = false;
    return any;
}

bool InvalidateRect(HWND handle, const TRect* rect, bool erase) {
    (void)erase;
    TWinControl* c = FindControl(handle);
    if (!c) return false;
    c->InvalidateRect(rect);
    return true;
}

bool ValidateRect(HWND handle, const TRect* rect) {
    TWinControl* c = FindControl(handle);
    if (!c) return false;
    c->ValidateRect(rect);
    return true;
}

bool GetUpdateRect(HWND handle, TRect& rect) {
    TWinControl* c = FindControl(handle);
    rect = c ? c->UpdateRect() : TRect{};
    return !rect.IsEmpty();
}

bool UpdateWindow(HWND handle) {
    TWinControl* c = FindControl(handle);
    if (!c) return false;
    c->Update();
    return true;
}

// [SECTION] Focus and capture
bool EnableWindow(HWND handle, bool enable) {
    TWindowRecord* rec = TWindowManager::Get().Find(handle);
    if (!rec) return false;
    const bool wasDisabled = rec->InputDisabled;
    rec->InputDisabled = !enable;
    return wasDisabled;
}

bool IsWindowEnabled(HWND handle) {
    TWindowRecord* rec = TWindowManager::Get().Find(handle);
    return rec && !rec->InputDisabled;
}

HWND GetFocus() {
    return TWindowManager::Get().Focus;
}

HWND SetFocus(HWND handle) {
    TWindowManager& wm = TWindowManager::Get();
    const HWND old = wm.Focus;
    if (handle == old) return old;
    if (handle && !wm.Find(handle)) return old;
    wm.Focus = handle;
    if (old) SendMessage(old, WM_KILLFOCUS, handle, 0);
    // The old window's handler may have moved the focus elsewhere already.
    if (handle && wm.Focus == handle) SendMessage(handle, WM_SETFOCUS, old, 0);
    return old;
}

HWND GetCapture() {
    TControl* c = TWindowManager::Get().CaptureControl;
    if (!c) return 0;
    auto* win = dynamic_cast<TWinControl*>(c);
    if (!win) win = c->Parent();
    return win ? win->Handle() : 0;
}

TControl* GetCaptureControl() {
    return TWindowManager::Get().CaptureControl;
}

void SetCaptureControl(TControl* control) {
    TWindowManager& wm = TWindowManager::Get();
    TControl* old = wm.CaptureControl;
    if (old == control) return;
    wm.CaptureControl = control;
    if (old) {
        old->SetControlState(old->ControlState() - TControlState{csClicked, csLButtonDown});
        if (auto* win = dynamic_cast<TWinControl*>(old); win && win->HandleAllocated())
            win->Perform(WM_CAPTURECHANGED, 0, 0);
    }
    THost* host = CurrentHost();
    if (!host) return;
    THostWindow window = 0;
    if (control)
        if (TWinControl* top = control->TopLevel(); top && top->HandleAllocated())
            if (TWindowRecord* rec = wm.Find(top->Handle())) window = rec->HostWindow;
    host->CaptureMouse(window);
}

HWND SetCapture(HWND handle) {
    const HWND old = GetCapture();
    SetCaptureControl(FindControl(handle));
    return old;
}

bool ReleaseCapture() {
    SetCaptureControl(nullptr);
    return true;
}

// [SECTION] Host events
void TWindowManager::TrackMouseControl(TControl* control) {
    if (control == MouseControl) return;
    TControl* old = MouseControl;
    MouseControl = control;
    if (old) Guarded([&] { old->Perform(CM_MOUSELEAVE); });
    if (control && MouseControl == control) Guarded([&] { control->Perform(CM_MOUSEENTER); });
}

void TWindowManager::RouteMouse(TWinControl* top, TMessage& message) {
    TPoint inTop{LParamX(message.LParam), LParamY(message.LParam)};
    // Both wheels carry screen coordinates.
    if (message.Msg == WM_MOUSEWHEEL || message.Msg == WM_MOUSEHWHEEL)
        inTop = {inTop.X - top->Left(), inTop.Y - top->Top()};
    const TPoint topOrigin = top->ClientOrigin();
    const TPoint screen{inTop.X + topOrigin.X - ClientInWindow(top).Left,
                        inTop.Y + topOrigin.Y - ClientInWindow(top).Top};
    CursorPos = screen;

    if (ScrollDrag.Handle) {
        TWinControl* dragged = FindControl(ScrollDrag.Handle);
        if (dragged) {
            const TPoint c = dragged->ScreenToClient(screen);
            const TRect ciw = ClientInWindow(dragged);
            Guarded([&] { ScrollBarMouse(dragged, message.Msg, {c.X + ciw.Left, c.Y + ciw.Top}); });
            return;
        }
        ScrollDrag = {};
    }

    TControl* target = CaptureControl;
    if (!target) {
        // Deepest enabled control under the point; a click on a scroll bar goes to the bar.
        TWinControl* win = top;
        TPoint p{inTop.X - ClientInWindow(top).Left, inTop.Y - ClientInWindow(top).Top};
        target = top;
        for (;;) {
            TControl* child = win->ControlAtPos(p, true);
            if (!child || !child->Enabled()) break;
            p = {p.X - child->Left(), p.Y - child->Top()};
            target = child;
            auto* childWin = dynamic_cast<TWinControl*>(child);
            if (!childWin) break;
            const TRect ciw = ClientInWindow(childWin);
            if (!ciw.Contains(p)) {
                if (message.Msg != WM_MOUSEMOVE && ScrollBarHitTest(childWin, p) >= 0) {
                    Guarded([&] { ScrollBarMouse(childWin, message.Msg, p); });
                    return;
                }
                break;
            }
            p = {p.X - ciw.Left, p.Y - ciw.Top};
            win = childWin;
        }
        if (target == top && message.Msg != WM_MOUSEMOVE && !ClientInWindow(top).Contains(inTop) &&
            ScrollBarHitTest(top, inTop) >= 0) {
            Guarded([&] { ScrollBarMouse(top, message.Msg, inTop); });
            return;
        }
        if (message.Msg == WM_MOUSEMOVE) TrackMouseControl(target);
    }
    if (message.Msg == WM_MOUSEWHEEL || message.Msg == WM_MOUSEHWHEEL) {
        Guarded([&] { target->Perform(message.Msg, message.WParam, message.LParam); });
        return;
    }
    if (message.Msg == WM_MOUSEMOVE) {
        TWinControl* cursorWin = dynamic_cast<TWinControl*>(target);
        if (!cursorWin) cursorWin = target->Parent();
        if (cursorWin && cursorWin->HandleAllocated())
            Guarded([&] {
                cursorWin->Perform(WM_SETCURSOR, cursorWin->Handle(),
                                   MakeLParam(static_cast<Word>(HTCLIENT), WM_MOUSEMOVE));
            });
    }
    const TPoint local = target->ScreenToClient(screen);
    Guarded([&] { target->Perform(message.Msg, message.WParam, PointToLParam(local.X, local.Y)); });
}

void TWindowManager::RouteKey(TWinControl* top, TMessage& message) {
    if (message.Msg == WM_KEYDOWN || message.Msg == WM_SYSKEYDOWN) Guarded([] { Application->CancelHint(); });
    if (KeyboardGrab) {
        LRESULT eaten = 0;
        Guarded([&] { eaten = SendMessage(KeyboardGrab, message.Msg, message.WParam, message.LParam); });
        if (eaten) return;
    }
    TWinControl* target = FindControl(Focus);
    if (!target || target->TopLevel() != top) target = top;
    // The character of a dialog key the form consumed is not typed (it would have been
    // eaten before translation); any other key ends the wait for it.
    static WPARAM swallowedChar = 0;
    if (message.Msg == WM_KEYDOWN || message.Msg == WM_SYSKEYDOWN) swallowedChar = 0;
    const WPARAM key = message.WParam;
    // Dialog keys the focused control does not want go to the top-level window first, before
    // any OnKeyDown: Tab moves the focus, Enter and Escape reach the default and cancel buttons.
    if (message.Msg == WM_KEYDOWN && (key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE)) {
        const LRESULT code = target->Perform(WM_GETDLGCODE);
        const LRESULT wanted = key == VK_TAB ? DLGC_WANTTAB : DLGC_WANTALLKEYS;
        if (!(code & (wanted | DLGC_WANTALLKEYS))) {
            LRESULT handled = 0;
            Guarded([&] { handled = top->Perform(CM_DIALOGKEY, key, message.LParam); });
            if (!handled && key == VK_TAB) {
                const bool back = GetKeyState(VK_SHIFT) < 0;
                Guarded([&] { top->SelectNext(target == top ? nullptr : target, !back, true); });
                handled = 1;
            }
            if (handled) {
                swallowedChar = key; // VK_TAB, VK_RETURN and VK_ESCAPE equal their characters
                return;
            }
        }
    }
    // Alt+letter: accelerators of captions (labels focus their control, buttons click).
    if (message.Msg == WM_SYSKEYDOWN && ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))) {
        LRESULT handled = 0;
        Guarded([&] { handled = top->Perform(CM_DIALOGCHAR, key, message.LParam); });
        if (handled) return;
    }
    if (message.Msg == WM_CHAR && swallowedChar != 0 && key == swallowedChar) {
        swallowedChar = 0;
        return;
    }
    if (message.Msg == WM_CHAR && message.WParam == VK_TAB) {
        const LRESULT code = target->Perform(WM_GETDLGCODE);
        if (!(code & (DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTCHARS))) return;
    }
    Guarded([&] { target->Perform(message.Msg, message.WParam, message.LParam); });
}

void TWindowManager::WindowActivated(TWinControl* top) {
    TWinControl* focus = FindControl(Focus);
    if (focus && focus->TopLevel() == top) return;
    Guarded([&] { top->Perform(CM_ACTIVATE); });
    focus = FindControl(Focus);
    if (!focus || focus->TopLevel() != top) ::mv::SetFocus(top->Handle());
}

void TWindowManager::WindowDeactivated(TWinControl* top) {
    TWinControl* focus = FindControl(Focus);
    if (focus && focus->TopLevel() == top) ::mv::SetFocus(0);
    Guarded([&] { top->Perform(CM_DEACTIVATE); });
}

void TWindowManager::HostMessage(THostWindow window, TMessage& message) {
    TWinControl* top = FindByHost(window);
    if (!top) return;
    const UINT msg = message.Msg;
    const bool input =
        (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || (msg >= WM_KEYFIRST && msg <= WM_KEYLAST);
    if (input && !IsWindowEnabled(top->Handle())) return;
    if ((msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST)) {
        RouteMouse(top, message);
        return;
    }
    if (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) {
        RouteKey(top, message);
        return;
    }
    switch (msg) {
    case WM_SIZE: {
        const Integer w = LoWord(static_cast<std::uintptr_t>(message.LParam));
        const Integer h = HiWord(static_cast<std::uintptr_t>(message.LParam));
        Guarded([&] { top->SetBounds(top->Left(), top->Top(), w, h); });
        break;
    }
    case WM_MOVE:
        Guarded([&] {
            top->SetBounds(LParamX(message.LParam), LParamY(message.LParam), top->Width(), top->Height());
        });
        break;
    case WM_PAINT:
        top->Invalidate();
        break;
    case WM_ACTIVATE:
        if (message.WParam)
            WindowActivated(top);
        else
            WindowDeactivated(top);
        break;
    case WM_MOUSELEAVE:
        if (MouseControl && MouseControl->TopLevel() == top) TrackMouseControl(nullptr);
        break;
    default:
        Guarded([&] { top->Perform(msg, message.WParam, message.LParam); });
    }
}

// [SECTION] Host, keyboard, metrics and cursor functions
THost* CurrentHost() {
    return HostSlot();
}

void InstallHost(THost* host) {
    THost*& slot = HostSlot();
    // The hint window lives on the host it was made on.
    if (slot) Application->CancelHint();
    if (slot) slot->SetEventSink(nullptr);
    slot = host;
    if (host) host->SetEventSink(&TWindowManager::Get());
}

Integer DefaultSystemMetric(Integer index, const TRect& screen) {
    switch (index) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN:
        return screen.Width();
    case SM_CYSCREEN:
    case SM_CYFULLSCREEN:
        return screen.Height();
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB:
        return 17;
    case SM_CYCAPTION:
        return 23;
    case SM_CXBORDER:
    case SM_CYBORDER:
    case SM_CXFOCUSBORDER:
    case SM_CYFOCUSBORDER:
        return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return 3;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return 2;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    case SM_CYMENU:
        return 20;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
    case SM_CXDRAG:
    case SM_CYDRAG:
        return 4;
    case SM_CXMIN:
        return 136;
    case SM_CYMIN:
        return 39;
    case SM_MOUSEWHEELPRESENT:
        return 1;
    default:
        return 0;
    }
}

Integer THost::SystemMetric(Integer index) const {
    return DefaultSystemMetric(index, ScreenRect());
}

std::int16_t GetKeyState(Integer virtualKey) {
    THost* host = CurrentHost();
    return host ? host->KeyState(static_cast<Word>(virtualKey)) : 0;
}

Integer GetSystemMetrics(Integer index) {
    THost* host = CurrentHost();
    return host ? host->SystemMetric(index) : DefaultSystemMetric(index, Rect(0, 0, 1920, 1080));
}

Integer GetDoubleClickTime() {
    THost* host = CurrentHost();
    return host ? host->DoubleClickTime() : 500;
}

HCURSOR SetCursor(HCURSOR cursor) {
    static HCURSOR current = crDefault;
    const HCURSOR old = current;
    current = cursor;
    if (Screen->Cursor() != crDefault) cursor = Screen->Cursor();
    if (THost* host = CurrentHost()) host->SetCursorShape(cursor);
    return old;
}

TPoint GetCursorPos() {
    return TWindowManager::Get().CursorPos;
}

void MessageBeep(UINT type) {
    (void)type;
    ++TWindowManager::Get().Beeps;
}

Integer BeepCount() {
    return TWindowManager::Get().Beeps;
}

} // namespace mv

namespace mv {

THostWindow HostWindowOf(const TWinControl* topLevel) {
    if (!topLevel || !topLevel->HandleAllocated()) return 0;
    TWindowRecord* rec = TWindowManager::Get().Find(const_cast<TWinControl*>(topLevel)->Handle());
    return rec ? rec->HostWindow : 0;
}

} // namespace mv
