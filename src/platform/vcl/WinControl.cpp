// TWinControl and TCustomControl: children and alignment, the window handle, focus and
// keys, update rectangles and the paint handler.
#include "platform/vcl/Controls.h"

#include "platform/rtl/Format.h"
#include "platform/vcl/ControlsPrivate.h"

#include <algorithm>
#include <cassert>

namespace mv {

namespace {

TRect Offset(TRect r, Integer dx, Integer dy) {
    OffsetRect(r, dx, dy);
    return r;
}

} // namespace

// [SECTION] Life and children
TWinControl::TWinControl(TComponent* owner)
    : TControl(owner), FBrush(std::make_unique<TBrush>()), FPaintCanvas(std::make_unique<TCanvas>()) {
    FBrush->SetColor(Color());
}

TWinControl::~TWinControl() {
    DestroyHandle();
    // The framework frees the controls a window control parents.
    while (!FControls.empty()) {
        TControl* child = FControls.back();
        RemoveControl(child);
        delete child;
    }
}

TControl* TWinControl::Controls(Integer index) const {
    if (index < 0 || index >= ControlCount()) throw EListError(Format(SysConst::SListIndexError, {index}));
    return FControls[static_cast<size_t>(index)];
}

void TWinControl::InsertControl(TControl* control) {
    assert(control && control->FParent == nullptr && "InsertControl: the control already has a parent");
    control->FParent = this;
    FControls.push_back(control);
    if (control->FParentFont) control->HandleParentFontChanged();
    if (control->FParentColor) control->HandleParentColorChanged();
    if (control->FParentBiDiMode && control->FBiDiMode != BiDiMode()) {
        control->FBiDiMode = BiDiMode();
        control->BiDiModeChanged();
    }
    if (control->FParentShowHint) control->FShowHint = ShowHint();
    control->UpdateAnchorRules();
    if (auto* win = dynamic_cast<TWinControl*>(control); win && HandleAllocated()) win->CreateHandle();
    if (control->FAlign != alNone) Realign();
    control->Invalidate();
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(control), 1);
}

void TWinControl::RemoveControl(TControl* control) {
    auto it = std::find(FControls.begin(), FControls.end(), control);
    if (it == FControls.end()) return;
    if (auto* win = dynamic_cast<TWinControl*>(control)) win->DestroyHandle();
    TWindowManager& wm = TWindowManager::Get();
    if (wm.CaptureControl && (wm.CaptureControl == control ||
                              (dynamic_cast<TWinControl*>(control) &&
                               static_cast<TWinControl*>(control)->ContainsControl(wm.CaptureControl))))
        SetCaptureControl(nullptr);
    if (wm.MouseControl == control) wm.MouseControl = nullptr;
    const TRect old = control->BoundsRect();
    FControls.erase(it);
    control->FParent = nullptr;
    InvalidateRect(&old);
    if (control->FAlign != alNone) Realign();
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(control), 0);
}

bool TWinControl::ContainsControl(const TControl* control) const {
    for (const TControl* c = control; c; c = c->FParent)
        if (c == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled, bool allowWinControls) const {
    // Window controls lie above graphic ones; within each kind the last is on top.
    for (int pass = 0; pass < 2; ++pass) {
        const bool wantWin = pass == 0;
        if (wantWin && !allowWinControls) continue;
        for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
            TControl* c = *it;
            if ((dynamic_cast<TWinControl*>(c) != nullptr) != wantWin) continue;
            if (!c->FVisible || (!c->FEnabled && !allowDisabled)) continue;
            if (c->BoundsRect().Contains(p)) return c;
        }
    }
    return nullptr;
}

void TWinControl::NotifyControls(UINT msg) {
    for (TControl* c : std::vector<TControl*>(FControls))
        c->Perform(msg);
}

void TWinControl::FontChanged() {
    TControl::FontChanged();
}

void TWinControl::ColorChanged() {
    FBrush->SetColor(Color());
    TControl::ColorChanged();
}

void TWinControl::BiDiModeChanged() {
    // WM_NCCALCSIZE places the vertical bar by UseRightToLeftScrollBar: the client area
    // moves inside the window (its size stays).
    if (FHandle) UpdateNonClient();
    TControl::BiDiModeChanged();
}

