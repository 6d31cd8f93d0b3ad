#include "app/IdleTimer.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QProcess>
#include <QTest>

namespace {

const QString RequestPath = QStringLiteral("/org/freedesktop/portal/desktop/request/1_1/vyo");

// The desktop portal's Inhibit as xdg-desktop-portal offers it, with the request
// object that ends an inhibition.
class FakePortal final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Inhibit")

public:
    QList<uint> flags;
    QString reason;

public slots:
    QDBusObjectPath Inhibit(const QString &, uint flag, const QVariantMap &options)
    {
        flags.append(flag);
        reason = options.value(QStringLiteral("reason")).toString();
        return QDBusObjectPath(RequestPath);
    }
};

class FakeRequest final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Request")

public:
    int closed = 0;

public slots:
    void Close() { ++closed; }
};

class FakeScreenSaver final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    QList<uint> released;

public slots:
    uint Inhibit(const QString &, const QString &) { return 41; }
    void UnInhibit(uint cookie) { released.append(cookie); }
};

} // namespace

// Against a session bus of the test's own, so that no desktop's screensaver is touched.
class TestIdleTimer final : public QObject
{
    Q_OBJECT

private:
    QProcess m_bus;

private slots:
    void initTestCase()
    {
        m_bus.start(QStringLiteral("dbus-daemon"), { QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                     QStringLiteral("--print-address=1") });
        if (!m_bus.waitForStarted())
            QSKIP("dbus-daemon cannot start here");
        QTRY_VERIFY(m_bus.canReadLine());
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.readLine().trimmed());
        QVERIFY(QDBusConnection::sessionBus().isConnected());
    }

    void cleanupTestCase()
    {
        m_bus.terminate();
        m_bus.waitForFinished();
    }

    void portalWhereNoScreenSaverAndScreenSaverFirstOffWayland()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        IdleTimer timer;
        timer.setDisabled(true);
        QVERIFY(!timer.isDisabled());

        FakePortal portal;
        FakeRequest request;
        QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal, QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerObject(RequestPath, &request, QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
        timer.setDisabled(true);
        QVERIFY(timer.isDisabled());
        QCOMPARE(portal.flags, QList<uint>{ 8 });
        QCOMPARE(portal.reason, QStringLiteral("Watching cameras"));
        timer.setDisabled(true);
        QCOMPARE(portal.flags.size(), 1);
        timer.setDisabled(false);
        QCOMPARE(request.closed, 1);
        QVERIFY(!timer.isDisabled());

        FakeScreenSaver saver;
        QVERIFY(bus.registerObject(QStringLiteral("/ScreenSaver"), &saver, QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
        {
            IdleTimer held;
            held.setDisabled(true);
            QCOMPARE(portal.flags.size(), 1);
        }
        QCOMPARE(saver.released, QList<uint>{ 41 });
    }
};

QTEST_MAIN(TestIdleTimer)
#include "tst_idletimer.moc"
