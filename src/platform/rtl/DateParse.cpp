// StrToDate, StrToTime, StrToDateTime and their Try forms. Dates are read in the
// field order of the settings' ShortDateFormat with the settings' DateSeparator only
// (as the framework does); times as h:nn[:ss[.zzz]] with an optional AM/PM suffix.
#include "platform/rtl/DateUtils.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"

namespace mv {

namespace {

enum TDateOrder { doMDY, doDMY, doYMD };

// Longer numbers are no date or time field; the cap also keeps every value in a Word.
constexpr size_t kMaxDigits = 4;

Char AsciiUpper(Char c) {
    return c >= u'a' && c <= u'z' ? static_cast<Char>(c - (u'a' - u'A')) : c;
}

TDateOrder DateOrderOf(StringView shortDateFormat) {
    Char quote = 0;
    for (const Char c : shortDateFormat) {
        if (quote != 0) {
            if (c == quote) quote = 0;
            continue;
        }
        switch (AsciiUpper(c)) {
        case u'\'':
        case u'"':
            quote = c;
            break;
        case u'Y':
            return doYMD;
        case u'M':
            return doMDY;
        case u'D':
            return doDMY;
        default:
            break;
        }
    }
    return doMDY;
}

// Two-digit years fall in the hundred years that start TwoDigitYearCenturyWindow years
// before the clock's current year (window 50 in 2024: 74 is 1974, 73 is 2073).
Word ExpandTwoDigitYear(Word year, Word window) {
    const Integer threshold = Integer{YearOf(Now())} - window;
    Integer result = threshold / 100 * 100 + year;
    if (window > 0 && result < threshold) result += 100;
    return static_cast<Word>(result);
}

class TDateTimeScanner {
public:
    TDateTimeScanner(StringView text, const TFormatSettings& settings) : FText(text), FSettings(settings) {}

    void Rewind() { FPos = 0; }

    bool AtEnd() {
        SkipBlanks();
        return FPos == FText.size();
    }

    bool ScanDate(TDateTime& value) {
        Word n1, n2, n3 = 0;
        size_t digits1, digits2, digits3 = 0;
        if (!ScanNumber(n1, digits1) || !ScanChar(FSettings.DateSeparator) || !ScanNumber(n2, digits2))
            return false;
        const bool hasThird = ScanChar(FSettings.DateSeparator);
        if (hasThird && !ScanNumber(n3, digits3)) return false;
        const TDateOrder order = DateOrderOf(FSettings.ShortDateFormat);
        Word year, month, day;
        size_t yearDigits = 0;
        if (!hasThird) {
            // Day and month only: the current year.
            year = YearOf(Now());
            month = order == doDMY ? n2 : n1;
            day = order == doDMY ? n1 : n2;
        } else if (order == doYMD) {
            year = n1, month = n2, day = n3, yearDigits = digits1;
        } else {
            year = n3, yearDigits = digits3;
            month = order == doMDY ? n1 : n2;
            day = order == doMDY ? n2 : n1;
        }
        if (hasThird && yearDigits <= 2) year = ExpandTwoDigitYear(year, FSettings.TwoDigitYearCenturyWindow);
        return TryEncodeDate(year, month, day, value);
    }

    bool ScanTime(TDateTime& value) {
        Word hour, min = 0, sec = 0, msec = 0;
        size_t digits;
        if (!ScanNumber(hour, digits)) return false;
        const bool hasMinutes = ScanChar(FSettings.TimeSeparator);
        if (hasMinutes) {
            if (!ScanNumber(min, digits)) return false;
            if (ScanChar(FSettings.TimeSeparator)) {
                if (!ScanNumber(sec, digits)) return false;
                if (ScanChar(FSettings.DecimalSeparator) || ScanChar(u'.')) {
                    // A fraction of the second: ".5" is 500 ms, ".005" is 5 ms.
                    if (!ScanNumber(msec, digits) || digits > 3) return false;
                    for (; digits < 3; ++digits)
                        msec = static_cast<Word>(msec * 10);
                }
            }
        }
        int pmOffset = -1;
        if (ScanText(FSettings.TimeAMString) || ScanText(u"AM"))
            pmOffset = 0;
        else if (ScanText(FSettings.TimePMString) || ScanText(u"PM"))
            pmOffset = 12;
        if (pmOffset >= 0) {
            if (hour == 0 || hour > 12) return false;
            hour = static_cast<Word>(hour % 12 + pmOffset);
        } else if (!hasMinutes) {
            // A bare number is no time; "3 PM" is.
            return false;
        }
        return TryEncodeTime(hour, min, sec, msec, value);
    }

private:
    StringView FText;
    const TFormatSettings& FSettings;
    size_t FPos = 0;

