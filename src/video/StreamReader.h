#pragma once

#include "video/FrameProducer.h"

class Clock;
class ClockTimer;
class StreamSession;
class QThread;

// What both stream readers share on the main thread: the kept parameters, the
// consumer hand-off, start/stop/single-frame and the reconnect spacing. Connections
// are at least 2 seconds apart; after a connection that showed no picture the next
// waits 2 seconds from its end, doubling with each such connection in a row up to
// 30 seconds, until a picture comes. A camera that cannot be reached at all is asked
// at most 4 seconds apart, so one that reboots plays again within seconds of coming
// back; the long back-off is for cameras that answer and still fail.
class StreamReader : public FrameProducer
{
    Q_OBJECT

public:
    static constexpr qint64 ReconnectSpacingMs = 2000;
    static constexpr qint64 MaxBackOffMs = 30000;
    static constexpr qint64 UnreachableBackOffMs = 4000;

    ~StreamReader() override;

    void setConnectionParameters(const Value &params, const QUrl &videoURL) override;
    Value getConnectionParameters() const override;
    void addConsumer(const std::shared_ptr<FrameConsumer> &consumer) override;
    void removeConsumer(const std::shared_ptr<FrameConsumer> &consumer) override;
    void start() override;
    void stop() override;
    void getSingleFrame(double delaySeconds) override;
    QByteArray newestPart() const override;

    // True from a start or single-frame request until stop.
    bool isActive() const { return m_active; }
    // True while a delayed connect is pending.
    bool isWaiting() const;

protected:
    // Takes the session and moves it to the worker thread.
    StreamReader(QThread *thread, Clock &clock, StreamSession *session, QObject *parent);

    // Opens a connection now; the spacing has been checked and any old connection closed.
    virtual void connectNow() = 0;

    // Runs fn with the session on the worker thread, without waiting.
    template<typename Fn>
    void onWorker(Fn &&fn)
    {
        QMetaObject::invokeMethod(m_session, [s = m_session, f = std::forward<Fn>(fn)] { f(s); },
                                  Qt::QueuedConnection);
    }

    StreamSession *session() const { return m_session; }
    Clock &clock() const { return m_clock; }
    const Value &params() const { return m_params; }
    const QUrl &videoURL() const { return m_url; }
    // When the next connection may be made, on the clock's scale.
    qint64 nextConnectDue() const;
    // Marks a new connection as made now and returns its generation.
    quint64 beginConnection();

private:
    void startIntermediate();
    void closeConnection();
    bool isCurrent(quint64 generation) const { return m_active && generation == m_generation; }

    Clock &m_clock;
    StreamSession *m_session;
    ClockTimer *m_delayedStart;
    Value m_params;
    QUrl m_url;
    qint64 m_lastConnect;
    quint64 m_generation = 0;
    qint64 m_retryAt;
    int m_failures = 0;
    bool m_sawPicture = false;
    bool m_active = false;
};
