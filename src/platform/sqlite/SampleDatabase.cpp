// The deterministic sample database (SampleDatabase.h). Values come from a SplitMix64
// generator rather than <random>: the standard distributions may differ between library
// versions, and the rows must not.
#include "platform/sqlite/SampleDatabase.h"

#include "platform/db/DB.h"
#include "platform/rtl/Format.h"
#include "platform/sqlite/SQLiteConnection.h"
#include "platform/sqlite/SQLitePrivate.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace mv {

using namespace SQLiteDetail;

namespace {

constexpr Integer MaxOrders = 1'000'000;
const String SOrderCountRange = u"Sample database: order count %d is outside 1 to 1000000";

constexpr std::array<const char*, 24> FirstNames = {"Anna",  "Ben",   "Clara",  "David", "Emma",   "Felix",
                                                    "Grace", "Henry", "Ida",    "Jonas", "Karin",  "Leo",
                                                    "Maria", "Nils",  "Olga",   "Paul",  "Quinn",  "Rosa",
                                                    "Simon", "Tara",  "Ulrich", "Vera",  "Walter", "Yara"};
constexpr std::array<const char*, 24> LastNames = {
    "Adler",  "Berg",   "Costa",  "Dumont", "Eriksen", "Fischer", "Garcia", "Hansen",
    "Ivanov", "Jensen", "Keller", "Lopez",  "Moreau",  "Novak",   "Olsen",  "Petrov",
    "Quist",  "Rossi",  "Schulz", "Torres", "Urban",   "Vidal",   "Weber",  "Young"};
constexpr std::array<const char*, 16> Cities = {
    "Amsterdam", "Berlin", "Cardiff", "Dublin", "Edinburgh", "Florence", "Geneva", "Hamburg",
    "Innsbruck", "Lisbon", "Madrid",  "Oslo",   "Prague",    "Rome",     "Vienna", "Warsaw"};
constexpr std::array<const char*, 16> Countries = {"Netherlands",    "Germany",  "United Kingdom", "Ireland",
                                                   "United Kingdom", "Italy",    "Switzerland",    "Germany",
                                                   "Austria",        "Portugal", "Spain",          "Norway",
                                                   "Czechia",        "Italy",    "Austria",        "Poland"};
constexpr std::array<const char*, 8> RootCategories = {"Books",  "Music",  "Garden", "Kitchen",
                                                       "Office", "Sports", "Toys",   "Tools"};
constexpr std::array<const char*, 4> SubCategories = {"Classic", "Modern", "Premium", "Budget"};
constexpr std::array<const char*, 3> LeafCategories = {"Small", "Medium", "Large"};
constexpr std::array<const char*, 12> Adjectives = {"Red",   "Quiet", "Rapid", "Solid",  "Bright", "Tiny",
                                                    "Grand", "Smart", "Fresh", "Silver", "Golden", "Simple"};
constexpr std::array<const char*, 12> Nouns = {"Lamp", "Chair", "Kettle", "Guitar", "Hammer", "Ball",
                                               "Pen",  "Clock", "Basket", "Drum",   "Glove",  "Map"};
constexpr std::array<const char*, 4> Statuses = {"Open", "Shipped", "Delivered", "Cancelled"};

class TSplitMix {
public:
    explicit TSplitMix(UInt64 seed) : FState(seed) {}
    UInt64 Next() {
        UInt64 z = (FState += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // 0 .. bound-1.
    Integer Below(Integer bound) { return static_cast<Integer>(Next() % static_cast<UInt64>(bound)); }
    template <typename T, std::size_t N> const char* Pick(const std::array<T, N>& items) {
        return items[static_cast<std::size_t>(Below(static_cast<Integer>(N)))];
    }

private:
    UInt64 FState;
};

// A prepared INSERT reused for every row of a table.
class TInserter {
public:
    TInserter(sqlite3* db, const char* sql) : FDb(db), FStatement(PrepareSingle(db, sql)) {}
    TInserter& Int(Int64 value) {
        sqlite3_bind_int64(FStatement.get(), ++FIndex, value);
        return *this;
    }
    TInserter& Real(double value) {
        sqlite3_bind_double(FStatement.get(), ++FIndex, value);
        return *this;
    }
    TInserter& Text(const std::string& value) {
        sqlite3_bind_text(FStatement.get(), ++FIndex, value.data(), static_cast<int>(value.size()),
                          SQLITE_TRANSIENT);
        return *this;
    }
    TInserter& Null() {
        sqlite3_bind_null(FStatement.get(), ++FIndex);
        return *this;
    }
    void Run() {
        int rc = sqlite3_step(FStatement.get());
        if (rc != SQLITE_DONE) RaiseError(FDb, rc);
        sqlite3_reset(FStatement.get());
        FIndex = 0;
    }

private:
    sqlite3* FDb;
    TStatementPtr FStatement;
    int FIndex = 0;
};

// The civil date `days` after 2019-01-01, as "YYYY-MM-DD".
std::string DateText(Integer days) {
    static constexpr int MonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int year = 2019;
    for (;;) {
        bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        int length = leap ? 366 : 365;
        if (days < length) break;
        days -= length;
        ++year;
    }
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    int month = 0;
    for (;; ++month) {
        int length = MonthDays[month] + (month == 1 && leap ? 1 : 0);
        if (days < length) break;
        days -= length;
    }
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month + 1, days + 1);
    return text;
}

std::string Cents(Int64 cents) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%02lld", static_cast<long long>(cents / 100),
                  static_cast<long long>(cents % 100));
    return text;
}

