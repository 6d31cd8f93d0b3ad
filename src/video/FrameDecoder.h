#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <array>

// Turns the bytes of a camera picture into a QImage in Format_RGB32. JPEG goes
// through TurboJPEG, scaled in the DCT to the size it is shown at and written
// straight into the picture; what TurboJPEG cannot read goes through Qt's reader.
// One per stream, used on one thread at a time.
class FrameDecoder final
{
public:
    // A header claiming more is refused before anything is allocated: a JPEG of a
    // few hundred bytes can claim gigabytes of pixels.
    static constexpr qint64 MaxPixels = 64'000'000;
    static constexpr int MaxSide = 16384;

    FrameDecoder();
    ~FrameDecoder();
    FrameDecoder(const FrameDecoder &) = delete;
    FrameDecoder &operator=(const FrameDecoder &) = delete;

    // The picture at the smallest of the fast JPEG scales (1/8, 1/4, 1/2, 1/1) that
    // still covers target in both directions, or at full size when target is empty;
    // null when the bytes hold no picture or one too large (error() says why).
    QImage decode(const QByteArray &bytes, QSize target = QSize());
    QString error() const { return m_error; }

    // The size libjpeg-turbo gives a full-sized JPEG decoded for target.
    static QSize scaledSize(QSize full, QSize target);

private:
    QImage decodeJpeg(const QByteArray &bytes, QSize full, QSize target);
    QImage decodeWithQt(const QByteArray &bytes);
    bool refuseSize(QSize size);
    // A picture of this size that no one else holds, so it can be written in place.
    QImage &bufferFor(QSize size);

    void *m_handle;
    // Two, so that one can be written while the previous picture is still shown.
    std::array<QImage, 2> m_buffers;
    size_t m_nextBuffer = 0;
    QString m_error;
};
