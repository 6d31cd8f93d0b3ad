#pragma once

#include "onvif/SoapEnvelope.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

class ClockTimer;
class QAuthenticator;
class QNetworkReply;

// One SOAP request in flight, made by OnvifSoapClient and owned by it. Emits finished
// exactly once (unless aborted) and then deletes itself later; connect with a context
// object. Lives on the client's thread.
class SoapCall final : public QObject
{
    Q_OBJECT

public:
    // The action's last path part ("GetProfiles"), for log lines.
    QString operation() const { return m_operation; }
    // Ends the exchange without emitting finished.
    void abort();

signals:
    void finished(const SoapResult &result);

private:
    friend class OnvifSoapClient;

    SoapCall(QNetworkReply *reply, ClockTimer *timer, const QString &operation, qint64 maxReplyBytes,
             QObject *parent);

    void collect();
    void answerChallenge(QAuthenticator *authenticator, const QString &user, const QString &password);
    void timedOut();
    void done();
    void finish(SoapResult result);

    QPointer<QNetworkReply> m_reply;
    ClockTimer *m_timer;
    QString m_operation;
    QString m_host;
    QByteArray m_received;
    qint64 m_maxReplyBytes;
    bool m_answeredChallenge = false;
    bool m_tooLarge = false;
    bool m_timedOut = false;
    bool m_finished = false;
};
