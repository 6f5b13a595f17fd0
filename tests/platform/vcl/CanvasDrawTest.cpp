// Pixels of the canvas operations: targets with origin and clip, clipping calls and saved
// states, rectangles and lines, DrawEdge, DrawFocusRect, gradients, copying and scrolling.
#include "platform/vcl/Graphics.h"

#include "platform/vcl/CanvasTestKit.h"
#include "platform/vcl/StyleServices.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

using test::TestSurface;

TColor Sys(TColor c) {
    return static_cast<TColor>(ColorToRGB(c));
}

TEST(CanvasDraw, OriginClipAndSavedStates) {
    TestSurface s(100, 60);
    TCanvas c;
    // A child control at (20, 10) of its window, allowed to paint only its 30 x 20 area.
    c.SetTarget(s.Buffer, {20, 10}, {20, 10, 50, 30});
    EXPECT_EQ(c.ClipRect(), (TRect{0, 0, 30, 20}));
    c.Brush()->SetColor(clRed);
    c.FillRect({-10, -10, 200, 200});
    EXPECT_EQ(s.CountNot({20, 10, 50, 30}, clRed), 0);
    EXPECT_EQ(s.CountNotOutside({20, 10, 50, 30}, clWhite), 0);

    // IntersectClipRect narrows; SaveDC/RestoreDC bring the wider clip back.
    std::fill(s.Pixels.begin(), s.Pixels.end(), 0xFFFFFFFFu);
    int saved = c.SaveDC();
    EXPECT_EQ(saved, 1);
    EXPECT_EQ(c.IntersectClipRect(5, 5, 10, 8), SIMPLEREGION);
    c.SetTextColor(clBlue);
    c.FillRect({0, 0, 30, 20});
    EXPECT_EQ(s.CountNot({25, 15, 30, 18}, clRed), 0);
    EXPECT_EQ(s.CountNotOutside({25, 15, 30, 18}, clWhite), 0);
    EXPECT_EQ(c.IntersectClipRect(50, 50, 60, 60), NULLREGION);
    c.RestoreDC(saved);
    EXPECT_EQ(c.ClipRect(), (TRect{0, 0, 30, 20}));
    EXPECT_NE(c.TextColor(), clBlue);
    EXPECT_THROW(c.RestoreDC(1), EInvalidGraphicOperation);
    try {
        c.RestoreDC(3);
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_EQ(e.Message(), u"RestoreDC(3): no saved state with that index");
    }
    // Nested saves, restored by a negative index.
    c.SaveDC();
    c.IntersectClipRect(0, 0, 10, 10);
    c.SaveDC();
    c.IntersectClipRect(0, 0, 5, 5);
    c.RestoreDC(-1);
    EXPECT_EQ(c.ClipRect(), (TRect{0, 0, 10, 10}));
    c.RestoreDC(-1);
    EXPECT_EQ(c.ClipRect(), (TRect{0, 0, 30, 20}));

    // SelectClipRgn replaces the clip but cannot leave the target's own area.
    HRGN rgn = CreateRectRgn(-5, -5, 8, 4);
    EXPECT_EQ(SelectClipRgn(c.Handle(), rgn), SIMPLEREGION);
    DeleteObject(rgn);
    EXPECT_EQ(c.ClipRect(), (TRect{0, 0, 8, 4}));
    SelectClipRgn(c.Handle(), nullptr);
    EXPECT_EQ(c.ClipRect(), (TRect{0, 0, 30, 20}));

    // Text overflowing its DrawText rectangle is cut there unless DT_NOCLIP.
    std::fill(s.Pixels.begin(), s.Pixels.end(), 0xFFFFFFFFu);
    c.Brush()->SetStyle(bsClear);
    TRect cell{0, 0, 8, 15};
    c.DrawText(u"WWWW", cell, DT_SINGLELINE);
    EXPECT_GT(s.CountNot({20, 10, 28, 25}, clWhite), 0);
    EXPECT_EQ(s.CountNotOutside({20, 10, 28, 25}, clWhite), 0);
    c.DrawText(u"WWWW", cell, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(s.CountNot({28, 10, 50, 25}, clWhite), 0);
}

TEST(CanvasDraw, RectanglesAndLines) {
    TestSurface s(40, 40);
    TCanvas c;
    c.SetTarget(s.Buffer);
    c.Brush()->SetColor(clBlue);
    c.FrameRect({2, 2, 10, 8});
    EXPECT_EQ(s.At(2, 2), clBlue);
    EXPECT_EQ(s.At(9, 7), clBlue);
    EXPECT_EQ(s.At(10, 7), clWhite);
    EXPECT_EQ(s.At(5, 5), clWhite);
    EXPECT_EQ(s.CountNot({2, 2, 10, 8}, clWhite), 2 * 8 + 2 * 4);

    // Rectangle: pen outline inside the bounds, brush inside the outline.
    c.Pen()->SetColor(clRed);
    c.Brush()->SetColor(clLime);
    c.Rectangle(12, 2, 20, 10);
    EXPECT_EQ(s.At(12, 2), clRed);
    EXPECT_EQ(s.At(19, 9), clRed);
    EXPECT_EQ(s.At(20, 9), clWhite);
    EXPECT_EQ(s.At(15, 5), clLime);

    // LineTo stops short of its end point and moves the pen there.
    c.MoveTo(0, 20);
    c.LineTo(10, 20);
    EXPECT_EQ(s.At(0, 20), clRed);
    EXPECT_EQ(s.At(9, 20), clRed);
    EXPECT_EQ(s.At(10, 20), clWhite);
    c.LineTo(10, 30);
    EXPECT_EQ(s.At(10, 20), clRed);
    EXPECT_EQ(s.At(10, 29), clRed);
    EXPECT_EQ(s.At(10, 30), clWhite);
    EXPECT_EQ(c.PenPos(), (TPoint{10, 30}));
    // pmNot inverts what is under the pen; twice restores it.
    c.Pen()->SetMode(pmNot);
    c.MoveTo(0, 35);
    c.LineTo(5, 35);
    EXPECT_EQ(s.At(2, 35), clBlack);
    c.MoveTo(0, 35);
    c.LineTo(5, 35);
    EXPECT_EQ(s.At(2, 35), clWhite);
    // psClear and bsClear draw nothing.
    c.Pen()->SetMode(pmCopy);
    c.Pen()->SetStyle(psClear);
    c.Brush()->SetStyle(bsClear);
    c.Rectangle(25, 25, 35, 35);
    EXPECT_EQ(s.CountNot({25, 25, 35, 35}, clWhite), 0);
    // System colours are resolved through the style services' table.
    c.Brush()->SetColor(clBtnFace);
    c.FillRect({30, 0, 31, 1});
    EXPECT_EQ(s.At(30, 0), Sys(clBtnFace));
    EXPECT_EQ(Sys(clBtnFace), static_cast<TColor>(RGB(240, 240, 240)));
    EXPECT_EQ(StyleServices().GetSystemColor(clWindow), static_cast<TColor>(RGB(255, 255, 255)));
    EXPECT_EQ(StyleServices().GetSystemColor(clRed), clRed);
    EXPECT_FALSE(TStyleManager::IsCustomStyleActive());
}

TEST(CanvasDraw, DrawEdgePixels) {
    TestSurface s(60, 40);
    TCanvas c;
    c.SetTarget(s.Buffer);
    // A raised edge: light outer and white inner on top/left, dark outer and shadow inner
    // on bottom/right, the bottom-right colours owning the two off corners.
    TRect r{0, 0, 10, 10};
    EXPECT_TRUE(DrawEdge(c.Handle(), r, EDGE_RAISED, BF_RECT | BF_ADJUST));
    EXPECT_EQ(r, (TRect{2, 2, 8, 8}));
    EXPECT_EQ(s.At(0, 0), Sys(cl3DLight));
    EXPECT_EQ(s.At(5, 0), Sys(cl3DLight));
    EXPECT_EQ(s.At(0, 5), Sys(cl3DLight));
    EXPECT_EQ(s.At(1, 1), Sys(clBtnHighlight));
    EXPECT_EQ(s.At(9, 0), Sys(cl3DDkShadow));
    EXPECT_EQ(s.At(0, 9), Sys(cl3DDkShadow));
    EXPECT_EQ(s.At(9, 5), Sys(cl3DDkShadow));
    EXPECT_EQ(s.At(8, 5), Sys(clBtnShadow));
    EXPECT_EQ(s.At(5, 8), Sys(clBtnShadow));
    EXPECT_EQ(s.CountNot({2, 2, 8, 8}, clWhite), 0); // no BF_MIDDLE: inside untouched

    // Sunken, only top and bottom, with the middle filled.
    TRect t{20, 0, 30, 10};
    DrawEdge(c.Handle(), t, EDGE_SUNKEN, BF_TOP | BF_BOTTOM | BF_MIDDLE);
    EXPECT_EQ(t, (TRect{20, 0, 30, 10})); // no BF_ADJUST
    EXPECT_EQ(s.At(25, 0), Sys(clBtnShadow));
    EXPECT_EQ(s.At(25, 1), Sys(cl3DDkShadow));
    EXPECT_EQ(s.At(25, 9), Sys(clBtnHighlight));
    EXPECT_EQ(s.At(25, 8), Sys(cl3DLight));
    EXPECT_EQ(s.At(20, 5), Sys(clBtnFace)); // left side not drawn: middle reaches it

    // A single raised inner border alone, flat and mono variants.
    TRect u{40, 0, 50, 10};
    DrawEdge(c.Handle(), u, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    EXPECT_EQ(u, (TRect{41, 1, 49, 9}));
    EXPECT_EQ(s.At(40, 5), Sys(clBtnHighlight));
    EXPECT_EQ(s.At(49, 5), Sys(clBtnShadow));
    TRect f{0, 20, 10, 30};
    DrawEdge(c.Handle(), f, EDGE_RAISED, BF_RECT | BF_FLAT);
    EXPECT_EQ(s.At(0, 20), Sys(clBtnShadow));
    EXPECT_EQ(s.At(9, 29), Sys(clBtnShadow));
    EXPECT_EQ(s.At(1, 21), Sys(clBtnFace));
    TRect m{20, 20, 30, 30};
    DrawEdge(c.Handle(), m, EDGE_SUNKEN, BF_RECT | BF_MONO);
    EXPECT_EQ(s.At(20, 20), Sys(clWindowFrame));
    EXPECT_EQ(s.At(29, 25), Sys(clWindowFrame));
}

TEST(CanvasDraw, FocusRectInvertsAlternatePixelsAndUndoes) {
    TestSurface s(20, 20);
    TCanvas c;
    c.SetTarget(s.Buffer);
    c.Brush()->SetColor(clBtnFace);
    c.FillRect({0, 0, 20, 20});
    std::vector<std::uint32_t> before = s.Pixels;
    TRect r{2, 3, 12, 9};
    DrawFocusRect(c.Handle(), r);
    TColor face = Sys(clBtnFace), inverse = static_cast<TColor>(0xFFFFFF - Sys(clBtnFace));
    EXPECT_EQ(s.At(2, 3), inverse);
    EXPECT_EQ(s.At(3, 3), face);
    EXPECT_EQ(s.At(4, 3), inverse);
    EXPECT_EQ(s.At(2, 4), face);
    EXPECT_EQ(s.At(2, 5), inverse);
    EXPECT_EQ(s.At(11, 8), inverse);               // (11-2)+(8-3) even
    EXPECT_EQ(s.CountNot({3, 4, 11, 8}, face), 0); // inside untouched
    EXPECT_EQ(s.CountNotOutside(r, face), 0);      // outside untouched
    int dots = s.CountNot(r, face);
    EXPECT_EQ(dots, (2 * 10 + 2 * 4) / 2);
    DrawFocusRect(c.Handle(), r);
    EXPECT_EQ(s.Pixels, before);
}

TEST(CanvasDraw, GradientFill) {
    TestSurface s(64, 32);
    TCanvas c;
    c.SetTarget(s.Buffer);
    c.GradientFill({0, 0, 64, 16}, clBlack, clWhite, gdHorizontal);
    EXPECT_EQ(s.At(0, 0), clBlack);
    EXPECT_EQ(s.At(63, 15), clWhite);
    for (int x = 1; x < 64; ++x)
        EXPECT_GE(GetRValue(static_cast<TColorRef>(s.At(x, 5))),
                  GetRValue(static_cast<TColorRef>(s.At(x - 1, 5))));
    EXPECT_NEAR(GetRValue(static_cast<TColorRef>(s.At(32, 0))), 130, 4);
    c.GradientFill({0, 16, 64, 32}, clRed, clBlue, gdVertical);
    EXPECT_EQ(s.At(10, 16), clRed);
    EXPECT_EQ(s.At(10, 31), clBlue);
    EXPECT_EQ(s.At(0, 20), s.At(63, 20)); // constant across a row
}

TEST(CanvasDraw, ScrollPixelsCopyAndBitBlt) {
    TestSurface s(40, 40);
    TCanvas c;
    c.SetTarget(s.Buffer);
    // Rows of distinct colours in the area (0,0)-(20,20).
    for (int y = 0; y < 20; ++y) {
        c.Brush()->SetColor(static_cast<TColor>(RGB(static_cast<Byte>(y * 10), 0, 0)));
        c.FillRect({0, y, 20, y + 1});
    }
    // Scrolling up by 5: row y shows what row y + 5 showed; the strip at the bottom keeps
    // its old pixels; nothing outside the rectangle changes.
    c.ScrollPixels({0, 0, 20, 20}, 0, -5);
    EXPECT_EQ(s.At(3, 0), static_cast<TColor>(RGB(50, 0, 0)));
    EXPECT_EQ(s.At(3, 14), static_cast<TColor>(RGB(190, 0, 0)));
    EXPECT_EQ(s.At(3, 17), static_cast<TColor>(RGB(170, 0, 0)));
    EXPECT_EQ(s.CountNotOutside({0, 0, 20, 20}, clWhite), 0);
    // Down and right at once.
    c.Brush()->SetColor(clGreen);
    c.FillRect({0, 0, 1, 1});
    c.ScrollPixels({0, 0, 20, 20}, 3, 2);
    EXPECT_EQ(s.At(3, 2), clGreen);
    // The clip limits what changes.
    std::vector<std::uint32_t> before = s.Pixels;
    c.IntersectClipRect(0, 0, 20, 10);
    c.ScrollPixels({0, 0, 20, 20}, 0, 8);
    for (int x = 0; x < 20; ++x) {
        EXPECT_EQ(s.Pixels[static_cast<size_t>(9 * 40 + x)], before[static_cast<size_t>(1 * 40 + x)]);
        EXPECT_EQ(s.Pixels[static_cast<size_t>(12 * 40 + x)], before[static_cast<size_t>(12 * 40 + x)]);
    }
    SelectClipRgn(c.Handle(), nullptr);

    // BitBlt and CopyRect between canvases.
    TestSurface t(10, 10, 0xFF000000u);
    TCanvas d;
    d.SetTarget(t.Buffer);
    EXPECT_TRUE(BitBlt(d.Handle(), 2, 2, 4, 4, c.Handle(), 2, 2, SRCCOPY));
    EXPECT_EQ(t.At(3, 4), s.At(3, 4));
    EXPECT_EQ(t.At(1, 1), clBlack);
    EXPECT_EQ(t.At(6, 6), clBlack);
    d.SetCopyMode(DSTINVERT);
    d.CopyRect({0, 0, 2, 2}, c, {0, 0, 2, 2});
    EXPECT_EQ(t.At(0, 0), clWhite);
    TCanvas none;
    EXPECT_FALSE(BitBlt(d.Handle(), 0, 0, 1, 1, &none, 0, 0, SRCCOPY));
}

TEST(CanvasDraw, RecordingWithoutTarget) {
    TCanvas c;
    c.StartRecording();
    c.Brush()->SetColor(clYellow);
    c.FillRect({1, 2, 3, 4});
    TRect r{0, 0, 10, 10};
    c.DrawEdge(r, EDGE_SUNKEN, BF_RECT);
    c.DrawFocusRect({1, 1, 5, 5});
    c.GradientFill({0, 0, 5, 5}, clRed, clBlue, gdVertical);
    c.MoveTo(1, 1);
    c.LineTo(4, 1);
    c.Brush()->SetStyle(bsClear);
    c.FillRect({0, 0, 1, 1}); // a clear brush paints nothing, so nothing is logged
    c.TextOut(3, 4, u"x");
    const auto& log = c.Records();
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log[0].Kind, crFillRect);
    EXPECT_EQ(log[0].Rect, (TRect{1, 2, 3, 4}));
    EXPECT_EQ(log[0].Color, clYellow);
    EXPECT_EQ(log[1].Kind, crEdge);
    EXPECT_EQ(log[1].Edge, static_cast<Cardinal>(EDGE_SUNKEN));
    EXPECT_EQ(log[2].Kind, crFocusRect);
    EXPECT_EQ(log[3].Kind, crGradient);
    EXPECT_EQ(log[3].Color2, clBlue);
    EXPECT_EQ(log[4].Kind, crLine);
    EXPECT_EQ(log[4].X2, 4);
    EXPECT_EQ(log[5].Kind, crText);
    EXPECT_EQ(log[5].Text, u"x");
    EXPECT_EQ(log[5].X, 3);
    EXPECT_FALSE(c.HasTarget());
    EXPECT_EQ(c.Pixel(0, 0), clNone);
}

} // namespace
} // namespace mv
