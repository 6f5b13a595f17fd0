// TClientDataSet filters: the view (the current order with the filter applied), kept up
// to date record by record, and the typed reader the filter engine evaluates stored
// records with. Overview in ClientDataSet.h.
//
// [SECTION] Reader      TImageReader, NormalizeDecimalSeparator, FilterValueKindOf
// [SECTION] View        List, BuildView, RecordAccepted, RecordRemoving, RecordAdded
// [SECTION] Settings    SetFilterText, SetFiltered, SetFilterOptions, CompileFilter
#include "platform/db/ClientDataSet.h"

#include "platform/db/ClientDataSetPrivate.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/SqlTimeStamp.h"

#include <cmath>

namespace mv {

namespace cds {

// ======================================================================================
// [SECTION] Reader
// ======================================================================================

namespace {

constexpr double MSecsPerDayValue = 86400000.0;

// UTF-8 into UTF-16, reusing the scratch's capacity (the filter runs per record).
void DecodeUtf8(const Byte* p, std::size_t length, String& out) {
    out.clear();
    std::size_t i = 0;
    while (i < length) {
        unsigned c = p[i];
        if (c < 0x80) {
            out.push_back(static_cast<Char>(c));
            ++i;
            continue;
        }
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        char32_t value = c & (0x3F >> extra);
        ++i;
        for (int k = 0; k < extra && i < length && (p[i] & 0xC0) == 0x80; ++k, ++i)
            value = (value << 6) | (p[i] & 0x3F);
        if (extra == 0) value = 0xFFFD;
        if (value >= 0x10000) {
            value -= 0x10000;
            out.push_back(static_cast<Char>(0xD800 + (value >> 10)));
            out.push_back(static_cast<Char>(0xDC00 + (value & 0x3FF)));
        } else {
            out.push_back(static_cast<Char>(value));
        }
    }
}

void CopyUtf16(const Byte* p, std::size_t maxUnits, String& out) {
    out.clear();
    for (std::size_t i = 0; i < maxUnits; ++i) {
        Char c = Load<Char>(p + i * 2);
        if (c == 0) break;
        out.push_back(c);
    }
}

TDateTime DateTimeFromMSecs(double msecs) {
    double days = std::floor(msecs / MSecsPerDayValue);
    TTimeStamp stamp{static_cast<Integer>(msecs - days * MSecsPerDayValue), static_cast<Integer>(days)};
    return TimeStampToDateTime(stamp);
}

bool IsMemo(TFieldType type) {
    return type == ftMemo || type == ftFmtMemo || type == ftOraClob;
}

} // namespace

String NormalizeDecimalSeparator(StringView text, Char decimalSeparator) {
    String result(text);
    if (decimalSeparator == u'.') return result;
    Char quote = 0;
    for (std::size_t i = 0; i < result.size(); ++i) {
        Char c = result[i];
        if (quote != 0) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == u'\'' || c == u'"') {
            quote = c;
            continue;
        }
        if (c == u'[') {
            quote = u']';
            continue;
        }
        bool digitBefore = i > 0 && result[i - 1] >= u'0' && result[i - 1] <= u'9';
        bool digitAfter = i + 1 < result.size() && result[i + 1] >= u'0' && result[i + 1] <= u'9';
        if (c != decimalSeparator || !digitBefore || !digitAfter) continue;
        // Only inside a number: the digits before must not end a name such as Field1.
        std::size_t start = i;
        while (start > 0 && result[start - 1] >= u'0' && result[start - 1] <= u'9')
            --start;
        Char lead = start > 0 ? result[start - 1] : u' ';
        bool inName =
            (lead >= u'A' && lead <= u'Z') || (lead >= u'a' && lead <= u'z') || lead == u'_' || lead == u'.';
        if (!inName) result[i] = u'.';
    }
    return result;
}

const std::string* TImageReader::BlobBytes(const TSlot& slot) const {
    const TBlobValue& value = Blobs != nullptr ? Blobs[slot.BlobIndex] : Store->Blob(Image, slot);
    return value && !value->empty() ? value.get() : nullptr;
}

bool TImageReader::IsNull(Integer index) const {
    const TSlot& slot = Store->Slots()[static_cast<std::size_t>(index)];
    if (slot.BlobIndex >= 0) return BlobBytes(slot) == nullptr;
    return !IsPresent(Image, index);
}

bool TImageReader::GetString(Integer index, StringView& value, String& scratch) const {
    const TSlot& slot = Store->Slots()[static_cast<std::size_t>(index)];
    if (IsNull(index)) return false;
    const Byte* p = Image + slot.Offset;
    switch (slot.DataType) {
    case ftString:
    case ftFixedChar:
    case ftGuid:
        DecodeUtf8(p, std::strlen(reinterpret_cast<const char*>(p)), scratch);
        break;
    case ftWideString:
    case ftFixedWideChar:
        CopyUtf16(p, static_cast<std::size_t>(slot.Width / 2), scratch);
        break;
    default:
        if (slot.BlobIndex < 0) return TFilterRecord::GetString(index, value, scratch);
        {
            const std::string* bytes = BlobBytes(slot);
            auto* data = reinterpret_cast<const Byte*>(bytes->data());
            if (IsMemo(slot.DataType))
                DecodeUtf8(data, bytes->size(), scratch);
            else if (slot.DataType == ftWideMemo)
                CopyUtf16(data, bytes->size() / 2, scratch);
            else
                scratch.assign(data, data + bytes->size());
        }
        break;
    }
    value = scratch;
    return true;
}

bool TImageReader::GetInteger(Integer index, Int64& value) const {
    const TSlot& slot = Store->Slots()[static_cast<std::size_t>(index)];
    if (!IsPresent(Image, index)) return false;
    const Byte* p = Image + slot.Offset;
    switch (slot.DataType) {
    case ftSmallint:
        value = Load<std::int16_t>(p);
        return true;
    case ftShortint:
        value = Load<std::int8_t>(p);
        return true;
    case ftByte:
        value = Load<std::uint8_t>(p);
        return true;
    case ftWord:
        value = Load<std::uint16_t>(p);
        return true;
    case ftInteger:
    case ftAutoInc:
        value = Load<std::int32_t>(p);
        return true;
    case ftLongWord:
        value = Load<std::uint32_t>(p);
        return true;
    case ftLargeint:
        value = Load<std::int64_t>(p);
        return true;
    default:
        return TFilterRecord::GetInteger(index, value);
    }
}

bool TImageReader::GetFloat(Integer index, double& value) const {
    const TSlot& slot = Store->Slots()[static_cast<std::size_t>(index)];
    if (!IsPresent(Image, index)) return false;
    const Byte* p = Image + slot.Offset;
    switch (slot.DataType) {
    case ftFloat:
    case ftCurrency:
    case ftExtended:
        value = Load<double>(p);
        return true;
    case ftSingle:
        value = Load<float>(p);
        return true;
    case ftDate:
        value = TimeStampToDateTime(TTimeStamp{0, Load<std::int32_t>(p)});
        return true;
    case ftTime:
        value = Load<std::int32_t>(p) / MSecsPerDayValue;
        return true;
    case ftDateTime:
        value = DateTimeFromMSecs(Load<double>(p));
        return true;
    case ftTimeStamp: {
        TDateTime result = 0;
        if (!TrySQLTimeStampToDateTime(Load<TSQLTimeStamp>(p), result)) return false;
        value = result;
        return true;
    }
    default:
        return TFilterRecord::GetFloat(index, value);
    }
}

bool TImageReader::GetCurrency(Integer index, Currency& value) const {
    const TSlot& slot = Store->Slots()[static_cast<std::size_t>(index)];
    if (!IsPresent(Image, index)) return false;
    if (slot.DataType == ftCurrency) {
        value = Currency::FromDouble(Load<double>(Image + slot.Offset));
        return true;
    }
    return TFilterRecord::GetCurrency(index, value);
}

bool TImageReader::GetBcd(Integer index, TBcd& value) const {
    const TSlot& slot = Store->Slots()[static_cast<std::size_t>(index)];
    if (!IsPresent(Image, index)) return false;
    if (slot.DataType == ftBCD || slot.DataType == ftFMTBcd) {
        value = Load<TBcd>(Image + slot.Offset);
        return true;
    }
    return TFilterRecord::GetBcd(index, value);
}

bool TImageReader::GetBoolean(Integer index, bool& value) const {
    const TSlot& slot = Store->Slots()[static_cast<std::size_t>(index)];
    if (!IsPresent(Image, index)) return false;
    if (slot.DataType == ftBoolean) {
        value = Load<std::int16_t>(Image + slot.Offset) != 0;
        return true;
    }
    return TFilterRecord::GetBoolean(index, value);
}

Variant TImageReader::FieldValue(Integer index) const {
    if (IsNull(index)) return Null();
    const TSlot& slot = Store->Slots()[static_cast<std::size_t>(index)];
    const Byte* p = Image + slot.Offset;
    String text;
    StringView view;
    switch (FilterValueKindOf(slot.DataType)) {
    case fvInteger: {
        Int64 value = 0;
        GetInteger(index, value);
        return static_cast<long long>(value);
    }
    case fvFloat: {
        double value = 0;
        GetFloat(index, value);
        return value;
    }
    case fvDate:
    case fvTime:
    case fvDateTime: {
        if (slot.DataType == ftTimeStamp) return VarSQLTimeStampCreate(Load<TSQLTimeStamp>(p));
        double value = 0;
        GetFloat(index, value);
        return VarFromDateTime(value);
    }
    case fvCurrency:
        return Currency::FromDouble(Load<double>(p));
    case fvBcd:
        return VarFMTBcdCreate(Load<TBcd>(p));
    case fvBoolean:
        return Load<std::int16_t>(p) != 0;
    default:
        break;
    }
    if (slot.DataType == ftBytes) return String(p, p + slot.Width);
    if (slot.DataType == ftVarBytes)
        return String(p + 2, p + 2 + std::min<Integer>(Load<std::uint16_t>(p), slot.Size));
    GetString(index, view, text);
    return String(view);
}

} // namespace cds