// [SECTION] Alignment and anchors
void TWinControl::EnableAlign() {
    assert(FAlignLevel > 0 && "EnableAlign without DisableAlign");
    if (--FAlignLevel == 0 && FRealignPending) Realign();
}

void TWinControl::Realign() {
    if (FAlignLevel > 0) {
        FRealignPending = true;
        return;
    }
    FRealignPending = false;
    TRect rect = ClientRect();
    AdjustClientRect(rect);
    AlignControls(nullptr, rect);
}

void TWinControl::AlignControls(TControl* control, TRect& rect) {
    (void)control;
    FControlState.Include(csAligning);
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : FControls) {
            if (c->FAlign != align || !c->FVisible) continue;
            const Integer w = c->FWidth, h = c->FHeight;
            switch (align) {
            case alTop:
                c->SetBounds(rect.Left, rect.Top, rect.Width(), h);
                rect.Top += h;
                break;
            case alBottom:
                c->SetBounds(rect.Left, rect.Bottom - h, rect.Width(), h);
                rect.Bottom -= h;
                break;
            case alLeft:
                c->SetBounds(rect.Left, rect.Top, w, rect.Height());
                rect.Left += w;
                break;
            case alRight:
                c->SetBounds(rect.Right - w, rect.Top, w, rect.Height());
                rect.Right -= w;
                break;
            default:
                c->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
                break;
            }
        }
    }
    for (TControl* c : FControls)
        if (c->FAlign == alNone) AnchorChild(c, rect);
    FControlState.Exclude(csAligning);
}

void TWinControl::AnchorChild(TControl* child, TRect& rect) {
    (void)rect;
    const TRect client = ClientRect();
    const TSize was = child->FAnchorParentSize;
    if (was.cx == 0 && was.cy == 0) {
        child->UpdateAnchorRules();
        return;
    }
    const TRect b = child->FAnchorBounds;
    const Integer dx = client.Width() - was.cx, dy = client.Height() - was.cy;
    const TAnchors a = child->FAnchors;
    Integer left = b.Left, top = b.Top, width = b.Width(), height = b.Height();
    if (a.Contains(akRight)) {
        if (a.Contains(akLeft))
            width += dx;
        else
            left += dx;
    } else if (!a.Contains(akLeft)) {
        left += dx / 2;
    }
    if (a.Contains(akBottom)) {
        if (a.Contains(akTop))
            height += dy;
        else
            top += dy;
    } else if (!a.Contains(akTop)) {
        top += dy / 2;
    }
    child->SetBounds(left, top, width, height);
}

// [SECTION] Bounds and visibility
void TWinControl::SetBounds(Integer left, Integer top, Integer width, Integer height) {
    TControl::SetBounds(left, top, width, height);
}

void TWinControl::BoundsChanged(bool sized) {
    if (!HandleAllocated()) {
        if (sized) UpdateNonClient();
        if (sized) Realign();
        return;
    }
    TWindowManager& wm = TWindowManager::Get();
    if (!Parent()) {
        TWindowRecord* rec = wm.Find(FHandle);
        if (rec && rec->HostWindow && CurrentHost())
            CurrentHost()->SetHostWindowBounds(rec->HostWindow, BoundsRect());
    }
    if (!sized) return;
    UpdateNonClient();
    InvalidateRect(nullptr);
    FNonClientDirty = true;
    const TRect client = ClientRect();
    Perform(WM_SIZE, SIZE_RESTORED,
            MakeLParam(static_cast<Word>(client.Width()), static_cast<Word>(client.Height())));
    Realign();
}

void TWinControl::SetVisible(bool value) {
    if (value == Visible()) return;
    if (!value && HandleAllocated()) {
        // Focus inside a hidden control moves out of it, as the window manager would.
        TWinControl* focused = FindControl(GetFocus());
        if (focused && ContainsControl(focused)) ::mv::SetFocus(0);
    }
    TControl::SetVisible(value);
    if (Parent()) return;
    if (value) HandleNeeded();
    if (!HandleAllocated()) return;
    TWindowRecord* rec = TWindowManager::Get().Find(FHandle);
    if (rec && rec->HostWindow && CurrentHost()) CurrentHost()->ShowHostWindow(rec->HostWindow, value);
    if (value) {
        InvalidateRect(nullptr);
        FNonClientDirty = true;
    }
}

