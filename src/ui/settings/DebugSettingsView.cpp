#include "ui/settings/DebugSettingsView.h"

#include "platform/NotificationHub.h"
#include "platform/Preferences.h"
#include "ui/kit/BarButtonItem.h"
#include "ui/kit/NavigationController.h"
#include "ui/settings/FormSwitch.h"

namespace {
const QString ShowFPSKey = QStringLiteral("VidShowFPS");
}

DebugSettingsView::DebugSettingsView(Preferences &preferences, TableView::Style style, QWidget *parent)
    : FormTableViewController(style, parent)
    , m_preferences(preferences)
    , m_showFPS(std::make_shared<FormSwitch>())
{
    setTitle(QStringLiteral("Debug"));
    auto *save = new BarButtonItem(BarButtonItem::SystemItem::Save, this);
    connect(save, &BarButtonItem::triggered, this, &DebugSettingsView::saveButtonPressed);
    setRightBarButtonItem(save);
    auto *cancel = new BarButtonItem(BarButtonItem::SystemItem::Cancel, this);
    connect(cancel, &BarButtonItem::triggered, this, &DebugSettingsView::cancelButtonPressed);
    setLeftBarButtonItem(cancel);

    m_showFPS->setOn(m_preferences.boolForKey(ShowFPSKey));
    addRow(ShowFPSKey, QStringLiteral("Show FPS"), m_showFPS, QStringLiteral("n"), addSection(QStringLiteral("video")));
}

void DebugSettingsView::saveButtonPressed()
{
    const bool show = viewValueOfRow(rowForKey(ShowFPSKey)) == QLatin1StringView("y");
    m_preferences.setValue(ShowFPSKey, show);
    // Posted even when nothing changed: the views simply apply it again.
    NotificationHub::instance().post(ShowFPSKey, { { QStringLiteral("newValue"), show } });
    if (NavigationController *stack = navigationController())
        stack->popViewController(true);
}

void DebugSettingsView::cancelButtonPressed()
{
    if (NavigationController *stack = navigationController())
        stack->popViewController(true);
}
