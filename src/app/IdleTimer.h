#pragma once

#include <QtGlobal>

// The idle timer: while it is off the desktop's screensaver is held back through
// org.freedesktop.ScreenSaver on the session bus, where one is offered.
class IdleTimer final
{
public:
    IdleTimer();
    ~IdleTimer();

    IdleTimer(const IdleTimer &) = delete;
    IdleTimer &operator=(const IdleTimer &) = delete;

    void setDisabled(bool disabled);
    bool isDisabled() const { return m_cookie != 0; }

private:
    quint32 m_cookie = 0;
};
