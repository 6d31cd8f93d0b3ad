#include "camsim/SimConfig.h"

#include <QFile>

#include <cmath>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QStringList Families = { QStringLiteral("generic"), QStringLiteral("axis"), QStringLiteral("axisserver"),
                               QStringLiteral("sony"),    QStringLiteral("canon"), QStringLiteral("milestone"),
                               QStringLiteral("rtsp"),    QStringLiteral("onvif") };
const QStringList PtzProtocols = { QString(), QStringLiteral("axis"), QStringLiteral("sony"),
                                   QStringLiteral("canon"), QStringLiteral("pelco"), QStringLiteral("gemineye"),
                                   QStringLiteral("universal"), QStringLiteral("milestone"), QStringLiteral("onvif") };

// The PTZ protocols a family's own HTTP or server interface carries.
bool ptzFitsFamily(const CameraSetup &s)
{
    // An ONVIF camera's head is steered through its PTZ service and nothing else.
    if (s.family == QLatin1StringView("onvif") || s.ptz == QLatin1StringView("onvif"))
        return s.family == QLatin1StringView("onvif") && (s.ptz.isEmpty() || s.ptz == QLatin1StringView("onvif"));
    if (s.ptz == QLatin1StringView("axis"))
        return s.family == QLatin1StringView("axis") || s.family == QLatin1StringView("axisserver");
    if (s.ptz == QLatin1StringView("sony") || s.ptz == QLatin1StringView("canon")
        || s.ptz == QLatin1StringView("milestone"))
        return s.family == s.ptz;
    return true;
}

void put(Value &dict, const char *key, const QString &value)
{
    if (!value.isEmpty())
        dict.insert(QString::fromLatin1(key), value);
}

QSize sizeOf(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('x'));
    return QSize(parts.value(0).toInt(), parts.value(1).toInt());
}

QString resolutionText(QSize size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

QString rtspProblem(const CameraSetup &s)
{
    if (s.codec != QLatin1StringView("h264") && s.codec != QLatin1StringView("h265"))
        return QStringLiteral("codec is \"h264\" or \"h265\"");
    if (!s.subPath.isEmpty() && (!s.subPath.startsWith(QLatin1Char('/')) || s.subPath == s.path))
        return QStringLiteral("the sub path begins with \"/\" and differs from the path");
    if (s.resolution.width() % 2 || s.resolution.height() % 2 || s.subResolution.width() < 16
        || s.subResolution.height() < 16 || s.subResolution.width() % 2 || s.subResolution.height() % 2)
        return QStringLiteral("RTSP sizes are even and at least 16x16");
    if (s.stallAfter < 0 || s.exitAfter < 0 || s.downFor < 0 || (s.exitAfter > 0) != (s.downFor > 0)
        || s.udpLoss < 0 || s.udpLoss >= 1)
        return QStringLiteral("bad faults: exitAfter and downFor go together, udpLoss is 0 to 1");
    if (s.exitAfter > 0 && s.port == 0)
        return QStringLiteral("a camera that exits and comes back needs a fixed port");
    if (s.family == QLatin1StringView("onvif")) {
        if (s.subPath.isEmpty())
            return QStringLiteral("an ONVIF camera has a sub path for its second profile");
        if (s.prefixes != QLatin1StringView("named") && s.prefixes != QLatin1StringView("numbered"))
            return QStringLiteral("prefixes are \"named\" or \"numbered\"");
        if (std::abs(s.clockOffset) > 10 * 365 * 86400)
            return QStringLiteral("clockOffset is at most ten years");
        return {};
    }
    if (!s.ptz.isEmpty() && s.ptz != QLatin1StringView("pelco") && s.ptz != QLatin1StringView("gemineye")
        && s.ptz != QLatin1StringView("universal"))
        return QStringLiteral("an RTSP camera takes a byte-protocol head");
    return {};
}

} // namespace

QList<CameraSetup> SimConfig::load(const QString &path, QString *error, quint16 *discoveryPort)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return {};
    }
    return parse(file.read(1024 * 1024), error, discoveryPort);
}

