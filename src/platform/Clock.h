#pragma once

#include <QObject>

#include <limits>

// A one-shot or repeating timer made by a Clock. It lives in its parent's thread and
// fires there.
class ClockTimer : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void start(qint64 intervalMs, bool repeating) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;

signals:
    void timeout();
};

// Where behaviour that depends on time (reconnect spacing, heartbeats, staleness)
// reads the time and gets its timers, so that tests can drive it without sleeping.
// Times are milliseconds on a monotonic scale shared by the whole process.
class Clock
{
public:
    // Earlier than any time now() returns, yet safe to subtract from it.
    static constexpr qint64 DistantPast = std::numeric_limits<qint64>::min() / 4;

    virtual ~Clock() = default;

    virtual qint64 now() const = 0;
    // Create it on the parent's thread.
    virtual ClockTimer *createTimer(QObject *parent) = 0;

    // The real clock; safe from any thread.
    static Clock &system();
};
