#include "camsim/TcpPtzServer.h"

#include "camsim/SimCamera.h"

#include <QTcpSocket>

#include <memory>

TcpPtzServer::TcpPtzServer(SimCamera *camera, QObject *parent)
    : QObject(parent)
    , m_camera(camera)
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            auto buffer = std::make_shared<QByteArray>();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
                // Read in bounded slices; an overlong unparsable run is dropped.
                while (socket->bytesAvailable() > 0) {
                    buffer->append(socket->read(MaxBuffered - buffer->size()));
                    parse(*buffer, socket);
                    if (buffer->size() >= MaxBuffered) {
                        m_camera->countBadFrame(QStringLiteral("%1 bytes without a complete message").arg(buffer->size()));
                        buffer->clear();
                    }
                }
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

bool TcpPtzServer::listen(const QHostAddress &address, quint16 port)
{
    if (!m_server.listen(address, port))
        return false;
    m_camera->setup().ptzPort = m_server.serverPort();
    return true;
}
