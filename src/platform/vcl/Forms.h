// TApplication (the message loop and exception reporting), TScreen (screen size, work
// area, cursors, forms) and TForm: a top-level window with a caption that is shown
// modelessly (Show) or modally (ShowModal, a nested message loop that ends when
// ModalResult is set). Application and Screen are made on first use; the loop needs a
// host (Host.h, InstallHost) to get events and time from.
//
// Call flow of a modal form: ShowModal -> the host may answer at once (AnswerModal, the
// headless host's script) -> else the other forms are disabled, the form shows, and
// Application->HandleMessage runs until ModalResult != mrNone (a button with a ModalResult,
// Close, Escape on a cancel button, the host's close request) -> CloseModal asks
// CloseQuery/OnClose (caNone keeps the loop running) -> the form hides, the other forms are
// enabled again and the form that was active gets the focus back.
#pragma once

#include "platform/vcl/Controls.h"
#include "platform/vcl/HintWindow.h"

#include <exception>
#include <functional>
#include <memory>
#include <vector>

namespace mv {

class TCustomForm;

// The result of a modal form: what ShowModal and MessageDlg return.
using TModalResult = Integer;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;
inline constexpr TModalResult mrClose = 8;
inline constexpr TModalResult mrHelp = 9;
inline constexpr TModalResult mrTryAgain = 10;
inline constexpr TModalResult mrContinue = 11;
inline constexpr TModalResult mrAll = 12;
inline constexpr TModalResult mrNoToAll = 13;
inline constexpr TModalResult mrYesToAll = 14;

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

    // Creates a form owned by the application, fires its OnCreate (AfterConstruction)
    // and returns it in reference. The first form created this way becomes the main form.
    template <typename T> void CreateForm(T*& reference) {
        reference = new T(this);
        if (!FMainForm) FMainForm = reference;
        reference->AfterConstruction();
    }

    // The first form created by CreateForm or shown modelessly becomes the main form
    // unless one was set; a modal form never does.
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

    // --- the hint machinery (HintWindow.cpp; THintInfo and THintWindow in HintWindow.h) ---
    // Every mouse message a control gets passes here (TControl::WndProc), and its
    // CM_MOUSELEAVE: resting on a control with ShowHint shows its hint after HintPause
    // (HintShortPause while a hint was just showing), a press cancels it.
    void HintMouseMessage(TControl* control, TMessage& message);
    // Shows the hint of the control at cursorPos (screen) now, without a pause.
    void ActivateHint(TPoint cursorPos);
    // Hides the hint and forgets the control: the next one waits the full HintPause.
    void CancelHint();
    // Hides the hint window; the pointer leaving the hint's cursor rectangle asks again.
    void HideHint();
    // The window showing a hint now, or null.
    THintWindow* HintWindow() const;
    THintWindowClass HintWindowClass() const { return FHintWindowClass; }
    void SetHintWindowClass(THintWindowClass value);
    // The long part of the hint of the control under the pointer, for a status line;
    // OnHint fires when it changes.
    const String& Hint() const { return FHint; }
    void SetHint(const String& value);
    TNotifyEvent OnHint;
    // Sees the filled hint record before it shows; may change it or clear canShow.
    std::function<void(String& HintStr, bool& CanShow, THintInfo& HintInfo)> OnShowHint;

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
    // The hint machinery's state, made on first use (HintWindow.cpp).
    struct THintState;
    struct THintStateDeleter {
        void operator()(THintState* state) const;
    };
    THintState& HintState();
    void HintTimerExpired(UINT timer);
    void ShowHintNow(TPoint screen);
    std::unique_ptr<THintState, THintStateDeleter> FHintState;
    THintWindowClass FHintWindowClass = &NewHintWindow<THintWindow>;
    String FHint;
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
    // The form holding the keyboard focus and the focused control (null when none has it).
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

// Where a form goes when it is shown from hidden. The centred ones are kept inside the
// work area.
enum TPosition {
    poDesigned,        // Left and Top as set
    poDefault,         // as poDesigned here: the host has no placement of its own
    poDefaultPosOnly,  // as poDesigned
    poDefaultSizeOnly, // as poDesigned
    poScreenCenter,    // centred on the work area of the screen
    poDesktopCenter,   // as poScreenCenter (one screen)
    poMainFormCenter,  // centred over the main form (on the screen when there is none)
    poOwnerFormCenter  // centred over the owner form (else as poMainFormCenter)
};

enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = Set<TBorderIcon>;

// Least and greatest size of a form's client area; 0 is no limit.
class TSizeConstraints : public TPersistent {
    MV_CLASS(TSizeConstraints, TPersistent);
    // Published: MaxHeight, MaxWidth, MinHeight, MinWidth (default 0).
    static void RegisterProperties(TPropertyRegistrar<TSizeConstraints>& r);

    Integer MinWidth() const { return FMinWidth; }
    void SetMinWidth(Integer value) { SetValue(FMinWidth, value); }
    Integer MinHeight() const { return FMinHeight; }
    void SetMinHeight(Integer value) { SetValue(FMinHeight, value); }
    Integer MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(Integer value) { SetValue(FMaxWidth, value); }
    Integer MaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(Integer value) { SetValue(FMaxHeight, value); }
    // width and height brought inside the limits (a maximum below the minimum loses).
    void Apply(Integer& width, Integer& height) const;
    void Assign(const TPersistent* source) override;

