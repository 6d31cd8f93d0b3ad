#include "video/SonyVideoProfile.h"

#include "config/FormHost.h"
#include "ptz/SonyPTZProfile.h"

#include "video/FrameProducer.h"

#include <QCoreApplication>

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

void SonyVideoProfile::populateForm(FormHost &form, const Value &params) const
{
    form.setTitle(description());
    const FormSectionRef general = addTitledSection(form, QStringLiteral("genVideo"),
                                                    QCoreApplication::translate("VideoProfile", "Video Options"));
    addSwitchRow(form, general, params, QStringLiteral("video.ssl"), QStringLiteral("SSL"));
    addHostRow(form, general, params);
    addPortRow(form, general, params);
    addCredentialRows(form, general, params);
    const FormSectionRef extended =
        addTitledSection(form, QStringLiteral("extVideo"),
                         QCoreApplication::translate("VideoProfile", "Extended Video Options"));
    addFrameRateRow(form, extended, params);
}

Value SonyVideoProfile::readFromForm(const FormHost &form) const
{
    return readKeys(form, {QStringLiteral("video.ssl"), QStringLiteral("video.host"), QStringLiteral("video.port"),
                           QStringLiteral("video.username"), QStringLiteral("video.password"),
                           QStringLiteral("video.fps")});
}

QList<const PTZProfile *> SonyVideoProfile::compatiblePTZList() const
{
    return {&SonyPTZProfile::instance()};
}
