// Fonts, pens and brushes; bitmaps with transparency and BMP/PNG streams; pictures and the
// format registry (PNG, JPEG, GIF, icon, metafile); the bitmap resources; image lists.
#include "platform/vcl/Graphics.h"

#include "platform/rtl/Streams.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/CanvasTestKit.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/Picture.h"
#include "platform/vcl/Resources.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

using test::TestSurface;

template <typename E, typename F> String MessageOf(F&& f) {
    try {
        f();
    } catch (const E& e) {
        return e.Message();
    }
    return u"(no exception)";
}

// A 4 x 2 bitmap: red, green, blue, white on top; black, grey, yellow, teal below.
std::unique_ptr<TBitmap> SampleBitmap() {
    auto b = std::make_unique<TBitmap>(4, 2);
    const TColor colours[8] = {clRed, clLime, clBlue, clWhite, clBlack, clGray, clYellow, clTeal};
    for (int i = 0; i < 8; ++i)
        b->Canvas()->SetPixel(i % 4, i / 4, colours[i]);
    return b;
}

TEST(Graphics, FontPenBrushValues) {
    TFont f;
    int changes = 0;
    f.OnChange = [&](TObject*) { ++changes; };
    f.SetSize(12);
    EXPECT_EQ(f.Height(), -16);
    EXPECT_EQ(changes, 1);
    f.SetSize(12); // unchanged: no event
    EXPECT_EQ(changes, 1);
    f.SetHeight(-13);
    EXPECT_EQ(f.Size(), 10);
    f.SetStyle({fsBold, fsUnderline});
    f.SetColor(clRed);
    f.SetCharset(SYMBOL_CHARSET);
    f.SetPitch(fpFixed);
    EXPECT_EQ(changes, 6);
    TFont g;
    EXPECT_FALSE(g.Equals(f));
    g.Assign(&f);
    EXPECT_TRUE(g.Equals(f));
    EXPECT_EQ(g.TextKey(), f.TextKey());
    // An underlined font measures like the plain one but is another cache key.
    TFont plain;
    plain.SetHeight(-13);
    plain.SetStyle({fsBold});
    EXPECT_NE(plain.TextKey(), f.TextKey());

    TBrush b;
    b.SetStyle(bsClear);
    b.SetColor(clRed); // assigning a colour makes a clear brush solid
    EXPECT_EQ(b.Style(), bsSolid);
    TPen p;
    p.SetWidth(0);
    EXPECT_EQ(p.Width(), 1);
    TPen q;
    q.SetColor(clBlue);
    q.SetMode(pmXor);
    p.Assign(&q);
    EXPECT_EQ(p.Color(), clBlue);
    EXPECT_EQ(p.Mode(), pmXor);
    EXPECT_THROW(p.Assign(&b), EConvertError);
}

