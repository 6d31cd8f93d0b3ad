#include "ui/live/SingleView.h"
#include "ui/kit/Theme.h"

#include "ui/live/LiveViewHost.h"
#include "ui/live/PTZGestureView.h"
#include "ui/live/PresetsMenu.h"
#include "ui/live/SnapshotNotice.h"
#include "ui/live/VideoView.h"
#include "ui/kit/ActivitySpinner.h"
#include "platform/AtomicFile.h"
#include "platform/CertificatePin.h"
#include "platform/Clock.h"
#include "ptz/PTZControlFactory.h"
#include "ptz/PTZController.h"
#include "util/QelLog.h"
#include "video/FrameCache.h"
#include "video/FrameDecoder.h"
#include "video/FrameProducer.h"
#include "video/VideoStreamFactory.h"

#include <QApplication>
#include <QBuffer>
#include <QButtonGroup>
#include <QDateTime>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPointer>
#include <QPropertyAnimation>
#include <QSoundEffect>
#include <QStandardPaths>
#include <QThreadPool>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace {

// A toolbar button's width: at least minimum, and room for its text in any language
// within the style sheet's 10-pixel padding and 1-pixel border.
int fittedWidth(QToolButton *button, int minimum)
{
    button->ensurePolished();
    return std::max(minimum, button->fontMetrics().horizontalAdvance(button->text()) + 22);
}

} // namespace

