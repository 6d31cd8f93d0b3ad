#include "AxisVideoProfile.h"

#include "FrameProducer.h"

QString AxisVideoProfile::description() const
{
    return QStringLiteral("Axis - Motion JPEG");
}

QString AxisVideoProfile::canHandleType() const
{
    return QStringLiteral("AXISMJPEG");
}

QString AxisVideoProfile::getThumbSizeFromFull(const QString &resolution)
{
    const QStringList sides = resolution.split(QLatin1Char('x'));
    if (sides.size() != 2)
        return resolution;
    const qint64 width = Value::integerOf(sides.at(0));
    const qint64 height = Value::integerOf(sides.at(1));
    if (width == 0 || height == 0)
        return resolution;
    return QStringLiteral("%1x%2").arg(width / 2).arg(height / 2);
}

QString AxisVideoProfile::imageQuery(const Value &params, bool thumbnail)
{
    QString resolution = text(params, "video.resolution", "352x240");
    if (thumbnail)
        resolution = getThumbSizeFromFull(resolution);
    return QStringLiteral("resolution=%1&fps=%2&compression=%3&")
        .arg(resolution, text(params, "video.fps", "1"), text(params, "video.compression", "30"));
}

std::unique_ptr<FrameProducer> AxisVideoProfile::streamFromParms(const Value &params, bool thumbnail,
                                                                 QThread *thread) const
{
    if (!params.hasText(QStringLiteral("video.host")))
        return nullptr;
    const QString url = QStringLiteral("%1://%2%3%4/axis-cgi/mjpg/video.cgi?camera=%5&%6")
                            .arg(scheme(params), credentials(params), text(params, "video.host"), portPiece(params),
                                 text(params, "video.camera_number", "1"), imageQuery(params, thumbnail));
    return httpReader(params, url, thread);
}
