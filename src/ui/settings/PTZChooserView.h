#pragma once

#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/ViewController.h"

#include <QList>
#include <QPointer>

class CameraDetailView;
class PTZProfile;
class TableView;

// Picks the PTZ protocol of a camera from the ones its video profile allows, or
// None; the editor that pushed it hears the choice.
class PTZChooserView final : public ViewController, public TableViewDataSource, public TableViewDelegate
{
    Q_OBJECT

public:
    explicit PTZChooserView(QList<const PTZProfile *> types, const PTZProfile *currentProfile, CameraDetailView *lastView,
                   QWidget *parent = nullptr);

    TableView *tableView() const { return m_table; }

    int numberOfRows(TableView *table, int section) override;
    TableViewCell *cellForRow(TableView *table, const IndexPath &path) override;
    void didSelectRow(TableView *table, const IndexPath &path) override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QList<const PTZProfile *> m_types;
    QPointer<CameraDetailView> m_lastView;
    const PTZProfile *m_currentProfile;
    TableView *m_table;
};
