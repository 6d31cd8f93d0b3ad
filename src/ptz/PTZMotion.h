#pragma once

// The motion every controller gathers between two ticks and the rule for when a
// stop is due. Finger changes are summed in single precision, intervals in double
// and stored in single, so that every protocol sees the same numbers.
class PTZMotion final
{
public:
    struct Sample
    {
        float changeX = 0;
        float changeY = 0;
        float xyInterval = 0;
        float changePinch = 0;
        float pinchInterval = 0;

        bool isStill() const { return changeX == 0 && changeY == 0 && changePinch == 0; }
    };

    // One stop after motion ends and none during a hold. Starts as stopped, so no
    // stop goes out before the first motion.
    class StopLatch final
    {
    public:
        void moved() { m_stopped = false; }
        // True once when a stop is to be sent now.
        bool stopDue(bool holding)
        {
            if (holding || m_stopped)
                return false;
            m_stopped = true;
            return true;
        }

    private:
        bool m_stopped = true;
    };

    enum class Action { None, Stop, Move };

    void updateChange(float changeX, float changeY, double interval);
    void updatePinch(float changePinch, double interval);
    void setHolding(bool holding, float changeX, float changeY, float changePinch, double interval);

    bool isHolding() const { return m_isHolding; }

    // Hands over what was gathered and starts again from zero.
    Sample take();
    // The common tick: takes the motion into *taken and says what to send.
    Action nextAction(Sample *taken);

    // (change / interval) / fullSpeed clamped to -1..1; 0 when the interval is not
    // positive or the rate is not a number. The sign of a zero change is kept.
    static float rate(float change, float interval, float fullSpeed);

private:
    Sample m_gathered;
    bool m_isHolding = false;
    StopLatch m_stop;
};
