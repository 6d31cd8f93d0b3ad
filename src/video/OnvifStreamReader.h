#pragma once

#include "video/FrameProducer.h"

#include "util/LogLimiter.h"

#include <QSize>

class Clock;
class ClockTimer;
class OnvifResolver;
class RTSPStreamReader;

// Plays an ONVIF camera through an RTSP reader on the stored address of its main or
// grid stream. When there is none, or the stored one fails (not found, unreachable,
// not video), it asks the device again, at most once a minute, and plays what the
// device now says; a refused password is not asked again. Lives on the main thread
// like the RTSP reader's public half.
class OnvifStreamReader final : public FrameProducer
{
    Q_OBJECT

public:
    static constexpr qint64 ResolveSpacingMs = 60000;

    OnvifStreamReader(const Value &params, bool thumbnail, Clock &clock, QObject *parent = nullptr);
    ~OnvifStreamReader() override;

    void setConnectionParameters(const Value &params, const QUrl &videoURL) override;
    Value getConnectionParameters() const override;
    void addConsumer(const std::shared_ptr<FrameConsumer> &consumer) override;
    void removeConsumer(const std::shared_ptr<FrameConsumer> &consumer) override;
    void start() override;
    void stop() override;
    void getSingleFrame(double delaySeconds) override;
    QByteArray newestPart() const override;
    QString requestDescription() const override;

    // The RTSP address played now; empty while the device is being asked.
    QUrl streamURL() const;

signals:
    // As RTSPStreamReader::decoding.
    void decoding(const QString &codec, QSize size, bool hardware);

private:
    void innerStateChanged(CameraState state, const QString &reason);
    void resolveAgain();
    void play(const QUrl &url);
    void resume();

    Clock &m_clock;
    Value m_params;
    bool m_thumbnail;
    RTSPStreamReader *m_rtsp;
    OnvifResolver *m_resolver;
    ClockTimer *m_retry;
    qint64 m_lastResolve;
    // What the caller asked for, to be done once an address is known.
    enum class Wanted { Nothing, Playing, SingleFrame } m_wanted = Wanted::Nothing;
    double m_singleFrameDelay = 0;
    LogLimiter m_limiter;
};
