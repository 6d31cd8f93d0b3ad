#pragma once

#include <QPixmap>
#include <QVariantAnimation>
#include <QWidget>

// The page-curl transition between the settings and the live view: a snapshot of
// one page is peeled off (up) or laid back (down) over the other, over one second.
class PageCurl final : public QWidget
{
    Q_OBJECT

public:
    enum class Direction { Up, Down };

    static constexpr int DurationMs = 1000;

    // Covers parent; under is the picture beneath, page the one that curls.
    PageCurl(QWidget *parent, const QPixmap &under, const QPixmap &page, Direction direction);

    void start();

signals:
    void finished();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_under;
    QPixmap m_page;
    Direction m_direction;
    double m_progress = 0;
    QVariantAnimation m_animation;
};
