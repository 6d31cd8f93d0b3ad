#pragma once

#include <QImage>
#include <QSize>

#include <memory>

struct AVFrame;
struct SwsContext;

// Turns decoded video frames into Format_RGB32 pictures with libswscale, fitting a
// target size with the frame's proportions and never enlarging. Keeps its contexts
// and its pictures' buffers between frames; used on one thread at a time (the
// pictures it made may end on any thread).
class PictureScaler final
{
public:
    // The largest frame accepted, in pixels: a peer cannot make us allocate more.
    static constexpr qint64 MaxPixels = 8192LL * 8192LL;

    PictureScaler();
    ~PictureScaler();
    PictureScaler(const PictureScaler &) = delete;
    PictureScaler &operator=(const PictureScaler &) = delete;

    // An empty target keeps the frame's size. Null for a frame over MaxPixels.
    QImage toImage(const AVFrame *frame, QSize target);

private:
    class Buffers;

    // Straight to RGB32, or for a picture a fraction of the frame's size, averaged
    // into planar 4:2:0 first and converted at the small size.
    SwsContext *m_scale = nullptr;
    SwsContext *m_convert = nullptr;
    AVFrame *m_small = nullptr;
    std::shared_ptr<Buffers> m_buffers;
};
