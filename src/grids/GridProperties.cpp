// The grid's plain properties, the hooks that fire its events, and the description of its
// published properties for the class registry and form streaming.
#include "grids/MvDBGrids.h"

#include "platform/db/DataSet.h"

namespace mv {

// ======================================================================================
// [SECTION] Property setters
// ======================================================================================

void TMvCustomDBGrid::SetLookColor(TColor& field, TColor value) {
    if (field == value) return;
    field = value;
    Invalidate();
}

void TMvCustomDBGrid::SetLayoutInteger(Integer& field, Integer value) {
    if (field == value) return;
    field = value;
    LayoutChanged();
}

void TMvCustomDBGrid::SetImageList(TCustomImageList*& field, TCustomImageList* value) {
    if (field == value) return;
    field = value;
    if (value) value->FreeNotification(this);
    LayoutChanged();
}

void TMvCustomDBGrid::SetMenu(TComponent*& field, TComponent* value) {
    if (field == value) return;
    field = value;
    if (value) value->FreeNotification(this);
}

void TMvCustomDBGrid::SetColumns(const TMvDBGridColumns* value) {
    FColumns->Assign(value);
}

void TMvCustomDBGrid::SetFixedCols(Integer value) {
    if (value < 0) value = 0;
    if (value == FFixedCols) return;
    FFixedCols = value;
    LayoutChanged();
    Synchronize();
}

void TMvCustomDBGrid::SetIndicatorWidth(Integer value) {
    if (value < 0) value = 0;
    if (value == FIndicatorWidth) return;
    FIndicatorWidth = value;
    LayoutChanged();
    Synchronize();
}

void TMvCustomDBGrid::BiDiModeChanged() {
    TCustomGrid::BiDiModeChanged();
    Synchronize();
}

void TMvCustomDBGrid::SetScrollBars(TScrollStyle value) {
    if (value == FScrollBars) return;
    FScrollBars = value;
    // The vertical bar is the grid's own; the inherited grid keeps only the horizontal one.
    const bool horizontal = value == ssHorizontal || value == ssBoth;
    TCustomGrid::SetScrollBars(horizontal ? ssHorizontal : ssNone);
    UpdateScrollBar();
}

void TMvCustomDBGrid::FontChanged() {
    TCustomGrid::FontChanged();
    if (!FTitleFont) return; // still being constructed
    FFollowingFont = true;
    if (!FTitleFontAssigned) FTitleFont->Assign(Font());
    if (!FHeaderFontAssigned) FHeaderFont->Assign(Font());
    FFollowingFont = false;
}

void TMvCustomDBGrid::SetTitleFont(const TFont* value) {
    FTitleFont->Assign(value);
    FTitleFontAssigned = true;
    LayoutChanged();
}

void TMvCustomDBGrid::SetHeaderFont(const TFont* value) {
    FHeaderFont->Assign(value);
    FHeaderFontAssigned = true;
    LayoutChanged();
}

void TMvCustomDBGrid::SetStretchMode(bool value) {
    if (value == FStretchMode || FMasterGrid) return;
    FStretchMode = value;
    LayoutChanged();
}

// ======================================================================================
// [SECTION] Hooks that fire events
// ======================================================================================

void TMvCustomDBGrid::ListItemsUpdated() {
    if (OnListItemsUpdated) OnListItemsUpdated(this);
}
void TMvCustomDBGrid::SequenceUpdated() {
    if (OnSequenceUpdated) OnSequenceUpdated(this);
}
void TMvCustomDBGrid::TotalsUpdated() {
    if (OnTotalsUpdated) OnTotalsUpdated(this);
}
void TMvCustomDBGrid::SelectionChanged() {
    if (OnSelectionChanged) OnSelectionChanged(this);
}
void TMvCustomDBGrid::OrderUpdated() {
    if (OnOrderUpdated) OnOrderUpdated(this);
}
void TMvCustomDBGrid::CalcImageIndex(TMvColumn* column, Integer& index) {
    if (OnCalcImageIndex) OnCalcImageIndex(this, column, index);
}
void TMvCustomDBGrid::CellClick(TMvColumn* column) {
    if (OnCellClick) OnCellClick(column);
}
void TMvCustomDBGrid::CellDblClick(TMvColumn* column) {
    if (OnCellDblClick) OnCellDblClick(column);
}
void TMvCustomDBGrid::CellExpand(TMvColumn* column) {
    if (OnCellExpand) OnCellExpand(column);
}
void TMvCustomDBGrid::CellHint(TMvColumn* column, Integer index, THintCell hintCell, String& hintStr) {
    if (OnCellHint) OnCellHint(this, column, index, hintCell, hintStr);
}
void TMvCustomDBGrid::ColExpand(TMvColumn* column) {
    if (OnColExpand) OnColExpand(column);
}
bool TMvCustomDBGrid::ColumnMoving(Integer fromIndex, Integer toIndex) {
    bool accept = true;
    if (OnColumnMoving) OnColumnMoving(this, fromIndex, toIndex, accept);
    return accept;
}
void TMvCustomDBGrid::ColEnter() {
    if (OnColEnter) OnColEnter(this);
}
void TMvCustomDBGrid::ColExit() {
    if (OnColExit) OnColExit(this);
}
void TMvCustomDBGrid::ColTextChanged() {
    if (OnColTextChanged) OnColTextChanged(this);
}
void TMvCustomDBGrid::DrawDataCell(const TRect& rect, TField* field, TGridDrawState state) {
    if (OnDrawDataCell) OnDrawDataCell(this, rect, field, state);
}
void TMvCustomDBGrid::DrawColumnCell(const TRect& rect, Integer dataCol, TMvColumn* column,
                                     TGridDrawState state) {
    if (OnDrawColumnCell) OnDrawColumnCell(this, rect, dataCol, column, state);
}
void TMvCustomDBGrid::EditButtonClick() {
    if (OnEditButtonClick) OnEditButtonClick(this);
}
void TMvCustomDBGrid::ExpandClick(TMvColumn* column) {
    if (OnExpandClick) OnExpandClick(column);
}
void TMvCustomDBGrid::FillerClick() {
    if (OnFillerClick) OnFillerClick(this);
}
void TMvCustomDBGrid::FilterChanged() {
    if (OnFilterChanged) OnFilterChanged(this);
}
void TMvCustomDBGrid::FilterUpdated() {
    if (OnFilterUpdated) OnFilterUpdated(this);
}
void TMvCustomDBGrid::HeaderClick(TMvColumn* column, Integer index) {
    if (OnHeaderClick) OnHeaderClick(column, index);
}
void TMvCustomDBGrid::IndicatorClick() {
    if (OnIndicatorClick) OnIndicatorClick(this);
}
void TMvCustomDBGrid::ListCloseUp(TMvColumn* column, TObject* list, Variant& value, bool& accept) {
    if (OnListCloseUp) OnListCloseUp(column, list, value, accept);
}
void TMvCustomDBGrid::ListDropDown(TMvColumn* column, TObject* list) {
    if (OnListDropDown) OnListDropDown(column, list);
}
void TMvCustomDBGrid::OrderChanged() {
    if (OnOrderChanged) OnOrderChanged(this);
}
void TMvCustomDBGrid::RowExpand(bool expand) {
    if (OnRowExpand) OnRowExpand(this, expand);
}
bool TMvCustomDBGrid::RowExpanding(bool expand) {
    bool allow = true;
    if (OnRowExpanding) OnRowExpanding(this, expand, allow);
    return allow;
}
void TMvCustomDBGrid::SelectedChanged() {
    SelectionChanged();
}
void TMvCustomDBGrid::SelectedColsChanged() {
    if (OnSelectedColsChanged) OnSelectedColsChanged(this);
}
void TMvCustomDBGrid::SelectedRowsChanged() {
    if (OnSelectedRowsChanged) OnSelectedRowsChanged(this);
}
void TMvCustomDBGrid::TitleClick(TMvColumn* column) {
    if (OnTitleClick) OnTitleClick(column);
}
void TMvCustomDBGrid::TotalClick(TMvColumn* column, Integer index) {
    if (OnTotalClick) OnTotalClick(column, index);
}

// ======================================================================================
// [SECTION] Published properties
// ======================================================================================

void TMvCustomDBGrid::RegisterProperties(TPropertyRegistrar<TMvCustomDBGrid>& r) {
    using G = TMvCustomDBGrid;
    r.SetProp(u"Options", GridOptionInfo(), &G::Options, &G::SetOptions)
        .Default(TMvDBGridOptions::FromInt(DefaultGridOptionsValue));
    r.SetProp(u"OptionsEx", GridOptionExInfo(), &G::OptionsEx, &G::SetOptionsEx)
        .Default(TMvDBGridOptionsEx::FromInt(DefaultGridOptionsExValue));
    r.SetProp(u"OptionsExt", GridOptionExtInfo(), &G::OptionsExt, &G::SetOptionsExt)
        .Default(TMvDBGridOptionsExt::FromInt(DefaultGridOptionsExtValue));
    r.SetProp(u"DrawingOptions", DrawingOptionInfo(), &G::DrawingOptions, &G::SetDrawingOptions)
        .Default(TGridDrawingOptions::FromInt(DefaultDrawingOptionsValue))
        .Stored(false);
    r.SetProp(u"HintOptions", HintOptionInfo(), &G::HintOptions, &G::SetHintOptions)
        .Default(TMvHintOptions::FromInt(DefaultHintOptionsValue));
    r.SetProp(u"ResizeOptions", ResizeOptionInfo(), &G::ResizeOptions, &G::SetResizeOptions)
        .Default(TMvResizeOptions::FromInt(DefaultResizeOptionsValue));
    r.SetProp(u"MultiSelectOptions", MultiSelectionInfo(), &G::MultiSelectOptions, &G::SetMultiSelectOptions)
        .Default(TMultiSelectOptions::FromInt(DefaultMultiSelectOptionsValue));
    r.SetProp(u"StyleElements", StyleElementInfo(), &G::StyleElements, &G::SetStyleElements)
        .Default(TStyleElements::FromInt(DefaultStyleElementsValue));
    r.SetProp(u"SystemStyleElements", SystemStyleElementInfo(), &G::SystemStyleElements,
              &G::SetSystemStyleElements)
        .Default(TSystemStyleElements::FromInt(DefaultSystemStyleElementsValue));

    r.ObjectProp<TDataSource>(u"DataSource", &G::DataSource, &G::SetDataSource);
    r.ObjectProp<TMvCustomDBGrid>(u"MasterGrid", &G::MasterGrid, &G::SetMasterGrid);
    r.ObjectProp<TMvDBGridFilter>(u"FilterGrid", &G::FilterGrid, &G::SetFilterGrid);
    r.ObjectProp<TMvDBGridSearch>(u"Search", &G::Search, &G::SetSearch);
    r.ObjectProp<TMvDBGridTreeView>(u"TreeView", &G::TreeView, &G::SetTreeView);
    r.ObjectProp<TMvDBGridTotals>(u"Totals", &G::Totals, &G::SetTotals);
    r.ObjectProp<TMvDBGridSettings>(u"Settings", &G::Settings, &G::SetSettings);
    r.ObjectProp<TMvGridStyle>(u"GridStyle", &G::GridStyle, &G::SetGridStyle);
    r.ObjectProp<TMvScrollProp>(u"ScrollProp", &G::ScrollProp, &G::SetScrollProp);
    r.ObjectProp<TMvDBGridGradient>(u"Gradient", &G::Gradient, &G::SetGradient);

    r.ColorProp(u"Color", &G::Color, &G::SetColor).Default(clWindow);
    r.ColorProp(
         u"FixedColor", [](const G& g) { return g.FixedColor(); }, [](G& g, TColor v) { g.SetFixedColor(v); })
        .Default(clBtnFace);
    r.IntegerProp(u"FixedCols", &G::FixedCols, &G::SetFixedCols).Default(0);
    r.IntegerProp(
         u"GridLineWidth", [](const G& g) { return g.GridLineWidth(); },
         [](G& g, Integer v) { g.SetGridLineWidth(v); })
        .Default(1);
    r.EnumProp(u"ScrollBars", ScrollStyleInfo(), &G::ScrollBars, &G::SetScrollBars).Default(ssBoth);
    r.BooleanProp(
         u"DefaultDrawing", [](const G& g) { return g.DefaultDrawing(); },
         [](G& g, bool v) { g.SetDefaultDrawing(v); })
        .Default(true);
    r.BooleanProp(u"ReadOnly", &G::ReadOnly, &G::SetReadOnly).Default(false);
    r.BooleanProp(u"DragRows", &G::DragRows, &G::SetDragRows).Default(false);
    r.ColorProp(u"HeaderColor", &G::HeaderColor, &G::SetHeaderColor).Default(clBtnFace);
    r.IntegerProp(u"TitleLinesCount", &G::TitleLinesCount, &G::SetTitleLinesCount).Default(1);
    r.IntegerProp(u"HeaderLinesCount", &G::HeaderLinesCount, &G::SetHeaderLinesCount).Default(1);
    r.IntegerProp(u"LinesCount", &G::LinesCount, &G::SetLinesCount).Default(1);
    r.IntegerProp(u"LinesCountMin", &G::LinesCountMin, &G::SetLinesCountMin).Default(1);
    r.IntegerProp(u"LinesCountMax", &G::LinesCountMax, &G::SetLinesCountMax).Default(-1);
    r.IntegerProp(u"DefaultWidthMin", &G::DefaultWidthMin, &G::SetDefaultWidthMin).Default(-1);
    r.IntegerProp(u"DefaultWidthMax", &G::DefaultWidthMax, &G::SetDefaultWidthMax).Default(-1);
    r.BooleanProp(u"StretchMode", &G::StretchMode, &G::SetStretchMode).Default(false);
    r.IntegerProp(u"StretchWidthMin", &G::StretchWidthMin, &G::SetStretchWidthMin).Default(-1);
    r.IntegerProp(u"StretchWidthMax", &G::StretchWidthMax, &G::SetStretchWidthMax).Default(-1);
    r.IntegerProp(u"IndicatorWidth", &G::IndicatorWidth, &G::SetIndicatorWidth).Default(20);
    r.BooleanProp(u"TabStop", &G::TabStop, &G::SetTabStop).Default(true);
    r.StringProp(u"IndicatorHint", &G::IndicatorHint, &G::SetIndicatorHint);
    r.ObjectProp<TFont>(u"TitleFont", &G::TitleFont, &G::SetTitleFont).Stored(&G::IsTitleFontStored);
    r.ObjectProp<TFont>(u"HeaderFont", &G::HeaderFont, &G::SetHeaderFont).Stored(&G::IsHeaderFontStored);
    r.ObjectProp<TCustomImageList>(u"IndicatorImages", &G::IndicatorImages, &G::SetIndicatorImages);
    r.ObjectProp<TCustomImageList>(u"TitleImages", &G::TitleImages, &G::SetTitleImages);
    r.ObjectProp<TCustomImageList>(u"TitleMarkers", &G::TitleMarkers, &G::SetTitleMarkers);
    r.StringProp(u"FillerHint", &G::FillerHint, &G::SetFillerHint);
    r.ObjectProp<TComponent>(u"IndicatorPopupMenu", &G::IndicatorPopupMenu, &G::SetIndicatorPopupMenu);
    r.ObjectProp<TComponent>(u"FillerPopupMenu", &G::FillerPopupMenu, &G::SetFillerPopupMenu);
    r.BooleanProp(u"FillerButton", &G::FillerButton, &G::SetFillerButton).Default(true);
    r.ColorProp(u"FillerColor", &G::FillerColor, &G::SetFillerColor).Default(clBtnFace);
    r.IntegerProp(u"FillerIndex", &G::FillerIndex, &G::SetFillerIndex).Default(-7);
    r.EnumProp(u"FixedStyle", FixedStyleInfo(), &G::FixedStyle, &G::SetFixedStyle).Default(fsDefault);
    r.EnumProp(u"FixedTheme", FixedThemeInfo(), &G::FixedTheme, &G::SetFixedTheme).Default(ftDefault);
    r.EnumProp(u"FocusRect", FocusRectInfo(), &G::FocusRect, &G::SetFocusRect).Default(frAuto);
    r.EnumProp(u"HotButtons", HotButtonsInfo(), &G::HotButtons, &G::SetHotButtons).Default(hbAuto);
    r.EnumProp(u"ListBorder", ListBorderInfo(), &G::ListBorder, &G::SetListBorder).Default(lbAuto);
    r.EnumProp(u"MarkerStyle", MarkerStyleInfo(), &G::MarkerStyle, &G::SetMarkerStyle).Default(msAuto);
    r.EnumProp(u"MarkerTransparent", MarkerTransparentInfo(), &G::MarkerTransparent, &G::SetMarkerTransparent)
        .Default(mtAuto);
    r.ColorProp(u"EditorColor", &G::EditorColor, &G::SetEditorColor).Default(clNone);
    r.ColorProp(u"StripeColor", &G::StripeColor, &G::SetStripeColor).Default(clNone);
    r.ColorProp(u"SelectionColor", &G::SelectionColor, &G::SetSelectionColor).Default(clDefault);
    r.ColorProp(u"SelectRowColor", &G::SelectRowColor, &G::SetSelectRowColor).Default(clDefault);
    r.ColorProp(u"SelectCellColor", &G::SelectCellColor, &G::SetSelectCellColor).Default(clDefault);
    r.ColorProp(u"HighlightText", &G::HighlightText, &G::SetHighlightText).Default(clDefault);
    r.ColorProp(u"DataColLineColor", &G::DataColLineColor, &G::SetDataColLineColor).Default(clDefault);
    r.ColorProp(u"DataRowLineColor", &G::DataRowLineColor, &G::SetDataRowLineColor).Default(clDefault);
    r.BooleanProp(u"Ctl3DAuto", &G::Ctl3DAuto, &G::SetCtl3DAuto).Default(true);
    r.IntegerProp(u"WheelScrollRows", &G::WheelScrollRows, &G::SetWheelScrollRows).Default(0);
    r.StringProp(u"KeyFields", &G::KeyFields, &G::SetKeyFields);
    r.StringProp(u"DetailFields", &G::DetailFields, &G::SetDetailFields);
    // The data set keeps its own filter; the grid's form text does not repeat it.
    r.StringProp(u"Filter", &G::Filter, &G::SetFilter).Stored(false);
    r.BooleanProp(u"Filtered", &G::Filtered, &G::SetFiltered).Stored(false);
}

void RegisterGridClasses() {
    RegisterClasses({ClassOf<TMvDBGrid>()});
}

} // namespace mv
