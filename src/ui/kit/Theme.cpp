#include "ui/kit/Theme.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QWidget>

#include <algorithm>

QFont Theme::font(int pixelSize, bool bold, bool italic)
{
    QFont font;
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setItalic(italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

void Theme::paintCaption(QPainter &painter, const QRect &area, int centreY, const QString &text)
{
    if (text.isEmpty())
        return;
    const QFont type = font(std::clamp(area.height() / 12, 11, 22), true);
    const QFontMetrics metrics(type);
    const int padding = metrics.height() / 3;
    const QString shown = metrics.elidedText(text, Qt::ElideRight, area.width() - 2 * padding);
    const int bandHeight = metrics.height() + 2 * padding;
    const QRect band(area.left(), centreY - bandHeight / 2, area.width(), bandHeight);
    painter.save();
    painter.fillRect(band, QColor(0, 0, 0, 160));
    painter.setFont(type);
    painter.setPen(Qt::white);
    painter.drawText(band, Qt::AlignCenter, shown);
    painter.restore();
}

void Theme::fillBlack(QWidget *widget)
{
    widget->setAutoFillBackground(true);
    QPalette black = widget->palette();
    black.setColor(QPalette::Window, Qt::black);
    widget->setPalette(black);
}
