#include "ptz/ManualClock.h"

void ManualTimer::start(qint64 intervalMs, bool repeating)
{
    m_interval = intervalMs;
    m_repeating = repeating;
    m_active = true;
}

void ManualTimer::fire()
{
    if (!m_active)
        return;
    if (!m_repeating)
        m_active = false;
    emit timeout();
}

ClockTimer *ManualClock::createTimer(QObject *parent)
{
    auto *timer = new ManualTimer(parent);
    m_timers.append(timer);
    return timer;
}

void ManualClock::fire(qint64 intervalMs)
{
    const QList<QPointer<ManualTimer>> timers = m_timers;
    for (const QPointer<ManualTimer> &timer : timers) {
        if (timer && timer->isActive() && timer->interval() == intervalMs)
            timer->fire();
    }
}

void ManualClock::tick()
{
    advance(100);
    fire(100);
}

int ManualClock::runningTimers(qint64 intervalMs) const
{
    int n = 0;
    for (const QPointer<ManualTimer> &timer : m_timers)
        n += timer && timer->isActive() && timer->interval() == intervalMs;
    return n;
}
