// Filter-expression parser: tokens, the recursive-descent grammar documented in
// FilterExpr.h, and the parse-time conversion of literals to the kinds of the fields
// they meet, so that evaluation never converts.
//
// [SECTION] Literal conversion   DomainFor, WiderDomain, ConvertLiteral, TryParseIsoDateTime
// [SECTION] Lexer                TFilterParser::Advance, LexNumber, LexQuoted, LexIdentifier
// [SECTION] Grammar              ParseOr, ParseAnd, ParseNot, ParsePrimary, ParsePredicate
// [SECTION] Predicates           BuildComparison, BuildLike, BuildIn, CompileLikePattern
#include "platform/db/FilterExprPrivate.h"

#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace mv {

using namespace FilterConsts;

namespace {

// Parentheses and NOTs deeper than this are refused rather than risking the stack.
constexpr Integer kMaxNesting = 200;

enum class TTokenKind : Byte { End, Ident, Name, String, Number, LParen, RParen, Comma, Relation };

enum class TKeyword : Byte { None, And, Or, Not, Like, In, Is, Null, True, False, Escape };

struct TToken {
    TTokenKind Kind = TTokenKind::End;
    TKeyword Keyword = TKeyword::None;
    TFilterRelation Relation = TFilterRelation::Equal;
    Integer Pos = 0;         // 1-based
    StringView Source;       // the token as written
    String Value;            // name or string without quotes; a number's text
    bool IsIntegral = false; // a number without '.' or exponent that fits Int64
    Int64 Int = 0;
    double Float = 0;
};

// What stands on one side of a comparison.
struct TOperand {
    enum TKind : Byte { Field, Quoted, Number, Boolean, Null };
    TKind Kind = Null;
    Integer Pos = 0;
    StringView Source;
    String Text; // field name, string value or number text
    Integer FieldIndex = -1;
    TFilterValueKind FieldKind = fvOther;
    bool Bool = false;
    bool IsIntegral = false; // number without '.' or exponent that fits Int64
    Int64 Int = 0;
    double Float = 0;
};

bool IsTextKind(TFilterValueKind k) {
    return k == fvString || k == fvOther;
}
bool IsNumberKind(TFilterValueKind k) {
    return k == fvInteger || k == fvFloat || k == fvCurrency || k == fvBcd;
}
bool IsDateKind(TFilterValueKind k) {
    return k == fvDate || k == fvTime || k == fvDateTime;
}

bool IsDigit(Char c) {
    return c >= u'0' && c <= u'9';
}
bool IsIdentStart(Char c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c >= 0x80;
}
bool IsIdentChar(Char c) {
    return IsIdentStart(c) || IsDigit(c) || c == u'.';
}

TKeyword KeywordOf(StringView word) {
    static constexpr struct {
        const Char* Text;
        TKeyword Keyword;
    } kKeywords[] = {{u"AND", TKeyword::And},      {u"OR", TKeyword::Or},     {u"NOT", TKeyword::Not},
                     {u"LIKE", TKeyword::Like},    {u"IN", TKeyword::In},     {u"IS", TKeyword::Is},
                     {u"NULL", TKeyword::Null},    {u"TRUE", TKeyword::True}, {u"FALSE", TKeyword::False},
                     {u"ESCAPE", TKeyword::Escape}};
    for (const auto& k : kKeywords)
        if (SameText(word, k.Text)) return k.Keyword;
    return TKeyword::None;
}

TFilterRelation MirrorRelation(TFilterRelation r) {
    switch (r) {
    case TFilterRelation::Less:
        return TFilterRelation::Greater;
    case TFilterRelation::LessEqual:
        return TFilterRelation::GreaterEqual;
    case TFilterRelation::Greater:
        return TFilterRelation::Less;
    case TFilterRelation::GreaterEqual:
        return TFilterRelation::LessEqual;
    default:
        return r;
    }
}

// [SECTION] Literal conversion

const TFormatSettings& DotSettings() {
    static const TFormatSettings settings = TFormatSettings::English();
    return settings;
}

// A number in quotes: '.' first (what the grid writes), then the locale's separator.
bool TryTextToFloat(StringView s, const TFormatSettings& settings, double& value) {
    return TryStrToFloat(s, value, DotSettings()) || TryStrToFloat(s, value, settings);
}

// Digits of an ISO date or time field, exactly count of them.
bool ScanIsoNumber(StringView s, size_t& pos, size_t count, Word& value) {
    if (pos + count > s.size()) return false;
    value = 0;
    for (size_t i = 0; i < count; ++i) {
        if (!IsDigit(s[pos + i])) return false;
        value = static_cast<Word>(value * 10 + (s[pos + i] - u'0'));
    }
    pos += count;
    return true;
}

bool ScanIsoTime(StringView s, size_t& pos, TDateTime& time) {
    Word hour, min, sec = 0;
    if (!ScanIsoNumber(s, pos, 2, hour) || pos >= s.size() || s[pos++] != u':' ||
        !ScanIsoNumber(s, pos, 2, min))
        return false;
    if (pos < s.size() && s[pos] == u':') {
        ++pos;
        if (!ScanIsoNumber(s, pos, 2, sec)) return false;
    }
    return TryEncodeTime(hour, min, sec, 0, time);
}

// "yyyy-mm-dd[( |T)hh:nn[:ss]]" or, when timeOnly, "hh:nn[:ss]".
bool TryParseIsoDateTime(StringView s, bool timeOnly, TDateTime& value) {
    const String trimmed = Trim(s);
    s = trimmed;
    size_t pos = 0;
    if (timeOnly) return ScanIsoTime(s, pos, value) && pos == s.size();
    Word year, month, day;
    TDateTime date, time = 0;
    if (!ScanIsoNumber(s, pos, 4, year) || pos >= s.size() || s[pos++] != u'-' ||
        !ScanIsoNumber(s, pos, 2, month) || pos >= s.size() || s[pos++] != u'-' ||
        !ScanIsoNumber(s, pos, 2, day) || !TryEncodeDate(year, month, day, date))
        return false;
    if (pos < s.size()) {
        if (s[pos] != u' ' && s[pos] != u'T') return false;
        ++pos;
        if (!ScanIsoTime(s, pos, time) || pos != s.size()) return false;
    }
    value = date + time; // ISO years are positive, so the fraction adds
    return true;
}

bool TryTextToDateTime(StringView s, TFilterValueKind kind, const TFormatSettings& settings,
                       TDateTime& value) {
    switch (kind) {
    case fvTime:
        return TryStrToTime(s, value, settings) || TryParseIsoDateTime(s, true, value);
    case fvDate:
        if (TryStrToDate(s, value, settings)) return true;
        break;
    default:
        break;
    }
    return TryStrToDateTime(s, value, settings) || TryParseIsoDateTime(s, false, value);
}

bool TryLiteralToInt64(const TOperand& lit, Int64& value) {
    if (lit.Kind == TOperand::Number && lit.IsIntegral) {
        value = lit.Int;
        return true;
    }
    return lit.Kind == TOperand::Quoted && TryStrToInt64(lit.Text, value);
}

bool TryLiteralToFloat(const TOperand& lit, TFilterValueKind kind, const TFormatSettings& settings,
                       double& value) {
    if (lit.Kind == TOperand::Number) {
        value = lit.Float;
        return true;
    }
    if (lit.Kind != TOperand::Quoted) return false;
    if (IsDateKind(kind)) return TryTextToDateTime(lit.Text, kind, settings, value);
    return TryTextToFloat(lit.Text, settings, value);
}

// Only when the literal is exactly a Currency: 0.00005 against a currency field must
// not be rounded to 0.0001, so such literals compare as Float instead.
bool TryLiteralToCurrency(const TOperand& lit, const TFormatSettings& settings, Currency& value) {
    Int64 i;
    if (TryLiteralToInt64(lit, i)) {
        constexpr Int64 kLimit = std::numeric_limits<Int64>::max() / 10000;
        if (i > kLimit || i < -kLimit) return false;
        value = Currency::FromInt(i);
        return true;
    }
    double d;
    if (!TryLiteralToFloat(lit, fvFloat, settings, d) || !(std::abs(d) < 9.2e14)) return false;
    value = Currency::FromDouble(d);
    return value.ToDouble() == d;
}

bool TryLiteralToBcd(const TOperand& lit, const TFormatSettings& settings, TBcd& value) {
    if (lit.Kind == TOperand::Number) return TryStrToBcd(lit.Text, value, DotSettings());
    if (lit.Kind != TOperand::Quoted) return false;
    return TryStrToBcd(lit.Text, value, DotSettings()) || TryStrToBcd(lit.Text, value, settings);
}

bool TryLiteralToBoolean(const TOperand& lit, bool& value) {
    switch (lit.Kind) {
    case TOperand::Boolean:
        value = lit.Bool;
        return true;
    case TOperand::Number:
        value = lit.Float != 0;
        return true;
    case TOperand::Quoted:
        return TryStrToBool(Trim(lit.Text), value);
    default:
        return false;
    }
}

String LiteralText(const TOperand& lit) {
    if (lit.Kind == TOperand::Boolean) return BoolToStr(lit.Bool, true);
    return lit.Text;
}

// The domain a field of kind meets literal in; nullopt when the literal does not convert.
std::optional<TFilterDomain> DomainFor(TFilterValueKind kind, const TOperand& lit,
                                       const TFormatSettings& settings) {
    Int64 i;
    double d;
    Currency c;
    TBcd b;
    bool flag;
    switch (kind) {
    case fvString:
    case fvOther:
        return TFilterDomain::String;
    case fvInteger:
        if (TryLiteralToInt64(lit, i)) return TFilterDomain::Int64;
        if (TryLiteralToFloat(lit, kind, settings, d)) return TFilterDomain::Float;
        return std::nullopt;
    case fvCurrency:
        if (TryLiteralToCurrency(lit, settings, c)) return TFilterDomain::Currency;
        if (TryLiteralToFloat(lit, kind, settings, d)) return TFilterDomain::Float;
        return std::nullopt;
    case fvBcd:
        if (TryLiteralToBcd(lit, settings, b)) return TFilterDomain::Bcd;
        return std::nullopt;
    case fvBoolean:
        if (TryLiteralToBoolean(lit, flag)) return TFilterDomain::Boolean;
        return std::nullopt;
    case fvFloat:
    case fvDate:
    case fvTime:
    case fvDateTime:
        if (TryLiteralToFloat(lit, kind, settings, d)) return TFilterDomain::Float;
        return std::nullopt;
    }
    return std::nullopt;
}

// Integer and currency fields fall back to Float when one literal of an IN list needs it.
TFilterDomain WiderDomain(TFilterDomain a, TFilterDomain b) {
    return a == b ? a : TFilterDomain::Float;
}

bool ConvertLiteral(const TOperand& lit, TFilterValueKind kind, TFilterDomain domain,
                    const TFormatSettings& settings, TFilterConstant& out) {
    switch (domain) {
    case TFilterDomain::String:
        out.Str = LiteralText(lit);
        return true;
    case TFilterDomain::Int64:
        return TryLiteralToInt64(lit, out.Int);
    case TFilterDomain::Float:
        return TryLiteralToFloat(lit, kind, settings, out.Float);
    case TFilterDomain::Currency: {
        Currency c;
        if (!TryLiteralToCurrency(lit, settings, c)) return false;
        out.Int = c.Scaled;
        return true;
    }
    case TFilterDomain::Bcd:
        return TryLiteralToBcd(lit, settings, out.Bcd);
    case TFilterDomain::Boolean: {
        bool b;
        if (!TryLiteralToBoolean(lit, b)) return false;
        out.Int = b;
        return true;
    }
    }
    return false;
}

// The domain two fields meet in; nullopt when they cannot be compared.
std::optional<TFilterDomain> DomainForFields(TFilterValueKind a, TFilterValueKind b) {
    if (IsTextKind(a) && IsTextKind(b)) return TFilterDomain::String;
    if (a == fvBoolean && b == fvBoolean) return TFilterDomain::Boolean;
    const bool aOrdered = IsNumberKind(a) || IsDateKind(a);
    const bool bOrdered = IsNumberKind(b) || IsDateKind(b);
    if (!aOrdered || !bOrdered) return std::nullopt;
    if (a == fvInteger && b == fvInteger) return TFilterDomain::Int64;
    if (IsDateKind(a) || IsDateKind(b)) return TFilterDomain::Float;
    if (a == fvBcd || b == fvBcd) return TFilterDomain::Bcd;
    const auto isCurrencyLike = [](TFilterValueKind k) { return k == fvCurrency || k == fvInteger; };
    if (isCurrencyLike(a) && isCurrencyLike(b)) return TFilterDomain::Currency;
    return TFilterDomain::Float;
}

// [SECTION] Parser

class TFilterParser {
public:
    TFilterParser(StringView text, TFilterOptions options, const TFilterFieldResolver& resolver,
                  const TFormatSettings& settings, TFilterTree& tree)
        : FText(text), FOptions(options), FResolver(resolver), FSettings(settings), FTree(tree) {}

