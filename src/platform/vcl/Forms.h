// TApplication (the message loop and exception reporting), TScreen (screen size, work
// area, cursors, forms) and the plain top-level TForm. Application and Screen are made on
// first use; the loop needs a host (Host.h, InstallHost) to get events and time from.
#pragma once

#include "platform/vcl/Controls.h"

#include <exception>
#include <functional>
#include <vector>

namespace mv {

class TCustomForm;

using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* owner);
    ~TApplication() override;

    // Handles host events, posted messages, paints and due timers until none is left.
    // Messages posted while it runs are handled in the same call, in posting order.
    void ProcessMessages();
    // Handles one unit of work, waiting for the host when there is none (up to the next
    // due timer). Returns false once Terminate was called.
    bool HandleMessage();
    // HandleMessage until Terminate (closing the main form terminates).
    void Run();
    void Terminate() { FTerminated = true; }
    bool Terminated() const { return FTerminated; }
    // Clears Terminated so that a test can run the loop again.
    void ResetTerminated() { FTerminated = false; }

    // The first form shown becomes the main form unless one was set.
    TCustomForm* MainForm() const { return FMainForm; }
    void SetMainForm(TCustomForm* form) { FMainForm = form; }
    const String& Title() const { return FTitle; }
    void SetTitle(const String& value) { FTitle = value; }

    // Delays of the hint machinery in milliseconds (hint windows come with the forms layer).
    Integer HintPause() const { return FHintPause; }
    void SetHintPause(Integer value) { FHintPause = value; }
    Integer HintShortPause() const { return FHintShortPause; }
    void SetHintShortPause(Integer value) { FHintShortPause = value; }
    Integer HintHidePause() const { return FHintHidePause; }
    void SetHintHidePause(Integer value) { FHintHidePause = value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value) { FShowHint = value; }

    // An exception escaping a message handler ends here: OnException when assigned, else
    // ShowException. EAbort is silent.
    void HandleException(const std::exception& e);
    // Writes the message to standard error (message boxes come with the dialogs).
    void ShowException(const std::exception& e);
    Integer ExceptionCount() const { return FExceptionCount; }

    // The host clock's due time of the earliest timer (false when no timer runs).
    bool NextTimerDue(std::uint64_t& due) const;

    TExceptionEvent OnException;
    TNotifyEvent OnIdle;

private:
    bool FTerminated = false;
    TCustomForm* FMainForm = nullptr;
    String FTitle;
    Integer FHintPause = 500;
    Integer FHintShortPause = 50;
    Integer FHintHidePause = 2500;
    bool FShowHint = true;
    Integer FExceptionCount = 0;
};

class TScreen : public TComponent {
public:
    explicit TScreen(TComponent* owner);

    Integer Width() const;
    Integer Height() const;
    TRect WorkAreaRect() const;
    Integer WorkAreaWidth() const { return WorkAreaRect().Width(); }
    Integer WorkAreaHeight() const { return WorkAreaRect().Height(); }
    Integer PixelsPerInch() const;
    // The cursor shown everywhere while not crDefault (crHourGlass during long work).
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor value);
    // Cursor handles are the TCursor values themselves.
    HCURSOR Cursors(TCursor index) const { return index; }

    Integer FormCount() const { return static_cast<Integer>(FForms.size()); }
    TCustomForm* Forms(Integer index) const;
    TCustomForm* ActiveForm() const;
    TWinControl* ActiveControl() const;

private:
    friend class TCustomForm;
    TCursor FCursor = crDefault;
    std::vector<TCustomForm*> FForms;
};

enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

// A top-level window with a caption. Forms start hidden; Show makes the host window.
class TCustomForm : public TCustomControl {
public:
    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;

    // Visible = true, then the window comes to the front with the keyboard focus.
    void Show();
    // CloseQuery, then OnClose decides: caHide hides (the default), caFree frees the form
    // later (posted), caNone keeps it. Closing the main form terminates the application.
    void Close();
    virtual bool CloseQuery();
    // Frees the form once the messages being handled are done (posts CM_RELEASE).
    void Release();

    // The control that has (or gets, when the form is activated) the keyboard focus.
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* control);
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool value) { FKeyPreview = value; }
    bool Active() const;
    // Modal result for the modal loop of the forms layer.
    Integer ModalResult() const { return FModalResult; }
    void SetModalResult(Integer value) { FModalResult = value; }

    void WndProc(TMessage& message) override;

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

protected:
    bool KeyPreviewEnabled() const override { return FKeyPreview; }
    void Paint() override;
    void Notification(TComponent* component, TOperation operation) override;
    virtual void DoClose(TCloseAction& action);

private:
    TWinControl* FActiveControl = nullptr;
    bool FKeyPreview = false;
    Integer FModalResult = 0;
};

class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
};

// The form control is on (its top-level control when that is a form), or null.
TCustomForm* GetParentForm(const TControl* control);

// The process-wide objects, made on first use; read as the framework's globals
// (Application->ProcessMessages()).
struct TApplicationRef {
    TApplication* operator->() const;
    operator TApplication*() const { return operator->(); }
};
struct TScreenRef {
    TScreen* operator->() const;
    operator TScreen*() const { return operator->(); }
};
inline constexpr TApplicationRef Application{};
inline constexpr TScreenRef Screen{};

} // namespace mv
