// Float and currency conversions: the decimal digit form (FloatDigits.h), the five
// TFloatFormat writers behind FloatToStrF / Format, and StrToFloat / StrToCurr.
//
// [SECTION] Decimal digits   DecimalFromDouble, DecimalFromCurrency, RoundDecimals, RoundSignificant
// [SECTION] Writers          AppendFloatText, AppendFloat, AppendCurrency
// [SECTION] Public texts     FloatToStr, FloatToStrF, CurrToStr, CurrToStrF
// [SECTION] Parsing          StrToFloat, TryStrToFloat, StrToFloatDef, StrToCurr, TryStrToCurr
#include "platform/rtl/Format.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FloatDigits.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace mv {
namespace detail {

// ---------------------------------------------------------------------------------------
// [SECTION] Decimal digits
// ---------------------------------------------------------------------------------------

namespace {

void TrimTrailingZeros(TDecimal& d) {
    while (d.Count > 0 && d.Digits[d.Count - 1] == '0')
        --d.Count;
    if (d.Count == 0) d.Exponent = 0;
}

// Keeps the first `keep` digits, rounding half away from zero on the next one.
void RoundAt(TDecimal& d, int keep) {
    if (d.Kind != TDecimal::dkFinite || keep >= d.Count) return;
    if (keep < 0) {
        d.Count = 0;
        d.Exponent = 0;
        return;
    }
    const bool up = d.Digits[keep] >= '5';
    d.Count = keep;
    if (!up) {
        TrimTrailingZeros(d);
        return;
    }
    int i = keep - 1;
    while (i >= 0 && d.Digits[i] == '9')
        --i;
    if (i < 0) {
        d.Digits[0] = '1';
        d.Count = 1;
        ++d.Exponent;
        return;
    }
    ++d.Digits[i];
    d.Count = i + 1;
}

} // namespace

TDecimal DecimalFromDouble(double value, int significant) {
    TDecimal d;
    if (std::isnan(value)) {
        d.Kind = TDecimal::dkNaN;
        return d;
    }
    d.Negative = std::signbit(value);
    if (std::isinf(value)) {
        d.Kind = TDecimal::dkInf;
        return d;
    }
    if (value == 0) return d;
    // The shortest digits that read back as the same double, i.e. the decimal the value
    // stands for; rounding those half away from zero gives 1234.5 -> "1235" and 2.675 ->
    // "2.68" where rounding the exact binary value would give "1234" and "2.67".
    char buf[48];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
    const char* p = buf;
    int n = 0;
    for (; p < res.ptr && *p != 'e'; ++p)
        if (*p != '.') d.Digits[n++] = *p;
    ++p; // 'e'
    const bool negativeExponent = p < res.ptr && *p == '-';
    ++p; // sign
    int exponent = 0;
    for (; p < res.ptr; ++p)
        exponent = exponent * 10 + (*p - '0');
    d.Exponent = (negativeExponent ? -exponent : exponent) + 1;
    d.Count = n;
    TrimTrailingZeros(d);
    RoundAt(d, std::clamp(significant, 1, kDoubleMaxDigits));
    return d;
}

TDecimal DecimalFromCurrency(Currency value) {
    TDecimal d;
    d.Negative = value.Scaled < 0;
    const UInt64 magnitude = d.Negative ? UInt64(0) - static_cast<UInt64>(value.Scaled) : value.Scaled;
    if (magnitude == 0) return d;
    const auto res = std::to_chars(d.Digits, d.Digits + TDecimal::kMaxDigits, magnitude);
    d.Count = static_cast<int>(res.ptr - d.Digits);
    d.Exponent = d.Count - 4;
    TrimTrailingZeros(d);
    return d;
}

void RoundDecimals(TDecimal& d, int decimals) {
    RoundAt(d, d.Exponent + decimals);
}

void RoundSignificant(TDecimal& d, int significant) {
    RoundAt(d, significant);
}

// ---------------------------------------------------------------------------------------
// [SECTION] Writers
// ---------------------------------------------------------------------------------------

namespace {

char DigitAt(const TDecimal& d, int index) {
    return index >= 0 && index < d.Count ? d.Digits[index] : '0';
}

void AppendExponentPart(TTextBuffer& out, int exponent, bool forcePlus, int minDigits) {
    out.Add(u'E');
    if (exponent < 0)
        out.Add(u'-');
    else if (forcePlus)
        out.Add(u'+');
    char buf[16];
    const auto res = std::to_chars(buf, buf + sizeof buf, exponent < 0 ? -exponent : exponent);
    const int length = static_cast<int>(res.ptr - buf);
    out.AddRepeated(u'0', static_cast<std::size_t>(std::max(0, minDigits - length)));
    out.AddAscii(buf, static_cast<std::size_t>(length));
}

// "ddd.ddd" with exactly `decimals` decimals, no sign; `d` is already rounded.
void AppendFixedDigits(TTextBuffer& out, const TDecimal& d, int decimals, bool thousands,
                       const TFormatSettings& settings) {
    if (d.Exponent <= 0) {
        out.Add(u'0');
    } else {
        for (int i = 0; i < d.Exponent; ++i) {
            if (thousands && i > 0 && (d.Exponent - i) % 3 == 0 && settings.ThousandSeparator != 0)
                out.Add(settings.ThousandSeparator);
            out.Add(static_cast<Char>(DigitAt(d, i)));
        }
    }
    if (decimals <= 0) return;
    out.Add(settings.DecimalSeparator);
    for (int j = 0; j < decimals; ++j)
        out.Add(static_cast<Char>(DigitAt(d, d.Exponent + j)));
}

void AppendGeneral(TTextBuffer& out, const TDecimal& d, int precision, int expDigits,
                   const TFormatSettings& settings) {
    if (d.Count == 0) {
        out.Add(u'0');
        return;
    }
    if (d.Negative) out.Add(u'-');
    if (d.Exponent > precision || d.Exponent < -3) {
        out.Add(static_cast<Char>(d.Digits[0]));
        if (d.Count > 1) {
            out.Add(settings.DecimalSeparator);
            for (int i = 1; i < d.Count; ++i)
                out.Add(static_cast<Char>(d.Digits[i]));
        }
        AppendExponentPart(out, d.Exponent - 1, false, expDigits);
        return;
    }
    AppendFixedDigits(out, d, std::max(0, d.Count - d.Exponent), false, settings);
}

void AppendScientific(TTextBuffer& out, const TDecimal& d, int precision, int expDigits,
                      const TFormatSettings& settings) {
    if (d.Negative && d.Count > 0) out.Add(u'-');
    out.Add(static_cast<Char>(DigitAt(d, 0)));
    if (precision > 1) {
        out.Add(settings.DecimalSeparator);
        for (int i = 1; i < precision; ++i)
            out.Add(static_cast<Char>(DigitAt(d, i)));
    }
    AppendExponentPart(out, d.Count == 0 ? 0 : d.Exponent - 1, true, expDigits);
}

// Templates of the framework's CurrencyFormat (0..3) and NegCurrFormat (0..15):
// '$' stands for CurrencyString, '1' for the number.
constexpr const char16_t* kPositiveCurrency[] = {u"$1", u"1$", u"$ 1", u"1 $"};
constexpr const char16_t* kNegativeCurrency[] = {u"($1)", u"-$1",  u"$-1",   u"$1-",  u"(1$)", u"-1$",
                                                 u"1-$",  u"1$-",  u"-1 $",  u"-$ 1", u"1 $-", u"$ 1-",
                                                 u"$ -1", u"1- $", u"($ 1)", u"(1 $)"};

void AppendCurrencyText(TTextBuffer& out, const TDecimal& d, int decimals, const TFormatSettings& settings) {
    TTextBuffer number;
    AppendFixedDigits(number, d, decimals, true, settings);
    const bool negative = d.Negative && d.Count > 0;
    const char16_t* pattern =
        negative ? kNegativeCurrency[settings.NegCurrFormat <= 15 ? settings.NegCurrFormat : 0]
                 : kPositiveCurrency[settings.CurrencyFormat <= 3 ? settings.CurrencyFormat : 0];
    for (const char16_t* p = pattern; *p; ++p) {
        if (*p == u'$')
            out.Add(settings.CurrencyString);
        else if (*p == u'1')
            out.Add(number.View());
        else
            out.Add(*p);
    }
}

} // namespace

void AppendFloatText(TTextBuffer& out, TDecimal d, TFloatFormat format, int precision, int digits,
                     const TFormatSettings& settings) {
    if (d.Kind == TDecimal::dkNaN) {
        out.Add(u"NAN");
        return;
    }
    if (d.Kind == TDecimal::dkInf) {
        out.Add(d.Negative ? u"-INF" : u"INF");
        return;
    }
    precision = std::max(precision, 1);
    switch (format) {
    case ffGeneral:
        AppendGeneral(out, d, precision, std::clamp(digits, 0, 4), settings);
        return;
    case ffExponent:
        AppendScientific(out, d, std::min(precision, 18), std::clamp(digits, 0, 4), settings);
        return;
    case ffFixed:
    case ffNumber:
    case ffCurrency:
        break;
    }
    // Too many integer digits for the precision: the framework falls back to general.
    if (d.Exponent > precision) {
        AppendGeneral(out, d, precision, 0, settings);
        return;
    }
    digits = std::clamp(digits, 0, 18);
    RoundDecimals(d, digits);
    if (format == ffCurrency) {
        AppendCurrencyText(out, d, digits, settings);
        return;
    }
    if (d.Negative && d.Count > 0) out.Add(u'-');
    AppendFixedDigits(out, d, digits, format == ffNumber, settings);
}

void AppendFloat(TTextBuffer& out, double value, TFloatFormat format, int precision, int digits,
                 const TFormatSettings& settings) {
    const bool scientific = format == ffGeneral || format == ffExponent;
    const int significant =
        std::min(std::max(precision, 1), scientific ? kDoubleMaxDigits : kDoubleDisplayDigits);
    AppendFloatText(out, DecimalFromDouble(value, significant), format, precision, digits, settings);
}

void AppendCurrency(TTextBuffer& out, Currency value, TFloatFormat format, int precision, int digits,
                    const TFormatSettings& settings) {
    TDecimal d = DecimalFromCurrency(value);
    RoundSignificant(d, std::max(precision, 1));
    AppendFloatText(out, d, format, precision, digits, settings);
}

} // namespace detail

