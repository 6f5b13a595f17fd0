// TBcd arithmetic and conversions. Every operation unpacks the nibbles into a working
// decimal (TDecimal: digits least significant first, a scale and a sign), computes
// exactly, and packs the result back, rounding half away from zero only when it would
// need more than 64 digits or 63 decimals.
//
// [SECTION] Working decimal  TDecimal, Unpack, Pack, RoundToScale, magnitude helpers
// [SECTION] Text             ParseDecimal, StrToBcd, BcdToStr
// [SECTION] Conversions      doubles, integers, currency, NormalizeBcd
// [SECTION] Arithmetic       BcdCompare, BcdAdd, BcdSubtract, BcdMultiply, BcdDivide
// [SECTION] Variant          VarFMTBcdCreate, VarIsFMTBcd, VarToBcd
#include "platform/rtl/Bcd.h"

#include "platform/rtl/Format.h"
#include "platform/rtl/VariantPrivate.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

namespace mv {

//-----------------------------------------------------------------------------
// [SECTION] Working decimal
//-----------------------------------------------------------------------------

namespace {

// Room for the longest intermediate: a 64-digit dividend shifted by 129 places.
constexpr Integer Capacity = 200;
constexpr Byte SignBit = 0x80;
constexpr Byte PlacesMask = 0x3F;

struct TDecimal {
    std::array<Byte, Capacity> Digits{}; // least significant first
    Integer Count = 0;                   // digits in use after Trim; 0 means zero
    Integer Scale = 0;                   // how many of them are decimals
    bool Negative = false;

