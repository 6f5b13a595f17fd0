// Format: the framework's "%[index:][-][width][.prec]type" specifiers over TVarRec
// arguments. Number texts come from FloatConvert.cpp through FloatDigits.h.
#include "platform/rtl/Format.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FloatDigits.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace mv {
namespace {

using detail::TTextBuffer;

// Substitutes the first "%s" by hand: formatting the message with Format itself could
// recurse forever if an application installed a broken translation.
[[noreturn]] void RaiseFormatError(const String& message, StringView format) {
    String text = message;
    const std::size_t at = text.find(u"%s");
    if (at != String::npos) text.replace(at, 2, format);
    throw EConvertError(std::move(text));
}

bool IsDigit(Char c) {
    return c >= u'0' && c <= u'9';
}

Char UpCase(Char c) {
    return c >= u'a' && c <= u'z' ? static_cast<Char>(c - (u'a' - u'A')) : c;
}

class TFormatter {
public:
    TFormatter(StringView format, std::span<const TVarRec> args, const TFormatSettings& settings)
        : FFormat(format), FArgs(args), FSettings(settings) {}

    String Run();

private:
    struct TSpec {
        bool LeftAlign = false;
        int Width = 0;
        int Precision = -1; // -1: none given
        Char Type = 0;
    };

    [[noreturn]] void RaiseInvalid() const { RaiseFormatError(SysConst::SInvalidFormat, FFormat); }
    const TVarRec& NextArg();
    bool ReadCount(int& value);
    void ParseSpec(TSpec& conv);
    void AppendArg(TTextBuffer& text, const TSpec& conv, const TVarRec& arg);
    void AppendInteger(TTextBuffer& text, const TSpec& conv, const TVarRec& arg);
    void AppendFloatArg(TTextBuffer& text, const TSpec& conv, const TVarRec& arg);
    void AppendStringArg(TTextBuffer& text, const TSpec& conv, const TVarRec& arg);

