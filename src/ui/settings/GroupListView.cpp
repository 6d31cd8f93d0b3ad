#include "ui/settings/GroupListView.h"

#include "config/GroupStore.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TableViewCell.h"
#include "ui/kit/Theme.h"
#include "ui/settings/GroupViewController.h"
#include "ui/settings/KeyboardFixer.h"

namespace {
QPixmap checkImage(bool checked)
{
    return QPixmap(checked ? QStringLiteral(":/images/check.png") : QStringLiteral(":/images/no_check.png"));
}

QFont italicFont()
{
    return Theme::font(17, false, true);
}
}

GroupListView::GroupListView(GroupStore &store, QWidget *parent)
    : ViewController(parent)
    , m_store(store)
    , m_table(new TableView(TableView::Style::Grouped, this))
{
    setTitle(tr("Groups"));
    m_table->setDataSource(this);
    m_table->setDelegate(this);
    m_groupController = new GroupViewController(store, TableView::Style::Grouped, this);
    m_groupController->hide();
    setRightBarButtonItem(editButtonItem());
    connect(&m_store, &GroupStore::groupListChanged, this, &GroupListView::storeChanged);
    connect(&m_store, &GroupStore::selectionChanged, this, &GroupListView::storeChanged);
    connect(&m_store, &GroupStore::groupChanged, this, &GroupListView::storeChanged);
}

void GroupListView::storeChanged()
{
    if (!m_animatingOwnChange)
        m_table->reloadData();
}

void GroupListView::setKeyboardFixer(KeyboardFixer *fixer)
{
    m_keyboardFixer = fixer;
    m_groupController->setKeyboardFixer(fixer);
}

KeyboardFixer *GroupListView::keyboardFixer() const
{
    return m_keyboardFixer;
}

void GroupListView::resizeEvent(QResizeEvent *)
{
    m_table->setGeometry(rect());
}

int GroupListView::groupCount() const
{
    return int(m_store.groups().size());
}

bool GroupListView::isGroupRow(const IndexPath &path) const
{
    return path.section == 0 && path.row >= 0 && path.row < groupCount();
}

void GroupListView::showGroupDetail(const Value &group)
{
    m_groupController->setCurrentGroup(group);
    if (NavigationController *stack = navigationController())
        stack->pushViewController(m_groupController, true);
}

void GroupListView::setEditing(bool editing, bool animated)
{
    // The edit button item sets the current mode once when it is made; only a change counts.
    const bool changed = editing != isEditing();
    ViewController::setEditing(editing, animated);
    if (!changed)
        return;
    m_table->setEditing(editing, animated);
    setHidesBackButton(editing, animated);
    const int count = groupCount();
    if (count == 0) {
        // The list is never left empty: either way out of an empty edit gets a group.
        m_store.addDefaultGroupIfEmpty();
    } else if (editing) {
        m_table->deleteRows({{0, count}}, TableView::RowAnimation::Left);
    } else {
        m_table->insertRows({{0, count}}, TableView::RowAnimation::Left);
    }
}

void GroupListView::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    m_table->reloadData();
    m_table->scrollToTop(false);
}

int GroupListView::numberOfRows(TableView *, int)
{
    const int count = groupCount();
    if (isEditing())
        return count == 0 ? 1 : count;
    return count + 1;
}

TableViewCell *GroupListView::cellForRow(TableView *, const IndexPath &path)
{
    auto *cell = new TableViewCell;
    if (isGroupRow(path)) {
        const Value group = m_store.groups().at(path.row);
        cell->setText(GroupStore::displayedName(group));
        cell->setImage(checkImage(group.isSameObject(m_store.selectedGroup())));
        cell->setAccessoryType(TableViewCell::Accessory::DetailDisclosureButton);
    } else if (isEditing()) {
        cell->setText(tr("no groups defined"));
        cell->setTextFont(italicFont());
        cell->setSelectionStyle(TableViewCell::SelectionStyle::None);
        cell->setImage(checkImage(false));
    } else {
        cell->setText(tr("add new group..."));
        cell->setTextFont(italicFont());
        cell->setAccessoryType(TableViewCell::Accessory::DisclosureIndicator);
        cell->setImage(checkImage(false));
    }
    return cell;
}

bool GroupListView::canEditRow(TableView *, const IndexPath &path)
{
    return isGroupRow(path);
}

bool GroupListView::canMoveRow(TableView *, const IndexPath &path)
{
    return isGroupRow(path);
}

void GroupListView::commitDelete(TableView *table, const IndexPath &path)
{
    if (!isGroupRow(path))
        return;
    m_animatingOwnChange = true;
    m_store.removeGroup(path.row);
    table->beginUpdates();
    table->deleteRows({path}, TableView::RowAnimation::Left);
    if (groupCount() == 0)
        table->insertRows({path}, TableView::RowAnimation::Right);
    table->endUpdates();
    m_animatingOwnChange = false;
}

void GroupListView::moveRow(TableView *, const IndexPath &from, const IndexPath &to)
{
    if (!isGroupRow(from) || !isGroupRow(to))
        return;
    // The table has moved the row already.
    m_animatingOwnChange = true;
    m_store.moveGroup(from.row, to.row);
    m_animatingOwnChange = false;
}

IndexPath GroupListView::targetForMove(TableView *, const IndexPath &, const IndexPath &proposed)
{
    // Nothing may land after the last group, where the add row lives outside edit mode.
    const int count = groupCount();
    if (proposed.row >= count)
        return {0, count - 1};
    return proposed;
}

IndexPath GroupListView::willSelectRow(TableView *, const IndexPath &path)
{
    return isEditing() && groupCount() == 0 ? IndexPath() : path;
}

void GroupListView::didSelectRow(TableView *table, const IndexPath &path)
{
    table->deselectRow(path, true);
    if (isGroupRow(path)) {
        m_store.selectGroup(m_store.groups().at(path.row));
    } else if (!isEditing() && path.row == groupCount()) {
        showGroupDetail(m_store.addGroup());
    }
}

void GroupListView::accessoryButtonTapped(TableView *, const IndexPath &path)
{
    if (isGroupRow(path))
        showGroupDetail(m_store.groups().at(path.row));
}
