#include "app/MainWindow.h"

#include "ui/kit/Theme.h"

#include <QCloseEvent>
#include <QGraphicsProxyWidget>
#include <QPaintEngine>
#include <QPainter>
#include <QShortcut>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

// Renders the stage over exactly the area the window repaints. Qt's proxy renders the
// rectangle around it, and new pictures in six tiles span the whole grid: every
// widget in between (each tile's frame, the page beneath) would be painted again,
// only to be clipped away.
class StageProxy final : public QGraphicsProxyWidget
{
public:
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override
    {
        const QRegion repainted = painter->paintEngine() ? painter->paintEngine()->systemClip() : QRegion();
        QWidget *stage = this->widget();
        if (repainted.isEmpty() || !stage || !painter->deviceTransform().isInvertible()) {
            QGraphicsProxyWidget::paint(painter, option, widget);
            return;
        }
        if (!stage->isVisible())
            return;
        // Rounded outwards to whole points; the slack keeps an edge that maps onto a
        // point within float error from taking in the widget beyond it.
        constexpr qreal Slack = 1.0 / 64;
        const QTransform toStage = painter->deviceTransform().inverted();
        QRegion area;
        for (const QRect &rect : repainted)
            area += toStage.mapRect(QRectF(rect)).adjusted(Slack, Slack, -Slack, -Slack).toAlignedRect();
        area &= stage->rect();
        if (!area.isEmpty())
            stage->render(painter, area.boundingRect().topLeft(), area);
    }
};

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QGraphicsView(parent)
    , m_stage(new QWidget)
    , m_quit(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this))
    , m_fullScreen(new QShortcut(QKeySequence(Qt::Key_F11), this))
{
    setWindowTitle(QStringLiteral("Vyo"));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAlignment(Qt::AlignCenter);
    // The video views paint every pixel of theirs; nothing is cached or saved around them.
    setOptimizationFlags(QGraphicsView::DontSavePainterState | QGraphicsView::DontAdjustForAntialiasing);
    // The stage and the bars beside it cover the viewport: nothing is filled beneath.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setSizeAdjustPolicy(QAbstractScrollArea::AdjustIgnored);
    Theme::fillBlack(this);
    Theme::fillBlack(m_stage);
    m_stage->resize(Landscape);
    // Touches go on to the views under the fingers, as they would in a plain window.
    auto *proxy = new StageProxy;
    proxy->setWidget(m_stage);
    proxy->setAcceptTouchEvents(true);
    m_scene.addItem(proxy);
    setScene(&m_scene);
    setMinimumSize(Landscape / 2);
    resize(Landscape);
    // Quitting closes the window, which stores the groups on the way out.
    connect(m_quit, &QShortcut::activated, this, &QWidget::close);
    connect(m_fullScreen, &QShortcut::activated, this, &MainWindow::toggleFullScreen);
}

QSize MainWindow::preferredSize(const QSize &available)
{
    // Three quarters of the desktop at most, in half steps, never below the layout itself.
    const double fits = std::min(double(available.width()) / Landscape.width(),
                                 double(available.height()) / Landscape.height());
    const double factor = std::max(1.0, std::floor(fits * 0.75 * 2) / 2);
    return (QSizeF(Landscape) * factor).toSize();
}

void MainWindow::setPortrait(bool portrait)
{
    m_portrait = portrait;
    m_stage->resize(portrait ? Portrait : Landscape);
    fitStage();
}

void MainWindow::toggleFullScreen()
{
    if (isFullScreen())
        showNormal();
    else
        showFullScreen();
}

void MainWindow::setKiosk(bool kiosk)
{
    m_kiosk = kiosk;
    m_quit->setEnabled(!kiosk);
    m_fullScreen->setEnabled(!kiosk);
    if (kiosk)
        showFullScreen();
}

void MainWindow::fitStage()
{
    const QSizeF stage = m_stage->size();
    m_scene.setSceneRect(QRectF(QPointF(0, 0), stage));
    const QSizeF room = viewport()->size();
    const double scale = std::min(room.width() / stage.width(), room.height() / stage.height());
    if (scale > 0)
        setTransform(QTransform::fromScale(scale, scale));
}

void MainWindow::drawBackground(QPainter *painter, const QRectF &exposed)
{
    // The stage paints every pixel of its own: black goes only to the bars beside it.
    const QRegion bars = QRegion(exposed.toAlignedRect()).subtracted(QRegion(m_scene.sceneRect().toRect()));
    for (const QRect &bar : bars)
        painter->fillRect(bar, Qt::black);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
    fitStage();
}

void MainWindow::setIdle(bool idle)
{
    if (idle == m_idle)
        return;
    m_idle = idle;
    if (idle)
        emit becameIdle();
    else
        emit becameActive();
}

void MainWindow::changeEvent(QEvent *event)
{
    // Losing focus is not idleness: people watch cameras while they work elsewhere.
    if (event->type() == QEvent::WindowStateChange) {
        setIdle(windowState() & Qt::WindowMinimized);
        // A window manager's key may have shrunk the kiosk; it goes straight back.
        // Only a step out of full screen counts: the way into it may pass other states.
        const auto *change = static_cast<QWindowStateChangeEvent *>(event);
        const bool left = (change->oldState() & Qt::WindowFullScreen) && !(windowState() & Qt::WindowFullScreen);
        if (m_kiosk && (left || (windowState() & Qt::WindowMinimized)))
            QTimer::singleShot(0, this, &QWidget::showFullScreen);
    }
    QGraphicsView::changeEvent(event);
}

void MainWindow::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous() || isMinimized())
        setIdle(true);
    QGraphicsView::hideEvent(event);
}

void MainWindow::showEvent(QShowEvent *event)
{
    if (!isMinimized())
        setIdle(false);
    QGraphicsView::showEvent(event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_kiosk) {
        event->ignore();
        return;
    }
    emit closing();
    event->accept();
}
