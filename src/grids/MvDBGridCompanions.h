// The grid's companion objects: the column collection and its columns, the data links,
// and the companions that the later subsystems fill in (totals, filter, search, tree view,
// grid style, scroll bar look, settings, gradient, selection lists). Each holds a back
// reference to its grid and is created by one of the grid's factories (MvDBGrids.h).
//
// What each companion does today: the columns carry their field binding, width,
// visibility, expansion and the references the grid must clear; the grid data link is
// complete (GridDataLink.cpp). The other companions keep their published properties with
// their defaults and answer the questions the grid asks them (Active, Visible, busy
// flags); the work their own subsystems define is not here yet.
#pragma once

#include "grids/MvDBGridTypes.h"
#include "platform/db/DataSet.h"
#include "platform/db/DataSource.h"
#include "platform/rtl/Collection.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/ImageList.h"

#include <memory>
#include <vector>

namespace mv {

class TMvCustomDBGrid;
class TMvDBGridColumns;

// ======================================================================================
// [SECTION] Columns (the minimum the grid spine needs; the column subsystem adds the rest)
// ======================================================================================

// Menus are components; they are held as such so that this header needs no menu unit.
class TMvColumnTitle : public TPersistent {
    MV_CLASS(TMvColumnTitle, TPersistent);
    explicit TMvColumnTitle(TMvColumn* column) : FColumn(column) {}
    static void RegisterProperties(TPropertyRegistrar<TMvColumnTitle>& r);
    void Assign(const TPersistent* source) override;
    TPersistent* GetOwner() const override;

    TMvColumn* Column() const { return FColumn; }
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& value);
    TComponent* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TComponent* value);
    TComponent* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TComponent* value);

private:
    TMvColumn* FColumn;
    String FCaption;
    TComponent* FPopupMenu = nullptr;
    TComponent* FDropDownMenu = nullptr;
};

class TMvColumn : public TCollectionItem {
    MV_CLASS(TMvColumn, TCollectionItem);
    explicit TMvColumn(TCollection* collection = nullptr);
    ~TMvColumn() override;
    static void RegisterProperties(TPropertyRegistrar<TMvColumn>& r);
    void Assign(const TPersistent* source) override;
    String GetDisplayName() const override;

    TMvCustomDBGrid* GetGrid() const;
    const String& FieldName() const { return FFieldName; }
    void SetFieldName(const String& value);
    // The bound field of the linked data set (null while unbound or missing).
    TField* Field() const { return FField; }
    void SetField(TField* value);
    // Columns added by the user or the designer are persistent; those the grid builds from
    // the fields are not (the collection's state follows the last column).
    bool Persistent() const { return FPersistent; }
    void SetPersistent(bool value) { FPersistent = value; }

    bool Visible() const { return FVisible; }
    void SetVisible(bool value);
    // The assigned width, or the grid's default column width while none was assigned.
    Integer Width() const;
    void SetWidth(Integer value);
    bool IsWidthStored() const { return FWidthAssigned; }
    bool Expanded() const { return FExpanded; }
    void SetExpanded(bool value);
    // Number of following columns that this column gathers under its title when expanded.
    Integer ExpandCols() const { return FExpandCols; }
    void SetExpandCols(Integer value);
    bool Expandable() const { return FExpandCols > 0; }

    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* value);
    TComponent* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TComponent* value);
    TComponent* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TComponent* value);
    TDataSet* LookupDataSet() const { return FLookupDataSet; }
    void SetLookupDataSet(TDataSet* value);
    TMvColumnTitle* Title() const { return FTitle.get(); }
    void SetTitle(const TMvColumnTitle* value) { FTitle->Assign(value); }

    // Copies visibility, expansion and width to the column of the same index in the next
    // grid of the master-grid ring, which passes it on (MvDBGrids.h, MasterGrid).
    void Synchronize();
    // Clears every reference to component (image list, menus, lookup data set, field).
    void RemoveReference(TComponent* component);

