#include "ui/settings/GroupChooserView.h"

#include "config/GroupStore.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TableViewCell.h"
#include "ui/settings/CameraDetailView.h"
#include "ui/settings/GroupListView.h"
#include "ui/settings/GroupViewController.h"

namespace {
const QString CamerasKey = QStringLiteral("cameras");

// What a copy keeps of a definition: its own records, without what only lives
// in memory (a discovered camera's service handle).
Value storableCopyOf(const Value &camera)
{
    Value copy = camera.deepCopy();
    copy.remove(QStringLiteral("service"));
    return copy;
}
}

GroupChooserView::GroupChooserView(GroupStore &store, GroupListView &groupList, QWidget *parent)
    : ViewController(parent)
    , m_store(store)
    , m_groupList(groupList)
    , m_table(new TableView(TableView::Style::Plain, this))
{
    setTitle(tr("Select Group"));
    m_table->setDataSource(this);
    m_table->setDelegate(this);
    connect(&m_store, &GroupStore::groupListChanged, m_table, &TableView::reloadData);
    connect(&m_store, &GroupStore::groupChanged, m_table, &TableView::reloadData);
}

void GroupChooserView::setCurrentCamera(const Value &camera)
{
    m_currentCamera = camera;
}

void GroupChooserView::setNewGroup(const Value &group)
{
    m_newGroup = group;
}

void GroupChooserView::resizeEvent(QResizeEvent *)
{
    m_table->setGeometry(rect());
}

int GroupChooserView::numberOfRows(TableView *, int)
{
    return int(m_store.groups().size());
}

TableViewCell *GroupChooserView::cellForRow(TableView *, const IndexPath &path)
{
    auto *cell = new TableViewCell;
    cell->setText(GroupStore::displayedName(m_store.groups().at(path.row)));
    cell->setAccessoryType(TableViewCell::Accessory::DisclosureIndicator);
    return cell;
}

void GroupChooserView::didSelectRow(TableView *table, const IndexPath &path)
{
    table->deselectRow(path, true);
    const Value group = m_store.groups().at(path.row);
    if (!group.isDictionary())
        return;
    if (!m_newGroup.isNull())
        mergeInto(group);
    else
        copyInto(group);
}

void GroupChooserView::mergeInto(Value group)
{
    m_store.appendCameras(group, m_newGroup.value(CamerasKey).items());
    NavigationController *stack = navigationController();
    if (!stack)
        return;
    stack->setViewControllers({stack->viewControllers().constFirst(), &m_groupList}, false);
    m_groupList.showGroupDetail(group);
}

void GroupChooserView::copyInto(const Value &group)
{
    NavigationController *stack = navigationController();
    if (!stack || m_currentCamera.isNull())
        return;
    auto *editor = new CameraDetailView(m_store, TableView::Style::Grouped);
    editor->setKeyboardFixer(m_groupList.keyboardFixer());
    editor->setCurrentGroup(group);
    editor->setCameraDefinition(storableCopyOf(m_currentCamera));
    GroupViewController *groupEditor = m_groupList.groupController();
    groupEditor->setCurrentGroup(group);
    stack->setViewControllers({stack->viewControllers().constFirst(), &m_groupList, groupEditor, editor}, true);
}
