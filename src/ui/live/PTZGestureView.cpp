#include "ui/live/PTZGestureView.h"

#include "ui/live/TapDelegate.h"
#include "ptz/PTZController.h"
#include "util/QelLog.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QMouseEvent>
#include <QTouchEvent>
#include <QWheelEvent>

#include <cfloat>
#include <cmath>

namespace {

double seconds(quint64 ms)
{
    return static_cast<double>(ms) / 1000.0;
}

} // namespace

PTZGestureView::PTZGestureView(QWidget *parent, Clock &clock)
    : QWidget(parent)
    , m_arrowLayer(new QLabel)
    , m_tapTimer(clock.createTimer(this))
{
    connect(m_tapTimer, &ClockTimer::timeout, this, [this] {
        if (m_tapDelegate)
            m_tapDelegate->handleTap();
    });
    setAttribute(Qt::WA_AcceptTouchEvents);
    m_touchPoints.reserve(100);
    const QPixmap circle(QStringLiteral(":/images/white_circle.png"));
    m_arrowLayer->setPixmap(circle);
    m_arrowLayer->resize(circle.size());
    m_arrowLayer->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto *opacity = new QGraphicsOpacityEffect(m_arrowLayer);
    opacity->setOpacity(0.5);
    m_arrowLayer->setGraphicsEffect(opacity);
    m_arrowLayer->hide();
    m_indicatorWidth = static_cast<float>(circle.width());
}

PTZGestureView::~PTZGestureView()
{
    setPtInterface(nullptr);
    // The target may live in the superview; it goes with this view.
    delete m_arrowLayer.data();
}

void PTZGestureView::setPtInterface(std::unique_ptr<PTZController> controller)
{
    if (controller.get() == m_ptInterface.get())
        return;
    if (m_ptInterface)
        m_ptInterface->disconnect();
    m_ptInterface = std::move(controller);
}

void PTZGestureView::setDigitalZoom(bool on)
{
    m_digitalZoom = on;
    if (on)
        cancelSingleArrow();
}

float PTZGestureView::distanceFromPoint(QPointF p, QPointF q)
{
    const float dx = static_cast<float>(q.x()) - static_cast<float>(p.x());
    const float dy = static_cast<float>(q.y()) - static_cast<float>(p.y());
    return static_cast<float>(std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy));
}

float PTZGestureView::distanceFromPointToLine(QPointF p, float a, float b, float c)
{
    const float numerator = std::fabs(a * static_cast<float>(p.x()) + b * static_cast<float>(p.y()) + c);
    return static_cast<float>(numerator / std::sqrt(static_cast<double>(a) * a + static_cast<double>(b) * b));
}

void PTZGestureView::touchesBegan(const QList<Touch> &touches)
{
    double latest = 0;
    for (const Touch &t : touches) {
        latest = std::max(latest, t.timestamp);
        m_touchPoints.append(t.location);
        m_stable = true;
        if (m_touchCount <= 1) {
            m_prevMulti[m_touchCount] = t.location;
            m_touchCount += 1;
        }
    }
    m_firstTime = m_lastTime = latest;
    if (m_touchCount > 1)
        m_doingMulti = true;
}

void PTZGestureView::touchesMoved(const QList<Touch> &touches)
{
    m_touchMoved = true;
    if (m_digitalZoom) {
        zoomMoved(touches);
        return;
    }
    if (!m_controlTouchEnabled)
        return;
    if (!m_doingMulti) {
        if (touches.isEmpty())
            return;
        const Touch &t = touches.first();
        const auto dt = static_cast<float>(t.timestamp - m_lastTime);
        m_lastTime = t.timestamp;
        m_touchPoints.append(t.location);
        if (handledSingleArrow())
            return;
        if (m_ptInterface) {
            m_ptInterface->updateChangeX(static_cast<float>(t.location.x() - t.previousLocation.x()),
                                         static_cast<float>(t.location.y() - t.previousLocation.y()), dt);
        }
        return;
    }
    if (touches.isEmpty()) {
        QEL_LOG(LogLevel::Error, QStringLiteral("something is very wrong: got an empty touch"));
        return;
    }
    // A third finger is not read.
    QPointF current[2];
    QPointF previous[2];
    double latest = 0;
    const qsizetype used = std::min<qsizetype>(touches.size(), 2);
    for (qsizetype i = 0; i < used; ++i) {
        current[i] = touches[i].location;
        previous[i] = touches[i].previousLocation;
        latest = std::max(latest, touches[i].timestamp);
    }
    if (used == 1) {
        const QPointF other = (m_prevMulti[0] == previous[0]) ? m_prevMulti[1] : m_prevMulti[0];
        current[1] = previous[1] = other;
    }
    const float change = distanceFromPoint(current[0], current[1]) - distanceFromPoint(previous[0], previous[1]);
    if (m_ptInterface)
        m_ptInterface->updateChangePinch(change, latest - m_lastTime);
    m_lastTime = latest;
    m_prevMulti[0] = current[0];
    m_prevMulti[1] = current[1];
}

