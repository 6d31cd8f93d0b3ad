#pragma once

#include <QAbstractButton>

class QVariantAnimation;

// The on/off switch of the settings rows: a pill that slides between ON and OFF,
// changed by a tap or by dragging its knob.
class Switch : public QAbstractButton
{
    Q_OBJECT

public:
    explicit Switch(QWidget *parent = nullptr);

    bool isOn() const { return isChecked(); }
    // Changes by the program do not emit valueChanged.
    void setOn(bool on, bool animated = false);

    QSize sizeHint() const override;

signals:
    // The user turned the switch.
    void valueChanged(bool on);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void animateKnobTo(double position, bool animated);
    int travel() const;

    // 0 is off, 1 is on; follows the finger while dragged.
    double m_knob = 0.0;
    QVariantAnimation *m_animation;
    int m_pressX = 0;
    double m_pressKnob = 0.0;
    bool m_dragged = false;
};
