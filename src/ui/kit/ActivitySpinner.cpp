#include "ui/kit/ActivitySpinner.h"

#include <QPainter>

namespace {

constexpr int Spokes = 12;
constexpr int StepMs = 1000 / Spokes;

} // namespace

ActivitySpinner::ActivitySpinner(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(Size, Size);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_step = (m_step + 1) % Spokes;
        update();
    });
}

void ActivitySpinner::startAnimating()
{
    m_animating = true;
    if (isVisible())
        m_timer.start(StepMs);
}

void ActivitySpinner::stopAnimating()
{
    m_animating = false;
    m_timer.stop();
}

// Spinners on hidden pages wait for trickled pictures too; turning unseen, each
// would wake the GUI thread twelve times a second.
void ActivitySpinner::showEvent(QShowEvent *)
{
    if (m_animating)
        m_timer.start(StepMs);
}

void ActivitySpinner::hideEvent(QHideEvent *)
{
    m_timer.stop();
}

void ActivitySpinner::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(width() / 2.0, height() / 2.0);
    const qreal outer = Size / 2.0 - 1.0;
    for (int i = 0; i < Spokes; ++i) {
        // The spoke at m_step is brightest; those behind it fade.
        const int age = (m_step - i + Spokes) % Spokes;
        QColor color(Qt::white);
        color.setAlphaF(1.0 - 0.75 * age / Spokes);
        painter.setPen(QPen(color, 2.0, Qt::SolidLine, Qt::RoundCap));
        painter.save();
        painter.rotate(360.0 * i / Spokes);
        painter.drawLine(QPointF(0, -outer * 0.45), QPointF(0, -outer));
        painter.restore();
    }
}
