// TCustomMaskEdit: the edit control working through a TMaskLayout (EditMask.cpp). The
// editing primitives of TCustomEdit are replaced by overwrite-mode versions that keep the
// edit text exactly as long as the mask.
#include "platform/vcl/Mask.h"

#include "platform/rtl/Format.h"

namespace mv {

TCustomMaskEdit::TCustomMaskEdit(TComponent* owner) : TCustomEdit(owner) {}

TCustomMaskEdit::~TCustomMaskEdit() = default;

void TCustomMaskEdit::SetEditMask(const String& value) {
    if (value == FEditMask) return;
    const String value0 = Text();
    FEditMask = value;
    FLayout = TMaskLayout(value);
    FNormalizing = true;
    try {
        TCustomEdit::SetText(IsMasked() ? FLayout.EditTextOf(value0) : value0);
    } catch (...) {
        FNormalizing = false;
        throw;
    }
    FNormalizing = false;
    Invalidate();
}

String TCustomMaskEdit::Text() const {
    return IsMasked() ? FLayout.ValueOf(EditText()) : TCustomEdit::Text();
}

void TCustomMaskEdit::SetText(const String& value) {
    TCustomEdit::SetText(IsMasked() ? FLayout.EditTextOf(value) : value);
}

void TCustomMaskEdit::SetEditText(const String& value) {
    TCustomEdit::SetText(IsMasked() ? FLayout.Normalize(value) : value);
}

void TCustomMaskEdit::TextChanged() {
    if (IsMasked() && !FNormalizing) {
        // Text set through TControl: an edit text that fits the mask is taken as it is,
        // anything else as a value.
        const String& raw = TCustomEdit::Text();
        const bool fits =
            static_cast<Integer>(raw.size()) == FLayout.Length() && FLayout.Normalize(raw) == raw;
        if (!fits) {
            FNormalizing = true;
            try {
                TControl::SetText(FLayout.EditTextOf(raw));
            } catch (...) {
                FNormalizing = false;
                throw;
            }
            FNormalizing = false;
            return;
        }
    }
    TCustomEdit::TextChanged();
}

void TCustomMaskEdit::ValidateEdit() {
    if (!IsMasked()) return;
    const String text = EditText();
    // An edit with nothing entered stands for an empty value.
    if (FLayout.ValueOf(text).empty()) return;
    const Integer bad = FLayout.FirstInvalid(text);
    if (bad < 0) return;
    MoveCaret(bad, false);
    const Char c = text[static_cast<size_t>(bad)];
    const String reason =
        c == FLayout.Blank() ? MaskConsts::SMaskRequired : Format(MaskConsts::SMaskInvalid, {String(1, c)});
    throw EDBEditError(Format(MaskConsts::SMaskEditErr, {bad + 1, reason}));
}

void TCustomMaskEdit::DoExit() {
    // Raising here keeps the focus: the control taking it has not been entered yet.
    if (IsMasked() && Modified()) ValidateEdit();
    TCustomEdit::DoExit();
}

void TCustomMaskEdit::BlankRange(String& text, Integer start, Integer end) const {
    for (Integer i = start; i < end && i < FLayout.Length(); ++i)
        if (!FLayout.IsLiteral(i)) text[static_cast<size_t>(i)] = FLayout.Blank();
}

Integer TCustomMaskEdit::CaretStop(Integer position, bool forward) const {
    if (!IsMasked()) return TCustomEdit::CaretStop(position, forward);
    const Integer afterLast = FLayout.PriorEditable(FLayout.Length()) + 1;
    if (afterLast == 0) return 0; // only literals
    position = std::clamp(position, 0, FLayout.Length());
    if (forward) {
        const Integer next = FLayout.NextEditable(position);
        return next < FLayout.Length() ? next : afterLast;
    }
    if (position < FLayout.Length() && !FLayout.IsLiteral(position)) return position;
    if (position >= afterLast) return afterLast;
    const Integer prior = FLayout.PriorEditable(position);
    return prior >= 0 ? prior : FLayout.NextEditable(0);
}

void TCustomMaskEdit::TypeCodePoint(const String& chars) {
    if (!IsMasked()) {
        TCustomEdit::TypeCodePoint(chars);
        return;
    }
    // Each position holds one UTF-16 unit: a surrogate pair fits nowhere.
    const Integer at = FLayout.NextEditable(SelStart());
    const Char c = chars.size() == 1 ? ApplyCharCase(chars)[0] : Char{0};
    String text = EditText();
    if (at >= FLayout.Length() || c == 0) {
        Refuse();
        return;
    }
    if (FLayout.Accepts(at, c)) {
        BlankRange(text, SelStart(), SelStart() + SelLength());
        text[static_cast<size_t>(at)] = FLayout.Convert(at, c);
    } else if (c == u' ' && !FLayout.Position(at).Required()) {
        BlankRange(text, SelStart(), SelStart() + SelLength());
        text[static_cast<size_t>(at)] = FLayout.Blank();
    } else {
        Refuse();
        return;
    }
    const Integer caret = CaretStop(at + 1, true);
    ApplyEdit(text, caret, caret, true);
}

void TCustomMaskEdit::DeleteBackward(bool word) {
    if (!IsMasked()) {
        TCustomEdit::DeleteBackward(word);
        return;
    }
    if (SelLength() > 0) {
        EraseSelection();
        return;
    }
    const Integer at = FLayout.PriorEditable(FCaret);
    if (at < 0) return;
    String text = EditText();
    text[static_cast<size_t>(at)] = FLayout.Blank();
    ApplyEdit(text, at, at);
}

void TCustomMaskEdit::DeleteForward(bool word) {
    if (!IsMasked()) {
        TCustomEdit::DeleteForward(word);
        return;
    }
    if (SelLength() > 0) {
        EraseSelection();
        return;
    }
    const Integer at = FLayout.NextEditable(FCaret);
    if (at >= FLayout.Length()) return;
    String text = EditText();
    text[static_cast<size_t>(at)] = FLayout.Blank();
    ApplyEdit(text, FCaret, FCaret);
}

void TCustomMaskEdit::EraseSelection() {
    if (!IsMasked()) {
        TCustomEdit::EraseSelection();
        return;
    }
    if (SelLength() == 0) return;
    String text = EditText();
    BlankRange(text, SelStart(), SelStart() + SelLength());
    const Integer caret = CaretStop(SelStart(), true);
    ApplyEdit(text, caret, caret);
}

void TCustomMaskEdit::InsertText(const String& inserted, bool limit) {
    if (!IsMasked()) {
        TCustomEdit::InsertText(inserted, limit);
        return;
    }
    // Pasted text is typed character by character; a literal of the text where the mask
    // has the same literal is stepped over. One refused character refuses it all.
    String text = EditText();
    BlankRange(text, SelStart(), SelStart() + SelLength());
    Integer caret = SelStart();
    for (Char c : ApplyCharCase(inserted)) {
        if (caret < FLayout.Length() && FLayout.IsLiteral(caret) && FLayout.Position(caret).Literal == c) {
            ++caret;
            continue;
        }
        const Integer at = FLayout.NextEditable(caret);
        if (at >= FLayout.Length()) break;
        if (FLayout.Accepts(at, c)) {
            text[static_cast<size_t>(at)] = FLayout.Convert(at, c);
        } else if (c == u' ' && !FLayout.Position(at).Required()) {
            text[static_cast<size_t>(at)] = FLayout.Blank();
        } else {
            Refuse();
            return;
        }
        caret = at + 1;
    }
    caret = CaretStop(caret, true);
    ApplyEdit(text, caret, caret);
}

} // namespace mv
