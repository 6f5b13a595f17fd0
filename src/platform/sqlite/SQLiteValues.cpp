// Values between SQLite columns, cache Variants and statement parameters.
//
// [SECTION] Declared types   FieldTypeOfDeclaration
// [SECTION] Dates            DateTimeToIsoText, IsoTextToDateTime, DateTimeToJulian, JulianToDateTime
// [SECTION] Columns          ReadColumn, BindFieldValue, BindVariant
#include "platform/sqlite/SQLiteValues.h"

#include "platform/db/DBConsts.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/Utf8.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace mv::SQLiteDetail {

namespace {

constexpr double JulianOfDateTimeZero = 2415018.5; // 1899-12-30 00:00

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// The n in "VARCHAR(n)", or 0.
Integer DeclaredLength(std::string_view declared) {
    std::size_t open = declared.find('(');
    if (open == std::string_view::npos) return 0;
    Integer length = 0;
    for (std::size_t i = open + 1; i < declared.size() && declared[i] >= '0' && declared[i] <= '9'; ++i) {
        length = length * 10 + (declared[i] - '0');
        if (length > 65535) return 65535;
    }
    return length;
}

TFieldType FieldTypeOfStorage(int storageClass, Integer& size) {
    switch (storageClass) {
    case SQLITE_INTEGER:
        return ftLargeint;
    case SQLITE_FLOAT:
        return ftFloat;
    case SQLITE_BLOB:
        return ftBlob;
    default:
        size = DefaultTextSize;
        return ftWideString;
    }
}

// Reads n digits at text[pos] into value; false when they are not all digits.
bool ReadDigits(std::string_view text, std::size_t pos, std::size_t n, int& value) {
    if (pos + n > text.size()) return false;
    value = 0;
    for (std::size_t i = pos; i < pos + n; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

// "HH:MM[:SS[.fff]]" at text[pos]; pos moves past it.
bool ReadTime(std::string_view text, std::size_t& pos, int& hour, int& minute, int& second, int& msec) {
    second = msec = 0;
    if (!ReadDigits(text, pos, 2, hour) || pos + 2 >= text.size() || text[pos + 2] != ':' ||
        !ReadDigits(text, pos + 3, 2, minute))
        return false;
    pos += 5;
    if (pos < text.size() && text[pos] == ':') {
        if (!ReadDigits(text, pos + 1, 2, second)) return false;
        pos += 3;
        if (pos < text.size() && text[pos] == '.') {
            ++pos;
            double scale = 100.0, fraction = 0.0;
            std::size_t start = pos;
            for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos, scale /= 10.0)
                fraction += (text[pos] - '0') * scale;
            if (pos == start) return false;
            msec = static_cast<int>(std::lround(fraction));
            if (msec > 999) msec = 999;
        }
    }
    return true;
}

std::vector<Byte> BlobBytes(const Variant& value) {
    String text = VarToStr(value);
    std::vector<Byte> bytes(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        bytes[i] = static_cast<Byte>(text[i]);
    return bytes;
}

void BindText(sqlite3_stmt* statement, int index, const String& text) {
    sqlite3_bind_text16(statement, index, text.data(), static_cast<int>(text.size() * sizeof(Char)),
                        SQLITE_TRANSIENT);
}

void BindAscii(sqlite3_stmt* statement, int index, const String& text) {
    std::string ascii = UTF8Encode(text);
    sqlite3_bind_text(statement, index, ascii.data(), static_cast<int>(ascii.size()), SQLITE_TRANSIENT);
}

} // namespace

// ======================================================================================
// [SECTION] Declared types
// ======================================================================================

TFieldType FieldTypeOfDeclaration(std::string_view declared, int storageClass, Integer& size) {
    std::string upper(declared);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    std::string_view type = upper;
    size = 0;
    if (type.empty()) return FieldTypeOfStorage(storageClass, size);
    if (Contains(type, "BOOL")) return ftBoolean;
    if (Contains(type, "DATETIME") || Contains(type, "TIMESTAMP")) return ftDateTime;
    if (type.starts_with("DATE")) return ftDate;
    if (type.starts_with("TIME")) return ftTime;
    if (Contains(type, "INT")) {
        if (Contains(type, "SMALLINT") || Contains(type, "TINYINT") || Contains(type, "INT2"))
            return ftSmallint;
        return ftLargeint;
    }
    if (Contains(type, "MONEY") || Contains(type, "CURRENCY")) return ftCurrency;
    if (Contains(type, "CLOB") || Contains(type, "MEMO") || Contains(type, "LONGTEXT")) return ftWideMemo;
    if (Contains(type, "CHAR") || Contains(type, "TEXT")) {
        Integer length = DeclaredLength(type);
        size = length > 0 ? length : DefaultTextSize;
        return ftWideString;
    }
    if (Contains(type, "IMAGE") || Contains(type, "GRAPHIC") || Contains(type, "PICTURE")) return ftGraphic;
    if (Contains(type, "BLOB") || Contains(type, "BINARY")) return ftBlob;
    if (Contains(type, "REAL") || Contains(type, "FLOA") || Contains(type, "DOUB") ||
        Contains(type, "NUMERIC") || Contains(type, "DECIMAL"))
        return ftFloat;
    return FieldTypeOfStorage(storageClass, size);
}

// ======================================================================================
// [SECTION] Dates
// ======================================================================================

String DateTimeToIsoText(TDateTime value, TFieldType type) {
    Word year, month, day, hour, minute, second, msec;
    DecodeDateTime(value, year, month, day, hour, minute, second, msec);
    char text[40];
    int length = 0;
    if (type != ftTime) length = std::snprintf(text, sizeof text, "%04u-%02u-%02u", year, month, day);
    if (type == ftDate) return UTF8ToString(std::string_view(text, static_cast<std::size_t>(length)));
    if (type != ftTime) text[length++] = ' ';
    length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length), "%02u:%02u:%02u",
                            hour, minute, second);
    if (msec != 0)
        length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length), ".%03u", msec);
    return UTF8ToString(std::string_view(text, static_cast<std::size_t>(length)));
}

