// Filter expressions against a small table of rows: every operator, SQL null rules, LIKE,
// IN, precedence, names, options, date literals in two locales, and each error message.
#include "platform/db/FilterExpr.h"

#include "platform/rtl/Bcd.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/Utf8.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace mv {
namespace {

struct TColumn {
    String Name;
    TFilterValueKind Kind;
};

using TRow = std::vector<Variant>;

class TTable : public TFilterFieldResolver {
public:
    TTable(std::vector<TColumn> columns, std::vector<TRow> rows)
        : Columns(std::move(columns)), Rows(std::move(rows)) {}

    Integer FieldIndex(StringView name) const override {
        for (size_t i = 0; i < Columns.size(); ++i)
            if (AnsiSameText(Columns[i].Name, name)) return static_cast<Integer>(i);
        return -1;
    }
    TFilterValueKind FieldValueKind(Integer index) const override { return Columns[index].Kind; }

    std::vector<TColumn> Columns;
    std::vector<TRow> Rows;
};

// Answers FieldValue only, so the default readers are what the engine uses.
class TVariantRecord : public TFilterRecord {
public:
    const TRow* Row = nullptr;
    Variant FieldValue(Integer index) const override { return (*Row)[index]; }
};

// Typed readers that fail the test when the engine picks one that does not match the
// field's kind (GetString is allowed for every kind: LIKE reads any field's text).
class TTypedRecord : public TFilterRecord {
public:
    explicit TTypedRecord(const TTable& table) : FTable(table) {}
    const TRow* Row = nullptr;

    Variant FieldValue(Integer index) const override {
        ADD_FAILURE() << "FieldValue called although typed readers exist";
        return (*Row)[index];
    }
    bool IsNull(Integer index) const override { return VarIsNull((*Row)[index]); }
    bool GetString(Integer index, StringView& value, String& scratch) const override {
        if (IsNull(index)) return false;
        scratch = VarToStr((*Row)[index]);
        value = scratch;
        return true;
    }
    bool GetInteger(Integer index, Int64& value) const override {
        if (!Check(index, {fvInteger})) return false;
        value = (*Row)[index].AsInt64();
        return true;
    }
    bool GetFloat(Integer index, double& value) const override {
        if (!Check(index, {fvFloat, fvDate, fvTime, fvDateTime})) return false;
        value = (*Row)[index].AsDouble();
        return true;
    }
    bool GetCurrency(Integer index, Currency& value) const override {
        if (!Check(index, {fvCurrency})) return false;
        value = (*Row)[index].AsCurrency();
        return true;
    }
    bool GetBcd(Integer index, TBcd& value) const override {
        if (!Check(index, {fvBcd})) return false;
        value = VarToBcd((*Row)[index]);
        return true;
    }
    bool GetBoolean(Integer index, bool& value) const override {
        if (!Check(index, {fvBoolean})) return false;
        value = (*Row)[index].AsBoolean();
        return true;
    }

private:
    const TTable& FTable;