TFilterValueKind FilterValueKindOf(TFieldType type) {
    switch (type) {
    case ftString:
    case ftWideString:
    case ftFixedChar:
    case ftFixedWideChar:
    case ftMemo:
    case ftFmtMemo:
    case ftWideMemo:
    case ftOraClob:
        return fvString;
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint:
    case ftLongWord:
    case ftShortint:
    case ftByte:
        return fvInteger;
    case ftFloat:
    case ftSingle:
    case ftExtended:
        return fvFloat;
    case ftCurrency:
        return fvCurrency;
    case ftBCD:
    case ftFMTBcd:
        return fvBcd;
    case ftBoolean:
        return fvBoolean;
    case ftDate:
        return fvDate;
    case ftTime:
        return fvTime;
    case ftDateTime:
    case ftTimeStamp:
        return fvDateTime;
    default:
        return fvOther;
    }
}

// ======================================================================================
// [SECTION] View
// ======================================================================================

namespace {

// Filter names are the stored fields; the engine's field index is the slot.
class TSlotResolver : public TFilterFieldResolver {
public:
    TSlotResolver(TDataSet* dataSet, const cds::TStore& store) : FDataSet(dataSet), FStore(store) {}
    Integer FieldIndex(StringView name) const override {
        TField* field = FDataSet->FindField(name);
        if (field == nullptr) return -1;
        Integer slot = field->FieldNo() - 1;
        return slot >= 0 && slot < static_cast<Integer>(FStore.Slots().size()) ? slot : -1;
    }
    TFilterValueKind FieldValueKind(Integer index) const override {
        return FilterValueKindOf(FStore.Slots()[static_cast<std::size_t>(index)].DataType);
    }

private:
    TDataSet* FDataSet;
    const cds::TStore& FStore;
};

} // namespace

