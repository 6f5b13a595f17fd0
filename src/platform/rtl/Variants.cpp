// Variant storage, type queries and names, conversions (As..., VarToStr, VarAsType)
// and the one-dimensional variant arrays. Comparison and arithmetic: VariantOps.cpp.
//
// [SECTION] Storage          Release, string constructors, TVariantAccess::Make...
// [SECTION] Type queries     VarType, VarIs..., VarTypeAsText
// [SECTION] Conversion core  TVariantAccess::To..., Raise...
// [SECTION] Conversions      Variant::As..., VarToStr, VarToDateTime, VarAsType
// [SECTION] Arrays           VarArrayOf, VarArrayCreate, bounds, element access
#include "platform/rtl/Variants.h"

#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/VariantPrivate.h"

#include <cassert>
#include <cfloat>
#include <cmath>
#include <limits>

namespace mv {

static_assert(sizeof(Variant) == 16, "Variant must stay two words: numbers are stored inline");

//-----------------------------------------------------------------------------
// [SECTION] Storage
//-----------------------------------------------------------------------------

void Variant::Release() noexcept {
    if (FBlock->RefCount.fetch_sub(1, std::memory_order_acq_rel) == 1) delete FBlock;
}

Variant::Variant(Char value) : Variant(String(1, value)) {}
Variant::Variant(const Char* value) : Variant(String(value ? value : u"")) {}
Variant::Variant(StringView value) : Variant(String(value)) {}
Variant::Variant(const String& value) : Variant(String(value)) {}
Variant::Variant(String&& value)
    : FType(varUString), FBlock(new TVariantAccess::TStringBlock(std::move(value))) {}

Variant TVariantAccess::MakeInt(TVarType type, Int64 value) {
    Variant v;
    v.FType = type;
    v.FInt = value;
    return v;
}

Variant TVariantAccess::MakeUInt64(UInt64 value) {
    Variant v;
    v.FType = varUInt64;
    v.FUInt = value;
    return v;
}

Variant TVariantAccess::MakeDouble(TVarType type, double value) {
    assert((type == varDouble || type == varDate) && "MakeDouble: only varDouble and varDate hold a double");
    Variant v;
    v.FType = type;
    v.FDouble = value;
    return v;
}

Variant TVariantAccess::MakeString(TVarType type, String value) {
    Variant v(std::move(value));
    v.FType = type;
    return v;
}

Variant TVariantAccess::MakeBlock(TVarType type, TBlock* block) {
    assert(Variant::IsBlockType(type) && "MakeBlock: the type must be one that carries a block");
    Variant v;
    v.FType = type;
    v.FBlock = block;
    return v;
}

TVariantAccess::TArrayBlock& TVariantAccess::MutableArray(Variant& v) {
    if (!VarIsArray(v)) RaiseNotArray();
    auto* block = static_cast<TArrayBlock*>(v.FBlock);
    if (block->RefCount.load(std::memory_order_acquire) == 1) return *block;
    auto* copy = new TArrayBlock;
    copy->LowBound = block->LowBound;
    copy->Items = block->Items;
    v.Release();
    v.FBlock = copy;
    return *copy;
}

Variant Null() {
    return TVariantAccess::MakeInt(varNull, 0);
}
Variant Unassigned() {
    return Variant();
}

TVarType VarSQLTimeStamp() {
    return varSQLTimeStampCode;
}
TVarType VarFMTBcd() {
    return varFMTBcdCode;
}

//-----------------------------------------------------------------------------
// [SECTION] Type queries
//-----------------------------------------------------------------------------

TVarKind TVariantAccess::Kind(TVarType type) {
    if (type & varArray) return TVarKind::Array;
    switch (type) {
    case varEmpty:
        return TVarKind::Empty;
    case varNull:
        return TVarKind::Null;
    case varBoolean:
        return TVarKind::Boolean;
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varUInt64:
        return TVarKind::Int;
    case varSingle:
    case varDouble:
        return TVarKind::Float;
    case varCurrency:
        return TVarKind::Currency;
    case varDate:
        return TVarKind::Date;
    case varOleStr:
    case varString:
    case varUString:
        return TVarKind::String;
    case varFMTBcdCode:
        return TVarKind::Bcd;
    case varSQLTimeStampCode:
        return TVarKind::TimeStamp;
    default:
        return TVarKind::Other;
    }
}

TVarType VarType(const Variant& v) {
    return v.VType();
}
bool VarIsType(const Variant& v, TVarType type) {
    return v.VType() == type;
}
bool VarIsType(const Variant& v, std::initializer_list<TVarType> types) {
    for (TVarType type : types)
        if (v.VType() == type) return true;
    return false;
}
bool VarIsNull(const Variant& v) {
    return v.VType() == varNull;
}
bool VarIsEmpty(const Variant& v) {
    return v.VType() == varEmpty;
}
bool VarIsClear(const Variant& v) {
    return v.VType() == varEmpty;
}
bool VarIsOrdinal(const Variant& v) {
    TVarKind kind = TVariantAccess::Kind(v);
    return kind == TVarKind::Int || kind == TVarKind::Boolean;
}
bool VarIsFloat(const Variant& v) {
    TVarKind kind = TVariantAccess::Kind(v);
    return kind == TVarKind::Float || kind == TVarKind::Currency;
}
bool VarIsNumeric(const Variant& v) {
    return VarIsOrdinal(v) || VarIsFloat(v) || TVariantAccess::Kind(v) == TVarKind::Bcd;
}
bool VarIsStr(const Variant& v) {
    return TVariantAccess::Kind(v) == TVarKind::String;
}
bool VarIsArray(const Variant& v) {
    return (v.VType() & varArray) != 0;
}
void VarClear(Variant& v) {
    v = Variant();
}

String VarTypeAsText(TVarType type) {
    static const Char* const names[] = {
        u"Empty",    u"Null",     u"Smallint", u"Integer",  u"Single",  u"Double",  u"Currency", u"Date",
        u"OleStr",   u"Dispatch", u"Error",    u"Boolean",  u"Variant", u"Unknown", u"Decimal",  u"$000F",
        u"ShortInt", u"Byte",     u"Word",     u"Cardinal", u"Int64",   u"UInt64"};
    String prefix;
    if (type & varArray) prefix += u"Array ";
    if (type & varByRef) prefix += u"ByRef ";
    TVarType base = type & varTypeMask;
    if (base <= varUInt64) return prefix + names[base];
    switch (base) {
    case varString:
        return prefix + u"String";
    case varAny:
        return prefix + u"Any";
    case varUString:
        return prefix + u"UnicodeString";
    case varSQLTimeStampCode:
        return prefix + u"SQLTimeStampVariantType";
    case varFMTBcdCode:
        return prefix + u"FMTBcdVariantType";
    default:
        return prefix + u"$" + IntToHex(base, 4);
    }
}

//-----------------------------------------------------------------------------
// [SECTION] Conversion core
//-----------------------------------------------------------------------------

void TVariantAccess::RaiseCastError(TVarType from, TVarType to) {
    throw EVariantTypeCastError(
        Format(SysConst::SVarTypeCouldNotConvert, {VarTypeAsText(from), VarTypeAsText(to)}));
}
void TVariantAccess::RaiseOverflow() {
    throw EVariantOverflowError(SysConst::SVarOverflow);
}
void TVariantAccess::RaiseInvalidOp() {
    throw EVariantInvalidOpError(SysConst::SVarInvalidOp);
}
void TVariantAccess::RaiseNotArray() {
    throw EVariantInvalidArgError(SysConst::SVarNotArray);
}
void TVariantAccess::RaiseBadIndex() {
    throw EVariantBadIndexError(SysConst::SVarBadIndex);
}

namespace {

// Round as the framework's Round does: half to even. NaN and values beyond Int64
// overflow.
Int64 RoundToInt64(double value) {
    double rounded = std::nearbyint(value);
    if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0))
        TVariantAccess::RaiseOverflow();
    return static_cast<Int64>(rounded);
}

