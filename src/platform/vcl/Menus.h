// Popup menus: TMenuItem (a caption with an "&" accelerator, or "-" for a separator, with
// check marks, enabled and visible states, a shortcut and child items) and TPopupMenu,
// which shows its items in a borderless popup window at a screen point.
//
// Call flow of an open menu (MenuWindow.cpp): Popup -> OnPopup -> the menu window is shown
// and takes the mouse capture and the keys (without taking the keyboard focus from the
// control that has it) -> arrows, letters and the mouse pick an item -> the menu closes
// -> the item's OnClick runs from a posted message, after Popup's caller got control back.
// A click outside the menu or Esc closes it without running anything.
#pragma once

#include "platform/rtl/Component.h"
#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Controls.h"

#include <vector>

namespace mv {

class TPopupMenu;
class TMenuWindow; // MenusPrivate.h

class EMenuError : public Exception {
public:
    using Exception::Exception;
};

// A key with modifiers: the virtual-key code in the low byte plus scShift, scCtrl, scAlt.
using TShortCut = Word;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;
TShortCut ShortCut(Word key, TShiftState shift);
// "Ctrl+C", "Shift+F3", "Del"; empty for scNone.
String ShortCutToText(TShortCut shortCut);
// The accelerator of a caption: the character after a single "&", upper-cased; 0 when none.
Char GetHotkey(const String& caption);
// The caption without "&" markers ("&&" gives "&").
String StripHotkey(const String& caption);

class TMenuItem : public TComponent {
    MV_CLASS(TMenuItem, TComponent);
    // Published: AutoCheck, Caption, Checked, Default, Enabled, GroupIndex, Hint,
    // RadioItem, ShortCut, Visible.
    static void RegisterProperties(TPropertyRegistrar<TMenuItem>& r);

    explicit TMenuItem(TComponent* owner);
    // Frees the child items and takes the item out of its parent.
    ~TMenuItem() override;

    // "-" makes the item a separator line.
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& value);
    bool IsLine() const { return FCaption == u"-"; }
    // Checking a radio item unchecks the other radio items of its GroupIndex among its siblings.
    bool Checked() const { return FChecked; }
    void SetChecked(bool value);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool value) { FRadioItem = value; }
    Byte GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(Byte value) { FGroupIndex = value; }
    // A click toggles Checked before OnClick runs.
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool value) { FAutoCheck = value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    // Drawn in bold; the item a double click on the owner would run.
    bool Default() const { return FDefault; }
    void SetDefault(bool value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut value) { FShortCut = value; }
    const String& Hint() const { return FHint; }
    void SetHint(const String& value) { FHint = value; }
    // A number that identifies the item among all items of the process (the posted click
    // names the item by it, so an item freed meanwhile is simply not found).
    Word Command() const { return FCommand; }

    // --- children ----------------------------------------------------------------------
    Integer Count() const { return static_cast<Integer>(FItems.size()); }
    // EMenuError for an index outside [0, Count).
    TMenuItem* Items(Integer index) const;
    TMenuItem* operator[](Integer index) const { return Items(index); }
    // Takes item from its present parent (a child of this item moves to index, its place
    // afterwards). EMenuError for a null item, an item that is this one or one of its
    // ancestors, or an index outside [0, Count] ([0, Count - 1] for a move).
    void Add(TMenuItem* item) { Insert(Count(), item); }
    void Insert(Integer index, TMenuItem* item);
    // Takes the child out without freeing it (the caller owns it then).
    void Delete(Integer index);
    void Remove(TMenuItem* item);
    // Frees all children.
    void Clear();
    Integer IndexOf(const TMenuItem* item) const;
    TMenuItem* Parent() const { return FParent; }
    // Streaming: the parent item, or the menu for a first-level item; an item read into
    // a menu or an item is added to it.
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* value) override;
    void GetChildren(const TGetChildProc& proc, TComponent* root) override;
    Integer MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }
    // The child whose caption (without "&") equals caption, or null.
    TMenuItem* Find(const String& caption) const;
    // The menu whose tree holds this item, or null.
    TPopupMenu* GetParentMenu() const;

    // AutoCheck, then OnClick. Does nothing for a disabled item.
    virtual void Click();

    TNotifyEvent OnClick;

