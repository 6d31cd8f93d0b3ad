#include "logcapture/LogCapture.h"
#include "ptz/TestDefinitions.h"

#include "ptz/PTZControlFactory.h"
#include "ptz/PTZController.h"
#include "ptz/PTZMotion.h"

#include <QTest>

class TestPTZFactory final : public QObject
{
    Q_OBJECT

private slots:
    void withoutProtocolThereIsNoController()
    {
        LogCapture log;
        ManualClock clock;
        QVERIFY(!PTZControlFactory::createControllerWithParameters(Value(), clock));
        QCOMPARE(log.count(QStringLiteral("no control protocol")), 0);

        Value camera = Value::dictionary();
        QVERIFY(!PTZControlFactory::createControllerWithParameters(camera, clock));
        QVERIFY(!PTZControlFactory::createControllerWithParameters(
            cameraDefinition({ { "control.host", QStringLiteral("127.0.0.1") } }), clock));
        const QStringList lines = log.matching(QStringLiteral("no control protocol"));
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines.first().contains(QLatin1StringView("<DEBUG")));
    }

    void protocolNamesMatchExactly()
    {
        LogCapture log;
        ManualClock clock;
        QVERIFY(!PTZControlFactory::createControllerWithParameters(
            cameraDefinition({ { "control.protocol", QStringLiteral("axis PTZ") },
                               { "control.host", QStringLiteral("127.0.0.1") } }),
            clock));
        const QStringList lines = log.matching(QStringLiteral("failed to find matching PTZ controller for: axis PTZ"));
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines.first().contains(QLatin1StringView("<ERROR")));
    }

    void everyProtocolNeedsItsHost_data()
    {
        QTest::addColumn<QString>("protocol");
        for (const char *protocol : { "Axis PTZ", "Sony PTZ", "Canon PTZ", "Pelco D PTZ", "QuickSet GeminEye PTZ",
                                      "QuickSet Universal PTZ", "Milestone PTZ", "ONVIF PTZ" })
            QTest::newRow(protocol) << QString::fromLatin1(protocol);
    }

    void everyProtocolNeedsItsHost()
    {
        QFETCH(QString, protocol);
        LogCapture log;
        ManualClock clock;
        // An empty host is as good as none.
        QVERIFY(!PTZControlFactory::createControllerWithParameters(
            cameraDefinition({ { "control.protocol", protocol }, { "control.host", QString() } }), clock));
        QCOMPARE(log.count(QStringLiteral("; required parameters missing")), 1);
        QCOMPARE(clock.activeTimers(), 0);
    }

    void oneStopAfterMotionNoneWhileHolding()
    {
        PTZMotion motion;
        PTZMotion::Sample s;
        // Nothing has moved yet: no stop.
        QCOMPARE(motion.nextAction(&s), PTZMotion::Action::None);
        motion.updateChange(1, 0, 0.1);
        QCOMPARE(motion.nextAction(&s), PTZMotion::Action::Move);
        QCOMPARE(motion.nextAction(&s), PTZMotion::Action::Stop);
        QCOMPARE(motion.nextAction(&s), PTZMotion::Action::None);

        motion.setHolding(true, 50, 0, 0, 0.4);
        QCOMPARE(motion.nextAction(&s), PTZMotion::Action::Move);
        QCOMPARE(motion.nextAction(&s), PTZMotion::Action::None);
        QCOMPARE(motion.nextAction(&s), PTZMotion::Action::None);
        motion.setHolding(false, 0, 0, 0, 0);
        QCOMPARE(motion.nextAction(&s), PTZMotion::Action::Stop);
        QCOMPARE(motion.nextAction(&s), PTZMotion::Action::None);
    }
};

QTEST_GUILESS_MAIN(TestPTZFactory)
#include "tst_ptzfactory.moc"
