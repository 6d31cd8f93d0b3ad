#pragma once

#include "video/CameraState.h"
#include "video/FrameDecoder.h"

#include "config/Value.h"
#include "platform/Clock.h"
#include "util/LogLimiter.h"

#include <QByteArray>
#include <QImage>
#include <QMutex>
#include <QObject>

#include <atomic>
#include <memory>
#include <vector>

class FrameConsumer;

// The worker-thread half of a stream reader: it owns the connection, the consumer
// set and the frame delivery. Its reader (the main-thread half) reaches it only by
// queued calls and the two atomic flags; it answers only through queued signals, so
// either half may go away while the other is busy.
//
// Complete parts are offered here; only the newest waiting one is decoded, once the
// worker gets to it and every consumer can show it, at the size they paint.
class StreamSession : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 FailureLogSpacingMs = 60000;
    static constexpr int NotVideoRun = 3;

    explicit StreamSession(Clock &clock, QObject *parent = nullptr);
    ~StreamSession() override;

    void addConsumer(const std::shared_ptr<FrameConsumer> &consumer);
    void removeConsumer(const std::shared_ptr<FrameConsumer> &consumer);

    // Closes the current connection; nothing of it is reported afterwards.
    virtual void stopInternal() = 0;

    // The bytes of the newest part received, for a snapshot at full size. Any thread.
    QByteArray newestPart() const;

    // Written by the reader on the main thread, read and cleared here.
    std::atomic<bool> connected = false;
    std::atomic<bool> singleFrame = false;

signals:
    // Each names the connection (its generation) it is about, so that the reader can
    // ignore news of a connection it has already replaced.
    void reconnectRequested(quint64 generation);
    void restartRequested(quint64 generation);
    void stopRequested(quint64 generation);
    // What went wrong, in the state the views show and the reason that was logged.
    void failed(quint64 generation, CameraState state, const QString &reason);
    // The camera's certificate failed the checks and is not the trusted one.
    void certificatePresented(quint64 generation, const QString &fingerprint);
    // The connection's first picture, and the first after parts that did not decode.
    void playing(quint64 generation);

protected:
    // A complete part and the bytes received for it; it replaces any part still waiting.
    void offerPart(const QByteArray &part, qint64 bytes);
    // Parts dropped before they were offered.
    void countSkipped(int count);
    // Logs a line about this camera, holding back repeats within a minute.
    void logLimited(LogLevel level, const QString &line) { QEL_LOG_LIMITED(m_log, level, line, m_clock.now()); }
    // Asks every consumer whether it can show a picture now (each one still showing
    // one keeps the waker) and gives the largest size they paint.
    bool consumersReady(QSize *target);
    bool hasConsumers() const { return !m_consumers.empty(); }
    // Hands a picture, null when it did not decode, to every consumer; the first
    // picture of a connection is announced by playing.
    void deliverPicture(const QImage &picture, qint64 bytes);
    // Decodes the waiting picture when every consumer can show it; the waker calls it.
    virtual void decodePending();
    // Called for every picture that decoded, after the consumers have it.
    virtual void pictureShown() {}

    Clock &m_clock;
    quint64 m_generation = 0;
    Value m_params;

private:
    class Waker;

    void reportUndecodable(qsizetype size);

    std::vector<std::shared_ptr<FrameConsumer>> m_consumers;
    std::shared_ptr<Waker> m_waker;
    FrameDecoder m_decoder;
    QByteArray m_pending;
    qint64 m_pendingBytes = 0;
    bool m_decodeQueued = false;
    mutable QMutex m_newestMutex;
    QByteArray m_newest;
    LogLimiter m_log;
    int m_undecodable = 0;
    // Parts in a row that did not decode; a few of them make the stream "not video".
    int m_undecodableRun = 0;
    qint64 m_lastFailureLog = Clock::DistantPast;
    quint64 m_playingGeneration = 0;
};
