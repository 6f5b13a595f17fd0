// Not public API: the decimal digit form shared by Format, FloatToStrF, FormatFloat
// and the currency texts (FloatConvert.cpp), and a stack-first text buffer.
#pragma once

#include "platform/rtl/Format.h"

#include <cstddef>

namespace mv::detail {

// A number as decimal digits: value = 0.D1D2...Dn * 10^Exponent. Digits carry no
// trailing zeros; Count == 0 means zero (Negative may still be set for -0, which the
// writers print without a sign).
struct TDecimal {
    enum TKind : Byte { dkFinite, dkNaN, dkInf };
    static constexpr int kMaxDigits = 20;

    TKind Kind = dkFinite;
    bool Negative = false;
    int Exponent = 0;
    int Count = 0;
    char Digits[kMaxDigits + 1] = {};

    bool IsZero() const { return Kind == dkFinite && Count == 0; }
};

// Doubles keep at most this many significant digits when they are shown with a fixed
// number of decimals, so binary noise (0.1 + 0.2) never reaches the text.
constexpr int kDoubleDisplayDigits = 15;
// Enough digits to tell every double apart.
constexpr int kDoubleMaxDigits = 17;

// The shortest round-trip digits of `value`, rounded half away from zero to
// `significant` digits (clamped to 1..kDoubleMaxDigits).
TDecimal DecimalFromDouble(double value, int significant);
// Exact: a currency value has at most 19 digits.
TDecimal DecimalFromCurrency(Currency value);
// Rounds half away from zero so that at most `decimals` digits follow the point.
void RoundDecimals(TDecimal& d, int decimals);
// Rounds half away from zero to at most `significant` digits.
void RoundSignificant(TDecimal& d, int significant);

// Output collected on the stack; only text longer than the local buffer touches the heap.
// Grid cells format numbers on every paint: bench/FormatBench.cpp measures this path.
class TTextBuffer {
public:
    TTextBuffer() = default;
    TTextBuffer(const TTextBuffer&) = delete;
    TTextBuffer& operator=(const TTextBuffer&) = delete;

    void Add(Char c) {
        if (FHeap.empty() && FLength < kLocal) {
            FLocal[FLength++] = c;
            return;
        }
        Spill();
        FHeap.push_back(c);
    }
    void Add(StringView s) {
        for (Char c : s)
            Add(c);
    }
    void AddAscii(const char* s, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i)
            Add(static_cast<Char>(s[i]));
    }
    void AddRepeated(Char c, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i)
            Add(c);
    }
    StringView View() const { return FHeap.empty() ? StringView(FLocal, FLength) : StringView(FHeap); }
    std::size_t Length() const { return View().size(); }
    String ToString() const { return String(View()); }

private:
    static constexpr std::size_t kLocal = 96;
    void Spill() {
        if (FHeap.empty()) FHeap.assign(FLocal, FLength);
    }
    Char FLocal[kLocal];
    std::size_t FLength = 0;
    String FHeap;
};

// The classic FloatToText: writes `d` in one of the five float formats. `precision` is
// the significant digits the caller asked for (it also decides when ffGeneral, ffFixed
// and ffNumber switch to scientific notation); `digits` is exponent digits for
// ffGeneral/ffExponent and decimals for the others. `d` must already be rounded to
// `precision` significant digits.
void AppendFloatText(TTextBuffer& out, TDecimal d, TFloatFormat format, int precision, int digits,
                     const TFormatSettings& settings);
// The double / currency front ends: pick the digit source, then AppendFloatText.
void AppendFloat(TTextBuffer& out, double value, TFloatFormat format, int precision, int digits,
                 const TFormatSettings& settings);
void AppendCurrency(TTextBuffer& out, Currency value, TFloatFormat format, int precision, int digits,
                    const TFormatSettings& settings);

} // namespace mv::detail