const std::vector<std::uint32_t>& TClientDataSet::List() {
    if (!FViewValid) BuildView();
    return FViewFiltered ? FView : FIndex->Order;
}

bool TClientDataSet::IsFiltering() const {
    return Filtered() && (!FFilterExpression.IsEmpty() || OnFilterRecord);
}

void TClientDataSet::InvalidateView() {
    FViewValid = false;
    FView.clear();
    ++FViewStamp;
}

void TClientDataSet::BuildView() {
    FView.clear();
    bool filtering = IsFiltering();
    FViewFiltered = filtering || FRanged;
    if (FViewFiltered) {
        if (FRanged) BuildRangeProbe();
        const std::vector<std::uint32_t>& order = FIndex->Order;
        auto [first, last] = RangeOf(order);
        for (std::size_t pos = first; pos < last; ++pos)
            if (!filtering || RecordAccepted(order[pos])) FView.push_back(order[pos]);
    }
    FViewValid = true;
    ++FViewStamp;
}

bool TClientDataSet::RecordAccepted(std::uint32_t id) {
    if (!OnFilterRecord) {
        cds::TImageReader reader;
        reader.Store = FStore.get();
        reader.Image = FStore->Image(id);
        return FFilterExpression.Evaluate(reader);
    }
    // The handler reads the record through the fields: it needs a buffer.
    FillBuffer(FScratch, id);
    GetCalcFields(FScratch);
    return FilterRecord(FScratch);
}

