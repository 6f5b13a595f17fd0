// Not public API: the record store shared by a TClientDataSet and its clones, the sorted
// orders kept over it, and the typed reader the filter engine uses on stored records.
// ClientDataSet.h has the overview.
#pragma once

#include "platform/db/ClientDataSet.h"
#include "platform/db/DataSource.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace mv::cds {

using TBlobValue = std::shared_ptr<const std::string>;

// One stored column; slot i holds the field definition with FieldNo i + 1 (the flat
// definition list: ADT and array definitions are followed by their children, which
// hold the values; the parent slot itself stores nothing).
struct TSlot {
    String Name;         // full name ("Address.City")
    String DefName;      // the definition's own name ("City")
    Integer Parent = -1; // slot of the ADT or array definition this one belongs to
    TFieldType DataType = ftUnknown;
    Integer Size = 0;
    Integer Precision = 0;
    TFieldAttributes Attributes;
    bool InternalCalc = false;
    Integer Offset = 0;     // in the record image
    Integer Width = 0;      // native bytes; 4 for a blob (its pool handle)
    Integer BlobIndex = -1; // position among the blob slots
    // ftDataSet: the nested data set's slots. Its records are this slot's blob, in the
    // record encoding of the file format (AppendRecords).
    std::shared_ptr<const std::vector<TSlot>> Nested;
};

// Values kept in the blob pool: blobs, nested data sets and references.
inline bool IsBlobSlotType(TFieldType type) {
    return BlobFieldTypes.Contains(type) || type == ftDataSet || type == ftReference;
}

// Record image: [rank uint32][flags uint8][null bitmap][slots...], unaligned (read with
// memcpy). The rank orders the default order; bit i of the bitmap set = slot i present.
constexpr Integer RankOffset = 0;
constexpr Integer FlagsOffset = 4;
constexpr Integer NullsOffset = 5;
constexpr Byte rfDeleted = 1;

template <typename T> T Load(const Byte* p) {
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}
template <typename T> void Store(Byte* p, T value) {
    std::memcpy(p, &value, sizeof value);
}

inline bool IsPresent(const Byte* image, Integer slot) {
    return (image[NullsOffset + slot / 8] >> (slot % 8)) & 1;
}
inline void SetPresent(Byte* image, Integer slot, bool present) {
    Byte& bits = image[NullsOffset + slot / 8];
    const Byte mask = static_cast<Byte>(1u << (slot % 8));
    bits = present ? static_cast<Byte>(bits | mask) : static_cast<Byte>(bits & ~mask);
}

struct TKeyPart {
    Integer Slot = 0;
    bool Descending = false;
    bool CaseInsensitive = false;
};

// A sorted order: record ids by key parts, then by rank (so the order is total and equal
// keys keep the default order). No key parts: the default order.
class TIndex {
public:
    std::vector<TKeyPart> Keys;
    bool Unique = false;
    std::vector<std::uint32_t> Order;
};
using TIndexPtr = std::shared_ptr<TIndex>;

class TStore {
public:
    explicit TStore(std::vector<TSlot> slots);
    TStore(const TStore&) = delete;
    TStore& operator=(const TStore&) = delete;

    const std::vector<TSlot>& Slots() const { return FSlots; }
    Integer RecordSize() const { return FRecordSize; }
    Integer NullBytes() const { return FRecordSize == 0 ? 0 : FNullBytes; }
    Integer BlobCount() const { return FBlobCount; }
    // Changes whenever EmptyDataSet invalidates every bookmark.
    std::uint32_t Epoch() const { return FEpoch; }
    // Changes with every change of records or orders.
    std::uint64_t Version() const { return FVersion; }
    // Ids handed out so far (live and deleted).
    std::uint32_t IdCount() const { return FIdCount; }
    std::uint32_t LiveCount() const { return static_cast<std::uint32_t>(FDefault->Order.size()); }
    bool IsLive(std::uint32_t id) const { return id < FIdCount && !(Image(id)[FlagsOffset] & rfDeleted); }
    Byte* Image(std::uint32_t id) { return FChunks[id >> ChunkBits].get() + (id & ChunkMask) * FStride; }
    const Byte* Image(std::uint32_t id) const {
        return FChunks[id >> ChunkBits].get() + (id & ChunkMask) * FStride;
    }
    // The blob of a slot in a stored image (null when absent).
    const TBlobValue& Blob(const Byte* image, const TSlot& slot) const;

