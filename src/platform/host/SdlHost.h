// The SDL2 host: real top-level windows (framed main forms, borderless popups that may
// extend outside their owner, tool tips that never take the focus), each showing its
// ARGB32 pixel buffer through a streaming texture; SDL events become the host messages
// of Host.h with virtual-key codes; typed text arrives as WM_CHAR; the clock is SDL's
// millisecond counter, so TApplication's timers run in real time on the UI thread.
//
// The video driver is whatever SDL_VIDEODRIVER names (x11, wayland, dummy for machines
// without a display, offscreen). Only one TSdlHost may exist at a time; it owns SDL's
// video subsystem for its lifetime.
#pragma once

#include "platform/vcl/Host.h"

#include <memory>

namespace mv {

class TSdlHost : public THost {
public:
    // Starts SDL's video subsystem; EInvalidOperation with SDL's reason when it cannot.
    TSdlHost();
    ~TSdlHost() override;
    TSdlHost(const TSdlHost&) = delete;
    TSdlHost& operator=(const TSdlHost&) = delete;

    // --- THost -----------------------------------------------------------------------------
    // EInvalidOperation when SDL cannot create the window.
    THostWindow CreateHostWindow(const THostWindowParams& params) override;
    void DestroyHostWindow(THostWindow window) override;
    void ShowHostWindow(THostWindow window, bool visible) override;
    void SetHostWindowBounds(THostWindow window, const TRect& screenBounds) override;
    void SetHostWindowCaption(THostWindow window, const String& caption) override;
    TPixelBuffer HostWindowPixels(THostWindow window) override;
    void PresentHostWindow(THostWindow window, const TRect& rect) override;
    void FocusHostWindow(THostWindow window) override;
    void CaptureMouse(THostWindow window) override;
    void SetCursorShape(TCursor cursor) override;
    bool PumpEvents(Integer timeoutMs) override;
    void Wake() override;
    std::uint64_t TickCount() const override;
    String ClipboardText() override;
    void SetClipboardText(const String& text) override;
    bool HasClipboardText() override;
    TRect ScreenRect() const override;
    TRect WorkAreaRect() const override;
    // Device pixels per logical pixel of the most recently presented window (1 before any).
    double ScaleFactor() const override;
    std::int16_t KeyState(Word virtualKey) const override;

    // --- inspection (tests and diagnostics) ---------------------------------------------------
    // The name of the video driver SDL runs on ("x11", "dummy", ...).
    String VideoDriver() const;
    // The window whose keyboard input this host delivers (0: none).
    THostWindow FocusedWindow() const;
    // Where SDL has the window now (client area, screen coordinates).
    TRect WindowBounds(THostWindow window) const;
    bool WindowVisible(THostWindow window) const;
    Integer PresentCount(THostWindow window) const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};

} // namespace mv
