#include "TestSupport.h"

#include "util/QelLog.h"

#include <QBuffer>

namespace {

QMutex s_logMutex;
QStringList s_logLines;

void captureLine(const QByteArray &line)
{
    const QMutexLocker lock(&s_logMutex);
    s_logLines.append(QString::fromUtf8(line).trimmed());
}

} // namespace

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

LogCapture::LogCapture()
{
    clear();
    QelLog::setSink(captureLine);
    QelLog::setLoggingEnabled(true);
    QelLog::setLoggingThreshhold(0);
}

LogCapture::~LogCapture()
{
    QelLog::setLoggingEnabled(false);
    QelLog::setSink(nullptr);
}

QStringList LogCapture::lines() const
{
    const QMutexLocker lock(&s_logMutex);
    return s_logLines;
}

bool LogCapture::contains(const QString &text) const
{
    const QMutexLocker lock(&s_logMutex);
    return std::any_of(s_logLines.cbegin(), s_logLines.cend(), [&](const QString &l) { return l.contains(text); });
}

void LogCapture::clear()
{
    const QMutexLocker lock(&s_logMutex);
    s_logLines.clear();
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
