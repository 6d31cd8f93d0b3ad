#include "discovery/OnvifDiscoverer.h"

#include "onvif/OnvifResolver.h"
#include "platform/Clock.h"
#include "util/QelLog.h"
#include "video/OnvifVideoProfile.h"

#include <QCollator>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QTimer>

#include <algorithm>

namespace {

const QHostAddress MulticastGroup(QStringLiteral("239.255.255.250"));

} // namespace

const QString OnvifDiscoverer::EndpointKey = QStringLiteral("onvif.endpoint");
const QString OnvifDiscoverer::HardwareKey = QStringLiteral("onvif.hardware");
const QString OnvifDiscoverer::LocationKey = QStringLiteral("onvif.location");

OnvifDiscoverer::Options OnvifDiscoverer::loopbackOnly()
{
    Options options;
    options.interfaces = { QStringLiteral("lo") };
    return options;
}

OnvifDiscoverer::OnvifDiscoverer(Options options, Clock &clock, QObject *parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_clock(clock)
    , m_probes(this)
    , m_announcements(this)
    , m_resolver(new OnvifResolver(clock, this))
{
    connect(&m_probes, &QUdpSocket::readyRead, this, [this] { read(&m_probes); });
    connect(&m_announcements, &QUdpSocket::readyRead, this, [this] { read(&m_announcements); });
    connect(m_resolver, &OnvifResolver::resolved, this, [this](const OnvifDeviceInfo &info) {
        const auto at = std::find_if(m_devices.cbegin(), m_devices.cend(),
                                     [this](const DiscoveredDevice &d) { return d.endpoint == m_resolving; });
        if (at != m_devices.cend()) {
            Value video = m_definitions.at(at - m_devices.cbegin()).value(QStringLiteral("video.parameters"));
            OnvifVideoProfile::storeResolution(video, info);
            publish();
        }
        m_resolving.clear();
        resolveNext();
    });
    connect(m_resolver, &OnvifResolver::failed, this, [this](SoapResult::Status, const QString &reason) {
        QEL_LOG(LogLevel::Trace, QStringLiteral("ONVIF device %1 keeps its streams to itself: %2").arg(m_resolving, reason));
        m_resolving.clear();
        resolveNext();
    });
}

OnvifDiscoverer::~OnvifDiscoverer() = default;

QList<QNetworkInterface> OnvifDiscoverer::interfaces() const
{
    QList<QNetworkInterface> chosen;
    const QList<QNetworkInterface> all = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &interface : all) {
        const auto flags = interface.flags();
        if (!m_options.interfaces.isEmpty()) {
            if (m_options.interfaces.contains(interface.name()))
                chosen.append(interface);
        } else if (flags.testFlag(QNetworkInterface::IsUp)
                   && (flags.testFlag(QNetworkInterface::CanMulticast) || flags.testFlag(QNetworkInterface::IsLoopBack))) {
            chosen.append(interface);
        }
    }
    return chosen;
}

bool OnvifDiscoverer::start()
{
    if (!m_probes.bind(QHostAddress::AnyIPv4, 0)) {
        QEL_LOG(LogLevel::Error, QStringLiteral("WS-Discovery: no socket for probes: %1").arg(m_probes.errorString()));
        return false;
    }
    // Announcements are a bonus: without them the probes still find the cameras.
    if (m_announcements.bind(QHostAddress::AnyIPv4, m_options.announcementPort,
                             QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint)) {
        for (const QNetworkInterface &interface : interfaces()) {
            if (!m_announcements.joinMulticastGroup(MulticastGroup, interface))
                QEL_LOG(LogLevel::Trace, QStringLiteral("WS-Discovery: cannot listen for announcements on %1")
                                             .arg(interface.name()));
        }
    } else {
        QEL_LOG(LogLevel::Debug, QStringLiteral("WS-Discovery: not listening for announcements: %1")
                                     .arg(m_announcements.errorString()));
    }
    probe();
    return true;
}

void OnvifDiscoverer::probe()
{
    if (m_probes.state() != QAbstractSocket::BoundState)
        return;
    const QByteArray message = WsDiscoveryMessage::probe(WsDiscoveryMessage::newMessageId());
    int sent = 0;
    if (m_options.multicast) {
        for (const QNetworkInterface &interface : interfaces()) {
            m_probes.setMulticastInterface(interface);
            if (m_probes.writeDatagram(message, MulticastGroup, m_options.multicastPort) == message.size())
                ++sent;
        }
    }
    for (const auto &[address, port] : std::as_const(m_options.unicastTargets)) {
        if (m_probes.writeDatagram(message, address, port) == message.size())
            ++sent;
    }
    QEL_LOG(LogLevel::Trace, QStringLiteral("WS-Discovery: probe sent %1 times").arg(sent));
}

void OnvifDiscoverer::read(QUdpSocket *socket)
{
    for (int i = 0; i < DatagramsPerRead && socket->hasPendingDatagrams(); ++i) {
        const QNetworkDatagram datagram = socket->receiveDatagram(WsDiscoveryMessage::MaxDatagramBytes);
        handle(datagram.data(), datagram.senderAddress());
    }
    // A flood waits its turn behind the rest of the event loop.
    if (socket->hasPendingDatagrams())
        QTimer::singleShot(0, this, [this, socket] { read(socket); });
}