bool TClientDataSet::FilterExpressionAccepts() {
    cds::TImageReader reader;
    reader.Store = FStore.get();
    reader.Image = ImageOf(FFilterBuffer);
    reader.Blobs = BlobsOf(FFilterBuffer);
    return FFilterExpression.Evaluate(reader);
}

void TClientDataSet::RecordRemoving(std::uint32_t id) {
    if (!FViewValid || !FViewFiltered) return;
    std::size_t pos = FStore->LowerBound(*FIndex, FView, FStore->Image(id));
    if (pos < FView.size() && FView[pos] == id) {
        FView.erase(FView.begin() + static_cast<std::ptrdiff_t>(pos));
        ++FViewStamp;
    }
}

void TClientDataSet::RecordAdded(std::uint32_t id) {
    if (!FViewValid || !FViewFiltered) return;
    if (!InRange(id) || (IsFiltering() && !RecordAccepted(id))) return;
    std::size_t pos = FStore->LowerBound(*FIndex, FView, FStore->Image(id));
    FView.insert(FView.begin() + static_cast<std::ptrdiff_t>(pos), id);
    ++FViewStamp;
}

// ======================================================================================
// [SECTION] Settings
// ======================================================================================

void TClientDataSet::CompileFilter() {
    if (!FCursorOpen) return;
    String text = cds::NormalizeDecimalSeparator(Filter(), FormatSettings().DecimalSeparator);
    FFilterExpression = TFilterExpression(text, FilterOptions(), TSlotResolver(this, *FStore));
}

void TClientDataSet::Refilter() {
    if (!Active()) return;
    InvalidateView();
    First();
}

void TClientDataSet::SetFilterText(const String& value) {
    if (value == Filter()) return;
    if (Active()) CheckBrowseMode();
    if (FCursorOpen) {
        // Parse first: a rejected text leaves the filter as it was.
        String text = cds::NormalizeDecimalSeparator(value, FormatSettings().DecimalSeparator);
        TFilterExpression expression(text, FilterOptions(), TSlotResolver(this, *FStore));
        TDataSet::SetFilterText(value);
        FFilterExpression = std::move(expression);
    } else {
        TDataSet::SetFilterText(value);
    }
    if (Filtered()) Refilter();
}

void TClientDataSet::SetFiltered(bool value) {
    if (value == Filtered()) return;
    if (Active()) CheckBrowseMode();
    TDataSet::SetFiltered(value);
    Refilter();
}

void TClientDataSet::SetFilterOptions(TFilterOptions value) {
    if (value == FilterOptions()) return;
    if (Active()) CheckBrowseMode();
    if (FCursorOpen) {
        String text = cds::NormalizeDecimalSeparator(Filter(), FormatSettings().DecimalSeparator);
        TFilterExpression expression(text, value, TSlotResolver(this, *FStore));
        TDataSet::SetFilterOptions(value);
        FFilterExpression = std::move(expression);
    } else {
        TDataSet::SetFilterOptions(value);
    }
    if (Filtered()) Refilter();
}

} // namespace mv