const char* const Schema = R"(
CREATE TABLE Categories (ID INTEGER PRIMARY KEY, ParentID INTEGER REFERENCES Categories(ID),
  Name VARCHAR(40) NOT NULL);
CREATE TABLE Customers (ID INTEGER PRIMARY KEY, Name VARCHAR(60) NOT NULL, City VARCHAR(40),
  Country VARCHAR(40), Email VARCHAR(80), Phone VARCHAR(20), Since DATE, CreditLimit REAL,
  Active BOOLEAN NOT NULL DEFAULT 1);
CREATE TABLE Products (ID INTEGER PRIMARY KEY, Name VARCHAR(60) NOT NULL,
  CategoryID INTEGER REFERENCES Categories(ID), Price MONEY NOT NULL, Stock INTEGER,
  Discontinued BOOLEAN NOT NULL DEFAULT 0, Description TEXT);
CREATE TABLE Orders (ID INTEGER PRIMARY KEY, CustomerID INTEGER NOT NULL REFERENCES Customers(ID),
  OrderDate DATE NOT NULL, ShippedAt DATETIME, Status VARCHAR(12) NOT NULL, Total REAL, Notes TEXT);
CREATE TABLE OrderLines (ID INTEGER PRIMARY KEY, OrderID INTEGER NOT NULL REFERENCES Orders(ID),
  ProductID INTEGER NOT NULL REFERENCES Products(ID), Quantity INTEGER NOT NULL,
  UnitPrice REAL NOT NULL, Discount REAL NOT NULL DEFAULT 0);
CREATE INDEX Customers_Name ON Customers(Name);
CREATE INDEX Products_CategoryID ON Products(CategoryID);
CREATE INDEX Orders_CustomerID ON Orders(CustomerID);
CREATE INDEX Orders_OrderDate ON Orders(OrderDate);
CREATE INDEX OrderLines_OrderID ON OrderLines(OrderID);
)";

// Categories: the roots, then for each root its sub-categories, each with its leaves.
Integer FillCategories(sqlite3* db) {
    TInserter insert(db, "INSERT INTO Categories (ID, ParentID, Name) VALUES (?, ?, ?)");
    Integer id = 0;
    for (const char* root : RootCategories) {
        Integer rootId = ++id;
        insert.Int(rootId).Null().Text(root).Run();
        for (const char* sub : SubCategories) {
            Integer subId = ++id;
            insert.Int(subId).Int(rootId).Text(std::string(sub) + " " + root).Run();
            for (const char* leaf : LeafCategories)
                insert.Int(++id).Int(subId).Text(std::string(leaf) + " " + sub + " " + root).Run();
        }
    }
    return id;
}

void FillCustomers(sqlite3* db, TSplitMix& random, Integer count) {
    TInserter insert(db, "INSERT INTO Customers (ID, Name, City, Country, Email, Phone, Since, CreditLimit, "
                         "Active) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (Integer id = 1; id <= count; ++id) {
        std::string first = random.Pick(FirstNames), last = random.Pick(LastNames);
        Integer city = random.Below(static_cast<Integer>(Cities.size()));
        std::string email = first + "." + last + std::to_string(id) + "@example.com";
        for (char& c : email)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        char phone[24];
        std::snprintf(phone, sizeof phone, "+%02d %03d %04d", 30 + city, random.Below(1000),
                      random.Below(10000));
        insert.Int(id).Text(first + " " + last).Text(Cities[static_cast<std::size_t>(city)]);
        insert.Text(Countries[static_cast<std::size_t>(city)]).Text(email).Text(phone);
        if (random.Below(10) == 0)
            insert.Null();
        else
            insert.Text(DateText(random.Below(6 * 365)));
        insert.Real(static_cast<double>(random.Below(200) * 250)).Int(random.Below(8) != 0).Run();
    }
}

