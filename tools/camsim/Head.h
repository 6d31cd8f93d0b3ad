#pragma once

#include <QElapsedTimer>

// A virtual pan/tilt/zoom head. Continuous protocols set velocities, absolute ones
// set positions; the position is integrated lazily from a monotonic clock.
class Head final
{
public:
    static constexpr double PanMin = -170.0;
    static constexpr double PanMax = 170.0;
    static constexpr double TiltMin = -45.0;
    static constexpr double TiltMax = 45.0;
    static constexpr double ZoomMin = 1.0;
    static constexpr double ZoomMax = 10.0;
    // Full speed of the continuous protocols.
    static constexpr double MaxPanSpeed = 60.0;  // degrees per second
    static constexpr double MaxTiltSpeed = 40.0; // degrees per second
    static constexpr double MaxZoomSpeed = 1.0;  // doublings of magnification per second

    Head();

    // Fractions of full speed in -1..1: pan > 0 turns right, tilt > 0 up, zoom > 0 in.
    void setPanTiltSpeed(double pan, double tilt);
    void setZoomSpeed(double zoom);
    void stop();
    void setPosition(double pan, double tilt, double zoom);

    double pan();
    double tilt();
    double zoom();
    bool isMoving() { return isPanTiltMoving() || isZoomMoving(); }
    bool isPanTiltMoving();
    bool isZoomMoving();
    // Horizontal field of view in degrees at the current zoom.
    double fieldOfView();

private:
    void advance();

    QElapsedTimer m_clock;
    qint64 m_lastMs = 0;
    double m_pan = 0;
    double m_tilt = 0;
    double m_zoom = 1;
    double m_panSpeed = 0;
    double m_tiltSpeed = 0;
    double m_zoomSpeed = 0;
};
