// Set<E>: integer round trips and the set algebra option setters rely on.
#include "platform/rtl/Set.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

enum TDemoOption { doA, doB, doC, doD, doE };
using TDemoOptions = Set<TDemoOption>;

enum TWideOption : int { woFirst = 0, woLast = 100 };

TEST(Set, IntegerRoundTripKeepsEveryBit) {
    // A 32-member option set's default as the framework writes it.
    constexpr std::uint64_t kDefault = 169864445; // 0x0A1FECFD
    enum T32 : int { t0 = 0, t31 = 31 };
    auto s = Set<T32>::FromInt(kDefault);
    EXPECT_EQ(s.ToInt(), kDefault);
    EXPECT_EQ(s.Count(), __builtin_popcountll(kDefault));
    EXPECT_TRUE(s.Contains(t0));
    EXPECT_FALSE(s.Contains(static_cast<T32>(1)));
    EXPECT_TRUE(s.Contains(static_cast<T32>(27)));
    EXPECT_FALSE(s.Contains(t31));
    EXPECT_EQ((TDemoOptions{doA, doC}.ToInt()), 5u);
}

TEST(Set, AlgebraAndMembership) {
    TDemoOptions a{doA, doB, doC};
    TDemoOptions b{doB, doD};
    EXPECT_EQ(a + b, (TDemoOptions{doA, doB, doC, doD}));
    EXPECT_EQ(a - b, (TDemoOptions{doA, doC}));
    EXPECT_EQ(a * b, TDemoOptions{doB});
    EXPECT_TRUE((TDemoOptions{doA}).IsSubsetOf(a));
    EXPECT_FALSE(b.IsSubsetOf(a));
    EXPECT_TRUE(TDemoOptions{}.Empty());
    a.Exclude(doA).Include(doE);
    EXPECT_EQ(a, (TDemoOptions{doB, doC, doE}));
    a -= doB;
    a += TDemoOptions{doA};
    EXPECT_EQ(a, (TDemoOptions{doA, doC, doE}));
    std::vector<TDemoOption> seen;
    a.ForEach([&](TDemoOption o) { seen.push_back(o); });
    EXPECT_EQ(seen, (std::vector<TDemoOption>{doA, doC, doE}));
}

TEST(Set, WideSetsReachBitsPastSixtyFour) {
    Set<TWideOption, 128> s{woFirst, woLast};
    EXPECT_TRUE(s.Contains(woLast));
    EXPECT_EQ(s.Count(), 2);
    EXPECT_EQ(s.ToInt(), 1u); // only the low word is an integer
    s.Exclude(woLast);
    EXPECT_FALSE(s.Contains(woLast));
}

} // namespace
} // namespace mv
