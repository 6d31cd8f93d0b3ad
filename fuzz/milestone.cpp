// The Milestone image stream, in pieces the input chooses as the socket would
// bring them: every picture and every consumed count stays inside what was read,
// and the buffer the session keeps stays bounded.

#include "fuzz/FuzzCheck.h"
#include "video/MilestoneParser.h"

#include <QByteArray>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    constexpr qint64 MaxLength = 64 * 1024;
    const qsizetype piece = 1 + data[0];
    MilestoneParser parser(MaxLength);
    QByteArray buffer;
    for (size_t at = 1; at < size; at += size_t(piece)) {
        buffer.append(reinterpret_cast<const char *>(data + at), static_cast<qsizetype>(std::min(size - at, size_t(piece))));
        const MilestoneParser::Pass pass = parser.parse(buffer);
        if (pass.badLength)
            return 0;
        FUZZ_CHECK(pass.consumed >= 0 && pass.consumed <= buffer.size());
        if (pass.frameStart >= 0) {
            FUZZ_CHECK(pass.frameLength <= MaxLength);
            FUZZ_CHECK(pass.frameStart + pass.frameLength <= pass.consumed);
        }
        buffer.remove(0, pass.consumed);
    }
    return 0;
}
