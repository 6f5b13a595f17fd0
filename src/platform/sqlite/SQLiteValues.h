// Values between SQLite and the data-access layer: declared column types to field types,
// column values to the Variants a query's record cache holds (FieldBuffers.h turns them
// into the fields' native buffers and back), and Variants bound as statement parameters. Not
// public API.
//
// Cache Variants by field type: integers Int64 (smallint: Integer), booleans Boolean,
// reals Double, dates TDateTime (varDate), texts String, blobs a String with one Char
// per byte, NULL Null.
//
// Dates: SQLite has no date type. A date column is read from ISO-8601 text
// ("YYYY-MM-DD", "YYYY-MM-DD HH:MM[:SS[.fff]]" with ' ' or 'T', "HH:MM[:SS[.fff]]") or
// from a Julian day number (integer or real), and written back in the form the column
// was last read in (text unless a Julian number was seen). Text that is no ISO date
// reads as NULL (the stored text is kept unless the field is assigned).
#pragma once

#include "platform/db/DB.h"
#include "platform/rtl/Variants.h"

#include <sqlite3.h>

#include <string>
#include <string_view>

namespace mv {
class TField;
}

namespace mv::SQLiteDetail {

// Texts without a declared length get this many characters.
constexpr Integer DefaultTextSize = 255;
// The longest text a string field holds (TStringField's size limit); a text measured
// longer becomes a wide memo.
constexpr Integer LongestStringSize = 8192;

// The field type (and size, for strings) for a declared column type. An empty or
// unrecognised declaration takes the storage class of a sample value (storageClass, one
// of SQLITE_INTEGER ...; SQLITE_NULL when there is no sample): integers Largeint, reals
// Float, blobs Blob, anything else WideString.
TFieldType FieldTypeOfDeclaration(std::string_view declared, int storageClass, Integer& size);

// Column `column` of the current row as a cache Variant for a field of type `type`.
// julian is set when a date column held a number.
Variant ReadColumn(sqlite3_stmt* statement, int column, TFieldType type, bool& julian);

// Binds a cache Variant of a field of type `type` (1-based parameter index).
void BindFieldValue(sqlite3_stmt* statement, int index, const Variant& value, TFieldType type, bool julian);
// Binds any Variant by its own type: dates as ISO-8601 text.
void BindVariant(sqlite3_stmt* statement, int index, const Variant& value);

// Date conversions (exposed for tests).
String DateTimeToIsoText(TDateTime value, TFieldType type);
bool IsoTextToDateTime(std::string_view text, TDateTime& value);
double DateTimeToJulian(TDateTime value);
TDateTime JulianToDateTime(double julian);

} // namespace mv::SQLiteDetail
