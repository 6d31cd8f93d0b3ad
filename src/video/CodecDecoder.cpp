#include "video/CodecDecoder.h"

#include "util/QelLog.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/hwcontext.h>
#include <libavutil/pixdesc.h>
}

std::atomic<bool> CodecDecoder::s_hardwareAllowed = true;

namespace {

bool supportsVaapi(const AVCodec *codec)
{
    // The list ends with a null entry; a codec has only a handful of configurations.
    for (int i = 0; i < 32; ++i) {
        const AVCodecHWConfig *config = avcodec_get_hw_config(codec, i);
        if (!config)
            return false;
        if ((config->methods & AV_CODEC_HW_CONFIG_METHOD_HW_DEVICE_CTX) && config->device_type == AV_HWDEVICE_TYPE_VAAPI)
            return true;
    }
    return false;
}

// Takes VA-API surfaces when offered, the decoder's own software format otherwise
// (a stream the driver cannot do falls back by itself).
AVPixelFormat chooseFormat(AVCodecContext *, const AVPixelFormat *formats)
{
    for (const AVPixelFormat *f = formats; *f != AV_PIX_FMT_NONE; ++f) {
        if (*f == AV_PIX_FMT_VAAPI)
            return *f;
    }
    for (const AVPixelFormat *f = formats; *f != AV_PIX_FMT_NONE; ++f) {
        if (!(av_pix_fmt_desc_get(*f)->flags & AV_PIX_FMT_FLAG_HWACCEL))
            return *f;
    }
    return AV_PIX_FMT_NONE;
}

AVCodecContext *makeContext(const AVCodec *codec, const AVCodecParameters *parameters)
{
    AVCodecContext *context = avcodec_alloc_context3(codec);
    if (!context || avcodec_parameters_to_context(context, parameters) < 0) {
        avcodec_free_context(&context);
        return nullptr;
    }
    context->flags |= AV_CODEC_FLAG_LOW_DELAY;
    // One thread per stream: streams, not slices, are what keeps both cores busy.
    context->thread_count = 1;
    return context;
}

} // namespace

CodecDecoder::CodecDecoder()
    : m_frame(av_frame_alloc())
    , m_transfer(av_frame_alloc())
{
}

CodecDecoder::~CodecDecoder()
{
    close();
    av_frame_free(&m_frame);
    av_frame_free(&m_transfer);
}

void CodecDecoder::setHardwareAllowed(bool allowed)
{
    s_hardwareAllowed = allowed;
}

bool CodecDecoder::hardwareAllowed()
{
    return s_hardwareAllowed;
}

void CodecDecoder::close()
{
    avcodec_free_context(&m_context);
    av_buffer_unref(&m_device);
    m_hardware = false;
}

bool CodecDecoder::open(const AVCodecParameters *parameters, QString *error)
{
    close();
    const AVCodec *codec = avcodec_find_decoder(parameters->codec_id);
    if (!codec) {
        *error = QStringLiteral("no decoder for codec \"%1\"").arg(QString::fromUtf8(avcodec_get_name(parameters->codec_id)));
        return false;
    }
    QString how = QStringLiteral("hardware decoding is off");
    if (hardwareAllowed() && !supportsVaapi(codec))
        how = QStringLiteral("VA-API cannot decode it");
    else if (hardwareAllowed() && av_hwdevice_ctx_create(&m_device, AV_HWDEVICE_TYPE_VAAPI, nullptr, nullptr, 0) < 0)
        how = QStringLiteral("no VA-API render node opened");
    m_context = makeContext(codec, parameters);
    if (m_context && m_device) {
        m_context->hw_device_ctx = av_buffer_ref(m_device);
        m_context->get_format = chooseFormat;
        m_hardware = true;
    }
    if (m_context && avcodec_open2(m_context, codec, nullptr) < 0 && m_hardware) {
        // The device opened but the decoder would not take it: software after all.
        close();
        how = QStringLiteral("VA-API refused it");
        m_context = makeContext(codec, parameters);
        if (m_context && avcodec_open2(m_context, codec, nullptr) < 0)
            avcodec_free_context(&m_context);
    } else if (m_context && !avcodec_is_open(m_context)) {
        avcodec_free_context(&m_context);
    }
    if (!m_context) {
        *error = QStringLiteral("cannot open the %1 decoder").arg(QString::fromUtf8(codec->name));
        close();
        return false;
    }
    QEL_LOG(LogLevel::Trace, m_hardware ? QStringLiteral("%1 decoded by VA-API").arg(codecName())
                                        : QStringLiteral("%1 decoded in software: %2").arg(codecName(), how));
    return true;
}

QString CodecDecoder::codecName() const
{
    if (!m_context)
        return {};
    switch (m_context->codec_id) {
    case AV_CODEC_ID_H264:
        return QStringLiteral("H.264");
    case AV_CODEC_ID_HEVC:
        return QStringLiteral("H.265");
    case AV_CODEC_ID_MJPEG:
        return QStringLiteral("Motion JPEG");
    default:
        return QString::fromUtf8(avcodec_get_name(m_context->codec_id));
    }
}

void CodecDecoder::setSkipNonReference(bool skip)
{
    if (m_context)
        m_context->skip_frame = skip ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
}

int CodecDecoder::decode(const AVPacket *packet, const std::function<void(AVFrame *)> &picture)
{
    if (!m_context)
        return AVERROR(EINVAL);
    const int sent = avcodec_send_packet(m_context, packet);
    if (sent < 0 && sent != AVERROR(EAGAIN))
        return sent;
    // A packet completes at most a few pictures; the decoder's own queue bounds this.
    while (avcodec_receive_frame(m_context, m_frame) == 0) {
        AVFrame *out = m_frame;
        if (m_frame->format == AV_PIX_FMT_VAAPI) {
            av_frame_unref(m_transfer);
            if (av_hwframe_transfer_data(m_transfer, m_frame, 0) < 0) {
                av_frame_unref(m_frame);
                continue;
            }
            av_frame_copy_props(m_transfer, m_frame);
            out = m_transfer;
        }
        picture(out);
        av_frame_unref(m_frame);
        av_frame_unref(m_transfer);
    }
    return 0;
}
