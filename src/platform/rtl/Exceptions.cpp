// Exception base and the run-time library's message texts.
#include "platform/rtl/Exceptions.h"

#include "platform/rtl/Utf8.h"

namespace mv {

Exception::Exception(String message) : FMessage(std::move(message)), FUtf8(UTF8Encode(FMessage)) {}

void Exception::SetMessage(String message) {
    FMessage = std::move(message);
    FUtf8 = UTF8Encode(FMessage);
}

void Abort() {
    throw EAbort(SysConst::SOperationAborted);
}

namespace SysConst {
String SInvalidInteger = u"'%s' is not a valid integer value";
String SInvalidFloat = u"'%s' is not a valid floating point value";
String SInvalidDate = u"'%s' is not a valid date";
String SInvalidTime = u"'%s' is not a valid time";
String SInvalidDateTime = u"'%s' is not a valid date and time";
String SInvalidFormat = u"Format '%s' invalid or incompatible with argument";
String SArgumentMissing = u"No argument for format '%s'";
String SDateEncodeError = u"Invalid argument to date encode";
String STimeEncodeError = u"Invalid argument to time encode";
String SInvalidVarCast = u"Invalid variant type conversion";
String SVarTypeCouldNotConvert = u"Could not convert variant of type (%s) into type (%s)";
String SVarInvalidOp = u"Invalid variant operation";
String SVarOverflow = u"Variant overflow";
String SVarBadIndex = u"Variant or safe array index out of bounds";
String SDivByZero = u"Division by zero";
String SListIndexError = u"List index out of bounds (%d)";
String SListCountError = u"List count out of bounds (%d)";
String SDuplicateString = u"String list does not allow duplicates";
String SSortedListError = u"Operation not allowed on sorted list";
String SDuplicateName = u"A component named %s already exists";
String SInvalidName = u"''%s'' is not a valid component name";
String SAssignError = u"Cannot assign a %s to a %s";
String SOperationAborted = u"Operation aborted";
String SInvalidTimeStamp = u"'%d.%d' is not a valid timestamp";
String SInvalidBoolean = u"'%s' is not a valid boolean value";
String SFOpenError = u"Cannot open file \"%s\". %s";
String SFCreateError = u"Cannot create file \"%s\". %s";
String SVarNotArray = u"Variant is not an array";
String SInvalidBcdValue = u"'%s' is not a valid BCD value";
String SBcdOverflow = u"BCD overflow";
String SInvalidSQLTimeStamp = u"Invalid SQL date/time values";
String SCouldNotParseTimeStamp = u"Could not parse SQL TimeStamp string";
String SReadError = u"Stream read error";
String SWriteError = u"Stream write error";
String SStreamSetSizeError = u"Cannot set the stream size to %d. %s";
String SMemoryStreamError = u"Out of memory while expanding memory stream";
String SIniFileReadError = u"Unable to read \"%s\". %s";
String SIniFileWriteError = u"Unable to write to \"%s\". %s";
String SIniFileInvalidName = u"Invalid name \"%s\" for INI file \"%s\"";
String SIniFileInvalidValue = u"Value of \"%s\" for INI file \"%s\" contains a line break";
String SRegCreateFailed = u"Failed to create key \"%s\". %s";
String SRegGetDataFailed = u"Failed to get data for key \"%s\". %s";
String SRegSetDataFailed = u"Failed to set data for key \"%s\". %s";
String SUnknownProperty = u"Property %s does not exist in %s";
String SInvalidPropertyType = u"Property %s of %s is not of type %s";
String SReadOnlyProperty = u"Property %s of %s is read-only";
String SInvalidPropertyElement = u"Invalid property element: %s";
String SInvalidPropertyValue = u"Invalid property value";
String SNilPropertyPath = u"Property %s is nil in path %s";
String SClassNotFound = u"Class %s not found";
String SDuplicateClass = u"A class named %s already exists";
String SParseError = u"%s on line %d";
String SPropertyReadError = u"Error reading %s.%s: %s";
String SUnexpectedEnd = u"Unexpected end of text";
String SSymbolExpected = u"%s expected";
String SIdentifierExpected = u"Identifier expected";
String SInvalidString = u"Invalid string constant";
String SInvalidNumber = u"Invalid number %s";
String SInvalidBinary = u"Invalid binary value";
String SNestingTooDeep = u"Nesting deeper than %d levels";
String SAncestorNotFound = u"Ancestor for '%s' not found";
String SUnresolvedReference = u"Unresolved reference to %s";
String SClassMismatch = u"%s is a %s, not a %s";
String STextAfterEnd = u"Text after the final end";
} // namespace SysConst

} // namespace mv
