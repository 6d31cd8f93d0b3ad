#include "onvif/FakeOnvifDevice.h"

#include "onvif/OnvifNamespaces.h"
#include "onvif/UsernameToken.h"
#include "onvif/XmlElement.h"

#include <QDateTime>
#include <QRegularExpression>

QByteArray httpResponse(int status, const QByteArray &body, const QByteArray &extraHeaders)
{
    return "HTTP/1.1 " + QByteArray::number(status) + " X\r\nContent-Type: application/soap+xml\r\nContent-Length: "
           + QByteArray::number(body.size()) + "\r\n" + extraHeaders + "\r\n" + body;
}

QByteArray soapEnvelope(const QByteArray &body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<env:Envelope xmlns:env=\"http://www.w3.org/2003/05/soap-envelope\""
           " xmlns:tds=\"http://www.onvif.org/ver10/device/wsdl\" xmlns:trt=\"http://www.onvif.org/ver10/media/wsdl\""
           " xmlns:tr2=\"http://www.onvif.org/ver20/media/wsdl\" xmlns:tt=\"http://www.onvif.org/ver10/schema\""
           " xmlns:ter=\"http://www.onvif.org/ver10/error\"><env:Body>"
           + body + "</env:Body></env:Envelope>";
}

namespace {

QByteArray fault(const QByteArray &subcode, const QByteArray &reason)
{
    return soapEnvelope("<env:Fault><env:Code><env:Value>env:Sender</env:Value><env:Subcode><env:Value>" + subcode
                        + "</env:Value></env:Subcode></env:Code><env:Reason><env:Text xml:lang=\"en\">" + reason
                        + "</env:Text></env:Reason></env:Fault>");
}

} // namespace

FakeOnvifDevice::FakeOnvifDevice()
    : m_server(TestServer::httpWithBody([this](QTcpSocket *socket, const QByteArray &head, const QByteArray &body) {
        respond(socket, head, body);
    }))
{
}

QUrl FakeOnvifDevice::deviceService() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1/onvif/device_service").arg(m_server.port()));
}

bool FakeOnvifDevice::authorized(const QByteArray &body) const
{
    QString error;
    const std::optional<XmlElement> envelope = XmlElement::parse(body, &error);
    const XmlElement *token = envelope ? envelope->find(OnvifNs::Wsse, QStringLiteral("UsernameToken")) : nullptr;
    if (!token || token->childText(OnvifNs::Wsse, QStringLiteral("Username")) != user)
        return false;
    const QString created = token->childText(OnvifNs::Wsu, QStringLiteral("Created"));
    const QByteArray nonce = QByteArray::fromBase64(token->childText(OnvifNs::Wsse, QStringLiteral("Nonce")).toLatin1());
    if (token->childText(OnvifNs::Wsse, QStringLiteral("Password")) != UsernameToken::passwordDigest(nonce, created, password))
        return false;
    const QDateTime deviceNow = QDateTime::currentDateTimeUtc().addMSecs(clockOffsetMs);
    return qAbs(QDateTime::fromString(created, Qt::ISODateWithMs).secsTo(deviceNow)) < 300;
}

void FakeOnvifDevice::respond(QTcpSocket *socket, const QByteArray &head, const QByteArray &body)
{
    static const QRegularExpression actionParameter(QStringLiteral("action=\"[^\"]*/([A-Za-z]+)\""));
    const QString operation = actionParameter.match(QString::fromLatin1(head)).captured(1);
    m_operations.append(operation);
    if (operation == QLatin1String("GetSystemDateAndTime")) {
        const QDateTime now = QDateTime::currentDateTimeUtc().addMSecs(clockOffsetMs);
        const QString reply = QStringLiteral(
            "<tds:GetSystemDateAndTimeResponse><tds:SystemDateAndTime><tt:DateTimeType>Manual</tt:DateTimeType>"
            "<tt:DaylightSavings>false</tt:DaylightSavings><tt:UTCDateTime><tt:Time><tt:Hour>%1</tt:Hour>"
            "<tt:Minute>%2</tt:Minute><tt:Second>%3</tt:Second></tt:Time><tt:Date><tt:Year>%4</tt:Year>"
            "<tt:Month>%5</tt:Month><tt:Day>%6</tt:Day></tt:Date></tt:UTCDateTime></tds:SystemDateAndTime>"
            "</tds:GetSystemDateAndTimeResponse>")
                                  .arg(now.time().hour())
                                  .arg(now.time().minute())
                                  .arg(now.time().second())
                                  .arg(now.date().year())
                                  .arg(now.date().month())
                                  .arg(now.date().day());
        socket->write(httpResponse(200, soapEnvelope(reply.toUtf8())));
        return;
    }
    if (requiresToken && !authorized(body)) {
        socket->write(httpResponse(400, fault("ter:NotAuthorized", "Sender not Authorized")));
        return;
    }
    const QByteArray reply = m_replies.value(operation);
    if (reply.isEmpty()) {
        socket->write(httpResponse(500, fault("ter:ActionNotSupported", "Optional Action Not Implemented")));
        return;
    }
    // "{token}" stands for the request's profile token, "{port}" for the device's port.
    QString error;
    const std::optional<XmlElement> request = XmlElement::parse(body, &error);
    const XmlElement *token = request ? request->find(OnvifNs::Media, QStringLiteral("ProfileToken")) : nullptr;
    if (!token && request)
        token = request->find(OnvifNs::Media2, QStringLiteral("ProfileToken"));
    QByteArray filled = reply;
    filled.replace("{token}", token ? token->text().toUtf8() : QByteArray());
    filled.replace("{port}", QByteArray::number(m_server.port()));
    socket->write(httpResponse(200, soapEnvelope(filled)));
}

