// Unicode simple case mapping of BMP characters, shared by the string helpers.
// Not public API: use CharUpper/CharLower/AnsiUpperCase/AnsiCompareText from StrUtils.h.
#pragma once

#include "platform/rtl/RtlTypes.h"

namespace mv {

struct TCaseTables {
    Char Upper[0x10000];
    Char Lower[0x10000];
};

// Built on first use from the C library's C.UTF-8 locale; when that locale is missing
// only 'a'..'z' / 'A'..'Z' map (the tests catch such a machine).
const TCaseTables& CaseTables();

// The key case-insensitive compares use: lower case of the upper case, so that every
// spelling of a letter (final sigma, dotless i, title-case digraphs) meets in one value.
inline Char FoldCase(Char c) {
    const TCaseTables& t = CaseTables();
    return t.Lower[t.Upper[c]];
}

} // namespace mv
