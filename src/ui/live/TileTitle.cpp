#include "ui/live/TileTitle.h"

#include <QPainter>

namespace {

constexpr int FontPixels = 12;

} // namespace

void TileTitle::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    m_drawn = QPixmap();
}

void TileTitle::paint(QPainter &painter, const QRect &bar, const QFont &font)
{
    if (m_artwork.isNull())
        m_artwork = QPixmap(QStringLiteral(":/images/small_title_bar.png"));
    const QTransform toDevice = painter.deviceTransform();
    // Turned or sheared (a page curl), it is drawn afresh rather than blurred.
    if (toDevice.type() > QTransform::TxScale || toDevice.m11() != toDevice.m22()) {
        draw(painter, bar, font);
        return;
    }
    const qreal scale = toDevice.m11();
    const QSize size = (QSizeF(bar.size()) * scale).toSize();
    if (m_drawn.isNull() || m_drawn.devicePixelRatio() != scale || m_drawn.size() != size) {
        m_drawn = QPixmap(size);
        m_drawn.setDevicePixelRatio(scale);
        m_drawn.fill(Qt::transparent);
        QPainter onPixmap(&m_drawn);
        draw(onPixmap, QRect(QPoint(0, 0), bar.size()), font);
    }
    painter.drawPixmap(bar.topLeft(), m_drawn);
}

void TileTitle::draw(QPainter &painter, const QRect &bar, const QFont &font) const
{
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(bar, m_artwork);
    QFont bold = font;
    bold.setPixelSize(FontPixels);
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(Qt::white);
    painter.drawText(bar, Qt::AlignCenter, m_text);
    painter.restore();
}
