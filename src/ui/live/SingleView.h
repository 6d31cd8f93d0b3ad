#pragma once

#include "ui/live/TapDelegate.h"
#include "config/Value.h"

#include <QImage>
#include <QWidget>

#include <memory>

class FrameProducer;
class LiveViewHost;
class PTZGestureView;
class PresetsMenu;
class QLabel;
class QSoundEffect;
class QToolButton;
class SnapshotNotice;
class VideoView;

// One camera full screen: the picture, a toolbar with Done, the title and the
// snapshot button, and, while the toolbar is away, steering through the gesture
// view. Cameras without PTZ zoom into the picture digitally instead; PTZ cameras
// switch between the two with the toolbar's Steer and Zoom. Main thread only.
class SingleView final : public QWidget, public TapDelegate
{
    Q_OBJECT

public:
    static constexpr int ToolbarHeight = 45;
    static constexpr int ToolbarDelayMs = 500;

    SingleView(LiveViewHost &host, const QRect &frame, QWidget *parent = nullptr);
    ~SingleView() override;

    void setCamera(const Value &camera);
    Value currentCamera() const { return m_currentCamera; }

    VideoView *videoView() const { return m_videoView; }
    PTZGestureView *gestureView() const { return m_gestureView; }
    QWidget *toolbar() const { return m_toolbar; }
    QToolButton *cameraButton() const { return m_cameraButton; }
    // Shown while the camera's controller keeps presets.
    QToolButton *presetsButton() const { return m_presetsButton; }
    PresetsMenu *presetsMenu() const { return m_presetsMenu; }
    // Shown for PTZ cameras only.
    QToolButton *steerButton() const { return m_steerButton; }
    QToolButton *zoomButton() const { return m_zoomButton; }
    QLabel *ptzIndicator() const { return m_ptzIndicator; }
    // Offers to trust the camera's certificate while the camera presents one that is
    // not trusted.
    QWidget *trustBar() const { return m_trustBar; }
    void trustButtonClicked();
    SnapshotNotice *snapshotNotice() const { return m_notice; }
    FrameProducer *vidStream() const { return m_vidStream.get(); }
    bool isToolbarShown() const;
    bool isAcceptingTouches() const { return m_acceptTouches; }

    void doneButtonClicked();
    void cameraButtonClicked();
    void handleTap() override;
    void moveToolbarOut(bool animated, int delayMs);
    void moveToolbarIn(bool animated, int delayMs);
    void finishedAnimatingIn();
    void finishedAnimatingOut();
    void willMoveToWindow(bool entering);
    void becameIdle();
    void becameActive();
    void setAcceptingTouches(bool accept);

    // The picture with its caption "Captured by Vyo: <title> - <date and time>". Any thread.
    static QImage watermarkImage(const QImage &image, const QString &title);
    // Where snapshots go: the Pictures directory's "Vyo" folder.
    static QString snapshotDirectory();
    // The part of the image that part gives as fractions of its width and height.
    static QImage shownPart(const QImage &image, const QRectF &part);

signals:
    void snapshotSaved(const QString &path, bool ok);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void finishedAnimatingToolbarOut();
    void pictureMoved(const QRectF &picture);
    void imageSaved(const QString &path, const QString &error);
    void showTrustBar(bool shown);
    void showPresetsButton(bool shown);
    // Gestures zoom for a camera without PTZ and for a PTZ camera switched to Zoom.
    void applyGestureMode();
    // The presets button and the Steer/Zoom switch left of the camera button, as far
    // as they are shown, and the title in the room that is left.
    void placeToolbarItems();

    // Why a snapshot failed when there was nothing to encode.
    static constexpr QLatin1StringView NoPicture{ "no picture to save" };

    LiveViewHost &m_host;
    QWidget *m_toolbar;
    QToolButton *m_doneButton;
    QLabel *m_title;
    QToolButton *m_cameraButton;
    QToolButton *m_presetsButton;
    PresetsMenu *m_presetsMenu;
    QWidget *m_modeSwitch;
    QToolButton *m_steerButton;
    QToolButton *m_zoomButton;
    VideoView *m_videoView;
    PTZGestureView *m_gestureView;
    QLabel *m_ptzIndicator;
    QWidget *m_trustBar;
    QLabel *m_fingerprint;
    SnapshotNotice *m_notice;
    Value m_currentCamera;
    std::unique_ptr<FrameProducer> m_vidStream;
    QSoundEffect *m_shutterSound = nullptr;
    bool m_acceptTouches = true;
    bool m_inWindow = false;
};
