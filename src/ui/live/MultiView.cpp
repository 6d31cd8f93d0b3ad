#include "ui/live/MultiView.h"
#include "ui/kit/Theme.h"

#include "ui/live/LiveViewHost.h"
#include "ui/live/VideoView.h"
#include "platform/Clock.h"
#include "video/FrameCache.h"
#include "video/FrameProducer.h"
#include "video/VideoStreamFactory.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPropertyAnimation>

#include <cmath>

MultiView::MultiView(LiveViewHost &host, const QRect &frame, QWidget *parent)
    : QWidget(parent)
    , m_host(host)
    , m_focusRing(new QWidget(this))
{
    setGeometry(frame);
    Theme::fillBlack(this);
    // Touches belong to the scroller, which decides between taps and swipes.
    setAttribute(Qt::WA_TransparentForMouseEvents);

    const double fw = (frame.width() - 6) / 3.0;
    const double fh = std::ceil(static_cast<float>(fw) * 0.6818182f);
    m_feedSize = QSizeF(fw, fh);
    double x = -1;
    double y = 1;
    for (int k = 0; k < Feeds; ++k) {
        const QRect r = QRectF(x, y, fw + 2, fh + 2).toAlignedRect();
        Slot &slot = m_slots[static_cast<size_t>(k)];
        slot.container = new QWidget(this);
        slot.container->setGeometry(r);
        slot.container->setAutoFillBackground(true);
        QPalette grey = slot.container->palette();
        grey.setColor(QPalette::Window, QColor(128, 128, 128));
        slot.container->setPalette(grey);

        const QRect inner = QRectF(1, 1, fw, fh).toAlignedRect();
        slot.video = new VideoView(m_host.preferences(), m_host.clock(), slot.container);
        slot.video->setGeometry(inner);
        slot.container->hide();

        if (k == 2) {
            x = -1;
            y += fh + 5;
        } else {
            x += fw + 3;
        }
    }
    m_focusRing->setObjectName(QStringLiteral("focusRing"));
    m_focusRing->setAttribute(Qt::WA_StyledBackground);
    m_focusRing->setStyleSheet(
        QStringLiteral("#focusRing { border: 3px solid rgb(90, 170, 255); background: transparent; }"));
    m_focusRing->hide();
    m_trickleTimer.setSingleShot(false);
    connect(&m_trickleTimer, &QTimer::timeout, this, &MultiView::trickleTimerHandler);
}

MultiView::~MultiView()
{
    for (int k = 0; k < Feeds; ++k)
        releaseStream(k);
}

void MultiView::releaseStream(int feed)
{
    std::unique_ptr<FrameProducer> &stream = m_videoStreams[static_cast<size_t>(feed)];
    if (!stream)
        return;
    stream->stop();
    stream->removeConsumer(m_slots[static_cast<size_t>(feed)].video->frameConsumer());
    stream->removeConsumer(m_host.imageCache());
    stream.reset();
}

void MultiView::setFeed(int n, const Value &camera)
{
    if (n < 1 || n > Feeds)
        return;
    const int feed = n - 1;
    Slot &slot = m_slots[static_cast<size_t>(feed)];
    slot.video->setTitle(camera.value(QStringLiteral("title")).toString());

    const Value params = camera.value(QStringLiteral("video.parameters"));
    std::unique_ptr<FrameProducer> &stream = m_videoStreams[static_cast<size_t>(feed)];
    const bool keep = stream && stream->getConnectionParameters() == params;
    if (!keep) {
        releaseStream(feed);
        if (!params.isNull()) {
            stream = VideoStreamFactory::createStream(params, true, m_host.videoThread());
            slot.video->showState(CameraState::Idle);
            if (stream) {
                connect(stream.get(), &FrameProducer::stateChanged, slot.video, &VideoView::showState);
                stream->addConsumer(slot.video->frameConsumer());
                stream->addConsumer(m_host.imageCache());
                // A trickling page serves the new reader with its next pass.
                if (m_trickleTimer.isActive())
                    m_trickleTimer.start(2000);
                else if (m_running)
                    stream->start();
            }
            const std::optional<CachedFrame> cached = m_host.imageCache()->cachedFrameForSource(params);
            if (cached)
                slot.video->setInitialFrame(cached->image(), cached->timeStamp());
            else
                slot.video->setInitialFrame(QImage(), Clock::DistantPast);
        } else {
            slot.video->showState(CameraState::Idle);
            slot.video->setInitialFrame(QImage(), Clock::DistantPast);
        }
    }
    const bool shown = !camera.isNull();
    slot.video->setVisible(shown);
    slot.container->setVisible(shown);
    const bool steerable = camera.contains(QStringLiteral("control.parameters"));
    // Made for the first steerable camera: the window's every repaint walks all its
    // widgets, hidden ones too.
    if (steerable && !slot.badge) {
        const QPixmap joystick(QStringLiteral(":/images/joystick_small.png"));
        slot.badge = new QLabel(slot.container);
        slot.badge->setPixmap(joystick);
        slot.badge->setGeometry(QRectF(1 + m_feedSize.width() - joystick.width(),
                                       1 + m_feedSize.height() - joystick.height(), joystick.width(), joystick.height())
                                    .toAlignedRect());
    }
    if (slot.badge)
        slot.badge->setVisible(steerable);
    slot.video->setBottomRightInset(steerable ? slot.badge->width() : 0);
}

