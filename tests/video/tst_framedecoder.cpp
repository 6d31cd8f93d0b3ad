#include "video/PictureScaler.h"
#include "video/FrameDecoder.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QTest>

#include <turbojpeg.h>

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

// Under AddressSanitizer any allocation over 64 MB ends the test: a refused picture
// must not have been allocated first.
extern "C" const char *__asan_default_options()
{
    return "max_allocation_size_mb=64";
}

namespace {

const QColor TopLeft(220, 30, 30);
const QColor TopRight(30, 200, 40);
const QColor BottomLeft(30, 40, 210);
const QColor BottomRight(230, 220, 40);

// Four coloured quadrants, so that misplaced rows, columns or channels show.
QImage quadrants(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    const int x = width / 2;
    const int y = height / 2;
    painter.fillRect(0, 0, x, y, TopLeft);
    painter.fillRect(x, 0, width - x, y, TopRight);
    painter.fillRect(0, y, x, height - y, BottomLeft);
    painter.fillRect(x, y, width - x, height - y, BottomRight);
    return image;
}

QImage solid(int width, int height, const QColor &color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

QByteArray compress(const unsigned char *pixels, QSize size, int pitch, int pixelFormat, int subsampling,
                    int flags)
{
    tjhandle handle = tjInitCompress();
    unsigned char *out = nullptr;
    unsigned long length = 0;
    tjCompress2(handle, pixels, size.width(), pitch, size.height(), pixelFormat, &out, &length, subsampling, 95,
                flags);
    QByteArray bytes(reinterpret_cast<const char *>(out), static_cast<qsizetype>(length));
    tjFree(out);
    tjDestroy(handle);
    return bytes;
}

QByteArray compress(const QImage &rgb32, int subsampling, int flags = 0)
{
    return compress(rgb32.constBits(), rgb32.size(), static_cast<int>(rgb32.bytesPerLine()), TJPF_BGRX, subsampling,
                    flags);
}

// Quadrants in CMYK as Adobe's programs store it (inverted), which is how Qt reads it.
QByteArray cmykQuadrants(int width, int height)
{
    const QImage rgb = quadrants(width, height);
    QByteArray cmyk;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const QRgb p = rgb.pixel(x, y);
            for (const int channel : { qRed(p), qGreen(p), qBlue(p), 255 })
                cmyk += static_cast<char>(channel);
        }
    }
    return compress(reinterpret_cast<const unsigned char *>(cmyk.constData()), QSize(width, height), width * 4,
                    TJPF_CMYK, TJSAMP_444, 0);
}

// The JPEG with its frame header claiming another size.
QByteArray claimingSize(QByteArray jpeg, int width, int height)
{
    const qsizetype sof = jpeg.indexOf("\xff\xc0");
    jpeg[sof + 5] = static_cast<char>(height >> 8);
    jpeg[sof + 6] = static_cast<char>(height & 0xff);
    jpeg[sof + 7] = static_cast<char>(width >> 8);
    jpeg[sof + 8] = static_cast<char>(width & 0xff);
    return jpeg;
}

bool near(const QColor &a, const QColor &b, int tolerance = 24)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

// Each quadrant's centre has its colour, and every pixel is opaque as Format_RGB32 requires.
QString quadrantProblem(const QImage &picture, bool grey = false)
{
    if (picture.format() != QImage::Format_RGB32)
        return QStringLiteral("format %1").arg(picture.format());
    const QColor expected[] = { TopLeft, TopRight, BottomLeft, BottomRight };
    for (int i = 0; i < 4; ++i) {
        const QPoint at((1 + 2 * (i % 2)) * picture.width() / 4, (1 + 2 * (i / 2)) * picture.height() / 4);
        const QColor &c = expected[i];
        const int luma = qRound(0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue());
        if (!near(picture.pixelColor(at), grey ? QColor(luma, luma, luma) : c))
            return QStringLiteral("%1,%2 is %3").arg(at.x()).arg(at.y()).arg(picture.pixelColor(at).name());
    }
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (qAlpha(picture.pixel(x, y)) != 255)
                return QStringLiteral("transparent at %1,%2").arg(x).arg(y);
        }
    }
    return {};
}

