#include "support/ManualClock.h"

#include "ui/live/PTZGestureView.h"
#include "ui/live/TapDelegate.h"
#include "ptz/PTZController.h"

#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

namespace {

struct Call
{
    QString kind;
    float x = 0;
    float y = 0;
    float pinch = 0;
    double interval = 0;
    bool holding = false;
};

// Records what the gesture view asks of a controller.
class RecordingController final : public PTZController
{
public:
    explicit RecordingController(QList<Call> *calls)
        : m_calls(calls)
    {
    }
    bool initWithParameters(const Value &) override { return true; }
    void updateChangeX(float x, float y, double interval) override { m_calls->append({ QStringLiteral("step"), x, y, 0, interval }); }
    void updateChangePinch(float pinch, double interval) override
    {
        m_calls->append({ QStringLiteral("pinch"), 0, 0, pinch, interval });
    }
    void setHolding(bool holding, float x, float y, float pinch, double interval) override
    {
        m_calls->append({ QStringLiteral("hold"), x, y, pinch, interval, holding });
    }
    void disconnect() override { m_calls->append({ QStringLiteral("disconnect") }); }

private:
    QList<Call> *m_calls;
};

class Taps final : public TapDelegate
{
public:
    int count = 0;
    void handleTap() override { ++count; }
};

using Touch = PTZGestureView::Touch;

} // namespace

class TestPTZGestureView final : public QObject
{
    Q_OBJECT

private:
    QList<Call> m_calls;
    Taps m_taps;
    std::unique_ptr<QWidget> m_superview;
    PTZGestureView *m_view = nullptr;

    // A one-finger stroke from start through the given points, 20 ms apart.
    void stroke(QPointF start, const QList<QPointF> &points, bool lift = true)
    {
        double t = 1.0;
        m_view->touchesBegan({ { start, start, t } });
        QPointF previous = start;
        for (const QPointF &p : points) {
            t += 0.02;
            m_view->touchesMoved({ { p, previous, t } });
            previous = p;
        }
        if (lift)
            m_view->touchesEnded({ { previous, previous, t + 0.02 } });
    }

    QStringList kinds() const
    {
        QStringList out;
        for (const Call &c : m_calls)
            out.append(c.kind);
        return out;
    }

private slots:
    void init()
    {
        // The last test's view disconnects its controller as it goes.
        m_superview.reset();
        m_calls.clear();
        m_taps.count = 0;
        m_superview = std::make_unique<QWidget>();
        m_superview->resize(480, 320);
        m_view = new PTZGestureView(m_superview.get());
        m_view->setGeometry(0, 0, 480, 320);
        m_view->setTapDelegate(&m_taps);
        m_view->setPtInterface(std::make_unique<RecordingController>(&m_calls));
    }

    void tapsAndSteps()
    {
        m_view->setControlTouchEnabled(false);
        stroke(QPointF(100, 100), {});
        QCOMPARE(m_taps.count, 1);
        // With steering off a drag calls nothing, not even a tap.
        stroke(QPointF(100, 100), { QPointF(110, 100) });
        QCOMPARE(m_taps.count, 1);
        QVERIFY(m_calls.isEmpty());

        m_view->setControlTouchEnabled(true);
        stroke(QPointF(100, 100), { QPointF(110, 100), QPointF(110, 95) });
        QCOMPARE(kinds(), (QStringList{ QStringLiteral("step"), QStringLiteral("step") }));
        QCOMPARE(m_calls[0].x, 10.0f);
        QCOMPARE(m_calls[0].y, 0.0f);
        QVERIFY(qAbs(m_calls[0].interval - 0.02) < 1e-6);
        QCOMPARE(m_calls[1].y, -5.0f);
        QCOMPARE(m_taps.count, 1);
    }

