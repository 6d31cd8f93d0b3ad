#pragma once

#include "video/MilestoneParser.h"
#include "video/StreamSession.h"

#include <QByteArray>

class ClockTimer;
class SocketStream;

// The worker-thread half of MilestoneMJPEGStreamReader: one TCP connection to the
// server's image service, the login and live requests, the pictures cut out by
// their "Content-length: " headers, and the heartbeat.
class MilestoneStreamSession final : public StreamSession
{
    Q_OBJECT

public:
    static constexpr qint64 HeartbeatMs = 5000;
    static constexpr qsizetype ReadSize = 36864;
    static constexpr qsizetype InputCapacity = 30000;
    static constexpr qsizetype OutputCapacity = 1000;
    static constexpr qsizetype MaxInput = 16 * 1024 * 1024;
    static constexpr quint16 DefaultPort = 80;

    explicit MilestoneStreamSession(Clock &clock, QObject *parent = nullptr);
    ~MilestoneStreamSession() override;

    void startInternal(quint64 generation, const Value &params, bool thumbnail);
    void stopInternal() override;

    // The requests, with their CR LF CR LF terminator.
    static QByteArray loginRequest(const Value &params);
    static QByteArray liveRequest(bool thumbnail);

private:
    void handleSpace();
    void handleBytes();
    void handleStreamError();
    void checkPulse();
    // False when the connection ended during the pass.
    bool parseInput();
    void doSend();
    void closeStream();
    void resetBuffers();
    // Logs at level 2 (repeats held back), drops the connection and asks for a
    // spaced reconnect.
    void failure(CameraState state, const QString &logLine);
    // The server's answer to the login refuses it.
    static bool refusesLogin(QByteArrayView answer);

    SocketStream *m_stream = nullptr;
    ClockTimer *m_pulseCheck = nullptr;
    QByteArray m_inputBuffer;
    QByteArray m_outputBuffer;
    MilestoneParser m_parser{ MaxInput };
    qint64 m_byteCount = 0;
    bool m_sentConnect = false;
    bool m_sentLive = false;
    bool m_gotData = false;
    // The server has sent something on this connection.
    bool m_answered = false;
    bool m_thumbnail = false;
};
