// The grid unit MvDBGrids: TMvCustomDBGrid, the data-aware grid over TCustomGrid, and
// TMvDBGrid, which publishes it. Vocabulary and settings: MvDBGridTypes.h; companions and
// the data link: MvDBGridCompanions.h.
//
// Call flow of a data change:
//   data set event -> TMvGridDataLink (GridDataLink.cpp) -> DataChanged / Scroll /
//   LinkActive (GridRecordWindow.cpp) -> UpdateRowCount -> UpdateActive -> repaint.
// Call flow of a layout:
//   option setter, column or link change -> LayoutChanged -> AcquireLayoutLock ->
//   EndLayout (outermost) -> InternalLayout -> DefineFieldMap -> columns ->
//   UpdateRowCount (GridDeferred.cpp). A layout that cannot run now is deferred with
//   DeferLayout (CM_DEFERLAYOUT posted to the grid's own window).
// Deferred jobs (end of selection, list items, sequence, totals) run at once or on a
// one-shot timer DelayInterval after the last request (GridDeferred.cpp).
//
// Rows, top to bottom: title rows (0 .. TitleOffset-1, the inherited fixed rows), data
// rows (one per buffered record of the link), the blank row, the total rows. Columns: the
// indicator column (with dgIndicator), then one per item of Columns.
//
// Implementation files: GridLifecycle.cpp (construction, loading, streaming, destruction),
// GridOptions.cpp (option sets and their setters, unit settings), GridProperties.cpp
// (plain properties, events, published property registration), GridDataLink.cpp,
// GridRecordWindow.cpp, GridPositions.cpp, GridDeferred.cpp, GridLinking.cpp (data source,
// master grids, notifications), GridCompanions.cpp, GridStyles.cpp.
#pragma once

#include "grids/MvDBGridCompanions.h"
#include "grids/MvDBGridTypes.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Grids.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace mv {

// The grid's in-place editor (the editor subsystem adds lists and buttons).
class TMvDBGridEditor : public TInplaceEdit {
public:
    explicit TMvDBGridEditor(TComponent* owner) : TInplaceEdit(owner) {}
};

// A lazily walked sequence of bookmarks: each step asks the generator for the next one.
class TMvBookmarkEnum {
public:
    using TNext = std::function<bool(TBookmark& bookmark)>;
    explicit TMvBookmarkEnum(TNext next) : FNext(std::move(next)) {}

    class iterator {
    public:
        iterator() = default;
        explicit iterator(TNext* next) : FNext(next) { Advance(); }
        const TBookmark& operator*() const { return FCurrent; }
        iterator& operator++() {
            Advance();
            return *this;
        }
        bool operator==(const iterator& other) const { return FNext == other.FNext; }

    private:
        void Advance() {
            if (FNext && !(*FNext)(FCurrent)) FNext = nullptr;
        }
        TNext* FNext = nullptr;
        TBookmark FCurrent;
    };
    iterator begin() { return iterator(&FNext); }
    iterator end() { return iterator(); }

private:
    TNext FNext;
};

// The grid's description inherits the window control's published properties (bounds,
// Align, Font, PopupMenu, TabOrder, ...).
class TMvCustomDBGrid : public TCustomGrid {
    MV_CLASS(TMvCustomDBGrid, TWinControl);
    explicit TMvCustomDBGrid(TComponent* owner);
    // Order: timers; the settings' automatic save (outside the designer); references to
    // image lists and the master grid; then the companions (see GridLifecycle.cpp).
    ~TMvCustomDBGrid() override;

    // ==================================================================================
    // [SECTION] Option sets (setters: GridOptions.cpp; each ignores an unchanged value)
    // ==================================================================================

    TMvDBGridOptions Options() const { return FOptions; }
    // dgRowSelect removes dgEditing and dgAlwaysShowEditor; the inherited grid options
    // follow; changes run the layout, the sequence count and the editor as needed.
    void SetOptions(TMvDBGridOptions value);
    TMvDBGridOptionsEx OptionsEx() const { return FOptionsEx; }
    // Any total row forces dgBlankRow in; any *Selected total row removes dgCalcSelectedRows.
    void SetOptionsEx(TMvDBGridOptionsEx value);
    TMvDBGridOptionsExt OptionsExt() const { return FOptionsExt; }
    void SetOptionsExt(TMvDBGridOptionsExt value);
    TGridDrawingOptions DrawingOptions() const { return FDrawingOptions; }
    void SetDrawingOptions(TGridDrawingOptions value);
    TMvHintOptions HintOptions() const { return FHintOptions; }
    void SetHintOptions(TMvHintOptions value);
    TMvResizeOptions ResizeOptions() const { return FResizeOptions; }
    void SetResizeOptions(TMvResizeOptions value);
    TMultiSelectOptions MultiSelectOptions() const { return FMultiSelectOptions; }
    void SetMultiSelectOptions(TMultiSelectOptions value);
    TStyleElements StyleElements() const { return FStyleElements; }
    void SetStyleElements(TStyleElements value);
    TSystemStyleElements SystemStyleElements() const { return FSystemStyleElements; }
    void SetSystemStyleElements(TSystemStyleElements value);
    // Adds (on) or removes (!on) a subset through the property's setter.
    void SwitchOptions(TMvDBGridOptions subset, bool on);
    void SwitchOptionsEx(TMvDBGridOptionsEx subset, bool on);
    void SwitchOptionsExt(TMvDBGridOptionsExt subset, bool on);
    void SwitchDrawingOptions(TGridDrawingOptions subset, bool on);
    void SwitchHintOptions(TMvHintOptions subset, bool on);
    void SwitchMultiSelectOptions(TMultiSelectOptions subset, bool on);
    void SwitchResizeOptions(TMvResizeOptions subset, bool on);
    void SwitchStyleElements(TStyleElements subset, bool on);
    void SwitchSystemStyleElements(TSystemStyleElements subset, bool on);

