#include "ptz/SonyPTZController.h"

#include "config/Value.h"
#include "util/Utilities.h"

#include <algorithm>
#include <cmath>

namespace {

// min(floor(steps * floor(|change|) / span), steps), computed without integer overflow.
int speedSteps(float change, int steps, int span)
{
    const double whole = std::floor(std::fabs(static_cast<double>(change)));
    return static_cast<int>(std::min(std::floor(steps * whole / span), static_cast<double>(steps)));
}

} // namespace

SonyPTZController::SonyPTZController(Clock &clock, QObject *parent)
    : HttpPTZController(clock, QStringLiteral("Sony"), parent)
{
}

bool SonyPTZController::initWithParameters(const Value &definition)
{
    const Value parms = controlParameters(definition, "Sony PTZ controller");
    if (parms.isNull())
        return false;
    QString url = parms.value(QStringLiteral("control.host")).toString();
    // A host counts as carrying its scheme only when it has one in full ("httpcam"
    // is a host name), so that the credentials below always have a place.
    if (!url.startsWith(QLatin1StringView("http")) || !url.contains(QLatin1StringView("://")))
        url.prepend(QLatin1StringView("http://"));
    const qint64 port = parms.value(QStringLiteral("control.port")).toInteger();
    const QString portPart = (port == 80 || port < 1) ? QString() : QStringLiteral(":%1").arg(port);
    url += portPart + QStringLiteral("/command/ptzf.cgi?");

    const QString userInfo = credentials(parms);
    if (!userInfo.isEmpty()) {
        QByteArray bytes = url.toUtf8();
        bytes.insert(Utilities::indexOfString(QStringLiteral("://"), url) + 3, userInfo.toUtf8());
        url = QString::fromUtf8(bytes);
    }
    m_ctrlURL = url;
    startTicking();
    return true;
}

void SonyPTZController::sendCommand(const QString &name, const QString &value)
{
    startRequest(value.isNull() ? m_ctrlURL + name : m_ctrlURL + name + QLatin1Char('=') + value);
}

void SonyPTZController::handleTimer()
{
    if (!mayIssue())
        return;
    PTZMotion::Sample m;
    switch (m_motion.nextAction(&m)) {
    case PTZMotion::Action::None:
        return;
    case PTZMotion::Action::Stop:
        sendCommand(QStringLiteral("Move"), QStringLiteral("stop,motor&Move=stop,zoom"));
        return;
    case PTZMotion::Action::Move:
        break;
    }
    // One step per 16 points across, 8 up and down, 40 pinching.
    const int p = speedSteps(m.changeX, 20, 320);
    const int t = speedSteps(m.changeY, 20, 160);
    const int z = speedSteps(m.changePinch, 8, 320);

    bool movePan = p >= 1;
    bool moveTilt = t >= 1;
    if (movePan && moveTilt && std::min(p, t) < 4 && std::abs(p - t) > 6) {
        movePan = p > t;
        moveTilt = t > p;
    }
    const QString tiltWord = m.changeY > 0 ? QStringLiteral("up") : QStringLiteral("down");
    const QString panWord = m.changeX < 0 ? QStringLiteral("right") : QStringLiteral("left");
    QString word;
    if (movePan && moveTilt)
        word = tiltWord + QLatin1Char('-') + panWord;
    else if (movePan)
        word = panWord;
    else if (moveTilt)
        word = tiltWord;

    if (m.xyInterval > 0 && !word.isEmpty()) {
        const int speed = std::fabs(m.changeX) > std::fabs(m.changeY) ? p : t;
        sendCommand(QStringLiteral("Move"), QStringLiteral("%1,%2").arg(word).arg(speed));
    }
    if (m.pinchInterval > 0 && z >= 1)
        sendCommand(QStringLiteral("Move"),
                    QStringLiteral("%1,%2").arg(m.changePinch > 0 ? QStringLiteral("tele") : QStringLiteral("wide")).arg(z));
}
