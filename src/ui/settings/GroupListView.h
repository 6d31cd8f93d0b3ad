#pragma once

#include "config/Value.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/ViewController.h"

#include <QPointer>

class GroupStore;
class GroupViewController;
class KeyboardFixer;
class TableView;

// The group list screen over the installation's group store, which outlives it:
// a tap selects a group, the detail button opens the group editor, and edit
// mode deletes and reorders groups.
class GroupListView final : public ViewController, public TableViewDataSource, public TableViewDelegate
{
    Q_OBJECT

public:
    explicit GroupListView(GroupStore &store, QWidget *parent = nullptr);

    GroupStore &store() const { return m_store; }
    TableView *tableView() const { return m_table; }
    // The one group editor, reused for every group; owned here.
    GroupViewController *groupController() const { return m_groupController; }
    // Not owned; passed on to the group editor and the editors it opens.
    void setKeyboardFixer(KeyboardFixer *fixer);
    KeyboardFixer *keyboardFixer() const;

    void showGroupDetail(const Value &group);
    void setEditing(bool editing, bool animated) override;
    void viewWillAppear(bool animated) override;

    int numberOfRows(TableView *table, int section) override;
    TableViewCell *cellForRow(TableView *table, const IndexPath &path) override;
    bool canEditRow(TableView *table, const IndexPath &path) override;
    bool canMoveRow(TableView *table, const IndexPath &path) override;
    void commitDelete(TableView *table, const IndexPath &path) override;
    void moveRow(TableView *table, const IndexPath &from, const IndexPath &to) override;
    IndexPath willSelectRow(TableView *table, const IndexPath &path) override;
    void didSelectRow(TableView *table, const IndexPath &path) override;
    void accessoryButtonTapped(TableView *table, const IndexPath &path) override;
    IndexPath targetForMove(TableView *table, const IndexPath &from, const IndexPath &proposed) override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    int groupCount() const;
    bool isGroupRow(const IndexPath &path) const;
    void storeChanged();

    GroupStore &m_store;
    // Set while the table animates a change this screen made, which a reload would cut short.
    bool m_animatingOwnChange = false;
    TableView *m_table;
    GroupViewController *m_groupController;
    QPointer<KeyboardFixer> m_keyboardFixer;
};
