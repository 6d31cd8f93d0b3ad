#include "ui/live/VideoView.h"

#include "ui/kit/ActivitySpinner.h"
#include "ui/kit/Caption.h"
#include "ui/live/RepaintPacer.h"

#include "platform/Preferences.h"
#include "video/FrameConsumer.h"

#include <QLabel>
#include <QMutex>
#include <QPainter>
#include <QPointer>
#include <QtMath>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <utility>

namespace {

constexpr int LabelMargin = 2;
constexpr int LabelWidth = 150;
constexpr int LabelHeight = 20;
constexpr int LabelFontPixels = 15;
constexpr int SmallestLabelFontPixels = 9;

} // namespace

// Called by readers on the worker thread. Counting happens here; the picture goes to
// the view on the GUI thread. Until the view has painted it the reader is held back,
// so only pictures that will be shown are decoded and no queue builds up behind a
// busy GUI.
class VideoView::Feed final : public FrameConsumer,
                              public RepaintPacer::Delivery,
                              public std::enable_shared_from_this<Feed>
{
public:
    explicit Feed(VideoView *view)
        : m_view(view)
    {
    }

    void consumeFrame(const QImage &picture, const Value &, int bytes) override
    {
        byteCount.fetch_add(bytes);
        if (picture.isNull())
            return;
        {
            const QMutexLocker lock(&m_mutex);
            m_latest = picture;
            m_unshown = true;
            if (std::exchange(m_handOffPending, true))
                return;
        }
        RepaintPacer::post(shared_from_this());
    }

    void framesSkipped(int count) override { skipped.fetch_add(count); }

    QSize targetSize() const override
    {
        const QMutexLocker lock(&m_mutex);
        return m_target;
    }

    bool readyForFrame(const std::shared_ptr<FrameWaker> &waker) override
    {
        const QMutexLocker lock(&m_mutex);
        if (!m_unshown)
            return true;
        m_waker = waker;
        return false;
    }

    // GUI thread.
    void setTargetSize(QSize size)
    {
        const QMutexLocker lock(&m_mutex);
        m_target = size;
    }

    // GUI thread: the picture handed over has been painted, or never will be.
    void done(bool painted)
    {
        std::shared_ptr<FrameWaker> waker;
        {
            const QMutexLocker lock(&m_mutex);
            if (!m_unshown || m_handOffPending)
                return;
            m_unshown = false;
            waker = std::move(m_waker);
        }
        if (painted)
            frames.fetch_add(1);
        if (waker)
            waker->wake();
    }

    // Totals since the view was made.
    std::atomic<qint64> frames = 0;
    std::atomic<qint64> skipped = 0;
    std::atomic<qint64> byteCount = 0;

    // The view may be gone by now.
    void deliver() override
    {
        QImage picture;
        {
            const QMutexLocker lock(&m_mutex);
            picture = std::exchange(m_latest, QImage());
            m_handOffPending = false;
        }
        if (m_view)
            m_view->showFrame(picture);
        else
            done(false);
    }

    // Hidden, scrolled off, covered or on a window not exposed, the view was not
    // painted with its batch, and no paint will come for this picture.
    void repainted() override
    {
        if (m_view)
            m_view->releasePicture();
    }

private:
    const QPointer<VideoView> m_view;
    mutable QMutex m_mutex;
    QImage m_latest;
    QSize m_target;
    std::shared_ptr<FrameWaker> m_waker;
    bool m_handOffPending = false;
    bool m_unshown = false;
};

VideoView::VideoView(const Preferences &preferences, Clock &clock, QWidget *parent)
    : QWidget(parent)
    , m_clock(clock)
    , m_feed(std::make_shared<Feed>(this))
    , m_stateTicker(clock.createTimer(this))
{
    connect(m_stateTicker, &ClockTimer::timeout, this, qOverload<>(&QWidget::update));
    // Every paint covers every pixel; nothing behind the view needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    handleShowFPS(preferences.showFPS());
    // The preferences outlive the view; the connection goes with either.
    connect(&preferences, &Preferences::changed, this, [this, &preferences](Preferences::Key key) {
        if (key == Preferences::Key::ShowFPS)
            handleShowFPS(preferences.showFPS());
    });
}

