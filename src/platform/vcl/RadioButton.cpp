// TRadioButton: groups by parent, arrow-key movement inside the group, the round mark.
#include "platform/vcl/ButtonControls.h"

#include <vector>

namespace mv {

namespace {

// The radio buttons sharing parent, in the parent's child order.
std::vector<TRadioButton*> GroupOf(const TRadioButton* button) {
    std::vector<TRadioButton*> group;
    if (!button->Parent()) return group;
    for (Integer i = 0; i < button->Parent()->ControlCount(); ++i)
        if (auto* radio = dynamic_cast<TRadioButton*>(button->Parent()->Controls(i))) group.push_back(radio);
    return group;
}

} // namespace

void DrawRadioMark(TCanvas* canvas, const TRect& rect, bool checked, bool enabled, bool pressed) {
    const TRect box = Bounds(rect.Left, rect.Top, CheckMarkSize, CheckMarkSize);
    canvas->Pen()->SetStyle(psSolid);
    canvas->Pen()->SetWidth(1);
    canvas->Pen()->SetColor(clBtnShadow);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(pressed || !enabled ? clBtnFace : clWindow);
    canvas->Ellipse(box);
    if (!checked) return;
    const TColor ink = enabled ? clWindowText : clGrayText;
    canvas->Pen()->SetColor(ink);
    canvas->Brush()->SetColor(ink);
    canvas->Ellipse(Rect(box.Left + 4, box.Top + 4, box.Right - 4, box.Bottom - 4));
}

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) {}

void TRadioButton::SetChecked(bool value) {
    if (value == FChecked) return;
    FChecked = value;
    Invalidate();
    if (!value) return;
    for (TRadioButton* other : GroupOf(this))
        if (other != this) other->SetChecked(false);
    Click();
}

void TRadioButton::Toggle() {
    SetChecked(true);
}

void TRadioButton::PaintMark(const TRect& rect) {
    DrawRadioMark(Canvas(), rect, FChecked, IsEffectivelyEnabled(), Pressed());
}

void TRadioButton::KeyDown(Word& key, TShiftState shift) {
    TButtonControl::KeyDown(key, shift);
    const bool back = key == VK_UP || key == VK_LEFT;
    const bool forward = key == VK_DOWN || key == VK_RIGHT;
    if (!back && !forward) return;
    key = 0;
    const std::vector<TRadioButton*> group = GroupOf(this);
    const auto count = static_cast<Integer>(group.size());
    Integer at = 0;
    while (at < count && group[static_cast<size_t>(at)] != this)
        ++at;
    // The next one that can take the focus, wrapping around as dialogs do.
    for (Integer step = 1; step < count; ++step) {
        TRadioButton* next = group[static_cast<size_t>((at + (forward ? step : count - step)) % count)];
        if (!next->CanFocus()) continue;
        next->SetFocus();
        next->SetChecked(true);
        return;
    }
}

} // namespace mv
