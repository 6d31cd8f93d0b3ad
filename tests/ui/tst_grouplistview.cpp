#include "config/DefaultSettings.h"
#include "config/GroupStore.h"
#include "platform/Preferences.h"
#include "ui/kit/BarButtonItem.h"
#include "ui/kit/CellControl.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/RoundedButton.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TableViewCell.h"
#include "ui/kit/TextField.h"
#include "ui/settings/CameraDetailView.h"
#include "ui/settings/GroupChooserView.h"
#include "ui/settings/GroupListView.h"
#include "ui/settings/GroupViewController.h"
#include "util/QelLog.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString s(const char *text)
{
    return QString::fromLatin1(text);
}

Value camera(const char *title)
{
    Value c = Value::dictionary();
    c.insert(s("title"), s(title));
    Value video = Value::dictionary();
    video.insert(s("video.type"), s("GENMJPEG"));
    video.insert(s("video.host"), s("127.0.0.1"));
    c.insert(s("video.parameters"), video);
    return c;
}

Value group(const char *name, qint64 uid, const Value::Array &cameras = {})
{
    Value g = Value::dictionary();
    g.insert(s("name"), s(name));
    g.insert(s("uid"), uid);
    g.insert(s("cameras"), Value::array(cameras));
    return g;
}

QStringList rows(const TableView *table)
{
    QStringList texts;
    for (int r = 0; r < table->numberOfRows(0); ++r)
        texts << table->cellForRow({0, r})->text();
    return texts;
}

void tap(TableView *table, int row)
{
    TableViewCell *cell = table->cellForRow({0, row});
    QVERIFY(cell);
    QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(40, cell->height() / 2));
}

void settle(NavigationController &stack)
{
    QTRY_VERIFY(!stack.isTransitioning());
}

} // namespace

