#pragma once

#include "ptz/AbstractByteProtocolController.h"

// "Pelco D PTZ": the published 7-byte Pelco D frame; replies are 4 bytes.
class PelcoDController final : public AbstractByteProtocolController
{
    Q_OBJECT

public:
    static constexpr int FrameSize = 7;

    explicit PelcoDController(Clock &clock, QObject *parent = nullptr);

    bool initWithParameters(const Value &definition) override;

    // Sum of the bytes modulo 256.
    static quint8 calculateChecksumOfBytes(const quint8 *bytes, int length);

private:
    void fillInCommandPacket(quint8 *buffer) override;
    void fillInStopPacket(quint8 *buffer) override;
    void fillInPacket(quint8 *buffer, float pan, float tilt, float zoom) override;
    void processResponseBuffer() override;
};
