// Popup menus on the headless host: choosing by keys and mouse, closing, context menus,
// placement, submenus, the item tree and a golden picture.
#include "../CanvasTestKit.h"
#include "MenusFixture.h"

#include "platform/vcl/Menus.h"
#include "platform/vcl/MenusPrivate.h"

#include <cstdio>
#include <memory>

#include <unistd.h>

using namespace mv;
using namespace mv::test;

namespace {

struct PopupMenuTest : MenusFixture {
    std::unique_ptr<TPopupMenu> Menu;
    std::vector<std::string> Clicks;
    std::vector<bool> OpenAtClick;
    Integer Popups = 0;

    TMenuItem* AddItem(TMenuItem* parent, const String& caption, Int64 tag) {
        auto* item = new TMenuItem(Menu.get());
        item->SetCaption(caption);
        item->SetTag(tag);
        item->OnClick = [this, item](TObject* sender) {
            EXPECT_EQ(sender, item);
            Clicks.push_back("tag" + std::to_string(item->Tag()));
            OpenAtClick.push_back(Menu->IsOpen());
        };
        parent->Add(item);
        return item;
    }

    // Open, a separator, a disabled item, Save, a hidden item.
    void SetUp() override {
        MenusFixture::SetUp();
        Menu = std::make_unique<TPopupMenu>(nullptr);
        Menu->OnPopup = [this](TObject*) { ++Popups; };
        AddItem(Menu->Items(), u"&Open", 0);
        AddItem(Menu->Items(), u"-", 1);
        AddItem(Menu->Items(), u"&Disabled", 2)->SetEnabled(false);
        AddItem(Menu->Items(), u"&Save", 3)->SetShortCut(ShortCut('S', {ssCtrl}));
        AddItem(Menu->Items(), u"Hidden", 4)->SetVisible(false);
    }
    void TearDown() override {
        Menu.reset();
        MenusFixture::TearDown();
    }

