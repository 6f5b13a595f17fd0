// The open popup menu: TMenuWindow (one level's rows, their layout and painting) and the
// tracking half of TPopupMenu (Popup, mouse and keys while open, submenus, closing).
//
// [SECTION] TMenuWindow: Build, PlaceAt, RowAt, Select, Paint
// [SECTION] TPopupMenu: Popup, OpenSubmenu, CloseSubmenus, ChooseItem, FinishTracking
// [SECTION] TPopupMenu: MouseMessage, KeyMessage, ItemsChanged
//
// While a menu is open its first window holds the mouse capture, so every mouse message
// of the application comes to it, and the window manager hands the keys to the menu's
// utility window (KeyboardGrab) instead of the focused control, which keeps the focus.
// Closed windows are hidden at once and freed from a posted message: the close often runs
// inside one of their own handlers.
#include "platform/vcl/MenusPrivate.h"

#include "platform/vcl/ControlsPrivate.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StyleServices.h"

#include <algorithm>
#include <cassert>

namespace mv {

namespace {

// Row geometry in pixels at the default font; the row height follows the font.
constexpr Integer BorderWidth = 1;
constexpr Integer VerticalPadding = 2;
constexpr Integer CheckAreaWidth = 24;
constexpr Integer TextGap = 4;
constexpr Integer ShortCutGap = 24;
constexpr Integer ArrowAreaWidth = 20;
constexpr Integer SeparatorHeight = 7;
constexpr Integer MinimumWidth = 120;

TColor Sys(TColor color) {
    return StyleServices().GetSystemColor(color);
}

bool HasVisibleChildren(const TMenuItem* item) {
    for (Integer i = 0; i < item->Count(); ++i)
        if (item->Items(i)->Visible()) return true;
    return false;
}

void DrawCheckMark(TCanvas* canvas, const TRect& area, bool radio, TColor color) {
    const Integer cx = (area.Left + area.Right) / 2;
    const Integer cy = (area.Top + area.Bottom) / 2;
    if (radio) {
        canvas->Brush()->SetColor(color);
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Pen()->SetColor(color);
        canvas->Pen()->SetWidth(1);
        canvas->Ellipse(cx - 3, cy - 3, cx + 4, cy + 4);
        return;
    }
    canvas->Pen()->SetColor(color);
    canvas->Pen()->SetWidth(2);
    const TPoint tick[] = {{cx - 5, cy}, {cx - 2, cy + 3}, {cx + 4, cy - 4}};
    canvas->Polyline(tick);
    canvas->Pen()->SetWidth(1);
}

void DrawSubmenuArrow(TCanvas* canvas, const TRect& row, TColor color) {
    const Integer x = row.Right - 12;
    const Integer cy = (row.Top + row.Bottom) / 2;
    canvas->Brush()->SetColor(color);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Pen()->SetColor(color);
    canvas->Pen()->SetWidth(1);
    const TPoint arrow[] = {{x, cy - 4}, {x + 4, cy}, {x, cy + 4}};
    canvas->Polygon(arrow);
}

} // namespace

// [SECTION] TMenuWindow
TMenuWindow::TMenuWindow(TPopupMenu* menu, TMenuItem* parentItem)
    : TCustomControl(nullptr), FMenu(menu), FParentItem(parentItem) {
    assert(menu && parentItem && "a menu window shows the children of an item of a menu");
    SetVisible(false);
    SetColor(clMenu);
}

TMenuWindow::~TMenuWindow() = default;

void TMenuWindow::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.HostKind = hwPopup;
}

void TMenuWindow::Build() {
    const TMenuItem* selected = FSelected >= 0 ? Row(FSelected) : nullptr;
    FRows.clear();
    TCanvas measure;
    measure.SetFont(Font());
    const Integer rowHeight = std::max(measure.TextHeight(u"Wg") + 6, 20);
    Integer captionWidth = 0, shortCutWidth = 0;
    Integer y = BorderWidth + VerticalPadding;
    for (Integer i = 0; i < FParentItem->Count(); ++i) {
        TMenuItem* item = FParentItem->Items(i);
        if (!item->Visible()) continue;
        const Integer h = item->IsLine() ? SeparatorHeight : rowHeight;
        FRows.push_back({item, Rect(BorderWidth, y, 0, y + h)});
        y += h;
        if (item->IsLine()) continue;
        TFontStyles style = Font()->Style();
        if (item->Default()) style.Include(fsBold);
        measure.Font()->SetStyle(style);
        TRect r = Rect(0, 0, 0, 0);
        measure.DrawText(item->Caption(), r, DT_CALCRECT | DT_SINGLELINE);
        captionWidth = std::max(captionWidth, r.Width());
        if (item->ShortCut() != scNone)
            shortCutWidth = std::max(shortCutWidth, measure.TextWidth(ShortCutToText(item->ShortCut())));
    }
    FTextLeft = BorderWidth + CheckAreaWidth + TextGap;
    FShortCutLeft = FTextLeft + captionWidth + ShortCutGap;
    Integer width = FTextLeft + captionWidth + ArrowAreaWidth + BorderWidth;
    if (shortCutWidth > 0) width += ShortCutGap + shortCutWidth;
    width = std::max(width, MinimumWidth);
    for (TRow& row : FRows)
        row.Rect.Right = width - BorderWidth;
    FSelected = selected ? RowOf(selected) : -1;
    if (FSelected >= 0 && !IsSelectable(FSelected)) FSelected = -1;
    SetBounds(Left(), Top(), width, y + VerticalPadding + BorderWidth);
    Invalidate();
}

