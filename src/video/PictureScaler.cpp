#include "video/PictureScaler.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/mem.h>
#include <libswscale/swscale.h>
}

#include <mutex>
#include <new>
#include <vector>

// Buffers of pictures of one size, recycled: a picture's buffer comes back when the
// last QImage sharing it goes, on whichever thread. Each buffer starts with a header
// naming its pool, so giving it back allocates nothing. Allocating a picture's worth
// anew each time cost as much as converting it.
class PictureScaler::Buffers final : public std::enable_shared_from_this<Buffers>
{
public:
    ~Buffers()
    {
        for (uchar *buffer : m_free)
            av_free(buffer);
    }

    // libswscale's vector code writes whole blocks of pixels, past the width of a row:
    // rows are padded to 64 bytes and the buffer keeps a block to spare after the last.
    QImage take(QSize size)
    {
        const qsizetype stride = (qsizetype(size.width()) * 4 + 63) & ~qsizetype(63);
        const auto bytes = static_cast<size_t>(HeaderBytes + stride * size.height() + 64);
        uchar *buffer = nullptr;
        {
            const std::lock_guard lock(m_mutex);
            if (bytes != m_bytes) {
                for (uchar *old : m_free)
                    av_free(old);
                m_free.clear();
                m_bytes = bytes;
            }
            if (!m_free.empty()) {
                buffer = m_free.back();
                m_free.pop_back();
            }
        }
        if (!buffer)
            buffer = static_cast<uchar *>(av_malloc(bytes));
        if (!buffer)
            return {};
        new (buffer) Header{ shared_from_this(), bytes };
        QImage image(buffer + HeaderBytes, size.width(), size.height(), stride, QImage::Format_RGB32, giveBack, buffer);
        if (image.isNull())
            giveBack(buffer);
        return image;
    }

private:
    struct Header
    {
        std::shared_ptr<Buffers> pool;
        size_t bytes;
    };
    // Keeps the pixels as aligned as av_malloc made the buffer.
    static constexpr qsizetype HeaderBytes = 64;
    static_assert(sizeof(Header) <= HeaderBytes);
    // One picture is on screen while the next is made; more are rarely in flight.
    static constexpr size_t Kept = 2;

    static void giveBack(void *buffer)
    {
        auto *header = static_cast<Header *>(buffer);
        const std::shared_ptr<Buffers> pool = std::move(header->pool);
        const size_t bytes = header->bytes;
        header->~Header();
        {
            const std::lock_guard lock(pool->m_mutex);
            if (bytes == pool->m_bytes && pool->m_free.size() < Kept) {
                pool->m_free.push_back(static_cast<uchar *>(buffer));
                return;
            }
        }
        av_free(buffer);
    }

    std::mutex m_mutex;
    std::vector<uchar *> m_free;
    size_t m_bytes = 0;
};

PictureScaler::PictureScaler()
    : m_buffers(std::make_shared<Buffers>())
{
}

PictureScaler::~PictureScaler()
{
    sws_freeContext(m_scale);
    sws_freeContext(m_convert);
    av_frame_free(&m_small);
}

QImage PictureScaler::toImage(const AVFrame *frame, QSize target)
{
    const QSize source(frame->width, frame->height);
    if (source.isEmpty() || qint64(source.width()) * source.height() > MaxPixels)
        return {};
    QSize size = source;
    if (!target.isEmpty() && (target.width() < source.width() || target.height() < source.height()))
        size = source.scaled(target, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    // A picture a fraction of the source's size (a grid tile) is made from every second
    // or fourth row, leaving at least two rows for each of its own, and averaged over
    // areas: the scaling costs a third of filtering every row. The planes' rows thin
    // out alike, so subsampled chroma stays in step with its luma.
    int rowStep = 1;
    while (source.height() / (rowStep * 2) >= 2 * size.height())
        rowStep *= 2;
    const int rows = source.height() / rowStep;
    int sourceStrides[AV_NUM_DATA_POINTERS];
    for (int i = 0; i < AV_NUM_DATA_POINTERS; ++i)
        sourceStrides[i] = frame->linesize[i] * rowStep;
    // Averaging into RGB filters every colour channel at full size; into 4:2:0, a
    // quarter of the chroma, and the conversion at the small size is a fast copy loop.
    const bool shrinks = size.width() * 2 <= source.width() && size.height() * 2 <= source.height();
    const auto scaledFormat = shrinks ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_RGB32;
    m_scale = sws_getCachedContext(m_scale, source.width(), rows, static_cast<AVPixelFormat>(frame->format),
                                   size.width(), size.height(), scaledFormat, shrinks ? SWS_AREA : SWS_BILINEAR,
                                   nullptr, nullptr, nullptr);
    if (!m_scale)
        return {};
    QImage image = m_buffers->take(size);
    if (image.isNull())
        return {};
    uint8_t *planes[4] = { image.bits(), nullptr, nullptr, nullptr };
    const int strides[4] = { static_cast<int>(image.bytesPerLine()), 0, 0, 0 };
    if (!shrinks)
        return sws_scale(m_scale, frame->data, sourceStrides, 0, rows, planes, strides) > 0 ? image : QImage();

    if (!m_small || m_small->width != size.width() || m_small->height != size.height()) {
        av_frame_free(&m_small);
        m_small = av_frame_alloc();
        if (!m_small)
            return {};
        m_small->format = AV_PIX_FMT_YUV420P;
        m_small->width = size.width();
        m_small->height = size.height();
        if (av_frame_get_buffer(m_small, 0) < 0) {
            av_frame_free(&m_small);
            return {};
        }
    }
    m_convert = sws_getCachedContext(m_convert, size.width(), size.height(), AV_PIX_FMT_YUV420P, size.width(),
                                     size.height(), AV_PIX_FMT_RGB32, SWS_POINT, nullptr, nullptr, nullptr);
    if (!m_convert || sws_scale(m_scale, frame->data, sourceStrides, 0, rows, m_small->data, m_small->linesize) <= 0
        || sws_scale(m_convert, m_small->data, m_small->linesize, 0, size.height(), planes, strides) <= 0)
        return {};
    return image;
}
