// Arbitrary text through every order-field function: nothing crashes, loops or grows
// its input without bound. Bounded iterations with a fixed seed, so runs repeat.
#include "grids/order/OrderFields.h"

#include "platform/rtl/StringList.h"

#include <gtest/gtest.h>

#include <random>

namespace mv {
namespace {

// Characters that matter to the parsers, plus some others.
constexpr char16_t kAlphabet[] = u" ,;:DESCdescAORDBYorby\t\r\nx1$\u00e4\u00df\u0416'\"";

String RandomText(std::mt19937& rng, std::size_t maxLength) {
    std::uniform_int_distribution<std::size_t> len(0, maxLength);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kAlphabet) - 2);
    String s;
    for (std::size_t i = len(rng); i > 0; --i)
        s += kAlphabet[pick(rng)];
    return s;
}

TEST(OrderFieldsRandom, ArbitraryTextIsHandledWithBoundedOutput) {
    std::mt19937 rng(20261206);
    for (int iteration = 0; iteration < 3000; ++iteration) {
        String a = RandomText(rng, 40), b = RandomText(rng, 12), c = RandomText(rng, 20);
        const std::size_t bound = 8 * (a.size() + b.size() + c.size()) + 64;

        String text = a;
        ScanStr(text, b);
        EXPECT_LE(text.size(), a.size());
        ScanInt(text, 0, b);

        String fields, desc;
        SplitOrderFields(a, fields, desc);
        EXPECT_LE(fields.size(), a.size());
        EXPECT_LE(desc.size(), a.size());
        EXPECT_LE(UnifyOrderFields(a, c, iteration % 2 == 0).size(), bound);
        EXPECT_LE(OrderFieldsToIndexFields(a, b).size(), bound);
        EXPECT_LE(IndexFieldsToOrderFields(a, b).size(), bound);

        TStringList sql;
        sql.SetText(a + u"\n" + c);
        auto before = sql.Count();
        ModifyOrderFields(&sql, b);
        EXPECT_LE(sql.Count(), before + 1);
        EXPECT_LE(sql.GetText().size(), a.size() + b.size() + c.size() + 32);
        ExtractOrderFields(&sql);
    }
}

} // namespace
} // namespace mv
