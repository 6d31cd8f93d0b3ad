#include "app/DemoProfile.h"
#include "app/MainWindow.h"
#include "app/SettingsViewController.h"
#include "app/VyoAppDelegate.h"

#include "config/AppInfo.h"
#include "config/GroupStore.h"
#include "config/LiveCameraList.h"
#include "ui/settings/GroupListView.h"
#include "ui/live/MultiPageScrollerView.h"
#include "ui/live/MultiView.h"
#include "ui/live/PTZGestureView.h"
#include "ui/live/RepaintPacer.h"
#include "ui/live/SingleView.h"
#include "ui/live/VideoView.h"
#include "platform/AtomicFile.h"
#include "platform/Preferences.h"
#include "ui/settings/FormSwitch.h"
#include "ui/settings/RegistrationView.h"
#include "sharing/RegistrationHandler.h"
#include "ui/kit/Alert.h"
#include "ui/kit/BarButtonItem.h"
#include "ui/kit/TableView.h"
#include "ui/kit/NavigationController.h"
#include "ui/settings/GeneralSettingsView.h"
#include "video/FrameConsumer.h"

#include <QGraphicsProxyWidget>
#include <QGraphicsView>
#include <QPainter>
#include <QScreen>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using View = LiveViewHost::View;

class TestAppDelegate final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Preferences> m_preferences;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<VyoAppDelegate> m_delegate;
    QPointingDevice *m_touchScreen = QTest::createTouchDevice();

    // An installation whose first-run registration form was completed, unless told otherwise.
    void launch(bool registered = true, const QString &dir = QString())
    {
        const QString profile = dir.isEmpty() ? m_dir->path() : dir;
        m_preferences = std::make_unique<Preferences>(profile + QStringLiteral("/preferences.conf"));
        if (registered)
            m_preferences->setRegistrationShown(true);
        m_window = std::make_unique<MainWindow>();
        m_delegate = std::make_unique<VyoAppDelegate>(*m_window, *m_preferences, profile);
        m_delegate->applicationDidFinishLaunching();
        m_window->show();
    }

    // Every row of the table can be scrolled whole into the table's sight.
    static void checkRowsReachable(TableView *table)
    {
        for (int section = 0; section < table->numberOfSections(); ++section) {
            for (int row = 0; row < table->numberOfRows(section); ++row) {
                const IndexPath path{ section, row };
                table->scrollToRow(path, TableView::ScrollPosition::Nearest, false);
                const QRect inContent = table->rectForRow(path);
                const QRect inTable(table->widget()->mapTo(table, inContent.topLeft()), inContent.size());
                QVERIFY2(table->viewport()->geometry().contains(inTable), qPrintable(QDebug::toString(path)));
            }
        }
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void cleanup()
    {
        m_delegate.reset();
        m_window.reset();
        m_preferences.reset();
    }

    void switchingViews()
    {
        launch();
        QCOMPARE(m_delegate->currentView(), View::Multi);
        const QSize windowSize = m_window->size();
        QCOMPARE(m_window->stage()->size(), MainWindow::Landscape);
        QVERIFY(m_delegate->isIdleTimerDisabled());
        // Switching to the view already shown changes nothing.
        m_delegate->switchToView(View::Multi);
        QVERIFY(!m_delegate->isTransitioning());

        m_delegate->switchToView(View::Settings);
        QCOMPARE(m_delegate->currentView(), View::Settings);
        QCOMPARE(m_window->stage()->size(), MainWindow::Portrait);
        QCOMPARE(m_window->size(), windowSize);
        QVERIFY(!m_delegate->isIdleTimerDisabled());
        QVERIFY(m_delegate->isTransitioning());
        QTRY_VERIFY(!m_delegate->isTransitioning());
        QVERIFY(!m_delegate->multiView()->isVisible());
        QVERIFY(!m_delegate->multiView()->isInWindow());

        m_delegate->switchToView(View::Multi);
        QTRY_VERIFY(!m_delegate->isTransitioning());
        QCOMPARE(m_delegate->currentView(), View::Multi);
        QVERIFY(m_delegate->multiView()->isInWindow());
    }

    // A view repainted on its own on a stage scaled by a fraction reaches the screen
    // up to its edges: what the window holds afterwards is what painting it whole gives.
    void repaintsReachTheirEdges()
    {
        launch();
        m_window->showNormal();
        m_window->resize(720, 480);
        QTRY_COMPARE(m_window->stageScale(), 1.5);
        // Its colour changes without an update of its own: the pacer's repaint is all it gets.
        struct Patch final : QWidget
        {
            using QWidget::QWidget;
            QColor colour = Qt::red;
            void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), colour); }
        };
        auto *patch = new Patch(m_window->stage());
        patch->setGeometry(101, 51, 61, 41);
        patch->show();
        const QRect onWindow = m_window->mapFromScene(QRectF(patch->geometry())).boundingRect().adjusted(-3, -3, 3, 3);
        const auto held = [this, &onWindow] {
            return m_window->screen()->grabWindow(m_window->winId()).toImage().convertToFormat(QImage::Format_RGB32).copy(
                onWindow);
        };
        const auto middle = [&held] {
            const QImage shown = held();
            return shown.isNull() ? QRgb(0) : shown.pixel(shown.width() / 2, shown.height() / 2);
        };
        QTRY_COMPARE(middle(), qRgb(255, 0, 0));
        patch->colour = Qt::green;
        RepaintPacer::update(patch);
        QTRY_COMPARE(middle(), qRgb(0, 255, 0));
        QCOMPARE(held(), m_window->grab().toImage().convertToFormat(QImage::Format_RGB32).copy(onWindow));
        delete patch;
    }

    // At any window size, full screen included, every view is shown whole, as large
    // as fits and centred, the window keeps its size whatever the view, touches land
    // where they are shown, the settings' rows all come into sight, and the pictures
    // are asked for at the size they fill on the screen. With VYO_SHOTS naming a
    // directory, each view is saved there (the offscreen platform's configfile option
    // sets the screen's size).
    void viewsFitTheWindow()
    {
        DemoProfile demo;
        QString error;
        QVERIFY2(demo.start(&error), qPrintable(error));
        launch(true, demo.directory());
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        const QString shots = qEnvironmentVariable("VYO_SHOTS");
        const QSize screen = m_window->screen()->size();
        SingleView *single = m_delegate->singleView();
        for (const QSize size : { QSize(800, 480), QSize(1920, 1080), QSize(300, 520), QSize() }) {
            // Touches beyond the screen reach no window.
            if (size.isValid() && !QRect(QPoint(), screen).contains(QRect(QPoint(), size)))
                continue;
            if (size.isValid()) {
                m_window->showNormal();
                m_window->resize(size);
            } else {
                QTest::keyClick(m_window.get(), Qt::Key_F11);
                QVERIFY(m_window->isFullScreen());
            }
            const QSize expected = size.isValid() ? size : screen;
            QTRY_COMPARE(m_window->size(), expected);
            const QString name = size.isValid() ? QStringLiteral("%1x%2").arg(size.width()).arg(size.height())
                                                : QStringLiteral("full-%1x%2").arg(screen.width()).arg(screen.height());
            for (const View view : { View::Multi, View::Single, View::Multi, View::Settings }) {
                if (view == View::Single) {
                    // A finger on the first tile, wherever the scale puts it, opens that camera.
                    const QWidget *tile = m_delegate->multiView()->centerPage()->containerForFeed(0);
                    const QPoint onStage = tile->mapTo(m_window->stage(), tile->rect().center());
                    const QPoint touched = m_window->mapFromScene(QPointF(onStage));
                    QTest::touchEvent(m_window->viewport(), m_touchScreen).press(0, touched);
                    QTest::touchEvent(m_window->viewport(), m_touchScreen).release(0, touched);
                    QTRY_COMPARE(m_delegate->currentView(), View::Single);
                    QCOMPARE(single->currentCamera(), m_delegate->liveCameras().cameras().at(0));
                } else {
                    m_delegate->switchToView(view);
                }
                QTRY_VERIFY(!m_delegate->isTransitioning());
                if (view == View::Multi) {
                    // Keys reach the grid through the scaling window: the ring shows (and
                    // stays on the first tile, with no page before it).
                    QTest::keyClick(m_window.get(), Qt::Key_Left);
                    QCOMPARE(m_delegate->multiView()->focusedFeed(), 0);
                }
                QCOMPARE(m_window->size(), expected);
                const QRectF room = m_window->viewport()->rect();
                const QRectF stage(QPointF(0, 0), m_window->stage()->size());
                const QRectF shown = m_window->mapFromScene(stage).boundingRect();
                QVERIFY2(room.adjusted(-1, -1, 1, 1).contains(shown), qPrintable(name));
                QVERIFY2(std::abs(shown.width() - room.width()) <= 1 || std::abs(shown.height() - room.height()) <= 1,
                         qPrintable(name));
                QVERIFY2((shown.center() - room.center()).manhattanLength() <= 2, qPrintable(name));
                // Nothing is filled beneath the stage: the bars beside it are painted black.
                const QImage shot = m_window->grab().toImage();
                for (const QPoint corner : { QPoint(0, 0), QPoint(shot.width() - 1, shot.height() - 1) }) {
                    if (!shown.contains(QPointF(corner) + QPointF(0.5, 0.5)))
                        QVERIFY2(shot.pixel(corner) == qRgb(0, 0, 0), qPrintable(name));
                }
                if (view == View::Settings) {
                    checkRowsReachable(m_delegate->settingController()->tableView());
                    auto *general = new GeneralSettingsView(*m_delegate, *m_preferences);
                    m_delegate->navigationController()->pushViewController(general, false);
                    checkRowsReachable(general->tableView());
                    m_delegate->navigationController()->popViewController(false);
                }
                if (view == View::Single) {
                    VideoView *video = single->videoView();
                    QTRY_VERIFY_WITH_TIMEOUT(!video->image().isNull(), 20000);
                    QTRY_COMPARE(video->frameConsumer()->targetSize(),
                                 (video->pictureRect().size() * m_window->stageScale()).toSize());
                    // A long stroke to the right offers the hold target at the picture's
                    // right edge, not the window's.
                    PTZGestureView *gestures = single->gestureView();
                    QTRY_VERIFY(gestures->controlTouchEnabled());
                    const QRectF picture = gestures->pictureBounds();
                    const auto onWindow = [this, gestures](QPointF p) {
                        return m_window->mapFromScene(QPointF(gestures->mapTo(m_window->stage(), p.toPoint())));
                    };
                    QTest::touchEvent(m_window->viewport(), m_touchScreen).press(0, onWindow(picture.center()));
                    for (double x = picture.center().x(); x <= picture.right() - 10; x += 10) {
                        QTest::touchEvent(m_window->viewport(), m_touchScreen)
                            .move(0, onWindow(QPointF(x, picture.center().y())));
                    }
                    QVERIFY2(gestures->isHoldTargetShown(), qPrintable(name));
                    const double edge = picture.right() - gestures->indicatorWidth() / 2;
                    QVERIFY(std::abs(gestures->holdTargetCenter().x() - edge) <= 1);
                    QTest::touchEvent(m_window->viewport(), m_touchScreen).release(0, onWindow(picture.center()));
                }
                // Alerts join the scaled views, over them.
                Alert *alert = view != View::Settings ? nullptr
                    : Alert::inform(QStringLiteral("Camera Groups"), QStringLiteral("A message."), m_window->stage());
                if (alert)
                    QCOMPARE(alert->graphicsProxyWidget()->geometry(), stage);
                const auto closeAlert = qScopeGuard([alert] { delete alert; });
                if (!shots.isEmpty()) {
                    const QString file = QDir(shots).filePath(
                        QStringLiteral("%1-%2.png")
                            .arg(name, view == View::Settings ? QStringLiteral("settings")
                                       : view == View::Single ? QStringLiteral("single")
                                                              : QStringLiteral("grid")));
                    QVERIFY(m_window->grab().save(file));
                }
            }
        }
        QTest::keyClick(m_window.get(), Qt::Key_F11);
        QVERIFY(!m_window->isFullScreen());
    }

    void cyclingGroups()
    {
        launch();
        GroupStore &store = m_delegate->groupStore();
        m_delegate->cycleToNextGroup();
        QCOMPARE(store.groups().size(), 1);
        QCOMPARE(m_delegate->multiView()->title(), QStringLiteral("Default"));
        for (const char *name : { "B", "C" }) {
            Value group = Value::dictionary();
            group.insert(QStringLiteral("name"), QString::fromLatin1(name));
            store.addGroup(group);
        }
        store.selectGroup(store.groups().at(2));
        m_delegate->cycleToNextGroup();
        QVERIFY(store.selectedGroup().isSameObject(store.groups().at(0)));
        QCOMPARE(m_preferences->selectedGroupId(),
                 store.groups().at(0).value(QStringLiteral("uid")).toInteger());
        QCOMPARE(m_delegate->multiView()->title(), QStringLiteral("Default"));
    }

    void terminationStoresTheGroups()
    {
        launch();
        GroupStore &store = m_delegate->groupStore();
        store.renameGroup(store.groups().at(0), QStringLiteral("Renamed"));
        m_delegate->applicationWillTerminate();
        cleanup();
        launch();
        QCOMPARE(m_delegate->groupStore().groups().at(0).value(QStringLiteral("name")).toString(),
                 QStringLiteral("Renamed"));
    }

    void unreadableGroupsAreToldAndKept()
    {
        QVERIFY(AtomicFile::write(m_dir->filePath(QStringLiteral("groups.bin")), "damaged"));
        launch();
        const Alert *alert = m_window->stage()->findChild<Alert *>();
        QVERIFY(alert);
        const QString kept = m_delegate->groupStore().unreadableCopyPath();
        QCOMPARE(alert->message(),
                 QStringLiteral("Your camera groups could not be read. A copy was kept as %1.").arg(kept));
        QFile copy(kept);
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), QByteArray("damaged"));
        QCOMPARE(m_delegate->groupStore().groups().size(), 1);
    }

    void leavingTheSettingsStoresTheGroups()
    {
        launch();
        m_delegate->switchToView(View::Settings);
        QTRY_VERIFY(!m_delegate->isTransitioning());
        SettingsViewController *settings = m_delegate->settingController();
        m_delegate->groupStore().renameGroup(m_delegate->groupStore().groups().at(0), QStringLiteral("Edited"));
        emit settings->doneButton()->triggered();
        QCOMPARE(m_delegate->currentView(), View::Multi);

        GroupStore onDisk(*m_preferences, m_dir->path());
        onDisk.loadBulkData();
        QCOMPARE(onDisk.groups().at(0).value(QStringLiteral("name")).toString(), QStringLiteral("Edited"));
    }

    void firstLaunchOpensOnTheRegistrationForm()
    {
        // Only an installation with a registration address asks.
        launch(false);
        QCOMPARE(m_delegate->currentView(), View::Multi);
        cleanup();
        m_dir = std::make_unique<QTemporaryDir>();
        AppInfo::setValue(AppInfo::RegURL, QStringLiteral("http://127.0.0.1:9/register"));
        const auto noAddress = qScopeGuard([] { AppInfo::setValue(AppInfo::RegURL, QString()); });
        launch(false);
        QCOMPARE(m_delegate->currentView(), View::Settings);
        QCOMPARE(m_window->stage()->size(), MainWindow::Portrait);
        QVERIFY(!m_delegate->multiView()->isVisible());
        QVERIFY(!m_delegate->multiView()->isInWindow());
        auto *form = qobject_cast<RegistrationView *>(m_delegate->navigationController()->topViewController());
        QVERIFY(form);
        QVERIFY(!form->cancelButton());
        QCOMPARE(m_delegate->registrationHandler().pendingRequests(), 0);

        // Saving it (no news wanted) opens the live view.
        QTest::mouseClick(form->subscribeSwitch(), Qt::LeftButton);
        emit form->saveButton()->triggered();
        QCOMPARE(m_delegate->currentView(), View::Multi);
        QTRY_VERIFY(!m_delegate->isTransitioning());
        QVERIFY(m_delegate->multiView()->isInWindow());
        QCOMPARE(m_delegate->navigationController()->topViewController(), m_delegate->settingController());
        QVERIFY(m_preferences->registrationShown());

        // The next launch goes straight to the live view.
        cleanup();
        launch(false);
        QCOMPARE(m_delegate->currentView(), View::Multi);
    }

    void demoShowsLivePictures()
    {
        DemoProfile demo;
        QString error;
        QVERIFY2(demo.start(&error), qPrintable(error));
        launch(false, demo.directory());
        QCOMPARE(m_delegate->multiView()->numberOfPages(), 2);
        MultiView *page = m_delegate->multiView()->centerPage();
        QTRY_VERIFY_WITH_TIMEOUT(([page] {
                                     for (int feed = 0; feed < MultiView::Feeds; ++feed) {
                                         if (page->getViewForFeed(feed)->image().isNull())
                                             return false;
                                     }
                                     return true;
                                 }()),
                                 60000);
        const auto shoot = [this](const char *name) {
            const QString shot = QDir::temp().filePath(QStringLiteral("vyo-demo-%1.png").arg(QLatin1StringView(name)));
            QVERIFY(m_window->grab().save(shot));
            qInfo("demo screenshot: %s", qPrintable(shot));
        };
        shoot("multiview");

        // A tap on the second thumbnail grows it to the single view.
        MultiPageScrollerView *multi = m_delegate->multiView();
        multi->touchesBegan(QPointF(240, 80), 1.0);
        multi->touchesEnded(1.05);
        QTRY_COMPARE(m_delegate->currentView(), View::Single);
        SingleView *single = m_delegate->singleView();
        QTRY_COMPARE(single->videoView()->geometry(), single->rect());
        QTRY_VERIFY_WITH_TIMEOUT(!single->videoView()->image().isNull() && single->videoView()->image().width() == 640, 20000);
        QVERIFY(single->toolbar()->isVisible());
        shoot("singleview");
        QTRY_VERIFY(single->gestureView()->controlTouchEnabled());

        // A snapshot: the captioned picture as a JPEG file.
        QSignalSpy saved(single, &SingleView::snapshotSaved);
        single->cameraButtonClicked();
        QTRY_COMPARE(saved.size(), 1);
        const QString snapshot = saved.at(0).at(0).toString();
        const QString kept = QDir::temp().filePath(QStringLiteral("vyo-demo-snapshot.jpg"));
        QFile::remove(kept);
        QVERIFY(QFile::rename(snapshot, kept));
        qInfo("demo snapshot: %s", qPrintable(kept));

        // Done shrinks it back onto its thumbnail.
        single->doneButtonClicked();
        QTRY_COMPARE(m_delegate->currentView(), View::Multi);
        QVERIFY(!single->isVisible());
        QTRY_VERIFY(!m_delegate->isTransitioning());

        m_delegate->switchToView(View::Settings);
        QTRY_VERIFY(!m_delegate->isTransitioning());
        // The simulator announces its cameras: they are listed under "Auto-Detected Cameras".
        const qsizetype demoCameras = m_delegate->liveCameras().cameras().size();
        if (QTest::qWaitFor([&] { return m_delegate->getDetectedCameras().size() == demoCameras; }, 30000)) {
            QCOMPARE(m_delegate->settingController()->tableView()->numberOfRows(1), demoCameras);
            shoot("settings");
            // They are the group's own cameras, so the grid shows each of them once.
            m_preferences->setShowAutoCameras(true);
            m_delegate->switchToView(View::Multi);
            QTRY_VERIFY(!m_delegate->isTransitioning());
            QCOMPARE(m_delegate->multiView()->numberOfPages(), 2);
        } else {
            QVERIFY2(!qEnvironmentVariableIsSet("VYO_REQUIRE_AVAHI"), "the simulator's cameras were not discovered");
            shoot("settings");
        }
        // Going back to the live views and ending there leaves Qt nothing to complain of
        // (a timer stopped from the wrong thread, say).
        m_delegate->switchToView(View::Multi);
        QTRY_VERIFY(!m_delegate->isTransitioning());
        static QStringList complaints;
        complaints.clear();
        const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
            if (type != QtDebugMsg && type != QtInfoMsg)
                complaints.append(text);
        });
        m_delegate->applicationWillTerminate();
        cleanup();
        qInstallMessageHandler(previous);
        QVERIFY2(complaints.isEmpty(), qPrintable(complaints.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestAppDelegate)
#include "tst_appdelegate.moc"
