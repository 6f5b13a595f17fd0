// The edit-mask engine: parsing a mask string into positions and converting between edit
// texts and values. No control here, so it is tested on its own (the language is
// described in Mask.h).
#include "platform/vcl/Mask.h"

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/StrUtils.h"

#include <locale.h>
#include <wctype.h>

namespace mv {

namespace MaskConsts {
String SMaskEditErr = u"Invalid input value at position %d: %s. Use Esc to abandon changes";
String SMaskRequired = u"a character is required";
String SMaskInvalid = u"'%s' is not allowed here";
} // namespace MaskConsts

namespace {

// Letters are told apart with the C library's Unicode tables (the C.UTF-8 locale); a
// machine without that locale falls back to ASCII letters.
locale_t UnicodeLocale() {
    static locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return locale;
}

bool IsDigit(Char c) {
    return c >= u'0' && c <= u'9';
}

bool IsLetter(Char c) {
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) return true;
    if (c < 0x80 || (c >= 0xD800 && c <= 0xDFFF)) return false;
    locale_t locale = UnicodeLocale();
    return locale != static_cast<locale_t>(nullptr) && iswalpha_l(static_cast<wint_t>(c), locale) != 0;
}

bool IsSurrogate(Char c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

struct TMaskParts {
    StringView Mask;
    StringView Save;
    StringView Blank;
    bool HasSave = false;
    bool HasBlank = false;
};

// Splits at the first two ";" that no "\" escapes.
TMaskParts SplitMask(StringView editMask) {
    TMaskParts parts;
    size_t first = StringView::npos;
    for (size_t i = 0; i < editMask.size(); ++i) {
        if (editMask[i] == u'\\') {
            ++i;
            continue;
        }
        if (editMask[i] == u';') {
            first = i;
            break;
        }
    }
    if (first == StringView::npos) {
        parts.Mask = editMask;
        return parts;
    }
    parts.Mask = editMask.substr(0, first);
    StringView rest = editMask.substr(first + 1);
    parts.HasSave = true;
    const size_t second = rest.find(u';');
    if (second == StringView::npos) {
        parts.Save = rest;
        return parts;
    }
    parts.Save = rest.substr(0, second);
    parts.Blank = rest.substr(second + 1);
    parts.HasBlank = true;
    return parts;
}

} // namespace

TMaskLayout::TMaskLayout(StringView editMask) {
    const TMaskParts parts = SplitMask(editMask);
    FSaveLiterals = !(parts.HasSave && !parts.Save.empty() && parts.Save[0] == u'0');
    if (parts.HasBlank && !parts.Blank.empty()) FBlank = parts.Blank[0];
    const StringView mask = parts.Mask;
    TMaskCase currentCase = mcNone;
    auto literal = [&](Char c) { FPositions.push_back({mkLiteral, c, mcNone}); };
    auto position = [&](TMaskPositionKind kind) { FPositions.push_back({kind, 0, currentCase}); };
    for (size_t i = 0; i < mask.size(); ++i) {
        const Char c = mask[i];
        switch (c) {
        case u'\\':
            literal(i + 1 < mask.size() ? mask[++i] : u'\\');
            break;
        case u'!':
            FLeadingBlanks = true;
            break;
        case u'>':
            currentCase = mcUpper;
            break;
        case u'<':
            if (i + 1 < mask.size() && mask[i + 1] == u'>') {
                currentCase = mcNone;
                ++i;
            } else {
                currentCase = mcLower;
            }
            break;
        case u':':
            literal(FormatSettings().TimeSeparator);
            break;
        case u'/':
            literal(FormatSettings().DateSeparator);
            break;
        case u'_':
            literal(u' ');
            break;
        case u'0':
            position(mkDigit);
            break;
        case u'9':
            position(mkDigitOpt);
            break;
        case u'#':
            position(mkDigitSign);
            break;
        case u'L':
            position(mkLetter);
            break;
        case u'l':
            position(mkLetterOpt);
            break;
        case u'A':
            position(mkAlnum);
            break;
        case u'a':
            position(mkAlnumOpt);
            break;
        case u'C':
            position(mkAny);
            break;
        case u'c':
            position(mkAnyOpt);
            break;
        default:
            literal(c);
            break;
        }
    }
}

bool TMaskLayout::Accepts(Integer index, Char c) const {
    if (index < 0 || index >= Length()) return false;
    switch (Position(index).Kind) {
    case mkLiteral:
        return false;
    case mkDigit:
    case mkDigitOpt:
        return IsDigit(c);
    case mkDigitSign:
        return IsDigit(c) || c == u'+' || c == u'-';
    case mkLetter:
    case mkLetterOpt:
        return IsLetter(c);
    case mkAlnum:
    case mkAlnumOpt:
        return IsLetter(c) || IsDigit(c);
    case mkAny:
    case mkAnyOpt:
        return c >= 32 && c != 127 && !IsSurrogate(c);
    }
    return false;
}

Char TMaskLayout::Convert(Integer index, Char c) const {
    switch (Position(index).Case) {
    case mcUpper:
        return CharUpper(c);
    case mcLower:
        return CharLower(c);
    default:
        return c;
    }
}

Integer TMaskLayout::NextEditable(Integer index) const {
    for (Integer i = std::max(index, 0); i < Length(); ++i)
        if (!IsLiteral(i)) return i;
    return Length();
}

Integer TMaskLayout::PriorEditable(Integer index) const {
    for (Integer i = std::min(index, Length()) - 1; i >= 0; --i)
        if (!IsLiteral(i)) return i;
    return -1;
}

bool TMaskLayout::IsBlankAt(StringView editText, Integer index) const {
    return index >= static_cast<Integer>(editText.size()) || editText[static_cast<size_t>(index)] == FBlank;
}

String TMaskLayout::EmptyText() const {
    String text(FPositions.size(), FBlank);
    for (size_t i = 0; i < FPositions.size(); ++i)
        if (FPositions[i].IsLiteral()) text[i] = FPositions[i].Literal;
    return text;
}

String TMaskLayout::Normalize(StringView editText) const {
    String text = EmptyText();
    for (size_t i = 0; i < text.size() && i < editText.size(); ++i)
        if (!FPositions[i].IsLiteral()) text[i] = editText[i];
    return text;
}

String TMaskLayout::ValueOf(StringView editText) const {
    const String text = Normalize(editText);
    String value;
    bool entered = false;
    for (Integer i = 0; i < Length(); ++i) {
        const Char c = text[static_cast<size_t>(i)];
        if (IsLiteral(i)) {
            if (FSaveLiterals) value += c;
            continue;
        }
        if (c == FBlank) {
            value += u' ';
        } else {
            value += c;
            entered = true;
        }
    }
    if (!entered) return String();
    return FLeadingBlanks ? TrimLeft(value) : TrimRight(value);
}

String TMaskLayout::EditTextOf(StringView value) const {
    String text = EmptyText();
    const auto length = static_cast<Integer>(value.size());
    // Walks the mask and the value together, forwards, or backwards for "!".
    const Integer step = FLeadingBlanks ? -1 : 1;
    Integer i = FLeadingBlanks ? Length() - 1 : 0;
    Integer j = FLeadingBlanks ? length - 1 : 0;
    for (; i >= 0 && i < Length() && j >= 0 && j < length; i += step) {
        const Char c = value[static_cast<size_t>(j)];
        if (IsLiteral(i)) {
            if (FSaveLiterals && c == Position(i).Literal) j += step;
            continue;
        }
        text[static_cast<size_t>(i)] = c == u' ' ? FBlank : Convert(i, c);
        j += step;
    }
    return text;
}

Integer TMaskLayout::FirstInvalid(StringView editText) const {
    const String text = Normalize(editText);
    for (Integer i = 0; i < Length(); ++i) {
        if (IsLiteral(i)) continue;
        const Char c = text[static_cast<size_t>(i)];
        if (c == FBlank || (c == u' ' && !Position(i).Required())) {
            if (Position(i).Required()) return i;
            continue;
        }
        if (!Accepts(i, c)) return i;
    }
    return -1;
}

String FormatMaskText(const String& editMask, const String& value) {
    const TMaskLayout layout(editMask);
    if (layout.Empty()) return value;
    // The framework's formatting shows what an edit would show, blanks as spaces.
    String text = layout.EditTextOf(value);
    for (Integer i = 0; i < layout.Length(); ++i)
        if (!layout.IsLiteral(i) && text[static_cast<size_t>(i)] == layout.Blank())
            text[static_cast<size_t>(i)] = u' ';
    return text;
}

bool MaskGetMaskSave(const String& editMask) {
    return TMaskLayout(editMask).SaveLiterals();
}

Char MaskGetMaskBlank(const String& editMask) {
    return TMaskLayout(editMask).Blank();
}

} // namespace mv
