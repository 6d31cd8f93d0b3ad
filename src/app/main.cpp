// vyo: the camera viewer.

#include "app/DemoProfile.h"
#include "app/KioskMode.h"
#include "app/MainWindow.h"
#include "app/LinkServer.h"
#include "app/Translations.h"
#include "app/VyoAppDelegate.h"
#include "platform/Clock.h"
#include "platform/Preferences.h"
#include "platform/Profile.h"
#include "util/QelLog.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLocale>
#include <QLockFile>
#include <QScreen>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>
#include <QUrl>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = { -1, -1 };

void onSignal(int)
{
    const char byte = 1;
    // Only async-signal-safe work here; the event loop does the rest.
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

bool hasOption(int argc, char *argv[], const char *option)
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], option) == 0)
            return true;
    }
    return false;
}

QString optionValue(int argc, char *argv[], const char *option)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], option) == 0)
            return QString::fromLocal8Bit(argv[i + 1]);
    }
    return {};
}

// A fixed scale must be chosen before the application object exists.
void chooseScale(int argc, char *argv[])
{
    const QString scale = optionValue(argc, argv, "--scale");
    if (!scale.isEmpty())
        qputenv("QT_SCALE_FACTOR", scale.toLocal8Bit());
}

struct CommandLine
{
    QCommandLineParser parser;
    const QCommandLineOption profile{ QStringLiteral("profile"), QStringLiteral("Use the profile in <dir>."),
                                      QStringLiteral("dir") };
    const QCommandLineOption demo{ QStringLiteral("demo"),
                                   QStringLiteral("Show the simulated cameras of vyo-camsim in a throw-away profile.") };
    const QCommandLineOption scale{ QStringLiteral("scale"), QStringLiteral("Scale the interface by <n>."),
                                    QStringLiteral("n") };
    const QCommandLineOption fullscreen{ QStringLiteral("fullscreen"),
                                         QStringLiteral("Fill the display, the interface scaled to fit.") };
    const QCommandLineOption kiosk{ QStringLiteral("kiosk"),
                                    QStringLiteral("Run as a wall panel: full screen, no way out but the configured "
                                                   "exit keys, the settings behind the settings PIN.") };

    // Help and version are printed by process(), which then ends the program.
    void process(const QCoreApplication &app)
    {
        QCoreApplication::setApplicationName(QStringLiteral("vyo"));
        QCoreApplication::setApplicationVersion(QStringLiteral(VYO_VERSION));
        parser.setApplicationDescription(QStringLiteral("Vyo: live network cameras, steered by touch."));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOptions({ profile, demo, scale, fullscreen, kiosk });
        parser.addPositionalArgument(QStringLiteral("link"), QStringLiteral("A vyo:// link to open."),
                                     QStringLiteral("[link]"));
        parser.process(app);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    // Help and version need no display.
    for (const char *option : { "-h", "--help", "--help-all", "-v", "--version" }) {
        if (hasOption(argc, argv, option)) {
            QCoreApplication core(argc, argv);
            CommandLine().process(core);
        }
    }
    chooseScale(argc, argv);
    QApplication app(argc, argv);
    CommandLine command;
    command.process(app);
    const QCommandLineParser &parser = command.parser;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        QTextStream(stderr) << "vyo: give at most one link\n";
        return 2;
    }
    const QUrl link = positional.isEmpty() ? QUrl() : QUrl(positional.first(), QUrl::StrictMode);
    if (!positional.isEmpty() && (!link.isValid() || link.scheme() != QLatin1StringView("vyo"))) {
        QTextStream(stderr) << "vyo: not a vyo:// link: " << positional.first() << '\n';
        return 2;
    }

    DemoProfile demo;
    QString profileDir = parser.value(command.profile);
    if (parser.isSet(command.demo)) {
        QString error;
        if (!demo.start(&error)) {
            QTextStream(stderr) << "vyo: " << error << '\n';
            return 1;
        }
        profileDir = demo.directory();
    }
    const Profile profile = Profile::resolve(profileDir);
    QString error;
    if (!profile.ensureDirectories(&error)) {
        QTextStream(stderr) << "vyo: " << error << '\n';
        return 1;
    }
    const std::unique_ptr<QLockFile> lock = profile.tryLock();
    if (!lock) {
        // A link opened from a mail or a browser goes to the viewer that already runs;
        // a start without one brings that viewer to the front.
        if (LinkServer::forward(profile.dataDir(), link, &error))
            return 0;
        if (link.isEmpty())
            QTextStream(stderr) << "vyo: the profile in " << profile.dataDir() << " is in use by another viewer\n";
        else
            QTextStream(stderr) << "vyo: " << error << '\n';
        return 1;
    }

    Translations::install(app, QLocale::system());
    Preferences preferences(profile.preferencesPath());
    MainWindow window;
    VyoAppDelegate delegate(window, preferences, profile.dataDir());
    // The simulator's cameras live on loopback; a real network is searched everywhere.
    if (!parser.isSet(command.demo))
        delegate.setOnvifDiscoveryOptions({});
    const bool kiosk = parser.isSet(command.kiosk);
    delegate.setKiosk(kiosk);
    delegate.applicationDidFinishLaunching();
    profile.warnIfReadableByOthers();

    LinkServer links(profile.dataDir(), [&window, &delegate](const QUrl &url) {
        if (window.isMinimized())
            window.showNormal();
        window.raise();
        window.activateWindow();
        return url.isEmpty() || delegate.application(url);
    });
    if (!links.listen(&error))
        QEL_LOG(LogLevel::Error, QStringLiteral("Links from other starts cannot reach this viewer: %1").arg(error));

    // SIGINT, SIGTERM and SIGHUP end the application as a normal quit would, so
    // no edit is lost to a signal. They leave the event loop without asking the
    // window, which a kiosk would refuse; the groups are stored on the way out.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) == 0) {
        auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, [] { QCoreApplication::exit(0); });
        struct sigaction action = {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int sig : { SIGINT, SIGTERM, SIGHUP })
            sigaction(sig, &action, nullptr);
    }
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &VyoAppDelegate::applicationWillTerminate);
    QObject::connect(&window, &MainWindow::closing, &delegate, &VyoAppDelegate::applicationWillTerminate);

    // The window comes back where and as large as it was left.
    if (!window.restoreGeometry(preferences.windowGeometry())) {
        if (const QScreen *screen = window.screen())
            window.resize(MainWindow::preferredSize(screen->availableGeometry().size()));
    }
    const auto keepGeometry = [&window, &preferences] { preferences.setWindowGeometry(window.saveGeometry()); };
    QObject::connect(&window, &MainWindow::closing, &preferences, keepGeometry);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &preferences, keepGeometry);
    std::unique_ptr<KioskMode> kioskMode;
    if (kiosk) {
        kioskMode = std::make_unique<KioskMode>(Clock::system(), preferences);
        QObject::connect(kioskMode.get(), &KioskMode::idle, &delegate, &VyoAppDelegate::returnToGrid);
        QObject::connect(kioskMode.get(), &KioskMode::exitRequested, &app,
                         [] { QCoreApplication::exit(KioskMode::ExitStatus); });
        window.setKiosk(true);
    } else if (parser.isSet(command.fullscreen)) {
        window.showFullScreen();
    } else {
        window.show();
    }
    if (!link.isEmpty())
        QTimer::singleShot(0, &delegate, [&delegate, link] { delegate.application(link); });
    return QApplication::exec();
}
