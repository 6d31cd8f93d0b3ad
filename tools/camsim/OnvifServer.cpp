#include "camsim/OnvifServer.h"

#include "camsim/HttpConnection.h"
#include "camsim/OnvifPtz.h"
#include "camsim/Scene.h"
#include "camsim/SimCamera.h"
#include "camsim/SoapWriter.h"
#include "onvif/XmlElement.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QTcpSocket>
#include <QUrl>

#include <cmath>

namespace {

const QString Wsse = QStringLiteral("http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-secext-1.0.xsd");
const QByteArray SoapContentType = "application/soap+xml; charset=utf-8";
// Operations a device answers before authentication (the PRE_AUTH access class).
const QStringList Unauthenticated = { QStringLiteral("GetSystemDateAndTime"), QStringLiteral("GetServices"),
                                      QStringLiteral("GetCapabilities") };

QString profileToken(const QString &style, int index)
{
    if (style == QLatin1StringView("numbered"))
        return index == 0 ? QStringLiteral("000") : QStringLiteral("001");
    return index == 0 ? QStringLiteral("Profile_1") : QStringLiteral("Profile_2");
}

void dateTime(SoapWriter &w, const char *element, const QDateTime &t)
{
    w.start(SoapWriter::Schema, element);
    w.start(SoapWriter::Schema, "Time");
    w.element(SoapWriter::Schema, "Hour", QString::number(t.time().hour()));
    w.element(SoapWriter::Schema, "Minute", QString::number(t.time().minute()));
    w.element(SoapWriter::Schema, "Second", QString::number(t.time().second()));
    w.end();
    w.start(SoapWriter::Schema, "Date");
    w.element(SoapWriter::Schema, "Year", QString::number(t.date().year()));
    w.element(SoapWriter::Schema, "Month", QString::number(t.date().month()));
    w.element(SoapWriter::Schema, "Day", QString::number(t.date().day()));
    w.end();
    w.end();
}

void service(SoapWriter &w, SoapWriter::Ns ns, const QString &address)
{
    w.start(SoapWriter::Device, "Service");
    w.element(SoapWriter::Device, "Namespace", SoapWriter::uri(ns));
    w.element(SoapWriter::Device, "XAddr", address);
    w.start(SoapWriter::Device, "Version");
    w.element(SoapWriter::Schema, "Major", QStringLiteral("2"));
    w.element(SoapWriter::Schema, "Minor", QStringLiteral("60"));
    w.end();
    w.end();
}

} // namespace

OnvifServer::OnvifServer(SimCamera *camera, const Scene &scene, QObject *parent)
    : QObject(parent)
    , m_camera(camera)
    , m_scene(scene)
    , m_digest(camera->setup().user.isEmpty() ? QString() : QStringLiteral("digest"), camera->setup().user,
               camera->setup().password)
{
    if (camera->setup().ptz == QLatin1StringView("onvif"))
        m_ptz = new OnvifPtz(camera, this);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            auto *connection = new HttpConnection(socket, this);
            connect(connection, &HttpConnection::requestReceived, this,
                    [this, connection](const HttpRequest &request) { handle(connection, request); });
            connect(connection, &HttpConnection::malformed, this,
                    [this](const QString &why) { m_camera->countBadFrame(why); });
        }
    });
}

OnvifServer::~OnvifServer() = default;

QString OnvifServer::authority(const QHostAddress &host, quint16 port)
{
    const QString text = host.toString();
    const bool v6 = host.protocol() == QAbstractSocket::IPv6Protocol;
    return (v6 ? QLatin1Char('[') + text + QLatin1Char(']') : text) + QLatin1Char(':') + QString::number(port);
}

bool OnvifServer::listen(const QHostAddress &address, quint16 port)
{
    if (!m_server.listen(address, port))
        return false;
    m_camera->setup().port = m_server.serverPort();
    return true;
}

void OnvifServer::handle(HttpConnection *connection, const HttpRequest &request)
{
    if (request.path == QLatin1StringView("/onvif/snapshot") && request.method == "GET") {
        serveSnapshot(connection, request);
        return;
    }
    static const QStringList services = { deviceServicePath(), QStringLiteral("/onvif/media_service"),
                                          QStringLiteral("/onvif/ptz_service") };
    if (!services.contains(request.path)) {
        connection->respond(404, "text/plain", "no such service\n");
        return;
    }
    if (request.method != "POST") {
        connection->respond(405, "text/plain", "SOAP requests are POSTed\n");
        return;
    }
    handleSoap(connection, request);
}

