// Formatting and parsing of numbers: Format with the framework's specifiers,
// FormatFloat patterns, FloatToStr/StrToFloat and currency texts.
#pragma once

#include "platform/rtl/Currency.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/RtlTypes.h"

#include <initializer_list>
#include <span>

namespace mv {

// One argument of Format: what the framework's "array of const" carries.
class TVarRec {
public:
    enum TKind {
        vtInteger,
        vtInt64,
        vtUInt64,
        vtExtended,
        vtCurrency,
        vtString,
        vtChar,
        vtPointer,
        vtBoolean
    };
    TVarRec(int v) : FKind(vtInteger), FInt(v) {}
    TVarRec(long v) : FKind(vtInt64), FInt(v) {}
    TVarRec(long long v) : FKind(vtInt64), FInt(v) {}
    TVarRec(unsigned v) : FKind(vtInt64), FInt(v) {}
    TVarRec(unsigned long v) : FKind(vtUInt64), FUInt(v) {}
    TVarRec(unsigned long long v) : FKind(vtUInt64), FUInt(v) {}
    TVarRec(double v) : FKind(vtExtended), FFloat(v) {}
    TVarRec(Currency v) : FKind(vtCurrency), FInt(v.Scaled) {}
    TVarRec(bool v) : FKind(vtBoolean), FInt(v) {}
    TVarRec(Char v) : FKind(vtChar), FInt(v) {}
    TVarRec(const Char* v) : FKind(vtString), FStr(v ? v : u"") {}
    TVarRec(const String& v) : FKind(vtString), FStr(v) {}
    TVarRec(StringView v) : FKind(vtString), FStr(v) {}
    TVarRec(const void* v) : FKind(vtPointer), FPtr(v) {}

    TKind Kind() const { return FKind; }
    Int64 AsInt64() const { return FInt; }
    UInt64 AsUInt64() const { return FUInt; }
    double AsFloat() const { return FFloat; }
    Currency AsCurrency() const { return Currency::FromScaled(FInt); }
    StringView AsString() const { return FStr; }
    const void* AsPointer() const { return FPtr; }

private:
    TKind FKind;
    union {
        Int64 FInt;
        UInt64 FUInt;
        double FFloat;
        const void* FPtr;
    };
    StringView FStr; // valid for the duration of the Format call only
};

// Specifiers: %d %u %x %e %f %g %n %m %p %s with [index:] [-] [width] [.precision],
// '*' taking width or precision from the argument list, "%%" a literal percent.
// Raises EConvertError "Format '%s' invalid or incompatible with argument" on a bad
// specifier or an argument of the wrong kind, and "No argument for format '%s'" when
// the arguments run out.
String Format(StringView format, std::initializer_list<TVarRec> args);
String Format(StringView format, std::span<const TVarRec> args);
String Format(StringView format, std::initializer_list<TVarRec> args, const TFormatSettings& settings);
String Format(StringView format, std::span<const TVarRec> args, const TFormatSettings& settings);

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// FloatToStr: ffGeneral with 15 significant digits ("0.1", "1E20", "-1.5").
String FloatToStr(double value);
String FloatToStr(double value, const TFormatSettings& settings);
String FloatToStrF(double value, TFloatFormat format, Integer precision, Integer digits);
String FloatToStrF(double value, TFloatFormat format, Integer precision, Integer digits,
                   const TFormatSettings& settings);
String CurrToStr(Currency value);
String CurrToStrF(Currency value, TFloatFormat format, Integer digits);
// Patterns "#,##0.00;(#,##0.00);Zero" with 0 # . , E+ E- 'quoted' "quoted" and sections.
String FormatFloat(StringView format, double value);
String FormatFloat(StringView format, double value, const TFormatSettings& settings);
String FormatCurr(StringView format, Currency value);
String FormatCurr(StringView format, Currency value, const TFormatSettings& settings);

// Accepts blanks around, a sign, digits with the settings' decimal separator and an
// optional exponent. Raises EConvertError "'%s' is not a valid floating point value".
double StrToFloat(StringView s);
double StrToFloat(StringView s, const TFormatSettings& settings);
bool TryStrToFloat(StringView s, double& value);
bool TryStrToFloat(StringView s, double& value, const TFormatSettings& settings);
double StrToFloatDef(StringView s, double defaultValue);
Currency StrToCurr(StringView s);
bool TryStrToCurr(StringView s, Currency& value);

} // namespace mv
