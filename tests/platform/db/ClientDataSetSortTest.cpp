// Building an index over many records, checked against std::stable_sort of the same
// values: keys spread over many prefixes, crowded into one (more records than the sort's
// scratch takes), all equal, descending, negative numbers and nulls.
#include "platform/db/ClientDataSet.h"

#include "platform/rtl/Utf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace mv {
namespace {

struct TValue {
    Integer Id;
    std::optional<std::string> Name;
    std::optional<double> Amount;
};

// Ids in the data set's order, walking it once.
std::vector<Integer> Walk(TClientDataSet& ds) {
    std::vector<Integer> ids;
    ids.reserve(static_cast<std::size_t>(ds.RecordCount()));
    ds.DisableControls();
    for (ds.First(); !ds.Eof(); ds.Next())
        ids.push_back(ds.FieldByName(u"ID")->AsInteger());
    ds.EnableControls();
    return ids;
}

template <typename Less> std::vector<Integer> Expected(std::vector<TValue> values, Less less) {
    std::stable_sort(values.begin(), values.end(), less);
    std::vector<Integer> ids;
    for (const TValue& v : values)
        ids.push_back(v.Id);
    return ids;
}

// Null first, then by value.
template <typename T> bool NullFirstLess(const std::optional<T>& a, const std::optional<T>& b) {
    if (!a || !b) return !a && b;
    return *a < *b;
}

TEST(ClientDataSetSortTest, LargeIndexesMatchAStableSort) {
    std::mt19937 random(4242);
    std::uniform_int_distribution<int> letter('a', 'z');
    std::uniform_int_distribution<int> choice(0, 99);
    std::vector<TValue> values;
    const Integer count = 30'000;
    for (Integer i = 1; i <= count; ++i) {
        TValue v{i, std::string(), std::nullopt};
        int kind = choice(random);
        if (kind < 2) {
            v.Name.reset();
        } else if (kind < 75) {
            // Three quarters share their first 12 bytes: one crowded prefix.
            v.Name = "crowdedprefix";
            for (int c = 0; c < 3; ++c)
                *v.Name += static_cast<char>(letter(random));
        } else {
            for (int c = 0; c < 6; ++c)
                *v.Name += static_cast<char>(letter(random));
        }
        if (kind % 10 != 0) v.Amount = static_cast<double>(static_cast<int>(random() % 2001) - 1000) / 4;
        values.push_back(v);
    }

    TClientDataSet ds;
    ds.FieldDefs()->Add(u"ID", ftInteger);
    ds.FieldDefs()->Add(u"Name", ftString, 20);
    ds.FieldDefs()->Add(u"Amount", ftFloat);
    ds.CreateDataSet();
    ds.DisableControls();
    for (const TValue& v : values)
        ds.AppendRecord({Variant(v.Id), v.Name ? Variant(UTF8ToString(*v.Name)) : Null(),
                         v.Amount ? Variant(*v.Amount) : Null()});
    ds.EnableControls();

    ds.SetIndexFieldNames(u"Name");
    EXPECT_EQ(Walk(ds), Expected(values, [](const TValue& a, const TValue& b) {
                  return NullFirstLess(a.Name, b.Name);
              }));

    // Descending: nulls last, equal amounts keep their insertion order.
    ds.AddIndex(u"AmountDesc", u"Amount", {ixDescending});
    ds.SetIndexName(u"AmountDesc");
    EXPECT_EQ(Walk(ds), Expected(values, [](const TValue& a, const TValue& b) {
                  return NullFirstLess(b.Amount, a.Amount);
              }));

    // Two keys, the first crowded into a handful of values.
    ds.SetIndexFieldNames(u"Amount;Name");
    EXPECT_EQ(Walk(ds), Expected(values, [](const TValue& a, const TValue& b) {
                  if (NullFirstLess(a.Amount, b.Amount)) return true;
                  if (NullFirstLess(b.Amount, a.Amount)) return false;
                  return NullFirstLess(a.Name, b.Name);
              }));
}

TEST(ClientDataSetSortTest, EqualKeysKeepTheDefaultOrder) {
    TClientDataSet ds;
    ds.FieldDefs()->Add(u"ID", ftInteger);
    ds.FieldDefs()->Add(u"Grp", ftInteger);
    ds.CreateDataSet();
    for (Integer i = 1; i <= 1000; ++i)
        ds.AppendRecord({Variant(i), Variant(7)});
    // An insert in the middle of the default order.
    ds.First();
    ds.MoveBy(10);
    ds.InsertRecord({Variant(0), Variant(7)});
    std::vector<Integer> before = Walk(ds);
    ds.SetIndexFieldNames(u"Grp");
    EXPECT_EQ(Walk(ds), before);
}

} // namespace
} // namespace mv
