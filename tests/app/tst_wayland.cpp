#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLibraryInfo>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

constexpr int Width = 800;
constexpr int Height = 480;

} // namespace

// The viewer as a Wayland client: vyo --demo --kiosk under a headless weston,
// photographed by the compositor itself.
class TestWayland final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_runtime;
    QProcess m_compositor;
    QProcess m_viewer;
    QProcessEnvironment m_environment = QProcessEnvironment::systemEnvironment();

    // The compositor's own picture of its output, or none.
    QImage screenshot()
    {
        QDir dir(m_runtime.path());
        for (const QString &old : dir.entryList({ QStringLiteral("wayland-screenshot*.png") }))
            dir.remove(old);
        QProcess shooter;
        shooter.setProcessEnvironment(m_environment);
        shooter.setWorkingDirectory(m_runtime.path());
        shooter.start(QStringLiteral("weston-screenshooter"), {});
        if (!shooter.waitForFinished(10000) || shooter.exitCode() != 0)
            return {};
        const QStringList shots = dir.entryList({ QStringLiteral("wayland-screenshot*.png") });
        return shots.isEmpty() ? QImage() : QImage(dir.filePath(shots.first()));
    }

private slots:
    void initTestCase()
    {
        const QString plugin = QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms/libqwayland-generic.so");
        if (QStandardPaths::findExecutable(QStringLiteral("weston")).isEmpty() || !QFileInfo::exists(plugin))
            QSKIP("weston or Qt's wayland platform is not installed");
        m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        m_environment.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("vyo-test"));
        m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        m_environment.remove(QStringLiteral("DISPLAY"));
        QFile::setPermissions(m_runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        m_compositor.setProcessEnvironment(m_environment);
        m_compositor.setStandardOutputFile(m_runtime.filePath(QStringLiteral("weston.log")));
        m_compositor.setStandardErrorFile(m_runtime.filePath(QStringLiteral("weston.log")), QIODevice::Append);
        // The pixman renderer draws without a GPU; --debug lets the screenshooter in.
        m_compositor.start(QStringLiteral("weston"),
                           { QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--use-pixman"),
                             QStringLiteral("--socket=vyo-test"), QStringLiteral("--width=%1").arg(Width),
                             QStringLiteral("--height=%1").arg(Height), QStringLiteral("--idle-time=0"),
                             QStringLiteral("--no-config"), QStringLiteral("--debug") });
        const QString socket = m_runtime.filePath(QStringLiteral("vyo-test"));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(socket) || m_compositor.state() == QProcess::NotRunning, 15000);
        if (m_compositor.state() == QProcess::NotRunning)
            QSKIP("the headless compositor cannot start here");
    }

    void cleanupTestCase()
    {
        m_compositor.terminate();
        m_compositor.waitForFinished(10000);
    }

    void kioskShowsLiveCamerasFullScreen()
    {
        QProcessEnvironment viewer = m_environment;
        viewer.insert(QStringLiteral("LSAN_OPTIONS"), QStringLiteral("suppressions=" VYO_WAYLAND_LSAN));
        m_viewer.setProcessEnvironment(viewer);
        m_viewer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_viewer.start(QStringLiteral(VYO_VIEWER_PATH), { QStringLiteral("--demo"), QStringLiteral("--kiosk") });
        QVERIFY(m_viewer.waitForStarted());

        // Full screen: the toolbar's blue across the top of the scaled stage (the
        // output's wider shape leaves bars at the sides), the simulated cameras'
        // pictures in the tiles below it rather than the grey of an empty grid.
        QImage shot;
        const auto live = [&shot] {
            for (const QPoint &p : { QPoint(Width / 2 - 300, 12), QPoint(Width / 2 + 300, 12) }) {
                if (shot.pixelColor(p).blue() < shot.pixelColor(p).red() + 40)
                    return false;
            }
            // Sky, grass and labels of the simulated pictures: many colours, no grey field.
            QSet<QRgb> colours;
            for (int y = 80; y < 400; y += 7)
                colours.insert(shot.pixel(Width / 2 - 250 + (y * 13) % 500, y) & 0xf0f0f0);
            return colours.size() > 8;
        };
        QTRY_VERIFY_WITH_TIMEOUT((shot = screenshot(), shot.size() == QSize(Width, Height) && live()), 60000);
        const QString saved = QDir::temp().filePath(QStringLiteral("vyo-wayland-kiosk.png"));
        QVERIFY(shot.save(saved));
        qInfo("Wayland screenshot: %s", qPrintable(saved));

        // A kiosk refuses to close, but a service manager's signal still ends it cleanly.
        QCOMPARE(m_viewer.state(), QProcess::Running);
        ::kill(static_cast<pid_t>(m_viewer.processId()), SIGTERM);
        QVERIFY(m_viewer.waitForFinished(20000));
        QCOMPARE(m_viewer.exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_viewer.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestWayland)
#include "tst_wayland.moc"
