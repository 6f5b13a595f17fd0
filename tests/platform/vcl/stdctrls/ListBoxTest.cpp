// List boxes: keyboard and mouse selection, scrolling, owner drawing, Items edits.
#include "StdCtrlsTestKit.h"

#include "platform/rtl/Format.h"
#include "platform/vcl/ListBox.h"

using namespace mv;
using namespace mv::test;

namespace {

struct ListBoxTest : StdCtrlsFixture {
    TListBox* List = nullptr;
    int Clicks = 0;

    // Forty items "Item 0".."Item 39" in a list showing exactly ten rows.
    void MakeList() {
        List = Add<TListBox>(10, 10, 150, 100);
        List->SetStyle(lbOwnerDrawFixed);
        List->SetItemHeight(16);
        List->SetBorderStyle(bsNone);
        List->SetHeight(160);
        for (int i = 0; i < 40; ++i)
            List->Items()->Add(Format(u"Item %d", {i}));
        List->OnClick = [this](TObject*) { ++Clicks; };
        Paint();
    }
};

} // namespace

TEST_F(ListBoxTest, KeyboardMovesTheCurrentItemAndScrollsIt) {
    MakeList();
    ASSERT_EQ(List->VisibleItemCount(), 10);
    List->SetFocus();
    EXPECT_EQ(List->ItemIndex(), -1);
    Host.KeyDown(VK_DOWN);
    EXPECT_EQ(List->ItemIndex(), 0) << "the first key picks the first item";
    EXPECT_EQ(Clicks, 1);
    for (int i = 0; i < 10; ++i)
        Host.KeyDown(VK_DOWN);
    EXPECT_EQ(List->ItemIndex(), 10);
    EXPECT_EQ(List->TopIndex(), 1) << "scrolled just enough to show item 10";

    // PgDn goes to the bottom of the page first, then a page further; PgUp alike upwards.
    Host.KeyDown(VK_NEXT);
    EXPECT_EQ(List->ItemIndex(), 19) << "already at the bottom of the page: a page further";
    EXPECT_EQ(List->TopIndex(), 10);
    Host.KeyDown(VK_PRIOR);
    EXPECT_EQ(List->ItemIndex(), 10) << "to the top of the page first";
    EXPECT_EQ(List->TopIndex(), 10);
    Host.KeyDown(VK_PRIOR);
    EXPECT_EQ(List->ItemIndex(), 1);
    EXPECT_EQ(List->TopIndex(), 1);
    Host.KeyDown(VK_NEXT);
    EXPECT_EQ(List->ItemIndex(), 10);
    EXPECT_EQ(List->TopIndex(), 1);

    Host.KeyDown(VK_END);
    EXPECT_EQ(List->ItemIndex(), 39);
    EXPECT_EQ(List->TopIndex(), 30);
    const int before = Clicks;
    Host.KeyDown(VK_DOWN);
    EXPECT_EQ(List->ItemIndex(), 39);
    EXPECT_EQ(Clicks, before) << "no move, no click";
    Host.KeyDown(VK_HOME);
    EXPECT_EQ(List->ItemIndex(), 0);
    EXPECT_EQ(List->TopIndex(), 0);

    // A typed character goes to the next item starting with it.
    List->Items()->SetStrings(25, u"zebra");
    Host.TypeText(u"Z");
    EXPECT_EQ(List->ItemIndex(), 25);
}

TEST_F(ListBoxTest, MouseSelectsScrollBarAndWheelScroll) {
    MakeList();
    EXPECT_TRUE(List->ScrollBarVisible(SB_VERT));
    const Integer barLeft = List->ClientWidth();
    Host.Click(List, 20, 16 * 3 + 5);
    EXPECT_EQ(List->ItemIndex(), 3);
    EXPECT_EQ(Clicks, 1);
    EXPECT_TRUE(List->Focused());
    Host.Click(List, 20, 16 * 3 + 5);
    EXPECT_EQ(Clicks, 2) << "every click on an item fires OnClick";
    // Dragging with the button down moves the current item along.
    Host.Drag(List, {20, 5}, {20, 16 * 6 + 5});
    EXPECT_EQ(List->ItemIndex(), 6);

    // The down arrow of the bar scrolls one row, the track below the thumb a page.
    Host.Click(List, barLeft + 8, 160 - 8);
    EXPECT_EQ(List->TopIndex(), 1);
    Host.Click(List, barLeft + 8, 140);
    EXPECT_EQ(List->TopIndex(), 11);
    Host.Wheel(List, 20, 20, -WHEEL_DELTA);
    EXPECT_EQ(List->TopIndex(), 14);
    Host.Wheel(List, 20, 20, 10 * WHEEL_DELTA);
    EXPECT_EQ(List->TopIndex(), 0);
    List->SetTopIndex(1000);
    EXPECT_EQ(List->TopIndex(), 30) << "clamped so the last page is full";
    EXPECT_EQ(List->ItemAtPos({20, 5}, true), 30);
    EXPECT_EQ(List->ItemAtPos({-1, 5}, true), -1);
}

