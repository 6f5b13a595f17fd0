// TMvDBCustomData: Locate and Lookup. A locate runs the fetch's filter loop from the first
// record with the locating flag set, so LocateFilter sees each record in the filter buffer.
//
// [SECTION] Comparing key values   ExactMatch, OptionedMatch
// [SECTION] Locate and lookup      LocateRecord, LocateFilter, Locate, Lookup
#include "treeview/MvDBCustData.h"

#include "platform/rtl/StrUtils.h"

namespace mv {

namespace {

// ======================================================================================
// [SECTION] Comparing key values
// ======================================================================================

// Two arrays match pairwise over 0 .. the upper bound (two arrays with a negative upper
// bound have no pairs and match); an array never matches a single value.
template <typename Compare> bool ValuesMatch(const Variant& values, const Variant& keys, Compare compare) {
    bool valuesArray = VarIsArray(values);
    bool keysArray = VarIsArray(keys);
    if (valuesArray != keysArray) return false;
    if (!valuesArray) return compare(values, keys, true);
    Integer high = VarArrayHighBound(values);
    if (high != VarArrayHighBound(keys)) return false;
    for (Integer i = 0; i <= high; ++i)
        if (!compare(values[i], keys[i], i == high)) return false;
    return true;
}

bool ExactMatch(const Variant& values, const Variant& keys) {
    return ValuesMatch(values, keys, [](const Variant& value, const Variant& key, bool) {
        return VarSameValue(value, key);
    });
}

// The partial key applies to the last pair only; texts are compared as texts, the other
// values with the Variant equality operator.
bool OptionedMatch(const Variant& values, const Variant& keys, TLocateOptions options) {
    bool noCase = options.Contains(loCaseInsensitive);
    bool partial = options.Contains(loPartialKey);
    return ValuesMatch(values, keys, [&](const Variant& value, const Variant& key, bool isLast) {
        bool partialHere = partial && isLast;
        if ((noCase || partialHere) && VarIsStr(value) && VarIsStr(key)) {
            String text = value.AsString();
            String keyText = key.AsString();
            if (partialHere && text.size() > keyText.size()) text.resize(keyText.size());
            return noCase ? AnsiSameText(text, keyText) : text == keyText;
        }
        return value == key;
    });
}

} // namespace

// ======================================================================================
// [SECTION] Locate and lookup
// ======================================================================================

bool TMvDBCustomData::LocateRecord(StringView keyFields, const Variant& keyValues, TLocateOptions options) {
    CheckBrowseMode();
    UpdateCursorPos();
    CursorPosChanged();
    // An unknown key field is the caller's mistake: raised here rather than lost in the
    // filter loop, which hands its exceptions to the application's handler.
    std::vector<TField*> keyFieldList;
    GetFieldList(keyFieldList, keyFields);
    FLocateFields = String(keyFields);
    FLocateValues = keyValues;
    FLocateOptions = options;
    FLocating = true;
    bool found = false;
    try {
        FRecordNumber = -1;
        found = GetRecord(TempBuffer(), gmNext, false) == grOK;
    } catch (...) {
        FLocating = false;
        throw;
    }
    FLocating = false;
    return found;
}

void TMvDBCustomData::LocateFilter(bool& accept) {
    Variant values = FieldValues(FLocateFields);
    accept = FLocateOptions.Empty() ? ExactMatch(values, FLocateValues)
                                    : OptionedMatch(values, FLocateValues, FLocateOptions);
}

bool TMvDBCustomData::Locate(StringView keyFields, const Variant& keyValues, TLocateOptions options) {
    DoBeforeScroll();
    bool found = LocateRecord(keyFields, keyValues, options);
    if (found) {
        Resync({rmExact, rmCenter});
        DoAfterScroll();
    }
    return found;
}

Variant TMvDBCustomData::Lookup(StringView keyFields, const Variant& keyValues, StringView resultFields) {
    if (!LocateRecord(keyFields, keyValues, {})) return Null();
    TTempState temp(*this, dsCalcFields);
    CalculateFields(TempBuffer());
    return FieldValues(resultFields);
}

} // namespace mv
