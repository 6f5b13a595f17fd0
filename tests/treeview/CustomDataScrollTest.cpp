// A data link with a window of 10 rows scrolling over a million computed records: the
// owner is asked only for the records the window shows. (Speed: bench/CustomDataBench.cpp.)
#include "treeview/MvDBCustData.h"

#include "treeview/CustomDataTestKit.h"

#include <gtest/gtest.h>

#include <set>

namespace mv::test {
namespace {

// Values computed from the record index: ID = index, Code = "C<index>".
class TComputedData : public TMvDBCustomData {
public:
    explicit TComputedData(Integer count) : TMvDBCustomData(nullptr), FCount(count) {
        FieldDefs()->Add(u"ID", ftInteger);
        FieldDefs()->Add(u"Code", ftString, 12);
    }
    ~TComputedData() override { Close(); }

    std::multiset<Integer> Asked;

protected:
    void DoOnCountRecords(Integer& count) override { count = FCount; }
    void DoOnGetFieldData(Integer index, TField* field, Variant& value) override {
        Asked.insert(index);
        value = field->FieldNo() == 1 ? Variant(index) : Variant(u"C" + IntToStr(index));
    }

private:
    Integer FCount;
};

// Each shown record is asked for exactly once per field, and nothing else is asked.
void ExpectAskedExactly(const TComputedData& dataSet, const std::vector<Integer>& shown) {
    std::multiset<Integer> expected;
    for (Integer index : shown) {
        expected.insert(index);
        expected.insert(index);
    }
    EXPECT_EQ(dataSet.Asked, expected);
}

std::vector<Integer> Range(Integer first, Integer last) {
    std::vector<Integer> result;
    for (Integer i = first; i <= last; ++i)
        result.push_back(i);
    return result;
}

TEST(CustomDataScroll, MillionRecordsAskOnlyForTheShownRows) {
    constexpr Integer Count = 1000000;
    TComputedData dataSet(Count);
    TDataSource source(nullptr);
    source.SetDataSet(&dataSet);
    TReadingLink link;
    link.SetBufferCount(10);
    link.SetDataSource(&source);
    dataSet.Open();
    EXPECT_EQ(link.ShownIds, Range(0, 9));
    ExpectAskedExactly(dataSet, Range(0, 9));

    dataSet.Asked.clear();
    dataSet.Last();
    EXPECT_EQ(link.ShownIds, Range(Count - 10, Count - 1));
    EXPECT_TRUE(dataSet.Eof());
    EXPECT_EQ(dataSet.RecNo(), Count);
    ExpectAskedExactly(dataSet, Range(Count - 10, Count - 1));

    // Moving inside the window asks for nothing.
    dataSet.Asked.clear();
    EXPECT_EQ(link.ActiveRecord(), 9);
    dataSet.MoveBy(-9);
    EXPECT_EQ(link.ActiveRecord(), 0);
    EXPECT_TRUE(dataSet.Asked.empty());
    // Paging back from the top row: each page shows ten new records and asks only for those.
    EXPECT_EQ(link.MoveBy(-10), -10);
    EXPECT_EQ(link.ShownIds, Range(Count - 20, Count - 11));
    ExpectAskedExactly(dataSet, Range(Count - 20, Count - 11));
    dataSet.Asked.clear();
    EXPECT_EQ(link.MoveBy(-10), -10);
    ExpectAskedExactly(dataSet, Range(Count - 30, Count - 21));

    // One row past the window's edge asks for one record.
    dataSet.Asked.clear();
    dataSet.MoveBy(5);
    dataSet.MoveBy(-5);
    EXPECT_TRUE(dataSet.Asked.empty());
    dataSet.Prior();
    ExpectAskedExactly(dataSet, {Count - 31});

    dataSet.Asked.clear();
    dataSet.First();
    EXPECT_EQ(link.ShownIds, Range(0, 9));
    ExpectAskedExactly(dataSet, Range(0, 9));
    dataSet.Asked.clear();
    EXPECT_EQ(link.MoveBy(19), 19);
    ExpectAskedExactly(dataSet, Range(10, 19));

    // Jumping to a record number centres it and asks for the ten around it.
    dataSet.Asked.clear();
    dataSet.SetRecNo(500001);
    EXPECT_EQ(dataSet.FieldByName(u"ID")->AsInteger(), 500000);
    ExpectAskedExactly(dataSet, Range(499996, 500005));
    EXPECT_EQ(dataSet.RecordCount(), Count);
}

} // namespace
} // namespace mv::test
