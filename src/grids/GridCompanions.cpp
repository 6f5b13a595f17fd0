// The grid's companions: columns and their collection, totals, filter, search, tree view,
// grid style, scroll look, settings, gradient and the selection lists (MvDBGridCompanions.h
// says which of them only keep their properties for now).
#include "grids/MvDBGrids.h"

#include "platform/db/DataSet.h"
#include "platform/rtl/StrUtils.h"

namespace mv {

// ======================================================================================
// [SECTION] Column title and column
// ======================================================================================

void TMvColumnTitle::SetCaption(const String& value) {
    FCaption = value;
}

namespace {
void WatchFrom(TMvColumn* column, TComponent* component) {
    if (!component || !column) return;
    if (TMvCustomDBGrid* grid = column->GetGrid()) grid->FreeNotification(component);
}
} // namespace

void TMvColumnTitle::SetPopupMenu(TComponent* value) {
    FPopupMenu = value;
    WatchFrom(FColumn, value);
}

void TMvColumnTitle::SetDropDownMenu(TComponent* value) {
    FDropDownMenu = value;
    WatchFrom(FColumn, value);
}

void TMvColumnTitle::Assign(const TPersistent* source) {
    auto* title = dynamic_cast<const TMvColumnTitle*>(source);
    if (!title) return TPersistent::Assign(source);
    FCaption = title->FCaption;
    SetPopupMenu(title->FPopupMenu);
    SetDropDownMenu(title->FDropDownMenu);
}

TPersistent* TMvColumnTitle::GetOwner() const {
    return FColumn;
}

void TMvColumnTitle::RegisterProperties(TPropertyRegistrar<TMvColumnTitle>& r) {
    r.StringProp(u"Caption", &TMvColumnTitle::Caption, &TMvColumnTitle::SetCaption);
    r.ObjectProp<TComponent>(u"PopupMenu", &TMvColumnTitle::PopupMenu, &TMvColumnTitle::SetPopupMenu);
    r.ObjectProp<TComponent>(u"DropDownMenu", &TMvColumnTitle::DropDownMenu,
                             &TMvColumnTitle::SetDropDownMenu);
}

TMvColumn::TMvColumn(TCollection* collection)
    : TCollectionItem(collection), FTitle(std::make_unique<TMvColumnTitle>(this)) {}

TMvColumn::~TMvColumn() = default;

TMvCustomDBGrid* TMvColumn::GetGrid() const {
    auto* columns = dynamic_cast<TMvDBGridColumns*>(Collection());
    return columns ? columns->Grid() : nullptr;
}

String TMvColumn::GetDisplayName() const {
    return FFieldName.empty() ? TCollectionItem::GetDisplayName() : FFieldName;
}

void TMvColumn::Watch(TComponent* component) {
    WatchFrom(this, component);
}

void TMvColumn::PropertyChanged() {
    if (Collection()) TCollectionItem::Changed(false);
}

void TMvColumn::SetFieldName(const String& value) {
    if (value == FFieldName) return;
    FFieldName = value;
    PropertyChanged();
}

void TMvColumn::SetField(TField* value) {
    FField = value;
    Watch(value);
}

void TMvColumn::SetVisible(bool value) {
    if (value == FVisible) return;
    FVisible = value;
    PropertyChanged();
    Synchronize();
}

Integer TMvColumn::Width() const {
    if (FWidthAssigned) return FWidth;
    TMvCustomDBGrid* grid = GetGrid();
    return grid ? grid->DefaultColWidth() : 64;
}

void TMvColumn::SetWidth(Integer value) {
    if (value < 0) value = 0;
    if (FWidthAssigned && value == FWidth) return;
    FWidth = value;
    FWidthAssigned = true;
    PropertyChanged();
    Synchronize();
}

void TMvColumn::SetExpanded(bool value) {
    if (value == FExpanded) return;
    FExpanded = value;
    PropertyChanged();
    Synchronize();
}

void TMvColumn::SetExpandCols(Integer value) {
    if (value < 0) value = 0;
    if (value == FExpandCols) return;
    FExpandCols = value;
    PropertyChanged();
}

void TMvColumn::SetImages(TCustomImageList* value) {
    FImages = value;
    Watch(value);
}

void TMvColumn::SetPopupMenu(TComponent* value) {
    FPopupMenu = value;
    Watch(value);
}

void TMvColumn::SetDropDownMenu(TComponent* value) {
    FDropDownMenu = value;
    Watch(value);
}

void TMvColumn::SetLookupDataSet(TDataSet* value) {
    FLookupDataSet = value;
    Watch(value);
}

void TMvColumn::RemoveReference(TComponent* component) {
    if (FField == component) FField = nullptr;
    if (FImages == component) FImages = nullptr;
    if (FPopupMenu == component) FPopupMenu = nullptr;
    if (FDropDownMenu == component) FDropDownMenu = nullptr;
    if (FLookupDataSet == component) FLookupDataSet = nullptr;
    if (FTitle->PopupMenu() == component) FTitle->SetPopupMenu(nullptr);
    if (FTitle->DropDownMenu() == component) FTitle->SetDropDownMenu(nullptr);
}

void TMvColumn::Assign(const TPersistent* source) {
    auto* column = dynamic_cast<const TMvColumn*>(source);
    if (!column) return TCollectionItem::Assign(source);
    FFieldName = column->FFieldName;
    FVisible = column->FVisible;
    FWidth = column->FWidth;
    FWidthAssigned = column->FWidthAssigned;
    FExpanded = column->FExpanded;
    FExpandCols = column->FExpandCols;
    SetImages(column->FImages);
    SetPopupMenu(column->FPopupMenu);
    SetDropDownMenu(column->FDropDownMenu);
    SetLookupDataSet(column->FLookupDataSet);
    FTitle->Assign(column->FTitle.get());
    PropertyChanged();
}

void TMvColumn::RegisterProperties(TPropertyRegistrar<TMvColumn>& r) {
    r.StringProp(u"FieldName", &TMvColumn::FieldName, &TMvColumn::SetFieldName);
    r.BooleanProp(u"Visible", &TMvColumn::Visible, &TMvColumn::SetVisible).Default(true);
    r.IntegerProp(u"Width", &TMvColumn::Width, &TMvColumn::SetWidth).Stored(&TMvColumn::IsWidthStored);
    r.BooleanProp(u"Expanded", &TMvColumn::Expanded, &TMvColumn::SetExpanded).Default(false);
    r.IntegerProp(u"ExpandCols", &TMvColumn::ExpandCols, &TMvColumn::SetExpandCols).Default(0);
    r.ObjectProp<TCustomImageList>(u"Images", &TMvColumn::Images, &TMvColumn::SetImages);
    r.ObjectProp<TComponent>(u"PopupMenu", &TMvColumn::PopupMenu, &TMvColumn::SetPopupMenu);
    r.ObjectProp<TComponent>(u"DropDownMenu", &TMvColumn::DropDownMenu, &TMvColumn::SetDropDownMenu);
    r.ObjectProp<TDataSet>(u"LookupDataSet", &TMvColumn::LookupDataSet, &TMvColumn::SetLookupDataSet);
    r.ObjectProp<TMvColumnTitle>(u"Title", &TMvColumn::Title, &TMvColumn::SetTitle);
}

// ======================================================================================
// [SECTION] Column collection
// ======================================================================================

TMvDBGridColumns::TMvDBGridColumns(TMvCustomDBGrid* grid, TItemClass itemClass)
    : TCollection(std::move(itemClass)), FGrid(grid) {}

TPersistent* TMvDBGridColumns::GetOwner() const {
    return FGrid;
}

TMvColumn* TMvDBGridColumns::Add() {
    auto* column = static_cast<TMvColumn*>(TCollection::Add());
    column->SetPersistent(true);
    return column;
}

TDBGridColumnsState TMvDBGridColumns::State() const {
    return Count() > 0 && Items(Count() - 1)->Persistent() ? csCustomized : csDefault;
}

void TMvDBGridColumns::SetState(TDBGridColumnsState value) {
    if (value == State()) return;
    if (value == csDefault) {
        Clear();
        return;
    }
    BeginUpdate();
    try {
        // Nothing built yet: the columns of the fields become the persistent ones.
        if (Count() == 0 && FGrid && FGrid->DataLink()->Active()) {
            TDataSet* dataSet = FGrid->DataLink()->DataSet();
            for (TField* field : dataSet->FieldList()) {
                if (!field->Visible()) continue;
                TMvColumn* column = Add();
                column->SetFieldName(field->FullName());
                column->SetField(field);
            }
        }
        for (Integer i = 0; i < Count(); ++i)
            Items(i)->SetPersistent(true);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TMvDBGridColumns::RebuildColumns() {
    if (!FGrid) return;
    TMvGridDataLink* link = FGrid->DataLink();
    TDataSet* dataSet = link->Active() ? link->DataSet() : nullptr;
    if (State() == csCustomized) {
        for (Integer i = 0; i < Count(); ++i)
            Items(i)->SetField(dataSet ? dataSet->FindField(Items(i)->FieldName()) : nullptr);
        return;
    }
    const Integer wanted = dataSet ? link->FieldCount() : 0;
    bool same = Count() == wanted;
    for (Integer i = 0; same && i < wanted; ++i)
        same = Items(i)->Field() == link->GetFields(i);
    if (same) return;
    BeginUpdate();
    try {
        Clear();
        for (Integer i = 0; i < wanted; ++i) {
            auto* column = static_cast<TMvColumn*>(TCollection::Add());
            column->SetPersistent(false);
            TField* field = link->GetFields(i);
            if (field) column->SetFieldName(field->FullName());
            column->SetField(field);
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TMvDBGridColumns::Update(TCollectionItem* item) {
    (void)item;
    if (FGrid) FGrid->LayoutChanged();
}

// ======================================================================================
// [SECTION] Totals
// ======================================================================================

TMvDBGridTotals::TMvDBGridTotals(TMvCustomDBGrid* grid) : FGrid(grid), FFont(std::make_unique<TFont>()) {
    if (grid) FFont->Assign(grid->Font());
    FFont->OnChange = [this](TObject*) { FontChanged(); };
}

void TMvDBGridTotals::FontChanged() {
    // A font of their own means the grid no longer just takes its parent's; without this
    // the font would not be stored with the grid.
    if (FGrid && !FGrid->ComponentState().Contains(csLoading)) FGrid->SetParentFont(false);
}

TMvDBGridTotals::~TMvDBGridTotals() = default;

TPersistent* TMvDBGridTotals::GetOwner() const {
    return FGrid;
}

bool TMvDBGridTotals::Visible() const {
    static const TMvDBGridOptionsEx rows{dgTotalHeader, dgTotalValues, dgTotalFields, dgTotalFooter};
    return FGrid && !(FGrid->OptionsEx() * rows).Empty();
}

bool TMvDBGridTotals::Active() const {
    if (Visible()) return true;
    static const TMvDBGridOptionsEx selected{dgTotalHeaderSelected, dgTotalValuesSelected,
                                             dgTotalFooterSelected};
    return FGrid && FGrid->OptionsEx().Contains(dgSelectedAutoHidden) &&
           !(FGrid->OptionsEx() * selected).Empty();
}

void TMvDBGridTotals::SetColor(TColor value) {
    FColor = value;
    FColorStored = true;
}

TDataSource* TMvDBGridTotals::DataSource() const {
    return FDataLink ? FDataLink->DataSource() : nullptr;
}

TMvTotalDataLink* TMvDBGridTotals::EnsureDataLink() {
    if (!FDataLink)
        FDataLink = FGrid ? FGrid->CreateTotalDataLink() : std::make_unique<TMvTotalDataLink>(nullptr);
    return FDataLink.get();
}

void TMvDBGridTotals::SetDataSource(TDataSource* value) {
    if (value == DataSource()) return;
    EnsureDataLink()->SetDataSource(value);
    if (value && FGrid) value->FreeNotification(FGrid);
}

void TMvDBGridTotals::SetImages(TCustomImageList* value) {
    FImages = value;
    if (value && FGrid) value->FreeNotification(FGrid);
}

void TMvDBGridTotals::RemoveReference(TComponent* component) {
    if (FImages == component) FImages = nullptr;
    if (FDataLink && FDataLink->DataSource() == component) FDataLink->SetDataSource(nullptr);
}

void TMvDBGridTotals::Assign(const TPersistent* source) {
    auto* totals = dynamic_cast<const TMvDBGridTotals*>(source);
    if (!totals) return TPersistent::Assign(source);
    FBoxStyle = totals->FBoxStyle;
    FCalcValues = totals->FCalcValues;
    FColor = totals->FColor;
    FColorStored = totals->FColorStored;
    FDataMaxRow = totals->FDataMaxRow;
    FFont->Assign(totals->FFont.get());
    SetImages(totals->FImages);
    FLinesCount = totals->FLinesCount;
    FSelectedColor = totals->FSelectedColor;
    if (totals->DataSource() != DataSource()) SetDataSource(totals->DataSource());
}

void TMvDBGridTotals::RegisterProperties(TPropertyRegistrar<TMvDBGridTotals>& r) {
    using T = TMvDBGridTotals;
    r.BooleanProp(u"Active", &T::Active, nullptr).Stored(false);
    r.EnumProp(u"BoxStyle", CheckBoxStyleInfo(), &T::BoxStyle, &T::SetBoxStyle).Default(cbAuto);
    r.BooleanProp(u"CalcValues", &T::CalcValues, &T::SetCalcValues).Default(true);
    r.ColorProp(u"Color", &T::Color, &T::SetColor).Stored(&T::IsColorStored);
    r.IntegerProp(u"DataMaxRow", &T::DataMaxRow, &T::SetDataMaxRow).Default(5);
    r.ObjectProp<TDataSource>(u"DataSource", &T::DataSource, &T::SetDataSource);
    // Not stored while it has nothing of its own to say: the grid takes its parent's font,
    // or the totals' font equals the grid's.
    r.ObjectProp<TFont>(u"Font", &T::Font, &T::SetFont).Stored([](const T& totals) {
        const TMvCustomDBGrid* grid = totals.Grid();
        return grid == nullptr || (!grid->ParentFont() && !totals.Font()->Equals(*grid->Font()));
    });
    r.ObjectProp<TCustomImageList>(u"Images", &T::Images, &T::SetImages);
    r.IntegerProp(u"LinesCount", &T::LinesCount, &T::SetLinesCount).Default(1);
    r.ColorProp(u"SelectedColor", &T::SelectedColor, &T::SetSelectedColor).Default(clDefault);
}

// ======================================================================================
// [SECTION] Filter and search
// ======================================================================================

TPersistent* TMvDBGridFilter::GetOwner() const {
    return FGrid;
}

void TMvDBGridFilter::Assign(const TPersistent* source) {
    auto* filter = dynamic_cast<const TMvDBGridFilter*>(source);
    if (!filter) return TPersistent::Assign(source);
    FAutoFilter = filter->FAutoFilter;
    FAutoFilters = filter->FAutoFilters;
    FAutoUpdate = filter->FAutoUpdate;
    FClauses = filter->FClauses;
    FDecimalSeparator = filter->FDecimalSeparator;
    FDropDownRows = filter->FDropDownRows;
    FDropDownWidth = filter->FDropDownWidth;
    FFiltered = filter->FFiltered;
    FOptions = filter->FOptions;
    FPeriods = filter->FPeriods;
}

namespace {
const std::shared_ptr<const TEnumInfo>& FilterStyleInfo() {
    static const auto info = MakeEnumInfo(u"TFilterStyle", {u"fsFilterList", u"fsFilterForm"});
    return info;
}
const std::shared_ptr<const TEnumInfo>& FilterClauseInfo() {
    static const auto info = MakeEnumInfo(
        u"TMvDBGridFilterClause",
        {u"fcNoFilter", u"fcContains", u"fcDoesNotContain", u"fcStartsFrom", u"fcDoesNotStartFrom",
         u"fcEndsWith", u"fcDoesNotEndWith", u"fcIsEqual", u"fcIsNotEqual", u"fcIsGreaterThen",
         u"fcIsGreaterThenOrEqual", u"fcIsLessThen", u"fcIsLessThenOrEqual", u"fcIsOnTheList",
         u"fcIsNotOnTheList", u"fcIsEmpty", u"fcIsNotEmpty"});
    return info;
}
const std::shared_ptr<const TEnumInfo>& FilterOptionInfo() {
    static const auto info =
        MakeEnumInfo(u"TMvDBGridFilterOption",
                     {u"foAutoApplyList", u"foListAnimation", u"foListAlignment", u"foOverlayedList",
                      u"foLoadAllItems", u"foCheckedFirst", u"foAddSelected"});
    return info;
}
const std::shared_ptr<const TEnumInfo>& FilterPeriodInfo() {
    static const auto info =
        MakeEnumInfo(u"TMvDBGridFilterPeriod",
                     {u"fpNoPeriod", u"fpMinute",   u"fpHour",      u"fpDay",    u"fpWeek",    u"fpMonth",
                      u"fpQuarter",  u"fpSemester", u"fpYear",      u"fpDecade", u"fpOther",   u"fp10Mins",
                      u"fp15Mins",   u"fp20Mins",   u"fp30Mins",    u"fpHours",  u"fpDays",    u"fpWeeks",
                      u"fpMonths",   u"fpQuarters", u"fpSemesters", u"fpYears",  u"fpDecades", u"fpOthers"});
    return info;
}
const std::shared_ptr<const TEnumInfo>& SearchOptionInfo() {
    static const auto info =
        MakeEnumInfo(u"TMvSearchOption", {u"soCaseSensitive", u"soWholeWords", u"soWrapAround",
                                          u"soSkipMessage", u"soCurrentCol", u"soFilterRows"});
    return info;
}
const std::shared_ptr<const TEnumInfo>& SettingsOptionInfo() {
    static const auto info =
        MakeEnumInfo(u"TMvSettingsOption", {u"soLoadLayout", u"soSaveLayout", u"soUserSettings",
                                            u"soOrderFields", u"soLinesCount", u"soStretchMode"});
    return info;
}
const std::shared_ptr<const TEnumInfo>& GradientOptionInfo() {
    static const auto info = MakeEnumInfo(u"TMvGradientOption", {u"gtVertical", u"gtReversed", u"gtSoft"});
    return info;
}
const std::shared_ptr<const TEnumInfo>& GradientCellInfo() {
    static const auto info = MakeEnumInfo(
        u"TMvGradientCell", {u"gcFixed", u"gcTitles", u"gcIndicator", u"gcFiller", u"gcTotals", u"gcSearch"});
    return info;
}
} // namespace

void TMvDBGridFilter::RegisterProperties(TPropertyRegistrar<TMvDBGridFilter>& r) {
    using F = TMvDBGridFilter;
    r.BooleanProp(u"AutoFilter", &F::AutoFilter, &F::SetAutoFilter).Default(false);
    r.SetProp(u"AutoFilters", FilterStyleInfo(), &F::AutoFilters, &F::SetAutoFilters)
        .Default(TFilterStyles{fsFilterList, fsFilterForm});
    r.BooleanProp(u"AutoUpdate", &F::AutoUpdate, &F::SetAutoUpdate).Default(true);
    r.SetProp(u"Clauses", FilterClauseInfo(), &F::Clauses, &F::SetClauses)
        .Default(TMvDBGridFilterClauses::FromInt((1u << 17) - 1));
    r.BooleanProp(u"DecimalSeparator", &F::DecimalSeparator, &F::SetDecimalSeparator).Default(false);
    r.IntegerProp(u"DropDownRows", &F::DropDownRows, &F::SetDropDownRows).Default(0);
    r.IntegerProp(u"DropDownWidth", &F::DropDownWidth, &F::SetDropDownWidth).Default(0);
    r.BooleanProp(u"Filtered", &F::Filtered, &F::SetFiltered).Default(true);
    r.StringProp(u"FilterText", &F::FilterText, nullptr).Stored(false);
    r.SetProp(u"Options", FilterOptionInfo(), &F::Options, &F::SetOptions)
        .Default(TMvDBGridFilterOptions{foAutoApplyList, foListAnimation, foListAlignment, foOverlayedList});
    r.SetProp(u"Periods", FilterPeriodInfo(), &F::Periods, &F::SetPeriods)
        .Default(TMvDBGridFilterPeriods::FromInt(((1u << 24) - 1) & ~(1u << fpOthers)));
}

TPersistent* TMvDBGridSearch::GetOwner() const {
    return FGrid;
}

void TMvDBGridSearch::SetListWidth(Integer value) {
    if (value < 1) value = 104;
    if (value < 80) value = 80;
    FListWidth = value;
}

void TMvDBGridSearch::Assign(const TPersistent* source) {
    auto* search = dynamic_cast<const TMvDBGridSearch*>(source);
    if (!search) return TPersistent::Assign(source);
    FActive = search->FActive;
    FColor = search->FColor;
    FIncremental = search->FIncremental;
    FListWidth = search->FListWidth;
    FOptions = search->FOptions;
    FPanelColor = search->FPanelColor;
    FPanelOnTop = search->FPanelOnTop;
    FPanelVisible = search->FPanelVisible;
    FText = search->FText;
}

void TMvDBGridSearch::RegisterProperties(TPropertyRegistrar<TMvDBGridSearch>& r) {
    using S = TMvDBGridSearch;
    r.BooleanProp(u"Active", &S::Active, &S::SetActive).Default(true);
    r.ColorProp(u"Color", &S::Color, &S::SetColor).Default(clDefault);
    r.BooleanProp(u"Incremental", &S::Incremental, &S::SetIncremental).Default(false);
    r.IntegerProp(u"ListWidth", &S::ListWidth, &S::SetListWidth).Default(104);
    r.SetProp(u"Options", SearchOptionInfo(), &S::Options, &S::SetOptions).Default(TMvSearchOptions{});
    r.ColorProp(u"PanelColor", &S::PanelColor, &S::SetPanelColor).Default(clDefault);
    r.BooleanProp(u"PanelOnTop", &S::PanelOnTop, &S::SetPanelOnTop).Default(false);
    r.BooleanProp(u"PanelVisible", &S::PanelVisible, &S::SetPanelVisible).Default(false);
    r.StringProp(u"Text", &S::Text, &S::SetText);
}

// ======================================================================================
// [SECTION] Tree view
// ======================================================================================

TPersistent* TMvDBGridTreeView::GetOwner() const {
    return FGrid;
}

namespace {
// A name equal to its default is not kept, so the default can change under it.
void StoreName(String& field, const String& value, const String& defaultName) {
    field = SameText(value, defaultName) ? String() : value;
}
} // namespace

String TMvDBGridTreeView::RowLevelFieldName() const {
    return FRowLevelFieldName.empty() ? DefaultRowLevelFieldName() : FRowLevelFieldName;
}
void TMvDBGridTreeView::SetRowLevelFieldName(const String& value) {
    StoreName(FRowLevelFieldName, value, DefaultRowLevelFieldName());
}
String TMvDBGridTreeView::RowOrderFieldName() const {
    return FRowOrderFieldName.empty() ? DefaultRowOrderFieldName() : FRowOrderFieldName;
}
void TMvDBGridTreeView::SetRowOrderFieldName(const String& value) {
    StoreName(FRowOrderFieldName, value, DefaultRowOrderFieldName());
}
String TMvDBGridTreeView::RowStateFieldName() const {
    return FRowStateFieldName.empty() ? DefaultRowStateFieldName() : FRowStateFieldName;
}
void TMvDBGridTreeView::SetRowStateFieldName(const String& value) {
    StoreName(FRowStateFieldName, value, DefaultRowStateFieldName());
}

void TMvDBGridTreeView::SetRowOrderFieldSize(Integer value) {
    if (value < 1) value = DefaultRowOrderFieldSize();
    if (value < 20) value = 20;
    FRowOrderFieldSize = value;
}

void TMvDBGridTreeView::Assign(const TPersistent* source) {
    auto* tree = dynamic_cast<const TMvDBGridTreeView*>(source);
    if (!tree) return TPersistent::Assign(source);
    FAutoActive = tree->FAutoActive;
    FAutoUpdate = tree->FAutoUpdate;
    FCellExpand = tree->FCellExpand;
    FOpenToLevel = tree->FOpenToLevel;
    FColumnNames = tree->FColumnNames;
    FParentFields = tree->FParentFields;
    FRowLevelFieldName = tree->FRowLevelFieldName;
    FRowOrderFieldName = tree->FRowOrderFieldName;
    FRowStateFieldName = tree->FRowStateFieldName;
    FRowOrderFieldSize = tree->FRowOrderFieldSize;
}

void TMvDBGridTreeView::RegisterProperties(TPropertyRegistrar<TMvDBGridTreeView>& r) {
    using T = TMvDBGridTreeView;
    r.BooleanProp(u"AutoActive", &T::AutoActive, &T::SetAutoActive).Default(true);
    r.BooleanProp(u"AutoUpdate", &T::AutoUpdate, &T::SetAutoUpdate).Default(true);
    r.BooleanProp(u"CellExpand", &T::CellExpand, &T::SetCellExpand).Default(false);
    r.IntegerProp(u"OpenToLevel", &T::OpenToLevel, &T::SetOpenToLevel).Default(-1);
    r.StringProp(u"ColumnNames", &T::ColumnNames, &T::SetColumnNames);
    r.StringProp(u"ParentFields", &T::ParentFields, &T::SetParentFields);
    r.StringProp(u"RowLevelFieldName", &T::RowLevelFieldName, &T::SetRowLevelFieldName)
        .Stored([](const T& t) { return !t.FRowLevelFieldName.empty(); });
    r.StringProp(u"RowOrderFieldName", &T::RowOrderFieldName, &T::SetRowOrderFieldName)
        .Stored([](const T& t) { return !t.FRowOrderFieldName.empty(); });
    r.IntegerProp(u"RowOrderFieldSize", &T::RowOrderFieldSize, &T::SetRowOrderFieldSize)
        .Stored([](const T& t) { return t.FRowOrderFieldSize != t.DefaultRowOrderFieldSize(); });
    r.StringProp(u"RowStateFieldName", &T::RowStateFieldName, &T::SetRowStateFieldName)
        .Stored([](const T& t) { return !t.FRowStateFieldName.empty(); });
}

// ======================================================================================
// [SECTION] Grid style, scroll look, settings, gradient
// ======================================================================================

TPersistent* TMvGridStyle::GetOwner() const {
    return FGrid;
}

namespace {
void SetSpace(TMvCustomDBGrid* grid, Integer& field, Integer value) {
    if (value < 0) value = 0;
    if (value == field) return;
    field = value;
    if (grid) grid->LayoutChanged();
}
} // namespace

void TMvGridStyle::SetDataRowSpace(Integer value) {
    SetSpace(FGrid, FDataRowSpace, value);
}
void TMvGridStyle::SetTitleRowSpace(Integer value) {
    SetSpace(FGrid, FTitleRowSpace, value);
}
void TMvGridStyle::SetHeaderRowSpace(Integer value) {
    SetSpace(FGrid, FHeaderRowSpace, value);
}

void TMvGridStyle::Assign(const TPersistent* source) {
    auto* style = dynamic_cast<const TMvGridStyle*>(source);
    if (!style) return TPersistent::Assign(source);
    SetDataRowSpace(style->FDataRowSpace);
    SetTitleRowSpace(style->FTitleRowSpace);
    SetHeaderRowSpace(style->FHeaderRowSpace);
}

void TMvGridStyle::RegisterProperties(TPropertyRegistrar<TMvGridStyle>& r) {
    r.IntegerProp(u"DataRowSpace", &TMvGridStyle::DataRowSpace, &TMvGridStyle::SetDataRowSpace).Default(4);
    r.IntegerProp(u"TitleRowSpace", &TMvGridStyle::TitleRowSpace, &TMvGridStyle::SetTitleRowSpace).Default(4);
    r.IntegerProp(u"HeaderRowSpace", &TMvGridStyle::HeaderRowSpace, &TMvGridStyle::SetHeaderRowSpace)
        .Default(4);
}

TPersistent* TMvScrollProp::GetOwner() const {
    return FGrid;
}

void TMvScrollProp::Assign(const TPersistent* source) {
    if (!dynamic_cast<const TMvScrollProp*>(source)) TPersistent::Assign(source);
}

TPersistent* TMvDBGridSettings::GetOwner() const {
    return FGrid;
}

void TMvDBGridSettings::Assign(const TPersistent* source) {
    auto* settings = dynamic_cast<const TMvDBGridSettings*>(source);
    if (!settings) return TPersistent::Assign(source);
    FActive = settings->FActive;
    FFileName = settings->FFileName;
    FIniFile = settings->FIniFile;
    FOptions = settings->FOptions;
    FSection = settings->FSection;
}

void TMvDBGridSettings::RegisterProperties(TPropertyRegistrar<TMvDBGridSettings>& r) {
    using S = TMvDBGridSettings;
    r.BooleanProp(u"Active", &S::Active, &S::SetActive).Default(false);
    r.StringProp(u"FileName", &S::FileName, &S::SetFileName);
    r.BooleanProp(u"IniFile", &S::IniFile, &S::SetIniFile).Default(false);
    r.SetProp(u"Options", SettingsOptionInfo(), &S::Options, &S::SetOptions)
        .Default(TMvSettingsOptions{soLoadLayout, soSaveLayout});
    r.StringProp(u"Section", &S::Section, &S::SetSection);
}

TPersistent* TMvDBGridGradient::GetOwner() const {
    return FGrid;
}

void TMvDBGridGradient::PropertyChanged() {
    if (OnChange) OnChange(this);
}

void TMvDBGridGradient::SetActive(bool value) {
    if (value == FActive) return;
    FActive = value;
    PropertyChanged();
}
void TMvDBGridGradient::SetOptions(TMvGradientOptions value) {
    if (value == FOptions) return;
    FOptions = value;
    PropertyChanged();
}
void TMvDBGridGradient::SetCells(TMvGradientCells value) {
    if (value == FCells) return;
    FCells = value;
    PropertyChanged();
}
void TMvDBGridGradient::SetStartColor(TColor value) {
    if (value == FStartColor) return;
    FStartColor = value;
    PropertyChanged();
}
void TMvDBGridGradient::SetEndColor(TColor value) {
    if (value == FEndColor) return;
    FEndColor = value;
    PropertyChanged();
}

void TMvDBGridGradient::Assign(const TPersistent* source) {
    auto* gradient = dynamic_cast<const TMvDBGridGradient*>(source);
    if (!gradient) return TPersistent::Assign(source);
    FActive = gradient->FActive;
    FOptions = gradient->FOptions;
    FCells = gradient->FCells;
    FStartColor = gradient->FStartColor;
    FEndColor = gradient->FEndColor;
    PropertyChanged();
}

void TMvDBGridGradient::RegisterProperties(TPropertyRegistrar<TMvDBGridGradient>& r) {
    using D = TMvDBGridGradient;
    r.BooleanProp(u"Active", &D::Active, &D::SetActive).Default(false);
    r.SetProp(u"Options", GradientOptionInfo(), &D::Options, &D::SetOptions).Default(TMvGradientOptions{});
    r.SetProp(u"Cells", GradientCellInfo(), &D::Cells, &D::SetCells)
        .Default(TMvGradientCells{gcFixed, gcTitles, gcIndicator, gcFiller, gcTotals});
    r.ColorProp(u"StartColor", &D::StartColor, &D::SetStartColor).Default(clBtnFace);
    r.ColorProp(u"EndColor", &D::EndColor, &D::SetEndColor).Default(clWindow);
}

// ======================================================================================
// [SECTION] Selection lists
// ======================================================================================

void TMvBookmarkList::LinkActive(bool active) {
    if (!active) FItems.clear();
    FActive = active;
}

void TMvColumnList::Remove(TMvColumn* column) {
    std::erase(FItems, column);
}

} // namespace mv
