#include "app/SettingsViewController.h"

#include "config/DefaultSettings.h"
#include "config/GroupStore.h"
#include "config/LiveCameraList.h"
#include "platform/Preferences.h"
#include "ui/kit/BarButtonItem.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/Switch.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TableViewCell.h"
#include "ui/settings/CameraDetailView.h"
#include "ui/settings/GroupChooserView.h"
#include "ui/settings/GeneralSettingsView.h"
#include "ui/settings/GroupListView.h"

#include "support/FakeSettingsHost.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString s(const char *text)
{
    return QString::fromUtf8(text);
}

Value camera(const char *title, const char *host)
{
    Value cam = Value::dictionary();
    cam.insert(s("title"), s(title));
    cam.insert(s("enabled"), s("y"));
    Value video = Value::dictionary();
    video.insert(s("video.type"), s("GENMJPEG"));
    video.insert(s("video.host"), s(host));
    cam.insert(s("video.parameters"), video);
    return cam;
}

QStringList titles(const QList<Value> &cameras)
{
    QStringList out;
    for (const Value &cam : cameras)
        out << cam.value(s("title")).toString();
    return out;
}

} // namespace

class TestSettingsViewController final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Preferences> m_preferences;
    std::unique_ptr<GroupStore> m_store;
    std::unique_ptr<FakeSettingsHost> m_host;
    std::unique_ptr<NavigationController> m_stack;
    SettingsViewController *m_root = nullptr;

    GroupStore &store() const { return *m_store; }
    TableView *table() const { return m_root->tableView(); }

    void tap(const IndexPath &path)
    {
        TableViewCell *cell = table()->cellForRow(path);
        QVERIFY(cell);
        QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(60, cell->height() / 2));
    }

    QString selectedGroupLabel() const
    {
        const auto *label = table()->cellForRow({ 0, 0 })->findChild<QLabel *>(s("selectedGroupName"));
        return label ? label->text() : QString();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_preferences = std::make_unique<Preferences>(m_dir->filePath(s("preferences.conf")));
        DefaultSettings::initializeDefaultSettings(*m_preferences);
        m_host = std::make_unique<FakeSettingsHost>(*m_preferences);
        m_store = std::make_unique<GroupStore>(*m_preferences, m_dir->path());
        m_store->start();
        m_root = new SettingsViewController(*m_host, *m_store, *m_preferences);
        m_stack = std::make_unique<NavigationController>(m_root);
        m_stack->resize(320, 480);
        m_stack->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_stack.get()));
    }

    void cleanup()
    {
        m_stack.reset();
        m_host.reset();
        m_store.reset();
        m_preferences.reset();
    }

    void optionRows()
    {
        QCOMPARE(m_root->leftBarButtonItem(), m_root->doneButton());
        QCOMPARE(table()->numberOfRows(0), 3);
        QCOMPARE(selectedGroupLabel(), s("Default"));
        QCOMPARE(table()->cellForRow({ 0, 2 })->accessoryView(), m_root->showAuto());

        // The name follows the selection when the root comes back.
        Value yard = Value::dictionary();
        yard.insert(s("name"), s("Yard"));
        store().selectGroup(store().addGroup(yard));
        QCOMPARE(selectedGroupLabel(), s("Yard"));

        tap({ 0, 0 });
        QTRY_VERIFY(!m_stack->isTransitioning());
        QCOMPARE(m_stack->topViewController(), &m_root->groupListController());
        m_stack->popViewController(false);
        tap({ 0, 1 });
        QTRY_VERIFY(!m_stack->isTransitioning());
        QVERIFY(qobject_cast<GeneralSettingsView *>(m_stack->topViewController()));
        m_stack->popViewController(false);
        // The switch row is not a way anywhere.
        tap({ 0, 2 });
        QCOMPARE(m_stack->viewControllers().size(), 1);
    }

    void detectedCameras()
    {
        QCOMPARE(m_root->titleForHeader(table(), 1), s("Auto-Detected Cameras"));
        QCOMPARE(table()->numberOfRows(1), 1);
        TableViewCell *none = table()->cellForRow({ 1, 0 });
        QCOMPARE(none->text(), s("no cameras detected"));
        QCOMPARE(none->selectionStyle(), TableViewCell::SelectionStyle::None);
        tap({ 1, 0 });
        QCOMPARE(m_stack->viewControllers().size(), 1);

        const Value gate = camera("Gate", "127.0.0.7");
        m_host->detected = { camera("Door", "127.0.0.6"), gate };
        table()->reloadData();
        QCOMPARE(table()->numberOfRows(1), 2);
        QCOMPARE(table()->cellForRow({ 1, 1 })->text(), s("Gate"));

        // A detected camera opens in viewing mode: nothing to save it into.
        tap({ 1, 1 });
        QTRY_VERIFY(!m_stack->isTransitioning());
        auto *detail = qobject_cast<CameraDetailView *>(m_stack->topViewController());
        QVERIFY(detail);
        QVERIFY(detail->cameraDefinition().isSameObject(gate));
        QVERIFY(detail->currentGroup().isNull());
        QVERIFY(!detail->isEditable());
        QVERIFY(!detail->rightBarButtonItem());

        // Copy To Group leads on to the group chooser with that camera.
        detail->copyButtonPressed();
        QTRY_VERIFY(!m_stack->isTransitioning());
        auto *chooser = qobject_cast<GroupChooserView *>(m_stack->topViewController());
        QVERIFY(chooser);
        QVERIFY(chooser->currentCamera() == gate);
    }

    void showAutoSwitchDecidesTheLiveList()
    {
        LiveCameraList live(store(), *m_preferences);
        const Value front = camera("Front", "127.0.0.1");
        store().appendCameras(store().selectedGroup(), { front });
        live.setDetectedCameras({ camera("Front again", "127.0.0.1"), camera("Back", "127.0.0.2") });
        QVERIFY(!m_root->showAuto()->isOn());
        QCOMPARE(titles(live.cameras()), QStringList{ s("Front") });
        QVERIFY(live.cameras().first().isSameObject(front));

        QTest::mouseClick(m_root->showAuto(), Qt::LeftButton);
        QVERIFY(m_preferences->showAutoCameras());
        QCOMPARE(titles(live.cameras()), (QStringList{ s("Front"), s("Back") }));

        QTest::mouseClick(m_root->showAuto(), Qt::LeftButton);
        QVERIFY(!m_preferences->showAutoCameras());
    }
};

QTEST_MAIN(TestSettingsViewController)
#include "tst_settingsviewcontroller.moc"
