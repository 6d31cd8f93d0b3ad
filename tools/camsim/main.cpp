// vyo-camsim: simulated network cameras, video and pan/tilt/zoom, on loopback.

#include "camsim/Announcer.h"
#include "camsim/ControlServer.h"
#include "camsim/DiscoveryResponder.h"
#include "camsim/GeminEyeServer.h"
#include "camsim/HttpCameraServer.h"
#include "camsim/MilestoneServer.h"
#include "camsim/OnvifServer.h"
#include "camsim/PelcoDServer.h"
#include "camsim/RtspCameraServer.h"
#include "camsim/Scene.h"
#include "camsim/SimCamera.h"
#include "camsim/SimConfig.h"
#include "camsim/UniversalServer.h"

#include "config/PropertyList.h"
#include "util/QelLog.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QMap>
#include <QSocketNotifier>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <csignal>
#include <sys/signalfd.h>
#include <unistd.h>

#include <gst/gst.h>
#include <memory>

namespace {

int fail(const QString &message)
{
    QTextStream(stderr) << "vyo-camsim: " << message << '\n';
    return 2;
}

Announcer::Service serviceFor(const CameraSetup &setup, const QString &host)
{
    Announcer::Service service{ setup.name, setup.port, {} };
    const Value definition = SimConfig::definition(setup, host);
    service.txt.append({ "title", setup.name.toUtf8() });
    for (const char *section : { "video.parameters", "control.parameters" }) {
        const Value params = definition.value(QString::fromLatin1(section));
        for (const QString &key : params.keys())
            service.txt.append({ key.toUtf8(), params.value(key).toString().toUtf8() });
    }
    return service;
}

} // namespace

