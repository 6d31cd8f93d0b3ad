#include "ui/live/MultiPageScrollerView.h"
#include "ui/kit/Theme.h"

#include "ui/live/LiveViewHost.h"
#include "ui/live/MultiView.h"
#include "ui/live/PageControl.h"
#include "ui/live/PageTour.h"
#include "ui/live/SingleView.h"
#include "ui/live/VideoView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTouchEvent>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

double seconds(quint64 ms)
{
    return static_cast<double>(ms) / 1000.0;
}

} // namespace

MultiPageScrollerView::MultiPageScrollerView(LiveViewHost &host, SingleView &singleView, const QRect &frame,
                                             QWidget *parent)
    : QWidget(parent)
    , m_host(host)
    , m_singleView(singleView)
    , m_tour(new PageTour(host.clock(), this))
{
    setGeometry(frame);
    setAttribute(Qt::WA_AcceptTouchEvents);
    setFocusPolicy(Qt::StrongFocus);
    Theme::fillBlack(this);

    const int w = frame.width();
    const int h = frame.height();
    const QRect pageFrame(0, ToolbarHeight, w, h - ToolbarHeight - PageControlHeight);
    m_leftMultiView = new MultiView(host, pageFrame, this);
    m_rightMultiView = new MultiView(host, pageFrame, this);
    m_instantMultiView = new MultiView(host, pageFrame, this);
    m_multiView = new MultiView(host, pageFrame, this);
    m_leftMultiView->hide();
    m_rightMultiView->hide();
    m_instantMultiView->hide();
    m_multiView->raise();

    m_pageControl = new PageControl(this);
    m_pageControl->setGeometry(0, h - PageControlHeight, w, PageControlHeight);
    connect(m_pageControl, &PageControl::valueChanged, this, &MultiPageScrollerView::pageControlChanged);
    connect(m_tour, &PageTour::turnDue, this, &MultiPageScrollerView::turnPageByTour);

    auto *toolbar = new QWidget(this);
    toolbar->setObjectName(QStringLiteral("multiToolbar"));
    toolbar->setGeometry(0, 0, w, ToolbarHeight);
    toolbar->setAttribute(Qt::WA_StyledBackground);
    toolbar->setStyleSheet(QStringLiteral(
        "#multiToolbar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 rgb(92,140,192), "
        "stop:0.5 rgb(50,104,162), stop:1 rgb(36,80,130)); border-bottom: 1px solid rgb(20,44,72); }"));
    m_title = new QPushButton(QStringLiteral("Default"), toolbar);
    m_title->setFocusPolicy(Qt::NoFocus);
    QFont bold = m_title->font();
    bold.setPixelSize(18);
    bold.setBold(true);
    m_title->setFont(bold);
    m_title->setStyleSheet(QStringLiteral(
        "QPushButton { color: white; border-image: url(:/images/blue_btn.png) 0 11 0 11 stretch stretch; "
        "border-width: 0 11px; padding: 0 0 2px 0; }"
        "QPushButton:pressed { border-image: url(:/images/black_btn.png) 0 11 0 11 stretch stretch; }"));
    connect(m_title, &QPushButton::clicked, this, [this] { m_host.cycleToNextGroup(); });
    auto *gears = new QToolButton(toolbar);
    gears->setFocusPolicy(Qt::NoFocus);
    gears->setIcon(QIcon(QStringLiteral(":/images/gears.png")));
    gears->setIconSize(QSize(30, 30));
    gears->setAutoRaise(true);
    gears->setStyleSheet(QStringLiteral("QToolButton { border: none; background: transparent; }"));
    gears->setGeometry(w - 44, (ToolbarHeight - 36) / 2, 40, 36);
    gears->setToolTip(tr("Settings"));
    connect(gears, &QToolButton::clicked, this, [this] { m_host.switchToView(LiveViewHost::View::Settings); });
    resizeTitle();
}

MultiPageScrollerView::~MultiPageScrollerView() = default;

QString MultiPageScrollerView::title() const
{
    return m_title->text();
}

