// Messages, timers, focus, keys and capture on the headless host.
#include "platform/host/HeadlessHost.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace mv;

namespace {

// A window control that logs the messages and key events it gets.
class TProbe : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<std::string> Log;
    std::function<void(TMessage&)> OnMessage;

    void WndProc(TMessage& m) override {
        if (m.Msg >= WM_USER && m.Msg < WM_USER + 100) {
            Log.push_back("user" + std::to_string(m.Msg - WM_USER));
            if (OnMessage) OnMessage(m);
            return;
        }
        if (m.Msg == WM_SETFOCUS) Log.push_back("setfocus");
        if (m.Msg == WM_KILLFOCUS) Log.push_back("killfocus");
        TCustomControl::WndProc(m);
    }
};

struct HostFixture : ::testing::Test {
    THeadlessHost Host;
    TForm* Form = nullptr;
    void SetUp() override {
        InstallHost(&Host);
        Form = new TForm(nullptr);
        Form->SetBounds(100, 50, 400, 300);
        Form->Show();
        Application->ProcessMessages();
    }
    void TearDown() override {
        delete Form;
        InstallHost(nullptr);
    }
    TProbe* AddProbe(Integer l, Integer t, Integer w, Integer h) {
        auto* p = new TProbe(Form);
        p->SetBounds(l, t, w, h);
        p->SetParent(Form);
        p->SetTabStop(true);
        return p;
    }
};

} // namespace

