// Text on the canvas: pinned DejaVu metrics, the shaped-text cache, DrawText line breaking,
// ellipsis, alignment, prefixes and CALCRECT, TextOut/TextRect colours and backgrounds.
#include "platform/vcl/Graphics.h"

#include "platform/vcl/TextLayoutCache.h"
#include "platform/vcl/CanvasTestKit.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

using test::TestSurface;

std::vector<TCanvasRecord> TextRecords(const TCanvas& c) {
    std::vector<TCanvasRecord> out;
    for (const auto& r : c.Records())
        if (r.Kind == crText) out.push_back(r);
    return out;
}

TEST(CanvasText, PinnedFontMetrics) {
    TCanvas c;
    EXPECT_EQ(c.Font()->Name(), u"DejaVu Sans");
    EXPECT_EQ(c.Font()->Height(), -12);
    EXPECT_EQ(c.Font()->Size(), 9);
    TSize wg = c.TextExtent(u"Wg");
    EXPECT_EQ(wg.cx, 20);
    EXPECT_EQ(wg.cy, 15);
    // Width is additive for plain Latin text and grows with the font.
    EXPECT_GT(c.TextWidth(u"WgWg"), wg.cx);
    c.Font()->SetSize(18);
    EXPECT_EQ(c.Font()->Height(), -24);
    EXPECT_GT(c.TextWidth(u"Wg"), 35);
    c.Font()->SetSize(9);
    c.Font()->SetStyle({fsBold});
    EXPECT_GT(c.TextWidth(u"Wg"), 20);
    // The framework's face names resolve to the same pinned face.
    TCanvas t;
    t.Font()->SetName(u"Tahoma");
    EXPECT_EQ(t.TextExtent(u"Wg"), wg);
}

TEST(CanvasText, CacheShapesEachTextOnce) {
    TCanvas c;
    TextLayoutCache& cache = TextLayoutCache::Instance();
    c.TextWidth(u"cache probe 1");
    size_t shaped = cache.ShapeCount();
    for (int i = 0; i < 10; ++i)
        c.TextWidth(u"cache probe 1");
    EXPECT_EQ(cache.ShapeCount(), shaped);
    c.Font()->SetStyle({fsItalic}); // another font: shaped again
    c.TextWidth(u"first text of a new font");
    shaped = cache.ShapeCount();
    c.TextWidth(u"cache probe 1");
    EXPECT_EQ(cache.ShapeCount(), shaped + 1);
    // Colour is not part of the key.
    c.Font()->SetColor(clRed);
    c.TextWidth(u"cache probe 1");
    EXPECT_EQ(cache.ShapeCount(), shaped + 1);
    // Drawing a measured text shapes nothing either.
    TestSurface s(200, 20);
    c.SetTarget(s.Buffer);
    TRect r{0, 0, 200, 20};
    c.DrawText(u"cache probe 1", r, DT_SINGLELINE);
    EXPECT_EQ(cache.ShapeCount(), shaped + 1);
    // Lines shaped directly and through a Pango layout (an underlined font) measure alike.
    int direct = c.TextWidth(u"Directly shaped 123");
    c.Font()->SetStyle({fsItalic, fsUnderline});
    EXPECT_EQ(c.TextWidth(u"Directly shaped 123"), direct);
    EXPECT_EQ(c.TextHeight(u"Directly shaped 123"), 15);
    // Bounded: the least recently used entries go.
    size_t saved = cache.Capacity();
    cache.SetCapacity(16);
    for (int i = 0; i < 40; ++i)
        c.TextWidth(u"filler " + String(1, static_cast<Char>(u'A' + i)));
    EXPECT_LE(cache.Count(), 16u);
    cache.SetCapacity(saved);
}

TEST(CanvasText, WordBreakLines) {
    TCanvas c;
    c.StartRecording();
    int wordW = std::max(c.TextWidth(u"alpha beta"), c.TextWidth(u"gamma delta"));
    ASSERT_LT(wordW, c.TextWidth(u"alpha beta gamma"));
    TRect r{10, 20, 10 + wordW + 2, 200};
    int h = c.DrawText(u"alpha beta gamma delta", r, DT_WORDBREAK | DT_NOPREFIX);
    auto lines = TextRecords(c);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].Text, u"alpha beta");
    EXPECT_EQ(lines[1].Text, u"gamma delta");
    EXPECT_EQ(lines[0].X, 10);
    EXPECT_EQ(lines[0].Y, 20);
    EXPECT_EQ(lines[1].Y, 35);
    EXPECT_EQ(h, 30);

    // Explicit breaks (CR LF counts once); a word longer than the width stays whole.
    c.ClearRecords();
    TRect narrow{0, 0, 30, 100};
    c.DrawText(u"one\r\nextraordinarily\ntwo", narrow, DT_WORDBREAK);
    lines = TextRecords(c);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].Text, u"one");
    EXPECT_EQ(lines[1].Text, u"extraordinarily");
    EXPECT_EQ(lines[2].Text, u"two");
    EXPECT_EQ(lines[2].Y, 30);

    // DT_SINGLELINE ignores breaks entirely.
    c.ClearRecords();
    TRect wide{0, 0, 400, 20};
    c.DrawText(u"a\nb", wide, DT_SINGLELINE);
    ASSERT_EQ(TextRecords(c).size(), 1u);
    EXPECT_EQ(TextRecords(c)[0].Text, u"a\nb");
}

