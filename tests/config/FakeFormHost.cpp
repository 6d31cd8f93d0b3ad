#include "config/FakeFormHost.h"

#include "config/Value.h"

QString FakeFormHost::Field::getValue() const
{
    if (isSwitch)
        return Value::truthOf(value) ? QStringLiteral("y") : QStringLiteral("n");
    return value;
}

void FakeFormHost::Field::setValue(const QString &newValue)
{
    value = newValue.isEmpty() && !choices.isEmpty() ? choices.first() : newValue;
}

std::shared_ptr<FormTextEntry> FakeFormHost::createDefaultTextfield(bool large)
{
    auto field = std::make_shared<Field>(false);
    field->large = large;
    field->enabled = model.isEditable();
    return field;
}

std::shared_ptr<FormField> FakeFormHost::createChoice(const QString &, const QStringList &values, const QStringList &)
{
    auto field = std::make_shared<Field>(false);
    field->choices = values;
    field->setValue(QString());
    field->enabled = model.isEditable();
    return field;
}

FakeFormHost::Field *FakeFormHost::field(const QString &key) const
{
    const FormRowRef row = model.rowForKey(key);
    return row ? dynamic_cast<Field *>(row->view.get()) : nullptr;
}
