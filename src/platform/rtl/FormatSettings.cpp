// The built-in locales and the process-wide settings instance.
#include "platform/rtl/FormatSettings.h"

namespace mv {

TFormatSettings TFormatSettings::English() {
    TFormatSettings s; // the member defaults are the United States locale
    s.ShortMonthNames = {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                         u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
    s.LongMonthNames = {u"January", u"February", u"March",     u"April",   u"May",      u"June",
                        u"July",    u"August",   u"September", u"October", u"November", u"December"};
    s.ShortDayNames = {u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat"};
    s.LongDayNames = {u"Sunday", u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday", u"Saturday"};
    return s;
}

TFormatSettings TFormatSettings::German() {
    TFormatSettings s;
    s.DecimalSeparator = u',';
    s.ThousandSeparator = u'.';
    s.DateSeparator = u'.';
    s.TimeSeparator = u':';
    s.ListSeparator = u';'; // ',' is taken by the decimal separator
    s.CurrencyString = u"€";
    s.CurrencyFormat = 3; // "1 €"
    s.NegCurrFormat = 8;  // "-1 €"
    s.CurrencyDecimals = 2;
    s.ShortDateFormat = u"dd.MM.yyyy";
    s.LongDateFormat = u"dddd, d. MMMM yyyy";
    s.ShortTimeFormat = u"hh:mm";
    s.LongTimeFormat = u"hh:mm:ss";
    s.ShortMonthNames = {u"Jan", u"Feb", u"Mär", u"Apr", u"Mai", u"Jun",
                         u"Jul", u"Aug", u"Sep", u"Okt", u"Nov", u"Dez"};
    s.LongMonthNames = {u"Januar", u"Februar", u"März",      u"April",   u"Mai",      u"Juni",
                        u"Juli",   u"August",  u"September", u"Oktober", u"November", u"Dezember"};
    s.ShortDayNames = {u"So", u"Mo", u"Di", u"Mi", u"Do", u"Fr", u"Sa"};
    s.LongDayNames = {u"Sonntag", u"Montag", u"Dienstag", u"Mittwoch", u"Donnerstag", u"Freitag", u"Samstag"};
    s.FirstDayOfWeek = 1;
    return s;
}

TFormatSettings& FormatSettings() {
    // Built on first use rather than by a static constructor, so other statics may format safely.
    static TFormatSettings settings = TFormatSettings::English();
    return settings;
}

} // namespace mv
