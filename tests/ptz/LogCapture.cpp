#include "LogCapture.h"

#include "util/QelLog.h"

namespace {

QStringList &lines()
{
    static QStringList captured;
    return captured;
}

void capture(const QByteArray &line)
{
    lines().append(QString::fromUtf8(line).trimmed());
}

} // namespace

LogCapture::LogCapture()
{
    lines().clear();
    QelLog::setLoggingEnabled(true);
    QelLog::setLoggingThreshhold(0);
    QelLog::setSink(capture);
}

LogCapture::~LogCapture()
{
    QelLog::setSink(nullptr);
    QelLog::setLoggingEnabled(false);
}

QStringList LogCapture::matching(const QString &text) const
{
    return lines().filter(text);
}

void LogCapture::clear()
{
    lines().clear();
}
