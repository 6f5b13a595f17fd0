// FormatDateTime and the DateToStr family: the framework's date/time pattern letters.
// Parsing is in DateParse.cpp; the calendar arithmetic in DateUtils.cpp.
#include "platform/rtl/DateUtils.h"

#include <algorithm>
#include <iterator>

namespace mv {

namespace {

// Nested patterns (c, ddddd, dddddd, t, tt) may name each other through the settings;
// past this depth they expand to nothing rather than recurse forever.
constexpr int kMaxNesting = 2;

Char AsciiUpper(Char c) {
    return c >= u'a' && c <= u'z' ? static_cast<Char>(c - (u'a' - u'A')) : c;
}

bool IsAsciiLetter(Char c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Case-insensitive (ASCII) test whether text at pos starts with pattern.
bool MatchesAt(StringView text, size_t pos, StringView pattern) {
    if (text.size() - pos < pattern.size()) return false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (AsciiUpper(text[pos + i]) != AsciiUpper(pattern[i])) return false;
    }
    return true;
}

class TDateTimeFormatter {
public:
    TDateTimeFormatter(TDateTime value, const TFormatSettings& settings) : FSettings(settings) {
        DecodeDateTime(value, FYear, FMonth, FDay, FHour, FMinute, FSecond, FMSec);
        FDayOfWeek = DayOfWeek(value);
    }

    String Run(StringView format) {
        AppendPattern(format.empty() ? StringView(u"c") : format, 0);
        return std::move(FResult);
    }

private:
    const TFormatSettings& FSettings;
    Word FYear, FMonth, FDay, FHour, FMinute, FSecond, FMSec, FDayOfWeek;
    String FResult;

    void AppendNumber(unsigned value, size_t minDigits) {
        Char digits[8];
        size_t count = 0;
        do {
            digits[count++] = static_cast<Char>(u'0' + value % 10);
            value /= 10;
        } while (value != 0 && count < std::size(digits));
        for (size_t i = count; i < minDigits; ++i)
            FResult += u'0';
        while (count > 0)
            FResult += digits[--count];
    }

    void AppendName(const String* names, size_t count, size_t index) {
        // Index is 1-based; an undecodable value (year 0) has no name to give.
        if (index >= 1 && index <= count) FResult += names[index - 1];
    }

    // True when an am/pm marker follows the hour token before the next hour token:
    // the hour is then on the 12-hour clock.
    static bool HasAmPmAfter(StringView format, size_t pos) {
        Char quote = 0;
        for (; pos < format.size(); ++pos) {
            const Char c = format[pos];
            if (quote != 0) {
                if (c == quote) quote = 0;
                continue;
            }
            if (c == u'\'' || c == u'"')
                quote = c;
            else if (c == u'h' || c == u'H')
                return false;
            else if (c == u'a' || c == u'A')
                return MatchesAt(format, pos, u"am/pm") || MatchesAt(format, pos, u"a/p") ||
                       MatchesAt(format, pos, u"ampm");
        }
        return false;
    }

    void AppendAmPm(StringView format, size_t& pos) {
        const bool pm = FHour >= 12;
        if (MatchesAt(format, pos, u"am/pm")) {
            // The pattern's own letters, so "AM/PM" gives "PM" and "am/pm" gives "pm".
            FResult += format.substr(pos + (pm ? 3 : 0), 2);
            pos += 5;
        } else if (MatchesAt(format, pos, u"a/p")) {
            FResult += format[pos + (pm ? 2 : 0)];
            pos += 3;
        } else if (MatchesAt(format, pos, u"ampm")) {
            FResult += pm ? FSettings.TimePMString : FSettings.TimeAMString;
            pos += 4;
        } else {
            FResult += format[pos];
            ++pos;
        }
    }

