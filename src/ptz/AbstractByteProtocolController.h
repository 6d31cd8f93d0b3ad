#pragma once

#include "ptz/PTZControllerBase.h"

#include <QByteArray>
#include <QString>

#include <array>

class SocketStream;

// The engine of the controllers that keep one TCP connection to a serial adapter or
// head: output queue, pacing of frames against replies, the tick that turns the
// gathered motion into normalised pan, tilt and zoom, and the reading of replies.
// Subclasses lay out the frames and parse the replies.
//
// At most one frame is in the stream at a time: a frame is written only after the
// stream has taken the previous one, and the next tick waits for a reply (or the
// 0.3-second allowance) and at least 0.1 s.
class AbstractByteProtocolController : public PTZControllerBase
{
    Q_OBJECT

public:
    static constexpr int BufferSize = 512;
    static constexpr int CommandSize = 256;
    static constexpr int DefaultPort = 10001;
    static constexpr qint64 ReplyAllowanceMs = 300;

    bool initWithParameters(const Value &definition) override;
    void disconnect() override;

    void openStreamsForHost(const QString &host, int port);
    // Queues one frame; a frame that does not fit the output queue is dropped whole.
    void sendBytes(const quint8 *bytes, int length);
    void writeToOutputStream();

protected:
    explicit AbstractByteProtocolController(Clock &clock, QObject *parent = nullptr);

    static void setBit(int bit, quint8 *byte, bool value);

    // The bytes that go on the wire for one frame; the default sends them unchanged.
    virtual QByteArray preProcessMessage(const quint8 *bytes, int length);
    // Header, address, checksum and trailer around what the fill-ins wrote.
    virtual void fillInCommandPacket(quint8 *buffer);
    virtual void fillInStopPacket(quint8 *buffer) = 0;
    // pan, tilt and zoom in -1..1: pan positive turns right, tilt positive tilts up,
    // zoom positive zooms in.
    virtual void fillInPacket(quint8 *buffer, float pan, float tilt, float zoom) = 0;
    // Consumes what it recognises from the received bytes; the default discards all.
    virtual void processResponseBuffer();

    const quint8 *inBuffer() const { return m_inBuffer.data(); }
    int inCount() const { return m_inCount; }
    // Drops count bytes from the front of the received bytes.
    void consumeInput(int count);
    void replyReceived() { m_responsePending = false; }

    quint32 m_idAddress = 0;
    bool m_dampenAxes = false;
    int m_packetSize = 0;

private:
    void handleTimer() override;
    void handleBytesAvailable();
    void handleSpaceAvailable();
    void handleEnd();
    void closeStreams();

    bool m_responsePending = false;
    bool m_readyToSend = false;
    int m_outCount = 0;
    int m_inCount = 0;
    SocketStream *m_stream = nullptr;
    std::array<quint8, BufferSize> m_inBuffer {};
    std::array<quint8, BufferSize> m_outBuffer {};
    std::array<quint8, CommandSize> m_cmdBuffer {};
    qint64 m_lastSend;
};
