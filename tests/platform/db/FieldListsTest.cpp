// Walking ";" field lists.
#include "platform/db/FieldLists.h"

#include <gtest/gtest.h>

#include <vector>

namespace mv {
namespace {

std::vector<String> Walk(StringView list) {
    std::vector<String> items;
    Integer pos = 1;
    while (pos <= static_cast<Integer>(list.size()))
        items.push_back(ExtractFieldName(list, pos));
    return items;
}

TEST(FieldLists, ExtractFieldNameStepsThroughItems) {
    EXPECT_EQ(Walk(u"Name; City ;Zip"), (std::vector<String>{u"Name", u"City", u"Zip"}));
    EXPECT_EQ(Walk(u"A;"), std::vector<String>{u"A"}); // no empty last item
    EXPECT_EQ(Walk(u"A;;B"), (std::vector<String>{u"A", u"", u"B"}));
    EXPECT_EQ(Walk(u";A"), (std::vector<String>{u"", u"A"}));
    EXPECT_TRUE(Walk(u"").empty());
    Integer pos = 3;
    EXPECT_EQ(ExtractFieldName(u"A;B;C", pos), u"B");
    EXPECT_EQ(pos, 5);
    pos = 10; // past the end: empty item, position unchanged
    EXPECT_EQ(ExtractFieldName(u"A;B", pos), u"");
    EXPECT_EQ(pos, 10);
}

} // namespace
} // namespace mv
