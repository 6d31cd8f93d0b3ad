#pragma once

#include <QString>

// The value face of a form's field views (on/off switches, one-line text fields).
// Profiles lay out and read forms through it without knowing any widget; the
// settings screens implement it with real controls and tests with plain fakes.
class FormField
{
public:
    virtual ~FormField() = default;

    // A null text stands for "no value".
    virtual QString getValue() const = 0;
    virtual void setValue(const QString &value) = 0;
    virtual void setEnabled(bool enabled) = 0;
};
