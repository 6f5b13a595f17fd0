// Window messages with the framework's numbers, the message record, the queue entry,
// virtual-key codes and the flags that travel in WParam/LParam. Controls.h dispatches
// them; the hosts produce the input ones. Values are the classic ones so code written
// against the framework (and the grid's private WM_USER messages) reads unchanged.
#pragma once

#include "platform/rtl/RtlTypes.h"

#include <cstdint>

namespace mv {

// A window handle: a number the window manager (Controls.cpp) hands out; 0 is none.
using HWND = std::uintptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using UINT = std::uint32_t;

// [SECTION] The message record
// What Perform/SendMessage pass down the Dispatch chain; a handler writes Result.
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// A posted message as the queue keeps it (PeekMessage copies one out).
struct TMsg {
    HWND Hwnd = 0;
    UINT Message = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    std::uint64_t Time = 0; // host clock, milliseconds
};

constexpr Word LoWord(std::uintptr_t v) {
    return static_cast<Word>(v & 0xFFFF);
}
constexpr Word HiWord(std::uintptr_t v) {
    return static_cast<Word>((v >> 16) & 0xFFFF);
}
constexpr LPARAM MakeLParam(Word lo, Word hi) {
    return static_cast<LPARAM>(static_cast<std::uint32_t>(lo) | (static_cast<std::uint32_t>(hi) << 16));
}
constexpr WPARAM MakeWParam(Word lo, Word hi) {
    return static_cast<WPARAM>(static_cast<std::uint32_t>(lo) | (static_cast<std::uint32_t>(hi) << 16));
}
// Mouse positions travel as two signed 16-bit halves (negative outside the window).
constexpr LPARAM PointToLParam(Integer x, Integer y) {
    return MakeLParam(static_cast<Word>(static_cast<std::int16_t>(x)),
                      static_cast<Word>(static_cast<std::int16_t>(y)));
}
constexpr Integer LParamX(LPARAM l) {
    return static_cast<std::int16_t>(LoWord(static_cast<std::uintptr_t>(l)));
}
constexpr Integer LParamY(LPARAM l) {
    return static_cast<std::int16_t>(HiWord(static_cast<std::uintptr_t>(l)));
}

// [SECTION] Window messages
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETREDRAW = 0x000B;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_CANCELMODE = 0x001F;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_MOUSEACTIVATE = 0x0021;
constexpr UINT WM_SETFONT = 0x0030;
constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
constexpr UINT WM_CONTEXTMENU = 0x007B;
constexpr UINT WM_NCCALCSIZE = 0x0083;
constexpr UINT WM_NCHITTEST = 0x0084;
constexpr UINT WM_NCPAINT = 0x0085;
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT WM_KEYFIRST = 0x0100;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_DEADCHAR = 0x0103;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT WM_KEYLAST = 0x0109;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;
constexpr UINT WM_MOUSEFIRST = 0x0200;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_MOUSEHWHEEL = 0x020E;
constexpr UINT WM_MOUSELAST = 0x020E;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
constexpr UINT WM_MOUSELEAVE = 0x02A3;
constexpr UINT WM_CUT = 0x0300;
constexpr UINT WM_COPY = 0x0301;
constexpr UINT WM_PASTE = 0x0302;
constexpr UINT WM_CLEAR = 0x0303;
constexpr UINT WM_UNDO = 0x0304;
// First number free for a window class's private messages.
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

// [SECTION] Component messages (the framework's own notifications between controls)
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_GOTFOCUS = CM_BASE + 2;
constexpr UINT CM_LOSTFOCUS = CM_BASE + 3;
constexpr UINT CM_CANCELMODE = CM_BASE + 4;
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_HITTEST = CM_BASE + 10;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_DESIGNHITTEST = CM_BASE + 28;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr UINT CM_RELEASE = CM_BASE + 33;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 34;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 36;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;
constexpr UINT CM_GETDATALINK = CM_BASE + 45;
constexpr UINT CM_CHILDKEY = CM_BASE + 46;
constexpr UINT CM_HINTSHOW = CM_BASE + 48;
constexpr UINT CM_RECREATEWND = CM_BASE + 51;
constexpr UINT CM_INVALIDATE = CM_BASE + 52;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 54;
constexpr UINT CM_CHANGED = CM_BASE + 55;
constexpr UINT CM_BORDERCHANGED = CM_BASE + 59;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 60;
constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
constexpr UINT CM_HINTSHOWPAUSE = CM_BASE + 65;
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 67;

// Notifications reflected back to the control that caused them.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;

// [SECTION] Flags carried by messages
// WM_mouse WParam: buttons and modifiers held.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;
constexpr Integer WHEEL_DELTA = 120;

// Key messages' LParam ("key data"): bit 29 is Alt held, bit 30 the previous state, bit 31 released.
constexpr LPARAM KF_ALTDOWN_MASK = 0x20000000;
constexpr LPARAM KF_REPEAT_MASK = 0x40000000;
constexpr LPARAM KF_UP_MASK = static_cast<LPARAM>(0x80000000u);

// GetKeyState: high bit when down, low bit when toggled.
constexpr std::int16_t KEY_DOWN_MASK = static_cast<std::int16_t>(0x8000);
constexpr std::int16_t KEY_TOGGLED_MASK = 0x0001;

// WM_HSCROLL/WM_VSCROLL LoWord(WParam) codes; the position is in HiWord.
constexpr Word SB_LINEUP = 0;
constexpr Word SB_LINELEFT = 0;
constexpr Word SB_LINEDOWN = 1;
constexpr Word SB_LINERIGHT = 1;
constexpr Word SB_PAGEUP = 2;
constexpr Word SB_PAGELEFT = 2;
constexpr Word SB_PAGEDOWN = 3;
constexpr Word SB_PAGERIGHT = 3;
constexpr Word SB_THUMBPOSITION = 4;
constexpr Word SB_THUMBTRACK = 5;
constexpr Word SB_TOP = 6;
constexpr Word SB_LEFT = 6;
constexpr Word SB_BOTTOM = 7;
constexpr Word SB_RIGHT = 7;
constexpr Word SB_ENDSCROLL = 8;
// Which bar: GetScrollInfo/SetScrollInfo/ShowScrollBar.
constexpr Integer SB_HORZ = 0;
constexpr Integer SB_VERT = 1;
constexpr Integer SB_CTL = 2;
constexpr Integer SB_BOTH = 3;
// TScrollInfo.fMask
constexpr UINT SIF_RANGE = 0x0001;
constexpr UINT SIF_PAGE = 0x0002;
constexpr UINT SIF_POS = 0x0004;
constexpr UINT SIF_DISABLENOSCROLL = 0x0008;
constexpr UINT SIF_TRACKPOS = 0x0010;
constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

// ScrollWindowEx flags
constexpr UINT SW_SCROLLCHILDREN = 0x0001;
constexpr UINT SW_INVALIDATE = 0x0002;
constexpr UINT SW_ERASE = 0x0004;

// PeekMessage
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// WM_GETDLGCODE answers: which keys a control keeps from the form's dialog navigation.
constexpr LRESULT DLGC_WANTARROWS = 0x0001;
constexpr LRESULT DLGC_WANTTAB = 0x0002;
constexpr LRESULT DLGC_WANTALLKEYS = 0x0004;
constexpr LRESULT DLGC_WANTCHARS = 0x0080;

// WM_SIZE WParam
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;

// WM_NCHITTEST answers
constexpr LRESULT HTNOWHERE = 0;
constexpr LRESULT HTCLIENT = 1;
constexpr LRESULT HTHSCROLL = 6;
constexpr LRESULT HTVSCROLL = 7;

// Window styles (CreateParams): what kind of host window a top-level control gets.
constexpr std::uint32_t WS_POPUP = 0x80000000u;
constexpr std::uint32_t WS_CHILD = 0x40000000u;
constexpr std::uint32_t WS_VISIBLE = 0x10000000u;
constexpr std::uint32_t WS_DISABLED = 0x08000000u;
constexpr std::uint32_t WS_CLIPSIBLINGS = 0x04000000u;
constexpr std::uint32_t WS_CLIPCHILDREN = 0x02000000u;
constexpr std::uint32_t WS_CAPTION = 0x00C00000u;
constexpr std::uint32_t WS_BORDER = 0x00800000u;
constexpr std::uint32_t WS_VSCROLL = 0x00200000u;
constexpr std::uint32_t WS_HSCROLL = 0x00100000u;
constexpr std::uint32_t WS_TABSTOP = 0x00010000u;
constexpr std::uint32_t WS_EX_TOPMOST = 0x00000008u;
constexpr std::uint32_t WS_EX_TOOLWINDOW = 0x00000080u;
constexpr std::uint32_t WS_EX_CLIENTEDGE = 0x00000200u;
constexpr std::uint32_t WS_EX_RIGHT = 0x00001000u;
constexpr std::uint32_t WS_EX_RTLREADING = 0x00002000u;
constexpr std::uint32_t WS_EX_LEFTSCROLLBAR = 0x00004000u;

// [SECTION] GetSystemMetrics indices
constexpr Integer SM_CXSCREEN = 0;
constexpr Integer SM_CYSCREEN = 1;
constexpr Integer SM_CXVSCROLL = 2;
constexpr Integer SM_CYHSCROLL = 3;
constexpr Integer SM_CYCAPTION = 4;
constexpr Integer SM_CXBORDER = 5;
constexpr Integer SM_CYBORDER = 6;
constexpr Integer SM_CXDLGFRAME = 7;
constexpr Integer SM_CYDLGFRAME = 8;
constexpr Integer SM_CYVTHUMB = 9;
constexpr Integer SM_CXHTHUMB = 10;
constexpr Integer SM_CXICON = 11;
constexpr Integer SM_CYICON = 12;
constexpr Integer SM_CXCURSOR = 13;
constexpr Integer SM_CYCURSOR = 14;
constexpr Integer SM_CYMENU = 15;
constexpr Integer SM_CXFULLSCREEN = 16;
constexpr Integer SM_CYFULLSCREEN = 17;
constexpr Integer SM_CYVSCROLL = 20;
constexpr Integer SM_CXHSCROLL = 21;
constexpr Integer SM_SWAPBUTTON = 23;
constexpr Integer SM_CXMIN = 28;
constexpr Integer SM_CYMIN = 29;
constexpr Integer SM_CXDOUBLECLK = 36;
constexpr Integer SM_CYDOUBLECLK = 37;
constexpr Integer SM_CXEDGE = 45;
constexpr Integer SM_CYEDGE = 46;
constexpr Integer SM_CXSMICON = 49;
constexpr Integer SM_CYSMICON = 50;
constexpr Integer SM_CXDRAG = 68;
constexpr Integer SM_CYDRAG = 69;
constexpr Integer SM_MOUSEWHEELPRESENT = 75;
constexpr Integer SM_CXFOCUSBORDER = 83;
constexpr Integer SM_CYFOCUSBORDER = 84;

// [SECTION] Virtual-key codes ('0'..'9' and 'A'..'Z' are their ASCII codes)
constexpr Word VK_LBUTTON = 0x01;
constexpr Word VK_RBUTTON = 0x02;
constexpr Word VK_CANCEL = 0x03;
constexpr Word VK_MBUTTON = 0x04;
constexpr Word VK_BACK = 0x08;
constexpr Word VK_TAB = 0x09;
constexpr Word VK_CLEAR = 0x0C;
constexpr Word VK_RETURN = 0x0D;
constexpr Word VK_SHIFT = 0x10;
constexpr Word VK_CONTROL = 0x11;
constexpr Word VK_MENU = 0x12;
constexpr Word VK_PAUSE = 0x13;
constexpr Word VK_CAPITAL = 0x14;
constexpr Word VK_ESCAPE = 0x1B;
constexpr Word VK_SPACE = 0x20;
constexpr Word VK_PRIOR = 0x21;
constexpr Word VK_NEXT = 0x22;
constexpr Word VK_END = 0x23;
constexpr Word VK_HOME = 0x24;
constexpr Word VK_LEFT = 0x25;
constexpr Word VK_UP = 0x26;
constexpr Word VK_RIGHT = 0x27;
constexpr Word VK_DOWN = 0x28;
constexpr Word VK_SELECT = 0x29;
constexpr Word VK_PRINT = 0x2A;
constexpr Word VK_EXECUTE = 0x2B;
constexpr Word VK_SNAPSHOT = 0x2C;
constexpr Word VK_INSERT = 0x2D;
constexpr Word VK_DELETE = 0x2E;
constexpr Word VK_HELP = 0x2F;
constexpr Word VK_LWIN = 0x5B;
constexpr Word VK_RWIN = 0x5C;
constexpr Word VK_APPS = 0x5D;
constexpr Word VK_NUMPAD0 = 0x60;
constexpr Word VK_NUMPAD1 = 0x61;
constexpr Word VK_NUMPAD2 = 0x62;
constexpr Word VK_NUMPAD3 = 0x63;
constexpr Word VK_NUMPAD4 = 0x64;
constexpr Word VK_NUMPAD5 = 0x65;
constexpr Word VK_NUMPAD6 = 0x66;
constexpr Word VK_NUMPAD7 = 0x67;
constexpr Word VK_NUMPAD8 = 0x68;
constexpr Word VK_NUMPAD9 = 0x69;
constexpr Word VK_MULTIPLY = 0x6A;
constexpr Word VK_ADD = 0x6B;
constexpr Word VK_SEPARATOR = 0x6C;
constexpr Word VK_SUBTRACT = 0x6D;
constexpr Word VK_DECIMAL = 0x6E;
constexpr Word VK_DIVIDE = 0x6F;
constexpr Word VK_F1 = 0x70;
constexpr Word VK_F2 = 0x71;
constexpr Word VK_F3 = 0x72;
constexpr Word VK_F4 = 0x73;
constexpr Word VK_F5 = 0x74;
constexpr Word VK_F6 = 0x75;
constexpr Word VK_F7 = 0x76;
constexpr Word VK_F8 = 0x77;
constexpr Word VK_F9 = 0x78;
constexpr Word VK_F10 = 0x79;
constexpr Word VK_F11 = 0x7A;
constexpr Word VK_F12 = 0x7B;
constexpr Word VK_NUMLOCK = 0x90;
constexpr Word VK_SCROLL = 0x91;
constexpr Word VK_LSHIFT = 0xA0;
constexpr Word VK_RSHIFT = 0xA1;
constexpr Word VK_LCONTROL = 0xA2;
constexpr Word VK_RCONTROL = 0xA3;
constexpr Word VK_LMENU = 0xA4;
constexpr Word VK_RMENU = 0xA5;
constexpr Word VK_OEM_1 = 0xBA;      // ;:
constexpr Word VK_OEM_PLUS = 0xBB;   // =+
constexpr Word VK_OEM_COMMA = 0xBC;  // ,<
constexpr Word VK_OEM_MINUS = 0xBD;  // -_
constexpr Word VK_OEM_PERIOD = 0xBE; // .>
constexpr Word VK_OEM_2 = 0xBF;      // /?
constexpr Word VK_OEM_3 = 0xC0;      // `~
constexpr Word VK_OEM_4 = 0xDB;      // [{
constexpr Word VK_OEM_5 = 0xDC;      // \|
constexpr Word VK_OEM_6 = 0xDD;      // ]}
constexpr Word VK_OEM_7 = 0xDE;      // '"

// [SECTION] Cursors (TCursor values; the host maps them to its own shapes)
using TCursor = std::int16_t;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSize = -22;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

// [SECTION] Typed views of a message (the framework's TWMKey, TWMMouse, ...)
// They read and write the underlying TMessage, so a handler that changes CharCode
// changes what the next handler in the chain sees.
struct TWMKey {
    TMessage& Message;
    explicit TWMKey(TMessage& m) : Message(m) {}
    Word CharCode() const { return static_cast<Word>(Message.WParam); }
    void SetCharCode(Word key) { Message.WParam = key; }
    LPARAM KeyData() const { return Message.LParam; }
};

struct TWMMouse {
    TMessage& Message;
    explicit TWMMouse(TMessage& m) : Message(m) {}
    WPARAM Keys() const { return Message.WParam; }
    Integer XPos() const { return LParamX(Message.LParam); }
    Integer YPos() const { return LParamY(Message.LParam); }
};

// WM_MOUSEWHEEL: WParam's high word is the signed distance in WHEEL_DELTA units,
// LParam the position in screen coordinates.
struct TWMMouseWheel {
    TMessage& Message;
    explicit TWMMouseWheel(TMessage& m) : Message(m) {}
    WPARAM Keys() const { return LoWord(Message.WParam); }
    Integer WheelDelta() const { return static_cast<std::int16_t>(HiWord(Message.WParam)); }
    Integer XPos() const { return LParamX(Message.LParam); }
    Integer YPos() const { return LParamY(Message.LParam); }
};

struct TWMScroll {
    TMessage& Message;
    explicit TWMScroll(TMessage& m) : Message(m) {}
    Word ScrollCode() const { return LoWord(Message.WParam); }
    // 16-bit only, as in the message; handlers wanting the full range read GetScrollInfo's nTrackPos.
    Integer Pos() const { return static_cast<std::int16_t>(HiWord(Message.WParam)); }
};

} // namespace mv
