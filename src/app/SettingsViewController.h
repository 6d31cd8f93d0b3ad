#pragma once

#include "config/Value.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/ViewController.h"

class BarButtonItem;
class GroupListView;
class GroupStore;
class Preferences;
class SettingsHost;
class Switch;
class TableView;

// The root of the settings stack: the groups, the general settings, whether
// detected cameras join the live view, and the cameras discovery has found.
// It owns the group list screen; the store belongs to the application.
class SettingsViewController final : public ViewController, public TableViewDataSource, public TableViewDelegate
{
    Q_OBJECT

public:
    // The host, the store and the preferences outlive the root.
    SettingsViewController(SettingsHost &host, GroupStore &store, Preferences &preferences,
                           QWidget *parent = nullptr);

    GroupListView &groupListController() const { return *m_groupList; }
    TableView *tableView() const { return m_table; }
    Switch *showAuto() const { return m_showAuto; }
    BarButtonItem *doneButton() const { return m_doneButton; }

    void viewWillAppear(bool animated) override;

    int numberOfSections(TableView *table) override;
    int numberOfRows(TableView *table, int section) override;
    TableViewCell *cellForRow(TableView *table, const IndexPath &path) override;
    QString titleForHeader(TableView *table, int section) override;
    IndexPath willSelectRow(TableView *table, const IndexPath &path) override;
    void didSelectRow(TableView *table, const IndexPath &path) override;

public slots:
    void showAutoChanged();
    void doneButtonPressed();
    // A camera editor in viewing mode.
    void showCameraDetail(const Value &definition);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    TableViewCell *optionCell(int row);
    TableViewCell *groupsCell();

    SettingsHost &m_host;
    GroupStore &m_store;
    Preferences &m_preferences;
    Switch *m_showAuto;
    BarButtonItem *m_doneButton;
    GroupListView *m_groupList;
    TableView *m_table;
};