int main(int argc, char *argv[])
{
    // SIGTERM and SIGINT end the event loop so that the ONVIF cameras say Bye. They
    // are blocked before any thread starts, so that only the signalfd sees them.
    sigset_t endSignals;
    sigemptyset(&endSignals);
    sigaddset(&endSignals, SIGTERM);
    sigaddset(&endSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &endSignals, nullptr);

    // The simulator draws its pictures off screen; it needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // The RTSP cameras' GStreamer runs on the GLib main context that Qt's loop turns.
    gst_init(nullptr, nullptr);
    QCoreApplication::setApplicationName(QStringLiteral("vyo-camsim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VYO_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulated network cameras for Vyo: Motion-JPEG and RTSP video and "
                                                    "pan/tilt/zoom heads for every protocol the viewer speaks."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption configOption(QStringLiteral("config"), QStringLiteral("Cameras from a JSON <file>."),
                                          QStringLiteral("file"));
    const QCommandLineOption demoOption(QStringLiteral("demo"),
                                        QStringLiteral("The built-in set of twelve cameras, two of them RTSP and two ONVIF."));
    const QCommandLineOption bindOption(QStringLiteral("bind"), QStringLiteral("Listen on <address> (127.0.0.1)."),
                                        QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption controlOption(QStringLiteral("control-port"),
                                           QStringLiteral("The inspection port (/state, /reset); 0 picks a free one."),
                                           QStringLiteral("port"), QStringLiteral("0"));
    const QCommandLineOption announceOption(QStringLiteral("announce"),
                                            QStringLiteral("Announce the cameras by DNS-SD through Avahi."));
    const QCommandLineOption printOption(QStringLiteral("print-group"),
                                         QStringLiteral("Print the cameras as a group (an XML property list) once listening."));
    const QCommandLineOption logOption(QStringLiteral("log-level"),
                                       QStringLiteral("Log commands (0) or bad input (1) to stderr."),
                                       QStringLiteral("level"));
    const QCommandLineOption timecodeOption(
        QStringLiteral("timecode"),
        QStringLiteral("Draw the moment each picture is made into it, as a stripe of black and white cells "
                       "(milliseconds of CLOCK_MONOTONIC), for latency measurements."));
    const QCommandLineOption delayOption(QStringLiteral("start-delay"),
                                         QStringLiteral("Listen only after <seconds> (a camera coming back after "
                                                        "its \"exitAfter\" fault does so)."),
                                         QStringLiteral("seconds"), QStringLiteral("0"));
    parser.addOptions({ configOption, demoOption, bindOption, controlOption, announceOption, printOption, logOption,
                        timecodeOption, delayOption });
    parser.process(app);

    if (parser.isSet(logOption)) {
        QelLog::setLoggingEnabled(true);
        QelLog::setLoggingThreshhold(parser.value(logOption).toInt());
    }
    QList<CameraSetup> setups;
    QString error;
    if (parser.isSet(configOption) == parser.isSet(demoOption))
        return fail(QStringLiteral("give either --config FILE or --demo"));
    quint16 discoveryPort = SimConfig::DefaultDiscoveryPort;
    setups = parser.isSet(demoOption) ? SimConfig::demo()
                                      : SimConfig::load(parser.value(configOption), &error, &discoveryPort);
    if (setups.isEmpty())
        return fail(error);
    const QHostAddress bind(parser.value(bindOption));
    if (bind.isNull())
        return fail(QStringLiteral("--bind takes a numeric address"));
    const QString host = bind.toString();

    // Nothing listens meanwhile: connections are refused, as by a camera that reboots.
    QThread::msleep(static_cast<unsigned long>(std::clamp(parser.value(delayOption).toDouble(), 0.0, 600.0) * 1000));
    const Scene scene(parser.isSet(timecodeOption));
    std::vector<std::unique_ptr<SimCamera>> cameras;
    QList<SimCamera *> all;
    QMap<QString, QList<SimCamera *>> servers; // listener key -> cameras behind it
    for (const CameraSetup &setup : std::as_const(setups)) {
        cameras.push_back(std::make_unique<SimCamera>(setup));
        SimCamera *camera = cameras.back().get();
        all.append(camera);
        const QString key = setup.server.isEmpty() ? QStringLiteral("camera:") + setup.name : QStringLiteral("server:") + setup.server;
        servers[key].append(camera);
    }

    QObject owner;
    for (const QList<SimCamera *> &group : std::as_const(servers)) {
        const CameraSetup &first = group.first()->setup();
        bool listening = false;
        if (first.family == QLatin1StringView("rtsp")) {
            auto *server = new RtspCameraServer(group.first(), scene, &owner);
            listening = server->listen(bind, first.port);
        } else if (first.family == QLatin1StringView("onvif")) {
            auto *streams = new RtspCameraServer(group.first(), scene, &owner);
            auto *services = new OnvifServer(group.first(), scene, &owner);
            listening = streams->listen(bind, first.rtspPort) && services->listen(bind, first.port);
        } else if (first.family == QLatin1StringView("milestone")) {
            auto *server = new MilestoneServer(group, scene, &owner);
            listening = server->listen(bind, first.port);
        } else {
            auto *server = new HttpCameraServer(group, scene, &owner);
            listening = server->listen(bind, first.port);
        }
        if (!listening)
            return fail(QStringLiteral("cannot listen for %1 on %2:%3").arg(first.name, host).arg(first.port));
        for (SimCamera *camera : group) {
            const QString ptz = camera->setup().ptz;
            TcpPtzServer *adapter = nullptr;
            if (ptz == QLatin1StringView("pelco"))
                adapter = new PelcoDServer(camera, &owner);
            else if (ptz == QLatin1StringView("gemineye"))
                adapter = new GeminEyeServer(camera, &owner);
            else if (ptz == QLatin1StringView("universal"))
                adapter = new UniversalServer(camera, &owner);
            if (adapter && !adapter->listen(bind, camera->setup().ptzPort))
                return fail(QStringLiteral("cannot listen for the head of %1").arg(camera->setup().name));
        }
    }
    auto *control = new ControlServer(all, &owner);
    if (!control->listen(bind, static_cast<quint16>(parser.value(controlOption).toUInt())))
        return fail(QStringLiteral("cannot listen on the control port"));

    QList<CameraSetup> live;
    QTextStream err(stderr);
    for (SimCamera *camera : std::as_const(all)) {
        live.append(camera->setup());
        const CameraSetup &s = camera->setup();
        err << "vyo-camsim: " << s.name << ": " << s.family << " video on " << host << ':' << s.port;
        if (s.rtspPort)
            err << ", RTSP on port " << s.rtspPort;
        if (!s.ptz.isEmpty())
            err << ", " << s.ptz << " PTZ" << (s.ptzPort ? QStringLiteral(" on port %1").arg(s.ptzPort) : QString());
        err << '\n';
    }
    QList<DiscoveryResponder::Device> onvifDevices;
    for (const CameraSetup &setup : std::as_const(live)) {
        if (setup.family == QLatin1StringView("onvif"))
            onvifDevices.append(DiscoveryResponder::deviceFor(setup, host));
    }
    std::unique_ptr<DiscoveryResponder> responder;
    if (!onvifDevices.isEmpty()) {
        responder = std::make_unique<DiscoveryResponder>(onvifDevices);
        if (responder->start(discoveryPort))
            err << "vyo-camsim: WS-Discovery on udp port " << discoveryPort << " (loopback)\n";
        else
            err << "vyo-camsim: carrying on without WS-Discovery on udp port " << discoveryPort << '\n';
    }
    const int endFd = signalfd(-1, &endSignals, SFD_CLOEXEC);
    QSocketNotifier endNotifier(endFd, QSocketNotifier::Read);
    QObject::connect(&endNotifier, &QSocketNotifier::activated, &owner, [] { QCoreApplication::quit(); });
    err << "vyo-camsim: control http://" << host << ':' << control->port() << "/state\n";
    err.flush();

    if (parser.isSet(printOption)) {
        const QByteArray xml = PropertyList::toXml(SimConfig::groupList(live, host, QStringLiteral("Demo")), &error);
        std::fwrite(xml.constData(), 1, static_cast<size_t>(xml.size()), stdout);
        std::fflush(stdout);
    }

    // The "exitAfter" fault: the process image is replaced by a new one that waits
    // "downFor" seconds before it listens again, so that whoever started the
    // simulator still holds the same process.
    for (const CameraSetup &setup : std::as_const(live)) {
        if (setup.exitAfter <= 0)
            continue;
        QTimer::singleShot(static_cast<int>(setup.exitAfter * 1000), &owner, [&setup] {
            QStringList args = QCoreApplication::arguments();
            if (const qsizetype at = args.indexOf(QStringLiteral("--start-delay")); at > 0)
                args.remove(at, 2);
            args << QStringLiteral("--start-delay") << QString::number(setup.downFor);
            std::vector<QByteArray> bytes;
            for (const QString &arg : std::as_const(args))
                bytes.push_back(arg.toLocal8Bit());
            std::vector<char *> list;
            for (QByteArray &arg : bytes)
                list.push_back(arg.data());
            list.push_back(nullptr);
            QTextStream(stderr) << "vyo-camsim: exiting; back in " << setup.downFor << " s\n";
            ::execv("/proc/self/exe", list.data());
            QTextStream(stderr) << "vyo-camsim: cannot start again\n";
            std::_Exit(3);
        });
        break;
    }

    std::unique_ptr<Announcer> announcer;
    if (parser.isSet(announceOption)) {
        QList<Announcer::Service> services;
        for (const CameraSetup &setup : std::as_const(live))
            services.append(serviceFor(setup, host));
        announcer = std::make_unique<Announcer>(services);
        if (!announcer->start())
            err << "vyo-camsim: carrying on without announcements\n";
    }
    const int status = QCoreApplication::exec();
    ::close(endFd);
    return status;
}
