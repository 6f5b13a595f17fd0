// A form with edits on the headless host, shared by the edit control tests.
#pragma once

#include "platform/host/HeadlessHost.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Forms.h"

#include <gtest/gtest.h>

namespace mv::test {

struct EditFixture : ::testing::Test {
    THeadlessHost Host;
    TForm* Form = nullptr;

    void SetUp() override {
        InstallHost(&Host);
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 400, 200);
        Form->Show();
        Application->ProcessMessages();
    }
    void TearDown() override {
        delete Form;
        InstallHost(nullptr);
    }
    // A shown, focused edit of the given class at (10, top) with width pixels.
    template <typename Edit = TEdit> Edit* AddEdit(Integer top = 10, Integer width = 150, bool focus = true) {
        auto* edit = new Edit(Form);
        edit->SetBounds(10, top, width, 21);
        edit->SetParent(Form);
        Application->ProcessMessages();
        if (focus) {
            edit->SetFocus();
            Application->ProcessMessages();
        }
        return edit;
    }
    // The client y of an edit's text line (for mouse input).
    static Integer TextY(TCustomEdit* edit) { return edit->ClientHeight() / 2; }
};

} // namespace mv::test
