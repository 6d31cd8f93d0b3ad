#include "app/VyoAppDelegate.h"

#include "app/MainWindow.h"
#include "app/OpenURLHandler.h"
#include "app/PageCurl.h"
#include "app/SettingsViewController.h"
#include "config/AppInfo.h"
#include "config/DefaultSettings.h"
#include "config/GroupStore.h"
#include "config/LiveCameraList.h"
#include "config/PinHash.h"
#include "discovery/BonjourHandler.h"
#include "discovery/DetectedCameras.h"
#include "ui/kit/Alert.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TableView.h"
#include "ui/settings/GroupChooserView.h"
#include "ui/settings/GroupListView.h"
#include "ui/live/MultiPageScrollerView.h"
#include "ui/live/PageTour.h"
#include "ui/live/SingleView.h"
#include "ui/live/VideoView.h"
#include "platform/AvahiBrowser.h"
#include "platform/CertificatePin.h"
#include "platform/Clock.h"
#include "platform/Preferences.h"
#include "video/CodecDecoder.h"
#include "ui/settings/KeyboardFixer.h"
#include "ui/settings/RegistrationView.h"
#include "sharing/RegistrationHandler.h"
#include "util/WorkerThread.h"
#include "video/FrameCache.h"

#include <QPropertyAnimation>
#include <QTimer>

namespace {

// The platform's default animation length, used by the zooms.
constexpr int DefaultAnimationMs = 300;
// How long an ad-hoc camera's picture waits, shrunk to a point, before it grows.
constexpr int AdhocDelayMs = 100;

} // namespace

