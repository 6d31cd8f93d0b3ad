#pragma once

#include "platform/Clock.h"

#include <QImage>
#include <QWidget>

#include <memory>
#include <optional>

class ActivitySpinner;
class FrameConsumer;
class Preferences;
class QLabel;

// The picture of one camera in the live views: the latest picture scaled to fill the
// view, a spinner while no recent picture is there, and an optional frame-rate line
// that follows the show-FPS preference as it changes.
//
// Readers deliver to frameConsumer() on the worker thread; it counts there and hands
// the newest picture to this view on the GUI thread, never queueing more than one.
class VideoView final : public QWidget
{
    Q_OBJECT

public:
    static constexpr qint64 FpsRefreshMs = 2000;
    static constexpr qint64 StaleMs = 5000;

    explicit VideoView(const Preferences &preferences, Clock &clock = Clock::system(), QWidget *parent = nullptr);
    ~VideoView() override;

    // What readers are given as their consumer; it may outlive the view.
    std::shared_ptr<FrameConsumer> frameConsumer() const;

    // A picture (or none) and when it arrived, shown before frames flow.
    void setInitialFrame(const QImage &picture, qint64 timeStamp);

    void updateFPS();
    void handleShowFPS(bool on);
    void checkForActivity();
    void showSpinner();

    QImage image() const { return m_picture; }
    qint64 lastFrameTime() const { return m_lastFrameTime; }
    ActivitySpinner *spinner() const { return m_spinner; }
    ClockTimer *spinChecker() const { return m_spinChecker; }
    bool showFPS() const { return m_showFPS; }
    QLabel *fpsLabel() const { return m_fpsLabel; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    class Feed;

    void showFrame(const QImage &picture);
    void removeSpinner();
    void placeChildren();
    void resetCounters();

    Clock &m_clock;
    std::shared_ptr<Feed> m_feed;
    QImage m_picture;
    QLabel *m_fpsLabel;
    ActivitySpinner *m_spinner = nullptr;
    ClockTimer *m_spinChecker = nullptr;
    ClockTimer *m_fpsUpdater = nullptr;
    qint64 m_lastFrameTime = Clock::DistantPast;
    std::optional<qint64> m_lastFpsUpdate;
    bool m_showFPS = false;
};
