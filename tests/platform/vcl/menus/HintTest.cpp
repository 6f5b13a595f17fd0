// The hint machinery and hint windows on the headless host's virtual clock.
#include "MenusFixture.h"

#include "platform/rtl/StrUtils.h"
#include "platform/vcl/HintWindow.h"

#include <climits>

using namespace mv;
using namespace mv::test;

namespace {

// A hinted control that answers the hint request per 20 x 20 cell, as a grid does.
class TCellProbe : public TProbe {
public:
    using TProbe::TProbe;
    Integer Requests = 0;
    Integer HideTimeout = 700;
    Integer ReshowTimeout = 0;
    THintWindowClass WindowClass = nullptr;
    void* Data = nullptr;
    Integer Pause = -1; // >= 0 replaces the pause
    bool SawActive = false;
    bool OverCell = false; // the tip covers the cell, as a grid's tool tip does

protected:
    bool CMHintShow(THintInfo& info) override {
        ++Requests;
        EXPECT_EQ(info.HintControl, this);
        EXPECT_EQ(info.HintStr, u"designed");
        EXPECT_EQ(info.HideTimeout, Application->HintHidePause());
        const Integer col = info.CursorPos.X / 20, row = info.CursorPos.Y / 20;
        info.CursorRect = Bounds(col * 20, row * 20, 20, 20);
        if (row == 3) return false; // this row has no hints
        info.HintStr = u"cell " + IntToStr(col) + u"," + IntToStr(row) + u" #" + IntToStr(Requests);
        info.HintPos = ClientToScreen({col * 20, row * 20 + (OverCell ? 0 : 20)});
        info.HideTimeout = HideTimeout;
        info.ReshowTimeout = ReshowTimeout;
        if (WindowClass) info.HintWindowClass = WindowClass;
        info.HintData = Data;
        return true;
    }
    void CMHintShowPause(bool hintActive, Integer& pause) override {
        SawActive = hintActive;
        if (Pause >= 0) pause = Pause;
    }
};

// A hint window class that keeps the data it was shown with.
class TDataHint : public THintWindow {
public:
    using THintWindow::THintWindow;
    void* Data = nullptr;
    void ActivateHintData(TRect rect, const String& hint, void* data) override {
        Data = data;
        THintWindow::ActivateHintData(rect, hint, data);
    }
};

struct HintTest : MenusFixture {
    TProbe* A = nullptr;
    TProbe* B = nullptr;
    TProbe* Plain = nullptr;
    void SetUp() override {
        MenusFixture::SetUp();
        A = AddProbe(Form, 10, 10, 100, 50);
        A->SetHint(u"Save the file|Writes the file to disk");
        A->SetShowHint(true);
        B = AddProbe(Form, 120, 10, 100, 50);
        B->SetHint(u"Second");
        B->SetShowHint(true);
        Plain = AddProbe(Form, 230, 10, 100, 50);
        Application->ProcessMessages();
    }
    String Shown() const {
        THintWindow* w = Application->HintWindow();
        return w ? w->Caption() : String(u"(none)");
    }
};

} // namespace

TEST_F(HintTest, HintShowsAfterThePauseBelowThePointerAndHidesAfterTheHidePause) {
    Host.MouseMove(A, 30, 20);
    EXPECT_EQ(Application->Hint(), u"Writes the file to disk") << "the status-line part follows the pointer";
    Host.AdvanceTime(499);
    EXPECT_EQ(Shown(), u"(none)");
    Host.AdvanceTime(1);
    ASSERT_EQ(Shown(), u"Save the file");
    THintWindow* window = Application->HintWindow();
    const THostWindow hostWindow = Host.WindowOf(window);
    EXPECT_TRUE(Host.WindowVisible(hostWindow));
    EXPECT_EQ(Host.WindowBounds(hostWindow).TopLeft(), A->ClientToScreen({30, 40}));
    EXPECT_NE(Host.FocusedWindow(), hostWindow) << "a hint never takes the focus";
    const TRect b = Host.WindowBounds(hostWindow);
    EXPECT_EQ(Host.PixelAt(hostWindow, b.Width() - 2, 1), 0xFFFFE1u) << "clInfoBk inside";
    EXPECT_EQ(Host.PixelAt(hostWindow, 0, 0), 0x646464u) << "a one-pixel frame";

    // Moving inside the control keeps the hint; it hides after the hide pause.
    Host.MouseMove(A, 40, 25);
    Host.AdvanceTime(2499);
    EXPECT_EQ(Shown(), u"Save the file");
    Host.AdvanceTime(1);
    EXPECT_EQ(Shown(), u"(none)");
    EXPECT_FALSE(Host.WindowVisible(hostWindow));
    // Resting on the same control does not bring it back.
    Host.MouseMove(A, 41, 25);
    Host.AdvanceTime(5000);
    EXPECT_EQ(Shown(), u"(none)");

    // After the hide pause the next control waits the full pause again.
    Host.MouseMove(B, 10, 10);
    Host.AdvanceTime(499);
    EXPECT_EQ(Shown(), u"(none)");
    Host.AdvanceTime(1);
    EXPECT_EQ(Shown(), u"Second");
}

