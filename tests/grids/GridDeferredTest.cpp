// Brackets and deferred work: layout runs at the outermost EndLayout, the deferred-layout
// message, and the four delayed jobs on the virtual clock.
#include "GridTestKit.h"

namespace mv::test {
namespace {

struct GridBrackets : GridFixture {};

TEST_F(GridBrackets, LayoutChangesInsideBracketsRunOnceAtTheOutermostEndLayout) {
    const Integer before = Grid->Layouts;
    Grid->BeginLayout();
    Grid->LayoutChanged();
    Grid->BeginLayout();
    Grid->LayoutChanged();
    Grid->SetOptions(Grid->Options() - dgIndicator);
    Grid->EndLayout();
    EXPECT_EQ(Grid->Layouts, before);
    EXPECT_EQ(Grid->LayoutLock(), 1);
    EXPECT_EQ(Grid->UpdateLock(), 1);
    EXPECT_EQ(Grid->Columns()->UpdateCount(), 1);
    Grid->EndLayout();
    EXPECT_EQ(Grid->Layouts, before + 1);
    EXPECT_EQ(Grid->IndicatorOffset(), 0);
    EXPECT_EQ(Grid->LayoutLock(), 0);
    EXPECT_EQ(Grid->UpdateLock(), 0);
    EXPECT_EQ(Grid->Columns()->UpdateCount(), 0);
    Grid->EndLayout(); // at zero: nothing
    EXPECT_EQ(Grid->LayoutLock(), 0);
    EXPECT_EQ(Grid->Layouts, before + 1);

    Grid->BeginLayout();
    Grid->LayoutChanged();
    Grid->CancelLayout();
    EXPECT_EQ(Grid->Layouts, before + 1);
    EXPECT_EQ(Grid->LayoutLock(), 0);

    Grid->LayoutChanged();
    EXPECT_EQ(Grid->Layouts, before + 2);
}

TEST_F(GridBrackets, TheLayoutLockIsRefusedWhileAnyBracketIsOpen) {
    Grid->BeginUpdate();
    EXPECT_TRUE(Grid->GetUpdateInProgress());
    EXPECT_FALSE(Grid->AcquireLayoutLock());
    const Integer before = Grid->Layouts;
    Grid->LayoutChanged();
    EXPECT_EQ(Grid->Layouts, before);
    Grid->EndUpdate();
    EXPECT_FALSE(Grid->GetUpdateInProgress());
    ASSERT_TRUE(Grid->AcquireLayoutLock());
    EXPECT_FALSE(Grid->AcquireLayoutLock());
    Grid->EndLayout();
    EXPECT_EQ(Grid->Layouts, before + 1);
}

TEST_F(GridBrackets, DeferLayoutPostsOneMessageThatRunsTheLayoutLater) {
    ASSERT_TRUE(Grid->HandleAllocated());
    const Integer before = Grid->Layouts;
    Grid->BeginLayout();
    Grid->DeferLayout();
    EXPECT_EQ(Grid->LayoutLock(), 0); // DeferLayout closes its caller's bracket
    Grid->BeginLayout();
    Grid->DeferLayout();
    EXPECT_EQ(Grid->Layouts, before);
    EXPECT_TRUE(Grid->LayoutDeferred());

    Integer queued = 0;
    TMsg msg;
    while (PeekMessage(msg, Grid->Handle(), CM_DEFERLAYOUT, CM_DEFERLAYOUT, PM_REMOVE))
        ++queued;
    EXPECT_EQ(queued, 1);

    Grid->BeginLayout();
    Grid->DeferLayout();
    Application->ProcessMessages();
    EXPECT_EQ(Grid->Layouts, before + 1);
    EXPECT_FALSE(Grid->LayoutDeferred());
}

TEST_F(GridBrackets, TheDeferredLayoutWaitsForAnOpenBracketAndALayoutRunDropsQueuedOnes) {
    const Integer before = Grid->Layouts;
    Grid->BeginUpdate();
    Grid->Perform(CM_DEFERLAYOUT);
    EXPECT_EQ(Grid->Layouts, before);
    EXPECT_EQ(Grid->UpdateLock(), 1); // the bracket that is open stays open
    // Not queued again while the bracket is open: a message loop run inside it would
    // otherwise never empty its queue.
    EXPECT_FALSE(Grid->LayoutDeferred());
    Application->ProcessMessages();
    EXPECT_EQ(Grid->Layouts, before);
    Grid->EndUpdate();
    EXPECT_TRUE(Grid->LayoutDeferred()); // asked again once the bracket closed
    Grid->LayoutChanged();               // this run removes the queued request
    EXPECT_EQ(Grid->Layouts, before + 1);
    EXPECT_FALSE(Grid->LayoutDeferred());
    Application->ProcessMessages();
    EXPECT_EQ(Grid->Layouts, before + 1);
}

struct GridDelayedJobs : GridFixture {
    void SetUp() override {
        GridFixture::SetUp();
        // Totals need a reason to compute: invisible rows are computed too.
        Grid->SetOptionsEx(Grid->OptionsEx() + dgCalcInvisibleRows);
        Host.AdvanceTime(1000);
        Grid->Work.clear();
    }
    Integer Count(const std::string& job) const {
        return static_cast<Integer>(std::count(Grid->Work.begin(), Grid->Work.end(), job));
    }
};

TEST_F(GridDelayedJobs, TenRequestsWithinTheDelayRunOnceAfterTheLastOne) {
    ASSERT_TRUE(Grid->Showing());
    for (Integer i = 0; i < 10; ++i) {
        Grid->UpdateTotals(true);
        Host.AdvanceTime(15);
    }
    EXPECT_EQ(Count("totals"), 0);
    EXPECT_TRUE(Grid->TotalsPending());
    Host.AdvanceTime(DelayInterval - 15 - 1); // 199 ms after the last request
    EXPECT_EQ(Count("totals"), 0);
    Host.AdvanceTime(1);
    EXPECT_EQ(Count("totals"), 1);
    EXPECT_FALSE(Grid->TotalsPending());
    EXPECT_EQ(TMvDBGridTestAccess::TimerCount(*Grid), 0);
    Host.AdvanceTime(1000);
    EXPECT_EQ(Count("totals"), 1);
}

TEST_F(GridDelayedJobs, WithoutTheDelayOptionInDesignModeOrWhileHiddenEachRequestRunsAtOnce) {
    Grid->SetOptionsEx(Grid->OptionsEx() - dgDelayUpdateTotals);
    Grid->Work.clear();
    for (Integer i = 0; i < 10; ++i)
        Grid->UpdateTotals(true);
    EXPECT_EQ(Count("totals"), 10);

    Grid->SetOptionsEx(Grid->OptionsEx() + dgDelayUpdateTotals);
    Grid->Work.clear();
    Grid->SetDesigning(true);
    Grid->UpdateTotals(true);
    Grid->UpdateTotals(true);
    EXPECT_EQ(Count("totals"), 2);
    Grid->SetDesigning(false);

    Grid->Hide();
    ASSERT_FALSE(Grid->Showing());
    Grid->UpdateTotals(true);
    EXPECT_EQ(Count("totals"), 3);
    EXPECT_EQ(TMvDBGridTestAccess::TimerCount(*Grid), 0);
}

TEST_F(GridDelayedJobs, RequestsAreDroppedWhileUpdatingOrWhenTheAutoOptionIsOff) {
    Grid->SetOptionsEx(Grid->OptionsEx() - dgDelayUpdateTotals - dgAutoUpdateTotals);
    Grid->Work.clear();
    Grid->UpdateTotals(true);
    EXPECT_EQ(Count("totals"), 0);
    Grid->UpdateTotals(false);
    EXPECT_EQ(Count("totals"), 1);
    Grid->BeginUpdate();
    Grid->UpdateTotals(false);
    Grid->UpdateListItems(false);
    Grid->EndSelect();
    Grid->EndUpdate();
    EXPECT_EQ(Grid->Work.size(), 1u);
    // The totals need something to compute on rows that show or dgCalcInvisibleRows.
    Grid->SetOptionsEx(Grid->OptionsEx() - dgCalcInvisibleRows);
    Grid->Work.clear();
    Grid->UpdateTotals(false);
    EXPECT_EQ(Count("totals"), 0);
    // The sequence needs forced sequence with an active link.
    Grid->UpdateSequence(false);
    EXPECT_FALSE(Grid->SequencePending());
}

TEST_F(GridDelayedJobs, PerformDelayedRunsTheWaitingJobsInTheirOrderAndLeavesNoTimer) {
    auto dataSet = MakeNumberedSet(20);
    Grid->SetOptions(Grid->Options() + dgForceSequence);
    Link(dataSet.get());
    Host.AdvanceTime(1000);
    Grid->Work.clear();

    Grid->UpdateTotals(true);
    Grid->UpdateSequence(true);
    Grid->UpdateListItems(true);
    Grid->EndSelect();
    EXPECT_EQ(TMvDBGridTestAccess::TimerCount(*Grid), 4);
    EXPECT_TRUE(Grid->Work.empty());
    dataSet->Edit();
    dataSet->FieldByName(u"Name")->SetAsString(u"changed");

    Grid->PerformDelayed();
    EXPECT_EQ(Grid->Work, (std::vector<std::string>{"selection", "list items", "sequence", "totals"}));
    EXPECT_EQ(TMvDBGridTestAccess::TimerCount(*Grid), 0);
    EXPECT_EQ(dataSet->State(), dsBrowse); // the pending edit was posted first
    EXPECT_EQ(Grid->GetRecCount(), 20);
    Host.AdvanceTime(1000);
    EXPECT_EQ(Grid->Work.size(), 4u);
}

TEST_F(GridDelayedJobs, TheSequenceJobCountsAfterTheDelay) {
    auto dataSet = MakeNumberedSet(35);
    Grid->SetOptions(Grid->Options() + dgForceSequence);
    Link(dataSet.get());
    EXPECT_TRUE(Grid->SequencePending());
    EXPECT_EQ(Grid->GetRecCount(), 0);
    Host.AdvanceTime(DelayInterval);
    EXPECT_EQ(Grid->GetRecCount(), 35);
    EXPECT_EQ(Grid->GetRecNumber(), 1);
    // Appending a record changes the data: the count follows after the pause.
    dataSet->AppendRecord({Variant(36), Variant(u"Name36")});
    Host.AdvanceTime(DelayInterval);
    EXPECT_EQ(Grid->GetRecCount(), 36);
    EXPECT_EQ(Grid->GetRecNumber(), 36);
}

} // namespace
} // namespace mv::test
