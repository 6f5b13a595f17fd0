// Parsing, converting and rewriting order-field strings.
#include "grids/order/OrderFields.h"

#include "platform/db/DataSet.h"
#include "platform/db/FieldLists.h"
#include "platform/db/Fields.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/StringList.h"

namespace mv {

String DefaultDelimiter = u",";

namespace {

constexpr StringView kDescMark = u" DESC";
constexpr StringView kOrderBy = u"ORDER BY ";

// Appends to a ";" list; an empty list takes the item as it is, so an empty first item
// disappears while a later one leaves ";;".
void AppendItem(String& list, StringView item) {
    if (list.empty()) {
        list = item;
        return;
    }
    list += u';';
    list += item;
}

// Calls f(item) for each item of a ";" list, as ExtractFieldName walks it.
template <typename F> void ForEachItem(StringView list, F&& f) {
    Integer pos = 1;
    while (pos <= static_cast<Integer>(list.size()))
        f(ExtractFieldName(list, pos));
}

void Join(String& out, StringView item, Char separator, bool& first) {
    if (!first) out += separator;
    out += item;
    first = false;
}

// Text before a 1-based position, blanks trimmed.
String TrimmedBefore(StringView item, Integer pos) {
    return Trim(Copy(item, 1, pos - 1));
}

// Index of the last line holding "ORDER BY " (upper-cased), with the clause's position.
Integer FindOrderByLine(const TStrings& sql, Integer& clausePos) {
    for (Integer i = sql.Count() - 1; i >= 0; --i) {
        clausePos = Pos(kOrderBy, AnsiUpperCase(sql.Get(i)));
        if (clausePos > 0) return i;
    }
    return -1;
}

bool EndsWithSemicolon(StringView line) {
    String trimmed = TrimRight(line);
    return !trimmed.empty() && trimmed.back() == u';';
}

} // namespace

String ScanStr(String& text, StringView delimiter) {
    if (delimiter.empty()) delimiter = DefaultDelimiter;
    Integer p = Pos(delimiter, text);
    if (p == 0) {
        String token = std::move(text);
        text.clear();
        return token;
    }
    String token = Copy(text, 1, p - 1);
    text = Copy(text, p + static_cast<Integer>(delimiter.size()));
    return token;
}

Integer ScanInt(String& text, Integer defaultValue, StringView delimiter) {
    return StrToIntDef(ScanStr(text, delimiter), defaultValue);
}

String CommaToSemicolon(StringView text) {
    String out(text);
    for (Char& c : out)
        if (c == u',') c = u';';
    return out;
}

String SemicolonToComma(StringView text) {
    String out(text);
    for (Char& c : out)
        if (c == u';') c = u',';
    return out;
}

void SplitOrderFields(StringView orderFields, String& fields, String& descFields) {
    String list = CommaToSemicolon(orderFields);
    fields.clear();
    descFields.clear();
    ForEachItem(list, [&](String item) {
        Integer p = Pos(kDescMark, item);
        if (p > 0) {
            item = TrimmedBefore(item, p);
            AppendItem(descFields, item);
        }
        AppendItem(fields, item);
    });
}

String UnifyOrderFields(StringView fields, StringView descFields, bool allDescending) {
    bool everyField = descFields.empty() && allDescending;
    String enclosed;
    ForEachItem(descFields, [&](const String& name) {
        enclosed += u';';
        enclosed += name;
        enclosed += u';';
    });
    String result;
    bool first = true;
    ForEachItem(fields, [&](String item) {
        if (everyField || Pos(u";" + item + u";", enclosed) > 0) item += kDescMark;
        Join(result, item, u',', first);
    });
    return result;
}

String OrderFieldsToIndexFields(StringView orderFields, StringView marks) {
    String list = CommaToSemicolon(orderFields);
    if (marks.empty()) return list;
    String rest(marks);
    ScanStr(rest, u";"); // the ascending mark is never written
    String descMark = ScanStr(rest, u";");
    String result;
    bool first = true;
    ForEachItem(list, [&](String item) {
        Integer p = Pos(kDescMark, item);
        if (p > 0) item = TrimmedBefore(item, p) + descMark;
        Join(result, item, u';', first);
    });
    return result;
}

String IndexFieldsToOrderFields(StringView indexFields, StringView marks) {
    if (marks.empty()) return SemicolonToComma(indexFields);
    String rest(marks);
    String ascMark = AnsiUpperCase(ScanStr(rest, u";"));
    String descMark = AnsiUpperCase(ScanStr(rest, u";"));
    String otherMark = AnsiUpperCase(rest);
    auto markPos = [](const String& upper, const String& mark) {
        return mark.empty() ? 0 : Pos(mark, upper);
    };
    String result;
    bool first = true;
    ForEachItem(indexFields, [&](String item) {
        String upper = AnsiUpperCase(item);
        if (Integer p = markPos(upper, descMark); p > 0)
            item = TrimmedBefore(item, p) + String(kDescMark);
        else if (Integer q = markPos(upper, ascMark); q > 0)
            item = TrimmedBefore(item, q);
        else if (Integer r = markPos(upper, otherMark); r > 0)
            item = TrimmedBefore(item, r);
        Join(result, item, u',', first);
    });
    return result;
}

String ValidFieldNames(TDataSet* dataSet, StringView fieldNames, bool firstOnly) {
    if (!dataSet) return String(fieldNames);
    String result;
    Integer pos = 1;
    while (pos <= static_cast<Integer>(fieldNames.size())) {
        String name = ExtractFieldName(fieldNames, pos);
        if (!name.empty()) {
            TField* field = dataSet->FindField(name);
            AppendItem(result, field ? StringView(field->FieldName()) : StringView(name));
        }
        if (firstOnly) break;
    }
    return result;
}

String ExtractOrderFields(const TStrings* sql) {
    if (!sql) return {};
    Integer clausePos = 0;
    Integer line = FindOrderByLine(*sql, clausePos);
    if (line < 0) return {};
    String result = Trim(Copy(sql->Get(line), clausePos + static_cast<Integer>(kOrderBy.size())));
    if (!result.empty() && result.back() == u';') {
        result.pop_back();
        result = Trim(result);
    }
    return result;
}

void ModifyOrderFields(TStrings* sql, StringView orderFields) {
    if (!sql) return;
    String order = Trim(orderFields);
    if (SameText(order, u"DESC")) order.clear();
    Integer clausePos = 0;
    Integer line = FindOrderByLine(*sql, clausePos);
    if (line >= 0) {
        String old = sql->Get(line);
        String changed = order.empty()
                             ? Copy(old, 1, clausePos - 1)
                             : Copy(old, 1, clausePos - 1 + static_cast<Integer>(kOrderBy.size())) + order;
        if (EndsWithSemicolon(old)) changed += u';';
        sql->Put(line, changed);
        return;
    }
    if (order.empty()) return;
    while (sql->Count() > 0 && TrimRight(sql->Get(sql->Count() - 1)).empty())
        sql->Delete(sql->Count() - 1);
    if (sql->Count() == 0) return;
    Integer last = sql->Count() - 1;
    String lastLine = TrimRight(sql->Get(last));
    String clause = String(kOrderBy) + order;
    if (!lastLine.empty() && lastLine.back() == u';') {
        lastLine.pop_back();
        sql->Put(last, lastLine);
        clause += u';';
    }
    sql->Add(clause);
}

bool SameFieldName(StringView a, StringView b) {
    return AnsiSameText(a, b);
}

bool SameFieldText(StringView a, StringView b) {
    return AnsiSameText(a, b);
}

} // namespace mv