    // -- Changes (each updates every built index and tells every cursor) -----------------
    // Adds a record from a buffer image and the buffer's blobs; it goes at the end of the
    // default order, or in front of the live record before. Raises SKeyViolation when a
    // unique index has the key already (nothing changed then).
    std::uint32_t Add(const Byte* image, const TBlobValue* blobs, bool append, std::uint32_t before);
    // Brings a deleted record back under its id, placed as Add places a new one.
    void Revive(std::uint32_t id, const Byte* image, const TBlobValue* blobs, bool append,
                std::uint32_t before);
    void Update(std::uint32_t id, const Byte* image, const TBlobValue* blobs);
    void Delete(std::uint32_t id);
    // Deletes every record and starts a new epoch.
    void Clear();
    // Appends a record image read from a file (blobs already in the image's handles via
    // AddBlob); used while loading, before any index or cursor exists.
    std::uint32_t AppendLoaded(const Byte* image);
    std::uint32_t AddBlob(std::string bytes);

    // -- Orders ------------------------------------------------------------------------
    const TIndexPtr& DefaultIndex() const { return FDefault; }
    // The built index with these key parts, built now when there is none. Raises
    // SKeyViolation when unique and two records share a key.
    TIndexPtr AcquireIndex(const std::vector<TKeyPart>& keys, bool unique);
    // <0, 0, >0: a before, equal to, after b in index (ranks decide equal keys unless
    // keysOnly; keyCount limits the key parts compared, -1 for all).
    int Compare(const TIndex& index, const Byte* a, const Byte* b, bool keysOnly = false,
                Integer keyCount = -1) const;
    // First position in list (sorted by index) not before image.
    std::size_t LowerBound(const TIndex& index, const std::vector<std::uint32_t>& list, const Byte* image,
                           bool keysOnly = false, Integer keyCount = -1) const;

    // -- Change log (ClientDataSet.h describes it) ------------------------------------------
    // Ids from LogBase on were inserted since the log began; older ids that were modified
    // or deleted have their original image in FOriginals.
    std::uint32_t LogBase() const { return FLogBase; }
    Integer ChangeCount() const {
        return static_cast<Integer>(FInsertedLive) + static_cast<Integer>(FOriginals.size());
    }
    void MergeChangeLog();
    void CancelUpdates();

    const std::vector<TClientDataSet*>& Cursors() const { return FCursors; }
    void AddCursor(TClientDataSet* cursor) { FCursors.push_back(cursor); }
    void RemoveCursor(TClientDataSet* cursor);

private:
    static constexpr std::uint32_t ChunkBits = 14;
    static constexpr std::uint32_t ChunkMask = (1u << ChunkBits) - 1;

    Byte* NewImage(std::uint32_t& id);
    void WriteImage(Byte* target, const Byte* source, const TBlobValue* blobs);
    void FreeBlobs(Byte* image);
    std::int64_t RankBefore(std::uint32_t before);
    std::int64_t RankAfterLast();
    void Renumber();
    void CheckUnique(const Byte* image, std::uint32_t self);
    // Fills index.Order with the live records in index order.
    void SortIndex(TIndex& index) const;
    void InsertInto(TIndex& index, std::uint32_t id);
    void RemoveFrom(TIndex& index, std::uint32_t id);
    template <typename F> void ForEachIndex(F f);
    template <typename F> void ForEachCursor(F f);
    std::uint64_t SortPrefix(const TKeyPart& part, const Byte* image) const;
    int CompareSlot(const TSlot& slot, const Byte* a, const Byte* b, bool caseInsensitive) const;

    struct TOriginal {
        std::vector<Byte> Image;
        std::vector<TBlobValue> Blobs;
        bool Deleted = false;
        // Deleted ones: the record that followed in the default order, and when.
        std::uint32_t Successor = UINT32_MAX;
        std::uint64_t Sequence = 0;
    };
    void KeepOriginal(std::uint32_t id);

