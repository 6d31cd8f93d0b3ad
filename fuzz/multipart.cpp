// The multipart splitter, fed whole and at split points the input chooses: the
// events (part begins, its bytes, part ends) and the result must be the same.
// Input: a byte n (low 3 bits), n 16-bit split offsets, then the stream; the
// byte's high bit picks a boundary parameter that already carries the dashes.

#include "fuzz/FuzzCheck.h"
#include "video/MultipartSplitter.h"

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <cstdint>

namespace {

struct Recorder final : MultipartSplitter::Listener
{
    QList<std::pair<char, QByteArray>> events;

    bool partBegins() override
    {
        events.append({ 'B', QByteArray() });
        return true;
    }
    bool partData(const char *data, qsizetype size) override
    {
        FUZZ_CHECK(size > 0);
        if (events.isEmpty() || events.last().first != 'D')
            events.append({ 'D', QByteArray() });
        events.last().second.append(data, size);
        return true;
    }
    bool partEnds() override
    {
        events.append({ 'E', QByteArray() });
        return true;
    }
};

std::pair<QList<std::pair<char, QByteArray>>, MultipartSplitter::Result>
run(const QByteArray &boundary, const QByteArray &stream, const QList<qsizetype> &cuts)
{
    Recorder recorder;
    MultipartSplitter splitter(boundary, recorder);
    MultipartSplitter::Result result = MultipartSplitter::Result::Ok;
    qsizetype from = 0;
    for (const qsizetype cut : cuts + QList<qsizetype>{ stream.size() }) {
        result = splitter.feed(stream.constData() + from, cut - from);
        from = cut;
        if (result != MultipartSplitter::Result::Ok)
            break;
    }
    return { recorder.events, result };
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int splits = data[0] & 7;
    const QByteArray boundary = (data[0] & 0x80) ? QByteArray("--myb") : QByteArray("myb");
    const size_t head = 1 + 2 * static_cast<size_t>(splits);
    if (size < head)
        return 0;
    const QByteArray stream(reinterpret_cast<const char *>(data + head), static_cast<qsizetype>(size - head));
    QList<qsizetype> cuts;
    for (int i = 0; i < splits; ++i)
        cuts.append((data[1 + 2 * i] << 8 | data[2 + 2 * i]) % (stream.size() + 1));
    std::sort(cuts.begin(), cuts.end());

    const auto whole = run(boundary, stream, {});
    const auto split = run(boundary, stream, cuts);
    FUZZ_CHECK(whole.second == split.second);
    FUZZ_CHECK(whole.first == split.first);
    return 0;
}