bool TWinControl::Showing() const {
    return HandleAllocated() && IsEffectivelyVisible();
}

TRect TWinControl::ClientRect() const {
    if (FClientInWindow.IsEmpty() && (FClientInWindow.Right == 0 && FClientInWindow.Bottom == 0))
        return Rect(0, 0, Width(), Height());
    return Rect(0, 0, FClientInWindow.Width(), FClientInWindow.Height());
}

TPoint TWinControl::ClientOrigin() const {
    const TPoint base = Parent() ? Parent()->ClientOrigin() : TPoint{0, 0};
    return {base.X + Left() + FClientInWindow.Left, base.Y + Top() + FClientInWindow.Top};
}

void TWinControl::UpdateNonClient() {
    TRect r = Rect(0, 0, Width(), Height());
    Perform(WM_NCCALCSIZE, 0, reinterpret_cast<LPARAM>(&r));
    r.Right = std::max(r.Right, r.Left);
    r.Bottom = std::max(r.Bottom, r.Top);
    FClientInWindow = r;
}

// [SECTION] The window
void TWinControl::CreateParams(TCreateParams& params) {
    params.Caption = Text();
    params.Style = Parent() ? WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS : WS_CLIPCHILDREN;
    if (Visible()) params.Style |= WS_VISIBLE;
    if (!Enabled()) params.Style |= WS_DISABLED;
    if (FTabStop) params.Style |= WS_TABSTOP;
    params.X = Left();
    params.Y = Top();
    params.Width = Width();
    params.Height = Height();
    params.HostKind = hwMain;
}

void TWinControl::CreateHandle() {
    if (FHandle || FCreatingHandle) return;
    FCreatingHandle = true;
    try {
        CreateWnd();
    } catch (...) {
        FCreatingHandle = false;
        throw;
    }
    FCreatingHandle = false;
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    TWindowManager& wm = TWindowManager::Get();
    THostWindow hostWindow = 0;
    if (!Parent()) {
        THost* host = CurrentHost();
        if (!host) throw EInvalidOperation(Format(ControlsConsts::SNoHost, {Name()}));
        THostWindowParams hp;
        hp.Kind = static_cast<THostWindowKind>(params.HostKind);
        hp.Bounds = Bounds(params.X, params.Y, params.Width, params.Height);
        hp.Caption = params.Caption;
        hp.Owner = HostWindowOf(FindControl(params.WndParent));
        hp.Sizeable = params.Sizeable;
        hostWindow = host->CreateHostWindow(hp);
    } else if (!Parent()->HandleAllocated()) {
        Parent()->CreateHandle();
        if (FHandle) return; // the parent created this one among its children
    }
    FStyle = params.Style;
    FExStyle = params.ExStyle;
    FHandle = wm.Register(this, nullptr);
    if (hostWindow) {
        wm.Windows[FHandle].HostWindow = hostWindow;
        wm.TopLevels.push_back(FHandle);
    }
    UpdateNonClient();
    Perform(WM_CREATE);
    for (TControl* c : std::vector<TControl*>(FControls))
        if (auto* win = dynamic_cast<TWinControl*>(c)) win->CreateHandle();
    FUpdateRect = ClientRect();
    FNonClientDirty = true;
    wm.PaintRequested = true;
    if (hostWindow && Visible()) CurrentHost()->ShowHostWindow(hostWindow, true);
}

void TWinControl::DestroyWnd() {
    for (TControl* c : FControls)
        if (auto* win = dynamic_cast<TWinControl*>(c)) win->DestroyHandle();
    TWindowManager& wm = TWindowManager::Get();
    Perform(WM_DESTROY);
    THostWindow hostWindow = 0;
    if (TWindowRecord* rec = wm.Find(FHandle)) hostWindow = rec->HostWindow;
    wm.Unregister(FHandle);
    FHandle = 0;
    FUpdateRect = {};
    if (hostWindow && CurrentHost()) CurrentHost()->DestroyHostWindow(hostWindow);
}

