// Message texts of the SQLite data-access unit.
#include "platform/sqlite/SQLiteConsts.h"

namespace mv {
namespace SQLiteConsts {
String SCannotOpenDatabase = u"Cannot open database '%s': %s";
String SConnectionMissing = u"No connection assigned";
String SNotConnected = u"Database '%s' is not connected";
String SDatabaseNameMissing = u"Database name missing";
String SEmptySQL = u"No SQL statement";
String STrailingSQL = u"Only one SQL statement is allowed; found more after: '%s'";
String SNoResultSet = u"The SQL text does not return a result set";
String SQueryNotReadOnly = u"The SQL text of a query may only read data; use ExecSQL to change data";
String SInvalidFilter = u"Invalid filter expression: %s (%s)";
String SInvalidSort = u"Invalid sort order: %s (%s)";
String SColumnsChanged = u"The result of the query has %d columns where %d were expected";
String SNoTransaction = u"No transaction is active";
String STransactionActive = u"A transaction is already active";
String SRecordChanged = u"Record not found or changed by another user";
String SParamNotFound = u"Parameter '%s' not found";
String SFetchFailed = u"The result could not be read further: %s";
String STextLongerThanMeasured = u"Column '%s' returned a text longer than the %d characters measured before "
                                 u"it was read; the command gives other values each time it runs";
} // namespace SQLiteConsts
} // namespace mv
