// The sample database of the tests, benchmarks and demo: customers, products in a
// self-referencing category tree, orders and their order lines, generated from a seed so
// that the same options always give the same rows.
//
// Tables (all keyed by an INTEGER PRIMARY KEY "ID"):
//   Categories (ParentID -> Categories, Name)                      8 roots, 4 + 3 levels below
//   Customers  (Name, City, Country, Email, Phone, Since DATE, CreditLimit REAL, Active BOOLEAN)
//   Products   (Name, CategoryID, Price MONEY, Stock, Discontinued BOOLEAN, Description TEXT)
//   Orders     (CustomerID, OrderDate DATE, ShippedAt DATETIME, Status, Total REAL, Notes TEXT)
//   OrderLines (OrderID, ProductID, Quantity, UnitPrice REAL, Discount REAL)
// Dates are ISO-8601 text. Indexes on Orders(CustomerID), Orders(OrderDate),
// OrderLines(OrderID), Customers(Name), Products(CategoryID).
#pragma once

#include "platform/rtl/RtlTypes.h"

namespace mv {

class TSQLiteConnection;

struct TSampleDatabaseOptions {
    // 1 .. 1,000,000. Customers are a tenth of the orders (at least 10), products a
    // fiftieth (20 .. 2,000); each order has 1 to 5 lines.
    Integer OrderCount = 10000;
    UInt64 Seed = 20240501;
    // Without lines the database is built faster (benchmarks that only read Orders).
    bool OrderLines = true;
};

struct TSampleDatabaseCounts {
    Integer Categories = 0;
    Integer Customers = 0;
    Integer Products = 0;
    Integer Orders = 0;
    Integer OrderLines = 0;
};

// Creates and fills the tables in one transaction on a connected connection (it is
// connected when it is not). Raises EDatabaseError when OrderCount is out of range or a
// table already exists (nothing is written then).
TSampleDatabaseCounts CreateSampleDatabase(TSQLiteConnection* connection,
                                           const TSampleDatabaseOptions& options = {});

} // namespace mv
