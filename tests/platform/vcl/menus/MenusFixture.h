// The fixture of the menu and hint tests: a headless host with one shown form and probe
// controls that log their keys and clicks.
#pragma once

#include "platform/host/HeadlessHost.h"
#include "platform/vcl/Forms.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mv::test {

// A focusable control that logs what reaches it.
class TProbe : public TCustomControl {
public:
    explicit TProbe(TComponent* owner) : TCustomControl(owner) {
        SetControlStyle(ControlStyle() + csClickEvents);
        OnClick = [this](TObject*) { Log.push_back("click"); };
        OnKeyDown = [this](TObject*, Word& key, TShiftState) { Log.push_back("key" + std::to_string(key)); };
        OnKeyPress = [this](TObject*, Char& key) { Log.push_back("char" + std::to_string(key)); };
    }
    std::vector<std::string> Log;
};

struct MenusFixture : ::testing::Test {
    THeadlessHost Host;
    TForm* Form = nullptr;

    void SetUp() override {
        InstallHost(&Host);
        Application->SetHintPause(500);
        Application->SetHintShortPause(50);
        Application->SetHintHidePause(2500);
        Form = new TForm(nullptr);
        Form->SetBounds(100, 50, 400, 300);
        Form->Show();
        Application->ProcessMessages();
    }
    void TearDown() override {
        Application->CancelHint();
        delete Form;
        Application->ProcessMessages();
        InstallHost(nullptr);
    }
    TProbe* AddProbe(TWinControl* parent, Integer l, Integer t, Integer w, Integer h) {
        auto* p = new TProbe(Form);
        p->SetBounds(l, t, w, h);
        p->SetParent(parent);
        p->SetTabStop(true);
        return p;
    }
};

} // namespace mv::test
