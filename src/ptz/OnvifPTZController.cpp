#include "ptz/OnvifPTZController.h"

#include "config/Value.h"
#include "onvif/OnvifNamespaces.h"
#include "onvif/OnvifSoapClient.h"
#include "onvif/SoapCall.h"
#include "onvif/XsDuration.h"
#include "platform/Clock.h"
#include "util/QelLog.h"

#include <QXmlStreamWriter>

#include <algorithm>
#include <cmath>

namespace {

const QString VelocityGenericSpace = QStringLiteral("http://www.onvif.org/ver10/tptz/PanTiltSpaces/VelocityGenericSpace");

QString action(const QString &ns, const QString &operation)
{
    return ns + QLatin1Char('/') + operation;
}

// A PTZ request of text parameters, as most of them are.
SoapBodyWriter ptzRequest(const char *operation, const QList<std::pair<const char *, QString>> &parameters)
{
    return [=](QXmlStreamWriter &w) {
        w.writeStartElement(OnvifNs::PTZ, QString::fromLatin1(operation));
        for (const auto &[name, value] : parameters)
            w.writeTextElement(OnvifNs::PTZ, QString::fromLatin1(name), value);
        w.writeEndElement();
    };
}

QString number(float v)
{
    // No "-0" for a finger that did not move across.
    return QString::number(v == 0 ? 0.0 : static_cast<double>(v), 'g', 4);
}

// A range element's Min and Max, when both read as numbers with min <= 0 <= max.
std::optional<std::pair<float, float>> rangeOf(const XmlElement *range)
{
    if (!range)
        return std::nullopt;
    bool okMin = false;
    bool okMax = false;
    const float min = range->childText(OnvifNs::Schema, QStringLiteral("Min")).toFloat(&okMin);
    const float max = range->childText(OnvifNs::Schema, QStringLiteral("Max")).toFloat(&okMax);
    if (!okMin || !okMax || !std::isfinite(min) || !std::isfinite(max) || min > 0 || max < 0 || min == max)
        return std::nullopt;
    return std::pair(min, max);
}

// The space to steer in among those offered: the generic one when it is there.
const XmlElement *pickSpace(const XmlElement &spaces, const QString &name)
{
    const QList<const XmlElement *> offered = spaces.children(OnvifNs::Schema, name);
    for (const XmlElement *space : offered) {
        if (space->childText(OnvifNs::Schema, QStringLiteral("URI")).contains(QLatin1StringView("GenericSpace")))
            return space;
    }
    return offered.value(0);
}

} // namespace

OnvifPTZController::OnvifPTZController(Clock &clock, QObject *parent)
    : PTZControllerBase(clock, parent)
    , m_client(new OnvifSoapClient(clock, this))
    , m_lastSend(Clock::DistantPast)
{
}

OnvifPTZController::~OnvifPTZController() = default;

bool OnvifPTZController::initWithParameters(const Value &definition)
{
    const Value parms = controlParameters(definition, "ONVIF PTZ controller");
    if (parms.isNull())
        return false;
    const qint64 port = parms.hasText(QStringLiteral("control.port"))
        ? parms.value(QStringLiteral("control.port")).toInteger()
        : 80;
    m_deviceService.setScheme(QStringLiteral("http"));
    m_deviceService.setHost(parms.value(QStringLiteral("control.host")).toString());
    m_deviceService.setPort(static_cast<int>(std::clamp<qint64>(port, 1, 65535)));
    m_deviceService.setPath(QStringLiteral("/onvif/device_service"));
    if (!m_deviceService.isValid() || m_deviceService.host().isEmpty()) {
        QEL_LOG(LogLevel::Error, QStringLiteral("Failed to initialize ONVIF PTZ controller; bad host"));
        return false;
    }
    m_client->setCredentials(parms.value(QStringLiteral("control.username")).toString(),
                             parms.value(QStringLiteral("control.password")).toString());
    setupCall(m_deviceService, action(OnvifNs::Device, QStringLiteral("GetSystemDateAndTime")),
              [](QXmlStreamWriter &w) { w.writeEmptyElement(OnvifNs::Device, QStringLiteral("GetSystemDateAndTime")); },
              &OnvifPTZController::gotDateAndTime, true);
    return true;
}

void OnvifPTZController::setupCall(const QUrl &service, const QString &soapAction, const SoapBodyWriter &body,
                                   Next next, bool anonymous)
{
    m_setupCall = anonymous ? m_client->callAnonymously(service, soapAction, body)
                            : m_client->call(service, soapAction, body);
    connect(m_setupCall, &SoapCall::finished, this, [this, next](const SoapResult &result) { (this->*next)(result); });
}

