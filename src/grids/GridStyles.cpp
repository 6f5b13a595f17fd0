// The style adjustments of the grid unit: per visual style a flat look for fixed cells, a
// shade of the fixed text, an inflation of the cell frame and a shade of the selected row.
// The painting code (cell painting) reads them; this file only keeps them.
#include "grids/MvDBGridTypes.h"

#include "platform/rtl/StrUtils.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/StyleServices.h"

#include <array>
#include <memory>

namespace mv {

namespace {

struct TStyleRow {
    const char16_t* Name;
    bool Flat;
    Integer FixedText;
    Integer CellFrame;
    Integer SelectRow;
};

// The shipped adjustments. Our platform's own style is called "Windows" and counts as a
// modern one, so the flat entry for it is always registered.
constexpr TStyleRow kStyleRows[] = {
    {u"Windows", true, 0, 0, 0},
    {u"Aqua Light Slate", false, -90, 0, 0},
    {u"Aqua Light Slate 2", false, -90, 0, 0},
    {u"Emerald Light Slate", false, -90, 0, 0},
    {u"Aqua Graphite", false, 0, 1, 0},
    {u"Golden Graphite", false, 0, 1, 0},
    {u"Ruby Graphite", false, 0, 1, 0},
    {u"Glossy 2", false, 0, 1, 0},
    {u"Amethyst Kamri", false, -25, 0, 0},
    {u"Sapphire Kamri", false, -25, 0, 0},
    {u"Smokey Quartz Kamri", false, -25, 0, 0},
    {u"Iceberg Classico", false, -90, 0, 10},
    {u"Lavender Classico", false, -90, 0, 10},
    {u"Slate Classico", false, -90, 0, 10},
    {u"Cyan Dusk", false, -100, 0, 0},
    {u"Cyan Night", false, -50, 0, 0},
    {u"Amakrits", true, 0, 2, -110},
    {u"Auric", false, 0, 1, -75},
    {u"Carbon", false, 25, 1, 0},
    {u"Charcoal Dark Slate", false, 50, 0, 0},
    {u"Metro Green", true, -10, 0, 0},
    {u"Metro Blue", true, 20, 0, 0},
    {u"Metro Black", true, -20, 0, 0},
    {u"Black Rock", true, 0, 0, 0},
    {u"Charcoal Expressive", true, 0, 0, 0},
    {u"Cloud Burst", true, 0, 0, 0},
    {u"Dark Outlet", true, 0, 0, 0},
    {u"Dark Outlet 2", true, 0, 0, 0},
    {u"Dark Outlet LE", true, 0, 0, 0},
    {u"Dark Outlet LE 2", true, 0, 0, 0},
    {u"Night Rider", true, 0, 0, 0},
    {u"Night Rider 2", true, 0, 0, 0},
    {u"Regal Blue", true, 0, 0, 0},
    {u"Windows10 BlackPearl", true, 0, 0, 0},
    {u"Windows10 Media", true, 0, 0, 0},
    {u"Windows10 Media 2", true, 0, 0, 0},
    {u"Windows10 Office Dark", true, 0, 0, 0},
    {u"Windows10 Office Dark2", true, 0, 0, 0},
    {u"Windows10 Vulcan", true, 0, 0, 0},
    {u"Windows10 Vulcan LE", true, 0, 0, 0},
    {u"Blizzard Blue", true, -90, 0, -50},
    {u"Blizzard Blue 2", true, -90, 0, -50},
    {u"Calypso", true, 0, 0, 5},
    {u"Calypso LE", true, 0, 0, 5},
    {u"Calypso SE", true, 0, 0, 5},
    {u"Calypso SLE", true, 0, 0, 5},
    {u"Material Black Pearl", true, 0, 0, 5},
    {u"Material Black Pearl 2", true, 0, 0, 5},
    {u"CornflowerBlue Expressive", true, -35, 0, 0},
    {u"Fiord", false, -40, 0, -10},
    {u"Fiord Flat", true, -90, 0, -55},
    {u"Flat UI Light", true, -30, 0, 10},
    {u"Material White Smoke", true, -30, 0, 10},
    {u"Material White Smoke 2", true, -30, 0, 10},
    {u"Material White Texture", true, -30, 0, 10},
    {u"Windows10 WhiteSmoke", true, -30, 0, 10},
    {u"Gainsboro Sky Light", false, -90, 0, -10},
    {u"Gainsboro Sky Light 2", false, -90, 0, -10},
    {u"Lovender", true, -50, 0, -5},
    {u"Madang", true, -90, 0, -5},
    {u"Madison Dark", false, 60, 0, 10},
    {u"Material Oxford Blue", true, 0, 0, -10},
    {u"Material Oxford Blue 2", true, 0, 0, -10},
    {u"Material Oxford Blue SE", true, 0, 0, -10},
    {u"Material Pattens Blue", true, -60, 0, 0},
    {u"Paradiso", true, -40, 0, 0},
    {u"Puerto Rico", true, -70, 0, 25},
    {u"Quartz", true, -70, 0, -10},
    {u"Quartz Flat", true, -70, 0, -10},
    {u"Regal Blue LE", true, 20, 0, 20},
    {u"Sienna Green Light", true, -45, 0, 0},
    {u"Sienna Green Light LB", true, -45, 0, 0},
    {u"Windows10 Malibu", true, -45, 0, 0},
    {u"Sky 2", true, -90, 0, 0},
    {u"Solitude", true, -60, 0, 0},
    {u"Solitude DB", true, -60, 0, 0},
    {u"Stellar", true, 25, 0, 0},
    {u"Stellar Dark", true, 25, 0, 0},
    {u"Windows10 Zodiac", true, 30, 0, 0},
    {u"Windows10 Zodiac 2", true, 30, 0, 0},
    {u"Zodiac", true, 30, 0, 0},
    {u"Zodiac LE", true, 30, 0, 0},
    {u"Wedgewood Light", false, -35, 0, 10},
    {u"Windows10 Blue Whale", true, 0, 0, -50},
    {u"Windows10 Blue Whale LE", true, 0, 0, 10},
    {u"Windows10 Clear Day", true, -55, 0, -10},
    {u"Windows10 Office Light", true, -20, 0, 10},
    {u"Windows10 Office Light 2", true, -20, 0, 10},
    {u"Windows10 OxfordBlue", true, 0, 0, -35},
    {u"Windows10 Solitude", true, -30, 0, 0},
};

enum TStyleList { slFlat, slFixedText, slCellFrame, slSelectRow, slCount };

struct TStyleRegistry {
    std::array<std::unique_ptr<TStringList>, slCount> Lists;
    Integer Users = 0;
};

TStyleRegistry& Registry() {
    static TStyleRegistry registry;
    return registry;
}

void Put(TStringList& list, StringView name, Integer value) {
    // A zero is the same as no entry; keeping none keeps the lists small.
    list.SetValues(name, value == 0 ? String() : IntToStr(value));
}

void Build(TStyleRegistry& registry) {
    for (auto& list : registry.Lists)
        list = std::make_unique<TStringList>();
    for (const TStyleRow& row : kStyleRows) {
        Put(*registry.Lists[slFlat], row.Name, row.Flat ? 1 : 0);
        Put(*registry.Lists[slFixedText], row.Name, row.FixedText);
        Put(*registry.Lists[slCellFrame], row.Name, row.CellFrame);
        Put(*registry.Lists[slSelectRow], row.Name, row.SelectRow);
    }
}

TStringList& List(TStyleList which) {
    TStyleRegistry& registry = Registry();
    if (!registry.Lists[0]) Build(registry);
    return *registry.Lists[which];
}

Integer Read(TStyleList which, StringView styleName) {
    TStringList& list = List(which);
    Integer index = list.IndexOfName(styleName);
    return index < 0 ? 0 : StrToIntDef(list.ValueFromIndex(index), 0);
}

String ActiveStyleName() {
    return TStyleManager::ActiveStyle().Name();
}

} // namespace

void InitializeGridStyles() {
    TStyleRegistry& registry = Registry();
    if (registry.Users++ == 0 && !registry.Lists[0]) Build(registry);
}

void FinalizeGridStyles() {
    TStyleRegistry& registry = Registry();
    if (registry.Users == 0) return;
    if (--registry.Users == 0)
        for (auto& list : registry.Lists)
            list.reset();
}

bool GetFlatStyle(StringView styleName) {
    return Read(slFlat, styleName) != 0;
}
void SetFlatStyle(StringView styleName, bool value) {
    Put(List(slFlat), styleName, value ? 1 : 0);
}
Integer GetFixedTextStyle(StringView styleName) {
    return Read(slFixedText, styleName);
}
void SetFixedTextStyle(StringView styleName, Integer value) {
    Put(List(slFixedText), styleName, value);
}
Integer GetCellFrameStyle(StringView styleName) {
    return Read(slCellFrame, styleName);
}
void SetCellFrameStyle(StringView styleName, Integer value) {
    Put(List(slCellFrame), styleName, value);
}
Integer GetSelectRowStyle(StringView styleName) {
    return Read(slSelectRow, styleName);
}
void SetSelectRowStyle(StringView styleName, Integer value) {
    Put(List(slSelectRow), styleName, value);
}

bool GetFlatActiveStyle() {
    return GetFlatStyle(ActiveStyleName());
}
void SetFlatActiveStyle(bool value) {
    SetFlatStyle(ActiveStyleName(), value);
}
Integer GetFixedTextActiveStyle() {
    return GetFixedTextStyle(ActiveStyleName());
}
void SetFixedTextActiveStyle(Integer value) {
    SetFixedTextStyle(ActiveStyleName(), value);
}
Integer GetCellFrameActiveStyle() {
    return GetCellFrameStyle(ActiveStyleName());
}
void SetCellFrameActiveStyle(Integer value) {
    SetCellFrameStyle(ActiveStyleName(), value);
}
Integer GetSelectRowActiveStyle() {
    return GetSelectRowStyle(ActiveStyleName());
}
void SetSelectRowActiveStyle(Integer value) {
    SetSelectRowStyle(ActiveStyleName(), value);
}

std::vector<String> StyleAdjustmentNames() {
    std::vector<String> names;
    auto seen = [&](const String& name) {
        for (const String& n : names)
            if (SameText(n, name)) return true;
        return false;
    };
    for (Integer which = 0; which < slCount; ++which) {
        TStringList& list = List(static_cast<TStyleList>(which));
        for (Integer i = 0; i < list.Count(); ++i) {
            String name = list.Names(i);
            if (!seen(name)) names.push_back(name);
        }
    }
    return names;
}

} // namespace mv
