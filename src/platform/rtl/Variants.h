// Variant: the framework's dynamically typed value, used for field values, Locate and
// Lookup keys, totals, filter values and editor values. Conversions and helpers live in
// Variants.cpp, comparison and arithmetic in VariantOps.cpp; the binary-coded decimal
// and SQL time-stamp custom types are declared in Bcd.h and SqlTimeStamp.h.
#pragma once

#include "platform/rtl/Currency.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/RtlTypes.h"

#include <atomic>
#include <initializer_list>

namespace mv {

// VarType codes, numbered as the framework numbers them.
using TVarType = Word;
constexpr TVarType varEmpty = 0x0000;
constexpr TVarType varNull = 0x0001;
constexpr TVarType varSmallint = 0x0002;
constexpr TVarType varInteger = 0x0003;
constexpr TVarType varSingle = 0x0004;
constexpr TVarType varDouble = 0x0005;
constexpr TVarType varCurrency = 0x0006;
constexpr TVarType varDate = 0x0007;
constexpr TVarType varOleStr = 0x0008;
constexpr TVarType varDispatch = 0x0009;
constexpr TVarType varError = 0x000A;
constexpr TVarType varBoolean = 0x000B;
constexpr TVarType varVariant = 0x000C;
constexpr TVarType varUnknown = 0x000D;
constexpr TVarType varShortInt = 0x0010;
constexpr TVarType varByte = 0x0011;
constexpr TVarType varWord = 0x0012;
constexpr TVarType varLongWord = 0x0013;
constexpr TVarType varInt64 = 0x0014;
constexpr TVarType varUInt64 = 0x0015;
constexpr TVarType varString = 0x0100;
constexpr TVarType varAny = 0x0101;
constexpr TVarType varUString = 0x0102;
constexpr TVarType varTypeMask = 0x0FFF;
constexpr TVarType varArray = 0x2000;
constexpr TVarType varByRef = 0x4000;

// The codes of the two custom types, in the range the framework hands out to
// registered custom variant types (first the SQL time stamp, then the BCD).
constexpr TVarType varSQLTimeStampCode = 0x010F;
constexpr TVarType varFMTBcdCode = 0x0110;
TVarType VarSQLTimeStamp();
TVarType VarFMTBcd();

enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

// Raised for a bad argument to an array routine ("Variant is not an array").
class EVariantInvalidArgError : public EVariantError {
public:
    using EVariantError::EVariantError;
};

struct TBcd;
struct TSQLTimeStamp;
struct TVariantAccess;

// Tag for the date constructor: TDateTime is a double, so a plain double is varDouble.
struct TVarDateTag {};
inline constexpr TVarDateTag VarDateTag{};

// A value with its VarType. Numbers, booleans, currency and dates live in the variant
// itself (16 bytes, no allocation); strings, arrays and the custom types sit in a
// shared immutable block with a reference count, so copying never copies text.
// Arrays are copied on write: changing an element of a shared array clones it first,
// which keeps value semantics.
//
// Comparison (VariantOps.cpp) follows the framework's loose null rules:
//   - Null == Null is true, Null == x is false (Empty counts as a value here);
//   - Null is less than every non-null value;
//   - Empty acts as 0 against numbers, "" against strings, False against booleans;
//   - numbers of any kind (integers, floats, currency, BCD, dates, SQL time stamps)
//     compare by value; strings compare ordinal and case-sensitive;
//   - a string against a number is converted to that number (EVariantTypeCastError
//     when it is not one); against a boolean it is converted to a boolean;
//   - a boolean against a number compares the number's truth (nonzero is True),
//     and False < True;
//   - arrays: == and != compare bounds and elements; ordering arrays, or comparing an
//     array with a non-null scalar, raises EVariantInvalidOpError.
//
// Arithmetic (+ - * / and unary -):
//   - Null with anything gives Null; Empty acts as Integer 0 ("" when added to a string);
//   - integers stay integers (Integer, promoted to Int64 when the result or an operand
//     needs it; UInt64 only when an operand is UInt64 and the result needs it;
//     EVariantOverflowError beyond that); "/" is real division and gives Double;
//   - anything with Single/Double gives Double (Single op Single gives Single);
//   - Currency with integers or Currency gives Currency, "/" included (4 decimals);
//   - BCD with integers, Currency or BCD gives BCD; BCD with a float gives Double;
//   - Date + or - a number gives Date, Date - Date gives Double; SQL time stamps act as
//     dates and give a time stamp back where a date would result;
//   - String + String concatenates; otherwise strings convert to Double (to BCD
//     against a BCD); booleans act as -1/0;
//   - division by zero raises EZeroDivide, arrays raise EVariantInvalidOpError.
class Variant {
public:
    Variant() noexcept : FType(varEmpty), FInt(0) {}
    Variant(bool value) noexcept : FType(varBoolean), FInt(value ? 1 : 0) {}
    Variant(int value) noexcept : FType(varInteger), FInt(value) {}
    Variant(unsigned value) noexcept : FType(varLongWord), FInt(value) {}
    Variant(long value) noexcept : FType(varInt64), FInt(value) {}
    Variant(long long value) noexcept : FType(varInt64), FInt(value) {}
    Variant(unsigned long value) noexcept : FType(varUInt64), FUInt(value) {}
    Variant(unsigned long long value) noexcept : FType(varUInt64), FUInt(value) {}
    Variant(float value) noexcept : FType(varSingle), FUInt(0) { FSingle = value; }
    Variant(double value) noexcept : FType(varDouble), FDouble(value) {}
    Variant(Currency value) noexcept : FType(varCurrency), FInt(value.Scaled) {}
    Variant(TDateTime value, TVarDateTag) noexcept : FType(varDate), FDouble(value) {}
    Variant(Char value);
    Variant(const Char* value);
    Variant(StringView value);
    Variant(const String& value);
    Variant(String&& value);
    // A narrow string literal would silently become a Boolean.
    Variant(const char*) = delete;
    Variant(std::nullptr_t) = delete;

