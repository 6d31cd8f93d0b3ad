#pragma once

#include "ptz/PTZControllerBase.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>

class ClockTimer;
class SocketStream;

// "Milestone PTZ": commands go through the video-management server, one connection
// per tick that has something to send: connect, live, then the PTZ commands, each
// written after the reply to the one before, and the connection closed after the
// last reply or after 2 seconds, whichever comes first.
//
// A tick with both a pan/tilt and a zoom command sends both on the one connection:
// the zoom command joins the queue after the pan/tilt command, without a second
// connect and live, and takes the next request id.
class MilestonePTZController final : public PTZControllerBase
{
    Q_OBJECT

public:
    static constexpr int BufferSize = 1024;
    static constexpr int DefaultPort = 80;
    static constexpr qint64 ConnectionLimitMs = 2000;

    explicit MilestonePTZController(Clock &clock, QObject *parent = nullptr);

    bool initWithParameters(const Value &definition) override;
    void disconnect() override;

private:
    enum class Command { PanTiltStart, PanTiltStop, ZoomStart, ZoomStop };

    void handleTimer() override;
    // Builds the command with the next id, then opens a connection with its
    // preamble unless one is open already, then queues the command.
    void sendCommand(Command command, int first = 0, int second = 0);
    void openStreamsForHost();
    void sendPreamble();
    void sendMessage(const QByteArray &message);
    void writeToOutputStream();
    void checkTimeout();
    void disconnectInternal();
    void processResponseBuffer();
    void handleBytesAvailable();
    void handleSpaceAvailable();

    QString m_host;
    int m_port = DefaultPort;
    QString m_user;
    QString m_pass;
    QString m_camID;
    int m_reqNum = 1;
    PTZMotion::StopLatch m_ptStop;
    PTZMotion::StopLatch m_zoomStop;
    bool m_responsePending = false;
    bool m_readyToSend = false;
    int m_inCount = 0;
    SocketStream *m_stream = nullptr;
    std::array<char, BufferSize> m_inBuffer {};
    QList<QByteArray> m_outQueue;
    qsizetype m_outIdx = 0;
    ClockTimer *m_timeoutChecker = nullptr;
};
