#include "live/FakeHost.h"
#include "live/LoopbackCameras.h"
#include "support/ManualClock.h"
#include "support/TestServer.h"
#include "support/TestSupport.h"

#include "ui/live/MultiPageScrollerView.h"
#include "ui/live/MultiView.h"
#include "ui/live/PageTour.h"
#include "ui/live/SingleView.h"
#include "video/FrameProducer.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

class TestPageTour final : public QObject
{
    Q_OBJECT

private slots:
    void turnsWhileShownAndPausesAMinuteAfterATouch()
    {
        ManualClock clock;
        PageTour tour(clock, nullptr);
        QSignalSpy turns(&tour, &PageTour::turnDue);
        tour.setIntervalSeconds(10);
        clock.advance(30000);
        QCOMPARE(turns.size(), 0);

        tour.setShown(true);
        clock.advance(30000);
        QCOMPARE(turns.size(), 3);

        clock.advance(5000);
        tour.touched();
        clock.advance(59999);
        QCOMPARE(turns.size(), 3);
        clock.advance(1);
        QCOMPARE(turns.size(), 4);
        clock.advance(10000);
        QCOMPARE(turns.size(), 5);

        tour.setShown(false);
        clock.advance(60000);
        tour.setShown(true);
        tour.setIntervalSeconds(0);
        clock.advance(60000);
        QCOMPARE(turns.size(), 5);
        QCOMPARE(clock.activeTimers(), 0);
    }

    void gridSkipsAPageOfFailingCamerasAndComesRound()
    {
        const QByteArray jpeg = testJpeg(64, 48, Qt::darkGreen);
        TestServer playing(TestServer::multipartStream(200, [jpeg] { return jpeg; }));
        ManualClock clock;
        FakeHost host;
        host.timeSource = &clock;
        QWidget window;
        window.resize(480, 320);
        auto *single = new SingleView(host, QRect(0, 0, 480, 320), &window);
        single->hide();
        auto *multi = new MultiPageScrollerView(host, *single, QRect(0, 0, 480, 320), &window);
        // Page 2 of three: every camera refused.
        const QList<Value> good = loopbackCameras(6, playing.port());
        const QList<Value> list = good + loopbackCameras(6) + good.mid(0, 2);
        multi->setCameraList(list, QStringLiteral("Tour"), true);
        multi->tour()->setIntervalSeconds(10);
        multi->willMoveToWindow(true);
        QVERIFY(multi->tour()->isTurning());
        // The right neighbour's trickled frames find its cameras failing.
        QTRY_VERIFY_WITH_TIMEOUT(multi->rightPage()->allFeedsFailing(), 15000);
        QVERIFY(!multi->centerPage()->allFeedsFailing());

        clock.advance(10000);
        QCOMPARE(multi->currentPage(), 2);
        QTRY_VERIFY(multi->isAcceptingTouches());
        QCOMPARE(multi->centerPage()->x(), 0);
        QCOMPARE(multi->centerPage()->streamForFeed(0)->getConnectionParameters(),
                 list.at(12).value(QStringLiteral("video.parameters")));
        QVERIFY(multi->centerPage()->isRunning() && !multi->centerPage()->isTrickling());
        QVERIFY(window.grab().save(QDir::temp().filePath(QStringLiteral("vyo-tour-third-page.png"))));

        clock.advance(10000);
        QCOMPARE(multi->currentPage(), 0);
        QTRY_VERIFY(multi->isAcceptingTouches());
        QVERIFY(multi->leftPage()->containerForFeed(0)->isHidden());
        QTRY_VERIFY_WITH_TIMEOUT(multi->rightPage()->allFeedsFailing(), 15000);

        // A finger on the glass holds the page for a minute.
        multi->touchesBegan(QPointF(5, 5), 1.0);
        multi->touchesEnded(1.1);
        clock.advance(50000);
        QCOMPARE(multi->currentPage(), 0);
        clock.advance(10000);
        QCOMPARE(multi->currentPage(), 2);

        multi->willMoveToWindow(false);
        QVERIFY(!multi->tour()->isTurning());
    }
};

QTEST_MAIN(TestPageTour)
#include "tst_pagetour.moc"