    void Parse() {
        FTree.CaseInsensitive = FOptions.Contains(foCaseInsensitive);
        Advance();
        FTree.Root = ParseOr();
        if (FToken.Kind != TTokenKind::End) Fail(FToken.Pos, SFilterExpectedEnd);
    }

private:
    StringView FText;
    TFilterOptions FOptions;
    const TFilterFieldResolver& FResolver;
    const TFormatSettings& FSettings;
    TFilterTree& FTree;
    size_t FPos = 0;
    TToken FToken;
    Integer FDepth = 0;

    [[noreturn]] void Fail(Integer pos, const String& detail) const {
        throw EDatabaseError(Format(SFilterError, {pos, detail, FText}));
    }

    bool IsKeyword(TKeyword k) const { return FToken.Kind == TTokenKind::Ident && FToken.Keyword == k; }

    Integer AddNode(const TFilterNode& node) {
        FTree.Nodes.push_back(node);
        return static_cast<Integer>(FTree.Nodes.size() - 1);
    }

    Integer AddConstantNode(TTruth truth) {
        TFilterNode node;
        node.Kind = TFilterNodeKind::Constant;
        node.Truth = truth;
        return AddNode(node);
    }

    // [SECTION] Lexer

    void Advance() {
        while (FPos < FText.size() && FText[FPos] <= u' ')
            ++FPos;
        FToken = TToken();
        FToken.Pos = static_cast<Integer>(FPos + 1);
        if (FPos >= FText.size()) return;
        const size_t start = FPos;
        const Char c = FText[FPos];
        const Char next = FPos + 1 < FText.size() ? FText[FPos + 1] : Char{0};
        switch (c) {
        case u'(':
        case u')':
        case u',':
            FToken.Kind = c == u'(' ? TTokenKind::LParen : c == u')' ? TTokenKind::RParen : TTokenKind::Comma;
            ++FPos;
            break;
        case u'=':
            LexRelation(TFilterRelation::Equal, 1);
            break;
        case u'<':
            if (next == u'=')
                LexRelation(TFilterRelation::LessEqual, 2);
            else if (next == u'>')
                LexRelation(TFilterRelation::NotEqual, 2);
            else
                LexRelation(TFilterRelation::Less, 1);
            break;
        case u'>':
            if (next == u'=')
                LexRelation(TFilterRelation::GreaterEqual, 2);
            else
                LexRelation(TFilterRelation::Greater, 1);
            break;
        case u'!':
            if (next != u'=') Fail(FToken.Pos, Format(SFilterUnexpectedChar, {String(1, c)}));
            LexRelation(TFilterRelation::NotEqual, 2);
            break;
        case u'\'':
            FToken.Kind = TTokenKind::String;
            LexQuoted(c, SFilterUnterminatedString);
            break;
        case u'[':
            FToken.Kind = TTokenKind::Name;
            LexQuoted(u']', Format(SFilterUnterminatedName, {String(1, u']')}));
            break;
        case u'"':
            FToken.Kind = TTokenKind::Name;
            LexQuoted(c, Format(SFilterUnterminatedName, {String(1, c)}));
            break;
        default:
            if (IsNumberStart(FPos))
                LexNumber();
            else if (IsIdentStart(c))
                LexIdentifier();
            else
                Fail(FToken.Pos, Format(SFilterUnexpectedChar, {String(1, c)}));
        }
        FToken.Source = FText.substr(start, FPos - start);
    }

