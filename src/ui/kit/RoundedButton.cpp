#include "ui/kit/RoundedButton.h"

#include "ui/kit/Theme.h"

#include <QPainter>
#include <QPainterPath>
#include <qdrawutil.h>

RoundedButton::RoundedButton(const QString &title, QWidget *parent)
    : QAbstractButton(parent)
{
    setText(title);
    setFont(Theme::font(18, true));
    setFocusPolicy(Qt::NoFocus);
    setMinimumHeight(Theme::RowHeight);
}

void RoundedButton::setRole(Role role)
{
    m_role = role;
    update();
}

void RoundedButton::setBackgroundImage(const QPixmap &image, State state, int leftCapWidth,
                                       int topCapHeight)
{
    m_backgrounds.insert(state, {image, leftCapWidth, topCapHeight});
    update();
}

void RoundedButton::setTitleColor(const QColor &color)
{
    m_titleColor = color;
    update();
}

QSize RoundedButton::sizeHint() const
{
    return {fontMetrics().horizontalAdvance(text()) + 40, Theme::RowHeight};
}

void RoundedButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const State state = isDown() ? State::Highlighted : State::Normal;
    const bool hasImage = m_backgrounds.contains(state) || m_backgrounds.contains(State::Normal);
    if (hasImage)
        paintImage(p, m_backgrounds.value(state, m_backgrounds.value(State::Normal)));
    else
        paintFace(p);

    QColor titleColor = m_titleColor;
    if (!titleColor.isValid()) {
        if (hasImage)
            titleColor = Qt::black;
        else if (isDown() || m_role == Role::Destructive || m_role == Role::Dark)
            titleColor = Qt::white;
        else
            titleColor = m_role == Role::Cancel ? QColor(Qt::black) : Theme::detailText();
    }
    if (!isEnabled())
        titleColor.setAlphaF(0.4f);
    p.setPen(titleColor);
    p.setFont(font());
    p.drawText(rect().adjusted(8, 0, -8, 0), Qt::AlignCenter,
               fontMetrics().elidedText(text(), Qt::ElideRight, width() - 16));
}

void RoundedButton::paintImage(QPainter &painter, const Background &background) const
{
    const QSize size = background.image.deviceIndependentSize().toSize();
    const int rightCap = qMax(0, size.width() - background.leftCap - 1);
    const int bottomCap = background.topCap > 0 ? qMax(0, size.height() - background.topCap - 1) : 0;
    const QMargins caps(background.leftCap, background.topCap, rightCap, bottomCap);
    qDrawBorderPixmap(&painter, rect(), caps, background.image);
}

void RoundedButton::paintFace(QPainter &painter) const
{
    const QRectF frame = QRectF(rect()).adjusted(1, 1, -1, -1);
    QPainterPath path;
    path.addRoundedRect(frame, Theme::CornerRadius, Theme::CornerRadius);

    QColor top;
    QColor bottom;
    QColor border;
    switch (m_role) {
    case Role::Normal:
    case Role::Cancel:
        top = isDown() ? Theme::selectionTop() : QColor(255, 255, 255);
        bottom = isDown() ? Theme::selectionBottom() : QColor(233, 235, 239);
        border = QColor(140, 146, 156);
        break;
    case Role::Destructive:
        top = isDown() ? QColor(150, 20, 20) : QColor(232, 76, 72);
        bottom = isDown() ? QColor(120, 10, 10) : Theme::destructive();
        border = QColor(110, 20, 20);
        break;
    case Role::Dark:
        top = isDown() ? Theme::selectionTop() : QColor(74, 88, 112);
        bottom = isDown() ? Theme::selectionBottom() : QColor(40, 50, 70);
        border = QColor(20, 26, 38);
        break;
    }
    QLinearGradient fill(frame.topLeft(), frame.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    painter.setPen(QPen(border, 1));
    painter.setBrush(fill);
    painter.drawPath(path);
}
