// The SDL2 host: windows presented through streaming textures, SDL events translated to
// the host messages, SDL's clock and clipboard.
#include "platform/host/SdlHost.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Utf8.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <vector>

namespace mv {

namespace {

// Events handled per PumpEvents call at most, so that handlers which cause new SDL
// events (a resize answering a resize) cannot keep one call going for ever.
constexpr int MaxEventsPerPump = 1000;

[[noreturn]] void RaiseSdlError(const char* what) {
    throw EInvalidOperation(UTF8ToString(std::string(what) + ": " + SDL_GetError()));
}

// Virtual key of an SDL key. Letters, digits and punctuation follow the layout's keycode
// (as the framework's virtual keys do); keys whose keycode is not ASCII (letters of other
// alphabets) fall back to the physical key.
Word VirtualKeyOf(const SDL_Keysym& key) {
    const SDL_Keycode sym = key.sym;
    if (sym >= SDLK_a && sym <= SDLK_z) return static_cast<Word>('A' + (sym - SDLK_a));
    if (sym >= SDLK_0 && sym <= SDLK_9) return static_cast<Word>('0' + (sym - SDLK_0));
    if (sym >= SDLK_F1 && sym <= SDLK_F12) return static_cast<Word>(VK_F1 + (sym - SDLK_F1));
    const bool numLock = (key.mod & KMOD_NUM) != 0;
    switch (sym) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_END:
        return VK_END;
    case SDLK_PAGEUP:
        return VK_PRIOR;
    case SDLK_PAGEDOWN:
        return VK_NEXT;
    case SDLK_INSERT:
        return VK_INSERT;
    case SDLK_DELETE:
        return VK_DELETE;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
        return VK_MENU;
    case SDLK_LGUI:
        return VK_LWIN;
    case SDLK_RGUI:
        return VK_RWIN;
    case SDLK_APPLICATION:
        return VK_APPS;
    case SDLK_CAPSLOCK:
        return VK_CAPITAL;
    case SDLK_NUMLOCKCLEAR:
        return VK_NUMLOCK;
    case SDLK_SCROLLLOCK:
        return VK_SCROLL;
    case SDLK_PAUSE:
        return VK_PAUSE;
    case SDLK_PRINTSCREEN:
        return VK_SNAPSHOT;
    case SDLK_HELP:
        return VK_HELP;
    case SDLK_CLEAR:
        return VK_CLEAR;
    case SDLK_KP_PLUS:
        return VK_ADD;
    case SDLK_KP_MINUS:
        return VK_SUBTRACT;
    case SDLK_KP_MULTIPLY:
        return VK_MULTIPLY;
    case SDLK_KP_DIVIDE:
        return VK_DIVIDE;
    // Without Num Lock the keypad is the navigation block, as on the framework's home system.
    case SDLK_KP_PERIOD:
        return numLock ? VK_DECIMAL : VK_DELETE;
    case SDLK_KP_0:
        return numLock ? VK_NUMPAD0 : VK_INSERT;
    case SDLK_KP_1:
        return numLock ? VK_NUMPAD1 : VK_END;
    case SDLK_KP_2:
        return numLock ? VK_NUMPAD2 : VK_DOWN;
    case SDLK_KP_3:
        return numLock ? VK_NUMPAD3 : VK_NEXT;
    case SDLK_KP_4:
        return numLock ? VK_NUMPAD4 : VK_LEFT;
    case SDLK_KP_5:
        return numLock ? VK_NUMPAD5 : VK_CLEAR;
    case SDLK_KP_6:
        return numLock ? VK_NUMPAD6 : VK_RIGHT;
    case SDLK_KP_7:
        return numLock ? VK_NUMPAD7 : VK_HOME;
    case SDLK_KP_8:
        return numLock ? VK_NUMPAD8 : VK_UP;
    case SDLK_KP_9:
        return numLock ? VK_NUMPAD9 : VK_PRIOR;
    case SDLK_SEMICOLON:
        return VK_OEM_1;
    case SDLK_EQUALS:
        return VK_OEM_PLUS;
    case SDLK_COMMA:
        return VK_OEM_COMMA;
    case SDLK_MINUS:
        return VK_OEM_MINUS;
    case SDLK_PERIOD:
        return VK_OEM_PERIOD;
    case SDLK_SLASH:
        return VK_OEM_2;
    case SDLK_BACKQUOTE:
        return VK_OEM_3;
    case SDLK_LEFTBRACKET:
        return VK_OEM_4;
    case SDLK_BACKSLASH:
        return VK_OEM_5;
    case SDLK_RIGHTBRACKET:
        return VK_OEM_6;
    case SDLK_QUOTE:
        return VK_OEM_7;
    default:
        break;
    }
    const SDL_Scancode sc = key.scancode;
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return static_cast<Word>('A' + (sc - SDL_SCANCODE_A));
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return static_cast<Word>('1' + (sc - SDL_SCANCODE_1));
    if (sc == SDL_SCANCODE_0) return '0';
    switch (sc) {
    case SDL_SCANCODE_SEMICOLON:
        return VK_OEM_1;
    case SDL_SCANCODE_EQUALS:
        return VK_OEM_PLUS;
    case SDL_SCANCODE_COMMA:
        return VK_OEM_COMMA;
    case SDL_SCANCODE_MINUS:
        return VK_OEM_MINUS;
    case SDL_SCANCODE_PERIOD:
        return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH:
        return VK_OEM_2;
    case SDL_SCANCODE_GRAVE:
        return VK_OEM_3;
    case SDL_SCANCODE_LEFTBRACKET:
        return VK_OEM_4;
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSBACKSLASH:
        return VK_OEM_5;
    case SDL_SCANCODE_RIGHTBRACKET:
        return VK_OEM_6;
    case SDL_SCANCODE_APOSTROPHE:
        return VK_OEM_7;
    default:
        return 0;
    }
}

// The character a key types that SDL's text input leaves out (it only reports
// printable text): Enter, Esc, Backspace, Tab and Ctrl+letter control codes.
Char ControlCharOf(Word vk, Uint16 mod) {
    const bool ctrl = (mod & KMOD_CTRL) != 0;
    if (ctrl && vk >= 'A' && vk <= 'Z') return static_cast<Char>(vk - 'A' + 1);
    if (ctrl) return 0;
    switch (vk) {
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

// Left Alt makes system keys; right Alt is AltGr on most layouts and types characters.
bool IsSystemKey(Uint16 mod) {
    return (mod & KMOD_LALT) != 0 && (mod & KMOD_CTRL) == 0;
}

SDL_SystemCursor SystemCursorOf(TCursor cursor) {
    switch (cursor) {
    case crIBeam:
        return SDL_SYSTEM_CURSOR_IBEAM;
    case crCross:
        return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case crSizeNESW:
        return SDL_SYSTEM_CURSOR_SIZENESW;
    case crSizeNWSE:
        return SDL_SYSTEM_CURSOR_SIZENWSE;
    case crSizeNS:
    case crVSplit:
        return SDL_SYSTEM_CURSOR_SIZENS;
    case crSizeWE:
    case crHSplit:
        return SDL_SYSTEM_CURSOR_SIZEWE;
    case crSizeAll:
        return SDL_SYSTEM_CURSOR_SIZEALL;
    case crHourGlass:
    case crSQLWait:
        return SDL_SYSTEM_CURSOR_WAIT;
    case crAppStart:
        return SDL_SYSTEM_CURSOR_WAITARROW;
    case crNo:
    case crNoDrop:
        return SDL_SYSTEM_CURSOR_NO;
    case crHandPoint:
        return SDL_SYSTEM_CURSOR_HAND;
    default:
        return SDL_SYSTEM_CURSOR_ARROW;
    }
}

} // namespace

// [SECTION] State
struct TSdlHost::TImpl {
    struct TWindow {
        SDL_Window* Window = nullptr;
        SDL_Renderer* Renderer = nullptr;
        SDL_Texture* Texture = nullptr;
        THostWindowParams Params;
        std::vector<std::uint32_t> Pixels;
        bool Visible = false;
        Integer Presents = 0;
    };

    TSdlHost& Host;
    std::map<THostWindow, TWindow> Windows;
    THostWindow Focus = 0;
    THostWindow Capture = 0;
    Uint32 WakeEvent = 0;
    Uint16 Mod = KMOD_NONE;       // modifiers of the last key event
    Uint32 Buttons = 0;           // SDL_BUTTON masks held
    std::array<bool, 256> Down{}; // virtual keys held
    double Scale = 1.0;
    std::map<SDL_SystemCursor, SDL_Cursor*> Cursors;

    explicit TImpl(TSdlHost& host) : Host(host) {}

    TWindow* Find(THostWindow id) {
        auto it = Windows.find(id);
        return it == Windows.end() ? nullptr : &it->second;
    }
    const TWindow* Find(THostWindow id) const {
        auto it = Windows.find(id);
        return it == Windows.end() ? nullptr : &it->second;
    }

    void Deliver(THostWindow id, UINT msg, WPARAM wParam, LPARAM lParam) {
        TMessage m{msg, wParam, lParam, 0};
        Host.Deliver(id, m);
    }

    // Resizes the buffer and the texture to the window's bounds.
    void Allocate(TWindow& w) {
        const int width = std::max(w.Params.Bounds.Width(), 0);
        const int height = std::max(w.Params.Bounds.Height(), 0);
        w.Pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0xFF000000u);
        if (w.Texture) SDL_DestroyTexture(w.Texture);
        w.Texture = nullptr;
        if (width == 0 || height == 0 || !w.Renderer) return;
        w.Texture = SDL_CreateTexture(w.Renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                      width, height);
        // Alpha is Cairo's coverage, not a request to blend with what is behind the window.
        if (w.Texture) SDL_SetTextureBlendMode(w.Texture, SDL_BLENDMODE_NONE);
    }

    // Uploads rect of the buffer and shows the whole texture.
    void Present(TWindow& w, const TRect& rect) {
        const int width = w.Params.Bounds.Width(), height = w.Params.Bounds.Height();
        if (!w.Texture || w.Pixels.empty()) return;
        const int left = std::clamp(rect.Left, 0, width), top = std::clamp(rect.Top, 0, height);
        const int right = std::clamp(rect.Right, 0, width), bottom = std::clamp(rect.Bottom, 0, height);
        if (right > left && bottom > top) {
            const SDL_Rect r{left, top, right - left, bottom - top};
            SDL_UpdateTexture(w.Texture, &r,
                              w.Pixels.data() + static_cast<size_t>(top) * static_cast<size_t>(width) +
                                  static_cast<size_t>(left),
                              width * 4);
        }
        ++w.Presents;
        if (!w.Visible) return;
        // The back buffer is undefined after each present, so the whole texture goes out.
        SDL_RenderCopy(w.Renderer, w.Texture, nullptr, nullptr);
        SDL_RenderPresent(w.Renderer);
        // Device pixels per logical one: the drawable against the window's logical size.
        int outW = 0, outH = 0, logicalW = 0, logicalH = 0;
        SDL_GetWindowSize(w.Window, &logicalW, &logicalH);
        if (SDL_GetRendererOutputSize(w.Renderer, &outW, &outH) == 0 && logicalW > 0 && outW > 0)
            Scale = static_cast<double>(outW) / logicalW;
    }

    WPARAM MouseKeys() const {
        WPARAM keys = 0;
        if (Buttons & SDL_BUTTON_LMASK) keys |= MK_LBUTTON;
        if (Buttons & SDL_BUTTON_RMASK) keys |= MK_RBUTTON;
        if (Buttons & SDL_BUTTON_MMASK) keys |= MK_MBUTTON;
        if (Mod & KMOD_SHIFT) keys |= MK_SHIFT;
        if (Mod & KMOD_CTRL) keys |= MK_CONTROL;
        return keys;
    }

    TPoint WindowOrigin(THostWindow id) const {
        const TWindow* w = Find(id);
        return w ? TPoint{w->Params.Bounds.Left, w->Params.Bounds.Top} : TPoint{0, 0};
    }

    // Which window gets a mouse event that SDL reported for source at (x, y), and where
    // in it: the capturing window gets everything, in its own client coordinates.
    bool MouseTarget(Uint32 source, int x, int y, THostWindow& target, TPoint& client) const {
        if (Capture && Find(Capture)) {
            TPoint screen{x, y};
            if (Find(source)) {
                const TPoint o = WindowOrigin(source);
                screen = {o.X + x, o.Y + y};
            } else {
                SDL_GetGlobalMouseState(&screen.X, &screen.Y);
            }
            const TPoint c = WindowOrigin(Capture);
            target = Capture;
            client = {screen.X - c.X, screen.Y - c.Y};
            return true;
        }
        if (!Find(source)) return false;
        target = source;
        client = {x, y};
        return true;
    }

    THostWindow KeyTarget(Uint32 source) const { return Find(source) ? source : Focus; }

    void SetFocus(THostWindow id) {
        if (Focus == id) return;
        const THostWindow old = Focus;
        Focus = id;
        if (old && Find(old)) Deliver(old, WM_ACTIVATE, 0, 0);
        if (id) Deliver(id, WM_ACTIVATE, 1, 0);
    }

    void Key(const SDL_KeyboardEvent& e);
    void Text(const SDL_TextInputEvent& e);
    void Button(const SDL_MouseButtonEvent& e);
    void Motion(const SDL_MouseMotionEvent& e);
    void Wheel(const SDL_MouseWheelEvent& e);
    void WindowEvent(const SDL_WindowEvent& e);
    bool Translate(const SDL_Event& e);
};

// [SECTION] Event translation
void TSdlHost::TImpl::Key(const SDL_KeyboardEvent& e) {
    Mod = e.keysym.mod;
    const Word vk = VirtualKeyOf(e.keysym);
    const bool down = e.type == SDL_KEYDOWN;
    if (vk) Down[vk] = down;
    // Which side of a modifier is held, for GetKeyState(VK_LSHIFT) and friends.
    switch (e.keysym.sym) {
    case SDLK_LSHIFT:
        Down[VK_LSHIFT] = down;
        break;
    case SDLK_RSHIFT:
        Down[VK_RSHIFT] = down;
        break;
    case SDLK_LCTRL:
        Down[VK_LCONTROL] = down;
        break;
    case SDLK_RCTRL:
        Down[VK_RCONTROL] = down;
        break;
    case SDLK_LALT:
        Down[VK_LMENU] = down;
        break;
    case SDLK_RALT:
        Down[VK_RMENU] = down;
        break;
    default:
        break;
    }
    if (!vk) return;
    const THostWindow target = KeyTarget(e.windowID);
    if (!target) return;
    const bool sys = IsSystemKey(Mod) || (vk == VK_MENU && e.keysym.sym == SDLK_LALT);
    LPARAM data = 1 | (static_cast<LPARAM>(e.keysym.scancode & 0xFF) << 16);
    if (Mod & KMOD_ALT) data |= KF_ALTDOWN_MASK;
    if (down) {
        if (e.repeat) data |= KF_REPEAT_MASK;
        Deliver(target, sys ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, data);
        if (!sys) {
            if (const Char ch = ControlCharOf(vk, Mod)) Deliver(target, WM_CHAR, ch, data);
        }
    } else {
        data |= KF_REPEAT_MASK | KF_UP_MASK;
        Deliver(target, sys ? WM_SYSKEYUP : WM_KEYUP, vk, data);
    }
}

void TSdlHost::TImpl::Text(const SDL_TextInputEvent& e) {
    const THostWindow target = KeyTarget(e.windowID);
    if (!target) return;
    // Ctrl+key types nothing but its control code (sent with the key); left Alt makes
    // the menu's accelerator characters.
    const bool ctrl = (Mod & KMOD_CTRL) && !(Mod & KMOD_ALT);
    if (ctrl) return;
    const UINT msg = IsSystemKey(Mod) ? WM_SYSCHAR : WM_CHAR;
    for (Char ch : UTF8ToString(e.text))
        Deliver(target, msg, ch, 1);
}

void TSdlHost::TImpl::Button(const SDL_MouseButtonEvent& e) {
    Uint32 mask = 0;
    UINT downMsg = 0, dblMsg = 0, upMsg = 0;
    switch (e.button) {
    case SDL_BUTTON_LEFT:
        mask = SDL_BUTTON_LMASK, downMsg = WM_LBUTTONDOWN, dblMsg = WM_LBUTTONDBLCLK, upMsg = WM_LBUTTONUP;
        break;
    case SDL_BUTTON_RIGHT:
        mask = SDL_BUTTON_RMASK, downMsg = WM_RBUTTONDOWN, dblMsg = WM_RBUTTONDBLCLK, upMsg = WM_RBUTTONUP;
        break;
    case SDL_BUTTON_MIDDLE:
        mask = SDL_BUTTON_MMASK, downMsg = WM_MBUTTONDOWN, dblMsg = WM_MBUTTONDBLCLK, upMsg = WM_MBUTTONUP;
        break;
    default:
        return; // side buttons have no message here
    }
    const bool down = e.type == SDL_MOUSEBUTTONDOWN;
    if (down)
        Buttons |= mask;
    else
        Buttons &= ~mask;
    THostWindow target = 0;
    TPoint p;
    if (!MouseTarget(e.windowID, e.x, e.y, target, p)) return;
    // SDL counts clicks; every second one completes a double click (the third starts anew).
    const UINT msg = !down ? upMsg : (e.clicks >= 2 && e.clicks % 2 == 0) ? dblMsg : downMsg;
    Deliver(target, msg, MouseKeys(), PointToLParam(p.X, p.Y));
}

void TSdlHost::TImpl::Motion(const SDL_MouseMotionEvent& e) {
    Buttons = e.state;
    THostWindow target = 0;
    TPoint p;
    if (!MouseTarget(e.windowID, e.x, e.y, target, p)) return;
    Deliver(target, WM_MOUSEMOVE, MouseKeys(), PointToLParam(p.X, p.Y));
}

void TSdlHost::TImpl::Wheel(const SDL_MouseWheelEvent& e) {
    const THostWindow source = Find(e.windowID) ? e.windowID : Focus;
    const THostWindow target = Capture && Find(Capture) ? Capture : source;
    if (!target) return;
    const double sign = e.direction == SDL_MOUSEWHEEL_FLIPPED ? -1.0 : 1.0;
    const double dy = e.preciseY != 0.0f ? e.preciseY : static_cast<double>(e.y);
    const double dx = e.preciseX != 0.0f ? e.preciseX : static_cast<double>(e.x);
    const TPoint o = WindowOrigin(source);
    const LPARAM where = PointToLParam(o.X + e.mouseX, o.Y + e.mouseY);
    const Word keys = static_cast<Word>(MouseKeys());
    if (const long delta = std::lround(dy * sign * WHEEL_DELTA))
        Deliver(target, WM_MOUSEWHEEL, MakeWParam(keys, static_cast<Word>(static_cast<std::int16_t>(delta))),
                where);
    if (const long delta = std::lround(dx * sign * WHEEL_DELTA))
        Deliver(target, WM_MOUSEHWHEEL, MakeWParam(keys, static_cast<Word>(static_cast<std::int16_t>(delta))),
                where);
}

void TSdlHost::TImpl::WindowEvent(const SDL_WindowEvent& e) {
    TWindow* w = Find(e.windowID);
    if (!w) return;
    const THostWindow id = e.windowID;
    switch (e.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        // Our own SetHostWindowBounds comes back here too; only a real change is news.
        if (e.data1 != w->Params.Bounds.Width() || e.data2 != w->Params.Bounds.Height()) {
            w->Params.Bounds.Right = w->Params.Bounds.Left + e.data1;
            w->Params.Bounds.Bottom = w->Params.Bounds.Top + e.data2;
            Allocate(*w);
            Deliver(id, WM_SIZE, SIZE_RESTORED,
                    MakeLParam(static_cast<Word>(e.data1), static_cast<Word>(e.data2)));
        }
        break;
    case SDL_WINDOWEVENT_MOVED:
        if (e.data1 != w->Params.Bounds.Left || e.data2 != w->Params.Bounds.Top) {
            OffsetRect(w->Params.Bounds, e.data1 - w->Params.Bounds.Left, e.data2 - w->Params.Bounds.Top);
            Deliver(id, WM_MOVE, 0, PointToLParam(e.data1, e.data2));
        }
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        // The pixels are still in the buffer: show them again without a repaint.
        Present(*w, {0, 0, w->Params.Bounds.Width(), w->Params.Bounds.Height()});
        break;
    case SDL_WINDOWEVENT_CLOSE:
        Deliver(id, WM_CLOSE, 0, 0);
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        if (w->Params.Kind != hwToolTip) SetFocus(id);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        if (Focus == id) {
            Focus = 0;
            Deliver(id, WM_ACTIVATE, 0, 0);
        }
        break;
    case SDL_WINDOWEVENT_LEAVE:
        Deliver(id, WM_MOUSELEAVE, 0, 0);
        break;
    default:
        break;
    }
}

bool TSdlHost::TImpl::Translate(const SDL_Event& e) {
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        Key(e.key);
        return true;
    case SDL_TEXTINPUT:
        Text(e.text);
        return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (e.button.which == SDL_TOUCH_MOUSEID) return false; // touch arrives as a mouse already
        Button(e.button);
        return true;
    case SDL_MOUSEMOTION:
        if (e.motion.which == SDL_TOUCH_MOUSEID) return false;
        Motion(e.motion);
        return true;
    case SDL_MOUSEWHEEL:
        Wheel(e.wheel);
        return true;
    case SDL_WINDOWEVENT:
        WindowEvent(e.window);
        return true;
    default:
        // SDL_QUIT is not acted on: closing is the windows' WM_CLOSE, decided by the forms.
        return false;
    }
}

