#pragma once

#include "video/MultipartSplitter.h"
#include "video/StreamSession.h"

#include "platform/CertificatePin.h"

#include <QByteArray>
#include <QNetworkReply>
#include <QUrl>

#include <optional>

class Clock;
class ClockTimer;
class QNetworkAccessManager;

// The worker-thread half of MJPEGStreamReader: one HTTP request at a time, its
// response cut into parts, each part offered for decoding as soon as it is complete.
// A connection is given up when it falls silent for three frame intervals (at least
// 2 seconds), and when no picture has come some time after it was opened or after
// the last picture: a camera may keep sending without ever completing its headers
// or a picture that decodes.
class MJPEGStreamSession final : public StreamSession, private MultipartSplitter::Listener
{
    Q_OBJECT

public:
    static constexpr qsizetype BufferCapacity = 30000;
    static constexpr qsizetype MaxPartSize = 16 * 1024 * 1024;
    static constexpr qint64 MinSilenceMs = 2000;
    static constexpr qint64 MinFirstPictureMs = 10000;
    static constexpr qint64 MinPictureGapMs = 5000;

    explicit MJPEGStreamSession(Clock &clock, QObject *parent = nullptr);

    // How long a connection may stay silent: three frame intervals of "video.fps".
    static qint64 silenceLimitMs(const Value &params);
    static qint64 firstPictureLimitMs(const Value &params);
    // How long an open connection may go on without a picture once one has come.
    static qint64 pictureGapLimitMs(const Value &params);
    ~MJPEGStreamSession() override;

    void startInternal(quint64 generation, const Value &params, const QUrl &url);
    void stopInternal() override;

private:
    bool partBegins() override;
    bool partData(const char *data, qsizetype size) override;
    bool partEnds() override;
    void pictureShown() override;

    void handleMetaData(QNetworkReply *reply);
    void handleData(QNetworkReply *reply);
    void handleFinished(QNetworkReply *reply);
    // Ends the connection after a failure and asks for a spaced reconnect.
    void fail(CameraState state, const QString &logLine, const QString &reason);
    void failStatus(int status);
    static CameraState httpStatusState(int status);
    CameraState networkFailureState(QNetworkReply::NetworkError error) const;
    void endConnection();
    void detachReply();
    // Offers the part just completed.
    void deliverBuffer();

    ClockTimer *m_silence;
    // Runs from the connect to the first picture, then from each picture to the next.
    ClockTimer *m_pictureWatch;
    QNetworkAccessManager *m_manager = nullptr;
    QNetworkReply *m_reply = nullptr;
    std::optional<MultipartSplitter> m_splitter;
    bool m_headersSeen = false;
    // Bytes came on this connection; a part was complete on it.
    bool m_sawBytes = false;
    bool m_sawPart = false;
    bool m_sawPicture = false;
    // What the connection's certificate was found to be when it failed the checks.
    CertificatePin::Verdict m_certificate = CertificatePin::Verdict::Untrusted;
    QByteArray m_streamBuffer;
    QUrl m_url;
};