VideoView::~VideoView()
{
    releasePicture();
}

std::shared_ptr<FrameConsumer> VideoView::frameConsumer() const
{
    return m_feed;
}

qint64 VideoView::framesShown() const
{
    return m_feed->frames;
}

qint64 VideoView::framesSkipped() const
{
    return m_feed->skipped;
}

void VideoView::resetCounters()
{
    m_counted = { m_feed->frames, m_feed->skipped, m_feed->byteCount };
}

void VideoView::setInitialFrame(const QImage &picture, qint64 timeStamp)
{
    m_picture = picture;
    m_greyed = QImage();
    placePicture();
    update();
    m_lastFrameTime = timeStamp;
    if (m_fpsLabel)
        m_fpsLabel->clear();
    m_lastFpsUpdate = m_showFPS ? std::optional<qint64>(m_clock.now()) : std::nullopt;
    resetCounters();
    if (m_spinChecker) {
        m_spinChecker->stop();
        m_spinChecker->deleteLater();
        m_spinChecker = nullptr;
    }
    removeSpinner();
    const qint64 age = m_clock.now() - timeStamp;
    if (picture.isNull() || age >= StaleMs)
        showSpinner();
    if (!m_spinner) {
        m_spinChecker = m_clock.createTimer(this);
        connect(m_spinChecker, &ClockTimer::timeout, this, &VideoView::checkForActivity);
        m_spinChecker->start(StaleMs - age, false);
    }
}

void VideoView::showState(CameraState state)
{
    if (state == m_state)
        return;
    if (m_state == CameraState::Idle)
        m_activeSince = m_clock.now();
    m_state = state;
    if (state == CameraState::Connecting || state == CameraState::Silent) {
        if (!m_stateTicker->isActive())
            m_stateTicker->start(1000, true);
    } else {
        m_stateTicker->stop();
    }
    update();
}

void VideoView::setTitle(const QString &title)
{
    if (title == m_title.text())
        return;
    m_title.setText(title);
    setAccessibleName(title);
    update(0, 0, width(), TileTitle::Height);
}

bool VideoView::showsFailure() const
{
    return m_state != CameraState::Idle && m_state != CameraState::Playing && m_state != CameraState::Connecting;
}

QString VideoView::stateCaption() const
{
    const qint64 waited = m_clock.now() - std::max(m_lastFrameTime, m_activeSince);
    switch (m_state) {
    case CameraState::Connecting:
        // A normal start shows only the spinner.
        return waited >= ConnectingCaptionMs ? cameraStateText(m_state) : QString();
    case CameraState::Silent:
        return cameraStateText(m_state, static_cast<int>(waited / 1000));
    default:
        return cameraStateText(m_state);
    }
}

void VideoView::setBottomRightInset(int pixels)
{
    m_bottomRightInset = pixels;
    placeChildren();
}

void VideoView::updateFPS()
{
    if (!m_lastFpsUpdate)
        return;
    const qint64 now = m_clock.now();
    const float elapsed = static_cast<float>(now - *m_lastFpsUpdate) / 1000.0f;
    const Counts before = m_counted;
    resetCounters();
    m_lastFpsUpdate = now;
    if (elapsed <= 0.0f || !m_fpsLabel)
        return;
    const auto perSecond = [elapsed](qint64 count) {
        return static_cast<double>(static_cast<float>(count) / elapsed);
    };
    m_fpsLabel->setText(QString::asprintf("%.2f fps | %.1fKB/s\n%.2f skipped/s",
                                          perSecond(m_counted.frames - before.frames),
                                          perSecond(m_counted.bytes - before.bytes) / 1000.0,
                                          perSecond(m_counted.skipped - before.skipped)));
    placeChildren();
}

