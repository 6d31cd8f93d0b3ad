#include "live/FakeHost.h"
#include "live/LoopbackCameras.h"
#include "support/TestServer.h"
#include "support/TestSupport.h"

#include "ui/live/MultiPageScrollerView.h"
#include "ui/live/MultiView.h"
#include "ui/live/SingleView.h"
#include "ui/live/VideoView.h"
#include "video/FrameProducer.h"

#include <QDir>
#include <QTest>

class TestMultiView final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FakeHost> m_host;
    std::unique_ptr<QWidget> m_window;
    SingleView *m_single = nullptr;
    MultiPageScrollerView *m_multi = nullptr;

    // A one-finger horizontal swipe from x0 to x1 over the given time.
    void swipe(double x0, double x1, double seconds)
    {
        m_multi->touchesBegan(QPointF(x0, 250), 10.0);
        m_multi->touchesMoved(QPointF((x0 + x1) / 2, 250), QPointF(x0, 250));
        m_multi->touchesMoved(QPointF(x1, 250), QPointF((x0 + x1) / 2, 250));
        m_multi->touchesEnded(10.0 + seconds);
    }

private slots:
    void init()
    {
        m_host = std::make_unique<FakeHost>();
        m_window = std::make_unique<QWidget>();
        m_window->resize(480, 320);
        m_single = new SingleView(*m_host, QRect(0, 0, 480, 320), m_window.get());
        m_single->hide();
        m_multi = new MultiPageScrollerView(*m_host, *m_single, QRect(0, 0, 480, 320), m_window.get());
        m_multi->willMoveToWindow(true);
    }

    void cleanup()
    {
        m_window.reset();
        m_host.reset();
    }

    void pagesAndSwipes()
    {
        m_multi->setCameraList(loopbackCameras(7), QStringLiteral("Yard"), true);
        QCOMPARE(m_multi->title(), QStringLiteral("Yard"));
        QCOMPARE(m_multi->numberOfPages(), 2);
        QCOMPARE(m_multi->currentPage(), 0);
        QVERIFY(m_multi->centerPage()->isRunning());
        QVERIFY(!m_multi->centerPage()->isTrickling());
        QVERIFY(m_multi->rightPage()->isTrickling());
        QVERIFY(m_multi->rightPage()->streamForFeed(0));
        QVERIFY(!m_multi->rightPage()->streamForFeed(1));

        // A slow drag of 0.4 of the width springs back.
        swipe(400, 400 - 0.4 * 480, 1.0);
        QCOMPARE(m_multi->currentPage(), 0);
        QTRY_VERIFY(m_multi->isAcceptingTouches());
        // More than half the width turns the page at any speed.
        swipe(400, 100, 2.0);
        QCOMPARE(m_multi->currentPage(), 1);
        QTRY_VERIFY(m_multi->isAcceptingTouches());
        QTRY_COMPARE(m_multi->centerPage()->x(), 0);
        QVERIFY(m_multi->centerPage()->streamForFeed(0));
        QVERIFY(!m_multi->centerPage()->streamForFeed(1));
        // No page beyond the last one.
        swipe(400, 100, 2.0);
        QCOMPARE(m_multi->currentPage(), 1);
        QTRY_VERIFY(m_multi->isAcceptingTouches());
        // A quick flick of 0.3 of the width turns back.
        swipe(100, 100 + 0.3 * 480, 0.1);
        QCOMPARE(m_multi->currentPage(), 0);
    }

    void emptyListAndOnePage()
    {
        m_multi->setCameraList({}, QStringLiteral("Empty"), true);
        QCOMPARE(m_multi->numberOfPages(), 1);
        swipe(400, 50, 0.1);
        QCOMPARE(m_multi->currentPage(), 0);
        QCOMPARE(m_multi->centerPage()->x(), 0);
    }

    void refreshKeepsReaders()
    {
        const QList<Value> list = loopbackCameras(6);
        m_multi->setCameraList(list, QStringLiteral("A"), true);
        FrameProducer *first = m_multi->centerPage()->streamForFeed(0);
        QVERIFY(first);
        // Equal parameters in new objects keep the running reader.
        m_multi->setCameraList(loopbackCameras(6), QStringLiteral("A"), false);
        QCOMPARE(m_multi->centerPage()->streamForFeed(0), first);
        QList<Value> changed = loopbackCameras(6);
        changed[0].value(QStringLiteral("video.parameters")).insert(QStringLiteral("video.port"), QStringLiteral("10"));
        m_multi->setCameraList(changed, QStringLiteral("A"), false);
        QVERIFY(m_multi->centerPage()->streamForFeed(0) != first);
    }

    // A tile says what its camera does; an empty slot says nothing.
    void tilesTellWhatTheirCamerasDo()
    {
        // The second camera shows one picture, then refuses its user.
        int requests = 0;
        TestServer refusing(TestServer::http([&requests](QTcpSocket *socket, const QByteArray &) {
            if (requests++ == 0) {
                socket->write(multipartHead("myb") + multipartPart("myb", testJpeg(320, 200, Qt::darkYellow)));
                socket->disconnectFromHost();
                return;
            }
            socket->write("HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"cam\"\r\nContent-Length: 0\r\n\r\n");
        }));
        QList<Value> list = loopbackCameras(2);
        list[1].value(QStringLiteral("video.parameters"))
            .insert(QStringLiteral("video.port"), QString::number(refusing.port()));
        m_window->show();
        m_multi->setCameraList(list, QStringLiteral("A"), true);
        MultiView *page = m_multi->centerPage();
        QTRY_COMPARE(page->getViewForFeed(0)->stateCaption(), QStringLiteral("Camera unreachable"));
        QTRY_COMPARE_WITH_TIMEOUT(page->getViewForFeed(1)->stateCaption(), QStringLiteral("Wrong user name or password"), 10000);
        QVERIFY(!page->getViewForFeed(1)->image().isNull());
        QVERIFY(page->getViewForFeed(2)->stateCaption().isEmpty());
        QVERIFY(!page->containerForFeed(2)->isVisible());
        m_window->grab().save(QDir::temp().filePath(QStringLiteral("vyo-grid-states.png")));
    }

    void tapOpensTheSingleView()
    {
        const QList<Value> list = loopbackCameras(3);
        m_multi->setCameraList(list, QStringLiteral("A"), true);
        // An empty slot is no tap.
        m_multi->touchesBegan(QPointF(240, 200), 1.0);
        m_multi->touchesEnded(1.05);
        QTest::qWait(200);
        QVERIFY(m_host->switches.isEmpty());
        // A touch that moves is a swipe.
        m_multi->touchesBegan(QPointF(240, 80), 2.0);
        m_multi->touchesMoved(QPointF(245, 80), QPointF(240, 80));
        m_multi->touchesEnded(2.1);
        QTest::qWait(200);
        QVERIFY(m_host->switches.isEmpty());

        m_multi->touchesBegan(QPointF(240, 80), 3.0);
        m_multi->touchesEnded(3.05);
        QTRY_COMPARE(m_host->switches.size(), 1);
        QCOMPARE(m_host->switches.first(), LiveViewHost::View::Single);
        QVERIFY(m_single->currentCamera() == list.at(1));
        // The single view's picture was laid over the thumbnail first.
        QCOMPARE(m_single->videoView()->geometry(), QRect(161, 43, 158, 108));
    }

    // The arrows move a ring over the tiles, on to the next page past the last
    // column, and Enter opens the ringed camera; a touch puts the ring away.
    void keyboardRingOverTheTiles()
    {
        const QList<Value> list = loopbackCameras(8);
        m_multi->setCameraList(list, QStringLiteral("A"), true);
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_multi->setFocus();
        QCOMPARE(m_multi->focusedFeed(), -1);
        // The first key only shows where the ring is.
        QTest::keyClick(m_multi, Qt::Key_Right);
        QCOMPARE(m_multi->focusedFeed(), 0);
        for (const auto key : { Qt::Key_Down, Qt::Key_Right, Qt::Key_Right, Qt::Key_Down })
            QTest::keyClick(m_multi, key);
        QCOMPARE(m_multi->focusedFeed(), 5);
        // The next page has two cameras: the ring goes to the nearest.
        QTest::keyClick(m_multi, Qt::Key_Right);
        QCOMPARE(m_multi->currentPage(), 1);
        QCOMPARE(m_multi->focusedFeed(), 1);
        QVERIFY(!m_multi->leftPage()->findChild<QWidget *>(QStringLiteral("focusRing"))->isVisible());
        QTRY_VERIFY(m_multi->isAcceptingTouches());
        QTest::keyClick(m_multi, Qt::Key_Return);
        QTRY_COMPARE(m_host->switches.size(), 1);
        QVERIFY(m_single->currentCamera() == list.at(7));

        m_multi->touchesBegan(QPointF(240, 80), 1.0);
        QCOMPARE(m_multi->focusedFeed(), -1);
    }

    void rectForCameraTurnsToItsPage()
    {
        const QList<Value> list = loopbackCameras(8);
        m_multi->setCameraList(list, QStringLiteral("A"), true);
        QCOMPARE(m_multi->currentPage(), 0);
        const QRectF rect = m_multi->rectForCamera(list.at(7));
        QCOMPARE(m_multi->currentPage(), 1);
        QCOMPARE(rect, QRectF(161, 43, 158, 108));
        const QRectF missing = m_multi->rectForCamera(Value::dictionary());
        QCOMPARE(missing.size(), QSizeF(0, 0));
    }

    void leavingTheWindowTrickles()
    {
        m_multi->setCameraList(loopbackCameras(12), QStringLiteral("A"), true);
        m_multi->willMoveToWindow(false);
        QVERIFY(m_multi->centerPage()->isTrickling());
        QVERIFY(!m_multi->leftPage()->isRunning());
        QVERIFY(!m_multi->rightPage()->isRunning());
        m_multi->willMoveToWindow(true);
        QVERIFY(m_multi->centerPage()->isRunning() && !m_multi->centerPage()->isTrickling());
        QVERIFY(m_multi->rightPage()->isTrickling());
    }
};

QTEST_MAIN(TestMultiView)
#include "tst_multiview.moc"
