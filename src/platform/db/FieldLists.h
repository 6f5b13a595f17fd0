// Stepping through ";"-separated field lists, as data sets write their key and index fields.
#pragma once

#include "platform/rtl/RtlTypes.h"

namespace mv {

// Returns the item that starts at the 1-based position pos (up to the next ";", blanks
// trimmed) and moves pos past that ";". Walk a list while pos <= its length: a trailing
// ";" gives no last empty item, but "A;;B" gives an empty middle one.
String ExtractFieldName(StringView fields, Integer& pos);

} // namespace mv
