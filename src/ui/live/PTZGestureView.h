#pragma once

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
// finger and the wheel for a pinch. Main thread only.
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

    explicit PTZGestureView(QWidget *parent = nullptr);
    ~PTZGestureView() override;

    // Owned; a different controller disconnects the old one first.
    void setPtInterface(std::unique_ptr<PTZController> controller);
    PTZController *ptInterface() const { return m_ptInterface.get(); }

    void setTapDelegate(TapDelegate *delegate) { m_tapDelegate = delegate; }
    void setControlTouchEnabled(bool enabled) { m_controlTouchEnabled = enabled; }
    bool controlTouchEnabled() const { return m_controlTouchEnabled; }
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
};
