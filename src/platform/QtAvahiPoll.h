#pragma once

#include <avahi-common/watch.h>

// An AvahiPoll that runs Avahi's watches and timeouts on the Qt event loop of the
// thread that creates it, so that every Avahi callback arrives on that thread.
class QtAvahiPoll final
{
public:
    QtAvahiPoll();
    ~QtAvahiPoll();

    QtAvahiPoll(const QtAvahiPoll &) = delete;
    QtAvahiPoll &operator=(const QtAvahiPoll &) = delete;

    const AvahiPoll *poll() const { return &m_poll; }

private:
    AvahiPoll m_poll;
};
