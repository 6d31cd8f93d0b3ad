#include "onvif/OnvifResolver.h"

#include "onvif/OnvifNamespaces.h"
#include "onvif/OnvifSoapClient.h"
#include "onvif/SoapCall.h"
#include "util/QelLog.h"

#include <QXmlStreamWriter>

namespace {

QString deviceAction(const char *operation)
{
    return OnvifNs::Device + QLatin1Char('/') + QLatin1String(operation);
}

// One operation with one text parameter, both in the service's namespace.
SoapBodyWriter withParameter(const QString &space, const QString &operation, const QString &parameter,
                             const QString &value)
{
    return [=](QXmlStreamWriter &w) {
        w.writeStartElement(space, operation);
        w.writeTextElement(space, parameter, value);
        w.writeEndElement();
    };
}

int number(const XmlElement *parent, const QString &name)
{
    return parent ? parent->childText(OnvifNs::Schema, name).toInt() : 0;
}

// The encoder settings of a Media or Media2 profile.
void readEncoder(const XmlElement *encoder, OnvifMediaProfile &profile)
{
    if (!encoder)
        return;
    profile.encoding = encoder->childText(OnvifNs::Schema, QStringLiteral("Encoding")).toUpper();
    if (profile.encoding == QLatin1String("HEVC"))
        profile.encoding = QStringLiteral("H265");
    const XmlElement *resolution = encoder->child(OnvifNs::Schema, QStringLiteral("Resolution"));
    profile.width = number(resolution, QStringLiteral("Width"));
    profile.height = number(resolution, QStringLiteral("Height"));
}

} // namespace

OnvifResolver::OnvifResolver(Clock &clock, QObject *parent)
    : QObject(parent)
    , m_client(new OnvifSoapClient(clock, this))
{
}

OnvifResolver::~OnvifResolver() = default;

QUrl OnvifResolver::deviceServiceUrl(const QString &host, int port)
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(host.trimmed(), QUrl::StrictMode);
    if (port > 0 && port != 80)
        url.setPort(port);
    url.setPath(QStringLiteral("/onvif/device_service"));
    return url.isValid() && !url.host().isEmpty() ? url : QUrl();
}

void OnvifResolver::resolve(const QUrl &deviceService, const QString &user, const QString &password,
                            const QString &preferredMain, const QString &preferredGrid)
{
    cancel();
    m_info = {};
    m_info.deviceService = deviceService;
    m_preferredMain = preferredMain;
    m_preferredGrid = preferredGrid;
    m_client->setCredentials(user, password);
    m_client->setClockOffsetMs(0);
    send(deviceService, deviceAction("GetSystemDateAndTime"),
         [](QXmlStreamWriter &w) { w.writeEmptyElement(OnvifNs::Device, QStringLiteral("GetSystemDateAndTime")); },
         &OnvifResolver::gotDateAndTime, true);
}

void OnvifResolver::cancel()
{
    m_client->abortAll();
}

void OnvifResolver::send(const QUrl &service, const QString &action, const SoapBodyWriter &body, Next next,
                         bool anonymous)
{
    m_call = anonymous ? m_client->callAnonymously(service, action, body) : m_client->call(service, action, body);
    connect(m_call, &SoapCall::finished, this, [this, next](const SoapResult &result) { (this->*next)(result); });
}

void OnvifResolver::fail(const SoapResult &result, const QString &step)
{
    QEL_LOG(LogLevel::Trace, QStringLiteral("ONVIF device %1: %2 failed: %3")
                                 .arg(m_info.deviceService.host(), step, result.reason));
    emit failed(result.status, result.reason);
}

QUrl OnvifResolver::onDevicesHost(const QString &address) const
{
    // XAddrs may list several addresses separated by spaces; the first will do.
    QUrl url(address.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty), QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")))
        return {};
    // A device behind address translation names its inner address: the services are
    // where the user reached the device, and nowhere else.
    if (url.host() != m_info.deviceService.host()) {
        url.setHost(m_info.deviceService.host());
        url.setPort(m_info.deviceService.port());
    }
    return url;
}