class TestGroupListView final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Preferences> m_prefs;
    // The list lives in a home of its own, as under the settings root; the stack only borrows it.
    std::unique_ptr<QWidget> m_home;
    std::unique_ptr<NavigationController> m_stack;
    GroupListView *m_list = nullptr;
    ViewController *m_root = nullptr;

    GroupStore &store() const { return m_list->store(); }
    TableView *table() const { return m_list->tableView(); }

    // The list on a stack under a stand-in settings root, holding the given groups.
    void show(const Value::Array &groups, int selected = 0)
    {
        m_home = std::make_unique<QWidget>();
        m_list = new GroupListView(*m_prefs, m_dir->path(), m_home.get());
        store().setGroups(Value::array(groups));
        store().setSelectedGroup(groups.value(selected));
        m_root = new ViewController;
        m_stack = std::make_unique<NavigationController>(m_root);
        m_stack->resize(320, 480);
        m_stack->pushViewController(m_list, false);
        m_stack->show();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_prefs = std::make_unique<Preferences>(m_dir->filePath(s("preferences.conf")));
        DefaultSettings::initializeDefaultSettings(*m_prefs);
        QelLog::setLoggingEnabled(false);
    }

    void cleanup()
    {
        m_stack.reset();
        m_home.reset();
    }

    void tapSelectsAndPersists()
    {
        const Value a = group("A", 5);
        const Value b = group("B", 6);
        show({a, b});
        QCOMPARE(m_list->title(), s("Groups"));
        QCOMPARE(m_list->rightBarButtonItem(), m_list->editButtonItem());
        QCOMPARE(rows(table()), (QStringList{s("A"), s("B"), s("add new group...")}));
        QCOMPARE(table()->cellForRow({0, 0})->accessoryType(), TableViewCell::Accessory::DetailDisclosureButton);
        QCOMPARE(table()->cellForRow({0, 2})->accessoryType(), TableViewCell::Accessory::DisclosureIndicator);

        tap(table(), 1);
        QVERIFY(store().selectedGroup().isSameObject(b));
        QCOMPARE(m_prefs->integerForKey(s("SelectedGroupId")), 6);
        QVERIFY(!table()->indexPathForSelectedRow().isValid());

        // The detail button opens the one group editor without changing the selection.
        table()->cellForRow({0, 0})->detailDisclosureButton()->click();
        settle(*m_stack);
        QCOMPARE(m_stack->topViewController(), m_list->groupController());
        QVERIFY(m_list->groupController()->currentGroup().isSameObject(a));
        QVERIFY(store().selectedGroup().isSameObject(b));
    }

    void deletingAndTheDefaultGroup()
    {
        const Value a = group("A", 5);
        const Value b = group("B", 6);
        show({a, b});
        m_list->editButtonItem()->triggered();
        QVERIFY(m_list->hidesBackButton());
        QVERIFY(table()->isEditing());
        QCOMPARE(rows(table()), (QStringList{s("A"), s("B")}));

        const qint64 stored = m_prefs->integerForKey(s("SelectedGroupId"));
        TableViewCell *first = table()->cellForRow({0, 0});
        first->deleteControl()->click();
        first->deleteConfirmationButton()->click();
        QCOMPARE(store().groups().size(), 1);
        QVERIFY(store().selectedGroup().isSameObject(b));
        // Deleting does not store the new selection.
        QCOMPARE(m_prefs->integerForKey(s("SelectedGroupId")), stored);

        TableViewCell *second = table()->cellForRow({0, 0});
        second->deleteControl()->click();
        second->deleteConfirmationButton()->click();
        QCOMPARE(store().groups().size(), 0);
        QVERIFY(store().selectedGroup().isNull());
        QCOMPARE(rows(table()), QStringList{s("no groups defined")});
        QVERIFY(!m_list->willSelectRow(table(), {0, 0}).isValid());
        QVERIFY(!m_list->canEditRow(table(), {0, 0}));

        const qint64 nextId = m_prefs->integerForKey(s("NextGroupId"));
        m_list->editButtonItem()->triggered();
        QVERIFY(!m_list->hidesBackButton());
        QCOMPARE(store().groups().size(), 1);
        const Value created = store().groups().at(0);
        QCOMPARE(created.value(s("name")).toString(), s("Default"));
        QCOMPARE(created.value(s("uid")).toInteger(), nextId);
        QVERIFY(store().selectedGroup().isSameObject(created));
        QCOMPARE(rows(table()), (QStringList{s("Default"), s("add new group...")}));

        // Entering edit mode on an empty list fills it as well.
        store().groups().removeAt(0);
        m_list->setEditing(true, false);
        QCOMPARE(rows(table()), QStringList{s("Default")});
    }

    void movesStayAmongTheGroups()
    {
        const Value a = group("A", 1);
        const Value b = group("B", 2);
        const Value c = group("C", 3);
        show({a, b, c});
        m_list->setEditing(true, false);
        QVERIFY(!m_list->canMoveRow(table(), {0, 3}));
        QCOMPARE(m_list->targetForMove(table(), {0, 0}, {0, 3}), (IndexPath{0, 2}));
        QCOMPARE(m_list->targetForMove(table(), {0, 0}, {0, 7}), (IndexPath{0, 2}));
        QCOMPARE(m_list->targetForMove(table(), {0, 2}, {0, 1}), (IndexPath{0, 1}));

        // A drag by the grip ends where it is let go.
        TableViewCell *cell = table()->cellForRow({0, 0});
        const QPoint grip = cell->reorderGripRect().center();
        QTest::mousePress(cell, Qt::LeftButton, {}, grip);
        QTest::mouseMove(cell, grip + QPoint(0, 2 * cell->height()));
        QTest::mouseRelease(cell, Qt::LeftButton, {}, grip + QPoint(0, 2 * cell->height()));
        QCOMPARE(rows(table()), (QStringList{s("B"), s("C"), s("A")}));
        QVERIFY(store().groups().at(2).isSameObject(a));
    }

    void newGroupGetsTheHintAsName()
    {
        show({group("A", 1)});
        m_stack->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_stack.get()));
        const qint64 nextId = m_prefs->integerForKey(s("NextGroupId"));
        tap(table(), 1);
        settle(*m_stack);
        GroupViewController *editor = m_list->groupController();
        QCOMPARE(m_stack->topViewController(), editor);
        QCOMPARE(store().groups().size(), 2);
        const Value added = store().groups().at(1);
        QVERIFY(editor->currentGroup().isSameObject(added));
        QCOMPARE(added.value(s("uid")).toInteger(), nextId);
        QCOMPARE(editor->title(), s("unnamed"));
        QTRY_VERIFY(editor->nameField()->hasFocus());

        m_stack->popViewController(false);
        QCOMPARE(added.value(s("name")).toString(), s("unnamed"));
        QCOMPARE(rows(table()), (QStringList{s("A"), s("unnamed"), s("add new group...")}));
    }

    void mergingAReceivedGroup()
    {
        const Value target = group("Three", 1, {camera("1"), camera("2"), camera("3")});
        show({group("Other", 2), target});
        const Value r1 = camera("r1");
        const Value r2 = camera("r2");
        auto *chooser = new GroupChooserView(*m_list);
        chooser->setNewGroup(group("Received", 9, {r1, r2}));
        m_stack->setViewControllers({m_root, chooser}, false);
        QCOMPARE(chooser->title(), s("Select Group"));
        QCOMPARE(rows(chooser->tableView()), (QStringList{s("Other"), s("Three")}));

        tap(chooser->tableView(), 1);
        settle(*m_stack);
        const Value cameras = target.value(s("cameras"));
        QCOMPARE(cameras.size(), 5);
        QVERIFY(cameras.at(3).isSameObject(r1));
        QVERIFY(cameras.at(4).isSameObject(r2));
        QCOMPARE(m_stack->viewControllers(),
                 (QList<ViewController *>{m_root, m_list, m_list->groupController()}));
        QVERIFY(m_list->groupController()->currentGroup().isSameObject(target));
    }

    void copyToGroup()
    {
        const Value target = group("Target", 1, {camera("Gate")});
        show({group("Other", 2), target});
        Value detected = camera("Lobby");
        detected.insert(s("service"), Value::handle(std::make_shared<int>(7)));
        auto *viewer = new CameraDetailView;
        viewer->setCurrentGroup(Value());
        viewer->setCameraDefinition(detected);
        auto *chooser = new GroupChooserView(*m_list);
        chooser->setCurrentCamera(detected);
        m_stack->setViewControllers({m_root, viewer, chooser}, false);

        tap(chooser->tableView(), 1);
        settle(*m_stack);
        const QList<ViewController *> screens = m_stack->viewControllers();
        QCOMPARE(screens.size(), 4);
        QCOMPARE(screens.mid(0, 3), (QList<ViewController *>{m_root, m_list, m_list->groupController()}));
        QVERIFY(m_list->groupController()->currentGroup().isSameObject(target));
        auto *editor = qobject_cast<CameraDetailView *>(screens.at(3));
        QVERIFY(editor);
        QVERIFY(editor != viewer);
        QVERIFY(editor->isEditable());
        QVERIFY(editor->currentGroup().isSameObject(target));
        const Value copy = editor->cameraDefinition();
        QVERIFY(!copy.contains(s("service")));
        QVERIFY(!copy.value(s("video.parameters")).isSameObject(detected.value(s("video.parameters"))));
        QCOMPARE(copy.value(s("video.parameters")), detected.value(s("video.parameters")));
        QVERIFY(detected.contains(s("service")));

        editor->saveButtonPressed();
        settle(*m_stack);
        QCOMPARE(m_stack->topViewController(), m_list->groupController());
        const Value cameras = target.value(s("cameras"));
        QCOMPARE(cameras.size(), 2);
        QCOMPARE(cameras.at(1).value(s("title")).toString(), s("Lobby"));
        QVERIFY(!cameras.at(1).contains(s("service")));
    }
};

QTEST_MAIN(TestGroupListView)
#include "tst_grouplistview.moc"
