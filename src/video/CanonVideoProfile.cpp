#include "video/CanonVideoProfile.h"

#include "config/FormHost.h"
#include "ptz/CanonPTZProfile.h"

#include "video/FrameProducer.h"

#include <QCoreApplication>

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

void CanonVideoProfile::populateForm(FormHost &form, const Value &params) const
{
    form.setTitle(description());
    const FormSectionRef general = addTitledSection(form, QStringLiteral("genVideo"),
                                                    QCoreApplication::translate("VideoProfile", "Video Options"));
    addHostRow(form, general, params);
    addPortRow(form, general, params);
    addCredentialRows(form, general, params);
    const FormSectionRef extended =
        addTitledSection(form, QStringLiteral("extVideo"),
                         QCoreApplication::translate("VideoProfile", "Extended Video Options"));
    addResolutionRow(form, extended, params, QStringLiteral("320x240"));
    addFrameRateRow(form, extended, params);
    addCompressionRow(form, extended, params, QStringLiteral("3"));
}

Value CanonVideoProfile::readFromForm(const FormHost &form) const
{
    return readKeys(form, {QStringLiteral("video.host"), QStringLiteral("video.port"),
                           QStringLiteral("video.username"), QStringLiteral("video.password"),
                           QStringLiteral("video.resolution"), QStringLiteral("video.fps"),
                           QStringLiteral("video.compression")});
}

QList<const PTZProfile *> CanonVideoProfile::compatiblePTZList() const
{
    return {&CanonPTZProfile::instance()};
}
