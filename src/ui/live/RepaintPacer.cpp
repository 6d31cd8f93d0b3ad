#include "ui/live/RepaintPacer.h"

#include "ui/kit/ShownIn.h"

#include <QCoreApplication>
#include <QHash>
#include <QMutex>
#include <QRegion>
#include <QWidget>

#include <utility>
#include <vector>

namespace {

// What the readers' threads have handed over since the GUI thread last looked.
struct Inbox
{
    QMutex mutex;
    std::vector<std::shared_ptr<RepaintPacer::Delivery>> pending;
    // The GUI thread will look without being woken: a wake-up is on its way or the pacer ticks.
    bool watched = false;
};

Inbox &inbox()
{
    static Inbox shared;
    return shared;
}

} // namespace

RepaintPacer::RepaintPacer(QObject *parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] { flush(true); });
}

RepaintPacer::~RepaintPacer()
{
    // Gone with the application: what is left will never be shown.
    Inbox &in = inbox();
    const QMutexLocker lock(&in.mutex);
    in.pending.clear();
    in.watched = false;
}

RepaintPacer &RepaintPacer::instance()
{
    // One per application, made with it and gone with it.
    static QPointer<RepaintPacer> pacer;
    if (!pacer)
        pacer = new RepaintPacer(QCoreApplication::instance());
    return *pacer;
}

void RepaintPacer::post(std::shared_ptr<Delivery> delivery)
{
    Inbox &in = inbox();
    {
        const QMutexLocker lock(&in.mutex);
        in.pending.push_back(std::move(delivery));
        if (std::exchange(in.watched, true))
            return;
    }
    QMetaObject::invokeMethod(QCoreApplication::instance(), [] { instance().schedule(); }, Qt::QueuedConnection);
}

void RepaintPacer::update(QWidget *view)
{
    RepaintPacer &pacer = instance();
    if (!pacer.m_views.contains(view))
        pacer.m_views.append(view);
    if (!pacer.m_flushing)
        pacer.schedule();
}

void RepaintPacer::schedule()
{
    if (m_timer.isActive())
        return;
    const qint64 since = m_sinceFlush.isValid() ? m_sinceFlush.elapsed() : IntervalMs;
    if (since >= IntervalMs)
        flush(false);
    else
        m_timer.start(static_cast<int>(IntervalMs - since));
}

void RepaintPacer::flush(bool ticked)
{
    m_sinceFlush.start();
    std::vector<std::shared_ptr<Delivery>> arrived;
    bool watched = false;
    Inbox &in = inbox();
    {
        const QMutexLocker lock(&in.mutex);
        arrived.swap(in.pending);
        // Several within one interval, or any while they keep coming: more will come in
        // the next, so look for them then. One alone after a quiet interval may have
        // been the only one (a single camera's pictures come further apart than an
        // interval), and the next will wake us.
        in.watched = arrived.size() > 1 || (ticked && !arrived.empty());
        watched = in.watched;
    }
    m_flushing = true;
    for (const std::shared_ptr<Delivery> &delivery : arrived)
        delivery->deliver();
    m_flushing = false;
    // Painted at once, each window once: an update would be posted, and waking this
    // thread for it costs as much again as the timer's wake-up.
    const QList<QPointer<QWidget>> views = std::exchange(m_views, {});
    QHash<QWidget *, QRegion> repaints;
    for (const QPointer<QWidget> &view : views) {
        if (!view)
            continue;
        for (const auto &[shownIn, area] : placesOnScreen(view))
            repaints[shownIn] += area;
    }
    for (auto it = repaints.cbegin(); it != repaints.cend(); ++it) {
        if (it.key()->paintingActive())
            it.key()->update(it.value());
        else
            it.key()->repaint(it.value());
    }
    for (const std::shared_ptr<Delivery> &delivery : arrived)
        delivery->repainted();
    if (watched)
        m_timer.start(IntervalMs);
}
