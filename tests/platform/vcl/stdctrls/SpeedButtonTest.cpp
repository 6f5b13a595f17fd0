// Speed buttons: groups, clicks, the flat hot look and glyphs from an image list.
#include "StdCtrlsTestKit.h"

#include "platform/vcl/Buttons.h"
#include "platform/vcl/ImageList.h"

using namespace mv;
using namespace mv::test;

namespace {

using SpeedButtonTest = StdCtrlsFixture;

} // namespace

TEST_F(SpeedButtonTest, GroupKeepsOneDownAndAllowAllUpLetsTheLastRise) {
    TSpeedButton* buttons[3];
    int clicks = 0;
    for (int i = 0; i < 3; ++i) {
        buttons[i] = Add<TSpeedButton>(10 + i * 24, 10, 23, 22);
        buttons[i]->SetGroupIndex(1);
        buttons[i]->OnClick = [&](TObject*) { ++clicks; };
    }
    auto* loose = Add<TSpeedButton>(100, 10, 23, 22);
    loose->OnClick = [&](TObject*) { ++clicks; };
    Paint();

    Host.Click(buttons[0], 5, 5);
    EXPECT_TRUE(buttons[0]->Down());
    EXPECT_EQ(buttons[0]->State(), bsExclusive);
    Host.Click(buttons[2], 5, 5);
    EXPECT_FALSE(buttons[0]->Down());
    EXPECT_EQ(buttons[0]->State(), bsUp);
    EXPECT_TRUE(buttons[2]->Down());
    // Without AllowAllUp the down button stays down when clicked again (still a click).
    Host.Click(buttons[2], 5, 5);
    EXPECT_TRUE(buttons[2]->Down());
    EXPECT_EQ(clicks, 3);
    buttons[2]->SetDown(false);
    EXPECT_TRUE(buttons[2]->Down());

    // AllowAllUp is shared by the group.
    buttons[0]->SetAllowAllUp(true);
    EXPECT_TRUE(buttons[2]->AllowAllUp());
    Host.Click(buttons[2], 5, 5);
    EXPECT_FALSE(buttons[2]->Down());
    for (TSpeedButton* b : buttons)
        EXPECT_FALSE(b->Down());

    // A button without a group never stays down; releasing outside is no click.
    Host.Click(loose, 5, 5);
    EXPECT_FALSE(loose->Down());
    EXPECT_EQ(clicks, 5);
    Host.MouseDown(loose, 5, 5);
    EXPECT_EQ(loose->State(), bsDown);
    Host.MouseMove(loose, 50, 50);
    EXPECT_EQ(loose->State(), bsUp);
    Host.MouseUp(loose, 50, 50);
    EXPECT_EQ(clicks, 5);
    loose->SetDown(true);
    EXPECT_FALSE(loose->Down());

    // Joining a group that has a down button raises the newcomer.
    buttons[1]->SetDown(true);
    loose->SetGroupIndex(1);
    loose->SetAllowAllUp(false);
    loose->SetDown(true);
    EXPECT_TRUE(loose->Down());
    EXPECT_FALSE(buttons[1]->Down());
}

TEST_F(SpeedButtonTest, FlatButtonShowsItsFrameOnlyWhileHot) {
    auto* button = Add<TSpeedButton>(20, 20, 23, 22);
    button->SetFlat(true);
    Paint();
    EXPECT_EQ(Host.PixelAt(button, 0, 0), Rgb(clBtnFace)) << "no frame while the mouse is away";
    Host.MouseMove(button, 10, 10);
    Paint();
    EXPECT_TRUE(button->MouseInControl());
    EXPECT_EQ(Host.PixelAt(button, 0, 0), Rgb(clBtnHighlight)) << "raised frame while hot";
    EXPECT_EQ(Host.PixelAt(button, 22, 21), Rgb(clBtnShadow));
    Host.MouseMove(Form, 5, 5);
    Paint();
    EXPECT_FALSE(button->MouseInControl());
    EXPECT_EQ(Host.PixelAt(button, 0, 0), Rgb(clBtnFace));

    // A raised (not flat) button always has its frame.
    button->SetFlat(false);
    Paint();
    EXPECT_EQ(Host.PixelAt(button, 0, 0), Rgb(cl3DLight));
}