QList<CameraSetup> SimConfig::parse(const QByteArray &json, QString *error, quint16 *discoveryPort)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (doc.isNull()) {
        *error = parseError.errorString();
        return {};
    }
    const QJsonArray list = doc.object().value(QStringLiteral("cameras")).toArray();
    const int discovery = doc.object().value(QStringLiteral("discoveryPort")).toInt(DefaultDiscoveryPort);
    if (discovery < 1 || discovery > 65535) {
        *error = QStringLiteral("discoveryPort is 1 to 65535");
        return {};
    }
    if (discoveryPort)
        *discoveryPort = static_cast<quint16>(discovery);
    if (list.isEmpty()) {
        *error = QStringLiteral("no \"cameras\" array");
        return {};
    }
    QList<CameraSetup> cameras;
    for (const QJsonValue &item : list) {
        const QJsonObject o = item.toObject();
        CameraSetup s;
        s.name = o.value(QStringLiteral("name")).toString();
        s.family = o.value(QStringLiteral("family")).toString();
        s.server = o.value(QStringLiteral("server")).toString();
        s.port = static_cast<quint16>(o.value(QStringLiteral("port")).toInt(0));
        s.input = o.value(QStringLiteral("input")).toInt(1);
        s.path = o.value(QStringLiteral("path")).toString(QStringLiteral("/mjpg/video.mjpg"));
        s.vapix = o.value(QStringLiteral("vapix")).toBool(false);
        s.cameraName = o.value(QStringLiteral("cameraName")).toString(s.name);
        s.auth = o.value(QStringLiteral("auth")).toString();
        s.https = o.value(QStringLiteral("https")).toBool(false);
        s.user = o.value(QStringLiteral("user")).toString();
        s.password = o.value(QStringLiteral("password")).toString();
        s.resolution = sizeOf(o.value(QStringLiteral("resolution")).toString(QStringLiteral("640x480")));
        s.fps = o.value(QStringLiteral("fps")).toDouble(10);
        s.homePan = o.value(QStringLiteral("pan")).toDouble(0);
        s.homeTilt = o.value(QStringLiteral("tilt")).toDouble(0);
        s.ptz = o.value(QStringLiteral("ptz")).toString();
        s.ptzPort = static_cast<quint16>(o.value(QStringLiteral("ptzPort")).toInt(0));
        s.serialId = o.value(QStringLiteral("serialId")).toInt(1);
        s.cameraNumber = o.value(QStringLiteral("cameraNumber")).toInt(1);
        const QJsonObject quirks = o.value(QStringLiteral("quirks")).toObject();
        s.noContentLength = quirks.value(QStringLiteral("noContentLength")).toBool();
        s.dashedBoundary = quirks.value(QStringLiteral("dashedBoundary")).toBool();
        s.noLeadingBoundary = quirks.value(QStringLiteral("noLeadingBoundary")).toBool();
        s.lfOnly = quirks.value(QStringLiteral("lfOnly")).toBool();
        s.singlePicture = quirks.value(QStringLiteral("singlePicture")).toBool();
        const bool onvif = s.family == QLatin1StringView("onvif");
        if (s.family == QLatin1StringView("rtsp") || onvif) {
            s.path = o.value(QStringLiteral("path")).toString(QStringLiteral("/main"));
            s.resolution = sizeOf(o.value(QStringLiteral("resolution")).toString(QStringLiteral("1280x720")));
            s.codec = o.value(QStringLiteral("codec")).toString(QStringLiteral("h264"));
            s.subPath = o.value(QStringLiteral("subPath")).toString(onvif ? QStringLiteral("/sub") : QString());
            s.subResolution = sizeOf(o.value(QStringLiteral("subResolution")).toString(QStringLiteral("320x240")));
            s.transport = o.value(QStringLiteral("transport")).toString();
            const QJsonObject faults = o.value(QStringLiteral("faults")).toObject();
            s.stallAfter = faults.value(QStringLiteral("stallAfter")).toDouble();
            s.exitAfter = faults.value(QStringLiteral("exitAfter")).toDouble();
            s.downFor = faults.value(QStringLiteral("downFor")).toDouble();
            s.udpLoss = faults.value(QStringLiteral("udpLoss")).toDouble();
        }
        if (onvif) {
            s.rtspPort = static_cast<quint16>(o.value(QStringLiteral("rtspPort")).toInt(0));
            s.prefixes = o.value(QStringLiteral("prefixes")).toString(QStringLiteral("named"));
            s.hardware = o.value(QStringLiteral("hardware")).toString(QStringLiteral("vyo-camsim"));
            s.location = o.value(QStringLiteral("location")).toString();
            s.ignoreStop = quirks.value(QStringLiteral("ignoreStop")).toBool();
            s.clockOffset = quirks.value(QStringLiteral("clockOffset")).toInt();
            s.digestOnly = quirks.value(QStringLiteral("digestOnly")).toBool();
        }

        const QString where = QStringLiteral("camera %1").arg(cameras.size() + 1);
        QString problem;
        if (s.name.isEmpty())
            problem = QStringLiteral("%1 has no name").arg(where);
        else if (!Families.contains(s.family))
            problem = QStringLiteral("%1: unknown family \"%2\"").arg(where, s.family);
        else if (!PtzProtocols.contains(s.ptz))
            problem = QStringLiteral("%1: unknown ptz protocol \"%2\"").arg(where, s.ptz);
        else if (!ptzFitsFamily(s))
            problem = QStringLiteral("%1: a %2 camera cannot speak %3 PTZ").arg(where, s.family, s.ptz);
        else if (!s.auth.isEmpty() && s.auth != QLatin1StringView("basic") && s.auth != QLatin1StringView("digest"))
            problem = QStringLiteral("%1: auth is \"basic\" or \"digest\"").arg(where);
        else if (s.resolution.width() < 16 || s.resolution.height() < 16 || s.fps <= 0 || s.fps > 60)
            problem = QStringLiteral("%1: bad resolution or fps").arg(where);
        else if (std::abs(s.homePan) > 170 || std::abs(s.homeTilt) > 45)
            problem = QStringLiteral("%1: pan is -170 to 170 and tilt -45 to 45").arg(where);
        else if ((s.family == QLatin1StringView("generic") || s.family == QLatin1StringView("rtsp") || onvif)
                 && !s.path.startsWith(QLatin1Char('/')))
            problem = QStringLiteral("%1: the path must begin with \"/\"").arg(where);
        else if (s.https && s.family == QLatin1StringView("milestone"))
            problem = QStringLiteral("%1: a milestone server speaks no https").arg(where);
        else if ((s.family == QLatin1StringView("rtsp") || onvif) && !rtspProblem(s).isEmpty())
            problem = QStringLiteral("%1: %2").arg(where, rtspProblem(s));
        if (!problem.isEmpty()) {
            *error = problem;
            return {};
        }
        cameras.append(s);
    }
    return cameras;
}

