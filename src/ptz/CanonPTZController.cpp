#include "ptz/CanonPTZController.h"

#include "config/LogMask.h"
#include "config/Value.h"
#include "util/QelLog.h"

#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <cmath>
#include <limits>

namespace {

const QString PanKey = QStringLiteral("pan_current_value");
const QString TiltKey = QStringLiteral("tilt_current_value");
const QString ZoomKey = QStringLiteral("zoom_current_value");

int saturate(double value)
{
    if (std::isnan(value))
        return 0;
    if (value <= std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    if (value >= std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

} // namespace

CanonPTZController::CanonPTZController(Clock &clock, QObject *parent)
    : HttpPTZController(clock, QStringLiteral("Canon"), parent)
{
}

bool CanonPTZController::initWithParameters(const Value &definition)
{
    const Value parms = controlParameters(definition, "Canon PTZ controller");
    if (parms.isNull())
        return false;
    const QString port = parms.value(QStringLiteral("control.port")).toString();
    const QString portPart = port.isEmpty() ? QString() : QLatin1Char(':') + port;
    const QString userInfo = credentials(parms);
    const QString host = parms.value(QStringLiteral("control.host")).toString();
    m_ctrlURL = QStringLiteral("http://%1%2%3/-wvhttp-01-/control?").arg(userInfo, host, portPart);
    const QString infoURL = QStringLiteral("http://%1%2%3/-wvhttp-01-/GetCameraInfo").arg(userInfo, host, portPart);
    m_cameraInfo = { { QStringLiteral("cameraInfoStr"), infoURL } };

    if (!fetchCameraInfo(infoURL)) {
        disconnect();
        return false;
    }
    startTicking();
    return true;
}

bool CanonPTZController::fetchCameraInfo(const QString &infoURL)
{
    const QUrl url(infoURL, QUrl::StrictMode);
    if (!url.isValid()) {
        QEL_LOG(LogLevel::Error, QStringLiteral("main: Caught not a URL: ") + LogMask::text(infoURL));
        return false;
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(RequestTimeoutMs);
    QNetworkReply *reply = network().get(request);
    bool tooLarge = false;
    QEventLoop loop;
    connect(reply, &QNetworkReply::readyRead, &loop, [reply, &tooLarge] {
        if (reply->bytesAvailable() > MaxInfoBytes) {
            tooLarge = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // The viewer waits for the camera, as the whole start-up depends on its answer,
    // but touches must not act on a half-made controller meanwhile.
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    reply->deleteLater();
    if (tooLarge) {
        QEL_LOG(LogLevel::Error, QStringLiteral("main: Caught a reply of more than %1 bytes").arg(MaxInfoBytes));
        return false;
    }
    if (reply->error() != QNetworkReply::NoError) {
        QEL_LOG(LogLevel::Error, QStringLiteral("main: Caught ") + LogMask::text(reply->errorString()));
        return false;
    }
    return parseCameraInfo(reply->readAll(), &m_cameraInfo);
}

bool CanonPTZController::parseCameraInfo(const QByteArray &reply, QMap<QString, QString> *info)
{
    // The last byte is the final line feed, not the start of an empty line.
    const QString text = QString::fromUtf8(reply.first(std::max<qsizetype>(reply.size() - 1, 0)));
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (!line.contains(QLatin1Char('='))) {
            QEL_LOG(LogLevel::Error, QStringLiteral("main: Caught %1: %2")
                           .arg(QStringLiteral("MalformedCameraInfo"),
                                QStringLiteral("line %1 of the camera information has no \"=\"").arg(i + 1)));
            return false;
        }
        info->insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1, 1));
    }
    return true;
}

void CanonPTZController::sendCommand(const QString &command)
{
    startRequest(m_ctrlURL + command);
}

int CanonPTZController::info(const QString &key) const
{
    const qint64 value = Value::integerOf(m_cameraInfo.value(key));
    return saturate(static_cast<double>(value));
}

float CanonPTZController::zoomFactor() const
{
    // A zoom value that is missing, 0 or wider than the wide limit says nothing about
    // the magnification: take it as full wide, where the steps are whole.
    const int current = info(ZoomKey);
    const int quotient = current > 0 ? info(QStringLiteral("zoom_wide_limit")) / current : 0;
    return quotient >= 1 ? 1.0f / static_cast<float>(quotient) : 1.0f;
}

int CanonPTZController::moveAxis(const QString &key, int direction, float change, float interval, float factor,
                                 const QString &lowerKey, const QString &upperKey)
{
    float step = factor * std::fabs(change / interval);
    if (!(step >= MinStep))
        step = MinStep;
    const double moved = std::trunc(static_cast<float>(info(key)) + static_cast<float>(direction) * step);
    int value = saturate(moved);
    if (moved < info(lowerKey))
        value = info(lowerKey);
    else if (moved > info(upperKey))
        value = info(upperKey);
    m_cameraInfo.insert(key, QString::number(value));
    return value;
}

void CanonPTZController::zoom(float changePinch, float interval)
{
    const int current = info(ZoomKey);
    float amount = std::fabs(changePinch * 0.5f / interval);
    if (current <= 499 && amount > 50)
        amount = 50;
    double moved;
    if (changePinch > 0) {
        moved = std::trunc(static_cast<float>(current) - amount);
        moved = std::max(moved, static_cast<double>(info(QStringLiteral("zoom_tele_limit"))));
    } else {
        moved = std::trunc(amount + static_cast<float>(current));
        moved = std::min(moved, static_cast<double>(info(QStringLiteral("zoom_wide_limit"))));
    }
    m_cameraInfo.insert(ZoomKey, QString::number(saturate(moved)));
}

void CanonPTZController::handleTimer()
{
    if (!mayIssue())
        return;
    const PTZMotion::Sample m = m_motion.take();
    const float factor = zoomFactor();
    const QString left = QStringLiteral("pan_left_limit");
    const QString right = QStringLiteral("pan_right_limit");
    const QString down = QStringLiteral("tilt_down_limit");
    const QString up = QStringLiteral("tilt_up_limit");

    if (m_motion.isHolding()) {
        // The stroke given to setHolding stays in force until the hold ends: every
        // allowed tick moves the camera by the same step again.
        if (m.changeX != 0)
            m_holdX = m.changeX;
        if (m.changeY != 0)
            m_holdY = m.changeY;
        if (m.xyInterval != 0)
            m_holdXYInt = m.xyInterval;
        m_stop.moved();
        if (m_holdXYInt > 0) {
            if (m_holdY != 0)
                moveAxis(TiltKey, m_holdY < 0 ? -1 : 1, m_holdY, m_holdXYInt, factor, down, up);
            if (m_holdX != 0)
                moveAxis(PanKey, m_holdX > 0 ? -1 : 1, m_holdX, m_holdXYInt, factor, left, right);
        }
        sendCommand(QStringLiteral("pan=%1&tilt=%2").arg(info(PanKey)).arg(info(TiltKey)));
        return;
    }
    if (m.isStill()) {
        if (m_stop.stopDue(false)) {
            m_holdX = 0;
            m_holdY = 0;
            m_holdXYInt = 0;
        }
        return;
    }
    m_stop.moved();
    if (m.xyInterval > 0) {
        if (m.changeY != 0)
            moveAxis(TiltKey, m.changeY < 0 ? -1 : 1, m.changeY, m.xyInterval, factor, down, up);
        if (m.changeX != 0)
            moveAxis(PanKey, m.changeX > 0 ? -1 : 1, m.changeX, m.xyInterval, factor, left, right);
    }
    if (m.pinchInterval > 0)
        zoom(m.changePinch, m.pinchInterval);
    sendCommand(QStringLiteral("pan=%1&tilt=%2&zoom=%3").arg(info(PanKey)).arg(info(TiltKey)).arg(info(ZoomKey)));
}
