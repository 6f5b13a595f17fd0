// Test seam for the SQLite fault points (see SQLitePrivate.h). Not public API.
#pragma once

#include "platform/sqlite/SQLitePrivate.h"

namespace mv::SQLiteDetail {

// After `skip` passes through the point, the next `count` passes fail with resultCode
// (an SQLite result code such as SQLITE_BUSY or SQLITE_IOERR).
void ArmFault(TSQLiteFaultPoint point, int resultCode, int skip = 0, int count = 1);
void DisarmFaults();
// How often the point was passed since the last DisarmFaults.
int FaultPasses(TSQLiteFaultPoint point);

} // namespace mv::SQLiteDetail
