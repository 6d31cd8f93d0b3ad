#include "ui/settings/OnvifFormSupport.h"

#include "onvif/OnvifResolver.h"
#include "platform/Clock.h"
#include "ui/kit/Alert.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TableView.h"
#include "ui/settings/FormTableViewController.h"
#include "ui/settings/OnvifStreamChooserView.h"
#include "video/OnvifVideoProfile.h"

namespace {

QString host(const Value &videoParams)
{
    return videoParams.value(QStringLiteral("video.host")).toString();
}

// What decides which device answers and how: a change asks the device again.
Value connection(const Value &videoParams)
{
    Value keys = Value::dictionary();
    for (const char *key : { "video.host", "video.port", "video.username", "video.password" })
        keys.insert(QString::fromLatin1(key), videoParams.value(QString::fromLatin1(key)));
    return keys;
}

} // namespace

OnvifFormSupport::OnvifFormSupport(FormTableViewController &form)
    : QObject(&form)
    , m_form(form)
    , m_resolver(new OnvifResolver(Clock::system(), this))
{
}

void OnvifFormSupport::resolve(const Value &videoParams, std::function<void(const OnvifDeviceInfo &)> done,
                               std::function<void(SoapResult::Status, const QString &)> failed)
{
    const QUrl device = OnvifVideoProfile::deviceService(videoParams);
    if (device.isEmpty()) {
        failed(SoapResult::Status::NetworkError, tr("The host and port make no camera address."));
        return;
    }
    m_busy = true;
    m_resolver->disconnect(this);
    connect(m_resolver, &OnvifResolver::resolved, this, [this, videoParams, done](const OnvifDeviceInfo &info) {
        m_busy = false;
        m_info = info;
        m_infoFor = connection(videoParams);
        done(info);
    });
    connect(m_resolver, &OnvifResolver::failed, this, [this, failed](SoapResult::Status status, const QString &reason) {
        m_busy = false;
        failed(status, reason);
    });
    m_resolver->resolve(device, videoParams.value(QStringLiteral("video.username")).toString(),
                        videoParams.value(QStringLiteral("video.password")).toString(),
                        videoParams.value(OnvifVideoProfile::MainProfileKey).toString(),
                        videoParams.value(OnvifVideoProfile::GridProfileKey).toString());
}

void OnvifFormSupport::report(SoapResult::Status status, const QString &host, const QString &reason)
{
    const bool refused = status == SoapResult::Status::NotAuthorized;
    QEL_LOG_LIMITED(m_limiter, LogLevel::Debug,
                    refused ? QStringLiteral("ONVIF camera %1: the user name or password was refused").arg(host)
                            : QStringLiteral("ONVIF camera %1: %2").arg(host, reason),
                    Clock::system().now());
    if (refused)
        Alert::inform(tr("Wrong User Name or Password"),
                      tr("The camera refused the user name or password. Check them and try again."), &m_form);
}

void OnvifFormSupport::save(const Value &videoParams, std::function<void(const Value &)> store)
{
    if (m_busy)
        return;
    resolve(
        videoParams,
        [videoParams, store](const OnvifDeviceInfo &info) {
            Value resolved = videoParams.deepCopy();
            OnvifVideoProfile::storeResolution(resolved, info);
            store(resolved);
        },
        [this, videoParams, store](SoapResult::Status status, const QString &reason) {
            report(status, host(videoParams), reason);
            if (status == SoapResult::Status::NotAuthorized)
                return;
            auto *alert = new Alert(tr("Camera Not Reached"),
                                    tr("The camera did not answer as an ONVIF device (%1). Save it anyway? "
                                       "Its streams are looked up when it plays.")
                                        .arg(reason),
                                    &m_form);
            alert->setAttribute(Qt::WA_DeleteOnClose);
            alert->addButton(tr("Save Anyway"));
            alert->setCancelButtonIndex(alert->addButton(tr("Cancel")));
            connect(alert, &ModalPanel::didDismissWithButtonIndex, this, [videoParams, store](int index) {
                if (index == 0)
                    store(videoParams);
            });
            alert->showOver(&m_form);
        });
}

void OnvifFormSupport::chooseStream(bool main, const Value &videoParams)
{
    if (m_busy)
        return;
    if (!m_info.profiles.isEmpty() && m_infoFor == connection(videoParams)) {
        showChooser(main);
        return;
    }
    resolve(
        videoParams, [this, main](const OnvifDeviceInfo &) { showChooser(main); },
        [this, videoParams](SoapResult::Status status, const QString &reason) {
            report(status, host(videoParams), reason);
            if (status != SoapResult::Status::NotAuthorized)
                Alert::inform(tr("Camera Not Reached"), tr("The camera did not answer as an ONVIF device (%1).").arg(reason),
                              &m_form);
        });
}

void OnvifFormSupport::showChooser(bool main)
{
    NavigationController *stack = m_form.navigationController();
    const FormRowRef row = m_form.rowForKey(main ? OnvifVideoProfile::MainProfileKey : OnvifVideoProfile::GridProfileKey);
    if (!stack || !row || !row->view)
        return;
    auto *chooser = new OnvifStreamChooserView(main ? tr("Main Stream") : tr("Grid Stream"), m_info.profiles,
                                               row->view->getValue());
    connect(chooser, &OnvifStreamChooserView::chosen, this, [this, row](const OnvifMediaProfile &profile) {
        row->view->setValue(profile.token);
        row->rightLabel = profile.summary();
        m_form.tableView()->reloadData();
    });
    stack->pushViewController(chooser, true);
}
