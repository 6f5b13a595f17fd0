// TSQLiteQuery: opening, the record cache, the record-buffer protocol and bookmarks.
// The overview is in SQLiteQuery.h; SQLiteQueryText.cpp builds the SQL that runs and
// SQLiteQueryEditing.cpp writes changes back.
//
// [SECTION] Construction and properties   SetConnection, SetSort, SetFiltered, SetFilterText, ExecSQL
// [SECTION] Columns                        DescribeColumns, FindUpdateTable
// [SECTION] Cache                          Swap, AppendCurrentRow, FetchBlock, EnsureRow, StepForward,
//                                          MoveForward, MoveCursor, PositionOf
// [SECTION] Opening                        InternalOpen, InternalClose, InternalInitFieldDefs,
//                                          InternalRefresh
// [SECTION] Buffers and records            AllocRecordBuffer, GetRecord, GetFieldData, SetFieldData
// [SECTION] Editing                        InternalPost, InternalAddRecord, InternalDelete
// [SECTION] Bookmarks                      GetBookmarkData, InternalGotoBookmark, CompareBookmarks
//
// Record buffer: a header (serial, bookmark flag) followed by one Variant per result
// column and one per calculated or lookup field.
#include "platform/sqlite/SQLiteQuery.h"

#include "platform/db/DBConsts.h"
#include "platform/db/FieldBuffers.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/Utf8.h"
#include "platform/sqlite/SQLiteConnection.h"
#include "platform/sqlite/SQLiteConsts.h"
#include "platform/sqlite/SQLiteQueryPrivate.h"
#include "platform/sqlite/SQLiteValues.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <limits>
#include <new>

