// Controls: TControl (a rectangle of a parent with font, colour, mouse handling),
// TWinControl (a control with a window handle, children, focus and keys), TGraphicControl
// and TCustomControl (the two that paint with a Canvas), and the window-manager functions
// of the framework (SendMessage, PostMessage, PeekMessage, focus, capture, timers, update
// regions, scroll bars, ScrollWindowEx) working on the handles these controls own.
//
// Call flow of input: host event -> THostEventSink (WindowManager.cpp) -> the control under
// the mouse, the capturing control or the focused control -> WndProc -> the virtual
// handler (MouseDown, KeyDown, ...) -> the On... event. Painting: Invalidate adds to a
// window's update rectangle; when the message queue is empty the application sends
// WM_PAINT to each window with one (parents before children), and the control paints
// through a canvas aimed at its top-level window's pixels with its origin and clip.
// Everything runs on the UI thread.
#pragma once

#include "platform/rtl/Component.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/UITypes.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/Messages.h"
#include "platform/vcl/Types.h"

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

namespace mv {

class TWinControl;
class TPopupMenu; // Menus.h
struct THintInfo; // HintWindow.h
class TCustomForm;

// [SECTION] Vocabulary
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = Set<TAnchorKind>;
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = Set<TShiftStateItem>;
enum TMouseButton { mbLeft, mbRight, mbMiddle };
// Border kinds. One enumeration for forms and controls (edits and panels use only bsNone
// and bsSingle), so that the unscoped names exist once.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;

enum TControlStyleItem {
    csAcceptsControls,
    csCaptureMouse,
    csDesignInteractive,
    csClickEvents,
    csFramed,
    csSetCaption,
    csOpaque,
    csDoubleClicks,
    csFixedWidth,
    csFixedHeight,
    csNoDesignVisible,
    csReplicatable,
    csNoStdEvents,
    csDisplayDragImage,
    csReflector,
    csActionClient,
    csMenuEvents,
    csNeedsBorderPaint,
    csParentBackground
};
using TControlStyle = Set<TControlStyleItem>;

enum TControlStateItem {
    csLButtonDown,
    csClicked,
    csPalette,
    csReadingState,
    csAlignmentNeeded,
    csFocusing,
    csCreating,
    csPaintCopy,
    csCustomPaint,
    csDestroyingHandle,
    csDocking,
    csAligning
};
using TControlState = Set<TControlStateItem>;

using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, Char& Key)>;
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X, Integer Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, Integer X, Integer Y)>;
using TMouseWheelEvent = std::function<void(TObject* Sender, TShiftState Shift, Integer WheelDelta,
                                            TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent =
    std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TWndMethod = std::function<void(TMessage& Message)>;

// Shift state from a mouse message's MK_ flags (Alt read from the keyboard state).
TShiftState KeysToShiftState(WPARAM keys);
// Shift state of a key message: Alt from the key data, Shift and Ctrl from GetKeyState.
TShiftState KeyDataToShiftState(LPARAM keyData);
TShiftState KeyboardStateToShiftState();

// a * b / c rounded to nearest, computed in 64 bits; -1 when c is 0 (as the framework's).
Integer MulDiv(Integer a, Integer b, Integer c);
// Swaps left and right justification (for right-to-left controls).
void ChangeBiDiModeAlignment(TAlignment& alignment);

// [SECTION] TControl
class TControl : public TComponent {
    MV_CLASS(TControl, TComponent);
    // Published: Left, Top, Width, Height, Align, Anchors, BiDiMode, Color, Cursor,
    // Enabled, Font, Hint, ParentBiDiMode, ParentColor, ParentFont, ParentShowHint,
    // PopupMenu, ShowHint, Visible. Font and Color are stored only when not taken from
    // the parent. Descendants publish Caption or Text.
    static void RegisterProperties(TPropertyRegistrar<TControl>& r);

    explicit TControl(TComponent* owner);
    ~TControl() override;

    // Streaming: a control read into a window control becomes its child.
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* value) override;

    // --- tree and geometry --------------------------------------------------------------
    TWinControl* Parent() const { return FParent; }
    // Moves the control into parent's child list (nullptr takes it out). A control cannot
    // be its own ancestor (EInvalidOperation SControlParentSetToSelf).
    virtual void SetParent(TWinControl* parent);
    Integer Left() const { return FLeft; }
    Integer Top() const { return FTop; }
    Integer Width() const { return FWidth; }
    Integer Height() const { return FHeight; }
    void SetLeft(Integer value) { SetBounds(value, FTop, FWidth, FHeight); }
    void SetTop(Integer value) { SetBounds(FLeft, value, FWidth, FHeight); }
    void SetWidth(Integer value) { SetBounds(FLeft, FTop, value, FHeight); }
    void SetHeight(Integer value) { SetBounds(FLeft, FTop, FWidth, value); }
    // Position in the parent's client area (screen coordinates for a top-level window).
    // Negative sizes are taken as 0. A change realigns the parent and fires Resize.
    virtual void SetBounds(Integer left, Integer top, Integer width, Integer height);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
    // The client area in the control's own coordinates; (0, 0, Width, Height) minus the
    // border and scroll bars of a window control.
    virtual TRect ClientRect() const;
    Integer ClientWidth() const { return ClientRect().Width(); }
    Integer ClientHeight() const { return ClientRect().Height(); }
    void SetClientSize(Integer width, Integer height);
    // Screen position of the client area's (0, 0).
    virtual TPoint ClientOrigin() const;
    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;
    // Client coordinates of this control to those of ancestor (the parent when null).
    TPoint ClientToParent(TPoint p, const TWinControl* ancestor = nullptr) const;

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign value);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors value);

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool value);
    // Visible and enabled up to the top-level control.
    bool IsEffectivelyEnabled() const;
    bool IsEffectivelyVisible() const;

    // --- look -----------------------------------------------------------------------------
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* value) { FFont->Assign(value); }
    // While true the font follows the parent's; assigning the font makes it false.
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool value);
    const String& Caption() const { return FText; }
    void SetCaption(const String& value) { SetText(value); }
    const String& Text() const { return FText; }
    void SetText(const String& value);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor value);
    const String& Hint() const { return FHint; }
    void SetHint(const String& value) { FHint = value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool value);
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    // The menu (Menus.h) is a component; the control hears when it is freed and forgets it.
    // A template so that callers, who have the complete type, pass its TComponent base.
    template <typename Menu> void SetPopupMenu(Menu* value) { AssignPopupMenu(value, value); }
    void SetPopupMenu(std::nullptr_t) { AssignPopupMenu(nullptr, nullptr); }

    // --- right-to-left ----------------------------------------------------------------------
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode value);
    bool ParentBiDiMode() const { return FParentBiDiMode; }
    void SetParentBiDiMode(bool value);
    // Any right-to-left mode.
    bool IsRightToLeft() const { return FBiDiMode != bdLeftToRight; }
    // bdRightToLeft: alignment is mirrored.
    bool UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }
    // Every right-to-left mode reads right to left.
    bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
    // bdRightToLeft and bdRightToLeftNoAlign put the vertical scroll bar on the left.
    bool UseRightToLeftScrollBar() const {
        return FBiDiMode == bdRightToLeft || FBiDiMode == bdRightToLeftNoAlign;
    }
    // DT_RTLREADING when the control reads right to left, else 0.
    Cardinal DrawTextBiDiModeFlagsReadingOnly() const;
    // flags with DT_LEFT/DT_RIGHT swapped under UseRightToLeftAlignment, plus the reading flag.
    Cardinal DrawTextBiDiModeFlags(Cardinal flags) const;

    // --- state and messages -------------------------------------------------------------------
    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle value) { FControlStyle = value; }
    TControlState ControlState() const { return FControlState; }
    void SetControlState(TControlState value) { FControlState = value; }

    // Calls WndProc directly and returns the Result the handlers left.
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // Every message to the control passes here. Overrides handle what they know and call
    // the inherited one for the rest; the base ends in DefaultHandler.
    virtual void WndProc(TMessage& message);
    virtual void DefaultHandler(TMessage& message);

    // Repaints the control's area at the next paint (a graphic control invalidates its
    // rectangle of the parent).
    virtual void Invalidate();
    // Paints pending update rectangles of the control's window now.
    virtual void Update();
    // Invalidate + Update.
    virtual void Repaint();
    void Refresh() { Repaint(); }

    // Mouse capture: while set, all mouse messages of the top-level window go to this
    // control, with coordinates relative to it (also outside its bounds).
    bool MouseCapture() const;
    void SetMouseCapture(bool value);

    // Scales bounds and font by m/d (96 -> 120 dpi: ScaleBy(120, 96)), children too.
    void ScaleBy(Integer m, Integer d);

    void BringToFront();
    void SendToBack();
    // The form (or top-level window control) this control is on, or null.
    TWinControl* TopLevel() const;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;