    void holdTargetOnAStraightStroke()
    {
        const float half = m_view->indicatorWidth() / 2;
        QVERIFY(half > 0);
        QList<QPointF> path;
        for (int x = 110; x <= 280; x += 10)
            path.append(QPointF(x, 160));
        stroke(QPointF(100, 160), path, false);
        // 180 points, more than half the height: the target is at the right edge.
        QVERIFY(m_view->isHoldTargetShown());
        QCOMPARE(m_view->holdTargetCenter(), QPointF(480 - half, 160));
        QVERIFY(!kinds().contains(QStringLiteral("hold")));

        // Into the target: one hold with the whole stroke, then silence inside it.
        const QPointF inside(480 - half, 160);
        m_view->touchesMoved({ { inside, path.last(), 2.0 } });
        m_view->touchesMoved({ { inside + QPointF(2, 1), inside, 2.1 } });
        const qsizetype holds = kinds().count(QStringLiteral("hold"));
        QCOMPARE(holds, 1);
        const Call hold = m_calls.last();
        QVERIFY(hold.holding);
        QCOMPARE(hold.y, 0.0f);
        QVERIFY(hold.x > 340);

        m_view->touchesEnded({ { inside, inside, 2.2 } });
        QVERIFY(!m_view->isHoldTargetShown());
        QCOMPARE(m_calls.last().kind, QStringLiteral("hold"));
        QVERIFY(!m_calls.last().holding);
        QCOMPARE(m_calls.last().x, 0.0f);
        QCOMPARE(m_taps.count, 0);
    }

    void verticalStrokeAndCrookedStrokes()
    {
        const float half = m_view->indicatorWidth() / 2;
        QList<QPointF> down;
        for (int y = 20; y <= 190; y += 10)
            down.append(QPointF(200, y));
        stroke(QPointF(200, 10), down, false);
        QVERIFY(m_view->isHoldTargetShown());
        QCOMPARE(m_view->holdTargetCenter(), QPointF(200, 320 - half));
        m_view->touchesCancelled();
        QVERIFY(!m_view->isHoldTargetShown());

        // Wandering 20 points off the line first: no target in this gesture at all.
        QList<QPointF> crooked{ QPointF(150, 120), QPointF(200, 100) };
        for (int x = 210; x <= 400; x += 10)
            crooked.append(QPointF(x, 100));
        stroke(QPointF(100, 100), crooked, false);
        QVERIFY(!m_view->isHoldTargetShown());
        m_view->touchesCancelled();

        // Doubling back towards the start is not a stroke outwards either.
        QList<QPointF> back{ QPointF(200, 100), QPointF(150, 100) };
        for (int x = 160; x <= 400; x += 10)
            back.append(QPointF(x, 100));
        stroke(QPointF(100, 100), back, false);
        QVERIFY(!m_view->isHoldTargetShown());
    }

    void pinches()
    {
        m_view->touchesBegan({ { QPointF(100, 100), QPointF(100, 100), 1.0 }, { QPointF(200, 100), QPointF(200, 100), 1.0 } });
        // Both fingers move apart by 10 points each.
        m_view->touchesMoved({ { QPointF(90, 100), QPointF(100, 100), 1.1 }, { QPointF(210, 100), QPointF(200, 100), 1.1 } });
        QCOMPARE(m_calls.last().kind, QStringLiteral("pinch"));
        QCOMPARE(m_calls.last().pinch, 20.0f);
        QVERIFY(qAbs(m_calls.last().interval - 0.1) < 1e-9);
        // Only the second finger moves; the first one's last position stands.
        m_view->touchesMoved({ { QPointF(220, 100), QPointF(210, 100), 1.2 } });
        QCOMPARE(m_calls.last().pinch, 10.0f);
        // A third finger is not counted: lifting two ends the gesture.
        m_view->touchesBegan({ { QPointF(300, 300), QPointF(300, 300), 1.3 } });
        m_view->touchesEnded({ { QPointF(90, 100), QPointF(90, 100), 1.4 }, { QPointF(220, 100), QPointF(220, 100), 1.4 } });
        QCOMPARE(m_taps.count, 0);
        stroke(QPointF(10, 10), {});
        QCOMPARE(m_taps.count, 1);
    }