TEST_F(HintTest, MovingBetweenHintedControlsUsesTheShortPause) {
    Host.MouseMove(A, 30, 20);
    Host.AdvanceTime(500);
    ASSERT_EQ(Shown(), u"Save the file");

    Host.MouseMove(B, 30, 20);
    EXPECT_EQ(Shown(), u"(none)") << "the old hint goes at once";
    Host.AdvanceTime(49);
    EXPECT_EQ(Shown(), u"(none)");
    Host.AdvanceTime(1);
    EXPECT_EQ(Shown(), u"Second");
    Host.MouseMove(A, 30, 20);
    Host.AdvanceTime(50);
    EXPECT_EQ(Shown(), u"Save the file");

    // A control without a hint ends the chain: back on a hinted one the full pause applies.
    Host.MouseMove(Plain, 30, 20);
    EXPECT_EQ(Shown(), u"(none)");
    EXPECT_EQ(Application->Hint(), u"");
    Host.MouseMove(B, 30, 20);
    Host.AdvanceTime(50);
    EXPECT_EQ(Shown(), u"(none)");
    Host.AdvanceTime(450);
    EXPECT_EQ(Shown(), u"Second");

    // Leaving the control for no other one (the pointer left the window) cancels too.
    B->Perform(CM_MOUSELEAVE);
    Application->ProcessMessages();
    EXPECT_EQ(Shown(), u"(none)");
    Host.MouseMove(A, 30, 20);
    Host.AdvanceTime(50);
    EXPECT_EQ(Shown(), u"(none)");
}

TEST_F(HintTest, ControlRequestSetsTextTimeoutPositionAndCursorRect) {
    auto* grid = new TCellProbe(Form);
    grid->SetBounds(10, 100, 200, 100);
    grid->SetParent(Form);
    grid->SetHint(u"designed");
    grid->SetShowHint(true);
    Application->ProcessMessages();

    Host.MouseMove(grid, 45, 5);
    Host.AdvanceTime(500);
    EXPECT_EQ(grid->Requests, 1);
    ASSERT_EQ(Shown(), u"cell 2,0 #1");
    EXPECT_EQ(Application->HintWindow()->BoundsRect().TopLeft(), grid->ClientToScreen({40, 20}));

    // Inside the cell nothing is asked again; the control's hide timeout applies.
    Host.MouseMove(grid, 55, 15);
    Host.AdvanceTime(699);
    EXPECT_EQ(grid->Requests, 1);
    EXPECT_EQ(Shown(), u"cell 2,0 #1");
    Host.AdvanceTime(1);
    EXPECT_EQ(Shown(), u"(none)");

    // Leaving the cell asks again (full pause: the hint had timed out).
    Host.MouseMove(grid, 65, 15);
    EXPECT_FALSE(grid->SawActive);
    Host.AdvanceTime(500);
    EXPECT_EQ(Shown(), u"cell 3,0 #2");
    // The next cell while a hint shows: the short pause, and the control is told so.
    Host.MouseMove(grid, 65, 35);
    EXPECT_TRUE(grid->SawActive);
    Host.AdvanceTime(50);
    EXPECT_EQ(Shown(), u"cell 3,1 #3");

    // A refused request shows nothing; the next cell is asked again.
    Host.MouseMove(grid, 65, 65);
    Host.AdvanceTime(500);
    EXPECT_EQ(grid->Requests, 4);
    EXPECT_EQ(Shown(), u"(none)");
    Host.MouseMove(grid, 65, 85);
    Host.AdvanceTime(500);
    EXPECT_EQ(Shown(), u"cell 3,4 #5");

    // A hide timeout of the largest integer keeps the hint until the pointer moves on.
    grid->HideTimeout = INT_MAX;
    Host.MouseMove(grid, 5, 85);
    Host.AdvanceTime(500);
    Host.AdvanceTime(100000);
    EXPECT_EQ(Shown(), u"cell 0,4 #6");
}

