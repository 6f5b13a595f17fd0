// TStrings' generic algorithms (texts, name=value lines, files) and TStringList's storage,
// sorting and change notification. The call flow of a change is in StringList.h.
//
// [SECTION] Helpers
// [SECTION] TStrings: items, finding, name=value lines
// [SECTION] TStrings: texts (Text, CommaText, DelimitedText)
// [SECTION] TStrings: updates, Assign, Equals, streams and files
// [SECTION] TStringList: storage and editing
// [SECTION] TStringList: sorting, finding, settings, events
#include "platform/rtl/StringList.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Utf8.h"

#include <algorithm>
#include <cassert>
#include <numeric>
#include <string_view>
#include <utility>

namespace mv {

// ---------------------------------------------------------------------------------------
// [SECTION] Helpers
// ---------------------------------------------------------------------------------------

namespace {

// Runs f inside BeginUpdate/EndUpdate. Not a destructor-based guard: EndUpdate fires
// OnChange, and a handler that raises must not meet an exception already in flight.
template <typename F> void InUpdate(TStrings& strings, F&& f) {
    strings.BeginUpdate();
    try {
        f();
    } catch (...) {
        strings.EndUpdate();
        throw;
    }
    strings.EndUpdate();
}

bool IsBlank(Char c) {
    return c <= u' ';
}

bool NeedsQuotes(StringView s, Char delimiter, Char quote, bool strict) {
    for (Char c : s)
        if (c == quote || c == delimiter || (!strict && IsBlank(c))) return true;
    return false;
}

String JoinDelimited(const TStrings& strings, Char delimiter, Char quote, bool strict) {
    Integer count = strings.Count();
    // One empty item must not read back as no item at all.
    if (count == 1 && strings.Get(0).empty()) return String(2, quote);
    String result;
    for (Integer i = 0; i < count; ++i) {
        if (i > 0) result.push_back(delimiter);
        String item = strings.Get(i);
        if (NeedsQuotes(item, delimiter, quote, strict))
            result.append(AnsiQuotedStr(item, quote));
        else
            result.append(item);
    }
    return result;
}

// The framework's AnsiExtractQuotedStr: p is at an opening quote; returns the text up to
// the next lone quote (or the end) with doubled quotes undone and leaves p after it.
String ExtractQuoted(StringView text, std::size_t& p, Char quote) {
    String result;
    ++p;
    while (p < text.size()) {
        Char c = text[p++];
        if (c != quote) {
            result.push_back(c);
        } else if (p < text.size() && text[p] == quote) {
            result.push_back(quote);
            ++p;
        } else {
            break;
        }
    }
    return result;
}

// Follows the framework's parser step by step, including its corner cases: a delimiter at
// the very end adds an empty item, text right after a closing quote starts a new item.
void SplitDelimited(TStrings& strings, StringView text, Char delimiter, Char quote, bool strict) {
    InUpdate(strings, [&] {
        strings.Clear();
        std::size_t p = 0;
        const std::size_t end = text.size();
        auto skipBlanks = [&] {
            if (strict) return;
            while (p < end && IsBlank(text[p]))
                ++p;
        };
        skipBlanks();
        while (p < end) {
            if (text[p] == quote) {
                strings.Add(ExtractQuoted(text, p, quote));
            } else {
                std::size_t start = p;
                while (p < end && text[p] != delimiter && (strict || !IsBlank(text[p])))
                    ++p;
                strings.Add(text.substr(start, p - start));
            }
            skipBlanks();
            if (p < end && text[p] == delimiter) {
                if (p + 1 == end) strings.Add(u"");
                ++p;
                skipBlanks();
            }
        }
    });
}

} // namespace

// ---------------------------------------------------------------------------------------
// [SECTION] TStrings: items, finding, name=value lines
// ---------------------------------------------------------------------------------------

void TStrings::Put(Integer index, StringView s) {
    TObject* object = GetObject(index);
    InUpdate(*this, [&] {
        Delete(index);
        InsertObject(index, s, object);
    });
}

TObject* TStrings::GetObject(Integer) const {
    return nullptr;
}

void TStrings::PutObject(Integer, TObject*) {}

void TStrings::InsertObject(Integer index, StringView s, TObject* object) {
    InUpdate(*this, [&] {
        Insert(index, s);
        PutObject(index, object);
    });
}

void TStrings::Exchange(Integer index1, Integer index2) {
    InUpdate(*this, [&] {
        String s1 = Get(index1);
        TObject* object1 = GetObject(index1);
        Put(index1, Get(index2));
        PutObject(index1, GetObject(index2));
        Put(index2, s1);
        PutObject(index2, object1);
    });
}

void TStrings::Move(Integer curIndex, Integer newIndex) {
    if (curIndex == newIndex) return;
    InUpdate(*this, [&] {
        String s = Get(curIndex);
        TObject* object = GetObject(curIndex);
        Delete(curIndex);
        InsertObject(newIndex, s, object);
    });
}

Integer TStrings::Add(StringView s) {
    return AddObject(s, nullptr);
}

Integer TStrings::AddObject(StringView s, TObject* object) {
    Integer index = GetCount();
    InsertObject(index, s, object);
    return index;
}

Integer TStrings::AddPair(StringView name, StringView value) {
    String line(name);
    line.push_back(FNameValueSeparator);
    line.append(value);
    return Add(line);
}

void TStrings::AddStrings(const TStrings* strings) {
    if (!strings) return;
    InUpdate(*this, [&] {
        if (strings != this) {
            for (Integer i = 0, n = strings->Count(); i < n; ++i)
                AddObject(strings->Get(i), strings->GetObject(i));
            return;
        }
        // Adding a list to itself: a sorted list would shift the items still to be read.
        std::vector<std::pair<String, TObject*>> items;
        for (Integer i = 0, n = Count(); i < n; ++i)
            items.emplace_back(Get(i), GetObject(i));
        for (auto& [s, object] : items)
            AddObject(s, object);
    });
}

Integer TStrings::IndexOf(StringView s) const {
    for (Integer i = 0, n = GetCount(); i < n; ++i)
        if (CompareStrings(Get(i), s) == 0) return i;
    return -1;
}

Integer TStrings::IndexOfName(StringView name) const {
    for (Integer i = 0, n = GetCount(); i < n; ++i) {
        String line = Get(i);
        std::size_t separator = line.find(FNameValueSeparator);
        if (separator != String::npos && CompareStrings(StringView(line).substr(0, separator), name) == 0)
            return i;
    }
    return -1;
}

Integer TStrings::IndexOfObject(const TObject* object) const {
    for (Integer i = 0, n = GetCount(); i < n; ++i)
        if (GetObject(i) == object) return i;
    return -1;
}

String TStrings::Names(Integer index) const {
    String line = Get(index);
    std::size_t separator = line.find(FNameValueSeparator);
    if (separator == String::npos) return String();
    line.resize(separator);
    return line;
}

String TStrings::Values(StringView name) const {
    Integer index = IndexOfName(name);
    return index < 0 ? String() : ValueFromIndex(index);
}

void TStrings::SetValues(StringView name, StringView value) {
    Integer index = IndexOfName(name);
    if (value.empty()) {
        if (index >= 0) Delete(index);
        return;
    }
    String line(name);
    line.push_back(FNameValueSeparator);
    line.append(value);
    if (index < 0)
        Add(line);
    else
        Put(index, line);
}

String TStrings::ValueFromIndex(Integer index) const {
    String line = Get(index);
    std::size_t separator = line.find(FNameValueSeparator);
    if (separator == String::npos) return String();
    return line.substr(separator + 1);
}

void TStrings::SetValueFromIndex(Integer index, StringView value) {
    if (value.empty()) {
        Delete(index);
        return;
    }
    String line = Names(index);
    line.push_back(FNameValueSeparator);
    line.append(value);
    Put(index, line);
}

Integer TStrings::CompareStrings(StringView s1, StringView s2) const {
    return AnsiCompareText(s1, s2);
}

void TStrings::IndexError(Integer index) {
    throw EStringListError(Format(SysConst::SListIndexError, {index}));
}

// ---------------------------------------------------------------------------------------
// [SECTION] TStrings: texts (Text, CommaText, DelimitedText)
// ---------------------------------------------------------------------------------------

String TStrings::GetText() const {
    String result;
    for (Integer i = 0, n = GetCount(); i < n; ++i) {
        result.append(Get(i));
        result.append(u"\r\n");
    }
    return result;
}

void TStrings::SetText(StringView text) {
    InUpdate(*this, [&] {
        Clear();
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find_first_of(u"\r\n", start);
            if (end == StringView::npos) {
                Add(text.substr(start));
                break;
            }
            Add(text.substr(start, end - start));
            start = end + (text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n' ? 2 : 1);
        }
    });
}

String TStrings::GetCommaText() const {
    return JoinDelimited(*this, u',', u'"', false);
}

void TStrings::SetCommaText(StringView text) {
    SplitDelimited(*this, text, u',', u'"', false);
}

String TStrings::GetDelimitedText() const {
    return JoinDelimited(*this, FDelimiter, FQuoteChar, FStrictDelimiter);
}

void TStrings::SetDelimitedText(StringView text) {
    SplitDelimited(*this, text, FDelimiter, FQuoteChar, FStrictDelimiter);
}

// ---------------------------------------------------------------------------------------
// [SECTION] TStrings: updates, Assign, Equals, streams and files
// ---------------------------------------------------------------------------------------

void TStrings::BeginUpdate() {
    if (FUpdateCount++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
    assert(FUpdateCount > 0 && "TStrings::EndUpdate without BeginUpdate");
    if (FUpdateCount > 0 && --FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

void TStrings::Assign(const TPersistent* source) {
    auto* strings = dynamic_cast<const TStrings*>(source);
    if (!strings) {
        TPersistent::Assign(source);
        return;
    }
    if (strings == this) return;
    InUpdate(*this, [&] {
        Clear();
        FNameValueSeparator = strings->FNameValueSeparator;
        FDelimiter = strings->FDelimiter;
        FQuoteChar = strings->FQuoteChar;
        FStrictDelimiter = strings->FStrictDelimiter;
        AddStrings(strings);
    });
}

bool TStrings::Equals(const TStrings* strings) const {
    if (!strings) return false;
    Integer count = GetCount();
    if (count != strings->GetCount()) return false;
    for (Integer i = 0; i < count; ++i)
        if (Get(i) != strings->Get(i)) return false;
    return true;
}

void TStrings::LoadFromStream(TStream& stream) {
    std::string bytes;
    char chunk[65536];
    Integer n = 0;
    while ((n = stream.Read(chunk, sizeof chunk)) > 0)
        bytes.append(chunk, static_cast<std::size_t>(n));
    std::string_view utf8 = bytes;
    if (utf8.starts_with("\xEF\xBB\xBF")) utf8.remove_prefix(3);
    SetText(UTF8ToString(utf8));
}

void TStrings::SaveToStream(TStream& stream) const {
    const std::string bytes = UTF8Encode(GetText());
    constexpr std::size_t kChunk = std::size_t{1} << 20; // WriteBuffer counts in Integer
    for (std::size_t at = 0; at < bytes.size(); at += kChunk)
        stream.WriteBuffer(bytes.data() + at, static_cast<Integer>(std::min(kChunk, bytes.size() - at)));
}

void TStrings::LoadFromFile(const String& fileName) {
    TFileStream stream(fileName, fmOpenRead);
    LoadFromStream(stream);
}

void TStrings::SaveToFile(const String& fileName) const {
    TFileStream stream(fileName, fmCreate);
    SaveToStream(stream);
}

// ---------------------------------------------------------------------------------------
// [SECTION] TStringList: storage and editing
// ---------------------------------------------------------------------------------------

TStringList::~TStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
    if (!FOwnsObjects) return;
    for (TStringItem& item : FList)
        delete std::exchange(item.FObject, nullptr);
}

String TStringList::Get(Integer index) const {
    CheckIndex(index, GetCount());
    return FList[static_cast<std::size_t>(index)].FString;
}

void TStringList::Put(Integer index, StringView s) {
    CheckNotSorted();
    CheckIndex(index, GetCount());
    Changing();
    FList[static_cast<std::size_t>(index)].FString = s;
    Changed();
}

TObject* TStringList::GetObject(Integer index) const {
    CheckIndex(index, GetCount());
    return FList[static_cast<std::size_t>(index)].FObject;
}

void TStringList::PutObject(Integer index, TObject* object) {
    CheckIndex(index, GetCount());
    Changing();
    FList[static_cast<std::size_t>(index)].FObject = object;
    Changed();
}

void TStringList::Insert(Integer index, StringView s) {
    InsertObject(index, s, nullptr);
}

void TStringList::InsertObject(Integer index, StringView s, TObject* object) {
    CheckNotSorted();
    CheckIndex(index, GetCount() + 1);
    InsertItem(index, s, object);
}

void TStringList::InsertItem(Integer index, StringView s, TObject* object) {
    Changing();
    FList.insert(FList.begin() + index, TStringItem{String(s), object});
    Changed();
}

void TStringList::Delete(Integer index) {
    CheckIndex(index, GetCount());
    Changing();
    TObject* object = FList[static_cast<std::size_t>(index)].FObject;
    FList.erase(FList.begin() + index);
    if (FOwnsObjects) delete object;
    Changed();
}

void TStringList::Clear() {
    if (FList.empty()) return;
    Changing();
    std::vector<TStringItem> doomed;
    doomed.swap(FList);
    if (FOwnsObjects)
        for (TStringItem& item : doomed)
            delete item.FObject;
    Changed();
}

void TStringList::Exchange(Integer index1, Integer index2) {
    CheckNotSorted();
    CheckIndex(index1, GetCount());
    CheckIndex(index2, GetCount());
    Changing();
    std::swap(FList[static_cast<std::size_t>(index1)], FList[static_cast<std::size_t>(index2)]);
    Changed();
}

// Moves the item itself: going through Delete would free an owned object.
void TStringList::Move(Integer curIndex, Integer newIndex) {
    CheckNotSorted();
    CheckIndex(curIndex, GetCount());
    CheckIndex(newIndex, GetCount());
    if (curIndex == newIndex) return;
    Changing();
    TStringItem item = std::move(FList[static_cast<std::size_t>(curIndex)]);
    FList.erase(FList.begin() + curIndex);
    FList.insert(FList.begin() + newIndex, std::move(item));
    Changed();
}

Integer TStringList::AddObject(StringView s, TObject* object) {
    Integer index = GetCount();
    if (FSorted) {
        if (Find(s, index)) {
            if (FDuplicates == dupIgnore) return index;
            if (FDuplicates == dupError) throw EStringListError(SysConst::SDuplicateString);
            index = UpperBound(s);
        }
    }
    InsertItem(index, s, object);
    return index;
}

void TStringList::CheckNotSorted() const {
    if (FSorted) throw EStringListError(SysConst::SSortedListError);
}

// ---------------------------------------------------------------------------------------
// [SECTION] TStringList: sorting, finding, settings, events
// ---------------------------------------------------------------------------------------

bool TStringList::Find(StringView s, Integer& index) const {
    Integer low = 0;
    Integer high = GetCount();
    while (low < high) {
        Integer mid = low + (high - low) / 2;
        if (CompareStrings(FList[static_cast<std::size_t>(mid)].FString, s) < 0)
            low = mid + 1;
        else
            high = mid;
    }
    index = low;
    return low < GetCount() && CompareStrings(FList[static_cast<std::size_t>(low)].FString, s) == 0;
}

Integer TStringList::UpperBound(StringView s) const {
    Integer low = 0;
    Integer high = GetCount();
    while (low < high) {
        Integer mid = low + (high - low) / 2;
        if (CompareStrings(FList[static_cast<std::size_t>(mid)].FString, s) <= 0)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

Integer TStringList::IndexOf(StringView s) const {
    if (!FSorted) {
        // Not through Get: no copy of every string on the way.
        for (std::size_t i = 0; i < FList.size(); ++i)
            if (CompareStrings(FList[i].FString, s) == 0) return static_cast<Integer>(i);
        return -1;
    }
    Integer index = -1;
    return Find(s, index) ? index : -1;
}

void TStringList::Sort() {
    SortBy([this](Integer a, Integer b) {
        return CompareStrings(FList[static_cast<std::size_t>(a)].FString,
                              FList[static_cast<std::size_t>(b)].FString) < 0;
    });
}

void TStringList::CustomSort(const TStringListSortCompare& compare) {
    SortBy([this, &compare](Integer a, Integer b) { return compare(this, a, b) < 0; });
}

// Sorts a permutation and applies it afterwards, so the compare always sees the items
// at their original indices and a compare that raises leaves the list as it was.
void TStringList::SortBy(const std::function<bool(Integer, Integer)>& less) {
    if (FSorted || FList.size() < 2) return;
    std::vector<Integer> order(FList.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), less);
    Changing();
    std::vector<TStringItem> sorted;
    sorted.reserve(FList.size());
    for (Integer i : order)
        sorted.push_back(std::move(FList[static_cast<std::size_t>(i)]));
    FList.swap(sorted);
    Changed();
}

void TStringList::SetSorted(bool value) {
    if (FSorted == value) return;
    if (value) Sort();
    FSorted = value;
}

void TStringList::SetCaseSensitive(bool value) {
    if (FCaseSensitive == value) return;
    FCaseSensitive = value;
    if (!FSorted) return;
    FSorted = false;
    SetSorted(true);
}

void TStringList::Assign(const TPersistent* source) {
    auto* list = dynamic_cast<const TStringList*>(source);
    if (!list || list == this) {
        TStrings::Assign(source);
        return;
    }
    InUpdate(*this, [&] {
        // Items arrive in the source's order, which is sorted by the settings copied below.
        FSorted = false;
        TStrings::Assign(source);
        FCaseSensitive = list->FCaseSensitive;
        FDuplicates = list->FDuplicates;
        FSorted = list->FSorted;
    });
}

Integer TStringList::CompareStrings(StringView s1, StringView s2) const {
    return FCaseSensitive ? AnsiCompareStr(s1, s2) : AnsiCompareText(s1, s2);
}

void TStringList::Changing() {
    if (UpdateCount() > 0) {
        if (FChangePending) return;
        FChangePending = true;
    }
    if (OnChanging) OnChanging(this);
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::SetUpdateState(bool updating) {
    if (updating || !FChangePending) return;
    FChangePending = false;
    Changed();
}

} // namespace mv
