#include "support/ManualClock.h"

#include <QThread>

#include <algorithm>

class ManualTimer final : public ClockTimer
{
public:
    ManualTimer(ManualClock &clock, QObject *parent)
        : ClockTimer(parent)
        , m_clock(clock)
    {
        const QMutexLocker lock(&m_clock.m_mutex);
        m_clock.m_timers.push_back(this);
    }

    ~ManualTimer() override
    {
        const QMutexLocker lock(&m_clock.m_mutex);
        std::erase(m_clock.m_timers, this);
    }

    void start(qint64 intervalMs, bool repeating) override
    {
        const QMutexLocker lock(&m_clock.m_mutex);
        m_interval = std::max<qint64>(intervalMs, 1);
        m_deadline = m_clock.m_now + std::max<qint64>(intervalMs, 0);
        m_repeating = repeating;
        m_active = true;
        ++m_generation;
    }

    void stop() override
    {
        const QMutexLocker lock(&m_clock.m_mutex);
        m_active = false;
        ++m_generation;
    }

    bool isActive() const override
    {
        const QMutexLocker lock(&m_clock.m_mutex);
        return m_active;
    }

    // Called with the clock's mutex held as the timer falls due: a repeating timer
    // moves on to its next deadline, a one-shot one is spent.
    quint64 fallDue()
    {
        if (m_repeating)
            m_deadline += m_interval;
        else
            m_active = false;
        return m_generation;
    }

    // The timeout on the timer's own thread, unless stopped or restarted before it runs.
    void post(quint64 generation)
    {
        QMetaObject::invokeMethod(
            this,
            [this, generation] {
                {
                    const QMutexLocker lock(&m_clock.m_mutex);
                    if (m_generation != generation)
                        return;
                }
                emit timeout();
            },
            Qt::QueuedConnection);
    }

    ManualClock &m_clock;
    qint64 m_deadline = 0;
    qint64 m_interval = 1;
    quint64 m_generation = 0;
    bool m_repeating = false;
    bool m_active = false;
};

ManualClock::ManualClock(qint64 start)
    : m_now(start)
{
}

ManualClock::~ManualClock() = default;

ClockTimer *ManualClock::createTimer(QObject *parent)
{
    return new ManualTimer(*this, parent);
}

void ManualClock::advance(qint64 ms)
{
    QMutexLocker lock(&m_mutex);
    const qint64 target = m_now + ms;
    for (;;) {
        ManualTimer *next = nullptr;
        for (ManualTimer *timer : m_timers) {
            if (timer->m_active && timer->m_deadline <= target && (!next || timer->m_deadline < next->m_deadline))
                next = timer;
        }
        if (!next)
            break;
        m_now = std::max<qint64>(m_now, next->m_deadline);
        const quint64 generation = next->fallDue();
        if (next->thread() != QThread::currentThread()) {
            next->post(generation);
            continue;
        }
        // The handler may start, stop or delete timers, this one included.
        lock.unlock();
        emit next->timeout();
        lock.relock();
    }
    m_now = target;
}

int ManualClock::activeTimers() const
{
    const QMutexLocker lock(&m_mutex);
    return static_cast<int>(std::count_if(m_timers.begin(), m_timers.end(), [](ManualTimer *t) { return t->m_active; }));
}
