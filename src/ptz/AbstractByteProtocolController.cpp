#include "ptz/AbstractByteProtocolController.h"

#include "config/Value.h"
#include "platform/Clock.h"
#include "platform/SocketStream.h"
#include "util/QelLog.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Printable text as it is, anything else as hex, for the trace.
QString describeBytes(const QByteArray &bytes)
{
    const bool text = std::all_of(bytes.cbegin(), bytes.cend(), [](char c) {
        return (c >= 0x20 && c < 0x7f) || c == '\r';
    });
    if (text)
        return QString::fromLatin1(bytes).replace(QLatin1Char('\r'), QLatin1StringView("\\r"));
    return QString::fromLatin1(bytes.toHex(' ')).toUpper();
}

// Keeps only the stronger of pan and tilt when one is at least three times the other.
void dampen(float *pan, float *tilt)
{
    const float p = std::fabs(*pan);
    const float t = std::fabs(*tilt);
    if (p == 0 && t == 0)
        return;
    if (t == 0 || p / t >= 3)
        *tilt = 0;
    else if (p == 0 || t / p >= 3)
        *pan = 0;
}

} // namespace

AbstractByteProtocolController::AbstractByteProtocolController(Clock &clock, QObject *parent)
    : PTZControllerBase(clock, parent)
    , m_lastSend(Clock::DistantPast)
{
}

bool AbstractByteProtocolController::initWithParameters(const Value &definition)
{
    const Value parms = controlParameters(definition, "AbstractByteProtocolController");
    if (parms.isNull())
        return false;
    const qint64 port = parms.hasText(QStringLiteral("control.port"))
        ? parms.value(QStringLiteral("control.port")).toInteger()
        : DefaultPort;
    openStreamsForHost(parms.value(QStringLiteral("control.host")).toString(),
                       port > 0 && port <= 65535 ? static_cast<int>(port) : 0);
    startTicking();
    return true;
}

void AbstractByteProtocolController::openStreamsForHost(const QString &host, int port)
{
    closeStreams();
    m_stream = new SocketStream(this);
    connect(m_stream, &SocketStream::openCompleted, this, [] { QEL_LOG(LogLevel::Trace, QStringLiteral("stream opened")); });
    connect(m_stream, &SocketStream::hasBytesAvailable, this, &AbstractByteProtocolController::handleBytesAvailable);
    connect(m_stream, &SocketStream::hasSpaceAvailable, this, &AbstractByteProtocolController::handleSpaceAvailable);
    connect(m_stream, &SocketStream::errorOccurred, this, [] { QEL_LOG(LogLevel::Error, QStringLiteral("stream error")); });
    connect(m_stream, &SocketStream::endEncountered, this, &AbstractByteProtocolController::handleEnd);
    // The host is a numeric address; a name is not looked up and fails as an error event.
    m_stream->open(QHostAddress(host), static_cast<quint16>(port));
}

void AbstractByteProtocolController::disconnect()
{
    stopTicking();
    closeStreams();
}

void AbstractByteProtocolController::closeStreams()
{
    m_readyToSend = false;
    if (!m_stream)
        return;
    m_stream->close();
    m_stream->deleteLater();
    m_stream = nullptr;
}

void AbstractByteProtocolController::setBit(int bit, quint8 *byte, bool value)
{
    if (bit < 0 || bit >= 8)
        return;
    if (value)
        *byte = static_cast<quint8>(*byte | (1u << bit));
    else
        *byte = static_cast<quint8>(*byte & ~(1u << bit));
}

QByteArray AbstractByteProtocolController::preProcessMessage(const quint8 *bytes, int length)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(bytes), length);
}

void AbstractByteProtocolController::fillInCommandPacket(quint8 *)
{
}

void AbstractByteProtocolController::processResponseBuffer()
{
    QEL_LOG(LogLevel::Trace, QStringLiteral("inCount is %1").arg(m_inCount));
    m_inCount = 0;
}

void AbstractByteProtocolController::consumeInput(int count)
{
    count = std::clamp(count, 0, m_inCount);
    std::memmove(m_inBuffer.data(), m_inBuffer.data() + count, static_cast<size_t>(m_inCount - count));
    m_inCount -= count;
}

void AbstractByteProtocolController::sendBytes(const quint8 *bytes, int length)
{
    const QByteArray message = preProcessMessage(bytes, length);
    if (m_outCount + message.size() > BufferSize) {
        QEL_LOG(LogLevel::Error, QStringLiteral("buffer overflow writing to stream"));
        return;
    }
    QEL_LOG(LogLevel::Trace, QStringLiteral("sending: ") + describeBytes(message));
    std::memcpy(m_outBuffer.data() + m_outCount, message.constData(), static_cast<size_t>(message.size()));
    m_outCount += static_cast<int>(message.size());
    if (m_readyToSend)
        writeToOutputStream();
}

void AbstractByteProtocolController::writeToOutputStream()
{
    m_readyToSend = false;
    m_responsePending = true;
    const qint64 written = m_stream ? m_stream->write(reinterpret_cast<const char *>(m_outBuffer.data()), m_outCount)
                                    : -1;
    if (written < 0) {
        QEL_LOG(LogLevel::Error, QStringLiteral("error while writing to stream"));
        return;
    }
    m_lastSend = now();
    const int n = static_cast<int>(written);
    std::memmove(m_outBuffer.data(), m_outBuffer.data() + n, static_cast<size_t>(m_outCount - n));
    m_outCount -= n;
}

void AbstractByteProtocolController::handleSpaceAvailable()
{
    if (m_outCount > 0)
        writeToOutputStream();
    else
        m_readyToSend = true;
}

void AbstractByteProtocolController::handleBytesAvailable()
{
    readFromStream(m_stream, reinterpret_cast<char *>(m_inBuffer.data()), BufferSize, m_inCount,
                   [this] { processResponseBuffer(); });
}

void AbstractByteProtocolController::handleEnd()
{
    // No reconnection: the viewer makes a new controller the next time the camera is shown.
    closeStreams();
    QEL_LOG(LogLevel::Trace, QStringLiteral("stream closed"));
}

void AbstractByteProtocolController::handleTimer()
{
    const qint64 t = now();
    if (m_responsePending) {
        if (t - m_lastSend <= ReplyAllowanceMs)
            return;
        m_responsePending = false;
    }
    if (!m_readyToSend || t - m_lastSend < TickMs)
        return;

    PTZMotion::Sample m;
    const PTZMotion::Action action = m_motion.nextAction(&m);
    if (action == PTZMotion::Action::None)
        return;
    std::fill_n(m_cmdBuffer.begin(), m_packetSize, quint8(0));
    if (action == PTZMotion::Action::Stop) {
        fillInStopPacket(m_cmdBuffer.data());
    } else {
        float pan = PTZMotion::rate(-m.changeX, m.xyInterval, 1000);
        float tilt = PTZMotion::rate(m.changeY, m.xyInterval, 1000);
        if (m_dampenAxes)
            dampen(&pan, &tilt);
        const float zoom = PTZMotion::rate(m.changePinch, m.pinchInterval, 300);
        fillInPacket(m_cmdBuffer.data(), pan, tilt, zoom);
    }
    fillInCommandPacket(m_cmdBuffer.data());
    sendBytes(m_cmdBuffer.data(), m_packetSize);
}
