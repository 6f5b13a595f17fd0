// Order-field strings: scanning, splitting, mark conversion and ORDER BY rewriting.
#include "grids/order/OrderFields.h"

#include "platform/rtl/StringList.h"
#include "support/DbTestKit.h"

#include <gtest/gtest.h>

#include <vector>

namespace mv {
namespace {

std::vector<String> Lines(const TStrings& list) {
    std::vector<String> out;
    for (Integer i = 0; i < list.Count(); ++i)
        out.push_back(list.Get(i));
    return out;
}

void SetLines(TStrings& list, std::initializer_list<const char16_t*> lines) {
    list.Clear();
    for (auto l : lines)
        list.Add(l);
}

TEST(OrderFieldsScan, TokensDelimitersAndIntegers) {
    String text = u"10,20,30";
    EXPECT_EQ(ScanStr(text), u"10");
    EXPECT_EQ(text, u"20,30");
    text = u"abc";
    EXPECT_EQ(ScanStr(text), u"abc");
    EXPECT_EQ(text, u"");
    EXPECT_EQ(ScanStr(text), u"");
    EXPECT_EQ(text, u"");
    text = u",x";
    EXPECT_EQ(ScanStr(text), u"");
    EXPECT_EQ(text, u"x");
    text = u"a::b::c";
    EXPECT_EQ(ScanStr(text, u"::"), u"a");
    EXPECT_EQ(text, u"b::c");
    text = u" a ;b";
    EXPECT_EQ(ScanStr(text, u";"), u" a "); // nothing trimmed

    String saved = DefaultDelimiter;
    DefaultDelimiter = u"|";
    text = u"a|b,c";
    EXPECT_EQ(ScanStr(text), u"a");
    EXPECT_EQ(text, u"b,c");
    DefaultDelimiter = saved;

    text = u"7,x";
    EXPECT_EQ(ScanInt(text, -1), 7);
    EXPECT_EQ(text, u"x");
    EXPECT_EQ(ScanInt(text, -1), -1);
    EXPECT_EQ(text, u"");
    EXPECT_EQ(ScanInt(text, 42), 42); // empty token
    text = u"$1F,0";
    EXPECT_EQ(ScanInt(text, 0), 31);
}

TEST(OrderFieldsSplit, SplitAndUnifyAreInverse) {
    String fields, desc;
    SplitOrderFields(u"Name, City DESC,Zip", fields, desc);
    EXPECT_EQ(fields, u"Name;City;Zip");
    EXPECT_EQ(desc, u"City");
    EXPECT_EQ(UnifyOrderFields(fields, desc, false), u"Name,City DESC,Zip");

    SplitOrderFields(u"Name desc", fields, desc); // lower-case mark is part of the name
    EXPECT_EQ(fields, u"Name desc");
    EXPECT_EQ(desc, u"");
    SplitOrderFields(u"A DESCRIPTION;B", fields, desc); // the mark is found anywhere
    EXPECT_EQ(fields, u"A;B");
    EXPECT_EQ(desc, u"A");
    SplitOrderFields(u",A,,B,", fields, desc); // empty first item lost, later one kept
    EXPECT_EQ(fields, u"A;;B");
    SplitOrderFields(u"", fields, desc);
    EXPECT_EQ(fields, u"");
    EXPECT_EQ(desc, u"");

    EXPECT_EQ(UnifyOrderFields(u"Name;City", u"", true), u"Name DESC,City DESC");
    EXPECT_EQ(UnifyOrderFields(u"Name;City", u"", false), u"Name,City");
    // A given descending list wins over the all-descending flag.
    EXPECT_EQ(UnifyOrderFields(u"Name;City", u"City", true), u"Name,City DESC");
    // Whole names only, exact case.
    EXPECT_EQ(UnifyOrderFields(u"Cit;City;city", u"City", false), u"Cit,City DESC,city");
}

TEST(OrderFieldsMarks, OrderToIndexAndBack) {
    EXPECT_EQ(OrderFieldsToIndexFields(u"Name,City DESC", u""), u"Name;City DESC");
    EXPECT_EQ(OrderFieldsToIndexFields(u"Name,City DESC", u":A;:D;:N"), u"Name;City:D");
    EXPECT_EQ(OrderFieldsToIndexFields(u"A DESCRIPTION", u":A;:D;:N"), u"A:D");
    EXPECT_EQ(OrderFieldsToIndexFields(u" Name , Zip ;", u":A;:D;:N"), u"Name;Zip");

    EXPECT_EQ(IndexFieldsToOrderFields(u"Name;City:D;Zip:N", u":A;:D;:N"), u"Name,City DESC,Zip");
    EXPECT_EQ(IndexFieldsToOrderFields(u"name:a", u":A;:D;:N"), u"name");
    EXPECT_EQ(IndexFieldsToOrderFields(u"Code:DN", u":A;:D;:N"), u"Code DESC");
    EXPECT_EQ(IndexFieldsToOrderFields(u"Name;City DESC", u""), u"Name,City DESC");
    EXPECT_EQ(IndexFieldsToOrderFields(u"", u":A;:D;:N"), u"");
    // With only an ascending mark the empty marks never match.
    EXPECT_EQ(IndexFieldsToOrderFields(u"Name:A;City:D", u":A"), u"Name,City:D");
    // Round trip through a dialect.
    String order = u"Name,City DESC,Zip";
    EXPECT_EQ(IndexFieldsToOrderFields(OrderFieldsToIndexFields(order, u":A;:D;:N"), u":A;:D;:N"), order);
}

TEST(OrderFieldsSql, ExtractFindsTheLastClause) {
    TStringList sql;
    EXPECT_EQ(ExtractOrderFields(nullptr), u"");
    SetLines(sql, {u"SELECT *", u"FROM T", u"order by Name, City DESC;"});
    EXPECT_EQ(ExtractOrderFields(&sql), u"Name, City DESC");
    SetLines(sql, {u"SELECT * FROM T ORDER BY A", u"UNION SELECT * FROM U ORDER BY B ;  ", u""});
    EXPECT_EQ(ExtractOrderFields(&sql), u"B");
    SetLines(sql, {u"SELECT * FROM T ORDER  BY A"}); // two blanks
    EXPECT_EQ(ExtractOrderFields(&sql), u"");
    SetLines(sql, {u"SELECT * FROM T ORDER BY"}); // keyword at the end of the line
    EXPECT_EQ(ExtractOrderFields(&sql), u"");
}

TEST(OrderFieldsSql, ModifyRewritesRemovesOrAppends) {
    TStringList sql;
    SetLines(sql, {u"SELECT *", u"FROM T", u"order by Name;"});
    ModifyOrderFields(&sql, u"Zip");
    EXPECT_EQ(Lines(sql), (std::vector<String>{u"SELECT *", u"FROM T", u"order by Zip;"}));

    SetLines(sql, {u"SELECT * FROM T;", u""});
    ModifyOrderFields(&sql, u"Name DESC");
    EXPECT_EQ(Lines(sql), (std::vector<String>{u"SELECT * FROM T", u"ORDER BY Name DESC;"}));

    SetLines(sql, {u"SELECT * FROM T ORDER BY A"});
    ModifyOrderFields(&sql, u"");
    EXPECT_EQ(Lines(sql), std::vector<String>{u"SELECT * FROM T "});

    SetLines(sql, {u"SELECT * FROM T ORDER BY A ;  "});
    ModifyOrderFields(&sql, u"  desc "); // a lone DESC is no order
    EXPECT_EQ(Lines(sql), std::vector<String>{u"SELECT * FROM T ;"});

    SetLines(sql, {u"SELECT * FROM T", u"  ", u""});
    ModifyOrderFields(&sql, u"B");
    EXPECT_EQ(Lines(sql), (std::vector<String>{u"SELECT * FROM T", u"ORDER BY B"}));

    SetLines(sql, {u"SELECT * FROM T"});
    ModifyOrderFields(&sql, u""); // nothing to remove
    EXPECT_EQ(Lines(sql), std::vector<String>{u"SELECT * FROM T"});

    sql.Clear();
    ModifyOrderFields(&sql, u"Name");
    EXPECT_EQ(sql.Count(), 0);
    ModifyOrderFields(nullptr, u"Name"); // no list, no effect, no crash

    // Extract after Modify gives back the order.
    SetLines(sql, {u"select a from t"});
    ModifyOrderFields(&sql, u"a DESC,b");
    EXPECT_EQ(ExtractOrderFields(&sql), u"a DESC,b");
}

TEST(OrderFieldsNames, CompareWithoutCase) {
    EXPECT_TRUE(SameFieldName(u"CustomerNo", u"CUSTOMERNO"));
    EXPECT_TRUE(SameFieldText(u"Straße", u"STRAßE"));
    EXPECT_TRUE(SameFieldText(u"Äpfel", u"äpfel"));
    EXPECT_FALSE(SameFieldName(u"Name", u"Name "));
}

} // namespace
} // namespace mv

namespace mv {
namespace {

TEST(OrderFieldsNames, ValidFieldNamesTakesTheDataSetsSpelling) {
    EXPECT_EQ(ValidFieldNames(nullptr, u"name; ;CITY;", false), u"name; ;CITY;");
    auto dataSet = test::MakeNumbered(3);
    dataSet->FieldDefs()->Add(u"City", ftString, 10);
    dataSet->Open();
    EXPECT_EQ(ValidFieldNames(dataSet.get(), u"name; CITY ;Unknown", false), u"Name;City;Unknown");
    EXPECT_EQ(ValidFieldNames(dataSet.get(), u"name; CITY ;Unknown", true), u"Name");
    EXPECT_EQ(ValidFieldNames(dataSet.get(), u";id;;name;", false), u"ID;Name"); // empty items dropped
    EXPECT_EQ(ValidFieldNames(dataSet.get(), u"", false), u"");
}

} // namespace
} // namespace mv
