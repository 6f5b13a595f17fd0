// Parameter lists parsed from SQL texts.
#include "platform/sqlite/SQLiteParams.h"

#include "platform/db/DB.h"
#include "platform/rtl/StrUtils.h"
#include "platform/sqlite/SQLiteConsts.h"

#include <cassert>

namespace mv {

namespace {

bool IsNameStart(Char c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_' || c >= 0x80;
}

bool IsNameChar(Char c) {
    return IsNameStart(c) || (c >= u'0' && c <= u'9');
}

// Index just past a quoted run starting at i (the quote doubled inside stays in the run).
std::size_t SkipQuoted(StringView sql, std::size_t i, Char close) {
    for (++i; i < sql.size(); ++i) {
        if (sql[i] != close) continue;
        if (close != u']' && i + 1 < sql.size() && sql[i + 1] == close) {
            ++i;
            continue;
        }
        return i + 1;
    }
    return sql.size();
}

std::size_t SkipComment(StringView sql, std::size_t i) {
    if (sql[i] == u'-') {
        std::size_t end = sql.find(u'\n', i);
        return end == StringView::npos ? sql.size() : end + 1;
    }
    std::size_t end = sql.find(u"*/", i + 2);
    return end == StringView::npos ? sql.size() : end + 2;
}

} // namespace

TParam* TParams::Items(Integer index) const {
    assert(index >= 0 && index < Count() && "TParams::Items: index out of range");
    return FItems[static_cast<std::size_t>(index)].get();
}

TParam* TParams::FindParam(StringView name) const {
    for (const auto& param : FItems)
        if (SameText(param->Name(), name)) return param.get();
    return nullptr;
}

TParam* TParams::ParamByName(StringView name) const {
    TParam* param = FindParam(name);
    if (param == nullptr) DatabaseErrorFmt(SQLiteConsts::SParamNotFound, {String(name)});
    return param;
}

void TParams::ParseSQL(StringView sql) {
    std::vector<std::unique_ptr<TParam>> old = std::move(FItems);
    FItems.clear();
    std::size_t i = 0;
    while (i < sql.size()) {
        Char c = sql[i];
        if (c == u'\'' || c == u'"' || c == u'`') {
            i = SkipQuoted(sql, i, c);
        } else if (c == u'[') {
            i = SkipQuoted(sql, i, u']');
        } else if ((c == u'-' && i + 1 < sql.size() && sql[i + 1] == u'-') ||
                   (c == u'/' && i + 1 < sql.size() && sql[i + 1] == u'*')) {
            i = SkipComment(sql, i);
        } else if (c == u':' && i + 1 < sql.size() && IsNameStart(sql[i + 1])) {
            std::size_t start = ++i;
            while (i < sql.size() && IsNameChar(sql[i]))
                ++i;
            StringView name = sql.substr(start, i - start);
            if (FindParam(name) != nullptr) continue;
            auto param = std::make_unique<TParam>(String(name));
            for (const auto& previous : old)
                if (previous && SameText(previous->Name(), name)) param->SetValue(previous->Value());
            FItems.push_back(std::move(param));
        } else {
            ++i;
        }
    }
}

} // namespace mv
