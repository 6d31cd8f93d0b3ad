#pragma once

#include "onvif/SoapEnvelope.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>

class Clock;
class SoapCall;

// Sends ONVIF SOAP 1.2 requests over HTTP POST and reads their replies (SOAP 1.2 or
// 1.1). With credentials set, every request carries a WS-Security UsernameToken whose
// creation time is shifted by the device's clock offset; a device that answers 401
// with an HTTP challenge (Digest) gets the same credentials once per request, so a
// wrong password fails once instead of looping. Each request is cut off after 5 s
// and its reply at 256 KiB. Lives on the thread that creates it; owns its calls.
class OnvifSoapClient final : public QObject
{
    Q_OBJECT

public:
    static constexpr int RequestTimeoutMs = 5000;
    static constexpr qint64 MaxReplyBytes = 256 * 1024;

    explicit OnvifSoapClient(Clock &clock, QObject *parent = nullptr);
    ~OnvifSoapClient() override;

    void setCredentials(const QString &user, const QString &password);
    // The device's clock minus ours, in milliseconds (see clockOffset below).
    void setClockOffsetMs(qint64 offsetMs) { m_clockOffsetMs = offsetMs; }
    qint64 clockOffsetMs() const { return m_clockOffsetMs; }

    // POSTs the body to service with this action URI. The call emits finished with the
    // result; it is owned by the client and gone after finishing or abortAll.
    SoapCall *call(const QUrl &service, const QString &action, const SoapBodyWriter &body);
    // The same without a UsernameToken: GetSystemDateAndTime, which must work before
    // the clock offset is known.
    SoapCall *callAnonymously(const QUrl &service, const QString &action, const SoapBodyWriter &body);
    // Ends every call in flight without emitting finished.
    void abortAll();

    // The device's clock offset from a GetSystemDateAndTimeResponse, against our UTC
    // time now; nothing when the reply holds no usable UTC time.
    static std::optional<qint64> clockOffset(const XmlElement &response, const QDateTime &nowUtc);

private:
    SoapCall *post(const QUrl &service, const QString &action, const SoapBodyWriter &body, bool authenticate);

    Clock &m_clock;
    QNetworkAccessManager m_network;
    QString m_user;
    QString m_password;
    qint64 m_clockOffsetMs = 0;
};