    Variant(const Variant& other) noexcept : FType(other.FType), FUInt(other.FUInt) {
        if (HasBlock()) FBlock->RefCount.fetch_add(1, std::memory_order_relaxed);
    }
    Variant(Variant&& other) noexcept : FType(other.FType), FUInt(other.FUInt) {
        other.FType = varEmpty;
        other.FUInt = 0;
    }
    Variant& operator=(const Variant& other) noexcept {
        Variant copy(other);
        Swap(copy);
        return *this;
    }
    Variant& operator=(Variant&& other) noexcept {
        Variant moved(std::move(other));
        Swap(moved);
        return *this;
    }
    ~Variant() {
        if (HasBlock()) Release();
    }
    void Swap(Variant& other) noexcept {
        std::swap(FType, other.FType);
        std::swap(FUInt, other.FUInt);
    }

    TVarType VType() const { return FType; }

    // Conversions. Null raises EVariantTypeCastError ("Could not convert variant of
    // type (Null) into type (Integer)"); Empty gives 0, "" or False; text is parsed
    // with the global format settings; a value out of the target's range raises
    // EVariantOverflowError. Floats round to integers half to even, as Round does.
    Integer AsInteger() const;
    Int64 AsInt64() const;
    double AsDouble() const;
    Currency AsCurrency() const;
    bool AsBoolean() const;
    String AsString() const;
    TDateTime AsDateTime() const;

    // Array elements. Raise EVariantInvalidArgError when this is not an array and
    // EVariantBadIndexError when index is outside the bounds. The non-const form
    // unshares the array first; the reference it returns stays valid only until the
    // array is next copied, assigned or resized.
    const Variant& operator[](Integer index) const;
    Variant& operator[](Integer index);

    Variant& operator+=(const Variant& other);
    Variant& operator-=(const Variant& other);
    Variant& operator*=(const Variant& other);
    Variant& operator/=(const Variant& other);

private:
    friend struct TVariantAccess;

    // Shared payload of strings, arrays and the custom types.
    struct TBlock {
        std::atomic<Integer> RefCount{1};
        virtual ~TBlock() = default;
    };

