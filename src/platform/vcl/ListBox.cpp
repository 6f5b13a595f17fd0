// TCustomListBox and its Items. The list keeps its rows in FEntries; Items is a TStrings
// view that edits them and tells the list, so the current item follows its row through
// inserts, deletes and moves.
//
// [SECTION] TListBoxStrings     - the Items view
// [SECTION] Items and selection - ItemIndex, Selected, MultiSelect, Sorted
// [SECTION] Geometry            - ItemHeight, TopIndex, ItemRect, ItemAtPos, scroll bar
// [SECTION] Painting            - Paint, DrawItem, the drop marker
// [SECTION] Keyboard and mouse  - selection by the user, wheel, scroll bar messages
// [SECTION] Dragging items      - UpdateDrag, EndDrag, Reorder, auto-scroll
#include "platform/vcl/ListBox.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"
#include "platform/vcl/Forms.h"

#include <algorithm>
#include <cstdlib>
#include <cwctype>

namespace mv {

namespace {

constexpr UINT kAutoScrollTimer = 1;
constexpr UINT kAutoScrollInterval = 100; // ms between rows while dragging beyond an edge
constexpr Integer kDragThreshold = 5;     // pixels the mouse moves before an item drag starts
constexpr Integer kWheelRows = 3;

// Where index i ends up when the item at from moves to to.
Integer MovedIndex(Integer i, Integer from, Integer to) {
    if (i == from) return to;
    if (from < to && i > from && i <= to) return i - 1;
    if (from > to && i >= to && i < from) return i + 1;
    return i;
}

Char FoldCase(Char c) {
    return static_cast<Char>(std::towupper(static_cast<wint_t>(c)));
}

} // namespace

// [SECTION] TListBoxStrings
Integer TListBoxStrings::GetCount() const {
    return FListBox->Count();
}

String TListBoxStrings::Get(Integer index) const {
    CheckIndex(index, GetCount());
    return FListBox->FEntries[static_cast<size_t>(index)].Text;
}

void TListBoxStrings::Put(Integer index, StringView s) {
    CheckIndex(index, GetCount());
    FListBox->FEntries[static_cast<size_t>(index)].Text = String(s);
    FListBox->InvalidateItem(index);
}

TObject* TListBoxStrings::GetObject(Integer index) const {
    CheckIndex(index, GetCount());
    return FListBox->FEntries[static_cast<size_t>(index)].Object;
}

void TListBoxStrings::PutObject(Integer index, TObject* object) {
    CheckIndex(index, GetCount());
    FListBox->FEntries[static_cast<size_t>(index)].Object = object;
}

void TListBoxStrings::Insert(Integer index, StringView s) {
    InsertObject(index, s, nullptr);
}

void TListBoxStrings::InsertObject(Integer index, StringView s, TObject* object) {
    CheckIndex(index, GetCount() + 1);
    auto& entries = FListBox->FEntries;
    entries.insert(entries.begin() + index, TCustomListBox::TListBoxEntry{String(s), object, 0});
    if (FListBox->FItemIndex >= index) ++FListBox->FItemIndex;
    if (FListBox->FAnchor >= index) ++FListBox->FAnchor;
    if (UpdateCount() == 0) FListBox->ItemsChanged();
}

Integer TListBoxStrings::AddObject(StringView s, TObject* object) {
    if (!FListBox->FSorted) return TStrings::AddObject(s, object);
    const auto& entries = FListBox->FEntries;
    const auto at =
        std::upper_bound(entries.begin(), entries.end(), s, [](StringView text, const auto& entry) {
            return AnsiCompareText(text, entry.Text) < 0;
        });
    const auto index = static_cast<Integer>(at - entries.begin());
    InsertObject(index, s, object);
    return index;
}

void TListBoxStrings::Delete(Integer index) {
    CheckIndex(index, GetCount());
    auto& entries = FListBox->FEntries;
    entries.erase(entries.begin() + index);
    Integer& current = FListBox->FItemIndex;
    if (current == index)
        current = -1;
    else if (current > index)
        --current;
    if (FListBox->FAnchor >= index) FListBox->FAnchor = -1;
    if (UpdateCount() == 0) FListBox->ItemsChanged();
}

void TListBoxStrings::Clear() {
    FListBox->FEntries.clear();
    FListBox->FItemIndex = -1;
    FListBox->FAnchor = -1;
    FListBox->FTopIndex = 0;
    if (UpdateCount() == 0) FListBox->ItemsChanged();
}

void TListBoxStrings::Exchange(Integer index1, Integer index2) {
    CheckIndex(index1, GetCount());
    CheckIndex(index2, GetCount());
    auto& entries = FListBox->FEntries;
    std::swap(entries[static_cast<size_t>(index1)], entries[static_cast<size_t>(index2)]);
    Integer& current = FListBox->FItemIndex;
    if (current == index1)
        current = index2;
    else if (current == index2)
        current = index1;
    if (UpdateCount() == 0) FListBox->ItemsChanged();
}

void TListBoxStrings::Move(Integer curIndex, Integer newIndex) {
    if (curIndex == newIndex) return;
    CheckIndex(curIndex, GetCount());
    CheckIndex(newIndex, GetCount());
    auto& entries = FListBox->FEntries;
    auto entry = std::move(entries[static_cast<size_t>(curIndex)]);
    entries.erase(entries.begin() + curIndex);
    entries.insert(entries.begin() + newIndex, std::move(entry));
    if (FListBox->FItemIndex >= 0)
        FListBox->FItemIndex = MovedIndex(FListBox->FItemIndex, curIndex, newIndex);
    if (FListBox->FAnchor >= 0) FListBox->FAnchor = MovedIndex(FListBox->FAnchor, curIndex, newIndex);
    if (UpdateCount() == 0) FListBox->ItemsChanged();
}

void TListBoxStrings::SetUpdateState(bool updating) {
    TStrings::SetUpdateState(updating);
    if (!updating) FListBox->ItemsChanged();
}

// [SECTION] Items and selection
TCustomListBox::TCustomListBox(TComponent* owner)
    : TCustomControl(owner), FItems(std::make_unique<TListBoxStrings>(this)) {
    // OnClick follows selection changes made by the user, not every release.
    FControlStyle.Exclude(csClickEvents);
    SetTabStop(true);
    SetBounds(0, 0, 121, 97);
}

TCustomListBox::~TCustomListBox() {
    if (FReordering && Screen->Cursor() == crDrag) Screen->SetCursor(FSavedCursor);
}

void TCustomListBox::CheckItemIndex(Integer index) const {
    if (index < 0 || index >= Count()) throw EListError(Format(SysConst::SListIndexError, {index}));
}

std::uint32_t TCustomListBox::ItemFlags(Integer index) const {
    CheckItemIndex(index);
    return FEntries[static_cast<size_t>(index)].Flags;
}

void TCustomListBox::SetItemFlags(Integer index, std::uint32_t flags) {
    CheckItemIndex(index);
    auto& entry = FEntries[static_cast<size_t>(index)];
    if (entry.Flags == flags) return;
    entry.Flags = flags;
    InvalidateItem(index);
}

void TCustomListBox::ItemsChanged() {
    if (FItemIndex >= Count()) FItemIndex = -1;
    if (FAnchor >= Count()) FAnchor = -1;
    ClampTopIndex();
}

void TCustomListBox::ClampTopIndex() {
    const Integer top = FTopIndex;
    FTopIndex = -1; // makes SetTopIndex clamp, publish the scroll range and repaint
    SetTopIndex(top);
}

void TCustomListBox::SetItemIndex(Integer value) {
    if (value < -1 || value >= Count()) value = -1;
    if (value == FItemIndex) {
        if (value >= 0) MakeVisible(value);
        return;
    }
    InvalidateItem(FItemIndex);
    FItemIndex = value;
    if (!FMultiSelect) FAnchor = value;
    InvalidateItem(FItemIndex);
    if (value >= 0) MakeVisible(value);
}

void TCustomListBox::SetMultiSelect(bool value) {
    if (value == FMultiSelect) return;
    FMultiSelect = value;
    for (auto& entry : FEntries)
        entry.Flags &= ~ItemSelectedFlag;
    Invalidate();
}

bool TCustomListBox::Selected(Integer index) const {
    CheckItemIndex(index);
    if (!FMultiSelect) return index == FItemIndex;
    return (FEntries[static_cast<size_t>(index)].Flags & ItemSelectedFlag) != 0;
}

void TCustomListBox::SetSelected(Integer index, bool value) {
    CheckItemIndex(index);
    if (!FMultiSelect) {
        if (value)
            SetItemIndex(index);
        else if (index == FItemIndex)
            SetItemIndex(-1);
        return;
    }
    const std::uint32_t flags = ItemFlags(index);
    SetItemFlags(index, value ? flags | ItemSelectedFlag : flags & ~ItemSelectedFlag);
}

Integer TCustomListBox::SelCount() const {
    if (!FMultiSelect) return FItemIndex >= 0 ? 1 : 0;
    Integer n = 0;
    for (const auto& entry : FEntries)
        n += (entry.Flags & ItemSelectedFlag) != 0;
    return n;
}

void TCustomListBox::ClearSelection() {
    if (!FMultiSelect) {
        SetItemIndex(-1);
        return;
    }
    for (Integer i = 0; i < Count(); ++i)
        SetSelected(i, false);
}

void TCustomListBox::SelectAll() {
    if (!FMultiSelect) return;
    for (Integer i = 0; i < Count(); ++i)
        SetSelected(i, true);
}

void TCustomListBox::SetSorted(bool value) {
    if (value == FSorted) return;
    FSorted = value;
    if (!value || FEntries.size() < 2) return;
    // Sort positions, not entries, so the current item and the anchor can be followed.
    std::vector<Integer> order(FEntries.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<Integer>(i);
    std::stable_sort(order.begin(), order.end(), [this](Integer a, Integer b) {
        return AnsiCompareText(FEntries[static_cast<size_t>(a)].Text, FEntries[static_cast<size_t>(b)].Text) <
               0;
    });
    std::vector<TListBoxEntry> sorted;
    sorted.reserve(FEntries.size());
    Integer itemIndex = -1, anchor = -1;
    for (size_t i = 0; i < order.size(); ++i) {
        sorted.push_back(std::move(FEntries[static_cast<size_t>(order[i])]));
        if (order[i] == FItemIndex) itemIndex = static_cast<Integer>(i);
        if (order[i] == FAnchor) anchor = static_cast<Integer>(i);
    }
    FEntries = std::move(sorted);
    FItemIndex = itemIndex;
    FAnchor = anchor;
    ItemsChanged();
}

// [SECTION] Geometry
Integer TCustomListBox::StandardItemHeight() const {
    if (FStandardHeight == 0) {
        TCanvas measure;
        measure.SetFont(Font());
        FStandardHeight = measure.TextHeight(u"Wg");
    }
    return FStandardHeight;
}

Integer TCustomListBox::ItemHeight() const {
    return FStyle == lbStandard ? StandardItemHeight() : FItemHeight;
}

void TCustomListBox::SetItemHeight(Integer value) {
    value = std::max(value, 1);
    if (value == FItemHeight) return;
    FItemHeight = value;
    if (FStyle != lbStandard) ItemsChanged();
}

void TCustomListBox::SetStyle(TListBoxStyle value) {
    if (value == FStyle) return;
    FStyle = value;
    ItemsChanged();
}

void TCustomListBox::FontChanged() {
    FStandardHeight = 0;
    TCustomControl::FontChanged();
    if (FStyle == lbStandard) ItemsChanged();
}

Integer TCustomListBox::VisibleItemCount() const {
    return std::max(1, ClientHeight() / ItemHeight());
}

TRect TCustomListBox::ItemRect(Integer index) const {
    const Integer h = ItemHeight();
    return Bounds(0, (index - FTopIndex) * h, ClientWidth(), h);
}

Integer TCustomListBox::ItemAtPos(TPoint pos, bool existing) const {
    if (pos.X < 0 || pos.X >= ClientWidth() || pos.Y < 0 || pos.Y >= ClientHeight()) return -1;
    const Integer index = FTopIndex + pos.Y / ItemHeight();
    if (index < Count()) return index;
    return existing ? -1 : Count();
}

void TCustomListBox::SetTopIndex(Integer value) {
    const Integer maxTop = std::max(0, Count() - VisibleItemCount());
    value = std::clamp(value, 0, maxTop);
    if (value == FTopIndex) return;
    FTopIndex = value;
    UpdateScrollBar();
    Invalidate();
}

void TCustomListBox::MakeVisible(Integer index) {
    if (index < 0 || index >= Count()) return;
    if (index < FTopIndex)
        SetTopIndex(index);
    else if (index >= FTopIndex + VisibleItemCount())
        SetTopIndex(index - VisibleItemCount() + 1);
}

void TCustomListBox::UpdateScrollBar() {
    if (!HandleAllocated()) return;
    TScrollInfo si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = std::max(Count() - 1, 0);
    si.nPage = static_cast<UINT>(VisibleItemCount());
    si.nPos = FTopIndex;
    SetScrollInfo(Handle(), SB_VERT, si, true);
}

void TCustomListBox::SetBorderStyle(TBorderStyle value) {
    if (value == FBorderStyle) return;
    FBorderStyle = value;
    RecreateWnd();
}

void TCustomListBox::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    if (FBorderStyle == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWnd() {
    TCustomControl::CreateWnd();
    ClampTopIndex(); // the border took client height
}

void TCustomListBox::InvalidateItem(Integer index) {
    if (index < FTopIndex || index >= Count() || !HandleAllocated()) return;
    const TRect r = ItemRect(index);
    InvalidateRect(&r);
}

// [SECTION] Painting
TOwnerDrawState TCustomListBox::ItemState(Integer index) const {
    TOwnerDrawState state;
    if (Selected(index)) state.Include(odSelected);
    if (index == FItemIndex && Focused()) state.Include(odFocused);
    if (!IsEffectivelyEnabled()) state.Include(odDisabled);
    return state;
}

void TCustomListBox::Paint() {
    TCanvas* c = Canvas();
    const Integer h = ItemHeight();
    const TRect clip = c->ClipRect();
    const Integer first = FTopIndex + std::max(0, clip.Top / h);
    const Integer last = std::min(Count() - 1, FTopIndex + (clip.Bottom - 1) / h);
    for (Integer i = first; i <= last; ++i) {
        const TRect r = ItemRect(i);
        const TOwnerDrawState state = ItemState(i);
        c->SaveDC();
        c->IntersectClipRect(r);
        c->SetFont(Font());
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(Color());
        if (state.Contains(odSelected)) {
            c->Brush()->SetColor(clHighlight);
            c->Font()->SetColor(clHighlightText);
        } else if (state.Contains(odDisabled)) {
            c->Font()->SetColor(clGrayText);
        }
        DrawItem(i, r, state);
        c->RestoreDC(-1);
        if (state.Contains(odFocused) && !state.Contains(odNoFocusRect)) c->DrawFocusRect(r);
    }
    if (FReordering) DrawDropMarker(c);
}

void TCustomListBox::DrawItem(Integer index, const TRect& rect, TOwnerDrawState state) {
    if (FStyle == lbOwnerDrawFixed && OnDrawItem) {
        OnDrawItem(this, index, rect, state);
        return;
    }
    TCanvas* c = Canvas();
    c->FillRect(rect);
    TRect text = rect;
    text.Left += 2;
    text.Right -= 2;
    c->Brush()->SetStyle(bsClear);
    c->DrawText(FEntries[static_cast<size_t>(index)].Text, text,
                DrawTextBiDiModeFlags(DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS));
    c->Brush()->SetStyle(bsSolid);
}

// The marker is a bar across the list at the edge where the dragged item will land, with
// short ticks at both ends so it reads as an insertion point, not as a grid line.
void TCustomListBox::DrawDropMarker(TCanvas* c) {
    if (FDropTarget < 0) return;
    const TRect r = ItemRect(FDropTarget);
    const Integer y = FDropTarget > FDragOrigin ? r.Bottom - 1 : r.Top;
    const Integer w = ClientWidth();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clWindowText);
    c->FillRect(Rect(0, y - 1, w, y + 1));
    c->FillRect(Rect(0, y - 3, 2, y + 3));
    c->FillRect(Rect(w - 2, y - 3, w, y + 3));
}

// [SECTION] Keyboard and mouse
void TCustomListBox::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_VSCROLL:
        Scrolled(TWMScroll(message).ScrollCode());
        return;
    case WM_GETDLGCODE:
        message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateItem(FItemIndex);
        break;
    case WM_TIMER:
        if (message.WParam == kAutoScrollTimer) {
            AutoScrollTick();
            return;
        }
        break;
    case WM_LBUTTONUP:
        // The base class releases the capture before MouseUp runs; that loss of capture
        // ends the gesture normally, not by cancelling it.
        FReleasing = true;
        try {
            TCustomControl::WndProc(message);
        } catch (...) {
            FReleasing = false;
            throw;
        }
        FReleasing = false;
        return;
    case WM_CAPTURECHANGED:
        if (FReleasing || MouseCapture()) break;
        if (FReordering) EndDrag(false);
        FTracking = false;
        break;
    default:
        break;
    }
    TCustomControl::WndProc(message);
    if (message.Msg == WM_SIZE) ClampTopIndex();
}