protected:
    friend class TWinControl;
    friend struct TWindowManager;

    void Notification(TComponent* component, TOperation operation) override;

    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y);
    virtual void MouseMove(TShiftState shift, Integer x, Integer y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y);
    virtual void MouseEnter();
    virtual void MouseLeave();
    // OnMouseWheel first; if unhandled, DoMouseWheelDown/Up by the sign. True when handled.
    virtual bool DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos);
    virtual bool DoMouseWheelDown(TShiftState shift, TPoint mousePos);
    virtual bool DoMouseWheelUp(TShiftState shift, TPoint mousePos);
    virtual void Resize();
    virtual void ChangeScale(Integer m, Integer d);
    virtual void FontChanged();
    virtual void ColorChanged();
    virtual void VisibleChanging() {}
    // After the bounds changed, before Resize (a window control updates its window here).
    virtual void BoundsChanged(bool sized) { (void)sized; }
    // The framework's CM_ notifications as virtuals with the message numbers' meaning.
    virtual void EnabledChanged();
    virtual void TextChanged() {}
    virtual void BiDiModeChanged();

    // Sends msg to every child (a window control's override; nothing here).
    virtual void NotifyControls(UINT msg) { (void)msg; }

    // The hint request (CM_HINTSHOW, LParam: THintInfo*): info holds the defaults; a
    // control may change any field. False (message Result 1) shows no hint.
    virtual bool CMHintShow(THintInfo& info);
    // CM_HINTSHOWPAUSE (WParam: a hint was just showing, LParam: Integer*): the pause
    // before this control's hint shows, preset from the application's pauses.
    virtual void CMHintShowPause(bool hintActive, Integer& pause);
    // WM_CONTEXTMENU (LParam: screen point; (-1, -1) from the keyboard): a PopupMenu with
    // AutoPopup opens there; otherwise the parent is asked. Result 1 when a menu opened.
    virtual void WMContextMenu(TMessage& message);

    TControlStyle FControlStyle;
    TControlState FControlState;

