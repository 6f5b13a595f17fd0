// Not public API: the payload blocks behind string, array and custom-type variants, and
// the conversion core shared by Variants.cpp, VariantOps.cpp, Bcd.cpp and
// SqlTimeStamp.cpp.
#pragma once

#include "platform/rtl/Bcd.h"
#include "platform/rtl/SqlTimeStamp.h"
#include "platform/rtl/Variants.h"

#include <vector>

namespace mv {

// The groups the comparison and arithmetic rules are written in.
enum class TVarKind {
    Empty,
    Null,
    Boolean,
    Int,
    Float,
    Currency,
    Date,
    String,
    Bcd,
    TimeStamp,
    Array,
    Other
};

struct TVariantAccess {
    using TBlock = Variant::TBlock;
    struct TStringBlock : TBlock {
        explicit TStringBlock(String value) : Value(std::move(value)) {}
        String Value;
    };
    struct TArrayBlock : TBlock {
        Integer LowBound = 0;
        std::vector<Variant> Items;
    };
    struct TBcdBlock : TBlock {
        explicit TBcdBlock(const TBcd& value) : Value(value) {}
        TBcd Value;
    };
    struct TTimeStampBlock : TBlock {
        explicit TTimeStampBlock(const TSQLTimeStamp& value) : Value(value) {}
        TSQLTimeStamp Value;
    };

    static TVarKind Kind(TVarType type);
    static TVarKind Kind(const Variant& v) { return Kind(v.FType); }

    // Raw payload; the caller has checked the type.
    static Int64 Int(const Variant& v) { return v.FInt; }
    static UInt64 UInt(const Variant& v) { return v.FUInt; }
    static double Dbl(const Variant& v) { return v.FDouble; }
    static float Single(const Variant& v) { return v.FSingle; }
    static bool Bool(const Variant& v) { return v.FInt != 0; }
    static Currency Curr(const Variant& v) { return Currency::FromScaled(v.FInt); }
    static const String& Str(const Variant& v) { return static_cast<const TStringBlock*>(v.FBlock)->Value; }
    static const TArrayBlock& Array(const Variant& v) { return *static_cast<const TArrayBlock*>(v.FBlock); }
    // Unshares the array block first, so writes never reach another variant's copy.
    static TArrayBlock& MutableArray(Variant& v);
    static const TBcd& Bcd(const Variant& v) { return static_cast<const TBcdBlock*>(v.FBlock)->Value; }
    static const TSQLTimeStamp& TimeStamp(const Variant& v) {
        return static_cast<const TTimeStampBlock*>(v.FBlock)->Value;
    }
    // Any integer type as a 128-bit value (UInt64 included).
    static __int128 Wide(const Variant& v) {
        return v.FType == varUInt64 ? __int128(v.FUInt) : __int128(v.FInt);
    }

    static Variant MakeInt(TVarType type, Int64 value);
    static Variant MakeUInt64(UInt64 value);
    static Variant MakeDouble(TVarType type, double value); // varDouble or varDate
    static Variant MakeString(TVarType type, String value);
    static Variant MakeBlock(TVarType type, TBlock* block);

    // The conversion core behind the As... members and VarAsType; target names the
    // type in the error message. Null and arrays raise EVariantTypeCastError.
    static Int64 ToInt64(const Variant& v, TVarType target);
    static UInt64 ToUInt64(const Variant& v);
    static double ToDouble(const Variant& v, TVarType target);
    static Currency ToCurrency(const Variant& v);
    static bool ToBoolean(const Variant& v);
    static String ToString(const Variant& v, TVarType target);
    static TDateTime ToDate(const Variant& v, TVarType target);

    [[noreturn]] static void RaiseCastError(TVarType from, TVarType to);
    [[noreturn]] static void RaiseOverflow();
    [[noreturn]] static void RaiseInvalidOp();
    [[noreturn]] static void RaiseNotArray();
    [[noreturn]] static void RaiseBadIndex();
};

} // namespace mv
