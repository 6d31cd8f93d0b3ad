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

void Theme::paintCaption(QPainter &painter, const QRect &area, int y, const QString &text, Qt::Alignment anchor)
{
    if (text.isEmpty())
        return;
    constexpr int Margin = 4;
    const int room = std::max(1, area.width() - 2 * Margin);
    // Smaller type first; what still does not fit goes onto more lines.
    QFont type = font(std::clamp(area.height() / 12, 11, 22), true);
    while (type.pixelSize() > 11 && QFontMetrics(type).horizontalAdvance(text) > room)
        type.setPixelSize(type.pixelSize() - 1);
    const QFontMetrics metrics(type);
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    const QRect words = metrics.boundingRect(QRect(0, 0, room, area.height()), flags, text);
    const int bandHeight = words.height() + 2 * (metrics.height() / 3);
    const int top = anchor & Qt::AlignTop ? y : anchor & Qt::AlignBottom ? y - bandHeight : y - bandHeight / 2;
    const QRect band(area.left(), top, area.width(), bandHeight);
    painter.save();
    painter.fillRect(band, QColor(0, 0, 0, 160));
    painter.setFont(type);
    painter.setPen(Qt::white);
    painter.drawText(band.adjusted(Margin, 0, -Margin, 0), flags, text);
    painter.restore();
}

void Theme::fillBlack(QWidget *widget)
{
    widget->setAutoFillBackground(true);
    QPalette black = widget->palette();
    black.setColor(QPalette::Window, Qt::black);
    widget->setPalette(black);
}