private:
    void Watch(TComponent* component);
    // The collection hears of the change (the grid runs its layout).
    void PropertyChanged();

    String FFieldName;
    TField* FField = nullptr;
    bool FPersistent = true;
    bool FVisible = true;
    Integer FWidth = 0;
    bool FWidthAssigned = false;
    bool FExpanded = false;
    Integer FExpandCols = 0;
    TCustomImageList* FImages = nullptr;
    TComponent* FPopupMenu = nullptr;
    TComponent* FDropDownMenu = nullptr;
    TDataSet* FLookupDataSet = nullptr;
    std::unique_ptr<TMvColumnTitle> FTitle;
};

enum TDBGridColumnsState { csDefault, csCustomized };

class TMvDBGridColumns : public TCollection {
    MV_CLASS(TMvDBGridColumns, TCollection);
    TMvDBGridColumns(TMvCustomDBGrid* grid, TItemClass itemClass);
    TPersistent* GetOwner() const override;

    TMvCustomDBGrid* Grid() const { return FGrid; }
    TMvColumn* Items(Integer index) const { return static_cast<TMvColumn*>(TCollection::Items(index)); }
    // A persistent column at the end.
    TMvColumn* Add();
    // csCustomized when the last column is persistent, csDefault otherwise (or when empty).
    TDBGridColumnsState State() const;
    // csCustomized makes every column persistent (keeping them), csDefault clears them.
    void SetState(TDBGridColumnsState value);
    // Default state: one non-persistent column per field of the grid's field map, keeping
    // the columns already built for the same fields. Customized: every column is bound
    // again to the field of its FieldName (none when missing).
    void RebuildColumns();

protected:
    void Update(TCollectionItem* item) override;

private:
    TMvCustomDBGrid* FGrid;
};

// ======================================================================================
// [SECTION] Data links
// ======================================================================================

// The grid's link: buffers one record per visible data row and maps the grid's columns to
// the data set's fields (GridDataLink.cpp).
class TMvGridDataLink : public TDataLink {
public:
    // More mapped columns than this raise STooManyColumns.
    static constexpr Integer MaxMapSize = 268435455; // 0x0FFFFFFF

    explicit TMvGridDataLink(TMvCustomDBGrid* grid);
    ~TMvGridDataLink() override;

    TMvCustomDBGrid* Grid() const { return FGrid; }
    // Appends the field's index in the flat field list (-1 when missing and the map is
    // sparse; FieldByName raises for a missing name otherwise). Always true.
    bool AddMapping(StringView fieldName);
    void ClearMapping();
    // The map entry at index; -1 outside the range.
    Integer GetMappedIndex(Integer index) const;
    // The field of the map entry at index; null outside the range or for a -1 entry.
    TField* GetFields(Integer index) const;
    Integer FieldCount() const { return FFieldCount; }
    // Entries the map can hold before it grows (the growth rule is part of its contract).
    Integer FieldMapSize() const { return static_cast<Integer>(FFieldMap.size()); }
    // True with no data set or automatic fields; a sparse map says False as soon as one
    // entry is -1.
    bool DefaultFields() const;
    bool SparseMap() const { return FSparseMap; }
    void SetSparseMap(bool value) { FSparseMap = value; }
    bool Modified() const { return FModified; }
    // The in-place editor changed the current cell's text.
    void Modified(bool value) { FModified = value; }
    bool InUpdateData() const { return FInUpdateData; }
    // With a pending editor change: RecordChanged(null); otherwise Cancel.
    void Reset();
    // The data set's Cancel, counted as an internal move of the grid.
    void Cancel();

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(Integer distance) override;
    void LayoutChanged() override;
    void FocusControl(TFieldRef field) override;
    void EditingChanged() override;
    void RecordChanged(TField* field) override;
    void UpdateData() override;

    // The map's used entries; a descendant may preset it (the map's limit is otherwise
    // out of reach of a test).
    Integer FFieldCount = 0;

private:
    TMvCustomDBGrid* FGrid;
    std::vector<std::int32_t> FFieldMap;
    bool FModified = false;
    bool FInUpdateData = false;
    bool FSparseMap = false;
};

