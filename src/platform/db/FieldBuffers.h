// Variants to and from the native buffers of fields (the formats Fields.h lists), for data
// sets that keep their values as Variants: the SQLite query's record cache, the tests'
// vector data set.
//
// Variants by type: texts String; smallint, shortint, byte, word and integer Integer;
// longword unsigned; largeint Int64; Boolean; float, currency and extended Double; single
// Double; BCD an FMTBcd Variant; date, time and date-time TDateTime (varDate); time stamp
// an SQL time-stamp Variant; bytes a String with one Char per byte.
#pragma once

#include "platform/rtl/Variants.h"

namespace mv {

class TField;

// Writes value in field's native format (DataSize bytes). Texts longer than Size are cut
// (UTF-8 at a character boundary). Raises EDatabaseError SUnknownFieldType for blob and
// object types, which have no native buffer.
void VariantToNative(const TField* field, const Variant& value, void* buffer);
// The value of a native buffer of field. Raises as VariantToNative.
Variant NativeToVariant(const TField* field, const void* buffer);

} // namespace mv
