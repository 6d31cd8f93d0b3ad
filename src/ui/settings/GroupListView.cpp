#include "ui/settings/GroupListView.h"

#include "config/GroupStore.h"
#include "kit/TableView.h"
#include "kit/TableViewCell.h"

GroupListView::GroupListView(Preferences &preferences, const QString &documentsDir, QWidget *parent)
    : ViewController(parent)
    , m_store(std::make_unique<GroupStore>(preferences, documentsDir))
    , m_table(new TableView(TableView::Style::Grouped, this))
{
    setTitle(QStringLiteral("Groups"));
    m_store->start();
    m_table->setDataSource(this);
    m_table->setDelegate(this);
}

GroupListView::~GroupListView() = default;

void GroupListView::resizeEvent(QResizeEvent *)
{
    m_table->setGeometry(rect());
}

void GroupListView::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    m_table->reloadData();
}

int GroupListView::numberOfRows(TableView *, int)
{
    return static_cast<int>(m_store->groups().size());
}

TableViewCell *GroupListView::cellForRow(TableView *, const IndexPath &path)
{
    auto *cell = new TableViewCell;
    cell->setText(m_store->groups().at(path.row).value(QStringLiteral("name")).toString());
    return cell;
}
