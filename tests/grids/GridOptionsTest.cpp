// The grid's option sets (defaults, integers, setter effects), its published properties by
// name, the unit-level settings and the style adjustments.
#include "GridTestKit.h"

#include "platform/rtl/Filer.h"
#include "platform/rtl/TypInfo.h"
#include "platform/rtl/Utf8.h"

#include <cstdlib>

namespace mv::test {
namespace {

// The members in bold of each option list, as the integer they make.
template <typename S> std::uint64_t Bits(std::initializer_list<typename S::Element> members) {
    return S(members).ToInt();
}

TEST(GridOptionDefaults, EachSetStartsAtItsStatedIntegerWhichRoundTrips) {
    THeadlessHost host;
    InstallHost(&host);
    {
        ::unsetenv("LC_ALL");
        ::unsetenv("LC_MESSAGES");
        ::setenv("LANG", "en_US.UTF-8", 1);
        TMvDBGrid grid(nullptr);
        EXPECT_EQ(grid.Options().ToInt(),
                  (Bits<TMvDBGridOptions>({dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines,
                                           dgRowLines, dgTabs, dgConfirmDelete, dgCancelOnExit,
                                           dgExtendedSelect, dgInternalSelect, dgRowResize, dgRowScroll,
                                           dgHotButtons, dgTitleButtons, dgTitleHeaders, dgTitleWidthOff,
                                           dgMarkerAutoAlign, dgMarkerAutoToggle})));
        EXPECT_EQ(grid.Options().ToInt(), 169864445u);
        EXPECT_EQ(grid.OptionsEx().ToInt(), 74949568u);
        EXPECT_EQ(
            grid.OptionsEx().ToInt(),
            (Bits<TMvDBGridOptionsEx>({dgTotalHeaderBox, dgTotalValuesBox, dgTotalFieldsBox, dgTotalFooterBox,
                                       dgAutoAscendOrder, dgAutoUpdateSequence, dgDelayUpdateSequence,
                                       dgAutoUpdateTotals, dgDelayUpdateTotals, dgCalcWholeDataSet,
                                       dgCalcSelectedRows, dgDelaySelectedRows, dgSelectedAutoHidden})));
        EXPECT_EQ(grid.OptionsExt().ToInt(), 24696u);
        EXPECT_EQ(grid.OptionsExt().ToInt(),
                  (Bits<TMvDBGridOptionsExt>({dgAutoUpdateListItems, dgDelayUpdateListItems, dgGridStyleLists,
                                              dgMouseScrolling, dgForceSystemButton, dgForceSystemMarker})));
        EXPECT_EQ(grid.DrawingOptions().ToInt(), 127u);
        EXPECT_EQ(grid.HintOptions().ToInt(), 4119u);
        EXPECT_EQ(grid.ResizeOptions().ToInt(), 15u);
        EXPECT_EQ(grid.MultiSelectOptions(), TMultiSelectOptions{msRows});
        EXPECT_EQ(grid.StyleElements().ToInt(), 7u);
        EXPECT_EQ(grid.SystemStyleElements().ToInt(), 31u);

        // Through the published properties and back.
        EXPECT_EQ(GetOrdProp(&grid, u"Options"), 169864445);
        EXPECT_EQ(GetOrdProp(&grid, u"OptionsEx"), 74949568);
        EXPECT_EQ(GetOrdProp(&grid, u"OptionsExt"), 24696);
        SetOrdProp(&grid, u"OptionsExt", 24696 | (1 << dgScrollGridMode));
        EXPECT_TRUE(grid.OptionsExt().Contains(dgScrollGridMode));
        EXPECT_EQ(GetOrdProp(&grid, u"OptionsExt"), 24696 | (1 << dgScrollGridMode));
        EXPECT_FALSE(IsStoredProp(&grid, u"DrawingOptions"));
    }
    InstallHost(nullptr);
}

TEST(GridOptionDefaults, AKoreanUserInterfaceAddsAlwaysShowEditor) {
    THeadlessHost host;
    InstallHost(&host);
    ::unsetenv("LC_ALL");
    ::setenv("LC_MESSAGES", "ko_KR.UTF-8", 1);
    {
        TMvDBGrid grid(nullptr);
        EXPECT_TRUE(grid.Options().Contains(dgAlwaysShowEditor));
    }
    ::setenv("LC_MESSAGES", "kok_IN", 1); // Konkani is not Korean
    {
        TMvDBGrid grid(nullptr);
        EXPECT_FALSE(grid.Options().Contains(dgAlwaysShowEditor));
    }
    ::unsetenv("LC_MESSAGES");
    InstallHost(nullptr);
}

TEST(GridPublishedProperties, TableDefaultsAreReadableByName) {
    THeadlessHost host;
    InstallHost(&host);
    {
        TMvDBGrid grid(nullptr);
        EXPECT_EQ(GetOrdProp(&grid, u"Color"), clWindow);
        EXPECT_EQ(GetOrdProp(&grid, u"FixedColor"), clBtnFace);
        EXPECT_EQ(GetOrdProp(&grid, u"FixedCols"), 0);
        EXPECT_EQ(GetOrdProp(&grid, u"GridLineWidth"), 1);
        EXPECT_EQ(GetEnumProp(&grid, u"ScrollBars"), u"ssBoth");
        EXPECT_EQ(GetOrdProp(&grid, u"IndicatorWidth"), 20);
        EXPECT_EQ(GetOrdProp(&grid, u"LinesCountMax"), -1);
        EXPECT_EQ(GetOrdProp(&grid, u"FillerIndex"), -7);
        EXPECT_EQ(GetOrdProp(&grid, u"StripeColor"), clNone);
        EXPECT_EQ(GetOrdProp(&grid, u"SelectRowColor"), clDefault);
        EXPECT_EQ(GetEnumProp(&grid, u"FixedTheme"), u"ftDefault");
        EXPECT_EQ(GetEnumProp(&grid, u"MarkerStyle"), u"msAuto");
        EXPECT_EQ(GetEnumProp(&grid, u"FillerButton"), u"True");
        // Companions are readable through paths.
        EXPECT_EQ(GetOrdProp(&grid, u"Search.ListWidth"), 104);
        EXPECT_EQ(GetStrProp(&grid, u"TreeView.RowOrderFieldName"), u"RowOrder");
        EXPECT_EQ(GetOrdProp(&grid, u"TreeView.OpenToLevel"), -1);
        EXPECT_EQ(GetOrdProp(&grid, u"Totals.DataMaxRow"), 5);
        EXPECT_EQ(GetSetProp(&grid, u"Settings.Options"), u"soLoadLayout,soSaveLayout");
        EXPECT_EQ(GetSetProp(&grid, u"FilterGrid.AutoFilters"), u"fsFilterList,fsFilterForm");
        EXPECT_EQ(GetOrdProp(&grid, u"FilterGrid.Periods") & (1 << fpOthers), 0);
        EXPECT_EQ(GetEnumProp(&grid, u"Gradient.Active"), u"False");
        // The inherited grid shows only its horizontal bar; the grid draws its own vertical one.
        EXPECT_EQ(static_cast<const TCustomGrid&>(grid).ScrollBars(), ssHorizontal);
        EXPECT_TRUE(grid.DoubleBuffered());
    }
    InstallHost(nullptr);
}

// Every ordinal property with a declared default starts at it, companions included: a
// value equal to the default is not written, so reading must find it already there.
void ExpectDeclaredDefaults(const TObject* object, const String& path, Integer depth) {
    for (const TPropInfo* info : GetPropList(object)) {
        String name = path + info->Name();
        if (info->Kind() == tkClass) {
            const TObject* value = info->GetObject(object);
            // Owned sub-objects only: references to components are not the grid's state.
            if (value != nullptr && depth < 3 && dynamic_cast<const TComponent*>(value) == nullptr &&
                dynamic_cast<const TCollection*>(value) == nullptr)
                ExpectDeclaredDefaults(value, name + u".", depth + 1);
            continue;
        }
        if (!info->HasDefault() || !info->IsStored(object)) continue;
        EXPECT_EQ(info->GetOrd(object), info->Default()) << UTF8Encode(name);
    }
}

TEST(GridPublishedProperties, AFreshGridHoldsEveryDeclaredDefault) {
    THeadlessHost host;
    InstallHost(&host);
    {
        TMvDBGrid grid(nullptr);
        ExpectDeclaredDefaults(&grid, u"", 0);
    }
    InstallHost(nullptr);
}

TEST(GridPublishedProperties, AGridOnAFormIsWrittenAndReadBack) {
    THeadlessHost host;
    InstallHost(&host);
    RegisterVclClasses();
    RegisterDBClasses();
    RegisterGridClasses();
    {
        TForm form(nullptr);
        form.SetName(u"Orders");
        {
            // A grid left as made writes only its bounds, order and links.
            TMvDBGrid plain(&form);
            plain.SetName(u"Plain");
            std::string fresh = UTF8Encode(ComponentToText(&plain));
            EXPECT_EQ(fresh.find("Font"), std::string::npos) << fresh;
            // A font of the totals' own is written: the grid stops taking its parent's.
            plain.Totals()->Font()->SetStyle({fsItalic});
            EXPECT_FALSE(plain.ParentFont());
            std::string own = UTF8Encode(ComponentToText(&plain));
            EXPECT_NE(own.find("Totals.Font.Style = [fsItalic]"), std::string::npos) << own;
        }
        auto* source = new TDataSource(&form);
        source->SetName(u"OrdersSource");
        auto* grid = new TMvDBGrid(&form);
        grid->SetName(u"OrdersGrid");
        grid->SetParent(&form);
        grid->SetAlign(alClient);
        grid->SetDataSource(source);
        // The title font follows the grid's font until it is changed itself.
        grid->Font()->SetColor(clNavy);
        EXPECT_EQ(grid->TitleFont()->Color(), clNavy);
        grid->TitleFont()->SetStyle({fsBold});
        grid->Font()->SetColor(clMaroon);
        EXPECT_EQ(grid->TitleFont()->Color(), clNavy);
        EXPECT_EQ(grid->HeaderFont()->Color(), clMaroon);
        grid->SetIndicatorWidth(14);
        String text = ComponentToText(&form);
        std::string utf8 = UTF8Encode(text);
        EXPECT_NE(utf8.find("object OrdersGrid: TMvDBGrid"), std::string::npos) << utf8;
        EXPECT_NE(utf8.find("TitleFont.Style = [fsBold]"), std::string::npos) << utf8;
        EXPECT_NE(utf8.find("  Font.Color = clMaroon"), std::string::npos) << utf8;
        EXPECT_NE(utf8.find("TitleFont.Color = clNavy"), std::string::npos) << utf8;
        EXPECT_NE(utf8.find("DataSource = OrdersSource"), std::string::npos) << utf8;
        // A header font that was never assigned follows the grid's font and is not written.
        EXPECT_EQ(utf8.find("HeaderFont"), std::string::npos) << utf8;

        TForm copy(nullptr);
        TextToComponent(text, &copy);
        auto* read = dynamic_cast<TMvDBGrid*>(copy.FindComponent(u"OrdersGrid"));
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->Parent(), &copy);
        EXPECT_EQ(read->Align(), alClient);
        EXPECT_EQ(read->DataSource(), copy.FindComponent(u"OrdersSource"));
        EXPECT_EQ(read->TitleFont()->Style(), TFontStyles{fsBold});
        EXPECT_EQ(read->TitleFont()->Color(), clNavy);
        EXPECT_EQ(read->HeaderFont()->Color(), clMaroon);
        EXPECT_EQ(read->IndicatorWidth(), 14);
        EXPECT_EQ(ComponentToText(&copy), text);
    }
    InstallHost(nullptr);
}

TEST(GridCompanionSetters, ClampAndDefaultRulesHold) {
    THeadlessHost host;
    InstallHost(&host);
    {
        TMvDBGrid grid(nullptr);
        grid.Search()->SetListWidth(0);
        EXPECT_EQ(grid.Search()->ListWidth(), 104);
        grid.Search()->SetListWidth(50);
        EXPECT_EQ(grid.Search()->ListWidth(), 80);
        grid.TreeView()->SetRowOrderFieldSize(7);
        EXPECT_EQ(grid.TreeView()->RowOrderFieldSize(), 20);
        grid.TreeView()->SetRowOrderFieldSize(-3);
        EXPECT_EQ(grid.TreeView()->RowOrderFieldSize(), 80);
        grid.TreeView()->SetRowLevelFieldName(u"ROWLEVEL");
        EXPECT_FALSE(IsStoredProp(&grid, u"TreeView.RowLevelFieldName"));
        grid.TreeView()->SetRowLevelFieldName(u"Depth");
        EXPECT_TRUE(IsStoredProp(&grid, u"TreeView.RowLevelFieldName"));
        grid.FilterGrid()->SetClauses({fcIsEqual});
        EXPECT_EQ(grid.FilterGrid()->Clauses(), (TMvDBGridFilterClauses{fcNoFilter, fcIsEqual}));
        grid.Totals()->SetLinesCount(0);
        EXPECT_EQ(grid.Totals()->LinesCount(), 1);
        EXPECT_FALSE(grid.Totals()->Visible());
        grid.SetOptionsEx(grid.OptionsEx() + dgTotalFooter);
        EXPECT_TRUE(grid.Totals()->Visible());
        EXPECT_TRUE(grid.Totals()->Active());
    }
    InstallHost(nullptr);
}

struct GridOptionSetters : GridFixture {};

TEST_F(GridOptionSetters, RowSelectRemovesEditingAndDrivesTheInheritedOptions) {
    Grid->SetOptions(Grid->Options() + dgRowSelect + dgAlwaysShowEditor);
    EXPECT_TRUE(Grid->Options().Contains(dgRowSelect));
    EXPECT_FALSE(Grid->Options().Contains(dgEditing));
    EXPECT_FALSE(Grid->Options().Contains(dgAlwaysShowEditor));
    const TGridOptions inherited = Grid->TCustomGrid::Options();
    EXPECT_TRUE(inherited.Contains(goRowSelect));
    EXPECT_FALSE(inherited.Contains(goEditing));
    EXPECT_FALSE(inherited.Contains(goAlwaysShowEditor));

    Grid->SetOptions(Grid->Options() - dgColLines - dgColumnResize + dgThumbTracking);
    const TGridOptions after = Grid->TCustomGrid::Options();
    EXPECT_FALSE(after.Contains(goVertLine));
    EXPECT_FALSE(after.Contains(goColSizing));
    EXPECT_FALSE(after.Contains(goColMoving));
    EXPECT_TRUE(after.Contains(goHorzLine));
    EXPECT_TRUE(after.Contains(goThumbTracking));
    EXPECT_FALSE(after.Contains(goFixedVertLine)); // only with a custom style or a gradient
}

TEST_F(GridOptionSetters, TotalRowsForceTheBlankRowAndSelectedRowsDropCalcSelected) {
    Grid->SetOptionsEx({dgTotalFooter});
    EXPECT_EQ(Grid->OptionsEx(), (TMvDBGridOptionsEx{dgBlankRow, dgTotalFooter}));

    Grid->SetOptionsEx({dgCalcSelectedRows, dgTotalValuesSelected});
    EXPECT_FALSE(Grid->OptionsEx().Contains(dgCalcSelectedRows));
    EXPECT_FALSE(Grid->OptionsEx().Contains(dgBlankRow));

    // With dgSelectedAutoHidden the *Selected rows appear only while the totals report a
    // selection.
    Grid->SetOptionsEx({dgSelectedAutoHidden, dgTotalHeaderSelected});
    EXPECT_FALSE(Grid->OptionsEx().Contains(dgTotalHeader));
    Grid->Totals()->SetSelectedFlags(true, false);
    Grid->SetOptionsEx({dgSelectedAutoHidden, dgTotalHeaderSelected});
    EXPECT_TRUE(Grid->OptionsEx().Contains(dgTotalHeader));
    EXPECT_TRUE(Grid->OptionsEx().Contains(dgBlankRow));
}

TEST_F(GridOptionSetters, OnlyChangedLayoutMembersRunTheLayout) {
    const Integer before = Grid->Layouts;
    Grid->SetOptions(Grid->Options()); // unchanged: nothing
    Grid->SetOptions(Grid->Options() + dgRowScroll - dgRowScroll);
    EXPECT_EQ(Grid->Layouts, before);
    Grid->SetOptions(Grid->Options() - dgConfirmDelete); // not a layout member
    EXPECT_EQ(Grid->Layouts, before);
    Grid->SetOptions(Grid->Options() - dgIndicator);
    EXPECT_EQ(Grid->Layouts, before + 1);
    EXPECT_EQ(Grid->IndicatorOffset(), 0);
    Grid->SetOptionsEx(Grid->OptionsEx() + dgBlankRow);
    EXPECT_EQ(Grid->Layouts, before + 2);
    EXPECT_EQ(Grid->GetBottomRowCount(), 1);
    Grid->SetOptionsEx(Grid->OptionsEx() + dgClickSelectOff); // beyond the first eleven
    EXPECT_EQ(Grid->Layouts, before + 2);
    Grid->SetOptionsExt(Grid->OptionsExt() + dgAutoNumberColumn);
    EXPECT_EQ(Grid->Layouts, before + 3);
    Grid->SetOptionsExt(Grid->OptionsExt() + dgMouseTracking);
    EXPECT_EQ(Grid->Layouts, before + 3);
}

TEST_F(GridOptionSetters, SwitchOperationsAddAndRemoveThroughTheSetters) {
    Grid->SwitchOptions({dgRowSelect, dgMultiSelect}, true);
    EXPECT_TRUE(Grid->Options().Contains(dgMultiSelect));
    EXPECT_FALSE(Grid->Options().Contains(dgEditing)); // the setter's rule applied
    Grid->SwitchOptions({dgRowSelect, dgMultiSelect}, false);
    EXPECT_FALSE(Grid->Options().Contains(dgRowSelect));
    Grid->SwitchOptionsEx({dgTotalHeader}, true);
    EXPECT_TRUE(Grid->OptionsEx().Contains(dgBlankRow));
    Grid->SwitchHintOptions({hoShowToolTips}, false);
    EXPECT_EQ(Grid->HintOptions().ToInt(), 4119u - 16u);
    Grid->SwitchMultiSelectOptions({msCols}, true);
    EXPECT_EQ(Grid->MultiSelectOptions(), (TMultiSelectOptions{msRows, msCols}));
    Grid->SwitchResizeOptions({roOptimalWidth}, false);
    EXPECT_EQ(Grid->ResizeOptions().ToInt(), 13u);
    Grid->SwitchStyleElements({seBorder}, false);
    EXPECT_EQ(Grid->StyleElements().ToInt(), 3u);
    Grid->SwitchSystemStyleElements({sseSearch}, true);
    EXPECT_EQ(Grid->SystemStyleElements().ToInt(), 31u + 128u);
    Grid->SwitchDrawingOptions({gdoStripedRows}, true);
    EXPECT_EQ(Grid->DrawingOptions().ToInt(), 255u);
    Grid->SwitchOptionsExt({dgScrollGridMode}, true);
    EXPECT_TRUE(Grid->OptionsExt().Contains(dgScrollGridMode));
}

TEST(GridUnitSettings, InitialValuesAndAutoNumberStr) {
    EXPECT_EQ(DelayInterval, 200);
    EXPECT_EQ(DefAutoNumberTitle, u"No.");
    EXPECT_EQ(DefAutoSelectWidth, 48);
    EXPECT_EQ(DefPickTextFormat, u"%1:s - %0:s");
    EXPECT_EQ(DefaultDelimiter, u",");
    EXPECT_EQ(DefaultRegistryKey, u"\\Software\\Molvar Software\\MvDBGrid");
    EXPECT_EQ(MaxDropDownRows, 20);
    EXPECT_EQ(MaxDropDownWidth, 800);
    EXPECT_TRUE(ListMouseTracking);
    EXPECT_EQ(CM_DEFERLAYOUT, 1124u);
    EXPECT_EQ(AutoNumberStr(0), u"");
    EXPECT_EQ(AutoNumberStr(-3), u"");
    EXPECT_EQ(AutoNumberStr(1), u"1.");
    EXPECT_EQ(AutoNumberStr(12), u"12.");
    const String saved = DefAutoNumberFormat;
    DefAutoNumberFormat = u"#%d";
    EXPECT_EQ(AutoNumberStr(7), u"#7");
    DefAutoNumberFormat = saved;
}

TEST(GridStyleAdjustments, NinetyRowsWithTheirValuesAndActiveStyleAccess) {
    InitializeGridStyles();
    EXPECT_EQ(StyleAdjustmentNames().size(), 90u);
    EXPECT_TRUE(GetFlatStyle(u"Windows"));
    EXPECT_EQ(GetFixedTextStyle(u"Aqua Light Slate 2"), -90);
    EXPECT_EQ(GetCellFrameStyle(u"Glossy 2"), 1);
    EXPECT_EQ(GetSelectRowStyle(u"Slate Classico"), 10);
    EXPECT_TRUE(GetFlatStyle(u"Amakrits"));
    EXPECT_EQ(GetCellFrameStyle(u"Amakrits"), 2);
    EXPECT_EQ(GetSelectRowStyle(u"Amakrits"), -110);
    EXPECT_EQ(GetFixedTextStyle(u"Carbon"), 25);
    EXPECT_EQ(GetFixedTextStyle(u"Stellar Dark"), 25);
    EXPECT_EQ(GetFixedTextStyle(u"Zodiac LE"), 30);
    EXPECT_FALSE(GetFlatStyle(u"Fiord"));
    EXPECT_EQ(GetSelectRowStyle(u"Windows10 OxfordBlue"), -35);
    EXPECT_EQ(GetFixedTextStyle(u"No Such Style"), 0);
    // The active style here is "Windows".
    EXPECT_TRUE(GetFlatActiveStyle());
    EXPECT_EQ(GetSelectRowActiveStyle(), 0);
    SetSelectRowActiveStyle(15);
    EXPECT_EQ(GetSelectRowStyle(u"Windows"), 15);
    SetSelectRowActiveStyle(0);
    EXPECT_EQ(GetSelectRowStyle(u"Windows"), 0);
    SetFixedTextStyle(u"Custom", -5);
    EXPECT_EQ(StyleAdjustmentNames().size(), 91u);
    SetFixedTextStyle(u"Custom", 0);
    EXPECT_EQ(StyleAdjustmentNames().size(), 90u);
    FinalizeGridStyles();
}

} // namespace
} // namespace mv::test
