#include "ptz/HttpPTZController.h"

#include "config/LogMask.h"
#include "config/Value.h"
#include "platform/CertificatePin.h"
#include "platform/Clock.h"
#include "util/QelLog.h"
#include "util/Utilities.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

HttpPTZController::HttpPTZController(Clock &clock, const QString &brand, QObject *parent)
    : PTZControllerBase(clock, parent)
    , m_network(this)
    , m_brand(brand)
    , m_lastSend(Clock::DistantPast)
{
    connect(&m_network, &QNetworkAccessManager::sslErrors, this,
            [this](QNetworkReply *reply, const QList<QSslError> &errors) {
                if (CertificatePin::apply(reply, errors, m_pinnedCertificate, nullptr) != CertificatePin::Verdict::Pinned)
                    QEL_LOG(LogLevel::Debug, QStringLiteral("%1 PTZ: the camera's certificate is not trusted").arg(m_brand));
            });
}

void HttpPTZController::trustCertificateOf(const Value &definition)
{
    m_pinnedCertificate = CertificatePin::pinned(definition.value(QStringLiteral("video.parameters")));
}

QString HttpPTZController::credentials(const Value &controlParameters)
{
    return Utilities::urlUserInfo(controlParameters.value(QStringLiteral("control.username")).toString(),
                                  controlParameters.value(QStringLiteral("control.password")).toString());
}

bool HttpPTZController::mayIssue() const
{
    return m_currentCommands.isEmpty() && now() - m_lastSend >= TickMs;
}

void HttpPTZController::startRequest(const QString &urlText)
{
    QEL_LOG(LogLevel::Trace, QStringLiteral("Issuing %1 PTZ command: %2").arg(m_brand, LogMask::text(urlText)));
    m_lastSend = now();
    const QUrl url(urlText, QUrl::StrictMode);
    if (!url.isValid()) {
        QEL_LOG(LogLevel::Error, QStringLiteral("error on %1 PTZ command: not a URL").arg(m_brand));
        return;
    }
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setTransferTimeout(RequestTimeoutMs);
    QNetworkReply *reply = m_network.get(request);
    m_currentCommands.append(reply);
    connect(reply, &QNetworkReply::finished, this, [this, reply] { requestDone(reply); });
    // Bodies are not of interest and are dropped as they come; a camera that keeps
    // sending one is cut off rather than holding up the next command.
    connect(reply, &QNetworkReply::readyRead, this, [reply] { reply->skip(reply->bytesAvailable()); });
    connect(reply, &QNetworkReply::downloadProgress, this, [reply](qint64 received, qint64) {
        if (received > MaxReplyBytes)
            reply->abort();
    });
}

void HttpPTZController::requestDone(QNetworkReply *reply)
{
    m_currentCommands.removeOne(reply);
    // An HTTP status of any kind means the camera answered; only transport failures count.
    if (reply->error() != QNetworkReply::NoError
        && !reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid())
        QEL_LOG(LogLevel::Error, QStringLiteral("error on %1 PTZ command").arg(m_brand));
    reply->deleteLater();
}

void HttpPTZController::disconnect()
{
    stopTicking();
    const QList<QNetworkReply *> replies = std::exchange(m_currentCommands, {});
    for (QNetworkReply *reply : replies) {
        QObject::disconnect(reply, nullptr, this, nullptr);
        reply->abort();
        reply->deleteLater();
    }
}