namespace mv {

using namespace SQLiteDetail;

namespace {

constexpr std::size_t HeaderSize = 16; // THeader, padded so the Variants are aligned
constexpr Integer GuessedTextDisplayWidth = 40;

struct THeader {
    Int64 Serial;
    TBookmarkFlag Flag;
};
static_assert(sizeof(THeader) <= HeaderSize);

THeader& Header(TRecordBuffer buffer) {
    return *reinterpret_cast<THeader*>(buffer);
}

Variant* Slots(TRecordBuffer buffer) {
    return std::launder(reinterpret_cast<Variant*>(buffer + HeaderSize));
}

Int64 SerialOf(const TBookmark& bookmark) {
    Int64 serial = 0;
    if (bookmark.size() == sizeof serial) std::memcpy(&serial, bookmark.data(), sizeof serial);
    return serial;
}

bool IsRowidName(std::string_view name) {
    return sqlite3_stricmp(std::string(name).c_str(), "rowid") == 0 ||
           sqlite3_stricmp(std::string(name).c_str(), "oid") == 0 ||
           sqlite3_stricmp(std::string(name).c_str(), "_rowid_") == 0;
}

std::string ColumnText(sqlite3_stmt* statement, int column) {
    const unsigned char* text = sqlite3_column_text(statement, column);
    return text != nullptr ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

// Whether the query's top-level loops read a single table (alias): a self-join reports
// one origin table for all its columns, and only the plan tells its two aliases apart.
// Loops inside subqueries of the WHERE clause do not count.
bool ScansOneTable(sqlite3* db, const std::string& sql) {
    TStatementPtr plan = PrepareSingle(db, "EXPLAIN QUERY PLAN " + sql);
    std::string name;
    while (sqlite3_step(plan.get()) == SQLITE_ROW) {
        if (sqlite3_column_int(plan.get(), 1) != 0) continue;
        std::string detail = ColumnText(plan.get(), 3);
        std::size_t start = detail.starts_with("SCAN ") ? 5 : detail.starts_with("SEARCH ") ? 7 : 0;
        if (start == 0) continue;
        std::string alias = detail.substr(start, detail.find(' ', start) - start);
        if (!name.empty() && alias != name) return false;
        name = alias;
    }
    return true;
}

// The bytes a blob stream shows for a slot: blobs one byte per Char, wide memos UTF-16,
// memos UTF-8 (what the blob field classes expect of their streams).
std::vector<Byte> SlotToBytes(TFieldType type, const Variant& slot) {
    if (VarIsNull(slot) || VarIsEmpty(slot)) return {};
    String text = VarToStr(slot);
    if (type == ftWideMemo) {
        std::vector<Byte> bytes(text.size() * sizeof(Char));
        std::memcpy(bytes.data(), text.data(), bytes.size());
        return bytes;
    }
    if (type == ftMemo || type == ftFmtMemo) {
        std::string utf8 = UTF8Encode(text);
        return std::vector<Byte>(utf8.begin(), utf8.end());
    }
    return std::vector<Byte>(text.begin(), text.end());
}

Variant BytesToSlot(TFieldType type, const Byte* data, std::size_t size) {
    if (size == 0) return Null();
    if (type == ftWideMemo) {
        String text(size / sizeof(Char), u'\0');
        std::memcpy(text.data(), data, text.size() * sizeof(Char));
        return text;
    }
    if (type == ftMemo || type == ftFmtMemo)
        return UTF8ToString(std::string_view(reinterpret_cast<const char*>(data), size));
    return String(data, data + size);
}

// Reads the slot of a blob field when opened; writes the stream back into the slot when
// it was opened for writing.
class TSQLiteBlobStreamImpl : public TMemoryStream {
public:
    TSQLiteBlobStreamImpl(TSQLiteQuery* dataSet, TField* field, TBlobStreamMode mode, Variant* slot)
        : FDataSet(dataSet), FField(field), FMode(mode), FSlot(slot) {
        if (mode == bmWrite || FSlot == nullptr) return;
        std::vector<Byte> bytes = SlotToBytes(field->DataType(), *FSlot);
        if (!bytes.empty()) Write(bytes.data(), static_cast<Integer>(bytes.size()));
        SetPosition(0);
    }
    ~TSQLiteBlobStreamImpl() override {
        if (FMode == bmRead || FSlot == nullptr) return;
        *FSlot = BytesToSlot(FField->DataType(), static_cast<const Byte*>(Memory()),
                             static_cast<std::size_t>(GetSize()));
        TDataSetState state = FDataSet->State();
        if (state != dsEdit && state != dsInsert) return;
        try {
            FDataSet->DataEvent(deFieldChange, reinterpret_cast<NativeInt>(FField));
        } catch (...) {
            // A destructor cannot report; the value is stored, only a notification is lost.
        }
    }

private:
    TSQLiteQuery* FDataSet;
    TField* FField;
    TBlobStreamMode FMode;
    Variant* FSlot;
};

} // namespace

// ======================================================================================
// [SECTION] Construction and properties
// ======================================================================================

TSQLiteQuery::TSQLiteQuery(TComponent* owner)
    : TDataSet(owner), FSQL(std::make_unique<TStringList>()), FParams(std::make_unique<TParams>()),
      FImpl(std::make_unique<TSQLiteQueryImpl>(this)) {
    FSQL->OnChange = [this](TObject*) { SQLChanged(); };
}

TSQLiteQuery::~TSQLiteQuery() {
    Close();
    FSQL->OnChange = nullptr;
    if (FConnection != nullptr) TConnectionAccess::Unregister(*FConnection, this);
}

void TSQLiteQuery::SetConnection(TSQLiteConnection* value) {
    if (value == FConnection) return;
    CheckInactive();
    if (FConnection != nullptr) TConnectionAccess::Unregister(*FConnection, this);
    FConnection = value;
    if (FConnection != nullptr) TConnectionAccess::Register(*FConnection, this);
}

void TSQLiteQuery::Notification(TComponent* component, TOperation operation) {
    TDataSet::Notification(component, operation);
    if (operation == opRemove && component == FConnection) {
        Close();
        FConnection = nullptr;
    }
}

void TSQLiteQuery::SQLChanged() {
    if (Active()) Close();
    FParams->ParseSQL(FSQL->GetText());
    FieldDefs()->SetUpdated(false);
}

void TSQLiteQuery::SetSort(const String& value) {
    if (value == FSort) return;
    if (!Active()) {
        FSort = value;
        return;
    }
    CheckBrowseMode();
    TSQLiteExecution execution = FImpl->Execute(Filtered(), Filter(), value, sbSort);
    FSort = value;
    FImpl->Swap(std::move(execution));
    First();
}

void TSQLiteQuery::SetFiltered(bool value) {
    if (value == Filtered()) return;
    if (!Active()) {
        TDataSet::SetFiltered(value);
        return;
    }
    CheckBrowseMode();
    TSQLiteExecution execution = FImpl->Execute(value, Filter(), FSort, sbFilter);
    TDataSet::SetFiltered(value);
    FImpl->Swap(std::move(execution));
    First();
}

void TSQLiteQuery::SetFilterText(const String& value) {
    if (!Active() || !Filtered()) {
        TDataSet::SetFilterText(value);
        return;
    }
    if (value == Filter()) return;
    CheckBrowseMode();
    TSQLiteExecution execution = FImpl->Execute(true, value, FSort, sbFilter);
    TDataSet::SetFilterText(value);
    FImpl->Swap(std::move(execution));
    First();
}

Integer TSQLiteQuery::FetchedCount() const {
    return static_cast<Integer>(FImpl->Rows.size());
}

bool TSQLiteQuery::FetchComplete() const {
    return !FImpl->Statement;
}

String TSQLiteQuery::UpdateTableName() const {
    return FImpl->Editable ? UTF8ToString(FImpl->UpdateTable) : String();
}

Integer TSQLiteQuery::ExecSQL() {
    CheckInactive();
    sqlite3* db = FImpl->RequireDb();
    TStatementPtr statement = PrepareSingle(db, UTF8Encode(FSQL->GetText()), this);
    FImpl->BindParams(statement.get());
    int rc;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) RaiseError(db, rc, this);
    return sqlite3_changes(db);
}

bool TSQLiteQuery::GetCanModify() const {
    return FImpl->Editable && !FReadOnly && !IsUniDirectional() && FConnection != nullptr &&
           !FConnection->ReadOnly();
}

// ======================================================================================
// [SECTION] Columns
// ======================================================================================

void TSQLiteQueryImpl::DescribeColumns(sqlite3_stmt* statement, bool hasRow) {
    std::vector<String> names = UniqueColumnNames(statement);
    Columns.clear();
    for (int i = 0; i < static_cast<int>(names.size()); ++i) {
        TSQLiteColumn column;
        column.FieldName = names[static_cast<std::size_t>(i)];
        const char* declared = sqlite3_column_decltype(statement, i);
        int storage = hasRow ? sqlite3_column_type(statement, i) : SQLITE_NULL;
        column.Type = FieldTypeOfDeclaration(declared != nullptr ? declared : "", storage, column.Size);
        column.SizeGuessed = column.Type == ftWideString && column.Size == DefaultTextSize &&
                             (declared == nullptr || std::strchr(declared, '(') == nullptr);
        if (const char* table = sqlite3_column_table_name(statement, i)) column.Table = table;
        if (const char* origin = sqlite3_column_origin_name(statement, i)) column.Origin = origin;
        if (const char* database = sqlite3_column_database_name(statement, i)) column.Database = database;
        Columns.push_back(std::move(column));
    }
}

void TSQLiteQueryImpl::FindUpdateTable(sqlite3* db) {
    Editable = false;
    KeyIsRowid = false;
    UpdateDatabase.clear();
    UpdateTable.clear();
    KeyColumns.clear();
    for (const TSQLiteColumn& column : Columns) {
        if (column.Table.empty()) continue;
        if (UpdateTable.empty()) {
            UpdateDatabase = column.Database;
            UpdateTable = column.Table;
        } else if (column.Table != UpdateTable || column.Database != UpdateDatabase) {
            UpdateTable.clear();
            return; // more than one table: read-only
        }
    }
    if (UpdateTable.empty() || !ScansOneTable(db, PlannedText)) return;

    // The table's columns: primary key, NOT NULL without default, and whether it has a
    // rowid at all (WITHOUT ROWID tables do not).
    std::string qualified = QuoteIdentifier(UpdateDatabase) + ".";
    TStatementPtr info =
        PrepareSingle(db, "PRAGMA " + qualified + "table_info(" + QuoteIdentifier(UpdateTable) + ")");
    std::vector<std::string> primaryKey;
    std::vector<std::string> required;
    std::string primaryKeyType;
    while (sqlite3_step(info.get()) == SQLITE_ROW) {
        std::string name = ColumnText(info.get(), 1);
        int pk = sqlite3_column_int(info.get(), 5);
        if (pk > 0) {
            if (primaryKey.size() < static_cast<std::size_t>(pk))
                primaryKey.resize(static_cast<std::size_t>(pk));
            primaryKey[static_cast<std::size_t>(pk - 1)] = name;
            primaryKeyType = ColumnText(info.get(), 2);
        }
        if (sqlite3_column_int(info.get(), 3) != 0 && sqlite3_column_type(info.get(), 4) == SQLITE_NULL &&
            pk == 0)
            required.push_back(name);
    }
    bool withoutRowid = false;
    TStatementPtr list =
        PrepareSingle(db, "PRAGMA " + qualified + "table_list(" + QuoteIdentifier(UpdateTable) + ")");
    if (sqlite3_step(list.get()) == SQLITE_ROW) withoutRowid = sqlite3_column_int(list.get(), 4) != 0;
    bool rowidAlias =
        !withoutRowid && primaryKey.size() == 1 && sqlite3_stricmp(primaryKeyType.c_str(), "INTEGER") == 0;

    auto sameName = [](const std::string& a, const std::string& b) {
        return sqlite3_stricmp(a.c_str(), b.c_str()) == 0;
    };
    for (TSQLiteColumn& column : Columns) {
        if (column.Table.empty()) continue;
        bool isRowid = IsRowidName(column.Origin) && !(rowidAlias && sameName(column.Origin, primaryKey[0]));
        column.Writable = !isRowid;
        for (const std::string& name : required)
            column.Required = column.Required || sameName(name, column.Origin);
    }
    // The key: the rowid (or its alias), else every primary-key column.
    for (std::size_t i = 0; i < Columns.size() && KeyColumns.empty(); ++i) {
        const TSQLiteColumn& column = Columns[i];
        if (column.Table.empty()) continue;
        bool isRowid = !withoutRowid && IsRowidName(column.Origin);
        if (isRowid || (rowidAlias && sameName(column.Origin, primaryKey[0]))) {
            KeyColumns.push_back(i);
            KeyIsRowid = true;
        }
    }
    if (KeyColumns.empty() && !primaryKey.empty()) {
        for (const std::string& name : primaryKey) {
            std::size_t i = 0;
            while (i < Columns.size() && (Columns[i].Table.empty() || !sameName(Columns[i].Origin, name)))
                ++i;
            if (i == Columns.size()) {
                KeyColumns.clear();
                break;
            }
            KeyColumns.push_back(i);
        }
    }
    Editable = !KeyColumns.empty();
}

// ======================================================================================
// [SECTION] Cache
// ======================================================================================

void TSQLiteQueryImpl::Reset() {
    Statement.reset();
    RowPending = false;
    Rows.clear();
    Rows.shrink_to_fit();
    Cursor = -1;
    NextSerial = 0;
    FetchError.clear();
    SerialsOrdered = true;
    Positions.clear();
    PositionsValid = false;
    WrittenKeys.clear();
}

void TSQLiteQueryImpl::Swap(TSQLiteExecution execution) {
    Reset();
    Statement = std::move(execution.Statement);
    if (!execution.HasRow) {
        Statement.reset();
        return;
    }
    if (ForwardOnly()) {
        RowPending = true;
        return;
    }
    AppendCurrentRow();
    FetchBlock(Owner->FFetchBlockSize - 1);
}

std::vector<Variant> TSQLiteQueryImpl::ReadRow(sqlite3_stmt* statement, int firstColumn) {
    std::vector<Variant> values(Columns.size());
    for (std::size_t i = 0; i < Columns.size(); ++i) {
        TSQLiteColumn& column = Columns[i];
        values[i] = ReadColumn(statement, firstColumn + static_cast<int>(i), column.Type, column.Julian);
    }
    return values;
}

void TSQLiteQueryImpl::AppendCurrentRow() {
    std::vector<Variant> values = ReadRow(Statement.get());
    if (!WrittenKeys.empty() && WrittenKeys.count(KeyOf(values)) != 0) return;
    Rows.push_back(TSQLiteCachedRow{++NextSerial, std::move(values)});
    if (PositionsValid) Positions[NextSerial] = static_cast<Integer>(Rows.size()) - 1;
}

void TSQLiteQueryImpl::FetchBlock(Integer count) {
    for (Integer n = 0; n < count && Statement; ++n) {
        int rc = FaultSim(sfpStep);
        if (rc == SQLITE_OK) rc = sqlite3_step(Statement.get());
        if (rc == SQLITE_ROW) {
            AppendCurrentRow();
        } else if (rc == SQLITE_DONE) {
            Statement.reset(); // ends the read transaction
        } else {
            // A failed statement would start over if stepped again: stop here, keep what
            // was read, and report the error again on reading further.
            FetchError = ErrorText(Db(), rc);
            Statement.reset();
            DatabaseError(FetchError, Owner);
        }
    }
}

bool TSQLiteQueryImpl::EnsureRow(Integer position) {
    if (position < static_cast<Integer>(Rows.size())) return true;
    if (!FetchError.empty()) DatabaseErrorFmt(SQLiteConsts::SFetchFailed, {FetchError}, Owner);
    while (Statement && position >= static_cast<Integer>(Rows.size()))
        FetchBlock(Owner->FFetchBlockSize);
    return position < static_cast<Integer>(Rows.size());
}

void TSQLiteQueryImpl::FetchAll() {
    EnsureRow(std::numeric_limits<Integer>::max() - 1);
}

bool TSQLiteQueryImpl::StepForward() {
    assert(ForwardOnly() && "StepForward: only a forward-only query drops the rows it passed");
    Rows.clear();
    if (RowPending) {
        RowPending = false;
        AppendCurrentRow();
    } else {
        if (!FetchError.empty()) DatabaseErrorFmt(SQLiteConsts::SFetchFailed, {FetchError}, Owner);
        FetchBlock(1);
    }
    if (Rows.empty()) return false;
    // The lengths were measured by running the SQL once before: a text longer now means
    // the command gives other values each run (random(), a function with side effects).
    for (std::size_t i = 0; i < Columns.size(); ++i) {
        const TSQLiteColumn& column = Columns[i];
        if (!column.Measured) continue;
        auto length = sqlite3_column_bytes16(Statement.get(), static_cast<int>(i)) / sizeof(Char);
        if (length > static_cast<std::size_t>(column.Size))
            DatabaseErrorFmt(SQLiteConsts::STextLongerThanMeasured, {column.FieldName, column.Size}, Owner);
    }
    return true;
}

TGetResult TSQLiteQueryImpl::MoveForward(TGetMode getMode) {
    if (getMode == gmPrior) return grBOF;
    if (getMode == gmNext && !StepForward()) return grEOF;
    if (Rows.empty()) return grEOF;
    Cursor = 0;
    return grOK;
}

TGetResult TSQLiteQueryImpl::MoveCursor(TGetMode getMode) {
    Integer row = Cursor + (getMode == gmNext ? 1 : getMode == gmPrior ? -1 : 0);
    if (row < 0) {
        Cursor = -1;
        return grBOF;
    }
    if (!EnsureRow(row)) {
        Cursor = static_cast<Integer>(Rows.size());
        return grEOF;
    }
    Cursor = row;
    return grOK;
}

Integer TSQLiteQueryImpl::PositionOf(Int64 serial) const {
    if (SerialsOrdered) {
        auto it =
            std::lower_bound(Rows.begin(), Rows.end(), serial,
                             [](const TSQLiteCachedRow& row, Int64 value) { return row.Serial < value; });
        return it != Rows.end() && it->Serial == serial ? static_cast<Integer>(it - Rows.begin()) : -1;
    }
    if (!PositionsValid) {
        Positions.clear();
        for (std::size_t i = 0; i < Rows.size(); ++i)
            Positions[Rows[i].Serial] = static_cast<Integer>(i);
        PositionsValid = true;
    }
    auto it = Positions.find(serial);
    return it == Positions.end() ? -1 : it->second;
}

void TSQLiteQueryImpl::InvalidatePositions() {
    PositionsValid = false;
    Positions.clear();
}

std::string TSQLiteQueryImpl::KeyOf(const std::vector<Variant>& values) const {
    std::string key;
    for (std::size_t column : KeyColumns) {
        const Variant& value = values[column];
        key += std::to_string(VarType(value));
        key += ':';
        key += UTF8Encode(VarToStr(value));
        key += '\x1f';
    }
    return key;
}

// ======================================================================================
// [SECTION] Opening
// ======================================================================================

void TSQLiteQueryImpl::FillFieldDefs() {
    TFieldDefs* defs = Owner->FieldDefs();
    defs->Clear();
    for (const TSQLiteColumn& column : Columns) {
        TFieldDef* def = defs->Add(column.FieldName, column.Type, column.Size, column.Required);
        if (Editable && !column.Writable) def->SetAttributes(def->Attributes() + faReadonly);
    }
    defs->SetUpdated(true);
}

void TSQLiteQuery::InternalInitFieldDefs() {
    TSQLiteExecution execution = FImpl->Execute(false, String(), String(), sbQuery);
    FImpl->DescribeColumns(execution.Statement.get(), execution.HasRow);
    if (FImpl->SizeTextsFromData) FImpl->SizeGuessedTexts(FImpl->Db(), execution.HasRow);
    FImpl->FindUpdateTable(FImpl->Db());
    FImpl->FillFieldDefs();
}

void TSQLiteQuery::InternalOpen() {
    TSQLiteExecution execution = FImpl->Execute(Filtered(), Filter(), FSort, sbFilter);
    FImpl->DescribeColumns(execution.Statement.get(), execution.HasRow);
    // After Execute: its statement holds the read transaction, so the lengths measured
    // are those of the rows it will return.
    if (FImpl->SizeTextsFromData) FImpl->SizeGuessedTexts(FImpl->Db(), execution.HasRow);
    FImpl->FindUpdateTable(FImpl->Db());
    FImpl->FillFieldDefs();
    if (DefaultFields()) {
        CreateFields();
        for (const TSQLiteColumn& column : FImpl->Columns)
            if (column.SizeGuessed)
                if (TField* field = FindField(column.FieldName))
                    field->SetDisplayWidth(GuessedTextDisplayWidth);
    }
    BindFields(true);
    FImpl->DataSlots = static_cast<Integer>(FImpl->Columns.size());
    FImpl->CalcSlots.clear();
    Integer slot = FImpl->DataSlots;
    for (TField* field : FieldList())
        if (field->FieldKind() == fkCalculated || field->FieldKind() == fkLookup)
            FImpl->CalcSlots[field] = slot++;
    FImpl->SlotCount = slot;
    SetBookmarkSize(static_cast<Integer>(sizeof(Int64)));
    FImpl->Swap(std::move(execution));
    FImpl->Open = true;
}

void TSQLiteQuery::InternalClose() {
    FImpl->Reset();
    FImpl->Open = false;
    BindFields(false);
    if (DefaultFields()) DestroyFields();
    FImpl->CalcSlots.clear();
}

bool TSQLiteQuery::IsCursorOpen() const {
    return FImpl->Open;
}

void TSQLiteQuery::InternalRefresh() {
    CheckBiDirectional();
    TSQLiteExecution execution = FImpl->Execute(Filtered(), Filter(), FSort, sbQuery);
    Integer position = FImpl->Cursor;
    FImpl->Swap(std::move(execution));
    FImpl->Cursor = FImpl->EnsureRow(position) ? position : static_cast<Integer>(FImpl->Rows.size());
}

// ======================================================================================
// [SECTION] Buffers and records
// ======================================================================================

Integer TSQLiteQuery::GetRecordSize() const {
    return static_cast<Integer>(HeaderSize + static_cast<std::size_t>(FImpl->SlotCount) * sizeof(Variant));
}

TRecordBuffer TSQLiteQuery::AllocRecordBuffer() {
    auto* buffer = static_cast<TRecordBuffer>(::operator new(static_cast<std::size_t>(GetRecordSize())));
    std::memset(buffer, 0, HeaderSize);
    Header(buffer) = THeader{0, bfCurrent};
    Variant* slots = Slots(buffer);
    for (Integer i = 0; i < FImpl->SlotCount; ++i)
        new (&slots[i]) Variant();
    return buffer;
}

void TSQLiteQuery::FreeRecordBuffer(TRecordBuffer& buffer) {
    Variant* slots = Slots(buffer);
    for (Integer i = 0; i < FImpl->SlotCount; ++i)
        slots[i].~Variant();
    ::operator delete(buffer);
    buffer = nullptr;
}

void TSQLiteQuery::InternalInitRecord(TRecordBuffer buffer) {
    Header(buffer).Serial = 0;
    Variant* slots = Slots(buffer);
    for (Integer i = 0; i < FImpl->SlotCount; ++i)
        slots[i] = Null();
}

void TSQLiteQuery::ClearCalcFields(TRecordBuffer buffer) {
    Variant* slots = Slots(buffer);
    for (Integer i = FImpl->DataSlots; i < FImpl->SlotCount; ++i)
        slots[i] = Null();
}

void TSQLiteQuery::InternalFirst() {
    // A forward-only result cannot go back to its first row once past it: run it again.
    if (IsUniDirectional() && FImpl->NextSerial > 0)
        FImpl->Swap(FImpl->Execute(Filtered(), Filter(), FSort, sbQuery));
    FImpl->Cursor = -1;
}

void TSQLiteQuery::InternalLast() {
    FImpl->FetchAll();
    FImpl->Cursor = static_cast<Integer>(FImpl->Rows.size());
}

TGetResult TSQLiteQuery::GetRecord(TRecordBuffer buffer, TGetMode getMode, bool doCheck) {
    TSQLiteQueryImpl& impl = *FImpl;
    try {
        for (;;) {
            TGetResult moved = impl.ForwardOnly() ? impl.MoveForward(getMode) : impl.MoveCursor(getMode);
            if (moved != grOK) return moved;
            const TSQLiteCachedRow& cached = impl.Rows[static_cast<std::size_t>(impl.Cursor)];
            Header(buffer) = THeader{cached.Serial, bfCurrent};
            std::copy(cached.Values.begin(), cached.Values.end(), Slots(buffer));
            GetCalcFields(buffer);
            if (FilterRecord(buffer)) return grOK;
            if (getMode == gmCurrent) return grError;
        }
    } catch (...) {
        if (doCheck) throw;
        return grError;
    }
}

Integer TSQLiteQuery::GetRecNo() const {
    TRecordBuffer buffer = State() == dsCalcFields ? CalcBuffer() : ActiveBuffer();
    if (buffer == nullptr || IsEmpty() || GetBookmarkFlag(buffer) != bfCurrent) return -1;
    if (IsUniDirectional()) return static_cast<Integer>(Header(buffer).Serial);
    Integer position = FImpl->PositionOf(Header(buffer).Serial);
    return position < 0 ? -1 : position + 1;
}

void TSQLiteQuery::SetRecNoValue(Integer value) {
    CheckBiDirectional();
    CheckBrowseMode();
    if (value == GetRecNo()) return;
    DoBeforeScroll();
    FImpl->EnsureRow(value - 1);
    FImpl->Cursor =
        std::clamp<Integer>(value - 1, 0, std::max<Integer>(0, static_cast<Integer>(FImpl->Rows.size()) - 1));
    Resync({rmCenter});
    DoAfterScroll();
}

Integer TSQLiteQuery::GetRecordCount() const {
    // Forward-only: counting would read the rows it cannot keep.
    if (!FImpl->Open || IsUniDirectional()) return -1;
    FImpl->FetchAll();
    return static_cast<Integer>(FImpl->Rows.size());
}

namespace {

Integer SlotOf(const TSQLiteQueryImpl& impl, const TField* field) {
    if (field->FieldNo() > 0) return field->FieldNo() - 1;
    auto it = impl.CalcSlots.find(field);
    return it == impl.CalcSlots.end() ? -1 : it->second;
}

} // namespace

bool TSQLiteQuery::GetFieldData(TField* field, void* buffer) {
    TRecordBuffer record = GetActiveRecordBuffer();
    Integer slot = SlotOf(*FImpl, field);
    if (record == nullptr || slot < 0) return false;
    const Variant& value = Slots(record)[slot];
    if (VarIsNull(value) || VarIsEmpty(value)) return false;
    if (BlobFieldTypes.Contains(field->DataType())) return !VarToStr(value).empty();
    if (buffer != nullptr) VariantToNative(field, value, buffer);
    return true;
}

void TSQLiteQuery::SetFieldData(TField* field, const void* buffer) {
    if (!dsWriteModes.Contains(State())) DatabaseError(DBConsts::SNotEditing, this);
    TRecordBuffer record = GetActiveRecordBuffer();
    Integer slot = SlotOf(*FImpl, field);
    if (record == nullptr || slot < 0) return;
    if (field->FieldNo() > 0) {
        if (field->ReadOnly() && State() != dsSetKey && State() != dsFilter)
            DatabaseErrorFmt(DBConsts::SFieldReadOnly, {field->DisplayName()});
        field->Validate(buffer);
    }
    Slots(record)[slot] = buffer == nullptr ? Null() : NativeToVariant(field, buffer);
    TDataSetState state = State();
    if (state != dsCalcFields && state != dsFilter && state != dsNewValue && state != dsInternalCalc)
        DataEvent(deFieldChange, reinterpret_cast<NativeInt>(field));
}

std::unique_ptr<TStream> TSQLiteQuery::CreateBlobStream(TField* field, TBlobStreamMode mode) {
    if (mode != bmRead && !dsWriteModes.Contains(State())) DatabaseError(DBConsts::SNotEditing, this);
    TRecordBuffer record = GetActiveRecordBuffer();
    Integer slot = SlotOf(*FImpl, field);
    Variant* target = record != nullptr && slot >= 0 ? &Slots(record)[slot] : nullptr;
    return std::make_unique<TSQLiteBlobStreamImpl>(this, field, mode, target);
}

// ======================================================================================
// [SECTION] Editing (the statements are written in SQLiteQueryEditing.cpp)
// ======================================================================================

void TSQLiteQuery::InternalPost() {
    TDataSet::InternalPost();
    TSQLiteQueryImpl& impl = *FImpl;
    TRecordBuffer buffer = ActiveBuffer();
    if (State() == dsEdit) {
        Integer position = impl.PositionOf(Header(buffer).Serial);
        if (position < 0) DatabaseError(DBConsts::SRecordNotFound, this);
        impl.Cursor = impl.WriteUpdate(position, Slots(buffer));
        return;
    }
    // A new record goes in front of the record its bookmark names, or at an end.
    Integer at;
    switch (GetBookmarkFlag(buffer)) {
    case bfBOF:
        at = 0;
        break;
    case bfEOF:
        impl.FetchAll();
        at = static_cast<Integer>(impl.Rows.size());
        break;
    default: {
        Integer position = impl.PositionOf(Header(buffer).Serial);
        at = position >= 0 ? position : static_cast<Integer>(impl.Rows.size());
        break;
    }
    }
    impl.Cursor = impl.WriteInsert(at, Slots(buffer));
    Header(buffer).Serial = impl.Rows[static_cast<std::size_t>(impl.Cursor)].Serial;
}

void TSQLiteQuery::InternalAddRecord(TRecordBuffer buffer, bool append) {
    TSQLiteQueryImpl& impl = *FImpl;
    if (append) impl.FetchAll();
    auto count = static_cast<Integer>(impl.Rows.size());
    Integer at = append ? count : std::clamp(impl.Cursor, 0, count);
    impl.Cursor = impl.WriteInsert(at, Slots(buffer));
    Header(buffer).Serial = impl.Rows[static_cast<std::size_t>(impl.Cursor)].Serial;
}

void TSQLiteQuery::InternalDelete() {
    Integer position = FImpl->PositionOf(Header(ActiveBuffer()).Serial);
    if (position < 0) DatabaseError(DBConsts::SRecordNotFound, this);
    FImpl->WriteDelete(position);
    FImpl->Cursor = position;
}

// ======================================================================================
// [SECTION] Bookmarks
// ======================================================================================

void TSQLiteQuery::GetBookmarkData(TRecordBuffer buffer, TBookmark& data) const {
    data.resize(sizeof(Int64));
    std::memcpy(data.data(), &Header(buffer).Serial, sizeof(Int64));
}

void TSQLiteQuery::SetBookmarkData(TRecordBuffer buffer, const TBookmark& data) {
    Header(buffer).Serial = SerialOf(data);
}

TBookmarkFlag TSQLiteQuery::GetBookmarkFlag(TRecordBuffer buffer) const {
    return Header(buffer).Flag;
}

void TSQLiteQuery::SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag value) {
    Header(buffer).Flag = value;
}