    TPoint RowCentre(Integer row) const {
        const TRect r = Menu->Window()->RowRect(row);
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
};

} // namespace

TEST_F(PopupMenuTest, KeyboardChoosesAnItemThatRunsOnceAfterTheMenuClosed) {
    TProbe* edit = AddProbe(Form, 10, 10, 100, 20);
    edit->SetFocus();
    Menu->Popup(300, 200);
    ASSERT_TRUE(Menu->IsOpen());
    EXPECT_EQ(Popups, 1);
    TMenuWindow* window = Menu->Window();
    const THostWindow hostWindow = Host.WindowOf(window);
    EXPECT_TRUE(Host.WindowVisible(hostWindow));
    EXPECT_EQ(Host.WindowBounds(hostWindow).TopLeft(), (TPoint{300, 200}));
    EXPECT_EQ(window->RowCount(), 4) << "the hidden item has no row";
    EXPECT_EQ(window->Selected(), -1);

    // Down goes to the first item, skips the separator and the disabled item, and wraps.
    Host.KeyDown(VK_DOWN);
    EXPECT_EQ(window->Selected(), 0);
    Host.KeyDown(VK_DOWN);
    EXPECT_EQ(window->Selected(), 3);
    Host.KeyDown(VK_DOWN);
    EXPECT_EQ(window->Selected(), 0);
    Host.KeyDown(VK_UP);
    EXPECT_EQ(window->Selected(), 3);
    EXPECT_TRUE(edit->Focused()) << "the menu does not take the focus";
    EXPECT_TRUE(edit->Log.empty()) << "keys go to the open menu";

    Host.KeyDown(VK_RETURN);
    EXPECT_FALSE(Menu->IsOpen());
    EXPECT_FALSE(Host.WindowVisible(hostWindow));
    EXPECT_EQ(Clicks, (std::vector<std::string>{"tag3"}));
    EXPECT_EQ(OpenAtClick, (std::vector<bool>{false}));
    EXPECT_TRUE(edit->Log.empty()) << "the Enter that chose the item ends there";
    EXPECT_TRUE(edit->Focused());

    // Keys go to the focused control again.
    Host.KeyDown('A');
    EXPECT_EQ(edit->Log, (std::vector<std::string>{"key65", "char97"}));
    EXPECT_EQ(Clicks.size(), 1u);
}

TEST_F(PopupMenuTest, MouseTracksAndClicksItemsAndAClickOutsideRunsNothing) {
    TProbe* probe = AddProbe(Form, 10, 10, 100, 100);
    Menu->Popup(400, 300);
    TMenuWindow* window = Menu->Window();
    const THostWindow hostWindow = Host.WindowOf(window);

    // Hot tracking follows the mouse; separators and disabled items never light up.
    Host.MouseMove(window, RowCentre(0).X, RowCentre(0).Y);
    EXPECT_EQ(window->Selected(), 0);
    Host.MouseMove(window, RowCentre(1).X, RowCentre(1).Y);
    EXPECT_EQ(window->Selected(), -1);
    Host.Click(window, RowCentre(2).X, RowCentre(2).Y);
    Host.Click(window, RowCentre(1).X, RowCentre(1).Y);
    EXPECT_TRUE(Menu->IsOpen()) << "clicks on a separator or a disabled item choose nothing";
    EXPECT_TRUE(Clicks.empty());

    Host.Click(window, RowCentre(3).X, RowCentre(3).Y);
    EXPECT_FALSE(Menu->IsOpen());
    EXPECT_FALSE(Host.WindowVisible(hostWindow));
    EXPECT_EQ(Clicks, (std::vector<std::string>{"tag3"}));
    EXPECT_EQ(OpenAtClick, (std::vector<bool>{false}));

    // A click outside closes the menu; nothing runs and the control under it is not clicked.
    Clicks.clear();
    Menu->Popup(400, 300);
    ASSERT_TRUE(Menu->IsOpen());
    Host.Click(probe, 20, 20);
    EXPECT_FALSE(Menu->IsOpen());
    EXPECT_TRUE(Clicks.empty());
    EXPECT_TRUE(std::find(probe->Log.begin(), probe->Log.end(), "click") == probe->Log.end());
    // The mouse is the form's again.
    Host.Click(probe, 20, 20);
    EXPECT_EQ(std::count(probe->Log.begin(), probe->Log.end(), "click"), 1);
}

TEST_F(PopupMenuTest, EscapeClosesAndAcceleratorsChooseOrCycle) {
    TProbe* edit = AddProbe(Form, 10, 10, 100, 20);
    edit->SetFocus();
    Menu->Popup(300, 200);
    Host.KeyDown(VK_ESCAPE);
    EXPECT_FALSE(Menu->IsOpen());
    EXPECT_TRUE(Clicks.empty());
    EXPECT_TRUE(edit->Log.empty()) << "the Escape that closed the menu does not reach the edit";

    Menu->Popup(300, 200);
    Host.KeyDown('S');
    EXPECT_FALSE(Menu->IsOpen());
    EXPECT_EQ(Clicks, (std::vector<std::string>{"tag3"}));
    EXPECT_TRUE(edit->Log.empty()) << "the accelerator's character is not typed into the edit";

    // A disabled item's letter does nothing; a letter shared by two items moves between them.
    Clicks.clear();
    AddItem(Menu->Items(), u"&Copy", 5);
    AddItem(Menu->Items(), u"&Cut", 6);
    Menu->Popup(300, 200);
    TMenuWindow* window = Menu->Window();
    Host.KeyDown('D');
    EXPECT_TRUE(Menu->IsOpen());
    Host.KeyDown('C');
    EXPECT_EQ(window->Row(window->Selected())->Tag(), 5);
    Host.KeyDown('C');
    EXPECT_EQ(window->Row(window->Selected())->Tag(), 6);
    Host.KeyDown('C');
    EXPECT_EQ(window->Row(window->Selected())->Tag(), 5);
    EXPECT_TRUE(Clicks.empty());
    Host.KeyDown(VK_SPACE);
    EXPECT_EQ(Clicks, (std::vector<std::string>{"tag5"}));
}

TEST_F(PopupMenuTest, RightClickAndMenuKeysOpenTheAutoPopupMenuOfTheControlOrItsParent) {
    TProbe* panel = AddProbe(Form, 10, 10, 200, 200);
    TProbe* inner = AddProbe(panel, 20, 20, 50, 50);
    panel->SetPopupMenu(Menu.get());

    Host.Click(panel, 150, 160, mbRight);
    ASSERT_TRUE(Menu->IsOpen());
    EXPECT_EQ(Popups, 1);
    EXPECT_EQ(Menu->PopupComponent(), panel);
    EXPECT_EQ(Menu->PopupPoint(), panel->ClientToScreen({150, 160}));
    EXPECT_EQ(Host.WindowBounds(Host.WindowOf(Menu->Window())).TopLeft(), panel->ClientToScreen({150, 160}));
    Menu->CloseMenu();

    // A control without a menu passes the request to its parent.
    Host.Click(inner, 5, 5, mbRight);
    ASSERT_TRUE(Menu->IsOpen());
    EXPECT_EQ(Menu->PopupComponent(), panel);
    Menu->CloseMenu();

    // Without AutoPopup a right click opens nothing; a left click never does.
    Menu->SetAutoPopup(false);
    Host.Click(panel, 150, 160, mbRight);
    EXPECT_FALSE(Menu->IsOpen());
    Menu->SetAutoPopup(true);
    Host.Click(panel, 150, 160);
    EXPECT_FALSE(Menu->IsOpen());

    // The menu key and Shift+F10 open it from the keyboard at the focused control's centre.
    inner->SetFocus();
    Host.KeyDown(VK_APPS);
    ASSERT_TRUE(Menu->IsOpen());
    EXPECT_EQ(Menu->PopupComponent(), panel);
    EXPECT_EQ(Menu->PopupPoint(), inner->ClientToScreen({25, 25}));
    Menu->CloseMenu();
    Host.KeyDown(VK_F10);
    EXPECT_FALSE(Menu->IsOpen());
    Host.KeyDown(VK_F10, {ssShift});
    EXPECT_TRUE(Menu->IsOpen());
    Menu->CloseMenu();

    // The control forgets a freed menu.
    Menu.reset();
    EXPECT_EQ(panel->PopupMenu(), nullptr);
    Host.Click(panel, 150, 160, mbRight);
}

TEST_F(PopupMenuTest, MenuStaysInsideTheWorkAreaAndFollowsItsAlignment) {
    Menu->Popup(1910, 1075);
    TRect b = Host.WindowBounds(Host.WindowOf(Menu->Window()));
    EXPECT_EQ(b.Right, 1910) << "flipped to the left of the point";
    EXPECT_EQ(b.Bottom, 1075) << "flipped above the point";
    Menu->CloseMenu();

    Menu->SetAlignment(paRight);
    Menu->Popup(500, 400);
    b = Host.WindowBounds(Host.WindowOf(Menu->Window()));
    EXPECT_EQ(b.Right, 500);
    EXPECT_EQ(b.Top, 400);
    Menu->CloseMenu();

    Menu->SetAlignment(paCenter);
    Menu->Popup(500, 400);
    b = Host.WindowBounds(Host.WindowOf(Menu->Window()));
    EXPECT_LE(std::abs((b.Left + b.Right) / 2 - 500), 1);
    Menu->CloseMenu();

    // A point left of the screen is pulled in; OnPopup may hide every item: nothing shows.
    Menu->SetAlignment(paRight);
    Menu->Popup(10, 10);
    EXPECT_EQ(Host.WindowBounds(Host.WindowOf(Menu->Window())).Left, 0);
    Menu->CloseMenu();
    Menu->OnPopup = [this](TObject*) {
        for (Integer i = 0; i < Menu->Items()->Count(); ++i)
            Menu->Items()->Items(i)->SetVisible(false);
    };
    Menu->Popup(500, 400);
    EXPECT_FALSE(Menu->IsOpen());
}

TEST_F(PopupMenuTest, SubmenusOpenByKeysAndHoverAndTheirItemsRun) {
    TMenuItem* more = AddItem(Menu->Items(), u"&More", 10);
    AddItem(more, u"&First", 11);
    AddItem(more, u"S&econd", 12);
    Menu->Popup(300, 200);
    TMenuWindow* window = Menu->Window();
    const Integer moreRow = window->RowOf(more);

    Host.KeyDown('M');
    ASSERT_EQ(Clicks.size(), 0u) << "an item with children opens them instead of running";
    ASSERT_TRUE(Menu->IsOpen());
    // The submenu opened with its first item selected; Left closes it, Right opens it again.
    Host.KeyDown(VK_DOWN);
    Host.KeyDown(VK_LEFT);
    Host.KeyDown(VK_RIGHT);
    Host.KeyDown(VK_DOWN);
    Host.KeyDown(VK_RETURN);
    EXPECT_EQ(Clicks, (std::vector<std::string>{"tag12"}));
    EXPECT_FALSE(Menu->IsOpen());

    // Hovering the item opens its submenu; clicking a sub item runs it.
    Clicks.clear();
    Menu->Popup(300, 200);
    window = Menu->Window();
    Host.MouseMove(window, RowCentre(moreRow).X, RowCentre(moreRow).Y);
    const TRect menuBounds = window->BoundsRect();
    // The submenu's first row lies level with the hovered row, right of the menu.
    const TPoint subPoint{menuBounds.Right + 20, window->ClientToScreen(RowCentre(moreRow)).Y};
    Host.Click(window, subPoint.X - window->Left(), subPoint.Y - window->Top());
    EXPECT_EQ(Clicks, (std::vector<std::string>{"tag11"}));
    EXPECT_FALSE(Menu->IsOpen());

    // Moving back to another item of the menu closes the submenu; Escape closes one level.
    Menu->Popup(300, 200);
    window = Menu->Window();
    Host.MouseMove(window, RowCentre(moreRow).X, RowCentre(moreRow).Y);
    Host.MouseMove(window, RowCentre(0).X, RowCentre(0).Y);
    const TPoint outside =
        Form->ScreenToClient(window->ClientToScreen({menuBounds.Width() + 20, RowCentre(moreRow).Y}));
    Host.Click(Form, outside.X, outside.Y); // the window that goes must not be clicked again
    EXPECT_FALSE(Menu->IsOpen()) << "the submenu was closed, so that click was outside";
    EXPECT_TRUE(Clicks.size() == 1);
    Menu->Popup(300, 200);
    Host.KeyDown('M');
    Host.KeyDown(VK_ESCAPE);
    EXPECT_TRUE(Menu->IsOpen());
    Host.KeyDown(VK_ESCAPE);
    EXPECT_FALSE(Menu->IsOpen());
}

TEST_F(PopupMenuTest, ItemTreeKeepsOrderOwnsChildrenAndRejectsBadIndexes) {
    TMenuItem* root = Menu->Items();
    ASSERT_EQ(root->Count(), 5);
    TMenuItem* save = root->Items(3);
    EXPECT_EQ(root->IndexOf(save), 3);
    EXPECT_EQ(save->MenuIndex(), 3);
    EXPECT_EQ(save->Parent(), root);
    EXPECT_EQ(save->GetParentMenu(), Menu.get());
    EXPECT_EQ(root->Find(u"Save"), save);
    EXPECT_EQ(Menu->FindItem(save->Command()), save);

    // Moving an item inside its parent and into another parent.
    root->Insert(0, save);
    EXPECT_EQ(root->IndexOf(save), 0);
    EXPECT_EQ(root->Count(), 5);
    EXPECT_THROW(root->Insert(5, save), EMenuError) << "a moved child's last place is Count - 1";
    root->Insert(4, save);
    EXPECT_EQ(root->IndexOf(save), 4);
    root->Insert(0, save);
    TMenuItem* open = root->Items(1);
    save->Add(open);
    EXPECT_EQ(open->Parent(), save);
    EXPECT_EQ(root->Count(), 4);
    EXPECT_THROW(open->Add(save), EMenuError) << "an item cannot hold its own ancestor";
    EXPECT_THROW(save->Add(save), EMenuError);
    EXPECT_THROW(root->Add(nullptr), EMenuError);
    try {
        root->Items(7);
        ADD_FAILURE() << "Items(7) raised nothing";
    } catch (const EMenuError& e) {
        EXPECT_EQ(e.Message(), u"Menu index 7 out of range (0..3)");
    }
    EXPECT_THROW(root->Insert(9, new TMenuItem(Menu.get())), EMenuError);
    EXPECT_THROW(root->Remove(open), EMenuError) << "open is save's child, not root's";

    // Delete hands the item back; freeing an item frees its children.
    root->Delete(root->IndexOf(save));
    EXPECT_EQ(save->Parent(), nullptr);
    EXPECT_EQ(root->Count(), 3);
    bool openFreed = false;
    struct TWatch : TComponent {
        bool* Flag;
        TWatch(bool* flag) : TComponent(nullptr), Flag(flag) {}
        void Notification(TComponent* c, TOperation op) override {
            if (op == opRemove && c) *Flag = true;
        }
    } watch(&openFreed);
    open->FreeNotification(&watch);
    delete save;
    EXPECT_TRUE(openFreed);

    // Radio items of a group exclude each other; other groups keep their marks.
    TMenuItem* a = AddItem(root, u"A", 20);
    TMenuItem* b = AddItem(root, u"B", 21);
    TMenuItem* c = AddItem(root, u"C", 22);
    for (TMenuItem* item : {a, b, c})
        item->SetRadioItem(true);
    c->SetGroupIndex(1);
    a->SetChecked(true);
    c->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(b->Checked());
    EXPECT_TRUE(c->Checked());

    // AutoCheck toggles before OnClick; a disabled item's Click does nothing.
    a->SetRadioItem(false);
    a->SetAutoCheck(true);
    a->Click();
    EXPECT_TRUE(a->Checked());
    a->SetEnabled(false);
    a->Click();
    EXPECT_TRUE(a->Checked());
    EXPECT_EQ(Clicks, (std::vector<std::string>{"tag20"}));

    // Freeing an item while the menu shows it closes the menu.
    Menu->Popup(300, 200);
    ASSERT_TRUE(Menu->IsOpen());
    delete b;
    EXPECT_FALSE(Menu->IsOpen());
    Application->ProcessMessages();
}

TEST_F(PopupMenuTest, ChangesWhileOpenRebuildTheRows) {
    Menu->Popup(300, 200);
    TMenuWindow* window = Menu->Window();
    const Integer height = window->Height();
    Menu->Items()->Items(4)->SetVisible(true);
    EXPECT_EQ(window->RowCount(), 5);
    EXPECT_GT(window->Height(), height);
    Menu->Items()->Items(2)->SetEnabled(true);
    Host.KeyDown(VK_DOWN);
    Host.KeyDown(VK_DOWN);
    EXPECT_EQ(window->Selected(), 2) << "the item enabled meanwhile can be chosen";
    Menu->CloseMenu();
}

TEST(MenuCaptions, HotkeysStripAndShortCutTexts) {
    EXPECT_EQ(GetHotkey(u"&Open"), u'O');
    EXPECT_EQ(GetHotkey(u"Save &as"), u'A');
    EXPECT_EQ(GetHotkey(u"Fish && &Chips"), u'C');
    EXPECT_EQ(GetHotkey(u"No hotkey &&"), 0);
    EXPECT_EQ(StripHotkey(u"Fish && &Chips&"), u"Fish & Chips");
    EXPECT_EQ(ShortCutToText(ShortCut('C', {ssCtrl})), u"Ctrl+C");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_F3, {ssShift})), u"Shift+F3");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_DELETE, {})), u"Del");
    EXPECT_EQ(ShortCutToText(scNone), u"");
}

