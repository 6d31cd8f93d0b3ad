#include "GenericVideoProfile.h"

#include "AxisVideoProfile.h"
#include "FrameProducer.h"

#include "util/Utilities.h"

QString GenericVideoProfile::description() const
{
    return QStringLiteral("Generic - Motion JPEG");
}

QString GenericVideoProfile::canHandleType() const
{
    return QStringLiteral("GENMJPEG");
}

std::unique_ptr<FrameProducer> GenericVideoProfile::streamFromParms(const Value &params, bool thumbnail,
                                                                    QThread *thread) const
{
    if (!params.hasText(QStringLiteral("video.host")))
        return nullptr;
    const QString path = text(params, "video.path");
    QString query;
    if (params.value(QStringLiteral("video.vapix")).toBool()) {
        const bool hasQuery = Utilities::indexOfString(QStringLiteral("?"), path) >= 0;
        query = (hasQuery ? QStringLiteral("&") : QStringLiteral("?")) + AxisVideoProfile::imageQuery(params, thumbnail);
    }
    const QString url = QStringLiteral("%1://%2%3%4%5%6")
                            .arg(scheme(params), credentials(params), text(params, "video.host"), portPiece(params),
                                 path, query);
    return httpReader(params, url, thread);
}
