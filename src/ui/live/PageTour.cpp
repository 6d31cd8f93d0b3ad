#include "ui/live/PageTour.h"

#include "platform/Clock.h"

#include <algorithm>

PageTour::PageTour(Clock &clock, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_timer(clock.createTimer(this))
    , m_pausedUntil(Clock::DistantPast)
{
    connect(m_timer, &ClockTimer::timeout, this, [this] {
        emit turnDue();
        schedule();
    });
}

void PageTour::setIntervalSeconds(int seconds)
{
    const qint64 ms = std::max(seconds, 0) * qint64(1000);
    if (ms == m_intervalMs)
        return;
    m_intervalMs = ms;
    schedule();
}

void PageTour::setShown(bool shown)
{
    if (shown == m_shown)
        return;
    m_shown = shown;
    schedule();
}

void PageTour::touched()
{
    m_pausedUntil = m_clock.now() + PauseMs;
    schedule();
}

bool PageTour::isTurning() const
{
    return m_timer->isActive();
}

void PageTour::schedule()
{
    if (!m_shown || m_intervalMs == 0) {
        m_timer->stop();
        return;
    }
    m_timer->start(std::max(m_intervalMs, m_pausedUntil - m_clock.now()), false);
}

void PageTour::notePage(int page, bool allFailing)
{
    m_failing.insert(page, allFailing);
}

void PageTour::forgetPages()
{
    m_failing.clear();
}

int PageTour::nextPage(int current, int count) const
{
    for (int step = 1; step < count; ++step) {
        const int page = (current + step) % count;
        if (!m_failing.value(page))
            return page;
    }
    return current;
}
