#include "video/AxisVideoProfile.h"

#include "config/FormHost.h"
#include "ptz/AxisPTZProfile.h"

#include "video/FrameProducer.h"

#include <QCoreApplication>

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

void AxisVideoProfile::populateForm(FormHost &form, const Value &params) const
{
    populateAxisForm(form, params, CameraNumber::Without);
}

Value AxisVideoProfile::readFromForm(const FormHost &form) const
{
    return readAxisForm(form, CameraNumber::Without);
}

QList<const PTZProfile *> AxisVideoProfile::compatiblePTZList() const
{
    return {&AxisPTZProfile::instance()};
}

void AxisVideoProfile::populateAxisForm(FormHost &form, const Value &params, CameraNumber cameraNumber) const
{
    form.setTitle(description());
    const FormSectionRef general = addTitledSection(form, QStringLiteral("genVideo"),
                                                    QCoreApplication::translate("VideoProfile", "Video Options"));
    addSwitchRow(form, general, params, QStringLiteral("video.ssl"), QStringLiteral("SSL"));
    addHostRow(form, general, params);
    addPortRow(form, general, params);
    if (cameraNumber == CameraNumber::With)
        addTextRow(form, general, params, QStringLiteral("video.camera_number"),
                   QCoreApplication::translate("VideoProfile", "Camera Number"),
                   Field::Narrow, QStringLiteral("1"));
    addCredentialRows(form, general, params);
    const FormSectionRef extended =
        addTitledSection(form, QStringLiteral("extVideo"),
                         QCoreApplication::translate("VideoProfile", "Extended Video Options"));
    addResolutionRow(form, extended, params, QStringLiteral("352x240"));
    addFrameRateRow(form, extended, params);
    addCompressionRow(form, extended, params, QStringLiteral("30"));
}

Value AxisVideoProfile::readAxisForm(const FormHost &form, CameraNumber cameraNumber) const
{
    QStringList keys{QStringLiteral("video.ssl"), QStringLiteral("video.host"), QStringLiteral("video.port")};
    if (cameraNumber == CameraNumber::With)
        keys << QStringLiteral("video.camera_number");
    keys << QStringLiteral("video.username") << QStringLiteral("video.password") << QStringLiteral("video.resolution")
         << QStringLiteral("video.fps") << QStringLiteral("video.compression");
    Value params = readKeys(form, keys);
    // These cameras always understand the Axis parameter syntax; the form has no switch for it.
    params.insert(QStringLiteral("video.vapix"), QStringLiteral("1"));
    return params;
}
