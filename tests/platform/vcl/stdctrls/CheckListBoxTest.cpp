// Check list boxes: toggling by mouse and Space, disabled and header items, and
// reordering by dragging with the items' objects and check states moving along.
#include "StdCtrlsTestKit.h"

#include "platform/vcl/CheckLst.h"

#include <memory>

using namespace mv;
using namespace mv::test;

namespace {

struct CheckListBoxTest : StdCtrlsFixture {
    TCheckListBox* List = nullptr;
    std::vector<std::unique_ptr<TObject>> Objects;
    int Clicks = 0, Checks = 0;

    // count items "A", "B", ... each with its own object, 18-pixel rows, no border.
    void MakeList(int count, Integer height) {
        List = Add<TCheckListBox>(10, 10, 160, height);
        List->SetBorderStyle(bsNone);
        List->SetStyle(lbOwnerDrawFixed);
        List->SetItemHeight(18);
        for (int i = 0; i < count; ++i) {
            Objects.push_back(std::make_unique<TObject>());
            List->Items()->AddObject(String(1, static_cast<Char>(u'A' + i)), Objects.back().get());
        }
        List->OnClick = [this](TObject*) { ++Clicks; };
        List->OnClickCheck = [this](TObject*) { ++Checks; };
        Paint();
    }
    Integer RowY(Integer index) const { return (index - List->TopIndex()) * 18 + 9; }
    String Order() const {
        String s;
        for (Integer i = 0; i < List->Count(); ++i)
            s += List->Items()->Strings(i);
        return s;
    }
};

} // namespace

TEST_F(CheckListBoxTest, ClickOnTheBoxAndSpaceToggleTheItem) {
    MakeList(5, 120);
    Host.Click(List, 8, RowY(1));
    EXPECT_TRUE(List->Checked(1));
    EXPECT_EQ(List->ItemIndex(), 1) << "the press also makes the item current";
    EXPECT_EQ(Checks, 1);
    EXPECT_EQ(Clicks, 1);
    Host.Click(List, 80, RowY(2)); // on the text: selects only
    EXPECT_FALSE(List->Checked(2));
    EXPECT_EQ(List->ItemIndex(), 2);
    EXPECT_EQ(Checks, 1);
    Host.KeyDown(VK_SPACE);
    EXPECT_TRUE(List->Checked(2));
    Host.KeyDown(VK_SPACE);
    EXPECT_FALSE(List->Checked(2));
    EXPECT_EQ(Checks, 3);

    // The mark shows the state: the tick crosses the box's (5, 8).
    const Integer markTop = List->ItemRect(1).Top + (18 - CheckMarkSize) / 2;
    EXPECT_EQ(Host.PixelAt(List, 3 + 5, markTop + 8), Rgb(clWindowText));
    EXPECT_EQ(Host.PixelAt(List, 3 + 5, List->ItemRect(0).Top + (18 - CheckMarkSize) / 2 + 8), Rgb(clWindow));

    // AllowGrayed: unchecked -> grayed -> checked -> unchecked.
    List->SetAllowGrayed(true);
    const TCheckBoxState cycle[] = {cbGrayed, cbChecked, cbUnchecked};
    for (TCheckBoxState state : cycle) {
        Host.KeyDown(VK_SPACE);
        EXPECT_EQ(List->State(2), state);
    }

    // Disabled items and headers do not toggle; code may still set them.
    List->SetItemEnabled(3, false);
    List->SetHeader(4, true);
    Host.Click(List, 8, RowY(3));
    Host.Click(List, 8, RowY(4));
    EXPECT_EQ(List->State(3), cbUnchecked);
    EXPECT_EQ(List->State(4), cbUnchecked);
    List->SetItemIndex(3);
    Host.KeyDown(VK_SPACE);
    EXPECT_EQ(List->State(3), cbUnchecked);
    List->SetChecked(3, true);
    EXPECT_TRUE(List->Checked(3));
    Paint();
    EXPECT_EQ(Host.PixelAt(List, 3 + 5, List->ItemRect(3).Top + (18 - CheckMarkSize) / 2 + 8),
              Rgb(clGrayText))
        << "a disabled item's mark is grey";
    EXPECT_EQ(Host.PixelAt(List, 150, RowY(4)), Rgb(clInfoBk)) << "a header's own colours";
    EXPECT_EQ(Host.PixelAt(List, 3 + CheckMarkSize - 1, RowY(4)), Rgb(clInfoBk)) << "and no check box";

    List->CheckAll(cbChecked, true, false);
    EXPECT_TRUE(List->Checked(0) && List->Checked(1) && List->Checked(2));
    EXPECT_EQ(List->State(4), cbUnchecked) << "headers are left alone";
    EXPECT_THROW(List->SetChecked(5, true), EListError);
}

