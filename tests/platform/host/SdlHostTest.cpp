// The SDL2 host with real SDL windows: pushed SDL events on the dummy driver, and real
// X input (xdotool) through an Xvfb server the test starts itself.
#include "platform/host/SdlHost.h"

#include "platform/vcl/Forms.h"

#include <SDL.h>
#include "support/Xvfb.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace mv;
using mv::test::OnPath;
using mv::test::PinXLibraries;
using mv::test::TXvfb;

namespace {

struct TLogged {
    UINT Msg;
    WPARAM WParam;
    Integer X, Y;
};

// A window control that keeps the input messages it gets, with positions decoded.
class TInputProbe : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<TLogged> Log;

    void WndProc(TMessage& m) override {
        const bool key = m.Msg >= WM_KEYFIRST && m.Msg <= WM_KEYLAST;
        const bool mouse = m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST && m.Msg != WM_MOUSEMOVE;
        if (key || mouse) Log.push_back({m.Msg, m.WParam, LParamX(m.LParam), LParamY(m.LParam)});
        TCustomControl::WndProc(m);
    }
    const TLogged* Find(UINT msg, WPARAM wParam) const {
        for (const TLogged& l : Log)
            if (l.Msg == msg && l.WParam == wParam) return &l;
        return nullptr;
    }
    const TLogged* Find(UINT msg) const {
        for (const TLogged& l : Log)
            if (l.Msg == msg) return &l;
        return nullptr;
    }
    std::vector<WPARAM> Chars() const {
        std::vector<WPARAM> out;
        for (const TLogged& l : Log)
            if (l.Msg == WM_CHAR) out.push_back(l.WParam);
        return out;
    }
};

void PushKey(Uint32 window, SDL_Keycode sym, SDL_Scancode scancode, Uint16 mod, bool down) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.windowID = window;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = sym;
    e.key.keysym.scancode = scancode;
    e.key.keysym.mod = mod;
    SDL_PushEvent(&e);
}

void PushText(Uint32 window, const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = window;
    SDL_strlcpy(e.text.text, utf8, sizeof(e.text.text));
    SDL_PushEvent(&e);
}

void PushButton(Uint32 window, Uint8 button, int x, int y, Uint8 clicks, bool down) {
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.windowID = window;
    e.button.button = button;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = clicks;
    e.button.x = x;
    e.button.y = y;
    SDL_PushEvent(&e);
}

void PushWindowEvent(Uint32 window, Uint8 event, int data1 = 0, int data2 = 0) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = window;
    e.window.event = event;
    e.window.data1 = data1;
    e.window.data2 = data2;
    SDL_PushEvent(&e);
}

std::string ReadCommand(const std::string& command) {
    std::string out;
    if (FILE* f = popen(command.c_str(), "r")) {
        char buf[256];
        while (fgets(buf, sizeof buf, f))
            out += buf;
        pclose(f);
    }
    return out;
}

} // namespace

