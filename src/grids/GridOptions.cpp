// The grid's option sets: their type descriptions, the setters and what each change sets
// off, the switch operations, and the unit-level settings of MvDBGrids.
#include "grids/MvDBGrids.h"

#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"
#include "platform/vcl/StyleServices.h"

#include <cstdlib>

namespace mv {

// ======================================================================================
// [SECTION] Unit-level settings
// ======================================================================================

String DefAutoNumberFormat = u"%d.";
String DefAutoNumberTitle = u"No.";
Integer DefAutoNumberWidth = 48;
String DefAutoSelectTitle = u"Select";
Integer DefAutoSelectWidth = 48;
String DefAutoExpandTitle = u"Expand";
Integer DefAutoExpandWidth = 48;
String DefPickTextFormat = u"%1:s - %0:s";
String DefaultIniFileName;
String DefaultRegistryKey = u"\\Software\\Molvar Software\\MvDBGrid";
Integer DelayInterval = 200;
Integer ListDropDownDelay = 8;
bool ListMouseTracking = true;
Integer MaxDropDownRows = 20;
Integer MaxDropDownWidth = 800;
String NullValueString;

String AutoNumberStr(Integer n) {
    if (n < 1) return String();
    return Format(DefAutoNumberFormat, {n});
}

bool IsKoreanUILanguage() {
    // The first of these that is set decides, as the C library's message catalogue does.
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (!value || !*value) continue;
        return value[0] == 'k' && value[1] == 'o' && (value[2] == 0 || value[2] == '_' || value[2] == '.');
    }
    return false;
}

// ======================================================================================
// [SECTION] Type descriptions
// ======================================================================================

const std::shared_ptr<const TEnumInfo>& GridOptionInfo() {
    static const auto info =
        MakeEnumInfo(u"TMvDBGridOption", {u"dgEditing",          u"dgAlwaysShowEditor",
                                          u"dgTitles",           u"dgIndicator",
                                          u"dgColumnResize",     u"dgColLines",
                                          u"dgRowLines",         u"dgTabs",
                                          u"dgRowSelect",        u"dgAlwaysShowSelection",
                                          u"dgConfirmDelete",    u"dgCancelOnExit",
                                          u"dgMultiSelect",      u"dgExtendedSelect",
                                          u"dgInternalSelect",   u"dgRowResize",
                                          u"dgRowScroll",        u"dgHotButtons",
                                          u"dgTitleButtons",     u"dgTitleHeaders",
                                          u"dgTitleWidthOff",    u"dgAllowDeleteOff",
                                          u"dgAllowInsertOff",   u"dgAutoUnselectOff",
                                          u"dgIndicatorMarkOff", u"dgMarkerAutoAlign",
                                          u"dgMarkerAutoSwitch", u"dgMarkerAutoToggle",
                                          u"dgMarkerAscendOnly", u"dgForceSequence",
                                          u"dgThumbTracking",    u"dgRightMoving"});
    return info;
}

const std::shared_ptr<const TEnumInfo>& GridOptionExInfo() {
    static const auto info = MakeEnumInfo(u"TMvDBGridOptionEx", {u"dgBlankRow",
                                                                 u"dgTotalHeader",
                                                                 u"dgTotalValues",
                                                                 u"dgTotalFields",
                                                                 u"dgTotalFooter",
                                                                 u"dgTotalColLines",
                                                                 u"dgTotalHeaderBox",
                                                                 u"dgTotalValuesBox",
                                                                 u"dgTotalFieldsBox",
                                                                 u"dgTotalFooterBox",
                                                                 u"dgTotalDataBoxOnly",
                                                                 u"dgLoadCurrentOrder",
                                                                 u"dgAutoUpdateOrder",
                                                                 u"dgAutoAscendOrder",
                                                                 u"dgAutoKeepSelection",
                                                                 u"dgAutoUpdateSequence",
                                                                 u"dgDelayUpdateSequence",
                                                                 u"dgAutoUpdateTotals",
                                                                 u"dgDelayUpdateTotals",
                                                                 u"dgCalcInvisibleRows",
                                                                 u"dgCalcWholeDataSet",
                                                                 u"dgCalcSelectedRows",
                                                                 u"dgDelaySelectedRows",
                                                                 u"dgTotalHeaderSelected",
                                                                 u"dgTotalValuesSelected",
                                                                 u"dgTotalFooterSelected",
                                                                 u"dgSelectedAutoHidden",
                                                                 u"dgClickSelectOff",
                                                                 u"dgShowEditorByCharOff"});
    return info;
}

