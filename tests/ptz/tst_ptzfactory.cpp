#include "LogCapture.h"
#include "ManualClock.h"
#include "TestDefinitions.h"

#include "ptz/PTZControlFactory.h"
#include "ptz/PTZController.h"
#include "ptz/PTZMotion.h"
#include "ptz/PTZProfile.h"

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
