// TCustomEdit/TEdit: the single-line text editor control. It paints itself plainly (border,
// background, text, selection, a blinking caret while focused), scrolls its text sideways
// so that the caret stays visible, and answers keys and the mouse as the desktop's edit
// boxes do. TCustomMaskEdit (Mask.h) and the grid's in-place editor build on it.
//
// Positions: SelStart/SelLength and every caret position are 0-based UTF-16 offsets into
// Text. A position never falls inside a surrogate pair: setters move such a position to
// the start of the pair.
//
// Key flow: WM_KEYDOWN -> KeyDown (OnKeyDown; an override may set key to 0 to keep the edit
// from acting) -> ProcessKey (navigation, Delete, Shift+Del/Ctrl+Ins/Shift+Ins).
// WM_CHAR -> KeyPress (OnKeyPress; key 0 stops it) -> ProcessChar (typing, Backspace,
// Ctrl+A/C/X/V/Z arrive here as the control characters 1/3/24/22/26).
#pragma once

#include "platform/vcl/Controls.h"

#include <memory>

namespace mv {

class TTimer;

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// Edit-control messages with the framework's numbers (what EM_ messages the edit answers).
constexpr UINT EM_GETSEL =
    0x00B0; // WParam/LParam: Integer* start, end (may be null); Result start | end << 16
constexpr UINT EM_SETSEL = 0x00B1;    // WParam start, LParam end; start -1 deselects, end -1 is the end
constexpr UINT EM_GETMODIFY = 0x00B8; // Result 1 when modified
constexpr UINT EM_SETMODIFY = 0x00B9; // WParam 0/1
constexpr UINT EM_LIMITTEXT = 0x00C5; // WParam the maximum length (0: none)
constexpr UINT EM_CANUNDO = 0x00C6;   // Result 1 when Undo would change something
constexpr UINT EM_UNDO = 0x00C7;      // as WM_UNDO
constexpr UINT EM_EMPTYUNDOBUFFER = 0x00CD;
constexpr UINT EM_SETREADONLY = 0x00CF; // WParam 0/1
constexpr UINT EM_REPLACESEL = 0x00C2;  // LParam: const String* text; as SetSelText
constexpr UINT EM_SETMARGINS = 0x00D3;  // WParam EC_ flags, LParam left | right << 16
constexpr WPARAM EC_LEFTMARGIN = 0x0001;
constexpr WPARAM EC_RIGHTMARGIN = 0x0002;

// [SECTION] TCustomEdit
class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* owner);
    ~TCustomEdit() override;

    // --- text ------------------------------------------------------------------------------
    // Text() is TControl's. Setting it replaces everything: CharCase is applied, the caret
    // goes to 0 with nothing selected, undo is forgotten, Modified becomes false and
    // OnChange fires (when the text really changed). MaxLength does not cut it.
    void SetText(const String& value);
    // The greatest length typing and pasting can reach, in UTF-16 units; 0 is no limit.
    // Text set by program is never cut.
    Integer MaxLength() const { return FMaxLength; }
    void SetMaxLength(Integer value);
    // Converts the current text at once and everything typed afterwards.
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase value);
    // Read-only edits keep navigation, selection and copying; typing, Delete, cutting,
    // pasting and undo beep and change nothing.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value);
    // Set by every change the user makes (typing, deleting, cutting, pasting, undo), and
    // by SetSelText; cleared by SetText.
    bool Modified() const { return FModified; }
    void SetModified(bool value) { FModified = value; }
    // Shown instead of each character (0: the text itself). Copy and cut do nothing then.
    Char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(Char value);
    // Where the text sits when it is narrower than the edit (wider text scrolls and starts
    // at the left).
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);

    // --- selection ---------------------------------------------------------------------------
    // The caret is the moving end of the selection; the anchor the fixed one.
    Integer SelStart() const;
    // Collapses the selection to start (clamped to the text).
    void SetSelStart(Integer value);
    Integer SelLength() const;
    // Selects length units from SelStart (clamped; negative selects backwards).
    void SetSelLength(Integer value);
    String SelText() const;
    // Replaces the selection with value as a paste would (CharCase applied, MaxLength not),
    // leaves the caret after it; OnChange fires. Works on read-only edits too (program use).
    void SetSelText(const String& value);
    void SelectAll();
    // Deletes the selected text (nothing when the selection is empty or the edit read-only).
    void ClearSelection();
    // The caret position (the selection's moving end).
    Integer CaretPos() const { return FCaret; }

    // --- clipboard and undo ------------------------------------------------------------------
    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();
    // One level: Undo restores the text and selection before the last change; a second
    // Undo brings the change back. Consecutive typed characters count as one change.
    bool CanUndo() const { return FUndo.Valid; }
    void Undo();
    void ClearUndo();

    // --- look and behaviour ----------------------------------------------------------------------
    // Select everything when the focus arrives by keyboard (not by a click in the edit).
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool value) { FAutoSelect = value; }
    // bsSingle: the sunken 2-pixel client edge; bsNone: no border (in-place editors).
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    // Show the selection only while focused.
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool value);
    // Space kept free inside the client area on each side of the text (default 2 and 2).
    void SetMargins(Integer left, Integer right);
    Integer LeftMargin() const { return FLeftMargin; }
    Integer RightMargin() const { return FRightMargin; }
    // The rectangle (client coordinates) the text is laid out and clipped in.
    virtual TRect EditRect() const;
    // Pixels the text is scrolled to the left by (0: its start is visible).
    Integer ScrollOffset() const { return FScrollX; }
    // The position nearest to client x, and the client x of a position's caret.
    Integer PositionAt(Integer x);
    Integer CaretXOf(Integer position);
    // Whether the caret is drawn right now (false while unfocused and in the blink's off
    // phase). The blink runs on the host clock every CaretBlinkTime ms while focused.
    bool CaretShown() const { return FCaretOn && Focused(); }
    static constexpr Cardinal CaretBlinkTime = 530;

    TCanvas* Canvas() { return FCanvas.get(); }

    TNotifyEvent OnChange;

    void WndProc(TMessage& message) override;