void TCustomListBox::Scrolled(Word code) {
    const Integer page = VisibleItemCount();
    switch (code) {
    case SB_LINEUP:
        SetTopIndex(FTopIndex - 1);
        break;
    case SB_LINEDOWN:
        SetTopIndex(FTopIndex + 1);
        break;
    case SB_PAGEUP:
        SetTopIndex(FTopIndex - page);
        break;
    case SB_PAGEDOWN:
        SetTopIndex(FTopIndex + page);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        TScrollInfo si;
        si.fMask = SIF_TRACKPOS;
        if (GetScrollInfo(Handle(), SB_VERT, si)) SetTopIndex(si.nTrackPos);
        break;
    }
    case SB_TOP:
        SetTopIndex(0);
        break;
    case SB_BOTTOM:
        SetTopIndex(Count());
        break;
    default:
        break;
    }
}

void TCustomListBox::SelectByUser(Integer index, TShiftState shift) {
    if (index < 0 || index >= Count()) return;
    if (FMultiSelect) {
        if (shift.Contains(ssCtrl)) {
            SetSelected(index, !Selected(index));
            FAnchor = index;
        } else if (shift.Contains(ssShift) && FAnchor >= 0) {
            const Integer from = std::min(FAnchor, index), to = std::max(FAnchor, index);
            for (Integer i = 0; i < Count(); ++i)
                SetSelected(i, i >= from && i <= to);
        } else {
            for (Integer i = 0; i < Count(); ++i)
                SetSelected(i, i == index);
            FAnchor = index;
        }
    }
    SetItemIndex(index);
    Click();
}

