#include "support/ManualClock.h"

#include "ui/kit/ActivitySpinner.h"
#include "ui/live/VideoView.h"
#include "platform/Preferences.h"
#include "video/FrameConsumer.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

namespace {

QImage picture()
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    return image;
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
        QTest::qWait(10);
        m_clock.advance(1);
        QTest::qWait(10);
        QVERIFY(!view->spinner());
    }

    // Ten frames of 5000 bytes in 2 seconds read 5 fps and 25 KB/s.
    void frameRateLine()
    {
        auto view = makeView(true);
        QVERIFY(view->showFPS());
        QVERIFY(view->fpsLabel()->isVisibleTo(view.get()));
        const auto consumer = view->frameConsumer();
        for (int i = 0; i < 10; ++i)
            consumer->consumeFrame(i % 2 ? picture() : QImage(), Value(), 5000);
        m_clock.advance(VideoView::FpsRefreshMs);
        QTRY_COMPARE(view->fpsLabel()->text(), QStringLiteral("5.00 fps | 25.0KB/s"));
        m_clock.advance(VideoView::FpsRefreshMs);
        QTRY_COMPARE(view->fpsLabel()->text(), QStringLiteral("0.00 fps | 0.0KB/s"));
    }

    // Switching off hides the line; switching on restarts the interval from the switch.
    void switchedByThePreference()
    {
        auto view = makeView(false);
        QVERIFY(!view->fpsLabel()->isVisibleTo(view.get()));
        const auto consumer = view->frameConsumer();
        consumer->consumeFrame(picture(), Value(), 1000);
        m_clock.advance(5000);
        m_preferences->setShowFPS(true);
        QVERIFY(view->showFPS());
        QVERIFY(view->fpsLabel()->isVisibleTo(view.get()));
        for (int i = 0; i < 4; ++i)
            consumer->consumeFrame(picture(), Value(), 1000);
        m_clock.advance(VideoView::FpsRefreshMs);
        QTRY_COMPARE(view->fpsLabel()->text(), QStringLiteral("2.00 fps | 2.0KB/s"));

        m_preferences->setShowFPS(false);
        QVERIFY(!view->fpsLabel()->isVisibleTo(view.get()));
        consumer->consumeFrame(picture(), Value(), 1000);
        m_preferences->setShowFPS(true);
        m_clock.advance(1000);
        view->updateFPS();
        QCOMPARE(view->fpsLabel()->text(), QStringLiteral("0.00 fps | 0.0KB/s"));
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

    void paintsScaledPicture()
    {
        auto view = makeView(false);
        view->setInitialFrame(picture(), m_clock.now());
        const QImage shot = view->grab().toImage();
        QCOMPARE(shot.size(), QSize(320, 240));
        QCOMPARE(shot.pixelColor(5, 5), QColor(Qt::darkGreen));
        QCOMPARE(shot.pixelColor(315, 235), QColor(Qt::darkGreen));
    }
};

QTEST_MAIN(TestVideoView)
#include "tst_videoview.moc"