TEST_F(HintTest, ToolTipOverItsCellLetsTheMouseThrough) {
    auto* grid = new TCellProbe(Form);
    grid->SetBounds(10, 100, 200, 100);
    grid->SetParent(Form);
    grid->SetHint(u"designed");
    grid->SetShowHint(true);
    grid->OverCell = true;
    TPoint moved{-1, -1}, pressed{-1, -1};
    grid->OnMouseMove = [&](TObject*, TShiftState, Integer x, Integer y) { moved = {x, y}; };
    grid->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, Integer x, Integer y) { pressed = {x, y}; };
    Application->ProcessMessages();

    Host.MouseMove(grid, 45, 5);
    Host.AdvanceTime(500);
    THintWindow* tip = Application->HintWindow();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->BoundsRect().TopLeft(), grid->ClientToScreen({40, 0}));

    // The pointer over the tip is over the cell: the tip stays and nothing is asked again.
    Host.MouseMove(tip, 3, 3);
    // Inside the tip's one-pixel frame: (3, 3) of its client area is (44, 4) of the grid.
    EXPECT_EQ(moved, (TPoint{44, 4}));
    EXPECT_EQ(Shown(), u"cell 2,0 #1");
    EXPECT_EQ(grid->Requests, 1);
    // A press on the tip is a press on the cell, and ends the hint like any press.
    Host.MouseDown(tip, 4, 2);
    EXPECT_EQ(pressed, (TPoint{45, 3}));
    EXPECT_EQ(Shown(), u"(none)");
    Host.MouseUp(grid, 45, 3);
}

TEST_F(HintTest, KeysAndPressesCancelAndActivateHintShowsAtOnce) {
    TProbe* edit = AddProbe(Form, 10, 100, 100, 20);
    edit->SetFocus();
    Host.MouseMove(A, 30, 20);
    Host.AdvanceTime(500);
    ASSERT_EQ(Shown(), u"Save the file");
    Host.KeyDown('X');
    EXPECT_EQ(Shown(), u"(none)");
    EXPECT_EQ(edit->Log.front(), "key88") << "the key still reaches the focused control";
    // Cancelled: resting longer shows nothing, moving on waits the full pause.
    Host.AdvanceTime(3000);
    EXPECT_EQ(Shown(), u"(none)");
    Host.MouseMove(A, 31, 20);
    Host.AdvanceTime(499);
    EXPECT_EQ(Shown(), u"(none)");
    Host.AdvanceTime(1);
    EXPECT_EQ(Shown(), u"Save the file");

    Host.MouseDown(A, 31, 20);
    EXPECT_EQ(Shown(), u"(none)");
    Host.MouseUp(A, 31, 20);

    // A pending hint is cancelled too.
    Host.MouseMove(B, 30, 20);
    Host.AdvanceTime(300);
    Application->CancelHint();
    Host.AdvanceTime(1000);
    EXPECT_EQ(Shown(), u"(none)");

    Application->ActivateHint(B->ClientToScreen({5, 5}));
    EXPECT_EQ(Shown(), u"Second");
    EXPECT_EQ(Application->HintWindow()->BoundsRect().TopLeft(), B->ClientToScreen({5, 25}));
    Application->HideHint();
    EXPECT_EQ(Shown(), u"(none)");
    Application->ActivateHint(Plain->ClientToScreen({5, 5}));
    EXPECT_EQ(Shown(), u"(none)");

    // Application->ShowHint off: no hints at all.
    Application->SetShowHint(false);
    Host.MouseMove(A, 30, 20);
    Host.AdvanceTime(1000);
    EXPECT_EQ(Shown(), u"(none)");
    Application->SetShowHint(true);
}

