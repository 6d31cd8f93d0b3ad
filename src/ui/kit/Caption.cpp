#include "ui/kit/Caption.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace Caption {

void paint(QPainter &painter, const QRectF &band, const QString &text)
{
    painter.save();
    painter.fillRect(band, QColor(0, 0, 0, 160));
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

} // namespace Caption