    void LexRelation(TFilterRelation relation, size_t length) {
        FToken.Kind = TTokenKind::Relation;
        FToken.Relation = relation;
        FPos += length;
    }

    bool IsNumberStart(size_t pos) const {
        const auto digitAt = [this](size_t p) { return p < FText.size() && IsDigit(FText[p]); };
        if (pos < FText.size() && (FText[pos] == u'-' || FText[pos] == u'+')) ++pos;
        if (pos < FText.size() && FText[pos] == u'.') ++pos;
        return digitAt(pos);
    }

    // Text between the opener at FPos and closer; a doubled closer stands for itself.
    void LexQuoted(Char closer, const String& unterminated) {
        const Integer pos = FToken.Pos;
        ++FPos;
        for (;;) {
            if (FPos >= FText.size()) Fail(pos, unterminated);
            const Char c = FText[FPos++];
            if (c != closer) {
                FToken.Value += c;
                continue;
            }
            if (FPos < FText.size() && FText[FPos] == closer) {
                FToken.Value += c;
                ++FPos;
                continue;
            }
            return;
        }
    }

    void LexIdentifier() {
        const size_t start = FPos;
        while (FPos < FText.size() && IsIdentChar(FText[FPos]))
            ++FPos;
        FToken.Kind = TTokenKind::Ident;
        FToken.Value = String(FText.substr(start, FPos - start));
        FToken.Keyword = KeywordOf(FToken.Value);
    }

