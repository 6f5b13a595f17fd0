// Evaluation of a parsed filter tree against one record: SQL's three-valued logic, field
// reads in the comparison's domain, and LIKE matching. It runs for every record a filtered
// data set fetches, so it converts no literal and allocates nothing unless a record's
// reader does (bench/FilterExprBench.cpp measures it against SQLite).
#include "platform/db/FilterExprPrivate.h"

namespace mv {

namespace {

constexpr size_t npos = StringView::npos;

// [SECTION] Field reads in a domain

bool ReadFloat(const TFilterRecord& record, Integer field, TFilterValueKind kind, double& value) {
    switch (kind) {
    case fvInteger: {
        Int64 i;
        if (!record.GetInteger(field, i)) return false;
        value = static_cast<double>(i);
        return true;
    }
    case fvCurrency: {
        Currency c;
        if (!record.GetCurrency(field, c)) return false;
        value = c.ToDouble();
        return true;
    }
    case fvBcd: {
        TBcd b;
        if (!record.GetBcd(field, b)) return false;
        value = BcdToDouble(b);
        return true;
    }
    default:
        return record.GetFloat(field, value);
    }
}

bool ReadCurrency(const TFilterRecord& record, Integer field, TFilterValueKind kind, Currency& value) {
    if (kind != fvInteger) return record.GetCurrency(field, value);
    Int64 i;
    if (!record.GetInteger(field, i)) return false;
    value = Currency::FromInt(i);
    return true;
}

bool ReadBcd(const TFilterRecord& record, Integer field, TFilterValueKind kind, TBcd& value) {
    switch (kind) {
    case fvInteger: {
        Int64 i;
        if (!record.GetInteger(field, i)) return false;
        value = IntegerToBcd(i);
        return true;
    }
    case fvCurrency: {
        Currency c;
        if (!record.GetCurrency(field, c)) return false;
        value = CurrencyToBcd(c);
        return true;
    }
    case fvBcd:
        return record.GetBcd(field, value);
    default: {
        double d;
        if (!record.GetFloat(field, d)) return false;
        value = DoubleToBcd(d);
        return true;
    }
    }
}

int CompareStrings(bool caseInsensitive, StringView a, StringView b) {
    return caseInsensitive ? AnsiCompareText(a, b) : AnsiCompareStr(a, b);
}

bool SameStrings(bool caseInsensitive, StringView a, StringView b) {
    return caseInsensitive ? AnsiSameText(a, b) : a == b;
}

// [SECTION] LIKE

template <bool CaseInsensitive> Char MatchKey(Char c) {
    if constexpr (CaseInsensitive)
        return FoldChar(c);
    else
        return c;
}

// Whether part matches s at pos; the caller has checked that it fits.
template <bool CI> bool PartMatchesAt(const TLikePart& part, StringView s, size_t pos) {
    const Char* text = s.data() + pos;
    const size_t n = part.Chars.size();
    if (part.AnyChar.empty()) {
        for (size_t i = 0; i < n; ++i)
            if (MatchKey<CI>(text[i]) != part.Chars[i]) return false;
        return true;
    }
    for (size_t i = 0; i < n; ++i)
        if (!part.AnyChar[i] && MatchKey<CI>(text[i]) != part.Chars[i]) return false;
    return true;
}

// Leftmost position at or after from where part matches and ends by limit; npos if none.
template <bool CI> size_t FindPart(const TLikePart& part, StringView s, size_t from, size_t limit) {
    const size_t n = part.Chars.size();
    if (limit < from || limit - from < n) return npos;
    if (part.AnyChar.empty()) {
        if constexpr (!CI) return s.substr(0, limit).find(part.Chars, from);
        // Scan for the first character before comparing the rest: most positions fail there.
        const Char first = part.Chars[0];
        for (size_t i = from; i + n <= limit; ++i)
            if (MatchKey<CI>(s[i]) == first && PartMatchesAt<CI>(part, s, i)) return i;
        return npos;
    }
    for (size_t i = from; i + n <= limit; ++i)
        if (PartMatchesAt<CI>(part, s, i)) return i;
    return npos;
}

template <bool CI> bool MatchLike(const TLikePattern& pattern, StringView s) {
    const std::vector<TLikePart>& parts = pattern.Parts;
    const TLikePart& head = parts.front();
    if (parts.size() == 1) return s.size() == head.Chars.size() && PartMatchesAt<CI>(head, s, 0);
    const TLikePart& tail = parts.back();
    if (s.size() < head.Chars.size() + tail.Chars.size()) return false;
    const size_t limit = s.size() - tail.Chars.size();
    if (!PartMatchesAt<CI>(head, s, 0) || !PartMatchesAt<CI>(tail, s, limit)) return false;
    size_t pos = head.Chars.size();
    for (size_t i = 1; i + 1 < parts.size(); ++i) {
        const TLikePart& part = parts[i];
        if (part.Chars.empty()) continue; // "%%"
        const size_t at = FindPart<CI>(part, s, pos, limit);
        if (at == npos) return false;
        pos = at + part.Chars.size();
    }
    return true;
}

// [SECTION] Nodes

TTruth EvaluateCompareLiteral(const TFilterTree& tree, const TFilterNode& node, const TFilterRecord& record) {
    const TFilterConstant& constant = tree.Constants[node.B];
    switch (node.Domain) {
    case TFilterDomain::String: {
        String scratch;
        StringView s;
        if (!record.GetString(node.A, s, scratch)) return TTruth::Unknown;
        if (node.Relation == TFilterRelation::Equal)
            return TruthOf(SameStrings(tree.CaseInsensitive, s, constant.Str));
        if (node.Relation == TFilterRelation::NotEqual)
            return TruthOf(!SameStrings(tree.CaseInsensitive, s, constant.Str));
        return TestRelation(node.Relation, CompareStrings(tree.CaseInsensitive, s, constant.Str));
    }
    case TFilterDomain::Int64: {
        Int64 v;
        if (!record.GetInteger(node.A, v)) return TTruth::Unknown;
        return TestRelation(node.Relation, CompareValues(v, constant.Int));
    }
    case TFilterDomain::Float: {
        double v;
        if (!ReadFloat(record, node.A, node.LeftKind, v)) return TTruth::Unknown;
        return TestRelation(node.Relation, CompareValues(v, constant.Float));
    }
    case TFilterDomain::Currency: {
        Currency v;
        if (!ReadCurrency(record, node.A, node.LeftKind, v)) return TTruth::Unknown;
        return TestRelation(node.Relation, CompareValues(v.Scaled, constant.Int));
    }
    case TFilterDomain::Bcd: {
        TBcd v;
        if (!ReadBcd(record, node.A, node.LeftKind, v)) return TTruth::Unknown;
        return TestRelation(node.Relation, BcdCompare(v, constant.Bcd));
    }
    case TFilterDomain::Boolean: {
        bool v;
        if (!record.GetBoolean(node.A, v)) return TTruth::Unknown;
        return TestRelation(node.Relation, CompareValues<Int64>(v ? 1 : 0, constant.Int));
    }
    }
    return TTruth::Unknown;
}

TTruth EvaluateCompareFields(const TFilterTree& tree, const TFilterNode& node, const TFilterRecord& record) {
    switch (node.Domain) {
    case TFilterDomain::String: {
        String leftScratch, rightScratch;
        StringView a, b;
        if (!record.GetString(node.A, a, leftScratch) || !record.GetString(node.B, b, rightScratch))
            return TTruth::Unknown;
        return TestRelation(node.Relation, CompareStrings(tree.CaseInsensitive, a, b));
    }
    case TFilterDomain::Int64: {
        Int64 a, b;
        if (!record.GetInteger(node.A, a) || !record.GetInteger(node.B, b)) return TTruth::Unknown;
        return TestRelation(node.Relation, CompareValues(a, b));
    }
    case TFilterDomain::Float: {
        double a, b;
        if (!ReadFloat(record, node.A, node.LeftKind, a) || !ReadFloat(record, node.B, node.RightKind, b))
            return TTruth::Unknown;
        return TestRelation(node.Relation, CompareValues(a, b));
    }
    case TFilterDomain::Currency: {
        Currency a, b;
        if (!ReadCurrency(record, node.A, node.LeftKind, a) ||
            !ReadCurrency(record, node.B, node.RightKind, b))
            return TTruth::Unknown;
        return TestRelation(node.Relation, CompareValues(a.Scaled, b.Scaled));
    }
    case TFilterDomain::Bcd: {
        TBcd a, b;
        if (!ReadBcd(record, node.A, node.LeftKind, a) || !ReadBcd(record, node.B, node.RightKind, b))
            return TTruth::Unknown;
        return TestRelation(node.Relation, BcdCompare(a, b));
    }
    case TFilterDomain::Boolean: {
        bool a, b;
        if (!record.GetBoolean(node.A, a) || !record.GetBoolean(node.B, b)) return TTruth::Unknown;
        return TestRelation(node.Relation, CompareValues(a, b));
    }
    }
    return TTruth::Unknown;
}

// The field's value against each item; a null field is UNKNOWN whatever the list holds.
TTruth EvaluateIn(const TFilterTree& tree, const TFilterNode& node, const TFilterRecord& record) {
    const TFilterInList& list = tree.Lists[node.B];
    bool found = false;
    switch (node.Domain) {
    case TFilterDomain::String: {
        String scratch;
        StringView s;
        if (!record.GetString(node.A, s, scratch)) return TTruth::Unknown;
        for (const TFilterConstant& item : list.Items)
            if ((found = SameStrings(tree.CaseInsensitive, s, item.Str))) break;
        break;
    }
    case TFilterDomain::Int64: {
        Int64 v;
        if (!record.GetInteger(node.A, v)) return TTruth::Unknown;
        for (const TFilterConstant& item : list.Items)
            if ((found = v == item.Int)) break;
        break;
    }
    case TFilterDomain::Float: {
        double v;
        if (!ReadFloat(record, node.A, node.LeftKind, v)) return TTruth::Unknown;
        for (const TFilterConstant& item : list.Items)
            if ((found = v == item.Float)) break;
        break;
    }
    case TFilterDomain::Currency: {
        Currency v;
        if (!ReadCurrency(record, node.A, node.LeftKind, v)) return TTruth::Unknown;
        for (const TFilterConstant& item : list.Items)
            if ((found = v.Scaled == item.Int)) break;
        break;
    }
    case TFilterDomain::Bcd: {
        TBcd v;
        if (!ReadBcd(record, node.A, node.LeftKind, v)) return TTruth::Unknown;
        for (const TFilterConstant& item : list.Items)
            if ((found = BcdCompare(v, item.Bcd) == 0)) break;
        break;
    }
    case TFilterDomain::Boolean: {
        bool v;
        if (!record.GetBoolean(node.A, v)) return TTruth::Unknown;
        for (const TFilterConstant& item : list.Items)
            if ((found = (v ? 1 : 0) == item.Int)) break;
        break;
    }
    }
    if (found) return TruthOf(!node.Negate);
    // x IN (1, NULL) with x = 2 might have matched the unknown value: UNKNOWN, not FALSE.
    if (list.HasNull) return TTruth::Unknown;
    return TruthOf(node.Negate);
}

TTruth Negated(TTruth t) {
    if (t == TTruth::Unknown) return t;
    return t == TTruth::True ? TTruth::False : TTruth::True;
}

} // namespace

TTruth EvaluateFilterNode(const TFilterTree& tree, Integer index, const TFilterRecord& record) {
    const TFilterNode& node = tree.Nodes[index];
    switch (node.Kind) {
    case TFilterNodeKind::Constant:
        return node.Truth;
    case TFilterNodeKind::And:
    case TFilterNodeKind::Or: {
        // FALSE decides an AND and TRUE an OR whatever else is UNKNOWN.
        const TTruth decisive = node.Kind == TFilterNodeKind::And ? TTruth::False : TTruth::True;
        bool unknown = false;
        for (Integer i = node.A; i < node.A + node.B; ++i) {
            const TTruth t = EvaluateFilterNode(tree, tree.Children[i], record);
            if (t == decisive) return decisive;
            unknown = unknown || t == TTruth::Unknown;
        }
        return unknown ? TTruth::Unknown : Negated(decisive);
    }
    case TFilterNodeKind::Not:
        return Negated(EvaluateFilterNode(tree, node.A, record));
    case TFilterNodeKind::IsNull:
        return TruthOf(record.IsNull(node.A) != node.Negate);
    case TFilterNodeKind::BoolField: {
        bool v;
        if (!record.GetBoolean(node.A, v)) return TTruth::Unknown;
        return TruthOf(v);
    }
    case TFilterNodeKind::CompareLiteral:
        return EvaluateCompareLiteral(tree, node, record);
    case TFilterNodeKind::CompareFields:
        return EvaluateCompareFields(tree, node, record);
    case TFilterNodeKind::Prefix: {
        String scratch;
        StringView s;
        if (!record.GetString(node.A, s, scratch)) return TTruth::Unknown;
        const String& prefix = tree.Constants[node.B].Str;
        const bool starts = tree.CaseInsensitive ? StartsText(prefix, s) : StartsStr(prefix, s);
        return TruthOf(starts != node.Negate);
    }
    case TFilterNodeKind::Like: {
        String scratch;
        StringView s;
        if (!record.GetString(node.A, s, scratch)) return TTruth::Unknown;
        const TLikePattern& pattern = tree.Patterns[node.B];
        const bool matches =
            tree.CaseInsensitive ? MatchLike<true>(pattern, s) : MatchLike<false>(pattern, s);
        return TruthOf(matches != node.Negate);
    }
    case TFilterNodeKind::In:
        return EvaluateIn(tree, node, record);
    }
    return TTruth::Unknown;
}

} // namespace mv
