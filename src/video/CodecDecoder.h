#pragma once

#include <QString>

#include <atomic>
#include <functional>
#include <memory>

struct AVBufferRef;
struct AVCodecContext;
struct AVCodecParameters;
struct AVFrame;
struct AVPacket;

// One compressed video stream's decoder (H.264, H.265, Motion JPEG): VA-API when a
// render node opens and supports the codec, libavcodec in software otherwise; the
// pictures leave it in system memory. Used on one thread at a time.
class CodecDecoder final
{
public:
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

private:
    void close();

    AVCodecContext *m_context = nullptr;
    AVBufferRef *m_device = nullptr;
    AVFrame *m_frame = nullptr;
    AVFrame *m_transfer = nullptr;
    bool m_hardware = false;

    static std::atomic<bool> s_hardwareAllowed;
};