void TCustomListBox::KeyDown(Word& key, TShiftState shift) {
    TCustomControl::KeyDown(key, shift);
    if (key == 0) return;
    if (FReordering) {
        if (key == VK_ESCAPE) {
            EndDrag(false);
            FTracking = false;
            SetMouseCapture(false);
            key = 0;
        }
        return;
    }
    if (Count() == 0) return;
    const Integer last = Count() - 1;
    const Integer page = VisibleItemCount();
    const Integer bottom = std::min(last, FTopIndex + page - 1);
    Integer target = FItemIndex;
    switch (key) {
    case VK_UP:
        target = std::max(0, FItemIndex - 1);
        break;
    case VK_DOWN:
        target = std::min(last, FItemIndex + 1);
        break;
    case VK_HOME:
        target = 0;
        break;
    case VK_END:
        target = last;
        break;
    case VK_PRIOR:
        // First to the top of the page, then a page further.
        target = FItemIndex != FTopIndex ? FTopIndex : std::max(0, FItemIndex - (page - 1));
        break;
    case VK_NEXT:
        target = FItemIndex != bottom ? bottom : std::min(last, FItemIndex + (page - 1));
        break;
    default:
        return;
    }
    key = 0;
    if (target == FItemIndex) {
        MakeVisible(target);
        return;
    }
    shift.Exclude(ssCtrl); // Ctrl toggles by mouse only
    if (!shift.Contains(ssShift)) FAnchor = target;
    SelectByUser(target, shift);
}