// The totals' own link (its records feed the total-fields rows). The notifications that
// recompute the totals belong to the totals subsystem and do nothing yet.
class TMvTotalDataLink : public TDataLink {
public:
    explicit TMvTotalDataLink(TMvCustomDBGrid* grid);
    TMvCustomDBGrid* Grid() const { return FGrid; }
    virtual void UpdateBufferCount() {}

protected:
    void DataSetScrolled(Integer distance) override { (void)distance; }
    void DataSetChanged() override {}
    void RecordChanged(TField* field) override { (void)field; }

private:
    TMvCustomDBGrid* FGrid;
};

// ======================================================================================
// [SECTION] Companions of the later subsystems: published properties and defaults
// ======================================================================================

class TMvDBGridTotals : public TPersistent {
    MV_CLASS(TMvDBGridTotals, TPersistent);
    explicit TMvDBGridTotals(TMvCustomDBGrid* grid);
    ~TMvDBGridTotals() override;
    static void RegisterProperties(TPropertyRegistrar<TMvDBGridTotals>& r);
    void Assign(const TPersistent* source) override;
    TPersistent* GetOwner() const override;

    TMvCustomDBGrid* Grid() const { return FGrid; }
    // Some total row is switched on in the grid's OptionsEx.
    bool Visible() const;
    // Visible, or rows that appear with a selection (dgSelectedAutoHidden with a *Selected).
    bool Active() const;
    // Whether there is anything to compute; the totals subsystem decides (nothing yet).
    virtual bool HasCalcValues() const { return false; }
    // Set while a computation runs (the grid's GetUpdateInProgress looks at it).
    bool Calculating() const { return FCalculating; }

    TCheckBoxStyle BoxStyle() const { return FBoxStyle; }
    void SetBoxStyle(TCheckBoxStyle value) { FBoxStyle = value; }
    bool CalcValues() const { return FCalcValues; }
    void SetCalcValues(bool value) { FCalcValues = value; }
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    bool IsColorStored() const { return FColorStored; }
    Integer DataMaxRow() const { return FDataMaxRow; }
    void SetDataMaxRow(Integer value) { FDataMaxRow = value < 0 ? 0 : value; }
    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* value) { FFont->Assign(value); }
    // Font's change handler: outside loading the grid stops taking its parent's font.
    virtual void FontChanged();
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* value);
    Integer LinesCount() const { return FLinesCount; }
    void SetLinesCount(Integer value) { FLinesCount = value < 1 ? 1 : value; }
    TColor SelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(TColor value) { FSelectedColor = value; }
    // Rows / columns selected at the end of the last selection gesture.
    bool RowsSelected() const { return FRowsSelected; }
    bool ColsSelected() const { return FColsSelected; }
    void SetSelectedFlags(bool rows, bool cols) {
        FRowsSelected = rows;
        FColsSelected = cols;
    }
    bool Selected() const { return FRowsSelected || FColsSelected; }
    // The totals' link, made on demand through the grid's CreateTotalDataLink.
    TMvTotalDataLink* DataLink() const { return FDataLink.get(); }
    TMvTotalDataLink* EnsureDataLink();
    // Clears every reference to component (images, data source).
    void RemoveReference(TComponent* component);

protected:
    bool FCalculating = false;

private:
    TMvCustomDBGrid* FGrid;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TMvTotalDataLink> FDataLink;
    Integer FLinesCount = 1;
    TCustomImageList* FImages = nullptr;
    Integer FDataMaxRow = 5;
    TCheckBoxStyle FBoxStyle = cbAuto;
    TColor FColor = clBtnFace;
    bool FColorStored = false;
    TColor FSelectedColor = clDefault;
    bool FRowsSelected = false;
    bool FColsSelected = false;
    bool FCalcValues = true;
};

