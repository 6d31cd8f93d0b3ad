#include "video/RTSPStreamSession.h"

#include "util/QelLog.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QMutexLocker>

#include <cmath>
#include <utility>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

namespace {

// Time stamps further off than this are a new time line, not lag.
constexpr qint64 DiscontinuityMs = 10000;
constexpr qint64 SocketTimeoutMs = RTSPStreamSession::SocketTimeoutUs / 1000;
// A server may answer every request with something else for ever.
constexpr qint64 OpenLimitMs = SocketTimeoutMs + 1000;
// The first picture may take two socket time-outs: Automatic tries UDP, then TCP.
constexpr qint64 FirstPictureLimitMs = 2 * SocketTimeoutMs + 2000;

QString errorText(int error)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return QString::fromUtf8(text);
}

CameraState stateFor(int error)
{
    switch (error) {
    case AVERROR_HTTP_UNAUTHORIZED:
    case AVERROR_HTTP_FORBIDDEN:
        return CameraState::Unauthorized;
    case AVERROR_HTTP_NOT_FOUND:
        return CameraState::NotFound;
    case AVERROR(ECONNREFUSED):
    case AVERROR(ETIMEDOUT):
    case AVERROR(EHOSTUNREACH):
    case AVERROR(ENETUNREACH):
    case AVERROR(ECONNRESET):
    case AVERROR(EPIPE):
    case AVERROR(EIO):
    case AVERROR_EOF:
    case AVERROR_EXIT:
        return CameraState::Unreachable;
    default:
        return CameraState::NotVideo;
    }
}

QString reasonFor(int error)
{
    switch (error) {
    case AVERROR_HTTP_UNAUTHORIZED:
        return QStringLiteral("the camera refused the user name or password (RTSP 401)");
    case AVERROR_HTTP_FORBIDDEN:
        return QStringLiteral("the camera refused access (RTSP 403)");
    case AVERROR_HTTP_NOT_FOUND:
        return QStringLiteral("no stream at this path (RTSP 404)");
    case AVERROR_EOF:
        return QStringLiteral("the stream ended");
    case AVERROR_EXIT:
        return QStringLiteral("no answer in time");
    case AVERROR_INVALIDDATA:
        return QStringLiteral("the server does not answer as an RTSP camera");
    default:
        return errorText(error);
    }
}

void silenceLibraries()
{
    // libav* print to stderr by themselves, with URLs that may carry the password;
    // our own log lines say what went wrong.
    static const bool once = [] {
        av_log_set_level(AV_LOG_QUIET);
        return true;
    }();
    Q_UNUSED(once);
}

} // namespace

RTSPStreamSession::RTSPStreamSession(Clock &clock, QObject *parent)
    : StreamSession(clock, parent)
    , m_packet(av_packet_alloc())
    , m_pending(av_frame_alloc())
    , m_newest(av_frame_alloc())
{
    silenceLibraries();
}

RTSPStreamSession::~RTSPStreamSession()
{
    close();
    av_packet_free(&m_packet);
    av_frame_free(&m_pending);
    av_frame_free(&m_newest);
}

int RTSPStreamSession::interruptCallback(void *opaque)
{
    const auto *self = static_cast<const RTSPStreamSession *>(opaque);
    return self->wanted != self->m_generation || self->m_clock.now() > self->m_deadline ? 1 : 0;
}

void RTSPStreamSession::startInternal(quint64 generation, const Value &params, const QByteArray &url,
                                      Transport transport)
{
    close();
    m_generation = generation;
    m_params = params;
    if (wanted != generation)
        return;
    open(url, transport);
}

void RTSPStreamSession::stopInternal()
{
    close();
}

