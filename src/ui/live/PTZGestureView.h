#pragma once

#include "platform/Clock.h"

#include <QList>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <memory>

class PTZController;
class QLabel;
class TapDelegate;

// The touch surface over the single view's picture: one finger steps the head,
// a long straight outward stroke offers a hold target at the picture's edge, two
// fingers zoom, a touch that never moved is a tap. The mouse stands in for one
// finger and the wheel for a pinch. With digital zoom on, the same gestures zoom
// into the picture and drag it instead, and a double tap asks for the whole picture
// again; while zoomed in, a tap waits DoubleTapMs to tell it from a double tap.
// Main thread only.
class PTZGestureView final : public QWidget
{
    Q_OBJECT

public:
    // One finger of a touch event, in this view's coordinates; time in seconds.
    struct Touch
    {
        QPointF location;
        QPointF previousLocation;
        double timestamp = 0;
    };

    static constexpr float StraightnessLimit = 15.0f;
    // Points of pinch per wheel notch, and the longest interval a notch stands for.
    static constexpr float WheelPinchPoints = 20.0f;
    static constexpr double WheelMaxInterval = 0.2;
    // The digital zoom's factor per wheel notch.
    static constexpr qreal WheelZoomStep = 1.25;
    static constexpr qint64 DoubleTapMs = 300;

    explicit PTZGestureView(QWidget *parent = nullptr, Clock &clock = Clock::system());
    ~PTZGestureView() override;

    // Owned; a different controller disconnects the old one first.
    void setPtInterface(std::unique_ptr<PTZController> controller);
    PTZController *ptInterface() const { return m_ptInterface.get(); }

    void setTapDelegate(TapDelegate *delegate) { m_tapDelegate = delegate; }
    void setControlTouchEnabled(bool enabled) { m_controlTouchEnabled = enabled; }
    bool controlTouchEnabled() const { return m_controlTouchEnabled; }
    // Gestures zoom and drag the picture instead of steering; they do so with the toolbar shown too.
    void setDigitalZoom(bool on);
    bool digitalZoom() const { return m_digitalZoom; }
    // Whether the picture is zoomed in, as its view says.
    void setZoomed(bool zoomed) { m_zoomed = zoomed; }
    // Where the picture is, in this view's coordinates: the hold target goes to its
    // edges. The whole view until told.
    void setPictureBounds(const QRectF &bounds) { m_pictureBounds = bounds; }
    QRectF pictureBounds() const { return m_pictureBounds.isEmpty() ? QRectF(rect()) : m_pictureBounds; }

    void touchesBegan(const QList<Touch> &touches);
    void touchesMoved(const QList<Touch> &touches);
    void touchesEnded(const QList<Touch> &touches);
    void touchesCancelled();

    bool isHoldTargetShown() const;
    QPointF holdTargetCenter() const;
    float indicatorWidth() const { return m_indicatorWidth; }

    static float distanceFromPoint(QPointF p, QPointF q);
    static float distanceFromPointToLine(QPointF p, float a, float b, float c);

signals:
    // In this view's coordinates.
    void zoomRequested(qreal factor, QPointF about);
    void panRequested(QPointF delta);
    void zoomResetRequested();

protected:
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    bool handledSingleArrow();
    void cancelSingleArrow();
    void cancelMultiMode();
    void showHoldTarget(QPointF center);
    bool holdTargetContains(QPointF point) const;
    void zoomMoved(const QList<Touch> &touches);
    void tapped();

    std::unique_ptr<PTZController> m_ptInterface;
    TapDelegate *m_tapDelegate = nullptr;
    bool m_controlTouchEnabled = true;
    QRectF m_pictureBounds;
    double m_firstTime = 0;
    double m_lastTime = 0;
    int m_touchCount = 0;
    bool m_doingMulti = false;
    bool m_touchMoved = false;
    QPointF m_prevMulti[2];
    QList<QPointF> m_touchPoints;
    bool m_stable = false;
    // Shown in the superview, so it may have that parent; guarded against its end.
    QPointer<QLabel> m_arrowLayer;
    float m_indicatorWidth = 0;
    bool m_isHolding = false;
    bool m_mouseDown = false;
    QPointF m_lastMouse;
    double m_lastWheel = 0;
    bool m_digitalZoom = false;
    bool m_zoomed = false;
    // Runs from a tap on a zoomed picture until it is known not to be a double tap.
    ClockTimer *m_tapTimer;
};
