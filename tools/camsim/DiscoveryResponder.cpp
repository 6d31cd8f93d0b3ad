#include "camsim/DiscoveryResponder.h"

#include "camsim/OnvifServer.h"
#include "camsim/SimCamera.h"
#include "camsim/SoapWriter.h"
#include "onvif/XmlElement.h"

#include "util/QelLog.h"

#include <QDateTime>
#include <QNetworkDatagram>
#include <QUrl>
#include <QUuid>

namespace {

const QHostAddress Group(QStringLiteral("239.255.255.250"));
const QString Anonymous = QStringLiteral("http://schemas.xmlsoap.org/ws/2004/08/addressing/role/anonymous");
const QString DiscoveryTarget = QStringLiteral("urn:schemas-xmlsoap-org:ws:2005:04:discovery");
// Endpoint references are name-based UUIDs in a namespace of the simulator's own.
const QUuid EndpointNamespace(QStringLiteral("{6b1f0a52-1d5c-4e0e-9a57-3c8f4e2f1a90}"));

QString scopeText(const QString &value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

// A requested scope matches when it is the device's scope or a leading run of
// its path segments (the default rule of WS-Discovery).
bool scopeMatches(const QString &wanted, const QString &have)
{
    const QString w = wanted.endsWith(QLatin1Char('/')) ? wanted.chopped(1) : wanted;
    return have == w || have.startsWith(w + QLatin1Char('/'));
}

} // namespace

DiscoveryResponder::DiscoveryResponder(QList<Device> devices, QObject *parent)
    : QObject(parent)
    , m_devices(std::move(devices))
    , m_instance(QString::number(QDateTime::currentSecsSinceEpoch()))
{
    connect(&m_socket, &QUdpSocket::readyRead, this, &DiscoveryResponder::readPending);
}

DiscoveryResponder::~DiscoveryResponder()
{
    if (m_socket.state() == QAbstractSocket::BoundState)
        announce(Kind::Bye);
}

DiscoveryResponder::Device DiscoveryResponder::deviceFor(const CameraSetup &setup, const QString &host)
{
    Device device;
    device.endpoint = QStringLiteral("urn:uuid:") + QUuid::createUuidV5(EndpointNamespace, setup.name).toString(QUuid::WithoutBraces);
    device.xaddrs = QStringLiteral("http://") + OnvifServer::authority(QHostAddress(host), setup.port)
        + OnvifServer::deviceServicePath();
    const QString base = QStringLiteral("onvif://www.onvif.org/");
    device.scopes = { base + QStringLiteral("type/video_encoder"), base + QStringLiteral("Profile/Streaming"),
                      base + QStringLiteral("name/") + scopeText(setup.name),
                      base + QStringLiteral("hardware/") + scopeText(setup.hardware) };
    if (setup.ptz == QLatin1StringView("onvif"))
        device.scopes.append(base + QStringLiteral("type/ptz"));
    if (!setup.location.isEmpty())
        device.scopes.append(base + QStringLiteral("location/") + scopeText(setup.location));
    device.prefixes = setup.prefixes;
    return device;
}

bool DiscoveryResponder::start(quint16 port)
{
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &i : interfaces) {
        if (i.flags().testFlag(QNetworkInterface::IsLoopBack)) {
            m_loopback = i;
            break;
        }
    }
    // Shared so that a test (or a second simulator) can listen to the group too.
    if (!m_loopback.isValid()
        || !m_socket.bind(QHostAddress::AnyIPv4, port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint))
        return false;
    m_socket.setMulticastInterface(m_loopback);
    m_socket.setSocketOption(QAbstractSocket::MulticastTtlOption, 1);
    m_socket.setSocketOption(QAbstractSocket::MulticastLoopbackOption, 1);
    if (!m_socket.joinMulticastGroup(Group, m_loopback)) {
        m_socket.close();
        return false;
    }
    m_port = m_socket.localPort();
    announce(Kind::Hello);
    return true;
}

void DiscoveryResponder::announce(Kind kind)
{
    for (const Device &device : std::as_const(m_devices))
        m_socket.writeDatagram(message(device, kind, QString()), Group, m_port);
}