void FillProducts(sqlite3* db, TSplitMix& random, Integer count, Integer categories,
                  std::vector<Int64>& prices) {
    TInserter insert(db,
                     "INSERT INTO Products (ID, Name, CategoryID, Price, Stock, Discontinued, Description) "
                     "VALUES (?, ?, ?, ?, ?, ?, ?)");
    prices.assign(static_cast<std::size_t>(count) + 1, 0);
    for (Integer id = 1; id <= count; ++id) {
        std::string name =
            std::string(random.Pick(Adjectives)) + " " + random.Pick(Nouns) + " " + std::to_string(id);
        Int64 cents = 99 + random.Below(50000);
        prices[static_cast<std::size_t>(id)] = cents;
        insert.Int(id).Text(name).Int(1 + random.Below(categories)).Real(static_cast<double>(cents) / 100.0);
        insert.Int(random.Below(500)).Int(random.Below(20) == 0);
        if (random.Below(3) == 0)
            insert.Null();
        else
            insert.Text("The " + name + ", a " + Cents(cents) + " favourite.");
        insert.Run();
    }
}

Integer FillOrders(sqlite3* db, TSplitMix& random, const TSampleDatabaseOptions& options, Integer customers,
                   const std::vector<Int64>& prices) {
    TInserter order(db, "INSERT INTO Orders (ID, CustomerID, OrderDate, ShippedAt, Status, Total, Notes) "
                        "VALUES (?, ?, ?, ?, ?, ?, ?)");
    TInserter line(db, "INSERT INTO OrderLines (OrderID, ProductID, Quantity, UnitPrice, Discount) "
                       "VALUES (?, ?, ?, ?, ?)");
    auto products = static_cast<Integer>(prices.size()) - 1;
    struct TLine {
        Integer Product, Quantity, Discount;
        Int64 Price;
    };
    std::vector<TLine> orderLines;
    Integer lines = 0;
    for (Integer id = 1; id <= options.OrderCount; ++id) {
        Integer day = random.Below(6 * 365);
        Integer status = random.Below(static_cast<Integer>(Statuses.size()));
        Integer lineCount = 1 + random.Below(5);
        Int64 total = 0;
        orderLines.clear();
        for (Integer n = 0; n < lineCount; ++n) {
            TLine item;
            item.Product = 1 + random.Below(products);
            item.Quantity = 1 + random.Below(9);
            item.Discount = random.Below(4) == 0 ? 5 * (1 + random.Below(4)) : 0;
            item.Price = prices[static_cast<std::size_t>(item.Product)];
            total += item.Price * item.Quantity * (100 - item.Discount) / 100;
            orderLines.push_back(item);
        }
        order.Int(id).Int(1 + random.Below(customers)).Text(DateText(day));
        if (status == 0 || status == 3) {
            order.Null();
        } else {
            char time[48];
            std::snprintf(time, sizeof time, " %02d:%02d:%02d", 8 + random.Below(10), random.Below(60),
                          random.Below(60));
            order.Text(DateText(day + 1 + random.Below(10)) + time);
        }
        order.Text(Statuses[static_cast<std::size_t>(status)]).Real(static_cast<double>(total) / 100.0);
        if (random.Below(7) == 0)
            order.Text("Deliver to the " + std::string(random.Pick(Nouns)) + " entrance");
        else
            order.Null();
        order.Run();
        if (!options.OrderLines) continue;
        // After the order: the lines reference it.
        for (const TLine& item : orderLines) {
            line.Int(id).Int(item.Product).Int(item.Quantity).Real(static_cast<double>(item.Price) / 100.0);
            line.Real(item.Discount / 100.0).Run();
            ++lines;
        }
    }
    return lines;
}

} // namespace

TSampleDatabaseCounts CreateSampleDatabase(TSQLiteConnection* connection,
                                           const TSampleDatabaseOptions& options) {
    if (options.OrderCount < 1 || options.OrderCount > MaxOrders)
        DatabaseErrorFmt(SOrderCountRange, {options.OrderCount});
    if (!connection->Connected()) connection->Open();
    sqlite3* db = TConnectionAccess::Handle(*connection);
    TSampleDatabaseCounts counts;
    counts.Orders = options.OrderCount;
    counts.Customers = std::max<Integer>(10, options.OrderCount / 10);
    counts.Products = std::clamp<Integer>(options.OrderCount / 50, 20, 2000);

    connection->StartTransaction();
    try {
        int rc = sqlite3_exec(db, Schema, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) RaiseError(db, rc, connection);
        TSplitMix random(options.Seed);
        counts.Categories = FillCategories(db);
        FillCustomers(db, random, counts.Customers);
        std::vector<Int64> prices;
        FillProducts(db, random, counts.Products, counts.Categories, prices);
        counts.OrderLines = FillOrders(db, random, options, counts.Customers, prices);
        connection->Commit();
    } catch (...) {
        connection->Rollback();
        throw;
    }
    return counts;
}

} // namespace mv