enum TFilterStyle { fsFilterList, fsFilterForm };
using TFilterStyles = Set<TFilterStyle>;
enum TMvDBGridFilterClause {
    fcNoFilter,
    fcContains,
    fcDoesNotContain,
    fcStartsFrom,
    fcDoesNotStartFrom,
    fcEndsWith,
    fcDoesNotEndWith,
    fcIsEqual,
    fcIsNotEqual,
    fcIsGreaterThen,
    fcIsGreaterThenOrEqual,
    fcIsLessThen,
    fcIsLessThenOrEqual,
    fcIsOnTheList,
    fcIsNotOnTheList,
    fcIsEmpty,
    fcIsNotEmpty
};
using TMvDBGridFilterClauses = Set<TMvDBGridFilterClause>;
enum TMvDBGridFilterOption {
    foAutoApplyList,
    foListAnimation,
    foListAlignment,
    foOverlayedList,
    foLoadAllItems,
    foCheckedFirst,
    foAddSelected
};
using TMvDBGridFilterOptions = Set<TMvDBGridFilterOption>;
enum TMvDBGridFilterPeriod {
    fpNoPeriod,
    fpMinute,
    fpHour,
    fpDay,
    fpWeek,
    fpMonth,
    fpQuarter,
    fpSemester,
    fpYear,
    fpDecade,
    fpOther,
    fp10Mins,
    fp15Mins,
    fp20Mins,
    fp30Mins,
    fpHours,
    fpDays,
    fpWeeks,
    fpMonths,
    fpQuarters,
    fpSemesters,
    fpYears,
    fpDecades,
    fpOthers
};
using TMvDBGridFilterPeriods = Set<TMvDBGridFilterPeriod>;

class TMvDBGridFilter : public TPersistent {
    MV_CLASS(TMvDBGridFilter, TPersistent);
    explicit TMvDBGridFilter(TMvCustomDBGrid* grid) : FGrid(grid) {}
    static void RegisterProperties(TPropertyRegistrar<TMvDBGridFilter>& r);
    void Assign(const TPersistent* source) override;
    TPersistent* GetOwner() const override;

    TMvCustomDBGrid* Grid() const { return FGrid; }
    bool AutoFilter() const { return FAutoFilter; }
    void SetAutoFilter(bool value) { FAutoFilter = value; }
    TFilterStyles AutoFilters() const { return FAutoFilters; }
    void SetAutoFilters(TFilterStyles value) { FAutoFilters = value; }
    bool AutoUpdate() const { return FAutoUpdate; }
    void SetAutoUpdate(bool value) { FAutoUpdate = value; }
    TMvDBGridFilterClauses Clauses() const { return FClauses; }
    // fcNoFilter is always kept in.
    void SetClauses(TMvDBGridFilterClauses value) { FClauses = value + fcNoFilter; }
    bool DecimalSeparator() const { return FDecimalSeparator; }
    void SetDecimalSeparator(bool value) { FDecimalSeparator = value; }
    Integer DropDownRows() const { return FDropDownRows; }
    void SetDropDownRows(Integer value) { FDropDownRows = value < 0 ? 0 : value; }
    Integer DropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(Integer value) { FDropDownWidth = value < 0 ? 0 : value; }
    bool Filtered() const { return FFiltered; }
    void SetFiltered(bool value) { FFiltered = value; }
    const String& FilterText() const { return FFilterText; }
    TMvDBGridFilterOptions Options() const { return FOptions; }
    void SetOptions(TMvDBGridFilterOptions value) { FOptions = value; }
    TMvDBGridFilterPeriods Periods() const { return FPeriods; }
    // fpNoPeriod is always kept in.
    void SetPeriods(TMvDBGridFilterPeriods value) { FPeriods = value + fpNoPeriod; }
    // Whether a column filter is defined (none until the filter subsystem defines them).
    bool FilterDefined() const { return !FFilterText.empty(); }
    // Refresh of the filtered-column list and the combined text: the filter subsystem's.
    virtual void UpdateColumns() {}
    virtual void UpdateFilterText() {}

private:
    TMvCustomDBGrid* FGrid;
    bool FAutoFilter = false;
    TFilterStyles FAutoFilters{fsFilterList, fsFilterForm};
    bool FAutoUpdate = true;
    TMvDBGridFilterClauses FClauses = TMvDBGridFilterClauses::FromInt((1u << 17) - 1);
    bool FDecimalSeparator = false;
    Integer FDropDownRows = 0;
    Integer FDropDownWidth = 0;
    bool FFiltered = true;
    String FFilterText;
    TMvDBGridFilterOptions FOptions{foAutoApplyList, foListAnimation, foListAlignment, foOverlayedList};
    TMvDBGridFilterPeriods FPeriods = TMvDBGridFilterPeriods::FromInt(((1u << 24) - 1) & ~(1u << fpOthers));
};

