#pragma once

#include <QLineEdit>

// The one-line text field of the settings rows: borderless inside its cell, a clear
// button only while editing, and a return key labelled Done that ends editing.
// Keyboard hints reach an on-screen keyboard as input method hints.
class TextField : public QLineEdit
{
    Q_OBJECT

public:
    enum class Keyboard { Default, Url, NumbersAndPunctuation, Email };
    enum class Capitalization { None, Words, Sentences };

    explicit TextField(QWidget *parent = nullptr);

    void setKeyboard(Keyboard keyboard);
    Keyboard keyboard() const { return m_keyboard; }
    void setCapitalization(Capitalization capitalization);
    Capitalization capitalization() const { return m_capitalization; }
    void setAutocorrection(bool on);
    void setSecureEntry(bool secure);
    bool isSecureEntry() const { return echoMode() == QLineEdit::Password; }

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

protected:
    void focusInEvent(QFocusEvent *event) override;
    // Capitalisation is a hint for on-screen keyboards, whose text arrives here;
    // what a hardware keyboard types is never changed.
    void inputMethodEvent(QInputMethodEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void updateHints();
    // The letters of the last count characters before the cursor that begin a word.
    void capitalizeWordStarts(qsizetype count);

    Keyboard m_keyboard = Keyboard::Default;
    Capitalization m_capitalization = Capitalization::Sentences;
    bool m_autocorrection = true;
};
