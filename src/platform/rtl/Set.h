// Set<E>: the framework's "set of enumeration" as a bit set over the enumerators' values.
// Bit n stands for the enumerator with value n, so a set converts to and from the integer
// the framework streams (an option set's stated default must round-trip exactly).
#pragma once

#include <cassert>
#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace mv {

template <typename E, unsigned Bits = 64> class Set {
    static_assert(std::is_enum_v<E>, "Set<E> needs an enumeration");
    static_assert(Bits > 0 && Bits % 64 == 0, "Set<E> stores whole 64-bit words");
    static constexpr unsigned kWords = Bits / 64;

public:
    using Element = E;

    constexpr Set() = default;
    constexpr Set(std::initializer_list<E> elements) {
        for (E e : elements)
            Include(e);
    }
    // Bits above the low 64 can only be reached through Include.
    static constexpr Set FromInt(std::uint64_t bits) {
        Set s;
        s.FWords[0] = bits;
        return s;
    }
    // The low 64 bits: what the framework writes for a set of up to 64 members.
    constexpr std::uint64_t ToInt() const { return FWords[0]; }

    constexpr bool Contains(E e) const {
        unsigned b = Bit(e);
        return (FWords[b / 64] >> (b % 64)) & 1u;
    }
    constexpr Set& Include(E e) {
        unsigned b = Bit(e);
        FWords[b / 64] |= std::uint64_t{1} << (b % 64);
        return *this;
    }
    constexpr Set& Exclude(E e) {
        unsigned b = Bit(e);
        FWords[b / 64] &= ~(std::uint64_t{1} << (b % 64));
        return *this;
    }
    constexpr bool Empty() const {
        for (auto w : FWords)
            if (w) return false;
        return true;
    }
    constexpr int Count() const {
        int n = 0;
        for (auto w : FWords)
            n += __builtin_popcountll(w);
        return n;
    }
    // True when every member of this set is also in other (the framework's "<=").
    constexpr bool IsSubsetOf(const Set& other) const { return (*this - other).Empty(); }

    friend constexpr Set operator+(Set a, const Set& b) {
        for (unsigned i = 0; i < kWords; ++i)
            a.FWords[i] |= b.FWords[i];
        return a;
    }
    friend constexpr Set operator-(Set a, const Set& b) {
        for (unsigned i = 0; i < kWords; ++i)
            a.FWords[i] &= ~b.FWords[i];
        return a;
    }
    friend constexpr Set operator*(Set a, const Set& b) {
        for (unsigned i = 0; i < kWords; ++i)
            a.FWords[i] &= b.FWords[i];
        return a;
    }
    friend constexpr Set operator+(Set a, E e) { return a.Include(e); }
    friend constexpr Set operator-(Set a, E e) { return a.Exclude(e); }
    constexpr Set& operator+=(const Set& b) { return *this = *this + b; }
    constexpr Set& operator-=(const Set& b) { return *this = *this - b; }
    constexpr Set& operator*=(const Set& b) { return *this = *this * b; }
    constexpr Set& operator+=(E e) { return Include(e); }
    constexpr Set& operator-=(E e) { return Exclude(e); }
    friend constexpr bool operator==(const Set&, const Set&) = default;

    // Calls f for each member in ascending order.
    template <typename F> constexpr void ForEach(F&& f) const {
        for (unsigned i = 0; i < Bits; ++i)
            if ((FWords[i / 64] >> (i % 64)) & 1u) f(static_cast<E>(i));
    }

private:
    static constexpr unsigned Bit(E e) {
        auto v = static_cast<std::underlying_type_t<E>>(e);
        assert(v >= 0 && static_cast<unsigned>(v) < Bits && "enumerator outside the set's range");
        return static_cast<unsigned>(v);
    }

    std::uint64_t FWords[kWords] = {};
};

} // namespace mv
