#include "bench/Bench.h"

#include "camsim/Scene.h"

#include <QEventLoop>
#include <QRandomGenerator>
#include <QTimer>

#include <turbojpeg.h>


QList<QByteArray> cameraJpegs(QSize size, int subsampling, int count)
{
    const Scene scene;
    QRandomGenerator random(static_cast<quint32>(size.width() + subsampling));
    tjhandle handle = tjInitCompress();
    QList<QByteArray> jpegs;
    for (int i = 0; i < count; ++i) {
        const Scene::Overlay overlay{ QStringLiteral("Bench"), static_cast<quint64>(i), i * 3.0, 0, 1 };
        QImage view = scene.render(-40.0 + i * 3.0, 0, 60, size, overlay);
        for (int y = 0; y < view.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(view.scanLine(y));
            for (int x = 0; x < view.width(); ++x) {
                const int noise = random.bounded(-4, 5);
                const QRgb p = line[x];
                line[x] = qRgb(std::clamp(qRed(p) + noise, 0, 255), std::clamp(qGreen(p) + noise, 0, 255),
                               std::clamp(qBlue(p) + noise, 0, 255));
            }
        }
        unsigned char *out = nullptr;
        unsigned long bytes = 0;
        tjCompress2(handle, view.constBits(), view.width(), static_cast<int>(view.bytesPerLine()), view.height(),
                    TJPF_BGRX, &out, &bytes, subsampling, 75, 0);
        jpegs.append(QByteArray(reinterpret_cast<const char *>(out), static_cast<qsizetype>(bytes)));
        tjFree(out);
    }
    tjDestroy(handle);
    return jpegs;
}

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double cpuSeconds(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}
