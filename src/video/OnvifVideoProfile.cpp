#include "video/OnvifVideoProfile.h"

#include "video/OnvifStreamReader.h"
#include "video/RTSPVideoProfile.h"

#include "config/FormHost.h"
#include "onvif/OnvifDeviceInfo.h"
#include "onvif/OnvifResolver.h"
#include "platform/Clock.h"
#include "ptz/OnvifPTZProfile.h"

#include <QCoreApplication>

namespace {

// Holds a chosen profile token in the form without showing it: the row shows the
// profile's summary instead.
class TokenField final : public FormField
{
public:
    QString getValue() const override { return m_value; }
    void setValue(const QString &value) override { m_value = value; }
    void setEnabled(bool) override {}

private:
    QString m_value;
};

void addStreamRow(FormHost &form, const FormSectionRef &section, const Value &params, const QString &key,
                  const QString &summaryKey, const QString &label, const QString &action)
{
    auto token = std::make_shared<TokenField>();
    token->setValue(params.value(key).toString());
    const FormRowRef row = form.addRow(key, label, token, QString(), section);
    row->rightLabel = params.hasText(summaryKey) ? params.value(summaryKey).toString()
                                                 : QCoreApplication::translate("VideoProfile", "Chosen on saving");
    row->selectable = true;
    row->showCarat = true;
    row->action = action;
}

} // namespace

QString OnvifVideoProfile::description() const
{
    return QCoreApplication::translate("VideoProfile", "ONVIF - any maker");
}

QString OnvifVideoProfile::canHandleType() const
{
    return Type;
}

QUrl OnvifVideoProfile::deviceService(const Value &params)
{
    return OnvifResolver::deviceServiceUrl(params.value(QStringLiteral("video.host")).toString(),
                                           static_cast<int>(params.value(QStringLiteral("video.port")).toInteger()));
}

QUrl OnvifVideoProfile::withCredentials(const Value &params, const QString &uri)
{
    QUrl url(uri, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().compare(QLatin1String("rtsp"), Qt::CaseInsensitive) != 0 || url.host().isEmpty())
        return {};
    // Addresses that carry their own credentials keep them.
    if (url.userName().isEmpty() && params.hasText(QStringLiteral("video.username"))) {
        url.setUserName(params.value(QStringLiteral("video.username")).toString());
        url.setPassword(params.value(QStringLiteral("video.password")).toString());
    }
    return url;
}

QUrl OnvifVideoProfile::streamURL(const Value &params, bool thumbnail)
{
    const QString key = thumbnail && params.hasText(GridUriKey) ? GridUriKey : MainUriKey;
    return params.hasText(key) ? withCredentials(params, params.value(key).toString()) : QUrl();
}

void OnvifVideoProfile::storeResolution(Value &params, const OnvifDeviceInfo &info)
{
    const auto put = [&params](const QString &key, const QString &value) {
        if (value.isEmpty())
            params.remove(key);
        else
            params.insert(key, value);
    };
    const OnvifMediaProfile *main = info.mainProfile();
    const OnvifMediaProfile *grid = info.gridProfile();
    put(MainProfileKey, main ? main->token : QString());
    put(GridProfileKey, grid ? grid->token : QString());
    put(MainSummaryKey, main ? main->summary() : QString());
    put(GridSummaryKey, grid ? grid->summary() : QString());
    put(MainUriKey, info.mainUri);
    put(GridUriKey, info.gridUri);
    put(SnapshotUriKey, info.snapshotUri);
    put(PTZServiceKey, info.ptzService.toString());
}

std::unique_ptr<FrameProducer> OnvifVideoProfile::streamFromParms(const Value &params, bool thumbnail, QThread *) const
{
    if (deviceService(params).isEmpty())
        return nullptr;
    return std::make_unique<OnvifStreamReader>(params, thumbnail, Clock::system());
}

void OnvifVideoProfile::populateForm(FormHost &form, const Value &params) const
{
    form.setTitle(description());
    const FormSectionRef general = addTitledSection(form, QStringLiteral("onvifVideo"),
                                                    QCoreApplication::translate("VideoProfile", "Video Options"));
    addHostRow(form, general, params);
    addPortRow(form, general, params);
    addCredentialRows(form, general, params);
    const FormSectionRef streams = addTitledSection(form, QStringLiteral("onvifStreams"),
                                                    QCoreApplication::translate("VideoProfile", "Streams"));
    addStreamRow(form, streams, params, MainProfileKey, MainSummaryKey,
                 QCoreApplication::translate("VideoProfile", "Main stream"), QStringLiteral("chooseOnvifMainStream"));
    addStreamRow(form, streams, params, GridProfileKey, GridSummaryKey,
                 QCoreApplication::translate("VideoProfile", "Grid stream"), QStringLiteral("chooseOnvifGridStream"));
}

Value OnvifVideoProfile::readFromForm(const FormHost &form) const
{
    return readKeys(form, { QStringLiteral("video.host"), QStringLiteral("video.port"),
                            QStringLiteral("video.username"), QStringLiteral("video.password"), MainProfileKey,
                            GridProfileKey });
}

QList<const PTZProfile *> OnvifVideoProfile::compatiblePTZList() const
{
    // The camera's own protocol first; the byte protocols serve heads wired to it.
    return QList<const PTZProfile *>{ &OnvifPTZProfile::instance() } + RTSPVideoProfile().compatiblePTZList();
}
