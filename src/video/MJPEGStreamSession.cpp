#include "video/MJPEGStreamSession.h"

#include "config/LogMask.h"
#include "platform/CertificatePin.h"
#include "platform/Clock.h"
#include "util/QelLog.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <algorithm>

namespace {

constexpr qsizetype ReadChunk = 64 * 1024;
// What the manager may hold for us before it stops reading from the socket.
constexpr qint64 ReplyBufferSize = 1024 * 1024;
// However low the frame rate, the silence allowed ends after an hour.
constexpr qint64 MaxSilenceMs = 3600 * 1000;

} // namespace

MJPEGStreamSession::MJPEGStreamSession(Clock &clock, QObject *parent)
    : StreamSession(clock, parent)
    , m_silence(clock.createTimer(this))
    , m_pictureWatch(clock.createTimer(this))
{
    m_streamBuffer.reserve(BufferCapacity);
    connect(m_silence, &ClockTimer::timeout, this, [this] {
        // Silence after parts that never decoded still means the camera sends no video.
        fail(m_sawPart && !m_sawPicture ? CameraState::NotVideo : CameraState::Silent,
             QStringLiteral("error in mjpeg stream: nothing for %1 ms").arg(silenceLimitMs(m_params)),
             QStringLiteral("the camera stopped sending"));
    });
    connect(m_pictureWatch, &ClockTimer::timeout, this, [this] {
        // Parts that came and did not decode are not video; nothing at all is silence.
        const qint64 limit = m_sawPicture ? pictureGapLimitMs(m_params) : firstPictureLimitMs(m_params);
        fail(m_sawPart ? CameraState::NotVideo : CameraState::Silent,
             QStringLiteral("error in mjpeg stream: no picture within %1 ms").arg(limit), QStringLiteral("no picture"));
    });
}

qint64 MJPEGStreamSession::silenceLimitMs(const Value &params)
{
    bool ok = false;
    const double fps = params.value(QStringLiteral("video.fps")).toString().toDouble(&ok);
    if (!ok || !(fps > 0))
        return MinSilenceMs;
    return static_cast<qint64>(std::clamp(3000.0 / fps, double(MinSilenceMs), double(MaxSilenceMs)));
}

qint64 MJPEGStreamSession::firstPictureLimitMs(const Value &params)
{
    return std::max(MinFirstPictureMs, 2 * silenceLimitMs(params));
}

qint64 MJPEGStreamSession::pictureGapLimitMs(const Value &params)
{
    return std::max(MinPictureGapMs, silenceLimitMs(params));
}

MJPEGStreamSession::~MJPEGStreamSession()
{
    detachReply();
}

void MJPEGStreamSession::startInternal(quint64 generation, const Value &params, const QUrl &url)
{
    detachReply();
    m_generation = generation;
    m_params = params;
    m_url = url;
    m_streamBuffer.clear();
    m_splitter.reset();
    m_headersSeen = false;
    m_sawBytes = false;
    m_sawPart = false;
    m_sawPicture = false;
    m_certificate = CertificatePin::Verdict::Untrusted;
    logLimited(LogLevel::Debug, QStringLiteral("Connecting to MJPG stream: %1").arg(LogMask::url(url)));
    // One manager per reader: a manager opens at most six connections per host, and
    // streams never finish, so readers sharing one would starve each other.
    if (!m_manager)
        m_manager = new QNetworkAccessManager(this);
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    m_silence->start(silenceLimitMs(params), false);
    m_pictureWatch->start(firstPictureLimitMs(params), false);
    QNetworkReply *reply = m_manager->get(request);
    reply->setReadBufferSize(ReplyBufferSize);
    m_reply = reply;
    connect(reply, &QNetworkReply::sslErrors, this, [this, reply](const QList<QSslError> &errors) {
        if (reply != m_reply)
            return;
        QString presented;
        m_certificate = CertificatePin::apply(reply, errors, CertificatePin::pinned(m_params), &presented);
        if (m_certificate != CertificatePin::Verdict::Pinned)
            emit certificatePresented(m_generation, presented);
    });
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] { handleMetaData(reply); });
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] { handleData(reply); });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { handleFinished(reply); });
}

void MJPEGStreamSession::stopInternal()
{
    detachReply();
}

void MJPEGStreamSession::detachReply()
{
    if (!m_reply)
        return;
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    m_silence->stop();
    m_pictureWatch->stop();
    reply->disconnect(this);
    // Deleting the reply closes its connection. An abort() here could run inside the
    // reply's own signal, before the manager has set its error, and confuse it.
    reply->deleteLater();
}

void MJPEGStreamSession::handleMetaData(QNetworkReply *reply)
{
    if (reply != m_reply || m_headersSeen)
        return;
    m_sawBytes = true;
    m_silence->start(silenceLimitMs(m_params), false);
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // The manager answers challenges with the URL's credentials and follows redirects.
    if (status == 401 || (status >= 300 && status < 400))
        return;
    if (status >= 400)
        return failStatus(status);
    m_headersSeen = true;
    const QByteArray contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    const QByteArray boundary = MultipartSplitter::boundaryFromContentType(contentType);
    if (contentType.trimmed().toLower().startsWith("multipart/") && !boundary.isEmpty())
        m_splitter.emplace(boundary, static_cast<MultipartSplitter::Listener &>(*this));
}

