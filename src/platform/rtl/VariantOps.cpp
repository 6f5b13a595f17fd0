// Variant comparison (operators, VarCompareValue, VarSameValue) and arithmetic
// (+ - * / and negation). The rules are listed above the Variant class in Variants.h.
//
// [SECTION] Comparison  CompareValues, ArraysEqual, operators, VarCompareValue, VarSameValue
// [SECTION] Arithmetic  Calculate and its per-kind helpers, operators
#include "platform/rtl/Variants.h"

#include "platform/rtl/VariantPrivate.h"

#include <cmath>
#include <limits>

namespace mv {

using TAccess = TVariantAccess;

//-----------------------------------------------------------------------------
// [SECTION] Comparison
//-----------------------------------------------------------------------------

namespace {

template <typename T> Integer Sign(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

bool IsNumberKind(TVarKind kind) {
    return kind == TVarKind::Int || kind == TVarKind::Float || kind == TVarKind::Currency ||
           kind == TVarKind::Date || kind == TVarKind::Bcd || kind == TVarKind::TimeStamp;
}

// What Empty stands for against the other operand: "" against a string, False against
// a boolean, 0 otherwise.
Variant EmptyStandIn(TVarKind other) {
    if (other == TVarKind::String) return Variant(String());
    if (other == TVarKind::Boolean) return Variant(false);
    return Variant(0);
}

// Three-way comparison of two values that are neither Null nor arrays.
Integer CompareValues(const Variant& a, const Variant& b) {
    TVarKind ka = TAccess::Kind(a);
    TVarKind kb = TAccess::Kind(b);
    if (ka == TVarKind::Empty && kb == TVarKind::Empty) return 0;
    if (ka == TVarKind::Empty) return CompareValues(EmptyStandIn(kb), b);
    if (kb == TVarKind::Empty) return CompareValues(a, EmptyStandIn(ka));
    if (ka == TVarKind::Other || kb == TVarKind::Other) TAccess::RaiseInvalidOp();

    if (ka == TVarKind::String && kb == TVarKind::String) {
        Integer result = TAccess::Str(a).compare(TAccess::Str(b));
        return result < 0 ? -1 : (result > 0 ? 1 : 0);
    }
    if (ka == TVarKind::Boolean || kb == TVarKind::Boolean)
        return Sign(TAccess::ToBoolean(a), TAccess::ToBoolean(b));
    if (ka == TVarKind::TimeStamp && kb == TVarKind::TimeStamp)
        return Sign(TAccess::TimeStamp(a), TAccess::TimeStamp(b));
    if (ka == TVarKind::Date || kb == TVarKind::Date || ka == TVarKind::TimeStamp ||
        kb == TVarKind::TimeStamp)
        return Sign(TAccess::ToDate(a, varDate), TAccess::ToDate(b, varDate));
    if (ka == TVarKind::Float || kb == TVarKind::Float)
        return Sign(TAccess::ToDouble(a, varDouble), TAccess::ToDouble(b, varDouble));
    if (ka == TVarKind::Bcd || kb == TVarKind::Bcd) return BcdCompare(VarToBcd(a), VarToBcd(b));
    if (ka == TVarKind::String || kb == TVarKind::String)
        return Sign(TAccess::ToDouble(a, varDouble), TAccess::ToDouble(b, varDouble));
    if (ka == TVarKind::Currency || kb == TVarKind::Currency) {
        __int128 sa = ka == TVarKind::Currency ? __int128(TAccess::Int(a)) : TAccess::Wide(a) * 10000;
        __int128 sb = kb == TVarKind::Currency ? __int128(TAccess::Int(b)) : TAccess::Wide(b) * 10000;
        return Sign(sa, sb);
    }
    return Sign(TAccess::Wide(a), TAccess::Wide(b));
}

// The common cases of totals and sorting, without the kind dispatch: both operands of
// the same type whose payload is a signed integer or a double.
bool CompareSameSimple(const Variant& a, const Variant& b, Integer& result) {
    if (a.VType() != b.VType()) return false;
    switch (a.VType()) {
    case varInteger:
    case varInt64:
    case varCurrency:
    case varSmallint:
        result = Sign(TAccess::Int(a), TAccess::Int(b));
        return true;
    case varDouble:
    case varDate:
        result = Sign(TAccess::Dbl(a), TAccess::Dbl(b));
        return true;
    default:
        return false;
    }
}

Integer Compare(const Variant& a, const Variant& b) {
    Integer result = 0;
    if (CompareSameSimple(a, b, result)) return result;
    if (VarIsArray(a) || VarIsArray(b)) TAccess::RaiseInvalidOp();
    return CompareValues(a, b);
}

bool ArraysEqual(const Variant& a, const Variant& b) {
    const auto& left = TAccess::Array(a);
    const auto& right = TAccess::Array(b);
    if (left.LowBound != right.LowBound || left.Items.size() != right.Items.size()) return false;
    for (size_t i = 0; i < left.Items.size(); ++i)
        if (!(left.Items[i] == right.Items[i])) return false;
    return true;
}

} // namespace

bool operator==(const Variant& a, const Variant& b) {
    Integer result = 0;
    if (CompareSameSimple(a, b, result)) return result == 0;
    if (VarIsNull(a) || VarIsNull(b)) return VarIsNull(a) && VarIsNull(b);
    if (VarIsArray(a) && VarIsArray(b)) return ArraysEqual(a, b);
    return Compare(a, b) == 0;
}

bool operator<(const Variant& a, const Variant& b) {
    if (VarIsNull(a)) return !VarIsNull(b);
    if (VarIsNull(b)) return false;
    return Compare(a, b) < 0;
}

bool operator<=(const Variant& a, const Variant& b) {
    if (VarIsNull(a)) return true;
    if (VarIsNull(b)) return false;
    return Compare(a, b) <= 0;
}

bool operator>(const Variant& a, const Variant& b) {
    return b < a;
}
bool operator>=(const Variant& a, const Variant& b) {
    return b <= a;
}

TVariantRelationship VarCompareValue(const Variant& a, const Variant& b) {
    if (VarIsEmpty(a)) return VarIsEmpty(b) ? vrEqual : vrNotEqual;
    if (VarIsNull(a)) return VarIsNull(b) ? vrEqual : vrNotEqual;
    if (VarIsEmpty(b) || VarIsNull(b)) return vrNotEqual;
    if (VarIsArray(a) && VarIsArray(b)) return ArraysEqual(a, b) ? vrEqual : vrNotEqual;
    Integer result = Compare(a, b);
    return result == 0 ? vrEqual : (result < 0 ? vrLessThan : vrGreaterThan);
}

bool VarSameValue(const Variant& a, const Variant& b) {
    if (VarIsEmpty(a)) return VarIsEmpty(b);
    if (VarIsNull(a)) return VarIsNull(b);
    if (VarIsEmpty(b) || VarIsNull(b)) return false;
    return a == b;
}

//-----------------------------------------------------------------------------
// [SECTION] Arithmetic
//-----------------------------------------------------------------------------

namespace {

enum class TArithOp { Add, Subtract, Multiply, Divide };

[[noreturn]] void RaiseZeroDivide() {
    throw EZeroDivide(SysConst::SDivByZero);
}

constexpr __int128 MinInt64 = std::numeric_limits<Int64>::min();
constexpr __int128 MaxInt64 = std::numeric_limits<Int64>::max();

// Types whose results stay Integer while they fit.
bool IsNarrowInt(TVarType type) {
    return type == varSmallint || type == varInteger || type == varShortInt || type == varByte ||
           type == varWord;
}

Variant IntResult(__int128 value, bool narrow, bool unsignedOperand) {
    if (narrow && value >= std::numeric_limits<Integer>::min() &&
        value <= std::numeric_limits<Integer>::max())
        return Variant(static_cast<int>(value));
    if (value >= MinInt64 && value <= MaxInt64) return TAccess::MakeInt(varInt64, static_cast<Int64>(value));
    if (unsignedOperand && value > 0 && value <= __int128(std::numeric_limits<UInt64>::max()))
        return TAccess::MakeUInt64(static_cast<UInt64>(value));
    TAccess::RaiseOverflow();
}

double ApplyDouble(TArithOp op, double a, double b) {
    switch (op) {
    case TArithOp::Add:
        return a + b;
    case TArithOp::Subtract:
        return a - b;
    case TArithOp::Multiply:
        return a * b;
    case TArithOp::Divide:
        if (b == 0) RaiseZeroDivide();
        return a / b;
    }
    return 0;
}

Variant CalculateInt(TArithOp op, const Variant& a, const Variant& b) {
    __int128 x = TAccess::Wide(a);
    __int128 y = TAccess::Wide(b);
    bool narrow = IsNarrowInt(a.VType()) && IsNarrowInt(b.VType());
    bool unsignedOperand = a.VType() == varUInt64 || b.VType() == varUInt64;
    __int128 result = 0;
    switch (op) {
    case TArithOp::Add:
        result = x + y;
        break;
    case TArithOp::Subtract:
        result = x - y;
        break;
    case TArithOp::Multiply:
        if (__builtin_mul_overflow(x, y, &result)) TAccess::RaiseOverflow();
        break;
    case TArithOp::Divide:
        if (y == 0) RaiseZeroDivide();
        return Variant(double(x) / double(y));
    }
    return IntResult(result, narrow, unsignedOperand);
}

// Rounded half away from zero, as Currency's own conversions round.
__int128 DivideRounded(__int128 dividend, __int128 divisor) {
    __int128 quotient = dividend / divisor;
    __int128 rest = dividend % divisor;
    __int128 twice = (rest < 0 ? -rest : rest) * 2;
    if (twice >= (divisor < 0 ? -divisor : divisor)) quotient += ((dividend < 0) != (divisor < 0)) ? -1 : 1;
    return quotient;
}

// Both operands integers or Currency, at least one Currency.
Variant CalculateCurrency(TArithOp op, const Variant& a, const Variant& b) {
    bool aIsCurr = a.VType() == varCurrency;
    bool bIsCurr = b.VType() == varCurrency;
    __int128 x = aIsCurr ? __int128(TAccess::Int(a)) : TAccess::Wide(a) * 10000;
    __int128 y = bIsCurr ? __int128(TAccess::Int(b)) : TAccess::Wide(b) * 10000;
    __int128 scaled = 0;
    switch (op) {
    case TArithOp::Add:
        scaled = x + y;
        break;
    case TArithOp::Subtract:
        scaled = x - y;
        break;
    case TArithOp::Multiply:
        if (aIsCurr && bIsCurr) {
            // Both scaled by 10000: the product carries the scale twice.
            scaled = DivideRounded(x * y, 10000);
        } else if (__builtin_mul_overflow(aIsCurr ? x : y, aIsCurr ? TAccess::Wide(b) : TAccess::Wide(a),
                                          &scaled)) {
            TAccess::RaiseOverflow();
        }
        break;
    case TArithOp::Divide:
        if (y == 0) RaiseZeroDivide();
        scaled = DivideRounded(x * 10000, y);
        break;
    }
    if (scaled < MinInt64 || scaled > MaxInt64) TAccess::RaiseOverflow();
    return Variant(Currency::FromScaled(static_cast<Int64>(scaled)));
}

Variant CalculateBcd(TArithOp op, const Variant& a, const Variant& b) {
    TBcd x = VarToBcd(a);
    TBcd y = VarToBcd(b);
    TBcd result;
    switch (op) {
    case TArithOp::Add:
        BcdAdd(x, y, result);
        break;
    case TArithOp::Subtract:
        BcdSubtract(x, y, result);
        break;
    case TArithOp::Multiply:
        BcdMultiply(x, y, result);
        break;
    case TArithOp::Divide:
        BcdDivide(x, y, result);
        break;
    }
    return VarFMTBcdCreate(result);
}

Variant CalculateDate(TArithOp op, const Variant& a, const Variant& b) {
    bool aIsDate = a.VType() == varDate;
    bool bIsDate = b.VType() == varDate;
    double value = ApplyDouble(op, TAccess::ToDouble(a, varDouble), TAccess::ToDouble(b, varDouble));
    bool dateResult = op == TArithOp::Add || (op == TArithOp::Subtract && !(aIsDate && bIsDate));
    return dateResult ? VarFromDateTime(value) : Variant(value);
}

// Null and arrays have been dealt with; turns the remaining operands into numbers and
// dispatches on the highest kind present.
Variant CalculateNumbers(TArithOp op, Variant a, Variant b) {
    TVarKind ka = TAccess::Kind(a);
    TVarKind kb = TAccess::Kind(b);
    if (ka == TVarKind::Empty)
        a = (op == TArithOp::Add && kb == TVarKind::String) ? Variant(String()) : Variant(0);
    if (kb == TVarKind::Empty)
        b = (op == TArithOp::Add && ka == TVarKind::String) ? Variant(String()) : Variant(0);
    ka = TAccess::Kind(a);
    kb = TAccess::Kind(b);

    if (ka == TVarKind::String && kb == TVarKind::String && op == TArithOp::Add)
        return Variant(TAccess::Str(a) + TAccess::Str(b));
    // Text becomes a number: a BCD against a BCD, a Double otherwise.
    if (ka == TVarKind::String)
        a = kb == TVarKind::Bcd ? VarFMTBcdCreate(VarToBcd(a)) : Variant(TAccess::ToDouble(a, varDouble));
    if (kb == TVarKind::String)
        b = ka == TVarKind::Bcd ? VarFMTBcdCreate(VarToBcd(b)) : Variant(TAccess::ToDouble(b, varDouble));
    if (ka == TVarKind::Boolean) a = Variant(TAccess::Bool(a) ? -1 : 0);
    if (kb == TVarKind::Boolean) b = Variant(TAccess::Bool(b) ? -1 : 0);
    ka = TAccess::Kind(a);
    kb = TAccess::Kind(b);
    if (!IsNumberKind(ka) || !IsNumberKind(kb)) TAccess::RaiseInvalidOp();

    if (ka == TVarKind::TimeStamp || kb == TVarKind::TimeStamp) {
        // A time stamp calculates as a date and comes back as a time stamp.
        Variant x = ka == TVarKind::TimeStamp ? VarFromDateTime(TAccess::ToDate(a, varDate)) : a;
        Variant y = kb == TVarKind::TimeStamp ? VarFromDateTime(TAccess::ToDate(b, varDate)) : b;
        Variant result = CalculateDate(op, x, y);
        if (result.VType() == varDate) return VarSQLTimeStampCreate(TAccess::Dbl(result));
        return result;
    }
    if (ka == TVarKind::Date || kb == TVarKind::Date) return CalculateDate(op, a, b);
    if (ka == TVarKind::Float || kb == TVarKind::Float) {
        double value = ApplyDouble(op, TAccess::ToDouble(a, varDouble), TAccess::ToDouble(b, varDouble));
        if (a.VType() == varSingle && b.VType() == varSingle) return Variant(static_cast<float>(value));
        return Variant(value);
    }
    if (ka == TVarKind::Bcd || kb == TVarKind::Bcd) return CalculateBcd(op, a, b);
    if (ka == TVarKind::Currency || kb == TVarKind::Currency) return CalculateCurrency(op, a, b);
    return CalculateInt(op, a, b);
}

Variant Calculate(TArithOp op, const Variant& a, const Variant& b) {
    // Totals of plain integers, doubles and currency skip the kind dispatch
    // (bench/VariantBench.cpp, BM_VariantSum).
    if (a.VType() == varInteger && b.VType() == varInteger && op != TArithOp::Divide)
        return CalculateInt(op, a, b);
    if (a.VType() == varDouble && b.VType() == varDouble)
        return Variant(ApplyDouble(op, TAccess::Dbl(a), TAccess::Dbl(b)));
    if (a.VType() == varCurrency && b.VType() == varCurrency) return CalculateCurrency(op, a, b);
    if (VarIsArray(a) || VarIsArray(b)) TAccess::RaiseInvalidOp();
    if (VarIsNull(a) || VarIsNull(b)) return Null();
    return CalculateNumbers(op, a, b);
}

} // namespace

Variant operator+(const Variant& a, const Variant& b) {
    return Calculate(TArithOp::Add, a, b);
}
Variant operator-(const Variant& a, const Variant& b) {
    return Calculate(TArithOp::Subtract, a, b);
}
Variant operator*(const Variant& a, const Variant& b) {
    return Calculate(TArithOp::Multiply, a, b);
}
Variant operator/(const Variant& a, const Variant& b) {
    return Calculate(TArithOp::Divide, a, b);
}

Variant operator-(const Variant& a) {
    switch (TAccess::Kind(a)) {
    case TVarKind::Null:
        return a;
    case TVarKind::Empty:
        return Variant(0);
    case TVarKind::Boolean:
        return Variant(TAccess::Bool(a) ? 1 : 0);
    case TVarKind::Int:
        return IntResult(-TAccess::Wide(a), IsNarrowInt(a.VType()), false);
    case TVarKind::Float:
        if (a.VType() == varSingle) return Variant(-TAccess::Single(a));
        return Variant(-TAccess::Dbl(a));
    case TVarKind::Date:
        return VarFromDateTime(-TAccess::Dbl(a));
    case TVarKind::Currency:
        if (TAccess::Int(a) == std::numeric_limits<Int64>::min()) TAccess::RaiseOverflow();
        return Variant(-TAccess::Curr(a));
    case TVarKind::Bcd:
        return VarFMTBcdCreate(-TAccess::Bcd(a));
    case TVarKind::String:
        return Variant(-TAccess::ToDouble(a, varDouble));
    default:
        TAccess::RaiseInvalidOp();
    }
}

Variant& Variant::operator+=(const Variant& other) {
    return *this = *this + other;
}
Variant& Variant::operator-=(const Variant& other) {
    return *this = *this - other;
}
Variant& Variant::operator*=(const Variant& other) {
    return *this = *this * other;
}
Variant& Variant::operator/=(const Variant& other) {
    return *this = *this / other;
}

} // namespace mv