const std::shared_ptr<const TEnumInfo>& GridOptionExtInfo() {
    static const auto info =
        MakeEnumInfo(u"TMvDBGridOptionExt",
                     {u"dgAutoNumberColumn", u"dgAutoSelectColumn", u"dgAutoExpandColumn",
                      u"dgAutoUpdateListItems", u"dgDelayUpdateListItems", u"dgGridStyleLists",
                      u"dgMouseScrolling", u"dgMouseTracking", u"dgMarkerClearAllowed", u"dgScrollGridMode",
                      u"dgScrollPageMode", u"dgScrollRowsMode", u"dgForceSystemTheme", u"dgForceSystemButton",
                      u"dgForceSystemMarker", u"dgForceCustomized", u"dgScaleByParentFont"});
    return info;
}

const std::shared_ptr<const TEnumInfo>& DrawingOptionInfo() {
    static const auto info =
        MakeEnumInfo(u"TGridDrawingOption", {u"gdoHighlightText", u"gdoDataColLines", u"gdoDataRowLines",
                                             u"gdoSelectedCell", u"gdoSelectedRow", u"gdoMultiSelected",
                                             u"gdoTotalSelected", u"gdoStripedRows", u"gdoEditorColor"});
    return info;
}

const std::shared_ptr<const TEnumInfo>& HintOptionInfo() {
    static const auto info = MakeEnumInfo(
        u"TMvHintOption",
        {u"hoTitleHints", u"hoShowTitleHints", u"hoEditorHints", u"hoShowEditorHints", u"hoShowToolTips",
         u"hoKeepShowToolTips", u"hoAlwaysShowToolTips", u"hoDataHints", u"hoShowDataHints",
         u"hoAllowForGraphics", u"hoTotalHints", u"hoShowTotalHints", u"hoShowTotalToolTips"});
    return info;
}

const std::shared_ptr<const TEnumInfo>& ResizeOptionInfo() {
    static const auto info = MakeEnumInfo(
        u"TMvResizeOption", {u"roColumnResize", u"roOptimalWidth", u"roDefaultWidth", u"roColumnMoving"});
    return info;
}

const std::shared_ptr<const TEnumInfo>& MultiSelectionInfo() {
    static const auto info =
        MakeEnumInfo(u"TMultiSelection", {u"msNone", u"msRows", u"msCols", u"msCells", u"msFixed"});
    return info;
}

const std::shared_ptr<const TEnumInfo>& StyleElementInfo() {
    static const auto info = MakeEnumInfo(u"TStyleElement", {u"seFont", u"seClient", u"seBorder"});
    return info;
}

const std::shared_ptr<const TEnumInfo>& SystemStyleElementInfo() {
    static const auto info =
        MakeEnumInfo(u"TSystemStyleElement", {u"sseFixed", u"sseText", u"sseButton", u"sseMarker", u"sseData",
                                              u"sseFont", u"sseClient", u"sseSearch"});
    return info;
}

const std::shared_ptr<const TEnumInfo>& FixedStyleInfo() {
    static const auto info = MakeEnumInfo(u"TFixedStyle", {u"fsDefault", u"fsSoft", u"fsNice", u"fsFlat",
                                                           u"fsGreat", u"fsGray", u"fsFine", u"fsMild"});
    return info;
}

const std::shared_ptr<const TEnumInfo>& FixedThemeInfo() {
    static const auto info = MakeEnumInfo(u"TFixedTheme", {u"ftNone", u"ftDefault", u"ftButtons", u"ftTabs"});
    return info;
}

