// Holding a scroll-bar arrow or the track repeats on the host clock: a first step at the
// press, the next after the delay, then at the repeat interval; only while the pointer
// stays on the pressed part; a page repeat stops when the thumb reaches the pointer.
#include "platform/host/HeadlessHost.h"
#include "platform/vcl/Forms.h"

#include <gtest/gtest.h>

#include <vector>

using namespace mv;

namespace {

// Scrolls itself as a list of 100 lines with a page of 10 and records the codes it heard.
class TScroller : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<Word> Codes;
    Integer TrackAtRelease = -1, ThumbAtRelease = -1;

    Integer Count(Word code) const {
        return static_cast<Integer>(std::count(Codes.begin(), Codes.end(), code));
    }

protected:
    void WndProc(TMessage& message) override {
        if (message.Msg == WM_VSCROLL) {
            const Word code = LoWord(message.WParam);
            Codes.push_back(code);
            if (code == SB_THUMBPOSITION) {
                TScrollInfo si;
                si.fMask = SIF_TRACKPOS;
                GetScrollInfo(Handle(), SB_VERT, si);
                TrackAtRelease = si.nTrackPos;
                ThumbAtRelease = static_cast<std::int16_t>(HiWord(message.WParam));
            }
            const Integer pos = GetScrollPos(Handle(), SB_VERT);
            if (code == SB_LINEDOWN) SetScrollPos(Handle(), SB_VERT, pos + 1, true);
            if (code == SB_LINEUP) SetScrollPos(Handle(), SB_VERT, pos - 1, true);
            if (code == SB_PAGEDOWN) SetScrollPos(Handle(), SB_VERT, pos + 10, true);
            return;
        }
        TCustomControl::WndProc(message);
    }
};

struct ScrollBarRepeat : testing::Test {
    THeadlessHost host;
    TForm* form = nullptr;
    TScroller* list = nullptr;
    // The bar's parts in the list's window coordinates (bar on the right, 17 wide).
    Integer barX = 0, downArrowY = 0, trackBottomY = 0;

    void SetUp() override {
        InstallHost(&host);
        form = new TForm(nullptr);
        form->SetBounds(0, 0, 300, 300);
        list = new TScroller(form);
        list->SetBounds(0, 0, 120, 200);
        list->SetParent(form);
        form->Show();
        TScrollInfo si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        si.nMin = 0;
        si.nMax = 99;
        si.nPage = 10;
        si.nPos = 0;
        SetScrollInfo(list->Handle(), SB_VERT, si, true);
        Application->ProcessMessages();
        barX = 120 - GetSystemMetrics(SM_CXVSCROLL) / 2;
        downArrowY = 200 - GetSystemMetrics(SM_CYVSCROLL) / 2;
        trackBottomY = 200 - GetSystemMetrics(SM_CYVSCROLL) - 3;
    }
    void TearDown() override {
        delete form;
        InstallHost(nullptr);
    }
};

// The mouse messages of the bar are in the list's window coordinates, which equal the
// form's client coordinates here because the list sits at the form's origin.
TEST_F(ScrollBarRepeat, HeldArrowRepeatsAfterDelayOnlyUnderThePointer) {
    host.MouseDown(form, barX, downArrowY);
    EXPECT_EQ(list->Count(SB_LINEDOWN), 1) << "one step at the press";
    host.AdvanceTime(399);
    EXPECT_EQ(list->Count(SB_LINEDOWN), 1) << "nothing before the delay";
    host.AdvanceTime(1);
    EXPECT_EQ(list->Count(SB_LINEDOWN), 2);
    host.AdvanceTime(200);
    EXPECT_EQ(list->Count(SB_LINEDOWN), 6) << "then every 50 ms";

    host.MouseMove(form, barX - 60, downArrowY); // off the arrow: held, but paused
    host.AdvanceTime(200);
    EXPECT_EQ(list->Count(SB_LINEDOWN), 6);
    host.MouseMove(form, barX, downArrowY); // back on it: repeats again
    host.AdvanceTime(50);
    EXPECT_EQ(list->Count(SB_LINEDOWN), 7);

    host.MouseUp(form, barX, downArrowY);
    EXPECT_EQ(list->Codes.back(), SB_ENDSCROLL);
    host.AdvanceTime(1000);
    EXPECT_EQ(list->Count(SB_LINEDOWN), 7) << "released: the repeat timer is gone";
    EXPECT_EQ(GetScrollPos(list->Handle(), SB_VERT), 7);
}

TEST_F(ScrollBarRepeat, HeldTrackPagesUntilTheThumbReachesThePointer) {
    host.MouseDown(form, barX, trackBottomY);
    EXPECT_EQ(list->Count(SB_PAGEDOWN), 1);
    host.AdvanceTime(3000);
    // 9 pages bring the position to the end (90); the thumb then covers the pointer, so
    // the repeat stops although the button is still held.
    EXPECT_EQ(GetScrollPos(list->Handle(), SB_VERT), 90);
    const Integer pages = list->Count(SB_PAGEDOWN);
    EXPECT_LE(pages, 10);
    host.AdvanceTime(1000);
    EXPECT_EQ(list->Count(SB_PAGEDOWN), pages);
    host.MouseUp(form, barX, trackBottomY);
    EXPECT_EQ(list->Codes.back(), SB_ENDSCROLL);
}

TEST_F(ScrollBarRepeat, ThumbReleaseReportsTheDraggedPositionAlsoThroughGetScrollInfo) {
    const Integer thumbY = GetSystemMetrics(SM_CYVSCROLL) + 3;
    host.MouseDown(form, barX, thumbY);
    host.MouseMove(form, barX, thumbY + 60);
    host.MouseUp(form, barX, thumbY + 60);
    ASSERT_GT(list->Count(SB_THUMBTRACK), 0);
    EXPECT_GT(list->ThumbAtRelease, 0);
    EXPECT_EQ(list->TrackAtRelease, list->ThumbAtRelease);
    EXPECT_EQ(list->Codes.back(), SB_ENDSCROLL);
}

} // namespace
