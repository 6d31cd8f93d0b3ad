#pragma once

#include "ptz/AbstractByteProtocolController.h"

// "QuickSet GeminEye PTZ": 12-byte STX/ETX frames whose control bytes inside are
// escaped; replies run from ACK or NAK to ETX.
class QSPTL10Controller final : public AbstractByteProtocolController
{
    Q_OBJECT

public:
    static constexpr int FrameSize = 12;

    explicit QSPTL10Controller(Clock &clock, QObject *parent = nullptr);

    bool initWithParameters(const Value &definition) override;

    // Exclusive or of the bytes.
    static quint8 calculateChecksumOfBytes(const quint8 *bytes, int length);

private:
    QByteArray preProcessMessage(const quint8 *bytes, int length) override;
    void fillInCommandPacket(quint8 *buffer) override;
    void fillInStopPacket(quint8 *buffer) override;
    void fillInPacket(quint8 *buffer, float pan, float tilt, float zoom) override;
    void processResponseBuffer() override;

    quint8 m_camNum = 1;
};
