#include "bench/Bench.h"

#include <QImage>

#include <turbojpeg.h>

#include <functional>

namespace {

// CPU milliseconds per call of decode, over at least half a second of it.
double msPerFrame(const QList<QByteArray> &jpegs, const std::function<void(const QByteArray &)> &decode)
{
    qint64 calls = 0;
    const double start = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    double used = 0;
    while (used < 0.5) {
        for (const QByteArray &jpeg : jpegs)
            decode(jpeg);
        calls += jpegs.size();
        used = cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - start;
    }
    return used * 1000.0 / static_cast<double>(calls);
}

} // namespace

QStringList decodeCosts()
{
    QStringList lines;
    const struct
    {
        int subsampling;
        const char *name;
    } kinds[] = { { TJSAMP_420, "4:2:0" }, { TJSAMP_422, "4:2:2" } };
    for (const QSize size : { QSize(640, 480), QSize(1920, 1080) }) {
        for (const auto &kind : kinds) {
            const QList<QByteArray> jpegs = cameraJpegs(size, kind.subsampling, 8);
            qint64 total = 0;
            for (const QByteArray &jpeg : jpegs)
                total += jpeg.size();
            const double qt = msPerFrame(jpegs, [](const QByteArray &jpeg) {
                QImage picture;
                picture.loadFromData(jpeg, "JPEG");
            });
            QString line = QStringLiteral("%1x%2 %3, %4 KB: Qt's reader %5 ms; TurboJPEG")
                               .arg(size.width())
                               .arg(size.height())
                               .arg(QLatin1StringView(kind.name))
                               .arg(static_cast<double>(total) / static_cast<double>(jpegs.size()) / 1000.0, 0, 'f', 1)
                               .arg(qt, 0, 'f', 2);
            // Every reduction, straight into one reused Format_RGB32 picture as the viewer
            // decodes, header included; the viewer uses the four with SIMD code.
            tjhandle handle = tjInitDecompress();
            const struct
            {
                int eighths;
                const char *name;
            } scales[] = { { 8, "1/1" }, { 6, "3/4" }, { 4, "1/2" }, { 3, "3/8" }, { 2, "1/4" }, { 1, "1/8" } };
            for (const auto &scale : scales) {
                const tjscalingfactor factor{ scale.eighths, 8 };
                QImage picture(TJSCALED(size.width(), factor), TJSCALED(size.height(), factor), QImage::Format_RGB32);
                const double tj = msPerFrame(jpegs, [&](const QByteArray &jpeg) {
                    const auto *data = reinterpret_cast<const unsigned char *>(jpeg.constData());
                    const auto length = static_cast<unsigned long>(jpeg.size());
                    int width = 0;
                    int height = 0;
                    int subsampling = 0;
                    int colorspace = 0;
                    tjDecompressHeader3(handle, data, length, &width, &height, &subsampling, &colorspace);
                    tjDecompress2(handle, data, length, picture.bits(), picture.width(),
                                  static_cast<int>(picture.bytesPerLine()), picture.height(), TJPF_BGRX,
                                  TJFLAG_LIMITSCANS);
                });
                line += QStringLiteral(" %1 %2").arg(QLatin1StringView(scale.name)).arg(tj, 0, 'f', 2);
            }
            tjDestroy(handle);
            lines << line + QStringLiteral(" ms per frame");
        }
    }
    return lines;
}
