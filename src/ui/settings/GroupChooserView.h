#pragma once

#include "config/Value.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/ViewController.h"

class GroupListView;
class GroupStore;
class TableView;

// Picks the group that receives a camera ("Copy To Group") or the cameras of a
// received group. Its creator sets exactly one of the two.
class GroupChooserView final : public ViewController, public TableViewDataSource, public TableViewDelegate
{
    Q_OBJECT

public:
    // The store gives the groups, the group list screen the way back and the group
    // editor; both outlive the chooser.
    GroupChooserView(GroupStore &store, GroupListView &groupList, QWidget *parent = nullptr);

    TableView *tableView() const { return m_table; }
    Value currentCamera() const { return m_currentCamera; }
    void setCurrentCamera(const Value &camera);
    Value newGroup() const { return m_newGroup; }
    void setNewGroup(const Value &group);

    int numberOfRows(TableView *table, int section) override;
    TableViewCell *cellForRow(TableView *table, const IndexPath &path) override;
    void didSelectRow(TableView *table, const IndexPath &path) override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void mergeInto(Value group);
    void copyInto(const Value &group);

    GroupStore &m_store;
    GroupListView &m_groupList;
    Value m_currentCamera;
    Value m_newGroup;
    TableView *m_table;
};
