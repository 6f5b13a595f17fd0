// The exception classes the library raises, and the run-time library's own message
// texts as replaceable globals (an application may translate them at start-up).
#pragma once

#include "platform/rtl/RtlTypes.h"

#include <exception>
#include <string>

namespace mv {

// Base of every exception the library raises. The message is UTF-16; what() gives it
// in UTF-8 so that uncaught exceptions and test failures print readably.
class Exception : public std::exception {
public:
    explicit Exception(String message);
    const String& Message() const { return FMessage; }
    void SetMessage(String message);
    const char* what() const noexcept override { return FUtf8.c_str(); }

private:
    String FMessage;
    std::string FUtf8;
};

#define MV_DECLARE_EXCEPTION(Name, Base)                                                                     \
    class Name : public Base {                                                                               \
    public:                                                                                                  \
        using Base::Base;                                                                                    \
    }

MV_DECLARE_EXCEPTION(EConvertError, Exception);
MV_DECLARE_EXCEPTION(EListError, Exception);
MV_DECLARE_EXCEPTION(EStringListError, EListError);
MV_DECLARE_EXCEPTION(EVariantError, Exception);
MV_DECLARE_EXCEPTION(EVariantTypeCastError, EVariantError);
MV_DECLARE_EXCEPTION(EVariantInvalidOpError, EVariantError);
MV_DECLARE_EXCEPTION(EVariantOverflowError, EVariantError);
MV_DECLARE_EXCEPTION(EVariantBadIndexError, EVariantError);
MV_DECLARE_EXCEPTION(EInvalidOperation, Exception);
MV_DECLARE_EXCEPTION(EInvalidGridOperation, Exception);
MV_DECLARE_EXCEPTION(EComponentError, Exception);
MV_DECLARE_EXCEPTION(EDatabaseError, Exception);
MV_DECLARE_EXCEPTION(EInvalidArgument, Exception);
MV_DECLARE_EXCEPTION(EIntOverflow, Exception);
MV_DECLARE_EXCEPTION(EZeroDivide, Exception);
MV_DECLARE_EXCEPTION(EOverflow, Exception);
// Silent exception: unwinds without a message box (the framework's Abort).
MV_DECLARE_EXCEPTION(EAbort, Exception);
// Streams, INI files and the per-user key store.
MV_DECLARE_EXCEPTION(EStreamError, Exception);
MV_DECLARE_EXCEPTION(EFCreateError, EStreamError);
MV_DECLARE_EXCEPTION(EFOpenError, EStreamError);
// Component streaming: a filer error is a stream error, as in the framework.
MV_DECLARE_EXCEPTION(EFilerError, EStreamError);
MV_DECLARE_EXCEPTION(EReadError, EFilerError);
MV_DECLARE_EXCEPTION(EWriteError, EFilerError);
MV_DECLARE_EXCEPTION(EClassNotFound, EFilerError);
// Published properties reached by name.
MV_DECLARE_EXCEPTION(EPropertyError, Exception);
MV_DECLARE_EXCEPTION(EIniFileException, Exception);
MV_DECLARE_EXCEPTION(ERegistryException, Exception);

#undef MV_DECLARE_EXCEPTION

[[noreturn]] void Abort();

// Message texts. Each is a plain global so an application can replace it; the
// raising code formats it at the time of the raise.
namespace SysConst {
extern String SInvalidInteger;         // "'%s' is not a valid integer value"
extern String SInvalidFloat;           // "'%s' is not a valid floating point value"
extern String SInvalidDate;            // "'%s' is not a valid date"
extern String SInvalidTime;            // "'%s' is not a valid time"
extern String SInvalidDateTime;        // "'%s' is not a valid date and time"
extern String SInvalidFormat;          // "Format '%s' invalid or incompatible with argument"
extern String SArgumentMissing;        // "No argument for format '%s'"
extern String SDateEncodeError;        // "Invalid argument to date encode"
extern String STimeEncodeError;        // "Invalid argument to time encode"
extern String SInvalidVarCast;         // "Invalid variant type conversion"
extern String SVarTypeCouldNotConvert; // "Could not convert variant of type (%s) into type (%s)"
extern String SVarInvalidOp;           // "Invalid variant operation"
extern String SVarOverflow;            // "Variant overflow"
extern String SVarBadIndex;            // "Variant or safe array index out of bounds"
extern String SDivByZero;              // "Division by zero"
extern String SListIndexError;         // "List index out of bounds (%d)"
extern String SListCountError;         // "List count out of bounds (%d)"
extern String SDuplicateString;        // "String list does not allow duplicates"
extern String SSortedListError;        // "Operation not allowed on sorted list"
extern String SDuplicateName;          // "A component named %s already exists"
extern String SInvalidName;            // "''%s'' is not a valid component name"
extern String SAssignError;            // "Cannot assign a %s to a %s"
extern String SOperationAborted;       // "Operation aborted"
extern String SInvalidTimeStamp;       // "'%d.%d' is not a valid timestamp"
extern String SInvalidBoolean;         // "'%s' is not a valid boolean value"
extern String SFOpenError;             // "Cannot open file \"%s\". %s"
extern String SFCreateError;           // "Cannot create file \"%s\". %s"
extern String SVarNotArray;            // "Variant is not an array"
extern String SInvalidBcdValue;        // "'%s' is not a valid BCD value"
extern String SBcdOverflow;            // "BCD overflow"
extern String SInvalidSQLTimeStamp;    // "Invalid SQL date/time values"
extern String SCouldNotParseTimeStamp; // "Could not parse SQL TimeStamp string"
extern String SReadError;              // "Stream read error"
extern String SWriteError;             // "Stream write error"
extern String SStreamSetSizeError;     // "Cannot set the stream size to %d. %s"
extern String SMemoryStreamError;      // "Out of memory while expanding memory stream"
extern String SIniFileReadError;       // "Unable to read \"%s\". %s"
extern String SIniFileWriteError;      // "Unable to write to \"%s\". %s"
extern String SIniFileInvalidName;     // "Invalid name \"%s\" for INI file \"%s\""
extern String SIniFileInvalidValue;    // "Value of \"%s\" for INI file \"%s\" contains a line break"
extern String SRegCreateFailed;        // "Failed to create key \"%s\". %s"
extern String SRegGetDataFailed;       // "Failed to get data for key \"%s\". %s"
extern String SRegSetDataFailed;       // "Failed to set data for key \"%s\". %s"
extern String SUnknownProperty;        // "Property %s does not exist in %s"
extern String SInvalidPropertyType;    // "Property %s of %s is not of type %s"
extern String SReadOnlyProperty;       // "Property %s of %s is read-only"
extern String SInvalidPropertyElement; // "Invalid property element: %s"
extern String SInvalidPropertyValue;   // "Invalid property value"
extern String SNilPropertyPath;        // "Property %s is nil in path %s"
extern String SClassNotFound;          // "Class %s not found"
extern String SDuplicateClass;         // "A class named %s already exists"
extern String SParseError;             // "%s on line %d"
extern String SPropertyReadError;      // "Error reading %s.%s: %s"
extern String SUnexpectedEnd;          // "Unexpected end of text"
extern String SSymbolExpected;         // "%s expected"
extern String SIdentifierExpected;     // "Identifier expected"
extern String SInvalidString;          // "Invalid string constant"
extern String SInvalidNumber;          // "Invalid number %s"
extern String SInvalidBinary;          // "Invalid binary value"
extern String SNestingTooDeep;         // "Nesting deeper than %d levels"
extern String SAncestorNotFound;       // "Ancestor for '%s' not found"
extern String SUnresolvedReference;    // "Unresolved reference to %s"
extern String SClassMismatch;          // "%s is a %s, not a %s"
extern String STextAfterEnd;           // "Text after the final end"
} // namespace SysConst

} // namespace mv
