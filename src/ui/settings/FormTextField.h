#pragma once

#include "config/FormTextEntry.h"
#include "ui/kit/TextField.h"

// A form's one-line text field: reads its text, and is cleared by no value.
class FormTextField final : public TextField, public FormTextEntry
{
    Q_OBJECT

public:
    explicit FormTextField(QWidget *parent = nullptr);

    QString getValue() const override;
    void setValue(const QString &value) override;
    void setEnabled(bool enabled) override;
    void setPlaceholder(const QString &placeholder) override;
    QString placeholder() const override;
    void setKeyboard(FormTextEntry::Keyboard keyboard) override;
    void setSecureEntry(bool secure) override;
    void setCapitalization(FormTextEntry::Capitalization capitalization) override;
};
