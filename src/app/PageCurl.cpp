#include "app/PageCurl.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

PageCurl::PageCurl(QWidget *parent, const QPixmap &under, const QPixmap &page, Direction direction)
    : QWidget(parent)
    , m_under(under)
    , m_page(page)
    , m_direction(direction)
{
    setGeometry(parent->rect());
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_animation.setDuration(DurationMs);
    m_animation.setStartValue(0.0);
    m_animation.setEndValue(1.0);
    m_animation.setEasingCurve(QEasingCurve::InOutCubic);
    connect(&m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &v) {
        m_progress = v.toDouble();
        update();
    });
    connect(&m_animation, &QVariantAnimation::finished, this, &PageCurl::finished);
}

void PageCurl::start()
{
    show();
    raise();
    m_animation.start();
}

void PageCurl::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.drawPixmap(0, 0, m_under);
    // How far the page is lifted: 0 flat, 1 gone. Curling down is curling up backwards.
    const double lift = m_direction == Direction::Up ? m_progress : 1.0 - m_progress;
    const double w = width();
    const double h = height();
    // The fold runs diagonally and climbs from the bottom edge past the top.
    const double travel = (h + w * 0.5) * 1.15;
    const double foldY = h - lift * travel;
    const QPointF a(0, foldY + w * 0.5);
    const QPointF b(w, foldY);
    QPainterPath flat;
    flat.moveTo(0, 0);
    flat.lineTo(w, 0);
    flat.lineTo(b);
    flat.lineTo(a);
    flat.closeSubpath();
    p.save();
    p.setClipPath(flat);
    p.drawPixmap(0, 0, m_page);
    p.restore();
    if (lift <= 0.0 || lift >= 1.0)
        return;
    // The back of the lifted part, mirrored over the fold, with a soft shadow.
    const double depth = std::min(h * 0.35, lift * travel * 0.5);
    QPainterPath back;
    back.moveTo(a);
    back.lineTo(b);
    back.lineTo(b + QPointF(0, -depth));
    back.lineTo(a + QPointF(0, -depth));
    back.closeSubpath();
    QLinearGradient shade(QPointF(w / 2, foldY + w * 0.25), QPointF(w / 2, foldY + w * 0.25 - depth));
    shade.setColorAt(0, QColor(235, 235, 235));
    shade.setColorAt(0.6, QColor(200, 200, 205));
    shade.setColorAt(1, QColor(150, 150, 158));
    QPainterPath shadow;
    shadow.moveTo(a);
    shadow.lineTo(b);
    shadow.lineTo(b + QPointF(0, 14));
    shadow.lineTo(a + QPointF(0, 14));
    shadow.closeSubpath();
    p.fillPath(shadow, QColor(0, 0, 0, 70));
    p.fillPath(back, shade);
    p.setPen(QPen(QColor(0, 0, 0, 60), 1));
    p.drawLine(a, b);
}
