#pragma once

#include <QString>
#include <QtGlobal>

// The idle timer: while it is off the desktop's screensaver is held back, through
// org.freedesktop.ScreenSaver (X11 desktops, and KDE on Wayland) or the desktop
// portal's Inhibit (GNOME and wlroots compositors on Wayland), whichever the
// session bus offers, the likelier one for the platform first.
class IdleTimer final
{
public:
    IdleTimer();
    ~IdleTimer();

    IdleTimer(const IdleTimer &) = delete;
    IdleTimer &operator=(const IdleTimer &) = delete;

    void setDisabled(bool disabled);
    bool isDisabled() const { return m_cookie != 0 || !m_portalRequest.isEmpty(); }

private:
    bool inhibitScreenSaver();
    bool inhibitThroughPortal();

    quint32 m_cookie = 0;
    // The portal's handle of the inhibition, closed to end it.
    QString m_portalRequest;
};
