// Variants to and from the native buffers of fields (FieldBuffers.h).
#include "platform/db/FieldBuffers.h"

#include "platform/db/DBConsts.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Bcd.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/SqlTimeStamp.h"
#include "platform/rtl/Utf8.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace mv {

namespace {

constexpr double MSecsPerDayValue = 86400000.0;

template <typename T> void Put(void* buffer, T value) {
    std::memcpy(buffer, &value, sizeof value);
}

template <typename T> T Take(const void* buffer) {
    T value;
    std::memcpy(&value, buffer, sizeof value);
    return value;
}

} // namespace

void VariantToNative(const TField* field, const Variant& value, void* buffer) {
    switch (field->DataType()) {
    case ftString:
    case ftFixedChar:
    case ftGuid: {
        std::string utf8 = UTF8Encode(VarToStr(value));
        std::size_t length = std::min(utf8.size(), static_cast<std::size_t>(field->Size()));
        while (length > 0 && length < utf8.size() &&
               (static_cast<unsigned char>(utf8[length]) & 0xC0) == 0x80)
            --length;
        std::memcpy(buffer, utf8.data(), length);
        static_cast<char*>(buffer)[length] = 0;
        return;
    }
    case ftWideString:
    case ftFixedWideChar: {
        String text = VarToStr(value);
        std::size_t length = std::min(text.size(), static_cast<std::size_t>(field->Size()));
        // Buffers may be unaligned (a client data set's record images are packed).
        std::memcpy(buffer, text.data(), length * sizeof(Char));
        Put(static_cast<Byte*>(buffer) + length * sizeof(Char), Char{0});
        return;
    }
    case ftSmallint:
        return Put(buffer, static_cast<std::int16_t>(value.AsInteger()));
    case ftShortint:
        return Put(buffer, static_cast<std::int8_t>(value.AsInteger()));
    case ftByte:
        return Put(buffer, static_cast<std::uint8_t>(value.AsInteger()));
    case ftWord:
        return Put(buffer, static_cast<std::uint16_t>(value.AsInteger()));
    case ftInteger:
    case ftAutoInc:
        return Put(buffer, value.AsInteger());
    case ftLongWord:
        return Put(buffer, static_cast<std::uint32_t>(value.AsInt64()));
    case ftLargeint:
        return Put(buffer, value.AsInt64());
    case ftBoolean:
        return Put(buffer, static_cast<std::int16_t>(value.AsBoolean() ? -1 : 0));
    case ftFloat:
    case ftCurrency:
    case ftExtended:
        return Put(buffer, value.AsDouble());
    case ftSingle:
        return Put(buffer, static_cast<float>(value.AsDouble()));
    case ftBCD:
    case ftFMTBcd:
        return Put(buffer, VarToBcd(value));
    case ftDate:
        return Put(buffer, DateTimeToTimeStamp(value.AsDateTime()).Date);
    case ftTime:
        return Put(buffer, DateTimeToTimeStamp(value.AsDateTime()).Time);
    case ftDateTime: {
        TTimeStamp stamp = DateTimeToTimeStamp(value.AsDateTime());
        return Put(buffer, static_cast<double>(stamp.Date) * MSecsPerDayValue + stamp.Time);
    }
    case ftTimeStamp:
        return Put(buffer, VarToSQLTimeStamp(value));
    case ftBytes:
    case ftVarBytes: {
        String bytes = VarToStr(value);
        std::size_t length = std::min(bytes.size(), static_cast<std::size_t>(field->Size()));
        auto* out = static_cast<Byte*>(buffer);
        if (field->DataType() == ftVarBytes) {
            Put(out, static_cast<std::uint16_t>(length));
            out += 2;
        } else {
            std::memset(out, 0, static_cast<std::size_t>(field->Size()));
        }
        for (std::size_t i = 0; i < length; ++i)
            out[i] = static_cast<Byte>(bytes[i]);
        return;
    }
    default:
        DatabaseErrorFmt(DBConsts::SUnknownFieldType, {field->DisplayName()}, field->DataSet());
    }
}

Variant NativeToVariant(const TField* field, const void* buffer) {
    switch (field->DataType()) {
    case ftString:
    case ftFixedChar:
    case ftGuid: {
        auto* text = static_cast<const char*>(buffer);
        return UTF8ToString(std::string_view(text, strnlen(text, static_cast<std::size_t>(field->Size()))));
    }
    case ftWideString:
    case ftFixedWideChar: {
        auto* bytes = static_cast<const Byte*>(buffer);
        String text;
        for (std::size_t i = 0; i < static_cast<std::size_t>(field->Size()); ++i) {
            Char c = Take<Char>(bytes + i * sizeof(Char));
            if (c == 0) break;
            text += c;
        }
        return text;
    }
    case ftSmallint:
        return static_cast<int>(Take<std::int16_t>(buffer));
    case ftShortint:
        return static_cast<int>(Take<std::int8_t>(buffer));
    case ftByte:
        return static_cast<int>(Take<std::uint8_t>(buffer));
    case ftWord:
        return static_cast<int>(Take<std::uint16_t>(buffer));
    case ftInteger:
    case ftAutoInc:
        return Take<Integer>(buffer);
    case ftLongWord:
        return static_cast<unsigned>(Take<std::uint32_t>(buffer));
    case ftLargeint:
        return static_cast<long long>(Take<Int64>(buffer));
    case ftBoolean:
        return Take<std::int16_t>(buffer) != 0;
    case ftFloat:
    case ftCurrency:
    case ftExtended:
        return Take<double>(buffer);
    case ftSingle:
        return Take<float>(buffer);
    case ftBCD:
    case ftFMTBcd:
        return VarFMTBcdCreate(Take<TBcd>(buffer));
    case ftDate:
        return VarFromDateTime(TimeStampToDateTime(TTimeStamp{0, Take<Integer>(buffer)}));
    case ftTime:
        return VarFromDateTime(Take<Integer>(buffer) / MSecsPerDayValue);
    case ftDateTime: {
        double msecs = Take<double>(buffer);
        double days = std::floor(msecs / MSecsPerDayValue);
        TTimeStamp stamp{static_cast<Integer>(msecs - days * MSecsPerDayValue), static_cast<Integer>(days)};
        return VarFromDateTime(TimeStampToDateTime(stamp));
    }
    case ftTimeStamp:
        return VarSQLTimeStampCreate(Take<TSQLTimeStamp>(buffer));
    case ftBytes:
    case ftVarBytes: {
        auto* bytes = static_cast<const Byte*>(buffer);
        std::size_t length = static_cast<std::size_t>(field->Size());
        if (field->DataType() == ftVarBytes) {
            length = std::min<std::size_t>(Take<std::uint16_t>(bytes), length);
            bytes += 2;
        }
        return String(bytes, bytes + length);
    }
    default:
        DatabaseErrorFmt(DBConsts::SUnknownFieldType, {field->DisplayName()}, field->DataSet());
    }
}

} // namespace mv