void MultiView::startFeeds()
{
    if (m_running && !m_trickleTimer.isActive())
        return;
    m_trickleTimer.stop();
    m_running = true;
    for (const auto &stream : m_videoStreams) {
        if (stream)
            stream->start();
    }
}

void MultiView::stopFeeds()
{
    if (!m_running)
        return;
    m_trickleTimer.stop();
    m_running = false;
    for (const auto &stream : m_videoStreams) {
        if (stream)
            stream->stop();
    }
}

void MultiView::trickle(double delaySeconds)
{
    const int firstMs = static_cast<int>(std::lround((delaySeconds + 2.0) * 1000));
    if (m_trickleTimer.isActive()) {
        m_trickleTimer.start(firstMs);
        return;
    }
    if (m_running) {
        for (const auto &stream : m_videoStreams) {
            if (stream)
                stream->stop();
        }
    }
    m_running = true;
    m_trickleTimer.start(firstMs);
}

void MultiView::trickleTimerHandler()
{
    for (int k = 0; k < Feeds; ++k) {
        if (const auto &stream = m_videoStreams[static_cast<size_t>(k)])
            stream->getSingleFrame(k);
    }
    m_trickleTimer.start(TricklePeriodMs);
}

bool MultiView::allFeedsFailing() const
{
    bool any = false;
    for (int k = 0; k < Feeds; ++k) {
        if (m_slots[static_cast<size_t>(k)].container->isHidden())
            continue;
        any = true;
        const auto &stream = m_videoStreams[static_cast<size_t>(k)];
        if (stream && !isCameraFailing(stream->state()))
            return false;
    }
    return any;
}

int MultiView::feedNumberForLocation(QPointF location) const
{
    for (int k = 0; k < Feeds; ++k) {
        if (QRectF(m_slots[static_cast<size_t>(k)].container->geometry()).contains(location))
            return k;
    }
    return -1;
}

VideoView *MultiView::getViewForFeed(int feed) const
{
    return (feed >= 0 && feed < Feeds) ? m_slots[static_cast<size_t>(feed)].video : nullptr;
}

QWidget *MultiView::containerForFeed(int feed) const
{
    return (feed >= 0 && feed < Feeds) ? m_slots[static_cast<size_t>(feed)].container : nullptr;
}

void MultiView::markFeed(int feed, bool selected, bool animated)
{
    VideoView *video = getViewForFeed(feed);
    if (!video)
        return;
    auto *effect = qobject_cast<QGraphicsOpacityEffect *>(video->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(video);
        effect->setOpacity(1.0);
        video->setGraphicsEffect(effect);
    }
    // An unmarked tile is painted without the effect: each picture would otherwise go
    // through it, and in a scaled window Qt places an effect's full-opacity source wrongly.
    const double target = selected ? 0.25 : 1.0;
    if (!animated) {
        if (selected)
            effect->setOpacity(target);
        else
            video->setGraphicsEffect(nullptr);
        return;
    }
    auto *animation = new QPropertyAnimation(effect, "opacity", effect);
    animation->setDuration(250);
    animation->setEndValue(target);
    if (!selected) {
        // Later, out of the animation's own signal (the effect owns the animation), and
        // only if no new mark has come meanwhile.
        connect(
            animation, &QAbstractAnimation::finished, video,
            [video] {
                const auto *shown = qobject_cast<QGraphicsOpacityEffect *>(video->graphicsEffect());
                if (shown && shown->opacity() >= 1.0)
                    video->setGraphicsEffect(nullptr);
            },
            Qt::QueuedConnection);
    }
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void MultiView::setFocusedFeed(int feed)
{
    m_focusedFeed = (feed >= 0 && feed < Feeds) ? feed : -1;
    if (m_focusedFeed < 0) {
        m_focusRing->hide();
        return;
    }
    m_focusRing->setGeometry(m_slots[static_cast<size_t>(m_focusedFeed)].container->geometry().adjusted(-1, -1, 1, 1));
    m_focusRing->show();
    m_focusRing->raise();
}
