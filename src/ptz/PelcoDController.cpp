#include "ptz/PelcoDController.h"

#include "config/Value.h"
#include "util/QelLog.h"

#include <cmath>

PelcoDController::PelcoDController(Clock &clock, QObject *parent)
    : AbstractByteProtocolController(clock, parent)
{
}

bool PelcoDController::initWithParameters(const Value &definition)
{
    if (!AbstractByteProtocolController::initWithParameters(definition))
        return false;
    const Value parms = definition.value(QStringLiteral("control.parameters"));
    m_idAddress = parms.hasText(QStringLiteral("control.serial_id"))
        ? static_cast<quint32>(parms.value(QStringLiteral("control.serial_id")).toInteger())
        : 1;
    m_dampenAxes = true;
    m_packetSize = FrameSize;
    return true;
}

quint8 PelcoDController::calculateChecksumOfBytes(const quint8 *bytes, int length)
{
    unsigned sum = 0;
    for (int i = 0; i < length; ++i)
        sum += bytes[i];
    return static_cast<quint8>(sum);
}

void PelcoDController::fillInCommandPacket(quint8 *buffer)
{
    buffer[0] = 0xFF;
    buffer[1] = static_cast<quint8>(m_idAddress);
    buffer[2] = 0x00;
    buffer[6] = calculateChecksumOfBytes(buffer + 1, 5);
}

void PelcoDController::fillInStopPacket(quint8 *)
{
    // The stop is the frame with no direction and no speed, which the clearing did.
}

void PelcoDController::fillInPacket(quint8 *buffer, float pan, float tilt, float zoom)
{
    setBit(1, &buffer[3], pan > 0);
    setBit(2, &buffer[3], pan < 0);
    setBit(3, &buffer[3], tilt > 0);
    setBit(4, &buffer[3], tilt < 0);
    setBit(5, &buffer[3], zoom > 0);
    setBit(6, &buffer[3], zoom < 0);
    // Pan speeds run to 0x40 (turbo), tilt speeds to 0x3F.
    buffer[4] = pan != 0 ? static_cast<quint8>(std::ceil(std::fabs(pan) * 65.0f) - 1) : 0;
    buffer[5] = tilt != 0 ? static_cast<quint8>(std::ceil(std::fabs(tilt) * 64.0f) - 1) : 0;
}

void PelcoDController::processResponseBuffer()
{
    QEL_LOG(LogLevel::Trace, QStringLiteral("inCount is %1").arg(inCount()));
    const quint8 *in = inBuffer();
    const int count = inCount();
    int i = 0;
    while (count - i >= 4) {
        if (in[i] == 0xFF && (count - i == 4 || in[i + 4] == 0xFF)) {
            replyReceived();
            i += 4;
        } else {
            ++i;
        }
    }
    consumeInput(i);
}
