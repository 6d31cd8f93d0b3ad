#pragma once

#include "config/Value.h"
#include "sharing/ConfigLink.h"

#include "ui/kit/ModalPanel.h"

#include <QObject>
#include <QPointer>
#include <QUrl>

class LinkHost;

// One received "vyo" link: asks the user what to do with the definition it
// carries and hands it to the host's screens. A handler whose sheet is showing
// keeps itself until the sheet is dismissed.
class OpenURLHandler final : public QObject
{
    Q_OBJECT

public:
    // The host outlives the handler.
    explicit OpenURLHandler(LinkHost &host, QObject *parent = nullptr);

    // True when the link was understood and its action sheet is showing; the
    // handler then deletes itself once the sheet is gone. On false the caller
    // keeps ownership.
    bool application(const QUrl &url);

    ConfigLink::Type urlType() const { return m_urlType; }
    Value urlData() const { return m_urlData; }
    // The sheet or alert the link put up, while it is up.
    ModalPanel *panel() const { return m_panel; }

    // The choice made in the action sheet.
    void clickedButtonAtIndex(int index);
    void didDismissWithButtonIndex(int index);

private:
    void showSheet(const QString &title, const QStringList &buttons);
    void showAlert(const QString &message);

    LinkHost &m_host;
    ConfigLink::Type m_urlType = ConfigLink::Camera;
    Value m_urlData;
    QPointer<ModalPanel> m_panel;
};
