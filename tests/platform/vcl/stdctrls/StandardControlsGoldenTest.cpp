// A small desktop form with each standard control, rendered by the headless host and
// compared with a checked-in PNG. Set MV_UPDATE_GOLDEN=1 to rewrite the golden image
// after a deliberate change of the painting.
#include "StdCtrlsTestKit.h"

#include "platform/rtl/Utf8.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/ButtonControls.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/CheckLst.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/Shapes.h"
#include "platform/vcl/StdCtrls.h"

#include <cstdlib>

using namespace mv;
using namespace mv::test;

namespace {

using StandardControlsGolden = StdCtrlsFixture;

constexpr TColor kMask = clFuchsia;

// Four 16 x 16 tool glyphs drawn by code: down, up, first, last.
void AddToolGlyphs(TImageList* images) {
    TBitmap strip(64, 16);
    TCanvas* c = strip.Canvas();
    c->Brush()->SetColor(kMask);
    c->FillRect(Rect(0, 0, 64, 16));
    c->Pen()->SetColor(clNavy);
    c->Brush()->SetColor(clNavy);
    const TPoint down[] = {{3, 5}, {12, 5}, {8, 10}};
    const TPoint up[] = {{16 + 3, 10}, {16 + 12, 10}, {16 + 8, 5}};
    c->Polygon(down);
    c->Polygon(up);
    c->FillRect(Rect(32 + 3, 3, 32 + 13, 5)); // first: a bar over an up arrow
    const TPoint first[] = {{32 + 3, 12}, {32 + 12, 12}, {32 + 8, 7}};
    c->Polygon(first);
    c->FillRect(Rect(48 + 3, 11, 48 + 13, 13)); // last: a down arrow over a bar
    const TPoint last[] = {{48 + 3, 4}, {48 + 12, 4}, {48 + 8, 9}};
    c->Polygon(last);
    images->SetSize(16, 16);
    images->AddMasked(&strip, kMask);
}

void BuildForm(TForm* form) {
    form->SetBounds(100, 100, 460, 304);
    form->SetColor(clBtnFace);

    // Tool bar: flat speed buttons with glyphs, then a group of three caption buttons.
    auto* bar = new TPanel(form);
    bar->SetParent(form);
    bar->SetAlign(alTop);
    bar->SetHeight(32);
    bar->SetBevelOuter(bvNone);
    auto* images = new TImageList(form);
    AddToolGlyphs(images);
    for (int i = 0; i < 4; ++i) {
        auto* tool = new TSpeedButton(form);
        tool->SetParent(bar);
        tool->SetBounds(8 + i * 24, 5, 23, 22);
        tool->SetFlat(true);
        tool->SetImages(images);
        tool->SetImageIndex(i);
    }
    const char16_t* modes[] = {u"Left", u"Centre", u"Right"};
    for (int i = 0; i < 3; ++i) {
        auto* mode = new TSpeedButton(form);
        mode->SetParent(bar);
        mode->SetBounds(120 + i * 56, 5, 56, 22);
        mode->SetGroupIndex(1);
        mode->SetCaption(modes[i]);
        if (i == 1) mode->SetDown(true);
    }
    auto* separator = new TShape(form);
    separator->SetParent(bar);
    separator->SetBounds(0, 31, 460, 1);
    separator->Pen()->SetStyle(psClear);
    separator->Brush()->SetColor(clBtnShadow);

    // Left column: a labelled edit, then check boxes and radio buttons in group boxes.
    auto* nameLabel = new TLabel(form);
    nameLabel->SetParent(form);
    nameLabel->SetCaption(u"&Search for:");
    nameLabel->SetBounds(12, 46, 70, 15);
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(88, 42, 128, 23);
    edit->SetText(u"Smith");
    nameLabel->SetFocusControl(edit);

    auto* options = new TGroupBox(form);
    options->SetParent(form);
    options->SetBounds(12, 76, 204, 92);
    options->SetCaption(u"Options");
    const char16_t* optionCaptions[] = {u"Case sensitive", u"Whole words", u"Wrap around"};
    const TCheckBoxState optionStates[] = {cbChecked, cbUnchecked, cbGrayed};
    for (int i = 0; i < 3; ++i) {
        auto* box = new TCheckBox(form);
        box->SetParent(options);
        box->SetBounds(12, 22 + i * 22, 180, 17);
        box->SetCaption(optionCaptions[i]);
        box->SetAllowGrayed(true);
        box->SetState(optionStates[i]);
    }

    auto* match = new TGroupBox(form);
    match->SetParent(form);
    match->SetBounds(12, 176, 204, 70);
    match->SetCaption(u"Combine clauses");
    const char16_t* radioCaptions[] = {u"AND", u"OR"};
    for (int i = 0; i < 2; ++i) {
        auto* radio = new TRadioButton(form);
        radio->SetParent(match);
        radio->SetBounds(12, 22 + i * 22, 180, 17);
        radio->SetCaption(radioCaptions[i]);
        radio->SetChecked(i == 0);
    }

    // Right column: a check list of columns and colour swatches.
    auto* listLabel = new TLabel(form);
    listLabel->SetParent(form);
    listLabel->SetCaption(u"&Visible columns:");
    listLabel->SetBounds(232, 46, 120, 15);
    auto* list = new TCheckListBox(form);
    list->SetParent(form);
    list->SetBounds(232, 66, 212, 140);
    const char16_t* columns[] = {u"Customer", u"Order date", u"Ship date", u"Amount",
                                 u"Paid",     u"Discount",   u"Ship via",  u"Notes"};
    for (const char16_t* column : columns)
        list->Items()->Add(column);
    for (int i : {0, 1, 3, 4})
        list->SetChecked(i, true);
    list->SetItemEnabled(5, false);
    list->SetItemIndex(3);
    listLabel->SetFocusControl(list);

    const TShapeType shapes[] = {stRectangle, stRoundRect, stEllipse, stCircle};
    const TColor fills[] = {clSkyBlue, clMoneyGreen, clCream, static_cast<TColor>(RGB(255, 200, 160))};
    for (int i = 0; i < 4; ++i) {
        auto* shape = new TShape(form);
        shape->SetParent(form);
        shape->SetBounds(232 + i * 54, 214, 48, 32);
        shape->SetShape(shapes[i]);
        shape->Brush()->SetColor(fills[i]);
        shape->Pen()->SetColor(clGray);
    }

    // Button row.
    auto* buttons = new TPanel(form);
    buttons->SetParent(form);
    buttons->SetAlign(alBottom);
    buttons->SetHeight(44);
    buttons->SetBevelOuter(bvNone);
    auto* ok = new TButton(form);
    ok->SetParent(buttons);
    ok->SetBounds(288, 8, 75, 25);
    ok->SetCaption(u"OK");
    ok->SetDefault(true);
    auto* cancel = new TButton(form);
    cancel->SetParent(buttons);
    cancel->SetBounds(369, 8, 75, 25);
    cancel->SetCaption(u"Cancel");
    cancel->SetCancel(true);
}

} // namespace

