#pragma once

#include "ui/settings/FormTableViewController.h"

#include <memory>

class FormSwitch;
class Preferences;

// Switches the frames-per-second line of the video views.
class DebugSettingsView final : public FormTableViewController
{
    Q_OBJECT

public:
    // The preferences outlive the screen.
    explicit DebugSettingsView(Preferences &preferences, TableView::Style style = TableView::Style::Grouped,
                               QWidget *parent = nullptr);

    FormSwitch *showFPSSwitch() const { return m_showFPS.get(); }
    FormSwitch *hardwareDecodingSwitch() const { return m_hardwareDecoding.get(); }

public slots:
    void saveButtonPressed();
    void cancelButtonPressed();

private:
    Preferences &m_preferences;
    std::shared_ptr<FormSwitch> m_showFPS;
    std::shared_ptr<FormSwitch> m_hardwareDecoding;
};
