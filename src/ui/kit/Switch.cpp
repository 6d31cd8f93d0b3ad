#include "ui/kit/Switch.h"

#include "ui/kit/Theme.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

namespace {
constexpr int Width = 94;
constexpr int Height = 27;
constexpr int DragThreshold = 4;
}

Switch::Switch(QWidget *parent)
    : QAbstractButton(parent)
    , m_animation(new QVariantAnimation(this))
{
    setCheckable(true);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(Width, Height);
    m_animation->setDuration(Theme::AnimationMs / 2);
    m_animation->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &v) {
        m_knob = v.toDouble();
        update();
    });
}

void Switch::setOn(bool on, bool animated)
{
    setChecked(on);
    animateKnobTo(on ? 1.0 : 0.0, animated);
}

QSize Switch::sizeHint() const
{
    return {Width, Height};
}

int Switch::travel() const
{
    return width() - height();
}

void Switch::animateKnobTo(double position, bool animated)
{
    m_animation->stop();
    if (!animated) {
        m_knob = position;
        update();
        return;
    }
    m_animation->setStartValue(m_knob);
    m_animation->setEndValue(position);
    m_animation->start();
}

void Switch::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const double radius = frame.height() / 2;
    QPainterPath pill;
    pill.addRoundedRect(frame, radius, radius);

    const double knobX = frame.left() + m_knob * travel();
    const QRectF knob(knobX, frame.top(), frame.height(), frame.height());

    p.save();
    p.setClipPath(pill);
    // The "ON" half lies left of the knob, the "OFF" half right of it.
    const QColor onColor = isEnabled() ? Theme::tint() : Theme::dimmedText();
    p.fillRect(QRectF(frame.left(), frame.top(), knob.center().x() - frame.left(), frame.height()),
               onColor);
    p.fillRect(QRectF(knob.center().x(), frame.top(), frame.right() - knob.center().x(),
                      frame.height()),
               QColor(238, 238, 238));
    p.setFont(Theme::font(15, true));
    const QRectF onText(knob.left() - travel(), frame.top(), travel(), frame.height());
    const QRectF offText(knob.right(), frame.top(), travel(), frame.height());
    p.setPen(Qt::white);
    p.drawText(onText, Qt::AlignCenter, tr("ON"));
    p.setPen(QColor(120, 120, 120));
    p.drawText(offText, Qt::AlignCenter, tr("OFF"));
    p.restore();

    p.setPen(QPen(QColor(140, 140, 140), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(pill);

    QLinearGradient knobFill(knob.topLeft(), knob.bottomLeft());
    knobFill.setColorAt(0, isDown() ? QColor(220, 220, 220) : QColor(255, 255, 255));
    knobFill.setColorAt(1, QColor(208, 208, 208));
    p.setBrush(knobFill);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.drawEllipse(knob.adjusted(0.5, 0.5, -0.5, -0.5));
}

void Switch::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_pressX = event->position().toPoint().x();
    m_pressKnob = m_knob;
    m_dragged = false;
    setDown(true);
}

void Switch::mouseMoveEvent(QMouseEvent *event)
{
    if (!isDown())
        return;
    const int dx = event->position().toPoint().x() - m_pressX;
    if (!m_dragged && qAbs(dx) < DragThreshold)
        return;
    m_dragged = true;
    m_animation->stop();
    m_knob = qBound(0.0, m_pressKnob + double(dx) / travel(), 1.0);
    update();
}

void Switch::mouseReleaseEvent(QMouseEvent *event)
{
    if (!isDown() || event->button() != Qt::LeftButton)
        return;
    setDown(false);
    // A drag decides by where the knob was let go; a tap flips.
    const bool on = m_dragged ? m_knob >= 0.5 : !isChecked();
    if (!m_dragged && !rect().contains(event->position().toPoint())) {
        update();
        return;
    }
    const bool changed = on != isChecked();
    setChecked(on);
    animateKnobTo(on ? 1.0 : 0.0, true);
    if (changed)
        emit valueChanged(on);
}
