#include "ui/kit/Caption.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace Caption {

namespace {

const QColor Band(0, 0, 0, 160);

} // namespace

void paint(QPainter &painter, const QRectF &band, const QString &text)
{
    painter.save();
    painter.fillRect(band, Band);
    QFont font = painter.font();
    font.setPixelSize(std::max(9, int(std::lround(band.height() * 0.45))));
    font.setBold(true);
    painter.setFont(font);
    const double padding = band.height() * 0.3;
    const QRectF room = band.adjusted(padding, 0, -padding, 0);
    const QString line = QFontMetrics(font).elidedText(text, Qt::ElideRight, int(room.width()));
    painter.setPen(Qt::white);
    painter.drawText(room, Qt::AlignCenter, line);
    painter.restore();
}

void paintAcross(QPainter &painter, const QRect &area, int y, const QString &text, Qt::Alignment anchor)
{
    if (text.isEmpty())
        return;
    constexpr int Margin = 4;
    const int room = std::max(1, area.width() - 2 * Margin);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(std::clamp(area.height() / 12, 11, 22));
    while (font.pixelSize() > 11 && QFontMetrics(font).horizontalAdvance(text) > room)
        font.setPixelSize(font.pixelSize() - 1);
    const QFontMetrics metrics(font);
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    const QRect words = metrics.boundingRect(QRect(0, 0, room, area.height()), flags, text);
    const int bandHeight = words.height() + 2 * (metrics.height() / 3);
    const int top = anchor & Qt::AlignTop ? y : anchor & Qt::AlignBottom ? y - bandHeight : y - bandHeight / 2;
    const QRect band(area.left(), top, area.width(), bandHeight);
    painter.save();
    painter.fillRect(band, Band);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(band.adjusted(Margin, 0, -Margin, 0), flags, text);
    painter.restore();
}

} // namespace Caption