Int64 RoundCurrencyToInt64(Currency value) {
    Int64 whole = value.Scaled / 10000;
    Int64 rest = value.Scaled % 10000;
    Int64 absRest = rest < 0 ? -rest : rest;
    if (absRest > 5000 || (absRest == 5000 && whole % 2 != 0)) whole += rest < 0 ? -1 : 1;
    return whole;
}

// The largest double below the Currency limit; beyond it llround would overflow.
constexpr double MaxCurrencyDouble = 922337203685477.5807;

Currency DoubleToCurrency(double value) {
    if (!(std::fabs(value) <= MaxCurrencyDouble)) TVariantAccess::RaiseOverflow();
    return Currency::FromDouble(value);
}

Currency Int128ToCurrency(__int128 value) {
    __int128 scaled = value * 10000;
    if (value > std::numeric_limits<Int64>::max() / 10000 ||
        value < std::numeric_limits<Int64>::min() / 10000)
        TVariantAccess::RaiseOverflow();
    return Currency::FromScaled(static_cast<Int64>(scaled));
}

// Plain decimal digits up to UInt64's maximum, which TryStrToInt64 cannot take.
bool TryParseUInt64(StringView text, UInt64& value) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && text[begin] <= u' ')
        ++begin;
    while (end > begin && text[end - 1] <= u' ')
        --end;
    if (begin < end && text[begin] == u'+') ++begin;
    if (begin == end) return false;
    UInt64 result = 0;
    for (size_t i = begin; i < end; ++i) {
        if (text[i] < u'0' || text[i] > u'9') return false;
        if (__builtin_mul_overflow(result, UInt64(10), &result) ||
            __builtin_add_overflow(result, UInt64(text[i] - u'0'), &result))
            return false;
    }
    value = result;
    return true;
}