private:
    void AssignPopupMenu(TPopupMenu* menu, TComponent* menuComponent);
    void HandleMouseMessage(TMessage& message);
    void HandleMouseWheel(TMessage& message);
    void HandleParentFontChanged();
    void HandleParentColorChanged();
    void FontChangedHandler();
    void UpdateAnchorRules();

    TWinControl* FParent = nullptr;
    Integer FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = alNone;
    TAnchors FAnchors{akLeft, akTop};
    // Distances kept for anchoring: the parent's client size when the bounds were last set
    // explicitly, and the bounds then.
    TSize FAnchorParentSize;
    TRect FAnchorBounds;
    bool FVisible = true;
    bool FEnabled = true;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    bool FUpdatingFont = false;
    TColor FColor = clWindow;
    bool FParentColor = false;
    String FText;
    TCursor FCursor = crDefault;
    String FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TPopupMenu* FPopupMenu = nullptr;
    TComponent* FPopupMenuComponent = nullptr;
    TBiDiMode FBiDiMode = bdLeftToRight;
    bool FParentBiDiMode = true;
};

// A control without a window: it paints on its parent's canvas inside its bounds.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;
    TCanvas* Canvas() const { return FCanvas.get(); }

protected:
    friend class TWinControl;
    virtual void Paint() {}

private:
    std::unique_ptr<TCanvas> FCanvas;
};

