#pragma once

#include "config/Value.h"

#include <QImage>
#include <QObject>

#include <atomic>
#include <memory>
#include <vector>

class FrameConsumer;

// The worker-thread half of a stream reader: it owns the connection, the consumer
// set and the frame delivery. Its reader (the main-thread half) reaches it only by
// queued calls and the two atomic flags; it answers only through queued signals, so
// either half may go away while the other is busy.
class StreamSession : public QObject
{
    Q_OBJECT

public:
    explicit StreamSession(QObject *parent = nullptr);

    void addConsumer(const std::shared_ptr<FrameConsumer> &consumer);
    void removeConsumer(const std::shared_ptr<FrameConsumer> &consumer);

    // Closes the current connection; nothing of it is reported afterwards.
    virtual void stopInternal() = 0;

    // Written by the reader on the main thread, read and cleared here.
    std::atomic<bool> connected = false;
    std::atomic<bool> singleFrame = false;

    static QImage decodeFrame(const QByteArray &bytes);

signals:
    // Each names the connection (its generation) it is about, so that the reader can
    // ignore news of a connection it has already replaced.
    void reconnectRequested(quint64 generation);
    void restartRequested(quint64 generation);
    void stopRequested(quint64 generation);
    void failed(const QString &reason);
    // The connection's first picture; once per connection.
    void playing(quint64 generation);

protected:
    void pushFrame(const QImage &picture, qint64 bytes);

    quint64 m_generation = 0;
    Value m_params;

private:
    std::vector<std::shared_ptr<FrameConsumer>> m_consumers;
    quint64 m_playingGeneration = 0;
};
