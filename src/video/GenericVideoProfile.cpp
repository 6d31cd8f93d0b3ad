#include "video/GenericVideoProfile.h"

#include "config/FormHost.h"
#include "ptz/PelcoPTZProfile.h"
#include "ptz/QSGemineyePTZProfile.h"
#include "ptz/QSUnivProfile.h"

#include "video/AxisVideoProfile.h"
#include "video/FrameProducer.h"

#include "util/Utilities.h"

#include <QCoreApplication>

QString GenericVideoProfile::description() const
{
    return QCoreApplication::translate("VideoProfile", "Generic - Motion JPEG");
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

void GenericVideoProfile::populateForm(FormHost &form, const Value &params) const
{
    form.setTitle(description());
    const FormSectionRef general = addTitledSection(form, QStringLiteral("genVideo"),
                                                    QCoreApplication::translate("VideoProfile", "Video Options"));
    addSwitchRow(form, general, params, QStringLiteral("video.ssl"), QStringLiteral("SSL"));
    addHostRow(form, general, params);
    addPortRow(form, general, params);
    addTextRow(form, general, params, QStringLiteral("video.path"), QStringLiteral("URL"), Field::Narrow,
               QStringLiteral("/path?parm=value"));
    addCredentialRows(form, general, params);
    const FormSectionRef extended =
        addTitledSection(form, QStringLiteral("extVideo"),
                         QCoreApplication::translate("VideoProfile", "Extended Video Options"));
    addSwitchRow(form, extended, params, QStringLiteral("video.vapix"),
                 QCoreApplication::translate("VideoProfile", "Supports VAPIX"));
    addResolutionRow(form, extended, params, QStringLiteral("352x240"));
    addFrameRateRow(form, extended, params);
    addCompressionRow(form, extended, params, QStringLiteral("30"));
}

Value GenericVideoProfile::readFromForm(const FormHost &form) const
{
    return readKeys(form, {QStringLiteral("video.ssl"), QStringLiteral("video.host"), QStringLiteral("video.path"),
                           QStringLiteral("video.port"), QStringLiteral("video.username"),
                           QStringLiteral("video.password"), QStringLiteral("video.vapix"),
                           QStringLiteral("video.resolution"), QStringLiteral("video.fps"),
                           QStringLiteral("video.compression")});
}

QList<const PTZProfile *> GenericVideoProfile::compatiblePTZList() const
{
    return {&PelcoPTZProfile::instance(), &QSUnivProfile::instance(), &QSGemineyePTZProfile::instance()};
}
