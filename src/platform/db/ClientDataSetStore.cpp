// The record store of TClientDataSet: record images in fixed-size chunks, the blob pool,
// ranks of the default order, and the sorted orders kept up to date on every change.
// Overview in ClientDataSet.h.
//
// [SECTION] Layout          SlotWidth, TStore::TStore
// [SECTION] Comparing       CompareSlot, Compare, LowerBound
// [SECTION] Changes         Add, Update, Delete, Clear, AppendLoaded, ranks
// [SECTION] Change log      KeepOriginal, MergeChangeLog, CancelUpdates
// [SECTION] Orders          SortIndex, AcquireIndex, InsertInto, RemoveFrom, CheckUnique
#include "platform/db/ClientDataSetPrivate.h"

#include "platform/db/DBConsts.h"
#include "platform/db/Fields.h"
#include "platform/rtl/CaseMapping.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cassert>
#include <compare>

namespace mv::cds {

namespace {

// Ranks are 32-bit (4 bytes a record less than 64-bit ones). Appends step by AppendGap;
// when the space runs out, or an insert finds no room between two neighbours, the ranks
// are renumbered with gaps that leave room for as many appends again.
constexpr std::int64_t AppendGap = 1024;
constexpr std::int64_t MaxRank = UINT32_MAX;

std::int64_t RankOf(const Byte* image) {
    return Load<std::uint32_t>(image + RankOffset);
}

void SetRank(Byte* image, std::int64_t rank) {
    assert(rank > 0 && rank <= MaxRank && "ranks stay in 1..UINT32_MAX");
    Store(image + RankOffset, static_cast<std::uint32_t>(rank));
}

template <typename T> int CompareValues(T a, T b) {
    return a < b ? -1 : b < a ? 1 : 0;
}

template <typename T> int CompareAt(const Byte* a, const Byte* b) {
    return CompareValues(Load<T>(a), Load<T>(b));
}

// Next code point of UTF-8 text; invalid bytes stand for themselves.
char32_t NextCodePoint(const unsigned char*& p) {
    unsigned c = *p++;
    if (c < 0x80) return c;
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    char32_t value = c & (0x3F >> extra);
    for (int i = 0; i < extra && (*p & 0xC0) == 0x80; ++i)
        value = (value << 6) | (*p++ & 0x3F);
    return value;
}

char32_t Fold(char32_t c) {
    return c < 0x10000 ? FoldCase(static_cast<Char>(c)) : c;
}

int CompareUtf8(const Byte* a, const Byte* b, bool caseInsensitive) {
    if (!caseInsensitive) {
        int r = std::strcmp(reinterpret_cast<const char*>(a), reinterpret_cast<const char*>(b));
        return r < 0 ? -1 : r > 0 ? 1 : 0;
    }
    auto* p = reinterpret_cast<const unsigned char*>(a);
    auto* q = reinterpret_cast<const unsigned char*>(b);
    for (;;) {
        if (*p == 0 || *q == 0) return *p == 0 ? (*q == 0 ? 0 : -1) : 1;
        char32_t x = Fold(NextCodePoint(p));
        char32_t y = Fold(NextCodePoint(q));
        if (x != y) return x < y ? -1 : 1;
    }
}

int CompareUtf16(const Byte* a, const Byte* b, Integer units, bool caseInsensitive) {
    for (Integer i = 0; i < units; ++i) {
        Char x = Load<Char>(a + i * 2);
        Char y = Load<Char>(b + i * 2);
        if (caseInsensitive) {
            x = FoldCase(x);
            y = FoldCase(y);
        }
        if (x != y) return x < y ? -1 : 1;
        if (x == 0) return 0;
    }
    return 0;
}

} // namespace

// ======================================================================================
// [SECTION] Layout
// ======================================================================================

Integer SlotWidth(TFieldType type, Integer size) {
    if (IsBlobSlotType(type)) return 4;
    if (ChildFieldTypes.Contains(type)) return 0;
    // The field classes know their native sizes; ask one rather than repeat the table.
    std::unique_ptr<TField> field(CreateFieldOfType(type, nullptr));
    if (!field) return -1;
    try {
        if (size != 0) field->SetSize(size);
    } catch (const EDatabaseError&) {
        return -1;
    }
    Integer width = field->DataSize();
    return width > 0 ? width : -1;
}

namespace {

void AddSlots(std::vector<TSlot>& slots, const TFieldDefs& defs, Integer parent, const String& prefix,
              TDataSet* dataSet) {
    for (Integer i = 0; i < defs.Count(); ++i) {
        TFieldDef* def = defs.Items(i);
        TSlot slot;
        slot.DefName = def->Name();
        slot.Name = prefix + def->Name();
        slot.Parent = parent;
        slot.DataType = def->DataType();
        slot.Size = def->Size();
        slot.Precision = def->Precision();
        slot.Attributes = def->Attributes();
        slot.InternalCalc = def->InternalCalcField();
        slot.Width = SlotWidth(def->DataType(), def->Size());
        if (slot.Width < 0)
            DatabaseErrorFmt(CDSConsts::SUnsupportedType, {slot.Name, FieldTypeName(def->DataType())},
                             dataSet);
        if (def->DataType() == ftDataSet) {
            if (!def->HasChildDefs()) DatabaseErrorFmt(CDSConsts::SNoNestedDefs, {slot.Name}, dataSet);
            slot.Nested =
                std::make_shared<const std::vector<TSlot>>(SlotsFromDefs(*def->ChildDefs(), dataSet));
        }
        auto self = static_cast<Integer>(slots.size());
        slots.push_back(std::move(slot));
        if (ChildFieldTypes.Contains(def->DataType()) && def->HasChildDefs()) {
            // Array elements keep their own names; ADT children are qualified.
            String childPrefix = def->DataType() == ftArray ? prefix : prefix + def->Name() + u".";
            AddSlots(slots, *def->ChildDefs(), self, childPrefix, dataSet);
        }
    }
}

} // namespace

std::vector<TSlot> SlotsFromDefs(const TFieldDefs& defs, TDataSet* dataSet) {
    std::vector<TSlot> slots;
    AddSlots(slots, defs, -1, String(), dataSet);
    return slots;
}

void AddDefsFromSlots(TFieldDefs& defs, const std::vector<TSlot>& slots) {
    std::vector<TFieldDef*> made;
    made.reserve(slots.size());
    for (const TSlot& slot : slots) {
        TFieldDefs& owner =
            slot.Parent < 0 ? defs : *made[static_cast<std::size_t>(slot.Parent)]->ChildDefs();
        TFieldDef* def = owner.AddFieldDef();
        def->SetName(slot.DefName);
        def->SetDataType(slot.DataType);
        def->SetSize(slot.Size);
        def->SetPrecision(slot.Precision);
        def->SetAttributes(slot.Attributes);
        def->SetInternalCalcField(slot.InternalCalc);
        if (slot.Nested) AddDefsFromSlots(*def->ChildDefs(), *slot.Nested);
        made.push_back(def);
    }
}

bool SameLayout(const std::vector<TSlot>& a, const std::vector<TSlot>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const TSlot& x = a[i];
        const TSlot& y = b[i];
        if (x.Name != y.Name || x.DefName != y.DefName || x.Parent != y.Parent || x.DataType != y.DataType ||
            x.Size != y.Size || bool(x.Nested) != bool(y.Nested))
            return false;
        if (x.Nested && !SameLayout(*x.Nested, *y.Nested)) return false;
    }
    return true;
}

