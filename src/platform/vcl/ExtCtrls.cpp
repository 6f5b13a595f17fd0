// TTimer over the window manager's timers (SetTimer on a utility window).
#include "platform/vcl/ExtCtrls.h"

#include "platform/vcl/Controls.h"

namespace mv {

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
    FWindowHandle = AllocateHWnd([this](TMessage& message) { WndProc(message); });
}

TTimer::~TTimer() {
    KillTimer(FWindowHandle, 1);
    DeallocateHWnd(FWindowHandle);
}

void TTimer::SetEnabled(bool value) {
    FEnabled = value;
    UpdateTimer();
}

void TTimer::SetInterval(Cardinal value) {
    FInterval = value;
    UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
    FOnTimer = std::move(handler);
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    KillTimer(FWindowHandle, 1);
    if (FInterval != 0 && FEnabled && FOnTimer) SetTimer(FWindowHandle, 1, FInterval);
}

void TTimer::WndProc(TMessage& message) {
    if (message.Msg == WM_TIMER) Timer();
}

void TTimer::Timer() {
    if (FEnabled && FOnTimer) {
        TNotifyEvent handler = FOnTimer; // the handler may free or reassign this timer
        handler(this);
    }
}

} // namespace mv
