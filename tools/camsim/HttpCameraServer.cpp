#include "camsim/HttpCameraServer.h"

#include "camsim/HttpConnection.h"
#include "camsim/SelfSigned.h"
#include "camsim/SimCamera.h"

#include <QRegularExpression>
#include <QSslConfiguration>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpSocket>

#include <algorithm>
#include <cmath>

namespace {

constexpr int CanonPanLimit = 17000;  // hundredths of a degree
constexpr int CanonTiltLimit = 4500;
constexpr int CanonWide = 4500;       // zoom values grow towards wide
constexpr int CanonTele = 450;

QString queryValue(const HttpRequest &request, const char *name)
{
    return request.query.queryItemValue(QString::fromLatin1(name), QUrl::FullyDecoded);
}

double fpsFrom(const QString &text, double fallback)
{
    bool ok = false;
    const double fps = text.toDouble(&ok);
    // Axis treats 0 as "as fast as you can"; the simulator caps that at 30.
    if (!ok || fps < 0)
        return fallback;
    return fps == 0 ? 30.0 : std::clamp(fps, 0.1, 30.0);
}

int axisQuality(const QString &compression)
{
    bool ok = false;
    const int c = compression.toInt(&ok);
    return ok ? std::clamp(100 - c, 5, 100) : 70;
}

} // namespace

HttpCameraServer::HttpCameraServer(QList<SimCamera *> cameras, const Scene &scene, QObject *parent)
    : QObject(parent)
    , m_cameras(std::move(cameras))
    , m_scene(scene)
    , m_auth(m_cameras.first()->setup().auth, m_cameras.first()->setup().user, m_cameras.first()->setup().password)
{
    if (m_cameras.first()->setup().https) {
        const SelfSigned identity = SelfSigned::make(m_cameras.first()->setup().name);
        auto tls = std::make_unique<QSslServer>();
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setPrivateKey(identity.key);
        configuration.setLocalCertificate(identity.certificate);
        configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
        tls->setSslConfiguration(configuration);
        // A client that refuses the certificate is what a self-signed camera expects.
        connect(tls.get(), &QSslServer::errorOccurred, this, [](QSslSocket *socket, QAbstractSocket::SocketError) {
            socket->deleteLater();
        });
        m_server = std::move(tls);
    } else {
        m_server = std::make_unique<QTcpServer>();
    }
    // A TLS connection becomes pending only once its handshake is done.
    connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this, [this] {
        while (QTcpSocket *socket = m_server->nextPendingConnection()) {
            auto *connection = new HttpConnection(socket, this);
            connect(connection, &HttpConnection::requestReceived, this,
                    [this, connection](const HttpRequest &request) { handle(connection, request); });
            connect(connection, &HttpConnection::malformed, this,
                    [this](const QString &why) { m_cameras.first()->countBadFrame(why); });
        }
    });
}

HttpCameraServer::~HttpCameraServer() = default;

bool HttpCameraServer::listen(const QHostAddress &address, quint16 port)
{
    if (!m_server->listen(address, port))
        return false;
    for (SimCamera *camera : std::as_const(m_cameras))
        camera->setup().port = m_server->serverPort();
    return true;
}

QSize HttpCameraServer::parseResolution(const QString &text, QSize fallback)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$"));
    const QRegularExpressionMatch m = pattern.match(text);
    QSize size = fallback;
    if (m.hasMatch())
        size = QSize(m.captured(1).toInt(), m.captured(2).toInt());
    else if (text == QLatin1StringView("4CIF"))
        size = QSize(704, 576);
    else if (text == QLatin1StringView("2CIF"))
        size = QSize(704, 288);
    else if (text == QLatin1StringView("CIF"))
        size = QSize(352, 288);
    else if (text == QLatin1StringView("QCIF"))
        size = QSize(176, 144);
    // Bounded so that a request cannot make the simulator draw a huge picture.
    return QSize(std::clamp(size.width(), 16, 1920), std::clamp(size.height(), 16, 1080));
}

SimCamera *HttpCameraServer::input(int number) const
{
    for (SimCamera *camera : m_cameras) {
        if (camera->setup().input == number)
            return camera;
    }
    return nullptr;
}

void HttpCameraServer::handle(HttpConnection *connection, const HttpRequest &request)
{
    if (m_auth.isRequired() && !m_auth.accepts(request)) {
        connection->respond(401, "text/plain", "authorization required\n", { m_auth.challenge() });
        return;
    }
    if (request.method != "GET") {
        connection->respond(405, "text/plain", "only GET\n");
        return;
    }
    if (serveVideo(connection, request) || serveAxisPtz(connection, request) || serveSonyPtz(connection, request)
        || serveCanonPtz(connection, request))
        return;
    connection->respond(404, "text/plain", "no such path\n");
}

void HttpCameraServer::stream(HttpConnection *connection, SimCamera *camera, MjpegStreamer::Format format)
{
    new MjpegStreamer(connection, camera, m_scene, format);
}