void RTSPStreamSession::open(const QByteArray &url, Transport transport)
{
    const qint64 began = m_clock.now();
    m_deadline = began + OpenLimitMs;
    m_format = avformat_alloc_context();
    if (!m_format) {
        fail(CameraState::Unreachable, QStringLiteral("out of memory"));
        return;
    }
    m_format->interrupt_callback.callback = interruptCallback;
    m_format->interrupt_callback.opaque = this;
    AVDictionary *options = nullptr;
    if (transport != Transport::Automatic)
        av_dict_set(&options, "rtsp_transport", transport == Transport::TCP ? "tcp" : "udp", 0);
    av_dict_set(&options, "allowed_media_types", "video", 0);
    av_dict_set(&options, "timeout", QByteArray::number(SocketTimeoutUs).constData(), 0);
    av_dict_set(&options, "fflags", "nobuffer", 0);
    const int opened = avformat_open_input(&m_format, url.constData(), av_find_input_format("rtsp"), &options);
    av_dict_free(&options);
    if (opened < 0) {
        // avformat_open_input has freed the context.
        m_format = nullptr;
        // libavformat reports a reply that never came as invalid data.
        if (wanted != m_generation)
            return;
        if (m_clock.now() - began >= SocketTimeoutMs)
            fail(CameraState::Unreachable, QStringLiteral("no answer in %1 s").arg(SocketTimeoutMs / 1000));
        else
            fail(stateFor(opened), reasonFor(opened));
        return;
    }
    m_videoStream = av_find_best_stream(m_format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (m_videoStream < 0) {
        fail(CameraState::NotVideo, QStringLiteral("the stream holds no video"));
        return;
    }
    for (unsigned i = 0; i < m_format->nb_streams; ++i)
        m_format->streams[i]->discard = int(i) == m_videoStream ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    const AVStream *stream = m_format->streams[m_videoStream];
    QString error;
    if (!m_decoder.open(stream->codecpar, &error)) {
        fail(CameraState::NotVideo, error);
        return;
    }
    m_timeBaseMs = av_q2d(stream->time_base) * 1000.0;
    // Every picture of an intra-only codec (Motion JPEG) is a key frame.
    const AVCodecDescriptor *descriptor = avcodec_descriptor_get(stream->codecpar->codec_id);
    m_intraOnly = descriptor && (descriptor->props & AV_CODEC_PROP_INTRA_ONLY);
    m_deadline = m_clock.now() + FirstPictureLimitMs;
    queueStep();
}

void RTSPStreamSession::queueStep()
{
    QMetaObject::invokeMethod(
        this,
        [this, generation = m_generation] {
            if (generation == m_generation && m_format)
                step();
        },
        Qt::QueuedConnection);
}

void RTSPStreamSession::step()
{
    // Packets follow one another without a trip through the event loop, which would cost
    // this thread a wake-up for each; what was posted to the session meanwhile (consumers
    // ready for a picture, added or removed, a stop) is handled between them.
    const quint64 generation = m_generation;
    for (int i = 0; i < PacketsPerStep; ++i) {
        if (!readPacket())
            return;
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
        // A new connection opened meanwhile reads on in its own steps.
        if (m_generation != generation || !m_format)
            return;
    }
    queueStep();
}

bool RTSPStreamSession::readPacket()
{
    if (wanted != m_generation) {
        close();
        return false;
    }
    int read = av_read_frame(m_format, m_packet);
    // An interrupted read may still hand over what its parser held: the time is up all the same.
    if (read >= 0 && m_clock.now() > m_deadline) {
        av_packet_unref(m_packet);
        read = AVERROR_EXIT;
    }
    if (read < 0) {
        if (wanted != m_generation)
            close();
        else if (read == AVERROR_EXIT || read == AVERROR(ETIMEDOUT))
            fail(CameraState::Silent, QStringLiteral("no picture for %1 s")
                                          .arg((m_announced ? SilenceLimitMs : FirstPictureLimitMs) / 1000));
        else
            fail(stateFor(read), reasonFor(read));
        return false;
    }
    if (m_packet->stream_index != m_videoStream) {
        av_packet_unref(m_packet);
        return true;
    }
    if (m_packet->size > MaxPacketSize) {
        av_packet_unref(m_packet);
        fail(CameraState::NotVideo, QStringLiteral("a frame of more than %1 bytes").arg(MaxPacketSize));
        return false;
    }
    catchUp(m_packet);
    const bool key = m_intraOnly || (m_packet->flags & AV_PKT_FLAG_KEY);
    if (m_waitKeyFrame && !key) {
        // Its bytes count with the next picture shown.
        m_pendingBytes += m_packet->size;
        av_packet_unref(m_packet);
        countSkipped(1);
        return true;
    }
    m_waitKeyFrame = false;
    const qint64 bytes = m_packet->size;
    m_decoder.decode(m_packet, [this, bytes](AVFrame *frame) { handlePicture(frame, bytes); });
    av_packet_unref(m_packet);
    // The consumers may have ended this connection (a single frame was wanted).
    return m_format != nullptr;
}

void RTSPStreamSession::catchUp(const AVPacket *packet)
{
    if (packet->pts == AV_NOPTS_VALUE)
        return;
    const qint64 now = m_clock.now();
    const qint64 media = std::llround(double(packet->pts) * m_timeBaseMs);
    if (m_hasBase && media > m_lastMedia)
        m_frameMs = std::clamp<qint64>(media - m_lastMedia, 5, 1000);
    m_lastMedia = media;
    qint64 lag = now - media - m_clockBase;
    if (!m_hasBase || std::abs(lag) > DiscontinuityMs) {
        m_clockBase = now - media;
        m_hasBase = true;
        lag = 0;
    }
    // The earliest arrival seen is what "on time" means.
    if (lag < 0) {
        m_clockBase += lag;
        lag = 0;
    }
    if (lag > LagMsToKeyFrame && !m_waitKeyFrame) {
        QEL_LOG(LogLevel::Trace, QStringLiteral("RTSP stream %1 ms behind: skipping to the next key frame").arg(lag));
        m_waitKeyFrame = true;
    }
    const bool skip = lag > LagFramesSkipping * m_frameMs;
    if (skip != m_skipping) {
        m_skipping = skip;
        m_decoder.setSkipNonReference(skip);
    }
}

void RTSPStreamSession::handlePicture(AVFrame *frame, qint64 bytes)
{
    m_deadline = m_clock.now() + SilenceLimitMs;
    {
        const QMutexLocker lock(&m_newestMutex);
        av_frame_unref(m_newest);
        av_frame_ref(m_newest, frame);
    }
    if (!m_announced) {
        m_announced = true;
        emit decoding(m_generation, m_decoder.codecName(), QSize(frame->width, frame->height), m_decoder.isHardware());
    }
    // One picture waits at most: a newer one replaces it.
    if (m_pending->buf[0])
        countSkipped(1);
    av_frame_unref(m_pending);
    av_frame_ref(m_pending, frame);
    m_pendingBytes += bytes;
    decodePending();
}

void RTSPStreamSession::decodePending()
{
    if (!m_pending->buf[0] || !hasConsumers())
        return;
    QSize target;
    if (!consumersReady(&target))
        return;
    const QImage picture = m_scaler.toImage(m_pending, target);
    av_frame_unref(m_pending);
    deliverPicture(picture, std::exchange(m_pendingBytes, 0));
    if (singleFrame && !picture.isNull() && m_format) {
        singleFrame = false;
        close();
        emit stopRequested(m_generation);
    }
}

QByteArray RTSPStreamSession::newestPicture() const
{
    AVFrame *frame = av_frame_alloc();
    if (!frame)
        return {};
    {
        const QMutexLocker lock(&m_newestMutex);
        av_frame_ref(frame, m_newest);
    }
    PictureScaler scaler;
    const QImage picture = frame->buf[0] ? scaler.toImage(frame, {}) : QImage();
    av_frame_free(&frame);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    if (picture.isNull() || !buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "JPEG", 95))
        return {};
    return jpeg;
}

void RTSPStreamSession::fail(CameraState state, const QString &reason)
{
    close();
    emit failed(m_generation, state, reason);
    emit reconnectRequested(m_generation);
}

void RTSPStreamSession::close()
{
    avformat_close_input(&m_format);
    av_frame_unref(m_pending);
    m_pendingBytes = 0;
    m_videoStream = -1;
    m_hasBase = false;
    m_waitKeyFrame = true;
    m_skipping = false;
    m_announced = false;
    m_decoder.setSkipNonReference(false);
}
