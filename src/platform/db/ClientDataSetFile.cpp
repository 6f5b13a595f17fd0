// TClientDataSet files: writing and reading the versioned format documented at
// SaveToStream in ClientDataSet.h. A file is read and checked completely before the data
// set is touched, so a damaged file changes nothing.
//
// [SECTION] Encoding      TPacketWriter, TPacketReader, Fnv1a
// [SECTION] Saving        SavePacket, SaveToStream, SaveToFile
// [SECTION] Loading       ParsePacket, CommitPacket, LoadFromStream, LoadFromFile
#include "platform/db/ClientDataSet.h"

#include "platform/db/ClientDataSetPrivate.h"
#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Utf8.h"

#include <bit>

namespace mv {

static_assert(std::endian::native == std::endian::little,
              "the file format stores native little-endian values");

namespace {

// ======================================================================================
// [SECTION] Encoding
// ======================================================================================

constexpr char Magic[8] = {'M', 'V', 'C', 'D', 'S', '\r', '\n', '\x1a'};
constexpr std::uint32_t FormatVersion = 2;
// Deeper nesting than this is taken for damage (and would exhaust the stack).
constexpr Integer MaxNesting = 32;
constexpr std::size_t MaxSlots = 65535;
constexpr std::size_t HashSize = 8;

enum TFieldFlag : Byte { ffRequired = 1, ffReadOnly = 2, ffInternalCalc = 4, ffHidden = 8 };

std::uint64_t Fnv1a(const char* data, std::size_t size) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= static_cast<unsigned char>(data[i]);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

bool IsUtf8Text(TFieldType type) {
    return type == ftString || type == ftFixedChar || type == ftGuid;
}

class TPacketWriter {
public:
    explicit TPacketWriter(std::string& out) : FOut(out) {}
    void Raw(const void* data, std::size_t size) { FOut.append(static_cast<const char*>(data), size); }
    template <typename T> void Value(T value) { Raw(&value, sizeof value); }
    void Text(StringView text) {
        std::string utf8 = UTF8Encode(text);
        Value(static_cast<std::uint32_t>(utf8.size()));
        Raw(utf8.data(), utf8.size());
    }

private:
    std::string& FOut;
};

// Reads the checked part of a file; running past its end raises "truncated".
class TPacketReader {
public:
    explicit TPacketReader(std::string_view bytes) : FBytes(bytes), FEnd(bytes.size()) {}
    const char* Take(std::size_t size, const char* what) {
        if (size > FEnd - FPos) Fail(String(u"truncated in ") + UTF8ToString(what));
        const char* p = FBytes.data() + FPos;
        FPos += size;
        return p;
    }
    template <typename T> T Value(const char* what) {
        T value;
        std::memcpy(&value, Take(sizeof value, what), sizeof value);
        return value;
    }
    String Text(const char* what) {
        auto size = Value<std::uint32_t>(what);
        const char* p = Take(size, what);
        return UTF8ToString(std::string_view(p, size));
    }
    std::size_t Position() const { return FPos; }
    [[noreturn]] static void Fail(const String& why) { DatabaseErrorFmt(CDSConsts::SInvalidPacket, {why}); }

private:
    std::string_view FBytes;
    std::size_t FEnd;
    std::size_t FPos = 0;
};

std::uint32_t OptionBits(TIndexOptions options) {
    std::uint32_t bits = 0;
    for (int option = ixPrimary; option <= ixNonMaintained; ++option)
        if (options.Contains(static_cast<TIndexOption>(option))) bits |= 1u << option;
    return bits;
}

TIndexOptions OptionsFromBits(std::uint32_t bits) {
    TIndexOptions options;
    for (int option = ixPrimary; option <= ixNonMaintained; ++option)
        if (bits & (1u << option)) options += static_cast<TIndexOption>(option);
    return options;
}

// ======================================================================================
// [SECTION] Field tables
// ======================================================================================
// A table is uint32 count and that many entries; an entry is the field's own name, uint8
// type, int32 size, int32 precision, uint8 flags, uint32 child count and the children:
// the fields of an ADT or array (the next slots of the same store) or the table of a
// nested data set.

void WriteEntry(TPacketWriter& writer, const std::vector<cds::TSlot>& slots, std::size_t index);

void WriteTable(TPacketWriter& writer, const std::vector<cds::TSlot>& slots, Integer parent) {
    std::vector<std::size_t> members;
    for (std::size_t i = 0; i < slots.size(); ++i)
        if (slots[i].Parent == parent) members.push_back(i);
    writer.Value(static_cast<std::uint32_t>(members.size()));
    for (std::size_t i : members)
        WriteEntry(writer, slots, i);
}

void WriteEntry(TPacketWriter& writer, const std::vector<cds::TSlot>& slots, std::size_t index) {
    const cds::TSlot& slot = slots[index];
    writer.Text(slot.DefName);
    writer.Value(static_cast<std::uint8_t>(slot.DataType));
    writer.Value(static_cast<std::int32_t>(slot.Size));
    writer.Value(static_cast<std::int32_t>(slot.Precision));
    Byte flags = 0;
    if (slot.Attributes.Contains(faRequired)) flags |= ffRequired;
    if (slot.Attributes.Contains(faReadonly)) flags |= ffReadOnly;
    if (slot.Attributes.Contains(faHiddenCol)) flags |= ffHidden;
    if (slot.InternalCalc) flags |= ffInternalCalc;
    writer.Value(flags);
    if (slot.Nested)
        WriteTable(writer, *slot.Nested, -1);
    else
        WriteTable(writer, slots, static_cast<Integer>(index));
}

// One entry's own part; children are the caller's.
cds::TSlot ReadEntry(TPacketReader& reader, Integer number) {
    cds::TSlot slot;
    slot.DefName = reader.Text("a field definition");
    auto type = reader.Value<std::uint8_t>("a field definition");
    slot.Size = reader.Value<std::int32_t>("a field definition");
    slot.Precision = reader.Value<std::int32_t>("a field definition");
    auto flags = reader.Value<Byte>("a field definition");
    if (slot.DefName.empty()) TPacketReader::Fail(Format(u"field %d has no name", {number}));
    if (type >= FieldTypeCount)
        TPacketReader::Fail(
            Format(u"field '%s' has an unknown type %d", {slot.DefName, static_cast<Integer>(type)}));
    slot.DataType = static_cast<TFieldType>(type);
    slot.Width = cds::SlotWidth(slot.DataType, slot.Size);
    if (slot.Width < 0)
        TPacketReader::Fail(Format(u"field '%s' has a type or size that cannot be stored", {slot.DefName}));
    if (flags & ffRequired) slot.Attributes += faRequired;
    if (flags & ffReadOnly) slot.Attributes += faReadonly;
    if (flags & ffHidden) slot.Attributes += faHiddenCol;
    slot.InternalCalc = (flags & ffInternalCalc) != 0;
    return slot;
}

// An ADT or array may be empty; a data set's own table and a nested one may not.
void ReadTable(TPacketReader& reader, std::vector<cds::TSlot>& slots, Integer parent, const String& prefix,
               Integer depth) {
    if (depth > MaxNesting) TPacketReader::Fail(u"the fields are nested too deeply");
    auto count = reader.Value<std::uint32_t>("the field count");
    if ((count == 0 && parent < 0) || count > MaxSlots)
        TPacketReader::Fail(Format(u"bad field count %d", {static_cast<Integer>(count)}));
    for (std::uint32_t i = 0; i < count; ++i) {
        cds::TSlot slot = ReadEntry(reader, static_cast<Integer>(slots.size()) + 1);
        slot.Name = prefix + slot.DefName;
        slot.Parent = parent;
        auto self = static_cast<Integer>(slots.size());
        if (slots.size() >= MaxSlots) TPacketReader::Fail(u"too many fields");
        if (slot.DataType == ftDataSet) {
            std::vector<cds::TSlot> nested;
            ReadTable(reader, nested, -1, String(), depth + 1);
            slot.Nested = std::make_shared<const std::vector<cds::TSlot>>(std::move(nested));
            slots.push_back(std::move(slot));
        } else if (ChildFieldTypes.Contains(slot.DataType)) {
            String childPrefix = slot.DataType == ftArray ? prefix : slot.Name + u".";
            slots.push_back(std::move(slot));
            ReadTable(reader, slots, self, childPrefix, depth + 1);
        } else {
            if (reader.Value<std::uint32_t>("a field definition") != 0)
                TPacketReader::Fail(Format(u"field '%s' of a plain type has children", {slot.Name}));
            slots.push_back(std::move(slot));
        }
    }
}

// Version 1 files: a flat list without children.
void ReadFlatTable(TPacketReader& reader, std::vector<cds::TSlot>& slots) {
    auto count = reader.Value<std::uint32_t>("the field count");
    if (count == 0 || count > MaxSlots)
        TPacketReader::Fail(Format(u"bad field count %d", {static_cast<Integer>(count)}));
    for (std::uint32_t i = 0; i < count; ++i) {
        cds::TSlot slot = ReadEntry(reader, static_cast<Integer>(i) + 1);
        if (slot.Width == 0)
            TPacketReader::Fail(
                Format(u"field '%s' has a type or size that cannot be stored", {slot.DefName}));
        slot.Name = slot.DefName;
        slots.push_back(std::move(slot));
    }
}

// ======================================================================================
// [SECTION] Records
// ======================================================================================

void ReadRecordsFrom(TPacketReader& reader, cds::TStore& store, Integer depth) {
    auto recordCount = reader.Value<std::uint64_t>("the record count");
    if (recordCount > UINT32_MAX) TPacketReader::Fail(u"too many records");
    const auto fields = static_cast<Integer>(store.Slots().size());
    std::vector<Byte> image(static_cast<std::size_t>(store.RecordSize()));
    for (std::uint64_t r = 0; r < recordCount; ++r) {
        std::fill(image.begin(), image.end(), Byte{0});
        std::memcpy(image.data() + cds::NullsOffset,
                    reader.Take(static_cast<std::size_t>(store.NullBytes()), "a record"),
                    static_cast<std::size_t>(store.NullBytes()));
        for (Integer s = 0; s < fields; ++s) {
            const cds::TSlot& slot = store.Slots()[static_cast<std::size_t>(s)];
            if (!cds::IsPresent(image.data(), s)) continue;
            Byte* value = image.data() + slot.Offset;
            if (slot.Width == 0) {
                TPacketReader::Fail(Format(u"field '%s' holds no value of its own", {slot.Name}));
            } else if (slot.BlobIndex >= 0) {
                auto size = reader.Value<std::uint32_t>("a blob");
                const char* data = reader.Take(size, "a blob");
                if (size == 0) {
                    cds::SetPresent(image.data(), s, false);
                    continue;
                }
                if (slot.Nested) {
                    // Checked now: a file that loads must open every nested data set.
                    cds::TStore nested(*slot.Nested);
                    TPacketReader inner(std::string_view(data, size));
                    if (depth > MaxNesting) TPacketReader::Fail(u"the records are nested too deeply");
                    ReadRecordsFrom(inner, nested, depth + 1);
                    if (inner.Position() != size)
                        TPacketReader::Fail(u"unexpected bytes after nested records");
                }
                cds::Store(value, store.AddBlob(std::string(data, size)));
            } else if (IsUtf8Text(slot.DataType)) {
                auto length = reader.Value<std::uint32_t>("a string");
                if (length >= static_cast<std::uint32_t>(slot.Width))
                    TPacketReader::Fail(
                        Format(u"a value of field '%s' is longer than the field", {slot.Name}));
                std::memcpy(value, reader.Take(length, "a string"), length);
            } else {
                std::memcpy(value, reader.Take(static_cast<std::size_t>(slot.Width), "a record"),
                            static_cast<std::size_t>(slot.Width));
                if (slot.DataType == ftVarBytes && cds::Load<std::uint16_t>(value) > slot.Size)
                    TPacketReader::Fail(
                        Format(u"a value of field '%s' is longer than the field", {slot.Name}));
            }
        }
        // Bits past the last field must be clear, or a later format could not use them.
        for (Integer bit = fields; bit < store.NullBytes() * 8; ++bit)
            if (cds::IsPresent(image.data(), bit)) TPacketReader::Fail(u"a record has a bad null bitmap");
        store.AppendLoaded(image.data());
    }
}

} // namespace

void cds::AppendRecords(const TStore& store, std::string& out) {
    TPacketWriter writer(out);
    const std::vector<std::uint32_t>& order = store.DefaultIndex()->Order;
    out.reserve(out.size() + order.size() * static_cast<std::size_t>(store.RecordSize()) + HashSize);
    writer.Value(static_cast<std::uint64_t>(order.size()));
    for (std::uint32_t id : order) {
        const Byte* image = store.Image(id);
        writer.Raw(image + cds::NullsOffset, static_cast<std::size_t>(store.NullBytes()));
        for (std::size_t s = 0; s < store.Slots().size(); ++s) {
            const cds::TSlot& slot = store.Slots()[s];
            if (!cds::IsPresent(image, static_cast<Integer>(s))) continue;
            const Byte* value = image + slot.Offset;
            if (slot.BlobIndex >= 0) {
                const std::string& bytes = *store.Blob(image, slot);
                writer.Value(static_cast<std::uint32_t>(bytes.size()));
                writer.Raw(bytes.data(), bytes.size());
            } else if (IsUtf8Text(slot.DataType)) {
                std::size_t length = std::strlen(reinterpret_cast<const char*>(value));
                writer.Value(static_cast<std::uint32_t>(length));
                writer.Raw(value, length);
            } else {
                writer.Raw(value, static_cast<std::size_t>(slot.Width));
            }
        }
    }
}

void cds::ReadRecords(std::string_view bytes, TStore& store) {
    TPacketReader reader(bytes);
    ReadRecordsFrom(reader, store, 0);
    if (reader.Position() != bytes.size()) TPacketReader::Fail(u"unexpected bytes after the last record");
}

// ======================================================================================
// [SECTION] Saving
// ======================================================================================

std::string TClientDataSet::SavePacket() {
    const cds::TStore& store = *FStore;
    std::string out;
    TPacketWriter writer(out);
    writer.Raw(Magic, sizeof Magic);
    writer.Value(FormatVersion);
    WriteTable(writer, store.Slots(), -1);
    writer.Value(static_cast<std::uint32_t>(FIndexDefs->Count()));
    for (Integer i = 0; i < FIndexDefs->Count(); ++i) {
        const TIndexDef* def = FIndexDefs->Items(i);
        writer.Text(def->Name());
        writer.Text(def->Fields());
        writer.Text(def->DescFields());
        writer.Text(def->CaseInsFields());
        writer.Value(OptionBits(def->Options()));
        writer.Value(static_cast<std::int32_t>(def->GroupingLevel()));
    }
    cds::AppendRecords(store, out);
    writer.Value(Fnv1a(out.data(), out.size()));
    return out;
}

void TClientDataSet::SaveToStream(TStream& stream) {
    CheckActive();
    CheckBrowseMode();
    std::string bytes = SavePacket();
    // WriteBuffer moves at most 2 GiB per call.
    constexpr std::size_t Step = std::size_t{1} << 30;
    for (std::size_t done = 0; done < bytes.size(); done += Step)
        stream.WriteBuffer(bytes.data() + done, static_cast<Integer>(std::min(Step, bytes.size() - done)));
}

void TClientDataSet::SaveToFile(const String& fileName) {
    CheckActive();
    CheckBrowseMode();
    WritePacketFile(fileName.empty() ? FFileName : fileName);
}

void TClientDataSet::WritePacketFile(const String& fileName) {
    // Replaced as a whole: a crash while saving leaves the previous file intact.
    if (int error = WriteFileAtomically(UTF8Encode(fileName), SavePacket()); error != 0)
        throw EFCreateError(Format(SysConst::SFCreateError, {fileName, SystemErrorText(error)}));
}

// ======================================================================================
// [SECTION] Loading
// ======================================================================================

cds::TPacket TClientDataSet::ParsePacket(const std::string& bytes) {
    if (bytes.size() < sizeof Magic + 4 + HashSize) TPacketReader::Fail(u"the file is too short");
    if (std::memcmp(bytes.data(), Magic, sizeof Magic) != 0)
        TPacketReader::Fail(u"not a client data set file");
    std::size_t end = bytes.size() - HashSize;
    std::uint64_t stored;
    std::memcpy(&stored, bytes.data() + end, HashSize);
    if (Fnv1a(bytes.data(), end) != stored)
        TPacketReader::Fail(u"checksum mismatch (the file is damaged or truncated)");

    TPacketReader reader(std::string_view(bytes.data(), end));
    reader.Take(sizeof Magic, "the header");
    auto version = reader.Value<std::uint32_t>("the header");
    if (version != 1 && version != FormatVersion)
        TPacketReader::Fail(Format(u"version %d is not supported (expected %d)",
                                   {static_cast<Integer>(version), static_cast<Integer>(FormatVersion)}));
    std::vector<cds::TSlot> slots;
    if (version == 1)
        ReadFlatTable(reader, slots);
    else
        ReadTable(reader, slots, -1, String(), 0);
    cds::TPacket packet;
    auto indexCount = reader.Value<std::uint32_t>("the index count");
    for (std::uint32_t i = 0; i < indexCount; ++i) {
        cds::TPacket::TIndexInfo info;
        info.Name = reader.Text("an index definition");
        info.Fields = reader.Text("an index definition");
        info.DescFields = reader.Text("an index definition");
        info.CaseInsFields = reader.Text("an index definition");
        info.Options = OptionsFromBits(reader.Value<std::uint32_t>("an index definition"));
        info.GroupingLevel = reader.Value<std::int32_t>("an index definition");
        packet.Indexes.push_back(std::move(info));
    }
    packet.Store = std::make_shared<cds::TStore>(std::move(slots));
    ReadRecordsFrom(reader, *packet.Store, 0);
    if (reader.Position() != end) TPacketReader::Fail(u"unexpected bytes after the last record");
    return packet;
}

void TClientDataSet::CommitPacket(cds::TPacket& packet) {
    FStore = packet.Store;
    FIndexDefs->BeginUpdate();
    try {
        FIndexDefs->Clear();
        for (const cds::TPacket::TIndexInfo& info : packet.Indexes) {
            TIndexDef* def = FIndexDefs->AddIndexDef();
            def->SetName(info.Name);
            def->SetFields(info.Fields);
            def->SetDescFields(info.DescFields);
            def->SetCaseInsFields(info.CaseInsFields);
            def->SetOptions(info.Options);
            def->SetGroupingLevel(info.GroupingLevel);
        }
    } catch (...) {
        FIndexDefs->EndUpdate();
        throw;
    }
    FIndexDefs->EndUpdate();
}

void TClientDataSet::LoadFromStream(TStream& stream) {
    Int64 size = stream.GetSize() - stream.GetPosition();
    std::string bytes(static_cast<std::size_t>(std::max<Int64>(size, 0)), '\0');
    constexpr std::size_t Step = std::size_t{1} << 30;
    for (std::size_t done = 0; done < bytes.size(); done += Step)
        stream.ReadBuffer(bytes.data() + done, static_cast<Integer>(std::min(Step, bytes.size() - done)));
    cds::TPacket packet = ParsePacket(bytes);
    Close();
    CommitPacket(packet);
    OpenStore(packet.Store);
}

void TClientDataSet::DefineProperties(TFiler* filer) {
    TDataSet::DefineProperties(filer);
    auto read = [this](TStream& stream) {
        std::string bytes(static_cast<std::size_t>(stream.GetSize() - stream.GetPosition()), '\0');
        if (!bytes.empty()) stream.ReadBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
        cds::TPacket packet = ParsePacket(bytes);
        // Not Close() while loading: that would forget a streamed Active. The store waits
        // for the open that Loaded performs then.
        if (Active()) Close();
        CommitPacket(packet);
    };
    auto write = [this](TStream& stream) {
        std::string bytes = SavePacket();
        stream.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
    };
    bool hasData = Active() && FFileName.empty() && FConnection == nullptr;
    filer->DefineBinaryProperty(u"Data", read, write, hasData);
}

void TClientDataSet::LoadFromFile(const String& fileName) {
    TFileStream file(fileName.empty() ? FFileName : fileName, fmOpenRead);
    LoadFromStream(file);
}

} // namespace mv