bool IsoTextToDateTime(std::string_view text, TDateTime& value) {
    while (!text.empty() && (text.back() == ' ' || text.back() == 'Z'))
        text.remove_suffix(1);
    int hour = 0, minute = 0, second = 0, msec = 0;
    std::size_t pos = 0;
    if (text.size() >= 3 && text[2] == ':') {
        if (!ReadTime(text, pos, hour, minute, second, msec) || pos != text.size()) return false;
        return TryEncodeTime(static_cast<Word>(hour), static_cast<Word>(minute), static_cast<Word>(second),
                             static_cast<Word>(msec), value);
    }
    int year, month, day;
    if (!ReadDigits(text, 0, 4, year) || text.size() < 10 || text[4] != '-' ||
        !ReadDigits(text, 5, 2, month) || text[7] != '-' || !ReadDigits(text, 8, 2, day))
        return false;
    pos = 10;
    if (pos < text.size()) {
        if (text[pos] != ' ' && text[pos] != 'T') return false;
        ++pos;
        if (!ReadTime(text, pos, hour, minute, second, msec) || pos != text.size()) return false;
    }
    return TryEncodeDateTime(static_cast<Word>(year), static_cast<Word>(month), static_cast<Word>(day),
                             static_cast<Word>(hour), static_cast<Word>(minute), static_cast<Word>(second),
                             static_cast<Word>(msec), value);
}

double DateTimeToJulian(TDateTime value) {
    if (value >= 0) return value + JulianOfDateTimeZero;
    // Before 1899-12-30 the day counts backwards while the time still counts forwards.
    double day = std::trunc(value);
    return day + (day - value) + JulianOfDateTimeZero;
}

TDateTime JulianToDateTime(double julian) {
    double days = julian - JulianOfDateTimeZero;
    if (days >= 0) return days;
    double day = std::floor(days);
    return day - (days - day);
}

// ======================================================================================
// [SECTION] Columns
// ======================================================================================

