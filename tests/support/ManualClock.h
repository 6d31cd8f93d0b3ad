#pragma once

#include "platform/Clock.h"

#include <QMutex>

#include <atomic>
#include <vector>

class ManualTimer;

// A clock that moves only when told to. advance() fires every timer that falls due
// on the way, in deadline order, the clock reading each one's deadline as it fires.
// A timer of the advancing thread fires before advance() returns, as a QTimer fires
// within one pass of its event loop, so a test sees the timer's work done at once.
// A timer of another thread fires there through its event loop; callers wait for
// the effects (QTRY_*).
class ManualClock final : public Clock
{
public:
    explicit ManualClock(qint64 start = 1'000'000);
    ~ManualClock() override;

    qint64 now() const override { return m_now; }
    ClockTimer *createTimer(QObject *parent) override;

    void advance(qint64 ms);
    // Timers started and neither stopped nor spent, for tests that check that
    // something is pending or that nothing is.
    int activeTimers() const;

private:
    friend class ManualTimer;

    mutable QMutex m_mutex;
    std::atomic<qint64> m_now;
    std::vector<ManualTimer *> m_timers;
};
