#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

// A TCP peer on 127.0.0.1 with an ephemeral port, living on the test's main thread.
// It records what each connection receives; the handler sees a connection's bytes
// so far after each read and may answer or close.
class TestServer final : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void(QTcpSocket *socket, const QByteArray &received)>;

    explicit TestServer(Handler handler = {}, QObject *parent = nullptr);
    ~TestServer() override;

    // An HTTP server calling respond once per request head received.
    static Handler http(std::function<void(QTcpSocket *socket, const QByteArray &request)> respond);
    // The same, once the request's body (by its Content-Length) has come too.
    static Handler httpWithBody(
        std::function<void(QTcpSocket *socket, const QByteArray &head, const QByteArray &body)> respond);
    // An HTTP server answering every request with an endless multipart stream, boundary
    // "myb", one part every intervalMs with the body nextBody gives.
    static Handler multipartStream(int intervalMs, std::function<QByteArray()> nextBody);

    quint16 port() const { return m_server.serverPort(); }
    int connectionCount() const { return static_cast<int>(m_connections.size()); }
    // Connections that have ended, closed from either side.
    int closedCount() const;
    // Connections whose socket is still open.
    QList<QTcpSocket *> openSockets() const;
    // Each connection's bytes, in the order the connections came.
    QList<QByteArray> received() const;
    // Complete HTTP request heads (request line and headers), in the order they
    // arrived over all connections; a manager may open spare connections.
    const QList<QByteArray> &requests() const { return m_requests; }
    int requestCount() const { return static_cast<int>(m_requests.size()); }
    // The request lines' targets, e.g. "/path?query".
    QStringList targets() const;
    void setHandler(Handler handler) { m_handler = std::move(handler); }
    // Writes to the most recent connection.
    void send(const QByteArray &bytes);

private:
    struct Connection
    {
        QPointer<QTcpSocket> socket;
        QByteArray received;
        // Where the search for the next request head goes on.
        qsizetype headsEnd = 0;
        bool closed = false;
    };

    void collectRequests(Connection &connection);

    QTcpServer m_server;
    Handler m_handler;
    QList<Connection> m_connections;
    QList<QByteArray> m_requests;
};

// The head of a multipart/x-mixed-replace response.
QByteArray multipartHead(const QByteArray &boundaryParameter);
// One part: "--" boundary, headers, blank line, body, CR LF.
QByteArray multipartPart(const QByteArray &boundary, const QByteArray &body, bool withLength = true);