void TWinControl::DestroyHandle() {
    if (!FHandle) return;
    FControlState.Include(csDestroyingHandle);
    DestroyWnd();
    FControlState.Exclude(csDestroyingHandle);
}

HWND TWinControl::Handle() {
    if (!FHandle) {
        if (!Parent() && !CurrentHost()) throw EInvalidOperation(Format(ControlsConsts::SNoHost, {Name()}));
        CreateHandle();
    }
    return FHandle;
}

void TWinControl::RecreateWnd() {
    if (!FHandle) return;
    DestroyHandle();
    CreateHandle();
}

// [SECTION] Focus and keys
Integer TWinControl::TabOrder() const {
    if (!Parent()) return -1;
    Integer order = 0;
    for (TControl* c : Parent()->FControls) {
        if (c == this) return order;
        if (dynamic_cast<TWinControl*>(c)) ++order;
    }
    return -1;
}

void TWinControl::SetTabOrder(Integer value) {
    if (!Parent()) return;
    auto& list = Parent()->FControls;
    list.erase(std::find(list.begin(), list.end(), this));
    Integer order = 0;
    auto it = list.begin();
    for (; it != list.end(); ++it) {
        if (!dynamic_cast<TWinControl*>(*it)) continue;
        if (order == value) break;
        ++order;
    }
    list.insert(it, this);
}

bool TWinControl::CanFocus() const {
    if (!IsEffectivelyVisible() || !IsEffectivelyEnabled()) return false;
    return HandleAllocated() || TopLevel() != nullptr;
}

void TWinControl::SetFocus() {
    if (!CanFocus()) throw EInvalidOperation(ControlsConsts::SCannotFocus);
    TWinControl* old = FindControl(GetFocus());
    if (old != this) {
        // Exit from the old control up to the common ancestor, enter down to this one.
        std::vector<TWinControl*> entering;
        for (TWinControl* c = this; c && c->Parent(); c = c->Parent())
            entering.push_back(c);
        for (TWinControl* c = old; c && c->Parent(); c = c->Parent()) {
            if (c->ContainsControl(this)) break;
            c->DoExit();
        }
        TWinControl* top = TopLevel();
        (void)Handle();
        ::mv::SetFocus(FHandle);
        for (auto it = entering.rbegin(); it != entering.rend(); ++it)
            if (!old || !(*it)->ContainsControl(old)) (*it)->DoEnter();
        if (top) top->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(this));
    }
    TWinControl* top = TopLevel();
    if (top && CurrentHost())
        if (TWindowRecord* rec = TWindowManager::Get().Find(top->FHandle); rec && rec->HostWindow)
            CurrentHost()->FocusHostWindow(rec->HostWindow);
}

bool TWinControl::Focused() const {
    return FHandle != 0 && GetFocus() == FHandle;
}

void TWinControl::DoEnter() {
    Perform(CM_ENTER);
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    Perform(CM_EXIT);
    if (OnExit) OnExit(this);
}

void TWinControl::CollectTabList(std::vector<TWinControl*>& list) const {
    for (TControl* c : FControls)
        if (auto* win = dynamic_cast<TWinControl*>(c)) {
            list.push_back(win);
            win->CollectTabList(list);
        }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) const {
    std::vector<TWinControl*> list;
    CollectTabList(list);
    if (list.empty()) return nullptr;
    if (!goForward) std::reverse(list.begin(), list.end());
    auto start = std::find(list.begin(), list.end(), current);
    size_t index = start == list.end() ? list.size() - 1 : static_cast<size_t>(start - list.begin());
    for (size_t n = 0; n < list.size(); ++n) {
        index = (index + 1) % list.size();
        TWinControl* c = list[index];
        if (c == current) break;
        if (checkTabStop && !c->FTabStop) continue;
        if (checkParent && c->Parent() != this) continue;
        if (c->CanFocus()) return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
    if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, false)) next->SetFocus();
}