// ---------------------------------------------------------------------------------------
// [SECTION] Public texts
// ---------------------------------------------------------------------------------------

namespace {
constexpr int kCurrencyPrecision = 19; // every digit of a currency value
}

String FloatToStr(double value) {
    return FloatToStrF(value, ffGeneral, 15, 0, FormatSettings());
}

String FloatToStr(double value, const TFormatSettings& settings) {
    return FloatToStrF(value, ffGeneral, 15, 0, settings);
}

String FloatToStrF(double value, TFloatFormat format, Integer precision, Integer digits) {
    return FloatToStrF(value, format, precision, digits, FormatSettings());
}

String FloatToStrF(double value, TFloatFormat format, Integer precision, Integer digits,
                   const TFormatSettings& settings) {
    detail::TTextBuffer out;
    detail::AppendFloat(out, value, format, precision, digits, settings);
    return out.ToString();
}

String CurrToStr(Currency value) {
    detail::TTextBuffer out;
    detail::AppendCurrency(out, value, ffGeneral, kCurrencyPrecision, 0, FormatSettings());
    return out.ToString();
}

String CurrToStrF(Currency value, TFloatFormat format, Integer digits) {
    detail::TTextBuffer out;
    detail::AppendCurrency(out, value, format, kCurrencyPrecision, digits, FormatSettings());
    return out.ToString();
}

