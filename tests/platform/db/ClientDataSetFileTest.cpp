// Client data set files: a round trip of every storable type with nulls and blobs,
// damaged and foreign files rejected without touching the data set, and FileName.
#include "platform/db/ClientDataSet.h"

#include "platform/rtl/Bcd.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/SqlTimeStamp.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Utf8.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace mv {
namespace {

struct TTypeCase {
    TFieldType Type;
    Integer Size;
    Variant Value;
};

std::vector<TTypeCase> TypeCases() {
    TDateTime when = EncodeDate(2024, 2, 29) + EncodeTime(13, 45, 10, 250);
    return {
        {ftString, 12, Variant(u"Grüße")},
        {ftFixedChar, 4, Variant(u"abcd")},
        {ftWideString, 10, Variant(u"日本語")},
        {ftFixedWideChar, 3, Variant(u"xyz")},
        {ftGuid, 38, Variant(u"{01234567-89AB-CDEF-0123-456789ABCDEF}")},
        {ftSmallint, 0, Variant(-1234)},
        {ftShortint, 0, Variant(-12)},
        {ftByte, 0, Variant(250)},
        {ftWord, 0, Variant(65000)},
        {ftInteger, 0, Variant(-2000000000)},
        {ftAutoInc, 0, Variant(77)},
        {ftLongWord, 0, Variant(4000000000u)},
        {ftLargeint, 0, Variant(-9000000000000LL)},
        {ftBoolean, 0, Variant(true)},
        {ftFloat, 0, Variant(-1.0 / 3.0)},
        {ftCurrency, 0, Variant(12.3456)},
        {ftExtended, 0, Variant(2.5e300)},
        {ftSingle, 0, Variant(1.5f)},
        {ftBCD, 4, Variant(Currency::FromScaled(-123456789))},
        {ftFMTBcd, 6, VarFMTBcdCreate(u"123456789.123456")},
        {ftDate, 0, VarFromDateTime(EncodeDate(1899, 1, 1))},
        {ftTime, 0, VarFromDateTime(EncodeTime(23, 59, 59, 999))},
        {ftDateTime, 0, VarFromDateTime(when)},
        {ftTimeStamp, 0, VarSQLTimeStampCreate(when)},
        {ftBytes, 3, Variant(String{u'\x01', u'\x00', u'\xff'})},
        {ftVarBytes, 8, Variant(String{u'\x07', u'\x00'})},
        {ftBlob, 0, Variant(String{u'\x00', u'\x01', u'\x80', u'\xff'})},
        {ftMemo, 0, Variant(u"line one\nline twö")},
        {ftFmtMemo, 0, Variant(u"{\\rtf1}")},
        {ftWideMemo, 0, Variant(u"wide ☺")},
        {ftGraphic, 0, Variant(String{u'\x89', u'P', u'N', u'G'})},
    };
}

// A data set with one field per type case (F0, F1, ...), an index definition, an
// internal calculated field, one record of values and one of nulls.
std::unique_ptr<TClientDataSet> MakeAllTypes() {
    auto ds = std::make_unique<TClientDataSet>();
    std::vector<TTypeCase> cases = TypeCases();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        TFieldDef* def =
            ds->FieldDefs()->Add(u"F" + IntToStr(static_cast<Integer>(i)), cases[i].Type, cases[i].Size);
        if (cases[i].Type == ftFMTBcd) def->SetPrecision(18);
    }
    ds->FieldDefs()->Add(u"Level", ftInteger)->SetInternalCalcField(true);
    ds->FieldDefs()->Add(u"Code", ftString, 8, true);
    ds->AddIndex(u"ByCode", u"Code;F9", {ixCaseInsensitive}, u"F9", u"", 1);
    ds->CreateDataSet();
    ds->Append();
    for (std::size_t i = 0; i < cases.size(); ++i)
        ds->Fields()->Fields(static_cast<Integer>(i))->SetValue(cases[i].Value);
    ds->FieldByName(u"Level")->SetAsInteger(3);
    ds->FieldByName(u"Code")->SetAsString(u"B");
    ds->Post();
    ds->AppendRecord({});
    ds->Last();
    ds->Edit();
    ds->FieldByName(u"Code")->SetAsString(u"a");
    ds->Post();
    return ds;
}

std::string SaveBytes(TClientDataSet& ds) {
    TMemoryStream stream;
    ds.SaveToStream(stream);
    return std::string(static_cast<const char*>(stream.Memory()), static_cast<std::size_t>(stream.GetSize()));
}