void MultiPageScrollerView::resizeTitle()
{
    const int fitted = m_title->fontMetrics().horizontalAdvance(m_title->text()) + 22;
    const int width = std::min(fitted + 20, this->width() - 70 - 44);
    m_title->setGeometry((this->width() - width) / 2, (ToolbarHeight - 34) / 2, width, 34);
}

int MultiPageScrollerView::currentPage() const
{
    return m_pageControl->currentPage();
}

int MultiPageScrollerView::numberOfPages() const
{
    return m_pageControl->numberOfPages();
}

void MultiPageScrollerView::updatePageControl()
{
    const auto count = m_cameraList.size();
    m_pageControl->setNumberOfPages(count == 0 ? 1 : static_cast<int>((count + FeedsPerPage - 1) / FeedsPerPage));
}

bool MultiPageScrollerView::pageAvailableAtOffset(int offset) const
{
    const int target = currentPage() + offset;
    return target >= 0 && target < numberOfPages();
}

void MultiPageScrollerView::resetFeedsStartingAtOffset(int index, MultiView *page)
{
    for (int n = 1; n <= FeedsPerPage; ++n) {
        const int i = index + n - 1;
        page->setFeed(n, i >= 0 && i < m_cameraList.size() ? m_cameraList.at(i) : Value());
    }
}

void MultiPageScrollerView::clearFeedsInView(MultiView *page)
{
    for (int n = 1; n <= FeedsPerPage; ++n)
        page->setFeed(n, Value());
}

void MultiPageScrollerView::resetFeeds()
{
    const int p = currentPage();
    resetFeedsStartingAtOffset(FeedsPerPage * p, m_multiView);
    if (p >= 1)
        resetFeedsStartingAtOffset(FeedsPerPage * (p - 1), m_leftMultiView);
    else
        clearFeedsInView(m_leftMultiView);
    if (p < numberOfPages() - 1)
        resetFeedsStartingAtOffset(FeedsPerPage * (p + 1), m_rightMultiView);
    else
        clearFeedsInView(m_rightMultiView);
}

void MultiPageScrollerView::setCameraList(const QList<Value> &list, const QString &title, bool resetCurrentPage)
{
    m_title->setText(title);
    resizeTitle();
    m_cameraList = list;
    m_tour->forgetPages();
    const int oldPages = numberOfPages();
    updatePageControl();
    if (!resetCurrentPage) {
        resetFeeds();
        return;
    }
    if (oldPages <= 1 && numberOfPages() > 1) {
        m_pageControl->setCurrentPage(1);
        m_pageControl->setCurrentPage(0);
    }
    rebuildThroughSpare();
}

void MultiPageScrollerView::noteFailingPages()
{
    const int p = currentPage();
    m_tour->notePage(p, m_multiView->allFeedsFailing());
    if (pageAvailableAtOffset(-1))
        m_tour->notePage(p - 1, m_leftMultiView->allFeedsFailing());
    if (pageAvailableAtOffset(1))
        m_tour->notePage(p + 1, m_rightMultiView->allFeedsFailing());
}

void MultiPageScrollerView::turnPageByTour()
{
    // Never under a finger or during a slide.
    if (!m_acceptTouches || m_mouseDown || m_centerOffset != 0 || m_selectedIdx >= 0)
        return;
    noteFailingPages();
    const int from = currentPage();
    const int page = m_tour->nextPage(from, numberOfPages());
    if (page == from)
        return;
    // A page further on, or the first after the last, is brought in as the right neighbour.
    if (page != from + 1)
        resetFeedsStartingAtOffset(FeedsPerPage * page, m_rightMultiView);
    slideIn(1, page);
    if (from != page - 1) {
        if (page >= 1)
            resetFeedsStartingAtOffset(FeedsPerPage * (page - 1), m_leftMultiView);
        else
            clearFeedsInView(m_leftMultiView);
    }
}

void MultiPageScrollerView::rebuildThroughSpare()
{
    m_multiView->stopFeeds();
    std::swap(m_multiView, m_instantMultiView);
    m_multiView->move(0, ToolbarHeight);
    resetFeeds();
    m_multiView->show();
    m_instantMultiView->hide();
    m_multiView->raise();
    if (m_inWindow)
        m_multiView->startFeeds();
    else
        m_multiView->trickle(0);
    showFocus();
}

