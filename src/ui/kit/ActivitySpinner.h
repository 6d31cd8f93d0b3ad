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
    bool isAnimating() const { return m_timer.isActive(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QTimer m_timer;
    int m_step = 0;
};
