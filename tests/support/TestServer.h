#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

// A TCP server on 127.0.0.1 with an ephemeral port, living on the test's main thread.
// The handler sees every connection's received bytes so far after each read; it may
// answer, close, or take bytes out of the buffer it is given.
class TestServer final : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void(QTcpSocket *socket, QByteArray &received)>;

    explicit TestServer(Handler handler, QObject *parent = nullptr);

    // An HTTP server calling respond once per request head received.
    static Handler http(std::function<void(QTcpSocket *socket, const QByteArray &request)> respond);
    // An HTTP server answering every request with an endless multipart stream, boundary
    // "myb", one part every intervalMs with the body nextBody gives.
    static Handler multipartStream(int intervalMs, std::function<QByteArray()> nextBody);

    quint16 port() const { return m_server.serverPort(); }
    int connectionCount() const { return m_connectionCount; }
    // Complete HTTP request heads received (a manager may open spare connections).
    int requestCount() const;
    // Connections whose socket is still open.
    QList<QTcpSocket *> openSockets() const;
    QList<QByteArray> received() const { return m_received; }
    void setHandler(Handler handler) { m_handler = std::move(handler); }

private:
    QTcpServer m_server;
    Handler m_handler;
    int m_connectionCount = 0;
    QList<QPointer<QTcpSocket>> m_sockets;
    QList<QByteArray> m_received;
};

// The head of a multipart/x-mixed-replace response.
QByteArray multipartHead(const QByteArray &boundaryParameter);
// One part: "--" boundary, headers, blank line, body, CR LF.
QByteArray multipartPart(const QByteArray &boundary, const QByteArray &body, bool withLength = true);
