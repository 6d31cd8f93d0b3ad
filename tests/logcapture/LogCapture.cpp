#include "logcapture/LogCapture.h"

#include "util/QelLog.h"

#include <QMutex>

namespace {

QMutex s_logMutex;
QStringList s_logLines;

void captureLine(const QByteArray &line)
{
    const QMutexLocker lock(&s_logMutex);
    s_logLines.append(QString::fromUtf8(line).trimmed());
}

} // namespace

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

QStringList LogCapture::matching(const QString &text) const
{
    const QMutexLocker lock(&s_logMutex);
    return s_logLines.filter(text);
}

void LogCapture::clear()
{
    const QMutexLocker lock(&s_logMutex);
    s_logLines.clear();
}
