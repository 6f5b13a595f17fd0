// The filter-expression engine behind data-set filters: parses a filter text once into a
// tree bound to field indexes, then tests records against it. It knows fields only through
// TFilterFieldResolver and TFilterRecord, so any data set (in-memory or SQLite-backed) can
// use it. Parser: FilterParser.cpp; evaluation: FilterEval.cpp.
#pragma once

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/RtlTypes.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/Variants.h"

#include <memory>

namespace mv {

struct TBcd;

// The data set's FilterOptions.
//   foCaseInsensitive   string comparisons, IN lists, LIKE and partial compares ignore case
//                       (Unicode simple case mapping, as AnsiCompareText does).
//   foNoPartialCompare  a string literal ending in '*' is compared literally instead of as a
//                       prefix (see "Partial compare" below).
enum TFilterOption { foCaseInsensitive, foNoPartialCompare };
using TFilterOptions = Set<TFilterOption>;

// What a field holds, as far as filtering is concerned. It decides how literals are
// converted and which TFilterRecord reader is called:
//   fvString, fvOther           GetString (fvOther: blobs, GUIDs, anything compared as text)
//   fvInteger                   GetInteger
//   fvFloat, fvDate, fvTime,    GetFloat (the three date kinds give TDateTime)
//   fvDateTime
//   fvCurrency                  GetCurrency
//   fvBcd                       GetBcd
//   fvBoolean                   GetBoolean
enum TFilterValueKind {
    fvString,
    fvInteger,
    fvFloat,
    fvCurrency,
    fvBcd,
    fvBoolean,
    fvDate,
    fvTime,
    fvDateTime,
    fvOther
};

// Binds the names written in an expression to fields. Consulted only while parsing.
class TFilterFieldResolver {
public:
    virtual ~TFilterFieldResolver() = default;
    // Index of the field called name (as written, brackets and quotes removed), -1 when
    // there is none. Data sets match case-insensitively, as FindField does.
    virtual Integer FieldIndex(StringView name) const = 0;
    // Kind of the field at an index FieldIndex returned.
    virtual TFilterValueKind FieldValueKind(Integer index) const = 0;
};

// One record under test. Only FieldValue must be implemented: IsNull and the typed
// readers default to converting it, and a data set overrides them to read its buffers
// without building variants (the filter runs for every record fetched).
//
// Each reader returns false when the field is null (the output is then unspecified) and
// is called only for the field kinds listed at TFilterValueKind, except GetString, which
// LIKE calls for a field of any kind: it must then give the field's text (the default
// gives VarToStr of the value). GetString may point value into the record's own storage,
// or fill scratch and point value at it; value must stay valid until the record changes.
class TFilterRecord {
public:
    virtual ~TFilterRecord() = default;
    // The field's value; Null or Unassigned for a null field.
    virtual Variant FieldValue(Integer index) const = 0;

