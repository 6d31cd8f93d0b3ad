#pragma once

#include "config/FormField.h"

// A one-line text field of a form, with the settings a profile gives each of its rows.
class FormTextEntry : public FormField
{
public:
    enum class Keyboard { Default, Url, NumbersAndPunctuation, Email };
    enum class Capitalization { None, Words, Sentences };

    virtual void setPlaceholder(const QString &placeholder) = 0;
    virtual QString placeholder() const = 0;
    virtual void setKeyboard(Keyboard keyboard) = 0;
    virtual void setSecureEntry(bool secure) = 0;
    virtual void setCapitalization(Capitalization capitalization) = 0;
};
