#pragma once

#include <QList>
#include <QNetworkInterface>
#include <QObject>
#include <QStringList>
#include <QUdpSocket>

struct CameraSetup;
class SoapWriter;
class XmlElement;

// The simulator's WS-Discovery responder for its ONVIF cameras, on loopback only:
// it joins 239.255.255.250 on the loopback interface, answers Probes (multicast or
// unicast to its port) with one ProbeMatches per matching device, sends Hello for
// each device when it starts and Bye when it is destroyed, and ignores datagrams
// from anywhere but loopback. Main thread.
class DiscoveryResponder final : public QObject
{
    Q_OBJECT

public:
    struct Device
    {
        QString endpoint; // urn:uuid:..., stable for a camera name
        QString xaddrs;
        QStringList scopes;
        QString prefixes;
    };

    static constexpr int MaxDatagramsPerRead = 64;

    explicit DiscoveryResponder(QList<Device> devices, QObject *parent = nullptr);
    ~DiscoveryResponder() override;

    // False when the port cannot be bound or the group not joined on loopback.
    bool start(quint16 port);

    static Device deviceFor(const CameraSetup &setup, const QString &host);
    static bool matches(const Device &device, const XmlElement &probe);

private:
    enum class Kind { Hello, Bye, ProbeMatches };

    void readPending();
    QByteArray message(const Device &device, Kind kind, const QString &relatesTo);
    void announce(Kind kind);

    QList<Device> m_devices;
    QUdpSocket m_socket;
    QNetworkInterface m_loopback;
    quint16 m_port = 0;
    QString m_instance;
    quint64 m_messageNumber = 0;
};
