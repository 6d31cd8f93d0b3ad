#include "app/IdleTimer.h"

#include "util/QelLog.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QGuiApplication>

namespace {

const QString ScreenSaverService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
// The portal's flag for the session going idle.
constexpr uint InhibitIdle = 8;

QDBusMessage screenSaverCall(const QString &method)
{
    return QDBusMessage::createMethodCall(ScreenSaverService, QStringLiteral("/ScreenSaver"), ScreenSaverService,
                                          method);
}

QString reason()
{
    return QCoreApplication::translate("IdleTimer", "Watching cameras");
}

} // namespace

IdleTimer::IdleTimer() = default;

IdleTimer::~IdleTimer()
{
    setDisabled(false);
}

void IdleTimer::setDisabled(bool disabled)
{
    if (disabled == isDisabled() || !QDBusConnection::sessionBus().isConnected())
        return;
    if (!disabled) {
        if (m_cookie != 0)
            QDBusConnection::sessionBus().call(screenSaverCall(QStringLiteral("UnInhibit")) << m_cookie);
        if (!m_portalRequest.isEmpty()) {
            QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
                PortalService, m_portalRequest, QStringLiteral("org.freedesktop.portal.Request"),
                QStringLiteral("Close")));
        }
        m_cookie = 0;
        m_portalRequest.clear();
        return;
    }
    const bool wayland = QGuiApplication::platformName() == QLatin1StringView("wayland");
    const bool held = wayland ? inhibitThroughPortal() || inhibitScreenSaver()
                              : inhibitScreenSaver() || inhibitThroughPortal();
    if (!held)
        QEL_LOG(LogLevel::Debug, QStringLiteral("Cannot hold back the screensaver: no inhibitor on the session bus"));
}

bool IdleTimer::inhibitScreenSaver()
{
    const QDBusReply<quint32> reply =
        QDBusConnection::sessionBus().call(screenSaverCall(QStringLiteral("Inhibit")) << QStringLiteral("Vyo") << reason());
    if (!reply.isValid() || reply.value() == 0)
        return false;
    m_cookie = reply.value();
    return true;
}

bool IdleTimer::inhibitThroughPortal()
{
    QDBusMessage call = QDBusMessage::createMethodCall(PortalService, QStringLiteral("/org/freedesktop/portal/desktop"),
                                                       QStringLiteral("org.freedesktop.portal.Inhibit"),
                                                       QStringLiteral("Inhibit"));
    // No parent window: the inhibition is the session's while the viewer shows cameras.
    call << QString() << InhibitIdle << QVariantMap{ { QStringLiteral("reason"), reason() } };
    const QDBusReply<QDBusObjectPath> reply = QDBusConnection::sessionBus().call(call);
    if (!reply.isValid())
        return false;
    m_portalRequest = reply.value().path();
    return !m_portalRequest.isEmpty();
}