// ---------------------------------------------------------------------------------------
// [SECTION] Parsing
// ---------------------------------------------------------------------------------------

namespace {

bool IsBlank(Char c) {
    return c == u' ' || c == u'\t';
}

bool IsDigit(Char c) {
    return c >= u'0' && c <= u'9';
}

// The accepted syntax, with its parts pulled out for the two converters.
struct TNumberText {
    bool Negative = false;
    std::string Digits;    // every mantissa digit, the point removed
    int PointPosition = 0; // digits before the point
    int Exponent = 0;      // the E part, clamped far outside any representable range
};

// [blanks] [+|-] digits [sep digits] [(E|e) [+|-] digits] [blanks]; at least one mantissa
// digit; only the settings' decimal separator; no thousand separators.
bool ScanNumber(StringView s, Char decimalSeparator, TNumberText& number) {
    std::size_t i = 0;
    std::size_t end = s.size();
    while (i < end && IsBlank(s[i]))
        ++i;
    while (end > i && IsBlank(s[end - 1]))
        --end;
    if (i < end && (s[i] == u'+' || s[i] == u'-')) number.Negative = s[i++] == u'-';
    while (i < end && IsDigit(s[i]))
        number.Digits.push_back(static_cast<char>(s[i++]));
    number.PointPosition = static_cast<int>(number.Digits.size());
    if (i < end && s[i] == decimalSeparator) {
        ++i;
        while (i < end && IsDigit(s[i]))
            number.Digits.push_back(static_cast<char>(s[i++]));
    }
    if (number.Digits.empty()) return false;
    if (i < end && (s[i] == u'E' || s[i] == u'e')) {
        ++i;
        bool negativeExponent = false;
        if (i < end && (s[i] == u'+' || s[i] == u'-')) negativeExponent = s[i++] == u'-';
        if (i >= end || !IsDigit(s[i])) return false;
        int exponent = 0;
        for (; i < end && IsDigit(s[i]); ++i)
            exponent = std::min(exponent * 10 + (s[i] - u'0'), 100000);
        number.Exponent = negativeExponent ? -exponent : exponent;
    }
    return i == end;
}

bool ConvertToDouble(const TNumberText& number, double& value) {
    const std::size_t first = number.Digits.find_first_not_of('0');
    if (first == std::string::npos) {
        value = number.Negative ? -0.0 : 0.0;
        return true;
    }
    std::string text = number.Digits;
    text.insert(static_cast<std::size_t>(number.PointPosition), 1, '.');
    text += 'e';
    text += std::to_string(number.Exponent);
    double result = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), result);
    if (res.ec == std::errc::result_out_of_range) {
        // Decimal magnitude of the leading digit decides overflow (invalid) or underflow (zero).
        const int magnitude = number.PointPosition - static_cast<int>(first) + number.Exponent;
        if (magnitude > 0) return false;
        result = 0;
    } else if (res.ec != std::errc()) {
        return false;
    }
    value = number.Negative ? -result : result;
    return true;
}

