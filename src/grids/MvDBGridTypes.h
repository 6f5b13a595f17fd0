// Vocabulary of the grid unit MvDBGrids: the option sets with their stored defaults, the
// look enumerations, the event types, the unit-level settings and the process-wide style
// adjustments. The grid itself is in MvDBGrids.h, which includes this header.
#pragma once

#include "grids/order/OrderFields.h"
#include "platform/db/DB.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/TypInfo.h"
#include "platform/rtl/Variants.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Grids.h"
#include "platform/vcl/Types.h"

#include <functional>
#include <memory>
#include <vector>

namespace mv {

class TMvColumn;
class TMvColumnTotalValue;
class TStrings;

// ======================================================================================
// [SECTION] Option sets (bit n is the enumerator with value n; the defaults are the
// integers the form files hold, so they must round-trip exactly)
// ======================================================================================

enum TMvDBGridOption {
    dgEditing,
    dgAlwaysShowEditor,
    dgTitles,
    dgIndicator,
    dgColumnResize,
    dgColLines,
    dgRowLines,
    dgTabs,
    dgRowSelect,
    dgAlwaysShowSelection,
    dgConfirmDelete,
    dgCancelOnExit,
    dgMultiSelect,
    dgExtendedSelect,
    dgInternalSelect,
    dgRowResize,
    dgRowScroll,
    dgHotButtons,
    dgTitleButtons,
    dgTitleHeaders,
    dgTitleWidthOff,
    dgAllowDeleteOff,
    dgAllowInsertOff,
    dgAutoUnselectOff,
    dgIndicatorMarkOff,
    dgMarkerAutoAlign,
    dgMarkerAutoSwitch,
    dgMarkerAutoToggle,
    dgMarkerAscendOnly,
    dgForceSequence,
    dgThumbTracking,
    dgRightMoving
};
using TMvDBGridOptions = Set<TMvDBGridOption>;
constexpr std::uint64_t DefaultGridOptionsValue = 169864445; // 0x0A1FECFD

enum TMvDBGridOptionEx {
    dgBlankRow,
    dgTotalHeader,
    dgTotalValues,
    dgTotalFields,
    dgTotalFooter,
    dgTotalColLines,
    dgTotalHeaderBox,
    dgTotalValuesBox,
    dgTotalFieldsBox,
    dgTotalFooterBox,
    dgTotalDataBoxOnly,
    dgLoadCurrentOrder,
    dgAutoUpdateOrder,
    dgAutoAscendOrder,
    dgAutoKeepSelection,
    dgAutoUpdateSequence,
    dgDelayUpdateSequence,
    dgAutoUpdateTotals,
    dgDelayUpdateTotals,
    dgCalcInvisibleRows,
    dgCalcWholeDataSet,
    dgCalcSelectedRows,
    dgDelaySelectedRows,
    dgTotalHeaderSelected,
    dgTotalValuesSelected,
    dgTotalFooterSelected,
    dgSelectedAutoHidden,
    dgClickSelectOff,
    dgShowEditorByCharOff
};
using TMvDBGridOptionsEx = Set<TMvDBGridOptionEx>;
constexpr std::uint64_t DefaultGridOptionsExValue = 74949568; // 0x0477A3C0

enum TMvDBGridOptionExt {
    dgAutoNumberColumn,
    dgAutoSelectColumn,
    dgAutoExpandColumn,
    dgAutoUpdateListItems,
    dgDelayUpdateListItems,
    dgGridStyleLists,
    dgMouseScrolling,
    dgMouseTracking,
    dgMarkerClearAllowed,
    dgScrollGridMode,
    dgScrollPageMode,
    dgScrollRowsMode,
    dgForceSystemTheme,
    dgForceSystemButton,
    dgForceSystemMarker,
    dgForceCustomized,
    dgScaleByParentFont
};
using TMvDBGridOptionsExt = Set<TMvDBGridOptionExt>;
constexpr std::uint64_t DefaultGridOptionsExtValue = 24696; // 0x6078

enum TGridDrawingOption {
    gdoHighlightText,
    gdoDataColLines,
    gdoDataRowLines,
    gdoSelectedCell,
    gdoSelectedRow,
    gdoMultiSelected,
    gdoTotalSelected,
    gdoStripedRows,
    gdoEditorColor
};
using TGridDrawingOptions = Set<TGridDrawingOption>;
constexpr std::uint64_t DefaultDrawingOptionsValue = 127;

enum TMvHintOption {
    hoTitleHints,
    hoShowTitleHints,
    hoEditorHints,
    hoShowEditorHints,
    hoShowToolTips,
    hoKeepShowToolTips,
    hoAlwaysShowToolTips,
    hoDataHints,
    hoShowDataHints,
    hoAllowForGraphics,
    hoTotalHints,
    hoShowTotalHints,
    hoShowTotalToolTips
};
using TMvHintOptions = Set<TMvHintOption>;
constexpr std::uint64_t DefaultHintOptionsValue = 4119;

enum TMvResizeOption { roColumnResize, roOptimalWidth, roDefaultWidth, roColumnMoving };
using TMvResizeOptions = Set<TMvResizeOption>;
constexpr std::uint64_t DefaultResizeOptionsValue = 15;

enum TMultiSelection { msNone, msRows, msCols, msCells, msFixed };
using TMultiSelectOptions = Set<TMultiSelection>;
constexpr std::uint64_t DefaultMultiSelectOptionsValue = 2;

// The framework's style elements: which parts of a control a custom visual style paints.
enum TStyleElement { seFont, seClient, seBorder };
using TStyleElements = Set<TStyleElement>;
constexpr std::uint64_t DefaultStyleElementsValue = 7;

enum TSystemStyleElement { sseFixed, sseText, sseButton, sseMarker, sseData, sseFont, sseClient, sseSearch };
using TSystemStyleElements = Set<TSystemStyleElement>;
constexpr std::uint64_t DefaultSystemStyleElementsValue = 31;

// ======================================================================================
// [SECTION] Look enumerations and other value types
// ======================================================================================

enum TFixedStyle { fsDefault, fsSoft, fsNice, fsFlat, fsGreat, fsGray, fsFine, fsMild };
enum TFixedTheme { ftNone, ftDefault, ftButtons, ftTabs };
enum TFocusRect { frAuto, frDefault, frGray, frMild, frNone };
enum THotButtons { hbAuto, hbNone, hbBump, hbTile, hbLowered, hbRaised };
enum TListBorder { lbAuto, lbDefault, lbGray, lbMild };
enum TMarkerStyle {
    msAuto,
    msAutoGray,
    msDefault,
    msSoft,
    msRaisedDark,
    msRaisedGray,
    msRaisedMild,
    msLoweredDark,
    msLoweredGray,
    msLoweredMild,
    msFlat,
    msGray,
    msMild
};
enum TMarkerTransparent { mtAuto, mtFalse, mtTrue };
enum TCheckBoxStyle {
    cbAuto,
    cbAutoGray,
    cbAutoLowered,
    cbDefault,
    cbSoft,
    cbLoweredDark,
    cbLoweredGray,
    cbLoweredMild,
    cbFlat,
    cbGray,
    cbMild
};
enum TTextKind { tkEdit, tkDisplay, tkReport };
enum THintCell { hcTitle, hcHeader, hcFiller, hcEditor, hcData, hcIndicator, hcTotal };
enum TSelectAction { saUnselect, saSelect, saClear, saDelete, saRefresh };
enum TCalcPass { cpReset, cpCalcRec, cpFinal };
enum TDataRowEnum {
    reAllRows,
    reSelectedRows,
    reSelectedRowsOrAllRows,
    reSelectedRowsOrCurrent,
    reCurrentRow
};
// Which painting parts a cell belongs to (filled in by the painting code).
enum TSelection { slSelected, slFocused, slMultiSelected, slRowSelected, slTotalSelected };
using TSelections = Set<TSelection>;

// Type descriptions for the published properties (names in declaration order).
const std::shared_ptr<const TEnumInfo>& GridOptionInfo();
const std::shared_ptr<const TEnumInfo>& GridOptionExInfo();
const std::shared_ptr<const TEnumInfo>& GridOptionExtInfo();
const std::shared_ptr<const TEnumInfo>& DrawingOptionInfo();
const std::shared_ptr<const TEnumInfo>& HintOptionInfo();
const std::shared_ptr<const TEnumInfo>& ResizeOptionInfo();
const std::shared_ptr<const TEnumInfo>& MultiSelectionInfo();
const std::shared_ptr<const TEnumInfo>& StyleElementInfo();
const std::shared_ptr<const TEnumInfo>& SystemStyleElementInfo();
const std::shared_ptr<const TEnumInfo>& FixedStyleInfo();
const std::shared_ptr<const TEnumInfo>& FixedThemeInfo();
const std::shared_ptr<const TEnumInfo>& FocusRectInfo();
const std::shared_ptr<const TEnumInfo>& HotButtonsInfo();
const std::shared_ptr<const TEnumInfo>& ListBorderInfo();
const std::shared_ptr<const TEnumInfo>& MarkerStyleInfo();
const std::shared_ptr<const TEnumInfo>& MarkerTransparentInfo();
const std::shared_ptr<const TEnumInfo>& CheckBoxStyleInfo();
const std::shared_ptr<const TEnumInfo>& ScrollStyleInfo();

// ======================================================================================
// [SECTION] Event types (each fired by the grid operation of the same name without On)
// ======================================================================================

class TMvCustomDBGrid;
using TMvColumnEvent = std::function<void(TMvColumn* Column)>;
using TMvColumnIndexEvent = std::function<void(TMvColumn* Column, Integer Index)>;
using TMvColGetTextEvent = std::function<void(TMvColumn* Column, String& Text, TTextKind TextKind)>;
using TMvColSetTextEvent = std::function<void(TMvColumn* Column, String& Text)>;
using TMvColumnMovingEvent =
    std::function<void(TObject* Sender, Integer FromIndex, Integer ToIndex, bool& Accept)>;
using TMvColumnScrollEvent = std::function<void(TObject* Sender, Integer LeftIndex)>;
using TMvCalcImageIndexEvent = std::function<void(TObject* Sender, TMvColumn* Column, Integer& Index)>;
using TMvCalcBoldDaysEvent = std::function<void(TObject* Sender, TDateTime Date, bool& BoldDay)>;
using TMvCellHintEvent = std::function<void(TObject* Sender, TMvColumn* Column, Integer Index,
                                            THintCell HintCell, String& HintStr)>;
using TMvDrawColumnCellEvent = std::function<void(TObject* Sender, const TRect& Rect, Integer DataCol,
                                                  TMvColumn* Column, TGridDrawState State)>;
using TMvDrawDataCellEvent =
    std::function<void(TObject* Sender, const TRect& Rect, TField* Field, TGridDrawState State)>;
using TMvPaintColumnCellEvent =
    std::function<void(TObject* Sender, const TRect& Rect, Integer DataCol, TMvColumn* Column, bool Highlight,
                       TSelections Selections, TColor& Color, TFont* Font, TPersistent*& Image)>;
using TMvLayoutEvent = std::function<void(TObject* Sender, TStrings* Layout, bool Apply)>;
using TMvListDropDownEvent = std::function<void(TMvColumn* Column, TObject* List)>;
using TMvListCloseUpEvent =
    std::function<void(TMvColumn* Column, TObject* List, Variant& Value, bool& Accept)>;
using TMvRowExpandEvent = std::function<void(TObject* Sender, bool Expand)>;
using TMvRowExpandingEvent = std::function<void(TObject* Sender, bool Expand, bool& Allow)>;
using TMvRowSelectEvent = std::function<void(TObject* Sender, TSelectAction Action)>;
using TMvTotalCalcQueryEvent = std::function<void(TObject* Sender, TDataSet* DataSet, bool& Accept)>;
using TMvTotalCalcValueEvent =
    std::function<void(TMvColumnTotalValue* Total, TCalcPass Pass, Variant& Value)>;
using TMvTotalGetTextEvent =
    std::function<void(TMvColumn* Column, Integer Index, String& Text, TTextKind TextKind)>;

// ======================================================================================
// [SECTION] Unit-level settings (DefaultDelimiter lives with the order-field functions)
// ======================================================================================

extern String DefAutoNumberFormat; // "%d."
extern String DefAutoNumberTitle;  // "No."
extern Integer DefAutoNumberWidth; // 48
extern String DefAutoSelectTitle;  // "Select"
extern Integer DefAutoSelectWidth; // 48
extern String DefAutoExpandTitle;  // "Expand"
extern Integer DefAutoExpandWidth; // 48
extern String DefPickTextFormat;   // "%1:s - %0:s"
extern String DefaultIniFileName;  // empty
extern String DefaultRegistryKey;  // "\Software\Molvar Software\MvDBGrid"
extern Integer DelayInterval;      // 200 milliseconds: the pause of the deferred jobs
extern Integer ListDropDownDelay;  // 8
extern bool ListMouseTracking;     // true
extern Integer MaxDropDownRows;    // 20
extern Integer MaxDropDownWidth;   // 800
extern String NullValueString;     // empty: the text of null totals

// DefAutoNumberFormat formatted with n for n >= 1; empty otherwise.
String AutoNumberStr(Integer n);

// The first private message of the grid's window: a layout that could not run when it was
// asked for (WM_USER + 100).
constexpr UINT CM_DEFERLAYOUT = WM_USER + 100;

// ======================================================================================
// [SECTION] Style adjustments: four integers per visual style name, 0 when absent
// ======================================================================================

// The registry is built by the first InitializeGridStyles and freed by the matching last
// FinalizeGridStyles (every grid does one of each); the accessors build it on demand when
// no grid exists, so a lookup never fails.
void InitializeGridStyles();
void FinalizeGridStyles();
bool GetFlatStyle(StringView styleName);
void SetFlatStyle(StringView styleName, bool value);
Integer GetFixedTextStyle(StringView styleName);
void SetFixedTextStyle(StringView styleName, Integer value);
Integer GetCellFrameStyle(StringView styleName);
void SetCellFrameStyle(StringView styleName, Integer value);
Integer GetSelectRowStyle(StringView styleName);
void SetSelectRowStyle(StringView styleName, Integer value);
// The same for the style now active (StyleServices().Name()).
bool GetFlatActiveStyle();
void SetFlatActiveStyle(bool value);
Integer GetFixedTextActiveStyle();
void SetFixedTextActiveStyle(Integer value);
Integer GetCellFrameActiveStyle();
void SetCellFrameActiveStyle(Integer value);
Integer GetSelectRowActiveStyle();
void SetSelectRowActiveStyle(Integer value);
// Every style name that has at least one non-zero adjustment (each once).
std::vector<String> StyleAdjustmentNames();

} // namespace mv
