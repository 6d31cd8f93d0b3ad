#include "tools/CamsimProcess.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QImage>
#include <QJsonArray>
#include <QNetworkAccessManager>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QNetworkReply>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <QUdpSocket>
#include <QXmlStreamReader>

namespace {

const QByteArray Config = R"({"discoveryPort": %1, "cameras": [
 {"name": "Lobby Cam", "family": "onvif", "ptz": "onvif", "user": "admin", "password": "s&cret", "fps": 5,
  "hardware": "VC-1", "location": "Hall A"},
 {"name": "Dock", "family": "onvif", "prefixes": "numbered", "resolution": "640x360", "codec": "h265", "fps": 5},
 {"name": "Stubborn", "family": "onvif", "ptz": "onvif", "prefixes": "numbered", "fps": 5, "quirks": {"ignoreStop": true}},
 {"name": "Skewed", "family": "onvif", "user": "admin", "password": "pw", "fps": 5, "quirks": {"clockOffset": 3600}},
 {"name": "Digest", "family": "onvif", "ptz": "onvif", "user": "admin", "password": "pw", "fps": 5,
  "quirks": {"digestOnly": true}}
]})";

const QString Device = QStringLiteral("http://www.onvif.org/ver10/device/wsdl");
const QString Media = QStringLiteral("http://www.onvif.org/ver10/media/wsdl");
const QString Ptz = QStringLiteral("http://www.onvif.org/ver20/ptz/wsdl");
const QString Schema = QStringLiteral("http://www.onvif.org/ver10/schema");
const QString Envelope = QStringLiteral("http://www.w3.org/2003/05/soap-envelope");
const QString Discovery = QStringLiteral("http://schemas.xmlsoap.org/ws/2005/04/discovery");
const QString Addressing = QStringLiteral("http://schemas.xmlsoap.org/ws/2004/08/addressing");
const QHostAddress Group(QStringLiteral("239.255.255.250"));

struct Token
{
    Token() = default;
    Token(const char *u, const char *p, QByteArray n = {})
        : user(QString::fromUtf8(u)), password(QString::fromUtf8(p)), nonce(std::move(n))
    {
    }

    QString user;
    QString password;
    QDateTime created = QDateTime::currentDateTimeUtc();
    QByteArray nonce; // a fresh one for every request when empty
};

QByteArray security(const Token &t)
{
    const QByteArray created = t.created.toString(Qt::ISODateWithMs).toUtf8();
    const QByteArray nonce = t.nonce.isEmpty() ? QByteArray::number(QRandomGenerator::global()->generate64()) : t.nonce;
    const QByteArray digest =
        QCryptographicHash::hash(nonce + created + t.password.toUtf8(), QCryptographicHash::Sha1).toBase64();
    return "<s:Header><wsse:Security xmlns:wsse=\"http://docs.oasis-open.org/wss/2004/01/"
           "oasis-200401-wss-wssecurity-secext-1.0.xsd\" xmlns:wsu=\"http://docs.oasis-open.org/wss/2004/01/"
           "oasis-200401-wss-wssecurity-utility-1.0.xsd\"><wsse:UsernameToken><wsse:Username>"
        + t.user.toUtf8()
        + "</wsse:Username><wsse:Password Type=\"http://docs.oasis-open.org/wss/2004/01/"
          "oasis-200401-wss-username-token-profile-1.0#PasswordDigest\">"
        + digest + "</wsse:Password><wsse:Nonce>" + nonce.toBase64() + "</wsse:Nonce><wsu:Created>" + created
        + "</wsu:Created></wsse:UsernameToken></wsse:Security></s:Header>";
}

// An operation in the namespace of its service, with any prefix the test likes.
QByteArray envelope(const QString &ns, const QByteArray &operation, const QByteArray &header = QByteArray())
{
    return "<?xml version=\"1.0\"?><s:Envelope xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\" xmlns:q=\""
        + ns.toUtf8() + "\" xmlns:tt=\"http://www.onvif.org/ver10/schema\">" + header + "<s:Body>" + operation
        + "</s:Body></s:Envelope>";
}

struct Reply
{
    int status = 0;
    QByteArray body;