void OnvifResolver::gotDateAndTime(const SoapResult &result)
{
    // Only a device that cannot be reached stops here: without its time the tokens
    // go with ours, which is right for most.
    if (result.status == SoapResult::Status::TimedOut || result.status == SoapResult::Status::NetworkError) {
        fail(result, QStringLiteral("GetSystemDateAndTime"));
        return;
    }
    if (result.ok()) {
        if (const std::optional<qint64> offset = OnvifSoapClient::clockOffset(*result.body, QDateTime::currentDateTimeUtc()))
            m_info.clockOffsetMs = *offset;
    }
    m_client->setClockOffsetMs(m_info.clockOffsetMs);
    send(m_info.deviceService, deviceAction("GetServices"),
         withParameter(OnvifNs::Device, QStringLiteral("GetServices"), QStringLiteral("IncludeCapability"),
                       QStringLiteral("false")),
         &OnvifResolver::gotServices);
}

void OnvifResolver::gotServices(const SoapResult &result)
{
    if (result.status == SoapResult::Status::Fault) {
        // Devices from before GetServices answer GetCapabilities.
        send(m_info.deviceService, deviceAction("GetCapabilities"),
             withParameter(OnvifNs::Device, QStringLiteral("GetCapabilities"), QStringLiteral("Category"),
                           QStringLiteral("All")),
             &OnvifResolver::gotCapabilities);
        return;
    }
    if (!result.ok()) {
        fail(result, QStringLiteral("GetServices"));
        return;
    }
    for (const XmlElement *service : result.body->children(OnvifNs::Device, QStringLiteral("Service"))) {
        const QString space = service->childText(OnvifNs::Device, QStringLiteral("Namespace"));
        const QUrl address = onDevicesHost(service->childText(OnvifNs::Device, QStringLiteral("XAddr")));
        if (space == OnvifNs::Media)
            m_info.mediaService = address;
        else if (space == OnvifNs::Media2)
            m_info.media2Service = address;
        else if (space == OnvifNs::PTZ)
            m_info.ptzService = address;
    }
    askProfiles();
}

void OnvifResolver::gotCapabilities(const SoapResult &result)
{
    if (!result.ok()) {
        fail(result, QStringLiteral("GetCapabilities"));
        return;
    }
    auto address = [&](const char *category) {
        const XmlElement *element = result.body->find(OnvifNs::Schema, QLatin1String(category));
        return element ? onDevicesHost(element->childText(OnvifNs::Schema, QStringLiteral("XAddr"))) : QUrl();
    };
    m_info.mediaService = address("Media");
    m_info.ptzService = address("PTZ");
    askProfiles();
}

void OnvifResolver::askProfiles()
{
    if (m_info.usesMedia2()) {
        send(m_info.media2Service, OnvifNs::Media2 + QStringLiteral("/GetProfiles"),
             withParameter(OnvifNs::Media2, QStringLiteral("GetProfiles"), QStringLiteral("Type"),
                           QStringLiteral("VideoEncoder")),
             &OnvifResolver::gotProfiles);
        return;
    }
    if (m_info.mediaService.isEmpty()) {
        SoapResult none;
        none.status = SoapResult::Status::Fault;
        none.reason = QStringLiteral("the device offers no media service");
        fail(none, QStringLiteral("GetServices"));
        return;
    }
    send(m_info.mediaService, OnvifNs::Media + QStringLiteral("/GetProfiles"),
         [](QXmlStreamWriter &w) { w.writeEmptyElement(OnvifNs::Media, QStringLiteral("GetProfiles")); },
         &OnvifResolver::gotProfiles);
}

void OnvifResolver::gotProfiles(const SoapResult &result)
{
    if (!result.ok()) {
        fail(result, QStringLiteral("GetProfiles"));
        return;
    }
    const QString &space = m_info.usesMedia2() ? OnvifNs::Media2 : OnvifNs::Media;
    for (const XmlElement *element : result.body->children(space, QStringLiteral("Profiles"))) {
        OnvifMediaProfile profile;
        profile.token = element->attribute(QStringLiteral("token"));
        if (profile.token.isEmpty())
            continue;
        if (m_info.usesMedia2()) {
            profile.name = element->childText(OnvifNs::Media2, QStringLiteral("Name"));
            const XmlElement *configurations = element->child(OnvifNs::Media2, QStringLiteral("Configurations"));
            readEncoder(configurations ? configurations->child(OnvifNs::Media2, QStringLiteral("VideoEncoder")) : nullptr,
                        profile);
        } else {
            profile.name = element->childText(OnvifNs::Schema, QStringLiteral("Name"));
            readEncoder(element->child(OnvifNs::Schema, QStringLiteral("VideoEncoderConfiguration")), profile);
        }
        // Audio-only and metadata profiles have no encoder: nothing to play.
        if (!profile.encoding.isEmpty())
            m_info.profiles.append(profile);
    }
    m_info.chooseStreams(m_preferredMain, m_preferredGrid);
    if (m_info.mainIndex < 0) {
        SoapResult none;
        none.status = SoapResult::Status::Fault;
        none.reason = QStringLiteral("the device has no video profile");
        fail(none, QStringLiteral("GetProfiles"));
        return;
    }
    askStreamUri(m_info.mainIndex);
}

