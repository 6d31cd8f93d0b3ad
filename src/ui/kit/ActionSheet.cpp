#include "ui/kit/ActionSheet.h"

#include "ui/kit/RoundedButton.h"
#include "ui/kit/Theme.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

ActionSheet::ActionSheet(const QString &title, QWidget *parent)
    : ModalPanel(title, parent)
{
    titleLabel()->setFont(Theme::font(14));
    QPalette pal = titleLabel()->palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    titleLabel()->setPalette(pal);
}

void ActionSheet::styleButton(RoundedButton *button, int index) const
{
    if (index == destructiveIndex())
        button->setRole(RoundedButton::Role::Destructive);
    else if (index == cancelIndex())
        button->setRole(RoundedButton::Role::Dark);
    else
        button->setRole(RoundedButton::Role::Cancel);
}

void ActionSheet::placePanel()
{
    const int height = panel()->sizeHint().height();
    panel()->setGeometry(0, this->height() - height, width(), height);
}

void ActionSheet::paintEvent(QPaintEvent *event)
{
    ModalPanel::paintEvent(event);
    QPainter p(this);
    const QRect sheet = panel()->geometry();
    QLinearGradient fill(sheet.topLeft(), sheet.bottomLeft());
    fill.setColorAt(0, QColor(72, 84, 104, 235));
    fill.setColorAt(1, QColor(32, 40, 56, 235));
    p.fillRect(sheet, fill);
    p.setPen(QColor(150, 160, 180));
    p.drawLine(sheet.topLeft(), sheet.topRight());
}