    // ==================================================================================
    // [SECTION] Data source, companions and plain properties (GridProperties.cpp)
    // ==================================================================================

    TDataSource* DataSource() const { return FDataLink->DataSource(); }
    // Refuses the totals' own data source (EDatabaseError SCircularDataLink, silently while
    // loading) and a unidirectional data set (SDataSetUnidirectional); the grid is then
    // unchanged. Otherwise clears the selection and links the source.
    void SetDataSource(TDataSource* value);
    TMvGridDataLink* DataLink() const { return FDataLink.get(); }
    TMvDBGridColumns* Columns() const { return FColumns.get(); }
    void SetColumns(const TMvDBGridColumns* value);
    TMvDBGridFilter* FilterGrid() const { return FFilter.get(); }
    void SetFilterGrid(const TMvDBGridFilter* value) { FFilter->Assign(value); }
    TMvDBGridSearch* Search() const { return FSearch.get(); }
    void SetSearch(const TMvDBGridSearch* value) { FSearch->Assign(value); }
    TMvDBGridTreeView* TreeView() const { return FTreeView.get(); }
    void SetTreeView(const TMvDBGridTreeView* value) { FTreeView->Assign(value); }
    TMvGridStyle* GridStyle() const { return FGridStyle.get(); }
    void SetGridStyle(const TMvGridStyle* value) { FGridStyle->Assign(value); }
    TMvScrollProp* ScrollProp() const { return FScrollProp.get(); }
    void SetScrollProp(const TMvScrollProp* value) { FScrollProp->Assign(value); }
    TMvDBGridSettings* Settings() const { return FSettings.get(); }
    void SetSettings(const TMvDBGridSettings* value) { FSettings->Assign(value); }
    TMvDBGridGradient* Gradient() const { return FGradient.get(); }
    void SetGradient(const TMvDBGridGradient* value) { FGradient->Assign(value); }
    TMvDBGridTotals* Totals() const { return FTotals.get(); }
    void SetTotals(const TMvDBGridTotals* value) { FTotals->Assign(value); }
    TMvBookmarkList* SelectedRows() const { return FSelectedRows.get(); }
    TMvColumnList* SelectedCols() const { return FSelectedCols.get(); }
    // The columns that show, in order (rebuilt by every layout).
    const std::vector<TMvColumn*>& ShowingColumns() const { return FShowingColumns; }