QList<CameraSetup> SimConfig::demo()
{
    // Each demo camera starts looking at a different landmark.
    const auto make = [](const char *name, const char *family, const char *ptz, double pan) {
        CameraSetup s;
        s.homePan = pan;
        s.name = QString::fromUtf8(name);
        s.family = QString::fromLatin1(family);
        s.ptz = QString::fromLatin1(ptz);
        s.cameraName = s.name;
        s.fps = 5;
        return s;
    };
    QList<CameraSetup> cameras;
    CameraSetup harbour = make("Harbour", "axis", "axis", 0);
    harbour.auth = QStringLiteral("digest");
    harbour.user = QStringLiteral("demo");
    harbour.password = QStringLiteral("demo");
    cameras.append(harbour);

    CameraSetup station1 = make("Station East", "axisserver", "pelco", 60);
    station1.server = QStringLiteral("videoserver");
    station1.input = 1;
    cameras.append(station1);
    CameraSetup station2 = make("Station West", "axisserver", "gemineye", -70);
    station2.server = QStringLiteral("videoserver");
    station2.input = 2;
    station2.serialId = 0;
    station2.cameraNumber = 2;
    cameras.append(station2);

    CameraSetup bridge = make("Bridge", "generic", "universal", 150);
    bridge.path = QStringLiteral("/mjpg/video.mjpg");
    cameras.append(bridge);

    CameraSetup market = make("Market", "sony", "sony", 120);
    market.auth = QStringLiteral("basic");
    market.user = QStringLiteral("demo");
    market.password = QStringLiteral("demo");
    cameras.append(market);

    cameras.append(make("Museum", "canon", "canon", -130));

    CameraSetup airfield = make("Airfield", "milestone", "milestone", 30);
    airfield.server = QStringLiteral("vms");
    airfield.cameraName = QStringLiteral("Airfield North");
    airfield.user = QStringLiteral("operator");
    airfield.password = QStringLiteral("p&ss<word>");
    cameras.append(airfield);

    // A camera with looser framing, as some cheap cameras send it.
    CameraSetup garden = make("Garden", "generic", "", -100);
    garden.path = QStringLiteral("/cgi-bin/stream.cgi?profile=1");
    garden.vapix = true;
    garden.noContentLength = true;
    garden.lfOnly = true;
    cameras.append(garden);

    // RTSP cameras: one with a small grid stream beside its main one, one in H.265.
    CameraSetup gate = make("Harbour Gate", "rtsp", "", 90);
    gate.path = QStringLiteral("/Streaming/Channels/101");
    gate.subPath = QStringLiteral("/Streaming/Channels/102");
    gate.resolution = QSize(1280, 720);
    cameras.append(gate);
    CameraSetup quay = make("Quay", "rtsp", "", -40);
    quay.path = QStringLiteral("/h265");
    quay.codec = QStringLiteral("h265");
    quay.resolution = QSize(640, 360);
    quay.auth = QStringLiteral("digest");
    quay.user = QStringLiteral("demo");
    quay.password = QStringLiteral("demo");
    cameras.append(quay);

    // ONVIF cameras, found by WS-Discovery: replies with different prefixes, one
    // with a clock an hour off.
    const auto onvif = [&make](const char *name, double pan, const char *path, const char *subPath,
                               const char *hardware, const char *location) {
        CameraSetup s = make(name, "onvif", "onvif", pan);
        s.path = QString::fromLatin1(path);
        s.subPath = QString::fromLatin1(subPath);
        s.resolution = QSize(1280, 720);
        s.auth = QStringLiteral("digest");
        s.user = QStringLiteral("demo");
        s.password = QStringLiteral("demo");
        s.hardware = QString::fromLatin1(hardware);
        s.location = QString::fromLatin1(location);
        return s;
    };
    cameras.append(onvif("Lighthouse", -20, "/onvif/main", "/onvif/sub", "VC-PTZ-20", "Harbour"));
    CameraSetup pier = onvif("Pier", 100, "/stream1", "/stream2", "NVT-360", "Pier 4");
    pier.prefixes = QStringLiteral("numbered");
    pier.clockOffset = 3600;
    cameras.append(pier);
    return cameras;
}

