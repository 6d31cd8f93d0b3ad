#pragma once

#include "config/Value.h"

#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>

class FrameProducer;
class LiveViewHost;
class QLabel;
class VideoView;

// One page of the multi view: six feed slots in a 3 by 2 grid, each with a live
// thumbnail, a title bar, a PTZ badge and what the camera is doing in words, and one
// reader per occupied slot. Its readers stream, trickle (one still frame per slot
// every 10 seconds) or are stopped. Main thread only.
class MultiView final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Feeds = 6;
    static constexpr int TricklePeriodMs = 10000;

    MultiView(LiveViewHost &host, const QRect &frame, QWidget *parent);
    ~MultiView() override;

    // n = 1 to 6; camera none empties the slot.
    void setFeed(int n, const Value &camera);
    void startFeeds();
    void stopFeeds();
    void trickle(double delaySeconds);

    int feedNumberForLocation(QPointF location) const;
    VideoView *getViewForFeed(int feed) const;
    QWidget *containerForFeed(int feed) const;
    void markFeed(int feed, bool selected, bool animated);
    // The ring around the tile the keyboard is on; -1 for none.
    void setFocusedFeed(int feed);
    int focusedFeed() const { return m_focusedFeed; }

    bool isRunning() const { return m_running; }
    bool isTrickling() const { return m_trickleTimer.isActive(); }
    FrameProducer *streamForFeed(int feed) const { return m_videoStreams.at(static_cast<size_t>(feed)).get(); }
    QSizeF feedSize() const { return m_feedSize; }
    // Every camera on the page fails (or has nothing to read); false for an empty page.
    bool allFeedsFailing() const;

private:
    struct Slot
    {
        QWidget *container = nullptr;
        VideoView *video = nullptr;
        QLabel *badge = nullptr;
    };

    void trickleTimerHandler();
    void releaseStream(int feed);

    LiveViewHost &m_host;
    bool m_running = false;
    std::array<std::unique_ptr<FrameProducer>, Feeds> m_videoStreams;
    std::array<Slot, Feeds> m_slots;
    QTimer m_trickleTimer;
    QSizeF m_feedSize;
    QWidget *m_focusRing;
    int m_focusedFeed = -1;
};
