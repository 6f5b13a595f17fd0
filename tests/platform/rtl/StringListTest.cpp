// TStringList: sorted lists and duplicates, Find, name=value lines, comma and delimited
// texts, line splitting, change events, object alignment and ownership, Assign, files.
#include "platform/rtl/StringList.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Utf8.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <unistd.h>
#include <vector>

namespace mv {
namespace {

template <typename E, typename F> String MessageOf(F&& f) {
    try {
        f();
    } catch (const E& e) {
        return e.Message();
    }
    ADD_FAILURE() << "no exception raised";
    return u"<no exception>";
}

std::vector<String> Items(const TStrings& list) {
    std::vector<String> items;
    for (Integer i = 0; i < list.Count(); ++i)
        items.push_back(list.Strings(i));
    return items;
}

std::vector<String> V(std::initializer_list<const char16_t*> items) {
    return {items.begin(), items.end()};
}

void Fill(TStrings& list, std::initializer_list<const char16_t*> items) {
    for (const char16_t* s : items)
        list.Add(s);
}

class TTracked : public TObject {
public:
    TTracked(int id, int* destroyed = nullptr) : Id(id), FDestroyed(destroyed) {}
    ~TTracked() override {
        if (FDestroyed) ++*FDestroyed;
    }
    int Id;

private:
    int* FDestroyed;
};

String UTF8ToStringPath(const std::filesystem::path& path) {
    return UTF8ToString(path.string());
}

int IdAt(const TStrings& list, Integer index) {
    return static_cast<TTracked*>(list.Objects(index))->Id;
}

TEST(StringList, SortedListsHonourDuplicatesAndCaseSensitivity) {
    for (bool caseSensitive : {false, true}) {
        SCOPED_TRACE(caseSensitive ? "case-sensitive" : "case-insensitive");
        TStringList list;
        list.SetCaseSensitive(caseSensitive);
        list.SetSorted(true);
        EXPECT_EQ(list.Add(u"b"), 0);
        EXPECT_EQ(list.Add(u"a"), 0);
        EXPECT_EQ(list.Add(u"c"), 2);
        EXPECT_EQ(list.GetDuplicates(), dupIgnore);
        EXPECT_EQ(list.Add(u"b"), 1);
        EXPECT_EQ(Items(list), V({u"a", u"b", u"c"}));
        // "B" sorts before "a" ordinally, and is the same as "b" otherwise.
        EXPECT_EQ(list.Add(u"B"), caseSensitive ? 0 : 1);
        EXPECT_EQ(list.Count(), caseSensitive ? 4 : 3);

        list.Clear();
        Fill(list, {u"a", u"b", u"c"});
        list.SetDuplicates(dupError);
        EXPECT_EQ(MessageOf<EStringListError>([&] { list.Add(u"b"); }),
                  u"String list does not allow duplicates");
        if (caseSensitive)
            EXPECT_EQ(list.Add(u"B"), 0);
        else
            EXPECT_THROW(list.Add(u"B"), EStringListError);
        EXPECT_EQ(list.IndexOf(u"b"), caseSensitive ? 2 : 1);

        list.Clear();
        list.SetDuplicates(dupAccept);
        TTracked first(1), second(2), third(3);
        list.AddObject(u"a", nullptr);
        list.AddObject(u"b", &first);
        list.AddObject(u"c", nullptr);
        // Equal strings keep the order they were added in.
        EXPECT_EQ(list.AddObject(u"b", &second), 2);
        EXPECT_EQ(list.AddObject(u"B", &third), caseSensitive ? 0 : 3);
        EXPECT_EQ(IdAt(list, list.IndexOf(u"b")), 1);
        EXPECT_EQ(list.Count(), 5);
    }

    // Duplicates only applies to sorted lists.
    TStringList unsorted;
    unsorted.SetDuplicates(dupError);
    Fill(unsorted, {u"x", u"x"});
    EXPECT_EQ(unsorted.Count(), 2);
}

TEST(StringList, SortedListRejectsPositionalEditsUnchanged) {
    TStringList list;
    Fill(list, {u"c", u"a", u"b"});
    list.SetSorted(true);
    EXPECT_EQ(Items(list), V({u"a", u"b", u"c"}));
    const String message = u"Operation not allowed on sorted list";
    EXPECT_EQ(MessageOf<EStringListError>([&] { list.Insert(0, u"z"); }), message);
    EXPECT_EQ(MessageOf<EStringListError>([&] { list.InsertObject(3, u"z", nullptr); }), message);
    EXPECT_EQ(MessageOf<EStringListError>([&] { list.Exchange(0, 2); }), message);
    EXPECT_EQ(MessageOf<EStringListError>([&] { list.Move(0, 2); }), message);
    EXPECT_EQ(MessageOf<EStringListError>([&] { list.SetStrings(0, u"z"); }), message);
    EXPECT_EQ(Items(list), V({u"a", u"b", u"c"}));

    // Changing the case sensitivity of a sorted list re-sorts it.
    TStringList mixed;
    Fill(mixed, {u"c", u"B", u"a"});
    mixed.SetSorted(true);
    EXPECT_EQ(Items(mixed), V({u"a", u"B", u"c"}));
    mixed.SetCaseSensitive(true);
    EXPECT_EQ(Items(mixed), V({u"B", u"a", u"c"}));
    mixed.SetSorted(false);
    mixed.Insert(0, u"z");
    EXPECT_EQ(mixed.Strings(0), u"z");
}

TEST(StringList, FindGivesTheInsertionIndex) {
    TStringList list;
    Integer index = -1;
    EXPECT_FALSE(list.Find(u"a", index));
    EXPECT_EQ(index, 0);

    Fill(list, {u"f", u"b", u"d"});
    list.SetSorted(true);
    EXPECT_FALSE(list.Find(u"a", index));
    EXPECT_EQ(index, 0);
    EXPECT_FALSE(list.Find(u"c", index));
    EXPECT_EQ(index, 1);
    EXPECT_TRUE(list.Find(u"d", index));
    EXPECT_EQ(index, 1);
    EXPECT_TRUE(list.Find(u"D", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(list.Find(u"g", index));
    EXPECT_EQ(index, 3);
    EXPECT_EQ(list.IndexOf(u"F"), 2);
    EXPECT_EQ(list.IndexOf(u"e"), -1);

    TStringList dups;
    dups.SetSorted(true);
    dups.SetDuplicates(dupAccept);
    Fill(dups, {u"b", u"c", u"b", u"a", u"b"});
    EXPECT_TRUE(dups.Find(u"b", index));
    EXPECT_EQ(index, 1); // the first of the equal strings
}

TEST(StringList, ObjectsStayAlignedThroughSortDeleteExchangeMove) {
    TStringList list;
    TTracked o0(0), o1(1), o2(2), o3(3);
    list.AddObject(u"b", &o0);
    list.AddObject(u"A", &o1);
    list.AddObject(u"a", &o2);
    list.AddObject(u"B", &o3);
    list.Sort(); // stable: "A" before "a", "b" before "B"
    EXPECT_EQ(Items(list), V({u"A", u"a", u"b", u"B"}));
    EXPECT_EQ(IdAt(list, 0), 1);
    EXPECT_EQ(IdAt(list, 1), 2);
    EXPECT_EQ(IdAt(list, 2), 0);
    EXPECT_EQ(IdAt(list, 3), 3);
    EXPECT_FALSE(list.GetSorted());

    list.Delete(1);
    list.Exchange(0, 2);
    EXPECT_EQ(Items(list), V({u"B", u"b", u"A"}));
    EXPECT_EQ(IdAt(list, 0), 3);
    EXPECT_EQ(IdAt(list, 2), 1);
    list.Move(0, 2);
    EXPECT_EQ(Items(list), V({u"b", u"A", u"B"}));
    EXPECT_EQ(IdAt(list, 2), 3);
    EXPECT_EQ(list.IndexOfObject(&o1), 1);
    EXPECT_EQ(list.IndexOfObject(&o2), -1);

    // Enough equal keys that an unstable sort would mix them up.
    TStringList many;
    std::vector<std::unique_ptr<TTracked>> ids;
    const char16_t* spellings[] = {u"key", u"KEY", u"Key", u"lock", u"LOCK", u"door"};
    for (int i = 0; i < 200; ++i) {
        ids.push_back(std::make_unique<TTracked>(i));
        many.AddObject(spellings[(i * 7) % 6], ids.back().get());
    }
    many.Sort();
    for (Integer i = 1; i < many.Count(); ++i) {
        if (AnsiSameText(many.Strings(i - 1), many.Strings(i)))
            EXPECT_LT(IdAt(many, i - 1), IdAt(many, i)) << i;
        else
            EXPECT_LT(AnsiCompareText(many.Strings(i - 1), many.Strings(i)), 0) << i;
    }

    // CustomSort by the object's id, descending; a compare that raises leaves the list as it was.
    list.CustomSort([](TStringList* l, Integer a, Integer b) { return IdAt(*l, b) - IdAt(*l, a); });
    EXPECT_EQ(Items(list), V({u"B", u"A", u"b"}));
    EXPECT_THROW(list.CustomSort([](TStringList*, Integer, Integer) -> Integer { throw EAbort(u"stop"); }),
                 EAbort);
    EXPECT_EQ(Items(list), V({u"B", u"A", u"b"}));
    EXPECT_EQ(IdAt(list, 0), 3);
}

TEST(StringList, NameValueLines) {
    TStringList list;
    Fill(list, {u"Host=db1", u"Port=5432", u"Opts=a=b", u"NoSeparator", u"=anonymous"});
    EXPECT_EQ(list.Values(u"host"), u"db1");
    EXPECT_EQ(list.Values(u"OPTS"), u"a=b");
    EXPECT_EQ(list.Values(u"missing"), u"");
    EXPECT_EQ(list.Values(u""), u"anonymous");
    EXPECT_EQ(list.Names(2), u"Opts");
    EXPECT_EQ(list.ValueFromIndex(2), u"a=b");
    EXPECT_EQ(list.Names(3), u"");
    EXPECT_EQ(list.ValueFromIndex(3), u"");
    EXPECT_EQ(list.IndexOfName(u"PORT"), 1);
    EXPECT_EQ(list.IndexOfName(u"NoSeparator"), -1);
    EXPECT_EQ(list.IndexOf(u"NOSEPARATOR"), 3);
    EXPECT_EQ(list.IndexOf(u"Host"), -1);

    list.SetValues(u"port", u"6543");
    EXPECT_EQ(list.Strings(1), u"port=6543");
    list.SetValues(u"New", u"x=y");
    EXPECT_EQ(list.Strings(5), u"New=x=y");
    EXPECT_EQ(list.Values(u"new"), u"x=y");
    list.SetValues(u"Host", u"");
    EXPECT_EQ(list.IndexOfName(u"Host"), -1);
    EXPECT_EQ(list.Count(), 5);
    list.SetValues(u"absent", u"");
    EXPECT_EQ(list.Count(), 5);
    list.SetValueFromIndex(0, u"1");
    EXPECT_EQ(list.Strings(0), u"port=1");
    list.SetValueFromIndex(0, u"");
    EXPECT_EQ(list.IndexOfName(u"port"), -1);
    EXPECT_EQ(list.Strings(list.AddPair(u"k", u"v")), u"k=v");

    list.SetNameValueSeparator(u':');
    list.Add(u"Colon:yes=1");
    EXPECT_EQ(list.Values(u"colon"), u"yes=1");
    EXPECT_EQ(list.Values(u"k"), u"");

    TStringList sensitive;
    sensitive.SetCaseSensitive(true);
    Fill(sensitive, {u"Key=1"});
    EXPECT_EQ(sensitive.IndexOfName(u"key"), -1);
    EXPECT_EQ(sensitive.IndexOf(u"key=1"), -1);
    EXPECT_EQ(sensitive.IndexOf(u"Key=1"), 0);
    EXPECT_EQ(sensitive.Values(u"Key"), u"1");

    // A sorted list takes new pairs at their place.
    TStringList sorted;
    sorted.SetSorted(true);
    sorted.SetValues(u"b", u"2");
    sorted.SetValues(u"a", u"1");
    EXPECT_EQ(Items(sorted), V({u"a=1", u"b=2"}));
    EXPECT_THROW(sorted.SetValues(u"a", u"3"), EStringListError);
    sorted.SetValues(u"a", u"");
    EXPECT_EQ(Items(sorted), V({u"b=2"}));
}

TEST(StringList, CommaAndDelimitedTextRoundTrip) {
    TStringList list;
    Fill(list, {u"plain", u"with blank", u"with,comma", u"with\"quote", u"", u"  lead", u"tab\t"});
    const String comma = list.GetCommaText();
    EXPECT_EQ(comma, u"plain,\"with blank\",\"with,comma\",\"with\"\"quote\",,\"  lead\",\"tab\t\"");
    TStringList back;
    back.SetCommaText(comma);
    EXPECT_EQ(Items(back), Items(list));

    back.SetCommaText(u"  a, b ,\"c d\",  \"e\"\"f\"  ,");
    EXPECT_EQ(Items(back), V({u"a", u"b", u"c d", u"e\"f", u""}));
    back.SetCommaText(u"a b");
    EXPECT_EQ(Items(back), V({u"a", u"b"}));
    back.SetCommaText(u"a,,b");
    EXPECT_EQ(Items(back), V({u"a", u"", u"b"}));
    back.SetCommaText(u"");
    EXPECT_EQ(back.Count(), 0);
    EXPECT_EQ(back.GetCommaText(), u"");
    back.Add(u"");
    EXPECT_EQ(back.GetCommaText(), u"\"\"");
    back.SetCommaText(u"\"\"");
    EXPECT_EQ(Items(back), V({u""}));

    TStringList custom;
    custom.SetDelimiter(u';');
    custom.SetQuoteChar(u'\'');
    custom.SetStrictDelimiter(true);
    Fill(custom, {u"a b", u"c;d", u"it's", u" pad "});
    EXPECT_EQ(custom.GetDelimitedText(), u"a b;'c;d';'it''s'; pad ");
    // CommaText ignores the list's own delimiter settings.
    EXPECT_EQ(custom.GetCommaText(), u"\"a b\",c;d,it's,\" pad \"");
    TStringList copy;
    copy.SetDelimiter(u';');
    copy.SetQuoteChar(u'\'');
    copy.SetStrictDelimiter(true);
    copy.SetDelimitedText(custom.GetDelimitedText());
    EXPECT_EQ(Items(copy), Items(custom));
    copy.SetDelimitedText(u" x ;y;");
    EXPECT_EQ(Items(copy), V({u" x ", u"y", u""}));
    copy.SetStrictDelimiter(false);
    copy.SetDelimitedText(u"a b;c");
    EXPECT_EQ(Items(copy), V({u"a", u"b", u"c"}));
}

TEST(StringList, TextSplitsEveryLineEnd) {
    TStringList list;
    list.SetText(u"a\r\nb\nc\rd");
    EXPECT_EQ(Items(list), V({u"a", u"b", u"c", u"d"}));
    EXPECT_EQ(list.GetText(), u"a\r\nb\r\nc\r\nd\r\n");
    list.SetText(u"a\r\n");
    EXPECT_EQ(Items(list), V({u"a"}));
    list.SetText(u"a\r\n\r\n");
    EXPECT_EQ(Items(list), V({u"a", u""}));
    list.SetText(u"\n");
    EXPECT_EQ(Items(list), V({u""}));
    list.SetText(u"a\n\rb");
    EXPECT_EQ(Items(list), V({u"a", u"", u"b"}));
    list.SetText(u"a\r\r\nb");
    EXPECT_EQ(Items(list), V({u"a", u"", u"b"}));
    list.SetText(u"");
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.GetText(), u"");
}

TEST(StringList, ChangeEventsFireOncePerUpdateBracket) {
    TStringList list;
    String log;
    list.OnChanging = [&](TObject* sender) {
        EXPECT_EQ(sender, &list);
        log += u"<" + String(1, static_cast<Char>(u'0' + list.Count()));
    };
    list.OnChange = [&](TObject*) { log += u">" + String(1, static_cast<Char>(u'0' + list.Count())); };

    list.Add(u"a");
    EXPECT_EQ(log, u"<0>1");
    log.clear();
    list.BeginUpdate();
    list.BeginUpdate();
    list.Add(u"b");
    list.Add(u"c");
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(log, u"<1"); // before the first change, with the old state
    list.EndUpdate();
    EXPECT_EQ(log, u"<1>2");

    log.clear();
    list.BeginUpdate();
    list.EndUpdate();
    EXPECT_EQ(log, u"");
    list.SetSorted(true);
    EXPECT_EQ(log, u"<2>2");
    list.Add(u"b"); // ignored duplicate: nothing changes
    EXPECT_EQ(log, u"<2>2");
    EXPECT_EQ(list.UpdateCount(), 0);
    log.clear();
    list.SetText(u"x\ny\nz");
    list.SetCommaText(u"p,q");
    EXPECT_EQ(log, u"<2>3<3>2");
}

TEST(StringList, OwnsObjectsFreesWhatLeavesTheList) {
    int destroyed = 0;
    {
        TStringList list(true);
        for (int i = 0; i < 5; ++i)
            list.AddObject(u"x", new TTracked(i, &destroyed));
        list.Delete(0);
        EXPECT_EQ(destroyed, 1);
        list.Move(0, 3);
        list.Exchange(0, 1);
        EXPECT_EQ(destroyed, 1);
        EXPECT_EQ(IdAt(list, 0), 3);
        // Setting nil takes an object out without freeing it.
        TObject* taken = list.Objects(0);
        list.SetObjects(0, nullptr);
        EXPECT_EQ(destroyed, 1);
        delete taken;
        EXPECT_EQ(destroyed, 2);
        list.Clear();
        EXPECT_EQ(destroyed, 5);
        list.AddObject(u"y", new TTracked(9, &destroyed));
    }
    EXPECT_EQ(destroyed, 6);

    TTracked kept(1, &destroyed);
    {
        TStringList notOwning;
        notOwning.AddObject(u"k", &kept);
        notOwning.Delete(0);
        notOwning.AddObject(u"k", &kept);
    }
    EXPECT_EQ(destroyed, 6);
}

class TNotStrings : public TPersistent {};

TEST(StringList, AssignCopiesItemsAndSettings) {
    TTracked o(7);
    TStringList source(true);
    source.SetCaseSensitive(true);
    source.SetDuplicates(dupError);
    source.SetDelimiter(u';');
    source.AddObject(u"b", &o);
    source.Add(u"a");
    source.SetSorted(true);

    TStringList dest;
    Fill(dest, {u"old"});
    dest.Assign(&source);
    EXPECT_EQ(Items(dest), V({u"a", u"b"}));
    EXPECT_EQ(dest.Objects(1), &o);
    EXPECT_TRUE(dest.GetSorted());
    EXPECT_TRUE(dest.GetCaseSensitive());
    EXPECT_EQ(dest.GetDuplicates(), dupError);
    EXPECT_EQ(dest.GetDelimiter(), u';');
    EXPECT_FALSE(dest.GetOwnsObjects());
    EXPECT_TRUE(dest.Equals(&source));
    dest.Add(u"c");
    EXPECT_FALSE(dest.Equals(&source));
    EXPECT_FALSE(dest.Equals(nullptr));
    dest.Assign(&dest);
    EXPECT_EQ(dest.Count(), 3);
    source.SetOwnsObjects(false);

    TNotStrings other;
    EXPECT_EQ(MessageOf<EConvertError>([&] { dest.Assign(&other); }),
              u"Cannot assign a TNotStrings to a TStringList");

    // Adding a sorted list to itself.
    dest.SetDuplicates(dupAccept);
    dest.AddStrings(&dest);
    EXPECT_EQ(Items(dest), V({u"a", u"a", u"b", u"b", u"c", u"c"}));
}

TEST(StringList, IndexErrorsAndFiles) {
    TStringList list;
    Fill(list, {u"a", u"b", u"c"});
    EXPECT_EQ(MessageOf<EStringListError>([&] { list.Get(3); }), u"List index out of bounds (3)");
    EXPECT_EQ(MessageOf<EStringListError>([&] { list.Strings(-1); }), u"List index out of bounds (-1)");
    EXPECT_EQ(MessageOf<EStringListError>([&] { list.Insert(4, u"x"); }), u"List index out of bounds (4)");
    EXPECT_EQ(MessageOf<EStringListError>([&] { list.Delete(5); }), u"List index out of bounds (5)");
    EXPECT_EQ(MessageOf<EStringListError>([&] { list.Exchange(0, 9); }), u"List index out of bounds (9)");
    EXPECT_EQ(MessageOf<EStringListError>([&] { list.Move(3, 0); }), u"List index out of bounds (3)");
    EXPECT_EQ(MessageOf<EStringListError>([&] { list.Objects(3); }), u"List index out of bounds (3)");
    list.Insert(3, u"d");
    EXPECT_EQ(Items(list), V({u"a", u"b", u"c", u"d"}));

    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("mv_stringlist_" + std::to_string(getpid()));
    fs::create_directories(dir);
    String fileName = UTF8ToStringPath(dir / "lines.txt");
    TStringList unicode;
    Fill(unicode, {u"Gr\u00fc\u00dfe", u"\u0436", u"", u"\U0001F600"});
    unicode.SaveToFile(fileName);
    {
        std::ifstream in(dir / "lines.txt", std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(bytes, "Gr\xc3\xbc\xc3\x9f"
                         "e\r\n\xd0\xb6\r\n\r\n\xf0\x9f\x98\x80\r\n");
    }
    TStringList loaded;
    loaded.LoadFromFile(fileName);
    EXPECT_TRUE(loaded.Equals(&unicode));

    {
        std::ofstream out(dir / "bom.txt", std::ios::binary);
        out << "\xef\xbb\xbfone\ntwo";
    }
    loaded.LoadFromFile(UTF8ToStringPath(dir / "bom.txt"));
    EXPECT_EQ(Items(loaded), V({u"one", u"two"}));

    String missing = UTF8ToStringPath(dir / "missing.txt");
    String message = MessageOf<EFOpenError>([&] { loaded.LoadFromFile(missing); });
    EXPECT_EQ(message.rfind(u"Cannot open file \"" + missing + u"\".", 0), 0u) << UTF8Encode(message);
    EXPECT_THROW(loaded.LoadFromFile(UTF8ToStringPath(dir)), EFOpenError);
    EXPECT_EQ(loaded.Count(), 2);
    EXPECT_THROW(loaded.SaveToFile(UTF8ToStringPath(dir / "no-such-dir" / "x.txt")), EFCreateError);

    // Streams are read from and written at their position.
    TStringStream stream(u"skip|\uFEFFa\nb");
    stream.SetPosition(5);
    loaded.LoadFromStream(stream);
    EXPECT_EQ(Items(loaded), V({u"a", u"b"}));
    stream.SetPosition(5);
    loaded.SaveToStream(stream);
    EXPECT_EQ(stream.DataString(), u"skip|a\r\nb\r\n");
    fs::remove_all(dir);
}

} // namespace
} // namespace mv