const std::shared_ptr<const TEnumInfo>& FocusRectInfo() {
    static const auto info =
        MakeEnumInfo(u"TFocusRect", {u"frAuto", u"frDefault", u"frGray", u"frMild", u"frNone"});
    return info;
}

const std::shared_ptr<const TEnumInfo>& HotButtonsInfo() {
    static const auto info =
        MakeEnumInfo(u"THotButtons", {u"hbAuto", u"hbNone", u"hbBump", u"hbTile", u"hbLowered", u"hbRaised"});
    return info;
}

const std::shared_ptr<const TEnumInfo>& ListBorderInfo() {
    static const auto info = MakeEnumInfo(u"TListBorder", {u"lbAuto", u"lbDefault", u"lbGray", u"lbMild"});
    return info;
}

const std::shared_ptr<const TEnumInfo>& MarkerStyleInfo() {
    static const auto info =
        MakeEnumInfo(u"TMarkerStyle", {u"msAuto", u"msAutoGray", u"msDefault", u"msSoft", u"msRaisedDark",
                                       u"msRaisedGray", u"msRaisedMild", u"msLoweredDark", u"msLoweredGray",
                                       u"msLoweredMild", u"msFlat", u"msGray", u"msMild"});
    return info;
}

const std::shared_ptr<const TEnumInfo>& MarkerTransparentInfo() {
    static const auto info = MakeEnumInfo(u"TMarkerTransparent", {u"mtAuto", u"mtFalse", u"mtTrue"});
    return info;
}

const std::shared_ptr<const TEnumInfo>& CheckBoxStyleInfo() {
    static const auto info =
        MakeEnumInfo(u"TCheckBoxStyle",
                     {u"cbAuto", u"cbAutoGray", u"cbAutoLowered", u"cbDefault", u"cbSoft", u"cbLoweredDark",
                      u"cbLoweredGray", u"cbLoweredMild", u"cbFlat", u"cbGray", u"cbMild"});
    return info;
}

const std::shared_ptr<const TEnumInfo>& ScrollStyleInfo() {
    static const auto info =
        MakeEnumInfo(u"TScrollStyle", {u"ssNone", u"ssHorizontal", u"ssVertical", u"ssBoth"});
    return info;
}

// ======================================================================================
// [SECTION] Option setters
// ======================================================================================

namespace {

template <typename S> bool Changed(const S& oldValue, const S& newValue, const S& members) {
    return !((oldValue * members) == (newValue * members));
}

template <typename S, typename E> bool Added(const S& oldValue, const S& newValue, E member) {
    return newValue.Contains(member) && !oldValue.Contains(member);
}

template <typename S> S Switched(S value, const S& subset, bool on) {
    return on ? value + subset : value - subset;
}

// The inherited grid options that the grid's own options decide.
const TGridOptions kMappedGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine,         goHorzLine,
                                      goRowSizing,     goColSizing,     goColMoving,        goEditing,
                                      goTabs,          goRowSelect,     goAlwaysShowEditor, goThumbTracking};

} // namespace

// Derives the inherited grid options; removes what dgRowSelect excludes from value.
void TMvCustomDBGrid::ApplyGridOptions(TMvDBGridOptions& value) {
    TGridOptions gridOptions = TCustomGrid::Options() - kMappedGridOptions;
    if (value.Contains(dgColLines)) gridOptions += goVertLine;
    if (value.Contains(dgRowLines)) gridOptions += goHorzLine;
    if (TStyleManager::IsCustomStyleActive() || (FGradient && FGradient->Active()))
        gridOptions += TGridOptions{goFixedVertLine, goFixedHorzLine};
    if (value.Contains(dgColumnResize)) gridOptions += TGridOptions{goColSizing, goColMoving};
    if (value.Contains(dgRowResize)) gridOptions += goRowSizing;
    if (value.Contains(dgTabs)) gridOptions += goTabs;
    if (value.Contains(dgRowSelect)) {
        gridOptions += goRowSelect;
        value -= TMvDBGridOptions{dgEditing, dgAlwaysShowEditor};
    }
    if (value.Contains(dgEditing)) gridOptions += goEditing;
    if (value.Contains(dgAlwaysShowEditor)) gridOptions += goAlwaysShowEditor;
    if (value.Contains(dgThumbTracking)) gridOptions += goThumbTracking;
    TCustomGrid::SetOptions(gridOptions);
}

