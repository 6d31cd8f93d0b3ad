#include "video/StreamSession.h"

#include "video/FrameConsumer.h"

#include <algorithm>
#include <limits>

StreamSession::StreamSession(QObject *parent)
    : QObject(parent)
{
    m_consumers.reserve(5);
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

QImage StreamSession::decodeFrame(const QByteArray &bytes)
{
    QImage picture;
    picture.loadFromData(bytes);
    return picture;
}

void StreamSession::pushFrame(const QImage &picture, qint64 bytes)
{
    if (!picture.isNull() && m_playingGeneration != m_generation) {
        m_playingGeneration = m_generation;
        emit playing(m_generation);
    }
    const int count = static_cast<int>(std::min<qint64>(bytes, std::numeric_limits<int>::max()));
    // A consumer may remove itself while being called.
    const auto consumers = m_consumers;
    for (const auto &consumer : consumers)
        consumer->consumeFrame(picture, m_params, count);
}
