// Not public API: the window of one level of an open popup menu (MenuWindow.cpp), shared
// by Menus.cpp and the tests that click its rows.
#pragma once

#include "platform/vcl/Menus.h"

#include <vector>

namespace mv {

// Shows the visible children of one item as rows. The menu (TPopupMenu) does the tracking;
// the window lays the rows out, paints them and tells the menu about mouse messages.
class TMenuWindow : public TCustomControl {
public:
    TMenuWindow(TPopupMenu* menu, TMenuItem* parentItem);
    ~TMenuWindow() override;

    TPopupMenu* Menu() const { return FMenu; }
    TMenuItem* ParentItem() const { return FParentItem; }
    // Rows are the visible children of ParentItem, in order.
    Integer RowCount() const { return static_cast<Integer>(FRows.size()); }
    TMenuItem* Row(Integer index) const { return FRows[static_cast<size_t>(index)].Item; }
    // Client rectangle of a row; the row at a client point, -1 when none.
    TRect RowRect(Integer index) const { return FRows[static_cast<size_t>(index)].Rect; }
    Integer RowAt(TPoint p) const;
    Integer RowOf(const TMenuItem* item) const;
    // The highlighted row (-1: none). Separators and disabled rows are never selected.
    Integer Selected() const { return FSelected; }
    void Select(Integer index);
    bool IsSelectable(Integer index) const;
    // The next selectable row after from in direction step (+1/-1), wrapping; -1 if none.
    Integer NextSelectable(Integer from, Integer step) const;
    // Lays the rows out and sizes the window to them.
    void Build();
    // Places the window's top-left at p (screen) inside the work area; when it does not fit
    // right of / below p it goes left of flipX / above flipY.
    void PlaceAt(TPoint p, Integer flipX, Integer flipY);

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;

private:
    struct TRow {
        TMenuItem* Item = nullptr;
        TRect Rect;
    };
    void PaintRow(Integer index);

    TPopupMenu* FMenu;
    TMenuItem* FParentItem;
    std::vector<TRow> FRows;
    Integer FSelected = -1;
    Integer FTextLeft = 0;
    Integer FShortCutLeft = 0;
};

} // namespace mv
