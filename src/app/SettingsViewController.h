#pragma once

#include "kit/TableViewDataSource.h"
#include "kit/TableViewDelegate.h"
#include "kit/ViewController.h"

class GroupListView;
class LiveViewHost;
class Preferences;
class TableView;

// The root of the settings stack. It owns the group store for the life of the
// application, and its Done button returns to the live view. The screens that
// edit groups, cameras and preferences hang below it.
class SettingsViewController final : public ViewController, public TableViewDataSource, public TableViewDelegate
{
    Q_OBJECT

public:
    SettingsViewController(LiveViewHost &host, Preferences &preferences, const QString &documentsDir,
                           QWidget *parent = nullptr);
    ~SettingsViewController() override;

    GroupListView &groupListController() const { return *m_groupList; }
    TableView *tableView() const { return m_table; }

    void viewWillAppear(bool animated) override;

    int numberOfRows(TableView *table, int section) override;
    TableViewCell *cellForRow(TableView *table, const IndexPath &path) override;
    QString titleForHeader(TableView *table, int section) override;
    QString titleForFooter(TableView *table, int section) override;
    void didSelectRow(TableView *table, const IndexPath &path) override;

private:
    LiveViewHost &m_host;
    GroupListView *m_groupList;
    TableView *m_table;
};
