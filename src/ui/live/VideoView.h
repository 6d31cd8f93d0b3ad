#pragma once

#include "platform/Clock.h"
#include "ui/live/DigitalZoom.h"
#include "ui/live/TileTitle.h"
#include "video/CameraState.h"

#include <QImage>
#include <QWidget>

#include <memory>
#include <optional>

class ActivitySpinner;
class FrameConsumer;
class Preferences;
class QLabel;
class QPainter;
class QTransform;

// The picture of one camera in the live views: the latest picture, whole, as large as
// the view allows with black bars where the shapes differ (device pixel for device
// pixel when it has the shown size within OneToOneSlack, otherwise scaled once), a
// spinner while no recent picture is there, what the camera is doing in words when it
// is not playing (over its last picture, greyed), and an optional frame-rate line
// (frames shown, frames skipped, bytes) that follows the show-FPS preference as it
// changes.
//
// Readers deliver to frameConsumer() on the worker thread; it asks them for pictures
// of the shown size in device pixels, counts there, and hands the newest picture to
// this view on the GUI thread, holding the reader back until the view has painted it.
// Device pixels are those the view was last painted at, so a view shown scaled (the
// window fits its contents to its size) still gets pictures of the size it fills.
// Zoomed digitally, the picture is shown larger than the view and asked for at the
// size it is shown, so that it stays sharp up to the camera's own resolution.
class VideoView final : public QWidget
{
    Q_OBJECT

public:
    static constexpr qint64 FpsRefreshMs = 2000;
    static constexpr qint64 StaleMs = 5000;
    static constexpr int OneToOneSlack = 2;
    // A start shows only the spinner for this long before it says "Connecting…".
    static constexpr qint64 ConnectingCaptionMs = 2000;

    explicit VideoView(const Preferences &preferences, Clock &clock = Clock::system(), QWidget *parent = nullptr);
    ~VideoView() override;

    // What readers are given as their consumer; it may outlive the view.
    std::shared_ptr<FrameConsumer> frameConsumer() const;

    // A picture (or none) and when it arrived, shown before frames flow.
    void setInitialFrame(const QImage &picture, qint64 timeStamp);

    // The camera's state as its reader reports it; a picture that arrives means it plays.
    void showState(CameraState state);
    CameraState state() const { return m_state; }
    // The words shown over the picture now; empty when it plays.
    QString stateCaption() const;

    // A title bar across the top of the picture, as the grid's tiles have; empty for none.
    // Painted by the view itself, since every new picture repaints it.
    void setTitle(const QString &title);

    // Keeps the frame-rate line clear of something drawn over the view's bottom right.
    void setBottomRightInset(int pixels);

    void updateFPS();
    void handleShowFPS(bool on);
    void checkForActivity();
    void showSpinner();

    QImage image() const { return m_picture; }
    // Where the whole picture goes unzoomed, in this view's coordinates: all of it when there is none.
    QRectF pictureRect() const { return m_pictureRect; }

    // Digital zoom about a point of the view, drags of the zoomed picture, and the way back.
    void zoomBy(qreal factor, QPointF about);
    void panBy(QPointF delta);
    void resetZoom();
    const DigitalZoom &zoom() const { return m_zoom; }
    // Totals since the view was made: pictures painted, parts the reader skipped.
    qint64 framesShown() const;
    qint64 framesSkipped() const;
    qint64 lastFrameTime() const { return m_lastFrameTime; }
    ActivitySpinner *spinner() const { return m_spinner; }
    ClockTimer *spinChecker() const { return m_spinChecker; }
    bool showFPS() const { return m_showFPS; }
    // Null while the line is off.
    QLabel *fpsLabel() const { return m_fpsLabel; }

signals:
    void pictureRectChanged(const QRectF &rect);
    void zoomChanged(qreal scale);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    class Feed;

    struct Counts
    {
        qint64 frames = 0;
        qint64 skipped = 0;
        qint64 bytes = 0;
    };

    void showFrame(const QImage &picture);
    void paintPicture(QPainter &painter, const QTransform &toDevice);
    // Lets the reader go on when the picture handed over will not be painted.
    void releasePicture();
    // The picture's place and the size readers are asked for follow the view's size,
    // the picture's shape and the scale the view is painted at.
    void placePicture();
    // Repaints the zoom's change, and asks readers for the new size when the scale changed.
    void zoomMoved(qreal scaleBefore);
    void removeSpinner();
    void placeChildren();
    void resetCounters();
    // The state is a failure: the picture shows greyed.
    bool showsFailure() const;

    Clock &m_clock;
    std::shared_ptr<Feed> m_feed;
    QImage m_picture;
    QRectF m_pictureRect;
    DigitalZoom m_zoom;
    // Device pixels per logical pixel at the last paint; none before the first.
    std::optional<qreal> m_paintedScale;
    QLabel *m_fpsLabel = nullptr;
    ActivitySpinner *m_spinner = nullptr;
    ClockTimer *m_spinChecker = nullptr;
    ClockTimer *m_fpsUpdater = nullptr;
    TileTitle m_title;
    // Repaints while a caption counts or is about to appear.
    ClockTimer *m_stateTicker;
    CameraState m_state = CameraState::Idle;
    // When the reader last left Idle.
    qint64 m_activeSince = Clock::DistantPast;
    // The greyed copy of m_picture shown under a failure, made once per picture.
    QImage m_greyed;
    qint64 m_lastFrameTime = Clock::DistantPast;
    std::optional<qint64> m_lastFpsUpdate;
    // The totals at the last frame-rate update.
    Counts m_counted;
    bool m_showFPS = false;
    int m_bottomRightInset = 0;
    // A picture from the reader has arrived and is not painted yet.
    bool m_pictureFresh = false;
};
