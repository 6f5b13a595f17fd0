// A custom data set whose owner keeps rows of Variants (by field number) and records every
// call it receives, so tests can check what the data set asks of its owner and when.
#pragma once

#include "platform/db/DataSource.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/Utf8.h"
#include "treeview/MvDBCustData.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace mv::test {

class TOwnerData : public TMvDBCustomData {
public:
    using TRow = std::vector<Variant>;

    explicit TOwnerData(TComponent* owner = nullptr) : TMvDBCustomData(owner) {}
    ~TOwnerData() override { Close(); }

    // Rows[i][n - 1] is the value of field number n of record i.
    std::vector<TRow> Rows;
    // "insert 5", "delete 0", "set 2 Name=Bob", "set 2 Name=null", ...
    std::vector<std::string> Log;
    // DoOnGetFieldData calls by record index.
    std::map<Integer, Integer> GetCalls;
    Integer CountCalls = 0;
    // Throws from DoOnSetFieldData when set (after logging the call).
    std::function<void(TField* field, const Variant& value)> SetHook;

    Integer TotalGetCalls() const {
        Integer total = 0;
        for (const auto& [index, calls] : GetCalls)
            total += calls;
        return total;
    }

    using TMvDBCustomData::GetIndex;
    using TMvDBCustomData::GetRecordNumber;
    using TMvDBCustomData::SetReadOnly;
    using TMvDBCustomData::SetRecordCount;

protected:
    void DoOnCountRecords(Integer& count) override {
        ++CountCalls;
        count = static_cast<Integer>(Rows.size());
    }
    void DoOnGetFieldData(Integer index, TField* field, Variant& value) override {
        ++GetCalls[index];
        if (index < 0 || index >= static_cast<Integer>(Rows.size())) return;
        const TRow& row = Rows[static_cast<std::size_t>(index)];
        auto column = static_cast<std::size_t>(field->FieldNo() - 1);
        if (column < row.size()) value = row[column];
    }
    void DoOnSetFieldData(Integer index, TField* field, const Variant& value) override {
        Log.push_back("set " + std::to_string(index) + " " + UTF8Encode(field->FieldName()) + "=" +
                      (VarIsNull(value) ? std::string("null") : UTF8Encode(VarToStr(value))));
        if (SetHook) SetHook(field, value);
        TRow& row = Rows.at(static_cast<std::size_t>(index));
        auto column = static_cast<std::size_t>(field->FieldNo() - 1);
        if (row.size() <= column) row.resize(column + 1, Null());
        row[column] = value;
    }
    void DoOnInsertRecord(Integer index) override {
        Log.push_back("insert " + std::to_string(index));
        Rows.insert(Rows.begin() + index, TRow(FieldDefs()->Count(), Null()));
    }
    void DoOnDeleteRecord(Integer index) override {
        Log.push_back("delete " + std::to_string(index));
        Rows.erase(Rows.begin() + index);
    }
};

// Fields ID (integer), Name (string, 10), Title (wide string, 5); rows (i, "Name<i>",
// "T<i>") for i = 0 .. count - 1, so record index and ID agree.
inline std::unique_ptr<TOwnerData> MakeOwnerData(Integer count, TComponent* owner = nullptr) {
    auto dataSet = std::make_unique<TOwnerData>(owner);
    dataSet->FieldDefs()->Add(u"ID", ftInteger);
    dataSet->FieldDefs()->Add(u"Name", ftString, 10);
    dataSet->FieldDefs()->Add(u"Title", ftWideString, 5);
    for (Integer i = 0; i < count; ++i)
        dataSet->Rows.push_back({Variant(i), Variant(u"Name" + IntToStr(i)), Variant(u"T" + IntToStr(i))});
    return dataSet;
}

// Runs action and returns the message of the exception of type E it raises ("" when none).
template <typename E = EDatabaseError, typename F> String ErrorOf(F action) {
    try {
        action();
    } catch (const E& e) {
        return e.Message();
    }
    return u"";
}

// A link that reads every field of every row of its window after each change, as a grid
// painting its rows does, and keeps the ID values it saw.
class TReadingLink : public TDataLink {
public:
    Integer Reads = 0;
    std::vector<Integer> ShownIds;

protected:
    void DataSetChanged() override { ReadWindow(); }
    void DataSetScrolled(Integer) override { ReadWindow(); }
    void ActiveChanged() override {
        if (Active()) ReadWindow();
    }

private:
    void ReadWindow() {
        ShownIds.clear();
        Integer saved = ActiveRecord();
        for (Integer row = 0; row < RecordCount(); ++row) {
            SetActiveRecord(row);
            for (TField* field : *DataSet()->Fields()) {
                (void)field->AsString();
                ++Reads;
            }
            ShownIds.push_back(DataSet()->FieldByName(u"ID")->AsInteger());
        }
        SetActiveRecord(saved);
    }
};

} // namespace mv::test
