#include "CanonVideoProfile.h"

#include "FrameProducer.h"

QString CanonVideoProfile::description() const
{
    return QStringLiteral("Canon - Motion JPEG");
}

QString CanonVideoProfile::canHandleType() const
{
    return QStringLiteral("CANONMJPEG");
}

std::unique_ptr<FrameProducer> CanonVideoProfile::streamFromParms(const Value &params, bool, QThread *thread) const
{
    if (!params.hasText(QStringLiteral("video.host")))
        return nullptr;
    const qint64 fps = Value::integerOf(text(params, "video.fps", "1"));
    const QString url = QStringLiteral("http://%1%2%3/-wvhttp-01-/video.cgi?v=jpg:%4:%5:%6")
                            .arg(credentials(params), text(params, "video.host"), portPiece(params),
                                 text(params, "video.resolution", "320x240"), text(params, "video.compression", "3"),
                                 QString::number(fps * 1000));
    return httpReader(params, url, thread);
}
