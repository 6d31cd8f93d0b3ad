#include "LogCapture.h"
#include "ManualClock.h"
#include "TestDefinitions.h"

#include "ptz/PTZControlFactory.h"
#include "ptz/PTZController.h"
#include "ptz/PTZMotion.h"
#include "ptz/PTZProfile.h"

#include <QTest>

#include <cmath>

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
        const QStringList lines = log.matching(QStringLiteral("no control protocol specified"));
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
        QTest::addColumn<QString>("line");
        QTest::newRow("axis") << "Axis PTZ" << "Failed to initialize Axis PTZ controller; required parameters missing";
        QTest::newRow("sony") << "Sony PTZ" << "Failed to initialize Sony PTZ controller; required parameters missing";
        QTest::newRow("canon") << "Canon PTZ" << "Failed to initialize Canon PTZ controller; required parameters missing";
        const QString byteLine =
            QStringLiteral("Failed to initialize AbstractByteProtocolController; required parameters missing");
        QTest::newRow("pelco") << "Pelco D PTZ" << byteLine;
        QTest::newRow("gemineye") << "QuickSet GeminEye PTZ" << byteLine;
        QTest::newRow("universal") << "QuickSet Universal PTZ" << byteLine;
        QTest::newRow("milestone") << "Milestone PTZ"
                                   << "Failed to initialize MilestonePTZController; required parameters missing";
    }

    void everyProtocolNeedsItsHost()
    {
        QFETCH(QString, protocol);
        QFETCH(QString, line);
        LogCapture log;
        ManualClock clock;
        // An empty host is as good as none.
        QVERIFY(!PTZControlFactory::createControllerWithParameters(
            cameraDefinition({ { "control.protocol", protocol }, { "control.host", QString() } }), clock));
        QCOMPARE(log.count(line), 1);
        QCOMPARE(clock.runningTimers(100), 0);
    }

    void profilesInTheirOrder()
    {
        QStringList descriptions;
        QStringList types;
        for (const PTZProfile *profile : PTZControlFactory::ptzProfileList()) {
            descriptions.append(profile->description());
            types.append(profile->canHandleType());
        }
        QCOMPARE(descriptions,
                 texts({ "Axis", "Canon", "Sony", "Quickset Universal", "Milestone", "Quickset Gemineye",
                               "Pelco D" }));
        QCOMPARE(types, texts({ "Axis PTZ", "Canon PTZ", "Sony PTZ", "QuickSet Universal PTZ", "Milestone PTZ",
                                      "QuickSet GeminEye PTZ", "Pelco D PTZ" }));
    }

    void motionAccumulatesAndHoldsReplace()
    {
        PTZMotion motion;
        motion.updateChange(10, -4, 0.05);
        motion.updateChange(5, 1, 0.05);
        motion.updatePinch(3, 0.02);
        QVERIFY(!motion.isHolding());
        PTZMotion::Sample s = motion.take();
        QCOMPARE(s.changeX, 15.0f);
        QCOMPARE(s.changeY, -3.0f);
        QCOMPARE(s.xyInterval, static_cast<float>(static_cast<double>(0.05f) + 0.05));
        QCOMPARE(s.changePinch, 3.0f);
        QVERIFY(motion.take().isStill());

        motion.updateChange(100, 100, 1);
        motion.setHolding(true, 30, 0, 0, 0.5);
        QVERIFY(motion.isHolding());
        s = motion.take();
        QCOMPARE(s.changeX, 30.0f);
        QCOMPARE(s.changeY, 0.0f);
        QCOMPARE(s.xyInterval, 0.5f);
        QCOMPARE(s.pinchInterval, 0.5f);
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

    void ratesClampAndKeepTheSignOfZero()
    {
        QCOMPARE(PTZMotion::rate(-125, 0.25f, 1000), -0.5f);
        QCOMPARE(PTZMotion::rate(5000, 0.1f, 1000), 1.0f);
        QCOMPARE(PTZMotion::rate(-5000, 0.1f, 300), -1.0f);
        QCOMPARE(PTZMotion::rate(10, 0, 1000), 0.0f);
        QCOMPARE(PTZMotion::rate(10, -1, 1000), 0.0f);
        QVERIFY(std::signbit(PTZMotion::rate(-0.0f, 0.2f, 1000)));
        QVERIFY(!std::signbit(PTZMotion::rate(-3.0f, 0, 1000)));
        QCOMPARE(PTZMotion::rate(std::nanf(""), 0.2f, 1000), 0.0f);
    }
};

QTEST_GUILESS_MAIN(TestPTZFactory)
#include "tst_ptzfactory.moc"
