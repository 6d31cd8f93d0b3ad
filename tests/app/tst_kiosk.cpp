#include "app/KioskMode.h"
#include "app/MainWindow.h"
#include "app/VyoAppDelegate.h"
#include "config/PinHash.h"
#include "platform/Preferences.h"
#include "ui/kit/PinPad.h"
#include "ui/kit/TextField.h"
#include "ui/live/SingleView.h"

#include "support/ManualClock.h"

#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

using View = LiveViewHost::View;

namespace {

void enter(PinPad *pad, const QString &pin)
{
    pad->field()->setText(pin);
    QTest::keyClick(pad->field(), Qt::Key_Return);
}

} // namespace

class TestKiosk final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Preferences> m_preferences;

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        QFile::remove(m_dir.filePath(QStringLiteral("preferences.conf")));
        m_preferences = std::make_unique<Preferences>(m_dir.filePath(QStringLiteral("preferences.conf")));
    }

    void pinHashIsSaltedAndRefusesWhatItCannotRead()
    {
        const QString stored = PinHash::hash(QStringLiteral("4711"));
        QVERIFY(PinHash::matches(QStringLiteral("4711"), stored));
        QVERIFY(!PinHash::matches(QStringLiteral("4712"), stored));
        QVERIFY(!PinHash::matches(QString(), stored));
        QVERIFY(PinHash::hash(QStringLiteral("4711")) != stored);
        QVERIFY(!stored.split(QLatin1Char('$')).contains(QStringLiteral("4711")));

        QStringList fields = stored.split(QLatin1Char('$'));
        const auto with = [&fields](int i, const QString &field) {
            QStringList changed = fields;
            changed[i] = field;
            return changed.join(QLatin1Char('$'));
        };
        for (const QString &bad : { QString(), QStringLiteral("4711"), with(0, QStringLiteral("md5")),
                                    with(1, QStringLiteral("999999999")), with(1, QStringLiteral("0")),
                                    with(2, QStringLiteral("!!")), with(3, QStringLiteral("AAAA")) })
            QVERIFY2(!PinHash::matches(QStringLiteral("4711"), bad), qPrintable(bad));
    }

    // Three seconds without movement hide the pointer; the mouse brings it back and
    // a touch does not. The idle spell restarts with any input.
    void pointerAndIdle()
    {
        ManualClock clock;
        QWindow window;
        window.resize(100, 100);
        window.show();
        KioskMode kiosk(clock, *m_preferences);
        QSignalSpy idle(&kiosk, &KioskMode::idle);
        QVERIFY(!kiosk.isPointerHidden());
        clock.advance(KioskMode::PointerHideMs);
        QVERIFY(kiosk.isPointerHidden());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BlankCursor);

        QTest::mouseMove(&window, QPoint(10, 10));
        QVERIFY(!kiosk.isPointerHidden());
        QVERIFY(!QGuiApplication::overrideCursor());
        clock.advance(KioskMode::PointerHideMs);
        QVERIFY(kiosk.isPointerHidden());
        const std::unique_ptr<QPointingDevice> touch(QTest::createTouchDevice());
        QTest::touchEvent(&window, touch.get()).press(0, QPoint(20, 20));
        QTest::touchEvent(&window, touch.get()).release(0, QPoint(20, 20));
        QVERIFY(kiosk.isPointerHidden());

        // Default five minutes, counted from the last input.
        clock.advance(4 * 60 * 1000);
        QTest::keyClick(&window, Qt::Key_A);
        clock.advance(4 * 60 * 1000);
        QCOMPARE(idle.size(), 0);
        clock.advance(60 * 1000);
        QCOMPARE(idle.size(), 1);
    }

    // No key of the window's own, no close and no shrinking leaves; the chord does.
    void noWayOutButTheConfiguredChord()
    {
        QSettings(m_dir.filePath(QStringLiteral("preferences.conf")), QSettings::IniFormat)
            .setValue(QStringLiteral("KioskExitKeys"), QStringLiteral("Ctrl+Alt+Shift+E"));
        Preferences preferences(m_dir.filePath(QStringLiteral("preferences.conf")));
        ManualClock clock;
        KioskMode kiosk(clock, preferences);
        QSignalSpy exits(&kiosk, &KioskMode::exitRequested);
        MainWindow window;
        window.setKiosk(true);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWindow *handle = window.windowHandle();
        QTest::keyClick(handle, Qt::Key_F11);
        QTest::keyClick(handle, Qt::Key_Q, Qt::ControlModifier);
        QTest::keyClick(handle, Qt::Key_E, Qt::ControlModifier | Qt::AltModifier);
        QVERIFY(!window.close());
        window.showNormal();
        QTRY_VERIFY(window.isFullScreen() && window.isVisible());
        QCOMPARE(exits.size(), 0);
        QTest::keyClick(handle, Qt::Key_E, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
        QCOMPARE(exits.size(), 1);
    }

    // The settings open only after the PIN, for one visit; the single view goes back
    // to the grid when idle. A first start goes straight to the grid.
    void settingsBehindThePinAndIdleReturn()
    {
        m_preferences->setSettingsPinHash(PinHash::hash(QStringLiteral("2580")));
        MainWindow window;
        VyoAppDelegate delegate(window, *m_preferences, m_dir.path());
        delegate.setKiosk(true);
        delegate.applicationDidFinishLaunching();
        window.show();
        QCOMPARE(delegate.currentView(), View::Multi);

        delegate.switchToView(View::Settings);
        QVERIFY(delegate.pinPad());
        QCOMPARE(delegate.currentView(), View::Multi);
        enter(delegate.pinPad(), QStringLiteral("0000"));
        QCOMPARE(delegate.pinPad()->message(), QStringLiteral("Wrong PIN"));
        QVERIFY(window.grab().save(QDir::temp().filePath(QStringLiteral("vyo-kiosk-pin.png"))));
        QVERIFY(delegate.pinPad()->field()->text().isEmpty());
        QCOMPARE(delegate.currentView(), View::Multi);
        enter(delegate.pinPad(), QStringLiteral("2580"));
        QCOMPARE(delegate.currentView(), View::Settings);
        QTRY_VERIFY(!delegate.isTransitioning());
        QTRY_VERIFY(!delegate.pinPad());

        delegate.switchToView(View::Multi);
        QTRY_VERIFY(!delegate.isTransitioning());
        delegate.switchToView(View::Settings);
        QVERIFY(delegate.pinPad());
        delegate.pinPad()->dismissWithButtonIndex(0);
        QTRY_VERIFY(!delegate.pinPad());
        QCOMPARE(delegate.currentView(), View::Multi);

        Value camera = Value::dictionary();
        camera.insert(QStringLiteral("title"), QStringLiteral("Gate"));
        delegate.singleView()->setCamera(camera);
        delegate.switchToView(View::Single);
        QTRY_VERIFY(!delegate.isTransitioning());
        QCOMPARE(delegate.currentView(), View::Single);
        delegate.returnToGrid();
        QTRY_COMPARE(delegate.currentView(), View::Multi);
    }
};

QTEST_MAIN(TestKiosk)
#include "tst_kiosk.moc"