void MultiPageScrollerView::pageControlChanged()
{
    rebuildThroughSpare();
}

void MultiPageScrollerView::touchesBegan(QPointF location, double time)
{
    m_touchStartTime = time;
    m_tour->touched();
    if (std::exchange(m_keyboardInUse, false))
        showFocus();
    const int f = m_multiView->feedNumberForLocation(m_multiView->mapFrom(this, location));
    if (f < 0)
        return;
    if (m_selectedIdx >= 0)
        m_multiView->markFeed(m_selectedIdx, false, false);
    m_selectedIdx = f;
    if (FeedsPerPage * currentPage() + f < m_cameraList.size())
        m_multiView->markFeed(f, true, false);
}

void MultiPageScrollerView::touchesMoved(QPointF location, QPointF previous)
{
    if (m_selectedIdx >= 0) {
        m_multiView->markFeed(m_selectedIdx, false, false);
        m_selectedIdx = -1;
    }
    if (numberOfPages() <= 1)
        return;
    m_centerOffset += location.x() - previous.x();
    m_multiView->move(static_cast<int>(std::lround(m_centerOffset)), ToolbarHeight);
    const int direction = m_centerOffset < 0 ? 1 : -1;
    m_leftMultiView->setVisible(!(!pageAvailableAtOffset(-1) && direction == -1));
    m_rightMultiView->setVisible(!(!pageAvailableAtOffset(1) && direction == 1));
    placeNeighbours();
}

void MultiPageScrollerView::placeNeighbours()
{
    const int x = m_multiView->x();
    m_leftMultiView->move(x - (PageGap + m_leftMultiView->width()), ToolbarHeight);
    m_rightMultiView->move(x + PageGap + m_rightMultiView->width(), ToolbarHeight);
}

void MultiPageScrollerView::touchesEnded(double time)
{
    if (m_selectedIdx >= 0) {
        const int f = m_selectedIdx;
        openFeed(f);
        m_multiView->markFeed(f, false, true);
        m_selectedIdx = -1;
        return;
    }
    const int d = m_centerOffset < 0 ? 1 : -1;
    const double w = width();
    const bool far = std::fabs(m_centerOffset) > 0.5 * w;
    const bool flick = (time - m_touchStartTime) < 0.25 && std::fabs(m_centerOffset) > 0.25 * w;
    if ((far || flick) && pageAvailableAtOffset(d))
        turnPage(d, currentPage() + d);
    reCenter();
}

void MultiPageScrollerView::turnPage(int d, int page)
{
    m_multiView->stopFeeds();
    m_pageControl->setCurrentPage(page);
    MultiView *oldCenter = m_multiView;
    if (d > 0) {
        m_multiView = m_rightMultiView;
        m_rightMultiView = m_leftMultiView;
        m_leftMultiView = oldCenter;
    } else {
        m_multiView = m_leftMultiView;
        m_leftMultiView = m_rightMultiView;
        m_rightMultiView = oldCenter;
    }
    m_rightMultiView->trickle(0);
    m_leftMultiView->trickle(0.5);
    const int p = currentPage();
    MultiView *farSide = d > 0 ? m_rightMultiView : m_leftMultiView;
    farSide->hide();
    if (d > 0) {
        if (p + 1 < numberOfPages())
            resetFeedsStartingAtOffset(FeedsPerPage * (p + 1), farSide);
        else
            clearFeedsInView(farSide);
    } else {
        if (p >= 1)
            resetFeedsStartingAtOffset(FeedsPerPage * (p - 1), farSide);
        else
            clearFeedsInView(farSide);
    }
    m_multiView->startFeeds();
    m_multiView->raise();
    // The new centre sits where the finger left it; re-centring slides it home.
    m_centerOffset = m_multiView->x();
}

