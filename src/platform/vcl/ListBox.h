// TCustomListBox / TListBox: a scrolling list of strings (with objects) of which one is
// current (ItemIndex) and, with MultiSelect, any number are selected. Rows are ItemHeight
// pixels high; TopIndex is the first row shown. Items are painted as plain text or, with
// Style lbOwnerDrawFixed, by OnDrawItem. With DragReorder the user can drag an item to
// another position; a marker shows where it will land.
//
// Input: a press on an item makes it current (and selects it; Ctrl toggles and Shift
// extends with MultiSelect) and fires OnClick; Up/Down/Home/End/PgUp/PgDn move the current
// item and scroll it into view, firing OnClick when it changed; a typed character moves to
// the next item starting with it. The mouse wheel scrolls three rows per notch. The
// vertical scroll bar is the framework's and appears when not all rows fit.
#pragma once

#include "platform/rtl/StringList.h"
#include "platform/vcl/Controls.h"

#include <cstdint>
#include <vector>

namespace mv {

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed };
enum TOwnerDrawStateItem {
    odSelected,
    odGrayed,
    odDisabled,
    odChecked,
    odFocused,
    odDefault,
    odHotLight,
    odInactive,
    odNoAccel,
    odNoFocusRect,
    odReserved1,
    odReserved2,
    odComboBoxEdit
};
using TOwnerDrawState = Set<TOwnerDrawStateItem>;
// rect is in the list box's client coordinates; the canvas is clipped to it and its brush
// and font colours are set for the item's state (highlight colours when selected).
using TDrawItemEvent =
    std::function<void(TWinControl* Control, Integer Index, const TRect& Rect, TOwnerDrawState State)>;
// OnReorderQuery: Accept starts true; false refuses dropping FromIndex onto ToIndex (no
// marker is shown there). OnReorder: runs on the drop; leaving Accept true lets the list
// move the item itself, setting it false means the handler did the move (or refused it).
using TListReorderEvent =
    std::function<void(TObject* Sender, Integer FromIndex, Integer ToIndex, bool& Accept)>;

class TCustomListBox;

// The Items of a list box. The strings live in the list box next to per-item flags
// (selection, a check list box's check state), so Move and Exchange carry those along.
class TListBoxStrings : public TStrings {
public:
    explicit TListBoxStrings(TCustomListBox* listBox) : FListBox(listBox) {}

    Integer GetCount() const override;
    String Get(Integer index) const override;
    void Put(Integer index, StringView s) override;
    TObject* GetObject(Integer index) const override;
    void PutObject(Integer index, TObject* object) override;
    void Insert(Integer index, StringView s) override;
    void InsertObject(Integer index, StringView s, TObject* object) override;
    // In a Sorted list box the item goes to its sorted place (after equal strings).
    Integer AddObject(StringView s, TObject* object) override;
    void Delete(Integer index) override;
    void Clear() override;
    void Exchange(Integer index1, Integer index2) override;
    void Move(Integer curIndex, Integer newIndex) override;

protected:
    void SetUpdateState(bool updating) override;

private:
    TCustomListBox* FListBox;
};

class TCustomListBox : public TCustomControl {
public:
    explicit TCustomListBox(TComponent* owner);
    ~TCustomListBox() override;

    // --- items -----------------------------------------------------------------------------
    TStrings* Items() const { return FItems.get(); }
    // Copies the strings and objects of value.
    void SetItems(const TStrings* value) { FItems->Assign(value); }
    Integer Count() const { return static_cast<Integer>(FEntries.size()); }
    void Clear() { FItems->Clear(); }
    // Setting sorts the items now (case-insensitively, equal strings keeping their order;
    // the current item and every item's flags go along); while set, Items->Add puts new
    // strings at their sorted place. Insert and Move still place items where asked.
    bool Sorted() const { return FSorted; }
    void SetSorted(bool value);

    // --- current item, selection -------------------------------------------------------------
    // -1 when there is none. Setting scrolls the item into view and, without MultiSelect,
    // makes it the only selected item; it fires no OnClick. Out of range gives -1.
    Integer ItemIndex() const { return FItemIndex; }
    void SetItemIndex(Integer value);
    bool MultiSelect() const { return FMultiSelect; }
    // Switching clears the selection (the current item stays selected without MultiSelect).
    void SetMultiSelect(bool value);
    // Index out of range raises EListError.
    bool Selected(Integer index) const;
    void SetSelected(Integer index, bool value);
    Integer SelCount() const;
    void ClearSelection();
    void SelectAll();

