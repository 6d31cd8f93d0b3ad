#include "ui/kit/BarButton.h"

#include "ui/kit/Theme.h"

#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int Height = 30;
constexpr int ArrowWidth = 10;
}

BarButton::BarButton(QWidget *parent)
    : QAbstractButton(parent)
{
    setFont(Theme::font(13, true));
    setFocusPolicy(Qt::NoFocus);
}

void BarButton::setShape(Shape shape)
{
    m_shape = shape;
    updateGeometry();
    update();
}

QSize BarButton::sizeHint() const
{
    const int arrow = m_shape == Shape::Back ? ArrowWidth : 0;
    return {qBound(50, fontMetrics().horizontalAdvance(text()) + 20 + arrow, 110), Height};
}

void BarButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -1.5);
    QPainterPath path;
    if (m_shape == Shape::Back) {
        const double r = 5;
        const double mid = frame.center().y();
        path.moveTo(frame.left(), mid);
        path.lineTo(frame.left() + ArrowWidth, frame.top());
        path.lineTo(frame.right() - r, frame.top());
        path.arcTo(QRectF(frame.right() - 2 * r, frame.top(), 2 * r, 2 * r), 90, -90);
        path.lineTo(frame.right(), frame.bottom() - r);
        path.arcTo(QRectF(frame.right() - 2 * r, frame.bottom() - 2 * r, 2 * r, 2 * r), 0, -90);
        path.lineTo(frame.left() + ArrowWidth, frame.bottom());
        path.closeSubpath();
    } else {
        path.addRoundedRect(frame, 5, 5);
    }

    QColor base = m_shape == Shape::Done ? Theme::tint() : Theme::barButton();
    if (isDown())
        base = base.darker(135);
    QLinearGradient fill(frame.topLeft(), frame.bottomLeft());
    fill.setColorAt(0, base.lighter(118));
    fill.setColorAt(0.5, base);
    fill.setColorAt(1, base.darker(108));
    // A light line under the button sets it into the bar.
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.drawPath(path.translated(0, 1));
    p.setPen(QPen(QColor(45, 58, 80), 1));
    p.setBrush(fill);
    p.drawPath(path);

    QColor textColor = Qt::white;
    if (!isEnabled())
        textColor.setAlphaF(0.45f);
    const QRectF textRect = frame.adjusted(m_shape == Shape::Back ? ArrowWidth + 2 : 4, 0, -4, 0);
    p.setFont(font());
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(textRect.translated(0, -1), Qt::AlignCenter,
               fontMetrics().elidedText(text(), Qt::ElideRight, int(textRect.width())));
    p.setPen(textColor);
    p.drawText(textRect, Qt::AlignCenter,
               fontMetrics().elidedText(text(), Qt::ElideRight, int(textRect.width())));
}
