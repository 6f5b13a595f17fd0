// TControl and TGraphicControl: geometry, look, right-to-left helpers, mouse messages
// and their events. Window controls are in WinControl.cpp, the handle table and queue in
// WindowManager.cpp.
#include "platform/vcl/Controls.h"

#include "platform/rtl/Format.h"
#include "platform/vcl/ControlsPrivate.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"

#include <cassert>
#include <cstdlib>

namespace mv {

namespace ControlsConsts {
String SParentRequired = u"Control '%s' has no parent window";
String SCannotFocus = u"Cannot focus a disabled or invisible window";
String SControlParentSetToSelf = u"A control cannot have itself as its parent";
String SNoHost = u"Cannot create a window for '%s': no host is installed";
} // namespace ControlsConsts

// [SECTION] Free helpers
TShiftState KeysToShiftState(WPARAM keys) {
    TShiftState shift;
    if (keys & MK_SHIFT) shift.Include(ssShift);
    if (keys & MK_CONTROL) shift.Include(ssCtrl);
    if (keys & MK_LBUTTON) shift.Include(ssLeft);
    if (keys & MK_RBUTTON) shift.Include(ssRight);
    if (keys & MK_MBUTTON) shift.Include(ssMiddle);
    if (GetKeyState(VK_MENU) < 0) shift.Include(ssAlt);
    return shift;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
    TShiftState shift;
    if (GetKeyState(VK_SHIFT) < 0) shift.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) shift.Include(ssCtrl);
    if (keyData & KF_ALTDOWN_MASK) shift.Include(ssAlt);
    return shift;
}

TShiftState KeyboardStateToShiftState() {
    TShiftState shift;
    if (GetKeyState(VK_SHIFT) < 0) shift.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) shift.Include(ssCtrl);
    if (GetKeyState(VK_MENU) < 0) shift.Include(ssAlt);
    if (GetKeyState(VK_LBUTTON) < 0) shift.Include(ssLeft);
    if (GetKeyState(VK_RBUTTON) < 0) shift.Include(ssRight);
    if (GetKeyState(VK_MBUTTON) < 0) shift.Include(ssMiddle);
    return shift;
}

Integer MulDiv(Integer a, Integer b, Integer c) {
    if (c == 0) return -1;
    const Int64 product = static_cast<Int64>(a) * b;
    // Round half away from zero, as the framework does.
    const Int64 half = std::llabs(static_cast<Int64>(c)) / 2;
    const bool negative = (product < 0) != (c < 0);
    const Int64 magnitude = (std::llabs(product) + half) / std::llabs(static_cast<Int64>(c));
    return static_cast<Integer>(negative ? -magnitude : magnitude);
}

void ChangeBiDiModeAlignment(TAlignment& alignment) {
    if (alignment == taLeftJustify)
        alignment = taRightJustify;
    else if (alignment == taRightJustify)
        alignment = taLeftJustify;
}

// [SECTION] TControl: life and tree
TControl::TControl(TComponent* owner) : TComponent(owner), FFont(std::make_unique<TFont>()) {
    FControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FFont->OnChange = [this](TObject*) { FontChangedHandler(); };
}

TControl::~TControl() {
    TWindowManager::Get().ControlDestroying(this);
    if (FParent) FParent->RemoveControl(this);
    if (FPopupMenuComponent) FPopupMenuComponent->RemoveFreeNotification(this);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == FParent) return;
    for (const TControl* p = parent; p; p = p->FParent)
        if (p == this) throw EInvalidOperation(ControlsConsts::SControlParentSetToSelf);
    if (FParent) FParent->RemoveControl(this);
    if (parent) parent->InsertControl(this);
}

TWinControl* TControl::TopLevel() const {
    const TControl* c = this;
    while (c->FParent)
        c = c->FParent;
    return const_cast<TWinControl*>(dynamic_cast<const TWinControl*>(c));
}

void TControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && FPopupMenuComponent && component == FPopupMenuComponent) {
        FPopupMenu = nullptr;
        FPopupMenuComponent = nullptr;
    }
}

void TControl::AssignPopupMenu(TPopupMenu* menu, TComponent* menuComponent) {
    if (FPopupMenuComponent) FPopupMenuComponent->RemoveFreeNotification(this);
    FPopupMenu = menu;
    FPopupMenuComponent = menuComponent;
    if (menuComponent) menuComponent->FreeNotification(this);
}

// [SECTION] TControl: geometry
void TControl::SetBounds(Integer left, Integer top, Integer width, Integer height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
    const bool sized = width != FWidth || height != FHeight;
    const TRect old = BoundsRect();
    if (FParent && FVisible) FParent->InvalidateRect(&old);
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    if (FParent && !FParent->FControlState.Contains(csAligning)) UpdateAnchorRules();
    BoundsChanged(sized);
    if (FParent) {
        const TRect now = BoundsRect();
        if (FVisible) FParent->InvalidateRect(&now);
        if (FAlign != alNone && !FParent->FControlState.Contains(csAligning)) FParent->Realign();
    }
    if (sized) Resize();
}