SingleView::SingleView(LiveViewHost &host, const QRect &frame, QWidget *parent)
    : QWidget(parent)
    , m_host(host)
{
    setGeometry(frame);
    Theme::fillBlack(this);
    setFocusPolicy(Qt::StrongFocus);
    const int w = frame.width();

    m_gestureView = new PTZGestureView(this, host.clock());
    m_gestureView->setGeometry(rect());
    m_gestureView->setTapDelegate(this);
    m_videoView = new VideoView(host.preferences(), host.clock(), m_gestureView);
    m_videoView->setGeometry(m_gestureView->rect());
    m_videoView->setAttribute(Qt::WA_TransparentForMouseEvents);
    const QPixmap joystick(QStringLiteral(":/images/joystick_large.png"));
    m_ptzIndicator = new QLabel(m_gestureView);
    m_ptzIndicator->setPixmap(joystick);
    m_ptzIndicator->setGeometry(m_gestureView->width() - joystick.width(), m_gestureView->height() - joystick.height(),
                                joystick.width(), joystick.height());
    m_ptzIndicator->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_ptzIndicator->hide();
    m_gestureView->setControlTouchEnabled(false);
    connect(m_videoView, &VideoView::pictureRectChanged, this, &SingleView::pictureMoved);
    connect(m_gestureView, &PTZGestureView::zoomRequested, m_videoView, &VideoView::zoomBy);
    connect(m_gestureView, &PTZGestureView::panRequested, m_videoView, &VideoView::panBy);
    connect(m_gestureView, &PTZGestureView::zoomResetRequested, m_videoView, &VideoView::resetZoom);
    connect(m_videoView, &VideoView::zoomChanged, m_gestureView, [this](qreal scale) {
        m_gestureView->setZoomed(scale > 1);
    });

    m_toolbar = new QWidget(this);
    m_toolbar->setObjectName(QStringLiteral("singleToolbar"));
    m_toolbar->setAttribute(Qt::WA_StyledBackground);
    m_toolbar->setGeometry(0, 0, w, ToolbarHeight);
    m_toolbar->setStyleSheet(QStringLiteral(
        "#singleToolbar { background: rgba(0, 0, 0, 150); border-bottom: 1px solid rgba(255, 255, 255, 40); }"
        "QToolButton { color: white; font-weight: bold; font-size: 14px; border: 1px solid rgba(255,255,255,90);"
        " border-radius: 6px; background: rgba(255,255,255,30); padding: 4px 10px; }"
        "QToolButton:pressed, QToolButton:checked { background: rgba(255,255,255,80); }"
        "QToolButton:disabled { color: rgba(255,255,255,90); border-color: rgba(255,255,255,40); }"));
    m_doneButton = new QToolButton(m_toolbar);
    m_doneButton->setText(tr("Done"));
    m_doneButton->setFocusPolicy(Qt::NoFocus);
    m_doneButton->setGeometry(6, 7, fittedWidth(m_doneButton, 64), 31);
    connect(m_doneButton, &QToolButton::clicked, this, &SingleView::doneButtonClicked);
    m_title = new QLabel(m_toolbar);
    m_title->setAlignment(Qt::AlignCenter);
    QFont bold = m_title->font();
    bold.setPixelSize(18);
    bold.setBold(true);
    m_title->setFont(bold);
    m_title->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    const auto toolButton = [this](const QString &icon, const QString &tip, int x) {
        auto *button = new QToolButton(m_toolbar);
        button->setFocusPolicy(Qt::NoFocus);
        button->setIcon(QIcon(icon));
        button->setIconSize(QSize(26, 20));
        button->setToolTip(tip);
        button->setGeometry(x, 7, 50, 31);
        return button;
    };
    m_cameraButton = toolButton(QStringLiteral(":/images/camera_button.png"), tr("Save a snapshot"), w - 56);
    connect(m_cameraButton, &QToolButton::clicked, this, &SingleView::cameraButtonClicked);
    m_presetsButton = toolButton(QStringLiteral(":/images/presets_button.png"), tr("Presets"), w - 112);
    m_presetsButton->hide();
    m_presetsMenu = new PresetsMenu(this);
    connect(m_presetsButton, &QToolButton::clicked, m_presetsMenu, &PresetsMenu::show);
    connect(m_presetsMenu, &PresetsMenu::availabilityChanged, this, &SingleView::showPresetsButton);
    m_modeSwitch = new QWidget(m_toolbar);
    auto *modes = new QButtonGroup(m_modeSwitch);
    m_steerButton = new QToolButton(m_modeSwitch);
    m_steerButton->setText(tr("Steer"));
    m_zoomButton = new QToolButton(m_modeSwitch);
    m_zoomButton->setText(tr("Zoom"));
    int buttonWidth = 0;
    for (QToolButton *button : { m_steerButton, m_zoomButton }) {
        button->setCheckable(true);
        button->setFocusPolicy(Qt::NoFocus);
        buttonWidth = std::max(buttonWidth, fittedWidth(button, 70));
        modes->addButton(button);
    }
    m_steerButton->setGeometry(0, 0, buttonWidth, 31);
    m_zoomButton->setGeometry(buttonWidth, 0, buttonWidth, 31);
    m_modeSwitch->resize(2 * buttonWidth, 31);
    m_steerButton->setChecked(true);
    m_modeSwitch->hide();
    connect(modes, &QButtonGroup::buttonClicked, this, [this] {
        applyGestureMode();
        m_ptzIndicator->setVisible(!m_gestureView->digitalZoom());
    });
    m_notice = new SnapshotNotice(this);

    constexpr int TrustBarHeight = 76;
    m_trustBar = new QWidget(this);
    m_trustBar->setObjectName(QStringLiteral("trustBar"));
    m_trustBar->setAttribute(Qt::WA_StyledBackground);
    m_trustBar->setGeometry(0, frame.height() - TrustBarHeight, w, TrustBarHeight);
    m_trustBar->setStyleSheet(m_toolbar->styleSheet().replace(QLatin1StringView("#singleToolbar"),
                                                              QLatin1StringView("#trustBar")));
    m_fingerprint = new QLabel(m_trustBar);
    m_fingerprint->setGeometry(6, 2, w - 12, 34);
    m_fingerprint->setAlignment(Qt::AlignCenter);
    m_fingerprint->setWordWrap(true);
    m_fingerprint->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_fingerprint->setStyleSheet(QStringLiteral("color: white; background: transparent; font-size: 11px;"));
    auto *trust = new QToolButton(m_trustBar);
    trust->setText(tr("Trust This Camera"));
    trust->setGeometry((w - 180) / 2, 40, 180, 31);
    connect(trust, &QToolButton::clicked, this, &SingleView::trustButtonClicked);
    m_trustBar->hide();
    applyGestureMode();
}

void SingleView::showTrustBar(bool shown)
{
    const QString presented = m_vidStream ? m_vidStream->presentedCertificate() : QString();
    shown = shown && !presented.isEmpty();
    if (shown)
        m_fingerprint->setText(QStringLiteral("SHA-256 %1").arg(CertificatePin::displayed(presented)));
    m_trustBar->setVisible(shown);
    if (shown)
        m_trustBar->raise();
}