void MJPEGStreamSession::handleData(QNetworkReply *reply)
{
    if (reply != m_reply)
        return;
    m_silence->start(silenceLimitMs(m_params), false);
    m_sawBytes = true;
    // Until the final response's headers are in, the body is a redirect's or a challenge's.
    if (!m_headersSeen)
        return;
    char chunk[ReadChunk];
    // Bounded by what the reply holds now; each pass removes up to one chunk of it.
    for (qint64 available = reply->bytesAvailable(); available > 0 && reply == m_reply;
         available = reply->bytesAvailable()) {
        const qint64 n = reply->read(chunk, sizeof chunk);
        if (n <= 0)
            break;
        if (!m_splitter) {
            // Not a multipart stream: the whole body is one picture.
            if (!partData(chunk, n))
                return;
            continue;
        }
        switch (m_splitter->feed(chunk, n)) {
        case MultipartSplitter::Result::Ok:
            break;
        case MultipartSplitter::Result::Stopped:
            return;
        case MultipartSplitter::Result::Malformed:
            return fail(CameraState::NotVideo, QStringLiteral("malformed mjpeg stream: %1").arg(m_splitter->error()),
                        QStringLiteral("malformed stream: %1").arg(m_splitter->error()));
        }
    }
}

void MJPEGStreamSession::handleFinished(QNetworkReply *reply)
{
    if (reply != m_reply)
        return;
    if (reply->error() != QNetworkReply::NoError) {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status >= 400)
            return failStatus(status);
        const QString why = LogMask::text(reply->errorString());
        return fail(networkFailureState(reply->error()), QStringLiteral("error in mjpeg stream: %1").arg(why), why);
    }
    handleData(reply);
    if (reply != m_reply)
        return;
    if (m_splitter) {
        return fail(CameraState::Connecting, QStringLiteral("unending mjpeg stream somehow 'finished'"),
                    QStringLiteral("the stream ended"));
    }
    // A single picture: deliver it, then fetch the next one after the usual spacing.
    if (m_streamBuffer.isEmpty())
        return fail(CameraState::NotVideo, QStringLiteral("mjpeg response without a picture"),
                    QStringLiteral("no picture in the response"));
    partEnds();
    if (reply == m_reply)
        endConnection();
}

bool MJPEGStreamSession::partBegins()
{
    m_streamBuffer.clear();
    return true;
}

bool MJPEGStreamSession::partEnds()
{
    if (!connected)
        return true;
    deliverBuffer();
    if (!singleFrame)
        return true;
    singleFrame = false;
    detachReply();
    emit stopRequested(m_generation);
    return false;
}

void MJPEGStreamSession::pictureShown()
{
    // Decoding runs after the part arrived; the connection may be gone by now.
    if (!m_reply)
        return;
    m_sawPicture = true;
    // Parts since this picture that do not decode count anew.
    m_sawPart = false;
    m_pictureWatch->start(pictureGapLimitMs(m_params), false);
}

void MJPEGStreamSession::deliverBuffer()
{
    m_sawPart = true;
    offerPart(m_streamBuffer, m_streamBuffer.size());
    // The offered part keeps its bytes; the next one gets a buffer of its own.
    m_streamBuffer = QByteArray();
    m_streamBuffer.reserve(BufferCapacity);
}

bool MJPEGStreamSession::partData(const char *data, qsizetype size)
{
    if (m_streamBuffer.size() + size > MaxPartSize) {
        fail(CameraState::NotVideo, QStringLiteral("mjpeg stream part over %1 bytes").arg(MaxPartSize),
             QStringLiteral("a part over %1 bytes").arg(MaxPartSize));
        return false;
    }
    m_streamBuffer.append(data, size);
    return true;
}

void MJPEGStreamSession::fail(CameraState state, const QString &logLine, const QString &reason)
{
    logLimited(LogLevel::Debug, logLine);
    emit failed(m_generation, state, reason);
    endConnection();
}

void MJPEGStreamSession::failStatus(int status)
{
    // The body of an error response is never a picture.
    fail(httpStatusState(status), QStringLiteral("HTTP status %1 from MJPG stream %2").arg(status).arg(LogMask::url(m_url)),
         QStringLiteral("HTTP status %1").arg(status));
}

CameraState MJPEGStreamSession::httpStatusState(int status)
{
    switch (status) {
    case 401:
    case 403:
    case 407:
        return CameraState::Unauthorized;
    case 404:
    case 410:
        return CameraState::NotFound;
    default:
        return CameraState::Unreachable;
    }
}

CameraState MJPEGStreamSession::networkFailureState(QNetworkReply::NetworkError error) const
{
    if (error == QNetworkReply::SslHandshakeFailedError)
        return m_certificate == CertificatePin::Verdict::Changed ? CameraState::CertificateChanged
                                                                 : CameraState::UntrustedCertificate;
    if (error == QNetworkReply::AuthenticationRequiredError || error == QNetworkReply::ProxyAuthenticationRequiredError)
        return CameraState::Unauthorized;
    // A connection that had carried bytes broke: the reconnect will tell what is wrong.
    return m_sawBytes ? CameraState::Connecting : CameraState::Unreachable;
}

void MJPEGStreamSession::endConnection()
{
    detachReply();
    connected = false;
    m_streamBuffer.clear();
    emit reconnectRequested(m_generation);
}