// The picture as a decoder of video would hand it over, in the given pixel format.
AVFrame *videoFrame(const QImage &rgb32, AVPixelFormat format)
{
    AVFrame *frame = av_frame_alloc();
    frame->width = rgb32.width();
    frame->height = rgb32.height();
    frame->format = format;
    av_frame_get_buffer(frame, 0);
    SwsContext *converter = sws_getContext(rgb32.width(), rgb32.height(), AV_PIX_FMT_RGB32, rgb32.width(),
                                           rgb32.height(), format, SWS_POINT, nullptr, nullptr, nullptr);
    const uint8_t *planes[4] = { rgb32.constBits(), nullptr, nullptr, nullptr };
    const int strides[4] = { static_cast<int>(rgb32.bytesPerLine()), 0, 0, 0 };
    sws_scale(converter, planes, strides, 0, rgb32.height(), frame->data, frame->linesize);
    sws_freeContext(converter);
    return frame;
}

} // namespace

class TestFrameDecoder final : public QObject
{
    Q_OBJECT

private slots:
    void scaleChoice_data()
    {
        QTest::addColumn<QSize>("full");
        QTest::addColumn<QSize>("target");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("no target") << QSize(640, 480) << QSize() << QSize(640, 480);
        QTest::newRow("tile") << QSize(640, 480) << QSize(151, 104) << QSize(160, 120);
        QTest::newRow("one pixel past a quarter") << QSize(640, 480) << QSize(161, 104) << QSize(320, 240);
        QTest::newRow("height decides") << QSize(1920, 1080) << QSize(480, 320) << QSize(960, 540);
        QTest::newRow("three quarters is full size") << QSize(640, 480) << QSize(480, 320) << QSize(640, 480);
        QTest::newRow("exact") << QSize(640, 480) << QSize(640, 480) << QSize(640, 480);
        QTest::newRow("larger than the picture") << QSize(640, 480) << QSize(1000, 700) << QSize(640, 480);
        QTest::newRow("odd sizes round up") << QSize(641, 479) << QSize(81, 60) << QSize(81, 60);
        for (const int denominator : { 8, 4, 2, 1 }) {
            const int side = 800 / denominator;
            QTest::addRow("1/%d", denominator) << QSize(800, 800) << QSize(side - 1, side - 1) << QSize(side, side);
        }
    }
    void scaleChoice()
    {
        QFETCH(QSize, full);
        QFETCH(QSize, target);
        QFETCH(QSize, expected);
        QCOMPARE(FrameDecoder::scaledSize(full, target), expected);
    }

    // Odd sizes at every scale and subsampling come out as large as the chooser says,
    // with the right colours in the right places.
    void everySubsamplingAtEveryScale()
    {
        const QImage source = quadrants(203, 151);
        const int subsamplings[] = { TJSAMP_444, TJSAMP_422, TJSAMP_420, TJSAMP_440, TJSAMP_411, TJSAMP_GRAY };
        for (const int subsampling : subsamplings) {
            const QByteArray jpeg = compress(source, subsampling);
            FrameDecoder decoder;
            for (const int denominator : { 8, 4, 2, 1 }) {
                const QSize target(203 / denominator, 151 / denominator);
                const QImage picture = decoder.decode(jpeg, target);
                const QString where = QStringLiteral("subsampling %1 at 1/%2").arg(subsampling).arg(denominator);
                QCOMPARE(picture.size(), FrameDecoder::scaledSize(source.size(), target));
                const QString problem = quadrantProblem(picture, subsampling == TJSAMP_GRAY);
                QVERIFY2(problem.isEmpty(), qPrintable(where + QStringLiteral(": ") + problem));
            }
        }
    }

    // Video pictures scaled to a tile drop rows before filtering: every plane alike,
    // so colours stay where they belong at odd sizes and in every chroma layout.
    void videoPicturesAtEverySize()
    {
        const QImage source = quadrants(641, 479);
        for (const AVPixelFormat format : { AV_PIX_FMT_YUV420P, AV_PIX_FMT_NV12, AV_PIX_FMT_YUV422P, AV_PIX_FMT_YUV410P }) {
            AVFrame *frame = videoFrame(source, format);
            PictureScaler scaler;
            for (const QSize target : { QSize(), QSize(426, 320), QSize(160, 120), QSize(144, 108), QSize(40, 30) }) {
                const QImage picture = scaler.toImage(frame, target);
                const QString where = QStringLiteral("format %1 at %2x%3").arg(format).arg(target.width()).arg(target.height());
                QCOMPARE(picture.size(), target.isEmpty() ? source.size() : source.size().scaled(target, Qt::KeepAspectRatio));
                const QString problem = quadrantProblem(picture);
                QVERIFY2(problem.isEmpty(), qPrintable(where + QStringLiteral(": ") + problem));
            }
            av_frame_free(&frame);
        }
    }

