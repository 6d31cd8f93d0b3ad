#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QWidget;

// Gathers the repaints of views whose pictures arrive each at its own moment. Every
// repaint renders the window's whole scaled stage, so six cameras at 30 frames a
// second would cost 180 renders a second; gathered, they cost at most one per
// display frame. A picture after a quiet interval is painted at once, so a single
// camera's latency is unchanged.
class RepaintPacer final : public QObject
{
public:
    static constexpr int IntervalMs = 16;

    // Repaints view now, or with the others at the end of the current interval.
    static void update(QWidget *view);

private:
    explicit RepaintPacer(QObject *parent);
    void request(QWidget *view);
    void flush();

    QTimer m_timer;
    QElapsedTimer m_sinceFlush;
    QList<QPointer<QWidget>> m_pending;
};
