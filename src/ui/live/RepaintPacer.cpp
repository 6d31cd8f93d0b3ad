#include "ui/live/RepaintPacer.h"

#include <QCoreApplication>
#include <QWidget>

#include <utility>

RepaintPacer::RepaintPacer(QObject *parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &RepaintPacer::flush);
}

void RepaintPacer::update(QWidget *view)
{
    // One per application, made with it and gone with it.
    static QPointer<RepaintPacer> pacer;
    if (!pacer)
        pacer = new RepaintPacer(QCoreApplication::instance());
    pacer->request(view);
}

void RepaintPacer::request(QWidget *view)
{
    if (!m_pending.contains(view))
        m_pending.append(view);
    if (m_timer.isActive())
        return;
    const qint64 since = m_sinceFlush.isValid() ? m_sinceFlush.elapsed() : IntervalMs;
    if (since >= IntervalMs)
        flush();
    else
        m_timer.start(static_cast<int>(IntervalMs - since));
}

void RepaintPacer::flush()
{
    m_sinceFlush.start();
    const QList<QPointer<QWidget>> views = std::exchange(m_pending, {});
    for (const QPointer<QWidget> &view : views) {
        if (view)
            view->update();
    }
}
