#include "app/OpenURLHandler.h"

#include "app/MainWindow.h"
#include "app/SettingsViewController.h"
#include "app/VyoAppDelegate.h"
#include "config/CameraProfileUpdater.h"
#include "config/GroupStore.h"
#include "ui/kit/ActionSheet.h"
#include "ui/kit/Alert.h"
#include "ui/kit/NavigationController.h"
#include "ui/live/MultiPageScrollerView.h"
#include "ui/live/SingleView.h"
#include "ui/live/VideoView.h"
#include "platform/DeviceIdentity.h"
#include "ui/settings/GroupChooserView.h"
#include "ui/settings/GroupListView.h"
#include "util/QelLog.h"

#include <QDateTime>
#include <QTimer>

namespace {

// ": <name>" for a sheet title, or nothing when the definition has no such text.
QString titleSuffix(const Value &definition, const QString &key)
{
    const QString text = definition.value(key).toString();
    return definition.hasText(key) ? QStringLiteral(": ") + text : QString();
}

// " (<title>)" for an alert message, or nothing.
QString titleInParens(const Value &definition)
{
    return definition.hasText(QStringLiteral("title"))
        ? QStringLiteral(" (%1)").arg(definition.value(QStringLiteral("title")).toString())
        : QString();
}

// How long the single view's picture waits, shrunk to a point, before it grows.
constexpr int AdhocDelayMs = 100;

} // namespace

OpenURLHandler::OpenURLHandler(VyoAppDelegate &app, QObject *parent)
    : QObject(parent)
    , m_app(app)
{
}

bool OpenURLHandler::application(const QUrl &url)
{
    const std::optional<ConfigLink::Type> type = ConfigLink::typeOfHost(url.host());
    if (!type)
        return false;
    m_urlType = *type;
    const QString payload = ConfigLink::payloadOf(url);
    const Value definition = ConfigLink::extractConfigFromEncodedData(payload, m_urlType);
    switch (m_urlType) {
    case ConfigLink::Camera:
        if (!definition.isNull())
            m_urlData = CameraProfileUpdater::convertCameraDefinition(definition);
        if (m_urlData.isNull()) {
            QEL_LOG(LogLevel::Error, QStringLiteral("Failed to import camera definition."));
            return false;
        }
        showSheet(QStringLiteral("Received a New Camera Definition") + titleSuffix(m_urlData, QStringLiteral("title")),
                  { QStringLiteral("Add To a Group"), QStringLiteral("Discard") });
        return true;
    case ConfigLink::Group:
        if (!definition.isNull())
            m_urlData = CameraProfileUpdater::convertGroupDefinition(definition);
        if (m_urlData.isNull()) {
            QEL_LOG(LogLevel::Error, QStringLiteral("Failed to import group definition."));
            return false;
        }
        showSheet(QStringLiteral("Received a New Group Definition") + titleSuffix(m_urlData, QStringLiteral("name")),
                  { QStringLiteral("Add As a New Group"), QStringLiteral("Add To an Existing Group"),
                    QStringLiteral("Discard") });
        return true;
    case ConfigLink::AdhocCamera:
        if (!definition.isNull())
            m_urlData = CameraProfileUpdater::convertCameraDefinition(definition);
        if (m_urlData.isNull()) {
            QEL_LOG(LogLevel::Error, QStringLiteral("Failed to import adhoc camera definition."));
            return false;
        }
        switch (ConfigLink::checkRestriction(m_urlData, DeviceIdentity::uniqueIdentifier(),
                                             QDateTime::currentDateTimeUtc())) {
        case ConfigLink::Restriction::Expired:
            QEL_LOG(LogLevel::Error, QStringLiteral("Tried to import expired adhoc camera definition."));
            showAlert(QStringLiteral("The adhoc camera definition you received%1 has expired.").arg(titleInParens(m_urlData)));
            m_urlData = Value();
            return false;
        case ConfigLink::Restriction::Restricted:
            QEL_LOG(LogLevel::Error, QStringLiteral("Tried to import restricted adhoc camera definition."));
            showAlert(QStringLiteral("The adhoc camera definition you received%1 is restricted, and cannot be displayed on this device.")
                          .arg(titleInParens(m_urlData)));
            m_urlData = Value();
            return false;
        case ConfigLink::Restriction::Allowed:
            break;
        }
        m_urlData.remove(QStringLiteral("configRestrict"));
        showSheet(QStringLiteral("Received an AdHoc Camera Definition") + titleSuffix(m_urlData, QStringLiteral("title")),
                  { QStringLiteral("View Now"), QStringLiteral("Ignore") });
        return true;
    }
    return false;
}

void OpenURLHandler::showSheet(const QString &title, const QStringList &buttons)
{
    auto *sheet = new ActionSheet(title, &m_app.window());
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    for (const QString &button : buttons)
        sheet->addButton(button);
    sheet->setDestructiveButtonIndex(int(buttons.size()) - 1);
    connect(sheet, &ModalPanel::clickedButtonAtIndex, this, &OpenURLHandler::clickedButtonAtIndex);
    connect(sheet, &ModalPanel::didDismissWithButtonIndex, this, &OpenURLHandler::didDismissWithButtonIndex);
    m_panel = sheet;
    sheet->showOver(&m_app.window());
}

void OpenURLHandler::showAlert(const QString &message)
{
    // The alert belongs to the window: the handler of a refused link is gone at once.
    auto *alert = new Alert(QStringLiteral("Camera Import Error"), message, &m_app.window());
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->addButton(QStringLiteral("OK"));
    m_panel = alert;
    alert->showOver(&m_app.window());
}

void OpenURLHandler::clickedButtonAtIndex(int index)
{
    NavigationController *navigation = m_app.navigationController();
    GroupListView &groupList = m_app.settingController()->groupListController();
    const Value definition = m_urlData;
    m_urlData = Value();
    // Whatever settings screen was open gives way to the chosen destination.
    const auto showInSettings = [&](ViewController *screen) {
        navigation->popToRootViewController(false);
        navigation->pushViewController(screen, false);
        m_app.switchToView(LiveViewHost::View::Settings);
    };
    switch (m_urlType) {
    case ConfigLink::Camera:
        if (index == 0) {
            auto *chooser = new GroupChooserView(groupList);
            chooser->setCurrentCamera(definition);
            showInSettings(chooser);
        }
        break;
    case ConfigLink::Group:
        if (index == 0) {
            showInSettings(&groupList);
            groupList.store().createAndShowNewGroup(definition);
        } else if (index == 1) {
            auto *chooser = new GroupChooserView(groupList);
            chooser->setNewGroup(definition);
            showInSettings(chooser);
        }
        break;
    case ConfigLink::AdhocCamera:
        if (index == 0) {
            SingleView *single = m_app.singleView();
            single->videoView()->setGeometry(QRect(single->rect().center() - QPoint(1, 1), QSize(2, 2)));
            m_app.multiView()->setEnabled(false);
            m_showingAdhoc = true;
            QTimer::singleShot(AdhocDelayMs, this, [this, definition] { goToSingleView(definition); });
        }
        break;
    }
}

void OpenURLHandler::didDismissWithButtonIndex(int)
{
    // A camera on its way to the single view takes the handler with it.
    if (!m_showingAdhoc)
        deleteLater();
}

void OpenURLHandler::goToSingleView(const Value &camera)
{
    m_app.singleView()->setCamera(camera);
    m_app.switchToView(LiveViewHost::View::Single);
    m_app.multiView()->setEnabled(true);
    if (m_showingAdhoc)
        deleteLater();
}
