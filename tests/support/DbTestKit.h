// Shared pieces of the data-access tests: a numbered sample data set and a data link that
// records what it is told.
#pragma once

#include "platform/db/DataSource.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/Utf8.h"
#include "support/VectorDataSet.h"

#include <memory>
#include <string>
#include <vector>

namespace mv::test {

// The message of the EDatabaseError action raises; empty when it raises none.
template <typename F> String DatabaseErrorOf(F action) {
    try {
        action();
    } catch (const EDatabaseError& e) {
        return e.Message();
    }
    return u"";
}

// Fields ID (integer) and Name (string, 20): rows (1, "Name1") .. (count, "Name<count>").
inline std::unique_ptr<TVectorDataSet> MakeNumbered(Integer count, TComponent* owner = nullptr) {
    auto dataSet = std::make_unique<TVectorDataSet>(owner);
    dataSet->FieldDefs()->Add(u"ID", ftInteger);
    dataSet->FieldDefs()->Add(u"Name", ftString, 20);
    for (Integer i = 1; i <= count; ++i)
        dataSet->AddRow({Variant(i), Variant(u"Name" + IntToStr(i))});
    return dataSet;
}

// A link that logs its notifications as short texts ("scrolled 1", "changed", ...).
class TRecordingLink : public TDataLink {
public:
    std::vector<std::string> Log;
    TField* FocusRequest = nullptr;
    bool TakeFocus = false;
    std::function<void()> OnUpdateData;

    // The ID values of the records in this link's window, top to bottom.
    std::vector<Integer> WindowIds() {
        std::vector<Integer> ids;
        Integer saved = ActiveRecord();
        for (Integer row = 0; row < RecordCount(); ++row) {
            SetActiveRecord(row);
            ids.push_back(DataSet()->FieldByName(u"ID")->AsInteger());
        }
        SetActiveRecord(saved);
        return ids;
    }

protected:
    void ActiveChanged() override { Log.push_back(Active() ? "active" : "inactive"); }
    void DataSetChanged() override { Log.push_back("changed"); }
    void DataSetScrolled(Integer distance) override { Log.push_back("scrolled " + std::to_string(distance)); }
    void LayoutChanged() override { Log.push_back("layout"); }
    void RecordChanged(TField* field) override {
        Log.push_back(field ? "record " + UTF8Encode(field->FieldName()) : std::string("record"));
    }
    void EditingChanged() override { Log.push_back(Editing() ? "editing" : "not editing"); }
    void CheckBrowseMode() override { Log.push_back("check"); }
    void UpdateData() override {
        Log.push_back("update");
        if (OnUpdateData) OnUpdateData();
    }
    void FocusControl(TFieldRef field) override {
        FocusRequest = *field;
        if (TakeFocus) *field = nullptr;
    }
};

} // namespace mv::test
