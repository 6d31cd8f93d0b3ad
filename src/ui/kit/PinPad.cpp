#include "ui/kit/PinPad.h"

#include "ui/kit/RoundedButton.h"
#include "ui/kit/TextField.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {
constexpr int KeyHeight = 28;
}

PinPad::PinPad(const QString &title, QWidget *parent)
    : Alert(title, QString(), parent)
    , m_field(addTextField(QString()))
{
    m_field->setEchoMode(QLineEdit::Password);
    m_field->setAlignment(Qt::AlignCenter);
    m_field->setMaxLength(MaxDigits);
    m_field->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(MaxDigits)), m_field));
    m_field->setInputMethodHints(Qt::ImhDigitsOnly | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText);
    connect(m_field, &QLineEdit::returnPressed, this, [this] { emit entered(pin()); });

    auto *keys = new QGridLayout;
    keys->setSpacing(6);
    for (int column = 0; column < 3; ++column)
        keys->setColumnStretch(column, 1);
    const auto key = [this, keys](const QString &label, int row, int column) {
        auto *button = new RoundedButton(label, panel());
        button->setRole(RoundedButton::Role::Dark);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedHeight(KeyHeight);
        // Equal keys: the columns share the width, whatever their labels need.
        button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        keys->addWidget(button, row, column);
        return button;
    };
    for (int digit = 0; digit <= 9; ++digit) {
        const int place = digit == 0 ? 10 : digit - 1;
        const QString text = QString::number(digit);
        connect(key(text, place / 3, place % 3), &QAbstractButton::clicked, this, [this, text] {
            if (m_field->text().size() < MaxDigits)
                m_field->setText(m_field->text() + text);
        });
    }
    // The sign fits the narrow key; the word is for screen readers.
    RoundedButton *erase = key(QStringLiteral("\u232B"), 3, 0);
    erase->setAccessibleName(tr("Delete"));
    connect(erase, &QAbstractButton::clicked, m_field, &QLineEdit::backspace);
    connect(key(tr("OK"), 3, 2), &QAbstractButton::clicked, this, [this] { emit entered(pin()); });

    static_cast<QVBoxLayout *>(panel()->layout())->insertLayout(3, keys);
    setCancelButtonIndex(addButton(tr("Cancel")));
}

QString PinPad::pin() const
{
    return m_field->text();
}

void PinPad::refuse(const QString &message)
{
    m_field->clear();
    setMessage(message);
    m_field->setFocus();
}
