// TTimer: a non-visual component that fires OnTimer every Interval milliseconds of the
// host clock while Enabled, on the UI thread (a WM_TIMER of its own utility window).
// TPanel: a container with bevels, a border and a caption, whose aligned children are
// placed inside the bevels.
#pragma once

#include "platform/rtl/Component.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Messages.h"

namespace mv {

class TTimer : public TComponent {
    MV_CLASS(TTimer, TComponent);
    // Published: Enabled, Interval.
    static void RegisterProperties(TPropertyRegistrar<TTimer>& r);

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

// [SECTION] TPanel
// How a bevel edge looks: none, sunken, raised, or a flat band of the panel's colour.
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
using TBevelWidth = Integer;

class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* owner);

    // From the outside in: BorderStyle's frame (bsSingle: one dark line), the outer bevel,
    // BorderWidth pixels of the panel's colour, the inner bevel. Aligned children are
    // placed inside all of them.
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut value);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut value);
    TBevelWidth BevelWidth() const { return FBevelWidth; }
    // EInvalidOperation when value < 1.
    void SetBevelWidth(TBevelWidth value);
    Integer BorderWidth() const { return FBorderWidth; }
    // EInvalidOperation when value < 0.
    void SetBorderWidth(Integer value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    // The caption is drawn in the middle row of the inner area, placed by Alignment
    // (taCenter by default); ShowCaption false hides it.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool value);

    // The width the frame, bevels and border take from each side.
    Integer FrameWidth() const;

protected:
    void Paint() override;
    void AdjustClientRect(TRect& rect) override;
    void TextChanged() override;

private:
    void FrameChanged();

    TBevelCut FBevelOuter = bvRaised;
    TBevelCut FBevelInner = bvNone;
    TBevelWidth FBevelWidth = 1;
    Integer FBorderWidth = 0;
    TBorderStyle FBorderStyle = bsNone;
    TAlignment FAlignment = taCenter;
    bool FShowCaption = true;
};

class TPanel : public TCustomPanel {
    MV_CLASS(TPanel, TWinControl);
    // Published (besides TWinControl's): Alignment, BevelInner, BevelOuter, BevelWidth,
    // BorderStyle, BorderWidth, Caption, ShowCaption.
    static void RegisterProperties(TPropertyRegistrar<TPanel>& r);
    using TCustomPanel::TCustomPanel;
};

// Message texts of the panel.
namespace ExtCtrlsConsts {
extern String SBevelWidthTooSmall;  // "Bevel width of panel '%s' must be at least 1, not %d"
extern String SBorderWidthNegative; // "Border width of panel '%s' cannot be negative (%d)"
} // namespace ExtCtrlsConsts

} // namespace mv
