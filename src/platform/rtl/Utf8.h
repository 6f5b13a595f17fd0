// UTF-8 <-> UTF-16 conversion at the edges (files, SDL, Pango, SQLite, exception texts).
#pragma once

#include "platform/rtl/RtlTypes.h"

#include <string>
#include <string_view>

namespace mv {

// Malformed input never throws: each invalid byte (or lone surrogate) becomes U+FFFD,
// so text from a damaged file still shows and nothing is silently dropped.
String UTF8ToString(std::string_view utf8);
std::string UTF8Encode(StringView text);

} // namespace mv