    // Asked by IS [NOT] NULL and = NULL for a field of any kind.
    virtual bool IsNull(Integer index) const;
    virtual bool GetString(Integer index, StringView& value, String& scratch) const;
    virtual bool GetInteger(Integer index, Int64& value) const;
    virtual bool GetFloat(Integer index, double& value) const; // floats and TDateTime of the date kinds
    virtual bool GetCurrency(Integer index, Currency& value) const;
    virtual bool GetBcd(Integer index, TBcd& value) const;
    virtual bool GetBoolean(Integer index, bool& value) const;
};

struct TFilterTree;

// A parsed filter expression.
//
// Grammar (keywords in any case; NOT binds tighter than AND, AND tighter than OR):
//   expr       := term { OR term }        term := factor { AND factor }
//   factor     := NOT factor | '(' expr ')' | predicate
//   predicate  := operand relation operand          relation: = <> != < <= > >=
//               | field [NOT] LIKE 'pattern' [ESCAPE 'c']
//               | field [NOT] IN '(' value { ',' value } ')'
//               | field IS [NOT] NULL
//               | boolean-field | TRUE | FALSE
//   operand    := field | value       value := 'string' | number | TRUE | FALSE | NULL
//   field      := Name | [Name with blanks] | "Name"   (']]' and '""' stand for the closer)
// Numbers use '.' as decimal separator, may carry a sign and an exponent (-1.5E3). Plain
// names are letters, digits, '_' and '.' (nested fields), not starting with a digit; a
// field named like a keyword must be bracketed. No arithmetic, no functions.
//
// Literals are converted to the kind of the field they meet, once, at parse time:
//   - numbers compare numerically across integer, float, currency and BCD fields; a quoted
//     number ('12') is accepted too;
//   - date kinds take a quoted date, time or date-time in the settings' formats (StrToDate,
//     StrToTime, StrToDateTime with the settings passed) or ISO "yyyy-mm-dd[ hh:nn[:ss]]"
//     (also with 'T' between date and time), or a plain number as a TDateTime serial;
//   - boolean fields take TRUE/FALSE, 'True'/'False' or a number (nonzero is true);
//   - text fields take any literal (numbers by their text as written, TRUE as 'True').
// Two fields compare when both are text, both boolean, or both numeric or dates.
//
// Null rules are SQL's three-valued logic: a comparison, LIKE or IN with a null field is
// UNKNOWN; NOT UNKNOWN is UNKNOWN; FALSE AND UNKNOWN is FALSE, TRUE OR UNKNOWN is TRUE. A
// record is accepted only when the whole expression is TRUE, so with X null both "X = 1"
// and "NOT (X = 1)" reject it. "IS NULL", "= NULL" (either side) test for null and are
// never UNKNOWN; "<> NULL" and "!=" NULL mean IS NOT NULL. Ordering against NULL
// ("X < NULL") is UNKNOWN. An IN list containing NULL gives UNKNOWN instead of FALSE when
// nothing else matches (so NOT IN (1, NULL) accepts no record).
//
// Strings compare by UTF-16 code unit, case-sensitively unless foCaseInsensitive.
// Partial compare: unless foNoPartialCompare, "Name = 'Ab*'" on a text field is true for
// values starting with "Ab" and "Name <> 'Ab*'" for the others; the '*' must be last.
// LIKE: '%' matches any text, '_' exactly one UTF-16 code unit (a character outside the
// BMP counts as two); after ESCAPE 'c', "c%", "c_" and "cc" stand for the character
// itself, and c before anything else is an error. There is no default escape character.
//
// Errors raise EDatabaseError, message texts in FilterConsts: an unknown field gives
// SFilterFieldNotFound; everything else (syntax, a literal the field cannot take, two
// fields or values that cannot be compared) gives SFilterError with the 1-based position
// of the offending token (length + 1 at the end of the text) and one of the detail texts.
//
// A blank text makes an empty expression that accepts every record. The tree is immutable
// after parsing: copies share it, and Evaluate may run on several threads at once.
class TFilterExpression {
public:
    TFilterExpression();
    // Parses text; raises EDatabaseError as described above. resolver and settings are
    // used only during the call.
    TFilterExpression(StringView text, TFilterOptions options, const TFilterFieldResolver& resolver,
                      const TFormatSettings& settings = FormatSettings());

    // True when record satisfies the expression (UNKNOWN counts as false). Reads each
    // field through the reader of its kind; allocates nothing unless a reader does.
    bool Evaluate(const TFilterRecord& record) const;

    const String& Text() const { return FText; }
    TFilterOptions Options() const { return FOptions; }
    // True for a blank text: Evaluate accepts everything.
    bool IsEmpty() const { return FTree == nullptr; }

private:
    String FText;
    TFilterOptions FOptions;
    std::shared_ptr<const TFilterTree> FTree;
};

// Message texts, replaceable like SysConst's. SFilterError is "...at position %d: %s in
// \"%s\"" with one of the detail texts below it.
namespace FilterConsts {
extern String SFilterError;                // "Filter expression error at position %d: %s in \"%s\""
extern String SFilterFieldNotFound;        // "Field '%s' not found in filter expression \"%s\""
extern String SFilterUnterminatedString;   // "unterminated string"
extern String SFilterUnterminatedName;     // "missing closing '%s'"
extern String SFilterUnexpectedChar;       // "unexpected character '%s'"
extern String SFilterInvalidNumber;        // "invalid number '%s'"
extern String SFilterExpectedOperand;      // "expected a field name or a value"
extern String SFilterExpectedRelation;     // "expected a comparison operator"
extern String SFilterExpectedCloseParen;   // "expected ')'"
extern String SFilterExpectedOpenParen;    // "expected '('"
extern String SFilterExpectedCommaOrParen; // "expected ',' or ')'"
extern String SFilterExpectedValue;        // "expected a value"
extern String SFilterExpectedEnd;          // "expected AND, OR or the end of the expression"
extern String SFilterExpectedNull;         // "expected NULL"
extern String SFilterExpectedLikeOrIn;     // "expected LIKE or IN after NOT"
extern String SFilterExpectedPattern;      // "expected a quoted pattern after LIKE"
extern String SFilterInvalidEscapeChar;    // "ESCAPE needs a single character"
extern String SFilterInvalidEscape;        // "'%s' in a pattern must be followed by '%%', '_' or itself"
extern String SFilterNeedsField;           // "%s needs a field on its left"
extern String SFilterInvalidValue;         // "'%s' is not a valid value for field '%s'"
extern String SFilterFieldsMismatch;       // "fields '%s' and '%s' cannot be compared"
extern String SFilterValuesMismatch;       // "%s cannot be compared with %s"
extern String SFilterTooDeep;              // "expression nested too deeply"
} // namespace FilterConsts

} // namespace mv
