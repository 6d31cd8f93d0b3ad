#include "ui/settings/DebugSettingsView.h"

#include "platform/Preferences.h"
#include "ui/kit/BarButtonItem.h"
#include "ui/kit/NavigationController.h"
#include "ui/settings/FormSwitch.h"

namespace {
const QString ShowFPSRow = QStringLiteral("showFPS");
const QString HardwareDecodingRow = QStringLiteral("hardwareDecoding");
}

DebugSettingsView::DebugSettingsView(Preferences &preferences, TableView::Style style, QWidget *parent)
    : FormTableViewController(style, parent)
    , m_preferences(preferences)
    , m_showFPS(std::make_shared<FormSwitch>())
    , m_hardwareDecoding(std::make_shared<FormSwitch>())
{
    setTitle(tr("Debug"));
    auto *save = new BarButtonItem(BarButtonItem::SystemItem::Save, this);
    connect(save, &BarButtonItem::triggered, this, &DebugSettingsView::saveButtonPressed);
    setRightBarButtonItem(save);
    auto *cancel = new BarButtonItem(BarButtonItem::SystemItem::Cancel, this);
    connect(cancel, &BarButtonItem::triggered, this, &DebugSettingsView::cancelButtonPressed);
    setLeftBarButtonItem(cancel);

    m_showFPS->setOn(m_preferences.showFPS());
    const FormSectionRef video = addSection(QStringLiteral("video"));
    addRow(ShowFPSRow, tr("Show FPS"), m_showFPS, QStringLiteral("n"), video);
    m_hardwareDecoding->setOn(m_preferences.hardwareDecoding());
    addRow(HardwareDecodingRow, tr("Hardware Decoding"), m_hardwareDecoding, QStringLiteral("y"), video);
}

void DebugSettingsView::saveButtonPressed()
{
    // Announced even when nothing changed: the video views simply apply it again.
    m_preferences.setShowFPS(viewValueOfRow(rowForKey(ShowFPSRow)) == QLatin1StringView("y"));
    m_preferences.setHardwareDecoding(viewValueOfRow(rowForKey(HardwareDecodingRow)) == QLatin1StringView("y"));
    if (NavigationController *stack = navigationController())
        stack->popViewController(true);
}

void DebugSettingsView::cancelButtonPressed()
{
    if (NavigationController *stack = navigationController())
        stack->popViewController(true);
}