    void SkipBlanks() {
        while (FPos < FText.size() && FText[FPos] <= u' ')
            ++FPos;
    }

    bool ScanNumber(Word& value, size_t& digits) {
        SkipBlanks();
        const size_t start = FPos;
        unsigned result = 0;
        while (FPos < FText.size() && FText[FPos] >= u'0' && FText[FPos] <= u'9') {
            result = result * 10 + (FText[FPos] - u'0');
            ++FPos;
            if (FPos - start > kMaxDigits) return false;
        }
        digits = FPos - start;
        value = static_cast<Word>(result);
        return digits > 0;
    }

    bool ScanChar(Char c) {
        SkipBlanks();
        if (c == 0 || FPos >= FText.size() || FText[FPos] != c) return false;
        ++FPos;
        return true;
    }

    // Case-insensitive (ASCII letters) match of symbol at the current position.
    bool ScanText(StringView symbol) {
        SkipBlanks();
        if (symbol.empty() || FText.size() - FPos < symbol.size()) return false;
        for (size_t i = 0; i < symbol.size(); ++i) {
            if (AsciiUpper(FText[FPos + i]) != AsciiUpper(symbol[i])) return false;
        }
        FPos += symbol.size();
        return true;
    }
};

[[noreturn]] void RaiseInvalid(const String& message, StringView text) {
    throw EConvertError(Format(message, {text}));
}

} // namespace

bool TryStrToDate(StringView s, TDateTime& value, const TFormatSettings& settings) {
    TDateTimeScanner scanner(s, settings);
    TDateTime date;
    if (!scanner.ScanDate(date) || !scanner.AtEnd()) return false;
    value = date;
    return true;
}

bool TryStrToTime(StringView s, TDateTime& value, const TFormatSettings& settings) {
    TDateTimeScanner scanner(s, settings);
    TDateTime time;
    if (!scanner.ScanTime(time) || !scanner.AtEnd()) return false;
    value = time;
    return true;
}

bool TryStrToDateTime(StringView s, TDateTime& value, const TFormatSettings& settings) {
    TDateTimeScanner scanner(s, settings);
    TDateTime date;
    if (scanner.ScanDate(date)) {
        TDateTime time = 0;
        if (!scanner.AtEnd() && (!scanner.ScanTime(time) || !scanner.AtEnd())) return false;
        // A negative date's time counts forward from its midnight, like the fraction.
        value = date >= 0 ? date + time : date - time;
        return true;
    }
    // No date in front: a time alone is a time on day 0.
    scanner.Rewind();
    TDateTime time;
    if (!scanner.ScanTime(time) || !scanner.AtEnd()) return false;
    value = time;
    return true;
}

bool TryStrToDate(StringView s, TDateTime& value) {
    return TryStrToDate(s, value, FormatSettings());
}
bool TryStrToTime(StringView s, TDateTime& value) {
    return TryStrToTime(s, value, FormatSettings());
}
bool TryStrToDateTime(StringView s, TDateTime& value) {
    return TryStrToDateTime(s, value, FormatSettings());
}

TDateTime StrToDate(StringView s, const TFormatSettings& settings) {
    TDateTime result;
    if (!TryStrToDate(s, result, settings)) RaiseInvalid(SysConst::SInvalidDate, s);
    return result;
}

TDateTime StrToTime(StringView s, const TFormatSettings& settings) {
    TDateTime result;
    if (!TryStrToTime(s, result, settings)) RaiseInvalid(SysConst::SInvalidTime, s);
    return result;
}

TDateTime StrToDateTime(StringView s, const TFormatSettings& settings) {
    TDateTime result;
    if (!TryStrToDateTime(s, result, settings)) RaiseInvalid(SysConst::SInvalidDateTime, s);
    return result;
}

TDateTime StrToDate(StringView s) {
    return StrToDate(s, FormatSettings());
}
TDateTime StrToTime(StringView s) {
    return StrToTime(s, FormatSettings());
}
TDateTime StrToDateTime(StringView s) {
    return StrToDateTime(s, FormatSettings());
}

} // namespace mv
