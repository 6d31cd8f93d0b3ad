#include "camsim/MilestoneServer.h"

#include "camsim/Scene.h"
#include "camsim/SimCamera.h"

#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>

#include <cmath>

struct MilestoneServer::Session
{
    QTcpSocket *socket = nullptr;
    QByteArray buffer;
    SimCamera *camera = nullptr;
    bool connected = false;
    QTimer *pictures = nullptr;
    QSize size;
};

namespace {

QString element(const QString &xml, const char *name)
{
    const QString open = QLatin1Char('<') + QLatin1StringView(name) + QLatin1Char('>');
    const QString close = QStringLiteral("</") + QLatin1StringView(name) + QLatin1Char('>');
    const qsizetype start = xml.indexOf(open);
    if (start < 0)
        return {};
    const qsizetype end = xml.indexOf(close, start + open.size());
    if (end < 0)
        return {};
    return xml.mid(start + open.size(), end - start - open.size());
}

QString unescapeXml(QString text)
{
    text.replace(QLatin1StringView("&lt;"), QLatin1StringView("<"));
    text.replace(QLatin1StringView("&gt;"), QLatin1StringView(">"));
    text.replace(QLatin1StringView("&quot;"), QLatin1StringView("\""));
    text.replace(QLatin1StringView("&apos;"), QLatin1StringView("'"));
    text.replace(QLatin1StringView("&amp;"), QLatin1StringView("&"));
    return text;
}

QByteArray response(const QString &id, const char *method, const QString &inner)
{
    return (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><methodresponse><requestid>%1</requestid>"
                           "<methodname>%2</methodname>%3</methodresponse>")
                .arg(id, QLatin1StringView(method), inner)
            + QStringLiteral("\r\n\r\n"))
        .toUtf8();
}

} // namespace

MilestoneServer::MilestoneServer(QList<SimCamera *> cameras, const Scene &scene, QObject *parent)
    : QObject(parent)
    , m_cameras(std::move(cameras))
    , m_scene(scene)
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            auto *session = new Session;
            session->socket = socket;
            connect(socket, &QTcpSocket::readyRead, this, [this, session] {
                while (session->socket->bytesAvailable() > 0) {
                    session->buffer += session->socket->read(MaxRequestSize + 4 - session->buffer.size());
                    qsizetype end = 0;
                    while ((end = session->buffer.indexOf("\r\n\r\n")) >= 0) {
                        const QByteArray message = session->buffer.left(end);
                        session->buffer.remove(0, end + 4);
                        handle(session, message);
                    }
                    if (session->buffer.size() > MaxRequestSize) {
                        m_cameras.first()->countBadFrame(QStringLiteral("request larger than %1 bytes").arg(MaxRequestSize));
                        session->socket->abort();
                        return;
                    }
                }
            });
            connect(socket, &QTcpSocket::disconnected, this, [session] {
                if (session->camera && session->pictures)
                    session->camera->addVideoClient(-1);
                session->socket->deleteLater();
                delete session->pictures;
                delete session;
            });
        }
    });
}

bool MilestoneServer::listen(const QHostAddress &address, quint16 port)
{
    if (!m_server.listen(address, port))
        return false;
    for (SimCamera *camera : std::as_const(m_cameras))
        camera->setup().port = m_server.serverPort();
    return true;
}

SimCamera *MilestoneServer::cameraNamed(const QString &name) const
{
    for (SimCamera *camera : m_cameras) {
        if (camera->setup().cameraName == name)
            return camera;
    }
    return nullptr;
}