// Parameters a window control's host window is made from (override CreateParams).
struct TCreateParams {
    String Caption;
    std::uint32_t Style = 0;   // WS_*
    std::uint32_t ExStyle = 0; // WS_EX_*
    Integer X = 0, Y = 0, Width = 0, Height = 0;
    // For a top-level window: the host window kind (hwMain, hwPopup, hwToolTip from Host.h).
    Integer HostKind = 0;
    // For a top-level window: its owner, which popups and tool tips stay above (0: none).
    HWND WndParent = 0;
    // For a top-level hwMain window: whether the user may resize its frame.
    bool Sizeable = true;
};

// GetScrollInfo/SetScrollInfo record (the framework's TScrollInfo).
struct TScrollInfo {
    UINT fMask = SIF_ALL;
    Integer nMin = 0;
    Integer nMax = 0;
    UINT nPage = 0;
    Integer nPos = 0;
    Integer nTrackPos = 0;
};

// [SECTION] TWinControl
class TWinControl : public TControl {
    MV_CLASS(TWinControl, TControl);
    // Published (besides TControl's): TabOrder, TabStop.
    static void RegisterProperties(TPropertyRegistrar<TWinControl>& r);

    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    // Streaming: the children that root owns are written inside this control, in z-order.
    void GetChildren(const TGetChildProc& proc, TComponent* root) override;

    // --- children ---------------------------------------------------------------------
    Integer ControlCount() const { return static_cast<Integer>(FControls.size()); }
    // Children in z-order, bottom first.
    TControl* Controls(Integer index) const;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    bool ContainsControl(const TControl* control) const;
    // The topmost visible child at p (client coordinates); disabled ones only when asked.
    TControl* ControlAtPos(TPoint p, bool allowDisabled, bool allowWinControls = true) const;
    // Aligned and anchored children are placed again (after a size change or a child's
    // Align change). DisableAlign/EnableAlign defer it; the outermost EnableAlign realigns.
    void Realign();
    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();

    // --- the window -----------------------------------------------------------------------
    // The handle, created on first use: a top-level control gets a host window, a child
    // needs its parent's window (EInvalidOperation SParentRequired without a parent).
    HWND Handle();
    bool HandleAllocated() const { return FHandle != 0; }
    void HandleNeeded() { (void)Handle(); }
    // Destroys and creates the window again (children keep theirs when they can).
    void RecreateWnd();
    // Visible here and in every ancestor (and, for a top-level control, its host window).
    bool Showing() const;