TEST(SdlHost, DummyDriverWindowsAndPushedEventsArriveAsMessages) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    TSdlHost host;
    EXPECT_EQ(host.VideoDriver(), u"dummy");
    InstallHost(&host);
    // Goes before the host does, even when an assertion ends the test early.
    std::unique_ptr<TForm> form(new TForm(nullptr));
    form->SetBounds(40, 30, 320, 200);
    auto* probe = new TInputProbe(form.get());
    probe->SetBounds(20, 10, 200, 100);
    probe->SetParent(form.get());
    probe->SetTabStop(true);
    form->Show();
    Application->ProcessMessages();

    // A real window with a pixel buffer of the client size, painted and presented.
    const THostWindow win = HostWindowOf(form.get());
    ASSERT_NE(win, 0u);
    EXPECT_NE(SDL_GetWindowFromID(win), nullptr);
    EXPECT_TRUE(host.WindowVisible(win));
    const TPixelBuffer pixels = host.HostWindowPixels(win);
    EXPECT_EQ(pixels.Width, form->ClientWidth());
    EXPECT_EQ(pixels.Height, form->ClientHeight());
    EXPECT_GT(host.PresentCount(win), 0);
    EXPECT_EQ(host.WindowBounds(win), Rect(40, 30, 360, 230));

    probe->SetFocus();
    Application->ProcessMessages();
    ASSERT_TRUE(probe->Focused());
    EXPECT_EQ(host.FocusedWindow(), win);

    // A key with its typed text; keys whose characters SDL does not type.
    PushKey(win, SDLK_a, SDL_SCANCODE_A, KMOD_NONE, true);
    PushText(win, "a");
    PushKey(win, SDLK_a, SDL_SCANCODE_A, KMOD_NONE, false);
    PushKey(win, SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_NONE, true);
    PushKey(win, SDLK_F5, SDL_SCANCODE_F5, KMOD_NONE, true);
    PushKey(win, SDLK_LEFT, SDL_SCANCODE_LEFT, KMOD_NONE, true);
    PushKey(win, SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, KMOD_NONE, true);
    PushKey(win, SDLK_KP_5, SDL_SCANCODE_KP_5, KMOD_NUM, true);
    PushKey(win, SDLK_KP_8, SDL_SCANCODE_KP_8, KMOD_NONE, true);
    Application->ProcessMessages();
    ASSERT_FALSE(probe->Log.empty()) << "no key arrived";
    EXPECT_EQ(probe->Log[0].Msg, WM_KEYDOWN);
    EXPECT_EQ(probe->Log[0].WParam, WPARAM{'A'});
    EXPECT_NE(probe->Find(WM_KEYUP, 'A'), nullptr);
    EXPECT_NE(probe->Find(WM_KEYDOWN, VK_RETURN), nullptr);
    EXPECT_NE(probe->Find(WM_KEYDOWN, VK_F5), nullptr);
    EXPECT_NE(probe->Find(WM_KEYDOWN, VK_LEFT), nullptr);
    EXPECT_NE(probe->Find(WM_KEYDOWN, VK_OEM_1), nullptr);
    EXPECT_NE(probe->Find(WM_KEYDOWN, VK_NUMPAD5), nullptr);
    EXPECT_NE(probe->Find(WM_KEYDOWN, VK_UP), nullptr) << "keypad 8 without Num Lock is Up";
    EXPECT_EQ(probe->Chars(), (std::vector<WPARAM>{'a', 13}));

    // Modifiers: Ctrl+C types its control code only; left Alt makes system keys; the
    // key state follows what the events said is held.
    probe->Log.clear();
    PushKey(win, SDLK_LCTRL, SDL_SCANCODE_LCTRL, KMOD_LCTRL, true);
    PushKey(win, SDLK_c, SDL_SCANCODE_C, KMOD_LCTRL, true);
    PushText(win, "c");
    Application->ProcessMessages();
    EXPECT_NE(host.KeyState(VK_CONTROL) & KEY_DOWN_MASK, 0);
    EXPECT_NE(host.KeyState(VK_LCONTROL) & KEY_DOWN_MASK, 0);
    EXPECT_EQ(host.KeyState(VK_SHIFT) & KEY_DOWN_MASK, 0);
    PushKey(win, SDLK_c, SDL_SCANCODE_C, KMOD_LCTRL, false);
    PushKey(win, SDLK_LCTRL, SDL_SCANCODE_LCTRL, KMOD_NONE, false);
    PushKey(win, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LALT, true);
    PushKey(win, SDLK_f, SDL_SCANCODE_F, KMOD_LALT, true);
    PushText(win, "f");
    PushKey(win, SDLK_f, SDL_SCANCODE_F, KMOD_LALT, false);
    PushKey(win, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_NONE, false);
    Application->ProcessMessages();
    EXPECT_EQ(host.KeyState(VK_CONTROL) & KEY_DOWN_MASK, 0);
    EXPECT_NE(probe->Find(WM_KEYDOWN, 'C'), nullptr);
    EXPECT_EQ(probe->Chars(), (std::vector<WPARAM>{3}));
    const TLogged* sysKey = probe->Find(WM_SYSKEYDOWN, 'F');
    EXPECT_NE(sysKey, nullptr);
    EXPECT_EQ(probe->Find(WM_KEYDOWN, 'F'), nullptr);
    EXPECT_NE(probe->Find(WM_SYSKEYUP, VK_MENU), nullptr);

    // Text beyond ASCII: one WM_CHAR per UTF-16 code unit, surrogates in order.
    probe->Log.clear();
    PushText(win, "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"); // e-acute, euro sign, U+1F600
    Application->ProcessMessages();
    EXPECT_EQ(probe->Chars(), (std::vector<WPARAM>{0xE9, 0x20AC, 0xD83D, 0xDE00}));

    // Mouse: window coordinates become the probe's client coordinates; SDL's second
    // click is the double click, its third a plain press again.
    probe->Log.clear();
    PushButton(win, SDL_BUTTON_LEFT, 25, 16, 1, true);
    PushButton(win, SDL_BUTTON_LEFT, 25, 16, 1, false);
    PushButton(win, SDL_BUTTON_LEFT, 25, 16, 2, true);
    PushButton(win, SDL_BUTTON_LEFT, 25, 16, 2, false);
    PushButton(win, SDL_BUTTON_LEFT, 25, 16, 3, true);
    PushButton(win, SDL_BUTTON_LEFT, 25, 16, 3, false);
    PushButton(win, SDL_BUTTON_RIGHT, 30, 20, 1, true);
    PushButton(win, SDL_BUTTON_RIGHT, 30, 20, 1, false);
    Application->ProcessMessages();
    std::vector<UINT> mouse;
    for (const TLogged& l : probe->Log)
        mouse.push_back(l.Msg);
    EXPECT_EQ(mouse, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP,
                                        WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP}));
    ASSERT_FALSE(probe->Log.empty());
    EXPECT_EQ(probe->Log[0].X, 5);
    EXPECT_EQ(probe->Log[0].Y, 6);
    EXPECT_EQ(probe->Log[0].WParam & MK_LBUTTON, MK_LBUTTON);
    EXPECT_EQ(probe->Log[1].WParam & MK_LBUTTON, 0u) << "released";
    EXPECT_EQ(probe->Log.back().X, 10);

    // Wheel: one notch away from the user is +WHEEL_DELTA.
    probe->Log.clear();
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.windowID = win;
    wheel.wheel.y = 1;
    wheel.wheel.preciseY = 1.0f;
    wheel.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    wheel.wheel.mouseX = 50;
    wheel.wheel.mouseY = 40;
    SDL_PushEvent(&wheel);
    Application->ProcessMessages();
    const TLogged* w = probe->Find(WM_MOUSEWHEEL);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(static_cast<std::int16_t>(HiWord(w->WParam)), WHEEL_DELTA);

    // The user resizes: the form follows and the buffer has the new size.
    PushWindowEvent(win, SDL_WINDOWEVENT_SIZE_CHANGED, 500, 350);
    Application->ProcessMessages();
    EXPECT_EQ(form->ClientWidth(), 500);
    EXPECT_EQ(form->ClientHeight(), 350);
    EXPECT_EQ(host.HostWindowPixels(win).Width, 500);
    EXPECT_EQ(host.HostWindowPixels(win).Height, 350);

    // Losing the focus reaches the control; the close button asks the form.
    PushWindowEvent(win, SDL_WINDOWEVENT_FOCUS_LOST);
    Application->ProcessMessages();
    EXPECT_EQ(host.FocusedWindow(), 0u);
    bool asked = false;
    form->OnClose = [&](TObject*, TCloseAction& action) {
        asked = true;
        action = caHide;
    };
    PushWindowEvent(win, SDL_WINDOWEVENT_CLOSE);
    Application->ProcessMessages();
    EXPECT_TRUE(asked);
    EXPECT_FALSE(form->Visible());
    EXPECT_FALSE(host.WindowVisible(win));

    // Clipboard (inside the process on this driver), clock and wake-up.
    host.SetClipboardText(u"Gr\u00FC\u00DFe \u20AC");
    EXPECT_TRUE(host.HasClipboardText());
    EXPECT_EQ(host.ClipboardText(), u"Gr\u00FC\u00DFe \u20AC");
    const std::uint64_t before = host.TickCount();
    host.Wake();
    host.PumpEvents(20000);
    EXPECT_LT(host.TickCount() - before, 10000u) << "Wake ends the wait";
    EXPECT_EQ(host.ScaleFactor(), 1.0) << "no HiDPI on this driver";

    form.reset();
    InstallHost(nullptr);
}

