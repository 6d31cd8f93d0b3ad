#include "util/QelLog.h"

#include <QByteArray>
#include <QDateTime>
#include <QFileInfo>
#include <QMutex>
#include <QThread>

#include <cerrno>
#include <iterator>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr const char *LVL_STR[] = { "TRACE", "DEBUG", "ERROR" };

void writeToStderr(const QByteArray &line)
{
    const char *p = line.constData();
    qsizetype left = line.size();
    while (left > 0) {
        const ssize_t n = ::write(STDERR_FILENO, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        p += n;
        left -= n;
    }
}

QelLog::Sink s_sink = writeToStderr;
// Serialises whole lines so that two threads never interleave inside one.
QMutex s_writeMutex;

} // namespace

void QelLog::setLoggingThreshhold(int threshold)
{
    s_threshold = static_cast<quint32>(threshold);
}

void QelLog::setLoggingEnabled(bool enabled)
{
    s_enabled = enabled;
}

bool QelLog::loggingEnabled()
{
    return s_enabled;
}

quint32 QelLog::loggingThreshhold()
{
    return s_threshold;
}

const char *QelLog::levelName(LogLevel level)
{
    const int index = static_cast<int>(level);
    if (index < 0 || index >= int(std::size(LVL_STR)))
        return "LEVEL?";
    return LVL_STR[index];
}

void QelLog::setSink(Sink sink)
{
    const QMutexLocker lock(&s_writeMutex);
    s_sink = sink ? sink : writeToStderr;
}

void QelLog::logAtLevel(LogLevel level, const QString &message)
{
    if (!isEnabled(level))
        return;
    write(QStringLiteral("<%1>: %2").arg(QLatin1StringView(levelName(level)), message));
}

void QelLog::logAtLevel(LogLevel level, const char *file, int line, const QString &message)
{
    if (!isEnabled(level))
        return;
    const QString fileName = QFileInfo(QString::fromUtf8(file)).fileName();
    write(QStringLiteral("<%1 - File: %2, Line: %3>: %4")
              .arg(QLatin1StringView(levelName(level)), fileName, QString::number(line), message));
}

void QelLog::write(const QString &composed)
{
    // Time stamp and "process[pid:tid]" in front, as a system log would put them.
    const QByteArray stamp = QDateTime::currentDateTime()
                                 .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))
                                 .toUtf8();
    const auto tid = static_cast<long>(::syscall(SYS_gettid));
    QByteArray line = stamp + " vyo[" + QByteArray::number(static_cast<qint64>(::getpid())) + ':'
        + QByteArray::number(static_cast<qint64>(tid)) + "] " + composed.toUtf8();
    // A message never spans lines: embedded line breaks would split one entry.
    line.replace('\n', ' ');
    line.append('\n');
    const QMutexLocker lock(&s_writeMutex);
    s_sink(line);
}