VyoAppDelegate::VyoAppDelegate(MainWindow &window, Preferences &preferences, QString documentsDir, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_preferences(preferences)
    , m_documentsDir(std::move(documentsDir))
{
    connect(&m_window, &MainWindow::becameIdle, this, &VyoAppDelegate::becameIdle);
    connect(&m_window, &MainWindow::becameActive, this, &VyoAppDelegate::becameActive);
}

VyoAppDelegate::~VyoAppDelegate()
{
    m_bonjourMan.reset();
    m_onvifDiscoverer.reset();
    // The views own readers whose sessions live on the worker thread. They go while
    // that thread still runs, so each session is deleted there, with its timers,
    // when the thread finishes.
    delete m_singleView;
    delete m_multiView;
    delete m_navigationController;
    m_videoThread.reset();
}

QThread *VyoAppDelegate::videoThread() const
{
    return m_videoThread.get();
}

Clock &VyoAppDelegate::clock() const
{
    return Clock::system();
}

void VyoAppDelegate::applicationDidFinishLaunching()
{
    DefaultSettings::initializeDefaultSettings(m_preferences);
    // Streams opened from now on follow the Debug settings' switch.
    CodecDecoder::setHardwareAllowed(m_preferences.hardwareDecoding());
    connect(&m_preferences, &Preferences::changed, this, [this](Preferences::Key key) {
        if (key == Preferences::Key::HardwareDecoding)
            CodecDecoder::setHardwareAllowed(m_preferences.hardwareDecoding());
    });
    m_keyboardFixer = std::make_unique<KeyboardFixer>();
    m_imageCache = std::make_shared<FrameCache>(36);
    m_videoThread = std::make_unique<WorkerThread>(0.4);
    m_videoThread->start();
    // One sender for the whole run, so that a send outlives the form that started it.
    m_registrationHandler = std::make_unique<RegistrationHandler>(m_preferences);

    m_store = std::make_unique<GroupStore>(m_preferences, m_documentsDir);
    m_store->start();
    m_liveCameras = std::make_unique<LiveCameraList>(*m_store, m_preferences);
    connect(m_liveCameras.get(), &LiveCameraList::changed, this, &VyoAppDelegate::liveCamerasChanged);

    m_settingController = new SettingsViewController(*this, *m_store, m_preferences);
    m_navigationController = new NavigationController(m_settingController, m_window.stage());
    m_navigationController->setGeometry(QRect(QPoint(0, 0), MainWindow::Portrait));
    m_navigationController->hide();

    const QRect landscape(QPoint(0, 0), MainWindow::Landscape);
    m_singleView = new SingleView(*this, landscape, m_window.stage());
    m_singleView->hide();
    m_multiView = new MultiPageScrollerView(*this, *m_singleView, landscape, m_window.stage());
    m_multiView->hide();

    m_bonjourMan = BonjourHandler::create(this, std::make_unique<AvahiBrowser>());
    m_onvifDiscoverer = std::make_unique<OnvifDiscoverer>(m_onvifOptions, Clock::system());
    connect(m_onvifDiscoverer.get(), &OnvifDiscoverer::changed, this, &VyoAppDelegate::bonjourListChanged);
    if (!m_onvifDiscoverer->start())
        m_onvifDiscoverer.reset();

    updateCameraList(true);
    // Without a registration address there is nowhere to send the form, which
    // would only stand between a new user and the cameras; nor does a wall panel ask.
    if (m_kiosk || m_preferences.registrationShown() || AppInfo::value(AppInfo::RegURL).isEmpty()) {
        switchToView(View::Multi);
        m_registrationHandler->checkAndSendRegForm();
    } else {
        // First run opens on the registration form, which only saving leaves.
        m_navigationController->pushViewController(new RegistrationView(*this, m_preferences), false);
        switchToView(View::Settings);
    }
    const QString keptCopy = m_store->unreadableCopyPath();
    if (!keptCopy.isEmpty()) {
        Alert::inform(tr("Camera Groups"),
                      tr("Your camera groups could not be read. A copy was kept as %1.").arg(keptCopy),
                      m_window.stage());
    }
}

void VyoAppDelegate::applicationWillTerminate()
{
    if (m_terminated)
        return;
    m_terminated = true;
    if (m_store)
        m_store->persistBulkData();
}

QWidget *VyoAppDelegate::widgetFor(View view) const
{
    switch (view) {
    case View::Settings:
        return m_navigationController;
    case View::Multi:
        return m_multiView;
    case View::Single:
        return m_singleView;
    }
    return nullptr;
}

void VyoAppDelegate::place(View view)
{
    // Taking a view out of the window and putting another in, with the live
    // views told so that they stop or start their readers.
    if (m_hasContent && m_current != view) {
        QWidget *old = widgetFor(m_current);
        old->hide();
        if (m_current == View::Multi)
            m_multiView->willMoveToWindow(false);
        else if (m_current == View::Single)
            m_singleView->willMoveToWindow(false);
        else
            m_navigationController->topViewController()->viewWillDisappear(false);
    }
    if (view != View::Settings)
        m_settingsUnlocked = false;
    m_window.setPortrait(view == View::Settings);
    QWidget *next = widgetFor(view);
    next->show();
    next->raise();
    if (view == View::Multi)
        m_multiView->willMoveToWindow(true);
    else if (view == View::Single)
        m_singleView->willMoveToWindow(true);
    else
        m_navigationController->topViewController()->viewWillAppear(false);
    m_current = view;
    m_hasContent = true;
    next->setFocus();
}

void VyoAppDelegate::switchToView(View view)
{
    // A request made while the views are changing (a tap, a link arriving) is
    // carried out when the change ends rather than lost; the latest one wins.
    if (m_transitioning) {
        m_pendingView = view;
        return;
    }
    if (m_hasContent && m_current == view)
        return;
    if (view == View::Settings && settingsLocked()) {
        askForPin();
        return;
    }
    const View top = m_current;
    if (m_hasContent && top == View::Settings && view == View::Multi) {
        updateCameraList(true);
        curl(top, view);
    } else if (m_hasContent && top == View::Multi && view == View::Settings) {
        curl(top, view);
    } else if (m_hasContent && top == View::Single && view == View::Multi) {
        zoomOut();
    } else {
        place(view);
        if (view == View::Single)
            zoomIn();
    }
    applyPolicy(view);
    emit viewSwitched(view);
}

bool VyoAppDelegate::settingsLocked() const
{
    return m_kiosk && m_hasContent && !m_settingsUnlocked && !m_preferences.settingsPinHash().isEmpty();
}

void VyoAppDelegate::askForPin()
{
    if (m_pinPad)
        return;
    m_pinPad = new PinPad(tr("Settings PIN"), m_window.stage());
    m_pinPad->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_pinPad, &PinPad::entered, this, [this](const QString &pin) {
        if (!PinHash::matches(pin, m_preferences.settingsPinHash())) {
            m_pinPad->refuse(tr("Wrong PIN"));
            return;
        }
        m_settingsUnlocked = true;
        m_pinPad->close();
        switchToView(View::Settings);
    });
    m_pinPad->showOver(m_window.stage());
}

