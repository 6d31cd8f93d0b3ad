// What ONVIF devices send: SOAP replies (the XML reader under every ONVIF call),
// WS-Discovery datagrams and the xs:duration values of PTZ time-outs. The first
// byte picks the reader; the rest is the input.

#include "discovery/WsDiscoveryMessage.h"
#include "fuzz/FuzzCheck.h"
#include "onvif/SoapEnvelope.h"
#include "onvif/XsDuration.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray input(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));
    switch (data[0] % 3) {
    case 0: {
        const SoapResult result = SoapEnvelope::reply(input, data[0] & 0x80 ? 500 : 200);
        FUZZ_CHECK(!result.ok() || result.body.has_value());
        break;
    }
    case 1: {
        QString error;
        const auto parsed = WsDiscoveryMessage::parse(input, &error);
        FUZZ_CHECK(parsed || !error.isEmpty());
        if (parsed)
            FUZZ_CHECK(parsed->devices.size() <= WsDiscoveryMessage::MaxMatches);
        break;
    }
    default: {
        const std::optional<int> ms = XsDuration::toMs(QString::fromUtf8(input));
        if (ms) {
            FUZZ_CHECK(*ms >= 0);
            FUZZ_CHECK(XsDuration::toMs(XsDuration::fromMs(*ms)) == ms);
        }
    }
    }
    return 0;
}