// Loads bytes; returns the EDatabaseError message, "" when loading succeeded.
String LoadError(TClientDataSet& ds, const std::string& bytes) {
    TMemoryStream stream;
    if (!bytes.empty()) stream.Write(bytes.data(), static_cast<Integer>(bytes.size()));
    stream.SetPosition(0);
    try {
        ds.LoadFromStream(stream);
    } catch (const EDatabaseError& e) {
        return e.Message();
    }
    return u"";
}

std::uint64_t Fnv1a(const std::string& bytes, std::size_t size) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= static_cast<unsigned char>(bytes[i]);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

// Changes bytes and puts a matching checksum back, so the parser's own checks are reached.
std::string Resealed(std::string bytes, std::size_t at, const std::string& replacement) {
    bytes.replace(at, replacement.size(), replacement);
    std::uint64_t hash = Fnv1a(bytes, bytes.size() - 8);
    std::memcpy(bytes.data() + bytes.size() - 8, &hash, 8);
    return bytes;
}

TEST(ClientDataSetFile, RoundTripKeepsDefinitionsValuesNullsAndBlobs) {
    auto source = MakeAllTypes();
    std::string bytes = SaveBytes(*source);
    TClientDataSet loaded;
    ASSERT_EQ(LoadError(loaded, bytes), u"");
    ASSERT_TRUE(loaded.Active());

    std::vector<TTypeCase> cases = TypeCases();
    ASSERT_EQ(loaded.FieldDefs()->Count(), source->FieldDefs()->Count());
    for (Integer i = 0; i < source->FieldDefs()->Count(); ++i) {
        const TFieldDef* want = source->FieldDefs()->Items(i);
        const TFieldDef* got = loaded.FieldDefs()->Items(i);
        EXPECT_EQ(got->Name(), want->Name());
        EXPECT_EQ(got->DataType(), want->DataType()) << UTF8Encode(want->Name());
        EXPECT_EQ(got->Size(), want->Size()) << UTF8Encode(want->Name());
        EXPECT_EQ(got->Precision(), want->Precision()) << UTF8Encode(want->Name());
        EXPECT_EQ(got->InternalCalcField(), want->InternalCalcField());
        EXPECT_EQ(got->Required(), want->Required());
    }
    EXPECT_EQ(loaded.FieldByName(u"Level")->FieldKind(), fkInternalCalc);
    ASSERT_EQ(loaded.IndexDefs()->Count(), 1);
    const TIndexDef* index = loaded.IndexDefs()->Items(0);
    EXPECT_EQ(index->Name(), u"ByCode");
    EXPECT_EQ(index->Fields(), u"Code;F9");
    EXPECT_EQ(index->DescFields(), u"F9");
    EXPECT_EQ(index->Options(), TIndexOptions{ixCaseInsensitive});
    EXPECT_EQ(index->GroupingLevel(), 1);

    ASSERT_EQ(loaded.RecordCount(), 2);
    source->First();
    loaded.First();
    for (Integer record = 0; record < 2; ++record) {
        for (Integer i = 0; i < source->FieldCount(); ++i) {
            TField* want = source->Fields()->Fields(i);
            TField* got = loaded.Fields()->Fields(i);
            SCOPED_TRACE(UTF8Encode(want->FieldName() + u" record " + IntToStr(record)));
            EXPECT_EQ(got->IsNull(), want->IsNull());
            if (BlobFieldTypes.Contains(want->DataType()) || want->DataType() == ftBytes ||
                want->DataType() == ftVarBytes)
                EXPECT_EQ(got->AsBytes(), want->AsBytes());
            else
                EXPECT_EQ(got->AsString(), want->AsString());
        }
        source->Next();
        loaded.Next();
    }
    // The values are the ones written, not only equal to each other.
    loaded.First();
    EXPECT_EQ(loaded.FieldByName(u"F0")->AsString(), u"Grüße");
    EXPECT_EQ(loaded.FieldByName(u"F2")->AsString(), u"日本語");
    EXPECT_DOUBLE_EQ(loaded.FieldByName(u"F14")->AsFloat(), -1.0 / 3.0);
    EXPECT_EQ(loaded.FieldByName(u"F22")->AsDateTime(), cases[22].Value.AsDateTime());
    EXPECT_EQ(loaded.FieldByName(u"F26")->AsBytes(), (std::vector<Byte>{0, 1, 0x80, 0xff}));
    EXPECT_EQ(loaded.FieldByName(u"F29")->AsString(), u"wide ☺");
    // A saved file saves again byte for byte.
    EXPECT_EQ(SaveBytes(loaded), bytes);
    loaded.SetIndexName(u"ByCode");
    loaded.First();
    EXPECT_EQ(loaded.FieldByName(u"Code")->AsString(), u"a");
}

