#include "ptz/TcpPeer.h"

#include <QTcpSocket>

TcpPeer::TcpPeer(QObject *parent)
    : QObject(parent)
    , m_server(this)
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            const qsizetype index = m_connections.size();
            m_connections.append({ socket, {}, {}, false });
            connect(socket, &QTcpSocket::readyRead, this, [this, index] {
                Connection &c = m_connections[index];
                const QByteArray bytes = c.socket->readAll();
                c.received += bytes;
                c.unanswered += bytes;
                if (m_responder) {
                    const QByteArray answer = m_responder(c.unanswered);
                    if (!answer.isEmpty())
                        c.socket->write(answer);
                }
            });
            connect(socket, &QTcpSocket::disconnected, this, [this, index] { m_connections[index].closed = true; });
        }
    });
}

TcpPeer::~TcpPeer()
{
    // The sockets outlive the list they report into.
    for (const Connection &c : m_connections)
        c.socket->disconnect(this);
}

int TcpPeer::closedCount() const
{
    int n = 0;
    for (const Connection &c : m_connections)
        n += c.closed;
    return n;
}

QByteArray TcpPeer::received(int connection) const
{
    return connection < m_connections.size() ? m_connections.at(connection).received : QByteArray();
}

void TcpPeer::send(const QByteArray &bytes)
{
    if (!m_connections.isEmpty())
        m_connections.last().socket->write(bytes);
}

void TcpPeer::closeLast()
{
    if (!m_connections.isEmpty())
        m_connections.last().socket->disconnectFromHost();
}
