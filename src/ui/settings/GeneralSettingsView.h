#pragma once

#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/ViewController.h"

class Preferences;
class QLabel;
class SettingsHost;
class TableView;

// Help on the web and by e-mail, the registration form, the PIN that guards the
// settings in kiosk mode, the debug settings, and
// the about texts: logo, version and copyright above, the device identifier below.
class GeneralSettingsView final : public ViewController, public TableViewDataSource, public TableViewDelegate
{
    Q_OBJECT

public:
    // The host and the preferences outlive the screen.
    GeneralSettingsView(SettingsHost &host, Preferences &preferences, QWidget *parent = nullptr);

    TableView *tableView() const { return m_table; }

    void viewWillAppear(bool animated) override;

    int numberOfSections(TableView *table) override;
    int numberOfRows(TableView *table, int section) override;
    TableViewCell *cellForRow(TableView *table, const IndexPath &path) override;
    void didSelectRow(TableView *table, const IndexPath &path) override;

protected:
    void resizeEvent(QResizeEvent *event) override;

    // Asked twice; an empty one removes the PIN.
    void askForNewPin();

private:
    QLabel *makeLabel(const QString &text, QWidget *parent);
    QWidget *makeHeader();

    SettingsHost &m_host;
    Preferences &m_preferences;
    TableView *m_table;
};
