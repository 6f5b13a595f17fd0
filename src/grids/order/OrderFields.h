// Order-field strings: the grid's sort-order notation ("Name,City DESC") and its
// conversions to the forms data sets hold - ";" index-field lists with dialect marks,
// split field/descending lists, and the ORDER BY clause of an SQL text.
// Pure string functions; only ValidFieldNames looks at a data set.
#pragma once

#include "platform/rtl/RtlTypes.h"

namespace mv {

class TDataSet;
class TStrings;

// Delimiter of ScanStr when none is given; a unit-level setting of the grid.
extern String DefaultDelimiter;

// Returns the text before the first delimiter and leaves in text what follows it (empty
// when there is no delimiter). Nothing is trimmed; an empty delimiter means DefaultDelimiter.
String ScanStr(String& text, StringView delimiter = {});
// ScanStr, then the token as an integer, or defaultValue when it is not one.
Integer ScanInt(String& text, Integer defaultValue, StringView delimiter = {});

String CommaToSemicolon(StringView text);
String SemicolonToComma(StringView text);

// "Name, City DESC,Zip" -> fields "Name;City;Zip", descending "City". Only the exact
// mark " DESC" counts, found anywhere in an item ("A DESCRIPTION" is field "A", descending).
void SplitOrderFields(StringView orderFields, String& fields, String& descFields);
// ("Name;City;Zip", "City", false) -> "Name,City DESC,Zip"; an empty descending list with
// allDescending makes every field descending.
String UnifyOrderFields(StringView fields, StringView descFields, bool allDescending);

// marks is a triple "ascending;descending;other" such as ":A;:D;:N"; empty means the
// plain form, where items pass unchanged.
String OrderFieldsToIndexFields(StringView orderFields, StringView marks);
String IndexFieldsToOrderFields(StringView indexFields, StringView marks);

// Each ";" item looked up in the data set (without regard to case) and spelled as the
// field spells its name; unknown names stay as written, empty items are dropped. With
// firstOnly only the first item counts. Without a data set the names come back untouched.
String ValidFieldNames(TDataSet* dataSet, StringView fieldNames, bool firstOnly);

// The order-field text of the last ORDER BY clause in an SQL text, without a trailing ";".
// Empty without a list or a clause. Only "ORDER BY " with one blank is recognised.
String ExtractOrderFields(const TStrings* sql);
// Rewrites, removes (empty order or a lone "DESC") or appends the ORDER BY clause,
// keeping the statement's closing ";". Without a list nothing happens.
//
// One overload serves both of the framework's string-list kinds: our TStrings already
// holds UTF-16 text, so a separate wide-string list would be the same class.
void ModifyOrderFields(TStrings* sql, StringView orderFields);

// Field names compare without regard to case, by the Unicode case mapping.
bool SameFieldName(StringView a, StringView b);
bool SameFieldText(StringView a, StringView b);

} // namespace mv