// [SECTION] Life time
TSdlHost::TSdlHost() : FImpl(std::make_unique<TImpl>(*this)) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // A click that activates a window is also a click in it.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) RaiseSdlError("Cannot start SDL video");
    FImpl->WakeEvent = SDL_RegisterEvents(1);
    SDL_StartTextInput();
}

TSdlHost::~TSdlHost() {
    if (CurrentHost() == this) InstallHost(nullptr);
    for (auto& [id, w] : FImpl->Windows) {
        if (w.Texture) SDL_DestroyTexture(w.Texture);
        if (w.Renderer) SDL_DestroyRenderer(w.Renderer);
        SDL_DestroyWindow(w.Window);
    }
    for (auto& [shape, cursor] : FImpl->Cursors)
        SDL_FreeCursor(cursor);
    SDL_StopTextInput();
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

// [SECTION] Windows
THostWindow TSdlHost::CreateHostWindow(const THostWindowParams& params) {
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
    switch (params.Kind) {
    case hwMain:
        if (params.Sizeable) flags |= SDL_WINDOW_RESIZABLE;
        break;
    case hwPopup:
        // Override-redirect on X11: placed exactly where asked, even across the owner's edge.
        flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR |
                 SDL_WINDOW_ALWAYS_ON_TOP;
        break;
    case hwToolTip:
        flags |=
            SDL_WINDOW_BORDERLESS | SDL_WINDOW_TOOLTIP | SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_ALWAYS_ON_TOP;
        break;
    }
    const TRect& b = params.Bounds;
    SDL_Window* window = SDL_CreateWindow(UTF8Encode(params.Caption).c_str(), b.Left, b.Top,
                                          std::max(b.Width(), 1), std::max(b.Height(), 1), flags);
    if (!window) RaiseSdlError("Cannot create a window");
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, 0);
    if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer) {
        SDL_DestroyWindow(window);
        RaiseSdlError("Cannot create a renderer");
    }
    const THostWindow id = SDL_GetWindowID(window);
    TImpl::TWindow& w = FImpl->Windows[id];
    w.Window = window;
    w.Renderer = renderer;
    w.Params = params;
    FImpl->Allocate(w);
    return id;
}

