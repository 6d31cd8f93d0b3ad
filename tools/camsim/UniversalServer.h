#pragma once

#include "camsim/TcpPtzServer.h"

// QuickSet Universal: CR-terminated XML-like envelopes (SYSTEM, JOG with AZ/EL,
// JOGCAM with Z, STOP). The head answers nothing.
class UniversalServer final : public TcpPtzServer
{
    Q_OBJECT

public:
    using TcpPtzServer::TcpPtzServer;

protected:
    void parse(QByteArray &buffer, QTcpSocket *socket) override;

private:
    void apply(const QByteArray &message);
};
