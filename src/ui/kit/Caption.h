#pragma once

#include <QRectF>
#include <QString>

class QPainter;

// Text laid over live pictures: white, on a dark translucent band so that it reads
// on bright scenes as on dark ones. Any paint device, any thread.
namespace Caption {

// The band fills band; the text, elided to fit, is centred in it at a size the
// band's height sets.
void paint(QPainter &painter, const QRectF &band, const QString &text);

} // namespace Caption