TEST(CanvasText, EndEllipsis) {
    TCanvas c;
    c.StartRecording();
    const String text = u"The quick brown fox";
    int full = c.TextWidth(text);
    TRect r{0, 0, full / 2, 15};
    c.DrawText(text, r, DT_SINGLELINE | DT_END_ELLIPSIS);
    auto lines = TextRecords(c);
    ASSERT_EQ(lines.size(), 1u);
    const String& shown = lines[0].Text;
    ASSERT_GE(shown.size(), 4u);
    EXPECT_EQ(shown.substr(shown.size() - 3), u"...");
    String kept = shown.substr(0, shown.size() - 3);
    EXPECT_EQ(text.substr(0, kept.size()), kept);
    // The longest prefix that fits beside the dots.
    EXPECT_LE(c.TextWidth(shown), r.Width());
    EXPECT_GT(c.TextWidth(text.substr(0, kept.size() + 1) + u"..."), r.Width());
    EXPECT_LE(lines[0].Rect.Right, r.Right);

    // A text that fits is left alone; without the flag nothing is cut.
    c.ClearRecords();
    TRect wide{0, 0, full, 15};
    c.DrawText(text, wide, DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(TextRecords(c)[0].Text, text);
    c.ClearRecords();
    c.DrawText(text, r, DT_SINGLELINE);
    EXPECT_EQ(TextRecords(c)[0].Text, text);

    // With word breaking, only a line that is still too wide is shortened.
    c.ClearRecords();
    TRect two{0, 0, c.TextWidth(u"quick") + 1, 100};
    c.DrawText(u"quick incomprehensibilities", two, DT_WORDBREAK | DT_END_ELLIPSIS);
    lines = TextRecords(c);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].Text, u"quick");
    EXPECT_EQ(lines[1].Text.substr(lines[1].Text.size() - 3), u"...");
    EXPECT_LE(c.TextWidth(lines[1].Text), two.Width());
}

TEST(CanvasText, AlignmentAndCalcRect) {
    TCanvas c;
    c.StartRecording();
    int w = c.TextWidth(u"Wg");
    TRect r{100, 50, 200, 80};
    c.DrawText(u"Wg", r, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM);
    c.DrawText(u"Wg", r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    int offset = c.DrawText(u"Wg", r, DT_SINGLELINE | DT_VCENTER);
    auto lines = TextRecords(c);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].X, 200 - w);
    EXPECT_EQ(lines[0].Y, 80 - 15);
    EXPECT_EQ(lines[1].X, 100 + (100 - w) / 2);
    EXPECT_EQ(lines[1].Y, 50 + (30 - 15) / 2);
    EXPECT_EQ(lines[2].X, 100);
    EXPECT_EQ(offset, (30 - 15) / 2 + 15); // offset of the text plus its height
    // Vertical alignment needs DT_SINGLELINE, as in the framework.
    c.ClearRecords();
    c.DrawText(u"Wg", r, DT_VCENTER);
    EXPECT_EQ(TextRecords(c)[0].Y, 50);

    // CALCRECT measures without drawing.
    c.ClearRecords();
    TRect calc{5, 5, 5, 5};
    int h = c.DrawText(u"Wg\nWgWg", calc, DT_CALCRECT);
    EXPECT_TRUE(TextRecords(c).empty());
    EXPECT_EQ(calc, (TRect{5, 5, 5 + c.TextWidth(u"WgWg"), 5 + 30}));
    EXPECT_EQ(h, 30);
    TRect wrap{0, 0, c.TextWidth(u"alpha") + 1, 0};
    c.DrawText(u"alpha beta", wrap, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(wrap.Bottom, 30);
    EXPECT_EQ(wrap.Right, c.TextWidth(u"alpha"));
}