enum TMvSearchOption {
    soCaseSensitive,
    soWholeWords,
    soWrapAround,
    soSkipMessage,
    soCurrentCol,
    soFilterRows
};
using TMvSearchOptions = Set<TMvSearchOption>;

class TMvDBGridSearch : public TPersistent {
    MV_CLASS(TMvDBGridSearch, TPersistent);
    explicit TMvDBGridSearch(TMvCustomDBGrid* grid) : FGrid(grid) {}
    static void RegisterProperties(TPropertyRegistrar<TMvDBGridSearch>& r);
    void Assign(const TPersistent* source) override;
    TPersistent* GetOwner() const override;

    TMvCustomDBGrid* Grid() const { return FGrid; }
    bool Active() const { return FActive; }
    void SetActive(bool value) { FActive = value; }
    TColor Color() const { return FColor; }
    void SetColor(TColor value) { FColor = value; }
    bool Incremental() const { return FIncremental; }
    void SetIncremental(bool value) { FIncremental = value; }
    Integer ListWidth() const { return FListWidth; }
    // Below 1 means the default 104; never below 80.
    void SetListWidth(Integer value);
    TMvSearchOptions Options() const { return FOptions; }
    void SetOptions(TMvSearchOptions value) { FOptions = value; }
    TColor PanelColor() const { return FPanelColor; }
    void SetPanelColor(TColor value) { FPanelColor = value; }
    bool PanelOnTop() const { return FPanelOnTop; }
    void SetPanelOnTop(bool value) { FPanelOnTop = value; }
    bool PanelVisible() const { return FPanelVisible; }
    void SetPanelVisible(bool value) { FPanelVisible = value; }
    const String& Text() const { return FText; }
    void SetText(const String& value) { FText = value; }
    bool Visible() const { return FActive && !FText.empty(); }
    bool FilterActive() const { return !FText.empty() && FOptions.Contains(soFilterRows); }

private:
    TMvCustomDBGrid* FGrid;
    bool FActive = true;
    TColor FColor = clDefault;
    bool FIncremental = false;
    Integer FListWidth = 104;
    TMvSearchOptions FOptions;
    TColor FPanelColor = clDefault;
    bool FPanelOnTop = false;
    bool FPanelVisible = false;
    String FText;
};

class TMvDBGridTreeView : public TPersistent {
    MV_CLASS(TMvDBGridTreeView, TPersistent);
    explicit TMvDBGridTreeView(TMvCustomDBGrid* grid) : FGrid(grid) {}
    static void RegisterProperties(TPropertyRegistrar<TMvDBGridTreeView>& r);
    void Assign(const TPersistent* source) override;
    TPersistent* GetOwner() const override;

    TMvCustomDBGrid* Grid() const { return FGrid; }
    bool AutoActive() const { return FAutoActive; }
    void SetAutoActive(bool value) { FAutoActive = value; }
    bool AutoUpdate() const { return FAutoUpdate; }
    void SetAutoUpdate(bool value) { FAutoUpdate = value; }
    bool CellExpand() const { return FCellExpand; }
    void SetCellExpand(bool value) { FCellExpand = value; }
    Integer OpenToLevel() const { return FOpenToLevel; }
    void SetOpenToLevel(Integer value) { FOpenToLevel = value; }
    const String& ColumnNames() const { return FColumnNames; }
    void SetColumnNames(const String& value) { FColumnNames = value; }
    const String& ParentFields() const { return FParentFields; }
    void SetParentFields(const String& value) { FParentFields = value; }
    // Each name answers its default until another one is stored.
    String RowLevelFieldName() const;
    void SetRowLevelFieldName(const String& value);
    String RowOrderFieldName() const;
    void SetRowOrderFieldName(const String& value);
    String RowStateFieldName() const;
    void SetRowStateFieldName(const String& value);
    Integer RowOrderFieldSize() const { return FRowOrderFieldSize; }
    // Below 1 means the default; 1 to 19 become 20.
    void SetRowOrderFieldSize(Integer value);

