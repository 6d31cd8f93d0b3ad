#pragma once

#include "ui/settings/KeyboardSource.h"

// The keyboard of the application's input method (QInputMethod); with a hardware
// keyboard it never becomes visible.
class InputMethodKeyboardSource final : public KeyboardSource
{
    Q_OBJECT

public:
    explicit InputMethodKeyboardSource(QObject *parent = nullptr);

    bool isVisible() const override;
    QRectF keyboardRectangle() const override;
};
