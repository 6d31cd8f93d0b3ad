#pragma once

#include <QPointF>
#include <QRectF>

// Where a digitally zoomed picture goes in its view: the place that shows it whole
// (fitted), scaled up to MaxScale about a point and moved by drags. Along each side
// where the zoomed picture is larger than the view it always covers the view; where it
// is smaller it stays centred. Plain geometry, any thread.
class DigitalZoom final
{
public:
    static constexpr qreal MaxScale = 8;

    // The view's rectangle and the picture's whole place in it. The point of the
    // picture at the view's centre stays there.
    void setFitted(const QRectF &view, const QRectF &fitted);

    qreal scale() const { return m_scale; }
    bool isZoomed() const { return m_scale > 1; }
    // Where the whole picture goes now; parts may lie outside the view.
    QRectF placed() const { return m_placed; }
    // The part of the picture in the view, as fractions of its width and height.
    QRectF visiblePart() const;

    // Scales by factor (within 1 to MaxScale), the picture point under about staying under it.
    void zoomBy(qreal factor, QPointF about);
    void panBy(QPointF delta);
    // Back to the whole picture.
    void reset();

private:
    void keepCovering();

    QRectF m_view;
    QRectF m_fitted;
    QRectF m_placed;
    qreal m_scale = 1;
};
