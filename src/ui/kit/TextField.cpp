#include "ui/kit/TextField.h"

#include "ui/kit/Theme.h"

#include <QInputMethodEvent>
#include <QPainter>
#include <QStyle>

TextField::TextField(QWidget *parent)
    : QLineEdit(parent)
{
    setFrame(false);
    setFont(Theme::detailFont());
    setMinimumHeight(30);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    QPalette pal = palette();
    pal.setColor(QPalette::Text, Theme::detailText());
    pal.setColor(QPalette::PlaceholderText, QColor(179, 179, 179));
    pal.setColor(QPalette::Base, Qt::white);
    setPalette(pal);
    // Done ends editing, which hides an on-screen keyboard.
    connect(this, &QLineEdit::returnPressed, this, [this] { clearFocus(); });
    updateHints();
}

void TextField::setKeyboard(Keyboard keyboard)
{
    m_keyboard = keyboard;
    updateHints();
}

void TextField::setCapitalization(Capitalization capitalization)
{
    m_capitalization = capitalization;
    updateHints();
}

void TextField::setAutocorrection(bool on)
{
    m_autocorrection = on;
    updateHints();
}

void TextField::setSecureEntry(bool secure)
{
    setEchoMode(secure ? QLineEdit::Password : QLineEdit::Normal);
    updateHints();
}

void TextField::updateHints()
{
    Qt::InputMethodHints hints;
    switch (m_keyboard) {
    case Keyboard::Default:
        break;
    case Keyboard::Url:
        hints |= Qt::ImhUrlCharactersOnly;
        break;
    case Keyboard::NumbersAndPunctuation:
        hints |= Qt::ImhPreferNumbers;
        break;
    case Keyboard::Email:
        hints |= Qt::ImhEmailCharactersOnly;
        break;
    }
    if (m_capitalization == Capitalization::None)
        hints |= Qt::ImhNoAutoUppercase;
    if (!m_autocorrection)
        hints |= Qt::ImhNoPredictiveText;
    if (isSecureEntry())
        hints |= Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText;
    setInputMethodHints(hints);
}

void TextField::inputMethodEvent(QInputMethodEvent *event)
{
    const qsizetype committed = event->commitString().size();
    QLineEdit::inputMethodEvent(event);
    // Input methods know sentence capitalisation only; words are capitalised here.
    if (m_capitalization == Capitalization::Words && committed > 0)
        capitalizeWordStarts(committed);
}

void TextField::capitalizeWordStarts(qsizetype count)
{
    QString words = text();
    const int cursor = cursorPosition();
    for (qsizetype i = qMax<qsizetype>(0, cursor - count); i < cursor && i < words.size(); ++i) {
        if (words[i].isLower() && (i == 0 || words[i - 1].isSpace()))
            words[i] = words[i].toUpper();
    }
    if (words != text()) {
        setText(words);
        setCursorPosition(cursor);
    }
}

QVariant TextField::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (query == Qt::ImEnterKeyType)
        return Qt::EnterKeyDone;
    return QLineEdit::inputMethodQuery(query);
}

void TextField::focusInEvent(QFocusEvent *event)
{
    setClearButtonEnabled(true);
    QLineEdit::focusInEvent(event);
}

void TextField::focusOutEvent(QFocusEvent *event)
{
    setClearButtonEnabled(false);
    QLineEdit::focusOutEvent(event);
}

void TextField::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    if (isEnabled())
        return;
    // A disabled field reads as plain text, not as a greyed-out control.
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Base));
    p.setFont(font());
    p.setPen(text().isEmpty() ? palette().color(QPalette::PlaceholderText) : Theme::detailText());
    const QString shown = text().isEmpty() ? placeholderText()
                          : isSecureEntry() ? QString(text().size(), QChar(style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, this)))
                                            : text();
    p.drawText(rect().adjusted(2, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft,
               fontMetrics().elidedText(shown, Qt::ElideRight, width() - 4));
}
