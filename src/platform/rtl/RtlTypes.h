// Basic types of the run-time library: the UTF-16 string, fixed-width integers under
// the framework's names, and the date-time type. Everything else in rtl builds on these.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace mv {

// Strings are UTF-16 throughout; positions handed to the framework-style helpers are
// 1-based code-unit positions, converted at the call.
using Char = char16_t;
using String = std::u16string;
using StringView = std::u16string_view;

using Integer = std::int32_t;
using Cardinal = std::uint32_t;
using Int64 = std::int64_t;
using UInt64 = std::uint64_t;
using Word = std::uint16_t;
using Byte = std::uint8_t;
using ShortInt = std::int8_t;
using SmallInt = std::int16_t;
using LongWord = std::uint32_t;

// Days since 1899-12-30; the fraction is the time of day. Negative values count
// backwards, with the fraction still added (-1.25 is 1899-12-29 06:00).
using TDateTime = double;

class TObject;
using TNotifyEvent = std::function<void(TObject* Sender)>;

} // namespace mv
