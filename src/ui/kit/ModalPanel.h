#pragma once

#include <QDialog>
#include <QList>

class QLabel;
class QVBoxLayout;
class RoundedButton;

// What action sheets and alerts share: a modal layer over the whole window that
// dims it, a title, a column of buttons of which one may be destructive (red)
// and one may cancel, and the index of the button that closed it.
class ModalPanel : public QDialog
{
    Q_OBJECT

public:
    int addButton(const QString &title);
    void setDestructiveButtonIndex(int index);
    void setCancelButtonIndex(int index);
    int buttonCount() const { return int(m_buttons.size()); }
    RoundedButton *button(int index) const { return m_buttons.value(index); }
    QString title() const;

    // Covers the window of `over` and shows itself without blocking the caller.
    void showOver(QWidget *over);
    // Closes as if the button had been tapped.
    void dismissWithButtonIndex(int index);

signals:
    void clickedButtonAtIndex(int index);
    void didDismissWithButtonIndex(int index);

protected:
    explicit ModalPanel(const QString &title, QWidget *parent);

    // Where subclasses put their panel; it holds the title label and the buttons.
    QWidget *panel() const { return m_panel; }
    QLabel *titleLabel() const { return m_title; }
    QVBoxLayout *buttonLayout() const { return m_buttonLayout; }
    // Positions the panel inside the dimmed window rectangle.
    virtual void placePanel() = 0;
    virtual void styleButton(RoundedButton *button, int index) const = 0;
    int destructiveIndex() const { return m_destructive; }
    int cancelIndex() const { return m_cancel; }

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void restyle();

    QWidget *m_panel;
    QLabel *m_title;
    QVBoxLayout *m_buttonLayout;
    QList<RoundedButton *> m_buttons;
    int m_destructive = -1;
    int m_cancel = -1;
};