TEST_F(ListBoxTest, OwnerDrawGetsTheRowRectsAndStates) {
    MakeList();
    struct Call {
        Integer Index;
        TRect Rect;
        TOwnerDrawState State;
    };
    std::vector<Call> calls;
    List->OnDrawItem = [&](TWinControl* control, Integer index, const TRect& rect, TOwnerDrawState state) {
        EXPECT_EQ(control, List);
        calls.push_back({index, rect, state});
        auto* c = List->Canvas();
        c->FillRect(rect);
        // Painting outside the rect is clipped away.
        c->Brush()->SetColor(clRed);
        c->FillRect(Rect(0, rect.Top - 4, 10, rect.Top));
    };
    List->SetTopIndex(5);
    List->SetItemIndex(7);
    List->SetFocus();
    List->Invalidate();
    calls.clear();
    Paint();
    ASSERT_EQ(calls.size(), 10u);
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].Index, static_cast<Integer>(5 + i));
        EXPECT_EQ(calls[i].Rect, Rect(0, 16 * static_cast<Integer>(i), List->ClientWidth(),
                                      16 * static_cast<Integer>(i) + 16));
    }
    EXPECT_TRUE(calls[2].State.Contains(odSelected));
    EXPECT_TRUE(calls[2].State.Contains(odFocused));
    EXPECT_FALSE(calls[3].State.Contains(odSelected));
    EXPECT_EQ(Host.PixelAt(List, 5, 16 * 3 + 8), Rgb(clWindow)) << "no red from the next row's handler";
    EXPECT_EQ(Host.PixelAt(List, 50, 16 * 2 + 8), Rgb(clHighlight))
        << "the brush is the highlight when selected";

    // Only the rows an invalidated rectangle touches are drawn again.
    calls.clear();
    TRect r = Rect(0, 20, 30, 40);
    List->InvalidateRect(&r);
    Paint();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].Index, 6);
    EXPECT_EQ(calls[1].Index, 7);

    // lbStandard ignores the handler and draws the text itself.
    calls.clear();
    List->SetStyle(lbStandard);
    Paint();
    EXPECT_TRUE(calls.empty());
}

TEST_F(ListBoxTest, ItemsEditsKeepTheCurrentItemAndMultiSelectRanges) {
    MakeList();
    List->SetItemIndex(10);
    List->Items()->Insert(0, u"new first");
    EXPECT_EQ(List->ItemIndex(), 11);
    List->Items()->Delete(3);
    EXPECT_EQ(List->ItemIndex(), 10);
    EXPECT_EQ(List->Items()->Strings(10), u"Item 10") << "still the same item";
    List->Items()->Move(10, 0);
    EXPECT_EQ(List->ItemIndex(), 0);
    List->Items()->Move(1, 5);
    EXPECT_EQ(List->ItemIndex(), 0);
    List->Items()->Delete(0);
    EXPECT_EQ(List->ItemIndex(), -1) << "deleting the current item leaves none";
    EXPECT_THROW(List->Items()->Delete(100), EStringListError);
    EXPECT_THROW((void)List->Selected(-1), EListError);
    List->Items()->BeginUpdate();
    List->Items()->Clear();
    List->Items()->Add(u"only");
    List->Items()->EndUpdate();
    EXPECT_EQ(List->Count(), 1);
    EXPECT_FALSE(List->ScrollBarVisible(SB_VERT));

    for (int i = 0; i < 9; ++i)
        List->Items()->Add(Format(u"Row %d", {i}));
    List->SetMultiSelect(true);
    Host.Click(List, 20, 16 * 2 + 5);
    Host.Click(List, 20, 16 * 5 + 5, mbLeft, {ssShift});
    EXPECT_EQ(List->SelCount(), 4);
    Host.Click(List, 20, 16 * 3 + 5, mbLeft, {ssCtrl});
    EXPECT_EQ(List->SelCount(), 3);
    EXPECT_FALSE(List->Selected(3));
    EXPECT_TRUE(List->Selected(5));
    List->Items()->Move(5, 8);
    EXPECT_TRUE(List->Selected(8)) << "the selection moves with the item";
    EXPECT_FALSE(List->Selected(5));
    List->SelectAll();
    EXPECT_EQ(List->SelCount(), 10);
    List->SetMultiSelect(false);
    EXPECT_EQ(List->SelCount(), 1) << "the current item";
}

TEST_F(ListBoxTest, SortedOrdersItemsAndKeepsTheCurrentOne) {
    MakeList();
    List->Items()->Clear();
    for (const char16_t* s : {u"pear", u"Apple", u"fig", u"apple", u"Banana"})
        List->Items()->Add(s);
    List->SetItemIndex(2); // fig
    List->SetSorted(true);
    String order;
    for (Integer i = 0; i < List->Count(); ++i)
        order += List->Items()->Strings(i) + u" ";
    EXPECT_EQ(order, u"Apple apple Banana fig pear ") << "case-insensitive, equal ones in their order";
    EXPECT_EQ(List->Items()->Strings(List->ItemIndex()), u"fig");
    EXPECT_EQ(List->Items()->Add(u"cherry"), 3);
    EXPECT_EQ(List->Items()->Add(u"zucchini"), 6);
    List->Items()->Insert(0, u"zz top"); // Insert places where asked
    EXPECT_EQ(List->Items()->Strings(0), u"zz top");
}
