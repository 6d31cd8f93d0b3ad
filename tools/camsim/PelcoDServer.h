#pragma once

#include "camsim/TcpPtzServer.h"

// Pelco D: 7-byte frames (sync 0xFF, address, two command bytes, pan and tilt
// speed, checksum); each accepted frame is answered with a 4-byte response.
class PelcoDServer final : public TcpPtzServer
{
    Q_OBJECT

public:
    using TcpPtzServer::TcpPtzServer;

protected:
    void parse(QByteArray &buffer, QTcpSocket *socket) override;
};