    void LexNumber() {
        const size_t start = FPos;
        const auto skipDigits = [this] {
            while (FPos < FText.size() && IsDigit(FText[FPos]))
                ++FPos;
        };
        if (FText[FPos] == u'-' || FText[FPos] == u'+') ++FPos;
        skipDigits();
        bool integral = true;
        if (FPos + 1 < FText.size() && FText[FPos] == u'.' && IsDigit(FText[FPos + 1])) {
            ++FPos;
            skipDigits();
            integral = false;
        }
        if (FPos < FText.size() && (FText[FPos] == u'e' || FText[FPos] == u'E')) {
            size_t p = FPos + 1;
            if (p < FText.size() && (FText[p] == u'-' || FText[p] == u'+')) ++p;
            if (p < FText.size() && IsDigit(FText[p])) {
                FPos = p;
                skipDigits();
                integral = false;
            }
        }
        // "12abc", "1.2.3" and "1e" are one bad number, not a number and a name.
        if (FPos < FText.size() && IsIdentChar(FText[FPos])) {
            while (FPos < FText.size() && IsIdentChar(FText[FPos]))
                ++FPos;
            Fail(FToken.Pos, Format(SFilterInvalidNumber, {FText.substr(start, FPos - start)}));
        }
        FToken.Kind = TTokenKind::Number;
        FToken.Value = String(FText.substr(start, FPos - start));
        // Only ASCII is left: narrow it for from_chars, which ignores the C locale.
        std::string narrow(FToken.Value.begin(), FToken.Value.end());
        const char* first = narrow.data() + (narrow[0] == '+' ? 1 : 0);
        const char* last = narrow.data() + narrow.size();
        FToken.IsIntegral = integral && std::from_chars(first, last, FToken.Int).ec == std::errc();
        const auto result = std::from_chars(first, last, FToken.Float);
        if (result.ec != std::errc()) Fail(FToken.Pos, Format(SFilterInvalidNumber, {FToken.Value}));
    }