bool TWinControl::DoKeyDown(TMessage& message) {
    TWinControl* top = TopLevel();
    if (top && top != this && top->KeyPreviewEnabled() && top->DoKeyDown(message)) return true;
    if (FControlStyle.Contains(csNoStdEvents)) return false;
    Word key = static_cast<Word>(message.WParam);
    KeyDown(key, KeyDataToShiftState(message.LParam));
    message.WParam = key;
    return key == 0;
}

bool TWinControl::DoKeyUp(TMessage& message) {
    TWinControl* top = TopLevel();
    if (top && top != this && top->KeyPreviewEnabled() && top->DoKeyUp(message)) return true;
    if (FControlStyle.Contains(csNoStdEvents)) return false;
    Word key = static_cast<Word>(message.WParam);
    KeyUp(key, KeyDataToShiftState(message.LParam));
    message.WParam = key;
    return key == 0;
}

bool TWinControl::DoKeyPress(TMessage& message) {
    TWinControl* top = TopLevel();
    if (top && top != this && top->KeyPreviewEnabled() && top->DoKeyPress(message)) return true;
    if (FControlStyle.Contains(csNoStdEvents)) return false;
    Char key = static_cast<Char>(message.WParam);
    KeyPress(key);
    message.WParam = key;
    return key == 0;
}

void TWinControl::KeyDown(Word& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
}
void TWinControl::KeyUp(Word& key, TShiftState shift) {
    if (OnKeyUp) OnKeyUp(this, key, shift);
}
void TWinControl::KeyPress(Char& key) {
    if (OnKeyPress) OnKeyPress(this, key);
}

// [SECTION] Messages
void TWinControl::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        if (DoKeyDown(message)) return;
        // The menu key and Shift+F10 ask for the context menu, as a right click does.
        const Word key = static_cast<Word>(message.WParam);
        if (key == VK_APPS || (key == VK_F10 && KeyDataToShiftState(message.LParam).Contains(ssShift))) {
            Perform(WM_CONTEXTMENU, static_cast<WPARAM>(Handle()), PointToLParam(-1, -1));
            return;
        }
        break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (DoKeyUp(message)) return;
        break;
    case WM_CHAR:
        if (DoKeyPress(message)) return;
        break;
    case WM_PAINT: {
        HDC given = reinterpret_cast<HDC>(message.WParam);
        if (given) {
            PaintHandler(given);
            return;
        }
        TWinControl* top = TopLevel();
        TWindowManager& wm = TWindowManager::Get();
        TWindowRecord* rec = top ? wm.Find(top->FHandle) : nullptr;
        const TRect update = FUpdateRect;
        FUpdateRect = {};
        if (!rec || !rec->HostWindow || !CurrentHost() || update.IsEmpty()) return;
        const TPixelBuffer buffer = CurrentHost()->HostWindowPixels(rec->HostWindow);
        const TPoint origin = TWindowManager::OriginInTopLevel(this);
        TRect clip;
        if (!IntersectRect(clip, Offset(update, origin.X, origin.Y),
                           TWindowManager::VisibleClientInTopLevel(this)))
            return;
        FPaintCanvas->SetTarget(buffer, origin, clip);
        try {
            PaintHandler(FPaintCanvas.get());
        } catch (...) {
            FPaintCanvas->ReleaseTarget();
            wm.MarkPresent(top, clip);
            throw;
        }
        FPaintCanvas->ReleaseTarget();
        wm.MarkPresent(top, clip);
        return;
    }
    case WM_NCPAINT: {
        FNonClientDirty = false;
        if (FClientInWindow == Rect(0, 0, Width(), Height())) return;
        TWinControl* top = TopLevel();
        TWindowManager& wm = TWindowManager::Get();
        TWindowRecord* rec = top ? wm.Find(top->FHandle) : nullptr;
        if (!rec || !rec->HostWindow || !CurrentHost()) return;
        const TPixelBuffer buffer = CurrentHost()->HostWindowPixels(rec->HostWindow);
        TPoint origin = TWindowManager::OriginInTopLevel(this);
        origin.X -= FClientInWindow.Left;
        origin.Y -= FClientInWindow.Top;
        TRect clip = Bounds(origin.X, origin.Y, Width(), Height());
        if (Parent()) IntersectRect(clip, clip, TWindowManager::VisibleClientInTopLevel(Parent()));
        if (clip.IsEmpty()) return;
        FPaintCanvas->SetTarget(buffer, origin, clip);
        PaintNonClient(FPaintCanvas.get());
        FPaintCanvas->ReleaseTarget();
        wm.MarkPresent(top, clip);
        return;
    }
    default:
        break;
    }
    TControl::WndProc(message);
}

