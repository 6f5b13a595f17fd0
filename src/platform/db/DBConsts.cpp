// Message texts of the data-access layer.
#include "platform/db/DBConsts.h"

namespace mv {
namespace DBConsts {
String SInvalidFieldSize = u"Invalid field size";
String SUnknownFieldType = u"Field '%s' is of an unknown type";
String SFieldNameMissing = u"Field name missing";
String SDuplicateFieldName = u"Duplicate field name '%s'";
String SFieldNotFound = u"Field '%s' not found";
String SFieldAccessError = u"Cannot access field '%s' as type %s";
String SFieldRangeError = u"%g is not a valid value for field '%s'. The allowed range is %g to %g";
String SInvalidIntegerValue = u"'%s' is not a valid integer value for field '%s'";
String SInvalidBoolValue = u"'%s' is not a valid boolean value for field '%s'";
String SInvalidFloatValue = u"'%s' is not a valid floating point value for field '%s'";
String SFieldTypeMismatch = u"Type mismatch for field '%s', expecting: %s actual: %s";
String SFieldOutOfRange = u"Value of field '%s' is out of range";
String SFieldRequired = u"Field '%s' must have a value";
String SDataSetMissing = u"Field '%s' has no dataset";
String SFieldReadOnly = u"Field '%s' cannot be modified";
String SFieldIndexError = u"Field index out of range";
String SCircularDataLink = u"Circular datalinks are not allowed";
String SLookupInfoError = u"Lookup information for field '%s' is incomplete";
String SDataSourceChange = u"DataSource cannot be changed";
String SDataSetOpen = u"Cannot perform this operation on an open dataset";
String SNotEditing = u"Dataset not in edit or insert mode";
String SDataSetClosed = u"Cannot perform this operation on a closed dataset";
String SDataSetEmpty = u"Cannot perform this operation on an empty dataset";
String SDataSetReadOnly = u"Cannot modify a read-only dataset";
String SDataSetUnidirectional = u"Operation not allowed on a unidirectional dataset";
String SRecordNotFound = u"Record not found";
String STooManyColumns = u"Grid requested to display more than 256 columns";
String SInvalidGuidValue = u"'%s' is not a valid GUID value for field '%s'";
String STextTrue = u"True";
String STextFalse = u"False";
} // namespace DBConsts
} // namespace mv