[[noreturn]] void RaiseIfNullOrArray(const Variant& v, TVarType target) {
    TVariantAccess::RaiseCastError(v.VType(), target);
}

} // namespace

Int64 TVariantAccess::ToInt64(const Variant& v, TVarType target) {
    switch (Kind(v)) {
    case TVarKind::Empty:
        return 0;
    case TVarKind::Boolean:
        return Bool(v) ? -1 : 0;
    case TVarKind::Int:
        if (v.FType == varUInt64 && v.FUInt > UInt64(std::numeric_limits<Int64>::max())) RaiseOverflow();
        return v.FInt;
    case TVarKind::Float:
        return RoundToInt64(v.FType == varSingle ? double(v.FSingle) : v.FDouble);
    case TVarKind::Date:
        return RoundToInt64(v.FDouble);
    case TVarKind::Currency:
        return RoundCurrencyToInt64(Curr(v));
    case TVarKind::String: {
        Int64 value = 0;
        if (TryStrToInt64(Str(v), value)) return value;
        double number = 0;
        if (TryStrToFloat(Str(v), number)) return RoundToInt64(number);
        RaiseCastError(v.FType, target);
    }
    case TVarKind::Bcd:
        try {
            return BcdToInt64(Bcd(v));
        } catch (const EBcdOverflowException&) {
            RaiseOverflow();
        }
    case TVarKind::TimeStamp:
        return RoundToInt64(SQLTimeStampToDateTime(TimeStamp(v)));
    default:
        RaiseIfNullOrArray(v, target);
    }
}