void TWinControl::DefaultHandler(TMessage& message) {
    switch (message.Msg) {
    case WM_NCCALCSIZE: {
        auto* r = reinterpret_cast<TRect*>(message.LParam);
        if (FStyle & WS_BORDER) InflateRect(*r, -1, -1);
        if (FExStyle & WS_EX_CLIENTEDGE) InflateRect(*r, -2, -2);
        if (FScrollVisible[1]) {
            const Integer w = GetSystemMetrics(SM_CXVSCROLL);
            if (UseRightToLeftScrollBar())
                r->Left += w;
            else
                r->Right -= w;
        }
        if (FScrollVisible[0]) r->Bottom -= GetSystemMetrics(SM_CYHSCROLL);
        return;
    }
    case WM_ERASEBKGND: {
        auto* dc = reinterpret_cast<HDC>(message.WParam);
        dc->Brush()->SetColor(Color());
        dc->Brush()->SetStyle(bsSolid);
        dc->FillRect(ClientRect());
        message.Result = 1;
        return;
    }
    case WM_SETCURSOR: {
        // The control under the pointer decides; the screen's cursor overrides all.
        TCursor cursor = Cursor();
        const TPoint p = ScreenToClient(GetCursorPos());
        if (TControl* child = ControlAtPos(p, false, false)) cursor = child->Cursor();
        ::mv::SetCursor(cursor);
        message.Result = 1;
        return;
    }
    case WM_GETDLGCODE:
        message.Result = 0;
        return;
    default:
        TControl::DefaultHandler(message);
    }
}

// [SECTION] Painting
void TWinControl::Invalidate() {
    InvalidateRect(nullptr);
    FNonClientDirty = FNonClientDirty || HandleAllocated();
}

void TWinControl::InvalidateRect(const TRect* rect) {
    if (!FHandle) return;
    const TRect client = ClientRect();
    TRect r = client;
    if (rect && !IntersectRect(r, *rect, client)) return;
    UnionRect(FUpdateRect, FUpdateRect, r);
    // Children are painted after their parent, so what the parent repaints under a child
    // window must be painted by the child again.
    for (TControl* c : FControls) {
        auto* win = dynamic_cast<TWinControl*>(c);
        if (!win || !win->Visible()) continue;
        TRect overlap;
        if (!IntersectRect(overlap, r, win->BoundsRect())) continue;
        win->FNonClientDirty = true;
        TRect local =
            Offset(overlap, -win->Left() - win->FClientInWindow.Left, -win->Top() - win->FClientInWindow.Top);
        win->InvalidateRect(&local);
    }
    TWindowManager::Get().PaintRequested = true;
    if (CurrentHost()) CurrentHost()->Wake();
}

void TWinControl::ValidateRect(const TRect* rect) {
    if (!rect) {
        FUpdateRect = {};
        return;
    }
    TRect& u = FUpdateRect;
    if (rect->Left <= u.Left && rect->Right >= u.Right) {
        if (rect->Top <= u.Top && rect->Bottom >= u.Bottom)
            u = {};
        else if (rect->Top <= u.Top && rect->Bottom > u.Top)
            u.Top = rect->Bottom;
        else if (rect->Bottom >= u.Bottom && rect->Top < u.Bottom)
            u.Bottom = rect->Top;
    } else if (rect->Top <= u.Top && rect->Bottom >= u.Bottom) {
        if (rect->Left <= u.Left && rect->Right > u.Left)
            u.Left = rect->Right;
        else if (rect->Right >= u.Right && rect->Left < u.Right)
            u.Right = rect->Left;
    }
    if (u.IsEmpty()) u = {};
}