void VyoAppDelegate::returnToGrid()
{
    if (m_current == View::Single)
        switchToView(View::Multi);
}

void VyoAppDelegate::applyPolicy(View view)
{
    m_idleTimerDisabled = view != View::Settings;
    m_idleTimer.setDisabled(m_idleTimerDisabled);
}

QPixmap VyoAppDelegate::pageOf(View view) const
{
    // At the pixels the window shows it with, so that the page is as sharp while it curls.
    QWidget *page = widgetFor(view);
    const qreal ratio = m_window.stageScale() * m_window.devicePixelRatioF();
    QPixmap pixmap((QSizeF(page->size()) * ratio).toSize());
    pixmap.setDevicePixelRatio(ratio);
    page->render(&pixmap);
    return pixmap;
}

void VyoAppDelegate::curl(View from, View to)
{
    const QPixmap before = pageOf(from);
    place(to);
    const QPixmap after = pageOf(to);
    // Up peels the live view off the settings; down lays it back over them.
    auto *transition = to == View::Settings ? new PageCurl(m_window.stage(), after, before, PageCurl::Direction::Up)
                                            : new PageCurl(m_window.stage(), before, after, PageCurl::Direction::Down);
    m_transitioning = true;
    connect(transition, &PageCurl::finished, this, [this, transition] {
        transition->deleteLater();
        transitionEnded();
    });
    transition->start();
}

void VyoAppDelegate::transitionEnded()
{
    m_transitioning = false;
    if (const std::optional<View> pending = std::exchange(m_pendingView, std::nullopt))
        switchToView(*pending);
}

