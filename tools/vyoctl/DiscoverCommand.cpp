// vyoctl discover: the cameras the network announces, seen the way the viewer sees them.

#include "vyoctl/Command.h"

#include "config/PropertyList.h"
#include "discovery/BonjourDelegate.h"
#include "discovery/BonjourHandler.h"
#include "discovery/OnvifDiscoverer.h"
#include "platform/AvahiBrowser.h"
#include "platform/Clock.h"

#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

namespace vyoctl {

namespace {

class Quiet final : public BonjourDelegate
{
public:
    void bonjourListChanged() override {}
};

QString field(const Value &camera, const char *section, const char *key)
{
    const QString text = camera.value(QString::fromLatin1(section)).value(QString::fromLatin1(key)).toString();
    return text.isEmpty() ? QStringLiteral("-") : text;
}

// "host:port" as a probe target; nothing when it is not one.
std::optional<std::pair<QHostAddress, quint16>> probeTarget(const QString &text)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    bool ok = false;
    const uint port = text.mid(colon + 1).toUInt(&ok);
    const QHostAddress address(text.left(colon));
    if (colon <= 0 || !ok || port == 0 || port > 65535 || address.isNull())
        return std::nullopt;
    return std::make_pair(address, static_cast<quint16>(port));
}

} // namespace

int runDiscover(const QStringList &arguments)
{
    QCommandLineParser parser;
    addCommonOptions(parser, QStringLiteral("Lists the cameras announced by DNS-SD (\"_qelcam._tcp\"), or with "
                                            "--onvif the ONVIF cameras that answer a WS-Discovery probe."));
    parser.addPositionalArgument(QStringLiteral("discover"), QStringLiteral("the command"));
    parser.addOption({ QStringLiteral("timeout"), QStringLiteral("Listen for <seconds> (default 3)."),
                       QStringLiteral("seconds"), QStringLiteral("3") });
    parser.addOption({ QStringLiteral("plist"), QStringLiteral("Print the definitions as an XML property list.") });
    parser.addOption({ QStringLiteral("onvif"), QStringLiteral("Probe for ONVIF cameras with WS-Discovery instead.") });
    parser.addOption({ QStringLiteral("interface"),
                       QStringLiteral("With --onvif: probe on this network interface only (repeatable)."),
                       QStringLiteral("name") });
    parser.addOption({ QStringLiteral("probe-address"),
                       QStringLiteral("With --onvif: send the probe to <address:port> by unicast, not multicast."),
                       QStringLiteral("address:port") });
    int code = Ok;
    if (!parseCommon(parser, arguments, &code))
        return code;
    bool ok = false;
    const double seconds = parser.value(QStringLiteral("timeout")).toDouble(&ok);
    if (!ok || seconds <= 0 || seconds > 3600)
        return fail(BadInput, QStringLiteral("--timeout takes a number of seconds up to 3600"));

    const bool onvif = parser.isSet(QStringLiteral("onvif"));
    OnvifDiscoverer::Options options;
    options.interfaces = parser.values(QStringLiteral("interface"));
    options.resolveStreams = false;
    // Announcements are not waited for: whoever else holds the port hears them.
    options.announcementPort = 0;
    for (const QString &text : parser.values(QStringLiteral("probe-address"))) {
        const std::optional<std::pair<QHostAddress, quint16>> target = probeTarget(text);
        if (!target)
            return fail(BadInput, QStringLiteral("--probe-address takes an IPv4 address and a port, as 127.0.0.1:3702"));
        options.unicastTargets.append(*target);
        options.multicast = false;
    }
    if (!onvif && (parser.isSet(QStringLiteral("interface")) || parser.isSet(QStringLiteral("probe-address"))))
        return fail(BadInput, QStringLiteral("--interface and --probe-address go with --onvif"));

    Quiet quiet;
    std::unique_ptr<BonjourHandler> handler;
    std::unique_ptr<OnvifDiscoverer> discoverer;
    if (onvif) {
        discoverer = std::make_unique<OnvifDiscoverer>(options, Clock::system());
        if (!discoverer->start())
            return fail(Failure, QStringLiteral("WS-Discovery is not available"));
    } else {
        handler = BonjourHandler::create(&quiet, std::make_unique<AvahiBrowser>());
        if (!handler)
            return fail(Failure, QStringLiteral("DNS-SD browsing is not available"));
    }
    QTimer::singleShot(static_cast<int>(seconds * 1000), QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();

    const QList<Value> cameras = onvif ? discoverer->detectedCameras() : handler->detectedCameras();
    if (parser.isSet(QStringLiteral("plist"))) {
        Value list = Value::array();
        for (const Value &camera : cameras) {
            // The live service handle stays behind: it has no written form.
            Value copy = camera.deepCopy();
            copy.remove(QStringLiteral("service"));
            list.append(copy);
        }
        QString error;
        const QByteArray xml = PropertyList::toXml(list, &error);
        std::fwrite(xml.constData(), 1, static_cast<size_t>(xml.size()), stdout);
        return Ok;
    }
    QTextStream out(stdout);
    if (cameras.isEmpty())
        out << "no cameras found\n";
    if (onvif) {
        const auto top = [](const Value &camera, const QString &key) {
            const QString text = camera.value(key).toString();
            return text.isEmpty() ? QStringLiteral("-") : text;
        };
        for (const Value &camera : cameras) {
            out << camera.value(QStringLiteral("title")).toString() << '\t'
                << field(camera, "video.parameters", "video.host") << '\t'
                << field(camera, "video.parameters", "video.port") << '\t'
                << top(camera, OnvifDiscoverer::HardwareKey) << '\t' << top(camera, OnvifDiscoverer::LocationKey)
                << '\t' << top(camera, OnvifDiscoverer::EndpointKey) << '\n';
        }
        return Ok;
    }
    for (const Value &camera : cameras) {
        out << camera.value(QStringLiteral("title")).toString() << '\t' << field(camera, "video.parameters", "video.type")
            << '\t' << field(camera, "video.parameters", "video.host") << '\t'
            << field(camera, "video.parameters", "video.port") << '\t'
            << field(camera, "control.parameters", "control.protocol") << '\n';
    }
    return Ok;
}

} // namespace vyoctl
