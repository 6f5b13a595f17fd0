// The buffer window: filling at the ends, MoveBy results, resynchronising, bookmarks and
// several links with different buffer counts.
#include "platform/db/DBConsts.h"
#include "platform/db/DataSet.h"
#include "platform/db/DataSource.h"
#include "support/DbTestKit.h"

#include <gtest/gtest.h>

namespace mv::test {
namespace {

std::vector<Integer> Range(Integer first, Integer last) {
    std::vector<Integer> ids;
    for (Integer i = first; i <= last; ++i)
        ids.push_back(i);
    return ids;
}

Integer CurrentId(TDataSet& dataSet) {
    return dataSet.FieldByName(u"ID")->AsInteger();
}

TEST(DataSetWindow, FillsFromEitherEndAndMovesByTheDistanceReallyMoved) {
    auto dataSet = MakeNumbered(10);
    TDataSource source(nullptr);
    source.SetDataSet(dataSet.get());
    TRecordingLink link;
    link.SetBufferCount(4);
    link.SetDataSource(&source);
    dataSet->Open();

    EXPECT_TRUE(link.Active());
    EXPECT_EQ(dataSet->BufferCount(), 4);
    EXPECT_EQ(link.RecordCount(), 4);
    EXPECT_EQ(link.WindowIds(), Range(1, 4));
    EXPECT_EQ(link.ActiveRecord(), 0);
    EXPECT_TRUE(dataSet->Bof());
    EXPECT_FALSE(dataSet->Eof());
    EXPECT_EQ(dataSet->RecNo(), 1);

    // Inside the window only the active row moves; past its bottom the window scrolls.
    dataSet->ResetGetRecordCalls();
    EXPECT_EQ(dataSet->MoveBy(3), 3);
    EXPECT_EQ(dataSet->GetRecordCalls(), 0);
    EXPECT_EQ(link.ActiveRecord(), 3);
    EXPECT_FALSE(dataSet->Bof());
    link.Log.clear();
    dataSet->Next();
    EXPECT_EQ(dataSet->GetRecordCalls(), 1);
    EXPECT_EQ(link.Log, (std::vector<std::string>{"check", "scrolled 1"}));
    EXPECT_EQ(link.WindowIds(), Range(2, 5));
    EXPECT_EQ(link.ActiveRecord(), 3);
    EXPECT_EQ(CurrentId(*dataSet), 5);

    // Past the end: the distance really moved, then nothing at all.
    EXPECT_EQ(dataSet->MoveBy(100), 5);
    EXPECT_TRUE(dataSet->Eof());
    EXPECT_EQ(CurrentId(*dataSet), 10);
    EXPECT_EQ(link.WindowIds(), Range(7, 10));
    link.Log.clear();
    EXPECT_EQ(dataSet->MoveBy(1), 0);
    EXPECT_EQ(link.Log, std::vector<std::string>{"check"}); // no scroll at the end

    // The extreme distances reach an end and count the records on the way.
    EXPECT_EQ(dataSet->MoveBy(-2147483647), -9);
    EXPECT_TRUE(dataSet->Bof());
    EXPECT_EQ(link.WindowIds(), Range(1, 4));
    EXPECT_EQ(dataSet->MoveBy(2147483647), 9);
    EXPECT_EQ(dataSet->MoveBy(-2), -2);
    EXPECT_EQ(CurrentId(*dataSet), 8);
    EXPECT_EQ(link.ActiveRecord(), 1);

    // Last and First fill from their end.
    dataSet->First();
    dataSet->Last();
    EXPECT_TRUE(dataSet->Eof());
    EXPECT_EQ(link.WindowIds(), Range(7, 10));
    EXPECT_EQ(link.ActiveRecord(), 3);
    dataSet->ResetGetRecordCalls();
    dataSet->First();
    EXPECT_EQ(dataSet->GetRecordCalls(), 4);
    EXPECT_TRUE(dataSet->Bof());
    EXPECT_EQ(link.ActiveRecord(), 0);
    EXPECT_EQ(dataSet->RecordCount(), 10);

    dataSet->SetRecNo(6);
    EXPECT_EQ(CurrentId(*dataSet), 6);
    EXPECT_EQ(dataSet->RecNo(), 6);
    dataSet->Close();
    EXPECT_FALSE(link.Active());
    EXPECT_EQ(link.RecordCount(), 0);
}

TEST(DataSetWindow, EmptyAndShortDataSets) {
    auto empty = MakeNumbered(0);
    TDataSource source(nullptr);
    source.SetDataSet(empty.get());
    TRecordingLink link;
    link.SetBufferCount(5);
    link.SetDataSource(&source);
    empty->Open();
    EXPECT_TRUE(empty->IsEmpty());
    EXPECT_TRUE(empty->Bof());
    EXPECT_TRUE(empty->Eof());
    EXPECT_EQ(empty->MoveBy(1), 0);
    EXPECT_EQ(empty->MoveBy(-2147483647), 0);
    EXPECT_EQ(link.RecordCount(), 0);
    EXPECT_EQ(empty->RecNo(), -1);
    EXPECT_TRUE(empty->GetBookmark().empty());
    empty->Last();
    EXPECT_TRUE(empty->IsEmpty());

    // Three records in a window of ten: all shown, the link counts only the filled rows.
    auto shortSet = MakeNumbered(3);
    source.SetDataSet(shortSet.get());
    shortSet->Open();
    EXPECT_TRUE(link.Active());
    EXPECT_EQ(shortSet->BufferCount(), 5);
    EXPECT_EQ(link.RecordCount(), 3);
    EXPECT_EQ(shortSet->MoveBy(2147483647), 2);
    EXPECT_EQ(link.ActiveRecord(), 2);
    EXPECT_EQ(link.WindowIds(), Range(1, 3));
    shortSet->Last();
    EXPECT_EQ(link.WindowIds(), Range(1, 3));
    EXPECT_EQ(link.ActiveRecord(), 2);
}

TEST(DataSetWindow, ResyncKeepsARecordInItsRowOrCentresIt) {
    auto dataSet = MakeNumbered(100);
    TDataSource source(nullptr);
    source.SetDataSet(dataSet.get());
    TRecordingLink link;
    link.SetBufferCount(10);
    link.SetDataSource(&source);
    dataSet->Open();

    dataSet->MoveBy(49);
    TBookmark fifty = dataSet->GetBookmark();
    ASSERT_FALSE(fifty.empty());
    dataSet->First();

    // The grid's "go to position": row 6 chosen first, then the exact move.
    link.SetActiveRecord(6);
    dataSet->GotoBookmarkInRow(fifty);
    EXPECT_EQ(CurrentId(*dataSet), 50);
    EXPECT_EQ(link.ActiveRecord(), 6);
    EXPECT_EQ(link.WindowIds(), Range(44, 53));

    // Near the start there are not enough records above: the record rises to its real row.
    dataSet->First();
    dataSet->MoveBy(2);
    TBookmark three = dataSet->GetBookmark();
    dataSet->Last();
    link.SetActiveRecord(6);
    dataSet->GotoBookmarkInRow(three);
    EXPECT_EQ(link.ActiveRecord(), 2);
    EXPECT_EQ(link.WindowIds(), Range(1, 10));

    // GotoBookmark centres.
    dataSet->GotoBookmark(fifty);
    EXPECT_EQ(link.ActiveRecord(), 4);
    EXPECT_EQ(link.WindowIds(), Range(46, 55));

    // Editing and posting keeps the record in its row.
    dataSet->MoveBy(3);
    dataSet->Edit();
    dataSet->FieldByName(u"Name")->SetAsString(u"Changed");
    dataSet->Post();
    EXPECT_EQ(link.ActiveRecord(), 7);
    EXPECT_EQ(CurrentId(*dataSet), 53);
    EXPECT_EQ(dataSet->FieldByName(u"Name")->AsString(), u"Changed");

    // Refresh keeps the row too; an exact resync on a record that is gone raises.
    dataSet->Refresh();
    EXPECT_EQ(link.ActiveRecord(), 7);
    dataSet->Delete();
    EXPECT_EQ(CurrentId(*dataSet), 54);
    EXPECT_EQ(link.ActiveRecord(), 7);
    TBookmark gone = fifty;
    dataSet->GotoBookmark(fifty);
    dataSet->Delete();
    EXPECT_FALSE(dataSet->BookmarkValid(gone));
    try {
        dataSet->GotoBookmark(gone);
        ADD_FAILURE() << "GotoBookmark of a deleted record did not raise";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), DBConsts::SRecordNotFound);
    }
}

