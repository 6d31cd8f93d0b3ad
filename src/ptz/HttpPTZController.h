#pragma once

#include "ptz/PTZControllerBase.h"

#include <QList>
#include <QNetworkAccessManager>
#include <QString>

class QNetworkReply;

// One HTTP GET per command, fired and forgotten: reply bodies and status codes are
// not read, only completion and failure. At most one tick's requests are in flight.
class HttpPTZController : public PTZControllerBase
{
    Q_OBJECT

public:
    static constexpr int RequestTimeoutMs = 5000;
    static constexpr qint64 MaxReplyBytes = 64 * 1024;

    void disconnect() override;

protected:
    // brand names the controller in its log lines, as in "error on Axis PTZ command".
    HttpPTZController(Clock &clock, const QString &brand, QObject *parent = nullptr);

    // "user:password@", "user@" or nothing, from the control parameters, unescaped.
    static QString credentials(const Value &controlParameters);

    // Trusts the camera's certificate that the user accepted for its video, if any.
    void trustCertificateOf(const Value &definition);

    // False while a request is pending or within 0.1 s of the last one.
    bool mayIssue() const;
    // Logs and starts one GET for urlText, bypassing every cache, with a 5-second limit.
    void startRequest(const QString &urlText);

    QNetworkAccessManager &network() { return m_network; }

    QString m_ctrlURL;

private:
    void requestDone(QNetworkReply *reply);

    QNetworkAccessManager m_network;
    QString m_brand;
    QString m_pinnedCertificate;
    QList<QNetworkReply *> m_currentCommands;
    qint64 m_lastSend;
};
