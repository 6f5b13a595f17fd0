// Painting through the window manager on the headless host: update rectangles, child
// clipping, ScrollWindowEx moving pixels, framework-drawn scroll bars.
#include "platform/host/HeadlessHost.h"
#include "platform/vcl/Forms.h"

#include <gtest/gtest.h>

using namespace mv;

namespace {

// Paints one colour per 10-pixel row band, shifted by Offset, and counts its paints.
class TBands : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    Integer Offset = 0;
    Integer Paints = 0;
    TRect LastClip;
    static TColor BandColor(Integer band) {
        return static_cast<TColor>(RGB(static_cast<Byte>(band * 20), 0, 100));
    }

protected:
    void Paint() override {
        ++Paints;
        LastClip = Canvas()->ClipRect();
        for (Integer y = 0; y < ClientHeight(); y += 10) {
            Canvas()->Brush()->SetColor(BandColor((y + Offset) / 10));
            Canvas()->FillRect(Rect(0, y, ClientWidth(), y + 10));
        }
    }
};

std::uint32_t Rgb(TColor c) {
    const TColorRef r = ColorToRGB(c);
    return (static_cast<std::uint32_t>(GetRValue(r)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(r)) << 8) | GetBValue(r);
}

} // namespace

TEST(HostPainting, UpdateRectsScrollWindowExAndScrollBars) {
    THeadlessHost host;
    InstallHost(&host);
    auto* form = new TForm(nullptr);
    form->SetBounds(0, 0, 300, 200);
    form->SetColor(clWhite);
    auto* bands = new TBands(form);
    bands->SetBounds(20, 20, 100, 100);
    bands->SetParent(form);
    form->Show();
    Application->ProcessMessages();
    const THostWindow window = host.WindowOf(form);
    ASSERT_NE(window, 0u);
    EXPECT_EQ(host.PixelAt(window, 5, 5), Rgb(clWhite)) << "the form erased its background";
    EXPECT_EQ(host.PixelAt(bands, 5, 35), Rgb(TBands::BandColor(3)));
    EXPECT_EQ(bands->Paints, 1);
    EXPECT_GE(host.PresentCount(window), 1);

    // An invalidated rectangle is the clip of the next paint; nothing else is repainted.
    TRect r = Rect(10, 10, 30, 20);
    InvalidateRect(bands->Handle(), &r, false);
    Application->ProcessMessages();
    EXPECT_EQ(bands->Paints, 2);
    EXPECT_EQ(bands->LastClip, r);
    Application->ProcessMessages();
    EXPECT_EQ(bands->Paints, 2) << "a validated window is not painted again";
    InvalidateRect(bands->Handle(), &r, false);
    ValidateRect(bands->Handle(), nullptr);
    Application->ProcessMessages();
    EXPECT_EQ(bands->Paints, 2);

    // ScrollWindowEx moves the painted pixels up by 30 and invalidates only the strip below.
    const std::uint32_t before40 = host.PixelAt(bands, 50, 40);
    bands->Offset = 30;
    TRect uncovered;
    EXPECT_EQ(ScrollWindowEx(bands->Handle(), 0, -30, nullptr, nullptr, nullptr, &uncovered, SW_INVALIDATE),
              SIMPLEREGION);
    EXPECT_EQ(uncovered, Rect(0, 70, 100, 100));
    EXPECT_EQ(host.PixelAt(bands, 50, 10), before40) << "pixels moved without painting";
    EXPECT_EQ(bands->UpdateRect(), uncovered);
    Application->ProcessMessages();
    EXPECT_EQ(bands->Paints, 3);
    EXPECT_EQ(bands->LastClip, uncovered);
    for (Integer y = 0; y < 100; y += 10)
        EXPECT_EQ(host.PixelAt(bands, 50, y + 5), Rgb(TBands::BandColor((y + 30) / 10))) << "band at " << y;
    EXPECT_EQ(host.PixelAt(window, 50, 125), Rgb(clWhite)) << "nothing moved outside the control";

    // A clip rectangle limits the move; the scroll rectangle limits the source.
    const TRect scroll = Rect(0, 0, 50, 100);
    bands->Offset = 30; // unchanged picture for the right half
    const std::uint32_t rightBefore = host.PixelAt(bands, 75, 15);
    ScrollWindowEx(bands->Handle(), 0, 10, &scroll, &scroll, nullptr, &uncovered, SW_INVALIDATE);
    EXPECT_EQ(uncovered, Rect(0, 0, 50, 10));
    EXPECT_EQ(host.PixelAt(bands, 75, 15), rightBefore);
    EXPECT_EQ(host.PixelAt(bands, 25, 25), Rgb(TBands::BandColor(4))) << "band 4 moved down from y 15 to 25";
    Application->ProcessMessages();

    // Scroll bars: a range beyond the page shows the bar, which takes client width and paints.
    TScrollInfo si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = 99;
    si.nPage = 10;
    si.nPos = 500;
    EXPECT_EQ(SetScrollInfo(bands->Handle(), SB_VERT, si, true), 90) << "position clamped to max - page + 1";
    EXPECT_TRUE(bands->ScrollBarVisible(SB_VERT));
    EXPECT_EQ(bands->ClientWidth(), 100 - GetSystemMetrics(SM_CXVSCROLL));
    TScrollInfo got;
    got.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(bands->Handle(), SB_VERT, got));
    EXPECT_EQ(got.nMax, 99);
    EXPECT_EQ(got.nPage, 10u);
    EXPECT_EQ(got.nPos, 90);
    Application->ProcessMessages();
    EXPECT_EQ(host.PixelAt(window, 20 + 90, 20 + 50), Rgb(clScrollBar)) << "the track is drawn";

    // Clicking below the thumb pages down; the control hears WM_VSCROLL.
    si.nPos = 0;
    si.fMask = SIF_POS;
    SetScrollInfo(bands->Handle(), SB_VERT, si, true);
    Application->ProcessMessages();
    host.Click(form, 20 + 91, 20 + 80);
    EXPECT_EQ(GetScrollPos(bands->Handle(), SB_VERT), 0) << "the bar reports; the control scrolls itself";

    // A range within the page hides the bar again.
    si.fMask = SIF_RANGE | SIF_PAGE;
    si.nMax = 5;
    SetScrollInfo(bands->Handle(), SB_VERT, si, true);
    EXPECT_FALSE(bands->ScrollBarVisible(SB_VERT));
    EXPECT_EQ(bands->ClientWidth(), 100);

    delete form;
    InstallHost(nullptr);
}