void OnvifServer::serveSnapshot(HttpConnection *connection, const HttpRequest &request)
{
    if (m_digest.isRequired() && !m_digest.accepts(request)) {
        connection->respond(401, "text/plain", "authorization required\n", { m_digest.challenge() });
        return;
    }
    const CameraSetup &setup = m_camera->setup();
    const bool sub = request.query.queryItemValue(QStringLiteral("profile")) == profileToken(setup.prefixes, 1);
    Head &head = m_camera->head();
    const Scene::Overlay overlay{ setup.name, m_camera->nextFrameNumber(), head.pan(), head.tilt(), head.zoom() };
    m_camera->countCommand(QStringLiteral("snapshot"), QString::fromLatin1(request.target));
    connection->respond(200, "image/jpeg",
                        m_scene.renderJpeg(head.pan(), head.tilt(), head.fieldOfView(),
                                           sub ? setup.subResolution : setup.resolution, 80, overlay));
}

void OnvifServer::answerFault(HttpConnection *connection, const SoapFault &fault, const QList<QByteArray> &headers)
{
    connection->respond(fault.status, SoapContentType,
                        SoapWriter::fault(m_camera->setup().prefixes, fault.code, fault.subcode, fault.reason), headers);
}

void OnvifServer::handleSoap(HttpConnection *connection, const HttpRequest &request)
{
    const CameraSetup &setup = m_camera->setup();
    QString error;
    const std::optional<XmlElement> envelope = XmlElement::parse(request.body, &error);
    const XmlElement *body = envelope ? envelope->childNamed(QStringLiteral("Body")) : nullptr;
    if (!body || body->children().empty() || envelope->name() != QLatin1StringView("Envelope")) {
        m_camera->countBadFrame(QStringLiteral("bad SOAP request: %1").arg(envelope ? QStringLiteral("no body") : error));
        answerFault(connection, SoapFault{ 400, "Sender", "WellFormed", QStringLiteral("not a SOAP request") });
        return;
    }
    const XmlElement &call = body->children().front();
    const QString &operation = call.name();

    const bool open = setup.user.isEmpty() || Unauthenticated.contains(operation);
    if (setup.digestOnly) {
        if (!open && !m_digest.accepts(request)) {
            answerFault(connection, SoapFault{ 401, "Sender", "NotAuthorized", QStringLiteral("Sender not authorized") },
                        { m_digest.challenge() });
            return;
        }
    } else if (!setup.user.isEmpty()) {
        // A token that is there is checked even where none is needed, as devices do.
        const Token token = checkToken(*envelope);
        if (token == Token::Rejected || (token == Token::Missing && !open)) {
            answerFault(connection,
                        SoapFault{ token == Token::Missing ? 401 : 400, "Sender", "NotAuthorized",
                                   QStringLiteral("Sender not authorized") });
            return;
        }
    }

    const QHostAddress local = connection->socket()->localAddress();
    const QString base = QStringLiteral("http://") + authority(local, connection->socket()->localPort());
    SoapWriter w(setup.prefixes);
    w.begin();
    w.body();
    bool known = false;
    std::optional<SoapFault> fault;
    if (call.namespaceUri() == SoapWriter::uri(SoapWriter::Device))
        known = device(operation, base, w);
    else if (call.namespaceUri() == SoapWriter::uri(SoapWriter::Media))
        fault = media(operation, call, base, w, &known);
    else if (call.namespaceUri() == SoapWriter::uri(SoapWriter::Ptz) && m_ptz)
        fault = m_ptz->handle(operation, call, w, &known);
    if (!known) {
        m_camera->countBadFrame(QStringLiteral("unknown SOAP operation %1").arg(operation.left(64)));
        fault = SoapFault{ 500, "Receiver", "ActionNotSupported", QStringLiteral("optional action not implemented") };
    }
    if (fault) {
        answerFault(connection, *fault);
        return;
    }
    connection->respond(200, SoapContentType, w.finish());
}

