#include "video/OnvifStreamReader.h"

#include "video/OnvifVideoProfile.h"
#include "video/RTSPStreamReader.h"

#include "config/LogMask.h"
#include "onvif/OnvifResolver.h"
#include "platform/Clock.h"
#include "util/QelLog.h"

OnvifStreamReader::OnvifStreamReader(const Value &params, bool thumbnail, Clock &clock, QObject *parent)
    : FrameProducer(parent)
    , m_clock(clock)
    , m_params(params.deepCopy())
    , m_thumbnail(thumbnail)
    , m_rtsp(new RTSPStreamReader(clock, this))
    , m_resolver(new OnvifResolver(clock, this))
    , m_retry(clock.createTimer(this))
    , m_lastResolve(Clock::DistantPast)
{
    m_rtsp->setConnectionParameters(m_params, OnvifVideoProfile::streamURL(m_params, thumbnail));
    connect(m_rtsp, &FrameProducer::stateChanged, this, &OnvifStreamReader::innerStateChanged);
    connect(m_rtsp, &FrameProducer::streamFailed, this, &FrameProducer::streamFailed);
    connect(m_rtsp, &RTSPStreamReader::decoding, this, &OnvifStreamReader::decoding);
    connect(m_retry, &ClockTimer::timeout, this, &OnvifStreamReader::resolveAgain);
    connect(m_resolver, &OnvifResolver::resolved, this, [this](const OnvifDeviceInfo &info) {
        const QString uri = m_thumbnail ? info.gridUri : info.mainUri;
        const QUrl url = OnvifVideoProfile::withCredentials(m_params, uri);
        if (url.isEmpty()) {
            setState(CameraState::NotVideo, QStringLiteral("ONVIF camera %1: unusable stream address")
                                                .arg(m_params.value(QStringLiteral("video.host")).toString()));
            return;
        }
        if (url != streamURL())
            play(url);
        else
            resume();
    });
    connect(m_resolver, &OnvifResolver::failed, this, [this](SoapResult::Status status, const QString &reason) {
        const QString line = QStringLiteral("ONVIF camera %1: %2")
                                 .arg(m_params.value(QStringLiteral("video.host")).toString(), LogMask::text(reason));
        QEL_LOG_LIMITED(m_limiter, LogLevel::Debug, line, m_clock.now());
        const bool refused = status == SoapResult::Status::NotAuthorized;
        setState(refused ? CameraState::Unauthorized : CameraState::Unreachable, line);
        // Without an address there is nothing to retry but the asking; a refused
        // password stays refused until the user changes it.
        if (!refused && streamURL().isEmpty() && m_wanted == Wanted::Playing)
            m_retry->start(ResolveSpacingMs, false);
    });
}

OnvifStreamReader::~OnvifStreamReader() = default;

void OnvifStreamReader::setConnectionParameters(const Value &params, const QUrl &)
{
    m_params = params.deepCopy();
    m_lastResolve = Clock::DistantPast;
    m_rtsp->setConnectionParameters(m_params, OnvifVideoProfile::streamURL(m_params, m_thumbnail));
}

Value OnvifStreamReader::getConnectionParameters() const
{
    return m_params;
}

void OnvifStreamReader::addConsumer(const std::shared_ptr<FrameConsumer> &consumer)
{
    m_rtsp->addConsumer(consumer);
}

void OnvifStreamReader::removeConsumer(const std::shared_ptr<FrameConsumer> &consumer)
{
    m_rtsp->removeConsumer(consumer);
}

QUrl OnvifStreamReader::streamURL() const
{
    return OnvifVideoProfile::streamURL(m_rtsp->getConnectionParameters(), m_thumbnail);
}

void OnvifStreamReader::start()
{
    m_wanted = Wanted::Playing;
    if (streamURL().isEmpty()) {
        setState(CameraState::Connecting);
        resolveAgain();
        return;
    }
    m_rtsp->start();
}

void OnvifStreamReader::getSingleFrame(double delaySeconds)
{
    m_wanted = Wanted::SingleFrame;
    m_singleFrameDelay = delaySeconds;
    if (streamURL().isEmpty()) {
        setState(CameraState::Connecting);
        resolveAgain();
        return;
    }
    m_rtsp->getSingleFrame(delaySeconds);
}

void OnvifStreamReader::stop()
{
    m_wanted = Wanted::Nothing;
    m_retry->stop();
    m_resolver->cancel();
    m_rtsp->stop();
    setState(CameraState::Idle);
}

QByteArray OnvifStreamReader::newestPart() const
{
    return m_rtsp->newestPart();
}

QString OnvifStreamReader::requestDescription() const
{
    if (streamURL().isEmpty())
        return QStringLiteral("ONVIF %1 (stream address not known yet)")
            .arg(LogMask::url(OnvifVideoProfile::deviceService(m_params)));
    return m_rtsp->requestDescription();
}

void OnvifStreamReader::innerStateChanged(CameraState state, const QString &reason)
{
    setState(state, reason);
    const bool mayBeStale =
        state == CameraState::NotFound || state == CameraState::Unreachable || state == CameraState::NotVideo;
    if (mayBeStale && m_wanted != Wanted::Nothing && m_clock.now() - m_lastResolve >= ResolveSpacingMs)
        resolveAgain();
}

void OnvifStreamReader::resolveAgain()
{
    const QUrl device = OnvifVideoProfile::deviceService(m_params);
    if (device.isEmpty() || m_wanted == Wanted::Nothing)
        return;
    m_lastResolve = m_clock.now();
    m_resolver->resolve(device, m_params.value(QStringLiteral("video.username")).toString(),
                        m_params.value(QStringLiteral("video.password")).toString(),
                        m_params.value(OnvifVideoProfile::MainProfileKey).toString(),
                        m_params.value(OnvifVideoProfile::GridProfileKey).toString());
}

void OnvifStreamReader::play(const QUrl &url)
{
    QEL_LOG(LogLevel::Debug, QStringLiteral("ONVIF camera %1: playing %2")
                                 .arg(m_params.value(QStringLiteral("video.host")).toString(), LogMask::url(url)));
    m_rtsp->stop();
    Value current = m_params.deepCopy();
    current.insert(m_thumbnail ? OnvifVideoProfile::GridUriKey : OnvifVideoProfile::MainUriKey,
                   url.adjusted(QUrl::RemoveUserInfo).toString());
    m_rtsp->setConnectionParameters(current, url);
    resume();
}

void OnvifStreamReader::resume()
{
    if (m_wanted == Wanted::Playing)
        m_rtsp->start();
    else if (m_wanted == Wanted::SingleFrame)
        m_rtsp->getSingleFrame(m_singleFrameDelay);
}