    StringView FFormat;
    std::span<const TVarRec> FArgs;
    const TFormatSettings& FSettings;
    std::size_t FPos = 0;
    std::size_t FArgIndex = 0;
};

const TVarRec& TFormatter::NextArg() {
    if (FArgIndex >= FArgs.size()) RaiseFormatError(SysConst::SArgumentMissing, FFormat);
    return FArgs[FArgIndex++];
}

// A decimal count or '*' (taken from the next integer argument); false when neither.
bool TFormatter::ReadCount(int& value) {
    if (FPos < FFormat.size() && FFormat[FPos] == u'*') {
        ++FPos;
        const TVarRec& arg = NextArg();
        if (arg.Kind() != TVarRec::vtInteger && arg.Kind() != TVarRec::vtInt64) RaiseInvalid();
        const Int64 n = arg.AsInt64();
        value = n < 0 ? 0 : n > 1 << 20 ? 1 << 20 : static_cast<int>(n);
        return true;
    }
    if (FPos >= FFormat.size() || !IsDigit(FFormat[FPos])) return false;
    Int64 n = 0;
    while (FPos < FFormat.size() && IsDigit(FFormat[FPos])) {
        n = n * 10 + (FFormat[FPos++] - u'0');
        if (n > (1 << 20)) RaiseInvalid(); // no sensible width, precision or index is this large
    }
    value = static_cast<int>(n);
    return true;
}

void TFormatter::ParseSpec(TSpec& conv) {
    int first = 0;
    bool haveFirst = ReadCount(first);
    if (haveFirst && FPos < FFormat.size() && FFormat[FPos] == u':') {
        ++FPos;
        FArgIndex = static_cast<std::size_t>(first);
        haveFirst = false;
    }
    if (haveFirst) {
        conv.Width = first;
    } else {
        if (FPos < FFormat.size() && FFormat[FPos] == u'-') {
            conv.LeftAlign = true;
            ++FPos;
        }
        ReadCount(conv.Width);
    }
    if (FPos < FFormat.size() && FFormat[FPos] == u'.') {
        ++FPos;
        conv.Precision = 0;
        ReadCount(conv.Precision);
    }
    if (FPos >= FFormat.size()) RaiseInvalid();
    conv.Type = UpCase(FFormat[FPos++]);
}

void TFormatter::AppendInteger(TTextBuffer& text, const TSpec& conv, const TVarRec& arg) {
    const TVarRec::TKind kind = arg.Kind();
    if (kind != TVarRec::vtInteger && kind != TVarRec::vtInt64 && kind != TVarRec::vtUInt64) RaiseInvalid();
    bool negative = false;
    UInt64 magnitude = 0;
    if (kind == TVarRec::vtUInt64) {
        magnitude = arg.AsUInt64();
    } else if (conv.Type == u'D') {
        const Int64 v = arg.AsInt64();
        negative = v < 0;
        magnitude = negative ? UInt64(0) - static_cast<UInt64>(v) : static_cast<UInt64>(v);
    } else if (kind == TVarRec::vtInteger) {
        // An Integer shows its 32-bit pattern for %u and %x, as in the framework.
        magnitude = static_cast<std::uint32_t>(arg.AsInt64());
    } else {
        magnitude = static_cast<UInt64>(arg.AsInt64());
    }
    char buf[24];
    const int base = conv.Type == u'X' ? 16 : 10;
    const auto res = std::to_chars(buf, buf + sizeof buf, magnitude, base);
    const int length = static_cast<int>(res.ptr - buf);
    if (negative) text.Add(u'-');
    if (conv.Precision > length) text.AddRepeated(u'0', static_cast<std::size_t>(conv.Precision - length));
    for (int i = 0; i < length; ++i)
        text.Add(UpCase(static_cast<Char>(buf[i])));
}

void TFormatter::AppendFloatArg(TTextBuffer& text, const TSpec& conv, const TVarRec& arg) {
    const bool isCurrency = arg.Kind() == TVarRec::vtCurrency;
    if (!isCurrency && arg.Kind() != TVarRec::vtExtended) RaiseInvalid();
    TFloatFormat format = ffGeneral;
    int precision = 0;
    int digits = 0;
    // As the framework: e/g take the precision as significant digits (default 15) and
    // show at least three exponent digits; f/n/m take it as decimals.
    const int fixedPrecision = isCurrency ? 19 : 18;
    switch (conv.Type) {
    case u'E':
        format = ffExponent;
        precision = conv.Precision < 0 ? 15 : std::clamp(conv.Precision, 1, 18);
        digits = 3;
        break;
    case u'G':
        format = ffGeneral;
        precision = conv.Precision < 0 ? 15 : std::clamp(conv.Precision, 1, 18);
        digits = 3;
        break;
    case u'F':
    case u'N':
        format = conv.Type == u'F' ? ffFixed : ffNumber;
        precision = fixedPrecision;
        digits = conv.Precision < 0 ? 2 : conv.Precision;
        break;
    default: // 'M'
        format = ffCurrency;
        precision = fixedPrecision;
        digits = conv.Precision < 0 ? FSettings.CurrencyDecimals : conv.Precision;
        break;
    }
    if (isCurrency)
        detail::AppendCurrency(text, arg.AsCurrency(), format, precision, digits, FSettings);
    else
        detail::AppendFloat(text, arg.AsFloat(), format, precision, digits, FSettings);
}

void TFormatter::AppendStringArg(TTextBuffer& text, const TSpec& conv, const TVarRec& arg) {
    Char single = 0;
    StringView s;
    if (arg.Kind() == TVarRec::vtString) {
        s = arg.AsString();
    } else if (arg.Kind() == TVarRec::vtChar) {
        single = static_cast<Char>(arg.AsInt64());
        s = StringView(&single, 1);
    } else {
        RaiseInvalid();
    }
    if (conv.Precision >= 0 && static_cast<std::size_t>(conv.Precision) < s.size()) {
        std::size_t keep = static_cast<std::size_t>(conv.Precision);
        // Never leave half of a surrogate pair behind.
        if (keep > 0 && s[keep - 1] >= 0xD800 && s[keep - 1] <= 0xDBFF) --keep;
        s = s.substr(0, keep);
    }
    text.Add(s);
}

void TFormatter::AppendArg(TTextBuffer& text, const TSpec& conv, const TVarRec& arg) {
    switch (conv.Type) {
    case u'D':
    case u'U':
    case u'X':
        AppendInteger(text, conv, arg);
        return;
    case u'E':
    case u'F':
    case u'G':
    case u'N':
    case u'M':
        AppendFloatArg(text, conv, arg);
        return;
    case u'S':
        AppendStringArg(text, conv, arg);
        return;
    case u'P': {
        if (arg.Kind() != TVarRec::vtPointer) RaiseInvalid();
        char buf[24];
        const auto res =
            std::to_chars(buf, buf + sizeof buf, reinterpret_cast<std::uintptr_t>(arg.AsPointer()), 16);
        const int length = static_cast<int>(res.ptr - buf);
        text.AddRepeated(u'0', static_cast<std::size_t>(16 - length));
        for (int i = 0; i < length; ++i)
            text.Add(UpCase(static_cast<Char>(buf[i])));
        return;
    }
    default:
        RaiseInvalid();
    }
}

String TFormatter::Run() {
    String result;
    result.reserve(FFormat.size());
    while (FPos < FFormat.size()) {
        const std::size_t percent = FFormat.find(u'%', FPos);
        if (percent == StringView::npos) {
            result.append(FFormat.substr(FPos));
            break;
        }
        result.append(FFormat.substr(FPos, percent - FPos));
        FPos = percent + 1;
        if (FPos < FFormat.size() && FFormat[FPos] == u'%') {
            result.push_back(u'%');
            ++FPos;
            continue;
        }
        TSpec conv;
        ParseSpec(conv);
        if (conv.Type != u'D' && conv.Type != u'U' && conv.Type != u'X' && conv.Type != u'E' &&
            conv.Type != u'F' && conv.Type != u'G' && conv.Type != u'N' && conv.Type != u'M' &&
            conv.Type != u'S' && conv.Type != u'P')
            RaiseInvalid(); // before taking an argument, so a bad type is never "missing argument"
        TTextBuffer text;
        AppendArg(text, conv, NextArg());
        const std::size_t length = text.Length();
        const std::size_t width = static_cast<std::size_t>(conv.Width);
        if (!conv.LeftAlign && width > length) result.append(width - length, u' ');
        result.append(text.View());
        if (conv.LeftAlign && width > length) result.append(width - length, u' ');
    }
    return result;
}

} // namespace

String Format(StringView format, std::span<const TVarRec> args, const TFormatSettings& settings) {
    return TFormatter(format, args, settings).Run();
}

String Format(StringView format, std::initializer_list<TVarRec> args) {
    return Format(format, std::span<const TVarRec>(args.begin(), args.size()), FormatSettings());
}

String Format(StringView format, std::span<const TVarRec> args) {
    return Format(format, args, FormatSettings());
}

String Format(StringView format, std::initializer_list<TVarRec> args, const TFormatSettings& settings) {
    return Format(format, std::span<const TVarRec>(args.begin(), args.size()), settings);
}

} // namespace mv