    // Fires after every change (the form applies the new limits to its size).
    TNotifyEvent OnChange;

private:
    void SetValue(Integer& field, Integer value);
    Integer FMinWidth = 0, FMinHeight = 0, FMaxWidth = 0, FMaxHeight = 0;
};

// A top-level window with a caption. Forms start hidden; Show makes the host window.
// Its bounds are the client area in screen coordinates: the window manager's frame lies
// outside them.
class TCustomForm : public TCustomControl {
    MV_CLASS(TCustomForm, TWinControl);
    // Published (besides TWinControl's): ActiveControl, BorderIcons, BorderStyle, Caption,
    // Constraints, HelpContext, KeyPreview, Position.
    static void RegisterProperties(TPropertyRegistrar<TCustomForm>& r);

    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;

    // Streaming, as the root: first the components it owns that have no parent (data
    // sets, menus), then its child controls.
    void GetChildren(const TGetChildProc& proc, TComponent* root) override;

    // Fires OnCreate once (Application->CreateForm calls it). A form whose OnCreate has
    // not fired yet fires it just before it is first shown.
    void AfterConstruction();

    // Visible = true, then the window comes to the front with the keyboard focus.
    // OnShow fires before the window appears (after placement by Position).
    void Show();
    // Shows the form modally and returns its ModalResult once a handler set it (see the
    // call flow above). When the host answers the dialog (THost::AnswerModal with the
    // form's class name and caption) the form is not shown and the answer is returned
    // and kept in ModalResult. EInvalidOperation SCannotShowModal when the form is
    // visible or already modal, SModalWithoutInput (the form hidden again) when the host
    // can deliver nothing and no Application->OnIdle handler acts: the headless host
    // without a scripted answer. Application->Terminate ends the loop with mrCancel.
    TModalResult ShowModal();
    // A modeless form: CloseQuery, then OnClose decides: caHide hides (the default), caFree
    // frees the form later (posted), caNone keeps it. Closing the main form terminates the
    // application. A modal form: ModalResult = mrCancel, which ends the modal loop (that
    // then asks CloseQuery and OnClose).
    void Close();
    virtual bool CloseQuery();
    // Frees the form once the messages being handled are done (posts CM_RELEASE).
    void Release();
    // Whether the form runs in ShowModal now.
    bool Modal() const { return FModal; }

    // The control that has (or gets, when the form is activated) the keyboard focus.
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* control);
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool value) { FKeyPreview = value; }
    bool Active() const;
    // Setting a value other than mrNone on a modal form ends its loop at the next turn.
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult value) { FModalResult = value; }

    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition value) { FPosition = value; }
    // bsNone makes a borderless popup window (a drop-down): it may extend beyond its
    // owner and stays above it. bsSingle and bsDialog are fixed, bsSizeable and
    // bsSizeToolWin resizable frames; the window manager draws the frame. A change
    // recreates an existing window.
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle value);
    // Kept for the frame's buttons; the host's window manager decides what it shows.
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons value) { FBorderIcons = value; }
    TSizeConstraints* Constraints() const { return FConstraints.get(); }
    // The form a popup (bsNone) stays above; when null its owner when that is a form,
    // else the form active when the window is made.
    TCustomForm* PopupParent() const { return FPopupParent; }
    void SetPopupParent(TCustomForm* value);
    // True: the form closes (Close, so OnClose decides how) as soon as it loses the
    // keyboard focus to another window, as drop-downs do. False by default.
    bool CloseOnDeactivate() const { return FCloseOnDeactivate; }
    void SetCloseOnDeactivate(bool value) { FCloseOnDeactivate = value; }
    Integer HelpContext() const { return FHelpContext; }
    void SetHelpContext(Integer value) { FHelpContext = value; }

    // Sizes outside Constraints are brought inside them.
    void SetBounds(Integer left, Integer top, Integer width, Integer height) override;
    void WndProc(TMessage& message) override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

protected:
    bool KeyPreviewEnabled() const override { return FKeyPreview; }
    void CreateParams(TCreateParams& params) override;
    void Paint() override;
    void Notification(TComponent* component, TOperation operation) override;
    virtual void DoCreate();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& action);
    // Ends a modal run once ModalResult is set: CloseQuery and OnClose may keep it going
    // (ModalResult back to mrNone).
    virtual void CloseModal();
    // Before the form becomes visible: OnCreate when still due, placement, OnShow.
    void VisibleChanging() override;
    // Tab, Enter and Escape that the focused control did not want (Result 1: consumed).
    virtual void DialogKey(TMessage& message);

private:
    void PlaceForShow();
    void FocusFirstControl();
    void HideForm();
    void ConstraintsChanged();

    TWinControl* FActiveControl = nullptr;
    bool FKeyPreview = false;
    TModalResult FModalResult = mrNone;
    TPosition FPosition = poDesigned;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    std::unique_ptr<TSizeConstraints> FConstraints;
    TCustomForm* FPopupParent = nullptr;
    bool FCloseOnDeactivate = false;
    Integer FHelpContext = 0;
    bool FCreated = false; // OnCreate fired
    bool FModal = false;
};

class TForm : public TCustomForm {
    MV_CLASS(TForm, TCustomForm);
    using TCustomForm::TCustomForm;
};

// Makes the control, menu, image list and form classes known by name to the streaming
// system (GetClass), so that form text naming them can be read.
void RegisterVclClasses();

// The form control is on (its top-level control when that is a form), or null.
TCustomForm* GetParentForm(const TControl* control);

// Whether caption marks key (a VK_ letter or digit) as its accelerator: "&Save" has S
// ("&&" is a plain ampersand). Case does not matter.
bool IsAccel(Word key, const String& caption);

// Message texts of the forms unit.
namespace FormsConsts {
extern String SCannotShowModal;   // "Cannot make a visible window modal"
extern String SModalWithoutInput; // "Modal form '%s' can never close: the host delivers no input ..."
} // namespace FormsConsts

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
