// TMenuItem, the shortcut helpers and the parts of TPopupMenu that do not track an open
// menu (MenuWindow.cpp has those). Overview in Menus.h.
#include "platform/vcl/Menus.h"

#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"
#include "platform/vcl/MenusPrivate.h"

#include <algorithm>

namespace mv {

namespace MenusConsts {
String SMenuIndexError = u"Menu index %d out of range (0..%d)";
String SMenuReinserted = u"Menu item '%s' cannot be inserted into itself or its own child";
String SMenuNotFound = u"Menu item '%s' is not a child of '%s'";
String SNoMenuItem = u"Cannot insert a null menu item";
} // namespace MenusConsts

namespace {

Word NextCommand() {
    static Word last = 0;
    if (++last == 0) last = 1; // 0 means "no command"
    return last;
}

String KeyName(Word key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return String(1, static_cast<Char>(key));
    if (key >= VK_F1 && key <= VK_F1 + 23) return u"F" + IntToStr(key - VK_F1 + 1);
    switch (key) {
    case VK_BACK:
        return u"BkSp";
    case VK_TAB:
        return u"Tab";
    case VK_RETURN:
        return u"Enter";
    case VK_ESCAPE:
        return u"Esc";
    case VK_SPACE:
        return u"Space";
    case VK_PRIOR:
        return u"PgUp";
    case VK_NEXT:
        return u"PgDn";
    case VK_END:
        return u"End";
    case VK_HOME:
        return u"Home";
    case VK_LEFT:
        return u"Left";
    case VK_UP:
        return u"Up";
    case VK_RIGHT:
        return u"Right";
    case VK_DOWN:
        return u"Down";
    case VK_INSERT:
        return u"Ins";
    case VK_DELETE:
        return u"Del";
    default:
        return {};
    }
}

} // namespace

// [SECTION] Shortcuts and captions
TShortCut ShortCut(Word key, TShiftState shift) {
    if (key & 0xFF00) return scNone;
    TShortCut result = key;
    if (shift.Contains(ssShift)) result |= scShift;
    if (shift.Contains(ssCtrl)) result |= scCtrl;
    if (shift.Contains(ssAlt)) result |= scAlt;
    return result;
}

String ShortCutToText(TShortCut shortCut) {
    const String name = KeyName(static_cast<Word>(shortCut & 0xFF));
    if (name.empty()) return {};
    String result;
    if (shortCut & scShift) result += u"Shift+";
    if (shortCut & scCtrl) result += u"Ctrl+";
    if (shortCut & scAlt) result += u"Alt+";
    return result + name;
}

Char GetHotkey(const String& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&') continue;
        if (caption[i + 1] == u'&') {
            ++i; // "&&" is a literal ampersand
            continue;
        }
        return CharUpper(caption[i + 1]);
    }
    return 0;
}

String StripHotkey(const String& caption) {
    String result;
    result.reserve(caption.size());
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&') {
            if (i + 1 == caption.size()) break;
            ++i; // "&x" shows x, "&&" shows one "&"
        }
        result += caption[i];
    }
    return result;
}

// [SECTION] TMenuItem
TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), FCommand(NextCommand()) {}

TMenuItem::~TMenuItem() {
    // An open menu may be showing this item or its children: close it before they go.
    if (TPopupMenu* menu = GetParentMenu(); menu && menu->IsOpen()) menu->CloseMenu();
    Clear();
    if (FParent) FParent->Remove(this);
}

void TMenuItem::Changed() {
    if (TPopupMenu* menu = GetParentMenu()) menu->ItemsChanged();
}

void TMenuItem::SetCaption(const String& value) {
    if (value == FCaption) return;
    FCaption = value;
    Changed();
}

void TMenuItem::SetChecked(bool value) {
    if (value == FChecked) return;
    FChecked = value;
    if (value && FRadioItem && FParent)
        for (TMenuItem* sibling : FParent->FItems)
            if (sibling != this && sibling->FRadioItem && sibling->FGroupIndex == FGroupIndex)
                sibling->FChecked = false;
    Changed();
}

void TMenuItem::SetVisible(bool value) {
    if (value == FVisible) return;
    FVisible = value;
    Changed();
}

void TMenuItem::SetEnabled(bool value) {
    if (value == FEnabled) return;
    FEnabled = value;
    Changed();
}

void TMenuItem::SetDefault(bool value) {
    if (value == FDefault) return;
    // One default item per level, as the framework's menus have.
    if (value && FParent)
        for (TMenuItem* sibling : FParent->FItems)
            sibling->FDefault = false;
    FDefault = value;
    Changed();
}

