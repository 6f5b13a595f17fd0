// A modal dialog on the SDL host under a private Xvfb server, driven by real key presses
// (xdotool): the keys reach the modal form and choose its ModalResult. Skipped when Xvfb
// or xdotool is missing.
#include "platform/host/SdlHost.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/StdCtrls.h"

#include "support/Xvfb.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace mv;
using mv::test::OnPath;
using mv::test::PinXLibraries;
using mv::test::TXvfb;

namespace {

// xdotool in its own process, so that the modal loop runs while it types; waited for
// when this goes away.
class TXdotool {
public:
    explicit TXdotool(std::vector<std::string> args) {
        // Built before fork: the child of a threaded process should not allocate.
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>("xdotool"));
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        FPid = fork();
        if (FPid == 0) {
            setpgid(0, 0);
            // xdotool's search walks the whole window tree and dies with BadWindow when a
            // window goes away under it; it has typed nothing then, so it is run again.
            for (int attempt = 0; attempt < 5; ++attempt) {
                pid_t child = fork();
                if (child == 0) {
                    execvp("xdotool", argv.data());
                    _exit(127);
                }
                int status = 0;
                if (child < 0 || waitpid(child, &status, 0) < 0) _exit(1);
                if (WIFEXITED(status) && (WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == 127))
                    _exit(WEXITSTATUS(status));
                const timespec pause{0, 200'000'000};
                nanosleep(&pause, nullptr);
            }
            _exit(1);
        }
        if (FPid > 0) setpgid(FPid, FPid);
    }
    ~TXdotool() {
        if (FPid <= 0) return;
        kill(-FPid, SIGTERM); // the whole group: the retry loop and its xdotool
        waitpid(FPid, nullptr, 0);
    }

private:
    pid_t FPid = -1;
};

// Focuses the window named title once it is mapped, then presses keys.
std::vector<std::string> KeysTo(const std::string& title, std::vector<std::string> keys) {
    // Only a mapped window can take the focus: the title exists before the window shows.
    std::vector<std::string> args{
        "search", "--sync", "--onlyvisible", "--name", "^" + title + "$", "windowfocus", "--sync",
        "%1",     "key",    "--delay",       "60"};
    args.insert(args.end(), keys.begin(), keys.end());
    return args;
}

TEST(ModalXvfb, RealKeysChooseTheModalResult) {
    if (!OnPath("Xvfb") || !OnPath("xdotool")) GTEST_SKIP() << "Xvfb or xdotool not installed";
    TXvfb server;
    if (server.Display().empty()) GTEST_SKIP() << "Xvfb did not start";
    setenv("DISPLAY", server.Display().c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    PinXLibraries();
    {
        TSdlHost host;
        ASSERT_EQ(host.VideoDriver(), u"x11");
        InstallHost(&host);
        Application->ResetTerminated();
        Application->SetMainForm(nullptr);
        // A lost key must fail the test, not hang it: any modal loop ends after 20 s.
        bool timedOut = false;
        TTimer guard(nullptr);
        guard.SetInterval(20000);
        guard.SetOnTimer([&](TObject*) {
            for (Integer i = 0; i < Screen->FormCount(); ++i)
                if (Screen->Forms(i)->Modal()) {
                    timedOut = true;
                    Screen->Forms(i)->SetModalResult(mrAbort);
                }
        });

        // A message dialog: Tab leaves the default Yes for No, Return clicks No.
        {
            TXdotool keys(KeysTo("Confirm", {"Tab", "Return"}));
            EXPECT_EQ(MessageDlg(u"Apply the filter?", mtConfirmation, mbYesNoCancel, 0), mrNo);
        }
        EXPECT_FALSE(timedOut);

        // A form of our own: typed text reaches its edit, Escape clicks Cancel.
        {
            std::unique_ptr<TForm> form(new TForm(nullptr));
            form->SetCaption(u"MvModalXvfbProbe");
            form->SetBounds(200, 150, 300, 90);
            auto* edit = new TEdit(form.get());
            edit->SetParent(form.get());
            edit->SetBounds(10, 10, 280, 21);
            auto* cancel = new TButton(form.get());
            cancel->SetParent(form.get());
            cancel->SetBounds(215, 50, 75, 25);
            cancel->SetCaption(u"Cancel");
            cancel->SetCancel(true);
            cancel->SetModalResult(mrCancel);
            TXdotool keys(KeysTo("MvModalXvfbProbe", {"a", "b", "c", "Escape"}));
            guard.SetEnabled(true); // a full interval again
            timedOut = false;
            EXPECT_EQ(form->ShowModal(), mrCancel);
            EXPECT_EQ(edit->Text(), u"abc");
        }
        EXPECT_FALSE(timedOut);
        InstallHost(nullptr);
    }
    unsetenv("DISPLAY");
}

} // namespace
