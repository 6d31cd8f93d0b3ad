#include "platform/Clock.h"

#include <QTimer>

#include <chrono>

namespace {

class SystemTimer final : public ClockTimer
{
public:
    explicit SystemTimer(QObject *parent)
        : ClockTimer(parent)
        , m_timer(this)
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, &ClockTimer::timeout);
    }

    void start(qint64 intervalMs, bool repeating) override
    {
        m_timer.setSingleShot(!repeating);
        m_timer.start(std::chrono::milliseconds(std::max<qint64>(intervalMs, 0)));
    }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
};

class SystemClock final : public Clock
{
public:
    qint64 now() const override
    {
        const auto since = std::chrono::steady_clock::now().time_since_epoch();
        return std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
    }

    ClockTimer *createTimer(QObject *parent) override { return new SystemTimer(parent); }
};

} // namespace

Clock &Clock::system()
{
    static SystemClock clock;
    return clock;
}
