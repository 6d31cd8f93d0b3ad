#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTcpServer>

#include <functional>

class QTcpSocket;

// A TCP server on 127.0.0.1 with an ephemeral port that records what each
// connection receives and answers as the test tells it.
class TcpPeer final : public QObject
{
    Q_OBJECT

public:
    // Given a connection's unanswered bytes, removes what it handles from the front
    // and returns the answer to send.
    using Responder = std::function<QByteArray(QByteArray &unanswered)>;

    explicit TcpPeer(QObject *parent = nullptr);
    ~TcpPeer() override;

    quint16 port() const { return m_server.serverPort(); }
    void setResponder(Responder responder) { m_responder = std::move(responder); }

    int connectionCount() const { return static_cast<int>(m_connections.size()); }
    // Connections that the other side has closed.
    int closedCount() const;
    QByteArray received(int connection = 0) const;
    // Sends on the most recent connection.
    void send(const QByteArray &bytes);
    // Closes the most recent connection from this side.
    void closeLast();

private:
    struct Connection
    {
        QTcpSocket *socket = nullptr;
        QByteArray received;
        QByteArray unanswered;
        bool closed = false;
    };

    QTcpServer m_server;
    QList<Connection> m_connections;
    Responder m_responder;
};
