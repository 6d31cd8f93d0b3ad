#pragma once

#include "platform/Clock.h"

#include <QMutex>

#include <atomic>
#include <vector>

class ManualTimer;

// A clock that moves only when told to. Timers that fall due are fired on their own
// thread through its event loop, so callers wait for the effects (QTRY_*).
class ManualClock final : public Clock
{
public:
    explicit ManualClock(qint64 start = 1'000'000);
    ~ManualClock() override;

    qint64 now() const override { return m_now; }
    ClockTimer *createTimer(QObject *parent) override;

    void advance(qint64 ms);
    // Active timers, for tests that check that something is pending.
    int activeTimers() const;

private:
    friend class ManualTimer;

    mutable QMutex m_mutex;
    std::atomic<qint64> m_now;
    std::vector<ManualTimer *> m_timers;
};
