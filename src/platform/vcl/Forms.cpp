// TApplication's message loop, TScreen and TCustomForm (the modal loop's call flow is in
// Forms.h).
//
// [SECTION] Globals: Application, Screen, GetParentForm, IsAccel
// [SECTION] TApplication: ProcessMessages, HandleMessage, Run, exceptions
// [SECTION] TScreen
// [SECTION] TSizeConstraints
// [SECTION] TCustomForm: life and showing (OnCreate, placement, Show, constraints, popups)
// [SECTION] TCustomForm: closing and the modal loop (Close, ShowModal, CloseModal)
// [SECTION] TCustomForm: focus, keys and messages (dialog keys, accelerators, deactivation)
#include "platform/vcl/Forms.h"

#include "platform/rtl/Format.h"
#include "platform/rtl/Utf8.h"
#include "platform/vcl/ControlsPrivate.h"

#include <algorithm>
#include <cstdio>

namespace mv {

// [SECTION] Globals
TApplication* TApplicationRef::operator->() const {
    // Never freed: handlers may still run while static objects are torn down.
    static TApplication* application = new TApplication(nullptr);
    return application;
}

TScreen* TScreenRef::operator->() const {
    static TScreen* screen = new TScreen(nullptr);
    return screen;
}

TCustomForm* GetParentForm(const TControl* control) {
    return control ? dynamic_cast<TCustomForm*>(control->TopLevel()) : nullptr;
}

bool IsAccel(Word key, const String& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&') continue;
        Char next = caption[i + 1];
        if (next == u'&') {
            ++i; // "&&" shows one ampersand
            continue;
        }
        if (next >= u'a' && next <= u'z') next = static_cast<Char>(next - u'a' + u'A');
        return next == key;
    }
    return false;
}

// [SECTION] TApplication
TApplication::TApplication(TComponent* owner) : TComponent(owner) {}

TApplication::~TApplication() = default;

void TApplication::ProcessMessages() {
    TWindowManager& wm = TWindowManager::Get();
    for (;;) {
        bool worked = false;
        if (THost* host = CurrentHost()) worked = host->PumpEvents(0);
        while (wm.ProcessPending())
            worked = true;
        if (!worked) break;
    }
}

bool TApplication::HandleMessage() {
    TWindowManager& wm = TWindowManager::Get();
    THost* host = CurrentHost();
    if (host) host->PumpEvents(0);
    if (!wm.ProcessPending()) {
        if (OnIdle) OnIdle(this);
        if (host && !FTerminated) {
            // Sleep in the host until an event arrives or the next timer is due.
            Integer wait = 1000;
            std::uint64_t due = 0;
            if (wm.NextTimerDue(due)) {
                const std::uint64_t now = host->TickCount();
                wait = due <= now ? 0 : static_cast<Integer>(std::min<std::uint64_t>(due - now, 1000));
            }
            host->PumpEvents(wait);
        }
    }
    return !FTerminated;
}

void TApplication::Run() {
    while (!FTerminated)
        HandleMessage();
}

void TApplication::HandleException(const std::exception& e) {
    ++FExceptionCount;
    if (dynamic_cast<const EAbort*>(&e)) return;
    if (OnException) {
        OnException(this, e);
        return;
    }
    ShowException(e);
}

void TApplication::ShowException(const std::exception& e) {
    std::fprintf(stderr, "Exception: %s\n", e.what());
}

bool TApplication::NextTimerDue(std::uint64_t& due) const {
    return TWindowManager::Get().NextTimerDue(due);
}

// [SECTION] TScreen
TScreen::TScreen(TComponent* owner) : TComponent(owner) {}

Integer TScreen::Width() const {
    return GetSystemMetrics(SM_CXSCREEN);
}
Integer TScreen::Height() const {
    return GetSystemMetrics(SM_CYSCREEN);
}

TRect TScreen::WorkAreaRect() const {
    THost* host = CurrentHost();
    return host ? host->WorkAreaRect() : Rect(0, 0, Width(), Height());
}

Integer TScreen::PixelsPerInch() const {
    THost* host = CurrentHost();
    return host ? host->PixelsPerInch() : DefaultPixelsPerInch;
}

void TScreen::SetCursor(TCursor value) {
    if (value == FCursor) return;
    FCursor = value;
    if (THost* host = CurrentHost()) host->SetCursorShape(value);
}

TCustomForm* TScreen::Forms(Integer index) const {
    if (index < 0 || index >= FormCount()) throw EListError(u"Form index out of bounds");
    return FForms[static_cast<size_t>(index)];
}

