#include "camsim/Head.h"

#include <algorithm>
#include <cmath>

Head::Head()
{
    m_clock.start();
}

void Head::advance()
{
    const qint64 now = m_clock.elapsed();
    const double dt = static_cast<double>(now - m_lastMs) / 1000.0;
    m_lastMs = now;
    if (dt <= 0)
        return;
    m_pan = std::clamp(m_pan + m_panSpeed * MaxPanSpeed * dt, PanMin, PanMax);
    m_tilt = std::clamp(m_tilt + m_tiltSpeed * MaxTiltSpeed * dt, TiltMin, TiltMax);
    m_zoom = std::clamp(m_zoom * std::exp2(m_zoomSpeed * MaxZoomSpeed * dt), ZoomMin, ZoomMax);
}

void Head::setPanTiltSpeed(double pan, double tilt)
{
    advance();
    m_panSpeed = std::clamp(pan, -1.0, 1.0);
    m_tiltSpeed = std::clamp(tilt, -1.0, 1.0);
}

void Head::setZoomSpeed(double zoom)
{
    advance();
    m_zoomSpeed = std::clamp(zoom, -1.0, 1.0);
}

void Head::stop()
{
    advance();
    m_panSpeed = m_tiltSpeed = m_zoomSpeed = 0;
}

void Head::setPosition(double pan, double tilt, double zoom)
{
    advance();
    m_pan = std::clamp(pan, PanMin, PanMax);
    m_tilt = std::clamp(tilt, TiltMin, TiltMax);
    m_zoom = std::clamp(zoom, ZoomMin, ZoomMax);
}

double Head::pan()
{
    advance();
    return m_pan;
}

double Head::tilt()
{
    advance();
    return m_tilt;
}

double Head::zoom()
{
    advance();
    return m_zoom;
}

// A head pressed against its limits is not moving any more on that axis.
bool Head::isPanTiltMoving()
{
    advance();
    const bool panning = (m_panSpeed > 0 && m_pan < PanMax) || (m_panSpeed < 0 && m_pan > PanMin);
    const bool tilting = (m_tiltSpeed > 0 && m_tilt < TiltMax) || (m_tiltSpeed < 0 && m_tilt > TiltMin);
    return panning || tilting;
}

bool Head::isZoomMoving()
{
    advance();
    return (m_zoomSpeed > 0 && m_zoom < ZoomMax) || (m_zoomSpeed < 0 && m_zoom > ZoomMin);
}

double Head::fieldOfView()
{
    return 50.0 / zoom();
}
