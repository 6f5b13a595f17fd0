// TCustomConnection: what the data-access layer knows of a database connection, so that
// data sets in this layer (TClientDataSet) can load from a database without depending on
// a particular one. platform/sqlite implements it (TSQLiteConnection).
#pragma once

#include "platform/rtl/Component.h"
#include "platform/rtl/TypInfo.h"

#include <memory>

namespace mv {

class TDataSet;

class TCustomConnection : public TComponent {
    MV_CLASS(TCustomConnection, TComponent);

    explicit TCustomConnection(TComponent* owner = nullptr) : TComponent(owner) {}

    // Published: Connected.
    static void RegisterProperties(TPropertyRegistrar<TCustomConnection>& r);

    virtual bool Connected() const = 0;
    // Opening raises EDatabaseError with the database's message and leaves the connection
    // closed. While the component is loading the value is applied in Loaded.
    virtual void SetConnected(bool value) = 0;
    void Open() { SetConnected(true); }
    void Close() { SetConnected(false); }

    // Runs commandText, which must be a single statement that only reads and returns rows
    // (a SELECT), and hands back a data set open on its first row, owned by the caller and
    // readable forward. Fields come from the result. Connects first when needed. Raises
    // EDatabaseError with the database's message for a text it rejects; nothing stays
    // open then.
    // Made to be copied row by row: the data set may be unidirectional (holding only the
    // current row, RecordCount -1), and a text field whose length the database does not
    // declare has a Size that fits the longest value of the result (at least 1; a wide
    // memo when no string field can hold it), so that reading a value never cuts it; a
    // value that would not fit raises EDatabaseError instead.
    virtual std::unique_ptr<TDataSet> OpenQuery(const String& commandText) = 0;
};

} // namespace mv
