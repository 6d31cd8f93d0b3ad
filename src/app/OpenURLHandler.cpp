#include "app/OpenURLHandler.h"

#include "app/LinkHost.h"
#include "platform/DeviceIdentity.h"
#include "sharing/LinkIntake.h"
#include "ui/kit/ActionSheet.h"
#include "ui/kit/Alert.h"
#include "util/QelLog.h"

#include <QDateTime>

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

// "camera", "group" or "adhoc camera", as the log lines name them; alerts show it translated.
const char *kindName(ConfigLink::Type type)
{
    switch (type) {
    case ConfigLink::Camera:
        return QT_TRANSLATE_NOOP("OpenURLHandler", "camera");
    case ConfigLink::Group:
        return QT_TRANSLATE_NOOP("OpenURLHandler", "group");
    case ConfigLink::AdhocCamera:
        return QT_TRANSLATE_NOOP("OpenURLHandler", "adhoc camera");
    }
    return "";
}

} // namespace

OpenURLHandler::OpenURLHandler(LinkHost &host, QObject *parent)
    : QObject(parent)
    , m_host(host)
{
}

bool OpenURLHandler::application(const QUrl &url)
{
    const LinkIntake::Result link =
        LinkIntake::read(url, DeviceIdentity::uniqueIdentifier(), QDateTime::currentDateTimeUtc());
    m_urlType = link.kind;
    switch (link.verdict) {
    case LinkIntake::Verdict::NotALink:
        return false;
    case LinkIntake::Verdict::Unreadable:
        QEL_LOG(LogLevel::Error,
                QStringLiteral("Failed to import %1 definition.").arg(QLatin1StringView(kindName(link.kind))));
        // The user opened a link, from a mail or a browser: silence would look like nothing happened.
        showAlert(tr("The %1 definition you received could not be read.").arg(tr(kindName(link.kind))));
        return false;
    case LinkIntake::Verdict::Expired:
        QEL_LOG(LogLevel::Error, QStringLiteral("Tried to import expired adhoc camera definition."));
        showAlert(tr("The adhoc camera definition you received%1 has expired.")
                      .arg(titleInParens(link.definition)));
        return false;
    case LinkIntake::Verdict::Restricted:
        QEL_LOG(LogLevel::Error, QStringLiteral("Tried to import restricted adhoc camera definition."));
        showAlert(tr("The adhoc camera definition you received%1 is restricted, and cannot be displayed on this device.")
                      .arg(titleInParens(link.definition)));
        return false;
    case LinkIntake::Verdict::Accepted:
        break;
    }
    m_urlData = link.definition;
    switch (m_urlType) {
    case ConfigLink::Camera:
        showSheet(tr("Received a New Camera Definition") + titleSuffix(m_urlData, QStringLiteral("title")),
                  { tr("Add To a Group"), tr("Discard") });
        break;
    case ConfigLink::Group:
        showSheet(tr("Received a New Group Definition") + titleSuffix(m_urlData, QStringLiteral("name")),
                  { tr("Add As a New Group"), tr("Add To an Existing Group"),
                    tr("Discard") });
        break;
    case ConfigLink::AdhocCamera:
        m_urlData.remove(QStringLiteral("configRestrict"));
        showSheet(tr("Received an AdHoc Camera Definition") + titleSuffix(m_urlData, QStringLiteral("title")),
                  { tr("View Now"), tr("Ignore") });
        break;
    }
    return true;
}

void OpenURLHandler::showSheet(const QString &title, const QStringList &buttons)
{
    QWidget *window = m_host.linkWindow();
    auto *sheet = new ActionSheet(title, window);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    for (const QString &button : buttons)
        sheet->addButton(button);
    sheet->setDestructiveButtonIndex(int(buttons.size()) - 1);
    connect(sheet, &ModalPanel::clickedButtonAtIndex, this, &OpenURLHandler::clickedButtonAtIndex);
    connect(sheet, &ModalPanel::didDismissWithButtonIndex, this, &OpenURLHandler::didDismissWithButtonIndex);
    m_panel = sheet;
    sheet->showOver(window);
}

void OpenURLHandler::showAlert(const QString &message)
{
    // The alert belongs to the window: the handler of a refused link is gone at once.
    m_panel = Alert::inform(tr("Camera Import Error"), message, m_host.linkWindow());
}

void OpenURLHandler::clickedButtonAtIndex(int index)
{
    const Value definition = std::exchange(m_urlData, Value());
    switch (m_urlType) {
    case ConfigLink::Camera:
        if (index == 0)
            m_host.chooseGroupForCamera(definition);
        break;
    case ConfigLink::Group:
        if (index == 0)
            m_host.addGroupAndEdit(definition);
        else if (index == 1)
            m_host.chooseGroupToMerge(definition);
        break;
    case ConfigLink::AdhocCamera:
        if (index == 0)
            m_host.showAdhocCamera(definition);
        break;
    }
}

void OpenURLHandler::didDismissWithButtonIndex(int)
{
    deleteLater();
}
