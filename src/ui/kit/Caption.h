#pragma once

#include <QRect>
#include <QRectF>
#include <QString>

class QPainter;

// Text laid over live pictures: white, on a dark translucent band so that it reads
// on bright scenes as on dark ones. Any paint device, any thread.
namespace Caption {

// The band fills band; the text, elided to fit, is centred in it at a size the
// band's height sets.
void paint(QPainter &painter, const QRectF &band, const QString &text);

// A band across area whose top, centre or bottom (anchor) is at y, as high as the
// text needs: the type follows the area's height, long words take a smaller type,
// then more lines.
void paintAcross(QPainter &painter, const QRect &area, int y, const QString &text,
                 Qt::Alignment anchor = Qt::AlignVCenter);

} // namespace Caption