bool HttpCameraServer::serveVideo(HttpConnection *connection, const HttpRequest &request)
{
    SimCamera *first = m_cameras.first();
    const CameraSetup &setup = first->setup();
    const QString family = setup.family;
    MjpegStreamer::Format format{ setup.resolution, setup.fps, 70 };

    if ((family == QLatin1StringView("axis") || family == QLatin1StringView("axisserver"))
        && request.path == QLatin1StringView("/axis-cgi/mjpg/video.cgi")) {
        const QString cameraText = queryValue(request, "camera");
        SimCamera *camera = input(cameraText.isEmpty() ? 1 : cameraText.toInt());
        if (!camera) {
            connection->respond(404, "text/plain", "no such camera input\n");
            return true;
        }
        format.size = parseResolution(queryValue(request, "resolution"), setup.resolution);
        format.fps = fpsFrom(queryValue(request, "fps"), setup.fps);
        format.quality = axisQuality(queryValue(request, "compression"));
        stream(connection, camera, format);
        return true;
    }
    if (family == QLatin1StringView("generic")) {
        const QString ownPath = setup.path.section(QLatin1Char('?'), 0, 0);
        if (request.path != ownPath)
            return false;
        if (setup.vapix) {
            format.size = parseResolution(queryValue(request, "resolution"), setup.resolution);
            format.fps = fpsFrom(queryValue(request, "fps"), setup.fps);
            format.quality = axisQuality(queryValue(request, "compression"));
        }
        stream(connection, first, format);
        return true;
    }
    if (family == QLatin1StringView("sony") && request.path == QLatin1StringView("/image")) {
        format.fps = fpsFrom(queryValue(request, "speed"), setup.fps);
        stream(connection, first, format);
        return true;
    }
    if (family == QLatin1StringView("canon") && request.path == QLatin1StringView("/-wvhttp-01-/video.cgi")) {
        // v=jpg:WxH:Q:F with F in thousandths of a frame per second.
        const QStringList v = queryValue(request, "v").split(QLatin1Char(':'));
        if (v.size() != 4 || v.at(0) != QLatin1StringView("jpg")) {
            first->countBadFrame(QStringLiteral("bad Canon video request %1").arg(QString::fromLatin1(request.target)));
            connection->respond(400, "text/plain", "bad v parameter\n");
            return true;
        }
        format.size = parseResolution(v.at(1), setup.resolution);
        format.quality = std::clamp(95 - 15 * (v.at(2).toInt() - 1), 10, 95);
        format.fps = fpsFrom(QString::number(v.at(3).toDouble() / 1000.0), setup.fps);
        stream(connection, first, format);
        return true;
    }
    return false;
}

bool HttpCameraServer::serveAxisPtz(HttpConnection *connection, const HttpRequest &request)
{
    if (m_cameras.first()->setup().ptz != QLatin1StringView("axis")
        || request.path != QLatin1StringView("/axis-cgi/com/ptz.cgi"))
        return false;
    const QString cameraText = queryValue(request, "camera");
    SimCamera *camera = input(cameraText.isEmpty() ? 1 : cameraText.toInt());
    if (!camera) {
        connection->respond(404, "text/plain", "no such camera input\n");
        return true;
    }
    const QString text = QString::fromLatin1(request.target);
    const QString panTilt = queryValue(request, "continuouspantiltmove");
    const QString zoom = queryValue(request, "continuouszoommove");
    bool ok = true;
    if (!panTilt.isEmpty()) {
        const QStringList pt = panTilt.split(QLatin1Char(','));
        bool okPan = false;
        bool okTilt = false;
        const int pan = pt.value(0).toInt(&okPan);
        const int tilt = pt.value(1).toInt(&okTilt);
        ok = pt.size() == 2 && okPan && okTilt;
        if (ok)
            camera->head().setPanTiltSpeed(pan / 100.0, tilt / 100.0);
    }
    if (ok && !zoom.isEmpty()) {
        const int z = zoom.toInt(&ok);
        if (ok)
            camera->head().setZoomSpeed(z / 100.0);
    }
    if (!ok || (panTilt.isEmpty() && zoom.isEmpty())) {
        camera->countBadFrame(QStringLiteral("bad Axis PTZ request %1").arg(text));
        connection->respond(400, "text/plain", "bad ptz request\n");
        return true;
    }
    const bool stop = panTilt == QLatin1StringView("0,0") && (zoom.isEmpty() || zoom == QLatin1StringView("0"));
    camera->countCommand(stop ? QStringLiteral("stop") : QStringLiteral("move"), text);
    connection->respond(204, QByteArray(), QByteArray());
    return true;
}

