#include "ui/live/PresetsMenu.h"

#include "ui/kit/ActionSheet.h"
#include "ui/kit/Alert.h"
#include "ui/kit/TextField.h"
#include "ui/kit/Theme.h"

#include <QWidget>

#include <algorithm>

PresetsMenu::PresetsMenu(QWidget *over)
    : QObject(over)
    , m_over(over)
{
}

ActionSheet *PresetsMenu::sheet() const
{
    return m_sheet;
}

Alert *PresetsMenu::nameAlert() const
{
    return m_alert;
}

void PresetsMenu::setController(PTZController *controller)
{
    if (m_controller)
        QObject::disconnect(m_controller, nullptr, this, nullptr);
    m_controller = controller;
    if (controller) {
        connect(controller, &PTZController::presetSupportChanged, this, &PresetsMenu::availabilityChanged);
        connect(controller, &PTZController::presetsListed, this, &PresetsMenu::showSheet);
        connect(controller, &PTZController::presetFailed, this, [this](const QString &reason) {
            Alert::inform(tr("Presets"), reason, m_over);
        });
    }
    emit availabilityChanged(isAvailable());
}

void PresetsMenu::show()
{
    if (isAvailable() && !m_sheet && !m_alert)
        m_controller->listPresets();
}

int PresetsMenu::presetsThatFit() const
{
    constexpr int SheetMargins = 60;
    constexpr int ButtonPitch = Theme::RowHeight + 8;
    const int height = m_over->window() ? m_over->window()->height() : m_over->height();
    return std::max(1, (height - SheetMargins) / ButtonPitch - 2);
}

void PresetsMenu::showSheet(const QList<PTZPreset> &presets)
{
    if (m_sheet || m_alert)
        return;
    const QList<PTZPreset> shown = presets.mid(0, presetsThatFit());
    m_sheet = new ActionSheet(presets.isEmpty() ? tr("No presets yet") : QString(), m_over);
    m_sheet->setAttribute(Qt::WA_DeleteOnClose);
    for (const PTZPreset &preset : shown)
        m_sheet->addButton(preset.name);
    const int save = m_sheet->addButton(tr("Save Current Position..."));
    m_sheet->setCancelButtonIndex(m_sheet->addButton(tr("Cancel")));
    connect(m_sheet, &ActionSheet::clickedButtonAtIndex, this, [this, shown, save](int index) {
        if (index < shown.size() && m_controller)
            m_controller->gotoPreset(shown.at(index).token);
        else if (index == save)
            askName();
    });
    m_sheet->showOver(m_over);
}

void PresetsMenu::askName()
{
    m_alert = new Alert(tr("Save Current Position"), tr("Name the preset."), m_over);
    m_alert->setAttribute(Qt::WA_DeleteOnClose);
    TextField *name = m_alert->addTextField(tr("Preset name"));
    name->setMaxLength(64);
    m_alert->setCancelButtonIndex(m_alert->addButton(tr("Cancel")));
    const int save = m_alert->addButton(tr("Save"));
    connect(m_alert, &Alert::clickedButtonAtIndex, this, [this, name, save](int index) {
        const QString text = name->text().trimmed();
        if (index == save && !text.isEmpty() && m_controller)
            m_controller->savePreset(text);
    });
    m_alert->showOver(m_over);
}