void MilestoneServer::handle(Session *session, const QByteArray &bytes)
{
    const QString xml = QString::fromUtf8(bytes);
    const QString id = element(xml, "requestid");
    const QString method = element(xml, "methodname");
    SimCamera *reporter = session->camera ? session->camera : m_cameras.first();
    if (method == QLatin1StringView("connect")) {
        SimCamera *camera = cameraNamed(unescapeXml(element(xml, "cameraid")));
        const bool accepted = camera && unescapeXml(element(xml, "username")) == camera->setup().user
            && unescapeXml(element(xml, "password")) == camera->setup().password;
        session->camera = camera;
        session->connected = accepted;
        (camera ? camera : reporter)->countCommand(accepted ? QStringLiteral("connect") : QStringLiteral("connect-refused"), xml);
        session->socket->write(response(id, "connect",
                                        accepted ? QStringLiteral("<connected>yes</connected>")
                                                 : QStringLiteral("<connected>no</connected><errorreason>"
                                                                  "camera or login unknown</errorreason>")));
        return;
    }
    if (!session->connected) {
        reporter->countBadFrame(QStringLiteral("%1 before a successful connect").arg(method.left(50)));
        session->socket->write(response(id, "error", QStringLiteral("<error>not connected</error>")));
        return;
    }
    SimCamera *camera = session->camera;
    if (method == QLatin1StringView("live")) {
        camera->countCommand(QStringLiteral("live"), xml);
        session->socket->write(response(id, "live", QString()));
        const QString rate = element(xml, "compressionrate");
        // A live request without a compression rate only switches the camera live
        // (as the control connection does); with one, pictures follow.
        if (rate.isEmpty() || session->pictures)
            return;
        session->size = rate == QLatin1StringView("103") ? QSize(320, 240) : QSize(640, 480);
        session->pictures = new QTimer;
        camera->addVideoClient(1);
        connect(session->pictures, &QTimer::timeout, this, [this, session] { sendPicture(session); });
        session->pictures->start(static_cast<int>(std::lround(1000.0 / std::clamp(camera->setup().fps, 0.1, 30.0))));
        sendPicture(session);
        return;
    }
    if (method == QLatin1StringView("ptzcommand")) {
        static const QRegularExpression panTilt(QStringLiteral("^PanTiltStart (-?\\d{1,5}),(-?\\d{1,5})$"));
        static const QRegularExpression zoom(QStringLiteral("^ZoomStart (-?\\d{1,5})$"));
        const QString command = element(xml, "command");
        QRegularExpressionMatch m;
        if ((m = panTilt.match(command)).hasMatch()) {
            // Positive pan turns right; a negative tilt value tilts up.
            camera->head().setPanTiltSpeed(m.captured(1).toInt() / 1000.0, -m.captured(2).toInt() / 1000.0);
        } else if ((m = zoom.match(command)).hasMatch()) {
            // A negative zoom value zooms in.
            camera->head().setZoomSpeed(-m.captured(1).toInt() / 1000.0);
        } else if (command == QLatin1StringView("PanTiltStop")) {
            camera->head().setPanTiltSpeed(0, 0);
        } else if (command == QLatin1StringView("ZoomStop")) {
            camera->head().setZoomSpeed(0);
        } else {
            camera->countBadFrame(QStringLiteral("unknown ptz command %1").arg(command.left(100)));
            session->socket->write(response(id, "ptzcommand", QStringLiteral("<error>unknown command</error>")));
            return;
        }
        camera->countCommand(command.section(QLatin1Char(' '), 0, 0), xml);
        session->socket->write(response(id, "ptzcommand", QStringLiteral("<result>ok</result>")));
        return;
    }
    camera->countBadFrame(QStringLiteral("unknown method %1").arg(method.left(50)));
    session->socket->write(response(id, "error", QStringLiteral("<error>unknown method</error>")));
}

void MilestoneServer::sendPicture(Session *session)
{
    // A client that does not keep up loses pictures, not server memory.
    if (session->socket->bytesToWrite() > 512 * 1024)
        return;
    SimCamera *camera = session->camera;
    Head &head = camera->head();
    const Scene::Overlay overlay{ camera->setup().name, camera->nextFrameNumber(), head.pan(), head.tilt(), head.zoom() };
    const QByteArray jpeg = m_scene.renderJpeg(head.pan(), head.tilt(), head.fieldOfView(), session->size, 75, overlay);
    session->socket->write("ImageResponse\r\nContent-type: image/jpeg\r\nContent-length: " + QByteArray::number(jpeg.size())
                           + "\r\n\r\n" + jpeg);
}