Value SimConfig::definition(const CameraSetup &s, const QString &host)
{
    Value camera = Value::dictionary();
    camera.insert(QStringLiteral("title"), s.name);
    camera.insert(QStringLiteral("enabled"), QStringLiteral("y"));
    camera.insert(QStringLiteral("definition_version"), QStringLiteral("1"));

    Value video = Value::dictionary();
    const QString port = QString::number(s.port);
    put(video, "video.host", host);
    put(video, "video.port", port);
    put(video, "video.fps", QString::number(s.fps));
    if (s.family == QLatin1StringView("onvif")) {
        put(video, "video.type", QStringLiteral("ONVIF"));
    } else if (s.family == QLatin1StringView("rtsp")) {
        put(video, "video.type", QStringLiteral("RTSP"));
        put(video, "video.path", s.path);
        put(video, "video.grid_path", s.subPath);
        put(video, "video.transport", s.transport);
    } else if (s.family == QLatin1StringView("milestone")) {
        put(video, "video.type", QStringLiteral("MILESTONEMJPEG"));
        put(video, "video.camera_name", s.cameraName);
    } else if (s.family == QLatin1StringView("axis") || s.family == QLatin1StringView("axisserver")) {
        const bool server = s.family == QLatin1StringView("axisserver");
        put(video, "video.type", server ? QStringLiteral("AXISSERVERMJPEG") : QStringLiteral("AXISMJPEG"));
        put(video, "video.vapix", QStringLiteral("1"));
        put(video, "video.resolution", resolutionText(s.resolution));
        put(video, "video.compression", QStringLiteral("30"));
        if (server)
            put(video, "video.camera_number", QString::number(s.input));
    } else {
        // Sony and Canon cameras are shown through the generic profile, since the
        // viewer offers no Sony or Canon video type; the paths are theirs.
        put(video, "video.type", QStringLiteral("GENMJPEG"));
        if (s.family == QLatin1StringView("sony")) {
            put(video, "video.path", QStringLiteral("/image?speed=%1").arg(s.fps));
        } else if (s.family == QLatin1StringView("canon")) {
            put(video, "video.path", QStringLiteral("/-wvhttp-01-/video.cgi?v=jpg:%1:3:%2")
                                         .arg(resolutionText(s.resolution))
                                         .arg(qRound(s.fps * 1000)));
        } else {
            put(video, "video.path", s.path);
            put(video, "video.vapix", s.vapix ? QStringLiteral("y") : QStringLiteral("n"));
            if (s.vapix) {
                put(video, "video.resolution", resolutionText(s.resolution));
                put(video, "video.compression", QStringLiteral("30"));
            }
        }
    }
    put(video, "video.username", s.user);
    put(video, "video.password", s.password);
    if (s.https)
        put(video, "video.ssl", QStringLiteral("y"));
    camera.insert(QStringLiteral("video.parameters"), video);

    if (s.ptz.isEmpty())
        return camera;
    Value control = Value::dictionary();
    put(control, "control.host", host);
    const QString ptzPort = QString::number(s.ptzPort);
    if (s.ptz == QLatin1StringView("axis")) {
        put(control, "control.protocol", QStringLiteral("Axis PTZ"));
        put(control, "control.port", port);
        if (s.https)
            put(control, "control.ssl", QStringLiteral("y"));
        put(control, "control.camera_number", QString::number(s.input));
        put(control, "control.username", s.user);
        put(control, "control.password", s.password);
    } else if (s.ptz == QLatin1StringView("sony")) {
        put(control, "control.protocol", QStringLiteral("Sony PTZ"));
        put(control, "control.port", port);
        put(control, "control.username", s.user);
        put(control, "control.password", s.password);
    } else if (s.ptz == QLatin1StringView("canon")) {
        put(control, "control.protocol", QStringLiteral("Canon PTZ"));
        put(control, "control.port", port);
        put(control, "control.username", s.user);
        put(control, "control.password", s.password);
    } else if (s.ptz == QLatin1StringView("milestone")) {
        put(control, "control.protocol", QStringLiteral("Milestone PTZ"));
        put(control, "control.port", port);
        put(control, "control.camera_name", s.cameraName);
        put(control, "control.username", s.user);
        put(control, "control.password", s.password);
    } else if (s.ptz == QLatin1StringView("pelco")) {
        put(control, "control.protocol", QStringLiteral("Pelco D PTZ"));
        put(control, "control.port", ptzPort);
        put(control, "control.serial_id", QString::number(s.serialId));
    } else if (s.ptz == QLatin1StringView("gemineye")) {
        put(control, "control.protocol", QStringLiteral("QuickSet GeminEye PTZ"));
        put(control, "control.port", ptzPort);
        put(control, "control.serial_id", QString::number(s.serialId));
        put(control, "control.camera_number", QString::number(s.cameraNumber));
    } else if (s.ptz == QLatin1StringView("onvif")) {
        put(control, "control.protocol", QStringLiteral("ONVIF PTZ"));
        put(control, "control.port", port);
        put(control, "control.username", s.user);
        put(control, "control.password", s.password);
    } else if (s.ptz == QLatin1StringView("universal")) {
        put(control, "control.protocol", QStringLiteral("QuickSet Universal PTZ"));
        put(control, "control.port", ptzPort);
    }
    camera.insert(QStringLiteral("control.parameters"), control);
    return camera;
}

Value SimConfig::groupList(const QList<CameraSetup> &cameras, const QString &host, const QString &name)
{
    Value list = Value::array();
    for (const CameraSetup &s : cameras)
        list.append(definition(s, host));
    Value group = Value::dictionary();
    group.insert(QStringLiteral("name"), name);
    group.insert(QStringLiteral("uid"), 1);
    group.insert(QStringLiteral("cameras"), list);
    return Value::array({ group });
}