void TControl::UpdateAnchorRules() {
    if (!FParent) return;
    const TRect client = FParent->ClientRect();
    FAnchorParentSize = {client.Width(), client.Height()};
    FAnchorBounds = BoundsRect();
}

TRect TControl::ClientRect() const {
    return Rect(0, 0, FWidth, FHeight);
}

void TControl::SetClientSize(Integer width, Integer height) {
    const TRect client = ClientRect();
    SetBounds(FLeft, FTop, FWidth + width - client.Width(), FHeight + height - client.Height());
}

TPoint TControl::ClientOrigin() const {
    if (!FParent) return {FLeft, FTop};
    const TPoint p = FParent->ClientOrigin();
    return {p.X + FLeft, p.Y + FTop};
}

TPoint TControl::ClientToScreen(TPoint p) const {
    const TPoint o = ClientOrigin();
    return {p.X + o.X, p.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint p) const {
    const TPoint o = ClientOrigin();
    return {p.X - o.X, p.Y - o.Y};
}

TPoint TControl::ClientToParent(TPoint p, const TWinControl* ancestor) const {
    if (!ancestor) ancestor = FParent;
    if (!ancestor) return p;
    const TPoint screen = ClientToScreen(p);
    return ancestor->ScreenToClient(screen);
}

void TControl::SetAlign(TAlign value) {
    if (value == FAlign) return;
    FAlign = value;
    if (FParent) FParent->Realign();
}

void TControl::SetAnchors(TAnchors value) {
    FAnchors = value;
    UpdateAnchorRules();
}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

void TControl::ScaleBy(Integer m, Integer d) {
    if (m == d || d == 0) return;
    ChangeScale(m, d);
}

void TControl::ChangeScale(Integer m, Integer d) {
    const Integer left = MulDiv(FLeft, m, d);
    const Integer top = MulDiv(FTop, m, d);
    const Integer width = MulDiv(FLeft + FWidth, m, d) - left;
    const Integer height = MulDiv(FTop + FHeight, m, d) - top;
    if (!FParentFont) FFont->SetHeight(MulDiv(FFont->Height(), m, d));
    SetBounds(left, top, width, height);
}

void TControl::BringToFront() {
    if (!FParent) return;
    auto& list = FParent->FControls;
    list.erase(std::find(list.begin(), list.end(), this));
    list.push_back(this);
    Invalidate();
}

void TControl::SendToBack() {
    if (!FParent) return;
    auto& list = FParent->FControls;
    list.erase(std::find(list.begin(), list.end(), this));
    list.insert(list.begin(), this);
    if (FParent) FParent->Invalidate();
}

// [SECTION] TControl: state and look
void TControl::SetVisible(bool value) {
    if (value == FVisible) return;
    VisibleChanging();
    FVisible = value;
    Perform(CM_VISIBLECHANGED, value ? 1 : 0);
    if (FParent) {
        const TRect r = BoundsRect();
        FParent->InvalidateRect(&r);
        if (FAlign != alNone) FParent->Realign();
    }
    if (!value && TWindowManager::Get().CaptureControl == this) SetCaptureControl(nullptr);
}

void TControl::SetEnabled(bool value) {
    if (value == FEnabled) return;
    FEnabled = value;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::EnabledChanged() {
    if (!FEnabled && TWindowManager::Get().CaptureControl == this) SetCaptureControl(nullptr);
    Invalidate();
}

bool TControl::IsEffectivelyEnabled() const {
    for (const TControl* c = this; c; c = c->FParent)
        if (!c->FEnabled) return false;
    return true;
}

bool TControl::IsEffectivelyVisible() const {
    for (const TControl* c = this; c; c = c->FParent)
        if (!c->FVisible) return false;
    return true;
}

void TControl::FontChangedHandler() {
    if (!FUpdatingFont) FParentFont = false;
    FontChanged();
}

void TControl::FontChanged() {
    Perform(CM_FONTCHANGED);
    Invalidate();
    NotifyControls(CM_PARENTFONTCHANGED);
}

void TControl::SetParentFont(bool value) {
    if (value == FParentFont) return;
    FParentFont = value;
    if (value && FParent) HandleParentFontChanged();
}

void TControl::HandleParentFontChanged() {
    if (!FParentFont || !FParent) return;
    FUpdatingFont = true;
    FFont->Assign(FParent->Font());
    FUpdatingFont = false;
    FParentFont = true;
}

void TControl::SetColor(TColor value) {
    if (value == FColor) return;
    FColor = value;
    FParentColor = false;
    ColorChanged();
}

void TControl::ColorChanged() {
    Perform(CM_COLORCHANGED);
    Invalidate();
    NotifyControls(CM_PARENTCOLORCHANGED);
}

void TControl::SetParentColor(bool value) {
    if (value == FParentColor) return;
    FParentColor = value;
    if (value && FParent) HandleParentColorChanged();
}

void TControl::HandleParentColorChanged() {
    if (!FParentColor || !FParent) return;
    if (FParent->Color() != FColor) {
        FColor = FParent->Color();
        ColorChanged();
    }
    FParentColor = true;
}

void TControl::SetText(const String& value) {
    if (value == FText) return;
    FText = value;
    Perform(CM_TEXTCHANGED);
    TextChanged();
}

void TControl::SetCursor(TCursor value) {
    if (value == FCursor) return;
    FCursor = value;
    Perform(CM_CURSORCHANGED);
}

void TControl::SetShowHint(bool value) {
    FShowHint = value;
    FParentShowHint = false;
}

void TControl::SetParentShowHint(bool value) {
    FParentShowHint = value;
    if (value && FParent) FShowHint = FParent->ShowHint();
}

void TControl::SetBiDiMode(TBiDiMode value) {
    if (value == FBiDiMode) return;
    FBiDiMode = value;
    FParentBiDiMode = false;
    BiDiModeChanged();
}

void TControl::SetParentBiDiMode(bool value) {
    if (value == FParentBiDiMode) return;
    FParentBiDiMode = value;
    if (value && FParent && FParent->BiDiMode() != FBiDiMode) {
        FBiDiMode = FParent->BiDiMode();
        BiDiModeChanged();
    }
}

void TControl::BiDiModeChanged() {
    Perform(CM_BIDIMODECHANGED);
    Invalidate();
    NotifyControls(CM_PARENTBIDIMODECHANGED);
}

Cardinal TControl::DrawTextBiDiModeFlagsReadingOnly() const {
    return UseRightToLeftReading() ? static_cast<Cardinal>(DT_RTLREADING) : 0u;
}

Cardinal TControl::DrawTextBiDiModeFlags(Cardinal flags) const {
    if (UseRightToLeftAlignment()) {
        if ((flags & (DT_CENTER | DT_RIGHT)) == DT_LEFT)
            flags |= DT_RIGHT;
        else if (flags & DT_RIGHT)
            flags &= ~static_cast<Cardinal>(DT_RIGHT);
    }
    return flags | DrawTextBiDiModeFlagsReadingOnly();
}

// [SECTION] TControl: messages
LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage message{msg, wParam, lParam, 0};
    WndProc(message);
    return message.Result;
}

void TControl::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        Application->HintMouseMessage(this, message);
        HandleMouseMessage(message);
        return;
    case WM_MOUSEWHEEL:
        HandleMouseWheel(message);
        return;
    case CM_MOUSEENTER:
        MouseEnter();
        return;
    case CM_MOUSELEAVE:
        Application->HintMouseMessage(this, message);
        MouseLeave();
        return;
    case CM_HINTSHOW:
        message.Result = CMHintShow(*reinterpret_cast<THintInfo*>(message.LParam)) ? 0 : 1;
        return;
    case CM_HINTSHOWPAUSE:
        CMHintShowPause(message.WParam != 0, *reinterpret_cast<Integer*>(message.LParam));
        return;
    case WM_CONTEXTMENU:
        WMContextMenu(message);
        return;
    case CM_PARENTFONTCHANGED:
        HandleParentFontChanged();
        return;
    case CM_PARENTCOLORCHANGED:
        HandleParentColorChanged();
        return;
    case CM_PARENTBIDIMODECHANGED:
        if (FParentBiDiMode && FParent && FParent->BiDiMode() != FBiDiMode) {
            FBiDiMode = FParent->BiDiMode();
            BiDiModeChanged();
        }
        return;
    case CM_PARENTSHOWHINTCHANGED:
        if (FParentShowHint && FParent) FShowHint = FParent->ShowHint();
        return;
    case CM_ENABLEDCHANGED:
        EnabledChanged();
        return;
    default:
        DefaultHandler(message);
    }
}

