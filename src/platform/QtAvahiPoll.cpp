#include "platform/QtAvahiPoll.h"

#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <memory>

#include <sys/time.h>

// Avahi's opaque watch and timeout types. Avahi may free either from inside its
// own callback, so a free during a callback is carried out when the callback returns.
struct AvahiWatch
{
    int fd = -1;
    AvahiWatchEvent happened = AvahiWatchEvent(0);
    AvahiWatchCallback callback = nullptr;
    void *userdata = nullptr;
    std::unique_ptr<QSocketNotifier> read;
    std::unique_ptr<QSocketNotifier> write;
    bool busy = false;
    bool freed = false;
};

struct AvahiTimeout
{
    AvahiTimeoutCallback callback = nullptr;
    void *userdata = nullptr;
    std::unique_ptr<QTimer> timer;
    bool busy = false;
    bool freed = false;
};

namespace {

void fire(AvahiWatch *w, AvahiWatchEvent event)
{
    w->happened = event;
    w->busy = true;
    w->callback(w, w->fd, event, w->userdata);
    w->busy = false;
    if (w->freed)
        delete w;
}

void watchUpdate(AvahiWatch *w, AvahiWatchEvent event)
{
    w->read->setEnabled(event & AVAHI_WATCH_IN);
    w->write->setEnabled(event & AVAHI_WATCH_OUT);
}

AvahiWatch *watchNew(const AvahiPoll *, int fd, AvahiWatchEvent event, AvahiWatchCallback callback, void *userdata)
{
    auto *w = new AvahiWatch;
    w->fd = fd;
    w->callback = callback;
    w->userdata = userdata;
    w->read = std::make_unique<QSocketNotifier>(static_cast<qintptr>(fd), QSocketNotifier::Read);
    w->write = std::make_unique<QSocketNotifier>(static_cast<qintptr>(fd), QSocketNotifier::Write);
    QObject::connect(w->read.get(), &QSocketNotifier::activated, w->read.get(), [w] { fire(w, AVAHI_WATCH_IN); });
    QObject::connect(w->write.get(), &QSocketNotifier::activated, w->write.get(), [w] { fire(w, AVAHI_WATCH_OUT); });
    watchUpdate(w, event);
    return w;
}

AvahiWatchEvent watchGetEvents(AvahiWatch *w)
{
    return w->happened;
}

void watchFree(AvahiWatch *w)
{
    if (!w->busy) {
        delete w;
        return;
    }
    w->read->setEnabled(false);
    w->write->setEnabled(false);
    w->freed = true;
}

void timeoutUpdate(AvahiTimeout *t, const struct timeval *tv)
{
    if (!tv) {
        t->timer->stop();
        return;
    }
    struct timeval now;
    gettimeofday(&now, nullptr);
    const qint64 ms = (static_cast<qint64>(tv->tv_sec) - now.tv_sec) * 1000 + (tv->tv_usec - now.tv_usec) / 1000;
    t->timer->start(static_cast<int>(std::clamp<qint64>(ms, 0, 24 * 3600 * 1000)));
}

AvahiTimeout *timeoutNew(const AvahiPoll *, const struct timeval *tv, AvahiTimeoutCallback callback, void *userdata)
{
    auto *t = new AvahiTimeout;
    t->callback = callback;
    t->userdata = userdata;
    t->timer = std::make_unique<QTimer>();
    t->timer->setSingleShot(true);
    QObject::connect(t->timer.get(), &QTimer::timeout, t->timer.get(), [t] {
        t->busy = true;
        t->callback(t, t->userdata);
        t->busy = false;
        if (t->freed)
            delete t;
    });
    timeoutUpdate(t, tv);
    return t;
}

void timeoutFree(AvahiTimeout *t)
{
    if (!t->busy) {
        delete t;
        return;
    }
    t->timer->stop();
    t->freed = true;
}

} // namespace

QtAvahiPoll::QtAvahiPoll()
{
    m_poll.userdata = this;
    m_poll.watch_new = watchNew;
    m_poll.watch_update = watchUpdate;
    m_poll.watch_get_events = watchGetEvents;
    m_poll.watch_free = watchFree;
    m_poll.timeout_new = timeoutNew;
    m_poll.timeout_update = timeoutUpdate;
    m_poll.timeout_free = timeoutFree;
}

QtAvahiPoll::~QtAvahiPoll() = default;
