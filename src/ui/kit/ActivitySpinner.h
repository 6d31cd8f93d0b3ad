#pragma once

#include <QTimer>
#include <QWidget>

// A small white activity indicator: twelve spokes, the bright one turning.
class ActivitySpinner final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Size = 20;

    explicit ActivitySpinner(QWidget *parent = nullptr);

    void startAnimating();
    void stopAnimating();
    // Turning now: asked to, and shown.
    bool isAnimating() const { return m_timer.isActive(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QTimer m_timer;
    bool m_animating = false;
    int m_step = 0;
};