void OnvifPTZController::setupFailed(const SoapResult &result, const char *step)
{
    // One line, and no retry: a wrong password or a camera without PTZ stays so.
    QEL_LOG(LogLevel::Error, QStringLiteral("ONVIF PTZ: %1 failed: %2")
                                 .arg(QLatin1StringView(step), result.reason.isEmpty() ? result.faultCode : result.reason));
}

void OnvifPTZController::gotDateAndTime(const SoapResult &result)
{
    // A device that will not tell its time may still accept ours.
    if (result.ok() && result.body) {
        if (const std::optional<qint64> offset = OnvifSoapClient::clockOffset(*result.body, QDateTime::currentDateTimeUtc()))
            m_client->setClockOffsetMs(*offset);
    }
    setupCall(m_deviceService, action(OnvifNs::Device, QStringLiteral("GetCapabilities")),
              [](QXmlStreamWriter &w) {
                  w.writeStartElement(OnvifNs::Device, QStringLiteral("GetCapabilities"));
                  w.writeTextElement(OnvifNs::Device, QStringLiteral("Category"), QStringLiteral("All"));
                  w.writeEndElement();
              },
              &OnvifPTZController::gotCapabilities);
}

QUrl OnvifPTZController::onUsersHost(const QString &address) const
{
    QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != QLatin1StringView("http") && url.scheme() != QLatin1StringView("https")))
        return {};
    // Devices behind address translation report their inner address.
    url.setHost(m_deviceService.host());
    url.setPort(m_deviceService.port());
    return url;
}

void OnvifPTZController::gotCapabilities(const SoapResult &result)
{
    if (!result.ok() || !result.body)
        return setupFailed(result, "GetCapabilities");
    const XmlElement *ptz = result.body->find(OnvifNs::Schema, QStringLiteral("PTZ"));
    const XmlElement *media = result.body->find(OnvifNs::Schema, QStringLiteral("Media"));
    m_ptzService = ptz ? onUsersHost(ptz->childText(OnvifNs::Schema, QStringLiteral("XAddr"))) : QUrl();
    m_mediaService = media ? onUsersHost(media->childText(OnvifNs::Schema, QStringLiteral("XAddr"))) : QUrl();
    if (m_ptzService.isEmpty() || m_mediaService.isEmpty()) {
        QEL_LOG(LogLevel::Debug, QStringLiteral("ONVIF PTZ: the device offers no PTZ service"));
        return;
    }
    setupCall(m_mediaService, action(OnvifNs::Media, QStringLiteral("GetProfiles")),
              [](QXmlStreamWriter &w) { w.writeEmptyElement(OnvifNs::Media, QStringLiteral("GetProfiles")); },
              &OnvifPTZController::gotProfiles);
}

void OnvifPTZController::gotProfiles(const SoapResult &result)
{
    if (!result.ok() || !result.body)
        return setupFailed(result, "GetProfiles");
    for (const XmlElement *profile : result.body->children(OnvifNs::Media, QStringLiteral("Profiles"))) {
        const XmlElement *configuration = profile->child(OnvifNs::Schema, QStringLiteral("PTZConfiguration"));
        if (!configuration || profile->attribute(QStringLiteral("token")).isEmpty())
            continue;
        m_profileToken = profile->attribute(QStringLiteral("token"));
        m_configurationToken = configuration->attribute(QStringLiteral("token"));
        m_nodeToken = configuration->childText(OnvifNs::Schema, QStringLiteral("NodeToken"));
        break;
    }
    if (m_profileToken.isEmpty()) {
        QEL_LOG(LogLevel::Debug, QStringLiteral("ONVIF PTZ: no media profile carries a PTZ configuration"));
        return;
    }
    setupCall(m_ptzService, action(OnvifNs::PTZ, QStringLiteral("GetConfigurationOptions")),
              ptzRequest("GetConfigurationOptions", { { "ConfigurationToken", m_configurationToken } }),
              &OnvifPTZController::gotOptions);
}

