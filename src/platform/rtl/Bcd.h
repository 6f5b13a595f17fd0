// TBcd, the framework's binary-coded decimal (FMTBcd): up to 64 significant digits, at
// most 63 of them decimals, with exact decimal arithmetic, the conversions to and from text, floats, integers
// and currency, and the BCD custom variant type.
#pragma once

#include "platform/rtl/Currency.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/RtlTypes.h"
#include "platform/rtl/Variants.h"

#include <array>

namespace mv {

class EBcdException : public Exception {
public:
    using Exception::Exception;
};
// A result or a parsed value needs more than 64 digits left of the decimal point.
class EBcdOverflowException : public EBcdException {
public:
    using EBcdException::EBcdException;
};

constexpr Integer MaxFMTBcdDigits = 64;
constexpr Integer MaxFMTBcdScale = 63; // Places has six bits

// The framework's layout: Precision digits packed two per byte, most significant
// first (high nibble before low nibble); the last Places of them are decimals.
// SignSpecialPlaces holds the sign in bit 7 and Places in bits 0-5 (bit 6, the
// framework's "special" flag, is not used). A value may carry
// a sign with all digits zero (negative zero): it compares equal to zero and prints "0".
// An all-zero record (Precision 0) is zero.
struct TBcd {
    Byte Precision = 0;
    Byte SignSpecialPlaces = 0;
    std::array<Byte, 32> Fraction{};
};

Byte BcdScale(const TBcd& value); // Places: the number of decimals stored
// Digits left of the decimal point, leading zeros not counted (0 for 0.25).
Word BcdPrecision(const TBcd& value);
bool IsBcdNegative(const TBcd& value); // the sign bit; true for negative zero too
bool IsBcdZero(const TBcd& value);

// Text: blanks around, an optional sign, digits with the settings' decimal separator,
// an optional exponent ("1.5E3"). Leading zeros are dropped; decimals beyond 63, or
// beyond what fits in 64 digits, are rounded half away from zero. Raise EConvertError
// "'x' is not a valid BCD value", or EBcdOverflowException when the integer part has
// more than 64 digits.
TBcd StrToBcd(StringView s);
TBcd StrToBcd(StringView s, const TFormatSettings& settings);
bool TryStrToBcd(StringView s, TBcd& value);
bool TryStrToBcd(StringView s, TBcd& value, const TFormatSettings& settings);
// Plain notation ("-1234.5"), trailing decimal zeros dropped, "0" for any zero.
String BcdToStr(const TBcd& value);
String BcdToStr(const TBcd& value, const TFormatSettings& settings);

// DoubleToBcd keeps the 15 significant digits FloatToStr shows (0.1 becomes exactly
// 0.1). Infinity raises EBcdOverflowException, NaN EConvertError.
TBcd DoubleToBcd(double value);
double BcdToDouble(const TBcd& value);
TBcd IntegerToBcd(Int64 value);
// Rounds half away from zero unless truncate; EBcdOverflowException when out of range.
Int64 BcdToInt64(const TBcd& value, bool truncate = false);
Integer BcdToInteger(const TBcd& value, bool truncate = false);
// CurrToBcd stores the value with the given decimals (at most 4 are meaningful) and
// fails when it needs more than precision digits. BcdToCurr rounds to 4 decimals half
// away from zero and fails when the value is outside Currency's range.
bool CurrToBcd(Currency value, TBcd& result, Integer precision = 32, Integer decimals = 4);
bool BcdToCurr(const TBcd& value, Currency& result);
TBcd CurrencyToBcd(Currency value);
// EBcdOverflowException when out of Currency's range.
Currency BcdToCurrency(const TBcd& value);

// Sets result to value with exactly places decimals (rounding half away from zero, or
// padding with zeros). Returns false, leaving result unchanged, when the integer part
// does not fit into precision - places digits, or when precision is outside 1..64 or
// places outside 0..min(precision, 63).
bool NormalizeBcd(const TBcd& value, TBcd& result, Integer precision, Integer places);

// -1, 0 or 1. Scale does not matter: 1.50 equals 1.5, and -0 equals 0.
Integer BcdCompare(const TBcd& a, const TBcd& b);

// Exact sum, difference and product; the result keeps the larger scale (the sum of the
// scales for a product), rounding away decimals only when more than 64 digits or 63
// decimals would be
// needed. The quotient has as many decimals as fit, up to max(32, the operands' scales),
// at most 63,
// trailing zeros dropped down to the larger operand scale. Raise EBcdOverflowException
// when the integer part does not fit and EZeroDivide for a zero divisor.
void BcdAdd(const TBcd& a, const TBcd& b, TBcd& result);
void BcdSubtract(const TBcd& a, const TBcd& b, TBcd& result);
void BcdMultiply(const TBcd& a, const TBcd& b, TBcd& result);
void BcdDivide(const TBcd& dividend, const TBcd& divisor, TBcd& result);

TBcd operator+(const TBcd& a, const TBcd& b);
TBcd operator-(const TBcd& a, const TBcd& b);
TBcd operator*(const TBcd& a, const TBcd& b);
TBcd operator/(const TBcd& a, const TBcd& b);
TBcd operator-(const TBcd& a);
inline bool operator==(const TBcd& a, const TBcd& b) {
    return BcdCompare(a, b) == 0;
}
inline bool operator<(const TBcd& a, const TBcd& b) {
    return BcdCompare(a, b) < 0;
}
inline bool operator>(const TBcd& a, const TBcd& b) {
    return BcdCompare(a, b) > 0;
}
inline bool operator<=(const TBcd& a, const TBcd& b) {
    return BcdCompare(a, b) <= 0;
}
inline bool operator>=(const TBcd& a, const TBcd& b) {
    return BcdCompare(a, b) >= 0;
}

// The BCD custom variant (VarType VarFMTBcd()). The text form is parsed by StrToBcd;
// precision and scale, when given, normalise the value as NormalizeBcd does
// (EBcdOverflowException when it does not fit).
Variant VarFMTBcdCreate(const TBcd& value);
Variant VarFMTBcdCreate(StringView value);
Variant VarFMTBcdCreate(StringView value, Word precision, Word scale);
Variant VarFMTBcdCreate(double value, Word precision = 18, Word scale = 4);
bool VarIsFMTBcd(const Variant& v);
// Any numeric, date or numeric-text variant as a BCD; Null raises
// EVariantTypeCastError, as do text that is no number and arrays.
TBcd VarToBcd(const Variant& v);

} // namespace mv
