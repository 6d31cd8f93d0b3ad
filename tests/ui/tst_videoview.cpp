#include "support/ManualClock.h"
#include "support/TestServer.h"
#include "support/TestSupport.h"

#include "ui/kit/ActivitySpinner.h"
#include "ui/live/VideoView.h"
#include "platform/Preferences.h"
#include "util/WorkerThread.h"
#include "video/MJPEGStreamReader.h"
#include "video/FrameConsumer.h"

#include <QLabel>
#include <QPainter>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <atomic>

namespace {

QImage picture()
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    return image;
}

QImage checkerboard(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    }
    return image;
}

// Part number n as a colour that survives JPEG: four bits a channel, mid-step.
QColor colourFor(int n)
{
    return QColor(((n >> 8) & 15) * 16 + 8, ((n >> 4) & 15) * 16 + 8, (n & 15) * 16 + 8);
}

int numberOf(const QImage &picture)
{
    const QColor c = picture.pixelColor(picture.width() / 2, picture.height() / 2);
    return ((c.red() / 16) << 8) | ((c.green() / 16) << 4) | (c.blue() / 16);
}

} // namespace

class TestVideoView final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<VideoView> makeView(bool showFPS)
    {
        m_preferences = std::make_unique<Preferences>(m_dir.filePath(QStringLiteral("preferences.conf")));
        m_preferences->setShowFPS(showFPS);
        auto view = std::make_unique<VideoView>(*m_preferences, m_clock);
        view->resize(320, 240);
        view->show();
        // Pictures that arrive before the window is exposed are never painted.
        if (!QTest::qWaitForWindowExposed(view.get()))
            QTest::qFail("the view's window is not exposed", __FILE__, __LINE__);
        return view;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<Preferences> m_preferences;
    ManualClock m_clock;

private slots:
    // A cached picture 3 s old shows without a spinner; 2 s later, with nothing new,
    // the spinner comes.
    void recentCachedPicture()
    {
        auto view = makeView(false);
        view->setInitialFrame(picture(), m_clock.now() - 3000);
        QVERIFY(!view->spinner());
        QVERIFY(view->spinChecker());
        m_clock.advance(1999);
        QTest::qWait(10);
        QVERIFY(!view->spinner());
        m_clock.advance(1);
        QTRY_VERIFY(view->spinner());
        QVERIFY(view->spinner()->isAnimating());
        QCOMPARE(view->spinner()->geometry().center(), view->rect().center());
        QVERIFY(!view->spinChecker());
        // Out of sight (a page of the grid not shown), it keeps still until seen again.
        view->hide();
        QVERIFY(!view->spinner()->isAnimating());
        view->show();
        QVERIFY(view->spinner()->isAnimating());
    }

    void staleOrMissingPictureSpinsAtOnce()
    {
        auto view = makeView(false);
        view->setInitialFrame(picture(), m_clock.now() - 6000);
        QVERIFY(view->spinner());
        QVERIFY(!view->spinChecker());
        view->setInitialFrame(QImage(), Clock::DistantPast);
        QVERIFY(view->spinner());
        QVERIFY(view->image().isNull());
    }

    // A frame with a picture removes the spinner and cancels nothing else; one without
    // a picture changes nothing on screen.
    void framesAndTheSpinner()
    {
        auto view = makeView(false);
        view->setInitialFrame(QImage(), Clock::DistantPast);
        const auto consumer = view->frameConsumer();
        consumer->consumeFrame(QImage(), Value(), 100);
        QTest::qWait(10);
        QVERIFY(view->spinner());
        consumer->consumeFrame(picture(), Value(), 100);
        QTRY_VERIFY(!view->spinner());
        QCOMPARE(view->image().size(), QSize(64, 48));
        QCOMPARE(view->lastFrameTime(), m_clock.now());
        // The check after a fresh picture does not bring the spinner back.
        view->setInitialFrame(picture(), m_clock.now());
        m_clock.advance(VideoView::StaleMs - 1);
        consumer->consumeFrame(picture(), Value(), 100);
        QTRY_COMPARE(view->lastFrameTime(), m_clock.now());
        m_clock.advance(1);
        QTest::qWait(10);
        QVERIFY(!view->spinner());
    }

    // Four pictures painted and six parts skipped in 2 seconds read 2 fps and 3 skipped
    // a second; the bytes of frames without a picture count too.
    void frameRateLine()
    {
        auto view = makeView(true);
        QVERIFY(view->showFPS());
        QVERIFY(view->fpsLabel()->isVisibleTo(view.get()));
        const auto consumer = view->frameConsumer();
        for (int i = 1; i <= 4; ++i) {
            consumer->consumeFrame(picture(), Value(), 4000);
            QTRY_COMPARE(view->framesShown(), i);
        }
        consumer->consumeFrame(QImage(), Value(), 4000);
        consumer->framesSkipped(6);
        m_clock.advance(VideoView::FpsRefreshMs);
        QTRY_COMPARE(view->fpsLabel()->text(), QStringLiteral("2.00 fps | 10.0KB/s\n3.00 skipped/s"));
        m_clock.advance(VideoView::FpsRefreshMs);
        QTRY_COMPARE(view->fpsLabel()->text(), QStringLiteral("0.00 fps | 0.0KB/s\n0.00 skipped/s"));
    }

    // Switching off hides the line; switching on restarts the interval from the switch.
    void switchedByThePreference()
    {
        auto view = makeView(false);
        QVERIFY(!view->fpsLabel());
        const auto consumer = view->frameConsumer();
        consumer->consumeFrame(picture(), Value(), 1000);
        QTRY_COMPARE(view->framesShown(), 1);
        m_clock.advance(5000);
        m_preferences->setShowFPS(true);
        QVERIFY(view->showFPS());
        QVERIFY(view->fpsLabel()->isVisibleTo(view.get()));
        for (int i = 1; i <= 4; ++i) {
            consumer->consumeFrame(picture(), Value(), 1000);
            QTRY_COMPARE(view->framesShown(), i + 1);
        }
        m_clock.advance(VideoView::FpsRefreshMs);
        QTRY_COMPARE(view->fpsLabel()->text(), QStringLiteral("2.00 fps | 2.0KB/s\n0.00 skipped/s"));

        m_preferences->setShowFPS(false);
        QVERIFY(!view->fpsLabel());
        consumer->consumeFrame(picture(), Value(), 1000);
        m_preferences->setShowFPS(true);
        m_clock.advance(1000);
        view->updateFPS();
        QCOMPARE(view->fpsLabel()->text(), QStringLiteral("0.00 fps | 0.0KB/s\n0.00 skipped/s"));
    }

    // A reader may go on delivering after the view is gone.
    void consumerOutlivesTheView()
    {
        auto view = makeView(true);
        const auto consumer = view->frameConsumer();
        consumer->consumeFrame(picture(), Value(), 10);
        view.reset();
        consumer->consumeFrame(picture(), Value(), 10);
        QTest::qWait(10);
    }

    // A picture within two pixels of the view's size is drawn pixel for pixel, centred;
    // any other is scaled once, smoothly only when it shrinks.
    void paintingRule()
    {
        auto view = makeView(false);
        const auto shot = [this, &view](const QImage &image) {
            view->setInitialFrame(image, m_clock.now());
            return view->grab().toImage().convertToFormat(QImage::Format_RGB32);
        };
        const auto greys = [](const QImage &image) {
            int count = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x)
                    count += image.pixelColor(x, y) != Qt::black && image.pixelColor(x, y) != Qt::white;
            }
            return count;
        };
        QCOMPARE(shot(checkerboard(318, 238)).copy(1, 1, 318, 238), checkerboard(318, 238));
        QCOMPARE(shot(checkerboard(322, 242)), checkerboard(322, 242).copy(1, 1, 320, 240));
        QCOMPARE(greys(shot(checkerboard(160, 120))), 0);
        const QImage shrunk = shot(checkerboard(640, 480));
        QVERIFY(greys(shrunk) > 320 * 240 / 2);

        // A title darkens the top of the picture, over it, and only there; taken away,
        // the picture shows whole again.
        QImage white(320, 240, QImage::Format_RGB32);
        white.fill(Qt::white);
        view->setTitle(QStringLiteral("Porch"));
        const QImage titled = shot(white);
        QVERIFY(qGray(titled.pixel(2, 2)) < 128);
        QCOMPARE(titled.pixelColor(2, 20), QColor(Qt::white));
        view->setTitle({});
        QCOMPARE(shot(white), white);
    }

    // A picture of another shape is shown whole between black bars, and readers are
    // asked for the size it fills in the device pixels the view was last painted at,
    // where a picture of that size is drawn pixel for pixel.
    void wholePictureAtThePaintedScale()
    {
        auto view = makeView(false);
        view->setInitialFrame(checkerboard(400, 150), m_clock.now());
        QCOMPARE(view->pictureRect(), QRectF(0, 60, 320, 120));
        QCOMPARE(view->frameConsumer()->targetSize(), QSize(320, 120));
        const QImage shown = view->grab().toImage();
        QCOMPARE(shown.pixelColor(160, 30), QColor(Qt::black));
        QCOMPARE(shown.pixelColor(160, 210), QColor(Qt::black));

        // Painted twice as large, as the window paints its views when it is twice their size.
        const auto paintTwice = [&view] {
            QImage twice(640, 480, QImage::Format_RGB32);
            QPainter painter(&twice);
            painter.scale(2, 2);
            view->render(&painter);
            return twice;
        };
        paintTwice();
        QCOMPARE(view->frameConsumer()->targetSize(), QSize(640, 240));
        view->setInitialFrame(checkerboard(640, 240), m_clock.now());
        QCOMPARE(paintTwice().copy(0, 120, 640, 240), checkerboard(640, 240));
    }

    // Zoomed in, the view shows the part of the picture about the point, and readers
    // are asked for the picture at the size it is shown, up to 8x; back to the whole
    // picture, at the size it fills again.
    void zoomShowsAPartDecodedLarger()
    {
        auto view = makeView(false);
        QImage quarters(320, 240, QImage::Format_RGB32);
        quarters.fill(Qt::blue);
        QPainter(&quarters).fillRect(0, 0, 160, 120, Qt::red);
        view->setInitialFrame(quarters, m_clock.now());
        QCOMPARE(view->frameConsumer()->targetSize(), QSize(320, 240));

        QSignalSpy zoomed(view.get(), &VideoView::zoomChanged);
        view->zoomBy(2, QPointF(0, 0));
        QCOMPARE(zoomed.size(), 1);
        QCOMPARE(view->frameConsumer()->targetSize(), QSize(640, 480));
        QImage shown = view->grab().toImage();
        QCOMPARE(shown.pixelColor(5, 5), QColor(Qt::red));
        QCOMPARE(shown.pixelColor(315, 235), QColor(Qt::red));
        // The larger picture a reader then sends fills the same place, pixel for pixel.
        view->setInitialFrame(quarters.scaled(640, 480), m_clock.now());
        QCOMPARE(view->grab().toImage().pixelColor(315, 235), QColor(Qt::red));
        view->panBy(QPointF(-1000, -1000));
        QCOMPARE(view->grab().toImage().pixelColor(5, 5), QColor(Qt::blue));
        QCOMPARE(zoomed.size(), 1);

        view->zoomBy(100, QPointF(160, 120));
        QCOMPARE(view->frameConsumer()->targetSize(), QSize(2560, 1920));
        view->resetZoom();
        QCOMPARE(view->frameConsumer()->targetSize(), QSize(320, 240));
        QCOMPARE(zoomed.last().at(0).toReal(), 1.0);
        shown = view->grab().toImage();
        QCOMPARE(shown.pixelColor(5, 5), QColor(Qt::red));
        QCOMPARE(shown.pixelColor(315, 235), QColor(Qt::blue));
    }

    // A camera sending 300 parts a second to a view whose GUI thread stalls: only
    // pictures that get painted are decoded, the parts that arrive meanwhile are
    // skipped, not queued, and the picture painted after the one waiting out the stall
    // is one of the newest.
    void onlyTheNewestPartIsDecoded()
    {
        std::atomic<int> sent = 0;
        QThread serverThread;
        serverThread.start();
        QObject serverHome;
        serverHome.moveToThread(&serverThread);
        TestServer *server = nullptr;
        QMetaObject::invokeMethod(
            &serverHome,
            [&] {
                server = new TestServer(TestServer::multipartStream(
                    3, [&sent] { return testJpeg(16, 16, colourFor(sent.fetch_add(1))); }));
            },
            Qt::BlockingQueuedConnection);
        const auto stopServer = qScopeGuard([&] {
            QMetaObject::invokeMethod(&serverHome, [server] { delete server; }, Qt::BlockingQueuedConnection);
            serverThread.quit();
            serverThread.wait();
        });

        auto view = makeView(false);
        WorkerThread worker;
        worker.start();
        auto reader = std::make_unique<MJPEGStreamReader>(&worker);
        reader->setConnectionParameters(Value::dictionary(),
                                        QUrl(QStringLiteral("http://127.0.0.1:%1/video").arg(server->port())));
        reader->addConsumer(view->frameConsumer());
        const auto decoded = std::make_shared<RecordingConsumer>();
        reader->addConsumer(decoded);
        reader->start();
        QTRY_VERIFY(view->framesShown() >= 10);

        const int before = sent;
        const qint64 shownBefore = view->framesShown();
        const qint64 skippedBefore = view->framesSkipped();
        QThread::msleep(300);
        const int after = sent;
        QTRY_VERIFY(view->framesShown() >= shownBefore + 2);
        const int shown = numberOf(view->image());
        QVERIFY2(shown >= before + (after - before) / 2,
                 qPrintable(QStringLiteral("%1 sent before the stall, %2 after, %3 shown")
                                .arg(before)
                                .arg(after)
                                .arg(shown)));
        QVERIFY(view->framesSkipped() - skippedBefore >= (after - before) / 2);
        // One picture may be on its way to the view.
        QVERIFY(decoded->count() <= view->framesShown() + 1);
    }
    // Four readers on their own threads, each waiting while its last picture is
    // unshown as readers do, deliver in bursts and pauses: every view ends on its
    // reader's last picture and no reader waits forever, however the hand-offs
    // fall into the repaint intervals.
    void picturesFromManyThreads()
    {
        struct Waker final : FrameWaker
        {
            void wake() override { woken.release(); }
            QSemaphore woken;
        };
        constexpr int Pictures = 150;
        std::vector<std::unique_ptr<VideoView>> views;
        std::vector<std::unique_ptr<QThread>> readers;
        std::atomic<int> stuck = 0;
        for (int k = 0; k < 4; ++k) {
            views.push_back(makeView(false));
            readers.emplace_back(QThread::create([consumer = views.back()->frameConsumer(), k, &stuck] {
                const auto waker = std::make_shared<Waker>();
                QRandomGenerator random(k);
                for (int n = 1; n <= Pictures; ++n) {
                    while (!consumer->readyForFrame(waker)) {
                        if (!waker->woken.tryAcquire(1, 5000)) {
                            ++stuck;
                            return;
                        }
                    }
                    QImage image(16, 16, QImage::Format_RGB32);
                    image.fill(colourFor(n));
                    consumer->consumeFrame(image, Value(), 10);
                    if (random.bounded(4) == 0)
                        QThread::msleep(random.bounded(40));
                }
            }));
            readers.back()->start();
        }
        QTRY_VERIFY_WITH_TIMEOUT(std::all_of(readers.begin(), readers.end(), [](const auto &r) { return r->isFinished(); }),
                                 30000);
        QCOMPARE(stuck.load(), 0);
        for (const auto &view : views)
            QTRY_COMPARE(numberOf(view->image()), Pictures);
    }
};

QTEST_MAIN(TestVideoView)
#include "tst_videoview.moc"
