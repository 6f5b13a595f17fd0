// TFilterExpression, the variant-based default readers of TFilterRecord and the message
// texts. Parsing is in FilterParser.cpp, evaluation in FilterEval.cpp.
#include "platform/db/FilterExpr.h"

#include "platform/db/FilterExprPrivate.h"
#include "platform/rtl/Bcd.h"

namespace mv {

namespace FilterConsts {
String SFilterError = u"Filter expression error at position %d: %s in \"%s\"";
String SFilterFieldNotFound = u"Field '%s' not found in filter expression \"%s\"";
String SFilterUnterminatedString = u"unterminated string";
String SFilterUnterminatedName = u"missing closing '%s'";
String SFilterUnexpectedChar = u"unexpected character '%s'";
String SFilterInvalidNumber = u"invalid number '%s'";
String SFilterExpectedOperand = u"expected a field name or a value";
String SFilterExpectedRelation = u"expected a comparison operator";
String SFilterExpectedCloseParen = u"expected ')'";
String SFilterExpectedOpenParen = u"expected '('";
String SFilterExpectedCommaOrParen = u"expected ',' or ')'";
String SFilterExpectedValue = u"expected a value";
String SFilterExpectedEnd = u"expected AND, OR or the end of the expression";
String SFilterExpectedNull = u"expected NULL";
String SFilterExpectedLikeOrIn = u"expected LIKE or IN after NOT";
String SFilterExpectedPattern = u"expected a quoted pattern after LIKE";
String SFilterInvalidEscapeChar = u"ESCAPE needs a single character";
String SFilterInvalidEscape = u"'%s' in a pattern must be followed by '%%', '_' or itself";
String SFilterNeedsField = u"%s needs a field on its left";
String SFilterInvalidValue = u"'%s' is not a valid value for field '%s'";
String SFilterFieldsMismatch = u"fields '%s' and '%s' cannot be compared";
String SFilterValuesMismatch = u"%s cannot be compared with %s";
String SFilterTooDeep = u"expression nested too deeply";
} // namespace FilterConsts

namespace {

bool IsNullValue(const Variant& v) {
    return VarIsNull(v) || VarIsEmpty(v);
}

} // namespace

// [SECTION] TFilterRecord: readers built on FieldValue

bool TFilterRecord::IsNull(Integer index) const {
    return IsNullValue(FieldValue(index));
}

bool TFilterRecord::GetString(Integer index, StringView& value, String& scratch) const {
    const Variant v = FieldValue(index);
    if (IsNullValue(v)) return false;
    scratch = VarToStr(v);
    value = scratch;
    return true;
}

bool TFilterRecord::GetInteger(Integer index, Int64& value) const {
    const Variant v = FieldValue(index);
    if (IsNullValue(v)) return false;
    value = v.AsInt64();
    return true;
}

bool TFilterRecord::GetFloat(Integer index, double& value) const {
    const Variant v = FieldValue(index);
    if (IsNullValue(v)) return false;
    value = v.AsDouble();
    return true;
}

bool TFilterRecord::GetCurrency(Integer index, Currency& value) const {
    const Variant v = FieldValue(index);
    if (IsNullValue(v)) return false;
    value = v.AsCurrency();
    return true;
}

bool TFilterRecord::GetBcd(Integer index, TBcd& value) const {
    const Variant v = FieldValue(index);
    if (IsNullValue(v)) return false;
    value = VarToBcd(v);
    return true;
}

bool TFilterRecord::GetBoolean(Integer index, bool& value) const {
    const Variant v = FieldValue(index);
    if (IsNullValue(v)) return false;
    value = v.AsBoolean();
    return true;
}

// [SECTION] TFilterExpression

TFilterExpression::TFilterExpression() = default;

TFilterExpression::TFilterExpression(StringView text, TFilterOptions options,
                                     const TFilterFieldResolver& resolver, const TFormatSettings& settings)
    : FText(text), FOptions(options) {
    if (Trim(text).empty()) return;
    auto tree = std::make_shared<TFilterTree>();
    ParseFilter(FText, options, resolver, settings, *tree);
    FTree = std::move(tree);
}

bool TFilterExpression::Evaluate(const TFilterRecord& record) const {
    if (!FTree) return true;
    return EvaluateFilterNode(*FTree, FTree->Root, record) == TTruth::True;
}

} // namespace mv