TEST_F(CheckListBoxTest, DraggingMovesTheItemWithItsObjectAndState) {
    MakeList(6, 120);
    List->SetDragReorder(true);
    List->SetChecked(1, true);
    List->SetState(2, cbGrayed);
    List->SetItemEnabled(3, false);
    TObject* objectB = List->Items()->Objects(1);

    Host.Drag(List, {80, RowY(1)}, {80, RowY(4)});
    EXPECT_EQ(Order(), u"ACDEBF");
    EXPECT_EQ(List->Items()->Objects(4), objectB);
    EXPECT_TRUE(List->Checked(4));
    EXPECT_EQ(List->State(1), cbGrayed) << "C moved up with its state";
    EXPECT_FALSE(List->ItemEnabled(2)) << "D moved up disabled";
    EXPECT_EQ(List->ItemIndex(), 4) << "the moved item stays current";
    EXPECT_FALSE(List->Reordering());

    // Upwards: E onto A puts it first.
    Host.Drag(List, {80, RowY(3)}, {80, RowY(0)});
    EXPECT_EQ(Order(), u"EACDBF");

    // A press on the check box is no drag.
    Host.Drag(List, {8, RowY(5)}, {8, RowY(2)});
    EXPECT_EQ(Order(), u"EACDBF");
    EXPECT_TRUE(List->Checked(5));

    // Without DragReorder the mouse only moves the current item.
    List->SetDragReorder(false);
    Host.Drag(List, {80, RowY(0)}, {80, RowY(3)});
    EXPECT_EQ(Order(), u"EACDBF");
    EXPECT_EQ(List->ItemIndex(), 3);
}

TEST_F(CheckListBoxTest, DropMarkerEscapeAndHandlersDecide) {
    MakeList(6, 120);
    List->SetDragReorder(true);
    Host.MouseDown(List, 80, RowY(0));
    Host.MouseMove(List, 80, RowY(2));
    Host.MouseMove(List, 80, RowY(3));
    Paint();
    ASSERT_TRUE(List->Reordering());
    EXPECT_EQ(List->DropTarget(), 3);
    EXPECT_EQ(Screen->Cursor(), crDrag);
    // Moving down, the item lands below the target: the bar is on the target's bottom edge.
    const Integer barY = List->ItemRect(3).Bottom - 1;
    EXPECT_EQ(Host.PixelAt(List, 100, barY), Rgb(clWindowText));
    EXPECT_EQ(Host.PixelAt(List, 100, barY + 3), Rgb(clWindow));
    Host.KeyDown(VK_ESCAPE);
    EXPECT_FALSE(List->Reordering());
    EXPECT_EQ(Screen->Cursor(), crDefault);
    Host.MouseUp(List, 80, RowY(3));
    Paint();
    EXPECT_EQ(Order(), u"ABCDEF");
    EXPECT_NE(Host.PixelAt(List, 100, barY), Rgb(clWindowText)) << "the marker is gone";

    // The query refuses some targets: no marker there and nothing moves on release.
    List->OnReorderQuery = [](TObject*, Integer from, Integer to, bool& accept) {
        EXPECT_EQ(from, 1);
        accept = to != 0;
    };
    Host.MouseDown(List, 80, RowY(1));
    Host.MouseMove(List, 80, RowY(0) + 6);
    EXPECT_EQ(List->DropTarget(), -1);
    EXPECT_EQ(Screen->Cursor(), crNoDrop);
    Host.MouseUp(List, 80, RowY(0));
    EXPECT_EQ(Order(), u"ABCDEF");

    // A handler that takes the drop over moves items itself.
    List->OnReorder = [&](TObject*, Integer from, Integer to, bool& accept) {
        List->Items()->Exchange(from, to);
        accept = false;
    };
    Host.Drag(List, {80, RowY(1)}, {80, RowY(5)});
    EXPECT_EQ(Order(), u"AFCDEB");
}

TEST_F(CheckListBoxTest, HoldingBelowTheListScrollsWhileDragging) {
    MakeList(30, 180); // ten rows of 18 pixels
    List->SetDragReorder(true);
    Host.MouseDown(List, 80, RowY(0));
    Host.MouseMove(List, 80, RowY(3));
    Host.MouseMove(List, 80, 200); // below the list
    EXPECT_EQ(List->TopIndex(), 0);
    Host.AdvanceTime(500);
    EXPECT_EQ(List->TopIndex(), 5) << "one row per 100 ms";
    EXPECT_EQ(List->DropTarget(), 14) << "the last row shown";
    Host.MouseMove(List, 80, RowY(14));
    Host.AdvanceTime(500);
    EXPECT_EQ(List->TopIndex(), 5) << "back inside: scrolling stops";
    Host.MouseUp(List, 80, RowY(14));
    EXPECT_EQ(List->Items()->Strings(14), u"A");
    EXPECT_EQ(List->Items()->Strings(0), u"B");
}

TEST_F(CheckListBoxTest, OwnerDrawnItemsGetTheRectBesideTheCheckBox) {
    MakeList(3, 120);
    std::vector<std::pair<Integer, TRect>> calls;
    List->OnDrawItem = [&](TWinControl*, Integer index, const TRect& rect, TOwnerDrawState state) {
        calls.push_back({index, rect});
        EXPECT_EQ(state.Contains(odChecked), index == 1);
        List->Canvas()->Brush()->SetColor(clTeal);
        List->Canvas()->FillRect(rect);
    };
    List->SetChecked(1, true);
    List->Invalidate();
    calls.clear();
    Paint();
    ASSERT_EQ(calls.size(), 3u);
    for (Integer i = 0; i < 3; ++i) {
        EXPECT_EQ(calls[static_cast<size_t>(i)].first, i);
        EXPECT_EQ(calls[static_cast<size_t>(i)].second,
                  Rect(List->CheckWidth(), i * 18, List->ClientWidth(), i * 18 + 18));
    }
    EXPECT_EQ(Host.PixelAt(List, 100, RowY(1)), Rgb(clTeal));
    EXPECT_EQ(Host.PixelAt(List, 3 + 5, List->ItemRect(1).Top + (18 - CheckMarkSize) / 2 + 8),
              Rgb(clWindowText))
        << "the list still draws the check box";
}