void TCustomListBox::KeyPress(Char& key) {
    TCustomControl::KeyPress(key);
    if (key <= u' ' || Count() == 0) return;
    const Char wanted = FoldCase(key);
    key = 0;
    for (Integer step = 1; step <= Count(); ++step) {
        const Integer i = (FItemIndex + step + Count()) % Count();
        const String& text = FEntries[static_cast<size_t>(i)].Text;
        if (text.empty() || FoldCase(text[0]) != wanted) continue;
        if (i != FItemIndex) {
            FAnchor = i;
            SelectByUser(i, {});
        }
        return;
    }
}

void TCustomListBox::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
    if (button == mbLeft) {
        if (CanFocus() && !Focused()) SetFocus();
        const Integer index = ItemAtPos({x, y}, true);
        if (index >= 0) {
            FTracking = true;
            FDragOrigin = index;
            FPressPoint = {x, y};
            SelectByUser(index, shift);
        }
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomListBox::MouseMove(TShiftState shift, Integer x, Integer y) {
    TCustomControl::MouseMove(shift, x, y);
    if (!FTracking || Count() == 0) return;
    if (FDragReorder) {
        if (!FReordering && std::abs(x - FPressPoint.X) < kDragThreshold &&
            std::abs(y - FPressPoint.Y) < kDragThreshold)
            return;
        if (!FReordering) {
            FReordering = true;
            FSavedCursor = Screen->Cursor();
        }
        UpdateDrag({x, y});
        return;
    }
    if (FMultiSelect) return;
    // The current item follows the pressed mouse, also beyond the edges (which scrolls).
    const Integer row = y < 0 ? -1 : y / ItemHeight();
    const Integer index = std::clamp(FTopIndex + row, 0, Count() - 1);
    if (index != FItemIndex) SelectByUser(index, {});
}

void TCustomListBox::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
    if (button == mbLeft && FTracking) {
        FTracking = false;
        if (FReordering) {
            UpdateDrag({x, y});
            EndDrag(true);
        }
    }
    TCustomControl::MouseUp(button, shift, x, y);
}