TEST_F(StandardControlsGolden, DesktopFormMatchesSnapshot) {
    BuildForm(Form);
    Paint();
    const THostWindow window = Host.WindowOf(Form);
    ASSERT_NE(window, 0u);

    const std::string golden = MV_VCL_GOLDEN_DIR "/standard_controls.png";
    if (const char* update = std::getenv("MV_UPDATE_GOLDEN"); update && *update == '1') {
        ASSERT_TRUE(Host.SavePng(window, golden));
        GTEST_SKIP() << "golden image rewritten";
    }
    TBitmap expected;
    ASSERT_NO_THROW(expected.LoadFromFile(UTF8ToString(golden)))
        << "missing golden image; run with MV_UPDATE_GOLDEN=1";
    const TRect bounds = Host.WindowBounds(window);
    ASSERT_EQ(expected.Width(), bounds.Width());
    ASSERT_EQ(expected.Height(), bounds.Height());
    // Tolerance: a channel may differ by up to 24, on at most 0.2% of the pixels.
    int differing = 0;
    for (int y = 0; y < expected.Height(); ++y)
        for (int x = 0; x < expected.Width(); ++x) {
            const std::uint32_t a = Host.PixelAt(window, x, y); // $00RRGGBB
            const auto b = static_cast<TColorRef>(expected.PixelColor(x, y));
            const int d = std::max({std::abs(static_cast<int>((a >> 16) & 0xFF) - GetRValue(b)),
                                    std::abs(static_cast<int>((a >> 8) & 0xFF) - GetGValue(b)),
                                    std::abs(static_cast<int>(a & 0xFF) - GetBValue(b))});
            differing += d > 24;
        }
    if (differing > expected.Width() * expected.Height() / 500) {
        const std::string actual = "/tmp/standard_controls.actual.png";
        Host.SavePng(window, actual);
        FAIL() << differing << " pixels differ from " << golden << "; the drawing is in " << actual;
    }
}
