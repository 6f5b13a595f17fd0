// Object fields in the client data set: ADT and array children stored in the record,
// references kept as bytes, nested data sets kept in their master's record and following
// it, and all of them through a file.
#include "platform/db/ClientDataSet.h"

#include "platform/db/DBConsts.h"
#include "platform/rtl/Streams.h"
#include "support/DbTestKit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mv {
namespace {

using test::DatabaseErrorOf;

// Orders: ID, Address (ADT: City, Zip), Phones (array of 2 strings), Owner (reference),
// Lines (nested: Item, Qty, Size (ADT: W, H)).
void DefineOrders(TClientDataSet& ds) {
    TFieldDefs* defs = ds.FieldDefs();
    defs->Add(u"ID", ftInteger);
    TFieldDef* address = defs->Add(u"Address", ftADT);
    address->ChildDefs()->Add(u"City", ftString, 20);
    address->ChildDefs()->Add(u"Zip", ftInteger);
    TFieldDef* phones = defs->Add(u"Phones", ftArray, 2);
    phones->ChildDefs()->Add(u"Phones[0]", ftString, 12);
    phones->ChildDefs()->Add(u"Phones[1]", ftString, 12);
    defs->Add(u"Owner", ftReference);
    TFieldDef* lines = defs->Add(u"Lines", ftDataSet);
    lines->ChildDefs()->Add(u"Item", ftString, 10);
    lines->ChildDefs()->Add(u"Qty", ftInteger);
    TFieldDef* size = lines->ChildDefs()->Add(u"Size", ftADT);
    size->ChildDefs()->Add(u"W", ftInteger);
    size->ChildDefs()->Add(u"H", ftInteger);
}

TClientDataSet* LinesOf(TClientDataSet& orders) {
    auto* field = dynamic_cast<TDataSetField*>(orders.FieldByName(u"Lines"));
    EXPECT_NE(field, nullptr);
    auto* lines = dynamic_cast<TClientDataSet*>(field->NestedDataSet());
    EXPECT_NE(lines, nullptr);
    if (lines != nullptr && !lines->Active()) lines->Open();
    return lines;
}

void AddLine(TClientDataSet& lines, const String& item, Integer qty) {
    lines.Append();
    lines.FieldByName(u"Item")->SetAsString(item);
    lines.FieldByName(u"Qty")->SetAsInteger(qty);
    lines.FieldByName(u"Size.W")->SetAsInteger(qty * 10);
    lines.Post();
}

std::vector<String> Items(TDataSet& lines) {
    std::vector<String> items;
    for (lines.First(); !lines.Eof(); lines.Next())
        items.push_back(lines.FieldByName(u"Item")->AsString());
    return items;
}

using Texts = std::vector<String>;

// Two orders: 1 in Paris with lines pen, ink; 2 with no address and the line pad.
std::unique_ptr<TClientDataSet> MakeOrders() {
    auto orders = std::make_unique<TClientDataSet>();
    orders->SetName(u"Orders");
    orders->SetObjectView(true);
    DefineOrders(*orders);
    orders->CreateDataSet();
    orders->Append();
    orders->FieldByName(u"ID")->SetAsInteger(1);
    orders->FieldByName(u"Address.City")->SetAsString(u"Paris");
    orders->FieldByName(u"Address.Zip")->SetAsInteger(75001);
    orders->FieldByName(u"Phones[1]")->SetAsString(u"555-0101");
    orders->FieldByName(u"Owner")->SetAsBytes({0x00, 0x2a, 0xff});
    orders->Post();
    TClientDataSet* lines = LinesOf(*orders);
    AddLine(*lines, u"pen", 2);
    AddLine(*lines, u"ink", 5);
    orders->Append();
    orders->FieldByName(u"ID")->SetAsInteger(2);
    orders->Post();
    AddLine(*lines, u"pad", 1);
    orders->First();
    return orders;
}

std::string SaveBytes(TClientDataSet& ds) {
    TMemoryStream stream;
    ds.SaveToStream(stream);
    return std::string(static_cast<const char*>(stream.Memory()), static_cast<std::size_t>(stream.GetSize()));
}

void LoadBytes(TClientDataSet& ds, const std::string& bytes) {
    TMemoryStream stream;
    stream.Write(bytes.data(), static_cast<Integer>(bytes.size()));
    stream.SetPosition(0);
    ds.LoadFromStream(stream);
}

TEST(ClientDataSetObjectFields, AdtAndArrayChildrenAreFieldsOfTheRecord) {
    auto orders = MakeOrders();
    // Children are numbered in line; the nested set's definitions are not.
    const TFieldDefList& flat = orders->FieldDefList();
    ASSERT_EQ(flat.Count(), 9);
    EXPECT_EQ(flat.Strings(2), u"Address.City");
    EXPECT_EQ(flat.Strings(5), u"Phones[0]");
    EXPECT_EQ(orders->FieldDefs()->Find(u"Lines")->FieldNo(), 9);

    auto* address = dynamic_cast<TADTField*>(orders->FieldByName(u"Address"));
    ASSERT_NE(address, nullptr);
    EXPECT_EQ(address->FieldCount(), 2);
    EXPECT_EQ(address->AsString(), u"(Paris, 75001)");
    EXPECT_FALSE(address->IsNull());
    EXPECT_EQ(orders->FieldByName(u"Phones[0]")->IsNull(), true);
    EXPECT_EQ(orders->FieldByName(u"Owner")->AsBytes(), (std::vector<Byte>{0x00, 0x2a, 0xff}));
    EXPECT_EQ(orders->FieldByName(u"Owner")->DisplayText(), u"(Reference)");
    orders->Next();
    EXPECT_TRUE(address->IsNull());
    EXPECT_TRUE(orders->FieldByName(u"Owner")->IsNull());

    // A child is edited, indexed and located like any field; the object itself is not a key.
    orders->Edit();
    orders->FieldByName(u"Address.City")->SetAsString(u"Berlin");
    orders->Post();
    orders->SetIndexFieldNames(u"Address.City");
    orders->First();
    EXPECT_EQ(orders->FieldByName(u"Address.City")->AsString(), u"Berlin");
    EXPECT_TRUE(orders->Locate(u"Address.City", Variant(u"Paris"), {}));
    EXPECT_EQ(orders->FieldByName(u"ID")->AsInteger(), 1);
    EXPECT_EQ(DatabaseErrorOf([&] { orders->SetIndexFieldNames(u"Address"); }),
              u"Orders: Field 'Address' cannot be used in an index");
    EXPECT_EQ(DatabaseErrorOf([&] { orders->SetIndexFieldNames(u"Lines"); }),
              u"Orders: Field 'Lines' cannot be used in an index");
    EXPECT_EQ(orders->IndexFieldNames(), u"Address.City");
}

TEST(ClientDataSetObjectFields, FlatViewShowsChildrenAsTopLevelFields) {
    auto orders = MakeOrders();
    std::string bytes = SaveBytes(*orders);
    TClientDataSet flat;
    LoadBytes(flat, bytes);
    EXPECT_EQ(flat.FindField(u"Address"), nullptr);
    TField* city = flat.FieldByName(u"Address.City");
    EXPECT_EQ(city->ParentField(), nullptr);
    EXPECT_EQ(city->AsString(), u"Paris");
    EXPECT_EQ(flat.FieldByName(u"Phones[1]")->AsString(), u"555-0101");
    // Nested data sets and references have no children to flatten: they stay fields.
    EXPECT_NE(dynamic_cast<TDataSetField*>(flat.FieldByName(u"Lines")), nullptr);
    EXPECT_NE(dynamic_cast<TReferenceField*>(flat.FieldByName(u"Owner")), nullptr);
    EXPECT_EQ(Items(*LinesOf(flat)), (Texts{u"pen", u"ink"}));
}

TEST(ClientDataSetObjectFields, NestedRecordsFollowTheMaster) {
    auto orders = MakeOrders();
    TClientDataSet* lines = LinesOf(*orders);
    // Both orders were inserted since the data set was made; their lines change nothing more.
    EXPECT_EQ(orders->ChangeCount(), 2);
    EXPECT_EQ(Items(*lines), (Texts{u"pen", u"ink"}));
    EXPECT_EQ(lines->FieldByName(u"Size.W")->AsInteger(), 50);
    orders->Next();
    EXPECT_EQ(Items(*lines), (Texts{u"pad"}));
    orders->Prior();
    EXPECT_EQ(lines->RecordCount(), 2);

    // The nested set's own order survives the master's moves.
    lines->SetIndexFieldNames(u"Item");
    EXPECT_EQ(Items(*lines), (Texts{u"ink", u"pen"}));
    orders->Next();
    orders->Prior();
    EXPECT_EQ(Items(*lines), (Texts{u"ink", u"pen"}));

    // A nested post writes the master record at once; the master stays browsing.
    orders->MergeChangeLog();
    lines->First();
    lines->Edit();
    lines->FieldByName(u"Qty")->SetAsInteger(9);
    lines->Post();
    EXPECT_EQ(orders->State(), dsBrowse);
    EXPECT_EQ(orders->ChangeCount(), 1);
    orders->Next();
    orders->Prior();
    lines->First();
    EXPECT_EQ(lines->FieldByName(u"Qty")->AsInteger(), 9);

    // A pending nested edit is posted before the master moves, not lost.
    lines->Edit();
    lines->FieldByName(u"Qty")->SetAsInteger(11);
    orders->Next();
    EXPECT_EQ(lines->State(), dsBrowse);
    orders->Prior();
    lines->First();
    EXPECT_EQ(lines->FieldByName(u"Qty")->AsInteger(), 11);

    // Deleting the nested records leaves the master's value null; CancelUpdates of the
    // master brings them back.
    lines->Delete();
    lines->Delete();
    EXPECT_TRUE(orders->FieldByName(u"Lines")->IsNull());
    orders->CancelUpdates();
    EXPECT_EQ(orders->FieldByName(u"ID")->AsInteger(), 1);
    EXPECT_FALSE(orders->FieldByName(u"Lines")->IsNull());
    EXPECT_EQ(Items(*lines), (Texts{u"ink", u"pen"}));
    lines->First();
    EXPECT_EQ(lines->FieldByName(u"Qty")->AsInteger(), 5);
}

TEST(ClientDataSetObjectFields, NestedChangesWhileTheMasterEditsGoWithItsPostOrCancel) {
    auto orders = MakeOrders();
    TClientDataSet* lines = LinesOf(*orders);
    orders->Append();
    orders->FieldByName(u"ID")->SetAsInteger(3);
    EXPECT_TRUE(lines->IsEmpty());
    AddLine(*lines, u"cup", 4);
    EXPECT_EQ(orders->State(), dsInsert);
    orders->Cancel();
    EXPECT_EQ(orders->RecordCount(), 2);
    EXPECT_EQ(Items(*lines), (Texts{u"pad"}));

    orders->Append();
    orders->FieldByName(u"ID")->SetAsInteger(3);
    AddLine(*lines, u"cup", 4);
    AddLine(*lines, u"mug", 1);
    orders->Post();
    orders->First();
    orders->Last();
    EXPECT_EQ(orders->FieldByName(u"ID")->AsInteger(), 3);
    EXPECT_EQ(Items(*lines), (Texts{u"cup", u"mug"}));

    // Editing: the master's Cancel drops what the nested set wrote into its buffer.
    orders->Edit();
    lines->Last();
    lines->Delete();
    EXPECT_EQ(lines->RecordCount(), 1);
    orders->Cancel();
    EXPECT_EQ(Items(*lines), (Texts{u"cup", u"mug"}));
}

TEST(ClientDataSetObjectFields, AMasterThatFailsNeitherLosesNorDoublesANestedChange) {
    auto orders = MakeOrders();
    TClientDataSet* lines = LinesOf(*orders);
    orders->MergeChangeLog();

    // A master that refuses to edit: the nested records stay as they were and the
    // pending insert is still there to post again, once.
    orders->BeforeEdit = [](TDataSet*) { throw EDatabaseError(u"Order is locked"); };
    lines->Append();
    lines->FieldByName(u"Item")->SetAsString(u"cup");
    EXPECT_EQ(DatabaseErrorOf([&] { lines->Post(); }), u"Order is locked");
    EXPECT_EQ(lines->State(), dsInsert);
    EXPECT_EQ(lines->RecordCount(), 2);
    orders->BeforeEdit = nullptr;
    lines->Post();
    EXPECT_EQ(Items(*lines), (Texts{u"pen", u"ink", u"cup"}));
    orders->Next();
    orders->Prior();
    EXPECT_EQ(Items(*lines), (Texts{u"pen", u"ink", u"cup"}));

    // A master that cannot post keeps the change in its edit buffer; the nested Post
    // completes and then raises the master's error, so nothing is left to post twice.
    orders->BeforePost = [](TDataSet*) { throw EDatabaseError(u"Order needs a customer"); };
    lines->Append();
    lines->FieldByName(u"Item")->SetAsString(u"mug");
    EXPECT_EQ(DatabaseErrorOf([&] { lines->Post(); }), u"Order needs a customer");
    EXPECT_EQ(lines->State(), dsBrowse);
    EXPECT_EQ(orders->State(), dsEdit);
    EXPECT_EQ(Items(*lines), (Texts{u"pen", u"ink", u"cup", u"mug"}));
    lines->First();
    EXPECT_EQ(DatabaseErrorOf([&] { lines->Delete(); }), u"") << "the master is editing: it is not posted";
    EXPECT_EQ(DatabaseErrorOf([&] { orders->Next(); }), u"Order needs a customer");
    orders->BeforePost = nullptr;
    orders->Next();
    orders->Prior();
    EXPECT_EQ(Items(*lines), (Texts{u"ink", u"cup", u"mug"}));

    // A nested change that fails takes the master back to browsing, unchanged.
    lines->AddIndex(u"ByItem", u"Item", TIndexOptions{ixUnique}, u"", u"", 0);
    lines->SetIndexName(u"ByItem");
    lines->Append();
    lines->FieldByName(u"Item")->SetAsString(u"ink");
    EXPECT_EQ(DatabaseErrorOf([&] { lines->Post(); }), CDSConsts::SKeyViolation);
    EXPECT_EQ(orders->State(), dsBrowse);
    EXPECT_EQ(orders->ChangeCount(), 1);
    lines->Cancel();
    EXPECT_EQ(Items(*lines), (Texts{u"cup", u"ink", u"mug"}));
}

TEST(ClientDataSetObjectFields, ClonesOfANestedSetWriteToItsMasterAndFollowIt) {
    auto orders = MakeOrders();
    TClientDataSet* lines = LinesOf(*orders);
    TClientDataSet clone;
    clone.CloneCursor(lines, false);
    TClientDataSet cloneOfClone;
    cloneOfClone.CloneCursor(&clone, true);

    AddLine(clone, u"cup", 3);
    EXPECT_EQ(orders->State(), dsBrowse);
    EXPECT_EQ(Items(*lines), (Texts{u"pen", u"ink", u"cup"}));
    orders->Next();
    EXPECT_EQ(Items(clone), (Texts{u"pad"}));
    EXPECT_EQ(Items(cloneOfClone), (Texts{u"pad"}));
    orders->Prior();
    EXPECT_EQ(Items(cloneOfClone), (Texts{u"pen", u"ink", u"cup"}));

    // A clone's pending edit is posted before the master moves, like the nested set's own.
    clone.Last();
    clone.Edit();
    clone.FieldByName(u"Qty")->SetAsInteger(30);
    orders->Next();
    EXPECT_EQ(clone.State(), dsBrowse);
    orders->Prior();
    lines->Last();
    EXPECT_EQ(lines->FieldByName(u"Qty")->AsInteger(), 30);

    orders->SetReadOnly(true);
    EXPECT_FALSE(cloneOfClone.CanModify());
    orders->SetReadOnly(false);

    // An order the next master record's lines cannot have gives way to the default order,
    // for the nested set and its clones alike; the error is reported, not raised into the
    // master's move.
    orders->Next();
    AddLine(*lines, u"pad", 2); // order 2 now holds "pad" twice
    orders->Prior();
    lines->AddIndex(u"ByItem", u"Item", TIndexOptions{ixUnique});
    lines->SetIndexName(u"ByItem");
    clone.AddIndex(u"ByItem", u"Item", TIndexOptions{ixUnique});
    clone.SetIndexName(u"ByItem");
    std::vector<String> reported;
    ApplicationHandleException = [&](TObject*) {
        try {
            throw;
        } catch (const Exception& e) {
            reported.push_back(e.Message());
        }
    };
    orders->Next();
    ApplicationHandleException = nullptr;
    EXPECT_EQ(reported, (Texts{CDSConsts::SKeyViolation}));
    EXPECT_EQ(Items(*lines), (Texts{u"pad", u"pad"}));
    EXPECT_EQ(Items(clone), (Texts{u"pad", u"pad"}));
    orders->Prior();

    // Closing the master frees the nested set its default field made; its clones close.
    orders->Close();
    EXPECT_FALSE(clone.Active());
    EXPECT_FALSE(cloneOfClone.Active());
}

TEST(ClientDataSetObjectFields, NestedSetsRefuseWhatTheMasterCannotKeep) {
    auto orders = std::make_unique<TClientDataSet>();
    orders->SetObjectView(true);
    DefineOrders(*orders);
    orders->CreateDataSet();
    TClientDataSet* lines = LinesOf(*orders);
    ASSERT_TRUE(lines->Active());
    lines->Append();
    lines->FieldByName(u"Item")->SetAsString(u"pen");
    EXPECT_EQ(DatabaseErrorOf([&] { lines->Post(); }), CDSConsts::SNoMasterRecord);
    lines->Cancel();
    EXPECT_TRUE(orders->IsEmpty());

    orders->AppendRecord({Variant(1)});
    orders->SetReadOnly(true);
    EXPECT_FALSE(lines->CanModify());
    orders->SetReadOnly(false);
    EXPECT_TRUE(lines->CanModify());

    // Closing the master closes a nested set of one's own too (the one NestedDataSet made
    // goes with the master's default fields); a nested set needs a client data set master.
    TClientDataSet own;
    own.SetDataSetField(dynamic_cast<TDataSetField*>(orders->FieldByName(u"Lines")));
    own.Open();
    orders->Close();
    EXPECT_FALSE(own.Active());
    EXPECT_EQ(own.DataSetField(), nullptr);
    TClientDataSet stray;
    TDataSetField field(nullptr);
    stray.SetDataSetField(&field);
    EXPECT_EQ(DatabaseErrorOf([&] { stray.Open(); }), CDSConsts::SNestedMaster);
    EXPECT_FALSE(stray.Active());
    stray.SetDataSetField(nullptr);
}

TEST(ClientDataSetObjectFields, DefinitionsThatCannotBeStoredAreRefused) {
    TClientDataSet noChildren;
    noChildren.FieldDefs()->Add(u"ID", ftInteger);
    noChildren.FieldDefs()->Add(u"Lines", ftDataSet);
    EXPECT_EQ(DatabaseErrorOf([&] { noChildren.CreateDataSet(); }),
              u"Field 'Lines': a nested data set field needs field definitions of its own");
    TClientDataSet cursor;
    TFieldDef* address = cursor.FieldDefs()->Add(u"Address", ftADT);
    address->ChildDefs()->Add(u"Handle", ftCursor);
    EXPECT_EQ(DatabaseErrorOf([&] { cursor.CreateDataSet(); }),
              u"Field 'Address.Handle': type Cursor cannot be stored in a client data set");
    EXPECT_FALSE(cursor.Active());
}

TEST(ClientDataSetObjectFields, FilesKeepTheTreeOfDefinitionsAndNestedRecords) {
    auto orders = MakeOrders();
    std::string bytes = SaveBytes(*orders);
    TClientDataSet loaded;
    loaded.SetObjectView(true);
    LoadBytes(loaded, bytes);

    TFieldDefs* defs = loaded.FieldDefs();
    ASSERT_EQ(defs->Count(), 5);
    TFieldDef* address = defs->Find(u"Address");
    EXPECT_EQ(address->DataType(), ftADT);
    ASSERT_EQ(address->ChildDefs()->Count(), 2);
    EXPECT_EQ(address->ChildDefs()->Items(0)->Name(), u"City");
    EXPECT_EQ(address->ChildDefs()->Items(0)->Size(), 20);
    EXPECT_EQ(defs->Find(u"Phones")->ChildDefs()->Items(1)->Name(), u"Phones[1]");
    TFieldDef* lines = defs->Find(u"Lines");
    ASSERT_EQ(lines->ChildDefs()->Count(), 3);
    EXPECT_EQ(lines->ChildDefs()->Items(2)->ChildDefs()->Items(1)->Name(), u"H");

    loaded.First();
    EXPECT_EQ(loaded.FieldByName(u"Address")->AsString(), u"(Paris, 75001)");
    EXPECT_EQ(loaded.FieldByName(u"Phones[1]")->AsString(), u"555-0101");
    EXPECT_EQ(loaded.FieldByName(u"Owner")->AsBytes(), (std::vector<Byte>{0x00, 0x2a, 0xff}));
    TClientDataSet* nested = LinesOf(loaded);
    EXPECT_EQ(Items(*nested), (Texts{u"pen", u"ink"}));
    nested->Last();
    EXPECT_EQ(nested->FieldByName(u"Size.W")->AsInteger(), 50);
    EXPECT_TRUE(nested->FieldByName(u"Size.H")->IsNull());
    loaded.Next();
    EXPECT_EQ(Items(*nested), (Texts{u"pad"}));
    EXPECT_EQ(SaveBytes(loaded), bytes);
}

// Persistent fields describe the store too: an ADT with its children, and a nested data
// set field whose nested set has persistent fields of its own.
TEST(ClientDataSetObjectFields, PersistentObjectFieldsMakeTheDefinitions) {
    TClientDataSet orders;
    orders.SetObjectView(true);
    auto* id = new TIntegerField(&orders);
    id->SetFieldName(u"ID");
    id->SetDataSet(&orders);
    auto* address = new TADTField(&orders);
    address->SetFieldName(u"Address");
    address->SetDataSet(&orders);
    auto* city = new TStringField(&orders);
    city->SetFieldName(u"City");
    city->SetSize(15);
    city->SetParentField(address);
    auto* linesField = new TDataSetField(&orders);
    linesField->SetFieldName(u"Lines");
    linesField->SetDataSet(&orders);
    TClientDataSet lines;
    auto* item = new TStringField(&lines);
    item->SetFieldName(u"Item");
    item->SetSize(8);
    item->SetDataSet(&lines);
    lines.SetDataSetField(linesField);

    orders.CreateDataSet();
    TFieldDef* addressDef = orders.FieldDefs()->Find(u"Address");
    ASSERT_EQ(addressDef->ChildDefs()->Count(), 1);
    EXPECT_EQ(addressDef->ChildDefs()->Items(0)->Size(), 15);
    ASSERT_EQ(orders.FieldDefs()->Find(u"Lines")->ChildDefs()->Count(), 1);
    orders.AppendRecord({Variant(1)});
    EXPECT_THROW(city->SetAsString(u"x"), EDatabaseError) << "a child is written only while editing";
    orders.Edit();
    city->SetAsString(u"Lyon");
    orders.Post();
    lines.Open();
    lines.AppendRecord({Variant(u"nut")});
    EXPECT_EQ(item->AsString(), u"nut");
    EXPECT_FALSE(linesField->IsNull());
    EXPECT_EQ(address->AsString(), u"(Lyon)");
    lines.Close();
    orders.Close();
}

// Records of a nested data set inside a nested data set reach the outermost file.
TEST(ClientDataSetObjectFields, NestedSetsNestAgain) {
    TClientDataSet customers;
    customers.SetObjectView(true);
    customers.FieldDefs()->Add(u"Name", ftString, 10);
    TFieldDef* orders = customers.FieldDefs()->Add(u"Orders", ftDataSet);
    orders->ChildDefs()->Add(u"No", ftInteger);
    TFieldDef* lines = orders->ChildDefs()->Add(u"Lines", ftDataSet);
    lines->ChildDefs()->Add(u"Item", ftString, 10);
    customers.CreateDataSet();
    customers.AppendRecord({Variant(u"Ann")});

    auto* orderSet = dynamic_cast<TClientDataSet*>(
        dynamic_cast<TDataSetField*>(customers.FieldByName(u"Orders"))->NestedDataSet());
    ASSERT_NE(orderSet, nullptr);
    orderSet->Open();
    orderSet->AppendRecord({Variant(7)});
    auto* lineSet = dynamic_cast<TClientDataSet*>(
        dynamic_cast<TDataSetField*>(orderSet->FieldByName(u"Lines"))->NestedDataSet());
    ASSERT_NE(lineSet, nullptr);
    lineSet->Open();
    lineSet->AppendRecord({Variant(u"bolt")});

    TClientDataSet copy;
    copy.SetObjectView(true);
    LoadBytes(copy, SaveBytes(customers));
    auto* copyOrders = dynamic_cast<TClientDataSet*>(
        dynamic_cast<TDataSetField*>(copy.FieldByName(u"Orders"))->NestedDataSet());
    copyOrders->Open();
    EXPECT_EQ(copyOrders->FieldByName(u"No")->AsInteger(), 7);
    auto* copyLines = dynamic_cast<TClientDataSet*>(
        dynamic_cast<TDataSetField*>(copyOrders->FieldByName(u"Lines"))->NestedDataSet());
    copyLines->Open();
    EXPECT_EQ(Items(*copyLines), (Texts{u"bolt"}));
}

} // namespace
} // namespace mv