bool HttpCameraServer::serveSonyPtz(HttpConnection *connection, const HttpRequest &request)
{
    SimCamera *camera = m_cameras.first();
    if (camera->setup().ptz != QLatin1StringView("sony") || request.path != QLatin1StringView("/command/ptzf.cgi"))
        return false;
    const QString text = QString::fromLatin1(request.target);
    const QStringList moves = request.query.allQueryItemValues(QStringLiteral("Move"));
    bool ok = !moves.isEmpty();
    bool stopped = false;
    for (const QString &move : moves) {
        const QString word = move.section(QLatin1Char(','), 0, 0);
        const QString arg = move.section(QLatin1Char(','), 1, 1);
        if (word == QLatin1StringView("stop")) {
            stopped = true;
            if (arg == QLatin1StringView("motor"))
                camera->head().setPanTiltSpeed(0, 0);
            else if (arg == QLatin1StringView("zoom"))
                camera->head().setZoomSpeed(0);
            else
                ok = false;
            continue;
        }
        bool okSpeed = false;
        const int speed = arg.toInt(&okSpeed);
        if (!okSpeed || speed < 0 || speed > 24) {
            ok = false;
            continue;
        }
        if (word == QLatin1StringView("tele") || word == QLatin1StringView("wide")) {
            camera->head().setZoomSpeed((word == QLatin1StringView("tele") ? 1 : -1) * speed / 8.0);
            continue;
        }
        // Pan/tilt words: up, down, left, right and the four diagonals.
        double pan = 0;
        double tilt = 0;
        for (const QString &part : word.split(QLatin1Char('-'))) {
            if (part == QLatin1StringView("left"))
                pan = -1;
            else if (part == QLatin1StringView("right"))
                pan = 1;
            else if (part == QLatin1StringView("up"))
                tilt = 1;
            else if (part == QLatin1StringView("down"))
                tilt = -1;
            else
                ok = false;
        }
        camera->head().setPanTiltSpeed(pan * speed / 20.0, tilt * speed / 20.0);
    }
    if (!ok) {
        camera->countBadFrame(QStringLiteral("bad Sony PTZ request %1").arg(text));
        connection->respond(400, "text/plain", "bad ptzf request\n");
        return true;
    }
    camera->countCommand(stopped ? QStringLiteral("stop") : QStringLiteral("move"), text);
    connection->respond(204, QByteArray(), QByteArray());
    return true;
}

bool HttpCameraServer::serveCanonPtz(HttpConnection *connection, const HttpRequest &request)
{
    SimCamera *camera = m_cameras.first();
    if (camera->setup().ptz != QLatin1StringView("canon"))
        return false;
    Head &head = camera->head();
    if (request.path == QLatin1StringView("/-wvhttp-01-/GetCameraInfo")) {
        camera->countCommand(QStringLiteral("info"), QString::fromLatin1(request.target));
        QByteArray body;
        const auto add = [&body](const char *name, qint64 value) {
            body += QByteArray(name) + '=' + QByteArray::number(value) + '\n';
        };
        body += "product_name=vyo-camsim\n";
        add("pan_current_value", std::lround(head.pan() * 100));
        add("tilt_current_value", std::lround(head.tilt() * 100));
        add("zoom_current_value", std::lround(CanonWide / head.zoom()));
        add("pan_left_limit", -CanonPanLimit);
        add("pan_right_limit", CanonPanLimit);
        add("tilt_down_limit", -CanonTiltLimit);
        add("tilt_up_limit", CanonTiltLimit);
        add("zoom_tele_limit", CanonTele);
        add("zoom_wide_limit", CanonWide);
        connection->respond(200, "text/plain", body);
        return true;
    }
    if (request.path != QLatin1StringView("/-wvhttp-01-/control"))
        return false;
    const QString text = QString::fromLatin1(request.target);
    bool okPan = true;
    bool okTilt = true;
    bool okZoom = true;
    const QString panText = queryValue(request, "pan");
    const QString tiltText = queryValue(request, "tilt");
    const QString zoomText = queryValue(request, "zoom");
    const int pan = panText.isEmpty() ? std::lround(head.pan() * 100) : panText.toInt(&okPan);
    const int tilt = tiltText.isEmpty() ? std::lround(head.tilt() * 100) : tiltText.toInt(&okTilt);
    const int zoom = zoomText.isEmpty() ? std::lround(CanonWide / head.zoom()) : zoomText.toInt(&okZoom);
    // Positions outside the limits the camera announced are refused, as a real one would.
    const bool inRange = std::abs(pan) <= CanonPanLimit && std::abs(tilt) <= CanonTiltLimit && zoom >= CanonTele
        && zoom <= CanonWide;
    if (!okPan || !okTilt || !okZoom || !inRange || (panText.isEmpty() && tiltText.isEmpty() && zoomText.isEmpty())) {
        camera->countBadFrame(QStringLiteral("bad Canon control request %1").arg(text));
        connection->respond(400, "text/plain", "bad control request\n");
        return true;
    }
    head.setPosition(pan / 100.0, tilt / 100.0, static_cast<double>(CanonWide) / zoom);
    camera->countCommand(QStringLiteral("position"), text);
    connection->respond(200, "text/plain", "OK\n");
    return true;
}
