// Case tables from glibc's towupper_l/towlower_l in the C.UTF-8 locale, which follow
// the Unicode simple (one-to-one) case mapping: 'ß' stays 'ß', U+0130 lowers to 'i'.
#include "platform/rtl/CaseMapping.h"

#include <locale.h>
#include <memory>
#include <wctype.h>

namespace mv {

namespace {

bool IsSurrogate(unsigned c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// A mapping that leaves the BMP or lands on a surrogate cannot be stored in one code
// unit; such characters keep their own value.
Char Mapped(unsigned c, wint_t m) {
    if (m > 0xFFFF || IsSurrogate(static_cast<unsigned>(m))) return static_cast<Char>(c);
    return static_cast<Char>(m);
}

void FillAsciiTables(TCaseTables& t) {
    for (unsigned c = 0; c < 0x10000; ++c) {
        t.Upper[c] = static_cast<Char>(c >= u'a' && c <= u'z' ? c - 32 : c);
        t.Lower[c] = static_cast<Char>(c >= u'A' && c <= u'Z' ? c + 32 : c);
    }
}

TCaseTables* BuildCaseTables() {
    auto* t = new TCaseTables;
    locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (!utf8) {
        FillAsciiTables(*t);
        return t;
    }
    for (unsigned c = 0; c < 0x10000; ++c) {
        if (IsSurrogate(c)) {
            t->Upper[c] = t->Lower[c] = static_cast<Char>(c);
            continue;
        }
        t->Upper[c] = Mapped(c, towupper_l(static_cast<wint_t>(c), utf8));
        t->Lower[c] = Mapped(c, towlower_l(static_cast<wint_t>(c), utf8));
    }
    freelocale(utf8);
    return t;
}

} // namespace

const TCaseTables& CaseTables() {
    // Leaked on purpose: string helpers may run from other objects' destructors at exit.
    static const TCaseTables* tables = BuildCaseTables();
    return *tables;
}

} // namespace mv
