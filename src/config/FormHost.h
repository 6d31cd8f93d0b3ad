#pragma once

#include "config/FormSection.h"
#include "config/FormTextEntry.h"

#include <memory>

// What a profile may do with the form it fills and reads: the camera editor
// implements it with widgets, tests with a plain fake.
class FormHost
{
public:
    virtual ~FormHost() = default;

    virtual void setTitle(const QString &title) = 0;
    virtual FormSectionRef addSection(const QString &key) = 0;
    virtual void removeSection(const QString &key) = 0;
    virtual FormSectionRef sectionForKey(const QString &key) const = 0;
    virtual FormRowRef addRow(const QString &key, const QString &label,
                              std::shared_ptr<FormField> view, const QString &defaultValue,
                              const FormSectionRef &section) = 0;
    virtual FormRowRef rowForKey(const QString &key) const = 0;
    // The row's value, or null when the row, its view or its text is missing or empty.
    virtual QString viewValueOfRow(const FormRowRef &row) const = 0;

    // New controls for rows; a text field is wide (large) or narrow, and enabled
    // exactly when the form is editable.
    virtual std::shared_ptr<FormTextEntry> createDefaultTextfield(bool large) = 0;
    virtual std::shared_ptr<FormField> createSwitch() = 0;
    // A pick among fixed values, each shown by its label; the first is the default.
    virtual std::shared_ptr<FormField> createChoice(const QString &title, const QStringList &values,
                                                    const QStringList &labels) = 0;
};