    // Number of data columns frozen at the left (the inherited FixedCols adds the indicator).
    Integer FixedCols() const { return FFixedCols; }
    void SetFixedCols(Integer value);
    // Reads ssBoth by default although only the horizontal bar is the inherited one.
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle value);
    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool value) { FDoubleBuffered = value; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value) { FReadOnly = value; }
    bool DragRows() const { return FDragRows; }
    void SetDragRows(bool value) { FDragRows = value; }
    TFont* TitleFont() const { return FTitleFont.get(); }
    void SetTitleFont(const TFont* value);
    TFont* HeaderFont() const { return FHeaderFont.get(); }
    void SetHeaderFont(const TFont* value);
    // Stored only once assigned; until then they follow the grid font.
    bool IsTitleFontStored() const { return FTitleFontAssigned; }
    bool IsHeaderFontStored() const { return FHeaderFontAssigned; }
    TColor HeaderColor() const { return FHeaderColor; }
    void SetHeaderColor(TColor value) { SetLookColor(FHeaderColor, value); }
    Integer TitleLinesCount() const { return FTitleLinesCount; }
    void SetTitleLinesCount(Integer value) { SetLayoutInteger(FTitleLinesCount, value < 1 ? 1 : value); }
    Integer HeaderLinesCount() const { return FHeaderLinesCount; }
    void SetHeaderLinesCount(Integer value) { SetLayoutInteger(FHeaderLinesCount, value < 1 ? 1 : value); }
    Integer LinesCount() const { return FLinesCount; }
    void SetLinesCount(Integer value) { SetLayoutInteger(FLinesCount, value < 1 ? 1 : value); }
    Integer LinesCountMin() const { return FLinesCountMin; }
    void SetLinesCountMin(Integer value) { FLinesCountMin = value; }
    Integer LinesCountMax() const { return FLinesCountMax; }
    void SetLinesCountMax(Integer value) { FLinesCountMax = value; }
    Integer DefaultWidthMin() const { return FDefaultWidthMin; }
    void SetDefaultWidthMin(Integer value) { FDefaultWidthMin = value; }
    Integer DefaultWidthMax() const { return FDefaultWidthMax; }
    void SetDefaultWidthMax(Integer value) { FDefaultWidthMax = value; }
    bool StretchMode() const { return FStretchMode; }
    // Ignored on a grid that has a master (its widths come from the master).
    void SetStretchMode(bool value);
    Integer StretchWidthMin() const { return FStretchWidthMin; }
    void SetStretchWidthMin(Integer value) { FStretchWidthMin = value; }
    Integer StretchWidthMax() const { return FStretchWidthMax; }
    void SetStretchWidthMax(Integer value) { FStretchWidthMax = value; }
    Integer IndicatorWidth() const { return FIndicatorWidth; }
    void SetIndicatorWidth(Integer value);
    TCustomImageList* IndicatorImages() const { return FIndicatorImages; }
    void SetIndicatorImages(TCustomImageList* value) { SetImageList(FIndicatorImages, value); }
    TCustomImageList* TitleImages() const { return FTitleImages; }
    void SetTitleImages(TCustomImageList* value) { SetImageList(FTitleImages, value); }
    TCustomImageList* TitleMarkers() const { return FTitleMarkers; }
    void SetTitleMarkers(TCustomImageList* value) { SetImageList(FTitleMarkers, value); }
    const String& IndicatorHint() const { return FIndicatorHint; }
    void SetIndicatorHint(const String& value) { FIndicatorHint = value; }
    const String& FillerHint() const { return FFillerHint; }
    void SetFillerHint(const String& value) { FFillerHint = value; }
    TComponent* IndicatorPopupMenu() const { return FIndicatorPopupMenu; }
    void SetIndicatorPopupMenu(TComponent* value) { SetMenu(FIndicatorPopupMenu, value); }
    TComponent* FillerPopupMenu() const { return FFillerPopupMenu; }
    void SetFillerPopupMenu(TComponent* value) { SetMenu(FFillerPopupMenu, value); }
    bool FillerButton() const { return FFillerButton; }
    void SetFillerButton(bool value) { FFillerButton = value; }
    TColor FillerColor() const { return FFillerColor; }
    void SetFillerColor(TColor value) { SetLookColor(FFillerColor, value); }
    Integer FillerIndex() const { return FFillerIndex; }
    void SetFillerIndex(Integer value) { FFillerIndex = value; }
    TFixedStyle FixedStyle() const { return FFixedStyle; }
    void SetFixedStyle(TFixedStyle value) { FFixedStyle = value; }
    TFixedTheme FixedTheme() const { return FFixedTheme; }
    void SetFixedTheme(TFixedTheme value) { FFixedTheme = value; }
    TFocusRect FocusRect() const { return FFocusRect; }
    void SetFocusRect(TFocusRect value) { FFocusRect = value; }
    THotButtons HotButtons() const { return FHotButtons; }
    void SetHotButtons(THotButtons value) { FHotButtons = value; }
    TListBorder ListBorder() const { return FListBorder; }
    void SetListBorder(TListBorder value) { FListBorder = value; }
    TMarkerStyle MarkerStyle() const { return FMarkerStyle; }
    void SetMarkerStyle(TMarkerStyle value) { FMarkerStyle = value; }
    TMarkerTransparent MarkerTransparent() const { return FMarkerTransparent; }
    void SetMarkerTransparent(TMarkerTransparent value) { FMarkerTransparent = value; }
    TColor EditorColor() const { return FEditorColor; }
    void SetEditorColor(TColor value) { SetLookColor(FEditorColor, value); }
    TColor StripeColor() const { return FStripeColor; }
    void SetStripeColor(TColor value) { SetLookColor(FStripeColor, value); }
    TColor SelectionColor() const { return FSelectionColor; }
    void SetSelectionColor(TColor value) { SetLookColor(FSelectionColor, value); }
    TColor SelectRowColor() const { return FSelectRowColor; }
    void SetSelectRowColor(TColor value) { SetLookColor(FSelectRowColor, value); }
    TColor SelectCellColor() const { return FSelectCellColor; }
    void SetSelectCellColor(TColor value) { SetLookColor(FSelectCellColor, value); }
    TColor HighlightText() const { return FHighlightText; }
    void SetHighlightText(TColor value) { SetLookColor(FHighlightText, value); }
    TColor DataColLineColor() const { return FDataColLineColor; }
    void SetDataColLineColor(TColor value) { SetLookColor(FDataColLineColor, value); }
    TColor DataRowLineColor() const { return FDataRowLineColor; }
    void SetDataRowLineColor(TColor value) { SetLookColor(FDataRowLineColor, value); }
    bool Ctl3DAuto() const { return FCtl3DAuto; }
    void SetCtl3DAuto(bool value) { FCtl3DAuto = value; }
    Integer WheelScrollRows() const { return FWheelScrollRows; }
    void SetWheelScrollRows(Integer value) { FWheelScrollRows = value; }
    // The grid's sort order (order-field string). The order subsystem applies it.
    const String& OrderFields() const { return FOrderFields; }
    void SetOrderFields(const String& value) { FOrderFields = value; }
    const String& KeyFields() const { return FKeyFields; }
    void SetKeyFields(const String& value) { FKeyFields = value; }
    const String& DetailFields() const { return FDetailFields; }
    void SetDetailFields(const String& value) { FDetailFields = value; }
    // The data set's own filter members; empty/false/none without a data set.
    String Filter() const;
    void SetFilter(const String& value);
    bool Filtered() const;
    void SetFiltered(bool value);
    TFilterRecordEvent OnFilterRecord() const;
    void SetOnFilterRecord(TFilterRecordEvent value);

    // ==================================================================================
    // [SECTION] Linked grids (GridLinking.cpp)
    // ==================================================================================

    TMvCustomDBGrid* MasterGrid() const { return FMasterGrid; }
    // Joins the ring of value (leaving the present one). A master chain leading back here
    // raises EDatabaseError SCircularDataLink (ignored while loading) and changes nothing.
    void SetMasterGrid(TMvCustomDBGrid* value);
    // The next grid of this grid's ring (itself when alone).
    TMvCustomDBGrid* NextGrid() const { return FNextGrid; }
    // Copies expansion, visibility and width per column, IndicatorWidth, FixedCols, the
    // bidirectional mode and LeftCol to the next grid, which passes them on round the ring.
    void Synchronize();
    bool Synchronizing() const { return FSynchronizing; }

    // ==================================================================================
    // [SECTION] Brackets and deferred work (GridDeferred.cpp)
    // ==================================================================================

    void BeginUpdate();
    void EndUpdate();
    Integer UpdateLock() const { return FUpdateLock; }
    // BeginLayout opens an update bracket (and the columns' on the first level).
    void BeginLayout();
    // At the outermost level runs the layout; then closes the brackets.
    void EndLayout();
    // EndLayout without the layout run.
    void CancelLayout();
    Integer LayoutLock() const { return FLayoutLock; }
    // BeginLayout when no bracket is open; false (and nothing) otherwise.
    bool AcquireLayoutLock();
    // AcquireLayoutLock and, when it succeeds, EndLayout: a change inside an open bracket
    // is carried out by the outermost EndLayout.
    virtual void LayoutChanged();
    // Posts CM_DEFERLAYOUT once (the queue is inspected first), then CancelLayout.
    void DeferLayout();
    // Whether a CM_DEFERLAYOUT is queued for the window.
    bool LayoutDeferred();
    // Update bracket open, a record count or totals computation running, tree view busy.
    bool GetUpdateInProgress() const;
    // Requests of the four deferred jobs (Auto: asked by an automatic trigger, which the
    // job's auto option may switch off).
    void EndSelect(bool Auto = false);
    void UpdateListItems(bool Auto);
    void UpdateSequence(bool Auto);
    void UpdateTotals(bool Auto);
    // A job waits for its timer.
    bool EndSelectPending() const { return FTimers[tjSelect] != nullptr; }
    bool ListItemsPending() const { return FTimers[tjListItems] != nullptr; }
    bool SequencePending() const { return FTimers[tjSequence] != nullptr; }
    bool TotalsPending() const { return FTimers[tjTotals] != nullptr; }
    // Runs every waiting job now, in the order selection, list items, sequence, totals,
    // after posting or cancelling a pending edit.
    virtual void PerformDelayed();

    // ==================================================================================
    // [SECTION] Record window (GridRecordWindow.cpp, GridPositions.cpp)
    // ==================================================================================

    // Moves the cursor by distance records; with synchronize the move keeps the window's
    // row and updates the sequence number. Returns the distance moved.
    Integer MoveBy(Integer distance, bool synchronize = false);
    bool ForcedSequence() const;
    Integer GetRecCount() const;
    Integer GetRecNumber() const;
    void SetupRecCount(Integer value);
    void SetupRecNumber(Integer value);
    // Counts the records (forced sequence): two moves of the data set, the position kept.
    virtual bool UpdateSequenceValues();
    // Row of the active record in the link's window (0 when inactive); SetPosition moves there.
    Integer GetPosition() const;
    void SetPosition(Integer value);
    void DisablePosition();
    void EnablePosition(bool keepCurrent = false);
    bool PositionDisabled() const { return FPositionLock.Count > 0; }
    // Shows the bookmark's record (empty: the current one) in row position of the window.
    bool GotoPosition(Integer position, const TBookmark& bookmark);
    void DisableGrid();
    void EnableGrid();
    bool GridDisabled() const { return FGridLock.Count > 0; }
    bool KeepPosition() const { return !FKeyFields.empty(); }
    // Closes and reopens the data set, back on the record with the same key value.
    void RefreshDataSet(const String& keyFieldName = String());
    Integer GetTitleRowCount() const { return FTitleOffset; }
    Integer GetTotalRowCount() const;
    Integer GetTotalHeaderRowCount() const { return FTotalHeaderRowCount; }
    Integer GetTotalValuesRowCount() const { return FTotalValuesRowCount; }
    Integer GetTotalFieldsRowCount() const;
    Integer GetTotalFooterRowCount() const { return FTotalFooterRowCount; }
    Integer GetBottomRowCount() const { return FBottomRowCount; }
    // Data rows that fit: the scrolling rows that fit minus the bottom rows, at least 1.
    Integer GetVisibleRowCount();
    Integer IndicatorOffset() const { return FIndicatorOffset; }
    Integer RawToDataColumn(Integer column) const { return column - FIndicatorOffset; }
    Integer DataToRawColumn(Integer column) const { return column + FIndicatorOffset; }
    // Index in Columns of the current column (-1 on the indicator).
    Integer SelectedIndex() const { return RawToDataColumn(Col()); }
    TMvColumn* SelectedColumn() const;
    TField* SelectedField() const;
    // Every record from the first (the cursor stays where the walk ends).
    TMvBookmarkEnum DataRows();
    // The current record once, with an active link and data.
    TMvBookmarkEnum CurrentRow();
    // The selected column index once when it is 0 or more.
    std::vector<Integer> CurrentCol() const;
    TMvBookmarkEnum GetDataRowEnum(TDataRowEnum kind);
    // Rows below the data: blank row and totals, as counted by the last layout.
    void UpdateRowCount();
    void UpdateActive();

    // ==================================================================================
    // [SECTION] Public overridable operations
    // ==================================================================================

    // The order-field string the grid reports for its data set (the order subsystem reads
    // the data set; until then the grid's own OrderFields).
    virtual String CurrentDataSetOrder();
    virtual void ChangeDataSetOrder() {}
    virtual void OrderUpdated();
    virtual void ShowSearchPanel() {}
    virtual void UpdateSearchPanel() {}
    // Whether more than one column or total still holds field.
    virtual bool NeedsNotification(TField* field);

    // ==================================================================================
    // [SECTION] Events
    // ==================================================================================

    TMvColumnEvent OnCellClick, OnCellDblClick, OnCellExpand, OnColExpand, OnExpandClick, OnTitleClick;
    TMvColumnIndexEvent OnHeaderClick, OnTotalClick;
    TNotifyEvent OnColEnter, OnColExit, OnColTextChanged, OnColumnResize, OnRowResize, OnFillerClick,
        OnIndicatorClick, OnFilterChanged, OnFilterUpdated, OnListItemsUpdated, OnOrderChanged,
        OnOrderUpdated, OnSelectedRowsChanged, OnSelectedColsChanged, OnSelectionChanged, OnSequenceUpdated,
        OnTotalsUpdated, OnEditButtonClick;
    TMvColGetTextEvent OnColGetText;
    TMvColSetTextEvent OnColSetText;
    TMvColumnMovingEvent OnColumnMoving;
    TMvColumnScrollEvent OnColumnScroll;
    TMvCalcImageIndexEvent OnCalcImageIndex;
    TMvCalcBoldDaysEvent OnCalcBoldDays;
    TMvCellHintEvent OnCellHint;
    TMvDrawColumnCellEvent OnDrawColumnCell;
    TMvDrawDataCellEvent OnDrawDataCell;
    TMvPaintColumnCellEvent OnPaintColumnCell;
    TMvLayoutEvent OnLayout;
    TMvListDropDownEvent OnListDropDown;
    TMvListCloseUpEvent OnListCloseUp;
    TMvRowExpandEvent OnRowExpand;
    TMvRowExpandingEvent OnRowExpanding;
    TMvRowSelectEvent OnRowSelect;
    TMvTotalCalcQueryEvent OnTotalCalcQuery;
    TMvTotalCalcValueEvent OnTotalCalcValue;
    TMvTotalGetTextEvent OnTotalGetText;

    static void RegisterProperties(TPropertyRegistrar<TMvCustomDBGrid>& r);

