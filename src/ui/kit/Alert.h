#pragma once

#include "ui/kit/ModalPanel.h"

class QLabel;
class TextField;

// A message in a rounded box in the middle of the window, answered by one of its
// buttons.
class Alert : public ModalPanel
{
    Q_OBJECT

public:
    Alert(const QString &title, const QString &message, QWidget *parent = nullptr);

    // Shows a message with one "OK" over the widget; the alert belongs to the
    // widget and deletes itself when answered.
    static Alert *inform(const QString &title, const QString &message, QWidget *over);

    QString message() const;
    // Empty hides the line.
    void setMessage(const QString &message);
    // A text field under the message, for an answer typed in; the alert owns it.
    TextField *addTextField(const QString &placeholder);

protected:
    void placePanel() override;
    void styleButton(RoundedButton *button, int index) const override;
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *m_message;
};
