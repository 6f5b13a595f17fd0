// Message texts of the data-access layer. Each is a plain global so an application can
// translate it at start-up; the raising code formats it at the time of the raise.
#pragma once

#include "platform/rtl/RtlTypes.h"

namespace mv {
namespace DBConsts {
extern String SInvalidFieldSize;    // "Invalid field size"
extern String SUnknownFieldType;    // "Field '%s' is of an unknown type"
extern String SFieldNameMissing;    // "Field name missing"
extern String SDuplicateFieldName;  // "Duplicate field name '%s'"
extern String SFieldNotFound;       // "Field '%s' not found"
extern String SFieldAccessError;    // "Cannot access field '%s' as type %s"
extern String SFieldRangeError;     // "%g is not a valid value for field '%s'. The allowed range is %g to %g"
extern String SInvalidIntegerValue; // "'%s' is not a valid integer value for field '%s'"
extern String SInvalidBoolValue;    // "'%s' is not a valid boolean value for field '%s'"
extern String SInvalidFloatValue;   // "'%s' is not a valid floating point value for field '%s'"
extern String SFieldTypeMismatch;   // "Type mismatch for field '%s', expecting: %s actual: %s"
extern String SFieldOutOfRange;     // "Value of field '%s' is out of range"
extern String SFieldRequired;       // "Field '%s' must have a value"
extern String SDataSetMissing;      // "Field '%s' has no dataset"
extern String SFieldReadOnly;       // "Field '%s' cannot be modified"
extern String SFieldIndexError;     // "Field index out of range"
extern String SCircularDataLink;    // "Circular datalinks are not allowed"
extern String SLookupInfoError;     // "Lookup information for field '%s' is incomplete"
extern String SDataSourceChange;    // "DataSource cannot be changed"
extern String SDataSetOpen;         // "Cannot perform this operation on an open dataset"
extern String SNotEditing;          // "Dataset not in edit or insert mode"
extern String SDataSetClosed;       // "Cannot perform this operation on a closed dataset"
extern String SDataSetEmpty;        // "Cannot perform this operation on an empty dataset"
extern String SDataSetReadOnly;     // "Cannot modify a read-only dataset"
extern String SDataSetUnidirectional; // "Operation not allowed on a unidirectional dataset"
extern String SRecordNotFound;        // "Record not found"
extern String STooManyColumns;        // "Grid requested to display more than 256 columns"
extern String SInvalidGuidValue;      // "'%s' is not a valid GUID value for field '%s'"
extern String STextTrue;              // "True"
extern String STextFalse;             // "False"
} // namespace DBConsts
} // namespace mv