void SingleView::showPresetsButton(bool shown)
{
    m_presetsButton->setVisible(shown);
    placeToolbarItems();
}

void SingleView::trustButtonClicked()
{
    if (!m_vidStream || m_vidStream->presentedCertificate().isEmpty())
        return;
    const Value trusted = m_host.trustCertificate(m_currentCamera, m_vidStream->presentedCertificate());
    if (trusted.isNull())
        return;
    m_trustBar->hide();
    setCamera(trusted);
    if (m_inWindow && m_vidStream)
        m_vidStream->start();
}

SingleView::~SingleView()
{
    if (m_vidStream)
        m_vidStream->stop();
}

void SingleView::setCamera(const Value &camera)
{
    m_currentCamera = camera;
    m_title->setText(camera.value(QStringLiteral("title")).toString());
    if (m_vidStream)
        m_vidStream->stop();
    const Value params = camera.value(QStringLiteral("video.parameters"));
    m_vidStream = VideoStreamFactory::createStream(params, false, m_host.videoThread());
    m_videoView->showState(CameraState::Idle);
    m_trustBar->hide();
    if (m_vidStream) {
        connect(m_vidStream.get(), &FrameProducer::stateChanged, m_videoView, &VideoView::showState);
        connect(m_vidStream.get(), &FrameProducer::stateChanged, this, [this](CameraState state) {
            showTrustBar(state == CameraState::UntrustedCertificate || state == CameraState::CertificateChanged);
        });
        m_vidStream->addConsumer(m_videoView->frameConsumer());
        m_vidStream->addConsumer(m_host.imageCache());
    }
    const std::optional<CachedFrame> cached = m_host.imageCache()->cachedFrameForSource(params);
    if (cached)
        m_videoView->setInitialFrame(cached->image(), cached->timeStamp());
    else
        m_videoView->setInitialFrame(QImage(), Clock::DistantPast);
    m_gestureView->setPtInterface(PTZControlFactory::createControllerWithParameters(camera));
    m_presetsMenu->setController(m_gestureView->ptInterface());
    m_steerButton->setChecked(true);
    m_videoView->resetZoom();
    applyGestureMode();
}

void SingleView::applyGestureMode()
{
    const bool ptz = m_gestureView->ptInterface() != nullptr;
    const bool zoom = !ptz || m_zoomButton->isChecked();
    m_gestureView->setDigitalZoom(zoom);
    if (!zoom)
        m_videoView->resetZoom();
    m_modeSwitch->setVisible(ptz);
    placeToolbarItems();
}

void SingleView::placeToolbarItems()
{
    int right = m_cameraButton->x() - 6;
    if (!m_presetsButton->isHidden()) {
        m_presetsButton->move(right - m_presetsButton->width(), m_presetsButton->y());
        right = m_presetsButton->x() - 6;
    }
    // Centred between Done and the buttons on the right, or beside Done when the switch takes the room.
    const int left = m_doneButton->geometry().right() + 7;
    if (!m_modeSwitch->isHidden()) {
        m_modeSwitch->move(right - m_modeSwitch->width(), 7);
        m_title->setGeometry(left, 2, m_modeSwitch->x() - 6 - left, 40);
        return;
    }
    const int margin = std::max({ 60, left, width() - right });
    m_title->setGeometry(margin, 2, width() - 2 * margin, 40);
}

void SingleView::pictureMoved(const QRectF &picture)
{
    // Steering strokes reach the edges of the picture, not of the bars beside it, and
    // the joystick sits in its corner. The video view fills the gesture view whenever
    // steering is on, so their coordinates agree.
    m_gestureView->setPictureBounds(picture);
    const QPoint corner = picture.toAlignedRect().bottomRight() + QPoint(1, 1);
    m_ptzIndicator->move(corner - QPoint(m_ptzIndicator->width(), m_ptzIndicator->height()));
}

