#include "discovery/WsDiscoveryMessage.h"

#include "onvif/OnvifNamespaces.h"
#include "onvif/XmlElement.h"

#include <QUuid>
#include <QXmlStreamWriter>

namespace {

const QString ActionBase = QStringLiteral("http://schemas.xmlsoap.org/ws/2005/04/discovery/");

// Types hold QNames whose prefixes are declared somewhere up the message: the local
// part is what tells a video transmitter.
bool isVideoTransmitter(const QString &types)
{
    const QStringList names = types.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return std::any_of(names.cbegin(), names.cend(), [](const QString &name) {
        return name.section(QLatin1Char(':'), -1) == QLatin1String("NetworkVideoTransmitter");
    });
}

void readScopes(const QString &scopes, DiscoveredDevice &device)
{
    static const QString prefix = QStringLiteral("onvif://www.onvif.org/");
    const QStringList items = scopes.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &item : items) {
        if (!item.startsWith(prefix, Qt::CaseInsensitive))
            continue;
        const QString rest = item.mid(prefix.size());
        const QString category = rest.section(QLatin1Char('/'), 0, 0);
        const QString value = QUrl::fromPercentEncoding(rest.section(QLatin1Char('/'), 1).toUtf8()).trimmed();
        if (category == QLatin1String("name") && device.name.isEmpty())
            device.name = value;
        else if (category == QLatin1String("hardware") && device.hardware.isEmpty())
            device.hardware = value;
        else if (category == QLatin1String("location") && device.location.isEmpty())
            device.location = value;
    }
}

std::optional<DiscoveredDevice> readDevice(const XmlElement &element, bool needsType)
{
    DiscoveredDevice device;
    if (const XmlElement *reference = element.child(OnvifNs::Addressing, QStringLiteral("EndpointReference")))
        device.endpoint = reference->childText(OnvifNs::Addressing, QStringLiteral("Address"));
    if (device.endpoint.isEmpty())
        return std::nullopt;
    if (needsType && !isVideoTransmitter(element.childText(OnvifNs::Discovery, QStringLiteral("Types"))))
        return std::nullopt;
    const QStringList addresses =
        element.childText(OnvifNs::Discovery, QStringLiteral("XAddrs")).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &address : addresses) {
        const QUrl url(address, QUrl::StrictMode);
        if (url.isValid() && !url.host().isEmpty()
            && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")))
            device.xaddrs.append(url);
        if (device.xaddrs.size() >= 4)
            break;
    }
    readScopes(element.childText(OnvifNs::Discovery, QStringLiteral("Scopes")), device);
    return device;
}

} // namespace

QString WsDiscoveryMessage::newMessageId()
{
    return QStringLiteral("uuid:") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

QByteArray WsDiscoveryMessage::probe(const QString &messageId)
{
    QByteArray bytes;
    QXmlStreamWriter w(&bytes);
    w.writeStartDocument();
    w.writeNamespace(OnvifNs::Soap12, QStringLiteral("s"));
    w.writeNamespace(OnvifNs::Addressing, QStringLiteral("a"));
    w.writeNamespace(OnvifNs::Discovery, QStringLiteral("d"));
    w.writeNamespace(OnvifNs::NetworkWsdl, QStringLiteral("dn"));
    w.writeStartElement(OnvifNs::Soap12, QStringLiteral("Envelope"));
    w.writeStartElement(OnvifNs::Soap12, QStringLiteral("Header"));
    w.writeStartElement(OnvifNs::Addressing, QStringLiteral("Action"));
    w.writeAttribute(OnvifNs::Soap12, QStringLiteral("mustUnderstand"), QStringLiteral("true"));
    w.writeCharacters(ActionBase + QStringLiteral("Probe"));
    w.writeEndElement();
    w.writeTextElement(OnvifNs::Addressing, QStringLiteral("MessageID"), messageId);
    w.writeStartElement(OnvifNs::Addressing, QStringLiteral("ReplyTo"));
    w.writeTextElement(OnvifNs::Addressing, QStringLiteral("Address"),
                       QStringLiteral("http://schemas.xmlsoap.org/ws/2004/08/addressing/role/anonymous"));
    w.writeEndElement();
    w.writeStartElement(OnvifNs::Addressing, QStringLiteral("To"));
    w.writeAttribute(OnvifNs::Soap12, QStringLiteral("mustUnderstand"), QStringLiteral("true"));
    w.writeCharacters(QStringLiteral("urn:schemas-xmlsoap-org:ws:2005:04:discovery"));
    w.writeEndElement();
    w.writeEndElement();
    w.writeStartElement(OnvifNs::Soap12, QStringLiteral("Body"));
    w.writeStartElement(OnvifNs::Discovery, QStringLiteral("Probe"));
    w.writeTextElement(OnvifNs::Discovery, QStringLiteral("Types"), QStringLiteral("dn:NetworkVideoTransmitter"));
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndDocument();
    return bytes;
}

std::optional<WsDiscoveryMessage::Parsed> WsDiscoveryMessage::parse(const QByteArray &datagram, QString *error)
{
    if (datagram.size() > MaxDatagramBytes) {
        *error = QStringLiteral("datagram too large");
        return std::nullopt;
    }
    const std::optional<XmlElement> root = XmlElement::parse(datagram, error);
    if (!root)
        return std::nullopt;
    const QString &soap = root->namespaceUri();
    const XmlElement *body = root->child(soap, QStringLiteral("Body"));
    if (!root->is(soap, QStringLiteral("Envelope")) || (soap != OnvifNs::Soap12 && soap != OnvifNs::Soap11) || !body) {
        *error = QStringLiteral("not a SOAP envelope");
        return std::nullopt;
    }
    Parsed parsed;
    if (const XmlElement *header = root->child(soap, QStringLiteral("Header")))
        parsed.relatesTo = header->childText(OnvifNs::Addressing, QStringLiteral("RelatesTo"));
    if (const XmlElement *matches = body->child(OnvifNs::Discovery, QStringLiteral("ProbeMatches"))) {
        parsed.kind = Kind::ProbeMatches;
        // A match answers our probe for video transmitters; devices that list no
        // types still get asked, the resolver tells.
        for (const XmlElement *match : matches->children(OnvifNs::Discovery, QStringLiteral("ProbeMatch"))) {
            if (parsed.devices.size() >= MaxMatches)
                break;
            if (std::optional<DiscoveredDevice> device = readDevice(*match, false))
                parsed.devices.append(*device);
        }
    } else if (const XmlElement *hello = body->child(OnvifNs::Discovery, QStringLiteral("Hello"))) {
        parsed.kind = Kind::Hello;
        if (std::optional<DiscoveredDevice> device = readDevice(*hello, true))
            parsed.devices.append(*device);
    } else if (const XmlElement *bye = body->child(OnvifNs::Discovery, QStringLiteral("Bye"))) {
        parsed.kind = Kind::Bye;
        if (std::optional<DiscoveredDevice> device = readDevice(*bye, false))
            parsed.devices.append(*device);
    }
    return parsed;
}
