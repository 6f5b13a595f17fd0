// Not public API: the tokenizer of the text form format and the number and string
// spellings shared by TReader, TWriter and the by-name property texts (TextForm.cpp).
#pragma once

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/RtlTypes.h"

#include <vector>

namespace mv::detail {

// Shortest text that reads back as the same double, always with '.' or 'E' so that it
// reads as a float; false for NaN and infinities.
bool TryFloatToText(double value, String& text);
String FloatToText(double value); // "NAN"/"INF" spellings for the non-finite
bool TextToFloat(StringView text, double& value);
// One quoted piece: printable characters between quotes, the rest as #nnn.
String QuoteFormString(StringView value);

// Raised by the reader for a property error that already names the property and line,
// so that enclosing properties (collection items, sub-objects) pass it on unchanged.
class EPropertyReadError : public EReadError {
public:
    using EReadError::EReadError;
};

// Nesting limit of objects, collections and lists: deep enough for any real form,
// shallow enough that hostile text cannot exhaust the stack.
constexpr int kMaxNesting = 64;

class TTextParser {
public:
    enum TToken { toEOF, toSymbol, toString, toInteger, toFloat, toChar };

    explicit TTextParser(String text);

    TToken Token() const { return FToken; }
    // toChar: the character; other tokens: 0.
    Char TokenChar() const { return FToken == toChar ? FTokenChar : Char(0); }
    // toSymbol: the identifier (dots included); toString: the value; numbers: their text.
    const String& TokenString() const { return FTokenString; }
    Int64 TokenInt() const { return FTokenInt; }
    double TokenFloat() const { return FTokenFloat; }
    Integer Line() const { return FTokenLine; }

    bool IsChar(Char c) const { return FToken == toChar && FTokenChar == c; }
    // A symbol equal to word without regard to ASCII case.
    bool IsSymbol(StringView word) const;
    void Next();
    void ExpectChar(Char c);
    String ExpectSymbol();
    // After a '{' token: reads hex digit pairs up to '}' and moves to the next token.
    std::vector<Byte> ReadHexUntilBrace();

    // Raises EReadError "<message> on line <n>".
    [[noreturn]] void Error(StringView message) const;

private:
    void SkipBlanks();
    void ScanString();
    void ScanNumber();

    String FText;
    size_t FPos = 0;
    Integer FLine = 1;
    TToken FToken = toEOF;
    Char FTokenChar = 0;
    String FTokenString;
    Int64 FTokenInt = 0;
    double FTokenFloat = 0;
    Integer FTokenLine = 1;
};

} // namespace mv::detail