    // --- focus and keys ----------------------------------------------------------------------
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool value) { FTabStop = value; }
    Integer TabOrder() const;
    void SetTabOrder(Integer value);
    // Visible and enabled in every ancestor and has a handle or can get one.
    virtual bool CanFocus() const;
    // Moves the keyboard focus here (EInvalidOperation SCannotFocus when !CanFocus):
    // CM_EXIT/OnExit of the control losing it, WM_KILLFOCUS, WM_SETFOCUS, then
    // CM_ENTER/OnEnter here; the form's ActiveControl becomes this control.
    virtual void SetFocus();
    bool Focused() const;
    // The next tab stop after current among this control's descendants (wrapping).
    TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                 bool checkParent) const;
    void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);

    // --- painting ---------------------------------------------------------------------------
    void Invalidate() override;
    void Update() override;
    void Repaint() override;
    // Adds rect (client coordinates; null for the whole client area) to the update rectangle.
    void InvalidateRect(const TRect* rect);
    // Removes rect (null: everything) from the update rectangle. As it is one rectangle,
    // a rect that does not cover a whole side leaves the bounding rectangle unchanged.
    void ValidateRect(const TRect* rect);
    // The pending update rectangle in client coordinates (empty when none).
    TRect UpdateRect() const { return FUpdateRect; }
    TBrush* Brush() const { return FBrush.get(); }

    // --- scroll bars (drawn by the framework in the non-client area) -----------------------
    // bar is SB_HORZ or SB_VERT; see the free functions below.
    bool ScrollBarVisible(Integer bar) const { return FScrollVisible[bar == SB_VERT ? 1 : 0]; }

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    void WndProc(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;
    void SetBounds(Integer left, Integer top, Integer width, Integer height) override;
    void SetVisible(bool value) override;
    TRect ClientRect() const override;
    TPoint ClientOrigin() const override;

protected:
    friend class TControl;
    friend struct TWindowManager;
    friend Integer SetScrollInfo(HWND, Integer, const TScrollInfo&, bool);
    friend bool GetScrollInfo(HWND, Integer, TScrollInfo&);
    friend bool ShowScrollBar(HWND, Integer, bool);
    friend Integer ScrollWindowEx(HWND, Integer, Integer, const TRect*, const TRect*, HRGN, TRect*, UINT);
    friend void ScrollBarMouse(TWinControl*, UINT, TPoint);
    friend void ScrollBarRepeat(HWND);

    virtual void CreateParams(TCreateParams& params);
    // Creates the window from CreateParams and the children's windows.
    virtual void CreateWnd();
    // Destroys the children's windows and this one.
    virtual void DestroyWnd();
    void CreateHandle();
    void DestroyHandle();

    // Places aligned children inside rect (shrinking it), then anchored ones.
    virtual void AlignControls(TControl* control, TRect& rect);
    virtual void AdjustClientRect(TRect& rect) { (void)rect; }

    // True on a form whose KeyPreview is set: it sees its controls' keys first.
    virtual bool KeyPreviewEnabled() const { return false; }
    virtual void DoEnter();
    virtual void DoExit();
    // OnKeyDown (after the form's key preview); set key to 0 to stop it.
    virtual void KeyDown(Word& key, TShiftState shift);
    virtual void KeyUp(Word& key, TShiftState shift);
    virtual void KeyPress(Char& key);
    // True when the key was eaten by the form's preview or the On... handler.
    bool DoKeyDown(TMessage& message);
    bool DoKeyUp(TMessage& message);
    bool DoKeyPress(TMessage& message);

    // Paints the window (dc is aimed at the client area), then the graphic children.
    virtual void PaintWindow(HDC dc);
    void PaintHandler(HDC dc);
    void PaintControls(HDC dc, TControl* first);
    // Border and scroll bars.
    virtual void PaintNonClient(HDC dc);

    void NotifyControls(UINT msg) override;
    void BoundsChanged(bool sized) override;
    void FontChanged() override;
    void ColorChanged() override;
    // The vertical scroll bar changes sides with the reading direction.
    void BiDiModeChanged() override;

    std::vector<TControl*> FControls; // z-order, bottom first

private:
    void UpdateNonClient();
    void AnchorChild(TControl* child, TRect& rect);
    void CollectTabList(std::vector<TWinControl*>& list) const;

    HWND FHandle = 0;
    std::unique_ptr<TBrush> FBrush;
    std::unique_ptr<TCanvas> FPaintCanvas; // aimed at the window only while painting
    TRect FUpdateRect;
    TRect FClientInWindow; // client area inside (0, 0, Width, Height), from WM_NCCALCSIZE
    bool FNonClientDirty = false;
    bool FTabStop = false;
    Integer FAlignLevel = 0;
    bool FRealignPending = false;
    bool FCreatingHandle = false;
    std::uint32_t FStyle = 0, FExStyle = 0;
    std::array<TScrollInfo, 2> FScrollInfo{};
    std::array<bool, 2> FScrollVisible{false, false};
};

// A window control that paints on its Canvas in Paint.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;
    // The canvas for painting. During Paint it draws on the window; outside Paint (on a
    // control that has a window) it draws on the window's pixels directly, shown with
    // the next processed messages, as drawing on the framework's window DC is.
    TCanvas* Canvas();

protected:
    virtual void Paint() {}
    void PaintWindow(HDC dc) override;

private:
    std::unique_ptr<TCanvas> FCanvas;
    bool FPainting = false;
};

// [SECTION] Window-manager functions (the framework's user32 calls)
// A control by handle, or null (a destroyed window's handle is never reused).
TWinControl* FindControl(HWND handle);
// A handle whose messages go to method (timers of non-visual components use one).
HWND AllocateHWnd(TWndMethod method);
void DeallocateHWnd(HWND handle);