TEST_F(HostFixture, PostedMessagesRunAfterTheHandlerAndPeekCanLeaveThemQueued) {
    TProbe* probe = AddProbe(10, 10, 50, 50);
    const HWND h = probe->Handle();
    probe->OnMessage = [&](TMessage& m) {
        if (m.Msg == WM_USER + 1) {
            PostMessage(h, WM_USER + 2, 0, 0);
            probe->Log.push_back("end1");
        }
    };
    PostMessage(h, WM_USER + 1, 0, 0);
    PostMessage(h, WM_USER + 3, 0, 0);

    TMsg msg;
    // Without removing: the same message is seen twice and stays in the queue.
    ASSERT_TRUE(PeekMessage(msg, h, WM_USER + 3, WM_USER + 3, PM_NOREMOVE));
    EXPECT_EQ(msg.Message, WM_USER + 3);
    EXPECT_TRUE(PeekMessage(msg, h, WM_USER + 3, WM_USER + 3, PM_NOREMOVE));
    EXPECT_TRUE(PeekMessage(msg, 0, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.Message, WM_USER + 1) << "the first queued message comes first";
    EXPECT_FALSE(PeekMessage(msg, h, WM_USER + 50, WM_USER + 60, PM_NOREMOVE));
    EXPECT_TRUE(probe->Log.empty()) << "peeking dispatches nothing";

    Application->ProcessMessages();
    EXPECT_EQ(probe->Log, (std::vector<std::string>{"user1", "end1", "user3", "user2"}));
    EXPECT_FALSE(PeekMessage(msg, h, 0, 0, PM_NOREMOVE));

    // PM_REMOVE takes it off the queue: it never runs.
    probe->Log.clear();
    PostMessage(h, WM_USER + 4, 0, 0);
    ASSERT_TRUE(PeekMessage(msg, h, 0, 0, PM_REMOVE));
    Application->ProcessMessages();
    EXPECT_TRUE(probe->Log.empty());

    // Messages for a window that is gone are dropped, and posting to it fails afterwards.
    PostMessage(h, WM_USER + 5, 0, 0);
    delete probe;
    EXPECT_FALSE(PeekMessage(msg, h, 0, 0, PM_NOREMOVE));
    EXPECT_FALSE(PostMessage(h, WM_USER + 6, 0, 0));
    EXPECT_EQ(SendMessage(h, WM_USER + 6, 0, 0), 0);
}

TEST_F(HostFixture, TimersFireOnTheVirtualClockAndReArmingPostpones) {
    TTimer timer(nullptr);
    std::vector<std::uint64_t> fired;
    timer.SetInterval(200);
    timer.SetOnTimer([&](TObject*) { fired.push_back(Host.TickCount()); });
    Host.AdvanceTime(199);
    EXPECT_TRUE(fired.empty());
    Host.AdvanceTime(1);
    EXPECT_EQ(fired, (std::vector<std::uint64_t>{200}));
    Host.AdvanceTime(450);
    EXPECT_EQ(fired, (std::vector<std::uint64_t>{200, 400, 600})) << "each fires at its own time";

    // A one-shot job re-armed before it is due runs once, a full interval after the last arming.
    fired.clear();
    TTimer job(nullptr);
    Integer runs = 0;
    auto handler = [&](TObject*) {
        ++runs;
        job.SetEnabled(false);
    };
    timer.SetEnabled(false);
    job.SetInterval(200);
    job.SetOnTimer(handler); // armed at 650
    Host.AdvanceTime(150);   // 800
    job.SetOnTimer(handler); // re-armed: due at 1000
    Host.AdvanceTime(150);   // 950
    EXPECT_EQ(runs, 0);
    job.SetEnabled(true); // due at 1150
    Host.AdvanceTime(199);
    EXPECT_EQ(runs, 0);
    Host.AdvanceTime(1);
    EXPECT_EQ(runs, 1);
    Host.AdvanceTime(1000);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(fired.empty());

    // Without a handler or with Interval 0 a timer does not run.
    TTimer idle(nullptr);
    idle.SetInterval(0);
    idle.SetOnTimer([&](TObject*) { ++runs; });
    Host.AdvanceTime(5000);
    EXPECT_EQ(runs, 1);

    // Two timers due at the same time fire in arming order.
    std::string order;
    TTimer a(nullptr), b(nullptr);
    a.SetInterval(100);
    b.SetInterval(100);
    a.SetOnTimer([&](TObject*) { order += "a"; });
    b.SetOnTimer([&](TObject*) { order += "b"; });
    Host.AdvanceTime(100);
    EXPECT_EQ(order, "ab");
}

TEST_F(HostFixture, FocusAndKeysReachTheFocusedControl) {
    TProbe* first = AddProbe(10, 10, 50, 20);
    TProbe* second = AddProbe(10, 40, 50, 20);
    std::string keys;
    std::string enterExit;
    for (TProbe* p : {first, second}) {
        const std::string name = p == first ? "1" : "2";
        p->OnKeyDown = [&, name](TObject*, Word& key, TShiftState shift) {
            keys += name + ":down" + std::to_string(key) + (shift.Contains(ssShift) ? "S" : "") +
                    (shift.Contains(ssCtrl) ? "C" : "") + " ";
        };
        p->OnKeyPress = [&, name](TObject*, Char& key) {
            keys += name + ":char" + std::string(1, char(key)) + " ";
        };
        p->OnKeyUp = [&, name](TObject*, Word& key, TShiftState) {
            keys += name + ":up" + std::to_string(key) + " ";
        };
        p->OnEnter = [&, name](TObject*) { enterExit += "enter" + name + " "; };
        p->OnExit = [&, name](TObject*) { enterExit += "exit" + name + " "; };
    }
    second->SetFocus();
    EXPECT_TRUE(second->Focused());
    EXPECT_FALSE(first->Focused());
    EXPECT_EQ(Form->ActiveControl(), second);
    EXPECT_EQ(second->Log.back(), "setfocus");

    Host.KeyDown('A', {ssShift});
    EXPECT_EQ(keys, "2:down65S 2:charA 2:up65 ");
    keys.clear();
    Host.KeyDown('B');
    EXPECT_EQ(keys, "2:down66 2:charb 2:up66 ");
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0) << "modifiers are released after the key";

    // Setting KeyDown's key to 0 stops it there; OnKeyPress can swallow a character.
    keys.clear();
    second->OnKeyPress = [&](TObject*, Char& key) { key = 0; };
    Host.TypeText(u"xy");
    EXPECT_EQ(keys, "");

    // Tab moves to the next tab stop: exit, kill focus, set focus, enter.
    keys.clear();
    first->Log.clear();
    second->Log.clear();
    enterExit.clear();
    Host.KeyDown(VK_TAB);
    EXPECT_TRUE(first->Focused());
    EXPECT_EQ(second->Log, (std::vector<std::string>{"killfocus"}));
    EXPECT_EQ(first->Log, (std::vector<std::string>{"setfocus"}));
    EXPECT_EQ(enterExit, "exit2 enter1 ");
    Host.KeyDown(VK_RETURN);
    EXPECT_EQ(keys, "1:up9 1:down13 1:char\r 1:up13 ") << "Tab's release reaches the control it moved to";

    // A disabled or invisible control cannot take the focus.
    second->SetEnabled(false);
    EXPECT_FALSE(second->CanFocus());
    EXPECT_THROW(second->SetFocus(), EInvalidOperation);
    EXPECT_TRUE(first->Focused());
    first->Hide();
    EXPECT_FALSE(first->Focused()) << "hiding the focused control takes its focus away";

    // Key preview: the form sees keys first and can eat them.
    second->SetEnabled(true);
    second->SetFocus();
    keys.clear();
    Form->SetKeyPreview(true);
    Form->OnKeyDown = [&](TObject*, Word& key, TShiftState) {
        keys += "form" + std::to_string(key) + " ";
        if (key == VK_F2) key = 0;
    };
    Host.KeyPressOnly(VK_F2);
    Host.KeyPressOnly(VK_F3);
    EXPECT_EQ(keys, "form113 form114 2:down114 ");
}

