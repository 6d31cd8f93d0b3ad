#include "app/IdleTimer.h"

#include "util/QelLog.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>

namespace {

QDBusInterface *screenSaver()
{
    if (!QDBusConnection::sessionBus().isConnected())
        return nullptr;
    static QDBusInterface iface(QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/ScreenSaver"),
                                QStringLiteral("org.freedesktop.ScreenSaver"), QDBusConnection::sessionBus());
    return iface.isValid() ? &iface : nullptr;
}

} // namespace

IdleTimer::IdleTimer() = default;

IdleTimer::~IdleTimer()
{
    setDisabled(false);
}

void IdleTimer::setDisabled(bool disabled)
{
    if (disabled == isDisabled())
        return;
    QDBusInterface *iface = screenSaver();
    if (!iface)
        return;
    if (disabled) {
        const QDBusReply<quint32> reply =
            iface->call(QStringLiteral("Inhibit"), QStringLiteral("Vyo"),
                        QCoreApplication::translate("IdleTimer", "Watching cameras"));
        if (reply.isValid())
            m_cookie = reply.value();
        else
            QEL_LOG(LogLevel::Debug, QStringLiteral("Cannot hold back the screensaver: %1").arg(reply.error().message()));
    } else {
        iface->call(QStringLiteral("UnInhibit"), m_cookie);
        m_cookie = 0;
    }
}