void MultiPageScrollerView::reCenter()
{
    if (m_centerOffset == 0)
        return;
    m_acceptTouches = false;
    const double w = width();
    const double fraction = std::fabs(w / 2.0 - (m_multiView->x() + w / 2.0)) / (0.5 * w);
    auto *group = new QParallelAnimationGroup(this);
    const auto slide = [group, fraction](QWidget *page, int x) {
        auto *animation = new QPropertyAnimation(page, "pos", group);
        animation->setDuration(static_cast<int>(std::lround(350 * fraction)));
        animation->setEndValue(QPoint(x, page->y()));
        group->addAnimation(animation);
    };
    slide(m_multiView, 0);
    slide(m_leftMultiView, -(PageGap + m_leftMultiView->width()));
    slide(m_rightMultiView, PageGap + m_rightMultiView->width());
    connect(group, &QAbstractAnimation::finished, this, [this] { m_acceptTouches = true; });
    group->start(QAbstractAnimation::DeleteWhenStopped);
    m_centerOffset = 0;
}

void MultiPageScrollerView::touchesCancelled()
{
    if (m_selectedIdx < 0) {
        reCenter();
        return;
    }
    m_multiView->markFeed(m_selectedIdx, false, false);
    m_selectedIdx = -1;
}

void MultiPageScrollerView::openFeed(int feed)
{
    const int c = FeedsPerPage * currentPage() + feed;
    VideoView *thumbnail = m_multiView->getViewForFeed(feed);
    if (c >= m_cameraList.size() || !thumbnail)
        return;
    // The single view's picture starts exactly over the thumbnail.
    const QRect over(thumbnail->mapTo(this, QPoint(0, 0)), thumbnail->size());
    m_singleView.videoView()->setGeometry(over);
    const Value camera = m_cameraList.at(c);
    m_acceptTouches = false;
    QTimer::singleShot(100, this, [this, camera] { goToSingleView(camera); });
}

void MultiPageScrollerView::goToSingleView(const Value &camera)
{
    m_singleView.setCamera(camera);
    m_host.switchToView(LiveViewHost::View::Single);
    m_acceptTouches = true;
}

QRectF MultiPageScrollerView::rectForCamera(const Value &camera)
{
    const int p = currentPage();
    const auto count = static_cast<int>(m_cameraList.size());
    VideoView *view = nullptr;
    for (int i = FeedsPerPage * p; i < std::min(count, FeedsPerPage * p + FeedsPerPage) && !view; ++i) {
        if (m_cameraList.at(i) == camera)
            view = m_multiView->getViewForFeed(i - FeedsPerPage * p);
    }
    const auto jumpTo = [&](int i) {
        m_pageControl->setCurrentPage(i / FeedsPerPage);
        resetFeedsStartingAtOffset(FeedsPerPage * (i / FeedsPerPage), m_multiView);
        view = m_multiView->getViewForFeed(i % FeedsPerPage);
    };
    for (int i = FeedsPerPage * p - 1; i >= 0 && !view; --i) {
        if (m_cameraList.at(i) == camera)
            jumpTo(i);
    }
    for (int i = FeedsPerPage * p + FeedsPerPage; i < count && !view; ++i) {
        if (m_cameraList.at(i) == camera)
            jumpTo(i);
    }
    QWidget *top = window();
    if (view)
        return QRectF(view->mapTo(top, QPoint(0, 0)), QSizeF(view->size()));
    return QRectF(mapTo(top, rect().center()), QSizeF(0, 0));
}

void MultiPageScrollerView::willMoveToWindow(bool entering)
{
    m_inWindow = entering;
    setPagesLive(entering);
    m_tour->setShown(entering);
}

void MultiPageScrollerView::setPagesLive(bool live)
{
    // Live, the centre streams and the neighbours trickle; otherwise only the centre trickles.
    if (live) {
        m_multiView->startFeeds();
        m_leftMultiView->trickle(0.5);
        m_rightMultiView->trickle(0);
    } else {
        m_multiView->trickle(0);
        m_leftMultiView->stopFeeds();
        m_rightMultiView->stopFeeds();
    }
}

void MultiPageScrollerView::becameIdle()
{
    if (m_inWindow)
        setPagesLive(false);
    m_tour->setShown(false);
}

void MultiPageScrollerView::becameActive()
{
    if (m_inWindow)
        setPagesLive(true);
    m_tour->setShown(m_inWindow);
}

