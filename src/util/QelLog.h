#pragma once

#include <QString>

#include <cstdint>

// What a log line is about. The numbers are the thresholds of the "QelLogLevel"
// preference and of --log options: 2 keeps failures only, 3 silences everything.
enum class LogLevel : int {
    Trace = 0, // protocol traffic: commands sent, bytes counted
    Debug = 1, // progress and trouble the owner recovers from (a stream reconnecting)
    Error = 2, // failures: something the user asked for did not happen
};

// Process-wide logging facade. The switch and threshold are set once at launch,
// before the worker thread exists, and only read afterwards.
class QelLog final
{
public:
    QelLog() = delete;

    static void setLoggingThreshhold(int threshold);
    static void setLoggingEnabled(bool enabled);
    static bool loggingEnabled();
    static quint32 loggingThreshhold();

    // True when a line at this level would be written; callers test it before
    // formatting anything (the QEL_LOG macros do).
    static bool isEnabled(LogLevel level)
    {
        return s_enabled && static_cast<quint32>(level) >= s_threshold;
    }

    // The prefix "<LEVEL>: " or "<LEVEL - File: name, Line: n>: " goes before the message.
    static void logAtLevel(LogLevel level, const QString &message);
    static void logAtLevel(LogLevel level, const char *file, int line, const QString &message);

    // Where finished lines go; the default writes each line to stderr in one write.
    using Sink = void (*)(const QByteArray &line);
    static void setSink(Sink sink);

    static const char *levelName(LogLevel level);

private:
    static void write(const QString &composed);

    static inline bool s_enabled = false;
    static inline quint32 s_threshold = 3;
};

// The message expression is evaluated only when the line will be written.
#define QEL_LOG(level, message)                                                  \
    do {                                                                         \
        if (QelLog::isEnabled(level))                                            \
            QelLog::logAtLevel((level), __FILE__, __LINE__, (message));          \
    } while (false)
