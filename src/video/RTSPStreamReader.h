#pragma once

#include "video/RTSPStreamSession.h"
#include "video/StreamReader.h"

#include "platform/Clock.h"

#include <QSize>

// The frame producer for RTSP cameras (H.264, H.265, Motion JPEG over RTP): the
// public half on the main thread, its session alone on a thread of its own, so that
// every stream decodes beside the others. Reconnects with the spacing of
// StreamReader; "video.transport" picks TCP, UDP or, otherwise, UDP then TCP.
class RTSPStreamReader final : public StreamReader
{
    Q_OBJECT

public:
    explicit RTSPStreamReader(Clock &clock = Clock::system(), QObject *parent = nullptr);
    // Waits for its thread, which the interrupt callback frees at once.
    ~RTSPStreamReader() override;

    void start() override;
    void stop() override;
    void getSingleFrame(double delaySeconds) override;
    QByteArray newestPart() const override;
    QString requestDescription() const override;

    static RTSPStreamSession::Transport transport(const Value &params);

signals:
    // The first picture of a connection: what the stream is and how it is decoded.
    void decoding(const QString &codec, QSize size, bool hardware);

private:
    void connectNow() override;
    RTSPStreamSession *rtspSession() const;
    void beginConnecting();

    quint64 m_connection = 0;
    quint64 m_ended = 0;
    CameraState m_endState = CameraState::Idle;
    QString m_endReason;
};