    // Texts (or an attribute's values) of every element with that namespace and name.
    QStringList values(const QString &ns, const char *name, const char *attribute = nullptr) const
    {
        QStringList found;
        QXmlStreamReader reader(body);
        while (reader.readNextStartElement() || !reader.atEnd()) {
            if (!reader.isStartElement() || reader.namespaceUri() != ns || reader.name() != QLatin1StringView(name))
                continue;
            found.append(attribute ? reader.attributes().value(QLatin1StringView(attribute)).toString()
                                   : reader.readElementText(QXmlStreamReader::IncludeChildElements));
        }
        return found;
    }
    QString value(const QString &ns, const char *name) const { return values(ns, name).value(0); }
    QString faultSubcode() const { return values(Envelope, "Value").value(1); }
};

// The camera's address from the printed group: its ONVIF port.
QUrl serviceUrl(const Value &camera, const char *path)
{
    const Value video = camera.value(QStringLiteral("video.parameters"));
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(video.value(QStringLiteral("video.host")).toString());
    url.setPort(static_cast<int>(video.value(QStringLiteral("video.port")).toInteger()));
    url.setPath(QString::fromLatin1(path));
    return url;
}

QNetworkInterface loopback()
{
    for (const QNetworkInterface &i : QNetworkInterface::allInterfaces()) {
        if (i.flags().testFlag(QNetworkInterface::IsLoopBack))
            return i;
    }
    return {};
}

// A socket that hears the discovery group on loopback at the given port (0: any).
bool listenToGroup(QUdpSocket &socket, quint16 port)
{
    return socket.bind(QHostAddress::AnyIPv4, port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)
        && socket.joinMulticastGroup(Group, loopback());
}

QList<Reply> datagrams(QUdpSocket &socket, int wanted, int timeoutMs = 5000)
{
    QList<Reply> got;
    while (got.size() < wanted && (socket.hasPendingDatagrams() || socket.waitForReadyRead(timeoutMs))) {
        while (socket.hasPendingDatagrams())
            got.append(Reply{ 0, socket.receiveDatagram().data() });
    }
    return got;
}

QByteArray probe(const QByteArray &types, const QByteArray &scopes = QByteArray())
{
    return "<e:Envelope xmlns:e=\"http://www.w3.org/2003/05/soap-envelope\" "
           "xmlns:w=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\" "
           "xmlns:p=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\" xmlns:x=\"http://www.onvif.org/ver10/network/wsdl\" "
           "xmlns:y=\"http://www.onvif.org/ver10/device/wsdl\"><e:Header><w:MessageID>urn:uuid:0a6dc791-2be6-4991-9af1-"
           "454778a1917a</w:MessageID><w:To>urn:schemas-xmlsoap-org:ws:2005:04:discovery</w:To><w:Action>"
           "http://schemas.xmlsoap.org/ws/2005/04/discovery/Probe</w:Action></e:Header><e:Body><p:Probe><p:Types>"
        + types + "</p:Types>" + (scopes.isEmpty() ? QByteArray() : "<p:Scopes>" + scopes + "</p:Scopes>")
        + "</p:Probe></e:Body></e:Envelope>";
}

} // namespace

// vyo-camsim's ONVIF devices, spoken to as a client would, byte for byte.
class TestOnvifCamsim final : public QObject
{
    Q_OBJECT

private:
    CamsimProcess m_sim;
    QNetworkAccessManager m_nam;

    Reply post(const QUrl &url, const QByteArray &body)
    {
        QNetworkRequest request(url);
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/soap+xml; charset=utf-8"));
        QNetworkReply *reply = m_nam.post(request, body);
        QSignalSpy finished(reply, &QNetworkReply::finished);
        finished.wait(10000);
        reply->deleteLater();
        return Reply{ reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll() };
    }

    Reply call(const char *camera, const char *path, const QString &ns, const QByteArray &operation,
               const Token &token = Token{})
    {
        return post(serviceUrl(m_sim.camera(QString::fromLatin1(camera)), path),
                    envelope(ns, operation, token.user.isEmpty() ? QByteArray() : security(token)));
    }

