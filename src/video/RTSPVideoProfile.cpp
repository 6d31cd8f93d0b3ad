#include "video/RTSPVideoProfile.h"

#include "video/GenericVideoProfile.h"
#include "video/RTSPStreamReader.h"

#include "config/FormHost.h"

#include <QCoreApplication>
#include <QUrl>

QString RTSPVideoProfile::description() const
{
    return QStringLiteral("RTSP - H.264/H.265");
}

QString RTSPVideoProfile::canHandleType() const
{
    return QStringLiteral("RTSP");
}

QUrl RTSPVideoProfile::streamURL(const Value &params, bool thumbnail)
{
    if (!params.hasText(QStringLiteral("video.host")))
        return {};
    QString path = text(params, "video.path", "/");
    if (thumbnail && params.hasText(QStringLiteral("video.grid_path")))
        path = text(params, "video.grid_path");
    if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1Char('/'));
    const qint64 port = params.value(QStringLiteral("video.port")).toInteger();
    const QString urlText = QStringLiteral("rtsp://%1%2%3%4")
                                .arg(credentials(params), text(params, "video.host"),
                                     port > 0 && port != 554 ? QStringLiteral(":%1").arg(port) : QString(), path);
    const QUrl url(urlText, QUrl::StrictMode);
    return url.isValid() ? url : QUrl();
}

std::unique_ptr<FrameProducer> RTSPVideoProfile::streamFromParms(const Value &params, bool thumbnail, QThread *) const
{
    if (!params.hasText(QStringLiteral("video.host")))
        return nullptr;
    auto reader = std::make_unique<RTSPStreamReader>();
    reader->setConnectionParameters(params, streamURL(params, thumbnail));
    return reader;
}

void RTSPVideoProfile::populateForm(FormHost &form, const Value &params) const
{
    form.setTitle(description());
    const FormSectionRef general = addTitledSection(form, QStringLiteral("rtspVideo"),
                                                    QCoreApplication::translate("VideoProfile", "Video Options"));
    addHostRow(form, general, params);
    addTextRow(form, general, params, QStringLiteral("video.port"),
               QCoreApplication::translate("VideoProfile", "Port"), Field::Narrow,
               QStringLiteral("554"));
    addTextRow(form, general, params, QStringLiteral("video.path"),
               QCoreApplication::translate("VideoProfile", "Stream path"), Field::Narrow,
               QStringLiteral("/Streaming/Channels/101"), FormTextEntry::Keyboard::Url);
    addTextRow(form, general, params, QStringLiteral("video.grid_path"),
               QCoreApplication::translate("VideoProfile", "Grid stream path"),
               Field::Narrow, QStringLiteral("/Streaming/Channels/102"), FormTextEntry::Keyboard::Url);
    addCredentialRows(form, general, params);
    addChoiceRow(form, general, params, QStringLiteral("video.transport"),
                 QCoreApplication::translate("VideoProfile", "Transport"),
                 { QStringLiteral("Automatic"), QStringLiteral("TCP"), QStringLiteral("UDP") },
                 { QCoreApplication::translate("VideoProfile", "Automatic"), QStringLiteral("TCP"),
                   QStringLiteral("UDP") });
}

Value RTSPVideoProfile::readFromForm(const FormHost &form) const
{
    return readKeys(form, { QStringLiteral("video.host"), QStringLiteral("video.port"), QStringLiteral("video.path"),
                            QStringLiteral("video.grid_path"), QStringLiteral("video.username"),
                            QStringLiteral("video.password"), QStringLiteral("video.transport") });
}

QList<const PTZProfile *> RTSPVideoProfile::compatiblePTZList() const
{
    // A generic camera: the same protocols the Generic profile offers.
    return GenericVideoProfile().compatiblePTZList();
}