// Exact decimal to scaled currency, rounding half away from zero at the fourth decimal.
bool ConvertToCurrency(const TNumberText& number, Currency& value) {
    constexpr UInt64 kMax = static_cast<UInt64>(std::numeric_limits<Int64>::max());
    const long long kept = static_cast<long long>(number.PointPosition) + number.Exponent + 4;
    UInt64 scaled = 0;
    bool roundUp = false;
    const long long count = static_cast<long long>(number.Digits.size());
    for (long long i = 0; i < std::max(kept, count) && i <= kept; ++i) {
        const int digit = i < count ? number.Digits[static_cast<std::size_t>(i)] - '0' : 0;
        if (i == kept) {
            roundUp = digit >= 5;
            break;
        }
        if (scaled > (kMax - static_cast<UInt64>(digit)) / 10) return false;
        scaled = scaled * 10 + static_cast<UInt64>(digit);
    }
    if (roundUp) {
        if (scaled == kMax) return false;
        ++scaled;
    }
    const Int64 signedScaled = static_cast<Int64>(scaled);
    value = Currency::FromScaled(number.Negative ? -signedScaled : signedScaled);
    return true;
}

[[noreturn]] void RaiseInvalidFloat(StringView s) {
    throw EConvertError(Format(SysConst::SInvalidFloat, {String(s)}));
}

} // namespace

bool TryStrToFloat(StringView s, double& value, const TFormatSettings& settings) {
    TNumberText number;
    return ScanNumber(s, settings.DecimalSeparator, number) && ConvertToDouble(number, value);
}

bool TryStrToFloat(StringView s, double& value) {
    return TryStrToFloat(s, value, FormatSettings());
}

double StrToFloat(StringView s, const TFormatSettings& settings) {
    double value = 0;
    if (!TryStrToFloat(s, value, settings)) RaiseInvalidFloat(s);
    return value;
}

double StrToFloat(StringView s) {
    return StrToFloat(s, FormatSettings());
}

double StrToFloatDef(StringView s, double defaultValue) {
    double value = 0;
    return TryStrToFloat(s, value) ? value : defaultValue;
}

bool TryStrToCurr(StringView s, Currency& value) {
    TNumberText number;
    return ScanNumber(s, FormatSettings().DecimalSeparator, number) && ConvertToCurrency(number, value);
}

Currency StrToCurr(StringView s) {
    Currency value;
    if (!TryStrToCurr(s, value)) RaiseInvalidFloat(s);
    return value;
}

} // namespace mv
