#pragma once

#include "kit/TableViewDataSource.h"
#include "kit/TableViewDelegate.h"
#include "kit/ViewController.h"

#include <memory>

class GroupStore;
class Preferences;
class TableView;

// The group list screen over the installation's group store: it owns the store
// for the life of the application and presents its groups.
class GroupListView final : public ViewController, public TableViewDataSource, public TableViewDelegate
{
    Q_OBJECT

public:
    // Runs the store's start-up (documentsDir holds the group file).
    GroupListView(Preferences &preferences, const QString &documentsDir, QWidget *parent = nullptr);
    ~GroupListView() override;

    GroupStore &store() const { return *m_store; }
    TableView *tableView() const { return m_table; }

    void viewWillAppear(bool animated) override;

    int numberOfRows(TableView *table, int section) override;
    TableViewCell *cellForRow(TableView *table, const IndexPath &path) override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    std::unique_ptr<GroupStore> m_store;
    TableView *m_table;
};