bool MultiPageScrollerView::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd: {
        auto *touch = static_cast<QTouchEvent *>(event);
        event->accept();
        // One touch at a time: the first finger decides.
        if (!m_acceptTouches || touch->points().isEmpty())
            return true;
        const QEventPoint &p = touch->points().first();
        if (p.state() == QEventPoint::Pressed)
            touchesBegan(p.position(), seconds(p.timestamp()));
        else if (p.state() == QEventPoint::Updated)
            touchesMoved(p.position(), p.lastPosition());
        else if (p.state() == QEventPoint::Released)
            touchesEnded(seconds(p.timestamp()));
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

void MultiPageScrollerView::mousePressEvent(QMouseEvent *event)
{
    if (!m_acceptTouches || event->source() != Qt::MouseEventNotSynthesized || event->button() != Qt::LeftButton)
        return;
    m_mouseDown = true;
    m_lastMouse = event->position();
    touchesBegan(event->position(), seconds(event->timestamp()));
}

void MultiPageScrollerView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_mouseDown || !m_acceptTouches)
        return;
    touchesMoved(event->position(), m_lastMouse);
    m_lastMouse = event->position();
}

void MultiPageScrollerView::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_mouseDown || event->button() != Qt::LeftButton)
        return;
    m_mouseDown = false;
    if (m_acceptTouches)
        touchesEnded(seconds(event->timestamp()));
}

void MultiPageScrollerView::keyPressEvent(QKeyEvent *event)
{
    m_tour->touched();
    if (!m_acceptTouches) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_PageDown:
        turnPageByKey(1);
        break;
    case Qt::Key_PageUp:
        turnPageByKey(-1);
        break;
    case Qt::Key_Right:
        moveFocus(1, 0);
        break;
    case Qt::Key_Left:
        moveFocus(-1, 0);
        break;
    case Qt::Key_Down:
        moveFocus(0, 1);
        break;
    case Qt::Key_Up:
        moveFocus(0, -1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        openFeed(m_focusedFeed);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void MultiPageScrollerView::turnPageByKey(int d)
{
    if (pageAvailableAtOffset(d))
        slideIn(d, currentPage() + d);
}

void MultiPageScrollerView::slideIn(int d, int page)
{
    // As if the finger had carried the neighbour all the way in.
    m_leftMultiView->show();
    m_rightMultiView->show();
    placeNeighbours();
    turnPage(d, page);
    reCenter();
    showFocus();
}

void MultiPageScrollerView::moveFocus(int columns, int rows)
{
    constexpr int Columns = 3;
    // The first key only shows where the ring is.
    if (!std::exchange(m_keyboardInUse, true)) {
        showFocus();
        return;
    }
    const int column = m_focusedFeed % Columns + columns;
    const int row = std::clamp(m_focusedFeed / Columns + rows, 0, FeedsPerPage / Columns - 1);
    if (column < 0 || column >= Columns) {
        const int d = column < 0 ? -1 : 1;
        if (!pageAvailableAtOffset(d))
            return;
        m_focusedFeed = row * Columns + (d > 0 ? 0 : Columns - 1);
        turnPageByKey(d);
        return;
    }
    if (row * Columns + column < feedsOnPage())
        m_focusedFeed = row * Columns + column;
    showFocus();
}

int MultiPageScrollerView::focusedFeed() const
{
    return m_multiView->focusedFeed();
}

int MultiPageScrollerView::feedsOnPage() const
{
    return std::clamp(static_cast<int>(m_cameraList.size()) - FeedsPerPage * currentPage(), 0, FeedsPerPage);
}

void MultiPageScrollerView::showFocus()
{
    m_focusedFeed = std::clamp(m_focusedFeed, 0, std::max(0, feedsOnPage() - 1));
    const bool shown = m_keyboardInUse && hasFocus() && feedsOnPage() > 0;
    for (MultiView *page : { m_leftMultiView, m_rightMultiView, m_instantMultiView })
        page->setFocusedFeed(-1);
    m_multiView->setFocusedFeed(shown ? m_focusedFeed : -1);
}

void MultiPageScrollerView::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    showFocus();
}

void MultiPageScrollerView::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    showFocus();
}
