#pragma once

#include "app/IdleTimer.h"
#include "app/LinkHost.h"
#include "discovery/BonjourDelegate.h"
#include "discovery/OnvifDiscoverer.h"
#include "ui/kit/PinPad.h"
#include "ui/live/LiveViewHost.h"
#include "config/Value.h"
#include "ui/settings/SettingsHost.h"

#include <QObject>
#include <QPointer>
#include <QUrl>

#include <memory>
#include <optional>

class BonjourHandler;
class FrameCache;
class GroupStore;
class KeyboardFixer;
class LiveCameraList;
class MainWindow;
class MultiPageScrollerView;
class NavigationController;
class Preferences;
class RegistrationHandler;
class SettingsViewController;
class SingleView;
class ViewController;
class WorkerThread;
class QPixmap;

// The application controller: builds the long-lived objects at launch (it owns
// the group store, which the screens and the live camera list observe) and opens
// on the live view or, on first run, on the registration form; switches the
// window between the settings, the multi view and the single view with their
// transitions, hands the live camera list to the multi view, cycles groups, and
// stores the groups when the application ends. Main thread only.
class VyoAppDelegate final : public QObject,
                             public LiveViewHost,
                             public SettingsHost,
                             public BonjourDelegate,
                             public LinkHost
{
    Q_OBJECT

public:
    VyoAppDelegate(MainWindow &window, Preferences &preferences, QString documentsDir, QObject *parent = nullptr);
    ~VyoAppDelegate() override;

    // Kiosk mode, set before launching: the first start opens on the grid, and the
    // settings open only with the settings PIN when one is set.
    void setKiosk(bool kiosk) { m_kiosk = kiosk; }
    bool isKiosk() const { return m_kiosk; }
    // Kiosk mode's idle spell: the single view gives way to the grid.
    void returnToGrid();
    // The PIN asked for before the settings open; none while not asking.
    PinPad *pinPad() const { return m_pinPad; }

    void applicationDidFinishLaunching();
    void applicationWillTerminate();

    void switchToView(View view) override;
    void cycleToNextGroup() override;
    Value trustCertificate(const Value &camera, const QString &fingerprint) override;
    void updateCameraList(bool resetCurrentPage);
    void bonjourListChanged() override;
    QList<Value> getDetectedCameras() const override;
    void detectCameras() override;
    // Where WS-Discovery looks, set before launching; loopback only unless told.
    void setOnvifDiscoveryOptions(const OnvifDiscoverer::Options &options) { m_onvifOptions = options; }
    // A received "vyo" link; false when it cannot be read (nothing is shown then,
    // or only the alert of a refused ad-hoc camera).
    bool application(const QUrl &url);

    QWidget *linkWindow() override;
    void chooseGroupForCamera(const Value &camera) override;
    void chooseGroupToMerge(const Value &group) override;
    void addGroupAndEdit(const Value &group) override;
    void showAdhocCamera(const Value &camera) override;

    std::shared_ptr<FrameCache> imageCache() const override { return m_imageCache; }
    QThread *videoThread() const override;
    const Preferences &preferences() const override { return m_preferences; }
    Clock &clock() const override;

    // Which view is the window's content at rest.
    View currentView() const { return m_current; }
    bool isTransitioning() const { return m_transitioning; }
    GroupStore &groupStore() const { return *m_store; }
    LiveCameraList &liveCameras() const { return *m_liveCameras; }
    MultiPageScrollerView *multiView() const { return m_multiView; }
    SingleView *singleView() const { return m_singleView; }
    NavigationController *navigationController() const { return m_navigationController; }
    SettingsViewController *settingController() const { return m_settingController; }
    KeyboardFixer *keyboardFixer() const override { return m_keyboardFixer.get(); }
    RegistrationHandler &registrationHandler() override { return *m_registrationHandler; }
    bool isIdleTimerDisabled() const { return m_idleTimerDisabled; }
    MainWindow &window() const { return m_window; }

signals:
    void viewSwitched(LiveViewHost::View view);

private:
    QWidget *widgetFor(View view) const;
    void place(View view);
    QPixmap pageOf(View view) const;
    void curl(View from, View to);
    void zoomIn();
    void zoomOut();
    void applyPolicy(View view);
    void transitionEnded();
    void becameIdle();
    void becameActive();
    void liveCamerasChanged(bool resetCurrentPage);
    // Whatever settings screen was open gives way to the screen a link leads to.
    void showInSettings(ViewController *screen);
    bool settingsLocked() const;
    void askForPin();

    MainWindow &m_window;
    Preferences &m_preferences;
    QString m_documentsDir;
    std::unique_ptr<KeyboardFixer> m_keyboardFixer;
    std::shared_ptr<FrameCache> m_imageCache;
    std::unique_ptr<WorkerThread> m_videoThread;
    std::unique_ptr<RegistrationHandler> m_registrationHandler;
    std::unique_ptr<GroupStore> m_store;
    std::unique_ptr<LiveCameraList> m_liveCameras;
    NavigationController *m_navigationController = nullptr;
    SettingsViewController *m_settingController = nullptr;
    SingleView *m_singleView = nullptr;
    MultiPageScrollerView *m_multiView = nullptr;
    std::unique_ptr<BonjourHandler> m_bonjourMan;
    OnvifDiscoverer::Options m_onvifOptions = OnvifDiscoverer::loopbackOnly();
    std::unique_ptr<OnvifDiscoverer> m_onvifDiscoverer;
    IdleTimer m_idleTimer;
    View m_current = View::Settings;
    bool m_hasContent = false;
    bool m_transitioning = false;
    std::optional<View> m_pendingView;
    bool m_idleTimerDisabled = false;
    bool m_terminated = false;
    bool m_kiosk = false;
    // The PIN was given for this visit to the settings.
    bool m_settingsUnlocked = false;
    QPointer<PinPad> m_pinPad;
};