protected:
    friend class TMvGridDataLink;
    friend class TMvDBGridColumns;
    friend class TMvColumn;
    friend class TMvDBGridGradient;

    // ==================================================================================
    // [SECTION] Factories (each companion is made through one; descendants replace them)
    // ==================================================================================

    virtual std::unique_ptr<TMvDBGridColumns> CreateColumns();
    virtual std::unique_ptr<TMvGridDataLink> CreateDataLink();
    virtual std::unique_ptr<TMvDBGridFilter> CreateFilter();
    virtual std::unique_ptr<TMvDBGridSearch> CreateSearch();
    virtual std::unique_ptr<TMvDBGridTreeView> CreateTreeView();
    virtual std::unique_ptr<TMvGridStyle> CreateGridStyle();
    virtual std::unique_ptr<TMvScrollProp> CreateScrollProp();
    virtual std::unique_ptr<TMvDBGridSettings> CreateSettings();
    virtual std::unique_ptr<TMvDBGridGradient> CreateGradient();
    virtual std::unique_ptr<TMvDBGridTotals> CreateTotals();
    // C++ constructors do not reach a descendant's overrides: a descendant that replaces a
    // factory calls this at the end of its constructor, and every companion is made again
    // through the factories, in the order of construction.
    void ReplaceCompanions();

