// Field-list stepping shared by the data sets and the grid's order handling.
#include "platform/db/FieldLists.h"

#include "platform/rtl/StrUtils.h"

namespace mv {

String ExtractFieldName(StringView fields, Integer& pos) {
    auto length = static_cast<Integer>(fields.size());
    Integer i = pos < 1 ? 1 : pos;
    Integer start = i;
    while (i <= length && fields[static_cast<std::size_t>(i - 1)] != u';')
        ++i;
    String result = Trim(Copy(fields, start, i - start));
    if (i <= length) ++i; // past the ";"
    pos = i;
    return result;
}

} // namespace mv
