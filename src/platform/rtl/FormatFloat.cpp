// FormatFloat / FormatCurr: picture patterns such as "#,##0.00;(#,##0.00);Zero".
// A pattern is analysed once (TPattern), the number rounded to what it shows, and the
// pattern walked again to place digits, separators, the exponent and literals.
#include "platform/rtl/Format.h"

#include "platform/rtl/FloatDigits.h"

#include <algorithm>
#include <charconv>

namespace mv {
namespace {

using detail::TDecimal;
using detail::TTextBuffer;

// A fixed pattern shows at most this many integer digits; larger values fall back to
// the general text, as in the framework.
constexpr int kMaxPatternIntegerDigits = 18;

bool IsQuote(Char c) {
    return c == u'\'' || c == u'"';
}

// Index just past the closing quote (or the end when it is missing).
std::size_t SkipQuoted(StringView s, std::size_t i) {
    const Char quote = s[i];
    const std::size_t close = s.find(quote, i + 1);
    return close == StringView::npos ? s.size() : close + 1;
}

bool IsExponentAt(StringView s, std::size_t i) {
    return (s[i] == u'E' || s[i] == u'e') && i + 1 < s.size() && (s[i + 1] == u'+' || s[i + 1] == u'-');
}

// Splits at ';' outside quotes; returns the number of sections (1..3).
int SplitSections(StringView format, StringView (&sections)[3]) {
    int count = 0;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < format.size() && count < 2) {
        if (IsQuote(format[i])) {
            i = SkipQuoted(format, i);
            continue;
        }
        if (format[i] == u';') {
            sections[count++] = format.substr(start, i - start);
            start = i + 1;
        }
        ++i;
    }
    // A third ';' and anything after it belong to the zero section, as literals.
    sections[count++] = format.substr(start);
    return count;
}

struct TPattern {
    int IntPlaceholders = 0; // '0' and '#' before the point
    int IntZeros = 0;        // minimum integer digits: placeholders from the first '0' on
    int MinDecimals = 0;     // decimals up to the last '0' after the point
    int MaxDecimals = 0;     // all placeholders after the point
    bool Thousands = false;
    bool Scientific = false;
    int ExponentDigits = 0;
};

TPattern AnalysePattern(StringView s) {
    TPattern p;
    bool beforePoint = true;
    int firstZero = -1;
    std::size_t i = 0;
    while (i < s.size()) {
        const Char c = s[i];
        if (IsQuote(c)) {
            i = SkipQuoted(s, i);
            continue;
        }
        if (IsExponentAt(s, i)) {
            p.Scientific = true;
            i += 2;
            while (i < s.size() && s[i] == u'0') {
                ++p.ExponentDigits;
                ++i;
            }
            break; // the rest is literal text
        }
        if (c == u'0' || c == u'#') {
            if (beforePoint) {
                if (c == u'0' && firstZero < 0) firstZero = p.IntPlaceholders;
                ++p.IntPlaceholders;
            } else {
                ++p.MaxDecimals;
                if (c == u'0') p.MinDecimals = p.MaxDecimals;
            }
        } else if (c == u'.') {
            beforePoint = false;
        } else if (c == u',') {
            p.Thousands = true;
        }
        ++i;
    }
    p.IntZeros = firstZero < 0 ? 0 : p.IntPlaceholders - firstZero;
    return p;
}

// Where the digits of the rounded number go: integer digit q (counted from the right)
// is Digits[IntEnd - 1 - q]; decimal j is Digits[FracStart + j].
struct TLayout {
    const TDecimal* D = nullptr;
    int IntEnd = 0;
    int IntLength = 0;
    int FracStart = 0;
    int FracLength = 0;
    int ExponentValue = 0;
};

char DigitAt(const TDecimal& d, int index) {
    return index >= 0 && index < d.Count ? d.Digits[index] : '0';
}

class TPatternWriter {
public:
    TPatternWriter(TTextBuffer& out, const TPattern& pattern, const TLayout& layout,
                   const TFormatSettings& settings)
        : FOut(out), FPattern(pattern), FLayout(layout), FSettings(settings) {}

    void Write(StringView s);

private:
    void AddIntDigit(int q) {
        FOut.Add(static_cast<Char>(DigitAt(*FLayout.D, FLayout.IntEnd - 1 - q)));
        if (FPattern.Thousands && q > 0 && q % 3 == 0 && FSettings.ThousandSeparator != 0)
            FOut.Add(FSettings.ThousandSeparator);
    }
    void AddIntDigitsFrom(int q) {
        for (int k = FLayout.IntLength - 1; k >= q; --k)
            AddIntDigit(k);
    }
    std::size_t AddExponent(StringView s, std::size_t i);

