// TStrings, the framework's abstract list of strings with associated objects, and
// TStringList, its in-memory implementation with sorting, duplicates handling and change
// events. Positions here are 0-based list indices, as in the framework.
#pragma once

#include "platform/rtl/Persistent.h"
#include "platform/rtl/RtlTypes.h"

#include <functional>
#include <vector>

namespace mv {

class TStream;

// Call flow of a change (TStringList):
//   Add/Insert/Delete/Put/... -> Changing() -> OnChanging   (not inside BeginUpdate/EndUpdate,
//                             -> modify                       except once before the first
//                             -> Changed()  -> OnChange       change of the bracket)
//   EndUpdate (outermost)     -> SetUpdateState(false) -> OnChange once if anything changed
class TStrings : public TPersistent {
public:
    TStrings() = default;

    // -- What a descendant provides -------------------------------------------------------
    virtual Integer GetCount() const = 0;
    // Raises EStringListError "List index out of bounds (%d)" outside 0..Count-1.
    virtual String Get(Integer index) const = 0;
    virtual void Put(Integer index, StringView s);
    // Objects are not owned by the list unless the descendant says so (TStringList::OwnsObjects).
    virtual TObject* GetObject(Integer index) const;
    virtual void PutObject(Integer index, TObject* object);
    // index may be Count (append).
    virtual void Insert(Integer index, StringView s) = 0;
    virtual void InsertObject(Integer index, StringView s, TObject* object);
    virtual void Delete(Integer index) = 0;
    virtual void Clear() = 0;
    virtual void Exchange(Integer index1, Integer index2);
    // Moves the item (string and object) at curIndex so that it ends up at newIndex.
    virtual void Move(Integer curIndex, Integer newIndex);

    Integer Count() const { return GetCount(); }
    String Strings(Integer index) const { return Get(index); }
    void SetStrings(Integer index, StringView s) { Put(index, s); }
    TObject* Objects(Integer index) const { return GetObject(index); }
    void SetObjects(Integer index, TObject* object) { PutObject(index, object); }

    // -- Adding and finding ---------------------------------------------------------------
    // Returns the index of the new item (its sorted position in a sorted list).
    virtual Integer Add(StringView s);
    virtual Integer AddObject(StringView s, TObject* object);
    Integer AddPair(StringView name, StringView value);
    void Append(StringView s) { Add(s); }
    // Adds every string and object of strings inside one BeginUpdate/EndUpdate bracket.
    virtual void AddStrings(const TStrings* strings);
    // First index whose string compares equal (CompareStrings), -1 when none.
    virtual Integer IndexOf(StringView s) const;
    // First line "name=..." whose name compares equal under CompareStrings, -1 when none.
    Integer IndexOfName(StringView name) const;
    Integer IndexOfObject(const TObject* object) const;
    // Case sensitivity of IndexOf/IndexOfName/Values; a plain TStrings is insensitive.
    virtual bool GetCaseSensitive() const { return false; }

    // -- Name=value lines -----------------------------------------------------------------
    // The text before the first NameValueSeparator; "" when the line has none.
    String Names(Integer index) const;
    // The text after the separator of the line named name ("" when there is none); a
    // value may itself contain the separator.
    String Values(StringView name) const;
    // Replaces the value of the line named name (through Put, so a sorted TStringList
    // raises as the framework's does), or adds "name=value" when there is none (at its
    // sorted place in a sorted list); an empty value deletes the line.
    void SetValues(StringView name, StringView value);
    String ValueFromIndex(Integer index) const;
    // An empty value deletes the line, as SetValues does.
    void SetValueFromIndex(Integer index, StringView value);
    Char GetNameValueSeparator() const { return FNameValueSeparator; }
    void SetNameValueSeparator(Char c) { FNameValueSeparator = c; }

    // -- Whole-list texts -----------------------------------------------------------------
    // Each line followed by CR LF; an empty list gives "".
    String GetText() const;
    // Replaces the lines; a line ends at CR LF, LF or CR, and a final line break does not
    // start another (empty) line.
    virtual void SetText(StringView text);
    // DelimitedText with ',' and '"' and blanks separating, whatever the list's settings.
    String GetCommaText() const;
    void SetCommaText(StringView text);
    // Items joined by Delimiter. An item holding the QuoteChar, the Delimiter or (unless
    // StrictDelimiter) a character <= ' ' is quoted with QuoteChar, inner quotes doubled;
    // a list of one empty string gives two quote characters.
    String GetDelimitedText() const;
    // Replaces the lines with the items of text. Without StrictDelimiter blanks separate
    // items too and blanks around items are dropped; quoted items keep everything inside.
    void SetDelimitedText(StringView text);
    Char GetDelimiter() const { return FDelimiter; }
    void SetDelimiter(Char c) { FDelimiter = c; }
    Char GetQuoteChar() const { return FQuoteChar; }
    void SetQuoteChar(Char c) { FQuoteChar = c; }
    bool GetStrictDelimiter() const { return FStrictDelimiter; }
    void SetStrictDelimiter(bool value) { FStrictDelimiter = value; }