TCustomForm* TScreen::ActiveForm() const {
    return GetParentForm(FindControl(GetFocus()));
}

TWinControl* TScreen::ActiveControl() const {
    return FindControl(GetFocus());
}

// [SECTION] TSizeConstraints
void TSizeConstraints::SetValue(Integer& field, Integer value) {
    value = std::max(value, 0);
    if (field == value) return;
    field = value;
    if (OnChange) OnChange(this);
}

void TSizeConstraints::Apply(Integer& width, Integer& height) const {
    if (FMaxWidth > 0) width = std::min(width, FMaxWidth);
    if (FMaxHeight > 0) height = std::min(height, FMaxHeight);
    width = std::max(width, FMinWidth);
    height = std::max(height, FMinHeight);
}

void TSizeConstraints::Assign(const TPersistent* source) {
    const auto* other = dynamic_cast<const TSizeConstraints*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    FMinWidth = other->FMinWidth;
    FMinHeight = other->FMinHeight;
    FMaxWidth = other->FMaxWidth;
    FMaxHeight = other->FMaxHeight;
    if (OnChange) OnChange(this);
}

// [SECTION] TCustomForm: life and showing
namespace {

// Idle turns of a modal loop without any sign of life before it gives up (a turn that
// finds nothing to do costs microseconds on a host that does not wait).
constexpr Integer StillTurnsLimit = 100000;

// The forms running ShowModal, innermost last.
std::vector<TCustomForm*>& ModalStack() {
    static std::vector<TCustomForm*> stack;
    return stack;
}

bool IsLiveForm(TCustomForm* form) {
    if (!form) return false;
    for (Integer i = 0; i < Screen->FormCount(); ++i)
        if (Screen->Forms(i) == form) return true;
    return false;
}

// Sends message to every descendant of parent, depth first in child order, until one sets
// a Result. True when one did.
bool BroadcastUntilHandled(TWinControl* parent, TMessage& message) {
    std::vector<TControl*> children;
    for (Integer i = 0; i < parent->ControlCount(); ++i)
        children.push_back(parent->Controls(i));
    for (TControl* c : children) {
        if (!parent->ContainsControl(c)) continue; // freed or moved by an earlier handler
        c->WndProc(message);
        if (message.Result != 0) return true;
        if (auto* win = dynamic_cast<TWinControl*>(c); win && BroadcastUntilHandled(win, message))
            return true;
    }
    return false;
}

TRect CenteredIn(const TRect& area, Integer width, Integer height) {
    return Bounds(area.Left + (area.Width() - width) / 2, area.Top + (area.Height() - height) / 2, width,
                  height);
}

} // namespace

TCustomForm::TCustomForm(TComponent* owner)
    : TCustomControl(owner), FConstraints(std::make_unique<TSizeConstraints>()) {
    SetVisible(false);
    SetColor(clBtnFace);
    SetBounds(0, 0, 320, 240);
    FConstraints->OnChange = [this](TObject*) { ConstraintsChanged(); };
    Screen->FForms.push_back(this);
}

TCustomForm::~TCustomForm() {
    std::erase(ModalStack(), this);
    auto& forms = Screen->FForms;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    if (Application->MainForm() == this) Application->SetMainForm(nullptr);
    DestroyHandle();
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == FActiveControl) FActiveControl = nullptr;
    if (component == FPopupParent) FPopupParent = nullptr;
}

void TCustomForm::AfterConstruction() {
    if (FCreated) return;
    FCreated = true;
    DoCreate();
}

void TCustomForm::DoCreate() {
    if (OnCreate) OnCreate(this);
}

void TCustomForm::DoShow() {
    if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
    if (OnHide) OnHide(this);
}

void TCustomForm::VisibleChanging() {
    TCustomControl::VisibleChanging();
    if (Visible()) return; // about to hide: OnHide follows CM_VISIBLECHANGED
    AfterConstruction();
    PlaceForShow();
    DoShow();
}

void TCustomForm::PlaceForShow() {
    TRect area = Screen->WorkAreaRect();
    TCustomForm* over = nullptr;
    switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter:
        break;
    case poOwnerFormCenter:
        over = dynamic_cast<TCustomForm*>(Owner());
        if (!over || !over->Visible()) over = Application->MainForm();
        break;
    case poMainFormCenter:
        over = Application->MainForm();
        break;
    default:
        return; // the bounds as set
    }
    if (over && over != this && over->Visible()) area = over->BoundsRect();
    TRect r = CenteredIn(area, Width(), Height());
    // Centred over a form near the edge, the form still has to be seen whole.
    const TRect work = Screen->WorkAreaRect();
    OffsetRect(r, std::max(0, work.Left - r.Left), std::max(0, work.Top - r.Top));
    OffsetRect(r, std::min(0, work.Right - r.Right), std::min(0, work.Bottom - r.Bottom));
    SetBounds(std::max(r.Left, work.Left), std::max(r.Top, work.Top), Width(), Height());
}

