#include "ui/kit/Theme.h"

#include <QPalette>
#include <QWidget>

QFont Theme::font(int pixelSize, bool bold, bool italic)
{
    QFont font;
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setItalic(italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

void Theme::fillBlack(QWidget *widget)
{
    widget->setAutoFillBackground(true);
    QPalette black = widget->palette();
    black.setColor(QPalette::Window, Qt::black);
    widget->setPalette(black);
}
