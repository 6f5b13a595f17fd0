// The built-in image strips: sizes as the grid cuts them, every image drawn and distinct,
// the mask colour around the glyphs, and a snapshot of all strips to look at.
#include "platform/vcl/Resources.h"

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/CanvasTestKit.h"
#include "platform/vcl/ImageList.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace mv {
namespace {

struct StripShape {
    const char16_t* Name;
    int Width, Height, Images;
    // Boxes may fill their whole cell.
    bool FillsCell = false;
    // The unchecked check box looks the same for every kind.
    bool RepeatsUnchecked = false;
};

constexpr StripShape kStrips[] = {
    {u"MVDBINDICATORS", 432, 16, 27},
    {u"MVDBMARKERS", 320, 16, 20},
    {u"MVDBCHECKBOXES", 117, 13, 9, true, true},
    {u"MVDBEXPANDBOXES", 117, 13, 9, true},
    {u"MVDBCALENDAR", 16, 16, 1},
    {u"MVDBCALCULATOR", 16, 16, 1},
};

// The image's pixels as $00BBGGRR values, row by row.
std::vector<TColor> ImagePixels(const TBitmap& strip, int index, int side) {
    std::vector<TColor> pixels;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            pixels.push_back(strip.PixelColor(index * side + x, y));
    return pixels;
}

TEST(ResourceStrips, EveryStripHasItsSizeAndDistinctDrawnImages) {
    for (const StripShape& shape : kStrips) {
        SCOPED_TRACE(testing::Message() << "strip " << UTF8Encode(shape.Name));
        TBitmap strip;
        ASSERT_NO_THROW(strip.LoadFromResourceName(HInstance, shape.Name));
        EXPECT_EQ(strip.Width(), shape.Width);
        EXPECT_EQ(strip.Height(), shape.Height);
        EXPECT_EQ(strip.TransparentColor(), TColor(0x008080));
        const int side = shape.Height;
        std::set<std::vector<TColor>> seen;
        for (int i = 0; i < shape.Images; ++i) {
            std::vector<TColor> pixels = ImagePixels(strip, i, side);
            int drawn = 0;
            for (TColor p : pixels)
                drawn += p != TColor(0x008080);
            // A glyph is more than a speck, and leaves room for the mask around it.
            EXPECT_GE(drawn, 4) << "image " << i;
            if (shape.RepeatsUnchecked && i % 3 == 0) continue;
            if (!shape.FillsCell) {
                EXPECT_LT(drawn, side * side) << "image " << i;
            }
            EXPECT_TRUE(seen.insert(pixels).second) << "image " << i << " repeats an earlier image";
        }
    }
}

TEST(ResourceStrips, UnknownNameRaisesAndRegisteredMakerIsUsed) {
    TBitmap b;
    EXPECT_THROW(b.LoadFromResourceName(HInstance, u"NOSUCHSTRIP"), EResNotFound);
    RegisterBitmapResource(u"TESTSTRIP", [](TBitmap& bitmap) { bitmap.SetSize(3, 2); });
    b.LoadFromResourceName(HInstance, u"teststrip");
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Height(), 2);
}

// Every strip through an image list on a white and a highlighted row, three times
// enlarged, so the masked look can be checked by eye and stays stable.
TEST(ResourceStrips, SnapshotOfAllStripsMasked) {
    TBitmap sheet(450, 6 * 40);
    TCanvas& c = *sheet.Canvas();
    c.Brush()->SetColor(clWindow);
    c.FillRect({0, 0, 450, 240});
    int y = 2;
    for (const StripShape& shape : kStrips) {
        TBitmap strip;
        strip.LoadFromResourceName(HInstance, shape.Name);
        TImageList images;
        images.SetSize(shape.Height, shape.Height);
        images.AddMasked(&strip, strip.TransparentColor());
        c.Brush()->SetColor(clHighlight);
        c.FillRect({0, y + 18, 450, y + 36});
        for (int i = 0; i < images.Count(); ++i) {
            images.Draw(&c, 2 + i * 16, y, i);
            images.Draw(&c, 2 + i * 16, y + 19, i);
        }
        y += 40;
    }
    TBitmap big(900, 480);
    big.Canvas()->StretchDraw({0, 0, 900, 480}, &sheet);
    test::ExpectMatchesGolden(big, MV_VCL_GOLDEN_DIR, "resource_strips.png");
}

} // namespace
} // namespace mv
