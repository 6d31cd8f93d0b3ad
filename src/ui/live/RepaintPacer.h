#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>

class QWidget;

// Takes pictures from the readers' threads to the GUI thread and gathers the repaints
// they cause. Every repaint renders the window's whole scaled stage and every hand-off
// wakes the GUI thread, so six cameras at 30 frames a second would cost 180 of each a
// second. Gathered, they cost at most one per display frame: while pictures keep
// coming, the GUI thread looks for them once an interval instead of being woken for
// each. A picture after a quiet interval is shown at once, so a single camera's
// latency is unchanged.
class RepaintPacer final : public QObject
{
public:
    static constexpr int IntervalMs = 16;

    class Delivery
    {
    public:
        virtual ~Delivery() = default;
        // GUI thread.
        virtual void deliver() = 0;
        // GUI thread, after the batch delivered with it has been painted.
        virtual void repainted() = 0;
    };

    // Any thread: delivery is made on the GUI thread with the next batch.
    static void post(std::shared_ptr<Delivery> delivery);
    // GUI thread: repaints view now, or with the others at the end of the current interval.
    static void update(QWidget *view);

private:
    explicit RepaintPacer(QObject *parent);
    ~RepaintPacer() override;
    static RepaintPacer &instance();
    void schedule();
    // ticked: by the pacer's timer, while pictures keep coming.
    void flush(bool ticked);

    QTimer m_timer;
    QElapsedTimer m_sinceFlush;
    QList<QPointer<QWidget>> m_views;
    bool m_flushing = false;
};
