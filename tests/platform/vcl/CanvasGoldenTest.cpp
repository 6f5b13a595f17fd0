// A test window drawn with the canvas operations and compared with a checked-in PNG:
// texts in several alignments, edges, gradients, an image list strip and a focus rectangle.
// Fonts are pinned, so the picture is stable; a small tolerance absorbs rasteriser
// rounding. Set MV_UPDATE_GOLDEN=1 to rewrite the golden image after a deliberate change.
#include "platform/vcl/Graphics.h"

#include "platform/rtl/Utf8.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/Resources.h"
#include "platform/vcl/CanvasTestKit.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstdio>

namespace mv {
namespace {

void PaintTestWindow(TCanvas& c) {
    c.Brush()->SetColor(clBtnFace);
    c.FillRect({0, 0, 360, 240});
    TRect frame{0, 0, 360, 240};
    DrawEdge(c.Handle(), frame, EDGE_RAISED, BF_RECT | BF_ADJUST);

    // Three boxes with text aligned left/top, centred, right/bottom.
    const Cardinal aligns[3] = {DT_LEFT | DT_TOP, DT_CENTER | DT_VCENTER, DT_RIGHT | DT_BOTTOM};
    for (int i = 0; i < 3; ++i) {
        TRect box = Bounds(10 + i * 115, 10, 105, 40);
        TRect inner = box;
        DrawEdge(c.Handle(), inner, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        c.Brush()->SetColor(clWindow);
        c.FillRect(inner);
        SetBkMode(c.Handle(), TRANSPARENT);
        c.DrawText(u"Aligned", inner, aligns[i] | DT_SINGLELINE);
    }
    // Word breaking, an ellipsis and a bold red right-to-left line.
    TRect wrap = Bounds(10, 60, 160, 50);
    c.Brush()->SetColor(clWindow);
    c.FillRect(wrap);
    c.DrawText(u"Word breaking keeps whole words on each line", wrap, DT_WORDBREAK | DT_CENTER);
    TRect cut = Bounds(180, 60, 170, 20);
    c.FillRect(cut);
    c.DrawText(u"An ellipsis ends a line that is too long", cut,
               DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    TRect rtl = Bounds(180, 85, 170, 25);
    c.Font()->SetStyle({fsBold});
    c.Font()->SetColor(clMaroon);
    c.DrawText(u"&Prefix and bold", rtl, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    c.Font()->SetStyle({});
    c.Font()->SetColor(clWindowText);

    // Gradients both ways and the edge kinds.
    c.GradientFill(Bounds(10, 120, 160, 30), clNavy, clSkyBlue, gdHorizontal);
    c.GradientFill(Bounds(180, 120, 30, 60), clRed, clYellow, gdVertical);
    const Cardinal edges[4] = {EDGE_RAISED, EDGE_SUNKEN, EDGE_ETCHED, EDGE_BUMP};
    for (int i = 0; i < 4; ++i) {
        TRect r = Bounds(220 + i * 33, 120, 28, 28);
        DrawEdge(c.Handle(), r, edges[i], BF_RECT | BF_MIDDLE);
    }
    TRect flat = Bounds(220, 152, 60, 28);
    DrawEdge(c.Handle(), flat, EDGE_SUNKEN, BF_RECT | BF_FLAT);
    TRect mono = Bounds(286, 152, 64, 28);
    DrawEdge(c.Handle(), mono, EDGE_RAISED, BF_RECT | BF_MONO);

    // The check-box strip through an image list, enabled and disabled.
    TBitmap strip;
    strip.LoadFromResourceName(HInstance, u"MVDBCHECKBOXES");
    TImageList images;
    images.SetSize(13, 13);
    images.AddMasked(&strip, strip.TransparentColor());
    for (int i = 0; i < images.Count(); ++i) {
        images.Draw(&c, 10 + i * 16, 160, i);
        images.Draw(&c, 10 + i * 16, 178, i, false);
    }
    c.Pen()->SetColor(clBtnShadow);
    c.MoveTo(10, 200);
    c.LineTo(350, 200);
    c.Brush()->SetColor(clBtnFace);
    c.TextOut(12, 206, u"Focus:");
    DrawFocusRect(c.Handle(), Bounds(60, 204, 120, 20));
}

TEST(CanvasGolden, TestWindowMatchesSnapshot) {
    TBitmap window(360, 240);
    PaintTestWindow(*window.Canvas());
    test::ExpectMatchesGolden(window, MV_VCL_GOLDEN_DIR, "canvas_test_window.png");
}

} // namespace
} // namespace mv