void TMvCustomDBGrid::SetOptions(TMvDBGridOptions value) {
    if (value == FOptions) return;
    ApplyGridOptions(value);
    if (FOptions.Contains(dgMultiSelect) && !value.Contains(dgMultiSelect))
        ClearSelection();
    else if (Added(FOptions, value, dgRowSelect) && FSelectedCols->Count() > 0)
        ClearSelection();

    const TMvDBGridOptions old = FOptions;
    FOptions = value;
    static const TMvDBGridOptions layoutMembers{
        dgEditing,          dgAlwaysShowEditor, dgTitles,       dgIndicator,
        dgColLines,         dgRowLines,         dgRowSelect,    dgAlwaysShowSelection,
        dgMultiSelect,      dgInternalSelect,   dgTitleHeaders, dgTitleWidthOff,
        dgIndicatorMarkOff, dgMarkerAutoAlign,  dgForceSequence};
    static const TMvDBGridOptions editorMembers{dgTitles,   dgIndicator,    dgColLines,
                                                dgRowLines, dgTitleHeaders, dgTitleWidthOff};
    if (Changed(old, value, TMvDBGridOptions{dgForceSequence})) UpdateSequence(false);
    if (Changed(old, value, layoutMembers)) LayoutChanged();
    if (Changed(old, value, editorMembers) && HandleAllocated()) InvalidateEditor();
    // FIXME(layout): dgIndicator, dgColLines and dgTitleWidthOff stretch the columns again
    // once the geometry subsystem's stretch mode exists.
    // FIXME(titles): dgMarkerAutoSwitch/Toggle/AscendOnly refresh the title sort markers.
    if (Changed(old, value, TMvDBGridOptions{dgColLines, dgRowLines})) InvalidateBorder();
}

void TMvCustomDBGrid::SetOptionsEx(TMvDBGridOptionsEx value) {
    if (!Designing() && value.Contains(dgSelectedAutoHidden)) {
        const bool selected = FTotals->Selected();
        const std::pair<TMvDBGridOptionEx, TMvDBGridOptionEx> pairs[] = {
            {dgTotalHeaderSelected, dgTotalHeader},
            {dgTotalValuesSelected, dgTotalValues},
            {dgTotalFooterSelected, dgTotalFooter}};
        for (auto [selectedMember, row] : pairs) {
            if (!value.Contains(selectedMember)) continue;
            if (selected)
                value += row;
            else
                value -= row;
        }
    }
    if (value == FOptionsEx) return;
    static const TMvDBGridOptionsEx totalRows{dgTotalHeader, dgTotalValues, dgTotalFields, dgTotalFooter};
    static const TMvDBGridOptionsEx selectedRows{dgTotalHeaderSelected, dgTotalValuesSelected,
                                                 dgTotalFooterSelected};
    if (!(value * totalRows).Empty()) value += dgBlankRow;
    if (!(value * selectedRows).Empty()) value -= dgCalcSelectedRows;

    const TMvDBGridOptionsEx old = FOptionsEx;
    FOptionsEx = value;
    static const TMvDBGridOptionsEx orderMembers{dgLoadCurrentOrder, dgAutoUpdateOrder, dgAutoAscendOrder};
    static const TMvDBGridOptionsEx totalsAdded{dgTotalHeader, dgTotalValues, dgTotalFooter,
                                                dgCalcInvisibleRows};
    static const TMvDBGridOptionsEx totalsChanged{dgAutoUpdateTotals,    dgCalcWholeDataSet,
                                                  dgCalcSelectedRows,    dgTotalHeaderSelected,
                                                  dgTotalValuesSelected, dgTotalFooterSelected};
    static const TMvDBGridOptionsEx layoutMembers = TMvDBGridOptionsEx::FromInt((1u << 11) - 1);
    static const TMvDBGridOptionsEx editorMembers = TMvDBGridOptionsEx::FromInt((1u << 5) - 1);
    if (Changed(old, value, orderMembers)) UpdateOrder(true);
    if (Changed(old, value, TMvDBGridOptionsEx{dgAutoUpdateSequence})) UpdateSequence(true);
    if (!((value - old) * totalsAdded).Empty() || Changed(old, value, totalsChanged)) UpdateTotals(true);
    if (Changed(old, value, layoutMembers)) LayoutChanged();
    if (Changed(old, value, editorMembers) && HandleAllocated()) InvalidateEditor();
}

