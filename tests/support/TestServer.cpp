#include "support/TestServer.h"

#include <QTimer>

TestServer::TestServer(Handler handler, QObject *parent)
    : QObject(parent)
    , m_handler(std::move(handler))
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            const qsizetype index = m_received.size();
            ++m_connectionCount;
            m_sockets.append(socket);
            m_received.append(QByteArray());
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, index] {
                m_received[index].append(socket->readAll());
                if (m_handler)
                    m_handler(socket, m_received[index]);
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    m_server.listen(QHostAddress::LocalHost, 0);
}

TestServer::Handler TestServer::http(std::function<void(QTcpSocket *, const QByteArray &)> respond)
{
    return [respond = std::move(respond)](QTcpSocket *socket, QByteArray &received) {
        // Every complete request head on the connection is answered once.
        for (;;) {
            const qsizetype from = socket->property("answeredUpTo").toLongLong();
            const qsizetype end = received.indexOf("\r\n\r\n", from);
            if (end < 0)
                return;
            socket->setProperty("answeredUpTo", end + 4);
            respond(socket, received.mid(from, end + 4 - from));
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

int TestServer::requestCount() const
{
    int count = 0;
    for (const QByteArray &bytes : m_received)
        count += static_cast<int>(bytes.count("\r\n\r\n"));
    return count;
}

QList<QTcpSocket *> TestServer::openSockets() const
{
    QList<QTcpSocket *> open;
    for (const QPointer<QTcpSocket> &socket : m_sockets) {
        if (socket && socket->state() == QAbstractSocket::ConnectedState)
            open.append(socket);
    }
    return open;
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
