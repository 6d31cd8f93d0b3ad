#pragma once

#include "ptz/PTZController.h"
#include "ptz/PTZMotion.h"

class Clock;
class ClockTimer;

// What the seven controllers share: the clock, the repeating 0.1-second tick on the
// main thread and the gathered motion. Subclasses supply the tick itself.
class PTZControllerBase : public PTZController
{
    Q_OBJECT

public:
    static constexpr qint64 TickMs = 100;

    void updateChangeX(float changeX, float changeY, double interval) override;
    void updateChangePinch(float changePinch, double interval) override;
    void setHolding(bool holding, float changeX, float changeY, float changePinch, double interval) override;

protected:
    explicit PTZControllerBase(Clock &clock, QObject *parent = nullptr);

    virtual void handleTimer() = 0;

    void startTicking();
    void stopTicking();

    Clock &clock() const { return m_clock; }
    qint64 now() const;

    PTZMotion m_motion;

private:
    Clock &m_clock;
    ClockTimer *m_timer = nullptr;
};
