#pragma once

#include "config/FormField.h"
#include "ui/kit/Switch.h"

// A form's on/off switch: reads "y" or "n", and is turned on by any true truth value.
class FormSwitch final : public Switch, public FormField
{
    Q_OBJECT

public:
    explicit FormSwitch(QWidget *parent = nullptr);

    QString getValue() const override;
    void setValue(const QString &value) override;
    void setEnabled(bool enabled) override;
};