TEST_F(HostFixture, MouseGoesToTheControlUnderItOrToTheCapture) {
    TProbe* left = AddProbe(10, 10, 100, 100);
    TProbe* right = AddProbe(200, 10, 100, 100);
    std::vector<std::string> log;
    auto watch = [&](TProbe* p, const std::string& name) {
        p->OnMouseDown = [&, name](TObject*, TMouseButton b, TShiftState s, Integer x, Integer y) {
            log.push_back(name + " down " + std::to_string(b) + (s.Contains(ssDouble) ? "D" : "") + " " +
                          std::to_string(x) + "," + std::to_string(y));
        };
        p->OnMouseMove = [&, name](TObject*, TShiftState, Integer x, Integer y) {
            log.push_back(name + " move " + std::to_string(x) + "," + std::to_string(y));
        };
        p->OnMouseUp = [&, name](TObject*, TMouseButton, TShiftState, Integer x, Integer y) {
            log.push_back(name + " up " + std::to_string(x) + "," + std::to_string(y));
        };
        p->OnClick = [&, name](TObject*) { log.push_back(name + " click"); };
        p->OnDblClick = [&, name](TObject*) { log.push_back(name + " dblclick"); };
    };
    watch(left, "L");
    watch(right, "R");

    Host.Click(right, 5, 6);
    EXPECT_EQ(log, (std::vector<std::string>{"R move 5,6", "R down 0 5,6", "R click", "R up 5,6"}));

    // A left press captures the control: moves outside it, even over the other control, go to it
    // in its own coordinates; releasing outside does not click.
    log.clear();
    Host.MouseDown(left, 50, 50);
    EXPECT_EQ(GetCaptureControl(), left);
    EXPECT_EQ(Host.CaptureWindow(), Host.WindowOf(Form));
    Host.MouseMove(right, 20, 30, {ssLeft});
    Host.MouseMove(left, -15, 500, {ssLeft});
    Host.MouseUp(right, 20, 30);
    EXPECT_EQ(log,
              (std::vector<std::string>{"L down 0 50,50", "L move 210,30", "L move -15,500", "L up 210,30"}));
    EXPECT_EQ(GetCaptureControl(), nullptr);
    EXPECT_EQ(Host.CaptureWindow(), 0u);

    // Capture set by code routes moves too; ReleaseCapture gives them back.
    log.clear();
    SetCaptureControl(right);
    Host.MouseMove(left, 0, 0);
    ReleaseCapture();
    Host.MouseMove(left, 1, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"R move -190,0", "L move 1,1"}));

    // Double click: press, release, double-click press (DblClick + ssDouble), release.
    log.clear();
    Host.DoubleClick(left, 3, 4);
    EXPECT_EQ(log, (std::vector<std::string>{"L down 0 3,4", "L click", "L up 3,4", "L dblclick",
                                             "L down 0D 3,4", "L click", "L up 3,4"}));

    // A disabled control passes the mouse to its parent.
    log.clear();
    left->SetEnabled(false);
    std::vector<TPoint> formDowns;
    Form->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, Integer x, Integer y) {
        formDowns.push_back({x, y});
    };
    Host.Click(left, 1, 2);
    EXPECT_TRUE(log.empty());
    ASSERT_EQ(formDowns.size(), 1u);
    EXPECT_EQ(formDowns[0], (TPoint{11, 12}));

    // The wheel goes to the control under the pointer, then to its parent when unhandled.
    Integer wheel = 0;
    right->OnMouseWheel = [&](TObject*, TShiftState, Integer delta, TPoint, bool& handled) {
        wheel += delta;
        handled = delta > 0;
    };
    bool formSawWheel = false;
    Form->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool& handled) {
        formSawWheel = true;
        handled = true;
    };
    Host.Wheel(right, 10, 10, WHEEL_DELTA);
    EXPECT_EQ(wheel, 120);
    EXPECT_FALSE(formSawWheel);
    Host.Wheel(right, 10, 10, -WHEEL_DELTA);
    EXPECT_TRUE(formSawWheel);
}

