// THintWindow and the application's hint machinery (the TApplication members declared
// in Forms.h under "the hint machinery"). Overview in HintWindow.h.
//
// [SECTION] Helpers: GetShortHint, GetLongHint, HintTextOf, FindHintControl, ControlAtScreen
// [SECTION] THintWindow
// [SECTION] TApplication::THintState: timers, the tracked control, the window
// [SECTION] TApplication: HintMouseMessage, ActivateHint, CancelHint, HideHint
//
// Vocabulary: the hint control is the control whose hint is tracked (the control under the
// pointer or its nearest ancestor with ShowHint). "Active" means a hint was showing and
// was not dismissed (by a press, a key, the hide timeout or leaving hinted controls): the
// next hint then follows after the short pause.
#include "platform/vcl/HintWindow.h"

#include "platform/vcl/ControlsPrivate.h"
#include "platform/vcl/Forms.h"

#include <algorithm>

namespace mv {

namespace {

// Timer ids and the posted check of the hint state's utility window.
constexpr UINT ShowTimerId = 1;
constexpr UINT HideTimerId = 2;
constexpr UINT ReshowTimerId = 3;
constexpr UINT LeaveCheckMessage = WM_USER + 1;
// The hint goes below the arrow pointer, whose visible height this is.
constexpr Integer CursorHeightMargin = 20;

// The first non-empty Hint of the control and its ancestors.
String HintTextOf(const TControl* control) {
    for (const TControl* c = control; c; c = c->Parent())
        if (!c->Hint().empty()) return c->Hint();
    return {};
}

TControl* FindHintControl(TControl* control) {
    for (TControl* c = control; c; c = c->Parent())
        if (c->ShowHint()) return c;
    return nullptr;
}

// The deepest enabled control under a screen point, in the newest window that holds it;
// hint windows are passed over, as they let the mouse through.
TControl* ControlAtScreen(TPoint screen) {
    TWindowManager& wm = TWindowManager::Get();
    for (auto it = wm.TopLevels.rbegin(); it != wm.TopLevels.rend(); ++it) {
        TWindowRecord* rec = wm.Find(*it);
        TWinControl* top = rec ? rec->Control : nullptr;
        if (!top || !top->Showing() || dynamic_cast<THintWindow*>(top)) continue;
        if (!top->BoundsRect().Contains(screen)) continue;
        TControl* target = top;
        TWinControl* win = top;
        for (;;) {
            TControl* child = win->ControlAtPos(win->ScreenToClient(screen), false);
            if (!child) break;
            target = child;
            win = dynamic_cast<TWinControl*>(child);
            if (!win) break;
        }
        return target;
    }
    return nullptr;
}

} // namespace

String GetShortHint(const String& hint) {
    const size_t bar = hint.find(u'|');
    return bar == String::npos ? hint : hint.substr(0, bar);
}

String GetLongHint(const String& hint) {
    const size_t bar = hint.find(u'|');
    return bar == String::npos ? hint : hint.substr(bar + 1);
}

// [SECTION] THintWindow
THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
    SetVisible(false);
    SetColor(clInfoBk);
    Font()->SetColor(clInfoText);
}

THintWindow::~THintWindow() = default;

void THintWindow::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Style |= WS_BORDER;
    params.HostKind = hwToolTip;
}