void SingleView::willMoveToWindow(bool entering)
{
    m_inWindow = entering;
    if (entering) {
        if (m_vidStream)
            m_vidStream->start();
        if (ActivitySpinner *spinner = m_videoView->spinner())
            spinner->hide();
        return;
    }
    if (m_vidStream) {
        m_vidStream->stop();
        m_vidStream->removeConsumer(m_videoView->frameConsumer());
        m_vidStream->removeConsumer(m_host.imageCache());
        m_vidStream.reset();
    }
    m_presetsMenu->setController(nullptr);
    m_gestureView->setPtInterface(nullptr);
    m_ptzIndicator->hide();
    m_videoView->resetZoom();
}

void SingleView::finishedAnimatingIn()
{
    m_ptzIndicator->setVisible(m_gestureView->ptInterface() != nullptr && !m_gestureView->digitalZoom());
    if (ActivitySpinner *spinner = m_videoView->spinner()) {
        spinner->move(m_videoView->rect().center() - spinner->rect().center());
        spinner->show();
    }
    moveToolbarOut(true, ToolbarDelayMs);
}

void SingleView::finishedAnimatingOut()
{
    // Leaving the window stops the reader and lets the controller go.
    hide();
    willMoveToWindow(false);
    moveToolbarIn(false, 0);
}

void SingleView::setAcceptingTouches(bool accept)
{
    // Input that arrives while the view is busy falls through to nothing.
    m_acceptTouches = accept;
    m_gestureView->setAttribute(Qt::WA_TransparentForMouseEvents, !accept);
    m_toolbar->setAttribute(Qt::WA_TransparentForMouseEvents, !accept);
}

bool SingleView::isToolbarShown() const
{
    return m_toolbar->isVisible() && m_toolbar->y() > -ToolbarHeight;
}

void SingleView::moveToolbarOut(bool animated, int delayMs)
{
    const QPoint target(0, -ToolbarHeight);
    if (!animated) {
        m_toolbar->move(target);
        m_gestureView->setControlTouchEnabled(true);
        return;
    }
    setAcceptingTouches(false);
    auto *animation = new QPropertyAnimation(m_toolbar, "pos", this);
    animation->setDuration(250);
    animation->setEndValue(target);
    connect(animation, &QAbstractAnimation::finished, this, &SingleView::finishedAnimatingToolbarOut);
    QTimer::singleShot(delayMs, animation, [animation] { animation->start(QAbstractAnimation::DeleteWhenStopped); });
}

void SingleView::finishedAnimatingToolbarOut()
{
    m_toolbar->hide();
    setAcceptingTouches(true);
    m_gestureView->setControlTouchEnabled(true);
}

void SingleView::moveToolbarIn(bool animated, int delayMs)
{
    m_gestureView->setControlTouchEnabled(false);
    m_toolbar->show();
    m_toolbar->raise();
    const QPoint target(0, 0);
    if (!animated) {
        m_toolbar->move(target);
        return;
    }
    auto *animation = new QPropertyAnimation(m_toolbar, "pos", this);
    animation->setDuration(250);
    animation->setEndValue(target);
    QTimer::singleShot(delayMs, animation, [animation] { animation->start(QAbstractAnimation::DeleteWhenStopped); });
}

void SingleView::handleTap()
{
    if (!m_acceptTouches)
        return;
    if (m_toolbar->isVisible())
        moveToolbarOut(true, 0);
    else
        moveToolbarIn(true, 0);
}

void SingleView::doneButtonClicked()
{
    setAcceptingTouches(false);
    m_host.switchToView(LiveViewHost::View::Multi);
}

QString SingleView::snapshotDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::PicturesLocation) + QStringLiteral("/Vyo");
}

QImage SingleView::shownPart(const QImage &image, const QRectF &part)
{
    if (part == QRectF(0, 0, 1, 1))
        return image;
    const QRectF pixels(part.x() * image.width(), part.y() * image.height(), part.width() * image.width(),
                        part.height() * image.height());
    return image.copy(pixels.toAlignedRect().intersected(image.rect()));
}