public:
    // Called by the totals when they first need their link.
    virtual std::unique_ptr<TMvTotalDataLink> CreateTotalDataLink();

protected:
    TInplaceEdit* CreateEditor() override;
    // Title and header fonts are copies of the grid's font until they are changed.
    void FontChanged() override;

    // ==================================================================================
    // [SECTION] Overridable operations of the data link and the layout
    // ==================================================================================

    // Builds the field map from the fields (default columns) or the columns (customized).
    virtual void DefineFieldMap();
    virtual void LinkActive(bool value);
    virtual void DataChanged();
    virtual void Scroll(Integer distance);
    virtual void RecordChanged(TField* field);
    virtual void EditingChanged();
    virtual void UpdateData();
    // The layout run of EndLayout (the geometry subsystem adds the row heights and the
    // stretching; here the field map, columns, counts and row count).
    virtual void InternalLayout();
    virtual void SetColumnAttributes();
    virtual void UpdateScrollBar() {}
    virtual void InvalidateBorder() {}
    virtual void UpdateStyleElements() {}
    virtual void LoadListItems() {}
    virtual void UpdateCalcValues(bool force) { (void)force; }
    // Reapplies the order options (the order subsystem's).
    virtual void UpdateOrder(bool force) { (void)force; }
    virtual void ListItemsUpdated();
    virtual void SequenceUpdated();
    virtual void TotalsUpdated();
    virtual void SelectionChanged();

    // Hooks that fire the event of the same name (GridProperties.cpp).
    virtual void CalcImageIndex(TMvColumn* column, Integer& index);
    virtual void CellClick(TMvColumn* column);
    virtual void CellDblClick(TMvColumn* column);
    virtual void CellExpand(TMvColumn* column);
    virtual void CellHint(TMvColumn* column, Integer index, THintCell hintCell, String& hintStr);
    virtual void ColExpand(TMvColumn* column);
    virtual bool ColumnMoving(Integer fromIndex, Integer toIndex);
    virtual void ColEnter();
    virtual void ColExit();
    virtual void ColTextChanged();
    virtual void DrawDataCell(const TRect& rect, TField* field, TGridDrawState state);
    virtual void DrawColumnCell(const TRect& rect, Integer dataCol, TMvColumn* column, TGridDrawState state);
    virtual void EditButtonClick();
    virtual void ExpandClick(TMvColumn* column);
    virtual void FillerClick();
    virtual void FilterChanged();
    virtual void FilterUpdated();
    virtual void HeaderClick(TMvColumn* column, Integer index);
    virtual void IndicatorClick();
    virtual void ListCloseUp(TMvColumn* column, TObject* list, Variant& value, bool& accept);
    virtual void ListDropDown(TMvColumn* column, TObject* list);
    virtual void OrderChanged();
    virtual void RowExpand(bool expand);
    virtual bool RowExpanding(bool expand);
    virtual void SelectedChanged();
    virtual void SelectedColsChanged();
    virtual void SelectedRowsChanged();
    virtual void TitleClick(TMvColumn* column);
    virtual void TotalClick(TMvColumn* column, Integer index);

    // ==================================================================================
    // [SECTION] Framework overrides
    // ==================================================================================

    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    void DefineProperties(TFiler* filer) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;
    void BiDiModeChanged() override;
    bool SelectCell(Integer col, Integer row) override;

    // Grid-wide flags of the record window and the layout.
    bool Loading() const { return ComponentState().Contains(csLoading); }
    bool Designing() const { return ComponentState().Contains(csDesigning); }
    bool Destroying() const { return ComponentState().Contains(csDestroying); }
    // Set while the data set asked for the layout (a never-assigned column width is then
    // not stored).
    bool DataSetLayout() const { return FDataSetLayout; }
    Integer InternalMoveCount() const { return FInternalMove; }

    // The record window's state.
    Integer FTitleOffset = 0;
    Integer FIndicatorOffset = 0;
    Integer FBottomRowCount = 0;
    Integer FTotalHeaderRowCount = 0;
    Integer FTotalValuesRowCount = 0;
    Integer FTotalFooterRowCount = 0;
    Integer FTotalRowHeight = 0; // 0: the default row height
    Integer FSequenceCount = 0;
    Integer FSequenceNumber = 0;
    Integer FRowOffset = 0; // painting rows other than the current one
    bool FSequenceCounting = false;

