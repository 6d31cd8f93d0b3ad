#include "ui/live/VideoView.h"

#include "ui/kit/ActivitySpinner.h"

#include "platform/Preferences.h"
#include "video/FrameConsumer.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMutex>
#include <QPainter>
#include <QPointer>

#include <atomic>

namespace {

constexpr int LabelMargin = 2;
constexpr int LabelWidth = 150;
constexpr int LabelHeight = 20;

} // namespace

// Called by readers on the worker thread. Counting happens here; the picture goes to
// the view on the GUI thread, and while one hand-off is pending newer pictures only
// replace the one it will carry, so a busy GUI never builds a queue.
class VideoView::Feed final : public FrameConsumer, public std::enable_shared_from_this<Feed>
{
public:
    explicit Feed(VideoView *view)
        : m_view(view)
    {
    }

    void consumeFrame(const QImage &picture, const Value &, int bytes) override
    {
        if (showFPS) {
            frames.fetch_add(1);
            byteCount.fetch_add(bytes);
        }
        if (picture.isNull())
            return;
        const QMutexLocker lock(&m_mutex);
        m_latest = picture;
        if (m_handOffPending)
            return;
        m_handOffPending = true;
        QMetaObject::invokeMethod(QCoreApplication::instance(), [self = shared_from_this()] { self->deliver(); },
                                  Qt::QueuedConnection);
    }

    std::atomic<bool> showFPS = false;
    std::atomic<qint64> frames = 0;
    std::atomic<qint64> byteCount = 0;

private:
    // GUI thread; the view may be gone by now.
    void deliver()
    {
        QImage picture;
        {
            const QMutexLocker lock(&m_mutex);
            picture = std::exchange(m_latest, QImage());
            m_handOffPending = false;
        }
        if (m_view)
            m_view->showFrame(picture);
    }

    const QPointer<VideoView> m_view;
    QMutex m_mutex;
    QImage m_latest;
    bool m_handOffPending = false;
};

VideoView::VideoView(const Preferences &preferences, Clock &clock, QWidget *parent)
    : QWidget(parent)
    , m_clock(clock)
    , m_feed(std::make_shared<Feed>(this))
    , m_fpsLabel(new QLabel(this))
{
    QFont font = m_fpsLabel->font();
    font.setPixelSize(15);
    m_fpsLabel->setFont(font);
    m_fpsLabel->setAutoFillBackground(true);
    QPalette palette = m_fpsLabel->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::white);
    m_fpsLabel->setPalette(palette);
    m_fpsLabel->hide();
    placeChildren();

    m_showFPS = preferences.showFPS();
    m_feed->showFPS = m_showFPS;
    if (m_showFPS) {
        m_lastFpsUpdate = m_clock.now();
        m_fpsUpdater = m_clock.createTimer(this);
        connect(m_fpsUpdater, &ClockTimer::timeout, this, &VideoView::updateFPS);
        m_fpsUpdater->start(FpsRefreshMs, true);
        m_fpsLabel->show();
    }
    // The preferences outlive the view; the connection goes with either.
    connect(&preferences, &Preferences::changed, this, [this, &preferences](Preferences::Key key) {
        if (key == Preferences::Key::ShowFPS)
            handleShowFPS(preferences.showFPS());
    });
}

VideoView::~VideoView() = default;

std::shared_ptr<FrameConsumer> VideoView::frameConsumer() const
{
    return m_feed;
}

void VideoView::resetCounters()
{
    m_feed->frames = 0;
    m_feed->byteCount = 0;
}

void VideoView::setInitialFrame(const QImage &picture, qint64 timeStamp)
{
    m_picture = picture;
    update();
    m_lastFrameTime = timeStamp;
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

void VideoView::updateFPS()
{
    if (!m_lastFpsUpdate)
        return;
    const qint64 now = m_clock.now();
    const float elapsed = static_cast<float>(now - *m_lastFpsUpdate) / 1000.0f;
    const qint64 frames = m_feed->frames.exchange(0);
    const qint64 bytes = m_feed->byteCount.exchange(0);
    m_lastFpsUpdate = now;
    if (elapsed <= 0.0f)
        return;
    m_fpsLabel->setText(QString::asprintf("%.2f fps | %.1fKB/s", static_cast<double>(frames / elapsed),
                                          static_cast<double>(bytes / (elapsed * 1000.0f))));
}

void VideoView::handleShowFPS(bool on)
{
    m_showFPS = on;
    m_feed->showFPS = on;
    resetCounters();
    m_lastFpsUpdate.reset();
    if (on) {
        m_fpsLabel->show();
        m_lastFpsUpdate = m_clock.now();
        if (!m_fpsUpdater) {
            m_fpsUpdater = m_clock.createTimer(this);
            connect(m_fpsUpdater, &ClockTimer::timeout, this, &VideoView::updateFPS);
            m_fpsUpdater->start(FpsRefreshMs, true);
        }
    } else if (m_fpsLabel->isVisibleTo(this)) {
        m_fpsLabel->hide();
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
    m_picture = picture;
    m_lastFrameTime = m_clock.now();
    removeSpinner();
    update();
}

void VideoView::placeChildren()
{
    m_fpsLabel->setGeometry(LabelMargin, height() - LabelHeight - LabelMargin, LabelWidth, LabelHeight);
    if (m_spinner)
        m_spinner->move(rect().center() - m_spinner->rect().center());
}

void VideoView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_picture.isNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), m_picture);
}

void VideoView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeChildren();
}
