#include "VideoProfile.h"

#include "MJPEGStreamReader.h"

#include <QUrl>

QString VideoProfile::text(const Value &params, const char *key, const char *fallback)
{
    const QString name = QString::fromLatin1(key);
    return params.hasText(name) ? params.value(name).toString() : QString::fromUtf8(fallback);
}

QString VideoProfile::scheme(const Value &params)
{
    return params.value(QStringLiteral("video.ssl")).toBool() ? QStringLiteral("https") : QStringLiteral("http");
}

QString VideoProfile::credentials(const Value &params)
{
    if (!params.hasText(QStringLiteral("video.username")) || !params.hasText(QStringLiteral("video.password")))
        return {};
    return QStringLiteral("%1:%2@").arg(text(params, "video.username"), text(params, "video.password"));
}

QString VideoProfile::portPiece(const Value &params)
{
    const qint64 port = params.value(QStringLiteral("video.port")).toInteger();
    return port == 80 || port == 0 ? QString() : QStringLiteral(":%1").arg(port);
}

std::unique_ptr<FrameProducer> VideoProfile::httpReader(const Value &params, const QString &urlText, QThread *thread)
{
    QUrl url(urlText, QUrl::StrictMode);
    if (!url.isValid())
        url = QUrl();
    auto reader = std::make_unique<MJPEGStreamReader>(thread);
    reader->setConnectionParameters(params, url);
    return reader;
}
