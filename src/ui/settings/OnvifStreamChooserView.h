#pragma once

#include "onvif/OnvifDeviceInfo.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/ViewController.h"

#include <QList>

class TableView;

// Picks the media profile an ONVIF camera plays as its main or grid stream from the
// ones the device offers, reports the choice and leaves.
class OnvifStreamChooserView final : public ViewController, public TableViewDataSource, public TableViewDelegate
{
    Q_OBJECT

public:
    OnvifStreamChooserView(const QString &title, QList<OnvifMediaProfile> profiles, const QString &currentToken,
                           QWidget *parent = nullptr);

    TableView *tableView() const { return m_table; }

    int numberOfRows(TableView *table, int section) override;
    TableViewCell *cellForRow(TableView *table, const IndexPath &path) override;
    void didSelectRow(TableView *table, const IndexPath &path) override;

signals:
    void chosen(const OnvifMediaProfile &profile);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QList<OnvifMediaProfile> m_profiles;
    QString m_currentToken;
    TableView *m_table;
};
