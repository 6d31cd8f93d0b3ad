#pragma once

#include "video/CameraState.h"
#include "video/CodecDecoder.h"
#include "video/PictureScaler.h"
#include "video/StreamSession.h"

#include <QByteArray>
#include <QMutex>
#include <QSize>

#include <atomic>

struct AVFormatContext;
struct AVFrame;
struct AVPacket;

// The worker half of RTSPStreamReader, alone on its own thread: libavformat's RTSP
// client reads a few packets per queued step, with stop requests and consumer
// changes handled between them; blocking calls end at once through the interrupt
// callback when the reader wants another connection (or none).
//
// Latency does not build up: one decoded picture at most waits for the consumers;
// when packets arrive later than their time stamps say by more than a few frames,
// frames no other frame needs are no longer decoded, and past a second the reader
// drops everything up to the next key frame.
class RTSPStreamSession final : public StreamSession
{
    Q_OBJECT

public:
    enum class Transport { Automatic, TCP, UDP };

    static constexpr qint64 SocketTimeoutUs = 5'000'000;
    // An open connection without a picture for this long is torn down.
    static constexpr qint64 SilenceLimitMs = 5000;
    static constexpr int MaxPacketSize = 16 * 1024 * 1024;
    static constexpr int LagFramesSkipping = 3;
    static constexpr qint64 LagMsToKeyFrame = 1000;
    // Packets read before the thread's event loop gets its turn again.
    static constexpr int PacketsPerStep = 16;

    explicit RTSPStreamSession(Clock &clock, QObject *parent = nullptr);
    ~RTSPStreamSession() override;

    // url carries the credentials; it never reaches a log line.
    void startInternal(quint64 generation, const Value &params, const QByteArray &url, Transport transport);
    void stopInternal() override;

    // The newest picture at full size as JPEG, for a snapshot; any thread.
    QByteArray newestPicture() const;

    // The connection the reader wants; any other is interrupted. Written on the main thread.
    std::atomic<quint64> wanted = 0;

signals:
    // The stream's first picture of a connection: its codec, size and decoder.
    void decoding(quint64 generation, const QString &codec, QSize size, bool hardware);

private:
    static int interruptCallback(void *opaque);

    void open(const QByteArray &url, Transport transport);
    void queueStep();
    void step();
    // Reads and decodes one packet; false when the connection has ended.
    bool readPacket();
    void handlePicture(AVFrame *frame, qint64 bytes);
    // Scales the waiting picture for the consumers when every one can show it.
    void decodePending() override;
    void catchUp(const AVPacket *packet);
    void fail(CameraState state, const QString &reason);
    void close();

    AVFormatContext *m_format = nullptr;
    AVPacket *m_packet = nullptr;
    AVFrame *m_pending = nullptr;
    qint64 m_pendingBytes = 0;
    CodecDecoder m_decoder;
    PictureScaler m_scaler;
    int m_videoStream = -1;
    double m_timeBaseMs = 0;
    double m_frameMs = 40;
    // When the interrupt callback ends the blocking call of this connection.
    qint64 m_deadline = 0;
    qint64 m_clockBase = 0;
    qint64 m_lastMedia = 0;
    bool m_hasBase = false;
    bool m_waitKeyFrame = true;
    bool m_skipping = false;
    bool m_intraOnly = false;
    bool m_announced = false;

    mutable QMutex m_newestMutex;
    AVFrame *m_newest = nullptr;
};