TEST_F(SpeedButtonTest, DrawsTheImageListImageAndFallsBackToTheGlyph) {
    auto* images = new TImageList(Form);
    images->SetSize(8, 8);
    TBitmap strip(16, 8);
    strip.Canvas()->Brush()->SetColor(clRed);
    strip.Canvas()->FillRect(Rect(0, 0, 8, 8));
    strip.Canvas()->Brush()->SetColor(clBlue);
    strip.Canvas()->FillRect(Rect(8, 0, 16, 8));
    images->Add(&strip, nullptr);
    ASSERT_EQ(images->Count(), 2);

    auto* button = Add<TSpeedButton>(20, 20, 24, 24);
    button->SetImages(images);
    button->SetImageIndex(1);
    Paint();
    // The 8 x 8 image is centred in the 20 x 20 content area inside the 2-pixel frame.
    EXPECT_EQ(Host.PixelAt(button, 12, 12), Rgb(clBlue));

    TBitmap glyph(6, 6);
    glyph.Canvas()->Brush()->SetColor(clLime);
    glyph.Canvas()->FillRect(Rect(0, 0, 6, 6));
    glyph.Canvas()->Brush()->SetColor(clFuchsia);
    glyph.Canvas()->FillRect(Rect(0, 5, 1, 6)); // bottom-left: the transparent colour
    button->SetGlyph(&glyph);
    Paint();
    EXPECT_EQ(Host.PixelAt(button, 12, 12), Rgb(clBlue)) << "the image list wins while set";
    delete images;
    EXPECT_EQ(button->Images(), nullptr) << "a freed list is forgotten";
    Paint();
    EXPECT_EQ(Host.PixelAt(button, 12, 12), Rgb(clLime));
    EXPECT_EQ(Host.PixelAt(button, 9, 14), Rgb(clBtnFace)) << "the glyph's transparent pixel";

    // A pressed button shifts its picture one pixel down and right.
    Host.MouseDown(button, 12, 12);
    Paint();
    EXPECT_EQ(Host.PixelAt(button, 15, 15), Rgb(clLime));
    EXPECT_NE(Host.PixelAt(button, 9, 9), Rgb(clLime));
    Host.MouseUp(button, 12, 12);

    EXPECT_THROW(button->SetNumGlyphs(5), EInvalidOperation);
    EXPECT_EQ(button->NumGlyphs(), 1);
}

TEST_F(SpeedButtonTest, GlyphStripStatesAndAccelerator) {
    // Two images: up (green) and disabled (grey); the bottom-left pixel is transparent.
    TBitmap strip(12, 6);
    strip.Canvas()->Brush()->SetColor(clGreen);
    strip.Canvas()->FillRect(Rect(0, 0, 6, 6));
    strip.Canvas()->Brush()->SetColor(clSilver);
    strip.Canvas()->FillRect(Rect(6, 0, 12, 6));
    strip.Canvas()->Brush()->SetColor(clFuchsia);
    strip.Canvas()->FillRect(Rect(0, 5, 1, 6));
    auto* button = Add<TSpeedButton>(20, 20, 24, 24);
    button->SetNumGlyphs(2);
    button->SetGlyph(&strip);
    button->SetGroupIndex(3);
    button->SetAllowAllUp(true);
    button->SetCaption(u"&Go");
    button->SetLayout(blGlyphTop);
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    Paint();
    auto glyphPixel = [&] {
        for (Integer y = 0; y < 24; ++y)
            for (Integer x = 0; x < 24; ++x) {
                const std::uint32_t p = Host.PixelAt(button, x, y);
                if (p == Rgb(clGreen) || p == Rgb(clSilver)) return p;
            }
        return std::uint32_t{0};
    };
    EXPECT_EQ(glyphPixel(), Rgb(clGreen));
    button->SetEnabled(false);
    Paint();
    EXPECT_EQ(glyphPixel(), Rgb(clSilver)) << "the strip's own disabled image";
    Host.KeyDown(Word('G'), {ssAlt});
    EXPECT_EQ(clicks, 0) << "a disabled button ignores its accelerator";
    button->SetEnabled(true);
    Host.KeyDown(Word('G'), {ssAlt});
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(button->Down()) << "the accelerator presses as a click does";
    Host.KeyDown(Word('G'), {ssAlt});
    EXPECT_FALSE(button->Down());
}