TEST(Graphics, BitmapPixelsStreamsAndTransparency) {
    auto b = SampleBitmap();
    EXPECT_EQ(b->PixelColor(2, 0), clBlue);
    EXPECT_EQ(b->PixelColor(3, 1), clTeal);
    EXPECT_EQ(b->PixelColor(4, 0), clNone);
    // Growing keeps the old pixels and adds white.
    b->SetSize(5, 3);
    EXPECT_EQ(b->PixelColor(1, 0), clLime);
    EXPECT_EQ(b->PixelColor(4, 2), clWhite);
    b->SetSize(4, 2);
    EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { b->SetSize(-1, 2); }), u"Invalid image size");

    // BMP round trips, with and without alpha.
    for (TPixelFormat format : {pf32bit, pf24bit}) {
        b->SetPixelFormat(format);
        TMemoryStream stream;
        b->SaveToStream(stream);
        EXPECT_EQ(stream.GetSize(), 54 + (format == pf32bit ? 4 * 4 * 2 : 12 * 2));
        stream.SetPosition(0);
        TBitmap c;
        c.LoadFromStream(stream);
        ASSERT_EQ(c.Width(), 4);
        ASSERT_EQ(c.Height(), 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(c.PixelColor(x, y), b->PixelColor(x, y)) << x << "," << y;
    }
    // PNG through a stream: TBitmap reads it too.
    TMemoryStream png;
    b->SaveToPNGStream(png);
    png.SetPosition(0);
    TBitmap d;
    d.LoadFromStream(png);
    EXPECT_EQ(d.PixelColor(0, 0), clRed);
    EXPECT_EQ(d.PixelColor(2, 1), clYellow);
    // Garbage leaves the bitmap empty with the framework's message.
    TStringStream junk(u"not an image at all");
    EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { d.LoadFromStream(junk); }), u"Bitmap image is not valid");
    EXPECT_TRUE(d.Empty());

    // Transparent drawing leaves the transparent colour's pixels alone; tmAuto takes the
    // bottom-left pixel.
    EXPECT_EQ(b->TransparentColor(), clBlack);
    b->SetTransparentColor(clBlue);
    EXPECT_EQ(b->TransparentMode(), tmFixed);
    b->SetTransparent(true);
    TestSurface s(8, 4, 0xFF00FF00u);
    TCanvas c;
    c.SetTarget(s.Buffer);
    c.Draw(1, 1, b.get());
    EXPECT_EQ(s.At(1, 1), clRed);
    EXPECT_EQ(s.At(3, 1), clLime); // the blue pixel was skipped: background shows
    EXPECT_EQ(s.At(1, 2), clBlack);
    b->SetTransparent(false);
    c.StretchDraw({0, 0, 8, 4}, b.get()); // twice the size, pixel for pixel
    EXPECT_EQ(s.At(4, 0), clBlue);
    EXPECT_EQ(s.At(5, 1), clBlue);
    EXPECT_EQ(s.At(7, 3), clTeal);

    // Drawing on the bitmap's canvas, then copying the bitmap.
    TBitmap e(10, 10);
    e.Canvas()->Brush()->SetColor(clNavy);
    e.Canvas()->FillRect({2, 2, 5, 5});
    TBitmap f;
    f.Assign(&e);
    EXPECT_EQ(f.PixelColor(3, 3), clNavy);
    EXPECT_EQ(f.PixelColor(6, 6), clWhite);
}

TEST(Graphics, ResourcesByName) {
    TBitmap b;
    b.LoadFromResourceName(HInstance, u"MVDBCHECKBOXES");
    EXPECT_EQ(b.Width(), 117);
    EXPECT_EQ(b.Height(), 13);
    EXPECT_EQ(b.TransparentColor(), 0x008080);
    // Unchecked and checked boxes differ only by the mark.
    int marks = 0;
    for (int y = 2; y < 11; ++y)
        for (int x = 2; x < 11; ++x)
            marks += b.PixelColor(13 + x, y) != b.PixelColor(x, y);
    EXPECT_GT(marks, 10);
    TBitmap e;
    e.LoadFromResourceName(HInstance, u"mvdbexpandboxes"); // names ignore case
    EXPECT_EQ(e.Width(), 117);
    EXPECT_EQ(MessageOf<EResNotFound>([&] { e.LoadFromResourceName(HInstance, u"NOPE"); }),
              u"Resource NOPE not found");
    RegisterBitmapResource(u"TESTGLYPH", [](TBitmap& g) {
        g.SetSize(3, 3);
        g.Canvas()->SetPixel(1, 1, clRed);
    });
    e.LoadFromResourceName(HInstance, u"TESTGLYPH");
    EXPECT_EQ(e.PixelColor(1, 1), clRed);
}