    // [SECTION] Grammar

    Integer ParseOr() { return ParseChain(TKeyword::Or, TFilterNodeKind::Or); }

    Integer ParseAnd() { return ParseChain(TKeyword::And, TFilterNodeKind::And); }

    // A run of ANDs (or ORs) becomes one node, so long chains do not deepen the tree.
    Integer ParseChain(TKeyword keyword, TFilterNodeKind kind) {
        std::vector<Integer> operands;
        operands.push_back(kind == TFilterNodeKind::Or ? ParseAnd() : ParseNot());
        while (IsKeyword(keyword)) {
            Advance();
            operands.push_back(kind == TFilterNodeKind::Or ? ParseAnd() : ParseNot());
        }
        if (operands.size() == 1) return operands[0];
        TFilterNode node;
        node.Kind = kind;
        node.A = static_cast<Integer>(FTree.Children.size());
        node.B = static_cast<Integer>(operands.size());
        FTree.Children.insert(FTree.Children.end(), operands.begin(), operands.end());
        return AddNode(node);
    }

    Integer ParseNot() {
        if (!IsKeyword(TKeyword::Not)) return ParsePrimary();
        EnterNesting();
        Advance();
        TFilterNode node;
        node.Kind = TFilterNodeKind::Not;
        node.A = ParseNot();
        --FDepth;
        return AddNode(node);
    }