void PTZGestureView::zoomMoved(const QList<Touch> &touches)
{
    if (touches.isEmpty())
        return;
    if (!m_doingMulti) {
        emit panRequested(touches.first().location - touches.first().previousLocation);
        return;
    }
    // Two fingers: the picture follows their middle and scales with their spread.
    QPointF current[2] = { touches.first().location, m_prevMulti[1] };
    QPointF previous[2] = { touches.first().previousLocation, m_prevMulti[1] };
    if (touches.size() > 1) {
        current[1] = touches.at(1).location;
        previous[1] = touches.at(1).previousLocation;
    } else if (m_prevMulti[1] == previous[0]) {
        current[1] = previous[1] = m_prevMulti[0];
    }
    m_prevMulti[0] = current[0];
    m_prevMulti[1] = current[1];
    const QPointF middle = (current[0] + current[1]) / 2;
    emit panRequested(middle - (previous[0] + previous[1]) / 2);
    const float before = distanceFromPoint(previous[0], previous[1]);
    if (before > 0)
        emit zoomRequested(distanceFromPoint(current[0], current[1]) / before, middle);
}

bool PTZGestureView::handledSingleArrow()
{
    if (!m_ptInterface || m_touchPoints.isEmpty())
        return false;
    const QPointF s = m_touchPoints.first();
    const QPointF e = m_touchPoints.last();
    float a = 0;
    float b = 0;
    float c = 0;
    float m = 0;
    float k = 0;
    bool vertical = false;
    if (e.x() != s.x()) {
        m = static_cast<float>((e.y() - s.y()) / (e.x() - s.x()));
        k = static_cast<float>(s.y()) - m * static_cast<float>(s.x());
        a = m;
        b = -1;
        c = k;
    } else {
        a = 1;
        b = 0;
        c = static_cast<float>(-e.x());
        m = 1;
        k = static_cast<float>(-e.x());
        vertical = true;
    }
    const float d = distanceFromPoint(s, e);

    if (m_stable) {
        if (isHoldTargetShown() && m_isHolding) {
            m_stable = holdTargetContains(e);
        } else {
            for (qsizetype i = 1; i + 1 < m_touchPoints.size(); ++i) {
                const QPointF q = m_touchPoints.at(i);
                if (distanceFromPointToLine(q, a, b, c) > StraightnessLimit || distanceFromPoint(s, q) > d) {
                    m_stable = false;
                    break;
                }
            }
        }
    }
    if (!m_stable) {
        cancelSingleArrow();
        return false;
    }
    const QRectF bounds = pictureBounds();
    if (!isHoldTargetShown() && d > 0.5 * bounds.height()) {
        const double ex = (e.x() - s.x() >= 0) ? bounds.right() : bounds.left();
        const double ey = (e.y() - s.y() >= 0) ? bounds.bottom() : bounds.top();
        QPointF pa(ex, m * ex + k);
        QPointF pb((ey - k) / m, ey);
        if (vertical) {
            pa = QPointF(FLT_MAX, FLT_MAX);
            pb = QPointF(e.x(), ey);
        }
        const double half = 0.5 * m_indicatorWidth;
        double x = 0;
        double y = 0;
        if (distanceFromPoint(s, pb) >= distanceFromPoint(s, pa)) {
            x = (ex == bounds.left()) ? bounds.left() + half : bounds.right() - half;
            y = m * x + k;
        } else {
            y = (ey == bounds.top()) ? bounds.top() + half : bounds.bottom() - half;
            x = vertical ? e.x() : (y - k) / m;
        }
        showHoldTarget(QPointF(x, y));
        return false;
    }
    if (isHoldTargetShown() && holdTargetContains(e)) {
        if (m_isHolding)
            return true;
        m_isHolding = true;
        m_ptInterface->setHolding(true, static_cast<float>(e.x() - s.x()), static_cast<float>(e.y() - s.y()), 0,
                                  m_lastTime - m_firstTime);
        return true;
    }
    return false;
}

void PTZGestureView::cancelSingleArrow()
{
    if (isHoldTargetShown()) {
        if (m_isHolding && m_ptInterface)
            m_ptInterface->setHolding(false, 0, 0, 0, 0);
        m_arrowLayer->hide();
        m_arrowLayer->setParent(nullptr);
    }
    m_isHolding = false;
}

