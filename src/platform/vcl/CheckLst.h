// TCheckListBox: a list box with a check box before every item. The check state, the
// enabled flag and the header flag belong to the item and move with it (Items->Move,
// Exchange, dragging with DragReorder).
//
// Toggling: a press on an item's check box, or Space on the current item, cycles its
// state (unchecked -> checked -> unchecked; with AllowGrayed unchecked -> grayed -> checked
// -> unchecked) and fires OnClickCheck. Disabled items and headers do not toggle. The
// press also makes the item current (OnClick), as a press on its text does; a drag never
// starts from the check box.
#pragma once

#include "platform/vcl/ButtonControls.h"
#include "platform/vcl/ListBox.h"

namespace mv {

class TCustomCheckListBox : public TCustomListBox {
public:
    explicit TCustomCheckListBox(TComponent* owner);

    // Index out of range raises EListError for all the per-item properties. Setting them
    // from code fires no event.
    bool Checked(Integer index) const { return State(index) == cbChecked; }
    void SetChecked(Integer index, bool value) { SetState(index, value ? cbChecked : cbUnchecked); }
    TCheckBoxState State(Integer index) const;
    void SetState(Integer index, TCheckBoxState value);
    // A disabled item shows a grey check box and text and cannot be toggled by the user.
    bool ItemEnabled(Integer index) const;
    void SetItemEnabled(Integer index, bool value);
    // A header item is a caption row: no check box, HeaderColor on HeaderBackgroundColor.
    bool Header(Integer index) const;
    void SetHeader(Integer index, bool value);
    // Sets every item to state; items in the grayed state are left alone unless
    // allowGrayed, disabled items unless allowDisabled; headers always.
    void CheckAll(TCheckBoxState state, bool allowGrayed = true, bool allowDisabled = true);

    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool value) { FAllowGrayed = value; }
    TColor HeaderColor() const { return FHeaderColor; }
    void SetHeaderColor(TColor value);
    TColor HeaderBackgroundColor() const { return FHeaderBackgroundColor; }
    void SetHeaderBackgroundColor(TColor value);

    // Width of the check box column at the left of every item (at the right when the
    // alignment is mirrored).
    Integer CheckWidth() const;

    TNotifyEvent OnClickCheck;

protected:
    // Cycles the state of index as a user's toggle does and fires OnClickCheck; nothing
    // for disabled items and headers.
    virtual void ToggleClickCheck(Integer index);
    virtual void ClickCheck();

    void DrawItem(Integer index, const TRect& rect, TOwnerDrawState state) override;
    Integer StandardItemHeight() const override;
    TOwnerDrawState ItemState(Integer index) const override;
    void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    void KeyPress(Char& key) override;

private:
    bool InCheckArea(Integer x) const;

    bool FAllowGrayed = false;
    TColor FHeaderColor = clInfoText;
    TColor FHeaderBackgroundColor = clInfoBk;
};

class TCheckListBox : public TCustomCheckListBox {
public:
    using TCustomCheckListBox::TCustomCheckListBox;
};

} // namespace mv