UInt64 TVariantAccess::ToUInt64(const Variant& v) {
    if (v.FType == varUInt64) return v.FUInt;
    if (Kind(v) == TVarKind::String) {
        const String& text = Str(v);
        UInt64 digits = 0;
        if (TryParseUInt64(text, digits)) return digits;
        Int64 value = 0;
        if (TryStrToInt64(text, value)) {
            if (value < 0) RaiseOverflow();
            return UInt64(value);
        }
        double number = 0;
        if (!TryStrToFloat(text, number)) RaiseCastError(v.FType, varUInt64);
        double rounded = std::nearbyint(number);
        if (!(rounded >= 0 && rounded < 18446744073709551616.0)) RaiseOverflow();
        return static_cast<UInt64>(rounded);
    }
    if (Kind(v) == TVarKind::Float || Kind(v) == TVarKind::Date) {
        double number = v.FType == varSingle ? double(v.FSingle) : v.FDouble;
        double rounded = std::nearbyint(number);
        if (!(rounded >= 0 && rounded < 18446744073709551616.0)) RaiseOverflow();
        return static_cast<UInt64>(rounded);
    }
    Int64 value = ToInt64(v, varUInt64);
    if (value < 0) RaiseOverflow();
    return UInt64(value);
}

double TVariantAccess::ToDouble(const Variant& v, TVarType target) {
    switch (Kind(v)) {
    case TVarKind::Empty:
        return 0;
    case TVarKind::Boolean:
        return Bool(v) ? -1 : 0;
    case TVarKind::Int:
        return v.FType == varUInt64 ? double(v.FUInt) : double(v.FInt);
    case TVarKind::Float:
        return v.FType == varSingle ? double(v.FSingle) : v.FDouble;
    case TVarKind::Date:
        return v.FDouble;
    case TVarKind::Currency:
        return Curr(v).ToDouble();
    case TVarKind::String: {
        double number = 0;
        if (!TryStrToFloat(Str(v), number)) RaiseCastError(v.FType, target);
        return number;
    }
    case TVarKind::Bcd:
        return BcdToDouble(Bcd(v));
    case TVarKind::TimeStamp:
        return SQLTimeStampToDateTime(TimeStamp(v));
    default:
        RaiseIfNullOrArray(v, target);
    }
}

Currency TVariantAccess::ToCurrency(const Variant& v) {
    switch (Kind(v)) {
    case TVarKind::Empty:
        return Currency();
    case TVarKind::Boolean:
        return Currency::FromInt(Bool(v) ? -1 : 0);
    case TVarKind::Int:
        return Int128ToCurrency(Wide(v));
    case TVarKind::Currency:
        return Curr(v);
    case TVarKind::String: {
        Currency value;
        if (TryStrToCurr(Str(v), value)) return value;
        double number = 0;
        if (!TryStrToFloat(Str(v), number)) RaiseCastError(v.FType, varCurrency);
        return DoubleToCurrency(number);
    }
    case TVarKind::Bcd: {
        Currency value;
        if (!BcdToCurr(Bcd(v), value)) RaiseOverflow();
        return value;
    }
    case TVarKind::Float:
    case TVarKind::Date:
    case TVarKind::TimeStamp:
        return DoubleToCurrency(ToDouble(v, varCurrency));
    default:
        RaiseIfNullOrArray(v, varCurrency);
    }
}

bool TVariantAccess::ToBoolean(const Variant& v) {
    switch (Kind(v)) {
    case TVarKind::Empty:
        return false;
    case TVarKind::Boolean:
        return Bool(v);
    case TVarKind::Int:
        return v.FInt != 0;
    case TVarKind::Currency:
        return v.FInt != 0;
    case TVarKind::Float:
    case TVarKind::Date:
    case TVarKind::TimeStamp:
        return ToDouble(v, varBoolean) != 0;
    case TVarKind::Bcd:
        return !IsBcdZero(Bcd(v));
    case TVarKind::String: {
        bool value = false;
        if (!TryStrToBool(Str(v), value)) RaiseCastError(v.FType, varBoolean);
        return value;
    }
    default:
        RaiseIfNullOrArray(v, varBoolean);
    }
}