Variant ReadColumn(sqlite3_stmt* statement, int column, TFieldType type, bool& julian) {
    int storage = sqlite3_column_type(statement, column);
    if (storage == SQLITE_NULL) return Null();
    switch (type) {
    case ftBoolean: {
        if (storage != SQLITE_TEXT) return sqlite3_column_int64(statement, column) != 0;
        std::string_view text(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                              static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
        for (const char* yes : {"1", "t", "true", "y", "yes"})
            if (sqlite3_stricmp(std::string(text).c_str(), yes) == 0) return true;
        return false;
    }
    case ftSmallint:
        return static_cast<int>(
            std::clamp<sqlite3_int64>(sqlite3_column_int64(statement, column), INT16_MIN, INT16_MAX));
    case ftInteger:
        return static_cast<int>(
            std::clamp<sqlite3_int64>(sqlite3_column_int64(statement, column), INT32_MIN, INT32_MAX));
    case ftLargeint:
        return static_cast<long long>(sqlite3_column_int64(statement, column));
    case ftFloat:
    case ftCurrency:
        return sqlite3_column_double(statement, column);
    case ftDate:
    case ftTime:
    case ftDateTime: {
        if (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT) {
            julian = true;
            return VarFromDateTime(JulianToDateTime(sqlite3_column_double(statement, column)));
        }
        TDateTime value;
        std::string_view text(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                              static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
        if (!IsoTextToDateTime(text, value)) return Null();
        return VarFromDateTime(value);
    }
    case ftBlob:
    case ftGraphic: {
        auto* bytes = static_cast<const Byte*>(sqlite3_column_blob(statement, column));
        auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement, column));
        return String(bytes, bytes + size);
    }
    default: {
        auto* text = static_cast<const Char*>(sqlite3_column_text16(statement, column));
        auto size = static_cast<std::size_t>(sqlite3_column_bytes16(statement, column)) / sizeof(Char);
        return String(text, size);
    }
    }
}

void BindFieldValue(sqlite3_stmt* statement, int index, const Variant& value, TFieldType type, bool julian) {
    if (VarIsNull(value) || VarIsEmpty(value)) {
        sqlite3_bind_null(statement, index);
        return;
    }
    switch (type) {
    case ftBoolean:
        sqlite3_bind_int(statement, index, value.AsBoolean() ? 1 : 0);
        return;
    case ftSmallint:
    case ftInteger:
    case ftLargeint:
        sqlite3_bind_int64(statement, index, value.AsInt64());
        return;
    case ftFloat:
    case ftCurrency:
        sqlite3_bind_double(statement, index, value.AsDouble());
        return;
    case ftDate:
    case ftTime:
    case ftDateTime:
        if (julian)
            sqlite3_bind_double(statement, index, DateTimeToJulian(value.AsDateTime()));
        else
            BindAscii(statement, index, DateTimeToIsoText(value.AsDateTime(), type));
        return;
    case ftBlob:
    case ftGraphic: {
        std::vector<Byte> bytes = BlobBytes(value);
        sqlite3_bind_blob(statement, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        return;
    }
    default:
        BindText(statement, index, VarToStr(value));
        return;
    }
}

void BindVariant(sqlite3_stmt* statement, int index, const Variant& value) {
    if (VarIsNull(value) || VarIsEmpty(value)) {
        sqlite3_bind_null(statement, index);
        return;
    }
    TVarType type = VarType(value);
    if (type == varBoolean) {
        sqlite3_bind_int(statement, index, value.AsBoolean() ? 1 : 0);
    } else if (type == varDate) {
        TDateTime date = value.AsDateTime();
        BindAscii(statement, index, DateTimeToIsoText(date, date == std::floor(date) ? ftDate : ftDateTime));
    } else if (VarIsOrdinal(value)) {
        sqlite3_bind_int64(statement, index, value.AsInt64());
    } else if (VarIsFloat(value) || type == varCurrency) {
        sqlite3_bind_double(statement, index, value.AsDouble());
    } else {
        BindText(statement, index, VarToStr(value));
    }
}

} // namespace mv::SQLiteDetail
