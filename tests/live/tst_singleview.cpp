#include "live/FakeHost.h"
#include "support/TestServer.h"
#include "support/TestSupport.h"
#include "tools/CamsimProcess.h"

#include "platform/CertificatePin.h"
#include "ui/kit/ActionSheet.h"
#include "ui/kit/Alert.h"
#include "ui/kit/RoundedButton.h"
#include "ui/kit/TextField.h"
#include "ui/live/PresetsMenu.h"
#include "ui/live/PTZGestureView.h"
#include "ui/live/SingleView.h"
#include "ui/live/SnapshotNotice.h"
#include "ui/live/VideoView.h"
#include "video/FrameProducer.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

class TestSingleView final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FakeHost> m_host;
    std::unique_ptr<QWidget> m_window;
    SingleView *m_view = nullptr;

    Value camera(bool ptz, quint16 port = 9) const
    {
        Value cam = Value::dictionary();
        cam.insert(QStringLiteral("title"), QStringLiteral("Gate"));
        Value video = Value::dictionary();
        video.insert(QStringLiteral("video.type"), QStringLiteral("GENMJPEG"));
        video.insert(QStringLiteral("video.host"), QStringLiteral("127.0.0.1"));
        video.insert(QStringLiteral("video.port"), QString::number(port));
        video.insert(QStringLiteral("video.path"), QStringLiteral("/video"));
        cam.insert(QStringLiteral("video.parameters"), video);
        if (ptz) {
            Value control = Value::dictionary();
            control.insert(QStringLiteral("control.protocol"), QStringLiteral("Axis PTZ"));
            control.insert(QStringLiteral("control.host"), QStringLiteral("127.0.0.1"));
            control.insert(QStringLiteral("control.port"), QStringLiteral("9"));
            cam.insert(QStringLiteral("control.parameters"), control);
        }
        return cam;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        m_host = std::make_unique<FakeHost>();
        m_window = std::make_unique<QWidget>();
        m_window->resize(480, 320);
        m_view = new SingleView(*m_host, QRect(0, 0, 480, 320), m_window.get());
    }

    void cleanup()
    {
        m_window.reset();
        m_host.reset();
    }

    // A camera with a certificate of its own: the single view shows its fingerprint and,
    // once trusted, plays it.
    void untrustedCameraOffersTrust()
    {
        CamsimProcess sim;
        QVERIFY2(sim.start(R"({"cameras": [{"name": "Secure", "family": "axis", "https": true}]})"),
                 qPrintable(sim.errorOutput()));
        m_window->show();
        m_view->setCamera(sim.camera(QStringLiteral("Secure")));
        m_view->willMoveToWindow(true);
        QTRY_VERIFY(m_view->trustBar()->isVisible());
        QCOMPARE(m_view->videoView()->stateCaption(), QStringLiteral("Untrusted certificate"));
        const QString fingerprint = m_view->vidStream()->presentedCertificate();
        QVERIFY(m_view->trustBar()->findChild<QLabel *>()->text().contains(CertificatePin::displayed(fingerprint)));
        m_window->grab().save(QDir::temp().filePath(QStringLiteral("vyo-untrusted.png")));

        m_view->trustButtonClicked();
        QCOMPARE(CertificatePin::pinned(m_view->currentCamera().value(QStringLiteral("video.parameters"))), fingerprint);
        QTRY_COMPARE(m_view->vidStream()->state(), CameraState::Playing);
        QVERIFY(!m_view->trustBar()->isVisible());
    }

    void captionGeometry()
    {
        QImage frame(640, 480, QImage::Format_RGB32);
        frame.fill(QColor(128, 128, 128));
        const QImage captioned = SingleView::watermarkImage(frame, QStringLiteral("Gate"));
        QCOMPARE(captioned.size(), QSize(640, 480));
        // Nothing is drawn above the caption's line, and nothing left of x = 4.
        int top = 480;
        int left = 640;
        int right = 0;
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                if (captioned.pixelColor(x, y) != QColor(128, 128, 128)) {
                    top = std::min(top, y);
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
        }
        QVERIFY2(top >= 461 && top <= 466, qPrintable(QString::number(top)));
        QVERIFY(left >= 4);
        QVERIFY(right < 4 + 632);
    }

    void toolbarAndSteering()
    {
        m_view->setCamera(camera(true));
        QVERIFY(m_view->gestureView()->ptInterface());
        m_view->willMoveToWindow(true);
        QVERIFY(m_view->vidStream());
        m_view->finishedAnimatingIn();
        QVERIFY(m_view->ptzIndicator()->isVisibleTo(m_view));
        QVERIFY(!m_view->isAcceptingTouches());
        // Half a second later the toolbar slides away and steering begins.
        QTRY_VERIFY(m_view->gestureView()->controlTouchEnabled());
        QVERIFY(!m_view->toolbar()->isVisibleTo(m_view));
        QVERIFY(m_view->isAcceptingTouches());
        m_view->handleTap();
        QVERIFY(m_view->toolbar()->isVisibleTo(m_view));
        QVERIFY(!m_view->gestureView()->controlTouchEnabled());

        // Leaving drops the reader and lets the controller go.
        m_view->finishedAnimatingOut();
        QVERIFY(!m_view->vidStream());
        QVERIFY(!m_view->gestureView()->ptInterface());
        QVERIFY(!m_view->ptzIndicator()->isVisibleTo(m_view));
        QCOMPARE(m_view->toolbar()->pos(), QPoint(0, 0));
    }

    // An ONVIF camera's presets: the toolbar button, the sheet, saving under a typed
    // name and going to a preset; cameras without presets show no button.
    void presets()
    {
        CamsimProcess sim;
        QVERIFY2(sim.start(R"({"discoveryPort": 37023, "cameras": [{"name": "Lobby", "family": "onvif", "ptz": "onvif",
                                 "fps": 5, "user": "admin", "password": "pw"}]})"),
                 qPrintable(sim.errorOutput()));
        m_window->show();
        m_view->setCamera(camera(true));
        QVERIFY(!m_view->presetsButton()->isVisibleTo(m_view));
        m_view->setCamera(sim.camera(QStringLiteral("Lobby")));
        QTRY_VERIFY(m_view->presetsButton()->isVisibleTo(m_view));
        QTest::qWait(300);
        m_window->grab().save(QDir::temp().filePath(QStringLiteral("vyo-presets-toolbar.png")));

        const auto sheet = [this]() -> ActionSheet * {
            m_view->presetsButton()->click();
            return QTest::qWaitFor([this] { return m_view->presetsMenu()->sheet() != nullptr; }, 5000)
                ? m_view->presetsMenu()->sheet()
                : nullptr;
        };
        ActionSheet *first = sheet();
        QVERIFY(first);
        QCOMPARE(first->title(), QStringLiteral("No presets yet"));
        QCOMPARE(first->buttonCount(), 2);
        first->button(0)->click();
        QTRY_VERIFY(m_view->presetsMenu()->nameAlert());
        Alert *alert = m_view->presetsMenu()->nameAlert();
        alert->findChild<TextField *>()->setText(QStringLiteral("  Quay & Gate "));
        alert->button(1)->click();
        QTRY_VERIFY(sim.state(QStringLiteral("Lobby")).value(QStringLiteral("lastCommand")).toString()
                    == QStringLiteral("SetPreset 1 Quay & Gate"));

        ActionSheet *second = sheet();
        QVERIFY(second);
        QCOMPARE(second->buttonCount(), 3);
        QCOMPARE(second->button(0)->text(), QStringLiteral("Quay & Gate"));
        second->button(0)->click();
        QTRY_COMPARE(sim.state(QStringLiteral("Lobby")).value(QStringLiteral("lastCommand")).toString(),
                     QStringLiteral("GotoPreset 1"));
    }

    void doneAndEscape()
    {
        m_view->setCamera(camera(false));
        m_view->doneButtonClicked();
        QCOMPARE(m_host->switches, QList<LiveViewHost::View>{ LiveViewHost::View::Multi });
        QVERIFY(!m_view->isAcceptingTouches());
    }

    // A snapshot flashes the view and is saved as a JPEG; the view then says where
    // it went, or that there was nothing to save, for two seconds on a dark band
    // that reads over a white scene.
    void snapshotIsSavedAndTold()
    {
        m_window->show();
        m_view->setCamera(camera(false));
        const SnapshotNotice *notice = m_view->snapshotNotice();
        m_view->cameraButtonClicked();
        QVERIFY(notice->isFlashing());
        QTRY_COMPARE(notice->caption(), QStringLiteral("No picture to save"));

        QImage white(320, 240, QImage::Format_RGB32);
        white.fill(Qt::white);
        m_view->videoView()->setInitialFrame(white, 0);
        QSignalSpy saved(m_view, &SingleView::snapshotSaved);
        m_view->cameraButtonClicked();
        QVERIFY(!m_view->cameraButton()->isEnabled());
        QTRY_COMPARE(saved.size(), 1);
        QVERIFY(saved.at(0).at(1).toBool());
        const QString path = saved.at(0).at(0).toString();
        QVERIFY(path.startsWith(SingleView::snapshotDirectory()));
        QCOMPARE(QImageReader(path).format(), QByteArray("jpeg"));
        QCOMPARE(QImageReader(path).size(), QSize(320, 240));
        QFile::remove(path);
        QVERIFY(m_view->cameraButton()->isEnabled());
        QCOMPARE(notice->caption(), QStringLiteral("Saved to Pictures/Vyo"));
        QTRY_VERIFY(!notice->isFlashing());
        // Mostly dark, with white letters.
        const int top = 320 - SnapshotNotice::BandMargin - SnapshotNotice::BandHeight;
        const QImage band = m_view->grab().toImage().copy(0, top, 480, SnapshotNotice::BandHeight);
        int dark = 0;
        int light = 0;
        for (int i = 0; i < band.width() * band.height(); ++i) {
            const int lightness = band.pixelColor(i % band.width(), i / band.width()).lightness();
            dark += lightness < 110;
            light += lightness > 240;
        }
        QVERIFY2(dark > band.width() * band.height() * 3 / 4 && light > 100,
                 qPrintable(QStringLiteral("%1 dark, %2 light").arg(dark).arg(light)));
        QTRY_VERIFY_WITH_TIMEOUT(notice->caption().isEmpty() && !notice->isVisible(), SnapshotNotice::CaptionMs + 1000);
    }

    // The view decodes for the size it paints; a snapshot is the newest picture at
    // full size all the same.
    void snapshotFromATileIsFullSize()
    {
        const QByteArray jpeg = testJpeg(640, 480, Qt::darkCyan);
        TestServer server(TestServer::multipartStream(30, [jpeg] { return jpeg; }));
        m_window->show();
        m_view->setCamera(camera(false, server.port()));
        m_view->videoView()->setGeometry(10, 10, 151, 104);
        m_view->willMoveToWindow(true);
        QTRY_COMPARE(m_view->videoView()->image().size(), QSize(160, 120));
        QSignalSpy saved(m_view, &SingleView::snapshotSaved);
        m_view->cameraButtonClicked();
        QTRY_COMPARE(saved.size(), 1);
        const QString path = saved.at(0).at(0).toString();
        QCOMPARE(QImageReader(path).size(), QSize(640, 480));
        QFile::remove(path);
    }

    // A camera without PTZ zooms: the wheel zooms about the pointer, the reader is asked
    // for a larger picture, a snapshot is the part shown cut from the full frame, and a
    // double tap shows the whole picture again.
    void digitalZoomAndItsSnapshot()
    {
        // A chart of labelled squares, decoded at half its size while shown whole.
        QImage chart(1280, 960, QImage::Format_RGB32);
        chart.fill(Qt::white);
        QPainter painter(&chart);
        for (int i = 0; i < 16 * 12; ++i) {
            const QRect square(i % 16 * 80, i / 16 * 80, 80, 80);
            painter.fillRect(square.adjusted(2, 2, -2, -2), QColor::fromHsv(i % 16 * 20, 90, 230));
            painter.drawText(square, Qt::AlignCenter, QString::number(i));
        }
        painter.end();
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        chart.save(&buffer, "JPEG", 90);
        TestServer server(TestServer::multipartStream(30, [jpeg] { return jpeg; }));
        m_window->show();
        m_view->setCamera(camera(false, server.port()));
        QVERIFY(!m_view->zoomButton()->isVisibleTo(m_view));
        VideoView *video = m_view->videoView();
        m_view->willMoveToWindow(true);
        QTRY_COMPARE(video->image().size(), QSize(640, 480));

        QWheelEvent wheel(QPointF(0, 0), QPointF(0, 0), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(m_view->gestureView(), &wheel);
        QCOMPARE(video->zoom().scale(), PTZGestureView::WheelZoomStep);
        video->zoomBy(4 / PTZGestureView::WheelZoomStep, QPointF(0, 0));
        QTRY_COMPARE(video->image().size(), QSize(1280, 960));
        m_window->grab().save(QDir::temp().filePath(QStringLiteral("vyo-zoomed.png")));
        // The top left corner: a quarter of the height, a little more of the width.
        QCOMPARE(video->zoom().visiblePart().topLeft(), QPointF(0, 0));
        QSignalSpy saved(m_view, &SingleView::snapshotSaved);
        m_view->cameraButtonClicked();
        QTRY_COMPARE(saved.size(), 1);
        const QString path = saved.at(0).at(0).toString();
        const QSize size = QImageReader(path).size();
        QFile::remove(path);
        QCOMPARE(size.height(), 240);
        QCOMPARE(size.width(), 360);

        for (int i = 0; i < 2; ++i) {
            m_view->gestureView()->touchesBegan({ { QPointF(50, 50), QPointF(50, 50), 1.0 } });
            m_view->gestureView()->touchesEnded({ { QPointF(50, 50), QPointF(50, 50), 1.0 } });
        }
        QVERIFY(!video->zoom().isZoomed());
        QTRY_COMPARE(video->image().size(), QSize(640, 480));
    }

    // A PTZ camera steers until switched to Zoom; back to Steer, the whole picture shows.
    void steerOrZoom()
    {
        m_window->show();
        m_view->setCamera(camera(true));
        QVERIFY(m_view->zoomButton()->isVisibleTo(m_view));
        QVERIFY(m_view->steerButton()->isChecked());
        QVERIFY(!m_view->gestureView()->digitalZoom());
        m_view->zoomButton()->click();
        QVERIFY(m_view->gestureView()->digitalZoom());
        m_view->videoView()->zoomBy(2, QPointF(10, 10));
        m_view->steerButton()->click();
        QVERIFY(!m_view->gestureView()->digitalZoom());
        QVERIFY(!m_view->videoView()->zoom().isZoomed());
        m_view->zoomButton()->click();
        // Another camera starts steering again.
        m_view->setCamera(camera(true));
        QVERIFY(!m_view->gestureView()->digitalZoom());
    }
};

QTEST_MAIN(TestSingleView)
#include "tst_singleview.moc"
