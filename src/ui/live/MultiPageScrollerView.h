#pragma once

#include "config/Value.h"

#include <QList>
#include <QWidget>

class LiveViewHost;
class MultiView;
class PageControl;
class PageTour;
class QPushButton;
class SingleView;

// The landscape home screen: a toolbar with the group's name and the settings
// button, pages of six live thumbnails that a swipe turns, and a page control.
// Four pages exchange the roles centre, left, right and spare. Main thread only.
class MultiPageScrollerView final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int FeedsPerPage = 6;
    static constexpr int ToolbarHeight = 41;
    static constexpr int PageControlHeight = 35;
    static constexpr int PageGap = 10;

    MultiPageScrollerView(LiveViewHost &host, SingleView &singleView, const QRect &frame, QWidget *parent = nullptr);
    ~MultiPageScrollerView() override;

    void setCameraList(const QList<Value> &list, const QString &title, bool resetCurrentPage);
    // The group's page tour.
    PageTour *tour() const { return m_tour; }
    // In window coordinates (this view's top-level widget).
    QRectF rectForCamera(const Value &camera);

    // Touches, in this view's coordinates; time in seconds. The mouse and real
    // touch events both arrive here.
    void touchesBegan(QPointF location, double time);
    void touchesMoved(QPointF location, QPointF previous);
    void touchesEnded(double time);
    void touchesCancelled();

    // Placed into or taken out of the window, and the application's activity.
    void willMoveToWindow(bool entering);
    void becameIdle();
    void becameActive();

    int currentPage() const;
    int numberOfPages() const;
    MultiView *centerPage() const { return m_multiView; }
    MultiView *leftPage() const { return m_leftMultiView; }
    MultiView *rightPage() const { return m_rightMultiView; }
    MultiView *sparePage() const { return m_instantMultiView; }
    QString title() const;
    // The tile with the ring around it, which Enter opens; -1 while no ring is shown.
    int focusedFeed() const;
    bool isAcceptingTouches() const { return m_acceptTouches; }
    bool isInWindow() const { return m_inWindow; }

protected:
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void setPagesLive(bool live);
    void resetFeeds();
    void resetFeedsStartingAtOffset(int index, MultiView *page);
    void clearFeedsInView(MultiView *page);
    void updatePageControl();
    bool pageAvailableAtOffset(int offset) const;
    void rebuildThroughSpare();
    // The neighbour in that direction becomes the centre, showing the given page.
    void turnPage(int direction, int page);
    // Slides in from the right the next page the tour goes to.
    void turnPageByTour();
    // What the pages on screen and beside it say about their cameras now.
    void noteFailingPages();
    void reCenter();
    void placeNeighbours();
    void pageControlChanged();
    void goToSingleView(const Value &camera);
    // Grows the feed's camera, if it has one, into the single view.
    void openFeed(int feed);
    void turnPageByKey(int direction);
    // The neighbour in that direction, showing the given page, slides in to the centre.
    void slideIn(int direction, int page);
    // The arrows move the ring a column or a row, across to the neighbouring page at the sides.
    void moveFocus(int columns, int rows);
    void showFocus();
    int feedsOnPage() const;
    void resizeTitle();

    LiveViewHost &m_host;
    SingleView &m_singleView;
    QPushButton *m_title;
    MultiView *m_multiView;
    MultiView *m_leftMultiView;
    MultiView *m_rightMultiView;
    MultiView *m_instantMultiView;
    PageControl *m_pageControl;
    QList<Value> m_cameraList;
    PageTour *m_tour;
    int m_selectedIdx = -1;
    // The tile the keyboard is on, shown with a ring once keys are in use.
    int m_focusedFeed = 0;
    bool m_keyboardInUse = false;
    double m_centerOffset = 0;
    double m_touchStartTime = 0;
    bool m_acceptTouches = true;
    bool m_inWindow = false;
    bool m_mouseDown = false;
    QPointF m_lastMouse;
};
