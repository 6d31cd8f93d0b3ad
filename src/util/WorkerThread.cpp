#include "util/WorkerThread.h"

#include <algorithm>

WorkerThread::WorkerThread(QObject *parent)
    : QThread(parent)
{
    setObjectName(QStringLiteral("vyo-video"));
}

WorkerThread::WorkerThread(double priority, QObject *parent)
    : WorkerThread(parent)
{
    m_priority = priority;
}

WorkerThread::~WorkerThread()
{
    cancel();
    wait();
}

QThread::Priority WorkerThread::mapPriority(double priority)
{
    static constexpr QThread::Priority scale[] = {
        QThread::IdlePriority,   QThread::LowestPriority,  QThread::LowPriority,
        QThread::NormalPriority, QThread::HighPriority,    QThread::HighestPriority,
        QThread::TimeCriticalPriority,
    };
    const double clamped = std::clamp(priority, 0.0, 1.0);
    // 0.5 is the platform's normal priority; 0.0 and 1.0 are the extremes.
    const auto index = static_cast<int>(clamped * 6.0 + 0.5);
    return scale[index];
}

void WorkerThread::cancel()
{
    m_cancelled = true;
    requestInterruption();
    // exit() is thread-safe and ends exec() as soon as control returns to the loop.
    exit(0);
}

bool WorkerThread::isCancelled() const
{
    return m_cancelled;
}

void WorkerThread::run()
{
    if (m_priority)
        setPriority(mapPriority(*m_priority));
    // A cancel that came before the thread started must not be lost; one that
    // comes between here and exec() makes exec() return at once.
    if (isCancelled())
        return;
    exec();
}
