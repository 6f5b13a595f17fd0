// Exception base and the run-time library's message texts.
#include "platform/rtl/Exceptions.h"

#include "platform/rtl/Utf8.h"

namespace mv {

Exception::Exception(String message) : FMessage(std::move(message)), FUtf8(UTF8Encode(FMessage)) {}

void Exception::SetMessage(String message) {
    FMessage = std::move(message);
    FUtf8 = UTF8Encode(FMessage);
}

void Abort() { throw EAbort(SysConst::SOperationAborted); }

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
} // namespace SysConst

} // namespace mv
