#include "video/StreamSession.h"

#include "video/FrameConsumer.h"

#include "util/QelLog.h"

#include <algorithm>
#include <limits>
#include <utility>

// Lets a consumer on another thread queue a look at the waiting part, for as long as
// the session lives.
class StreamSession::Waker final : public FrameWaker
{
public:
    explicit Waker(StreamSession *session)
        : m_session(session)
    {
    }

    void wake() override
    {
        const QMutexLocker lock(&m_mutex);
        if (m_session)
            QMetaObject::invokeMethod(m_session, [s = m_session] { s->decodePending(); }, Qt::QueuedConnection);
    }

    void detach()
    {
        const QMutexLocker lock(&m_mutex);
        m_session = nullptr;
    }

private:
    QMutex m_mutex;
    StreamSession *m_session;
};

StreamSession::StreamSession(Clock &clock, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_waker(std::make_shared<Waker>(this))
{
    m_consumers.reserve(5);
}

StreamSession::~StreamSession()
{
    m_waker->detach();
}

void StreamSession::addConsumer(const std::shared_ptr<FrameConsumer> &consumer)
{
    if (consumer && std::find(m_consumers.begin(), m_consumers.end(), consumer) == m_consumers.end())
        m_consumers.push_back(consumer);
}

void StreamSession::removeConsumer(const std::shared_ptr<FrameConsumer> &consumer)
{
    std::erase(m_consumers, consumer);
}

QByteArray StreamSession::newestPart() const
{
    const QMutexLocker lock(&m_newestMutex);
    return m_newest;
}

void StreamSession::offerPart(const QByteArray &part, qint64 bytes)
{
    {
        const QMutexLocker lock(&m_newestMutex);
        m_newest = part;
    }
    if (!m_pending.isEmpty())
        countSkipped(1);
    m_pending = part;
    m_pendingBytes += bytes;
    // Decoding waits until the bytes already here have been read: of several parts
    // that arrived together only the last is decoded.
    if (m_decodeQueued)
        return;
    m_decodeQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_decodeQueued = false;
            decodePending();
        },
        Qt::QueuedConnection);
}

void StreamSession::countSkipped(int count)
{
    if (count <= 0)
        return;
    for (const auto &consumer : m_consumers)
        consumer->framesSkipped(count);
}

bool StreamSession::consumersReady(QSize *target)
{
    *target = QSize(0, 0);
    bool ready = true;
    for (const auto &consumer : m_consumers) {
        // Each consumer still showing a picture keeps the waker, so every one is asked.
        ready = consumer->readyForFrame(m_waker) && ready;
        *target = target->expandedTo(consumer->targetSize());
    }
    return ready;
}

void StreamSession::decodePending()
{
    if (m_pending.isEmpty() || m_consumers.empty())
        return;
    QSize target;
    if (!consumersReady(&target))
        return;
    const QByteArray part = std::exchange(m_pending, QByteArray());
    const qint64 bytes = std::exchange(m_pendingBytes, 0);
    const QImage picture = m_decoder.decode(part, target);
    if (picture.isNull())
        reportUndecodable(part.size());
    deliverPicture(picture, bytes);
}

void StreamSession::deliverPicture(const QImage &picture, qint64 bytes)
{
    if (!picture.isNull()) {
        if (m_playingGeneration != m_generation || m_undecodableRun >= NotVideoRun) {
            m_playingGeneration = m_generation;
            emit playing(m_generation);
        }
        m_undecodableRun = 0;
    }
    const int count = static_cast<int>(std::min<qint64>(bytes, std::numeric_limits<int>::max()));
    // A consumer may remove itself while being called.
    const auto consumers = m_consumers;
    for (const auto &consumer : consumers)
        consumer->consumeFrame(picture, m_params, count);
    if (!picture.isNull())
        pictureShown();
}

void StreamSession::reportUndecodable(qsizetype size)
{
    ++m_undecodableRun;
    // One bad part among pictures is noise; before the first picture, or several in a
    // row, the camera is not sending video.
    if (m_undecodableRun == NotVideoRun || (m_undecodableRun == 1 && m_playingGeneration != m_generation))
        emit failed(m_generation, CameraState::NotVideo, QStringLiteral("no picture in %1 bytes").arg(size));
    ++m_undecodable;
    const qint64 now = m_clock.now();
    if (now - m_lastFailureLog < FailureLogSpacingMs)
        return;
    QEL_LOG(LogLevel::Debug, QStringLiteral("%1 undecodable picture(s) from %2:%3 since the last report; the latest, "
                                            "%4 bytes: %5")
                                 .arg(m_undecodable)
                                 .arg(m_params.value(QStringLiteral("video.host")).toString(),
                                      m_params.value(QStringLiteral("video.port")).toString())
                                 .arg(size)
                                 .arg(m_decoder.error()));
    m_undecodable = 0;
    m_lastFailureLog = now;
}
