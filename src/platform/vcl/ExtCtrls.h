// TTimer: a non-visual component that fires OnTimer every Interval milliseconds of the
// host clock while Enabled, on the UI thread (a WM_TIMER of its own utility window).
#pragma once

#include "platform/rtl/Component.h"
#include "platform/vcl/Messages.h"

namespace mv {

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    // Every change re-arms the timer: the next OnTimer comes a full Interval later.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    Cardinal Interval() const { return FInterval; }
    void SetInterval(Cardinal value);
    // The timer runs only while OnTimer is assigned; assigning it (even the same handler
    // again) re-arms the timer.
    const TNotifyEvent& OnTimer() const { return FOnTimer; }
    void SetOnTimer(TNotifyEvent handler);

protected:
    virtual void Timer();

private:
    void UpdateTimer();
    void WndProc(TMessage& message);

    bool FEnabled = true;
    Cardinal FInterval = 1000;
    TNotifyEvent FOnTimer;
    HWND FWindowHandle = 0;
};

} // namespace mv