TEST(Graphics, PictureFormats) {
    auto sample = SampleBitmap();
    TPicture pic;
    // PNG: encoded from pixels, recognised by signature, saved back byte for byte.
    TPngImage png;
    png.Assign(sample.get());
    TMemoryStream pngBytes;
    png.SaveToStream(pngBytes);
    pngBytes.SetPosition(0);
    pic.LoadFromStream(pngBytes);
    ASSERT_NE(dynamic_cast<TPngImage*>(pic.Graphic()), nullptr);
    EXPECT_EQ(pic.Width(), 4);
    TMemoryStream again;
    pic.SaveToStream(again);
    EXPECT_EQ(again.GetSize(), pngBytes.GetSize());
    EXPECT_EQ(static_cast<TPngImage*>(pic.Graphic())->Bitmap()->PixelColor(2, 0), clBlue);

    // JPEG: lossy, so colours come back near.
    TBitmap big(16, 16);
    big.Canvas()->Brush()->SetColor(clRed);
    big.Canvas()->FillRect({0, 0, 16, 16});
    TJPEGImage jpeg;
    jpeg.Assign(&big);
    TMemoryStream jpegBytes;
    jpeg.SaveToStream(jpegBytes);
    jpegBytes.SetPosition(0);
    pic.LoadFromStream(jpegBytes);
    auto* loaded = dynamic_cast<TJPEGImage*>(pic.Graphic());
    ASSERT_NE(loaded, nullptr);
    auto red = static_cast<TColorRef>(loaded->Bitmap()->PixelColor(8, 8));
    EXPECT_GT(GetRValue(red), 240);
    EXPECT_LT(GetGValue(red), 20);

    // GIF: no encoder, said plainly.
    TGIFImage gif;
    gif.Assign(sample.get());
    TMemoryStream gifBytes;
    EXPECT_THROW(gif.SaveToStream(gifBytes), EInvalidGraphicOperation);

    // Icon: written as PNG-in-ICO and read back; a 24-bit DIB icon with its AND mask.
    TIcon icon;
    icon.Assign(sample.get());
    TMemoryStream icoBytes;
    icon.SaveToStream(icoBytes);
    icoBytes.SetPosition(0);
    pic.LoadFromStream(icoBytes);
    ASSERT_NE(dynamic_cast<TIcon*>(pic.Graphic()), nullptr);
    EXPECT_EQ(static_cast<TIcon*>(pic.Graphic())->Bitmap()->PixelColor(0, 0), clRed);
    std::vector<Byte> dib = {0, 0, 1, 0, 1, 0, 2, 2, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 22, 0, 0, 0};
    std::vector<Byte> header = {40, 0, 0, 0, 2, 0, 0, 0, 4, 0, 0, 0, 1, 0, 24, 0};
    header.resize(40, 0);
    dib.insert(dib.end(), header.begin(), header.end());
    // Colour rows bottom-up (B, G, R, padded to 8 bytes): bottom blue/blue, top red/green.
    std::vector<Byte> rows = {255, 0, 0, 255, 0, 0, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0};
    // Mask rows bottom-up: bottom-right pixel transparent.
    std::vector<Byte> mask = {0x40, 0, 0, 0, 0, 0, 0, 0};
    dib.insert(dib.end(), rows.begin(), rows.end());
    dib.insert(dib.end(), mask.begin(), mask.end());
    auto size = static_cast<std::uint32_t>(dib.size() - 22);
    dib[14] = static_cast<Byte>(size);
    TMemoryStream dibStream;
    dibStream.WriteBuffer(dib.data(), static_cast<Integer>(dib.size()));
    dibStream.SetPosition(0);
    TIcon dibIcon;
    dibIcon.LoadFromStream(dibStream);
    EXPECT_EQ(dibIcon.Width(), 2);
    EXPECT_EQ(dibIcon.Bitmap()->PixelColor(0, 0), clRed);
    EXPECT_EQ(dibIcon.Bitmap()->PixelColor(1, 0), clLime);
    EXPECT_EQ(dibIcon.Bitmap()->Pixels().Row(1)[0] >> 24, 255u);
    EXPECT_EQ(dibIcon.Bitmap()->Pixels().Row(1)[1] >> 24, 0u);
    TStringStream notIcon(u"xx");
    EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { dibIcon.LoadFromStream(notIcon); }),
              u"Icon image is not valid");

    // Metafile: kept as bytes, sized from its header, drawn as a placeholder.
    std::vector<Byte> emf(88, 0);
    emf[0] = 1;
    emf[8] = 10; // bounds 10,20 .. 59,49
    emf[12] = 20;
    emf[16] = 59;
    emf[20] = 49;
    emf[40] = ' ';
    emf[41] = 'E';
    emf[42] = 'M';
    emf[43] = 'F';
    TMemoryStream emfStream;
    emfStream.WriteBuffer(emf.data(), 88);
    emfStream.SetPosition(0);
    pic.LoadFromStream(emfStream);
    ASSERT_NE(dynamic_cast<TMetafile*>(pic.Graphic()), nullptr);
    EXPECT_EQ(pic.Width(), 50);
    EXPECT_EQ(pic.Height(), 30);
    TestSurface s(60, 40);
    TCanvas c;
    c.SetTarget(s.Buffer);
    c.StretchDraw({0, 0, 50, 30}, pic.Graphic());
    EXPECT_EQ(s.At(0, 0), clGray);
    EXPECT_EQ(s.At(49, 15), clGray);
    EXPECT_EQ(s.At(25, 2), clWhite);
    TMemoryStream emfOut;
    pic.SaveToStream(emfOut);
    EXPECT_EQ(emfOut.GetSize(), 88);

    // Unknown data and extensions.
    TStringStream junk(u"plain text");
    EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { pic.LoadFromStream(junk); }), u"Invalid image");
    EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { pic.LoadFromFile(u"/tmp/picture.xyz"); }),
              u"Unknown picture file extension (.xyz)");
    EXPECT_NE(TPicture::FindFileFormat(u"JPEG"), nullptr);
    EXPECT_EQ(TPicture::FindFileFormat(u"tiff"), nullptr);
    // Bitmap() swaps a graphic of another class for an empty bitmap.
    EXPECT_TRUE(pic.Bitmap()->Empty());
    pic.Assign(sample.get());
    EXPECT_EQ(pic.Bitmap()->PixelColor(0, 1), clBlack);
}

