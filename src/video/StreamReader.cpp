#include "video/StreamReader.h"

#include "video/StreamSession.h"

#include "config/LogMask.h"
#include "platform/Clock.h"
#include "util/QelLog.h"

#include <QThread>

#include <algorithm>

StreamReader::StreamReader(QThread *thread, Clock &clock, StreamSession *session, QObject *parent)
    : FrameProducer(parent)
    , m_clock(clock)
    , m_session(session)
    , m_delayedStart(clock.createTimer(this))
    , m_lastConnect(Clock::DistantPast)
    , m_retryAt(Clock::DistantPast)
{
    m_session->moveToThread(thread);
    connect(m_delayedStart, &ClockTimer::timeout, this, &StreamReader::startIntermediate);
    connect(m_session, &StreamSession::reconnectRequested, this, [this](quint64 generation) {
        if (!isCurrent(generation))
            return;
        if (!m_sawPicture) {
            const int doublings = std::min(m_failures++, 4);
            const qint64 limit = state() == CameraState::Unreachable ? UnreachableBackOffMs : MaxBackOffMs;
            m_retryAt = m_clock.now() + std::min(ReconnectSpacingMs << doublings, limit);
        }
        startIntermediate();
    });
    connect(m_session, &StreamSession::playing, this, [this](quint64 generation) {
        if (!isCurrent(generation))
            return;
        m_sawPicture = true;
        m_failures = 0;
        setState(CameraState::Playing);
        m_retryAt = Clock::DistantPast;
        // A picture decoded after its connection ended still counts: the reconnect
        // already waiting for it moves to the usual spacing.
        if (m_delayedStart->isActive() && !m_session->singleFrame)
            startIntermediate();
    });
    connect(m_session, &StreamSession::restartRequested, this, [this](quint64 generation) {
        if (isCurrent(generation))
            start();
    });
    connect(m_session, &StreamSession::stopRequested, this, [this](quint64 generation) {
        if (isCurrent(generation))
            stop();
    });
    connect(m_session, &StreamSession::certificatePresented, this, [this](quint64 generation, const QString &fingerprint) {
        if (isCurrent(generation))
            setPresentedCertificate(fingerprint);
    });
    connect(m_session, &StreamSession::failed, this,
            [this](quint64 generation, CameraState state, const QString &reason) {
                if (isCurrent(generation))
                    setState(state, reason);
                emit streamFailed(reason);
            });
}

StreamReader::~StreamReader()
{
    stop();
    // The session goes on its own thread, after every call already queued to it; when
    // that thread has already ended, nothing runs it any more and it can go at once.
    if (const QThread *home = m_session->thread(); home && home->isRunning())
        m_session->deleteLater();
    else
        delete m_session;
}

void StreamReader::setConnectionParameters(const Value &params, const QUrl &videoURL)
{
    m_params = params.deepCopy();
    m_url = videoURL;
    m_lastConnect = Clock::DistantPast;
    m_retryAt = Clock::DistantPast;
    m_failures = 0;
    QEL_LOG(LogLevel::Trace, QStringLiteral("Got video parameters: %1").arg(LogMask::definition(m_params)));
}

Value StreamReader::getConnectionParameters() const
{
    return m_params;
}

void StreamReader::addConsumer(const std::shared_ptr<FrameConsumer> &consumer)
{
    onWorker([consumer](StreamSession *s) { s->addConsumer(consumer); });
}

void StreamReader::removeConsumer(const std::shared_ptr<FrameConsumer> &consumer)
{
    onWorker([consumer](StreamSession *s) { s->removeConsumer(consumer); });
}

void StreamReader::start()
{
    m_delayedStart->stop();
    m_session->singleFrame = false;
    m_active = true;
    if (state() == CameraState::Idle)
        setState(CameraState::Connecting);
    startIntermediate();
}

void StreamReader::stop()
{
    m_active = false;
    closeConnection();
    setState(CameraState::Idle);
}

void StreamReader::getSingleFrame(double delaySeconds)
{
    m_session->singleFrame = true;
    m_active = true;
    if (state() == CameraState::Idle)
        setState(CameraState::Connecting);
    if (delaySeconds <= 0)
        startIntermediate();
    else
        m_delayedStart->start(static_cast<qint64>(delaySeconds * 1000.0), false);
}

QByteArray StreamReader::newestPart() const
{
    return m_session->newestPart();
}

bool StreamReader::isWaiting() const
{
    return m_delayedStart->isActive();
}

quint64 StreamReader::beginConnection()
{
    m_session->connected = true;
    m_sawPicture = false;
    m_lastConnect = m_clock.now();
    return ++m_generation;
}

qint64 StreamReader::nextConnectDue() const
{
    return std::max(m_lastConnect + ReconnectSpacingMs, m_retryAt);
}

void StreamReader::startIntermediate()
{
    const qint64 due = nextConnectDue();
    if (m_clock.now() < due) {
        m_delayedStart->start(due - m_clock.now(), false);
        return;
    }
    closeConnection();
    connectNow();
}

void StreamReader::closeConnection()
{
    m_delayedStart->stop();
    m_session->connected = false;
    // News of the closed connection that is still on its way is now stale.
    ++m_generation;
    onWorker([](StreamSession *s) { s->stopInternal(); });
}
