// The headless host: in-memory windows, the virtual clock and synthetic input.
#include "platform/host/HeadlessHost.h"

#include "platform/vcl/Forms.h"

#include <algorithm>
#include <cassert>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace mv {

namespace {

// Keys that type a character through WM_CHAR, as the framework's TranslateMessage does.
Char CharOfKey(Word key, TShiftState shift) {
    const bool ctrl = shift.Contains(ssCtrl);
    if (key >= 'A' && key <= 'Z') {
        if (ctrl) return static_cast<Char>(key - 'A' + 1);
        return static_cast<Char>(shift.Contains(ssShift) ? key : key + 32);
    }
    if (ctrl) return 0;
    if (key >= '0' && key <= '9' && !shift.Contains(ssShift)) return static_cast<Char>(key);
    switch (key) {
    case VK_SPACE:
        return u' ';
    case VK_RETURN:
        return 13;
    case VK_ESCAPE:
        return 27;
    case VK_BACK:
        return 8;
    case VK_TAB:
        return 9;
    default:
        return 0;
    }
}

} // namespace

THeadlessHost::THeadlessHost(TRect screen) : FScreen(screen) {}

THeadlessHost::~THeadlessHost() {
    if (CurrentHost() == this) InstallHost(nullptr);
}

THeadlessHost::TWindow* THeadlessHost::Find(THostWindow window) {
    auto it = FWindows.find(window);
    return it == FWindows.end() ? nullptr : &it->second;
}

const THeadlessHost::TWindow* THeadlessHost::Find(THostWindow window) const {
    auto it = FWindows.find(window);
    return it == FWindows.end() ? nullptr : &it->second;
}

// [SECTION] Windows
THostWindow THeadlessHost::CreateHostWindow(const THostWindowParams& params) {
    const THostWindow id = FNextWindow++;
    TWindow& w = FWindows[id];
    w.Params = params;
    const size_t count = static_cast<size_t>(std::max(params.Bounds.Width(), 0)) *
                         static_cast<size_t>(std::max(params.Bounds.Height(), 0));
    w.Pixels.assign(count, 0xFF000000u);
    return id;
}

void THeadlessHost::DestroyHostWindow(THostWindow window) {
    FWindows.erase(window);
    if (FFocus == window) FFocus = 0;
    if (FCapture == window) FCapture = 0;
    std::erase_if(FEvents, [&](const TEvent& e) { return e.Window == window; });
}

void THeadlessHost::ShowHostWindow(THostWindow window, bool visible) {
    if (TWindow* w = Find(window)) w->Visible = visible;
    if (!visible && FFocus == window) {
        FFocus = 0;
        TMessage m{WM_ACTIVATE, 0, 0, 0};
        Deliver(window, m);
    }
}

void THeadlessHost::SetHostWindowBounds(THostWindow window, const TRect& screenBounds) {
    TWindow* w = Find(window);
    if (!w) return;
    const bool sized = screenBounds.Width() != w->Params.Bounds.Width() ||
                       screenBounds.Height() != w->Params.Bounds.Height();
    w->Params.Bounds = screenBounds;
    if (sized)
        w->Pixels.assign(static_cast<size_t>(std::max(screenBounds.Width(), 0)) *
                             static_cast<size_t>(std::max(screenBounds.Height(), 0)),
                         0xFF000000u);
}

void THeadlessHost::SetHostWindowCaption(THostWindow window, const String& caption) {
    if (TWindow* w = Find(window)) w->Params.Caption = caption;
}

TPixelBuffer THeadlessHost::HostWindowPixels(THostWindow window) {
    TWindow* w = Find(window);
    if (!w || w->Pixels.empty()) return {};
    return {w->Pixels.data(), w->Params.Bounds.Width(), w->Params.Bounds.Height(),
            w->Params.Bounds.Width() * 4};
}

void THeadlessHost::PresentHostWindow(THostWindow window, const TRect& rect) {
    (void)rect;
    if (TWindow* w = Find(window)) ++w->Presents;
}

