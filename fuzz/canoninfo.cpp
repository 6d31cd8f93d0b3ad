// The information reply of a Canon PTZ camera.

#include "fuzz/FuzzCheck.h"
#include "ptz/CanonPTZController.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QMap<QString, QString> info;
    const QByteArray reply(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    if (CanonPTZController::parseCameraInfo(reply, &info))
        FUZZ_CHECK(info.size() <= reply.count('\n') + 1);
    return 0;
}