void OnvifResolver::askStreamUri(int index)
{
    const QString token = m_info.profiles.at(index).token;
    const Next next = index == m_info.mainIndex && m_info.mainUri.isEmpty() ? &OnvifResolver::gotMainUri
                                                                            : &OnvifResolver::gotGridUri;
    if (m_info.usesMedia2()) {
        send(m_info.media2Service, OnvifNs::Media2 + QStringLiteral("/GetStreamUri"),
             [token](QXmlStreamWriter &w) {
                 w.writeStartElement(OnvifNs::Media2, QStringLiteral("GetStreamUri"));
                 w.writeTextElement(OnvifNs::Media2, QStringLiteral("Protocol"), QStringLiteral("RTSP"));
                 w.writeTextElement(OnvifNs::Media2, QStringLiteral("ProfileToken"), token);
                 w.writeEndElement();
             },
             next);
        return;
    }
    send(m_info.mediaService, OnvifNs::Media + QStringLiteral("/GetStreamUri"),
         [token](QXmlStreamWriter &w) {
             w.writeStartElement(OnvifNs::Media, QStringLiteral("GetStreamUri"));
             w.writeStartElement(OnvifNs::Media, QStringLiteral("StreamSetup"));
             w.writeTextElement(OnvifNs::Schema, QStringLiteral("Stream"), QStringLiteral("RTP-Unicast"));
             w.writeStartElement(OnvifNs::Schema, QStringLiteral("Transport"));
             w.writeTextElement(OnvifNs::Schema, QStringLiteral("Protocol"), QStringLiteral("RTSP"));
             w.writeEndElement();
             w.writeEndElement();
             w.writeTextElement(OnvifNs::Media, QStringLiteral("ProfileToken"), token);
             w.writeEndElement();
         },
         next);
}

namespace {

// The address in a GetStreamUri or GetSnapshotUri reply of either media service.
QString uriOf(const SoapResult &result)
{
    if (const XmlElement *uri = result.body->child(OnvifNs::Media2, QStringLiteral("Uri")))
        return uri->text();
    const XmlElement *media = result.body->child(OnvifNs::Media, QStringLiteral("MediaUri"));
    return media ? media->childText(OnvifNs::Schema, QStringLiteral("Uri")) : QString();
}

} // namespace

void OnvifResolver::gotMainUri(const SoapResult &result)
{
    if (!result.ok()) {
        fail(result, QStringLiteral("GetStreamUri"));
        return;
    }
    m_info.mainUri = uriOf(result);
    if (m_info.mainUri.isEmpty()) {
        SoapResult empty = result;
        empty.status = SoapResult::Status::Malformed;
        empty.reason = QStringLiteral("GetStreamUri gave no address");
        fail(empty, QStringLiteral("GetStreamUri"));
        return;
    }
    if (m_info.gridIndex == m_info.mainIndex) {
        m_info.gridUri = m_info.mainUri;
        askSnapshotUri();
        return;
    }
    askStreamUri(m_info.gridIndex);
}

void OnvifResolver::gotGridUri(const SoapResult &result)
{
    // Without its own grid stream the grid plays the main one.
    m_info.gridUri = result.ok() && !uriOf(result).isEmpty() ? uriOf(result) : m_info.mainUri;
    askSnapshotUri();
}

void OnvifResolver::askSnapshotUri()
{
    const QString token = m_info.mainProfile()->token;
    const QUrl service = m_info.usesMedia2() ? m_info.media2Service : m_info.mediaService;
    const QString &space = m_info.usesMedia2() ? OnvifNs::Media2 : OnvifNs::Media;
    send(service, space + QStringLiteral("/GetSnapshotUri"),
         withParameter(space, QStringLiteral("GetSnapshotUri"), QStringLiteral("ProfileToken"), token),
         &OnvifResolver::gotSnapshotUri);
}

void OnvifResolver::gotSnapshotUri(const SoapResult &result)
{
    // Snapshots are optional: a device without them still plays.
    if (result.ok())
        m_info.snapshotUri = uriOf(result);
    emit resolved(m_info);
}
