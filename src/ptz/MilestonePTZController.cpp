#include "ptz/MilestonePTZController.h"

#include "config/Value.h"
#include "platform/Clock.h"
#include "platform/SocketStream.h"
#include "util/QelLog.h"
#include "util/Utilities.h"

#include <cstring>

namespace {

const QByteArray Terminator = QByteArrayLiteral("\r\n\r\n");

QByteArray ptzCommand(int id, const QString &command)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?><methodcall><requestid>%1</requestid>"
                          "<methodname>ptzcommand</methodname><commandlist><command>%2</command></commandlist>"
                          "</methodcall>")
        .arg(id)
        .arg(command)
        .toUtf8();
}

} // namespace

MilestonePTZController::MilestonePTZController(Clock &clock, QObject *parent)
    : PTZControllerBase(clock, parent)
{
}

bool MilestonePTZController::initWithParameters(const Value &definition)
{
    const Value parms = controlParameters(definition, "MilestonePTZController");
    if (parms.isNull())
        return false;
    m_host = parms.value(QStringLiteral("control.host")).toString();
    if (parms.hasText(QStringLiteral("control.port"))) {
        const qint64 port = parms.value(QStringLiteral("control.port")).toInteger();
        m_port = port > 0 && port <= 65535 ? static_cast<int>(port) : 0;
    }
    // Absent credentials or camera name go out as empty elements.
    m_user = parms.value(QStringLiteral("control.username")).toString();
    m_pass = parms.value(QStringLiteral("control.password")).toString();
    m_camID = parms.value(QStringLiteral("control.camera_name")).toString();
    m_timeoutChecker = clock().createTimer(this);
    connect(m_timeoutChecker, &ClockTimer::timeout, this, &MilestonePTZController::checkTimeout);
    startTicking();
    return true;
}

void MilestonePTZController::disconnect()
{
    disconnectInternal();
    stopTicking();
}

void MilestonePTZController::handleTimer()
{
    // One command batch at a time; motion keeps summing meanwhile.
    if (m_stream)
        return;
    const PTZMotion::Sample m = m_motion.take();
    const float pan = PTZMotion::rate(-m.changeX, m.xyInterval, 1000);
    const float tilt = PTZMotion::rate(m.changeY, m.xyInterval, 1000);
    const float zoom = PTZMotion::rate(m.changePinch, m.pinchInterval, 300);
    const bool holding = m_motion.isHolding();

    // The server counts right, down and wide as positive.
    if (pan != 0 || tilt != 0) {
        m_ptStop.moved();
        sendCommand(Command::PanTiltStart, static_cast<int>(pan * 1000), static_cast<int>(tilt * -1000));
    } else if (m_ptStop.stopDue(holding)) {
        sendCommand(Command::PanTiltStop);
    }
    if (zoom != 0) {
        m_zoomStop.moved();
        sendCommand(Command::ZoomStart, static_cast<int>(zoom * -1000));
    } else if (m_zoomStop.stopDue(holding)) {
        sendCommand(Command::ZoomStop);
    }
}

void MilestonePTZController::sendCommand(Command command, int first, int second)
{
    const int id = m_reqNum++;
    QString text;
    switch (command) {
    case Command::PanTiltStart:
        text = QStringLiteral("PanTiltStart %1,%2").arg(first).arg(second);
        break;
    case Command::PanTiltStop:
        text = QStringLiteral("PanTiltStop");
        break;
    case Command::ZoomStart:
        text = QStringLiteral("ZoomStart %1").arg(first);
        break;
    case Command::ZoomStop:
        text = QStringLiteral("ZoomStop");
        break;
    }
    const QByteArray message = ptzCommand(id, text);
    QEL_LOG(LogLevel::Trace, QStringLiteral("Issuing Milestone PTZ command: ") + QString::fromUtf8(message));
    if (!m_stream) {
        openStreamsForHost();
        // A connection that failed at once has already been given up.
        if (!m_stream)
            return;
        sendPreamble();
    }
    sendMessage(message + Terminator);
}

