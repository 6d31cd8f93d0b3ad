#pragma once

#include "ui/settings/FormTableViewController.h"

#include <memory>

class BarButtonItem;
class FormSwitch;
class FormTextField;
class Preferences;
class SettingsHost;

// The contact details the user may leave for news of updates. On first run it
// is the first screen and can only be left by saving; later it is reached from
// the general settings and has a Cancel button.
class RegistrationView final : public FormTableViewController
{
    Q_OBJECT

public:
    // The host and the preferences outlive the screen.
    RegistrationView(SettingsHost &host, Preferences &preferences,
                     TableView::Style style = TableView::Style::Grouped, QWidget *parent = nullptr);

    BarButtonItem *saveButton() const { return m_saveButton; }
    // Null on first run.
    BarButtonItem *cancelButton() const { return m_cancelButton; }
    FormSwitch *subscribeSwitch() const { return m_subscribe.get(); }
    // The contact detail rows are "firstName", "lastName" and "email".
    FormTextField *textField(const QString &key) const;

    std::shared_ptr<FormTextField> createDefaultTextfieldLarge(bool large);

public slots:
    void saveButtonPressed();
    void cancelButtonPressed();
    void subscribeChanged();

private:
    QWidget *makeHeader();
    // A row of the contact details.
    void addTextRow(const QString &key, const QString &label, const QString &placeholder, bool email,
                    const QString &text);

    SettingsHost &m_host;
    Preferences &m_preferences;
    BarButtonItem *m_saveButton;
    BarButtonItem *m_cancelButton = nullptr;
    std::shared_ptr<FormSwitch> m_subscribe;
    FormSectionRef m_details;
};
