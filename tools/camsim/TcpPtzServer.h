#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

class QTcpSocket;
class SimCamera;

// A serial-to-network adapter in front of one pan/tilt head: accepts TCP clients,
// keeps a bounded input buffer per client and lets the protocol consume it.
class TcpPtzServer : public QObject
{
    Q_OBJECT

public:
    static constexpr qsizetype MaxBuffered = 4096;

    explicit TcpPtzServer(SimCamera *camera, QObject *parent = nullptr);

    bool listen(const QHostAddress &address, quint16 port);
    quint16 port() const { return m_server.serverPort(); }

protected:
    // Consumes what it can from the front of buffer; bytes it leaves wait for more.
    virtual void parse(QByteArray &buffer, QTcpSocket *socket) = 0;

    SimCamera *camera() const { return m_camera; }

private:
    SimCamera *m_camera;
    QTcpServer m_server;
};
