#pragma once

#include <QThread>

#include <atomic>
#include <optional>

// The background thread on which stream readers do their network I/O. It runs its
// own event loop; work reaches it only as queued calls, socket events and timers.
class WorkerThread final : public QThread
{
    Q_OBJECT

public:
    explicit WorkerThread(QObject *parent = nullptr);
    // priority: 0.0 lowest to 1.0 highest, applied when the thread starts.
    explicit WorkerThread(double priority, QObject *parent = nullptr);
    ~WorkerThread() override;

    std::optional<double> objPriority() const { return m_priority; }

    // Ends the event loop at once; safe from any thread.
    void cancel();
    bool isCancelled() const;

    static QThread::Priority mapPriority(double priority);

protected:
    void run() override;

private:
    std::optional<double> m_priority;
    std::atomic<bool> m_cancelled = false;
};
