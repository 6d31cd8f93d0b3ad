#include "ui/kit/CellControl.h"

#include "ui/kit/Theme.h"

#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int Mark = 21;
}

CellControl::CellControl(Kind kind, QWidget *parent)
    : QAbstractButton(parent)
    , m_kind(kind)
{
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(sizeHint());
}

void CellControl::setTurned(bool turned)
{
    m_turned = turned;
    update();
}

QSize CellControl::sizeHint() const
{
    // The touch target is larger than the mark drawn in it.
    return {Theme::RowHeight - 8, Theme::RowHeight - 8};
}

void CellControl::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF mark(QPointF(width() - Mark, height() - Mark) / 2, QSizeF(Mark, Mark));
    const QColor base = m_kind == Kind::Delete ? Theme::destructive() : Theme::tint();
    QLinearGradient fill(mark.topLeft(), mark.bottomLeft());
    fill.setColorAt(0, (isDown() ? base.darker(130) : base).lighter(130));
    fill.setColorAt(1, isDown() ? base.darker(130) : base);
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(fill);
    p.drawEllipse(mark);

    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF c = mark.center();
    if (m_kind == Kind::Delete) {
        p.translate(c);
        p.rotate(m_turned ? 90 : 0);
        p.drawLine(QPointF(-5, 0), QPointF(5, 0));
        return;
    }
    QPainterPath chevron;
    chevron.moveTo(c + QPointF(-2.5, -5));
    chevron.lineTo(c + QPointF(2.5, 0));
    chevron.lineTo(c + QPointF(-2.5, 5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(chevron);
}