    Integer ParsePrimary() {
        if (FToken.Kind != TTokenKind::LParen) return ParsePredicate();
        EnterNesting();
        Advance();
        const Integer node = ParseOr();
        if (FToken.Kind != TTokenKind::RParen) Fail(FToken.Pos, SFilterExpectedCloseParen);
        Advance();
        --FDepth;
        return node;
    }

    void EnterNesting() {
        if (++FDepth > kMaxNesting) Fail(FToken.Pos, SFilterTooDeep);
    }

    Integer ParsePredicate() {
        const TOperand left = ParseOperand();
        if (FToken.Kind == TTokenKind::Relation) {
            const TFilterRelation relation = FToken.Relation;
            const Integer relationPos = FToken.Pos;
            Advance();
            const TOperand right = ParseOperand();
            return BuildComparison(left, relation, right, relationPos);
        }
        bool negate = false;
        if (IsKeyword(TKeyword::Not)) {
            negate = true;
            Advance();
            if (!IsKeyword(TKeyword::Like) && !IsKeyword(TKeyword::In))
                Fail(FToken.Pos, SFilterExpectedLikeOrIn);
        }
        if (IsKeyword(TKeyword::Like)) return BuildLike(left, negate);
        if (IsKeyword(TKeyword::In)) return BuildIn(left, negate);
        if (IsKeyword(TKeyword::Is)) return BuildIsNull(left);
        if (left.Kind == TOperand::Field && left.FieldKind == fvBoolean) {
            TFilterNode node;
            node.Kind = TFilterNodeKind::BoolField;
            node.A = left.FieldIndex;
            node.LeftKind = left.FieldKind;
            return AddNode(node);
        }
        if (left.Kind == TOperand::Boolean) return AddConstantNode(TruthOf(left.Bool));
        Fail(FToken.Pos, SFilterExpectedRelation);
    }

    TOperand ParseOperand() {
        TOperand op;
        op.Pos = FToken.Pos;
        op.Source = FToken.Source;
        switch (FToken.Kind) {
        case TTokenKind::Ident:
            if (FToken.Keyword == TKeyword::True || FToken.Keyword == TKeyword::False) {
                op.Kind = TOperand::Boolean;
                op.Bool = FToken.Keyword == TKeyword::True;
                break;
            }
            if (FToken.Keyword == TKeyword::Null) {
                op.Kind = TOperand::Null;
                break;
            }
            if (FToken.Keyword != TKeyword::None) Fail(FToken.Pos, SFilterExpectedOperand);
            [[fallthrough]];
        case TTokenKind::Name:
            op.Kind = TOperand::Field;
            op.FieldIndex = FResolver.FieldIndex(FToken.Value);
            if (op.FieldIndex < 0) throw EDatabaseError(Format(SFilterFieldNotFound, {FToken.Value, FText}));
            op.FieldKind = FResolver.FieldValueKind(op.FieldIndex);
            break;
        case TTokenKind::String:
            op.Kind = TOperand::Quoted;
            break;
        case TTokenKind::Number:
            op.Kind = TOperand::Number;
            op.IsIntegral = FToken.IsIntegral;
            op.Int = FToken.Int;
            op.Float = FToken.Float;
            break;
        default:
            Fail(FToken.Pos, SFilterExpectedOperand);
        }
        op.Text = std::move(FToken.Value);
        Advance();
        return op;
    }

    // [SECTION] Predicates

    Integer BuildComparison(TOperand left, TFilterRelation relation, TOperand right, Integer relationPos) {
        if (left.Kind != TOperand::Field && right.Kind == TOperand::Field) {
            std::swap(left, right);
            relation = MirrorRelation(relation);
        }
        if (left.Kind != TOperand::Field) return FoldLiteralComparison(left, relation, right, relationPos);
        TFilterNode node;
        node.A = left.FieldIndex;
        node.LeftKind = left.FieldKind;
        node.Relation = relation;
        if (right.Kind == TOperand::Null) {
            // "= NULL" is IS NULL and "<> NULL" IS NOT NULL; an ordering is never true.
            if (relation != TFilterRelation::Equal && relation != TFilterRelation::NotEqual)
                return AddConstantNode(TTruth::Unknown);
            node.Kind = TFilterNodeKind::IsNull;
            node.Negate = relation == TFilterRelation::NotEqual;
            return AddNode(node);
        }
        if (right.Kind == TOperand::Field) {
            const auto domain = DomainForFields(left.FieldKind, right.FieldKind);
            if (!domain) Fail(relationPos, Format(SFilterFieldsMismatch, {left.Text, right.Text}));
            node.Kind = TFilterNodeKind::CompareFields;
            node.Domain = *domain;
            node.B = right.FieldIndex;
            node.RightKind = right.FieldKind;
            return AddNode(node);
        }
        if (IsPartialCompare(left, relation, right)) {
            node.Kind = TFilterNodeKind::Prefix;
            node.Negate = relation == TFilterRelation::NotEqual;
            TFilterConstant prefix;
            prefix.Str = right.Text.substr(0, right.Text.size() - 1);
            node.B = AddConstant(std::move(prefix));
            return AddNode(node);
        }
        const auto domain = DomainFor(left.FieldKind, right, FSettings);
        if (!domain) FailInvalidValue(right, left);
        TFilterConstant constant;
        if (!ConvertLiteral(right, left.FieldKind, *domain, FSettings, constant))
            FailInvalidValue(right, left);
        node.Kind = TFilterNodeKind::CompareLiteral;
        node.Domain = *domain;
        node.B = AddConstant(std::move(constant));
        return AddNode(node);
    }

