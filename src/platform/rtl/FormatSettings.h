// Locale-dependent formatting settings. One global instance is used by every
// formatting and parsing function that is not handed its own settings.
#pragma once

#include "platform/rtl/RtlTypes.h"

#include <array>

namespace mv {

struct TFormatSettings {
    Char DecimalSeparator = u'.';
    Char ThousandSeparator = u',';
    Char DateSeparator = u'/';
    Char TimeSeparator = u':';
    Char ListSeparator = u',';
    String CurrencyString = u"$";
    Byte CurrencyFormat = 0; // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
    Byte NegCurrFormat = 0;  // 0 "($1)", 1 "-$1", ... as the framework numbers them (0..15)
    Byte CurrencyDecimals = 2;
    String ShortDateFormat = u"M/d/yyyy";
    String LongDateFormat = u"dddd, MMMM d, yyyy";
    String ShortTimeFormat = u"h:mm AMPM";
    String LongTimeFormat = u"h:mm:ss AMPM";
    String TimeAMString = u"AM";
    String TimePMString = u"PM";
    std::array<String, 12> ShortMonthNames;
    std::array<String, 12> LongMonthNames;
    std::array<String, 7> ShortDayNames; // [0] is Sunday, as the framework orders them
    std::array<String, 7> LongDayNames;
    Word TwoDigitYearCenturyWindow = 50;
    Byte FirstDayOfWeek = 1; // ISO numbering: 1 Monday ... 7 Sunday

    // The built-in English (United States) locale every test starts from.
    static TFormatSettings English();
    // A German-like locale: "," decimal, "." thousands, dd.MM.yyyy dates, 24-hour times.
    static TFormatSettings German();
};

// The settings used when none are passed. Tests switch it and restore it with
// TFormatSettingsScope.
TFormatSettings& FormatSettings();

class TFormatSettingsScope {
public:
    explicit TFormatSettingsScope(const TFormatSettings& settings) : FSaved(FormatSettings()) {
        FormatSettings() = settings;
    }
    ~TFormatSettingsScope() { FormatSettings() = FSaved; }
    TFormatSettingsScope(const TFormatSettingsScope&) = delete;
    TFormatSettingsScope& operator=(const TFormatSettingsScope&) = delete;

private:
    TFormatSettings FSaved;
};

} // namespace mv