    Reply ptz(const char *camera, const QByteArray &operation)
    {
        const Token admin("admin", "s&cret");
        return call(camera, "/onvif/ptz_service", Ptz, operation,
                    qstrcmp(camera, "Lobby Cam") == 0 ? admin : Token{});
    }

    double stateOf(const char *camera, const char *key)
    {
        return m_sim.state(QString::fromLatin1(camera)).value(QLatin1StringView(key)).toDouble();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_sim.start(QString::fromLatin1(Config).arg(37021).toUtf8()), qPrintable(m_sim.errorOutput()));
    }

    void init() { m_sim.reset(); }

    // Profiles point at the camera's RTSP streams and its snapshot; replies keep each
    // camera's own prefixes; a camera without a head offers no PTZ service.
    void deviceAndMedia()
    {
        const Token admin("admin", "s&cret");
        Reply r = call("Lobby Cam", "/onvif/device_service", Device, "<q:GetServices/>");
        QCOMPARE(r.status, 200);
        QVERIFY(r.body.contains("<tds:GetServicesResponse>"));
        QVERIFY(r.values(Device, "Namespace").contains(Ptz));
        r = call("Dock", "/onvif/device_service", Device, "<q:GetServices><q:IncludeCapability>false</q:IncludeCapability></q:GetServices>");
        QVERIFY(r.body.contains("<ns1:GetServicesResponse>") && r.body.contains("<env:Body>"));
        QVERIFY(!r.values(Device, "Namespace").contains(Ptz));
        QCOMPARE(call("Dock", "/onvif/ptz_service", Ptz, "<q:GetNodes/>").faultSubcode(), QStringLiteral("ns5:ActionNotSupported"));

        r = call("Lobby Cam", "/onvif/device_service", Device, "<q:GetDeviceInformation/>", admin);
        QCOMPARE(r.value(Device, "HardwareId"), QStringLiteral("VC-1"));

        r = call("Lobby Cam", "/onvif/media_service", Media, "<q:GetProfiles/>", admin);
        QCOMPARE(r.status, 200);
        const QStringList tokens = r.values(Media, "Profiles", "token");
        QCOMPARE(tokens.size(), 2);
        QCOMPARE(r.values(Schema, "Encoding"), QStringList({ QStringLiteral("H264"), QStringLiteral("H264") }));
        QCOMPARE(r.values(Schema, "Width"), QStringList({ QStringLiteral("1280"), QStringLiteral("320") }));
        QCOMPARE(r.values(Schema, "Height"), QStringList({ QStringLiteral("720"), QStringLiteral("240") }));
        QCOMPARE(r.values(Schema, "NodeToken").size(), 2);
        QCOMPARE(call("Dock", "/onvif/media_service", Media, "<q:GetProfiles/>").values(Schema, "Encoding").value(0),
                 QStringLiteral("H265"));

        for (int i = 0; i < 2; ++i) {
            const QByteArray token = tokens.at(i).toUtf8();
            r = call("Lobby Cam", "/onvif/media_service", Media,
                     "<q:GetStreamUri><q:StreamSetup><tt:Stream>RTP-Unicast</tt:Stream><tt:Transport><tt:Protocol>RTSP"
                     "</tt:Protocol></tt:Transport></q:StreamSetup><q:ProfileToken>" + token + "</q:ProfileToken></q:GetStreamUri>",
                     admin);
            const QUrl rtsp(r.value(Schema, "Uri"));
            QCOMPARE(rtsp.scheme(), QStringLiteral("rtsp"));
            QCOMPARE(rtsp.path(), i == 0 ? QStringLiteral("/main") : QStringLiteral("/sub"));
            QTcpSocket socket;
            socket.connectToHost(rtsp.host(), static_cast<quint16>(rtsp.port()));
            QVERIFY(socket.waitForConnected(5000));
            socket.write("OPTIONS " + rtsp.toEncoded() + " RTSP/1.0\r\nCSeq: 1\r\n\r\n");
            QVERIFY(socket.waitForReadyRead(5000));
            QVERIFY(socket.readAll().startsWith("RTSP/1.0 200"));
        }
        QCOMPARE(call("Lobby Cam", "/onvif/media_service", Media,
                      "<q:GetStreamUri><q:ProfileToken>nope</q:ProfileToken></q:GetStreamUri>", admin)
                     .faultSubcode(),
                 QStringLiteral("ter:NoProfile"));

        r = call("Lobby Cam", "/onvif/media_service", Media,
                 "<q:GetSnapshotUri><q:ProfileToken>" + tokens.at(1).toUtf8() + "</q:ProfileToken></q:GetSnapshotUri>", admin);
        QUrl snapshot(r.value(Schema, "Uri"));
        QNetworkReply *get = m_nam.get(QNetworkRequest(snapshot));
        QSignalSpy(get, &QNetworkReply::finished).wait(10000);
        QCOMPARE(get->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 401);
        delete get;
        snapshot.setUserName(QStringLiteral("admin"));
        snapshot.setPassword(QStringLiteral("s&cret"));
        get = m_nam.get(QNetworkRequest(snapshot));
        QSignalSpy(get, &QNetworkReply::finished).wait(10000);
        QCOMPARE(QImage::fromData(get->readAll(), "JPEG").size(), QSize(320, 240));
        delete get;
    }

    // UsernameToken with PasswordDigest against the device's own clock; refusals are
    // ter:NotAuthorized faults, 401 without a token and 400 with a bad one.
    void usernameToken()
    {
        const char *profiles = "<q:GetProfiles/>";
        Reply r = call("Lobby Cam", "/onvif/media_service", Media, profiles);
        QCOMPARE(r.status, 401);
        QCOMPARE(r.faultSubcode(), QStringLiteral("ter:NotAuthorized"));
        r = call("Lobby Cam", "/onvif/media_service", Media, profiles, Token("admin", "wrong"));
        QCOMPARE(r.status, 400);
        QCOMPARE(r.faultSubcode(), QStringLiteral("ter:NotAuthorized"));
        Token stale("admin", "s&cret");
        stale.created = stale.created.addSecs(-600);
        QCOMPARE(call("Lobby Cam", "/onvif/media_service", Media, profiles, stale).status, 400);
        const Token good("admin", "s&cret", "once");
        QCOMPARE(call("Lobby Cam", "/onvif/media_service", Media, profiles, good).status, 200);
        QCOMPARE(call("Lobby Cam", "/onvif/media_service", Media, profiles, good).status, 400); // replayed nonce

        // An hour off: the token must be made on the device's time.
        r = call("Skewed", "/onvif/device_service", Device, "<q:GetSystemDateAndTime/>");
        const QDateTime device(QDate(r.value(Schema, "Year").toInt(), r.value(Schema, "Month").toInt(),
                                     r.value(Schema, "Day").toInt()),
                               QTime(r.value(Schema, "Hour").toInt(), r.value(Schema, "Minute").toInt(),
                                     r.value(Schema, "Second").toInt()),
                               Qt::UTC);
        const qint64 offset = QDateTime::currentDateTimeUtc().secsTo(device);
        QVERIFY2(std::abs(offset - 3600) < 5, qPrintable(QString::number(offset)));
        Token skewed("admin", "pw");
        QCOMPARE(call("Skewed", "/onvif/media_service", Media, profiles, skewed).status, 400);
        skewed.created = skewed.created.addSecs(offset);
        QCOMPARE(call("Skewed", "/onvif/media_service", Media, profiles, skewed).status, 200);
        QVERIFY(m_sim.state(QStringLiteral("Lobby Cam")).value(QStringLiteral("badFrames")).toInt() >= 3);
    }

    // The HTTP-Digest-only device: no UsernameToken is enough, Digest is.
    void digestOnly()
    {
        QCOMPARE(call("Digest", "/onvif/device_service", Device, "<q:GetSystemDateAndTime/>").status, 200);
        QNetworkRequest request(serviceUrl(m_sim.camera(QStringLiteral("Digest")), "/onvif/device_service"));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/soap+xml"));
        const QByteArray body = envelope(Device, "<q:GetDeviceInformation/>",
                                         security(Token("admin", "pw")));
        QNetworkReply *reply = m_nam.post(request, body);
        QSignalSpy(reply, &QNetworkReply::finished).wait(10000);
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 401);
        QVERIFY(reply->rawHeader("WWW-Authenticate").startsWith("Digest "));
        delete reply;

        QUrl url = request.url();
        url.setUserName(QStringLiteral("admin"));
        url.setPassword(QStringLiteral("pw"));
        request.setUrl(url);
        reply = m_nam.post(request, envelope(Device, "<q:GetDeviceInformation/>"));
        QSignalSpy(reply, &QNetworkReply::finished).wait(10000);
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
        QVERIFY(reply->readAll().contains("Manufacturer"));
        delete reply;
    }

    void continuousMoveAndStop()
    {
        Reply r = ptz("Lobby Cam", "<q:GetConfigurationOptions><q:ConfigurationToken>PTZConfiguration_1"
                                   "</q:ConfigurationToken></q:GetConfigurationOptions>");
        QCOMPARE(r.values(Schema, "URI").size(), 4);
        QVERIFY(r.values(Schema, "URI").contains(QStringLiteral(
            "http://www.onvif.org/ver10/tptz/PanTiltSpaces/VelocityGenericSpace")));
        QCOMPARE(ptz("Lobby Cam", "<q:GetNodes/>").value(Schema, "MaximumNumberOfPresets"), QStringLiteral("32"));

        r = ptz("Lobby Cam", "<q:ContinuousMove><q:ProfileToken>Profile_1</q:ProfileToken><q:Velocity>"
                             "<tt:PanTilt x=\"0.5\" y=\"-0.5\"/><tt:Zoom x=\"1\"/></q:Velocity><q:Timeout>PT10S</q:Timeout>"
                             "</q:ContinuousMove>");
        QCOMPARE(r.status, 200);
        QTRY_VERIFY(stateOf("Lobby Cam", "pan") > 1 && stateOf("Lobby Cam", "tilt") < -1);
        r = ptz("Lobby Cam", "<q:GetStatus><q:ProfileToken>Profile_1</q:ProfileToken></q:GetStatus>");
        QCOMPARE(r.values(Schema, "PanTilt").mid(1), QStringList({ QStringLiteral("MOVING") }));
        QVERIFY(r.values(Schema, "PanTilt", "x").value(0).toDouble() > 0);

        // Pan/tilt stops alone; the zoom goes on until its own stop.
        ptz("Lobby Cam", "<q:Stop><q:ProfileToken>Profile_1</q:ProfileToken><q:PanTilt>true</q:PanTilt>"
                         "<q:Zoom>false</q:Zoom></q:Stop>");
        r = ptz("Lobby Cam", "<q:GetStatus><q:ProfileToken>Profile_1</q:ProfileToken></q:GetStatus>");
        QCOMPARE(r.values(Schema, "PanTilt").mid(1), QStringList({ QStringLiteral("IDLE") }));
        QCOMPARE(r.values(Schema, "Zoom").mid(1), QStringList({ QStringLiteral("MOVING") }));
        ptz("Lobby Cam", "<q:Stop><q:ProfileToken>Profile_1</q:ProfileToken></q:Stop>");
        QVERIFY(!m_sim.state(QStringLiteral("Lobby Cam")).value(QStringLiteral("moving")).toBool());
        QCOMPARE(m_sim.state(QStringLiteral("Lobby Cam")).value(QStringLiteral("recentCommands")).toArray().size(), 3);

        // A lost stop: the Timeout ends the move.
        ptz("Lobby Cam", "<q:ContinuousMove><q:ProfileToken>Profile_1</q:ProfileToken><q:Velocity>"
                         "<tt:PanTilt x=\"-1\" y=\"0\"/></q:Velocity><q:Timeout>PT0.5S</q:Timeout></q:ContinuousMove>");
        QVERIFY(m_sim.state(QStringLiteral("Lobby Cam")).value(QStringLiteral("moving")).toBool());
        QTRY_VERIFY_WITH_TIMEOUT(!m_sim.state(QStringLiteral("Lobby Cam")).value(QStringLiteral("moving")).toBool(), 3000);
        QCOMPARE(ptz("Lobby Cam", "<q:ContinuousMove><q:ProfileToken>Profile_1</q:ProfileToken><q:Velocity>"
                                  "<tt:PanTilt x=\"a\" y=\"0\"/></q:Velocity></q:ContinuousMove>")
                     .faultSubcode(),
                 QStringLiteral("ter:InvalidArgVal"));

        // The quirky device answers Stop and keeps moving; a zero velocity stops it.
        ptz("Stubborn", "<q:ContinuousMove><q:ProfileToken>000</q:ProfileToken><q:Velocity><tt:PanTilt x=\"1\" y=\"0\"/>"
                        "</q:Velocity></q:ContinuousMove>");
        QCOMPARE(ptz("Stubborn", "<q:Stop><q:ProfileToken>000</q:ProfileToken></q:Stop>").status, 200);
        QVERIFY(m_sim.state(QStringLiteral("Stubborn")).value(QStringLiteral("moving")).toBool());
        ptz("Stubborn", "<q:ContinuousMove><q:ProfileToken>000</q:ProfileToken><q:Velocity><tt:PanTilt x=\"0\" y=\"0\"/>"
                        "</q:Velocity></q:ContinuousMove>");
        QVERIFY(!m_sim.state(QStringLiteral("Stubborn")).value(QStringLiteral("moving")).toBool());
    }

    void presets()
    {
        Reply r = ptz("Lobby Cam", "<q:SetPreset><q:ProfileToken>Profile_1</q:ProfileToken><q:PresetName>Gate &amp; Quay"
                                   "</q:PresetName></q:SetPreset>");
        const QString token = r.value(Ptz, "PresetToken");
        QVERIFY(!token.isEmpty());
        const double pan = stateOf("Lobby Cam", "pan");
        ptz("Lobby Cam", "<q:ContinuousMove><q:ProfileToken>Profile_1</q:ProfileToken><q:Velocity><tt:PanTilt x=\"1\" "
                         "y=\"1\"/></q:Velocity></q:ContinuousMove>");
        QTRY_VERIFY(stateOf("Lobby Cam", "pan") > pan + 5);
        r = ptz("Lobby Cam", "<q:GetPresets><q:ProfileToken>Profile_1</q:ProfileToken></q:GetPresets>");
        QCOMPARE(r.values(Ptz, "Preset", "token"), QStringList{ token });
        QCOMPARE(r.value(Schema, "Name"), QStringLiteral("Gate & Quay"));
        QCOMPARE(ptz("Lobby Cam", "<q:GotoPreset><q:ProfileToken>Profile_1</q:ProfileToken><q:PresetToken>" + token.toUtf8()
                                      + "</q:PresetToken></q:GotoPreset>")
                     .status,
                 200);
        QCOMPARE(stateOf("Lobby Cam", "pan"), pan);
        QVERIFY(!m_sim.state(QStringLiteral("Lobby Cam")).value(QStringLiteral("moving")).toBool());
        // Presets belong to their camera.
        QVERIFY(ptz("Stubborn", "<q:GetPresets><q:ProfileToken>000</q:ProfileToken></q:GetPresets>").values(Ptz, "Preset").isEmpty());
        ptz("Lobby Cam", "<q:RemovePreset><q:ProfileToken>Profile_1</q:ProfileToken><q:PresetToken>" + token.toUtf8()
                             + "</q:PresetToken></q:RemovePreset>");
        QCOMPARE(ptz("Lobby Cam", "<q:GotoPreset><q:ProfileToken>Profile_1</q:ProfileToken><q:PresetToken>" + token.toUtf8()
                                      + "</q:PresetToken></q:GotoPreset>")
                     .faultSubcode(),
                 QStringLiteral("ter:NoToken"));
    }

    void malformedRequests()
    {
        const QUrl url = serviceUrl(m_sim.camera(QStringLiteral("Dock")), "/onvif/device_service");
        Reply r = post(url, "<s:Envelope xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\"><s:Body><unclosed>");
        QCOMPARE(r.status, 400);
        QCOMPARE(r.faultSubcode(), QStringLiteral("ns5:WellFormed"));
        QByteArray deep;
        for (int i = 0; i < 100; ++i)
            deep += "<a>";
        QCOMPARE(post(url, envelope(Device, deep)).status, 400);
        QCOMPARE(post(url, envelope(Device, "<q:Reboot/>")).faultSubcode(), QStringLiteral("ns5:ActionNotSupported"));
        QTcpSocket big;
        big.connectToHost(url.host(), static_cast<quint16>(url.port()));
        QVERIFY(big.waitForConnected(5000));
        big.write("POST /onvif/device_service HTTP/1.1\r\nContent-Length: 100000\r\n\r\n");
        QVERIFY(big.waitForReadyRead(5000));
        QVERIFY(big.readAll().startsWith("HTTP/1.0 413"));
        QCOMPARE(m_sim.state(QStringLiteral("Dock")).value(QStringLiteral("badFrames")).toInt(), 4);
    }

    // Hello at start, ProbeMatches for probes sent to the port (multicast or not),
    // Bye at exit.
    void discovery()
    {
        QUdpSocket group;
        QVERIFY(listenToGroup(group, 0));
        const quint16 port = group.localPort();
        CamsimProcess sim;
        QVERIFY2(sim.start(QString::fromLatin1(Config).arg(port).toUtf8()), qPrintable(sim.errorOutput()));
        const QList<Reply> hellos = datagrams(group, 5);
        QCOMPARE(hellos.size(), 5);
        QCOMPARE(hellos.at(0).value(Addressing, "Action"), Discovery + QStringLiteral("/Hello"));
        group.close();

        QUdpSocket client;
        QVERIFY(client.bind(QHostAddress::LocalHost, 0));
        client.writeDatagram(probe("x:NetworkVideoTransmitter"), QHostAddress::LocalHost, port);
        QList<Reply> matches = datagrams(client, 5);
        QCOMPARE(matches.size(), 5);
        const auto lobby = std::find_if(matches.cbegin(), matches.cend(), [](const Reply &m) {
            return m.value(Discovery, "Scopes").contains(QStringLiteral("onvif://www.onvif.org/name/Lobby%20Cam"));
        });
        QVERIFY(lobby != matches.cend());
        QCOMPARE(lobby->value(Addressing, "RelatesTo"), QStringLiteral("urn:uuid:0a6dc791-2be6-4991-9af1-454778a1917a"));
        QVERIFY(lobby->value(Addressing, "Address").startsWith(QStringLiteral("urn:uuid:")));
        const QStringList scopes = lobby->value(Discovery, "Scopes").split(QLatin1Char(' '));
        QVERIFY(scopes.contains(QStringLiteral("onvif://www.onvif.org/hardware/VC-1")));
        QVERIFY(scopes.contains(QStringLiteral("onvif://www.onvif.org/location/Hall%20A")));
        QCOMPARE(QUrl(lobby->value(Discovery, "XAddrs")),
                 serviceUrl(sim.camera(QStringLiteral("Lobby Cam")), "/onvif/device_service"));

        // By scope, by the device type, by the group; other types get no answer.
        client.writeDatagram(probe("y:Device", "onvif://www.onvif.org/name/Dock"), QHostAddress::LocalHost, port);
        matches = datagrams(client, 1);
        QCOMPARE(matches.size(), 1);
        QVERIFY(matches.at(0).body.contains("<ns7:ProbeMatches>"));
        client.writeDatagram(probe("y:Printer"), QHostAddress::LocalHost, port);
        client.writeDatagram("<not xml", QHostAddress::LocalHost, port);
        QVERIFY(datagrams(client, 1, 1000).isEmpty());

        QVERIFY(listenToGroup(group, port));
        sim.terminate();
        QList<Reply> byes;
        for (const Reply &m : datagrams(group, 5)) {
            if (m.value(Addressing, "Action").endsWith(QLatin1StringView("/Bye")))
                byes.append(m);
        }
        QCOMPARE(byes.size(), 5);
    }
};

QTEST_GUILESS_MAIN(TestOnvifCamsim)
#include "tst_onvifcamsim.moc"
