// Message texts of the SQLite data-access unit. Plain globals, like DBConsts, so that an
// application can translate them at start-up; the raising code formats them at the raise.
#pragma once

#include "platform/rtl/RtlTypes.h"

namespace mv {
namespace SQLiteConsts {
extern String SCannotOpenDatabase;  // "Cannot open database '%s': %s"
extern String SConnectionMissing;   // "No connection assigned"
extern String SNotConnected;        // "Database '%s' is not connected"
extern String SDatabaseNameMissing; // "Database name missing"
extern String SEmptySQL;            // "No SQL statement"
extern String STrailingSQL;         // "Only one SQL statement is allowed; found more after: '%s'"
extern String SNoResultSet;         // "The SQL text does not return a result set"
extern String SQueryNotReadOnly;  // "The SQL text of a query may only read data; use ExecSQL to change data"
extern String SInvalidFilter;     // "Invalid filter expression: %s (%s)"
extern String SInvalidSort;       // "Invalid sort order: %s (%s)"
extern String SColumnsChanged;    // "The result of the query has %d columns where %d were expected"
extern String SNoTransaction;     // "No transaction is active"
extern String STransactionActive; // "A transaction is already active"
extern String SRecordChanged;     // "Record not found or changed by another user"
extern String SParamNotFound;     // "Parameter '%s' not found"
extern String SFetchFailed;       // "The result could not be read further: %s"
// "Column '%s' returned a text longer than the %d characters measured before it was read; ..."
extern String STextLongerThanMeasured;
} // namespace SQLiteConsts
} // namespace mv
