#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>

class KeyboardSource;
class QPropertyAnimation;
class QWidget;
class TableView;

// Keeps the text field being edited above the on-screen keyboard. A screen hands
// over its scrolling table when it appears and takes it back when it leaves; while
// the keyboard covers the table's lower part the table is made shorter and the
// field is scrolled into view. With a hardware keyboard nothing is ever covered,
// so nothing moves.
//
// While a modal panel (alert, action sheet) is open over an edit, the table does
// not scroll.
class KeyboardFixer final : public QObject
{
    Q_OBJECT

public:
    // Without a source, the application's input method is watched.
    explicit KeyboardFixer(KeyboardSource *source = nullptr, QObject *parent = nullptr);
    ~KeyboardFixer() override;

    void viewWillAppear(TableView *view);
    void viewWillDisappear();
    // Ends the current edit, which lets the keyboard go.
    void dismissKeyboard();

    TableView *currentView() const { return m_view; }
    QWidget *currentTextObject() const { return m_current; }
    // Size changes are animated unless turned off (tests).
    void setAnimated(bool animated) { m_animated = animated; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void focusChanged(QWidget *old, QWidget *now);
    void keyboardChanged();
    void restoreIfHidden();
    void fitAboveKeyboard();
    void restoreFrame(bool animated);
    void setViewGeometry(const QRect &geometry, bool animated);
    void scrollToCurrent(bool animated);
    bool isTextObject(const QWidget *widget) const;
    bool modalPanelOpen(const QObject *except) const;

    KeyboardSource *m_source;
    QPointer<TableView> m_view;
    QPointer<QWidget> m_current;
    // The table's frame before the keyboard shortened it; null while not shortened.
    QRect m_origFrame;
    QPropertyAnimation *m_animation;
    bool m_animated = true;
};
