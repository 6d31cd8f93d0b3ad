#include "ptz/PTZMotion.h"

#include <cmath>

namespace {

float addInterval(float sum, double interval)
{
    return static_cast<float>(static_cast<double>(sum) + interval);
}

} // namespace

void PTZMotion::updateChange(float changeX, float changeY, double interval)
{
    m_gathered.changeX += changeX;
    m_gathered.changeY += changeY;
    m_gathered.xyInterval = addInterval(m_gathered.xyInterval, interval);
}

void PTZMotion::updatePinch(float changePinch, double interval)
{
    m_gathered.changePinch += changePinch;
    m_gathered.pinchInterval = addInterval(m_gathered.pinchInterval, interval);
}

void PTZMotion::setHolding(bool holding, float changeX, float changeY, float changePinch, double interval)
{
    m_isHolding = holding;
    m_gathered.changeX = changeX;
    m_gathered.changeY = changeY;
    m_gathered.changePinch = changePinch;
    m_gathered.xyInterval = static_cast<float>(interval);
    m_gathered.pinchInterval = static_cast<float>(interval);
}

PTZMotion::Sample PTZMotion::take()
{
    const Sample taken = m_gathered;
    m_gathered = Sample();
    return taken;
}

PTZMotion::Action PTZMotion::nextAction(Sample *taken)
{
    *taken = take();
    if (taken->isStill())
        return m_stop.stopDue(m_isHolding) ? Action::Stop : Action::None;
    m_stop.moved();
    return Action::Move;
}

float PTZMotion::rate(float change, float interval, float fullSpeed)
{
    if (!(interval > 0))
        return 0;
    const float r = (change / interval) / fullSpeed;
    if (std::isnan(r))
        return 0;
    if (r < -1)
        return -1;
    if (r > 1)
        return 1;
    return r;
}