void TSdlHost::DestroyHostWindow(THostWindow window) {
    TImpl::TWindow* w = FImpl->Find(window);
    if (!w) return;
    if (FImpl->Capture == window) CaptureMouse(0);
    if (FImpl->Focus == window) FImpl->Focus = 0;
    if (w->Texture) SDL_DestroyTexture(w->Texture);
    SDL_DestroyRenderer(w->Renderer);
    SDL_DestroyWindow(w->Window);
    // Events still queued for it find no window and are dropped (SDL never reuses ids).
    FImpl->Windows.erase(window);
}

void TSdlHost::ShowHostWindow(THostWindow window, bool visible) {
    TImpl::TWindow* w = FImpl->Find(window);
    if (!w) return;
    w->Visible = visible;
    if (visible) {
        SDL_ShowWindow(w->Window);
        FImpl->Present(*w, {0, 0, w->Params.Bounds.Width(), w->Params.Bounds.Height()});
        return;
    }
    SDL_HideWindow(w->Window);
    if (FImpl->Focus == window) {
        FImpl->Focus = 0;
        FImpl->Deliver(window, WM_ACTIVATE, 0, 0);
    }
}

void TSdlHost::SetHostWindowBounds(THostWindow window, const TRect& screenBounds) {
    TImpl::TWindow* w = FImpl->Find(window);
    if (!w) return;
    const TRect old = w->Params.Bounds;
    w->Params.Bounds = screenBounds;
    if (old.Left != screenBounds.Left || old.Top != screenBounds.Top)
        SDL_SetWindowPosition(w->Window, screenBounds.Left, screenBounds.Top);
    if (old.Width() != screenBounds.Width() || old.Height() != screenBounds.Height()) {
        SDL_SetWindowSize(w->Window, std::max(screenBounds.Width(), 1), std::max(screenBounds.Height(), 1));
        FImpl->Allocate(*w);
    }
}

