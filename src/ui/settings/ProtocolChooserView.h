#pragma once

#include "config/Value.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/ViewController.h"

#include <QPointer>

class GroupStore;
class KeyboardFixer;
class TableView;

// The first step of a new camera: which kind of video source it is. Opens an
// editor for a new camera of the chosen profile in the group.
class ProtocolChooserView final : public ViewController, public TableViewDataSource, public TableViewDelegate
{
    Q_OBJECT

public:
    // The store outlives the chooser and the editors it opens.
    ProtocolChooserView(GroupStore &store, const Value &currentGroup, QWidget *parent = nullptr);

    TableView *tableView() const { return m_table; }
    Value currentGroup() const { return m_currentGroup; }
    // Handed on to the editors this chooser opens; not owned.
    void setKeyboardFixer(KeyboardFixer *fixer);

    int numberOfSections(TableView *table) override;
    int numberOfRows(TableView *table, int section) override;
    TableViewCell *cellForRow(TableView *table, const IndexPath &path) override;
    QString titleForHeader(TableView *table, int section) override;
    void didSelectRow(TableView *table, const IndexPath &path) override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    GroupStore &m_store;
    Value m_currentGroup;
    QPointer<KeyboardFixer> m_keyboardFixer;
    TableView *m_table;
};