void TControl::DefaultHandler(TMessage& message) {
    (void)message;
}

void TControl::HandleMouseMessage(TMessage& message) {
    const Integer x = LParamX(message.LParam);
    const Integer y = LParamY(message.LParam);
    TShiftState shift = KeysToShiftState(message.WParam);
    UINT msg = message.Msg;
    const bool isDouble = msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
    if (isDouble) {
        // Without csDoubleClicks a double click is just another press.
        msg = msg - 2; // the matching button-down message
        if (FControlStyle.Contains(csDoubleClicks)) shift.Include(ssDouble);
    }
    switch (msg) {
    case WM_MOUSEMOVE:
        MouseMove(shift, x, y);
        return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        const TMouseButton button = msg == WM_LBUTTONDOWN   ? mbLeft
                                    : msg == WM_RBUTTONDOWN ? mbRight
                                                            : mbMiddle;
        if (FControlStyle.Contains(csCaptureMouse) && button == mbLeft) SetMouseCapture(true);
        if (button == mbLeft && FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
        if (button == mbLeft) FControlState.Include(csLButtonDown);
        if (shift.Contains(ssDouble) && button == mbLeft) DblClick();
        MouseDown(button, shift, x, y);
        return;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        const TMouseButton button = msg == WM_LBUTTONUP ? mbLeft : msg == WM_RBUTTONUP ? mbRight : mbMiddle;
        if (button == mbLeft) {
            FControlState.Exclude(csLButtonDown);
            const bool clicked = FControlState.Contains(csClicked);
            FControlState.Exclude(csClicked);
            if (MouseCapture()) SetMouseCapture(false);
            if (clicked && ClientRect().Contains({x, y})) Click();
        }
        MouseUp(button, shift, x, y);
        if (button == mbRight) {
            const TPoint screen = ClientToScreen({x, y});
            Perform(WM_CONTEXTMENU, 0, PointToLParam(screen.X, screen.Y));
        }
        return;
    }
    default:
        return;
    }
}