private:
    friend class TPopupMenu;
    void Changed();

    String FCaption;
    String FHint;
    bool FChecked = false;
    bool FRadioItem = false;
    bool FAutoCheck = false;
    bool FVisible = true;
    bool FEnabled = true;
    bool FDefault = false;
    Byte FGroupIndex = 0;
    TShortCut FShortCut = scNone;
    Word FCommand = 0;
    TMenuItem* FParent = nullptr;
    TPopupMenu* FMenu = nullptr; // set on a menu's root item only
    std::vector<TMenuItem*> FItems;
};

enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TComponent {
    MV_CLASS(TPopupMenu, TComponent);
    // Published: Alignment, AutoPopup.
    static void RegisterProperties(TPropertyRegistrar<TPopupMenu>& r);

    explicit TPopupMenu(TComponent* owner);
    ~TPopupMenu() override;

    // Streaming: the items are written inside the menu, sub-items inside their item.
    void GetChildren(const TGetChildProc& proc, TComponent* root) override;

    // The root item; its children are the menu's items.
    TMenuItem* Items() const { return FItems; }
    // Where Popup's point lies on the menu: its left edge, right edge or centre.
    TPopupAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TPopupAlignment value) { FAlignment = value; }
    // A right click on a control whose PopupMenu is this menu opens it (WM_CONTEXTMENU).
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool value) { FAutoPopup = value; }
    // The control that opened the menu by a right click (set before Popup).
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* value);
    TPoint PopupPoint() const { return FPopupPoint; }

    // Fires OnPopup, then shows the visible items at the screen point (x, y), moved or
    // flipped to stay inside the screen's work area. Returns at once: the menu runs from
    // the message loop. A menu without visible items shows nothing. Needs a host.
    virtual void Popup(Integer x, Integer y);
    // Closes the menu without running an item (nothing when it is closed).
    void CloseMenu();
    bool IsOpen() const { return !FWindows.empty(); }
    // The window of the open menu (its first level), or null; see MenusPrivate.h.
    TMenuWindow* Window() const { return FWindows.empty() ? nullptr : FWindows.front(); }

    // Runs the enabled, visible item (at any depth) whose ShortCut is (key, shift); true
    // when one ran (its OnClick runs at once).
    bool IsShortCut(Word key, TShiftState shift);
    // The item with this Command at any depth, or null.
    TMenuItem* FindItem(Word command) const;

    TNotifyEvent OnPopup;

protected:
    void Notification(TComponent* component, TOperation operation) override;
    // Fires OnPopup (the handler may change the items before they show).
    virtual void DoPopup(TObject* sender);

private:
    friend class TMenuWindow;
    friend class TMenuItem;

    // MenuWindow.cpp: the tracking of the open menu.
    void OpenSubmenu(TMenuWindow* from, Integer index, bool selectFirst);
    void CloseSubmenus(TMenuWindow* keep);
    void ChooseItem(TMenuItem* item, Word key);
    void FinishTracking(bool swallowKey, Word key);
    void KeyMessage(TMessage& message);
    void MouseMessage(TMenuWindow* window, TMessage& message);
    void ReleaseWindows();
    void ItemsChanged();

    TMenuItem* FItems = nullptr;
    TPopupAlignment FAlignment = paLeft;
    bool FAutoPopup = true;
    TComponent* FPopupComponent = nullptr;
    TPoint FPopupPoint;
    std::vector<TMenuWindow*> FWindows;  // open levels, first is the menu itself
    std::vector<TMenuWindow*> FDisposed; // closed windows, freed from a posted message
    HWND FUtility = 0;                   // gets the keys while open and the posted clicks
    Word FSwallowKey = 0;                // the key that closed the menu: its char and release are eaten
    bool FPressedInside = false;
    bool FClosing = false;
};

// Message texts of the menus unit.
namespace MenusConsts {
extern String SMenuIndexError; // "Menu index %d out of range (0..%d)"
extern String SMenuReinserted; // "Menu item '%s' cannot be inserted into itself or its own child"
extern String SMenuNotFound;   // "Menu item '%s' is not a child of '%s'"
extern String SNoMenuItem;     // "Cannot insert a null menu item"
} // namespace MenusConsts

} // namespace mv