    bool IsZero() const { return Count == 0; }
};

[[noreturn]] void RaiseOverflow() {
    throw EBcdOverflowException(SysConst::SBcdOverflow);
}

void Trim(TDecimal& d) {
    while (d.Count > 0 && d.Digits[d.Count - 1] == 0)
        --d.Count;
}

TDecimal Unpack(const TBcd& value) {
    TDecimal d;
    Integer precision = std::min<Integer>(value.Precision, MaxFMTBcdDigits);
    for (Integer i = 0; i < precision; ++i) {
        Byte pair = value.Fraction[i / 2];
        Byte digit = (i % 2 == 0) ? (pair >> 4) : (pair & 0x0F);
        assert(digit <= 9 && "TBcd: a nibble holds a digit above 9");
        d.Digits[precision - 1 - i] = std::min<Byte>(digit, 9);
    }
    d.Count = precision;
    d.Scale = value.SignSpecialPlaces & PlacesMask;
    d.Negative = (value.SignSpecialPlaces & SignBit) != 0;
    Trim(d);
    return d;
}

// Multiplies the magnitude by 10^places.
void ShiftLeft(TDecimal& d, Integer places) {
    if (d.IsZero() || places == 0) return;
    assert(d.Count + places <= Capacity && "ShiftLeft: the working decimal is too small");
    std::copy_backward(d.Digits.begin(), d.Digits.begin() + d.Count, d.Digits.begin() + d.Count + places);
    std::fill(d.Digits.begin(), d.Digits.begin() + places, Byte(0));
    d.Count += places;
}

void IncrementMagnitude(TDecimal& d) {
    for (Integer i = 0;; ++i) {
        assert(i < Capacity && "IncrementMagnitude: carry beyond the working decimal");
        if (i == d.Count) {
            d.Digits[i] = 1;
            d.Count = i + 1;
            return;
        }
        if (d.Digits[i] < 9) {
            ++d.Digits[i];
            return;
        }
        d.Digits[i] = 0;
    }
}

// Pads with zeros, or drops decimals rounding half away from zero (or truncating).
void RoundToScale(TDecimal& d, Integer newScale, bool truncate = false) {
    if (newScale >= d.Scale) {
        ShiftLeft(d, newScale - d.Scale);
        d.Scale = newScale;
        return;
    }
    Integer drop = d.Scale - newScale;
    bool roundUp = !truncate && drop <= d.Count && d.Digits[drop - 1] >= 5;
    if (drop >= d.Count) {
        d.Count = 0;
    } else {
        std::copy(d.Digits.begin() + drop, d.Digits.begin() + d.Count, d.Digits.begin());
        d.Count -= drop;
    }
    d.Scale = newScale;
    if (roundUp) IncrementMagnitude(d);
}

// Sets the precision field to precision (at least the digits the value needs) and
// rounds away decimals that do not fit into 64 digits.
TBcd Pack(TDecimal d, Integer precision = 0) {
    Trim(d);
    for (;;) {
        Integer excess = std::max(d.Count - MaxFMTBcdDigits, d.Scale - MaxFMTBcdScale);
        if (excess <= 0) break;
        if (excess > d.Scale) RaiseOverflow();
        // A carry from the rounding can add a digit; the next pass then drops a zero.
        RoundToScale(d, d.Scale - excess);
        Trim(d);
    }
    if (d.IsZero()) d.Negative = false;
    precision = std::max({precision, d.Count, d.Scale, Integer(1)});
    assert(precision <= MaxFMTBcdDigits && "Pack: precision beyond 64 digits");
    TBcd result;
    result.Precision = static_cast<Byte>(precision);
    result.SignSpecialPlaces = static_cast<Byte>(d.Scale | (d.Negative ? SignBit : 0));
    for (Integer i = 0; i < precision; ++i) {
        Integer position = precision - 1 - i;
        Byte digit = position < d.Count ? d.Digits[position] : 0;
        result.Fraction[i / 2] |= (i % 2 == 0) ? Byte(digit << 4) : digit;
    }
    return result;
}

// Compares magnitudes of trimmed decimals of equal scale.
Integer CompareMagnitudes(const TDecimal& a, const TDecimal& b) {
    if (a.Count != b.Count) return a.Count < b.Count ? -1 : 1;
    for (Integer i = a.Count - 1; i >= 0; --i)
        if (a.Digits[i] != b.Digits[i]) return a.Digits[i] < b.Digits[i] ? -1 : 1;
    return 0;
}

void AddMagnitude(TDecimal& a, const TDecimal& b) {
    Integer count = std::max(a.Count, b.Count);
    Integer carry = 0;
    for (Integer i = 0; i < count; ++i) {
        Integer sum = (i < a.Count ? a.Digits[i] : 0) + (i < b.Count ? b.Digits[i] : 0) + carry;
        a.Digits[i] = static_cast<Byte>(sum % 10);
        carry = sum / 10;
    }
    a.Count = count;
    if (carry) a.Digits[a.Count++] = 1;
}

// a -= b where |a| >= |b| at the same scale.
void SubtractMagnitude(TDecimal& a, const TDecimal& b) {
    Integer borrow = 0;
    for (Integer i = 0; i < a.Count; ++i) {
        Integer diff = a.Digits[i] - (i < b.Count ? b.Digits[i] : 0) - borrow;
        borrow = diff < 0 ? 1 : 0;
        a.Digits[i] = static_cast<Byte>(diff + borrow * 10);
    }
    assert(borrow == 0 && "SubtractMagnitude: the subtrahend is larger");
    Trim(a);
}

void AlignScales(TDecimal& a, TDecimal& b) {
    Integer scale = std::max(a.Scale, b.Scale);
    RoundToScale(a, scale);
    RoundToScale(b, scale);
}

TDecimal FromUInt64(UInt64 magnitude, bool negative) {
    TDecimal d;
    while (magnitude != 0) {
        d.Digits[d.Count++] = static_cast<Byte>(magnitude % 10);
        magnitude /= 10;
    }
    d.Negative = negative && d.Count > 0;
    return d;
}

// The integer magnitude, or false when it does not fit 64 bits.
bool ToUInt64(const TDecimal& d, UInt64& result) {
    assert(d.Scale == 0 && "ToUInt64: round to scale 0 first");
    if (d.Count > 20) return false;
    unsigned __int128 value = 0;
    for (Integer i = d.Count - 1; i >= 0; --i)
        value = value * 10 + d.Digits[i];
    if (value > std::numeric_limits<UInt64>::max()) return false;
    result = static_cast<UInt64>(value);
    return true;
}

} // namespace

Byte BcdScale(const TBcd& value) {
    return value.SignSpecialPlaces & PlacesMask;
}

Word BcdPrecision(const TBcd& value) {
    TDecimal d = Unpack(value);
    return static_cast<Word>(std::max(0, d.Count - d.Scale));
}

bool IsBcdNegative(const TBcd& value) {
    return (value.SignSpecialPlaces & SignBit) != 0;
}
bool IsBcdZero(const TBcd& value) {
    return Unpack(value).IsZero();
}

//-----------------------------------------------------------------------------
// [SECTION] Text
//-----------------------------------------------------------------------------

namespace {

enum class TParseResult { Ok, Invalid, Overflow };

TParseResult ParseDecimal(StringView s, Char separator, TDecimal& result) {
    size_t begin = 0;
    size_t end = s.size();
    while (begin < end && s[begin] <= u' ')
        ++begin;
    while (end > begin && s[end - 1] <= u' ')
        --end;
    size_t i = begin;
    bool negative = false;
    if (i < end && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';

    std::vector<Byte> digits; // most significant first, leading zeros skipped
    Int64 decimals = 0;
    bool anyDigit = false;
    bool seenSeparator = false;
    for (; i < end; ++i) {
        Char c = s[i];
        if (c >= u'0' && c <= u'9') {
            anyDigit = true;
            if (seenSeparator) ++decimals;
            if (!digits.empty() || c != u'0') digits.push_back(static_cast<Byte>(c - u'0'));
        } else if (c == separator && !seenSeparator) {
            seenSeparator = true;
        } else {
            break;
        }
    }
    if (!anyDigit) return TParseResult::Invalid;

    Int64 exponent = 0;
    if (i < end && (s[i] == u'e' || s[i] == u'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < end && (s[i] == u'+' || s[i] == u'-')) negativeExponent = s[i++] == u'-';
        if (i == end || s[i] < u'0' || s[i] > u'9') return TParseResult::Invalid;
        for (; i < end && s[i] >= u'0' && s[i] <= u'9'; ++i)
            exponent =
                std::min<Int64>(exponent * 10 + (s[i] - u'0'), 1000000); // saturates: far out of range anyway
        if (negativeExponent) exponent = -exponent;
    }
    if (i != end) return TParseResult::Invalid;

    result = TDecimal();
    result.Negative = negative;
    Int64 scale = decimals - exponent;
    Int64 count = static_cast<Int64>(digits.size());
    if (count == 0) {
        result.Scale = static_cast<Integer>(std::clamp<Int64>(scale, 0, MaxFMTBcdScale));
        return TParseResult::Ok;
    }
    Int64 integerDigits = count - scale;
    if (integerDigits > MaxFMTBcdDigits) return TParseResult::Overflow;
    if (scale < 0) {
        digits.insert(digits.end(), static_cast<size_t>(-scale), Byte(0));
        count = static_cast<Int64>(digits.size());
        scale = 0;
    }
    // Keep at most 63 decimals and 64 digits in all; round once at the cut.
    Int64 keepScale =
        std::min<Int64>({scale, Int64(MaxFMTBcdScale), MaxFMTBcdDigits - std::max<Int64>(integerDigits, 0)});
    Int64 drop = scale - keepScale;
    bool roundUp = drop > 0 && drop <= count && digits[static_cast<size_t>(count - drop)] >= 5;
    Int64 kept = std::max<Int64>(count - drop, 0);
    for (Int64 k = 0; k < kept; ++k)
        result.Digits[k] = digits[static_cast<size_t>(kept - 1 - k)];
    result.Count = static_cast<Integer>(kept);
    result.Scale = static_cast<Integer>(keepScale);
    if (roundUp) IncrementMagnitude(result);
    Trim(result);
    return TParseResult::Ok;
}

[[noreturn]] void RaiseInvalidBcd(StringView text) {
    throw EConvertError(Format(SysConst::SInvalidBcdValue, {text}));
}

} // namespace

TBcd StrToBcd(StringView s) {
    return StrToBcd(s, FormatSettings());
}

TBcd StrToBcd(StringView s, const TFormatSettings& settings) {
    TDecimal d;
    switch (ParseDecimal(s, settings.DecimalSeparator, d)) {
    case TParseResult::Ok:
        return Pack(d);
    case TParseResult::Overflow:
        RaiseOverflow();
    case TParseResult::Invalid:
        break;
    }
    RaiseInvalidBcd(s);
}

bool TryStrToBcd(StringView s, TBcd& value) {
    return TryStrToBcd(s, value, FormatSettings());
}

bool TryStrToBcd(StringView s, TBcd& value, const TFormatSettings& settings) {
    TDecimal d;
    if (ParseDecimal(s, settings.DecimalSeparator, d) != TParseResult::Ok) return false;
    value = Pack(d);
    return true;
}

String BcdToStr(const TBcd& value) {
    return BcdToStr(value, FormatSettings());
}

String BcdToStr(const TBcd& value, const TFormatSettings& settings) {
    TDecimal d = Unpack(value);
    if (d.IsZero()) return u"0";
    Integer trailingZeros = 0;
    while (trailingZeros < d.Scale && d.Digits[trailingZeros] == 0)
        ++trailingZeros;
    String text;
    if (d.Negative) text += u'-';
    if (d.Count <= d.Scale) text += u'0';
    for (Integer i = d.Count - 1; i >= d.Scale; --i)
        text += static_cast<Char>(u'0' + d.Digits[i]);
    if (trailingZeros < d.Scale) {
        text += settings.DecimalSeparator;
        for (Integer i = d.Scale - 1; i >= trailingZeros; --i)
            text += static_cast<Char>(u'0' + (i < d.Count ? d.Digits[i] : 0));
    }
    return text;
}

//-----------------------------------------------------------------------------
// [SECTION] Conversions
//-----------------------------------------------------------------------------

TBcd DoubleToBcd(double value) {
    if (std::isnan(value)) RaiseInvalidBcd(u"NAN");
    if (std::isinf(value)) RaiseOverflow();
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    assert(error == std::errc() && "DoubleToBcd: 64 characters hold any 15-digit double");
    String text(buffer, end);
    TDecimal d;
    TParseResult parsed = ParseDecimal(text, u'.', d);
    if (parsed == TParseResult::Overflow) RaiseOverflow();
    assert(parsed == TParseResult::Ok && "DoubleToBcd: to_chars wrote something ParseDecimal rejects");
    return Pack(d);
}

double BcdToDouble(const TBcd& value) {
    TDecimal d = Unpack(value);
    if (d.IsZero()) return 0;
    // "digits e-scale" is read with correct rounding by from_chars.
    std::string text;
    if (d.Negative) text += '-';
    for (Integer i = d.Count - 1; i >= 0; --i)
        text += static_cast<char>('0' + d.Digits[i]);
    text += "e-" + std::to_string(d.Scale);
    double result = 0;
    std::from_chars(text.data(), text.data() + text.size(), result);
    return result;
}

TBcd IntegerToBcd(Int64 value) {
    UInt64 magnitude = value < 0 ? UInt64(0) - UInt64(value) : UInt64(value);
    return Pack(FromUInt64(magnitude, value < 0));
}

Int64 BcdToInt64(const TBcd& value, bool truncate) {
    TDecimal d = Unpack(value);
    RoundToScale(d, 0, truncate);
    UInt64 magnitude = 0;
    if (!ToUInt64(d, magnitude)) RaiseOverflow();
    UInt64 limit = d.Negative ? UInt64(std::numeric_limits<Int64>::max()) + 1
                              : UInt64(std::numeric_limits<Int64>::max());
    if (magnitude > limit) RaiseOverflow();
    return d.Negative ? static_cast<Int64>(UInt64(0) - magnitude) : static_cast<Int64>(magnitude);
}

Integer BcdToInteger(const TBcd& value, bool truncate) {
    Int64 result = BcdToInt64(value, truncate);
    if (result < std::numeric_limits<Integer>::min() || result > std::numeric_limits<Integer>::max())
        RaiseOverflow();
    return static_cast<Integer>(result);
}

bool CurrToBcd(Currency value, TBcd& result, Integer precision, Integer decimals) {
    if (precision < 1 || precision > MaxFMTBcdDigits || decimals < 0 ||
        decimals > std::min(precision, MaxFMTBcdScale))
        return false;
    Int64 scaled = value.Scaled;
    TDecimal d = FromUInt64(scaled < 0 ? UInt64(0) - UInt64(scaled) : UInt64(scaled), scaled < 0);
    d.Scale = 4;
    RoundToScale(d, decimals);
    Trim(d);
    if (std::max(d.Count, d.Scale) > precision) return false;
    result = Pack(d);
    return true;
}

bool BcdToCurr(const TBcd& value, Currency& result) {
    TDecimal d = Unpack(value);
    RoundToScale(d, 4);
    d.Scale = 0; // the digits now are the scaled value
    UInt64 magnitude = 0;
    if (!ToUInt64(d, magnitude)) return false;
    UInt64 limit = d.Negative ? UInt64(std::numeric_limits<Int64>::max()) + 1
                              : UInt64(std::numeric_limits<Int64>::max());
    if (magnitude > limit) return false;
    result = Currency::FromScaled(d.Negative ? static_cast<Int64>(UInt64(0) - magnitude)
                                             : static_cast<Int64>(magnitude));
    return true;
}

TBcd CurrencyToBcd(Currency value) {
    TBcd result;
    bool converted = CurrToBcd(value, result, MaxFMTBcdDigits, 4);
    assert(converted && "CurrencyToBcd: every Currency fits into 64 digits");
    (void)converted;
    return result;
}

Currency BcdToCurrency(const TBcd& value) {
    Currency result;
    if (!BcdToCurr(value, result)) RaiseOverflow();
    return result;
}

bool NormalizeBcd(const TBcd& value, TBcd& result, Integer precision, Integer places) {
    if (precision < 1 || precision > MaxFMTBcdDigits || places < 0 ||
        places > std::min(precision, MaxFMTBcdScale))
        return false;
    TDecimal d = Unpack(value);
    RoundToScale(d, places);
    Trim(d);
    if (d.Count > precision) return false;
    result = Pack(d, precision);
    return true;
}

//-----------------------------------------------------------------------------
// [SECTION] Arithmetic
//-----------------------------------------------------------------------------

Integer BcdCompare(const TBcd& a, const TBcd& b) {
    TDecimal x = Unpack(a);
    TDecimal y = Unpack(b);
    if (x.IsZero() && y.IsZero()) return 0;
    bool xNegative = x.Negative && !x.IsZero();
    bool yNegative = y.Negative && !y.IsZero();
    if (xNegative != yNegative) return xNegative ? -1 : 1;
    AlignScales(x, y);
    Integer magnitude = CompareMagnitudes(x, y);
    return xNegative ? -magnitude : magnitude;
}

namespace {

TDecimal AddSigned(TDecimal x, TDecimal y) {
    AlignScales(x, y);
    if (x.Negative == y.Negative) {
        AddMagnitude(x, y);
        return x;
    }
    if (CompareMagnitudes(x, y) >= 0) {
        SubtractMagnitude(x, y);
        return x;
    }
    SubtractMagnitude(y, x);
    return y;
}

// Quotient of integer magnitudes by schoolbook long division.
TDecimal DivideMagnitudes(const TDecimal& dividend, const TDecimal& divisor) {
    TDecimal quotient;
    TDecimal rest;
    for (Integer i = dividend.Count - 1; i >= 0; --i) {
        ShiftLeft(rest, 1);
        rest.Digits[0] = dividend.Digits[i];
        if (rest.Count == 0 && dividend.Digits[i] != 0) rest.Count = 1;
        Byte digit = 0;
        while (CompareMagnitudes(rest, divisor) >= 0) {
            SubtractMagnitude(rest, divisor);
            ++digit;
        }
        quotient.Digits[i] = digit;
    }
    quotient.Count = dividend.Count;
    Trim(quotient);
    return quotient;
}

} // namespace

void BcdAdd(const TBcd& a, const TBcd& b, TBcd& result) {
    result = Pack(AddSigned(Unpack(a), Unpack(b)));
}

void BcdSubtract(const TBcd& a, const TBcd& b, TBcd& result) {
    TDecimal y = Unpack(b);
    y.Negative = !y.Negative;
    result = Pack(AddSigned(Unpack(a), y));
}

void BcdMultiply(const TBcd& a, const TBcd& b, TBcd& result) {
    TDecimal x = Unpack(a);
    TDecimal y = Unpack(b);
    TDecimal product;
    product.Scale = x.Scale + y.Scale;
    product.Negative = x.Negative != y.Negative;
    std::array<Integer, Capacity> sums{};
    for (Integer i = 0; i < x.Count; ++i)
        for (Integer j = 0; j < y.Count; ++j)
            sums[i + j] += x.Digits[i] * y.Digits[j];
    Integer carry = 0;
    product.Count = x.Count + y.Count;
    for (Integer k = 0; k < product.Count; ++k) {
        Integer value = sums[k] + carry;
        product.Digits[k] = static_cast<Byte>(value % 10);
        carry = value / 10;
    }
    assert(carry == 0 && "BcdMultiply: the product has more digits than both factors");
    result = Pack(product);
}

void BcdDivide(const TBcd& dividend, const TBcd& divisor, TBcd& result) {
    TDecimal x = Unpack(dividend);
    TDecimal y = Unpack(divisor);
    if (y.IsZero()) throw EZeroDivide(SysConst::SDivByZero);
    Integer keepScale = std::max(x.Scale, y.Scale);
    Integer quotientScale = std::min(MaxFMTBcdScale, std::max(32, keepScale));
    // One digit beyond the wanted scale decides the rounding.
    ShiftLeft(x, y.Scale - x.Scale + quotientScale + 1);
    TDecimal q = DivideMagnitudes(x, y);
    q.Scale = quotientScale + 1;
    q.Negative = x.Negative != y.Negative;
    Integer integerDigits = q.Count - q.Scale;
    if (integerDigits > MaxFMTBcdDigits) RaiseOverflow();
    RoundToScale(q, std::min(quotientScale, MaxFMTBcdDigits - std::max(integerDigits, 0)));
    Trim(q);
    Integer zeros = 0;
    while (q.Scale - zeros > keepScale && zeros < q.Count && q.Digits[zeros] == 0)
        ++zeros;
    if (q.IsZero()) zeros = std::max(0, q.Scale - keepScale);
    RoundToScale(q, q.Scale - zeros); // drops only zeros
    result = Pack(q);
}

TBcd operator+(const TBcd& a, const TBcd& b) {
    TBcd result;
    BcdAdd(a, b, result);
    return result;
}
TBcd operator-(const TBcd& a, const TBcd& b) {
    TBcd result;
    BcdSubtract(a, b, result);
    return result;
}
TBcd operator*(const TBcd& a, const TBcd& b) {
    TBcd result;
    BcdMultiply(a, b, result);
    return result;
}
TBcd operator/(const TBcd& a, const TBcd& b) {
    TBcd result;
    BcdDivide(a, b, result);
    return result;
}
TBcd operator-(const TBcd& a) {
    TDecimal d = Unpack(a);
    d.Negative = !d.Negative;
    return Pack(d);
}

//-----------------------------------------------------------------------------
// [SECTION] Variant
//-----------------------------------------------------------------------------

Variant VarFMTBcdCreate(const TBcd& value) {
    return TVariantAccess::MakeBlock(varFMTBcdCode, new TVariantAccess::TBcdBlock(value));
}

Variant VarFMTBcdCreate(StringView value) {
    return VarFMTBcdCreate(StrToBcd(value));
}

namespace {

Variant CreateNormalized(const TBcd& value, Word precision, Word scale) {
    TBcd normalized;
    if (!NormalizeBcd(value, normalized, precision, scale)) RaiseOverflow();
    return VarFMTBcdCreate(normalized);
}

} // namespace

Variant VarFMTBcdCreate(StringView value, Word precision, Word scale) {
    return CreateNormalized(StrToBcd(value), precision, scale);
}

Variant VarFMTBcdCreate(double value, Word precision, Word scale) {
    return CreateNormalized(DoubleToBcd(value), precision, scale);
}

bool VarIsFMTBcd(const Variant& v) {
    return v.VType() == varFMTBcdCode;
}

TBcd VarToBcd(const Variant& v) {
    using TAccess = TVariantAccess;
    switch (TAccess::Kind(v)) {
    case TVarKind::Empty:
        return IntegerToBcd(0);
    case TVarKind::Boolean:
        return IntegerToBcd(TAccess::Bool(v) ? -1 : 0);
    case TVarKind::Int:
        if (v.VType() == varUInt64) return Pack(FromUInt64(TAccess::UInt(v), false));
        return IntegerToBcd(TAccess::Int(v));
    case TVarKind::Currency:
        return CurrencyToBcd(TAccess::Curr(v));
    case TVarKind::Float:
    case TVarKind::Date:
    case TVarKind::TimeStamp:
        return DoubleToBcd(TAccess::ToDouble(v, varFMTBcdCode));
    case TVarKind::Bcd:
        return TAccess::Bcd(v);
    case TVarKind::String: {
        TBcd value;
        if (!TryStrToBcd(TAccess::Str(v), value)) TAccess::RaiseCastError(v.VType(), varFMTBcdCode);
        return value;
    }
    default:
        TAccess::RaiseCastError(v.VType(), varFMTBcdCode);
    }
}

} // namespace mv
