// TCustomEdit: text, selection, editing, clipboard, undo, keys and mouse. Painting and the
// caret geometry are in EditPaint.cpp; the overview is in Edit.h.
//
// [SECTION] Life and properties   TCustomEdit, SetText, TextChanged, Set... setters
// [SECTION] Selection             SelStart/SelLength/SelText, SelectAll, MoveCaret
// [SECTION] Editing primitives    ApplyEdit, TypeCodePoint, Delete..., InsertText, EraseSelection
// [SECTION] Clipboard and undo    Cut/Copy/PasteFromClipboard, Undo
// [SECTION] Words                 WordLeft, WordRight, WordAt
// [SECTION] Keys and mouse        WndProc, ProcessKey, ProcessChar, Mouse..., DoEnter
// [SECTION] Caret blink           ResetCaretBlink, StopCaretTimer, CaretTimerTick
#include "platform/vcl/Edit.h"

#include "platform/rtl/StrUtils.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/ExtCtrls.h"

#include <algorithm>
#include <cassert>

namespace mv {

namespace {

bool IsHighSurrogate(Char c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(Char c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Word motion treats runs of one class as a unit: spaces, word characters and the rest
// (punctuation). Characters outside ASCII count as word characters, which keeps accented
// and non-Latin words whole without a classification table.
enum TCharClass { ccSpace, ccWord, ccPunct };

TCharClass ClassOf(Char c) {
    if (c == u' ' || c == u'\t' || c == 0x00A0 || c == 0x3000 || (c >= 0x2000 && c <= 0x200B)) return ccSpace;
    if (c >= 0x80) return ccWord;
    if ((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_')
        return ccWord;
    return ccPunct;
}

} // namespace

// [SECTION] Life and properties
TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner), FCanvas(std::make_unique<TCanvas>()) {
    FControlStyle.Include(csCaptureMouse);
    FControlStyle.Include(csDoubleClicks);
    FControlStyle.Include(csOpaque);
    FControlStyle.Include(csSetCaption);
    SetBounds(0, 0, 121, 21);
    SetTabStop(true);
    SetCursor(crIBeam);
}

TCustomEdit::~TCustomEdit() {
    FCaretTimer.reset();
}

void TCustomEdit::SetText(const String& value) {
    TControl::SetText(ApplyCharCase(value));
}

void TCustomEdit::TextChanged() {
    TWinControl::TextChanged();
    if (FInternalChange) return; // ApplyEdit and friends finish the job themselves
    const String cased = ApplyCharCase(Text());
    if (cased != Text()) {
        TControl::SetText(cased); // the nested call resets and notifies
        return;
    }
    FAnchor = FCaret = 0;
    FScrollX = 0;
    FUndo = {};
    FUndoGroupOpen = false;
    FPendingHighSurrogate = 0;
    FModified = false;
    Invalidate();
    Change();
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

void TCustomEdit::SetMaxLength(Integer value) {
    FMaxLength = std::max(value, 0);
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
    if (value == FCharCase) return;
    FCharCase = value;
    const String cased = ApplyCharCase(Text());
    if (cased == Text()) return;
    // Case mapping keeps the length (simple BMP mapping), so the selection stays valid.
    FInternalChange = true;
    TControl::SetText(cased);
    FInternalChange = false;
    Invalidate();
    Change();
}

String TCustomEdit::ApplyCharCase(const String& text) const {
    switch (FCharCase) {
    case ecUpperCase:
        return AnsiUpperCase(text);
    case ecLowerCase:
        return AnsiLowerCase(text);
    default:
        return text;
    }
}

void TCustomEdit::SetReadOnly(bool value) {
    FReadOnly = value;
}

void TCustomEdit::SetPasswordChar(Char value) {
    if (value == FPasswordChar) return;
    FPasswordChar = value;
    EnsureCaretVisible();
    Invalidate();
}

void TCustomEdit::SetAlignment(TAlignment value) {
    if (value == FAlignment) return;
    FAlignment = value;
    Invalidate();
}

void TCustomEdit::SetBorderStyle(TBorderStyle value) {
    assert((value == bsNone || value == bsSingle) && "an edit's border is bsNone or bsSingle");
    if (value == FBorderStyle) return;
    FBorderStyle = value;
    RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool value) {
    if (value == FHideSelection) return;
    FHideSelection = value;
    Invalidate();
}

void TCustomEdit::SetMargins(Integer left, Integer right) {
    FLeftMargin = std::max(left, 0);
    FRightMargin = std::max(right, 0);
    EnsureCaretVisible();
    Invalidate();
}

void TCustomEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    if (FBorderStyle == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::DestroyWnd() {
    StopCaretTimer();
    TWinControl::DestroyWnd();
}

void TCustomEdit::FontChanged() {
    TWinControl::FontChanged();
    EnsureCaretVisible();
    Invalidate();
}

void TCustomEdit::BoundsChanged(bool sized) {
    TWinControl::BoundsChanged(sized);
    if (sized) EnsureCaretVisible();
}

void TCustomEdit::Refuse() const {
    MessageBeep(0);
}

// [SECTION] Selection
Integer TCustomEdit::ClampPosition(Integer position) const {
    const String& text = Text();
    const auto length = static_cast<Integer>(text.size());
    position = std::clamp(position, 0, length);
    if (position > 0 && position < length && IsLowSurrogate(text[static_cast<size_t>(position)]) &&
        IsHighSurrogate(text[static_cast<size_t>(position - 1)]))
        --position;
    return position;
}

Integer TCustomEdit::SelStart() const {
    return std::min(FAnchor, FCaret);
}

Integer TCustomEdit::SelLength() const {
    return std::abs(FCaret - FAnchor);
}

void TCustomEdit::SetSelStart(Integer value) {
    MoveCaret(value, false);
}

void TCustomEdit::SetSelLength(Integer value) {
    const Integer start = SelStart();
    FAnchor = start;
    FCaret = ClampPosition(start + value);
    FUndoGroupOpen = false;
    EnsureCaretVisible();
    Invalidate();
}

String TCustomEdit::SelText() const {
    return Text().substr(static_cast<size_t>(SelStart()), static_cast<size_t>(SelLength()));
}

void TCustomEdit::SetSelText(const String& value) {
    InsertText(value, false);
}

void TCustomEdit::SelectAll() {
    FAnchor = 0;
    FCaret = static_cast<Integer>(Text().size());
    FUndoGroupOpen = false;
    EnsureCaretVisible();
    Invalidate();
}

void TCustomEdit::ClearSelection() {
    if (FReadOnly || SelLength() == 0) return;
    EraseSelection();
}

void TCustomEdit::MoveCaret(Integer position, bool extend) {
    FCaret = ClampPosition(position);
    if (!extend) FAnchor = FCaret;
    FUndoGroupOpen = false;
    EnsureCaretVisible();
    ResetCaretBlink();
    Invalidate();
}

Integer TCustomEdit::CaretStop(Integer position, bool forward) const {
    (void)forward;
    return ClampPosition(position);
}

// [SECTION] Editing primitives
void TCustomEdit::ApplyEdit(const String& text, Integer anchor, Integer caret, bool group) {
    if (text == Text()) {
        FAnchor = anchor;
        FCaret = caret;
        EnsureCaretVisible();
        Invalidate();
        return;
    }
    if (!(group && FUndoGroupOpen)) FUndo = {true, Text(), FAnchor, FCaret};
    FUndoGroupOpen = group;
    FInternalChange = true;
    try {
        TControl::SetText(text);
    } catch (...) {
        FInternalChange = false;
        throw;
    }
    FInternalChange = false;
    FAnchor = ClampPosition(anchor);
    FCaret = ClampPosition(caret);
    FModified = true;
    EnsureCaretVisible();
    ResetCaretBlink();
    Invalidate();
    Change();
}

void TCustomEdit::TypeCodePoint(const String& chars) {
    const String typed = ApplyCharCase(chars);
    const String& text = Text();
    const Integer start = SelStart(), length = SelLength();
    if (FMaxLength > 0 &&
        static_cast<Integer>(text.size()) - length + static_cast<Integer>(typed.size()) > FMaxLength) {
        Refuse();
        return;
    }
    String result = text;
    result.replace(static_cast<size_t>(start), static_cast<size_t>(length), typed);
    const Integer caret = start + static_cast<Integer>(typed.size());
    ApplyEdit(result, caret, caret, true);
}

void TCustomEdit::DeleteBackward(bool word) {
    if (SelLength() > 0) {
        EraseSelection();
        return;
    }
    if (FCaret == 0) return;
    const String& text = Text();
    Integer from = FCaret - 1;
    if (word)
        from = WordLeft(FCaret);
    else if (from > 0 && IsLowSurrogate(text[static_cast<size_t>(from)]) &&
             IsHighSurrogate(text[static_cast<size_t>(from - 1)]))
        --from;
    String result = text;
    result.erase(static_cast<size_t>(from), static_cast<size_t>(FCaret - from));
    ApplyEdit(result, from, from);
}

void TCustomEdit::DeleteForward(bool word) {
    if (SelLength() > 0) {
        EraseSelection();
        return;
    }
    const String& text = Text();
    const auto length = static_cast<Integer>(text.size());
    if (FCaret >= length) return;
    Integer to = FCaret + 1;
    if (word)
        to = WordRight(FCaret);
    else if (IsHighSurrogate(text[static_cast<size_t>(FCaret)]) && to < length &&
             IsLowSurrogate(text[static_cast<size_t>(to)]))
        ++to; // a surrogate pair goes whole
    String result = text;
    result.erase(static_cast<size_t>(FCaret), static_cast<size_t>(to - FCaret));
    ApplyEdit(result, FCaret, FCaret);
}

void TCustomEdit::InsertText(const String& text, bool limit) {
    // A single-line edit takes the first line of a multi-line text.
    String inserted = ApplyCharCase(text.substr(0, std::min(text.find(u'\r'), text.find(u'\n'))));
    const String& current = Text();
    const Integer start = SelStart(), length = SelLength();
    if (limit && FMaxLength > 0) {
        const Integer room = std::max(FMaxLength - (static_cast<Integer>(current.size()) - length), 0);
        if (static_cast<Integer>(inserted.size()) > room) {
            Integer keep = room;
            if (keep > 0 && IsHighSurrogate(inserted[static_cast<size_t>(keep - 1)])) --keep;
            inserted.resize(static_cast<size_t>(keep));
            if (inserted.empty()) Refuse();
        }
    }
    if (inserted.empty() && length == 0) return;
    String result = current;
    result.replace(static_cast<size_t>(start), static_cast<size_t>(length), inserted);
    const Integer caret = start + static_cast<Integer>(inserted.size());
    ApplyEdit(result, caret, caret);
}

void TCustomEdit::EraseSelection() {
    const Integer start = SelStart(), length = SelLength();
    if (length == 0) return;
    String result = Text();
    result.erase(static_cast<size_t>(start), static_cast<size_t>(length));
    ApplyEdit(result, start, start);
}

// [SECTION] Clipboard and undo
void TCustomEdit::CopyToClipboard() {
    if (FPasswordChar != 0 || SelLength() == 0) return;
    Clipboard().SetAsText(SelText());
}

void TCustomEdit::CutToClipboard() {
    if (FPasswordChar != 0 || SelLength() == 0) return;
    if (FReadOnly) {
        Refuse();
        return;
    }
    Clipboard().SetAsText(SelText());
    EraseSelection();
}

void TCustomEdit::PasteFromClipboard() {
    if (FReadOnly) {
        Refuse();
        return;
    }
    const String text = Clipboard().AsText();
    if (text.empty()) return;
    InsertText(text, true);
}

void TCustomEdit::Undo() {
    if (!FUndo.Valid) return;
    // ApplyEdit records the present state as the new undo state: a second Undo redoes.
    const TUndoState previous = FUndo;
    FUndoGroupOpen = false;
    ApplyEdit(previous.Text, previous.Anchor, previous.Caret);
}

void TCustomEdit::ClearUndo() {
    FUndo = {};
    FUndoGroupOpen = false;
}

// [SECTION] Words
Integer TCustomEdit::WordLeft(Integer position) const {
    const String& text = Text();
    Integer p = ClampPosition(position);
    while (p > 0 && ClassOf(text[static_cast<size_t>(p - 1)]) == ccSpace)
        --p;
    if (p == 0) return 0;
    const TCharClass cls = ClassOf(text[static_cast<size_t>(p - 1)]);
    while (p > 0 && ClassOf(text[static_cast<size_t>(p - 1)]) == cls)
        --p;
    return p;
}

Integer TCustomEdit::WordRight(Integer position) const {
    const String& text = Text();
    const auto length = static_cast<Integer>(text.size());
    Integer p = ClampPosition(position);
    if (p < length) {
        const TCharClass cls = ClassOf(text[static_cast<size_t>(p)]);
        if (cls != ccSpace)
            while (p < length && ClassOf(text[static_cast<size_t>(p)]) == cls)
                ++p;
    }
    while (p < length && ClassOf(text[static_cast<size_t>(p)]) == ccSpace)
        ++p;
    return p;
}

void TCustomEdit::WordAt(Integer position, Integer& start, Integer& end) const {
    const String& text = Text();
    const auto length = static_cast<Integer>(text.size());
    start = end = ClampPosition(position);
    if (length == 0) return;
    // At the end of the text, or just after a word with a space under the pointer, the
    // word before the position is meant.
    Integer probe = start < length ? start : length - 1;
    if (start > 0 && ClassOf(text[static_cast<size_t>(probe)]) == ccSpace &&
        ClassOf(text[static_cast<size_t>(start - 1)]) != ccSpace)
        probe = start - 1;
    const TCharClass cls = ClassOf(text[static_cast<size_t>(probe)]);
    start = probe;
    end = probe + 1;
    while (start > 0 && ClassOf(text[static_cast<size_t>(start - 1)]) == cls)
        --start;
    while (end < length && ClassOf(text[static_cast<size_t>(end)]) == cls)
        ++end;
}

// [SECTION] Keys and mouse
void TCustomEdit::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_KEYDOWN:
        if (DoKeyDown(message)) return;
        ProcessKey(static_cast<Word>(message.WParam), KeyDataToShiftState(message.LParam));
        return;
    case WM_CHAR:
        if (DoKeyPress(message)) return;
        ProcessChar(static_cast<Char>(message.WParam));
        return;
    case WM_SETFOCUS:
        TWinControl::WndProc(message);
        if (!FCaretTimer) {
            FCaretTimer = std::make_unique<TTimer>(nullptr);
            FCaretTimer->SetInterval(CaretBlinkTime);
            FCaretTimer->SetOnTimer([this](TObject*) { CaretTimerTick(); });
        }
        ResetCaretBlink();
        Invalidate();
        return;
    case WM_KILLFOCUS:
        TWinControl::WndProc(message);
        StopCaretTimer();
        FMouseSelecting = false;
        FWordSelecting = false;
        FPendingHighSurrogate = 0;
        Invalidate();
        return;
    case WM_GETDLGCODE:
        message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    case WM_CUT:
        CutToClipboard();
        return;
    case WM_COPY:
        CopyToClipboard();
        return;
    case WM_PASTE:
        PasteFromClipboard();
        return;
    case WM_CLEAR:
        ClearSelection();
        return;
    case WM_UNDO:
    case EM_UNDO:
        Undo();
        message.Result = 1;
        return;
    case EM_GETSEL: {
        const Integer start = SelStart(), end = SelStart() + SelLength();
        if (message.WParam) *reinterpret_cast<Integer*>(message.WParam) = start;
        if (message.LParam) *reinterpret_cast<Integer*>(message.LParam) = end;
        message.Result = MakeLParam(static_cast<Word>(start), static_cast<Word>(end));
        return;
    }
    case EM_SETSEL: {
        const auto start = static_cast<Integer>(static_cast<std::intptr_t>(message.WParam));
        const auto end = static_cast<Integer>(message.LParam);
        if (start < 0) {
            MoveCaret(FCaret, false);
            return;
        }
        const Integer last = end < 0 ? static_cast<Integer>(Text().size()) : end;
        FAnchor = ClampPosition(start);
        FCaret = ClampPosition(last);
        EnsureCaretVisible();
        Invalidate();
        return;
    }
    case EM_GETMODIFY:
        message.Result = FModified ? 1 : 0;
        return;
    case EM_SETMODIFY:
        FModified = message.WParam != 0;
        return;
    case EM_LIMITTEXT:
        SetMaxLength(static_cast<Integer>(message.WParam));
        return;
    case EM_CANUNDO:
        message.Result = CanUndo() ? 1 : 0;
        return;
    case EM_EMPTYUNDOBUFFER:
        ClearUndo();
        return;
    case EM_SETREADONLY:
        SetReadOnly(message.WParam != 0);
        message.Result = 1;
        return;
    case EM_REPLACESEL:
        if (message.LParam) SetSelText(*reinterpret_cast<const String*>(message.LParam));
        return;
    case EM_SETMARGINS: {
        Integer left = FLeftMargin, right = FRightMargin;
        if (message.WParam & EC_LEFTMARGIN) left = LoWord(static_cast<std::uintptr_t>(message.LParam));
        if (message.WParam & EC_RIGHTMARGIN) right = HiWord(static_cast<std::uintptr_t>(message.LParam));
        SetMargins(left, right);
        return;
    }
    default:
        TWinControl::WndProc(message);
    }
}

void TCustomEdit::KeyDown(Word& key, TShiftState shift) {
    TWinControl::KeyDown(key, shift);
}

void TCustomEdit::KeyPress(Char& key) {
    TWinControl::KeyPress(key);
}

void TCustomEdit::ProcessKey(Word key, TShiftState shift) {
    const bool ctrl = shift.Contains(ssCtrl), extend = shift.Contains(ssShift);
    const String& text = Text();
    switch (key) {
    case VK_LEFT:
        if (!extend && SelLength() > 0 && !ctrl) {
            MoveCaret(SelStart(), false);
            return;
        }
        MoveCaret(CaretStop(ctrl ? WordLeft(FCaret) : ClampPosition(FCaret - 1), false), extend);
        return;
    case VK_RIGHT: {
        if (!extend && SelLength() > 0 && !ctrl) {
            MoveCaret(SelStart() + SelLength(), false);
            return;
        }
        Integer next = FCaret + 1;
        if (next < static_cast<Integer>(text.size()) && IsLowSurrogate(text[static_cast<size_t>(next)]) &&
            IsHighSurrogate(text[static_cast<size_t>(FCaret)]))
            ++next;
        MoveCaret(CaretStop(ctrl ? WordRight(FCaret) : next, true), extend);
        return;
    }
    case VK_HOME:
        MoveCaret(CaretStop(0, false), extend);
        return;
    case VK_END:
        MoveCaret(CaretStop(static_cast<Integer>(text.size()), true), extend);
        return;
    case VK_DELETE:
        if (extend && !ctrl) {
            CutToClipboard();
            return;
        }
        if (FReadOnly) {
            Refuse();
            return;
        }
        DeleteForward(ctrl);
        return;
    case VK_INSERT:
        if (ctrl && !extend)
            CopyToClipboard();
        else if (extend && !ctrl)
            PasteFromClipboard();
        return;
    case VK_BACK:
        // Plain Backspace arrives as the character 8; with Ctrl no character follows.
        if (!ctrl) return;
        if (FReadOnly) {
            Refuse();
            return;
        }
        DeleteBackward(true);
        return;
    default:
        return;
    }
}

void TCustomEdit::ProcessChar(Char key) {
    switch (key) {
    case 1: // Ctrl+A
        SelectAll();
        return;
    case 3: // Ctrl+C
        CopyToClipboard();
        return;
    case 22: // Ctrl+V
        PasteFromClipboard();
        return;
    case 24: // Ctrl+X
        CutToClipboard();
        return;
    case 26: // Ctrl+Z
        if (FReadOnly) {
            Refuse();
            return;
        }
        Undo();
        return;
    case 8: // Backspace
        if (FReadOnly) {
            Refuse();
            return;
        }
        DeleteBackward(false);
        return;
    default:
        break;
    }
    if (key < 32 || key == 127) return;
    if (FReadOnly) {
        Refuse();
        return;
    }
    // Input methods deliver a surrogate pair as two characters: keep the first until the
    // second arrives so that the text never holds half a pair.
    if (IsHighSurrogate(key)) {
        FPendingHighSurrogate = key;
        return;
    }
    if (IsLowSurrogate(key)) {
        const Char high = FPendingHighSurrogate;
        FPendingHighSurrogate = 0;
        if (high == 0) return;
        TypeCodePoint(String{high, key});
        return;
    }
    FPendingHighSurrogate = 0;
    TypeCodePoint(String(1, key));
}

void TCustomEdit::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
    if (button == mbLeft && !Focused() && CanFocus()) SetFocus();
    TWinControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !Focused()) return;
    if (shift.Contains(ssDouble)) {
        // A double click selects a word; dragging on extends the selection word by word.
        WordAt(PositionAt(x), FWordStart, FWordEnd);
        FAnchor = FWordStart;
        FCaret = FWordEnd;
        FMouseSelecting = true;
        FWordSelecting = true;
        FUndoGroupOpen = false;
        EnsureCaretVisible();
        ResetCaretBlink();
        Invalidate();
        return;
    }
    MoveCaret(CaretStop(PositionAt(x), true), shift.Contains(ssShift));
    FMouseSelecting = true;
    FWordSelecting = false;
}

void TCustomEdit::MouseMove(TShiftState shift, Integer x, Integer y) {
    TWinControl::MouseMove(shift, x, y);
    if (!FMouseSelecting) return;
    const Integer position = PositionAt(x);
    if (!FWordSelecting) {
        if (position != FCaret) MoveCaret(position, true);
        return;
    }
    Integer start = 0, end = 0;
    WordAt(position, start, end);
    if (position < FWordStart) {
        FAnchor = FWordEnd;
        FCaret = start;
    } else {
        FAnchor = FWordStart;
        FCaret = std::max(end, FWordEnd);
    }
    EnsureCaretVisible();
    Invalidate();
}

void TCustomEdit::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
    TWinControl::MouseUp(button, shift, x, y);
    if (button != mbLeft) return;
    FMouseSelecting = false;
    FWordSelecting = false;
}

void TCustomEdit::DblClick() {
    TWinControl::DblClick();
}

void TCustomEdit::DoEnter() {
    // Focus arriving by a click leaves the caret where the click puts it.
    if (FAutoSelect && !FControlState.Contains(csLButtonDown)) SelectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::DoExit() {
    TWinControl::DoExit();
}

// [SECTION] Caret blink
void TCustomEdit::ResetCaretBlink() {
    FCaretOn = true;
    // Re-arming postpones the next toggle: the caret stays on while the user types.
    if (FCaretTimer && Focused()) FCaretTimer->SetEnabled(true);
}

void TCustomEdit::StopCaretTimer() {
    if (FCaretTimer) FCaretTimer->SetEnabled(false);
    FCaretOn = false;
}

void TCustomEdit::CaretTimerTick() {
    if (!Focused()) {
        StopCaretTimer();
        return;
    }
    FCaretOn = !FCaretOn;
    const Integer x = CaretXOf(FCaret);
    const Integer top = TextTop();
    const TRect caret = Rect(x, top, x + 1, top + LineHeight());
    InvalidateRect(&caret);
}

} // namespace mv