void THeadlessHost::FocusHostWindow(THostWindow window) {
    TWindow* w = Find(window);
    if (!w || w->Params.Kind == hwToolTip || FFocus == window) return;
    const THostWindow old = FFocus;
    FFocus = window;
    if (old) {
        TMessage m{WM_ACTIVATE, 0, 0, 0};
        Deliver(old, m);
    }
    TMessage m{WM_ACTIVATE, 1, 0, 0};
    Deliver(window, m);
}

THostWindow THeadlessHost::WindowOf(TControl* control) const {
    return control ? HostWindowOf(control->TopLevel()) : 0;
}

bool THeadlessHost::WindowVisible(THostWindow window) const {
    const TWindow* w = Find(window);
    return w && w->Visible;
}

TRect THeadlessHost::WindowBounds(THostWindow window) const {
    const TWindow* w = Find(window);
    return w ? w->Params.Bounds : TRect{};
}

const String& THeadlessHost::WindowCaption(THostWindow window) const {
    static const String empty;
    const TWindow* w = Find(window);
    return w ? w->Params.Caption : empty;
}

Integer THeadlessHost::PresentCount(THostWindow window) const {
    const TWindow* w = Find(window);
    return w ? w->Presents : 0;
}

std::uint32_t THeadlessHost::PixelAt(THostWindow window, Integer x, Integer y) const {
    const TWindow* w = Find(window);
    if (!w || x < 0 || y < 0 || x >= w->Params.Bounds.Width() || y >= w->Params.Bounds.Height()) return 0;
    return w->Pixels[static_cast<size_t>(y) * static_cast<size_t>(w->Params.Bounds.Width()) +
                     static_cast<size_t>(x)] &
           0x00FFFFFFu;
}

std::uint32_t THeadlessHost::PixelAt(TControl* control, Integer x, Integer y) const {
    TWinControl* top = control->TopLevel();
    const TPoint screen = control->ClientToScreen({x, y});
    const THostWindow window = WindowOf(control);
    const TRect b = WindowBounds(window);
    (void)top;
    return PixelAt(window, screen.X - b.Left, screen.Y - b.Top);
}