TEST(CanvasText, PrefixesAndRtl) {
    TCanvas c;
    c.StartRecording();
    TRect r{0, 0, 300, 20};
    c.DrawText(u"&Save && exit", r, DT_SINGLELINE);
    c.DrawText(u"&Save && exit", r, DT_SINGLELINE | DT_NOPREFIX);
    auto lines = TextRecords(c);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].Text, u"Save & exit");
    EXPECT_EQ(lines[1].Text, u"&Save && exit");

    // Right-to-left reading keeps the alignment flags and draws the same text.
    c.ClearRecords();
    int h = c.DrawText(u"\u05E9\u05DC\u05D5\u05DD abc", r, DT_SINGLELINE | DT_RIGHT | DT_RTLREADING);
    EXPECT_EQ(h, 15);
    lines = TextRecords(c);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Rect.Right, 300);
}

TEST(CanvasText, ColoursAndBackgroundFollowTheFramework) {
    TestSurface s(120, 40);
    TCanvas c;
    c.SetTarget(s.Buffer);
    // A font colour change reaches the text colour at the next handle access...
    c.Font()->SetColor(clRed);
    EXPECT_EQ(c.Handle()->TextColor(), clRed);
    // ...and an explicit SetTextColor holds until the font changes again.
    SetTextColor(c.Handle(), clBlue);
    EXPECT_EQ(c.Handle()->TextColor(), clBlue);
    c.Font()->SetColor(clGreen);
    EXPECT_EQ(c.Handle()->TextColor(), clGreen);
    // A solid brush makes text opaque over the brush colour; a clear one transparent.
    c.Brush()->SetColor(clYellow);
    EXPECT_EQ(c.Handle()->BkMode(), OPAQUE);
    c.TextOut(0, 0, u"Wg");
    EXPECT_EQ(s.At(0, 0), clYellow); // the layout box is painted even where no ink is
    EXPECT_EQ(c.PenPos(), (TPoint{20, 0}));
    c.Brush()->SetStyle(bsClear);
    EXPECT_EQ(c.Handle()->BkMode(), TRANSPARENT);
    c.TextOut(40, 0, u"Wg");
    EXPECT_EQ(s.At(40, 0), clWhite);
    EXPECT_GT(s.CountNot({40, 0, 60, 15}, clWhite), 10);
    // Text pixels are drawn in the text colour.
    bool green = false;
    for (int x = 40; x < 60; ++x)
        for (int y = 0; y < 15; ++y)
            green |= s.At(x, y) == clGreen;
    EXPECT_TRUE(green);

    // TextRect clips to its rectangle and fills it with a solid brush.
    c.Brush()->SetColor(clAqua);
    c.TextRect({0, 20, 10, 35}, 0, 20, u"WWWW");
    EXPECT_EQ(s.CountNot({10, 20, 120, 40}, clWhite), 0);
    EXPECT_EQ(s.At(9, 34), clAqua);
}

// A repaint draws a line from its cached coverage instead of through Cairo; the pixels
// must be the ones the first draw made, also when the line is clipped, over a coloured
// background, and in an opaque box.
TEST(CanvasText, RepeatedDrawGivesTheFirstDrawsPixels) {
    auto paint = [](TestSurface& s) {
        TCanvas c;
        c.SetTarget(s.Buffer, {3, 2}, {0, 0, 200, 60});
        c.Brush()->SetColor(clCream);
        c.FillRect({0, 0, 200, 60});
        c.Font()->SetColor(clNavy);
        c.Brush()->SetStyle(bsClear);
        c.TextOut(4, 2, u"Repaint \u00c5ngstr\u00f6m gj 12.345,67");
        TRect narrow{10, 20, 70, 36};
        DrawText(c.Handle(), u"A clipped repaint line", narrow, DT_SINGLELINE | DT_NOPREFIX);
        SetBkMode(c.Handle(), OPAQUE);
        SetBkColor(c.Handle(), ColorToRGB(clYellow));
        c.Font()->SetColor(clMaroon);
        c.TextOut(100, 40, u"Boxed repaint");
    };
    TestSurface first(220, 70), second(220, 70);
    paint(first);
    const size_t shaped = TextLayoutCache::Instance().ShapeCount();
    paint(second);
    EXPECT_EQ(TextLayoutCache::Instance().ShapeCount(), shaped) << "the repaint shaped nothing";
    int differing = 0, inked = 0;
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 220; ++x) {
            const auto a = static_cast<TColorRef>(first.At(x, y)),
                       b = static_cast<TColorRef>(second.At(x, y));
            differing +=
                std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                          std::abs(GetBValue(a) - GetBValue(b))}) > 1;
            inked += first.At(x, y) != clCream && first.At(x, y) != TColor(0xFFFFFF);
        }
    EXPECT_GT(inked, 300) << "the lines were drawn";
    EXPECT_EQ(differing, 0);
    // The clipped line stays inside its rectangle (moved by the canvas origin) both times.
    EXPECT_EQ(second.CountNot({3 + 70, 2 + 20, 3 + 100, 2 + 36}, clCream), 0);
}

} // namespace
} // namespace mv