QImage SingleView::watermarkImage(const QImage &image, const QString &title)
{
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    const QString text = tr("Captured by Vyo: %1 - %2")
                             .arg(title, locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ')
                                                       + locale.toString(now.time(), QStringLiteral("h:mm:ss AP")));
    const int w = image.width();
    const int h = image.height();
    QImage out(image.size(), QImage::Format_RGB32);
    QPainter p(&out);
    p.drawImage(QRect(0, 0, w, h), image);
    p.setOpacity(0.5);
    QFont font = p.font();
    font.setPixelSize(12);
    // Shrinks down to 8 points to fit the line, then cuts at a character.
    const int maxWidth = std::max(0, w - 8);
    QString line = text;
    for (int size = 12; size >= 8; --size) {
        font.setPixelSize(size);
        if (QFontMetrics(font).horizontalAdvance(text) <= maxWidth || size == 8)
            break;
    }
    const QFontMetrics metrics(font);
    while (!line.isEmpty() && metrics.horizontalAdvance(line) > maxWidth)
        line.chop(1);
    p.setFont(font);
    const int top = h - 12 - 7;
    p.setPen(Qt::black);
    p.drawText(QRect(4, top, maxWidth, metrics.height()), Qt::AlignLeft | Qt::AlignTop, line);
    p.setPen(Qt::white);
    p.drawText(QRect(4, top + 1, maxWidth, metrics.height()), Qt::AlignLeft | Qt::AlignTop, line);
    return out;
}

void SingleView::cameraButtonClicked()
{
    m_cameraButton->setEnabled(false);
    setAcceptingTouches(false);
    // The view may show a picture decoded small; the snapshot is the newest picture
    // received, decoded at full size.
    const QByteArray newest = m_vidStream ? m_vidStream->newestPart() : QByteArray();
    const QImage shown = m_videoView->image();
    const QRectF part = m_videoView->zoom().visiblePart();
    const QString title = m_title->text();
    const QString dir = snapshotDirectory();
    const QString path = dir + QStringLiteral("/Vyo ")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH.mm.ss.zzz")) + QStringLiteral(".jpg");
    // Decoding, encoding and writing happen off the main thread; the view is told when done.
    QPointer<SingleView> self(this);
    QThreadPool::globalInstance()->start([self, newest, shown, part, title, dir, path] {
        QImage picture = newest.isEmpty() ? QImage() : FrameDecoder().decode(newest);
        if (picture.isNull())
            picture = shown;
        // What is shown of a zoomed picture, cut from the full frame, and the caption.
        const QImage captioned = picture.isNull() ? QImage() : watermarkImage(shownPart(picture, part), title);
        QString error;
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        if (captioned.isNull() || !captioned.save(&buffer, "JPEG", 90))
            error = NoPicture;
        else if (!QDir().mkpath(dir) || !AtomicFile::write(path, jpeg, &error))
            error = error.isEmpty() ? tr("cannot create %1").arg(dir) : error;
        QMetaObject::invokeMethod(
            qApp, [self, path, error] {
                if (self)
                    self->imageSaved(path, error);
            },
            Qt::QueuedConnection);
    });
    if (!m_shutterSound) {
        m_shutterSound = new QSoundEffect(this);
        // Without an audio device the snapshot is still saved; the sound is only logged as missing.
        connect(m_shutterSound, &QSoundEffect::statusChanged, this, [this] {
            if (m_shutterSound->status() == QSoundEffect::Error)
                QEL_LOG(LogLevel::Debug, QStringLiteral("The shutter sound cannot be played"));
        });
        m_shutterSound->setSource(QUrl(QStringLiteral("qrc:/sounds/shutter.wav")));
    }
    m_shutterSound->play();
    m_notice->flash();
}

void SingleView::imageSaved(const QString &path, const QString &error)
{
    m_cameraButton->setEnabled(true);
    setAcceptingTouches(true);
    if (!error.isEmpty())
        QEL_LOG(LogLevel::Error, QStringLiteral("error saving picture: '%1'").arg(error));
    if (error.isEmpty())
        m_notice->showCaption(tr("Saved to Pictures/Vyo"));
    else if (error == NoPicture)
        m_notice->showCaption(tr("No picture to save"));
    else
        m_notice->showCaption(tr("Not saved: %1").arg(error));
    emit snapshotSaved(path, error.isEmpty());
}

void SingleView::becameIdle()
{
    if (m_inWindow && m_vidStream)
        m_vidStream->stop();
}

void SingleView::becameActive()
{
    if (m_inWindow && m_vidStream)
        m_vidStream->start();
}

void SingleView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && m_acceptTouches) {
        doneButtonClicked();
        return;
    }
    QWidget::keyPressEvent(event);
}