    // Buffers are recycled only once let go: a picture kept stays as it was while later
    // ones are made, and outlives its scaler.
    void keptPicturesKeepTheirPixels()
    {
        AVFrame *first = videoFrame(quadrants(320, 240), AV_PIX_FMT_YUV420P);
        AVFrame *other = videoFrame(quadrants(320, 240).mirrored(true, true), AV_PIX_FMT_YUV420P);
        QImage kept;
        QImage copy;
        {
            PictureScaler scaler;
            kept = scaler.toImage(first, QSize(80, 60));
            copy = kept.copy();
            for (int i = 0; i < 4; ++i)
                QVERIFY(!scaler.toImage(other, QSize(80, 60)).isNull());
            QCOMPARE(kept, copy);
        }
        QCOMPARE(kept, copy);
        QVERIFY(quadrantProblem(kept).isEmpty());
        av_frame_free(&first);
        av_frame_free(&other);
    }

    void kinds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QImage source = quadrants(96, 64);
        QTest::newRow("CMYK") << cmykQuadrants(96, 64);
        QTest::newRow("progressive") << compress(source, TJSAMP_420, TJFLAG_PROGRESSIVE);
        QFile restart(QStringLiteral(VYO_TEST_DATA "/restart.jpg"));
        QVERIFY(restart.open(QIODevice::ReadOnly));
        QTest::newRow("restart markers") << restart.readAll();
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        source.save(&buffer, "PNG");
        QTest::newRow("PNG through Qt's reader") << png;
    }
    void kinds()
    {
        QFETCH(QByteArray, bytes);
        FrameDecoder decoder;
        const QImage picture = decoder.decode(bytes);
        QVERIFY2(!picture.isNull(), qPrintable(decoder.error()));
        const QString problem = quadrantProblem(picture);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // A picture cut short shows its top and flat colour below, never the previous
    // picture that was decoded into the same buffer; one cut inside its header is none.
    void truncatedPictures()
    {
        FrameDecoder decoder;
        const QByteArray whole = compress(quadrants(320, 240), TJSAMP_420);
        decoder.decode(compress(solid(320, 240, Qt::magenta), TJSAMP_420));
        const QImage picture = decoder.decode(whole.left(whole.size() * 2 / 3));
        QCOMPARE(picture.size(), QSize(320, 240));
        QVERIFY(near(picture.pixelColor(80, 60), TopLeft));
        const QColor bottom = picture.pixelColor(0, 239);
        QVERIFY(!near(bottom, Qt::magenta, 60));
        for (int x = 0; x < 320; ++x)
            QCOMPARE(picture.pixelColor(x, 239), bottom);

        QVERIFY(decoder.decode(whole.left(100)).isNull());
        QVERIFY(decoder.decode("not a picture at all").isNull());
        QVERIFY(!decoder.error().isEmpty());
    }

    // A few hundred bytes claiming too many pixels are refused before any allocation;
    // the largest side allowed still decodes.
    void refusesBombs()
    {
        const QByteArray small = compress(quadrants(64, 48), TJSAMP_420);
        FrameDecoder decoder;
        for (const QSize claim : { QSize(16385, 48), QSize(48, 16385), QSize(9000, 9000) }) {
            QVERIFY(decoder.decode(claimingSize(small, claim.width(), claim.height())).isNull());
            QVERIFY(decoder.error().contains(QStringLiteral("%1x%2").arg(claim.width()).arg(claim.height())));
        }
        QCOMPARE(decoder.decode(compress(quadrants(FrameDecoder::MaxSide, 16), TJSAMP_420)).size(),
                 QSize(FrameDecoder::MaxSide, 16));
    }

    // Steady streaming writes into the picture of two frames ago; a picture someone
    // still holds is never written.
    void reusesPictureBuffers()
    {
        FrameDecoder decoder;
        QImage first = decoder.decode(compress(solid(64, 48, Qt::red), TJSAMP_420));
        const uchar *firstBits = first.constBits();
        const QImage second = decoder.decode(compress(solid(64, 48, Qt::green), TJSAMP_420));
        QVERIFY(second.constBits() != firstBits);
        QVERIFY(near(first.pixelColor(10, 10), Qt::red));
        first = QImage();
        const QImage third = decoder.decode(compress(solid(64, 48, Qt::blue), TJSAMP_420));
        QCOMPARE(third.constBits(), firstBits);
        QVERIFY(near(second.pixelColor(10, 10), Qt::green));
        QVERIFY(near(third.pixelColor(10, 10), Qt::blue));
    }
};

QTEST_GUILESS_MAIN(TestFrameDecoder)
#include "tst_framedecoder.moc"