void TMvCustomDBGrid::SetOptionsExt(TMvDBGridOptionsExt value) {
    if (value == FOptionsExt) return;
    const TMvDBGridOptionsExt old = FOptionsExt;
    FOptionsExt = value;
    static const TMvDBGridOptionsExt layoutMembers{dgAutoNumberColumn,  dgAutoSelectColumn,
                                                   dgAutoExpandColumn,  dgForceSystemTheme,
                                                   dgForceSystemButton, dgForceSystemMarker};
    if (Changed(old, value, TMvDBGridOptionsExt{dgAutoUpdateListItems})) UpdateListItems(true);
    if (Changed(old, value, layoutMembers)) LayoutChanged();
    if (Changed(old, value, TMvDBGridOptionsExt{dgScrollGridMode, dgScrollPageMode})) UpdateScrollBar();
}

void TMvCustomDBGrid::SetDrawingOptions(TGridDrawingOptions value) {
    if (value == FDrawingOptions) return;
    FDrawingOptions = value;
    Invalidate();
}

void TMvCustomDBGrid::SetHintOptions(TMvHintOptions value) {
    FHintOptions = value;
}

void TMvCustomDBGrid::SetResizeOptions(TMvResizeOptions value) {
    FResizeOptions = value;
}

void TMvCustomDBGrid::SetMultiSelectOptions(TMultiSelectOptions value) {
    if (value == FMultiSelectOptions) return;
    FMultiSelectOptions = value;
    ClearSelection();
    Invalidate();
}

void TMvCustomDBGrid::SetStyleElements(TStyleElements value) {
    if (value == FStyleElements) return;
    FStyleElements = value;
    UpdateStyleElements();
}

void TMvCustomDBGrid::SetSystemStyleElements(TSystemStyleElements value) {
    if (value == FSystemStyleElements) return;
    FSystemStyleElements = value;
    UpdateStyleElements();
}

void TMvCustomDBGrid::SwitchOptions(TMvDBGridOptions subset, bool on) {
    SetOptions(Switched(FOptions, subset, on));
}
void TMvCustomDBGrid::SwitchOptionsEx(TMvDBGridOptionsEx subset, bool on) {
    SetOptionsEx(Switched(FOptionsEx, subset, on));
}
void TMvCustomDBGrid::SwitchOptionsExt(TMvDBGridOptionsExt subset, bool on) {
    SetOptionsExt(Switched(FOptionsExt, subset, on));
}
void TMvCustomDBGrid::SwitchDrawingOptions(TGridDrawingOptions subset, bool on) {
    SetDrawingOptions(Switched(FDrawingOptions, subset, on));
}
void TMvCustomDBGrid::SwitchHintOptions(TMvHintOptions subset, bool on) {
    SetHintOptions(Switched(FHintOptions, subset, on));
}
void TMvCustomDBGrid::SwitchMultiSelectOptions(TMultiSelectOptions subset, bool on) {
    SetMultiSelectOptions(Switched(FMultiSelectOptions, subset, on));
}
void TMvCustomDBGrid::SwitchResizeOptions(TMvResizeOptions subset, bool on) {
    SetResizeOptions(Switched(FResizeOptions, subset, on));
}
void TMvCustomDBGrid::SwitchStyleElements(TStyleElements subset, bool on) {
    SetStyleElements(Switched(FStyleElements, subset, on));
}
void TMvCustomDBGrid::SwitchSystemStyleElements(TSystemStyleElements subset, bool on) {
    SetSystemStyleElements(Switched(FSystemStyleElements, subset, on));
}

} // namespace mv