protected:
    // Fires OnChange; runs after every change of Text.
    virtual void Change();
    void CreateParams(TCreateParams& params) override;
    void DestroyWnd() override;

    void KeyDown(Word& key, TShiftState shift) override;
    void KeyPress(Char& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    void MouseMove(TShiftState shift, Integer x, Integer y) override;
    void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    void DblClick() override;
    void DoEnter() override;
    void DoExit() override;
    void TextChanged() override;
    void FontChanged() override;
    void BoundsChanged(bool sized) override;
    void PaintWindow(HDC dc) override;
    // Paints background, text, selection and caret on Canvas().
    virtual void Paint();

    // The built-in handling of a key that KeyDown left non-zero, and of a character that
    // KeyPress left non-zero.
    virtual void ProcessKey(Word key, TShiftState shift);
    virtual void ProcessChar(Char key);

    // --- editing primitives (the masked edit replaces them) -------------------------------
    // They do not look at ReadOnly: the key, clipboard and undo paths refuse first, and
    // program calls (SetSelText) are allowed on read-only edits.
    // A typed character (one code point: one unit or a surrogate pair) replaces the
    // selection.
    virtual void TypeCodePoint(const String& chars);
    // Backspace / Delete, by one character or (word) to the word boundary.
    virtual void DeleteBackward(bool word);
    virtual void DeleteForward(bool word);
    // Inserts text at the selection as pasting does (MaxLength cuts it when limit is set).
    virtual void InsertText(const String& text, bool limit);
    // Deletes the selection (the masked edit blanks it instead).
    virtual void EraseSelection();
    // Where the caret lands when moved to position going forward or backward (the masked
    // edit skips literals); the base only avoids the inside of surrogate pairs.
    virtual Integer CaretStop(Integer position, bool forward) const;
    // What the edit shows: PasswordChar once per code point, or the text itself.
    String DisplayText() const;

    // Replaces the whole text by an edit the user made: records undo (typing groups
    // consecutive characters), sets Modified, moves the selection, keeps the caret visible,
    // fires Change. group: this change is one typed character.
    void ApplyEdit(const String& text, Integer anchor, Integer caret, bool group = false);
    // Moves the selection without changing the text; extend keeps the anchor.
    void MoveCaret(Integer position, bool extend);
    // Scrolls so that the caret is inside EditRect; repaints when the offset changed.
    void EnsureCaretVisible();
    // Restarts the blink with the caret on (after a move or an edit).
    void ResetCaretBlink();
    // Converts by CharCase.
    String ApplyCharCase(const String& text) const;
    // Word motion used by Ctrl+Left/Right and Ctrl+Backspace/Delete.
    Integer WordLeft(Integer position) const;
    Integer WordRight(Integer position) const;
    // A beep for a refused action.
    void Refuse() const;

    Integer FAnchor = 0;
    Integer FCaret = 0;

private:
    struct TUndoState {
        bool Valid = false;
        String Text;
        Integer Anchor = 0, Caret = 0;
    };
    void CaretTimerTick();
    void StopCaretTimer();
    Integer ClampPosition(Integer position) const;
    Integer TextLeft(); // client x of position 0
    Integer TextTop();
    Integer LineHeight();
    Integer PrefixWidth(Integer position);
    void WordAt(Integer position, Integer& start, Integer& end) const;
    void PrepareCanvasFont();

    std::unique_ptr<TCanvas> FCanvas;
    std::unique_ptr<TTimer> FCaretTimer;
    Integer FMaxLength = 0;
    TEditCharCase FCharCase = ecNormal;
    bool FReadOnly = false;
    bool FModified = false;
    Char FPasswordChar = 0;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSelect = true;
    TBorderStyle FBorderStyle = bsSingle;
    bool FHideSelection = true;
    Integer FLeftMargin = 2, FRightMargin = 2;
    Integer FScrollX = 0;
    bool FCaretOn = false;
    bool FMouseSelecting = false;
    bool FWordSelecting = false;          // the drag began with a double click
    Integer FWordStart = 0, FWordEnd = 0; // the word it selected
    bool FInternalChange = false;
    bool FUndoGroupOpen = false;
    Char FPendingHighSurrogate = 0;
    TUndoState FUndo;
};

class TEdit : public TCustomEdit {
    MV_CLASS(TEdit, TWinControl);
    // Published (besides TWinControl's): Alignment, AutoSelect, BorderStyle, CharCase,
    // HideSelection, MaxLength, PasswordChar, ReadOnly, Text.
    static void RegisterProperties(TPropertyRegistrar<TEdit>& r);
    using TCustomEdit::TCustomEdit;
};

} // namespace mv
