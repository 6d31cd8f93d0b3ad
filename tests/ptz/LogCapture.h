#pragma once

#include <QStringList>

// Collects the core's log lines, all levels, for as long as it lives.
class LogCapture final
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    // Lines whose message contains text.
    QStringList matching(const QString &text) const;
    int count(const QString &text) const { return static_cast<int>(matching(text).size()); }
    void clear();
};