TEST(HostHelpers, MulDivShiftStatesAndBiDi) {
    EXPECT_EQ(MulDiv(10, 120, 96), 13); // 12.5 rounds away from zero
    EXPECT_EQ(MulDiv(-10, 120, 96), -13);
    EXPECT_EQ(MulDiv(7, 2, 0), -1);
    EXPECT_EQ(MulDiv(2000000000, 3, 4), 1500000000) << "no 32-bit overflow";
    EXPECT_EQ(KeysToShiftState(MK_SHIFT | MK_LBUTTON), (TShiftState{ssShift, ssLeft}));

    TControl c(nullptr);
    EXPECT_FALSE(c.IsRightToLeft());
    EXPECT_EQ(c.DrawTextBiDiModeFlagsReadingOnly(), 0u);
    c.SetBiDiMode(bdRightToLeft);
    EXPECT_TRUE(c.UseRightToLeftAlignment());
    EXPECT_TRUE(c.UseRightToLeftScrollBar());
    EXPECT_EQ(c.DrawTextBiDiModeFlagsReadingOnly(), static_cast<Cardinal>(DT_RTLREADING));
    EXPECT_EQ(c.DrawTextBiDiModeFlags(DT_LEFT), static_cast<Cardinal>(DT_RIGHT | DT_RTLREADING));
    c.SetBiDiMode(bdRightToLeftReadingOnly);
    EXPECT_FALSE(c.UseRightToLeftAlignment());
    EXPECT_FALSE(c.UseRightToLeftScrollBar());
    EXPECT_TRUE(c.IsRightToLeft());
    TAlignment a = taLeftJustify;
    ChangeBiDiModeAlignment(a);
    EXPECT_EQ(a, taRightJustify);
    a = taCenter;
    ChangeBiDiModeAlignment(a);
    EXPECT_EQ(a, taCenter);

    // Without a host a top-level window cannot be made.
    InstallHost(nullptr);
    TWinControl orphan(nullptr);
    orphan.SetName(u"Orphan");
    try {
        orphan.Handle();
        FAIL() << "expected EInvalidOperation";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), u"Cannot create a window for 'Orphan': no host is installed");
    }
}