String TVariantAccess::ToString(const Variant& v, TVarType target) {
    switch (Kind(v)) {
    case TVarKind::Empty:
        return String();
    case TVarKind::Boolean:
        return Bool(v) ? u"True" : u"False";
    case TVarKind::Int:
        return v.FType == varUInt64 ? UIntToStr(v.FUInt) : IntToStr(v.FInt);
    case TVarKind::Float:
        // A Single shows the 7 digits it holds, not the noise of its double widening.
        if (v.FType == varSingle) return FloatToStrF(v.FSingle, ffGeneral, 7, 0);
        return FloatToStr(v.FDouble);
    case TVarKind::Currency:
        return CurrToStr(Curr(v));
    case TVarKind::Date:
        return DateTimeToStr(v.FDouble);
    case TVarKind::String:
        return Str(v);
    case TVarKind::Bcd:
        return BcdToStr(Bcd(v));
    case TVarKind::TimeStamp:
        return DateTimeToStr(SQLTimeStampToDateTime(TimeStamp(v)));
    default:
        RaiseIfNullOrArray(v, target);
    }
}

TDateTime TVariantAccess::ToDate(const Variant& v, TVarType target) {
    switch (Kind(v)) {
    case TVarKind::String: {
        TDateTime value = 0;
        if (!TryStrToDateTime(Str(v), value)) RaiseCastError(v.FType, target);
        return value;
    }
    case TVarKind::Empty:
    case TVarKind::Boolean:
    case TVarKind::Int:
    case TVarKind::Float:
    case TVarKind::Date:
    case TVarKind::Currency:
    case TVarKind::Bcd:
    case TVarKind::TimeStamp:
        return ToDouble(v, target);
    default:
        RaiseIfNullOrArray(v, target);
    }
}

//-----------------------------------------------------------------------------
// [SECTION] Conversions
//-----------------------------------------------------------------------------

Integer Variant::AsInteger() const {
    Int64 value = TVariantAccess::ToInt64(*this, varInteger);
    if (value < std::numeric_limits<Integer>::min() || value > std::numeric_limits<Integer>::max())
        TVariantAccess::RaiseOverflow();
    return static_cast<Integer>(value);
}
Int64 Variant::AsInt64() const {
    return TVariantAccess::ToInt64(*this, varInt64);
}
double Variant::AsDouble() const {
    return TVariantAccess::ToDouble(*this, varDouble);
}
Currency Variant::AsCurrency() const {
    return TVariantAccess::ToCurrency(*this);
}
bool Variant::AsBoolean() const {
    return TVariantAccess::ToBoolean(*this);
}
String Variant::AsString() const {
    return TVariantAccess::ToString(*this, varUString);
}
TDateTime Variant::AsDateTime() const {
    return TVariantAccess::ToDate(*this, varDate);
}

String VarToStr(const Variant& v) {
    return VarToStrDef(v, String());
}

String VarToStrDef(const Variant& v, const String& defaultValue) {
    if (VarIsNull(v)) return defaultValue;
    return TVariantAccess::ToString(v, varUString);
}

TDateTime VarToDateTime(const Variant& v) {
    return TVariantAccess::ToDate(v, varDate);
}

namespace {

Variant CheckedInt(const Variant& v, TVarType type, Int64 low, Int64 high) {
    Int64 value = TVariantAccess::ToInt64(v, type);
    if (value < low || value > high) TVariantAccess::RaiseOverflow();
    return TVariantAccess::MakeInt(type, value);
}

} // namespace

