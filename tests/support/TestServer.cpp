#include "support/TestServer.h"

#include <QRegularExpression>
#include <QTimer>

#include <algorithm>

TestServer::TestServer(Handler handler, QObject *parent)
    : QObject(parent)
    , m_handler(std::move(handler))
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            const qsizetype index = m_connections.size();
            m_connections.append({ socket, {}, 0, false });
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, index] {
                Connection &c = m_connections[index];
                c.received.append(socket->readAll());
                collectRequests(c);
                if (m_handler)
                    m_handler(socket, c.received);
            });
            connect(socket, &QTcpSocket::disconnected, this, [this, index] { m_connections[index].closed = true; });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    m_server.listen(QHostAddress::LocalHost, 0);
}

TestServer::~TestServer()
{
    // The sockets go with the server, after the list they report into.
    for (const Connection &c : std::as_const(m_connections)) {
        if (c.socket)
            c.socket->disconnect(this);
    }
}

TestServer::Handler TestServer::http(std::function<void(QTcpSocket *, const QByteArray &)> respond)
{
    return httpWithBody([respond = std::move(respond)](QTcpSocket *socket, const QByteArray &head,
                                                       const QByteArray &) { respond(socket, head); });
}

TestServer::Handler
TestServer::httpWithBody(std::function<void(QTcpSocket *, const QByteArray &, const QByteArray &)> respond)
{
    return [respond = std::move(respond)](QTcpSocket *socket, const QByteArray &received) {
        // Every complete request on the connection is answered once.
        for (;;) {
            const qsizetype from = socket->property("answeredUpTo").toLongLong();
            const qsizetype headEnd = received.indexOf("\r\n\r\n", from);
            if (headEnd < 0)
                return;
            const QByteArray head = received.mid(from, headEnd + 4 - from);
            static const QRegularExpression lengthHeader(QStringLiteral("(?i)\r\ncontent-length: *(\\d+)"));
            const qsizetype length = lengthHeader.match(QString::fromLatin1(head)).captured(1).toLongLong();
            if (received.size() < headEnd + 4 + length)
                return;
            socket->setProperty("answeredUpTo", headEnd + 4 + length);
            respond(socket, head, received.mid(headEnd + 4, length));
        }
    };
}

TestServer::Handler TestServer::multipartStream(int intervalMs, std::function<QByteArray()> nextBody)
{
    return http([intervalMs, nextBody = std::move(nextBody)](QTcpSocket *socket, const QByteArray &) {
        socket->write(multipartHead("myb"));
        auto *timer = new QTimer(socket);
        timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer, &QTimer::timeout, socket,
                         [socket, nextBody] { socket->write(multipartPart("myb", nextBody())); });
        timer->start(intervalMs);
    });
}

void TestServer::collectRequests(Connection &connection)
{
    for (;;) {
        const qsizetype end = connection.received.indexOf("\r\n\r\n", connection.headsEnd);
        if (end < 0)
            return;
        m_requests.append(connection.received.mid(connection.headsEnd, end + 4 - connection.headsEnd));
        connection.headsEnd = end + 4;
    }
}

int TestServer::closedCount() const
{
    return static_cast<int>(
        std::count_if(m_connections.cbegin(), m_connections.cend(), [](const Connection &c) { return c.closed; }));
}

QList<QTcpSocket *> TestServer::openSockets() const
{
    QList<QTcpSocket *> open;
    for (const Connection &c : m_connections) {
        if (c.socket && c.socket->state() == QAbstractSocket::ConnectedState)
            open.append(c.socket);
    }
    return open;
}

QList<QByteArray> TestServer::received() const
{
    QList<QByteArray> list;
    for (const Connection &c : m_connections)
        list.append(c.received);
    return list;
}

QStringList TestServer::targets() const
{
    QStringList list;
    for (const QByteArray &head : m_requests)
        list.append(QString::fromLatin1(head.left(head.indexOf("\r\n")).split(' ').value(1)));
    return list;
}

void TestServer::send(const QByteArray &bytes)
{
    if (!m_connections.isEmpty() && m_connections.last().socket)
        m_connections.last().socket->write(bytes);
}

QByteArray multipartHead(const QByteArray &boundaryParameter)
{
    return "HTTP/1.0 200 OK\r\nContent-Type: multipart/x-mixed-replace; boundary=" + boundaryParameter
        + "\r\nCache-Control: no-cache\r\n\r\n";
}

QByteArray multipartPart(const QByteArray &boundary, const QByteArray &body, bool withLength)
{
    QByteArray part = "--" + boundary + "\r\nContent-Type: image/jpeg\r\n";
    if (withLength)
        part += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    return part + "\r\n" + body + "\r\n";
}