    std::vector<TSlot> FSlots;
    std::unordered_map<std::uint32_t, TOriginal> FOriginals;
    std::uint32_t FLogBase = 0;
    std::uint32_t FInsertedLive = 0;
    std::uint64_t FDeleteSequence = 0;
    bool FRestoring = false;
    Integer FNullBytes = 0;
    Integer FRecordSize = 0;
    Integer FStride = 0;
    Integer FBlobCount = 0;
    std::uint32_t FEpoch = 0;
    std::uint64_t FVersion = 0;
    std::uint32_t FIdCount = 0;
    std::vector<std::unique_ptr<Byte[]>> FChunks;
    std::vector<TBlobValue> FBlobs; // handle h is FBlobs[h - 1]
    std::vector<std::uint32_t> FFreeBlobs;
    TIndexPtr FDefault;
    std::vector<std::weak_ptr<TIndex>> FIndexes;
    std::vector<TClientDataSet*> FCursors;
};

// A file read and checked, not yet given to a data set.
struct TPacket {
    std::shared_ptr<TStore> Store;
    struct TIndexInfo {
        String Name, Fields, DescFields, CaseInsFields;
        TIndexOptions Options;
        Integer GroupingLevel = 0;
    };
    std::vector<TIndexInfo> Indexes;
};

// Native width of a slot of a definition's type and size: 0 for ADT and array slots
// (their children hold the values), -1 for a type or size that cannot be stored.
Integer SlotWidth(TFieldType type, Integer size);
// Slots for field definitions (children of ADT and array definitions in line, a nested
// data set's definitions in its slot's Nested). Raises SUnsupportedType for a type that
// cannot be stored and SNoNestedDefs for a nested data set without definitions.
std::vector<TSlot> SlotsFromDefs(const TFieldDefs& defs, TDataSet* dataSet);
// The definitions the slots were made from, added to defs.
void AddDefsFromSlots(TFieldDefs& defs, const std::vector<TSlot>& slots);
// Same names, types, sizes and nesting.
bool SameLayout(const std::vector<TSlot>& a, const std::vector<TSlot>& b);

// The record encoding of the file format: uint64 count, then per record in default
// order the null bitmap and the present values.
void AppendRecords(const TStore& store, std::string& out);
// Reads that encoding (all of bytes) into an empty store; raises SInvalidPacket.
void ReadRecords(std::string_view bytes, TStore& store);

// Reads one record image for the filter engine, with the typed readers (no Variants).
// blobs: the buffer's blobs for an image in a record buffer, null for a stored image.
struct TImageReader : public TFilterRecord {
    const TStore* Store = nullptr;
    const Byte* Image = nullptr;
    const TBlobValue* Blobs = nullptr;

    Variant FieldValue(Integer index) const override;
    bool IsNull(Integer index) const override;
    bool GetString(Integer index, StringView& value, String& scratch) const override;
    bool GetInteger(Integer index, Int64& value) const override;
    bool GetFloat(Integer index, double& value) const override;
    bool GetCurrency(Integer index, Currency& value) const override;
    bool GetBcd(Integer index, TBcd& value) const override;
    bool GetBoolean(Integer index, bool& value) const override;

private:
    const std::string* BlobBytes(const TSlot& slot) const;
};

// A filter text with the locale's decimal separator in numbers turned into '.', as the
// grid writes numbers for this family in the locale's form.
String NormalizeDecimalSeparator(StringView text, Char decimalSeparator);

// A detail client data set's link to its master: passes the master's moves and changes
// on (ClientDataSetMaster.cpp).
class TMasterLink : public TDataLink {
public:
    explicit TMasterLink(TClientDataSet* detail) : FDetail(detail) {}

protected:
    void Notify();
    void ActiveChanged() override;
    void CheckBrowseMode() override;
    void DataSetChanged() override;
    void DataSetScrolled(Integer distance) override;
    void RecordChanged(TField* field) override;

private:
    TClientDataSet* FDetail;
};

} // namespace mv::cds