void TSdlHost::SetHostWindowCaption(THostWindow window, const String& caption) {
    if (TImpl::TWindow* w = FImpl->Find(window)) {
        w->Params.Caption = caption;
        SDL_SetWindowTitle(w->Window, UTF8Encode(caption).c_str());
    }
}

TPixelBuffer TSdlHost::HostWindowPixels(THostWindow window) {
    TImpl::TWindow* w = FImpl->Find(window);
    if (!w || w->Pixels.empty()) return {};
    return {w->Pixels.data(), w->Params.Bounds.Width(), w->Params.Bounds.Height(),
            w->Params.Bounds.Width() * 4};
}

void TSdlHost::PresentHostWindow(THostWindow window, const TRect& rect) {
    if (TImpl::TWindow* w = FImpl->Find(window)) FImpl->Present(*w, rect);
}

void TSdlHost::FocusHostWindow(THostWindow window) {
    TImpl::TWindow* w = FImpl->Find(window);
    if (!w || w->Params.Kind == hwToolTip) return;
    if (w->Visible) {
        SDL_RaiseWindow(w->Window);
        // Without a window manager (Xvfb, kiosks) nobody else gives the focus; an unmapped
        // window cannot take it, so only a shown one asks.
        SDL_SetWindowInputFocus(w->Window);
    }
    // SDL reports the change later (or never, on the dummy driver); the application
    // learns it now, and the echo finds the focus already there.
    FImpl->SetFocus(window);
}

