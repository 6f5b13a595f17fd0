// Edit masks: the mask language, its engine (TMaskLayout, usable without a control) and the
// masked edit control TCustomMaskEdit/TMaskEdit.
//
// A mask has up to three parts separated by ";": the mask itself, "0" or "1" (whether Text
// keeps the literal characters; default 1) and the character shown for an empty position
// (default "_"). In the mask:
//   0  digit, required          9  digit, optional          #  digit, "+" or "-", optional
//   L  letter, required         l  letter, optional
//   A  letter or digit, req.    a  letter or digit, optional
//   C  any character, req.      c  any character, optional
//   >  upper case for what follows   <  lower case for what follows   <>  no conversion
//   \  the next character is a literal
//   :  /  the time and date separators of FormatSettings (literals)
//   _  a literal blank (a space)
//   !  (anywhere, usually first) optional characters are leading blanks: values are
//      right-justified into the mask and Text drops leading instead of trailing blanks.
// Every other character is a literal. Each literal and each mask character is one position
// (one UTF-16 unit) of the edit text; ">", "<", "<>", "\" and "!" take no position.
#pragma once

#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Edit.h"

#include <vector>

namespace mv {

// Raised by ValidateEdit when the edit text does not fill its mask.
class EDBEditError : public Exception {
public:
    using Exception::Exception;
};

namespace MaskConsts {
// "Invalid input value at position %d: %s. Use Esc to abandon changes"
extern String SMaskEditErr;
extern String SMaskRequired; // "a character is required"
extern String SMaskInvalid;  // "'%s' is not allowed here"
} // namespace MaskConsts

// [SECTION] The mask engine
enum TMaskPositionKind {
    mkLiteral,
    mkDigit,     // 0
    mkDigitOpt,  // 9
    mkDigitSign, // #
    mkLetter,    // L
    mkLetterOpt, // l
    mkAlnum,     // A
    mkAlnumOpt,  // a
    mkAny,       // C
    mkAnyOpt     // c
};
enum TMaskCase { mcNone, mcUpper, mcLower };

struct TMaskPosition {
    TMaskPositionKind Kind = mkLiteral;
    Char Literal = 0; // mkLiteral: the character shown
    TMaskCase Case = mcNone;
    bool IsLiteral() const { return Kind == mkLiteral; }
    bool Required() const { return Kind == mkDigit || Kind == mkLetter || Kind == mkAlnum || Kind == mkAny; }
};

// A parsed mask: one entry per position of the edit text. An empty mask string gives an
// empty layout (no masking). Parsing never fails: a trailing "\" is a literal backslash, a
// save part other than "0" means 1, and a blank part longer than one character uses its
// first.
class TMaskLayout {
public:
    TMaskLayout() = default;
    explicit TMaskLayout(StringView editMask);

    bool Empty() const { return FPositions.empty(); }
    Integer Length() const { return static_cast<Integer>(FPositions.size()); }
    const TMaskPosition& Position(Integer index) const { return FPositions[static_cast<size_t>(index)]; }
    bool IsLiteral(Integer index) const { return Position(index).IsLiteral(); }
    bool SaveLiterals() const { return FSaveLiterals; }
    Char Blank() const { return FBlank; }
    bool LeadingBlanks() const { return FLeadingBlanks; }

    // Whether c may be typed at index (after the case conversion of that position).
    bool Accepts(Integer index, Char c) const;
    // c converted by the case of position index.
    Char Convert(Integer index, Char c) const;
    // The first editable position at or after index (Length() when none), and the last one
    // before index (-1 when none).
    Integer NextEditable(Integer index) const;
    Integer PriorEditable(Integer index) const;
    // Whether position index of editText is empty (shows the blank character).
    bool IsBlankAt(StringView editText, Integer index) const;

    // The edit text of an empty edit: literals with blanks between.
    String EmptyText() const;
    // editText fitted to the mask: cut or padded with blanks to Length(), literals restored.
    String Normalize(StringView editText) const;
    // The value an edit text stands for (a masked edit's Text): blanks become spaces,
    // literals stay only when SaveLiterals; trailing spaces go (leading ones with "!").
    // Nothing entered at all gives "".
    String ValueOf(StringView editText) const;
    // The edit text showing value: with SaveLiterals, value is read with its literals
    // (a literal of value is consumed where it matches the mask's), else its characters
    // fill the editable positions. With "!" the value is placed from the end. Spaces
    // become blanks; case conversions apply; extra characters are dropped.
    String EditTextOf(StringView value) const;
    // The first position that breaks the mask: a required position left blank or a
    // character not allowed at its position; -1 when editText fills the mask.
    Integer FirstInvalid(StringView editText) const;

private:
    std::vector<TMaskPosition> FPositions;
    bool FSaveLiterals = true;
    Char FBlank = u'_';
    bool FLeadingBlanks = false;
};

// The framework's helpers over mask strings.
String FormatMaskText(const String& editMask, const String& value);
bool MaskGetMaskSave(const String& editMask);
Char MaskGetMaskBlank(const String& editMask);

// [SECTION] TCustomMaskEdit
// With a mask, the edit works in overwrite mode over the mask's positions: the caret skips
// literals, a character not allowed at its position is refused with a beep (text
// unchanged), Backspace/Delete and cutting blank positions instead of removing them, and
// pasting types the pasted characters one by one. MaxLength is ignored while masked.
class TCustomMaskEdit : public TCustomEdit {
public:
    explicit TCustomMaskEdit(TComponent* owner);
    ~TCustomMaskEdit() override;

    const String& EditMask() const { return FEditMask; }
    // Keeps the value: Text before the change is shown through the new mask.
    void SetEditMask(const String& value);
    bool IsMasked() const { return !FLayout.Empty(); }
    const TMaskLayout& MaskLayout() const { return FLayout; }

    // The value (see TMaskLayout::ValueOf); the plain text when not masked.
    String Text() const;
    void SetText(const String& value);
    // What the edit shows: literals and blank characters included.
    String EditText() const { return TCustomEdit::Text(); }
    void SetEditText(const String& value);

    // Raises EDBEditError (SMaskEditErr with the 1-based position) when the edit text does
    // not fill the mask, after moving the caret to the offending position. Runs when a
    // modified masked edit loses the focus; the focus stays then.
    virtual void ValidateEdit();

protected:
    void DoExit() override;
    void TextChanged() override;
    void TypeCodePoint(const String& chars) override;
    void DeleteBackward(bool word) override;
    void DeleteForward(bool word) override;
    void InsertText(const String& text, bool limit) override;
    void EraseSelection() override;
    Integer CaretStop(Integer position, bool forward) const override;

private:
    // Blanks the editable positions of text in [start, end).
    void BlankRange(String& text, Integer start, Integer end) const;

    String FEditMask;
    TMaskLayout FLayout;
    bool FNormalizing = false;
};

class TMaskEdit : public TCustomMaskEdit {
public:
    using TCustomMaskEdit::TCustomMaskEdit;
};

} // namespace mv
