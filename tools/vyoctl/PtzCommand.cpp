// vyoctl ptz: plays finger input into a camera's PTZ controller, as the live view
// would, so that an installer can see the head move before adding the camera.

#include "vyoctl/Command.h"

#include "config/Value.h"
#include "ptz/PTZControlFactory.h"
#include "ptz/PTZController.h"
#include "ptz/PTZProfile.h"
#include "util/QelLog.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QTextStream>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>

namespace vyoctl {

namespace {

// Touch events come this often, as on the panel.
constexpr int TouchEventMs = 20;
constexpr double DefaultGestureSeconds = 0.5;
// A hold starts with a stroke drawn in this time.
constexpr double HoldStrokeSeconds = 0.5;
constexpr double MaxGestureSeconds = 60;
constexpr float MaxPoints = 10000;
// Long enough for the stop after the last gesture on every protocol: the byte
// protocols wait out a 0.3 s reply allowance, a Milestone batch may still be open.
constexpr int StopWaitMs = 1500;

// One controller call at a moment after the start.
struct Step
{
    qint64 atMs;
    std::function<void(PTZController &)> call;
};

struct Gesture
{
    QString kind;
    float x = 0;
    float y = 0;
    double seconds = DefaultGestureSeconds;
};

bool parsePoints(const QString &text, float *value)
{
    bool ok = false;
    const float v = text.trimmed().toFloat(&ok);
    if (!ok || !std::isfinite(v) || std::fabs(v) > MaxPoints)
        return false;
    *value = v;
    return true;
}

// "DX,DY[@SECONDS]" for drags and holds, "D[@SECONDS]" for pinches.
bool parseGesture(const QString &kind, const QString &text, Gesture *gesture, QString *error)
{
    gesture->kind = kind;
    const QStringList timed = text.split(QLatin1Char('@'));
    const QStringList points = timed.first().split(QLatin1Char(','));
    const bool pinch = kind == QLatin1StringView("pinch");
    const bool shapeOk = timed.size() <= 2 && points.size() == (pinch ? 1 : 2)
        && parsePoints(points.at(0), &gesture->x) && (pinch || parsePoints(points.at(1), &gesture->y));
    if (kind == QLatin1StringView("hold") && timed.size() != 2) {
        *error = QStringLiteral("--hold takes DX,DY@SECONDS");
        return false;
    }
    if (!shapeOk) {
        *error = QStringLiteral("--%1 takes %2[@SECONDS] with at most %3 points, not \"%4\"")
                     .arg(kind, pinch ? QStringLiteral("D") : QStringLiteral("DX,DY"))
                     .arg(MaxPoints)
                     .arg(text);
        return false;
    }
    if (timed.size() == 2) {
        bool ok = false;
        gesture->seconds = timed.at(1).toDouble(&ok);
        if (!ok || !(gesture->seconds > 0) || gesture->seconds > MaxGestureSeconds) {
            *error = QStringLiteral("--%1 takes a duration above 0 and up to %2 seconds, not \"%3\"")
                         .arg(kind)
                         .arg(MaxGestureSeconds)
                         .arg(timed.at(1));
            return false;
        }
    }
    return true;
}

// Appends the controller calls of one gesture from startMs on; returns its end.
qint64 schedule(const Gesture &g, qint64 startMs, QList<Step> *steps)
{
    const qint64 durationMs = std::llround(g.seconds * 1000);
    if (g.kind == QLatin1StringView("hold")) {
        const float x = g.x;
        const float y = g.y;
        steps->append({ startMs, [x, y](PTZController &c) { c.setHolding(true, x, y, 0, HoldStrokeSeconds); } });
        steps->append({ startMs + durationMs, [](PTZController &c) { c.setHolding(false, 0, 0, 0, 0); } });
        return startMs + durationMs;
    }
    const qint64 events = std::max<qint64>(1, durationMs / TouchEventMs);
    const float x = g.x / static_cast<float>(events);
    const float y = g.y / static_cast<float>(events);
    const double interval = TouchEventMs / 1000.0;
    const bool pinch = g.kind == QLatin1StringView("pinch");
    for (qint64 i = 1; i <= events; ++i) {
        steps->append({ startMs + i * TouchEventMs, [=](PTZController &c) {
                           if (pinch)
                               c.updateChangePinch(x, interval);
                           else
                               c.updateChangeX(x, y, interval);
                       } });
    }
    return startMs + events * TouchEventMs;
}

void printLine(const QByteArray &line)
{
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
    std::fflush(stdout);
}

QString protocolNames()
{
    QStringList names;
    for (const PTZProfile *profile : PTZControlFactory::ptzProfileList())
        names.append(QLatin1Char('"') + profile->canHandleType() + QLatin1Char('"'));
    return names.join(QStringLiteral(", "));
}

} // namespace

int runPtz(const QStringList &arguments)
{
    QCommandLineParser parser;
    addCommonOptions(parser, QStringLiteral("Plays finger gestures into a camera's PTZ controller.\n"
                                            "Gestures run in the order given: --drag DX,DY[@SECONDS] drags one "
                                            "finger that many points, --pinch D[@SECONDS] spreads two fingers, "
                                            "--hold DX,DY@SECONDS holds a stroke that long. Then the stop goes "
                                            "out and the controller is disconnected."));
    parser.addPositionalArgument(QStringLiteral("ptz"), QStringLiteral("The command."));
    QStringList valued = { QStringLiteral("profile"), QStringLiteral("log-level") };
    const auto option = [&](const char *name, const char *help, const char *value = nullptr) {
        if (value)
            valued.append(QString::fromLatin1(name));
        parser.addOption({ QString::fromLatin1(name), QString::fromLatin1(help),
                           value ? QString::fromLatin1(value) : QString() });
    };
    option("protocol", "The \"control.protocol\" of the camera.", "name");
    option("host", "Control host, a numeric address for the TCP protocols.", "host");
    option("port", "Control port.", "n");
    option("ssl", "Use HTTPS (Axis).");
    option("user", "Control user name.", "name");
    option("password", "Control password.", "text");
    option("camera-number", "Camera number (Axis, GeminEye).", "n");
    option("serial-id", "Receiver address on the serial bus (Pelco D, GeminEye).", "n");
    option("camera-name", "Camera name on the server (Milestone).", "name");
    option("title", "Camera title (QuickSet Universal addressee).", "text");
    option("drag", "Drag one finger DX,DY points over SECONDS (0.5).", "DX,DY[@SECONDS]");
    option("pinch", "Change the distance of two fingers by D points over SECONDS (0.5).", "D[@SECONDS]");
    option("hold", "Hold a stroke of DX,DY points for SECONDS.", "DX,DY@SECONDS");
    option("trace", "Print every command as it is issued.");

    // A drag to the left is "--drag -300,0", whose value the parser would take for
    // short options: bind every option's value to its name first.
    QStringList bound;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg.startsWith(QLatin1StringView("--")) && valued.contains(arg.mid(2)) && i + 1 < arguments.size()) {
            bound.append(arg + QLatin1Char('=') + arguments.at(i + 1));
            ++i;
        } else {
            bound.append(arg);
        }
    }
    int exitCode = Ok;
    if (!parseCommon(parser, bound, &exitCode))
        return exitCode;

    const QString protocol = parser.value(QStringLiteral("protocol"));
    if (protocol.isEmpty())
        return fail(BadInput, QStringLiteral("ptz needs --protocol"));
    if (!protocolNames().contains(QLatin1Char('"') + protocol + QLatin1Char('"')))
        return fail(BadInput, QStringLiteral("unknown protocol \"%1\"; one of %2").arg(protocol, protocolNames()));
    for (const char *name : { "port", "camera-number", "serial-id" }) {
        const QString key = QString::fromLatin1(name);
        if (!parser.isSet(key))
            continue;
        bool ok = false;
        const int n = parser.value(key).toInt(&ok);
        if (!ok || n < 0 || (key == QLatin1StringView("port") && (n < 1 || n > 65535)))
            return fail(BadInput, QStringLiteral("--%1 takes a number, not \"%2\"").arg(key, parser.value(key)));
    }

    // The actions in the order they were given.
    QList<Gesture> gestures;
    QHash<QString, int> seen;
    for (const QString &name : parser.optionNames()) {
        if (name != QLatin1StringView("drag") && name != QLatin1StringView("pinch") && name != QLatin1StringView("hold"))
            continue;
        Gesture gesture;
        QString error;
        if (!parseGesture(name, parser.values(name).at(seen[name]++), &gesture, &error))
            return fail(BadInput, error);
        gestures.append(gesture);
    }
    if (gestures.isEmpty())
        return fail(BadInput, QStringLiteral("ptz needs at least one --drag, --pinch or --hold"));

    Value parms = Value::dictionary();
    parms.insert(QStringLiteral("control.protocol"), protocol);
    const std::pair<const char *, const char *> keys[] = {
        { "host", "control.host" },           { "port", "control.port" },
        { "user", "control.username" },       { "password", "control.password" },
        { "camera-number", "control.camera_number" }, { "serial-id", "control.serial_id" },
        { "camera-name", "control.camera_name" },
    };
    for (const auto &[name, key] : keys) {
        if (parser.isSet(QString::fromLatin1(name)))
            parms.insert(QString::fromLatin1(key), parser.value(QString::fromLatin1(name)));
    }
    if (parser.isSet(QStringLiteral("ssl")))
        parms.insert(QStringLiteral("control.ssl"), QStringLiteral("y"));
    Value camera = Value::dictionary();
    if (parser.isSet(QStringLiteral("title")))
        camera.insert(QStringLiteral("title"), parser.value(QStringLiteral("title")));
    camera.insert(QStringLiteral("control.parameters"), parms);

    if (parser.isSet(QStringLiteral("trace"))) {
        QelLog::setLoggingEnabled(true);
        QelLog::setLoggingThreshhold(0);
        QelLog::setSink(printLine);
    }

    std::unique_ptr<PTZController> controller = PTZControlFactory::createControllerWithParameters(camera);
    if (!controller)
        return fail(Failure, QStringLiteral("no \"%1\" controller for this camera: a parameter is missing or the "
                                            "camera does not answer (--log-level 2 tells which)")
                                 .arg(protocol));

    QList<Step> steps;
    qint64 endMs = 0;
    for (const Gesture &g : gestures)
        endMs = schedule(g, endMs, &steps);
    for (const Step &step : steps) {
        QTimer::singleShot(std::chrono::milliseconds(step.atMs), controller.get(),
                           [call = step.call, c = controller.get()] { call(*c); });
    }
    QTimer::singleShot(std::chrono::milliseconds(endMs + StopWaitMs), controller.get(), [&controller] {
        controller->disconnect();
        // Let the closing reach the camera before the process ends.
        QTimer::singleShot(50, QCoreApplication::instance(), &QCoreApplication::quit);
    });
    QCoreApplication::exec();
    return Ok;
}

} // namespace vyoctl