TEST_F(HintTest, WindowClassDataReshowAndPauseComeFromTheRequest) {
    auto* grid = new TCellProbe(Form);
    grid->SetBounds(10, 100, 200, 100);
    grid->SetParent(Form);
    grid->SetHint(u"designed");
    grid->SetShowHint(true);
    int data = 7;
    grid->WindowClass = &NewHintWindow<TDataHint>;
    grid->Data = &data;
    grid->Pause = 0;
    grid->ReshowTimeout = 200;
    grid->HideTimeout = 0;
    Application->ProcessMessages();

    Host.MouseMove(grid, 5, 5);
    auto* window = dynamic_cast<TDataHint*>(Application->HintWindow());
    ASSERT_NE(window, nullptr) << "a zero pause shows at once, in the class the control asked for";
    EXPECT_EQ(window->Data, &data);
    EXPECT_EQ(Shown(), u"cell 0,0 #1");
    Host.AdvanceTime(200);
    EXPECT_EQ(Shown(), u"cell 0,0 #2") << "the reshow timeout asks again";
    Host.AdvanceTime(5000);
    EXPECT_EQ(grid->Requests, 27) << "every 200 ms, and a hide timeout of 0 never hides";

    // The plain controls get the application's class again.
    Host.MouseMove(A, 5, 5);
    Host.AdvanceTime(50);
    ASSERT_NE(Application->HintWindow(), nullptr);
    EXPECT_EQ(dynamic_cast<TDataHint*>(Application->HintWindow()), nullptr);

    // OnShowHint sees the record last and may refuse.
    Application->OnShowHint = [](String& text, bool& canShow, THintInfo& info) {
        canShow = info.HintControl->Hint() != u"Second";
        text = u"[" + text + u"]";
    };
    Host.MouseMove(B, 5, 5);
    Host.AdvanceTime(50);
    EXPECT_EQ(Shown(), u"(none)");
    Host.MouseMove(A, 5, 5);
    Host.AdvanceTime(50);
    EXPECT_EQ(Shown(), u"[Save the file]");
    Application->OnShowHint = nullptr;

    // A control freed while its hint shows takes the hint with it.
    Host.MouseMove(grid, 5, 5);
    ASSERT_NE(Application->HintWindow(), nullptr);
    delete grid;
    EXPECT_EQ(Application->HintWindow(), nullptr);
    Host.AdvanceTime(1000);
}

TEST_F(HintTest, HintWindowWrapsWithinTheMaximumWidthAndStaysOnScreen) {
    THintWindow window(nullptr);
    const String text = u"A fairly long hint text that cannot fit on one short line";
    const TRect one = window.CalcHintRect(2000, text, nullptr);
    const TRect wrapped = window.CalcHintRect(120, text, nullptr);
    EXPECT_EQ(one.TopLeft(), (TPoint{0, 0}));
    EXPECT_LE(wrapped.Width(), 126);
    EXPECT_GE(wrapped.Height(), 3 * (one.Height() - 2));
    EXPECT_EQ((wrapped.Height() - 2) % (one.Height() - 2), 0) << "whole lines";
    const TRect lines = window.CalcHintRect(2000, u"first\nsecond", nullptr);
    EXPECT_EQ(lines.Height() - 2, 2 * (one.Height() - 2)) << "hard breaks are kept";

    TRect r = wrapped;
    OffsetRect(r, 1900, 1070);
    window.ActivateHint(r, text);
    Application->ProcessMessages();
    EXPECT_EQ(window.BoundsRect().Right, 1920);
    EXPECT_EQ(window.BoundsRect().Bottom, 1080);
    EXPECT_EQ(window.BoundsRect().Width(), wrapped.Width());
    EXPECT_TRUE(Host.WindowVisible(Host.WindowOf(&window)));
    window.ReleaseHandle();
    EXPECT_FALSE(Host.WindowVisible(Host.WindowOf(&window)));
}

TEST(HintText, ShortAndLongParts) {
    EXPECT_EQ(GetShortHint(u"Short|Long"), u"Short");
    EXPECT_EQ(GetLongHint(u"Short|Long"), u"Long");
    EXPECT_EQ(GetShortHint(u"Only"), u"Only");
    EXPECT_EQ(GetLongHint(u"Only"), u"Only");
    EXPECT_EQ(GetLongHint(u"a|b|c"), u"b|c");
}