bool TCustomListBox::DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) {
    bool handled = false;
    if (OnMouseWheel) OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
    if (handled) return true;
    // Fine-grained wheels send parts of a notch; rows move once a whole notch is reached.
    FWheelDelta += wheelDelta;
    const Integer notches = FWheelDelta / WHEEL_DELTA;
    FWheelDelta -= notches * WHEEL_DELTA;
    SetTopIndex(FTopIndex - notches * kWheelRows);
    return true;
}

void TCustomListBox::DoExit() {
    if (FReordering) EndDrag(false);
    FTracking = false;
    TCustomControl::DoExit();
}

// [SECTION] Dragging items
void TCustomListBox::SetDragReorder(bool value) {
    if (value == FDragReorder) return;
    if (!value && FReordering) EndDrag(false);
    FDragReorder = value;
}

void TCustomListBox::UpdateDrag(TPoint mouse) {
    FLastMouse = mouse;
    const Integer scroll = mouse.Y < 0 ? -1 : mouse.Y >= ClientHeight() ? 1 : 0;
    if (scroll != FAutoScroll) {
        FAutoScroll = scroll;
        if (scroll != 0)
            SetTimer(Handle(), kAutoScrollTimer, kAutoScrollInterval);
        else
            KillTimer(Handle(), kAutoScrollTimer);
    }
    Integer target = -1;
    if (mouse.X >= 0 && mouse.X < ClientWidth() && Count() > 0) {
        const Integer y = std::clamp(mouse.Y, 0, std::max(ClientHeight() - 1, 0));
        target = std::min(FTopIndex + y / ItemHeight(), Count() - 1);
        if (target == FDragOrigin || !CanReorder(FDragOrigin, target)) target = -1;
    }
    Screen->SetCursor(target >= 0 ? crDrag : crNoDrop);
    if (target == FDropTarget) return;
    FDropTarget = target;
    Invalidate();
}

void TCustomListBox::AutoScrollTick() {
    if (!FReordering || FAutoScroll == 0) {
        KillTimer(Handle(), kAutoScrollTimer);
        return;
    }
    SetTopIndex(FTopIndex + FAutoScroll);
    UpdateDrag(FLastMouse);
}

void TCustomListBox::EndDrag(bool drop) {
    const Integer origin = FDragOrigin, target = FDropTarget;
    if (HandleAllocated()) KillTimer(Handle(), kAutoScrollTimer);
    FReordering = false;
    FAutoScroll = 0;
    FDropTarget = -1;
    Screen->SetCursor(FSavedCursor);
    Invalidate();
    if (drop && target >= 0) Reorder(origin, target);
}

bool TCustomListBox::CanReorder(Integer fromIndex, Integer toIndex) {
    bool accept = true;
    if (OnReorderQuery) OnReorderQuery(this, fromIndex, toIndex, accept);
    return accept;
}

void TCustomListBox::Reorder(Integer fromIndex, Integer toIndex) {
    bool accept = true;
    if (OnReorder) OnReorder(this, fromIndex, toIndex, accept);
    if (!accept) return;
    FItems->Move(fromIndex, toIndex);
    SetItemIndex(toIndex);
}

} // namespace mv
