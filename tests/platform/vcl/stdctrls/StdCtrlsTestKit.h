// The fixture of the standard-control tests: a headless host with one shown form, and a
// colour helper for reading pixels back.
#pragma once

#include "platform/host/HeadlessHost.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Graphics.h"

#include <gtest/gtest.h>

namespace mv::test {

// A colour as the headless host reports pixels ($00RRGGBB).
inline std::uint32_t Rgb(TColor c) {
    const TColorRef r = ColorToRGB(c);
    return (static_cast<std::uint32_t>(GetRValue(r)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(r)) << 8) | GetBValue(r);
}

struct StdCtrlsFixture : ::testing::Test {
    THeadlessHost Host;
    TForm* Form = nullptr;

    void SetUp() override {
        InstallHost(&Host);
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 420, 320);
        Form->SetColor(clBtnFace);
        Form->Show();
        Application->ProcessMessages();
    }
    void TearDown() override {
        delete Form;
        Application->ProcessMessages();
        InstallHost(nullptr);
    }
    template <typename T>
    T* Add(Integer left, Integer top, Integer width, Integer height, TWinControl* parent = nullptr) {
        auto* control = new T(Form);
        control->SetBounds(left, top, width, height);
        control->SetParent(parent ? parent : Form);
        return control;
    }
    void Paint() { Application->ProcessMessages(); }
};

} // namespace mv::test