    // varOleStr, varString, varUString, the custom types and arrays carry a block.
    static constexpr bool IsBlockType(TVarType type) { return type == varOleStr || type >= varString; }
    bool HasBlock() const { return IsBlockType(FType); }
    void Release() noexcept;

    TVarType FType;
    union {
        Int64 FInt; // every integer type but UInt64, Currency's Scaled, Boolean as 0/1
        UInt64 FUInt;
        double FDouble; // varDouble and varDate
        float FSingle;
        TBlock* FBlock;
    };
};

Variant Null();
Variant Unassigned();
// A varDate variant.
inline Variant VarFromDateTime(TDateTime value) {
    return Variant(value, VarDateTag);
}

// Comparison and arithmetic; the rules are listed above the class.
bool operator==(const Variant& a, const Variant& b);
bool operator<(const Variant& a, const Variant& b);
bool operator<=(const Variant& a, const Variant& b);
bool operator>(const Variant& a, const Variant& b);
bool operator>=(const Variant& a, const Variant& b);
Variant operator+(const Variant& a, const Variant& b);
Variant operator-(const Variant& a, const Variant& b);
Variant operator*(const Variant& a, const Variant& b);
Variant operator/(const Variant& a, const Variant& b);
Variant operator-(const Variant& a);

// The framework's VarCompareValue: Empty equals only Empty and Null only Null (both
// give vrEqual); Empty or Null against anything else is vrNotEqual; otherwise the
// values are compared by the rules above. Arrays give vrEqual or vrNotEqual.
TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);
// Empty and Null are the same only as themselves; one of them against a value is
// false; otherwise a == b.
bool VarSameValue(const Variant& a, const Variant& b);

// Type queries. "Ordinal" includes Boolean and "float" includes Currency, as in the
// framework; "numeric" is ordinal, float or BCD.
TVarType VarType(const Variant& v);
bool VarIsType(const Variant& v, TVarType type);
bool VarIsType(const Variant& v, std::initializer_list<TVarType> types);
bool VarIsNull(const Variant& v);
bool VarIsEmpty(const Variant& v);
bool VarIsClear(const Variant& v);
bool VarIsOrdinal(const Variant& v);
bool VarIsFloat(const Variant& v);
bool VarIsNumeric(const Variant& v);
bool VarIsStr(const Variant& v);
bool VarIsArray(const Variant& v);
void VarClear(Variant& v);
// "Integer", "UnicodeString", "Array Variant", "FMTBcdVariantType", "$0042" for an
// unknown code: the names the framework's messages use.
String VarTypeAsText(TVarType type);

// Text of a value: Null and Empty give "" (VarToStrDef: Null gives the default),
// booleans "True"/"False", floats FloatToStr, currency CurrToStr, dates DateTimeToStr
// (no time at midnight). Arrays raise EVariantTypeCastError.
String VarToStr(const Variant& v);
String VarToStrDef(const Variant& v, const String& defaultValue);
// Null raises EVariantTypeCastError; strings are parsed as date and time.
TDateTime VarToDateTime(const Variant& v);
// The value converted to type (a simple type code, varNull, varEmpty, or a custom
// type code). Raises EVariantTypeCastError when impossible, EVariantOverflowError when
// out of range.
Variant VarAsType(const Variant& v, TVarType type);

// One-dimensional arrays of variants (VarType varArray | varVariant). The framework's
// multi-dimensional and typed arrays are not provided.
Variant VarArrayOf(std::initializer_list<Variant> values);
// Elements low..high, all Empty. Raises EVariantBadIndexError when high < low - 1.
Variant VarArrayCreate(Integer low, Integer high);
// Dimension count: 1 for an array, 0 for anything else.
Integer VarArrayDimCount(const Variant& v);
// Bounds of dimension dim (only 1 exists). Raise EVariantInvalidArgError for a
// non-array, EVariantBadIndexError for another dim.
Integer VarArrayLowBound(const Variant& v, Integer dim = 1);
Integer VarArrayHighBound(const Variant& v, Integer dim = 1);
// Changes the high bound, keeping the elements that remain and adding Empty ones.
void VarArrayRedim(Variant& v, Integer highBound);

} // namespace mv
