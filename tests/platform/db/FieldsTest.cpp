// Fields: native buffer round trips of every type, text for display and editing, parse
// errors, ranges, blobs, object fields and the field events.
#include "platform/db/DBConsts.h"
#include "platform/db/DataSet.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/FormatSettings.h"
#include "support/DbTestKit.h"

#include <gtest/gtest.h>

namespace mv::test {
namespace {

// One record in edit mode over the given definitions.
struct TOneRecord {
    std::unique_ptr<TVectorDataSet> DataSet = std::make_unique<TVectorDataSet>();
    TOneRecord& Def(const String& name, TFieldType type, Integer size = 0) {
        DataSet->FieldDefs()->Add(name, type, size);
        return *this;
    }
    TField* Open() {
        TVectorDataSet::TRow row(static_cast<std::size_t>(DataSet->FieldDefs()->Count()), Null());
        DataSet->AddRow(row);
        DataSet->Open();
        DataSet->Edit();
        return DataSet->Fields()->Fields(0);
    }
};

template <typename F> String ConvertErrorOf(F action) {
    try {
        action();
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return u"";
}

using test::DatabaseErrorOf;

TEST(Fields, DefaultFieldsFollowTheDefinitions) {
    TOneRecord record;
    record.Def(u"S", ftString, 5).Def(u"W", ftWideString, 4).Def(u"I", ftInteger).Def(u"Sm", ftSmallint);
    record.Def(u"B", ftBoolean).Def(u"F", ftFloat).Def(u"C", ftCurrency).Def(u"D", ftDate).Def(u"M", ftMemo);
    record.Open();
    TDataSet& ds = *record.DataSet;
    EXPECT_TRUE(ds.DefaultFields());
    ASSERT_EQ(ds.FieldCount(), 9);
    EXPECT_NE(dynamic_cast<TStringField*>(ds.FieldByName(u"S")), nullptr);
    EXPECT_NE(dynamic_cast<TWideStringField*>(ds.FieldByName(u"W")), nullptr);
    EXPECT_NE(dynamic_cast<TSmallintField*>(ds.FieldByName(u"Sm")), nullptr);
    EXPECT_NE(dynamic_cast<TCurrencyField*>(ds.FieldByName(u"C")), nullptr);
    EXPECT_NE(dynamic_cast<TMemoField*>(ds.FieldByName(u"M")), nullptr);
    TField* s = ds.FieldByName(u"S");
    EXPECT_EQ(s->Size(), 5);
    EXPECT_EQ(s->DataSize(), 6);
    EXPECT_EQ(s->FieldNo(), 1);
    EXPECT_EQ(s->Index(), 0);
    EXPECT_EQ(ds.FieldByName(u"I")->Alignment(), taRightJustify);
    EXPECT_EQ(s->Alignment(), taLeftJustify);
    EXPECT_EQ(ds.FieldByName(u"I")->DataSize(), 4);
    EXPECT_EQ(ds.FieldByName(u"Sm")->DataSize(), 2);
    EXPECT_EQ(ds.FieldByName(u"B")->DataSize(), 2);
    EXPECT_EQ(ds.FieldByName(u"D")->DataSize(), 4);
    EXPECT_FALSE(OkToChangeFieldAlignment(ds.FieldByName(u"I")));
    EXPECT_TRUE(OkToChangeFieldAlignment(s));
    EXPECT_EQ(FieldTypeName(ftWideString), u"WideString");
    EXPECT_EQ(FieldTypeName(ftSingle), u"Single");
    EXPECT_EQ(DatabaseErrorOf([&] { ds.Fields()->Fields(9); }), u"Field index out of range");
    ds.FieldByName(u"I")->SetIndex(0);
    EXPECT_EQ(ds.Fields()->Fields(0)->FieldName(), u"I");
    EXPECT_EQ(s->Index(), 1);
    ds.Close();
    EXPECT_EQ(ds.FieldCount(), 0); // default fields go with the cursor
}

TEST(Fields, TextFieldsCutToSizeAndKeepUnicode) {
    TOneRecord record;
    record.Def(u"S", ftString, 5).Def(u"W", ftWideString, 4).Def(u"G", ftGuid).Def(u"X", ftFixedChar, 6);
    record.Open();
    TDataSet& ds = *record.DataSet;
    TField* s = ds.FieldByName(u"S");
    EXPECT_TRUE(s->IsNull());
    EXPECT_EQ(s->AsString(), u"");
    EXPECT_TRUE(VarIsNull(s->Value()));
    s->SetAsString(u"abcdefgh");
    EXPECT_EQ(s->AsString(), u"abcde");
    s->SetAsString(u"ab\u00e9\u00e9"); // 6 UTF-8 bytes: the last character does not fit whole
    EXPECT_EQ(s->AsString(), u"ab\u00e9");
    s->SetAsInteger(42);
    EXPECT_EQ(s->AsInteger(), 42);
    EXPECT_EQ(s->Value().AsString(), u"42");
    EXPECT_EQ(s->DisplayWidth(), 5);

    TField* w = ds.FieldByName(u"W");
    w->SetValue(Variant(u"\u0416\u0418\u0412\u0401\u0422"));
    EXPECT_EQ(w->AsString(), u"\u0416\u0418\u0412\u0401");
    EXPECT_EQ(w->DataSize(), 10);

    TField* fixed = ds.FieldByName(u"X");
    fixed->SetAsString(u"ab  ");
    EXPECT_EQ(fixed->AsString(), u"ab");

    TField* guid = ds.FieldByName(u"G");
    String text = u"{12345678-9ABC-DEF0-1234-56789ABCDEF0}";
    guid->SetAsString(text);
    EXPECT_EQ(guid->AsString(), text);
    EXPECT_EQ(ConvertErrorOf([&] { guid->SetAsString(u"{1234}"); }),
              u"'{1234}' is not a valid GUID value for field 'G'");
    EXPECT_EQ(guid->AsString(), text);
    EXPECT_EQ(DatabaseErrorOf([&] { guid->SetSize(10); }),
              u"Cannot perform this operation on an open dataset");
}

TEST(Fields, NumbersParseFormatAndCheckRanges) {
    TFormatSettingsScope english(TFormatSettings::English());
    TOneRecord record;
    record.Def(u"I", ftInteger).Def(u"Sm", ftSmallint).Def(u"By", ftByte).Def(u"L", ftLargeint);
    record.Def(u"LW", ftLongWord).Def(u"F", ftFloat).Def(u"Cu", ftCurrency).Def(u"Si", ftSingle);
    record.Def(u"BC", ftBCD).Def(u"FB", ftFMTBcd);
    record.Open();
    TDataSet& ds = *record.DataSet;

    TField* i = ds.FieldByName(u"I");
    i->SetEditText(u"1234");
    EXPECT_EQ(i->AsInteger(), 1234);
    EXPECT_EQ(ConvertErrorOf([&] { i->SetEditText(u"12x"); }),
              u"'12x' is not a valid integer value for field 'I'");
    EXPECT_EQ(i->AsInteger(), 1234); // unchanged
    static_cast<TIntegerField*>(i)->SetDisplayFormat(u"#,##0");
    static_cast<TIntegerField*>(i)->SetEditFormat(u"0");
    i->SetAsInteger(1234567);
    EXPECT_EQ(i->DisplayText(), u"1,234,567");
    EXPECT_EQ(i->Text(), u"1234567");
    i->SetEditText(u"");
    EXPECT_TRUE(i->IsNull());
    EXPECT_EQ(i->DisplayText(), u"");
    static_cast<TIntegerField*>(i)->SetMinValue(1);
    static_cast<TIntegerField*>(i)->SetMaxValue(10);
    EXPECT_EQ(DatabaseErrorOf([&] { i->SetAsInteger(11); }),
              u"11 is not a valid value for field 'I'. The allowed range is 1 to 10");
    EXPECT_TRUE(i->IsValidChar(u'5'));
    EXPECT_FALSE(i->IsValidChar(u'a'));

    TField* small = ds.FieldByName(u"Sm");
    small->SetAsInteger(-32768);
    EXPECT_EQ(small->AsInteger(), -32768);
    EXPECT_EQ(DatabaseErrorOf([&] { small->SetAsInteger(40000); }),
              u"40000 is not a valid value for field 'Sm'. The allowed range is -32768 to 32767");
    EXPECT_EQ(small->AsInteger(), -32768);
    TField* byte = ds.FieldByName(u"By");
    byte->SetAsFloat(254.6);
    EXPECT_EQ(byte->AsInteger(), 255);
    EXPECT_EQ(DatabaseErrorOf([&] { byte->SetAsInteger(-1); }),
              u"-1 is not a valid value for field 'By'. The allowed range is 0 to 255");

    TField* large = ds.FieldByName(u"L");
    large->SetAsString(u"-9000000000000");
    EXPECT_EQ(large->AsLargeInt(), -9000000000000LL);
    EXPECT_EQ(large->Value().VType(), varInt64);
    TField* longWord = ds.FieldByName(u"LW");
    longWord->SetAsLargeInt(4000000000LL);
    EXPECT_EQ(longWord->AsLargeInt(), 4000000000LL);
    EXPECT_THROW(longWord->SetAsLargeInt(-1), EDatabaseError);

    auto* f = static_cast<TFloatField*>(ds.FieldByName(u"F"));
    f->SetEditText(u"1234.5");
    EXPECT_DOUBLE_EQ(f->AsFloat(), 1234.5);
    EXPECT_EQ(f->DisplayText(), u"1234.5");
    EXPECT_EQ(ConvertErrorOf([&] { f->SetEditText(u"1,2,3"); }),
              u"'1,2,3' is not a valid floating point value for field 'F'");
    EXPECT_DOUBLE_EQ(f->AsFloat(), 1234.5);
    f->SetDisplayFormat(u"#,##0.00");
    EXPECT_EQ(f->DisplayText(), u"1,234.50");
    EXPECT_EQ(f->Text(), u"1,234.50"); // EditFormat falls back to DisplayFormat
    f->SetDisplayFormat(u"");
    f->SetCurrency(true);
    EXPECT_EQ(f->DisplayText(), u"$1,234.50");
    EXPECT_EQ(f->Text(), u"1234.50");
    f->SetAsInteger(3);
    EXPECT_EQ(f->AsInteger(), 3);

    TField* cu = ds.FieldByName(u"Cu");
    cu->SetAsCurrency(Currency::FromDouble(12.345));
    EXPECT_EQ(cu->DisplayText(), u"$12.35");
    EXPECT_EQ(cu->Value().VType(), varCurrency);

    TField* single = ds.FieldByName(u"Si");
    single->SetAsFloat(0.1);
    EXPECT_EQ(single->AsString(), u"0.1");
    EXPECT_EQ(single->DataSize(), 4);

    auto* bcd = static_cast<TBCDField*>(ds.FieldByName(u"BC"));
    bcd->SetAsString(u"12.3456");
    EXPECT_EQ(bcd->AsCurrency(), Currency::FromDouble(12.3456));
    EXPECT_EQ(bcd->AsString(), u"12.3456");
    EXPECT_EQ(bcd->AsInteger(), 12);
    EXPECT_EQ(ConvertErrorOf([&] { bcd->SetAsString(u"abc"); }),
              u"'abc' is not a valid floating point value for field 'BC'");
    TField* fmt = ds.FieldByName(u"FB");
    fmt->SetAsString(u"1234567.12345678"); // precision 15 with 8 decimals
    EXPECT_EQ(fmt->AsString(), u"1234567.12345678");
    EXPECT_EQ(BcdToStr(fmt->AsBCD()), u"1234567.12345678");
    EXPECT_EQ(DatabaseErrorOf([&] { fmt->SetAsString(u"123456789"); }),
              u"Value of field 'FB' is out of range");
    EXPECT_TRUE(VarIsFMTBcd(fmt->Value()));
    fmt->SetAsFloat(2.5);
    EXPECT_DOUBLE_EQ(fmt->AsFloat(), 2.5);

    // Posting and reading back from storage goes through the native formats.
    ds.Post();
    EXPECT_EQ(ds.FieldByName(u"Sm")->AsInteger(), -32768);
    EXPECT_EQ(ds.FieldByName(u"LW")->AsLargeInt(), 4000000000LL);
    EXPECT_EQ(ds.FieldByName(u"FB")->AsString(), u"2.5");
    EXPECT_EQ(DatabaseErrorOf([&] { ds.FieldByName(u"I")->AsDateTime(); }),
              u"Cannot access field 'I' as type DateTime");
}

TEST(Fields, BooleansDatesAndTimeStamps) {
    TFormatSettingsScope english(TFormatSettings::English());
    TOneRecord record;
    record.Def(u"B", ftBoolean)
        .Def(u"D", ftDate)
        .Def(u"T", ftTime)
        .Def(u"DT", ftDateTime)
        .Def(u"TS", ftTimeStamp);
    record.Open();
    TDataSet& ds = *record.DataSet;

    auto* b = static_cast<TBooleanField*>(ds.FieldByName(u"B"));
    b->SetAsBoolean(true);
    EXPECT_EQ(b->AsString(), u"True");
    b->SetEditText(u"f");
    EXPECT_FALSE(b->AsBoolean());
    EXPECT_FALSE(b->IsNull());
    b->SetDisplayValues(u"Yes;No");
    EXPECT_EQ(b->DisplayText(), u"No");
    b->SetEditText(u"YE");
    EXPECT_TRUE(b->AsBoolean());
    EXPECT_EQ(b->DisplayWidth(), 3);
    EXPECT_EQ(ConvertErrorOf([&] { b->SetEditText(u"maybe"); }),
              u"'maybe' is not a valid boolean value for field 'B'");
    EXPECT_TRUE(b->AsBoolean());
    b->SetEditText(u"");
    EXPECT_TRUE(b->IsNull());

    TDateTime when = EncodeDateTime(2024, 2, 29, 13, 45, 30, 250);
    TField* d = ds.FieldByName(u"D");
    d->SetAsDateTime(when);
    EXPECT_DOUBLE_EQ(d->AsDateTime(), EncodeDate(2024, 2, 29));
    EXPECT_EQ(d->DisplayText(), u"2/29/2024");
    static_cast<TDateTimeField*>(d)->SetDisplayFormat(u"yyyy-mm-dd");
    EXPECT_EQ(d->DisplayText(), u"2024-02-29");
    EXPECT_EQ(d->Text(), u"2/29/2024");
    d->SetEditText(u"3/1/2024");
    EXPECT_DOUBLE_EQ(d->AsDateTime(), EncodeDate(2024, 3, 1));
    EXPECT_THROW(d->SetEditText(u"31/31/2024"), EConvertError);
    EXPECT_DOUBLE_EQ(d->AsDateTime(), EncodeDate(2024, 3, 1));

    TField* t = ds.FieldByName(u"T");
    t->SetAsDateTime(when);
    EXPECT_NEAR(t->AsDateTime(), EncodeTime(13, 45, 30, 250), 1e-9);
    EXPECT_EQ(t->DisplayText(), u"1:45:30 PM");

    TField* dt = ds.FieldByName(u"DT");
    dt->SetAsDateTime(when);
    EXPECT_TRUE(SameDateTime(dt->AsDateTime(), when));
    EXPECT_EQ(dt->Value().VType(), varDate);
    dt->SetAsDateTime(EncodeDate(1850, 1, 1)); // before 1899 still round-trips
    EXPECT_TRUE(SameDateTime(dt->AsDateTime(), EncodeDate(1850, 1, 1)));

    TField* ts = ds.FieldByName(u"TS");
    ts->SetAsDateTime(when);
    TSQLTimeStamp stamp = ts->AsSQLTimeStamp();
    EXPECT_EQ(stamp.Year, 2024);
    EXPECT_EQ(stamp.Hour, 13);
    EXPECT_TRUE(VarIsSQLTimeStamp(ts->Value()));

    ds.Post();
    EXPECT_TRUE(SameDateTime(ds.FieldByName(u"DT")->AsDateTime(), EncodeDate(1850, 1, 1)));
    EXPECT_EQ(ds.FieldByName(u"TS")->AsSQLTimeStamp().Second, 30);
}

TEST(Fields, BinaryAndBlobFieldsGoThroughTheirStreams) {
    TOneRecord record;
    record.Def(u"By", ftBytes, 4).Def(u"VB", ftVarBytes, 6).Def(u"Bl", ftBlob).Def(u"Me", ftMemo);
    record.Def(u"WM", ftWideMemo).Def(u"Gr", ftGraphic);
    record.Open();
    TDataSet& ds = *record.DataSet;

    TField* bytes = ds.FieldByName(u"By");
    bytes->SetAsBytes({1, 2, 3});
    EXPECT_EQ(bytes->AsBytes(), (std::vector<Byte>{1, 2, 3, 0}));
    TField* varBytes = ds.FieldByName(u"VB");
    varBytes->SetAsBytes({9, 8, 7});
    EXPECT_EQ(varBytes->AsBytes(), (std::vector<Byte>{9, 8, 7}));
    EXPECT_EQ(varBytes->DataSize(), 8);

    auto* blob = static_cast<TBlobField*>(ds.FieldByName(u"Bl"));
    EXPECT_TRUE(blob->IsNull());
    EXPECT_EQ(blob->DisplayText(), u"(Blob)");
    blob->SetAsBytes({0, 255, 10});
    EXPECT_EQ(blob->AsBytes(), (std::vector<Byte>{0, 255, 10}));
    EXPECT_EQ(blob->BlobSize(), 3);
    EXPECT_EQ(blob->DisplayText(), u"(BLOB)");
    {
        std::unique_ptr<TStream> stream = ds.CreateBlobStream(blob, bmWrite);
        stream->WriteBuffer("xyz", 3);
    }
    EXPECT_EQ(blob->AsString(), u"xyz");
    TMemoryStream saved;
    blob->SaveToStream(saved);
    EXPECT_EQ(saved.GetSize(), 3);
    blob->Clear();
    EXPECT_TRUE(blob->IsNull());
    blob->LoadFromStream(saved);
    EXPECT_EQ(blob->AsString(), u"xyz");

    TField* memo = ds.FieldByName(u"Me");
    memo->SetAsString(u"Gr\u00fc\u00dfe\r\nline 2");
    EXPECT_EQ(memo->AsString(), u"Gr\u00fc\u00dfe\r\nline 2");
    EXPECT_EQ(memo->DisplayText(), u"(MEMO)");
    EXPECT_EQ(static_cast<TBlobField*>(memo)->BlobSize(), 15); // UTF-8 bytes
    TField* wide = ds.FieldByName(u"WM");
    wide->SetAsString(u"\u65e5\u672c");
    EXPECT_EQ(wide->AsString(), u"\u65e5\u672c");
    EXPECT_EQ(static_cast<TBlobField*>(wide)->BlobSize(), 4);
    EXPECT_EQ(ds.FieldByName(u"Gr")->DisplayText(), u"(Graphic)");

    ds.Post();
    EXPECT_EQ(ds.FieldByName(u"Me")->AsString(), u"Gr\u00fc\u00dfe\r\nline 2");
    EXPECT_EQ(ds.FieldByName(u"Bl")->AsString(), u"xyz");
    // Writing a blob outside edit modes is refused.
    EXPECT_EQ(DatabaseErrorOf([&] { ds.FieldByName(u"Me")->SetAsString(u"no"); }),
              u"Dataset not in edit or insert mode");
}

TEST(Fields, EventsSeeTheValueAndTextHooksReplaceTheDefaults) {
    auto dataSet = MakeNumbered(2);
    dataSet->Open();
    TField* name = dataSet->FieldByName(u"Name");
    String seenInValidate;
    std::vector<String> changes;
    name->OnValidate = [&](TField* field) {
        seenInValidate = field->AsString();
        if (field->AsString() == u"bad") throw EDatabaseError(u"rejected");
    };
    name->OnChange = [&](TField* field) { changes.push_back(field->AsString()); };
    dataSet->Edit();
    name->SetAsString(u"good");
    EXPECT_EQ(seenInValidate, u"good");
    EXPECT_EQ(changes, std::vector<String>{u"good"});
    EXPECT_THROW(name->SetAsString(u"bad"), EDatabaseError);
    EXPECT_EQ(name->AsString(), u"good"); // the rejected value was not stored
    EXPECT_EQ(changes.size(), 1u);

    name->OnGetText = [](TField* field, String& text, bool display) {
        text = (display ? u"<" : u"[") + field->AsString() + (display ? u">" : u"]");
    };
    name->OnSetText = [](TField* field, const String& text) { field->SetAsString(text + u"!"); };
    EXPECT_EQ(name->DisplayText(), u"<good>");
    EXPECT_EQ(name->Text(), u"[good]");
    name->SetEditText(u"hi");
    EXPECT_EQ(name->AsString(), u"hi!");
    dataSet->Cancel();

    // Field values by name: one value, or an array for a list.
    Variant both = dataSet->FieldValues(u"ID;Name");
    ASSERT_TRUE(VarIsArray(both));
    EXPECT_EQ(both[0].AsInteger(), 1);
    EXPECT_EQ(both[1].AsString(), u"Name1");
    dataSet->Edit();
    dataSet->SetFieldValues(u"ID;Name", VarArrayOf({Variant(7), Variant(u"Seven")}));
    dataSet->Post();
    EXPECT_EQ(dataSet->FieldValues(u"ID").AsInteger(), 7);
    EXPECT_EQ(dataSet->Rows()[0][1].AsString(), u"Seven");
}

TEST(Fields, ObjectFieldsFlattenedOrKeptAsChildren) {
    for (bool objectView : {false, true}) {
        TVectorDataSet ds;
        ds.FieldDefs()->Add(u"ID", ftInteger);
        TFieldDef* address = ds.FieldDefs()->Add(u"Address", ftADT);
        address->ChildDefs()->Add(u"City", ftString, 10);
        address->ChildDefs()->Add(u"Zip", ftInteger);
        ds.FieldDefs()->Add(u"Note", ftString, 10);
        EXPECT_EQ(ds.FieldDefList().Count(), 5);
        EXPECT_EQ(ds.FieldDefList().Strings(2), u"Address.City");
        EXPECT_EQ(ds.FieldDefs()->Find(u"Note")->FieldNo(), 5);
        ds.AddRow({Variant(1), Variant(), Variant(u"Paris"), Variant(75001), Variant(u"n")});
        ds.SetObjectView(objectView);
        ds.Open();
        TField* city = ds.FieldByName(u"Address.City");
        EXPECT_EQ(city->AsString(), u"Paris");
        EXPECT_EQ(city->FullName(), u"Address.City");
        EXPECT_EQ(ds.FieldList().Count(), objectView ? 5 : 4);
        if (objectView) {
            EXPECT_EQ(ds.FieldCount(), 3);
            auto* adt = dynamic_cast<TADTField*>(ds.FieldByName(u"Address"));
            ASSERT_NE(adt, nullptr);
            EXPECT_EQ(city->ParentField(), adt);
            EXPECT_EQ(city->FieldName(), u"City");
            EXPECT_EQ(adt->FieldCount(), 2);
            Variant value = adt->Value();
            EXPECT_EQ(value[0].AsString(), u"Paris");
            EXPECT_EQ(value[1].AsInteger(), 75001);
            EXPECT_EQ(adt->AsString(), u"(Paris, 75001)");
        } else {
            EXPECT_EQ(ds.FieldCount(), 4);
            EXPECT_EQ(city->ParentField(), nullptr);
            EXPECT_EQ(ds.FindField(u"Address"), nullptr);
        }
        ds.Close();
    }

    // A nested data set attaches to its data-set field.
    TVectorDataSet master, nested;
    TDataSetField field(nullptr);
    nested.SetDataSetField(&field);
    EXPECT_EQ(field.NestedDataSet(), &nested);
    EXPECT_EQ(nested.DataSetField(), &field);
    nested.SetDataSetField(nullptr);
    EXPECT_EQ(field.NestedDataSet(), nullptr);
}

TEST(Fields, PersistentFieldsAndTheirErrors) {
    TVectorDataSet ds;
    ds.SetName(u"People");
    auto* id = new TIntegerField(&ds);
    id->SetFieldName(u"ID");
    id->SetDataSet(&ds);
    auto* name = new TStringField(&ds);
    name->SetFieldName(u"Name");
    name->SetSize(8);
    name->SetDataSet(&ds);
    auto* duplicate = new TStringField(&ds);
    duplicate->SetFieldName(u"name");
    EXPECT_EQ(DatabaseErrorOf([&] { duplicate->SetDataSet(&ds); }), u"People: Duplicate field name 'name'");
    delete duplicate;
    auto* unnamed = new TStringField(&ds);
    EXPECT_EQ(DatabaseErrorOf([&] { unnamed->SetDataSet(&ds); }), u"People: Field name missing");
    delete unnamed;
    EXPECT_EQ(DatabaseErrorOf([&] { name->SetSize(-1); }), u"Invalid field size");

    ds.AddRow({Variant(1), Variant(u"Ann")});
    ds.Open();
    EXPECT_FALSE(ds.DefaultFields());
    EXPECT_EQ(ds.FieldDefs()->Count(), 2); // built from the persistent fields
    EXPECT_EQ(ds.FieldByName(u"Name")->AsString(), u"Ann");
    EXPECT_EQ(DatabaseErrorOf([&] { name->SetFieldName(u"Other"); }),
              u"People: Cannot perform this operation on an open dataset");
    ds.Close();
    EXPECT_EQ(ds.FieldCount(), 2); // persistent fields stay

    // A field whose type differs from its definition is refused at open.
    TVectorDataSet typed;
    typed.SetName(u"Typed");
    typed.FieldDefs()->Add(u"ID", ftString, 5);
    auto* wrong = new TIntegerField(&typed);
    wrong->SetFieldName(u"ID");
    wrong->SetDataSet(&typed);
    EXPECT_EQ(DatabaseErrorOf([&] { typed.Open(); }),
              u"Typed: Type mismatch for field 'ID', expecting: Integer actual: String");
    EXPECT_FALSE(typed.Active());
    // A field without definition is not found at open.
    auto* extra = new TIntegerField(&typed);
    extra->SetFieldName(u"Extra");
    delete wrong;
    extra->SetDataSet(&typed);
    EXPECT_EQ(DatabaseErrorOf([&] { typed.Open(); }), u"Typed: Field 'Extra' not found");

    TFieldDefs& defs = *typed.FieldDefs();
    EXPECT_EQ(DatabaseErrorOf([&] { defs.Add(u"id", ftInteger); }), u"Typed: Duplicate field name 'id'");
    EXPECT_EQ(DatabaseErrorOf([&] { defs.Find(u"Missing"); }), u"Typed: Field 'Missing' not found");
    EXPECT_EQ(DatabaseErrorOf([&] { defs.Add(u"U", ftUnknown)->CreateField(&typed); }),
              u"Typed: Field 'U' is of an unknown type");
    TField* standalone = new TIntegerField(nullptr);
    standalone->SetFieldName(u"Lonely");
    EXPECT_EQ(DatabaseErrorOf([&] { standalone->AsInteger(); }), u"Field 'Lonely' has no dataset");
    delete standalone;
}

} // namespace
} // namespace mv::test
