#include "video/RTSPStreamReader.h"

#include "config/LogMask.h"
#include "util/QelLog.h"

#include <QThread>

namespace {

QThread *startedThread()
{
    auto *thread = new QThread;
    thread->setObjectName(QStringLiteral("rtsp"));
    thread->start();
    return thread;
}

} // namespace

RTSPStreamReader::RTSPStreamReader(Clock &clock, QObject *parent)
    : StreamReader(startedThread(), clock, new RTSPStreamSession(clock), parent)
{
    // The thread is ours; it is deleted with us, after the session it ran.
    session()->thread()->setParent(this);
    RTSPStreamSession *s = rtspSession();
    // The state itself is set by StreamReader; the line waits for the spacing.
    connect(s, &StreamSession::failed, this, [this](quint64 generation, CameraState state, const QString &reason) {
        if (generation != m_connection)
            return;
        m_ended = generation;
        m_endState = state;
        m_endReason = reason;
    });
    // Connected after StreamReader's own handler, so that the spacing is known.
    connect(s, &StreamSession::reconnectRequested, this, [this](quint64 generation) {
        if (generation != m_ended || m_endState == CameraState::Idle)
            return;
        // StreamReader may have connected again already.
        const qint64 waitMs =
            m_connection == generation ? std::max<qint64>(nextConnectDue() - this->clock().now(), 0) : 0;
        QEL_LOG(LogLevel::Debug, QStringLiteral("RTSP camera %1: %2; reconnecting in %3 s")
                                     .arg(LogMask::url(videoURL()), m_endReason)
                                     .arg(double(waitMs) / 1000.0, 0, 'f', 1));
        m_endState = CameraState::Idle;
    });
    connect(s, &RTSPStreamSession::decoding, this, [this](quint64 generation, const QString &codec, QSize size, bool hardware) {
        if (generation == m_connection)
            emit decoding(codec, size, hardware);
    });
}

RTSPStreamReader::~RTSPStreamReader()
{
    rtspSession()->wanted = 0;
    QThread *thread = session()->thread();
    thread->quit();
    thread->wait();
}

RTSPStreamSession *RTSPStreamReader::rtspSession() const
{
    return static_cast<RTSPStreamSession *>(session());
}

RTSPStreamSession::Transport RTSPStreamReader::transport(const Value &params)
{
    const QString text = params.value(QStringLiteral("video.transport")).toString();
    if (text.compare(QLatin1StringView("TCP"), Qt::CaseInsensitive) == 0)
        return RTSPStreamSession::Transport::TCP;
    if (text.compare(QLatin1StringView("UDP"), Qt::CaseInsensitive) == 0)
        return RTSPStreamSession::Transport::UDP;
    return RTSPStreamSession::Transport::Automatic;
}

void RTSPStreamReader::beginConnecting()
{
    if (state() == CameraState::Idle || state() == CameraState::Playing)
        setState(CameraState::Connecting);
}

void RTSPStreamReader::start()
{
    beginConnecting();
    StreamReader::start();
}

void RTSPStreamReader::getSingleFrame(double delaySeconds)
{
    beginConnecting();
    StreamReader::getSingleFrame(delaySeconds);
}

void RTSPStreamReader::stop()
{
    // Whatever the session is blocked in ends now.
    rtspSession()->wanted = 0;
    m_connection = 0;
    StreamReader::stop();
}

QByteArray RTSPStreamReader::newestPart() const
{
    return rtspSession()->newestPicture();
}

QString RTSPStreamReader::requestDescription() const
{
    if (videoURL().isEmpty())
        return QStringLiteral("no valid stream URL");
    static const char *const names[] = { "automatic transport", "TCP", "UDP" };
    return QStringLiteral("RTSP %1 (%2)")
        .arg(LogMask::url(videoURL()), QLatin1StringView(names[int(transport(params()))]));
}

void RTSPStreamReader::connectNow()
{
    // A reader without a URL stays idle.
    if (videoURL().isEmpty())
        return;
    QEL_LOG(LogLevel::Debug, QStringLiteral("Connecting to RTSP stream: %1").arg(requestDescription()));
    m_connection = beginConnection();
    rtspSession()->wanted = m_connection;
    onWorker([generation = m_connection, p = params(), url = videoURL().toEncoded(), t = transport(params())](
                 StreamSession *s) { static_cast<RTSPStreamSession *>(s)->startInternal(generation, p, url, t); });
}
