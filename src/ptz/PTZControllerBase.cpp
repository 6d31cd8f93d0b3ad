#include "ptz/PTZControllerBase.h"

#include "platform/Clock.h"
#include "platform/SocketStream.h"
#include "util/QelLog.h"

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

Value PTZControllerBase::controlParameters(const Value &definition, const char *who)
{
    const Value parms = definition.value(QStringLiteral("control.parameters"));
    if (parms.hasText(QStringLiteral("control.host")))
        return parms;
    QEL_LOG(LogLevel::Error, QStringLiteral("Failed to initialize %1; required parameters missing").arg(QLatin1StringView(who)));
    return {};
}

void PTZControllerBase::readFromStream(SocketStream *const &stream, char *buffer, int capacity, int &count,
                                       const std::function<void()> &consume)
{
    for (int round = 0; round < MaxReadsPerEvent && stream; ++round) {
        const qint64 got = stream->read(buffer + count, capacity - count);
        if (got > 0)
            count += static_cast<int>(got);
        if (count <= 0) {
            QEL_LOG(LogLevel::Error, QStringLiteral("has bytes was called, but didn't get any"));
            return;
        }
        consume();
        if (got <= 0 || !stream || stream->bytesAvailable() <= 0)
            return;
    }
}

qint64 PTZControllerBase::now() const
{
    return m_clock.now();
}
