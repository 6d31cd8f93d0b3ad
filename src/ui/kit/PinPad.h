#pragma once

#include "ui/kit/Alert.h"

class TextField;

// A PIN asked for in the middle of the window: a masked field, a pad of digits
// that touch panels without a keyboard need, OK and Cancel. OK reports the PIN and
// leaves the pad up, so that a wrong one can be refused in place; Cancel closes it.
class PinPad final : public Alert
{
    Q_OBJECT

public:
    static constexpr int MaxDigits = 12;

    explicit PinPad(const QString &title, QWidget *parent = nullptr);

    TextField *field() const { return m_field; }
    QString pin() const;
    // Clears the field and says why.
    void refuse(const QString &message);

signals:
    void entered(const QString &pin);

private:
    TextField *m_field;
};
