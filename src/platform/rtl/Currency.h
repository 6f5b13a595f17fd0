// The framework's fixed-point currency: a 64-bit integer scaled by 10,000, so four
// decimal places are exact and sums of money never pick up binary rounding.
#pragma once

#include "platform/rtl/RtlTypes.h"

#include <cmath>
#include <compare>

namespace mv {

struct Currency {
    Int64 Scaled = 0; // value * 10000

    constexpr Currency() = default;
    static constexpr Currency FromScaled(Int64 scaled) {
        Currency c;
        c.Scaled = scaled;
        return c;
    }
    // Rounds half away from zero to the fourth decimal, like the framework's conversion.
    static Currency FromDouble(double value) {
        return FromScaled(static_cast<Int64>(std::llround(value * 10000.0)));
    }
    static constexpr Currency FromInt(Int64 value) { return FromScaled(value * 10000); }
    double ToDouble() const { return static_cast<double>(Scaled) / 10000.0; }

    friend constexpr auto operator<=>(Currency a, Currency b) = default;
    friend constexpr Currency operator+(Currency a, Currency b) { return FromScaled(a.Scaled + b.Scaled); }
    friend constexpr Currency operator-(Currency a, Currency b) { return FromScaled(a.Scaled - b.Scaled); }
    friend constexpr Currency operator-(Currency a) { return FromScaled(-a.Scaled); }
    Currency& operator+=(Currency o) {
        Scaled += o.Scaled;
        return *this;
    }
    Currency& operator-=(Currency o) {
        Scaled -= o.Scaled;
        return *this;
    }
};

} // namespace mv
