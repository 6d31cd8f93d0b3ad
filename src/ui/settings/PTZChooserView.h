#pragma once

#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/ViewController.h"

#include <QList>

class PTZProfile;
class TableView;

// Picks the PTZ protocol of a camera from the ones its video profile allows, or
// None, reports the choice and leaves.
class PTZChooserView final : public ViewController, public TableViewDataSource, public TableViewDelegate
{
    Q_OBJECT

public:
    PTZChooserView(QList<const PTZProfile *> types, const PTZProfile *currentProfile, QWidget *parent = nullptr);

    TableView *tableView() const { return m_table; }

    int numberOfRows(TableView *table, int section) override;
    TableViewCell *cellForRow(TableView *table, const IndexPath &path) override;
    void didSelectRow(TableView *table, const IndexPath &path) override;

signals:
    // Null for None.
    void chosen(const PTZProfile *profile);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QList<const PTZProfile *> m_types;
    const PTZProfile *m_currentProfile;
    TableView *m_table;
};