void TMenuWindow::PlaceAt(TPoint p, Integer flipX, Integer flipY) {
    const TRect work = Screen->WorkAreaRect();
    Integer x = p.X, y = p.Y;
    if (x + Width() > work.Right) x = flipX - Width();
    if (y + Height() > work.Bottom) y = flipY - Height();
    x = std::max(work.Left, std::min(x, work.Right - Width()));
    y = std::max(work.Top, std::min(y, work.Bottom - Height()));
    SetBounds(x, y, Width(), Height());
}

Integer TMenuWindow::RowAt(TPoint p) const {
    for (size_t i = 0; i < FRows.size(); ++i)
        if (FRows[i].Rect.Contains(p)) return static_cast<Integer>(i);
    return -1;
}

Integer TMenuWindow::RowOf(const TMenuItem* item) const {
    for (size_t i = 0; i < FRows.size(); ++i)
        if (FRows[i].Item == item) return static_cast<Integer>(i);
    return -1;
}

bool TMenuWindow::IsSelectable(Integer index) const {
    if (index < 0 || index >= RowCount()) return false;
    const TMenuItem* item = Row(index);
    return !item->IsLine() && item->Enabled();
}

Integer TMenuWindow::NextSelectable(Integer from, Integer step) const {
    const Integer n = RowCount();
    if (n == 0) return -1;
    Integer i = from;
    for (Integer tries = 0; tries < n; ++tries) {
        i += step;
        if (i < 0) i = n - 1;
        if (i >= n) i = 0;
        if (IsSelectable(i)) return i;
    }
    return -1;
}

void TMenuWindow::Select(Integer index) {
    if (!IsSelectable(index)) index = -1;
    if (index == FSelected) return;
    const Integer old = FSelected;
    FSelected = index;
    if (old >= 0) {
        const TRect r = RowRect(old);
        InvalidateRect(&r);
    }
    if (index >= 0) {
        const TRect r = RowRect(index);
        InvalidateRect(&r);
    }
}

void TMenuWindow::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        FMenu->MouseMessage(this, message);
        return;
    case WM_CAPTURECHANGED:
        // Someone else took the mouse: the menu cannot track any more.
        if (!FMenu->FClosing && FMenu->Window() == this) FMenu->CloseMenu();
        return;
    default:
        TCustomControl::WndProc(message);
    }
}

void TMenuWindow::Paint() {
    TCanvas* canvas = Canvas();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Sys(clMenu));
    canvas->FillRect(ClientRect());
    canvas->Brush()->SetColor(Sys(clBtnShadow));
    canvas->FrameRect(ClientRect());
    for (Integer i = 0; i < RowCount(); ++i)
        PaintRow(i);
}

