#include "ui/live/DigitalZoom.h"

#include <algorithm>

namespace {

// The start of a span of the given length along a side of the view from low to high.
qreal clampedStart(qreal start, qreal length, qreal low, qreal high)
{
    if (length <= high - low)
        return (low + high - length) / 2;
    return std::clamp(start, high - length, low);
}

} // namespace

void DigitalZoom::setFitted(const QRectF &view, const QRectF &fitted)
{
    if (view == m_view && fitted == m_fitted)
        return;
    // The picture point at the view's centre, as fractions of the picture.
    QPointF centre(0.5, 0.5);
    if (!m_placed.isEmpty()) {
        const QPointF at = m_view.center() - m_placed.topLeft();
        centre = QPointF(at.x() / m_placed.width(), at.y() / m_placed.height());
    }
    m_view = view;
    m_fitted = fitted;
    const QSizeF size = fitted.size() * m_scale;
    m_placed = QRectF(view.center() - QPointF(centre.x() * size.width(), centre.y() * size.height()), size);
    keepCovering();
}

QRectF DigitalZoom::visiblePart() const
{
    if (m_placed.isEmpty())
        return QRectF(0, 0, 1, 1);
    const QRectF shown = m_placed.intersected(m_view);
    const QPointF from = shown.topLeft() - m_placed.topLeft();
    return QRectF(from.x() / m_placed.width(), from.y() / m_placed.height(), shown.width() / m_placed.width(),
                  shown.height() / m_placed.height());
}

void DigitalZoom::zoomBy(qreal factor, QPointF about)
{
    const qreal scale = std::clamp(m_scale * factor, qreal(1), MaxScale);
    const qreal change = scale / m_scale;
    m_scale = scale;
    m_placed = QRectF(about + (m_placed.topLeft() - about) * change, m_fitted.size() * scale);
    keepCovering();
}

void DigitalZoom::panBy(QPointF delta)
{
    m_placed.translate(delta);
    keepCovering();
}

void DigitalZoom::reset()
{
    m_scale = 1;
    m_placed = m_fitted;
}

void DigitalZoom::keepCovering()
{
    m_placed.moveTo(clampedStart(m_placed.left(), m_placed.width(), m_view.left(), m_view.right()),
                    clampedStart(m_placed.top(), m_placed.height(), m_view.top(), m_view.bottom()));
}
