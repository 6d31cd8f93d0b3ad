#pragma once

#include "ui/kit/ModalPanel.h"

// A choice of actions that rises from the bottom of the window: a title over a
// column of wide buttons, the destructive one red, the cancelling one set apart.
class ActionSheet final : public ModalPanel
{
    Q_OBJECT

public:
    explicit ActionSheet(const QString &title, QWidget *parent = nullptr);

protected:
    void placePanel() override;
    void styleButton(RoundedButton *button, int index) const override;
    void paintEvent(QPaintEvent *event) override;
};