// Every store starts a new epoch, and so does every emptying: a bookmark of one store
// (or of one before EmptyDataSet) never finds a record of another.
std::uint32_t NewEpoch() {
    static std::atomic<std::uint32_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

TStore::TStore(std::vector<TSlot> slots) : FSlots(std::move(slots)), FDefault(std::make_shared<TIndex>()) {
    FEpoch = NewEpoch();
    FNullBytes = (static_cast<Integer>(FSlots.size()) + 7) / 8;
    Integer offset = NullsOffset + FNullBytes;
    for (TSlot& slot : FSlots) {
        slot.Offset = offset;
        offset += slot.Width;
        slot.BlobIndex = IsBlobSlotType(slot.DataType) ? FBlobCount++ : -1;
    }
    FRecordSize = offset;
    FStride = offset;
}

void TStore::RemoveCursor(TClientDataSet* cursor) {
    std::erase(FCursors, cursor);
}

const TBlobValue& TStore::Blob(const Byte* image, const TSlot& slot) const {
    static const TBlobValue none;
    std::uint32_t handle = Load<std::uint32_t>(image + slot.Offset);
    return handle == 0 || handle > FBlobs.size() ? none : FBlobs[handle - 1];
}

// ======================================================================================
// [SECTION] Comparing
// ======================================================================================

int TStore::CompareSlot(const TSlot& slot, const Byte* a, const Byte* b, bool caseInsensitive) const {
    a += slot.Offset;
    b += slot.Offset;
    switch (slot.DataType) {
    case ftString:
    case ftFixedChar:
    case ftGuid:
        return CompareUtf8(a, b, caseInsensitive);
    case ftWideString:
    case ftFixedWideChar:
        return CompareUtf16(a, b, slot.Width / 2, caseInsensitive);
    case ftSmallint:
    case ftBoolean:
        if (slot.DataType == ftBoolean)
            return CompareValues(Load<std::int16_t>(a) != 0, Load<std::int16_t>(b) != 0);
        return CompareAt<std::int16_t>(a, b);
    case ftShortint:
        return CompareAt<std::int8_t>(a, b);
    case ftByte:
        return CompareAt<std::uint8_t>(a, b);
    case ftWord:
        return CompareAt<std::uint16_t>(a, b);
    case ftInteger:
    case ftAutoInc:
    case ftDate:
    case ftTime:
        return CompareAt<std::int32_t>(a, b);
    case ftLongWord:
        return CompareAt<std::uint32_t>(a, b);
    case ftLargeint:
        return CompareAt<std::int64_t>(a, b);
    case ftFloat:
    case ftCurrency:
    case ftExtended:
    case ftDateTime:
        return CompareAt<double>(a, b);
    case ftSingle:
        return CompareAt<float>(a, b);
    case ftBCD:
    case ftFMTBcd:
        return BcdCompare(Load<TBcd>(a), Load<TBcd>(b));
    case ftTimeStamp: {
        auto order = Load<TSQLTimeStamp>(a) <=> Load<TSQLTimeStamp>(b);
        return order < 0 ? -1 : order > 0 ? 1 : 0;
    }
    case ftVarBytes: {
        auto la = Load<std::uint16_t>(a);
        auto lb = Load<std::uint16_t>(b);
        int r = std::memcmp(a + 2, b + 2, std::min(la, lb));
        return r != 0 ? (r < 0 ? -1 : 1) : CompareValues(la, lb);
    }
    default: {
        int r = std::memcmp(a, b, static_cast<std::size_t>(slot.Width));
        return r < 0 ? -1 : r > 0 ? 1 : 0;
    }
    }
}

std::uint64_t TStore::SortPrefix(const TKeyPart& part, const Byte* image) const {
    // Monotone in the key order: a < b gives prefix(a) <= prefix(b); 0 for null, which is
    // the smallest value. Types without a cheap prefix give 0 and compare in full.
    std::uint64_t prefix = 0;
    if (IsPresent(image, part.Slot)) {
        const TSlot& slot = FSlots[static_cast<std::size_t>(part.Slot)];
        const Byte* p = image + slot.Offset;
        auto fromSigned = [](std::int64_t v) {
            return static_cast<std::uint64_t>(v) ^ (std::uint64_t{1} << 63);
        };
        auto fromDouble = [](double v) {
            if (v == 0) v = 0; // -0.0 equals 0.0 in the comparison, so it must here too
            auto bits = std::bit_cast<std::uint64_t>(v);
            return (bits >> 63) != 0 ? ~bits : bits | (std::uint64_t{1} << 63);
        };
        switch (slot.DataType) {
        case ftString:
        case ftFixedChar:
        case ftGuid:
            if (part.CaseInsensitive) break;
            for (Integer i = 0; i < 8 && i < slot.Width && p[i] != 0; ++i)
                prefix |= std::uint64_t{p[i]} << (56 - 8 * i);
            break;
        case ftSmallint:
            prefix = fromSigned(Load<std::int16_t>(p));
            break;
        case ftShortint:
            prefix = fromSigned(Load<std::int8_t>(p));
            break;
        case ftByte:
            prefix = Load<std::uint8_t>(p);
            break;
        case ftWord:
            prefix = Load<std::uint16_t>(p);
            break;
        case ftInteger:
        case ftAutoInc:
        case ftDate:
        case ftTime:
            prefix = fromSigned(Load<std::int32_t>(p));
            break;
        case ftLongWord:
            prefix = Load<std::uint32_t>(p);
            break;
        case ftLargeint:
            prefix = fromSigned(Load<std::int64_t>(p));
            break;
        case ftFloat:
        case ftCurrency:
        case ftExtended:
        case ftDateTime:
            prefix = fromDouble(Load<double>(p));
            break;
        case ftSingle:
            prefix = fromDouble(Load<float>(p));
            break;
        default:
            break;
        }
    }
    return part.Descending ? ~prefix : prefix;
}

int TStore::Compare(const TIndex& index, const Byte* a, const Byte* b, bool keysOnly,
                    Integer keyCount) const {
    auto count = keyCount < 0 ? index.Keys.size() : static_cast<std::size_t>(keyCount);
    for (std::size_t k = 0; k < count; ++k) {
        const TKeyPart& part = index.Keys[k];
        bool hasA = IsPresent(a, part.Slot);
        bool hasB = IsPresent(b, part.Slot);
        int r;
        if (!hasA || !hasB)
            r = hasA == hasB ? 0 : hasA ? 1 : -1; // null is the smallest value
        else
            r = CompareSlot(FSlots[static_cast<std::size_t>(part.Slot)], a, b, part.CaseInsensitive);
        if (r != 0) return part.Descending ? -r : r;
    }
    if (keysOnly) return 0;
    return CompareValues(RankOf(a), RankOf(b));
}

std::size_t TStore::LowerBound(const TIndex& index, const std::vector<std::uint32_t>& list, const Byte* image,
                               bool keysOnly, Integer keyCount) const {
    auto it = std::lower_bound(list.begin(), list.end(), image, [&](std::uint32_t id, const Byte* probe) {
        return Compare(index, Image(id), probe, keysOnly, keyCount) < 0;
    });
    return static_cast<std::size_t>(it - list.begin());
}

// ======================================================================================
// [SECTION] Changes
// ======================================================================================

template <typename F> void TStore::ForEachIndex(F f) {
    f(*FDefault);
    std::erase_if(FIndexes, [](const std::weak_ptr<TIndex>& weak) { return weak.expired(); });
    for (const auto& weak : FIndexes)
        if (TIndexPtr index = weak.lock()) f(*index);
}

template <typename F> void TStore::ForEachCursor(F f) {
    // By position: a cursor that closes while told leaves the list (no copy per change).
    for (std::size_t i = 0; i < FCursors.size(); ++i)
        f(FCursors[i]);
}

Byte* TStore::NewImage(std::uint32_t& id) {
    if (FIdCount == UINT32_MAX) DatabaseError(u"Too many records");
    id = FIdCount;
    if ((id >> ChunkBits) >= FChunks.size())
        // Not zeroed: every image is written whole before it is read, and untouched pages
        // of a new chunk cost nothing until then.
        FChunks.push_back(
            std::make_unique_for_overwrite<Byte[]>(static_cast<std::size_t>(FStride) << ChunkBits));
    ++FIdCount;
    return Image(id);
}

void TStore::WriteImage(Byte* target, const Byte* source, const TBlobValue* blobs) {
    std::int64_t rank = RankOf(target);
    Byte flags = target[FlagsOffset];
    // Keep the target's blob handles: the slots they occupy are reused or freed below.
    std::vector<std::uint32_t> handles;
    handles.reserve(static_cast<std::size_t>(FBlobCount));
    for (const TSlot& slot : FSlots)
        if (slot.BlobIndex >= 0) handles.push_back(Load<std::uint32_t>(target + slot.Offset));
    std::memcpy(target, source, static_cast<std::size_t>(FRecordSize));
    SetRank(target, rank);
    target[FlagsOffset] = flags;
    for (const TSlot& slot : FSlots) {
        if (slot.BlobIndex < 0) continue;
        std::uint32_t handle = handles[static_cast<std::size_t>(slot.BlobIndex)];
        const TBlobValue& value = blobs[slot.BlobIndex];
        bool present = value && !value->empty();
        if (present) {
            if (handle == 0) {
                if (!FFreeBlobs.empty()) {
                    handle = FFreeBlobs.back();
                    FFreeBlobs.pop_back();
                } else {
                    FBlobs.emplace_back();
                    handle = static_cast<std::uint32_t>(FBlobs.size());
                }
            }
            FBlobs[handle - 1] = value;
        } else if (handle != 0) {
            FBlobs[handle - 1].reset();
            FFreeBlobs.push_back(handle);
            handle = 0;
        }
        Store(target + slot.Offset, handle);
        SetPresent(target, static_cast<Integer>(&slot - FSlots.data()), present);
    }
}

void TStore::FreeBlobs(Byte* image) {
    for (const TSlot& slot : FSlots) {
        if (slot.BlobIndex < 0) continue;
        std::uint32_t handle = Load<std::uint32_t>(image + slot.Offset);
        if (handle == 0) continue;
        FBlobs[handle - 1].reset();
        FFreeBlobs.push_back(handle);
        Store(image + slot.Offset, std::uint32_t{0});
    }
}

void TStore::Renumber() {
    // Ranks keep their relative order, so every sorted list stays sorted.
    auto count = static_cast<std::int64_t>(FDefault->Order.size());
    std::int64_t gap = std::max<std::int64_t>(2, MaxRank / 2 / (count + 1));
    std::int64_t rank = 0;
    for (std::uint32_t id : FDefault->Order) {
        rank += gap;
        SetRank(Image(id), rank);
    }
}

std::int64_t TStore::RankBefore(std::uint32_t before) {
    std::vector<std::uint32_t>& order = FDefault->Order;
    const Byte* image = Image(before);
    std::size_t pos = LowerBound(*FDefault, order, image);
    auto prior = [&] { return pos == 0 ? std::int64_t{0} : RankOf(Image(order[pos - 1])); };
    if (RankOf(image) - prior() < 2) Renumber();
    return prior() + (RankOf(image) - prior()) / 2;
}

std::int64_t TStore::RankAfterLast() {
    if (FDefault->Order.empty()) return AppendGap;
    std::int64_t last = RankOf(Image(FDefault->Order.back()));
    if (MaxRank - last < AppendGap) {
        Renumber();
        last = RankOf(Image(FDefault->Order.back()));
        return last + std::min(AppendGap, (MaxRank - last) / 2);
    }
    return last + AppendGap;
}

std::uint32_t TStore::Add(const Byte* image, const TBlobValue* blobs, bool append, std::uint32_t before) {
    CheckUnique(image, UINT32_MAX);
    bool atEnd = append || !IsLive(before);
    std::int64_t rank;
    if (atEnd) {
        rank = RankAfterLast();
    } else {
        rank = RankBefore(before);
    }
    std::uint32_t id;
    Byte* target = NewImage(id);
    std::memset(target, 0, static_cast<std::size_t>(FStride));
    SetRank(target, rank);
    WriteImage(target, image, blobs);
    ForEachIndex([&](TIndex& index) { InsertInto(index, id); });
    ++FInsertedLive;
    ++FVersion;
    ForEachCursor([&](TClientDataSet* cursor) { cursor->RecordAdded(id); });
    return id;
}

void TStore::Revive(std::uint32_t id, const Byte* image, const TBlobValue* blobs, bool append,
                    std::uint32_t before) {
    assert(id < FIdCount && !IsLive(id) && "TStore::Revive: the record must be a tombstone");
    bool atEnd = append || !IsLive(before);
    std::int64_t rank = atEnd ? RankAfterLast() : RankBefore(before);
    Byte* target = Image(id);
    // Delete freed the tombstone's blobs; clearing also drops the deleted flag.
    std::memset(target, 0, static_cast<std::size_t>(FStride));
    SetRank(target, rank);
    WriteImage(target, image, blobs);
    ForEachIndex([&](TIndex& index) { InsertInto(index, id); });
    ++FVersion;
    ForEachCursor([&](TClientDataSet* cursor) { cursor->RecordAdded(id); });
}

void TStore::Update(std::uint32_t id, const Byte* image, const TBlobValue* blobs) {
    assert(IsLive(id) && "TStore::Update: the record must exist");
    // Keys are compared with the record's own rank.
    std::vector<Byte> probe(image, image + FRecordSize);
    SetRank(probe.data(), RankOf(Image(id)));
    CheckUnique(probe.data(), id);
    KeepOriginal(id);
    ForEachCursor([&](TClientDataSet* cursor) { cursor->RecordRemoving(id); });
    ForEachIndex([&](TIndex& index) { RemoveFrom(index, id); });
    WriteImage(Image(id), image, blobs);
    ForEachIndex([&](TIndex& index) { InsertInto(index, id); });
    ++FVersion;
    ForEachCursor([&](TClientDataSet* cursor) { cursor->RecordAdded(id); });
}

void TStore::Delete(std::uint32_t id) {
    assert(IsLive(id) && "TStore::Delete: the record must exist");
    if (id >= FLogBase) {
        --FInsertedLive;
    } else {
        KeepOriginal(id);
        TOriginal& original = FOriginals[id];
        original.Deleted = true;
        original.Sequence = ++FDeleteSequence;
        const std::vector<std::uint32_t>& order = FDefault->Order;
        std::size_t pos = LowerBound(*FDefault, order, Image(id));
        original.Successor = pos + 1 < order.size() ? order[pos + 1] : UINT32_MAX;
    }
    ForEachCursor([&](TClientDataSet* cursor) { cursor->RecordRemoving(id); });
    ForEachIndex([&](TIndex& index) { RemoveFrom(index, id); });
    // The image stays as a tombstone: a cursor on it still finds its place in the orders.
    Byte* target = Image(id);
    target[FlagsOffset] |= rfDeleted;
    FreeBlobs(target);
    ++FVersion;
}

void TStore::Clear() {
    FOriginals.clear();
    FLogBase = 0;
    FInsertedLive = 0;
    FChunks.clear();
    FBlobs.clear();
    FFreeBlobs.clear();
    FIdCount = 0;
    FEpoch = NewEpoch();
    ++FVersion;
    ForEachIndex([](TIndex& index) { index.Order.clear(); });
    ForEachCursor([](TClientDataSet* cursor) { cursor->StoreReset(); });
}

std::uint32_t TStore::AppendLoaded(const Byte* image) {
    assert(FIndexes.empty() && FCursors.empty() && "TStore::AppendLoaded: only while loading");
    std::uint32_t id;
    Byte* target = NewImage(id);
    std::memcpy(target, image, static_cast<std::size_t>(FRecordSize));
    // Dense ranks: the first insert between two loaded records renumbers once.
    SetRank(target, static_cast<std::int64_t>(id) + 1);
    target[FlagsOffset] = 0;
    FDefault->Order.push_back(id);
    FLogBase = FIdCount;
    ++FVersion;
    return id;
}

std::uint32_t TStore::AddBlob(std::string bytes) {
    FBlobs.push_back(std::make_shared<const std::string>(std::move(bytes)));
    return static_cast<std::uint32_t>(FBlobs.size());
}

// ======================================================================================
// [SECTION] Change log
// ======================================================================================

void TStore::KeepOriginal(std::uint32_t id) {
    if (id >= FLogBase || FOriginals.contains(id)) return;
    const Byte* image = Image(id);
    TOriginal original;
    original.Image.assign(image, image + FRecordSize);
    for (const TSlot& slot : FSlots)
        if (slot.BlobIndex >= 0) original.Blobs.push_back(Blob(image, slot));
    FOriginals.emplace(id, std::move(original));
}

void TStore::MergeChangeLog() {
    FOriginals.clear();
    FLogBase = FIdCount;
    FInsertedLive = 0;
}

void TStore::CancelUpdates() {
    FRestoring = true;
    try {
        for (std::uint32_t id = FLogBase; id < FIdCount; ++id)
            if (IsLive(id)) Delete(id);
        std::vector<std::pair<std::uint32_t, const TOriginal*>> deleted;
        for (const auto& [id, original] : FOriginals) {
            if (original.Deleted)
                deleted.emplace_back(id, &original);
            else
                Update(id, original.Image.data(), original.Blobs.data());
        }
        // Latest deletion first: a record's successor, when deleted after it, is back by
        // then. Each returns under its own id, so bookmarks to it are good again.
        std::sort(deleted.begin(), deleted.end(),
                  [](const auto& a, const auto& b) { return a.second->Sequence > b.second->Sequence; });
        for (const auto& [id, original] : deleted) {
            std::uint32_t before = original->Successor;
            bool atEnd = before == UINT32_MAX || !IsLive(before);
            Revive(id, original->Image.data(), original->Blobs.data(), atEnd, before);
        }
    } catch (...) {
        FRestoring = false;
        throw;
    }
    FRestoring = false;
    MergeChangeLog();
}

// ======================================================================================
// [SECTION] Orders
// ======================================================================================

void TStore::InsertInto(TIndex& index, std::uint32_t id) {
    const Byte* image = Image(id);
    std::vector<std::uint32_t>& order = index.Order;
    // Appends in key order (the default order, a growing id) skip the search.
    if (order.empty() || Compare(index, Image(order.back()), image) < 0) {
        order.push_back(id);
        return;
    }
    order.insert(order.begin() + static_cast<std::ptrdiff_t>(LowerBound(index, order, image)), id);
}

void TStore::RemoveFrom(TIndex& index, std::uint32_t id) {
    std::vector<std::uint32_t>& order = index.Order;
    std::size_t pos = LowerBound(index, order, Image(id));
    assert(pos < order.size() && order[pos] == id && "TStore::RemoveFrom: the record must be in the index");
    order.erase(order.begin() + static_cast<std::ptrdiff_t>(pos));
}

void TStore::CheckUnique(const Byte* image, std::uint32_t self) {
    // Returning to the original records may pass through states with duplicate keys
    // (two keys swapped); the end state had none.
    if (FRestoring) return;
    auto check = [&](TIndex& index) {
        if (!index.Unique) return;
        std::size_t pos = LowerBound(index, index.Order, image, true);
        for (; pos < index.Order.size(); ++pos) {
            std::uint32_t other = index.Order[pos];
            if (Compare(index, Image(other), image, true) != 0) break;
            if (other != self) DatabaseError(CDSConsts::SKeyViolation);
        }
    };
    ForEachIndex(check);
}

// Sorting the records into a new index. Memory is what limits this (a million records must
// fit in twice their payload), so the sort works in the index's own id vector: a stable
// counting pass distributes the ids by 16 bits of their first key's prefix, then each
// bucket is sorted with a scratch array of (next 32 prefix bits, id) words no larger than
// the bucket. Rejected: one (prefix, id) word per record for the whole set, which took 8
// bytes a record on top of the 4 of the finished order.
void TStore::SortIndex(TIndex& index) const {
    std::vector<std::uint32_t>& order = index.Order;
    order = FDefault->Order; // the default order is the rank order: ties stay in it
    if (order.size() < 2 || index.Keys.empty()) return;
    const TKeyPart& first = index.Keys.front();
    auto fullLess = [&](std::uint32_t a, std::uint32_t b) { return Compare(index, Image(a), Image(b)) < 0; };

    std::uint64_t low = UINT64_MAX, high = 0;
    for (std::uint32_t id : order) {
        std::uint64_t prefix = SortPrefix(first, Image(id));
        low = std::min(low, prefix);
        high = std::max(high, prefix);
    }
    if (low == high) {
        std::sort(order.begin(), order.end(), fullLess);
        return;
    }
    // The bits above the highest one where the prefixes differ are the same everywhere;
    // the bucket is the 16 bits below them, the tie-breaker the next 32.
    const int spread = 64 - std::countl_zero(low ^ high);
    const int shift = std::max(spread - 16, 0);
    auto bucketOf = [&](std::uint64_t prefix) {
        return static_cast<std::size_t>((prefix >> shift) & 0xFFFF);
    };
    auto subKeyOf = [&](std::uint64_t prefix) {
        return shift >= 32 ? (prefix >> (shift - 32)) & 0xFFFFFFFFu : (prefix << (32 - shift)) & 0xFFFFFFFFu;
    };

    std::vector<std::uint32_t> starts(0x10001, 0);
    for (std::uint32_t id : FDefault->Order)
        ++starts[bucketOf(SortPrefix(first, Image(id))) + 1];
    for (std::size_t b = 1; b < starts.size(); ++b)
        starts[b] += starts[b - 1];
    std::vector<std::uint32_t> next(starts.begin(), starts.end() - 1);
    for (std::uint32_t id : FDefault->Order)
        order[next[bucketOf(SortPrefix(first, Image(id)))]++] = id;
    next = {};

    // A bucket larger than this (keys crowding into few prefixes) is sorted in place with
    // full comparisons instead: slower, but the scratch stays small.
    const std::size_t scratchLimit = std::max<std::size_t>(std::size_t{1} << 14, order.size() / 8);
    std::vector<std::uint64_t> keyed;
    for (std::size_t b = 0; b + 1 < starts.size(); ++b) {
        auto begin = order.begin() + starts[b];
        auto end = order.begin() + starts[b + 1];
        auto count = static_cast<std::size_t>(end - begin);
        if (count < 2) continue;
        if (count > scratchLimit) {
            std::sort(begin, end, fullLess);
            continue;
        }
        keyed.clear();
        for (auto it = begin; it != end; ++it)
            keyed.push_back(subKeyOf(SortPrefix(first, Image(*it))) << 32 | *it);
        std::sort(keyed.begin(), keyed.end(), [&](std::uint64_t a, std::uint64_t c) {
            if ((a >> 32) != (c >> 32)) return a < c;
            return fullLess(static_cast<std::uint32_t>(a), static_cast<std::uint32_t>(c));
        });
        for (std::uint64_t entry : keyed)
            *begin++ = static_cast<std::uint32_t>(entry);
    }
}

TIndexPtr TStore::AcquireIndex(const std::vector<TKeyPart>& keys, bool unique) {
    if (keys.empty() && !unique) return FDefault;
    auto same = [&](const TIndex& index) {
        if (index.Unique != unique || index.Keys.size() != keys.size()) return false;
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (index.Keys[i].Slot != keys[i].Slot || index.Keys[i].Descending != keys[i].Descending ||
                index.Keys[i].CaseInsensitive != keys[i].CaseInsensitive)
                return false;
        return true;
    };
    for (const auto& weak : FIndexes)
        if (TIndexPtr index = weak.lock(); index && same(*index)) return index;
    auto index = std::make_shared<TIndex>();
    index->Keys = keys;
    index->Unique = unique;
    SortIndex(*index);
    if (unique) {
        for (std::size_t i = 1; i < index->Order.size(); ++i)
            if (Compare(*index, Image(index->Order[i - 1]), Image(index->Order[i]), true) == 0)
                DatabaseError(CDSConsts::SKeyViolation);
    }
    FIndexes.push_back(index);
    return index;
}

} // namespace mv::cds
