// The framework-style string helpers declared in StrUtils.h. Case mapping tables live in
// CaseMapping.cpp; everything here works on UTF-16 code units with 1-based positions.
//
// [SECTION] Positions, copying, trimming
// [SECTION] Case mapping and comparison
// [SECTION] Integer and boolean conversion
// [SECTION] Quoting, replacing, building
#include "platform/rtl/StrUtils.h"

#include "platform/rtl/CaseMapping.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"

#include <algorithm>
#include <limits>

namespace mv {

namespace {

bool IsBlank(Char c) {
    return c <= u' ';
}

Integer Length(StringView s) {
    return static_cast<Integer>(s.size());
}

template <typename Map> String MapChars(StringView s, Map map) {
    String result(s);
    for (Char& c : result)
        c = map(c);
    return result;
}

Char AsciiUpper(Char c) {
    return c >= u'a' && c <= u'z' ? static_cast<Char>(c - 32) : c;
}
Char AsciiLower(Char c) {
    return c >= u'A' && c <= u'Z' ? static_cast<Char>(c + 32) : c;
}

// Ordinal compare of a and b after passing every code unit through key.
template <typename Key> Integer CompareBy(StringView a, StringView b, Key key) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        Char ca = key(a[i]);
        Char cb = key(b[i]);
        if (ca != cb) return static_cast<Integer>(ca) - static_cast<Integer>(cb);
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool SameFolded(StringView a, StringView b) {
    return a.size() == b.size() && CompareBy(a, b, FoldCase) == 0;
}

// 0-based index of the first match of pattern in s at or after from, or npos.
std::size_t FindFolded(StringView s, StringView pattern, std::size_t from) {
    if (pattern.size() > s.size()) return StringView::npos;
    for (std::size_t i = from; i + pattern.size() <= s.size(); ++i)
        if (SameFolded(s.substr(i, pattern.size()), pattern)) return i;
    return StringView::npos;
}

int DigitValue(Char c, int base) {
    int d = -1;
    if (c >= u'0' && c <= u'9')
        d = c - u'0';
    else if (c >= u'a' && c <= u'f')
        d = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        d = c - u'A' + 10;
    return d < base ? d : -1;
}

// Parses an integer of the given width (32 or 64 bits). Decimal text must fit the signed
// range; hexadecimal text may use the whole unsigned range and is taken as a bit pattern
// ("$FFFFFFFF" is -1 as an Integer), as the framework's Val does.
bool ParseInteger(StringView text, int bits, Int64& value) {
    StringView s = text;
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    bool negative = false;
    if (!s.empty() && (s.front() == u'+' || s.front() == u'-')) {
        negative = s.front() == u'-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s.front() == u'$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() >= 2 && s[0] == u'0' && (s[1] == u'x' || s[1] == u'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty()) return false;

    const UInt64 signBit = UInt64{1} << (bits - 1);
    UInt64 limit;
    if (base == 16)
        limit = bits == 64 ? std::numeric_limits<UInt64>::max() : (UInt64{1} << bits) - 1;
    else
        limit = negative ? signBit : signBit - 1;

    UInt64 magnitude = 0;
    for (Char c : s) {
        int d = DigitValue(c, base);
        if (d < 0) return false;
        if (magnitude > (limit - static_cast<UInt64>(d)) / static_cast<UInt64>(base)) return false;
        magnitude = magnitude * static_cast<UInt64>(base) + static_cast<UInt64>(d);
    }
    UInt64 pattern = negative ? UInt64{0} - magnitude : magnitude;
    if (bits == 32)
        value = static_cast<std::int32_t>(static_cast<std::uint32_t>(pattern));
    else
        value = static_cast<Int64>(pattern);
    return true;
}

[[noreturn]] void RaiseInvalidInteger(StringView s) {
    throw EConvertError(Format(SysConst::SInvalidInteger, {s}));
}

} // namespace

// ---------------------------------------------------------------------------------------
// [SECTION] Positions, copying, trimming
// ---------------------------------------------------------------------------------------

Integer Pos(StringView subStr, StringView s, Integer offset) {
    if (subStr.empty() || offset < 1 || offset > Length(s)) return 0;
    std::size_t at = s.find(subStr, static_cast<std::size_t>(offset - 1));
    return at == StringView::npos ? 0 : static_cast<Integer>(at) + 1;
}

String Copy(StringView s, Integer index, Integer count) {
    Integer start = std::clamp(index, 1, Length(s) + 1) - 1;
    Integer n = std::clamp(count, 0, Length(s) - start);
    return String(s.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(n)));
}

String Copy(StringView s, Integer index) {
    return Copy(s, index, std::numeric_limits<Integer>::max());
}

// Unlike Copy, an index outside 1..Length deletes nothing: the framework's Delete
// never moves the start to fit.
void Delete(String& s, Integer index, Integer count) {
    if (index < 1 || index > Length(s) || count <= 0) return;
    s.erase(static_cast<std::size_t>(index - 1),
            static_cast<std::size_t>(std::min(count, Length(s) - index + 1)));
}

void Insert(StringView subStr, String& s, Integer index) {
    Integer at = std::clamp(index, 1, Length(s) + 1) - 1;
    s.insert(static_cast<std::size_t>(at), subStr);
}

String Trim(StringView s) {
    return TrimRight(TrimLeft(s));
}

String TrimLeft(StringView s) {
    std::size_t i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    return String(s.substr(i));
}

String TrimRight(StringView s) {
    std::size_t n = s.size();
    while (n > 0 && IsBlank(s[n - 1]))
        --n;
    return String(s.substr(0, n));
}

// ---------------------------------------------------------------------------------------
// [SECTION] Case mapping and comparison
// ---------------------------------------------------------------------------------------

String UpperCase(StringView s) {
    return MapChars(s, AsciiUpper);
}
String LowerCase(StringView s) {
    return MapChars(s, AsciiLower);
}
String AnsiUpperCase(StringView s) {
    return MapChars(s, CharUpper);
}
String AnsiLowerCase(StringView s) {
    return MapChars(s, CharLower);
}
Char CharUpper(Char c) {
    return CaseTables().Upper[c];
}
Char CharLower(Char c) {
    return CaseTables().Lower[c];
}

Integer CompareStr(StringView a, StringView b) {
    return CompareBy(a, b, [](Char c) { return c; });
}

// Upper case, as the framework does: '_' sorts after the letters here.
Integer CompareText(StringView a, StringView b) {
    return CompareBy(a, b, AsciiUpper);
}

Integer AnsiCompareStr(StringView a, StringView b) {
    return CompareStr(a, b);
}

// Folded to lower case, so ASCII punctuation between 'Z' and 'a' sorts before letters,
// closer to the platform collation the framework used than an upper-case key.
Integer AnsiCompareText(StringView a, StringView b) {
    return CompareBy(a, b, FoldCase);
}

bool SameStr(StringView a, StringView b) {
    return a == b;
}
bool SameText(StringView a, StringView b) {
    return a.size() == b.size() && CompareText(a, b) == 0;
}
bool AnsiSameText(StringView a, StringView b) {
    return SameFolded(a, b);
}
bool AnsiSameStr(StringView a, StringView b) {
    return a == b;
}

bool StartsText(StringView subText, StringView text) {
    return subText.size() <= text.size() && SameFolded(text.substr(0, subText.size()), subText);
}

bool EndsText(StringView subText, StringView text) {
    return subText.size() <= text.size() && SameFolded(text.substr(text.size() - subText.size()), subText);
}

// An empty subText is not contained, as with the framework (its Pos finds nothing).
bool ContainsText(StringView text, StringView subText) {
    return !subText.empty() && FindFolded(text, subText, 0) != StringView::npos;
}

bool StartsStr(StringView subText, StringView text) {
    return text.starts_with(subText);
}
bool EndsStr(StringView subText, StringView text) {
    return text.ends_with(subText);
}

Integer AnsiPos(StringView subStr, StringView s) {
    return Pos(subStr, s);
}

Integer LastDelimiter(StringView delimiters, StringView s) {
    std::size_t at = s.find_last_of(delimiters);
    return at == StringView::npos ? 0 : static_cast<Integer>(at) + 1;
}

// ---------------------------------------------------------------------------------------
// [SECTION] Integer and boolean conversion
// ---------------------------------------------------------------------------------------

String IntToStr(Int64 value) {
    UInt64 magnitude = value < 0 ? UInt64{0} - static_cast<UInt64>(value) : static_cast<UInt64>(value);
    String result = UIntToStr(magnitude);
    if (value < 0) result.insert(result.begin(), u'-');
    return result;
}

String UIntToStr(UInt64 value) {
    Char buffer[20];
    Char* end = buffer + 20;
    Char* p = end;
    do {
        *--p = static_cast<Char>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    return String(p, end);
}

// Negative values show their 64-bit two's complement ("FFFFFFFFFFFFFFFF" for -1).
String IntToHex(Int64 value, Integer digits) {
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    UInt64 bits = static_cast<UInt64>(value);
    String result;
    do {
        result.push_back(kHex[bits & 0xF]);
        bits >>= 4;
    } while (bits != 0);
    while (Length(result) < digits)
        result.push_back(u'0');
    std::reverse(result.begin(), result.end());
    return result;
}

Integer StrToInt(StringView s) {
    Integer value = 0;
    if (!TryStrToInt(s, value)) RaiseInvalidInteger(s);
    return value;
}

Int64 StrToInt64(StringView s) {
    Int64 value = 0;
    if (!TryStrToInt64(s, value)) RaiseInvalidInteger(s);
    return value;
}

Integer StrToIntDef(StringView s, Integer defaultValue) {
    Integer value = 0;
    return TryStrToInt(s, value) ? value : defaultValue;
}

Int64 StrToInt64Def(StringView s, Int64 defaultValue) {
    Int64 value = 0;
    return TryStrToInt64(s, value) ? value : defaultValue;
}

bool TryStrToInt(StringView s, Integer& value) {
    Int64 parsed = 0;
    if (!ParseInteger(s, 32, parsed)) return false;
    value = static_cast<Integer>(parsed);
    return true;
}

bool TryStrToInt64(StringView s, Int64& value) {
    return ParseInteger(s, 64, value);
}

bool StrToBool(StringView s) {
    bool value = false;
    if (!TryStrToBool(s, value)) throw EConvertError(Format(SysConst::SInvalidBoolean, {s}));
    return value;
}

bool TryStrToBool(StringView s, bool& value) {
    Int64 number = 0;
    if (TryStrToInt64(s, number)) {
        value = number != 0;
        return true;
    }
    if (AnsiSameText(s, u"True")) {
        value = true;
        return true;
    }
    if (AnsiSameText(s, u"False")) {
        value = false;
        return true;
    }
    return false;
}

String BoolToStr(bool value, bool useBoolStrs) {
    if (useBoolStrs) return value ? u"True" : u"False";
    return value ? u"-1" : u"0";
}

// ---------------------------------------------------------------------------------------
// [SECTION] Quoting, replacing, building
// ---------------------------------------------------------------------------------------

String QuotedStr(StringView s, Char quote) {
    return AnsiQuotedStr(s, quote);
}

String AnsiQuotedStr(StringView s, Char quote) {
    String result;
    result.reserve(s.size() + 2);
    result.push_back(quote);
    for (Char c : s) {
        result.push_back(c);
        if (c == quote) result.push_back(quote);
    }
    result.push_back(quote);
    return result;
}

// Mirrors the framework: the text between the opening quote and the first lone quote,
// with doubled quotes undone. s comes back unchanged when it does not start and end
// with the quote and either yields nothing or has no closing quote.
String AnsiDequotedStr(StringView s, Char quote) {
    String result;
    std::size_t i = 0;
    bool closed = false;
    if (!s.empty() && s[0] == quote) {
        for (i = 1; i < s.size(); ++i) {
            if (s[i] != quote) {
                result.push_back(s[i]);
                continue;
            }
            if (i + 1 < s.size() && s[i + 1] == quote) {
                result.push_back(quote);
                ++i;
                continue;
            }
            ++i;
            closed = true;
            break;
        }
    }
    bool atEnd = !closed || i >= s.size();
    bool enclosed = !s.empty() && s.front() == quote && s.back() == quote;
    if ((result.empty() || atEnd) && !s.empty() && !enclosed) return String(s);
    return result;
}

String StringReplace(StringView s, StringView oldPattern, StringView newPattern, TReplaceFlags flags) {
    if (oldPattern.empty()) return String(s);
    const bool ignoreCase = flags.Contains(rfIgnoreCase);
    String result;
    std::size_t from = 0;
    while (from <= s.size()) {
        std::size_t at = ignoreCase ? FindFolded(s, oldPattern, from) : s.find(oldPattern, from);
        if (at == StringView::npos) break;
        result.append(s.substr(from, at - from));
        result.append(newPattern);
        from = at + oldPattern.size();
        if (!flags.Contains(rfReplaceAll)) break;
    }
    result.append(s.substr(from));
    return result;
}

String StringOfChar(Char c, Integer count) {
    return String(static_cast<std::size_t>(std::max(count, 0)), c);
}

String DupeString(StringView s, Integer count) {
    String result;
    if (count <= 0) return result;
    result.reserve(s.size() * static_cast<std::size_t>(count));
    for (Integer i = 0; i < count; ++i)
        result.append(s);
    return result;
}

bool IsDelimiter(StringView delimiters, StringView s, Integer index) {
    if (index < 1 || index > Length(s)) return false;
    return delimiters.find(s[static_cast<std::size_t>(index - 1)]) != StringView::npos;
}

String ReverseString(StringView s) {
    return String(s.rbegin(), s.rend());
}

// ASCII identifiers, as component names and field names are streamed; with allowDots each
// dot-separated part must be an identifier on its own ("a.b", not "a..b" or "a.1").
bool IsValidIdent(StringView ident, bool allowDots) {
    auto isAlpha = [](Char c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_'; };
    auto isDigit = [](Char c) { return c >= u'0' && c <= u'9'; };
    bool partStart = true;
    for (Char c : ident) {
        if (partStart) {
            if (!isAlpha(c)) return false;
            partStart = false;
        } else if (c == u'.' && allowDots) {
            partStart = true;
        } else if (!isAlpha(c) && !isDigit(c)) {
            return false;
        }
    }
    return !partStart;
}

} // namespace mv
