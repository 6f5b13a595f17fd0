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
constexpr std::uint32_t FormatVersion = 1;
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
    TPacketReader(const std::string& bytes, std::size_t end) : FBytes(bytes), FEnd(end) {}
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
    const std::string& FBytes;
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

} // namespace

// ======================================================================================
// [SECTION] Saving
// ======================================================================================

std::string TClientDataSet::SavePacket() {
    const cds::TStore& store = *FStore;
    std::string out;
    TPacketWriter writer(out);
    writer.Raw(Magic, sizeof Magic);
    writer.Value(FormatVersion);
    writer.Value(static_cast<std::uint32_t>(store.Slots().size()));
    for (const cds::TSlot& slot : store.Slots()) {
        writer.Text(slot.Name);
        writer.Value(static_cast<std::uint8_t>(slot.DataType));
        writer.Value(static_cast<std::int32_t>(slot.Size));
        writer.Value(static_cast<std::int32_t>(slot.Precision));
        Byte flags = 0;
        if (slot.Attributes.Contains(faRequired)) flags |= ffRequired;
        if (slot.Attributes.Contains(faReadonly)) flags |= ffReadOnly;
        if (slot.Attributes.Contains(faHiddenCol)) flags |= ffHidden;
        if (slot.InternalCalc) flags |= ffInternalCalc;
        writer.Value(flags);
    }
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

    TPacketReader reader(bytes, end);
    reader.Take(sizeof Magic, "the header");
    auto version = reader.Value<std::uint32_t>("the header");
    if (version != FormatVersion)
        TPacketReader::Fail(Format(u"version %d is not supported (expected %d)",
                                   {static_cast<Integer>(version), static_cast<Integer>(FormatVersion)}));
    auto fieldCount = reader.Value<std::uint32_t>("the field count");
    if (fieldCount == 0 || fieldCount > 65535)
        TPacketReader::Fail(Format(u"bad field count %d", {static_cast<Integer>(fieldCount)}));
    std::vector<cds::TSlot> slots;
    for (std::uint32_t i = 0; i < fieldCount; ++i) {
        cds::TSlot slot;
        slot.Name = reader.Text("a field definition");
        auto type = reader.Value<std::uint8_t>("a field definition");
        slot.Size = reader.Value<std::int32_t>("a field definition");
        slot.Precision = reader.Value<std::int32_t>("a field definition");
        auto flags = reader.Value<Byte>("a field definition");
        if (slot.Name.empty())
            TPacketReader::Fail(Format(u"field %d has no name", {static_cast<Integer>(i + 1)}));
        if (type >= FieldTypeCount)
            TPacketReader::Fail(
                Format(u"field '%s' has an unknown type %d", {slot.Name, static_cast<Integer>(type)}));
        slot.DataType = static_cast<TFieldType>(type);
        try {
            slot.Width = cds::SlotWidth(slot.DataType, slot.Size);
        } catch (const EDatabaseError&) {
            slot.Width = 0;
        }
        if (slot.Width == 0)
            TPacketReader::Fail(Format(u"field '%s' has a type or size that cannot be stored", {slot.Name}));
        if (flags & ffRequired) slot.Attributes += faRequired;
        if (flags & ffReadOnly) slot.Attributes += faReadonly;
        if (flags & ffHidden) slot.Attributes += faHiddenCol;
        slot.InternalCalc = (flags & ffInternalCalc) != 0;
        slots.push_back(std::move(slot));
    }
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
    cds::TStore& store = *packet.Store;
    auto recordCount = reader.Value<std::uint64_t>("the record count");
    if (recordCount > UINT32_MAX) TPacketReader::Fail(u"too many records");
    std::vector<Byte> image(static_cast<std::size_t>(store.RecordSize()));
    for (std::uint64_t r = 0; r < recordCount; ++r) {
        std::fill(image.begin(), image.end(), Byte{0});
        std::memcpy(image.data() + cds::NullsOffset,
                    reader.Take(static_cast<std::size_t>(store.NullBytes()), "a record"),
                    static_cast<std::size_t>(store.NullBytes()));
        for (std::size_t s = 0; s < store.Slots().size(); ++s) {
            const cds::TSlot& slot = store.Slots()[s];
            if (!cds::IsPresent(image.data(), static_cast<Integer>(s))) continue;
            Byte* value = image.data() + slot.Offset;
            if (slot.BlobIndex >= 0) {
                auto size = reader.Value<std::uint32_t>("a blob");
                const char* data = reader.Take(size, "a blob");
                if (size == 0) {
                    cds::SetPresent(image.data(), static_cast<Integer>(s), false);
                    continue;
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
        auto fields = static_cast<Integer>(store.Slots().size());
        for (Integer bit = fields; bit < store.NullBytes() * 8; ++bit)
            if (cds::IsPresent(image.data(), bit)) TPacketReader::Fail(u"a record has a bad null bitmap");
        store.AppendLoaded(image.data());
    }
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
