#include "onvif/OnvifSoapClient.h"

#include "onvif/OnvifNamespaces.h"
#include "onvif/SoapCall.h"
#include "onvif/UsernameToken.h"
#include "platform/Clock.h"
#include "util/QelLog.h"

#include <QAuthenticator>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <algorithm>

OnvifSoapClient::OnvifSoapClient(Clock &clock, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_network(this)
{
    connect(&m_network, &QNetworkAccessManager::authenticationRequired, this,
            [this](QNetworkReply *reply, QAuthenticator *authenticator) {
                const QList<SoapCall *> calls = findChildren<SoapCall *>(Qt::FindDirectChildrenOnly);
                for (SoapCall *call : calls) {
                    if (call->m_reply == reply)
                        call->answerChallenge(authenticator, m_user, m_password);
                }
            });
}

OnvifSoapClient::~OnvifSoapClient()
{
    abortAll();
}

void OnvifSoapClient::setCredentials(const QString &user, const QString &password)
{
    m_user = user;
    m_password = password;
}

SoapCall *OnvifSoapClient::call(const QUrl &service, const QString &action, const SoapBodyWriter &body)
{
    return post(service, action, body, true);
}

SoapCall *OnvifSoapClient::callAnonymously(const QUrl &service, const QString &action, const SoapBodyWriter &body)
{
    return post(service, action, body, false);
}

SoapCall *OnvifSoapClient::post(const QUrl &service, const QString &action, const SoapBodyWriter &body,
                                bool authenticate)
{
    const QString user = authenticate ? m_user : QString();
    const QDateTime created = QDateTime::currentDateTimeUtc().addMSecs(m_clockOffsetMs);
    const QByteArray envelope = SoapEnvelope::request(body, user, m_password, UsernameToken::nonce(), created);

    // Credentials travel in the header and the challenge answer only, never in the URL.
    QUrl target = service.adjusted(QUrl::RemoveUserInfo);
    QNetworkRequest request(target);
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QStringLiteral("application/soap+xml; charset=utf-8; action=\"%1\"").arg(action));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);

    const QString operation = action.section(QLatin1Char('/'), -1);
    QEL_LOG(LogLevel::Trace, QStringLiteral("ONVIF %1 to %2").arg(operation, target.toDisplayString()));
    QNetworkReply *reply = m_network.post(request, envelope);
    ClockTimer *timer = m_clock.createTimer(this);
    auto *soapCall = new SoapCall(reply, timer, operation, MaxReplyBytes, this);
    timer->start(RequestTimeoutMs, false);
    return soapCall;
}

void OnvifSoapClient::abortAll()
{
    const QList<SoapCall *> calls = findChildren<SoapCall *>(Qt::FindDirectChildrenOnly);
    for (SoapCall *call : calls)
        call->abort();
}

std::optional<qint64> OnvifSoapClient::clockOffset(const XmlElement &response, const QDateTime &nowUtc)
{
    const XmlElement *utc = response.find(OnvifNs::Schema, QStringLiteral("UTCDateTime"));
    if (!utc)
        return std::nullopt;
    const XmlElement *date = utc->child(OnvifNs::Schema, QStringLiteral("Date"));
    const XmlElement *time = utc->child(OnvifNs::Schema, QStringLiteral("Time"));
    if (!date || !time)
        return std::nullopt;
    auto number = [](const XmlElement *parent, const char *name, bool *ok) {
        return parent->childText(OnvifNs::Schema, QString::fromLatin1(name)).toInt(ok);
    };
    bool ok[6] = {};
    const QDate day(number(date, "Year", &ok[0]), number(date, "Month", &ok[1]), number(date, "Day", &ok[2]));
    const QTime clock(number(time, "Hour", &ok[3]), number(time, "Minute", &ok[4]), number(time, "Second", &ok[5]));
    if (!std::all_of(std::begin(ok), std::end(ok), [](bool b) { return b; }) || !day.isValid() || !clock.isValid())
        return std::nullopt;
    return nowUtc.msecsTo(QDateTime(day, clock, Qt::UTC));
}
