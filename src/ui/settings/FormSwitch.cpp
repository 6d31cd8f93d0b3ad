#include "ui/settings/FormSwitch.h"

#include "config/Value.h"

FormSwitch::FormSwitch(QWidget *parent)
    : Switch(parent)
{
}

QString FormSwitch::getValue() const
{
    return isOn() ? QStringLiteral("y") : QStringLiteral("n");
}

void FormSwitch::setValue(const QString &value)
{
    setOn(!value.isNull() && Value::truthOf(value));
}

void FormSwitch::setEnabled(bool enabled)
{
    Switch::setEnabled(enabled);
}