namespace {

// The inner address 192.0.2.1 must be replaced by the device's loopback one.
const QByteArray Services =
    "<tds:GetServicesResponse><tds:Service><tds:Namespace>http://www.onvif.org/ver10/device/wsdl</tds:Namespace>"
    "<tds:XAddr>http://192.0.2.1/onvif/device_service</tds:XAddr></tds:Service><tds:Service>"
    "<tds:Namespace>http://www.onvif.org/ver10/media/wsdl</tds:Namespace>"
    "<tds:XAddr>http://192.0.2.1/onvif/media_service</tds:XAddr></tds:Service><tds:Service>"
    "<tds:Namespace>http://www.onvif.org/ver20/ptz/wsdl</tds:Namespace>"
    "<tds:XAddr>http://127.0.0.1:{port}/onvif/ptz_service</tds:XAddr></tds:Service></tds:GetServicesResponse>";

} // namespace

// Media profiles in another prefix set than the envelope's, one without an encoder.
const QByteArray FakeOnvifDevice::MediaProfiles =
    "<m:GetProfilesResponse xmlns:m=\"http://www.onvif.org/ver10/media/wsdl\" xmlns:s=\"http://www.onvif.org/ver10/schema\">"
    "<m:Profiles token=\"jpeg\" fixed=\"true\"><s:Name>Still</s:Name><s:VideoEncoderConfiguration token=\"e3\">"
    "<s:Encoding>JPEG</s:Encoding><s:Resolution><s:Width>320</s:Width><s:Height>240</s:Height></s:Resolution>"
    "</s:VideoEncoderConfiguration></m:Profiles>"
    "<m:Profiles token=\"main\" fixed=\"true\"><s:Name>MainStream</s:Name><s:VideoEncoderConfiguration token=\"e1\">"
    "<s:Encoding>H264</s:Encoding><s:Resolution><s:Width>1920</s:Width><s:Height>1080</s:Height></s:Resolution>"
    "</s:VideoEncoderConfiguration></m:Profiles>"
    "<m:Profiles token=\"audio\"><s:Name>Audio</s:Name></m:Profiles>"
    "<m:Profiles token=\"sub\"><s:Name>SubStream</s:Name><s:VideoEncoderConfiguration>"
    "<s:Encoding>H264</s:Encoding><s:Resolution><s:Width>640</s:Width><s:Height>360</s:Height></s:Resolution>"
    "</s:VideoEncoderConfiguration></m:Profiles></m:GetProfilesResponse>";

const QByteArray FakeOnvifDevice::MediaStreamUri = "<trt:GetStreamUriResponse><trt:MediaUri><tt:Uri>rtsp://127.0.0.1:8554/{token}"
                                  "</tt:Uri><tt:InvalidAfterConnect>false</tt:InvalidAfterConnect></trt:MediaUri>"
                                  "</trt:GetStreamUriResponse>";

void FakeOnvifDevice::serveMedia()
{
    setReply(QStringLiteral("GetServices"), Services);
    setReply(QStringLiteral("GetProfiles"), MediaProfiles);
    setReply(QStringLiteral("GetStreamUri"), MediaStreamUri);
    setReply(QStringLiteral("GetSnapshotUri"),
                    "<trt:GetSnapshotUriResponse><trt:MediaUri><tt:Uri>http://127.0.0.1/snap/{token}.jpg</tt:Uri>"
                    "</trt:MediaUri></trt:GetSnapshotUriResponse>");
}