TEST(ClientDataSetFile, DamagedFilesAreRejectedWithoutLoss) {
    auto source = MakeAllTypes();
    std::string good = SaveBytes(*source);

    TClientDataSet target;
    target.SetName(u"Target");
    target.FieldDefs()->Add(u"ID", ftInteger);
    target.CreateDataSet();
    target.AppendRecord({Variant(41)});
    target.AppendRecord({Variant(42)});
    auto unchanged = [&] {
        EXPECT_TRUE(target.Active());
        EXPECT_EQ(target.FieldCount(), 1);
        EXPECT_EQ(target.RecordCount(), 2);
        target.Last();
        EXPECT_EQ(target.FieldByName(u"ID")->AsInteger(), 42);
    };
    const String prefix = u"Invalid data packet: ";
    std::string flipped = good;
    flipped[good.size() / 2] ^= 0x10;
    EXPECT_EQ(LoadError(target, flipped), prefix + u"checksum mismatch (the file is damaged or truncated)");
    unchanged();
    EXPECT_EQ(LoadError(target, good.substr(0, good.size() - 1)),
              prefix + u"checksum mismatch (the file is damaged or truncated)");
    EXPECT_EQ(LoadError(target, good.substr(0, good.size() / 3)),
              prefix + u"checksum mismatch (the file is damaged or truncated)");
    EXPECT_EQ(LoadError(target, good.substr(0, 10)), prefix + u"the file is too short");
    EXPECT_EQ(LoadError(target, ""), prefix + u"the file is too short");
    EXPECT_EQ(LoadError(target, "PK\x03\x04 this is a zip file, not a data set"),
              prefix + u"not a client data set file");
    unchanged();

    // Damage that keeps a valid checksum reaches the structural checks.
    EXPECT_EQ(LoadError(target, Resealed(good, 8, std::string("\x03\0\0\0", 4))),
              prefix + u"version 3 is not supported (expected 2)");
    EXPECT_EQ(LoadError(target, Resealed(good, 12, std::string("\xff\xff\xff\x7f", 4))),
              prefix + u"bad field count 2147483647");
    std::string shortened = good.substr(0, good.size() - 40) + good.substr(good.size() - 8);
    EXPECT_EQ(LoadError(target, Resealed(shortened, 0, "M")).substr(0, prefix.size() + 12),
              prefix + u"truncated in");
    std::string trailing = good.substr(0, good.size() - 8) + "xx" + good.substr(good.size() - 8);
    EXPECT_EQ(LoadError(target, Resealed(trailing, 0, "M")),
              prefix + u"unexpected bytes after the last record");
    // The first field's type byte follows its name ("F0", length 2).
    EXPECT_EQ(LoadError(target, Resealed(good, 16 + 4 + 2, "\xC8")),
              prefix + u"field 'F0' has an unknown type 200");
    unchanged();
}

TEST(ClientDataSetFile, FileNameLoadsAtOpenAndSavesAtClose) {
    std::string folder = testing::TempDir();
    String path = UTF8ToString(folder) + u"/cds_file_test.mvcds";
    std::remove(UTF8Encode(path).c_str());
    {
        TClientDataSet ds;
        ds.FieldDefs()->Add(u"ID", ftInteger);
        ds.FieldDefs()->Add(u"Name", ftString, 10);
        ds.SetFileName(path);
        ds.CreateDataSet();
        ds.AppendRecord({Variant(1), Variant(u"one")});
        ds.AppendRecord({Variant(2), Variant(u"two")});
        ds.Close();
    }
    TClientDataSet reader;
    reader.SetFileName(path);
    reader.Open();
    ASSERT_EQ(reader.RecordCount(), 2);
    reader.Last();
    EXPECT_EQ(reader.FieldByName(u"Name")->AsString(), u"two");
    reader.Delete();
    reader.Close();
    reader.Open();
    EXPECT_EQ(reader.RecordCount(), 1);
    // Read-only data sets do not write back; LoadFromFile with a name reads that file.
    reader.SetReadOnly(true);
    reader.Close();
    TClientDataSet other;
    other.LoadFromFile(path);
    EXPECT_EQ(other.RecordCount(), 1);
    std::remove(UTF8Encode(path).c_str());
    TClientDataSet missing;
    missing.SetFileName(path);
    EXPECT_THROW(missing.Open(), EFOpenError);
    EXPECT_FALSE(missing.Active());
}

} // namespace
} // namespace mv