    bool IsPartialCompare(const TOperand& field, TFilterRelation relation, const TOperand& lit) const {
        return !FOptions.Contains(foNoPartialCompare) && IsTextKind(field.FieldKind) &&
               (relation == TFilterRelation::Equal || relation == TFilterRelation::NotEqual) &&
               lit.Kind == TOperand::Quoted && !lit.Text.empty() && lit.Text.back() == u'*';
    }

    [[noreturn]] void FailInvalidValue(const TOperand& lit, const TOperand& field) const {
        Fail(lit.Pos, Format(SFilterInvalidValue, {LiteralText(lit), field.Text}));
    }

    Integer AddConstant(TFilterConstant constant) {
        FTree.Constants.push_back(std::move(constant));
        return static_cast<Integer>(FTree.Constants.size() - 1);
    }

    // Two literals ("1 = 1", which generated filters like to start with) are decided now.
    Integer FoldLiteralComparison(const TOperand& left, TFilterRelation relation, const TOperand& right,
                                  Integer relationPos) {
        const bool leftNull = left.Kind == TOperand::Null;
        const bool rightNull = right.Kind == TOperand::Null;
        if (leftNull || rightNull) {
            if (relation == TFilterRelation::Equal) return AddConstantNode(TruthOf(leftNull && rightNull));
            if (relation == TFilterRelation::NotEqual) return AddConstantNode(TruthOf(leftNull != rightNull));
            return AddConstantNode(TTruth::Unknown);
        }
        int c;
        if (left.Kind == TOperand::Number && right.Kind == TOperand::Number) {
            c = left.IsIntegral && right.IsIntegral ? CompareValues(left.Int, right.Int)
                                                    : CompareValues(left.Float, right.Float);
        } else if (left.Kind == TOperand::Quoted && right.Kind == TOperand::Quoted) {
            c = FTree.CaseInsensitive ? AnsiCompareText(left.Text, right.Text)
                                      : AnsiCompareStr(left.Text, right.Text);
        } else if (left.Kind == TOperand::Boolean && right.Kind == TOperand::Boolean) {
            c = CompareValues(left.Bool, right.Bool);
        } else {
            Fail(relationPos, Format(SFilterValuesMismatch, {left.Source, right.Source}));
        }
        return AddConstantNode(TestRelation(relation, c));
    }

    Integer BuildIsNull(const TOperand& left) {
        const Integer isPos = FToken.Pos;
        Advance();
        TFilterNode node;
        node.Kind = TFilterNodeKind::IsNull;
        if (IsKeyword(TKeyword::Not)) {
            node.Negate = true;
            Advance();
        }
        if (!IsKeyword(TKeyword::Null)) Fail(FToken.Pos, SFilterExpectedNull);
        RequireField(left, u"IS", isPos);
        Advance();
        node.A = left.FieldIndex;
        node.LeftKind = left.FieldKind;
        return AddNode(node);
    }

    void RequireField(const TOperand& left, const Char* keyword, Integer pos) const {
        if (left.Kind != TOperand::Field) Fail(pos, Format(SFilterNeedsField, {keyword}));
    }