void OnvifDiscoverer::handle(const QByteArray &datagram, const QHostAddress &sender)
{
    QString error;
    const std::optional<WsDiscoveryMessage::Parsed> message = WsDiscoveryMessage::parse(datagram, &error);
    if (!message) {
        QEL_LOG_LIMITED(m_limiter, LogLevel::Debug,
                        QStringLiteral("WS-Discovery: unreadable message from %1: %2").arg(sender.toString(), error),
                        m_clock.now());
        return;
    }
    switch (message->kind) {
    case WsDiscoveryMessage::Kind::ProbeMatches:
    case WsDiscoveryMessage::Kind::Hello:
        for (const DiscoveredDevice &device : message->devices)
            addOrUpdate(device);
        break;
    case WsDiscoveryMessage::Kind::Bye:
        for (const DiscoveredDevice &device : message->devices)
            remove(device.endpoint);
        break;
    case WsDiscoveryMessage::Kind::Other:
        // Other clients' probes and our own, looped back.
        break;
    }
}

Value OnvifDiscoverer::makeCamera(const DiscoveredDevice &device)
{
    const QUrl address = device.xaddrs.value(0);
    Value camera = Value::dictionary();
    QString title = device.name.isEmpty() ? device.hardware : device.name;
    camera.insert(QStringLiteral("title"), title.isEmpty() ? address.host() : title);
    camera.insert(EndpointKey, device.endpoint);
    if (!device.hardware.isEmpty())
        camera.insert(HardwareKey, device.hardware);
    if (!device.location.isEmpty())
        camera.insert(LocationKey, device.location);
    Value video = Value::dictionary();
    video.insert(QStringLiteral("video.type"), OnvifVideoProfile::Type);
    video.insert(QStringLiteral("video.host"), address.host());
    video.insert(QStringLiteral("video.port"), QString::number(address.port(80)));
    camera.insert(QStringLiteral("video.parameters"), video);
    return camera;
}

void OnvifDiscoverer::addOrUpdate(const DiscoveredDevice &device)
{
    if (device.xaddrs.isEmpty())
        return;
    const auto at = std::find_if(m_devices.begin(), m_devices.end(),
                                 [&](const DiscoveredDevice &d) { return d.endpoint == device.endpoint; });
    if (at != m_devices.end()) {
        // The same addresses and names again: nothing to tell.
        if (at->xaddrs == device.xaddrs && at->name == device.name && at->location == device.location)
            return;
        const qsizetype index = at - m_devices.begin();
        m_devices[index] = device;
        m_definitions[index] = makeCamera(device);
        m_resolved.removeOne(device.endpoint);
    } else {
        if (m_devices.size() >= MaxDevices) {
            QEL_LOG_LIMITED(m_limiter, LogLevel::Debug,
                            QStringLiteral("WS-Discovery: more than %1 devices; the rest are left out").arg(MaxDevices),
                            m_clock.now());
            return;
        }
        m_devices.append(device);
        m_definitions.append(makeCamera(device));
    }
    QEL_LOG(LogLevel::Trace, QStringLiteral("WS-Discovery: %1 at %2").arg(device.endpoint, device.xaddrs.first().host()));
    if (m_options.resolveStreams && !m_resolveQueue.contains(device.endpoint))
        m_resolveQueue.append(device.endpoint);
    publish();
    resolveNext();
}

void OnvifDiscoverer::remove(const QString &endpoint)
{
    const auto at = std::find_if(m_devices.cbegin(), m_devices.cend(),
                                 [&](const DiscoveredDevice &d) { return d.endpoint == endpoint; });
    if (at == m_devices.cend())
        return;
    const qsizetype index = at - m_devices.cbegin();
    m_devices.removeAt(index);
    m_definitions.removeAt(index);
    m_resolveQueue.removeOne(endpoint);
    m_resolved.removeOne(endpoint);
    publish();
}

void OnvifDiscoverer::resolveNext()
{
    if (!m_resolving.isEmpty())
        return;
    while (!m_resolveQueue.isEmpty()) {
        const QString endpoint = m_resolveQueue.takeFirst();
        const auto at = std::find_if(m_devices.cbegin(), m_devices.cend(),
                                     [&](const DiscoveredDevice &d) { return d.endpoint == endpoint; });
        if (at == m_devices.cend() || m_resolved.contains(endpoint))
            continue;
        m_resolving = endpoint;
        m_resolved.append(endpoint);
        m_resolver->resolve(at->xaddrs.first(), QString(), QString());
        return;
    }
}

void OnvifDiscoverer::publish()
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    m_cameras = m_definitions;
    std::stable_sort(m_cameras.begin(), m_cameras.end(), [&](const Value &a, const Value &b) {
        return collator.compare(a.value(QStringLiteral("title")).toString(), b.value(QStringLiteral("title")).toString())
               < 0;
    });
    emit changed();
}
