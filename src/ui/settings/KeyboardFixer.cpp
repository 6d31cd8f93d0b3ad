#include "ui/settings/KeyboardFixer.h"

#include "ui/kit/ShownIn.h"
#include "ui/kit/TableView.h"
#include "ui/kit/Theme.h"
#include "ui/settings/InputMethodKeyboardSource.h"

#include <QApplication>
#include <QGraphicsProxyWidget>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPropertyAnimation>
#include <QTextEdit>

KeyboardFixer::KeyboardFixer(KeyboardSource *source, QObject *parent)
    : QObject(parent)
    , m_source(source ? source : new InputMethodKeyboardSource(this))
    , m_animation(new QPropertyAnimation(this))
{
    m_animation->setPropertyName("geometry");
    m_animation->setDuration(Theme::AnimationMs);
    connect(m_source, &KeyboardSource::visibleChanged, this, &KeyboardFixer::keyboardChanged);
    connect(m_source, &KeyboardSource::keyboardRectangleChanged, this, &KeyboardFixer::keyboardChanged);
    connect(qApp, &QApplication::focusChanged, this, &KeyboardFixer::focusChanged);
    // The field is scrolled into view once the table has its new height.
    connect(m_animation, &QAbstractAnimation::finished, this, [this] { scrollToCurrent(true); });
}

KeyboardFixer::~KeyboardFixer()
{
    if (m_view)
        qApp->removeEventFilter(this);
}

void KeyboardFixer::viewWillAppear(TableView *view)
{
    if (m_view)
        viewWillDisappear();
    m_view = view;
    m_origFrame = {};
    if (view)
        qApp->installEventFilter(this);
}

void KeyboardFixer::viewWillDisappear()
{
    if (!m_view)
        return;
    qApp->removeEventFilter(this);
    dismissKeyboard();
    // No hide may come after the screen has gone, so the frame goes back now.
    restoreFrame(false);
    m_view->setScrollEnabled(true);
    m_view = nullptr;
}

void KeyboardFixer::dismissKeyboard()
{
    QPointer<QWidget> current = std::exchange(m_current, nullptr);
    if (current)
        current->clearFocus();
}

bool KeyboardFixer::isTextObject(const QWidget *widget) const
{
    return qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QTextEdit *>(widget)
           || qobject_cast<const QPlainTextEdit *>(widget);
}

void KeyboardFixer::focusChanged(QWidget *old, QWidget *now)
{
    if (m_view && now && isTextObject(now) && m_view->isAncestorOf(now)) {
        m_current = now;
        // Moving straight from one field to another keeps the keyboard and the
        // table's size; only the new field is brought into view.
        if (m_source->isVisible())
            fitAboveKeyboard();
        scrollToCurrent(m_animated);
        return;
    }
    if (old && old == m_current)
        m_current = nullptr;
}

void KeyboardFixer::keyboardChanged()
{
    if (!m_view)
        return;
    if (m_source->isVisible()) {
        if (m_current)
            fitAboveKeyboard();
        return;
    }
    // Switching fields may hide and at once show the keyboard again; only a hide
    // that is still true once the events have settled restores the table.
    QMetaObject::invokeMethod(this, &KeyboardFixer::restoreIfHidden, Qt::QueuedConnection);
}

void KeyboardFixer::restoreIfHidden()
{
    if (m_view && !m_source->isVisible())
        restoreFrame(m_animated);
}

void KeyboardFixer::fitAboveKeyboard()
{
    if (m_origFrame.isNull())
        m_origFrame = m_view->geometry();
    QWidget *window = m_view->window();
    const QRect inWindow(m_view->parentWidget() ? m_view->parentWidget()->mapTo(window, m_origFrame.topLeft())
                                                : m_origFrame.topLeft(),
                         m_origFrame.size());
    // The keyboard is placed in the coordinates of the window on the screen, which
    // may show this one scaled.
    const QRect onScreen = m_source->keyboardRectangle().toAlignedRect();
    const QWidget *shown = shownIn(m_view);
    QRect keyboard;
    if (!onScreen.isEmpty()) {
        keyboard = QRect(window->mapFromGlobal(shown->mapToGlobal(onScreen.topLeft())),
                         window->mapFromGlobal(shown->mapToGlobal(onScreen.bottomRight())));
    }
    QRect target = m_origFrame;
    if (keyboard.intersects(inWindow))
        target.setHeight(qMax(0, keyboard.top() - inWindow.top()));
    if (target != m_view->geometry())
        setViewGeometry(target, m_animated);
    if (m_animation->state() != QAbstractAnimation::Running)
        scrollToCurrent(m_animated);
}

void KeyboardFixer::restoreFrame(bool animated)
{
    if (m_origFrame.isNull() || !m_view)
        return;
    setViewGeometry(m_origFrame, animated);
    m_origFrame = {};
}

void KeyboardFixer::setViewGeometry(const QRect &geometry, bool animated)
{
    m_animation->stop();
    if (!animated) {
        m_view->setGeometry(geometry);
        return;
    }
    m_animation->setTargetObject(m_view);
    m_animation->setStartValue(m_view->geometry());
    m_animation->setEndValue(geometry);
    m_animation->start();
}

void KeyboardFixer::scrollToCurrent(bool animated)
{
    if (!m_current || !m_view || !m_view->widget())
        return;
    // The field's cell, so that the whole row shows rather than just the field.
    QWidget *row = m_current->parentWidget() ? m_current->parentWidget() : m_current.data();
    const QRect inContent(row->mapTo(m_view->widget(), QPoint(0, 0)), row->size());
    m_view->scrollRectToVisible(inContent, animated);
}

bool KeyboardFixer::modalPanelOpen(const QObject *except) const
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(), [except](const QWidget *w) {
        return w != except && w->isVisible() && w->windowModality() != Qt::NonModal;
    });
}

bool KeyboardFixer::eventFilter(QObject *watched, QEvent *event)
{
    const auto type = event->type();
    if (!watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    // Focus moving inside a graphics scene (the main window shows its views scaled
    // in one) is the scene's affair: the application announces none of it.
    if ((type == QEvent::FocusIn || type == QEvent::FocusOut) && widget->window()->graphicsProxyWidget()) {
        if (type == QEvent::FocusIn)
            focusChanged(nullptr, widget);
        else
            focusChanged(widget, nullptr);
        return false;
    }
    if (type != QEvent::Show && type != QEvent::Hide)
        return false;
    if (!widget->isWindow() || widget->windowModality() == Qt::NonModal || !m_current || !m_view)
        return false;
    if (type == QEvent::Show)
        m_view->setScrollEnabled(false);
    else if (!modalPanelOpen(widget))
        m_view->setScrollEnabled(true);
    return false;
}
