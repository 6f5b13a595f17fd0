// TCheckListBox: per-item check state kept in the list box's item flags, the check box
// column, toggling by mouse and Space.
#include "platform/vcl/CheckLst.h"

namespace mv {

namespace {

// Item flag bits above the list box's own.
constexpr std::uint32_t kStateShift = 4;
constexpr std::uint32_t kStateMask = 3u << kStateShift;
constexpr std::uint32_t kDisabledFlag = 1u << 6;
constexpr std::uint32_t kHeaderFlag = 1u << 7;
constexpr Integer kMarkMargin = 3; // on each side of the check box in its column

} // namespace

TCustomCheckListBox::TCustomCheckListBox(TComponent* owner) : TCustomListBox(owner) {}

TCheckBoxState TCustomCheckListBox::State(Integer index) const {
    return static_cast<TCheckBoxState>((ItemFlags(index) & kStateMask) >> kStateShift);
}

void TCustomCheckListBox::SetState(Integer index, TCheckBoxState value) {
    const std::uint32_t flags = ItemFlags(index) & ~kStateMask;
    SetItemFlags(index, flags | (static_cast<std::uint32_t>(value) << kStateShift));
}

bool TCustomCheckListBox::ItemEnabled(Integer index) const {
    return (ItemFlags(index) & kDisabledFlag) == 0;
}

void TCustomCheckListBox::SetItemEnabled(Integer index, bool value) {
    const std::uint32_t flags = ItemFlags(index);
    SetItemFlags(index, value ? flags & ~kDisabledFlag : flags | kDisabledFlag);
}

bool TCustomCheckListBox::Header(Integer index) const {
    return (ItemFlags(index) & kHeaderFlag) != 0;
}

void TCustomCheckListBox::SetHeader(Integer index, bool value) {
    const std::uint32_t flags = ItemFlags(index);
    SetItemFlags(index, value ? flags | kHeaderFlag : flags & ~kHeaderFlag);
}

void TCustomCheckListBox::CheckAll(TCheckBoxState state, bool allowGrayed, bool allowDisabled) {
    for (Integer i = 0; i < Count(); ++i) {
        if (Header(i)) continue;
        if (!allowDisabled && !ItemEnabled(i)) continue;
        if (!allowGrayed && State(i) == cbGrayed) continue;
        SetState(i, state);
    }
}

void TCustomCheckListBox::SetHeaderColor(TColor value) {
    if (value == FHeaderColor) return;
    FHeaderColor = value;
    Invalidate();
}

void TCustomCheckListBox::SetHeaderBackgroundColor(TColor value) {
    if (value == FHeaderBackgroundColor) return;
    FHeaderBackgroundColor = value;
    Invalidate();
}

Integer TCustomCheckListBox::CheckWidth() const {
    return CheckMarkSize + 2 * kMarkMargin;
}

Integer TCustomCheckListBox::StandardItemHeight() const {
    // Two pixels of air between the check boxes of neighbouring rows.
    return std::max(TCustomListBox::StandardItemHeight(), CheckMarkSize) + 2;
}

TOwnerDrawState TCustomCheckListBox::ItemState(Integer index) const {
    TOwnerDrawState state = TCustomListBox::ItemState(index);
    if (State(index) == cbChecked) state.Include(odChecked);
    if (State(index) == cbGrayed) state.Include(odGrayed);
    if (!ItemEnabled(index)) state.Include(odDisabled);
    return state;
}

bool TCustomCheckListBox::InCheckArea(Integer x) const {
    if (UseRightToLeftAlignment()) return x >= ClientWidth() - CheckWidth() && x < ClientWidth();
    return x >= 0 && x < CheckWidth();
}

void TCustomCheckListBox::DrawItem(Integer index, const TRect& rect, TOwnerDrawState state) {
    TCanvas* c = Canvas();
    if (Header(index)) {
        c->Brush()->SetColor(FHeaderBackgroundColor);
        c->FillRect(rect);
        c->Font()->SetColor(FHeaderColor);
        TRect text = rect;
        InflateRect(text, -2, 0);
        c->Brush()->SetStyle(bsClear);
        c->DrawText(Items()->Strings(index), text,
                    DrawTextBiDiModeFlags(DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS));
        c->Brush()->SetStyle(bsSolid);
        return;
    }
    // The check box column keeps the list's colour whatever the item's state, so the
    // selection bar starts after it.
    const bool mirrored = UseRightToLeftAlignment();
    TRect column = rect, rest = rect;
    if (mirrored) {
        column.Left = rect.Right - CheckWidth();
        rest.Right = column.Left;
    } else {
        column.Right = rect.Left + CheckWidth();
        rest.Left = column.Right;
    }
    const TColor itemBrush = c->Brush()->Color();
    c->Brush()->SetColor(Color());
    c->FillRect(column);
    const TRect mark = Bounds(column.Left + kMarkMargin, column.Top + (column.Height() - CheckMarkSize) / 2,
                              CheckMarkSize, CheckMarkSize);
    DrawCheckMark(c, mark, State(index), ItemEnabled(index) && IsEffectivelyEnabled(), false);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(itemBrush);
    if (!ItemEnabled(index) && !state.Contains(odSelected)) c->Font()->SetColor(clGrayText);
    TCustomListBox::DrawItem(index, rest, state);
}

void TCustomCheckListBox::ToggleClickCheck(Integer index) {
    if (index < 0 || index >= Count() || !ItemEnabled(index) || Header(index)) return;
    switch (State(index)) {
    case cbUnchecked:
        SetState(index, FAllowGrayed ? cbGrayed : cbChecked);
        break;
    case cbChecked:
        SetState(index, cbUnchecked);
        break;
    case cbGrayed:
        SetState(index, cbChecked);
        break;
    }
    ClickCheck();
}

void TCustomCheckListBox::ClickCheck() {
    if (OnClickCheck) OnClickCheck(this);
}

void TCustomCheckListBox::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
    const Integer index = ItemAtPos({x, y}, true);
    if (button != mbLeft || index < 0 || !InCheckArea(x) || Header(index)) {
        TCustomListBox::MouseDown(button, shift, x, y);
        return;
    }
    // A press on the check box selects and toggles, and is no start of a drag or of
    // selection tracking, so the list box's own handling is skipped.
    if (CanFocus() && !Focused()) SetFocus();
    SelectByUser(index, shift);
    ToggleClickCheck(index);
    TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomCheckListBox::KeyPress(Char& key) {
    if (key == u' ') {
        TCustomControl::KeyPress(key); // OnKeyPress may eat it
        if (key == 0) return;
        ToggleClickCheck(ItemIndex());
        key = 0;
        return;
    }
    TCustomListBox::KeyPress(key);
}

} // namespace mv