void TSQLiteQuery::InternalGotoBookmark(const TBookmark& bookmark) {
    CheckBiDirectional();
    Integer position = bookmark.size() == sizeof(Int64) ? FImpl->PositionOf(SerialOf(bookmark)) : -1;
    if (position < 0) DatabaseError(DBConsts::SRecordNotFound, this);
    FImpl->Cursor = position;
}

void TSQLiteQuery::InternalSetToRecord(TRecordBuffer buffer) {
    Integer position = FImpl->PositionOf(Header(buffer).Serial);
    if (position >= 0) FImpl->Cursor = position;
}

bool TSQLiteQuery::BookmarkValid(const TBookmark& bookmark) {
    return bookmark.size() == sizeof(Int64) && FImpl->PositionOf(SerialOf(bookmark)) >= 0;
}

Integer TSQLiteQuery::CompareBookmarks(const TBookmark& bookmark1, const TBookmark& bookmark2) {
    if (bookmark1.empty() || bookmark2.empty())
        return bookmark1.empty() == bookmark2.empty() ? 0 : bookmark1.empty() ? 1 : -1;
    Integer position1 = FImpl->PositionOf(SerialOf(bookmark1));
    Integer position2 = FImpl->PositionOf(SerialOf(bookmark2));
    return position1 < position2 ? -1 : position1 > position2 ? 1 : 0;
}

} // namespace mv