void TMenuWindow::PaintRow(Integer index) {
    TCanvas* canvas = Canvas();
    const TMenuItem* item = Row(index);
    TRect r = RowRect(index);
    if (item->IsLine()) {
        const Integer y = (r.Top + r.Bottom) / 2 - 1;
        canvas->Pen()->SetWidth(1);
        canvas->Pen()->SetColor(Sys(clBtnShadow));
        canvas->MoveTo(r.Left + FTextLeft - TextGap, y);
        canvas->LineTo(r.Right - 4, y);
        canvas->Pen()->SetColor(Sys(clBtnHighlight));
        canvas->MoveTo(r.Left + FTextLeft - TextGap, y + 1);
        canvas->LineTo(r.Right - 4, y + 1);
        return;
    }
    const bool selected = index == FSelected;
    TColor text = item->Enabled() ? Sys(clMenuText) : Sys(clGrayText);
    if (selected) {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(Sys(clMenuHighlight));
        canvas->FillRect(Rect(r.Left + 2, r.Top, r.Right - 2, r.Bottom));
        text = Sys(clHighlightText);
    }
    if (item->Checked())
        DrawCheckMark(canvas, Rect(r.Left + 2, r.Top, r.Left + CheckAreaWidth, r.Bottom), item->RadioItem(),
                      text);
    canvas->Font()->Assign(Font());
    if (item->Default()) canvas->Font()->SetStyle(canvas->Font()->Style() + fsBold);
    canvas->Font()->SetColor(text);
    canvas->Brush()->SetStyle(bsClear);
    TRect textRect = Rect(FTextLeft, r.Top, r.Right, r.Bottom);
    canvas->DrawText(item->Caption(), textRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    if (item->ShortCut() != scNone) {
        TRect keyRect = Rect(FShortCutLeft, r.Top, r.Right, r.Bottom);
        canvas->DrawText(ShortCutToText(item->ShortCut()), keyRect,
                         DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
    }
    if (HasVisibleChildren(item)) DrawSubmenuArrow(canvas, r, text);
}

// [SECTION] TPopupMenu: opening and closing
void TPopupMenu::Popup(Integer x, Integer y) {
    if (IsOpen()) CloseMenu();
    FPopupPoint = {x, y};
    DoPopup(this);
    Application->CancelHint();
    auto* window = new TMenuWindow(this, FItems);
    window->Build();
    if (window->RowCount() == 0) {
        delete window;
        return;
    }
    Integer left = x;
    if (FAlignment == paRight) left = x - window->Width();
    if (FAlignment == paCenter) left = x - window->Width() / 2;
    window->PlaceAt({left, y}, x, y);
    FWindows.push_back(window);
    FPressedInside = false;
    FSwallowKey = 0;
    window->Show();
    SetCaptureControl(window);
    TWindowManager::Get().KeyboardGrab = FUtility;
}

void TPopupMenu::OpenSubmenu(TMenuWindow* from, Integer index, bool selectFirst) {
    TMenuItem* item = from->Row(index);
    const auto level = std::find(FWindows.begin(), FWindows.end(), from);
    if (level == FWindows.end() || !item->Enabled() || !HasVisibleChildren(item)) return;
    if (level + 1 != FWindows.end() && (*(level + 1))->ParentItem() == item) {
        TMenuWindow* open = *(level + 1);
        CloseSubmenus(open);
        if (selectFirst && open->Selected() < 0) open->Select(open->NextSelectable(-1, 1));
        return;
    }
    CloseSubmenus(from);
    auto* sub = new TMenuWindow(this, item);
    sub->Build();
    const TRect row = from->RowRect(index);
    const TPoint rowTopLeft = from->ClientToScreen({0, row.Top});
    const TPoint rowBottom = from->ClientToScreen({0, row.Bottom});
    sub->PlaceAt({from->Left() + from->Width() - 3, rowTopLeft.Y - BorderWidth - VerticalPadding},
                 from->Left() + 3, rowBottom.Y + BorderWidth + VerticalPadding);
    FWindows.push_back(sub);
    sub->Show();
    if (selectFirst) sub->Select(sub->NextSelectable(-1, 1));
}

void TPopupMenu::CloseSubmenus(TMenuWindow* keep) {
    bool closed = false;
    while (!FWindows.empty() && FWindows.back() != keep) {
        TMenuWindow* window = FWindows.back();
        FWindows.pop_back();
        window->Hide();
        FDisposed.push_back(window);
        closed = true;
    }
    if (closed) PostMessage(FUtility, CM_RELEASE, 0, 0);
}

void TPopupMenu::ChooseItem(TMenuItem* item, Word key) {
    FinishTracking(key != 0, key);
    PostMessage(FUtility, WM_COMMAND, item->Command(), 0);
}

void TPopupMenu::CloseMenu() {
    FinishTracking(false, 0);
}

void TPopupMenu::FinishTracking(bool swallowKey, Word key) {
    if (FWindows.empty()) return;
    FClosing = true;
    TMenuWindow* first = FWindows.front();
    CloseSubmenus(nullptr);
    if (GetCaptureControl() == first) SetCaptureControl(nullptr);
    FClosing = false;
    TWindowManager& wm = TWindowManager::Get();
    FSwallowKey = swallowKey ? key : 0;
    // The key that closed the menu keeps the grab until its character and release are
    // eaten; they must not reach the focused control.
    if (!swallowKey && wm.KeyboardGrab == FUtility) wm.KeyboardGrab = 0;
}

void TPopupMenu::ReleaseWindows() {
    std::vector<TMenuWindow*> doomed;
    doomed.swap(FDisposed);
    for (TMenuWindow* window : doomed)
        delete window;
}

void TPopupMenu::ItemsChanged() {
    if (FWindows.empty() || FClosing) return;
    for (size_t i = 0; i < FWindows.size(); ++i) {
        TMenuWindow* window = FWindows[i];
        const TMenuItem* parent = window->ParentItem();
        // A level whose item left the menu (or was hidden) closes with the levels below it.
        if (parent->GetParentMenu() != this || (i > 0 && (!parent->Visible() || !parent->Enabled()))) {
            if (i == 0)
                CloseMenu();
            else
                CloseSubmenus(FWindows[i - 1]);
            return;
        }
        window->Build();
        if (window->RowCount() == 0) {
            if (i == 0)
                CloseMenu();
            else
                CloseSubmenus(FWindows[i - 1]);
            return;
        }
    }
}

// [SECTION] TPopupMenu: input while open
void TPopupMenu::MouseMessage(TMenuWindow* window, TMessage& message) {
    if (FWindows.empty()) return;
    const TPoint screen = window->ClientToScreen({LParamX(message.LParam), LParamY(message.LParam)});
    TMenuWindow* hit = nullptr;
    for (auto it = FWindows.rbegin(); it != FWindows.rend(); ++it)
        if ((*it)->BoundsRect().Contains(screen)) {
            hit = *it;
            break;
        }
    const Integer row = hit ? hit->RowAt(hit->ScreenToClient(screen)) : -1;
    switch (message.Msg) {
    case WM_MOUSEMOVE:
        if (!hit) return;
        FPressedInside = true;
        hit->Select(row);
        if (hit->Selected() >= 0 && HasVisibleChildren(hit->Row(row)))
            OpenSubmenu(hit, row, false);
        else
            CloseSubmenus(hit);
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        if (!hit) {
            CloseMenu(); // a click outside closes without running anything
            return;
        }
        FPressedInside = true;
        if (row >= 0 && hit->IsSelectable(row) && HasVisibleChildren(hit->Row(row))) {
            hit->Select(row);
            OpenSubmenu(hit, row, false);
        }
        return;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        // A release that ends the gesture that opened the menu chooses nothing.
        if (!hit || !FPressedInside || !hit->IsSelectable(row)) return;
        if (HasVisibleChildren(hit->Row(row))) return;
        ChooseItem(hit->Row(row), 0);
        return;
    default:
        return;
    }
}

void TPopupMenu::KeyMessage(TMessage& message) {
    TWindowManager& wm = TWindowManager::Get();
    const UINT msg = message.Msg;
    const bool keyDown = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
    const bool keyUp = msg == WM_KEYUP || msg == WM_SYSKEYUP;
    message.Result = 0;
    if (FWindows.empty()) {
        if (FSwallowKey && !keyDown) {
            message.Result = 1;
            if (keyUp && message.WParam == FSwallowKey) FSwallowKey = 0;
            if (FSwallowKey) return;
        }
        FSwallowKey = 0;
        if (wm.KeyboardGrab == FUtility) wm.KeyboardGrab = 0;
        return;
    }
    message.Result = 1; // the menu eats every key while open
    if (!keyDown) return;
    const Word key = static_cast<Word>(message.WParam);
    TMenuWindow* window = FWindows.back();
    const Integer selected = window->Selected();
    switch (key) {
    case VK_DOWN:
    case VK_UP: {
        const Integer next = window->NextSelectable(selected, key == VK_DOWN ? 1 : -1);
        if (next >= 0) window->Select(next);
        return;
    }
    case VK_HOME:
        window->Select(window->NextSelectable(-1, 1));
        return;
    case VK_END:
        window->Select(window->NextSelectable(window->RowCount(), -1));
        return;
    case VK_RIGHT:
        if (selected >= 0) OpenSubmenu(window, selected, true);
        return;
    case VK_LEFT:
        if (FWindows.size() > 1) CloseSubmenus(FWindows[FWindows.size() - 2]);
        return;
    case VK_ESCAPE:
        if (FWindows.size() > 1)
            CloseSubmenus(FWindows[FWindows.size() - 2]);
        else
            FinishTracking(true, key);
        return;
    case VK_MENU:
    case VK_F10:
        FinishTracking(true, key);
        return;
    case VK_RETURN:
    case VK_SPACE:
        if (selected < 0) return;
        if (HasVisibleChildren(window->Row(selected)))
            OpenSubmenu(window, selected, true);
        else
            ChooseItem(window->Row(selected), key);
        return;
    default:
        break;
    }
    // An accelerator: the only enabled row with this letter runs; with several, each press
    // moves to the next of them.
    if (!((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))) return;
    std::vector<Integer> matches;
    for (Integer i = 0; i < window->RowCount(); ++i)
        if (window->IsSelectable(i) && GetHotkey(window->Row(i)->Caption()) == static_cast<Char>(key))
            matches.push_back(i);
    if (matches.empty()) return;
    if (matches.size() > 1) {
        auto next = std::upper_bound(matches.begin(), matches.end(), selected);
        window->Select(next == matches.end() ? matches.front() : *next);
        return;
    }
    window->Select(matches.front());
    if (HasVisibleChildren(window->Row(matches.front())))
        OpenSubmenu(window, matches.front(), true);
    else
        ChooseItem(window->Row(matches.front()), key);
}

} // namespace mv