void OnvifPTZController::gotOptions(const SoapResult &result)
{
    if (!result.ok() || !result.body)
        return setupFailed(result, "GetConfigurationOptions");
    const XmlElement *spaces = result.body->find(OnvifNs::Schema, QStringLiteral("Spaces"));
    const XmlElement *panTilt = spaces ? pickSpace(*spaces, QStringLiteral("ContinuousPanTiltVelocitySpace")) : nullptr;
    const XmlElement *zoom = spaces ? pickSpace(*spaces, QStringLiteral("ContinuousZoomVelocitySpace")) : nullptr;
    const auto x = panTilt ? rangeOf(panTilt->child(OnvifNs::Schema, QStringLiteral("XRange"))) : std::nullopt;
    const auto y = panTilt ? rangeOf(panTilt->child(OnvifNs::Schema, QStringLiteral("YRange"))) : std::nullopt;
    const auto z = zoom ? rangeOf(zoom->child(OnvifNs::Schema, QStringLiteral("XRange"))) : std::nullopt;
    m_hasPanTilt = x && y;
    m_hasZoom = z.has_value();
    if (m_hasPanTilt) {
        m_pan = Range{ x->first, x->second };
        m_tilt = Range{ y->first, y->second };
    }
    if (m_hasZoom)
        m_zoom = Range{ z->first, z->second };
    if (!m_hasPanTilt && !m_hasZoom) {
        QEL_LOG(LogLevel::Debug, QStringLiteral("ONVIF PTZ: the device offers no continuous moves"));
        return;
    }
    if (const XmlElement *timeouts = result.body->find(OnvifNs::Schema, QStringLiteral("PTZTimeout"))) {
        const std::optional<int> min = XsDuration::toMs(timeouts->childText(OnvifNs::Schema, QStringLiteral("Min")));
        const std::optional<int> max = XsDuration::toMs(timeouts->childText(OnvifNs::Schema, QStringLiteral("Max")));
        if (min && max && *min <= *max)
            m_timeoutMs = std::clamp(MoveTimeoutMs, *min, *max);
    }
    setupCall(m_ptzService, action(OnvifNs::PTZ, QStringLiteral("GetNodes")),
              [](QXmlStreamWriter &w) { w.writeEmptyElement(OnvifNs::PTZ, QStringLiteral("GetNodes")); },
              &OnvifPTZController::gotNodes);
}

void OnvifPTZController::gotNodes(const SoapResult &result)
{
    // Without the node the camera still steers; presets stay off.
    if (result.ok() && result.body) {
        const QList<const XmlElement *> nodes = result.body->children(OnvifNs::PTZ, QStringLiteral("PTZNode"));
        for (const XmlElement *node : nodes) {
            if (node->attribute(QStringLiteral("token")) == m_nodeToken || nodes.size() == 1) {
                m_maxPresets = std::max(0, node->childText(OnvifNs::Schema, QStringLiteral("MaximumNumberOfPresets")).toInt());
                break;
            }
        }
    }
    m_ready = true;
    startTicking();
    if (supportsPresets())
        emit presetSupportChanged(true);
}

void OnvifPTZController::handleTimer()
{
    if (m_motionCall || now() - m_lastSend < TickMs)
        return;
    PTZMotion::Sample m;
    switch (m_motion.nextAction(&m)) {
    case PTZMotion::Action::None:
        if (m_motion.isHolding() && now() - m_lastSend >= m_timeoutMs / 2)
            sendMove(m_lastPan, m_lastTilt, m_lastZoom);
        return;
    case PTZMotion::Action::Stop:
        sendStop();
        return;
    case PTZMotion::Action::Move:
        break;
    }
    // Full speed at the finger speeds of the Axis controller: 1000 points per second
    // across, 700 up and down, 300 pinching.
    sendMove(PTZMotion::rate(-m.changeX, m.xyInterval, 1000), PTZMotion::rate(m.changeY, m.xyInterval, 700),
             PTZMotion::rate(m.changePinch, m.pinchInterval, 300));
}

void OnvifPTZController::motionCall(const QString &operation, const SoapBodyWriter &body,
                                    void (OnvifPTZController::*next)(const SoapResult &))
{
    m_lastSend = now();
    m_motionCall = m_client->call(m_ptzService, action(OnvifNs::PTZ, operation), body);
    connect(m_motionCall, &SoapCall::finished, this, [this, next, operation](const SoapResult &result) {
        if (next)
            (this->*next)(result);
        else if (!result.ok())
            QEL_LOG(LogLevel::Error, QStringLiteral("error on ONVIF %1: %2").arg(operation, result.reason));
    });
}

void OnvifPTZController::sendMove(float pan, float tilt, float zoom)
{
    m_lastPan = pan;
    m_lastTilt = tilt;
    m_lastZoom = zoom;
    const bool panTilt = m_hasPanTilt;
    const bool withZoom = m_hasZoom;
    const QString x = number(m_pan.scale(pan));
    const QString y = number(m_tilt.scale(tilt));
    const QString z = number(m_zoom.scale(zoom));
    motionCall(QStringLiteral("ContinuousMove"),
               [=, token = m_profileToken, timeout = XsDuration::fromMs(m_timeoutMs)](QXmlStreamWriter &w) {
                   w.writeStartElement(OnvifNs::PTZ, QStringLiteral("ContinuousMove"));
                   w.writeTextElement(OnvifNs::PTZ, QStringLiteral("ProfileToken"), token);
                   w.writeStartElement(OnvifNs::PTZ, QStringLiteral("Velocity"));
                   if (panTilt) {
                       w.writeEmptyElement(OnvifNs::Schema, QStringLiteral("PanTilt"));
                       w.writeAttribute(QStringLiteral("x"), x);
                       w.writeAttribute(QStringLiteral("y"), y);
                   }
                   if (withZoom) {
                       w.writeEmptyElement(OnvifNs::Schema, QStringLiteral("Zoom"));
                       w.writeAttribute(QStringLiteral("x"), z);
                   }
                   w.writeEndElement();
                   w.writeTextElement(OnvifNs::PTZ, QStringLiteral("Timeout"), timeout);
                   w.writeEndElement();
               },
               nullptr);
}

