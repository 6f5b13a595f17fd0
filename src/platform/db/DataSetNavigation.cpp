// TDataSet: the buffer window and moving through the records.
//
// [SECTION] The window        SetBufListSize, SetBufferCount, UpdateBufferCount, MoveBuffer,
//                             GetNextRecord(s), GetPriorRecord(s), SetCurrentRecord
// [SECTION] Moving            First, Last, MoveBy, Resync, Refresh, FindRecord, SetRecNoValue
// [SECTION] Bookmarks         GetBookmark, GotoBookmark, GotoBookmarkInRow
//
// Invariant between operations: 0 <= FRecordCount <= FBufferCount, FActiveRecord <
// FRecordCount unless the set is empty, FBuffers.size() == FBufferCount + 1, and the
// buffers 0..FRecordCount-1 hold consecutive records of the derived cursor in order.
#include "platform/db/DataSet.h"

#include "platform/db/DBConsts.h"
#include "platform/db/DataSource.h"

#include <algorithm>
#include <cassert>

namespace mv {

// ======================================================================================
// [SECTION] The window
// ======================================================================================

void TDataSet::SetBufListSize(Integer value) {
    auto size = static_cast<std::size_t>(value);
    if (FBuffers.size() == size) return;
    if (FBuffers.size() > size) {
        for (std::size_t i = size; i < FBuffers.size(); ++i)
            FreeRecordBuffer(FBuffers[i]);
        FBuffers.resize(size);
        return;
    }
    std::size_t oldSize = FBuffers.size();
    FBuffers.reserve(size);
    try {
        while (FBuffers.size() < size)
            FBuffers.push_back(AllocRecordBuffer());
    } catch (...) {
        for (std::size_t i = oldSize; i < FBuffers.size(); ++i)
            FreeRecordBuffer(FBuffers[i]);
        FBuffers.resize(oldSize);
        throw;
    }
}

void TDataSet::SetBufferCount(Integer value) {
    if (FBufferCount == value) return;
    // Links' windows follow their records when the buffers shift under them.
    auto adjustFirstRecords = [this](Integer delta) {
        if (delta == 0) return;
        for (TDataLink* link = FFirstDataLink; link != nullptr; link = link->FNext)
            if (link->Active()) link->FFirstRecord += delta;
    };
    if (FBufferCount > value && FRecordCount > 0) {
        // Drop records above the topmost row any link shows, keeping the active one.
        Integer delta = FActiveRecord;
        for (TDataLink* link = FFirstDataLink; link != nullptr; link = link->FNext)
            if (link->Active() && link->FFirstRecord < delta) delta = link->FFirstRecord;
        delta = std::max({delta, FActiveRecord - value + 1, 0});
        for (Integer i = 0; i < value; ++i)
            if (static_cast<std::size_t>(i + delta) < FBuffers.size()) MoveBuffer(i + delta, i);
        FActiveRecord -= delta;
        if (FCurrentRecord != -1) FCurrentRecord -= delta;
        FRecordCount = std::min(FRecordCount - delta, value);
        adjustFirstRecords(-delta);
    }
    SetBufListSize(value + 1);
    FBufferCount = value;
    if (!ComponentState().Contains(csDestroying)) {
        GetNextRecords();
        adjustFirstRecords(GetPriorRecords());
    }
}

void TDataSet::UpdateBufferCount() {
    if (!IsCursorOpen()) return;
    Integer maxBufferCount = 1;
    FFirstDataLink = nullptr;
    for (auto source = FDataSources.rbegin(); source != FDataSources.rend(); ++source) {
        const auto& links = (*source)->FDataLinks;
        for (auto link = links.rbegin(); link != links.rend(); ++link) {
            (*link)->FNext = FFirstDataLink;
            FFirstDataLink = *link;
            maxBufferCount = std::max(maxBufferCount, (*link)->FBufferCount);
        }
    }
    SetBufferCount(maxBufferCount);
}

void TDataSet::ClearBuffers() {
    FRecordCount = 0;
    FActiveRecord = 0;
    FCurrentRecord = -1;
    FBOF = true;
    FEOF = true;
}

void TDataSet::ActivateBuffers() {
    FRecordCount = 1;
    FActiveRecord = 0;
    FCurrentRecord = 0;
    FBOF = false;
    FEOF = false;
}

void TDataSet::MoveBuffer(Integer curIndex, Integer newIndex) {
    if (curIndex == newIndex) return;
    auto first = FBuffers.begin();
    if (curIndex < newIndex)
        std::rotate(first + curIndex, first + curIndex + 1, first + newIndex + 1);
    else
        std::rotate(first + newIndex, first + curIndex, first + curIndex + 1);
}

void TDataSet::SetCurrentRecord(Integer index) {
    if (FCurrentRecord == index) return;
    if (!FIsUniDirectional) {
        TRecordBuffer buffer = FBuffers[static_cast<std::size_t>(index)];
        switch (GetBookmarkFlag(buffer)) {
        case bfCurrent:
        case bfInserted:
            InternalSetToRecord(buffer);
            break;
        case bfBOF:
            InternalFirst();
            break;
        case bfEOF:
            InternalLast();
            break;
        }
    }
    FCurrentRecord = index;
}

void TDataSet::UpdateCursorPos() {
    if (FRecordCount > 0) SetCurrentRecord(FActiveRecord);
}

bool TDataSet::GetNextRecord() {
    TGetMode mode = gmNext;
    if (FRecordCount > 0) {
        SetCurrentRecord(FRecordCount - 1);
        // The record being inserted at the bottom stands in front of the cursor's record.
        if (FState == dsInsert && FCurrentRecord == FActiveRecord &&
            GetBookmarkFlag(ActiveBuffer()) == bfCurrent)
            mode = gmCurrent;
    }
    if (GetRecord(FBuffers[static_cast<std::size_t>(FRecordCount)], mode, true) != grOK) {
        CursorPosChanged();
        return false;
    }
    if (FRecordCount == 0)
        ActivateBuffers();
    else if (FRecordCount < FBufferCount)
        ++FRecordCount;
    else
        MoveBuffer(0, FRecordCount);
    FCurrentRecord = FRecordCount - 1;
    return true;
}

bool TDataSet::GetPriorRecord() {
    CheckBiDirectional();
    if (FRecordCount > 0) SetCurrentRecord(0);
    if (GetRecord(FBuffers[static_cast<std::size_t>(FRecordCount)], gmPrior, true) != grOK) {
        CursorPosChanged();
        return false;
    }
    if (FRecordCount == 0) {
        ActivateBuffers();
    } else {
        MoveBuffer(FRecordCount, 0);
        if (FRecordCount < FBufferCount) {
            ++FRecordCount;
            ++FActiveRecord;
        }
    }
    FCurrentRecord = 0;
    return true;
}

Integer TDataSet::GetNextRecords() {
    Integer result = 0;
    while (FRecordCount < FBufferCount && GetNextRecord())
        ++result;
    return result;
}

Integer TDataSet::GetPriorRecords() {
    Integer result = 0;
    // A forward-only set never reads backwards; filling the window from below is only a
    // nicety of bidirectional sets.
    if (IsUniDirectional()) return 0;
    while (FRecordCount < FBufferCount && GetPriorRecord())
        ++result;
    return result;
}

// ======================================================================================
// [SECTION] Moving
// ======================================================================================

void TDataSet::First() {
    CheckBrowseMode();
    DoBeforeScroll();
    ClearBuffers();
    try {
        InternalFirst();
        GetNextRecord();
        GetNextRecords();
    } catch (...) {
        FBOF = true;
        DataEvent(deDataSetChange, 0);
        throw;
    }
    FBOF = true;
    DataEvent(deDataSetChange, 0);
    DoAfterScroll();
}

void TDataSet::Last() {
    CheckBiDirectional();
    CheckBrowseMode();
    DoBeforeScroll();
    ClearBuffers();
    try {
        InternalLast();
        GetPriorRecord();
        GetPriorRecords();
    } catch (...) {
        FEOF = true;
        DataEvent(deDataSetChange, 0);
        throw;
    }
    FEOF = true;
    DataEvent(deDataSetChange, 0);
    DoAfterScroll();
}

Integer TDataSet::MoveBy(Integer distance) {
    CheckBrowseMode();
    Integer result = 0;
    DoBeforeScroll();
    if (!((distance > 0 && !FEOF) || (distance < 0 && !FBOF))) return 0;
    FBOF = false;
    FEOF = false;
    // How far the buffered records moved in the window: -1 for each record dropped at the
    // top while fetching forward, +1 for each record inserted at the top going back.
    Integer shift = 0;
    try {
        while (distance > 0) {
            if (FActiveRecord < FRecordCount - 1) {
                ++FActiveRecord;
            } else {
                bool full = FRecordCount >= FBufferCount;
                if (!GetNextRecord()) {
                    FEOF = true;
                    break;
                }
                if (full)
                    --shift;
                else
                    FActiveRecord = FRecordCount - 1;
            }
            --distance;
            ++result;
        }
        while (distance < 0) {
            if (FActiveRecord > 0) {
                --FActiveRecord;
            } else {
                if (!GetPriorRecord()) {
                    FBOF = true;
                    break;
                }
                ++shift;
                FActiveRecord = 0;
            }
            ++distance;
            --result;
        }
    } catch (...) {
        DataEvent(deDataSetScroll, shift);
        throw;
    }
    DataEvent(deDataSetScroll, shift);
    DoAfterScroll();
    return result;
}

void TDataSet::Resync(TResyncModes mode) {
    if (FIsUniDirectional) return;
    TRecordBuffer spare = FBuffers[static_cast<std::size_t>(FRecordCount)];
    if (mode.Contains(rmExact)) {
        CursorPosChanged();
        if (GetRecord(spare, gmCurrent, true) != grOK) DatabaseError(DBConsts::SRecordNotFound, this);
    } else if (GetRecord(spare, gmCurrent, false) != grOK && GetRecord(spare, gmNext, false) != grOK &&
               GetRecord(spare, gmPrior, false) != grOK) {
        ClearBuffers();
        DataEvent(deDataSetChange, 0);
        return;
    }
    Integer count = mode.Contains(rmCenter) ? (FBufferCount - 1) / 2 : FActiveRecord;
    MoveBuffer(FRecordCount, 0);
    ActivateBuffers();
    try {
        while (count > 0 && GetPriorRecord())
            --count;
        GetNextRecords();
        GetPriorRecords();
    } catch (...) {
        DataEvent(deDataSetChange, 0);
        throw;
    }
    DataEvent(deDataSetChange, 0);
}

void TDataSet::Refresh() {
    DoBeforeRefresh();
    CheckBrowseMode();
    UpdateCursorPos();
    try {
        InternalRefresh();
    } catch (...) {
        Resync({});
        throw;
    }
    Resync({});
    DoAfterRefresh();
}

bool TDataSet::FindRecord(bool restart, bool goForward) {
    CheckBrowseMode();
    UpdateCursorPos();
    CursorPosChanged();
    if (restart) {
        if (goForward)
            First();
        else
            Last();
        return !IsEmpty();
    }
    return MoveBy(goForward ? 1 : -1) != 0;
}

void TDataSet::SetRecNoValue(Integer value) {
    // Data sets that number their records override this with a direct jump.
    Integer current = GetRecNo();
    if (current > 0 && value > 0 && value != current) MoveBy(value - current);
}

// ======================================================================================
// [SECTION] Bookmarks
// ======================================================================================

bool TDataSet::BookmarkAvailable() const {
    TDataSetState state = FState;
    return (state == dsBrowse || state == dsEdit || state == dsInsert) && !IsEmpty() &&
           GetBookmarkFlag(ActiveBuffer()) == bfCurrent;
}

TBookmark TDataSet::GetBookmark() const {
    TBookmark result;
    if (BookmarkAvailable()) {
        result.resize(static_cast<std::size_t>(FBookmarkSize));
        GetBookmarkData(ActiveBuffer(), result);
    }
    return result;
}

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
    if (bookmark.empty()) return;
    CheckBrowseMode();
    DoBeforeScroll();
    InternalGotoBookmark(bookmark);
    Resync({rmExact, rmCenter});
    DoAfterScroll();
}

void TDataSet::GotoBookmarkInRow(const TBookmark& bookmark) {
    if (bookmark.empty()) return;
    CheckBrowseMode();
    DoBeforeScroll();
    InternalGotoBookmark(bookmark);
    Resync({rmExact});
    DoAfterScroll();
}

bool TDataSet::BookmarkValid(const TBookmark&) {
    return false;
}

Integer TDataSet::CompareBookmarks(const TBookmark&, const TBookmark&) {
    return 0;
}

} // namespace mv