TEST(DataSetWindow, BookmarksSurviveEditsInsertsAndDeletes) {
    auto dataSet = MakeNumbered(10);
    dataSet->Open();
    dataSet->MoveBy(6);
    TBookmark seven = dataSet->GetBookmark();
    dataSet->First();
    TBookmark one = dataSet->GetBookmark();
    EXPECT_LT(dataSet->CompareBookmarks(one, seven), 0);
    EXPECT_GT(dataSet->CompareBookmarks(seven, one), 0);
    EXPECT_EQ(dataSet->CompareBookmarks(seven, seven), 0);
    EXPECT_EQ(dataSet->CompareBookmarks({}, {}), 0);

    dataSet->Insert();
    dataSet->FieldByName(u"ID")->SetAsInteger(0);
    EXPECT_TRUE(dataSet->GetBookmark().empty()); // a record being inserted has none yet
    dataSet->Post();
    dataSet->MoveBy(3);
    dataSet->Delete();
    dataSet->GotoBookmark(seven);
    EXPECT_EQ(CurrentId(*dataSet), 7);
    dataSet->Edit();
    dataSet->FieldByName(u"Name")->SetAsString(u"Seven");
    dataSet->Post();
    dataSet->First();
    dataSet->GotoBookmark(seven);
    EXPECT_EQ(dataSet->FieldByName(u"Name")->AsString(), u"Seven");
    EXPECT_TRUE(dataSet->BookmarkValid(one));
    EXPECT_LT(dataSet->CompareBookmarks(one, seven), 0);
    dataSet->GotoBookmark({}); // nothing happens
    EXPECT_EQ(CurrentId(*dataSet), 7);
}