    bool Check(Integer index, std::initializer_list<TFilterValueKind> kinds) const {
        bool matches = false;
        for (TFilterValueKind k : kinds)
            matches = matches || FTable.Columns[index].Kind == k;
        if (!matches) ADD_FAILURE() << "wrong reader for field " << UTF8Encode(FTable.Columns[index].Name);
        return !IsNull(index);
    }
};

Variant DateValue(Word y, Word m, Word d, Word h = 0, Word n = 0, Word s = 0) {
    return VarFromDateTime(EncodeDate(y, m, d) + EncodeTime(h, n, s, 0));
}
Variant TimeValue(Word h, Word n, Word s = 0) {
    return VarFromDateTime(EncodeTime(h, n, s, 0));
}
Variant Money(double v) {
    return Variant(Currency::FromDouble(v));
}

const TTable& People() {
    static const TTable table(
        {{u"Name", fvString},
         {u"City", fvString},
         {u"Amount", fvInteger},
         {u"Price", fvFloat},
         {u"Cost", fvCurrency},
         {u"Total", fvBcd},
         {u"Active", fvBoolean},
         {u"Born", fvDate},
         {u"Start", fvTime},
         {u"Stamp", fvDateTime},
         {u"Order Date", fvDate},
         {u"Notes", fvOther},
         {u"Qty", fvInteger}},
        {
            {u"Anna", u"Berlin", 10, 1.5, Money(12.5), VarFMTBcdCreate(StringView(u"100.25")), true,
             DateValue(2024, 1, 15), TimeValue(8, 30), DateValue(2024, 1, 15, 10, 0), DateValue(2024, 2, 1),
             u"red", 10},
            {u"bob", u"Bonn", 500, 2.25, Money(500), VarFMTBcdCreate(StringView(u"500")), false,
             DateValue(1990, 6, 30), TimeValue(12, 0), DateValue(2024, 1, 15, 18, 30), Null(), u"green", 3},
            {u"Ab_c%d", u"Aachen", -5, -0.5, Money(0.0001), VarFMTBcdCreate(StringView(u"-1.5")), true,
             DateValue(2000, 1, 1), TimeValue(23, 59, 59), DateValue(2023, 12, 31, 23, 59),
             DateValue(2024, 1, 1), Null(), -5},
            {Null(), u"K\u00F6ln", Null(), Null(), Null(), Null(), Null(), Null(), Null(), Null(), Null(),
             Null(), 7},
            {u"ABBA", u"K\u00D6LN", 1000, 1000.0, Money(999.9999), VarFMTBcdCreate(StringView(u"1000")),
             false, DateValue(2024, 1, 16), TimeValue(0, 0), DateValue(2024, 1, 16), DateValue(2024, 1, 16),
             u"blue", 1000},
        });
    return table;
}

// The 1-based numbers of the rows that pass, as "1 3 5"; both record kinds must agree.
std::string Select(const TTable& table, StringView text, TFilterOptions options = {},
                   const TFormatSettings& settings = FormatSettings()) {
    const TFilterExpression expr(text, options, table, settings);
    TVariantRecord variantRecord;
    TTypedRecord typedRecord(table);
    std::string viaVariant, viaTyped;
    for (size_t i = 0; i < table.Rows.size(); ++i) {
        variantRecord.Row = typedRecord.Row = &table.Rows[i];
        const std::string number = (viaVariant.empty() ? "" : " ") + std::to_string(i + 1);
        if (expr.Evaluate(variantRecord)) viaVariant += number;
        if (expr.Evaluate(typedRecord)) viaTyped += (viaTyped.empty() ? "" : " ") + std::to_string(i + 1);
    }
    EXPECT_EQ(viaVariant, viaTyped) << "typed and variant readers disagree on " << UTF8Encode(text);
    return viaVariant;
}

std::string Select(StringView text, TFilterOptions options = {}) {
    return Select(People(), text, options);
}

// The message of the EDatabaseError text raises, or a note that none was raised.
std::string ErrorOf(StringView text, const TFormatSettings& settings = FormatSettings()) {
    try {
        TFilterExpression expr(text, {}, People(), settings);
    } catch (const EDatabaseError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(FilterExpr, ComparesNumbersAcrossKinds) {
    EXPECT_EQ(Select(u"Amount = 500"), "2");
    EXPECT_EQ(Select(u"Amount <> 500"), "1 3 5");
    EXPECT_EQ(Select(u"Amount != 500"), "1 3 5");
    EXPECT_EQ(Select(u"Amount < 10"), "3");
    EXPECT_EQ(Select(u"Amount <= 10"), "1 3");
    EXPECT_EQ(Select(u"Amount > 10"), "2 5");
    EXPECT_EQ(Select(u"Amount >= 500"), "2 5");
    EXPECT_EQ(Select(u"Amount>-5"), "1 2 5");
    EXPECT_EQ(Select(u"Amount >= -5"), "1 2 3 5");
    EXPECT_EQ(Select(u"Amount > 9.5"), "1 2 5");
    EXPECT_EQ(Select(u"Amount = 10.0"), "1");
    EXPECT_EQ(Select(u"Amount < 1E3"), "1 2 3");
    EXPECT_EQ(Select(u"Amount = '500'"), "2");
    EXPECT_EQ(Select(u"500 < Amount"), "5"); // literal on the left mirrors the relation
    EXPECT_EQ(Select(u"10 >= Amount"), "1 3");
    EXPECT_EQ(Select(u"Price > 1.5"), "2 5");
    EXPECT_EQ(Select(u"Price = -0.5"), "3");
    EXPECT_EQ(Select(u"Price > -.75"), "1 2 3 5");
    EXPECT_EQ(Select(u"Price < +2"), "1 3");
    EXPECT_EQ(Select(u"Price >= -1.5e0"), "1 2 3 5");
    EXPECT_EQ(Select(u"Cost = 12.5"), "1");
    EXPECT_EQ(Select(u"Cost > 500"), "5");
    EXPECT_EQ(Select(u"Cost = 0.0001"), "3");
    EXPECT_EQ(Select(u"Cost = 0.00005"), ""); // not rounded to the currency's 4 decimals
    EXPECT_EQ(Select(u"Cost > 0.00005"), "1 2 3 5");
    EXPECT_EQ(Select(u"Total = 100.25"), "1");
    EXPECT_EQ(Select(u"Total > 100.25"), "2 5");
    EXPECT_EQ(Select(u"Total < 0"), "3");
    EXPECT_EQ(Select(u"Total = 500.000"), "2");
    EXPECT_EQ(Select(u"Total = '100.25'"), "1");
    // Two fields.
    EXPECT_EQ(Select(u"Amount = Qty"), "1 3 5");
    EXPECT_EQ(Select(u"Amount > Qty"), "2");
    EXPECT_EQ(Select(u"Cost < Total"), "1 5");
    EXPECT_EQ(Select(u"Price < Amount"), "1 2");
    EXPECT_EQ(Select(u"Amount = Cost"), "2");
    EXPECT_EQ(Select(u"Born < [Order Date]"), "1 3");
    // Two literals are decided at parse time.
    EXPECT_EQ(Select(u"1 = 1"), "1 2 3 4 5");
    EXPECT_EQ(Select(u"1 = 1.5"), "");
    EXPECT_EQ(Select(u"'a' < 'b' AND Amount = 10"), "1");
    EXPECT_EQ(Select(u"TRUE"), "1 2 3 4 5");
    EXPECT_EQ(Select(u"FALSE OR Amount = 10"), "1");
}

TEST(FilterExpr, ComparesStringsAndBooleans) {
    EXPECT_EQ(Select(u"Name = 'Anna'"), "1");
    EXPECT_EQ(Select(u"Name = 'anna'"), "");
    EXPECT_EQ(Select(u"Name = 'anna'", {foCaseInsensitive}), "1");
    EXPECT_EQ(Select(u"Name > 'a'"), "2");
    EXPECT_EQ(Select(u"Name > 'a'", {foCaseInsensitive}), "1 2 3 5");
    EXPECT_EQ(Select(u"City = 'k\u00F6ln'"), "");
    EXPECT_EQ(Select(u"City = 'k\u00F6ln'", {foCaseInsensitive}), "4 5");
    EXPECT_EQ(Select(u"Name < City"), "1 5");
    EXPECT_EQ(Select(u"Name < City", {foCaseInsensitive}), "1 2 5");
    EXPECT_EQ(Select(u"Name = 'It''s'"), "");
    EXPECT_EQ(Select(u"Notes = 'red'"), "1");
    EXPECT_EQ(Select(u"Amount = 10 AND Name = 10"), ""); // a number against text compares its text
    EXPECT_EQ(Select(u"Active = TRUE"), "1 3");
    EXPECT_EQ(Select(u"Active"), "1 3");
    EXPECT_EQ(Select(u"NOT Active"), "2 5");
    EXPECT_EQ(Select(u"Active <> false"), "1 3");
    EXPECT_EQ(Select(u"Active = 'False'"), "2 5");
    EXPECT_EQ(Select(u"Active = 0"), "2 5");
    EXPECT_EQ(Select(u"Active > FALSE"), "1 3");
}

TEST(FilterExpr, FollowsSqlNullRules) {
    EXPECT_EQ(Select(u"NOT (Amount = 500)"), "1 3 5"); // UNKNOWN stays UNKNOWN under NOT
    EXPECT_EQ(Select(u"Amount IS NULL"), "4");
    EXPECT_EQ(Select(u"Amount is not null"), "1 2 3 5");
    EXPECT_EQ(Select(u"Amount = NULL"), "4");
    EXPECT_EQ(Select(u"NULL = Amount"), "4");
    EXPECT_EQ(Select(u"Amount <> NULL"), "1 2 3 5");
    EXPECT_EQ(Select(u"Amount != null"), "1 2 3 5");
    EXPECT_EQ(Select(u"NOT (Amount IS NULL)"), "1 2 3 5");
    EXPECT_EQ(Select(u"Amount < NULL"), "");
    EXPECT_EQ(Select(u"NOT (Amount < NULL)"), "");
    EXPECT_EQ(Select(u"Amount = 500 OR Amount IS NULL"), "2 4");
    // Kleene logic: FALSE decides an AND, TRUE an OR, otherwise UNKNOWN wins.
    EXPECT_EQ(Select(u"NOT (Amount = 1 AND Qty = 7)"), "1 2 3 5");
    EXPECT_EQ(Select(u"NOT (Amount = 1 AND Qty = 8)"), "1 2 3 4 5");
    EXPECT_EQ(Select(u"Amount = 1 OR Qty = 7"), "4");
    EXPECT_EQ(Select(u"NOT (Amount = 1 OR Qty = 8)"), "1 2 3 5");
    EXPECT_EQ(Select(u"Name LIKE '%'"), "1 2 3 5");
    EXPECT_EQ(Select(u"Name NOT LIKE 'x%'"), "1 2 3 5");
    EXPECT_EQ(Select(u"Amount IN (10, 500)"), "1 2");
    EXPECT_EQ(Select(u"Amount NOT IN (10, 500)"), "3 5");
    EXPECT_EQ(Select(u"Amount IN (10, NULL)"), "1");
    EXPECT_EQ(Select(u"Amount NOT IN (10, NULL)"), "");
    EXPECT_EQ(Select(u"Amount IN (NULL)"), "");
    EXPECT_EQ(Select(u"Active OR NOT Active"), "1 2 3 5");
    EXPECT_EQ(Select(u"Notes IS NULL"), "3 4");
    EXPECT_EQ(Select(u"NULL = NULL AND NULL <> 1"), "1 2 3 4 5");
    EXPECT_EQ(Select(u"Name = 'A*'"), "1 3 5");
    EXPECT_EQ(Select(u"Name <> 'A*'"), "2");
}

TEST(FilterExpr, MatchesLikePatterns) {
    EXPECT_EQ(Select(u"Name LIKE 'A%'"), "1 3 5");
    EXPECT_EQ(Select(u"Name LIKE '%a'"), "1");
    EXPECT_EQ(Select(u"Name LIKE '%a'", {foCaseInsensitive}), "1 5");
    EXPECT_EQ(Select(u"Name LIKE '%b%'"), "2 3");
    EXPECT_EQ(Select(u"Name like '%b%'", {foCaseInsensitive}), "2 3 5");
    EXPECT_EQ(Select(u"Name LIKE '%%b%%'"), "2 3");
    EXPECT_EQ(Select(u"Name LIKE 'b_b'"), "2");
    EXPECT_EQ(Select(u"Name LIKE '___'"), "2");
    EXPECT_EQ(Select(u"Name LIKE '_'"), "");
    EXPECT_EQ(Select(u"Name LIKE 'A__A'"), "5");
    EXPECT_EQ(Select(u"Name LIKE 'A%a'"), "1");
    EXPECT_EQ(Select(u"Name LIKE 'AB%BA'"), "5");
    EXPECT_EQ(Select(u"Name LIKE 'ABB%BA'"), ""); // head and tail may not overlap
    EXPECT_EQ(Select(u"Name LIKE 'A%n%a'"), "1");
    EXPECT_EQ(Select(u"Name LIKE 'A%n%n%a'"), "1");
    EXPECT_EQ(Select(u"Name LIKE 'A%n%n%n%a'"), "");
    EXPECT_EQ(Select(u"Name LIKE '%n_a'"), "1");
    EXPECT_EQ(Select(u"Name LIKE '%_b_%'"), "3"); // "bob" has no character before its first b
    EXPECT_EQ(Select(u"Name LIKE 'Anna'"), "1");
    EXPECT_EQ(Select(u"Name LIKE 'Ann'"), "");
    EXPECT_EQ(Select(u"Name LIKE ''"), "");
    EXPECT_EQ(Select(u"Name NOT LIKE '%b%'"), "1 5");
    EXPECT_EQ(Select(u"Name LIKE 'Ab_c%'"), "3"); // '_' and '%' are wildcards without ESCAPE
    EXPECT_EQ(Select(u"Name LIKE '%\\_%' ESCAPE '\\'"), "3");
    EXPECT_EQ(Select(u"Name LIKE '%!%%' escape '!'"), "3");
    EXPECT_EQ(Select(u"Name LIKE 'Ab!_c!%d' ESCAPE '!'"), "3");
    EXPECT_EQ(Select(u"Name LIKE 'Ab!_c!%' ESCAPE '!'"), "");
    EXPECT_EQ(Select(u"Name LIKE '%!!%' ESCAPE '!'"), "");
    EXPECT_EQ(Select(u"City LIKE 'k_ln'", {foCaseInsensitive}), "4 5");
    EXPECT_EQ(Select(u"City LIKE '%\u00D6%'"), "5");
    EXPECT_EQ(Select(u"City LIKE '%\u00D6%'", {foCaseInsensitive}), "4 5");
    EXPECT_EQ(Select(u"Amount LIKE '5%'"), "2"); // other kinds match their text
    EXPECT_EQ(Select(u"Amount LIKE '-%'"), "3");
    EXPECT_EQ(Select(u"Name LIKE 'A*'"), ""); // '*' is no LIKE wildcard
}

TEST(FilterExpr, TestsInLists) {
    EXPECT_EQ(Select(u"Name IN ('Anna', 'bob')"), "1 2");
    EXPECT_EQ(Select(u"Name IN ('ANNA', 'BOB')"), "");
    EXPECT_EQ(Select(u"Name IN ('ANNA', 'BOB')", {foCaseInsensitive}), "1 2");
    EXPECT_EQ(Select(u"Name NOT IN ('Anna')"), "2 3 5");
    EXPECT_EQ(Select(u"Amount IN (10, 1000)"), "1 5");
    EXPECT_EQ(Select(u"Amount NOT IN (10, 1000)"), "2 3");
    EXPECT_EQ(Select(u"Amount IN (10, 2.5, -5)"), "1 3"); // one float item makes all compare as floats
    EXPECT_EQ(Select(u"Amount IN ('10', 500)"), "1 2");
    EXPECT_EQ(Select(u"Price IN (1.5, 1000)"), "1 5");
    EXPECT_EQ(Select(u"Cost IN (12.5, 0.0001)"), "1 3");
    EXPECT_EQ(Select(u"Total IN (100.25, 500)"), "1 2");
    EXPECT_EQ(Select(u"Born IN ('2024-01-15', '2024-01-16')"), "1 5");
    EXPECT_EQ(Select(u"Active IN (TRUE)"), "1 3");
}

TEST(FilterExpr, HonoursPrecedenceAndParentheses) {
    EXPECT_EQ(Select(u"Amount = 10 OR Amount = 500 AND Qty = 7"), "1"); // AND before OR
    EXPECT_EQ(Select(u"(Amount = 10 OR Amount = 500) AND Qty = 3"), "2");
    EXPECT_EQ(Select(u"NOT Amount = 10 AND Qty = 3"), "2");           // NOT before AND
    EXPECT_EQ(Select(u"NOT (Amount = 10 AND Qty = 3)"), "1 2 3 4 5"); // FALSE AND UNKNOWN is FALSE
    EXPECT_EQ(Select(u"NOT NOT Active"), "1 3");
    EXPECT_EQ(Select(u"Amount = 10 or amount = 500 AnD qty = 3"), "1 2");
    EXPECT_EQ(Select(u"((Amount > 0) AND (NOT (Name LIKE 'b%') OR Qty = 3))"), "1 2 5");
    EXPECT_EQ(Select(u"Qty > 0 AND Qty < 100 AND Amount > 0 AND Name <> 'x'"), "1 2");
    EXPECT_EQ(Select(u"Qty = 1 OR Qty = 3 OR Qty = 7 OR Qty = -5"), "2 3 4");
}

TEST(FilterExpr, ReadsFieldNamesInEveryQuoting) {
    EXPECT_EQ(Select(u"[Order Date] = '2024-01-01'"), "3");
    EXPECT_EQ(Select(u"\"Order Date\" = '2024-01-01'"), "3");
    EXPECT_EQ(Select(u"[Name] = 'bob' OR name = 'Anna'"), "1 2");
    const TTable odd({{u"In", fvInteger},
                      {u"A]B", fvInteger},
                      {u"Say \"Hi\"", fvInteger},
                      {u"Stra\u00DFe", fvInteger},
                      {u"T.Sub", fvInteger},
                      {u"_x1", fvInteger}},
                     {{1, 2, 3, 4, 5, 6}});
    EXPECT_EQ(Select(odd, u"[In] = 1"), "1");
    EXPECT_EQ(Select(odd, u"[A]]B] = 2"), "1");
    EXPECT_EQ(Select(odd, u"\"Say \"\"Hi\"\"\" = 3"), "1");
    EXPECT_EQ(Select(odd, u"Stra\u00DFe = 4"), "1");
    EXPECT_EQ(Select(odd, u"T.Sub = 5 AND _x1=6"), "1");
}

TEST(FilterExpr, ComparesPartially) {
    EXPECT_EQ(Select(u"Name = 'A*'"), "1 3 5");
    EXPECT_EQ(Select(u"Name = 'a*'"), "");
    EXPECT_EQ(Select(u"Name = 'a*'", {foCaseInsensitive}), "1 3 5");
    EXPECT_EQ(Select(u"Name = 'Ab*'"), "3");
    EXPECT_EQ(Select(u"Name = '*'"), "1 2 3 5");
    EXPECT_EQ(Select(u"Name <> 'A*'"), "2");
    EXPECT_EQ(Select(u"Name = 'A*a'"), ""); // only a trailing '*'
    EXPECT_EQ(Select(u"Name = 'A*'", {foNoPartialCompare}), "");
    EXPECT_EQ(Select(u"Name = '*'", {foNoPartialCompare}), "");
    EXPECT_EQ(Select(u"Name <> 'A*'", {foNoPartialCompare}), "1 2 3 5");
}

TEST(FilterExpr, ConvertsDateLiteralsWithTheLocale) {
    const TFormatSettingsScope english(TFormatSettings::English());
    EXPECT_EQ(Select(u"Born = '1/15/2024'"), "1");
    EXPECT_EQ(Select(u"Born = '2024-01-15'"), "1");
    EXPECT_EQ(Select(u"Born > '12/31/1999'"), "1 3 5");
    EXPECT_EQ(Select(u"Born >= '2024-01-15' AND Born < '2024-01-16'"), "1");
    EXPECT_EQ(Select(u"Born = " + IntToStr(static_cast<Int64>(EncodeDate(2024, 1, 16)))), "5");
    EXPECT_EQ(Select(u"Stamp = '2024-01-15 10:00'"), "1");
    EXPECT_EQ(Select(u"Stamp = '2024-01-15T18:30:00'"), "2");
    EXPECT_EQ(Select(u"Stamp >= '1/15/2024'"), "1 2 5");
    EXPECT_EQ(Select(u"Stamp < '1/15/2024 12:00 PM'"), "1 3");
    EXPECT_EQ(Select(u"Start = '8:30'"), "1");
    EXPECT_EQ(Select(u"Start > '12:00'"), "3");
    EXPECT_EQ(Select(u"Start < '08:30:00'"), "5");
    EXPECT_EQ(ErrorOf(u"Born = '15.01.2024'"), "Filter expression error at position 8: '15.01.2024' is not a "
                                               "valid value for field 'Born' in \"Born = '15.01.2024'\"");

    const TFormatSettings german = TFormatSettings::German();
    EXPECT_EQ(Select(People(), u"Born = '15.01.2024'", {}, german), "1");
    EXPECT_EQ(Select(People(), u"Born = '2024-01-15'", {}, german), "1");
    EXPECT_EQ(Select(People(), u"Stamp = '15.01.2024 18:30'", {}, german), "2");
    EXPECT_EQ(Select(People(), u"Price = '2,25' AND Price = 2.25", {}, german), "2");
    {
        // The default settings argument follows the global settings.
        const TFormatSettingsScope scope(german);
        EXPECT_EQ(Select(u"Born = '16.01.2024'"), "5");
        EXPECT_EQ(ErrorOf(u"Born = '1/16/2024'"),
                  "Filter expression error at position 8: '1/16/2024' is not a "
                  "valid value for field 'Born' in \"Born = '1/16/2024'\"");
    }
}

TEST(FilterExpr, ReportsEachErrorWithItsMessage) {
    const auto error = [](int pos, const std::string& detail, const std::string& text) {
        return "Filter expression error at position " + std::to_string(pos) + ": " + detail + " in \"" +
               text + "\"";
    };
    EXPECT_THROW(TFilterExpression(u"Foo = 1", {}, People()), EDatabaseError);
    EXPECT_EQ(ErrorOf(u"Foo = 1"), "Field 'Foo' not found in filter expression \"Foo = 1\"");
    EXPECT_EQ(ErrorOf(u"Name = [Foo Bar]"),
              "Field 'Foo Bar' not found in filter expression \"Name = [Foo Bar]\"");
    EXPECT_EQ(ErrorOf(u"(Name = 'A'"), error(12, "expected ')'", "(Name = 'A'"));
    EXPECT_EQ(ErrorOf(u"Name = 'abc"), error(8, "unterminated string", "Name = 'abc"));
    EXPECT_EQ(ErrorOf(u"[Order Date = 1"), error(1, "missing closing ']'", "[Order Date = 1"));
    EXPECT_EQ(ErrorOf(u"\"Order Date = 1"), error(1, "missing closing '\"'", "\"Order Date = 1"));
    EXPECT_EQ(ErrorOf(u"Name # 1"), error(6, "unexpected character '#'", "Name # 1"));
    EXPECT_EQ(ErrorOf(u"Name ! 1"), error(6, "unexpected character '!'", "Name ! 1"));
    EXPECT_EQ(ErrorOf(u"Amount = 12abc"), error(10, "invalid number '12abc'", "Amount = 12abc"));
    EXPECT_EQ(ErrorOf(u"Amount = 1.2.3"), error(10, "invalid number '1.2.3'", "Amount = 1.2.3"));
    EXPECT_EQ(ErrorOf(u"Amount = "), error(10, "expected a field name or a value", "Amount = "));
    EXPECT_EQ(ErrorOf(u"AND Amount = 1"), error(1, "expected a field name or a value", "AND Amount = 1"));
    EXPECT_EQ(ErrorOf(u"Name 'x'"), error(6, "expected a comparison operator", "Name 'x'"));
    EXPECT_EQ(ErrorOf(u"Amount"), error(7, "expected a comparison operator", "Amount"));
    EXPECT_EQ(ErrorOf(u"Name IN 'x'"), error(9, "expected '('", "Name IN 'x'"));
    EXPECT_EQ(ErrorOf(u"Name IN ('a' 'b')"), error(14, "expected ',' or ')'", "Name IN ('a' 'b')"));
    EXPECT_EQ(ErrorOf(u"Name IN ('a', Amount)"), error(15, "expected a value", "Name IN ('a', Amount)"));
    EXPECT_EQ(ErrorOf(u"Name IN ()"), error(10, "expected a value", "Name IN ()"));
    EXPECT_EQ(ErrorOf(u"Name = 'a' Amount = 1"),
              error(12, "expected AND, OR or the end of the expression", "Name = 'a' Amount = 1"));
    EXPECT_EQ(ErrorOf(u"Name = 'a')"),
              error(11, "expected AND, OR or the end of the expression", "Name = 'a')"));
    EXPECT_EQ(ErrorOf(u"Name IS 1"), error(9, "expected NULL", "Name IS 1"));
    EXPECT_EQ(ErrorOf(u"Name NOT = 'a'"), error(10, "expected LIKE or IN after NOT", "Name NOT = 'a'"));
    EXPECT_EQ(ErrorOf(u"Name LIKE 5"), error(11, "expected a quoted pattern after LIKE", "Name LIKE 5"));
    EXPECT_EQ(ErrorOf(u"Name LIKE 'a' ESCAPE 'ab'"),
              error(22, "ESCAPE needs a single character", "Name LIKE 'a' ESCAPE 'ab'"));
    EXPECT_EQ(
        ErrorOf(u"Name LIKE 'a!b' ESCAPE '!'"),
        error(11, "'!' in a pattern must be followed by '%', '_' or itself", "Name LIKE 'a!b' ESCAPE '!'"));
    EXPECT_EQ(
        ErrorOf(u"Name LIKE 'a!' ESCAPE '!'"),
        error(11, "'!' in a pattern must be followed by '%', '_' or itself", "Name LIKE 'a!' ESCAPE '!'"));
    EXPECT_EQ(ErrorOf(u"'a' LIKE 'b'"), error(5, "LIKE needs a field on its left", "'a' LIKE 'b'"));
    EXPECT_EQ(ErrorOf(u"1 IN (1)"), error(3, "IN needs a field on its left", "1 IN (1)"));
    EXPECT_EQ(ErrorOf(u"NULL IS NULL"), error(6, "IS needs a field on its left", "NULL IS NULL"));
    EXPECT_EQ(ErrorOf(u"Born = 'abc'"),
              error(8, "'abc' is not a valid value for field 'Born'", "Born = 'abc'"));
    EXPECT_EQ(ErrorOf(u"Amount = 'x'"),
              error(10, "'x' is not a valid value for field 'Amount'", "Amount = 'x'"));
    EXPECT_EQ(ErrorOf(u"Amount = TRUE"),
              error(10, "'True' is not a valid value for field 'Amount'", "Amount = TRUE"));
    EXPECT_EQ(ErrorOf(u"Total = 'x'"), error(9, "'x' is not a valid value for field 'Total'", "Total = 'x'"));
    EXPECT_EQ(ErrorOf(u"Active = 'maybe'"),
              error(10, "'maybe' is not a valid value for field 'Active'", "Active = 'maybe'"));
    EXPECT_EQ(ErrorOf(u"Amount IN (1, 'x')"),
              error(15, "'x' is not a valid value for field 'Amount'", "Amount IN (1, 'x')"));
    EXPECT_EQ(ErrorOf(u"Name = Amount"),
              error(6, "fields 'Name' and 'Amount' cannot be compared", "Name = Amount"));
    EXPECT_EQ(ErrorOf(u"Active < Born"),
              error(8, "fields 'Active' and 'Born' cannot be compared", "Active < Born"));
    EXPECT_EQ(ErrorOf(u"1 = 'a'"), error(3, "1 cannot be compared with 'a'", "1 = 'a'"));
    const String deep = String(201, u'(') + u"Amount = 1" + String(201, u')');
    EXPECT_EQ(ErrorOf(deep), error(201, "expression nested too deeply", UTF8Encode(deep)));
    EXPECT_EQ(Select(String(200, u'(') + u"Amount = 10" + String(200, u')')), "1");
}

TEST(FilterExpr, EmptyTextAcceptsEveryRecordAndCopiesShareTheTree) {
    EXPECT_EQ(Select(u""), "1 2 3 4 5");
    EXPECT_EQ(Select(u"  \t "), "1 2 3 4 5");
    const TFilterExpression none;
    EXPECT_TRUE(none.IsEmpty());
    TVariantRecord record;
    record.Row = &People().Rows[3];
    EXPECT_TRUE(none.Evaluate(record));

    TFilterExpression expr(u"Qty = 7", {foCaseInsensitive}, People());
    EXPECT_FALSE(expr.IsEmpty());
    EXPECT_EQ(expr.Text(), u"Qty = 7");
    EXPECT_EQ(expr.Options(), TFilterOptions{foCaseInsensitive});
    const TFilterExpression copy = expr;
    expr = TFilterExpression(u"Qty = 8", {}, People());
    EXPECT_TRUE(copy.Evaluate(record));
    EXPECT_FALSE(expr.Evaluate(record));
}

} // namespace
} // namespace mv
