// TDataSource, the connector between a data set and its data-aware controls, and
// TDataLink, the base of every control's link: it follows the data set's events and keeps
// its own window of BufferCount records inside the data set's buffer window.
//
// Window of a link: rows FFirstRecord .. FFirstRecord + BufferCount - 1 of the data set's
// buffers. Each scroll, change and layout event moves FFirstRecord by the buffers' shift
// (the event's info) and then just far enough to contain the data set's active record;
// DataSetScrolled receives that last move. So several links with different BufferCounts
// each see consecutive records with the active one inside.
#pragma once

#include "platform/db/DB.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/TypInfo.h"

#include <functional>
#include <vector>

namespace mv {

using TDataChangeEvent = std::function<void(TObject* sender, TField* field)>;

class TDataSource : public TComponent {
    MV_CLASS(TDataSource, TComponent);

    explicit TDataSource(TComponent* owner);
    // Published: AutoEdit, DataSet, Enabled.
    static void RegisterProperties(TPropertyRegistrar<TDataSource>& r);
    // Detaches the links (their DataSource becomes null) and the data set.
    ~TDataSource() override;

    TDataSet* DataSet() const { return FDataSet; }
    // Raises EDatabaseError SCircularDataLink when dataSet takes its master values,
    // directly or through others, from this data source.
    void SetDataSet(TDataSet* dataSet);
    // A disabled source reports dsInactive to its links.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    // Controls put the data set into dsEdit when the user starts typing.
    bool AutoEdit() const { return FAutoEdit; }
    void SetAutoEdit(bool value) { FAutoEdit = value; }
    // The data set's state as this source passes it on (dsInactive when disabled/unlinked).
    TDataSetState State() const { return FState; }
    // Edit the data set when AutoEdit and in dsBrowse.
    void Edit();
    // Whether dataSet takes its master values from this source (directly or through others).
    bool IsLinkedTo(TDataSet* dataSet) const;
    Integer DataLinkCount() const { return static_cast<Integer>(FDataLinks.size()); }
    TDataLink* DataLinks(Integer index) const { return FDataLinks.at(static_cast<std::size_t>(index)); }

    // OnDataChange: a field (or, with null, the record/the window) changed.
    // OnStateChange: State changed. OnUpdateData: controls are asked to write their values.
    TDataChangeEvent OnDataChange;
    TNotifyEvent OnStateChange;
    TNotifyEvent OnUpdateData;

    void Notification(TComponent* component, TOperation operation) override;

protected:
    friend class TDataSet;
    friend class TDataLink;
    // Passes a data event to the links (visual controls first) and fires the events. With
    // allLinks false (controls disabled) only links that are not visual controls hear it
    // and no event fires.
    void DataEvent(TDataEvent event, NativeInt info, bool allLinks = true);
    void SetState(TDataSetState value);
    void UpdateState();
    void AddDataLink(TDataLink* dataLink);
    void RemoveDataLink(TDataLink* dataLink);

private:
    TDataSet* FDataSet = nullptr;
    std::vector<TDataLink*> FDataLinks;
    TDataSetState FState = dsInactive;
    bool FEnabled = true;
    bool FAutoEdit = true;
};

class TDataLink : public TPersistent {
public:
    TDataLink();
    // Leaves its data source.
    ~TDataLink() override;

    TDataSource* DataSource() const { return FDataSource; }
    // Raises EDatabaseError SDataSourceChange when DataSourceFixed.
    void SetDataSource(TDataSource* value);
    bool DataSourceFixed() const { return FDataSourceFixed; }
    void SetDataSourceFixed(bool value) { FDataSourceFixed = value; }
    TDataSet* DataSet() const;
    // Linked to an open data set through an enabled source.
    bool Active() const { return FActive; }
    // The data set is in an edit mode (through this link's source).
    bool Editing() const { return FEditing; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value);
    // Counts as a control of the data set: its events are held by DisableControls.
    bool VisualControl() const { return FVisualControl; }
    void SetVisualControl(bool value) { FVisualControl = value; }

    // 0-based row of the active record in this link's window (0 when inactive).
    // Assigning moves the data set's active record to that row of the link's window
    // without scrolling (used before a resync that keeps a record in its row).
    Integer ActiveRecord() const;
    void SetActiveRecord(Integer value);
    // Rows of the window that hold records: at most BufferCount (0 when inactive).
    Integer RecordCount() const;
    // Rows this link wants buffered (1 by default); the data set buffers the largest.
    Integer BufferCount() const { return FBufferCount; }
    void SetBufferCount(Integer value);
    bool Bof() const;
    bool Eof() const;
    // The data set's MoveBy; returns the distance moved.
    Integer MoveBy(Integer distance);
    // Asks the source to edit (AutoEdit); true when the data set is now editing.
    bool Edit();
    // Runs UpdateData with RecordChanged notifications suppressed for this link.
    void UpdateRecord();
    // Where ActiveRecord's row starts in the data set's buffers.
    Integer FirstRecord() const { return FFirstRecord; }

protected:
    friend class TDataSource;
    friend class TDataSet;

    // Notifications; all do nothing here.
    virtual void ActiveChanged() {}
    virtual void CheckBrowseMode() {}
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    // distance: how many rows this link's window moved through the records (positive forward).
    virtual void DataSetScrolled(Integer distance) {
        (void)distance;
        DataSetChanged();
    }
    virtual void EditingChanged() {}
    virtual void FocusControl(TFieldRef field) { (void)field; }
    virtual void LayoutChanged() { DataSetChanged(); }
    virtual void RecordChanged(TField* field) { (void)field; }
    virtual void UpdateData() {}
    // Dispatches a data event to the notifications above, keeping the window.
    virtual void DataEvent(TDataEvent event, NativeInt info);
    virtual Integer GetActiveRecord() const;
    virtual void SetActiveRecordValue(Integer value);
    virtual Integer GetRecordCount() const;
    virtual void SetBufferCountValue(Integer value);

    void UpdateState();
    void SetActive(bool value);
    void SetEditing(bool value);
    // Moves FFirstRecord so that the window fits the data set's buffers and holds the
    // active record; asks the data set to resize its window.
    void UpdateRange();

private:
    TDataSource* FDataSource = nullptr;
    TDataLink* FNext = nullptr; // the data set's chain of active links
    Integer FBufferCount = 1;
    Integer FFirstRecord = 0;
    bool FReadOnly = false;
    bool FActive = false;
    bool FVisualControl = false;
    bool FEditing = false;
    bool FUpdating = false;
    bool FDataSourceFixed = false;
};

} // namespace mv
