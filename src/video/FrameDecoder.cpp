#include "video/FrameDecoder.h"

#include <QBuffer>
#include <QImageReader>

#include <turbojpeg.h>

#include <algorithm>
#include <vector>

namespace {

// Format_RGB32 is 0xffRRGGBB in native byte order.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr int PixelFormat = TJPF_BGRX;
#else
constexpr int PixelFormat = TJPF_XRGB;
#endif

// The reductions libjpeg-turbo has SIMD code for (1/8, 1/4, 1/2, 1/1), smallest first.
// The others (3/8, 3/4...) run plain C code and cost more than the next larger size:
// 3/4 takes half as long again as a full-size decode. Enlarging is the painter's job.
const std::vector<tjscalingfactor> &reductions()
{
    static const std::vector<tjscalingfactor> list = [] {
        int count = 0;
        const tjscalingfactor *all = tjGetScalingFactors(&count);
        std::vector<tjscalingfactor> out;
        for (int i = 0; all && i < count; ++i) {
            const int denom = all[i].denom;
            if (all[i].num == 1 && denom <= 8 && (denom & (denom - 1)) == 0)
                out.push_back(all[i]);
        }
        std::sort(out.begin(), out.end(), [](const tjscalingfactor &a, const tjscalingfactor &b) {
            return a.num * b.denom < b.num * a.denom;
        });
        return out;
    }();
    return list;
}

} // namespace

FrameDecoder::FrameDecoder()
    : m_handle(tjInitDecompress())
{
}

FrameDecoder::~FrameDecoder()
{
    if (m_handle)
        tjDestroy(m_handle);
}

QSize FrameDecoder::scaledSize(QSize full, QSize target)
{
    if (target.isEmpty())
        return full;
    for (const tjscalingfactor &factor : reductions()) {
        const QSize scaled(TJSCALED(full.width(), factor), TJSCALED(full.height(), factor));
        if (scaled.width() >= target.width() && scaled.height() >= target.height())
            return scaled;
    }
    return full;
}

QImage FrameDecoder::decode(const QByteArray &bytes, QSize target)
{
    m_error.clear();
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colorspace = 0;
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    if (m_handle
        && tjDecompressHeader3(m_handle, data, static_cast<unsigned long>(bytes.size()), &width, &height,
                               &subsampling, &colorspace)
            == 0) {
        if (refuseSize(QSize(width, height)))
            return {};
        // TurboJPEG writes no RGB from CMYK; Qt's reader converts it.
        if (colorspace != TJCS_CMYK && colorspace != TJCS_YCCK) {
            QImage picture = decodeJpeg(bytes, QSize(width, height), target);
            if (!picture.isNull())
                return picture;
        }
    }
    return decodeWithQt(bytes);
}

QImage FrameDecoder::decodeJpeg(const QByteArray &bytes, QSize full, QSize target)
{
    const QSize size = scaledSize(full, target);
    QImage &buffer = bufferFor(size);
    if (buffer.isNull())
        return {};
    // Warnings (a truncated picture, corrupt data) still fill every row: what decoded,
    // and flat colour below it.
    const int result = tjDecompress2(m_handle, reinterpret_cast<const unsigned char *>(bytes.constData()),
                                     static_cast<unsigned long>(bytes.size()), buffer.bits(), size.width(),
                                     static_cast<int>(buffer.bytesPerLine()), size.height(), PixelFormat,
                                     TJFLAG_LIMITSCANS);
    if (result != 0 && tjGetErrorCode(m_handle) != TJERR_WARNING) {
        m_error = QString::fromLocal8Bit(tjGetErrorStr2(m_handle));
        return {};
    }
    return buffer;
}

QImage FrameDecoder::decodeWithQt(const QByteArray &bytes)
{
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device);
    // The header alone gives the size; a picture that does not say is not read.
    const QSize size = reader.size();
    if (!size.isValid()) {
        // TurboJPEG's complaint, when there is one, says more about a broken JPEG.
        if (m_error.isEmpty())
            m_error = reader.errorString();
        return {};
    }
    if (refuseSize(size))
        return {};
    const QImage picture = reader.read();
    if (picture.isNull()) {
        m_error = reader.errorString();
        return {};
    }
    return picture.convertToFormat(QImage::Format_RGB32);
}

bool FrameDecoder::refuseSize(QSize size)
{
    if (size.width() <= MaxSide && size.height() <= MaxSide
        && static_cast<qint64>(size.width()) * size.height() <= MaxPixels)
        return false;
    m_error = QStringLiteral("the picture claims %1x%2 pixels").arg(size.width()).arg(size.height());
    return true;
}

QImage &FrameDecoder::bufferFor(QSize size)
{
    for (QImage &buffer : m_buffers) {
        if (buffer.size() == size && buffer.isDetached())
            return buffer;
    }
    // A buffer someone still holds stays theirs: its slot gets a new picture only when
    // every slot is held.
    auto slot = std::find_if(m_buffers.begin(), m_buffers.end(),
                             [](const QImage &buffer) { return buffer.isNull() || buffer.isDetached(); });
    if (slot == m_buffers.end()) {
        slot = m_buffers.begin() + static_cast<std::ptrdiff_t>(m_nextBuffer);
        m_nextBuffer = (m_nextBuffer + 1) % m_buffers.size();
    }
    *slot = QImage(size, QImage::Format_RGB32);
    return *slot;
}