    void AppendPattern(StringView format, int level) {
        if (level > kMaxNesting) return;
        Char lastToken = 0;
        size_t pos = 0;
        while (pos < format.size()) {
            const Char starter = format[pos];
            Char token = AsciiUpper(starter);
            if (IsAsciiLetter(starter)) {
                // m right after an hour means minutes ("h:mm"), as the framework reads it.
                if (token == u'M' && lastToken == u'H') token = u'N';
                lastToken = token;
            }
            if (token == u'A') {
                AppendAmPm(format, pos);
                continue;
            }
            if (starter == u'\'' || starter == u'"') {
                const size_t close = format.find(starter, pos + 1);
                const size_t end = close == StringView::npos ? format.size() : close;
                FResult += format.substr(pos + 1, end - pos - 1);
                pos = close == StringView::npos ? end : close + 1;
                continue;
            }
            size_t count = 1;
            if (IsAsciiLetter(starter)) {
                while (pos + count < format.size() && AsciiUpper(format[pos + count]) == AsciiUpper(starter))
                    ++count;
            }
            const size_t next = pos + count;
            switch (token) {
            case u'Y':
                if (count <= 2)
                    AppendNumber(FYear % 100, 2);
                else
                    AppendNumber(FYear, 4);
                break;
            case u'M':
                if (count <= 2)
                    AppendNumber(FMonth, count);
                else if (count == 3)
                    AppendName(FSettings.ShortMonthNames.data(), 12, FMonth);
                else
                    AppendName(FSettings.LongMonthNames.data(), 12, FMonth);
                break;
            case u'D':
                if (count <= 2)
                    AppendNumber(FDay, count);
                else if (count == 3)
                    AppendName(FSettings.ShortDayNames.data(), 7, FDayOfWeek);
                else if (count == 4)
                    AppendName(FSettings.LongDayNames.data(), 7, FDayOfWeek);
                else if (count == 5)
                    AppendPattern(FSettings.ShortDateFormat, level + 1);
                else
                    AppendPattern(FSettings.LongDateFormat, level + 1);
                break;
            case u'H': {
                unsigned hour = FHour;
                if (HasAmPmAfter(format, next)) {
                    hour %= 12;
                    if (hour == 0) hour = 12;
                }
                AppendNumber(hour, std::min<size_t>(count, 2));
                break;
            }
            case u'N':
                AppendNumber(FMinute, std::min<size_t>(count, 2));
                break;
            case u'S':
                AppendNumber(FSecond, std::min<size_t>(count, 2));
                break;
            case u'Z':
                AppendNumber(FMSec, std::min<size_t>(count, 3));
                break;
            case u'T':
                AppendPattern(count == 1 ? FSettings.ShortTimeFormat : FSettings.LongTimeFormat, level + 1);
                break;
            case u'C':
                AppendPattern(FSettings.ShortDateFormat, level + 1);
                if (FHour != 0 || FMinute != 0 || FSecond != 0 || FMSec != 0) {
                    FResult += u' ';
                    AppendPattern(FSettings.LongTimeFormat, level + 1);
                }
                break;
            case u'/':
                if (FSettings.DateSeparator != 0) FResult += FSettings.DateSeparator;
                break;
            case u':':
                if (FSettings.TimeSeparator != 0) FResult += FSettings.TimeSeparator;
                break;
            default:
                FResult.append(format.substr(pos, count));
                break;
            }
            pos = next;
        }
    }
};

} // namespace

String FormatDateTime(StringView format, TDateTime value) {
    return FormatDateTime(format, value, FormatSettings());
}

String FormatDateTime(StringView format, TDateTime value, const TFormatSettings& settings) {
    return TDateTimeFormatter(value, settings).Run(format);
}

String DateToStr(TDateTime value) {
    return DateToStr(value, FormatSettings());
}
String TimeToStr(TDateTime value) {
    return TimeToStr(value, FormatSettings());
}
String DateTimeToStr(TDateTime value) {
    return DateTimeToStr(value, FormatSettings());
}

String DateToStr(TDateTime value, const TFormatSettings& settings) {
    return FormatDateTime(u"ddddd", value, settings);
}

String TimeToStr(TDateTime value, const TFormatSettings& settings) {
    return FormatDateTime(u"tt", value, settings);
}

String DateTimeToStr(TDateTime value, const TFormatSettings& settings) {
    return FormatDateTime(u"c", value, settings);
}

} // namespace mv
