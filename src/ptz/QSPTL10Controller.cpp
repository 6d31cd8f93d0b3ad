#include "ptz/QSPTL10Controller.h"

#include "config/Value.h"
#include "util/QelLog.h"

#include <cmath>

namespace {

constexpr quint8 STX = 0x02;
constexpr quint8 ETX = 0x03;
constexpr quint8 ACK = 0x06;
constexpr quint8 NAK = 0x15;
constexpr quint8 ESC = 0x1B;

bool needsEscape(quint8 byte)
{
    return byte == STX || byte == ETX || byte == ACK || byte == NAK || byte == ESC;
}

// Bit 0 says wide, bits 1 to 7 carry the speed.
quint8 zoomByte(float zoom)
{
    const auto speed = static_cast<quint8>(std::fabs(zoom * 127.0f));
    return static_cast<quint8>((speed << 1) | (zoom < 0 ? 1 : 0));
}

} // namespace

QSPTL10Controller::QSPTL10Controller(Clock &clock, QObject *parent)
    : AbstractByteProtocolController(clock, parent)
{
}

bool QSPTL10Controller::initWithParameters(const Value &definition)
{
    if (!AbstractByteProtocolController::initWithParameters(definition))
        return false;
    const Value parms = definition.value(QStringLiteral("control.parameters"));
    m_idAddress = static_cast<quint32>(parms.value(QStringLiteral("control.serial_id")).toInteger());
    m_camNum = parms.hasText(QStringLiteral("control.camera_number"))
        ? static_cast<quint8>(parms.value(QStringLiteral("control.camera_number")).toInteger())
        : 1;
    m_packetSize = FrameSize;
    return true;
}

quint8 QSPTL10Controller::calculateChecksumOfBytes(const quint8 *bytes, int length)
{
    quint8 sum = 0;
    for (int i = 0; i < length; ++i)
        sum ^= bytes[i];
    return sum;
}

QByteArray QSPTL10Controller::preProcessMessage(const quint8 *bytes, int length)
{
    QByteArray escaped;
    escaped.reserve(2 * length);
    for (int i = 0; i < length; ++i) {
        const bool inside = i > 0 && i < length - 1;
        if (inside && needsEscape(bytes[i])) {
            escaped.append(static_cast<char>(ESC));
            escaped.append(static_cast<char>(bytes[i] | 0x80));
        } else {
            escaped.append(static_cast<char>(bytes[i]));
        }
    }
    QEL_LOG(LogLevel::Trace, QStringLiteral("escaped message: ") + QString::fromLatin1(escaped.toHex(' ')).toUpper());
    return escaped;
}

void QSPTL10Controller::fillInCommandPacket(quint8 *buffer)
{
    buffer[0] = STX;
    buffer[1] = static_cast<quint8>(m_idAddress);
    buffer[2] = 0x31;
    buffer[10] = calculateChecksumOfBytes(buffer + 1, 9);
    buffer[11] = ETX;
}

void QSPTL10Controller::fillInStopPacket(quint8 *buffer)
{
    buffer[3] = 0x02;
}

void QSPTL10Controller::fillInPacket(quint8 *buffer, float pan, float tilt, float zoom)
{
    // Only the speed byte tells a still axis from one moving left or down.
    setBit(7, &buffer[3], pan > 0);
    setBit(6, &buffer[3], tilt > 0);
    buffer[4] = static_cast<quint8>(std::floor(std::fabs(pan) * 255.0f));
    buffer[5] = static_cast<quint8>(std::floor(std::fabs(tilt) * 255.0f));
    // Camera 2 has its zoom in a byte of its own.
    buffer[m_camNum == 2 ? 8 : 6] = zoomByte(zoom);
}

void QSPTL10Controller::processResponseBuffer()
{
    QEL_LOG(LogLevel::Trace, QStringLiteral("inCount is %1").arg(inCount()));
    const quint8 *in = inBuffer();
    const int count = inCount();
    int i = 0;
    while (i < count) {
        if (in[i] != ACK && in[i] != NAK) {
            ++i;
            continue;
        }
        int end = i + 1;
        while (end < count && in[end] != ETX)
            ++end;
        if (end == count)
            break;
        replyReceived();
        i = end + 1;
    }
    if (i == 0 && count == BufferSize) {
        // A reply that fills the whole buffer without its ETX is not one; make room.
        QEL_LOG(LogLevel::Error, QStringLiteral("reply of more than %1 bytes without ETX discarded").arg(BufferSize));
        i = count;
    }
    consumeInput(i);
}