void VideoView::handleShowFPS(bool on)
{
    m_showFPS = on;
    resetCounters();
    m_lastFpsUpdate.reset();
    // The line is made while it is shown: the window's every repaint walks all its
    // widgets, hidden ones too, and most views never show it.
    if (on) {
        if (!m_fpsLabel) {
            m_fpsLabel = new QLabel(this);
            QFont font = m_fpsLabel->font();
            font.setPixelSize(LabelFontPixels);
            m_fpsLabel->setFont(font);
            m_fpsLabel->setAutoFillBackground(true);
            QPalette palette = m_fpsLabel->palette();
            palette.setColor(QPalette::Window, Qt::black);
            palette.setColor(QPalette::WindowText, Qt::white);
            m_fpsLabel->setPalette(palette);
            placeChildren();
            m_fpsLabel->show();
        }
        m_lastFpsUpdate = m_clock.now();
        if (!m_fpsUpdater) {
            m_fpsUpdater = m_clock.createTimer(this);
            connect(m_fpsUpdater, &ClockTimer::timeout, this, &VideoView::updateFPS);
            m_fpsUpdater->start(FpsRefreshMs, true);
        }
    } else {
        delete std::exchange(m_fpsLabel, nullptr);
        if (m_fpsUpdater) {
            m_fpsUpdater->stop();
            m_fpsUpdater->deleteLater();
            m_fpsUpdater = nullptr;
        }
    }
}

void VideoView::checkForActivity()
{
    if (!m_spinner && m_clock.now() - m_lastFrameTime >= StaleMs)
        showSpinner();
    if (m_spinChecker) {
        m_spinChecker->deleteLater();
        m_spinChecker = nullptr;
    }
}

void VideoView::showSpinner()
{
    m_spinner = new ActivitySpinner(this);
    placeChildren();
    m_spinner->show();
    m_spinner->raise();
    m_spinner->startAnimating();
}

void VideoView::removeSpinner()
{
    if (!m_spinner)
        return;
    delete m_spinner;
    m_spinner = nullptr;
}

void VideoView::showFrame(const QImage &picture)
{
    if (picture.isNull())
        return;
    // Where the picture goes depends on its size alone: most pictures keep the last one's.
    const bool resized = picture.size() != m_picture.size();
    m_picture = picture;
    m_greyed = QImage();
    if (resized)
        placePicture();
    m_lastFrameTime = m_clock.now();
    if (m_state != CameraState::Idle)
        showState(CameraState::Playing);
    removeSpinner();
    m_pictureFresh = true;
    RepaintPacer::update(this);
}

void VideoView::releasePicture()
{
    if (std::exchange(m_pictureFresh, false))
        m_feed->done(false);
}

void VideoView::placePicture()
{
    QSizeF shown = size();
    if (!m_picture.isNull())
        shown = QSizeF(m_picture.size()).scaled(shown, Qt::KeepAspectRatio);
    const QRectF place(QPointF((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
    m_zoom.setFitted(rect(), place);
    m_feed->setTargetSize((shown * m_zoom.scale() * (m_paintedScale ? *m_paintedScale : devicePixelRatioF())).toSize());
    if (place != m_pictureRect) {
        m_pictureRect = place;
        emit pictureRectChanged(place);
    }
}

void VideoView::zoomBy(qreal factor, QPointF about)
{
    const qreal before = m_zoom.scale();
    m_zoom.zoomBy(factor, about);
    zoomMoved(before);
}

void VideoView::panBy(QPointF delta)
{
    const qreal before = m_zoom.scale();
    m_zoom.panBy(delta);
    zoomMoved(before);
}

void VideoView::resetZoom()
{
    const qreal before = m_zoom.scale();
    m_zoom.reset();
    zoomMoved(before);
}

void VideoView::zoomMoved(qreal scaleBefore)
{
    update();
    if (m_zoom.scale() == scaleBefore)
        return;
    placePicture();
    emit zoomChanged(m_zoom.scale());
}

void VideoView::placeChildren()
{
    if (m_spinner)
        m_spinner->move(rect().center() - m_spinner->rect().center());
    if (!m_fpsLabel)
        return;
    // The line's text sets its size, in a smaller font where the view is too narrow
    // for it, as the grid's tiles are.
    const int room = std::max(0, width() - 2 * LabelMargin - m_bottomRightInset);
    QFont font = m_fpsLabel->font();
    for (int pixels = LabelFontPixels; pixels >= SmallestLabelFontPixels; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).boundingRect(QRect(0, 0, room, height()), 0, m_fpsLabel->text()).width() <= room)
            break;
    }
    m_fpsLabel->setFont(font);
    const QSize text = m_fpsLabel->sizeHint();
    const int labelHeight = std::max(LabelHeight, text.height());
    m_fpsLabel->setGeometry(LabelMargin, height() - labelHeight - LabelMargin,
                            std::min(std::max(text.width(), LabelWidth), room), labelHeight);
}

void VideoView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QTransform toDevice = painter.deviceTransform();
    // Only a plain scale has a size in device pixels; a rotated or sheared paint keeps the last one.
    if (toDevice.type() <= QTransform::TxScale && toDevice.m11() != m_paintedScale.value_or(0)) {
        m_paintedScale = toDevice.m11();
        placePicture();
    }
    if (m_picture.isNull())
        painter.fillRect(rect(), Qt::black);
    else
        paintPicture(painter, toDevice);
    // Below the spinner when it turns, in the middle otherwise.
    if (m_spinner && m_spinner->isVisible())
        Caption::paintAcross(painter, rect(), m_spinner->geometry().bottom() + 4, stateCaption(), Qt::AlignTop);
    else
        Caption::paintAcross(painter, rect(), height() / 2, stateCaption());
    if (!m_title.text().isEmpty())
        m_title.paint(painter, QRect(0, 0, width(), TileTitle::Height), font());
    if (std::exchange(m_pictureFresh, false))
        m_feed->done(true);
}

