#include "ui/live/PageControl.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

constexpr double Dot = 7;
constexpr double Gap = 9;

} // namespace

PageControl::PageControl(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PageControl::setNumberOfPages(int pages)
{
    m_pages = std::max(1, pages);
    m_current = std::clamp(m_current, 0, m_pages - 1);
    update();
}

void PageControl::setCurrentPage(int page)
{
    m_current = std::clamp(page, 0, m_pages - 1);
    update();
}

void PageControl::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (m_pages <= 1)
        return;
    p.setRenderHint(QPainter::Antialiasing);
    const double total = m_pages * Dot + (m_pages - 1) * Gap;
    double x = (width() - total) / 2;
    const double y = (height() - Dot) / 2;
    p.setPen(Qt::NoPen);
    for (int i = 0; i < m_pages; ++i) {
        p.setBrush(i == m_current ? QColor(255, 255, 255) : QColor(255, 255, 255, 80));
        p.drawEllipse(QRectF(x, y, Dot, Dot));
        x += Dot + Gap;
    }
}

void PageControl::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_pages <= 1 || !rect().contains(event->position().toPoint()))
        return;
    const int target = std::clamp(m_current + (event->position().x() < width() / 2.0 ? -1 : 1), 0, m_pages - 1);
    if (target == m_current)
        return;
    m_current = target;
    update();
    emit valueChanged();
}