OnvifServer::Token OnvifServer::checkToken(const XmlElement &envelope)
{
    const XmlElement *header = envelope.childNamed(QStringLiteral("Header"));
    const XmlElement *security = header ? header->child(Wsse, QStringLiteral("Security")) : nullptr;
    const XmlElement *token = security ? security->child(Wsse, QStringLiteral("UsernameToken")) : nullptr;
    if (!token)
        return Token::Missing;
    const CameraSetup &setup = m_camera->setup();
    const XmlElement *password = token->child(Wsse, QStringLiteral("Password"));
    const QByteArray nonce = QByteArray::fromBase64(token->textAt({ "Nonce" }).toLatin1());
    const QString createdText = token->textAt({ "Created" });
    const QDateTime created = QDateTime::fromString(createdText, Qt::ISODateWithMs);
    const QDateTime now = QDateTime::currentDateTimeUtc().addSecs(setup.clockOffset);
    const char *why = nullptr;
    if (!password || !password->attribute(QStringLiteral("Type")).endsWith(QLatin1StringView("#PasswordDigest")))
        why = "no password digest";
    else if (token->textAt({ "Username" }) != setup.user)
        why = "unknown user";
    else if (!created.isValid() || std::abs(created.secsTo(now)) > FreshnessSeconds)
        why = "stale or unreadable Created";
    else if (nonce.isEmpty() || m_nonces.contains(nonce))
        why = "missing or replayed nonce";
    else if (QCryptographicHash::hash(nonce + createdText.toUtf8() + setup.password.toUtf8(), QCryptographicHash::Sha1)
                 .toBase64()
             != password->text().toLatin1())
        why = "wrong digest";
    if (why) {
        m_camera->countBadFrame(QStringLiteral("UsernameToken refused: %1").arg(QLatin1StringView(why)));
        return Token::Rejected;
    }
    m_nonces.append(nonce);
    if (m_nonces.size() > RememberedNonces)
        m_nonces.removeFirst();
    return Token::Accepted;
}

bool OnvifServer::device(const QString &operation, const QString &base, SoapWriter &w)
{
    const CameraSetup &setup = m_camera->setup();
    const QByteArray response = (operation + QStringLiteral("Response")).toLatin1();
    if (operation == QLatin1StringView("GetSystemDateAndTime")) {
        const QDateTime now = QDateTime::currentDateTimeUtc().addSecs(setup.clockOffset);
        w.start(SoapWriter::Device, response.constData());
        w.start(SoapWriter::Device, "SystemDateAndTime");
        w.element(SoapWriter::Schema, "DateTimeType", QStringLiteral("Manual"));
        w.element(SoapWriter::Schema, "DaylightSavings", QStringLiteral("false"));
        w.start(SoapWriter::Schema, "TimeZone");
        w.element(SoapWriter::Schema, "TZ", QStringLiteral("UTC0"));
        w.end();
        dateTime(w, "UTCDateTime", now);
        dateTime(w, "LocalDateTime", now);
        w.end();
    } else if (operation == QLatin1StringView("GetServices")) {
        w.start(SoapWriter::Device, response.constData());
        service(w, SoapWriter::Device, base + deviceServicePath());
        service(w, SoapWriter::Media, base + QStringLiteral("/onvif/media_service"));
        if (m_ptz)
            service(w, SoapWriter::Ptz, base + QStringLiteral("/onvif/ptz_service"));
    } else if (operation == QLatin1StringView("GetCapabilities")) {
        w.start(SoapWriter::Device, response.constData());
        w.start(SoapWriter::Device, "Capabilities");
        w.start(SoapWriter::Schema, "Device");
        w.element(SoapWriter::Schema, "XAddr", base + deviceServicePath());
        w.end();
        w.start(SoapWriter::Schema, "Media");
        w.element(SoapWriter::Schema, "XAddr", base + QStringLiteral("/onvif/media_service"));
        w.start(SoapWriter::Schema, "StreamingCapabilities");
        w.element(SoapWriter::Schema, "RTPMulticast", QStringLiteral("false"));
        w.element(SoapWriter::Schema, "RTP_TCP", QStringLiteral("true"));
        w.element(SoapWriter::Schema, "RTP_RTSP_TCP", QStringLiteral("true"));
        w.end();
        w.end();
        if (m_ptz) {
            w.start(SoapWriter::Schema, "PTZ");
            w.element(SoapWriter::Schema, "XAddr", base + QStringLiteral("/onvif/ptz_service"));
            w.end();
        }
        w.end();
    } else if (operation == QLatin1StringView("GetDeviceInformation")) {
        w.start(SoapWriter::Device, response.constData());
        w.element(SoapWriter::Device, "Manufacturer", QStringLiteral("Vyo"));
        w.element(SoapWriter::Device, "Model", setup.hardware);
        w.element(SoapWriter::Device, "FirmwareVersion", QStringLiteral(VYO_VERSION));
        w.element(SoapWriter::Device, "SerialNumber",
                  QString::fromLatin1(QCryptographicHash::hash(setup.name.toUtf8(), QCryptographicHash::Md5).toHex().left(12)));
        w.element(SoapWriter::Device, "HardwareId", setup.hardware);
    } else {
        return false;
    }
    w.end();
    m_camera->countCommand(operation, operation);
    return true;
}

