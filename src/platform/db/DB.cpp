// Unit functions of the data-access layer: raising database errors, field type names.
#include "platform/db/DB.h"

#include "platform/db/Fields.h"
#include "platform/rtl/Component.h"

#include <array>

namespace mv {

namespace {

constexpr std::array<const Char*, FieldTypeCount> FieldTypeNames{
    u"Unknown",    u"String",          u"SmallInt",      u"Integer",     u"Word",         u"Boolean",
    u"Float",      u"Currency",        u"BCD",           u"Date",        u"Time",         u"DateTime",
    u"Bytes",      u"VarBytes",        u"AutoInc",       u"Blob",        u"Memo",         u"Graphic",
    u"FmtMemo",    u"ParadoxOle",      u"dBaseOle",      u"TypedBinary", u"Cursor",       u"FixedChar",
    u"WideString", u"Largeint",        u"ADT",           u"Array",       u"Reference",    u"DataSet",
    u"OraBlob",    u"OraClob",         u"Variant",       u"Interface",   u"IDispatch",    u"Guid",
    u"TimeStamp",  u"FMTBcd",          u"FixedWideChar", u"WideMemo",    u"OraTimeStamp", u"OraInterval",
    u"LongWord",   u"Shortint",        u"Byte",          u"Extended",    u"Connection",   u"Params",
    u"Stream",     u"TimeStampOffset", u"Object",        u"Single"};

} // namespace

TExceptionHandler ApplicationHandleException;

String FieldTypeName(TFieldType type) {
    auto index = static_cast<std::size_t>(type);
    return index < FieldTypeNames.size() ? String(FieldTypeNames[index]) : String(u"Unknown");
}

void DatabaseError(const String& message, const TComponent* component) {
    if (component != nullptr && !component->Name().empty())
        throw EDatabaseError(component->Name() + u": " + message);
    throw EDatabaseError(message);
}

void DatabaseErrorFmt(const String& message, std::initializer_list<TVarRec> args,
                      const TComponent* component) {
    DatabaseError(Format(message, args), component);
}

bool OkToChangeFieldAlignment(const TField* field) {
    if (field == nullptr) return false;
    // Numbers and dates keep their own (right) alignment; the framework's list, with the
    // numeric types added since.
    static const TFieldTypes fixed{ftSmallint,  ftInteger,  ftWord,     ftFloat,          ftCurrency,
                                   ftBCD,       ftDate,     ftTime,     ftDateTime,       ftAutoInc,
                                   ftTimeStamp, ftFMTBcd,   ftLargeint, ftLongWord,       ftShortint,
                                   ftByte,      ftExtended, ftSingle,   ftTimeStampOffset};
    return !fixed.Contains(field->DataType());
}

} // namespace mv
