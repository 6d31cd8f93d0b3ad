#include "SonyVideoProfile.h"

#include "FrameProducer.h"

QString SonyVideoProfile::description() const
{
    return QStringLiteral("Sony - Motion JPEG");
}

QString SonyVideoProfile::canHandleType() const
{
    return QStringLiteral("SONYMJPEG");
}

std::unique_ptr<FrameProducer> SonyVideoProfile::streamFromParms(const Value &params, bool, QThread *thread) const
{
    if (!params.hasText(QStringLiteral("video.host")))
        return nullptr;
    const QString url = QStringLiteral("%1://%2%3%4/image?speed=%5")
                            .arg(scheme(params), credentials(params), text(params, "video.host"), portPiece(params),
                                 text(params, "video.fps", "1"));
    return httpReader(params, url, thread);
}
