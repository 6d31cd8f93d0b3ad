#include "ptz/AxisPTZController.h"

#include "config/Value.h"

AxisPTZController::AxisPTZController(Clock &clock, QObject *parent)
    : HttpPTZController(clock, QStringLiteral("Axis"), parent)
{
}

bool AxisPTZController::initWithParameters(const Value &definition)
{
    const Value parms = controlParameters(definition, "Axis PTZ controller");
    if (parms.isNull())
        return false;
    trustCertificateOf(definition);
    const QString port = parms.value(QStringLiteral("control.port")).toString();
    const QString camera = parms.hasText(QStringLiteral("control.camera_number"))
        ? parms.value(QStringLiteral("control.camera_number")).toString()
        : QStringLiteral("1");
    m_ctrlURL = QStringLiteral("%1://%2%3%4/axis-cgi/com/ptz.cgi?camera=%5&")
                    .arg(parms.value(QStringLiteral("control.ssl")).toBool() ? QStringLiteral("https")
                                                                              : QStringLiteral("http"),
                         credentials(parms), parms.value(QStringLiteral("control.host")).toString(),
                         port.isEmpty() ? QString() : QLatin1Char(':') + port, camera);
    startTicking();
    return true;
}

void AxisPTZController::sendCommand(const QString &command)
{
    startRequest(m_ctrlURL + command);
}

void AxisPTZController::handleTimer()
{
    if (!mayIssue())
        return;
    PTZMotion::Sample m;
    switch (m_motion.nextAction(&m)) {
    case PTZMotion::Action::None:
        return;
    case PTZMotion::Action::Stop:
        sendCommand(QStringLiteral("continuouspantiltmove=0,0&continuouszoommove=0"));
        return;
    case PTZMotion::Action::Move:
        break;
    }
    // Full speed at 1000 points per second across, 700 up and down, 300 pinching.
    const int pan = static_cast<int>(PTZMotion::rate(-m.changeX, m.xyInterval, 1000) * 100);
    const int tilt = static_cast<int>(PTZMotion::rate(m.changeY, m.xyInterval, 700) * 100);
    const int zoom = static_cast<int>(PTZMotion::rate(m.changePinch, m.pinchInterval, 300) * 100);
    sendCommand(QStringLiteral("continuouspantiltmove=%1,%2&continuouszoommove=%3").arg(pan).arg(tilt).arg(zoom));
}
