// TClientDataSet: loading the records of a command run on a connection (Connection,
// CommandText). Overview in ClientDataSet.h.
#include "platform/db/ClientDataSet.h"

#include "platform/db/ClientDataSetPrivate.h"
#include "platform/db/DBConsts.h"

#include <cassert>
#include <string>
#include <vector>

namespace mv {

namespace {

// The source's field for each slot (slot i holds the definition with FieldNo i + 1).
std::vector<TField*> SourceFields(TDataSet& source, const std::vector<cds::TSlot>& slots) {
    std::vector<TField*> fields(slots.size(), nullptr);
    for (std::size_t i = 0; i < slots.size(); ++i) {
        fields[i] = source.Fields()->FieldByNumber(static_cast<Integer>(i) + 1);
        if (fields[i] == nullptr) DatabaseErrorFmt(DBConsts::SFieldNotFound, {slots[i].Name}, &source);
    }
    return fields;
}

} // namespace

std::shared_ptr<cds::TStore> TClientDataSet::FetchFromConnection() {
    assert(FConnection != nullptr && "FetchFromConnection: a connection is required");
    std::unique_ptr<TDataSet> source = FConnection->OpenQuery(FCommandText);
    std::vector<cds::TSlot> slots = cds::SlotsFromDefs(*source->FieldDefs(), this);
    // The copy in memory is ours to edit: what the database computes is read-only there,
    // not here.
    for (cds::TSlot& slot : slots)
        slot.Attributes.Exclude(faReadonly);
    auto store = std::make_shared<cds::TStore>(std::move(slots));
    std::vector<TField*> fields = SourceFields(*source, store->Slots());

    // One pass forward: the source may be unidirectional and hold only the current row.
    std::vector<Byte> image(static_cast<std::size_t>(store->RecordSize()));
    for (; !source->Eof(); source->Next()) {
        std::fill(image.begin(), image.end(), Byte{0});
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const cds::TSlot& slot = store->Slots()[i];
            Byte* target = image.data() + slot.Offset;
            bool present;
            if (slot.BlobIndex >= 0) {
                std::vector<Byte> bytes = fields[i]->AsBytes();
                // An empty blob is no blob, as everywhere in this data set.
                present = !bytes.empty();
                if (present) cds::Store(target, store->AddBlob(std::string(bytes.begin(), bytes.end())));
            } else {
                present = fields[i]->GetData(target);
            }
            cds::SetPresent(image.data(), static_cast<Integer>(i), present);
        }
        store->AppendLoaded(image.data());
    }
    return store;
}

} // namespace mv