TRect THintWindow::CalcHintRect(Integer maxWidth, const String& hint, void* data) {
    (void)data;
    TCanvas measure;
    measure.SetFont(Font());
    TRect r = Rect(0, 0, std::max(maxWidth, 1), 0);
    measure.DrawText(hint, r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    // Room for the frame and the text's left and right margins.
    r.Right += 6;
    r.Bottom += 2;
    return r;
}

void THintWindow::ActivateHint(TRect rect, const String& hint) {
    SetCaption(hint);
    THost* host = CurrentHost();
    const TRect screen = host ? host->ScreenRect() : Rect(0, 0, Screen->Width(), Screen->Height());
    if (rect.Right > screen.Right) OffsetRect(rect, screen.Right - rect.Right, 0);
    if (rect.Bottom > screen.Bottom) OffsetRect(rect, 0, screen.Bottom - rect.Bottom);
    if (rect.Left < screen.Left) OffsetRect(rect, screen.Left - rect.Left, 0);
    if (rect.Top < screen.Top) OffsetRect(rect, 0, screen.Top - rect.Top);
    SetBoundsRect(rect);
    if (!Visible()) Show();
    Invalidate();
}

void THintWindow::ActivateHintData(TRect rect, const String& hint, void* data) {
    (void)data;
    ActivateHint(rect, hint);
}

void THintWindow::ReleaseHandle() {
    Hide();
}

void THintWindow::WndProc(TMessage& message) {
    const bool mouse = message.Msg >= WM_MOUSEFIRST && message.Msg <= WM_MOUSELAST;
    if (!mouse) {
        TCustomControl::WndProc(message);
        return;
    }
    // The wheel carries screen coordinates already; the others are ours.
    const bool wheel = message.Msg == WM_MOUSEWHEEL || message.Msg == WM_MOUSEHWHEEL;
    const TPoint screen = wheel ? TPoint{LParamX(message.LParam), LParamY(message.LParam)}
                                : ClientToScreen({LParamX(message.LParam), LParamY(message.LParam)});
    TControl* below = ControlAtScreen(screen);
    if (!below) return;
    const TPoint local = below->ScreenToClient(screen);
    // Nothing of this window is touched afterwards: the control may cancel the hint, which
    // frees the window.
    below->Perform(message.Msg, message.WParam, wheel ? message.LParam : PointToLParam(local.X, local.Y));
}

void THintWindow::Paint() {
    TCanvas* canvas = Canvas();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(ClientRect());
    canvas->Font()->Assign(Font());
    canvas->Brush()->SetStyle(bsClear);
    TRect r = ClientRect();
    r.Left += 2;
    canvas->DrawText(Caption(), r, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

// [SECTION] TApplication::THintState
struct TApplication::THintState : TComponent {
    HWND Utility = 0;
    TControl* Control = nullptr; // the hint control
    TRect CursorRect;            // in Control's client coordinates
    TPoint LastPos;              // the pointer (screen) at the last mouse message
    bool Active = false;
    unsigned Generation = 0; // counts mouse moves, so a posted leave check sees newer moves
    THintWindow* Window = nullptr;
    THintWindowClass WindowClass = nullptr;

    explicit THintState(TApplication* application) : TComponent(nullptr) {
        Utility = AllocateHWnd([this, application](TMessage& message) {
            if (message.Msg == WM_TIMER) {
                KillTimer(Utility, static_cast<UINT>(message.WParam));
                application->HintTimerExpired(static_cast<UINT>(message.WParam));
            } else if (message.Msg == LeaveCheckMessage && message.WParam == Generation) {
                application->CancelHint();
            }
        });
    }

    ~THintState() override {
        DeallocateHWnd(Utility);
        DestroyWindow();
    }

    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (operation != opRemove) return;
        if (component == Control) {
            Control = nullptr;
            CursorRect = {};
            StopTimers();
            HideWindow();
        }
        if (component == Window) Window = nullptr;
    }

    void SetControl(TControl* control) {
        if (control == Control) return;
        if (Control) Control->RemoveFreeNotification(this);
        Control = control;
        if (control) control->FreeNotification(this);
    }

    void StopTimers() {
        KillTimer(Utility, ShowTimerId);
        KillTimer(Utility, HideTimerId);
        KillTimer(Utility, ReshowTimerId);
    }

    void HideWindow() {
        KillTimer(Utility, HideTimerId);
        KillTimer(Utility, ReshowTimerId);
        if (Window && Window->Visible()) Window->ReleaseHandle();
    }

    void DestroyWindow() {
        if (!Window) return;
        THintWindow* doomed = Window;
        Window = nullptr;
        doomed->RemoveFreeNotification(this);
        delete doomed;
    }

    THintWindow* WindowOfClass(THintWindowClass windowClass) {
        if (Window && WindowClass != windowClass) DestroyWindow();
        if (!Window) {
            Window = windowClass(nullptr);
            WindowClass = windowClass;
            Window->FreeNotification(this);
        }
        return Window;
    }
};

void TApplication::THintStateDeleter::operator()(THintState* state) const {
    delete state;
}

TApplication::THintState& TApplication::HintState() {
    if (!FHintState) FHintState.reset(new THintState(this));
    return *FHintState;
}

// [SECTION] TApplication: the hint machinery
void TApplication::SetHint(const String& value) {
    if (value == FHint) return;
    FHint = value;
    if (OnHint) OnHint(this);
}

void TApplication::SetHintWindowClass(THintWindowClass value) {
    FHintWindowClass = value ? value : &NewHintWindow<THintWindow>;
    // The window of the old class goes; the next hint makes one of the new class.
    if (FHintState && FHintState->WindowClass != FHintWindowClass) FHintState->DestroyWindow();
}

THintWindow* TApplication::HintWindow() const {
    if (!FHintState || !FHintState->Window || !FHintState->Window->Visible()) return nullptr;
    return FHintState->Window;
}

void TApplication::HintMouseMessage(TControl* control, TMessage& message) {
    switch (message.Msg) {
    case WM_MOUSEMOVE:
        break;
    case CM_MOUSELEAVE:
        // The pointer may only be moving to another control, whose move message comes
        // next; the posted check cancels only when no move came meanwhile.
        if (FHintState && FHintState->Control)
            PostMessage(FHintState->Utility, LeaveCheckMessage, FHintState->Generation, 0);
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        CancelHint();
        return;
    default:
        return;
    }
    THintState& state = HintState();
    ++state.Generation;
    const TPoint screen = control->ClientToScreen({LParamX(message.LParam), LParamY(message.LParam)});
    state.LastPos = screen;
    SetHint(GetLongHint(HintTextOf(control)));
    TControl* hintControl = FShowHint ? FindHintControl(control) : nullptr;
    if (!hintControl) {
        CancelHint();
        return;
    }
    if (hintControl == state.Control && state.CursorRect.Contains(hintControl->ScreenToClient(screen)))
        return;
    Integer pause = state.Active ? FHintShortPause : FHintPause;
    hintControl->Perform(CM_HINTSHOWPAUSE, state.Active ? 1 : 0, reinterpret_cast<LPARAM>(&pause));
    state.StopTimers();
    state.HideWindow();
    state.SetControl(hintControl);
    state.CursorRect = hintControl->ClientRect();
    if (pause <= 0)
        ShowHintNow(screen);
    else
        SetTimer(state.Utility, ShowTimerId, static_cast<UINT>(pause));
}

void TApplication::HintTimerExpired(UINT timer) {
    THintState& state = HintState();
    switch (timer) {
    case ShowTimerId:
    case ReshowTimerId:
        ShowHintNow(state.LastPos);
        return;
    case HideTimerId:
        state.HideWindow();
        state.Active = false;
        return;
    default:
        return;
    }
}

void TApplication::ShowHintNow(TPoint screen) {
    THintState& state = HintState();
    KillTimer(state.Utility, ShowTimerId);
    TControl* control = state.Control;
    if (!control || !FShowHint || !control->IsEffectivelyVisible()) return;
    THintInfo info;
    info.HintControl = control;
    info.HintWindowClass = FHintWindowClass;
    info.HintPos = {screen.X, screen.Y + CursorHeightMargin};
    info.HintMaxWidth = Screen->Width();
    info.HintColor = clInfoBk;
    info.CursorRect = control->ClientRect();
    info.CursorPos = control->ScreenToClient(screen);
    info.HideTimeout = FHintHidePause;
    info.HintStr = GetShortHint(HintTextOf(control));
    bool canShow = control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
    if (canShow && OnShowHint) OnShowHint(info.HintStr, canShow, info);
    if (state.Control != control) return; // the request freed or replaced the control
    state.CursorRect = info.CursorRect;
    if (!canShow || info.HintStr.empty()) {
        state.HideWindow();
        return;
    }
    THintWindow* window = state.WindowOfClass(info.HintWindowClass ? info.HintWindowClass : FHintWindowClass);
    window->SetColor(info.HintColor);
    TRect r = window->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
    OffsetRect(r, info.HintPos.X, info.HintPos.Y);
    window->ActivateHintData(r, info.HintStr, info.HintData);
    state.Active = true;
    KillTimer(state.Utility, HideTimerId);
    KillTimer(state.Utility, ReshowTimerId);
    if (info.HideTimeout > 0) SetTimer(state.Utility, HideTimerId, static_cast<UINT>(info.HideTimeout));
    if (info.ReshowTimeout > 0) SetTimer(state.Utility, ReshowTimerId, static_cast<UINT>(info.ReshowTimeout));
}

void TApplication::ActivateHint(TPoint cursorPos) {
    THintState& state = HintState();
    TControl* hintControl = FShowHint ? FindHintControl(ControlAtScreen(cursorPos)) : nullptr;
    if (!hintControl) {
        CancelHint();
        return;
    }
    state.StopTimers();
    state.SetControl(hintControl);
    state.LastPos = cursorPos;
    ShowHintNow(cursorPos);
}

void TApplication::CancelHint() {
    if (!FHintState) return;
    THintState& state = *FHintState;
    state.StopTimers();
    state.DestroyWindow();
    state.Active = false;
    state.SetControl(nullptr);
    state.CursorRect = {};
}

void TApplication::HideHint() {
    if (FHintState) FHintState->HideWindow();
}

} // namespace mv
