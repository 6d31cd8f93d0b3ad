#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

// An HTTP/1.1 server on 127.0.0.1 with an ephemeral port that records the request
// line and headers of every GET and answers with a fixed reply, or holds its
// answers back until released.
class HttpPeer final : public QObject
{
    Q_OBJECT

public:
    struct Request
    {
        QByteArray line;
        QByteArray headers;
    };

    explicit HttpPeer(QObject *parent = nullptr);

    quint16 port() const { return m_server.serverPort(); }

    void setBody(const QByteArray &body) { m_body = body; }
    // Requests without an Authorization header get a 401 with this challenge.
    void setChallenge(const QByteArray &wwwAuthenticate) { m_challenge = wwwAuthenticate; }
    // While holding, requests are recorded but not answered.
    void setHolding(bool holding);

    const QList<Request> &requests() const { return m_requests; }
    // The request lines' targets, e.g. "/path?query".
    QStringList targets() const;

private:
    void readRequests(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const Request &request);

    QTcpServer m_server;
    QList<Request> m_requests;
    QList<QPair<QTcpSocket *, Request>> m_held;
    QByteArray m_body;
    QByteArray m_challenge;
    bool m_holding = false;
};