void TWinControl::Update() {
    if (!FHandle) return;
    TWindowManager& wm = TWindowManager::Get();
    std::vector<TWinControl*> order{this};
    CollectTabList(order);
    for (TWinControl* c : order) {
        if (!c->Showing()) continue;
        if (c->FNonClientDirty) c->Perform(WM_NCPAINT);
        if (!c->FUpdateRect.IsEmpty()) c->Perform(WM_PAINT);
    }
    if (TWinControl* top = TopLevel()) {
        TWindowRecord* rec = wm.Find(top->FHandle);
        if (rec && rec->HostWindow && CurrentHost() && !rec->PresentRect.IsEmpty()) {
            CurrentHost()->PresentHostWindow(rec->HostWindow, rec->PresentRect);
            rec->PresentRect = {};
        }
    }
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::PaintHandler(HDC dc) {
    if (!FControlStyle.Contains(csOpaque)) Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc));
    PaintWindow(dc);
    PaintControls(dc, nullptr);
}

void TWinControl::PaintWindow(HDC dc) {
    (void)dc;
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
    if (!dc->HasTarget()) return;
    auto it = first ? std::find(FControls.begin(), FControls.end(), first) : FControls.begin();
    const TPoint origin = dc->Origin();
    TRect clip = dc->ClipRect();
    OffsetRect(clip, origin.X, origin.Y);
    for (; it != FControls.end(); ++it) {
        auto* g = dynamic_cast<TGraphicControl*>(*it);
        if (!g || !g->Visible()) continue;
        TRect bounds = Offset(g->BoundsRect(), origin.X, origin.Y);
        TRect childClip;
        if (!IntersectRect(childClip, bounds, clip)) continue;
        g->Canvas()->SetTarget(dc->Target(), bounds.TopLeft(), childClip);
        try {
            g->Paint();
        } catch (...) {
            g->Canvas()->ReleaseTarget();
            throw;
        }
        g->Canvas()->ReleaseTarget();
    }
}

void TWinControl::PaintNonClient(HDC dc) {
    const TRect window = Rect(0, 0, Width(), Height());
    TRect r = window;
    if (FExStyle & WS_EX_CLIENTEDGE) DrawEdge(dc, r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    if (FStyle & WS_BORDER) {
        dc->Brush()->SetColor(clWindowFrame);
        dc->Brush()->SetStyle(bsSolid);
        dc->FrameRect(r);
    }
    PaintScrollBars(this, dc, window, FClientInWindow);
}

// [SECTION] TCustomControl
TCustomControl::TCustomControl(TComponent* owner)
    : TWinControl(owner), FCanvas(std::make_unique<TCanvas>()) {}

TCustomControl::~TCustomControl() = default;

TCanvas* TCustomControl::Canvas() {
    if (FPainting || !HandleAllocated()) return FCanvas.get();
    // Drawing outside Paint goes straight to the window's pixels (the framework's GetDC).
    TWinControl* top = TopLevel();
    TWindowManager& wm = TWindowManager::Get();
    TWindowRecord* rec = top ? wm.Find(top->Handle()) : nullptr;
    if (!rec || !rec->HostWindow || !CurrentHost()) return FCanvas.get();
    const TPixelBuffer buffer = CurrentHost()->HostWindowPixels(rec->HostWindow);
    const TPoint origin = TWindowManager::OriginInTopLevel(this);
    const bool stale = !FCanvas->HasTarget() || FCanvas->Target().Pixels != buffer.Pixels ||
                       FCanvas->Target().Width != buffer.Width || FCanvas->Target().Height != buffer.Height ||
                       FCanvas->Origin() != origin;
    if (stale) FCanvas->SetTarget(buffer, origin, TWindowManager::VisibleClientInTopLevel(this));
    wm.MarkPresent(top, TWindowManager::VisibleClientInTopLevel(this));
    return FCanvas.get();
}

void TCustomControl::PaintWindow(HDC dc) {
    TRect clip = dc->ClipRect();
    const TPoint origin = dc->Origin();
    OffsetRect(clip, origin.X, origin.Y);
    FCanvas->SetTarget(dc->Target(), origin, clip);
    FPainting = true;
    try {
        Paint();
    } catch (...) {
        FPainting = false;
        FCanvas->ReleaseTarget();
        throw;
    }
    FPainting = false;
    FCanvas->ReleaseTarget();
}

} // namespace mv
