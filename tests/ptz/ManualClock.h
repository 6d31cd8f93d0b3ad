#pragma once

#include "platform/Clock.h"

#include <QList>
#include <QPointer>

// A timer that fires only when the test says so.
class ManualTimer final : public ClockTimer
{
    Q_OBJECT

public:
    using ClockTimer::ClockTimer;

    void start(qint64 intervalMs, bool repeating) override;
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }
    qint64 interval() const { return m_interval; }
    void fire();

private:
    qint64 m_interval = 0;
    bool m_repeating = false;
    bool m_active = false;
};

// Time stands still until advanced; timers fire only through fire() or tick().
class ManualClock final : public Clock
{
public:
    qint64 now() const override { return m_now; }
    ClockTimer *createTimer(QObject *parent) override;

    void advance(qint64 ms) { m_now += ms; }
    // Fires every running timer started with this interval.
    void fire(qint64 intervalMs);
    // One controller tick: 0.1 s passes and the tick timers fire.
    void tick();
    int runningTimers(qint64 intervalMs) const;

private:
    qint64 m_now = 1000000;
    QList<QPointer<ManualTimer>> m_timers;
};