void TSdlHost::CaptureMouse(THostWindow window) {
    FImpl->Capture = FImpl->Find(window) ? window : 0;
    // Fails when SDL has no mouse focus (or the driver cannot): routing still follows Capture.
    SDL_CaptureMouse(FImpl->Capture ? SDL_TRUE : SDL_FALSE);
}

void TSdlHost::SetCursorShape(TCursor cursor) {
    if (cursor == crNone) {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    SDL_ShowCursor(SDL_ENABLE);
    const SDL_SystemCursor shape = SystemCursorOf(cursor);
    SDL_Cursor*& c = FImpl->Cursors[shape];
    if (!c) c = SDL_CreateSystemCursor(shape);
    if (c) SDL_SetCursor(c);
}

// [SECTION] Events and time
bool TSdlHost::PumpEvents(Integer timeoutMs) {
    SDL_Event e;
    bool have = SDL_PollEvent(&e) != 0;
    if (!have && timeoutMs > 0) have = SDL_WaitEventTimeout(&e, timeoutMs) != 0;
    bool delivered = false;
    for (int n = 0; have; ++n) {
        if (e.type != FImpl->WakeEvent && FImpl->Translate(e)) delivered = true;
        // Checked before polling: an event taken off SDL's queue must be delivered, or a
        // lost button or key release would leave a drag or a key stuck.
        if (n + 1 >= MaxEventsPerPump) break;
        have = SDL_PollEvent(&e) != 0;
    }
    return delivered;
}

void TSdlHost::Wake() {
    if (FImpl->WakeEvent == static_cast<Uint32>(-1)) return;
    SDL_Event e{};
    e.type = FImpl->WakeEvent;
    SDL_PushEvent(&e);
}

std::uint64_t TSdlHost::TickCount() const {
    return SDL_GetTicks64();
}

// [SECTION] Clipboard, screen, keyboard
String TSdlHost::ClipboardText() {
    char* text = SDL_GetClipboardText();
    if (!text) return {};
    String result = UTF8ToString(text);
    SDL_free(text);
    return result;
}

void TSdlHost::SetClipboardText(const String& text) {
    SDL_SetClipboardText(UTF8Encode(text).c_str());
}

bool TSdlHost::HasClipboardText() {
    return SDL_HasClipboardText() == SDL_TRUE;
}

TRect TSdlHost::ScreenRect() const {
    SDL_Rect r{0, 0, 0, 0};
    if (SDL_GetDisplayBounds(0, &r) != 0) return {0, 0, 1024, 768};
    return {r.x, r.y, r.x + r.w, r.y + r.h};
}

TRect TSdlHost::WorkAreaRect() const {
    SDL_Rect r{0, 0, 0, 0};
    if (SDL_GetDisplayUsableBounds(0, &r) != 0) return ScreenRect();
    return {r.x, r.y, r.x + r.w, r.y + r.h};
}

double TSdlHost::ScaleFactor() const {
    return FImpl->Scale;
}

std::int16_t TSdlHost::KeyState(Word virtualKey) const {
    const TImpl& s = *FImpl;
    auto state = [](bool down, bool toggled = false) -> std::int16_t {
        return static_cast<std::int16_t>((down ? KEY_DOWN_MASK : 0) | (toggled ? KEY_TOGGLED_MASK : 0));
    };
    switch (virtualKey) {
    case VK_LBUTTON:
        return state((s.Buttons & SDL_BUTTON_LMASK) != 0);
    case VK_RBUTTON:
        return state((s.Buttons & SDL_BUTTON_RMASK) != 0);
    case VK_MBUTTON:
        return state((s.Buttons & SDL_BUTTON_MMASK) != 0);
    case VK_SHIFT:
        return state((s.Mod & KMOD_SHIFT) != 0);
    case VK_CONTROL:
        return state((s.Mod & KMOD_CTRL) != 0);
    case VK_MENU:
        return state((s.Mod & KMOD_ALT) != 0);
    case VK_CAPITAL:
        return state(s.Down[VK_CAPITAL], (s.Mod & KMOD_CAPS) != 0);
    case VK_NUMLOCK:
        return state(s.Down[VK_NUMLOCK], (s.Mod & KMOD_NUM) != 0);
    case VK_SCROLL:
        return state(s.Down[VK_SCROLL], (s.Mod & KMOD_SCROLL) != 0);
    default:
        return virtualKey < s.Down.size() ? state(s.Down[virtualKey]) : 0;
    }
}

// [SECTION] Inspection
String TSdlHost::VideoDriver() const {
    const char* name = SDL_GetCurrentVideoDriver();
    return name ? UTF8ToString(name) : String{};
}

THostWindow TSdlHost::FocusedWindow() const {
    return FImpl->Focus;
}

TRect TSdlHost::WindowBounds(THostWindow window) const {
    const TImpl::TWindow* w = FImpl->Find(window);
    if (!w) return {};
    int x = 0, y = 0, width = 0, height = 0;
    SDL_GetWindowPosition(w->Window, &x, &y);
    SDL_GetWindowSize(w->Window, &width, &height);
    return {x, y, x + width, y + height};
}

bool TSdlHost::WindowVisible(THostWindow window) const {
    const TImpl::TWindow* w = FImpl->Find(window);
    return w && (SDL_GetWindowFlags(w->Window) & SDL_WINDOW_SHOWN) != 0;
}

Integer TSdlHost::PresentCount(THostWindow window) const {
    const TImpl::TWindow* w = FImpl->Find(window);
    return w ? w->Presents : 0;
}

} // namespace mv