void TControl::HandleMouseWheel(TMessage& message) {
    TWMMouseWheel wheel(message);
    const TShiftState shift = KeysToShiftState(wheel.Keys());
    const TPoint screen{wheel.XPos(), wheel.YPos()};
    if (DoMouseWheel(shift, wheel.WheelDelta(), screen)) {
        message.Result = 1;
        return;
    }
    // Unhandled: the parent may scroll instead.
    if (FParent) message.Result = FParent->Perform(WM_MOUSEWHEEL, message.WParam, message.LParam);
}

bool TControl::DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) {
    bool handled = false;
    if (OnMouseWheel) OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
    if (handled) return true;
    if (wheelDelta < 0) return DoMouseWheelDown(shift, mousePos);
    if (wheelDelta > 0) return DoMouseWheelUp(shift, mousePos);
    return false;
}

bool TControl::DoMouseWheelDown(TShiftState shift, TPoint mousePos) {
    bool handled = false;
    if (OnMouseWheelDown) OnMouseWheelDown(this, shift, mousePos, handled);
    return handled;
}

bool TControl::DoMouseWheelUp(TShiftState shift, TPoint mousePos) {
    bool handled = false;
    if (OnMouseWheelUp) OnMouseWheelUp(this, shift, mousePos, handled);
    return handled;
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}
void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}
void TControl::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}
void TControl::MouseMove(TShiftState shift, Integer x, Integer y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}
void TControl::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}
void TControl::MouseEnter() {
    if (OnMouseEnter) OnMouseEnter(this);
}
void TControl::MouseLeave() {
    if (OnMouseLeave) OnMouseLeave(this);
}

bool TControl::CMHintShow(THintInfo& info) {
    (void)info;
    return true;
}

void TControl::CMHintShowPause(bool hintActive, Integer& pause) {
    (void)hintActive;
    (void)pause;
}

void TControl::WMContextMenu(TMessage& message) {
    if (message.Result) return;
    TPoint screen{LParamX(message.LParam), LParamY(message.LParam)};
    if (screen.X == -1 && screen.Y == -1) {
        // From the keyboard: the menu opens at the control's centre.
        screen = ClientToScreen({Width() / 2, Height() / 2});
        message.LParam = PointToLParam(screen.X, screen.Y);
    }
    if (FPopupMenu && FPopupMenu->AutoPopup()) {
        FPopupMenu->SetPopupComponent(this);
        FPopupMenu->Popup(screen.X, screen.Y);
        message.Result = 1;
        return;
    }
    if (FParent) message.Result = FParent->Perform(WM_CONTEXTMENU, message.WParam, message.LParam);
}

bool TControl::MouseCapture() const {
    return GetCaptureControl() == this;
}

void TControl::SetMouseCapture(bool value) {
    if (value == MouseCapture()) return;
    SetCaptureControl(value ? this : nullptr);
}

// [SECTION] TControl: painting
void TControl::Invalidate() {
    if (!FParent || !FVisible) return;
    const TRect r = BoundsRect();
    FParent->InvalidateRect(&r);
}

void TControl::Update() {
    if (FParent) FParent->Update();
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

// [SECTION] TGraphicControl
TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), FCanvas(std::make_unique<TCanvas>()) {}

TGraphicControl::~TGraphicControl() = default;

} // namespace mv