void DiscoveryResponder::readPending()
{
    for (int i = 0; i < MaxDatagramsPerRead && m_socket.hasPendingDatagrams(); ++i) {
        const QNetworkDatagram datagram = m_socket.receiveDatagram();
        if (!datagram.senderAddress().isLoopback()) {
            QEL_LOG(LogLevel::Debug, QStringLiteral("discovery: ignored a datagram from %1")
                                         .arg(datagram.senderAddress().toString()));
            continue;
        }
        QString error;
        const std::optional<XmlElement> envelope = XmlElement::parse(datagram.data(), &error);
        const XmlElement *body = envelope ? envelope->childNamed(QStringLiteral("Body")) : nullptr;
        const XmlElement *probe =
            body ? body->child(SoapWriter::uri(SoapWriter::Discovery), QStringLiteral("Probe")) : nullptr;
        if (!probe) {
            // Hello, Bye and our own multicast come back too; only garbage is worth a line.
            if (!envelope)
                QEL_LOG(LogLevel::Debug, QStringLiteral("discovery: unreadable datagram: %1").arg(error));
            continue;
        }
        const QString messageId = envelope->textAt({ "Header", "MessageID" });
        for (const Device &device : std::as_const(m_devices)) {
            if (matches(device, *probe))
                m_socket.writeDatagram(message(device, Kind::ProbeMatches, messageId), datagram.senderAddress(),
                                       static_cast<quint16>(datagram.senderPort()));
        }
    }
}

bool DiscoveryResponder::matches(const Device &device, const XmlElement &probe)
{
    const XmlElement *types = probe.childNamed(QStringLiteral("Types"));
    if (types && !types->text().isEmpty()) {
        bool known = false;
        // By local name, as the viewer reads them: the prefixes of the QNames are declared
        // up the message, where the parsed tree no longer keeps them.
        for (const QString &type : types->text().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString local = type.section(QLatin1Char(':'), -1);
            known = known || local == QLatin1StringView("NetworkVideoTransmitter") || local == QLatin1StringView("Device");
        }
        if (!known)
            return false;
    }
    const XmlElement *scopes = probe.childNamed(QStringLiteral("Scopes"));
    if (!scopes)
        return true;
    for (const QString &wanted : scopes->text().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (std::none_of(device.scopes.cbegin(), device.scopes.cend(),
                         [&wanted](const QString &have) { return scopeMatches(wanted, have); }))
            return false;
    }
    return true;
}

QByteArray DiscoveryResponder::message(const Device &device, Kind kind, const QString &relatesTo)
{
    SoapWriter w(device.prefixes);
    const QString discovery = SoapWriter::uri(SoapWriter::Discovery) + QLatin1Char('/');
    w.begin();
    w.element(SoapWriter::Addressing, "MessageID", QStringLiteral("urn:uuid:") + QUuid::createUuid().toString(QUuid::WithoutBraces));
    if (kind == Kind::ProbeMatches) {
        w.element(SoapWriter::Addressing, "RelatesTo", relatesTo);
        w.element(SoapWriter::Addressing, "To", Anonymous);
        w.element(SoapWriter::Addressing, "Action", discovery + QStringLiteral("ProbeMatches"));
    } else {
        w.element(SoapWriter::Addressing, "To", DiscoveryTarget);
        w.element(SoapWriter::Addressing, "Action",
                  discovery + (kind == Kind::Hello ? QStringLiteral("Hello") : QStringLiteral("Bye")));
    }
    w.start(SoapWriter::Discovery, "AppSequence");
    w.attribute("InstanceId", m_instance);
    w.attribute("MessageNumber", QString::number(++m_messageNumber));
    w.end();
    w.body();
    if (kind == Kind::ProbeMatches) {
        w.start(SoapWriter::Discovery, "ProbeMatches");
        w.start(SoapWriter::Discovery, "ProbeMatch");
    } else {
        w.start(SoapWriter::Discovery, kind == Kind::Hello ? "Hello" : "Bye");
    }
    w.start(SoapWriter::Addressing, "EndpointReference");
    w.element(SoapWriter::Addressing, "Address", device.endpoint);
    w.end();
    if (kind != Kind::Bye) {
        w.element(SoapWriter::Discovery, "Types",
                  w.prefix(SoapWriter::DiscoveryTypes) + QStringLiteral(":NetworkVideoTransmitter ")
                      + w.prefix(SoapWriter::Device) + QStringLiteral(":Device"));
        w.element(SoapWriter::Discovery, "Scopes", device.scopes.join(QLatin1Char(' ')));
        w.element(SoapWriter::Discovery, "XAddrs", device.xaddrs);
        w.element(SoapWriter::Discovery, "MetadataVersion", QStringLiteral("1"));
    }
    return w.finish();
}
