// String helpers with the framework's names and 1-based positions: search, copy,
// trimming, Unicode case mapping, comparison, integer conversion, quoting, replacing.
#pragma once

#include "platform/rtl/RtlTypes.h"
#include "platform/rtl/Set.h"

namespace mv {

// Positions are 1-based UTF-16 code-unit positions; 0 means "not found".
Integer Pos(StringView subStr, StringView s, Integer offset = 1);
// Count characters from position index (1-based). Out-of-range arguments are clamped,
// as the framework does: Copy("abc", 0, 2) is "ab", Copy("abc", 5, 1) is "".
String Copy(StringView s, Integer index, Integer count);
String Copy(StringView s, Integer index); // to the end
// Delete removes nothing when index is below 1 or past the end; count is clamped.
// Insert clamps index into 1..Length+1.
void Delete(String& s, Integer index, Integer count);
void Insert(StringView subStr, String& s, Integer index);

// Trim removes characters <= U+0020 (spaces and control characters) at the ends.
String Trim(StringView s);
String TrimLeft(StringView s);
String TrimRight(StringView s);

// UpperCase/LowerCase map only 'a'..'z' / 'A'..'Z'; the Ansi variants map every BMP
// character by the Unicode simple case mapping.
String UpperCase(StringView s);
String LowerCase(StringView s);
String AnsiUpperCase(StringView s);
String AnsiLowerCase(StringView s);
Char CharUpper(Char c); // Unicode simple upper case of one character
Char CharLower(Char c);

// CompareStr: ordinal. CompareText: ASCII case-insensitive ordinal.
// AnsiCompareText/AnsiCompareStr: Unicode case-insensitive / case-sensitive ordinal
// compare of the case-mapped texts. Results are <0, 0, >0.
Integer CompareStr(StringView a, StringView b);
Integer CompareText(StringView a, StringView b);
Integer AnsiCompareStr(StringView a, StringView b);
Integer AnsiCompareText(StringView a, StringView b);
bool SameStr(StringView a, StringView b);
bool SameText(StringView a, StringView b);
bool AnsiSameText(StringView a, StringView b);
bool AnsiSameStr(StringView a, StringView b);
bool StartsText(StringView subText, StringView text); // case-insensitive (Unicode)
bool EndsText(StringView subText, StringView text);
bool ContainsText(StringView text, StringView subText);
bool StartsStr(StringView subText, StringView text);
bool EndsStr(StringView subText, StringView text);
Integer AnsiPos(StringView subStr, StringView s);
// Position of the last character of s that is one of delimiters, 0 when none.
Integer LastDelimiter(StringView delimiters, StringView s);

String IntToStr(Int64 value);
String UIntToStr(UInt64 value);
String IntToHex(Int64 value, Integer digits);
// Accepts optional blanks around, a sign, decimal digits or "$"/"0x" hexadecimal.
// Raises EConvertError "'%s' is not a valid integer value" for anything else or on overflow.
Integer StrToInt(StringView s);
Int64 StrToInt64(StringView s);
Integer StrToIntDef(StringView s, Integer defaultValue);
Int64 StrToInt64Def(StringView s, Int64 defaultValue);
bool TryStrToInt(StringView s, Integer& value);
bool TryStrToInt64(StringView s, Int64& value);
bool StrToBool(StringView s); // "True"/"False" (any case) or an integer; raises EConvertError
bool TryStrToBool(StringView s, bool& value);
String BoolToStr(bool value, bool useBoolStrs = false); // "-1"/"0", or "True"/"False"

// QuotedStr("it's") is "'it''s'". AnsiDequotedStr undoes it when s starts with quote.
String QuotedStr(StringView s, Char quote = u'\'');
String AnsiQuotedStr(StringView s, Char quote);
String AnsiDequotedStr(StringView s, Char quote);

enum TReplaceFlag { rfReplaceAll, rfIgnoreCase };
using TReplaceFlags = Set<TReplaceFlag>;
String StringReplace(StringView s, StringView oldPattern, StringView newPattern, TReplaceFlags flags);

String StringOfChar(Char c, Integer count);
String DupeString(StringView s, Integer count);
bool IsDelimiter(StringView delimiters, StringView s, Integer index);
String ReverseString(StringView s);
bool IsValidIdent(StringView ident, bool allowDots = false);

} // namespace mv
