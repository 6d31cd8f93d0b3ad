#pragma once

#include "config/Value.h"
#include "discovery/WsDiscoveryMessage.h"
#include "util/LogLimiter.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QUdpSocket>

#include <utility>

class Clock;
class OnvifResolver;

// Finds ONVIF cameras with WS-Discovery: a Probe for video transmitters when started
// and whenever probe() is called, their ProbeMatches, and the Hello and Bye they
// announce while it runs. Each device becomes a camera definition of type "ONVIF"
// marked with its endpoint ("onvif.endpoint"), hardware and location; where options.resolveStreams is set,
// each new device is asked once, without credentials, for its streams, which join
// its definition when it answers. Main thread only.
class OnvifDiscoverer final : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        // Interface names that probes go out on and announcements are heard on;
        // empty: every interface that is up and multicasts, and loopback.
        QStringList interfaces;
        // Probes go to 239.255.255.250 on those interfaces, at this port.
        bool multicast = true;
        quint16 multicastPort = 3702;
        // Probes also go to each of these by unicast (tests: a responder on 127.0.0.1).
        QList<std::pair<QHostAddress, quint16>> unicastTargets;
        // Where Hello and Bye are heard; 0 takes a free port (tests), which
        // announcementPort() then says.
        quint16 announcementPort = 3702;
        bool resolveStreams = true;
    };

    static constexpr int MaxDevices = 64;
    // Datagrams read in one go before the event loop gets a turn.
    static constexpr int DatagramsPerRead = 32;
    static const QString EndpointKey;
    static const QString HardwareKey;
    static const QString LocationKey;

    // Probes and announcements on the loopback interface alone.
    static Options loopbackOnly();

    OnvifDiscoverer(Options options, Clock &clock, QObject *parent = nullptr);
    ~OnvifDiscoverer() override;

    // Opens the sockets and probes; false when no probe could be sent.
    bool start();
    void probe();

    quint16 announcementPort() const { return m_announcements.localPort(); }
    const QList<DiscoveredDevice> &devices() const { return m_devices; }
    // One definition per device, sorted by title.
    QList<Value> detectedCameras() const { return m_cameras; }

    // The definition a device's announcement describes, before any resolving.
    static Value makeCamera(const DiscoveredDevice &device);

signals:
    void changed();

private:
    void read(QUdpSocket *socket);
    void handle(const QByteArray &datagram, const QHostAddress &sender);
    void addOrUpdate(const DiscoveredDevice &device);
    void remove(const QString &endpoint);
    void resolveNext();
    void publish();
    QList<QNetworkInterface> interfaces() const;

    Options m_options;
    Clock &m_clock;
    QUdpSocket m_probes;
    QUdpSocket m_announcements;
    QList<DiscoveredDevice> m_devices;
    // At the same positions as m_devices.
    QList<Value> m_definitions;
    QList<Value> m_cameras;
    QStringList m_resolveQueue;
    QStringList m_resolved;
    QString m_resolving;
    OnvifResolver *m_resolver;
    LogLimiter m_limiter;
};
