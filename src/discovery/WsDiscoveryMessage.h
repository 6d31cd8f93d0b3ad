#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

// One device as a WS-Discovery message describes it.
struct DiscoveredDevice
{
    // The endpoint reference address, usually "urn:uuid:...": the device's identity.
    QString endpoint;
    // Its device service addresses, http or https only.
    QList<QUrl> xaddrs;
    // From the onvif://www.onvif.org/ scopes, percent-decoded; empty when absent.
    QString name;
    QString hardware;
    QString location;
};

// The SOAP-over-UDP messages of WS-Discovery that find ONVIF cameras: the Probe we
// send, and the ProbeMatches, Hello and Bye we read. Nothing here does I/O.
class WsDiscoveryMessage final
{
public:
    // A datagram larger than this is not read.
    static constexpr qsizetype MaxDatagramBytes = 64 * 1024;
    // No message may describe more devices than this.
    static constexpr int MaxMatches = 32;

    enum class Kind { ProbeMatches, Hello, Bye, Other };

    struct Parsed
    {
        Kind kind = Kind::Other;
        // For ProbeMatches and Hello: devices that are video transmitters; for Bye: the
        // endpoints leaving, with only endpoint set.
        QList<DiscoveredDevice> devices;
        QString relatesTo;
    };

    WsDiscoveryMessage() = delete;

    // A Probe for dn:NetworkVideoTransmitter with this message id ("uuid:...").
    static QByteArray probe(const QString &messageId);
    // A fresh "uuid:..." message id.
    static QString newMessageId();
    // Nothing, with *error set, for datagrams that are not a discovery message.
    static std::optional<Parsed> parse(const QByteArray &datagram, QString *error);
};