TEST(Graphics, ImageLists) {
    // A strip of three 4 x 4 images on an olive background that AddMasked keys out.
    TBitmap strip(12, 4);
    TCanvas& sc = *strip.Canvas();
    sc.Brush()->SetColor(0x008080);
    sc.FillRect({0, 0, 12, 4});
    sc.Brush()->SetColor(clRed);
    sc.FillRect({0, 0, 2, 2});
    sc.Brush()->SetColor(clBlue);
    sc.FillRect({5, 1, 7, 3});
    sc.Brush()->SetColor(clLime);
    sc.FillRect({8, 0, 12, 4});
    TImageList list;
    list.SetSize(4, 4);
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    EXPECT_EQ(list.AddMasked(&strip, 0x008080), 0);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(changes, 1);

    TestSurface s(20, 8);
    TCanvas c;
    c.SetTarget(s.Buffer);
    list.Draw(&c, 0, 0, 0);
    EXPECT_EQ(s.At(0, 0), clRed);
    EXPECT_EQ(s.At(3, 3), clWhite); // masked: the canvas shows through
    list.Draw(&c, 4, 0, 1);
    EXPECT_EQ(s.At(5, 1), clBlue);
    // Disabled: grey; selected: blended towards the highlight colour.
    list.Draw(&c, 8, 0, 2, false);
    auto grey = static_cast<TColorRef>(s.At(9, 1));
    EXPECT_EQ(GetRValue(grey), GetGValue(grey));
    EXPECT_EQ(GetGValue(grey), GetBValue(grey));
    list.Draw(&c, 12, 0, 2, dsSelected, itImage);
    auto blended = static_cast<TColorRef>(s.At(13, 1));
    EXPECT_LT(GetGValue(blended), 255);
    EXPECT_GT(GetBValue(blended), 0);
    // A background colour fills under the image unless drawn transparently.
    list.SetBkColor(clYellow);
    list.Draw(&c, 0, 4, 0);
    EXPECT_EQ(s.At(3, 7), clYellow);
    list.Draw(&c, 4, 4, 0, dsTransparent, itImage);
    EXPECT_EQ(s.At(7, 7), clWhite);
    // The mask image: black where the image is.
    EXPECT_TRUE(ImageList_DrawEx(&list, 1, &c, 16, 4, 0, 0, CLR_NONE, CLR_NONE, ILD_MASK));
    EXPECT_EQ(s.At(17, 5), clBlack);
    EXPECT_EQ(s.At(16, 4), clWhite);
    EXPECT_FALSE(ImageList_DrawEx(&list, 7, &c, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_NORMAL));

    TBitmap out;
    EXPECT_TRUE(list.GetBitmap(1, &out));
    EXPECT_EQ(out.Width(), 4);
    EXPECT_EQ(out.PixelColor(1, 1), clBlue);
    EXPECT_EQ(out.PixelColor(0, 0), clYellow);
    EXPECT_FALSE(list.GetBitmap(3, &out));

    EXPECT_EQ(MessageOf<EInvalidGraphicOperation>([&] { list.Delete(3); }), u"Invalid ImageList Index");
    list.Delete(0);
    EXPECT_EQ(list.Count(), 2);
    TBitmap tall(4, 5);
    EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { list.Add(&tall, nullptr); }),
              u"Image list 4x4 cannot take a 4x5 image");
    // Resizing empties the list.
    list.SetSize(8, 8);
    EXPECT_EQ(list.Count(), 0);
}

} // namespace
} // namespace mv
