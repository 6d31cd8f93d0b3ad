#include "ui/settings/FormTextField.h"

FormTextField::FormTextField(QWidget *parent)
    : TextField(parent)
{
}

QString FormTextField::getValue() const
{
    return text();
}

void FormTextField::setValue(const QString &value)
{
    setText(value);
}

void FormTextField::setEnabled(bool enabled)
{
    TextField::setEnabled(enabled);
}

void FormTextField::setPlaceholder(const QString &placeholder)
{
    setPlaceholderText(placeholder);
}

QString FormTextField::placeholder() const
{
    return placeholderText();
}

void FormTextField::setKeyboard(FormTextEntry::Keyboard keyboard)
{
    switch (keyboard) {
    case FormTextEntry::Keyboard::Default:
        TextField::setKeyboard(TextField::Keyboard::Default);
        break;
    case FormTextEntry::Keyboard::Url:
        TextField::setKeyboard(TextField::Keyboard::Url);
        break;
    case FormTextEntry::Keyboard::NumbersAndPunctuation:
        TextField::setKeyboard(TextField::Keyboard::NumbersAndPunctuation);
        break;
    case FormTextEntry::Keyboard::Email:
        TextField::setKeyboard(TextField::Keyboard::Email);
        break;
    }
}

void FormTextField::setSecureEntry(bool secure)
{
    TextField::setSecureEntry(secure);
}

void FormTextField::setCapitalization(FormTextEntry::Capitalization capitalization)
{
    switch (capitalization) {
    case FormTextEntry::Capitalization::None:
        TextField::setCapitalization(TextField::Capitalization::None);
        break;
    case FormTextEntry::Capitalization::Words:
        TextField::setCapitalization(TextField::Capitalization::Words);
        break;
    case FormTextEntry::Capitalization::Sentences:
        TextField::setCapitalization(TextField::Capitalization::Sentences);
        break;
    }
}