    // With digital zoom on, one finger drags the picture, two scale it about their
    // middle and the wheel about the pointer, whether the toolbar is shown or not; the
    // controller hears none of it.
    void digitalZoomGestures()
    {
        m_view->setControlTouchEnabled(false);
        m_view->setDigitalZoom(true);
        QSignalSpy pans(m_view, &PTZGestureView::panRequested);
        QSignalSpy zooms(m_view, &PTZGestureView::zoomRequested);
        stroke(QPointF(100, 100), { QPointF(110, 95), QPointF(130, 90) });
        QCOMPARE(pans.size(), 2);
        QCOMPARE(pans.at(1).at(0).toPointF(), QPointF(20, -5));

        // From 100 to 200 points apart, the middle moving 10 to the right.
        m_view->touchesBegan({ { QPointF(150, 150), QPointF(150, 150), 2.0 }, { QPointF(250, 150), QPointF(250, 150), 2.0 } });
        m_view->touchesMoved({ { QPointF(110, 150), QPointF(150, 150), 2.1 }, { QPointF(310, 150), QPointF(250, 150), 2.1 } });
        QCOMPARE(pans.last().at(0).toPointF(), QPointF(10, 0));
        QCOMPARE(zooms.size(), 1);
        QCOMPARE(zooms.at(0).at(0).toReal(), 2.0);
        QCOMPARE(zooms.at(0).at(1).toPointF(), QPointF(210, 150));
        // Only the second finger moves back by 100: half the spread.
        m_view->touchesMoved({ { QPointF(210, 150), QPointF(310, 150), 2.2 } });
        QCOMPARE(zooms.last().at(0).toReal(), 0.5);
        m_view->touchesEnded({ { QPointF(110, 150), QPointF(110, 150), 2.3 }, { QPointF(210, 150), QPointF(210, 150), 2.3 } });

        QWheelEvent wheel(QPointF(40, 60), QPointF(40, 60), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(m_view, &wheel);
        QCOMPARE(zooms.last().at(0).toReal(), PTZGestureView::WheelZoomStep * PTZGestureView::WheelZoomStep);
        QCOMPARE(zooms.last().at(1).toPointF(), QPointF(40, 60));
        QVERIFY(m_calls.isEmpty());
        QCOMPARE(m_taps.count, 0);
    }

    // Zoomed in, a tap waits to see whether a second one follows: two ask for the whole
    // picture again, one alone is a tap once the wait is over. Unzoomed, taps act at once.
    void doubleTapWhenZoomed()
    {
        ManualClock clock;
        PTZGestureView view(nullptr, clock);
        Taps taps;
        view.setTapDelegate(&taps);
        view.setDigitalZoom(true);
        QSignalSpy resets(&view, &PTZGestureView::zoomResetRequested);
        const auto tap = [&view] {
            view.touchesBegan({ { QPointF(50, 50), QPointF(50, 50), 1.0 } });
            view.touchesEnded({ { QPointF(50, 50), QPointF(50, 50), 1.0 } });
        };
        tap();
        QCOMPARE(taps.count, 1);

        view.setZoomed(true);
        tap();
        clock.advance(PTZGestureView::DoubleTapMs - 1);
        tap();
        QCOMPARE(resets.size(), 1);
        clock.advance(1000);
        QCOMPARE(taps.count, 1);
        tap();
        clock.advance(PTZGestureView::DoubleTapMs);
        QCOMPARE(taps.count, 2);
        QCOMPARE(resets.size(), 1);
    }

    void controllerChangesDisconnect()
    {
        m_view->setPtInterface(nullptr);
        QCOMPARE(kinds(), QStringList{ QStringLiteral("disconnect") });
        stroke(QPointF(100, 100), { QPointF(120, 100) });
        QCOMPARE(m_calls.size(), 1);
    }

    void realTouchEvents()
    {
        const std::unique_ptr<QPointingDevice> owned(QTest::createTouchDevice());
        QPointingDevice *device = owned.get();
        m_superview->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_superview.get()));
        QTest::touchEvent(m_view, device).press(0, QPoint(100, 100));
        QTest::touchEvent(m_view, device).move(0, QPoint(130, 100));
        QTest::touchEvent(m_view, device).release(0, QPoint(130, 100));
        QCOMPARE(m_calls.size(), 1);
        QCOMPARE(m_calls[0].x, 30.0f);
        QTest::touchEvent(m_view, device).press(0, QPoint(50, 50));
        QTest::touchEvent(m_view, device).release(0, QPoint(50, 50));
        QCOMPARE(m_taps.count, 1);
    }
};

QTEST_MAIN(TestPTZGestureView)
#include "tst_ptzgestureview.moc"