bool THeadlessHost::SavePng(THostWindow window, const std::string& fileName) const {
    const TWindow* w = Find(window);
    if (!w || w->Pixels.empty()) return false;
    const int width = w->Params.Bounds.Width(), height = w->Params.Bounds.Height();
    std::vector<std::uint8_t> rgba(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    for (size_t i = 0; i < w->Pixels.size(); ++i) {
        const std::uint32_t p = w->Pixels[i];
        const std::uint32_t a = p >> 24;
        auto channel = [&](int shift) -> std::uint8_t {
            const std::uint32_t c = (p >> shift) & 0xFF;
            // Premultiplied to straight alpha.
            return static_cast<std::uint8_t>(a == 0 ? 0
                                                    : std::min<std::uint32_t>(255, (c * 255 + a / 2) / a));
        };
        rgba[i * 4 + 0] = channel(16);
        rgba[i * 4 + 1] = channel(8);
        rgba[i * 4 + 2] = channel(0);
        rgba[i * 4 + 3] = static_cast<std::uint8_t>(a);
    }
    return stbi_write_png(fileName.c_str(), width, height, 4, rgba.data(), width * 4) != 0;
}

// [SECTION] Events and time
bool THeadlessHost::PumpEvents(Integer timeoutMs) {
    (void)timeoutMs; // nothing arrives by itself here: there is no one to wait for
    if (FEvents.empty()) return false;
    while (!FEvents.empty()) {
        TEvent e = FEvents.front();
        FEvents.pop_front();
        if (e.SetsShift) FShift = e.Shift;
        Deliver(e.Window, e.Message);
    }
    return true;
}

void THeadlessHost::AdvanceTime(std::uint64_t ms) {
    const std::uint64_t target = FNow + ms;
    Application->ProcessMessages();
    for (;;) {
        std::uint64_t due = 0;
        if (!Application->NextTimerDue(due) || due > target) break;
        FNow = std::max(FNow, due);
        Application->ProcessMessages();
    }
    FNow = target;
    Application->ProcessMessages();
}

std::int16_t THeadlessHost::KeyState(Word virtualKey) const {
    auto down = [](bool d) -> std::int16_t { return d ? KEY_DOWN_MASK : 0; };
    switch (virtualKey) {
    case VK_SHIFT:
    case VK_LSHIFT:
        return down(FShift.Contains(ssShift));
    case VK_CONTROL:
    case VK_LCONTROL:
        return down(FShift.Contains(ssCtrl));
    case VK_MENU:
    case VK_LMENU:
        return down(FShift.Contains(ssAlt));
    case VK_LBUTTON:
        return down(FShift.Contains(ssLeft));
    case VK_RBUTTON:
        return down(FShift.Contains(ssRight));
    case VK_MBUTTON:
        return down(FShift.Contains(ssMiddle));
    default:
        return 0;
    }
}

bool THeadlessHost::AnswerModal(const String& kind, const String& text, Integer& result) {
    if (FModalAnswers.empty()) return false;
    FModalLog.push_back(kind + u": " + text);
    result = FModalAnswers.front();
    FModalAnswers.erase(FModalAnswers.begin());
    return true;
}

// [SECTION] Synthetic input
WPARAM THeadlessHost::MouseKeys(TShiftState shift) {
    WPARAM keys = 0;
    if (shift.Contains(ssShift)) keys |= MK_SHIFT;
    if (shift.Contains(ssCtrl)) keys |= MK_CONTROL;
    if (shift.Contains(ssLeft)) keys |= MK_LBUTTON;
    if (shift.Contains(ssRight)) keys |= MK_RBUTTON;
    if (shift.Contains(ssMiddle)) keys |= MK_MBUTTON;
    return keys;
}

void THeadlessHost::Queue(TControl* control, UINT msg, WPARAM wParam, TPoint clientPoint, TShiftState shift) {
    const THostWindow window = WindowOf(control);
    assert(window && "synthetic input needs a control whose top-level window exists");
    const TPoint screen = control->ClientToScreen(clientPoint);
    const TRect b = WindowBounds(window);
    TEvent e;
    e.Window = window;
    e.Message = {msg, wParam, PointToLParam(screen.X - b.Left, screen.Y - b.Top), 0};
    if (msg == WM_MOUSEWHEEL) e.Message.LParam = PointToLParam(screen.X, screen.Y);
    e.Shift = shift;
    e.SetsShift = true;
    FEvents.push_back(e);
}

void THeadlessHost::Flush() {
    Application->ProcessMessages();
}

void THeadlessHost::MouseMove(TControl* control, Integer x, Integer y, TShiftState shift) {
    Queue(control, WM_MOUSEMOVE, MouseKeys(shift), {x, y}, shift);
    Flush();
}

void THeadlessHost::MouseDown(TControl* control, Integer x, Integer y, TMouseButton button,
                              TShiftState shift) {
    const UINT msg = button == mbLeft ? WM_LBUTTONDOWN : button == mbRight ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
    // A press on a framed window that is not the active one activates it first, as a
    // click-to-focus window manager does (a drop-down of another window loses the focus).
    const THostWindow window = WindowOf(control);
    if (const TWindow* w = Find(window); w && w->Params.Kind == hwMain && w->Visible && window != FFocus)
        FocusHostWindow(window);
    const TShiftState held = shift + (button == mbLeft ? ssLeft : button == mbRight ? ssRight : ssMiddle);
    Queue(control, msg, MouseKeys(held), {x, y}, held);
    Flush();
}

void THeadlessHost::MouseUp(TControl* control, Integer x, Integer y, TMouseButton button, TShiftState shift) {
    const UINT msg = button == mbLeft ? WM_LBUTTONUP : button == mbRight ? WM_RBUTTONUP : WM_MBUTTONUP;
    Queue(control, msg, MouseKeys(shift), {x, y}, shift);
    Flush();
}

void THeadlessHost::Click(TControl* control, Integer x, Integer y, TMouseButton button, TShiftState shift) {
    MouseMove(control, x, y, shift);
    MouseDown(control, x, y, button, shift);
    MouseUp(control, x, y, button, shift);
}

void THeadlessHost::DoubleClick(TControl* control, Integer x, Integer y, TShiftState shift) {
    MouseDown(control, x, y, mbLeft, shift);
    MouseUp(control, x, y, mbLeft, shift);
    Queue(control, WM_LBUTTONDBLCLK, MouseKeys(shift + ssLeft), {x, y}, shift + ssLeft);
    Flush();
    MouseUp(control, x, y, mbLeft, shift);
}

void THeadlessHost::Drag(TControl* control, TPoint from, TPoint to, Integer steps, TShiftState shift) {
    MouseMove(control, from.X, from.Y, shift);
    MouseDown(control, from.X, from.Y, mbLeft, shift);
    steps = std::max(steps, 1);
    for (Integer i = 1; i <= steps; ++i)
        MouseMove(control, from.X + (to.X - from.X) * i / steps, from.Y + (to.Y - from.Y) * i / steps,
                  shift + ssLeft);
    MouseUp(control, to.X, to.Y, mbLeft, shift);
}

void THeadlessHost::Wheel(TControl* control, Integer x, Integer y, Integer delta, TShiftState shift) {
    Queue(control, WM_MOUSEWHEEL, MakeWParam(static_cast<Word>(MouseKeys(shift)), static_cast<Word>(delta)),
          {x, y}, shift);
    Flush();
}

THostWindow THeadlessHost::KeyboardWindow() const {
    return FFocus;
}

void THeadlessHost::QueueKey(THostWindow window, UINT msg, WPARAM wParam, LPARAM lParam, TShiftState shift) {
    TEvent e;
    e.Window = window;
    e.Message = {msg, wParam, lParam, 0};
    e.Shift = shift;
    e.SetsShift = true;
    FEvents.push_back(e);
}

void THeadlessHost::KeyPressOnly(Word key, TShiftState shift) {
    const THostWindow window = KeyboardWindow();
    if (!window) return;
    const bool alt = shift.Contains(ssAlt);
    QueueKey(window, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, alt ? KF_ALTDOWN_MASK | 1 : 1, shift);
    Flush();
}

void THeadlessHost::KeyDown(Word key, TShiftState shift) {
    const THostWindow window = KeyboardWindow();
    if (!window) return;
    const bool alt = shift.Contains(ssAlt);
    const LPARAM data = alt ? KF_ALTDOWN_MASK | 1 : 1;
    QueueKey(window, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, data, shift);
    if (const Char ch = alt ? Char{0} : CharOfKey(key, shift)) QueueKey(window, WM_CHAR, ch, data, shift);
    QueueKey(window, alt ? WM_SYSKEYUP : WM_KEYUP, key, data | KF_UP_MASK | KF_REPEAT_MASK, shift);
    TEvent release;
    release.Window = window;
    release.Message = {WM_NULL, 0, 0, 0};
    release.SetsShift = true; // modifiers are released after the key
    FEvents.push_back(release);
    Flush();
}

void THeadlessHost::TypeText(const String& text) {
    const THostWindow window = KeyboardWindow();
    if (!window) return;
    for (Char ch : text)
        QueueKey(window, WM_CHAR, ch, 1, FShift);
    Flush();
}

void THeadlessHost::Activate(THostWindow window) {
    FFocus = 0;
    FocusHostWindow(window);
    Flush();
}

void THeadlessHost::RequestClose(THostWindow window) {
    TEvent e;
    e.Window = window;
    e.Message = {WM_CLOSE, 0, 0, 0};
    FEvents.push_back(e);
    Flush();
}

} // namespace mv
