// The text form format's tokenizer, its number and string spellings, and the
// convenience functions that write a component to text and read it back.
#include "platform/rtl/Filer.h"

#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/TextFormPrivate.h"

#include <charconv>
#include <cmath>

namespace mv {

namespace {

bool IsIdentStart(Char c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
}

bool IsIdentChar(Char c) {
    return IsIdentStart(c) || (c >= u'0' && c <= u'9');
}

bool IsDigit(Char c) {
    return c >= u'0' && c <= u'9';
}

int HexValue(Char c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return -1;
}

bool IsHighSurrogate(Char c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(Char c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

void AppendCodePoint(String& s, UInt64 cp) {
    if (cp < 0x10000) {
        s += static_cast<Char>(cp);
        return;
    }
    cp -= 0x10000;
    s += static_cast<Char>(0xD800 + (cp >> 10));
    s += static_cast<Char>(0xDC00 + (cp & 0x3FF));
}

} // namespace

namespace detail {

// [SECTION] Numbers and strings

bool TryFloatToText(double value, String& text) {
    if (!std::isfinite(value)) return false;
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string s(buffer, result.ptr);
    for (char& c : s)
        if (c == 'e') c = 'E';
    if (s.find_first_of(".E") == std::string::npos) s += ".0";
    text.assign(s.begin(), s.end());
    return true;
}

String FloatToText(double value) {
    String text;
    if (TryFloatToText(value, text)) return text;
    if (std::isnan(value)) return u"NAN";
    return value < 0 ? u"-INF" : u"INF";
}

bool TextToFloat(StringView text, double& value) {
    std::string ascii;
    for (Char c : text) {
        if (!(IsDigit(c) || c == u'.' || c == u'-' || c == u'+' || c == u'e' || c == u'E')) return false;
        ascii += static_cast<char>(c);
    }
    if (ascii.empty()) return false;
    auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    return result.ec == std::errc() && result.ptr == ascii.data() + ascii.size();
}

String QuoteFormString(StringView value) {
    String out;
    bool quoted = false;
    auto openQuote = [&] {
        if (!quoted) out += u'\'';
        quoted = true;
    };
    for (size_t i = 0; i < value.size(); ++i) {
        Char c = value[i];
        bool pair = IsHighSurrogate(c) && i + 1 < value.size() && IsLowSurrogate(value[i + 1]);
        bool printable = (c >= 0x20 && c < 0x7F) || (c >= 0xA0 && !IsHighSurrogate(c) && !IsLowSurrogate(c));
        if (pair) {
            openQuote();
            out += c;
            out += value[++i];
        } else if (printable) {
            openQuote();
            if (c == u'\'') out += u'\'';
            out += c;
        } else {
            if (quoted) out += u'\'';
            quoted = false;
            out += u'#' + IntToStr(c);
        }
    }
    if (quoted) out += u'\'';
    if (out.empty()) out = u"''";
    return out;
}

// [SECTION] TTextParser

TTextParser::TTextParser(String text) : FText(std::move(text)) {
    if (!FText.empty() && FText.front() == 0xFEFF) FPos = 1;
    Next();
}

bool TTextParser::IsSymbol(StringView word) const {
    return FToken == toSymbol && SameText(FTokenString, word);
}

void TTextParser::Error(StringView message) const {
    throw EReadError(Format(SysConst::SParseError, {message, FTokenLine}));
}

void TTextParser::SkipBlanks() {
    while (FPos < FText.size() && FText[FPos] <= u' ') {
        if (FText[FPos] == u'\n') ++FLine;
        ++FPos;
    }
}

void TTextParser::Next() {
    SkipBlanks();
    FTokenLine = FLine;
    FTokenString.clear();
    FTokenChar = 0;
    if (FPos >= FText.size()) {
        FToken = toEOF;
        return;
    }
    Char c = FText[FPos];
    if (IsIdentStart(c)) {
        size_t start = FPos;
        while (FPos < FText.size() && (IsIdentChar(FText[FPos]) || FText[FPos] == u'.'))
            ++FPos;
        FTokenString = FText.substr(start, FPos - start);
        FToken = toSymbol;
        return;
    }
    if (c == u'\'' || c == u'#') {
        ScanString();
        return;
    }
    bool signedNumber =
        c == u'-' && FPos + 1 < FText.size() && (IsDigit(FText[FPos + 1]) || FText[FPos + 1] == u'$');
    if (IsDigit(c) || c == u'$' || signedNumber) {
        ScanNumber();
        return;
    }
    FToken = toChar;
    FTokenChar = c;
    ++FPos;
}

void TTextParser::ScanString() {
    String value;
    while (true) {
        if (FPos < FText.size() && FText[FPos] == u'\'') {
            ++FPos;
            while (true) {
                if (FPos >= FText.size() || FText[FPos] == u'\n' || FText[FPos] == u'\r')
                    Error(SysConst::SInvalidString);
                Char ch = FText[FPos++];
                if (ch != u'\'') {
                    value += ch;
                    continue;
                }
                if (FPos < FText.size() && FText[FPos] == u'\'') {
                    value += u'\'';
                    ++FPos;
                    continue;
                }
                break;
            }
            continue;
        }
        if (FPos < FText.size() && FText[FPos] == u'#') {
            ++FPos;
            bool hex = FPos < FText.size() && FText[FPos] == u'$';
            if (hex) ++FPos;
            UInt64 code = 0;
            int digits = 0;
            while (FPos < FText.size()) {
                int d = hex ? HexValue(FText[FPos]) : (IsDigit(FText[FPos]) ? FText[FPos] - u'0' : -1);
                if (d < 0) break;
                code = code * (hex ? 16 : 10) + static_cast<UInt64>(d);
                if (code > 0x10FFFF) Error(SysConst::SInvalidString);
                ++digits;
                ++FPos;
            }
            if (digits == 0) Error(SysConst::SInvalidString);
            AppendCodePoint(value, code);
            continue;
        }
        // Pieces are joined by '+', possibly across lines.
        size_t savedPos = FPos;
        Integer savedLine = FLine;
        SkipBlanks();
        if (FPos < FText.size() && FText[FPos] == u'+') {
            ++FPos;
            SkipBlanks();
            if (FPos < FText.size() && (FText[FPos] == u'\'' || FText[FPos] == u'#')) continue;
            Error(SysConst::SInvalidString);
        }
        FPos = savedPos;
        FLine = savedLine;
        break;
    }
    FToken = toString;
    FTokenString = std::move(value);
}

void TTextParser::ScanNumber() {
    size_t start = FPos;
    bool negative = FText[FPos] == u'-';
    if (negative) ++FPos;
    auto invalid = [&] {
        size_t end = FPos;
        while (end < FText.size() && IsIdentChar(FText[end]) && end - start < 40)
            ++end;
        Error(Format(SysConst::SInvalidNumber, {FText.substr(start, end - start)}));
    };
    if (FText[FPos] == u'$') {
        ++FPos;
        UInt64 value = 0;
        int digits = 0;
        while (FPos < FText.size() && HexValue(FText[FPos]) >= 0) {
            if (++digits > 16) invalid();
            value = value * 16 + static_cast<UInt64>(HexValue(FText[FPos++]));
        }
        if (digits == 0 || (FPos < FText.size() && IsIdentChar(FText[FPos]))) invalid();
        FTokenInt = static_cast<Int64>(value);
        if (negative) FTokenInt = static_cast<Int64>(0 - value);
        FToken = toInteger;
        FTokenString = FText.substr(start, FPos - start);
        return;
    }
    while (FPos < FText.size() && IsDigit(FText[FPos]))
        ++FPos;
    bool isFloat = false;
    if (FPos < FText.size() && FText[FPos] == u'.') {
        ++FPos;
        if (FPos >= FText.size() || !IsDigit(FText[FPos])) invalid();
        while (FPos < FText.size() && IsDigit(FText[FPos]))
            ++FPos;
        isFloat = true;
    }
    if (FPos < FText.size() && (FText[FPos] == u'e' || FText[FPos] == u'E')) {
        ++FPos;
        if (FPos < FText.size() && (FText[FPos] == u'+' || FText[FPos] == u'-')) ++FPos;
        if (FPos >= FText.size() || !IsDigit(FText[FPos])) invalid();
        while (FPos < FText.size() && IsDigit(FText[FPos]))
            ++FPos;
        isFloat = true;
    }
    FTokenString = FText.substr(start, FPos - start);
    // The framework marks single, currency and date floats with a letter.
    if (isFloat && FPos < FText.size() && StringView(u"sScCdD").find(FText[FPos]) != StringView::npos) ++FPos;
    if (FPos < FText.size() && IsIdentChar(FText[FPos])) invalid();
    if (isFloat) {
        if (!TextToFloat(FTokenString, FTokenFloat) || !std::isfinite(FTokenFloat)) invalid();
        FToken = toFloat;
        return;
    }
    if (!TryStrToInt64(FTokenString, FTokenInt)) invalid();
    FToken = toInteger;
}

void TTextParser::ExpectChar(Char c) {
    if (!IsChar(c)) {
        if (FToken == toEOF) Error(SysConst::SUnexpectedEnd);
        Error(Format(SysConst::SSymbolExpected, {u"'" + String(1, c) + u"'"}));
    }
    Next();
}

String TTextParser::ExpectSymbol() {
    if (FToken != toSymbol) {
        if (FToken == toEOF) Error(SysConst::SUnexpectedEnd);
        Error(SysConst::SIdentifierExpected);
    }
    String s = FTokenString;
    Next();
    return s;
}

std::vector<Byte> TTextParser::ReadHexUntilBrace() {
    std::vector<Byte> bytes;
    int high = -1;
    while (true) {
        SkipBlanks();
        if (FPos >= FText.size()) {
            FTokenLine = FLine;
            Error(SysConst::SUnexpectedEnd);
        }
        Char c = FText[FPos++];
        if (c == u'}') break;
        int d = HexValue(c);
        if (d < 0) {
            FTokenLine = FLine;
            Error(SysConst::SInvalidBinary);
        }
        if (high < 0) {
            high = d;
        } else {
            bytes.push_back(static_cast<Byte>(high * 16 + d));
            high = -1;
        }
    }
    if (high >= 0) {
        FTokenLine = FLine;
        Error(SysConst::SInvalidBinary);
    }
    Next();
    return bytes;
}

} // namespace detail

// [SECTION] Convenience

String ComponentToText(TComponent* component, TComponent* ancestor) {
    TStringStream stream;
    WriteComponentText(stream, component, ancestor);
    return stream.DataString();
}

TComponent* TextToComponent(StringView text, TComponent* instance, TComponent* owner) {
    TReader reader(text);
    return reader.ReadRootComponent(instance, owner);
}

void WriteComponentText(TStream& stream, TComponent* component, TComponent* ancestor) {
    TWriter writer(stream);
    writer.WriteDescendent(component, ancestor);
}

TComponent* ReadComponentText(TStream& stream, TComponent* instance, TComponent* owner) {
    TReader reader(stream);
    return reader.ReadRootComponent(instance, owner);
}

} // namespace mv