LRESULT SendMessage(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam);
inline LRESULT SendMessageW(HWND h, UINT m, WPARAM w, LPARAM l) {
    return SendMessage(h, m, w, l);
}
// Queues the message for the window; it runs when the application processes messages,
// after the handler running now. False for an unknown handle.
bool PostMessage(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam);
inline bool PostMessageW(HWND h, UINT m, WPARAM w, LPARAM l) {
    return PostMessage(h, m, w, l);
}
// The first queued message for handle (0: any) with filterMin <= Msg <= filterMax (both 0:
// any). PM_REMOVE takes it off the queue, PM_NOREMOVE leaves it there.
bool PeekMessage(TMsg& msg, HWND handle, UINT filterMin, UINT filterMax, UINT removeMsg);
void DispatchMessage(const TMsg& msg);

// A disabled window gets no mouse or key input (a modal form disables the other forms
// while it runs). This is the window's own flag, apart from TControl::Enabled.
bool EnableWindow(HWND handle, bool enable);
bool IsWindowEnabled(HWND handle);

HWND GetFocus();
// Focus at the window level: WM_KILLFOCUS to the old window, WM_SETFOCUS to the new one.
// Returns the previous focus. TWinControl::SetFocus is the one that keeps forms informed.
HWND SetFocus(HWND handle);

HWND GetCapture();
HWND SetCapture(HWND handle);
bool ReleaseCapture();
TControl* GetCaptureControl();
// Captures the mouse for a control (windowless ones too); null releases.
void SetCaptureControl(TControl* control);

// A WM_TIMER(id) for handle every elapse milliseconds of the host clock; setting an
// existing (handle, id) again re-arms it. Returns id (0 when the handle is unknown).
UINT SetTimer(HWND handle, UINT id, UINT elapse);
bool KillTimer(HWND handle, UINT id);

bool InvalidateRect(HWND handle, const TRect* rect, bool erase);
bool ValidateRect(HWND handle, const TRect* rect);
bool GetUpdateRect(HWND handle, TRect& rect);
bool UpdateWindow(HWND handle);

// Scroll bars of a window control. SetScrollInfo clamps nPos to [nMin, nMax - nPage + 1],
// shows the bar when the range exceeds the page (hides it otherwise, unless
// SIF_DISABLENOSCROLL) and returns the new position.
Integer SetScrollInfo(HWND handle, Integer bar, const TScrollInfo& info, bool redraw);
bool GetScrollInfo(HWND handle, Integer bar, TScrollInfo& info);
Integer SetScrollPos(HWND handle, Integer bar, Integer pos, bool redraw);
Integer GetScrollPos(HWND handle, Integer bar);
bool SetScrollRange(HWND handle, Integer bar, Integer minPos, Integer maxPos, bool redraw);
bool ShowScrollBar(HWND handle, Integer bar, bool show);

// Moves the painted pixels of scroll (the client area when null) by (dx, dy), limited to
// clip (the client area when null), and with SW_INVALIDATE invalidates the uncovered
// strip; its bounds go to update when given. Child windows over the moved pixels are
// invalidated. Returns SIMPLEREGION, or NULLREGION when nothing was uncovered.
Integer ScrollWindowEx(HWND handle, Integer dx, Integer dy, const TRect* scroll, const TRect* clip,
                       HRGN updateRegion, TRect* update, UINT flags);

std::int16_t GetKeyState(Integer virtualKey);
Integer GetSystemMetrics(Integer index);
Integer GetDoubleClickTime();
// Sets the mouse pointer shape now; returns the previous one.
using HCURSOR = TCursor;
HCURSOR SetCursor(HCURSOR cursor);
TPoint GetCursorPos();
void MessageBeep(UINT type = 0);
// Number of MessageBeep calls so far (tests check that a refused action beeped).
Integer BeepCount();

// Message texts of the controls unit.
namespace ControlsConsts {
extern String SParentRequired;         // "Control '%s' has no parent window"
extern String SCannotFocus;            // "Cannot focus a disabled or invisible window"
extern String SControlParentSetToSelf; // "A control cannot have itself as its parent"
extern String SNoHost;                 // "Cannot create a window for '%s': no host is installed"
} // namespace ControlsConsts

} // namespace mv