private:
    friend class TMvDBGridTestAccess;
    struct TPositionLock {
        Integer Count = 0;
        TBookmark Bookmark;
        Integer Position = 0;
        bool ControlsHeld = false;       // DisableControls was called at the first level ...
        TDataSet* HeldDataSet = nullptr; // ... on this data set (the link may change meanwhile)
        bool WasEnabled = true;          // the grid's Enabled (grid lock only)
    };
    void HoldControls(TPositionLock& lock, TDataSet* dataSet);
    void ReleaseControls(TPositionLock& lock);
    enum TTimerJob { tjSelect, tjListItems, tjSequence, tjTotals, tjCount };
    // Raises the internal-move counter for a scope (the grid itself moves the cursor).
    class TInternalMove {
    public:
        explicit TInternalMove(TMvCustomDBGrid& grid) : FGrid(grid) { ++FGrid.FInternalMove; }
        ~TInternalMove() { --FGrid.FInternalMove; }

    private:
        TMvCustomDBGrid& FGrid;
    };

    void SetLookColor(TColor& field, TColor value);
    void SetLayoutInteger(Integer& field, Integer value);
    void SetImageList(TCustomImageList*& field, TCustomImageList* value);
    void SetMenu(TComponent*& field, TComponent* value);
    void ApplyGridOptions(TMvDBGridOptions& value);
    void ClearSelection();
    bool WantsDelay(TMvDBGridOptionEx delayOption) const;
    bool WantsDelayExt(TMvDBGridOptionExt delayOption) const;
    void ArmTimer(TTimerJob job, void (TMvCustomDBGrid::*handler)(TObject*));
    void FreeTimer(TTimerJob job);
    void DelayEndSelect(TObject* sender);
    void DelayUpdateListItems(TObject* sender);
    void DelayUpdateSequence(TObject* sender);
    void DelayUpdateTotals(TObject* sender);
    void RunEndSelect();
    void RunSequence();
    void RunTotals();
    bool TotalsWanted() const;
    void HandleDeferLayout();
    void RemoveQueuedLayouts();
    void RebuildShowingColumns();
    void CountBottomRows();
    void ApplyBottomRowHeights();
    Integer DataRowHeight() const;
    Integer TotalRowHeight() const;
    void ScrollDataRows(Integer distance);
    void RemoveReferences(TComponent* component);
    void LeaveRing();
    void ReadColumns(TReader& reader);
    void WriteColumns(TWriter& writer);
    bool ColumnsDifferFromAncestor(const TFiler* filer) const;
    void ReadOrderFields(TReader& reader);
    void WriteOrderFields(TWriter& writer);
    void GradientChanged(TObject* sender);

    // Companions (destroyed explicitly in the stated order by the destructor).
    std::unique_ptr<TMvDBGridColumns> FColumns;
    std::vector<TMvColumn*> FShowingColumns;
    std::unique_ptr<TMvDBGridFilter> FFilter;
    std::unique_ptr<TMvDBGridSearch> FSearch;
    std::unique_ptr<TMvDBGridTreeView> FTreeView;
    std::unique_ptr<TMvGridDataLink> FDataLink;
    std::unique_ptr<TMvBookmarkList> FSelectedRows;
    std::unique_ptr<TMvGridStyle> FGridStyle;
    std::unique_ptr<TMvScrollProp> FScrollProp;
    std::unique_ptr<TMvDBGridSettings> FSettings;
    std::unique_ptr<TMvDBGridGradient> FGradient;
    std::unique_ptr<TMvDBGridTotals> FTotals;
    std::unique_ptr<TMvColumnList> FSelectedCols;
    std::unique_ptr<TFont> FTitleFont;
    std::unique_ptr<TFont> FHeaderFont;
    std::unique_ptr<TCustomImageList> FIndicators;
    std::unique_ptr<TCustomImageList> FCheckBoxes;
    std::unique_ptr<TCustomImageList> FExpandBoxes;
    std::array<TTimer*, tjCount> FTimers{};

    // Option sets.
    TMvDBGridOptions FOptions = TMvDBGridOptions::FromInt(DefaultGridOptionsValue);
    TMvDBGridOptionsEx FOptionsEx = TMvDBGridOptionsEx::FromInt(DefaultGridOptionsExValue);
    TMvDBGridOptionsExt FOptionsExt = TMvDBGridOptionsExt::FromInt(DefaultGridOptionsExtValue);
    TGridDrawingOptions FDrawingOptions = TGridDrawingOptions::FromInt(DefaultDrawingOptionsValue);
    TMvHintOptions FHintOptions = TMvHintOptions::FromInt(DefaultHintOptionsValue);
    TMvResizeOptions FResizeOptions = TMvResizeOptions::FromInt(DefaultResizeOptionsValue);
    TMultiSelectOptions FMultiSelectOptions = TMultiSelectOptions::FromInt(DefaultMultiSelectOptionsValue);
    TStyleElements FStyleElements = TStyleElements::FromInt(DefaultStyleElementsValue);
    TSystemStyleElements FSystemStyleElements =
        TSystemStyleElements::FromInt(DefaultSystemStyleElementsValue);

    // Plain properties.
    Integer FFixedCols = 0;
    TScrollStyle FScrollBars = ssBoth;
    bool FDoubleBuffered = false;
    bool FReadOnly = false;
    bool FDragRows = false;
    bool FTitleFontAssigned = false;
    // Set while the title and header fonts follow the grid's font (not a change of theirs).
    bool FFollowingFont = false;
    bool FHeaderFontAssigned = false;
    TColor FHeaderColor = clBtnFace;
    Integer FTitleLinesCount = 1;
    Integer FHeaderLinesCount = 1;
    Integer FLinesCount = 1;
    Integer FLinesCountMin = 1;
    Integer FLinesCountMax = -1;
    Integer FDefaultWidthMin = -1;
    Integer FDefaultWidthMax = -1;
    bool FStretchMode = false;
    Integer FStretchWidthMin = -1;
    Integer FStretchWidthMax = -1;
    Integer FIndicatorWidth = 20;
    TCustomImageList* FIndicatorImages = nullptr;
    TCustomImageList* FTitleImages = nullptr;
    TCustomImageList* FTitleMarkers = nullptr;
    String FIndicatorHint;
    String FFillerHint;
    TComponent* FIndicatorPopupMenu = nullptr;
    TComponent* FFillerPopupMenu = nullptr;
    bool FFillerButton = true;
    TColor FFillerColor = clBtnFace;
    Integer FFillerIndex = -7;
    TFixedStyle FFixedStyle = fsDefault;
    TFixedTheme FFixedTheme = ftDefault;
    TFocusRect FFocusRect = frAuto;
    THotButtons FHotButtons = hbAuto;
    TListBorder FListBorder = lbAuto;
    TMarkerStyle FMarkerStyle = msAuto;
    TMarkerTransparent FMarkerTransparent = mtAuto;
    TColor FEditorColor = clNone;
    TColor FStripeColor = clNone;
    TColor FSelectionColor = clDefault;
    TColor FSelectRowColor = clDefault;
    TColor FSelectCellColor = clDefault;
    TColor FHighlightText = clDefault;
    TColor FDataColLineColor = clDefault;
    TColor FDataRowLineColor = clDefault;
    bool FCtl3DAuto = true;
    Integer FWheelScrollRows = 0;
    String FOrderFields;
    String FKeyFields;
    String FDetailFields;

    // Linked grids.
    TMvCustomDBGrid* FMasterGrid = nullptr;
    TMvCustomDBGrid* FNextGrid = this;
    bool FSynchronizing = false;

    // Brackets and locks.
    Integer FUpdateLock = 0;
    Integer FLayoutLock = 0;
    Integer FInternalMove = 0;
    bool FDataSetLayout = false;
    bool FLayoutAfterUnlock = false; // a deferred layout waits for the brackets to close
    bool FInLayout = false;
    bool FMovingCurrent = false;
    bool FUpdatingRowCount = false;
    TPositionLock FPositionLock;
    TPositionLock FGridLock;
    String FKeptOrderFields;
    // Copies taken when the window is created (the editor's input method).
    Integer FImeMode = 0;
    String FImeName;
};

// Publishes TMvCustomDBGrid's properties and events; adds nothing else.
class TMvDBGrid : public TMvCustomDBGrid {
    MV_CLASS(TMvDBGrid, TMvCustomDBGrid);
    explicit TMvDBGrid(TComponent* owner) : TMvCustomDBGrid(owner) {}
};

// Makes TMvDBGrid known by name to the streaming system, so that form text naming it can
// be read (RegisterVclClasses and RegisterDBClasses do the same for their units).
void RegisterGridClasses();

// Whether the system's user-interface language is Korean (the grid then shows its editor
// always, as input methods there expect). Read from LC_ALL, LC_MESSAGES or LANG.
bool IsKoreanUILanguage();

} // namespace mv
