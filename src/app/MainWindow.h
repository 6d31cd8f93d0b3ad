#pragma once

#include <QGraphicsScene>
#include <QGraphicsView>

// The one top-level window. The views live on a stage of 480 by 320 points in
// landscape or 320 by 480 in portrait and keep that layout at any window size:
// the window shows the stage scaled uniformly to fit, centred, with black bars
// where the shapes differ. Pictures are still painted at the window's device
// pixels (the video views size their pictures by the scale they are painted at).
// Main thread only; the stage belongs to the window's scene.
class QShortcut;

class MainWindow final : public QGraphicsView
{
    Q_OBJECT

public:
    static constexpr QSize Landscape{ 480, 320 };
    static constexpr QSize Portrait{ 320, 480 };

    explicit MainWindow(QWidget *parent = nullptr);

    // The parent of every view; its size is the layout the views are made for.
    QWidget *stage() const { return m_stage; }
    void setPortrait(bool portrait);
    bool isPortrait() const { return m_portrait; }
    // Window pixels per stage point.
    double stageScale() const { return transform().m11(); }
    void toggleFullScreen();
    // Full screen and held there: no key of the window's own leaves it or closes it,
    // and a close asked for by the window system is refused. Kiosk mode ends the
    // viewer another way.
    void setKiosk(bool kiosk);
    bool isKiosk() const { return m_kiosk; }
    // A size for a first start: the landscape layout at a whole or half multiple
    // that leaves room on the desktop.
    static QSize preferredSize(const QSize &available);

signals:
    // The window was minimised or hidden, or came back: the views stop and restart.
    void becameIdle();
    void becameActive();
    void closing();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void drawBackground(QPainter *painter, const QRectF &exposed) override;

private:
    void setIdle(bool idle);
    void fitStage();

    QGraphicsScene m_scene;
    QWidget *m_stage;
    bool m_portrait = false;
    bool m_idle = false;
    bool m_kiosk = false;
    QShortcut *m_quit;
    QShortcut *m_fullScreen;
};