std::optional<SoapFault> OnvifServer::media(const QString &operation, const XmlElement &request, const QString &base,
                                            SoapWriter &w, bool *known)
{
    const CameraSetup &setup = m_camera->setup();
    *known = true;
    const QByteArray response = (operation + QStringLiteral("Response")).toLatin1();
    if (operation == QLatin1StringView("GetProfiles")) {
        w.start(SoapWriter::Media, response.constData());
        writeProfile(w, 0);
        writeProfile(w, 1);
        w.end();
        m_camera->countCommand(operation, operation);
        return std::nullopt;
    }
    if (operation != QLatin1StringView("GetStreamUri") && operation != QLatin1StringView("GetSnapshotUri")) {
        *known = false;
        return std::nullopt;
    }
    const QString token = request.textAt({ "ProfileToken" });
    const int index = token == profileToken(setup.prefixes, 0) ? 0 : token == profileToken(setup.prefixes, 1) ? 1 : -1;
    if (index < 0)
        return SoapFault{ 400, "Sender", "NoProfile", QStringLiteral("no such profile") };
    QString uri;
    if (operation == QLatin1StringView("GetStreamUri")) {
        if (request.textAt({ "StreamSetup", "Transport", "Protocol" }) == QLatin1StringView("HTTP"))
            return SoapFault{ 400, "Sender", "InvalidStreamSetup", QStringLiteral("RTSP over HTTP is not offered") };
        uri = QStringLiteral("rtsp://") + authority(QHostAddress(QUrl(base).host()), setup.rtspPort)
            + (index == 0 ? setup.path : setup.subPath);
    } else {
        uri = base + QStringLiteral("/onvif/snapshot?profile=") + token;
    }
    w.start(SoapWriter::Media, response.constData());
    w.start(SoapWriter::Media, "MediaUri");
    w.element(SoapWriter::Schema, "Uri", uri);
    w.element(SoapWriter::Schema, "InvalidAfterConnect", QStringLiteral("false"));
    w.element(SoapWriter::Schema, "InvalidAfterReboot", QStringLiteral("false"));
    w.element(SoapWriter::Schema, "Timeout", QStringLiteral("PT0S"));
    w.end();
    w.end();
    m_camera->countCommand(operation, QStringLiteral("%1 %2").arg(operation, token));
    return std::nullopt;
}

void OnvifServer::writeProfile(SoapWriter &w, int index)
{
    const CameraSetup &setup = m_camera->setup();
    const QSize size = index == 0 ? setup.resolution : setup.subResolution;
    w.start(SoapWriter::Media, "Profiles");
    w.attribute("token", profileToken(setup.prefixes, index));
    w.attribute("fixed", QStringLiteral("true"));
    w.element(SoapWriter::Schema, "Name", index == 0 ? QStringLiteral("mainStream") : QStringLiteral("subStream"));
    w.start(SoapWriter::Schema, "VideoSourceConfiguration");
    w.attribute("token", QStringLiteral("VideoSourceConfiguration_1"));
    w.element(SoapWriter::Schema, "Name", QStringLiteral("VideoSource"));
    w.element(SoapWriter::Schema, "UseCount", QStringLiteral("2"));
    w.element(SoapWriter::Schema, "SourceToken", QStringLiteral("VideoSource_1"));
    w.start(SoapWriter::Schema, "Bounds");
    w.attribute("x", QStringLiteral("0"));
    w.attribute("y", QStringLiteral("0"));
    w.attribute("width", QString::number(setup.resolution.width()));
    w.attribute("height", QString::number(setup.resolution.height()));
    w.end();
    w.end();
    w.start(SoapWriter::Schema, "VideoEncoderConfiguration");
    w.attribute("token", QStringLiteral("VideoEncoderConfiguration_%1").arg(index + 1));
    w.element(SoapWriter::Schema, "Name", QStringLiteral("VideoEncoder_%1").arg(index + 1));
    w.element(SoapWriter::Schema, "UseCount", QStringLiteral("1"));
    w.element(SoapWriter::Schema, "Encoding", setup.codec.toUpper());
    w.start(SoapWriter::Schema, "Resolution");
    w.element(SoapWriter::Schema, "Width", QString::number(size.width()));
    w.element(SoapWriter::Schema, "Height", QString::number(size.height()));
    w.end();
    w.element(SoapWriter::Schema, "Quality", QStringLiteral("5"));
    w.start(SoapWriter::Schema, "RateControl");
    w.element(SoapWriter::Schema, "FrameRateLimit", QString::number(qRound(setup.fps)));
    w.element(SoapWriter::Schema, "EncodingInterval", QStringLiteral("1"));
    w.element(SoapWriter::Schema, "BitrateLimit", index == 0 ? QStringLiteral("2048") : QStringLiteral("256"));
    w.end();
    w.element(SoapWriter::Schema, "SessionTimeout", QStringLiteral("PT60S"));
    w.end();
    if (m_ptz)
        OnvifPtz::writeConfiguration(w, SoapWriter::Schema, "PTZConfiguration");
    w.end();
}