Variant VarAsType(const Variant& v, TVarType type) {
    if (type == varEmpty) return Variant();
    if (type == varNull) return Null();
    if (v.VType() == type) return v;
    if (VarIsNull(v) || VarIsArray(v)) TVariantAccess::RaiseCastError(v.VType(), type);
    switch (type) {
    case varSmallint:
        return CheckedInt(v, type, -32768, 32767);
    case varInteger:
        return CheckedInt(v, type, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max());
    case varShortInt:
        return CheckedInt(v, type, -128, 127);
    case varByte:
        return CheckedInt(v, type, 0, 255);
    case varWord:
        return CheckedInt(v, type, 0, 65535);
    case varLongWord:
        return CheckedInt(v, type, 0, std::numeric_limits<LongWord>::max());
    case varInt64:
        return TVariantAccess::MakeInt(type, TVariantAccess::ToInt64(v, type));
    case varUInt64:
        return TVariantAccess::MakeUInt64(TVariantAccess::ToUInt64(v));
    case varSingle: {
        double value = TVariantAccess::ToDouble(v, type);
        if (std::isfinite(value) && std::fabs(value) > FLT_MAX) TVariantAccess::RaiseOverflow();
        return Variant(static_cast<float>(value));
    }
    case varDouble:
        return Variant(TVariantAccess::ToDouble(v, type));
    case varDate:
        return VarFromDateTime(TVariantAccess::ToDate(v, type));
    case varCurrency:
        return Variant(TVariantAccess::ToCurrency(v));
    case varBoolean:
        return Variant(TVariantAccess::ToBoolean(v));
    case varOleStr:
    case varString:
    case varUString:
        return TVariantAccess::MakeString(type, TVariantAccess::ToString(v, type));
    case varFMTBcdCode:
        return VarFMTBcdCreate(VarToBcd(v));
    case varSQLTimeStampCode:
        return VarSQLTimeStampCreate(VarToSQLTimeStamp(v));
    default:
        TVariantAccess::RaiseCastError(v.VType(), type);
    }
}

//-----------------------------------------------------------------------------
// [SECTION] Arrays
//-----------------------------------------------------------------------------

constexpr TVarType varVariantArray = varArray | varVariant;

Variant VarArrayOf(std::initializer_list<Variant> values) {
    auto* block = new TVariantAccess::TArrayBlock;
    block->Items.assign(values.begin(), values.end());
    return TVariantAccess::MakeBlock(varVariantArray, block);
}

Variant VarArrayCreate(Integer low, Integer high) {
    if (Int64(high) < Int64(low) - 1) TVariantAccess::RaiseBadIndex();
    auto* block = new TVariantAccess::TArrayBlock;
    block->LowBound = low;
    block->Items.resize(static_cast<size_t>(Int64(high) - low + 1));
    return TVariantAccess::MakeBlock(varVariantArray, block);
}

Integer VarArrayDimCount(const Variant& v) {
    return VarIsArray(v) ? 1 : 0;
}

Integer VarArrayLowBound(const Variant& v, Integer dim) {
    if (!VarIsArray(v)) TVariantAccess::RaiseNotArray();
    if (dim != 1) TVariantAccess::RaiseBadIndex();
    return TVariantAccess::Array(v).LowBound;
}

Integer VarArrayHighBound(const Variant& v, Integer dim) {
    if (!VarIsArray(v)) TVariantAccess::RaiseNotArray();
    if (dim != 1) TVariantAccess::RaiseBadIndex();
    const auto& block = TVariantAccess::Array(v);
    return static_cast<Integer>(block.LowBound + Int64(block.Items.size()) - 1);
}

void VarArrayRedim(Variant& v, Integer highBound) {
    auto& block = TVariantAccess::MutableArray(v);
    if (Int64(highBound) < Int64(block.LowBound) - 1) TVariantAccess::RaiseBadIndex();
    block.Items.resize(static_cast<size_t>(Int64(highBound) - block.LowBound + 1));
}

const Variant& Variant::operator[](Integer index) const {
    if (!VarIsArray(*this)) TVariantAccess::RaiseNotArray();
    const auto& block = TVariantAccess::Array(*this);
    Int64 offset = Int64(index) - block.LowBound;
    if (offset < 0 || offset >= Int64(block.Items.size())) TVariantAccess::RaiseBadIndex();
    return block.Items[static_cast<size_t>(offset)];
}

Variant& Variant::operator[](Integer index) {
    auto& block = TVariantAccess::MutableArray(*this);
    Int64 offset = Int64(index) - block.LowBound;
    if (offset < 0 || offset >= Int64(block.Items.size())) TVariantAccess::RaiseBadIndex();
    return block.Items[static_cast<size_t>(offset)];
}

} // namespace mv