    virtual String DefaultRowLevelFieldName() const { return u"RowLevel"; }
    virtual String DefaultRowOrderFieldName() const { return u"RowOrder"; }
    virtual Integer DefaultRowOrderFieldSize() const { return 80; }
    virtual String DefaultRowStateFieldName() const { return u"RowState"; }

    // Whether the tree is shown (the tree view subsystem switches it on; never yet).
    bool Active() const { return FActive; }
    // Set while the tree is recomputed (the grid's GetUpdateInProgress looks at it).
    bool Updating() const { return FUpdating; }
    // The grid tells of a link activation or a data change; the tree subsystem reacts.
    virtual void LinkActive(bool active) { (void)active; }
    virtual void DataChanged() {}

protected:
    bool FActive = false;
    bool FUpdating = false;

private:
    TMvCustomDBGrid* FGrid;
    bool FAutoActive = true;
    bool FAutoUpdate = true;
    bool FCellExpand = false;
    Integer FOpenToLevel = -1;
    String FColumnNames;
    String FParentFields;
    String FRowLevelFieldName;
    String FRowOrderFieldName;
    String FRowStateFieldName;
    Integer FRowOrderFieldSize = 80;
};

// Extra pixels of the data, title and header rows (the layout adds them to the text height).
class TMvGridStyle : public TPersistent {
    MV_CLASS(TMvGridStyle, TPersistent);
    explicit TMvGridStyle(TMvCustomDBGrid* grid) : FGrid(grid) {}
    static void RegisterProperties(TPropertyRegistrar<TMvGridStyle>& r);
    void Assign(const TPersistent* source) override;
    TPersistent* GetOwner() const override;

    TMvCustomDBGrid* Grid() const { return FGrid; }
    Integer DataRowSpace() const { return FDataRowSpace; }
    void SetDataRowSpace(Integer value);
    Integer TitleRowSpace() const { return FTitleRowSpace; }
    void SetTitleRowSpace(Integer value);
    Integer HeaderRowSpace() const { return FHeaderRowSpace; }
    void SetHeaderRowSpace(Integer value);

private:
    TMvCustomDBGrid* FGrid;
    Integer FDataRowSpace = 4;
    Integer FTitleRowSpace = 4;
    Integer FHeaderRowSpace = 4;
};

// The look of the grid's own vertical scroll bar; it has no settings of its own yet.
class TMvScrollProp : public TPersistent {
    MV_CLASS(TMvScrollProp, TPersistent);
    explicit TMvScrollProp(TMvCustomDBGrid* grid) : FGrid(grid) {}
    void Assign(const TPersistent* source) override;
    TPersistent* GetOwner() const override;
    TMvCustomDBGrid* Grid() const { return FGrid; }

private:
    TMvCustomDBGrid* FGrid;
};

enum TMvSettingsOption {
    soLoadLayout,
    soSaveLayout,
    soUserSettings,
    soOrderFields,
    soLinesCount,
    soStretchMode
};
using TMvSettingsOptions = Set<TMvSettingsOption>;

class TMvDBGridSettings : public TPersistent {
    MV_CLASS(TMvDBGridSettings, TPersistent);
    explicit TMvDBGridSettings(TMvCustomDBGrid* grid) : FGrid(grid) {}
    static void RegisterProperties(TPropertyRegistrar<TMvDBGridSettings>& r);
    void Assign(const TPersistent* source) override;
    TPersistent* GetOwner() const override;

    TMvCustomDBGrid* Grid() const { return FGrid; }
    bool Active() const { return FActive; }
    void SetActive(bool value) { FActive = value; }
    const String& FileName() const { return FFileName; }
    void SetFileName(const String& value) { FFileName = value; }
    bool IniFile() const { return FIniFile; }
    void SetIniFile(bool value) { FIniFile = value; }
    TMvSettingsOptions Options() const { return FOptions; }
    void SetOptions(TMvSettingsOptions value) { FOptions = value; }
    const String& Section() const { return FSection; }
    void SetSection(const String& value) { FSection = value; }