    // --- geometry and scrolling ---------------------------------------------------------------
    Integer TopIndex() const { return FTopIndex; }
    // Clamped to 0..Count - VisibleItemCount.
    void SetTopIndex(Integer value);
    // lbStandard: the height of the font's text (setting is kept for owner drawing);
    // lbOwnerDrawFixed: the value set (16 by default, at least 1).
    Integer ItemHeight() const;
    void SetItemHeight(Integer value);
    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle value);
    // Rows that fit wholly in the client area (at least 1).
    Integer VisibleItemCount() const;
    // Client rectangle of the row of index (it may lie outside the client area).
    TRect ItemRect(Integer index) const;
    // The item at pos (client coordinates). With existing, -1 below the last item; else
    // Count there. -1 above or beside the client area either way.
    Integer ItemAtPos(TPoint pos, bool existing) const;
    // Scrolls as little as needed to show the whole row of index.
    void MakeVisible(Integer index);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    // bsSingle (the default) draws a sunken edge; bsNone none.
    void SetBorderStyle(TBorderStyle value);

    // --- dragging items ------------------------------------------------------------------------
    // Off by default. When on, pressing an item and moving the mouse more than a few pixels
    // starts dragging it; releasing over another item moves the dragged one there (the
    // item's string, object and flags together), and it stays current. Esc or releasing
    // outside a valid target cancels. Holding the mouse above or below the list scrolls it.
    bool DragReorder() const { return FDragReorder; }
    void SetDragReorder(bool value);
    // While dragging: the dragged item and the item it would land on (-1 when none).
    bool Reordering() const { return FReordering; }
    Integer DropTarget() const { return FDropTarget; }

    TDrawItemEvent OnDrawItem;
    TListReorderEvent OnReorderQuery;
    TListReorderEvent OnReorder;

    void WndProc(TMessage& message) override;

protected:
    friend class TListBoxStrings;

    // One row: the string, its object and the flags a list box keeps per item. Bit 0 is
    // the selection; descendants use the bits above ItemFlagsReserved.
    struct TListBoxEntry {
        String Text;
        TObject* Object = nullptr;
        std::uint32_t Flags = 0;
    };
    static constexpr std::uint32_t ItemSelectedFlag = 1u;
    static constexpr std::uint32_t ItemFlagsReserved = 0xFu;
    // Index out of range raises EListError.
    std::uint32_t ItemFlags(Integer index) const;
    void SetItemFlags(Integer index, std::uint32_t flags);

    // Paints one item; OnDrawItem with lbOwnerDrawFixed when assigned, else the text.
    virtual void DrawItem(Integer index, const TRect& rect, TOwnerDrawState state);
    // The row height of lbStandard.
    virtual Integer StandardItemHeight() const;
    // The state passed to DrawItem.
    virtual TOwnerDrawState ItemState(Integer index) const;
    // Items changed (after the outermost update bracket): scroll range, clamping, repaint.
    virtual void ItemsChanged();
    // OnReorderQuery (from != to is already checked).
    virtual bool CanReorder(Integer fromIndex, Integer toIndex);
    // OnReorder, then (unless the handler took over) moves the item and makes it current.
    virtual void Reorder(Integer fromIndex, Integer toIndex);

    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Paint() override;
    void KeyDown(Word& key, TShiftState shift) override;
    void KeyPress(Char& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    void MouseMove(TShiftState shift, Integer x, Integer y) override;
    void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    // OnMouseWheel first; unhandled, three rows per notch.
    bool DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) override;
    void FontChanged() override;
    void DoExit() override;

    // Moves the current item by the user (keyboard or mouse): selection, scrolling, OnClick.
    void SelectByUser(Integer index, TShiftState shift);

    std::vector<TListBoxEntry> FEntries;

private:
    void CheckItemIndex(Integer index) const;
    void UpdateScrollBar();
    void ClampTopIndex();
    void Scrolled(Word code);
    void InvalidateItem(Integer index);
    void UpdateDrag(TPoint mouse);
    void EndDrag(bool drop);
    void DrawDropMarker(TCanvas* c);
    void AutoScrollTick();

    std::unique_ptr<TListBoxStrings> FItems;
    Integer FItemIndex = -1;
    Integer FTopIndex = 0;
    Integer FItemHeight = 16;
    mutable Integer FStandardHeight = 0; // measured from the font on first use
    TListBoxStyle FStyle = lbStandard;
    bool FMultiSelect = false;
    bool FSorted = false;
    Integer FAnchor = -1; // where a Shift+click range starts
    TBorderStyle FBorderStyle = bsSingle;
    bool FUpdatingItems = false;

    // Mouse gesture: tracking the selection or dragging an item.
    bool FTracking = false;
    bool FReleasing = false; // inside WM_LBUTTONUP
    Integer FWheelDelta = 0; // wheel movement short of a whole notch
    bool FDragReorder = false;
    bool FReordering = false;
    Integer FDragOrigin = -1;
    TPoint FPressPoint;
    TPoint FLastMouse;
    Integer FDropTarget = -1;
    Integer FAutoScroll = 0; // -1 up, 1 down while the mouse is beyond an edge
    TCursor FSavedCursor = crDefault;
};

class TListBox : public TCustomListBox {
public:
    using TCustomListBox::TCustomListBox;
};

} // namespace mv
