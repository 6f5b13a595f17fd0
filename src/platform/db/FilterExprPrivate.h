// The parsed form of a filter expression, shared by FilterParser.cpp and FilterEval.cpp.
// Not public API: use TFilterExpression from FilterExpr.h.
#pragma once

#include "platform/db/FilterExpr.h"
#include "platform/rtl/Bcd.h"
#include "platform/rtl/StrUtils.h"

#include <vector>

namespace mv {

// SQL's three truth values; UNKNOWN comes from null operands.
enum class TTruth : Byte { False, True, Unknown };

enum class TFilterNodeKind : Byte {
    Constant,       // Truth
    And,            // children Children[A .. A + B)
    Or,             //   "
    Not,            // child A
    IsNull,         // field A; Negate for IS NOT NULL
    BoolField,      // field A used as a predicate
    CompareLiteral, // field A (LeftKind) Relation Constants[B], read in Domain
    CompareFields,  // field A (LeftKind) Relation field B (RightKind), both read in Domain
    Prefix,         // text field A starts with Constants[B].Str; Negate for "<>"
    Like,           // field A's text matches Patterns[B]; Negate for NOT LIKE
    In,             // field A equals one of Lists[B], read in Domain; Negate for NOT IN
};

enum class TFilterRelation : Byte { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };

// What both sides of a comparison are read as. Dates and times compare as Float.
enum class TFilterDomain : Byte { String, Int64, Float, Currency, Bcd, Boolean };

// A literal converted to its domain: only the member of that domain is meaningful
// (Int holds Currency's Scaled for Currency and 0/1 for Boolean).
struct TFilterConstant {
    String Str;
    Int64 Int = 0;
    double Float = 0;
    TBcd Bcd{};
};

// Text between two '%' of a LIKE pattern; AnyChar marks '_' positions and is empty when
// the part has none. Chars are case-folded when the expression ignores case.
struct TLikePart {
    String Chars;
    std::vector<bool> AnyChar;
};

// Parts.size() is the number of '%' plus one: the first part is anchored at the start of
// the text, the last at its end, the ones between float (matched leftmost, which is
// enough because each part has a fixed length).
struct TLikePattern {
    std::vector<TLikePart> Parts;
};

struct TFilterInList {
    std::vector<TFilterConstant> Items;
    bool HasNull = false; // NULL in the list: no match gives UNKNOWN
};

struct TFilterNode {
    TFilterNodeKind Kind = TFilterNodeKind::Constant;
    TFilterRelation Relation = TFilterRelation::Equal;
    TFilterDomain Domain = TFilterDomain::String;
    TTruth Truth = TTruth::Unknown;
    bool Negate = false;
    TFilterValueKind LeftKind = fvOther;
    TFilterValueKind RightKind = fvOther;
    Integer A = -1;
    Integer B = -1;
};

struct TFilterTree {
    std::vector<TFilterNode> Nodes;
    std::vector<Integer> Children; // node indexes of And/Or operands
    std::vector<TFilterConstant> Constants;
    std::vector<TLikePattern> Patterns;
    std::vector<TFilterInList> Lists;
    Integer Root = -1;
    bool CaseInsensitive = false;
};

// The case-insensitive key: the same as AnsiCompareText's, with ASCII mapped inline
// because LIKE folds every character of every record it scans.
inline Char FoldChar(Char c) {
    if (c < 0x80) return c >= u'A' && c <= u'Z' ? static_cast<Char>(c + (u'a' - u'A')) : c;
    return CharLower(CharUpper(c));
}

inline TTruth TruthOf(bool b) {
    return b ? TTruth::True : TTruth::False;
}

// c is the sign of a three-way comparison of the left side with the right.
inline TTruth TestRelation(TFilterRelation r, int c) {
    switch (r) {
    case TFilterRelation::Equal:
        return TruthOf(c == 0);
    case TFilterRelation::NotEqual:
        return TruthOf(c != 0);
    case TFilterRelation::Less:
        return TruthOf(c < 0);
    case TFilterRelation::LessEqual:
        return TruthOf(c <= 0);
    case TFilterRelation::Greater:
        return TruthOf(c > 0);
    case TFilterRelation::GreaterEqual:
        return TruthOf(c >= 0);
    }
    return TTruth::Unknown;
}

template <typename T> int CompareValues(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// Parses text (not blank) into tree; raises EDatabaseError.
void ParseFilter(StringView text, TFilterOptions options, const TFilterFieldResolver& resolver,
                 const TFormatSettings& settings, TFilterTree& tree);

TTruth EvaluateFilterNode(const TFilterTree& tree, Integer node, const TFilterRecord& record);

} // namespace mv