void VideoView::paintPicture(QPainter &painter, const QTransform &toDevice)
{
    if (showsFailure() && m_greyed.isNull())
        m_greyed = m_picture.convertToFormat(QImage::Format_Grayscale8);
    const QImage &shown = showsFailure() ? m_greyed : m_picture;
    const QRectF place = m_zoom.placed();
    const QRectF target = toDevice.mapRect(place);
    const QSize picture = shown.size();
    const auto near = [&picture](QSizeF size) {
        return std::abs(picture.width() - size.width()) <= OneToOneSlack
            && std::abs(picture.height() - size.height()) <= OneToOneSlack;
    };
    // Close to its place or, unzoomed, to the whole view: a pixel or two cut off is no loss.
    const bool oneToOne = toDevice.type() <= QTransform::TxScale
        && (near(target.size()) || (!m_zoom.isZoomed() && near(toDevice.mapRect(QRectF(rect())).size())));
    // The bars, and the rim a picture a pixel or two short leaves; the picture covers the
    // whole points inside its place.
    if (oneToOne && picture != target.size().toSize()) {
        painter.fillRect(rect(), Qt::black);
    } else if (!place.toAlignedRect().contains(rect())) {
        const QRect covered(QPoint(qCeil(place.left()), qCeil(place.top())),
                            QPoint(qFloor(place.right()) - 1, qFloor(place.bottom()) - 1));
        for (const QRect &bar : QRegion(rect()).subtracted(covered))
            painter.fillRect(bar, Qt::black);
    }
    painter.save();
    if (oneToOne) {
        // Device pixel for device pixel, centred on its place: no scaling, no filtering.
        painter.setWorldTransform(toDevice.inverted() * painter.worldTransform());
        const QPointF corner = target.center() - QPointF(picture.width(), picture.height()) / 2;
        painter.drawImage(corner.toPoint(), shown);
    } else {
        // One scaling of the part in view; filtering pays when pixels are dropped, and when
        // a zoom goes past the camera's resolution.
        painter.setRenderHint(QPainter::SmoothPixmapTransform, m_zoom.isZoomed() || picture.width() > target.width()
                                                                   || picture.height() > target.height());
        const QRectF inView = place.intersected(rect());
        const qreal sx = picture.width() / place.width();
        const qreal sy = picture.height() / place.height();
        const QPointF from = inView.topLeft() - place.topLeft();
        painter.drawImage(inView, shown,
                          QRectF(from.x() * sx, from.y() * sy, inView.width() * sx, inView.height() * sy));
    }
    painter.restore();
}

void VideoView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placePicture();
    placeChildren();
}

void VideoView::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    releasePicture();
}