void PTZGestureView::cancelMultiMode()
{
    cancelSingleArrow();
    m_touchPoints.clear();
    m_touchCount = 0;
    m_doingMulti = false;
    m_touchMoved = false;
    m_prevMulti[0] = m_prevMulti[1] = QPointF();
}

void PTZGestureView::touchesEnded(const QList<Touch> &touches)
{
    m_touchCount -= static_cast<int>(touches.size());
    if (m_touchCount > 0)
        return;
    if (!m_touchMoved)
        tapped();
    cancelMultiMode();
}

void PTZGestureView::tapped()
{
    // Unzoomed, a double tap has nothing to undo: taps act at once.
    if (m_digitalZoom && m_zoomed) {
        if (!m_tapTimer->isActive()) {
            m_tapTimer->start(DoubleTapMs, false);
            return;
        }
        m_tapTimer->stop();
        emit zoomResetRequested();
        return;
    }
    if (m_tapDelegate)
        m_tapDelegate->handleTap();
}

void PTZGestureView::touchesCancelled()
{
    cancelMultiMode();
}

void PTZGestureView::showHoldTarget(QPointF center)
{
    // The target belongs to the superview, in front of everything in it; the
    // gesture view fills the superview from its origin, so positions agree.
    QWidget *host = parentWidget() ? parentWidget() : this;
    const QPoint offset = host == this ? QPoint() : pos();
    m_arrowLayer->setParent(host);
    m_arrowLayer->move((center + offset).toPoint() - QPoint(m_arrowLayer->width() / 2, m_arrowLayer->height() / 2));
    m_arrowLayer->show();
    m_arrowLayer->raise();
}

bool PTZGestureView::isHoldTargetShown() const
{
    return m_arrowLayer && m_arrowLayer->parentWidget() && m_arrowLayer->isVisibleTo(m_arrowLayer->parentWidget());
}

QPointF PTZGestureView::holdTargetCenter() const
{
    const QPoint offset = m_arrowLayer->parentWidget() == this ? QPoint() : pos();
    return QRectF(m_arrowLayer->geometry()).center() - offset;
}

bool PTZGestureView::holdTargetContains(QPointF point) const
{
    const QPoint offset = m_arrowLayer->parentWidget() == this ? QPoint() : pos();
    return QRectF(m_arrowLayer->geometry()).contains(point + offset);
}

bool PTZGestureView::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd: {
        auto *touch = static_cast<QTouchEvent *>(event);
        QList<Touch> pressed;
        QList<Touch> moved;
        QList<Touch> released;
        for (const QEventPoint &p : touch->points()) {
            const Touch t{ p.position(), p.lastPosition(), seconds(p.timestamp()) };
            if (p.state() == QEventPoint::Pressed)
                pressed.append(t);
            else if (p.state() == QEventPoint::Updated)
                moved.append(t);
            else if (p.state() == QEventPoint::Released)
                released.append(t);
        }
        if (!pressed.isEmpty())
            touchesBegan(pressed);
        if (!moved.isEmpty())
            touchesMoved(moved);
        if (!released.isEmpty())
            touchesEnded(released);
        event->accept();
        return true;
    }
    case QEvent::TouchCancel:
        touchesCancelled();
        event->accept();
        return true;
    default:
        return QWidget::event(event);
    }
}

void PTZGestureView::mousePressEvent(QMouseEvent *event)
{
    // Touches synthesised into mouse events were handled as touches already.
    if (event->source() != Qt::MouseEventNotSynthesized || event->button() != Qt::LeftButton)
        return;
    m_mouseDown = true;
    m_lastMouse = event->position();
    touchesBegan({ { event->position(), event->position(), seconds(event->timestamp()) } });
}

void PTZGestureView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_mouseDown || event->source() != Qt::MouseEventNotSynthesized)
        return;
    touchesMoved({ { event->position(), m_lastMouse, seconds(event->timestamp()) } });
    m_lastMouse = event->position();
}

void PTZGestureView::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_mouseDown || event->source() != Qt::MouseEventNotSynthesized || event->button() != Qt::LeftButton)
        return;
    m_mouseDown = false;
    touchesEnded({ { event->position(), event->position(), seconds(event->timestamp()) } });
}

void PTZGestureView::wheelEvent(QWheelEvent *event)
{
    event->accept();
    const float notches = static_cast<float>(event->angleDelta().y()) / 120.0f;
    if (m_digitalZoom) {
        emit zoomRequested(std::pow(WheelZoomStep, qreal(notches)), event->position());
        return;
    }
    if (!m_controlTouchEnabled || !m_ptInterface)
        return;
    const double now = seconds(event->timestamp());
    const double interval = std::clamp(now - m_lastWheel, 0.02, WheelMaxInterval);
    m_lastWheel = now;
    m_ptInterface->updateChangePinch(notches * WheelPinchPoints, interval);
}
