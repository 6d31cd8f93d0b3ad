#pragma once

#include "util/QelLog.h"

#include <QList>
#include <QString>

// Keeps a camera that fails every few seconds from filling the log: a line already
// written less than a minute ago is held back and counted, and the next copy let
// through says how many were left out. Remembers a handful of distinct lines.
class LogLimiter final
{
public:
    static constexpr qint64 SpacingMs = 60000;
    static constexpr qsizetype Remembered = 8;

    // The source and line of the caller go into the log as QEL_LOG would put them.
    void log(LogLevel level, const QString &line, qint64 now, const char *file, int sourceLine);

private:
    struct Entry
    {
        QString line;
        qint64 loggedAt;
        int heldBack;
    };

    QList<Entry> m_entries;
};

#define QEL_LOG_LIMITED(limiter, level, message, now)                             \
    do {                                                                          \
        if (QelLog::isEnabled(level))                                             \
            (limiter).log((level), (message), (now), __FILE__, __LINE__);         \
    } while (false)