void OnvifPTZController::sendStop()
{
    m_lastPan = m_lastTilt = m_lastZoom = 0;
    const auto flag = [](bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); };
    motionCall(QStringLiteral("Stop"),
               ptzRequest("Stop", { { "ProfileToken", m_profileToken },
                                    { "PanTilt", flag(m_hasPanTilt) },
                                    { "Zoom", flag(m_hasZoom) } }),
               &OnvifPTZController::stopAnswered);
}

void OnvifPTZController::stopAnswered(const SoapResult &result)
{
    if (!result.ok()) {
        QEL_LOG(LogLevel::Debug, QStringLiteral("ONVIF PTZ: Stop refused (%1); stopping by a zero move").arg(result.faultCode));
        sendMove(0, 0, 0);
        return;
    }
    motionCall(QStringLiteral("GetStatus"), ptzRequest("GetStatus", { { "ProfileToken", m_profileToken } }),
               &OnvifPTZController::statusAnswered);
}

void OnvifPTZController::statusAnswered(const SoapResult &result)
{
    const XmlElement *moveStatus =
        result.ok() && result.body ? result.body->find(OnvifNs::Schema, QStringLiteral("MoveStatus")) : nullptr;
    if (!moveStatus)
        return;
    for (const XmlElement &axis : moveStatus->children()) {
        if (axis.text() == QLatin1StringView("MOVING")) {
            QEL_LOG(LogLevel::Debug, QStringLiteral("ONVIF PTZ: still moving after Stop; stopping by a zero move"));
            sendMove(0, 0, 0);
            return;
        }
    }
}

void OnvifPTZController::presetCall(const QString &operation, const SoapBodyWriter &body,
                                    const std::function<void(const SoapResult &)> &done)
{
    if (!supportsPresets()) {
        emit presetFailed(tr("This camera keeps no presets."));
        return;
    }
    SoapCall *call = m_client->call(m_ptzService, action(OnvifNs::PTZ, operation), body);
    connect(call, &SoapCall::finished, this, [this, done, operation](const SoapResult &result) {
        if (result.ok() && result.body) {
            done(result);
            return;
        }
        QEL_LOG(LogLevel::Error, QStringLiteral("error on ONVIF %1: %2").arg(operation, result.reason));
        emit presetFailed(result.status == SoapResult::Status::NotAuthorized
                              ? tr("The camera refused the user name or password.")
                              : result.reason.isEmpty() ? tr("The camera did not answer.") : result.reason);
    });
}

void OnvifPTZController::listPresets()
{
    presetCall(QStringLiteral("GetPresets"), ptzRequest("GetPresets", { { "ProfileToken", m_profileToken } }),
               [this](const SoapResult &result) {
                   QList<PTZPreset> presets;
                   for (const XmlElement *preset : result.body->children(OnvifNs::PTZ, QStringLiteral("Preset"))) {
                       const QString token = preset->attribute(QStringLiteral("token"));
                       if (token.isEmpty())
                           continue;
                       const QString name = preset->childText(OnvifNs::Schema, QStringLiteral("Name"));
                       presets.append(PTZPreset{ token, name.isEmpty() ? token : name });
                   }
                   emit presetsListed(presets);
               });
}

void OnvifPTZController::gotoPreset(const QString &presetToken)
{
    presetCall(QStringLiteral("GotoPreset"),
               ptzRequest("GotoPreset", { { "ProfileToken", m_profileToken }, { "PresetToken", presetToken } }),
               [](const SoapResult &) {});
}

void OnvifPTZController::savePreset(const QString &name)
{
    presetCall(QStringLiteral("SetPreset"),
               ptzRequest("SetPreset", { { "ProfileToken", m_profileToken }, { "PresetName", name } }),
               [this, name](const SoapResult &) { emit presetSaved(name); });
}

void OnvifPTZController::disconnect()
{
    stopTicking();
    m_ready = false;
    m_client->abortAll();
}