    // One automatic load at the first activation after loading (the grid sets it in Loaded).
    bool AutoLoadPending() const { return FAutoLoadPending; }
    void SetAutoLoadPending(bool value) { FAutoLoadPending = value; }
    // The layout storage (the settings subsystem); the grid calls them at the stated times.
    virtual void AutoLoadLayout() {}
    virtual void AutoSaveLayout() {}

private:
    TMvCustomDBGrid* FGrid;
    bool FActive = false;
    String FFileName;
    bool FIniFile = false;
    TMvSettingsOptions FOptions{soLoadLayout, soSaveLayout};
    String FSection;
    bool FAutoLoadPending = false;
};

enum TMvGradientOption { gtVertical, gtReversed, gtSoft };
using TMvGradientOptions = Set<TMvGradientOption>;
enum TMvGradientCell { gcFixed, gcTitles, gcIndicator, gcFiller, gcTotals, gcSearch };
using TMvGradientCells = Set<TMvGradientCell>;

// A gradient description: whether it is on, how it runs and which cells use it. A change
// tells the grid (its layout and search panel follow the look).
class TMvDBGridGradient : public TPersistent {
    MV_CLASS(TMvDBGridGradient, TPersistent);
    explicit TMvDBGridGradient(TMvCustomDBGrid* grid) : FGrid(grid) {}
    static void RegisterProperties(TPropertyRegistrar<TMvDBGridGradient>& r);
    void Assign(const TPersistent* source) override;
    TPersistent* GetOwner() const override;

    TMvCustomDBGrid* Grid() const { return FGrid; }
    bool Active() const { return FActive; }
    void SetActive(bool value);
    TMvGradientOptions Options() const { return FOptions; }
    void SetOptions(TMvGradientOptions value);
    TMvGradientCells Cells() const { return FCells; }
    void SetCells(TMvGradientCells value);
    TColor StartColor() const { return FStartColor; }
    void SetStartColor(TColor value);
    TColor EndColor() const { return FEndColor; }
    void SetEndColor(TColor value);
    TNotifyEvent OnChange;

private:
    void PropertyChanged();

    TMvCustomDBGrid* FGrid;
    bool FActive = false;
    TMvGradientOptions FOptions;
    TMvGradientCells FCells{gcFixed, gcTitles, gcIndicator, gcFiller, gcTotals};
    TColor FStartColor = clBtnFace;
    TColor FEndColor = clWindow;
};

// The selected rows as sorted bookmarks (the selection subsystem fills them in).
class TMvBookmarkList : public TObject {
public:
    explicit TMvBookmarkList(TMvCustomDBGrid* grid) : FGrid(grid) {}
    TMvCustomDBGrid* Grid() const { return FGrid; }
    Integer Count() const { return static_cast<Integer>(FItems.size()); }
    const TBookmark& Items(Integer index) const { return FItems.at(static_cast<std::size_t>(index)); }
    void Clear() { FItems.clear(); }
    // The link became active or inactive; an inactive link empties the list.
    void LinkActive(bool active);
    bool Active() const { return FActive; }

private:
    TMvCustomDBGrid* FGrid;
    std::vector<TBookmark> FItems;
    bool FActive = false;
};

// The selected columns (the selection subsystem fills them in).
class TMvColumnList : public TObject {
public:
    explicit TMvColumnList(TMvCustomDBGrid* grid) : FGrid(grid) {}
    TMvCustomDBGrid* Grid() const { return FGrid; }
    Integer Count() const { return static_cast<Integer>(FItems.size()); }
    TMvColumn* Items(Integer index) const { return FItems.at(static_cast<std::size_t>(index)); }
    void Clear() { FItems.clear(); }
    void Remove(TMvColumn* column);

private:
    TMvCustomDBGrid* FGrid;
    std::vector<TMvColumn*> FItems;
};

} // namespace mv