TMenuItem* TMenuItem::Items(Integer index) const {
    if (index < 0 || index >= Count())
        throw EMenuError(Format(MenusConsts::SMenuIndexError, {index, Count() - 1}));
    return FItems[static_cast<size_t>(index)];
}

void TMenuItem::Insert(Integer index, TMenuItem* item) {
    if (!item) throw EMenuError(MenusConsts::SNoMenuItem);
    for (const TMenuItem* p = this; p; p = p->FParent)
        if (p == item) throw EMenuError(Format(MenusConsts::SMenuReinserted, {item->FCaption}));
    // A child that moves within this item ends at index, so the last place is one less.
    const Integer last = item->FParent == this ? Count() - 1 : Count();
    if (index < 0 || index > last) throw EMenuError(Format(MenusConsts::SMenuIndexError, {index, last}));
    if (item->FParent) {
        auto& siblings = item->FParent->FItems;
        siblings.erase(std::find(siblings.begin(), siblings.end(), item));
        item->FParent->Changed();
    }
    FItems.insert(FItems.begin() + index, item);
    item->FParent = this;
    Changed();
}

void TMenuItem::Delete(Integer index) {
    TMenuItem* item = Items(index);
    FItems.erase(FItems.begin() + index);
    item->FParent = nullptr;
    Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
    const Integer index = IndexOf(item);
    if (index < 0)
        throw EMenuError(
            Format(MenusConsts::SMenuNotFound, {item ? item->FCaption : String(u"(null)"), FCaption}));
    Delete(index);
}

void TMenuItem::Clear() {
    while (!FItems.empty())
        delete FItems.back(); // the child's destructor takes it out of FItems
}

Integer TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : static_cast<Integer>(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(const String& caption) const {
    const String wanted = StripHotkey(caption);
    for (TMenuItem* item : FItems)
        if (StripHotkey(item->FCaption) == wanted) return item;
    return nullptr;
}

TPopupMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* root = this;
    while (root->FParent)
        root = root->FParent;
    return root->FMenu;
}

void TMenuItem::Click() {
    if (!FEnabled) return;
    if (FAutoCheck) SetChecked(!FChecked);
    if (OnClick) OnClick(this);
}

// [SECTION] TPopupMenu (not tracking)
TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner), FItems(new TMenuItem(nullptr)) {
    FItems->FMenu = this;
    FUtility = AllocateHWnd([this](TMessage& message) {
        if (message.Msg == WM_COMMAND) {
            // The click chosen in the menu, posted so that it runs after the menu closed.
            if (TMenuItem* item = FindItem(static_cast<Word>(message.WParam))) item->Click();
            return;
        }
        if (message.Msg == CM_RELEASE) {
            ReleaseWindows();
            return;
        }
        if (message.Msg >= WM_KEYFIRST && message.Msg <= WM_KEYLAST) KeyMessage(message);
    });
}

TPopupMenu::~TPopupMenu() {
    CloseMenu();
    ReleaseWindows();
    DeallocateHWnd(FUtility);
    FItems->FMenu = nullptr;
    delete FItems;
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == FPopupComponent) FPopupComponent = nullptr;
}

void TPopupMenu::SetPopupComponent(TComponent* value) {
    if (value == FPopupComponent) return;
    if (FPopupComponent) FPopupComponent->RemoveFreeNotification(this);
    FPopupComponent = value;
    if (value) value->FreeNotification(this);
}

void TPopupMenu::DoPopup(TObject* sender) {
    if (OnPopup) OnPopup(sender);
}

TMenuItem* TPopupMenu::FindItem(Word command) const {
    if (command == 0) return nullptr;
    std::vector<TMenuItem*> pending{FItems};
    while (!pending.empty()) {
        TMenuItem* item = pending.back();
        pending.pop_back();
        if (item->FCommand == command) return item;
        pending.insert(pending.end(), item->FItems.begin(), item->FItems.end());
    }
    return nullptr;
}

bool TPopupMenu::IsShortCut(Word key, TShiftState shift) {
    const TShortCut wanted = ShortCut(key, shift * TShiftState{ssShift, ssCtrl, ssAlt});
    if (wanted == scNone) return false;
    std::vector<TMenuItem*> pending(FItems->FItems.rbegin(), FItems->FItems.rend());
    while (!pending.empty()) {
        TMenuItem* item = pending.back();
        pending.pop_back();
        if (!item->FVisible || !item->FEnabled) continue;
        if (item->FShortCut == wanted && item->FItems.empty()) {
            item->Click();
            return true;
        }
        pending.insert(pending.end(), item->FItems.rbegin(), item->FItems.rend());
    }
    return false;
}

} // namespace mv