void TCustomForm::FocusFirstControl() {
    TWinControl* target = FActiveControl && FActiveControl->CanFocus() ? FActiveControl : nullptr;
    if (!target) target = FindNextControl(nullptr, true, true, false);
    if (target)
        target->SetFocus();
    else if (CanFocus())
        SetFocus();
}

void TCustomForm::Show() {
    if (!FModal && !Application->MainForm()) Application->SetMainForm(this);
    SetVisible(true);
    FocusFirstControl();
}

void TCustomForm::HideForm() {
    SetVisible(false);
}

void TCustomForm::SetBounds(Integer left, Integer top, Integer width, Integer height) {
    if (FConstraints) FConstraints->Apply(width, height);
    TCustomControl::SetBounds(left, top, width, height);
}

void TCustomForm::ConstraintsChanged() {
    SetBounds(Left(), Top(), Width(), Height());
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
    if (value == FBorderStyle) return;
    FBorderStyle = value;
    RecreateWnd(); // the host window kind changes
}

void TCustomForm::SetPopupParent(TCustomForm* value) {
    if (value == FPopupParent) return;
    if (FPopupParent) FPopupParent->RemoveFreeNotification(this);
    FPopupParent = value;
    if (value) value->FreeNotification(this);
}

void TCustomForm::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Sizeable = FBorderStyle == bsSizeable || FBorderStyle == bsSizeToolWin;
    if (FBorderStyle != bsNone) return;
    params.HostKind = hwPopup;
    TCustomForm* parent = FPopupParent;
    if (!parent) parent = dynamic_cast<TCustomForm*>(Owner());
    if (!parent) parent = Screen->ActiveForm();
    if (parent && parent != this && parent->HandleAllocated()) params.WndParent = parent->Handle();
}

// [SECTION] TCustomForm: closing and the modal loop
bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::DoClose(TCloseAction& action) {
    if (OnClose) OnClose(this, action);
}

void TCustomForm::Close() {
    if (FModal) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone) return;
    if (Application->MainForm() == this) Application->Terminate();
    if (action == caFree) {
        Release();
        return;
    }
    HideForm();
}

void TCustomForm::Release() {
    PostMessage(Handle(), CM_RELEASE, 0, 0);
}

TModalResult TCustomForm::ShowModal() {
    if (Visible() || FModal) throw EInvalidOperation(FormsConsts::SCannotShowModal);
    if (THost* host = CurrentHost()) {
        Integer answer = mrNone;
        if (host->AnswerModal(ClassName(), Caption(), answer)) {
            FModalResult = answer;
            return answer;
        }
    }
    // A gesture the mouse was driving (a drag, a selection) cannot finish while the
    // dialog runs: its control is told to drop it before the capture goes.
    if (TControl* captured = GetCaptureControl()) captured->Perform(WM_CANCELMODE, 0, 0);
    SetCaptureControl(nullptr);
    TCustomForm* previous = Screen->ActiveForm();
    // The other forms take no input while this one runs, as the framework's task windows.
    std::vector<TCustomForm*> disabled;
    for (TCustomForm* form : Screen->FForms)
        if (form != this && form->HandleAllocated() && IsWindowEnabled(form->Handle())) {
            EnableWindow(form->Handle(), false);
            disabled.push_back(form);
        }
    auto restore = [&] {
        FModal = false;
        std::erase(ModalStack(), this);
        if (Visible()) HideForm();
        for (TCustomForm* form : disabled)
            if (IsLiveForm(form) && form->HandleAllocated()) EnableWindow(form->Handle(), true);
        if (IsLiveForm(previous) && previous != this && previous->Showing()) previous->FocusFirstControl();
    };
    FModal = true;
    ModalStack().push_back(this);
    FModalResult = mrNone;
    // A host whose clock stands still while nothing is pending and nobody acts when the
    // loop goes idle (the headless host without a script) can never end the loop: that is
    // reported instead of hanging.
    THost* host = CurrentHost();
    std::uint64_t lastTick = host ? host->TickCount() : 0;
    Integer stillTurns = 0;
    try {
        Show();
        for (;;) {
            Application->HandleMessage();
            if (Application->Terminated() && FModalResult == mrNone) FModalResult = mrCancel;
            if (FModalResult == mrNone && !Application->OnIdle && CurrentHost() == host && host) {
                const std::uint64_t now = host->TickCount();
                stillTurns = now == lastTick ? stillTurns + 1 : 0;
                lastTick = now;
                if (stillTurns > StillTurnsLimit)
                    throw EInvalidOperation(Format(FormsConsts::SModalWithoutInput, {Caption()}));
            }
            if (FModalResult == mrNone) continue;
            CloseModal();
            if (FModalResult != mrNone) break;
        }
    } catch (...) {
        restore();
        throw;
    }
    const TModalResult result = FModalResult;
    restore();
    return result;
}

