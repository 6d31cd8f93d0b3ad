#pragma once

#include "ptz/PTZController.h"

#include <QObject>
#include <QPointer>

class ActionSheet;
class Alert;
class QWidget;

// The presets of the single view's camera: an action sheet lists them (a tap goes
// there) and offers "Save Current Position...", which asks for a name first. Main
// thread; belongs to the view it shows over and follows one controller at a time.
class PresetsMenu final : public QObject
{
    Q_OBJECT

public:
    explicit PresetsMenu(QWidget *over);

    // The controller of the camera shown, or null; the menu does not own it.
    void setController(PTZController *controller);
    bool isAvailable() const { return m_controller && m_controller->supportsPresets(); }
    // Asks the camera for its presets; the sheet opens when they come.
    void show();

    // The sheet and the name prompt while they are open.
    ActionSheet *sheet() const;
    Alert *nameAlert() const;

signals:
    void availabilityChanged(bool available);

private:
    void showSheet(const QList<PTZPreset> &presets);
    void askName();
    // As many presets as fit on the window above Save and Cancel.
    int presetsThatFit() const;

    QWidget *m_over;
    QPointer<PTZController> m_controller;
    QPointer<ActionSheet> m_sheet;
    QPointer<Alert> m_alert;
};
