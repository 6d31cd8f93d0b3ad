#pragma once

#include "video/FrameConsumer.h"

#include "platform/Clock.h"

#include <QHash>
#include <QImage>
#include <QMutex>

#include <optional>

// The latest picture of one source and when it arrived.
class CachedFrame final
{
public:
    CachedFrame(const QImage &image, qint64 timeStamp)
        : m_image(image)
        , m_timeStamp(timeStamp)
    {
    }

    QImage image() const { return m_image; }
    void setImage(const QImage &image) { m_image = image; }
    qint64 timeStamp() const { return m_timeStamp; }
    void setTimeStamp(qint64 timeStamp) { m_timeStamp = timeStamp; }

    // Earlier first: negative, zero or positive.
    int compare(const CachedFrame &other) const
    {
        return m_timeStamp < other.m_timeStamp ? -1 : (m_timeStamp > other.m_timeStamp ? 1 : 0);
    }

private:
    QImage m_image;
    qint64 m_timeStamp;
};

// The latest picture of each of a bounded number of sources, keyed by the content of
// the sources' parameters. Written by readers on the worker thread, read by the live
// views on the main thread.
class FrameCache final : public FrameConsumer
{
public:
    explicit FrameCache(int capacity, Clock &clock = Clock::system());

    std::optional<CachedFrame> cachedFrameForSource(const Value &source) const;
    void consumeFrame(const QImage &picture, const Value &source, int bytes) override;

    int maxImages() const { return m_maxImages; }
    qsizetype count() const;

private:
    Clock &m_clock;
    const int m_maxImages;
    mutable QMutex m_mutex;
    QHash<Value, CachedFrame> m_imageCache;
};
