#include "ptz/HttpPeer.h"

#include <QPointer>
#include <QTcpSocket>

HttpPeer::HttpPeer(QObject *parent)
    : QObject(parent)
    , m_server(this)
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection())
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequests(socket); });
    });
}

void HttpPeer::readRequests(QTcpSocket *socket)
{
    QByteArray buffered = socket->property("buffered").toByteArray() + socket->readAll();
    qsizetype end;
    while ((end = buffered.indexOf("\r\n\r\n")) >= 0) {
        const QByteArray head = buffered.left(end);
        buffered.remove(0, end + 4);
        const qsizetype lineEnd = head.indexOf("\r\n");
        Request request { head.left(lineEnd), lineEnd < 0 ? QByteArray() : head.mid(lineEnd + 2) };
        m_requests.append(request);
        if (m_holding)
            m_held.append({ socket, request });
        else
            answer(socket, request);
    }
    socket->setProperty("buffered", buffered);
}

void HttpPeer::answer(QTcpSocket *socket, const Request &request)
{
    if (!m_challenge.isEmpty() && !request.headers.toLower().contains("authorization:")) {
        socket->write("HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: " + m_challenge
                      + "\r\nContent-Length: 0\r\n\r\n");
        return;
    }
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: "
                  + QByteArray::number(m_body.size()) + "\r\n\r\n" + m_body);
}

void HttpPeer::setHolding(bool holding)
{
    m_holding = holding;
    if (holding)
        return;
    const auto held = std::exchange(m_held, {});
    for (const auto &[socket, request] : held) {
        if (socket->state() == QAbstractSocket::ConnectedState)
            answer(socket, request);
    }
}

QStringList HttpPeer::targets() const
{
    QStringList list;
    for (const Request &r : m_requests)
        list.append(QString::fromLatin1(r.line.split(' ').value(1)));
    return list;
}