void TCustomForm::CloseModal() {
    try {
        TCloseAction action = caNone;
        if (CloseQuery()) {
            action = caHide;
            DoClose(action);
        }
        if (action == caNone)
            FModalResult = mrNone;
        else if (action == caFree)
            Release();
    } catch (const std::exception& e) {
        FModalResult = mrNone;
        Application->HandleException(e);
    }
}

// [SECTION] TCustomForm: focus, keys and messages
void TCustomForm::SetActiveControl(TWinControl* control) {
    if (control == FActiveControl) return;
    if (FActiveControl) FActiveControl->RemoveFreeNotification(this);
    FActiveControl = control;
    if (control) control->FreeNotification(this);
    if (control && Active() && control->CanFocus() && !control->Focused()) control->SetFocus();
}

bool TCustomForm::Active() const {
    TWinControl* focused = FindControl(GetFocus());
    return focused && focused->TopLevel() == this;
}

void TCustomForm::Paint() {
    if (OnPaint) OnPaint(this);
}

void TCustomForm::DialogKey(TMessage& message) {
    const TShiftState shift = KeyDataToShiftState(message.LParam);
    if (message.WParam == VK_TAB) {
        if (shift.Contains(ssCtrl) || shift.Contains(ssAlt)) return;
        TWinControl* current = FindControl(GetFocus());
        if (current && !ContainsControl(current)) current = nullptr;
        if (current == this) current = nullptr;
        SelectNext(current, !shift.Contains(ssShift), true);
        message.Result = 1;
        return;
    }
    // Enter and Escape: the default and cancel buttons answer.
    BroadcastUntilHandled(this, message);
}

void TCustomForm::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_CLOSE:
        Close();
        return;
    case CM_RELEASE:
        delete this;
        return;
    case CM_DIALOGKEY:
        DialogKey(message);
        return;
    case CM_DIALOGCHAR:
        BroadcastUntilHandled(this, message);
        return;
    case CM_VISIBLECHANGED:
        if (message.WParam == 0) DoHide();
        TCustomControl::WndProc(message);
        return;
    case CM_FOCUSCHANGED: {
        auto* control = reinterpret_cast<TWinControl*>(message.LParam);
        if (control != this && control != FActiveControl) {
            if (FActiveControl) FActiveControl->RemoveFreeNotification(this);
            FActiveControl = control;
            if (control) control->FreeNotification(this);
        }
        // The controls whose look depends on the focus (the default button) hear of it.
        TMessage notice{CM_FOCUSCHANGED, 0, message.LParam, 0};
        BroadcastUntilHandled(this, notice);
        return;
    }
    case CM_ACTIVATE:
        // The user switched to a form a modal one disabled: the modal form takes the focus
        // back once this activation is done, as the system does with a disabled owner.
        if (HandleAllocated() && !IsWindowEnabled(Handle()) && !ModalStack().empty()) {
            PostMessage(ModalStack().back()->Handle(), CM_ACTIVATE, 0, 0);
            return;
        }
        if (OnActivate) OnActivate(this);
        if (FActiveControl && FActiveControl->CanFocus()) FActiveControl->SetFocus();
        return;
    case CM_TEXTCHANGED:
        if (THostWindow window = HostWindowOf(this); window && CurrentHost())
            CurrentHost()->SetHostWindowCaption(window, Caption());
        return;
    case CM_DEACTIVATE:
        if (OnDeactivate) OnDeactivate(this);
        if (FCloseOnDeactivate && Visible()) Close();
        return;
    default:
        TCustomControl::WndProc(message);
    }
}

namespace FormsConsts {
String SCannotShowModal = u"Cannot make a visible window modal";
String SModalWithoutInput =
    u"Modal form '%s' can never close: the host delivers no input and nothing "
    u"answered it (queue an answer on the headless host or act in Application->OnIdle)";
} // namespace FormsConsts

} // namespace mv
