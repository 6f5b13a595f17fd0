// Named parameters of an SQL text (":Name"), as the query data sets take them: the list is
// rebuilt from the text whenever the text changes, keeping the values of the names that
// stay. FIXME(db): the framework keeps TParams in the data-access unit; these move there
// when another data set family needs them.
#pragma once

#include "platform/rtl/Variants.h"

#include <memory>
#include <vector>

namespace mv {

class TParam {
public:
    explicit TParam(String name) : FName(std::move(name)) {}

    // Without the leading ':'.
    const String& Name() const { return FName; }
    // Unassigned and Null both bind SQL NULL. Dates bind as ISO-8601 text, booleans as
    // 0/1, currencies as reals.
    const Variant& Value() const { return FValue; }
    void SetValue(const Variant& value) { FValue = value; }
    bool IsNull() const { return VarIsNull(FValue) || VarIsEmpty(FValue); }
    void Clear() { FValue = Null(); }

private:
    String FName;
    Variant FValue;
};

class TParams {
public:
    Integer Count() const { return static_cast<Integer>(FItems.size()); }
    // index must lie in 0..Count-1 (asserted: a caller's bug, not a data condition).
    TParam* Items(Integer index) const;
    // Case-insensitive; null when missing.
    TParam* FindParam(StringView name) const;
    // Raises EDatabaseError "Parameter 'X' not found" when missing.
    TParam* ParamByName(StringView name) const;
    // Rebuilds the list from the ":Name" markers of an SQL text, in order of first
    // appearance; a name used twice is one parameter. Markers inside quotes, [brackets],
    // `backticks` and comments do not count. Values of names that stay are kept.
    void ParseSQL(StringView sql);
    void Clear() { FItems.clear(); }

private:
    std::vector<std::unique_ptr<TParam>> FItems;
};

} // namespace mv