TEST(SdlHost, PopupAndToolTipWindows) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    TSdlHost host;
    THostWindowParams main;
    main.Bounds = Rect(100, 100, 300, 200);
    main.Caption = u"Owner";
    const THostWindow owner = host.CreateHostWindow(main);
    THostWindowParams popup;
    popup.Kind = hwPopup;
    popup.Owner = owner;
    popup.Bounds = Rect(250, 180, 450, 400); // hangs over the owner's right and bottom edges
    const THostWindow drop = host.CreateHostWindow(popup);
    THostWindowParams tip;
    tip.Kind = hwToolTip;
    tip.Owner = owner;
    tip.Bounds = Rect(120, 210, 220, 230);
    const THostWindow hint = host.CreateHostWindow(tip);

    const Uint32 popupFlags = SDL_GetWindowFlags(SDL_GetWindowFromID(drop));
    EXPECT_NE(popupFlags & SDL_WINDOW_BORDERLESS, 0u);
    EXPECT_NE(popupFlags & SDL_WINDOW_POPUP_MENU, 0u);
    EXPECT_EQ(host.WindowBounds(drop), Rect(250, 180, 450, 400));
    EXPECT_NE(SDL_GetWindowFlags(SDL_GetWindowFromID(hint)) & SDL_WINDOW_TOOLTIP, 0u);
    EXPECT_FALSE(host.WindowVisible(drop)) << "created hidden";

    host.ShowHostWindow(owner, true);
    host.ShowHostWindow(hint, true);
    host.FocusHostWindow(owner);
    host.FocusHostWindow(hint);
    EXPECT_EQ(host.FocusedWindow(), owner) << "a tool tip never takes the focus";

    // Moving and resizing: the buffer follows, the pixels written there are presented.
    host.SetHostWindowBounds(drop, Rect(260, 190, 360, 240));
    EXPECT_EQ(host.WindowBounds(drop), Rect(260, 190, 360, 240));
    TPixelBuffer buf = host.HostWindowPixels(drop);
    ASSERT_EQ(buf.Width, 100);
    ASSERT_EQ(buf.Height, 50);
    buf.Row(10)[20] = 0xFF336699u;
    const Integer presents = host.PresentCount(drop);
    host.PresentHostWindow(drop, Rect(0, 0, 100, 50));
    EXPECT_EQ(host.PresentCount(drop), presents + 1);

    host.SetHostWindowCaption(owner, u"Caf\u00E9");
    EXPECT_STREQ(SDL_GetWindowTitle(SDL_GetWindowFromID(owner)), "Caf\xC3\xA9");
    host.DestroyHostWindow(drop);
    EXPECT_EQ(SDL_GetWindowFromID(drop), nullptr);
    EXPECT_EQ(host.HostWindowPixels(drop).Pixels, nullptr);
    host.DestroyHostWindow(hint);
    host.DestroyHostWindow(owner);
    EXPECT_EQ(host.FocusedWindow(), 0u);
}

