#include "SettingsViewController.h"

#include "config/GroupStore.h"
#include "settings/GroupListView.h"
#include "kit/BarButtonItem.h"
#include "kit/TableView.h"
#include "kit/TableViewCell.h"
#include "live/LiveViewHost.h"

#include <QVBoxLayout>

SettingsViewController::SettingsViewController(LiveViewHost &host, Preferences &preferences,
                                               const QString &documentsDir, QWidget *parent)
    : ViewController(parent)
    , m_host(host)
    , m_groupList(new GroupListView(preferences, documentsDir, this))
    , m_table(new TableView(TableView::Style::Grouped, this))
{
    setTitle(QStringLiteral("Settings"));
    m_groupList->hide();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table);
    m_table->setDataSource(this);
    m_table->setDelegate(this);
    auto *done = new BarButtonItem(BarButtonItem::SystemItem::Done);
    setRightBarButtonItem(done);
    // The groups are written at once rather than with the next periodic save, so a
    // crash soon after editing loses nothing.
    connect(done, &BarButtonItem::triggered, this, [this] {
        m_groupList->store().persistBulkData();
        m_host.switchToView(LiveViewHost::View::Multi);
    });
}

SettingsViewController::~SettingsViewController() = default;

void SettingsViewController::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    m_table->reloadData();
}

int SettingsViewController::numberOfRows(TableView *, int)
{
    return static_cast<int>(m_groupList->store().groups().size());
}

TableViewCell *SettingsViewController::cellForRow(TableView *, const IndexPath &path)
{
    auto *cell = new TableViewCell;
    const Value group = m_groupList->store().groups().at(path.row);
    cell->setText(group.value(QStringLiteral("name")).toString());
    const qsizetype cameras = group.value(QStringLiteral("cameras")).size();
    cell->setDetailText(cameras == 1 ? QStringLiteral("1 camera") : QStringLiteral("%1 cameras").arg(cameras));
    if (group.isSameObject(m_groupList->store().selectedGroup()))
        cell->setAccessoryType(TableViewCell::Accessory::Checkmark);
    return cell;
}

QString SettingsViewController::titleForHeader(TableView *, int)
{
    return QStringLiteral("Groups");
}

QString SettingsViewController::titleForFooter(TableView *, int)
{
    return QStringLiteral("The live view shows the enabled cameras of the checked group.");
}

void SettingsViewController::didSelectRow(TableView *table, const IndexPath &path)
{
    m_groupList->store().setSelectedGroup(m_groupList->store().groups().at(path.row));
    m_groupList->store().persistGroupSelection();
    table->reloadData();
}
