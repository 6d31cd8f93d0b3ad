#include "PTZControllerBase.h"

#include "platform/Clock.h"

PTZControllerBase::PTZControllerBase(Clock &clock, QObject *parent)
    : PTZController(parent)
    , m_clock(clock)
{
}

void PTZControllerBase::updateChangeX(float changeX, float changeY, double interval)
{
    m_motion.updateChange(changeX, changeY, interval);
}

void PTZControllerBase::updateChangePinch(float changePinch, double interval)
{
    m_motion.updatePinch(changePinch, interval);
}

void PTZControllerBase::setHolding(bool holding, float changeX, float changeY, float changePinch, double interval)
{
    m_motion.setHolding(holding, changeX, changeY, changePinch, interval);
}

void PTZControllerBase::startTicking()
{
    if (!m_timer) {
        m_timer = m_clock.createTimer(this);
        connect(m_timer, &ClockTimer::timeout, this, [this] { handleTimer(); });
    }
    m_timer->start(TickMs, true);
}

void PTZControllerBase::stopTicking()
{
    if (m_timer)
        m_timer->stop();
}

qint64 PTZControllerBase::now() const
{
    return m_clock.now();
}