    TTextBuffer& FOut;
    const TPattern& FPattern;
    const TLayout& FLayout;
    const TFormatSettings& FSettings;
};

std::size_t TPatternWriter::AddExponent(StringView s, std::size_t i) {
    FOut.Add(s[i]);
    const int e = FLayout.ExponentValue;
    if (e < 0)
        FOut.Add(u'-');
    else if (s[i + 1] == u'+')
        FOut.Add(u'+');
    char buf[16];
    const auto res = std::to_chars(buf, buf + sizeof buf, e < 0 ? -e : e);
    const int length = static_cast<int>(res.ptr - buf);
    FOut.AddRepeated(u'0', static_cast<std::size_t>(std::max(0, FPattern.ExponentDigits - length)));
    FOut.AddAscii(buf, static_cast<std::size_t>(length));
    return i + 2 + static_cast<std::size_t>(FPattern.ExponentDigits);
}

void TPatternWriter::Write(StringView s) {
    bool beforePoint = true;
    bool exponentDone = false;
    int intSeen = 0;
    int fracSeen = 0;
    std::size_t i = 0;
    while (i < s.size()) {
        const Char c = s[i];
        if (IsQuote(c)) {
            const std::size_t close = s.find(c, i + 1);
            if (close == StringView::npos) {
                FOut.Add(s.substr(i + 1));
                break;
            }
            FOut.Add(s.substr(i + 1, close - i - 1));
            i = close + 1;
            continue;
        }
        if (exponentDone) {
            FOut.Add(c);
            ++i;
            continue;
        }
        if (FPattern.Scientific && IsExponentAt(s, i)) {
            i = AddExponent(s, i);
            exponentDone = true;
            continue;
        }
        ++i;
        if (c == u'0' || c == u'#') {
            if (beforePoint) {
                const int q = FPattern.IntPlaceholders - 1 - intSeen++;
                if (intSeen == 1)
                    AddIntDigitsFrom(q); // the first placeholder takes every extra leading digit
                else if (q < FLayout.IntLength)
                    AddIntDigit(q);
            } else if (fracSeen < FLayout.FracLength) {
                FOut.Add(static_cast<Char>(DigitAt(*FLayout.D, FLayout.FracStart + fracSeen++)));
            }
            continue;
        }
        if (c == u'.' && beforePoint) {
            beforePoint = false;
            if (FPattern.IntPlaceholders == 0) AddIntDigitsFrom(0);
            if (FLayout.FracLength > 0) FOut.Add(FSettings.DecimalSeparator);
            continue;
        }
        if (c == u',') continue;
        FOut.Add(c);
    }
}

// Rounds `d` to what the pattern shows and lays the digits out; false when the value is
// too large for a fixed pattern.
bool LayOut(TDecimal& d, const TPattern& p, TLayout& layout) {
    layout.D = &d;
    if (p.Scientific) {
        const int intDigits = std::max(1, p.IntZeros);
        detail::RoundSignificant(d, intDigits + p.MaxDecimals);
        layout.IntEnd = intDigits;
        layout.IntLength = intDigits;
        layout.FracStart = intDigits;
        layout.ExponentValue = d.Count == 0 ? 0 : d.Exponent - intDigits;
    } else {
        detail::RoundDecimals(d, p.MaxDecimals);
        if (d.Exponent > kMaxPatternIntegerDigits) return false;
        layout.IntEnd = std::max(d.Exponent, 0);
        layout.IntLength = std::max(layout.IntEnd, p.IntZeros);
        layout.FracStart = d.Exponent;
    }
    layout.FracLength = std::clamp(d.Count - layout.FracStart, p.MinDecimals, p.MaxDecimals);
    return true;
}

// `precision` is the significant digits of the source (15 for doubles, 19 for currency),
// used for the general text that empty or oversized patterns fall back to.
String FormatDecimal(StringView format, const TDecimal& source, int precision,
                     const TFormatSettings& settings) {
    TTextBuffer out;
    if (format.empty() || source.Kind != TDecimal::dkFinite) {
        detail::AppendFloatText(out, source, ffGeneral, precision, 0, settings);
        return out.ToString();
    }
    StringView sections[3];
    const int count = SplitSections(format, sections);
    const bool hasNegative = count >= 2 && !sections[1].empty();
    const bool hasZero = count >= 3 && !sections[2].empty();
    int section = 0;
    if (source.Count == 0)
        section = hasZero ? 2 : 0;
    else if (source.Negative)
        section = hasNegative ? 1 : 0;

    TPattern pattern = AnalysePattern(sections[section]);
    TDecimal d = source;
    TLayout layout;
    if (sections[section].empty() || !LayOut(d, pattern, layout)) {
        detail::AppendFloatText(out, source, ffGeneral, precision, 0, settings);
        return out.ToString();
    }
    // A value that rounds to zero is shown as zero: by the zero section, never as "-0.00".
    if (d.Count == 0 && source.Count != 0) {
        section = hasZero ? 2 : 0;
        pattern = AnalysePattern(sections[section]);
        d = source;
        d.Count = 0;
        d.Exponent = 0;
        LayOut(d, pattern, layout);
    }
    if (section == 0 && d.Negative && d.Count != 0) out.Add(u'-');
    TPatternWriter(out, pattern, layout, settings).Write(sections[section]);
    return out.ToString();
}

} // namespace

String FormatFloat(StringView format, double value, const TFormatSettings& settings) {
    return FormatDecimal(format, detail::DecimalFromDouble(value, detail::kDoubleDisplayDigits),
                         detail::kDoubleDisplayDigits, settings);
}

String FormatFloat(StringView format, double value) {
    return FormatFloat(format, value, FormatSettings());
}

String FormatCurr(StringView format, Currency value, const TFormatSettings& settings) {
    return FormatDecimal(format, detail::DecimalFromCurrency(value), 19, settings);
}

String FormatCurr(StringView format, Currency value) {
    return FormatCurr(format, value, FormatSettings());
}

} // namespace mv
