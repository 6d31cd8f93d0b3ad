#include "ui/live/TileTitle.h"

#include <QPainter>

namespace {

constexpr int FontPixels = 12;

} // namespace

TileTitle::TileTitle(QWidget *parent)
    : QWidget(parent)
    , m_bar(QStringLiteral(":/images/small_title_bar.png"))
{
    QFont bold = font();
    bold.setPixelSize(FontPixels);
    bold.setBold(true);
    setFont(bold);
}

void TileTitle::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    setAccessibleName(text);
    m_drawn = QPixmap();
    update();
}

void TileTitle::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_drawn = QPixmap();
}

void TileTitle::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QTransform toDevice = painter.deviceTransform();
    // Turned or sheared (a page curl), it is drawn afresh rather than blurred.
    if (toDevice.type() > QTransform::TxScale || toDevice.m11() != toDevice.m22()) {
        draw(painter);
        return;
    }
    const qreal scale = toDevice.m11();
    if (m_drawn.isNull() || m_drawn.devicePixelRatio() != scale) {
        m_drawn = QPixmap((QSizeF(size()) * scale).toSize());
        m_drawn.setDevicePixelRatio(scale);
        m_drawn.fill(Qt::transparent);
        QPainter onPixmap(&m_drawn);
        draw(onPixmap);
    }
    painter.drawPixmap(0, 0, m_drawn);
}

void TileTitle::draw(QPainter &painter) const
{
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), m_bar);
    painter.setFont(font());
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter, m_text);
}