TEST(DataLinkWindows, LinksWithDifferentBufferCountsSeeConsistentWindows) {
    auto dataSet = MakeNumbered(100);
    TDataSource source(nullptr);
    source.SetDataSet(dataSet.get());
    TRecordingLink big, small;
    big.SetBufferCount(10);
    small.SetBufferCount(3);
    big.SetDataSource(&source);
    small.SetDataSource(&source);
    dataSet->Open();
    EXPECT_EQ(dataSet->BufferCount(), 10);

    auto check = [&](Integer id) {
        EXPECT_EQ(CurrentId(*dataSet), id);
        for (TRecordingLink* link : {&big, &small}) {
            std::vector<Integer> ids = link->WindowIds();
            ASSERT_EQ(static_cast<Integer>(ids.size()), link->RecordCount());
            ASSERT_GE(link->ActiveRecord(), 0);
            ASSERT_LT(link->ActiveRecord(), link->RecordCount());
            EXPECT_EQ(ids[static_cast<std::size_t>(link->ActiveRecord())], id);
            for (std::size_t i = 1; i < ids.size(); ++i)
                EXPECT_EQ(ids[i], ids[i - 1] + 1);
        }
    };
    check(1);
    EXPECT_EQ(small.WindowIds(), Range(1, 3));

    small.Log.clear();
    dataSet->MoveBy(4);
    check(5);
    EXPECT_EQ(small.WindowIds(), Range(3, 5));
    EXPECT_EQ(small.Log, (std::vector<std::string>{"check", "scrolled 2"}));
    EXPECT_EQ(big.WindowIds(), Range(1, 10));

    dataSet->MoveBy(7);
    check(12);
    EXPECT_EQ(big.WindowIds(), Range(3, 12));
    EXPECT_EQ(small.WindowIds(), Range(10, 12));

    small.Log.clear();
    dataSet->MoveBy(-5);
    check(7);
    EXPECT_EQ(small.WindowIds(), Range(7, 9));
    EXPECT_EQ(small.Log, (std::vector<std::string>{"check", "scrolled -3"}));
    EXPECT_EQ(big.WindowIds(), Range(3, 12));

    // Shrinking the big link shrinks the data set's window around the active record.
    dataSet->MoveBy(5);
    big.SetBufferCount(4);
    EXPECT_EQ(dataSet->BufferCount(), 4);
    check(12);
    big.SetBufferCount(20);
    EXPECT_EQ(dataSet->BufferCount(), 20);
    check(12);
    dataSet->Last();
    check(100);
    EXPECT_EQ(big.WindowIds(), Range(81, 100));
    EXPECT_EQ(small.WindowIds(), Range(98, 100));
    small.SetDataSource(nullptr);
    EXPECT_FALSE(small.Active());
    EXPECT_EQ(small.RecordCount(), 0);
}

} // namespace
} // namespace mv::test
