#include "onvif/SoapCall.h"

#include "platform/Clock.h"
#include "util/QelLog.h"

#include <QAuthenticator>
#include <QNetworkReply>

SoapCall::SoapCall(QNetworkReply *reply, ClockTimer *timer, const QString &operation, qint64 maxReplyBytes,
                   QObject *parent)
    : QObject(parent)
    , m_reply(reply)
    , m_timer(timer)
    , m_operation(operation)
    , m_host(reply->url().host())
    , m_maxReplyBytes(maxReplyBytes)
{
    m_timer->setParent(this);
    connect(m_timer, &ClockTimer::timeout, this, &SoapCall::timedOut);
    connect(reply, &QNetworkReply::readyRead, this, &SoapCall::collect);
    connect(reply, &QNetworkReply::finished, this, &SoapCall::done);
}

void SoapCall::collect()
{
    // Read as it comes so that the manager never buffers more than one chunk past the cap.
    const qint64 room = m_maxReplyBytes - m_received.size();
    if (m_reply->bytesAvailable() > room) {
        m_tooLarge = true;
        m_reply->abort();
        return;
    }
    m_received += m_reply->readAll();
}

void SoapCall::answerChallenge(QAuthenticator *authenticator, const QString &user, const QString &password)
{
    // A second challenge for the same request means the credentials were refused:
    // leaving it unanswered ends the request with 401.
    if (m_answeredChallenge || user.isEmpty())
        return;
    m_answeredChallenge = true;
    authenticator->setUser(user);
    authenticator->setPassword(password);
}

void SoapCall::timedOut()
{
    m_timedOut = true;
    if (m_reply)
        m_reply->abort();
}

void SoapCall::done()
{
    if (!m_reply || m_finished)
        return;
    m_timer->stop();
    if (!m_tooLarge && !m_timedOut)
        collect();
    const int httpStatus = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    SoapResult result;
    result.httpStatus = httpStatus;
    if (m_tooLarge) {
        result.status = SoapResult::Status::TooLarge;
        result.reason = QStringLiteral("reply larger than %1 bytes").arg(m_maxReplyBytes);
        QEL_LOG(LogLevel::Debug, QStringLiteral("ONVIF %1: the reply from %2 is too large").arg(m_operation, m_host));
    } else if (m_timedOut) {
        result.status = SoapResult::Status::TimedOut;
        result.reason = QStringLiteral("no reply in time");
    } else if (m_received.isEmpty()) {
        result.status = httpStatus == 401 || m_reply->error() == QNetworkReply::AuthenticationRequiredError
                            ? SoapResult::Status::NotAuthorized
                            : SoapResult::Status::NetworkError;
        result.reason = httpStatus ? QStringLiteral("HTTP status %1").arg(httpStatus) : m_reply->errorString();
    } else {
        result = SoapEnvelope::reply(m_received, httpStatus);
        if (result.status == SoapResult::Status::Malformed)
            QEL_LOG(LogLevel::Debug, QStringLiteral("ONVIF %1: malformed reply from %2: %3")
                                         .arg(m_operation, m_host, result.reason));
    }
    QEL_LOG(LogLevel::Trace, QStringLiteral("ONVIF %1 from %2: %3")
                                 .arg(m_operation, m_host, result.ok() ? QStringLiteral("ok") : result.reason));
    finish(std::move(result));
}

void SoapCall::finish(SoapResult result)
{
    m_finished = true;
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->deleteLater();
    }
    emit finished(result);
    deleteLater();
}

void SoapCall::abort()
{
    if (m_finished)
        return;
    m_finished = true;
    m_timer->stop();
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
    deleteLater();
}
