// A headless host with a clean application for the form tests, and a way to act while a
// modal loop runs: each step runs when the loop goes idle, as a user acting on a shown form.
#pragma once

#include "platform/host/HeadlessHost.h"
#include "platform/vcl/Forms.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace mv::test {

struct FormsFixture : ::testing::Test {
    THeadlessHost Host;

    void SetUp() override {
        InstallHost(&Host);
        Application->ResetTerminated();
        Application->SetMainForm(nullptr);
        Application->OnIdle = nullptr;
    }
    void TearDown() override {
        Application->OnIdle = nullptr;
        Application->SetMainForm(nullptr);
        Application->ResetTerminated();
        Application->ProcessMessages(); // posted releases
        InstallHost(nullptr);
    }

    // A visible, focused form at bounds.
    static std::unique_ptr<TForm> ShownForm(const TRect& bounds) {
        auto form = std::make_unique<TForm>(nullptr);
        form->SetBoundsRect(bounds);
        form->Show();
        Application->ProcessMessages();
        return form;
    }

    // Runs steps one per idle turn of the (modal) loop. When the loop is still running after
    // the last step, the test fails and the loop is ended with mrAbort on form, so a broken
    // modal loop cannot hang the test binary.
    static void ScriptIdle(std::vector<std::function<void()>> steps, std::function<TCustomForm*()> form) {
        auto next = std::make_shared<size_t>(0);
        Application->OnIdle = [next, steps = std::move(steps), form = std::move(form)](TObject*) {
            if (*next < steps.size()) {
                steps[(*next)++]();
                return;
            }
            if (*next == steps.size()) {
                ++*next;
                ADD_FAILURE() << "the modal loop still runs after the last scripted step";
            }
            if (TCustomForm* f = form()) f->SetModalResult(mrAbort);
        };
    }
};

} // namespace mv::test
