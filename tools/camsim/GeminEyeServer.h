#pragma once

#include "camsim/TcpPtzServer.h"

// QuickSet GeminEye: STX ... ETX frames whose inner control bytes are escaped
// (0x1B, then the byte with bit 7 set), checked by an XOR checksum; each frame is
// answered with ACK ... ETX, or NAK ... ETX when it is damaged.
class GeminEyeServer final : public TcpPtzServer
{
    Q_OBJECT

public:
    using TcpPtzServer::TcpPtzServer;

    static constexpr char STX = 0x02;
    static constexpr char ETX = 0x03;
    static constexpr char ACK = 0x06;
    static constexpr char NAK = 0x15;
    static constexpr char ESC = 0x1B;

    static QByteArray escape(const QByteArray &inner);

protected:
    void parse(QByteArray &buffer, QTcpSocket *socket) override;

private:
    void apply(const QByteArray &frame, QTcpSocket *socket);
};