    // -- Updates, copies, files -----------------------------------------------------------
    // Nestable; the list's change notification is held until the outermost EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    Integer UpdateCount() const { return FUpdateCount; }
    // From another TStrings: the strings, objects and delimiter settings (not owned objects'
    // ownership). Anything else goes through TPersistent's protocol.
    void Assign(const TPersistent* source) override;
    // Same count and the same strings, compared exactly; objects are not compared.
    bool Equals(const TStrings* strings) const;
    // Replaces the lines with the UTF-8 text from the stream's position to its end; a
    // leading byte-order mark is skipped and malformed bytes become U+FFFD.
    virtual void LoadFromStream(TStream& stream);
    // Writes GetText() as UTF-8 without byte-order mark at the stream's position.
    virtual void SaveToStream(TStream& stream) const;
    // Through TFileStream: raises EFOpenError / EFCreateError "Cannot open file ..." /
    // "Cannot create file ..." with the system's reason.
    void LoadFromFile(const String& fileName);
    void SaveToFile(const String& fileName) const;

protected:
    // Called with true at the first BeginUpdate and with false at the last EndUpdate.
    virtual void SetUpdateState(bool updating);
    // The compare behind IndexOf, IndexOfName and sorting: AnsiCompareText here.
    virtual Integer CompareStrings(StringView s1, StringView s2) const;
    // Raises EStringListError with message formatted with the index.
    [[noreturn]] static void IndexError(Integer index);
    void CheckIndex(Integer index, Integer upperBound) const {
        if (index < 0 || index >= upperBound) IndexError(index);
    }

private:
    Integer FUpdateCount = 0;
    Char FNameValueSeparator = u'=';
    Char FDelimiter = u',';
    Char FQuoteChar = u'"';
    bool FStrictDelimiter = false;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList;
// <0, 0, >0 as the item at index1 sorts before, with or after the one at index2.
using TStringListSortCompare = std::function<Integer(TStringList* list, Integer index1, Integer index2)>;

class TStringList : public TStrings {
public:
    explicit TStringList(bool ownsObjects = false) : FOwnsObjects(ownsObjects) {}
    // Frees owned objects; fires no events.
    ~TStringList() override;

    Integer GetCount() const override { return static_cast<Integer>(FList.size()); }
    String Get(Integer index) const override;
    // Raises EStringListError "Operation not allowed on sorted list" on a sorted list.
    void Put(Integer index, StringView s) override;
    TObject* GetObject(Integer index) const override;
    // Does not free the object it replaces even with OwnsObjects, so an owner can take an
    // object out of the list by setting nil.
    void PutObject(Integer index, TObject* object) override;
    // Insert, InsertObject, Exchange and Move raise "Operation not allowed on sorted list"
    // on a sorted list, before changing anything.
    void Insert(Integer index, StringView s) override;
    void InsertObject(Integer index, StringView s, TObject* object) override;
    // Frees the item's object with OwnsObjects, after it has left the list.
    void Delete(Integer index) override;
    void Clear() override;
    void Exchange(Integer index1, Integer index2) override;
    void Move(Integer curIndex, Integer newIndex) override;

    // Unsorted: appends. Sorted: inserts after any equal strings, or by Duplicates:
    // dupIgnore returns the index of the existing string and adds nothing, dupError raises
    // EStringListError "String list does not allow duplicates". Duplicates only applies to
    // sorted lists.
    Integer AddObject(StringView s, TObject* object) override;
    // Binary search on a sorted list (Find on an unsorted one answers nonsense, as in the
    // framework). True when found; index is the first equal string or the insertion point.
    bool Find(StringView s, Integer& index) const;
    Integer IndexOf(StringView s) const override;

    // Stable sorts (std::stable_sort: equal strings keep their order, where the framework's
    // quicksort gave no such promise). Both do nothing on a Sorted list, which is in order.
    virtual void Sort();
    // A throwing compare leaves the list unchanged. compare sees the list as it was before
    // the sort started.
    virtual void CustomSort(const TStringListSortCompare& compare);

    bool GetSorted() const { return FSorted; }
    // True sorts the list now and keeps it sorted from then on.
    void SetSorted(bool value);
    TDuplicates GetDuplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates value) { FDuplicates = value; }
    // False by default: compares with AnsiCompareText, else AnsiCompareStr. Changing it
    // re-sorts a sorted list.
    bool GetCaseSensitive() const override { return FCaseSensitive; }
    void SetCaseSensitive(bool value);
    bool GetOwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool value) { FOwnsObjects = value; }

    // From a TStringList also CaseSensitive, Duplicates and Sorted (not OwnsObjects: two
    // lists must not own the same objects).
    void Assign(const TPersistent* source) override;

    // OnChanging before a change, OnChange after it; inside BeginUpdate/EndUpdate each at
    // most once per outermost bracket (OnChanging before its first change, OnChange at its
    // end) and not at all when nothing changed.
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void Changed();
    virtual void Changing();
    void SetUpdateState(bool updating) override;
    Integer CompareStrings(StringView s1, StringView s2) const override;
    // The insertion point of s after any equal strings (sorted lists only).
    Integer UpperBound(StringView s) const;
    void InsertItem(Integer index, StringView s, TObject* object);

private:
    struct TStringItem {
        String FString;
        TObject* FObject = nullptr;
    };

    void CheckNotSorted() const;
    void SortBy(const std::function<bool(Integer, Integer)>& less);

    std::vector<TStringItem> FList;
    TDuplicates FDuplicates = dupIgnore;
    bool FSorted = false;
    bool FCaseSensitive = false;
    bool FOwnsObjects;
    bool FChangePending = false; // a change happened inside the current update bracket
};

} // namespace mv