TEST(SdlHost, RealKeyAndClickThroughXvfb) {
    if (!OnPath("Xvfb") || !OnPath("xdotool")) GTEST_SKIP() << "Xvfb or xdotool not installed";
    TXvfb server;
    if (server.Display().empty()) GTEST_SKIP() << "Xvfb did not start";
    setenv("DISPLAY", server.Display().c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    PinXLibraries();
    {
        TSdlHost host;
        ASSERT_EQ(host.VideoDriver(), u"x11");
        InstallHost(&host);
        // Goes before the host does, even when an assertion ends the test early.
        std::unique_ptr<TForm> form(new TForm(nullptr));
        form->SetBounds(100, 80, 300, 200);
        form->SetCaption(u"MvSdlHostXvfbProbe");
        auto* probe = new TInputProbe(form.get());
        probe->SetBounds(0, 0, 200, 150);
        probe->SetParent(form.get());
        probe->SetTabStop(true);
        form->Show();
        probe->SetFocus();
        Application->ProcessMessages();

        const std::string id =
            ReadCommand("xdotool search --name '^MvSdlHostXvfbProbe$' 2>/dev/null | head -n 1");
        ASSERT_FALSE(id.empty()) << "window not found on the X server";
        const std::string window = id.substr(0, id.find('\n'));
        EXPECT_EQ(std::system(("xdotool windowfocus --sync " + window).c_str()), 0);
        EXPECT_EQ(std::system("xdotool key a"), 0);
        EXPECT_EQ(std::system(("xdotool mousemove --window " + window + " 10 12 click 1").c_str()), 0);

        // Pump until both arrived, by the host's real clock.
        const std::uint64_t deadline = host.TickCount() + 10000;
        auto arrived = [&] { return probe->Find(WM_CHAR, 'a') && probe->Find(WM_LBUTTONUP); };
        while (!arrived() && host.TickCount() < deadline) {
            host.PumpEvents(50);
            Application->ProcessMessages();
        }
        EXPECT_NE(probe->Find(WM_KEYDOWN, 'A'), nullptr);
        EXPECT_NE(probe->Find(WM_CHAR, 'a'), nullptr);
        EXPECT_NE(probe->Find(WM_KEYUP, 'A'), nullptr);
        const TLogged* down = probe->Find(WM_LBUTTONDOWN);
        ASSERT_NE(down, nullptr);
        EXPECT_EQ(down->X, 10);
        EXPECT_EQ(down->Y, 12);
        EXPECT_NE(probe->Find(WM_LBUTTONUP), nullptr);
        EXPECT_EQ(host.FocusedWindow(), HostWindowOf(form.get()));

        form.reset();
        InstallHost(nullptr);
    }
    unsetenv("DISPLAY");
}
