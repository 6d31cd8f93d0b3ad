#include "support/TestSupport.h"

#include "util/QelLog.h"

#include <QBuffer>

ScratchStore::ScratchStore()
    : preferences(dir.filePath(QStringLiteral("preferences.conf")))
    , store(preferences, dir.path())
{
}

QByteArray testJpeg(int width, int height, const QColor &color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 80);
    return bytes;
}

void RecordingConsumer::consumeFrame(const QImage &picture, const Value &source, int bytes)
{
    const QMutexLocker lock(&m_mutex);
    m_frames.append({ picture, source, bytes });
}

QList<RecordingConsumer::Frame> RecordingConsumer::frames() const
{
    const QMutexLocker lock(&m_mutex);
    return m_frames;
}

qsizetype RecordingConsumer::count() const
{
    const QMutexLocker lock(&m_mutex);
    return m_frames.size();
}

void RecordingConsumer::framesSkipped(int count)
{
    const QMutexLocker lock(&m_mutex);
    m_skipped += count;
}

QSize RecordingConsumer::targetSize() const
{
    const QMutexLocker lock(&m_mutex);
    return m_target;
}

int RecordingConsumer::skipped() const
{
    const QMutexLocker lock(&m_mutex);
    return m_skipped;
}

void RecordingConsumer::setTargetSize(QSize size)
{
    const QMutexLocker lock(&m_mutex);
    m_target = size;
}
