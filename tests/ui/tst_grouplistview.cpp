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

#include "support/TableTaps.h"

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
    return rowTexts(table, 0);
}

void tap(TableView *table, int row)
{
    tapRow(table, { 0, row });
}

void deleteRow(TableView *table, int row)
{
    TableViewCell *cell = table->cellForRow({0, row});
    cell->deleteControl()->click();
    cell->deleteConfirmationButton()->click();
}

} // namespace

class TestGroupListView final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Preferences> m_prefs;
    std::unique_ptr<GroupStore> m_store;
    // The list lives in a home of its own, as under the settings root; the stack only borrows it.
    std::unique_ptr<QWidget> m_home;
    std::unique_ptr<NavigationController> m_stack;
    GroupListView *m_list = nullptr;
    ViewController *m_root = nullptr;
    Value m_a;
    Value m_b;

    GroupStore &store() const { return *m_store; }
    TableView *table() const { return m_list->tableView(); }

    void settle() { QTRY_VERIFY(!m_stack->isTransitioning()); }

private slots:
    // Groups A (selected, uid 5) and B (uid 6) on a stack under a stand-in settings root.
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_prefs = std::make_unique<Preferences>(m_dir->filePath(s("preferences.conf")));
        DefaultSettings::initializeDefaultSettings(*m_prefs);
        QelLog::setLoggingEnabled(false);
        m_home = std::make_unique<QWidget>();
        m_store = std::make_unique<GroupStore>(*m_prefs, m_dir->path());
        m_store->start();
        m_list = new GroupListView(*m_store, m_home.get());
        m_a = group("A", 5, {camera("1"), camera("2"), camera("3")});
        m_b = group("B", 6);
        store().setGroups(Value::array({m_a, m_b}));
        store().selectGroup(m_a);
        m_root = new ViewController;
        m_stack = std::make_unique<NavigationController>(m_root);
        m_stack->resize(320, 480);
        m_stack->pushViewController(m_list, false);
        m_stack->show();
    }

    void cleanup()
    {
        m_stack.reset();
        m_home.reset();
        m_store.reset();
    }

    void tapSelectsAndPersists()
    {
        tap(table(), 1);
        QVERIFY(store().selectedGroup().isSameObject(m_b));
        QCOMPARE(m_prefs->selectedGroupId(), 6);

        table()->cellForRow({0, 0})->detailDisclosureButton()->click();
        settle();
        QCOMPARE(m_stack->topViewController(), m_list->groupController());
        QVERIFY(m_list->groupController()->currentGroup().isSameObject(m_a));
    }

    void deletingAllLeavesTheDefaultGroup()
    {
        const qint64 stored = m_prefs->selectedGroupId();
        emit m_list->editButtonItem()->triggered();
        QVERIFY(m_list->hidesBackButton());
        QCOMPARE(rows(table()), (QStringList{s("A"), s("B")}));
        deleteRow(table(), 0);
        QVERIFY(store().selectedGroup().isSameObject(m_b));
        QCOMPARE(m_prefs->selectedGroupId(), stored);
        deleteRow(table(), 0);
        QCOMPARE(rows(table()), QStringList{s("no groups defined")});
        QVERIFY(!m_list->willSelectRow(table(), {0, 0}).isValid());

        emit m_list->editButtonItem()->triggered();
        QVERIFY(!m_list->hidesBackButton());
        QCOMPARE(store().groups().size(), 1);
        QVERIFY(store().selectedGroup().isSameObject(store().groups().at(0)));
        QCOMPARE(rows(table()), (QStringList{s("Default"), s("add new group...")}));
    }

    void movesStayAmongTheGroups()
    {
        m_list->setEditing(true, false);
        QCOMPARE(m_list->targetForMove(table(), {0, 0}, {0, 2}), (IndexPath{0, 1}));
        QCOMPARE(m_list->targetForMove(table(), {0, 0}, {0, 7}), (IndexPath{0, 1}));
        QCOMPARE(m_list->targetForMove(table(), {0, 1}, {0, 0}), (IndexPath{0, 0}));

        // A drag by the grip ends where it is let go.
        TableViewCell *cell = table()->cellForRow({0, 0});
        const QPoint grip = cell->reorderGripRect().center();
        const QPoint below = grip + QPoint(0, cell->height());
        QTest::mousePress(cell, Qt::LeftButton, {}, grip);
        QTest::mouseMove(cell, below);
        QTest::mouseRelease(cell, Qt::LeftButton, {}, below);
        QCOMPARE(rows(table()), (QStringList{s("B"), s("A")}));
    }

    void newGroupGetsTheHintAsName()
    {
        m_stack->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_stack.get()));
        tap(table(), 2);
        settle();
        GroupViewController *editor = m_list->groupController();
        QCOMPARE(m_stack->topViewController(), editor);
        const Value added = store().groups().at(2);
        QVERIFY(editor->currentGroup().isSameObject(added));
        QCOMPARE(editor->title(), s("unnamed"));
        QTRY_VERIFY(editor->nameField()->hasFocus());

        m_stack->popViewController(false);
        QCOMPARE(added.value(s("name")).toString(), s("unnamed"));
        QCOMPARE(rows(table()).at(2), s("unnamed"));
    }

    void mergingAReceivedGroup()
    {
        const Value received = group("Received", 9, {camera("r1"), camera("r2")});
        auto *chooser = new GroupChooserView(store(), *m_list);
        chooser->setNewGroup(received);
        m_stack->setViewControllers({m_root, chooser}, false);
        QCOMPARE(rows(chooser->tableView()), (QStringList{s("A"), s("B")}));

        tap(chooser->tableView(), 0);
        settle();
        const Value cameras = m_a.value(s("cameras"));
        QCOMPARE(cameras.size(), 5);
        QVERIFY(cameras.at(3).isSameObject(received.value(s("cameras")).at(0)));
        QVERIFY(cameras.at(4).isSameObject(received.value(s("cameras")).at(1)));
        QCOMPARE(m_stack->viewControllers(), (QList<ViewController *>{m_root, m_list, m_list->groupController()}));
        QVERIFY(m_list->groupController()->currentGroup().isSameObject(m_a));
    }

    void copyToGroup()
    {
        Value detected = camera("Lobby");
        Value video = Value::dictionary();
        video.insert(s("video.type"), s("GENMJPEG"));
        video.insert(s("video.host"), s("127.0.0.1"));
        detected.insert(s("video.parameters"), video);
        detected.insert(s("service"), Value::handle(std::make_shared<int>(7)));
        auto *viewer = new CameraDetailView(store());
        viewer->setCameraDefinition(detected);
        auto *chooser = new GroupChooserView(store(), *m_list);
        chooser->setCurrentCamera(detected);
        m_stack->setViewControllers({m_root, viewer, chooser}, false);

        tap(chooser->tableView(), 1);
        settle();
        const QList<ViewController *> screens = m_stack->viewControllers();
        QCOMPARE(screens.size(), 4);
        QCOMPARE(screens.mid(0, 3), (QList<ViewController *>{m_root, m_list, m_list->groupController()}));
        QVERIFY(m_list->groupController()->currentGroup().isSameObject(m_b));
        auto *editor = qobject_cast<CameraDetailView *>(screens.at(3));
        QVERIFY(editor && editor != viewer);
        QVERIFY(editor->currentGroup().isSameObject(m_b));
        const Value copy = editor->cameraDefinition();
        QVERIFY(!copy.contains(s("service")));
        QCOMPARE(copy.value(s("video.parameters")), video);
        QVERIFY(!copy.value(s("video.parameters")).isSameObject(video));

        editor->saveButtonPressed();
        settle();
        QCOMPARE(m_stack->topViewController(), m_list->groupController());
        QCOMPARE(m_b.value(s("cameras")).size(), 1);
        QCOMPARE(m_b.value(s("cameras")).at(0).value(s("title")).toString(), s("Lobby"));
    }
};

QTEST_MAIN(TestGroupListView)
#include "tst_grouplistview.moc"