TEST_F(PopupMenuTest, ShortCutsRunItemsWithoutOpeningTheMenu) {
    EXPECT_TRUE(Menu->IsShortCut('S', {ssCtrl}));
    EXPECT_EQ(Clicks, (std::vector<std::string>{"tag3"}));
    EXPECT_FALSE(Menu->IsShortCut('S', {}));
    Menu->Items()->Items(3)->SetEnabled(false);
    EXPECT_FALSE(Menu->IsShortCut('S', {ssCtrl}));
    EXPECT_EQ(Clicks.size(), 1u);
}

TEST_F(PopupMenuTest, OpenMenuMatchesGoldenPicture) {
    Menu->Items()->Items(0)->SetChecked(true);
    Menu->Items()->Items(0)->SetDefault(true);
    TMenuItem* more = AddItem(Menu->Items(), u"&More", 10);
    AddItem(more, u"Sub", 11);
    TMenuItem* radio = AddItem(Menu->Items(), u"&Radio choice", 12);
    radio->SetRadioItem(true);
    radio->SetChecked(true);
    Menu->Popup(300, 200);
    Host.KeyDown(VK_DOWN);
    Host.KeyDown(VK_DOWN); // Save is highlighted
    Application->ProcessMessages();
    const std::string file = "/tmp/menus_popup_menu_" + std::to_string(::getpid()) + ".png";
    ASSERT_TRUE(Host.SavePng(Host.WindowOf(Menu->Window()), file));
    TBitmap picture;
    picture.LoadFromFile(UTF8ToString(file));
    std::remove(file.c_str());
    ExpectMatchesGolden(picture, MV_VCL_GOLDEN_DIR, "popup_menu.png");
    Menu->CloseMenu();
}
