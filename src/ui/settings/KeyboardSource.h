#pragma once

#include <QObject>
#include <QRectF>

// Where the on-screen keyboard is: the input method in the application, a fake
// in tests.
class KeyboardSource : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual bool isVisible() const = 0;
    // In the coordinates of the window being edited.
    virtual QRectF keyboardRectangle() const = 0;

signals:
    void visibleChanged();
    void keyboardRectangleChanged();
};
