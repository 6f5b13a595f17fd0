// The tree view data set and its item list: defaults, refusals while open, the six fields
// mapped by field number, inserts and deletes reaching the list, and a data set without one.
#include "treeview/MvDBTreeView.h"

#include "platform/db/DBConsts.h"
#include "treeview/CustomDataTestKit.h"

#include <gtest/gtest.h>

namespace mv::test {
namespace {

std::unique_ptr<TMvDBTreeViewList> MakeTree() {
    auto list = std::make_unique<TMvDBTreeViewList>();
    list->AddItem(1, 0, u"Dates");
    list->AddItem(11, 1, u"Today");
    list->AddItem(12, 1, u"Yesterday");
    list->AddItem(2, 0, u"Times");
    return list;
}

std::vector<String> DefNames(TDataSet& dataSet) {
    std::vector<String> names;
    for (Integer i = 0; i < dataSet.FieldDefs()->Count(); ++i)
        names.push_back(dataSet.FieldDefs()->Items(i)->Name());
    return names;
}

TEST(TreeViewList, OwnsItemsAndChecksIndexes) {
    TMvDBTreeViewList list;
    TMvDBTreeViewItem* first = list.AddItem(5, -1, u"Root");
    EXPECT_EQ(first->GetID(), 5);
    EXPECT_EQ(first->GetParentID(), -1);
    EXPECT_EQ(first->GetItemName(), u"Root");
    EXPECT_EQ(first->GetRowLevel(), 0);
    EXPECT_EQ(first->GetRowOrder(), u"");
    EXPECT_EQ(first->GetRowState(), 0);
    list.Insert(0, new TMvDBTreeViewItem());
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(1), first);
    EXPECT_EQ(list.GetItem(0)->GetID(), 0);
    auto* replacement = new TMvDBTreeViewItem();
    replacement->SetID(9);
    list.SetItem(0, replacement);
    EXPECT_EQ(list.GetItem(0)->GetID(), 9);
    list.SetItem(0, replacement); // the same item stays alive
    EXPECT_EQ(list.GetItem(0)->GetID(), 9);
    list.Delete(0);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(ErrorOf<EListError>([&] { list.GetItem(1); }), u"List index out of bounds (1)");
    EXPECT_EQ(ErrorOf<EListError>([&] { list.Delete(-1); }), u"List index out of bounds (-1)");
    EXPECT_EQ(ErrorOf<EListError>([&] { list.Insert(3, new TMvDBTreeViewItem()); }),
              u"List index out of bounds (3)");
    list.Insert(1, new TMvDBTreeViewItem()); // at the end
    EXPECT_EQ(list.Count(), 2);
}

TEST(TreeViewData, DefaultsSettersAndRefusalsWhileOpen) {
    auto list = MakeTree();
    TMvDBTreeViewData dataSet(nullptr, list.get());
    EXPECT_EQ(dataSet.GetListInstance(), list.get());
    EXPECT_EQ(dataSet.GetIDFieldName(), u"ID");
    EXPECT_EQ(dataSet.GetParentIDFieldName(), u"ParentID");
    EXPECT_EQ(dataSet.GetItemNameFieldName(), u"ItemName");
    EXPECT_EQ(dataSet.GetItemNameFieldSize(), 80);
    EXPECT_EQ(dataSet.GetRowLevelFieldName(), u"RowLevel");
    EXPECT_EQ(dataSet.GetRowOrderFieldName(), u"RowOrder");
    EXPECT_EQ(dataSet.GetRowOrderFieldSize(), 80);
    EXPECT_EQ(dataSet.GetRowStateFieldName(), u"RowState");
    EXPECT_TRUE(dataSet.CanModify());
    EXPECT_TRUE(dataSet.ObjectView());
    TMvDBTreeViewData listless(nullptr);
    EXPECT_EQ(listless.GetListInstance(), nullptr);
    EXPECT_EQ(listless.GetRowStateFieldName(), u"RowState");

    dataSet.Open();
    EXPECT_EQ(DefNames(dataSet),
              (std::vector<String>{u"ID", u"ParentID", u"ItemName", u"RowLevel", u"RowOrder", u"RowState"}));
    const TFieldDef* itemName = dataSet.FieldDefs()->Items(2);
    EXPECT_EQ(itemName->DataType(), ftWideString);
    EXPECT_EQ(itemName->Size(), 80);
    EXPECT_EQ(dataSet.FieldDefs()->Items(4)->DataType(), ftString);
    EXPECT_EQ(dataSet.FieldDefs()->Items(5)->FieldNo(), 6);
    EXPECT_EQ(dataSet.RecordCount(), 4);

    // Every setter refuses an open data set and leaves the value.
    std::vector<std::function<void()>> setters = {
        [&] { dataSet.SetIDFieldName(u"X"); },       [&] { dataSet.SetParentIDFieldName(u"X"); },
        [&] { dataSet.SetItemNameFieldName(u"X"); }, [&] { dataSet.SetItemNameFieldSize(5); },
        [&] { dataSet.SetRowLevelFieldName(u"X"); }, [&] { dataSet.SetRowOrderFieldName(u"X"); },
        [&] { dataSet.SetRowOrderFieldSize(5); },    [&] { dataSet.SetRowStateFieldName(u"X"); },
        [&] { dataSet.SetListInstance(nullptr); }};
    for (const auto& setter : setters)
        EXPECT_EQ(ErrorOf(setter), DBConsts::SDataSetOpen);
    EXPECT_EQ(dataSet.GetIDFieldName(), u"ID");
    EXPECT_EQ(dataSet.GetListInstance(), list.get());
    dataSet.Close();

    // Empty names and sizes of 0 or less give the defaults; each setter clears the
    // definitions so the next open builds them anew.
    dataSet.SetIDFieldName(u"Key");
    EXPECT_EQ(dataSet.FieldDefs()->Count(), 0);
    dataSet.SetItemNameFieldSize(12);
    dataSet.SetRowOrderFieldSize(-5);
    EXPECT_EQ(dataSet.GetRowOrderFieldSize(), 80);
    dataSet.SetParentIDFieldName(u"");
    EXPECT_EQ(dataSet.GetParentIDFieldName(), u"ParentID");
    dataSet.Open();
    EXPECT_EQ(DefNames(dataSet).front(), u"Key");
    EXPECT_EQ(dataSet.FieldDefs()->Items(2)->Size(), 12);
    EXPECT_EQ(dataSet.FieldByName(u"Key")->AsInteger(), 1);
    dataSet.Close();
    dataSet.SetIDFieldName(u"");
    dataSet.SetItemNameFieldSize(0);
    EXPECT_EQ(dataSet.GetIDFieldName(), u"ID");
    EXPECT_EQ(dataSet.GetItemNameFieldSize(), 80);
}

TEST(TreeViewData, FieldsMapByNumberAndWriteBackIntoItems) {
    auto list = MakeTree();
    TMvDBTreeViewData dataSet(nullptr, list.get());
    TDataSource source(nullptr);
    source.SetDataSet(&dataSet);
    TReadingLink link;
    link.SetBufferCount(10);
    link.SetDataSource(&source);
    dataSet.Open();
    EXPECT_EQ(link.ShownIds, (std::vector<Integer>{1, 11, 12, 2}));
    dataSet.Next();
    EXPECT_EQ(dataSet.FieldByName(u"ParentID")->AsInteger(), 1);
    EXPECT_EQ(dataSet.FieldByName(u"ItemName")->AsString(), u"Today");
    EXPECT_EQ(dataSet.FieldByName(u"ItemName")->DataType(), ftWideString);
    EXPECT_EQ(dataSet.FieldByName(u"ID")->Value().VType(), varInteger);

    // What a grid's tree view writes back.
    dataSet.Edit();
    dataSet.FieldByName(u"RowLevel")->SetAsInteger(1);
    dataSet.FieldByName(u"RowOrder")->SetAsString(u"0001.0001");
    dataSet.FieldByName(u"RowState")->SetAsInteger(5);
    dataSet.FieldByName(u"ItemName")->SetAsString(u"Heute");
    dataSet.Post();
    const TMvDBTreeViewItem* today = list->GetItem(1);
    EXPECT_EQ(today->GetRowLevel(), 1);
    EXPECT_EQ(today->GetRowOrder(), u"0001.0001");
    EXPECT_EQ(today->GetRowState(), 5);
    EXPECT_EQ(today->GetItemName(), u"Heute");

    // Insert and delete reach the list; the record index is the list position.
    dataSet.Insert();
    dataSet.FieldByName(u"ID")->SetAsInteger(13);
    dataSet.FieldByName(u"ParentID")->SetAsInteger(1);
    dataSet.Post();
    ASSERT_EQ(list->Count(), 5);
    EXPECT_EQ(list->GetItem(1)->GetID(), 13);
    EXPECT_EQ(list->GetItem(1)->GetItemName(), u"");
    EXPECT_EQ(list->GetItem(2), today);
    dataSet.Last();
    dataSet.Delete();
    EXPECT_EQ(list->Count(), 4);
    EXPECT_EQ(list->GetItem(3)->GetID(), 12);
    EXPECT_EQ(dataSet.RecordCount(), 4);

    // Null into an integer field fails with the variant conversion, and the half-made
    // record is taken out of the list again.
    dataSet.Insert();
    dataSet.FieldByName(u"ID")->Clear();
    EXPECT_FALSE(ErrorOf<EVariantError>([&] { dataSet.Post(); }).empty());
    EXPECT_EQ(list->Count(), 4);
    EXPECT_EQ(dataSet.RecordCount(), 4);
    dataSet.Cancel();
}

TEST(TreeViewData, ApplicationFieldDefsStayAndMapByNumber) {
    auto list = MakeTree();
    list->GetItem(0)->SetRowOrder(u"A");
    TMvDBTreeViewData dataSet(nullptr, list.get());
    // The application's own names and sizes, in the order of the field numbers.
    dataSet.FieldDefs()->Add(u"Key", ftInteger);
    dataSet.FieldDefs()->Add(u"Parent", ftInteger);
    dataSet.FieldDefs()->Add(u"Caption", ftString, 4);
    dataSet.FieldDefs()->Add(u"Depth", ftInteger);
    dataSet.FieldDefs()->Add(u"Sort", ftString, 10);
    dataSet.FieldDefs()->Add(u"Bits", ftInteger);
    dataSet.FieldDefs()->Add(u"Extra", ftInteger);
    dataSet.Open();
    EXPECT_EQ(dataSet.FieldDefs()->Count(), 7);
    EXPECT_EQ(dataSet.FindField(u"ID"), nullptr);
    EXPECT_EQ(dataSet.FieldByName(u"Key")->AsInteger(), 1);
    EXPECT_EQ(dataSet.FieldByName(u"Caption")->AsString(), u"Date"); // cut to its size
    EXPECT_EQ(dataSet.FieldByName(u"Sort")->AsString(), u"A");
    // A seventh field has no item value.
    EXPECT_TRUE(dataSet.FieldByName(u"Extra")->IsNull());
    dataSet.Edit();
    dataSet.FieldByName(u"Extra")->SetAsInteger(3);
    dataSet.FieldByName(u"Bits")->SetAsInteger(2);
    dataSet.Post();
    EXPECT_EQ(list->GetItem(0)->GetRowState(), 2);
    EXPECT_TRUE(dataSet.FieldByName(u"Extra")->IsNull());
    dataSet.Close();
    EXPECT_EQ(dataSet.FieldDefs()->Count(), 7);
}

TEST(TreeViewData, WithoutAListCountsButStoresNothing) {
    TMvDBTreeViewData dataSet(nullptr);
    dataSet.Open();
    EXPECT_TRUE(dataSet.IsEmpty());
    EXPECT_EQ(dataSet.FieldCount(), 6);
    dataSet.Append();
    dataSet.FieldByName(u"ID")->SetAsInteger(1);
    dataSet.Post();
    EXPECT_EQ(dataSet.RecordCount(), 1);
    EXPECT_TRUE(dataSet.FieldByName(u"ID")->IsNull());
    dataSet.Delete();
    EXPECT_EQ(dataSet.RecordCount(), 0);
    EXPECT_TRUE(dataSet.IsEmpty());
}

} // namespace
} // namespace mv::test