void VyoAppDelegate::zoomIn()
{
    // The multi view has laid the video over the tapped thumbnail; it grows to fill the screen.
    m_singleView->setAcceptingTouches(false);
    VideoView *video = m_singleView->videoView();
    auto *animation = new QPropertyAnimation(video, "geometry", this);
    animation->setDuration(DefaultAnimationMs);
    animation->setEndValue(m_singleView->rect());
    m_transitioning = true;
    connect(animation, &QAbstractAnimation::finished, this, [this] {
        m_singleView->finishedAnimatingIn();
        transitionEnded();
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void VyoAppDelegate::zoomOut()
{
    // The multi view goes in beneath; the picture shrinks back onto its thumbnail.
    m_multiView->show();
    m_multiView->willMoveToWindow(true);
    m_multiView->stackUnder(m_singleView);
    const QRectF target = m_multiView->rectForCamera(m_singleView->currentCamera());
    m_singleView->moveToolbarOut(false, 0);
    VideoView *video = m_singleView->videoView();
    auto *animation = new QPropertyAnimation(video, "geometry", this);
    animation->setDuration(DefaultAnimationMs);
    animation->setEndValue(
        QRect(video->parentWidget()->mapFrom(m_window.stage(), target.topLeft().toPoint()), target.size().toSize()));
    m_transitioning = true;
    connect(animation, &QAbstractAnimation::finished, this, [this] {
        m_singleView->finishedAnimatingOut();
        m_current = View::Multi;
        m_multiView->setFocus();
        transitionEnded();
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void VyoAppDelegate::updateCameraList(bool resetCurrentPage)
{
    m_multiView->setCameraList(m_liveCameras->cameras(), m_liveCameras->title(), resetCurrentPage);
    m_multiView->tour()->setIntervalSeconds(m_liveCameras->tourSeconds());
}

void VyoAppDelegate::liveCamerasChanged(bool resetCurrentPage)
{
    // The settings hand the grid a fresh list, from its first page, when they curl away.
    if (m_hasContent && m_current != View::Settings)
        updateCameraList(resetCurrentPage);
}

void VyoAppDelegate::cycleToNextGroup()
{
    m_store->selectNextGroup();
}

Value VyoAppDelegate::trustCertificate(const Value &camera, const QString &fingerprint)
{
    const Value stored = m_store->trustCertificate(camera, fingerprint);
    // A detected or linked camera is in no group: it is trusted until the viewer ends.
    return stored.isNull() ? CertificatePin::trusting(camera, fingerprint) : stored;
}

void VyoAppDelegate::bonjourListChanged()
{
    m_settingController->tableView()->reloadData();
    // ONVIF devices join the grid once their stream is known.
    m_liveCameras->setDetectedCameras(DetectedCameras::playable(getDetectedCameras()));
}

QList<Value> VyoAppDelegate::getDetectedCameras() const
{
    return DetectedCameras::merge(m_bonjourMan ? m_bonjourMan->detectedCameras() : QList<Value>(),
                                  m_onvifDiscoverer ? m_onvifDiscoverer->detectedCameras() : QList<Value>());
}

void VyoAppDelegate::detectCameras()
{
    if (m_onvifDiscoverer)
        m_onvifDiscoverer->probe();
}

bool VyoAppDelegate::application(const QUrl &url)
{
    // The handler lives on while its sheet is up and then removes itself.
    auto *handler = new OpenURLHandler(*this, this);
    if (handler->application(url))
        return true;
    delete handler;
    return false;
}

QWidget *VyoAppDelegate::linkWindow()
{
    return m_window.stage();
}

void VyoAppDelegate::showInSettings(ViewController *screen)
{
    m_navigationController->popToRootViewController(false);
    m_navigationController->pushViewController(screen, false);
    switchToView(View::Settings);
}

void VyoAppDelegate::chooseGroupForCamera(const Value &camera)
{
    auto *chooser = new GroupChooserView(*m_store, m_settingController->groupListController());
    chooser->setCurrentCamera(camera);
    showInSettings(chooser);
}

void VyoAppDelegate::chooseGroupToMerge(const Value &group)
{
    auto *chooser = new GroupChooserView(*m_store, m_settingController->groupListController());
    chooser->setNewGroup(group);
    showInSettings(chooser);
}

void VyoAppDelegate::addGroupAndEdit(const Value &group)
{
    GroupListView &groupList = m_settingController->groupListController();
    showInSettings(&groupList);
    groupList.showGroupDetail(m_store->addGroup(group));
}

void VyoAppDelegate::showAdhocCamera(const Value &camera)
{
    // The picture grows from a point in the middle of the screen; the grid takes
    // no touches meanwhile.
    m_singleView->videoView()->setGeometry(QRect(m_singleView->rect().center() - QPoint(1, 1), QSize(2, 2)));
    m_multiView->setEnabled(false);
    QTimer::singleShot(AdhocDelayMs, this, [this, camera] {
        m_singleView->setCamera(camera);
        switchToView(View::Single);
        m_multiView->setEnabled(true);
    });
}

void VyoAppDelegate::becameIdle()
{
    m_multiView->becameIdle();
    m_singleView->becameIdle();
}

void VyoAppDelegate::becameActive()
{
    m_multiView->becameActive();
    m_singleView->becameActive();
}
