#pragma once

#include <QStringList>

// Every log line of any level while it lives. Lines may come from any thread.
class LogCapture final
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QStringList lines() const;
    // Lines whose message contains text.
    QStringList matching(const QString &text) const;
    int count(const QString &text) const { return static_cast<int>(matching(text).size()); }
    bool contains(const QString &text) const { return count(text) > 0; }
    void clear();
};
