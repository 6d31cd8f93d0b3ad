#include "platform/SocketStream.h"

#include <QTcpSocket>

SocketStream::SocketStream(QObject *parent)
    : QObject(parent)
{
}

SocketStream::~SocketStream()
{
    close();
}

void SocketStream::open(const QHostAddress &host, quint16 port)
{
    close();
    m_ended = false;
    m_socket = new QTcpSocket(this);
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(m_socket, &QTcpSocket::connected, this, [this] {
        emit openCompleted();
        emit hasSpaceAvailable();
    });
    connect(m_socket, &QTcpSocket::readyRead, this, &SocketStream::hasBytesAvailable);
    connect(m_socket, &QTcpSocket::bytesWritten, this, [this] {
        if (m_socket && m_socket->bytesToWrite() < SendLimit)
            emit hasSpaceAvailable();
    });
    connect(m_socket, &QTcpSocket::errorOccurred, this, &SocketStream::handleError);
    connect(m_socket, &QTcpSocket::disconnected, this, [this] {
        if (!m_ended) {
            m_ended = true;
            emit endEncountered();
        }
    });
    m_socket->connectToHost(host, port);
}

void SocketStream::close()
{
    if (!m_socket)
        return;
    QTcpSocket *socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

bool SocketStream::isOpen() const
{
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

qint64 SocketStream::bytesAvailable() const
{
    return m_socket ? m_socket->bytesAvailable() : 0;
}

qint64 SocketStream::read(char *data, qint64 maxSize)
{
    if (!m_socket)
        return -1;
    return m_socket->read(data, maxSize);
}

qint64 SocketStream::write(const char *data, qint64 size)
{
    if (!isOpen())
        return -1;
    const qint64 room = SendLimit - m_socket->bytesToWrite();
    if (room <= 0)
        return 0;
    return m_socket->write(data, std::min(size, room));
}

void SocketStream::handleError(QAbstractSocket::SocketError error)
{
    if (!m_socket || m_ended)
        return;
    if (error == QAbstractSocket::RemoteHostClosedError) {
        m_ended = true;
        emit endEncountered();
        return;
    }
    m_ended = true;
    emit errorOccurred(m_socket->errorString());
}