void MilestonePTZController::openStreamsForHost()
{
    m_stream = new SocketStream(this);
    connect(m_stream, &SocketStream::openCompleted, this, [] { QEL_LOG(LogLevel::Trace, QStringLiteral("stream opened")); });
    connect(m_stream, &SocketStream::hasBytesAvailable, this, &MilestonePTZController::handleBytesAvailable);
    connect(m_stream, &SocketStream::hasSpaceAvailable, this, &MilestonePTZController::handleSpaceAvailable);
    connect(m_stream, &SocketStream::errorOccurred, this, [this] {
        QEL_LOG(LogLevel::Error, QStringLiteral("stream error"));
        disconnectInternal();
    });
    connect(m_stream, &SocketStream::endEncountered, this, [this] {
        disconnectInternal();
        QEL_LOG(LogLevel::Trace, QStringLiteral("stream closed"));
    });
    m_stream->open(QHostAddress(m_host), static_cast<quint16>(m_port));
    m_timeoutChecker->start(ConnectionLimitMs, false);
}

void MilestonePTZController::sendPreamble()
{
    // Values are escaped: the server parses the message as XML.
    const QString connectMessage =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><methodcall><requestid>%1</requestid>"
                       "<methodname>connect</methodname><username>%2</username><password>%3</password>"
                       "<cameraid>%4</cameraid><connectparam></connectparam></methodcall>")
            .arg(QString::number(m_reqNum++), m_user.toHtmlEscaped(), m_pass.toHtmlEscaped(),
                 m_camID.toHtmlEscaped());
    sendMessage(connectMessage.toUtf8() + Terminator);
    const QString liveMessage = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?><methodcall><requestid>%1"
                                               "</requestid><methodname>live</methodname></methodcall>")
                                    .arg(m_reqNum++);
    sendMessage(liveMessage.toUtf8() + Terminator);
}

void MilestonePTZController::sendMessage(const QByteArray &message)
{
    m_outQueue.append(message);
    if (!m_responsePending)
        writeToOutputStream();
}

void MilestonePTZController::writeToOutputStream()
{
    if (!m_readyToSend || m_outQueue.isEmpty() || !m_stream)
        return;
    m_readyToSend = false;
    const QByteArray &message = m_outQueue.first();
    const qint64 written = m_stream->write(message.constData() + m_outIdx, message.size() - m_outIdx);
    if (written < 0) {
        QEL_LOG(LogLevel::Error, QStringLiteral("error while writing to stream"));
        return;
    }
    m_outIdx += written;
    if (m_outIdx == message.size()) {
        m_responsePending = true;
        m_outIdx = 0;
        m_outQueue.removeFirst();
    }
}

void MilestonePTZController::checkTimeout()
{
    if (m_stream)
        disconnectInternal();
}

void MilestonePTZController::disconnectInternal()
{
    if (m_timeoutChecker)
        m_timeoutChecker->stop();
    if (m_stream) {
        QObject::disconnect(m_stream, nullptr, this, nullptr);
        m_stream->close();
        m_stream->deleteLater();
        m_stream = nullptr;
    }
    m_readyToSend = false;
    m_responsePending = false;
    m_inCount = 0;
    m_outIdx = 0;
    m_outQueue.clear();
}

void MilestonePTZController::processResponseBuffer()
{
    QEL_LOG(LogLevel::Trace, QStringLiteral("inCount is %1").arg(m_inCount));
    const char *start = m_inBuffer.data();
    qsizetype consumed = 0;
    while (const void *found = vyo::memmem(start + consumed, static_cast<size_t>(m_inCount - consumed),
                                           Terminator.constData(), static_cast<size_t>(Terminator.size()))) {
        m_responsePending = false;
        consumed = static_cast<const char *>(found) - start + Terminator.size();
    }
    if (consumed == 0 && m_inCount == BufferSize) {
        // No reply is this long; keep only what may begin a terminator.
        QEL_LOG(LogLevel::Error, QStringLiteral("reply of more than %1 bytes discarded").arg(BufferSize));
        consumed = BufferSize - (Terminator.size() - 1);
    }
    std::memmove(m_inBuffer.data(), start + consumed, static_cast<size_t>(m_inCount - consumed));
    m_inCount -= static_cast<int>(consumed);
}

void MilestonePTZController::handleBytesAvailable()
{
    readFromStream(m_stream, m_inBuffer.data(), BufferSize, m_inCount, [this] {
        processResponseBuffer();
        if (m_responsePending)
            return;
        if (m_outQueue.isEmpty())
            disconnectInternal();
        else
            writeToOutputStream();
    });
}

void MilestonePTZController::handleSpaceAvailable()
{
    m_readyToSend = true;
    if (!m_responsePending && !m_outQueue.isEmpty())
        writeToOutputStream();
}
