#pragma once

#include "video/MultipartSplitter.h"
#include "video/StreamSession.h"

#include <QByteArray>
#include <QUrl>

#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

// The worker-thread half of MJPEGStreamReader: one HTTP request at a time, its
// response cut into parts, each part offered for decoding when the next begins.
class MJPEGStreamSession final : public StreamSession, private MultipartSplitter::Listener
{
    Q_OBJECT

public:
    static constexpr qsizetype BufferCapacity = 30000;
    static constexpr qsizetype MaxPartSize = 16 * 1024 * 1024;
    static constexpr int RequestTimeoutMs = 2000;

    explicit MJPEGStreamSession(Clock &clock, QObject *parent = nullptr);
    ~MJPEGStreamSession() override;

    void startInternal(quint64 generation, const Value &params, const QUrl &url);
    void stopInternal() override;

private:
    bool partBegins() override;
    bool partData(const char *data, qsizetype size) override;

    void handleMetaData(QNetworkReply *reply);
    void handleData(QNetworkReply *reply);
    void handleFinished(QNetworkReply *reply);
    // Ends the connection after a failure and asks for a spaced reconnect.
    void fail(const QString &logLine, const QString &reason);
    void failStatus(int status);
    void endConnection();
    void detachReply();

    QNetworkAccessManager *m_manager = nullptr;
    QNetworkReply *m_reply = nullptr;
    std::optional<MultipartSplitter> m_splitter;
    bool m_headersSeen = false;
    QByteArray m_streamBuffer;
    QUrl m_url;
};
