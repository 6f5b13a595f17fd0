// Published properties of the SQLite components (TypInfo.h), read and written by name by
// form streaming and by the grid's change-order registry ("SQL", "Sort").
#include "platform/db/DB.h"
#include "platform/sqlite/SQLiteConnection.h"
#include "platform/sqlite/SQLiteQuery.h"

namespace mv {

void TSQLiteConnection::RegisterProperties(TPropertyRegistrar<TSQLiteConnection>& r) {
    r.StringProp(u"DatabaseName", &TSQLiteConnection::DatabaseName, &TSQLiteConnection::SetDatabaseName);
    r.BooleanProp(u"ReadOnly", &TSQLiteConnection::ReadOnly, &TSQLiteConnection::SetReadOnly).Default(false);
    r.IntegerProp(u"BusyTimeout", &TSQLiteConnection::BusyTimeout, &TSQLiteConnection::SetBusyTimeout)
        .Default(1000);
}

void TSQLiteQuery::RegisterProperties(TPropertyRegistrar<TSQLiteQuery>& r) {
    r.ObjectProp<TSQLiteConnection>(u"Connection", &TSQLiteQuery::Connection, &TSQLiteQuery::SetConnection);
    r.ObjectProp<TStrings>(u"SQL", &TSQLiteQuery::SQL, &TSQLiteQuery::SetSQL);
    r.StringProp(u"Sort", &TSQLiteQuery::Sort, &TSQLiteQuery::SetSort);
    r.BooleanProp(u"ReadOnly", &TSQLiteQuery::ReadOnly, &TSQLiteQuery::SetReadOnly).Default(false);
    r.IntegerProp(u"FetchBlockSize", &TSQLiteQuery::FetchBlockSize, &TSQLiteQuery::SetFetchBlockSize)
        .Default(100);
}

void RegisterSQLiteClasses() {
    RegisterDBClasses();
    RegisterClasses({ClassOf<TSQLiteConnection>(), ClassOf<TSQLiteQuery>()});
}

} // namespace mv
