// TApplication's message loop, TScreen and TCustomForm.
#include "platform/vcl/Forms.h"

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

// [SECTION] TCustomForm
TCustomForm::TCustomForm(TComponent* owner) : TCustomControl(owner) {
    SetVisible(false);
    SetColor(clBtnFace);
    SetBounds(0, 0, 320, 240);
    Screen->FForms.push_back(this);
}

TCustomForm::~TCustomForm() {
    auto& forms = Screen->FForms;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    if (Application->MainForm() == this) Application->SetMainForm(nullptr);
    DestroyHandle();
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation == opRemove && component == FActiveControl) FActiveControl = nullptr;
}

void TCustomForm::Show() {
    if (!Application->MainForm()) Application->SetMainForm(this);
    SetVisible(true);
    if (OnShow) OnShow(this);
    TWinControl* target = FActiveControl && FActiveControl->CanFocus() ? FActiveControl : nullptr;
    if (!target) target = FindNextControl(nullptr, true, true, false);
    if (target)
        target->SetFocus();
    else
        SetFocus();
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::DoClose(TCloseAction& action) {
    if (OnClose) OnClose(this, action);
}

void TCustomForm::Close() {
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone) return;
    if (Application->MainForm() == this) Application->Terminate();
    if (action == caFree) {
        Release();
        return;
    }
    SetVisible(false);
    if (OnHide) OnHide(this);
}

void TCustomForm::Release() {
    PostMessage(Handle(), CM_RELEASE, 0, 0);
}

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

void TCustomForm::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_CLOSE:
        Close();
        return;
    case CM_RELEASE:
        delete this;
        return;
    case CM_FOCUSCHANGED: {
        auto* control = reinterpret_cast<TWinControl*>(message.LParam);
        if (control != this && control != FActiveControl) {
            if (FActiveControl) FActiveControl->RemoveFreeNotification(this);
            FActiveControl = control;
            if (control) control->FreeNotification(this);
        }
        return;
    }
    case CM_ACTIVATE:
        if (OnActivate) OnActivate(this);
        if (FActiveControl && FActiveControl->CanFocus()) FActiveControl->SetFocus();
        return;
    case CM_TEXTCHANGED:
        if (THostWindow window = HostWindowOf(this); window && CurrentHost())
            CurrentHost()->SetHostWindowCaption(window, Caption());
        return;
    case CM_DEACTIVATE:
        if (OnDeactivate) OnDeactivate(this);
        return;
    default:
        TCustomControl::WndProc(message);
    }
}

} // namespace mv