    Integer BuildLike(const TOperand& left, bool negate) {
        RequireField(left, u"LIKE", FToken.Pos);
        Advance();
        if (FToken.Kind != TTokenKind::String) Fail(FToken.Pos, SFilterExpectedPattern);
        const String pattern = std::move(FToken.Value);
        const Integer patternPos = FToken.Pos;
        Advance();
        Char escape = 0;
        if (IsKeyword(TKeyword::Escape)) {
            Advance();
            if (FToken.Kind != TTokenKind::String || FToken.Value.size() != 1)
                Fail(FToken.Pos, SFilterInvalidEscapeChar);
            escape = FToken.Value[0];
            Advance();
        }
        TFilterNode node;
        node.Kind = TFilterNodeKind::Like;
        node.Negate = negate;
        node.A = left.FieldIndex;
        node.LeftKind = left.FieldKind;
        node.B = static_cast<Integer>(FTree.Patterns.size());
        FTree.Patterns.push_back(CompileLikePattern(pattern, escape, patternPos));
        return AddNode(node);
    }

    TLikePattern CompileLikePattern(StringView pattern, Char escape, Integer patternPos) const {
        TLikePattern result;
        result.Parts.emplace_back();
        for (size_t i = 0; i < pattern.size(); ++i) {
            Char c = pattern[i];
            TLikePart& part = result.Parts.back();
            if (escape != 0 && c == escape) {
                const Char next = i + 1 < pattern.size() ? pattern[i + 1] : Char{0};
                if (next != u'%' && next != u'_' && next != escape)
                    Fail(patternPos, Format(SFilterInvalidEscape, {String(1, escape)}));
                c = next;
                ++i;
            } else if (c == u'%') {
                result.Parts.emplace_back();
                continue;
            } else if (c == u'_') {
                if (part.AnyChar.empty()) part.AnyChar.assign(part.Chars.size(), false);
                part.Chars += c;
                part.AnyChar.push_back(true);
                continue;
            }
            part.Chars += FTree.CaseInsensitive ? FoldChar(c) : c;
            if (!part.AnyChar.empty()) part.AnyChar.push_back(false);
        }
        return result;
    }

    Integer BuildIn(const TOperand& left, bool negate) {
        RequireField(left, u"IN", FToken.Pos);
        Advance();
        if (FToken.Kind != TTokenKind::LParen) Fail(FToken.Pos, SFilterExpectedOpenParen);
        Advance();
        std::vector<TOperand> items;
        for (;;) {
            if (FToken.Kind != TTokenKind::String && FToken.Kind != TTokenKind::Number &&
                !IsKeyword(TKeyword::True) && !IsKeyword(TKeyword::False) && !IsKeyword(TKeyword::Null))
                Fail(FToken.Pos, SFilterExpectedValue);
            items.push_back(ParseOperand());
            if (FToken.Kind == TTokenKind::RParen) break;
            if (FToken.Kind != TTokenKind::Comma) Fail(FToken.Pos, SFilterExpectedCommaOrParen);
            Advance();
        }
        Advance();

        TFilterInList list;
        std::optional<TFilterDomain> domain;
        for (const TOperand& item : items) {
            if (item.Kind == TOperand::Null) continue;
            const auto itemDomain = DomainFor(left.FieldKind, item, FSettings);
            if (!itemDomain) FailInvalidValue(item, left);
            domain = domain ? WiderDomain(*domain, *itemDomain) : *itemDomain;
        }
        for (const TOperand& item : items) {
            if (item.Kind == TOperand::Null) {
                list.HasNull = true;
                continue;
            }
            TFilterConstant constant;
            if (!ConvertLiteral(item, left.FieldKind, *domain, FSettings, constant))
                FailInvalidValue(item, left);
            list.Items.push_back(std::move(constant));
        }
        TFilterNode node;
        node.Kind = TFilterNodeKind::In;
        node.Negate = negate;
        node.Domain = domain.value_or(TFilterDomain::String);
        node.A = left.FieldIndex;
        node.LeftKind = left.FieldKind;
        node.B = static_cast<Integer>(FTree.Lists.size());
        FTree.Lists.push_back(std::move(list));
        return AddNode(node);
    }
};

} // namespace

void ParseFilter(StringView text, TFilterOptions options, const TFilterFieldResolver& resolver,
                 const TFormatSettings& settings, TFilterTree& tree) {
    TFilterParser(text, options, resolver, settings, tree).Parse();
}

} // namespace mv
