#include "ui/settings/InputMethodKeyboardSource.h"

#include <QGuiApplication>
#include <QInputMethod>

InputMethodKeyboardSource::InputMethodKeyboardSource(QObject *parent)
    : KeyboardSource(parent)
{
    QInputMethod *method = QGuiApplication::inputMethod();
    connect(method, &QInputMethod::visibleChanged, this, &KeyboardSource::visibleChanged);
    connect(method, &QInputMethod::keyboardRectangleChanged, this,
            &KeyboardSource::keyboardRectangleChanged);
}

bool InputMethodKeyboardSource::isVisible() const
{
    return QGuiApplication::inputMethod()->isVisible();
}

QRectF InputMethodKeyboardSource::keyboardRectangle() const
{
    return QGuiApplication::inputMethod()->keyboardRectangle();
}
