#include "sharing/RegistrationHandler.h"

#include "config/AppInfo.h"
#include "platform/DeviceIdentity.h"
#include "platform/Preferences.h"
#include "util/QelLog.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSysInfo>
#include <QUrl>

RegistrationHandler::RegistrationHandler(Preferences &preferences, QObject *parent)
    : QObject(parent)
    , m_preferences(preferences)
{
}

RegistrationHandler::~RegistrationHandler()
{
    // Requests in flight go with the manager; their answers must not reach a
    // handler that is half destroyed.
    for (QNetworkReply *reply : m_manager.findChildren<QNetworkReply *>())
        reply->disconnect(this);
}

QString RegistrationHandler::safeValue(const QString &value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

bool RegistrationHandler::checkAndSendRegForm()
{
    QString base = AppInfo::value(AppInfo::RegURL);
    if (base.isEmpty()) {
        QEL_LOG(LogLevel::Debug, QStringLiteral("No registration URL found."));
        return false;
    }
    const QString version = AppInfo::value(AppInfo::BundleVersion);
    const bool subscribed = m_preferences.registrationSubscribed();
    const bool newVersion = m_preferences.registrationShown() && subscribed
                            && version != m_preferences.registrationLastVersion();
    if (!m_preferences.registrationNeeded() && !newVersion)
        return false;

    if (!base.startsWith(QLatin1StringView("http")))
        base = QStringLiteral("http://%1").arg(base);
    const QString deviceId = safeValue(DeviceIdentity::uniqueIdentifier());
    QString text;
    if (subscribed) {
        text = QStringLiteral("%1/subscribers/remote_add?appname=%2&appver=%3&duid=%4&dtype=%5&dosver=%6"
                              "&fname=%7&lname=%8&email=%9")
                   .arg(base, safeValue(AppInfo::value(AppInfo::BundleIdentifier)), safeValue(version), deviceId,
                        safeValue(QStringLiteral("%1 %2").arg(QSysInfo::kernelType(),
                                                              QSysInfo::currentCpuArchitecture())),
                        safeValue(QSysInfo::prettyProductName()),
                        safeValue(m_preferences.registrationFirstName()),
                        safeValue(m_preferences.registrationLastName()),
                        safeValue(m_preferences.registrationEmail()));
    } else {
        text = QStringLiteral("%1/subscribers/remote_unsubscribe?duid=%2").arg(base, deviceId);
    }
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid()) {
        QEL_LOG(LogLevel::Error, QStringLiteral("Error registering: %1").arg(url.errorString()));
        return false;
    }

    QEL_LOG(LogLevel::Debug, QStringLiteral("Sending registration: %1").arg(text));
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setTransferTimeout(TimeoutMs);
    QNetworkReply *reply = m_manager.get(request);
    ++m_pending;
    // Only the answer's status matters; its body is read away, and a server that
    // keeps sending is cut off rather than buffered.
    connect(reply, &QNetworkReply::readyRead, reply, [reply, received = qint64(0)]() mutable {
        received += reply->skip(reply->bytesAvailable());
        if (received > MaxAnswerBytes)
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        --m_pending;
        reply->deleteLater();
        // Any HTTP answer counts: the server has heard from us.
        const bool answered = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
        if (answered)
            connectionDidFinishLoading();
        else
            didFailWithError(reply->errorString());
        emit finished(answered);
    });
    return true;
}

void RegistrationHandler::connectionDidFinishLoading()
{
    m_preferences.setRegistrationNeeded(false);
    m_preferences.setRegistrationLastVersion(AppInfo::value(AppInfo::BundleVersion));
    QEL_LOG(LogLevel::Debug, QStringLiteral("Registration successful."));
}

void RegistrationHandler::didFailWithError(const QString &error)
{
    QEL_LOG(LogLevel::Error, QStringLiteral("Error registering: %1").arg(error));
}
