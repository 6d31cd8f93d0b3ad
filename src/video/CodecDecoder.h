#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

struct AVBufferRef;
struct AVCodecContext;
struct AVCodecParameters;
struct AVFrame;
struct AVPacket;
struct SwsContext;

// One compressed video stream's decoder (H.264, H.265, Motion JPEG): VA-API when a
// render node opens and supports the codec, libavcodec in software otherwise; the
// pictures leave it in system memory. Used on one thread at a time.
class CodecDecoder final
{
public:
    // The largest picture accepted, in pixels: a peer cannot make us allocate more.
    static constexpr qint64 MaxPixels = 8192LL * 8192LL;

    CodecDecoder();
    ~CodecDecoder();
    CodecDecoder(const CodecDecoder &) = delete;
    CodecDecoder &operator=(const CodecDecoder &) = delete;

    // The Debug settings' switch; any thread, read when a decoder opens.
    static void setHardwareAllowed(bool allowed);
    static bool hardwareAllowed();

    // False with *error set when no decoder exists for the stream's codec.
    bool open(const AVCodecParameters *parameters, QString *error);
    bool isOpen() const { return m_context != nullptr; }
    bool isHardware() const { return m_hardware; }
    // "H.264", "H.265", "Motion JPEG" or libavcodec's name for another codec.
    QString codecName() const;

    // Decoding of frames no other frame refers to may be skipped, to catch up.
    void setSkipNonReference(bool skip);

    // Feeds one packet and hands every picture it completes to picture, in system
    // memory. A negative result is libavcodec's error for a packet it refused.
    int decode(const AVPacket *packet, const std::function<void(AVFrame *)> &picture);

    // Converts and scales in one pass into Format_RGB32, fitting target with the
    // picture's proportions and never enlarging it; an empty target keeps the size.
    // cache holds the scaler between calls. Null for a picture over MaxPixels.
    static QImage toImage(const AVFrame *frame, QSize target, SwsContext **cache);

private:
    void close();

    AVCodecContext *m_context = nullptr;
    AVBufferRef *m_device = nullptr;
    AVFrame *m_frame = nullptr;
    AVFrame *m_transfer = nullptr;
    bool m_hardware = false;

    static std::atomic<bool> s_hardwareAllowed;
};
