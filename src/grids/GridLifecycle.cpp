// The grid's life: construction with its companions, loading, the window, form-file
// streaming of "Columns" and "OrderFields", and destruction in its fixed order.
#include "grids/MvDBGrids.h"

#include "platform/rtl/Filer.h"
#include "platform/vcl/Resources.h"
#include "platform/vcl/StyleServices.h"

namespace mv {

namespace {

// The image strips of indicators, check boxes and expand boxes. The painting code
// registers the resources; a strip whose resource is not registered stays empty.
std::unique_ptr<TCustomImageList> LoadStrip(const String& resourceName) {
    auto list = std::make_unique<TCustomImageList>(nullptr);
    const TBitmap* bitmap = FindBitmapResource(resourceName);
    if (!bitmap || bitmap->Height() <= 0) return list;
    list->SetSize(bitmap->Height(), bitmap->Height());
    TBitmap copy;
    copy.Assign(bitmap);
    list->AddMasked(&copy, clFuchsia);
    return list;
}

} // namespace

// ======================================================================================
// [SECTION] Construction
// ======================================================================================

TMvCustomDBGrid::TMvCustomDBGrid(TComponent* owner) : TCustomGrid(owner) {
    InitializeGridStyles();
    FDoubleBuffered = true;
    FIndicators = LoadStrip(u"MVDBINDICATORS");
    FCheckBoxes = LoadStrip(u"MVDBCHECKBOXES");
    FExpandBoxes = LoadStrip(u"MVDBEXPANDBOXES");
    if (IsKoreanUILanguage()) FOptions += dgAlwaysShowEditor;
    // The grid draws its own vertical scroll bar; ScrollBars still reads ssBoth.
    TCustomGrid::SetScrollBars(ssHorizontal);
    TMvDBGridOptions options = FOptions;
    ApplyGridOptions(options);
    FOptions = options;
    FColumns = CreateColumns();
    FFilter = CreateFilter();
    FSearch = CreateSearch();
    FTreeView = CreateTreeView();
    SetRowCount(2);
    SetColCount(2);
    FDataLink = CreateDataLink();
    SetColor(clWindow);
    FTitleFont = std::make_unique<TFont>();
    FTitleFont->Assign(Font());
    FHeaderFont = std::make_unique<TFont>();
    FHeaderFont->Assign(Font());
    // FIXME(layout): a changed title or header font changes the title row heights.
    FTitleFont->OnChange = [this](TObject*) {
        if (!FFollowingFont) FTitleFontAssigned = true;
    };
    FHeaderFont->OnChange = [this](TObject*) {
        if (!FFollowingFont) FHeaderFontAssigned = true;
    };
    FSelectedRows = std::make_unique<TMvBookmarkList>(this);
    FGridStyle = CreateGridStyle();
    FScrollProp = CreateScrollProp();
    FSettings = CreateSettings();
    FGradient = CreateGradient();
    FGradient->OnChange = [this](TObject* sender) { GradientChanged(sender); };
    FTotals = CreateTotals();
    FSelectedCols = std::make_unique<TMvColumnList>(this);
    HideEditor();
}

void TMvCustomDBGrid::ReplaceCompanions() {
    FColumns.reset();
    FColumns = CreateColumns();
    FShowingColumns.clear();
    FFilter = CreateFilter();
    FSearch = CreateSearch();
    FTreeView = CreateTreeView();
    FDataLink = CreateDataLink();
    FGridStyle = CreateGridStyle();
    FScrollProp = CreateScrollProp();
    FSettings = CreateSettings();
    FGradient = CreateGradient();
    FGradient->OnChange = [this](TObject* sender) { GradientChanged(sender); };
    FTotals = CreateTotals();
}

std::unique_ptr<TMvDBGridColumns> TMvCustomDBGrid::CreateColumns() {
    return std::make_unique<TMvDBGridColumns>(this, TCollection::ItemClassOf<TMvColumn>());
}
std::unique_ptr<TMvGridDataLink> TMvCustomDBGrid::CreateDataLink() {
    return std::make_unique<TMvGridDataLink>(this);
}
std::unique_ptr<TMvDBGridFilter> TMvCustomDBGrid::CreateFilter() {
    return std::make_unique<TMvDBGridFilter>(this);
}
std::unique_ptr<TMvDBGridSearch> TMvCustomDBGrid::CreateSearch() {
    return std::make_unique<TMvDBGridSearch>(this);
}
std::unique_ptr<TMvDBGridTreeView> TMvCustomDBGrid::CreateTreeView() {
    return std::make_unique<TMvDBGridTreeView>(this);
}
std::unique_ptr<TMvGridStyle> TMvCustomDBGrid::CreateGridStyle() {
    return std::make_unique<TMvGridStyle>(this);
}
std::unique_ptr<TMvScrollProp> TMvCustomDBGrid::CreateScrollProp() {
    return std::make_unique<TMvScrollProp>(this);
}
std::unique_ptr<TMvDBGridSettings> TMvCustomDBGrid::CreateSettings() {
    return std::make_unique<TMvDBGridSettings>(this);
}
std::unique_ptr<TMvDBGridGradient> TMvCustomDBGrid::CreateGradient() {
    return std::make_unique<TMvDBGridGradient>(this);
}
std::unique_ptr<TMvDBGridTotals> TMvCustomDBGrid::CreateTotals() {
    return std::make_unique<TMvDBGridTotals>(this);
}
std::unique_ptr<TMvTotalDataLink> TMvCustomDBGrid::CreateTotalDataLink() {
    return std::make_unique<TMvTotalDataLink>(this);
}

TInplaceEdit* TMvCustomDBGrid::CreateEditor() {
    return new TMvDBGridEditor(this);
}

void TMvCustomDBGrid::GradientChanged(TObject* sender) {
    (void)sender;
    LayoutChanged();
    UpdateSearchPanel();
}

// ======================================================================================
// [SECTION] Destruction
// ======================================================================================

TMvCustomDBGrid::~TMvCustomDBGrid() {
    TComponent::Destroying(); // the grid's own Destroying() only reads the flag
    for (Integer job = 0; job < tjCount; ++job)
        FreeTimer(static_cast<TTimerJob>(job));
    if (FSettings->Active() && !Designing()) FSettings->AutoSaveLayout();
    SetIndicatorImages(nullptr);
    SetTitleImages(nullptr);
    SetTitleMarkers(nullptr);
    FTotals->SetImages(nullptr);
    LeaveRing();
    if (FMasterGrid) {
        RemoveFreeNotification(FMasterGrid);
        FMasterGrid = nullptr;
    }
    if (HandleAllocated()) RemoveQueuedLayouts();

    FSelectedCols.reset();
    FTotals.reset();
    FGradient.reset();
    FSettings.reset();
    FScrollProp.reset();
    FGridStyle.reset();
    FCheckBoxes.reset();
    FExpandBoxes.reset();
    FHeaderFont.reset();
    FTreeView.reset();
    FSearch.reset();
    FFilter.reset();
    FColumns.reset();
    FShowingColumns.clear();
    FDataLink.reset();
    FIndicators.reset();
    FTitleFont.reset();
    FSelectedRows.reset();
    FinalizeGridStyles();
}

// ======================================================================================
// [SECTION] Loading and the window
// ======================================================================================

void TMvCustomDBGrid::Loaded() {
    TCustomGrid::Loaded();
    if (FColumns->Count() > 0) SetColCount(FColumns->Count() + (FOptions.Contains(dgIndicator) ? 1 : 0));
    if (!Designing()) {
        FSettings->SetAutoLoadPending(true);
        if (FSearch->PanelVisible()) ShowSearchPanel();
    }
    LayoutChanged();
    FFilter->UpdateColumns();
    FFilter->UpdateFilterText();
    if (FFilter->FilterDefined() || FSearch->FilterActive() || FTreeView->Active()) FilterChanged();
}

void TMvCustomDBGrid::CreateWnd() {
    BeginUpdate();
    try {
        TCustomGrid::CreateWnd();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    // FIXME(layout): the flat scroll-bar mode is set here once the grid's own vertical
    // scroll bar exists.
    UpdateRowCount();
    UpdateActive();
    UpdateScrollBar();
    // The framework keeps no input-method settings on controls here; the editor reads these.
    FImeMode = 0;
    FImeName.clear();
}

// ======================================================================================
// [SECTION] Form-file streaming
// ======================================================================================

bool TMvCustomDBGrid::ColumnsDifferFromAncestor(const TFiler* filer) const {
    auto* ancestor = dynamic_cast<TMvCustomDBGrid*>(filer->Ancestor());
    if (!ancestor) return true;
    return ancestor->FColumns->State() != FColumns->State() ||
           !CollectionsEqual(ancestor->FColumns.get(), FColumns.get());
}

void TMvCustomDBGrid::DefineProperties(TFiler* filer) {
    TCustomGrid::DefineProperties(filer);
    const bool writeColumns = FColumns->State() == csCustomized && ColumnsDifferFromAncestor(filer);
    filer->DefineProperty(
        u"Columns", [this](TReader& reader) { ReadColumns(reader); },
        [this](TWriter& writer) { WriteColumns(writer); }, writeColumns);
    // Only a writer asks for the data set's order; a reader must not touch the data set.
    const bool writeOrder = dynamic_cast<TWriter*>(filer) && !CurrentDataSetOrder().empty();
    filer->DefineProperty(
        u"OrderFields", [this](TReader& reader) { ReadOrderFields(reader); },
        [this](TWriter& writer) { WriteOrderFields(writer); }, writeOrder);
}

void TMvCustomDBGrid::ReadColumns(TReader& reader) {
    FColumns->Clear();
    reader.ReadCollection(FColumns.get());
}

void TMvCustomDBGrid::WriteColumns(TWriter& writer) {
    writer.WriteCollection(FColumns.get());
}

void TMvCustomDBGrid::ReadOrderFields(TReader& reader) {
    // The order belongs to the data set; the form keeps it only for readers of the text.
    (void)reader.ReadString();
}

void TMvCustomDBGrid::WriteOrderFields(TWriter& writer) {
    writer.WriteString(CurrentDataSetOrder());
}

String TMvCustomDBGrid::CurrentDataSetOrder() {
    return FOrderFields;
}

} // namespace mv
