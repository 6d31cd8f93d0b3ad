#pragma once

#include "ptz/PTZController.h"
#include "ptz/PTZMotion.h"

#include "config/Value.h"

#include <functional>

class Clock;
class ClockTimer;
class SocketStream;

// What the seven controllers share: the clock, the repeating 0.1-second tick on the
// main thread and the gathered motion. Subclasses supply the tick itself.
class PTZControllerBase : public PTZController
{
    Q_OBJECT

public:
    static constexpr qint64 TickMs = 100;
    static constexpr int MaxReadsPerEvent = 8;

    void updateChangeX(float changeX, float changeY, double interval) override;
    void updateChangePinch(float changePinch, double interval) override;
    void setHolding(bool holding, float changeX, float changeY, float changePinch, double interval) override;

protected:
    explicit PTZControllerBase(Clock &clock, QObject *parent = nullptr);

    virtual void handleTimer() = 0;

    void startTicking();
    void stopTicking();

    // The definition's control parameters when they name a host; otherwise logs that
    // the controller called who failed to initialize and gives none.
    static Value controlParameters(const Value &definition, const char *who);

    // Reads what the stream holds into buffer behind the count bytes already there,
    // calling consume after each read. Bounded: a peer that keeps sending waits for
    // the next event. consume may close the stream (stream becomes null).
    static void readFromStream(SocketStream *const &stream, char *buffer, int capacity, int &count,
                               const std::function<void()> &consume);

    Clock &clock() const { return m_clock; }
    qint64 now() const;

    PTZMotion m_motion;

private:
    Clock &m_clock;
    ClockTimer *m_timer = nullptr;
};
